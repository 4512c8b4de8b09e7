// MonitorTimers: the three timers that keep the station status page current (link
// status, signal, throughput). They run only while that page is shown; every step
// that shows or leaves it starts or stops the three together through this one helper,
// which also tells the monitor, so a tick still part-way through its pauses is dropped
// rather than finishing (and re-arming its timer) after the timers were set anew.
#pragma once

#include "pages/MainWindowIds.h"
#include "platform/Timers.h"

#include <cstdint>
#include <functional>
#include <utility>

namespace kesto {

class MonitorTimers {
public:
    explicit MonitorTimers(Timers& timers) : m_timers(timers) {}

    // Link status after linkStatusFirstMs (300 ms when the page was just shown, 1500 ms
    // after the adapter came back), signal after 1000 ms, throughput after 300 ms.
    void Start(std::uint32_t linkStatusFirstMs = 300)
    {
        m_running = true;
        Reset();
        m_timers.SetTimer(kTimerLinkStatus, linkStatusFirstMs);
        m_timers.SetTimer(kTimerSignal, 1000);
        m_timers.SetTimer(kTimerThroughput, 300);
    }
    void Stop()
    {
        m_running = false;
        Reset();
        m_timers.KillTimer(kTimerSignal);
        m_timers.KillTimer(kTimerLinkStatus);
        m_timers.KillTimer(kTimerThroughput);
    }

    // The three were started and not stopped since.
    bool running() const { return m_running; }

    // Told each time the three are started or stopped.
    void SetResetObserver(std::function<void()> observer) { m_observer = std::move(observer); }

private:
    void Reset()
    {
        if (m_observer)
            m_observer();
    }

    Timers& m_timers;
    std::function<void()> m_observer;
    bool m_running = false;
};

} // namespace kesto
