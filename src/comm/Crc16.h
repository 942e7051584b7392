#pragma once

#include <cstdint>
#include <span>

// CRC-16/MODBUS (poly 0xA001 reflected, init 0xFFFF): ends every RTU frame and protects the
// relay packets. Placed in a frame low byte first.
uint16_t Crc16Modbus(std::span<const uint8_t> bytes);
uint16_t Crc16ModbusByte(uint16_t crc, uint8_t byte);

// CRC-16/CCITT-FALSE (poly 0x1021, init 0xFFFF, not reflected): protects each 256-byte
// archive record.
uint16_t Crc16Ccitt(std::span<const uint8_t> bytes);
