// The Clock port over Qt's monotonic timer and the local time of day.
#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

namespace kesto {

class QtClock final : public Clock {
public:
    QtClock();

    std::uint32_t TickCount() override;
    LocalTime Now() override;

private:
    QElapsedTimer m_started;
};

} // namespace kesto
