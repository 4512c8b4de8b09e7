#include "tests/support/FakeClock.h"

#include <algorithm>
#include <iterator>

namespace kesto::test {

LocalTime FakeClock::Now()
{
    // Seconds since SetLocalTime, folded into the time of day (the date stays).
    LocalTime t = m_localAtStart;
    const std::uint32_t elapsed = (TickCount() - m_localBaseTick) / 1000;
    const std::uint32_t daySeconds =
        (static_cast<std::uint32_t>(t.hour) * 3600 + static_cast<std::uint32_t>(t.minute) * 60 +
         static_cast<std::uint32_t>(t.second) + elapsed) %
        86400;
    t.hour = static_cast<int>(daySeconds / 3600);
    t.minute = static_cast<int>(daySeconds / 60 % 60);
    t.second = static_cast<int>(daySeconds % 60);
    return t;
}

OneShotTimers::Id FakeClock::Start(std::uint32_t ms, std::function<void()> step)
{
    const Id id = ++m_lastId;
    m_steps.emplace(Due{m_elapsed + ms, id}, std::move(step));
    m_pauses.push_back(ms);
    return id;
}

void FakeClock::Cancel(Id id)
{
    std::erase_if(m_steps, [id](const auto& entry) { return entry.first.id == id; });
}

bool FakeClock::RunNext(std::uint64_t until)
{
    if (m_steps.empty() || m_steps.begin()->first.at > until)
        return false;
    auto first = m_steps.begin();
    m_elapsed = std::max(m_elapsed, first->first.at);
    std::function<void()> step = std::move(first->second);
    m_steps.erase(first);
    step();
    return true;
}

void FakeClock::Advance(std::uint32_t ms)
{
    const std::uint64_t until = m_elapsed + ms;
    while (RunNext(until)) {
    }
    m_elapsed = until;
}

std::uint32_t FakeClock::Settle(std::uint32_t limitMs)
{
    const std::uint64_t from = m_elapsed;
    while (RunNext(from + limitMs)) {
    }
    return static_cast<std::uint32_t>(m_elapsed - from);
}

} // namespace kesto::test
