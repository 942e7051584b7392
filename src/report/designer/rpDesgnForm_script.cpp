// The designer window's script page and debugger: the script language, script files, the
// editor's text and caret reports, fields dropped into the script, code completion, and running
// the report line by line with breakpoints, stepping, run to cursor, evaluation and watches.

#include "rpDesgnForm.h"

#include "rpDataTree.h"
#include "rpDesgnCtrls.h"
#include "rpDesgnForm_internal.h"
#include "rpEvaluateForm.h"
#include "rpScriptTemplates.h"
#include "rpSynMemo.h"
#include "rpWatchForm.h"

#include "report/core/InputFiles.h"
#include "report/core/Services.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpUtils.h"
#include "report/script/ScriptDialogs.h"
#include "report/script/sc_iinterpreter.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools.h"
#include "report/script/sc_itools_types.h"
#include "report/script/sc_xml.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <map>

namespace {

// Script files larger than this are not loaded into the editor.
constexpr qint64 kMaxScriptFileBytes = 16 * 1024 * 1024;

// The filter index and default extension of the script file dialogs for a language.
struct ScriptFileKind {
    int filterIndex;
    const char* extension;
};

ScriptFileKind ScriptFileKindOf(const QString& language)
{
    static const std::pair<const char*, ScriptFileKind> kinds[] = {
        {"RireroRidoze", {1, "pas"}}, {"R++Idirud", {2, "cpp"}}, {"JScript", {3, "js"}}, {"ZuvivUradur", {4, "vb"}}};
    for (const auto& [name, kind] : kinds) {
        if (language.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return {5, ""};
}

// Accepts fields dragged from the data tree onto the script editor and inserts them at the
// caret.
class TrpCodeDropFilter : public QObject {
public:
    TrpCodeDropFilter(TrpSyntaxMemo* editor, TrpDataTreeForm* dataTree)
        : QObject(editor), editor_(editor), dataTree_(dataTree)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (Accepts(drag))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!Accepts(drop))
                return true;
            drop->acceptProposedAction();
            const QString text = dataTree_->GetFieldName();
            ReportServices::Guarded([&] { editor_->SetSelText(text); },
                                    [](const QString&, const QString& message) { ErrorMessageBox(message); });
            editor_->setFocus();
            return true;
        }
        default:
            return false;
        }
    }

private:
    // A drag from one of the data tree's tree views that gives a field text.
    bool Accepts(const QDropEvent* event) const
    {
        auto* source = qobject_cast<QTreeWidget*>(event->source());
        return dataTree_ != nullptr && source != nullptr && dataTree_->isAncestorOf(source) &&
               !dataTree_->GetFieldName().isEmpty();
    }

    TrpSyntaxMemo* editor_;
    QPointer<TrpDataTreeForm> dataTree_;
};

// While the debugger pauses, the modal window of the debugged run (the preview, or a dialog
// page the script shows) would keep the user from the designer. The designer's window becomes
// a transient child of that modal window for the pause, which Qt does not block (and window
// managers keep above it); the window's own modality and its modal loop stay untouched. When
// the designer itself is that window's ancestor, nothing can be done without a cycle.
class ModalityLift {
public:
    explicit ModalityLift(QWidget* designer)
    {
        window_ = designer->windowHandle();
        QWindow* modal = QGuiApplication::modalWindow();
        if (window_ == nullptr || modal == nullptr || modal == window_ ||
            modal->isAncestorOf(window_, QWindow::IncludeTransients) ||
            window_->isAncestorOf(modal, QWindow::IncludeTransients))
            return;
        previous_ = window_->transientParent();
        window_->setTransientParent(modal);
        lifted_ = true;
    }
    ~ModalityLift()
    {
        if (lifted_ && window_ != nullptr)
            window_->setTransientParent(previous_);
    }
    ModalityLift(const ModalityLift&) = delete;
    ModalityLift& operator=(const ModalityLift&) = delete;

private:
    QPointer<QWindow> window_;
    QPointer<QWindow> previous_;
    bool lifted_ = false;
};

} // namespace

void TrpDesignerForm::ConnectScriptCommands()
{
    const auto guarded = [this](auto body) { return [this, body] { Guard(body); }; };
    // The debugger's commands, by the names the window's key map gives them, with their
    // buttons.
    const struct {
        const char* action;
        const char* button;
        std::function<void()> handler;
    } commands[] = {
        {"RunScript", "RunScriptB", [this] { RunScriptBClick(QStringLiteral("RunScriptB")); }},
        {"StepScript", "StepScriptB", [this] { RunScriptBClick(QStringLiteral("StepScriptB")); }},
        {"RunToCursor", "RunToCursorB", [this] { RunToCursorBClick(); }},
        {"StopScript", "StopScriptB", [this] { StopScriptBClick(); }},
        {"Evaluate", "EvaluateB", [this] { EvaluateBClick(); }},
        {"Breakpoint", "BreakPointB", [this] { BreakPointBClick(); }},
    };
    for (const auto& command : commands) {
        const QString name = QString::fromLatin1(command.action);
        auto* action = new QAction(this);
        action->setObjectName(name);
        action->setProperty("category", QStringLiteral("Script"));
        actions_[name] = action;
        connect(action, &QAction::triggered, this, guarded(command.handler));
        if (auto* button = qobject_cast<QToolButton*>(Control(QString::fromLatin1(command.button)))) {
            button->setEnabled(true);
            connect(button, &QToolButton::clicked, action, &QAction::trigger);
        }
    }
    if (auto* open = qobject_cast<QToolButton*>(Control(QStringLiteral("OpenScriptB")))) {
        open->setEnabled(true);
        connect(open, &QToolButton::clicked, this, guarded([this] { OpenScriptBClick(); }));
    }
    if (auto* save = qobject_cast<QToolButton*>(Control(QStringLiteral("SaveScriptB")))) {
        save->setEnabled(true);
        connect(save, &QToolButton::clicked, this, guarded([this] { SaveScriptBClick(); }));
    }
    if (auto* langCB = qobject_cast<QComboBox*>(Control(QStringLiteral("LangCB")))) {
        langCB->setEnabled(true);
        connect(langCB, &QComboBox::activated, this, guarded([this] { LangCBClick(); }));
    }

    FCodeWindow->OnChangeText = [this] {
        // Script edits need no snapshot of the report: the window is marked changed directly.
        if (Page() != nullptr)
            return;
        modified_ = true;
        Enable(QStringLiteral("SaveCmd"), CheckOp(drDontSaveReport));
        Enable(QStringLiteral("UndoCmd"), true);
    };
    FCodeWindow->OnChangePos = [this] {
        if (Page() != nullptr)
            return;
        const QPoint position = FCodeWindow->GetPos();
        FCoord1 = QString::asprintf("%d; %d", position.y(), position.x());
        FCoord2.clear();
        FCoord3.clear();
        FStatusCoords->update();
    };
    FCodeWindow->OnCodeCompletion = [this](QObject*, const QString& name, QListWidget& list) {
        Guard([&] { CodeCompletion(name, list); });
    };
    FCodeWindow->setAcceptDrops(true);
    FCodeWindow->viewport()->setAcceptDrops(true);
    FCodeWindow->viewport()->installEventFilter(new TrpCodeDropFilter(FCodeWindow, FDataTree));
    FDataTree->OnDblClick = [this](QWidget* sender) {
        Guard([this, sender] {
            if (Page() == nullptr) {
                const QString text = FDataTree->GetFieldName();
                if (!text.isEmpty()) {
                    FCodeWindow->SetSelText(text);
                    FCodeWindow->setFocus();
                }
                return;
            }
            // A design page: the data tab of a report without data sets offers the data dialog.
            const bool dataTab = sender == FDataTree->DataTree || sender == FDataTree->NoDataL;
            if (dataTab && Report()->DataSets().Count() == 0) {
                if (QAction* data = Action(QStringLiteral("ReportDataCmd")); data != nullptr && data->isEnabled())
                    data->trigger();
            }
        });
    };
}

// --- the script ---

QStringList TrpDesignerForm::Code()
{
    return FCodeWindow->Lines().List();
}

// --- language and files ---

void TrpDesignerForm::UpdateScriptLanguage()
{
    FCodeWindow->SetSyntax(Report()->ScriptLanguage);
}

void TrpDesignerForm::LangCBClick()
{
    auto* langCB = static_cast<QComboBox*>(Control(QStringLiteral("LangCB")));
    TrpReport* report = Report();
    if (ConfirmMessageBox(ResourceText(u"dsClearScript"), UiButtons({mbYes, mbNo})) == mrYes) {
        report->ScriptLanguage = langCB->currentText();
        QStringList script;
        WriteEmptyScript(script, report->ScriptLanguage);
        FCodeWindow->SetLines(script);
        UpdateScriptLanguage();
        SetModified(true);
        FCodeWindow->setFocus();
    } else {
        langCB->setCurrentIndex(langCB->findText(report->ScriptLanguage));
    }
}

void TrpDesignerForm::OpenScriptBClick()
{
    const ScriptFileKind kind = ScriptFileKindOf(Report()->ScriptLanguage);
    UiFileDialog dialog;
    dialog.Filter = QtFileFilter(property("OpenScriptDialog").toString());
    dialog.FilterIndex = kind.filterIndex;
    dialog.DefaultExt = QString::fromLatin1(kind.extension);
    dialog.FileMustExist = true;
    if (!ReportServices::Ui().OpenFileDialog(dialog))
        return;
    QByteArray bytes;
    QString reason;
    if (!ReadInputFile(dialog.FileName, kMaxScriptFileBytes, bytes, reason)) {
        ErrorMessageBox(reason);
        return;
    }
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    // A final line end does not start another line.
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.removeLast();
    FCodeWindow->SetLines(lines);
    SetModified(true);
}

void TrpDesignerForm::SaveScriptBClick()
{
    const ScriptFileKind kind = ScriptFileKindOf(Report()->ScriptLanguage);
    UiFileDialog dialog;
    dialog.Filter = QtFileFilter(property("SaveScriptDialog").toString());
    dialog.FilterIndex = kind.filterIndex;
    dialog.DefaultExt = QString::fromLatin1(kind.extension);
    dialog.OverwritePrompt = true;
    if (!ReportServices::Ui().SaveFileDialog(dialog))
        return;
    QString text;
    for (const QString& line : FCodeWindow->Lines().List())
        text += line + QStringLiteral("\r\n");
    const QByteArray bytes = text.toUtf8();
    SaveFileAtomically(dialog.FileName, [&bytes](QIODevice& out) { out.write(bytes); });
}

// --- code completion ---

void TrpDesignerForm::CodeCompletion(const QString& name, QListWidget& list)
{
    TrpReport* report = Report();
    QStringList parts = name.split(u'.');
    for (QString& part : parts)
        part = part.trimmed();
    if (name.trimmed().isEmpty()) {
        list.clear();
        for (TrpComponent* object : report->AllObjects())
            new QListWidgetItem(object->Name() + QStringLiteral(" : ") + object->ClassName(), &list);
        return;
    }

    QString type;
    const QString& first = parts.front();
    if (first.compare(u"Report", Qt::CaseInsensitive) == 0) {
        type = report->ScriptClass().Name;
    } else if (first.compare(u"Engine", Qt::CaseInsensitive) == 0) {
        if (report->Engine() != nullptr)
            type = report->Engine()->ScriptClass().Name;
    } else if (first.compare(u"Outline", Qt::CaseInsensitive) == 0) {
        if (report->PreviewPages() != nullptr && report->PreviewPages()->Outline() != nullptr)
            type = report->PreviewPages()->Outline()->ScriptClass().Name;
    } else if (TrpComponent* object = report->FindObject(first)) {
        type = object->ClassName();
    }

    TscScript& script = report->Script();
    for (qsizetype i = 1; i < parts.size() && !type.isEmpty(); ++i) {
        TscClassVariable* cls = script.FindClass(type);
        TscCustomVariable* member = cls != nullptr ? cls->Find(parts[i]) : nullptr;
        type = member != nullptr ? member->TypeName : QString();
    }
    if (type.isEmpty())
        return;
    TscClassVariable* cls = script.FindClass(type);
    if (cls == nullptr)
        return;

    TscXMLDocument document;
    GenerateClassMembersXML(&script, cls, document.Root());
    static const std::pair<const char*, int> kPrefixes[] = {
        {"index property ", 1}, {"property ", 1}, {"procedure ", 2}, {"function ", 3}};
    std::map<QString, int> entries; // sorted, each once
    for (int i = 0; i < document.Root()->Count(); ++i) {
        QString text = document.Root()->Items(i)->Prop(QStringLiteral("text"));
        int kind = 0;
        for (const auto& [prefix, prefixKind] : kPrefixes) {
            if (text.startsWith(QLatin1String(prefix))) {
                text.remove(0, static_cast<qsizetype>(qstrlen(prefix)));
                kind = prefixKind;
                break;
            }
        }
        entries.emplace(text, kind);
    }
    list.clear();
    for (const auto& [text, kind] : entries) {
        auto* item = new QListWidgetItem(text, &list);
        item->setData(Qt::UserRole, kind);
    }
}

// --- the debugger ---

void TrpDesignerForm::RunScriptBClick(const QString& button)
{
    TscScript& script = Report()->Script();
    const bool run = button == QLatin1String("RunScriptB");
    const bool step = button == QLatin1String("StepScriptB");
    if (FScriptStopped) {
        FScriptStep = step;
        if (run && FCodeWindow->BreakPoints().isEmpty())
            script.SetOnRunLine({});
        FScriptStopped = false;
        return;
    }
    if (FScriptRunning)
        return;
    // A new run stops at every line only when it is stepped; a Step left over from an earlier
    // run would make Run and Run to Cursor stop at the first line.
    FScriptStep = step;
    if (!(run && FCodeWindow->BreakPoints().isEmpty())) {
        script.SetOnRunLine([this](TscScript*, const QString& unitName, const QString& sourcePos) {
            ScriptRunLine(unitName, sourcePos);
        });
    }
    FScriptRunning = true;
    FScriptFirstTime = true;
    const QPointer<TrpDesignerForm> self(this);
    const QPointer<TrpReport> report(Report());
    struct RunEnd {
        QPointer<TrpDesignerForm> form;
        QPointer<TrpReport> report;
        ~RunEnd()
        {
            if (report != nullptr)
                report->Script().SetOnRunLine({});
            if (form == nullptr)
                return;
            form->FScriptRunning = false;
            form->FScriptStopped = false;
            form->FCodeWindow->DeleteF4BreakPoints();
            form->FCodeWindow->SetActiveLine(-1);
        }
    } end{self, report};
    RunPreview();
}

void TrpDesignerForm::ScriptRunLine(const QString& unitName, const QString& sourcePos)
{
    // Lines of included units are not lines of the editor's text.
    if (!unitName.isEmpty())
        return;
    const int line = sourcePos.section(u':', 0, 0).toInt();
    const int column = sourcePos.section(u':', 1, 1).toInt();
    if (!FScriptStep && !FCodeWindow->BreakPoints().isEmpty() && !FCodeWindow->IsBreakPoint(line))
        return;
    if (FCodeWindow->GetBreakPointCondition(line) == QLatin1String("F4"))
        FCodeWindow->DeleteBreakPoint(line);
    TrpReport* report = Report();
    TscScript& script = report->Script();
    if (FScriptFirstTime) {
        for (int i = 1; i <= FCodeWindow->LineCount(); ++i)
            FCodeWindow->MarkExecutableLine(i, script.IsExecutableLine(i, QString()));
        FScriptFirstTime = false;
    }

    const QPointer<QWidget> active = QApplication::activeWindow();
    const QPointer<TrpDesignerForm> self(this);
    const QPointer<TrpReport> running(report);
    {
        // The modal preview keeps the user from the window while it runs (and a progress window
        // may have disabled it); while paused the window is usable again.
        ModalityLift lift(window());
        window()->setEnabled(true);
        window()->activateWindow();

        if (Page() != nullptr)
            SetPage(nullptr);
        FCodeWindow->SetActiveLine(line);
        FCodeWindow->SetPos(column, line);

        // Errors the watches raise are the watches' own: the report's list is as it was.
        const QStringList errors = report->Errors();
        FWatchList->UpdateWatches();
        if (report->Errors() != errors) {
            report->ClearErrors();
            report->AddErrors(errors);
        }

        FScriptStopped = true;
        // Waits for the user: Run, Step, Stop or Preview clear the flag; a run stopped from
        // elsewhere (the preview's Cancel) ends the pause as well. Without a user to answer,
        // the run is stopped.
        while (self != nullptr && running != nullptr && FScriptStopped && !running->Terminated()) {
            if (!ReportServices::Ui().WaitInputEvents() && self != nullptr && FScriptStopped)
                StopScriptBClick();
        }
        if (self == nullptr)
            return;
        FScriptStopped = false;
    }
    if (active != nullptr)
        active->activateWindow();
}

bool TrpDesignerForm::ResumeScript()
{
    if (!FScriptStopped)
        return false;
    // Preview while paused continues the run as Run does: without breakpoints to the end.
    RunScriptBClick(QStringLiteral("RunScriptB"));
    return true;
}

void TrpDesignerForm::StopScriptBClick()
{
    TrpReport* report = Report();
    TscScript& script = report->Script();
    script.SetOnRunLine({});
    script.Terminate();
    report->SetTerminated(true);
    FScriptStopped = false;
}

void TrpDesignerForm::EvaluateBClick()
{
    TrpEvaluateForm form(this, this);
    form.SetScript(&Report()->Script());
    if (FCodeWindow->HasSelection()) {
        const QString selected = FCodeWindow->SelText();
        if (!selected.isEmpty())
            form.ExpressionE->setText(selected);
    }
    form.Execute();
}

void TrpDesignerForm::BreakPointBClick()
{
    FCodeWindow->ToggleBreakPoint(FCodeWindow->GetPos().y(), QString());
}

void TrpDesignerForm::RunToCursorBClick()
{
    FCodeWindow->AddBreakPoint(FCodeWindow->GetPos().y(), QStringLiteral("F4"));
    RunScriptBClick(QStringLiteral("RunToCursorB"));
}

// --- the preview run ---

void TrpDesignerForm::RunPreview()
{
    // The run is the window's Preview: it restores the design whatever the script does.
    PreviewCmdExecute();
}
