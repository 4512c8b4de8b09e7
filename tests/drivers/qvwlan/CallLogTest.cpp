// The call log: exact sequences with arguments in their readable forms and results,
// refusals recorded like successes, and the bound on its length.
#include "tests/drivers/qvwlan/QvwlanRig.h"

namespace kesto::test {
namespace {

using qvwlan::Call;

TEST(CallLog, RecordsEveryCallInOrder)
{
    QvwlanRig rig(BaseScenario());
    rig.Open();
    rig.lib.clearCalls();

    const char name[] = {'C', 'a', 'f', '\xE9', '\\', '1'};
    rig.lib.SetWL_SSID(rig.ctx, name);
    rig.WriteKey(2, "0123456789ABCDEF0123456789");
    std::array<std::uint8_t, kRateSetSize> rates{11};
    rig.lib.SetWL_DesiredRate(rig.ctx, rates);
    rig.lib.SetWL_NetworkType(rig.ctx, 0);
    rig.lib.SetWL_Channel(rig.ctx, 14);
    rig.Counters();
    std::array<char, 32> ssid{};
    rig.lib.QueryWL_SSID(rig.ctx, ssid);
    AdapterContext closed;
    rig.lib.QueryWL_LinkStatus(closed);
    rig.lib.QvCloseAdapter(rig.ctx);

    const std::vector<Call> expected{
        {"SetWL_SSID", {"Caf\\xE9\\x5C1"}, 0},
        {"SetWL_WriteKey", {"2", "1", "1", "0123456789ABCDEF0123456789"}, 0},
        {"SetWL_DesiredRate", {"0B000000000000000000000000000000"}, 0},
        {"SetWL_NetworkType", {"0"}, 0},
        {"SetWL_Channel", {"14"}, -1},
        {"ReadOid", {"0xFF129902", "236"}, 0},
        {"QueryWL_SSID", {"32"}, 6},
        {"QueryWL_LinkStatus", {}, -1},
        {"QvCloseAdapter", {}, 1},
    };
    EXPECT_EQ(rig.lib.calls(), expected);
    EXPECT_EQ(qvwlan::Describe(rig.lib.calls()[3]), "SetWL_NetworkType(0) = 0");
}

TEST(CallLog, KeepsTheMostRecentCalls)
{
    qvwlan::CallLog log(4);
    for (int i = 0; i < 9; ++i)
        log.add("Call", {std::to_string(i)}, i);
    ASSERT_LE(log.calls().size(), 4u);
    EXPECT_EQ(log.calls().back().result, 8);
    for (std::size_t i = 1; i < log.calls().size(); ++i)
        EXPECT_EQ(log.calls()[i].result, log.calls()[i - 1].result + 1) << "no gaps";
}

} // namespace
} // namespace kesto::test
