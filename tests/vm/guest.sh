# shellcheck shell=sh
# Runs inside the test machine (scripts/vm/run.sh): eleven simulated radios, ten access
# points in range (open, WEP 64, WEP 128 open and shared key, WPA with TKIP, WPA2, WPA2
# with 802.1X, and on wlan10 WPA3 alone, WPA2/WPA3 transition and an open one that hides
# its name), forty-nine more WPA2 networks with names of 32 bytes on wlan9 (more than one
# 4 KB scan reply holds), wpa_supplicant on wlan1 - the interface the library drives -
# with a global socket for moving it to hostapd, and a peer station on wlan4 that joins
# our access point. Then the test program given as $1.
set -u
here=$(pwd)
test_program=$1
shift
# shellcheck disable=SC2012 # interface names are plain words; busybox's find has no -printf
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
# The neighbours: one radio, one access point per name (the key given as 64 hex digits,
# so hostapd need not derive forty-nine keys at start; a beacon a second, as a scan finds
# them by their answers, so the one processor is not kept busy with their beacons).
many=/tmp/kesto-neighbours.conf
{
  printf 'interface=wlan9\ndriver=nl80211\nctrl_interface=/run/hostapd\nhw_mode=g\nchannel=7\n'
  printf 'beacon_int=1000\n'
  i=0
  while [ "$i" -lt 49 ]; do
    [ "$i" -gt 0 ] && printf 'bss=wlan9_%d\nctrl_interface=/run/hostapd\n' "$i"
    printf 'ssid=Kesto Nachbarschaft Nummer %05d\nwpa=2\nwpa_key_mgmt=WPA-PSK\n' "$i"
    printf 'rsn_pairwise=CCMP\nwpa_psk=%064d\n' 0
    i=$((i + 1))
  done
} > "$many"
hostapd -B -g /run/hostapd-global -P /run/hostapd.pid \
  "$here/ap-open.conf" "$here/ap-wep.conf" "$here/ap-wpa2.conf" "$here/ap-wep64.conf" \
  "$here/ap-wep128-open.conf" "$here/ap-wpa-tkip.conf" "$here/ap-radius.conf" \
  "$here/ap-wpa3.conf" "$many" || exit 90
wpa_supplicant -B -D nl80211 -i wlan1 -c "$here/station.conf" \
  -g /run/wpa_supplicant-global -P /run/wpa_supplicant.pid || exit 91
wpa_supplicant -B -D nl80211 -i wlan4 -c "$here/peer.conf" -P /run/peer.pid || exit 92
"$test_program" "$@"
