// The designer window's commands as a user runs them from the menus: files (save, save as,
// open, recent files), new reports and pages, undo and redo, the clipboard, the selection
// commands, child bands, the context menu and find and replace. Dialogs and questions are
// answered by the scripted user-interface service.

#include "report/designer/DesignerInput.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgn.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDock.h"
#include "report/designer/rpDsgnIntfEditors.h"

#include "ReportFakes.h"
#include "SaveScreenshot.h"

#include "report/core/DateValues.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptedUi.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QWidget>

#include "report/designer/rpDsgnRegister.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class DesignerCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        Answers({});
    }
    void TearDown() override { ReportServices::SetUi(nullptr); }

    // A new scripted service with these answers, one per prompt in order.
    ScriptedUi& Answers(const QStringList& answers)
    {
        ui = std::make_unique<ScriptedUi>(answers);
        ReportServices::SetUi(ui.get());
        return *ui;
    }

    std::unique_ptr<TrpDesignerForm> Open(bool preview = false)
    {
        auto form = std::make_unique<TrpDesignerForm>(&report, preview);
        report.SetDesigner(form.get());
        form->Start();
        form->resize(1000, 700);
        form->show();
        QApplication::processEvents();
        return form;
    }

    // Page1 with a header band holding memos.
    TrpBand* AddBandWithMemos(const QStringList& texts)
    {
        if (report.PagesCount() == 0) {
            new TrpDataPage(&report);
            report.Pages(0)->SetName(QStringLiteral("Data"));
            auto* page = new TrpReportPage(&report);
            page->SetName(QStringLiteral("Page1"));
            page->SetDefaults();
        }
        auto* page = report.Pages(1);
        auto* band = new TrpHeader(page);
        band->CreateUniqueName();
        band->SetBounds(0, 20 + 200.0 * static_cast<double>(page->Objects().size()), 700, 150);
        double left = 0;
        for (const QString& text : texts) {
            auto* memo = new TrpMemoView(band);
            memo->CreateUniqueName();
            memo->SetBounds(left, 10, 90, 20);
            memo->SetText(text);
            left += 100;
        }
        return band;
    }

    static void Trigger(TrpDesignerForm& form, const char* action)
    {
        QAction* command = form.Action(QString::fromLatin1(action));
        ASSERT_NE(command, nullptr) << action;
        ASSERT_TRUE(command->isEnabled()) << action;
        command->trigger();
    }

    static void Select(TrpDesignerForm& form, std::initializer_list<TrpComponent*> objects)
    {
        form.SelectedObjects().clear();
        for (TrpComponent* object : objects)
            form.SelectedObjects().emplace_back(object);
        form.Workspace()->AfterSelectionChange();
        form.SelectionChanged(nullptr);
    }

    std::vector<QString> PromptTexts(const QString& kind) const
    {
        std::vector<QString> texts;
        for (const ScriptedUi::Prompt& prompt : ui->Prompts)
            if (prompt.Kind == kind)
                texts.push_back(prompt.Text);
        return texts;
    }

    int MemoCount() const
    {
        int count = 0;
        for (TrpComponent* object : report.AllObjects())
            count += dynamic_cast<TrpMemoView*>(object) != nullptr;
        return count;
    }

    struct RuntimeFirst {
        RuntimeFirst() { DesignerRuntime::init(); }
    } runtime;
    QTemporaryDir folder;
    std::unique_ptr<ScriptedUi> ui;
    TrpReport report;
};

// --- files ---

TEST_F(DesignerCommands, SaveAsStoresAPlainReportAndAddsItToTheRecentFiles)
{
    reporttest::FixedReportClock clock(46001.25);
    AddBandWithMemos({QStringLiteral("one")});
    report.ReportOptions().Compressed = true;
    auto form = Open();
    form->ObjectModified(nullptr);
    const QString path = folder.filePath(QStringLiteral("saved.zi3"));
    Answers({QStringLiteral("ok ") + path});
    Trigger(*form, "SaveAsCmd");
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(report.FileName(), path);
    EXPECT_TRUE(form->RecentFiles().contains(path));
    EXPECT_DOUBLE_EQ(report.ReportOptions().LastChange, 46001.25);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("<?xml")) << "stored uncompressed";
    TrpReport loaded;
    loaded.LoadFromFile(path);
    EXPECT_NE(loaded.FindObject(u"Memo1"), nullptr);
    EXPECT_EQ(ui->AnswersLeft(), 0);
}

TEST_F(DesignerCommands, CancelledSaveDialogLeavesModified)
{
    AddBandWithMemos({QStringLiteral("one")});
    auto form = Open();
    form->ObjectModified(nullptr);
    Answers({QStringLiteral("cancel")});
    Trigger(*form, "SaveAsCmd");
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->RecentFiles().isEmpty());
}

TEST_F(DesignerCommands, SaveHandlerReturningFalseStillReportsSuccess)
{
    TrpDesigner component;
    int calls = 0;
    component.OnSaveReport = [&](TrpReport&, bool saveAs) {
        ++calls;
        EXPECT_FALSE(saveAs);
        return false;
    };
    AddBandWithMemos({QStringLiteral("one")});
    report.SetFileName(folder.filePath(QStringLiteral("named.zi3")));
    auto form = Open();
    form->ObjectModified(nullptr);
    const QStringList recent = form->RecentFiles();
    EXPECT_TRUE(form->SaveFile(false, true));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->RecentFiles(), recent);
    EXPECT_FALSE(QFile::exists(report.FileName()));
}

TEST_F(DesignerCommands, SaveKeepsViewsOutsideBandsAndTheyLoadBack)
{
    AddBandWithMemos({QStringLiteral("one")});
    auto* loose = new TrpMemoView(report.Pages(1));
    loose->SetName(QStringLiteral("LooseMemo"));
    loose->SetBounds(40, 900, 120, 20);
    auto form = Open();
    const QString path = folder.filePath(QStringLiteral("loose.zi3"));
    report.SetFileName(path);
    form->ObjectModified(nullptr);
    EXPECT_TRUE(form->SaveFile(false, true));
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(PromptTexts(QStringLiteral("MessageDlg")).empty());

    TrpReport reread;
    reread.EngineOptions().NewSilentMode = simSilent;
    reread.LoadFromFile(path);
    EXPECT_TRUE(reread.Errors().isEmpty()) << reread.Errors().join(u'|').toStdString();
    TrpComponent* found = reread.FindObject(QStringLiteral("LooseMemo"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Parent()->Name(), report.Pages(1)->Name());
}

TEST_F(DesignerCommands, OpenOfABrokenFileShowsTheErrorAndLeavesAnEmptyReport)
{
    const QString broken = folder.filePath(QStringLiteral("broken.zi3"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><TrpReport><TrpReportPage Name=\"P\"><TrpMemoView");
    file.close();
    AddBandWithMemos({QStringLiteral("one")});
    auto form = Open();
    report.EngineOptions().SetSilentMode(true);
    // Any number of boxes: the report's own errors, then the designer's.
    QStringList answers;
    for (int i = 0; i < 4; ++i)
        answers << QStringLiteral("mrOk");
    Answers(QStringList{QStringLiteral("ok ") + broken} + answers);
    Trigger(*form, "OpenCmd");
    const auto boxes = PromptTexts(QStringLiteral("MessageDlg"));
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), QStringLiteral("Не удалось открыть файл")), boxes.end());
    ASSERT_EQ(report.PagesCount(), 2);
    EXPECT_EQ(report.Pages(0)->Name(), QStringLiteral("Data"));
    EXPECT_EQ(report.Pages(1)->Name(), QStringLiteral("Page1"));
    EXPECT_TRUE(report.Pages(1)->Objects().empty());
    EXPECT_TRUE(report.EngineOptions().SilentMode()) << "silent mode comes back";
    EXPECT_FALSE(form->Modified());
}

TEST_F(DesignerCommands, CancelAtTheSaveQuestionOfOpenChangesNothing)
{
    const QString other = folder.filePath(QStringLiteral("other.zi3"));
    {
        TrpReport saved;
        new TrpDataPage(&saved);
        saved.Pages(0)->SetName(QStringLiteral("Data"));
        auto* page = new TrpReportPage(&saved);
        page->SetName(QStringLiteral("OtherPage"));
        saved.SaveToFile(other);
    }
    AddBandWithMemos({QStringLiteral("one")});
    auto form = Open();
    auto* memo = static_cast<TrpMemoView*>(report.FindObject(u"Memo1"));
    memo->SetText(QStringLiteral("changed"));
    form->ObjectModified(nullptr);
    const int undo = form->UndoBuffer()->UndoCount();
    for (const bool fromRecent : {false, true}) {
        Answers(fromRecent ? QStringList{QStringLiteral("mrCancel")}
                           : QStringList{QStringLiteral("ok ") + other, QStringLiteral("mrCancel")});
        if (fromRecent)
            form->LoadFile(other, true);
        else
            Trigger(*form, "OpenCmd");
        EXPECT_EQ(ui->AnswersLeft(), 0);
        EXPECT_TRUE(form->Modified());
        EXPECT_EQ(form->UndoBuffer()->UndoCount(), undo);
        EXPECT_EQ(report.FindObject(u"Memo1"), memo);
        EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("changed"));
        EXPECT_EQ(report.FindObject(u"OtherPage"), nullptr);
    }
    // No at the question loads the other report and forgets the change.
    Answers({QStringLiteral("mrNo")});
    form->LoadFile(other, true);
    EXPECT_NE(report.FindObject(u"OtherPage"), nullptr);
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(form->RecentFiles().contains(other));
}

TEST_F(DesignerCommands, LoadHandlersOfTheComponentTakeOver)
{
    TrpDesigner component;
    QString asked;
    component.OnLoadRecentReport = [&](TrpReport&, const QString& name) {
        asked = name;
        return true;
    };
    int loads = 0;
    component.OnLoadReport = [&](TrpReport&) {
        ++loads;
        return false;
    };
    auto form = Open();
    form->LoadFile(QStringLiteral("/some/where.zi3"), true);
    EXPECT_EQ(asked, QStringLiteral("/some/where.zi3"));
    Trigger(*form, "OpenCmd");
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(ui->Prompts.empty()) << "no open dialog with a handler";
}

// --- new report and pages ---

TEST_F(DesignerCommands, NewReportLaysOutTheBandsByUnits)
{
    const struct {
        TrpDesignerUnits units;
        double bandHeight;
    } cases[] = {{duCM, 22.68}, {duInches, 28.8}, {duPixels, 20}};
    for (const auto& row : cases) {
        AddBandWithMemos({QStringLiteral("old")});
        auto form = Open();
        form->SetUnits(row.units);
        form->SetOldUnits(row.units);
        // The positions as made (the compacting layout of fixed bands would move them).
        form->Workspace()->SetFreeBandsPlacement(true);
        const double h0 = form->Workspace()->BandHeader();
        Trigger(*form, "NewReportCmd");
        SCOPED_TRACE(row.units);
        ASSERT_EQ(report.PagesCount(), 2);
        EXPECT_EQ(report.Pages(0)->Name(), QStringLiteral("Data"));
        auto* page = dynamic_cast<TrpReportPage*>(report.Pages(1));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->Name(), QStringLiteral("Page1"));
        auto* title = report.FindObject(u"ReportTitle1");
        auto* master = report.FindObject(u"MasterData1");
        auto* footer = report.FindObject(u"PageFooter1");
        ASSERT_NE(title, nullptr);
        ASSERT_NE(master, nullptr);
        ASSERT_NE(footer, nullptr);
        EXPECT_NEAR(title->Height(), row.bandHeight, 1e-9);
        EXPECT_NEAR(master->Height(), row.bandHeight, 1e-9);
        EXPECT_NEAR(master->Top(), 2 * h0 + 2 * row.bandHeight, 1e-6);
        auto* memo = dynamic_cast<TrpMemoView*>(report.FindObject(u"Memo1"));
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->Parent(), footer);
        EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("[Page#]"));
        EXPECT_EQ(memo->HAlign, haRight);
        EXPECT_NEAR(memo->Left(), (page->PaperWidth() - page->LeftMargin - page->RightMargin - 20) * 3.77953, 1e-6);
        EXPECT_NEAR(memo->Width(), 75.5906, 1e-3);
        EXPECT_NEAR(memo->Height(), 18.8977, 1e-3);
        EXPECT_EQ(report.FindObject(u"Header1"), nullptr) << "the old report went";
        EXPECT_TRUE(report.FileName().isEmpty());
        EXPECT_FALSE(form->Modified());
        form->CloseNow();
    }
}

TEST_F(DesignerCommands, NewReportCancelledAtTheQuestionKeepsTheReport)
{
    AddBandWithMemos({QStringLiteral("keep")});
    auto form = Open();
    form->ObjectModified(nullptr);
    Answers({QStringLiteral("mrCancel")});
    Trigger(*form, "NewReportCmd");
    EXPECT_NE(report.FindObject(u"Memo1"), nullptr);
    EXPECT_EQ(report.FindObject(u"MasterData1"), nullptr);
    EXPECT_TRUE(form->Modified());
}

TEST_F(DesignerCommands, NewPageAndNewDialog)
{
    AddBandWithMemos({});
    auto form = Open();
    Trigger(*form, "NewPageCmd");
    ASSERT_EQ(report.PagesCount(), 3);
    EXPECT_NE(dynamic_cast<TrpReportPage*>(report.Pages(2)), nullptr);
    EXPECT_EQ(form->Page(), report.Pages(2));
    EXPECT_TRUE(form->Modified());
    Trigger(*form, "NewDialogCmd");
    ASSERT_EQ(report.PagesCount(), 4);
    auto* dialog = dynamic_cast<TrpDialogPage*>(report.Pages(3));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(form->Page(), dialog);
    EXPECT_EQ(QRectF(dialog->Left(), dialog->Top(), dialog->Width(), dialog->Height()),
              QRectF(265, 150, 300, 200));
    EXPECT_NE(report.Pages(2)->Name(), report.Pages(3)->Name());

    // A dot-matrix report gets dot-matrix pages.
    report.DotMatrixReport = true;
    form->SetPage(report.Pages(1));
    Trigger(*form, "NewPageCmd");
    EXPECT_NE(dynamic_cast<TrpDMPPage*>(report.Pages(report.PagesCount() - 1)), nullptr);
}

TEST_F(DesignerCommands, DeletePageFreesItsSubreport)
{
    TrpBand* band = AddBandWithMemos({});
    auto* second = new TrpReportPage(&report);
    second->SetName(QStringLiteral("Page2"));
    auto* subreport = new TrpSubreport(band);
    subreport->SetName(QStringLiteral("Subreport1"));
    subreport->SetPage(second);
    auto form = Open();
    form->SetPage(second);
    Trigger(*form, "DeletePageCmd");
    EXPECT_EQ(report.PagesCount(), 2);
    EXPECT_EQ(report.FindObject(u"Subreport1"), nullptr);
    EXPECT_EQ(report.FindObject(u"Page2"), nullptr);
    EXPECT_EQ(form->Page(), report.Pages(1));
    EXPECT_TRUE(form->Modified());
}

// --- undo and redo ---

TEST_F(DesignerCommands, UndoAndRedoOverThreeChanges)
{
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview designer" : "report designer");
        TrpReport own;
        own.IniFile = report.IniFile;
        new TrpDataPage(&own);
        auto* page = new TrpReportPage(&own);
        page->SetName(QStringLiteral("Page1"));
        auto* band = new TrpHeader(page);
        band->SetName(QStringLiteral("Header1"));
        band->SetBounds(0, 20, 700, 100);
        auto* memo = new TrpMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetText(QStringLiteral("0"));
        auto form = std::make_unique<TrpDesignerForm>(&own, preview);
        own.SetDesigner(form.get());
        form->Start();
        form->SetPage(page);
        const auto text = [&] {
            auto* current = dynamic_cast<TrpMemoView*>(form->Page()->FindObject(u"Memo1"));
            return current != nullptr ? current->Text().trimmed() : QStringLiteral("<none>");
        };
        for (const char* value : {"1", "2", "3"}) {
            static_cast<TrpMemoView*>(form->Page()->FindObject(u"Memo1"))->SetText(QString::fromLatin1(value));
            form->ObjectModified(nullptr);
        }
        for (const char* expected : {"2", "1", "0"}) {
            Trigger(*form, "UndoCmd");
            EXPECT_EQ(text(), QString::fromLatin1(expected));
            ASSERT_NE(form->Page(), nullptr);
        }
        EXPECT_FALSE(form->Action(QStringLiteral("UndoCmd"))->isEnabled());
        for (const char* expected : {"1", "2", "3"}) {
            Trigger(*form, "RedoCmd");
            EXPECT_EQ(text(), QString::fromLatin1(expected));
        }
        EXPECT_FALSE(form->Action(QStringLiteral("RedoCmd"))->isEnabled());
        EXPECT_TRUE(form->Modified());
        // A new change after undo drops what could be redone.
        Trigger(*form, "UndoCmd");
        form->ObjectModified(nullptr);
        EXPECT_FALSE(form->Action(QStringLiteral("RedoCmd"))->isEnabled());
        form->CloseNow();
    }
}

// --- clipboard ---

TEST_F(DesignerCommands, CopyPasteFollowsTheMouseAndTakesAFreeName)
{
    TrpBand* band = AddBandWithMemos({QStringLiteral("a"), QStringLiteral("b")});
    auto form = Open();
    form->SetPage(report.Pages(1));
    auto* second = report.FindObject(u"Memo2");
    Select(*form, {second});
    Trigger(*form, "CopyCmd");
    ASSERT_TRUE(form->Action(QStringLiteral("PasteCmd"))->isEnabled());
    Trigger(*form, "PasteCmd");
    EXPECT_TRUE(form->Workspace()->SimulatingMove());
    DesignerInput input(*form->Workspace());
    input.Click(QPointF(band->Left() + 400, band->Top() + 40));
    EXPECT_FALSE(form->Workspace()->SimulatingMove());
    EXPECT_EQ(MemoCount(), 3);
    auto* copy = dynamic_cast<TrpMemoView*>(report.FindObject(u"Memo3"));
    ASSERT_NE(copy, nullptr) << "Memo2 is taken, so the copy takes the next free name";
    EXPECT_EQ(copy->Text().trimmed(), QStringLiteral("b"));
    EXPECT_EQ(copy->Parent(), band);
    EXPECT_TRUE(form->Modified());

    // Cut takes the selection away and leaves it on the clipboard.
    Select(*form, {copy});
    Trigger(*form, "CutCmd");
    EXPECT_EQ(MemoCount(), 2);
    EXPECT_TRUE(form->Action(QStringLiteral("PasteCmd"))->isEnabled());
}

// --- selection commands ---

TEST_F(DesignerCommands, SelectAllWithOneObjectOnABandSelectsThatBandsObjects)
{
    TrpBand* first = AddBandWithMemos({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    TrpBand* second = AddBandWithMemos({QStringLiteral("d")});
    auto form = Open();
    form->SetPage(report.Pages(1));
    Select(*form, {first->Objects()[1]});
    Trigger(*form, "SelectAllCmd");
    ASSERT_EQ(form->SelectedObjects().size(), 3u);
    for (TrpComponent* object : first->Objects())
        EXPECT_NE(std::find(form->SelectedObjects().begin(), form->SelectedObjects().end(), object),
                  form->SelectedObjects().end());
    // The band itself selected: its objects.
    Select(*form, {second});
    Trigger(*form, "SelectAllCmd");
    ASSERT_EQ(form->SelectedObjects().size(), 1u);
    EXPECT_EQ(form->SelectedObjects().front(), second->Objects()[0]);
    // Two objects: the page's bands.
    Select(*form, {first->Objects()[0], second->Objects()[0]});
    Trigger(*form, "SelectAllCmd");
    EXPECT_EQ(form->SelectedObjects().size(), 2u);
    EXPECT_EQ(form->SelectedObjects().front(), first);
}

TEST_F(DesignerCommands, BringToFrontAndSendToBackSkipFixedObjects)
{
    TrpBand* band = AddBandWithMemos({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    auto* a = band->Objects()[0];
    auto* b = band->Objects()[1];
    auto* c = band->Objects()[2];
    b->SetRestrictions(1u << rfDontMove);
    auto form = Open();
    form->SetPage(report.Pages(1));
    Select(*form, {a, b});
    Trigger(*form, "BringToFrontCmd");
    EXPECT_EQ(band->Objects(), (std::vector<TrpComponent*>{b, c, a}));
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->SelectedObjects().size(), 2u) << "the selection stays";
    Select(*form, {a, b});
    Trigger(*form, "SendToBackCmd");
    EXPECT_EQ(band->Objects(), (std::vector<TrpComponent*>{a, b, c}));
}

TEST_F(DesignerCommands, GroupThenUngroup)
{
    TrpBand* band = AddBandWithMemos({QStringLiteral("a"), QStringLiteral("b")});
    auto form = Open();
    form->SetPage(report.Pages(1));
    Select(*form, {band->Objects()[0], band->Objects()[1]});
    Trigger(*form, "GroupCmd");
    EXPECT_GT(band->Objects()[0]->GroupIndex(), 0);
    EXPECT_EQ(band->Objects()[0]->GroupIndex(), band->Objects()[1]->GroupIndex());
    EXPECT_TRUE(form->Modified());
    Trigger(*form, "UngroupCmd");
    EXPECT_EQ(band->Objects()[0]->GroupIndex(), 0);
}

TEST_F(DesignerCommands, AddChildBandKeepsTheChain)
{
    TrpBand* band = AddBandWithMemos({QStringLiteral("a")});
    auto* oldChild = new TrpChild(report.Pages(1));
    oldChild->SetName(QStringLiteral("Child1"));
    oldChild->SetBounds(0, 400, 700, 30);
    band->SetChild(oldChild);
    auto form = Open();
    form->SetPage(report.Pages(1));
    Select(*form, {band});
    auto* popup = form->findChild<QMenu*>(QStringLiteral("PagePopup"));
    ASSERT_NE(popup, nullptr);
    emit popup->aboutToShow();
    QAction* addChild = form->findChild<QAction*>(QStringLiteral("AddChildMI"));
    ASSERT_NE(addChild, nullptr);
    EXPECT_TRUE(addChild->isVisible());
    addChild->trigger();
    TrpChild* inserted = band->Child();
    ASSERT_NE(inserted, nullptr);
    EXPECT_NE(inserted, oldChild);
    EXPECT_EQ(inserted->Child(), oldChild);
    EXPECT_EQ(inserted->Parent(), report.Pages(1));
    EXPECT_TRUE(form->Modified());

    // Not offered for a memo.
    Select(*form, {band->Objects()[0]});
    emit popup->aboutToShow();
    EXPECT_FALSE(addChild->isVisible());
}

// A component editor with two switch items, one ticked.
class SwitchesEditor : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    bool HasEditor() const override { return true; }
    void GetMenuItems() override
    {
        AppendMenuItem(QStringLiteral("Stretch"), 7, true);
        AppendMenuItem(QStringLiteral("Shift"), 8, false);
    }
    bool Execute(int tag, bool checked) override
    {
        Calls.push_back({tag, checked});
        return true;
    }
    static inline std::vector<std::pair<int, bool>> Calls;
};

TEST_F(DesignerCommands, ContextMenuCopiesTheEditorsItemsAndRunsThemInverted)
{
    // The standard editors step aside while the test's own editor stands for the class.
    DesignerRuntime::UnregisterStandardEditors();
    struct Restore {
        ~Restore() { DesignerRuntime::RegisterStandardEditors(); }
    } restore;
    RegisterComponentEditorClass(QStringLiteral("TestSwitchesEditor"),
                                 [](TrpComponent* c, TrpCustomDesigner* d, QMenu* m) {
                                     return std::make_unique<SwitchesEditor>(c, d, m);
                                 });
    GetComponentEditorRegistry().Register(&TrpHeader::Class(), QStringLiteral("TestSwitchesEditor"));
    TrpBand* band = AddBandWithMemos({QStringLiteral("a")});
    auto form = Open();
    form->SetPage(report.Pages(1));
    Select(*form, {band});
    auto* popup = form->findChild<QMenu*>(QStringLiteral("PagePopup"));
    for (int opening = 0; opening < 2; ++opening)
        emit popup->aboutToShow();
    QStringList captions;
    QAction* stretch = nullptr;
    QAction* shift = nullptr;
    QAction* edit = nullptr;
    for (QAction* item : popup->actions()) {
        if (item->text() == QLatin1String("Stretch"))
            stretch = item;
        if (item->text() == QLatin1String("Shift"))
            shift = item;
        if (item->objectName() == QLatin1String("EditMI1"))
            edit = item;
        captions << item->text();
    }
    EXPECT_EQ(captions.count(QStringLiteral("Stretch")), 1) << "the items of the previous opening went";
    ASSERT_NE(stretch, nullptr);
    ASSERT_NE(shift, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(stretch->isChecked());
    EXPECT_FALSE(shift->isChecked());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(edit->font().bold());
    popup->popup(QPoint(100, 100));
    QApplication::processEvents();
    SaveScreenshot(*popup, QStringLiteral("designer-context-menu"));
    popup->hide();
    SwitchesEditor::Calls.clear();
    stretch->trigger();
    shift->trigger();
    EXPECT_EQ(SwitchesEditor::Calls, (std::vector<std::pair<int, bool>>{{7, false}, {8, true}}));
    EXPECT_TRUE(form->Modified());
    GetComponentEditorRegistry().UnRegister(u"TestSwitchesEditor");
}

// --- find and replace ---

TEST_F(DesignerCommands, ReplaceAllChangesEveryMatchingMemoOnceEach)
{
    AddBandWithMemos({QStringLiteral("alpha beta"), QStringLiteral("gamma"), QStringLiteral("Beta and beta")});
    auto form = Open();
    form->SetPage(report.Pages(1));
    const int undoBefore = form->UndoBuffer()->UndoCount();
    Answers({QStringLiteral("mrAll")});
    ui->OnModal = [](QObject& object, const QString&) {
        auto& dialog = dynamic_cast<QDialog&>(object);
        dialog.findChild<QLineEdit*>(QStringLiteral("TextE"))->setText(QStringLiteral("beta"));
        dialog.findChild<QLineEdit*>(QStringLiteral("ReplaceE"))->setText(QStringLiteral("X"));
        EXPECT_TRUE(dialog.findChild<QWidget*>(QStringLiteral("ReplacePanel"))->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("TopCB"))->isEnabled());
        return static_cast<int>(mrOk);
    };
    Trigger(*form, "ReplaceCmd");
    EXPECT_EQ(static_cast<TrpMemoView*>(report.FindObject(u"Memo1"))->Text().trimmed(), QStringLiteral("alpha X"));
    EXPECT_EQ(static_cast<TrpMemoView*>(report.FindObject(u"Memo2"))->Text().trimmed(), QStringLiteral("gamma"));
    EXPECT_EQ(static_cast<TrpMemoView*>(report.FindObject(u"Memo3"))->Text().trimmed(), QStringLiteral("X and X"));
    EXPECT_EQ(form->UndoBuffer()->UndoCount(), undoBefore + 2) << "one change per matching memo";
    const auto questions = PromptTexts(QStringLiteral("MessageDlg"));
    ASSERT_EQ(questions.size(), 1u) << "All asks no more";
    EXPECT_EQ(questions[0], QStringLiteral("Заменить 'beta'?"));
}

TEST_F(DesignerCommands, FindSelectsTheMatchesInTurnAndTellsWhenThereIsNone)
{
    AddBandWithMemos({QStringLiteral("one x"), QStringLiteral("two"), QStringLiteral("X three")});
    auto form = Open();
    form->SetPage(report.Pages(1));
    Answers({});
    ui->OnModal = [](QObject& object, const QString&) {
        auto& dialog = dynamic_cast<QDialog&>(object);
        EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("ReplacePanel"))->isVisibleTo(&dialog));
        dialog.findChild<QLineEdit*>(QStringLiteral("TextE"))->setText(QStringLiteral("x"));
        return static_cast<int>(mrOk);
    };
    Trigger(*form, "FindCmd");
    ASSERT_EQ(form->SelectedObjects().size(), 1u);
    EXPECT_EQ(form->SelectedObjects().front(), report.FindObject(u"Memo1"));
    Trigger(*form, "FindNextCmd");
    EXPECT_EQ(form->SelectedObjects().front(), report.FindObject(u"Memo3")) << "case-insensitive by default";
    Answers({QStringLiteral("mrOk")});
    Trigger(*form, "FindNextCmd");
    EXPECT_EQ(PromptTexts(QStringLiteral("MessageDlg")), std::vector<QString>{QStringLiteral("Текст 'x' не найден")});
    EXPECT_FALSE(form->Modified());
}

TEST_F(DesignerCommands, ReplaceOnTheScriptPage)
{
    report.SetScriptText({QStringLiteral("begin"), QStringLiteral("  a := 1;"), QStringLiteral("end.")});
    auto form = Open();
    form->SetTabIndex(0);
    ASSERT_EQ(form->Page(), nullptr);
    Answers({QStringLiteral("mrYes")});
    ui->OnModal = [](QObject& object, const QString&) {
        auto& dialog = dynamic_cast<QDialog&>(object);
        EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("TopCB"))->isEnabled());
        dialog.findChild<QCheckBox*>(QStringLiteral("TopCB"))->setChecked(true);
        dialog.findChild<QLineEdit*>(QStringLiteral("TextE"))->setText(QStringLiteral("a :="));
        dialog.findChild<QLineEdit*>(QStringLiteral("ReplaceE"))->setText(QStringLiteral("b :="));
        return static_cast<int>(mrOk);
    };
    Trigger(*form, "ReplaceCmd");
    EXPECT_EQ(form->Code().value(1), QStringLiteral("  b := 1;"));
    EXPECT_TRUE(form->Modified());
}

// --- help and view ---

TEST_F(DesignerCommands, HelpContentsFollowsWhatIsShown)
{
    AddBandWithMemos({QStringLiteral("a")});
    auto* dialog = new TrpDialogPage(&report);
    dialog->SetName(QStringLiteral("Dialog1"));
    auto form = Open();
    const auto topicAsked = [&] {
        Trigger(*form, "HelpContentsCmd");
        return ui->Prompts.empty() ? QString() : ui->Prompts.back().Text;
    };
    form->SetPage(report.Pages(1));
    const QString designer = topicAsked();
    form->SetTabIndex(0);
    const QString script = topicAsked();
    form->SetPage(dialog);
    const QString dialogPage = topicAsked();
    EXPECT_EQ(designer, TrpResources::HelpTopic(u"TrpDesignerForm"));
    EXPECT_EQ(script, TrpResources::HelpTopic(u"TrpSyntaxMemo"));
    EXPECT_EQ(dialogPage, TrpResources::HelpTopic(u"TrpDialogPage"));
    EXPECT_NE(designer, script);
    EXPECT_NE(designer, dialogPage);
}

TEST_F(DesignerCommands, ADockedToolWindowComesBackAtItsWidth)
{
    auto form = Open();
    QAction* inspector = form->Action(QStringLiteral("InspectorTBCmd"));
    TrpDockSite* site = form->DockSite(QStringLiteral("LeftDockSite2"));
    ASSERT_NE(site, nullptr);
    site->SetSize(230);
    QApplication::processEvents();
    const int width = site->Size();
    ASSERT_GT(width, 0);
    inspector->trigger();
    EXPECT_FALSE(inspector->isChecked());
    EXPECT_EQ(site->SavedSize(), width);
    site->SetSavedSize(260);
    inspector->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(inspector->isChecked());
    EXPECT_NEAR(site->Size(), 260, 2);
}

// --- report dialogs, guides, recent files ---

TEST_F(DesignerCommands, ReportDialogsSetModifiedOnlyOnOk)
{
    for (const char* command : {"ReportDataCmd", "VariablesCmd", "ReportStylesCmd"}) {
        for (const int answer : {static_cast<int>(mrCancel), static_cast<int>(mrOk)}) {
            SCOPED_TRACE(std::string(command) + (answer == mrOk ? " OK" : " Cancel"));
            AddBandWithMemos({});
            auto form = Open();
            Answers({});
            QString shown;
            ui->OnModal = [&](QObject& dialog, const QString&) {
                shown = dialog.objectName();
                return answer;
            };
            Trigger(*form, command);
            EXPECT_FALSE(shown.isEmpty());
            EXPECT_EQ(form->Modified(), answer == mrOk);
            form->CloseNow();
        }
    }
}

TEST_F(DesignerCommands, DeleteGuidesClearsThePagesGuides)
{
    AddBandWithMemos({});
    auto* page = static_cast<TrpReportPage*>(report.Pages(1));
    page->SetHGuides({QStringLiteral("10"), QStringLiteral("20")});
    page->SetVGuides({QStringLiteral("30")});
    auto form = Open();
    form->SetPage(page);
    Trigger(*form, "DeleteGuidesCmd");
    EXPECT_TRUE(page->HGuides().isEmpty());
    EXPECT_TRUE(page->VGuides().isEmpty());
    EXPECT_TRUE(form->Modified());
}

TEST_F(DesignerCommands, ARecentFileItemOpensItsFile)
{
    AddBandWithMemos({QStringLiteral("first")});
    const QString path = folder.filePath(QStringLiteral("recent.zi3"));
    auto form = Open();
    Answers({QStringLiteral("ok ") + path});
    Trigger(*form, "SaveAsCmd");
    Trigger(*form, "NewReportCmd");
    EXPECT_EQ(report.FindObject(u"Header1"), nullptr);
    QAction* recent = nullptr;
    for (QAction* item : form->findChild<QMenu*>(QStringLiteral("FileMenu"))->actions())
        if (item->property("tag").toInt() == 100 && item->text() == path)
            recent = item;
    ASSERT_NE(recent, nullptr);
    ASSERT_TRUE(recent->isEnabled());
    recent->trigger();
    EXPECT_NE(report.FindObject(u"Header1"), nullptr);
    EXPECT_EQ(report.FileName(), path);
    EXPECT_FALSE(form->Modified());
}

} // namespace
