// Number, date and time texts under the C and the Russian settings, and their errors. Each
// table also runs under the C library's C and ru_RU.UTF-8 locales, which must change nothing.

#include "report/core/Conversions.h"

#include "platform/DateTime.h"

#include "UnderLocale.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const FormatSettings& C = FormatSettings::C();
const FormatSettings& Ru = FormatSettings::RuRu();

class Conversions : public testsupport::UnderLocale {};

TEST_P(Conversions, NumbersBothWays)
{
    EXPECT_EQ(FloatToStr(1.0 / 3, C), "0.333333333333333");
    EXPECT_EQ(FloatToStr(1.5, Ru), "1,5");
    EXPECT_EQ(FloatToStr(1e15, C), "1E15");
    EXPECT_EQ(StrToInt(u" 12 "), 12);
    EXPECT_EQ(StrToInt(u"$1F"), 31);
    EXPECT_EQ(StrToInt(u"-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt64(u"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToFloat(u"1.5E+2", C), 150);
    EXPECT_EQ(StrToFloat(u"1,5", Ru), 1.5);
    EXPECT_TRUE(StrToBool(u"TRUE", C));
    EXPECT_FALSE(StrToBool(u"false", C));
    EXPECT_TRUE(StrToBool(u"-5.5", C));
    EXPECT_FALSE(StrToBool(u"0", C));
}

TEST_P(Conversions, DatesBothWays)
{
    const double t = EncodeDate(2024, 3, 5) + EncodeTime(6, 5, 4, 0);
    EXPECT_EQ(DateToStr(t, C), "2024-03-05");
    EXPECT_EQ(TimeToStr(t, C), "06:05:04");
    EXPECT_EQ(DateTimeToStr(t, C), "2024-03-05 06:05:04");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5), C), "2024-03-05");
    EXPECT_EQ(DateToStr(t, Ru), "05.03.2024");
    EXPECT_EQ(TimeToStr(t, Ru), "6:05:04");
    EXPECT_EQ(StrToDate(u"2024-03-05", C), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"2024-3-5", C), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"24-03-05", C), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(u"99-03-05", C), EncodeDate(1999, 3, 5));
    EXPECT_EQ(StrToDate(u"05.03.2024", Ru), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToTime(u"12:30", C), 0.5 + 30.0 / 1440);
    EXPECT_EQ(StrToTime(u"1:02:03.5", C), EncodeTime(1, 2, 3, 5));
    EXPECT_EQ(StrToTime(u"2:00 PM", C), EncodeTime(14, 0, 0, 0));
    EXPECT_EQ(StrToTime(u"12:00 am", C), 0);
    EXPECT_EQ(StrToDateTime(u"2024-03-05 06:00:00", C), EncodeDate(2024, 3, 5) + 0.25);
    EXPECT_EQ(StrToDateTime(u"05.03.2024 6:00", Ru), EncodeDate(2024, 3, 5) + 0.25);
    // What is written reads back.
    EXPECT_EQ(StrToDateTime(DateTimeToStr(t, Ru), Ru), t);
    EXPECT_EQ(StrToDateTime(DateTimeToStr(t, C), C), t);
}

TEST_P(Conversions, ErrorsInTheLibrarysWords)
{
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[] { StrToInt(u"abc"); }, "\"abc\" is an invalid integer"},
        {[] { StrToInt(u"1.5"); }, "\"1.5\" is an invalid integer"},
        {[] { StrToInt(u"2147483648"); }, "\"2147483648\" is an invalid integer"},
        {[] { StrToInt(u""); }, "\"\" is an invalid integer"},
        {[] { StrToInt64(u"9223372036854775808"); }, "\"9223372036854775808\" is an invalid integer"},
        {[] { StrToFloat(u"1,5", C); }, "\"1,5\" is an invalid float"},
        {[] { StrToFloat(u"1.5", Ru); }, "\"1.5\" is an invalid float"},
        {[] { StrToFloat(u"", C); }, "\"\" is an invalid float"},
        {[] { StrToFloat(u"1e400", C); }, "\"1e400\" is an invalid float"},
        {[] { StrToBool(u"yes", C); }, "\"yes\" is not a valid boolean."},
        {[] { StrToDate(u"abc", C); }, "\"abc\" is not a valid date format"},
        {[] { StrToDate(u"2024/03/05", C); }, "\"2024/03/05\" is not a valid date format"},
        {[] { StrToDate(u"2024-03", C); }, "\"2024-03\" is not a valid date format"},
        {[] { StrToDate(u"2023-02-29", C); }, "\"2023-02-29\" is not a valid date"},
        {[] { StrToDate(u"2024-03-05x", C); }, "\"2024-03-05x\" is not a valid date format"},
        {[] { StrToTime(u"abc", C); }, "\"abc\" is not a valid time"},
        {[] { StrToTime(u"25:00:00", C); }, "\"25:00:00\" is not a valid time"},
        {[] { StrToTime(u"13:00 PM", C); }, "\"13:00 PM\" is not a valid time"},
        {[] { StrToDateTime(u"2024-03-05 25:00", C); }, "\"25:00\" is not a valid time"},
        {[] { StrToDateTime(u"abc", C); }, "\"abc\" is not a valid date format"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            c.call();
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(Conversions);

} // namespace
