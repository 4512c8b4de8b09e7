// Clock port: the tick count and the local time of day. Nothing in the program sleeps:
// a pause between two steps is a one-shot (OneShotTimers.h).
#pragma once

#include <cstdint>

namespace kesto {

struct LocalTime {
    int year = 1970; // four digits
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
    bool operator==(const LocalTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start; wraps around after 2^32 ms, so callers
    // take differences as unsigned numbers.
    virtual std::uint32_t TickCount() = 0;
    virtual LocalTime Now() = 0;
};

} // namespace kesto
