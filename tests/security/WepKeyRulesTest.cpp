// WEP key rules: the check of the key in use with its exact messages, and the
// conversion of key texts into adapter bytes.
#include "security/WepKeyRules.h"

#include "tests/support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace kesto {
namespace {

constexpr std::string_view kCaption = "kesto-utility";

struct KeyCheckCase {
    const char* name;
    std::int32_t keySize;
    int keyIndex;
    std::string key;
    WepMessageLanguage language;
    std::string message; // "" when the key is accepted
};

void PrintTo(const KeyCheckCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeyCheckTest : public testing::TestWithParam<KeyCheckCase> {};

TEST_P(KeyCheckTest, AcceptsOrShowsExactlyOneMessage)
{
    const KeyCheckCase& c = GetParam();
    test::FakeDialogs dialogs;
    const WepKeyCheck result =
        ValidateWepKey(dialogs, kCaption, c.keySize, c.keyIndex, c.key, c.language);
    if (c.message.empty()) {
        EXPECT_EQ(result, WepKeyCheck::Accepted);
        EXPECT_TRUE(dialogs.messages.empty());
    } else {
        EXPECT_EQ(result, WepKeyCheck::Rejected);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, c.message);
        EXPECT_EQ(dialogs.messages[0].caption, kCaption);
    }
}

constexpr auto En = WepMessageLanguage::English;
constexpr auto De = WepMessageLanguage::German;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyCheckTest,
    testing::Values(
        // 64-bit
        KeyCheckCase{"Char5AnyCharacters", 1, 0, "a !#\xC3", En, ""},
        KeyCheckCase{"Char5HexDigits", 1, 0, "12345", En, ""},
        KeyCheckCase{"Hex10MixedCase", 1, 0, "0123456789", En, ""},
        KeyCheckCase{"Hex10Letters", 1, 0, "ABCDEFabcd", En, ""},
        KeyCheckCase{"Hex10WithNonHex", 1, 0, "012345678g", En,
                     "Shared key should be 10 hexadecimal digits.Please re-enter Key 1"},
        KeyCheckCase{"Four", 1, 0, "abcd", En,
                     "The length of Key should be 5 or 10.Please re-enter Key 1"},
        KeyCheckCase{"Empty", 1, 2, "", En,
                     "The length of Key should be 5 or 10.Please re-enter Key 3"},
        KeyCheckCase{"MaskTypedInto", 1, 0, "**********x", En,
                     "The length of Key should be 5 or 10.Please re-enter Key 1"},
        KeyCheckCase{"MaskAlone", 1, 3, "**********", En,
                     "Shared key should be 10 hexadecimal digits.Please re-enter Key 4"},
        // no trimming at the check: a surrounding space counts
        KeyCheckCase{"Hex10TrailingSpace", 1, 1, "0123456789 ", En,
                     "The length of Key should be 5 or 10.Please re-enter Key 2"},
        KeyCheckCase{"Char4LeadingSpace", 1, 0, " abc", En,
                     "The length of Key should be 5 or 10.Please re-enter Key 1"},
        // 128-bit
        KeyCheckCase{"Char13HexDigits", 2, 0, "0123456789abc", En, ""},
        KeyCheckCase{"Hex26", 2, 1, "0123456789abcdefABCDEF0123", En, ""},
        KeyCheckCase{"Hex26WithNonHex", 2, 1, "0123456789abcdefABCDEF012z", En,
                     "Shared key should be 26 hexadecimal digits.Please re-enter Key 2"},
        KeyCheckCase{"Ten", 2, 0, "0123456789", En,
                     "The length of Key should be 13 or 26.Please re-enter Key 1"},
        // 256-bit
        KeyCheckCase{"Char29", 3, 0, std::string(29, 'k'), En, ""},
        KeyCheckCase{"Hex58", 3, 0, std::string(58, 'F'), En, ""},
        KeyCheckCase{"Hex58WithNonHex", 3, 3, std::string(57, 'F') + "G", En,
                     "Shared key should be 58 hexadecimal digits.Please re-enter Key 4"},
        KeyCheckCase{"Thirty", 3, 0, std::string(30, 'k'), En,
                     "The length of Key should be 29 or 58.Please re-enter Key 1"},
        // German texts of the wizard and access-point pages
        KeyCheckCase{"GermanLength64", 1, 0, "abc", De,
                     "Der Schl\xC3\xBCssel muss eine L?nge von 5 oder 10 Zeichen haben. Bitte "
                     "geben Sie den Schl\xC3\xBCssel 1 neu ein."},
        KeyCheckCase{"GermanLength128", 2, 2, "abc", De,
                     "Der Schl\xC3\xBCssel muss eine L?nge von 13 oder 26 Zeichen haben. Bitte "
                     "geben Sie den Schl\xC3\xBCssel 3 neu ein."},
        KeyCheckCase{"GermanHex256", 3, 1, std::string(58, 'x'), De,
                     "Der ausgetauschte Schl\xC3\xBCssel muss 58 Hexadezimalzeichen haben. Bitte "
                     "geben Sie den Schl\xC3\xBCssel 2 neu ein."},
        KeyCheckCase{"GermanHex64", 1, 3, "xxxxxxxxxx", De,
                     "Der ausgetauschte Schl\xC3\xBCssel muss 10 Hexadezimalzeichen haben. Bitte "
                     "geben Sie den Schl\xC3\xBCssel 4 neu ein."}),
    [](const testing::TestParamInfo<KeyCheckCase>& p) { return std::string(p.param.name); });

TEST(KeyCheckTest, SizeOrIndexOutsideTheirRangesIsRejectedSilently)
{
    struct Case {
        std::int32_t keySize;
        int keyIndex;
    };
    for (const Case c : {Case{0, 0}, Case{4, 0}, Case{255, 0}, Case{1, -1}, Case{1, 4}}) {
        test::FakeDialogs dialogs;
        EXPECT_EQ(ValidateWepKey(dialogs, kCaption, c.keySize, c.keyIndex, "abcde", En),
                  WepKeyCheck::Rejected)
            << c.keySize << "/" << c.keyIndex;
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST(IsHexTextTest, AcceptsOnlyTheTwentyTwoDigits)
{
    EXPECT_TRUE(IsHexText(""));
    EXPECT_TRUE(IsHexText("0123456789ABCDEFabcdef"));
    for (const char* text : {"g", "G", " 0", "0x12", "12-34", "\xC3\xA4", "*"}) {
        EXPECT_FALSE(IsHexText(text)) << text;
    }
}

struct ConversionCase {
    const char* name;
    std::string key;
    std::optional<WepKeyBytes> expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os)
{
    *os << c.name;
}

class WepKeyToBytesTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(WepKeyToBytesTest, Converts)
{
    EXPECT_EQ(WepKeyToBytes(GetParam().key), GetParam().expected);
}

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WepKeyToBytesTest,
    testing::Values(
        ConversionCase{"Char5", "ab !~", WepKeyBytes{0, Bytes("ab !~")}},
        ConversionCase{"Hex10", "0123456789", WepKeyBytes{0, {0x01, 0x23, 0x45, 0x67, 0x89}}},
        ConversionCase{"Hex10SmallLetters", "0a0b0cff0f",
                       WepKeyBytes{0, {0x0A, 0x0B, 0x0C, 0xFF, 0x0F}}},
        ConversionCase{"Hex10CapitalLetters", "0A0B0CFF0F",
                       WepKeyBytes{0, {0x0A, 0x0B, 0x0C, 0xFF, 0x0F}}},
        ConversionCase{"Char13OfHexDigitsIsNotDecoded", "0123456789abc",
                       WepKeyBytes{1, Bytes("0123456789abc")}},
        ConversionCase{"Hex26", "000102030405060708090A0B0C",
                       WepKeyBytes{1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}},
        ConversionCase{"Char29", std::string(29, 'z'), WepKeyBytes{2, Bytes(std::string(29, 'z'))}},
        ConversionCase{"Hex58", std::string(58, 'e'),
                       WepKeyBytes{2, std::vector<std::uint8_t>(29, 0xEE)}},
        // trimming rescues texts that are no key as they stand
        ConversionCase{"Hex10Padded", "  0123456789\t\n",
                       WepKeyBytes{0, {0x01, 0x23, 0x45, 0x67, 0x89}}},
        ConversionCase{"Char5PaddedToTenNonHex", "  abcde   ", WepKeyBytes{0, Bytes("abcde")}},
        // ... but never change a key that the check accepts as it stands
        ConversionCase{"Char5LeadingSpace", " abcd", WepKeyBytes{0, Bytes(" abcd")}},
        ConversionCase{"Char13AroundHex10", "   0123456789",
                       WepKeyBytes{1, Bytes("   0123456789")}},
        ConversionCase{"Hex10WithNonHex", "012345678g", std::nullopt},
        ConversionCase{"Four", "abcd", std::nullopt}, ConversionCase{"Empty", "", std::nullopt},
        ConversionCase{"OnlySpaces", "          ", std::nullopt},
        ConversionCase{"MaskTypedInto", "**********x", std::nullopt}),
    [](const testing::TestParamInfo<ConversionCase>& p) { return std::string(p.param.name); });

} // namespace
} // namespace kesto
