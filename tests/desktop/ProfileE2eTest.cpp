// End-to-end: the profile page, the profile wizard and the adapter page through the two
// real processes, with real clicks and key presses on the real pages; results read from
// the store file, the adapter's call log and the message boxes the program answered.
#include "profiles/ProfileList.h"
#include "profiles/ProfileStore.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/UtilityRig.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace kesto::test {
namespace {

constexpr const char* kProfileKeyPath =
    "Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00\\Profile\\";

std::string Link(UtilityRig& rig, int n)
{
    return rig.StoredText(kProductKeyPath, "ProfileLink " + std::to_string(n));
}

// The store as a first run leaves it, with more profiles appended.
void SeedProfiles(UtilityRig& rig, const std::vector<std::pair<std::string, std::string>>& named)
{
    SqliteRegistry registry(rig.dir().file("registry.db").string());
    ProfileStore store(registry);
    WorkingRecords work;
    FakeDialogs dialogs;
    ProfileList list(store, work, dialogs, "kesto-utility");
    list.CreateFirstRunStore();
    for (const auto& [name, ssid] : named) {
        ProfileRecord record;
        record.ProfileName = name;
        record.SSID = ssid;
        list.AddProfile(record);
    }
}

ProfileRecord StoredProfile(UtilityRig& rig, const std::string& name)
{
    SqliteRegistry registry(rig.dir().file("registry.db").string());
    return ProfileStore(registry).ReadProfile(name);
}

// The names of the networks in the rig's scenario.
QStringList ScenarioNames(UtilityRig& rig)
{
    QFile file(QString::fromStdString(rig.dir().file("scenario.json").string()));
    file.open(QIODevice::ReadOnly);
    QStringList names;
    for (const QJsonValue network : QJsonDocument::fromJson(file.readAll())["networks"].toArray())
        names << network["ssid"].toString();
    return names;
}

void Screenshot(UtilityRig& rig, const char* file)
{
    if (const QByteArray shots = qgetenv("KESTO_E2E_SCREENSHOTS"); !shots.isEmpty())
        rig.driver().Request(
            {{"op", "grab"}, {"surface", "main"}, {"file", QString::fromLocal8Bit(shots) + file}});
}

class ProfileE2e : public testing::Test {
protected:
    void StartOnTheProfilePage()
    {
        ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
        ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
        ASSERT_TRUE(rig.Click("ButtonTab3"));
        ASSERT_TRUE(rig.WaitForMainPage(238));
    }
    bool Page(int pageId) { return rig.WaitForMainPage(pageId); }
    // Clicks into a text field and types; the field keeps what it held.
    bool Type(const char* id, const QString& text)
    {
        return rig.Click(id) &&
               rig.driver().Request({{"op", "type"}, {"text", text}}).has_value() &&
               rig.WaitForValues([&](const QJsonObject& v) {
                   return v[QLatin1String(id)].toString().endsWith(text);
               });
    }
    bool Erase(const char* id, int count)
    {
        if (!rig.Click(id) ||
            !rig.driver().Request({{"op", "js"},
                                   {"code", QString("document.getElementById('") + id +
                                                "').setSelectionRange(999,999)"}}))
            return false;
        for (int i = 0; i < count; ++i)
            if (!rig.Key("Backspace"))
                return false;
        return true;
    }
    // Moves a select to option index with the arrow keys, as a person using the
    // keyboard does (a closed select changes with Up and Down).
    bool Choose(const char* id, int index)
    {
        if (!rig.driver().Request(
                {{"op", "js"}, {"code", QString("document.getElementById('") + id + "').focus()"}}))
            return false;
        const int now = rig.Value(id, "main").value_or(QJsonValue(-1)).toInt();
        for (int i = now; i < index; ++i)
            rig.Key("Down");
        for (int i = now; i > index; --i)
            rig.Key("Up");
        return rig.WaitForValues(
            [&](const QJsonObject& v) { return v[QLatin1String(id)].toInt() == index; });
    }
    bool ListRows(int list, int rows)
    {
        return rig.WaitForState([&](const QJsonObject& s) {
            const QJsonObject l = s["lists"].toObject()[QString::number(list)].toObject();
            return l["visible"].toBool() && l["rows"].toInt() == rows;
        });
    }
    bool ListClick(int list, int row)
    {
        const auto answer =
            rig.driver().Request({{"op", "listClick"}, {"list", list}, {"row", row}});
        return answer && answer->value("ok").toBool();
    }
    std::string Message(std::size_t n)
    {
        rig.WaitForMessages(n + 1);
        const auto messages = rig.Messages();
        return n < messages.size() ? messages[n] : "<no message>";
    }

    UtilityRig rig{true};
};

TEST_F(ProfileE2e, AddAnInfrastructureProfileThroughTheWizardThenEditAndActivateIt)
{
    StartOnTheProfilePage();
    ASSERT_TRUE(rig.Click("ButtonAddPrf"));
    ASSERT_TRUE(Page(256));

    // "Default" is taken, and so is "default": the store's names ignore letter case.
    ASSERT_TRUE(Type("TextAddProfile", "Default"));
    ASSERT_TRUE(rig.Click("ButtonNextAdd"));
    EXPECT_EQ(Message(0), "This Profile Name has already existed!");
    ASSERT_TRUE(Erase("TextAddProfile", 7));
    ASSERT_TRUE(Type("TextAddProfile", "default"));
    ASSERT_TRUE(rig.Click("ButtonNextAdd"));
    EXPECT_EQ(Message(1), "This Profile Name has already existed!");
    EXPECT_TRUE(Page(256));

    ASSERT_TRUE(Erase("TextAddProfile", 7));
    ASSERT_TRUE(Type("TextAddProfile", "Buero"));

    // The wizard's own survey lists the networks in range; picking one copies its name.
    QJsonObject state;
    ASSERT_TRUE(rig.WaitForState(
        [](const QJsonObject& s) {
            const QJsonObject list = s["lists"].toObject()["1010"].toObject();
            return list["visible"].toBool() && list["rows"].toInt() > 0;
        },
        &state))
        << QJsonDocument(state).toJson().toStdString();
    ASSERT_TRUE(ListClick(1010, 0));
    ASSERT_TRUE(rig.Click("ButtonSelectAdd"));
    QJsonObject picked;
    ASSERT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return !v["TextAddSSID"].toString().isEmpty(); }, &picked));
    const QString pickedName = picked["TextAddSSID"].toString();
    EXPECT_TRUE(ScenarioNames(rig).contains(pickedName)) << pickedName.toStdString();
    EXPECT_EQ(picked["TextAddProfile"].toString(), "Buero");
    ASSERT_TRUE(Erase("TextAddSSID", static_cast<int>(pickedName.size())));
    ASSERT_TRUE(Type("TextAddSSID", "Hausnetz-Berger"));
    Screenshot(rig, "/wizard-256.png");
    ASSERT_TRUE(rig.Click("ButtonNextAdd"));
    ASSERT_TRUE(Page(258));
    ASSERT_TRUE(rig.Click("ButtonNextPrfStep2"));
    ASSERT_TRUE(Page(247));
    QJsonObject confirm;
    ASSERT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextPrfStep3SSID"].toString() == "Hausnetz-Berger"; },
        &confirm));
    EXPECT_EQ(confirm["TextPrfStep3NetworkType"].toString(), "Infrastruktur");
    EXPECT_EQ(confirm["TextPrfStep3Security"].toString(), "Deaktiviert");
    Screenshot(rig, "/wizard-247.png");
    ASSERT_TRUE(rig.Click("ButtonNextPrfStep3"));
    ASSERT_TRUE(Page(259));
    EXPECT_EQ(Link(rig, 2), "Buero");
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "ProfileLinkNumber"), " 2");
    EXPECT_EQ(rig.StoredText(std::string(kProfileKeyPath) + "Buero", "SSID"), "Hausnetz-Berger");
    ASSERT_TRUE(rig.Click("ActiveLater"));
    ASSERT_TRUE(Page(238));
    ASSERT_TRUE(ListRows(1009, 2));

    // Editing cannot rename; without the rename it keeps the profile's link.
    ASSERT_TRUE(ListClick(1009, 1));
    ASSERT_TRUE(rig.Click("ButtonEditPrf"));
    ASSERT_TRUE(Page(260));
    ASSERT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextAddProfile"].toString() == "Buero"; }));
    ASSERT_TRUE(Type("TextAddProfile", "2"));
    ASSERT_TRUE(rig.Click("ButtonNextAdd"));
    EXPECT_EQ(Message(2), "This Profile doesn't exist!");
    ASSERT_TRUE(Erase("TextAddProfile", 1));
    ASSERT_TRUE(rig.Click("ButtonNextAdd"));
    ASSERT_TRUE(Page(258));
    ASSERT_TRUE(rig.Click("ButtonNextPrfStep2"));
    ASSERT_TRUE(Page(247));
    ASSERT_TRUE(rig.Click("ButtonNextPrfStep3"));
    ASSERT_TRUE(Page(259));
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "ProfileLinkNumber"), " 2");
    EXPECT_EQ(Link(rig, 2), "Buero");

    // Activate now: the profile goes to the adapter and becomes the default.
    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ActiveNow"));
    ASSERT_TRUE(Page(236));
    EXPECT_TRUE(rig.WaitForCall("SetWL_SSID(Hausnetz-Berger)", mark));
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "DefaultProfileLink"), "2");
    EXPECT_TRUE(rig.WaitForValues([](const QJsonObject& v) {
        return v["TextNetworkName"].toString() == "Hausnetz-Berger";
    })) << "the status page shows the joined network";
    EXPECT_EQ(rig.Messages().size(), 3u);
}

TEST_F(ProfileE2e, AdHocStepPageFollowsTheAdaptersChannels)
{
    for (const bool eleven : {true, false}) {
        UtilityRig run(true);
        if (eleven)
            run.EditScenario([](QJsonObject& s) {
                s["regulatoryChannels"] = QJsonArray{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
            });
        ASSERT_TRUE(run.Start()) << run.Output().toStdString();
        ASSERT_TRUE(run.WaitForMainPage(236));
        ASSERT_TRUE(run.Click("ButtonTab3"));
        ASSERT_TRUE(run.WaitForMainPage(238));
        ASSERT_TRUE(run.Click("ButtonAddPrf"));
        ASSERT_TRUE(run.WaitForMainPage(256));
        ASSERT_TRUE(run.Click("TextAddProfile"));
        run.driver().Request({{"op", "type"}, {"text", "Spiel"}});
        ASSERT_TRUE(run.Click("TextAddSSID"));
        run.driver().Request({{"op", "type"}, {"text", "Spielwiese"}});
        ASSERT_TRUE(run.Click("Radio2"));
        ASSERT_TRUE(run.WaitForValues([](const QJsonObject& v) {
            return v["RadioGroup"].toInt() == 1 && v["TextAddSSID"].toString() == "Spielwiese";
        }));
        ASSERT_TRUE(run.Click("ButtonNextAdd"));
        EXPECT_TRUE(run.WaitForMainPage(eleven ? 264 : 257)) << eleven;
        EXPECT_EQ(run.Value("SelectPrfStep1Channel", "main"), QJsonValue(5)) << "channel 6";
        if (eleven) {
            if (const QByteArray shots = qgetenv("KESTO_E2E_SCREENSHOTS"); !shots.isEmpty())
                run.driver().Request({{"op", "grab"},
                                      {"surface", "main"},
                                      {"file", QString::fromLocal8Bit(shots) + "/wizard-264.png"}});
        }
    }
}

TEST_F(ProfileE2e, DeleteRenumbersTheListAndConnectAppliesTheSelectedProfile)
{
    SeedProfiles(rig, {{"Buero", "Hausnetz-Berger"},
                       {"Cafe", "Cafe-Lindenhof"},
                       {"Gasthof", "Gaestenetz-Gasthof-Zum-Hirschen"}});
    StartOnTheProfilePage();
    ASSERT_TRUE(ListRows(1009, 4));
    ASSERT_TRUE(ListClick(1009, 2));
    ASSERT_TRUE(rig.WaitForValues(
        [](const QJsonObject& v) { return v["TextTab3SSID"].toString() == "Cafe-Lindenhof"; }));
    Screenshot(rig, "/profiles-238.png");

    ASSERT_TRUE(rig.Click("ButtonDelPrf"));
    ASSERT_TRUE(ListRows(1009, 3));
    EXPECT_EQ(Link(rig, 2), "Buero");
    EXPECT_EQ(Link(rig, 3), "Gasthof");
    EXPECT_EQ(Link(rig, 4), "");
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "ProfileLinkNumber"), " 3");
    EXPECT_EQ(StoredProfile(rig, "Cafe").AuthenticationMode, 255) << "its key is gone";

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(ListClick(1009, 2));
    ASSERT_TRUE(rig.Click("ButtonConPrf"));
    ASSERT_TRUE(Page(236));
    EXPECT_TRUE(rig.WaitForCall("SetWL_SSID(Gaestenetz-Gasthof-Zum-Hirschen)", mark));
    EXPECT_EQ(rig.StoredText(kProductKeyPath, "DefaultProfileLink"), "3");
}

TEST_F(ProfileE2e, AdapterPageSavesRatePreambleAndPowerSaving)
{
    SeedProfiles(rig, {});
    {
        // The save applies the profile in use, which needs a network to join.
        SqliteRegistry registry(rig.dir().file("registry.db").string());
        ProfileStore store(registry);
        ProfileRecord record = store.ReadProfile("Default");
        record.SSID = "Cafe-Lindenhof";
        store.WriteProfile(record);
    }
    ASSERT_TRUE(rig.Start()) << rig.Output().toStdString();
    ASSERT_TRUE(rig.WaitForMainPage(236)) << rig.Output().toStdString();
    ASSERT_TRUE(rig.Click("ButtonTab4"));
    ASSERT_TRUE(Page(239));
    ASSERT_TRUE(Choose("SelectRate", 1));
    ASSERT_TRUE(Choose("SelectPreamble", 1));
    ASSERT_TRUE(Choose("SelectSaving", 1));

    const std::size_t mark = rig.Calls().size();
    ASSERT_TRUE(rig.Click("ButtonSaveAdp"));
    ASSERT_TRUE(Page(236));
    EXPECT_TRUE(rig.WaitForCall("SetWL_DesiredRate(6C000000000000000000000000000000)", mark));
    EXPECT_TRUE(rig.WaitForCall("SetWL_PSMode(1)", mark));
    EXPECT_TRUE(rig.WaitForCall("SetWL_PreambleMode(1)", mark));
    const ProfileRecord stored = StoredProfile(rig, "Default");
    EXPECT_EQ(stored.TxRate, 1);
    EXPECT_EQ(stored.Preamble, 1);
    EXPECT_EQ(stored.PSMode, 1);
    // The status page runs again: its monitor reads the link.
    EXPECT_TRUE(rig.WaitForCall("QueryWL_LinkStatus(", mark));
}

} // namespace
} // namespace kesto::test
