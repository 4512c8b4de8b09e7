// WEP key entry of the profile pages on page 248's real elements: what typing, leaving
// the key field, switching keys and typing a pass phrase do to the record and the page.
#include "security/WepKeyEntry.h"

#include "drivers/passapp/PassphraseKeyLibrary.h"
#include "tests/support/FakePageHost.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

constexpr int kPopupWepPage = 248;

class WepKeyEntryTest : public ::testing::Test {
protected:
    WepKeyEntryTest() { page.ShowPage(kPopupWepPage); }

    // The user's page now: the values the next event reports.
    void Page(std::string key, int keySelect = 0, std::string phrase = "", int size = 0)
    {
        page.Update({{"TextWepKey", std::move(key)},
                     {"SelectWepKey", keySelect},
                     {"TextWepPassPhrase", std::move(phrase)},
                     {"SelectWepWep", size}});
    }
    GeneratedKeys KeysOf(const char* phrase, int size)
    {
        PassphraseKeys other(library);
        other.GeneratePassphraseKeys(phrase, size);
        return other.Keys();
    }
    static GeneratedKeys SlotsOf(const ProfileRecord& r)
    {
        return {r.NetWorkKey1, r.NetWorkKey2, r.NetWorkKey3, r.NetWorkKey4};
    }
    bool Sent(std::string_view id) const
    {
        for (const ElementState& e : host.setElements)
            if (e.id == id)
                return true;
        return false;
    }

    test::FakePageHost host;
    PageMirror page{host, HtmlSurface::Dialog};
    PassphraseKeyLibrary library;
    PassphraseKeys keys{library};
    WepKeyEntry entry{keys};
    ProfileRecord record;
};

TEST_F(WepKeyEntryTest, KeyUpCopiesTheFieldAsTypedIntoTheSelectedSlotAndWritesNoPage)
{
    Page(" ab c", 2);
    EXPECT_TRUE(entry.KeyUp(record, page));
    EXPECT_EQ(SlotsOf(record), (GeneratedKeys{"", "", " ab c", ""}));
    EXPECT_TRUE(host.setElements.empty());
}

TEST_F(WepKeyEntryTest, KeyUpThatDoesNotChangeTheTextStoresNothing)
{
    record.NetWorkKey1 = "12345";
    Page(std::string(kWepKeyMask)); // Tab into the masked field: key-up of Tab
    EXPECT_FALSE(entry.KeyUp(record, page));
    EXPECT_EQ(record.NetWorkKey1, "12345");

    Page("12345"); // Shift after typing
    EXPECT_FALSE(entry.KeyUp(record, page));

    // Typing into the mask without clearing it stores what was typed; the check on
    // save reports its length.
    Page(std::string(kWepKeyMask) + "a");
    EXPECT_TRUE(entry.KeyUp(record, page));
    EXPECT_EQ(record.NetWorkKey1, "**********a");
}

TEST_F(WepKeyEntryTest, KeySelectWithoutSelectionKeepsTheSlotLastShown)
{
    Page("one", 3);
    entry.KeyUp(record, page);
    Page("four", -1);
    entry.KeyUp(record, page);
    EXPECT_EQ(SlotsOf(record), (GeneratedKeys{"", "", "", "four"}));
}

TEST_F(WepKeyEntryTest, BlurAndKeySelectShowTheMask)
{
    Page("abcde", 1);
    entry.MaskKey(page);
    EXPECT_EQ(page.Text("TextWepKey"), kWepKeyMask);
    EXPECT_TRUE(Sent("TextWepKey"));
}

TEST_F(WepKeyEntryTest, FilledKeyTextMasksOnlyAStoredKey)
{
    record.NetWorkKey2 = "abcde";
    EXPECT_EQ(WepKeyEntry::FilledKeyText(record, 0), "");
    EXPECT_EQ(WepKeyEntry::FilledKeyText(record, 1), kWepKeyMask);
    EXPECT_EQ(WepKeyEntry::FilledKeyText(record, 4), "");
}

TEST_F(WepKeyEntryTest, PassPhraseFillsAllFourSlotsFromATrimmedCopy)
{
    Page("", 0, " my phrase", 0);
    EXPECT_TRUE(entry.PassPhraseKeyUp(record, page));
    EXPECT_EQ(record.KeyLength, 1);
    EXPECT_EQ(SlotsOf(record), KeysOf("my phrase", 1));
    EXPECT_EQ(record.NetWorkKey1.size(), 10u);
    EXPECT_EQ(page.Text("TextWepKey"), kWepKeyMask);
    // The field keeps what was typed: rewriting it would eat the space being typed.
    EXPECT_FALSE(Sent("TextWepPassPhrase"));

    Page("", 0, "my phrase", 1);
    EXPECT_TRUE(entry.PassPhraseKeyUp(record, page));
    EXPECT_EQ(record.KeyLength, 2);
    EXPECT_EQ(SlotsOf(record), KeysOf("my phrase", 2));
    EXPECT_EQ(record.NetWorkKey1, record.NetWorkKey4);
}

TEST_F(WepKeyEntryTest, EmptyPhraseOrTwoFiftySixBitsLeaveTheKeysAlone)
{
    Page("", 0, "first", 0);
    entry.PassPhraseKeyUp(record, page);
    record.NetWorkKey1 = record.NetWorkKey2 = record.NetWorkKey3 = record.NetWorkKey4 = "typed";

    Page("", 0, "", 0); // the field emptied: no stale keys into the slots
    EXPECT_FALSE(entry.PassPhraseKeyUp(record, page));
    record.KeyLength = 3;
    Page("", 0, "second", 2);
    EXPECT_FALSE(entry.PassPhraseKeyUp(record, page));
    EXPECT_EQ(record.KeyLength, 3);
    EXPECT_EQ(SlotsOf(record), (GeneratedKeys{"typed", "typed", "typed", "typed"}));
}

TEST_F(WepKeyEntryTest, KeyUpWithoutNewPhraseKeepsAKeyTypedSince)
{
    Page("", 0, "phrase", 0);
    entry.PassPhraseKeyUp(record, page);
    record.NetWorkKey2 = "own key";
    Page("", 0, "phrase ", 0); // a trailing space, or Tab, changes no key
    EXPECT_FALSE(entry.PassPhraseKeyUp(record, page));
    EXPECT_EQ(record.NetWorkKey2, "own key");

    // The same phrase in a page filled afresh generates again.
    entry.PageFilled(page);
    EXPECT_TRUE(entry.PassPhraseKeyUp(record, page));
    EXPECT_EQ(SlotsOf(record), KeysOf("phrase", 1));
}

TEST_F(WepKeyEntryTest, TwoFiftySixBitsDisablesThePassPhraseChoiceWhenFilledOrChanged)
{
    Page("", 0, "", 0);
    entry.PageFilled(page);
    EXPECT_TRUE(host.dialog.disabled.empty()); // the page's own state stays

    Page("", 0, "", 2);
    entry.PageFilled(page);
    EXPECT_TRUE(host.IsDisabled(HtmlSurface::Dialog, "RadioGroupWep"));
    EXPECT_TRUE(host.IsDisabled(HtmlSurface::Dialog, "TextWepPassPhrase"));
    EXPECT_FALSE(host.IsDisabled(HtmlSurface::Dialog, "TextWepKey"));
    EXPECT_EQ(page.Number("RadioGroupWep"), 1);

    Page("", 0, "", 1);
    entry.SizeChanged(page);
    EXPECT_FALSE(host.IsDisabled(HtmlSurface::Dialog, "RadioGroupWep"));

    page.Update({{"RadioGroupWep", 0}});
    entry.ChoiceClicked(page);
    EXPECT_FALSE(host.IsDisabled(HtmlSurface::Dialog, "TextWepPassPhrase"));
    EXPECT_TRUE(host.IsDisabled(HtmlSurface::Dialog, "TextWepKey"));
}

TEST(WepKeyEntrySelectTest, NoSelectionKeepsThePreviousValue)
{
    EXPECT_EQ(WepKeyEntry::SelectedOr(2, 3, 0), 2);
    EXPECT_EQ(WepKeyEntry::SelectedOr(-1, 3, 1), 1);
    EXPECT_EQ(WepKeyEntry::SelectedOr(3, 3, 1), 1);
}

} // namespace
} // namespace kesto
