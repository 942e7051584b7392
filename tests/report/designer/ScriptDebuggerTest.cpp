// The designer's script page and debugger. The debugger runs the real interpreter inside a real
// preparation of the report (the engine the designer's start-up registers) through the preview;
// the user-interface service plays the user: the preview's modal run prepares the report, and
// each pause of the debugger is answered from the service's event pump by pressing Run, Step
// or Stop after looking at the active line, the watches and the report's errors.

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDataTree.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpEvaluateForm.h"
#include "report/designer/rpSynMemo.h"
#include "report/designer/rpWatchForm.h"

#include "SaveScreenshot.h"

#include "report/engine/ui/rpPreviewForm.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptedUi.h"
#include "report/script/ui/QtUiService.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>

namespace {

// Lines (1-based) of kScript the tests refer to.
constexpr int kTwiceBody = 5;
constexpr int kAddFirst = 11;  // k := n * 10
constexpr int kAddSecond = 12; // total := total + k
constexpr int kUnusedBody = 17;

const QStringList kScript = {
    QStringLiteral("var i, total: Integer;"),                // 1
    QString(),                                               // 2
    QStringLiteral("function Twice(v: Integer): Integer;"),  // 3
    QStringLiteral("begin"),                                 // 4
    QStringLiteral("  Result := v * 2;"),                    // 5
    QStringLiteral("end;"),                                  // 6
    QString(),                                               // 7
    QStringLiteral("procedure Add(n: Integer);"),            // 8
    QStringLiteral("var k: Integer;"),                       // 9
    QStringLiteral("begin"),                                 // 10
    QStringLiteral("  k := n * 10;"),                        // 11
    QStringLiteral("  total := total + k;"),                 // 12
    QStringLiteral("end;"),                                  // 13
    QString(),                                               // 14
    QStringLiteral("procedure Unused;"),                     // 15
    QStringLiteral("begin"),                                 // 16
    QStringLiteral("  total := -1;"),                        // 17
    QStringLiteral("end;"),                                  // 18
    QString(),                                               // 19
    QStringLiteral("begin"),                                 // 20
    QStringLiteral("  total := 0;"),                         // 21
    QStringLiteral("  for i := 1 to 3 do"),                  // 22
    QStringLiteral("    Add(i);"),                           // 23
    QStringLiteral("  ShowMessage('done ' + IntToStr(total));"), // 24
    QStringLiteral("end."),                                  // 25
};

// Records what the file dialogs were given.
class DebugUser : public ScriptedUi {
public:
    using ScriptedUi::ScriptedUi;
    bool OpenFileDialog(UiFileDialog& dialog) override
    {
        Dialogs.push_back(dialog);
        return ScriptedUi::OpenFileDialog(dialog);
    }
    bool SaveFileDialog(UiFileDialog& dialog) override
    {
        Dialogs.push_back(dialog);
        return ScriptedUi::SaveFileDialog(dialog);
    }
    std::vector<UiFileDialog> Dialogs;
};

// What the user saw at one pause.
struct Pause {
    int line = 0;
    QStringList watches;
    QStringList errors;
};

class ScriptDebugger : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        report.SetScriptText(kScript);
        ReportServices::SetUi(&ui);
        form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->SwitchToCodeWindow();
        ui.OnModal = [this](QObject& window, const QString& caption) {
            if (auto* preview = dynamic_cast<TrpPreviewForm*>(&window)) {
                ++previews;
                if (ModalPreview) {
                    // As the program's modal seam shows it.
                    preview->setWindowModality(Qt::ApplicationModal);
                    preview->show();
                }
                report.PrepareTimerTick();
                terminatedAfterRun = report.Terminated();
                modalityAfterRun = preview->windowModality();
                preview->hide();
                return int(mrNone);
            }
            return OnOtherModal ? OnOtherModal(window, caption) : int(mrNone);
        };
        ui.OnInputEvents = [this] {
            if (!form->ScriptStopped())
                return;
            Pause pause;
            pause.line = form->CodeWindow()->ActiveLine();
            for (int i = 0; i < form->WatchList()->WatchLB->count(); ++i)
                pause.watches << form->WatchList()->WatchLB->item(i)->text();
            pause.errors = report.Errors();
            pauses.push_back(pause);
            if (OnPause)
                OnPause(pause);
            // A run that pauses more often than the test planned is stopped.
            const QString answer = answers.empty() ? QStringLiteral("StopScript") : answers.front();
            if (!answers.empty())
                answers.pop_front();
            form->Action(answer)->trigger();
        };
    }

    void TearDown() override
    {
        form->CloseNow();
        form.reset();
        ReportServices::SetUi(nullptr);
    }

    // The editor's caret on a line, then a debugger command by its key-map name.
    void Command(const QString& name, int caretLine = 0)
    {
        if (caretLine > 0)
            form->CodeWindow()->SetPos(1, caretLine);
        QAction* action = form->Action(name);
        ASSERT_NE(action, nullptr) << name.toStdString();
        action->trigger();
    }

    std::vector<int> PausedLines() const
    {
        std::vector<int> lines;
        for (const Pause& pause : pauses)
            lines.push_back(pause.line);
        return lines;
    }

    bool Finished() const { return ui.Messages.contains(QStringLiteral("done 60")); }

    // The engine registers its script classes before the report makes its script.
    bool initialized = (DesignerRuntime::init(), true);
    QTemporaryDir folder;
    DebugUser ui;
    TrpReport report;
    std::unique_ptr<TrpDesignerForm> form;
    std::deque<QString> answers;
    std::vector<Pause> pauses;
    std::function<void(const Pause&)> OnPause;
    std::function<int(QObject&, const QString&)> OnOtherModal;
    bool ModalPreview = false;
    int previews = 0;
    bool terminatedAfterRun = false;
    Qt::WindowModality modalityAfterRun = Qt::NonModal;
};

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0) == text)
            return *it;
    }
    return nullptr;
}

bool PressKey(TrpDesignerForm& form, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    return form.FormKeyDown(&event);
}

TEST_F(ScriptDebugger, RunWithoutBreakpointsRunsToTheEnd)
{
    Command(QStringLiteral("RunScript"));
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(pauses.empty());
    EXPECT_TRUE(Finished());
    EXPECT_FALSE(form->ScriptRunning());
    EXPECT_FALSE(report.Script().OnRunLine());
    // The design is what it was: the script's page and text are back.
    EXPECT_EQ(form->Page(), nullptr);
    EXPECT_EQ(form->CodeWindow()->Lines().List(), kScript);
    for (TrpComponent* object : report.AllObjects())
        EXPECT_TRUE(object->IsDesigning()) << object->Name().toStdString();
}

TEST_F(ScriptDebugger, StepFromIdlePausesAtTheFirstExecutedLineAndRunFinishes)
{
    answers = {QStringLiteral("RunScript")};
    Command(QStringLiteral("StepScript"));
    EXPECT_EQ(PausedLines(), std::vector<int>{21});
    // Run while paused with no breakpoints left finishes without another pause.
    EXPECT_TRUE(Finished());
    EXPECT_FALSE(form->ScriptRunning());
    EXPECT_EQ(form->CodeWindow()->ActiveLine(), -1);
}

TEST_F(ScriptDebugger, StepsFollowTheExecutedLinesAndMarkThem)
{
    answers = {QStringLiteral("StepScript"), QStringLiteral("StepScript"), QStringLiteral("StepScript"),
               QStringLiteral("StepScript"), QStringLiteral("RunScript")};
    std::vector<int> marked;
    OnPause = [&](const Pause&) {
        if (!marked.empty())
            return;
        for (int line = 1; line <= kScript.size(); ++line) {
            if (form->CodeWindow()->Lines().Object(line - 1) == 1)
                marked.push_back(line);
        }
    };
    Command(QStringLiteral("StepScript"));
    EXPECT_EQ(PausedLines(), (std::vector<int>{21, 22, 23, kAddFirst, kAddSecond}));
    EXPECT_TRUE(Finished());
    // The executable lines are marked at the first pause: statements, not blanks, headers or
    // declarations.
    for (int line : {kTwiceBody, kAddFirst, kAddSecond, kUnusedBody, 21, 23, 24})
        EXPECT_NE(std::find(marked.begin(), marked.end(), line), marked.end()) << line;
    for (int line : {2, 3, 7, 9, 14})
        EXPECT_EQ(std::find(marked.begin(), marked.end(), line), marked.end()) << line;
}

TEST_F(ScriptDebugger, RunToCursorStopsOnceAndItsBreakpointIsGoneAfter)
{
    answers = {QStringLiteral("RunScript")};
    Command(QStringLiteral("RunToCursor"), kAddSecond);
    // The line runs three times; the temporary breakpoint stops the first time only.
    EXPECT_EQ(PausedLines(), std::vector<int>{kAddSecond});
    EXPECT_TRUE(Finished());
    EXPECT_TRUE(form->CodeWindow()->BreakPoints().isEmpty());

    // A cursor on a line that never runs: no pause, and the breakpoint is gone all the same.
    pauses.clear();
    ui.Messages.clear();
    Command(QStringLiteral("RunToCursor"), kUnusedBody);
    EXPECT_TRUE(pauses.empty());
    EXPECT_TRUE(Finished());
    EXPECT_TRUE(form->CodeWindow()->BreakPoints().isEmpty());
}

TEST_F(ScriptDebugger, BreakpointsStopEachTimeAndStayUntilToggled)
{
    Command(QStringLiteral("Breakpoint"), kAddFirst);
    ASSERT_TRUE(form->CodeWindow()->IsBreakPoint(kAddFirst));
    answers = {QStringLiteral("RunScript"), QStringLiteral("RunScript"), QStringLiteral("RunScript")};
    Command(QStringLiteral("RunScript"));
    EXPECT_EQ(PausedLines(), (std::vector<int>{kAddFirst, kAddFirst, kAddFirst}));
    EXPECT_TRUE(Finished());
    EXPECT_TRUE(form->CodeWindow()->IsBreakPoint(kAddFirst));
    Command(QStringLiteral("Breakpoint"), kAddFirst);
    EXPECT_FALSE(form->CodeWindow()->IsBreakPoint(kAddFirst));
}

TEST_F(ScriptDebugger, APauseWithNobodyToAnswerStopsTheRun)
{
    ui.OnInputEvents = nullptr;
    Command(QStringLiteral("StepScript"));
    EXPECT_EQ(previews, 1);
    EXPECT_FALSE(Finished());
    EXPECT_TRUE(terminatedAfterRun);
    EXPECT_FALSE(form->ScriptRunning());
    EXPECT_EQ(ui.ProcessInputEventsCalls, 1);
}

TEST_F(ScriptDebugger, StopEndsTheRunAndSetsTerminated)
{
    answers = {QStringLiteral("StepScript"), QStringLiteral("StopScript")};
    Command(QStringLiteral("StepScript"));
    EXPECT_EQ(PausedLines(), (std::vector<int>{21, 22}));
    EXPECT_FALSE(Finished());
    EXPECT_TRUE(terminatedAfterRun);
    EXPECT_FALSE(form->ScriptRunning());
    EXPECT_FALSE(form->ScriptStopped());
    EXPECT_FALSE(report.Script().OnRunLine());
}

TEST_F(ScriptDebugger, WatchesShowLocalsAndCallFunctionsWithoutPausing)
{
    form->WatchList()->AddWatch(QStringLiteral("k"));
    form->WatchList()->AddWatch(QStringLiteral("n + 1"));
    form->WatchList()->AddWatch(QStringLiteral("Twice(k)"));
    // A breakpoint inside the function the watch calls: the evaluation must not stop there.
    Command(QStringLiteral("Breakpoint"), kTwiceBody);
    Command(QStringLiteral("Breakpoint"), kAddSecond);
    answers = {QStringLiteral("RunScript"), QStringLiteral("RunScript"), QStringLiteral("RunScript")};
    OnPause = [&](const Pause&) {
        if (pauses.size() == 2)
            SaveScreenshot(*form, QStringLiteral("designer-debugger-paused"));
    };
    Command(QStringLiteral("RunScript"));
    ASSERT_EQ(PausedLines(), (std::vector<int>{kAddSecond, kAddSecond, kAddSecond}));
    EXPECT_EQ(pauses[0].watches, (QStringList{QStringLiteral("k: 10"), QStringLiteral("n + 1: 2"),
                                              QStringLiteral("Twice(k): 20")}));
    EXPECT_EQ(pauses[2].watches, (QStringList{QStringLiteral("k: 30"), QStringLiteral("n + 1: 4"),
                                              QStringLiteral("Twice(k): 60")}));
    EXPECT_TRUE(Finished());
}

TEST_F(ScriptDebugger, AWatchErrorDoesNotStayInTheReportErrors)
{
    form->WatchList()->AddWatch(QStringLiteral("Get('NoSuchVariable')"));
    answers = {QStringLiteral("StepScript"), QStringLiteral("RunScript")};
    // An error of the run itself, made at the first pause, sorts after the watch's ("Неизвестная
    // переменная..."): the list
    // comes back as it was, not merely as long as it was.
    OnPause = [&](const Pause&) {
        if (pauses.size() == 1)
            report.AddError(QStringLiteral("Ящик: ошибка прогона"));
    };
    Command(QStringLiteral("StepScript"));
    ASSERT_EQ(pauses.size(), 2u);
    EXPECT_TRUE(pauses[0].errors.isEmpty());
    EXPECT_EQ(pauses[1].errors, QStringList{QStringLiteral("Ящик: ошибка прогона")});
    EXPECT_TRUE(Finished());
}

TEST_F(ScriptDebugger, ThePausedWindowTakesTheUserPastTheModalPreview)
{
    // The window and the preview are on screen, the preview application-modal: a press of the
    // designer's Stop button through the window system reaches it only while the run pauses.
    ModalPreview = true;
    form->resize(1024, 700);
    form->show();
    QApplication::processEvents();
    QWidget* stop = form->Control(QStringLiteral("StopScriptB"));
    ASSERT_NE(stop, nullptr);
    const QPoint at = stop->mapTo(form.get(), stop->rect().center());
    Command(QStringLiteral("Breakpoint"), kAddSecond);
    answers = {QStringLiteral("RunScript"), QStringLiteral("RunScript"), QStringLiteral("RunScript")};
    QWindow* transientDuringPause = nullptr;
    OnPause = [&](const Pause&) {
        auto* preview = dynamic_cast<TrpPreviewForm*>(report.PreviewForm());
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(QGuiApplication::modalWindow(), preview->windowHandle());
        transientDuringPause = form->windowHandle()->transientParent();
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, at);
    };
    Command(QStringLiteral("RunScript"));
    // The click pressed Stop: one pause, no end of the script, the run terminated.
    EXPECT_EQ(PausedLines(), std::vector<int>{kAddSecond});
    EXPECT_FALSE(Finished());
    EXPECT_TRUE(terminatedAfterRun);
    EXPECT_NE(transientDuringPause, nullptr);
    // The preview kept its modality; the window is its own again.
    EXPECT_EQ(modalityAfterRun, Qt::ApplicationModal);
    EXPECT_EQ(form->windowHandle()->transientParent(), nullptr);
    form->hide();
}

TEST_F(ScriptDebugger, ThroughTheProgramsOwnModalLoopsAndEventPump)
{
    // The program's user-interface service: the preview runs in its modal loop and each pause
    // waits in the event pump until the user, played by a timer, presses Run with the mouse.
    QtUiService qt;
    ReportServices::SetUi(&qt);
    form->resize(1024, 700);
    form->show();
    QApplication::processEvents();
    QWidget* runButton = form->Control(QStringLiteral("RunScriptB"));
    const QPoint at = runButton->mapTo(form.get(), runButton->rect().center());
    Command(QStringLiteral("Breakpoint"), kAddSecond);
    QStringList messages;
    int paused = 0;
    int ticks = 0;
    bool started = false;
    QTimer user;
    user.setInterval(1);
    QObject::connect(&user, &QTimer::timeout, [&] {
        ++ticks;
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages << box->text();
            box->accept();
            return;
        }
        auto* preview = dynamic_cast<TrpPreviewForm*>(report.PreviewForm());
        started = started || report.Running();
        if (form->ScriptStopped()) {
            ++paused;
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, at);
        } else if (preview != nullptr && preview->isVisible() && started && !report.Running()) {
            preview->close();
        } else if (ticks > 20000) {
            // A safety net, never reached when the debugger works: the test must not hang.
            report.SetTerminated(true);
            if (preview != nullptr)
                preview->close();
        }
    });
    user.start();
    Command(QStringLiteral("RunScript"));
    user.stop();
    EXPECT_EQ(paused, 3);
    EXPECT_EQ(messages, QStringList{QStringLiteral("done 60")});
    EXPECT_FALSE(form->ScriptRunning());
    ReportServices::SetUi(&ui);
    form->hide();
}

// The debugger by keyboard alone, through the program's modal loops: F9 runs to the breakpoint,
// where the script editor has the focus so that F8 steps at once; Ctrl+F7 opens Evaluate, Esc
// closes it, and Ctrl+F2 stops the run without a click in between.
TEST_F(ScriptDebugger, TheKeyboardAloneDrivesTheDebugger)
{
    QtUiService qt;
    ReportServices::SetUi(&qt);
    form->resize(1024, 700);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->CodeWindow()->setFocus();
    Command(QStringLiteral("Breakpoint"), kAddFirst);
    std::vector<int> lines;
    std::vector<bool> editorHadFocus;
    int evaluated = 0;
    bool started = false;
    int ticks = 0;
    int phase = 0;
    int waited = 0;
    // Modal windows met on the way: Evaluate is closed by Esc, messages are accepted.
    QTimer closer;
    closer.setInterval(1);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* modalWidget = QApplication::activeModalWidget();
        if (auto* evaluate = dynamic_cast<TrpEvaluateForm*>(modalWidget)) {
            ++evaluated;
            QTest::keyClick(evaluate, Qt::Key_Escape);
        } else if (auto* box = qobject_cast<QMessageBox*>(modalWidget)) {
            box->accept();
        }
    });
    QTimer user;
    user.setInterval(1);
    QObject::connect(&user, &QTimer::timeout, [&] {
        ++ticks;
        auto* preview = dynamic_cast<TrpPreviewForm*>(report.PreviewForm());
        started = started || report.Running();
        if (form->ScriptStopped()) {
            // The window's activation comes as the window system's answer: the user presses a
            // key once it has come (or, when it never does, after a while all the same).
            const bool focused = QApplication::focusWidget() == form->CodeWindow();
            if (!focused && ++waited < 2000)
                return;
            waited = 0;
            switch (phase++) {
            case 0:
                lines.push_back(form->CodeWindow()->ActiveLine());
                editorHadFocus.push_back(focused);
                QTest::keyClick(form->windowHandle(), Qt::Key_F8);
                break;
            case 1:
                lines.push_back(form->CodeWindow()->ActiveLine());
                editorHadFocus.push_back(focused);
                QTest::keyClick(form->windowHandle(), Qt::Key_F7, Qt::ControlModifier);
                break;
            case 2:
                editorHadFocus.push_back(focused);
                QTest::keyClick(form->windowHandle(), Qt::Key_F2, Qt::ControlModifier);
                break;
            default:
                form->Action(QStringLiteral("StopScript"))->trigger();
                break;
            }
        } else if (preview != nullptr && preview->isVisible() && started && !report.Running()) {
            preview->close();
        } else if (ticks > 20000) {
            // A safety net, never reached when the keys work: the test must not hang.
            report.SetTerminated(true);
            if (preview != nullptr)
                preview->close();
        }
    });
    user.start();
    closer.start();
    QTest::keyClick(form->windowHandle(), Qt::Key_F9);
    user.stop();
    closer.stop();
    EXPECT_EQ(lines, (std::vector<int>{kAddFirst, kAddSecond}));
    EXPECT_EQ(editorHadFocus, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(evaluated, 1);
    EXPECT_FALSE(Finished());
    EXPECT_FALSE(form->ScriptRunning());
    EXPECT_LT(ticks, 20000);
    ReportServices::SetUi(&ui);
    form->hide();
}

TEST_F(ScriptDebugger, EvaluateWhilePausedTakesTheSelectionAndKeysReachTheCommands)
{
    Command(QStringLiteral("Breakpoint"), kAddSecond);
    // F5 on the script page toggles the breakpoint of the caret line, as the button does.
    form->CodeWindow()->SetPos(1, kAddFirst);
    EXPECT_TRUE(PressKey(*form, Qt::Key_F5));
    EXPECT_TRUE(form->CodeWindow()->IsBreakPoint(kAddFirst));
    EXPECT_TRUE(PressKey(*form, Qt::Key_F5));
    EXPECT_FALSE(form->CodeWindow()->IsBreakPoint(kAddFirst));

    QString expression, result;
    OnOtherModal = [&](QObject& window, const QString&) {
        auto* evaluate = dynamic_cast<TrpEvaluateForm*>(&window);
        EXPECT_NE(evaluate, nullptr);
        if (evaluate != nullptr) {
            expression = evaluate->ExpressionE->text();
            evaluate->EvaluateExpression();
            result = evaluate->ResultM->toPlainText();
        }
        return int(mrNone);
    };
    OnPause = [&](const Pause&) {
        if (pauses.size() != 1)
            return;
        // "k" selected in "  total := total + k;".
        form->CodeWindow()->SetSelection(QPoint(20, kAddSecond), QPoint(21, kAddSecond));
        EXPECT_TRUE(PressKey(*form, Qt::Key_F7, Qt::ControlModifier));
    };
    answers = {QStringLiteral("StopScript")};
    // F9 runs.
    EXPECT_TRUE(PressKey(*form, Qt::Key_F9));
    EXPECT_EQ(PausedLines(), std::vector<int>{kAddSecond});
    EXPECT_EQ(expression, QStringLiteral("k"));
    EXPECT_EQ(result, QStringLiteral("10"));
}

TEST_F(ScriptDebugger, PreviewWhilePausedResumesTheRun)
{
    EXPECT_FALSE(form->ResumeScript());
    int resumed = 0;
    ui.OnInputEvents = [&] {
        if (form->ScriptStopped() && form->ResumeScript())
            ++resumed;
    };
    Command(QStringLiteral("RunToCursor"), kAddSecond);
    EXPECT_EQ(resumed, 1);
    EXPECT_TRUE(Finished());
}

TEST_F(ScriptDebugger, DataTreeDoubleClickPutsTheFieldIntoTheScript)
{
    report.Variables().SetValue(QStringLiteral("Counter"), Variant(1));
    TrpDataTreeForm* tree = form->DataTree();
    tree->UpdateItems();
    tree->ShowTab(1);
    QTreeWidgetItem* counter = FindItem(tree->VariablesTree, QStringLiteral("Counter"));
    ASSERT_NE(counter, nullptr);
    tree->VariablesTree->setCurrentItem(counter);
    ASSERT_EQ(tree->GetFieldName(), QStringLiteral("<Counter>"));
    form->CodeWindow()->SetPos(3, 21);
    ASSERT_TRUE(tree->OnDblClick);
    tree->OnDblClick(tree->VariablesTree);
    EXPECT_EQ(form->CodeWindow()->Line(21), QStringLiteral("  <Counter>total := 0;"));
    EXPECT_TRUE(form->Modified());

    // On a design page the data tab of a report without data sets offers the data dialog.
    form->SetTabIndex(2);
    ASSERT_NE(form->Page(), nullptr);
    QAction* data = form->Action(QStringLiteral("ReportDataCmd"));
    data->setEnabled(true);
    int opened = 0;
    QObject::connect(data, &QAction::triggered, [&opened] { ++opened; });
    tree->ShowTab(0);
    tree->OnDblClick(tree->NoDataL);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(form->CodeWindow()->Line(21), QStringLiteral("  <Counter>total := 0;"));
}

TEST_F(ScriptDebugger, AScriptThatDoesNotPrepareNeverStartsTheRun)
{
    QStringList broken = kScript;
    broken[20] = QStringLiteral("  total := ;");
    form->CodeWindow()->SetLines(broken);
    Command(QStringLiteral("StepScript"));
    EXPECT_EQ(previews, 0);
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(form->Page(), nullptr);
    EXPECT_EQ(form->CodeWindow()->GetPos().y(), 21);
    EXPECT_FALSE(form->CodeWindow()->Message().isEmpty());
    EXPECT_FALSE(form->ScriptRunning());
    for (TrpComponent* object : report.AllObjects())
        EXPECT_TRUE(object->IsDesigning()) << object->Name().toStdString();
}

TEST_F(ScriptDebugger, LanguageChangeAnsweredNoKeepsScriptAndLanguage)
{
    auto* langCB = qobject_cast<QComboBox*>(form->Control(QStringLiteral("LangCB")));
    ASSERT_NE(langCB, nullptr);
    ASSERT_EQ(langCB->currentText(), QStringLiteral("RireroRidoze"));
    ui.Prompts.clear();
    const auto choose = [&](const QString& language, const QString& answer) {
        ui = DebugUser({answer});
        ReportServices::SetUi(&ui);
        langCB->setCurrentIndex(langCB->findText(language));
        emit langCB->activated(langCB->currentIndex());
    };
    choose(QStringLiteral("JScript"), QStringLiteral("mrNo"));
    ASSERT_EQ(ui.Prompts.size(), 1u);
    EXPECT_EQ(ui.Prompts[0].Text, QStringLiteral("Это очистит весь код. Продолжить?"));
    EXPECT_EQ(report.ScriptLanguage, QStringLiteral("RireroRidoze"));
    EXPECT_EQ(langCB->currentText(), QStringLiteral("RireroRidoze"));
    EXPECT_EQ(form->CodeWindow()->Lines().List(), kScript);
    EXPECT_EQ(form->CodeWindow()->Syntax(), QStringLiteral("RireroRidoze"));
    EXPECT_FALSE(form->Modified());

    choose(QStringLiteral("JScript"), QStringLiteral("mrYes"));
    EXPECT_EQ(report.ScriptLanguage, QStringLiteral("JScript"));
    EXPECT_EQ(form->CodeWindow()->Syntax(), QStringLiteral("JScript"));
    EXPECT_NE(form->CodeWindow()->Lines().List(), kScript);
    EXPECT_TRUE(form->Modified());
}

TEST_F(ScriptDebugger, ScriptFilesFollowTheLanguage)
{
    const QString path = folder.filePath(QStringLiteral("out.js"));
    const struct {
        const char* language;
        int filterIndex;
        const char* extension;
    } rows[] = {{"RireroRidoze", 1, "pas"}, {"R++Idirud", 2, "cpp"}, {"JScript", 3, "js"},
                {"ZuvivUradur", 4, "vb"},   {"Other", 5, ""}};
    for (const auto& row : rows) {
        report.ScriptLanguage = QString::fromLatin1(row.language);
        ui = DebugUser({QStringLiteral("ok ") + path, QStringLiteral("ok ") + path});
        ReportServices::SetUi(&ui);
        form->SaveScriptBClick();
        form->CodeWindow()->SetLines({QStringLiteral("changed")});
        form->OpenScriptBClick();
        ASSERT_EQ(ui.Dialogs.size(), 2u) << row.language;
        for (const UiFileDialog& dialog : ui.Dialogs) {
            EXPECT_EQ(dialog.FilterIndex, row.filterIndex) << row.language;
            EXPECT_EQ(dialog.DefaultExt, QString::fromLatin1(row.extension)) << row.language;
            EXPECT_TRUE(dialog.Filter.contains(QStringLiteral("*.js"))) << row.language;
        }
        EXPECT_EQ(form->CodeWindow()->Lines().List(), kScript) << row.language;
        form->CodeWindow()->SetLines(kScript);
    }
    // A cancelled open leaves the script as it is.
    ui = DebugUser({QStringLiteral("cancel")});
    ReportServices::SetUi(&ui);
    form->CodeWindow()->SetLines({QStringLiteral("kept")});
    form->OpenScriptBClick();
    EXPECT_EQ(form->CodeWindow()->Lines().List(), QStringList{QStringLiteral("kept")});
}

TEST_F(ScriptDebugger, EditingAndCaretOnTheScriptPage)
{
    ASSERT_EQ(form->Page(), nullptr);
    form->CodeWindow()->SetPos(5, 3);
    EXPECT_EQ(form->Coord(1), QStringLiteral("3; 5"));
    EXPECT_TRUE(form->Coord(2).isEmpty());
    EXPECT_FALSE(form->Modified());
    form->CodeWindow()->SetSelText(QStringLiteral("x"));
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->Action(QStringLiteral("SaveCmd"))->isEnabled());
}

TEST_F(ScriptDebugger, CompletionListsMembersWithKindsAndObjectsForAnEmptyText)
{
    QListWidget list;
    form->CodeCompletion(QStringLiteral("Report"), list);
    std::map<QString, int> items;
    for (int i = 0; i < list.count(); ++i)
        items[list.item(i)->text()] = list.item(i)->data(Qt::UserRole).toInt();
    ASSERT_FALSE(items.empty());
    std::set<int> kinds;
    for (const auto& [text, kind] : items)
        kinds.insert(kind);
    EXPECT_TRUE(kinds.count(1) && kinds.count(2) && kinds.count(3));
    // Kind words are taken off the texts.
    for (const auto& [text, kind] : items) {
        EXPECT_FALSE(text.startsWith(QStringLiteral("property "))) << text.toStdString();
        EXPECT_FALSE(text.startsWith(QStringLiteral("procedure "))) << text.toStdString();
        EXPECT_FALSE(text.startsWith(QStringLiteral("function "))) << text.toStdString();
    }
    EXPECT_EQ(items[QStringLiteral("ShowReport")], 2);
    EXPECT_EQ(items[QStringLiteral("Calc(const Expr: String): Variant")], 3);
    // Sorted, each once.
    EXPECT_EQ(static_cast<int>(items.size()), list.count());
    for (int i = 1; i < list.count(); ++i)
        EXPECT_LT(list.item(i - 1)->text(), list.item(i)->text());

    // Through a member's type: the page of a name.
    list.clear();
    form->CodeCompletion(QStringLiteral("page1"), list);
    EXPECT_GT(list.count(), 0);
    const int pageMembers = list.count();
    list.clear();
    form->CodeCompletion(QStringLiteral("Page1.NoSuchMember"), list);
    EXPECT_EQ(list.count(), 0);
    EXPECT_GT(pageMembers, 0);

    list.clear();
    new QListWidgetItem(QStringLiteral("left over"), &list);
    form->CodeCompletion(QString(), list);
    QStringList objects;
    for (int i = 0; i < list.count(); ++i)
        objects << list.item(i)->text();
    QStringList expected;
    for (TrpComponent* object : report.AllObjects())
        expected << object->Name() + QStringLiteral(" : ") + object->ClassName();
    EXPECT_EQ(objects, expected);
    EXPECT_TRUE(objects.contains(QStringLiteral("Page1 : TrpReportPage")));
}

} // namespace
