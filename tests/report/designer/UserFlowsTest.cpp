// Faults met by driving the designer window as a person does: each test replays the steps
// that went wrong.
#include "report/designer/DesignerInput.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgn.h"
#include "report/designer/rpDesgnCtrls.h"
#include "report/designer/rpDesgnForm.h"
#include "report/designer/rpDesgnWorkspace.h"

#include "RecordingPaintDevice.h"
#include "ReportFakes.h"
#include "report/core/PropertyRegistry.h"
#include "report/designer/rpDsgnImages.h"
#include "report/designer/rpDsgnIntfEditors.h"
#include "report/designer/rpInsp.h"
#include "report/designer/rpReportTree.h"
#include "report/designer/rpSynMemo.h"
#include "report/core/Services.h"
#include "report/script/ScriptedUi.h"
#include "report/script/ui/QtUiService.h"

#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

// A steady clock the test moves itself.
class ManualClock : public platform::Clock {
public:
    std::chrono::system_clock::time_point UtcNow() const override { return {}; }
    std::chrono::steady_clock::time_point SteadyNow() const override { return now; }
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
};

class UserFlows : public ::testing::Test {
protected:
    void SetUp() override
    {
        DesignerRuntime::init();
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
        memo->SetBounds(3 * 37.7953, 10, 37.7953, 18);
    }

    std::unique_ptr<TrpDesignerForm> Open()
    {
        auto form = std::make_unique<TrpDesignerForm>(&report, false);
        report.SetDesigner(form.get());
        form->Start();
        form->resize(1000, 700);
        form->show();
        form->SetTabIndex(2);
        return form;
    }

    QTemporaryDir folder;
    reporttest::RecordingReportUi ui;
    TrpReport report;
    TrpReportPage* page = nullptr;
    TrpBand* band = nullptr;
    TrpMemoView* memo = nullptr;
};

// Selecting an object used to hand the rulers its size in pixels as their length and its
// pixel position as their mark: the top ruler shrank to the object's width and the left one
// almost vanished.
TEST_F(UserFlows, RulersKeepTheSheetLengthWhenAnObjectIsSelected)
{
    auto form = Open();
    ASSERT_EQ(form->Units(), duCM);
    auto* top = form->findChild<TrpRuler*>(QStringLiteral("TopRuler"));
    auto* left = form->findChild<TrpRuler*>(QStringLiteral("LeftRuler"));
    ASSERT_NE(top, nullptr);
    ASSERT_NE(left, nullptr);
    QWidget* sheet = form->Workspace()->MarginsPanel();
    ASSERT_NE(sheet, nullptr);
    for (int scale : {100, 200}) {
        form->SetScale(scale / 100.0);
        form->SelectedObjects().clear();
        form->SelectedObjects().emplace_back(memo);
        form->NotifyPosition(QRectF(memo->AbsLeft(), memo->AbsTop(), memo->Width(), memo->Height()));
        EXPECT_EQ(top->Size(), sheet->width()) << scale;
        EXPECT_EQ(left->Size(), sheet->height()) << scale;
        EXPECT_GT(top->Size(), 700 * scale / 100) << scale;
        // The marks stand at the object's left and top, in centimetres.
        EXPECT_NEAR(top->Position(), 3.0, 1e-6) << scale;
        EXPECT_NEAR(left->Position(), memo->AbsTop() / 37.7953, 1e-6) << scale;
    }
}

// The workspace reports left, top, width and height; the status bar read the last two as the
// far corner, so while an object was drawn it showed its size less its position.
TEST_F(UserFlows, StatusBarShowsTheSizeOfTheObjectBeingDrawn)
{
    auto form = Open();
    ASSERT_TRUE(form->PressObjectButton(QStringLiteral("TrpMemoView"), 0));
    DesignerInput input(*form->Workspace());
    input.Move(QPointF(40, 60));
    input.Press(QPointF(40, 60));
    input.DragTo(QPointF(160, 85));
    const TrpInsertion insertion = form->Workspace()->Insertion();
    ASSERT_GT(insertion.Width, 100);
    const auto pair = [](double a, double b) {
        return QString::number(a / 37.7953, 'f', 2) + QStringLiteral("; ") + QString::number(b / 37.7953, 'f', 2);
    };
    EXPECT_EQ(form->Coord(1).toStdString(), pair(insertion.Left, insertion.Top).toStdString());
    EXPECT_EQ(form->Coord(2).toStdString(), pair(insertion.Width, insertion.Height).toStdString());
    input.Release(QPointF(160, 85));
    // Afterwards the new object's own size.
    ASSERT_EQ(form->SelectedObjects().size(), 1u);
    TrpComponent* made = form->SelectedObjects().front().data();
    ASSERT_NE(made, nullptr);
    input.Move(QPointF(300, 300));
    EXPECT_EQ(form->Coord(2).toStdString(), pair(made->Width(), made->Height()).toStdString());
}

// Enter on a selected memo and a double click on it open its text editor.
TEST_F(UserFlows, EnterAndDoubleClickOpenTheMemoEditor)
{
    ScriptedUi scripted(QStringList{});
    QStringList opened;
    scripted.OnModal = [&](QObject& dialog, const QString&) {
        opened << dialog.metaObject()->className() + QStringLiteral(":") + dialog.objectName();
        return 2;
    };
    ReportServices::SetUi(&scripted);
    auto form = Open();
    form->SelectedObjects().clear();
    form->SelectedObjects().emplace_back(memo);
    form->Workspace()->AfterSelectionChange();
    DesignerInput input(*form->Workspace());
    input.Key(Qt::Key_Return);
    EXPECT_EQ(opened.size(), 1) << opened.join(u',').toStdString();
    input.DoubleClick(QPointF(memo->AbsLeft() + 5, memo->AbsTop() + 5));
    EXPECT_EQ(opened.size(), 2) << opened.join(u',').toStdString();
    ReportServices::SetUi(nullptr);
}

// The inspector's colour sample showed black for every colour without a name.
TEST_F(UserFlows, ColourSampleShowsAColourWithoutAName)
{
    auto form = Open();
    struct Case {
        int32_t color;
        QColor shown;
    };
    const Case cases[] = {{0x00C0FFC0, QColor(0xC0, 0xFF, 0xC0)}, {0x00123456, QColor(0x56, 0x34, 0x12)},
                          {clRed, QColor(0xFF, 0, 0)}};
    for (const Case& c : cases) {
        memo->Color = c.color;
        TrpColorProperty editor(form.get());
        const RegisteredClass* cls = PropertyRegistry::Global().FindFor(memo->ScriptClass());
        ASSERT_NE(cls, nullptr);
        editor.AddEdited(memo, cls->Find(u"Color"));
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            editor.OnDrawItem(painter, QRect(0, 0, 100, 16));
        }
        bool found = false;
        for (const RecordedOperation& change : device.Operations(RecordedOperation::BrushChange))
            found = found || change.Brush.color() == c.shown;
        EXPECT_TRUE(found) << editor.GetValue().toStdString();
    }
}

// A double-click on an event's value is the one way to create its handler; the inspector ran
// the editor only for rows with a dialog, so events (and lists, which step to their next
// choice) ignored it.
TEST_F(UserFlows, DoubleClickOnAnEventCreatesItsHandlerAndAListStepsOn)
{
    auto form = Open();
    ManualClock clock;
    TrpObjectInspector inspector(form.get(), nullptr, clock);
    inspector.Inspect({memo});
    inspector.show();
    // The second press reaches the edit as a press (offscreen) or only as the double-click
    // (X11).
    const auto doubleClick = [&](const char16_t* name, QEvent::Type second) {
        const int row = inspector.FindRow(QStringView(name));
        ASSERT_GE(row, 0);
        const QPoint at(inspector.SplitterPos() + 20, row * inspector.RowHeight() + 3);
        QTest::mouseClick(inspector.Grid(), Qt::LeftButton, {}, at);
        clock.now += std::chrono::milliseconds(100);
        QMouseEvent press(second, QPointF(5, 5), inspector.Edit1()->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(inspector.Edit1(), &press);
        QTest::mouseRelease(inspector.Edit1(), Qt::LeftButton, {}, QPoint(5, 5));
        clock.now += std::chrono::seconds(1);
    };

    // The choices in the list's order: haBlock, haCenter, haLeft, haRight.
    memo->HAlign = haLeft;
    doubleClick(u"HAlign", QEvent::MouseButtonPress);
    EXPECT_EQ(memo->HAlign, haRight);
    doubleClick(u"HAlign", QEvent::MouseButtonDblClick);
    EXPECT_EQ(memo->HAlign, haBlock);

    inspector.SetTab(1);
    doubleClick(u"OnBeforePrint", QEvent::MouseButtonDblClick);
    EXPECT_EQ(memo->OnBeforePrint, QStringLiteral("Memo1OnBeforePrint"));
    EXPECT_TRUE(form->Code().join(u'\n').contains(QStringLiteral("Memo1OnBeforePrint")));
    EXPECT_EQ(form->Page(), nullptr); // the script page
}

// Showing a page gives the scroll box the focus. It passed each key to its content, a host
// that ignores keys, whose parents handed it back to the box: any key then recursed until
// the stack overflowed.
TEST_F(UserFlows, KeysOnTheScrollBoxReachTheWorkspaceOnce)
{
    auto form = Open();
    form->SelectedObjects().clear();
    form->SelectedObjects().emplace_back(memo);
    form->Workspace()->AfterSelectionChange();
    const double left = memo->Left();
    for (int key : {Qt::Key_Control, Qt::Key_Shift, Qt::Key_A, Qt::Key_F12}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(form->ScrollBox(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(form->ScrollBox(), &release);
    }
    // Ctrl+Right moves the selection by one pixel: once, not once per pass.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier);
    QApplication::sendEvent(form->ScrollBox(), &press);
    EXPECT_DOUBLE_EQ(memo->Left(), left + 1);
}

// The font dialog shows a report's "Arial" as the family standing in for it; OK without a
// change of family wrote that stand-in's name into the report.
TEST(FontDialogName, AKeptFamilyKeepsTheReportsName)
{
    struct Case {
        const char* given;
        const char* shown;
        const char* chosen;
        const char* result;
    };
    const Case cases[] = {
        {"Arial", "Sans Serif", "Sans Serif", "Arial"},               // kept: the report's name stays
        {"Arial", "Sans Serif", "DejaVu Serif", "DejaVu Serif"},      // another family chosen
        {"Liberation Sans", "Liberation Sans", "Liberation Sans", "Liberation Sans"},
        {"Arial", "Sans Serif", "sans serif", "Arial"},               // families compare without case
        {"", "Sans Serif", "Sans Serif", "Sans Serif"},               // no name given
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtUiService::ChosenFontName(QString::fromUtf8(c.given), QString::fromUtf8(c.shown),
                                              QString::fromUtf8(c.chosen))
                      .toStdString(),
                  c.result)
            << c.given << " " << c.chosen;
}

// The tool bars took their pictures by a numbering of their own: most buttons showed the
// neutral square and others the picture of another action (the top-line button the left
// line, Run a folder). Every button now shows a picture of its own.
TEST_F(UserFlows, EveryToolBarButtonShowsAPictureOfItsOwn)
{
    auto form = Open();
    const auto imageOf = [](const QToolButton* button) {
        return button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    QImage neutral;
    {
        QToolButton probe;
        probe.setIcon(QIcon(QPixmap::fromImage(MainButtonImages().at(119))));
        neutral = imageOf(&probe);
    }
    // The script page's Open and Save are the file commands' pictures.
    const QStringList sameAs = {QStringLiteral("OpenScriptB=OpenB"), QStringLiteral("SaveScriptB=SaveB")};
    std::map<QString, QImage> seen;
    for (const char* bar : {"StandardTB", "TextTB", "FrameTB", "AlignTB", "CodeTB"}) {
        auto* toolBar = form->findChild<QToolBar*>(QString::fromLatin1(bar));
        ASSERT_NE(toolBar, nullptr) << bar;
        for (QToolButton* button : toolBar->findChildren<QToolButton*>()) {
            if (button->objectName().isEmpty() || button->objectName().startsWith(u"qt_"))
                continue;
            const QImage image = imageOf(button);
            EXPECT_NE(image, neutral) << button->objectName().toStdString() << " has no picture";
            for (const auto& [name, other] : seen) {
                if (sameAs.contains(button->objectName() + u'=' + name))
                    EXPECT_EQ(image, other) << button->objectName().toStdString();
                else
                    EXPECT_NE(image, other) << button->objectName().toStdString() << " looks like " << name.toStdString();
            }
            seen[button->objectName()] = image;
        }
    }
    EXPECT_GE(seen.size(), 50u);
}

// Objects named by their class description showed the resource key itself: the line in the
// drawing menu read "obLine", the memo's button hint "obText".
TEST_F(UserFlows, ObjectButtonsAndMenusNameTheObjectsInWords)
{
    auto form = Open();
    const QRegularExpression key(QStringLiteral("^ob[A-Z]"));
    auto* bar = form->findChild<QToolBar*>(QStringLiteral("ObjectsTB1"));
    ASSERT_NE(bar, nullptr);
    auto* popup = form->findChild<QMenu*>(QStringLiteral("ObjectsPopup"));
    ASSERT_NE(popup, nullptr);
    int buttons = 0;
    int items = 0;
    for (QToolButton* button : bar->findChildren<QToolButton*>()) {
        if (!button->property("tag").isValid() || button->property("tag").toInt() == 1000)
            continue;
        ++buttons;
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->property("tag").toInt();
        EXPECT_FALSE(key.match(button->toolTip()).hasMatch()) << button->toolTip().toStdString();
        popup->clear();
        form->ObjectsButtonClick(button);
        for (QAction* action : popup->actions()) {
            ++items;
            EXPECT_FALSE(key.match(action->text()).hasMatch()) << action->text().toStdString();
        }
        popup->hide();
    }
    EXPECT_GE(buttons, 5);
    EXPECT_GE(items, 5);
    // The descriptions the report's own classes give.
    for (const char* name : {"TrpMemoView", "TrpSysMemoView", "TrpLineView", "TrpPictureView", "TrpShapeView",
                             "TrpSubreport", "TrpCheckBoxView", "TrpMasterData", "TrpReportTitle"}) {
        const std::unique_ptr<TrpComponent> object = TrpComponent::CreateByName(QString::fromLatin1(name));
        ASSERT_NE(object, nullptr) << name;
        EXPECT_FALSE(key.match(object->GetDescription()).hasMatch()) << name;
    }
}

// The font box showed nothing for a report font the system lacks (the reports' usual "Arial",
// drawn with its metric twin); it shows the font's name as it does for any other.
TEST_F(UserFlows, FontBoxShowsTheObjectsFontNameEvenWithoutThatFamily)
{
    auto form = Open();
    auto* box = qobject_cast<QComboBox*>(form->Control(QStringLiteral("FontNameCB")));
    ASSERT_NE(box, nullptr);
    ASSERT_GT(box->count(), 0);
    const QString installed = box->itemText(box->count() - 1);
    for (const QString& name : {QStringLiteral("No Such Family 42"), installed, QStringLiteral("Arial")}) {
        memo->Font().SetName(name);
        form->SelectedObjects().clear();
        form->SelectedObjects().emplace_back(memo);
        form->UpdateControls();
        EXPECT_EQ(box->currentText().toStdString(), name.toStdString());
    }
    // Picking a family from the list gives it to the object.
    box->setCurrentIndex(box->count() - 1);
    emit box->activated(box->count() - 1);
    EXPECT_EQ(memo->Font().Name().toStdString(), box->itemText(box->count() - 1).toStdString());
}

// The status bar kept the coordinates of the object last touched in the workspace when the
// selection or an object changed elsewhere: the inspector, the report tree, find, undo.
TEST_F(UserFlows, StatusBarFollowsSelectionsAndChangesMadeOutsideTheWorkspace)
{
    auto form = Open();
    const auto pair = [](double a, double b) {
        return (QString::number(a / 37.7953, 'f', 2) + QStringLiteral("; ") + QString::number(b / 37.7953, 'f', 2))
            .toStdString();
    };
    form->SelectedObjects().clear();
    form->SelectedObjects().emplace_back(band);
    form->SelectionChanged(form->ReportTree());
    EXPECT_EQ(form->Coord(1).toStdString(), pair(band->Left(), band->Top()));
    form->Inspector()->SetSelectedObjects({memo});
    form->SelectionChanged(form->Inspector());
    EXPECT_EQ(form->Coord(1).toStdString(), pair(memo->Left(), memo->Top()));
    EXPECT_EQ(form->Coord(2).toStdString(), pair(memo->Width(), memo->Height()));
    memo->SetLeft(5 * 37.7953);
    form->ObjectModified(form->Inspector());
    EXPECT_EQ(form->Coord(1).toStdString(), pair(memo->Left(), memo->Top()));
}

} // namespace
