// The link status monitor against the real simulated adapter and the real store: the
// association texts, the averaged bars, the frame totals, the throughput texts, what
// each failure leaves alone, and the order of its calls.
#include "station/LinkMonitor.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/SimulatedWorld.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <vector>

namespace kesto {
namespace {

using test::ScenarioEdit;
using test::SimulatedWorld;
using Json = nlohmann::json;

const std::string kLit(kBarLit);
const std::string kDark(kBarDark);

Json Network(const std::string& ssid, const std::string& bssid, int rssi)
{
    return {{"ssid", ssid}, {"bssid", bssid}, {"channel", 5}, {"rssi", rssi}};
}

// Only the networks given, steady signals, and traffic as given.
ScenarioEdit Radio(std::vector<Json> networks, Json traffic = Json::object())
{
    return [networks, traffic](Json& s) {
        s["networks"] = networks;
        s["rssiJitter"] = 0;
        s["traffic"] = traffic;
    };
}

class MonitorRig {
public:
    explicit MonitorRig(const ScenarioEdit& edit = {}) : world(edit)
    {
        EXPECT_TRUE(world.StartWithShippedIni());
    }

    // Sets the adapter up for a network and lets the association complete.
    void Join(std::string_view ssid, int rateIndex = 0, int networkType = 1)
    {
        world.api.SetWL_NetworkType(networkType);
        world.api.SetDesiredRate(rateIndex);
        world.api.SetWL_SSID(ssid);
        // The adapter starts counting traffic once it has been asked after the change.
        world.api.QueryWL_LinkStatus();
        world.clock.Advance(2000);
    }
    void Plug(bool present)
    {
        world.RewriteScenario([present](Json& s) { s["adapters"][0]["present"] = present; });
    }
    // One link status tick with its two pauses run.
    void LinkInfo()
    {
        monitor.RefreshLinkInfo();
        world.clock.Settle();
    }
    std::string Text(std::string_view id) const { return std::string(fields.Text(id)); }
    int LitBars(std::string_view prefix) const
    {
        int lit = 0;
        for (int i = 1; i <= 10; ++i) {
            const std::string id = std::string(prefix) + (i < 10 ? "0" : "") + std::to_string(i);
            lit += Text(id) == kLit ? 1 : 0;
        }
        return lit;
    }
    std::vector<std::string> CallNames() const
    {
        std::vector<std::string> names;
        for (const auto& call : world.library.calls())
            names.push_back(call.name);
        return names;
    }

    SimulatedWorld world;
    ElementBinding fields;
    test::FakeTimers timers;
    int pushes = 0;
    LinkMonitor monitor{world.api,  world.discovery, world.store,
                        world.work, fields,          [this] { ++pushes; },
                        timers,     world.clock,     world.clock};
};

// --- association texts ---

struct LinkInfoCase {
    const char* name;
    std::vector<Json> networks;
    std::function<void(MonitorRig&)> setUp;
    std::map<std::string, std::string> expected;
};

class LinkInfo : public ::testing::TestWithParam<LinkInfoCase> {};

void JoinVillaWithItsPassPhrase(MonitorRig& r)
{
    WpaCredentials psk;
    psk.passphrase = "villa-sonne-1";
    r.world.api.SetWL_SSID("Villa");
    r.world.api.SetWL_WPA(psk);
    r.Join("Villa");
}

TEST_P(LinkInfo, ShowsTheAssociation)
{
    const LinkInfoCase& c = GetParam();
    MonitorRig rig(Radio(c.networks));
    c.setUp(rig);
    rig.LinkInfo();
    for (const auto& [id, text] : c.expected)
        EXPECT_EQ(rig.Text(id), text) << id;
}

const std::string k25 = "Kurpark-Gaestehaus-Westfl"; // 25 characters
const std::string k32(32, 'N');

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkInfo,
    ::testing::Values(
        LinkInfoCase{"Rate54GivesG",
                     {Network("Cafe", "0A:00:00:00:00:01", -50)},
                     [](MonitorRig& r) { r.Join("Cafe", 0); },
                     {{"TextTransRate", "54 Mbps"},
                      {"TextNetworkMode", "802.11g"},
                      {"TextNetworkName", "Cafe"},
                      {"TextstationAPMac", "0A:00:00:00:00:01"},
                      {"TextChannel", "5"},
                      {"TextNetworkType", "Infrastruktur(BSS)"},
                      {"TextSecurity", "Deaktiviert"},
                      {"TextAuthentication", "Offenes System"}}},
        LinkInfoCase{"Rate11GivesB",
                     {Network("Cafe", "0A:00:00:00:00:01", -50)},
                     [](MonitorRig& r) { r.Join("Cafe", 7); },
                     {{"TextTransRate", "11 Mbps"}, {"TextNetworkMode", "802.11b"}}},
        LinkInfoCase{"Rate5500IsFivePointFive",
                     {Network("Cafe", "0A:00:00:00:00:01", -50)},
                     [](MonitorRig& r) { r.Join("Cafe", 10); },
                     {{"TextTransRate", "5.5 Mbps"}, {"TextNetworkMode", "802.11b"}}},
        LinkInfoCase{"NoRateKeepsTextAndEmptiesMode",
                     {},
                     [](MonitorRig& r) {
                         r.fields.SetText("TextTransRate", "11 Mbps");
                         r.fields.SetText("TextNetworkMode", "802.11b");
                         r.Join("Nirgendwo");
                     },
                     {{"TextTransRate", "11 Mbps"}, {"TextNetworkMode", ""}}},
        LinkInfoCase{"WepSharedKey",
                     {{{"ssid", "Praxis"},
                       {"bssid", "0A:00:00:00:00:02"},
                       {"channel", 3},
                       {"rssi", -50},
                       {"security", "wep"},
                       {"wepKeys", {{{"index", 0}, {"hex", "1A2B3C4D5E"}}}}}},
                     [](MonitorRig& r) {
                         const std::uint8_t key[] = {0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
                         r.world.api.SetWL_WriteKey(0, 0, 1, key);
                         r.world.api.SetWL_WEPStatus(0);
                         r.world.api.SetWL_AuthenticationMode(1);
                         r.Join("Praxis");
                     },
                     {{"TextSecurity", "WEP"},
                      {"TextAuthentication", "Gemeins. Schl\xC3\xBCssel"},
                      {"TextNetworkName", "Praxis"}}},
        // The security of the link, not only the WEP setting: the survey's words.
        LinkInfoCase{"Wpa3Network",
                     {{{"ssid", "Villa"},
                       {"bssid", "0A:00:00:00:00:05"},
                       {"channel", 11},
                       {"rssi", -50},
                       {"security", "wpa3-sae"},
                       {"passphrase", "villa-sonne-1"}}},
                     JoinVillaWithItsPassPhrase,
                     {{"TextSecurity", "WPA3-SAE"}, {"TextNetworkName", "Villa"}}},
        LinkInfoCase{"PassPhraseBeforeTheLink",
                     {},
                     JoinVillaWithItsPassPhrase,
                     {{"TextSecurity", "WPA-PSK"}}},
        LinkInfoCase{"AutomaticAuthentication",
                     {Network("Cafe", "0A:00:00:00:00:01", -50)},
                     [](MonitorRig& r) {
                         r.world.api.SetWL_AuthenticationMode(2);
                         r.Join("Cafe");
                     },
                     {{"TextAuthentication", "Auto"}}},
        LinkInfoCase{"EmptyNameIsAnyWhileSearching",
                     {},
                     [](MonitorRig& r) {
                         r.fields.SetText("TextstationAPMac", "0A:00:00:00:00:01");
                         r.Join("");
                     },
                     {{"TextNetworkName", "Any"}, {"TextstationAPMac", ""}}},
        LinkInfoCase{"LongNameCutWhileNotAssociated",
                     {},
                     [](MonitorRig& r) { r.Join(k25); },
                     {{"TextNetworkName", "Kurpark-Gaestehau..."}}},
        LinkInfoCase{"LongNameWholeWhileAssociated",
                     {Network(k25, "0A:00:00:00:00:03", -50)},
                     [](MonitorRig& r) { r.Join(k25); },
                     {{"TextNetworkName", k25}, {"TextstationAPMac", "0A:00:00:00:00:03"}}},
        // 32 is also the length of "any network"; only a name of zero bytes reads so.
        LinkInfoCase{"ThirtyTwoCharacterNameIsShown",
                     {Network(k32, "0A:00:00:00:00:04", -50)},
                     [](MonitorRig& r) { r.Join(k32); },
                     {{"TextNetworkName", k32}, {"TextstationAPMac", "0A:00:00:00:00:04"}}},
        LinkInfoCase{"NoNameReadsAsAny",
                     {},
                     [](MonitorRig& r) { r.Join(""); },
                     {{"TextNetworkName", "Any"}, {"TextstationAPMac", ""}}},
        LinkInfoCase{"OwnAdHocCell",
                     {},
                     [](MonitorRig& r) { r.Join("Spielwiese", 0, 0); },
                     {{"TextNetworkType", "Ad-Hoc(IBSS)"}, {"TextNetworkName", "Spielwiese"}}}),
    [](const ::testing::TestParamInfo<LinkInfoCase>& test) {
        return std::string(test.param.name);
    });

struct AdHocModeCase {
    const char* g;
    const char* pureG;
    const char* expected; // nullptr: the field keeps its text
};

TEST(LinkMonitor, AdHocModeFromTheDriverKey)
{
    const AdHocModeCase cases[] = {
        {"0", "0", "802.11b"}, {"1", "1", "Gemischtmodus"}, {"0", "1", "802.11g"},
        {"1", "0", nullptr},   {"", "", nullptr},
    };
    for (const AdHocModeCase& c : cases) {
        MonitorRig rig(Radio({}));
        const std::string key = rig.world.discovery.SelectedAdapterKey();
        if (*c.g)
            rig.world.store.WriteText(key + "\\IBSS_G_Mode", c.g);
        if (*c.pureG)
            rig.world.store.WriteText(key + "\\IBSS_PureG_Mode", c.pureG);
        rig.fields.SetText("TextNetworkMode", "vorher");
        rig.Join("Spielwiese", 0, 0);
        rig.LinkInfo();
        EXPECT_EQ(rig.Text("TextNetworkMode"), c.expected ? c.expected : "vorher")
            << c.g << "/" << c.pureG;
    }
}

// The tick reads in three parts 30 ms apart and leaves the thread in between; a tick
// meanwhile is not taken, and a tick dropped (its timers set anew) neither reads on nor
// re-arms its timer.
TEST(LinkMonitor, LinkInfoReadsInPartsBetweenPausesAndRearms)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -50)}));
    rig.Join("Cafe");
    rig.world.library.clearCalls();
    const auto pausesBefore = rig.world.clock.pauses().size();
    rig.timers.SetTimer(1, 300);
    const std::vector<std::string> first = {"QueryWL_IsWindows95", "QueryWL_AuthenticationMode",
                                            "QueryWL_LinkSecurity", "QueryWL_NetworkType"};
    std::vector<std::string> second = first;
    second.insert(second.end(), {"QueryWL_Channel", "QueryWL_CurrentLinkSpeed"});
    std::vector<std::string> all = second;
    all.insert(all.end(), {"QueryWL_LinkStatus", "QueryWL_SSID", "QueryWL_BSSID"});

    rig.monitor.RefreshLinkInfo();
    EXPECT_EQ(rig.CallNames(), first);
    EXPECT_TRUE(rig.monitor.tickPending());
    rig.monitor.RefreshLinkInfo();
    rig.world.clock.Advance(29);
    EXPECT_EQ(rig.CallNames(), first);
    rig.world.clock.Advance(1);
    EXPECT_EQ(rig.CallNames(), second);
    EXPECT_EQ(rig.timers.Period(1), 300u);
    rig.world.clock.Advance(30);
    EXPECT_EQ(rig.CallNames(), all);
    EXPECT_FALSE(rig.monitor.tickPending());
    const std::vector<std::uint32_t> pauses(rig.world.clock.pauses().begin() +
                                                static_cast<std::ptrdiff_t>(pausesBefore),
                                            rig.world.clock.pauses().end());
    EXPECT_EQ(pauses, (std::vector<std::uint32_t>{30, 30}));
    EXPECT_EQ(rig.timers.Period(1), 1500u);
    EXPECT_EQ(rig.world.work.CurrentProfile.NetworkType, 1);
    EXPECT_EQ(rig.pushes, 0); // texts reach the page with the next signal tick

    rig.world.library.clearCalls();
    rig.timers.SetTimer(1, 300);
    rig.monitor.RefreshLinkInfo();
    rig.world.clock.Advance(30);
    rig.monitor.DropPendingTick();
    rig.world.clock.Advance(1000);
    EXPECT_EQ(rig.CallNames(), second);
    EXPECT_EQ(rig.timers.Period(1), 300u);
    rig.monitor.RefreshLinkInfo(); // the next tick reads afresh
    rig.world.clock.Settle();
    EXPECT_EQ(rig.CallNames().size(), second.size() + all.size());
}

// A lost adapter: the name is emptied, the channel and rate keep their texts, and the
// current profile keeps its network type.
TEST(LinkMonitor, LinkInfoFailuresKeepOrClear)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -50)}));
    rig.Join("Cafe", 0, 0); // an ad-hoc cell of our own
    rig.LinkInfo();
    ASSERT_EQ(rig.world.work.CurrentProfile.NetworkType, 0);
    rig.fields.SetText("TextTransRate", "54 Mbps");
    const std::string channel = rig.Text("TextChannel");
    ASSERT_FALSE(channel.empty());

    rig.Plug(false);
    rig.LinkInfo();
    EXPECT_EQ(rig.Text("TextNetworkName"), "");
    EXPECT_EQ(rig.Text("TextChannel"), channel);
    EXPECT_EQ(rig.Text("TextTransRate"), "54 Mbps");
    EXPECT_EQ(rig.world.work.CurrentProfile.NetworkType, 0);
    EXPECT_EQ(rig.timers.Period(1), 1500u);
}

// --- signal tick ---

TEST(LinkSample, StoresOnlyReadingsAboveZero)
{
    struct Case {
        std::int64_t q, s;
        bool stored;
    };
    const Case cases[] = {{30, 60, true},  {0, 60, false},  {30, 0, false},
                          {30, -5, false}, {-1, 60, false}, {1, 1, true}};
    for (const Case& c : cases) {
        LinkSample sample;
        EXPECT_EQ(sample.Offer(c.q, c.s), c.stored) << c.q << "/" << c.s;
        EXPECT_EQ(sample.count, c.stored ? 1 : 0);
    }
}

TEST(LinkSample, AveragesTheLastFourReadings)
{
    LinkSample sample;
    for (int s : {10, 20, 30, 40, 50, 61})
        sample.Offer(s, s);
    // Slots now hold 50, 61, 30, 40: the first two were replaced.
    EXPECT_EQ(sample.count, 4);
    EXPECT_EQ(sample.nextSlot, 3);
    EXPECT_EQ(sample.AverageSignal(), (50 + 61 + 30 + 40) / 4);
    EXPECT_EQ(sample.AverageQuality(), (50 + 61 + 30 + 40) / 4);
}

struct LevelsCase {
    const char* name;
    std::int32_t avgQ, avgS;
    AdapterCalibration calibration;
    int qualityPercent, signalPercent, linkBars, signalBars;
    std::int32_t shownSignal;
};

class Levels : public ::testing::TestWithParam<LevelsCase> {};

TEST_P(Levels, PercentagesAndBars)
{
    const LevelsCase& c = GetParam();
    const SignalLevels l = LinkMonitor::Levels(c.avgQ, c.avgS, c.calibration);
    EXPECT_EQ(l.qualityPercent, c.qualityPercent);
    EXPECT_EQ(l.signalPercent, c.signalPercent);
    EXPECT_EQ(l.linkBars, c.linkBars);
    EXPECT_EQ(l.signalBars, c.signalBars);
    EXPECT_EQ(l.shownSignal, c.shownSignal);
}

const AdapterCalibration kShipped{100, 20, 80, 10};

INSTANTIATE_TEST_SUITE_P(
    Cases, Levels,
    ::testing::Values(
        // RSSI -45 dBm: (60 - 20) * 100 / 80 = 50 percent, 50 / 7 = 7 bars.
        LevelsCase{"Minus45", 22, 60, kShipped, 82, 50, 8, 7, 60},
        LevelsCase{"SeventyPercentLightsAll", 80, 76, kShipped, 0, 70, 6, 10, 76},
        LevelsCase{"SixtyEightPercent", 10, 75, kShipped, 100, 68, 10, 9, 75},
        LevelsCase{"ClampedAboveRanges", 500, 300, kShipped, 0, 100, 9, 10, 100},
        LevelsCase{"ClampedBelowRanges", 1, 5, kShipped, 100, 0, 4, 0, 20},
        LevelsCase{"EmptyRangesAreDark", 50, 50, {50, 50, 30, 30}, 0, 0, 0, 0, 50}),
    [](const ::testing::TestParamInfo<LevelsCase>& test) { return std::string(test.param.name); });

TEST(LinkMonitor, SignalTickShowsAveragesTotalsAndProfile)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -45)},
                         {{"txBytesPerSecond", 9000}, {"bytesPerFrame", 900}}));
    rig.world.work.ActiveProfileName = "Buero";
    rig.Join("Cafe");
    rig.monitor.RefreshSignal();
    EXPECT_EQ(rig.LitBars("ImageSignStr"), 7);
    EXPECT_EQ(rig.LitBars("ImageLinkQual"), 8);
    EXPECT_EQ(rig.Text("ImageSignStr08"), kDark);
    EXPECT_EQ(rig.Text("TextLinkQual"), "-45 dBm");
    EXPECT_EQ(rig.Text("TextProfileName"), "Buero");
    EXPECT_EQ(rig.pushes, 1);
    EXPECT_EQ(rig.monitor.sample().count, 1);

    std::array<std::uint32_t, 2> frames{};
    ASSERT_EQ(rig.world.api.GetTxRxFrameCount(frames), 0);
    EXPECT_EQ(rig.Text("TextTotalTrans"), std::to_string(frames[0]));
    EXPECT_NE(frames[0], 0u);
}

TEST(LinkMonitor, FrameTotalsAreSigned)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -45)},
                         {{"startTxFrames", 4294967290u}, {"startRxFrames", 7}}));
    rig.Join("Cafe");
    rig.monitor.RefreshSignal();
    EXPECT_EQ(rig.Text("TextTotalTrans"), "-6");
    EXPECT_EQ(rig.Text("TextTotalReceive"), "7");
}

// Not associated: bars, signal text and totals keep what they showed; the profile name
// is still refreshed and the fields pushed.
TEST(LinkMonitor, SignalTickWithoutLinkKeepsBarsAndTotals)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -45)}));
    rig.Join("Cafe");
    rig.monitor.RefreshSignal();
    rig.world.api.SetWL_SSID("Nirgendwo");
    rig.world.clock.Advance(2000);
    rig.world.work.ActiveProfileName = "Ein-sehr-langer-Profilname";
    rig.world.library.clearCalls();
    rig.monitor.RefreshSignal();
    EXPECT_EQ(rig.LitBars("ImageSignStr"), 7);
    EXPECT_EQ(rig.Text("TextLinkQual"), "-45 dBm");
    EXPECT_FALSE(rig.Text("TextTotalTrans").empty());
    EXPECT_EQ(rig.Text("TextProfileName"), "Ein-sehr-langer-P...");
    EXPECT_EQ(rig.CallNames(), std::vector<std::string>{"QueryWL_LinkStatus"});
    EXPECT_EQ(rig.pushes, 2);
}

// An own ad-hoc cell is a link, but nothing is heard: -105 dBm is not averaged in.
TEST(LinkMonitor, NothingHeardIsNotStored)
{
    MonitorRig rig(Radio({}));
    rig.Join("Spielwiese", 0, 0);
    ASSERT_EQ(rig.world.api.QueryWL_LinkStatus(), 4);
    rig.monitor.RefreshSignal();
    EXPECT_EQ(rig.monitor.sample().count, 0);
    EXPECT_EQ(rig.Text("TextLinkQual"), "");
}

// The window is never cleared: after reconnecting to a weaker network the first average
// still holds the stronger readings.
TEST(LinkMonitor, SampleWindowSurvivesReconnection)
{
    MonitorRig rig(Radio({Network("Stark", "0A:00:00:00:00:01", -45),
                          Network("Schwach", "0A:00:00:00:00:02", -85)}));
    rig.Join("Stark");
    for (int i = 0; i < 3; ++i)
        rig.monitor.RefreshSignal();
    rig.monitor.ClearStatus();
    rig.Join("Schwach");
    rig.monitor.RefreshSignal();
    // (60 * 3 + 20) / 4 = 50, shown as 50 - 105.
    EXPECT_EQ(rig.Text("TextLinkQual"), "-55 dBm");
}

TEST(LinkMonitor, NameCutCountsCharacters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"Zwanzig-Zeichen-Name", "Zwanzig-Zeichen-Name"},
        {"Einundzwanzig-Zeichen", "Einundzwanzig-Zei..."},
        {"B\xC3\xBCro-\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC"
         "\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC",
         "B\xC3\xBCro-\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC"
         "\xC3\xBC\xC3\xBC\xC3\xBC..."},
        {"Zwanzig-Zeichen-N\xC3\xA4me", "Zwanzig-Zeichen-N\xC3\xA4me"},
    };
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(LinkMonitor::CutName(name), shown) << name;
}

TEST(LinkMonitor, ClearStatusEmptiesAllButTheProfileName)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -45)}));
    rig.world.work.ActiveProfileName = "Default";
    rig.Join("Cafe");
    rig.monitor.StartMonitor();
    rig.world.clock.Advance(5000);
    rig.LinkInfo();
    rig.monitor.RefreshSignal();
    rig.monitor.RefreshThroughput();
    rig.monitor.ClearStatus();
    for (const char* id :
         {"TextNetworkName", "TextstationAPMac", "TextNetworkType", "TextTransRate", "TextSecurity",
          "TextChannel", "TextTransmitRate", "TextReceiveRate", "TextAuthentication",
          "TextNetworkMode", "TextTotalTrans", "TextTotalReceive", "TextLinkQual"})
        EXPECT_EQ(rig.Text(id), "") << id;
    EXPECT_EQ(rig.LitBars("ImageSignStr") + rig.LitBars("ImageLinkQual"), 0);
    EXPECT_EQ(rig.Text("ImageLinkQual10"), kDark);
    EXPECT_EQ(rig.Text("TextProfileName"), "Default");
}

// --- throughput tick ---

TEST(LinkMonitor, ThroughputText)
{
    struct Case {
        std::uint32_t bytes, elapsed;
        const char* text;
    };
    const Case cases[] = {
        {100000, 5000, "163 kbps"},    {0, 5000, "0 kbps"},
        {12499, 1, "102391 kbps"},     {12600, 1, "0 kbps"}, // above 100 by the formula
        {0xFFFFF000u, 5000, "0 kbps"}, {0, 0, "0 kbps"},     // nothing over no time
        {5000, 0, "0 kbps"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinkMonitor::ThroughputText(c.bytes, c.elapsed), c.text)
            << c.bytes << "/" << c.elapsed;
}

TEST(LinkMonitor, ThroughputOverTheBaseline)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -45)},
                         {{"txBytesPerSecond", 20000}, {"rxBytesPerSecond", 60000}}));
    rig.Join("Cafe");
    rig.world.clock.Advance(3000); // traffic before the baseline does not count
    rig.monitor.StartMonitor();
    rig.world.clock.Advance(5000);
    rig.monitor.RefreshThroughput();
    EXPECT_EQ(rig.Text("TextTransmitRate"), "163 kbps");
    EXPECT_EQ(rig.Text("TextReceiveRate"), "491 kbps");
    EXPECT_EQ(rig.timers.Period(7), 5000u);

    // A second tick at the same moment measures no time.
    rig.monitor.RefreshThroughput();
    EXPECT_EQ(rig.Text("TextTransmitRate"), "0 kbps");
    EXPECT_EQ(rig.Text("TextReceiveRate"), "0 kbps");
}

// Unplugged, the statistics read fails and both texts empty; plugged back in, the
// counters restart below the last reading, and the wrapped difference shows 0.
TEST(LinkMonitor, ThroughputAcrossAFailedReadAndACounterRestart)
{
    MonitorRig rig(Radio({Network("Cafe", "0A:00:00:00:00:01", -45)},
                         {{"txBytesPerSecond", 20000}, {"rxBytesPerSecond", 20000}}));
    rig.Join("Cafe");
    rig.world.clock.Advance(10000);
    rig.monitor.StartMonitor();
    rig.Plug(false);
    rig.world.clock.Advance(5000);
    rig.monitor.RefreshThroughput();
    EXPECT_EQ(rig.Text("TextTransmitRate"), "");
    EXPECT_EQ(rig.Text("TextReceiveRate"), "");

    rig.Plug(true);
    rig.world.clock.Advance(5000);
    rig.monitor.RefreshThroughput();
    EXPECT_EQ(rig.Text("TextTransmitRate"), "0 kbps");
    EXPECT_EQ(rig.Text("TextReceiveRate"), "0 kbps");
    EXPECT_EQ(rig.timers.Period(7), 5000u);
}

} // namespace
} // namespace kesto
