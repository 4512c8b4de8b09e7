// Stored-secret scrambler: fixed vectors that stored data depends on, round trips, and
// the pass-through of bytes outside the printable range.
#include "profiles/SecretScrambler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace kesto {
namespace {

// The expected values were computed once with a throwaway script (not kept) that
// implements the seed derivation, the generator and the substitution independently of
// this code. Spot checks by hand:
// - seed of "ab\xC3\xA4": 'a' cancels itself (both exponents 0); 'b' (98) with 2^7 and
//   2^13 gives 0x3100 ^ 0xC4000; 0xC3 (-61) with 2^14 and 2^3 gives 0xFFF0C000 ^
//   0xFFFFFE18; 0xA4 (-92) with 2^2 and 2^16 gives 0xFFFFFE90 ^ 0xFFA40000; all XORed:
//   0x58B188.
// - "secret": the first draw from the key's seed 0x1FE17A60 is 29731; 's' (115) gives
//   (82 + 29731 * 95) mod 94 = 15, plus 33 = '0'.
TEST(ScramblerSeedTest, MatchesDerivation)
{
    EXPECT_EQ(ScramblerSeed(kScramblerKey), 0x1FE17A60u);
    EXPECT_EQ(ScramblerSeed(""), 0u);
    EXPECT_EQ(ScramblerSeed("A"), 0u); // equal exponents at the first character cancel
    EXPECT_EQ(ScramblerSeed("ab\xC3\xA4"), 0x58B188u); // negative codes
}

struct ScrambleVector {
    std::string plain;
    std::string scrambled;
};

void PrintTo(const ScrambleVector& v, std::ostream* os)
{
    *os << '"' << v.plain << '"';
}

class ScrambleVectorTest : public testing::TestWithParam<ScrambleVector> {};

TEST_P(ScrambleVectorTest, ScramblesAndUnscramblesToStoredForm)
{
    const ScrambleVector& v = GetParam();
    EXPECT_EQ(ScrambleSecret(v.plain), v.scrambled);
    EXPECT_EQ(UnscrambleSecret(v.scrambled), v.plain);
}

INSTANTIATE_TEST_SUITE_P(Fixed, ScrambleVectorTest,
                         testing::Values(ScrambleVector{"", ""}, ScrambleVector{"secret", "0(K`bC"},
                                         ScrambleVector{"Passwort123!", "k$[at>=1t]_n"},
                                         ScrambleVector{"a~!", "|Ag"},
                                         // the space stays and draws no number
                                         ScrambleVector{"two words", "1:W elA/0"}));

TEST(SecretScramblerTest, RoundTripsEveryText)
{
    std::string printable;
    for (char c = '!'; c <= '~'; ++c) {
        printable.push_back(c);
    }
    const std::string texts[] = {
        "",
        printable,
        "my wpa pass phrase",
        "  leading and trailing  ",
        "Gr\xC3\xBC\xC3\x9F"
        "e aus K\xC3\xB6ln", // UTF-8 umlauts
        "\t\r\n\x7F\x80\xFF",
        std::string("nul\0inside", 10),
    };
    for (const std::string& text : texts) {
        const std::string scrambled = ScrambleSecret(text);
        EXPECT_EQ(scrambled.size(), text.size()) << text;
        EXPECT_EQ(UnscrambleSecret(scrambled), text) << text;
        EXPECT_EQ(ScrambleSecret(text), scrambled) << "not re-seeded: " << text;
    }
}

TEST(SecretScramblerTest, ScrambledPrintableTextStaysPrintableAndHidden)
{
    const std::string text = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::string scrambled = ScrambleSecret(text);
    EXPECT_NE(scrambled, text);
    EXPECT_TRUE(std::all_of(scrambled.begin(), scrambled.end(),
                            [](char c) { return c >= '!' && c <= '~'; }));
}

// A reader that drops non-printable bytes (as stored data was once read) still gets the
// printable characters of a new text back, because pass-through bytes draw no number.
TEST(SecretScramblerTest, PassThroughBytesDoNotShiftTheSequence)
{
    const std::string withSpaces = ScrambleSecret("a b\xC3\xA4"
                                                  "c");
    std::string dropped;
    std::copy_if(withSpaces.begin(), withSpaces.end(), std::back_inserter(dropped),
                 [](char c) { return c >= '!' && c <= '~'; });
    EXPECT_EQ(dropped, ScrambleSecret("abc"));
    EXPECT_EQ(UnscrambleSecret(dropped), "abc");
}

} // namespace
} // namespace kesto
