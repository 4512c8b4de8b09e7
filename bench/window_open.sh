#!/usr/bin/env bash
# How fast the window opens and what it costs, side by side with wpa_gui's window as a
# reference, in one run under a virtual X server with trayer as the notification area:
#   - cold open: the tray icon's double click (its second press) to the status page
#     painted with its values, with no window process running;
#   - warm open: the same within the linger time, the window process still running;
#   - the proportional set size (PSS) of the window's whole process tree while it is open,
#     and its unique set size (USS: private pages only), which other programs sharing the
#     same libraries do not change.
# For wpa_gui, cold is its start to its window painted, warm a click on its tray icon
# that shows the hidden window again. "Painted" means the window's pixels, as the X
# server has them, match a settled picture of it (window_paint_probe; pixels that change
# by themselves, such as counters, are left out). Run by hand; it measures, never asserts:
#
#   bash bench/window_open.sh [BUILD_DIR [RUNS]]     (default: build/, 7 runs)
#
# BUILD_DIR must be configured with -DKESTO_BUILD_BENCH=ON and have window_paint_probe,
# kesto-utility and kesto-window built. Extra flags for the web engine can be tried with
# KESTO_BENCH_CHROMIUM_FLAGS (passed on as QTWEBENGINE_CHROMIUM_FLAGS).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
runs=${2:-7}
utility=$build/bin/kesto-utility
probe=$build/bench/window_paint_probe
for program in "$utility" "$probe"; do
  [ -x "$program" ] || { echo "no $program: configure with -DKESTO_BUILD_BENCH=ON and build it" >&2; exit 1; }
done

source "$here/bench/desktop_common.sh"
in_xvfb "$0" "$build" "$runs"

work=$(mktemp -d)
tray_host=
utility_pid=
wpa_pid=
cleanup() {
  for pid in $utility_pid $wpa_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  [ -n "$tray_host" ] && kill "$tray_host" 2>/dev/null
  if [ -n "${KESTO_BENCH_KEEP:-}" ]; then echo "logs and pictures kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
start_tray_host

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) { print "-"; exit }
  m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
  printf "%.0f ms (%.0f-%.0f)", m, v[1], v[NR] }'; }
now_ns() { date +%s%N; }
visible() { xdotool search --onlyvisible --class "$1" 2>/dev/null | head -1 || true; }
# Double click on a tray icon window; the time of the second press in t0.
double_click() {
  xdotool mousemove --window "$1" 8 8 click 1
  sleep 0.05
  t0=$(now_ns)
  xdotool click 1
}
# record NAME CLASS PICTURE: waits for the window painted; appends the time since t0 to the
# array NAME and the part after the window first appeared to NAME_shown.
record() {
  local out
  out=$("$probe" wait "$2" "$3" "$t0") || { echo "the $2 window never showed its picture" >&2; exit 1; }
  eval "$1+=(${out% *})"
  eval "$1_shown+=($(awk '{ printf "%.1f", $1 - $2 }' <<<"$out"))"
}
hide_kesto() {
  xdotool windowfocus --sync "$(visible kesto-window)" key Escape
  for _ in $(seq 100); do [ -z "$(visible kesto-window)" ] && return; sleep 0.05; done
  echo "the window did not hide" >&2; exit 1
}

# --- our window ---------------------------------------------------------------------
linger_ms=4000
cp "$here/resources/QVWlan.INI" "$here/resources/scenarios/default.json" "$work/"
mkdir -m 0700 "$work/run"
(cd "$work" && XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb KESTO_WINDOW_LINGER_MS=$linger_ms \
  QTWEBENGINE_CHROMIUM_FLAGS="${KESTO_BENCH_CHROMIUM_FLAGS:-${QTWEBENGINE_CHROMIUM_FLAGS:-}}" \
  exec "$utility" --registry "$work/registry.db" --scenario "$work/default.json") \
  >"$work/utility.log" 2>&1 &
utility_pid=$!
icon=
for _ in $(seq 600); do
  icon=$(xdotool search --class kesto-utility 2>/dev/null | head -1 || true)
  [ -n "$icon" ] && break
  kill -0 "$utility_pid" 2>/dev/null || { cat "$work/utility.log"; exit 1; }
  sleep 0.1
done
[ -n "$icon" ] || { echo "no tray icon" >&2; exit 1; }
sleep 2
window_process() { pgrep -P "$utility_pid" -x kesto-window || true; }

# The first open makes the settled picture and gives the memory figure.
double_click "$icon"
"$probe" reference kesto-window "$work/kesto.ref" 5000
window_tree=$(tree "$(window_process)")
kesto_pss=$(sum pss "$window_tree")
kesto_uss=$(sum uss "$window_tree")
kesto_count=$(echo "$window_tree" | wc -w)
hide_kesto

# shellcheck disable=SC2034 # filled by record and read by row, through their names
cold=() warm=() cold_shown=() warm_shown=()
for _ in $(seq "$runs"); do
  for _ in $(seq 200); do [ -z "$(window_process)" ] && break; sleep 0.1; done
  [ -z "$(window_process)" ] || { echo "the window process outlived its linger time" >&2; exit 1; }
  sleep 0.5
  double_click "$icon"
  record cold kesto-window "$work/kesto.ref"
  sleep 1
  hide_kesto
  sleep 1
  double_click "$icon"
  record warm kesto-window "$work/kesto.ref"
  sleep 1
  hide_kesto
done
kill "$utility_pid"
wait "$utility_pid" 2>/dev/null || true
utility_pid=

# row LABEL COLD WARM MEMORY: one line of the table from the arrays named COLD and WARM.
row() {
  local -n c=$2 cs=${2}_shown w=$3 ws=${3}_shown
  local warm_text="not measured"
  [ ${#w[@]} -eq 0 ] || warm_text="$(printf '%s\n' "${w[@]}" | median) [$(printf '%s\n' "${ws[@]}" | median | cut -d' ' -f1-2)]"
  printf "%-14s %-34s %-34s %s\n" "$1:" \
    "$(printf '%s\n' "${c[@]}" | median) [$(printf '%s\n' "${cs[@]}" | median | cut -d' ' -f1-2)]" \
    "$warm_text" "$4"
}

# --- wpa_gui's window ---------------------------------------------------------------
wpa_line="wpa_gui:        not installed (apt-get install wpagui)"
if command -v wpa_gui >/dev/null; then
  start_wpa() {
    t0=$(now_ns)
    (cd "$work" && XDG_RUNTIME_DIR="$work/run" exec wpa_gui) >>"$work/wpa_gui.log" 2>&1 &
    wpa_pid=$!
  }
  stop_wpa() { kill "$wpa_pid"; wait "$wpa_pid" 2>/dev/null || true; wpa_pid=; }
  start_wpa
  "$probe" reference wpa_gui "$work/wpa.ref" 5000
  wpa_pss=$(sum pss "$(tree "$wpa_pid")")
  wpa_uss=$(sum uss "$(tree "$wpa_pid")")
  wpa_count=$(tree "$wpa_pid" | wc -w)
  # Its tray icon: the small window of its class, a click on which hides and shows it.
  wpa_icon=
  for w in $(xdotool search --class wpa_gui 2>/dev/null || true); do
    width=$(xdotool getwindowgeometry "$w" | awk '/Geometry/ { split($2, g, "x"); print g[1] }')
    [ "${width:-0}" -le 64 ] && wpa_icon=$w
  done
  # shellcheck disable=SC2034 # as above
  wpa_cold=() wpa_warm=() wpa_cold_shown=() wpa_warm_shown=()
  for _ in $(seq "$runs"); do
    if [ -n "$wpa_icon" ]; then
      xdotool mousemove --window "$wpa_icon" 8 8 click 1
      # Hidden when only the icon is left to see.
      for _ in $(seq 100); do
        [ "$(xdotool search --onlyvisible --class wpa_gui 2>/dev/null | wc -l)" -lt 2 ] && break
        sleep 0.05
      done
      sleep 1
      t0=$(now_ns)
      xdotool click 1
      record wpa_warm wpa_gui "$work/wpa.ref"
    fi
    stop_wpa
    sleep 0.5
    start_wpa
    record wpa_cold wpa_gui "$work/wpa.ref"
    sleep 1
  done
  stop_wpa
  wpa_line=$(row "wpa_gui" wpa_cold wpa_warm "$(mib "$wpa_pss"), $(mib "$wpa_uss") USS ($wpa_count process)")
fi

echo "$runs runs each; medians (min-max); in brackets the part after the window appeared"
printf "%-14s %-34s %-34s %s\n" "" "cold open" "warm open" "window tree PSS"
row "kesto-window" cold warm "$(mib "$kesto_pss"), $(mib "$kesto_uss") USS ($kesto_count processes)"
echo "$wpa_line"
pairs() { local -n a=$1 b=${1}_shown; local i; for i in "${!a[@]}"; do printf ' %s[%s]' "${a[$i]}" "${b[$i]}"; done; }
echo "kesto-window cold opens (ms):$(pairs cold)"
echo "kesto-window warm opens (ms):$(pairs warm)"
