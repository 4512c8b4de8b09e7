// Noise: the seeded randomness of the simulated radio (signal jitter, association
// delays, generated cell addresses). Every draw is a pure function of the seed and the
// draw's coordinates, so a run under a fake clock repeats exactly, and how many calls
// the program makes between two readings does not change what they read.
#pragma once

#include <cstdint>
#include <string_view>

namespace kesto::qvwlan {

class Noise {
public:
    explicit Noise(std::uint64_t seed) : m_seed(seed) {}

    // A well-mixed 64-bit value for the coordinates (a, b).
    std::uint64_t draw(std::uint64_t a, std::uint64_t b) const;
    // A value in [-bound, bound] for the coordinates; 0 when bound <= 0.
    int jitter(std::uint64_t a, std::uint64_t b, int bound) const;
    // A value in [low, high] for the coordinates (low <= high).
    std::uint32_t between(std::uint64_t a, std::uint64_t b, std::uint32_t low,
                          std::uint32_t high) const;

    // A stable 64-bit digest of bytes (addresses, names), to serve as a coordinate.
    static std::uint64_t Digest(std::string_view bytes);

private:
    std::uint64_t m_seed;
};

} // namespace kesto::qvwlan
