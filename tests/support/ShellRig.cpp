#include "tests/support/ShellRig.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace kesto::test {

ShellRig::ShellRig() = default;
ShellRig::~ShellRig() = default;

void ShellRig::EditScenario(const std::function<void(nlohmann::json&)>& edit)
{
    nlohmann::json scenario;
    std::ifstream(scenarioPath) >> scenario;
    edit(scenario);
    std::ofstream(scenarioPath, std::ios::trunc) << scenario.dump(2);
    wlan.reloadScenario();
}

void ShellRig::SetAdaptersPresent(bool present)
{
    EditScenario([present](nlohmann::json& scenario) {
        for (auto& adapter : scenario["adapters"])
            adapter["present"] = present;
    });
}

void ShellRig::SetNetworkField(std::string_view ssid, const std::string& field,
                               const std::string& value)
{
    EditScenario([&](nlohmann::json& scenario) {
        for (auto& network : scenario["networks"])
            if (network["ssid"] == ssid)
                network[field] = value;
    });
}

std::vector<std::vector<std::string>> ShellRig::Calls(std::string_view name) const
{
    std::vector<std::vector<std::string>> out;
    for (const auto& call : wlan.calls())
        if (call.name == name)
            out.push_back(call.args);
    return out;
}

std::string ShellRig::Product(std::string_view value)
{
    return store.ReadText(std::string(kProductKey) + std::string(value));
}

AppPorts ShellRig::SecondProcess(Registry& itsRegistry, SingleInstance& itsGuard)
{
    return AppPorts{itsRegistry, wlan,       clock,       clock,        dialogs,
                    pages,       surveyList, stationList, timers,       tray,
                    shell,       itsGuard,   passphrases, PageElements, dir.path()};
}

std::filesystem::path ShellRig::CopyResource(std::string_view source, std::string_view name)
{
    const auto target = dir.file(name);
    std::filesystem::copy_file(SourceDir() / "resources" / source, target);
    return target;
}

} // namespace kesto::test
