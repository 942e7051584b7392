#pragma once

#include "Simulator.h"

#include "ServerSupport.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace daxsim {

// Splits a byte stream into RTU request frames. The length of a frame follows from its
// function code (0x03/0x04 8 bytes, 0x10 9 + byte count, 0x11 4, 0x41 9); a frame of any
// other function ends with a pause on the line (TakePending).
class RequestFramer {
public:
    static constexpr size_t kMaxFrame = 256;

    void Append(std::span<const uint8_t> bytes);
    // The next complete frame, if the bytes gathered hold one.
    std::optional<std::vector<uint8_t>> Take();
    // After a pause: whatever is gathered, as one frame (empty when nothing is).
    std::vector<uint8_t> TakePending();
    bool Empty() const { return pending_.empty(); }

private:
    std::vector<uint8_t> pending_;
};

using daxrelay::StopSignal;

// Serves one byte stream (a TCP connection or a pty master) until it ends or stop is raised.
// The frame gap is the pause that ends a frame of a function with no known length.
void ServeStream(Simulator& simulator, int handle, const StopSignal& stop,
                 std::chrono::milliseconds frameGap = std::chrono::milliseconds(20));

// The instrument behind a TCP listener, as a transparent serial gateway would show it. Each
// connection is served by its own thread (joined once it ends; a connection that gets no
// thread is refused); all share the one Simulator.
class TcpServer {
public:
    TcpServer(Simulator& simulator, std::string host, int32_t port);
    ~TcpServer();

    // Binds and listens (port 0: the system picks a free one); throws platform::Exception.
    void Start();
    void Stop();
    int32_t Port() const { return port_; }
    const std::string& Host() const { return host_; }

private:
    void AcceptLoop();

    Simulator& simulator_;
    std::string host_;
    int32_t port_;
    int listener_ = -1;
    StopSignal stop_;
    std::thread acceptThread_;
    daxrelay::ConnectionThreads connections_;
};

// The instrument behind a pseudo-terminal: a serial channel opens SlavePath() as its port.
class PtyServer {
public:
    explicit PtyServer(Simulator& simulator);
    ~PtyServer();

    // Creates the pseudo-terminal (raw, no echo) and starts serving; throws platform::Exception.
    void Start();
    void Stop();
    const std::string& SlavePath() const { return slavePath_; }

private:
    Simulator& simulator_;
    int master_ = -1;
    int slave_ = -1;   // kept open so that the master never sees a hang-up between clients
    std::string slavePath_;
    StopSignal stop_;
    std::thread thread_;
};

} // namespace daxsim
