// The survey records we write, read back by the survey's own reader.
#include "drivers/linuxwlan/SurveyRecordEncoder.h"

#include "station/SurveyRecords.h"
#include "tests/support/ParamName.h"

#include <gtest/gtest.h>

#include <vector>

namespace kesto::linuxwlan {
namespace {

ScanResult Bss(std::uint8_t last, int mhz, int dbm, std::string flags, std::string ssid)
{
    return {{2, 0, 0, 0, last, 0}, mhz, dbm, std::move(flags), std::move(ssid)};
}

std::vector<SurveyEntry> RoundTrip(const std::vector<ScanResult>& bsses)
{
    std::vector<std::uint8_t> buffer(kSurveyBufferSize, 0xEE);
    SurveyRecordEncoder::Write(buffer, bsses);
    return ReadSurveyRecords(buffer);
}

struct SecurityCase {
    std::string_view name;
    std::string flags;
    std::string ssid;
    SurveyEncryption encryption;
    std::int32_t privacy;
};

class SecurityRoundTrip : public testing::TestWithParam<SecurityCase> {};

TEST_P(SecurityRoundTrip, ReaderSeesTheEncryptionTheFlagsName)
{
    const auto entries = RoundTrip({Bss(1, 2437, -47, GetParam().flags, GetParam().ssid)});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].encryption, GetParam().encryption);
    EXPECT_EQ(entries[0].privacy, GetParam().privacy);
    EXPECT_EQ(entries[0].ssid, GetParam().ssid.substr(0, 32));
}

// Names of every length matter: the reader finds the WPA element by the name's length.
INSTANTIATE_TEST_SUITE_P(
    Flags, SecurityRoundTrip,
    testing::Values(
        SecurityCase{"Open", "[ESS]", "Cafe", SurveyEncryption::Open, 0},
        SecurityCase{"OpenWithWps", "[WPS][ESS]", "Cafe", SurveyEncryption::Open, 0},
        SecurityCase{"Wep", "[WEP][ESS]", "Lager", SurveyEncryption::Wep, 1},
        SecurityCase{"WpaPsk", "[WPA-PSK-TKIP][ESS]", "x", SurveyEncryption::WpaPsk, 1},
        SecurityCase{"Wpa2Psk", "[WPA2-PSK-CCMP][ESS]", "Kesto WPA2", SurveyEncryption::WpaPsk, 1},
        SecurityCase{"MixedPskLongName", "[WPA-PSK-CCMP+TKIP][WPA2-PSK-CCMP+TKIP][ESS]",
                     "A name of exactly thirty-two b.!", SurveyEncryption::WpaPsk, 1},
        // SAE alone has a text of its own; beside a pre-shared key it is a WPA-PSK network.
        SecurityCase{"SaeOnly", "[WPA2-SAE-CCMP][ESS]", "Drei", SurveyEncryption::WpaSae, 1},
        SecurityCase{"SaeOnlyFastRoaming", "[WPA2-SAE+FT/SAE-CCMP][SAE-H2E][ESS]",
                     "A name of exactly thirty-two b.!", SurveyEncryption::WpaSae, 1},
        SecurityCase{"SaeBesidePsk", "[WPA2-PSK+SAE-CCMP][ESS]", "Zwei", SurveyEncryption::WpaPsk,
                     1},
        SecurityCase{"SaeBesideWpaPsk", "[WPA-PSK-TKIP][WPA2-SAE-CCMP][ESS]", "Zwei",
                     SurveyEncryption::WpaPsk, 1},
        SecurityCase{"PskSha256", "[WPA2-PSK-SHA256-CCMP][ESS]", "x", SurveyEncryption::WpaPsk, 1},
        SecurityCase{"EapBesideSae", "[WPA2-EAP+SAE-CCMP-preauth][ESS]", "Firma",
                     SurveyEncryption::WpaRadius, 1},
        SecurityCase{"Eap", "[WPA2-EAP-CCMP][ESS]", "Firma", SurveyEncryption::WpaRadius, 1},
        SecurityCase{"EapEmptyName", "[WPA2-EAP-CCMP][ESS]", "", SurveyEncryption::WpaRadius, 1},
        SecurityCase{"EapLongName", "[WPA-EAP-TKIP][ESS]", "Seventeen bytes!!",
                     SurveyEncryption::WpaRadius, 1}),
    test::ParamName{});

TEST(SurveyRoundTrip, ChannelSignalTypeAndAddressReadBack)
{
    const auto entries =
        RoundTrip({Bss(1, 2412, -30, "[ESS]", "Eins"), Bss(2, 2484, -91, "[IBSS]", "Zelle"),
                   Bss(3, 2472, -60, "[WEP][ESS]", "Dreizehn")});
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(ChannelFromFrequency(entries[0].frequencyKhz), 1);
    EXPECT_EQ(ChannelFromFrequency(entries[1].frequencyKhz), 14);
    EXPECT_EQ(ChannelFromFrequency(entries[2].frequencyKhz), 13);
    EXPECT_EQ(entries[0].rssi, -30);
    EXPECT_EQ(entries[1].rssi, -91);
    EXPECT_EQ(entries[0].infrastructureMode, 1);
    EXPECT_EQ(entries[1].infrastructureMode, 0);
    EXPECT_EQ(entries[2].bssid, (std::array<std::uint8_t, 6>{2, 0, 0, 0, 3, 0}));
}

TEST(SurveyRoundTrip, FiveGigahertzNetworksAreListedAndOthersWithoutChannelLeftOut)
{
    const auto entries = RoundTrip(
        {Bss(1, 5180, -30, "[WPA2-PSK-CCMP][ESS]", "Fuenf"), Bss(2, 2437, -50, "[ESS]", "Sechs"),
         Bss(3, 5955, -50, "[ESS]", "Sechs-GHz"), Bss(4, 5885, -60, "[ESS]", "Oben")});
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(ChannelFromFrequency(entries[0].frequencyKhz), 36);
    EXPECT_EQ(entries[0].encryption, SurveyEncryption::WpaPsk);
    EXPECT_EQ(entries[1].ssid, "Sechs");
    EXPECT_EQ(ChannelFromFrequency(entries[2].frequencyKhz), 177);
}

} // namespace
} // namespace kesto::linuxwlan
