// The surface mirror's ordering rule: a value the core set after the window's ack wins
// over what an event that crossed it reports.
#include "windowlink/SurfaceMirror.h"

#include <gtest/gtest.h>

namespace kesto {
namespace {

TEST(SurfaceMirror, ValueTheCoreSetLaterWinsOverAnEventThatCrossedIt)
{
    SurfaceMirror mirror;
    mirror.ShowPage(262, {{"TextAPSetSSID", std::string("alt")}}, 10);
    mirror.Set("TextAPSetSSID", std::string("neu"), 12);
    // The window had carried out command 11 when the user typed: its value is older.
    EXPECT_TRUE(mirror.TakeReported(
        {{"TextAPSetSSID", std::string("getippt")}, {"SelectAPChannel", 3}}, 11));
    EXPECT_EQ(mirror.Values(),
              (PageValues{{"TextAPSetSSID", std::string("neu")}, {"SelectAPChannel", 3}}));
    // Once the window has seen command 12, the user's newer value counts.
    EXPECT_TRUE(mirror.TakeReported({{"TextAPSetSSID", std::string("getippt")}}, 12));
    EXPECT_EQ(mirror.Values().front().value, ElementValue(std::string("getippt")));
}

TEST(SurfaceMirror, EventOfAnEarlierPageTakesNothing)
{
    SurfaceMirror mirror;
    mirror.ShowPage(236, {}, 5);
    mirror.ShowPage(237, {{"TextTab2MAC", std::string("")}}, 9);
    EXPECT_FALSE(mirror.IsCurrent(8));
    EXPECT_FALSE(mirror.TakeReported({{"TextTab2MAC", std::string("alt")}}, 8));
    EXPECT_EQ(mirror.Values(), (PageValues{{"TextTab2MAC", std::string("")}}));
    mirror.Clear();
    EXPECT_FALSE(mirror.IsCurrent(100));
}

} // namespace
} // namespace kesto
