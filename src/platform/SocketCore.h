#pragma once

#include "Deadline.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <sys/socket.h>

// Stream sockets for the network channels, over POSIX sockets.
//
// Every operation reports failure by its result (false or -1) and leaves the reason, an
// errno value, in LastError(); none throws. An object holds at most one socket; it is used
// by one thread at a time (the channel that owns it serialises its users), except for
// Shutdown, which another thread may call to wake a wait in progress.
//
// TAsyncSocket makes one non-blocking call per operation. TSyncSocket gives connect, send,
// receive and accept a blocking behaviour bounded by its two time-outs.
class TAsyncSocket {
public:
    TAsyncSocket() = default;
    virtual ~TAsyncSocket();
    TAsyncSocket(const TAsyncSocket&) = delete;
    TAsyncSocket& operator=(const TAsyncSocket&) = delete;

    // Creates an IPv4 socket of the given type, non-blocking, and binds it to the local port
    // and address (an empty text or "0": any local address). Fails, leaving the object
    // closed, when a socket is already held or any step fails.
    bool Open(int32_t localPort, std::string_view localAddress, int type = SOCK_STREAM, int protocol = 0);
    bool CreateHandle(int type, int protocol, int family);
    // The local address must be a numeric IPv4 text (no name lookup): otherwise EINVAL.
    bool Bind(int32_t localPort, std::string_view localAddress);
    bool Listen(int backlog = 8);

    // Resolves the host (a dotted IPv4 address or a name) and connects to it. An empty host
    // or a name that does not resolve fails with EINVAL, a port outside 1..65535 too.
    bool ConnectByName(std::string_view host, int32_t port);
    // One non-blocking connect: true when connected or under way (LastError() EINPROGRESS).
    virtual bool Connect(const sockaddr* address, socklen_t length);
    // One non-blocking send / receive. Never raises SIGPIPE.
    virtual int32_t Send(std::span<const uint8_t> data, int flags);
    virtual int32_t Receive(std::span<uint8_t> buffer, int flags);
    // Accepts one pending connection into target, which must hold no socket.
    virtual bool Accept(TAsyncSocket& target);
    // Closes the socket; closing a closed object does nothing.
    virtual void Close();

    // Bytes waiting to be read; 0 when the query fails or no socket is held.
    uint32_t BytesAvailable();
    // Reads and drops whatever has already arrived, without waiting; returns the count
    // dropped. Notices a peer that has closed (PeerClosed() then answers true).
    int32_t DrainInput();
    // Wakes any wait in progress on this socket from another thread; the socket stays held
    // until Close.
    void Shutdown();

    bool IsOpen() const { return handle_ >= 0; }
    int Handle() const { return handle_; }
    int LastError() const { return lastError_; }
    // The peer ended the connection (a read returned end of stream).
    bool PeerClosed() const { return peerClosed_; }
    // The bound local port (after Open with port 0, the one the system chose); 0 when unknown.
    int32_t LocalPort() const;

protected:
    void SetLastError(int error) { lastError_ = error; }
    void SetPeerClosed() { peerClosed_ = true; }

private:
    int handle_ = -1;
    int lastError_ = 0;
    bool peerClosed_ = false;
};

class TSyncSocket : public TAsyncSocket {
public:
    TSyncSocket(int32_t firstByteTimeoutMs, int32_t interByteTimeoutMs)
        : firstByteTimeout_(firstByteTimeoutMs), interByteTimeout_(interByteTimeoutMs)
    {
    }

    // Takes effect with the next wait.
    void SetTimeouts(int32_t firstByteTimeoutMs, int32_t interByteTimeoutMs);
    int32_t FirstByteTimeout() const { return firstByteTimeout_; }
    int32_t InterByteTimeout() const { return interByteTimeout_; }

    // Waits up to the first-byte time-out for the connection; a refused connection fails at
    // once with its own error (read from SO_ERROR), one that does not come in time with ETIMEDOUT.
    bool Connect(const sockaddr* address, socklen_t length) override;
    // Sends the whole of data; each wait for room is bounded by the first-byte time-out and
    // one that runs out fails the send with ETIMEDOUT. Returns data.size() or -1.
    int32_t Send(std::span<const uint8_t> data, int flags) override;
    // Reads one answer of at most buffer.size() bytes: waits up to the first-byte time-out for
    // the first byte, then up to the inter-byte time-out after each further read (0: the first
    // read that delivers data ends the answer). Ends at once when the buffer is full or the
    // peer closes. Returns the count received, or -1 when nothing came: LastError() is
    // EWOULDBLOCK when nothing arrived in time, ECONNRESET when the peer had closed.
    int32_t Receive(std::span<uint8_t> buffer, int flags) override;
    // Waits up to the first-byte time-out for a connection to accept (ETIMEDOUT otherwise).
    bool Accept(TAsyncSocket& target) override;
    // Reads and drops whatever arrives until the connection has been silent for the guard
    // interval or the limit passes; returns the count dropped. A peer that closes meanwhile
    // ends the wait (PeerClosed() then answers true).
    int32_t DiscardUntilQuiet(std::chrono::milliseconds guard, const platform::Deadline& limit);

private:
    class Stream;

    // Waits for the events on the socket until the deadline; 1 ready, 0 ran out, -1 failed.
    int WaitFor(short events, const platform::Deadline& deadline);

    int32_t firstByteTimeout_;   // ms: first answer byte; also connect, each send and accept
    int32_t interByteTimeout_;   // ms: pause after a received byte that ends an answer
};

// platform::kSocketErrorFormat of an errno value; a code the system has no text for gives an
// empty text in it.
std::string SocketErrorText(int errorCode);
