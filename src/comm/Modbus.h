#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Modbus RTU request frames. Each builder writes into the caller's buffer and sets length:
// on success to the frame's length (and returns true); when the frame does not fit the
// buffer to the length it needs (and returns false, leaving the buffer untouched).
//
// A register number is five-digit: 3xxxx an input register (read with 0x04), anything else
// read with 0x03; the address in the frame is (number mod 10000) - 1.

namespace modbus {
constexpr uint8_t kReportSlaveId = 0x11;
constexpr uint8_t kReadHoldingRegisters = 0x03;
constexpr uint8_t kReadInputRegisters = 0x04;
constexpr uint8_t kWriteMultipleRegisters = 0x10;
constexpr uint8_t kReadArchivePage = 0x41;
constexpr size_t kMaxFrame = 255;             // the longest write frame that is sent
constexpr int32_t kMaxWriteRegisters = 123;   // 9 + 2 * 123 = 255 bytes

uint16_t RegisterAddress(uint16_t registerNumber);
uint8_t ReadFunction(uint16_t registerNumber);
} // namespace modbus

bool ModbusBuildReportSlaveId(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress);

// A count below 1 is not a valid request: false with length 0. Only the low 16 bits of a
// larger count are sent, as the instrument expects.
bool ModbusBuildReadRegisters(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress,
                              uint16_t registerNumber, int32_t count);

// data holds count registers, already big-endian. A count below 1 gives false with length 0;
// more than 123 registers gives false with the (too long) length the frame would need.
bool ModbusBuildWriteRegisters(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress,
                               std::span<const uint8_t> data, uint16_t firstRegister, uint16_t count);

// Address, function, data, CRC: 4 + data.size() bytes (data at most 65535 bytes).
bool ModbusBuildRequest(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress, uint8_t function,
                        std::span<const uint8_t> data);

// The text of an exception code of an exception answer.
std::string ModbusExceptionText(uint8_t code);

constexpr uint16_t Swap16(uint16_t value)
{
    return static_cast<uint16_t>((value << 8) | (value >> 8));
}
