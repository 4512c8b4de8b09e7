// LinkSnapshot: what the library's thread last read from the daemon that holds the
// interface, for the port's readings to answer from without asking a daemon.
#pragma once

#include "drivers/linuxwlan/AdapterSettings.h"
#include "drivers/linuxwlan/ControlReplies.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kesto::linuxwlan {

struct LinkSnapshot {
    DaemonMode mode = DaemonMode::Station;
    // A move asked for and not yet made (or given up): the port already answers as
    // the mode it asked for.
    std::optional<DaemonMode> movingTo;
    // The daemon of the mode answers. False: the link counts as lost.
    bool answering = true;
    // The daemon refused the settings last handed over (they are tried again).
    bool pushRefused = false;
    // The version of the settings the daemon held when the readings below were taken.
    std::uint64_t settingsRead = 0;

    // wpa_supplicant: STATUS (nullopt while it gives none that reads), SIGNAL_POLL (empty
    // without a link), the flags of our network in LIST_NETWORKS (empty when unknown).
    std::optional<std::map<std::string, std::string>> status;
    std::map<std::string, std::string> signal;
    std::string ourNetworkFlags;
    // The 2.4 GHz channels it reported; they stand while hostapd holds the interface.
    std::vector<int> channels;

    // hostapd: STATUS and the associated stations (at most 16).
    std::map<std::string, std::string> apStatus;
    std::vector<MacAddress> stations;

    // The survey: 0 while a scan runs, 1 when its results are read, -1 when it failed or
    // none was started; the results of the last scan that completed, strongest first.
    int surveyState = -1;
    std::vector<ScanResult> survey;
};

} // namespace kesto::linuxwlan
