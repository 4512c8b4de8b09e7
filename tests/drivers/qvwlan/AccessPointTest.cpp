// Access-point mode: which scenario stations associate under each filter mode and WEP
// setting, and the 112-byte station block they come back in.
#include "tests/drivers/qvwlan/QvwlanRig.h"

namespace kesto::test {
namespace {

constexpr const char* kA = "0A:11:22:33:44:01";
constexpr const char* kB = "0A:11:22:33:44:02";
constexpr const char* kC = "0A:11:22:33:44:03";
constexpr const char* kD = "0A:11:22:33:44:04"; // holds WEP key 1 = 1122334455

json StationWorld()
{
    json s = BaseScenario();
    s["stations"] = {{{"mac", kA}},
                     {{"mac", kB}},
                     {{"mac", kC}},
                     {{"mac", kD}, {"wepKey", {{"index", 0}, {"hex", "1122334455"}}}}};
    return s;
}

// 16 FilterEntry records: {1, address} for each listed address, in slot order.
std::array<std::uint8_t, kStationListSize> Block(const std::vector<const char*>& addresses)
{
    std::array<std::uint8_t, kStationListSize> block{};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        block[i * 7] = 1;
        const auto mac = Mac(addresses[i]);
        std::copy(mac.begin(), mac.end(), block.begin() + static_cast<std::ptrdiff_t>(i * 7 + 1));
    }
    return block;
}

struct FilterCase {
    const char* name;
    int filterMode;
    std::vector<const char*> listed;
    const char* apKey; // nullptr: WEP off
    std::vector<const char*> associated;
};

void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << c.name;
}

class StationListTest : public testing::TestWithParam<FilterCase> {};

TEST_P(StationListTest, FilterAndKeyDecideWhoJoins)
{
    const FilterCase& c = GetParam();
    QvwlanRig rig(StationWorld());
    rig.Open();
    ASSERT_EQ(rig.lib.SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
    ASSERT_EQ(rig.lib.SetWL_WEPStatus(rig.ctx, c.apKey ? 0 : 1), 0);
    if (c.apKey) {
        ASSERT_EQ(rig.WriteKey(0, c.apKey), 0);
    }
    const auto list = Block(c.listed);
    ASSERT_EQ(rig.lib.SetWLAP_FilterList(rig.ctx, list), 0);
    ASSERT_EQ(rig.lib.SetWLAP_FilterMode(rig.ctx, c.filterMode), 0);

    std::array<std::uint8_t, kStationListSize> block{};
    block.fill(0xEE);
    ASSERT_EQ(rig.lib.WL_RetrieveStationList(rig.ctx, block), 0);
    EXPECT_EQ(block, Block(c.associated));
}

INSTANTIATE_TEST_SUITE_P(Filters, StationListTest,
                         testing::Values(FilterCase{"FilterOff", 0, {kB}, nullptr, {kA, kB, kC}},
                                         FilterCase{"AdmitListed", 1, {kC, kA}, nullptr, {kA, kC}},
                                         FilterCase{"AdmitNoneListed", 1, {}, nullptr, {}},
                                         FilterCase{"RefuseListed", 2, {kB}, nullptr, {kA, kC}},
                                         FilterCase{"WepRightKey", 0, {}, "1122334455", {kD}},
                                         FilterCase{"WepWrongKey", 0, {}, "1122334456", {}},
                                         FilterCase{"WepAndRefused", 2, {kD}, "1122334455", {}}),
                         [](const testing::TestParamInfo<FilterCase>& p) {
                             return std::string(p.param.name);
                         });

TEST(AccessPoint, EmptySlotsDoNotList)
{
    QvwlanRig rig(StationWorld());
    rig.Open();
    ASSERT_EQ(rig.lib.SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
    auto list = Block({kA, kB});
    list[0] = 0; // slot 1 holds A's address but is marked empty
    ASSERT_EQ(rig.lib.SetWLAP_FilterList(rig.ctx, list), 0);
    ASSERT_EQ(rig.lib.SetWLAP_FilterMode(rig.ctx, 1), 0);
    std::array<std::uint8_t, kStationListSize> block{};
    ASSERT_EQ(rig.lib.WL_RetrieveStationList(rig.ctx, block), 0);
    EXPECT_EQ(block, Block({kB}));
}

TEST(AccessPoint, ReportsItselfAndRefusesWhatItCannotTake)
{
    QvwlanRig rig(StationWorld());
    rig.Open();
    std::array<std::uint8_t, kStationListSize> block{};
    EXPECT_EQ(rig.lib.WL_RetrieveStationList(rig.ctx, block), -1) << "not an access point yet";

    ASSERT_EQ(rig.lib.SetWL_OperationMode_STA_AP(rig.ctx, 1), 0);
    ASSERT_EQ(rig.lib.SetWL_Channel(rig.ctx, 11), 0);
    ASSERT_EQ(rig.lib.SetWL_SSID(rig.ctx, std::span<const char>("WLAN_AP", 7)), 0);
    EXPECT_EQ(rig.Status(), 8);
    EXPECT_EQ(rig.lib.QueryWL_Channel(rig.ctx), 11);
    EXPECT_EQ(rig.lib.QueryWL_CurrentLinkSpeed(rig.ctx), 54000);
    std::array<std::uint8_t, 6> mac{};
    ASSERT_EQ(rig.lib.GetNICAdapterMAC(rig.ctx, mac), 0);
    EXPECT_EQ(mac, Mac("02:4B:45:53:54:4F"));
    std::array<std::uint8_t, 6> bssid{};
    ASSERT_EQ(rig.lib.QueryWL_BSSID(rig.ctx, bssid), 0);
    EXPECT_EQ(bssid, mac);

    // Out-of-range values are refused and change nothing.
    const auto before = *rig.lib.adapterSettings(kProductInstance);
    auto bad = Block({kA});
    bad[7] = 2;
    EXPECT_EQ(rig.lib.SetWLAP_FilterList(rig.ctx, bad), -1);
    EXPECT_EQ(rig.lib.SetWLAP_FilterList(rig.ctx, std::span(bad).first(111)), -1);
    EXPECT_EQ(rig.lib.SetWLAP_FilterMode(rig.ctx, 3), -1);
    EXPECT_EQ(rig.lib.SetWLAP_TxPowerLevel(rig.ctx, 4), -1);
    EXPECT_EQ(rig.lib.SetWLAP_HideSSIDState(rig.ctx, 2), -1);
    EXPECT_EQ(rig.lib.SetWL_Channel(rig.ctx, 14), -1) << "not a regulatory channel here";
    EXPECT_EQ(rig.lib.SetWL_OperationMode_STA_AP(rig.ctx, 2), -1);
    EXPECT_EQ(*rig.lib.adapterSettings(kProductInstance), before);

    // Back to station mode: no station list, the station link decides again.
    ASSERT_EQ(rig.lib.SetWL_OperationMode_STA_AP(rig.ctx, 0), 0);
    EXPECT_EQ(rig.lib.WL_RetrieveStationList(rig.ctx, block), -1);
    EXPECT_EQ(rig.Status(), 1);
}

} // namespace
} // namespace kesto::test
