#!/usr/bin/env bash
# Runs a command on a virtual X server with trayer as the notification area, for the
# tests that need a real tray icon: with-tray.sh COMMAND ARGS...
set -euo pipefail
if [ "${KESTO_INSIDE_XVFB:-}" != 1 ]; then
  export KESTO_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
trayer --edge bottom --align right --widthtype pixel --width 120 --height 24 \
  --SetDockType true --expand false >/dev/null 2>&1 &
tray_host=$!
trap 'kill $tray_host 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  xdotool search --classname trayer >/dev/null 2>&1 && break
  sleep 0.1
done
export KESTO_E2E_TRAY=1
"$@"
