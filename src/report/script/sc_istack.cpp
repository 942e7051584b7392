#include "sc_istack.h"

#include "report/core/ScriptErrors.h"

#include <pthread.h>

#include <algorithm>
#include <cstddef>

namespace scinternal {

thread_local constinit uintptr_t tStackLimit = 0;

void ThrowStackOverflow()
{
    throw EStackOverflow();
}

} // namespace scinternal

// Leaves an eighth of the thread's stack (between 512 KiB and 4 MiB) for what runs between
// two checks (routine calls, statement lists and access paths check): expressions of bounded
// depth, native code and the error's unwinding.
void ScInitStackGuard()
{
    using scinternal::tStackLimit;
    if (tStackLimit != 0)
        return;
    pthread_attr_t attributes;
    void* low = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        pthread_attr_getstack(&attributes, &low, &size);
        pthread_attr_destroy(&attributes);
    }
    const uintptr_t here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    if (low == nullptr || size == 0 || here < reinterpret_cast<uintptr_t>(low) ||
        here > reinterpret_cast<uintptr_t>(low) + size) {
        // Unknown stack: assume the usual 8 MiB below this frame.
        size = size_t{8} << 20;
        low = reinterpret_cast<void*>(here > size ? here - size : 0);
    }
    const size_t margin = std::clamp(size / 8, size_t{512} << 10, size_t{4} << 20);
    tStackLimit = reinterpret_cast<uintptr_t>(low) + margin;
}
