#include "Interact.h"

#include "Texts.h"
#include "platform/Exceptions.h"

#include <utility>

std::string TInteract::PopMessage()
{
    if (messages_.empty())
        return {};
    std::string text = std::move(messages_.front());
    messages_.pop_front();
    return text;
}

void TInteract::SetStatus(std::string text)
{
    status_ = std::move(text);
    statusChanged_ = true;
}

TInteractContainer::TInteractContainer(std::unique_ptr<TInteract> interact)
{
    Reset(std::move(interact));
}

TInteract* TInteractContainer::Lock()
{
    if (!interact_)
        return nullptr;
    lock_.lock();
    return interact_.get();
}

TInteract* TInteractContainer::TryLock()
{
    if (!interact_)
        return nullptr;
    if (!lock_.try_lock())
        return nullptr;
    return interact_.get();
}

void TInteractContainer::Unlock()
{
    lock_.unlock();
}

void TInteractContainer::Reset(std::unique_ptr<TInteract> interact)
{
    std::unique_ptr<TInteract> old;
    {
        std::lock_guard guard(lock_);
        old = std::exchange(interact_, std::move(interact));
    }
}

void CheckProcessAborted(TInteractContainer* container)
{
    if (!container)
        return;
    bool aborted = false;
    {
        TInteractLock state(*container);
        aborted = state && state->GetAbort();
    }
    if (aborted)
        throw platform::Exception(comm::kProcessAbortedText);
}
