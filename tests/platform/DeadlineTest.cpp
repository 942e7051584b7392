#include "platform/Deadline.h"

#include <gtest/gtest.h>

#include <poll.h>

namespace {

using namespace std::chrono;
using platform::Deadline;

TEST(Deadline, APollGivenTheRemainingTimeNeverEndsEarly)
{
    // Deadlines a fraction of a millisecond away: rounding down would give poll 0 ms and end
    // the wait before the deadline.
    for (int i = 0; i < 50; ++i) {
        const Deadline deadline(Deadline::Clock::now() + microseconds(100 + 37 * i));
        while (!deadline.Passed())
            ::poll(nullptr, 0, deadline.RemainingMs());
        EXPECT_TRUE(deadline.Passed());
        EXPECT_EQ(deadline.RemainingMs(), 0);
    }
}

TEST(Deadline, RemainingTimeIsRoundedUpAndBounded)
{
    const Deadline soon(Deadline::Clock::now() + microseconds(1500));
    EXPECT_GE(soon.RemainingMs(), 1);
    EXPECT_LE(soon.RemainingMs(), 2);
    EXPECT_EQ(Deadline::After(milliseconds(-5)).RemainingMs(), 0);
    EXPECT_EQ(Deadline::Never().RemainingMs(), INT32_MAX);
    EXPECT_FALSE(Deadline::Never().Passed());
    EXPECT_TRUE(Deadline(Deadline::Clock::now() - seconds(1)).Passed());
}

TEST(Deadline, EarlierOfTwo)
{
    const Deadline near = Deadline::After(milliseconds(10));
    const Deadline far = Deadline::After(seconds(10));
    EXPECT_EQ(near.Earlier(far).When(), near.When());
    EXPECT_EQ(far.Earlier(near).When(), near.When());
}

} // namespace
