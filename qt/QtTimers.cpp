#include "qt/QtTimers.h"

#include <algorithm>
#include <limits>

namespace kesto {

QtTimers::~QtTimers()
{
    for (auto& [id, timer] : m_timers)
        timer->stop();
}

void QtTimers::SetTimer(int id, std::uint32_t ms)
{
    auto& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] { Fire(id); });
    }
    const auto capped =
        std::min<std::uint32_t>(std::max<std::uint32_t>(ms, 1), std::numeric_limits<int>::max());
    // start() on a running timer restarts it: the next tick is ms from now.
    timer->start(static_cast<int>(capped));
}

void QtTimers::KillTimer(int id)
{
    if (const auto it = m_timers.find(id); it != m_timers.end())
        it->second->stop();
}

bool QtTimers::IsRunning(int id) const
{
    const auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

int QtTimers::Interval(int id) const
{
    const auto it = m_timers.find(id);
    return it == m_timers.end() ? 0 : it->second->interval();
}

void QtTimers::Fire(int id)
{
    if (!m_sink)
        return;
    EventGate::Scope scope(m_gate);
    m_sink->OnTimer(id);
}

} // namespace kesto
