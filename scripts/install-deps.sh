#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need (or,
# with the argument "windows", the Windows build and its tests), skipping
# those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libtirpc-dev rpcbind
  libsnmp-dev snmpsim snmp
  clang libclang-rt-14-dev
  libsystemd-dev
  libcups2-dev
  libfltk1.3-dev xvfb xauth xdotool imagemagick
  scdoc man-db debhelper dpkg-dev fakeroot lintian systemd
)

# "windows": the mingw-w64 cross compilers, Wine and an X server for its tests.
if [[ "${1:-}" == windows ]]; then
  packages=(cmake ninja-build make ccache googletest g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev patch xz-utils snmpsim wine wine64 xvfb xauth xdotool imagemagick)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
echo "Installing missing packages: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
