// The OneShotTimers port: one single-shot precise QTimer per waiting step, so a step runs
// no earlier than asked. Steps run from whatever event loop runs, nested ones included,
// and count as handlers for the gate, as window timer ticks do.
#pragma once

#include "platform/OneShotTimers.h"
#include "qt/EventGate.h"

#include <QTimer>

#include <map>
#include <memory>

namespace kesto {

class QtOneShotTimers final : public OneShotTimers {
public:
    explicit QtOneShotTimers(EventGate& gate) : m_gate(gate) {}
    ~QtOneShotTimers() override;
    QtOneShotTimers(const QtOneShotTimers&) = delete;
    QtOneShotTimers& operator=(const QtOneShotTimers&) = delete;

    Id Start(std::uint32_t ms, std::function<void()> step) override;
    void Cancel(Id id) override;

    // For tests: steps still waiting.
    std::size_t waiting() const { return m_waiting.size(); }

private:
    struct Waiting {
        std::unique_ptr<QTimer> timer;
        std::function<void()> step;
    };

    void Fire(Id id);

    EventGate& m_gate;
    Id m_lastId = 0;
    std::map<Id, Waiting> m_waiting;
};

} // namespace kesto
