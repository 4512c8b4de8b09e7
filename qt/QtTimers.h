// The Timers port: one QTimer per timer id. Ticks reach the sink from whatever event
// loop runs, nested ones included (a message box, a menu, a modal dialog), as window
// timers do.
#pragma once

#include "platform/Timers.h"
#include "qt/EventGate.h"

#include <QTimer>

#include <map>
#include <memory>

namespace kesto {

class QtTimers final : public Timers {
public:
    explicit QtTimers(EventGate& gate) : m_gate(gate) {}
    ~QtTimers() override;
    QtTimers(const QtTimers&) = delete;
    QtTimers& operator=(const QtTimers&) = delete;

    void SetSink(TimerSink* sink) override { m_sink = sink; }
    void SetTimer(int id, std::uint32_t ms) override;
    void KillTimer(int id) override;

    // For tests: whether timer id runs, and its period.
    bool IsRunning(int id) const;
    int Interval(int id) const;

private:
    void Fire(int id);

    EventGate& m_gate;
    TimerSink* m_sink = nullptr;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
};

} // namespace kesto
