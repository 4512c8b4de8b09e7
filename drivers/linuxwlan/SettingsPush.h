// SettingsPush: the kept settings sent to the daemon that holds the interface, and the
// interface moved between the daemons (README.md lists every request). Used by the
// library's thread only; it remembers what the daemons were given (our network's id, the
// networks that selecting it disabled, whether hostapd holds WEP keys of ours) so that
// closing takes it all back.
#pragma once

#include "drivers/linuxwlan/AdapterSettings.h"
#include "drivers/linuxwlan/ControlReplies.h"
#include "drivers/linuxwlan/DaemonLine.h"
#include "drivers/linuxwlan/StationDaemonArgs.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::linuxwlan {

struct DaemonLines {
    DaemonLine& wpa;
    DaemonLine& hostapd;
    DaemonLine& wpaGlobal;
    DaemonLine& hostapdGlobal;
};

// The key managements a pre-shared key network is offered, each stricter than the one
// before: WPA-PSK alone (the network offers no SAE, or no scan has seen it yet), WPA-PSK
// and SAE with protected management frames optional (the network offers both), SAE
// alone with them required (the network offers only SAE: a WPA-PSK twin of it would be
// a downgrade to an attack on the pass phrase).
enum class KeyOffer { Psk, PskAndSae, SaeOnly };

// What the networks of a name announce, as the daemon's scan saw them: the key
// managements a pre-shared key join is offered, and the protocols (the first WPA's
// element, RSN's) and pairwise ciphers of their WPA elements. A network offered only what
// the profile's cipher names would never be joined where it announces the other one; so
// a join is offered what the networks announce, and the profile's cipher decides only
// where they announce both. None seen: both protocols and both ciphers, and the daemon
// takes what the network has once it finds it.
struct NetworkOffer {
    KeyOffer keys = KeyOffer::Psk;
    bool wpa1 = false;
    bool rsn = false;
    bool tkip = false;
    bool ccmp = false;

    bool operator==(const NetworkOffer&) const = default;
};

class SettingsPush {
public:
    // The id_str that marks our networks in wpa_supplicant, so that what a run that ended
    // without closing left behind is found again.
    static constexpr std::string_view kMark = "kesto-utility";

    // interfaceName and radio (the phy's name) as sysfs gives them; wpaDir: the folder of
    // wpa_supplicant's per-interface sockets; procDir: where wpa_supplicant's command line
    // is read; slowTimeout: for the requests that set the radio up before the daemon
    // answers.
    SettingsPush(DaemonLines lines, std::string interfaceName, std::string radio,
                 std::string wpaDir, std::string apConfigFile, std::filesystem::path procDir,
                 std::chrono::milliseconds slowTimeout, DaemonLine::Log log);

    // Our one network in wpa_supplicant, replaced by one that carries s and its secrets:
    // none while no name was set, nor for an empty name with WPA or in ad-hoc mode; an
    // empty name otherwise is any network, without ssid. False (and the half-made
    // network removed) when the daemon refused a part or did not answer.
    bool PushStation(const AdapterSettings& s, const AdapterSecrets& secrets,
                     const NetworkOffer& offer);
    // The access point's settings, then a restart of the interface.
    bool PushAccessPoint(const AdapterSettings& s, const AdapterSecrets& secrets);
    // The MAC filter's mode and lists.
    bool PushFilter(const AdapterSettings& s);
    // The interface from wpa_supplicant to hostapd and back; a step that fails gives the
    // interface back to the daemon it came from.
    bool MoveToAccessPoint();
    bool MoveToStation();

    // Removes the networks marked as ours that are not our network now: left by a run
    // that ended without closing, or saved to the daemon's file by someone. False when
    // the daemon did not answer.
    bool RemoveLeftovers();
    // Takes back what wpa_supplicant was given: our network (and one that an
    // ADD_NETWORK without an answer may have made), and the networks that selecting ours
    // disabled are enabled again.
    void Withdraw();
    // The daemon that knew our networks is gone (it started again, or the interface
    // left it): nothing of ours is there any more.
    void ForgetAll();

    // Our network's id in wpa_supplicant, -1 before the first push or when the daemon
    // that knew it is gone.
    int networkId() const { return m_networkId; }

    // The SET_NETWORK fields of a WPA or 802.1X join that hold no secret.
    static std::vector<std::string> WpaFields(const WpaCredentials& c, const NetworkOffer& offer);
    // What the networks of table named ssid announce.
    static NetworkOffer OfferOf(const std::vector<ScanResult>& table, std::string_view ssid);

private:
    std::string AddToHostapd() const;
    // With the configuration file, control folder and driver wpa_supplicant was started
    // with for the interface, where its command line was found.
    std::string AddToStation() const;
    // REMOVE_NETWORK: true when the network is gone (also when it was not there).
    bool Forget(int id);
    // Removes the networks whose removal is not confirmed yet, and the one an unanswered
    // ADD_NETWORK may have made; false when the daemon did not answer.
    bool RemoveStale();

    DaemonLines m_lines;
    std::string m_interface;
    std::string m_radio;
    std::string m_wpaDir;
    std::string m_apConfigFile;
    std::filesystem::path m_procDir;
    std::chrono::milliseconds m_slow;
    DaemonLine::Log m_log;
    std::optional<StationDaemonArgs> m_stationArgs; // as found before the last move away
    bool m_argsMissingLogged = false;
    int m_networkId = -1;
    std::vector<int> m_stale;         // networks of ours to remove still
    std::optional<int> m_orphanAbove; // an ADD_NETWORK got no answer: the highest id before
    std::set<int> m_disabled;         // networks that selecting ours disabled
    bool m_apWepPushed = false;
};

} // namespace kesto::linuxwlan
