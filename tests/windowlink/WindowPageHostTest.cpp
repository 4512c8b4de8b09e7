// The page host of the tray process against a window process played by the test: what
// reaches the window and when, what a new window process gets back, which events reach
// the core from which loop, and how the modal runs end.
#include "windowlink/WindowPageHost.h"
#include "platform/ListControlIds.h"
#include "tests/windowlink/FakeWindowLink.h"
#include "windowlink/WindowChartHost.h"
#include "windowlink/WindowListControl.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace kesto {
namespace {

using test::FakeWindowLink;

struct Recorded {
    int pageId;
    std::string id;
    ElementEvent event;
    PageValues values;
};

class RecordingListener : public PageHostListener {
public:
    void OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                        const PageValues& values) override
    {
        elements.push_back({pageId, std::string(elementId), event, values});
        if (onElement)
            onElement();
    }
    void OnWindowEvent(WindowEvent event) override { windowEvents.push_back(event); }

    std::vector<Recorded> elements;
    std::vector<WindowEvent> windowEvents;
    std::function<void()> onElement;
};

class RecordingSink : public PageEventSink {
public:
    void OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                        const PageValues& values) override
    {
        elements.push_back({pageId, std::string(elementId), event, values});
        if (onElement)
            onElement(elementId);
    }
    std::vector<Recorded> elements;
    std::function<void(std::string_view)> onElement;
};

QJsonObject ElementEventJson(const char* surface, int page, const char* id, const char* event,
                             QJsonArray values = {})
{
    return {{QStringLiteral("e"), QStringLiteral("element")},
            {QStringLiteral("surface"), QLatin1String(surface)},
            {QStringLiteral("page"), page},
            {QStringLiteral("id"), QLatin1String(id)},
            {QStringLiteral("event"), QLatin1String(event)},
            {QStringLiteral("values"), values}};
}

QJsonObject WindowEventJson(const char* event)
{
    return {{QStringLiteral("e"), QStringLiteral("window")},
            {QStringLiteral("event"), QLatin1String(event)}};
}

// Runs step from inside the event loop that the test is about to enter.
void Soon(std::function<void()> step)
{
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(step));
}

// Processes events until done() holds; false when it does not within a generous bound.
bool WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 500 && !done(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        if (!done())
            QThread::msleep(5);
    }
    return done();
}

class WindowPageHostTest : public testing::Test {
protected:
    WindowPageHostTest()
    {
        host.SetListener(&listener);
        host.SetLingerMs(-1);
    }

    FakeWindowLink link;
    EventGate gate;
    WindowPageHost host{link, gate};
    WindowListControl survey{host, kSurveyListControl};
    WindowListControl station{host, kStationListControl};
    RecordingListener listener;
};

TEST_F(WindowPageHostTest, StartsTheWindowOnlyWhenItIsFirstShownAndGivesItEverything)
{
    host.SetWindowSize(753, 492);
    host.SetWindowIcon(272);
    host.ShowWindow(false);
    host.ShowPage(HtmlSurface::MainWindow, 236, {{"TextProfileName", std::string("Default")}});
    survey.Place(201, 146, 299, 170);
    survey.SetColumns({{"SSID", 100, false}});
    host.BringToForeground();
    EXPECT_EQ(link.starts, 0);
    EXPECT_TRUE(link.commands.empty());

    host.ShowWindow(true);
    EXPECT_EQ(link.starts, 1);
    const std::vector<QString> expected{"size",         "icon",         "page",      "list:place",
                                        "list:columns", "list:rows",    "list:grid", "list:fullRow",
                                        "list:show",    "list:columns", "list:rows", "list:grid",
                                        "list:fullRow", "list:show",    "window",    "raise"};
    EXPECT_EQ(link.Names(), expected);
    EXPECT_EQ(link.Last("window").value("state").toString(), "normal");
    EXPECT_EQ(link.Last("size").value("height").toInt(), 492);
    const QJsonObject page = link.Last("page");
    EXPECT_EQ(page.value("page").toInt(), 236);
    EXPECT_EQ(page.value("values").toArray(),
              (QJsonArray{QJsonArray{"TextProfileName", "Default"}}));
}

TEST_F(WindowPageHostTest, ShowingAgainAfterTheWindowDiedBringsBackThePageWithTheUsersInput)
{
    host.ShowPage(HtmlSurface::MainWindow, 256, {{"TextAddProfile", std::string("")}});
    host.ShowWindow(true);
    link.Emit(
        ElementEventJson("main", 256, "TextAddProfile", "keyup",
                         {QJsonArray{"TextAddProfile", "B\u00fcro"}, QJsonArray{"RadioGroup", 1}}));
    link.Die();
    EXPECT_EQ(link.starts, 1) << "a dead window comes back on the next show, not before";

    link.commands.clear();
    host.ShowWindow(true);
    EXPECT_EQ(link.starts, 2);
    const QJsonObject page = link.Last("page");
    EXPECT_EQ(page.value("page").toInt(), 256);
    EXPECT_EQ(page.value("values").toArray(),
              (QJsonArray{QJsonArray{"TextAddProfile", "B\u00fcro"}, QJsonArray{"RadioGroup", 1}}));
    EXPECT_EQ(link.Last("window").value("state").toString(), "normal");
}

TEST_F(WindowPageHostTest, ElementEventsReachTheCoreWithTheMergedValues)
{
    host.ShowPage(HtmlSurface::MainWindow, 239, {{"SelectRate", 0}});
    host.ShowWindow(true);
    link.Emit(ElementEventJson("main", 239, "SelectRate", "change", {QJsonArray{"SelectRate", 4}}));
    ASSERT_EQ(listener.elements.size(), 1u);
    EXPECT_EQ(listener.elements[0].pageId, 239);
    EXPECT_EQ(listener.elements[0].id, "SelectRate");
    EXPECT_EQ(listener.elements[0].event, ElementEvent::Change);
    EXPECT_EQ(listener.elements[0].values, (PageValues{{"SelectRate", 4}}));
}

struct DroppedCase {
    const char* name;
    QJsonObject event;
};

class DroppedEventTest : public WindowPageHostTest,
                         public testing::WithParamInterface<DroppedCase> {};

TEST_P(DroppedEventTest, NeverReachesTheCore)
{
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    link.Emit(GetParam().event);
    EXPECT_TRUE(listener.elements.empty());
    EXPECT_TRUE(listener.windowEvents.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, DroppedEventTest,
    testing::Values(
        DroppedCase{"other_page", ElementEventJson("main", 237, "ButtonTab1", "click")},
        DroppedCase{"unknown_event", ElementEventJson("main", 236, "ButtonTab1", "hover")},
        DroppedCase{"unknown_surface", ElementEventJson("side", 236, "ButtonTab1", "click")},
        DroppedCase{"dialog_not_running", ElementEventJson("dialog", 236, "ButtonTab1", "click")},
        DroppedCase{"no_id", ElementEventJson("main", 236, "", "click")},
        DroppedCase{"no_ack", QJsonObject{{"e", "window"}, {"event", "close"}, {"ack", "x"}}},
        DroppedCase{"unknown_window_event", WindowEventJson("maximise")},
        DroppedCase{"restore_with_a_tray", WindowEventJson("restore")},
        DroppedCase{"unknown_message", QJsonObject{{"e", "surprise"}}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(WindowPageHostTest, EventOfAPageTheCoreHasAlreadyReplacedIsDropped)
{
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    const qint64 seenByWindow = link.LastSeq();
    host.ShowPage(HtmlSurface::MainWindow, 236, {}); // shown again, not yet loaded
    QJsonObject event = ElementEventJson("main", 236, "ButtonTab2", "click");
    event.insert("ack", seenByWindow);
    link.Emit(event);
    EXPECT_TRUE(listener.elements.empty());
}

TEST_F(WindowPageHostTest, ClicksOnTheMainWindowWaitForTheHandlerThatIsRunning)
{
    host.ShowPage(HtmlSurface::MainWindow, 262, {});
    host.ShowWindow(true);
    {
        // A handler shows a message box: its nested loop must not run another handler.
        EventGate::Scope handler(gate);
        link.Emit(ElementEventJson("main", 262, "ButtonSaveAPSet", "click",
                                   {QJsonArray{"TextAPSetSSID", "neu"}}));
        link.Emit(WindowEventJson("close"));
    }
    EXPECT_TRUE(listener.elements.empty());
    EXPECT_TRUE(listener.windowEvents.empty());
    EXPECT_EQ(host.mirror(HtmlSurface::MainWindow).Values(),
              (PageValues{{"TextAPSetSSID", std::string("neu")}}))
        << "what the user typed is kept all the same";

    link.Emit(WindowEventJson("escape"));
    EXPECT_EQ(listener.windowEvents, std::vector<WindowEvent>{WindowEvent::Escape});
}

TEST_F(WindowPageHostTest, DialogEndsWithTheResultItsHandlerGives)
{
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    RecordingSink sink;
    sink.onElement = [this](std::string_view id) {
        if (id == "ImageClose")
            host.EndDialog(kDialogOk);
    };
    Soon([this] {
        EXPECT_EQ(link.Last("page").value("surface").toString(), "dialog");
        link.Emit(ElementEventJson("main", 236, "ButtonTab2", "click"));
        link.Emit(ElementEventJson("dialog", 109, "ImageClose", "click"));
    });
    const int result =
        host.RunDialog(109, {{"TextDriverVersion", std::string("2.1.0073C.2003")}}, sink);
    EXPECT_EQ(result, kDialogOk);
    ASSERT_EQ(sink.elements.size(), 1u);
    EXPECT_EQ(sink.elements[0].values,
              (PageValues{{"TextDriverVersion", std::string("2.1.0073C.2003")}}));
    EXPECT_TRUE(listener.elements.empty()) << "the main window is not served under a dialog";
    EXPECT_EQ(link.Names().back(), "endDialog");
    EXPECT_FALSE(host.dialogRunning());
}

struct DialogEndCase {
    const char* name;
    std::function<void(FakeWindowLink&, WindowPageHost&)> end;
};

class DialogCancelTest : public WindowPageHostTest,
                         public testing::WithParamInterface<DialogEndCase> {};

TEST_P(DialogCancelTest, EndsWithCancel)
{
    host.ShowWindow(true);
    RecordingSink sink;
    Soon([this] { GetParam().end(link, host); });
    EXPECT_EQ(host.RunDialog(107, {}, sink), kDialogCancel);
    EXPECT_FALSE(host.dialogRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Ends, DialogCancelTest,
    testing::Values(DialogEndCase{"user_closed_it",
                                  [](FakeWindowLink& link, WindowPageHost&) {
                                      link.Emit({{"e", "dialogClosed"}});
                                  }},
                    DialogEndCase{"window_process_died",
                                  [](FakeWindowLink& link, WindowPageHost&) { link.Die(); }},
                    DialogEndCase{"program_ends",
                                  [](FakeWindowLink&, WindowPageHost& host) { host.EndModal(0); }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(WindowPageHostTest, SecondDialogIsRefusedAndADialogOpensTheWindowProcess)
{
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    RecordingSink sink;
    int nested = -1;
    Soon([&] {
        EXPECT_EQ(link.starts, 1) << "the about box from the tray menu needs the window";
        RecordingSink other;
        nested = host.RunDialog(109, {}, other);
        host.EndDialog(kDialogOk);
    });
    EXPECT_EQ(host.RunDialog(109, {}, sink), kDialogOk);
    EXPECT_EQ(nested, kDialogCancel);
    host.ShowPage(HtmlSurface::Dialog, 250, {});
    EXPECT_EQ(host.mirror(HtmlSurface::Dialog).pageId(), 0) << "no dialog, no dialog page";
}

TEST_F(WindowPageHostTest, EndModalBeforeTheRunReturnsAtOnceAndDropsLaterEvents)
{
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    host.EndModal(7);
    EXPECT_EQ(host.RunModal(), 7);
    link.Emit(ElementEventJson("main", 236, "ButtonTab2", "click"));
    EXPECT_TRUE(listener.elements.empty());
}

TEST_F(WindowPageHostTest, EndModalFromAHandlerEndsTheRun)
{
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    listener.onElement = [this] { host.EndModal(0); };
    Soon([this] { link.Emit(ElementEventJson("main", 236, "ButtonTab1", "click")); });
    EXPECT_EQ(host.RunModal(), 0);
    EXPECT_EQ(listener.elements.size(), 1u);
}

TEST_F(WindowPageHostTest, HiddenWindowProcessEndsAfterItsLingerButNotUnderADialog)
{
    host.SetLingerMs(1);
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    host.ShowWindow(false);
    EXPECT_TRUE(WaitFor([this] { return !link.IsRunning(); }));
    EXPECT_EQ(link.stops, 1);

    RecordingSink sink;
    Soon([this] {
        QTimer::singleShot(20, QCoreApplication::instance(), [this] {
            EXPECT_TRUE(link.IsRunning()) << "the dialog keeps its window process";
            host.EndDialog(kDialogOk);
        });
    });
    EXPECT_EQ(host.RunDialog(109, {}, sink), kDialogOk);
    EXPECT_TRUE(WaitFor([this] { return !link.IsRunning(); })) << "and then it goes";
}

TEST_F(WindowPageHostTest, PrestartedWindowComesUpHiddenAndTheShowThatFollowsOnlyShowsIt)
{
    host.SetLingerMs(60000);
    host.ShowPage(HtmlSurface::MainWindow, 236, {{"TextProfileName", std::string("Default")}});
    host.Prestart();
    ASSERT_EQ(link.starts, 1);
    EXPECT_EQ(link.Last("page").value("page").toInt(), 236) << "the page loads while hidden";
    EXPECT_EQ(link.Last("window").value("state").toString(), "hidden");
    const std::size_t sent = link.commands.size();

    host.Prestart();
    host.ShowWindow(true);
    EXPECT_EQ(link.starts, 1);
    EXPECT_EQ(link.stops, 0);
    ASSERT_EQ(link.commands.size(), sent + 1) << "no second replay";
    EXPECT_EQ(link.Last("window").value("state").toString(), "normal");

    host.Prestart();
    EXPECT_EQ(link.starts, 1) << "a shown window's process is left as it is";
}

TEST_F(WindowPageHostTest, PrestartedWindowThatIsNeverShownEndsAfterItsLinger)
{
    host.SetLingerMs(1);
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.Prestart();
    EXPECT_EQ(link.starts, 1);
    EXPECT_TRUE(WaitFor([this] { return !link.IsRunning(); }));
    EXPECT_EQ(link.stops, 1);

    host.SetLingerMs(-1);
    host.Prestart();
    EXPECT_EQ(link.starts, 2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(link.IsRunning()) << "a linger of -1 keeps the window process";
}

TEST_F(WindowPageHostTest, WithoutATrayHidingMinimisesAndTheTaskbarRestores)
{
    int restores = 0;
    host.SetHideMeansMinimise(true);
    host.SetRestoreHandler([&restores] { ++restores; });
    host.SetLingerMs(1);
    host.ShowWindow(true);
    host.ShowWindow(false);
    EXPECT_EQ(link.Last("window").value("state").toString(), "minimised");
    QCoreApplication::processEvents();
    EXPECT_TRUE(link.IsRunning()) << "a minimised window stays";

    link.Emit(WindowEventJson("restore"));
    EXPECT_EQ(restores, 1);
    EXPECT_TRUE(host.windowVisible());

    // A window that dies while it should be seen comes back by itself, a few times.
    for (int i = 1; i <= WindowPageHost::kMaxRelaunches; ++i) {
        link.Die();
        EXPECT_TRUE(WaitFor([this] { return link.IsRunning(); })) << "relaunch " << i;
    }
    link.Die();
    for (int i = 0; i < 100; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(link.IsRunning());
    EXPECT_EQ(link.starts, 1 + WindowPageHost::kMaxRelaunches);
}

TEST_F(WindowPageHostTest, WithoutATrayAWindowThatDiesFarApartAlwaysComesBack)
{
    host.SetHideMeansMinimise(true);
    host.SetSteadyMs(50);
    host.ShowWindow(true);
    for (int i = 1; i <= 3 * WindowPageHost::kMaxRelaunches; ++i) {
        QThread::msleep(60); // up long enough to count as running
        link.Die();
        ASSERT_TRUE(WaitFor([this] { return link.IsRunning(); })) << "death " << i;
        EXPECT_EQ(link.Last("window").value("state").toString(), "normal") << "death " << i;
    }
    EXPECT_EQ(link.starts, 1 + 3 * WindowPageHost::kMaxRelaunches);

    // One that dies as soon as it starts is given up within the budget.
    host.SetSteadyMs(60000);
    int quickDeaths = 0;
    while (link.IsRunning() && quickDeaths <= WindowPageHost::kMaxRelaunches) {
        link.Die();
        ++quickDeaths;
        WaitFor([this] { return link.IsRunning(); });
    }
    EXPECT_FALSE(link.IsRunning());
    EXPECT_LE(quickDeaths, WindowPageHost::kMaxRelaunches);
}

TEST_F(WindowPageHostTest, WaitCursorIsForwardedAndReplayed)
{
    host.SetWaitCursor(true);
    host.ShowWindow(true);
    EXPECT_TRUE(link.Last("cursor").value("wait").toBool());
    host.SetWaitCursor(false);
    EXPECT_FALSE(link.Last("cursor").value("wait").toBool());
}

TEST_F(WindowPageHostTest, SetElementLandsOnTheShownPageOnly)
{
    host.SetElement(HtmlSurface::MainWindow, "TextNetworkName", std::string("x"));
    EXPECT_TRUE(host.mirror(HtmlSurface::MainWindow).Values().empty()) << "no page yet";
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    host.SetElement(HtmlSurface::MainWindow, "TextNetworkName", std::string("Cafe"));
    const QJsonObject set = link.Last("set");
    EXPECT_EQ(set.value("id").toString(), "TextNetworkName");
    EXPECT_EQ(set.value("value").toString(), "Cafe");
    EXPECT_EQ(host.mirror(HtmlSurface::MainWindow).Values(),
              (PageValues{{"TextNetworkName", std::string("Cafe")}}));
}

TEST_F(WindowPageHostTest, DisabledElementsFollowTheirPageIntoANewWindow)
{
    host.ShowPage(HtmlSurface::MainWindow, 240, {{"SelectWepWep", 2}});
    host.ShowWindow(true);
    host.SetDisabled(HtmlSurface::MainWindow, "RadioGroupWep", true);
    host.SetDisabled(HtmlSurface::MainWindow, "TextWepPassPhrase", true);
    host.SetDisabled(HtmlSurface::MainWindow, "TextWepPassPhrase", false);
    const QJsonObject disable = link.Last("disable");
    EXPECT_EQ(disable.value("id").toString(), "TextWepPassPhrase");
    EXPECT_FALSE(disable.value("disabled").toBool());

    link.Die();
    link.commands.clear();
    host.ShowWindow(true);
    // After the page, each element's last state once.
    const std::vector<QString> names = link.Names();
    const auto page = std::find(names.begin(), names.end(), "page");
    ASSERT_NE(page, names.end());
    ASSERT_EQ(std::count(names.begin(), names.end(), "disable"), 2);
    EXPECT_EQ(*(page + 1), "disable");
    EXPECT_TRUE(link.Last("disable").value("id").toString() == "TextWepPassPhrase");

    // Another page starts with what its HTML says.
    host.ShowPage(HtmlSurface::MainWindow, 237, {});
    EXPECT_TRUE(host.mirror(HtmlSurface::MainWindow).Disabled().empty());
}

TEST_F(WindowPageHostTest, ChartStylesComeBackBeforeTheDialogsPageButNotTheirValues)
{
    WindowChartHost charts(host);
    ChartStyle style;
    style.lower = 0;
    style.upper = 4;
    style.plot = {255, 128, 0};
    charts.ConfigureChart(1004, style); // before the dialog: kept for it
    host.ShowWindow(true);
    RecordingSink sink;
    Soon([&] {
        charts.AppendChartValue(1004, 2.5);
        charts.AppendChartValue(1004, std::nan("")); // not a number: not sent
        link.Die();
    });
    EXPECT_EQ(host.RunDialog(107, {}, sink), kDialogCancel);
    int values = 0;
    for (const QJsonObject& command : link.commands)
        values += command.value("op").toString() == "value";
    EXPECT_EQ(values, 1);

    Soon([&] {
        std::vector<QString> names = link.Names();
        const auto chart = std::find(names.begin(), names.end(), "chart");
        const auto page = std::find(names.begin(), names.end(), "page");
        EXPECT_TRUE(chart < page) << "the chart needs its style when the page brings it";
        EXPECT_EQ(std::count(names.begin(), names.end(), "chart"), 1) << "values are not replayed";
        const QJsonObject command = link.Last("chart");
        EXPECT_EQ(command.value("chart").toInt(), 1004);
        EXPECT_EQ(command.value("upper").toDouble(), 4.0);
        EXPECT_EQ(command.value("plot").toString(), "#ff8000");
        host.EndDialog(kDialogOk);
    });
    link.commands.clear();
    EXPECT_EQ(host.RunDialog(107, {}, sink), kDialogOk);
}

} // namespace
} // namespace kesto
