#include "Modbus.h"

#include "Crc16.h"
#include "Texts.h"
#include "platform/ByteOrder.h"

#include <algorithm>

namespace modbus {

uint16_t RegisterAddress(uint16_t registerNumber)
{
    return static_cast<uint16_t>(registerNumber % 10000 - 1);
}

uint8_t ReadFunction(uint16_t registerNumber)
{
    return registerNumber / 10000 == 3 ? kReadInputRegisters : kReadHoldingRegisters;
}

} // namespace modbus

namespace {

// Registers and counts travel big-endian.
void PutBigEndian(std::span<uint8_t> frame, size_t offset, uint16_t value)
{
    platform::WriteBigEndian(frame, offset, value);
}

// Appends the CRC of the first `body` bytes, low byte first.
void PutCrc(std::span<uint8_t> frame, size_t body)
{
    platform::WriteLittleEndian(frame, body, Crc16Modbus(frame.first(body)));
}

bool Fits(std::span<uint8_t> buffer, size_t& length, size_t needed)
{
    length = needed;
    return needed <= buffer.size();
}

} // namespace

bool ModbusBuildReportSlaveId(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress)
{
    if (!Fits(buffer, length, 4))
        return false;
    buffer[0] = deviceAddress;
    buffer[1] = modbus::kReportSlaveId;
    PutCrc(buffer, 2);
    return true;
}

bool ModbusBuildReadRegisters(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress,
                              uint16_t registerNumber, int32_t count)
{
    if (count < 1) {
        length = 0;
        return false;
    }
    if (!Fits(buffer, length, 8))
        return false;
    buffer[0] = deviceAddress;
    buffer[1] = modbus::ReadFunction(registerNumber);
    PutBigEndian(buffer, 2, modbus::RegisterAddress(registerNumber));
    PutBigEndian(buffer, 4, static_cast<uint16_t>(count & 0xFFFF));
    PutCrc(buffer, 6);
    return true;
}

bool ModbusBuildWriteRegisters(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress,
                               std::span<const uint8_t> data, uint16_t firstRegister, uint16_t count)
{
    if (count < 1) {
        length = 0;
        return false;
    }
    const size_t dataBytes = size_t{2} * count;
    const size_t needed = 9 + dataBytes;
    length = needed;
    if (count > modbus::kMaxWriteRegisters || needed > buffer.size() || data.size() < dataBytes)
        return false;
    buffer[0] = deviceAddress;
    buffer[1] = modbus::kWriteMultipleRegisters;
    PutBigEndian(buffer, 2, modbus::RegisterAddress(firstRegister));
    PutBigEndian(buffer, 4, count);
    buffer[6] = static_cast<uint8_t>(dataBytes & 0xFF);
    std::copy_n(data.begin(), dataBytes, buffer.begin() + 7);
    PutCrc(buffer, 7 + dataBytes);
    return true;
}

bool ModbusBuildRequest(std::span<uint8_t> buffer, size_t& length, uint8_t deviceAddress, uint8_t function,
                        std::span<const uint8_t> data)
{
    if (data.size() > 0xFFFF) {
        length = 0;
        return false;
    }
    if (!Fits(buffer, length, 4 + data.size()))
        return false;
    buffer[0] = deviceAddress;
    buffer[1] = function;
    std::copy(data.begin(), data.end(), buffer.begin() + 2);
    PutCrc(buffer, 2 + data.size());
    return true;
}

std::string ModbusExceptionText(uint8_t code)
{
    const char* text = code < comm::kModbusExceptionTexts.size() ? comm::kModbusExceptionTexts[code] : nullptr;
    return text ? text : comm::kUnknownErrorText;
}
