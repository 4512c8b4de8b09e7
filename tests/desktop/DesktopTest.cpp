// End-to-end: the real tray process and the real window process with the real pages,
// a scratch store and the simulated adapter. Input goes in as real mouse clicks and key
// presses on real page elements; results are read from the store file, the adapter's
// call log and what the window shows.
//
// Offscreen.* run on the offscreen platform, which has no notification area: the
// program shows its window at start. Tray.* need a display with a tray host, and
// WindowManager.* one with a window manager and no notification area (the
// with-desktop.sh wrapper runs them under a virtual X server with trayer or openbox);
// both are skipped elsewhere.
#include "profiles/ProfileList.h"
#include "profiles/ProfileStore.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/UtilityRig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>

#include <csignal>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kesto::test {
namespace {

bool IsMain(const QJsonObject& state, int pageId)
{
    const QJsonObject main = state["main"].toObject();
    return main["page"].toInt() == pageId && main["ready"].toBool();
}

// The first call at or after from whose text starts with prefix, as a readable failure.
testing::AssertionResult CalledAfter(UtilityRig& rig, const std::string& prefix, std::size_t from)
{
    if (rig.WaitForCall(prefix, from))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no call " << prefix << " after call #" << from;
}

// A store seeded as on a first run, with the default profile's adapter settings
// changed, so the adapter page has values to show that did not come from the page.
void SeedStore(const std::string& file)
{
    SqliteRegistry registry(file);
    ProfileStore store(registry);
    WorkingRecords work;
    FakeDialogs dialogs;
    ProfileList(store, work, dialogs, "kesto-utility").CreateFirstRunStore();
    ProfileRecord record = store.ReadProfile("Default");
    record.SSID = "Cafe-Lindenhof"; // a profile without a network name reaches no adapter
    record.TxRate = 5;
    record.Preamble = 1;
    record.PSMode = 1;
    store.WriteProfile(record);
}

TEST(Offscreen, WithoutATrayTheWindowShowsAtStartAndMinimisesInsteadOfHiding)
{
    UtilityRig rig(true);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    QJsonObject state;
    ASSERT_TRUE(rig.WaitForMainPage(236, &state)) << rig.Output().toStdString();
    EXPECT_EQ(At(state, "main", "title").toString(), "Corvane Utility");
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "ProfileLink 1"), "Default");
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "Mode"), "Station Mode");
    // The page fills the window's height, which depends on the system and the frame the
    // window gets: no strip under the sidebar.
    const auto sidebar = rig.driver().Request(
        {{"op", "js"},
         {"surface", "main"},
         {"code", "[document.querySelector('.side').getBoundingClientRect().bottom,"
                  " window.innerHeight]"}});
    ASSERT_TRUE(sidebar.has_value());
    const QJsonArray bottoms = sidebar->value("value").toArray();
    ASSERT_EQ(bottoms.size(), 2) << QJsonDocument(*sidebar).toJson().toStdString();
    EXPECT_GE(bottoms[0].toDouble(), bottoms[1].toDouble())
        << "the sidebar ends above the window's bottom edge";

    ASSERT_TRUE(rig.Key("Escape"));
    EXPECT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        return At(s, "main", "minimised").toBool() && At(s, "main", "visible").toBool();
    })) << "with nowhere to hide to, the window goes to the taskbar";
    EXPECT_TRUE(rig.TrayRunning());
}

// --- with a window manager and no notification area ---

class WindowManager : public testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("KESTO_E2E_WM"))
            GTEST_SKIP() << "needs a display with a window manager and no tray host (run "
                            "through with-desktop.sh window-manager)";
    }

    static QString MainWindowId()
    {
        QProcess search;
        search.start("xdotool", {"search", "--name", "^Corvane Utility$"});
        search.waitForFinished(5000);
        return QString::fromLatin1(search.readAllStandardOutput()).split('\n').value(0).trimmed();
    }
    // What the window manager does for the title bar's minimise button (iconify), and
    // for the window's entry in a task list (activate, which brings it back).
    static bool Minimise(const QString& window)
    {
        return QProcess::execute("xdotool", {"windowminimize", window}) == 0;
    }
    static bool Activate(const QString& window)
    {
        return QProcess::execute("xdotool", {"windowactivate", window}) == 0;
    }
    static bool Minimised(UtilityRig& rig, bool minimised)
    {
        return rig.WaitForState([minimised](const QJsonObject& s) {
            return At(s, "main", "visible").toBool() &&
                   At(s, "main", "minimised").toBool() == minimised;
        });
    }
    // The calls from index from on that only the status page's monitor makes (timers 1,
    // 2 and 7).
    static std::vector<std::string> MonitorReads(UtilityRig& rig, std::size_t from)
    {
        std::vector<std::string> reads;
        const auto calls = rig.Calls();
        for (std::size_t i = from; i < calls.size(); ++i)
            for (const char* prefix :
                 {"QueryWL_AuthenticationMode(", "QueryWL_CommQuality(", "ReadOid("})
                if (calls[i].starts_with(prefix))
                    reads.push_back(calls[i]);
        return reads;
    }
    static void Pause(int ms)
    {
        SpinUntil([] { return false; }, ms);
    }
};

// The minimise button (the window manager iconifies the window) stops the monitor's
// timers, as Escape and the close button do, also when it is pressed while the window is
// being brought back and its restore's survey scan is under way: no reading of the
// monitor follows, and the window stays minimised.
TEST_F(WindowManager, MinimiseStopsTheMonitor)
{
    UtilityRig rig(false);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    const QString window = MainWindowId();
    ASSERT_FALSE(window.isEmpty());
    const auto minimise = [&rig, &window] { return Minimise(window) && Minimised(rig, true); };
    // The monitor's readings from a moment after the window said it was minimised (the
    // tray program takes that in) for longer than its timers' periods.
    const auto readsWhileMinimised = [&rig] {
        Pause(200);
        const std::size_t mark = rig.Calls().size();
        Pause(2500);
        return MonitorReads(rig, mark);
    };
    ASSERT_TRUE(minimise());
    EXPECT_EQ(readsWhileMinimised(), std::vector<std::string>());

    bool pressedDuringTheScan = false;
    for (int attempt = 0; attempt < 3 && !pressedDuringTheScan; ++attempt) {
        const std::size_t mark = rig.Calls().size();
        ASSERT_TRUE(Activate(window));
        const auto scan = rig.WaitForCall("WL_SiteSurveyStart(", mark);
        ASSERT_TRUE(scan) << "a restore in station mode scans";
        ASSERT_TRUE(Minimised(rig, false)) << "the window manager brought it back";
        ASSERT_TRUE(minimise());
        pressedDuringTheScan = !rig.WaitForCall("WL_RetrieveSiteSurveyData(", *scan, 0);
        EXPECT_EQ(readsWhileMinimised(), std::vector<std::string>());
        EXPECT_TRUE(At(rig.State(), "main", "minimised").toBool()) << "the window stays minimised";
    }
    EXPECT_TRUE(pressedDuringTheScan) << "the minimise never came while the scan ran";
    EXPECT_TRUE(rig.TrayRunning());
}

TEST(Offscreen, ExitRequestFromAnotherStartEndsTheRunningProgram)
{
    UtilityRig rig(true);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    // The request needs no display: it only writes to the store, the running program's
    // own when the request names none.
    EXPECT_EQ(rig.RunSecond({"-exit"}, false), 0);
    EXPECT_TRUE(rig.WaitForEnd()) << "the running program watches for the request";
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "Exit Utility"), "1");
    // With nothing running, a request says so, fails, and makes no store of its own.
    EXPECT_EQ(rig.RunSecond({"/EXIT"}, false), 1);
    EXPECT_EQ(rig.RunSecond({"/EXIT"}), 1);
    EXPECT_FALSE(std::filesystem::exists(rig.dir().file("config/kesto")));
}

TEST(Offscreen, TabSwitchesShowTheirPagesWithTheStoredSettings)
{
    UtilityRig rig(true);
    SeedStore(rig.dir().file("registry.db").string());
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    // The stored profile went to the adapter at start.
    EXPECT_TRUE(CalledAfter(rig, "SetWL_PreambleMode(1)", 0));

    QJsonObject state;
    ASSERT_TRUE(rig.Click("ButtonTab2"));
    ASSERT_TRUE(rig.WaitForMainPage(237, &state));
    const QJsonObject survey = At(state, "lists", "1009").toObject();
    EXPECT_EQ(survey["x"].toInt(), 201);
    EXPECT_EQ(survey["y"].toInt(), 146);
    EXPECT_EQ(survey["width"].toInt(), 299);
    EXPECT_EQ(survey["height"].toInt(), 170);

    ASSERT_TRUE(rig.Click("ButtonTab3"));
    ASSERT_TRUE(rig.WaitForMainPage(238));

    ASSERT_TRUE(rig.Click("ButtonTab4"));
    ASSERT_TRUE(rig.WaitForMainPage(239, &state));
    EXPECT_FALSE(At(state, "lists", "1009", "visible").toBool()) << "a tab hides the lists";
    EXPECT_EQ(rig.Value("SelectRate", "main"), QJsonValue(5));
    EXPECT_EQ(rig.Value("SelectPreamble", "main"), QJsonValue(1));
    EXPECT_EQ(rig.Value("SelectSaving", "main"), QJsonValue(1));

    const std::size_t before = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonTab1"));
    ASSERT_TRUE(rig.WaitForMainPage(236));
    // The status page takes its counter baseline from the adapter.
    EXPECT_TRUE(CalledAfter(rig, "ReadOid(", before));
}

TEST(Offscreen, ModeSwitchToTheAccessPointAndBack)
{
    UtilityRig rig(true);
    SeedStore(rig.dir().file("registry.db").string());
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();

    std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ImageAPRadio"));
    ASSERT_TRUE(rig.WaitForMainPage(261));
    EXPECT_TRUE(CalledAfter(rig, "SetWL_OperationMode_STA_AP(1)", mark));
    EXPECT_FALSE(rig.Click("ButtonTab1")) << "the access point's pages have no station tabs";

    mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ImageStationRadio"));
    ASSERT_TRUE(rig.WaitForMainPage(236));
    const auto back = rig.WaitForCall("SetWL_OperationMode_STA_AP(0)", mark);
    ASSERT_TRUE(back);
    // The station start applies the default profile again.
    EXPECT_TRUE(CalledAfter(rig, "SetWL_SSID(", *back));
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "Mode"), "Station Mode");

    // Clicking the mode that is on already does nothing.
    mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ImageStationRadio"));
    ASSERT_TRUE(rig.Click("ButtonTab3"));
    ASSERT_TRUE(rig.WaitForMainPage(238));
    for (std::size_t i = mark; i < rig.Calls().size(); ++i)
        EXPECT_FALSE(rig.Calls()[i].starts_with("SetWL_OperationMode_STA_AP")) << rig.Calls()[i];
}

TEST(Offscreen, AboutBoxShowsTheDriverVersion)
{
    UtilityRig rig(true);
    rig.EditScenario([](QJsonObject& scenario) {
        QJsonArray adapters = scenario["adapters"].toArray();
        QJsonObject adapter = adapters[0].toObject();
        adapter["driverVersion"] = "1.2.53.12"; // packed 0x01023512
        adapters[0] = adapter;
        scenario["adapters"] = adapters;
    });
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("AboutImage"));
    QJsonObject state;
    ASSERT_TRUE(rig.WaitForState(
        [](const QJsonObject& s) {
            return At(s, "dialog", "open").toBool() && At(s, "dialog", "page").toInt() == 109 &&
                   At(s, "dialog", "ready").toBool();
        },
        &state));
    EXPECT_TRUE(CalledAfter(rig, "QueryWL_DriverVersion()", mark));
    EXPECT_EQ(rig.Value("TextDriverVersion", "dialog"), QJsonValue("1.2.0512.2003"));

    ASSERT_TRUE(rig.Click("ImageClose", "dialog"));
    EXPECT_TRUE(
        rig.WaitForState([](const QJsonObject& s) { return !At(s, "dialog", "open").toBool(); }));

    // Escape closes it as well, and the main window stays as it was.
    ASSERT_TRUE(rig.Click("AboutImage"));
    ASSERT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        return At(s, "dialog", "open").toBool() && At(s, "dialog", "ready").toBool();
    }));
    ASSERT_TRUE(rig.Key("Escape", "dialog"));
    EXPECT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        return !At(s, "dialog", "open").toBool() && IsMain(s, 236) &&
               At(s, "main", "visible").toBool() && !At(s, "main", "minimised").toBool();
    }));
}

TEST(Offscreen, ChartWindowDrawsTheThroughputOverItsPage)
{
    UtilityRig rig(true);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();

    // The status page fills with the network the default profile (no name: any open
    // network) joined, and the first throughput reading after the baseline counts the
    // scenario's traffic.
    QJsonObject page;
    ASSERT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) {
            return v["TextNetworkName"].toString() == "Cafe-Lindenhof" &&
                   v["TextReceiveRate"].toString().endsWith(" kbps") &&
                   v["TextReceiveRate"].toString() != "0 kbps";
        },
        &page))
        << QJsonDocument(page).toJson().toStdString() << rig.Output().toStdString();
    const auto text = [&page](const char* id) { return page[QLatin1String(id)].toString(); };
    EXPECT_EQ(text("TextProfileName"), "Default");
    EXPECT_EQ(text("TextstationAPMac"), "0A:3C:71:00:00:01");
    EXPECT_EQ(text("TextNetworkType"), "Infrastruktur(BSS)");
    EXPECT_EQ(text("TextChannel"), "1");
    EXPECT_TRUE(text("TextTransRate").endsWith(" Mbps")) << text("TextTransRate").toStdString();
    EXPECT_TRUE(
        QStringList({"802.11b", "802.11g", "Gemischtmodus"}).contains(text("TextNetworkMode")))
        << text("TextNetworkMode").toStdString();
    EXPECT_EQ(text("TextSecurity"), "Deaktiviert") << "an open network";
    EXPECT_TRUE(text("TextLinkQual").endsWith(" dBm")) << text("TextLinkQual").toStdString();
    EXPECT_EQ(text("ImageSignStr01"), "./images/#155") << "a strong signal lights the bars";
    EXPECT_EQ(text("ImageLinkQual01"), "./images/#155");
    EXPECT_TRUE(text("TextTransmitRate").endsWith(" kbps"))
        << text("TextTransmitRate").toStdString();
    if (const QByteArray shots = qgetenv("KESTO_E2E_SCREENSHOTS"); !shots.isEmpty())
        rig.driver().Request({{"op", "grab"},
                              {"surface", "main"},
                              {"file", QString::fromLocal8Bit(shots) + "/status-236.png"}});

    ASSERT_TRUE(rig.Click("ButtonChart"));
    QJsonObject state;
    // The chart window takes its first reading at once and then one every few seconds.
    ASSERT_TRUE(rig.WaitForState(
        [](const QJsonObject& s) {
            return At(s, "dialog", "page").toInt() == 107 &&
                   At(s, "dialog", "charts").toObject()["1004"].toObject()["points"].toInt() >= 2 &&
                   At(s, "dialog", "charts").toObject()["1007"].toObject()["points"].toInt() >= 2;
        },
        &state))
        << QJsonDocument(state).toJson().toStdString() << rig.Output().toStdString();
    const QJsonObject transmit = At(state, "dialog", "charts").toObject()["1004"].toObject();
    EXPECT_GT(transmit["width"].toInt(), 0);
    EXPECT_GT(transmit["height"].toInt(), 0);
    EXPECT_GT(transmit["upper"].toDouble(), 0.0) << "the chart took the style the core gave";
    if (const QByteArray shots = qgetenv("KESTO_E2E_SCREENSHOTS"); !shots.isEmpty())
        rig.driver().Request({{"op", "grab"},
                              {"surface", "dialog"},
                              {"file", QString::fromLocal8Bit(shots) + "/chart-107.png"}});

    ASSERT_TRUE(rig.Key("Escape", "dialog"));
    EXPECT_TRUE(
        rig.WaitForState([](const QJsonObject& s) { return !At(s, "dialog", "open").toBool(); }));
}

// --- with a notification area ---

class Tray : public testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("KESTO_E2E_TRAY"))
            GTEST_SKIP() << "needs a display with a tray host (run through with-desktop.sh tray)";
    }

    // The icon's window in the tray host; 0 while there is none.
    static QString TrayIconWindow()
    {
        QProcess search;
        search.start("xdotool", {"search", "--class", "kesto-utility"});
        search.waitForFinished(5000);
        return QString::fromLatin1(search.readAllStandardOutput()).split('\n').value(0).trimmed();
    }
    static bool WaitForTrayIcon()
    {
        return SpinUntil([] { return !TrayIconWindow().isEmpty(); }, kStartTimeoutMs);
    }
    static bool DoubleClickTrayIcon()
    {
        const QString window = TrayIconWindow();
        if (window.isEmpty())
            return false;
        return QProcess::execute("xdotool", {"mousemove", "--window", window, "8", "8", "click",
                                             "--repeat", "2", "--delay", "80", "1"}) == 0;
    }
};

TEST_F(Tray, RestoreFromTheTrayAndEscapeHides)
{
    UtilityRig rig(false);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(WaitForTrayIcon()) << rig.Output().toStdString();
    EXPECT_EQ(rig.driver().connections(), 0) << "no window process before the first show";

    ASSERT_TRUE(DoubleClickTrayIcon());
    ASSERT_TRUE(rig.driver().WaitForConnections(1, kStartTimeoutMs));
    QJsonObject state;
    ASSERT_TRUE(rig.WaitForMainPage(236, &state)) << rig.Output().toStdString();
    EXPECT_EQ(At(state, "main", "title").toString(), "Corvane Utility");

    ASSERT_TRUE(rig.Key("Escape"));
    EXPECT_TRUE(
        rig.WaitForState([](const QJsonObject& s) { return !At(s, "main", "visible").toBool(); }));
    EXPECT_TRUE(rig.TrayRunning());
    EXPECT_FALSE(TrayIconWindow().isEmpty()) << "the icon stays";

    ASSERT_TRUE(DoubleClickTrayIcon());
    EXPECT_TRUE(rig.WaitForMainPage(236));
    EXPECT_EQ(rig.driver().connections(), 1) << "the hidden window was kept, not restarted";
}

TEST_F(Tray, KilledWindowProcessComesBackOnTheNextShowWithItsPage)
{
    UtilityRig rig(false);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(WaitForTrayIcon());
    ASSERT_TRUE(DoubleClickTrayIcon());
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    ASSERT_TRUE(rig.Click("ButtonTab3"));
    QJsonObject before;
    ASSERT_TRUE(rig.WaitForMainPage(238, &before));

    const auto pid = static_cast<pid_t>(before["pid"].toInteger());
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    ASSERT_TRUE(SpinUntil([&] { return ::kill(pid, 0) != 0; }, kStepTimeoutMs));
    for (int i = 0; i < 20; ++i)
        SpinUntil([] { return false; }, 50);
    EXPECT_TRUE(rig.TrayRunning()) << "the tray process outlives its window";

    ASSERT_TRUE(DoubleClickTrayIcon());
    ASSERT_TRUE(rig.driver().WaitForConnections(2, kStartTimeoutMs)) << rig.Output().toStdString();
    QJsonObject after;
    ASSERT_TRUE(rig.WaitForMainPage(238, &after)) << "the page it had comes back";
    EXPECT_NE(after["pid"].toInteger(), before["pid"].toInteger());
    EXPECT_EQ(At(after, "lists", "1009", "x"), At(before, "lists", "1009", "x"));
    EXPECT_EQ(At(after, "lists", "1009", "visible"), At(before, "lists", "1009", "visible"));
    EXPECT_EQ(At(after, "lists", "1009", "rows"), At(before, "lists", "1009", "rows"));

    // It works as before: a tab switch goes through.
    ASSERT_TRUE(rig.Click("ButtonTab4"));
    EXPECT_TRUE(rig.WaitForMainPage(239));
}

} // namespace
} // namespace kesto::test
