// The window process on its own, driven by the tray side's real page host and list
// controls from this test (no core): lists over the page with their rows and images,
// values both ways, and a modal dialog's size and cancel. The user's part is played with
// real input through the test driver.
#include "windowlink/WindowProcess.h"
#include "platform/ListControlIds.h"
#include "tests/support/UtilityRig.h"
#include "windowlink/WindowListControl.h"
#include "windowlink/WindowPageHost.h"

#include <QJsonDocument>
#include <QTimer>

#include <gtest/gtest.h>

namespace kesto::test {
namespace {

class Listener : public PageHostListener, public ListEventSink {
public:
    void OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                        const PageValues& values) override
    {
        elements.push_back({pageId, std::string(elementId), event});
        lastValues = values;
    }
    void OnWindowEvent(WindowEvent event) override { windowEvents.push_back(event); }
    void OnListEvent(ListEvent event, int index) override { listEvents.emplace_back(event, index); }

    struct Element {
        int pageId;
        std::string id;
        ElementEvent event;
        bool operator==(const Element&) const = default;
    };
    std::vector<Element> elements;
    PageValues lastValues;
    std::vector<WindowEvent> windowEvents;
    std::vector<std::pair<ListEvent, int>> listEvents;
};

class WindowProcessTest : public testing::Test {
protected:
    WindowProcessTest()
        : driver(QString::fromStdString(dir.file("driver.sock").string())),
          process(QStringLiteral(KESTO_WINDOW_PROGRAM), {}, Environment())
    {
        host.SetListener(&listener);
        host.SetLingerMs(-1);
        survey.SetSink(&listener);
    }
    ~WindowProcessTest() override { host.Shutdown(); }

    QProcessEnvironment Environment()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        env.insert("KESTO_TEST_DRIVER", QString::fromStdString(dir.file("driver.sock").string()));
        env.insert("KESTO_RESOURCES_DIR", QString::fromStdString(DataDir().string()));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.path().string()));
        return env;
    }

    QJsonObject State() { return driver.Request({{"op", "state"}}).value_or(QJsonObject()); }
    bool WaitForState(const std::function<bool(const QJsonObject&)>& test,
                      QJsonObject* last = nullptr)
    {
        QJsonObject state;
        const bool ok = SpinUntil(
            [&] {
                state = State();
                return !state.isEmpty() && test(state);
            },
            kStartTimeoutMs);
        if (last)
            *last = state;
        return ok;
    }
    bool Ok(QJsonObject request)
    {
        const auto answer = driver.Request(std::move(request));
        return answer && answer->value("ok").toBool();
    }

    TempDir dir;
    DriverServer driver;
    WindowProcess process;
    EventGate gate;
    WindowPageHost host{process, gate};
    WindowListControl survey{host, kSurveyListControl};
    WindowListControl station{host, kStationListControl};
    Listener listener;
};

TEST_F(WindowProcessTest, ListOverThePageShowsItsRowsAndReportsRealClicks)
{
    host.SetWindowSize(753, 484);
    host.ShowPage(HtmlSurface::MainWindow, 237, {});
    survey.SetSmallImages(282, 44, 20, 0xFF00FF);
    survey.Place(201, 146, 299, 170);
    survey.SetColumns({{"SSID", 130, false}, {"Kanal", 60, true}, {"Signal", 80, true}});
    survey.SetRows({{{"Cafe-Lindenhof", "1", "-52 dBm"}, 0},
                    {{"WG-Kastanienallee", "6", "-44 dBm"}, 1},
                    {{"Spielwiese", "10", "-58 dBm"}, 2},
                    {{"Praxis-Dr-Weber", "3", "-61 dBm"}, 3}});
    survey.SetGridLines(true);
    survey.SetFullRowSelect(true);
    survey.Show(true);
    host.ShowWindow(true);

    QJsonObject state;
    ASSERT_TRUE(WaitForState(
        [](const QJsonObject& s) {
            return At(s, "main", "ready").toBool() && At(s, "lists", "1009", "rows").toInt() == 4;
        },
        &state));
    const QJsonObject list = At(state, "lists", "1009").toObject();
    EXPECT_TRUE(list["visible"].toBool());
    EXPECT_EQ(list["columns"].toInt(), 3);
    EXPECT_EQ(list["x"].toInt(), 201);
    EXPECT_EQ(list["width"].toInt(), 299);
    EXPECT_FALSE(At(state, "lists", "1010", "visible").toBool());

    ASSERT_TRUE(Ok({{"op", "listClick"}, {"list", 1009}, {"row", 2}}));
    ASSERT_TRUE(SpinUntil([&] { return !listener.listEvents.empty(); }, kStepTimeoutMs));
    EXPECT_EQ(listener.listEvents.front(), std::make_pair(ListEvent::Click, 2));
    EXPECT_EQ(survey.SelectedRows(), std::vector<int>{2});

    listener.listEvents.clear();
    ASSERT_TRUE(Ok({{"op", "listClick"}, {"list", 1009}, {"row", 1}, {"double", true}}));
    EXPECT_TRUE(SpinUntil(
        [&] {
            return std::find(listener.listEvents.begin(), listener.listEvents.end(),
                             std::make_pair(ListEvent::DoubleClick, 1)) !=
                   listener.listEvents.end();
        },
        kStepTimeoutMs));
    EXPECT_EQ(survey.SelectedRows(), std::vector<int>{1});

    listener.listEvents.clear();
    ASSERT_TRUE(Ok({{"op", "headerClick"}, {"list", 1009}, {"column", 2}}));
    ASSERT_TRUE(SpinUntil([&] { return !listener.listEvents.empty(); }, kStepTimeoutMs));
    EXPECT_EQ(listener.listEvents.front(), std::make_pair(ListEvent::HeaderClick, 2));

    if (const QByteArray shots = qgetenv("KESTO_E2E_SCREENSHOTS"); !shots.isEmpty())
        Ok({{"op", "grab"}, {"file", QString::fromLocal8Bit(shots) + "/list-over-237.png"}});
}

TEST_F(WindowProcessTest, ValuesGoToThePageAndTheUsersTypingComesBack)
{
    host.ShowPage(HtmlSurface::MainWindow, 256,
                  {{"TextAddProfile", std::string("B\xC3\xBC"
                                                  "ro")}});
    host.ShowWindow(true);
    ASSERT_TRUE(WaitForState([](const QJsonObject& s) { return At(s, "main", "ready").toBool(); }));
    EXPECT_EQ(driver.Request({{"op", "value"}, {"element", "TextAddProfile"}})->value("value"),
              QJsonValue(QString::fromUtf8("B\xC3\xBCro")));

    host.SetElement(HtmlSurface::MainWindow, "TextAddSSID", std::string("Cafe"));
    ASSERT_TRUE(SpinUntil(
        [&] {
            return driver.Request({{"op", "value"}, {"element", "TextAddSSID"}})->value("value") ==
                   QJsonValue("Cafe");
        },
        kStepTimeoutMs));

    ASSERT_TRUE(Ok({{"op", "click"}, {"element", "TextAddSSID"}}));
    ASSERT_TRUE(Ok({{"op", "type"}, {"text", "-2"}}));
    ASSERT_TRUE(SpinUntil(
        [&] {
            return std::count_if(listener.elements.begin(), listener.elements.end(),
                                 [](const auto& e) {
                                     return e.id == "TextAddSSID" && e.event == ElementEvent::KeyUp;
                                 }) >= 2;
        },
        kStepTimeoutMs));
    const auto& values = host.mirror(HtmlSurface::MainWindow).Values();
    const auto ssid = std::find_if(values.begin(), values.end(),
                                   [](const ElementState& s) { return s.id == "TextAddSSID"; });
    ASSERT_NE(ssid, values.end());
    EXPECT_EQ(ssid->value, ElementValue(std::string("Cafe-2")));
    EXPECT_EQ(listener.elements.front().pageId, 256);
}

// A peer that names more element ids than any page has, for values and for states alike,
// is refused beyond the bound; the page's own elements keep working.
TEST_F(WindowProcessTest, ElementIdsBeyondTheBoundAreRefusedAndThePageKeepsWorking)
{
    host.ShowPage(HtmlSurface::MainWindow, 256, {{"TextAddProfile", std::string("Heim")}});
    host.ShowWindow(true);
    ASSERT_TRUE(WaitForState([](const QJsonObject& s) { return At(s, "main", "ready").toBool(); }));
    for (int i = 0; i < 1100; ++i) {
        const std::string id = "Stray" + std::to_string(i);
        host.SetElement(HtmlSurface::MainWindow, id, std::string("x"));
        host.SetDisabled(HtmlSurface::MainWindow, id, true);
    }
    host.SetElement(HtmlSurface::MainWindow, "TextAddProfile", std::string("Buero"));
    ASSERT_TRUE(SpinUntil(
        [&] {
            return driver.Request({{"op", "value"}, {"element", "TextAddProfile"}})
                       ->value("value") == QJsonValue("Buero");
        },
        kStepTimeoutMs));
}

TEST_F(WindowProcessTest, DialogTakesThePageSizeAndEscapeCancelsIt)
{
    host.ShowPage(HtmlSurface::MainWindow, 236, {});
    host.ShowWindow(true);
    ASSERT_TRUE(WaitForState([](const QJsonObject& s) { return At(s, "main", "ready").toBool(); }));

    Listener dialogSink;
    QJsonObject state;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        checked = WaitForState(
            [](const QJsonObject& s) {
                return At(s, "dialog", "open").toBool() && At(s, "dialog", "ready").toBool();
            },
            &state);
        Ok({{"op", "key"}, {"key", "Escape"}, {"surface", "dialog"}});
    });
    const int result = host.RunDialog(109, {{"TextDriverVersion", std::string("N/A")}}, dialogSink);
    ASSERT_TRUE(checked);
    EXPECT_EQ(result, kDialogCancel);
    EXPECT_EQ(At(state, "dialog", "page").toInt(), 109);
    EXPECT_EQ(At(state, "dialog", "title").toString(), "Info");
    EXPECT_TRUE(
        WaitForState([](const QJsonObject& s) { return !At(s, "dialog", "open").toBool(); }));
    EXPECT_TRUE(listener.windowEvents.empty()) << "the dialog's Escape is the dialog's";
}

} // namespace
} // namespace kesto::test
