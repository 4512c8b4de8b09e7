// SurveyRecords: reads the scan buffer that WL_RetrieveSiteSurveyData fills (a 32-bit
// record count, then the BSSID list records of the system's network driver interface)
// into the survey's entries, and the values the survey derives from an entry. The
// buffer comes from the adapter's driver: every count, length and offset in it is
// checked, never trusted.
#pragma once

#include "adapter/AdapterCalibration.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The scan buffer the survey hands to the library, and the most records it keeps.
inline constexpr std::size_t kSurveyBufferSize = 12004;
inline constexpr std::size_t kMaxSurveyEntries = 64;
// The longest network name 802.11 allows.
inline constexpr std::size_t kMaxSsidBytes = 32;

// 0 open, 1 WEP, 2 WPA with a pre-shared key, 3 WPA with 802.1X, 4 SAE alone
// (WPA3-Personal: joined with a pass phrase as a pre-shared key network is, but only by a
// station that offers SAE).
enum class SurveyEncryption { Open = 0, Wep = 1, WpaPsk = 2, WpaRadius = 3, WpaSae = 4 };

struct SurveyEntry {
    std::array<std::uint8_t, 6> bssid{};
    // The name's bytes as the network sends them (not necessarily UTF-8): the stated
    // length clamped to 32, zero bytes included. A hidden network's is empty or zeros.
    std::string ssid;
    std::int32_t privacy = 0; // 1 WEP required
    std::int32_t rssi = 0;    // dBm
    std::uint32_t frequencyKhz = 0;
    std::int32_t infrastructureMode = 0; // 0 ad hoc, 1 infrastructure
    SurveyEncryption encryption = SurveyEncryption::Open;

    bool operator==(const SurveyEntry&) const = default;
};

// The records of buffer in order, at most 64. The walk stops at a record that would
// reach past the buffer's end, at a record length shorter than a record's fixed part
// (zero included), and after the count the buffer states (a count of 0 or one that
// reads negative gives no entries). Each entry's encryption is decided from its whole
// record while it is in the buffer.
std::vector<SurveyEntry> ReadSurveyRecords(std::span<const std::uint8_t> buffer);

// The channel of a frequency: k = (kHz / 1000 - 2412) / 5 in integer division,
// channel k + 1, and 14 for k = 14 (2484 MHz); in the 5 GHz band (a real radio's scan
// lists it) (kHz / 1000 - 5000) / 5, the band's channels 36..177. Every other frequency
// (0 when the driver left the field empty, another band, a value the driver got wrong)
// gives 0: no channel, shown as an empty text.
int ChannelFromFrequency(std::uint32_t frequencyKhz);
// The channel as the adapter's settings hold it (a profile's Channel, the driver's
// RFChannel): the entry's channel when it is one of the 2.4 GHz band's 1..14, else 0.
int AdapterChannel(std::uint32_t frequencyKhz);

// (rssi + 105) clamped into the calibration's signal range, as a percentage of it.
int SignalPercent(std::int32_t rssi, const AdapterCalibration& calibration);

// "Deaktiviert", "WEP", "WPA-PSK", "WPA-RADIUS", "WPA3-SAE".
std::string_view EncryptionLabel(SurveyEncryption encryption);

// The name as UTF-8 for the list and the page, up to its first zero byte (a hidden
// network's zeros show as an empty name): valid UTF-8 sequences as they are, every
// other byte read as the Latin-1 character of that value, so no byte before the zero
// is lost.
std::string ShowableName(std::string_view ssid);

} // namespace kesto
