// The profile wizard in the core: each branch of the network step, the steps of an
// ad-hoc profile, saving a new or an edited profile, activating it, and the rules the
// wizard keeps over what a page may store.
#include "station/ProfileWizard.h"
#include "profiles/SecretScrambler.h"
#include "tests/support/ProfilePagesRig.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <tuple>

namespace kesto {
namespace {

using test::StoredProfile;

class ProfileWizardTest : public test::ProfilePagesTest {};

struct NameCase {
    const char* name;
    bool editing;
    std::string profileName;
    std::string ssid;
    bool adHoc;
    // The message shown, or "" when the step moves on to nextPage.
    std::string message;
    int nextPage;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.name;
}

class NetworkStep : public ProfileWizardTest, public testing::WithParamInterface<NameCase> {};

TEST_P(NetworkStep, RefusesOrMovesOn)
{
    const NameCase& c = GetParam();
    Start({StoredProfile("Office", "Corp")});
    if (c.editing) {
        SelectProfileRow(RowOf("Office"));
        Click("ButtonEditPrf");
        ASSERT_EQ(Page(), kEditProfilePageId);
    } else {
        Click("ButtonAddPrf");
        ASSERT_EQ(Page(), kAddProfilePageId);
    }
    const int namePage = Page();
    NamePage(c.profileName, c.ssid, c.adHoc);

    if (c.message.empty()) {
        EXPECT_EQ(Messages(), std::vector<std::string>{});
        EXPECT_EQ(Page(), c.nextPage);
        EXPECT_FALSE(rig.stationList.visible);
    } else {
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(Page(), namePage);
    }
}

const std::string k32(32, 'n');

INSTANTIATE_TEST_SUITE_P(
    Cases, NetworkStep,
    testing::Values(
        NameCase{"EmptyName", false, "", "Corp", false, std::string(kNameEmptyMessage), 0},
        NameCase{"DefaultTaken", false, "Default", "", false, std::string(kNameExistsMessage), 0},
        NameCase{"OtherLetterCaseTaken", false, "oFFICE", "", false,
                 std::string(kNameExistsMessage), 0},
        NameCase{"Backslash", false, "Home\\Lab", "", false, std::string(kNameBackslashMessage), 0},
        NameCase{"SsidOver32Bytes", false, "Home", k32 + "x", false,
                 std::string(kSsidTooLongMessage), 0},
        // 16 two-byte characters are 32 bytes: allowed.
        NameCase{"Ssid32BytesOfUmlauts", false, "Home",
                 [] {
                     std::string s;
                     for (int i = 0; i < 16; ++i)
                         s += "\xC3\xBC";
                     return s;
                 }(),
                 false, "", kSecurityMethodPageId},
        NameCase{"AdHocWithoutSsid", false, "Home", "", true, std::string(kSsidEmptyMessage), 0},
        NameCase{"InfrastructureWithoutSsid", false, "Home", "", false, "", kSecurityMethodPageId},
        NameCase{"Infrastructure", false, "Home", k32, false, "", kSecurityMethodPageId},
        NameCase{"AdHocOnThirteenChannels", false, "Home", "Spielwiese", true, "", kAdHocPageId},
        NameCase{"EditRenamed", true, "Office2", "Corp", false, std::string(kProfileMissingMessage),
                 0},
        NameCase{"EditInOtherLetterCase", true, "office", "Corp", false,
                 std::string(kProfileMissingMessage), 0},
        NameCase{"EditKeepsName", true, "Office", "Corp", false, "", kSecurityMethodPageId}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfileWizardTest, PicksTheNetworkNameFromTheSurvey)
{
    Start();
    Click("ButtonAddPrf");
    ASSERT_EQ(Page(), kAddProfilePageId);
    EXPECT_FALSE(rig.surveyList.visible);
    EXPECT_FALSE(rig.stationList.visible) << "no network listed before the survey's are in";
    rig.clock.Settle();
    ASSERT_TRUE(rig.stationList.visible);
    EXPECT_EQ(rig.stationList.placement, (std::array<int, 4>{530, 154, 182, 149}));
    ASSERT_FALSE(rig.stationList.rows.empty()) << "the survey ran";
    EXPECT_FALSE(rig.Calls("WL_SiteSurveyStart").empty());
    const auto row = std::find_if(rig.stationList.rows.begin(), rig.stationList.rows.end(),
                                  [](const ListRow& r) { return r.texts[0] == "Spielwiese"; });
    ASSERT_NE(row, rig.stationList.rows.end());
    EXPECT_EQ(row->texts[1], "10");

    Set("TextAddProfile", std::string("Spiel"));
    rig.stationList.SelectRow(static_cast<int>(row - rig.stationList.rows.begin()));
    Click("ButtonSelectAdd");
    EXPECT_EQ(Shown("TextAddSSID"), "Spielwiese");
    EXPECT_EQ(Shown("TextAddProfile"), "Spiel") << "the typed name stays";

    // A new survey keeps what was typed, before it and while it runs; no row selected
    // picks no name.
    Click("ButtonScanAdd");
    EXPECT_EQ(Shown("TextAddProfile"), "Spiel");
    Set("TextAddProfile", std::string("Spielplatz"));
    rig.clock.Settle();
    EXPECT_EQ(Shown("TextAddProfile"), "Spielplatz");
    EXPECT_EQ(rig.Calls("WL_SiteSurveyStart").size(), 2u);
    rig.stationList.SelectRow(-1);
    Click("ButtonSelectAdd");
    EXPECT_EQ(Shown("TextAddSSID"), "");

    // Back from the security step shows the networks again.
    NamePage("Spiel", "Spielwiese", false);
    EXPECT_FALSE(rig.stationList.visible);
    Click("ButtonBackPrfStep2");
    EXPECT_EQ(Page(), kAddProfilePageId);
    EXPECT_TRUE(rig.stationList.visible);
}

// A name the wizard's survey saw offering SAE alone is kept with the profile as seen so,
// and goes with it into the store; a name seen offering a pre-shared key is not.
TEST_F(ProfileWizardTest, ANameSeenOfferingSaeAloneIsStoredAsSeen)
{
    rig.SetNetworkField("Villa-Sonne", "security", "wpa3-sae");
    Start();
    for (const auto& [name, ssid, seen] :
         {std::tuple{"Villa", "Villa-Sonne", 1}, std::tuple{"Hotel", "Hotel-Seeblick-Gast1", 0}}) {
        SCOPED_TRACE(ssid);
        Click("ButtonTab3");
        Click("ButtonAddPrf");
        rig.clock.Settle();
        NamePage(name, ssid, false);
        ASSERT_EQ(Page(), kSecurityMethodPageId);
        EXPECT_EQ(rig.work.WizardProfile.SaeSeen, seen);
        Click("ButtonNextPrfStep2");
        Click("ButtonNextPrfStep3");
        Click("ActiveLater");
        EXPECT_EQ(rig.store.ReadProfile(name).SaeSeen, seen);
    }
}

TEST_F(ProfileWizardTest, ElevenChannelAdapterGetsTheElevenChannelPage)
{
    EditScenario([](nlohmann::json& s) {
        s["regulatoryChannels"] = nlohmann::json::array({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    });
    Start();
    Click("ButtonAddPrf");
    NamePage("Spiel", "Spielwiese", true);
    EXPECT_EQ(Page(), kAdHoc11ChannelsPageId);
    // The record's channel 6 is pre-selected.
    EXPECT_EQ(ShownNumber("SelectPrfStep1Channel"), 5);
}

TEST_F(ProfileWizardTest, AddsAnAdHocProfileThroughEveryStep)
{
    Start();
    Click("ButtonAddPrf");
    NamePage("Spiel", "Spielwiese", true);
    ASSERT_EQ(Page(), kAdHocPageId);
    Set("SelectPrfStep1Channel", 9);
    Set("SelectPrfStep1WMode", 2);
    Click("ButtonNextPrfStep1");
    ASSERT_EQ(Page(), kSecurityMethodPageId);
    EXPECT_EQ(ShownNumber("SelectPrfStep2EMode"), 0);
    Click("ButtonNextPrfStep2");
    ASSERT_EQ(Page(), kConfirmAdHocPageId);
    EXPECT_EQ(Shown("TextPrfStep3SSID"), "Spielwiese");
    EXPECT_EQ(Shown("TextPrfStep3NetworkType"), "Ad-Hoc");
    EXPECT_EQ(Shown("TextPrfStep3Channel"), "10");
    EXPECT_EQ(Shown("TextPrfStep3Security"), "Deaktiviert");

    // Back from the confirmation and from the security step, then on again.
    Click("ButtonBackPrfStep3");
    EXPECT_EQ(Page(), kSecurityMethodPageId);
    Click("ButtonBackPrfStep2");
    EXPECT_EQ(Page(), kAdHocPageId);
    EXPECT_EQ(ShownNumber("SelectPrfStep1Channel"), 9);
    Click("ButtonNextPrfStep1");
    Click("ButtonNextPrfStep2");
    Click("ButtonNextPrfStep3");
    EXPECT_EQ(Page(), kActivateAdHocPageId);

    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 2");
    EXPECT_EQ(Link(2), "Spiel");
    const ProfileRecord stored = rig.store.ReadProfile("Spiel");
    EXPECT_EQ(stored.NetworkType, 0);
    EXPECT_EQ(stored.Channel, 10);
    EXPECT_EQ(stored.WirelessMode, 2);
    EXPECT_EQ(stored.SSID, "Spielwiese");

    Click("ActiveLater");
    EXPECT_EQ(Page(), kProfilePageId);
    EXPECT_TRUE(rig.surveyList.visible);
    ASSERT_EQ(rig.surveyList.rows.size(), 2u);
    EXPECT_EQ(rig.surveyList.rows[1].texts, (std::vector<std::string>{"", "Spiel", "Spielwiese"}));
    EXPECT_EQ(rig.surveyList.rows[1].imageIndex, 2);
    EXPECT_FALSE(Configured()) << "saving configures nothing";
}

TEST_F(ProfileWizardTest, ActivateNowAppliesTheNewProfileAndMovesTheDefaultLink)
{
    Start();
    Click("ButtonAddPrf");
    NamePage("Cafe", "Cafe-Lindenhof", false);
    Click("ButtonNextPrfStep2");
    ASSERT_EQ(Page(), kConfirmPageId);
    EXPECT_EQ(Shown("TextPrfStep3NetworkType"), "Infrastruktur");
    EXPECT_EQ(Shown("TextPrfStep3Channel"), "");
    Click("ButtonNextPrfStep3");
    ASSERT_EQ(Page(), kActivatePageId);
    Click("ActiveNow");

    EXPECT_EQ(Page(), kStatusPageId);
    EXPECT_EQ(rig.Calls("SetWL_SSID"), (std::vector<std::vector<std::string>>{{"Cafe-Lindenhof"}}));
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "2");
    EXPECT_EQ(rig.work.ActiveProfileName, "Cafe");
    EXPECT_EQ(rig.work.CurrentProfile.ProfileName, "Cafe");
    for (int id : {kTimerLinkStatus, kTimerSignal, kTimerThroughput})
        EXPECT_NE(rig.timers.Period(id), 0u) << id;
    EXPECT_EQ(rig.dialogs.waitDepth, 0);
}

// An infrastructure profile may be saved without a network name: the store's "any
// network", which activating it asks the adapter for.
TEST_F(ProfileWizardTest, ActivateNowWithoutANetworkNameAsksForAnyNetwork)
{
    Start();
    Click("ButtonAddPrf");
    NamePage("Irgendwo", "", false);
    Click("ButtonNextPrfStep2");
    Click("ButtonNextPrfStep3");
    ASSERT_EQ(Page(), kActivatePageId);
    Click("ActiveNow");

    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Page(), kStatusPageId);
    EXPECT_EQ(rig.Calls("SetWL_SSID"), (std::vector<std::vector<std::string>>{{""}}));
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "2");
    EXPECT_EQ(rig.work.ActiveProfileName, "Irgendwo");
    EXPECT_EQ(rig.dialogs.waitDepth, 0);
}

TEST_F(ProfileWizardTest, EditingKeepsTheLinkAndOverwritesTheProfile)
{
    Start({StoredProfile("Office", "Corp"), StoredProfile("Lab", "LabNet")});
    SelectProfileRow(RowOf("Office"));
    Click("ButtonEditPrf");
    ASSERT_EQ(Page(), kEditProfilePageId);
    EXPECT_EQ(Shown("TextAddProfile"), "Office");
    EXPECT_EQ(Shown("TextAddSSID"), "Corp");
    NamePage("Office", "Corp-5G", false);
    Click("ButtonNextPrfStep2");
    Click("ButtonNextPrfStep3");

    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 3");
    EXPECT_EQ(Link(2), "Office");
    EXPECT_EQ(Link(3), "Lab");
    EXPECT_EQ(rig.store.ReadProfile("Office").SSID, "Corp-5G");
}

TEST_F(ProfileWizardTest, NoSecurityClearsKeyLengthAndKeys)
{
    ProfileRecord wep = StoredProfile("Home", "WG-Kastanienallee", 1, 1);
    wep.KeyLength = 1;
    wep.NetWorkKey1 = "1A2B3C4D5E";
    wep.NetWorkKey3 = "abcde";
    Start({wep});
    SelectProfileRow(RowOf("Home"));
    Click("ButtonEditPrf");
    NamePage("Home", "Cafe-Lindenhof", false);
    ASSERT_EQ(ShownNumber("SelectPrfStep2EMode"), 1);
    Set("SelectPrfStep2EMode", 0);
    Click("ButtonNextPrfStep2");
    EXPECT_EQ(Shown("TextPrfStep3Security"), "Deaktiviert");
    Click("ButtonNextPrfStep3");
    Click("ActiveNow");

    const ProfileRecord stored = rig.store.ReadProfile("Home");
    EXPECT_EQ(stored.AuthenticationMode, 0);
    EXPECT_EQ(stored.KeyLength, 0);
    EXPECT_EQ(stored.NetWorkKey1 + stored.NetWorkKey3, "");
    // An open join: encryption off, no key written.
    EXPECT_EQ(rig.Calls("SetWL_WEPStatus"), (std::vector<std::vector<std::string>>{{"1"}}));
    EXPECT_TRUE(rig.Calls("SetWL_WriteKey").empty());
}

TEST_F(ProfileWizardTest, EditingAnInfrastructureProfileAfterAnAdHocOneIsInfrastructure)
{
    Start({StoredProfile("Spiel", "Spielwiese", 0), StoredProfile("Office", "Corp", 1)});
    SelectProfileRow(RowOf("Spiel"));
    Click("ButtonEditPrf");
    EXPECT_EQ(ShownNumber("RadioGroup"), 1);
    Click("ButtonExitAdd");
    ASSERT_EQ(Page(), kProfilePageId);
    EXPECT_FALSE(rig.stationList.visible);

    SelectProfileRow(RowOf("Office"));
    Click("ButtonEditPrf");
    EXPECT_EQ(ShownNumber("RadioGroup"), 0);
    Click("ButtonNextAdd");
    EXPECT_EQ(Page(), kSecurityMethodPageId);
    EXPECT_EQ(rig.work.WizardProfile.NetworkType, 1);
}

TEST_F(ProfileWizardTest, SelectionsReadingNoneKeepTheRecordsValues)
{
    ProfileRecord spiel = StoredProfile("Spiel", "Spielwiese", 0, 2);
    spiel.Channel = 11;
    spiel.WirelessMode = 1;
    Start({spiel});
    SelectProfileRow(RowOf("Spiel"));
    Click("ButtonEditPrf");
    Set("RadioGroup", -1);
    Click("ButtonNextAdd");
    ASSERT_EQ(Page(), kAdHocPageId) << "no radio checked keeps the profile ad hoc";
    Set("SelectPrfStep1Channel", -1);
    Set("SelectPrfStep1WMode", -1);
    Click("ButtonNextPrfStep1");
    EXPECT_EQ(rig.work.WizardProfile.Channel, 11);
    EXPECT_EQ(rig.work.WizardProfile.WirelessMode, 1);
    Set("SelectPrfStep2EMode", -1);
    Click("ButtonNextPrfStep2");
    EXPECT_EQ(Page(), kWpaPskPageId) << "the stored WPA-PSK choice";
}

TEST_F(ProfileWizardTest, ExitButtonsLeaveTheWizardWithoutStoring)
{
    Start();
    struct Step {
        std::function<void()> reach;
        const char* exit;
    };
    const Step steps[] = {
        {[] {}, "ButtonExitAdd"},
        {[this] { NamePage("A", "x", true); }, "ButtonExitPrfStep1"},
        {[this] { NamePage("A", "x", false); }, "ButtonExitPrfStep2"},
        {[this] {
             NamePage("A", "x", false);
             Click("ButtonNextPrfStep2");
         },
         "ButtonExitPrfStep3"},
        {[this] {
             NamePage("A", "x", false);
             Set("SelectPrfStep2EMode", 2);
             Click("ButtonNextPrfStep2");
         },
         "ButtonExitWpaPsk"},
    };
    for (const Step& step : steps) {
        Click("ButtonAddPrf");
        step.reach();
        Click(step.exit);
        EXPECT_EQ(Page(), kProfilePageId) << step.exit;
        EXPECT_TRUE(rig.surveyList.visible) << step.exit;
        EXPECT_FALSE(rig.stationList.visible) << step.exit;
    }
    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 1");
    EXPECT_FALSE(ProfileKeyExists("A"));
}

} // namespace
} // namespace kesto
