#pragma once

// Helpers of the window tests: finding children by name, waiting on the event loop.
#include <QApplication>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace apptest {

// The child of that name and type; a test failure when there is none.
template <typename T>
T* Child(const QObject& root, const char* name)
{
    T* child = root.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << "no child " << name;
    return child;
}

// Runs the event loop until the condition holds or the time is up; true when it held.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds limit = std::chrono::milliseconds(10000))
{
    return QTest::qWaitFor(condition, static_cast<int>(limit.count()));
}

} // namespace apptest
