#include "GprsRelayServer.h"

#include "comm/Crc16.h"
#include "platform/Cp1251.h"
#include "platform/WakeEvent.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace daxrelay {

namespace {

constexpr uint8_t kDataMark = 0x50;
constexpr std::array<uint8_t, 4> kActivation = {0x02, 0x01, 0xC1, 0x10};
constexpr size_t kIdSize = 16;
constexpr size_t kRecordSize = 27;
constexpr size_t kMaxPayload = 1017;

using Bytes = std::vector<uint8_t>;

void AppendLe16(Bytes& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendLe32(Bytes& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

std::array<uint8_t, kIdSize> IdField(const std::string& id)
{
    const std::string bytes = platform::Utf8ToCp1251(id);
    std::array<uint8_t, kIdSize> field{};
    std::memcpy(field.data(), bytes.data(), std::min(bytes.size(), field.size()));
    return field;
}

} // namespace

GprsRelayServer::GprsRelayServer(RelayOptions options, FrameResponder responder)
    : options_(std::move(options)), responder_(std::move(responder)), stop_(std::make_unique<platform::WakeEvent>())
{
}

GprsRelayServer::~GprsRelayServer()
{
    Stop();
}

bool GprsRelayServer::Start(const std::string& address, uint16_t port)
{
    if (listener_ >= 0)
        return false;
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0)
        return false;
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    socklen_t length = sizeof local;
    if (::inet_aton(address.c_str(), &local.sin_addr) == 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return false;
    }
    port_ = ntohs(local.sin_port);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
    return true;
}

void GprsRelayServer::Stop()
{
    stopping_.store(true);
    stop_->Signal();   // never cleared: every thread sees it
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::list<Connection> connections;
    {
        std::lock_guard lock(mutex_);
        connections.swap(connectionList_);
    }
    for (Connection& connection : connections)
        if (connection.thread.joinable())
            connection.thread.join();
    if (listener_ >= 0) {
        ::close(listener_);
        listener_ = -1;
    }
}

std::vector<std::vector<uint8_t>> GprsRelayServer::Frames() const
{
    std::lock_guard lock(framesMutex_);
    return frames_;
}

void GprsRelayServer::AcceptLoop()
{
    while (!stopping_.load()) {
        pollfd entries[2] = {{listener_, POLLIN, 0}, {stop_->Handle(), POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0 && errno != EINTR)
            return;
        if (entries[1].revents != 0)
            return;
        if ((entries[0].revents & POLLIN) == 0)
            continue;
        const int handle = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (handle < 0)
            continue;
        // Small answers (and single-byte fragments) leave at once, not after the peer's ACK.
        const int on = 1;
        ::setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        connections_.fetch_add(1);
        std::lock_guard lock(mutex_);
        connectionList_.push_back(Connection{handle, std::thread([this, handle] { Serve(handle); })});
    }
}

bool GprsRelayServer::SendBytes(int handle, std::span<const uint8_t> bytes)
{
    const size_t step = options_.fragment ? 1 : bytes.size();
    for (size_t position = 0; position < bytes.size(); position += step) {
        if (options_.fragment && position > 0)
            std::this_thread::sleep_for(options_.fragmentGap);
        const size_t count = std::min(step, bytes.size() - position);
        size_t done = 0;
        while (done < count) {
            const ssize_t sent = ::send(handle, bytes.data() + position + done, count - done, MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += static_cast<size_t>(sent);
        }
    }
    return true;
}

void GprsRelayServer::Serve(int handle)
{
    Bytes input;
    bool associated = false;
    bool active = false;
    bool identified = false;
    int packets = 0;
    std::optional<Bytes> held;   // reverse order: the answer waiting for the next one
    bool open = true;

    const auto answer = [&](HandshakeStep step, std::span<const uint8_t> bytes) {
        if (options_.silentAt != step)
            open = SendBytes(handle, bytes) && open;
    };

    while (open && !stopping_.load()) {
        pollfd entries[2] = {{handle, POLLIN, 0}, {stop_->Handle(), POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (entries[1].revents != 0)
            break;
        uint8_t chunk[2048];
        const ssize_t received = ::recv(handle, chunk, sizeof chunk, 0);
        if (received <= 0) {
            if (received < 0 && errno == EINTR)
                continue;
            break;
        }
        input.insert(input.end(), chunk, chunk + received);

        // Handle every complete message in the input; an unfinished one waits for more bytes.
        size_t used = 0;
        while (open && used < input.size()) {
            const std::span<const uint8_t> rest = std::span<const uint8_t>(input).subspan(used);
            const uint8_t first = rest[0];
            if (active) {
                if (first != kDataMark) {
                    ++used;
                    continue;
                }
                if (rest.size() < 5)
                    break;
                const size_t length = static_cast<size_t>(rest[3] | (rest[4] << 8));
                if (length > kMaxPayload) {
                    ++used;
                    continue;
                }
                if (rest.size() < length + 7)
                    break;
                const uint16_t crc = static_cast<uint16_t>(rest[5 + length] | (rest[6 + length] << 8));
                if (Crc16Modbus(rest.first(5 + length)) != crc) {
                    ++used;
                    continue;
                }
                const uint16_t sequence = static_cast<uint16_t>(rest[1] | (rest[2] << 8));
                const Bytes frame(rest.begin() + 5, rest.begin() + 5 + static_cast<std::ptrdiff_t>(length));
                used += length + 7;
                ++packets;
                dataPackets_.fetch_add(1);
                if (options_.closeAfterPackets > 0 && packets >= options_.closeAfterPackets) {
                    open = false;
                    break;
                }
                {
                    std::lock_guard lock(framesMutex_);
                    frames_.push_back(frame);
                }
                const std::optional<Bytes> reply = responder_ ? responder_(frame) : std::nullopt;
                if (!reply)
                    continue;
                Bytes packet;
                if (options_.statusInsteadOfData) {
                    packet = {static_cast<uint8_t>(options_.statusKind | 0x80)};
                    AppendLe16(packet, sequence);
                    packet.push_back(options_.statusByte);
                } else {
                    packet = {kDataMark};
                    AppendLe16(packet, sequence);
                    AppendLe16(packet, static_cast<uint16_t>(reply->size()));
                    packet.insert(packet.end(), reply->begin(), reply->end());
                }
                AppendLe16(packet, Crc16Modbus(packet));
                if (!options_.reverseOrder) {
                    open = SendBytes(handle, packet);
                } else if (!held) {
                    held = std::move(packet);
                } else {
                    open = SendBytes(handle, packet) && SendBytes(handle, *held);
                    held.reset();
                }
                continue;
            }

            switch (first) {
            case 0x00: {   // version query (handshake and device list)
                ++used;
                Bytes reply = {options_.versionFirstByte, 'G', 'P', 'R', 'S', 'S', 'R', 'V'};
                reply.insert(reply.end(), options_.version.begin(), options_.version.end());
                answer(HandshakeStep::Version, reply);
                continue;
            }
            case 0x10: {   // client identification: echoed
                if (rest.size() < 11)
                    break;
                if (!identified) {
                    identified = true;
                    handshakes_.fetch_add(1);
                }
                answer(HandshakeStep::ClientInfo, rest.first(11));
                used += 11;
                continue;
            }
            case 0x03: {   // association with a device ID: echoed, or FF for an unknown ID
                if (rest.size() < 1 + kIdSize)
                    break;
                const auto field = rest.subspan(1, kIdSize);
                const bool known = std::any_of(options_.devices.begin(), options_.devices.end(), [&](const std::string& id) {
                    const auto expected = IdField(id);
                    return std::equal(expected.begin(), expected.end(), field.begin());
                });
                Bytes reply(rest.begin(), rest.begin() + 1 + kIdSize);
                if (known)
                    associated = true;
                else
                    reply[0] = 0xFF;
                answer(HandshakeStep::Association, reply);
                used += 1 + kIdSize;
                continue;
            }
            case 0x01: {   // device count
                if (rest.size() < 2)
                    break;
                used += 2;
                Bytes reply = {0x01, 0x00};
                AppendLe32(reply, static_cast<uint32_t>(options_.devices.size()));
                open = SendBytes(handle, reply);
                continue;
            }
            case 0x02: {
                if (associated) {   // activation: echoed, then data packets flow
                    if (rest.size() < kActivation.size())
                        break;
                    if (std::equal(kActivation.begin(), kActivation.end(), rest.begin())) {
                        used += kActivation.size();
                        answer(HandshakeStep::Activation, kActivation);
                        active = true;   // also when the echo is left out: packets flow all the same
                    } else {
                        ++used;
                    }
                    continue;
                }
                if (rest.size() < 2)
                    break;
                used += 2;   // device list: the count, then one record per device
                Bytes reply = {0x02, 0x00};
                AppendLe32(reply, static_cast<uint32_t>(options_.devices.size()) + options_.listShortBy);
                for (size_t index = 0; index < options_.devices.size(); ++index) {
                    Bytes record(kRecordSize, 0);
                    record[0] = static_cast<uint8_t>(index);
                    record[9] = 0xEE;
                    const auto field = IdField(options_.devices[index]);
                    std::copy(field.begin(), field.end(), record.begin() + 10);
                    record[26] = 0x5A;
                    reply.insert(reply.end(), record.begin(), record.end());
                }
                open = SendBytes(handle, reply);
                continue;
            }
            default:
                ++used;
                continue;
            }
            break;   // an unfinished message
        }
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(used));
    }
    ::close(handle);
}

} // namespace daxrelay
