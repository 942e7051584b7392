#pragma once

#include "comm/Interact.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// A background operation. Run executes on the process's worker thread and reports failure
// by throwing; the helpers report progress and status through the process's shared state.
class ProcessAlgorithm {
public:
    explicit ProcessAlgorithm(TInteractContainer* container = nullptr) : Container(container) {}
    virtual ~ProcessAlgorithm() = default;
    ProcessAlgorithm(const ProcessAlgorithm&) = delete;
    ProcessAlgorithm& operator=(const ProcessAlgorithm&) = delete;

    virtual void Run() {}

    // Throws comm::kProcessAbortedText once the process was asked to stop.
    void CheckAbort();
    // Stores the percent of (Done + Offset) against Total.
    void UpdateProgress();
    void SetStatus(const std::string& text);

    // (done + offset) * 100 / total, truncated, at most 100; 0 while total is 0.
    static int32_t Percent(int32_t done, int32_t offset, int32_t total);

    TInteractContainer* Container; // the process's shared state; not owned; may be none
    int32_t Done = 0;              // steps done so far
    int32_t Offset = 0;            // steps to count as done besides Done
    int32_t Total = 0;             // steps expected; 0 until counted
};

// The worker thread of one process. It owns its algorithm; it is owned by its pool entry,
// which joins it, so no thread outlives the objects it uses.
class AlgorithmThread {
public:
    explicit AlgorithmThread(std::unique_ptr<ProcessAlgorithm> algorithm);
    ~AlgorithmThread();
    AlgorithmThread(const AlgorithmThread&) = delete;
    AlgorithmThread& operator=(const AlgorithmThread&) = delete;

    // Starts the worker (threads are created suspended, as the container must be in place first).
    void Start();
    // Waits until the worker has ended; does nothing when it never started.
    void Join();

    // The thread body: runs the algorithm, turns any exception into error code 3 with its
    // message queued (comm::kUnknownErrorText when it has none), and sets done as the last access.
    static void Execute(ProcessAlgorithm* algorithm, TInteractContainer* container);

private:
    std::unique_ptr<ProcessAlgorithm> algorithm_;
    TInteractContainer* container_; // copied from the algorithm; not owned
    std::thread thread_;
};

// One running process of the pool.
struct ProcessDesctiptionStruct {
    int32_t Kind = 0;
    std::unique_ptr<AlgorithmThread> Thread;        // joined when the entry is removed
    std::unique_ptr<TInteractContainer> Container;  // the shared state
    std::function<void(TInteract*)> OnStatus;
    std::function<void(int32_t id)> OnDone;
    std::function<void(int32_t percent)> OnProgress;
    std::function<void(int32_t id, int32_t error)> OnError;
    int32_t Id = -1;
    std::string FinalMessage;
};

// The running processes, in the order they were started. Used by the main thread only.
class ProcessPool {
public:
    static constexpr int32_t kMaxProcesses = 10;

    ProcessPool() = default;
    // Asks every remaining process to stop and waits for all of them.
    ~ProcessPool();
    ProcessPool(const ProcessPool&) = delete;
    ProcessPool& operator=(const ProcessPool&) = delete;

    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    ProcessDesctiptionStruct* Item(int32_t index) const;
    ProcessDesctiptionStruct* FindByKind(int32_t kind) const;
    // None when kMaxProcesses entries exist already.
    ProcessDesctiptionStruct* Add(int32_t kind);
    // Removes the entry, waiting for its worker to end, and frees its shared state.
    void Remove(ProcessDesctiptionStruct* entry);

    // Adds an entry, gives the algorithm its shared state and starts its thread. Returns
    // none when the pool is full: the algorithm is then destroyed and nothing runs (the caller
    // prints dax_namespace::kProcessPoolFullText).
    ProcessDesctiptionStruct* Start(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id,
                                    std::string finalMessage);

    // One poll of the main thread: for each entry reports progress and status, prints every
    // queued message, and for a finished process calls OnProgress(0), then OnDone and prints
    // its final message, or OnError; finished entries are removed. A handler that throws has
    // its text printed and its process dropped (see Abandon); the poll goes on with the next.
    void Poll(const std::function<void(const std::string&)>& print);

    // Sets the abort flag of every process.
    void AbortAll();

private:
    // Asks a running process to stop and forgets its handlers and final message; the poll
    // removes the entry once its worker reports done.
    static void Abandon(ProcessDesctiptionStruct& entry);

    std::vector<std::unique_ptr<ProcessDesctiptionStruct>> entries_;
};
