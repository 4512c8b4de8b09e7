// Putting the access point's settings into the real simulated adapter: the calls in
// their order with the mode stored before the first, which key is written, and the
// records read back in range.
#include "ap/ApApply.h"
#include "profiles/ProfileList.h"
#include "tests/support/ParamName.h"
#include "tests/support/SimulatedWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kesto {
namespace {

using test::Signatures;
using test::SimulatedWorld;

const std::string kZeroBlock(224, '0');

class ApApplyTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(world.StartWithShippedIni());
        world.api.SetWL_OperationMode_STA_AP(1);
        world.library.clearCalls();
    }
    std::vector<std::string> Apply(const ApSettings& settings, const FilterList& filter = {})
    {
        ApplyApSettings(world.api, world.store, settings, filter);
        return Signatures(world.library.calls());
    }

    SimulatedWorld world;
};

TEST_F(ApApplyTest, StoresTheModeThenSetsTheAdapterInOrder)
{
    std::string modeAtFirstCall = "unset";
    world.library.setCallObserver([&](const qvwlan::Call&) {
        if (modeAtFirstCall == "unset")
            modeAtFirstCall = world.store.ReadText(ProductValuePath("Mode"));
    });
    ApSettings settings;
    settings.SSID = "Buero AP";
    settings.HideSSID = 1;
    settings.Channel = 11;
    settings.OutputPower = 2;
    settings.WEP = settings.KeyLength = 1;
    settings.AuthenType = 1;
    settings.KeyInUse = 2;
    settings.NetworkKey2 = "1122334455";
    FilterList filter;
    filter.FilterType = 2;
    filter.FilterAddress[1] = "0A:11:22:33:44:04";

    EXPECT_EQ(Apply(settings, filter),
              (std::vector<std::string>{
                  "SetWL_AuthenticationMode(1)", "SetWL_Channel(11)", "SetWL_WEPStatus(0)",
                  "SetWL_WriteKey(1, 0, 1, 1122334455)", "SetWL_SSID(Buero AP)",
                  "SetWLAP_HideSSIDState(1)",
                  "SetWLAP_FilterList(00000000000000010A1122334404" + std::string(196, '0') + ")",
                  "SetWLAP_FilterMode(2)", "SetWL_BasicRate(1)", "SetWLAP_TxPowerLevel(2)",
                  "SetWL_PreambleMode(0)", "SetWL_FragmentationThreshold(2346)",
                  "SetWL_RTS_CTS_Threshold(2347)", "SetWL_MultiDomainCapability(0)"}));
    EXPECT_EQ(modeAtFirstCall, "AP Mode");
    EXPECT_EQ(world.library.adapterSettings("0007")->filterMode, 2);
}

struct KeyCase {
    const char* name;
    int keyLength;
    int keyInUse;
    std::string key; // in the slot KeyInUse names (slot 1 when that is out of range)
    std::vector<std::string> wepCalls;
};

class ApApplyKey : public ApApplyTest, public testing::WithParamInterface<KeyCase> {};

// Only the WEP status and the key in use, between the channel and the name.
TEST_P(ApApplyKey, WritesOnlyAKeyOfAnAcceptedForm)
{
    const KeyCase& c = GetParam();
    ApSettings settings;
    settings.KeyLength = settings.WEP = c.keyLength;
    settings.KeyInUse = c.keyInUse;
    const int slot = c.keyInUse >= 1 && c.keyInUse <= 4 ? c.keyInUse - 1 : 0;
    ApKey(settings, slot) = c.key;
    // Other slots hold keys that must never be written.
    for (int i = 0; i < 4; ++i)
        if (i != slot)
            ApKey(settings, i) = "9988776655";

    const std::vector<std::string> calls = Apply(settings);
    ASSERT_GE(calls.size(), 4u);
    const auto first = calls.begin() + 2;
    const auto end = std::find(calls.begin(), calls.end(), "SetWL_SSID(WLAN_AP)");
    EXPECT_EQ(std::vector<std::string>(first, end), c.wepCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ApApplyKey,
    testing::Values(
        KeyCase{"WepOffWritesNoKey", 0, 1, "1A2B3C4D5E", {"SetWL_WEPStatus(1)"}},
        KeyCase{"Hex128Key3",
                2,
                3,
                "0123456789ABCDEF0123456789",
                {"SetWL_WEPStatus(0)", "SetWL_WriteKey(2, 1, 1, 0123456789ABCDEF0123456789)"}},
        KeyCase{"Characters64",
                1,
                1,
                "abcde",
                {"SetWL_WEPStatus(0)", "SetWL_WriteKey(0, 0, 1, 6162636465)"}},
        KeyCase{"Characters128AllHexDigits",
                2,
                4,
                "0123456789abc",
                {"SetWL_WEPStatus(0)", "SetWL_WriteKey(3, 1, 1, 30313233343536373839616263)"}},
        KeyCase{"BlanksTrimmedForTheAdapter",
                1,
                2,
                " 1a2b3c4d5e ",
                {"SetWL_WEPStatus(0)", "SetWL_WriteKey(1, 0, 1, 1A2B3C4D5E)"}},
        KeyCase{"WrongLengthNotWritten", 1, 1, "1234567", {"SetWL_WEPStatus(0)"}},
        KeyCase{"KeyInUseOutOfRange", 1, 0, "1A2B3C4D5E", {"SetWL_WEPStatus(0)"}}),
    test::ParamName());

TEST(ApRecordsInRange, OutOfRangeNumbersTakeTheFreshDefaults)
{
    ApSettings stored;
    stored.SSID = "Kept";
    stored.HideSSID = 255;
    stored.Channel = 0;
    stored.OutputPower = 4;
    stored.WEP = -1;
    stored.AuthenType = 3;
    stored.KeyInUse = 255;
    stored.KeyLength = 255;
    stored.NetworkKey3 = "kept";
    ApSettings expected;
    expected.SSID = "Kept";
    expected.NetworkKey3 = "kept";
    EXPECT_EQ(ApSettingsInRange(stored), expected);

    ApSettings edges;
    edges.Channel = 13;
    edges.KeyInUse = 4;
    edges.WEP = edges.KeyLength = 3;
    edges.AuthenType = 2;
    edges.OutputPower = 3;
    edges.HideSSID = 1;
    EXPECT_EQ(ApSettingsInRange(edges), edges);

    FilterList list;
    list.FilterType = 255;
    list.FilterAddress[0] = "0";
    EXPECT_EQ(FilterListInRange(list).FilterType, 0);
    EXPECT_EQ(FilterListInRange(list).FilterAddress[0], "0") << "texts are kept as stored";
}

TEST(ApRecordsInRange, AMissingAccessPointKeyReadsAsTheDefaults)
{
    SimulatedWorld world;
    EXPECT_EQ(world.store.ReadApSettings().Channel, 255) << "the store's own reading";
    // A missing name reads empty, which no access point announces: the default's.
    EXPECT_EQ(ReadApSettingsInRange(world.store), ApSettings{});
    EXPECT_EQ(ReadFilterListInRange(world.store), FilterList{});
}

} // namespace
} // namespace kesto
