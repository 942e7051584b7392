#include "ProcessThread.h"

#include "comm/Texts.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <exception>

void ProcessAlgorithm::CheckAbort()
{
    CheckProcessAborted(Container);
}

int32_t ProcessAlgorithm::Percent(int32_t done, int32_t offset, int32_t total)
{
    if (total == 0)
        return 0;
    const int64_t percent = (static_cast<int64_t>(done) + offset) * 100 / total;
    return static_cast<int32_t>(std::min<int64_t>(percent, 100));
}

void ProcessAlgorithm::UpdateProgress()
{
    if (!Container)
        return;
    TInteractLock state(*Container);
    if (state)
        state->SetProgress(Percent(Done, Offset, Total));
}

void ProcessAlgorithm::SetStatus(const std::string& text)
{
    if (!Container)
        return;
    TInteractLock state(*Container);
    if (state)
        state->SetStatus(text);
}

AlgorithmThread::AlgorithmThread(std::unique_ptr<ProcessAlgorithm> algorithm)
    : algorithm_(std::move(algorithm)), container_(algorithm_ ? algorithm_->Container : nullptr)
{
}

AlgorithmThread::~AlgorithmThread()
{
    Join();
}

void AlgorithmThread::Start()
{
    if (thread_.joinable())
        return;
    thread_ = std::thread(&AlgorithmThread::Execute, algorithm_.get(), container_);
}

void AlgorithmThread::Join()
{
    if (thread_.joinable())
        thread_.join();
}

void AlgorithmThread::Execute(ProcessAlgorithm* algorithm, TInteractContainer* container)
{
    try {
        if (algorithm)
            algorithm->Run();
    } catch (...) {
        // Whatever ended the run, the main thread learns why: a failure without a text of
        // its own gets a generic one rather than passing silently.
        std::string message = platform::CurrentExceptionMessage();
        if (message.empty())
            message = comm::kUnknownErrorText;
        if (container) {
            TInteractLock state(*container);
            if (state) {
                state->PushMessage(std::move(message));
                state->SetError(3);
            }
        }
    }
    if (container) {
        TInteractLock state(*container);
        if (state)
            state->SetDone(true);
    }
}

ProcessPool::~ProcessPool()
{
    AbortAll();
    // Every wait is bounded by the exchange time-outs of the worker's current operation,
    // after which it sees the abort flag.
    for (auto& entry : entries_) {
        if (entry->Thread)
            entry->Thread->Join();
    }
}

ProcessDesctiptionStruct* ProcessPool::Item(int32_t index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return entries_[static_cast<size_t>(index)].get();
}

ProcessDesctiptionStruct* ProcessPool::FindByKind(int32_t kind) const
{
    for (const auto& entry : entries_) {
        if (entry->Kind == kind)
            return entry.get();
    }
    return nullptr;
}

ProcessDesctiptionStruct* ProcessPool::Add(int32_t kind)
{
    if (Count() >= kMaxProcesses)
        return nullptr;
    auto entry = std::make_unique<ProcessDesctiptionStruct>();
    entry->Kind = kind;
    entries_.push_back(std::move(entry));
    return entries_.back().get();
}

void ProcessPool::Remove(ProcessDesctiptionStruct* entry)
{
    if (!entry)
        return;
    const auto it = std::find_if(entries_.begin(), entries_.end(), [entry](const auto& e) { return e.get() == entry; });
    if (it == entries_.end())
        return;
    std::unique_ptr<ProcessDesctiptionStruct> removed = std::move(*it);
    entries_.erase(it);
    // The worker's last access is setting done; join before its container goes.
    if (removed->Thread)
        removed->Thread->Join();
}

ProcessDesctiptionStruct* ProcessPool::Start(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id,
                                             std::string finalMessage)
{
    ProcessDesctiptionStruct* entry = Add(kind);
    if (!entry)
        return nullptr;
    entry->Container = std::make_unique<TInteractContainer>(std::make_unique<TInteract>());
    algorithm->Container = entry->Container.get();
    entry->Id = id;
    entry->FinalMessage = std::move(finalMessage);
    entry->Thread = std::make_unique<AlgorithmThread>(std::move(algorithm));
    entry->Thread->Start();
    return entry;
}

void ProcessPool::Poll(const std::function<void(const std::string&)>& print)
{
    // Handlers may start processes, which adds entries: walk a snapshot of this poll's entries.
    std::vector<ProcessDesctiptionStruct*> snapshot;
    for (const auto& entry : entries_)
        snapshot.push_back(entry.get());
    std::vector<ProcessDesctiptionStruct*> finished;
    for (ProcessDesctiptionStruct* entry : snapshot) {
        if (!entry->Container)
            continue;
        bool done = false;
        int32_t error = 0;
        try {
            {
                TInteractLock state(*entry->Container);
                if (!state)
                    continue;
                if (entry->OnProgress)
                    entry->OnProgress(state->GetProgress());
                if (state->StatusChanged()) {
                    state->SetStatusChanged(false);
                    if (entry->OnStatus)
                        entry->OnStatus(state.get());
                }
                while (state->MessageCount() > 0) {
                    const std::string message = state->PopMessage();
                    if (print)
                        print(message);
                }
                done = state->GetDone();
                error = state->GetError();
            }
            if (!done)
                continue;
            // The handlers run without the lock: they may start new processes or take other locks.
            if (entry->OnProgress)
                entry->OnProgress(0);
            if (error == 0) {
                if (entry->OnDone)
                    entry->OnDone(entry->Id);
                if (!entry->FinalMessage.empty() && print)
                    print(entry->FinalMessage);
            } else if (entry->OnError) {
                entry->OnError(entry->Id, error);
            }
        } catch (...) {
            // A handler that throws would otherwise throw again at every poll and keep its entry
            // for ever. Its text goes to the console and the process is dropped: at once when it
            // has ended, otherwise asked to stop, with no handler called again, and removed when
            // its worker reports done (removing it now would wait for the worker on this thread).
            std::string message = platform::CurrentExceptionMessage();
            if (print)
                print(message.empty() ? std::string(comm::kUnknownErrorText) : message);
            if (!done) {
                Abandon(*entry);
                continue;
            }
        }
        finished.push_back(entry);
    }
    for (ProcessDesctiptionStruct* entry : finished)
        Remove(entry);
}

void ProcessPool::Abandon(ProcessDesctiptionStruct& entry)
{
    entry.OnStatus = nullptr;
    entry.OnDone = nullptr;
    entry.OnProgress = nullptr;
    entry.OnError = nullptr;
    entry.FinalMessage.clear();
    TInteractLock state(*entry.Container);
    if (state)
        state->SetAbort(true);
}

void ProcessPool::AbortAll()
{
    for (const auto& entry : entries_) {
        if (!entry->Container)
            continue;
        TInteractLock state(*entry->Container);
        if (state)
            state->SetAbort(true);
    }
}
