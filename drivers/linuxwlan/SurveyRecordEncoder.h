// SurveyRecordEncoder: scan results of wpa_supplicant as the records of
// WL_RetrieveSiteSurveyData, written by the drivers' one record writer
// (drivers/common/SurveyRecordWriter.h): what the scan results and their flags say
// becomes what a record shows. The information elements are the writer's, in the order
// the survey's reader expects, rather than copied from the air (README.md says why).
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
    // Writes the count and one record per network of the 2.4 or 5 GHz band (the others
    // have no channel the survey shows), in order, as many as fit whole; returns the
    // count written. A buffer shorter than 4 bytes is left untouched and 0 returned.
    static std::uint32_t Write(std::span<std::uint8_t> buffer,
                               const std::vector<ScanResult>& bsses);
};

} // namespace kesto::linuxwlan
