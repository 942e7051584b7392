#include "RelayServer.h"

#include "platform/Exceptions.h"

#include <arpa/inet.h>

namespace daxsim {

RelayServer::RelayServer(Simulator& simulator, daxrelay::RelayOptions options, std::string host, int32_t port)
    : simulator_(simulator),
      host_(std::move(host)),
      port_(port),
      relay_(std::make_unique<daxrelay::GprsRelayServer>(
          std::move(options), [this](std::span<const uint8_t> frame) { return Forward(frame); }))
{
}

RelayServer::~RelayServer()
{
    Stop();
}

void RelayServer::Start()
{
    in_addr address{};
    if (port_ < 0 || port_ > 65535 || ::inet_aton(host_.c_str(), &address) == 0)
        throw platform::Exception("relay: expected an IPv4 address and a port, got \"" + host_ + ":" +
                                  std::to_string(port_) + "\"");
    if (!relay_->Start(host_, static_cast<uint16_t>(port_)))
        throw platform::Exception("relay: cannot listen on " + host_ + ":" + std::to_string(port_));
}

void RelayServer::Stop()
{
    // First release the connection threads held in a pacing wait, then join them.
    stop_.Raise();
    relay_->Stop();
}

std::optional<std::vector<uint8_t>> RelayServer::Forward(std::span<const uint8_t> frame)
{
    Reply reply = simulator_.Respond(frame);
    if (reply.Bytes.empty())
        return std::nullopt;
    auto hold = std::chrono::milliseconds(reply.DelayMs);
    if (reply.SplitAt > 0)
        hold += std::chrono::milliseconds(reply.GapMs);
    // On a slow line the request has to reach the instrument before its answer can start.
    hold += std::chrono::ceil<std::chrono::milliseconds>(reply.RequestTime +
                                                         reply.ByteTime * static_cast<int64_t>(reply.Bytes.size()));
    if (hold.count() > 0 && !stop_.Sleep(hold))
        return std::nullopt;
    // Counted when handed to the relay, which sends it at once.
    simulator_.NoteReplySent();
    return std::move(reply.Bytes);
}

} // namespace daxsim
