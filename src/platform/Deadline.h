#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// A moment on the steady clock by which a wait must end. The time left is rounded up to whole
// milliseconds, so a poll given RemainingMs() never returns before the moment: a wait that woke
// a little early would only go round again and spin.
class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(Clock::time_point at) : at_(at) {}

    // Now plus the duration (a negative one counts as none).
    static Deadline After(std::chrono::milliseconds duration);
    // So far ahead that it never passes.
    static Deadline Never();

    Clock::time_point When() const { return at_; }
    bool Passed() const { return Clock::now() >= at_; }
    // What poll takes: the milliseconds left, rounded up, 0 once passed, at most INT32_MAX.
    int32_t RemainingMs() const;
    // The earlier of the two.
    Deadline Earlier(const Deadline& other) const { return at_ <= other.at_ ? *this : other; }

private:
    Clock::time_point at_;
};

} // namespace platform
