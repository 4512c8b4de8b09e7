// The scenario as a living file: plugging adapters out and in, broken versions that
// leave the last good one in force, and the MatchingDeviceId values the system keeps.
#include "tests/drivers/qvwlan/QvwlanRig.h"

#include "drivers/qvwlan/ScenarioLoader.h"

#include <fstream>

namespace kesto::test {
namespace {

std::optional<RegValue> DeviceId(Registry& registry, const char* layout, const char* instance)
{
    return registry.QueryValue(std::string(layout) + instance, "MatchingDeviceId");
}

int ListedAdapters(QvwlanRig& rig)
{
    std::array<NicAdapterEntry, 10> list{};
    return rig.lib.CreateNICAdapterList(list);
}

TEST(PlugAndReload, UnplugFailsEveryCallUntilReplugged)
{
    json s = BaseScenario();
    s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, -50)};
    QvwlanRig rig(s);
    rig.Open();
    rig.Join("Offen");
    rig.Settle();
    ASSERT_EQ(rig.Status(), 3);
    EXPECT_EQ(ListedAdapters(rig), 2);

    s["adapters"][0]["present"] = false;
    rig.Rewrite(s);
    EXPECT_EQ(rig.lib.QueryWL_Channel(rig.ctx), -1);
    EXPECT_EQ(rig.Status(), -1);
    EXPECT_EQ(rig.lib.SetWL_PSMode(rig.ctx, 0), -1);
    std::array<std::uint8_t, 6> mac{};
    EXPECT_EQ(rig.lib.GetNICAdapterMAC(rig.ctx, mac), -1);
    EXPECT_EQ(ListedAdapters(rig), 1);
    EXPECT_FALSE(DeviceId(rig.registry, kNtDriverKey, "0007"));
    EXPECT_TRUE(DeviceId(rig.registry, kNtDriverKey, "0001"));
    AdapterContext other;
    std::memcpy(other.driverInstance, "0007", 5);
    EXPECT_EQ(rig.lib.QvOpenAdapter(other), 0);

    // Back in: the same handle works again on an adapter that powered up afresh.
    s["adapters"][0]["present"] = true;
    rig.Rewrite(s);
    EXPECT_EQ(rig.lib.QueryWL_Channel(rig.ctx), 1);
    EXPECT_EQ(rig.Status(), 2) << "power-on settings (any name, WEP off): associating anew";
    rig.Settle();
    EXPECT_EQ(rig.Status(), 3);
    EXPECT_EQ(DeviceId(rig.registry, kNtDriverKey, "0007"),
              RegValue::Text("USB\\VID_2C4E&PID_0450"));
    EXPECT_EQ(ListedAdapters(rig), 2);
}

TEST(PlugAndReload, BrokenFileKeepsTheLastGoodScenario)
{
    json s = BaseScenario();
    s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, -50)};
    QvwlanRig rig(s);
    rig.Open();
    EXPECT_EQ(rig.lib.lastError(), "");

    const std::vector<std::pair<std::string, std::string>> broken{
        {"{ \"system\": ", "not valid JSON"},
        {R"({"system": {"osVersion": "sieben"}})", "system.osVersion: expected a whole number"},
        {"", "not valid JSON"},
    };
    for (const auto& [text, problem] : broken) {
        SCOPED_TRACE(text);
        rig.dir.write("scenario.json", text);
        EXPECT_EQ(rig.lib.QV_GetOSVersion(), 7);
        EXPECT_NE(rig.lib.QueryWL_Channel(rig.ctx), -1) << "the adapter is still there";
        EXPECT_NE(rig.lib.lastError().find(rig.file.string()), std::string::npos);
        EXPECT_NE(rig.lib.lastError().find(problem), std::string::npos) << rig.lib.lastError();
    }

    std::filesystem::remove(rig.file);
    EXPECT_EQ(rig.lib.QV_GetOSVersion(), 7);
    EXPECT_NE(rig.lib.lastError().find("no such file"), std::string::npos);

    s["system"]["osVersion"] = 6;
    rig.Rewrite(s);
    EXPECT_EQ(rig.lib.QV_GetOSVersion(), 6);
    EXPECT_EQ(rig.lib.lastError(), "");
}

TEST(PlugAndReload, RewriteOfTheSameSizeIsNoticed)
{
    json s = BaseScenario();
    s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, -50)};
    QvwlanRig rig(s);
    rig.Open();
    rig.Join("Offen");
    rig.Settle();
    ASSERT_EQ(rig.lib.QueryWL_RSSI(rig.ctx), -50);
    s["networks"][0]["rssi"] = -60; // same number of characters
    rig.Rewrite(s);
    EXPECT_EQ(rig.lib.QueryWL_RSSI(rig.ctx), -60);
}

TEST(PlugAndReload, ConstructionNeedsAGoodFile)
{
    TempDir dir;
    SqliteRegistry registry(":memory:");
    FakeClock clock;
    const auto missing = dir.file("fehlt.json");
    try {
        SimulatedWlanLibrary lib(missing, registry, clock);
        FAIL() << "a missing scenario must not start";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
    }
    const auto bad = dir.write("kaputt.json", R"({"system": {}})");
    try {
        SimulatedWlanLibrary lib(bad, registry, clock);
        FAIL() << "a broken scenario must not start";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("kaputt.json"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("osVersion"), std::string::npos) << e.what();
    }
}

TEST(PlugAndReload, MatchingDeviceIdInBothLayouts)
{
    json s = BaseScenario();
    s["adapters"].push_back({{"name", "{C3}"},
                             {"description", "Alter Stick"},
                             {"driverInstance", "0012"},
                             {"deviceId", "USB\\VID_2C4E&PID_0451"},
                             {"mac", "02:00:00:00:00:12"},
                             {"present", false}});
    TempDir dir;
    SqliteRegistry registry(":memory:");
    // Left over from an earlier run: the unplugged adapter's value must go.
    registry.SetValue(std::string(kNtDriverKey) + "0012", "MatchingDeviceId",
                      RegValue::Text("USB\\VID_2C4E&PID_0451"));
    FakeClock clock;
    const auto file = dir.write("scenario.json", s.dump());
    SimulatedWlanLibrary lib(file, registry, clock);

    EXPECT_EQ(DeviceId(registry, kNtDriverKey, "0007"), RegValue::Text("USB\\VID_2C4E&PID_0450"));
    EXPECT_EQ(DeviceId(registry, kNtDriverKey, "0001"), RegValue::Text("PCI\\VEN_1A5E&DEV_2201"));
    EXPECT_FALSE(DeviceId(registry, kNtDriverKey, "0012"));
    EXPECT_FALSE(DeviceId(registry, k9xDriverKey, "0007"));
    EXPECT_EQ(lib.QueryWL_IsWindows95(), 0);

    s["system"]["olderRegistryLayout"] = true;
    s["adapters"][2]["present"] = true;
    dir.write("scenario.json", s.dump());
    EXPECT_EQ(lib.QueryWL_IsWindows95(), 1);
    EXPECT_EQ(DeviceId(registry, k9xDriverKey, "0007"), RegValue::Text("USB\\VID_2C4E&PID_0450"));
    EXPECT_EQ(DeviceId(registry, k9xDriverKey, "0012"), RegValue::Text("USB\\VID_2C4E&PID_0451"));
    EXPECT_FALSE(DeviceId(registry, kNtDriverKey, "0007"));

    // An adapter the scenario no longer names is gone from the system.
    s["adapters"].erase(2);
    dir.write("scenario.json", s.dump());
    EXPECT_EQ(lib.QueryWL_IsWindows95(), 1);
    EXPECT_FALSE(DeviceId(registry, k9xDriverKey, "0012"));
}

TEST(PlugAndReload, AdapterListAndOpen)
{
    QvwlanRig rig(BaseScenario());
    std::array<NicAdapterEntry, 10> list;
    std::memset(static_cast<void*>(list.data()), 0x55, sizeof list);
    ASSERT_EQ(rig.lib.CreateNICAdapterList(list), 2);
    EXPECT_STREQ(list[0].name, "{A1}");
    EXPECT_STREQ(list[0].description, "Kesto USB Wireless LAN Adapter");
    EXPECT_STREQ(list[0].driverInstance, "0007");
    EXPECT_STREQ(list[1].driverInstance, "0001");
    const NicAdapterEntry zero{};
    EXPECT_EQ(std::memcmp(&list[2], &zero, sizeof zero), 0) << "unused entries are zeroed";

    std::array<NicAdapterEntry, 1> one{};
    EXPECT_EQ(rig.lib.CreateNICAdapterList(one), 1);

    AdapterContext wired;
    std::memcpy(wired.driverInstance, list[1].driverInstance, 5);
    EXPECT_EQ(rig.lib.QvOpenAdapter(wired), 0) << "not a wireless adapter";
    EXPECT_EQ(wired.handle, -1);

    AdapterContext ctx;
    std::memcpy(ctx.name, list[0].name, sizeof ctx.name);
    std::memcpy(ctx.driverInstance, list[0].driverInstance, 5);
    EXPECT_EQ(rig.lib.QueryWL_Channel(ctx), -1) << "closed";
    ASSERT_NE(rig.lib.QvOpenAdapter(ctx), 0);
    EXPECT_NE(ctx.handle, -1);
    EXPECT_EQ(rig.lib.QueryWL_DriverVersion(ctx), 0x0201073C);
    EXPECT_EQ(rig.lib.QueryWL_CheckWZCStatus(ctx), 0);
    EXPECT_NE(rig.lib.QvCloseAdapter(ctx), 0);
    EXPECT_EQ(ctx.handle, -1);
    EXPECT_EQ(rig.lib.QvCloseAdapter(ctx), 0);
    ctx.handle = 77; // never handed out
    EXPECT_EQ(rig.lib.QueryWL_Channel(ctx), -1);
}

TEST(PlugAndReload, WirelessServiceStatus)
{
    json s = BaseScenario();
    s["system"]["wirelessService"] = "controlling";
    QvwlanRig rig(s);
    rig.Open();
    EXPECT_EQ(rig.lib.QueryWL_CheckWZCStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib.SetWL_WZCStatus(rig.ctx, 0), 0);
    EXPECT_EQ(rig.lib.QueryWL_CheckWZCStatus(rig.ctx), 2);
    EXPECT_EQ(rig.lib.SetWL_WZCStatus(rig.ctx, 1), 0);
    EXPECT_EQ(rig.lib.QueryWL_CheckWZCStatus(rig.ctx), 1);
    EXPECT_EQ(rig.lib.SetWL_WZCStatus(rig.ctx, 5), -1);

    // A change in the file is the world changing: the new status holds.
    s["system"]["wirelessService"] = "not-controlling";
    rig.Rewrite(s);
    EXPECT_EQ(rig.lib.QueryWL_CheckWZCStatus(rig.ctx), 0);
    EXPECT_EQ(rig.lib.SetWL_WZCStatus(rig.ctx, 1), -1) << "no service to hand the adapter to";
}

// --- the loader's refusals ---

struct Broken {
    const char* name;
    std::function<void(json&)> edit;
    const char* message;
};

void PrintTo(const Broken& b, std::ostream* os)
{
    *os << b.name;
}

class BrokenScenarioTest : public testing::TestWithParam<Broken> {};

TEST_P(BrokenScenarioTest, RefusedWithTheFieldNamed)
{
    json s = BaseScenario();
    s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, -50)};
    s["stations"] = {{{"mac", "0A:11:22:33:44:01"}}};
    GetParam().edit(s);
    try {
        qvwlan::ScenarioLoader::Parse(s.dump());
        FAIL() << "accepted";
    } catch (const qvwlan::ScenarioError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, BrokenScenarioTest,
    testing::Values(
        Broken{"ChannelOutOfRange", [](json& s) { s["networks"][0]["channel"] = 15; },
               "networks[0].channel: 15 is outside 1..14"},
        Broken{"ChannelAsText", [](json& s) { s["networks"][0]["channel"] = "6"; },
               "networks[0].channel: expected a whole number"},
        Broken{"ChannelFractional", [](json& s) { s["networks"][0]["channel"] = 6.5; },
               "networks[0].channel: expected a whole number"},
        Broken{"HugeNumber", [](json& s) { s["networks"][0]["rssi"] = 18446744073709551615ull; },
               "networks[0].rssi: 18446744073709551615 is outside"},
        Broken{"BadMac", [](json& s) { s["networks"][0]["bssid"] = "0A-00-00-00-00-01"; },
               "networks[0].bssid: \"0A-00-00-00-00-01\" is not a MAC address"},
        Broken{"GroupBssid", [](json& s) { s["networks"][0]["bssid"] = "01:00:5E:00:00:01"; },
               "networks[0].bssid: a group address"},
        Broken{"UnknownField", [](json& s) { s["networks"][0]["chanel"] = 6; },
               "networks[0]: unknown field \"chanel\""},
        Broken{"SsidTooLong", [](json& s) { s["networks"][0]["ssid"] = std::string(33, 'x'); },
               "networks[0].ssid: longer than 32 bytes"},
        Broken{"SsidAndSsidHex", [](json& s) { s["networks"][0]["ssidHex"] = "41"; },
               "networks[0]: give \"ssid\" or \"ssidHex\", not both"},
        Broken{"SsidHexOdd",
               [](json& s) {
                   s["networks"][0].erase("ssid");
                   s["networks"][0]["ssidHex"] = "E9A";
               },
               "networks[0].ssidHex: an odd number"},
        Broken{"SsidHexZeroByte",
               [](json& s) {
                   s["networks"][0].erase("ssid");
                   s["networks"][0]["ssidHex"] = "4100";
               },
               "networks[0].ssidHex: contains a zero byte"},
        Broken{"SsidHexTooLong",
               [](json& s) {
                   s["networks"][0].erase("ssid");
                   s["networks"][0]["ssidHex"] = std::string(66, 'A');
               },
               "networks[0].ssidHex: longer than 64 bytes"},
        Broken{
            "DuplicateBssid",
            [](json& s) { s["networks"].push_back(Network("Zwei", "0A:00:00:00:00:01", 2, -60)); },
            "networks[1].bssid: another network has this BSSID"},
        Broken{"WepWithoutKeys", [](json& s) { s["networks"][0]["security"] = "wep"; },
               "networks[0]: a \"wep\" network needs \"wepKeys\""},
        Broken{"KeyOfTwelveDigits",
               [](json& s) {
                   s["networks"][0]["security"] = "wep";
                   s["networks"][0]["wepKeys"] = {{{"index", 0}, {"hex", "1A2B3C4D5E6F"}}};
               },
               "networks[0].wepKeys[0].hex: a key has 10, 26 or 58 hexadecimal digits, not 12"},
        Broken{"KeyNotHex",
               [](json& s) {
                   s["networks"][0]["security"] = "wep";
                   s["networks"][0]["wepKeys"] = {{{"index", 0}, {"hex", "1A2B3C4D5G"}}};
               },
               "not a hexadecimal digit"},
        Broken{"WpaAdHoc",
               [](json& s) {
                   s["networks"][0]["security"] = "wpa-psk";
                   s["networks"][0]["type"] = "adhoc";
               },
               "WPA security needs \"type\": \"infrastructure\""},
        Broken{"UnknownSecurity", [](json& s) { s["networks"][0]["security"] = "wpa2"; },
               "networks[0].security: \"wpa2\" is not one of"},
        Broken{"ChannelsNotAscending",
               [](json& s) {
                   s["regulatoryChannels"] = {1, 3, 2};
               },
               "regulatoryChannels[2]: channels must be listed once each, ascending"},
        Broken{"NoChannels", [](json& s) { s["regulatoryChannels"] = json::array(); },
               "regulatoryChannels: lists no channel"},
        Broken{"InstanceTooLong", [](json& s) { s["adapters"][0]["driverInstance"] = "00007"; },
               "adapters[0].driverInstance: longer than 4 bytes"},
        Broken{"InstanceWithBackslash",
               [](json& s) { s["adapters"][0]["driverInstance"] = "00\\7"; },
               "is not four letters or digits"},
        Broken{"DuplicateInstance", [](json& s) { s["adapters"][1]["driverInstance"] = "0007"; },
               "adapters[1]: driver instance \"0007\" is used by another adapter"},
        Broken{"NulInName", [](json& s) { s["adapters"][0]["name"] = std::string("A\0B", 3); },
               "adapters[0].name: contains a NUL character"},
        Broken{"BadDriverVersion", [](json& s) { s["adapters"][0]["driverVersion"] = "2.1.7"; },
               "adapters[0].driverVersion: \"2.1.7\" is not a driver version"},
        Broken{"WepKeyBitsNoKeySize", [](json& s) { s["adapters"][0]["maxWepKeyBits"] = 152; },
               "adapters[0].maxWepKeyBits: 152 is not 64, 128 or 256"},
        Broken{"ServerNameOnAnOpenNetwork",
               [](json& s) { s["networks"][0]["radiusServerName"] = "radius.example"; },
               "\"radiusServerName\" belong to \"wpa-radius\" networks only"},
        Broken{"MissingSystem", [](json& s) { s.erase("system"); }, "missing field \"system\""},
        Broken{"StationsNotAList", [](json& s) { s["stations"] = json::object(); },
               "stations: expected a list, found object"},
        Broken{"StationKeyIndex",
               [](json& s) {
                   s["stations"][0]["wepKey"] = {{"index", 4}, {"hex", "1122334455"}};
               },
               "stations[0].wepKey.index: 4 is outside 0..3"},
        Broken{"ScanTimeTooLong", [](json& s) { s["scanMs"] = 60001; },
               "scanMs: 60001 is outside 0..60000"},
        Broken{"ScanTimeAsText", [](json& s) { s["scanMs"] = "2000"; },
               "scanMs: expected a whole number"},
        Broken{"TrafficTooFast",
               [](json& s) {
                   s["traffic"] = {{"txBytesPerSecond", -1}};
               },
               "traffic.txBytesPerSecond: -1 is outside"},
        Broken{"TooDeep",
               [](json& s) {
                   json deep = json::array();
                   for (int i = 0; i < 40; ++i)
                       deep = json::array({deep});
                   s["networks"][0]["extra"] = deep;
               },
               "nest deeper than 16 levels"}),
    [](const testing::TestParamInfo<Broken>& p) { return std::string(p.param.name); });

// Numbers the JSON library cannot hold raise its own exceptions from inside the parser;
// each must come out as the loader's error with the field named where one is known.
struct Unrepresentable {
    const char* name;
    std::string text;
    const char* message;
};

void PrintTo(const Unrepresentable& u, std::ostream* os)
{
    *os << u.name;
}

class UnrepresentableNumberTest : public testing::TestWithParam<Unrepresentable> {};

TEST_P(UnrepresentableNumberTest, RefusedAsAScenarioError)
{
    try {
        qvwlan::ScenarioLoader::Parse(GetParam().text);
        FAIL() << "accepted";
    } catch (const qvwlan::ScenarioError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    } catch (const std::exception& e) {
        FAIL() << "escaped as another exception: " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, UnrepresentableNumberTest,
    testing::Values(
        Unrepresentable{"BareExponent", "4E450", "not valid JSON"},
        Unrepresentable{"InAnObject", R"({"rssiJitter": 1e999})", "rssiJitter: not valid JSON"},
        Unrepresentable{"NegativeInAList", R"({"regulatoryChannels": [1, 2, -1e400]})",
                        "regulatoryChannels[2]: not valid JSON"},
        Unrepresentable{"DeepInAList",
                        R"({"networks": [{"ssid": "a"}, {"ssid": "b", "rssi": 5e5000}]})",
                        "networks[1].rssi: not valid JSON"},
        Unrepresentable{"AfterANestedObject",
                        R"({"system": {"osVersion": 7}, "traffic": {"a": [1, {}], "b": 9e9999}})",
                        "traffic.b: not valid JSON"}),
    [](const testing::TestParamInfo<Unrepresentable>& p) { return std::string(p.param.name); });

TEST(PlugAndReload, NumberOutOfRangeInARunningScenarioKeepsTheLastGoodOne)
{
    json s = BaseScenario();
    s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, -50)};
    QvwlanRig rig(s);
    rig.Open();
    std::string text = s.dump();
    text.insert(text.rfind('}'), R"(, "rssiJitter": 1e999)");
    rig.dir.write("scenario.json", text);
    EXPECT_NO_THROW(EXPECT_EQ(rig.lib.QV_GetOSVersion(), 7));
    EXPECT_NE(rig.lib.lastError().find(rig.file.string()), std::string::npos);
    EXPECT_NE(rig.lib.lastError().find("rssiJitter"), std::string::npos) << rig.lib.lastError();
    rig.dir.write("scenario.json", "4E450");
    EXPECT_NO_THROW(rig.lib.reloadScenario());
    EXPECT_NE(rig.lib.QueryWL_Channel(rig.ctx), -1) << "the adapter is still there";
}

TEST(PlugAndReload, NumberOutOfRangeAtStartNamesTheFileAndTheField)
{
    TempDir dir;
    SqliteRegistry registry(":memory:");
    FakeClock clock;
    const auto file = dir.write("gross.json", R"({"system": {"osVersion": 1e999}})");
    try {
        SimulatedWlanLibrary lib(file, registry, clock);
        FAIL() << "a broken scenario must not start";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("gross.json"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("system.osVersion"), std::string::npos) << e.what();
    }
}

TEST(ScenarioLoader, NeverCrashesOnTruncatedInput)
{
    std::ifstream in(SourceDir() / "resources" / "scenarios" / "default.json");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_NO_THROW(qvwlan::ScenarioLoader::Parse(text));
    for (std::size_t cut = 0; cut + 1 < text.size(); cut += 7)
        EXPECT_THROW(qvwlan::ScenarioLoader::Parse(std::string_view(text).substr(0, cut)),
                     qvwlan::ScenarioError);
}

} // namespace
} // namespace kesto::test
