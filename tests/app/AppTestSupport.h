#pragma once

// Helpers of the window tests: finding children by name, waiting on the event loop, reading
// the main window's console, lights and channel button.
#include "app/MainFrame.h"
#include "presentation/ControlPort.h"
#include "presentation/ExchangeInfo.h"

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

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

inline QString Console(const TMainForm& form)
{
    return Child<QPlainTextEdit>(form, "ConsoleMemo")->toPlainText();
}

inline QStringList ConsoleLines(const TMainForm& form)
{
    const QString text = Console(form);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

inline QColor LightOf(const TMainForm& form, const char* name)
{
    return Child<QLabel>(form, name)->palette().color(QPalette::Window);
}

// The caption of the open/close button.
inline QString Caption(const TMainForm& form)
{
    return Child<QPushButton>(form, "OpenPort")->text();
}

// The state of a control a binding shows, for comparing two frames.
struct Shown {
    std::string name;
    std::string text;
    int32_t value;
    std::optional<ControlDate> date;
    std::optional<ControlTime> time;

    friend bool operator==(const Shown&, const Shown&) = default;
};

inline void PrintTo(const Shown& s, std::ostream* out)
{
    *out << s.name << " \"" << s.text << "\" " << s.value;
}

// Every control the bindings of a group (-1: all groups) show, in binding order.
inline std::vector<Shown> GroupShown(TDax_Frame& frame, int32_t group)
{
    std::vector<Shown> shown;
    frame.Bindings().ForEach(group, [&shown](ExchangeInfo& binding) {
        if (const ControlPort* port = binding.Control())
            shown.push_back({port->ComponentName(), port->Text(), port->Value(), port->Date(), port->Time()});
    });
    return shown;
}

} // namespace apptest
