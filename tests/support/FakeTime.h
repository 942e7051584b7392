#pragma once

#include "platform/Clock.h"

#include <chrono>
#include <mutex>
#include <vector>

namespace testsupport {

// A clock that stands still until the test moves it.
class ManualClock : public platform::Clock {
public:
    std::chrono::system_clock::time_point UtcNow() const override
    {
        std::lock_guard lock(mutex_);
        return utc_;
    }
    std::chrono::steady_clock::time_point SteadyNow() const override
    {
        std::lock_guard lock(mutex_);
        return steady_;
    }
    void SetUtc(std::chrono::system_clock::time_point utc)
    {
        std::lock_guard lock(mutex_);
        utc_ = utc;
    }
    void Advance(std::chrono::milliseconds step)
    {
        std::lock_guard lock(mutex_);
        utc_ += step;
        steady_ += step;
    }

private:
    mutable std::mutex mutex_;
    std::chrono::system_clock::time_point utc_{};
    std::chrono::steady_clock::time_point steady_{};
};

// A pacer that returns at once, remembers every pause and moves a ManualClock on by it.
class RecordingPacer : public platform::Pacer {
public:
    explicit RecordingPacer(ManualClock* clock = nullptr) : clock_(clock) {}

    void Pause(std::chrono::milliseconds duration) override
    {
        {
            std::lock_guard lock(mutex_);
            pauses_.push_back(duration);
        }
        if (clock_)
            clock_->Advance(duration);
    }
    std::vector<std::chrono::milliseconds> Pauses() const
    {
        std::lock_guard lock(mutex_);
        return pauses_;
    }

private:
    ManualClock* clock_;
    mutable std::mutex mutex_;
    std::vector<std::chrono::milliseconds> pauses_;
};

} // namespace testsupport
