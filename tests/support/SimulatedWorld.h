// A world for discovery and apply tests: the real SQLite store in memory, the real
// simulated adapter library over a scenario file in a scratch directory (the shipped
// default scenario, edited per test), a fake clock, and discovery over both.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "drivers/qvwlan/SimulatedWlanLibrary.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TempDir.h"

#include <nlohmann/json_fwd.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::test {

inline constexpr const char* kCaption = "Kesto WLAN Utility";
inline constexpr std::string_view kHive = "HKEY_LOCAL_MACHINE\\";

using ScenarioEdit = std::function<void(nlohmann::json&)>;

// "SetWL_SSID(Cafe)": a call without its result, for sequence comparisons.
std::vector<std::string> Signatures(const std::vector<qvwlan::Call>& calls);

// Built once in the rig library (SimulatedWorld.cpp).
class SimulatedWorld {
public:
    explicit SimulatedWorld(const ScenarioEdit& edit = {});
    ~SimulatedWorld();
    SimulatedWorld(const SimulatedWorld&) = delete;
    SimulatedWorld& operator=(const SimulatedWorld&) = delete;

    // Replaces the scenario file, as a person editing it while the program runs.
    void RewriteScenario(const ScenarioEdit& edit);

    // Reads the shipped INI, finds the adapter and opens it, as the start-up does.
    bool StartWithShippedIni();

    // A value by full path ("HKEY_LOCAL_MACHINE\\...\\Name"), typed; nullopt when absent.
    std::optional<RegValue> Value(std::string_view fullPath);

    TempDir dir;
    std::filesystem::path scenarioPath;
    SqliteRegistry registry{":memory:"};
    FakeClock clock;
    SimulatedWlanLibrary library;
    WlanApi api;
    ProfileStore store;
    WorkingRecords work;
    FakeDialogs dialogs;
    AdapterDiscovery discovery;
};

} // namespace kesto::test
