// The core's page mirror and the main window's element binding: what reaches the page
// host, what is skipped, and whether the binding agrees with the shipped pages.
#include "pages/ElementBinding.h"
#include "pages/PageManifest.h"
#include "pages/PageMirror.h"
#include "tests/support/FakePageHost.h"

#include <gtest/gtest.h>

#include <array>

namespace kesto {
namespace {

using test::FakePageHost;

constexpr std::array<ElementInfo, 5> kPage = {{
    {"TextName", ElementKind::Text, 0},
    {"ImageBar", ElementKind::Image, 0},
    {"RadioGroupWEP", ElementKind::Radio, 2},
    {"SelectRate", ElementKind::Select, 13},
    {"ButtonGo", ElementKind::Button, 0},
}};

std::span<const ElementInfo> TestManifest(int pageId)
{
    return pageId == 1 ? std::span<const ElementInfo>(kPage) : std::span<const ElementInfo>();
}

TEST(PageMirror, WritesReachTheHostOnceInThePagesSpellingAndOnlyWhenTheyFit)
{
    FakePageHost host;
    PageMirror mirror(host, HtmlSurface::MainWindow, TestManifest);
    mirror.ShowPage(1, [](PageMirror& m) {
        m.SetText("textname", "Office"); // values set while filling go with the page
    });
    ASSERT_EQ(host.shownPages, std::vector<int>{1});
    EXPECT_EQ(host.main.values, (PageValues{{"TextName", std::string("Office")}}));
    EXPECT_TRUE(host.setElements.empty());

    struct Write {
        std::string_view id;
        ElementValue value;
        bool accepted;
        bool sent;
    };
    const Write writes[] = {
        {"RadioGroupWep", 1, true, true},  // one member, either spelling
        {"RadioGroupWep", 1, true, false}, // unchanged: nothing to send
        {"TextName", std::string("Office"), true, false},
        {"ImageBar", std::string("./images/#155"), true, true},
        {"SelectRate", std::string("3"), false, false}, // a select carries an index
        {"TextName", 5, false, false},
        {"ButtonGo", 1, false, false},
        {"TextAbsent", std::string("x"), false, false},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.id);
        const std::size_t before = host.setElements.size();
        const bool accepted = std::holds_alternative<int>(w.value)
                                  ? mirror.SetNumber(w.id, std::get<int>(w.value))
                                  : mirror.SetText(w.id, std::get<std::string>(w.value));
        EXPECT_EQ(accepted, w.accepted);
        EXPECT_EQ(host.setElements.size(), before + (w.sent ? 1 : 0));
    }
    EXPECT_EQ(host.setElements.front().id, "RadioGroupWEP");
    EXPECT_EQ(mirror.Number("radiogroupwep"), 1);
}

TEST(PageMirror, EventValuesUpdateTheCopyButNeverItsShape)
{
    FakePageHost host;
    PageMirror mirror(host, HtmlSurface::MainWindow, TestManifest);
    mirror.ShowPage(1);
    mirror.Update({{"TextName", std::string("typed")},
                   {"SelectRate", 7},
                   {"SelectRate", std::string("bogus")}, // wrong sort: ignored
                   {"Injected", std::string("x")},       // not on the page: ignored
                   {"ButtonGo", 1}});
    EXPECT_EQ(mirror.Text("TextName"), "typed");
    EXPECT_EQ(mirror.Number("SelectRate"), 7);
    EXPECT_FALSE(mirror.Has("Injected"));
    EXPECT_EQ(mirror.Values().size(), 2u);

    // A new page starts from nothing known, and an unknown page has no elements.
    mirror.ShowPage(99);
    EXPECT_EQ(mirror.pageId(), 99);
    EXPECT_FALSE(mirror.Has("TextName"));
    EXPECT_EQ(mirror.Text("TextName"), "");
}

TEST(ElementBinding, PushAndPullTouchOnlyTheElementsOfTheCurrentPage)
{
    FakePageHost host;
    PageMirror mirror(host, HtmlSurface::MainWindow, TestManifest);
    ElementBinding binding;
    ASSERT_TRUE(binding.SetText("TextAPSSID", "AP-1")); // bound, but not on this page
    ASSERT_TRUE(binding.SetNumber("SelectRate", 4));
    ASSERT_TRUE(binding.SetNumber("RadioGroupWEP", 1));
    EXPECT_FALSE(binding.SetNumber("TextAPSSID", 1));
    EXPECT_FALSE(binding.SetText("TextName", "x")); // on the page, but not bound

    mirror.ShowPage(1, [&](PageMirror& m) { binding.Push(m); });
    EXPECT_EQ(host.main.values, (PageValues{{"RadioGroupWEP", 1}, {"SelectRate", 4}}));

    mirror.Update({{"SelectRate", 9}, {"RadioGroupWEP", 0}});
    binding.Pull(mirror);
    EXPECT_EQ(binding.Number("SelectRate"), 9);
    EXPECT_EQ(binding.Number("RadioGroupWep"), 0);
    EXPECT_EQ(binding.Text("TextAPSSID"), "AP-1");
}

// Every bound identifier must exist on some shipped page with a kind of the same sort;
// a mismatch would silently drop the value at every push.
TEST(ElementBinding, AgreesWithTheShippedPages)
{
    const ElementBinding binding;
    const auto members = binding.Members();
    EXPECT_EQ(members.front().id, "TextProfileName");
    EXPECT_EQ(members.back().id, "TextFilterAddress16");

    for (const ElementInfo& member : members) {
        SCOPED_TRACE(member.id);
        int pagesWithIt = 0;
        for (int pageId = 100; pageId < 300; ++pageId) {
            for (const ElementInfo& element : PageElements(pageId)) {
                if (!EqualsNoCase(element.id, member.id))
                    continue;
                ++pagesWithIt;
                EXPECT_EQ(CarriesText(element.kind), CarriesText(member.kind)) << pageId;
            }
        }
        EXPECT_GT(pagesWithIt, 0);
    }
}

} // namespace
} // namespace kesto
