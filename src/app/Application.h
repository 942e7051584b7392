#pragma once

#include <QApplication>

#include <functional>

class UserPrompts;

// The program's application object. An exception that escapes an event handler is shown in
// the error box and the program goes on; the windows guard their handlers themselves, this is
// the net beneath them.
class TDaxApplication : public QApplication {
    Q_OBJECT

public:
    TDaxApplication(int& argc, char** argv);

    // The prompts that show the error box (the desktop's by default); not owned.
    void SetPrompts(UserPrompts* prompts);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    UserPrompts* prompts_;
};

// Runs one delivery; an exception it lets out is shown in the error box and gives false.
bool GuardedDelivery(UserPrompts& prompts, const std::function<bool()>& deliver);

// Runs the start-up and the event loop: their result, or after an exception that escapes
// them the error box and exit status 1 (a start that failed is no success).
int RunGuarded(UserPrompts& prompts, const std::function<int()>& body);
