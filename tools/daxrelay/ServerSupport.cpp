#include "ServerSupport.h"

#include "platform/Deadline.h"
#include "platform/Exceptions.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace daxrelay {

namespace {

// How long an accept loop rests after the system refused a connection.
constexpr std::chrono::milliseconds kAcceptBackOff{100};
// How long one wait for room to send lasts before the stop is looked at again.
constexpr int kSendWaitMs = 1000;

} // namespace

StopSignal::StopSignal()
{
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw win_error(errno);
}

StopSignal::~StopSignal()
{
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void StopSignal::Raise()
{
    if (raised_.exchange(true))
        return;
    const uint8_t byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipe_[1], &byte, 1);
}

bool StopSignal::Sleep(std::chrono::milliseconds duration) const
{
    const platform::Deadline deadline = platform::Deadline::After(duration);
    while (!raised_.load()) {
        if (deadline.Passed())
            return true;
        pollfd entry{pipe_[0], POLLIN, 0};
        ::poll(&entry, 1, deadline.RemainingMs());
    }
    return false;
}

bool WriteAll(int handle, std::span<const uint8_t> bytes, const StopSignal& stop)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::send(handle, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL | MSG_DONTWAIT);
        ssize_t result = n;
        if (n < 0 && errno == ENOTSOCK)
            result = ::write(handle, bytes.data() + written, bytes.size() - written);
        if (result > 0) {
            written += static_cast<size_t>(result);
            continue;
        }
        if (result < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        pollfd entries[2] = {{handle, POLLOUT, 0}, {stop.Handle(), POLLIN, 0}};
        if (::poll(entries, 2, kSendWaitMs) < 0 && errno != EINTR)
            return false;
        if (stop.Raised())
            return false;
    }
    return true;
}

int AcceptConnection(int listener, const StopSignal& stop)
{
    const int handle = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (handle < 0) {
        // Nothing pending after all, or a connection that went away meanwhile: no rest needed.
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED)
            stop.Sleep(kAcceptBackOff);
        return -1;
    }
    // Small answers (and single-byte fragments) leave at once, not after the peer's ACK.
    const int on = 1;
    ::setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return handle;
}

ConnectionThreads::~ConnectionThreads()
{
    JoinAll();
}

bool ConnectionThreads::Start(int handle, std::function<void(int)> serve)
{
    std::lock_guard lock(mutex_);
    ReapFinished();
    Entry& entry = entries_.emplace_back();
    try {
        entry.thread = std::thread([&entry, handle, serve = std::move(serve)] {
            serve(handle);
            ::close(handle);
            entry.finished.store(true);
        });
    } catch (const std::system_error&) {
        // The system has no thread to spare: this connection is refused, the others go on.
        entries_.pop_back();
        ::close(handle);
        return false;
    }
    return true;
}

void ConnectionThreads::ReapFinished()
{
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->finished.load()) {
            it->thread.join();
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

void ConnectionThreads::JoinAll()
{
    std::list<Entry> entries;
    {
        std::lock_guard lock(mutex_);
        entries.splice(entries.end(), entries_);
    }
    for (Entry& entry : entries)
        if (entry.thread.joinable())
            entry.thread.join();
}

size_t ConnectionThreads::Count()
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}

} // namespace daxrelay
