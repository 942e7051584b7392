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

namespace ReportServices {

// The installed user-interface service, or one that drops every message.
IUiService& Ui();
// Installs a service (nullptr: the default again). The caller keeps it alive while installed.
void SetUi(IUiService* service);

} // namespace ReportServices
