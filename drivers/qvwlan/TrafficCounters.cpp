// Counter growth and the statistics block.
#include "drivers/qvwlan/TrafficCounters.h"

namespace kesto::qvwlan {
namespace {

// One byte in ten travels in group-addressed (multicast and broadcast) frames.
constexpr std::uint64_t kGroupShare = 10;

std::uint32_t Low32(std::uint64_t v)
{
    return static_cast<std::uint32_t>(v);
}

} // namespace

TrafficCounters::TrafficCounters(const TrafficProfile& start)
    : m_txBytes(start.startTxBytes), m_rxBytes(start.startRxBytes), m_txFrames(start.startTxFrames),
      m_rxFrames(start.startRxFrames)
{
}

void TrafficCounters::add(const TrafficProfile& rates, std::uint32_t ms)
{
    auto grow = [&](std::uint32_t bytesPerSecond, std::uint64_t& bytes, std::uint64_t& byteRest,
                    std::uint64_t& frames, std::uint64_t& frameRest, std::uint64_t& group) {
        byteRest += static_cast<std::uint64_t>(bytesPerSecond) * ms;
        const std::uint64_t added = byteRest / 1000;
        byteRest %= 1000;
        // Each new byte goes to the group share or the unicast share, never both, so the
        // two counters always add up to the total.
        const std::uint64_t groupAdded = (bytes + added) / kGroupShare - bytes / kGroupShare;
        group += groupAdded;
        bytes += added;
        frameRest += added;
        frames += frameRest / rates.bytesPerFrame;
        frameRest %= rates.bytesPerFrame;
    };
    grow(rates.txBytesPerSecond, m_txBytes, m_txByteRest, m_txFrames, m_txFrameRest,
         m_txGroupBytes);
    grow(rates.rxBytesPerSecond, m_rxBytes, m_rxByteRest, m_rxFrames, m_rxFrameRest,
         m_rxGroupBytes);
}

std::array<std::uint32_t, TrafficCounters::kCount> TrafficCounters::block() const
{
    std::array<std::uint32_t, kCount> c{};
    c[TxFrames] = Low32(m_txFrames);
    c[RxFrames] = Low32(m_rxFrames);
    c[TxUnicastBytes] = Low32(m_txBytes - m_txGroupBytes);
    c[TxGroupBytes] = Low32(m_txGroupBytes);
    c[TxGroupFrames] = Low32(m_txFrames / 10);
    c[TxFailed] = Low32(m_txFrames / 200);
    c[TxRetried] = Low32(m_txFrames / 20);
    c[TxRetriedMore] = Low32(m_txFrames / 100);
    c[RtsSuccess] = 0; // frames stay below the RTS threshold
    c[RtsFailure] = 0;
    c[AckFailure] = Low32(m_txFrames / 200);
    c[RxDuplicates] = Low32(m_rxFrames / 500);
    c[RxGroupFrames] = Low32(m_rxFrames / 10);
    c[RxFcsErrors] = Low32(m_rxFrames / 300);
    c[RxUndecryptable] = 0;
    c[RxUnicastBytes] = Low32(m_rxBytes - m_rxGroupBytes);
    c[RxGroupBytes] = Low32(m_rxGroupBytes);
    c[RxErrors] = Low32(m_rxFrames / 300);
    c[RxDropped] = 0;
    c[TxErrors] = Low32(m_txFrames / 200);
    return c;
}

} // namespace kesto::qvwlan
