#pragma once

#include "comm/Crc16.h"
#include "comm/GprsProtocol.h"

#include <cstdint>
#include <vector>

namespace testsupport {

// Relay waits short enough that every handshake failure takes well under a second.
inline GprsTimings FastGprsTimings()
{
    GprsTimings timings;
    timings.connectMs = 300;
    timings.answerMs = 50;
    timings.interByteMs = 20;
    timings.retryPauseMs = 5;
    timings.listConnectMs = 150;
    timings.listInterByteMs = 10;
    return timings;
}

// The frame with its CRC-16/MODBUS appended, low byte first.
inline std::vector<uint8_t> WithCrc(std::vector<uint8_t> frame)
{
    const uint16_t crc = Crc16Modbus(frame);
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

} // namespace testsupport
