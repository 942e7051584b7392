#include "comm/Sysutil.h"

#include "UnderLocale.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

// Every case runs under the C locale and under a Russian one, whose decimal separator is a
// comma: the helpers must not notice the difference.
class SysutilUnderLocale : public testsupport::UnderLocale {};

TEST_P(SysutilUnderLocale, Durations)
{
    EXPECT_EQ(DurationToDaysText(1500), "1-сут 01:00");
    EXPECT_EQ(DurationToDaysText(0), "0-сут 00:00");
    // The day count wraps at 16 bits.
    EXPECT_EQ(DurationToDaysText(65536u * 1440 + 61), "0-сут 01:01");
    EXPECT_EQ(DurationToHoursText(1500), "25:00");
    EXPECT_EQ(DurationToHoursText(0), "00:00");
    EXPECT_EQ(DurationToHoursText(6000 * 60 + 5), "6000:05");
}

TEST_P(SysutilUnderLocale, BitTexts)
{
    struct Case {
        uint32_t value;
        uint8_t count;
        char first;
        const char* list;
        const char* mask;
    };
    const Case cases[] = {
        {0x205, 12, '1', "1,3,A", "1-3------A--"},
        {0, 4, '1', "", "----"},
        {0x3, 2, 'a', "a,b", "ab"},
        {0x80000000u, 32, '0', "V", "-------------------------------V"},
        {0x80000000u, 40, '0', "V", "-------------------------------V"}, // counts above 32 are clamped
        {0xFF, 0, '1', "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BitsToListText(c.value, c.count, static_cast<uint8_t>(c.first)), c.list) << c.value;
        EXPECT_EQ(BitsToMaskText(c.value, c.count, static_cast<uint8_t>(c.first)), c.mask) << c.value;
    }
}

TEST_P(SysutilUnderLocale, TextToFloat)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"3,25", 3.25}, {"3.25", 3.25}, {"", 0.0}, {"abc", 0.0}, {"  -1.5e2x", -150.0},
        {"+7", 7.0},    {".5", 0.5},    {"5.", 5.0}, {"1e", 1.0}, {"12,5 kg", 12.5},
        {"-", 0.0},     {"1,2,3", 1.2}, {"0x10", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(TextToFloat(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(TextToFloat("1e999")));
}

TEST_P(SysutilUnderLocale, TextToIntegers)
{
    EXPECT_EQ(TextToInt("   "), 0);
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt(" -42abc"), -42);
    EXPECT_EQ(TextToInt("+17"), 17);
    EXPECT_EQ(TextToInt("99999999999"), 2147483647);
    EXPECT_EQ(TextToInt("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(TextToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(TextToUInt("-1"), 4294967295u);
    EXPECT_EQ(TextToUInt("4294967295"), 4294967295u);
    EXPECT_EQ(TextToUInt("4294967296"), 4294967295u);
    EXPECT_EQ(TextToUInt("x"), 0u);
    EXPECT_EQ(TextToUInt("12.7"), 12u);
}

TEST_P(SysutilUnderLocale, TrimTrailingZeros)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {{"12.500", "12.5"}, {"12.000", "12"}, {"100", "100"}, {"0.0", "0"}, {"1,500", "1,500"}};
    for (const auto& c : cases) {
        std::string text = c.in;
        TrimTrailingZeros(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST_P(SysutilUnderLocale, SwapDecimalSeparator)
{
    std::string text = "1.5;2,5";
    SwapDecimalSeparator(text, ',');
    EXPECT_EQ(text, "1,5;2,5");
    SwapDecimalSeparator(text, '.');
    EXPECT_EQ(text, "1.5;2.5");
}

TEST_P(SysutilUnderLocale, Formatting)
{
    EXPECT_EQ(FormatText("%.3f", 1.5), "1.500");
    EXPECT_EQ(FormatFloat("%016.6f", 12.25), "000000012.250000");
    EXPECT_EQ(FormatFloat("%013.3f", -1.0), "-00000001.000");
    EXPECT_EQ(FormatFloat("%g%%", 0.5), "0.5%");
    EXPECT_EQ(FormatInt("%04X", 0xBEEF), "BEEF");
    EXPECT_EQ(FormatInt("%d шт.", -3), "-3 шт.");
    // Formats that would read a missing or mistyped argument give an empty text.
    const char* bad[] = {"%s", "%d %d", "no conversion", "%", "%*d", "%f", "%ld", "%n"};
    for (const char* format : bad)
        EXPECT_EQ(FormatInt(format, 1), "") << format;
    EXPECT_EQ(FormatFloat("%d", 1.0), "");
}

DAX_INSTANTIATE_UNDER_LOCALES(SysutilUnderLocale);

TEST(Sysutil, TextToFixedBuffer)
{
    std::array<uint8_t, 5> five;
    five.fill(0xEE);
    ASSERT_TRUE(TextToFixedBuffer("abc", five));
    EXPECT_EQ(five, (std::array<uint8_t, 5>{'a', 'b', 'c', 0, 0}));

    std::array<uint8_t, 2> two = {0xEE, 0xEE};
    EXPECT_FALSE(TextToFixedBuffer("abc", two));
    EXPECT_EQ(two, (std::array<uint8_t, 2>{0xEE, 0xEE}));

    std::array<uint8_t, 3> exact;
    ASSERT_TRUE(TextToFixedBuffer("xyz", exact));
    EXPECT_EQ(exact, (std::array<uint8_t, 3>{'x', 'y', 'z'}));
}

TEST(Sysutil, AllBytesEqual)
{
    const std::array<uint8_t, 3> ff = {0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(AllBytesEqual(ff, 0xFF));
    EXPECT_FALSE(AllBytesEqual(ff, 0x00));
    EXPECT_TRUE(AllBytesEqual({}, 0x00));
    const std::array<uint8_t, 3> mixed = {0xFF, 0x00, 0xFF};
    EXPECT_FALSE(AllBytesEqual(mixed, 0xFF));
}

} // namespace

namespace {

TEST(Sysutil, LinesOfAStoredList)
{
    EXPECT_EQ(TextToLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(TextToLines(""), std::vector<std::string>{});
    EXPECT_EQ(LinesToText({"a", "b"}), "a\r\nb\r\n");
    EXPECT_EQ(TextToLines(LinesToText({"10.0.0.1", "host"})), (std::vector<std::string>{"10.0.0.1", "host"}));
}

TEST(Sysutil, RememberRecentPutsTheEntryFirstOnceAndCapsTheList)
{
    std::vector<std::string> list = {"a.example", "B.EXAMPLE", "c.example"};
    RememberRecent(list, "b.example", 3);
    EXPECT_EQ(list, (std::vector<std::string>{"b.example", "a.example", "c.example"}));
    RememberRecent(list, "d.example", 3);
    EXPECT_EQ(list, (std::vector<std::string>{"d.example", "b.example", "a.example"}));
}

} // namespace
