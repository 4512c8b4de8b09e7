// WlanArguments: the values the calls of the WlanLibrary port take, stated once for
// every library that implements the port (a library refuses with -1 what these rules
// refuse) and for the core that builds the calls. A library may refuse more where its
// adapter cannot carry a value (the simulator's regulatory channels and key sizes, the
// Linux library's daemons), never less.
#pragma once

#include "base/LittleEndian.h"
#include "platform/WlanLibrary.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kesto::wlan_args {

// The numbers a call accepts, both ends included.
struct Range {
    int low;
    int high;
    constexpr bool Holds(int value) const { return value >= low && value <= high; }
};

// By setter, grouped by range (kServiceStatus: SetWL_WZCStatus, kPrivateRequests:
// SetWL_QVUseQVXOidState; SetWL_WriteKey takes a key slot, a size code of 64-, 128- or
// 256-bit WEP, and whether the key is the one in use).
inline constexpr Range kServiceStatus{0, 1}, kPrivateRequests{0, 1}, kOperationMode{0, 1},
    kNetworkType{0, 1}, kPsMode{0, 1}, kWepStatus{0, 1}, kMultiDomainCapability{0, 1},
    kHideSsid{0, 1}, kSetTransmit{0, 1};
inline constexpr Range kAuthenticationMode{0, 2}, kFilterMode{0, 2}, kKeySizeCode{0, 2};
inline constexpr Range kPreambleMode{0, 3}, kBasicRate{0, 3}, kTxPowerLevel{0, 3}, kKeyIndex{0, 3};
inline constexpr Range kFragmentationThreshold{256, 2346}, kRtsThreshold{0, 2347};
inline constexpr std::size_t kMaxSsidBytes = 32; // SetWL_SSID: the name's bytes

// Key bytes of a size code that kKeySizeCode holds.
constexpr std::size_t WepKeyLength(int sizeCode)
{
    return sizeCode == 0 ? 5 : sizeCode == 1 ? 13 : 29;
}

// The numbers in range and at least the size code's key bytes given.
constexpr bool WriteKeyUsable(int keyIndex, int sizeCode, int setTransmit, std::size_t keyBytes)
{
    return kKeyIndex.Holds(keyIndex) && kKeySizeCode.Holds(sizeCode) &&
           kSetTransmit.Holds(setTransmit) && keyBytes >= WepKeyLength(sizeCode);
}

// The rate set of SetWL_DesiredRate that offers all twelve 802.11b/g rates (500 kbit/s
// units: 1, 2, 5.5, 6, 9, 11, 12, 18, 24, 36, 48, 54 Mbit/s), the rest 0.
inline constexpr std::array<std::uint8_t, kRateSetSize> kAllRates{2,  4,  11, 12, 18, 22,
                                                                  24, 36, 48, 72, 96, 108};
inline constexpr std::span<const std::uint8_t> kRates = std::span(kAllRates).first(12);

// The best rate of a SetWL_DesiredRate set in 500 kbit/s units, or 0 when the set is
// refused: a rate that is none of kRates, or no rate at all. Zero bytes are unused
// places; the top bit of a byte marks a basic rate.
constexpr int BestRate(std::span<const std::uint8_t> rates)
{
    int best = 0;
    for (const std::uint8_t raw : rates) {
        const int rate = raw & 0x7F;
        if (raw == 0)
            continue;
        if (std::find(kRates.begin(), kRates.end(), rate) == kRates.end())
            return 0;
        best = std::max(best, rate);
    }
    return best;
}

// The centre frequency of a 2.4 GHz channel in MHz; 0 for a number that is no such
// channel (1..14).
constexpr int FrequencyOfChannel(int channel)
{
    if (channel == 14)
        return 2484;
    if (channel >= 1 && channel <= 13)
        return 2412 + 5 * (channel - 1);
    return 0;
}

// SetWLAP_FilterList: the whole block, every record's present flag 0 or 1.
constexpr bool StationListUsable(std::span<const std::uint8_t> block)
{
    if (block.size() < kStationListSize)
        return false;
    for (std::size_t at = 0; at < kStationListSize; at += 7)
        if (block[at] > 1)
            return false;
    return true;
}

// ReadOid's statistics request: the buffer states its own length and the counters it
// asks for in its first two words; the counters follow them.
inline constexpr std::uint32_t kStatisticsRequestCount = 9;
inline constexpr std::size_t kStatisticsCountersAt = 8;

inline bool StatisticsRequest(std::uint32_t oid, std::span<const std::uint8_t> buffer)
{
    return oid == kOidStatistics && buffer.size() >= kStatisticsBufferSize &&
           ReadLe32(buffer) == kStatisticsBufferSize &&
           ReadLe32(buffer.subspan(4)) == kStatisticsRequestCount;
}

} // namespace kesto::wlan_args
