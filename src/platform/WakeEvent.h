#pragma once

namespace platform {

// A descriptor that another thread can make readable, so that a thread waiting in poll on
// its sockets also wakes for new work or a stop request. Signals do not count: any number
// of them before a Clear wake one wait.
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // The descriptor to poll for POLLIN.
    int Handle() const { return handle_; }
    // Safe from any thread; never blocks.
    void Signal();
    // Makes the descriptor unreadable again; called by the waiting thread after it woke.
    void Clear();

private:
    int handle_;
};

} // namespace platform
