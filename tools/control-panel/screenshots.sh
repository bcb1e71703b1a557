#!/usr/bin/env bash
# Opens the configuration dialog of KorEvntC.cpl through control-panel under a
# virtual X server (Xvfb), opens its add-subnet dialog, and saves screenshots:
#   config.png             the configuration dialog as loaded from a sample file
#   add-subnet.png         the add-subnet dialog over it
#   config-after-add.png   the configuration dialog with the new subnet row
#   port-out-of-range.png  the message for a port of 70000, after OK
# Needs xvfb-run (Xvfb), xdotool and ImageMagick's import. Nothing is saved to any
# settings file: the dialogs are cancelled, and all files live in a scratch
# directory that KOREVNTS_ROOT points at.
#
# Usage: screenshots.sh [BIN_DIR [OUT_DIR]]   (defaults: build/bin, build/screenshots)
set -euo pipefail
script_name=screenshots.sh
source "$(dirname "$0")/screenshot_support.sh"

# Run again under a virtual X server on a free display.
if [[ -z "${SCREENSHOTS_UNDER_XVFB:-}" ]]; then
  command -v xvfb-run >/dev/null || { echo "screenshots.sh: xvfb-run (package xvfb) is missing" >&2; exit 1; }
  exec xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" env SCREENSHOTS_UNDER_XVFB=1 "$0" "$@"
fi

bin_dir=$(realpath "${1:-build/bin}")
out_dir=$(realpath -m "${2:-build/screenshots}")
for tool in xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
done
[[ -x "$bin_dir/control-panel" && -f "$bin_dir/KorEvntC.cpl" ]] ||
  { echo "screenshots.sh: control-panel or KorEvntC.cpl missing in $bin_dir" >&2; exit 1; }
mkdir -p "$out_dir"

scratch=$(mktemp -d)
panel_pid=""
cleanup() {
  [[ -n "$panel_pid" ]] && kill "$panel_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A sample settings file and the protocol libraries, found by the path search
# in the system directory below KOREVNTS_ROOT.
export KOREVNTS_ROOT="$scratch/root"
system_dir="$KOREVNTS_ROOT/etc/korevnts"
mkdir -p "$system_dir"
touch "$system_dir/korip32.dll" "$system_dir/kordlc32.dll" "$system_dir/kornw32.dll"
write_sample_settings "$system_dir/KorEvntS.ini"

cd "$scratch"
"$bin_dir/control-panel" --open 0 &
panel_pid=$!
shoot "Korvane Event Adapter Configuration" config.png

# The focus starts on OK; Tab walks the template's order: Cancel, the three
# protocol boxes, the hours, the nine alert boxes, then Add.
xdotool key --delay 50 --repeat 15 Tab
xdotool key space
shoot "Add Subnet" add-subnet.png

xdotool key --delay 50 Tab Tab ctrl+a 1 7 2 Tab ctrl+a 1 6 Return
sleep 0.5
shoot "Korvane Event Adapter Configuration" config-after-add.png

# From Add, Tab goes on to Remove, ServerLocation, then ServerPort.
xdotool key --delay 50 Tab Tab Tab ctrl+a 7 0 0 0 0
xdotool key Return
shoot "KorEvntC" port-out-of-range.png
xdotool key Return
sleep 0.3
xdotool key Escape
for _ in $(seq 100); do kill -0 "$panel_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$panel_pid" 2>/dev/null; then
  echo "screenshots.sh: control-panel did not close on Escape" >&2
  exit 1
fi
wait "$panel_pid"
panel_pid=""
echo "screenshots in $out_dir"
