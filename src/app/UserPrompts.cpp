#include "UserPrompts.h"

#include <QDir>

#include "report/script/ui/QtUiService.h"

#include <QDialog>

const char* const kProgramCaption = "Dax Конфигуратор";

namespace {

// The configurator's prompts are the report subsystems' user-interface service with the
// window they belong to: one Qt implementation of message boxes, file dialogs and modal runs.
class DesktopPrompts : public UserPrompts {
public:
    bool Question(QWidget* parent, const QString& caption, const QString& text) override
    {
        return QtUiService::MessageBox(parent, caption, text, UiMessageType::Confirmation, UiButtons({mbYes, mbNo}),
                                       mrNo) == mrYes;
    }

    QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) override
    {
        UiFileDialog dialog;
        dialog.Filter = filter;
        dialog.InitialDir = folder;
        dialog.FileMustExist = true;
        return QtUiService::FileDialog(parent, dialog, false) ? dialog.FileName : QString();
    }

    QString SaveFileName(QWidget* parent, const QString& folder, const QString& proposedName, const QString& filter,
                         const QString& defaultSuffix) override
    {
        UiFileDialog dialog;
        dialog.Filter = filter;
        dialog.InitialDir = folder;
        dialog.FileName = proposedName.isEmpty() ? QString() : QDir(folder).filePath(proposedName);
        dialog.DefaultExt = defaultSuffix;
        dialog.OverwritePrompt = true;
        return QtUiService::FileDialog(parent, dialog, true) ? dialog.FileName : QString();
    }

    int RunModal(QDialog& dialog) override { return QtUiService::Exec(dialog); }

    void ErrorBox(QWidget* parent, const QString& text) override
    {
        QtUiService::MessageBox(parent, QString::fromUtf8(kProgramCaption), text, UiMessageType::Error,
                                UiButtons({mbOK}));
    }
};

} // namespace

UserPrompts& UserPrompts::System()
{
    static DesktopPrompts prompts;
    return prompts;
}
