#!/usr/bin/env bash
# Fleet throughput of the whole adapter: a simulated fleet of printers with
# three alerts each, KorEventSvc under service-host, and tec-receiver on a free
# loopback port. Measures the seconds from the service's start until the
# receiver holds every event, and the service's peak resident memory.
#
#   bash bench/service/fleet_throughput.sh [BIN_DIR [PRINTERS...]]
#
# BIN_DIR defaults to build/bin; each fleet size (1 to 65534) runs on its own
# and gives one row: printers, events, seconds, events/s, peak RSS and RSS per
# printer. The sizes default to 5000 20000 60000.
# FLEET_TIME_LIMIT (seconds, default 120) bounds the wait for the events.
# SERVICE_WRAPPER runs the service under a tool, for example
#   SERVICE_WRAPPER="valgrind --tool=callgrind --callgrind-out-file=/tmp/cg.%p"
# Everything lives in a temporary folder that is removed at the end, unless
# FLEET_KEEP=1 keeps it for a look at the events and the service's trace.
set -euo pipefail

bin=$(cd "${1:-build/bin}" && pwd)
if (($# > 2)) || (($# < 2)) && [[ -z "${FLEET_ONE_SIZE:-}" ]]; then
  shift || true
  sizes=("$@")
  ((${#sizes[@]} > 0)) || sizes=(5000 20000 60000)
  printf '| Printers | Events | Seconds | Events/s | Peak RSS (MB) | RSS per printer (KB) |\n'
  printf '|---|---|---|---|---|---|\n'
  for size in "${sizes[@]}"; do
    FLEET_ONE_SIZE=1 bash "$0" "$bin" "$size" | sed -n 's/^row: //p'
  done
  exit 0
fi
printers=${2:-5000}
time_limit=${FLEET_TIME_LIMIT:-120}
alerts_per_printer=3
expected=$((printers * alerts_per_printer))

if ! [[ $printers =~ ^[0-9]+$ ]] || ((printers < 1 || printers > 65534)); then
  echo "fleet_throughput: PRINTERS must be a number from 1 to 65534, not \"$printers\"" >&2
  exit 2
fi
for program in KorEventSvc service-host tec-receiver VXPrtDb.ini; do
  if [[ ! -e "$bin/$program" ]]; then
    echo "fleet_throughput: $bin/$program is missing; build first (cmake --build build)" >&2
    exit 2
  fi
done

work=$(mktemp -d /tmp/korevnts-bench.XXXXXX)
export KOREVNTS_ROOT="$work/root"
export KORBCE_FLEET="$work/fleet.ini"
unset KORBCE_LOG
mkdir -p "$KOREVNTS_ROOT/etc/korevnts"
cd "$work"

receiver=""
host=""
service=""
stop_process() {  # pid: ask it to stop, then wait up to 10 s, then kill
  local pid=$1
  [[ -n "$pid" ]] || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
cleanup() {
  stop_process "$host"
  stop_process "$service"  # only when service-host could not stop it
  stop_process "$receiver"
  if [[ "${FLEET_KEEP:-}" == 1 ]]; then echo "fleet_throughput: kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() {
  echo "fleet_throughput: $*" >&2
  echo "--- service-host output" >&2; tail -n 5 "$work/host.out" >&2 2>/dev/null || true
  echo "--- service trace (last lines)" >&2; tail -n 10 "$work/service.log" >&2 2>/dev/null || true
  echo "--- receiver" >&2; tail -n 5 "$work/receiver.log" >&2 2>/dev/null || true
  exit 1
}

# Every printer is a TCP/IP printer at 127.0.0.1 of unknown device class, so
# its alerts decode through the rows for every printer of VXPrtDb.ini:
#   05:000003  paper jam  05000003  "Internal Paper Jam"             severity 4
#   0A:500001  supplies   0A....01  "Toner Low - Toner Cartridge"    severity 2
#   07:000001  warnings   07..0001  "Resolution Reduction Warning"   severity 1
write_fleet() {
  awk -v count="$printers" 'BEGIN {
    for (id = 1; id <= count; ++id) {
      printf "[Printer Bench %05d]\n", id
      printf "Id = %d\nMac = 0020%08X\nProtocols = 0x2\nAdapter = 129\nIp = 127.0.0.1\nClasses = 0x2\n", id, id
      printf "Class = 255\nModel = Korvane LaserLine 4000\n"
      printf "Paper Jam = 05:000003\nPrinter Supplies = 0A:500001\nPrinter Warnings = 07:000001\n\n"
    }
  }' > "$KORBCE_FLEET"
}

write_settings() {
  cat > "$KOREVNTS_ROOT/etc/korevnts/KorEvntS.ini" <<EOF
[Tivoli Adapter Configuration File]
ServerLocation=127.0.0.1
ServerPort=$1
ConnectionMode=co
BufEvtPath=$work/cache.dat

[Printers To Be Enumerated]
All NetWare Printers=No
All TCP/IP Printers=Yes
All DLC Printers=No
All Local Printers=No

[Printer Alerts To Be Monitored]
Input=Yes
Output=Yes
Paper Jam=Yes
Printer Supplies=Yes
Operator Intervention Required=Yes
Printer Warnings=Yes
Device Needs Service=Yes
Configuration Change=Yes
Offline=Yes
Check Printer Communication In How Many Seconds ?=16

[Enumeration]
Enumerate Only Defined Ports=No
Look For New Printers In How Many Hours ?=24
EOF
}

now() { date +%s.%N; }
event_count() { if [[ -f "$work/events.txt" ]]; then wc -l < "$work/events.txt"; else echo 0; fi; }

write_fleet
"$bin/tec-receiver" --address 127.0.0.1 --port-file "$work/port" --output "$work/events.txt" 2>"$work/receiver.log" &
receiver=$!
for _ in $(seq 100); do [[ -s "$work/port" ]] && break; sleep 0.05; done
[[ -s "$work/port" ]] || fail "tec-receiver did not start listening"
write_settings "$(cat "$work/port")"

echo "fleet_throughput: $printers printers, $alerts_per_printer alerts each, $expected events expected"
start=$(now)
# shellcheck disable=SC2086  # the wrapper is a command line of its own
"$bin/service-host" -- ${SERVICE_WRAPPER:-} "$bin/KorEventSvc" > "$work/host.out" 2> "$work/service.log" &
host=$!

for _ in $(seq 200); do
  service=$(sed -n 's/^service-host: started .* (process \([0-9]*\))$/\1/p' "$work/host.out")
  [[ -n "$service" ]] && break
  sleep 0.01
done
[[ -n "$service" ]] || fail "service-host did not start KorEventSvc"

deadline=$(awk -v s="$start" -v l="$time_limit" 'BEGIN { printf "%.3f", s + l }')
count=0
while :; do
  count=$(event_count)
  ((count >= expected)) && break
  kill -0 "$service" 2>/dev/null || fail "KorEventSvc ended after $count of $expected events"
  awk -v n="$(now)" -v d="$deadline" 'BEGIN { exit !(n > d) }' &&
    fail "only $count of $expected events after $time_limit seconds"
  sleep 0.02
done
finish=$(now)

peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$service/status" 2>/dev/null || true)
[[ -n "$peak_kb" ]] || fail "cannot read the peak memory of KorEventSvc (process $service)"
stop_process "$host"
host=""
service=""

distinct=$(sort -u "$work/events.txt" | wc -l)
((count == expected)) || fail "$count events received, $expected expected"
((distinct == expected)) || fail "only $distinct of the $expected events are distinct"
for message in "Internal Paper Jam" "Toner Low - Toner Cartridge" "Resolution Reduction Warning"; do
  carried=$(grep -c "msg='$message';" "$work/events.txt" || true)
  ((carried == printers)) || fail "$carried events carry \"$message\", $printers expected"
done

awk -v s="$start" -v f="$finish" -v kb="$peak_kb" -v n="$expected" -v p="$printers" 'BEGIN {
  printf "all %d events received in %.2f s (%.0f events/s)\n", n, f - s, n / (f - s)
  printf "peak resident memory of KorEventSvc: %.1f MB (VmHWM %d kB)\n", kb / 1024, kb
  printf "row: | %d | %d | %.2f | %.0f | %.1f | %.2f |\n", p, n, f - s, n / (f - s), kb / 1024, kb / p
}'
