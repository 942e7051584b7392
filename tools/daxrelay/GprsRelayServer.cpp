#include "GprsRelayServer.h"

#include "comm/Crc16.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
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

// What one connection has got to.
struct GprsRelayServer::Session {
    int handle = -1;
    bool identified = false;     // the client identification came
    bool associated = false;     // a known device ID was named
    bool active = false;         // the activation came: data packets flow
    int packets = 0;
    std::optional<Bytes> held;   // reverse order: the answer waiting for the next one
    bool open = true;
};

GprsRelayServer::GprsRelayServer(RelayOptions options, FrameResponder responder)
    : options_(std::move(options)), responder_(std::move(responder))
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
    stop_.Raise();
    if (acceptThread_.joinable())
        acceptThread_.join();
    threads_.JoinAll();
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
    while (!stop_.Raised()) {
        pollfd entries[2] = {{listener_, POLLIN, 0}, {stop_.Handle(), POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0 && errno != EINTR)
            return;
        if (stop_.Raised())
            return;
        if ((entries[0].revents & POLLIN) == 0)
            continue;
        const int handle = AcceptConnection(listener_, stop_);
        if (handle < 0)
            continue;
        connections_.fetch_add(1);
        threads_.Start(handle, [this](int connection) { Serve(connection); });
    }
}

bool GprsRelayServer::SendBytes(int handle, std::span<const uint8_t> bytes)
{
    if (!options_.fragment)
        return WriteAll(handle, bytes, stop_);
    for (size_t position = 0; position < bytes.size(); ++position) {
        if (position > 0 && !stop_.Sleep(options_.fragmentGap))
            return false;
        if (!WriteAll(handle, bytes.subspan(position, 1), stop_))
            return false;
    }
    return true;
}

void GprsRelayServer::Answer(Session& session, HandshakeStep step, std::span<const uint8_t> bytes)
{
    if (options_.silentAt != step)
        session.open = SendBytes(session.handle, bytes) && session.open;
}

void GprsRelayServer::Serve(int handle)
{
    Session session;
    session.handle = handle;
    Bytes input;
    while (session.open && !stop_.Raised()) {
        pollfd entries[2] = {{handle, POLLIN, 0}, {stop_.Handle(), POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (entries[1].revents != 0)
            break;
        uint8_t chunk[2048];
        const ssize_t received = ::recv(handle, chunk, sizeof chunk, 0);
        if (received < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (received <= 0)
            break;
        input.insert(input.end(), chunk, chunk + received);

        // Every complete message in the input is handled; an unfinished one waits for more bytes.
        size_t used = 0;
        while (session.open && used < input.size()) {
            const std::span<const uint8_t> rest = std::span<const uint8_t>(input).subspan(used);
            const size_t taken = session.active ? TakeDataPacket(session, rest) : TakeHandshakeMessage(session, rest);
            if (taken == 0)
                break;
            used += taken;
        }
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(used));
    }
}

size_t GprsRelayServer::TakeHandshakeMessage(Session& session, std::span<const uint8_t> rest)
{
    switch (rest[0]) {
    case 0x00: {   // version query (handshake and device list)
        Bytes reply = {options_.versionFirstByte, 'G', 'P', 'R', 'S', 'S', 'R', 'V'};
        reply.insert(reply.end(), options_.version.begin(), options_.version.end());
        Answer(session, HandshakeStep::Version, reply);
        return 1;
    }
    case 0x10: {   // client identification: echoed
        if (rest.size() < 11)
            return 0;
        if (!session.identified) {
            session.identified = true;
            handshakes_.fetch_add(1);
        }
        Answer(session, HandshakeStep::ClientInfo, rest.first(11));
        return 11;
    }
    case 0x03: {   // association with a device ID: echoed, or FF for an unknown ID
        if (rest.size() < 1 + kIdSize)
            return 0;
        const auto field = rest.subspan(1, kIdSize);
        const bool known = std::any_of(options_.devices.begin(), options_.devices.end(), [&](const std::string& id) {
            const auto expected = IdField(id);
            return std::equal(expected.begin(), expected.end(), field.begin());
        });
        Bytes reply(rest.begin(), rest.begin() + 1 + kIdSize);
        if (known)
            session.associated = true;
        else
            reply[0] = 0xFF;
        Answer(session, HandshakeStep::Association, reply);
        return 1 + kIdSize;
    }
    case 0x01: {   // device count
        if (rest.size() < 2)
            return 0;
        Bytes reply = {0x01, 0x00};
        AppendLe32(reply, static_cast<uint32_t>(options_.devices.size()));
        session.open = SendBytes(session.handle, reply);
        return 2;
    }
    case 0x02: {
        if (session.associated) {   // activation: echoed, then data packets flow
            if (rest.size() < kActivation.size())
                return 0;
            if (!std::equal(kActivation.begin(), kActivation.end(), rest.begin()))
                return 1;
            Answer(session, HandshakeStep::Activation, kActivation);
            session.active = true;   // also when the echo is left out: packets flow all the same
            return kActivation.size();
        }
        if (rest.size() < 2)
            return 0;
        // Device list: the count, then one record per device.
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
        session.open = SendBytes(session.handle, reply);
        return 2;
    }
    default:
        return 1;
    }
}

size_t GprsRelayServer::TakeDataPacket(Session& session, std::span<const uint8_t> rest)
{
    if (rest[0] != kDataMark)
        return 1;
    if (rest.size() < 5)
        return 0;
    const size_t length = static_cast<size_t>(rest[3] | (rest[4] << 8));
    if (length > kMaxPayload)
        return 1;
    if (rest.size() < length + 7)
        return 0;
    const uint16_t crc = static_cast<uint16_t>(rest[5 + length] | (rest[6 + length] << 8));
    if (Crc16Modbus(rest.first(5 + length)) != crc)
        return 1;
    const uint16_t sequence = static_cast<uint16_t>(rest[1] | (rest[2] << 8));
    const Bytes frame(rest.begin() + 5, rest.begin() + 5 + static_cast<std::ptrdiff_t>(length));
    ++session.packets;
    dataPackets_.fetch_add(1);
    if (options_.closeAfterPackets > 0 && session.packets >= options_.closeAfterPackets) {
        session.open = false;
        return length + 7;
    }
    {
        std::lock_guard lock(framesMutex_);
        frames_.push_back(frame);
    }
    const std::optional<Bytes> reply = responder_ ? responder_(frame) : std::nullopt;
    if (!reply)
        return length + 7;
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
        session.open = SendBytes(session.handle, packet);
    } else if (!session.held) {
        session.held = std::move(packet);
    } else {
        session.open = SendBytes(session.handle, packet) && SendBytes(session.handle, *session.held);
        session.held.reset();
    }
    return length + 7;
}

} // namespace daxrelay
