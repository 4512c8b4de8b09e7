// The tray icon's bookkeeping and pictures, the command line, and the driver version
// text of the about box.
#include "app/AboutDialog.h"
#include "app/TrayIconLogic.h"
#include "app/UtilityApp.h"
#include "app/UtilityCommandLine.h"
#include "tests/support/FakeTrayIcon.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(TrayIconLogic, LinkStatusPicksTheIconOfTheSystemOrLeavesItAlone)
{
    struct Case {
        int linkStatus;
        int iconOn7; // 0: icon unchanged
        int iconOther;
    };
    const Case cases[] = {
        {3, 272, 286}, {4, 272, 286}, {1, 273, 287}, {2, 273, 287}, {5, 273, 287}, {6, 273, 287},
        {8, 273, 287}, {9, 273, 287}, {0, 0, 0},     {7, 0, 0},     {-1, 0, 0},    {10, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.linkStatus);
        const auto state = TrayIconLogic::StateForLinkStatus(c.linkStatus);
        ASSERT_EQ(state.has_value(), c.iconOn7 != 0);
        if (state) {
            EXPECT_EQ(TrayIconLogic::IconFor(*state, 7), c.iconOn7);
            EXPECT_EQ(TrayIconLogic::IconFor(*state, 6), c.iconOther);
            EXPECT_EQ(TrayIconLogic::IconFor(*state, 8), c.iconOther);
        }
    }
    EXPECT_EQ(TrayIconLogic::IconFor(TrayState::ApMode, 7), 274);
    EXPECT_EQ(TrayIconLogic::IconFor(TrayState::ApMode, 5), 288);
}

TEST(TrayIconLogic, RefusedOrRemovedIconSkipsLaterCalls)
{
    test::FakeTrayIcon port;
    {
        TrayIconLogic refused(port);
        port.refuse = true;
        EXPECT_FALSE(refused.Create(kTrayNotifyMessage, kTrayTooltip, 272, kTrayIconId));
        EXPECT_FALSE(refused.SetIcon(273));
        EXPECT_FALSE(refused.Remove());
        EXPECT_EQ(port.modifyCalls + port.deleteCalls, 0);
    }
    port.refuse = false;
    TrayIconLogic tray(port);
    ASSERT_TRUE(tray.Create(kTrayNotifyMessage, kTrayTooltip, 272, kTrayIconId));
    EXPECT_EQ(port.icons.at(128).tooltip, "Kesto Wireless LAN Utility");
    EXPECT_TRUE(tray.SetIcon(273));
    EXPECT_EQ(port.icons.at(128).picture, 273);
    EXPECT_TRUE(tray.Remove());
    EXPECT_FALSE(tray.Remove());
    EXPECT_FALSE(tray.SetIcon(272));
    EXPECT_EQ(port.deleteCalls, 1);
    EXPECT_TRUE(port.icons.empty());
}

TEST(TrayIconLogic, TooltipIsCutWithoutSplittingACharacter)
{
    test::FakeTrayIcon port;
    TrayIconLogic tray(port);
    const std::string tip = std::string(62, 'a') + "ü-rest"; // 'ü' spans bytes 62 and 63
    ASSERT_TRUE(tray.Create(kTrayNotifyMessage, tip, 272, kTrayIconId));
    EXPECT_EQ(port.icons.at(128).tooltip, std::string(62, 'a'));
}

TEST(TrayIconLogic, MenuOffersTheSiteSurveyOnlyInStationMode)
{
    const TrayMenu station = TrayIconLogic::MenuFor(true);
    const TrayMenu ap = TrayIconLogic::MenuFor(false);
    EXPECT_EQ(station.menuResource, 267);
    EXPECT_EQ(station.name, "POP");
    EXPECT_EQ(station.items,
              (std::vector<TrayMenuItem>{
                  {"Info", 32773}, {"Verfügbares Netzwerk anzeigen", 32772}, {"Beenden", 32771}}));
    EXPECT_EQ(ap.name, "APmode_POP");
    EXPECT_EQ(ap.items, (std::vector<TrayMenuItem>{{"Info", 32773}, {"Beenden", 32771}}));
}

TEST(UtilityCommandLine, OnlyTheExitFlagCounts)
{
    struct Case {
        std::vector<std::string> args;
        int exitRequest;
    };
    const Case cases[] = {
        {{}, 0},
        {{"/EXIT"}, 1},
        {{"-exit"}, 1},
        {{"/eXiT"}, 1},
        {{"file.txt", "-Exit"}, 1},
        {{"EXIT"}, 0},
        {{"--exit"}, 0},
        {{"/EXITNOW"}, 0},
        {{"/"}, 0},
        {{""}, 0},
        {{"/p", "/dde"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        UtilityCommandLine commandLine;
        commandLine.Parse(c.args);
        EXPECT_EQ(commandLine.ExitRequest, c.exitRequest);
    }
}

TEST(UtilityApp, ApplicationNameIsTheExecutablesBaseName)
{
    EXPECT_EQ(UtilityApp::ApplicationNameOf("/opt/kesto/kesto-utility"), "kesto-utility");
    EXPECT_EQ(UtilityApp::ApplicationNameOf("/opt/kesto.d/Kesto.exe"), "Kesto");
    EXPECT_EQ(UtilityApp::ApplicationNameOf("kesto-utility"), "kesto-utility");
    EXPECT_EQ(UtilityApp::ApplicationNameOf(""), "kesto-utility");
    EXPECT_EQ(UtilityApp::ApplicationNameOf("/opt/kesto/"), "kesto-utility");
}

TEST(AboutDialog, DriverVersionText)
{
    struct Case {
        std::int32_t version;
        std::string_view text;
    };
    const Case cases[] = {
        {0x01023512, "1.2.0512.2003"},
        {-1, "N/A"},
        {0, "0.0.0000.2000"},
        {static_cast<std::int32_t>(0xFFFFFFFEu), "255.255.15FE.2015"},
        {0x0A0B1C3D, "10.11.123D.2001"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AboutDialog::FormatDriverVersion(c.version), c.text) << c.version;
}

} // namespace
} // namespace kesto
