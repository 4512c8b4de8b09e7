// End-to-end: the access point through both real processes. The mode switch, the
// settings page, the MAC filter page and the status page's station list are driven by
// real clicks and key presses; results are read from the adapter's call log, the store
// file and what the window shows. The default scenario has three stations without a
// WEP key and a fourth that sends with key 1 "1122334455".
#include "profiles/ProfileList.h"
#include "profiles/ProfileStore.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/UtilityRig.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kesto::test {
namespace {

int StationRows(const QJsonObject& state)
{
    return At(state, "lists", "1010", "rows").toInt(-1);
}

bool StationListShows(UtilityRig& rig, int rows, QJsonObject* last = nullptr)
{
    return rig.WaitForState(
        [rows](const QJsonObject& s) {
            return At(s, "main", "page").toInt() == 261 && At(s, "main", "ready").toBool() &&
                   At(s, "lists", "1010", "visible").toBool() && StationRows(s) == rows;
        },
        last);
}

// Keyboard focus on a select without opening its list, so the arrow keys that follow
// change it as a user's would.
bool FocusSelect(UtilityRig& rig, const char* id)
{
    const auto answer =
        rig.driver().Request({{"op", "js"},
                              {"surface", "main"},
                              {"code", QString("document.getElementById('%1').focus(); "
                                               "document.activeElement.id === '%1'")
                                           .arg(QLatin1String(id))}});
    return answer && answer->value("value").toBool();
}

// Chooses option index of select id by arrow keys from the option it shows.
bool Choose(UtilityRig& rig, const char* id, int index)
{
    const auto now = rig.Value(QLatin1String(id), "main");
    if (!now || !FocusSelect(rig, id))
        return false;
    for (int i = now->toInt(); i < index; ++i)
        if (!rig.Key("Down"))
            return false;
    for (int i = now->toInt(); i > index; --i)
        if (!rig.Key("Up"))
            return false;
    return rig.WaitForValues(
        [id, index](const QJsonObject& v) { return v[QLatin1String(id)].toInt() == index; });
}

bool TypeInto(UtilityRig& rig, const char* id, const QString& text)
{
    if (!rig.Click(QLatin1String(id)))
        return false;
    const auto answer = rig.driver().Request({{"op", "type"}, {"surface", "main"}, {"text", text}});
    return answer && answer->value("ok").toBool() &&
           rig.WaitForValues([id, text](const QJsonObject& v) {
               return v[QLatin1String(id)].toString() == text;
           });
}

void Screenshot(UtilityRig& rig, const char* name)
{
    const QByteArray shots = qgetenv("KESTO_E2E_SCREENSHOTS");
    if (shots.isEmpty())
        return;
    // The page engine paints a moment after its values change.
    for (int i = 0; i < 5; ++i)
        SpinUntil([] { return false; }, 100);
    rig.driver().Request({{"op", "grab"},
                          {"surface", "main"},
                          {"file", QString::fromLocal8Bit(shots) + "/" + name}});
}

ApSettings StoredApSettings(UtilityRig& rig)
{
    SqliteRegistry registry(rig.dir().file("registry.db").string());
    return ProfileStore(registry).ReadApSettings();
}

FilterList StoredFilterList(UtilityRig& rig)
{
    SqliteRegistry registry(rig.dir().file("registry.db").string());
    return ProfileStore(registry).ReadFilterList();
}

void PlugAdapter(UtilityRig& rig, bool present)
{
    rig.EditScenario([present](QJsonObject& scenario) {
        QJsonArray adapters = scenario["adapters"].toArray();
        QJsonObject adapter = adapters[0].toObject();
        adapter["present"] = present;
        adapters[0] = adapter;
        scenario["adapters"] = adapters;
    });
}

// Starts the program and switches it to the access point.
testing::AssertionResult StartAccessPoint(UtilityRig& rig)
{
    if (!rig.Start() || !rig.WaitForMainPage(236))
        return testing::AssertionFailure() << "no status page\n" << rig.Output().toStdString();
    if (!rig.Click("ImageAPRadio") || !rig.WaitForMainPage(261))
        return testing::AssertionFailure() << "no access point page";
    return testing::AssertionSuccess();
}

TEST(Offscreen, AccessPointShowsItselfAndTheStationsOfTheScenario)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartAccessPoint(rig));
    QJsonObject state;
    ASSERT_TRUE(StationListShows(rig, 3, &state)) << QJsonDocument(state).toJson().toStdString();
    EXPECT_EQ(At(state, "lists", "1010", "columns").toInt(), 2);
    EXPECT_EQ(At(state, "lists", "1010", "x").toInt(), 530);
    EXPECT_EQ(At(state, "lists", "1010", "y").toInt(), 154);
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "Mode"), "AP Mode");

    QJsonObject page;
    EXPECT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextAPMAC"].toString() == "02:4B:45:53:54:4F"; },
        &page))
        << QJsonDocument(page).toJson().toStdString();
    EXPECT_EQ(page["TextAPSSID"].toString(), "WLAN_AP");
    EXPECT_EQ(page["TextAPChannel"].toString(), "6");
    EXPECT_EQ(page["TextAPSecurity"].toString(), "Open System");
    EXPECT_EQ(page["TextAPOutPower"].toString(), "High");
    EXPECT_EQ(page["TextAPTrRate"].toString(), "54 Mbps");
    Screenshot(rig, "ap-status-261.png");
}

TEST(Offscreen, AccessPointWithA64BitKeyAdmitsOnlyTheStationThatKnowsIt)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartAccessPoint(rig));
    ASSERT_TRUE(rig.Click("ButtonTab6"));
    ASSERT_TRUE(rig.WaitForMainPage(262));
    ASSERT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextAPSetSSID"].toString() == "WLAN_AP"; }));

    ASSERT_TRUE(Choose(rig, "SelectAPWep", 1)) << "64 Bits";
    ASSERT_TRUE(TypeInto(rig, "TextAPWepKey", "1122334455"));
    ASSERT_TRUE(Choose(rig, "SelectAPChannel", 10)) << "CH 11";
    Screenshot(rig, "ap-settings-262.png");

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonSaveAPSet"));
    const auto last = rig.WaitForCall("SetWL_MultiDomainCapability(0)", mark);
    ASSERT_TRUE(last) << rig.Output().toStdString();
    std::vector<std::string> applied;
    const std::vector<std::string> calls = rig.Calls();
    for (std::size_t i = mark; i <= *last; ++i)
        applied.push_back(calls[i].substr(0, calls[i].find(" = ")));
    EXPECT_EQ(applied,
              (std::vector<std::string>{
                  "SetWL_AuthenticationMode(0)", "SetWL_Channel(11)", "SetWL_WEPStatus(0)",
                  "SetWL_WriteKey(0, 0, 1, 1122334455)", "SetWL_SSID(WLAN_AP)",
                  "SetWLAP_HideSSIDState(0)", "SetWLAP_FilterList(" + std::string(224, '0') + ")",
                  "SetWLAP_FilterMode(0)", "SetWL_BasicRate(1)", "SetWLAP_TxPowerLevel(0)",
                  "SetWL_PreambleMode(0)", "SetWL_FragmentationThreshold(2346)",
                  "SetWL_RTS_CTS_Threshold(2347)", "SetWL_MultiDomainCapability(0)"}));
    const ApSettings stored = StoredApSettings(rig);
    EXPECT_EQ(stored.WEP, 1);
    EXPECT_EQ(stored.KeyLength, 1);
    EXPECT_EQ(stored.KeyInUse, 1);
    EXPECT_EQ(stored.Channel, 11);
    EXPECT_EQ(stored.NetworkKey1, "1122334455");

    ASSERT_TRUE(rig.Click("ButtonTab5"));
    EXPECT_TRUE(StationListShows(rig, 1)) << "only the fourth station sends with our key";
}

TEST(Offscreen, AccessPointFilterAcceptsOrRefusesTheListedStation)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartAccessPoint(rig));
    ASSERT_TRUE(StationListShows(rig, 3));

    ASSERT_TRUE(rig.Click("ButtonTab7"));
    ASSERT_TRUE(rig.WaitForMainPage(263));
    ASSERT_TRUE(Choose(rig, "SelectAPFilterType", 1)) << "Akzeptieren";
    ASSERT_TRUE(TypeInto(rig, "TextFilterAddress1", "0a:11:22:33:44:02"));
    ASSERT_TRUE(TypeInto(rig, "TextFilterAddress3", "0A:11:22:33:44:0F"));
    Screenshot(rig, "ap-filter-263.png");
    std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonSaveAPFilter"));
    ASSERT_TRUE(rig.WaitForCall("SetWLAP_FilterMode(1)", mark)) << rig.Output().toStdString();
    EXPECT_EQ(StoredFilterList(rig).FilterAddress[0], "0a:11:22:33:44:02") << "stored as typed";
    ASSERT_TRUE(rig.Click("ButtonTab5"));
    EXPECT_TRUE(StationListShows(rig, 1)) << "only the listed station is admitted";

    ASSERT_TRUE(rig.Click("ButtonTab7"));
    ASSERT_TRUE(rig.WaitForMainPage(263));
    ASSERT_TRUE(rig.WaitForValues([](const QJsonObject& v) {
        return v["TextFilterAddress1"].toString() == "0a:11:22:33:44:02";
    })) << "the page shows the stored list";
    ASSERT_TRUE(Choose(rig, "SelectAPFilterType", 2)) << "Ablehnen";
    mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonSaveAPFilter"));
    ASSERT_TRUE(rig.WaitForCall("SetWLAP_FilterMode(2)", mark));
    ASSERT_TRUE(rig.Click("ButtonTab5"));
    EXPECT_TRUE(StationListShows(rig, 2)) << "the listed station is refused";

    // An invalid address: one message, nothing stored.
    ASSERT_TRUE(rig.Click("ButtonTab7"));
    ASSERT_TRUE(rig.WaitForMainPage(263));
    ASSERT_TRUE(TypeInto(rig, "TextFilterAddress9", "0A:11:22"));
    ASSERT_TRUE(rig.Click("ButtonSaveAPFilter"));
    for (int i = 0; i < 10; ++i)
        SpinUntil([] { return false; }, 100);
    EXPECT_EQ(StoredFilterList(rig).FilterAddress[8], "");
}

TEST(Offscreen, AccessPointRestartAppliesTheSettingsBeforeTheWindowShows)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartAccessPoint(rig));
    ASSERT_TRUE(rig.Click("ButtonTab6"));
    ASSERT_TRUE(rig.WaitForMainPage(262));
    ASSERT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextAPSetSSID"].toString() == "WLAN_AP"; }));
    ASSERT_TRUE(rig.Click("TextAPSetSSID"));
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(rig.Key("Backspace"));
    ASSERT_TRUE(TypeInto(rig, "TextAPSetSSID", "Neustart-AP"));
    std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonSaveAPSet"));
    ASSERT_TRUE(rig.WaitForCall("SetWL_SSID(Neustart-AP)", mark)) << rig.Output().toStdString();

    EXPECT_EQ(rig.RunSecond({"-exit"}), 0);
    ASSERT_TRUE(rig.WaitForEnd());

    // The new run writes a log of its own; none of the first run's calls may count.
    std::filesystem::remove(rig.dir().file("calls.log"));
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    const auto applied = rig.WaitForCall("SetWL_SSID(Neustart-AP)");
    ASSERT_TRUE(applied) << "the stored access point is set up at start";
    const auto mode = rig.WaitForCall("SetWL_OperationMode_STA_AP(1)");
    ASSERT_TRUE(mode);
    EXPECT_LT(*mode, *applied);
    // The window's first refresh reads the stations only after the apply.
    const auto firstRead = rig.WaitForCall("WL_RetrieveStationList(");
    ASSERT_TRUE(firstRead);
    EXPECT_GT(*firstRead, *applied);
    EXPECT_TRUE(StationListShows(rig, 3));
    EXPECT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextAPSSID"].toString() == "Neustart-AP"; }));
}

TEST(Offscreen, AccessPointSurvivesTheAdapterLeavingAndComingBack)
{
    UtilityRig rig(true);
    ASSERT_TRUE(StartAccessPoint(rig));
    ASSERT_TRUE(StationListShows(rig, 3));

    std::size_t mark = rig.Calls().size();
    PlugAdapter(rig, false);
    const auto closed = rig.WaitForCall("QvCloseAdapter", mark);
    ASSERT_TRUE(closed) << rig.Output().toStdString();
    // Timer 8 would tick several times in this while; nothing polls the closed context.
    for (int i = 0; i < 50; ++i)
        SpinUntil([] { return false; }, 100);
    EXPECT_TRUE(rig.TrayRunning()) << rig.Output().toStdString();
    const std::vector<std::string> afterLoss = rig.Calls();
    for (std::size_t i = *closed + 1; i < afterLoss.size(); ++i)
        EXPECT_FALSE(afterLoss[i].starts_with("WL_RetrieveStationList")) << afterLoss[i];

    mark = rig.Calls().size();
    PlugAdapter(rig, true);
    const auto reopened = rig.WaitForCall("QvOpenAdapter", mark);
    ASSERT_TRUE(reopened) << rig.Output().toStdString();
    EXPECT_TRUE(rig.WaitForCall("SetWLAP_FilterList(", *reopened)) << "set up again";
    EXPECT_TRUE(rig.TrayRunning());
}

} // namespace
} // namespace kesto::test
