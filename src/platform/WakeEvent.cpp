#include "WakeEvent.h"

#include "Exceptions.h"

#include <cerrno>
#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

WakeEvent::WakeEvent() : handle_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (handle_ < 0)
        throw win_error(errno);
}

WakeEvent::~WakeEvent()
{
    ::close(handle_);
}

void WakeEvent::Signal()
{
    const uint64_t one = 1;
    // A full counter (EAGAIN) already wakes the waiter; nothing else can fail here.
    [[maybe_unused]] const ssize_t written = ::write(handle_, &one, sizeof one);
}

void WakeEvent::Clear()
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(handle_, &count, sizeof count);
}

} // namespace platform
