#!/usr/bin/env bash
# The tray process's idle memory over a long run in which the window is opened and
# closed again and again: after every cycle the window process has ended (a short
# linger), so what the tray process keeps is what a day of use would leave behind.
# Runs under a virtual X server with trayer as the notification area. By hand:
#
#   bash bench/desktop_memory_cycles.sh [BUILD_DIR] [CYCLES]   (default: build/, 40)
#
# Prints the tray process's VmRSS and PSS after each cycle and the growth from the
# first cycles to the last ones; it measures, it does not judge.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
cycles=${2:-40}
utility=$build/bin/kesto-utility
[ -x "$utility" ] || { echo "no $utility: build first" >&2; exit 1; }

source "$here/bench/desktop_common.sh"
in_xvfb "$0" "$build" "$cycles"

work=$(mktemp -d)
tray_host=
utility_pid=
cleanup() {
  [ -n "$utility_pid" ] && kill "$utility_pid" 2>/dev/null && { wait "$utility_pid" 2>/dev/null || true; }
  if [ -n "$tray_host" ]; then kill "$tray_host" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

start_tray_host

cp "$here/resources/QVWlan.INI" "$here/resources/scenarios/default.json" "$work/"
mkdir -m 0700 "$work/run"

icon() { xdotool search --class kesto-utility 2>/dev/null | head -1; }
window() { xdotool search --onlyvisible --class kesto-window 2>/dev/null | head -1; }
children() { pgrep -P "$utility_pid" | wc -l; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

(cd "$work" && XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb KESTO_WINDOW_LINGER_MS=500 \
  exec "$utility" --registry "$work/registry.db" --scenario "$work/default.json") \
  >"$work/utility.log" 2>&1 &
utility_pid=$!
for _ in $(seq 600); do [ -n "$(icon)" ] && break; sleep 0.1; done
[ -n "$(icon)" ] || { cat "$work/utility.log"; echo "no tray icon" >&2; exit 1; }
sleep 3
echo "cycle  tray RSS MiB  tray PSS MiB"
printf '%5s  %12s  %12s\n' 0 "$(mib "$(rss "$utility_pid")")" \
  "$(mib "$(pss "$utility_pid")")"

declare -a rss_after
for cycle in $(seq "$cycles"); do
  xdotool mousemove --window "$(icon)" 8 8 click --repeat 2 --delay 80 1
  for _ in $(seq 600); do [ -n "$(window)" ] && break; sleep 0.1; done
  [ -n "$(window)" ] || { echo "cycle $cycle: the window did not open" >&2; exit 1; }
  sleep 2
  xdotool windowfocus --sync "$(window)" key Escape
  for _ in $(seq 100); do [ -z "$(window)" ] && break; sleep 0.1; done
  # The window process ends after its linger; the tray is idle again.
  for _ in $(seq 200); do [ "$(children)" -eq 0 ] && break; sleep 0.1; done
  sleep 2
  now=$(rss "$utility_pid")
  rss_after[cycle]=$now
  printf '%5s  %12s  %12s\n' "$cycle" "$(mib "$now")" \
    "$(mib "$(pss "$utility_pid")")"
done

# Growth: the mean of the last five cycles against the mean of cycles 2..6 (the first
# cycle loads what every later one reuses).
mean() { local s=0 n=0 i; for i in "$@"; do s=$((s + rss_after[i])); n=$((n + 1)); done; echo $((s / n)); }
if [ "$cycles" -ge 11 ]; then
  early=$(mean 2 3 4 5 6)
  late=$(mean $(seq $((cycles - 4)) "$cycles"))
  echo "tray RSS, cycles 2-6: $(mib "$early") MiB; last five: $(mib "$late") MiB;" \
    "growth $(mib $((late - early))) MiB over $((cycles - 6)) cycles"
fi
