// Window timers that only tick when the test fires them.
#pragma once

#include "platform/Timers.h"

#include <map>

namespace kesto::test {

class FakeTimers : public Timers {
public:
    void SetSink(TimerSink* sink) override { m_sink = sink; }
    void SetTimer(int id, std::uint32_t ms) override { running[id] = ms; }
    void KillTimer(int id) override { running.erase(id); }

    // The period of timer id, or 0 when it is not running.
    std::uint32_t Period(int id) const
    {
        const auto it = running.find(id);
        return it == running.end() ? 0 : it->second;
    }
    // Delivers one tick of timer id, as the window's loop would (running or not).
    void Fire(int id)
    {
        if (m_sink)
            m_sink->OnTimer(id);
    }

    std::map<int, std::uint32_t> running;

private:
    TimerSink* m_sink = nullptr;
};

} // namespace kesto::test
