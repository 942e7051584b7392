#include "ChanelHelper.h"

#include "Sysutil.h"

void TChanelHelperBase::Open(TInteractContainer*) {}

void TChanelHelperBase::Close(TInteractContainer*) {}

bool TChanelHelperBase::IsOpen()
{
    return false;
}

void TChanelHelperBase::SetTimeouts(int32_t, int32_t, TInteractContainer*) {}

int32_t TChanelHelperBase::Transact(std::span<const uint8_t>, std::span<uint8_t>, TInteractContainer*)
{
    return 0;
}

void TChanelHelperBase::SetLogCallback(LogCallback callback)
{
    auto shared = callback ? std::make_shared<const LogCallback>(std::move(callback)) : nullptr;
    std::lock_guard lock(callbackMutex_);
    logCallback_ = std::move(shared);
}

void TChanelHelperBase::SetNotifier(Notifier notifier)
{
    auto shared = notifier ? std::make_shared<const Notifier>(std::move(notifier)) : nullptr;
    std::lock_guard lock(callbackMutex_);
    notifier_ = std::move(shared);
}

void TChanelHelperBase::SetClock(const platform::Clock* clock)
{
    clock_.store(clock ? clock : &platform::Clock::System());
}

void TChanelHelperBase::Log(const std::string& text, TInteractContainer* target) const
{
    std::shared_ptr<const LogCallback> callback;
    {
        std::lock_guard lock(callbackMutex_);
        callback = logCallback_;
    }
    if (callback)
        (*callback)(text, target);
}

void TChanelHelperBase::LogExchange(std::span<const uint8_t> bytes, std::string_view endpoint,
                                    ExchangeDirection direction, TInteractContainer* target) const
{
    if (!LogEnabled())
        return;
    Log(ExchangeLogLine(clock_.load()->UtcNow(), bytes, endpoint, direction), target);
}

void TChanelHelperBase::Notify(int bits) const
{
    std::shared_ptr<const Notifier> notifier;
    {
        std::lock_guard lock(callbackMutex_);
        notifier = notifier_;
    }
    if (notifier)
        (*notifier)(bits);
}

std::string TChanelHelperBase::ExchangeLogLine(std::chrono::system_clock::time_point utc,
                                               std::span<const uint8_t> bytes, std::string_view endpoint,
                                               ExchangeDirection direction)
{
    const platform::TimeOfDay time = platform::UtcTimeOfDay(utc);
    std::string line = FormatText("%02d:%02d:%02d:%03d ", time.hours, time.minutes, time.seconds, time.milliseconds);
    line += '[';
    line += endpoint;
    line += ']';
    line += direction == ExchangeDirection::Request ? " << " : " >> ";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const uint8_t b : bytes) {
        line += kHex[b >> 4];
        line += kHex[b & 0x0F];
        line += ' ';
    }
    return line;
}
