// The main window driven as the desktop would drive it: start-up on the real store and
// the simulated adapter, tray events, tabs, mode switches, hiding, the exit watch and
// the adapter leaving and coming back.
#include "app/MainDialog.h"
#include "app/AboutDialog.h"
#include "profiles/ProfileList.h"
#include "tests/support/ShellRig.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <optional>
#include <string>

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
    // The window's initialisation with the adapter's settle run.
    MainDialog& Start()
    {
        dlg.OnInitDialog();
        rig.clock.Settle();
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
    dlg.OnInitDialog();
    // The adapter settles before the tray icon and the station start.
    EXPECT_EQ(rig.clock.pauses(), std::vector<std::uint32_t>{200});
    EXPECT_TRUE(rig.tray.icons.empty());
    EXPECT_TRUE(rig.Calls("SetWL_OperationMode_STA_AP").empty());
    rig.clock.Advance(200);
    EXPECT_FALSE(dlg.modeStepPending());
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "1");
    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 1");
    EXPECT_EQ(rig.Product("ProfileLink 1"), "Default");
    EXPECT_EQ(rig.Product("Exit Utility"), "0");
    EXPECT_EQ(rig.Product("Mode"), "Station Mode");
    EXPECT_EQ(rig.work.ActiveProfileName, "Default");
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"0"}}));
    // The first-run profile names no network: the store's "any network", which the
    // adapter is asked for, without a word.
    EXPECT_EQ(rig.Calls("SetWL_SSID"), (std::vector<std::vector<std::string>>{{""}}));
    EXPECT_TRUE(rig.dialogs.messages.empty());

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
    EXPECT_EQ(rig.clock.pauses(), std::vector<std::uint32_t>{200});

    // The tray update shows the link state, on the tray and on the window alike.
    rig.clock.Advance(5000);
    rig.timers.Fire(4);
    EXPECT_EQ(rig.tray.icons[128].picture, rig.pages.windowIcons.back());
    EXPECT_NE(rig.tray.icons[128].picture, 274);
}

TEST_F(MainDialogTest, StartWithADefaultProfileTheAdapterRefusesSaysSo)
{
    StoreMode("Station Mode");
    ProfileRecord profile = rig.store.ReadProfile("Default");
    profile.SSID = "Cafe-Lindenhof";
    profile.AuthenticationMode = 1;
    profile.KeyLength = 3;
    profile.NetWorkKey1 = std::string(29, 'k');
    rig.store.WriteProfile(profile);
    rig.EditScenario([](nlohmann::json& s) { s["adapters"][0]["maxWepKeyBits"] = 128; });
    Start();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, ApplyFaultMessage(ApplyFault::KeyRefused));
    EXPECT_EQ(rig.Calls("SetWL_SSID"), (std::vector<std::vector<std::string>>{{"Cafe-Lindenhof"}}));
}

TEST_F(MainDialogTest, StartInApModeAppliesItBeforeTheFirstRestore)
{
    StoreMode("AP Mode");
    Start();
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"1"}}));
    EXPECT_EQ(rig.clock.pauses(), (std::vector<std::uint32_t>{200, 1000}));
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
        rig.clock.Settle();
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
    rig.clock.Settle();
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

    auto pausesSince = [this](std::size_t mark) {
        const auto& all = rig.clock.pauses();
        return std::vector<std::uint32_t>(all.begin() + static_cast<std::ptrdiff_t>(mark),
                                          all.end());
    };
    std::size_t mark = rig.clock.pauses().size();
    rig.pages.Click("ImageAPRadio");
    EXPECT_TRUE(dlg.apModeActive());
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"1"}}));
    // The adapter settles for 1000 ms before its settings go in.
    EXPECT_EQ(pausesSince(mark), std::vector<std::uint32_t>{1000});
    EXPECT_TRUE(rig.Calls("SetWL_SSID").empty());
    EXPECT_EQ(rig.pages.main.pageId, 236);
    rig.clock.Advance(1000);
    EXPECT_FALSE(dlg.modeStepPending());
    EXPECT_EQ(rig.Calls("SetWL_SSID").size(), 1u);
    rig.clock.Settle();
    // Then the status refresh settles once.
    EXPECT_EQ(pausesSince(mark), (std::vector<std::uint32_t>{1000, 100}));
    EXPECT_EQ(rig.timers.running, (std::map<int, std::uint32_t>{{6, 2000}, {8, 2000}}));
    EXPECT_EQ(rig.pages.main.pageId, 261);
    EXPECT_EQ(rig.tray.icons[128].picture, 274);
    EXPECT_EQ(rig.stationList.placement, (std::array{530, 154, 182, 149}));

    rig.wlan.clearCalls();
    rig.pages.Click("ImageAPRadio"); // already AP: nothing
    EXPECT_TRUE(rig.wlan.calls().empty());

    mark = rig.clock.pauses().size();
    rig.pages.Click("ImageStationRadio");
    EXPECT_FALSE(dlg.apModeActive());
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"0"}}));
    rig.clock.Advance(200);
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP"),
              (std::vector<std::vector<std::string>>{{"0"}, {"0"}})); // switch, then the profile
    EXPECT_EQ(pausesSince(mark), std::vector<std::uint32_t>{200});
    EXPECT_EQ(rig.timers.running,
              (std::map<int, std::uint32_t>{{1, 300}, {2, 1000}, {4, 1000}, {6, 2000}, {7, 300}}));
    EXPECT_EQ(rig.pages.main.pageId, 236);
    EXPECT_EQ(rig.Product("Mode"), "Station Mode");
}

// A switch moves the interface between the daemons: while the system's wireless service
// controls the adapter it is refused as joins are, from the window's radio images with
// the message and from the session service with the refusal, both ways, and nothing
// reaches the adapter.
TEST_F(MainDialogTest, ModeSwitchesWaitForTheSystemsServiceToLetGo)
{
    Start();
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    auto service = [this](const char* state) {
        rig.EditScenario([state](nlohmann::json& s) { s["system"]["wirelessService"] = state; });
    };
    for (const bool toAp : {true, false}) {
        SCOPED_TRACE(toAp ? "to the access point" : "to the station");
        service("controlling");
        rig.wlan.clearCalls();
        rig.dialogs.messages.clear();
        rig.pages.Click(toAp ? "ImageAPRadio" : "ImageStationRadio");
        bool told = false;
        const Refused refused = dlg.SwitchMode(toAp, [&](bool) { told = true; });
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->name, "ServiceConflict");
        EXPECT_FALSE(told);
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_EQ(rig.dialogs.messages[0].text, kServiceConflictMessage);
        EXPECT_FALSE(dlg.modeStepPending());
        EXPECT_EQ(dlg.apModeActive(), !toAp);
        EXPECT_TRUE(rig.Calls("SetWL_OperationMode_STA_AP").empty());
        EXPECT_EQ(rig.Product("Mode"), toAp ? "Station Mode" : "AP Mode");

        service("not-controlling");
        rig.pages.Click(toAp ? "ImageAPRadio" : "ImageStationRadio");
        rig.clock.Settle();
        EXPECT_EQ(rig.Product("Mode"), toAp ? "AP Mode" : "Station Mode");
    }
}

// What happens while the adapter settles into a mode: the page's clicks are not taken
// (they act on a page about to go), the timers but the exit watch do nothing, a restore
// waits for the mode to be in, a window hidden meanwhile keeps its monitor stopped; an
// adapter lost or the end drops the switch undone, and the mode stays the stored one.
struct WhileSettling {
    const char* name;
    bool toAp; // the switch to the access point, else back to the station
    std::function<void(test::ShellRig&)> act;
    bool switched;
    int page;
    bool visible;
    std::optional<std::map<int, std::uint32_t>> timers; // nullopt: not looked at
};

void PrintTo(const WhileSettling& c, std::ostream* os)
{
    *os << c.name;
}

class MainDialogWhileSettlingTest : public MainDialogTest,
                                    public testing::WithParamInterface<WhileSettling> {};

TEST_P(MainDialogWhileSettlingTest, TakesOnlyWhatFitsAModeHalfEntered)
{
    const WhileSettling& c = GetParam();
    Start();
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    if (!c.toAp)
        rig.pages.Click("ImageAPRadio");
    rig.clock.Settle();
    const std::string from = c.toAp ? "Station Mode" : "AP Mode";
    const std::string to = c.toAp ? "AP Mode" : "Station Mode";
    const int fromPage = rig.pages.main.pageId;

    rig.pages.Click(c.toAp ? "ImageAPRadio" : "ImageStationRadio");
    ASSERT_TRUE(dlg.modeStepPending());
    rig.wlan.clearCalls(); // the click's own calls: the service check, the switch
    c.act(rig);
    EXPECT_EQ(rig.pages.main.pageId, fromPage);
    for (const auto& call : rig.wlan.calls())
        EXPECT_TRUE(call.name == "SetWL_OperationMode_STA_AP" || call.name == "QV_GetOSVersion" ||
                    call.name == "QueryWL_Channel" || call.name == "QvCloseAdapter")
            << call.name << " while the adapter settles";
    rig.clock.Settle();

    EXPECT_EQ(rig.Product("Mode"), c.switched ? to : from);
    EXPECT_EQ(dlg.apModeActive(), c.switched == c.toAp);
    EXPECT_EQ(rig.pages.main.pageId, c.page);
    EXPECT_EQ(rig.pages.windowVisible, c.visible);
    if (c.timers) {
        EXPECT_EQ(rig.timers.running, *c.timers);
    }
}

void HideAndRestore(test::ShellRig& r)
{
    r.pages.listener->OnWindowEvent(WindowEvent::Minimise);
    r.tray.Notify(TrayMouse::LeftDoubleClick);
}

using Timers = std::map<int, std::uint32_t>;

INSTANTIATE_TEST_SUITE_P(
    Modes, MainDialogWhileSettlingTest,
    testing::Values(WhileSettling{"ClickOnTheOldPage", true,
                                  [](test::ShellRig& r) { r.pages.Click("ButtonTab3"); }, true, 261,
                                  true, Timers{{6, 2000}, {8, 2000}}},
                    WhileSettling{"TimerTicks", true,
                                  [](test::ShellRig& r) {
                                      for (int id : {1, 2, 4, 5, 7, 8})
                                          r.timers.Fire(id);
                                  },
                                  true, 261, true, Timers{{6, 2000}, {8, 2000}}},
                    WhileSettling{"HiddenAndRestored", true, HideAndRestore, true, 261, true,
                                  Timers{{6, 2000}, {8, 2000}}},
                    WhileSettling{"HiddenBackToTheStation", false,
                                  [](test::ShellRig& r) {
                                      r.pages.listener->OnWindowEvent(WindowEvent::Minimise);
                                  },
                                  true, 236, false, Timers{{4, 1000}, {6, 2000}}},
                    WhileSettling{"RestoredBackToTheStation", false, HideAndRestore, true, 236,
                                  true,
                                  Timers{{1, 300}, {2, 1000}, {4, 1000}, {6, 2000}, {7, 300}}},
                    WhileSettling{"AdapterLost", true,
                                  [](test::ShellRig& r) {
                                      r.SetAdaptersPresent(false);
                                      r.timers.Fire(kTimerExitWatch);
                                  },
                                  false, 236, false, Timers{{5, 5000}}},
                    WhileSettling{"Exit", false,
                                  [](test::ShellRig& r) {
                                      r.tray.menuAnswer = 32771;
                                      r.tray.Notify(TrayMouse::RightButtonUp);
                                  },
                                  false, 261, true, std::nullopt}),
    [](const testing::TestParamInfo<WhileSettling>& p) { return std::string(p.param.name); });

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
        r.clock.Settle();
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
