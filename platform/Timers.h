// Timers port: the periodic window timers of one owner window, selected by a small
// integer id. Ticks are delivered on the user-interface thread from the window's
// event loop, one handler at a time, so handlers never overlap.
#pragma once

#include <cstdint>

namespace kesto {

class TimerSink {
public:
    virtual ~TimerSink() = default;
    // Timer id has elapsed. The timer keeps running with its period until killed or
    // set again.
    virtual void OnTimer(int id) = 0;
};

class Timers {
public:
    virtual ~Timers() = default;

    // Where ticks go; nullptr stops them.
    virtual void SetSink(TimerSink* sink) = 0;
    // Starts timer id with a period of ms milliseconds (ms >= 1; 0 is taken as 1). A
    // running timer of that id is replaced: its next tick is ms from now. Ids are any
    // int; each owner window has its own Timers object and its own id space.
    virtual void SetTimer(int id, std::uint32_t ms) = 0;
    // Stops timer id; a tick already due is not delivered. Harmless when not running.
    virtual void KillTimer(int id) = 0;
};

} // namespace kesto
