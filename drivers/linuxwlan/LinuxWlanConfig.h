// LinuxWlanConfig: where the Linux adapter library finds the daemons' control sockets,
// sysfs and the access point's configuration file, how long it waits for them, and
// where it reports a daemon that stops answering; tests point these at a scratch folder.
// The defaults are Debian's.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
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
    // The access point's file, read by hostapd when the interface is added to it. Empty:
    // the library writes its own (ApConfigFile) into runtimeDir.
    std::string apConfigFile;
    // A private folder of this user's for the files the library writes; empty:
    // ApConfigFile::DefaultFolder() ($XDG_RUNTIME_DIR/kesto).
    std::string runtimeDir;
    // Where the processes' command lines are read (wpa_supplicant's configuration file).
    std::filesystem::path procDir = "/proc";
    // The deadline of one request: the library's thread gives a daemon this long to
    // answer before the daemon counts as not answering (its link as lost), and the one
    // port call that still asks a daemon on the caller's thread (the coexistence check
    // over D-Bus) gets this long in all.
    std::chrono::milliseconds replyTimeout{400};
    // Requests that move the interface between the daemons or restart the access point:
    // the daemon sets the radio up before it answers.
    std::chrono::milliseconds moveTimeout{3000};
    // How often the library's thread reads the link; the port's readings are at most
    // this old (a daemon's event makes it read at once).
    std::chrono::milliseconds pollInterval{1000};
    // Where NetworkManager is asked (a D-Bus address); empty: the system bus.
    std::string systemBus;
    // Where a daemon that stops or starts answering, and a setting the library cannot
    // carry, are reported; standard error when empty. Called on the library's thread and
    // on the caller's.
    std::function<void(const std::string&)> log;
};

// config.log, or a writer to standard error when it is empty.
std::function<void(const std::string&)> LogOf(const LinuxWlanConfig& config);

} // namespace kesto::linuxwlan
