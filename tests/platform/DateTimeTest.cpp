#include "platform/DateTime.h"

#include "UnderLocale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DateTime, EncodeDateMatchesDayCountsSinceEpoch)
{
    // Day counts since 30 December 1899, computed independently.
    struct Case {
        int year, month, day;
        double value;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},     {1970, 1, 1, 25569},       {2000, 1, 1, 36526},  {2024, 2, 29, 45351},
        {2024, 10, 31, 45596}, {2026, 12, 8, 46364},      {1, 1, 1, -693593},   {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.value) << c.year << '-' << c.month << '-' << c.day;
        const DateTimeParts parts = DecodeDateTime(c.value);
        EXPECT_EQ(parts.year, c.year);
        EXPECT_EQ(parts.month, c.month);
        EXPECT_EQ(parts.day, c.day);
    }
}

TEST(DateTime, InvalidDatesAndTimesAreRefused)
{
    struct Case {
        int year, month, day;
    };
    const Case dates[] = {{2024, 0, 8}, {2024, 13, 1}, {2024, 2, 30}, {2023, 2, 29}, {2024, 4, 31},
                          {2024, 1, 0}, {2024, 1, 32}, {0, 1, 1},     {10000, 1, 1}, {2100, 2, 29}};
    for (const auto& c : dates) {
        DateTimeValue value = 7;
        EXPECT_FALSE(TryEncodeDate(c.year, c.month, c.day, value)) << c.year << '-' << c.month << '-' << c.day;
        EXPECT_EQ(value, 7);
        EXPECT_THROW(EncodeDate(c.year, c.month, c.day), EConvertError);
    }
    DateTimeValue value = 0;
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, value));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, value));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, value));
    EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, value));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, value));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, value));
    try {
        EncodeDate(2026, 0, 8);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Некорректная дата 08.00.2026");
    }
}

TEST(DateTime, TimeOfDayIsTheFraction)
{
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    const DateTimeParts parts = DecodeDateTime(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 999));
    EXPECT_EQ(parts.day, 29);
    EXPECT_EQ(parts.hour, 23);
    EXPECT_EQ(parts.minute, 59);
    EXPECT_EQ(parts.second, 59);
    EXPECT_EQ(parts.millisecond, 999);
}

class FormatDateTimeUnderLocale : public testsupport::UnderLocale {};

TEST_P(FormatDateTimeUnderLocale, Patterns)
{
    const DateTimeValue value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
    struct Case {
        const char* pattern;
        const char* text;
    };
    const Case cases[] = {
        {"dd'/'mm'/'yy hh:nn:ss", "05/03/24 14:07:09"},
        {"dd'.'mm'.'yy", "05.03.24"},
        {"d/m/yyyy h:n:s.zzz", "5/3/2024 14:7:9.045"},
        {"dd/mm/yy", "05/03/24"},
        {"\"at\" hh", "at 14"},
        {"'unclosed", "unclosed"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.pattern, value), c.text) << c.pattern;
    EXPECT_EQ(FormatDateTime("dd'/'mm'/'yy hh:nn:ss", 0), "30/12/99 00:00:00");
}

DAX_INSTANTIATE_UNDER_LOCALES(FormatDateTimeUnderLocale);

} // namespace
