// The profile links in the product key: first run, enumeration, add and delete with
// renumbering, against the real SQLite store.
#include "profiles/ProfileList.h"
#include "registry/SqliteRegistry.h"
#include "tests/support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

namespace kesto {
namespace {

constexpr const char* kCaption = "Kesto WLAN Utility";

class ProfileListTest : public testing::Test {
protected:
    ProfileRecord Record(const std::string& name)
    {
        ProfileRecord r;
        r.ProfileName = name;
        r.SSID = "net-" + name;
        r.Channel = static_cast<std::int32_t>(name.size());
        return r;
    }

    // Links in order; a name starting with '~' is a link whose profile key is missing.
    void Seed(const std::vector<std::string>& names, int defaultLink)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string& name = names[i];
            if (!name.starts_with('~'))
                store.WriteProfile(Record(name));
            store.WriteText(ProfileLinkPath(static_cast<int>(i) + 1), name);
        }
        store.WriteText(ProductValuePath("ProfileLinkNumber"), " " + std::to_string(names.size()));
        store.WriteText(ProductValuePath("DefaultProfileLink"), std::to_string(defaultLink));
    }

    std::optional<std::string> Text(const std::string& path)
    {
        const auto slash = path.rfind('\\');
        const auto value = registry.QueryValue(
            path.substr(0, slash).substr(std::string_view("HKEY_LOCAL_MACHINE\\").size()),
            path.substr(slash + 1));
        if (!value)
            return std::nullopt;
        return std::string(value->data.begin(), value->data.end());
    }

    bool ProfileKeyExists(const std::string& name)
    {
        std::string key(kProfileRoot);
        key += name;
        return registry.KeyExists(key.substr(std::string_view("HKEY_LOCAL_MACHINE\\").size()));
    }

    std::vector<std::string> ShownNames()
    {
        std::vector<std::string> names;
        for (const auto& r : list.ShownProfiles())
            names.push_back(r.ProfileName);
        return names;
    }

    SqliteRegistry registry{":memory:"};
    ProfileStore store{registry};
    WorkingRecords work;
    test::FakeDialogs dialogs;
    ProfileList list{store, work, dialogs, kCaption};
};

TEST_F(ProfileListTest, FirstRunSeedsOneDefaultProfile)
{
    int refreshed = 0;
    list.SetRefreshHook([&] { ++refreshed; });
    work.CurrentProfile.SSID = "left over";
    list.CreateFirstRunStore();
    list.ReloadProfileList();

    EXPECT_EQ(Text(ProductValuePath("DefaultProfileLink")), "1");
    EXPECT_EQ(Text(ProductValuePath("ProfileLinkNumber")), " 1");
    EXPECT_EQ(Text(ProfileLinkPath(1)), "Default");
    EXPECT_EQ(Text(ProductValuePath("Exit Utility")), "0");
    EXPECT_EQ(Text(ProductValuePath("Mode")), "Station Mode");
    EXPECT_EQ(store.ReadApSettings(), ApSettings{});
    EXPECT_EQ(store.ReadFilterList(), FilterList{});

    ASSERT_EQ(ShownNames(), std::vector<std::string>{"Default"});
    const ProfileRecord& shown = list.ShownProfiles()[0];
    const ProfileRecord defaults;
    EXPECT_EQ(shown.SSID, "");
    EXPECT_EQ(shown.Channel, defaults.Channel);
    EXPECT_EQ(shown.NetworkType, defaults.NetworkType);
    EXPECT_EQ(shown.Preamble, defaults.Preamble);
    EXPECT_EQ(shown.KeyInUse, defaults.KeyInUse);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(list.DefaultProfileLink(), 1);
}

TEST_F(ProfileListTest, AddAfterNineWritesTenWithLeadingBlank)
{
    Seed({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9"}, 1);
    store.WriteText(ProductValuePath("ProfileLinkNumber"), "9");
    list.AddProfile(Record("Office"));

    EXPECT_EQ(Text(ProductValuePath("ProfileLinkNumber")), " 10");
    EXPECT_EQ(Text(ProfileLinkPath(10)), "Office");
    EXPECT_EQ(store.ReadProfile("Office").SSID, "net-Office");
    list.ReloadProfileList();
    EXPECT_EQ(list.LoadedProfiles().size(), 10u);
    EXPECT_EQ(list.LoadedProfiles().back().ProfileName, "Office");
}

TEST_F(ProfileListTest, LoadSkipsLinksWithoutProfileAndKeepsThem)
{
    Seed({"A", "~gone", "B"}, 1);
    // Links that would address the profile root itself name no profile.
    store.WriteText(ProfileLinkPath(4), "");
    store.WriteText(ProfileLinkPath(5), "\\\\");
    store.WriteText(ProductValuePath("ProfileLinkNumber"), " 5");
    work.CurrentProfile.ProfileName = "in use";
    const ProfileRecord inUse = work.CurrentProfile;
    list.ReloadProfileList();

    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"A", "B"}));
    // Listing is not applying: the record in use stays (the adapter page edits it).
    EXPECT_EQ(work.CurrentProfile, inUse);
    EXPECT_EQ(Text(ProfileLinkPath(2)), "~gone");
}

TEST_F(ProfileListTest, AbsurdLinkCountIsCappedAndAddsStopThere)
{
    Seed({"A", "B"}, 1);
    store.WriteText(ProductValuePath("ProfileLinkNumber"), " 2147483647");
    EXPECT_EQ(list.ProfileLinkCount(), kMaxProfileLinks);
    list.ReloadProfileList();
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"A", "B"}));

    EXPECT_FALSE(list.AddProfile(Record("Office")));
    EXPECT_FALSE(ProfileKeyExists("Office"));
    EXPECT_EQ(Text(ProductValuePath("ProfileLinkNumber")), " 2147483647");

    store.WriteText(ProductValuePath("ProfileLinkNumber"), " -5");
    EXPECT_EQ(list.ProfileLinkCount(), 0);
    store.WriteText(ProductValuePath("ProfileLinkNumber"), std::to_string(kMaxProfileLinks - 1));
    EXPECT_TRUE(list.AddProfile(Record("Office")));
    EXPECT_EQ(Text(ProfileLinkPath(kMaxProfileLinks)), "Office");
    EXPECT_FALSE(list.AddProfile(Record("Lab")));
}

struct DeleteCase {
    const char* name;
    std::vector<std::string> links; // '~' = link without profile key
    int defaultLink;
    int shownIndex;
    std::vector<std::string> linksAfter;
    const char* countAfter;
    const char* defaultAfter;
    bool refused;
};

void PrintTo(const DeleteCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProfileDelete : public ProfileListTest, public testing::WithParamInterface<DeleteCase> {};

std::vector<std::string> Numbered(int n, int skip = 0)
{
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) {
        if (i != skip)
            names.push_back("P" + std::to_string(i));
    }
    return names;
}

TEST_P(ProfileDelete, RenumbersLinks)
{
    const DeleteCase& c = GetParam();
    Seed(c.links, c.defaultLink);
    list.ReloadProfileList();
    const std::vector<std::string> shownBefore = ShownNames();
    const std::string victim =
        c.shownIndex >= 0 && c.shownIndex < static_cast<int>(shownBefore.size())
            ? shownBefore[static_cast<std::size_t>(c.shownIndex)]
            : std::string();

    list.DeleteProfile(c.shownIndex);

    for (std::size_t k = 0; k < c.linksAfter.size(); ++k)
        EXPECT_EQ(Text(ProfileLinkPath(static_cast<int>(k) + 1)), c.linksAfter[k])
            << "link " << k + 1;
    for (std::size_t k = c.linksAfter.size(); k < c.links.size(); ++k)
        EXPECT_EQ(Text(ProfileLinkPath(static_cast<int>(k) + 1)), std::nullopt) << "link " << k + 1;
    EXPECT_EQ(Text(ProductValuePath("ProfileLinkNumber")), c.countAfter);
    EXPECT_EQ(Text(ProductValuePath("DefaultProfileLink")), c.defaultAfter);

    if (c.refused) {
        EXPECT_EQ(dialogs.messages, (std::vector<test::FakeDialogs::Message>{
                                        {std::string(kDefaultProfileDeleteMessage), kCaption}}));
    } else {
        EXPECT_TRUE(dialogs.messages.empty());
    }
    if (!victim.empty()) {
        EXPECT_EQ(ProfileKeyExists(victim), c.refused);
    }
    for (const std::string& name : c.linksAfter) {
        if (!name.starts_with('~')) {
            EXPECT_TRUE(ProfileKeyExists(name)) << name;
        }
    }
    // The list shows what the links now say.
    std::vector<std::string> expectedShown;
    for (const std::string& name : c.linksAfter) {
        if (!name.starts_with('~'))
            expectedShown.push_back(name);
    }
    EXPECT_EQ(ShownNames(), expectedShown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileDelete,
    testing::Values(
        DeleteCase{"MiddleOfThree", {"A", "B", "C"}, 1, 1, {"A", "C"}, " 2", "1", false},
        DeleteCase{"DefaultRefused", {"A", "B", "C"}, 1, 0, {"A", "B", "C"}, " 3", "1", true},
        DeleteCase{"FifthOfTwelve", Numbered(12), 1, 4, Numbered(12, 5), "11", "1", false},
        DeleteCase{"LastOfTen", Numbered(10), 1, 9, Numbered(9), " 9", "1", false},
        DeleteCase{"BelowDefaultMovesDefault", {"A", "B", "C"}, 3, 0, {"B", "C"}, " 2", "2", false},
        DeleteCase{"AboveDefaultKeepsDefault", {"A", "B", "C"}, 2, 2, {"A", "B"}, " 2", "2", false},
        DeleteCase{"LinkWithoutProfileKeepsNumbers",
                   {"A", "~gone", "B", "C"},
                   4,
                   1,
                   {"A", "~gone", "C"},
                   " 3",
                   "3",
                   false},
        DeleteCase{"DefaultFoundPastMissingLink",
                   {"A", "~gone", "B", "C"},
                   3,
                   1,
                   {"A", "~gone", "B", "C"},
                   " 4",
                   "3",
                   true},
        DeleteCase{"IndexBelowRange", {"A", "B"}, 1, -1, {"A", "B"}, " 2", "1", false},
        DeleteCase{"IndexAboveRange", {"A", "B"}, 1, 2, {"A", "B"}, " 2", "1", false}),
    [](const auto& p) { return std::string(p.param.name); });

struct NumberCase {
    const char* text;
    std::int32_t value;
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class StoredNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(StoredNumber, ReadsLeniently)
{
    EXPECT_EQ(ParseStoredNumber(GetParam().text), GetParam().value)
        << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredNumber,
                         testing::Values(NumberCase{" 3", 3}, NumberCase{"3", 3},
                                         NumberCase{"  12", 12}, NumberCase{" 10 links", 10},
                                         NumberCase{"", 0}, NumberCase{"abc", 0},
                                         NumberCase{"-2", -2}, NumberCase{"0x10", 0},
                                         NumberCase{"99999999999", INT_MAX},
                                         NumberCase{"-99999999999", INT_MIN}));

} // namespace
} // namespace kesto
