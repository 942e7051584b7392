#pragma once

#include "Frames.h"
#include "comm/ChanelHelper.h"
#include "comm/Crc16.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// What the channel does for one attempt.
struct ScriptedReply {
    std::vector<uint8_t> bytes;          // put into the answer buffer (cut to its size)
    std::optional<int32_t> count;        // returned instead of the number of bytes put
    std::string failure;                 // when set, the attempt throws platform::Exception with it

    static ScriptedReply Answer(std::vector<uint8_t> bytes) { return {std::move(bytes), std::nullopt, {}}; }
    static ScriptedReply Silence() { return {{}, -1, {}}; }
    static ScriptedReply Failure(std::string text) { return {{}, std::nullopt, std::move(text)}; }
};

struct RecordedTransaction {
    std::vector<uint8_t> request;
    size_t expectedLength;
    TInteractContainer* target;
};

struct RecordedTimeouts {
    int32_t firstByteMs;
    int32_t interByteMs;
    TInteractContainer* target;
};

// A channel that plays queued replies one per attempt, or asks a responder when the queue is
// empty (silence when there is none), and records every request and time-out setting.
class ScriptedChanel : public TChanelHelperBase {
public:
    using Responder = std::function<ScriptedReply(const std::vector<uint8_t>& request)>;

    ChanelKind Kind() const override { return ChanelKind::Tcp; }
    bool IsOpen() override { return true; }

    void SetAddress(int32_t address) { SetDeviceAddress(address); }
    void Queue(ScriptedReply reply)
    {
        std::lock_guard lock(mutex_);
        replies_.push_back(std::move(reply));
    }
    void SetResponder(Responder responder)
    {
        std::lock_guard lock(mutex_);
        responder_ = std::move(responder);
    }
    // Called at the start of every attempt, outside the channel's own lock.
    void SetOnTransact(std::function<void()> hook) { onTransact_ = std::move(hook); }

    void SetTimeouts(int32_t firstByteMs, int32_t interByteMs, TInteractContainer* target) override
    {
        std::lock_guard lock(mutex_);
        timeouts_.push_back({firstByteMs, interByteMs, target});
    }

    int32_t Transact(std::span<const uint8_t> request, std::span<uint8_t> answer, TInteractContainer* target) override
    {
        if (onTransact_)
            onTransact_();
        ScriptedReply reply = ScriptedReply::Silence();
        {
            std::lock_guard lock(mutex_);
            transactions_.push_back({{request.begin(), request.end()}, answer.size(), target});
            if (!replies_.empty()) {
                reply = std::move(replies_.front());
                replies_.pop_front();
            } else if (responder_) {
                reply = responder_(transactions_.back().request);
            }
        }
        if (!reply.failure.empty())
            throw platform::Exception(reply.failure);
        const size_t put = std::min(reply.bytes.size(), answer.size());
        std::copy_n(reply.bytes.begin(), put, answer.begin());
        return reply.count ? *reply.count : static_cast<int32_t>(put);
    }

    std::vector<RecordedTransaction> Transactions() const
    {
        std::lock_guard lock(mutex_);
        return transactions_;
    }
    std::vector<RecordedTimeouts> Timeouts() const
    {
        std::lock_guard lock(mutex_);
        return timeouts_;
    }

private:
    mutable std::mutex mutex_;
    std::deque<ScriptedReply> replies_;
    Responder responder_;
    std::function<void()> onTransact_;
    std::vector<RecordedTransaction> transactions_;
    std::vector<RecordedTimeouts> timeouts_;
};

} // namespace testsupport
