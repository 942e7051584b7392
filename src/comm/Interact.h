#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

// The state one background operation shares with the main thread: abort and done flags,
// error code, percent, status text and a queue of messages for the console. Every field is
// read and written only by a thread that holds the owning container's lock.
class TInteract {
public:
    TInteract() = default;
    virtual ~TInteract() = default;
    TInteract(const TInteract&) = delete;
    TInteract& operator=(const TInteract&) = delete;

    // 0 a plain state; derived records of the relay channel return their own kinds.
    virtual int32_t InteractType() const { return 0; }

    virtual void SetAbort(bool value) { abort_ = value; }
    bool GetAbort() const { return abort_; }
    virtual void SetDone(bool value) { done_ = value; }
    bool GetDone() const { return done_; }
    void SetError(int32_t value) { error_ = value; }
    int32_t GetError() const { return error_; }
    void SetProgress(int32_t value) { progress_ = value; }
    int32_t GetProgress() const { return progress_; }

    size_t MessageCount() const { return messages_.size(); }
    void PushMessage(std::string text) { messages_.push_back(std::move(text)); }
    // The oldest message, or an empty text when none is queued.
    std::string PopMessage();

    // Sets the status-changed flag even when the text is the same as before.
    void SetStatus(std::string text);
    std::string GetStatus() const { return status_; }
    void SetStatusChanged(bool value) { statusChanged_ = value; }
    bool StatusChanged() const { return statusChanged_; }

private:
    bool abort_ = false;
    bool done_ = false;
    int32_t error_ = 0;        // 0 success; 3 the worker ended with an exception
    int32_t progress_ = 0;     // percent, 0..100 (writers clamp)
    bool statusChanged_ = false;
    std::deque<std::string> messages_;
    std::string status_;
};

// Owns one TInteract and guards it. Lock waits until the state is free, TryLock does not
// wait; both return the state to the holder. Unlock must come from the thread that locked.
class TInteractContainer {
public:
    explicit TInteractContainer(std::unique_ptr<TInteract> interact);
    TInteractContainer(const TInteractContainer&) = delete;
    TInteractContainer& operator=(const TInteractContainer&) = delete;

    // Returns none, and takes no lock, when the container holds nothing.
    TInteract* Lock();
    TInteract* TryLock();
    void Unlock();

    // Puts a new state in place of the old one under the lock.
    void Reset(std::unique_ptr<TInteract> interact);

private:
    std::mutex lock_;
    std::unique_ptr<TInteract> interact_;
};

// Holds a container's lock for one scope: `TInteractLock state(container); state->SetProgress(5);`
class TInteractLock {
public:
    explicit TInteractLock(TInteractContainer& container) : container_(&container), interact_(container.Lock()) {}
    ~TInteractLock()
    {
        if (interact_)
            container_->Unlock();
    }
    TInteractLock(const TInteractLock&) = delete;
    TInteractLock& operator=(const TInteractLock&) = delete;

    TInteract* get() const { return interact_; }
    TInteract* operator->() const { return interact_; }
    TInteract& operator*() const { return *interact_; }
    explicit operator bool() const { return interact_ != nullptr; }

private:
    TInteractContainer* container_;
    TInteract* interact_;
};

// Throws comm::kProcessAbortedText when the operation was asked to stop. The lock is free
// again before the throw. A missing container never aborts.
void CheckProcessAborted(TInteractContainer* container);
