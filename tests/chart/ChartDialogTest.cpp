// The chart window against the real simulated adapter: its baseline and timer, the rate
// texts and the four-decade chart values, and what a failed read or a counter restart
// shows.
#include "chart/ChartDialog.h"
#include "tests/support/FakeChartHost.h"
#include "tests/support/FakePageHost.h"
#include "tests/support/FakeTimers.h"
#include "tests/support/SimulatedWorld.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace kesto {
namespace {

using Json = nlohmann::json;

TEST(ChartValue, FourDecades)
{
    struct Case {
        double kbps, value;
    };
    const Case cases[] = {{0, 0},    {8, 8},     {9.5, 9.5}, {10, 10},    {55, 15},    {100, 20},
                          {550, 25}, {1000, 30}, {5500, 35}, {10000, 40}, {20000, 40}, {1e9, 40}};
    for (const Case& c : cases)
        EXPECT_NEAR(ChartDialog::ChartValue(c.kbps), c.value, 1e-9) << c.kbps;
    EXPECT_EQ(ChartDialog::ChartValue(std::numeric_limits<double>::infinity()), 40.0);
}

TEST(ChartValue, RatesAndTexts)
{
    EXPECT_DOUBLE_EQ(ChartDialog::RateKbps(5000, 5000), 8.0);
    EXPECT_DOUBLE_EQ(ChartDialog::RateKbps(1, 3), 8.0 / 3.0);
    // No elapsed time measures nothing rather than an undefined quotient.
    EXPECT_EQ(ChartDialog::RateKbps(5000, 0), 0.0);
    EXPECT_EQ(ChartDialog::RateKbps(0, 0), 0.0);
    // bytes * 8 is 32-bit arithmetic, as the counters are.
    EXPECT_EQ(ChartDialog::RateKbps(0x20000000u, 1000), 0.0);

    const std::pair<double, const char*> texts[] = {
        {0, "0"},           {8.9, "8"},      {99999.99, "99999"},
        {100000, "100000"}, {100000.5, "0"}, {std::numeric_limits<double>::quiet_NaN(), "0"}};
    for (const auto& [kbps, text] : texts)
        EXPECT_EQ(ChartDialog::RateText(kbps), text) << kbps;
}

// The chart window over a link carrying the given traffic.
class ChartRig {
public:
    explicit ChartRig(Json traffic)
        : world([traffic](Json& s) {
              s["traffic"] = traffic;
              s["rssiJitter"] = 0;
          })
    {
        EXPECT_TRUE(world.StartWithShippedIni());
        world.api.SetWL_SSID("Cafe-Lindenhof");
        world.api.QueryWL_LinkStatus();
        world.clock.Advance(3000);
        world.api.QueryWL_LinkStatus();
    }

    // Runs the dialog; script plays the user (and the passing time) while it is open.
    int Run(const std::function<void()>& script)
    {
        pages.dialogScript = [&](test::FakePageHost&) {
            if (script)
                script();
        };
        ChartDialog dialog(pages, world.api, world.clock, dialogTimers, charts);
        return dialog.DoModal();
    }
    // One tick of the dialog's timer after ms have passed.
    void Tick(std::uint32_t ms)
    {
        world.clock.Advance(ms);
        dialogTimers.Fire(ChartDialog::kRefreshTimer);
    }
    std::string Shown(std::string_view id) const
    {
        for (const ElementState& e : pages.dialog.values)
            if (e.id == id)
                return std::get<std::string>(e.value);
        return "<absent>";
    }
    void Plug(bool present)
    {
        world.RewriteScenario([present](Json& s) { s["adapters"][0]["present"] = present; });
    }

    test::SimulatedWorld world;
    test::FakePageHost pages;
    test::FakeTimers dialogTimers;
    test::FakeChartHost charts;
};

TEST(ChartDialog, OpensOnPage107WithBothChartsConfigured)
{
    ChartRig rig({{"txBytesPerSecond", 1000}, {"rxBytesPerSecond", 11000}});
    std::uint32_t firstPeriod = 0;
    const int result = rig.Run([&] { firstPeriod = rig.dialogTimers.Period(1); });
    EXPECT_EQ(result, kDialogCancel);
    EXPECT_EQ(rig.pages.dialogs, std::vector<int>{kChartPageId});
    EXPECT_EQ(firstPeriod, 300u);
    ASSERT_EQ(rig.charts.styles.size(), 2u);
    for (int id : {kTransmitChartId, kReceiveChartId}) {
        const ChartStyle& style = rig.charts.styles[id];
        EXPECT_EQ(style.lower, 0.0);
        EXPECT_EQ(style.upper, 40.0);
        EXPECT_EQ(style.decimals, 1);
        EXPECT_EQ(style.background, (ChartColor{0, 64, 0}));
        EXPECT_EQ(style.grid, (ChartColor{192, 255, 192}));
        EXPECT_EQ(style.plot, (ChartColor{255, 255, 255}));
    }
    // The histories start empty, and the timer ends with the dialog.
    EXPECT_TRUE(rig.charts.values.empty());
    EXPECT_EQ(rig.dialogTimers.Period(1), 0u);
    rig.dialogTimers.Fire(1);
    EXPECT_TRUE(rig.charts.values.empty());
}

// 5000 bytes in 5000 ms are 8 kbit/s, drawn at 8; 11000 bytes a second are 88 kbit/s,
// drawn at (88 - 10) / 9 + 10.
TEST(ChartDialog, TicksShowRatesAndAppendChartValues)
{
    ChartRig rig({{"txBytesPerSecond", 1000}, {"rxBytesPerSecond", 11000}});
    std::vector<std::uint32_t> periods;
    rig.Run([&] {
        rig.Tick(300);
        periods.push_back(rig.dialogTimers.Period(1));
        rig.Tick(5000);
        periods.push_back(rig.dialogTimers.Period(1));
    });
    EXPECT_EQ(periods, (std::vector<std::uint32_t>{5000, 5000}));
    ASSERT_EQ(rig.charts.values[kTransmitChartId].size(), 2u);
    EXPECT_DOUBLE_EQ(rig.charts.values[kTransmitChartId][0], 8.0); // 300 bytes in 300 ms
    EXPECT_DOUBLE_EQ(rig.charts.values[kTransmitChartId][1], 8.0);
    EXPECT_NEAR(rig.charts.values[kReceiveChartId][1], (88.0 - 10.0) / 9.0 + 10.0, 1e-9);
    EXPECT_EQ(rig.Shown("ChartTransmitRate"), "8");
    EXPECT_EQ(rig.Shown("ChartReceiveRate"), "88");
}

// Unplugged, the read fails: both texts empty, the unchanged counters draw 0. Plugged
// back in, the counters restart below the last reading: the text says 0, the chart 40.
TEST(ChartDialog, FailedReadAndCounterRestart)
{
    ChartRig rig({{"txBytesPerSecond", 20000}, {"rxBytesPerSecond", 20000}});
    std::vector<std::string> texts;
    rig.Run([&] {
        rig.Tick(300);
        rig.Plug(false);
        rig.Tick(5000);
        texts.push_back(rig.Shown("ChartTransmitRate"));
        texts.push_back(rig.Shown("ChartReceiveRate"));
        rig.Plug(true);
        rig.Tick(5000);
        texts.push_back(rig.Shown("ChartTransmitRate"));
        // No time passes: nothing is measured.
        rig.dialogTimers.Fire(ChartDialog::kRefreshTimer);
        texts.push_back(rig.Shown("ChartTransmitRate"));
    });
    EXPECT_EQ(texts, (std::vector<std::string>{"", "", "0", "0"}));
    const std::vector<double>& tx = rig.charts.values[kTransmitChartId];
    ASSERT_EQ(tx.size(), 4u);
    EXPECT_DOUBLE_EQ(tx[0], (160.0 - 100.0) / 90.0 + 20.0); // 6000 bytes in 300 ms
    EXPECT_EQ(tx[1], 0.0);
    EXPECT_EQ(tx[2], 40.0);
    EXPECT_EQ(tx[3], 0.0);
}

// Each opening takes its own baseline: traffic while the window was closed is not
// shown as a burst.
TEST(ChartDialog, EachOpeningTakesAFreshBaseline)
{
    ChartRig rig({{"txBytesPerSecond", 1000}, {"rxBytesPerSecond", 1000}});
    rig.Run([&] { rig.Tick(5000); });
    rig.world.clock.Advance(60000);
    rig.charts.values.clear();
    rig.Run([&] { rig.Tick(5000); });
    EXPECT_EQ(rig.charts.values[kTransmitChartId], std::vector<double>{8.0});
}

} // namespace
} // namespace kesto
