#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

// What the test servers (the fake relay, the simulator's TCP and pseudo-terminal servers) share:
// a stop signal that wakes every wait, sends that never block past it, the threads of their
// connections, and an accept that does not spin when the system refuses connections.
namespace daxrelay {

// A pipe that wakes every wait of a server when it stops.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise();
    bool Raised() const { return raised_.load(); }
    int Handle() const { return pipe_[0]; }
    // Waits the duration unless stopped first; false when stopped.
    bool Sleep(std::chrono::milliseconds duration) const;

private:
    int pipe_[2] = {-1, -1};
    std::atomic<bool> raised_{false};
};

// Writes all bytes to a non-blocking socket (or another descriptor) unless stopped; a peer
// that stops reading holds it only until the stop. False when the stream failed or stop was raised.
bool WriteAll(int handle, std::span<const uint8_t> bytes, const StopSignal& stop);

// Accepts one pending connection (non-blocking, close-on-exec, without Nagle delays) from a
// listener that poll reported readable. When the system refuses (too many open files, no
// memory), it waits a pause, unless stopped first, so that a listener that stays readable does
// not make the accept loop spin. Returns the connection, or -1.
int AcceptConnection(int listener, const StopSignal& stop);

// The threads serving a server's connections. Each thread closes its connection when done;
// finished threads are joined whenever a new one starts, so their number stays that of the
// connections alive.
class ConnectionThreads {
public:
    ConnectionThreads() = default;
    ~ConnectionThreads();
    ConnectionThreads(const ConnectionThreads&) = delete;
    ConnectionThreads& operator=(const ConnectionThreads&) = delete;

    // Serves the connection on a thread of its own. When no thread can be started the
    // connection is closed (refused) and the server goes on: false.
    bool Start(int handle, std::function<void(int handle)> serve);
    // Joins every thread; the server has raised its stop signal first.
    void JoinAll();
    // Threads not yet joined (running, or finished since the last Start).
    size_t Count();

private:
    struct Entry {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void ReapFinished();

    std::mutex mutex_;
    std::list<Entry> entries_;
};

} // namespace daxrelay
