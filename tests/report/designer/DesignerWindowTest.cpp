#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpAbout.h"
#include "report/designer/rpDesgn.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDock.h"
#include "report/designer/rpInsp.h"
#include "report/designer/rpWatchForm.h"

#include "ReportFakes.h"
#include "SaveScreenshot.h"

#include "platform/RegistryStore.h"
#include "report/core/DateValues.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class DesignerWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
        FormatSettings formats = FormatSettings::C();
        DesignerRuntime::SetFormats(formats);
        ASSERT_TRUE(folder.isValid());
        // Settings in a file of the test's own, not the registry store.
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
    }

    std::unique_ptr<TrpDesignerForm> Open(bool preview = false)
    {
        auto form = std::make_unique<TrpDesignerForm>(&report, preview);
        report.SetDesigner(form.get());
        form->Start();
        return form;
    }

    TrpReportPage* AddPage(const QString& name)
    {
        auto* page = new TrpReportPage(&report);
        page->SetName(name);
        page->SetDefaults();
        return page;
    }

    QTemporaryDir folder;
    reporttest::RecordingReportUi ui;
    TrpReport report;
};

TEST_F(DesignerWindow, StructureByObjectNames)
{
    auto form = Open();
    for (const char* name : {"FileMenu", "EditMenu", "ReportMenu", "ViewMenu", "HelpMenu", "PagePopup", "TabPopup",
                             "BandsPopup", "ObjectsPopup", "RotationPopup", "DMPPopup"})
        EXPECT_NE(form->findChild<QMenu*>(QString::fromLatin1(name)), nullptr) << name;
    const struct {
        const char* action;
        const char* shortcut;
    } shortcuts[] = {{"OpenCmd", "Ctrl+O"},   {"SaveCmd", "Ctrl+S"},  {"PreviewCmd", "Ctrl+P"},
                     {"ExitCmd", "Alt+X"},    {"UndoCmd", "Ctrl+Z"},  {"CutCmd", "Ctrl+X"},
                     {"CopyCmd", "Ctrl+C"},   {"PasteCmd", "Ctrl+V"}, {"SelectAllCmd", "Ctrl+A"},
                     {"FindCmd", "Ctrl+F"},   {"ReplaceCmd", "Ctrl+R"}, {"FindNextCmd", "F3"},
                     {"HelpContentsCmd", "F1"}, {"InspectorTBCmd", "F11"}, {"RedoCmd", ""}};
    for (const auto& row : shortcuts) {
        QAction* action = form->Action(QString::fromLatin1(row.action));
        ASSERT_NE(action, nullptr) << row.action;
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(row.shortcut)) << row.action;
    }
    for (const char* name : {"StandardTB", "TextTB", "FrameTB", "AlignTB", "ExtraToolsTB", "ObjectsTB1", "CodeTB"})
        EXPECT_NE(form->findChild<QToolBar*>(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name : {"InspectorDock", "DataTreeDock", "ReportTreeDock", "WatchDock"})
        EXPECT_NE(form->Dock(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name : {"LeftDockSite1", "LeftDockSite2", "RightDockSite", "CodeDockSite"})
        EXPECT_NE(form->DockSite(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name : {"StatusBarPanel0", "StatusBarPanel1", "StatusBarPanel2", "TopRuler", "LeftRuler",
                             "ScrollBox", "CodePanel", "BackPanel", "TabPanel", "FTabs"})
        EXPECT_NE(form->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    // Commands with their handlers are enabled as the state allows.
    EXPECT_TRUE(form->Action(QStringLiteral("OpenCmd"))->isEnabled());
    EXPECT_TRUE(form->Action(QStringLiteral("AboutCmd"))->isEnabled());
    // Localised captions.
    EXPECT_EQ(form->findChild<QMenu*>(QStringLiteral("FileMenu"))->title(), QStringLiteral("&Файл"));
    EXPECT_EQ(form->Action(QStringLiteral("ExitCmd"))->text(), QStringLiteral("Выход"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("RedaVedera - Untitled.zi3"));
}

TEST_F(DesignerWindow, EmptyReportOpensWithCodeDataAndPage1)
{
    auto form = Open();
    ASSERT_EQ(form->Tabs()->count(), 3);
    EXPECT_EQ(form->Tabs()->tabText(0), QStringLiteral("Код"));
    EXPECT_EQ(form->Tabs()->tabText(1), QStringLiteral("Данные"));
    EXPECT_EQ(form->Tabs()->tabText(2), QStringLiteral("Page1"));
    ASSERT_NE(form->Page(), nullptr);
    EXPECT_EQ(form->Page()->Name(), QStringLiteral("Page1"));
    EXPECT_EQ(form->Tabs()->currentIndex(), 2);
    EXPECT_FALSE(form->Modified());
    SaveScreenshot(*form, QStringLiteral("designer-report-page"));
}

TEST_F(DesignerWindow, ScriptTabRestrictions)
{
    const struct {
        TrpDesignerRestrictions restrictions;
        int expectedTab;
    } cases[] = {{0, 0},
                 {RestrictionBit(drDontEditReportScript), 1},
                 {RestrictionBit(drDontEditReportScript) | RestrictionBit(drDontEditInternalDatasets), 2}};
    for (const auto& row : cases) {
        TrpReport own;
        own.IniFile = report.IniFile;
        TrpDesigner component;
        component.Restrictions = row.restrictions;
        TrpDesignerForm form(&own, false);
        own.SetDesigner(&form);
        form.Start();
        form.SetTabIndex(1);
        form.SetTabIndex(0);
        EXPECT_EQ(form.Tabs()->currentIndex(), row.expectedTab == 1 ? 1 : row.expectedTab);
        if (row.expectedTab == 0)
            EXPECT_EQ(form.Page(), nullptr);
        else
            EXPECT_EQ(form.Page(), own.Pages(row.expectedTab - 1));
        form.CloseNow();
    }
}

TEST_F(DesignerWindow, ScriptPageScreenshot)
{
    auto form = Open();
    form->SetTabIndex(0);
    EXPECT_EQ(form->Page(), nullptr);
    SaveScreenshot(*form, QStringLiteral("designer-script-page"));
    form->SetTabIndex(1);
    EXPECT_EQ(form->Units(), duPixels);
    SaveScreenshot(*form, QStringLiteral("designer-data-page"));
}

TEST_F(DesignerWindow, TabDropsMovePagesFromTheThirdTabOn)
{
    const struct {
        int target;
        bool moves;
    } cases[] = {{0, false}, {1, false}, {2, true}};
    for (const auto& row : cases) {
        TrpReport own;
        own.IniFile = report.IniFile;
        TrpDesignerForm form(&own, false);
        own.SetDesigner(&form);
        form.Start();
        auto* second = new TrpReportPage(&own);
        second->SetName(QStringLiteral("Page2"));
        form.ReloadPages(-2);
        form.SetModified(false);
        form.TabDrop(3, row.target);
        if (row.moves) {
            EXPECT_EQ(own.Pages(1), second);
            EXPECT_EQ(form.Tabs()->tabText(2), QStringLiteral("Page2"));
            EXPECT_TRUE(form.Modified());
        } else {
            EXPECT_EQ(own.Pages(2), second);
            EXPECT_FALSE(form.Modified());
        }
        form.CloseNow();
    }
}

TEST_F(DesignerWindow, CancelAtTheCloseQuestionKeepsWindowAndModified)
{
    auto form = Open();
    form->show();
    form->SetModified(true);
    ui.Answer = mrCancel;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Modified());
    ASSERT_FALSE(ui.Messages.isEmpty());
    EXPECT_EQ(ui.Messages.last(), QStringLiteral("Подтверждение: Сохранить изменения в  Untitled.zi3?"));
    ui.Answer = mrNo;
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(report.Modified());
}

TEST_F(DesignerWindow, PreviewDesignerRestrictionsAndItsTemporaryComponent)
{
    TrpDesigner old;
    old.Restrictions = RestrictionBit(drDontSaveReport);
    QPointer<TrpDesigner> temporary;
    {
        auto form = Open(true);
        temporary = form->TemporaryComponent();
        ASSERT_NE(temporary, nullptr);
        EXPECT_EQ(CurrentDesignerComponent(), temporary.data());
        EXPECT_EQ(temporary->Restrictions, 950u | RestrictionBit(drDontSaveReport));
        EXPECT_FALSE(form->Control(QStringLiteral("ObjectBandB"))->isEnabled());
        form->CloseNow();
    }
    EXPECT_EQ(temporary, nullptr);
    EXPECT_EQ(CurrentDesignerComponent(), &old);
}

TEST_F(DesignerWindow, DestroyingAnOlderComponentKeepsTheCurrentOne)
{
    auto* first = new TrpDesigner;
    TrpDesigner second;
    delete first;
    EXPECT_EQ(CurrentDesignerComponent(), &second);
}

TEST_F(DesignerWindow, KeyboardMap)
{
    auto form = Open();
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool scriptPage;
        bool fromInspector;
        const char* command;
    } cases[] = {
        {Qt::Key_F11, Qt::NoModifier, false, true, "ToggleInspector"},
        {Qt::Key_F11, Qt::NoModifier, false, false, ""},
        {Qt::Key_Insert, Qt::ShiftModifier, false, false, "PasteCmd"},
        {Qt::Key_Insert, Qt::ControlModifier, false, false, "CopyCmd"},
        {Qt::Key_Delete, Qt::ShiftModifier, false, false, "CutCmd"},
        {Qt::Key_Insert, Qt::ShiftModifier, true, false, ""},
        {Qt::Key_E, Qt::ControlModifier, false, false, "ShowScript"},
        {Qt::Key_F4, Qt::NoModifier, true, false, "RunToCursor"},
        {Qt::Key_F4, Qt::NoModifier, false, false, ""},
        {Qt::Key_F5, Qt::NoModifier, true, false, "Breakpoint"},
        {Qt::Key_F2, Qt::ControlModifier, false, false, "StopScript"},
        {Qt::Key_F7, Qt::ControlModifier, true, false, "Evaluate"},
        {Qt::Key_F9, Qt::NoModifier, false, false, "RunScript"},
        {Qt::Key_F7, Qt::NoModifier, true, false, "StepScript"},
        {Qt::Key_F8, Qt::NoModifier, true, false, "StepScript"},
    };
    for (const auto& row : cases) {
        form->SetTabIndex(row.scriptPage ? 0 : 2);
        EXPECT_EQ(form->KeyCommand(row.key, row.modifiers, row.fromInspector), QString::fromLatin1(row.command))
            << row.key << " " << row.command;
    }
    form->SetTabIndex(2);
    QKeyEvent ctrlE(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(form->FormKeyDown(&ctrlE));
    EXPECT_EQ(form->Page(), nullptr);
}

TEST_F(DesignerWindow, UnitsPerPageKindAndPagePositions)
{
    AddPage(QStringLiteral("Page1"));
    auto* dialog = new TrpDialogPage(&report);
    dialog->SetName(QStringLiteral("Dialog1"));
    auto form = Open();
    form->resize(800, 600);
    form->show();
    form->SetUnits(duInches);
    form->SetOldUnits(duInches);
    form->SetTabIndex(1);
    EXPECT_EQ(form->Units(), duPixels);
    const int dialogTab = 3;
    ASSERT_EQ(form->Tabs()->tabText(dialogTab), QStringLiteral("Dialog1"));
    form->SetTabIndex(2);
    EXPECT_EQ(form->Units(), duInches);
    form->ScrollBox()->verticalScrollBar()->setValue(40);
    form->SetTabIndex(dialogTab);
    EXPECT_EQ(form->Units(), duPixels);
    EXPECT_EQ(form->Page(), dialog);
    // Without a window service the designer's own panel hosts the workspace.
    EXPECT_TRUE(form->DialogHost()->isAncestorOf(form->Workspace()));
    SaveScreenshot(*form, QStringLiteral("designer-dialog-page"));
    EXPECT_EQ(form->PagePositions()[2], QStringLiteral("0:40"));
    form->SetTabIndex(2);
    EXPECT_EQ(form->Units(), duInches);
    EXPECT_EQ(form->ScrollBox()->verticalScrollBar()->value(), 40);
}

// A dialog window with a widget of its own, as the program's dialog pages have.
class WidgetDialogWindow : public reporttest::FakeDialogWindow {
public:
    QObject* NativeWindow() const override { return widget.get(); }
    std::unique_ptr<QWidget> widget = std::make_unique<QWidget>();
};

TEST_F(DesignerWindow, DialogPageHostsTheWorkspaceInItsWindow)
{
    auto previous = MutableModelServices().CreateDialogWindow;
    WidgetDialogWindow* window = nullptr;
    MutableModelServices().CreateDialogWindow = [&](TrpDialogPage&) {
        auto made = std::make_unique<WidgetDialogWindow>();
        window = made.get();
        return std::unique_ptr<ITrpDialogWindow>(std::move(made));
    };
    AddPage(QStringLiteral("Page1"));
    auto* dialog = new TrpDialogPage(&report);
    dialog->SetName(QStringLiteral("Dialog1"));
    ASSERT_NE(window, nullptr);
    {
        auto form = Open();
        form->SetTabIndex(3);
        ASSERT_EQ(form->Page(), dialog);
        EXPECT_TRUE(window->widget->isAncestorOf(form->Workspace()));
        ASSERT_TRUE(window->Handlers.BoundsChanged);
        form->SetModified(false);
        window->BoundsRect = QRect(40, 50, 320, 240);
        window->Handlers.BoundsChanged();
        EXPECT_EQ(dialog->Left(), 40);
        EXPECT_EQ(dialog->Width(), 320);
        EXPECT_TRUE(form->Modified());
        // Leaving the page gives the window back to the page, which connects its own handlers.
        form->SetTabIndex(2);
        EXPECT_FALSE(window->widget->isAncestorOf(form->Workspace()));
        EXPECT_TRUE(window->Handlers.Show);
        form->SetModified(false);
        if (window->Handlers.BoundsChanged)
            window->Handlers.BoundsChanged();
        EXPECT_FALSE(form->Modified());
        form->CloseNow();
    }
    MutableModelServices().CreateDialogWindow = previous;
}

TEST_F(DesignerWindow, EnablingTable)
{
    AddPage(QStringLiteral("Page1"));
    AddPage(QStringLiteral("Page2"));
    auto form = Open();
    auto* page = static_cast<TrpReportPage*>(report.Pages(1));
    auto* band = new TrpMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    auto* memo = new TrpMemoView(band);
    memo->SetName(QStringLiteral("Memo1"));
    auto* line = new TrpLineView(band);
    line->SetName(QStringLiteral("Line1"));
    form->ReloadPages(1);
    const auto enabled = [&](const char* name) { return form->Control(QString::fromLatin1(name))->isEnabled(); };

    const auto allowed = [&](const char* name) {
        return form->Action(QString::fromLatin1(name))->property("allowed").toBool();
    };
    // Three pages (data, two report pages) and a report page shown.
    EXPECT_TRUE(allowed("DeletePageCmd"));
    form->SetTabIndex(1);
    EXPECT_FALSE(allowed("DeletePageCmd"));
    form->SetTabIndex(2);
    // One snapshot (the opening) is nothing to undo; a change makes two.
    EXPECT_FALSE(allowed("UndoCmd"));
    form->SetModified(true);
    EXPECT_TRUE(allowed("UndoCmd"));
    EXPECT_TRUE(allowed("SaveCmd"));
    form->ReloadPages(1);
    auto& selection = form->SelectedObjects();
    selection.clear();
    selection.emplace_back(line);
    form->UpdateControls();
    EXPECT_FALSE(enabled("TextAlignLeftB"));
    selection.emplace_back(memo);
    form->UpdateControls();
    for (const char* name : {"TextAlignLeftB", "TextAlignCenterB", "TextAlignRightB", "TextAlignBlockB",
                             "TextAlignTopB", "TextAlignMiddleB", "TextAlignBottomB"})
        EXPECT_TRUE(enabled(name)) << name;
    selection.clear();
    selection.emplace_back(memo);
    form->UpdateControls();
    EXPECT_TRUE(enabled("FrameTopB"));
    EXPECT_TRUE(enabled("FillColorB"));
    selection.clear();
    selection.emplace_back(line);
    form->UpdateControls();
    EXPECT_FALSE(enabled("FrameTopB"));
    EXPECT_TRUE(enabled("FrameColorB"));
}

TEST_F(DesignerWindow, DeletePageNeedsASecondReportPage)
{
    auto form = Open();
    EXPECT_FALSE(form->Action(QStringLiteral("DeletePageCmd"))->property("allowed").toBool());
    AddPage(QStringLiteral("Page2"));
    form->ReloadPages(1);
    EXPECT_TRUE(form->Action(QStringLiteral("DeletePageCmd"))->property("allowed").toBool());
}

TEST_F(DesignerWindow, StatusPanelShowsTheSelectedObject)
{
    TrpUserDataSet orders;
    orders.SetUserName(QStringLiteral("Orders"));
    report.DataSets().Add(&orders);
    auto form = Open();
    auto* page = static_cast<TrpReportPage*>(report.Pages(1));
    auto* band = new TrpMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    auto* bound = new TrpMemoView(band);
    bound->SetName(QStringLiteral("Memo1"));
    bound->SetDataSet(&orders);
    bound->DataField = QStringLiteral("Name");
    auto* plain = new TrpMemoView(band);
    plain->SetName(QStringLiteral("Memo2"));
    plain->Memo().SetText(QString(200, u'x'));
    form->ReloadPages(1);
    auto& selection = form->SelectedObjects();
    selection.clear();
    selection.emplace_back(bound);
    form->UpdateControls();
    EXPECT_EQ(form->StatusText(2), QStringLiteral("Memo1: Orders.\"Name\""));
    selection.clear();
    selection.emplace_back(plain);
    form->UpdateControls();
    EXPECT_EQ(form->StatusText(2), QStringLiteral("Memo2: ") + QString(128, u'x'));
    report.DataSets().Clear();
}

TEST_F(DesignerWindow, ScaleLimitsAndTheWheel)
{
    auto form = Open();
    form->SetScale(25);
    EXPECT_EQ(form->Scale(), 20);
    form->SetScale(0);
    EXPECT_EQ(form->Scale(), 1);
    form->SetScale(0.35);
    form->ScaleByWheel(-1);
    EXPECT_DOUBLE_EQ(form->Scale(), 0.3);
    form->ScaleByWheel(-1);
    EXPECT_DOUBLE_EQ(form->Scale(), 0.3);
    form->ScaleByWheel(2);
    EXPECT_NEAR(form->Scale(), 0.4, 1e-9);
    auto* box = static_cast<QComboBox*>(form->Control(QStringLiteral("ScaleCB")));
    EXPECT_EQ(box->currentText(), QStringLiteral("40%"));
}

TEST_F(DesignerWindow, PageWidthAndWholePageScales)
{
    auto form = Open();
    form->setWindowState(Qt::WindowNoState);
    form->resize(1000, 700);
    form->show();
    QApplication::processEvents();
    auto* box = static_cast<QComboBox*>(form->Control(QStringLiteral("ScaleCB")));
    const QWidget* view = form->ScrollBox()->viewport();
    auto* page = static_cast<TrpReportPage*>(form->Page());
    const double pageWidth = page->PaperWidth() * 96 / 25.4;
    const double pageHeight = page->PaperHeight() * 96 / 25.4;
    box->setCurrentIndex(6);
    form->ScaleCBClick();
    EXPECT_DOUBLE_EQ(form->Scale(), std::nearbyint((view->width() - 40) / pageWidth * 100) / 100);
    box->setCurrentIndex(7);
    form->ScaleCBClick();
    const double byWidth = std::nearbyint((view->width() - 20) / std::nearbyint(pageWidth) * 100);
    const double byHeight = std::nearbyint((view->height() - 20) / std::nearbyint(pageHeight) * 100);
    EXPECT_DOUBLE_EQ(form->Scale(), std::min(byWidth, byHeight) / 100);
    box->setEditText(QStringLiteral("75,5 %"));
    form->ScaleCBClick();
    EXPECT_DOUBLE_EQ(form->Scale(), 0.755);
}

TEST_F(DesignerWindow, TheNinthRecentFilePushesTheOldestOut)
{
    auto form = Open();
    for (int i = 1; i <= 9; ++i)
        form->UpdateRecentFiles(QStringLiteral("/reports/r%1.zi3").arg(i));
    ASSERT_EQ(form->RecentFiles().size(), 8);
    EXPECT_EQ(form->RecentFiles().first(), QStringLiteral("/reports/r2.zi3"));
    QStringList items;
    for (QAction* item : form->findChild<QMenu*>(QStringLiteral("FileMenu"))->actions()) {
        if (item->property("tag").toInt() == 100)
            items << item->text();
    }
    ASSERT_EQ(items.size(), 8);
    EXPECT_EQ(items.first(), QStringLiteral("/reports/r9.zi3"));
}

TEST_F(DesignerWindow, UnitsCycleByAClickInPanel0AndADoubleClick)
{
    auto form = Open();
    const TrpDesignerUnits expected[] = {duInches, duPixels, duCM};
    for (TrpDesignerUnits units : expected) {
        form->StatusBarMouseDown(0);
        form->StatusBarDblClick();
        EXPECT_EQ(form->Units(), units);
        EXPECT_EQ(form->OldUnits(), units);
    }
    EXPECT_EQ(form->StatusText(0), QStringLiteral("Сантиметры"));
    form->StatusBarMouseDown(1);
    form->StatusBarDblClick();
    EXPECT_EQ(form->Units(), duCM);
}

TEST_F(DesignerWindow, CharacterCoordinatesAreWholeNumbers)
{
    auto form = Open();
    // An object other than the page is under work: position and size are shown.
    form->SelectedObjects().clear();
    form->SetUnits(duChars);
    form->NotifyPosition(QRectF(20, 40, 50, 30));
    EXPECT_EQ(form->Coord(1), QStringLiteral("2.00; 2.00"));
    EXPECT_EQ(form->Coord(2), QStringLiteral("5.00; 2.00"));
    form->SetUnits(duCM);
    form->NotifyPosition(QRectF(37.7953, 0, 75.5906, 18.89765));
    EXPECT_EQ(form->Coord(1), QStringLiteral("1.00; 0.00"));
    EXPECT_EQ(form->Coord(2), QStringLiteral("2.00; 0.50"));
}

TEST_F(DesignerWindow, FirstRunLayout)
{
    auto form = Open();
    form->show();
    QApplication::processEvents();
    EXPECT_TRUE(form->isMaximized() || form->windowState().testFlag(Qt::WindowMaximized));
    const auto dockedIn = [&](const char* dock) {
        TrpDockSite* site = HostDockSite(*form->Dock(QString::fromLatin1(dock)), *form);
        return site != nullptr ? site->objectName() : QString();
    };
    EXPECT_EQ(dockedIn("InspectorDock"), QStringLiteral("LeftDockSite2"));
    EXPECT_EQ(dockedIn("ReportTreeDock"), QStringLiteral("LeftDockSite2"));
    EXPECT_EQ(dockedIn("DataTreeDock"), QStringLiteral("RightDockSite"));
    EXPECT_EQ(dockedIn("WatchDock"), QStringLiteral("CodeDockSite"));
    EXPECT_TRUE(form->ToolBar(QStringLiteral("AlignTB"))->isHidden());
    EXPECT_TRUE(form->ToolBar(QStringLiteral("ExtraToolsTB"))->isHidden());
    EXPECT_FALSE(form->ToolBar(QStringLiteral("StandardTB"))->isHidden());
    EXPECT_TRUE(form->EditAfterInsert());
    SaveScreenshot(*form, QStringLiteral("designer-first-run"));
}

TEST_F(DesignerWindow, SettingsRoundTrip)
{
    const QString recent = QStringLiteral("/reports/with, comma.zi3");
    {
        auto form = Open();
        form->SetScale(1.5);
        form->SetGridSize1(0.25);
        form->SetUnits(duInches);
        form->SetOldUnits(duInches);
        form->MemoFontName = QStringLiteral("Times New Roman");
        form->MemoFontSize = 14;
        form->SetToolsColor(0x00FF00);
        form->UpdateRecentFiles(recent);
        form->WatchList()->SetWatchesText(QStringLiteral("1 + 1\r\nReport.Name\r\n"));
        form->ToolBar(QStringLiteral("AlignTB"))->show();
        form->CloseNow();
    }
    auto form = Open();
    EXPECT_DOUBLE_EQ(form->Scale(), 1.5);
    EXPECT_DOUBLE_EQ(form->GridSize1(), 0.25);
    EXPECT_EQ(form->OldUnits(), duInches);
    EXPECT_EQ(form->MemoFontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(form->MemoFontSize, 14);
    EXPECT_EQ(form->ToolsColor(), 0x00FF00);
    EXPECT_EQ(form->RecentFiles(), QStringList{recent});
    ASSERT_EQ(form->WatchList()->Watches().size(), 2);
    EXPECT_EQ(form->WatchList()->Watches()[1].expression, QStringLiteral("Report.Name"));
    EXPECT_FALSE(form->ToolBar(QStringLiteral("AlignTB"))->isHidden());
    // Taken from the first run's defaults and stored since.
    EXPECT_TRUE(form->EditAfterInsert());
}

TEST_F(DesignerWindow, DamagedSettingsFallBackToTheDefaults)
{
    {
        auto store = CreateMemIniFile(report.IniFile);
        store->WriteFloat(QStringLiteral("Form4.TrpDesignerForm"), QStringLiteral("Scale"), 2);
        store->WriteFloat(QStringLiteral("Form4.TrpDesignerForm"), QStringLiteral("Grid1"), 0);
        store->WriteInteger(QStringLiteral("Form4.TrpDesignerForm"), QStringLiteral("WorkspaceColor"), clWhite);
    }
    {
        auto form = Open();
        EXPECT_DOUBLE_EQ(form->GridSize1(), 0.1);
        EXPECT_DOUBLE_EQ(form->Scale(), 2);
        form->SetWorkspaceColor(0);
        // A colour of 0 counts as damaged: nothing is stored.
        form->SetScale(3);
        form->CloseNow();
    }
    {
        auto store = CreateMemIniFile(report.IniFile);
        store->WriteInteger(QStringLiteral("Form4.TrpDesignerForm"), QStringLiteral("WorkspaceColor"), 0);
    }
    auto form = Open();
    EXPECT_DOUBLE_EQ(form->Scale(), 1);
    EXPECT_TRUE(form->EditAfterInsert());
}

TEST_F(DesignerWindow, LanguageFilesRewriteTheCaptions)
{
    QTemporaryDir languages;
    const auto write = [&](const QString& name, const QString& exitText) {
        QFile file(languages.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((QStringLiteral("<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1252\">"
                                   "<StrRes Name=\"2428\" Text=\"") +
                    exitText + QStringLiteral("\"/><StrRes Name=\"2378\" Text=\"&amp;File\"/></Resources>"))
                       .toUtf8());
    };
    write(QStringLiteral("english.zrc"), QStringLiteral("Exit"));
    {
        // A third language naming every numbered text "T" and its number.
        QString entries;
        for (int number = 2300; number <= 2478; ++number)
            entries += QStringLiteral("<StrRes Name=\"%1\" Text=\"T%1\"/>").arg(number);
        QFile file(languages.filePath(QStringLiteral("test.zrc")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((QStringLiteral("<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1252\">") +
                    entries + QStringLiteral("</Resources>"))
                       .toUtf8());
    }
    write(QStringLiteral("german.zrc"), QStringLiteral("Beenden"));
    TrpResources& resources = GetResourcesInstance();
    resources.ScanLanguages(languages.path());
    auto form = Open();
    auto* menu = form->findChild<QMenu*>(QStringLiteral("LanguageMI"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("English"));
    form->LangSelectClick(menu->actions()[2]);
    const char* const commands[] = {"UndoCmd", "RedoCmd", "CutCmd", "CopyCmd", "PasteCmd", "GroupCmd", "UngroupCmd",
                                    "DeleteCmd", "DeletePageCmd", "SelectAllCmd", "EditCmd", "BringToFrontCmd",
                                    "SendToBackCmd", "NewItemCmd", "NewReportCmd", "NewPageCmd", "NewDialogCmd",
                                    "OpenCmd", "SaveCmd", "SaveAsCmd", "VariablesCmd", "PageSettingsCmd",
                                    "PreviewCmd", "ExitCmd"};
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(form->Action(QString::fromLatin1(commands[i]))->text(), QStringLiteral("T%1").arg(2405 + i));
    EXPECT_EQ(form->findChild<QMenu*>(QStringLiteral("EditMenu"))->title(), QStringLiteral("T2379"));
    EXPECT_EQ(form->ToolBar(QStringLiteral("TextTB"))->windowTitle(), QStringLiteral("T2320"));
    EXPECT_EQ(form->Control(QStringLiteral("BoldB"))->toolTip(), QStringLiteral("T2324"));
    EXPECT_EQ(static_cast<QLabel*>(form->Control(QStringLiteral("LangL")))->text(), QStringLiteral("T2306"));
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("AddChildMI"))->text(), QStringLiteral("T2478"));
    EXPECT_EQ(menu->title(), QStringLiteral("T2475"));
    // Without the Resources key the choice is not remembered.
    form->LangSelectClick(menu->actions()[1]);
    EXPECT_EQ(form->Action(QStringLiteral("ExitCmd"))->text(), QStringLiteral("Beenden"));
    EXPECT_EQ(form->findChild<QMenu*>(QStringLiteral("FileMenu"))->title(), QStringLiteral("&File"));
    platform::RegistryStore registry = platform::RegistryStore::CurrentUser();
    EXPECT_FALSE(registry.KeyExists("\\Software\\Zuvo Dideziz\\Resources"));
    registry.WriteString("\\Software\\Zuvo Dideziz\\Resources", "Other", "1");
    form->LangSelectClick(menu->actions()[0]);
    EXPECT_EQ(form->Action(QStringLiteral("ExitCmd"))->text(), QStringLiteral("Exit"));
    EXPECT_EQ(platform::RegistryStore::CurrentUser().ReadString("\\Software\\Zuvo Dideziz\\Resources", "Language", ""),
              "English");
    // The designer's own texts again for the other tests.
    resources.ScanLanguages(QString());
    DesignerRuntime::shutdown();
    QFile block(QStringLiteral(":/report/designer/rpDsgnRes.xml"));
    ASSERT_TRUE(block.open(QIODevice::ReadOnly));
    resources.AddXML(block.readAll());
}

TEST_F(DesignerWindow, DockSitesCollapseAndAcceptByOwnerName)
{
    auto form = Open();
    form->resize(1000, 700);
    form->setWindowState(Qt::WindowNoState);
    form->show();
    QApplication::processEvents();
    TrpDockSite* site = form->DockSite(QStringLiteral("LeftDockSite2"));
    site->SetSize(160);
    QApplication::processEvents();
    const int open = site->Size();
    EXPECT_GT(open, 0);
    site->ToggleCollapsed();
    EXPECT_EQ(site->Size(), 0);
    EXPECT_EQ(site->SavedSize(), open);
    site->ToggleCollapsed();
    QApplication::processEvents();
    EXPECT_EQ(site->Size(), open);

    QMainWindow other;
    other.setObjectName(QStringLiteral("OtherWindow"));
    other.setProperty("designerWindow", true);
    auto* stranger = new QDockWidget(&other);
    EXPECT_FALSE(site->AcceptsDock(*stranger));
    TrpDockSite free(&other, QStringLiteral("FreeSite"), &other, Qt::LeftDockWidgetArea);
    EXPECT_TRUE(free.AcceptsDock(*stranger));
    EXPECT_TRUE(site->AcceptsDock(*form->Dock(QStringLiteral("DataTreeDock"))));
}

TEST_F(DesignerWindow, MissingPlacementSectionsKeepWhatIsThere)
{
    auto form = Open();
    auto store = CreateTextIniFile(QString());
    QToolBar* bar = form->ToolBar(QStringLiteral("FrameTB"));
    bar->hide();
    RestoreToolbarPlacement(*store, *bar, *form);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(form->toolBarArea(bar), Qt::TopToolBarArea);
    TrpDockSite* site = form->DockSite(QStringLiteral("LeftDockSite1"));
    RestoreDockSitePlacement(*store, *site);
    EXPECT_EQ(site->SavedSize(), 100);
}

TEST_F(DesignerWindow, AboutBoxClosesWithEscAndOkAndShowsTheClockYear)
{
    reporttest::FixedReportClock clock(QDateToDateValue(QDate(2031, 5, 4)));
    for (bool escape : {true, false}) {
        TrpAboutForm about;
        about.show();
        EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("Label3"))->text().contains(QStringLiteral("2031")));
        EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("RedaVedera"));
        EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("Label5"))->isHidden());
        if (escape)
            QTest::keyClick(&about, Qt::Key_Escape);
        else
            QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
        EXPECT_EQ(about.result(), escape ? QDialog::Rejected : QDialog::Accepted);
        if (!escape)
            SaveScreenshot(about, QStringLiteral("designer-about"));
    }
}

// The built-in texts hold no vendor address, so no invitation stands without one; a language
// file that gives an address brings its invitation and link.
TEST_F(DesignerWindow, AboutBoxShowsAnInvitationOnlyWithItsAddress)
{
    TrpResources& texts = GetResourcesInstance();
    for (int id : {2602, 2603, 2604, 2605, 2606, 2607})
        EXPECT_NE(texts.GetResourceTextById(id), QString::number(id)) << id;
    {
        TrpAboutForm about;
        about.show();
        for (const char* name : {"Label4", "Label5", "Label6", "Label7", "Label8", "Label9"})
            EXPECT_TRUE(about.findChild<QLabel*>(QLatin1String(name))->isHidden()) << name;
    }
    const QString saved = texts.GetResourceTextById(2605);
    texts.Add(QStringLiteral("2605"), QStringLiteral("sales@example.org"));
    {
        TrpAboutForm about;
        about.show();
        EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("Label6"))->isHidden());
        EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("Label6"))->text(), texts.GetResourceTextById(2604));
        EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("Label7"))->isHidden());
        EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("Label4"))->isHidden());
    }
    texts.Add(QStringLiteral("2605"), saved);
}

TEST_F(DesignerWindow, ReportsOpenTheWindowThroughTheFactory)
{
    ASSERT_TRUE(ModelServices().CreateDesigner);
    std::unique_ptr<TrpCustomDesigner> designer = ModelServices().CreateDesigner(report, true);
    auto* form = dynamic_cast<TrpDesignerForm*>(designer.get());
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->IsPreviewDesigner());
    // The preview's road shows it modally without starting it first: showing starts it.
    form->ShowModal();
    EXPECT_TRUE(form->Started());
}

TEST_F(DesignerWindow, PreviewDesignerYesKeepsNoDropsTheChanges)
{
    for (int answer : {mrYes, mrNo}) {
        TrpReport own;
        own.IniFile = report.IniFile;
        auto* page = new TrpReportPage(&own);
        page->SetName(QStringLiteral("Page1"));
        TrpDesignerForm form(&own, true);
        own.SetDesigner(&form);
        form.Start();
        form.show();
        form.SetModified(true);
        ui.Answer = answer;
        EXPECT_TRUE(form.close());
        EXPECT_EQ(own.Modified(), answer == mrYes);
    }
}

} // namespace
