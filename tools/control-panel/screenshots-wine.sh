#!/usr/bin/env bash
# The Windows build's KorEvntC.cpl opened by Wine's own Control Panel
# (control.exe) under a virtual X server (Xvfb): finds each dialog by its
# title and saves screenshots:
#   config.png             the configuration dialog as loaded from a sample file
#   add-subnet.png         the add-subnet dialog over it
#   config-after-add.png   the configuration dialog with the new subnet row
# Needs wine, winepath, xvfb-run, xdotool and ImageMagick's import (exit 77
# when one is missing). Uses the Wine prefix of WINEPREFIX. Nothing is saved:
# the dialogs are cancelled, and the sample files live in a scratch directory.
#
# Usage: screenshots-wine.sh [BIN_DIR [OUT_DIR]]   (defaults: build-windows/bin, build-windows/screenshots)
set -euo pipefail
script_name=screenshots-wine.sh
source "$(dirname "$0")/screenshot_support.sh"

for tool in wine winepath xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshots-wine.sh: $tool is missing" >&2; exit 77; }
done
# Under the display of the running tests (make test-windows), else a virtual one.
if [[ -z "${DISPLAY:-}" && -z "${SCREENSHOTS_UNDER_XVFB:-}" ]]; then
  command -v xvfb-run >/dev/null || { echo "screenshots-wine.sh: xvfb-run is missing" >&2; exit 77; }
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" env SCREENSHOTS_UNDER_XVFB=1 "$0" "$@"
fi

bin_dir=$(realpath "${1:-build-windows/bin}")
out_dir=$(realpath -m "${2:-build-windows/screenshots}")
[[ -f "$bin_dir/KorEvntC.cpl" ]] || { echo "screenshots-wine.sh: KorEvntC.cpl missing in $bin_dir" >&2; exit 1; }
mkdir -p "$out_dir"
export WINEDEBUG=${WINEDEBUG:--all}

scratch=$(mktemp -d)
panel_pid=""
cleanup() {
  [[ -n "$panel_pid" ]] && kill "$panel_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# The applet finds the settings file and the protocol libraries by the path
# search, which looks in the current directory.
touch "$scratch/korip32.dll" "$scratch/kordlc32.dll" "$scratch/kornw32.dll"
write_sample_settings "$scratch/KorEvntS.ini"

cd "$scratch"
# The applet's DLLs (korplatform, the compiler's runtime) are found through WINEPATH.
WINEPATH="$(winepath -w "$bin_dir")" wine control.exe "$(winepath -w "$bin_dir/KorEvntC.cpl")" &
panel_pid=$!
shoot "Korvane Event Adapter Configuration" config.png

# The focus starts on OK; Tab walks the template's order: Cancel, the three
# protocol boxes, the hours, the nine alert boxes, then Add.
xdotool key --delay 50 --repeat 15 Tab
xdotool key space
shoot "Add Subnet" add-subnet.png

xdotool key --delay 50 Tab Tab BackSpace 1 7 2 Tab BackSpace 1 6 Return
sleep 0.5
shoot "Korvane Event Adapter Configuration" config-after-add.png

xdotool key Escape
for _ in $(seq 100); do kill -0 "$panel_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$panel_pid" 2>/dev/null; then
  echo "screenshots-wine.sh: control.exe did not close on Escape" >&2
  exit 1
fi
wait "$panel_pid"
panel_pid=""
echo "screenshots in $out_dir"
