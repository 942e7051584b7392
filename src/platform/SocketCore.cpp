#include "SocketCore.h"

#include "ByteStream.h"
#include "Exceptions.h"
#include "Format.h"
#include "Texts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using platform::Deadline;

// Numeric IPv4 text, as the classic inet_addr reads it ("0" included).
bool ParseIPv4(std::string_view text, in_addr& address)
{
    const std::string copy(text);
    return ::inet_aton(copy.c_str(), &address) != 0;
}

std::chrono::milliseconds Milliseconds(int32_t value)
{
    return std::chrono::milliseconds(std::max<int32_t>(value, 0));
}

} // namespace

TAsyncSocket::~TAsyncSocket()
{
    if (handle_ >= 0)
        ::close(handle_);
}

bool TAsyncSocket::Open(int32_t localPort, std::string_view localAddress, int type, int protocol)
{
    if (!CreateHandle(type, protocol, AF_INET))
        return false;
    if (!Bind(localPort, localAddress)) {
        const int error = lastError_;
        Close();
        lastError_ = error;
        return false;
    }
    return true;
}

bool TAsyncSocket::CreateHandle(int type, int protocol, int family)
{
    if (handle_ >= 0) {
        lastError_ = EISCONN;
        return false;
    }
    const int handle = ::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (handle < 0) {
        lastError_ = errno;
        return false;
    }
    handle_ = handle;
    peerClosed_ = false;
    lastError_ = 0;
    return true;
}

bool TAsyncSocket::Bind(int32_t localPort, std::string_view localAddress)
{
    if (handle_ < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (localPort < 0 || localPort > 65535) {
        lastError_ = EINVAL;
        return false;
    }
    if (localAddress.empty()) {
        address.sin_addr.s_addr = htonl(INADDR_ANY);
    } else if (!ParseIPv4(localAddress, address.sin_addr)) {
        lastError_ = EINVAL;
        return false;
    }
    address.sin_port = htons(static_cast<uint16_t>(localPort));
    if (localPort != 0) {
        // A listener restarted at once must not be refused for the old connection's TIME_WAIT.
        const int on = 1;
        ::setsockopt(handle_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    if (::bind(handle_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        lastError_ = errno;
        return false;
    }
    return true;
}

bool TAsyncSocket::Listen(int backlog)
{
    if (handle_ < 0)
        return false;
    if (::listen(handle_, backlog) != 0) {
        lastError_ = errno;
        return false;
    }
    return true;
}

bool TAsyncSocket::ConnectByName(std::string_view host, int32_t port)
{
    if (handle_ < 0)
        return false;
    if (host.empty() || port < 1 || port > 65535) {
        lastError_ = EINVAL;
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (!ParseIPv4(host, address.sin_addr)) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* result = nullptr;
        const std::string name(host);
        if (::getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) {
            if (result)
                ::freeaddrinfo(result);
            lastError_ = EINVAL;
            return false;
        }
        address.sin_addr = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
        ::freeaddrinfo(result);
    }
    return Connect(reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

bool TAsyncSocket::Connect(const sockaddr* address, socklen_t length)
{
    if (handle_ < 0)
        return false;
    if (::connect(handle_, address, length) == 0) {
        lastError_ = 0;
        return true;
    }
    lastError_ = errno;
    return lastError_ == EINPROGRESS;
}

int32_t TAsyncSocket::Send(std::span<const uint8_t> data, int flags)
{
    if (handle_ < 0)
        return -1;
    const ssize_t sent = ::send(handle_, data.data(), data.size(), flags | MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
        lastError_ = errno;
        return -1;
    }
    return static_cast<int32_t>(sent);
}

int32_t TAsyncSocket::Receive(std::span<uint8_t> buffer, int flags)
{
    if (handle_ < 0)
        return -1;
    const ssize_t received = ::recv(handle_, buffer.data(), buffer.size(), flags | MSG_DONTWAIT);
    if (received < 0) {
        lastError_ = errno;
        return -1;
    }
    if (received == 0 && !buffer.empty())
        peerClosed_ = true;
    return static_cast<int32_t>(received);
}

bool TAsyncSocket::Accept(TAsyncSocket& target)
{
    if (handle_ < 0 || target.handle_ >= 0)
        return false;
    const int handle = ::accept4(handle_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (handle < 0) {
        lastError_ = errno;
        return false;
    }
    target.handle_ = handle;
    target.peerClosed_ = false;
    target.lastError_ = 0;
    return true;
}

void TAsyncSocket::Close()
{
    if (handle_ < 0)
        return;
    ::close(handle_);
    handle_ = -1;
}

uint32_t TAsyncSocket::BytesAvailable()
{
    if (handle_ < 0)
        return 0;
    int count = 0;
    if (::ioctl(handle_, FIONREAD, &count) != 0 || count < 0)
        return 0;
    return static_cast<uint32_t>(count);
}

int32_t TAsyncSocket::DrainInput()
{
    if (handle_ < 0)
        return 0;
    int32_t dropped = 0;
    uint8_t scrap[512];
    for (;;) {
        const ssize_t received = ::recv(handle_, scrap, sizeof scrap, MSG_DONTWAIT);
        if (received > 0) {
            dropped += static_cast<int32_t>(received);
            continue;
        }
        if (received == 0)
            peerClosed_ = true;
        else if (errno == EINTR)
            continue;
        else if (errno != EAGAIN && errno != EWOULDBLOCK)
            lastError_ = errno;
        return dropped;
    }
}

void TAsyncSocket::Shutdown()
{
    if (handle_ >= 0)
        ::shutdown(handle_, SHUT_RDWR);
}

int32_t TAsyncSocket::LocalPort() const
{
    if (handle_ < 0)
        return 0;
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(handle_, reinterpret_cast<sockaddr*>(&address), &length) != 0 || address.sin_family != AF_INET)
        return 0;
    return ntohs(address.sin_port);
}

void TSyncSocket::SetTimeouts(int32_t firstByteTimeoutMs, int32_t interByteTimeoutMs)
{
    firstByteTimeout_ = firstByteTimeoutMs;
    interByteTimeout_ = interByteTimeoutMs;
}

// The connection as the shared answer loops see it.
class TSyncSocket::Stream final : public platform::ByteStream {
public:
    Stream(TSyncSocket& socket, int flags) : socket_(socket), flags_(flags) {}

    Wait WaitReadable(const Deadline& deadline) override
    {
        const int ready = socket_.WaitFor(POLLIN, deadline);
        if (ready > 0)
            return Wait::Ready;   // a hang-up shows as the end of stream in the read
        return ready == 0 ? Wait::TimedOut : Wait::Failed;
    }

    ReadResult ReadSome(std::span<uint8_t> buffer) override
    {
        const int32_t received = socket_.TAsyncSocket::Receive(buffer, flags_);
        if (received > 0)
            return {Read::Data, static_cast<size_t>(received)};
        if (received == 0)
            return {Read::Closed};
        const int error = socket_.LastError();
        return {error == EAGAIN || error == EWOULDBLOCK || error == EINTR ? Read::Nothing : Read::Failed};
    }

    int Error() const override { return socket_.LastError(); }

private:
    TSyncSocket& socket_;
    int flags_;
};

int TSyncSocket::WaitFor(short events, const Deadline& deadline)
{
    for (;;) {
        pollfd entry{Handle(), events, 0};
        const int result = ::poll(&entry, 1, deadline.RemainingMs());
        if (result > 0)
            return 1;
        if (result == 0) {
            if (deadline.Passed())
                return 0;
            continue;
        }
        if (errno != EINTR) {
            SetLastError(errno);
            return -1;
        }
    }
}

bool TSyncSocket::Connect(const sockaddr* address, socklen_t length)
{
    if (!TAsyncSocket::Connect(address, length))
        return false;
    if (LastError() != EINPROGRESS)
        return true;
    const int ready = WaitFor(POLLOUT, Deadline::After(Milliseconds(firstByteTimeout_)));
    if (ready == 0) {
        SetLastError(ETIMEDOUT);
        return false;
    }
    if (ready < 0)
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(Handle(), SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        error = errno;
    SetLastError(error);
    return error == 0;
}

int32_t TSyncSocket::Send(std::span<const uint8_t> data, int flags)
{
    if (!IsOpen())
        return -1;
    size_t position = 0;
    while (position < data.size()) {
        const int ready = WaitFor(POLLOUT, Deadline::After(Milliseconds(firstByteTimeout_)));
        if (ready == 0) {
            SetLastError(ETIMEDOUT);
            return -1;
        }
        if (ready < 0)
            return -1;
        const int32_t sent = TAsyncSocket::Send(data.subspan(position), flags);
        if (sent < 0) {
            if (LastError() == EAGAIN || LastError() == EWOULDBLOCK || LastError() == EINTR)
                continue;
            return -1;
        }
        position += static_cast<size_t>(sent);
    }
    return static_cast<int32_t>(data.size());
}

int32_t TSyncSocket::Receive(std::span<uint8_t> buffer, int flags)
{
    if (!IsOpen())
        return -1;
    if (PeerClosed()) {
        SetLastError(ECONNRESET);
        return -1;
    }
    platform::AnswerWaits waits;
    waits.firstByte = Milliseconds(firstByteTimeout_);
    waits.interByte = Milliseconds(interByteTimeout_);
    Stream stream(*this, flags);
    const platform::AnswerResult result = platform::ReceiveAnswer(stream, buffer, waits);
    if (result.count > 0)
        return static_cast<int32_t>(result.count);
    switch (result.end) {
    case platform::AnswerEnd::Closed: SetLastError(ECONNRESET); break;
    case platform::AnswerEnd::Failed: SetLastError(result.error); break;
    default: SetLastError(EWOULDBLOCK); break;
    }
    return -1;
}

int32_t TSyncSocket::DiscardUntilQuiet(std::chrono::milliseconds guard, const Deadline& limit)
{
    if (!IsOpen() || PeerClosed())
        return 0;
    Stream stream(*this, 0);
    const platform::QuietResult result = platform::DiscardUntilQuiet(stream, guard, limit);
    if (result.end == platform::AnswerEnd::Failed)
        SetLastError(result.error);
    return static_cast<int32_t>(std::min<size_t>(result.discarded, INT32_MAX));
}

bool TSyncSocket::Accept(TAsyncSocket& target)
{
    if (!IsOpen() || target.IsOpen())
        return false;
    const Deadline deadline = Deadline::After(Milliseconds(firstByteTimeout_));
    for (;;) {
        if (TAsyncSocket::Accept(target))
            return true;
        if (LastError() != EAGAIN && LastError() != EWOULDBLOCK && LastError() != EINTR)
            return false;
        const int ready = WaitFor(POLLIN, deadline);
        if (ready == 0) {
            SetLastError(ETIMEDOUT);
            return false;
        }
        if (ready < 0)
            return false;
    }
}

std::string SocketErrorText(int errorCode)
{
    std::string text = platform::SystemErrorText(errorCode);
    if (text.starts_with("Unknown error"))
        text.clear();
    return platform::Format(platform::kSocketErrorFormat, errorCode, text.c_str());
}
