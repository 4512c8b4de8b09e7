// MonitorTimers: the three timers that keep the station status page current (link
// status, signal, throughput). They run only while that page is shown; every step
// that shows or leaves it starts or stops the three together through this one helper.
#pragma once

#include "pages/MainWindowIds.h"
#include "platform/Timers.h"

#include <cstdint>

namespace kesto {

class MonitorTimers {
public:
    explicit MonitorTimers(Timers& timers) : m_timers(timers) {}

    // Link status after linkStatusFirstMs (300 ms when the page was just shown, 1500 ms
    // after the adapter came back), signal after 1000 ms, throughput after 300 ms.
    void Start(std::uint32_t linkStatusFirstMs = 300)
    {
        m_timers.SetTimer(kTimerLinkStatus, linkStatusFirstMs);
        m_timers.SetTimer(kTimerSignal, 1000);
        m_timers.SetTimer(kTimerThroughput, 300);
    }
    void Stop()
    {
        m_timers.KillTimer(kTimerSignal);
        m_timers.KillTimer(kTimerLinkStatus);
        m_timers.KillTimer(kTimerThroughput);
    }

private:
    Timers& m_timers;
};

} // namespace kesto
