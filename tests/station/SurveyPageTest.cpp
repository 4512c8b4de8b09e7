// The site survey in the core: the main window on the real store and simulated adapter
// with the default scenario; the survey list and the security pop-up played by fakes.
#include "station/SurveyPage.h"
#include "app/MainDialog.h"
#include "app/UtilityCommands.h"
#include "drivers/qvwlan/CallLog.h"
#include "security/SecurityPopup.h"
#include "tests/support/ShellRig.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <functional>
#include <regex>
#include <string>

namespace kesto {
namespace {

constexpr int kCommandSiteSurvey = 32772;

class SurveyPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        dlg.OnInitDialog();
        rig.clock.Advance(2000);
        rig.tray.Notify(TrayMouse::LeftDoubleClick);
        rig.pages.Click("ButtonTab2");
        rig.clock.Settle();
        ASSERT_EQ(rig.pages.main.pageId, kSurveyPageId);
    }

    int Row(std::string_view name)
    {
        const auto& rows = rig.surveyList.rows;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].texts.at(1) == name)
                return static_cast<int>(i);
        ADD_FAILURE() << "no row " << name;
        return -1;
    }
    void List(ListEvent event, int index)
    {
        if (event != ListEvent::HeaderClick)
            rig.surveyList.selected = {index};
        rig.surveyList.sink->OnListEvent(event, index);
    }
    void DoubleClick(std::string_view name) { List(ListEvent::DoubleClick, Row(name)); }
    std::string Shown(std::string_view id) const
    {
        const ElementValue* value = rig.pages.Value(id);
        return value ? std::get<std::string>(*value) : "<absent>";
    }
    // The names of the calls since the last clearCalls that set something.
    std::vector<std::string> Setters() const
    {
        std::vector<std::string> out;
        for (const auto& call : rig.wlan.calls())
            if (call.name.starts_with("Set"))
                out.push_back(qvwlan::Describe(call));
        return out;
    }
    std::string Driver(std::string_view value)
    {
        return rig.store.ReadText(dlg.discovery().SelectedAdapterKey() + "\\" + std::string(value));
    }
    // Lets the adapter associate and returns the network it is on ("" for none).
    std::string JoinedBssid()
    {
        rig.clock.Advance(2000);
        dlg.api().QueryWL_LinkStatus();
        const auto bssid = rig.wlan.associatedBssid("0007");
        if (!bssid)
            return "";
        char text[18];
        std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", (*bssid)[0], (*bssid)[1],
                      (*bssid)[2], (*bssid)[3], (*bssid)[4], (*bssid)[5]);
        return text;
    }

    test::ShellRig rig;
    MainDialog dlg{rig.ports, rig.store, rig.work, "kesto-utility"};
};

TEST_F(SurveyPageTest, ListsTheScanWithColumnsChannelsSignalAndRowImages)
{
    const auto& list = rig.surveyList;
    EXPECT_EQ(list.columns,
              (std::vector<ListColumn>{
                  {"", 45, true}, {"SSID", 126, true}, {"Kanal", 62, true}, {"Signal", 62, true}}));
    EXPECT_TRUE(list.gridLines && list.fullRowSelect && list.visible);
    EXPECT_EQ(list.rows.size(), 11u);
    EXPECT_FALSE(rig.timers.running.contains(kTimerLinkStatus));

    struct Expect {
        const char* name;
        const char* channel;
        int image;
    };
    for (const Expect& e : {Expect{"Cafe-Lindenhof", "1", 0}, Expect{"Buergeramt", "13", 1},
                            Expect{"Bahnhof-Kiosk", "14", 0}, Expect{"Spielwiese", "10", 2},
                            Expect{"WG-Kastanienallee", "6", 1}, Expect{"", "6", 0}}) {
        SCOPED_TRACE(e.name);
        const ListRow& row = list.rows.at(static_cast<std::size_t>(Row(e.name)));
        EXPECT_EQ(row.texts.at(2), e.channel);
        EXPECT_EQ(row.imageIndex, e.image);
        EXPECT_TRUE(std::regex_match(row.texts.at(3), std::regex("[0-9]{1,3}%")));
    }
}

TEST_F(SurveyPageTest, SeventyNetworksInRangeListSixtyFour)
{
    std::filesystem::copy_file(test::SourceDir() / "resources" / "scenarios" / "many-networks.json",
                               rig.scenarioPath, std::filesystem::copy_options::overwrite_existing);
    rig.wlan.reloadScenario();
    rig.pages.Click("ButtonSiteScan");
    rig.clock.Settle();
    EXPECT_EQ(rig.surveyList.rows.size(), 64u);
}

TEST_F(SurveyPageTest, ClickShowsTheDetailsOfTheSelectedRow)
{
    List(ListEvent::Click, Row("Hotel-Seeblick-Gast1"));
    EXPECT_EQ(Shown("TextTab2Encry"), "WPA-PSK"); // a 20-byte name: still WPA
    EXPECT_EQ(Shown("TextTab2NetworkType"), "Infrastruktur");
    EXPECT_EQ(Shown("TextTab2Channel"), "5");
    EXPECT_EQ(Shown("TextTab2MAC"), "0A:3C:71:00:00:0A");
    EXPECT_TRUE(std::regex_match(Shown("TextTab2Survey"), std::regex("\\d\\d:\\d\\d:\\d\\d")));

    List(ListEvent::Click, Row("Spielwiese"));
    EXPECT_EQ(Shown("TextTab2NetworkType"), "Ad-Hoc");
    EXPECT_EQ(Shown("TextTab2Encry"), "Deaktiviert");

    List(ListEvent::Click, -1);
    rig.surveyList.selected.clear();
    List(ListEvent::HeaderClick, 0);
    EXPECT_EQ(Shown("TextTab2Encry"), "");
    EXPECT_EQ(Shown("TextTab2MAC"), "");
}

TEST_F(SurveyPageTest, SignalSortsAscendingThenDescending)
{
    const auto percents = [&] {
        std::vector<int> out;
        for (const ListRow& row : rig.surveyList.rows)
            out.push_back(std::stoi(row.texts.at(3)));
        return out;
    };
    const auto rssis = [&] {
        std::vector<int> out;
        for (const SurveyEntry& e : dlg.controllers().survey().shown())
            out.push_back(e.rssi);
        return out;
    };
    List(ListEvent::HeaderClick, 3);
    auto rssi = rssis();
    EXPECT_TRUE(std::is_sorted(rssi.begin(), rssi.end()));
    auto shown = percents();
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    List(ListEvent::HeaderClick, 3);
    shown = percents();
    EXPECT_TRUE(std::is_sorted(shown.rbegin(), shown.rend()));
    rssi = rssis();
    EXPECT_TRUE(std::is_sorted(rssi.rbegin(), rssi.rend()));

    List(ListEvent::HeaderClick, 1);
    EXPECT_EQ(rig.surveyList.rows.front().texts.at(1), ""); // the hidden network first
    EXPECT_EQ(rig.surveyList.rows.back().texts.at(1), "WG-Kastanienallee");
}

TEST_F(SurveyPageTest, OpenNetworkJoinsWithExactCallsAndShowsTheStatusPage)
{
    rig.work.ActiveProfileName = "Default";
    rig.wlan.clearCalls();
    DoubleClick("Bahnhof-Kiosk");
    EXPECT_EQ(Setters(), (std::vector<std::string>{
                             "SetWL_SSID(Bahnhof-Kiosk) = 0",
                             "SetWL_DesiredRate(02040B0C121618243048606C00000000) = 0",
                             "SetWL_NetworkType(1) = 1",
                             "SetWL_AuthenticationMode(0) = 0",
                             "SetWL_WEPStatus(1) = 0",
                             "SetWL_PreambleMode(3) = 0",
                         }));
    EXPECT_EQ(Driver("SSID"), "Bahnhof-Kiosk");
    EXPECT_EQ(Driver("RFChannel"), "14");
    EXPECT_EQ(Driver("NetworkType"), "1");
    EXPECT_EQ(Driver("PowerSaveMode"), "0");
    EXPECT_EQ(rig.work.ActiveProfileName, "");
    EXPECT_EQ(rig.work.CurrentProfile.SSID, "Bahnhof-Kiosk");
    EXPECT_EQ(rig.work.CurrentProfile.ProfileName, "");
    EXPECT_EQ(rig.pages.main.pageId, kStatusPageId);
    EXPECT_FALSE(rig.surveyList.visible);
    EXPECT_EQ(rig.timers.running.at(kTimerLinkStatus), 300u);
    EXPECT_EQ(rig.timers.running.at(kTimerSignal), 1000u);
    EXPECT_EQ(rig.timers.running.at(kTimerThroughput), 300u);
    EXPECT_EQ(JoinedBssid(), "0A:3C:71:00:00:0E");
}

TEST_F(SurveyPageTest, OpenJoinAfterASharedKeyProfileUsesOpenSystem)
{
    dlg.api().SetWL_AuthenticationMode(1); // what a shared-key profile left behind
    DoubleClick("Cafe-Lindenhof");
    EXPECT_EQ(JoinedBssid(), "0A:3C:71:00:00:01");
}

TEST_F(SurveyPageTest, WepNetworkRejectsAWrongKeyThenJoinsWithTheRightOne)
{
    rig.wlan.clearCalls();
    int rounds = 0;
    rig.pages.dialogScript = [&](test::FakePageHost& pages) {
        EXPECT_EQ(pages.dialog.pageId, kPopupWepPageId);
        EXPECT_EQ(*pages.DialogValue("SelectWepWep"), ElementValue(0));
        EXPECT_EQ(*pages.DialogValue("SelectWepAuthen"), ElementValue(0));
        EXPECT_EQ(*pages.DialogValue("TextWepKey"), ElementValue(std::string()));
        pages.TypeInDialog("TextWepKey", "1A2B3C4D5");
        pages.ClickInDialog("ButtonPopSaveWep");
        ++rounds;
        ASSERT_TRUE(pages.dialogRunning);
        pages.TypeInDialog("TextWepKey", "1A2B3C4D5E");
        pages.ClickInDialog("TextWepKey", ElementEvent::Blur);
        EXPECT_EQ(*pages.DialogValue("TextWepKey"), ElementValue(std::string(kWepKeyMask)));
        pages.ClickInDialog("ButtonPopSaveWep");
    };
    DoubleClick("WG-Kastanienallee");
    EXPECT_EQ(rounds, 1);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text,
              "The length of Key should be 5 or 10.Please re-enter Key 1");
    const auto setters = Setters();
    EXPECT_NE(std::find(setters.begin(), setters.end(),
                        "SetWL_WriteKey(0, 0, 1, 1A2B3C4D5E0000000000) = 0"),
              setters.end())
        << testing::PrintToString(setters);
    EXPECT_EQ(rig.work.CurrentProfile.KeyLength, 1);
    EXPECT_EQ(rig.work.CurrentProfile.NetWorkKey1, "1A2B3C4D5E");
    EXPECT_EQ(rig.pages.main.pageId, kStatusPageId);
    EXPECT_EQ(JoinedBssid(), "0A:3C:71:00:00:03");
}

TEST_F(SurveyPageTest, CancelledPopupChangesNothingAndRefillsTheSurvey)
{
    rig.work.ActiveProfileName = "Default";
    const ProfileRecord before = rig.work.CurrentProfile;
    rig.wlan.clearCalls();
    rig.pages.dialogScript = [](test::FakePageHost& pages) {
        pages.TypeInDialog("TextWepKey", "0123456789ABCDEF0123456789");
    };
    DoubleClick("Praxis-Dr-Weber");
    EXPECT_TRUE(Setters().empty()) << testing::PrintToString(Setters());
    EXPECT_EQ(rig.work.CurrentProfile, before);
    EXPECT_EQ(rig.work.ActiveProfileName, "Default");
    EXPECT_EQ(rig.pages.main.pageId, kSurveyPageId);
    EXPECT_TRUE(rig.surveyList.visible);
    EXPECT_EQ(rig.surveyList.rows.size(), 11u);
}

TEST_F(SurveyPageTest, HiddenNetworkIsNotJoined)
{
    rig.work.ActiveProfileName = "Default";
    const ProfileRecord before = rig.work.CurrentProfile;
    rig.wlan.clearCalls();
    DoubleClick("");
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, ApplyFaultMessage(ApplyFault::NoNetworkName));
    EXPECT_TRUE(Setters().empty()) << testing::PrintToString(Setters());
    EXPECT_TRUE(rig.pages.dialogs.empty());
    EXPECT_EQ(rig.work.CurrentProfile, before);
    EXPECT_EQ(rig.work.ActiveProfileName, "Default");
    EXPECT_EQ(rig.pages.main.pageId, kSurveyPageId);
}

// A WPA network chosen in the survey: the pop-up opens on its WPA page, and the
// network joins only with what its access point accepts; each WPA network of the
// shipped scenario joins with the pass phrase or login its README gives.
struct WpaSurveyJoin {
    const char* name;
    const char* network;
    int firstPage;
    std::function<void(test::FakePageHost&)> user; // what the user does in the pop-up
    bool saved;                                    // a save button closed the pop-up
    const char* joined;                            // "" for no link
    std::string_view message = {};                 // the pop-up's one message, if any
};

class SurveyWpaJoinTest : public SurveyPageTest,
                          public testing::WithParamInterface<WpaSurveyJoin> {};

void TypePassPhrase(test::FakePageHost& pages, std::string_view phrase)
{
    pages.SetInDialog("SelPskEncryType", ElementValue(1));
    pages.TypeInDialog("TextPopPskPassPhrase", phrase);
    pages.ClickInDialog("ButtonPopSaveWpaPsk");
}

// The pop-up's TTLS page; with check, the server certificate is validated against
// serverName.
void TypeTtlsLogin(test::FakePageHost& pages, std::string_view password, int check = 0,
                   std::string_view serverName = "")
{
    pages.SetInDialog("SelRadiusEncryType", ElementValue(1));
    pages.ClickInDialog("ButtonPopNextWpaRadius");
    ASSERT_EQ(pages.dialog.pageId, kPopupEapTtlsPageId);
    pages.TypeInDialog("TextPopTtlsLoginName", "amt-gast");
    pages.TypeInDialog("TextPopTtlsPassword", password);
    pages.SetInDialog("SelectPopTtlsProtocal", ElementValue(3));
    pages.SetInDialog("CheckboxPopTtls", ElementValue(check));
    pages.SetInDialog("TextPopTtlsServerName", ElementValue(std::string(serverName)));
    pages.ClickInDialog("ButtonPopSaveEapTtls");
}

TEST_P(SurveyWpaJoinTest, JoinsOnlyWithWhatTheNetworkAccepts)
{
    const WpaSurveyJoin& c = GetParam();
    rig.SetNetworkField("Buergeramt", "radiusServerName", "radius.buergeramt.example");
    rig.work.ActiveProfileName = "Default";
    const ProfileRecord before = rig.work.CurrentProfile;
    rig.wlan.clearCalls();
    int opened = 0;
    rig.pages.dialogScript = [&](test::FakePageHost& pages) {
        ++opened;
        EXPECT_EQ(pages.dialog.pageId, c.firstPage);
        c.user(pages);
    };
    DoubleClick(c.network);
    EXPECT_EQ(opened, 1);
    if (c.message.empty())
        EXPECT_TRUE(rig.dialogs.messages.empty());
    else
        EXPECT_EQ(rig.dialogs.messages.at(0).text, c.message);
    const auto setters = Setters();
    const bool wpaCalled = std::any_of(setters.begin(), setters.end(), [](const std::string& s) {
        return s.starts_with("SetWL_WPA(");
    });
    if (!c.saved) {
        EXPECT_TRUE(setters.empty()) << testing::PrintToString(setters);
        EXPECT_EQ(rig.work.CurrentProfile, before);
        EXPECT_EQ(rig.work.ActiveProfileName, "Default");
        EXPECT_EQ(rig.pages.main.pageId, kSurveyPageId);
        return;
    }
    EXPECT_TRUE(wpaCalled) << testing::PrintToString(setters);
    // Neither the 802.11 authentication nor WEP may follow: they would end the WPA join.
    EXPECT_TRUE(std::none_of(setters.begin(), setters.end(), [](const std::string& s) {
        return s.starts_with("SetWL_AuthenticationMode") || s.starts_with("SetWL_WEPStatus");
    })) << testing::PrintToString(setters);
    EXPECT_EQ(rig.work.CurrentProfile.SSID, c.network);
    EXPECT_EQ(rig.work.CurrentProfile.EncryptionType, 1);
    EXPECT_EQ(rig.pages.main.pageId, kStatusPageId);
    EXPECT_EQ(JoinedBssid(), c.joined);
}

INSTANTIATE_TEST_SUITE_P(
    Survey, SurveyWpaJoinTest,
    testing::Values(
        WpaSurveyJoin{"PskWithThePassPhrase", "Villa-Sonne", kPopupWpaPskPageId,
                      [](test::FakePageHost& p) { TypePassPhrase(p, "sonnenblume-7"); }, true,
                      "0A:3C:71:00:00:05"},
        WpaSurveyJoin{"SecondPskWithItsPassPhrase", "Hotel-Seeblick-Gast1", kPopupWpaPskPageId,
                      [](test::FakePageHost& p) { TypePassPhrase(p, "seeblick-gast"); }, true,
                      "0A:3C:71:00:00:0A"},
        WpaSurveyJoin{"PskWithAWrongPassPhrase", "Villa-Sonne", kPopupWpaPskPageId,
                      [](test::FakePageHost& p) { TypePassPhrase(p, "sonnenblume-8"); }, true, ""},
        WpaSurveyJoin{
            "PskClosedUnsaved", "Villa-Sonne", kPopupWpaPskPageId,
            [](test::FakePageHost& p) { p.TypeInDialog("TextPopPskPassPhrase", "sonnenblume-7"); },
            false, ""},
        WpaSurveyJoin{"RadiusWithTheLogin", "Buergeramt", kPopupWpaRadiusPageId,
                      [](test::FakePageHost& p) { TypeTtlsLogin(p, "rathaus-2024"); }, true,
                      "0A:3C:71:00:00:06"},
        WpaSurveyJoin{"RadiusWithAWrongPassword", "Buergeramt", kPopupWpaRadiusPageId,
                      [](test::FakePageHost& p) { TypeTtlsLogin(p, "rathaus-2025"); }, true, ""},
        WpaSurveyJoin{"RadiusServerValidatedByItsName", "Buergeramt", kPopupWpaRadiusPageId,
                      [](test::FakePageHost& p) {
                          TypeTtlsLogin(p, "rathaus-2024", 1, "buergeramt.example");
                      },
                      true, "0A:3C:71:00:00:06"},
        // An evil twin with a certificate for another name gets no login.
        WpaSurveyJoin{
            "RadiusServerOfAnotherName", "Buergeramt", kPopupWpaRadiusPageId,
            [](test::FakePageHost& p) { TypeTtlsLogin(p, "rathaus-2024", 1, "rathaus.example"); },
            true, ""},
        WpaSurveyJoin{"RadiusServerValidatedWithoutAName", "Buergeramt", kPopupWpaRadiusPageId,
                      [](test::FakePageHost& p) {
                          TypeTtlsLogin(p, "rathaus-2024", 1, "");
                          EXPECT_TRUE(p.dialogRunning) << "the pop-up stays open";
                      },
                      false, "", kServerNameMissingMessage}),
    [](const testing::TestParamInfo<WpaSurveyJoin>& p) { return std::string(p.param.name); });

struct JoinCase {
    const char* label;
    JoinRequest request;
    std::function<void(test::ShellRig&)> arrange = {};
    std::string_view refusal = {}; // the error name; empty: joined
    std::string message = {};      // the refusal's message, or the BSSID joined
    std::string_view outcome = {}; // joined: the outcome's error name; empty: on the cell
};

// A cell of the name of a network of the default scenario, as a twin would be set up.
void AddCell(test::ShellRig& rig, nlohmann::json cell)
{
    rig.EditScenario([&](nlohmann::json& s) { s["networks"].push_back(cell); });
    rig.pages.Click("ButtonSiteScan");
    rig.clock.Settle();
}

// The session service's join of a network of this survey: what the pop-up would have
// taken, checked as its save buttons check, through the same join as a double click.
TEST_F(SurveyPageTest, ServiceJoinsAsThePopupWouldOrRefusesWithTheWindowsMessage)
{
    const JoinCase cases[] = {
        {"open", {.name = "Hausnetz-Berger"}, {}, {}, "0A:3C:71:00:00:02"},
        {"WEP key 1",
         {.name = "WG-Kastanienallee", .key = "1A2B3C4D5E"},
         {},
         {},
         "0A:3C:71:00:00:03"},
        {"WEP key 2, 128 bits",
         {.name = "Praxis-Dr-Weber", .key = "A1B2C3D4E5F60718293A4B5C6D", .keyIndex = 1},
         {},
         {},
         "0A:3C:71:00:00:04"},
        {"WPA-PSK",
         {.name = "Villa-Sonne", .passPhrase = "sonnenblume-7"},
         {},
         {},
         "0A:3C:71:00:00:05"},
        {"WEP key of a wrong length",
         {.name = "WG-Kastanienallee", .key = "1A2B"},
         {},
         "InvalidKey",
         "The length of Key should be 5 or 10.Please re-enter Key 1"},
        {"WEP key with a letter no digit",
         {.name = "WG-Kastanienallee", .key = "1A2B3C4D5X"},
         {},
         "InvalidKey",
         "Shared key should be 10 hexadecimal digits.Please re-enter Key 1"},
        {"WEP without a key",
         {.name = "WG-Kastanienallee"},
         {},
         "InvalidKey",
         "The length of Key should be 5 or 10.Please re-enter Key 1"},
        {"WPA-PSK with a pass phrase too short",
         {.name = "Villa-Sonne", .passPhrase = "sonne"},
         {},
         "InvalidPassphrase",
         std::string(kPassphraseLengthMessage)},
        {"a hidden network",
         {.name = ""},
         {},
         "NoNetworkName",
         std::string(ApplyFaultMessage(ApplyFault::NoNetworkName))},
        {"WPA-RADIUS", {.name = "Buergeramt"}, {}, "NotSupported", std::string(kRadiusJoinMessage)},
        {"a key for an open network",
         {.name = "Cafe-Lindenhof", .key = "12345"},
         {},
         "InvalidArgument",
         "Das Netzwerk \u201eCafe-Lindenhof\u201c ist offen und braucht keinen Schl\u00fcssel."},
        {"no such network",
         {.name = "Nirgendwo"},
         {},
         "UnknownNetwork",
         "Das Netzwerk \u201eNirgendwo\u201c wurde bei der Suche nicht gefunden."},
        {"a 33-byte name",
         {.name = std::string(33, 'x')},
         {},
         "SsidTooLong",
         std::string(kSsidTooLongMessage)},
        {"WPA-PSK with a wrong pass phrase",
         {.name = "Villa-Sonne", .passPhrase = "sonnenblume-8"},
         {},
         {},
         "",
         "WrongKey"},
        {"a network that left after the survey",
         {.name = "Gaestenetz-Gasthof-Zum-Hirschen"},
         [](test::ShellRig& r) {
             r.EditScenario([](nlohmann::json& s) {
                 auto& n = s["networks"];
                 n.erase(std::remove_if(n.begin(), n.end(),
                                        [](const nlohmann::json& e) {
                                            return e["ssid"] == "Gaestenetz-Gasthof-Zum-Hirschen";
                                        }),
                         n.end());
             });
         },
         {},
         "",
         "NotJoined"},
        // A louder WEP twin of a WPA network: the name alone no longer says which.
        {"twins that differ in security",
         {.name = "Villa-Sonne", .passPhrase = "sonnenblume-7"},
         [](test::ShellRig& r) {
             AddCell(r, {{"ssid", "Villa-Sonne"},
                         {"bssid", "0A:3C:71:00:00:15"},
                         {"channel", 2},
                         {"rssi", -30},
                         {"security", "wep"},
                         {"wepKeys", {{{"index", 0}, {"hex", "1A2B3C4D5E"}}}}});
         },
         "AmbiguousNetwork",
         "Unter dem Namen \u201eVilla-Sonne\u201c senden Netzwerke mit verschiedener Sicherheit "
         "(WEP, WPA-PSK). Bitte w\u00e4hlen Sie eines mit der Option \u201esecurity\u201c oder "
         "\u201ebssid\u201c."},
        {"the WPA twin by its security",
         {.name = "Villa-Sonne", .security = JoinSecurity::WpaPsk, .passPhrase = "sonnenblume-7"},
         {},
         {},
         "0A:3C:71:00:00:05"},
        {"the WEP twin by its address",
         {.name = "Villa-Sonne", .bssid = "0A:3C:71:00:00:15", .key = "1A2B3C4D5E"},
         {},
         {},
         "0A:3C:71:00:00:15"},
        {"a pass phrase is no WEP key unless WEP was chosen",
         {.name = "Villa-Sonne", .bssid = "0A:3C:71:00:00:15", .passPhrase = "sonnenblume-7"},
         {},
         "InvalidArgument",
         "Das Netzwerk \u201eVilla-Sonne\u201c verwendet WEP. Eine Passphrase wird nur mit der "
         "Option \u201esecurity wep\u201c zu WEP-Schl\u00fcsseln."},
        {"WEP keys from a pass phrase, as chosen, that the network refuses",
         {.name = "Villa-Sonne", .security = JoinSecurity::Wep, .passPhrase = "sonnenblume-7"},
         {},
         {},
         "",
         "WrongKey"},
        {"an address no cell of the name has",
         {.name = "Villa-Sonne", .bssid = "0A:3C:71:00:00:99"},
         {},
         "UnknownNetwork",
         "Das Netzwerk \u201eVilla-Sonne\u201c wurde bei der Suche nicht mit dieser Adresse "
         "gefunden."},
        // The adapter joins by name: a louder cell of the same security takes the join, and
        // the cell chosen is not the one joined.
        {"another cell of the name joined",
         {.name = "Villa-Sonne", .bssid = "0A:3C:71:00:00:05", .passPhrase = "sonnenblume-7"},
         [](test::ShellRig& r) {
             AddCell(r, {{"ssid", "Villa-Sonne"},
                         {"bssid", "0A:3C:71:00:00:25"},
                         {"channel", 4},
                         {"rssi", -35},
                         {"security", "wpa-psk"},
                         {"passphrase", "sonnenblume-7"}});
         },
         {},
         "0A:3C:71:00:00:25",
         "NotJoined"},
        {"the system's service in control",
         {.name = "Hausnetz-Berger"},
         [](test::ShellRig& r) {
             r.EditScenario(
                 [](nlohmann::json& s) { s["system"]["wirelessService"] = "controlling"; });
         },
         "ServiceConflict",
         std::string(kServiceConflictMessage)},
    };
    UtilityCommands cmds(dlg);
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.arrange)
            c.arrange(rig);
        rig.wlan.clearCalls();
        rig.work.ActiveProfileName = "Default";
        std::optional<Refused> outcome;
        const Refused refused =
            cmds.Join(c.request, [&](const Refused& told) { outcome.emplace(told); });
        EXPECT_FALSE(outcome) << "told later, never from inside the call";
        if (c.refusal.empty()) {
            EXPECT_FALSE(refused) << refused->message;
            EXPECT_EQ(JoinedBssid(), c.message);
            EXPECT_EQ(rig.work.ActiveProfileName, "");
            EXPECT_EQ(rig.work.CurrentProfile.SSID, c.request.name);
            if (!outcome)
                rig.clock.Advance(UtilityCommands::kJoinDeadlineMs);
            ASSERT_TRUE(outcome) << "the join has an outcome by its deadline";
            EXPECT_EQ(*outcome ? std::string_view((*outcome)->name) : std::string_view(),
                      c.outcome);
            continue;
        }
        EXPECT_FALSE(outcome);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->name, c.refusal);
        EXPECT_EQ(refused->message, c.message);
        EXPECT_EQ(Setters(), std::vector<std::string>{}) << "a refused join changes nothing";
        if (c.refusal != "ServiceConflict") {
            EXPECT_TRUE(rig.wlan.calls().empty()) << "refused before any adapter call";
        }
        EXPECT_EQ(rig.work.ActiveProfileName, "Default");
        EXPECT_TRUE(rig.dialogs.messages.empty()) << "the service shows no message box";
    }
}

// A WPA3 network (SAE alone) has a text of its own and joins from the pass phrase page, as
// a WPA-PSK one does: the profile it makes is a WPA-PSK profile.
TEST_F(SurveyPageTest, Wpa3NetworkShowsItsOwnTextAndJoinsWithThePassPhrase)
{
    rig.SetNetworkField("Villa-Sonne", "security", "wpa3-sae");
    rig.pages.Click("ButtonSiteScan");
    rig.clock.Settle();
    List(ListEvent::Click, Row("Villa-Sonne"));
    EXPECT_EQ(Shown("TextTab2Encry"), "WPA3-SAE");
    EXPECT_EQ(rig.surveyList.rows.at(static_cast<std::size_t>(Row("Villa-Sonne"))).imageIndex, 1);
    int opened = 0;
    rig.pages.dialogScript = [&](test::FakePageHost& pages) {
        ++opened;
        EXPECT_EQ(pages.dialog.pageId, kPopupWpaPskPageId);
        TypePassPhrase(pages, "sonnenblume-7");
    };
    DoubleClick("Villa-Sonne");
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(rig.work.CurrentProfile.AuthenticationMode, 2);
    EXPECT_EQ(JoinedBssid(), "0A:3C:71:00:00:05");
    // Seen offering SAE alone, the network is never offered a pre-shared key again: the
    // record in use keeps it, and so does the adapter's WPA call.
    EXPECT_EQ(rig.work.CurrentProfile.SaeSeen, 1);
    const auto* held = rig.wlan.adapterSettings("0007");
    ASSERT_TRUE(held && held->wpa);
    EXPECT_TRUE(held->wpa->saeOnly);
}

TEST_F(SurveyPageTest, TraySurveyCommandMakesADoubleClickJoin)
{
    rig.pages.Click("ButtonTab3"); // the profile page: the list holds the profiles
    EXPECT_FALSE(dlg.surveyListHoldsSurvey());
    rig.tray.menuAnswer = kCommandSiteSurvey;
    rig.tray.Notify(TrayMouse::RightButtonUp);
    EXPECT_EQ(rig.pages.main.pageId, kSurveyPageId);
    EXPECT_TRUE(dlg.surveyListHoldsSurvey());
    EXPECT_FALSE(rig.stationList.visible);
    rig.clock.Settle();
    DoubleClick("Cafe-Lindenhof");
    EXPECT_EQ(rig.pages.main.pageId, kStatusPageId);
    EXPECT_EQ(JoinedBssid(), "0A:3C:71:00:00:01");
}

TEST_F(SurveyPageTest, RestoreRefillsTheListItShows)
{
    List(ListEvent::HeaderClick, 1); // the rows now differ from the scan order
    rig.pages.listener->OnWindowEvent(WindowEvent::Minimise);
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    EXPECT_EQ(rig.pages.main.pageId, kSurveyPageId) << "the window shows its page at once";
    rig.clock.Settle();
    const auto& shown = dlg.controllers().survey().shown();
    ASSERT_EQ(rig.surveyList.rows.size(), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(rig.surveyList.rows[i].texts.at(1), ShowableName(shown[i].ssid));
}

TEST_F(SurveyPageTest, MonitorPushesNothingIntoAnotherPage)
{
    rig.pages.Click("ButtonTab4");
    ASSERT_EQ(rig.pages.main.pageId, kAdapterPageId);
    // The user picks a rate; nothing has read the page since.
    PageValues values = rig.pages.main.values;
    values.push_back({"SelectRate", 5});
    rig.pages.listener->OnElementEvent(kAdapterPageId, "SelectRate", ElementEvent::Change, values);
    rig.pages.listener->OnWindowEvent(WindowEvent::Minimise);
    rig.tray.Notify(TrayMouse::LeftDoubleClick); // restarts the monitor's timers
    ASSERT_TRUE(rig.timers.running.contains(kTimerSignal));
    rig.pages.setElements.clear();
    rig.clock.Advance(1000);
    rig.timers.Fire(kTimerLinkStatus);
    rig.timers.Fire(kTimerSignal);
    EXPECT_TRUE(rig.pages.setElements.empty()) << rig.pages.setElements.front().id;
}

// The next scan lists ten networks: its rows tell themselves from the eleven before.
void OneNetworkFewer(nlohmann::json& scenario)
{
    auto& networks = scenario["networks"];
    for (auto it = networks.begin(); it != networks.end(); ++it) {
        if ((*it)["ssid"] == "Cafe-Lindenhof") {
            networks.erase(it);
            return;
        }
    }
}

// The scan's results are taken when the radio says it is done, asked every 100 ms, or
// after 10 s whatever it says (then the last finished scan's); the wait cursor is on
// until then.
TEST_F(SurveyPageTest, ResultsAreTakenWhenTheRadioIsDoneOrAfterTenSeconds)
{
    struct Case {
        std::uint32_t scanMs;
        std::uint32_t takenAt;
        std::size_t rows;
    };
    for (const Case c : {Case{30000, 10000, 11}, Case{2000, 2000, 10}, Case{250, 300, 10}}) {
        SCOPED_TRACE(c.scanMs);
        rig.EditScenario([&c](nlohmann::json& scenario) {
            scenario["scanMs"] = c.scanMs;
            OneNetworkFewer(scenario);
        });
        rig.wlan.clearCalls();
        rig.pages.Click("ButtonSiteScan");
        EXPECT_EQ(rig.dialogs.waitDepth, 1);
        rig.clock.Advance(c.takenAt - 1);
        EXPECT_TRUE(rig.Calls("WL_RetrieveSiteSurveyData").empty());
        EXPECT_EQ(rig.dialogs.waitDepth, 1);
        rig.clock.Advance(1);
        EXPECT_EQ(rig.Calls("WL_RetrieveSiteSurveyData").size(), 1u);
        EXPECT_EQ(rig.Calls("WL_SiteSurveyState").size(), c.takenAt / 100);
        EXPECT_EQ(rig.surveyList.rows.size(), c.rows);
        EXPECT_EQ(rig.dialogs.waitDepth, 0);
    }
}

// Something happens while a scan runs: a request for the same work joins it (one scan,
// the list filled once), anything that leaves its page or the window, switches the mode,
// loses the adapter or ends the program drops it: its results are never read, the tables
// behind the list stay as they were, and no row of it appears.
struct WhileScanning {
    const char* name;
    std::function<void(test::ShellRig&)> act;
    bool joins;
    int page; // shown afterwards
};

void PrintTo(const WhileScanning& c, std::ostream* os)
{
    *os << c.name;
}

class SurveyWhileScanningTest : public SurveyPageTest,
                                public testing::WithParamInterface<WhileScanning> {};

TEST_P(SurveyWhileScanningTest, JoinsOrDropsTheScan)
{
    const WhileScanning& c = GetParam();
    rig.EditScenario(OneNetworkFewer);
    rig.wlan.clearCalls();
    rig.pages.Click("ButtonSiteScan");
    EXPECT_EQ(rig.surveyList.rows.size(), 11u) << "the rows stay until the new ones are in";
    EXPECT_EQ(rig.dialogs.waitDepth, 1);
    rig.clock.Advance(1000);
    c.act(rig);
    rig.clock.Settle();

    EXPECT_EQ(rig.Calls("WL_RetrieveSiteSurveyData").size(), c.joins ? 1u : 0u);
    EXPECT_EQ(rig.dialogs.waitDepth, 0);
    EXPECT_EQ(rig.pages.main.pageId, c.page);
    const auto& shown = dlg.controllers().survey().shown();
    if (c.joins) {
        EXPECT_EQ(rig.Calls("WL_SiteSurveyStart").size(), 1u);
        EXPECT_EQ(shown.size(), 10u);
        EXPECT_EQ(rig.surveyList.rows.size(), 10u);
        EXPECT_TRUE(rig.surveyList.visible);
    } else {
        EXPECT_EQ(shown.size(), 11u);
        EXPECT_NE(rig.surveyList.rows.size(), 10u);
    }
}

constexpr int kCommandExit = 32771;

void MenuCommand(test::ShellRig& rig, int command)
{
    rig.tray.menuAnswer = command;
    rig.tray.Notify(TrayMouse::RightButtonUp);
}

INSTANTIATE_TEST_SUITE_P(
    Survey, SurveyWhileScanningTest,
    testing::Values(
        WhileScanning{"ScanAgain", [](test::ShellRig& r) { r.pages.Click("ButtonSiteScan"); }, true,
                      kSurveyPageId},
        WhileScanning{"TabTwoAgain", [](test::ShellRig& r) { r.pages.Click("ButtonTab2"); }, true,
                      kSurveyPageId},
        WhileScanning{"TraySiteSurvey",
                      [](test::ShellRig& r) { MenuCommand(r, kCommandSiteSurvey); }, true,
                      kSurveyPageId},
        WhileScanning{"Restore",
                      [](test::ShellRig& r) { r.tray.Notify(TrayMouse::LeftDoubleClick); }, true,
                      kSurveyPageId},
        WhileScanning{"AnotherTab", [](test::ShellRig& r) { r.pages.Click("ButtonTab3"); }, false,
                      kProfilePageId},
        WhileScanning{
            "Minimised",
            [](test::ShellRig& r) { r.pages.listener->OnWindowEvent(WindowEvent::Minimise); },
            false, kSurveyPageId},
        WhileScanning{
            "Closed",
            [](test::ShellRig& r) { r.pages.listener->OnWindowEvent(WindowEvent::Escape); }, false,
            kSurveyPageId},
        WhileScanning{"AccessPointMode", [](test::ShellRig& r) { r.pages.Click("ImageAPRadio"); },
                      false, kApStatusPageId},
        WhileScanning{"AdapterLost",
                      [](test::ShellRig& r) {
                          r.SetAdaptersPresent(false);
                          r.timers.Fire(kTimerExitWatch);
                      },
                      false, kSurveyPageId},
        WhileScanning{"Exit", [](test::ShellRig& r) { MenuCommand(r, kCommandExit); }, false,
                      kSurveyPageId}),
    [](const testing::TestParamInfo<WhileScanning>& p) { return std::string(p.param.name); });

// A network whose name is the longest allowed, with and without bytes that are not
// UTF-8: listed without loss, joined with its own bytes, and shown by the monitor as
// its name, not as "any network".
TEST_F(SurveyPageTest, LongAndNonUtf8NamesJoinWithTheirOwnBytes)
{
    nlohmann::json scenario;
    std::ifstream(rig.scenarioPath) >> scenario;
    for (auto& n : scenario["networks"]) {
        if (n["ssid"] == "Cafe-Lindenhof") {
            n["ssid"] = "Cafe-Lindenhof-am-Markt-Nummer-1"; // 32 bytes
        } else if (n["ssid"] == "Gaestenetz-Gasthof-Zum-Hirschen") {
            n.erase("ssid");
            n["ssidHex"] = "53747261DF65"; // "Strasse" with a Latin-1 sharp s
        }
    }
    std::ofstream(rig.scenarioPath, std::ios::trunc) << scenario.dump(2);
    rig.wlan.reloadScenario();
    rig.pages.Click("ButtonSiteScan");
    rig.clock.Settle();

    const std::string latin1 = "Stra\xDF"
                               "e";
    DoubleClick(ShowableName(latin1)); // "Stra\xC3\x9F" "e" in the list
    EXPECT_EQ(Driver("SSID"), latin1);
    EXPECT_EQ(rig.work.CurrentProfile.SSID, latin1);
    EXPECT_EQ(JoinedBssid(), "0A:3C:71:00:00:08");

    rig.pages.Click("ButtonTab2");
    rig.clock.Settle();
    DoubleClick("Cafe-Lindenhof-am-Markt-Nummer-1");
    EXPECT_EQ(JoinedBssid(), "0A:3C:71:00:00:01");
    rig.clock.Advance(1500);
    rig.timers.Fire(kTimerLinkStatus);
    rig.clock.Settle();
    rig.timers.Fire(kTimerSignal);
    EXPECT_EQ(Shown("TextNetworkName"), "Cafe-Lindenhof-am-Markt-Nummer-1");
}

} // namespace
} // namespace kesto
