#include "DialogTestSupport.h"
#include "SaveScreenshot.h"

#include "report/core/PropertyRegistry.h"
#include "report/designer/DesignerInput.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgn.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDesgnWorkspace1.h"
#include "report/designer/rpDsgnIntfEditors.h"
#include "report/designer/rpHighlightEditor.h"
#include "report/designer/rpWizardStd.h"
#include "report/model/rpClass_wizard.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/ui/rpClass_dialogcontrol.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <set>

namespace {

// A dialog control class of the tests' own: the palette registers none.
class TestDialogButton : public TrpDialogControl {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TestDialogButton"), &TrpDialogControl::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    static void Register()
    {
        if (PropertyRegistry::Global().Contains(Class()))
            return;
        PropertyRegistry::Global().Register(Class(), [] { return std::make_unique<TestDialogButton>(); });
        GetObjectRegistry().RegisterObject1(&Class(), QImage(), QString(), QString(), 0, 2, 0);
    }
};

// A view that takes the objects drawn inside it.
class TestContainer : public TrpView {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TestContainer"), &TrpView::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    explicit TestContainer(TrpComponent* owner)
    {
        SetComponentStyle(rpComponentStyle() | SetBit(csContainer));
        AttachTo(owner);
    }
    bool ContainerAdd(TrpComponent* object) override
    {
        object->SetParent(this);
        Taken.push_back(object);
        return true;
    }
    std::vector<TrpComponent*> Taken;
};

class ObjectTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::SetFormats(FormatSettings::C());
        ASSERT_TRUE(folder.isValid());
        report.IniFile = folder.filePath(QStringLiteral("designer.ini"));
        TestDialogButton::Register();
    }

    void TearDown() override
    {
        if (form != nullptr)
            form->CloseNow();
    }

    // Page1 with a master data band that the tests draw into.
    TrpReportPage* AddPage(const QString& name = QStringLiteral("Page1"))
    {
        auto* page = new TrpReportPage(&report);
        page->SetName(name);
        page->SetDefaults();
        return page;
    }

    TrpMasterData* AddBand(TrpComponent* page, double height = 200)
    {
        auto* band = new TrpMasterData(page);
        band->CreateUniqueName();
        band->SetHeight(height);
        return band;
    }

    TrpMemoView* AddMemo(TrpComponent* parent, double left, double top, double width = 80, double height = 20)
    {
        auto* memo = new TrpMemoView(parent);
        memo->CreateUniqueName();
        memo->SetBounds(left, top, width, height);
        return memo;
    }

    TrpDesignerForm& Open(TrpComponent* page = nullptr)
    {
        form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->setWindowState(Qt::WindowNoState);
        form->resize(1280, 800);
        form->show();
        QApplication::processEvents();
        if (page != nullptr)
            form->SetPage(page);
        QApplication::processEvents();
        return *form;
    }

    void Select(std::initializer_list<TrpComponent*> objects)
    {
        form->SelectedObjects().clear();
        for (TrpComponent* object : objects)
            form->SelectedObjects().emplace_back(object);
        form->Workspace()->AfterSelectionChange();
        form->SelectionChanged(nullptr);
    }

    void Draw(QPointF from, QPointF to)
    {
        DesignerInput(*form->Workspace()).Drag(from, to);
        QApplication::processEvents();
    }

    QToolButton* Button(const char* name) const
    {
        return qobject_cast<QToolButton*>(form->Control(QString::fromLatin1(name)));
    }

    // The objects tool bar's visible buttons: the fixed tools by name, the others by class and
    // flags or by category.
    std::set<QString> VisibleTools() const
    {
        std::set<QString> result;
        QToolBar* bar = form->ToolBar(QStringLiteral("ObjectsTB1"));
        const TrpObjectCollection& registry = GetObjectRegistry();
        for (QAction* action : bar->actions()) {
            QWidget* widget = bar->widgetForAction(action);
            if (widget == nullptr || !action->isVisible() || widget->objectName().isEmpty())
                continue;
            if (!widget->objectName().startsWith(QLatin1String("ObjectButton"))) {
                result.insert(widget->objectName());
                continue;
            }
            const TrpObjectItem& item = registry.Items(widget->property("tag").toInt());
            result.insert(item.ClassRef != nullptr ? item.ClassRef->Name : QStringLiteral("category ") + item.CategoryName);
        }
        return result;
    }

    std::vector<TrpComponent*> ChildrenOfClass(TrpComponent* parent, const QString& className) const
    {
        std::vector<TrpComponent*> result;
        for (TrpComponent* object : parent->AllObjects()) {
            if (object->ClassName() == className)
                result.push_back(object);
        }
        return result;
    }

    QTemporaryDir folder;
    ModalScript modal;
    TrpReport report;
    std::unique_ptr<TrpDesignerForm> form;
};

// --- the objects tool bar

TEST_F(ObjectTools, EachPageKindShowsItsTools)
{
    const std::set<QString> fixed = {"ObjectSelectB", "HandToolB", "ZoomToolB", "TextToolB", "FormatToolB",
                                     "ObjectBandB"};
    auto* reportPage = AddPage();
    auto* dmpPage = new TrpDMPPage(&report);
    dmpPage->SetName(QStringLiteral("Matrix"));
    auto* dialogPage = new TrpDialogPage(&report);
    dialogPage->SetName(QStringLiteral("Dialog1"));
    Open(reportPage);

    std::set<QString> expected = fixed;
    for (const char* name : {"TrpMemoView", "TrpPictureView", "TrpSubreport", "TrpSysMemoView", "TrpCheckBoxView",
                             "category Draw"})
        expected.insert(QString::fromLatin1(name));
    EXPECT_EQ(VisibleTools(), expected);
    SaveScreenshot(*form->ToolBar(QStringLiteral("ObjectsTB1")), QStringLiteral("objects-toolbar-report-page"));

    form->SetPage(dmpPage);
    expected = fixed;
    for (const char* name : {"TrpDMPMemoView", "TrpDMPLineView", "TrpDMPCommand", "TrpSubreport"})
        expected.insert(QString::fromLatin1(name));
    EXPECT_EQ(VisibleTools(), expected);
    SaveScreenshot(*form->ToolBar(QStringLiteral("ObjectsTB1")), QStringLiteral("objects-toolbar-dot-matrix-page"));

    // A dialog page: the select tool and the dialog objects only.
    form->SetPage(dialogPage);
    EXPECT_EQ(VisibleTools(), (std::set<QString>{"ObjectSelectB", "TestDialogButton"}));
    SaveScreenshot(*form->ToolBar(QStringLiteral("ObjectsTB1")), QStringLiteral("objects-toolbar-dialog-page"));

    form->SetPage(report.Pages(0));
    EXPECT_EQ(VisibleTools(), (std::set<QString>{"ObjectSelectB", "TrpMemoView", "category Draw"}));

    form->SetPage(nullptr);
    EXPECT_EQ(VisibleTools(), (std::set<QString>{"ObjectSelectB"}));
    EXPECT_FALSE(Button("ObjectSelectB")->isEnabled());
}

TEST_F(ObjectTools, AButtonArmsItsClassAtItsSizeOrTheDefaultSizeOfTheUnits)
{
    auto* page = AddPage();
    AddBand(page);
    Open(page);
    const struct {
        TrpDesignerUnits units;
        double width;
        double height;
    } defaults[] = {{duCM, 2.5 * 37.7953, 0.5 * 37.7953}, {duInches, 96, 19.2}, {duPixels, 80, 16}, {duChars, 96, 17}};
    for (const auto& row : defaults) {
        form->SetUnits(row.units);
        ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
        const TrpInsertion& insertion = form->Workspace()->Insertion();
        ASSERT_NE(insertion.ComponentClass, nullptr);
        EXPECT_EQ(insertion.ComponentClass->Name, QStringLiteral("TrpMemoView"));
        EXPECT_NEAR(insertion.Width, row.width, 1e-9) << row.units;
        EXPECT_NEAR(insertion.Height, row.height, 1e-9) << row.units;
    }
    // A class that sizes its new objects itself keeps that size: the check box is 5 mm square.
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpCheckBoxView"), 0));
    EXPECT_NEAR(form->Workspace()->Insertion().Width, 5 * 3.77953, 1e-9);
    EXPECT_NEAR(form->Workspace()->Insertion().Height, 5 * 3.77953, 1e-9);
    // A drawing object comes through its category's menu, with its flags.
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpShapeView"), 2));
    EXPECT_EQ(form->Workspace()->Insertion().ComponentClass->Name, QStringLiteral("TrpShapeView"));
    EXPECT_EQ(form->Workspace()->Insertion().Flags, 2);
    auto* popup = form->findChild<QMenu*>(QStringLiteral("ObjectsPopup"));
    ASSERT_EQ(popup->actions().size(), 10);
    EXPECT_EQ(popup->actions()[1]->text(), QStringLiteral("Диагональная линия"));
    EXPECT_EQ(popup->actions()[9]->text(), QStringLiteral("Ромб"));
    // A class the shown page does not offer is not pressed.
    EXPECT_FALSE(form->PressObjectButton(QStringLiteral("TrpDMPMemoView"), 0));
    // A tool cancels the insertion.
    Button("HandToolB")->click();
    EXPECT_EQ(form->Workspace()->Insertion().ComponentClass, nullptr);
    EXPECT_EQ(form->Workspace()->Tool(), dtHand);
}

// --- inserting

TEST_F(ObjectTools, TheLineToolStaysArmedAMemoReturnsToSelect)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    Open(page);
    const double y = band->Top() + 20;
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpLineView"), 0));
    Draw({20, y}, {120, y});
    Draw({20, y + 20}, {120, y + 20});
    EXPECT_EQ(ChildrenOfClass(band, QStringLiteral("TrpLineView")).size(), 2u);
    ASSERT_NE(form->Workspace()->Insertion().ComponentClass, nullptr);
    EXPECT_FALSE(Button("ObjectSelectB")->isChecked());

    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    Draw({20, y + 40}, {120, y + 60});
    const auto memos = ChildrenOfClass(band, QStringLiteral("TrpMemoView"));
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0]->Name(), QStringLiteral("Memo1"));
    EXPECT_EQ(form->Workspace()->Insertion().ComponentClass, nullptr);
    EXPECT_TRUE(Button("ObjectSelectB")->isChecked());
    ASSERT_EQ(form->SelectedObjects().size(), 1u);
    EXPECT_EQ(form->SelectedObjects().front().data(), memos[0]);
    EXPECT_TRUE(form->Modified());

    // With the text tool down a memo drawn by it leaves the text tool down.
    Button("TextToolB")->click();
    ASSERT_EQ(form->Workspace()->Tool(), dtText);
    Draw({200, y + 40}, {300, y + 60});
    EXPECT_EQ(ChildrenOfClass(band, QStringLiteral("TrpMemoView")).size(), 2u);
    EXPECT_TRUE(Button("TextToolB")->isChecked());
    EXPECT_FALSE(Button("ObjectSelectB")->isChecked());
}

TEST_F(ObjectTools, AMemoInsertedAfterFormattingAnotherTakesItsLook)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* first = AddMemo(band, 10, 10);
    Open(page);
    Select({first});
    Button("BoldB")->click();
    Button("TextAlignRightB")->click();
    Button("TextAlignBottomB")->click();
    Button("FrameAllB")->click();
    TrpColorSelector* selector = form->FontColorBClick(Button("FillColorB"));
    ASSERT_NE(selector, nullptr);
    selector->Pick(64, 28); // second row, fourth cell: 0x0000FF
    modal.ui.FontAnswer.Name = QStringLiteral("Liberation Serif");
    modal.ui.FontAnswer.Size = 14;
    modal.ui.FontAnswer.Bold = true;
    Button("FontB")->click();
    ASSERT_EQ(first->Color, 0x0000FF);
    ASSERT_EQ(first->Font().Name(), QStringLiteral("Liberation Serif"));

    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    Draw({200, band->Top() + 40}, {300, band->Top() + 60});
    const auto memos = ChildrenOfClass(band, QStringLiteral("TrpMemoView"));
    ASSERT_EQ(memos.size(), 2u);
    auto* second = static_cast<TrpMemoView*>(memos[1] == first ? memos[0] : memos[1]);
    EXPECT_EQ(second->Color, 0x0000FF);
    EXPECT_EQ(second->Font().Name(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(second->Font().Size(), 14);
    EXPECT_EQ(second->Font().Style(), kFontStyleBold);
    EXPECT_EQ(second->HAlign, haRight);
    EXPECT_EQ(second->VAlign, vaBottom);
    EXPECT_EQ(second->Frame().Typ, kAllFrameSides);
}

TEST_F(ObjectTools, AMemoDrawnInsideAContainerGoesIntoIt)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    auto* container = new TestContainer(band);
    container->SetName(QStringLiteral("Box1"));
    container->SetBounds(100, 20, 300, 150);
    Open(page);
    const double top = band->Top();
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    Draw({120, top + 40}, {200, top + 60});
    ASSERT_EQ(container->Taken.size(), 1u);
    TrpComponent* inside = container->Taken[0];
    EXPECT_EQ(inside->Parent(), container);
    bool listed = false;
    for (const auto& object : form->Objects())
        listed = listed || object.data() == inside;
    EXPECT_FALSE(listed);

    // Partly outside: the band takes it.
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    Draw({380, top + 40}, {480, top + 60});
    EXPECT_EQ(container->Taken.size(), 1u);
    const auto memos = ChildrenOfClass(band, QStringLiteral("TrpMemoView"));
    ASSERT_EQ(memos.size(), 2u);
    EXPECT_TRUE(memos[0]->Parent() == band || memos[1]->Parent() == band);
}

TEST_F(ObjectTools, ANegativeTopOrTheRestrictionCancelsTheInsertion)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    Open(page);
    const size_t before = page->AllObjects().size();
    // An armed insertion waits above the page until the mouse comes.
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    ASSERT_LT(form->Workspace()->Insertion().Top, 0);
    form->InsertObject();
    EXPECT_EQ(page->AllObjects().size(), before);
    EXPECT_EQ(form->Workspace()->Insertion().ComponentClass, nullptr);
    EXPECT_TRUE(Button("ObjectSelectB")->isChecked());
    EXPECT_FALSE(form->Modified());

    TrpDesigner component;
    component.Restrictions = RestrictionBit(drDontInsertObject);
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    Draw({20, band->Top() + 20}, {120, band->Top() + 40});
    EXPECT_EQ(page->AllObjects().size(), before);
    EXPECT_EQ(form->Workspace()->Insertion().ComponentClass, nullptr);
    EXPECT_TRUE(Button("ObjectSelectB")->isChecked());
}

// An editor of the tests' own that counts the objects it is asked to edit.
class CountingEditor : public TrpComponentEditor {
public:
    using TrpComponentEditor::TrpComponentEditor;
    bool HasEditor() const override { return true; }
    bool Edit() override
    {
        Edited.push_back(Component()->Name());
        return false;
    }
    static inline std::vector<QString> Edited;
};

TEST_F(ObjectTools, TheDesignerComponentHearsOfTheNewObjectAndItsEditorOpens)
{
    RegisterComponentEditorClass(QStringLiteral("CountingEditor"),
                                 [](TrpComponent* component, TrpCustomDesigner* designer, QMenu* menu) {
                                     return std::make_unique<CountingEditor>(component, designer, menu);
                                 });
    GetComponentEditorRegistry().Register(&TrpView::Class(), QStringLiteral("CountingEditor"));
    CountingEditor::Edited.clear();
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpDesigner component;
    std::vector<QString> inserted;
    component.OnInsertObject = [&](TrpComponent* object) { inserted.push_back(object->Name()); };
    Open(page);
    form->SetEditAfterInsert(false);
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    Draw({20, band->Top() + 20}, {120, band->Top() + 40});
    EXPECT_EQ(inserted, std::vector<QString>{QStringLiteral("Memo1")});
    EXPECT_TRUE(CountingEditor::Edited.empty());
    form->SetEditAfterInsert(true);
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    Draw({200, band->Top() + 20}, {300, band->Top() + 40});
    EXPECT_EQ(CountingEditor::Edited, std::vector<QString>{QStringLiteral("Memo2")});
    GetComponentEditorRegistry().UnRegister(u"CountingEditor");
}

TEST_F(ObjectTools, ASubreportGetsANewPageThatIsShown)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    Open(page);
    const int pages = report.PagesCount();
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpSubreport"), 0));
    Draw({20, band->Top() + 20}, {120, band->Top() + 60});
    ASSERT_EQ(report.PagesCount(), pages + 1);
    const auto subreports = ChildrenOfClass(page, QStringLiteral("TrpSubreport"));
    ASSERT_EQ(subreports.size(), 1u);
    auto* subreport = static_cast<TrpSubreport*>(subreports[0]);
    EXPECT_EQ(subreport->Parent(), band);
    ASSERT_NE(subreport->Page(), nullptr);
    EXPECT_EQ(subreport->Page(), report.Pages(pages));
    EXPECT_EQ(form->Page(), subreport->Page());
    EXPECT_EQ(form->Tabs()->tabText(pages + 1), subreport->Name());
    EXPECT_TRUE(form->Modified());
}

// --- wizard buttons

class CountingWizard : public TrpCustomWizard {
public:
    using TrpCustomWizard::TrpCustomWizard;
    QString GetDescription() const override { return QStringLiteral("Counting wizard"); }
    bool Execute() override
    {
        ++Runs;
        return true;
    }
    static inline int Runs = 0;
};

TEST_F(ObjectTools, OnlyToolbarWizardsGetButtonsAndABarToShow)
{
    auto* page = AddPage();
    Open(page);
    // The standard wizards live in the New Item dialog: no bar.
    EXPECT_TRUE(form->ToolBar(QStringLiteral("ExtraToolsTB"))->actions().isEmpty());
    EXPECT_FALSE(form->Action(QStringLiteral("ExtraTBCmd"))->isVisible());
    form->CloseNow();

    RegisterWizardClass(QStringLiteral("CountingWizard"),
                        [](TrpCustomDesigner* designer) { return std::make_unique<CountingWizard>(designer); });
    GetWizardRegistry().Register(QStringLiteral("CountingWizard"), QImage(), true);
    CountingWizard::Runs = 0;
    Open(page);
    QToolBar* extra = form->ToolBar(QStringLiteral("ExtraToolsTB"));
    const auto buttons = extra->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    QToolButton* wizard = nullptr;
    for (QToolButton* button : buttons) {
        if (button->objectName().startsWith(QLatin1String("WizardB")))
            wizard = button;
    }
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(wizard->toolTip(), QStringLiteral("Counting wizard"));
    EXPECT_EQ(wizard->size(), QSize(22, 22));
    EXPECT_TRUE(form->Action(QStringLiteral("ExtraTBCmd"))->isVisible());
    wizard->click();
    EXPECT_EQ(CountingWizard::Runs, 1);
    EXPECT_TRUE(form->Modified());
    GetWizardRegistry().Unregister(u"CountingWizard");
    UnregisterWizardClass(u"CountingWizard");
}

// --- bands

TEST_F(ObjectTools, ASecondPageHeaderIsNotOffered)
{
    auto* page = AddPage();
    Open(page);
    auto* popup = form->findChild<QMenu*>(QStringLiteral("BandsPopup"));
    const auto enabled = [&](const char* name) {
        return popup->findChild<QAction*>(QString::fromLatin1(name))->isEnabled();
    };
    form->BandsPopupPopup();
    for (const char* name : {"ReportTitleMI", "PageHeaderMI", "PageFooterMI", "HeaderMI", "MasterDataMI",
                             "ColumnHeaderMI", "OverlayMI", "MasterDataMI1", "ChildMI1"})
        EXPECT_TRUE(enabled(name)) << name;
    SaveScreenshot(*popup, QStringLiteral("band-menu"));
    popup->findChild<QAction*>(QStringLiteral("PageHeaderMI"))->trigger();
    popup->findChild<QAction*>(QStringLiteral("ColumnFooterMI"))->trigger();
    form->BandsPopupPopup();
    EXPECT_FALSE(enabled("PageHeaderMI"));
    EXPECT_FALSE(enabled("ColumnFooterMI"));
    // Bands of other kinds may come as often as wanted.
    EXPECT_TRUE(enabled("HeaderMI"));
    EXPECT_TRUE(enabled("MasterDataMI"));
    EXPECT_EQ(ChildrenOfClass(page, QStringLiteral("TrpPageHeader")).size(), 1u);
    EXPECT_EQ(ChildrenOfClass(page, QStringLiteral("TrpColumnFooter")).size(), 1u);
}

TEST_F(ObjectTools, BandsTakeTheSizeOfTheUnits)
{
    auto* page = AddPage();
    Open(page);
    auto* popup = form->findChild<QMenu*>(QStringLiteral("BandsPopup"));
    auto* vertical = popup->findChild<QMenu*>(QStringLiteral("VerticalbandsMI"));
    const struct {
        TrpDesignerUnits units;
        double size;
    } rows[] = {{duCM, 22.68}, {duInches, 28.8}, {duPixels, 20}, {duChars, 17}};
    for (const auto& row : rows) {
        form->SetUnits(row.units);
        form->BandsPopupPopup();
        popup->findChild<QAction*>(QStringLiteral("HeaderMI"))->trigger();
        auto* band = dynamic_cast<TrpBand*>(form->SelectedObjects().front().data());
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->ClassName(), QStringLiteral("TrpHeader"));
        EXPECT_FALSE(band->Vertical);
        EXPECT_NEAR(band->Height(), row.size, 1e-9) << row.units;
        EXPECT_EQ(band->Parent(), page);

        vertical->findChild<QAction*>(QStringLiteral("MasterDataMI1"))->trigger();
        auto* column = dynamic_cast<TrpBand*>(form->SelectedObjects().front().data());
        ASSERT_NE(column, nullptr);
        EXPECT_EQ(column->ClassName(), QStringLiteral("TrpMasterData"));
        EXPECT_TRUE(column->Vertical);
        EXPECT_NEAR(column->Left(), row.size, 1e-9) << row.units;
        EXPECT_NEAR(column->Width(), row.size, 1e-9) << row.units;
    }
    EXPECT_TRUE(Button("ObjectSelectB")->isChecked());
    EXPECT_TRUE(form->Modified());
}

TEST_F(ObjectTools, WithFreeBandsANewBandGoesBelowTheLowestOnTheGrid)
{
    auto* page = AddPage();
    Open(page);
    form->SetUnits(duPixels); // a 4-pixel grid
    form->Workspace()->SetFreeBandsPlacement(true);
    auto* popup = form->findChild<QMenu*>(QStringLiteral("BandsPopup"));
    form->BandsPopupPopup();
    popup->findChild<QAction*>(QStringLiteral("MasterDataMI"))->trigger();
    auto* first = static_cast<TrpBand*>(form->SelectedObjects().front().data());
    first->SetTop(100);
    first->SetHeight(50.5);
    popup->findChild<QAction*>(QStringLiteral("FooterMI"))->trigger();
    auto* second = static_cast<TrpBand*>(form->SelectedObjects().front().data());
    const double raw = 150.5 + form->Workspace()->BandHeader() + 4;
    EXPECT_NEAR(second->Top(), std::nearbyint(raw / 4) * 4, 1e-9);
    EXPECT_EQ(std::fmod(second->Top(), 4.0), 0.0);
    EXPECT_GT(second->Top(), 150.5);
}

// --- formatting

TEST_F(ObjectTools, AFontChangeClearsTheMemoStyleOtherChangesKeepIt)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* memo = AddMemo(band, 10, 10);
    TrpStyleItem* style = report.Styles().Add();
    style->SetName(QStringLiteral("Title"));
    style->Font().SetSize(20);
    Open(page);
    Select({memo});
    struct Row {
        const char* control;
        bool clears;
    };
    const Row rows[] = {{"TextAlignCenterB", false}, {"TextAlignMiddleB", false}, {"FontSizeCB", true},
                        {"BoldB", true},            {"FrameTopB", true},        {"ShadowB", true},
                        {"SetToGridB", false}};
    for (const Row& row : rows) {
        memo->SetStyle(QStringLiteral("Title"));
        ASSERT_EQ(memo->Style(), QStringLiteral("Title"));
        QWidget* control = form->Control(QString::fromLatin1(row.control));
        if (auto* box = qobject_cast<QComboBox*>(control)) {
            box->setEditText(QStringLiteral("12"));
            form->ToolButtonClick(box);
        } else {
            qobject_cast<QToolButton*>(control)->click();
        }
        EXPECT_EQ(memo->Style().isEmpty(), row.clears) << row.control;
        if (QLatin1String(row.control) == QLatin1String("FontSizeCB")) {
            EXPECT_EQ(memo->Font().Size(), 12);
        }
    }
}

TEST_F(ObjectTools, SetToGridGivesANarrowObjectOneStep)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* memo = AddMemo(band, 10.2, 7.1, 1.5, 20);
    Open(page);
    form->SetUnits(duPixels); // a 4-pixel grid
    Select({memo});
    Button("SetToGridB")->click();
    EXPECT_DOUBLE_EQ(memo->Left(), 12);
    EXPECT_DOUBLE_EQ(memo->Top(), 8);
    EXPECT_DOUBLE_EQ(memo->Width(), 4);
    EXPECT_DOUBLE_EQ(memo->Height(), 20);
}

TEST_F(ObjectTools, FormattingButtonsTable)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* memo = AddMemo(band, 10, 10);
    TrpMemoView* locked = AddMemo(band, 200, 10);
    locked->SetRestrictions(1u << rfDontModify);
    Open(page);
    Select({memo, locked});
    struct Row {
        const char* name;
        std::function<void()> act;
        std::function<bool()> check;
    };
    auto* frameWidth = qobject_cast<QComboBox*>(form->Control(QStringLiteral("FrameWidthCB")));
    auto* rotation = form->findChild<QMenu*>(QStringLiteral("RotationPopup"));
    const Row rows[] = {
        {"top line", [&] { Button("FrameTopB")->click(); }, [&] { return memo->Frame().Typ == SetBit(ftTop); }},
        {"left line", [&] { Button("FrameLeftB")->click(); },
         [&] { return memo->Frame().Typ == (SetBit(ftTop) | SetBit(ftLeft)); }},
        {"top line off", [&] { Button("FrameTopB")->click(); }, [&] { return memo->Frame().Typ == SetBit(ftLeft); }},
        {"no lines", [&] { Button("FrameNoB")->click(); }, [&] { return memo->Frame().Typ == 0; }},
        {"shadow", [&] { Button("ShadowB")->click(); }, [&] { return memo->Frame().DropShadow; }},
        {"centre", [&] { Button("TextAlignCenterB")->click(); }, [&] { return memo->HAlign == haCenter; }},
        {"centre up: block", [&] { Button("TextAlignCenterB")->click(); }, [&] { return memo->HAlign == haBlock; }},
        {"middle", [&] { Button("TextAlignMiddleB")->click(); }, [&] { return memo->VAlign == vaCenter; }},
        {"middle up: bottom", [&] { Button("TextAlignMiddleB")->click(); }, [&] { return memo->VAlign == vaBottom; }},
        {"frame width with a comma",
         [&] {
             frameWidth->setEditable(true);
             frameWidth->setEditText(QStringLiteral("1,5"));
             form->ToolButtonClick(frameWidth);
         },
         [&] { return memo->Frame().Width() == 1.5; }},
        {"rotation 90",
         [&] {
             rotation->findChild<QAction*>(QStringLiteral("R90MI"))->trigger();
         },
         [&] { return memo->Rotation() == 90; }},
        {"frame style",
         [&] {
             TrpLineSelector* selector = form->FrameStyleBClick();
             selector->Pick(5 + 3 * 16 + 2); // the fourth row: dash-dot
         },
         [&] { return memo->Frame().Style() == fsDashDot; }},
    };
    for (const Row& row : rows) {
        row.act();
        EXPECT_TRUE(row.check()) << row.name;
    }
    // The restricted memo kept everything.
    EXPECT_EQ(locked->Frame().Typ, 0u);
    EXPECT_EQ(locked->HAlign, haLeft);
    EXPECT_EQ(locked->Rotation(), 0);
    EXPECT_FALSE(locked->Frame().DropShadow);
}

TEST_F(ObjectTools, TheFrameButtonsShowTheFrameLinesOfTheObject)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* memo = AddMemo(band, 10, 10);
    memo->Frame().Typ = SetBit(ftLeft) | SetBit(ftBottom);
    Open(page);
    Select({memo});
    EXPECT_TRUE(Button("FrameLeftB")->isChecked());
    EXPECT_TRUE(Button("FrameBottomB")->isChecked());
    EXPECT_FALSE(Button("FrameTopB")->isChecked());
    EXPECT_FALSE(Button("FrameRightB")->isChecked());
    // Switching a line on keeps the others.
    Button("FrameTopB")->click();
    EXPECT_EQ(memo->Frame().Typ, SetBit(ftLeft) | SetBit(ftBottom) | SetBit(ftTop));
}

TEST_F(ObjectTools, FrameWidthsComeWithTheLocaleSeparator)
{
    FormatSettings formats = FormatSettings::C();
    formats.DecimalSeparator = u',';
    DesignerRuntime::SetFormats(formats);
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* memo = AddMemo(band, 10, 10);
    Open(page);
    Select({memo});
    auto* box = qobject_cast<QComboBox*>(form->Control(QStringLiteral("FrameWidthCB")));
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    EXPECT_EQ(items.join(u' '), QStringLiteral("0,1 0,5 1 1,5 2 3 4 5 6 7 8 9 10"));
    box->setCurrentIndex(3);
    emit box->activated(3);
    EXPECT_EQ(memo->Frame().Width(), 1.5);
    DesignerRuntime::SetFormats(FormatSettings::C());
}

TEST_F(ObjectTools, ColourSelectorsStartFromTheFirstViewAndFillEveryObject)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* a = AddMemo(band, 10, 10);
    TrpMemoView* b = AddMemo(band, 200, 10);
    a->Color = 0x00FF00;
    a->Frame().SetColor(0x808080);
    Open(page);
    Select({a, b});
    TrpColorSelector* fill = form->FontColorBClick(Button("FillColorB"));
    EXPECT_EQ(form->PickedColor(), 0x00FF00);
    EXPECT_EQ(fill->BtnCaption(), QStringLiteral("Other..."));
    fill->Pick(10, 10); // the first cell: no colour
    EXPECT_EQ(a->Color, clNone);
    EXPECT_EQ(b->Color, clNone);
    TrpColorSelector* frame = form->FontColorBClick(Button("FrameColorB"));
    EXPECT_EQ(form->PickedColor(), 0x808080);
    frame->Pick(64, 28);
    EXPECT_EQ(a->Frame().Color(), 0x0000FF);
    EXPECT_EQ(b->Frame().Color(), 0x0000FF);
    TrpColorSelector* font = form->FontColorBClick(Button("FontColorB"));
    font->Pick(64, 10); // first row, fourth cell: 0x000080
    EXPECT_EQ(a->Font().Color(), 0x000080);
    EXPECT_TRUE(form->Modified());
}

TEST_F(ObjectTools, TheHighlightOfTheFirstMemoGoesToEveryOther)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* a = AddMemo(band, 10, 10);
    TrpMemoView* b = AddMemo(band, 200, 10);
    Open(page);
    Select({a, b});
    modal.Then<TrpHighlightEditorForm>([](TrpHighlightEditorForm& editor) {
        editor.ItalicCB->setChecked(true);
        editor.OKB->click();
    });
    Button("HighlightB")->click();
    EXPECT_EQ(a->Highlight().Font().Style(), kFontStyleItalic);
    EXPECT_EQ(b->Highlight().Font().Style(), kFontStyleItalic);
    EXPECT_TRUE(form->Modified());
}

TEST_F(ObjectTools, TheDotMatrixFontMenuSwitchesFontStyleElements)
{
    report.DotMatrixReport = true;
    auto* page = new TrpDMPPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
    TrpMasterData* band = AddBand(page);
    auto* memo = new TrpDMPMemoView(band);
    memo->SetName(QStringLiteral("DMPMemo1"));
    Open(page);
    Select({memo});
    QToolButton* fontButton = Button("FontB");
    auto* menu = form->findChild<QMenu*>(QStringLiteral("DMPPopup"));
    EXPECT_EQ(fontButton->menu(), menu);
    const auto item = [&](const char* name) { return menu->findChild<QAction*>(QString::fromLatin1(name)); };
    item("BoldMI")->trigger();
    item("N15cpiMI")->trigger();
    EXPECT_EQ(memo->FontStyle(), SetBit(fsxBold) | SetBit(fsx15cpi));
    EXPECT_TRUE(item("BoldMI")->isChecked());
    EXPECT_FALSE(item("ItalicMI")->isChecked());
    item("BoldMI")->trigger();
    EXPECT_EQ(memo->FontStyle(), SetBit(fsx15cpi));
    EXPECT_FALSE(item("BoldMI")->isChecked());
    // The font button only drops the menu down here: no font dialog.
    form->ToolButtonClick(fontButton);
    EXPECT_EQ(memo->FontStyle(), SetBit(fsx15cpi));
}

// --- the alignment palette

TEST_F(ObjectTools, SpacingSortsThePositionsAsNumbers)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    Open(page);
    struct Row {
        std::vector<double> lefts; // in selection order
        std::vector<double> expected;
    };
    const Row rows[] = {
        {{0, 10, 100}, {0, 50, 100}},
        {{100, 0, 10}, {100, 0, 50}},
        {{-20, 10, 10500}, {-20, 5240, 10500}},
        // As texts "-005" sorted before "-020" and "10500" before "2000".
        {{-5, -20, 100}, {40, -20, 100}},
        {{2000, 10500, 0}, {5250, 10500, 0}},
        // Equal positions keep the selection's order.
        {{0, 0, 90}, {0, 45, 90}},
        {{0, 30, 60, 300}, {0, 100, 200, 300}},
    };
    for (const Row& row : rows) {
        std::vector<TrpMemoView*> memos;
        form->SelectedObjects().clear();
        for (double left : row.lefts) {
            memos.push_back(AddMemo(band, left, 10, 10, 10));
            form->SelectedObjects().emplace_back(memos.back());
        }
        form->SpaceHorzBClick();
        for (size_t i = 0; i < memos.size(); ++i)
            EXPECT_DOUBLE_EQ(memos[i]->Left(), row.expected[i]) << row.lefts[0] << ' ' << i;
        // The same along the vertical.
        form->SelectedObjects().clear();
        for (size_t i = 0; i < memos.size(); ++i) {
            memos[i]->SetTop(row.lefts[i]);
            form->SelectedObjects().emplace_back(memos[i]);
        }
        form->SpaceVertBClick();
        for (size_t i = 0; i < memos.size(); ++i)
            EXPECT_DOUBLE_EQ(memos[i]->Top(), row.expected[i]) << row.lefts[0] << ' ' << i;
    }
}

TEST_F(ObjectTools, AlignmentCommandsTable)
{
    auto* page = AddPage();
    TrpMasterData* band = AddBand(page);
    TrpMemoView* reference = AddMemo(band, 100, 40, 80, 20);
    TrpMemoView* other = AddMemo(band, 10, 10, 40, 10);
    TrpMemoView* fixed = AddMemo(band, 300, 70, 40, 10);
    fixed->SetRestrictions((1u << rfDontMove) | (1u << rfDontSize));
    Open(page);
    struct Row {
        const char* button;
        double left, top, width, height; // of `other` afterwards
    };
    const Row rows[] = {
        {"AlignLeftsB", 100, 10, 40, 10},     {"AlignRightsB", 140, 10, 40, 10},
        {"AlignTopsB", 10, 40, 40, 10},       {"AlignBottomsB", 10, 50, 40, 10},
        {"AlignHorzCentersB", 120, 10, 40, 10}, {"AlignVertCentersB", 10, 45, 40, 10},
        {"SameWidthB", 10, 10, 80, 10},       {"SameHeightB", 10, 10, 40, 20},
        {"CenterHorzB", 339.05, 10, 40, 10},
    };
    for (const Row& row : rows) {
        other->SetBounds(10, 10, 40, 10);
        Select({reference, other, fixed});
        form->SetModified(false);
        Button(row.button)->click();
        if (QLatin1String(row.button) == QLatin1String("CenterHorzB")) {
            EXPECT_NEAR(other->Left(), (band->Width() - 40) / 2, 1e-9);
        } else {
            EXPECT_DOUBLE_EQ(other->Left(), row.left) << row.button;
        }
        EXPECT_DOUBLE_EQ(other->Top(), row.top) << row.button;
        EXPECT_DOUBLE_EQ(other->Width(), row.width) << row.button;
        EXPECT_DOUBLE_EQ(other->Height(), row.height) << row.button;
        EXPECT_DOUBLE_EQ(fixed->Left(), 300) << row.button;
        EXPECT_DOUBLE_EQ(fixed->Top(), 70) << row.button;
        EXPECT_DOUBLE_EQ(fixed->Width(), 40) << row.button;
        EXPECT_TRUE(form->Modified()) << row.button;
    }
    // One object is not enough to align to.
    other->SetBounds(10, 10, 40, 10);
    Select({other});
    Button("AlignLeftsB")->click();
    EXPECT_DOUBLE_EQ(other->Left(), 10);
}

} // namespace
