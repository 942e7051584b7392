#pragma once

#include <QString>

// Services the report subsystems ask for instead of calling the platform: the program installs
// implementations over Qt windows, tools and tests install their own. Each has a default that
// does nothing visible, so headless code runs without any installed.

// Messages and prompts for the user.
class IUiService {
public:
    virtual ~IUiService() = default;
    // A modal message box with the text (ShowMessage of scripts).
    virtual void ShowMessage(const QString& text) = 0;
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
