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

    ScriptedUi ui;
    std::deque<std::function<void(QDialog&)>> Steps;
    QStringList Shown;
};
