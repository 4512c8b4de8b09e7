#include "tests/support/FakeClock.h"

namespace kesto::test {

void FakeClock::Sleep(std::uint32_t ms)
{
    m_sleeps.push_back(ms);
    m_tick += ms;
}

LocalTime FakeClock::Now()
{
    // Seconds since SetLocalTime, folded into the time of day (the date stays).
    LocalTime t = m_localAtStart;
    const std::uint32_t elapsed = (m_tick - m_localBaseTick) / 1000;
    const std::uint32_t daySeconds =
        (static_cast<std::uint32_t>(t.hour) * 3600 + static_cast<std::uint32_t>(t.minute) * 60 +
         static_cast<std::uint32_t>(t.second) + elapsed) %
        86400;
    t.hour = static_cast<int>(daySeconds / 3600);
    t.minute = static_cast<int>(daySeconds / 60 % 60);
    t.second = static_cast<int>(daySeconds % 60);
    return t;
}

} // namespace kesto::test
