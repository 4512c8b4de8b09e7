// Pass-phrase generated WEP keys: turns the pass phrase the user types into the four
// key texts of a record at every key stroke, keeping the last result for all pages.
#pragma once

#include "platform/PassphraseLibrary.h"
#include "profiles/ProfileRecord.h"
#include "security/WepKeyRules.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kesto {

// The four key texts of the last generation, key 1 first.
using GeneratedKeys = std::array<std::string, kWepKeyCount>;

class PassphraseKeys {
public:
    explicit PassphraseKeys(PassphraseLibrary& library);

    // An empty passPhrase changes nothing and returns "". Otherwise the phrase is
    // trimmed of white space and handed to the library (so a phrase of spaces asks for
    // the keys of the empty text), and the trimmed phrase is returned for the page to
    // show. keySize 1 (64-bit): the 40-digit result is split into four keys of 10
    // digits (a shorter result gives shorter or empty keys). keySize 2 (128-bit): all
    // four keys are the whole result. Any other size generates nothing. The phrase is
    // passed up to its first NUL.
    std::string GeneratePassphraseKeys(std::string_view passPhrase, std::int32_t keySize);

    // Empty texts until the first generation; afterwards the last result.
    const GeneratedKeys& Keys() const { return m_keys; }

    // Key-up of a profile page's pass phrase field. selectWepIndex is the WEP select's
    // index (0 64 bits, 1 128 bits, 2 256 bits): 0 and 1 set record.KeyLength to 1 and
    // 2, any other index leaves it as it is. Generates with record.KeyLength and copies
    // Keys() into the record's four key slots even when nothing was generated. Returns
    // the trimmed phrase; the page also shows kWepKeyMask in its key field.
    std::string ApplyToProfile(ProfileRecord& record, int selectWepIndex,
                               std::string_view passPhrase);

    // Key-up of the access-point page's pass phrase field. selectApWepIndex is the WEP
    // select's index (0 off, 1 64 bits, 2 128 bits, 3 256 bits). Only 1 and 2 generate:
    // settings.KeyLength is set to it, Keys() are copied into the four key slots and
    // true is returned (the page then masks its key field and is written back). For any
    // other index nothing changes and false is returned. The page's field keeps the
    // phrase as typed.
    bool ApplyToApSettings(ApSettings& settings, int selectApWepIndex, std::string_view passPhrase);

private:
    PassphraseLibrary& m_library;
    GeneratedKeys m_keys;
};

} // namespace kesto
