#include "Deadline.h"

#include <algorithm>

namespace platform {

Deadline Deadline::After(std::chrono::milliseconds duration)
{
    return Deadline(Clock::now() + std::max(duration, std::chrono::milliseconds(0)));
}

Deadline Deadline::Never()
{
    // Far enough for any wait, near enough that adding to it never overflows.
    return Deadline(Clock::now() + std::chrono::hours(24 * 365 * 100));
}

int32_t Deadline::RemainingMs() const
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(at_ - Clock::now()).count();
    return static_cast<int32_t>(std::clamp<int64_t>(left, 0, INT32_MAX));
}

} // namespace platform
