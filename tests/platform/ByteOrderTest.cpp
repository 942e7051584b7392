#include "platform/ByteOrder.h"

#include "Failures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::MessageOf;

const Bytes kBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x80, 0x3F};

TEST(ByteOrder, ReadsBothOrdersAtAnOffset)
{
    EXPECT_EQ(platform::ReadLittleEndian<uint8_t>(kBytes, 8), 0x80);
    EXPECT_EQ(platform::ReadLittleEndian<uint16_t>(kBytes, 0), 0x0201);
    EXPECT_EQ(platform::ReadBigEndian<uint16_t>(kBytes, 0), 0x0102);
    EXPECT_EQ(platform::ReadLittleEndian<uint32_t>(kBytes, 1), 0x05040302u);
    EXPECT_EQ(platform::ReadBigEndian<uint32_t>(kBytes, 1), 0x02030405u);
    EXPECT_EQ(platform::ReadLittleEndian<uint64_t>(kBytes, 0), 0x0807060504030201u);
    EXPECT_EQ(platform::ReadBigEndian<uint64_t>(kBytes, 0), 0x0102030405060708u);
    // Signed values keep their sign; 0x3F80 0000 is 1.0f, 0x8000 is -32768.
    EXPECT_EQ(platform::ReadBigEndian<int16_t>(kBytes, 8), static_cast<int16_t>(0x803F));
    EXPECT_EQ(platform::ReadLittleEndian<int16_t>(Bytes{0x00, 0x80}, 0), std::numeric_limits<int16_t>::min());
    EXPECT_EQ(platform::ReadLittleEndian<int32_t>(Bytes{0xFE, 0xFF, 0xFF, 0xFF}, 0), -2);
    EXPECT_EQ(platform::ReadLittleEndian<float>(Bytes{0x00, 0x00, 0x80, 0x3F}, 0), 1.0f);
    EXPECT_EQ(platform::ReadBigEndian<float>(Bytes{0xC0, 0x20, 0x00, 0x00}, 0), -2.5f);
    EXPECT_EQ(platform::ReadLittleEndian<double>(Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, 0), 1.0);
}

TEST(ByteOrder, WritesAndAppendsBothOrders)
{
    Bytes bytes(6, 0xEE);
    platform::WriteLittleEndian<uint16_t>(bytes, 1, 0xA1B2);
    platform::WriteBigEndian<uint16_t>(bytes, 3, 0xA1B2);
    EXPECT_EQ(bytes, (Bytes{0xEE, 0xB2, 0xA1, 0xA1, 0xB2, 0xEE}));
    Bytes out;
    platform::AppendLittleEndian<uint32_t>(out, 0x11223344);
    platform::AppendBigEndian<uint32_t>(out, 0x11223344);
    platform::AppendLittleEndian<float>(out, 1.0f);
    platform::AppendBigEndian<int16_t>(out, -2);
    EXPECT_EQ(out, (Bytes{0x44, 0x33, 0x22, 0x11, 0x11, 0x22, 0x33, 0x44, 0x00, 0x00, 0x80, 0x3F, 0xFF, 0xFE}));
}

TEST(ByteOrder, RoundTripsEveryWidth)
{
    std::array<uint8_t, 8> buffer{};
    const auto roundTrip = [&](auto value) {
        using T = decltype(value);
        platform::WriteLittleEndian<T>(buffer, 0, value);
        EXPECT_EQ(platform::ReadLittleEndian<T>(buffer, 0), value);
        platform::WriteBigEndian<T>(buffer, 8 - sizeof(T), value);
        EXPECT_EQ(platform::ReadBigEndian<T>(buffer, 8 - sizeof(T)), value);
    };
    roundTrip(uint8_t{0xA5});
    roundTrip(int16_t{-12345});
    roundTrip(uint32_t{0xDEADBEEF});
    roundTrip(int64_t{-1234567890123});
    roundTrip(-0.125f);
    roundTrip(6.02214076e23);
}

TEST(ByteOrder, FieldsOutsideTheBytesAreRefusedAndNothingIsWritten)
{
    const struct {
        size_t offset;
        size_t size;
        const char* text;
    } cases[] = {
        {9, 10, "Поле данных со смещением 9 и длиной 2 выходит за пределы данных длиной 10 байт"},
        {10, 10, "Поле данных со смещением 10 и длиной 2 выходит за пределы данных длиной 10 байт"},
        {0, 1, "Поле данных со смещением 0 и длиной 2 выходит за пределы данных длиной 1 байт"},
        {static_cast<size_t>(-1), 10,
         "Поле данных со смещением 18446744073709551615 и длиной 2 выходит за пределы данных длиной 10 байт"},
    };
    for (const auto& c : cases) {
        Bytes bytes(c.size, 0x55);
        EXPECT_EQ(MessageOf([&] { platform::ReadLittleEndian<uint16_t>(bytes, c.offset); }), c.text);
        EXPECT_EQ(MessageOf([&] { platform::WriteBigEndian<uint16_t>(bytes, c.offset, 0); }), c.text);
        EXPECT_EQ(bytes, Bytes(c.size, 0x55));
    }
    EXPECT_EQ(platform::ReadBigEndian<uint16_t>(kBytes, 8), 0x803F); // the last field that fits
}

} // namespace
