#include "ReportFakes.h"
#include "SaveScreenshot.h"
#include "StandInDesigner.h"

#include "platform/Exceptions.h"
#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpInsp.h"
#include "report/designer/rpReportTree.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpGraphicUtils.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A steady clock the test moves itself.
class ManualClock : public platform::Clock {
public:
    std::chrono::system_clock::time_point UtcNow() const override { return {}; }
    std::chrono::steady_clock::time_point SteadyNow() const override { return now; }
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
};

class Inspector : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DesignerRuntime::init();
        DesignerRuntime::SetFormats(FormatSettings::C());
    }

    void SetUp() override
    {
        report_ = std::make_unique<TrpReport>();
        ASSERT_TRUE(report_->LoadFromFile(QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3")));
        designer_ = std::make_unique<StandInDesigner>(report_.get());
        memo1_ = report_->FindObject(u"AlignMemo1");
        memo2_ = report_->FindObject(u"AlignMemo2");
        ASSERT_NE(memo2_, nullptr);
        inspector_ = std::make_unique<TrpObjectInspector>(designer_.get(), nullptr, clock_);
        inspector_->OnModify = [this] { ++modified_; };
        TrpPopupForm::ResetLastCloseTime();
    }

    void TearDown() override { inspector_.reset(); }

    void Select(std::vector<ScriptObject*> objects)
    {
        inspector_->Inspect(objects);
        inspector_->show();
        QApplication::processEvents();
    }

    void SelectRow(const char16_t* name)
    {
        const int row = inspector_->FindRow(QStringView(name));
        ASSERT_GE(row, 0) << QString::fromUtf16(name).toStdString();
        inspector_->SetItemIndex(row);
    }

    void Type(const QString& text)
    {
        QLineEdit* edit = inspector_->Edit1();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QPoint RowPoint(int row, int x) const { return QPoint(x, row * inspector_->RowHeight() + 3); }

    ManualClock clock_;
    reporttest::RecordingReportUi ui_;
    std::unique_ptr<TrpReport> report_;
    std::unique_ptr<StandInDesigner> designer_;
    std::unique_ptr<TrpObjectInspector> inspector_;
    TrpComponent* memo1_ = nullptr;
    TrpComponent* memo2_ = nullptr;
    int modified_ = 0;
};

TEST_F(Inspector, OwnerMustBeADesigner)
{
    try {
        TrpObjectInspector inspector(nullptr);
        ADD_FAILURE() << "created without a designer";
    } catch (const platform::Exception& error) {
        EXPECT_STREQ(error.what(), "The Owner of the object inspector should be TrpCustomDesigner");
    }
}

TEST_F(Inspector, EmptySelectionShowsNothing)
{
    Select({});
    EXPECT_EQ(inspector_->VisibleRowCount(), 0);
    EXPECT_EQ(inspector_->ItemIndex(), -1);
    EXPECT_FALSE(inspector_->Edit1()->isVisible());
    EXPECT_TRUE(inspector_->PropL()->text().isEmpty());
}

TEST_F(Inspector, TypedCommaFloatIsStored)
{
    Select({memo2_});
    SelectRow(u"GapX");
    Type(QStringLiteral("12,5"));
    EXPECT_EQ(memo2_->ScriptClass().Name, QStringLiteral("TrpMemoView"));
    EXPECT_EQ(inspector_->RowValue(inspector_->FindRow(u"GapX")), QStringLiteral("12.5"));
    EXPECT_EQ(modified_, 1);
    EXPECT_TRUE(ui_.Messages.isEmpty());
    EXPECT_EQ(inspector_->PropL()->text(), QStringLiteral("GapX"));
}

TEST_F(Inspector, InvalidTextShowsTheErrorAndKeepsTheValue)
{
    Select({memo2_});
    SelectRow(u"GapX");
    const QString before = inspector_->Edit1()->text();
    Type(QStringLiteral("abc"));
    ASSERT_EQ(ui_.Messages.size(), 1);
    EXPECT_TRUE(ui_.Messages.front().contains(QStringLiteral("abc")));
    EXPECT_EQ(inspector_->Edit1()->text(), before);
    EXPECT_EQ(modified_, 0);
}

TEST_F(Inspector, OneClickTogglesABoolean)
{
    Select({memo2_});
    const int row = inspector_->FindRow(u"Visible");
    ASSERT_GE(row, 0);
    const QString before = inspector_->RowValue(row);
    QTest::mouseClick(inspector_->Grid(), Qt::LeftButton, {}, RowPoint(row, inspector_->SplitterPos() + 5));
    EXPECT_NE(inspector_->RowValue(row), before);
    EXPECT_EQ(modified_, 1);
}

TEST_F(Inspector, DropDownPickCommitsAndAQuickSecondClickOnlyRefocuses)
{
    Select({memo2_});
    SelectRow(u"HAlign");
    ASSERT_TRUE(inspector_->ComboBtn()->isVisible());
    QTest::mouseClick(inspector_->ComboBtn(), Qt::LeftButton);
    ASSERT_NE(inspector_->PopupList(), nullptr);
    QListWidget* list = inspector_->PopupList();
    SaveScreenshot(*inspector_->PopupForm(), QStringLiteral("inspector-dropdown"));
    const QList<QListWidgetItem*> found = list->findItems(QStringLiteral("haRight"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    emit list->itemClicked(found.front());
    EXPECT_EQ(inspector_->RowValue(inspector_->FindRow(u"HAlign")), QStringLiteral("haRight"));
    EXPECT_EQ(modified_, 1);

    // The list closed (its close time stamped); a press within 100 ms does not reopen it.
    QApplication::processEvents();
    QTest::mouseClick(inspector_->ComboBtn(), Qt::LeftButton);
    ASSERT_NE(inspector_->PopupForm(), nullptr);
    inspector_->PopupForm()->hide();
    clock_.now += std::chrono::milliseconds(50);
    QTest::mousePress(inspector_->ComboBtn(), Qt::LeftButton);
    QTest::mouseRelease(inspector_->ComboBtn(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(inspector_->PopupForm() == nullptr || !inspector_->PopupForm()->isVisible());
    clock_.now += std::chrono::milliseconds(500);
    QTest::mouseClick(inspector_->ComboBtn(), Qt::LeftButton);
    ASSERT_NE(inspector_->PopupForm(), nullptr);
    EXPECT_TRUE(inspector_->PopupForm()->isVisible());
    inspector_->PopupForm()->hide();
}

TEST_F(Inspector, RememberedRowAcrossClasses)
{
    Select({memo2_});
    SelectRow(u"GapX");
    Select({report_.get()});
    EXPECT_EQ(inspector_->ItemIndex(), 0);
    EXPECT_EQ(inspector_->LastPosition(), QStringLiteral("GapX"));
    Select({memo2_});
    EXPECT_EQ(inspector_->RowName(inspector_->ItemIndex()), QStringLiteral("GapX"));
}

TEST_F(Inspector, NameChangeUpdatesTheCombo)
{
    Select({memo2_});
    EXPECT_EQ(inspector_->ObjectsCB()->currentText(), QStringLiteral("AlignMemo2: TrpMemoView"));
    SelectRow(u"Name");
    Type(QStringLiteral("Renamed"));
    EXPECT_EQ(memo2_->Name(), QStringLiteral("Renamed"));
    EXPECT_EQ(inspector_->ObjectsCB()->currentText(), QStringLiteral("Renamed: TrpMemoView"));
}

TEST_F(Inspector, TwoObjectsShowNoComboEntryAndNoName)
{
    Select({memo1_, memo2_});
    EXPECT_EQ(inspector_->ObjectsCB()->currentIndex(), -1);
    EXPECT_EQ(inspector_->FindRow(u"Name"), -1);
    SaveScreenshot(*inspector_, QStringLiteral("inspector-two-memos"));
}

TEST_F(Inspector, EventsTabAndThePreviewDesigner)
{
    Select({memo2_});
    inspector_->SetTab(1);
    EXPECT_EQ(inspector_->Tab(), 1);
    for (int row = 0; row < inspector_->VisibleRowCount(); ++row)
        EXPECT_TRUE(inspector_->RowItem(row)->Editor()->PropInfo()->TypeName.endsWith(QStringLiteral("Event")));
    SaveScreenshot(*inspector_, QStringLiteral("inspector-events"));
    StandInDesigner preview(report_.get(), true);
    TrpObjectInspector refusing(&preview, nullptr, clock_);
    refusing.Inspect({memo2_});
    refusing.SetTab(1);
    EXPECT_EQ(refusing.Tab(), 0);
    EXPECT_GE(refusing.FindRow(u"GapX"), 0);
}

TEST_F(Inspector, SplitterStopsThirtyPixelsFromTheSides)
{
    Select({memo2_});
    QWidget* grid = inspector_->Grid();
    const int start = inspector_->SplitterPos();
    QTest::mousePress(grid, Qt::LeftButton, {}, RowPoint(0, start - 1));
    QMouseEvent far(QEvent::MouseMove, QPointF(10, 3), grid->mapToGlobal(QPointF(10, 3)), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &far);
    EXPECT_EQ(inspector_->SplitterPos(), start);
    QMouseEvent near(QEvent::MouseMove, QPointF(31, 3), grid->mapToGlobal(QPointF(31, 3)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &near);
    EXPECT_EQ(inspector_->SplitterPos(), 31);
    const int right = grid->width() - 30;
    QMouseEvent edge(QEvent::MouseMove, QPointF(right, 3), grid->mapToGlobal(QPointF(right, 3)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &edge);
    EXPECT_EQ(inspector_->SplitterPos(), 31);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, QPoint(31, 3));
}

TEST_F(Inspector, HintShowsCutOffValuesOfUnselectedRowsOnly)
{
    Select({memo2_});
    SelectRow(u"Name");
    const int frame = inspector_->FindRow(u"Font");
    ASSERT_GE(frame, 0);
    inspector_->SetSplitterPos(inspector_->Grid()->width() - 35);
    QWidget* grid = inspector_->Grid();
    const QPoint over = RowPoint(frame, inspector_->SplitterPos() + 5);
    QMouseEvent move(QEvent::MouseMove, over, grid->mapToGlobal(QPointF(over)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(grid, &move);
    EXPECT_TRUE(inspector_->HintWindow()->isVisible());
    const int selected = inspector_->ItemIndex();
    const QPoint onSelected = RowPoint(selected, inspector_->SplitterPos() + 5);
    QMouseEvent move2(QEvent::MouseMove, onSelected, grid->mapToGlobal(QPointF(onSelected)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &move2);
    EXPECT_FALSE(inspector_->HintWindow()->isVisible());
}

TEST_F(Inspector, ScreenshotOfOneMemo)
{
    Select({memo2_});
    SelectRow(u"Font");
    QTest::mouseClick(inspector_->Grid(), Qt::LeftButton, {}, RowPoint(inspector_->ItemIndex(), 4));
    EXPECT_TRUE(inspector_->RowItem(inspector_->FindRow(u"Font"))->Expanded());
    EXPECT_EQ(inspector_->RowLevel(inspector_->FindRow(u"Font") + 1), 1);
    SaveScreenshot(*inspector_, QStringLiteral("inspector-one-memo"));
}

// ---------------------------------------------------------------------------------------------

class ReportTree : public Inspector {
};

TEST_F(ReportTree, NodesFollowTheObjectTree)
{
    TrpReportTreeForm tree(designer_.get());
    tree.UpdateItems();
    ASSERT_FALSE(tree.Nodes().empty());
    EXPECT_EQ(tree.Nodes().front()->text(0), QStringLiteral("Report"));
    EXPECT_EQ(tree.Nodes().front()->data(0, Qt::UserRole).toInt(), 34);
    EXPECT_EQ(tree.Components().size(), report_->AllObjects().size() + 1);
    for (size_t i = 1; i < tree.Nodes().size(); ++i) {
        EXPECT_EQ(tree.Nodes()[i]->text(0), tree.Components()[i]->Name());
        if (tree.Components()[i]->IsBand()) {
            EXPECT_EQ(tree.Nodes()[i]->data(0, Qt::UserRole).toInt(), 40);
        }
    }
    tree.show();
    SaveScreenshot(tree, QStringLiteral("report-tree"));
}

TEST_F(ReportTree, SelectionBothWaysAndDeleteReachesTheWorkspace)
{
    TrpReportTreeForm tree(designer_.get());
    int changes = 0;
    tree.OnSelectionChanged = [&](TrpReportTreeForm*) { ++changes; };
    int deletes = 0;
    tree.OnWorkspaceKey = [&](QKeyEvent* key) { deletes += key->key() == Qt::Key_Delete; };
    designer_->SelectedObjects().emplace_back(memo2_);
    tree.UpdateItems(); // selects the designer's object without changing the selection
    EXPECT_EQ(changes, 0);
    ASSERT_NE(tree.Tree()->currentItem(), nullptr);
    EXPECT_EQ(tree.Tree()->currentItem()->text(0), QStringLiteral("AlignMemo2"));
    tree.Tree()->setCurrentItem(tree.Nodes()[1]);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(designer_->SelectedObjects().size(), 1u);
    EXPECT_EQ(designer_->SelectedObjects().front().data(), tree.Components()[1]);
    QTest::keyClick(tree.Tree(), Qt::Key_Delete);
    EXPECT_EQ(deletes, 1);
}

TEST_F(ReportTree, InternalDatasetsHidden)
{
    TrpReportTreeForm tree(designer_.get());
    tree.SetDontEditInternalDatasets(true);
    tree.UpdateItems();
    for (TrpComponent* object : tree.Components())
        EXPECT_NE(object->ClassName(), QStringLiteral("TrpDataPage"));
}

} // namespace
