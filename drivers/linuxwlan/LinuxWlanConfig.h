// LinuxWlanConfig: where the Linux adapter library finds the daemons' control sockets,
// sysfs and the access point's configuration file; tests point these at a scratch
// folder. The defaults are Debian's.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace kesto::linuxwlan {

struct LinuxWlanConfig {
    // Only this interface is listed; empty lists every wireless interface.
    std::string interfaceName;
    std::filesystem::path sysfsNet = "/sys/class/net";
    // Per-interface control sockets: <dir>/<interface>.
    std::string wpaSupplicantDir = "/run/wpa_supplicant";
    std::string hostapdDir = "/run/hostapd";
    // Global control sockets (wpa_supplicant -g, hostapd -g), for moving the interface.
    std::string wpaSupplicantGlobal = "/run/wpa_supplicant-global";
    std::string hostapdGlobal = "/run/hostapd-global";
    // The access point's file, read by hostapd when the interface is added to it.
    std::string apConfigFile = "/etc/kesto/hostapd.conf";
    std::chrono::milliseconds replyTimeout{2000};
    // Where NetworkManager is asked (a D-Bus address); empty: the system bus.
    std::string systemBus;
};

} // namespace kesto::linuxwlan
