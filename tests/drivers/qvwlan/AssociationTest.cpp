// Station mode: where the settings lead (or why not), when the link comes up, and what
// the adapter reports while it is up.
#include "tests/drivers/qvwlan/QvwlanRig.h"

#include <optional>
#include <set>

namespace kesto::test {
namespace {

json JoinWorld()
{
    json s = BaseScenario();
    s["networks"] = {
        Network("Offen", "0A:00:00:00:00:01", 1, -50),
        Network("Offen-Alt", "0A:00:00:00:00:02", 11, -70,
                {{"standard", "802.11b"}, {"shortPreamble", false}}),
        Network("Wep64", "0A:00:00:00:00:03", 6, -45,
                {{"security", "wep"}, {"wepKeys", {{{"index", 0}, {"hex", "1A2B3C4D5E"}}}}}),
        Network("Wep128", "0A:00:00:00:00:04", 3, -60,
                {{"security", "wep"},
                 {"wepKeys", {{{"index", 1}, {"hex", "0123456789ABCDEF0123456789"}}}}}),
        Network("Firma", "0A:00:00:00:00:05", 9, -40, {{"security", "wpa-psk"}}),
        Network("Zelle", "0E:00:00:00:00:06", 10, -58,
                {{"type", "adhoc"}, {"standard", "802.11b"}}),
        Network("Zelle-PS", "0E:00:00:00:00:07", 2, -62, {{"type", "adhoc"}, {"atimWindow", 10}}),
        Network("Versteckt", "0A:00:00:00:00:08", 5, -30, {{"hidden", true}}),
        Network("Kanal14", "0A:00:00:00:00:09", 14, -20),
    };
    return s;
}

struct Key {
    int index;
    const char* hex;
};

struct JoinCase {
    const char* name = "";
    const char* ssid = "";
    int networkType = 1;
    int wepStatus = 1; // 0 on
    int authentication = 0;
    std::optional<Key> key = std::nullopt;
    std::vector<std::uint8_t> rates = {}; // empty: leave the power-on set (all rates)
    int preamble = 2;
    int psMode = 0;
    int status = 0;
    const char* bssid = nullptr; // nullptr: no link to a network of the scenario
};

void PrintTo(const JoinCase& c, std::ostream* os)
{
    *os << c.name;
}

class JoinTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinTest, SettingsDecideWhereTheAdapterAssociates)
{
    const JoinCase& c = GetParam();
    QvwlanRig rig(JoinWorld());
    rig.Open();
    rig.Join(c.ssid, c.networkType);
    ASSERT_EQ(rig.lib.SetWL_AuthenticationMode(rig.ctx, c.authentication), 0);
    ASSERT_EQ(rig.lib.SetWL_WEPStatus(rig.ctx, c.wepStatus), 0);
    if (c.key) {
        ASSERT_EQ(rig.WriteKey(c.key->index, c.key->hex), 0);
    }
    if (!c.rates.empty()) {
        std::array<std::uint8_t, kRateSetSize> set{};
        std::copy(c.rates.begin(), c.rates.end(), set.begin());
        ASSERT_EQ(rig.lib.SetWL_DesiredRate(rig.ctx, set), 0);
    }
    ASSERT_EQ(rig.lib.SetWL_PreambleMode(rig.ctx, c.preamble), 0);
    ASSERT_EQ(rig.lib.SetWL_PSMode(rig.ctx, c.psMode), 0);
    rig.Settle();

    EXPECT_EQ(rig.Status(), c.status);
    const auto bssid = rig.lib.associatedBssid(kProductInstance);
    if (c.bssid) {
        ASSERT_TRUE(bssid);
        EXPECT_EQ(*bssid, Mac(c.bssid));
    } else if (bssid) {
        // A cell of our own: an address of its own, not one of the scenario's.
        EXPECT_EQ(c.status, 4);
        EXPECT_EQ((*bssid)[0] & 0x03, 0x02) << "locally administered, individual";
        EXPECT_NE((*bssid)[0], 0x0A);
        EXPECT_NE((*bssid)[0], 0x0E);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JoinTest,
    testing::Values(
        JoinCase{.name = "OpenByName", .ssid = "Offen", .status = 3, .bssid = "0A:00:00:00:00:01"},
        JoinCase{.name = "OpenRefusesWep",
                 .ssid = "Offen",
                 .wepStatus = 0,
                 .key = Key{0, "1A2B3C4D5E"},
                 .status = 5},
        JoinCase{.name = "OpenRefusesSharedKey", .ssid = "Offen", .authentication = 1, .status = 5},
        JoinCase{.name = "OpenAcceptsAutomaticAuth",
                 .ssid = "Offen",
                 .authentication = 2,
                 .status = 3,
                 .bssid = "0A:00:00:00:00:01"},
        JoinCase{.name = "WepRightKey",
                 .ssid = "Wep64",
                 .wepStatus = 0,
                 .key = Key{0, "1A2B3C4D5E"},
                 .status = 3,
                 .bssid = "0A:00:00:00:00:03"},
        JoinCase{.name = "WepSharedKeyAuth",
                 .ssid = "Wep64",
                 .wepStatus = 0,
                 .authentication = 1,
                 .key = Key{0, "1A2B3C4D5E"},
                 .status = 3,
                 .bssid = "0A:00:00:00:00:03"},
        JoinCase{.name = "WepWrongKey",
                 .ssid = "Wep64",
                 .wepStatus = 0,
                 .key = Key{0, "1A2B3C4D5F"},
                 .status = 5},
        JoinCase{.name = "WepRightBytesWrongIndex",
                 .ssid = "Wep64",
                 .wepStatus = 0,
                 .key = Key{1, "1A2B3C4D5E"},
                 .status = 5},
        JoinCase{
            .name = "WepKeyButWepOff", .ssid = "Wep64", .key = Key{0, "1A2B3C4D5E"}, .status = 5},
        JoinCase{.name = "WepNoKey", .ssid = "Wep64", .wepStatus = 0, .status = 5},
        JoinCase{.name = "Wep128AtIndex1",
                 .ssid = "Wep128",
                 .wepStatus = 0,
                 .key = Key{1, "0123456789ABCDEF0123456789"},
                 .status = 3,
                 .bssid = "0A:00:00:00:00:04"},
        JoinCase{.name = "WpaNever", .ssid = "Firma", .status = 6},
        JoinCase{.name = "WpaNeverWithWep",
                 .ssid = "Firma",
                 .wepStatus = 0,
                 .key = Key{0, "1A2B3C4D5E"},
                 .status = 6},
        JoinCase{.name = "AnyNameStrongestJoinable",
                 .ssid = "",
                 .status = 3,
                 .bssid = "0A:00:00:00:00:01"},
        JoinCase{.name = "AnyNameWithWepKey",
                 .ssid = "",
                 .wepStatus = 0,
                 .key = Key{0, "1A2B3C4D5E"},
                 .status = 3,
                 .bssid = "0A:00:00:00:00:03"},
        JoinCase{.name = "HiddenByExactName",
                 .ssid = "Versteckt",
                 .status = 3,
                 .bssid = "0A:00:00:00:00:08"},
        JoinCase{.name = "UnknownName", .ssid = "Niemand", .status = 1},
        JoinCase{.name = "OutsideRegulatoryChannels", .ssid = "Kanal14", .status = 1},
        JoinCase{.name = "NamesAreCaseSensitive", .ssid = "offen", .status = 1},
        JoinCase{.name = "AdHocJoinsCell",
                 .ssid = "Zelle",
                 .networkType = 0,
                 .status = 4,
                 .bssid = "0E:00:00:00:00:06"},
        JoinCase{.name = "AdHocAnyName",
                 .ssid = "",
                 .networkType = 0,
                 .status = 4,
                 .bssid = "0E:00:00:00:00:06"},
        JoinCase{
            .name = "AdHocNewNameStartsCell", .ssid = "Neue-Zelle", .networkType = 0, .status = 4},
        JoinCase{
            .name = "AdHocIgnoresAccessPoints", .ssid = "Offen", .networkType = 0, .status = 4},
        JoinCase{.name = "InfrastructureIgnoresCells", .ssid = "Zelle", .status = 1},
        JoinCase{.name = "NoCommonRate", .ssid = "Offen-Alt", .rates = {108}, .status = 9},
        JoinCase{.name = "ShortPreambleOnly", .ssid = "Offen-Alt", .preamble = 1, .status = 9},
        JoinCase{.name = "LongPreamble",
                 .ssid = "Offen-Alt",
                 .preamble = 0,
                 .status = 3,
                 .bssid = "0A:00:00:00:00:02"},
        JoinCase{.name = "PowerSavingWithoutAtim",
                 .ssid = "Zelle",
                 .networkType = 0,
                 .psMode = 1,
                 .status = 9},
        JoinCase{.name = "PowerSavingWithAtim",
                 .ssid = "Zelle-PS",
                 .networkType = 0,
                 .psMode = 1,
                 .status = 4,
                 .bssid = "0E:00:00:00:00:07"}),
    [](const testing::TestParamInfo<JoinCase>& p) { return std::string(p.param.name); });

// --- timing ---

// The first tick after the last setter at which the link is up.
std::uint32_t LinkUpAfter(QvwlanRig& rig)
{
    for (std::uint32_t waited = 0; waited <= 3000; waited += 10) {
        if (rig.Status() == 3)
            return waited;
        EXPECT_EQ(rig.Status(), 2) << "associating until the link is up";
        rig.clock.Advance(10);
    }
    return 0xFFFFFFFF;
}

TEST(Association, TakesAMomentAfterTheLastSetter)
{
    QvwlanRig rig(JoinWorld());
    rig.Open();
    rig.Join("Offen");
    const std::uint32_t first = LinkUpAfter(rig);
    EXPECT_GE(first, qvwlan::SimulatedAdapter::kMinAssociationMs);
    EXPECT_LE(first, qvwlan::SimulatedAdapter::kMaxAssociationMs);
    EXPECT_EQ(rig.lib.QueryWL_CurrentLinkSpeed(rig.ctx), 54000);

    // Any setter that decides the association drops the link and starts over.
    rig.clock.Advance(5000);
    ASSERT_EQ(rig.lib.SetWL_PSMode(rig.ctx, 0), 0);
    EXPECT_EQ(rig.Status(), 2);
    EXPECT_EQ(rig.lib.QueryWL_CurrentLinkSpeed(rig.ctx), 0);
    rig.clock.Advance(qvwlan::SimulatedAdapter::kMinAssociationMs - 1);
    ASSERT_EQ(rig.lib.SetWL_SSID(rig.ctx, std::span<const char>("Offen", 5)), 0);
    rig.clock.Advance(qvwlan::SimulatedAdapter::kMinAssociationMs - 1);
    EXPECT_EQ(rig.Status(), 2) << "counted from the last setter, not the first";
    rig.Settle();
    EXPECT_EQ(rig.Status(), 3);

    // Setters that do not decide where to associate leave the link alone.
    ASSERT_EQ(rig.lib.SetWL_FragmentationThreshold(rig.ctx, 2346), 0);
    ASSERT_EQ(rig.lib.SetWL_RTS_CTS_Threshold(rig.ctx, 2347), 0);
    EXPECT_EQ(rig.Status(), 3);
}

TEST(Association, DelayIsDeterministicPerSeed)
{
    auto delay = [](std::uint64_t seed) {
        QvwlanRig rig(JoinWorld(), seed);
        rig.Open();
        rig.Join("Offen");
        return LinkUpAfter(rig);
    };
    EXPECT_EQ(delay(7), delay(7));
    std::set<std::uint32_t> delays;
    for (std::uint64_t seed = 1; seed <= 8; ++seed)
        delays.insert(delay(seed));
    EXPECT_GT(delays.size(), 1u) << "the seed varies the delay";
}

TEST(Association, LinkDropsWhenTheNetworkLeaves)
{
    QvwlanRig rig(JoinWorld());
    rig.Open();
    rig.Join("");
    rig.Settle();
    ASSERT_EQ(rig.lib.associatedBssid(kProductInstance), Mac("0A:00:00:00:00:01"));

    // A stronger open network appearing does not pull the adapter away.
    json s = JoinWorld();
    s["networks"].push_back(Network("Neu", "0A:00:00:00:00:10", 4, -20));
    rig.Rewrite(s);
    rig.Settle();
    EXPECT_EQ(rig.lib.associatedBssid(kProductInstance), Mac("0A:00:00:00:00:01"));

    // Its network gone, it associates anew with the strongest joinable one.
    s["networks"].erase(0);
    rig.Rewrite(s);
    EXPECT_EQ(rig.Status(), 2);
    rig.Settle();
    EXPECT_EQ(rig.lib.associatedBssid(kProductInstance), Mac("0A:00:00:00:00:10"));
}

// --- what the adapter reports ---

struct RateCase {
    const char* name;
    std::vector<std::uint8_t> rates;
    const char* ssid;
    int kbps;
};

class LinkSpeedTest : public testing::TestWithParam<RateCase> {};

TEST_P(LinkSpeedTest, BestRateBothSidesAllow)
{
    const RateCase& c = GetParam();
    QvwlanRig rig(JoinWorld());
    rig.Open();
    std::array<std::uint8_t, kRateSetSize> set{};
    std::copy(c.rates.begin(), c.rates.end(), set.begin());
    ASSERT_EQ(rig.lib.SetWL_DesiredRate(rig.ctx, set), 0);
    rig.Join(c.ssid);
    rig.Settle();
    EXPECT_EQ(rig.lib.QueryWL_CurrentLinkSpeed(rig.ctx), c.kbps);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, LinkSpeedTest,
    testing::Values(
        RateCase{"AllRatesG", {2, 4, 11, 12, 18, 22, 24, 36, 48, 72, 96, 108}, "Offen", 54000},
        RateCase{"AllRatesB", {2, 4, 11, 12, 18, 22, 24, 36, 48, 72, 96, 108}, "Offen-Alt", 11000},
        RateCase{"FivePointFive", {11}, "Offen", 5500},
        RateCase{"BasicBitIgnored", {0x82, 0x84}, "Offen-Alt", 2000},
        RateCase{"OfdmOnlyAgainstB", {108, 96}, "Offen-Alt", 0}),
    [](const testing::TestParamInfo<RateCase>& p) { return std::string(p.param.name); });

TEST(Association, ReportsTheJoinedNetworkOrTheWantedName)
{
    QvwlanRig rig(JoinWorld());
    rig.Open();
    std::array<char, 32> name{};
    std::array<std::uint8_t, 6> bssid{};

    // Nothing wanted yet, nothing joined: "any network", no BSSID, the channel set.
    ASSERT_EQ(rig.lib.SetWL_WEPStatus(rig.ctx, 0), 0); // nothing open is joinable now
    name.fill('#');
    EXPECT_EQ(rig.lib.QueryWL_SSID(rig.ctx, name), 32);
    EXPECT_EQ(name, (std::array<char, 32>{}));
    EXPECT_EQ(rig.lib.QueryWL_BSSID(rig.ctx, bssid), -1);
    EXPECT_EQ(rig.lib.QueryWL_Channel(rig.ctx), 6);
    EXPECT_EQ(rig.lib.QueryWL_RSSI(rig.ctx), -105);

    // Joined through the empty name: the network's own name, address and channel.
    ASSERT_EQ(rig.lib.SetWL_WEPStatus(rig.ctx, 1), 0);
    rig.Settle();
    ASSERT_EQ(rig.lib.QueryWL_SSID(rig.ctx, name), 5);
    EXPECT_EQ(std::string(name.data(), 5), "Offen");
    EXPECT_EQ(rig.lib.QueryWL_BSSID(rig.ctx, bssid), 0);
    EXPECT_EQ(bssid, Mac("0A:00:00:00:00:01"));
    EXPECT_EQ(rig.lib.QueryWL_Channel(rig.ctx), 1);
    EXPECT_EQ(rig.lib.QueryWL_RSSI(rig.ctx), -50);

    // Refused by name: the wanted name, but no address.
    rig.Join("Wep64");
    rig.Settle();
    EXPECT_EQ(rig.lib.QueryWL_SSID(rig.ctx, name), 5);
    EXPECT_EQ(std::string(name.data(), 5), "Wep64");
    EXPECT_EQ(rig.lib.QueryWL_BSSID(rig.ctx, bssid), -1);

    // Short buffers fail untouched.
    std::array<char, 31> shortName{};
    shortName.fill('#');
    EXPECT_EQ(rig.lib.QueryWL_SSID(rig.ctx, shortName), -1);
    EXPECT_EQ(shortName[0], '#');
    std::array<std::uint8_t, 5> shortMac{};
    EXPECT_EQ(rig.lib.GetNICAdapterMAC(rig.ctx, shortMac), -1);
}

TEST(Association, SecuritySettingsReadBack)
{
    QvwlanRig rig(JoinWorld());
    rig.Open();
    EXPECT_EQ(rig.lib.QueryWL_WEPbit(rig.ctx), 0);
    ASSERT_EQ(rig.WriteKey(0, "1A2B3C4D5E"), 0);
    ASSERT_EQ(rig.WriteKey(2, "0123456789ABCDEF0123456789", 0), 0);
    EXPECT_EQ(rig.lib.QueryWL_WEPbit(rig.ctx), 0) << "key 3 was stored, key 1 stays in use";
    ASSERT_EQ(rig.WriteKey(2, "0123456789ABCDEF0123456789"), 0);
    EXPECT_EQ(rig.lib.QueryWL_WEPbit(rig.ctx), 1);

    // Trailing zero bytes beyond the key are not part of it.
    std::vector<std::uint8_t> padded = Bytes("1A2B3C4D5E0000000000");
    ASSERT_EQ(rig.lib.SetWL_WriteKey(rig.ctx, 0, 0, 1, padded), 0);
    const auto* held = rig.lib.adapterSettings(kProductInstance);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->keys[0].bytes, Bytes("1A2B3C4D5E"));
    EXPECT_EQ(held->transmitKeyIndex, 0);

    // Refusals leave the held key as it was.
    EXPECT_EQ(rig.lib.SetWL_WriteKey(rig.ctx, 4, 0, 1, padded), -1);
    EXPECT_EQ(rig.lib.SetWL_WriteKey(rig.ctx, 0, 3, 1, padded), -1);
    EXPECT_EQ(rig.lib.SetWL_WriteKey(rig.ctx, 0, 1, 1, Bytes("1A2B3C4D5E")), -1)
        << "13 bytes needed";
    EXPECT_EQ(held->keys[0].bytes, Bytes("1A2B3C4D5E"));

    // An adapter that carries keys of up to 128 bits refuses a 256-bit one only.
    json narrow = JoinWorld();
    narrow["adapters"][0]["maxWepKeyBits"] = 128;
    rig.Rewrite(narrow);
    const std::vector<std::uint8_t> key256(29, 0x5A);
    EXPECT_EQ(rig.lib.SetWL_WriteKey(rig.ctx, 1, 2, 1, key256), -1);
    EXPECT_EQ(rig.WriteKey(1, "0123456789ABCDEF0123456789"), 0);
    EXPECT_EQ(rig.lib.adapterSettings(kProductInstance)->keys[1].bytes,
              Bytes("0123456789ABCDEF0123456789"));
}

TEST(Association, SignalJitterIsBoundedAndQualityFollowsIt)
{
    json s = JoinWorld();
    s["rssiJitter"] = 3;
    QvwlanRig rig(s);
    rig.Open();
    rig.Join("Offen");
    rig.Settle();
    std::set<int> seen;
    for (int i = 0; i < 50; ++i) {
        const int rssi = rig.lib.QueryWL_RSSI(rig.ctx);
        EXPECT_EQ(rig.lib.QueryWL_RSSI(rig.ctx), rssi) << "one reading per window";
        EXPECT_GE(rssi, -53);
        EXPECT_LE(rssi, -47);
        const int q = rig.lib.QueryWL_CommQuality(rig.ctx);
        EXPECT_EQ(q, 10 + (-35 - rssi) * 70 / 55) << "quality from the same reading";
        seen.insert(rssi);
        rig.clock.Advance(1000);
    }
    EXPECT_GT(seen.size(), 1u);
}

TEST(Association, QualityRangeMatchesTheCalibration)
{
    struct Level {
        int rssi;
        int quality;
    };
    for (const Level level :
         {Level{-20, 10}, Level{-35, 10}, Level{-62, 44}, Level{-90, 80}, Level{-100, 80}}) {
        json s = BaseScenario();
        s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, level.rssi)};
        QvwlanRig rig(s);
        rig.Open();
        rig.Join("Offen");
        rig.Settle();
        EXPECT_EQ(rig.lib.QueryWL_CommQuality(rig.ctx), level.quality) << level.rssi << " dBm";
    }
}

} // namespace
} // namespace kesto::test
