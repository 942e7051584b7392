#pragma once

// Runs a piece of a test on a thread of its own with a large stack. Tests that measure how deep
// scripts may nest compare the engine's nesting limits with its stack guard: with the frames of
// an optimised build the limits are what stops a script, but an instrumented build
// (AddressSanitizer) makes every frame several times larger, and on the default 8 MiB stack
// the guard would stop it first. The guard measures the stack of the thread it runs on, so
// the comparison holds in every build on a stack this large.

#include <pthread.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <stdexcept>

namespace testsupport {

inline void RunOnLargeStack(const std::function<void()>& body, size_t stackBytes = size_t{256} << 20)
{
    struct Job {
        const std::function<void()>* body;
        std::exception_ptr failure;
    } job{&body, nullptr};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    const int started = pthread_create(
        &thread, &attributes,
        [](void* argument) -> void* {
            auto* running = static_cast<Job*>(argument);
            try {
                (*running->body)();
            } catch (...) {
                running->failure = std::current_exception();
            }
            return nullptr;
        },
        &job);
    pthread_attr_destroy(&attributes);
    if (started != 0)
        throw std::runtime_error("cannot start a thread with a large stack");
    pthread_join(thread, nullptr);
    if (job.failure)
        std::rethrow_exception(job.failure);
}

} // namespace testsupport
