#include "ComPortChanel.h"

#include "Texts.h"
#include "platform/Exceptions.h"
#include "platform/Texts.h"

#include <algorithm>

namespace {

constexpr int32_t kOpenFirstByteMs = 1000;

// The port as the owed-answer rules read it: each read with waits of its own, the port's own
// time-outs left as they were, and silence as a count of 0 rather than the no-answer failure.
class PortAnswerStream final : public comm::AnswerStream {
public:
    explicit PortAnswerStream(comprt::ComPort& port) : port_(port) {}

    size_t ReadWithin(std::span<uint8_t> buffer, std::chrono::milliseconds firstByte,
                      std::chrono::milliseconds interByte) override
    {
        const comprt::CommTimeouts keep = port_.GetTimeouts();
        comprt::CommTimeouts waits = keep;
        waits.ReadTotalTimeoutConstant = static_cast<int32_t>(firstByte.count());
        // Without a first-byte wait an interval of 0 would leave the port's whole-answer cap to
        // end the read: 1 ms takes what is there.
        waits.ReadIntervalTimeout = static_cast<int32_t>(firstByte.count() > 0 ? interByte.count()
                                                                              : std::max<int64_t>(interByte.count(), 1));
        port_.SetTimeouts(waits);
        try {
            const uint32_t received = port_.Read(buffer);
            port_.SetTimeouts(keep);
            return received;
        } catch (const comprt::ELineLost&) {
            throw;
        } catch (const platform::Exception& failure) {
            if (port_.IsOpen())
                port_.SetTimeouts(keep);
            if (failure.Message() == platform::kNoAnswerText)
                return 0;
            throw;
        }
    }

private:
    comprt::ComPort& port_;
};

} // namespace

void TComPortChanelParams::Load(platform::RegistryStore& store)
{
    store.CreateKey(kRegistryKey);
    ComPortName = store.ReadString(kRegistryKey, "ComPortName", "");
    ComPortSpeed = store.ReadInteger(kRegistryKey, "ComPortSpeed", 19200);
    NetAddr = store.ReadInteger(kRegistryKey, "NetAddr", 0);
}

void TComPortChanelParams::Save(platform::RegistryStore& store) const
{
    store.WriteString(kRegistryKey, "ComPortName", ComPortName);
    store.WriteInteger(kRegistryKey, "ComPortSpeed", ComPortSpeed);
    store.WriteInteger(kRegistryKey, "NetAddr", NetAddr);
}

ComPortChanelHelper::ComPortChanelHelper(bool useRegistry) : useRegistry_(useRegistry)
{
    if (useRegistry_) {
        platform::RegistryStore store = platform::RegistryStore::CurrentUser();
        params_.Load(store);
    }
}

ComPortChanelHelper::~ComPortChanelHelper()
{
    ComPortChanelHelper::Close(nullptr);
}

void ComPortChanelHelper::Open(TInteractContainer*)
{
    std::lock_guard lock(operationLock_);
    try {
        port_.Open(params_.ComPortName, params_.ComPortSpeed, kOpenFirstByteMs);
        port_.SetDtr(true);
        port_.SetRts(false);
    } catch (...) {
        port_.Close();
        platform::RethrowAsException();
    }
    owed_.Reset();
    TakeAnswerRefused();
    SetLineUnsettled(false);
    endpoint_ = params_.ComPortName;
    SetDeviceAddress(params_.NetAddr);
    if (useRegistry_) {
        platform::RegistryStore store = platform::RegistryStore::CurrentUser();
        params_.Save(store);
    }
}

void ComPortChanelHelper::Close(TInteractContainer*)
{
    // A transaction holds the lock for as long as it waits: wake it before taking the lock.
    port_.Interrupt();
    std::lock_guard lock(operationLock_);
    port_.Close();
}

bool ComPortChanelHelper::IsOpen()
{
    return port_.IsOpen();
}

void ComPortChanelHelper::SetTimeouts(int32_t firstByteMs, int32_t interByteMs, TInteractContainer*)
{
    std::lock_guard lock(operationLock_);
    try {
        comprt::CommTimeouts timeouts = port_.GetTimeouts();
        timeouts.WriteTotalTimeoutConstant = firstByteMs;
        timeouts.ReadTotalTimeoutConstant = firstByteMs;
        timeouts.ReadIntervalTimeout = interByteMs;
        port_.SetTimeouts(timeouts);
    } catch (...) {
        platform::RethrowAsException();
    }
}

int32_t ComPortChanelHelper::Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                                      TInteractContainer* target)
{
    std::lock_guard lock(operationLock_);
    try {
        if (!port_.IsOpen())
            throw platform::Exception(platform::kComPortNotOpenText);
        PortAnswerStream stream(port_);
        const comprt::CommTimeouts timeouts = port_.GetTimeouts();
        const comm::AnswerWaits waits{std::chrono::milliseconds(std::max(timeouts.ReadTotalTimeoutConstant, 0)),
                                      std::chrono::milliseconds(std::max(timeouts.ReadIntervalTimeout, 0))};
        const auto dropped = [&](std::span<const uint8_t> bytes) {
            LogExchange(bytes, endpoint_, ExchangeDirection::Answer, target);
            Log(comm::kLateAnswerText, target);
        };
        if (TakeAnswerRefused())
            owed_.MarkUnknown();
        // Whatever came before the request and is owed to no request is dropped here, as a
        // purge of the receive buffer would.
        owed_.BeforeRequest(request, waits, stream, dropped);
        LogExchange(request, endpoint_, ExchangeDirection::Request, target);
        Notify(kNotifyTransmit);
        port_.Write(request);
        size_t received = 0;
        try {
            received = owed_.ReceiveAnswer(request, answer, waits, stream);
        } catch (...) {
            owed_.MarkUnknown();
            SetLineUnsettled(true);
            throw;
        }
        if (received == 0) {
            SetLineUnsettled(owed_.Unsettled());
            throw platform::Exception(platform::kNoAnswerText);
        }
        Notify(kNotifyReceive);
        LogExchange(answer.first(received), endpoint_, ExchangeDirection::Answer, target);
        const bool alone = owed_.StandsAlone(waits, stream, dropped);
        SetLineUnsettled(owed_.Unsettled());
        if (!alone)
            throw platform::Exception(comm::kLateAnswerText);
        return static_cast<int32_t>(received);
    } catch (const comprt::ELineLost& lost) {
        // Nothing passes through a port whose device has gone: the channel is closed, and says so.
        port_.Close();
        Log(lost.Message(), target);
        throw platform::Exception(lost.Message());
    } catch (...) {
        platform::RethrowAsException();
    }
}
