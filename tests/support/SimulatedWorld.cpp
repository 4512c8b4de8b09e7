#include "tests/support/SimulatedWorld.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace kesto::test {

namespace {

nlohmann::json LoadDefaultScenario(const ScenarioEdit& edit)
{
    std::ifstream in(SourceDir() / "resources" / "scenarios" / "default.json");
    nlohmann::json scenario = nlohmann::json::parse(in);
    if (edit)
        edit(scenario);
    return scenario;
}

std::filesystem::path WriteScenario(const TempDir& where, const nlohmann::json& scenario)
{
    return where.write("scenario.json", scenario.dump(2));
}

} // namespace

std::vector<std::string> Signatures(const std::vector<qvwlan::Call>& calls)
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

SimulatedWorld::SimulatedWorld(const ScenarioEdit& edit)
    : scenarioPath(WriteScenario(dir, LoadDefaultScenario(edit))),
      library(scenarioPath, registry, clock), api(library), store(registry),
      discovery(api, store, dialogs, kCaption)
{
}

SimulatedWorld::~SimulatedWorld() = default;

void SimulatedWorld::RewriteScenario(const ScenarioEdit& edit)
{
    WriteScenario(dir, LoadDefaultScenario(edit));
    library.reloadScenario();
}

bool SimulatedWorld::StartWithShippedIni()
{
    discovery.LoadAdapterIni(SourceDir() / "resources");
    if (discovery.ScanAdapters() == 0)
        return false;
    const auto index = static_cast<std::size_t>(discovery.SelectedAdapterIndex());
    return api.Open(discovery.Adapters()[index]) != 0;
}

std::optional<RegValue> SimulatedWorld::Value(std::string_view fullPath)
{
    std::string_view rest = fullPath.substr(kHive.size());
    const auto slash = rest.rfind('\\');
    return registry.QueryValue(rest.substr(0, slash), rest.substr(slash + 1));
}

} // namespace kesto::test
