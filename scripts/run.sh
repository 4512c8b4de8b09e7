#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running utility: installs what is
# missing, builds, and starts kesto-utility with the default scenario, a scratch store
# and QVWlan.INI in its working directory (a fresh folder, printed at start).
#
# On a desktop the icon appears in the notification area. Without a display the program
# runs on a virtual one (xvfb-run, with trayer as the notification area), saves pictures
# of the status, survey and profile pages, and keeps running until interrupted (Ctrl-C).
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
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

bash "$here/scripts/install-deps.sh"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target kesto-utility kesto-window

run_dir=${run_dir:-$(mktemp -d /tmp/kesto-run-XXXXXX)}
mkdir -p "$run_dir"
run_dir=$(cd "$run_dir" && pwd)
cp "$here/resources/QVWlan.INI" "$run_dir/QVWlan.INI"
cp "$here/resources/scenarios/default.json" "$run_dir/scenario.json"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR=$run_dir/runtime
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 0700 "$XDG_RUNTIME_DIR"
fi
args=(--registry "$run_dir/registry.db" --scenario "$run_dir/scenario.json"
      --call-log "$run_dir/adapter-calls.log")
echo "run.sh: working directory $run_dir (store, scenario, QVWlan.INI, adapter call log)"
cd "$run_dir"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  [ -z "$shots" ] || args+=(--screenshots "$shots")
  exec "$build/bin/kesto-utility" "${args[@]}"
fi

shots=${shots:-$run_dir/screenshots}
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)
echo "run.sh: no display: running on a virtual one; pictures of the pages go to $shots"
echo "run.sh: the utility keeps running until you press Ctrl-C"
export KESTO_UTILITY="$build/bin/kesto-utility" KESTO_SHOTS="$shots"
# shellcheck disable=SC2016 # the inner shell expands its own variables
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  trayer --edge bottom --align right --widthtype pixel --width 120 --height 24 \
    --SetDockType true --expand false >/dev/null 2>&1 &
  for _ in $(seq 100); do
    xdotool search --classname trayer >/dev/null 2>&1 && break
    sleep 0.1
  done
  exec "$KESTO_UTILITY" "$@" --screenshots "$KESTO_SHOTS"' run "${args[@]}"
