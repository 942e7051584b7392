#include "Application.h"

#include "UserPrompts.h"
#include "platform/Exceptions.h"

namespace {

void ShowCurrentException(UserPrompts& prompts)
{
    try {
        prompts.ErrorBox(nullptr, QString::fromStdString(platform::CurrentExceptionMessage()));
    } catch (...) {
        // The error box itself failed: nothing more can be shown.
    }
}

} // namespace

TDaxApplication::TDaxApplication(int& argc, char** argv) : QApplication(argc, argv), prompts_(&UserPrompts::System())
{
}

void TDaxApplication::SetPrompts(UserPrompts* prompts)
{
    prompts_ = prompts ? prompts : &UserPrompts::System();
}

bool TDaxApplication::notify(QObject* receiver, QEvent* event)
{
    return GuardedDelivery(*prompts_, [&] { return QApplication::notify(receiver, event); });
}

bool GuardedDelivery(UserPrompts& prompts, const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (...) {
        ShowCurrentException(prompts);
        return false;
    }
}

int RunGuarded(UserPrompts& prompts, const std::function<int()>& body)
{
    try {
        return body();
    } catch (...) {
        ShowCurrentException(prompts);
        return 1;
    }
}
