#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running utility: installs what
# building and running it needs (scripts/packages/build.txt, and display.txt when there is
# no display), builds the two programs and kestoctl, and starts kesto-utility with the
# default scenario, a scratch store and QVWlan.INI in its working folder (a fresh folder,
# printed at start), on the session bus (one of its own when the session has none).
#
# On a desktop the icon appears in the notification area. Without a display the program
# runs on a virtual one (xvfb-run, with trayer as the notification area), saves pictures
# of the status, survey and profile pages, and keeps running until interrupted (Ctrl-C).
# It prints the commands that reach the running utility from another terminal: kestoctl
# and the exit request.
#
#   bash scripts/run.sh [--screenshots DIR] [--run-dir DIR]
#
# Build folder: build/ (override with BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
shots=
run_dir=
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshots) shots=${2:?--screenshots needs a folder}; shift 2 ;;
    --run-dir) run_dir=${2:?--run-dir needs a folder}; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

display=${DISPLAY:-}${WAYLAND_DISPLAY:-}
if [ -n "$display" ]; then
  bash "$here/scripts/install-deps.sh" build
else
  bash "$here/scripts/install-deps.sh" build display
fi
# The tests are not built here (test.sh turns them on again in the same folder).
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target kesto-utility kesto-window kestoctl

run_dir=${run_dir:-$(mktemp -d /tmp/kesto-run-XXXXXX)}
mkdir -p "$run_dir"
run_dir=$(cd "$run_dir" && pwd)
cp "$here/resources/QVWlan.INI" "$run_dir/QVWlan.INI"
cp "$here/resources/scenarios/default.json" "$run_dir/scenario.json"
# Said to the user as commands to paste: what this run sets beyond their own session.
reach=()
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR=$run_dir/runtime
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 0700 "$XDG_RUNTIME_DIR"
  reach+=("XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR")
fi
bus_pid=
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ ! -S "$XDG_RUNTIME_DIR/bus" ]; then
  # No session bus: one of our own for the utility's service, ended with the run.
  dbus-daemon --session --fork --print-address=3 --print-pid=4 \
    3>"$run_dir/bus.address" 4>"$run_dir/bus.pid"
  bus_pid=$(cat "$run_dir/bus.pid")
  trap 'kill "$bus_pid" 2>/dev/null || true' EXIT
  DBUS_SESSION_BUS_ADDRESS=$(head -1 "$run_dir/bus.address")
  export DBUS_SESSION_BUS_ADDRESS
  reach+=("DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS")
fi
prefix=
[ ${#reach[@]} -eq 0 ] || prefix="env ${reach[*]} "
args=(--registry "$run_dir/registry.db" --scenario "$run_dir/scenario.json"
      --call-log "$run_dir/adapter-calls.log")
echo "run.sh: working folder $run_dir (store, scenario, QVWlan.INI, adapter call log)"
echo "run.sh: from another terminal:"
echo "    ${prefix}$build/bin/kestoctl status"
echo "    ${prefix}$build/bin/kesto-utility /EXIT      # ends this utility"
cd "$run_dir"

status=0
if [ -n "$display" ]; then
  [ -z "$shots" ] || args+=(--screenshots "$shots")
  "$build/bin/kesto-utility" "${args[@]}" || status=$?
else
  shots=${shots:-$run_dir/screenshots}
  mkdir -p "$shots"
  shots=$(cd "$shots" && pwd)
  echo "run.sh: no display: running on a virtual one; pictures of the pages go to $shots"
  echo "run.sh: the utility keeps running until you press Ctrl-C or end it as above"
  export KESTO_UTILITY="$build/bin/kesto-utility" KESTO_SHOTS="$shots"
  # shellcheck disable=SC2016 # the inner shell expands its own variables
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 24 \
      --SetDockType true --expand false >/dev/null 2>&1 &
    for _ in $(seq 100); do
      xdotool search --classname trayer >/dev/null 2>&1 && break
      sleep 0.1
    done
    exec "$KESTO_UTILITY" "$@" --screenshots "$KESTO_SHOTS"' run "${args[@]}" || status=$?
fi
exit "$status"
