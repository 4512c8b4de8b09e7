// WEP key rules shared by every page that takes WEP keys: the accepted lengths per key
// size, the check of the key in use with its messages, the mask that hides stored keys
// in a page, and the conversion of a key text into the bytes the adapter receives.
#pragma once

#include "base/Text.h"
#include "platform/Dialogs.h"
#include "platform/Refusal.h"
#include "profiles/ProfileRecord.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kesto {

// What a key field shows in place of a stored key.
inline constexpr std::string_view kWepKeyMask = "**********";

enum class WepKeyCheck { Accepted, Rejected };

// The profile security pop-up speaks English; the wizard and access-point pages German.
enum class WepMessageLanguage { English, German };

// keySize: the KeyLength code, 1 = 64-bit, 2 = 128-bit, 3 = 256-bit. Accepts keyText
// (taken as is, never trimmed) when its length is the character length of the size (5,
// 13, 29; any characters) or the hexadecimal length (10, 26, 58; hexadecimal digits
// only). Otherwise refuses it ("InvalidKey") with the one message naming key
// keyIndex + 1. A keySize outside 1..3 or a keyIndex outside 0..3 cannot name a
// message; it is refused with an empty one.
Refused CheckWepKey(std::int32_t keySize, int keyIndex, std::string_view keyText,
                    WepMessageLanguage language);
// CheckWepKey, its message (if any) shown in one message box with caption as its title
// (the application name).
WepKeyCheck ValidateWepKey(Dialogs& dialogs, std::string_view caption, std::int32_t keySize,
                           int keyIndex, std::string_view keyText, WepMessageLanguage language);

// The key size code (KeyLength 1..3) whose character or hexadecimal length keyText has,
// untrimmed; 0 for any other length.
std::int32_t WepKeySizeOf(std::string_view keyText);

// True when every character is one of "0123456789ABCDEFabcdef"; true for "".
bool IsHexText(std::string_view text);

struct WepKeyBytes {
    int sizeCode = 0;                // 0 64-bit, 1 128-bit, 2 256-bit
    std::vector<std::uint8_t> bytes; // 5, 13 or 29 bytes
    bool operator==(const WepKeyBytes&) const = default;
};

// The adapter's form of a key text. A text that the key check accepts converts exactly
// as checked: 5/13/29 characters are the characters' bytes, 10/26/58 hexadecimal digits
// (either case) are decoded in pairs, high digit first. Any other text is trimmed of
// white space and converted by the same rules if it then has an accepted form. Nothing
// for a text that has none (wrong length, or a hexadecimal length with other
// characters): no key is written from it.
std::optional<WepKeyBytes> WepKeyToBytes(std::string_view keyText);

} // namespace kesto
