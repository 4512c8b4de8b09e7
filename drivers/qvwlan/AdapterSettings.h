// AdapterSettings: what the program has told the adapter through the setters, as the
// adapter holds it. Power-on values are the ones below; the adapter forgets everything
// when it is unplugged. Tests read it to check "what the adapter received".
#pragma once

#include "drivers/qvwlan/Scenario.h"
#include "platform/WlanArguments.h"
#include "platform/WlanLibrary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kesto::qvwlan {

enum class OperationMode { Station = 0, AccessPoint = 1 };

// One of the four WEP key slots.
struct KeySlot {
    bool written = false;
    int sizeCode = 0;                // 0 64-bit, 1 128-bit, 2 256-bit
    std::vector<std::uint8_t> bytes; // 5, 13 or 29 key bytes
    bool operator==(const KeySlot&) const = default;
};

struct AdapterSettings {
    OperationMode mode = OperationMode::Station;
    std::string ssid;           // the name's bytes, 0..32; empty = any network
    int networkType = 1;        // 0 ad hoc, 1 infrastructure
    int authenticationMode = 0; // 0 open system, 1 shared key, 2 automatic
    int wepStatus = 1;          // 0 enabled, 1 disabled
    std::array<KeySlot, 4> keys{};
    int transmitKeyIndex = 0;
    std::array<std::uint8_t, kRateSetSize> desiredRates = wlan_args::kAllRates;
    int basicRate = 1;
    int fragmentationThreshold = 2346;
    int rtsThreshold = 2347;
    int multiDomainCapability = 0;
    int psMode = 0;       // 0 off, 1 on
    int preambleMode = 2; // 0 long, 1 short, 2 automatic, 3 the driver's choice
    int channel = 6;      // ad-hoc cells of our own and the access point use it
    int txPowerLevel = 0;
    int hideSsid = 0;
    int filterMode = 0; // 0 off, 1 admit listed only, 2 refuse listed
    std::array<std::uint8_t, 112> filterList{};
    ServiceStatus serviceStatus = ServiceStatus::NotControlling;
    int privateRequests = 1; // SetWL_QVUseQVXOidState
    // SetWL_WPA: joins with these instead of the 802.11 authentication and WEP, until
    // SetWL_AuthenticationMode or SetWL_WEPStatus.
    std::optional<WpaCredentials> wpa;

    bool wepEnabled() const { return wepStatus == 0; }
    bool operator==(const AdapterSettings&) const = default;
};

} // namespace kesto::qvwlan
