// A clock whose time moves only when a test advances it, and the one-shot steps that run
// as it does: Advance moves the time to each step's due moment in turn and runs it there,
// in due order (steps due together in the order they were started), so a test runs the
// program's pauses at once and always in the same order.
#pragma once

#include "platform/Clock.h"
#include "platform/OneShotTimers.h"

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace kesto::test {

class FakeClock : public Clock, public OneShotTimers {
public:
    explicit FakeClock(std::uint32_t startTick = 100000) : m_start(startTick) {}

    std::uint32_t TickCount() override { return m_start + static_cast<std::uint32_t>(m_elapsed); }
    LocalTime Now() override;

    Id Start(std::uint32_t ms, std::function<void()> step) override;
    void Cancel(Id id) override;

    // Moves the time ms forward, running every step that falls due on the way (also the
    // ones those start).
    void Advance(std::uint32_t ms);
    // Runs the steps waiting and every step they start, moving the time as far as they
    // need; stops at the limit (a program that never stops waiting fails the test there
    // instead of hanging). Returns the milliseconds it moved.
    std::uint32_t Settle(std::uint32_t limitMs = 600000);
    void SetLocalTime(const LocalTime& t)
    {
        m_localAtStart = t;
        m_localBaseTick = TickCount();
    }
    // The pause of every step started so far, in order.
    const std::vector<std::uint32_t>& pauses() const { return m_pauses; }

private:
    struct Due {
        std::uint64_t at = 0; // m_elapsed when it runs
        Id id = 0;            // ids grow: the earlier start first among equal at
        bool operator<(const Due& other) const
        {
            return std::pair(at, id) < std::pair(other.at, other.id);
        }
    };

    // Runs the first step due by `until` (m_elapsed moved to its moment); false when none.
    bool RunNext(std::uint64_t until);

    std::uint32_t m_start;
    std::uint64_t m_elapsed = 0;
    std::uint32_t m_localBaseTick = 0;
    LocalTime m_localAtStart{2026, 12, 7, 9, 30, 0};
    Id m_lastId = 0;
    std::map<Due, std::function<void()>> m_steps;
    std::vector<std::uint32_t> m_pauses;
};

} // namespace kesto::test
