# Runs inside the test machine (scripts/vm/run.sh): nine simulated radios, seven access
# points in range (open, WEP 64, WEP 128 open and shared key, WPA with TKIP, WPA2, WPA2
# with 802.1X), wpa_supplicant on wlan1 - the interface the library drives - with a
# global socket for moving it to hostapd, and a peer station on wlan4 that joins our
# access point. Then the test program given as $1.
set -u
here=$(pwd)
test_program=$1
shift
echo "KESTO-VM: $(ls /sys/class/net | tr '\n' ' ')"
mkdir -p /run/hostapd /run/wpa_supplicant /run/peer
# The 802.1X server's certificate, made for this boot only (self-signed; the station
# does not validate it) in the guest's own /tmp, which no one else sees.
pki=/tmp/kesto-pki
mkdir -p "$pki"
cp "$here/eap-users" "$pki/eap-users"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
  -subj "/CN=Kesto RADIUS" -keyout "$pki/server.key" -out "$pki/server.pem" \
  > /dev/null 2>&1 || exit 89
hostapd -B -g /run/hostapd-global -P /run/hostapd.pid \
  "$here/ap-open.conf" "$here/ap-wep.conf" "$here/ap-wpa2.conf" "$here/ap-wep64.conf" \
  "$here/ap-wep128-open.conf" "$here/ap-wpa-tkip.conf" "$here/ap-radius.conf" || exit 90
wpa_supplicant -B -D nl80211 -i wlan1 -c "$here/station.conf" \
  -g /run/wpa_supplicant-global -P /run/wpa_supplicant.pid || exit 91
wpa_supplicant -B -D nl80211 -i wlan4 -c "$here/peer.conf" -P /run/peer.pid || exit 92
KESTO_VM_CONFIG_DIR=$here "$test_program" "$@"
