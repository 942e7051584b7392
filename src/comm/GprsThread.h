#pragma once

#include "GprsProtocol.h"
#include "Interact.h"
#include "platform/Deadline.h"
#include "platform/WakeEvent.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

class TAsyncSocket;

// Result codes of a relay command.
constexpr int32_t kGprsResultOk = 0;
constexpr int32_t kGprsResultLost = 1;           // connect or handshake failed; no answer in time
constexpr int32_t kGprsResultNoConnection = 3;   // no connection, a failed send, unknown device ID
constexpr int32_t kGprsResultRejected = 4;       // a status packet; an open without settings

// What an open command connects with: a copy taken by the caller, so the relay thread never
// reads settings that the settings frame may be editing.
struct GprsConnectSettings {
    std::string IPAddress;
    int32_t TcpUdpPort = 5100;
    std::string DeviceID;
    int32_t ChanelTimeout = 6000;   // ms a sent request waits for its answer

    // Same server and device: an open finds the connection already made for it.
    bool SameConnection(const GprsConnectSettings& other) const
    {
        return IPAddress == other.IPAddress && TcpUdpPort == other.TcpUdpPort && DeviceID == other.DeviceID;
    }
};

// One command for the relay thread: open the connection, close it, or send one request and
// take its answer. The caller owns it for the length of the operation; while it is queued,
// every field is read and written only under the queue's mutex (GprsCommandQueue).
class TGprsCommandInteract : public TInteract {
public:
    static constexpr int32_t kOpen = 1;
    static constexpr int32_t kClose = 2;
    static constexpr int32_t kSend = 3;
    static constexpr int32_t kStateNew = 1;        // queued, not yet taken
    static constexpr int32_t kStateSent = 2;       // its data packet is out, waiting for the answer
    static constexpr int32_t kStateFinished = 3;

    using TimePoint = std::chrono::steady_clock::time_point;

    explicit TGprsCommandInteract(int32_t kind, int32_t state = kStateNew) : kind_(kind), state_(state) {}

    int32_t InteractType() const override { return 2; }

    int32_t GetKind() const { return kind_; }
    int32_t GetState() const { return state_; }
    void SetState(int32_t state) { state_ = state; }
    const std::optional<GprsConnectSettings>& GetSettings() const { return settings_; }
    void SetSettings(GprsConnectSettings settings) { settings_ = std::move(settings); }
    // The request is read and the answer written by the relay thread, under the queue's mutex.
    void SetBuffers(std::span<const uint8_t> request, std::span<uint8_t> answer)
    {
        request_ = request;
        answer_ = answer;
    }
    std::span<const uint8_t> GetRequest() const { return request_; }
    int32_t GetReceived() const { return received_; }
    void SetReceived(int32_t received) { received_ = received; }
    void StampSendTime(TimePoint now) { sendTime_ = now; }
    std::chrono::milliseconds ElapsedSinceSend(TimePoint now) const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(now - sendTime_);
    }
    TimePoint GetSendTime() const { return sendTime_; }
    uint16_t GetSequence() const { return sequence_; }
    void SetSequence(uint16_t sequence) { sequence_ = sequence; }
    // Copies at most the answer buffer's size; received tells the bytes kept.
    void StoreAnswer(std::span<const uint8_t> payload);
    // Answers that came for earlier requests while this one waited: dropped, kept for the log.
    void AddLateAnswer(std::span<const uint8_t> payload) { lateAnswers_.emplace_back(payload.begin(), payload.end()); }
    const std::vector<std::vector<uint8_t>>& GetLateAnswers() const { return lateAnswers_; }

    // Given by the queue at Push: the relay thread names commands by it, never by address,
    // so a command its caller has given up on is never touched again.
    uint64_t GetId() const { return id_; }
    void SetId(uint64_t id) { id_ = id; }

private:
    int32_t kind_;
    int32_t state_;
    std::optional<GprsConnectSettings> settings_;   // open only
    std::span<const uint8_t> request_;              // send only; the caller's memory
    std::span<uint8_t> answer_;                     // send only; the caller's memory
    int32_t received_ = 0;
    TimePoint sendTime_{};
    uint16_t sequence_ = 0;
    uint64_t id_ = 0;
    std::vector<std::vector<uint8_t>> lateAnswers_;   // at most kMaxLateAnswers
};

// The queue record: the commands in the order queued (not owned) and, through TInteract,
// the stop request (abort) and the thread's end (done, error 3, its text). Every operation
// is called with the queue's mutex held.
class TGprsQueueInteract : public TInteract {
public:
    int32_t InteractType() const override { return 1; }

    void Push(TGprsCommandInteract* command);
    // The oldest command in the given state, or none.
    TGprsCommandInteract* TakeNext(int32_t state) const;
    TGprsCommandInteract* Find(uint64_t id) const;
    void Remove(const TGprsCommandInteract* command);
    // Sent commands waiting longer than the time-out end with result 1; returns how many.
    size_t ExpireSent(TGprsCommandInteract::TimePoint now, std::chrono::milliseconds timeout);
    // Ends every sent command with that sequence number: result 4 (the status byte is not told apart).
    size_t FailBySequence(uint16_t sequence, uint8_t status);
    // Ends every sent command with that sequence number with its answer: result 0.
    size_t CompleteBySequence(uint16_t sequence, std::span<const uint8_t> payload);
    // An answer whose sequence number no sent command waits for came late, for a request
    // already given up: it goes to the oldest sent command for its log (a few at most), or
    // nowhere when none waits.
    void NoteLateAnswer(std::span<const uint8_t> payload);
    static constexpr size_t kMaxLateAnswers = 8;
    // Ends every sent command (state 2) with the code: the connection they wait on is gone.
    size_t FailSent(int32_t code);
    // Ends every command with the code and, when given, the text: the thread has ended.
    void FailAll(int32_t code, const std::string& text);
    // The earliest moment a sent command expires, or none when no command waits.
    std::optional<TGprsCommandInteract::TimePoint> NextExpiry(std::chrono::milliseconds timeout) const;
    bool AnySent() const;
    size_t Size() const { return commands_.size(); }

private:
    static void Finish(TGprsCommandInteract* command, int32_t code);

    std::vector<TGprsCommandInteract*> commands_;
    uint64_t nextId_ = 1;
};

// The hand-over between the channel's callers and the relay thread: one mutex guards the
// queue record and every queued command, a condition variable tells waiting callers that a
// command changed (done or a new text), and a wake-up descriptor makes the relay thread,
// waiting in poll on its socket, look at the queue.
class GprsCommandQueue {
public:
    using LogFunction = std::function<void(const std::string& text)>;

    // Queues the command and wakes the relay thread. When the thread has already ended, the
    // command ends at once with result 3 and the thread's last text.
    void Push(TGprsCommandInteract& command);
    // Waits until the command is done, passing each of its texts to log (outside the lock) as
    // it comes. A command not done within the bound is taken out of the queue and ends with
    // result 1. Returns the result.
    int32_t Wait(TGprsCommandInteract& command, std::chrono::milliseconds bound, const LogFunction& log);
    // Push and Wait.
    int32_t Execute(TGprsCommandInteract& command, std::chrono::milliseconds bound, const LogFunction& log);

    // Asks the relay thread to end.
    void RequestStop();
    // Called by the relay thread as it ends: the queue record gets done, error 3 and the
    // text; every queued command ends with result 3 and the text, and so does every later one.
    void MarkThreadEnded(const std::string& text);
    // The thread has ended (done set on the queue record).
    bool ThreadEnded();

    // For the relay thread.
    std::mutex& Mutex() { return mutex_; }
    TGprsQueueInteract& Record() { return record_; }   // with Mutex() held
    void NotifyChanged() { changed_.notify_all(); }
    platform::WakeEvent& Wake() { return wake_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    platform::WakeEvent wake_;
    TGprsQueueInteract record_;
    std::string endText_;   // why the thread ended
};

// The relay connection, used by the relay thread alone: the socket, the buffers, the
// sequence counter and the splitter. Every wait (connect, handshake answers, sends, the idle
// wait for work) is a poll on the socket and the queue's wake-up descriptor, so a stop
// request is seen at once, also during the connect and the handshake.
class GprsClientSocketWrapper {
public:
    GprsClientSocketWrapper(GprsCommandQueue& queue, const GprsTimings& timings);
    ~GprsClientSocketWrapper();
    GprsClientSocketWrapper(const GprsClientSocketWrapper&) = delete;
    GprsClientSocketWrapper& operator=(const GprsClientSocketWrapper&) = delete;

    // The loop; leaves only by an exception (the stop request throws comm::kGprsThreadStopText).
    [[noreturn]] void Run();
    void CheckAbort();
    // Takes and performs the oldest new command; false when there was none.
    bool ProcessNextCommand();
    void ReceivePackets();
    void ExpireCommands();

    // The handshake steps, reporting on the command with the id.
    bool QueryServerVersion(uint64_t id);
    bool SendClientInfo(uint64_t id);
    bool AssociateDevice(uint64_t id, const std::optional<GprsConnectSettings>& settings);
    // Never fails: a server that does not echo the activation still counts as connected.
    bool ActivateExchange(uint64_t id);
    bool OpenSession(uint64_t id, const std::optional<GprsConnectSettings>& settings);
    bool SendData(uint64_t id, std::span<const uint8_t> request);

    void SetCommandError(uint64_t id, int32_t code);
    void LogToCommand(uint64_t id, const std::string& text);
    void CompleteCommand(uint64_t id);

private:
    enum class WaitResult { Ready, TimedOut, Failed };
    class Stream;

    void OpenConnection(uint64_t id, const GprsConnectSettings& settings);
    bool Connect(const GprsConnectSettings& settings);
    // Ends the connection; sent commands end with result 3 at once.
    void DropConnection();
    WaitResult WaitSocket(short events, const platform::Deadline& deadline);
    void WaitForWork();
    void Pause(std::chrono::milliseconds duration);
    bool SendAll(std::span<const uint8_t> bytes);
    // One answer of at most buffer.size() bytes: the first byte within firstMs, then until a
    // pause of interMs; returns the count received (0: nothing).
    size_t ReceiveAnswer(std::span<uint8_t> buffer, int32_t firstMs, int32_t interMs);
    // A handshake step of up to three tries; refusal: an answer starting with FF ends it with result 3.
    bool HandshakeStep(uint64_t id, const char* tryText, std::span<const uint8_t> message, size_t answerSize,
                       bool (*accept)(std::span<const uint8_t> sent, std::span<const uint8_t> answer),
                       const char* failText, bool refusalPossible);

    GprsCommandQueue& queue_;
    GprsTimings timings_;
    std::unique_ptr<TAsyncSocket> socket_;          // none while not connected
    std::optional<GprsConnectSettings> connected_;  // what the connection was made with
    std::chrono::milliseconds chanelTimeout_{6000}; // from the settings of the last open
    int ioError_ = 0;                               // errno of the last failed connect or send
    std::array<uint8_t, gprs::kBufferSize> sendBuffer_{};
    std::array<uint8_t, gprs::kBufferSize> receiveBuffer_{};
    uint16_t sequence_ = 0;                         // of the next data packet; wraps to 0
    GprsPacketSplitter splitter_;
};

// The relay thread of a GPRS channel: one std::thread, started by the constructor, stopped
// and joined by Stop or the destructor. When it ends, for a stop or a failure, every queued
// and every later command fails with result 3 instead of waiting.
class GprsThread {
public:
    GprsThread(GprsCommandQueue& queue, GprsTimings timings = {});
    ~GprsThread();
    GprsThread(const GprsThread&) = delete;
    GprsThread& operator=(const GprsThread&) = delete;

    void Stop();

private:
    void Execute();

    GprsCommandQueue& queue_;
    GprsTimings timings_;
    std::thread thread_;
};
