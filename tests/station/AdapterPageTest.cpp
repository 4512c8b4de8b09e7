// The adapter settings page in the core: the rate set, preamble and power-saving calls
// of a save, what it stores with the active profile, and the records it must not
// store (a network joined from the survey, a profile deleted meanwhile).
#include "station/AdapterPage.h"
#include "tests/support/ProfilePagesRig.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace kesto {
namespace {

using test::StoredProfile;

class AdapterPageTest : public test::ProfilePagesTest {
protected:
    void Save(int rate, int preamble, int saving)
    {
        Click("ButtonTab4");
        ASSERT_EQ(Page(), kAdapterPageId);
        rig.wlan.clearCalls();
        Set("SelectRate", rate);
        Set("SelectPreamble", preamble);
        Set("SelectSaving", saving);
        Click("ButtonSaveAdp");
    }
    std::vector<std::vector<std::string>> Args(std::string_view call) { return rig.Calls(call); }
};

struct RateCase {
    const char* name;
    int rateIndex;
    std::string rateSet;
    // The profile in use when the page is saved: "Cafe" (connected from the profile page)
    // or the first-run "Default", whose empty name is the store's "any network".
    const char* profile = "Cafe";
};

void PrintTo(const RateCase& c, std::ostream* os)
{
    *os << c.name;
}

class AdapterPageRate : public AdapterPageTest, public testing::WithParamInterface<RateCase> {};

TEST_P(AdapterPageRate, SaveAppliesAndStoresTheChoices)
{
    const std::string profile = GetParam().profile;
    const std::string ssid = profile == "Cafe" ? "Cafe-Lindenhof" : "";
    Start({StoredProfile("Cafe", "Cafe-Lindenhof")});
    if (profile == "Cafe") {
        SelectProfileRow(RowOf("Cafe"));
        Click("ButtonConPrf");
    }
    Save(GetParam().rateIndex, 1, 1);

    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(Args("SetWL_DesiredRate"),
              (std::vector<std::vector<std::string>>{{GetParam().rateSet}}));
    EXPECT_EQ(Args("SetWL_PreambleMode"), (std::vector<std::vector<std::string>>{{"1"}}));
    EXPECT_EQ(Args("SetWL_PSMode"), (std::vector<std::vector<std::string>>{{"1"}}));
    EXPECT_EQ(Args("SetWL_SSID"), (std::vector<std::vector<std::string>>{{ssid}}));

    const ProfileRecord stored = rig.store.ReadProfile(profile);
    EXPECT_EQ(stored.TxRate, GetParam().rateIndex);
    EXPECT_EQ(stored.Preamble, 1);
    EXPECT_EQ(stored.PSMode, 1);
    EXPECT_EQ(stored.SSID, ssid);
    EXPECT_EQ(rig.work.CurrentProfile, stored);

    EXPECT_EQ(Page(), kStatusPageId);
    EXPECT_EQ(rig.timers.Period(kTimerThroughput), 300u);
    EXPECT_EQ(rig.timers.Period(kTimerLinkStatus), 300u);
    EXPECT_EQ(rig.timers.Period(kTimerSignal), 1000u);
    EXPECT_EQ(Shown("TextNetworkName"), "") << "the status is cleared for the fresh monitor";
    EXPECT_EQ(rig.dialogs.waitDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdapterPageRate,
    testing::Values(RateCase{"Automatic", 0, "02040B0C121618243048606C00000000"},
                    RateCase{"Rate54", 1, "6C000000000000000000000000000000"},
                    RateCase{"Rate5_5", 10, "0B000000000000000000000000000000"},
                    RateCase{"Rate1", 12, "02000000000000000000000000000000"},
                    RateCase{"Rate54WithTheDefaultProfile", 1, "6C000000000000000000000000000000",
                             "Default"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(AdapterPageTest, PageShowsTheRecordInUse)
{
    ProfileRecord lab = StoredProfile("Lab", "Cafe-Lindenhof");
    lab.TxRate = 7;
    lab.Preamble = 0;
    lab.PSMode = 1;
    Start({lab});
    SelectProfileRow(RowOf("Lab"));
    Click("ButtonConPrf");
    Click("ButtonTab4");
    EXPECT_EQ(ShownNumber("SelectRate"), 7);
    EXPECT_EQ(ShownNumber("SelectPreamble"), 0);
    EXPECT_EQ(ShownNumber("SelectSaving"), 1);
    for (int id : {kTimerLinkStatus, kTimerSignal, kTimerThroughput})
        EXPECT_EQ(rig.timers.Period(id), 0u) << id;

    // Listing the profiles does not change the record in use.
    Click("ButtonTab3");
    Click("ButtonTab4");
    EXPECT_EQ(ShownNumber("SelectRate"), 7);
}

TEST_F(AdapterPageTest, StartWithADefaultLinkToNoProfileKeepsTheDefaultRecord)
{
    ProfileList(rig.store, rig.work, rig.dialogs, "kesto-utility").CreateFirstRunStore();
    rig.store.WriteText(ProductValuePath("DefaultProfileLink"), "7");
    dlg.OnInitDialog();
    rig.clock.Settle();
    rig.tray.Notify(TrayMouse::LeftDoubleClick);
    EXPECT_TRUE(rig.Calls("SetWL_SSID").empty()) << "no blank record reaches the adapter";
    EXPECT_EQ(rig.work.ActiveProfileName, "");
    Click("ButtonTab4");
    EXPECT_EQ(ShownNumber("SelectRate"), 0) << "not the 255 of a missing profile";
    EXPECT_EQ(ShownNumber("SelectPreamble"), 2);
}

TEST_F(AdapterPageTest, AfterASurveyJoinSavingAppliesTheJoinedNetworkAndStoresNothing)
{
    Start();
    const ProfileRecord defaultBefore = rig.store.ReadProfile("Default");
    // The state a join from the survey leaves: no active name, the network's record.
    rig.work.ActiveProfileName.clear();
    rig.work.CurrentProfile = ProfileRecord{};
    rig.work.CurrentProfile.ProfileName.clear();
    rig.work.CurrentProfile.SSID = "Hausnetz-Berger";
    Save(6, 0, 1);

    EXPECT_EQ(Args("SetWL_SSID"), (std::vector<std::vector<std::string>>{{"Hausnetz-Berger"}}));
    EXPECT_EQ(Args("SetWL_DesiredRate"),
              (std::vector<std::vector<std::string>>{{"18000000000000000000000000000000"}}));
    EXPECT_EQ(rig.store.ReadProfile("Default"), defaultBefore);
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "1");
    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 1");
    EXPECT_EQ(rig.work.ActiveProfileName, "");
    EXPECT_EQ(rig.work.CurrentProfile.TxRate, 6);
    EXPECT_EQ(Page(), kStatusPageId);
}

TEST_F(AdapterPageTest, AProfileDeletedMeanwhileIsNotWrittenBack)
{
    Start({StoredProfile("Lab", "Cafe-Lindenhof")});
    SelectProfileRow(RowOf("Lab"));
    Click("ButtonConPrf");
    // Another instance of the store's owner removes it (the default link moves away).
    rig.store.WriteText(ProductValuePath("DefaultProfileLink"), "1");
    rig.store.DeleteProfileKey(std::string(kProfileRoot) + "Lab");
    Save(1, 1, 0);

    EXPECT_FALSE(ProfileKeyExists("Lab"));
    EXPECT_EQ(Args("SetWL_SSID"), (std::vector<std::vector<std::string>>{{"Cafe-Lindenhof"}}));
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "1");
    EXPECT_EQ(rig.work.ActiveProfileName, "");
}

TEST_F(AdapterPageTest, SelectsReadingNoneKeepTheProfilesValues)
{
    ProfileRecord lab = StoredProfile("Lab", "Cafe-Lindenhof");
    lab.TxRate = 3;
    Start({lab});
    SelectProfileRow(RowOf("Lab"));
    Click("ButtonConPrf");
    Save(-1, 0, -1);
    const ProfileRecord stored = rig.store.ReadProfile("Lab");
    EXPECT_EQ(stored.TxRate, 3);
    EXPECT_EQ(stored.Preamble, 0);
    EXPECT_EQ(stored.PSMode, 0);
}

TEST_F(AdapterPageTest, SavingWhileTheServiceHoldsTheAdapterChangesNothing)
{
    Start({StoredProfile("Lab", "Cafe-Lindenhof")});
    SelectProfileRow(RowOf("Lab"));
    Click("ButtonConPrf");
    const ProfileRecord before = rig.store.ReadProfile("Lab");
    EditScenario([](nlohmann::json& s) { s["system"]["wirelessService"] = "controlling"; });
    Save(1, 1, 1);

    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Page(), kAdapterPageId);
    EXPECT_FALSE(Configured());
    EXPECT_EQ(rig.store.ReadProfile("Lab"), before);
}

} // namespace
} // namespace kesto
