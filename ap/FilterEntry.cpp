#include "ap/FilterEntry.h"

#include "base/AsciiText.h"
#include "base/Text.h"

#include <algorithm>

namespace kesto {

namespace {

constexpr std::size_t kAddressLength = 17;

bool IsAddressCharacter(char c)
{
    return c == ':' || HexDigitValue(c) >= 0;
}

// Positions 2, 5, 8, 11 and 14 separate the groups.
bool IsSeparatorPosition(std::size_t pos)
{
    return pos % 3 == 2;
}

} // namespace

bool ValidateFilterAddress(std::string_view address)
{
    const std::string_view text = TrimWhiteSpace(address);
    if (text.empty())
        return true;
    if (text.size() != kAddressLength)
        return false;
    for (const char c : text) {
        if (!IsAddressCharacter(c))
            return false;
    }
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if ((text[pos] == ':') != IsSeparatorPosition(pos))
            return false;
    }
    return true;
}

FilterEntry MakeFilterEntry(std::string_view address)
{
    FilterEntry entry{};
    const std::string_view text = TrimWhiteSpace(address);
    if (text.empty() || !ValidateFilterAddress(text))
        return entry;
    entry[0] = 1;
    for (std::size_t i = 0; i < kMacAddressBytes; ++i) {
        const std::size_t pos = i * 3;
        entry[i + 1] =
            static_cast<std::uint8_t>(HexDigitValue(text[pos]) * 16 + HexDigitValue(text[pos + 1]));
    }
    return entry;
}

FilterBlock BuildFilterBlock(const FilterList& list)
{
    FilterBlock block{};
    for (std::size_t slot = 0; slot < list.FilterAddress.size(); ++slot) {
        const FilterEntry entry = MakeFilterEntry(list.FilterAddress[slot]);
        std::copy(entry.begin(), entry.end(),
                  block.begin() + static_cast<std::ptrdiff_t>(slot * kFilterEntrySize));
    }
    return block;
}

std::string MacAddressText(std::span<const std::uint8_t, kMacAddressBytes> bytes)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 0)
            text += ':';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

} // namespace kesto
