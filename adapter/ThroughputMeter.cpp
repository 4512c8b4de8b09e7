#include "adapter/ThroughputMeter.h"

namespace kesto {

namespace {

// Header words of the statistics request: the buffer's size and the request version.
constexpr std::uint32_t kStatisticsRequestVersion = 9;
constexpr std::size_t kFirstCounterOffset = 8;

void PutWord(std::span<std::uint8_t> buffer, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

ThroughputMeter::ThroughputMeter(WlanApi& api, Clock& clock) : m_api(api), m_clock(clock) {}

bool ThroughputMeter::ReadBlock()
{
    PutWord(m_block, 0, static_cast<std::uint32_t>(kStatisticsBufferSize));
    PutWord(m_block, 4, kStatisticsRequestVersion);
    return m_api.ReadOid(kOidStatistics, m_block) == 0;
}

std::uint32_t ThroughputMeter::Counter(std::size_t index) const
{
    const std::size_t offset = kFirstCounterOffset + 4 * index;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(m_block[offset + i]) << (8 * i);
    return value;
}

std::array<std::uint32_t, kStatisticsCounterCount> ThroughputMeter::Counters() const
{
    std::array<std::uint32_t, kStatisticsCounterCount> counters{};
    for (std::size_t i = 0; i < counters.size(); ++i)
        counters[i] = Counter(i);
    return counters;
}

std::uint32_t ThroughputMeter::TxTotal() const
{
    return Counter(kTxUnicastBytesCounter) + Counter(kTxGroupBytesCounter);
}

std::uint32_t ThroughputMeter::RxTotal() const
{
    return Counter(kRxUnicastBytesCounter) + Counter(kRxGroupBytesCounter);
}

void ThroughputMeter::TakeBaseline()
{
    ReadBlock();
    m_lastTick = m_clock.TickCount();
    m_lastTx = TxTotal();
    m_lastRx = RxTotal();
}

ThroughputSample ThroughputMeter::Measure()
{
    ThroughputSample sample;
    sample.readOk = ReadBlock();
    const std::uint32_t now = m_clock.TickCount();
    const std::uint32_t tx = TxTotal();
    const std::uint32_t rx = RxTotal();
    sample.elapsedMs = now - m_lastTick;
    sample.txBytes = tx - m_lastTx;
    sample.rxBytes = rx - m_lastRx;
    m_lastTick = now;
    m_lastTx = tx;
    m_lastRx = rx;
    return sample;
}

} // namespace kesto
