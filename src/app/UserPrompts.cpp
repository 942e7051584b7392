#include "UserPrompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

const char* const kProgramCaption = "Dax Конфигуратор";

namespace {

class DesktopPrompts : public UserPrompts {
public:
    bool Question(QWidget* parent, const QString& caption, const QString& text) override
    {
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    }

    QString OpenFileName(QWidget* parent, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    }

    QString SaveFileName(QWidget* parent, const QString& proposedName, const QString& filter,
                         const QString& defaultSuffix) override
    {
        QFileDialog dialog(parent, QString(), QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        dialog.selectFile(proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().front();
    }

    int RunModal(QDialog& dialog) override { return dialog.exec(); }

    void ErrorBox(QWidget* parent, const QString& text) override
    {
        QMessageBox::critical(parent, QString::fromUtf8(kProgramCaption), text);
    }
};

} // namespace

UserPrompts& UserPrompts::System()
{
    static DesktopPrompts prompts;
    return prompts;
}
