#include "Servers.h"

#include "platform/Exceptions.h"
#include "platform/SocketCore.h"

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace daxsim {

namespace {

// Expected length of a frame starting with these bytes: 0 when not yet known, SIZE_MAX when
// the function has no known length.
size_t ExpectedLength(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 2)
        return 0;
    switch (bytes[1]) {
    case 0x03:
    case 0x04:
        return 8;
    case 0x11:
        return 4;
    case 0x41:
        return 9;
    case 0x10:
        return bytes.size() < 7 ? 0 : size_t{9} + bytes[6];
    default:
        return SIZE_MAX;
    }
}

// Sends bytes as a line at the given byte time would deliver them, the first one due at
// `from`. Deadlines are absolute, so rounding a wait never adds up over a long answer.
bool SendPaced(int handle, std::span<const uint8_t> bytes, std::chrono::microseconds byteTime,
               std::chrono::steady_clock::time_point from, const StopSignal& stop)
{
    if (byteTime.count() <= 0)
        return daxrelay::WriteAll(handle, bytes, stop);
    // Chunks of about 2 ms on the line keep the pacing close without a sleep per byte.
    const size_t chunk = std::max<size_t>(1, static_cast<size_t>(2000 / std::max<int64_t>(byteTime.count(), 1)));
    for (size_t sent = 0; sent < bytes.size();) {
        const size_t n = std::min(chunk, bytes.size() - sent);
        if (!daxrelay::WriteAll(handle, bytes.subspan(sent, n), stop))
            return false;
        sent += n;
        const auto due = from + byteTime * static_cast<int64_t>(sent);
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
        if (wait.count() > 0 && !stop.Sleep(wait))
            return false;
    }
    return true;
}

bool SendReply(Simulator& simulator, int handle, const Reply& reply, const StopSignal& stop)
{
    if (reply.Bytes.empty())
        return true;
    if (reply.DelayMs > 0 && !stop.Sleep(std::chrono::milliseconds(reply.DelayMs)))
        return false;
    // At a line speed the request itself has to cross the line before the instrument answers.
    auto from = std::chrono::steady_clock::now() + reply.RequestTime;
    if (reply.RequestTime.count() > 0) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(reply.RequestTime);
        if (!stop.Sleep(wait))
            return false;
    }
    const std::span<const uint8_t> bytes(reply.Bytes);
    const size_t split = reply.SplitAt > 0 && reply.SplitAt < bytes.size() ? reply.SplitAt : bytes.size();
    if (!SendPaced(handle, bytes.first(split), reply.ByteTime, from, stop))
        return false;
    if (split < bytes.size()) {
        if (!stop.Sleep(std::chrono::milliseconds(reply.GapMs)))
            return false;
        from = std::chrono::steady_clock::now();
        if (!SendPaced(handle, bytes.subspan(split), reply.ByteTime, from, stop))
            return false;
    }
    simulator.NoteReplySent();
    return true;
}

} // namespace

void RequestFramer::Append(std::span<const uint8_t> bytes)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<std::vector<uint8_t>> RequestFramer::Take()
{
    const size_t expected = ExpectedLength(pending_);
    if (expected == 0 || expected == SIZE_MAX || pending_.size() < expected) {
        // A runaway stream of unknown frames is cut so that it cannot grow without bound.
        if (pending_.size() > kMaxFrame)
            return TakePending();
        return std::nullopt;
    }
    std::vector<uint8_t> frame(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(expected));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(expected));
    return frame;
}

std::vector<uint8_t> RequestFramer::TakePending()
{
    std::vector<uint8_t> frame;
    frame.swap(pending_);
    return frame;
}

void ServeStream(Simulator& simulator, int handle, const StopSignal& stop, std::chrono::milliseconds frameGap)
{
    RequestFramer framer;
    uint8_t buffer[512];
    while (!stop.Raised()) {
        pollfd entries[2] = {{handle, POLLIN, 0}, {stop.Handle(), POLLIN, 0}};
        const int timeout = framer.Empty() ? -1 : static_cast<int>(frameGap.count());
        const int ready = ::poll(entries, 2, timeout);
        if (stop.Raised())
            return;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (ready == 0) {
            const std::vector<uint8_t> frame = framer.TakePending();
            if (!SendReply(simulator, handle, simulator.Respond(frame), stop))
                return;
            continue;
        }
        const ssize_t n = ::read(handle, buffer, sizeof buffer);
        if (n == 0)
            return;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return;
        }
        framer.Append(std::span<const uint8_t>(buffer, static_cast<size_t>(n)));
        while (auto frame = framer.Take()) {
            if (!SendReply(simulator, handle, simulator.Respond(*frame), stop))
                return;
        }
    }
}

TcpServer::TcpServer(Simulator& simulator, std::string host, int32_t port)
    : simulator_(simulator), host_(std::move(host)), port_(port)
{
}

TcpServer::~TcpServer()
{
    Stop();
}

void TcpServer::Start()
{
    TAsyncSocket socket;
    if (!socket.Open(port_, host_, SOCK_STREAM, IPPROTO_TCP) || !socket.Listen())
        throw platform::Exception("dax-sim: cannot listen on " + host_ + ":" + std::to_string(port_) + ": " +
                                  SocketErrorText(socket.LastError()));
    port_ = socket.LocalPort();
    listener_ = ::dup(socket.Handle());
    socket.Close();
    if (listener_ < 0)
        throw win_error(errno);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

void TcpServer::AcceptLoop()
{
    while (!stop_.Raised()) {
        pollfd entries[2] = {{listener_, POLLIN, 0}, {stop_.Handle(), POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0 && errno != EINTR)
            return;
        if (stop_.Raised())
            return;
        if ((entries[0].revents & POLLIN) == 0)
            continue;
        // A serial gateway passes bytes on as they come off the line: no Nagle delays.
        const int connection = daxrelay::AcceptConnection(listener_, stop_);
        if (connection < 0)
            continue;
        connections_.Start(connection, [this](int handle) { ServeStream(simulator_, handle, stop_); });
    }
}

void TcpServer::Stop()
{
    stop_.Raise();
    if (acceptThread_.joinable())
        acceptThread_.join();
    connections_.JoinAll();
    if (listener_ >= 0) {
        ::close(listener_);
        listener_ = -1;
    }
}

PtyServer::PtyServer(Simulator& simulator) : simulator_(simulator) {}

PtyServer::~PtyServer()
{
    Stop();
}

void PtyServer::Start()
{
    termios raw{};
    ::cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw platform::Exception("dax-sim: cannot create a pseudo-terminal: " + platform::SystemErrorText(errno));
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = name;
    thread_ = std::thread([this] { ServeStream(simulator_, master_, stop_); });
}

void PtyServer::Stop()
{
    stop_.Raise();
    if (thread_.joinable())
        thread_.join();
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

} // namespace daxsim
