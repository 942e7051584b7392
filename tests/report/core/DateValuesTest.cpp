// Date values (days since 30 December 1899) and QDate, against the platform's own encoder.

#include "report/core/DateValues.h"

#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct DateCase {
    const char* Name;
    double Value;
    QDate Date;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.Name; }

class DateValueCases : public testing::TestWithParam<DateCase> {};

TEST_P(DateValueCases, ConvertsToTheCalendarDay)
{
    const DateCase& c = GetParam();
    EXPECT_EQ(DateValueToQDate(c.Value), c.Date);
}

INSTANTIATE_TEST_SUITE_P(
    Days, DateValueCases,
    testing::Values(DateCase{"DayZero", 0, QDate(1899, 12, 30)}, DateCase{"Widest", 100000, QDate(2173, 10, 14)},
                    DateCase{"FirstDemoDay", EncodeDate(2024, 3, 16), QDate(2024, 3, 16)},
                    DateCase{"TimeOfDayIsDropped", EncodeDate(2016, 12, 2) + 0.75, QDate(2016, 12, 2)},
                    DateCase{"BeforeDayZeroRoundsDown", -0.5, QDate(1899, 12, 29)},
                    DateCase{"LeapDay", EncodeDate(2024, 2, 29), QDate(2024, 2, 29)},
                    DateCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), QDate()},
                    DateCase{"FarBeyondAnyCalendar", 1e12, QDate()}),
    [](const testing::TestParamInfo<DateCase>& info) { return std::string(info.param.Name); });

TEST(DateValues, CalendarDaysRoundTrip)
{
    for (double value : {0.0, 1.0, 36526.0, EncodeDate(2024, 6, 14), 100000.0, -693593.0})
        EXPECT_EQ(QDateToDateValue(DateValueToQDate(value)), value) << value;
    EXPECT_EQ(QDateToDateValue(QDate(2016, 12, 2)), EncodeDate(2016, 12, 2));
    EXPECT_EQ(QDateToDateValue(QDate()), 0);
}

} // namespace
