#!/usr/bin/env bash
# Runs a command on a virtual X server with the desktop an end-to-end test needs:
#   with-desktop.sh tray COMMAND ARGS...            trayer as the notification area,
#                                                   no window manager (KESTO_E2E_TRAY=1)
#   with-desktop.sh window-manager COMMAND ARGS...  openbox, no notification area
#                                                   (KESTO_E2E_WM=1)
set -euo pipefail
kind=${1:?usage: with-desktop.sh tray|window-manager COMMAND ARGS...}
shift
if [ "${KESTO_INSIDE_XVFB:-}" != 1 ]; then
  export KESTO_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$kind" "$@"
fi
case "$kind" in
  tray)
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 24 \
      --SetDockType true --expand false >/dev/null 2>&1 &
    ready=(xdotool search --classname trayer)
    export KESTO_E2E_TRAY=1
    ;;
  window-manager)
    openbox --sm-disable >/dev/null 2>&1 &
    ready=(xdotool search --name Openbox) # its window for the EWMH check
    export KESTO_E2E_WM=1
    ;;
  *)
    echo "with-desktop.sh: unknown kind $kind" >&2
    exit 2
    ;;
esac
host=$!
trap 'kill $host 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  "${ready[@]}" >/dev/null 2>&1 && break
  sleep 0.1
done
"$@"
