// TrafficCounters: the adapter's 20 statistics counters and its frame counts. They grow
// with the traffic of the scenario while a link carries it, as a function of simulated
// time, and wrap at 32 bits as the hardware's registers do.
#pragma once

#include "drivers/qvwlan/Scenario.h"

#include <array>
#include <cstdint>

namespace kesto::qvwlan {

class TrafficCounters {
public:
    // Counter positions in the statistics block (0-based; the block starts at byte 8 of
    // the statistics buffer, counter i at byte 8 + 4 i).
    enum Counter : std::size_t {
        TxFrames = 0,
        RxFrames = 1,
        TxUnicastBytes = 2,
        TxGroupBytes = 3,
        TxGroupFrames = 4,
        TxFailed = 5,
        TxRetried = 6,
        TxRetriedMore = 7,
        RtsSuccess = 8,
        RtsFailure = 9,
        AckFailure = 10,
        RxDuplicates = 11,
        RxGroupFrames = 12,
        RxFcsErrors = 13,
        RxUndecryptable = 14,
        RxUnicastBytes = 15,
        RxGroupBytes = 16,
        RxErrors = 17,
        RxDropped = 18,
        TxErrors = 19,
        kCount = 20,
    };

    // Power-up values from the profile's start fields.
    explicit TrafficCounters(const TrafficProfile& start);

    // Adds the traffic of ms milliseconds at the profile's rates.
    void add(const TrafficProfile& rates, std::uint32_t ms);

    std::array<std::uint32_t, kCount> block() const;
    std::uint32_t txFrames() const { return static_cast<std::uint32_t>(m_txFrames); }
    std::uint32_t rxFrames() const { return static_cast<std::uint32_t>(m_rxFrames); }

private:
    // Totals since power-up plus the start values, kept wide; reported modulo 2^32.
    std::uint64_t m_txBytes = 0;
    std::uint64_t m_rxBytes = 0;
    std::uint64_t m_txFrames = 0;
    std::uint64_t m_rxFrames = 0;
    // Fractions carried between additions so that many short steps add up to the
    // same totals as one long one: byte-milliseconds below one byte, and bytes below
    // one frame.
    std::uint64_t m_txByteRest = 0;
    std::uint64_t m_rxByteRest = 0;
    std::uint64_t m_txFrameRest = 0;
    std::uint64_t m_rxFrameRest = 0;
    // Group-addressed shares start at zero; only new traffic splits.
    std::uint64_t m_txGroupBytes = 0;
    std::uint64_t m_rxGroupBytes = 0;
};

} // namespace kesto::qvwlan
