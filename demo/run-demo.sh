#!/usr/bin/env bash
# Runs the adapter end to end on one machine: a TEC event server on a free
# loopback port, KorEventSvc under service-host, and a simulated fleet of three
# printers that jam, run low on toner, go offline and stop answering while the
# demo edits the fleet file, and a network printer served over SNMP by
# snmpsimd on loopback, which jams and is cleared (without snmpsimd the demo
# runs without it). Everything lives in a temporary folder.
set -euo pipefail

bin=$(cd "${1:-build/bin}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/korevnts-demo.XXXXXX)
export KOREVNTS_ROOT="$work/root"
export KORBCE_FLEET="$work/fleet.ini"
mkdir -p "$KOREVNTS_ROOT/etc/korevnts"
cd "$work"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

source "$here/snmp-printer.sh"

say() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

# The fleet file is rewritten whole and renamed into place, so that the
# engine never reads half a file.
reception_jam=""
studio_toner=""
studio_offline="No"
basement_online="Yes"
snmp_target=""
write_fleet() {
  {
    sed -e "s/@RECEPTION_JAM@/$reception_jam/" -e "s/@STUDIO_TONER@/$studio_toner/" \
        -e "s/@STUDIO_OFFLINE@/$studio_offline/" -e "s/@BASEMENT_ONLINE@/$basement_online/" \
        "$here/korbce.ini"
    if [[ -n "$snmp_target" ]]; then
      printf '\n; The network printer, polled every 2 seconds.\n[SNMP]\nTargets = %s\nPoll = 2\nIdFile = %s\n' \
        "$snmp_target" "$work/snmp-printers"
    fi
  } > "$KORBCE_FLEET.new"
  mv "$KORBCE_FLEET.new" "$KORBCE_FLEET"
}

# One line per event: time, severity, printer and message.
show_events() {
  sed -u -n "s/.*;severity=\([A-Z]*\);msg='\(.*\)';printer_address='\([^']*\)';printer_model='\([^']*\)';origin='\([^']*\)';.*/\1|\2|\3|\4|\5/p" |
    while IFS='|' read -r severity message address model origin; do
      printf '  %s  %-9s %-24s %-14s %s\n' "$(date +%T)" "$severity" "$model" "${origin:--}" "$message"
    done
}

say "Starting the TEC event server"
"$bin/tec-receiver" --address 127.0.0.1 --port-file "$work/port" --output "$work/events.txt" 2>"$work/receiver.log" &
receiver=$!
pids+=($receiver)
for _ in $(seq 50); do [[ -s "$work/port" ]] && break; sleep 0.1; done
port=$(cat "$work/port")
echo "  tec-receiver listens on 127.0.0.1:$port"

say "Starting the network printer (snmpsimd on 127.0.0.1)"
if snmp_printer_start "$work/snmp"; then
  pids+=("$snmp_printer_pid")
  snmp_target=$(snmp_printer_target)
fi
stop_after=40
[[ -n "$snmp_target" ]] && stop_after=48

sed -e "s/@PORT@/$port/" -e "s|@CACHE@|$work/cache.dat|" "$here/KorEvntS.ini" > "$KOREVNTS_ROOT/etc/korevnts/KorEvntS.ini"
write_fleet

say "Starting KorEventSvc under service-host (events appear as the server receives them)"
touch "$work/events.txt"
# tail ends by itself once the receiver has ended.
tail -n +1 --pid="$receiver" -f "$work/events.txt" | show_events &
pids+=($!)
"$bin/service-host" --stop-after "$stop_after" -- "$bin/KorEventSvc" 2>"$work/service.log" | sed -u 's/^/  [service-host] /' &
host=$!
pids+=($host)

step() { sleep "$1"; shift; say "$*"; }
step 4 "A paper jam at the reception printer"
reception_jam="05:010001"; write_fleet
step 4 "The jam is cleared"
reception_jam=""; write_fleet
step 4 "The design studio's toner runs low"
studio_toner="0A:500001"; write_fleet
step 4 "The toner cartridge is replaced"
studio_toner=""; write_fleet
step 4 "The design studio's printer goes offline"
studio_offline="Yes"; write_fleet
step 4 "... and back online"
studio_offline="No"; write_fleet
step 4 "The basement printer stops answering"
basement_online="No"; write_fleet
step 4 "... and answers again"
basement_online="Yes"; write_fleet
if [[ -n "$snmp_target" ]]; then
  step 4 "A paper jam at the network printer (over SNMP)"
  snmp_printer_write YES
  step 4 "The jam is cleared"
  snmp_printer_write NO
fi
sleep 3

say "Stopping the service"
wait "$host" || true
sleep 0.5
say "Event log"
sed 's/^/  /' "$KOREVNTS_ROOT/var/log/korevnts/eventlog" 2>/dev/null || echo "  (no event log written)"
echo
echo "$(grep -c . "$work/events.txt") events received."
