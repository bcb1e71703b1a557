#!/bin/sh
# snmpsimd for tests that run under Wine. Wine starts this script as a Unix
# process but gives the test no handle on it: each step therefore ends by
# writing its status into DIR/step.done, and the agent's process id is kept
# in DIR/agent.pid. No argument may hold a space.
#
#   wine-snmp-agent.sh start DIR PORT [USER AUTH-PROTOCOL AUTH-KEY PRIV-PROTOCOL PRIV-KEY]
#   wine-snmp-agent.sh stop|pause|resume DIR
set -u
# Without Wine's dosdevices/c: link: snmpsimd takes a colon as a separator.
step=$1 dir=$(cd "$2" && pwd -P)
pid=$(cat "$dir/agent.pid" 2> /dev/null || echo 0)

running() { [ "$pid" -gt 0 ] && kill -0 "$pid" 2> /dev/null; }

start() {
  options="--data-dir=$dir/data --cache-dir=$dir/cache --agent-udpv4-endpoint=127.0.0.1:$1"
  options="$options --logging-method=file:$dir/agent.log"
  if [ $# -eq 6 ]; then
    options="$options --v3-user=$2 --v3-auth-proto=$3 --v3-auth-key=$4 --v3-priv-proto=$5 --v3-priv-key=$6"
  else
    options="$options --v2c-arch"
  fi
  # snmpsimd refuses to run as root; as nobody it must read the recordings
  # and write its index.
  if [ "$(id -u)" -eq 0 ]; then
    options="$options --process-user=nobody --process-group=$(id -gn nobody)"
    chmod -R a+rwX "$dir"
  fi
  rm -f "$dir/agent.log"
  # shellcheck disable=SC2086 # the options are words without spaces
  nohup snmpsimd $options > "$dir/agent.out" 2>&1 < /dev/null &
  echo $! > "$dir/agent.pid"
}

stop() {
  running || return 0
  kill -CONT "$pid"
  kill "$pid"
  for _ in $(seq 100); do
    running || return 0
    sleep 0.1
  done
  kill -KILL "$pid"
}

status=0
case "$step" in
  start) shift 2; start "$@" || status=$? ;;
  stop) stop || status=$? ;;
  pause) kill -STOP "$pid" || status=$? ;;
  resume) kill -CONT "$pid" || status=$? ;;
  *) status=2 ;;
esac
echo "$status" > "$dir/step.new" && mv "$dir/step.new" "$dir/step.done"
