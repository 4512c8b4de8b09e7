// The profile page in the core: rows and their images, the details of the selected
// profile with its texts, sorting by name and network name, connect and delete.
#include "station/ProfilePage.h"
#include "profiles/SecretScrambler.h"
#include "station/ProfileTexts.h"
#include "tests/support/ProfilePagesRig.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace kesto {
namespace {

using test::StoredProfile;

class ProfilePageTest : public test::ProfilePagesTest {
protected:
    std::vector<std::string> RowNames() const
    {
        std::vector<std::string> out;
        for (const ListRow& row : rig.surveyList.rows)
            out.push_back(row.texts.at(1));
        return out;
    }
};

struct ImageCase {
    int networkType;
    int authenticationMode;
    int image;
};

class RowImage : public testing::TestWithParam<ImageCase> {};

TEST_P(RowImage, FollowsNetworkTypeAndSecurity)
{
    ProfileRecord r;
    r.NetworkType = GetParam().networkType;
    r.AuthenticationMode = GetParam().authenticationMode;
    EXPECT_EQ(ProfileRowImage(r), GetParam().image);
}

INSTANTIATE_TEST_SUITE_P(Cases, RowImage,
                         testing::Values(ImageCase{1, 0, 0}, ImageCase{1, 1, 1}, ImageCase{1, 4, 1},
                                         ImageCase{0, 0, 2}, ImageCase{0, 2, 3},
                                         ImageCase{255, 1, 0}, ImageCase{-1, 0, 0}));

struct TextCase {
    int value;
    std::string rate;
    std::string security;
};

class ProfileTexts : public testing::TestWithParam<TextCase> {};

TEST_P(ProfileTexts, NameRateAndSecurity)
{
    EXPECT_EQ(RateText(GetParam().value), GetParam().rate);
    EXPECT_EQ(SecurityText(GetParam().value), GetParam().security);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileTexts,
                         testing::Values(TextCase{0, "Vollautom.", "Deaktiviert"},
                                         TextCase{1, "54 Mbps", "WEP"},
                                         TextCase{4, "24 Mbps", "RADIUS"},
                                         TextCase{10, "5.5 Mbps", ""}, TextCase{12, "1 Mbps", ""},
                                         TextCase{13, "13 Mbps", ""}, TextCase{255, "255 Mbps", ""},
                                         TextCase{-1, "-1 Mbps", ""}));

TEST_F(ProfilePageTest, ListsProfilesAndShowsTheSelectedOnesDetails)
{
    ProfileRecord spiel = StoredProfile("Spiel", "Spielwiese", 0, 1);
    spiel.Channel = 10;
    spiel.TxRate = 10;
    Start({spiel, StoredProfile("Office", "Corp", 1, 2)});

    EXPECT_EQ(Page(), kProfilePageId);
    EXPECT_TRUE(rig.surveyList.visible);
    EXPECT_EQ(
        rig.surveyList.columns,
        (std::vector<ListColumn>{{"", 45, true}, {"Profilname", 150, true}, {"SSID", 100, true}}));
    EXPECT_TRUE(rig.surveyList.gridLines);
    EXPECT_TRUE(rig.surveyList.fullRowSelect);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Default", "Spiel", "Office"}));
    EXPECT_EQ(rig.surveyList.rows[1].imageIndex, 3);
    EXPECT_EQ(rig.surveyList.rows[2].imageIndex, 1);

    SelectProfileRow(1);
    EXPECT_EQ(Shown("TextTab3SSID"), "Spielwiese");
    EXPECT_EQ(Shown("TextTab3NetworkType"), "Ad-Hoc");
    EXPECT_EQ(Shown("TextTab3Channel"), "10");
    EXPECT_EQ(Shown("TextTab3Security"), "WEP");
    EXPECT_EQ(Shown("TextTab3TransTate"), "5.5 Mbps");
    SelectProfileRow(2);
    EXPECT_EQ(Shown("TextTab3NetworkType"), "Infrastruktur");
    EXPECT_EQ(Shown("TextTab3Channel"), "");
    EXPECT_EQ(Shown("TextTab3Security"), "WPA-PSK");
    EXPECT_EQ(Shown("TextTab3TransTate"), "Vollautom.");
    SelectProfileRow(-1);
    EXPECT_EQ(Shown("TextTab3SSID"), "");
    EXPECT_EQ(Shown("TextTab3Security"), "");
    EXPECT_FALSE(dlg.surveyListHoldsSurvey()) << "a double click here joins nothing";
}

TEST_F(ProfilePageTest, ColumnsSortDescendingFirstThenFlip)
{
    Start({StoredProfile("beta", "b"), StoredProfile("Alpha", "c"), StoredProfile("Gamma", "a"),
           StoredProfile("Alpha2", "a")});
    const auto header = [&](int column) {
        rig.surveyList.sink->OnListEvent(ListEvent::HeaderClick, column);
    };
    header(1);
    // Byte-wise: capitals before small letters.
    EXPECT_EQ(RowNames(),
              (std::vector<std::string>{"beta", "Gamma", "Default", "Alpha2", "Alpha"}));
    header(1);
    EXPECT_EQ(RowNames(),
              (std::vector<std::string>{"Alpha", "Alpha2", "Default", "Gamma", "beta"}));
    header(2);
    // Equal network names keep their link order.
    EXPECT_EQ(RowNames(),
              (std::vector<std::string>{"Alpha", "beta", "Gamma", "Alpha2", "Default"}));
    header(2);
    EXPECT_EQ(RowNames(),
              (std::vector<std::string>{"Default", "Gamma", "Alpha2", "beta", "Alpha"}));
    header(0);
    EXPECT_EQ(RowNames(),
              (std::vector<std::string>{"Default", "Gamma", "Alpha2", "beta", "Alpha"}));

    // Sorting reorders the rows shown, not the links; delete acts on the row shown.
    SelectProfileRow(RowOf("beta"));
    Click("ButtonDelPrf");
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Default", "Alpha", "Gamma", "Alpha2"}));
    EXPECT_EQ(Link(2), "Alpha");
    EXPECT_EQ(Link(4), "Alpha2");
    EXPECT_EQ(rig.Product("ProfileLinkNumber"), " 4");
}

TEST_F(ProfilePageTest, ConnectAppliesTheSelectedProfile)
{
    Start({StoredProfile("Cafe", "Cafe-Lindenhof")});
    SelectProfileRow(RowOf("Cafe"));
    Click("ButtonConPrf");

    EXPECT_EQ(Page(), kStatusPageId);
    EXPECT_FALSE(rig.surveyList.visible);
    EXPECT_EQ(rig.Calls("SetWL_SSID"), (std::vector<std::vector<std::string>>{{"Cafe-Lindenhof"}}));
    EXPECT_EQ(rig.work.ActiveProfileName, "Cafe");
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "2");
    EXPECT_EQ(rig.timers.Period(kTimerLinkStatus), 300u);
    EXPECT_EQ(rig.dialogs.waitDepth, 0);
}

// What the applier refuses, or the adapter stops, is said in words; a refused join leaves
// the user on the profile page with the profile in use unchanged, a profile that went in
// without its key leads on to the status page.
struct ConnectFault {
    const char* name;
    std::function<void(ProfileRecord&)> edit;
    ApplyFault fault;
};

void PrintTo(const ConnectFault& c, std::ostream* os)
{
    *os << c.name;
}

class ProfileConnectFault : public ProfilePageTest,
                            public testing::WithParamInterface<ConnectFault> {};

TEST_P(ProfileConnectFault, IsSaidAndKeepsWhatStays)
{
    const ConnectFault& c = GetParam();
    ProfileRecord profile = StoredProfile("Cafe", "Cafe-Lindenhof");
    c.edit(profile);
    EditScenario([](nlohmann::json& s) { s["adapters"][0]["maxWepKeyBits"] = 128; });
    Start({profile});
    const ProfileRecord before = rig.work.CurrentProfile;
    SelectProfileRow(RowOf("Cafe"));
    Click("ButtonConPrf");
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(ApplyFaultMessage(c.fault))});
    EXPECT_EQ(rig.dialogs.waitDepth, 0);
    if (Applied(c.fault)) {
        EXPECT_EQ(Page(), kStatusPageId);
        EXPECT_EQ(rig.work.ActiveProfileName, "Cafe");
        return;
    }
    EXPECT_EQ(Page(), kProfilePageId);
    EXPECT_EQ(rig.work.ActiveProfileName, "Default");
    EXPECT_EQ(rig.work.CurrentProfile, before);
    EXPECT_EQ(rig.Product("DefaultProfileLink"), "1");
    const auto ssids = rig.Calls("SetWL_SSID");
    for (const auto& call : rig.wlan.calls())
        EXPECT_FALSE(call.name.starts_with("SetWL_") && call.name != "SetWL_SSID") << call.name;
    EXPECT_EQ(ssids.size(), c.fault == ApplyFault::NameRefused ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ProfileConnectFault,
    testing::Values(ConnectFault{"WpaWithoutANetworkName",
                                 [](ProfileRecord& p) {
                                     p.SSID.clear();
                                     p.AuthenticationMode = 2;
                                     p.Passphrase = ScrambleSecret("geheim-123");
                                 },
                                 ApplyFault::WpaNeedsName},
                    ConnectFault{"NameWithAZeroByte",
                                 [](ProfileRecord& p) { p.SSID = std::string("Cafe\0", 5); },
                                 ApplyFault::NoNetworkName},
                    ConnectFault{"NameOver32Bytes",
                                 [](ProfileRecord& p) { p.SSID = std::string(33, 'N'); },
                                 ApplyFault::NameRefused},
                    ConnectFault{"KeyTheAdapterCannotCarry",
                                 [](ProfileRecord& p) {
                                     p.AuthenticationMode = 1;
                                     p.KeyLength = 3;
                                     p.NetWorkKey1 = std::string(29, 'k');
                                 },
                                 ApplyFault::KeyRefused}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfilePageTest, ButtonsWithoutASelectedRowDoNothing)
{
    Start({StoredProfile("Cafe", "Cafe-Lindenhof")});
    for (const char* button : {"ButtonConPrf", "ButtonEditPrf", "ButtonDelPrf"}) {
        Click(button);
        EXPECT_EQ(Page(), kProfilePageId) << button;
    }
    EXPECT_FALSE(Configured());
    EXPECT_TRUE(ProfileKeyExists("Cafe"));
    EXPECT_EQ(rig.dialogs.waitDepth, 0);
}

TEST_F(ProfilePageTest, ConnectWhileTheSystemServiceHoldsTheAdapterIsRefused)
{
    Start({StoredProfile("Cafe", "Cafe-Lindenhof")});
    EditScenario([](nlohmann::json& s) { s["system"]["wirelessService"] = "controlling"; });
    SelectProfileRow(RowOf("Cafe"));
    Click("ButtonConPrf");
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Page(), kProfilePageId);
    EXPECT_TRUE(rig.Calls("SetWL_SSID").empty());
    EXPECT_EQ(rig.work.ActiveProfileName, "Default");
}

TEST_F(ProfilePageTest, DefaultProfileCannotBeDeleted)
{
    Start({StoredProfile("Cafe", "Cafe-Lindenhof")});
    SelectProfileRow(RowOf("Default"));
    Click("ButtonDelPrf");
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string(kDefaultProfileDeleteMessage)});
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Default", "Cafe"}));
}

} // namespace
} // namespace kesto
