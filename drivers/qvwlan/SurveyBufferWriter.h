// SurveyBufferWriter: the simulated networks in sight as the records of
// WL_RetrieveSiteSurveyData, written by the drivers' one record writer
// (drivers/common/SurveyRecordWriter.h): what a scenario network says of itself
// becomes what its record shows.
#pragma once

#include "drivers/qvwlan/RadioEnvironment.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kesto::qvwlan {

class SurveyBufferWriter {
public:
    // Writes the count and as many whole records as fit; returns the count written.
    // timestampUs: the adapter's time, from which each network's own uptime is told.
    static std::uint32_t Write(std::span<std::uint8_t> buffer,
                               const std::vector<SurveySighting>& sightings,
                               std::uint64_t timestampUs);
};

} // namespace kesto::qvwlan
