// SurveyRecordEncoder: scan results of wpa_supplicant laid into the caller's buffer as the
// BSSID list that WL_RetrieveSiteSurveyData returns: a 32-bit record count, then one
// variable-length record per network, in the layout the survey reads (the simulator's
// README gives every offset). The information elements are written in the order that
// reader expects rather than copied from the air (README.md says why).
#pragma once

#include "drivers/linuxwlan/ControlReplies.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kesto::linuxwlan {

// What the flags of a scan result say about the network's security.
enum class ScanSecurity { Open, Wep, WpaPsk, WpaEap, Sae };

// "[WEP]" is WEP; a WPA, WPA2 or RSN group offering EAP is 802.1X; one offering SAE
// and no group a pre-shared key is SAE alone (WPA3-Personal, which a WPA2 station
// cannot join); any other such group (WPA2 and WPA3 side by side among them) a
// pre-shared key.
ScanSecurity SecurityOfFlags(std::string_view flags);

class SurveyRecordEncoder {
public:
    static constexpr std::size_t kFixedPart = 116; // everything before the elements
    static constexpr std::uint16_t kBeaconInterval = 100;

    // The information elements of one network (see README.md).
    static std::vector<std::uint8_t> InformationElements(const ScanResult& bss);

    // Writes the count and one record per network of the 2.4 or 5 GHz band (the others
    // have no channel the survey shows), in order, as many as fit whole; returns the
    // count written. A buffer shorter than 4 bytes is left untouched and 0 returned.
    static std::uint32_t Write(std::span<std::uint8_t> buffer,
                               const std::vector<ScanResult>& bsses);
};

} // namespace kesto::linuxwlan
