#pragma once

#include "Frames.h"
#include "comm/GprsProtocol.h"

#include <cstdint>
#include <vector>

namespace testsupport {

// Relay waits shorter than the protocol's, so that a handshake failure takes a second or two,
// yet wide enough for answers that come late on a loaded two-core machine or under the
// sanitizers: an answer that is there waits only for itself, so only the failures get slower.
inline GprsTimings FastGprsTimings()
{
    GprsTimings timings;
    timings.connectMs = 1000;
    timings.answerMs = 400;
    timings.interByteMs = 200;
    timings.retryPauseMs = 5;
    timings.listConnectMs = 500;
    timings.listInterByteMs = 100;
    return timings;
}

} // namespace testsupport
