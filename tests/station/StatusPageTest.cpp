// The status page end to end in the core: the main window on the default scenario,
// restored from the tray, fills page 236 from the real association through its timers;
// the chart window opens from ButtonChart and draws while the monitor keeps running.
#include "app/MainDialog.h"
#include "tests/support/FakeChartHost.h"
#include "tests/support/ShellRig.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

class StatusPageTest : public testing::Test {
protected:
    std::string Shown(std::string_view id) const
    {
        const ElementValue* value = rig.pages.Value(id);
        return value ? std::get<std::string>(*value) : "<absent>";
    }

    test::ShellRig rig;
    test::FakeChartHost charts;
    test::FakeTimers dialogTimers;
    bool portsComplete = (rig.ports.charts = &charts, rig.ports.dialogTimers = &dialogTimers, true);
    MainDialog dlg{rig.ports, rig.store, rig.work, "kesto-utility"};
};

TEST_F(StatusPageTest, RestoreFillsTheStatusPageAndTheChartDraws)
{
    dlg.OnInitDialog();
    rig.clock.Advance(2000);
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    ASSERT_EQ(rig.pages.main.pageId, kStatusPageId);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(Shown("ImageSignStr" + std::string(i < 10 ? "0" : "") + std::to_string(i)),
                  "./images/#143");

    // The monitor's ticks as the window's timers deliver them: 7 and 1 after 300 ms, 2
    // after 1000 ms, 7 again 5000 ms after its first tick, and 2 to push the texts.
    rig.clock.Advance(300);
    rig.timers.Fire(7);
    rig.timers.Fire(1);
    rig.clock.Advance(700);
    rig.timers.Fire(2);
    rig.clock.Advance(4300);
    rig.timers.Fire(7);
    rig.timers.Fire(2);
    const std::string bssid = "0A:3C:71:00:00:01";
    EXPECT_EQ(Shown("TextNetworkName"), "Cafe-Lindenhof");
    EXPECT_EQ(Shown("TextstationAPMac"), bssid);
    EXPECT_EQ(Shown("TextChannel"), "1");
    EXPECT_EQ(Shown("TextTransRate"), "54 Mbps");
    EXPECT_EQ(Shown("TextNetworkMode"), "802.11g");
    EXPECT_EQ(Shown("TextNetworkType"), "Infrastruktur(BSS)");
    EXPECT_EQ(Shown("TextSecurity"), "Deaktiviert");
    EXPECT_EQ(Shown("TextAuthentication"), "Offenes System");
    EXPECT_EQ(Shown("TextProfileName"), "Default");
    EXPECT_EQ(Shown("ImageSignStr01"), "./images/#155");
    EXPECT_NE(Shown("TextTotalReceive"), "");
    // The default scenario carries 15000 and 60000 bytes a second.
    EXPECT_EQ(Shown("TextTransmitRate"), "122 kbps");
    EXPECT_EQ(Shown("TextReceiveRate"), "491 kbps");
    const std::string linkQual = Shown("TextLinkQual");
    EXPECT_EQ(linkQual.substr(linkQual.size() - 4), " dBm");

    std::map<int, std::uint32_t> mainTimersInDialog;
    rig.pages.dialogScript = [&](test::FakePageHost& pages) {
        EXPECT_EQ(pages.dialog.pageId, 107);
        rig.clock.Advance(300);
        dialogTimers.Fire(1);
        rig.clock.Advance(5000);
        dialogTimers.Fire(1);
        mainTimersInDialog = rig.timers.running;
        rig.timers.Fire(2); // the monitor keeps running under the dialog
    };
    rig.pages.Click("ButtonChart");
    EXPECT_EQ(rig.pages.dialogs, std::vector<int>{107});
    ASSERT_EQ(charts.values[1004].size(), 2u);
    ASSERT_EQ(charts.values[1007].size(), 2u);
    // 15000 bytes a second are 120 kbit/s, 20 + 20/90 on the chart.
    EXPECT_NEAR(charts.values[1004][1], 20.0 + 20.0 / 90.0, 1e-9);
    EXPECT_EQ(std::get<std::string>(rig.pages.dialog.values[0].value), "120");
    for (int id : {1, 2, 7})
        EXPECT_TRUE(mainTimersInDialog.contains(id)) << id;
    EXPECT_EQ(dialogTimers.Period(1), 0u);
}

} // namespace
} // namespace kesto
