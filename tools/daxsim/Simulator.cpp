#include "Simulator.h"

#include "comm/Sysutil.h"

#include <algorithm>

namespace daxsim {

Simulator::Simulator(InstrumentState state, uint8_t address, FaultOptions faults)
    : instrument_(std::move(state), address), faults_(faults)
{
}

Reply Simulator::Respond(std::span<const uint8_t> request)
{
    std::vector<uint8_t> answer = instrument_.Answer(request);
    if (answer.empty())
        return {};
    FaultOptions faults;
    uint64_t index;
    RequestRecord record = DescribeRequest(request);
    std::function<void(const RequestRecord&)> observer;
    {
        std::lock_guard lock(mutex_);
        faults = faults_;
        index = requests_++;
        if (requestLog_.size() >= kMaxLoggedRequests)
            requestLog_.pop_front();
        requestLog_.push_back(record);
        observer = observer_;
    }
    if (observer)
        observer(record);
    if (index < static_cast<uint64_t>(std::max(faults.SilentRequests, 0)))
        return {};

    Reply reply;
    reply.DelayMs = std::max(faults.DelayMs, 0);
    if (faults.Baud > 0) {
        reply.ByteTime = std::chrono::microseconds(10'000'000 / faults.Baud);
        reply.RequestTime = reply.ByteTime * static_cast<int64_t>(request.size());
    }
    const bool faulted = faults.FaultRequests <= 0 || index < static_cast<uint64_t>(faults.FaultRequests);
    if (faulted) {
        if (faults.ExceptionCode > 0)
            answer = ExceptionAnswer(answer[0], request[1], static_cast<uint8_t>(faults.ExceptionCode));
        if (faults.WrongFunction) {
            answer.resize(answer.size() - 2);
            answer[1] = static_cast<uint8_t>(answer[1] ^ 0x20);
            AppendCrc(answer);
        }
        if (faults.BadCrc)
            answer.back() ^= 0x5A;
        if (faults.TruncateTo >= 0 && static_cast<size_t>(faults.TruncateTo) < answer.size())
            answer.resize(static_cast<size_t>(faults.TruncateTo));
        if (faults.SplitAt > 0 && static_cast<size_t>(faults.SplitAt) < answer.size()) {
            reply.SplitAt = static_cast<size_t>(faults.SplitAt);
            reply.GapMs = std::max(faults.SplitGapMs, 0);
        }
        if (faults.LateMs > 0)
            reply.DelayMs = faults.LateMs;
    }
    reply.Bytes = std::move(answer);
    return reply;
}

void Simulator::SetFaults(const FaultOptions& faults)
{
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

FaultOptions Simulator::Faults() const
{
    std::lock_guard lock(mutex_);
    return faults_;
}

uint64_t Simulator::RequestCount() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

uint64_t Simulator::RepliesSent() const
{
    std::lock_guard lock(mutex_);
    return repliesSent_;
}

void Simulator::NoteReplySent()
{
    {
        std::lock_guard lock(mutex_);
        ++repliesSent_;
    }
    repliesChanged_.notify_all();
}

bool Simulator::WaitForRepliesSent(uint64_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return repliesChanged_.wait_for(lock, timeout, [&] { return repliesSent_ >= count; });
}

std::vector<RequestRecord> Simulator::RequestLog() const
{
    std::lock_guard lock(mutex_);
    return {requestLog_.begin(), requestLog_.end()};
}

void Simulator::ClearRequestLog()
{
    std::lock_guard lock(mutex_);
    requestLog_.clear();
}

void Simulator::SetRequestObserver(std::function<void(const RequestRecord&)> observer)
{
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

namespace {

uint16_t WordAt(std::span<const uint8_t> frame, size_t offset)
{
    return static_cast<uint16_t>((frame[offset] << 8) | frame[offset + 1]);
}

} // namespace

RequestRecord DescribeRequest(std::span<const uint8_t> request)
{
    RequestRecord record;
    if (request.size() < 2)
        return record;
    record.Function = request[1];
    // The frame without its CRC.
    const std::span<const uint8_t> frame = request.size() >= 4 ? request.first(request.size() - 2) : request;
    switch (record.Function) {
    case 0x03:
    case 0x04:
    case 0x10:
        if (frame.size() >= 6) {
            record.First = (record.Function == 0x04 ? 30001 : 40001) + WordAt(frame, 2);
            record.Count = WordAt(frame, 4);
        }
        if (record.Function == 0x10 && frame.size() >= 7) {
            for (size_t offset = 7; offset + 1 < frame.size(); offset += 2)
                record.Values.push_back(WordAt(frame, offset));
        }
        break;
    case 0x41:
        if (frame.size() >= 7) {
            record.First = frame[2];
            record.Start = frame[4] | (frame[5] << 8);
            record.Count = frame[6];
        }
        break;
    default: break;
    }
    return record;
}

std::string RequestLine(const RequestRecord& record)
{
    std::string line = FormatText("0x%02X", unsigned{record.Function});
    switch (record.Function) {
    case 0x03:
    case 0x04:
    case 0x10:
        line += FormatText(" %d x%d", static_cast<int>(record.First), static_cast<int>(record.Count));
        if (!record.Values.empty()) {
            line += " =";
            for (const uint16_t value : record.Values)
                line += FormatText(" %04X", unsigned{value});
        }
        break;
    case 0x41:
        line += FormatText(" type %d from %d x%d", static_cast<int>(record.First), static_cast<int>(record.Start),
                           static_cast<int>(record.Count));
        break;
    default: break;
    }
    return line;
}

bool ParseModel(std::string_view text, Model& model)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (upper == "DAX-01") {
        model = Model::Dax01;
        return true;
    }
    if (upper == "DAX-02") {
        model = Model::Dax02;
        return true;
    }
    return false;
}

} // namespace daxsim
