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
  # A server left by an earlier run would keep the display it started with.
  wineserver --kill 2> /dev/null || true
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "test-windows: making the Wine prefix $WINEPREFIX"
    wineboot --init
    # Without a window manager, Wine's own window management makes each
    # closing window wait about two seconds; unmanaged windows close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null
  fi
  # The server that set the prefix up ends by itself; then one that stays.
  wineserver --wait
  wineserver --persistent
  # The first Wine program of a server starts Wine's own services, which
  # would inherit and hold open the output pipes of whichever test came
  # first, so that CTest waited on it until its time-out: start them here.
  wine cmd /c exit 0 > /dev/null 2>&1 < /dev/null
  local status=0
  # A test program now and then does not end under Wine once its test has
  # passed (threads of the libraries at the process's end); such a test is run
  # once more.
  (cd "$build" && ctest --output-on-failure --timeout 600 -j2 --repeat until-pass:2 "$@") || status=$?
  wineserver --kill || true
  return "$status"
}

# Without a display, the script runs itself again under a virtual one.
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" bash "$0" "$build" "$@"
fi
run "$@"
