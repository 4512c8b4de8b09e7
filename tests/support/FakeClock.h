// A clock whose time moves only when a test (or a Sleep) advances it.
#pragma once

#include "platform/Clock.h"

#include <vector>

namespace kesto::test {

class FakeClock : public Clock {
public:
    explicit FakeClock(std::uint32_t startTick = 100000) : m_tick(startTick) {}

    std::uint32_t TickCount() override { return m_tick; }
    // Advances the time at once and records the requested pause.
    void Sleep(std::uint32_t ms) override;
    LocalTime Now() override;

    void Advance(std::uint32_t ms) { m_tick += ms; }
    void SetLocalTime(const LocalTime& t)
    {
        m_localAtStart = t;
        m_localBaseTick = m_tick;
    }
    const std::vector<std::uint32_t>& sleeps() const { return m_sleeps; }

private:
    std::uint32_t m_tick;
    std::uint32_t m_localBaseTick = 0;
    LocalTime m_localAtStart{2026, 12, 7, 9, 30, 0};
    std::vector<std::uint32_t> m_sleeps;
};

} // namespace kesto::test
