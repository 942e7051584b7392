#pragma once

// The user-interface service over Qt's dialogs: message dialogs, prompts, file, colour and font
// dialogs, modal windows and the event pump. The program installs it for the report
// subsystems, and the configurator's own prompts (UserPrompts) go through the same functions.
// The print dialogs need Qt's printing support, which the report engine's windows bring.

#include "report/core/Services.h"

class QDialog;
class QWidget;

class QtUiService : public IUiService {
public:
    void ShowMessage(const QString& text) override;
    int MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool OpenFileDialog(UiFileDialog& dialog) override;
    bool SaveFileDialog(UiFileDialog& dialog) override;
    bool SelectFolder(const QString& title, QString& folder) override;
    bool ColorDialog(uint32_t& rgb) override;
    bool FontDialog(UiFont& font) override;
    int RunModal(QObject& dialog, const QString& caption) override;
    void ProcessEvents() override;
    void ProcessInputEvents() override;
    bool WaitInputEvents() override;
    void OpenUrl(const QUrl& url) override;

    // The same with the window they belong to; `defaultResult` names the button Enter presses
    // (mrNone: the first).
    static int MessageBox(QWidget* parent, const QString& caption, const QString& text, UiMessageType type,
                          uint32_t buttons, int defaultResult = mrNone);
    static bool FileDialog(QWidget* parent, UiFileDialog& dialog, bool save);
    // Shows a dialog modally (exec) and answers its result.
    static int Exec(QDialog& dialog);
    // The family name a font dialog hands back. A font the system lacks (a report's "Arial"
    // drawn with its metric twin) shows in the dialog as the family that stands in for it;
    // when the user keeps that family, the given name stays instead of becoming the stand-in's.
    static QString ChosenFontName(const QString& given, const QString& shown, const QString& chosen);
    // Shows any top-level window application-modal in a local event loop until it is closed,
    // hidden or destroyed; answers its "modalResult" property (mrNone when unset).
    static int ExecWindow(QWidget& window);
};
