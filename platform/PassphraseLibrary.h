// PassphraseLibrary port: turns a pass phrase into WEP key digits the way access
// points do, so keys made here match keys made elsewhere from the same phrase.
// Implemented by drivers/passapp.
#pragma once

#include <span>

namespace kesto {

class PassphraseLibrary {
public:
    virtual ~PassphraseLibrary() = default;

    // phrase: NUL-terminated narrow text. out: room for at least 41 characters.
    // Writes the four 64-bit keys as 40 upper-case hexadecimal digits and a NUL; an
    // empty phrase writes the empty text. Never writes past out's end. Result unused.
    virtual int Passphrase64(const char* phrase, std::span<char> out) = 0;
    // Same contract; writes one 128-bit key as 26 upper-case hexadecimal digits.
    virtual int Passphrase128(const char* phrase, std::span<char> out) = 0;
};

} // namespace kesto
