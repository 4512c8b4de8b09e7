// AdapterCalibration: the ranges of this adapter model's signal and quality readings,
// read from QVWlan.INI at start-up. The link monitor and the site survey turn readings
// into percentages by dividing by (Max - Min), so every holder of this record keeps both
// ranges positive.
#pragma once

#include <cstdint>

namespace kesto {

struct AdapterCalibration {
    // Received signal strength in dBm plus 105.
    std::int32_t SignalMax = 100;
    std::int32_t SignalMin = 20;
    // Raw reading of QueryWL_CommQuality; larger is worse.
    std::int32_t QualityMax = 100;
    std::int32_t QualityMin = 20;

    bool operator==(const AdapterCalibration&) const = default;
};

} // namespace kesto
