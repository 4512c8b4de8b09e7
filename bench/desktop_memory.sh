#!/usr/bin/env bash
# The desktop programs' footprint, measured under a virtual X server with trayer as the
# notification area: the tray process's resident memory while idle before the window was
# ever shown, the whole process tree's while the window is open, the tray process's 60 s
# after the window was hidden, and the time from start to the tray icon. Run by hand:
#
#   bash bench/desktop_memory.sh [BUILD_DIR]      (default: build/)
#
# Resident memory is VmRSS; the tree's figure is also given as PSS, which shares the
# libraries the processes have in common instead of counting them once per process.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
utility=$build/bin/kesto-utility
[ -x "$utility" ] || { echo "no $utility: build first" >&2; exit 1; }

source "$here/bench/desktop_common.sh"
in_xvfb "$0" "$build"

work=$(mktemp -d)
tray_host=
utility_pid=
cleanup() {
  [ -n "$utility_pid" ] && kill "$utility_pid" 2>/dev/null && wait "$utility_pid" 2>/dev/null
  [ -n "$tray_host" ] && kill "$tray_host" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_tray_host

cp "$here/resources/QVWlan.INI" "$here/resources/scenarios/default.json" "$work/"
mkdir -m 0700 "$work/run"

icon() { xdotool search --class kesto-utility 2>/dev/null | head -1; }
window() { xdotool search --onlyvisible --class kesto-window 2>/dev/null | head -1; }

started=$(now_ms)
(cd "$work" && XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb \
  exec "$utility" --registry "$work/registry.db" --scenario "$work/default.json") \
  >"$work/utility.log" 2>&1 &
utility_pid=$!
until [ -n "$(icon)" ]; do
  kill -0 "$utility_pid" 2>/dev/null || { cat "$work/utility.log"; exit 1; }
  [ $(($(now_ms) - started)) -lt 60000 ] || { echo "no tray icon after 60 s" >&2; exit 1; }
  sleep 0.02
done
to_icon=$(($(now_ms) - started))

sleep 5
idle=$(rss "$utility_pid")
idle_pss=$(pss "$utility_pid")
before_show=$(tree "$utility_pid" | wc -w)

xdotool mousemove --window "$(icon)" 8 8 click --repeat 2 --delay 80 1
for _ in $(seq 300); do [ -n "$(window)" ] && break; sleep 0.1; done
[ -n "$(window)" ] || { echo "the window did not open" >&2; exit 1; }
sleep 8
open_pids=$(tree "$utility_pid")
open_rss=$(sum rss "$open_pids")
open_pss=$(sum pss "$open_pids")
open_count=$(echo "$open_pids" | wc -w)

xdotool windowfocus --sync "$(window)" key Escape
for _ in $(seq 100); do [ -z "$(window)" ] && break; sleep 0.1; done
[ -z "$(window)" ] || { echo "the window did not hide" >&2; exit 1; }
sleep 60
hidden=$(rss "$utility_pid")
hidden_pss=$(pss "$utility_pid")
after_count=$(tree "$utility_pid" | wc -w)

echo "start to tray icon:                  ${to_icon} ms"
echo "tray process idle, before first show: $(mib "$idle") RSS, $(mib "$idle_pss") PSS ($before_show process)"
echo "process tree, window open:            $(mib "$open_rss") RSS, $(mib "$open_pss") PSS ($open_count processes)"
echo "tray process 60 s after hiding:       $(mib "$hidden") RSS, $(mib "$hidden_pss") PSS ($after_count process(es) left)"
