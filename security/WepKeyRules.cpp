// WEP key rules (see WepKeyRules.h).
#include "security/WepKeyRules.h"

#include "base/AsciiText.h"
#include "base/Text.h"

#include <array>
#include <string>

namespace kesto {

namespace {

struct KeySizeRule {
    std::size_t characterLength;
    std::size_t hexLength;
};

// Indexed by size code (KeyLength - 1).
constexpr std::array<KeySizeRule, 3> kKeySizeRules{{{5, 10}, {13, 26}, {29, 58}}};

std::optional<KeySizeRule> RuleForKeySize(std::int32_t keySize)
{
    if (keySize < 1 || keySize > static_cast<std::int32_t>(kKeySizeRules.size())) {
        return std::nullopt;
    }
    return kKeySizeRules[static_cast<std::size_t>(keySize - 1)];
}

std::string LengthMessage(const KeySizeRule& rule, int keyNumber, WepMessageLanguage language)
{
    const std::string chars = std::to_string(rule.characterLength);
    const std::string hex = std::to_string(rule.hexLength);
    const std::string number = std::to_string(keyNumber);
    switch (language) {
    case WepMessageLanguage::English:
        return "The length of Key should be " + chars + " or " + hex + ".Please re-enter Key " +
               number;
    case WepMessageLanguage::German:
        // "L?nge" with a plain question mark is the text users have always seen.
        return "Der Schl\u00fcssel muss eine L?nge von " + chars + " oder " + hex +
               " Zeichen haben. Bitte geben Sie den Schl\u00fcssel " + number + " neu ein.";
    }
    return {};
}

std::string HexMessage(const KeySizeRule& rule, int keyNumber, WepMessageLanguage language)
{
    const std::string hex = std::to_string(rule.hexLength);
    const std::string number = std::to_string(keyNumber);
    switch (language) {
    case WepMessageLanguage::English:
        return "Shared key should be " + hex + " hexadecimal digits.Please re-enter Key " + number;
    case WepMessageLanguage::German:
        return "Der ausgetauschte Schl\u00fcssel muss " + hex +
               " Hexadezimalzeichen haben. Bitte geben Sie den Schl\u00fcssel " + number +
               " neu ein.";
    }
    return {};
}

// The key bytes of text when it is, untrimmed, a key in one of the accepted forms.
std::optional<WepKeyBytes> ExactKeyBytes(std::string_view text)
{
    for (std::size_t i = 0; i < kKeySizeRules.size(); ++i) {
        const KeySizeRule& rule = kKeySizeRules[i];
        const int sizeCode = static_cast<int>(i);
        if (text.size() == rule.characterLength) {
            return WepKeyBytes{sizeCode, std::vector<std::uint8_t>(text.begin(), text.end())};
        }
        if (text.size() == rule.hexLength && IsHexText(text)) {
            WepKeyBytes key{sizeCode, {}};
            key.bytes.reserve(rule.characterLength);
            for (std::size_t pos = 0; pos + 1 < text.size(); pos += 2) {
                const int high = HexDigitValue(text[pos]);
                const int low = HexDigitValue(text[pos + 1]);
                key.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
            }
            return key;
        }
    }
    return std::nullopt;
}

} // namespace

Refused CheckWepKey(std::int32_t keySize, int keyIndex, std::string_view keyText,
                    WepMessageLanguage language)
{
    constexpr std::string_view kName = "InvalidKey";
    const std::optional<KeySizeRule> rule = RuleForKeySize(keySize);
    if (!rule || keyIndex < 0 || keyIndex >= kWepKeyCount) {
        return Refusal{kName, {}};
    }
    const int keyNumber = keyIndex + 1;
    const std::size_t length = keyText.size();
    if (length != rule->characterLength && length != rule->hexLength) {
        return Refusal{kName, LengthMessage(*rule, keyNumber, language)};
    }
    if (IsHexText(keyText) || length != rule->hexLength) {
        return std::nullopt; // a character key may hold any characters
    }
    return Refusal{kName, HexMessage(*rule, keyNumber, language)};
}

WepKeyCheck ValidateWepKey(Dialogs& dialogs, std::string_view caption, std::int32_t keySize,
                           int keyIndex, std::string_view keyText, WepMessageLanguage language)
{
    return ShowRefusal(dialogs, CheckWepKey(keySize, keyIndex, keyText, language), caption)
               ? WepKeyCheck::Rejected
               : WepKeyCheck::Accepted;
}

std::int32_t WepKeySizeOf(std::string_view keyText)
{
    for (std::size_t i = 0; i < kKeySizeRules.size(); ++i) {
        if (keyText.size() == kKeySizeRules[i].characterLength ||
            keyText.size() == kKeySizeRules[i].hexLength) {
            return static_cast<std::int32_t>(i + 1);
        }
    }
    return 0;
}

bool IsHexText(std::string_view text)
{
    for (const char c : text) {
        if (HexDigitValue(c) < 0) {
            return false;
        }
    }
    return true;
}

std::optional<WepKeyBytes> WepKeyToBytes(std::string_view keyText)
{
    // A key accepted by the check is written as checked, so a character key that
    // begins or ends with a space is not shortened into a different (or no) key.
    // Trimming only rescues texts that would otherwise be no key at all.
    if (std::optional<WepKeyBytes> exact = ExactKeyBytes(keyText)) {
        return exact;
    }
    return ExactKeyBytes(TrimWhiteSpace(keyText));
}

} // namespace kesto
