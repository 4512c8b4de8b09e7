// Adapter discovery against the real simulated adapter and the real SQLite store: the
// INI file on disk, matching adapters by their stored device identifier, the driver key
// layouts, unplugging, the service guard and the service state sync.
#include "tests/support/SimulatedWorld.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace kesto {
namespace {

using test::SimulatedWorld;
using Json = nlohmann::json;

Json Adapter(const std::string& instance, const std::string& deviceId, bool present = true)
{
    return {{"name", "{adapter-" + instance + "}"},
            {"description", "adapter " + instance},
            {"driverInstance", instance},
            {"deviceId", deviceId},
            {"mac", "02:00:00:00:00:" + instance.substr(2)},
            {"present", present},
            {"wireless", true}};
}

std::string Ini(const std::vector<std::string>& ids)
{
    std::string text = "[ADAPTER_INFORMATION]\nSignal_Strength_Max=64\nSignal_Strength_Min=14\n";
    for (const auto& id : ids)
        text += "MatchingDeviceId =" + id + "\n";
    return text;
}

TEST(AdapterIniFile, MissingFileBeepsAndReports)
{
    for (const bool asDirectory : {false, true}) {
        SimulatedWorld world;
        if (asDirectory)
            std::filesystem::create_directory(world.dir.file("QVWlan.INI"));
        world.discovery.LoadAdapterIni(world.dir.path());

        EXPECT_EQ(world.dialogs.beeps, (std::vector<test::FakeDialogs::Tone>{{1000, 1000}}));
        EXPECT_EQ(world.dialogs.messages, (std::vector<test::FakeDialogs::Message>{
                                              {"QVWlan.INI Can't be find", test::kCaption}}));
        EXPECT_EQ(world.discovery.Calibration(), AdapterCalibration{});
        EXPECT_TRUE(world.discovery.DeviceIdList().empty());
        EXPECT_EQ(world.discovery.ScanAdapters(), 0);
        EXPECT_EQ(world.discovery.SelectedAdapterIndex(), -1);
    }
}

TEST(AdapterIniFile, ShippedFileFindsTheDefaultAdapter)
{
    SimulatedWorld world;
    ASSERT_TRUE(world.StartWithShippedIni());
    EXPECT_TRUE(world.dialogs.messages.empty());
    EXPECT_EQ(world.discovery.Calibration(), (AdapterCalibration{100, 20, 80, 10}));
    EXPECT_EQ(world.discovery.DeviceIdList().front(), "USB\\VID_2C4E&PID_0450");
    EXPECT_EQ(world.discovery.MatchedAdapters(), std::vector<int>{0});
    EXPECT_EQ(world.discovery.SelectedAdapterKey(), std::string(kDriverKeyBaseNt) + "0007");
}

TEST(AdapterIniFile, EqualBoundsKeepRangesPositive)
{
    SimulatedWorld world;
    world.dir.write("QVWlan.INI", "[ADAPTER_INFORMATION]\r\nSignal_Strength_Max=30\r\n"
                                  "Signal_Strength_Min=30\r\nCommunication_Quality_Max=50\r\n"
                                  "Communication_Quality_Min=0A\r\n");
    world.discovery.LoadAdapterIni(world.dir.path());
    EXPECT_EQ(world.discovery.Calibration(), (AdapterCalibration{100, 20, 80, 10}));
}

struct MatchCase {
    const char* name;
    std::vector<Json> adapters;
    std::vector<std::string> iniIds;
    bool olderLayout;
    std::vector<int> matched;
};

void PrintTo(const MatchCase& c, std::ostream* os)
{
    *os << c.name;
}

class AdapterMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(AdapterMatch, FindsListedAdapters)
{
    const MatchCase& c = GetParam();
    SimulatedWorld world([&](Json& s) {
        s["adapters"] = c.adapters;
        s["system"]["olderRegistryLayout"] = c.olderLayout;
    });
    world.dir.write("QVWlan.INI", Ini(c.iniIds));
    world.discovery.LoadAdapterIni(world.dir.path());

    EXPECT_EQ(world.discovery.ScanAdapters(), static_cast<int>(c.matched.size()));
    EXPECT_EQ(world.discovery.MatchedAdapters(), c.matched);
    EXPECT_EQ(world.discovery.SelectedAdapterIndex(), c.matched.empty() ? -1 : c.matched[0]);
    if (!c.matched.empty()) {
        const auto& entry = world.discovery.Adapters()[static_cast<std::size_t>(c.matched[0])];
        EXPECT_EQ(world.discovery.SelectedAdapterKey(),
                  std::string(c.olderLayout ? kDriverKeyBase9x : kDriverKeyBaseNt) +
                      entry.driverInstance);
        EXPECT_NE(world.api.Open(entry), 0);
    }
}

const std::string kProduct = "USB\\VID_2C4E&PID_0450";

INSTANTIATE_TEST_SUITE_P(
    Cases, AdapterMatch,
    testing::Values(
        MatchCase{"Product", {Adapter("0007", kProduct)}, {kProduct}, false, {0}},
        MatchCase{"CaseInsensitive",
                  {Adapter("0007", "usb\\vid_2c4e&pid_0450")},
                  {"Usb\\Vid_2C4E&Pid_0450"},
                  false,
                  {0}},
        MatchCase{"TwoMatchLowerIndexUsed",
                  {Adapter("0001", "PCI\\VEN_1A5E&DEV_2201"), Adapter("0009", kProduct),
                   Adapter("0012", "USB\\VID_2C4E&PID_0451")},
                  {"USB\\VID_2C4E&PID_0451", kProduct},
                  false,
                  {1, 2}},
        MatchCase{"NotListed", {Adapter("0007", kProduct)}, {"USB\\VID_2C4E&PID_0451"}, false, {}},
        MatchCase{"Unplugged", {Adapter("0007", kProduct, false)}, {kProduct}, false, {}},
        MatchCase{"EmptyListEntryMatchesNothing", {Adapter("0007", kProduct)}, {""}, false, {}},
        MatchCase{"OlderLayout", {Adapter("0003", kProduct)}, {kProduct}, true, {0}},
        MatchCase{"NoAdapters", {}, {kProduct}, false, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(AdapterDiscovery, UnplugAndReplugByRewritingTheScenario)
{
    SimulatedWorld world;
    ASSERT_TRUE(world.StartWithShippedIni());

    world.RewriteScenario([](Json& s) { s["adapters"][0]["present"] = false; });
    EXPECT_EQ(world.api.QueryWL_Channel(), -1);
    EXPECT_EQ(world.discovery.ScanAdapters(), 0);
    EXPECT_EQ(world.discovery.SelectedAdapterIndex(), -1);
    EXPECT_EQ(world.discovery.SelectedAdapterKey(), "");

    world.RewriteScenario({});
    EXPECT_EQ(world.discovery.ScanAdapters(), 1);
    EXPECT_EQ(world.discovery.SelectedAdapterKey(), std::string(kDriverKeyBaseNt) + "0007");
}

TEST(AdapterDiscovery, RegistryKeyOfEntries)
{
    struct Case {
        bool olderLayout;
        int index;
        std::string key;
    };
    const std::string nt(kDriverKeyBaseNt);
    const std::string old(kDriverKeyBase9x);
    const Case cases[] = {
        {false, 0, nt + "0007"}, {false, 1, nt + "0001"},
        {true, 0, old + "0007"}, {false, 2, ""}, // an unused entry has no driver key
        {false, -1, ""},                         // nothing selected
        {true, 10, ""},
    };
    for (const Case& c : cases) {
        SimulatedWorld world([&](Json& s) { s["system"]["olderRegistryLayout"] = c.olderLayout; });
        world.discovery.ScanAdapters();
        world.library.clearCalls();
        EXPECT_EQ(world.discovery.AdapterRegistryKey(c.index), c.key) << c.index;
        EXPECT_EQ(test::Signatures(world.library.calls()),
                  std::vector<std::string>{"QueryWL_IsWindows95()"});
    }
    EXPECT_EQ(old, "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net\\");
    EXPECT_EQ(nt, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
                  "{4D36E972-E325-11CE-BFC1-08002bE10318}\\");
}

struct GuardCase {
    const char* name;
    int osVersion;
    const char* service;
    bool blocked;
    std::vector<std::string> calls;
};

void PrintTo(const GuardCase& c, std::ostream* os)
{
    *os << c.name;
}

class ServiceGuard : public testing::TestWithParam<GuardCase> {};

TEST_P(ServiceGuard, BlocksOnlyWhileTheServiceControlsTheAdapter)
{
    const GuardCase& c = GetParam();
    SimulatedWorld world([&](Json& s) {
        s["system"]["osVersion"] = c.osVersion;
        s["system"]["wirelessService"] = c.service;
    });
    ASSERT_TRUE(world.StartWithShippedIni());
    world.library.clearCalls();

    EXPECT_EQ(world.discovery.CheckServiceConflict(), c.blocked);
    EXPECT_EQ(test::Signatures(world.library.calls()), c.calls);
    if (c.blocked) {
        EXPECT_EQ(world.dialogs.messages,
                  (std::vector<test::FakeDialogs::Message>{
                      {"You can not use the Kesto Utility to configure the Kesto.\n"
                       "You are currently using the Wireless Zero Configuration service.",
                       test::kCaption}}));
    } else {
        EXPECT_TRUE(world.dialogs.messages.empty());
    }
}

const std::vector<std::string> kAsked{"QV_GetOSVersion()", "QueryWL_CheckWZCStatus()"};
const std::vector<std::string> kNotAsked{"QV_GetOSVersion()"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ServiceGuard,
    testing::Values(GuardCase{"Controlling", 7, "controlling", true, kAsked},
                    GuardCase{"Released", 7, "released", false, kAsked},
                    GuardCase{"NotControlling", 7, "not-controlling", false, kAsked},
                    GuardCase{"OlderSystem", 6, "controlling", false, kNotAsked},
                    GuardCase{"NewerSystem", 8, "controlling", false, kNotAsked}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ServiceState, CallsTheLibraryOnlyOnChange)
{
    SimulatedWorld world([](Json& s) { s["system"]["wirelessService"] = "released"; });
    ASSERT_TRUE(world.StartWithShippedIni());
    EXPECT_EQ(world.discovery.ServiceState(), 0);

    // Each step: what changes first, then the calls one SyncServiceState makes.
    struct Step {
        const char* what;
        std::function<void()> before;
        std::vector<std::string> calls;
        int remembered;
    };
    const std::vector<std::string> query{"QueryWL_CheckWZCStatus()"};
    const auto with = [&](const char* call) {
        auto calls = query;
        calls.push_back(call);
        return calls;
    };
    const Step steps[] = {
        {"released", [] {}, with("SetWL_QVUseQVXOidState(0)"), 2},
        {"released again", [] {}, query, 2},
        {"service takes over", [&] { world.api.SetWL_WZCStatus(1); },
         with("SetWL_QVUseQVXOidState(0)"), 1},
        {"still controlling", [] {}, query, 1},
        {"unknown forces the call", [&] { world.discovery.SetServiceStateUnknown(); },
         with("SetWL_QVUseQVXOidState(0)"), 1},
        {"service gone",
         [&] {
             world.RewriteScenario(
                 [](Json& s) { s["system"]["wirelessService"] = "not-controlling"; });
         },
         with("SetWL_QVUseQVXOidState(1)"), 0},
        {"not controlling again", [] {}, query, 0},
        {"adapter closed: status unknown, nothing changes", [&] { world.api.Close(); }, query, 0},
    };
    for (const Step& step : steps) {
        step.before();
        world.library.clearCalls();
        world.discovery.SyncServiceState();
        EXPECT_EQ(test::Signatures(world.library.calls()), step.calls) << step.what;
        EXPECT_EQ(world.discovery.ServiceState(), step.remembered) << step.what;
    }
}

} // namespace
} // namespace kesto
