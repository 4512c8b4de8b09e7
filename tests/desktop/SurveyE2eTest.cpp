// End-to-end: the site survey and joining from it, through the real tray process, the
// real window process and the simulated adapter on the default scenario. Rows are
// clicked in the real list control, keys typed into the real security pop-up; message
// boxes are answered by the program itself (--message-log) and read from its file.
//
// With KESTO_E2E_SCREENSHOTS=DIR the survey page with its rows and the pop-up are saved
// there as PNG files.
#include "apply/ApplyFault.h"
#include "tests/support/UtilityRig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kesto::test {
namespace {

constexpr int kSurveyList = 1009;
const char* const kWrongLengthMessage = "The length of Key should be 5 or 10.Please re-enter Key 1";

QJsonObject SurveyList(const QJsonObject& state)
{
    return At(state, "lists", "1009").toObject();
}

// The row showing name in column 1 ("SSID"); -1 when none does.
int RowOf(const QJsonObject& state, const QString& name)
{
    const QJsonArray items = SurveyList(state)["items"].toArray();
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i].toArray().at(1).toString() == name)
            return static_cast<int>(i);
    return -1;
}

std::vector<int> SignalPercents(const QJsonObject& state)
{
    std::vector<int> percents;
    for (const QJsonValue& row : SurveyList(state)["items"].toArray())
        percents.push_back(row.toArray().at(3).toString().chopped(1).toInt());
    return percents;
}

// The calls from index from on whose text starts with prefix.
std::size_t CallsFrom(UtilityRig& rig, const std::string& prefix, std::size_t from)
{
    const auto calls = rig.Calls();
    std::size_t count = 0;
    for (std::size_t i = from; i < calls.size(); ++i)
        count += calls[i].starts_with(prefix) ? 1 : 0;
    return count;
}

// A scan that takes ms milliseconds on the simulated radio.
void SetScanTime(UtilityRig& rig, int ms)
{
    rig.EditScenario([ms](QJsonObject& scenario) { scenario["scanMs"] = ms; });
}

// Starts the program offscreen with scans of ms milliseconds and waits for its status page
// and the end of the start's own scan.
testing::AssertionResult StartOffscreen(UtilityRig& rig, int scanMs)
{
    SetScanTime(rig, scanMs);
    if (!rig.Start() || !rig.WaitForMainPage(236))
        return testing::AssertionFailure() << rig.Output().toStdString();
    if (!rig.WaitForCall("WL_RetrieveSiteSurveyData"))
        return testing::AssertionFailure() << "the start's own scan never ended";
    return testing::AssertionSuccess();
}

void Screenshot(UtilityRig& rig, const char* surface, const char* file)
{
    if (const QByteArray dir = qgetenv("KESTO_E2E_SCREENSHOTS"); !dir.isEmpty())
        rig.driver().Request({{"op", "grab"},
                              {"surface", surface},
                              {"file", QString::fromLocal8Bit(dir) + "/" + file}});
}

class SurveyE2e {
public:
    explicit SurveyE2e(UtilityRig& rig) : m_rig(rig) {}

    // The survey page with its list of the default scenario's eleven networks.
    bool WaitForSurvey(QJsonObject* state = nullptr)
    {
        return m_rig.WaitForState(
            [](const QJsonObject& s) {
                const QJsonObject main = s["main"].toObject();
                const QJsonObject list = SurveyList(s);
                return main["page"].toInt() == 237 && main["ready"].toBool() &&
                       list["visible"].toBool() && list["rows"].toInt() == 11;
            },
            state);
    }
    bool OpenSurvey(QJsonObject* state = nullptr)
    {
        return m_rig.Click("ButtonTab2") && WaitForSurvey(state);
    }
    bool ClickRow(const QString& name, bool doubleClick)
    {
        const int row = RowOf(m_rig.State(), name);
        return row >= 0 && ClickList(row, doubleClick);
    }
    // Row -1: the empty space below the last row.
    bool ClickList(int row, bool doubleClick = false)
    {
        const auto answer = m_rig.driver().Request(
            {{"op", "listClick"}, {"list", kSurveyList}, {"row", row}, {"double", doubleClick}});
        return answer && answer->value("ok").toBool();
    }
    bool ClickHeading(int column)
    {
        const auto answer = m_rig.driver().Request(
            {{"op", "headerClick"}, {"list", kSurveyList}, {"column", column}});
        return answer && answer->value("ok").toBool();
    }
    bool Type(const QString& text, const QString& surface)
    {
        const auto answer =
            m_rig.driver().Request({{"op", "type"}, {"surface", surface}, {"text", text}});
        return answer && answer->value("ok").toBool();
    }
    bool WaitForPopup(int page = 248)
    {
        return m_rig.WaitForState([page](const QJsonObject& s) {
            return At(s, "dialog", "open").toBool() && At(s, "dialog", "page").toInt() == page &&
                   At(s, "dialog", "ready").toBool();
        });
    }
    bool WaitForPopupClosed()
    {
        return m_rig.WaitForState(
            [](const QJsonObject& s) { return !At(s, "dialog", "open").toBool(); });
    }
    bool WaitForMessage(const std::string& text)
    {
        return SpinUntil(
            [&] {
                const auto messages = m_rig.Messages();
                return std::find(messages.begin(), messages.end(), text) != messages.end();
            },
            kStepTimeoutMs);
    }
    // The status page naming the network the adapter joined.
    bool WaitForJoined(const QString& name)
    {
        return m_rig.WaitForMainPage(236) && m_rig.WaitForValues([&](const QJsonObject& v) {
            return v["TextNetworkName"].toString() == name;
        });
    }
    // The calls from index from on that set something in the adapter.
    std::vector<std::string> SettersFrom(std::size_t from)
    {
        std::vector<std::string> setters;
        const auto calls = m_rig.Calls();
        for (std::size_t i = from; i < calls.size(); ++i)
            if (calls[i].starts_with("Set"))
                setters.push_back(calls[i]);
        return setters;
    }

private:
    UtilityRig& m_rig;
};

TEST(Offscreen, SurveyListsSortsShowsDetailsAndJoinsAnOpenNetwork)
{
    UtilityRig rig(true);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    SurveyE2e survey(rig);
    QJsonObject state;
    ASSERT_TRUE(survey.OpenSurvey(&state)) << QJsonDocument(state).toJson().toStdString();
    EXPECT_EQ(SurveyList(state)["headings"].toArray(), QJsonArray({"", "SSID", "Kanal", "Signal"}));
    EXPECT_GE(RowOf(state, "Bahnhof-Kiosk"), 0);
    EXPECT_GE(RowOf(state, ""), 0) << "the hidden network has a row without a name";

    ASSERT_TRUE(survey.ClickHeading(3));
    ASSERT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        const auto percents = SignalPercents(s);
        return percents.size() == 11 && percents.front() < percents.back() &&
               std::is_sorted(percents.begin(), percents.end());
    })) << "ascending first";
    ASSERT_TRUE(survey.ClickHeading(3));
    ASSERT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        const auto percents = SignalPercents(s);
        return percents.size() == 11 && percents.front() > percents.back() &&
               std::is_sorted(percents.rbegin(), percents.rend());
    })) << "then descending";

    ASSERT_TRUE(survey.ClickRow("Hotel-Seeblick-Gast1", false));
    QJsonObject values;
    EXPECT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) {
            return v["TextTab2Encry"].toString() == "WPA-PSK" &&
                   v["TextTab2Channel"].toString() == "5" &&
                   v["TextTab2MAC"].toString() == "0A:3C:71:00:00:0A" &&
                   v["TextTab2NetworkType"].toString() == "Infrastruktur" &&
                   v["TextTab2Survey"].toString().size() == 8;
        },
        &values))
        << QJsonDocument(values).toJson().toStdString();
    Screenshot(rig, "main", "survey-237.png");

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(survey.ClickRow("Bahnhof-Kiosk", true));
    EXPECT_TRUE(survey.WaitForJoined("Bahnhof-Kiosk")) << rig.Output().toStdString();
    const auto setters = survey.SettersFrom(mark);
    ASSERT_FALSE(setters.empty());
    EXPECT_EQ(setters.front(), "SetWL_SSID(Bahnhof-Kiosk) = 0");
    EXPECT_EQ(rig.Value("TextChannel", "main"), QJsonValue("14"));
}

TEST(Offscreen, WepNetworkRefusesAWrongKeyAndJoinsWithTheRightOne)
{
    UtilityRig rig(true);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    SurveyE2e survey(rig);
    ASSERT_TRUE(survey.OpenSurvey());

    ASSERT_TRUE(survey.ClickRow("WG-Kastanienallee", true));
    ASSERT_TRUE(survey.WaitForPopup()) << rig.Output().toStdString();
    EXPECT_EQ(rig.Value("SelectWepWep", "dialog"), QJsonValue(0));
    EXPECT_EQ(rig.Value("SelectWepAuthen", "dialog"), QJsonValue(0));
    EXPECT_EQ(rig.Value("KeyText", "dialog"), QJsonValue("Taste 1:"));

    ASSERT_TRUE(rig.Click("TextWepKey", "dialog"));
    ASSERT_TRUE(survey.Type("1A2B3C4D5", "dialog"));
    Screenshot(rig, "dialog", "popup-248.png");
    ASSERT_TRUE(rig.Click("ButtonPopSaveWep", "dialog"));
    ASSERT_TRUE(survey.WaitForMessage(kWrongLengthMessage)) << rig.Output().toStdString();
    EXPECT_TRUE(At(rig.State(), "dialog", "open").toBool()) << "the pop-up stays open";
    EXPECT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextWepKey"].toString() == "**********"; }, nullptr,
        "dialog"))
        << "leaving the field masks it";

    // Clear the masked field and type the right key.
    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("TextWepKey", "dialog"));
    ASSERT_TRUE(rig.Key("End", "dialog"));
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(rig.Key("Backspace", "dialog"));
    ASSERT_TRUE(survey.Type("1A2B3C4D5E", "dialog"));
    ASSERT_TRUE(rig.Click("ButtonPopSaveWep", "dialog"));
    ASSERT_TRUE(survey.WaitForPopupClosed());
    EXPECT_TRUE(rig.WaitForCall("SetWL_WriteKey(0, 0, 1, 1A2B3C4D5E", mark))
        << "the typed key goes to the adapter";
    EXPECT_TRUE(survey.WaitForJoined("WG-Kastanienallee")) << rig.Output().toStdString();
    EXPECT_EQ(rig.Messages().size(), 1u);
}

TEST(Offscreen, CancelledPopupsAndHiddenNetworksJoinNothing)
{
    UtilityRig rig(true);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    SurveyE2e survey(rig);
    ASSERT_TRUE(survey.OpenSurvey());
    const std::size_t mark = rig.Calls().size();

    ASSERT_TRUE(survey.ClickRow("Praxis-Dr-Weber", true));
    ASSERT_TRUE(survey.WaitForPopup());
    ASSERT_TRUE(rig.Click("TextWepKey", "dialog"));
    ASSERT_TRUE(survey.Type("0123456789ABCDEF0123456789", "dialog"));
    ASSERT_TRUE(rig.Key("Escape", "dialog"));
    ASSERT_TRUE(survey.WaitForPopupClosed());
    EXPECT_TRUE(survey.WaitForSurvey()) << "back on the refilled survey list";

    // A WPA network asks for its pass phrase; closing the pop-up otherwise joins nothing.
    ASSERT_TRUE(survey.ClickRow("Villa-Sonne", true));
    ASSERT_TRUE(survey.WaitForPopup(253)) << rig.Output().toStdString();
    ASSERT_TRUE(rig.Key("Escape", "dialog"));
    ASSERT_TRUE(survey.WaitForPopupClosed());
    EXPECT_TRUE(survey.WaitForSurvey()) << "back on the refilled survey list";

    ASSERT_TRUE(survey.ClickRow("", true));
    ASSERT_TRUE(survey.WaitForMessage(std::string(ApplyFaultMessage(ApplyFault::NoNetworkName))));
    EXPECT_EQ(rig.Messages().size(), 1u) << "only the hidden network is refused with a word";
    QJsonObject state = rig.State();
    EXPECT_EQ(At(state, "main", "page").toInt(), 237);
    EXPECT_FALSE(At(state, "dialog", "open").toBool());
    const auto setters = survey.SettersFrom(mark);
    EXPECT_TRUE(setters.empty()) << setters.front();
}

// A scan runs while the window works on: the survey page shows before its results are
// in, a second scan asked for meanwhile joins it, and the list fills once with them.
TEST(Offscreen, SurveyPageShowsAtOnceAndASecondScanJoinsTheOneUnderWay)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartOffscreen(rig, 6000));
    SurveyE2e survey(rig);

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonTab2"));
    QJsonObject state;
    ASSERT_TRUE(rig.WaitForMainPage(237, &state));
    EXPECT_EQ(CallsFrom(rig, "WL_RetrieveSiteSurveyData", mark), 0u)
        << "the page came before the scan's results";
    EXPECT_FALSE(At(state, "lists", "1009", "visible").toBool()) << "no rows before them";
    ASSERT_TRUE(rig.Click("ButtonSiteScan"));
    ASSERT_TRUE(survey.WaitForSurvey()) << rig.Output().toStdString();
    EXPECT_EQ(CallsFrom(rig, "WL_SiteSurveyStart", mark), 1u);
    EXPECT_EQ(CallsFrom(rig, "WL_RetrieveSiteSurveyData", mark), 1u);
    EXPECT_TRUE(rig.Messages().empty());
}

// Leaving a scan under way, for the access point or by hiding the window, drops it: its
// results are never read, no row of it shows, and nothing is reported.
TEST(Offscreen, SwitchingModeOrHidingDuringAScanLeavesNoRows)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartOffscreen(rig, 3000));
    const auto pause = [] { SpinUntil([] { return false; }, 4000); }; // past the scan time

    std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonTab2"));
    ASSERT_TRUE(rig.WaitForMainPage(237));
    ASSERT_TRUE(rig.Click("ImageAPRadio"));
    ASSERT_TRUE(rig.WaitForMainPage(261));
    pause();
    QJsonObject state = rig.State();
    EXPECT_EQ(CallsFrom(rig, "WL_RetrieveSiteSurveyData", mark), 0u);
    EXPECT_FALSE(At(state, "lists", "1009", "visible").toBool());
    EXPECT_EQ(At(state, "lists", "1009", "rows").toInt(), 0);
    EXPECT_EQ(At(state, "main", "page").toInt(), 261);

    ASSERT_TRUE(rig.Click("ImageStationRadio"));
    ASSERT_TRUE(rig.WaitForMainPage(236));
    mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonTab2"));
    ASSERT_TRUE(rig.WaitForMainPage(237));
    ASSERT_TRUE(rig.Key("Escape"));
    ASSERT_TRUE(
        rig.WaitForState([](const QJsonObject& s) { return At(s, "main", "minimised").toBool(); }));
    pause();
    state = rig.State();
    EXPECT_EQ(CallsFrom(rig, "WL_RetrieveSiteSurveyData", mark), 0u);
    EXPECT_EQ(At(state, "lists", "1009", "rows").toInt(), 0);
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_TRUE(rig.TrayRunning());
}

// A click into the list's empty space takes its selection away and the page's details
// with it, on the survey page and on the profile page, which shows its list in the same
// control. A button of the page had the focus: clicking a row blurs it, and the blur
// reports the page's values from before the row's details arrived. That report must not
// count as newer than the details, or the core would take the page for cleared already.
// The page is kept busy for a moment, as on a loaded machine, so the blur comes late.
TEST(Offscreen, ClickInTheListsEmptySpaceClearsItsSelectionAndTheDetails)
{
    UtilityRig rig(true);
    rig.EditScenario([](QJsonObject& scenario) {
        QJsonArray networks = scenario["networks"].toArray();
        while (networks.size() > 4)
            networks.removeLast();
        scenario["networks"] = networks;
    });
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    SurveyE2e survey(rig);
    const struct {
        const char* tab;
        int page;
        int rows;
        const char* button; // one that leaves the page as it is
        const char* detail;
    } lists[] = {{"ButtonTab2", 237, 4, "ButtonSiteScan", "TextTab2MAC"},
                 {"ButtonTab3", 238, 1, "ButtonEditPrf", "TextTab3Security"}};
    for (const auto& l : lists) {
        SCOPED_TRACE(l.tab);
        const QLatin1String detail(l.detail);
        ASSERT_TRUE(rig.Click(l.tab));
        ASSERT_TRUE(rig.WaitForState([&l](const QJsonObject& s) {
            return At(s, "main", "page").toInt() == l.page && At(s, "main", "ready").toBool() &&
                   SurveyList(s)["visible"].toBool() && SurveyList(s)["rows"].toInt() == l.rows;
        }));
        const std::size_t mark = rig.Calls().size();
        ASSERT_TRUE(rig.Click(l.button));
        // The survey's button scans again; the profile page's edits nothing without a row.
        ASSERT_TRUE(SpinUntil(
            [&] {
                const auto focused =
                    rig.driver().Request({{"op", "js"}, {"code", "document.activeElement.id"}});
                return focused && focused->value("value").toString() == l.button;
            },
            kStepTimeoutMs));
        if (l.page == 237) {
            ASSERT_TRUE(rig.WaitForCall("WL_RetrieveSiteSurveyData(", mark));
        }
        SpinUntil([] { return false; }, 300);
        ASSERT_TRUE(rig.driver().Request({{"op", "js"},
                                          {"code", "setTimeout(function () { var t = Date.now();"
                                                   " while (Date.now() - t < 600) {} }, 0)"}}));
        ASSERT_TRUE(survey.ClickList(0));
        QJsonObject values;
        ASSERT_TRUE(rig.WaitForValues(
            [&](const QJsonObject& v) { return !v[detail].toString().isEmpty(); }, &values))
            << "the row's details show";
        SpinUntil([] { return false; }, 300);

        ASSERT_TRUE(survey.ClickList(-1));
        QJsonObject state;
        EXPECT_TRUE(rig.WaitForState(
            [](const QJsonObject& s) { return SurveyList(s)["selected"].toArray().isEmpty(); },
            &state))
            << QJsonDocument(SurveyList(state)).toJson().toStdString();
        EXPECT_TRUE(
            rig.WaitForValues([&](const QJsonObject& v) { return v[detail].toString().isEmpty(); },
                              &values, "main", 5000))
            << "still shown: " << values[detail].toString().toStdString();
    }
}

// --- with a notification area ---

class SurveyTray : public testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("KESTO_E2E_TRAY"))
            GTEST_SKIP() << "needs a display with a tray host (run through with-desktop.sh tray)";
    }
    static QString TrayIconWindow()
    {
        QProcess search;
        search.start("xdotool", {"search", "--class", "kesto-utility"});
        search.waitForFinished(5000);
        return QString::fromLatin1(search.readAllStandardOutput()).split('\n').value(0).trimmed();
    }
};

// The restore shows the status page before its scan's results are in; while a scan runs
// the tray menu opens (its about box here) and a request to end ends the program, the
// scan dropped unread.
TEST_F(SurveyTray, RestoreMenuAndExitDoNotWaitForAScan)
{
    UtilityRig rig(false);
    SetScanTime(rig, 60000); // the utility takes what there is after 10 s
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(SpinUntil([] { return !TrayIconWindow().isEmpty(); }, kStartTimeoutMs));
    ASSERT_EQ(QProcess::execute("xdotool", {"mousemove", "--window", TrayIconWindow(), "8", "8",
                                            "click", "--repeat", "2", "--delay", "80", "1"}),
              0);
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    EXPECT_EQ(CallsFrom(rig, "WL_SiteSurveyStart", 0), 1u);
    EXPECT_EQ(CallsFrom(rig, "WL_RetrieveSiteSurveyData", 0), 0u)
        << "the page came before the restore's scan results";
    ASSERT_TRUE(rig.WaitForCall("WL_RetrieveSiteSurveyData"));

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonTab2"));
    ASSERT_TRUE(rig.WaitForMainPage(237));
    ASSERT_EQ(QProcess::execute(
                  "xdotool", {"mousemove", "--window", TrayIconWindow(), "8", "8", "click", "3"}),
              0);
    SpinUntil([] { return false; }, 1000);
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "Down", "Return"}), 0); // "Info"
    ASSERT_TRUE(rig.WaitForState([](const QJsonObject& s) {
        return At(s, "dialog", "open").toBool() && At(s, "dialog", "page").toInt() == 109 &&
               At(s, "dialog", "ready").toBool();
    })) << rig.Output().toStdString();
    EXPECT_EQ(CallsFrom(rig, "WL_RetrieveSiteSurveyData", mark), 0u) << "the scan still runs";
    ASSERT_TRUE(rig.Key("Escape", "dialog"));
    ASSERT_TRUE(
        rig.WaitForState([](const QJsonObject& s) { return !At(s, "dialog", "open").toBool(); }));

    EXPECT_EQ(rig.RunSecond({"/EXIT"}), 0);
    EXPECT_TRUE(rig.WaitForEnd()) << rig.Output().toStdString();
    EXPECT_EQ(CallsFrom(rig, "WL_SiteSurveyStart", mark), 1u);
    EXPECT_EQ(CallsFrom(rig, "WL_RetrieveSiteSurveyData", mark), 0u) << "dropped at the end";
}

TEST_F(SurveyTray, SiteSurveyFromTheTrayMenuThenADoubleClickJoins)
{
    UtilityRig rig(false);
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(SpinUntil([] { return !TrayIconWindow().isEmpty(); }, kStartTimeoutMs));
    // The menu opens at the icon; its second entry is the site survey.
    ASSERT_EQ(QProcess::execute(
                  "xdotool", {"mousemove", "--window", TrayIconWindow(), "8", "8", "click", "3"}),
              0);
    SpinUntil([] { return false; }, 1000);
    ASSERT_EQ(QProcess::execute("xdotool", {"key", "Down", "Down", "Return"}), 0);
    SurveyE2e survey(rig);
    ASSERT_TRUE(survey.WaitForSurvey()) << rig.Output().toStdString();

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(survey.ClickRow("Bahnhof-Kiosk", true));
    EXPECT_TRUE(rig.WaitForCall("SetWL_SSID(Bahnhof-Kiosk)", mark));
    EXPECT_TRUE(survey.WaitForJoined("Bahnhof-Kiosk"));
}

} // namespace
} // namespace kesto::test
