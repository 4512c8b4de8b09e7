# shellcheck shell=bash
# Shared by the desktop benchmarks (sourced): the virtual X server with trayer as the
# notification area, and memory figures of a process tree from /proc.

# Runs the calling script again inside xvfb-run unless it already is: in_xvfb "$0" "$@".
in_xvfb() {
  if [ "${KESTO_INSIDE_XVFB:-}" != 1 ]; then
    export KESTO_INSIDE_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$@"
  fi
}

# Starts trayer and waits for it; its process id in tray_host.
start_tray_host() {
  trayer --edge bottom --align right --widthtype pixel --width 120 --height 24 \
    --SetDockType true --expand false >/dev/null 2>&1 &
  # shellcheck disable=SC2034 # the sourcing script ends it
  tray_host=$!
  for _ in $(seq 100); do
    xdotool search --classname trayer >/dev/null 2>&1 && break
    sleep 0.1
  done
}

kib() { awk -v k="$1" '$1 == k":" { print $2 }' "/proc/$2/$3" 2>/dev/null || echo 0; }
rss() { kib VmRSS "$1" status; }
pss() { kib Pss "$1" smaps_rollup; }
uss() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s + 0 }' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0; }
# The process and all its descendants (from each process's parent in /proc/*/stat).
tree() {
  local -A parent=()
  local file line pid fields
  for file in /proc/[0-9]*/stat; do
    line=$(cat "$file" 2>/dev/null) || continue
    pid=${line%% *}
    read -r -a fields <<<"${line##*) }"
    parent[$pid]=${fields[1]}
  done
  local found=("$1") i=0
  while [ $i -lt ${#found[@]} ]; do
    for pid in "${!parent[@]}"; do
      [ "${parent[$pid]}" = "${found[$i]}" ] && found+=("$pid")
    done
    i=$((i + 1))
  done
  echo "${found[@]}"
}
# sum rss|pss "PID PID ...": kiB over the processes.
sum() { local total=0 pid v; for pid in $2; do v=$($1 "$pid"); total=$((total + ${v:-0})); done; echo $total; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
