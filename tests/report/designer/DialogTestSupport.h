#pragma once

// What the editor dialog tests share: the scripted user-interface service answering each modal
// dialog with the next step of a queue, a designer whose InsertExpression answers what a test
// sets, and a helper that closes a dialog with OK or Cancel as its buttons do.

#include "SaveScreenshot.h"
#include "StandInDesigner.h"

#include "report/core/Services.h"
#include "report/designer/DesignerRuntime.h"
#include "report/script/ScriptedUi.h"

#include <QDialog>

#include <deque>
#include <functional>

class ExpressionDesigner : public StandInDesigner {
public:
    using StandInDesigner::StandInDesigner;
    QString InsertExpression(const QString& expression) override
    {
        Asked.append(expression);
        return Answer;
    }
    QString Answer;
    QStringList Asked;
};

// The scripted service with the prompts the dialogs use answered from fields: message boxes
// are recorded and answered OK, file dialogs take the next name (none left: cancelled), the
// colour and font dialogs answer what a test sets.
class DialogUi : public ScriptedUi {
public:
    int MessageDlg(const QString&, const QString& text, UiMessageType, uint32_t) override
    {
        Errors.append(text);
        return mrOk;
    }
    bool OpenFileDialog(UiFileDialog& dialog) override { return NextFile(dialog); }
    bool SaveFileDialog(UiFileDialog& dialog) override { return NextFile(dialog); }
    bool ColorDialog(uint32_t& rgb) override
    {
        if (ColorAnswer < 0)
            return false;
        rgb = static_cast<uint32_t>(ColorAnswer);
        return true;
    }
    bool FontDialog(UiFont& font) override
    {
        if (FontAnswer.Name.isEmpty())
            return false;
        font = FontAnswer;
        return true;
    }

    QStringList Errors;
    QStringList Files;
    QStringList Filters;
    QStringList Folders;
    int64_t ColorAnswer = -1;
    UiFont FontAnswer;

private:
    bool NextFile(UiFileDialog& dialog)
    {
        Filters.append(dialog.Filter);
        Folders.append(dialog.InitialDir);
        if (Files.isEmpty())
            return false;
        dialog.FileName = Files.takeFirst();
        dialog.Files = QStringList{dialog.FileName};
        return true;
    }
};

// Installs a ScriptedUi whose modal dialogs run the queued steps in order; a dialog with no
// step left is cancelled. A step works the dialog and closes it; its result is the answer.
class ModalScript {
public:
    ModalScript()
    {
        DesignerRuntime::init();
        ui.OnModal = [this](QObject& object, const QString&) {
            auto* dialog = qobject_cast<QDialog*>(&object);
            if (dialog == nullptr)
                return static_cast<int>(mrNone);
            Shown.push_back(dialog->objectName());
            dialog->setResult(QDialog::Rejected);
            if (Steps.empty())
                return static_cast<int>(mrCancel);
            auto step = std::move(Steps.front());
            Steps.pop_front();
            step(*dialog);
            return dialog->result() == QDialog::Accepted ? static_cast<int>(mrOk) : static_cast<int>(mrCancel);
        };
        ReportServices::SetUi(&ui);
    }
    ~ModalScript() { ReportServices::SetUi(nullptr); }

    template <class Dialog>
    void Then(std::function<void(Dialog&)> step)
    {
        Steps.push_back([step = std::move(step)](QDialog& dialog) {
            auto* typed = dynamic_cast<Dialog*>(&dialog);
            ASSERT_NE(typed, nullptr) << dialog.objectName().toStdString();
            step(*typed);
        });
    }

    DialogUi ui;
    std::deque<std::function<void(QDialog&)>> Steps;
    QStringList Shown;
};
