#include "GprsThread.h"

#include "Sysutil.h"
#include "Texts.h"
#include "platform/ByteStream.h"
#include "platform/Exceptions.h"
#include "platform/SocketCore.h"

#include <algorithm>
#include <cerrno>

#include <netinet/in.h>
#include <poll.h>


namespace {

using SteadyClock = std::chrono::steady_clock;
using platform::Deadline;
using std::chrono::milliseconds;

constexpr size_t kMaxReadsPerPass = 16;   // a flooding server cannot keep the loop from its queue
constexpr milliseconds kIdleWait{1000};  // the idle wait is woken by new commands anyway

bool EchoAccepted(std::span<const uint8_t> sent, std::span<const uint8_t> answer)
{
    return std::equal(sent.begin(), sent.end(), answer.begin(), answer.end());
}

bool VersionAccepted(std::span<const uint8_t>, std::span<const uint8_t> answer)
{
    return gprs::IsVersionAnswer(answer);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Command and queue records

void TGprsCommandInteract::StoreAnswer(std::span<const uint8_t> payload)
{
    const size_t kept = std::min(payload.size(), answer_.size());
    std::copy_n(payload.begin(), kept, answer_.begin());
    received_ = static_cast<int32_t>(kept);
}

void TGprsQueueInteract::Push(TGprsCommandInteract* command)
{
    command->SetId(nextId_++);
    commands_.push_back(command);
}

TGprsCommandInteract* TGprsQueueInteract::TakeNext(int32_t state) const
{
    for (TGprsCommandInteract* command : commands_)
        if (command->GetState() == state)
            return command;
    return nullptr;
}

TGprsCommandInteract* TGprsQueueInteract::Find(uint64_t id) const
{
    for (TGprsCommandInteract* command : commands_)
        if (command->GetId() == id)
            return command;
    return nullptr;
}

void TGprsQueueInteract::Remove(const TGprsCommandInteract* command)
{
    const auto found = std::find(commands_.begin(), commands_.end(), command);
    if (found != commands_.end())
        commands_.erase(found);
}

void TGprsQueueInteract::Finish(TGprsCommandInteract* command, int32_t code)
{
    command->SetError(code);
    command->SetState(TGprsCommandInteract::kStateFinished);
    command->SetDone(true);
}

size_t TGprsQueueInteract::ExpireSent(TGprsCommandInteract::TimePoint now, milliseconds timeout)
{
    return std::erase_if(commands_, [&](TGprsCommandInteract* command) {
        if (command->GetState() != TGprsCommandInteract::kStateSent || command->ElapsedSinceSend(now) <= timeout)
            return false;
        Finish(command, kGprsResultLost);
        return true;
    });
}

size_t TGprsQueueInteract::FailBySequence(uint16_t sequence, uint8_t)
{
    return std::erase_if(commands_, [&](TGprsCommandInteract* command) {
        if (command->GetState() != TGprsCommandInteract::kStateSent || command->GetSequence() != sequence)
            return false;
        Finish(command, kGprsResultRejected);
        return true;
    });
}

size_t TGprsQueueInteract::CompleteBySequence(uint16_t sequence, std::span<const uint8_t> payload)
{
    return std::erase_if(commands_, [&](TGprsCommandInteract* command) {
        if (command->GetState() != TGprsCommandInteract::kStateSent || command->GetSequence() != sequence)
            return false;
        command->StoreAnswer(payload);
        Finish(command, kGprsResultOk);
        return true;
    });
}

void TGprsQueueInteract::NoteLateAnswer(std::span<const uint8_t> payload)
{
    for (TGprsCommandInteract* command : commands_) {
        if (command->GetState() == TGprsCommandInteract::kStateSent) {
            if (command->GetLateAnswers().size() < kMaxLateAnswers)
                command->AddLateAnswer(payload);
            return;
        }
    }
}

size_t TGprsQueueInteract::FailSent(int32_t code)
{
    return std::erase_if(commands_, [&](TGprsCommandInteract* command) {
        if (command->GetState() != TGprsCommandInteract::kStateSent)
            return false;
        Finish(command, code);
        return true;
    });
}

void TGprsQueueInteract::FailAll(int32_t code, const std::string& text)
{
    for (TGprsCommandInteract* command : commands_) {
        if (!text.empty())
            command->PushMessage(text);
        Finish(command, code);
    }
    commands_.clear();
}

std::optional<TGprsCommandInteract::TimePoint> TGprsQueueInteract::NextExpiry(milliseconds timeout) const
{
    std::optional<TGprsCommandInteract::TimePoint> earliest;
    for (const TGprsCommandInteract* command : commands_) {
        if (command->GetState() != TGprsCommandInteract::kStateSent)
            continue;
        const auto expiry = command->GetSendTime() + timeout + milliseconds(1);
        if (!earliest || expiry < *earliest)
            earliest = expiry;
    }
    return earliest;
}

bool TGprsQueueInteract::AnySent() const
{
    return std::any_of(commands_.begin(), commands_.end(), [](const TGprsCommandInteract* command) {
        return command->GetState() == TGprsCommandInteract::kStateSent;
    });
}

// ---------------------------------------------------------------------------------------
// The hand-over

void GprsCommandQueue::Push(TGprsCommandInteract& command)
{
    {
        std::lock_guard lock(mutex_);
        if (record_.GetDone()) {
            // The thread has ended: nobody would ever take the command.
            if (!endText_.empty())
                command.PushMessage(endText_);
            command.SetError(kGprsResultNoConnection);
            command.SetState(TGprsCommandInteract::kStateFinished);
            command.SetDone(true);
            return;
        }
        record_.Push(&command);
    }
    wake_.Signal();
}

int32_t GprsCommandQueue::Wait(TGprsCommandInteract& command, milliseconds bound, const LogFunction& log)
{
    const auto deadline = SteadyClock::now() + bound;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (command.MessageCount() > 0) {
            std::vector<std::string> texts;
            while (command.MessageCount() > 0)
                texts.push_back(command.PopMessage());
            lock.unlock();
            if (log)
                for (const std::string& text : texts)
                    log(text);
            lock.lock();
            continue;
        }
        if (command.GetDone())
            return command.GetError();
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && !command.GetDone() &&
            command.MessageCount() == 0) {
            // The relay thread is stuck beyond every wait it makes: give the command up. The
            // thread finds it by id only, so it never touches it again.
            record_.Remove(&command);
            command.SetError(kGprsResultLost);
            command.SetState(TGprsCommandInteract::kStateFinished);
            command.SetDone(true);
            return command.GetError();
        }
    }
}

int32_t GprsCommandQueue::Execute(TGprsCommandInteract& command, milliseconds bound, const LogFunction& log)
{
    Push(command);
    return Wait(command, bound, log);
}

void GprsCommandQueue::RequestStop()
{
    {
        std::lock_guard lock(mutex_);
        record_.SetAbort(true);
    }
    wake_.Signal();
}

void GprsCommandQueue::MarkThreadEnded(const std::string& text)
{
    {
        std::lock_guard lock(mutex_);
        endText_ = text;
        if (!text.empty())
            record_.PushMessage(text);
        record_.SetError(kGprsResultNoConnection);
        record_.FailAll(kGprsResultNoConnection, text);
        record_.SetDone(true);
    }
    changed_.notify_all();
}

bool GprsCommandQueue::ThreadEnded()
{
    std::lock_guard lock(mutex_);
    return record_.GetDone();
}

// ---------------------------------------------------------------------------------------
// The relay connection

GprsClientSocketWrapper::GprsClientSocketWrapper(GprsCommandQueue& queue, const GprsTimings& timings)
    : queue_(queue), timings_(timings)
{
}

GprsClientSocketWrapper::~GprsClientSocketWrapper()
{
    if (socket_)
        socket_->Close();
}

void GprsClientSocketWrapper::Run()
{
    for (;;) {
        CheckAbort();
        while (ProcessNextCommand())
            CheckAbort();
        ReceivePackets();
        ExpireCommands();
        WaitForWork();
    }
}

void GprsClientSocketWrapper::CheckAbort()
{
    bool abort = false;
    {
        std::lock_guard lock(queue_.Mutex());
        abort = queue_.Record().GetAbort();
    }
    if (abort)
        throw platform::Exception(comm::kGprsThreadStopText);
}

bool GprsClientSocketWrapper::ProcessNextCommand()
{
    uint64_t id = 0;
    int32_t kind = 0;
    std::optional<GprsConnectSettings> settings;
    std::vector<uint8_t> request;
    {
        std::lock_guard lock(queue_.Mutex());
        TGprsCommandInteract* command = queue_.Record().TakeNext(TGprsCommandInteract::kStateNew);
        if (!command)
            return false;
        id = command->GetId();
        kind = command->GetKind();
        settings = command->GetSettings();
        const auto bytes = command->GetRequest();
        request.assign(bytes.begin(), bytes.end());
    }

    switch (kind) {
    case TGprsCommandInteract::kOpen:
        if (settings)
            chanelTimeout_ = milliseconds(settings->ChanelTimeout);
        if (socket_ && settings && connected_ && connected_->SameConnection(*settings)) {
            // Already connected for these settings: no second handshake.
        } else if (!settings) {
            SetCommandError(id, kGprsResultRejected);
            LogToCommand(id, comm::kNoChannelParamsText);
        } else {
            // Another server or device ID: the old connection cannot serve it.
            if (socket_)
                DropConnection();
            OpenConnection(id, *settings);
        }
        CompleteCommand(id);
        break;
    case TGprsCommandInteract::kClose:
        if (socket_)
            DropConnection();
        CompleteCommand(id);
        break;
    case TGprsCommandInteract::kSend:
        if (!socket_) {
            SetCommandError(id, kGprsResultNoConnection);
            LogToCommand(id, comm::kChannelNotOpenText);
            CompleteCommand(id);
        } else if (!SendData(id, request)) {
            CompleteCommand(id);
        }
        break;
    default:
        SetCommandError(id, kGprsResultRejected);
        CompleteCommand(id);
        break;
    }
    return true;
}

void GprsClientSocketWrapper::OpenConnection(uint64_t id, const GprsConnectSettings& settings)
{
    if (!Connect(settings)) {
        LogToCommand(id, SocketErrorText(ioError_ != 0 ? ioError_ : ETIMEDOUT));
        SetCommandError(id, kGprsResultLost);
        socket_.reset();
        return;
    }
    splitter_.Reset();
    if (!OpenSession(id, settings)) {
        socket_.reset();
        return;
    }
    connected_ = settings;
}

bool GprsClientSocketWrapper::Connect(const GprsConnectSettings& settings)
{
    socket_ = std::make_unique<TAsyncSocket>();
    connected_.reset();
    ioError_ = 0;
    if (!socket_->Open(0, "0", SOCK_STREAM, IPPROTO_TCP)) {
        ioError_ = socket_->LastError();
        return false;
    }
    // One non-blocking connect; the wait below also sees a stop request.
    if (!socket_->ConnectByName(settings.IPAddress, settings.TcpUdpPort)) {
        ioError_ = socket_->LastError();
        return false;
    }
    if (socket_->LastError() != EINPROGRESS)
        return true;
    const WaitResult ready = WaitSocket(POLLOUT, Deadline::After(milliseconds(timings_.connectMs)));
    if (ready == WaitResult::TimedOut) {
        ioError_ = ETIMEDOUT;
        return false;
    }
    if (ready == WaitResult::Failed)
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket_->Handle(), SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        error = errno;
    ioError_ = error;
    return error == 0;
}

void GprsClientSocketWrapper::DropConnection()
{
    if (socket_)
        socket_->Close();
    socket_.reset();
    connected_.reset();
    splitter_.Reset();
    size_t failed = 0;
    {
        std::lock_guard lock(queue_.Mutex());
        failed = queue_.Record().FailSent(kGprsResultNoConnection);
    }
    if (failed > 0)
        queue_.NotifyChanged();
}

GprsClientSocketWrapper::WaitResult GprsClientSocketWrapper::WaitSocket(short events, const Deadline& deadline)
{
    for (;;) {
        pollfd entries[2] = {{queue_.Wake().Handle(), POLLIN, 0}, {socket_ ? socket_->Handle() : -1, events, 0}};
        const int result = ::poll(entries, 2, deadline.RemainingMs());
        if (result < 0) {
            if (errno == EINTR)
                continue;
            ioError_ = errno;
            return WaitResult::Failed;
        }
        if (entries[0].revents != 0) {
            // New work or the stop request: the work waits for this step, the stop does not.
            queue_.Wake().Clear();
            CheckAbort();
        }
        if (entries[1].revents != 0)
            return WaitResult::Ready;   // an error or hang-up shows in the call that follows
        if (deadline.Passed())
            return WaitResult::TimedOut;
    }
}

void GprsClientSocketWrapper::WaitForWork()
{
    Deadline deadline = Deadline::After(kIdleWait);
    {
        std::lock_guard lock(queue_.Mutex());
        if (queue_.Record().TakeNext(TGprsCommandInteract::kStateNew))
            return;
        if (const auto expiry = queue_.Record().NextExpiry(chanelTimeout_))
            deadline = deadline.Earlier(Deadline(*expiry));
    }
    pollfd entries[2] = {{queue_.Wake().Handle(), POLLIN, 0}, {socket_ ? socket_->Handle() : -1, POLLIN, 0}};
    if (::poll(entries, 2, deadline.RemainingMs()) > 0 && entries[0].revents != 0)
        queue_.Wake().Clear();
}

void GprsClientSocketWrapper::Pause(milliseconds duration)
{
    const Deadline deadline = Deadline::After(duration);
    while (!deadline.Passed()) {
        pollfd entry{queue_.Wake().Handle(), POLLIN, 0};
        if (::poll(&entry, 1, deadline.RemainingMs()) > 0) {
            queue_.Wake().Clear();
            CheckAbort();
        }
    }
}

bool GprsClientSocketWrapper::SendAll(std::span<const uint8_t> bytes)
{
    const Deadline deadline = Deadline::After(milliseconds(timings_.answerMs));
    size_t position = 0;
    while (position < bytes.size()) {
        if (!socket_) {
            ioError_ = ENOTCONN;
            return false;
        }
        const int32_t sent = socket_->Send(bytes.subspan(position), 0);
        if (sent >= 0) {
            position += static_cast<size_t>(sent);
            continue;
        }
        const int error = socket_->LastError();
        if (error != EAGAIN && error != EWOULDBLOCK && error != EINTR) {
            ioError_ = error;
            return false;
        }
        const WaitResult ready = WaitSocket(POLLOUT, deadline);
        if (ready == WaitResult::TimedOut) {
            ioError_ = ETIMEDOUT;
            return false;
        }
        if (ready == WaitResult::Failed)
            return false;
    }
    return true;
}

// The relay connection as the shared answer loop sees it: every wait also sees a stop request.
class GprsClientSocketWrapper::Stream final : public platform::ByteStream {
public:
    explicit Stream(GprsClientSocketWrapper& connection) : connection_(connection) {}

    Wait WaitReadable(const Deadline& deadline) override
    {
        if (!connection_.socket_)
            return Wait::HungUp;
        switch (connection_.WaitSocket(POLLIN, deadline)) {
        case WaitResult::Ready: return Wait::Ready;
        case WaitResult::TimedOut: return Wait::TimedOut;
        default: return Wait::Failed;
        }
    }

    ReadResult ReadSome(std::span<uint8_t> buffer) override
    {
        const int32_t received = connection_.socket_->Receive(buffer, 0);
        if (received > 0)
            return {Read::Data, static_cast<size_t>(received)};
        if (received == 0)
            return {Read::Closed};   // the server closed
        const int error = connection_.socket_->LastError();
        return {error == EAGAIN || error == EWOULDBLOCK || error == EINTR ? Read::Nothing : Read::Failed};
    }

    int Error() const override { return connection_.ioError_; }

private:
    GprsClientSocketWrapper& connection_;
};

size_t GprsClientSocketWrapper::ReceiveAnswer(std::span<uint8_t> buffer, int32_t firstMs, int32_t interMs)
{
    platform::AnswerWaits waits;
    waits.firstByte = milliseconds(std::max(firstMs, 0));
    waits.interByte = milliseconds(std::max(interMs, 0));
    Stream stream(*this);
    return platform::ReceiveAnswer(stream, buffer, waits).count;
}

bool GprsClientSocketWrapper::HandshakeStep(uint64_t id, const char* tryText, std::span<const uint8_t> message,
                                            size_t answerSize,
                                            bool (*accept)(std::span<const uint8_t>, std::span<const uint8_t>),
                                            const char* failText, bool refusalPossible)
{
    constexpr int kTries = 3;
    std::copy(message.begin(), message.end(), sendBuffer_.begin());
    const auto sent = std::span<const uint8_t>(sendBuffer_).first(message.size());
    for (int attempt = 0; attempt < kTries; ++attempt) {
        LogToCommand(id, tryText);
        // A late answer to the previous try must not pass for this try's.
        if (attempt > 0)
            socket_->DrainInput();
        size_t received = 0;
        if (SendAll(sent))
            received = ReceiveAnswer(std::span<uint8_t>(receiveBuffer_).first(answerSize), timings_.answerMs,
                                     timings_.interByteMs);
        const auto answer = std::span<const uint8_t>(receiveBuffer_).first(received);
        if (received == answerSize && accept(sent, answer))
            return true;
        if (refusalPossible && received > 0 && answer[0] == gprs::kDeviceRefused) {
            LogToCommand(id, comm::kDeviceIdUnknownText);
            SetCommandError(id, kGprsResultNoConnection);
            return false;
        }
        if (attempt + 1 < kTries)
            Pause(milliseconds(timings_.retryPauseMs));
    }
    LogToCommand(id, failText);
    SetCommandError(id, kGprsResultLost);
    return false;
}

bool GprsClientSocketWrapper::QueryServerVersion(uint64_t id)
{
    if (!HandshakeStep(id, comm::kServerVersionQueryText, gprs::kVersionQuery, gprs::kVersionAnswerSize,
                       VersionAccepted, comm::kServerVersionFailedText, false))
        return false;
    LogToCommand(id, FormatText(comm::kServerVersionFormat, receiveBuffer_[8], receiveBuffer_[9],
                                receiveBuffer_[10], receiveBuffer_[11]));
    return true;
}

bool GprsClientSocketWrapper::SendClientInfo(uint64_t id)
{
    return HandshakeStep(id, comm::kClientInfoText, gprs::kClientInfo, gprs::kClientInfo.size(), EchoAccepted,
                         comm::kClientInfoFailedText, false);
}

bool GprsClientSocketWrapper::AssociateDevice(uint64_t id, const std::optional<GprsConnectSettings>& settings)
{
    if (!settings) {
        SetCommandError(id, kGprsResultRejected);
        LogToCommand(id, comm::kNoChannelParamsText);
        return false;
    }
    const auto message = gprs::AssociationMessage(settings->DeviceID);
    return HandshakeStep(id, comm::kAssociationText, message, message.size(), EchoAccepted,
                         comm::kAssociationFailedText, true);
}

bool GprsClientSocketWrapper::ActivateExchange(uint64_t id)
{
    constexpr int kTries = 2;
    LogToCommand(id, comm::kActivationText);
    for (int attempt = 0; attempt < kTries && socket_; ++attempt) {
        socket_->DrainInput();
        if (!SendAll(gprs::kActivation))
            continue;
        const size_t received = ReceiveAnswer(std::span<uint8_t>(receiveBuffer_).first(gprs::kActivation.size()),
                                              timings_.answerMs, timings_.interByteMs);
        if (EchoAccepted(gprs::kActivation, std::span<const uint8_t>(receiveBuffer_).first(received)))
            return true;
    }
    // Relay servers are known to forward packets without confirming the activation: the
    // connection counts as open all the same, and the log says that no echo came.
    LogToCommand(id, comm::kActivationUnconfirmedText);
    return true;
}

bool GprsClientSocketWrapper::OpenSession(uint64_t id, const std::optional<GprsConnectSettings>& settings)
{
    return QueryServerVersion(id) && SendClientInfo(id) && AssociateDevice(id, settings) && ActivateExchange(id);
}

bool GprsClientSocketWrapper::SendData(uint64_t id, std::span<const uint8_t> request)
{
    if (request.empty() || request.size() > gprs::kMaxPayload) {
        SetCommandError(id, kGprsResultRejected);
        return false;
    }
    const uint16_t sequence = sequence_++;
    const std::vector<uint8_t> packet = gprs::BuildDataPacket(sequence, request);
    std::copy(packet.begin(), packet.end(), sendBuffer_.begin());
    if (!SendAll(std::span<const uint8_t>(sendBuffer_).first(packet.size()))) {
        SetCommandError(id, kGprsResultNoConnection);
        LogToCommand(id, SocketErrorText(ioError_));
        // A connection that cannot take a packet is no longer usable: the channel counts as
        // closed after this result, so the next open must connect anew.
        DropConnection();
        return false;
    }
    std::lock_guard lock(queue_.Mutex());
    if (TGprsCommandInteract* command = queue_.Record().Find(id)) {
        command->SetState(TGprsCommandInteract::kStateSent);
        command->StampSendTime(SteadyClock::now());
        command->SetSequence(sequence);
    }
    return true;
}

void GprsClientSocketWrapper::ReceivePackets()
{
    std::vector<GprsPacketReport> reports;
    for (size_t read = 0; read < kMaxReadsPerPass && socket_; ++read) {
        const int32_t received = socket_->Receive(receiveBuffer_, 0);
        if (received > 0) {
            splitter_.Feed(std::span<const uint8_t>(receiveBuffer_).first(static_cast<size_t>(received)), reports);
            continue;
        }
        if (received < 0) {
            const int error = socket_->LastError();
            if (error == EAGAIN || error == EWOULDBLOCK || error == EINTR)
                break;
        }
        // End of stream or a broken connection: whoever waits on it learns at once.
        DropConnection();
    }
    if (reports.empty())
        return;
    {
        std::lock_guard lock(queue_.Mutex());
        for (const GprsPacketReport& report : reports) {
            // The sequence number alone ties an answer to its request: one that no sent command
            // waits for answers a request already given up, and is dropped.
            if (report.kind == GprsPacketReport::Kind::Status)
                queue_.Record().FailBySequence(report.sequence, report.status);
            else if (queue_.Record().CompleteBySequence(report.sequence, report.payload) == 0)
                queue_.Record().NoteLateAnswer(report.payload);
        }
    }
    queue_.NotifyChanged();
}

void GprsClientSocketWrapper::ExpireCommands()
{
    size_t expired = 0;
    bool waiting = false;
    {
        std::lock_guard lock(queue_.Mutex());
        expired = queue_.Record().ExpireSent(SteadyClock::now(), chanelTimeout_);
        waiting = queue_.Record().AnySent();
    }
    // The start of a packet that nobody waits for any more can only hold up the next answer.
    if (!waiting)
        splitter_.Reset();
    if (expired > 0)
        queue_.NotifyChanged();
}

void GprsClientSocketWrapper::SetCommandError(uint64_t id, int32_t code)
{
    std::lock_guard lock(queue_.Mutex());
    if (TGprsCommandInteract* command = queue_.Record().Find(id))
        command->SetError(code);
}

void GprsClientSocketWrapper::LogToCommand(uint64_t id, const std::string& text)
{
    {
        std::lock_guard lock(queue_.Mutex());
        if (TGprsCommandInteract* command = queue_.Record().Find(id))
            command->PushMessage(text);
    }
    queue_.NotifyChanged();
}

void GprsClientSocketWrapper::CompleteCommand(uint64_t id)
{
    {
        std::lock_guard lock(queue_.Mutex());
        TGprsCommandInteract* command = queue_.Record().Find(id);
        if (!command)
            return;
        queue_.Record().Remove(command);
        command->SetState(TGprsCommandInteract::kStateFinished);
        command->SetDone(true);
    }
    queue_.NotifyChanged();
}

// ---------------------------------------------------------------------------------------
// The thread

GprsThread::GprsThread(GprsCommandQueue& queue, GprsTimings timings)
    : queue_(queue), timings_(timings), thread_([this] { Execute(); })
{
}

GprsThread::~GprsThread()
{
    Stop();
}

void GprsThread::Stop()
{
    if (!thread_.joinable())
        return;
    queue_.RequestStop();
    thread_.join();
}

void GprsThread::Execute()
{
    std::string text;
    try {
        GprsClientSocketWrapper connection(queue_, timings_);
        connection.Run();
    } catch (...) {
        // The connection is closed by now; every caller still waiting must learn it.
        text = platform::CurrentExceptionMessage();
    }
    queue_.MarkThreadEnded(text);
}
