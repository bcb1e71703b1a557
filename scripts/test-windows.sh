#!/usr/bin/env bash
# Runs the Windows build's tests under Wine: a Wine prefix of the build's own,
# one wineserver kept alive for the whole run (each test then starts warm, and
# services installed by a test outlive the process that started them), and an
# X server (Xvfb) for the dialogs.
#
#   bash scripts/test-windows.sh [BUILD_DIR [CTEST ARGUMENTS...]]
set -euo pipefail

build=$(cd "${1:-build-windows}" && pwd)
shift || true

export WINEPREFIX="$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No downloads of Wine's .NET and HTML engines, which nothing here needs.
export WINEDLLOVERRIDES="mscoree,mshtml="

run() {
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "test-windows: making the Wine prefix $WINEPREFIX"
    wineboot --init
    # Without a window manager, Wine's own window management makes each
    # closing window wait about two seconds; unmanaged windows close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null
  fi
  wineserver --persistent
  local status=0
  (cd "$build" && ctest --output-on-failure --timeout 600 -j2 "$@") || status=$?
  wineserver --kill || true
  return "$status"
}

if [[ -z "${DISPLAY:-}" ]]; then
  export -f run
  export build
  xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" bash -c 'run "$@"' run "$@"
else
  run "$@"
fi
