#pragma once

#include "Servers.h"
#include "Simulator.h"

#include "GprsRelayServer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace daxsim {

// The instrument behind the fake GPRS relay server: every data packet's RTU frame goes to
// the simulated instrument (the relay addresses it as 0) with its fault switches applied, and
// its answer goes back in a packet with the request's sequence number. Each relay connection
// has its own thread; all share the one Simulator, which is safe for that.
//
// The instrument's pacing faults (delay, late answer, split gap, line speed) hold the answer
// back as a whole: a relay forwards an answer only once it has all of it. Stop cuts such a
// wait short, so stopping never waits for a long delay.
class RelayServer {
public:
    RelayServer(Simulator& simulator, daxrelay::RelayOptions options, std::string host, int32_t port);
    ~RelayServer();
    RelayServer(const RelayServer&) = delete;
    RelayServer& operator=(const RelayServer&) = delete;

    // Listens (port 0: the system picks a free one); throws platform::Exception.
    void Start();
    void Stop();
    int32_t Port() const { return relay_->Port(); }
    const std::string& Host() const { return host_; }
    // The relay's counters (handshakes, connections, packets) and the frames it forwarded.
    const daxrelay::GprsRelayServer& Relay() const { return *relay_; }

    // The answer to one forwarded frame, after its pacing; none for silence or when stopped.
    std::optional<std::vector<uint8_t>> Forward(std::span<const uint8_t> frame);

private:
    Simulator& simulator_;
    std::string host_;
    int32_t port_;
    StopSignal stop_;
    std::unique_ptr<daxrelay::GprsRelayServer> relay_;
};

} // namespace daxsim
