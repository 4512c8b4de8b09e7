// Little-endian numbers, as the registry's numbers, the adapter library's buffers and
// the survey records hold them: least significant byte first, whatever the machine's
// own order. Header-only and free of any other layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kesto {

// The first four bytes as an unsigned 32-bit number; the caller has checked that there
// are four.
inline std::uint32_t ReadLe32(std::span<const std::uint8_t> d)
{
    return static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
           (static_cast<std::uint32_t>(d[2]) << 16) | (static_cast<std::uint32_t>(d[3]) << 24);
}

// v into the first four bytes; the caller has checked that there are four.
inline void WriteLe32(std::span<std::uint8_t> d, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        d[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The low `bytes` bytes of v appended (2 for a 16-bit field, 8 for a 64-bit one).
inline void AppendLe(std::vector<std::uint8_t>& out, std::uint64_t v, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

} // namespace kesto
