// OneShotTimers port: a step that runs once, a given number of milliseconds from now, on
// the user-interface thread. The program never waits on that thread: where one step must
// follow another after a pause (a scan's results, an adapter settling into a mode), the
// rest of the work is a one-shot step, and the thread returns to its event loop
// meanwhile, so the tray icon, its menu, the window and every timer stay live.
// PendingStep below holds one such step and cancels it when dropped, so a step never
// runs into an object that is gone.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace kesto {

class OneShotTimers {
public:
    using Id = std::uint64_t; // 0 is no step

    virtual ~OneShotTimers() = default;

    // Runs step once, ms milliseconds from now (at least that long: 0 means the next
    // turn of the event loop), from whichever event loop runs then, nested ones included
    // (a message box, a menu, a modal dialog), as the window timers tick. Steps due at
    // the same moment run in the order they were started; one step runs at a time, and a
    // step may start others. Returns the step's id, never 0 and never reused. The
    // implementation lets go of step before running it, so step may cancel or start
    // steps freely.
    virtual Id Start(std::uint32_t ms, std::function<void()> step) = 0;
    // The step id will not run. Harmless when it has run, was cancelled or is 0.
    virtual void Cancel(Id id) = 0;
};

// At most one step waiting on a one-shot: starting another replaces it, and dropping the
// holder cancels it. The holder must live on the user-interface thread with its owner.
class PendingStep {
public:
    explicit PendingStep(OneShotTimers& timers) : m_timers(timers) {}
    ~PendingStep() { Cancel(); }
    PendingStep(const PendingStep&) = delete;
    PendingStep& operator=(const PendingStep&) = delete;

    // Runs step ms milliseconds from now in place of any step still waiting. While step
    // runs the holder is no longer pending, so step may start the next one.
    void Start(std::uint32_t ms, std::function<void()> step)
    {
        Cancel();
        m_id = m_timers.Start(ms, [this, step = std::move(step)] {
            m_id = 0;
            step();
        });
    }
    void Cancel() { m_timers.Cancel(std::exchange(m_id, 0)); }
    bool pending() const { return m_id != 0; }

private:
    OneShotTimers& m_timers;
    OneShotTimers::Id m_id = 0;
};

} // namespace kesto
