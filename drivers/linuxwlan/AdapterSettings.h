// AdapterSettings: what the adapter was told through the port's setters, kept between
// calls. The library's thread sends it to the daemon that holds the interface: the
// station fields to wpa_supplicant as one network, the access-point fields to hostapd.
// The secrets (WEP keys, the pass phrase, the 802.1X password) are kept apart, in
// AdapterSecrets, which only the library's thread holds once they are handed over.
#pragma once

#include "drivers/linuxwlan/Secret.h"
#include "platform/WlanLibrary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kesto::linuxwlan {

// Which daemon holds the interface.
enum class DaemonMode { Station, AccessPoint };

struct AdapterSettings {
    // The network's name. Empty: any network (infrastructure with WEP or open settings
    // only: WPA needs the name); none: never set, no network of ours.
    std::optional<std::string> ssid;
    int networkType = 1;
    int authentication = 0;
    int wepStatus = 1; // 1 = off
    int transmitKey = -1;
    int transmitKeySize = 0;
    int channel = 6;
    int powerSaving = 0;
    int preamble = 2;
    int basicRate = 0;
    int fragmentation = 2346;
    int rtsThreshold = 2347;
    int multiDomain = 0;
    int bestRateKbps = 54000; // of the rate set; what the access point offers
    // In place of authentication, WEP and keys. Its pass phrase and password are always
    // empty: they are in AdapterSecrets.
    std::optional<WpaCredentials> wpa;
    int txPower = 0;
    int hideSsid = 0;
    int filterMode = 0;
    std::array<std::uint8_t, kStationListSize> filter{};
};

struct AdapterSecrets {
    std::array<Secret, 4> keys; // by slot; empty: never written
    Secret passphrase;          // WPA with a pre-shared key
    Secret password;            // 802.1X
};

} // namespace kesto::linuxwlan
