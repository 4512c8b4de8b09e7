// Statistics counters and frame counts: growth with simulated time while a link carries
// traffic, honest 32-bit wrap, and the statistics request's buffer rules.
#include "tests/drivers/qvwlan/QvwlanRig.h"

namespace kesto::test {
namespace {

json TrafficWorld(std::uint32_t startTxBytes = 0, std::uint32_t startRxBytes = 0)
{
    json s = BaseScenario();
    s["networks"] = {Network("Offen", "0A:00:00:00:00:01", 1, -50)};
    s["traffic"] = {{"txBytesPerSecond", 10000},
                    {"rxBytesPerSecond", 40000},
                    {"bytesPerFrame", 1000},
                    {"startTxBytes", startTxBytes},
                    {"startRxBytes", startRxBytes}};
    return s;
}

std::uint32_t TxBytes(const std::array<std::uint32_t, 20>& c)
{
    return c[2] + c[3];
}

std::uint32_t RxBytes(const std::array<std::uint32_t, 20>& c)
{
    return c[15] + c[16];
}

TEST(Traffic, GrowsWithSimulatedTimeWhileLinked)
{
    QvwlanRig rig(TrafficWorld());
    rig.Open();
    int result = 0;
    const auto atStart = rig.Counters(&result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(atStart, (std::array<std::uint32_t, 20>{}));

    // Not linked: nothing flows.
    rig.Join("Niemand");
    rig.clock.Advance(10000);
    EXPECT_EQ(rig.Counters(), atStart);

    rig.Join("Offen");
    rig.Settle();
    ASSERT_EQ(rig.Status(), 3);
    const auto before = rig.Counters();
    std::array<std::uint32_t, 2> framesBefore{};
    ASSERT_EQ(rig.lib.GetTxRxFrameCount(rig.ctx, framesBefore), 0);

    rig.clock.Advance(5000);
    const auto after = rig.Counters();
    EXPECT_EQ(TxBytes(after) - TxBytes(before), 50000u);
    EXPECT_EQ(RxBytes(after) - RxBytes(before), 200000u);
    EXPECT_EQ(after[0] - before[0], 50u) << "transmitted frames";
    EXPECT_EQ(after[1] - before[1], 200u) << "received frames";
    EXPECT_GT(after[3], before[3]) << "some bytes go to groups";
    EXPECT_GT(after[2] - before[2], after[3] - before[3]) << "most are unicast";

    std::array<std::uint32_t, 2> frames{};
    ASSERT_EQ(rig.lib.GetTxRxFrameCount(rig.ctx, frames), 0);
    EXPECT_EQ(frames[0], after[0]);
    EXPECT_EQ(frames[1], after[1]);
}

TEST(Traffic, ManySmallStepsAddUpLikeOneLargeOne)
{
    auto run = [](bool smallSteps) {
        QvwlanRig rig(TrafficWorld());
        rig.Open();
        rig.Join("Offen");
        for (int i = 0; i < 3000; ++i) {
            rig.clock.Advance(smallSteps ? 3 : 0);
            if (smallSteps)
                rig.Status(); // every call brings the counters up to date
        }
        if (!smallSteps)
            rig.clock.Advance(9000);
        return rig.Counters();
    };
    EXPECT_EQ(run(true), run(false));
}

TEST(Traffic, CountsFromTheMomentTheLinkCameUp)
{
    // Read once, long after the link came up, and once right as it came up: the first
    // read must not include time spent associating.
    QvwlanRig rig(TrafficWorld());
    rig.Open();
    rig.Join("Offen");
    std::uint32_t waited = 0;
    while (rig.Status() != 3 && waited < 3000) {
        rig.clock.Advance(1);
        ++waited;
    }
    const auto atLinkUp = rig.Counters();
    EXPECT_LE(TxBytes(atLinkUp), 10u) << "at most a millisecond's worth";
}

TEST(Traffic, CountersWrapAt32Bits)
{
    QvwlanRig rig(TrafficWorld(0xFFFFFFFFu - 20000u, 0xFFFFFFFFu - 5000u));
    rig.Open();
    rig.Join("Offen");
    rig.Settle();
    const auto before = rig.Counters();
    rig.clock.Advance(4000);
    const auto after = rig.Counters();
    EXPECT_LT(TxBytes(after), TxBytes(before)) << "the sum wrapped";
    EXPECT_EQ(TxBytes(after) - TxBytes(before), 40000u) << "the unsigned difference is exact";
    EXPECT_EQ(RxBytes(after) - RxBytes(before), 160000u);
}

TEST(Traffic, ReplugRestartsTheCounters)
{
    QvwlanRig rig(TrafficWorld());
    rig.Open();
    rig.Join("Offen");
    rig.Settle();
    rig.clock.Advance(5000);
    ASSERT_GT(TxBytes(rig.Counters()), 0u);

    json s = TrafficWorld();
    s["adapters"][0]["present"] = false;
    rig.Rewrite(s);
    int result = 0;
    rig.Counters(&result);
    EXPECT_EQ(result, -1);
    rig.Rewrite(TrafficWorld());
    EXPECT_EQ(rig.Counters(&result), (std::array<std::uint32_t, 20>{}));
    EXPECT_EQ(result, 0);
}

struct StatisticsRequest {
    const char* name;
    std::uint32_t oid;
    std::size_t size;
    std::uint32_t word0;
    std::uint32_t word1;
    int result;
};

class StatisticsRequestTest : public testing::TestWithParam<StatisticsRequest> {};

TEST_P(StatisticsRequestTest, OnlyTheDocumentedRequestIsAnswered)
{
    const StatisticsRequest& r = GetParam();
    QvwlanRig rig(TrafficWorld(1234, 5678));
    rig.Open();
    std::vector<std::uint8_t> buffer(r.size, 0xAB);
    std::memcpy(buffer.data(), &r.word0, 4);
    std::memcpy(buffer.data() + 4, &r.word1, 4);
    const std::vector<std::uint8_t> untouched = buffer;

    EXPECT_EQ(rig.lib.ReadOid(rig.ctx, r.oid, buffer), r.result);
    if (r.result != 0) {
        EXPECT_EQ(buffer, untouched);
        return;
    }
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 8, untouched.begin())) << "header kept";
    std::uint32_t c2 = 0;
    std::uint32_t c3 = 0;
    std::memcpy(&c2, buffer.data() + 16, 4);
    std::memcpy(&c3, buffer.data() + 20, 4);
    EXPECT_EQ(c2 + c3, 1234u) << "counters 2 and 3 at bytes 16 and 20";
    std::uint32_t c15 = 0;
    std::uint32_t c16 = 0;
    std::memcpy(&c15, buffer.data() + 68, 4);
    std::memcpy(&c16, buffer.data() + 72, 4);
    EXPECT_EQ(c15 + c16, 5678u) << "counters 15 and 16 at bytes 68 and 72";
    EXPECT_TRUE(std::equal(buffer.begin() + 88, buffer.end(), untouched.begin() + 88))
        << "nothing written past the 20 counters";
}

INSTANTIATE_TEST_SUITE_P(
    Requests, StatisticsRequestTest,
    testing::Values(StatisticsRequest{"Documented", kOidStatistics, 236, 236, 9, 0},
                    StatisticsRequest{"ShortBuffer", kOidStatistics, 235, 236, 9, -1},
                    StatisticsRequest{"HeaderNot236", kOidStatistics, 236, 200, 9, -1},
                    StatisticsRequest{"HeaderNot9", kOidStatistics, 236, 236, 8, -1},
                    StatisticsRequest{"OtherOid", 0xFF129903, 236, 236, 9, -1}),
    [](const testing::TestParamInfo<StatisticsRequest>& p) { return std::string(p.param.name); });

} // namespace
} // namespace kesto::test
