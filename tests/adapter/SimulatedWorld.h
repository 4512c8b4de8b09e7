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

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
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
inline std::vector<std::string> Signatures(const std::vector<qvwlan::Call>& calls)
{
    std::vector<std::string> out;
    for (const auto& c : calls) {
        std::string s = c.name + "(";
        for (std::size_t i = 0; i < c.args.size(); ++i)
            s += (i ? ", " : "") + c.args[i];
        out.push_back(s + ")");
    }
    return out;
}

class SimulatedWorld {
public:
    explicit SimulatedWorld(const ScenarioEdit& edit = {})
        : scenarioPath(WriteScenario(dir, Load(edit))), library(scenarioPath, registry, clock),
          api(library), store(registry), discovery(api, store, dialogs, kCaption)
    {
    }

    // Replaces the scenario file, as a person editing it while the program runs.
    void RewriteScenario(const ScenarioEdit& edit)
    {
        WriteScenario(dir, Load(edit));
        library.reloadScenario();
    }

    // Reads the shipped INI, finds the adapter and opens it, as the start-up does.
    bool StartWithShippedIni()
    {
        discovery.LoadAdapterIni(SourceDir() / "resources");
        if (discovery.ScanAdapters() == 0)
            return false;
        const auto index = static_cast<std::size_t>(discovery.SelectedAdapterIndex());
        return api.Open(discovery.Adapters()[index]) != 0;
    }

    // A value by full path ("HKEY_LOCAL_MACHINE\\...\\Name"), typed; nullopt when absent.
    std::optional<RegValue> Value(std::string_view fullPath)
    {
        std::string_view rest = fullPath.substr(kHive.size());
        const auto slash = rest.rfind('\\');
        return registry.QueryValue(rest.substr(0, slash), rest.substr(slash + 1));
    }

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

private:
    static nlohmann::json Load(const ScenarioEdit& edit)
    {
        std::ifstream in(SourceDir() / "resources" / "scenarios" / "default.json");
        nlohmann::json scenario = nlohmann::json::parse(in);
        if (edit)
            edit(scenario);
        return scenario;
    }

    static std::filesystem::path WriteScenario(const TempDir& where, const nlohmann::json& scenario)
    {
        return where.write("scenario.json", scenario.dump(2));
    }
};

} // namespace kesto::test
