// ScenarioLoader: turns the text of a scenario file into a validated Scenario. Any
// input, however malformed, either yields a scenario whose every value is in range or a
// ScenarioError whose message names the offending field ("networks[2].channel: 15 is
// outside 1..14"); nothing is half-applied.
#pragma once

#include "drivers/qvwlan/Scenario.h"

#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace kesto::qvwlan {

class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ScenarioLoader {
public:
    // Larger texts are refused before parsing; a scenario is a few kilobytes.
    static constexpr std::size_t kMaxTextBytes = 1 << 20;
    // Objects and arrays nest at most this deep (a scenario needs four levels).
    static constexpr int kMaxNesting = 16;
    static constexpr std::size_t kMaxAdapters = 32;
    static constexpr std::size_t kMaxNetworks = 256;
    static constexpr std::size_t kMaxStations = 64;

    // Throws ScenarioError.
    static Scenario Parse(std::string_view text);
};

} // namespace kesto::qvwlan
