#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Wall time for log lines and steady time for time-outs. Code that measures or stamps
// time takes a Clock so that tests can run it on a clock they move themselves.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::system_clock::time_point UtcNow() const = 0;
    virtual std::chrono::steady_clock::time_point SteadyNow() const = 0;

    // The real clocks of the machine.
    static const Clock& System();
};

// Deliberate pauses (between retries, before a repeat). Tests replace it with one that
// records the pause and returns at once.
class Pacer {
public:
    virtual ~Pacer() = default;
    virtual void Pause(std::chrono::milliseconds duration) = 0;

    // Sleeps for real.
    static Pacer& System();
};

struct TimeOfDay {
    int32_t hours;
    int32_t minutes;
    int32_t seconds;
    int32_t milliseconds;
};

// Time of day in UTC of a wall-clock instant.
TimeOfDay UtcTimeOfDay(std::chrono::system_clock::time_point instant);

} // namespace platform
