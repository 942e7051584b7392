#pragma once

#include "Frames.h"
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

} // namespace testsupport
