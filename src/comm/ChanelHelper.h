#pragma once

#include "Interact.h"
#include "platform/Clock.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

// The kinds of channel, in the order of the channel dialog's list (and the stored choice).
enum class ChanelKind : int32_t { ComPort = 0, Tcp = 1, Gprs = 2 };

// Where the stored choice of channel lives: the value CurentChanel (a ChanelKind) under the
// program's registry key. Each channel keeps its own settings under a subkey.
inline constexpr const char* kChanelChoiceKey = "\\Software\\Morvel\\DaxConfig";
inline constexpr const char* kCurentChanelValue = "CurentChanel";

enum class ExchangeDirection { Request, Answer };

// Bits of a transmit/receive notice.
constexpr int kNotifyTransmit = 1;
constexpr int kNotifyReceive = 2;

// The one interface through which the system talks to the instrument. Besides the channel
// operations it carries what every channel shares: the device address, the exchange-log
// switch, the log callback, the transmit/receive notifier and the lock that serialises
// whole operations.
//
// A log target is the TInteractContainer of the background process a channel works for, or
// none when the caller is the main thread; it is handed on to the log callback unchanged.
//
// Open, Close, IsOpen and the setters run on the main thread; SetTimeouts and Transact on
// workers. The log switch, callback and notifier may be changed while workers read them.
class TChanelHelperBase {
public:
    // Receives every log text with its log target. Must not block for long.
    using LogCallback = std::function<void(const std::string& text, TInteractContainer* target)>;
    // Receives kNotifyTransmit or kNotifyReceive; called on worker threads, must never block.
    using Notifier = std::function<void(int bits)>;

    TChanelHelperBase() = default;
    virtual ~TChanelHelperBase() = default;
    TChanelHelperBase(const TChanelHelperBase&) = delete;
    TChanelHelperBase& operator=(const TChanelHelperBase&) = delete;

    virtual ChanelKind Kind() const = 0;

    // Opens with the current settings, copies their network address into the device
    // address and stores the settings; throws platform::Exception with the reason on failure.
    virtual void Open(TInteractContainer* target);
    // Closing a closed channel does nothing.
    virtual void Close(TInteractContainer* target);
    virtual bool IsOpen();
    // How long to wait for the first answer byte, and the pause between bytes that ends an answer.
    virtual void SetTimeouts(int32_t firstByteMs, int32_t interByteMs, TInteractContainer* target);
    // Writes one request and reads one answer of at most answer.size() bytes; returns the
    // count received. How a failure shows depends on the channel (see each channel).
    virtual int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer,
                             TInteractContainer* target);

    int32_t DeviceAddress() const { return deviceAddress_.load(); }

    // The answer just taken from this channel was refused by its reader (a wrong CRC, another
    // function, another register count): the line may still carry the rest of it, or an answer
    // that came late. A byte-stream channel then no longer trusts its framing: before its next
    // request it drains the line until it has been quiet long enough, and the next answer it
    // takes must stand alone (see comm::OwedAnswers). A channel that matches answers to
    // requests by itself (GPRS) has nothing to do.
    void MarkLineUnsettled()
    {
        answerRefused_.store(true);
        lineUnsettled_.store(true);
    }
    // Answers are owed, the framing is not trusted, or the next answer must stand alone.
    bool LineUnsettled() const { return lineUnsettled_.load(); }

    void SetLogEnabled(bool enabled) { logEnabled_.store(enabled); }
    bool LogEnabled() const { return logEnabled_.load(); }
    void SetLogCallback(LogCallback callback);
    void SetNotifier(Notifier notifier);
    // Replaces the clock that stamps exchange log lines (tests fix the time with it).
    void SetClock(const platform::Clock* clock);

    // Passes the text to the log callback, if any, on the calling thread; not gated by the
    // log switch.
    void Log(const std::string& text, TInteractContainer* target) const;
    // While the log switch is on, builds the line
    // "hh:mm:ss:mmm [endpoint] << 01 03 ... " (UTC; ">>" for an answer) and logs it.
    void LogExchange(std::span<const uint8_t> bytes, std::string_view endpoint, ExchangeDirection direction,
                     TInteractContainer* target) const;
    // Sends a transmit or receive notice to the notifier, if any.
    void Notify(int bits) const;

    // The exchange log line itself, for a given instant.
    static std::string ExchangeLogLine(std::chrono::system_clock::time_point utc, std::span<const uint8_t> bytes,
                                       std::string_view endpoint, ExchangeDirection direction);

protected:
    void SetDeviceAddress(int32_t address) { deviceAddress_.store(address); }
    // For the byte-stream channels: what their owed-answer bookkeeping says of the line.
    void SetLineUnsettled(bool unsettled) { lineUnsettled_.store(unsettled); }
    // Whether MarkLineUnsettled was called since the last time this was asked.
    bool TakeAnswerRefused() { return answerRefused_.exchange(false); }

    // Serialises whole operations of one channel. Recursive because a channel's destructor
    // and error paths call its own Close while holding it.
    std::recursive_mutex operationLock_;

private:
    std::atomic<int32_t> deviceAddress_{0};
    std::atomic<bool> lineUnsettled_{false};
    std::atomic<bool> answerRefused_{false};   // MarkLineUnsettled since the channel last looked
    std::atomic<bool> logEnabled_{false};
    std::atomic<const platform::Clock*> clock_{&platform::Clock::System()};
    // The callbacks are shared so that a worker can call one while the main thread replaces it.
    mutable std::mutex callbackMutex_;
    std::shared_ptr<const LogCallback> logCallback_;
    std::shared_ptr<const Notifier> notifier_;
};
