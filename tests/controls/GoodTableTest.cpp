#include "controls/GoodTable.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr int kRow = TGoodTable::kRowHeight;

// A shown, focused table whose client area (header included) is `clientHeight` pixels high.
class GoodTableTest : public testing::Test {
protected:
    void SetUp() override
    {
        table_.resize(400, 200);
        table_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&table_));
        table_.activateWindow();
        table_.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&table_));
    }

    void SetClientHeight(int clientHeight)
    {
        const int viewportHeight = clientHeight - kRow;
        table_.resize(table_.width(), table_.height() + viewportHeight - table_.viewport()->height());
        QApplication::processEvents();
        ASSERT_EQ(table_.viewport()->height(), viewportHeight);
    }

    // Columns: 0 text, 1 check box, 2 read-only text.
    void Fill(int rows)
    {
        table_.SetColCount(3);
        table_.SetWidths(0, 80);
        table_.SetColTypes(1, ColType::CheckBox);
        table_.SetColReadOnly(2, true);
        table_.SetRowCount(rows);
        for (int row = 0; row < rows; ++row) {
            table_.SetCells(row, 0, "t" + std::to_string(row));
            table_.SetCells(row, 2, "r" + std::to_string(row));
        }
    }

    // The centre of a cell in viewport coordinates.
    QPoint CellCentre(int row, int col) const
    {
        return table_.visualRect(table_.Model()->index(row, col)).center();
    }

    void Press(QPoint point) { QTest::mousePress(table_.viewport(), Qt::LeftButton, {}, point); }
    void Release(QPoint point) { QTest::mouseRelease(table_.viewport(), Qt::LeftButton, {}, point); }
    void Click(QPoint point)
    {
        Press(point);
        Release(point);
    }
    void Wheel(QPoint point, int delta)
    {
        QWheelEvent wheel(point, table_.viewport()->mapToGlobal(point), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(table_.viewport(), &wheel);
    }
    // Keys go where the focus is: the table or its open editor.
    void Type(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    void Type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(text)); }

    TGoodTable table_;
};

TEST_F(GoodTableTest, LooksAsTheDeviceFormsExpect)
{
    EXPECT_EQ(table_.horizontalHeader()->height(), kRow);
    EXPECT_TRUE(table_.verticalHeader()->isHidden());
    Fill(2);
    EXPECT_EQ(table_.rowHeight(1), kRow);
    const QFontInfo font(table_.font());
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_TRUE(font.fixedPitch()) << font.family().toStdString();
    EXPECT_EQ(table_.Col(), 0);
    EXPECT_EQ(table_.Row(), 0);
}

TEST_F(GoodTableTest, GrowingTheColumnsKeepsWhatWasThere)
{
    table_.SetColCount(3);
    table_.SetRowCount(2);
    for (int col = 0; col < 3; ++col) {
        table_.SetWidths(col, 60 + col * 10);
        table_.SetCaptions(col, "Кол " + std::to_string(col));
        table_.SetColAlignment(col, ColAlignment::Left);
        table_.SetCells(1, col, "ячейка " + std::to_string(col));
    }
    table_.SetCellsTextColor(1, 2, 255);
    table_.SetColCount(5);
    ASSERT_EQ(table_.GetColCount(), 5);
    for (int col = 0; col < 3; ++col) {
        EXPECT_EQ(table_.GetWidths(col), 60 + col * 10);
        EXPECT_EQ(table_.GetCaptions(col), "Кол " + std::to_string(col));
        EXPECT_EQ(table_.GetCells(1, col), "ячейка " + std::to_string(col));
    }
    EXPECT_EQ(table_.GetCellsTextColor(1, 2), 255u);
    for (int col = 3; col < 5; ++col) {
        EXPECT_EQ(table_.GetWidths(col), 50);
        EXPECT_EQ(table_.GetCaptionsW(col), QString());
        EXPECT_EQ(table_.GetColAlignment(col), ColAlignment::Center);
        EXPECT_EQ(table_.GetColTypes(col), ColType::Text);
        EXPECT_FALSE(table_.GetColReadOnly(col));
        EXPECT_EQ(table_.GetCells(1, col), "");
        EXPECT_FALSE(table_.GetCellsChecked(1, col));
        EXPECT_EQ(table_.GetCellsTextColor(1, col), 0u);
        EXPECT_EQ(table_.Model()->headerData(col, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                  Qt::Alignment(Qt::AlignCenter));
    }
    table_.SetCol(4);
    table_.SetColCount(2);
    EXPECT_EQ(table_.Col(), 1);
    EXPECT_EQ(table_.GetCells(1, 1), "ячейка 1");
}

TEST_F(GoodTableTest, ItemsSetTheColumnsAndCaptions)
{
    table_.SetItems({QStringLiteral("Дата/Время"), QStringLiteral("НС")});
    EXPECT_EQ(table_.GetColCount(), 2);
    EXPECT_EQ(table_.GetCaptionsW(0), QStringLiteral("Дата/Время"));
    EXPECT_EQ(table_.Model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("НС"));
}

TEST_F(GoodTableTest, NoRowsLeavesNoCurrentRow)
{
    Fill(5);
    table_.SetRow(2);
    QSignalSpy selections(&table_, &TGoodTable::OnSelChange);
    table_.SetRowCount(0);
    EXPECT_EQ(table_.Row(), -1);
    EXPECT_EQ(selections.count(), 1);
    table_.SetRowCount(3); // a row again, but none chosen
    EXPECT_EQ(table_.Row(), -1);
}

TEST_F(GoodTableTest, ModelStaysConsistentThroughAFill)
{
    QAbstractItemModelTester tester(table_.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    Fill(10);
    table_.SetColCount(5);
    table_.SetRowCount(4);
    table_.SetCellsChecked(2, 1, true);
    table_.SetCellsTextColor(3, 0, 0x0000FF);
    table_.SetColCount(1);
    table_.SetRowCount(0);
    table_.SetColCount(0);
    EXPECT_EQ(table_.Model()->rowCount(), 0);
}

TEST_F(GoodTableTest, ModelRolesCarryTextCheckAndColour)
{
    Fill(3);
    table_.SetCellsTextColor(1, 0, 0x0000FF);
    table_.SetCellsChecked(1, 1, true);
    GoodTableModel* model = table_.Model();
    EXPECT_EQ(model->index(1, 0).data().toString(), QStringLiteral("t1"));
    EXPECT_EQ(model->index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_EQ(model->index(1, 0).data(GoodTableModel::TextColorRole).toUInt(), 0xFFu);
    EXPECT_EQ(model->index(1, 1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_FALSE(model->index(1, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(model->index(1, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(model->index(1, 0).flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(model->index(1, 1).flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(model->index(1, 2).flags() & Qt::ItemIsEditable);
}

TEST_F(GoodTableTest, BadIndexesAreIgnored)
{
    Fill(2);
    const struct {
        int row;
        int col;
    } bad[] = {{-1, 0}, {2, 0}, {0, -1}, {0, 3}, {1 << 30, 1 << 30}, {-100000, 1}};
    for (const auto& index : bad) {
        table_.SetCells(index.row, index.col, "x");
        table_.SetCellsChecked(index.row, index.col, true);
        table_.SetCellsTextColor(index.row, index.col, 255);
        EXPECT_EQ(table_.GetCells(index.row, index.col), "");
        EXPECT_FALSE(table_.GetCellsChecked(index.row, index.col));
        EXPECT_EQ(table_.GetCellsTextColor(index.row, index.col), 0u);
    }
    for (int col : {-1, 3, 1000}) {
        table_.SetCaptions(col, "x");
        table_.SetWidths(col, 99);
        table_.SetColTypes(col, ColType::CheckBox);
        table_.SetColReadOnly(col, true);
        EXPECT_EQ(table_.GetCaptions(col), "");
        EXPECT_EQ(table_.GetWidths(col), 0);
        EXPECT_FALSE(table_.GetColReadOnly(col));
    }
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(table_.GetCells(row, 0), "t" + std::to_string(row));
        EXPECT_EQ(table_.GetCells(row, 1), "");
        EXPECT_FALSE(table_.GetCellsChecked(row, 1));
        EXPECT_EQ(table_.GetCellsTextColor(row, 0), 0u);
    }
    EXPECT_EQ(table_.GetColTypes(1), ColType::CheckBox);
    EXPECT_EQ(table_.GetColTypes(0), ColType::Text);
}

struct MoveCase {
    const char* name;
    int rows;
    int from;
    int top; // scroll position before the key
    Qt::Key key;
    int to;
    int topAfter; // -1: not checked
};

void PrintTo(const MoveCase& c, std::ostream* out)
{
    *out << c.name;
}

class GoodTableKeys : public GoodTableTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(GoodTableKeys, MoveTheCurrentRow)
{
    const MoveCase& c = GetParam();
    SetClientHeight(170); // a page of 170 / 17 - 2 = 8 rows
    ASSERT_EQ(table_.PageRows(), 8);
    Fill(c.rows);
    table_.SetRow(c.from);
    table_.verticalScrollBar()->setValue(c.top);
    ASSERT_EQ(table_.verticalScrollBar()->value(), c.top);
    QTest::keyClick(&table_, c.key);
    EXPECT_EQ(table_.Row(), c.to);
    if (c.topAfter >= 0) {
        EXPECT_EQ(table_.verticalScrollBar()->value(), c.topAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GoodTableKeys,
    testing::Values(MoveCase{"PageUpFrom3", 100, 3, 0, Qt::Key_PageUp, 0, 0},
                    MoveCase{"PageUpFrom20", 100, 20, 15, Qt::Key_PageUp, 12, 12},
                    MoveCase{"PageDownFrom95", 100, 95, 91, Qt::Key_PageDown, 99, 91},
                    MoveCase{"PageDownFrom10", 100, 10, 3, Qt::Key_PageDown, 18, 10},
                    MoveCase{"DownFrom40ScrollsOneRow", 100, 40, 32, Qt::Key_Down, 41, 33},
                    MoveCase{"DownOnTheLastRow", 100, 99, 91, Qt::Key_Down, 99, 91},
                    MoveCase{"UpAboveTheView", 100, 40, 40, Qt::Key_Up, 39, 39},
                    MoveCase{"UpOnTheFirstRow", 100, 0, 0, Qt::Key_Up, 0, 0},
                    MoveCase{"Home", 100, 50, 45, Qt::Key_Home, 0, 0},
                    MoveCase{"End", 100, 5, 0, Qt::Key_End, 99, 91},
                    MoveCase{"EndWithoutRows", 0, -1, 0, Qt::Key_End, -1, -1},
                    MoveCase{"PageDownWithoutRows", 0, -1, 0, Qt::Key_PageDown, -1, -1}));

TEST_F(GoodTableTest, LeftAndRightMoveTheColumn)
{
    Fill(3);
    QSignalSpy selections(&table_, &TGoodTable::OnSelChange);
    QTest::keyClick(&table_, Qt::Key_Left);
    EXPECT_EQ(table_.Col(), 0);
    QTest::keyClick(&table_, Qt::Key_Right);
    QTest::keyClick(&table_, Qt::Key_Right);
    QTest::keyClick(&table_, Qt::Key_Right);
    EXPECT_EQ(table_.Col(), 2);
    EXPECT_EQ(selections.count(), 2);
}

TEST_F(GoodTableTest, TypingOpensTheEditorWithTheCharacterAndEscapeKeepsIt)
{
    Fill(3);
    table_.SetRow(1);
    QSignalSpy changes(&table_, &TGoodTable::OnChange);
    Type("7");
    QLineEdit* editor = table_.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("7"));
    EXPECT_EQ(editor->cursorPosition(), 1);
    EXPECT_EQ(table_.GetCells(1, 0), "7");
    Type("5");
    EXPECT_EQ(table_.GetCells(1, 0), "75");
    Type(Qt::Key_Escape);
    EXPECT_EQ(table_.Editor(), nullptr);
    EXPECT_EQ(table_.GetCells(1, 0), "75");
    EXPECT_TRUE(table_.hasFocus());
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(GoodTableTest, EnterAndF2EditTheCellAsItIs)
{
    Fill(3);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_F2}) {
        QTest::keyClick(&table_, key);
        ASSERT_NE(table_.Editor(), nullptr);
        EXPECT_EQ(table_.Editor()->text(), QStringLiteral("t0"));
        Type(Qt::Key_Return);
        EXPECT_EQ(table_.Editor(), nullptr);
    }
    EXPECT_EQ(table_.GetCells(0, 0), "t0");
}

TEST_F(GoodTableTest, DownInTheEditorClosesItAndMovesTheRow)
{
    Fill(3);
    QTest::keyClick(&table_, Qt::Key_F2);
    ASSERT_NE(table_.Editor(), nullptr);
    Type(Qt::Key_End); // the editor opens with its text selected
    Type("x");
    Type(Qt::Key_Down);
    EXPECT_EQ(table_.Editor(), nullptr);
    EXPECT_EQ(table_.Row(), 1);
    EXPECT_EQ(table_.GetCells(0, 0), "t0x");
}

TEST_F(GoodTableTest, CheckCellsToggleWithSpaceOnly)
{
    Fill(3);
    table_.SetCol(1);
    QSignalSpy changes(&table_, &TGoodTable::OnChange);
    Type("a");
    EXPECT_EQ(table_.Editor(), nullptr);
    EXPECT_FALSE(table_.GetCellsChecked(0, 1));
    EXPECT_EQ(changes.count(), 0);
    Type(Qt::Key_Space);
    EXPECT_TRUE(table_.GetCellsChecked(0, 1));
    EXPECT_EQ(changes.count(), 1);
    QTest::keyClick(&table_, Qt::Key_Return);
    EXPECT_FALSE(table_.GetCellsChecked(0, 1));
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(GoodTableTest, ReadOnlyColumnsAndTablesEditNothing)
{
    Fill(3);
    table_.SetCol(2);
    Type("7");
    QTest::keyClick(&table_, Qt::Key_F2);
    EXPECT_EQ(table_.Editor(), nullptr);
    EXPECT_EQ(table_.GetCells(0, 2), "r0");

    table_.SetReadOnly(true);
    QSignalSpy changes(&table_, &TGoodTable::OnChange);
    for (int col : {0, 1}) {
        table_.SetCol(col);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_F2, Qt::Key_Space, Qt::Key_7})
            QTest::keyClick(&table_, key);
        Click(CellCentre(0, col));
        Click(CellCentre(0, col));
        QTest::mouseDClick(table_.viewport(), Qt::LeftButton, {}, CellCentre(0, col));
        EXPECT_EQ(table_.Editor(), nullptr);
    }
    EXPECT_FALSE(table_.GetCellsChecked(0, 1));
    EXPECT_EQ(table_.GetCells(0, 0), "t0");
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(GoodTableTest, FirstClickSelectsSecondClickEdits)
{
    Fill(3);
    QSignalSpy selections(&table_, &TGoodTable::OnSelChange);
    Click(CellCentre(2, 0));
    EXPECT_EQ(table_.Row(), 2);
    EXPECT_EQ(table_.Editor(), nullptr);
    EXPECT_EQ(selections.count(), 1);
    Click(CellCentre(2, 0));
    ASSERT_NE(table_.Editor(), nullptr);
    EXPECT_EQ(table_.Editor()->text(), QStringLiteral("t2"));
    EXPECT_EQ(table_.Editor()->geometry(),
              QRect(table_.visualRect(table_.Model()->index(2, 0)).topLeft(), QSize(79, 16)));
}

TEST_F(GoodTableTest, CheckToggledOnlyInsideItsBox)
{
    Fill(3);
    const QRect cell = table_.visualRect(table_.Model()->index(1, 1));
    // The column is 50 wide: the box spans x + 18 .. x + 30, y + 1 .. y + 13.
    const QPoint box = cell.topLeft() + QPoint(18, 1);
    QSignalSpy changes(&table_, &TGoodTable::OnChange);
    Click(cell.topLeft() + QPoint(3, 8)); // in the cell, beside the box: only selects
    EXPECT_EQ(table_.Row(), 1);
    EXPECT_EQ(table_.Col(), 1);
    EXPECT_FALSE(table_.GetCellsChecked(1, 1));
    Click(box);
    EXPECT_TRUE(table_.GetCellsChecked(1, 1));
    Click(box + QPoint(12, 12));
    EXPECT_FALSE(table_.GetCellsChecked(1, 1));
    Click(box + QPoint(13, 6));
    Click(box + QPoint(-1, 6));
    EXPECT_FALSE(table_.GetCellsChecked(1, 1));
    // A click in the box of another row selects it and toggles at once.
    Click(table_.visualRect(table_.Model()->index(2, 1)).topLeft() + QPoint(20, 5));
    EXPECT_EQ(table_.Row(), 2);
    EXPECT_TRUE(table_.GetCellsChecked(2, 1));
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(GoodTableTest, DraggingAwayFromAnOpenEditorKeepsTypingOutOfTheOldCell)
{
    Fill(5);
    table_.SetRow(1);
    const QPoint a = CellCentre(1, 0);
    const QPoint b = CellCentre(3, 0);
    Press(a); // on the current cell: the editor opens over it
    ASSERT_NE(table_.Editor(), nullptr);
    QTest::mouseMove(table_.viewport(), b);
    Release(b);
    EXPECT_EQ(table_.Row(), 3);
    EXPECT_EQ(table_.Editor(), nullptr);
    Type("7");
    EXPECT_EQ(table_.GetCells(1, 0), "t1");
    EXPECT_EQ(table_.GetCells(3, 0), "7");
}

TEST_F(GoodTableTest, WheelMovesOneRowPerNotch)
{
    SetClientHeight(170);
    Fill(50);
    table_.SetRow(5);
    Wheel(CellCentre(0, 0), -360); // three notches in one event: still one row
    EXPECT_EQ(table_.Row(), 6);
    EXPECT_EQ(table_.verticalScrollBar()->value(), 1);
    Wheel(CellCentre(1, 0), 120);
    EXPECT_EQ(table_.Row(), 5);
    EXPECT_EQ(table_.verticalScrollBar()->value(), 0);
}

TEST_F(GoodTableTest, ScrollingHidesTheEditor)
{
    SetClientHeight(170);
    Fill(50);
    QTest::keyClick(&table_, Qt::Key_F2);
    ASSERT_NE(table_.Editor(), nullptr);
    table_.verticalScrollBar()->setValue(3);
    EXPECT_EQ(table_.Editor(), nullptr);
    EXPECT_TRUE(table_.hasFocus());
}

// With the last column filling, the rows reach the right edge whatever the table's width; the
// last column is never narrower than its own width, and goes back to it when filling stops.
TEST_F(GoodTableTest, TheLastColumnFillsTheWidthLeftWhenAsked)
{
    table_.SetColCount(3);
    table_.SetRowCount(40); // a vertical scroll bar takes its part of the width
    for (int col = 0; col < 3; ++col)
        table_.SetWidths(col, 60 + col * 10);
    table_.SetLastColumnFills(true);
    QApplication::processEvents();
    const auto rowsReachTheEdge = [this] {
        return table_.GetWidths(0) + table_.GetWidths(1) + table_.GetWidths(2) == table_.viewport()->width();
    };
    EXPECT_TRUE(rowsReachTheEdge()) << table_.GetWidths(2) << " " << table_.viewport()->width();
    EXPECT_EQ(table_.GetWidths(0), 60);
    EXPECT_EQ(table_.GetWidths(1), 70);

    table_.resize(600, table_.height());
    QApplication::processEvents();
    EXPECT_TRUE(rowsReachTheEdge());
    table_.SetRowCount(1); // the vertical scroll bar goes
    QApplication::processEvents();
    EXPECT_TRUE(rowsReachTheEdge());

    table_.SetWidths(2, 100);
    EXPECT_TRUE(rowsReachTheEdge());
    table_.resize(150, table_.height());
    QApplication::processEvents();
    EXPECT_EQ(table_.GetWidths(2), 100) << "never narrower than its own width";
    EXPECT_TRUE(table_.horizontalScrollBar()->isVisible());

    table_.resize(600, table_.height());
    table_.SetLastColumnFills(false);
    QApplication::processEvents();
    EXPECT_EQ(table_.GetWidths(2), 100);
}

} // namespace
