#include "Crc16.h"

#include <array>

namespace {

constexpr std::array<uint16_t, 256> MakeModbusTable()
{
    std::array<uint16_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr auto kModbusTable = MakeModbusTable();

} // namespace

uint16_t Crc16ModbusByte(uint16_t crc, uint8_t byte)
{
    return static_cast<uint16_t>(kModbusTable[(crc ^ byte) & 0xFF] ^ (crc >> 8));
}

uint16_t Crc16Modbus(std::span<const uint8_t> bytes)
{
    uint16_t crc = 0xFFFF;
    for (const uint8_t b : bytes)
        crc = Crc16ModbusByte(crc, b);
    return crc;
}

uint16_t Crc16Ccitt(std::span<const uint8_t> bytes)
{
    uint16_t crc = 0xFFFF;
    for (const uint8_t b : bytes) {
        crc = static_cast<uint16_t>(crc ^ (b << 8));
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
    }
    return crc;
}
