// Seeded, coordinate-addressed randomness (a splitmix-style finaliser over the inputs).
#include "drivers/qvwlan/Noise.h"

namespace kesto::qvwlan {
namespace {

std::uint64_t Mix(std::uint64_t z)
{
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

std::uint64_t Noise::draw(std::uint64_t a, std::uint64_t b) const
{
    return Mix(Mix(Mix(m_seed) ^ a) ^ b);
}

int Noise::jitter(std::uint64_t a, std::uint64_t b, int bound) const
{
    if (bound <= 0)
        return 0;
    const auto span = 2 * static_cast<std::uint64_t>(bound) + 1;
    return static_cast<int>(draw(a, b) % span) - bound;
}

std::uint32_t Noise::between(std::uint64_t a, std::uint64_t b, std::uint32_t low,
                             std::uint32_t high) const
{
    const std::uint64_t span = static_cast<std::uint64_t>(high - low) + 1;
    return low + static_cast<std::uint32_t>(draw(a, b) % span);
}

std::uint64_t Noise::Digest(std::string_view bytes)
{
    // FNV-1a, then mixed: short inputs such as six address bytes spread well.
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ull;
    }
    return Mix(h);
}

} // namespace kesto::qvwlan
