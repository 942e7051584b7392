#include "TcpChanel.h"

#include "Sysutil.h"
#include "Texts.h"
#include "platform/Exceptions.h"

#include <algorithm>

#include <netinet/in.h>

namespace {

// The connection as the owed-answer rules read it: each read with waits of its own, the
// socket's own waits left as they were.
class SocketAnswerStream final : public comm::AnswerStream {
public:
    explicit SocketAnswerStream(TSyncSocket& socket) : socket_(socket) {}

    size_t ReadWithin(std::span<uint8_t> buffer, std::chrono::milliseconds firstByte,
                      std::chrono::milliseconds interByte) override
    {
        const int32_t keepFirst = socket_.FirstByteTimeout();
        const int32_t keepInter = socket_.InterByteTimeout();
        socket_.SetTimeouts(static_cast<int32_t>(firstByte.count()), static_cast<int32_t>(interByte.count()));
        const int32_t received = socket_.Receive(buffer, 0);
        socket_.SetTimeouts(keepFirst, keepInter);
        return received > 0 ? static_cast<size_t>(received) : 0;
    }

private:
    TSyncSocket& socket_;
};

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
        lost_ = false;
        owed_.Reset();
        TakeAnswerRefused();
        SetLineUnsettled(false);
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
    lost_ = false;
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
    if (!socket_) {
        // The gateway went away: every later request says so, as a serial line that has lost
        // its device does, until the channel is closed or opened again.
        if (lost_)
            throw platform::Exception(comm::kPeerClosedText);
        return 0;
    }
    SocketAnswerStream stream(*socket_);
    const comm::AnswerWaits waits{std::chrono::milliseconds(socket_->FirstByteTimeout()),
                                  std::chrono::milliseconds(socket_->InterByteTimeout())};
    const auto dropped = [&](std::span<const uint8_t> bytes) {
        LogExchange(bytes, endpoint_, ExchangeDirection::Answer, target);
        Log(comm::kLateAnswerText, target);
    };
    if (TakeAnswerRefused())
        owed_.MarkUnknown();
    const auto usable = [&] { return !socket_->PeerClosed() && !closing_.load(); };
    if (usable())
        owed_.BeforeRequest(request, waits, stream, dropped);
    LogExchange(request, endpoint_, ExchangeDirection::Request, target);
    Notify(kNotifyTransmit);
    int32_t received = -1;
    if (usable()) {
        socket_->Send(request, 0);
        const size_t count = owed_.ReceiveAnswer(request, answer, waits, stream);
        if (count > 0)
            received = static_cast<int32_t>(count);
    }
    Notify(kNotifyReceive);
    LogExchange(answer.first(received > 0 ? static_cast<size_t>(received) : 0), endpoint_,
                ExchangeDirection::Answer, target);
    const bool alone = received <= 0 || !usable() || owed_.StandsAlone(waits, stream, dropped);
    SetLineUnsettled(owed_.Unsettled());
    if (closing_.load()) {
        Log(comm::kChannelNotOpenText, target);
        return -1;
    }
    if (socket_->PeerClosed()) {
        // The gateway has gone: nothing will pass any more, so the channel closes and says why.
        Log(comm::kPeerClosedText, target);
        DropSocket();
        lost_ = true;
        throw platform::Exception(comm::kPeerClosedText);
    }
    // An answer followed by more bytes may have been a late one: the dropped bytes were logged
    // with comm::kLateAnswerText, and no answer is taken.
    if (!alone)
        return -1;
    return received;
}
