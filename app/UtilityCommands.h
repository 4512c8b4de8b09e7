// UtilityCommands: what the running utility offers besides its window, for the session
// service: the link's status, the site survey and joining one of its networks, the stored
// profiles and applying one, the operating mode, and the access point's status, settings
// and filter list. Each goes through the step the window's own handler takes (the
// survey's scan and join, the profile list and the wizard's checks, the mode radio
// images, the access-point pages' saves), so the window and the command line cannot
// differ, and each refusal is the message the window would show under a stable name.
//
// Nothing here waits. A scan, a fresh link reading, the access point's status and a mode
// switch answer through a continuation. Before anything that changes the adapter or the
// store, Busy() says whether the window is in the middle of a step (a mode switch, a
// scan, the profile wizard), so the caller refuses rather than run a step inside a
// half-done one.
#pragma once

#include "ap/ApStatusPage.h"
#include "app/MainDialog.h"
#include "platform/OneShotTimers.h"
#include "platform/Refusal.h"
#include "profiles/ProfileRecord.h"
#include "station/LinkMonitor.h"
#include "station/ProfileCommands.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The refusals only the service gives (the window never meets these cases).
inline constexpr std::string_view kNoAdapterMessage = "Kein Kesto-WLAN-Adapter gefunden.";
inline constexpr std::string_view kStationOnlyMessage = "Das geht nur im Stationsmodus.";
inline constexpr std::string_view kApOnlyMessage = "Das geht nur im Zugangspunkt-Modus (AP).";
inline constexpr std::string_view kModeSwitchBusyMessage =
    "Kesto WLAN Utility wechselt gerade den Betriebsmodus. Bitte sp\u00e4ter erneut versuchen.";
inline constexpr std::string_view kScanBusyMessage =
    "Kesto WLAN Utility sucht gerade nach Netzwerken. Bitte sp\u00e4ter erneut versuchen.";
inline constexpr std::string_view kWizardBusyMessage =
    "Im Fenster wird gerade ein Profil angelegt oder bearbeitet. Bitte sp\u00e4ter erneut "
    "versuchen.";
inline constexpr std::string_view kRadiusJoinMessage =
    "Netzwerke mit WPA-RADIUS werden im Fenster verbunden, das die 802.1X-Anmeldung "
    "abfragt.";
inline constexpr std::string_view kCancelledMessage =
    "Der Vorgang wurde abgebrochen (Moduswechsel, Adapter verloren oder Programmende).";
// The outcomes of a join that reached the adapter but did not bring the link up.
inline constexpr std::string_view kWrongKeyMessage =
    "Das Netzwerk hat den Schl\u00fcssel oder die Passphrase abgelehnt. Bitte pr\u00fcfen Sie "
    "den Schl\u00fcssel und versuchen Sie es erneut.";
inline constexpr std::string_view kNotJoinedMessage =
    "Der Adapter hat innerhalb von 15 Sekunden keine Verbindung mit dem gew\u00e4hlten "
    "Netzwerk hergestellt. Bitte pr\u00fcfen Sie den Schl\u00fcssel und die Signalst\u00e4rke.";

// The link's status as the service reports it.
struct UtilityStatus {
    bool adapter = false;  // an adapter is in use
    bool apMode = false;   // the adapter runs (or is settling into) access-point mode
    bool settling = false; // the adapter settles into a mode
    std::string profile;   // the active profile; "" after joining a network of the survey
    LinkValues link;       // station mode: the link monitor's last readings
};

// One network of the last survey.
struct ListedNetwork {
    std::string name = {}; // as the survey lists it (UTF-8; other bytes as Latin-1)
    std::string bssid;
    std::int32_t channel = 0; // 0: none
    std::int32_t signalPercent = 0;
    std::int32_t rssi = 0; // dBm
    std::string security;  // "Deaktiviert", "WEP", "WPA-PSK", "WPA-RADIUS"
    bool adHoc = false;
};

// The securities a join may name, as the survey tells them apart (the words of the
// "security" option: none, wep, wpa-psk, wpa3-sae, wpa-radius).
enum class JoinSecurity { Any = -1, None = 0, Wep = 1, WpaPsk = 2, WpaSae = 3, WpaRadius = 4 };

// A join of a network of the survey, with what its security pop-up would have taken.
struct JoinRequest {
    std::string name = {}; // as the survey lists it
    // Which of the cells of that name: of this security, and (when not empty) this one
    // ("0A:3C:71:00:00:05", upper case). Cells of one name that differ in security are
    // joined only when these say which.
    JoinSecurity security = JoinSecurity::Any;
    std::string bssid = {};
    // WEP: the key in use typed, or (only with security Wep) a pass phrase making the
    // keys; WPA-PSK: the pass phrase.
    std::string key = {};
    std::string passPhrase = {};
    int keyIndex = 0;       // WEP key in use, 0..3
    int keySize = 0;        // WEP KeyLength 1..3; 0: as the key's length says
    int authentication = 0; // WEP: 0 open system (where the pop-up starts), 1 shared, 2 auto
    int cipher = 0;         // WPA-PSK: 0 TKIP (where the pop-up starts), 1 AES
    bool wait = true;       // the caller waits for the join's outcome (JoinDone)
};

// The outcome of a join: nothing once the link is up on a cell chosen (the one the request
// names by its address, else any of the name and security joined); "WrongKey" when
// the radio says the network refused the key, "NotJoined" when no link came up within
// kJoinDeadlineMs, "Cancelled" when the mode changed, the adapter went or another join
// began first.
using JoinDone = std::function<void(const Refused&)>;

// Changes of the access point's settings: what is not given stays as stored.
struct ApChange {
    std::optional<std::string> ssid = {};
    std::optional<std::int32_t> hideSsid = {};
    std::optional<std::int32_t> channel = {};
    std::optional<std::int32_t> outputPower = {};
    std::optional<std::int32_t> wep = {};
    std::optional<std::int32_t> authentication = {};
    std::optional<int> keyIndex = {};
    std::optional<std::string> key = {};        // the key at keyIndex, as typed
    std::optional<std::string> passPhrase = {}; // makes the four keys (64 or 128 bits)
};

class UtilityCommands {
public:
    explicit UtilityCommands(MainDialog& dialog);
    UtilityCommands(const UtilityCommands&) = delete;
    UtilityCommands& operator=(const UtilityCommands&) = delete;

    // --- status ---
    UtilityStatus Status();
    // Whether Status() holds readings of the last link monitor period (or the page's
    // monitor runs); otherwise ReadStatus takes them, and done runs when they are in.
    bool StatusFresh();
    void ReadStatus(std::function<void()> done);
    // Told after each reading of the link monitor, the page's or ReadStatus's.
    void SetStatusObserver(std::function<void()> observer);

    // --- what would have to wait ---
    // A step of the window under way that a change must not run inside: a mode switch,
    // a scan (for a change of the adapter), the profile wizard (for profile changes).
    enum class Change { Scan, Adapter, Profiles };
    Refused Busy(Change change);

    // --- survey and join ---
    // A scan (or the one under way): done when its records are in, dropped when the mode
    // changes, the adapter is lost or the program ends first.
    Refused Scan(std::function<void()> done, std::function<void()> dropped);
    bool ScanPending();
    // The networks of the last scan, in scan order.
    std::vector<ListedNetwork> Networks();
    bool Knows(std::string_view name);
    // What the request says on its own, checked before any adapter call (a scan
    // included): the WEP key's form, the pass phrase for the security named. The window's
    // message on refusal.
    Refused CheckJoin(const JoinRequest& request);
    // The join, as the survey's double click does it. Refused when it could not be made;
    // otherwise, when done is given, done is told the outcome later (never from inside
    // this call).
    Refused Join(const JoinRequest& request, JoinDone done = {});
    static constexpr std::uint32_t kJoinDeadlineMs = 15000;

    // --- profiles ---
    ProfileCommands& profiles() { return m_profiles; }
    Refused AddProfile(const ProfileRequest& request);
    Refused DeleteProfile(const std::string& name);
    Refused ApplyProfile(const std::string& name);

    // --- the end ---
    // The ordered exit of the tray menu's "Beenden": the window ends its steps and the
    // adapter is given back as the program ends.
    void EndProgram();

    // --- mode ---
    // done(true) once the adapter runs in the mode (at once when it does), done(false)
    // when the switch was dropped.
    Refused SwitchMode(bool toAp, std::function<void(bool)> done);

    // --- access point ---
    // The status page's two readings, 100 ms apart; a read while one settles joins it.
    Refused ReadApStatus(std::function<void(const ApStatus&)> done);
    ApSettings StoredApSettings();
    FilterList StoredFilterList();
    Refused ChangeApSettings(const ApChange& change);
    Refused ChangeFilterList(std::int32_t type,
                             const std::array<std::string, kFilterAddressCount>& addresses);

private:
    Refused NeedsAdapter(bool apMode);
    // Reads the link until the join has an outcome (see JoinDone); the link counts when
    // it is up on one of the cells bssids lists.
    void WatchJoin(std::vector<std::string> bssids, JoinDone done);
    void PollJoin();
    void FinishJoin(const Refused& outcome);
    // The page the window shows is refilled from the store (its cancel button's step).
    void RefillPage(int pageId, std::string_view cancelButton);

    MainDialog& m_dialog;
    ProfileCommands m_profiles;
    PendingStep m_apSettle;
    ApStatus m_apStatus;
    std::vector<std::function<void(const ApStatus&)>> m_apReads;
    PendingStep m_joinPoll;
    JoinDone m_joinDone;
    std::vector<std::string> m_joinBssids; // the cells the join may end on
    std::uint32_t m_joinStart = 0;
    std::uint64_t m_joinWatch = 0; // counts the watches begun and ended
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace kesto
