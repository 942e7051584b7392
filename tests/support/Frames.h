#pragma once

#include "comm/Crc16.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A frame with its CRC-16/MODBUS appended, low byte first.
inline std::vector<uint8_t> WithCrc(std::vector<uint8_t> body)
{
    const uint16_t crc = Crc16Modbus(body);
    body.push_back(static_cast<uint8_t>(crc & 0xFF));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    return body;
}

// The last two bytes of a frame (its CRC) as an exchange log line writes them: "LL HH ".
inline std::string HexOfCrc(const std::vector<uint8_t>& frame)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = frame.size() - 2; i < frame.size(); ++i) {
        text += kDigits[frame[i] >> 4];
        text += kDigits[frame[i] & 0x0F];
        text += ' ';
    }
    return text;
}

// The 15-byte identification answer of an instrument at address 1: the six-character model
// text and the four version bytes (modification major, minor; software major, minor).
inline std::vector<uint8_t> IdentificationAnswer(const char* model, std::array<uint8_t, 4> version)
{
    std::vector<uint8_t> body(13);
    body[0] = 0x01;
    body[1] = 0x11;
    body[2] = 10;
    for (size_t i = 0; i < 6; ++i)
        body[3 + i] = static_cast<uint8_t>(model[i]);
    for (size_t i = 0; i < 4; ++i)
        body[9 + i] = version[i];
    return WithCrc(body);
}

} // namespace testsupport
