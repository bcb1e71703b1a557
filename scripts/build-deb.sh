#!/usr/bin/env bash
# Builds the Debian package korevnts_<version>_<arch>.deb from a CMake build
# tree that is already built: debhelper packages what "cmake --install" puts
# under /usr and /etc, with the maintainer scripts and files of debian/.
#   scripts/build-deb.sh BUILD_DIR OUTPUT_DIR PROJECT_VERSION
# Exits with 77 (a skipped test) when a packaging tool is missing.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:?usage: build-deb.sh BUILD_DIR OUTPUT_DIR PROJECT_VERSION}" && pwd)
output_dir=${2:?usage: build-deb.sh BUILD_DIR OUTPUT_DIR PROJECT_VERSION}
project_version=${3:?usage: build-deb.sh BUILD_DIR OUTPUT_DIR PROJECT_VERSION}

for tool in dh dpkg-deb dpkg-shlibdeps dpkg-parsechangelog; do
  if ! command -v "$tool" >/dev/null; then
    echo "build-deb: $tool is missing, so no package is built (scripts/install-deps.sh installs it)" >&2
    exit 77
  fi
done

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt"; }
prefix=$(cache_value CMAKE_INSTALL_PREFIX)
if [[ "$prefix" != /usr ]]; then
  echo "build-deb: $build_dir is configured for prefix $prefix; the package needs /usr" >&2
  exit 1
fi
if [[ -n "$(cache_value KOR_SANITIZE)" || "$(cache_value KOR_FUZZ)" == ON ]]; then
  echo "build-deb: $build_dir is a sanitizer or fuzzing build; the package is built from a normal build" >&2
  exit 1
fi
package_version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)
if [[ "$project_version" != "$package_version" ]]; then
  echo "build-deb: the project's version $project_version is not the version $package_version of debian/changelog" >&2
  exit 1
fi

# debhelper works in a directory of its own beside the build, so that the
# source tree stays clean.
stage="$build_dir/package-stage"
rm -rf "$stage"
mkdir -p "$stage" "$output_dir"
cp -r "$source_dir/debian" "$source_dir/README.md" "$stage/"
output_dir=$(cd "$output_dir" && pwd)
rm -f "$output_dir"/korevnts_*.deb
cd "$stage"
KOR_BUILD_DIR="$build_dir" KOR_DEB_DIR="$output_dir" debian/rules binary
ls "$output_dir"/korevnts_*.deb
