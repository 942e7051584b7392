#include "ComPortChanel.h"

#include "Texts.h"
#include "platform/Exceptions.h"
#include "platform/Texts.h"

#include <algorithm>

namespace {

using namespace std::chrono_literals;

constexpr int32_t kOpenFirstByteMs = 1000;
constexpr auto kShortestQuietGuard = 20ms;
constexpr auto kLongestQuietGuard = 100ms;
constexpr auto kQuietLimit = 1000ms;   // a line that never falls silent holds a request no longer

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
    SetLineSettled();
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

std::chrono::milliseconds ComPortChanelHelper::QuietGuard() const
{
    return std::clamp(std::chrono::ceil<std::chrono::milliseconds>(10 * port_.ByteTime()), kShortestQuietGuard,
                      kLongestQuietGuard);
}

int32_t ComPortChanelHelper::Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                                      TInteractContainer* target)
{
    std::lock_guard lock(operationLock_);
    try {
        if (!port_.IsOpen())
            throw platform::Exception(platform::kComPortNotOpenText);
        const bool unsettled = LineUnsettled();
        port_.PurgeReceive();
        if (unsettled)
            port_.DiscardUntilQuiet(QuietGuard(), platform::Deadline::After(kQuietLimit));
        LogExchange(request, endpoint_, ExchangeDirection::Request, target);
        Notify(kNotifyTransmit);
        port_.Write(request);
        uint32_t received = 0;
        try {
            received = port_.Read(answer);
        } catch (...) {
            MarkLineUnsettled();
            throw;
        }
        Notify(kNotifyReceive);
        LogExchange(answer.first(received), endpoint_, ExchangeDirection::Answer, target);
        if (received < answer.size()) {
            MarkLineUnsettled();
        } else if (unsettled) {
            // A whole answer on a line that owed an earlier one is taken only when it stands alone.
            if (port_.DiscardUntilQuiet(QuietGuard(), platform::Deadline::After(kQuietLimit)) > 0)
                throw platform::Exception(comm::kLateAnswerText);
            SetLineSettled();
        }
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
