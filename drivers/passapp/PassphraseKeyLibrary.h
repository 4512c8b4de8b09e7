// PassphraseKeyLibrary: WEP keys from a pass phrase, computed the way access points
// compute them, so a phrase typed here and on another device yields the same keys.
#pragma once

#include "platform/PassphraseLibrary.h"

#include <span>

namespace kesto {

class PassphraseKeyLibrary : public PassphraseLibrary {
public:
    // Four 64-bit keys, 40 upper-case hexadecimal digits: the phrase's bytes are folded
    // by XOR into a 4-byte little-endian seed, from which a linear congruential
    // generator draws the 20 key bytes.
    // Returns the number of digits written, not counting the NUL.
    int Passphrase64(const char* phrase, std::span<char> out) override;
    // One 128-bit key, 26 upper-case hexadecimal digits: the first 13 bytes of the MD5
    // digest of the phrase repeated to exactly 64 bytes.
    // Returns the number of digits written, not counting the NUL; -1 when the digest
    // could not be computed (out then holds the empty text).
    int Passphrase128(const char* phrase, std::span<char> out) override;

    // Both: a null or empty phrase writes the empty text (no keys from nothing). When
    // out is too small for the whole text, as many leading digits as fit are written
    // followed by the NUL; an empty out is left untouched and 0 is returned.
};

} // namespace kesto
