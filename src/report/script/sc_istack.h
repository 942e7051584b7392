#pragma once

// The stack guard of the script engine: parsing, building and running a script recurse as
// deep as the script nests, and every such recursion stops with an error of its own before
// the thread's stack runs out.

#include <cstdint>

namespace scinternal {
extern thread_local constinit uintptr_t tStackLimit; // below this frame address the stack is too short
[[noreturn]] void ThrowStackOverflow();
} // namespace scinternal

// Finds the bounds of this thread's stack, once per thread; until then nothing is short.
void ScInitStackGuard();

// Less than a safe margin of the thread's stack is left below the caller. The address of a
// local of the caller's frame stands for the stack pointer: unlike the frame address, taking
// it does not make the caller keep a frame pointer.
[[gnu::always_inline]] inline bool ScStackIsShort()
{
    char probe;
    return reinterpret_cast<uintptr_t>(&probe) < scinternal::tStackLimit;
}

// EStackOverflow when the stack is short. Called at every routine call, statement list and
// access path.
[[gnu::always_inline]] inline void ScCheckStack()
{
    if (ScStackIsShort())
        scinternal::ThrowStackOverflow();
}
