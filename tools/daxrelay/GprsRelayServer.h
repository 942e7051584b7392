#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ServerSupport.h"

// A fake GPRS relay server for tests and the simulator: it answers the handshake, refuses
// device IDs it does not know, lists its devices, and hands every data packet's RTU frame to
// a responder (the simulated instrument) and sends the answer back with the same sequence
// number. Faults are switched on by options. Loopback only, one thread per connection; the
// threads of ended connections are joined as new ones come, a connection that gets no thread
// is refused, and a client that stops reading holds nothing up once the server stops.
namespace daxrelay {

// Answers one RTU frame (as the instrument at address 0 would), or nothing for silence.
// Called on the connection's thread; several connections may call it at once.
using FrameResponder = std::function<std::optional<std::vector<uint8_t>>(std::span<const uint8_t> rtuFrame)>;

enum class HandshakeStep { None, Version, ClientInfo, Association, Activation };

struct RelayOptions {
    std::vector<std::string> devices;          // device IDs it knows (UTF-8, at most 16 bytes in Windows-1251)
    std::array<uint8_t, 4> version{1, 0, 3, 7};
    uint8_t versionFirstByte = 0x00;           // byte 0 of the version answer
    HandshakeStep silentAt = HandshakeStep::None;   // never answers this handshake step (after a silent
                                                    // activation, packets are forwarded all the same)
    bool reverseOrder = false;                 // keeps an answer until the next one, then sends both in reverse order
    bool fragment = false;                     // sends every answer one byte at a time
    std::chrono::milliseconds fragmentGap{1};  // pause between those bytes
    bool statusInsteadOfData = false;          // answers each data packet with a status packet
    uint8_t statusKind = 0x81;
    uint8_t statusByte = 0x02;
    int closeAfterPackets = 0;                 // closes the connection on receiving this data packet (0: never)
    uint32_t listShortBy = 0;                  // announces this many more list records than it sends
};

class GprsRelayServer {
public:
    GprsRelayServer(RelayOptions options, FrameResponder responder);
    ~GprsRelayServer();
    GprsRelayServer(const GprsRelayServer&) = delete;
    GprsRelayServer& operator=(const GprsRelayServer&) = delete;

    // Listens on the address and port (0: a free port, see Port()). False when it cannot.
    bool Start(const std::string& address = "127.0.0.1", uint16_t port = 0);
    // Closes every connection and joins every thread; the destructor does it too.
    void Stop();
    uint16_t Port() const { return port_; }

    // Connections that sent the client identification: one per handshake.
    int HandshakeCount() const { return handshakes_.load(); }
    int ConnectionCount() const { return connections_.load(); }
    int DataPacketCount() const { return dataPackets_.load(); }
    // Connection threads not yet joined.
    size_t ConnectionThreadCount() { return threads_.Count(); }
    // The RTU frames forwarded to the responder, in arrival order.
    std::vector<std::vector<uint8_t>> Frames() const;

private:
    struct Session;

    void AcceptLoop();
    void Serve(int handle);
    // The handshake phase: one message of the version query, client identification,
    // association, activation or device list. Returns the bytes it took, 0 while the message
    // is unfinished.
    size_t TakeHandshakeMessage(Session& session, std::span<const uint8_t> rest);
    // The data phase, after the activation: one data packet, forwarded and answered. Returns
    // the bytes it took (a byte that starts no packet is skipped), 0 while the packet is unfinished.
    size_t TakeDataPacket(Session& session, std::span<const uint8_t> rest);
    void Answer(Session& session, HandshakeStep step, std::span<const uint8_t> bytes);
    bool SendBytes(int handle, std::span<const uint8_t> bytes);

    RelayOptions options_;
    FrameResponder responder_;
    StopSignal stop_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread acceptThread_;
    ConnectionThreads threads_;
    mutable std::mutex framesMutex_;
    std::vector<std::vector<uint8_t>> frames_;
    std::atomic<int> handshakes_{0};
    std::atomic<int> connections_{0};
    std::atomic<int> dataPackets_{0};
};

} // namespace daxrelay
