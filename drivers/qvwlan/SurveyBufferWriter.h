// SurveyBufferWriter: lays scan results into the caller's buffer as the BSSID list that
// WL_RetrieveSiteSurveyData returns: a 32-bit record count, then one variable-length
// record per network (platform/SurveyRecordLayout.h gives every offset). Records that do not fit
// whole are left out, and the count says how many were written.
#pragma once

#include "drivers/qvwlan/RadioEnvironment.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kesto::qvwlan {

class SurveyBufferWriter {
public:
    // Frequency of a channel in kHz: 2412000 + 5000 (channel - 1), channel 14 2484000.
    static std::uint32_t FrequencyKhz(int channel);

    // The information elements of one network: 12 fixed bytes (time stamp, beacon
    // interval, capabilities), the name, four supported rates, the DS parameter set; then
    // for WPA networks the WPA element, whose last byte names the key management (1
    // 802.1X, 2 pre-shared key); for other networks the extended rates of 802.11g and
    // the IBSS parameter set of ad-hoc cells.
    static std::vector<std::uint8_t> InformationElements(const ScenarioNetwork& network,
                                                         std::uint64_t timestampUs);

    // Writes the count and as many whole records as fit; returns the count written.
    // buffer must hold at least 4 bytes.
    static std::uint32_t Write(std::span<std::uint8_t> buffer,
                               const std::vector<SurveySighting>& sightings,
                               std::uint64_t timestampUs);
};

} // namespace kesto::qvwlan
