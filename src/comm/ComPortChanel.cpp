#include "ComPortChanel.h"

#include "platform/Exceptions.h"

namespace {

constexpr int32_t kOpenFirstByteMs = 1000;

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
    endpoint_ = params_.ComPortName;
    SetDeviceAddress(params_.NetAddr);
    if (useRegistry_) {
        platform::RegistryStore store = platform::RegistryStore::CurrentUser();
        params_.Save(store);
    }
}

void ComPortChanelHelper::Close(TInteractContainer*)
{
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
            throw platform::Exception("COM-порт не открыт");
        port_.PurgeReceive();
        LogExchange(request, endpoint_, ExchangeDirection::Request, target);
        Notify(kNotifyTransmit);
        port_.Write(request);
        const uint32_t received = port_.Read(answer);
        Notify(kNotifyReceive);
        LogExchange(answer.first(received), endpoint_, ExchangeDirection::Answer, target);
        return static_cast<int32_t>(received);
    } catch (...) {
        platform::RethrowAsException();
    }
}
