// ThroughputMeter: the adapter's transmitted and received byte totals, read through the
// statistics request, and how far they moved since the last reading. The link monitor
// and the chart window each keep their own meter, so each measures its own interval.
#pragma once

#include "adapter/WlanApi.h"
#include "platform/Clock.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace kesto {

// Counter positions (0-based) in the statistics block whose sums are the byte totals.
inline constexpr std::size_t kTxUnicastBytesCounter = 2;
inline constexpr std::size_t kTxGroupBytesCounter = 3;
inline constexpr std::size_t kRxUnicastBytesCounter = 15;
inline constexpr std::size_t kRxGroupBytesCounter = 16;
inline constexpr std::size_t kStatisticsCounterCount = 20;

// One measurement. The byte counts are differences of unsigned 32-bit totals, so a
// counter that restarted (or wrapped) gives a huge count rather than a negative one;
// callers turn implausible rates into 0.
struct ThroughputSample {
    bool readOk = false;         // false: the statistics request failed
    std::uint32_t elapsedMs = 0; // since the last reading, modulo 2^32
    std::uint32_t txBytes = 0;   // transmitted since the last reading, modulo 2^32
    std::uint32_t rxBytes = 0;   // received since the last reading, modulo 2^32
};

class ThroughputMeter {
public:
    ThroughputMeter(WlanApi& api, Clock& clock);

    // Reads the block and keeps the tick count and both totals as the start of the next
    // measurement.
    void TakeBaseline();
    // Reads the block and measures against the last reading, which it then replaces
    // (also after a failed read: the block then still holds the previous counters, so
    // that interval counts as no traffic).
    ThroughputSample Measure();

    // The 20 counters of the last successful read (zero before the first).
    std::array<std::uint32_t, kStatisticsCounterCount> Counters() const;
    std::uint32_t TxTotal() const;
    std::uint32_t RxTotal() const;

private:
    bool ReadBlock();
    std::uint32_t Counter(std::size_t index) const;

    WlanApi& m_api;
    Clock& m_clock;
    // The request's buffer: two header words, then the counters. The library leaves it
    // untouched when the request fails.
    std::array<std::uint8_t, kStatisticsBufferSize> m_block{};
    std::uint32_t m_lastTick = 0;
    std::uint32_t m_lastTx = 0;
    std::uint32_t m_lastRx = 0;
};

} // namespace kesto
