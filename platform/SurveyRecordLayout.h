// SurveyRecordLayout: the records that WL_RetrieveSiteSurveyData lays into the caller's
// buffer (WlanLibrary.h), as every library writes them and the survey reads them. The
// buffer is a 32-bit record count, then records one after another, each a fixed part
// followed by the network's information elements. All numbers little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kesto::survey_record {

// Byte offsets of a record's fixed part.
inline constexpr std::size_t kLength = 0;            // 32 bits: the whole record, elements included
inline constexpr std::size_t kBssid = 4;             // 6 bytes, then 2 of padding
inline constexpr std::size_t kSsidLength = 12;       // 32 bits: how many bytes of kSsid count
inline constexpr std::size_t kSsid = 16;             // 32 bytes
inline constexpr std::size_t kPrivacy = 48;          // 32 bits: 1 when WEP or WPA is required
inline constexpr std::size_t kRssi = 52;             // 32 bits signed: dBm
inline constexpr std::size_t kNetworkTypeInUse = 56; // 32 bits: kTypeDs, kTypeOfdm5 or kTypeOfdm24
inline constexpr std::size_t kConfiguration = 60;    // 32 bits: the configuration's length
inline constexpr std::size_t kBeaconPeriod = 64;     // 32 bits: in 1024 us units
inline constexpr std::size_t kAtimWindow = 68;       // 32 bits
inline constexpr std::size_t kFrequency = 72;        // 32 bits: kHz
inline constexpr std::size_t kHoppingBlock = 76;     // 12 bytes of hopping pattern, unused
inline constexpr std::size_t kInfrastructureMode = 92; // 32 bits: 0 ad hoc, 1 infrastructure
inline constexpr std::size_t kSupportedRates = 96;     // 16 bytes: 500 kbit/s units
inline constexpr std::size_t kIeLength = 112;          // 32 bits: the elements' length
inline constexpr std::size_t kIes = 116;               // the elements
inline constexpr std::size_t kFixedPart = kIes;

// The elements start with 12 fixed bytes (time stamp, beacon interval, capabilities),
// then the name element; the name element's length byte follows its id.
inline constexpr std::size_t kFixedIeBytes = 12;
inline constexpr std::size_t kIeSsidLength = kFixedIeBytes + 1;
// Writers put exactly four rates and the DS parameter set behind the name and, for WPA
// networks, the WPA element right after: it begins name length + 23 bytes into the
// elements, and its last byte (the record's last) is the key management.
inline constexpr std::size_t kWpaElementFromName = 23;

// Element ids.
inline constexpr std::uint8_t kIeSsid = 0;
inline constexpr std::uint8_t kIeRates = 1;
inline constexpr std::uint8_t kIeDsParameters = 3;
inline constexpr std::uint8_t kIeIbssParameters = 6;
inline constexpr std::uint8_t kIeExtendedRates = 50;
inline constexpr std::uint8_t kIeVendor = 221;

// Key management of the WPA element. SAE alone (WPA3-Personal) takes the number of its
// RSN suite: a reader that knows only the first two reads such a network as WEP.
inline constexpr std::uint8_t kKeyManagement8021X = 1;
inline constexpr std::uint8_t kKeyManagementPsk = 2;
inline constexpr std::uint8_t kKeyManagementSae = 8;

// The 802.11b rates, marked basic, then the 802.11g rates (500 kbit/s units).
inline constexpr std::array<std::uint8_t, 4> kBasicRates{0x82, 0x84, 0x8B, 0x96};
inline constexpr std::array<std::uint8_t, 8> kOfdmRates{12, 18, 24, 36, 48, 72, 96, 108};

// Capability bits of the fixed elements.
inline constexpr std::uint16_t kCapEss = 0x0001;
inline constexpr std::uint16_t kCapIbss = 0x0002;
inline constexpr std::uint16_t kCapPrivacy = 0x0010;
inline constexpr std::uint16_t kCapShortPreamble = 0x0020;
inline constexpr std::uint16_t kCapShortSlot = 0x0400;

// Network type in use: direct sequence (802.11b), OFDM at 5 GHz (802.11a) or OFDM at
// 2.4 GHz (802.11g).
inline constexpr std::uint32_t kTypeDs = 1;
inline constexpr std::uint32_t kTypeOfdm5 = 2;
inline constexpr std::uint32_t kTypeOfdm24 = 3;

// The WPA element (version 1, TKIP group and pairwise suites, one key management suite).
inline constexpr std::array<std::uint8_t, 24> WpaElement(std::uint8_t keyManagement)
{
    return {kIeVendor, 22,   0x00, 0x50, 0xF2, 0x01, 0x01, 0x00, 0x00, 0x50, 0xF2, 0x02,
            0x01,      0x00, 0x00, 0x50, 0xF2, 0x02, 0x01, 0x00, 0x00, 0x50, 0xF2, keyManagement};
}

} // namespace kesto::survey_record
