// The main window driven as the desktop would drive it: start-up on the real store and
// the simulated adapter, tray events, tabs, mode switches, hiding, the exit watch and
// the adapter leaving and coming back.
#include "app/MainDialog.h"
#include "app/AboutDialog.h"
#include "profiles/ProfileList.h"
#include "tests/app/ShellRig.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

using test::ShellRig;

class MainDialogTest : public testing::Test {
protected:
    // Seeds the store as a first run would, then stores mode.
    void StoreMode(std::string_view mode)
    {
        ProfileList(rig.store, rig.work, rig.dialogs, "kesto-utility").CreateFirstRunStore();
        rig.store.WriteText(ProductValuePath("Mode"), mode);
    }
    MainDialog& Start()
    {
        dlg.OnInitDialog();
        return dlg;
    }
    bool Running(int id) const { return rig.timers.Period(id) != 0; }
    // Sets the monitor and AP timers running, so a step's kills show.
    void ArmAll()
    {
        for (int id : {1, 2, 4, 7, 8})
            rig.timers.SetTimer(id, 99);
    }

    ShellRig rig;
    MainDialog dlg{rig.ports, rig.store, rig.work, "kesto-utility"};
};

TEST_F(MainDialogTest, FirstStartOnAnEmptyStoreSeedsItAndStartsTheStationHidden)
{
    Start();
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "1");
    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 1");
    EXPECT_EQ(rig.Product("ProfileLink 1"), "Default");
    EXPECT_EQ(rig.Product("Exit Utility"), "0");
    EXPECT_EQ(rig.Product("Mode"), "Station Mode");
    EXPECT_EQ(rig.work.ActiveProfileName, "Default");
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"0"}}));

    // Driver defaults under the adapter's driver key.
    const std::string key = dlg.discovery().SelectedAdapterKey().substr(19); // hive dropped
    for (const char* name : {"Key1", "Key2", "Key3", "Key4"})
        EXPECT_EQ(rig.registry.QueryValue(key + "\\Keys", name), RegValue::Text("")) << name;
    EXPECT_EQ(rig.registry.QueryValue(key, "Preamble"), RegValue::Text("2"));

    EXPECT_EQ(rig.pages.windowSize, (std::pair{753, rig.wlan.QV_GetOSVersion() >= 7 ? 492 : 484}));
    EXPECT_FALSE(rig.pages.windowVisible);
    EXPECT_FALSE(dlg.windowShown());
    EXPECT_TRUE(rig.pages.shownPages.empty());
    ASSERT_TRUE(rig.tray.icons.contains(128));
    EXPECT_EQ(rig.tray.icons[128].picture, 272);
    EXPECT_EQ(rig.tray.icons[128].tooltip, "Kesto Wireless LAN Utility");
    EXPECT_EQ(rig.tray.icons[128].message, 0x040Au);
    EXPECT_EQ(rig.timers.running, (std::map<int, std::uint32_t>{{4, 1000}, {6, 2000}}));
    EXPECT_EQ(rig.clock.sleeps(), std::vector<std::uint32_t>{200});

    // The tray update shows the link state, on the tray and on the window alike.
    rig.clock.Advance(5000);
    rig.timers.Fire(4);
    EXPECT_EQ(rig.tray.icons[128].picture, rig.pages.windowIcons.back());
    EXPECT_NE(rig.tray.icons[128].picture, 274);
}

TEST_F(MainDialogTest, StartInApModeAppliesItBeforeTheFirstRestore)
{
    StoreMode("AP Mode");
    Start();
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"1"}}));
    EXPECT_EQ(rig.clock.sleeps(), (std::vector<std::uint32_t>{200, 1000}));
    EXPECT_EQ(rig.tray.icons[128].picture, 274);
    EXPECT_EQ(rig.pages.windowIcons.back(), 274);
    EXPECT_FALSE(Running(4));
    EXPECT_FALSE(dlg.apModeActive());

    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    EXPECT_TRUE(dlg.apModeActive());
    EXPECT_EQ(rig.pages.shownPages, (std::vector<int>{236, 261}));
    EXPECT_EQ(rig.timers.Period(8), 2000u);
    EXPECT_FALSE(Running(1) || Running(2) || Running(7));
    EXPECT_TRUE(rig.pages.windowVisible);
}

TEST_F(MainDialogTest, TabsShowTheirPagesAndStartOrStopTheirTimers)
{
    struct Tab {
        const char* button;
        int page;
        std::vector<int> running; // of 1, 2, 7, 8 after the click
        bool holdsSurvey;
    };
    const Tab station[] = {
        {"ButtonTab2", 237, {8}, true},
        {"ButtonTab1", 236, {1, 2, 7, 8}, true},
        {"ButtonTab3", 238, {8}, false},
        {"ButtonTab4", 239, {8}, false},
    };
    const Tab ap[] = {
        {"ButtonTab6", 262, {1, 2, 7}, false},
        {"ButtonTab5", 261, {1, 2, 7, 8}, false},
        {"ButtonTab7", 263, {1, 2, 7}, false},
    };
    Start();
    rig.work.CurrentProfile.TxRate = 5;
    rig.work.CurrentProfile.Preamble = 1;
    rig.work.CurrentProfile.PSMode = 1;
    rig.tray.Notify(TrayMouse::LeftDoubleClick);

    auto check = [&](const Tab& tab) {
        SCOPED_TRACE(tab.button);
        ArmAll();
        rig.surveyList.visible = rig.stationList.visible = true;
        rig.pages.Click(tab.button);
        EXPECT_EQ(rig.pages.main.pageId, tab.page);
        // Every tab hides both lists; the survey page shows its list again with the scan,
        // the profile page with the profiles, the access point's status page its stations.
        EXPECT_EQ(rig.surveyList.visible, tab.page == 237 || tab.page == 238);
        EXPECT_EQ(rig.stationList.visible, tab.page == 261);
        for (int id : {1, 2, 7, 8})
            EXPECT_EQ(Running(id), std::ranges::count(tab.running, id) == 1) << "timer " << id;
        EXPECT_EQ(dlg.surveyListHoldsSurvey(), tab.holdsSurvey);
    };
    for (const Tab& tab : station)
        check(tab);
    // The adapter settings page shows the current profile's rate, preamble and saving.
    EXPECT_EQ(*rig.pages.Value("SelectRate"), ElementValue(5));
    EXPECT_EQ(*rig.pages.Value("SelectPreamble"), ElementValue(1));
    EXPECT_EQ(*rig.pages.Value("SelectSaving"), ElementValue(1));
    EXPECT_EQ(rig.surveyList.placement, (std::array{201, 146, 299, 170}));

    rig.pages.Click("ImageAPRadio");
    for (const Tab& tab : ap)
        check(tab);
}

TEST_F(MainDialogTest, ModeSwitchesActOnlyWhenTheModeChanges)
{
    Start();
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    rig.wlan.clearCalls();

    rig.pages.Click("ImageStationRadio"); // already station: nothing
    EXPECT_TRUE(rig.wlan.calls().empty());
    EXPECT_EQ(rig.pages.shownPages.size(), 1u);

    rig.pages.Click("ImageAPRadio");
    EXPECT_TRUE(dlg.apModeActive());
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"1"}}));
    // After the start (200) and the restore's scan (2000), the adapter settles in its new
    // mode, then the status refresh waits once.
    EXPECT_EQ(rig.clock.sleeps(), (std::vector<std::uint32_t>{200, 2000, 1000, 100}));
    EXPECT_EQ(rig.timers.running, (std::map<int, std::uint32_t>{{6, 2000}, {8, 2000}}));
    EXPECT_EQ(rig.pages.main.pageId, 261);
    EXPECT_EQ(rig.tray.icons[128].picture, 274);
    EXPECT_EQ(rig.stationList.placement, (std::array{530, 154, 182, 149}));

    rig.wlan.clearCalls();
    rig.pages.Click("ImageAPRadio"); // already AP: nothing
    EXPECT_TRUE(rig.wlan.calls().empty());

    rig.pages.Click("ImageStationRadio");
    EXPECT_FALSE(dlg.apModeActive());
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"0"}, {"0"}})); // switch, then the profile
    EXPECT_EQ(rig.clock.sleeps().back(), 200u);
    EXPECT_EQ(rig.timers.running,
              (std::map<int, std::uint32_t>{{1, 300}, {2, 1000}, {4, 1000}, {6, 2000}, {7, 300}}));
    EXPECT_EQ(rig.pages.main.pageId, 236);
    EXPECT_EQ(rig.Product("Mode"), "Station Mode");
}

TEST_F(MainDialogTest, HidingTheWindowKeepsTheTrayAndTheBackgroundTimers)
{
    struct Case {
        WindowEvent event;
        bool apMode;
        bool clearsShown;
    };
    const Case cases[] = {
        {WindowEvent::Close, false, false},   {WindowEvent::Escape, false, false},
        {WindowEvent::Minimise, false, true}, {WindowEvent::Close, true, false},
        {WindowEvent::Escape, true, false},   {WindowEvent::Minimise, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.event) << (c.apMode ? " AP" : ""));
        ShellRig r;
        if (c.apMode) {
            ProfileList(r.store, r.work, r.dialogs, "x").CreateFirstRunStore();
            r.store.WriteText(ProductValuePath("Mode"), "AP Mode");
        }
        MainDialog d(r.ports, r.store, r.work, "kesto-utility");
        d.OnInitDialog();
        r.tray.Notify(TrayMouse::LeftDoubleClick);
        r.timers.SetTimer(1, 300);
        r.timers.SetTimer(2, 1000);
        r.timers.SetTimer(7, 300);
        d.OnWindowEvent(WindowEvent::Enter); // swallowed
        EXPECT_TRUE(r.pages.windowVisible);

        d.OnWindowEvent(c.event);
        EXPECT_FALSE(r.pages.windowVisible);
        EXPECT_EQ(d.windowShown(), !c.clearsShown);
        EXPECT_EQ(r.timers.running, (std::map<int, std::uint32_t>{
                                        {c.apMode ? 8 : 4, c.apMode ? 2000u : 1000u}, {6, 2000}}));
        EXPECT_TRUE(r.tray.icons.contains(128));
    }
}

TEST_F(MainDialogTest, UnpluggedAdapterHidesEverythingUntilItReturns)
{
    Start();
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    ASSERT_TRUE(rig.pages.windowVisible);
    rig.timers.Fire(6); // adapter still there: nothing happens
    EXPECT_TRUE(rig.tray.icons.contains(128));

    rig.SetAdaptersPresent(false);
    rig.timers.Fire(6);
    EXPECT_TRUE(rig.tray.icons.empty());
    EXPECT_FALSE(rig.pages.windowVisible);
    EXPECT_FALSE(dlg.windowShown());
    EXPECT_EQ(rig.timers.running, (std::map<int, std::uint32_t>{{5, 5000}}));
    EXPECT_EQ(rig.Calls("QvCloseAdapter").size(), 1u);

    rig.timers.Fire(5); // still unplugged: try again later
    EXPECT_TRUE(rig.tray.icons.empty());
    EXPECT_EQ(rig.timers.running, (std::map<int, std::uint32_t>{{5, 5000}}));

    rig.SetAdaptersPresent(true);
    rig.timers.Fire(5);
    ASSERT_TRUE(rig.tray.icons.contains(128));
    EXPECT_EQ(rig.tray.icons[128].picture, 272);
    EXPECT_FALSE(rig.pages.windowVisible);
    EXPECT_EQ(rig.timers.running,
              (std::map<int, std::uint32_t>{{1, 1500}, {2, 1000}, {4, 1000}, {6, 2000}, {7, 300}}));
}

TEST_F(MainDialogTest, StartWithoutAdapterRetriesUntilOneIsPluggedIn)
{
    rig.SetAdaptersPresent(false);
    Start();
    EXPECT_TRUE(rig.tray.icons.empty());
    EXPECT_EQ(rig.timers.running, (std::map<int, std::uint32_t>{{5, 2000}}));
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "");

    rig.SetAdaptersPresent(true);
    rig.timers.Fire(5);
    EXPECT_TRUE(rig.tray.icons.contains(128));
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "1"); // seeded by the re-detection
    EXPECT_EQ(rig.timers.Period(6), 2000u);
    EXPECT_FALSE(Running(5));
}

TEST_F(MainDialogTest, OnlyDoubleClickAndRightReleaseOnTheTrayAct)
{
    Start();
    for (TrayMouse mouse :
         {TrayMouse::Move, TrayMouse::LeftButtonDown, TrayMouse::LeftButtonUp,
          TrayMouse::RightButtonDown, TrayMouse::RightDoubleClick, TrayMouse::MiddleButtonUp})
        rig.tray.Notify(mouse);
    rig.tray.Notify(TrayMouse::LeftDoubleClick, 0x0401);    // not our message
    rig.tray.Notify(TrayMouse::LeftDoubleClick, 0x040A, 7); // not our icon
    EXPECT_TRUE(dlg.firstShowPending());
    EXPECT_TRUE(rig.tray.menus.empty());
    EXPECT_FALSE(rig.pages.windowVisible);

    rig.tray.menuAnswer = 0; // dismissed
    rig.tray.Notify(TrayMouse::RightButtonUp);
    ASSERT_EQ(rig.tray.menus.size(), 1u);
    EXPECT_EQ(rig.tray.menus[0].name, "POP");
    EXPECT_FALSE(dlg.firstShowPending());
    EXPECT_FALSE(rig.pages.windowVisible);

    rig.tray.menuAnswer = 32772; // "Verfügbares Netzwerk anzeigen"
    rig.tray.Notify(TrayMouse::RightButtonUp);
    EXPECT_EQ(rig.pages.main.pageId, 237);
    EXPECT_TRUE(rig.pages.windowVisible);
    EXPECT_EQ(rig.timers.Period(1), 300u);
}

TEST_F(MainDialogTest, AboutBoxHelpAndIgnoredTimers)
{
    Start();
    rig.tray.Notify(TrayMouse::LeftDoubleClick);

    rig.pages.dialogScript = [](test::FakePageHost& host) { host.ClickInDialog("ImageClose"); };
    rig.pages.Click("AboutImage");
    ASSERT_EQ(rig.pages.dialogs, std::vector<int>{109});
    EXPECT_EQ(rig.pages.dialogResult, kDialogOk);
    const std::string version = AboutDialog::FormatDriverVersion(dlg.api().QueryWL_DriverVersion());
    EXPECT_EQ(rig.pages.dialog.values, (PageValues{{"TextDriverVersion", version}}));

    rig.shell.executable = "/usr/lib/kesto/bin/kesto-utility";
    rig.pages.Click("MailImage");
    EXPECT_EQ(rig.shell.opened, std::vector<std::string>{"/usr/lib/kesto/bin/KestoR-450.chm"});

    rig.wlan.clearCalls();
    const auto timers = rig.timers.running;
    const auto pages = rig.pages.shownPages;
    for (int id : {0, 3, 9, -1, 1000})
        rig.timers.Fire(id);
    EXPECT_TRUE(rig.wlan.calls().empty());
    EXPECT_EQ(rig.timers.running, timers);
    EXPECT_EQ(rig.pages.shownPages, pages);
}

TEST_F(MainDialogTest, WithoutANotificationAreaTheWindowShowsAtStart)
{
    rig.tray.refuse = true;
    Start();
    EXPECT_TRUE(rig.pages.windowVisible);
    EXPECT_TRUE(dlg.windowShown());
}

} // namespace
} // namespace kesto
