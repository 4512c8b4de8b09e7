#!/usr/bin/env bash
# Runs PROGRAM with a private D-Bus bus as its system bus (DBUS_SYSTEM_BUS_ADDRESS) on
# which python-dbusmock's NetworkManager template runs; the bus and the mock end with
# it. Never touches the machine's own buses.
#   usage: with-mock-networkmanager.sh PROGRAM [ARGS...]
set -euo pipefail
dir=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
address=unix:path=$dir/bus
dbus-daemon --config-file=/usr/share/dbus-1/session.conf --address="$address" --nofork \
  --nopidfile --nosyslog &
pids+=($!)
for _ in $(seq 50); do [ -S "$dir/bus" ] && break; sleep 0.1; done
export DBUS_SYSTEM_BUS_ADDRESS=$address
# Debian's interpreter: python-dbusmock is a Debian package.
/usr/bin/python3 -m dbusmock --system --template networkmanager > "$dir/mock.log" 2>&1 &
pids+=($!)
"$@"
