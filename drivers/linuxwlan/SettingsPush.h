// SettingsPush: the kept settings sent to the daemon that holds the interface, and the
// interface moved between the daemons (README.md lists every request). Used by the
// library's thread only; it remembers what the daemons were given (our network's id,
// whether hostapd holds WEP keys of ours).
#pragma once

#include "drivers/linuxwlan/AdapterSettings.h"
#include "drivers/linuxwlan/DaemonLine.h"

#include <chrono>
#include <string>
#include <vector>

namespace kesto::linuxwlan {

struct DaemonLines {
    DaemonLine& wpa;
    DaemonLine& hostapd;
    DaemonLine& wpaGlobal;
    DaemonLine& hostapdGlobal;
};

class SettingsPush {
public:
    // interfaceName and radio (the phy's name) as sysfs gives them; wpaDir: the folder of
    // wpa_supplicant's per-interface sockets; slowTimeout: for the requests that set the
    // radio up before the daemon answers.
    SettingsPush(DaemonLines lines, std::string interfaceName, std::string radio,
                 std::string wpaDir, std::string apConfigFile,
                 std::chrono::milliseconds slowTimeout);

    // Our one network in wpa_supplicant, replaced by one that carries s; false (and
    // the half-made network removed) when the daemon refused a part.
    bool PushStation(const AdapterSettings& s);
    // The access point's settings, then a restart of the interface.
    bool PushAccessPoint(const AdapterSettings& s);
    // The MAC filter's mode and lists.
    bool PushFilter(const AdapterSettings& s);
    // The interface from wpa_supplicant to hostapd and back; a step that fails gives the
    // interface back to the daemon it came from.
    bool MoveToAccessPoint();
    bool MoveToStation();

    // Our network's id in wpa_supplicant, -1 before the first push or when the daemon
    // that knew it is gone.
    int networkId() const { return m_networkId; }
    void ForgetNetwork() { m_networkId = -1; }

    // The SET_NETWORK fields of a WPA or 802.1X join.
    static std::vector<std::string> WpaFields(const WpaCredentials& c);

private:
    std::string AddToHostapd() const;
    std::string AddToStation() const;

    DaemonLines m_lines;
    std::string m_interface;
    std::string m_radio;
    std::string m_wpaDir;
    std::string m_apConfigFile;
    std::chrono::milliseconds m_slow;
    int m_networkId = -1;
    bool m_apWepPushed = false;
};

} // namespace kesto::linuxwlan
