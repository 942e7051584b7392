// The designer as a report author uses it: numbers refused in the designer's words before
// anything changes, settings edited by hand that cannot wreck a report, the watch list's
// buttons, short cuts before text input, Alt+click, completion with nothing to offer, the focus
// after a modal window and recent files that reopen from anywhere.

#include "DialogTestSupport.h"
#include "RptoolRun.h"

#include "report/designer/DesignerInput.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDesgnWorkspace.h"
#include "report/designer/rpDesignerDialogs.h"
#include "report/designer/rpEvaluateForm.h"
#include "report/designer/rpInsp.h"
#include "report/designer/rpSynMemo.h"
#include "report/designer/rpWatchForm.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/script/ui/QtUiService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QString Views()
{
    return QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3");
}

// The tops of a report's bands as `rptool tree` lists them, in file order.
QStringList BandTops(const QString& file)
{
    const ToolRun tree = Rptool({QStringLiteral("tree"), file});
    EXPECT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    QStringList tops;
    for (const QString& line : tree.out.split(u'\n')) {
        const QStringList words = line.trimmed().split(u' ');
        if (words.size() == 6 && words[1] != QLatin1String("TrpReportPage") &&
            (words[1].contains(QLatin1String("Title")) || words[1].contains(QLatin1String("Header")) ||
             words[1].contains(QLatin1String("Data")) || words[1].contains(QLatin1String("Footer"))))
            tops << words[3];
    }
    return tops;
}

// A designer window on a report page with one band and a memo, after the program's start-up,
// its settings in a file of the test's own.
class AuthorFlows : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetDefaults();
        band = new TrpMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 40, 700, 100);
        memo = new TrpMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(40, 10, 120, 30);
    }
    void TearDown() override
    {
        if (form != nullptr) {
            form->CloseNow();
            form.reset();
        }
    }

    void Open()
    {
        form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->resize(1000, 700);
        form->show();
        form->SetPage(page);
        QApplication::processEvents();
    }

    ModalScript modal;
    QTemporaryDir folder;
    TrpReport report;
    TrpReportPage* page = nullptr;
    TrpBand* band = nullptr;
    TrpMemoView* memo = nullptr;
    std::unique_ptr<TrpDesignerForm> form;
};

// --- numbers refused before anything changes

// What the designer shows of the values the dialogs below edit.
QString DesignerValues(TrpDesignerForm& form, TrpReport& report, TrpReportPage& page, TrpMemoView& memo)
{
    return QStringList{QString::number(form.GridSize1()), QString::number(form.GridSize2()),
                       QString::number(form.GridSize3()), QString::number(form.GridSize4()),
                       QString::number(form.BandsGap()), QString::number(form.ScriptFontSize()),
                       QString::number(form.MemoFontSize), QString::number(report.PrintOptions().Copies),
                       QString::number(page.ColumnWidth), page.ColumnPositions().join(u';'),
                       QString::number(page.LeftMargin), QString::number(memo.Frame().Width()),
                       QString::number(memo.Frame().ShadowWidth), QString::number(form.Units())}
        .join(u' ');
}

void SetField(QDialog& dialog, const QString& name, const QString& text)
{
    QObject* field = dialog.findChild<QObject*>(name);
    ASSERT_NE(field, nullptr) << name.toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->setText(text);
    else if (auto* box = qobject_cast<QComboBox*>(field))
        box->setEditText(text);
    else if (auto* memoField = qobject_cast<QPlainTextEdit*>(field))
        memoField->setPlainText(text);
    else
        ADD_FAILURE() << "no text field " << name.toStdString();
}

// Each field with a value outside its range (or no number): OK shows one message in Russian
// naming the field, the dialog stays open with what was typed, and nothing reaches the report or
// the designer.
TEST_F(AuthorFlows, NumberFieldsRefuseValuesOutsideTheirRangesNamingTheField)
{
    Open();
    form->SelectedObjects().clear();
    form->SelectedObjects().emplace_back(memo);
    form->SelectionChanged(nullptr);
    struct Case {
        const char* command; // a window command, or a dialog class opened on the selection
        const char* field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"OptionsCmd", "PixelsE", "1e300", "Поле 'Точки': допустимы значения от 1 до 40"},
        {"OptionsCmd", "PixelsE", "0", "Поле 'Точки': допустимы значения от 1 до 40"},
        {"OptionsCmd", "PixelsE", "-1", "Поле 'Точки': допустимы значения от 1 до 40"},
        {"OptionsCmd", "CME", "5", "Поле 'Сантиметры': допустимы значения от 0.01 до 1"},
        {"OptionsCmd", "InchesE", "abc", "Поле 'Дюймы': 'abc' не является числом"},
        {"OptionsCmd", "DialogFormE", "0", "Поле 'Диалоговая форма': допустимы значения от 1 до 40"},
        {"OptionsCmd", "GapE", "-100", "Поле 'Промежуток между бэндами': допустимы значения от 0 до 100"},
        {"OptionsCmd", "MemoEditorSizeCB", "-5", "Поле 'Редактор текста, размер': допустимы значения от 5 до 72"},
        {"OptionsCmd", "CodeWindowSizeCB", "0", "Поле 'Окно кода, размер': допустимы значения от 5 до 72"},
        {"ReportOptionsCmd", "CopiesE", "-1", "Поле 'Копии': допустимы значения от 1 до 10000"},
        {"ReportOptionsCmd", "CopiesE", "0", "Поле 'Копии': допустимы значения от 1 до 10000"},
        {"ReportOptionsCmd", "CopiesE", "2,5", "Поле 'Копии': '2,5' не является целым числом"},
        {"PageSettingsCmd", "ColumnWidthE", "-50", "Поле 'Колонки, ширина': допустимы значения от 0 до 21"},
        {"PageSettingsCmd", "ColumnPositionsM", "0\n-10", "Поле 'Колонки, позиции': допустимы значения от 0 до 21"},
        {"PageSettingsCmd", "MarginLeftE", "abc", "Поле 'Поля, слева': 'abc' не является числом"},
        {"TrpFrameEditorForm", "FrameWidthCB", "-3", "допустимы значения от 0 до 1000"},
        {"TrpFrameEditorForm", "FrameWidthCB", "1e9", "допустимы значения от 0 до 1000"},
        {"TrpFrameEditorForm", "ShadowWidthCB", "-7", "допустимы значения от 0 до 1000"},
    };
    const QString before = DesignerValues(*form, report, *page, *memo);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.text);
        modal.ui.Errors.clear();
        bool stayedOpen = false;
        QString kept;
        modal.Steps.push_back([&](QDialog& dialog) {
            SetField(dialog, QString::fromLatin1(c.field), QString::fromUtf8(c.text));
            dialog.findChild<QPushButton*>(QStringLiteral("OkB"))->click();
            stayedOpen = dialog.result() != QDialog::Accepted;
            // What was typed stays for the person to correct.
            if (auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(c.field)))
                kept = edit->text();
            else if (auto* box = dialog.findChild<QComboBox*>(QString::fromLatin1(c.field)))
                kept = box->currentText();
            else if (auto* text = dialog.findChild<QPlainTextEdit*>(QString::fromLatin1(c.field)))
                kept = text->toPlainText();
            dialog.reject();
        });
        const QString command = QString::fromLatin1(c.command);
        if (command.endsWith(QLatin1String("Cmd")))
            form->Action(command)->trigger();
        else
            DesignerDialogs::OpenOnSelection(command, *form, form.get());
        EXPECT_TRUE(modal.Steps.empty());
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(modal.ui.Errors.size(), 1);
        EXPECT_TRUE(modal.ui.Errors.front().contains(QString::fromUtf8(c.message)))
            << modal.ui.Errors.front().toStdString();
        if (command != QLatin1String("TrpFrameEditorForm"))
            EXPECT_EQ(kept, QString::fromUtf8(c.text));
        EXPECT_EQ(DesignerValues(*form, report, *page, *memo), before);
    }
}

// The inspector's sizes: a memo is never narrower or lower than nothing, a line may run
// backwards; text that is no number is refused in the designer's words, naming the property.
TEST_F(AuthorFlows, InspectorRefusesNegativeSizesOfObjectsButNotOfLines)
{
    auto* line = new TrpLineView(band);
    line->SetName(QStringLiteral("Line1"));
    line->SetBounds(200, 10, 100, 40);
    Open();
    form->SetUnits(duPixels);
    TrpObjectInspector* inspector = form->Inspector();
    const auto type = [&](TrpComponent* object, const char16_t* property, const QString& text) {
        form->SelectedObjects().clear();
        form->SelectedObjects().emplace_back(object);
        form->SelectionChanged(nullptr);
        const int row = inspector->FindRow(QStringView(property));
        EXPECT_GE(row, 0);
        inspector->SetItemIndex(row);
        QLineEdit* edit = inspector->Edit1();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    type(memo, u"Width", QStringLiteral("-5"));
    type(memo, u"Height", QStringLiteral("-1"));
    type(memo, u"Width", QStringLiteral("abc"));
    EXPECT_EQ(modal.ui.Errors,
              (QStringList{QStringLiteral("Поле 'Width': допустимы значения от 0 до 10000000"),
                           QStringLiteral("Поле 'Height': допустимы значения от 0 до 10000000"),
                           QStringLiteral("Поле 'Width': 'abc' не является числом")}));
    EXPECT_EQ(memo->Width(), 120);
    EXPECT_EQ(memo->Height(), 30);
    modal.ui.Errors.clear();
    type(line, u"Width", QStringLiteral("-60"));
    EXPECT_TRUE(modal.ui.Errors.isEmpty());
    EXPECT_EQ(line->Width(), -60);
}

// --- grid steps

// A grid step of 1e300 typed into the options used to be stored, and every report opened
// afterwards had its bands rounded onto one top. Now the step is refused by the dialog, the
// settings keep the good one, and a drag leaves the bands in their order.
TEST_F(AuthorFlows, AHugeGridStepIsRefusedAndReportsKeepTheirBands)
{
    QTemporaryDir home;
    const QString design = home.filePath(QStringLiteral("r.zi3"));
    ASSERT_TRUE(QFile::copy(Views(), design));
    const ToolRun refused =
        Rptool({QStringLiteral("design"), design, QStringLiteral("--dialog"), QStringLiteral("TrpOptionsEditor"),
                QStringLiteral("--in-dialog"), QStringLiteral("check PixelsRB"), QStringLiteral("--in-dialog"),
                QStringLiteral("set PixelsE=1e300"), QStringLiteral("--in-dialog"), QStringLiteral("check AlignGridCB"),
                QStringLiteral("--answer"), QStringLiteral("ok")},
               home.path());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Поле 'Точки': допустимы значения от 1 до 40")))
        << refused.err.toStdString();

    // The same drag with settings never touched gives the same bands.
    const auto dragged = [&](const QString& settings, const QString& name) {
        const QString out = home.filePath(name);
        const ToolRun drag = Rptool({QStringLiteral("design"), design, QStringLiteral("--units"), QStringLiteral("px"),
                                     QStringLiteral("--do"), QStringLiteral("drag 100,30 110,40"),
                                     QStringLiteral("--save"), out},
                                    settings);
        EXPECT_EQ(drag.exitCode, 0) << drag.err.toStdString();
        return BandTops(out);
    };
    QTemporaryDir untouched;
    const QStringList tops = dragged(home.path(), QStringLiteral("after.zi3"));
    ASSERT_EQ(tops.size(), 5);
    EXPECT_EQ(tops, dragged(untouched.path(), QStringLiteral("fresh.zi3")));
    for (int i = 1; i < tops.size(); ++i)
        EXPECT_LT(tops[i - 1].toDouble(), tops[i].toDouble());
}

// A settings file edited by hand: numbers outside their fields' ranges are read as the defaults.
TEST_F(AuthorFlows, SettingsEditedByHandFallBackToTheDefaults)
{
    QFile ini(report.IniFile);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Form4.TrpDesignerForm]\nScale=-3\nWorkspaceColor=16777215\nGrid1=1e300\nGrid2=-1\nGrid3=1e300\n"
              "Grid4=0\nUnits=2\nBandsGap=-100\nScriptFontSize=0\nMemoFontSize=-5\nGridAlign=1\n");
    ini.close();
    Open();
    EXPECT_EQ(form->Scale(), 1);
    EXPECT_EQ(form->GridSize1(), 0.1);
    EXPECT_EQ(form->GridSize2(), 0.1);
    EXPECT_EQ(form->GridSize3(), 4);
    EXPECT_EQ(form->GridSize4(), 4);
    EXPECT_EQ(form->BandsGap(), 4);
    EXPECT_EQ(form->ScriptFontSize(), 10);
    EXPECT_EQ(form->MemoFontSize, 10);
    // Pixels with the default step of 4: a band moved by the mouse keeps its place among the others.
    EXPECT_EQ(form->Units(), duPixels);
    auto* second = new TrpMasterData(page);
    second->SetName(QStringLiteral("MasterData2"));
    second->SetBounds(0, 200, 700, 60);
    form->ReloadReport();
    form->SetPage(page);
    DesignerInput input(*form->Workspace());
    input.Click(QPointF(300, 60));
    input.Drag(QPointF(300, 60), QPointF(310, 70));
    EXPECT_LT(band->Top(), second->Top());
}

// Units chosen in the options are the units of report pages from then on: kept across a dialog
// page and stored for the next run.
TEST_F(AuthorFlows, UnitsChosenInTheOptionsStay)
{
    Open();
    modal.Steps.push_back([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("PixelsRB"))->setChecked(true);
        dialog.findChild<QPushButton*>(QStringLiteral("OkB"))->click();
    });
    form->Action(QStringLiteral("OptionsCmd"))->trigger();
    EXPECT_EQ(form->Units(), duPixels);
    form->SwitchToCodeWindow();
    form->SetPage(page);
    EXPECT_EQ(form->Units(), duPixels);
    form->CloseNow();
    form.reset();
    Open();
    EXPECT_EQ(form->Units(), duPixels);
}

// --- saving from a scripted run

// A scripted run read the report silently and wrote that silence into every file it saved:
// what --save and the window's Save write carry no engine option the author never set.
TEST_F(AuthorFlows, AScriptedRunSavesWhatAPersonsSaveWrites)
{
    QTemporaryDir home;
    const QString design = home.filePath(QStringLiteral("r.zi3"));
    ASSERT_TRUE(QFile::copy(Views(), design));
    QFile::setPermissions(design, QFile::ReadOwner | QFile::WriteOwner);
    const QString saved = home.filePath(QStringLiteral("saved.zi3"));
    const ToolRun save = Rptool({QStringLiteral("design"), design, QStringLiteral("--save"), saved}, home.path());
    ASSERT_EQ(save.exitCode, 0) << save.err.toStdString();
    const ToolRun windowSave =
        Rptool({QStringLiteral("design"), design, QStringLiteral("--select"), QStringLiteral("AlignMemo1"),
                QStringLiteral("--do"), QStringLiteral("key Ctrl+Right"), QStringLiteral("--do"),
                QStringLiteral("cmd SaveCmd"), QStringLiteral("--state")},
               home.path());
    ASSERT_EQ(windowSave.exitCode, 0) << windowSave.err.toStdString();
    for (const QString& file : {saved, design}) {
        QFile read(file);
        ASSERT_TRUE(read.open(QIODevice::ReadOnly));
        const QByteArray text = read.readAll();
        EXPECT_FALSE(text.contains("SilentMode")) << file.toStdString();
    }
    // The window's Save did write: the memo moved by one unit.
    EXPECT_NE(Rptool({QStringLiteral("tree"), design}).out, Rptool({QStringLiteral("tree"), saved}).out);
}

// --- the watch list

TEST_F(AuthorFlows, WatchListAddAndEditAskThroughTheEvaluateWindow)
{
    Open();
    TrpWatchForm* watches = form->WatchList();
    QStringList presets;
    const auto answer = [&](const QString& text) {
        modal.Then<TrpEvaluateForm>([&, text](TrpEvaluateForm& dialog) {
            presets << dialog.ExpressionE->text();
            dialog.ExpressionE->setText(text);
            dialog.OkB->click();
        });
    };
    answer(QStringLiteral("total"));
    watches->AddB->click();
    ASSERT_EQ(watches->Watches().size(), 1);
    EXPECT_EQ(watches->Watches()[0].expression, QStringLiteral("total"));
    watches->WatchLB->setCurrentRow(0);
    answer(QStringLiteral("total * 2"));
    watches->EditB->click();
    EXPECT_EQ(watches->Watches()[0].expression, QStringLiteral("total * 2"));
    EXPECT_EQ(presets, (QStringList{QString(), QStringLiteral("total")}));
    // Cancel changes nothing.
    modal.Then<TrpEvaluateForm>([](TrpEvaluateForm& dialog) { dialog.CancelB->click(); });
    watches->EditB->click();
    EXPECT_EQ(watches->Watches()[0].expression, QStringLiteral("total * 2"));
    EXPECT_EQ(modal.Shown.size(), 3);
}

// --- keys

// The window's short cuts come before text input on every page: Alt+X in the script editor
// closes the window instead of typing "x".
TEST_F(AuthorFlows, WindowShortCutsComeBeforeTextInput)
{
    Open();
    form->SwitchToCodeWindow();
    TrpSyntaxMemo* editor = form->CodeWindow();
    editor->SetLines({QStringLiteral("begin"), QStringLiteral("end.")});
    form->activateWindow();
    editor->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), editor);
    int exits = 0;
    QObject::connect(form->Action(QStringLiteral("ExitCmd")), &QAction::triggered, [&] { ++exits; });
    QTest::keyClick(form->windowHandle(), Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(editor->Lines().List(), (QStringList{QStringLiteral("begin"), QStringLiteral("end.")}));
}

// A plain Alt+click on a memo opens the in-place editor; the mouse need not move while Alt is
// held.
TEST_F(AuthorFlows, APlainAltClickOpensTheInPlaceEditor)
{
    Open();
    TDesignerWorkspace* workspace = form->Workspace();
    const QPoint at(qRound((memo->AbsLeft() + 20) * form->Scale()), qRound((memo->AbsTop() + 10) * form->Scale()));
    QTest::mouseClick(workspace, Qt::LeftButton, Qt::AltModifier, at);
    ASSERT_TRUE(workspace->InplaceMemo()->isVisible());
    EXPECT_EQ(form->SelectedObjects().size(), 1u);
    EXPECT_EQ(form->SelectedObjects().front().data(), memo);
}

// Completion with nothing to offer shows no list that would take the keys: a word in the
// message bar, and typing goes on in the editor.
TEST_F(AuthorFlows, CompletionWithNothingToOfferShowsNoList)
{
    Open();
    form->SwitchToCodeWindow();
    TrpSyntaxMemo* editor = form->CodeWindow();
    editor->SetLines({QStringLiteral("  Sender.")});
    editor->SetPos(10, 1);
    form->activateWindow();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(form->findChild<TrpPopupForm*>(), nullptr);
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible() && qobject_cast<TrpPopupForm*>(window) != nullptr);
    EXPECT_EQ(editor->Message(), QStringLiteral("нет вариантов"));
    QTest::keyClicks(editor, QStringLiteral("Name"));
    EXPECT_EQ(editor->Lines()[0], QStringLiteral("  Sender.Name"));
    EXPECT_EQ(QApplication::focusWidget(), editor);
}

// After the Find dialog and the message that nothing was found, the focus is back in the
// script editor: Ctrl+F opens Find again at once. Through the program's own dialogs.
TEST_F(AuthorFlows, FocusComesBackAfterFindAndAMessageBox)
{
    QtUiService qt;
    ReportServices::SetUi(&qt);
    Open();
    form->SwitchToCodeWindow();
    TrpSyntaxMemo* editor = form->CodeWindow();
    editor->SetLines({QStringLiteral("begin"), QStringLiteral("end.")});
    form->activateWindow();
    editor->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), editor);
    int finds = 0;
    QStringList messages;
    QTimer user;
    user.setInterval(1);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* modalWidget = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modalWidget)) {
            messages << box->text();
            box->accept();
        } else if (auto* find = qobject_cast<QDialog*>(modalWidget); find != nullptr && find->isVisible()) {
            ++finds;
            auto* text = find->findChild<QLineEdit*>();
            if (finds == 1 && text != nullptr) {
                text->setText(QStringLiteral("nowhere"));
                find->accept();
            } else {
                find->reject();
            }
        }
    });
    user.start();
    QTest::keyClick(form->windowHandle(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(finds, 1);
    EXPECT_EQ(messages.size(), 1);
    // The window's activation comes as the window system's answer.
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), editor);
    QTest::keyClick(form->windowHandle(), Qt::Key_F, Qt::ControlModifier);
    user.stop();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(finds, 2);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    ReportServices::SetUi(&modal.ui);
}

// --- recent files

// A report opened by a relative name is remembered by its full name and reopens from any
// folder.
TEST_F(AuthorFlows, RecentFilesKeepFullNamesAndReopenFromAnyFolder)
{
    QTemporaryDir work;
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("g")));
    ASSERT_TRUE(QFile::copy(Views(), work.filePath(QStringLiteral("g/v.zi3"))));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    Open();
    form->LoadFile(QStringLiteral("g/v.zi3"), false);
    QDir::setCurrent(previous);
    const QString full = QFileInfo(work.filePath(QStringLiteral("g/v.zi3"))).absoluteFilePath();
    ASSERT_FALSE(form->RecentFiles().isEmpty());
    EXPECT_EQ(form->RecentFiles().back(), full);
    QAction* recent = nullptr;
    for (QAction* item : form->findChild<QMenu*>(QStringLiteral("FileMenu"))->actions()) {
        if (item->property("tag").toInt() == 100 && item->text() == full)
            recent = item;
    }
    ASSERT_NE(recent, nullptr);
    // From another folder, after the report was replaced by a new one.
    form->Action(QStringLiteral("NewReportCmd"))->trigger();
    ASSERT_EQ(report.FindObject(u"AlignMemo1"), nullptr);
    recent->trigger();
    EXPECT_NE(report.FindObject(u"AlignMemo1"), nullptr);
    EXPECT_TRUE(modal.ui.Errors.isEmpty()) << modal.ui.Errors.join(u'\n').toStdString();
}

} // namespace
