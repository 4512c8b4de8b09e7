// The running utility's commands (the session service's side of the core) on the real
// store and simulated adapter: the profile list's steps, the mode switch, the access
// point's saves, a reading on request, what must wait, and the checks of the commands'
// arguments. Joins are tested beside the survey page's (SurveyPageTest).
#include "app/UtilityCommands.h"
#include "ap/ApApply.h"
#include "app/CommandOptions.h"
#include "tests/support/ShellRig.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace kesto {
namespace {

class UtilityCommandsTest : public testing::Test {
protected:
    void Start()
    {
        dlg.OnInitDialog();
        rig.clock.Settle();
    }
    // A scan of the service, its records in.
    void Scan()
    {
        bool done = false;
        ASSERT_FALSE(cmds.Scan([&] { done = true; }, {}));
        rig.clock.Settle();
        ASSERT_TRUE(done);
    }
    test::ShellRig rig;
    MainDialog dlg{rig.ports, rig.store, rig.work, "kesto-utility"};
    UtilityCommands cmds{dlg};
};

TEST_F(UtilityCommandsTest, ServiceScanOutlivesThePageAndHidingAndEndsWithTheMode)
{
    Start();
    int done = 0;
    int dropped = 0;
    ASSERT_FALSE(cmds.Scan([&] { ++done; }, [&] { ++dropped; }));
    // The window's own scan joins it; leaving the page and hiding drop only the window's.
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    rig.pages.Click("ButtonTab3");
    dlg.OnWindowEvent(WindowEvent::Close);
    EXPECT_EQ(cmds.Busy(UtilityCommands::Change::Adapter)->message, kScanBusyMessage);
    EXPECT_FALSE(cmds.Busy(UtilityCommands::Change::Profiles));
    rig.clock.Settle();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(rig.Calls("WL_SiteSurveyStart").size(), 1u);
    EXPECT_EQ(cmds.Networks().size(), 11u);
    EXPECT_TRUE(cmds.Knows("Bahnhof-Kiosk"));

    // A mode switch drops it, and changes wait for the adapter's settle.
    ASSERT_FALSE(cmds.Scan([&] { ++done; }, [&] { ++dropped; }));
    bool switched = false;
    ASSERT_FALSE(cmds.SwitchMode(true, [&](bool in) { switched = in; }));
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(cmds.Busy(UtilityCommands::Change::Scan)->message, kModeSwitchBusyMessage);
    rig.clock.Settle();
    EXPECT_TRUE(switched);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(cmds.Scan({}, {})->name, "WrongMode");
}

TEST_F(UtilityCommandsTest, SwitchesModeFromAStartInApModeThatWasNeverShown)
{
    ProfileList(rig.store, rig.work, rig.dialogs, "kesto-utility").CreateFirstRunStore();
    rig.store.WriteText(ProductValuePath("Mode"), "AP Mode");
    Start();
    std::vector<bool> answers;
    const auto record = [&](bool in) { answers.push_back(in); };
    ASSERT_FALSE(cmds.SwitchMode(true, record)); // already there
    ASSERT_FALSE(cmds.SwitchMode(false, record));
    rig.clock.Settle();
    EXPECT_EQ(rig.Product("Mode"), "Station Mode");
    EXPECT_EQ(rig.Calls("SetWL_OperationMode_STA_AP").back(), std::vector<std::string>{"0"});

    // A switch the adapter's loss cuts short answers false.
    ASSERT_FALSE(cmds.SwitchMode(true, record));
    rig.SetAdaptersPresent(false);
    rig.timers.Fire(6);
    EXPECT_EQ(answers, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(cmds.SwitchMode(true, record)->name, "NoAdapter");
}

TEST_F(UtilityCommandsTest, ProfilesGoThroughTheWizardsChecksAndTheListsLinks)
{
    Start();
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    rig.pages.Click("ButtonTab3");
    ProfileRequest buero{.name = "Buero", .ssid = "WG-Kastanienallee"};
    buero.security = ProfileSecurity::Wep;
    buero.key = "1A2B3C4D5E";
    ASSERT_FALSE(cmds.AddProfile(buero));
    // The window's list shows it at once; the store has the wizard's record.
    ASSERT_EQ(rig.surveyList.rows.size(), 2u);
    EXPECT_EQ(rig.surveyList.rows[1].texts.at(1), "Buero");
    const ProfileRecord stored = rig.store.ReadProfile("Buero");
    EXPECT_EQ(stored.AuthenticationMode, 1);
    EXPECT_EQ(stored.KeyLength, 1);
    EXPECT_EQ(stored.DataEncryption, 2); // the wizard's WEP page starts on automatic
    EXPECT_EQ(stored.NetWorkKey1, "1A2B3C4D5E");
    EXPECT_EQ(rig.Product("ProfileLink 2"), "Buero");

    struct Refusing {
        Refused refused;
        std::string_view name;
    };
    ProfileRequest badKey{.name = "Keller", .security = ProfileSecurity::Wep, .key = "123"};
    for (const Refusing& r : {
             Refusing{cmds.AddProfile({.name = "buero"}), "ProfileExists"},
             Refusing{cmds.AddProfile({.name = "Spiel", .adHoc = true}), "SsidEmpty"},
             Refusing{cmds.AddProfile({.name = "A\\B"}), "ProfileNameInvalid"},
             Refusing{cmds.AddProfile(badKey), "InvalidKey"},
             Refusing{cmds.DeleteProfile("Default"), "DefaultProfile"},
             Refusing{cmds.DeleteProfile("Keller"), "UnknownProfile"},
             Refusing{cmds.ApplyProfile("Keller"), "UnknownProfile"},
         }) {
        ASSERT_TRUE(r.refused) << r.name;
        EXPECT_EQ(r.refused->name, r.name);
    }
    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 2");
    EXPECT_TRUE(rig.dialogs.messages.empty());

    // The first-run profile names no network: the store's "any network", applied.
    ASSERT_FALSE(cmds.ApplyProfile("Default"));
    EXPECT_EQ(rig.Calls("SetWL_SSID").back(), std::vector<std::string>{""});
    ASSERT_FALSE(cmds.ApplyProfile("Buero"));
    EXPECT_EQ(rig.work.ActiveProfileName, "Buero");
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "2");
    EXPECT_EQ(cmds.DeleteProfile("Buero")->name, "DefaultProfile");

    // While the window's wizard edits a profile, the list waits.
    rig.pages.Click("ButtonAddPrf");
    EXPECT_EQ(cmds.Busy(UtilityCommands::Change::Profiles)->message, kWizardBusyMessage);
}

TEST_F(UtilityCommandsTest, AccessPointChangesGoThroughThePagesSaves)
{
    Start();
    ApChange change;
    change.ssid = "Werkstatt-AP";
    EXPECT_EQ(cmds.ChangeApSettings(change)->name, "WrongMode");
    ASSERT_FALSE(cmds.SwitchMode(true, [](bool) {}));
    rig.clock.Settle();

    change.wep = 1;
    change.key = "123";
    EXPECT_EQ(cmds.ChangeApSettings(change)->message,
              "Der Schl\u00fcssel muss eine L?nge von 5 oder 10 Zeichen haben. Bitte geben Sie "
              "den Schl\u00fcssel 1 neu ein.");
    change.key = "12345";
    change.ssid = std::string(33, 's');
    EXPECT_EQ(cmds.ChangeApSettings(change)->name, "SsidTooLong");
    change.ssid = "";
    EXPECT_EQ(cmds.ChangeApSettings(change)->name, "SsidEmpty");
    EXPECT_EQ(rig.store.ReadApSettings().SSID, "WLAN_AP");
    change.ssid = "Werkstatt-AP";
    rig.wlan.clearCalls();
    ASSERT_FALSE(cmds.ChangeApSettings(change));
    EXPECT_EQ(rig.store.ReadApSettings().NetworkKey1, "12345");
    EXPECT_EQ(rig.store.ReadApSettings().WEP, 1);
    EXPECT_EQ(rig.Calls("SetWL_SSID").size(), 1u);
    // WEP off empties the keys, as the page's save does; the stations without one join.
    ASSERT_FALSE(cmds.ChangeApSettings({.wep = 0}));
    EXPECT_EQ(rig.store.ReadApSettings().NetworkKey1, "");

    std::array<std::string, kFilterAddressCount> addresses{"0A:11:22:33:44:01", "0A:11:22"};
    EXPECT_EQ(cmds.ChangeFilterList(2, addresses)->message, kInvalidFilterAddressMessage);
    addresses[1].clear();
    ASSERT_FALSE(cmds.ChangeFilterList(2, addresses));
    EXPECT_EQ(cmds.StoredFilterList().FilterType, 2);
    EXPECT_EQ(cmds.StoredFilterList().FilterAddress[0], "0A:11:22:33:44:01");

    ApStatus status;
    ASSERT_FALSE(cmds.ReadApStatus([&](const ApStatus& s) { status = s; }));
    rig.clock.Settle();
    EXPECT_EQ(status.ssid, "Werkstatt-AP");
    EXPECT_FALSE(status.stations.empty());
    EXPECT_EQ(std::count(status.stations.begin(), status.stations.end(), "0A:11:22:33:44:01"), 0)
        << "the filter refuses the first station";
}

TEST_F(UtilityCommandsTest, AReadingOnRequestArmsNoneOfTheWindowsTimers)
{
    Start();
    rig.clock.Advance(2000); // the default profile's network is joined
    int told = 0;
    cmds.SetStatusObserver([&] { ++told; });
    EXPECT_FALSE(cmds.StatusFresh());
    bool read = false;
    cmds.ReadStatus([&] { read = true; });
    rig.clock.Settle();
    EXPECT_TRUE(read);
    EXPECT_GT(told, 0);
    EXPECT_TRUE(cmds.StatusFresh());
    const UtilityStatus status = cmds.Status();
    EXPECT_TRUE(status.link.associated);
    EXPECT_FALSE(status.link.networkName.empty());
    EXPECT_GE(status.link.signalPercent, 0);
    for (int id : {1, 2, 7})
        EXPECT_EQ(rig.timers.Period(id), 0u) << id;
    rig.clock.Advance(LinkMonitor::kLinkStatusPeriod);
    EXPECT_FALSE(cmds.StatusFresh());
}

struct ArgumentCase {
    const char* label;
    std::function<Refused()> make;
    std::string message;
    std::string_view name = "InvalidArgument";
};

TEST(CommandOptions, EveryArgumentIsCheckedBeforeItReachesAStep)
{
    JoinRequest join;
    ProfileRequest profile;
    ApChange ap;
    std::int32_t type = 0;
    std::array<std::string, kFilterAddressCount> slots;
    const auto joinWith = [&](std::string name, CommandOptions options) {
        return [&join, name, options] { return MakeJoinRequest(name, options, join); };
    };
    const ArgumentCase cases[] = {
        {"empty name", joinWith("", {}), "Der Netzwerkname fehlt."},
        {"not UTF-8", joinWith("Caf\xE9", {}),
         "Der Netzwerkname ist kein g\u00fcltiger UTF-8-Text."},
        {"control character", joinWith("a\nb", {}), "Der Netzwerkname enth\u00e4lt Steuerzeichen."},
        {"too long", joinWith(std::string(257, 'n'), {}),
         "Der Netzwerkname ist zu lang (h\u00f6chstens 256 Bytes)."},
        // No survey lists such a name: refused before one is made.
        {"longer than a network name", joinWith(std::string(33, 'n'), {}),
         "The SSID cannot be longer than 32 bytes!", "SsidTooLong"},
        {"an address that is none", joinWith("n", {{"bssid", std::string("0A:3C:71:00:00")}}),
         "Die Option \u201ebssid\u201c erwartet eine MAC-Adresse wie 0A:3C:71:00:00:05."},
        {"a security a profile cannot have",
         [&] {
             return MakeProfileRequest("P", {{"security", std::string("wpa3-sae")}}, profile);
         },
         "Die Option \u201esecurity\u201c erwartet f\u00fcr ein Profil eines von: none, wep, "
         "wpa-psk."},
        {"number out of range", joinWith("n", {{"key-index", std::int64_t{5}}}),
         "Die Option \u201ekey-index\u201c muss zwischen 1 und 4 liegen."},
        {"number as text", joinWith("n", {{"key-index", std::string("1")}}),
         "Die Option \u201ekey-index\u201c erwartet eine Zahl."},
        {"unknown word", joinWith("n", {{"authentication", std::string("wpa")}}),
         "Die Option \u201eauthentication\u201c erwartet eines von: open, shared, auto."},
        {"option of another command", joinWith("n", {{"ssid", std::string("x")}}),
         "Unbekannte Option \u201essid\u201c."},
        {"key and pass phrase",
         joinWith("n", {{"wep-key", std::string("12345")}, {"passphrase", std::string("p")}}),
         "Nur eine der Optionen \u201ewep-key\u201c und \u201epassphrase\u201c angeben."},
        {"secret text not UTF-8", joinWith("n", {{"passphrase", std::string("\xFF")}}),
         "Die Option \u201epassphrase\u201c ist kein g\u00fcltiger UTF-8-Text."},
        {"key without security",
         [&] {
             return MakeProfileRequest(
                 "P", {{"security", std::string("none")}, {"wep-key", std::string("12345")}},
                 profile);
         },
         "Ein Profil ohne Sicherheit braucht keinen Schl\u00fcssel."},
        {"flag as text",
         [&] {
             return MakeApChange({{"hidden", std::string("yes")}}, ap);
         },
         "Die Option \u201ehidden\u201c erwartet ja oder nein."},
        {"filter rule", [&] { return MakeFilterChange("block", {}, type, slots); },
         "Die Filterregel ist eines von: off, allow, deny."},
        {"seventeen addresses",
         [&] { return MakeFilterChange("deny", std::vector<std::string>(17), type, slots); },
         "Die Filterliste nimmt h\u00f6chstens 16 Adressen."},
        {"mode",
         [] {
             bool toAp = false;
             return ParseMode("client", toAp);
         },
         "Der Modus ist \u201estation\u201c oder \u201eap\u201c."},
    };
    for (const ArgumentCase& c : cases) {
        SCOPED_TRACE(c.label);
        const Refused refused = c.make();
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->name, c.name);
        EXPECT_EQ(refused->message, c.message);
    }
    // A join names its cell by security and address, in either case of the digits.
    ASSERT_FALSE(MakeJoinRequest("Villa-Sonne",
                                 {{"security", std::string("wpa3-sae")},
                                  {"bssid", std::string("0a:3c:71:00:00:0f")},
                                  {"wait", false}},
                                 join));
    EXPECT_EQ(join.security, JoinSecurity::WpaSae);
    EXPECT_EQ(join.bssid, "0A:3C:71:00:00:0F");
    EXPECT_FALSE(join.wait);

    // And what passes arrives as the request.
    ASSERT_FALSE(MakeProfileRequest("Spiel",
                                    {{"ad-hoc", true},
                                     {"ssid", std::string("Spielwiese")},
                                     {"channel", std::int64_t{10}},
                                     {"wireless-mode", std::string("b")},
                                     {"passphrase", std::string("Gartenhaus")},
                                     {"security", std::string("wep")},
                                     {"key-size", std::string("128")}},
                                    profile));
    EXPECT_TRUE(profile.adHoc);
    EXPECT_EQ(profile.channel, 10);
    EXPECT_EQ(profile.wirelessMode, 2);
    EXPECT_EQ(profile.security, ProfileSecurity::Wep);
    EXPECT_EQ(profile.keySize, 2);

    // A described 802.1X profile names the server its certificate is checked against,
    // and never its secrets.
    ProfileRecord amt;
    amt.AuthenticationMode = 3;
    amt.RadiusType = 2;
    amt.LoginName = "rathaus";
    amt.Password = "geheim-2024";
    amt.ValServerCertificate = 1;
    amt.ServerName = "radius.amt.example";
    nlohmann::json described;
    for (const Field& field : DescribeProfile({amt, false}))
        std::visit([&](const auto& v) { described[field.name] = v; }, field.value);
    EXPECT_EQ(described["eapMethod"], "ttls");
    EXPECT_EQ(described["serverName"], "radius.amt.example");
    EXPECT_EQ(described.dump().find("geheim"), std::string::npos) << described.dump();
}

} // namespace
} // namespace kesto
