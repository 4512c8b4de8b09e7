// Everything a test needs to run the application shell: the real SQLite store (a file,
// so a second "process" can open it too), the real simulated adapter on a copy of the
// default scenario, the fake clock (with the one-shot steps that run as it advances) and
// dialogs, and recording fakes of the desktop.
#pragma once

#include "app/AppPorts.h"
#include "drivers/passapp/PassphraseKeyLibrary.h"
#include "drivers/qvwlan/SimulatedWlanLibrary.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakeListControl.h"
#include "tests/support/FakePageHost.h"
#include "tests/support/FakeShell.h"
#include "tests/support/FakeSingleInstance.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/FakeTrayIcon.h"
#include "tests/support/TempDir.h"

#include <nlohmann/json_fwd.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::test {

// Built once in the rig library (ShellRig.cpp); the fakes it holds are header-only.
class ShellRig {
public:
    ShellRig();
    ~ShellRig();
    ShellRig(const ShellRig&) = delete;
    ShellRig& operator=(const ShellRig&) = delete;

    // Rewrites the scenario file through edit, as a person editing it while the program
    // runs, and has the library read it again.
    void EditScenario(const std::function<void(nlohmann::json&)>& edit);
    // Plugs every adapter of the scenario in or out, as a person would at the USB port.
    void SetAdaptersPresent(bool present);
    // Sets a field of the scenario's network named ssid (a pass phrase, a login).
    void SetNetworkField(std::string_view ssid, const std::string& field, const std::string& value);
    // The calls named name, with their arguments, since the last clearCalls().
    std::vector<std::vector<std::string>> Calls(std::string_view name) const;
    std::string Product(std::string_view value);
    // The ports of a second process on the same machine: its own store connection and
    // guard, the rest shared (an exit request or a refused start touches nothing else).
    AppPorts SecondProcess(Registry& itsRegistry, SingleInstance& itsGuard);

    TempDir dir;
    std::filesystem::path scenarioPath = CopyResource("scenarios/default.json", "scenario.json");
    std::filesystem::path iniPath = CopyResource("QVWlan.INI", "QVWlan.INI");
    std::string registryPath = dir.file("registry.db").string();
    SqliteRegistry registry{registryPath};
    FakeClock clock;
    SimulatedWlanLibrary wlan{scenarioPath, registry, clock, 1};
    FakeDialogs dialogs;
    FakePageHost pages;
    FakeListControl surveyList;
    FakeListControl stationList;
    FakeTimers timers;
    FakeTrayIcon tray;
    FakeShell shell;
    GuardTable guards;
    FakeSingleInstance guard{guards};
    PassphraseKeyLibrary passphrases;
    AppPorts ports{registry, wlan, clock, clock, dialogs,     pages,        surveyList, stationList,
                   timers,   tray, shell, guard, passphrases, PageElements, dir.path()};
    ProfileStore store{registry};
    WorkingRecords work;

private:
    std::filesystem::path CopyResource(std::string_view source, std::string_view name);
};

} // namespace kesto::test
