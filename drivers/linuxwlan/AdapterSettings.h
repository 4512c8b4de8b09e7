// AdapterSettings: what the adapter was told through the port's setters, kept between
// calls. The library's thread sends it to the daemon that holds the interface: the
// station fields to wpa_supplicant as one network, the access-point fields to hostapd.
#pragma once

#include "platform/WlanLibrary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kesto::linuxwlan {

// Which daemon holds the interface.
enum class DaemonMode { Station, AccessPoint };

struct AdapterSettings {
    std::string ssid;
    int networkType = 1;
    int authentication = 0;
    int wepStatus = 1; // 1 = off
    std::array<std::vector<std::uint8_t>, 4> keys;
    int transmitKey = -1;
    int transmitKeySize = 0;
    int channel = 6;
    int powerSaving = 0;
    int preamble = 2;
    int basicRate = 0;
    int fragmentation = 2346;
    int rtsThreshold = 2347;
    int multiDomain = 0;
    int bestRateKbps = 54000;          // of the rate set; what the access point offers
    std::optional<WpaCredentials> wpa; // in place of authentication, WEP and keys
    int txPower = 0;
    int hideSsid = 0;
    int filterMode = 0;
    std::array<std::uint8_t, kStationListSize> filter{};
};

} // namespace kesto::linuxwlan
