#include "device/Daxutil.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace {

TEST(Daxutil, Scalings)
{
    struct Case {
        int32_t (*scale)(double);
        double value;
        int32_t expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {ScaleBy100, 21.5, 2150},
        {ScaleBy100, -0.005, -1},
        {ScaleBy100, 0.005, 1},
        {ScaleBy100, 0.0, 0},
        {ScaleBy100, -21.5, -2150},
        {ScaleBy100, -0.004, 0},
        {ScaleBy1000, 0.0005, 1},
        {ScaleBy1000, 1.234, 1234},
        {ScaleBy10000, 0.00005, 1},
        {ScaleBy10000, 0.1234, 1234},
        // Negative values round like positive ones, away from zero at the half.
        {ScaleBy1000, -0.0005, -1},
        {ScaleBy1000, -0.0015, -2},
        {ScaleBy1000, -0.0012, -1},
        {ScaleBy1000, -0.0004, 0},
        {ScaleBy10000, -0.00005, -1},
        {ScaleBy10000, -1.23456, -12346},
        // Products beyond 32 bits stay at the range's ends instead of converting out of range.
        {ScaleBy100, 1e12, std::numeric_limits<int32_t>::max()},
        {ScaleBy1000, -1e12, std::numeric_limits<int32_t>::min()},
        {ScaleBy10000, inf, std::numeric_limits<int32_t>::max()},
        {ScaleBy10000, -inf, std::numeric_limits<int32_t>::min()},
        {ScaleBy100, std::nan(""), 0},
        {ScaleBy100, 21474836.47, 2147483647},
        {ScaleBy100, -21474836.48, std::numeric_limits<int32_t>::min()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.scale(c.value), c.expected) << c.value;
}

TEST(Daxutil, JoinStringTable)
{
    const std::array<const char*, 3> table = {"A", "B", "C"};
    EXPECT_EQ(JoinStringTable(table, 3), "A\nB\nC");
    EXPECT_EQ(JoinStringTable(table, 1), "A");
    EXPECT_EQ(JoinStringTable(table, 0), "");
    EXPECT_EQ(JoinStringTable(table, -1), "");
    // A count beyond the table never reads past it.
    EXPECT_EQ(JoinStringTable(table, 10), "A\nB\nC");
    const std::array<const char*, 2> russian = {"Зимний", "Летний"};
    EXPECT_EQ(JoinStringTable(russian, 2), "Зимний\nЛетний");
}

TEST(Daxutil, DeviceDateToDateTime)
{
    const std::array<uint8_t, 3> december8 = {26, 12, 8};
    EXPECT_EQ(DeviceDateToDateTime(december8), 46364); // 8 December 2026, days since 30 December 1899
    const std::array<uint8_t, 3> october31 = {0x18, 0x0A, 0x1F};
    EXPECT_EQ(DeviceDateToDateTime(october31), 45596);
    const std::array<std::array<uint8_t, 3>, 5> invalid = {{{26, 0, 8}, {26, 13, 1}, {26, 1, 0}, {25, 2, 29}, {0xFF, 0xFF, 0xFF}}};
    for (const auto& bytes : invalid)
        EXPECT_THROW(DeviceDateToDateTime(bytes), EConvertError) << int{bytes[1]} << '/' << int{bytes[2]};
}

} // namespace

namespace {

TEST(Daxutil, DeviceDateTimeToDateTime)
{
    struct Case {
        std::array<uint8_t, 6> bytes;
        bool valid;
        double value;
        double dateOnly; // -1: left untouched
    };
    const double noon = 0.5;
    const Case cases[] = {
        {{24, 2, 29, 12, 0, 0}, true, 45351 + noon, 45351},
        {{24, 2, 29, 24, 0, 0}, false, 0, 45351},
        {{24, 2, 29, 0, 60, 0}, false, 0, 45351},
        {{24, 2, 30, 0, 0, 0}, false, 0, -1},
        {{0, 0, 0, 0, 0, 0}, false, 0, -1},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, false, 0, -1},
    };
    for (const auto& c : cases) {
        double value = 0;
        double dateOnly = -1;
        EXPECT_EQ(DeviceDateTimeToDateTime(c.bytes, value, &dateOnly), c.valid) << int{c.bytes[2]};
        EXPECT_DOUBLE_EQ(value, c.value);
        EXPECT_EQ(dateOnly, c.dateOnly);
    }
}

} // namespace
