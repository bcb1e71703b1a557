#!/usr/bin/env bash
# Fleet throughput of the whole adapter: a simulated fleet of printers with
# three alerts each, KorEventSvc under service-host, and tec-receiver on a free
# loopback port. Measures the seconds from the service's start until the
# receiver holds every event, and the service's peak resident memory; then,
# with the whole fleet still running, the latency of one change: one printer
# jams, and the seconds from the fleet file's rename to the jam's event at the
# receiver are taken over a number of tries.
#
#   bash bench/service/fleet_throughput.sh [BIN_DIR [PRINTERS...]]
#
# BIN_DIR defaults to build/bin; each fleet size (1 to 65534) runs on its own
# and gives one row: printers, events, seconds, events/s, peak RSS and RSS per
# printer. The sizes default to 5000 20000 60000. The latency is measured in
# the run of FLEET_LATENCY_PRINTERS printers (default 60000; 0 measures none),
# which runs once more when it is not among the sizes, as median and maximum
# of FLEET_LATENCY_TRIES tries (default 20).
# With one size only, the run prints its figures in full, and measures the
# latency only when FLEET_LATENCY_TRIES is set.
# FLEET_TIME_LIMIT (seconds, default 120) bounds the wait for the events.
# SERVICE_WRAPPER runs the service under a tool, for example
#   SERVICE_WRAPPER="valgrind --tool=callgrind --callgrind-out-file=/tmp/cg.%p"
# Everything lives in a temporary folder that is removed at the end, unless
# FLEET_KEEP=1 keeps it for a look at the events and the service's trace.
set -euo pipefail
export LC_ALL=C  # a dot in the times that EPOCHREALTIME gives

bin=$(cd "${1:-build/bin}" && pwd)
if (($# > 2)) || (($# < 2)) && [[ -z "${FLEET_ONE_SIZE:-}" ]]; then
  shift || true
  sizes=("$@")
  ((${#sizes[@]} > 0)) || sizes=(5000 20000 60000)
  latency_size=${FLEET_LATENCY_PRINTERS:-60000}
  latency_tries=${FLEET_LATENCY_TRIES:-20}
  latency_row=""
  run_size() {  # size tries: one run; prints its rows with their tags
    FLEET_ONE_SIZE=1 FLEET_LATENCY_TRIES=$2 bash "$0" "$bin" "$1" | sed -n 's/^\(row\|latency\): /\1 /p'
  }
  printf '| Printers | Events | Seconds | Events/s | Peak RSS (MB) | RSS per printer (KB) |\n'
  printf '|---|---|---|---|---|---|\n'
  for size in "${sizes[@]}"; do
    tries=0
    [[ -z "$latency_row" && "$size" == "$latency_size" ]] && tries=$latency_tries
    output=$(run_size "$size" "$tries")
    sed -n 's/^row //p' <<< "$output"
    ((tries == 0)) || latency_row=$(sed -n 's/^latency //p' <<< "$output")
  done
  if [[ -z "$latency_row" && "$latency_size" != 0 ]]; then
    latency_row=$(run_size "$latency_size" "$latency_tries" | sed -n 's/^latency //p')
  fi
  if [[ -n "$latency_row" ]]; then
    printf '\n| Latency of one change: printers | Tries | Median (s) | Maximum (s) |\n'
    printf '|---|---|---|---|\n'
    printf '%s\n' "$latency_row"
  fi
  exit 0
fi
printers=${2:-5000}
time_limit=${FLEET_TIME_LIMIT:-120}
latency_tries=${FLEET_LATENCY_TRIES:-0}
alerts_per_printer=3
expected=$((printers * alerts_per_printer))

if ! [[ $printers =~ ^[0-9]+$ ]] || ((printers < 1 || printers > 65534)); then
  echo "fleet_throughput: PRINTERS must be a number from 1 to 65534, not \"$printers\"" >&2
  exit 2
fi
if ! [[ $latency_tries =~ ^[0-9]+$ ]] || ((latency_tries > printers)); then
  echo "fleet_throughput: FLEET_LATENCY_TRIES must be a number from 0 to the fleet size, not \"$latency_tries\"" >&2
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
  echo "fleet_throughput: $(event_count) events received" >&2
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
# write_fleet [FIRST LAST]: printers FIRST to LAST have no paper jam. The file
# is written beside the fleet file and renamed over it, so that the engine
# never reads half of it.
write_fleet() {
  awk -v count="$printers" -v first="${1:-0}" -v last="${2:--1}" 'BEGIN {
    for (id = 1; id <= count; ++id) {
      printf "[Printer Bench %05d]\n", id
      printf "Id = %d\nMac = 0020%08X\nProtocols = 0x2\nAdapter = 129\nIp = 127.0.0.1\nClasses = 0x2\n", id, id
      printf "Class = 255\nModel = Korvane LaserLine 4000\n"
      if (id < first || id > last) printf "Paper Jam = 05:000003\n"
      printf "Printer Supplies = 0A:500001\nPrinter Warnings = 07:000001\n\n"
    }
  }' > "$KORBCE_FLEET.new"
}
replace_fleet() { mv -f "$KORBCE_FLEET.new" "$KORBCE_FLEET"; }

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

now() { printf '%s' "$EPOCHREALTIME"; }
event_count() { if [[ -f "$work/events.txt" ]]; then wc -l < "$work/events.txt"; else echo 0; fi; }

write_fleet
replace_fleet
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

# wait_until SECONDS WHAT COMMAND...: runs COMMAND every few milliseconds
# until it succeeds; fails when the service ends or SECONDS have passed.
wait_until() {
  local limit=$1 what=$2
  shift 2
  local deadline
  deadline=$(awk -v s="$(now)" -v l="$limit" 'BEGIN { printf "%.6f", s + l }')
  until "$@"; do
    kill -0 "$service" 2>/dev/null || fail "KorEventSvc ended before $what"
    awk -v n="$(now)" -v d="$deadline" 'BEGIN { exit !(n > d) }' && fail "no $what after $limit seconds"
    sleep "${poll_seconds:-0.02}"
  done
}
has_events() { count=$(event_count); ((count >= $1)); }
# has_new_line OFFSET TEXT: the events after byte OFFSET hold TEXT.
has_new_line() { tail -c "+$(($1 + 1))" "$work/events.txt" | grep -qF "$2"; }

count=0
wait_until "$time_limit" "all $expected events" has_events "$expected"
finish=$(now)

peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$service/status" 2>/dev/null || true)
[[ -n "$peak_kb" ]] || fail "cannot read the peak memory of KorEventSvc (process $service)"

distinct=$(sort -u "$work/events.txt" | wc -l)
((count == expected)) || fail "$count events received, $expected expected"
((distinct == expected)) || fail "only $distinct of the $expected events are distinct"
for message in "Internal Paper Jam" "Toner Low - Toner Cartridge" "Resolution Reduction Warning"; do
  carried=$(grep -c "msg='$message';" "$work/events.txt" || true)
  ((carried == printers)) || fail "$carried events carry \"$message\", $printers expected"
done

# The latency of one change, with every printer still watched: printers 1 to
# latency_tries lose their paper jam, then jam again one at a time, each in a
# fleet file of its own, timed from the rename to its event at the receiver.
latencies=()
if ((latency_tries > 0)); then
  write_fleet 1 "$latency_tries"
  replace_fleet
  wait_until 60 "the $latency_tries cleared jams" has_events $((expected + latency_tries))
  for ((id = 1; id <= latency_tries; ++id)); do
    write_fleet $((id + 1)) "$latency_tries"
    offset=$(stat -c %s "$work/events.txt")
    jam=$(printf "msg='Internal Paper Jam';printer_address='0020%08X';" "$id")
    renamed=$(now)
    replace_fleet
    poll_seconds=0.005 wait_until 60 "jam event of printer $id" has_new_line "$offset" "$jam"
    latencies+=("$(awk -v r="$renamed" -v n="$(now)" 'BEGIN { printf "%.3f", n - r }')")
  done
fi

stop_process "$host"
host=""
service=""

awk -v s="$start" -v f="$finish" -v kb="$peak_kb" -v n="$expected" -v p="$printers" 'BEGIN {
  printf "all %d events received in %.2f s (%.0f events/s)\n", n, f - s, n / (f - s)
  printf "peak resident memory of KorEventSvc: %.1f MB (VmHWM %d kB)\n", kb / 1024, kb
  printf "row: | %d | %d | %.2f | %.0f | %.1f | %.2f |\n", p, n, f - s, n / (f - s), kb / 1024, kb / p
}'
if ((latency_tries > 0)); then
  printf '%s\n' "${latencies[@]}" | sort -n | awk -v p="$printers" '{ value[NR] = $1 } END {
    median = NR % 2 ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2
    printf "latency of one change over %d tries: median %.3f s, maximum %.3f s\n", NR, median, value[NR]
    printf "latency: | %d | %d | %.3f | %.3f |\n", p, NR, median, value[NR]
  }'
fi
