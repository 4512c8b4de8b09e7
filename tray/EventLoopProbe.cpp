#include "tray/EventLoopProbe.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

namespace kesto {

namespace {

constexpr int kPeriodMs = 5;
constexpr double kNotedLateMs = 2.0;

double SteadyMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

EventLoopProbe::EventLoopProbe(QString file) : m_file(std::move(file))
{
    if (m_file.isEmpty())
        return;
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kPeriodMs);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    m_last.start();
    m_timer.start();
}

EventLoopProbe::~EventLoopProbe()
{
    if (m_file.isEmpty())
        return;
    QFile out(m_file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::cerr << "kesto-utility: " << m_file.toStdString() << ": cannot be written\n";
        return;
    }
    double longest = 0;
    for (const auto& [at, late] : m_late) {
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%.1f %.1f\n", at, late);
        out.write(line, n);
        longest = std::max(longest, late);
    }
    std::cerr << "kesto-utility: longest event-loop stall " << longest << " ms\n";
}

void EventLoopProbe::Tick()
{
    const double late = static_cast<double>(m_last.nsecsElapsed()) / 1e6 - kPeriodMs;
    m_last.restart();
    if (late >= kNotedLateMs)
        m_late.emplace_back(SteadyMs(), late);
}

} // namespace kesto
