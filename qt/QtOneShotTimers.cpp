#include "qt/QtOneShotTimers.h"

#include <algorithm>
#include <limits>

namespace kesto {

QtOneShotTimers::~QtOneShotTimers() = default;

OneShotTimers::Id QtOneShotTimers::Start(std::uint32_t ms, std::function<void()> step)
{
    const Id id = ++m_lastId;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] { Fire(id); });
    timer->start(static_cast<int>(std::min<std::uint32_t>(ms, std::numeric_limits<int>::max())));
    m_waiting.emplace(id, Waiting{std::move(timer), std::move(step)});
    return id;
}

void QtOneShotTimers::Cancel(Id id)
{
    const auto it = m_waiting.find(id);
    if (it == m_waiting.end())
        return;
    m_waiting.erase(it);
}

void QtOneShotTimers::Fire(Id id)
{
    const auto it = m_waiting.find(id);
    if (it == m_waiting.end())
        return;
    std::function<void()> step = std::move(it->second.step);
    // This is the timer's own timeout: it goes once control is back in the event loop.
    it->second.timer.release()->deleteLater();
    m_waiting.erase(it);
    EventGate::Scope scope(m_gate);
    step();
}

} // namespace kesto
