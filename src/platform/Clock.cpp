#include "Clock.h"

#include <thread>

namespace platform {

namespace {

class SystemClock final : public Clock {
public:
    std::chrono::system_clock::time_point UtcNow() const override { return std::chrono::system_clock::now(); }
    std::chrono::steady_clock::time_point SteadyNow() const override { return std::chrono::steady_clock::now(); }
};

class SystemPacer final : public Pacer {
public:
    void Pause(std::chrono::milliseconds duration) override
    {
        if (duration.count() > 0)
            std::this_thread::sleep_for(duration);
    }
};

} // namespace

const Clock& Clock::System()
{
    static const SystemClock clock;
    return clock;
}

Pacer& Pacer::System()
{
    static SystemPacer pacer;
    return pacer;
}

TimeOfDay UtcTimeOfDay(std::chrono::system_clock::time_point instant)
{
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(instant.time_since_epoch());
    const auto day = floor<days>(sinceEpoch);
    const hh_mm_ss<milliseconds> time(sinceEpoch - day);
    return {static_cast<int32_t>(time.hours().count()), static_cast<int32_t>(time.minutes().count()),
            static_cast<int32_t>(time.seconds().count()), static_cast<int32_t>(time.subseconds().count())};
}

} // namespace platform
