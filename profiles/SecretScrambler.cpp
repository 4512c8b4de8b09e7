// Stored-secret scrambler (see SecretScrambler.h).
#include "profiles/SecretScrambler.h"

namespace kesto {

namespace {

// The linear congruential generator stored secrets were scrambled with. A private
// object rather than the process's shared generator: every call re-seeds anyway, and
// nothing else can disturb the sequence in the middle of a text.
class ScramblerGenerator {
public:
    explicit ScramblerGenerator(std::uint32_t seed) : m_state(seed) {}

    // 0 ... 32767
    int Draw()
    {
        m_state = m_state * 214013u + 2531011u; // modulo 2^32 by unsigned wrap-around
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t m_state;
};

constexpr int kFirstScrambled = 33; // '!'
constexpr int kLastScrambled = 126; // '~'
constexpr int kAlphabetSize = 94;

int SignedCode(char c)
{
    return static_cast<int>(static_cast<signed char>(c));
}

bool IsScrambled(int code)
{
    return code >= kFirstScrambled && code <= kLastScrambled;
}

// code * 2^exponent in double precision, truncated toward zero to 32 bits. With 8-bit
// codes and exponents below 23 the product always fits a 32-bit integer.
std::uint32_t ScaledCode(int code, int exponent)
{
    const double power = static_cast<double>(std::int32_t{1} << exponent);
    const auto truncated = static_cast<std::int32_t>(static_cast<double>(code) * power);
    return static_cast<std::uint32_t>(truncated);
}

} // namespace

std::uint32_t ScramblerSeed(std::string_view keyText)
{
    std::uint32_t seed = 0;
    int a = 0;
    int b = 0;
    for (const char c : keyText) {
        const int code = SignedCode(c);
        seed ^= ScaledCode(code, a);
        seed ^= ScaledCode(code, b);
        a = (a + 7) % 19;
        b = (b + 13) % 23;
    }
    return seed;
}

namespace {

// Runs the generator over the printable characters of text, replacing each by
// shift(code, draw) + 33; other bytes pass through unchanged and draw no number.
template <typename Shift> std::string MapPrintable(std::string_view text, Shift shift)
{
    ScramblerGenerator generator(ScramblerSeed(kScramblerKey));
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const int code = SignedCode(c);
        if (!IsScrambled(code)) {
            result.push_back(c);
            continue;
        }
        result.push_back(static_cast<char>(shift(code, generator.Draw()) + kFirstScrambled));
    }
    return result;
}

} // namespace

std::string ScrambleSecret(std::string_view text)
{
    return MapPrintable(
        text, [](int code, int r) { return ((code - kFirstScrambled) + r * 95) % kAlphabetSize; });
}

std::string UnscrambleSecret(std::string_view text)
{
    return MapPrintable(text, [](int code, int r) {
        int v = (code + r * -95 - kFirstScrambled) % kAlphabetSize; // truncating remainder
        if (v < 0) {
            v += kAlphabetSize;
        }
        return v;
    });
}

} // namespace kesto
