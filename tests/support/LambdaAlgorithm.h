#pragma once

#include "device/ProcessThread.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace testsupport {

// A background operation whose Run is the given body; counts its destruction when asked.
class LambdaAlgorithm : public ProcessAlgorithm {
public:
    explicit LambdaAlgorithm(std::function<void(ProcessAlgorithm&)> body, std::atomic<int>* destroyed = nullptr)
        : body_(std::move(body)), destroyed_(destroyed)
    {
    }
    ~LambdaAlgorithm() override
    {
        if (destroyed_)
            ++*destroyed_;
    }
    void Run() override { body_(*this); }

private:
    std::function<void(ProcessAlgorithm&)> body_;
    std::atomic<int>* destroyed_;
};

// Stands for a worker inside a long exchange: it ends only when told to stop.
inline void UntilAborted(ProcessAlgorithm& algorithm)
{
    for (;;) {
        algorithm.CheckAbort();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Queues a message for the console, as a worker's log does.
inline void QueueMessage(ProcessAlgorithm& algorithm, const std::string& text)
{
    if (!algorithm.Container)
        return;
    TInteractLock state(*algorithm.Container);
    if (state)
        state->PushMessage(text);
}

// True once the process's worker has set done.
inline bool WorkerDone(const ProcessDesctiptionStruct& entry)
{
    if (!entry.Container)
        return true;
    TInteractLock state(*entry.Container);
    return !state || state->GetDone();
}

} // namespace testsupport
