#include "comm/Crc16.h"
#include "comm/Modbus.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::span<const uint8_t> Ascii(std::string_view text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(Crc16, PublishedCheckValues)
{
    EXPECT_EQ(Crc16Modbus(Ascii("123456789")), 0x4B37);
    EXPECT_EQ(Crc16Ccitt(Ascii("123456789")), 0x29B1);
    EXPECT_EQ(Crc16Modbus({}), 0xFFFF);
    EXPECT_EQ(Crc16Ccitt({}), 0xFFFF);
}

TEST(Crc16, ByteStepsAgreeWithTheWholeRun)
{
    uint16_t crc = 0xFFFF;
    for (const uint8_t b : Ascii("123456789"))
        crc = Crc16ModbusByte(crc, b);
    EXPECT_EQ(crc, 0x4B37);
}

TEST(Crc16, AFrameWithItsCrcAppendedChecksToZero)
{
    // The Modbus residue: the CRC over a frame including its own CRC is 0.
    const Bytes frame = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
    EXPECT_EQ(Crc16Modbus(frame), 0x0000);
}

struct ReadCase {
    const char* name;
    uint8_t address;
    uint16_t reg;
    int32_t count;
    Bytes frame;
};

TEST(ModbusBuild, ReadRegisterFrames)
{
    const ReadCase cases[] = {
        {"10 holding registers from 40001", 1, 40001, 10, {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD}},
        {"10 input registers from 30001", 1, 30001, 10, {0x01, 0x04, 0x00, 0x00, 0x00, 0x0A, 0x70, 0x0D}},
    };
    for (const auto& c : cases) {
        std::array<uint8_t, 512> buffer{};
        size_t length = 0;
        ASSERT_TRUE(ModbusBuildReadRegisters(buffer, length, c.address, c.reg, c.count)) << c.name;
        EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + length), c.frame) << c.name;
    }
}

TEST(ModbusBuild, RegisterNumbersToFunctionAndAddress)
{
    struct Case {
        uint16_t number;
        uint8_t function;
        uint16_t address;
    };
    const Case cases[] = {
        {30001, 0x04, 0}, {30481, 0x04, 480}, {40001, 0x03, 0}, {40596, 0x03, 595},
        {10001, 0x03, 0}, {40000, 0x03, 0xFFFF}, {30000, 0x04, 0xFFFF},
    };
    for (const auto& c : cases) {
        std::array<uint8_t, 8> buffer{};
        size_t length = 0;
        ASSERT_TRUE(ModbusBuildReadRegisters(buffer, length, 0, c.number, 1));
        EXPECT_EQ(buffer[1], c.function) << c.number;
        EXPECT_EQ(buffer[2] << 8 | buffer[3], c.address) << c.number;
    }
}

TEST(ModbusBuild, ReportSlaveIdFrame)
{
    std::array<uint8_t, 4> buffer{};
    size_t length = 0;
    ASSERT_TRUE(ModbusBuildReportSlaveId(buffer, length, 1));
    EXPECT_EQ(Bytes(buffer.begin(), buffer.end()), (Bytes{0x01, 0x11, 0xC0, 0x2C}));
}

TEST(ModbusBuild, CapacityRules)
{
    struct Case {
        const char* name;
        size_t capacity;
        int kind; // 0 read, 1 write 123, 2 write 124, 3 slave id, 4 request without data
        bool ok;
        size_t length;
    };
    const Case cases[] = {
        {"read into 7 bytes", 7, 0, false, 8},
        {"read into 8 bytes", 8, 0, true, 8},
        {"write of 123 registers", 512, 1, true, 255},
        {"write of 123 registers into 254 bytes", 254, 1, false, 255},
        {"write of 124 registers", 512, 2, false, 257},
        {"slave id into 3 bytes", 3, 3, false, 4},
        {"request without data", 4, 4, true, 4},
    };
    const Bytes data(2 * 124, 0x5A);
    for (const auto& c : cases) {
        Bytes buffer(c.capacity, 0xEE);
        size_t length = 0;
        bool ok = false;
        switch (c.kind) {
        case 0: ok = ModbusBuildReadRegisters(buffer, length, 1, 40001, 10); break;
        case 1: ok = ModbusBuildWriteRegisters(buffer, length, 1, data, 40001, 123); break;
        case 2: ok = ModbusBuildWriteRegisters(buffer, length, 1, data, 40001, 124); break;
        case 3: ok = ModbusBuildReportSlaveId(buffer, length, 1); break;
        case 4: ok = ModbusBuildRequest(buffer, length, 1, 0x41, {}); break;
        }
        EXPECT_EQ(ok, c.ok) << c.name;
        EXPECT_EQ(length, c.length) << c.name;
        if (!ok) {
            EXPECT_EQ(buffer, Bytes(c.capacity, 0xEE)) << c.name << ": the buffer must stay untouched";
        }
    }
}

TEST(ModbusBuild, CountsBelowOneAreNoRequest)
{
    Bytes buffer(512, 0xEE);
    for (const int32_t count : {0, -1}) {
        size_t length = 99;
        EXPECT_FALSE(ModbusBuildReadRegisters(buffer, length, 1, 40001, count));
        EXPECT_EQ(length, 0u);
    }
    size_t length = 99;
    EXPECT_FALSE(ModbusBuildWriteRegisters(buffer, length, 1, {}, 40001, 0));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(buffer, Bytes(512, 0xEE));
}

TEST(ModbusBuild, WriteFrameLayout)
{
    const Bytes data = {0x12, 0x34, 0xAB, 0xCD};
    std::array<uint8_t, 512> buffer{};
    size_t length = 0;
    ASSERT_TRUE(ModbusBuildWriteRegisters(buffer, length, 7, data, 40003, 2));
    ASSERT_EQ(length, 13u);
    const Bytes body = {0x07, 0x10, 0x00, 0x02, 0x00, 0x02, 0x04, 0x12, 0x34, 0xAB, 0xCD};
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 11), body);
    const uint16_t crc = Crc16Modbus(body);
    EXPECT_EQ(buffer[11], crc & 0xFF);
    EXPECT_EQ(buffer[12], crc >> 8);

    ASSERT_TRUE(ModbusBuildWriteRegisters(buffer, length, 1, Bytes(246, 0), 40001, 123));
    EXPECT_EQ(buffer[6], 246);
}

TEST(ModbusBuild, AnyFunctionRequest)
{
    const Bytes data = {0x00, 0x01, 0x02};
    std::array<uint8_t, 16> buffer{};
    size_t length = 0;
    ASSERT_TRUE(ModbusBuildRequest(buffer, length, 0, 0x41, data));
    ASSERT_EQ(length, 7u);
    EXPECT_EQ(Crc16Modbus(std::span(buffer.data(), length)), 0);
    EXPECT_EQ(buffer[1], 0x41);
    EXPECT_EQ(buffer[4], 0x02);
}

TEST(Modbus, ExceptionTexts)
{
    EXPECT_EQ(ModbusExceptionText(0), "Общая ошибка(без конкретизации причины)");
    EXPECT_EQ(ModbusExceptionText(1), "Недопустимый(неподдерживаемый) номер функции");
    EXPECT_EQ(ModbusExceptionText(2), "Недопустимый(неверный) номер регистра");
    EXPECT_EQ(ModbusExceptionText(3), "Недопустимое значение в поле данных");
    EXPECT_EQ(ModbusExceptionText(4), "Внутренняя ошибка прибора");
    EXPECT_EQ(ModbusExceptionText(6), "Устройство занято");
    EXPECT_EQ(ModbusExceptionText(7), "Доступ к регистру закрыт");
    for (const int code : {5, 8, 200, 255})
        EXPECT_EQ(ModbusExceptionText(static_cast<uint8_t>(code)), "Неизвестная ошибка") << code;
}

TEST(Modbus, Swap16)
{
    static_assert(Swap16(0x1234) == 0x3412);
    EXPECT_EQ(Swap16(0x00FF), 0xFF00);
}

} // namespace
