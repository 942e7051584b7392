#include "TcpChanel.h"

#include "Sysutil.h"
#include "Texts.h"
#include "platform/Exceptions.h"

#include <algorithm>

#include <netinet/in.h>

namespace {

using namespace std::chrono_literals;

constexpr auto kQuietGuard = 50ms;     // silence that makes the line quiet (a gateway sends in bursts)
constexpr auto kQuietLimit = 1000ms;   // a line that never falls silent holds a request no longer

} // namespace

void TTcpChanelParams::Load(platform::RegistryStore& store)
{
    store.CreateKey(kRegistryKey);
    TcpAddress = store.ReadString(kRegistryKey, "TcpAddress", "");
    TcpPort = store.ReadInteger(kRegistryKey, "TcpPort", 4001);
    NetAddr = store.ReadInteger(kRegistryKey, "NetAddr", 0);
    TcpTimeout = store.ReadInteger(kRegistryKey, "TcpTimeout", 1000);
    IPAddressList = TextToLines(store.ReadString(kRegistryKey, "IPAddressList", ""));
    if (IPAddressList.size() > kMaxRecentAddresses)
        IPAddressList.resize(kMaxRecentAddresses);
}

void TTcpChanelParams::RememberAddress()
{
    RememberRecent(IPAddressList, TcpAddress, kMaxRecentAddresses);
}

void TTcpChanelParams::Save(platform::RegistryStore& store)
{
    RememberAddress();
    store.WriteString(kRegistryKey, "TcpAddress", TcpAddress);
    store.WriteInteger(kRegistryKey, "TcpPort", TcpPort);
    store.WriteInteger(kRegistryKey, "NetAddr", NetAddr);
    store.WriteInteger(kRegistryKey, "TcpTimeout", TcpTimeout);
    store.WriteString(kRegistryKey, "IPAddressList", LinesToText(IPAddressList));
}

TcpChanelHelper::TcpChanelHelper(bool useRegistry) : useRegistry_(useRegistry)
{
    if (useRegistry_) {
        platform::RegistryStore store = platform::RegistryStore::CurrentUser();
        params_.Load(store);
    }
}

TcpChanelHelper::~TcpChanelHelper()
{
    TcpChanelHelper::Close(nullptr);
}

void TcpChanelHelper::Open(TInteractContainer* target)
{
    std::lock_guard lock(operationLock_);
    try {
        Close(target);
        if (params_.TcpPort < 1 || params_.TcpPort > 65535)
            throw platform::Exception(FormatText(comm::kBadTcpPortFormat, params_.TcpPort));
        auto socket = std::make_unique<TSyncSocket>(kConnectWaitMs, 300);
        if (!socket->Open(0, "0", SOCK_STREAM, IPPROTO_TCP) ||
            !socket->ConnectByName(params_.TcpAddress, params_.TcpPort))
            throw platform::Exception(SocketErrorText(socket->LastError()));
        {
            std::lock_guard guard(socketMutex_);
            socket_ = std::move(socket);
        }
        open_.store(true);
        SetLineSettled();
        endpoint_ = params_.TcpAddress + ":" + std::to_string(params_.TcpPort);
        SetDeviceAddress(params_.NetAddr);
        if (useRegistry_) {
            platform::RegistryStore store = platform::RegistryStore::CurrentUser();
            params_.Save(store);
        }
    } catch (...) {
        platform::RethrowAsException();
    }
}

void TcpChanelHelper::Close(TInteractContainer*)
{
    {
        // A transaction holds the operation lock for as long as it waits: wake it first.
        std::lock_guard guard(socketMutex_);
        if (socket_) {
            closing_.store(true);
            socket_->Shutdown();
        }
    }
    std::lock_guard lock(operationLock_);
    DropSocket();
}

void TcpChanelHelper::DropSocket()
{
    std::lock_guard guard(socketMutex_);
    open_.store(false);
    if (socket_) {
        socket_->Close();
        socket_.reset();
    }
    closing_.store(false);
}

bool TcpChanelHelper::IsOpen()
{
    return open_.load();
}

void TcpChanelHelper::SetTimeouts(int32_t firstByteMs, int32_t interByteMs, TInteractContainer*)
{
    std::lock_guard lock(operationLock_);
    if (socket_)
        socket_->SetTimeouts(firstByteMs + params_.TcpTimeout, interByteMs + kInterByteExtraMs);
}

std::pair<int32_t, int32_t> TcpChanelHelper::SocketWaits()
{
    std::lock_guard lock(operationLock_);
    if (!socket_)
        return {0, 0};
    return {socket_->FirstByteTimeout(), socket_->InterByteTimeout()};
}

int32_t TcpChanelHelper::Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                                  TInteractContainer* target)
{
    std::lock_guard lock(operationLock_);
    if (!socket_)
        return 0;
    const bool unsettled = LineUnsettled();
    socket_->DrainInput();
    if (unsettled)
        socket_->DiscardUntilQuiet(kQuietGuard, platform::Deadline::After(kQuietLimit));
    LogExchange(request, endpoint_, ExchangeDirection::Request, target);
    Notify(kNotifyTransmit);
    int32_t received = -1;
    if (!socket_->PeerClosed() && !closing_.load()) {
        socket_->Send(request, 0);
        received = socket_->Receive(answer, 0);
    }
    Notify(kNotifyReceive);
    LogExchange(answer.first(received > 0 ? static_cast<size_t>(received) : 0), endpoint_,
                ExchangeDirection::Answer, target);
    bool late = false;
    if (received < 0 || static_cast<size_t>(received) < answer.size()) {
        MarkLineUnsettled();
    } else if (unsettled && !closing_.load()) {
        // A whole answer on a line that owed an earlier one is taken only when it stands alone.
        late = socket_->DiscardUntilQuiet(kQuietGuard, platform::Deadline::After(kQuietLimit)) > 0;
        if (!late)
            SetLineSettled();
    }
    if (closing_.load()) {
        Log(comm::kChannelNotOpenText, target);
        return -1;
    }
    if (socket_->PeerClosed()) {
        // The gateway has gone: nothing will pass any more, so the channel closes.
        Log(comm::kPeerClosedText, target);
        DropSocket();
        return received;
    }
    if (late) {
        Log(comm::kLateAnswerText, target);
        return -1;
    }
    return received;
}
