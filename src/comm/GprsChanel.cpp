#include "GprsChanel.h"

#include "Sysutil.h"
#include "Texts.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"

#include <algorithm>

namespace {

constexpr std::chrono::milliseconds kWaitMargin{1000};

} // namespace

void TGprsChanelParams::Load(const platform::RegistryStore& store)
{
    IPAddress = store.ReadString(kRegistryKey, "IPAddress", "");
    DeviceID = store.ReadString(kRegistryKey, "DeviceID", "");
    IPAddressList = TextToLines(store.ReadString(kRegistryKey, "IPAddressList", ""));
    if (IPAddressList.size() > kMaxRecentAddresses)
        IPAddressList.resize(kMaxRecentAddresses);
    GprsChanelType = store.ReadInteger(kRegistryKey, "GprsChanelType", 0);
    TcpUdpPort = store.ReadInteger(kRegistryKey, "TcpUdpPort", 5100);
    ChanelTimeout = store.ReadInteger(kRegistryKey, "ChanelTimeout", 6000);
}

void TGprsChanelParams::Save(platform::RegistryStore& store)
{
    RememberRecent(IPAddressList, IPAddress, kMaxRecentAddresses);
    if (!store.CreateKey(kRegistryKey))
        return;
    store.WriteString(kRegistryKey, "IPAddress", IPAddress);
    store.WriteString(kRegistryKey, "DeviceID", DeviceID);
    store.WriteString(kRegistryKey, "IPAddressList", LinesToText(IPAddressList));
    store.WriteInteger(kRegistryKey, "GprsChanelType", GprsChanelType);
    store.WriteInteger(kRegistryKey, "TcpUdpPort", TcpUdpPort);
    store.WriteInteger(kRegistryKey, "ChanelTimeout", ChanelTimeout);
}

GprsChanelHelper::GprsChanelHelper(GprsTimings timings, bool useRegistry)
    : useRegistry_(useRegistry), timings_(timings), queue_(std::make_unique<GprsCommandQueue>())
{
    if (useRegistry_)
        params_.Load(platform::RegistryStore::CurrentUser());
    chanelTimeoutMs_.store(params_.ChanelTimeout);
    endpoint_ = params_.DeviceID;
    thread_ = std::make_unique<GprsThread>(*queue_, timings_);
}

GprsChanelHelper::~GprsChanelHelper()
{
    StopThread();
}

void GprsChanelHelper::StopThread()
{
    if (thread_)
        thread_->Stop();
}

std::chrono::milliseconds GprsChanelHelper::WaitBound(int32_t ownMs) const
{
    // The relay thread ends every command itself; this bound only guards against a thread
    // that could not. Its longest other work is an open of another caller.
    return std::chrono::milliseconds(std::max(ownMs, 0)) + std::chrono::milliseconds(timings_.LongestOpenMs()) +
           kWaitMargin;
}

int32_t GprsChanelHelper::RunCommand(TGprsCommandInteract& command, std::chrono::milliseconds bound,
                                     TInteractContainer* target)
{
    return queue_->Execute(command, bound, [this, target](const std::string& text) { Log(text, target); });
}

std::string GprsChanelHelper::Endpoint() const
{
    std::lock_guard lock(endpointMutex_);
    return endpoint_;
}

void GprsChanelHelper::Open(TInteractContainer* target)
{
    std::lock_guard lock(operationLock_);
    TGprsCommandInteract command(TGprsCommandInteract::kOpen);
    const GprsConnectSettings settings = params_.ConnectSettings();
    command.SetSettings(settings);
    const int32_t result = RunCommand(command, WaitBound(timings_.LongestOpenMs()), target);
    if (result != kGprsResultOk) {
        open_.store(false);
        throw platform::Exception(comm::kGprsOpenFailedText);
    }
    {
        std::lock_guard endpointLock(endpointMutex_);
        endpoint_ = settings.DeviceID;
    }
    chanelTimeoutMs_.store(settings.ChanelTimeout);
    open_.store(true);
    Log(comm::kGprsOpenedText, target);
    if (useRegistry_) {
        platform::RegistryStore store = platform::RegistryStore::CurrentUser();
        params_.Save(store);
    }
}

void GprsChanelHelper::Close(TInteractContainer* target)
{
    std::lock_guard lock(operationLock_);
    TGprsCommandInteract command(TGprsCommandInteract::kClose);
    RunCommand(command, WaitBound(0), target);
    open_.store(false);
    Log(comm::kGprsClosedText, target);
}

int32_t GprsChanelHelper::Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                                   TInteractContainer* target)
{
    TGprsCommandInteract command(TGprsCommandInteract::kSend);
    command.SetBuffers(request, answer);
    queue_->Push(command);
    const std::string endpoint = Endpoint();
    {
        std::lock_guard lock(operationLock_);
        LogExchange(request, endpoint, ExchangeDirection::Request, target);
    }
    Notify(kNotifyTransmit);

    const int32_t result = queue_->Wait(command, WaitBound(chanelTimeoutMs_.load()),
                                        [this, target](const std::string& text) { Log(text, target); });
    // Done was seen under the queue's mutex: the relay thread has finished with the command.
    for (const std::vector<uint8_t>& late : command.GetLateAnswers()) {
        std::lock_guard lock(operationLock_);
        LogExchange(late, endpoint, ExchangeDirection::Answer, target);
        Log(comm::kLateAnswerText, target);
    }
    switch (result) {
    case kGprsResultOk: {
        // Done was seen under the queue's mutex: the relay thread has finished with the buffer.
        const int32_t received = command.GetReceived();
        Notify(kNotifyReceive);
        std::lock_guard lock(operationLock_);
        LogExchange(answer.first(static_cast<size_t>(received)), endpoint, ExchangeDirection::Answer, target);
        return received;
    }
    case kGprsResultNoConnection:
        open_.store(false);
        Log(comm::kGprsConnectionLostText, target);
        return 0;
    case kGprsResultRejected:
        Log(comm::kGprsCommandRejectedText, target);
        return 0;
    default:
        Log(comm::kGprsPacketLostText, target);
        return 0;
    }
}
