#!/usr/bin/env bash
# The demo's network printer: snmpsimd on 127.0.0.1, on a free UDP port,
# serving one recording under the community "demo". Sourced by run-demo.sh.
#   snmp_printer_start DIR  starts it; false when snmpsimd is missing or does
#                           not start (the reason is printed)
#   snmp_printer_write YES|NO  rewrites the recording with or without a paper
#                           jam at tray 1
#   snmp_printer_target     the Targets entry of the [SNMP] section
#   snmp_printer_pid        the agent's process id

snmp_dir=""
snmp_port=""
snmp_printer_pid=""
snmp_mtime=0

# The recording, its lines in the numeric order of their OIDs as snmpsimd
# needs them.
snmp_printer_recording() {
  cat <<'RECORDING'
1.3.6.1.2.1.1.1.0|4|Korvane NetLaser 7 network printer
1.3.6.1.2.1.2.2.1.6.1|4x|0020004A4E07
1.3.6.1.2.1.4.20.1.2.127.0.0.1|2|1
1.3.6.1.2.1.25.3.2.1.2.1|6|1.3.6.1.2.1.25.3.1.5
1.3.6.1.2.1.25.3.2.1.3.1|4|Korvane NetLaser 7
1.3.6.1.2.1.25.3.2.1.5.1|2|2
1.3.6.1.2.1.25.3.5.1.1.1|2|3
1.3.6.1.2.1.25.3.5.1.2.1|4x|00
1.3.6.1.2.1.43.5.1.1.1.1|65|1
1.3.6.1.2.1.43.5.1.1.16.1|4|NetLaser 7
1.3.6.1.2.1.43.8.2.1.2.1.1|2|4
1.3.6.1.2.1.43.8.2.1.10.1.1|2|-3
1.3.6.1.2.1.43.8.2.1.13.1.1|4|Tray 1
1.3.6.1.2.1.43.9.2.1.7.1.1|4|Top Bin
1.3.6.1.2.1.43.11.1.1.3.1.1|2|1
1.3.6.1.2.1.43.11.1.1.5.1.1|2|3
1.3.6.1.2.1.43.11.1.1.6.1.1|4|Black Toner
1.3.6.1.2.1.43.11.1.1.8.1.1|2|100
1.3.6.1.2.1.43.11.1.1.9.1.1|2|-3
1.3.6.1.2.1.43.12.1.1.4.1.1|4|black
RECORDING
  if [[ "$1" == YES ]]; then
    # one alert row: critical, group input (8), tray 1, code jam (8)
    cat <<'RECORDING'
1.3.6.1.2.1.43.18.1.1.2.1.1|2|3
1.3.6.1.2.1.43.18.1.1.3.1.1|2|4
1.3.6.1.2.1.43.18.1.1.4.1.1|2|8
1.3.6.1.2.1.43.18.1.1.5.1.1|2|1
1.3.6.1.2.1.43.18.1.1.6.1.1|2|0
1.3.6.1.2.1.43.18.1.1.7.1.1|2|8
1.3.6.1.2.1.43.18.1.1.8.1.1|4|Paper jam in tray 1
RECORDING
  fi
}

# A new file renamed over the old one, its modification time moved forward
# by whole seconds: snmpsimd indexes a recording again only when it is newer
# than its index.
snmp_printer_write() {
  local recording="$snmp_dir/data/demo.snmprec"
  snmp_printer_recording "$1" > "$recording.new"
  chmod 644 "$recording.new"
  mv "$recording.new" "$recording"
  local now
  now=$(date +%s)
  snmp_mtime=$(( (now > snmp_mtime ? now : snmp_mtime) + 2 ))
  touch -d "@$snmp_mtime" "$recording"
}

snmp_printer_target() { echo "demo@127.0.0.1:$snmp_port"; }

snmp_free_udp_port() {
  python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

snmp_printer_start() {
  if ! command -v snmpsimd >/dev/null; then
    echo "  snmpsimd is not installed (Debian package snmpsim): the demo runs without the network printer"
    return 1
  fi
  snmp_dir="$1"
  mkdir -p "$snmp_dir/data" "$snmp_dir/cache"
  # As root, snmpsimd runs as nobody, which must reach the recordings and
  # write the index.
  local privileges=()
  if [[ $(id -u) == 0 ]]; then
    chmod 755 "$(dirname "$snmp_dir")"
    chmod 777 "$snmp_dir" "$snmp_dir/data" "$snmp_dir/cache"
    privileges=(--process-user=nobody "--process-group=$(id -gn nobody)")
  fi
  snmp_printer_write NO
  snmp_port=$(snmp_free_udp_port) || { echo "  no free UDP port: the demo runs without the network printer"; return 1; }
  snmpsimd "${privileges[@]}" --v2c-arch --data-dir="$snmp_dir/data" --cache-dir="$snmp_dir/cache" \
    --agent-udpv4-endpoint="127.0.0.1:$snmp_port" --logging-method="file:$snmp_dir/agent.log" \
    >"$snmp_dir/agent.out" 2>&1 &
  snmp_printer_pid=$!
  for _ in $(seq 300); do
    if grep -q "Listening at UDP/IPv4 endpoint 127.0.0.1:$snmp_port" "$snmp_dir/agent.log" 2>/dev/null; then
      echo "  snmpsimd serves the network printer at 127.0.0.1:$snmp_port (community demo)"
      return 0
    fi
    kill -0 "$snmp_printer_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "  snmpsimd did not start: the demo runs without the network printer"
  sed 's/^/    /' "$snmp_dir/agent.out" | tail -5
  kill "$snmp_printer_pid" 2>/dev/null || true
  snmp_printer_pid=""
  return 1
}
