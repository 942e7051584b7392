#pragma once

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>

namespace testsupport {

// The message of whatever the action throws (our exceptions, standard ones, a thrown text),
// or "no exception" when it returns.
inline std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (...) {
        return platform::CurrentExceptionMessage();
    }
    return "no exception";
}

// Runs the operation and returns the message of the exception it ends with, checking that the
// caller sees the ordinary exception class; "" when it returns.
inline std::string FailureText(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const platform::Exception& failure) {
        EXPECT_EQ(typeid(failure), typeid(platform::Exception)) << failure.Message();
        return failure.Message();
    }
    return {};
}

} // namespace testsupport
