# Runs inside the test machine (scripts/vm/run.sh): five simulated radios, three
# access points in range (open, WEP, WPA2), wpa_supplicant on wlan1 - the interface the
# library drives - with a global socket for moving it to hostapd, and a peer station
# on wlan4 that joins our access point. Then the test program given as $1.
set -u
here=$(pwd)
test_program=$1
shift
echo "KESTO-VM: $(ls /sys/class/net | tr '\n' ' ')"
mkdir -p /run/hostapd /run/wpa_supplicant /run/peer
hostapd -B -g /run/hostapd-global -P /run/hostapd.pid \
  "$here/ap-open.conf" "$here/ap-wep.conf" "$here/ap-wpa2.conf" || exit 90
wpa_supplicant -B -D nl80211 -i wlan1 -c "$here/station.conf" \
  -g /run/wpa_supplicant-global -P /run/wpa_supplicant.pid || exit 91
wpa_supplicant -B -D nl80211 -i wlan4 -c "$here/peer.conf" -P /run/peer.pid || exit 92
KESTO_VM_CONFIG_DIR=$here "$test_program" "$@"
