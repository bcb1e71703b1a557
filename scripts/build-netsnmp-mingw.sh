#!/usr/bin/env bash
# Builds net-snmp's client library for 64-bit Windows (mingw-w64, static, with
# its own crypto) from Debian's source package, into OUT_DIR (include/ and
# lib/libnetsnmp.a), for the Windows build's network printers.
#
#   bash scripts/build-netsnmp-mingw.sh OUT_DIR
#
# The source package comes through apt with a private source list (the
# machine's own apt sources, as deb-src) and private lists and cache folders,
# so the machine's apt configuration is left as it is; apt checks the
# signatures with the machine's trusted keys, dpkg-source -x checks the .dsc's
# hashes and applies Debian's patches, then ours (scripts/netsnmp-mingw/, each
# saying why). Nothing is built when the stamp (the .dsc's hash, our patches
# and this script) matches OUT_DIR's; a finished build is also kept under
# ${XDG_CACHE_HOME:-$HOME/.cache}/korevnts/netsnmp-mingw/<stamp>/ and copied
# from there by later builds, of this tree or a fresh clone.
set -euo pipefail

say() { echo "netsnmp-mingw: $*"; }

install_from() {
  rm -rf "${out:?}/include" "${out:?}/lib"
  cp -a "$1/include" "$1/lib" "$out/"
  echo "$stamp" > "$out/stamp"
}

# All of it in one function, read whole before it runs: a change to this file
# while it runs cannot then mix two versions.
main() {
  out=$(mkdir -p "${1:?usage: build-netsnmp-mingw.sh OUT_DIR}" && cd "$1" && pwd)
  here=$(cd "$(dirname "$0")" && pwd)
  patches=("$here"/netsnmp-mingw/*.patch)
  host=x86_64-w64-mingw32
  cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/korevnts/netsnmp-mingw
  mkdir -p "$cache_root"
  # One build at a time per user: another tree's build of the same stamp is
  # then copied instead of made twice, and apt's lists are not shared mid-update.
  exec 9> "$cache_root/lock"
  flock 9

  # --- apt, private ---------------------------------------------------------
  # The lists folder is kept between runs, so that an update only asks whether
  # the indexes changed; the source list is made afresh each time.
  apt_dir="$cache_root/apt"
  # A fixed place, so that ccache finds the objects of an earlier build.
  scratch="$cache_root/work"
  rm -rf "$scratch"
  mkdir -p "$scratch"
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$scratch/sources.list.d"

  # One-line sources: each "deb" line becomes "deb-src".
  sed -nE 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p' /etc/apt/sources.list 2> /dev/null > "$scratch/sources.list" || true
  for list in /etc/apt/sources.list.d/*.list; do
    [[ -f "$list" ]] || continue
    sed -nE 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p' "$list" > "$scratch/sources.list.d/$(basename "$list")"
  done
  # deb822 sources: every stanza's types become deb-src.
  for sources in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$sources" ]] || continue
    sed -E 's/^Types:.*/Types: deb-src/I' "$sources" > "$scratch/sources.list.d/$(basename "$sources")"
  done

  apt_options=(
    -o "Dir::Etc::SourceList=$scratch/sources.list"
    -o "Dir::Etc::SourceParts=$scratch/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
  )
  # As root, apt would fetch as the user _apt, who cannot write into root's
  # home: it fetches as root then (and would say so each time).
  [[ $(id -u) -ne 0 ]] || apt_options+=(-o APT::Sandbox::User=root)

  # A failed update (no network) leaves a build already in OUT_DIR usable.
  if ! apt-get -qq "${apt_options[@]}" update; then
    if [[ -f "$out/lib/libnetsnmp.a" ]]; then
      say "apt-get update failed; keeping the library already in $out"
      exit 0
    fi
    say "apt-get update failed, and there is no library to keep" >&2
    exit 1
  fi

  # The .dsc's URI, name and hash, as the index gives them.
  read -r _ dsc_name _ dsc_hash < <(apt-get -qq "${apt_options[@]}" source --print-uris net-snmp | grep -E "^'.*\.dsc' " || true)
  [[ -n "${dsc_name:-}" ]] || { say "no source package net-snmp in the machine's apt sources" >&2; exit 1; }

  stamp=$( { echo "$dsc_hash"; cat "${patches[@]}" "$0"; } | sha256sum | cut -c1-16)
  if [[ -f "$out/stamp" && $(cat "$out/stamp") == "$stamp" && -f "$out/lib/libnetsnmp.a" ]]; then
    exit 0
  fi

  cached="$cache_root/$stamp"
  if [[ -f "$cached/stamp" ]]; then
    say "copying the library built earlier ($cached)"
    install_from "$cached"
    exit 0
  fi

  # --- fetch, check and unpack ----------------------------------------------
  say "fetching and building ${dsc_name%.dsc} for $host (about 4 minutes)"
  mkdir "$scratch/download"
  # Without apt's note on where the packaging is maintained; a failure shows
  # as the missing .dsc.
  (cd "$scratch/download" && apt-get -qq "${apt_options[@]}" source --download-only net-snmp 2>&1) |
    grep -v '^NOTICE\|salsa\|^Please use\|^git clone\|^to retrieve' || true
  [[ -f "$scratch/download/$dsc_name" ]] || { say "the download of $dsc_name failed" >&2; exit 1; }
  # apt has checked the files against the signed index; dpkg-source checks them
  # against the .dsc (whose maintainer's key the machine need not hold).
  dpkg-source -q -x "$scratch/download/$dsc_name" "$scratch/net-snmp" > /dev/null 2>&1 ||
    { say "dpkg-source -x $dsc_name failed" >&2; exit 1; }
  cd "$scratch/net-snmp"
  for patch in "${patches[@]}"; do
    patch -p1 -s < "$patch"
  done

  # --- configure and build --------------------------------------------------
  # Unpacking leaves the generated files older than their sources; make would
  # then run autoconf again (4 minutes more).
  touch configure include/net-snmp/net-snmp-config.h.in stamp-h.in
  cc=$host-gcc-posix
  command -v ccache > /dev/null && cc="ccache $cc"
  CC="$cc" ./configure -q --host=$host --build="$(dpkg-architecture -qDEB_BUILD_GNU_TYPE)" \
    --disable-agent --disable-applications --disable-manuals --disable-scripts --disable-mibs \
    --disable-embedded-perl --without-perl-modules --disable-shared --enable-static --with-defaults \
    --with-openssl=internal --without-rpm --with-logfile=none --with-persistent-directory=/tmp \
    --disable-debugging > configure.out 2>&1 || { tail -30 configure.out >&2; exit 1; }
  make -s -C snmplib NOAUTODEPS=1 -j2 > make.out 2>&1 || { tail -30 make.out >&2; exit 1; }

  # --- install: the headers and the static library --------------------------
  built="$scratch/built"
  mkdir -p "$built/include/net-snmp/library" "$built/lib"
  cp include/net-snmp/*.h "$built/include/net-snmp/"
  cp include/net-snmp/library/*.h "$built/include/net-snmp/library/"
  cp -r include/net-snmp/system include/net-snmp/machine "$built/include/net-snmp/"
  cp snmplib/.libs/libnetsnmp.a "$built/lib/"
  echo "$stamp" > "$built/stamp"

  rm -rf "$cached.partial"
  cp -a "$built" "$cached.partial" && mv "$cached.partial" "$cached"
  install_from "$built"
  say "done: $out"
}

main "$@"
