#include "rpDesignerDialogs.h"

#include "rpDataBandEditor.h"
#include "rpDesgnCtrls.h"
#include "rpEvaluateForm.h"
#include "rpExprEditor.h"
#include "rpFormatEditor.h"
#include "rpFrameEditor.h"
#include "rpGroupEditor.h"
#include "rpHighlightEditor.h"
#include "rpInheritErrorForm.h"
#include "rpMemoEditor.h"
#include "rpOptionsEditor.h"
#include "rpPageEditor.h"
#include "rpPictureEditor.h"
#include "rpReportDataForm.h"
#include "rpReportEditor.h"
#include "rpStringsEditor.h"
#include "rpStyleEditor.h"
#include "rpSysMemoEditor.h"
#include "rpTabOrderEditor.h"
#include "rpVarEditor.h"

#include "platform/Exceptions.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpClass_views.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

namespace DesignerDialogs {

namespace {

[[noreturn]] void Fail(const QString& message)
{
    throw platform::Exception(message.toStdString());
}

template <class T>
T* FirstSelected(TrpCustomDesigner& designer)
{
    for (const auto& object : designer.SelectedObjects())
        if (auto* typed = dynamic_cast<T*>(object.data()))
            return typed;
    return nullptr;
}

template <class T>
T& Need(T* object, const QString& className, const char* what)
{
    if (object == nullptr)
        Fail(className + QStringLiteral(": select ") + QString::fromLatin1(what));
    return *object;
}

} // namespace

QStringList DialogClasses()
{
    return {"TrpExprEditorForm",     "TrpMemoEditorForm",    "TrpSysMemoEditorForm", "TrpFormatEditorForm",
            "TrpStringsEditorForm",  "TrpEvaluateForm",      "TrpFrameEditorForm",   "TrpHighlightEditorForm",
            "TrpStyleEditorForm",    "TrpPictureEditorForm", "TrpVarEditorForm",     "TrpReportDataForm",
            "TrpDataBandEditorForm", "TrpGroupEditorForm",   "TrpTabOrderEditorForm", "TrpInheritErrorForm",
            "TrpPageEditorForm",     "TrpOptionsEditor",     "TrpReportEditorForm"};
}

int OpenOnSelection(const QString& className, TrpCustomDesigner& designer, QWidget* owner)
{
    const QString& c = className;
    if (c == u"TrpExprEditorForm")
        return RunExpressionEditor(owner, &designer, QString()).isEmpty() ? mrCancel : mrOk;
    if (c == u"TrpEvaluateForm") {
        TrpEvaluateForm form(owner, &designer);
        form.SetScript(&designer.Report()->Script());
        return form.Execute();
    }
    if (c == u"TrpInheritErrorForm") {
        TrpInheritErrorForm form(owner);
        return form.Execute();
    }
    if (c == u"TrpVarEditorForm") {
        TrpVarEditorForm form(owner, &designer);
        return form.Execute();
    }
    if (c == u"TrpStyleEditorForm") {
        TrpStyleEditorForm form(owner, &designer);
        return form.Execute();
    }
    if (c == u"TrpReportDataForm") {
        TrpReportDataForm form(owner, &designer);
        return form.Execute();
    }
    if (c == u"TrpTabOrderEditorForm") {
        TrpTabOrderEditorForm form(owner, &designer);
        return form.Execute();
    }
    if (c == u"TrpPageEditorForm") {
        TrpPageEditorForm form(owner, &designer);
        if (form.Page() == nullptr)
            Fail(c + QStringLiteral(": show a report page"));
        return form.Execute();
    }
    if (c == u"TrpReportEditorForm") {
        TrpReportEditorForm form(owner, &designer);
        return form.Execute();
    }
    if (c == u"TrpOptionsEditor") {
        TrpOptionsEditor form(owner, &designer);
        return form.Execute();
    }
    if (c == u"TrpFrameEditorForm") {
        TrpView& view = Need(FirstSelected<TrpView>(designer), c, "a view");
        TrpFrameEditorForm form(owner, &designer);
        form.SetFrame(view.Frame());
        const int result = form.Execute();
        if (result == mrOk)
            view.Frame().Assign(form.Frame());
        return result;
    }
    if (c == u"TrpPictureEditorForm") {
        TrpPictureView& view = Need(FirstSelected<TrpPictureView>(designer), c, "a picture");
        TrpPictureEditorForm form(owner, &designer);
        form.SetPicture(view.Picture());
        const int result = form.Execute();
        if (result == mrOk)
            view.SetPicture(form.Picture());
        return result;
    }
    if (c == u"TrpDataBandEditorForm") {
        TrpDataBandEditorForm form(owner, &designer);
        form.SetDataBand(&Need(FirstSelected<TrpDataBand>(designer), c, "a data band"));
        return form.Execute();
    }
    if (c == u"TrpGroupEditorForm") {
        TrpGroupEditorForm form(owner, &designer);
        form.SetGroupHeader(&Need(FirstSelected<TrpGroupHeader>(designer), c, "a group header"));
        return form.Execute();
    }
    TrpCustomMemoView& memo = Need(FirstSelected<TrpCustomMemoView>(designer), c, "a memo");
    if (c == u"TrpMemoEditorForm") {
        TrpMemoEditorForm form(owner, &designer);
        form.SetMemoView(&memo);
        const int result = form.Execute();
        if (result == mrOk)
            memo.SetText(form.Text());
        return result;
    }
    if (c == u"TrpSysMemoEditorForm") {
        TrpSysMemoEditorForm form(owner, &designer);
        form.SetText(memo.Text());
        const int result = form.Execute();
        if (result == mrOk)
            memo.SetText(form.Text());
        return result;
    }
    if (c == u"TrpHighlightEditorForm") {
        TrpHighlightEditorForm form(owner, &designer);
        form.SetMemoView(&memo);
        return form.Execute();
    }
    if (c == u"TrpFormatEditorForm") {
        TrpFormatEditorForm form(owner, &designer);
        form.SetFormat(memo.DisplayFormat());
        const int result = form.Execute();
        if (result == mrOk)
            memo.SetDisplayFormat(form.Format());
        return result;
    }
    if (c == u"TrpStringsEditorForm") {
        TrpStringsEditorForm form(owner, &designer);
        form.SetLines(memo.Memo().Text().split(QStringLiteral("\r\n")).mid(0, memo.Memo().Count()));
        const int result = form.Execute();
        if (result == mrOk)
            memo.SetText(form.Lines().join(QStringLiteral("\r\n")));
        return result;
    }
    Fail(QStringLiteral("Unknown dialog class ") + c);
}

void RunDialogAction(QDialog& dialog, const QString& action)
{
    const qsizetype blank = action.indexOf(u' ');
    const QString verb = action.left(blank);
    const QString rest = blank < 0 ? QString() : action.mid(blank + 1);
    QString name = rest;
    QString value;
    if (verb == u"set") {
        const qsizetype equals = rest.indexOf(u'=');
        if (equals < 0)
            Fail(QStringLiteral("set NAME=TEXT expected: ") + action);
        name = rest.left(equals);
        value = rest.mid(equals + 1);
    } else if (verb == u"pick") {
        const qsizetype space = rest.indexOf(u' ');
        if (space < 0)
            Fail(QStringLiteral("pick NAME ITEM expected: ") + action);
        name = rest.left(space);
        value = rest.mid(space + 1);
    } else if (verb != u"click" && verb != u"check") {
        Fail(QStringLiteral("Unknown action: ") + action);
    }
    QWidget* widget = dialog.objectName() == name ? &dialog : dialog.findChild<QWidget*>(name);
    if (widget == nullptr)
        Fail(QStringLiteral("No control named ") + name);
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (verb == u"click" || verb == u"check") {
        if (button == nullptr)
            Fail(name + QStringLiteral(" is no button"));
        if (verb == u"click" || !button->isChecked())
            button->click();
        return;
    }
    if (verb == u"set") {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setText(value);
            emit edit->editingFinished();
        } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
            if (box->isEditable()) {
                box->setEditText(value);
                if (box->lineEdit() != nullptr)
                    emit box->lineEdit()->editingFinished();
            } else {
                box->setCurrentText(value);
            }
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
            memo->setPlainText(value);
        } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
            spin->setValue(value.toInt());
        } else {
            Fail(name + QStringLiteral(" takes no text"));
        }
        return;
    }
    // pick
    if (auto* box = qobject_cast<QComboBox*>(widget)) {
        const int index = box->findText(value);
        if (index < 0)
            Fail(QStringLiteral("No item ") + value + QStringLiteral(" in ") + name);
        box->setCurrentIndex(index);
        emit box->textActivated(value);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        const auto found = list->findItems(value, Qt::MatchExactly);
        if (found.isEmpty())
            Fail(QStringLiteral("No item ") + value + QStringLiteral(" in ") + name);
        list->setCurrentItem(found.first());
        emit list->itemClicked(found.first());
    } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
        const auto found = tree->findItems(value, Qt::MatchExactly | Qt::MatchRecursive);
        if (found.isEmpty())
            Fail(QStringLiteral("No item ") + value + QStringLiteral(" in ") + name);
        tree->setCurrentItem(found.first());
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == value || tabs->widget(i)->objectName() == value) {
                tabs->setCurrentIndex(i);
                return;
            }
        Fail(QStringLiteral("No page ") + value + QStringLiteral(" in ") + name);
    } else {
        Fail(name + QStringLiteral(" has no items"));
    }
}

} // namespace DesignerDialogs

DialogScriptUi::DialogScriptUi(QStringList actions, QString grabFile, bool answerOk)
    : FActions(std::move(actions)), FGrabFile(std::move(grabFile)), FAnswerOk(answerOk)
{
}

void DialogScriptUi::ShowMessage(const QString& text)
{
    if (OnMessage)
        OnMessage(text);
}

int DialogScriptUi::MessageDlg(const QString&, const QString& text, UiMessageType, uint32_t)
{
    if (OnMessage)
        OnMessage(text);
    return mrNone;
}

int DialogScriptUi::RunModal(QObject& object, const QString&)
{
    auto* dialog = qobject_cast<QDialog*>(&object);
    if (dialog == nullptr)
        return mrNone;
    if (FRuns++ > 0) {
        dialog->reject();
        return mrCancel;
    }
    dialog->setResult(QDialog::Rejected);
    ReportServices::Guarded(
        [&] {
            for (const QString& action : FActions)
                DesignerDialogs::RunDialogAction(*dialog, action);
            if (!FGrabFile.isEmpty() && !dialog->grab().save(FGrabFile))
                throw platform::Exception(QStringLiteral("Cannot write %1").arg(FGrabFile).toStdString());
        },
        [this](const QString&, const QString& message) {
            if (Error.isEmpty())
                Error = message;
        });
    if (!Error.isEmpty()) {
        dialog->reject();
        return mrCancel;
    }
    if (!FAnswerOk) {
        dialog->reject();
        return mrCancel;
    }
    // OK as a person gives it: the dialog's own OK (or a wizard's Finish) button, so that what
    // it does on OK happens; a dialog that stays open after it is cancelled.
    QAbstractButton* ok = nullptr;
    for (const char* name : {"OkB", "OKB", "FinishB"}) {
        if (ok == nullptr)
            ok = dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    if (ok == nullptr) {
        dialog->accept();
        return mrOk;
    }
    ReportServices::Guarded([&] { ok->click(); },
                            [this](const QString&, const QString& message) {
                                if (Error.isEmpty())
                                    Error = message;
                            });
    if (dialog->result() == QDialog::Accepted)
        return mrOk;
    if (Error.isEmpty())
        Error = ok->objectName() + QStringLiteral(" did not close the dialog");
    dialog->reject();
    return mrCancel;
}
