// EventLoopProbe: how late the tray process's event loop gets round to a timer, for the
// event-loop stall benchmark (bench/event_loop_stall.cpp). With KESTO_STALL_PROBE=FILE in
// the environment, a precise timer ticks every 5 ms; each tick that comes 2 ms or more
// after its due time is noted, and when the program ends the notes go to FILE, one line
// each: the tick's steady-clock time and how late it came, both in milliseconds
// ("123456.7 2004.3"; the steady clock is CLOCK_MONOTONIC, so another program can tell
// which of its own steps a stall fell into). The longest stall also goes to stderr.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <utility>
#include <vector>

namespace kesto {

class EventLoopProbe : public QObject {
public:
    // Starts ticking when file is not empty; does nothing otherwise.
    explicit EventLoopProbe(QString file);
    ~EventLoopProbe() override;
    EventLoopProbe(const EventLoopProbe&) = delete;
    EventLoopProbe& operator=(const EventLoopProbe&) = delete;

private:
    void Tick();

    QString m_file;
    QTimer m_timer;
    QElapsedTimer m_last;
    std::vector<std::pair<double, double>> m_late; // steady ms, late ms
};

} // namespace kesto
