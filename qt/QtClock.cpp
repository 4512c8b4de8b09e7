#include "qt/QtClock.h"

#include <QDateTime>

namespace kesto {

QtClock::QtClock()
{
    m_started.start();
}

std::uint32_t QtClock::TickCount()
{
    // The low 32 bits: wraps like the system tick count callers expect.
    return static_cast<std::uint32_t>(static_cast<quint64>(m_started.elapsed()));
}

LocalTime QtClock::Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

} // namespace kesto
