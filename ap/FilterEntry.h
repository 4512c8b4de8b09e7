// FilterEntry: the adapter's 7-byte form of one MAC address (present flag, then the six
// address bytes), as the MAC filter list is sent and as the station list comes back,
// with the address check of the filter page and the text form the pages show.
#pragma once

#include "profiles/ProfileRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kesto {

inline constexpr std::size_t kMacAddressBytes = 6;
inline constexpr std::size_t kFilterEntrySize = 7;
// Sixteen entries in slot order, empty slots included.
inline constexpr std::size_t kFilterBlockSize = kFilterEntrySize * kFilterAddressCount;

using FilterEntry = std::array<std::uint8_t, kFilterEntrySize>;
using FilterBlock = std::array<std::uint8_t, kFilterBlockSize>;

// True for an address the filter page accepts: after trimming white space either empty
// or six two-digit hexadecimal groups (either case) joined by ":" (17 characters).
bool ValidateFilterAddress(std::string_view address);

// Flag 1 and the six bytes of a valid, non-empty address; seven zero bytes for an
// empty slot and for any text ValidateFilterAddress refuses, so a short or malformed
// stored text never yields bytes from beyond its end.
FilterEntry MakeFilterEntry(std::string_view address);

// The sixteen entries of the list, slot by slot: what SetWLAP_FilterList receives.
FilterBlock BuildFilterBlock(const FilterList& list);

// "0A:1B:2C:3D:4E:5F": six bytes as two capital hexadecimal digits each.
std::string MacAddressText(std::span<const std::uint8_t, kMacAddressBytes> bytes);

} // namespace kesto
