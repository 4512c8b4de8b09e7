// The reply parsers on replies recorded from the daemons, and on cut and broken ones.
#include "drivers/linuxwlan/ControlReplies.h"

#include "tests/support/ParamName.h"

#include <gtest/gtest.h>

namespace kesto::linuxwlan {
namespace {

// wpa_supplicant 2.10, three networks in range of a simulated radio.
constexpr std::string_view kScanResults =
    "bssid / frequency / signal level / flags / ssid\n"
    "02:00:00:00:01:00\t2412\t-30\t[WPA2-PSK-CCMP][ESS]\tKesto WPA2\n"
    "02:00:00:00:02:00\t2437\t-61\t[WEP][ESS]\tcaf\\xc3\\xa9 \\\"Eck\\\"\n"
    "02:00:00:00:03:00\t5180\t-70\t[ESS]\t\n"
    "02:00:00:00:04:00\t2462\t-85\t[IBSS]\ttab\\there\n";

TEST(ScanResults, RecordedReplyGivesEveryNetworkWithNamesUnescaped)
{
    const auto results = ParseScanResults(kScanResults);
    ASSERT_TRUE(results);
    ASSERT_EQ(results->size(), 4u);
    EXPECT_EQ((*results)[0],
              (ScanResult{{2, 0, 0, 0, 1, 0}, 2412, -30, "[WPA2-PSK-CCMP][ESS]", "Kesto WPA2"}));
    EXPECT_EQ((*results)[1].ssid, "caf\xc3\xa9 \"Eck\"");
    EXPECT_EQ((*results)[2].ssid, "");
    EXPECT_EQ((*results)[2].frequencyMhz, 5180);
    EXPECT_EQ((*results)[3].ssid, "tab\there");
}

struct BrokenScan {
    std::string_view name;
    std::string_view reply;
    std::size_t kept; // networks that still read; SIZE_MAX: the reply is refused
};

class ScanResultsBroken : public testing::TestWithParam<BrokenScan> {};

TEST_P(ScanResultsBroken, KeepsOnlyWholeLines)
{
    const auto results = ParseScanResults(GetParam().reply);
    if (GetParam().kept == SIZE_MAX) {
        EXPECT_FALSE(results);
        return;
    }
    ASSERT_TRUE(results);
    EXPECT_EQ(results->size(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ScanResultsBroken,
    testing::Values(
        BrokenScan{"Empty", "", SIZE_MAX}, BrokenScan{"Fail", "FAIL\n", SIZE_MAX},
        BrokenScan{"HeaderOnly", "bssid / frequency / signal level / flags / ssid\n", 0},
        BrokenScan{"CutInsideAddress", "bssid / frequency / signal level / flags / ssid\n02:00:0",
                   0},
        BrokenScan{"CutBeforeName",
                   "bssid / frequency / signal level / flags / ssid\n02:00:00:00:01:00\t2412\t-30",
                   0},
        BrokenScan{"CutInsideEscape",
                   "bssid / frequency / signal level / flags / ssid\n"
                   "02:00:00:00:01:00\t2412\t-30\t[ESS]\tab\\x4",
                   0},
        BrokenScan{"UnknownEscape",
                   "bssid / frequency / signal level / flags / ssid\n"
                   "02:00:00:00:01:00\t2412\t-30\t[ESS]\ta\\qb\n",
                   0},
        BrokenScan{"NameLongerThan32",
                   "bssid / frequency / signal level / flags / ssid\n"
                   "02:00:00:00:01:00\t2412\t-30\t[ESS]\t0123456789abcdef0123456789abcdefX\n",
                   0},
        BrokenScan{"FrequencyNotANumber",
                   "bssid / frequency / signal level / flags / ssid\n"
                   "02:00:00:00:01:00\t24x2\t-30\t[ESS]\tA\n"
                   "02:00:00:00:02:00\t2412\t-30\t[ESS]\tB\n",
                   1},
        BrokenScan{"BadAddressAmongGood",
                   "bssid / frequency / signal level / flags / ssid\n"
                   "02:00:00:00:01\t2412\t-30\t[ESS]\tA\n"
                   "zz:00:00:00:01:00\t2412\t-30\t[ESS]\tA\n"
                   "02:00:00:00:02:00\t2412\t-40\t[ESS]\tB\r\n",
                   1},
        BrokenScan{"SignalOutOfIntRange",
                   "bssid / frequency / signal level / flags / ssid\n"
                   "02:00:00:00:01:00\t2412\t-99999999999\t[ESS]\tA\n",
                   0}),
    test::ParamName{});

TEST(KeyValues, StatusReplyReadsEveryKeyAndSkipsJunk)
{
    const auto values = ParseKeyValues("bssid=02:00:00:00:01:00\nfreq=2412\nssid=Kesto "
                                       "WPA2\nid=0\nmode=station\nkey_mgmt=WPA2-PSK\n"
                                       "wpa_state=COMPLETED\nno equals here\n=orphan\n"
                                       "address=02:00:00:00:00:00\nuuid=a=b");
    EXPECT_EQ(values.at("wpa_state"), "COMPLETED");
    EXPECT_EQ(values.at("ssid"), "Kesto WPA2");
    EXPECT_EQ(values.at("uuid"), "a=b");
    EXPECT_EQ(values.count(""), 0u);
    EXPECT_EQ(values.size(), 9u);
}

TEST(KeyValues, CutReplyKeepsTheWholeLinesAndTheCutValue)
{
    // A cut value reads as what arrived; callers parse numbers with ParseInt, which
    // refuses a cut "-3" only when it is no number at all.
    const auto values = ParseKeyValues("RSSI=-42\nLINKSPEED=5");
    EXPECT_EQ(values.at("RSSI"), "-42");
    EXPECT_EQ(values.at("LINKSPEED"), "5");
}

struct IntCase {
    std::string_view name;
    std::string_view text;
    std::optional<int> value;
};
class Ints : public testing::TestWithParam<IntCase> {};
TEST_P(Ints, WholeNumbersOnly)
{
    EXPECT_EQ(ParseInt(GetParam().text), GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(
    Texts, Ints,
    testing::Values(IntCase{"Plain", "2412", 2412}, IntCase{"Negative", "-105", -105},
                    IntCase{"Empty", "", std::nullopt}, IntCase{"Trailing", "12ab", std::nullopt},
                    IntCase{"LineEnd", "12\n", std::nullopt}, IntCase{"Plus", "+3", std::nullopt},
                    IntCase{"Huge", "99999999999", std::nullopt}),
    test::ParamName{});

TEST(Mac, ReadsBothCasesAndWritesLowerCase)
{
    const auto mac = ParseMac("02:AB:cd:00:ff:10");
    ASSERT_TRUE(mac);
    EXPECT_EQ(MacText(*mac), "02:ab:cd:00:ff:10");
    EXPECT_FALSE(ParseMac("02:ab:cd:00:ff:1"));
    EXPECT_FALSE(ParseMac("02-ab-cd-00-ff-10"));
    EXPECT_FALSE(ParseMac("02:ab:cd:00:ff:10:"));
}

TEST(Names, HexTextCarriesEveryByte)
{
    EXPECT_EQ(HexText(std::string_view("a\0\xff\"", 4)), "6100ff22");
}

TEST(NetworkId, OnlyANonNegativeNumber)
{
    EXPECT_EQ(ParseNetworkId("3\n"), 3);
    EXPECT_EQ(ParseNetworkId("0"), 0);
    EXPECT_FALSE(ParseNetworkId("FAIL\n"));
    EXPECT_FALSE(ParseNetworkId("-1\n"));
    EXPECT_FALSE(ParseNetworkId(""));
}

TEST(Channels, TakesTheGLineElseTheBLine)
{
    EXPECT_EQ(ParseChannels("Mode[B] Channels: 1 2 3\nMode[G] Channels: 1 2 3 4 5 6 7 8 9 10 11 "
                            "12 13\nMode[A] Channels: 36 40 44 48\n"),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(ParseChannels("Mode[B] Channels: 1 2 14\n"), (std::vector<int>{1, 2, 14}));
    // Tokens that are no 2.4 GHz channel are left out.
    EXPECT_EQ(ParseChannels("Mode[G] Channels: 1 2 x 36 -1"), (std::vector<int>{1, 2}));
    EXPECT_TRUE(ParseChannels("FAIL\n").empty());
    EXPECT_TRUE(ParseChannels("").empty());
}

TEST(Stations, FirstLineIsTheAddress)
{
    const auto station = ParseStationAddress("02:00:00:00:02:00\nflags=[AUTH][ASSOC][AUTHORIZED]\n"
                                             "aid=1\nrx_packets=12\n");
    ASSERT_TRUE(station);
    EXPECT_EQ(MacText(*station), "02:00:00:00:02:00");
    EXPECT_FALSE(ParseStationAddress(""));
    EXPECT_FALSE(ParseStationAddress("FAIL\n"));
    EXPECT_FALSE(ParseStationAddress("02:00:00:00:0"));
}

TEST(ListNetworks, FlagsOfOneNetwork)
{
    constexpr std::string_view reply = "network id / ssid / bssid / flags\n"
                                       "0\thome\tany\t[DISABLED]\n"
                                       "4\tKesto WPA2\tany\t[TEMP-DISABLED]\n"
                                       "5\tcut";
    EXPECT_EQ(NetworkFlags(reply, 4), "[TEMP-DISABLED]");
    EXPECT_EQ(NetworkFlags(reply, 0), "[DISABLED]");
    EXPECT_FALSE(NetworkFlags(reply, 5));
    EXPECT_FALSE(NetworkFlags(reply, 7));
    EXPECT_EQ(ParseNetworkList(reply),
              (std::vector<NetworkEntry>{{0, "home", "[DISABLED]"},
                                         {4, "Kesto WPA2", "[TEMP-DISABLED]"}}));
    // What ADD_NETWORK makes: no name yet, disabled.
    EXPECT_EQ(ParseNetworkList("network id / ssid / bssid / flags\n3\t\tany\t[DISABLED]"),
              (std::vector<NetworkEntry>{{3, "", "[DISABLED]"}}));
    EXPECT_FALSE(ParseNetworkList("FAIL\n"));
    EXPECT_FALSE(NetworkFlags("0\thome\tany\t[CURRENT]\n", 0)); // no header
}

struct FrequencyCase {
    std::string_view name;
    int mhz;
    int channel;
};
class Frequencies : public testing::TestWithParam<FrequencyCase> {};
TEST_P(Frequencies, GiveTheBandsChannelNumbers)
{
    EXPECT_EQ(ChannelOfFrequency(GetParam().mhz), GetParam().channel);
    // Only 2.4 GHz channels go the other way: the adapter's settings take no others.
    const int channel = GetParam().channel;
    EXPECT_EQ(FrequencyOfChannel(channel), channel >= 1 && channel <= 14 ? GetParam().mhz : 0);
}
INSTANTIATE_TEST_SUITE_P(
    Bands, Frequencies,
    testing::Values(FrequencyCase{"First", 2412, 1}, FrequencyCase{"Thirteen", 2472, 13},
                    FrequencyCase{"Fourteen", 2484, 14}, FrequencyCase{"OffTheGrid", 2413, 0},
                    FrequencyCase{"BetweenThirteenAndFourteen", 2477, 0},
                    FrequencyCase{"FiveGigahertzFirst", 5180, 36},
                    FrequencyCase{"FiveGigahertzLast", 5885, 177},
                    FrequencyCase{"BelowThirtySix", 5175, 0}, FrequencyCase{"AboveLast", 5890, 0},
                    FrequencyCase{"FiveGigahertzOffTheGrid", 5182, 0},
                    FrequencyCase{"SixGigahertz", 5955, 0}, FrequencyCase{"Zero", 0, 0},
                    FrequencyCase{"Negative", -2412, 0}),
    test::ParamName{});

// wpa_supplicant 2.10's BSS reply with the library's mask.
constexpr std::string_view kBssEntry = "id=17\nbssid=02:00:00:00:01:00\nfreq=5180\nlevel=-30\n"
                                       "flags=[WPA2-PSK-CCMP][ESS]\nssid=caf\\xc3\\xa9\n";

struct BssCase {
    std::string_view name;
    std::string reply;
    std::optional<int> id;
    bool network; // every field read
};
class BssReplies : public testing::TestWithParam<BssCase> {};
TEST_P(BssReplies, IdLeadsOnAndTheNetworkOnlyWhenWhole)
{
    const auto entry = ParseBss(GetParam().reply);
    ASSERT_EQ(entry.has_value(), GetParam().id.has_value());
    if (!entry)
        return;
    EXPECT_EQ(entry->id, *GetParam().id);
    EXPECT_EQ(entry->bss.has_value(), GetParam().network);
}
INSTANTIATE_TEST_SUITE_P(
    Replies, BssReplies,
    testing::Values(
        BssCase{"Whole", std::string(kBssEntry), 17, true},
        BssCase{"AfterTheLast", "", std::nullopt, false},
        BssCase{"Refused", "FAIL\n", std::nullopt, false},
        BssCase{"NegativeId", "id=-1\nbssid=02:00:00:00:01:00\n", std::nullopt, false},
        BssCase{"BadAddress", "id=3\nbssid=02:00\nfreq=2412\nlevel=-3\nflags=\nssid=x\n", 3, false},
        BssCase{"NoFlags", "id=3\nbssid=02:00:00:00:01:00\nfreq=2412\nlevel=-3\nssid=x\n", 3,
                false},
        BssCase{"CutEscape",
                "id=3\nbssid=02:00:00:00:01:00\nfreq=2412\nlevel=-3\nflags=\nssid=a\\x4\n", 3,
                false},
        BssCase{"EmptyName", "id=4\nbssid=02:00:00:00:01:00\nfreq=2412\nlevel=-3\nflags=\nssid=\n",
                4, true}),
    test::ParamName{});

TEST(BssReplies, WholeEntryReadsLikeAScanResult)
{
    EXPECT_EQ(ParseBss(kBssEntry)->bss,
              (ScanResult{{2, 0, 0, 0, 1, 0}, 5180, -30, "[WPA2-PSK-CCMP][ESS]", "caf\xc3\xa9"}));
}

} // namespace
} // namespace kesto::linuxwlan
