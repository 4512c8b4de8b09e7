// Pass-phrase generated keys: what reaches the library, how its result becomes four key
// texts, and what the key-up steps do to a profile or the access-point settings.
#include "security/PassphraseKeys.h"

#include "drivers/passapp/PassphraseKeyLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kesto {
namespace {

const GeneratedKeys kBadpw64{"02CB778981", "C27236DFB1", "C90C104FA2", "A804571CC0"};
const std::string kFoobar128 = "49D68437B1FFB0DB3FDF2D4A93";

// Records the phrases it is given and answers with a fixed text, to reach results the
// real library never gives (short, or filling the whole buffer without a NUL).
class ScriptedLibrary : public PassphraseLibrary {
public:
    explicit ScriptedLibrary(std::string answer) : m_answer(std::move(answer)) {}

    int Passphrase64(const char* phrase, std::span<char> out) override
    {
        return Answer(phrase, out);
    }
    int Passphrase128(const char* phrase, std::span<char> out) override
    {
        return Answer(phrase, out);
    }

    std::vector<std::string> phrases;

private:
    int Answer(const char* phrase, std::span<char> out)
    {
        phrases.emplace_back(phrase);
        const std::size_t n = std::min(m_answer.size(), out.size());
        std::copy_n(m_answer.begin(), n, out.begin());
        if (n < out.size()) {
            out[n] = '\0';
        }
        return 0;
    }

    std::string m_answer;
};

TEST(PassphraseKeysTest, SplitsSixtyFourBitResultIntoFourKeys)
{
    PassphraseKeyLibrary library;
    PassphraseKeys keys(library);
    EXPECT_EQ(keys.Keys(), GeneratedKeys{});
    EXPECT_EQ(keys.GeneratePassphraseKeys(" \tbadpw  ", 1), "badpw");
    EXPECT_EQ(keys.Keys(), kBadpw64);
}

TEST(PassphraseKeysTest, OneTwentyEightBitResultFillsAllFourKeys)
{
    PassphraseKeyLibrary library;
    PassphraseKeys keys(library);
    EXPECT_EQ(keys.GeneratePassphraseKeys("foobar", 2), "foobar");
    EXPECT_EQ(keys.Keys(), (GeneratedKeys{kFoobar128, kFoobar128, kFoobar128, kFoobar128}));
}

TEST(PassphraseKeysTest, EmptyPhraseOrOtherSizeKeepsTheLastResult)
{
    ScriptedLibrary library("0123456789ABCDEFABCDEF0123456789abcdefAB");
    PassphraseKeys keys(library);
    keys.GeneratePassphraseKeys("first", 1);
    const GeneratedKeys first = keys.Keys();

    EXPECT_EQ(keys.GeneratePassphraseKeys("", 1), "");
    EXPECT_EQ(keys.GeneratePassphraseKeys("  other ", 3), "other");
    EXPECT_EQ(keys.GeneratePassphraseKeys("other", 0), "other");
    EXPECT_EQ(keys.Keys(), first);
    EXPECT_EQ(library.phrases, std::vector<std::string>{"first"});
}

TEST(PassphraseKeysTest, PhraseOfSpacesAsksForTheEmptyText)
{
    ScriptedLibrary scripted("");
    PassphraseKeys scriptedKeys(scripted);
    EXPECT_EQ(scriptedKeys.GeneratePassphraseKeys("   ", 1), "");
    EXPECT_EQ(scripted.phrases, std::vector<std::string>{""});

    PassphraseKeyLibrary library;
    PassphraseKeys keys(library);
    keys.GeneratePassphraseKeys("badpw", 1);
    keys.GeneratePassphraseKeys("   ", 1);
    EXPECT_EQ(keys.Keys(), GeneratedKeys{});
}

TEST(PassphraseKeysTest, OddResultsGiveShorterKeysAndNeverOverrun)
{
    struct Case {
        std::string answer;
        std::int32_t keySize;
        GeneratedKeys expected;
    };
    const std::string unterminated(1000, 'A'); // more than any buffer: no NUL arrives
    const Case cases[] = {
        {"0123456789abcdefghijklmno", 1, {"0123456789", "abcdefghij", "klmno", ""}},
        {"0123456789", 1, {"0123456789", "", "", ""}},
        {std::string(45, '7'), 1,
         GeneratedKeys{"7777777777", "7777777777", "7777777777", "7777777777"}},
        {"", 2, GeneratedKeys{}},
    };
    for (const Case& c : cases) {
        ScriptedLibrary library(c.answer);
        PassphraseKeys keys(library);
        keys.GeneratePassphraseKeys("phrase", c.keySize);
        EXPECT_EQ(keys.Keys(), c.expected) << c.answer;
    }
    ScriptedLibrary library(unterminated);
    PassphraseKeys keys(library);
    keys.GeneratePassphraseKeys("phrase", 2);
    EXPECT_FALSE(keys.Keys()[0].empty());
    EXPECT_LT(keys.Keys()[0].size(), unterminated.size());
}

std::vector<std::string> KeySlots(const ProfileRecord& r)
{
    return {r.NetWorkKey1, r.NetWorkKey2, r.NetWorkKey3, r.NetWorkKey4};
}

std::vector<std::string> KeySlots(const ApSettings& s)
{
    return {s.NetworkKey1, s.NetworkKey2, s.NetworkKey3, s.NetworkKey4};
}

std::vector<std::string> AsVector(const GeneratedKeys& keys)
{
    return {keys.begin(), keys.end()};
}

TEST(PassphraseKeysTest, ProfileKeyUpSetsSizeAndCopiesKeys)
{
    struct Case {
        const char* name;
        std::int32_t keyLengthBefore;
        int selectWepIndex;
        std::string phrase;
        std::int32_t keyLengthAfter;
        std::vector<std::string> slots;
    };
    const std::vector<std::string> badpw = AsVector(kBadpw64);
    const std::vector<std::string> foobar(4, kFoobar128);
    // Each case starts after a 128-bit generation from "foobar".
    const Case cases[] = {
        {"SixtyFour", 0, 0, "badpw", 1, badpw},
        {"OneTwentyEight", 1, 1, "foobar", 2, foobar},
        // 256 bits keeps the size; a generation runs with it, none for size 3
        {"TwoFiftySixAfterSixtyFour", 1, 2, "badpw", 1, badpw},
        {"TwoFiftySixAfterTwoFiftySix", 3, 2, "badpw", 3, foobar},
        // an emptied field still copies the last result
        {"EmptyField", 1, 0, "", 1, foobar},
    };
    for (const Case& c : cases) {
        PassphraseKeyLibrary library;
        PassphraseKeys keys(library);
        keys.GeneratePassphraseKeys("foobar", 2);
        ProfileRecord record;
        record.KeyLength = c.keyLengthBefore;
        record.NetWorkKey2 = "typed";
        const std::string shown = keys.ApplyToProfile(record, c.selectWepIndex, c.phrase);
        EXPECT_EQ(shown, c.phrase) << c.name;
        EXPECT_EQ(record.KeyLength, c.keyLengthAfter) << c.name;
        EXPECT_EQ(KeySlots(record), c.slots) << c.name;
    }
}

TEST(PassphraseKeysTest, ApKeyUpGeneratesOnlyForSixtyFourAndOneTwentyEight)
{
    PassphraseKeyLibrary library;
    PassphraseKeys keys(library);
    const ApSettings fresh;
    for (const int index : {0, 3, -1}) {
        ApSettings settings;
        EXPECT_FALSE(keys.ApplyToApSettings(settings, index, "badpw")) << index;
        EXPECT_EQ(settings, fresh) << index;
    }
    ApSettings settings;
    EXPECT_TRUE(keys.ApplyToApSettings(settings, 1, " badpw "));
    EXPECT_EQ(settings.KeyLength, 1);
    EXPECT_EQ(KeySlots(settings), AsVector(kBadpw64));
    EXPECT_TRUE(keys.ApplyToApSettings(settings, 2, "foobar"));
    EXPECT_EQ(settings.KeyLength, 2);
    EXPECT_EQ(KeySlots(settings), std::vector<std::string>(4, kFoobar128));
}

} // namespace
} // namespace kesto
