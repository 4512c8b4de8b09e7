// Stored-secret scrambler: the keyed substitution that keeps the WPA pass phrase and
// the 802.1X password of a profile from standing in the store as typed. Stored data is
// only readable back if the key text, the seed derivation and the generator below stay
// exactly as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto {

// The key text every installation derives its seed from.
inline constexpr std::string_view kScramblerKey = "QelmoTarvix";

// The 32-bit seed derived from keyText (bytes taken as signed 8-bit codes).
std::uint32_t ScramblerSeed(std::string_view keyText);

// Scrambles text byte by byte. Bytes 33..126 are substituted within that range, each
// with the next number of a generator seeded afresh on every call, so equal texts
// always scramble alike and fields do not depend on one another. Every other byte (a
// space, a byte of a UTF-8 sequence) is kept unchanged and draws no number, so a
// secret containing them survives a round trip; texts without them scramble exactly as
// stored data has always been scrambled.
std::string ScrambleSecret(std::string_view text);

// The inverse of ScrambleSecret: UnscrambleSecret(ScrambleSecret(s)) == s for every s.
// Bytes outside 33..126 are kept unchanged and draw no number.
std::string UnscrambleSecret(std::string_view text);

} // namespace kesto
