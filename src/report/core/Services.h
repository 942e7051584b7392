#pragma once

#include <QString>

#include <cstdint>
#include <initializer_list>

// Services the report subsystems ask for instead of calling the platform: the program installs
// implementations over Qt windows, tools and tests install their own. Each has a default that
// does nothing visible, so headless code runs without any installed.

// The kinds of message dialog (icon) and its buttons and results, numbered as the run-time
// library numbers them (TMsgDlgType, TMsgDlgBtn, mrXxx).
enum class UiMessageType : int { Warning, Error, Information, Confirmation, Custom };

enum UiMessageButton : int {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp
};

inline constexpr uint32_t UiButtons(std::initializer_list<UiMessageButton> buttons)
{
    uint32_t mask = 0;
    for (UiMessageButton b : buttons)
        mask |= uint32_t{1} << b;
    return mask;
}

enum UiModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
    mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

// Messages and prompts for the user.
class IUiService {
public:
    virtual ~IUiService() = default;
    // A modal message box with the text (ShowMessage of scripts).
    virtual void ShowMessage(const QString& text) = 0;
    // A modal message dialog with a caption (the application's title when empty), the icon of
    // its type and the buttons of the mask; answers the button pressed as a modal result.
    // Without a user (headless) nothing is shown and the answer is mrNone.
    virtual int MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons);
    // Opens the help file at a topic ("::/Designer.htm"). There is no help file in this system:
    // the default does nothing.
    virtual void ShowHelp(const QString& file, const QString& topic);
};

// The clock of scripts (Now, Date, Time): the program's is the system's local time, tests fix it.
class IClockService {
public:
    virtual ~IClockService() = default;
    // Local date and time as days since 30 December 1899.
    virtual double Now() = 0;
};

// The random numbers of scripts (Random, Randomize): tests fix the sequence.
class IRandomService {
public:
    virtual ~IRandomService() = default;
    // Seeds the sequence from the clock.
    virtual void Randomize() = 0;
    // The next number, 0 inclusive to 1 exclusive.
    virtual double Next() = 0;
};

namespace ReportServices {

// The installed user-interface service, or one that drops every message.
IUiService& Ui();
// Installs a service (nullptr: the default again). The caller keeps it alive while installed.
void SetUi(IUiService* service);

// The installed clock, or the system's local time.
IClockService& Clock();
void SetClock(IClockService* service);

// The installed random numbers, or a generator seeded once per program run.
IRandomService& Random();
void SetRandom(IRandomService* service);

} // namespace ReportServices
