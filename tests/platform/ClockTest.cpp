#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(UtcTimeOfDay, SplitsAnInstantIntoUtcFields)
{
    using namespace std::chrono;
    const sys_days day = 2026y / December / 10d;
    const auto instant = day + 9h + 5min + 3s + 7ms;
    const auto t = platform::UtcTimeOfDay(instant);
    EXPECT_EQ(t.hours, 9);
    EXPECT_EQ(t.minutes, 5);
    EXPECT_EQ(t.seconds, 3);
    EXPECT_EQ(t.milliseconds, 7);

    const auto lastMillisecond = platform::UtcTimeOfDay(day + 23h + 59min + 59s + 999ms);
    EXPECT_EQ(lastMillisecond.hours, 23);
    EXPECT_EQ(lastMillisecond.milliseconds, 999);
}

TEST(UtcTimeOfDay, InstantsBeforeTheEpochStayInRange)
{
    using namespace std::chrono;
    const auto t = platform::UtcTimeOfDay(sys_days(1969y / December / 31d) + 23h + 30min);
    EXPECT_EQ(t.hours, 23);
    EXPECT_EQ(t.minutes, 30);
}

} // namespace
