// Pass-phrase key library: the keys other devices make from the same phrase, and the
// bounds of the caller's buffer.
#include "drivers/passapp/PassphraseKeyLibrary.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace kesto {
namespace {

enum class KeyBits { Bits64, Bits128 };

struct KeyVector {
    const char* name;
    KeyBits bits;
    std::string phrase;
    std::string digits;
};

void PrintTo(const KeyVector& v, std::ostream* os)
{
    *os << v.name;
}

int Generate(PassphraseKeyLibrary& library, KeyBits bits, const char* phrase, std::span<char> out)
{
    switch (bits) {
    case KeyBits::Bits64:
        return library.Passphrase64(phrase, out);
    case KeyBits::Bits128:
        return library.Passphrase128(phrase, out);
    }
    return -1;
}

class KeyVectorTest : public testing::TestWithParam<KeyVector> {};

TEST_P(KeyVectorTest, GivesTheKeysOfOtherDevices)
{
    const KeyVector& v = GetParam();
    PassphraseKeyLibrary library;
    std::array<char, 64> out{};
    out.fill('#');
    EXPECT_EQ(Generate(library, v.bits, v.phrase.c_str(), out), static_cast<int>(v.digits.size()));
    EXPECT_EQ(std::string(out.data()), v.digits);
}

// "badpw" and "foobar" are the published vectors. The others were computed once with an
// independent throwaway script (not kept) and exercise bytes above 127 and phrases of 64
// bytes and more (only the first 64 bytes of the repetition reach the digest).
INSTANTIATE_TEST_SUITE_P(
    Phrases, KeyVectorTest,
    testing::Values(
        KeyVector{"Badpw64", KeyBits::Bits64, "badpw", "02CB778981C27236DFB1C90C104FA2A804571CC0"},
        KeyVector{"Foobar128", KeyBits::Bits128, "foobar", "49D68437B1FFB0DB3FDF2D4A93"},
        KeyVector{"Umlauts64", KeyBits::Bits64,
                  "Gr\xC3\xBC\xC3\x9F"
                  "e",
                  "D4734D0B9C7E4AFD500414CF8A892CD2E48D241B"},
        KeyVector{"Umlauts128", KeyBits::Bits128,
                  "Gr\xC3\xBC\xC3\x9F"
                  "e",
                  "EE4934A80694C63A24BAEE1E84"},
        KeyVector{"OneChar128", KeyBits::Bits128, "a", "014842D480B571495A4A036379"},
        KeyVector{"Exactly64Bytes128", KeyBits::Bits128, std::string(64, 'x'),
                  "C1BB4F81D892B2D57947682AEB"},
        KeyVector{"Over64Bytes128", KeyBits::Bits128, std::string(70, 'x'),
                  "C1BB4F81D892B2D57947682AEB"},
        KeyVector{"WithSpace64", KeyBits::Bits64, "secret phrase",
                  "633476430C4E228C91E4380A1791AC71D2CFEA11"},
        KeyVector{"Empty64", KeyBits::Bits64, "", ""},
        KeyVector{"Empty128", KeyBits::Bits128, "", ""}),
    [](const testing::TestParamInfo<KeyVector>& p) { return std::string(p.param.name); });

TEST(PassphraseKeyLibraryTest, NullPhraseWritesTheEmptyText)
{
    PassphraseKeyLibrary library;
    for (const KeyBits bits : {KeyBits::Bits64, KeyBits::Bits128}) {
        std::array<char, 8> out;
        out.fill('#');
        EXPECT_EQ(Generate(library, bits, nullptr, out), 0);
        EXPECT_EQ(out[0], '\0');
    }
}

// The span given is the whole room: a short one gets the leading digits and a NUL, an
// empty one nothing, and the bytes just past it are never touched.
TEST(PassphraseKeyLibraryTest, NeverWritesPastTheSpan)
{
    struct Case {
        KeyBits bits;
        std::size_t room;
        std::string expected; // what the span holds up to its NUL
    };
    const Case cases[] = {
        {KeyBits::Bits64, 1, ""},
        {KeyBits::Bits64, 6, "02CB7"},
        {KeyBits::Bits64, 40, "02CB778981C27236DFB1C90C104FA2A804571CC"},
        {KeyBits::Bits64, 41, "02CB778981C27236DFB1C90C104FA2A804571CC0"},
        {KeyBits::Bits128, 2, "4"},
        {KeyBits::Bits128, 26, "49D68437B1FFB0DB3FDF2D4A9"},
        {KeyBits::Bits128, 27, "49D68437B1FFB0DB3FDF2D4A93"},
    };
    PassphraseKeyLibrary library;
    for (const Case& c : cases) {
        const char* phrase = c.bits == KeyBits::Bits64 ? "badpw" : "foobar";
        std::array<char, 64> buffer;
        buffer.fill('#');
        const int written = Generate(library, c.bits, phrase, std::span(buffer).first(c.room));
        EXPECT_EQ(written, static_cast<int>(c.expected.size())) << c.room;
        EXPECT_EQ(std::string(buffer.data()), c.expected) << c.room;
        EXPECT_EQ(buffer[c.room], '#') << "written past a span of " << c.room;
    }
    for (const KeyBits bits : {KeyBits::Bits64, KeyBits::Bits128}) {
        std::array<char, 4> buffer;
        buffer.fill('#');
        EXPECT_EQ(Generate(library, bits, "badpw", std::span(buffer).first(0)), 0);
        EXPECT_EQ(buffer[0], '#');
    }
}

} // namespace
} // namespace kesto
