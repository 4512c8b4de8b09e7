# shellcheck shell=sh
# Runs inside the test machine (tray-shot.sh): one open access point ("Kesto Offen" on
# wlan0, tests/vm/ap-open.conf), wpa_supplicant on wlan1, and the utility driving wlan1
# through the Linux adapter library with the window on the offscreen platform. Once the
# screenshot tour has written its pictures they go to the console as base64 between
# KESTO-PNG markers, as the host's files are read-only here.
#   usage: sh tray-guest.sh SOURCE_DIR BUILD_DIR
set -u
src=$1
build=$2
conf=$src/tests/vm
mkdir -p /run/hostapd /run/wpa_supplicant /dev/shm
mount -t tmpfs -o mode=1777 tmpfs /dev/shm # the web engine's shared memory
hostapd -B -g /run/hostapd-global -P /run/hostapd.pid "$conf/ap-open.conf" || exit 90
wpa_supplicant -B -D nl80211 -i wlan1 -c "$conf/station.conf" \
  -g /run/wpa_supplicant-global -P /run/wpa_supplicant.pid || exit 91

run=/tmp/run
mkdir -p "$run/shots" "$run/home" "$run/runtime"
chmod 700 "$run/runtime"
# The simulated radio's identifier joins the adapter list the utility accepts.
cp "$src/resources/QVWlan.INI" "$run/QVWlan.INI"
printf 'MatchingDeviceId =LINUX\\MAC80211_HWSIM\n' >> "$run/QVWlan.INI"
cd "$run" || exit 92
start=$(date +%s)
HOME=$run/home XDG_RUNTIME_DIR=$run/runtime XDG_CONFIG_HOME=$run/home \
  KESTO_RESOURCES_DIR=$build/share/kesto QT_QPA_PLATFORM=offscreen \
  QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu" \
  KESTO_WINDOW_STEADY_MS=600000 \
  "$build/bin/kesto-utility" --registry "$run/registry.db" --message-log "$run/messages.log" \
  --adapter-library linux --interface wlan1 --screenshots "$run/shots" > "$run/utility.log" 2>&1 &
utility=$!
for _ in $(seq 900); do
  [ -f "$run/shots/profiles.png" ] && break
  kill -0 "$utility" 2> /dev/null || break
  sleep 1
done
echo "KESTO-SHOT: $(($(date +%s) - start)) s after the start"
wpa_cli -p /run/wpa_supplicant -i wlan1 status
echo "KESTO-SHOT: messages:"; cat "$run/messages.log" 2> /dev/null
echo "KESTO-SHOT: utility output:"; tail -30 "$run/utility.log"
kill "$utility" 2> /dev/null
for png in "$run"/shots/*.png; do
  [ -f "$png" ] || continue
  echo "KESTO-PNG-BEGIN $(basename "$png")"
  base64 "$png"
  echo "KESTO-PNG-END"
done
