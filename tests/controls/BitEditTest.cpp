#include "controls/BitEditComboBox.h"
#include "controls/BitEditListBox.h"

#include <QApplication>
#include <QFrame>
#include <QKeySequence>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <ostream>

namespace {

QStringList Names(int count)
{
    QStringList names;
    for (int bit = 0; bit < count; ++bit)
        names.push_back(QStringLiteral("Бит %1").arg(bit));
    return names;
}

QString AllSymbols(const TCustomBitEdit& edit)
{
    QString symbols;
    for (int bit = 0; bit < edit.ItemCount(); ++bit)
        symbols += edit.BitSymbol(bit);
    return symbols;
}

// The centre of the box drawn at one position of a one-row combo box, computed from the cell
// size alone (the boxes start 2 pixels in, one cell apart).
QPoint BoxCentre(const TCustomBitEdit& edit, int position)
{
    const int size = edit.CellSize();
    return {2 + position * size + size / 2, 2 + size / 2};
}

TEST(BitEdit, DefaultsNameEightBits)
{
    TBitEditComboBox combo;
    EXPECT_EQ(combo.Items(), QStringList({"Bit 0", "Bit 1", "Bit 2", "Bit 3", "Bit 4", "Bit 5", "Bit 6", "Bit 7"}));
    EXPECT_EQ(combo.FirstBitSym(), '0');
    EXPECT_EQ(combo.ButtonWidth(), 18);
    EXPECT_EQ(combo.ColumnCount(), 0);
    EXPECT_EQ(combo.SelectedItem(), 0);
    EXPECT_EQ(combo.BitFlags(), 0u);
}

struct SymbolCase {
    char first;
    int count;
    const char* symbols;
};

void PrintTo(const SymbolCase& c, std::ostream* out)
{
    *out << "first '" << c.first << "', " << c.count << " bits";
}

class BitEditSymbols : public testing::TestWithParam<SymbolCase> {};

TEST_P(BitEditSymbols, RunOnFromTheFirstSymbol)
{
    const SymbolCase& c = GetParam();
    TBitEditComboBox combo;
    combo.SetFirstBitSym(c.first);
    combo.SetItems(Names(c.count));
    EXPECT_EQ(AllSymbols(combo), QString::fromLatin1(c.symbols));
}

INSTANTIATE_TEST_SUITE_P(Cases, BitEditSymbols,
                         testing::Values(SymbolCase{'1', 16, "123456789ABCDEFG"},
                                         SymbolCase{'0', 36, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
                                         SymbolCase{'9', 3, "9AB"}, SymbolCase{'A', 4, "ABCD"}));

TEST(BitEdit, CellSizeFollowsTheFontAndTheBorder)
{
    TBitEditComboBox combo;
    const QFontMetrics metrics(combo.font());
    const int run = metrics.horizontalAdvance(QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    EXPECT_EQ(combo.CellSize(), std::max(run / 36, metrics.height()) + 2);
    combo.SetBitBorder(2);
    EXPECT_EQ(combo.CellSize(), std::max(run / 36, metrics.height()) + 6);
    EXPECT_EQ(combo.GetBitRect(0).width(), combo.CellSize() - 4);
}

TEST(BitEdit, UnnamedBitsStayStoredButAreNotRead)
{
    TBitEditComboBox combo; // 8 items
    combo.SetBitFlags(0x1FF);
    EXPECT_EQ(combo.BitFlags(), 0xFFu);
    EXPECT_EQ(combo.StoredBitFlags(), 0x1FFu);

    combo.SetItems(Names(32));
    EXPECT_EQ(combo.BitFlags(), 0x1FFu);
    combo.SetBitFlags(0xFFFFFFFF);
    EXPECT_EQ(combo.BitFlags(), 0xFFFFFFFFu);
    combo.SetItems({});
    EXPECT_EQ(combo.BitFlags(), 0u);
    EXPECT_EQ(combo.StoredBitFlags(), 0xFFFFFFFFu);
}

TEST(BitEdit, ChangeIsRaisedOncePerNewValueAlsoFromCode)
{
    TBitEditComboBox combo;
    QSignalSpy changes(&combo, &TCustomBitEdit::OnChange);
    combo.SetBitFlags(0x05);
    combo.SetBitFlags(0x05);
    EXPECT_EQ(changes.count(), 1);
    // Unnamed bits count as a change too: the stored value differs.
    combo.SetBitFlags(0x105);
    EXPECT_EQ(changes.count(), 2);
    combo.ChangeBitFlag(1);
    EXPECT_EQ(combo.BitFlags(), 0x07u);
    EXPECT_EQ(changes.count(), 3);
    combo.ChangeBitFlag(8); // no such bit
    combo.ChangeBitFlag(-1);
    EXPECT_EQ(changes.count(), 3);
}

TEST(BitEdit, RenamingKeepsTheValueAndRaisesNothing)
{
    TBitEditComboBox combo;
    combo.SetItems(Names(16));
    combo.SetBitFlags(0xFFE3);
    QSignalSpy changes(&combo, &TCustomBitEdit::OnChange);
    combo.SetItems(Names(5));
    EXPECT_EQ(combo.StoredBitFlags(), 0xFFE3u);
    EXPECT_EQ(combo.BitFlags(), 0x03u);
    combo.SetItems({});
    combo.SetItems(Names(16));
    EXPECT_EQ(combo.BitFlags(), 0xFFE3u);
    EXPECT_EQ(changes.count(), 0);
}

TEST(BitEdit, ClickTogglesTheBitUnderThePointer)
{
    TBitEditComboBox combo;
    combo.resize(combo.sizeHint());
    QSignalSpy changes(&combo, &TCustomBitEdit::OnChange);
    QTest::mouseClick(&combo, Qt::LeftButton, {}, BoxCentre(combo, 2));
    EXPECT_EQ(combo.BitFlags(), 0x04u);
    EXPECT_EQ(combo.SelectedItem(), 2);
    QTest::mouseClick(&combo, Qt::LeftButton, {}, BoxCentre(combo, 2));
    EXPECT_EQ(combo.BitFlags(), 0u);
    EXPECT_EQ(changes.count(), 2);
    // Between the boxes and the button nothing changes.
    QTest::mouseClick(&combo, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(combo.SelectedItem(), 2);
}

TEST(BitEdit, InvertedPutsBitZeroLast)
{
    TBitEditComboBox combo; // 8 items
    combo.SetInverted(true);
    combo.resize(combo.sizeHint());
    EXPECT_EQ(combo.GetBitRect(0), QRect(BoxCentre(combo, 7) - QPoint(combo.CellSize() / 2, combo.CellSize() / 2),
                                        QSize(combo.CellSize(), combo.CellSize())));
    QTest::mouseClick(&combo, Qt::LeftButton, {}, BoxCentre(combo, 0));
    EXPECT_EQ(combo.BitFlags(), 0x80u);
    EXPECT_EQ(combo.SelectedItem(), 7);
}

struct KeyCase {
    int columns;
    int items;
    int from;
    Qt::Key key;
    int to;
};

void PrintTo(const KeyCase& c, std::ostream* out)
{
    *out << c.columns << " columns, " << c.items << " items, " << QKeySequence(c.key).toString().toStdString()
         << " from " << c.from;
}

class BitEditRows : public testing::TestWithParam<KeyCase> {};

TEST_P(BitEditRows, ArrowsMoveTheCursor)
{
    const KeyCase& c = GetParam();
    TBitEditComboBox combo;
    combo.SetItems(Names(c.items));
    combo.SetColumnCount(c.columns);
    combo.SetSelectedItem(c.from);
    QSignalSpy changes(&combo, &TCustomBitEdit::OnChange);
    QTest::keyClick(&combo, c.key);
    EXPECT_EQ(combo.SelectedItem(), c.to);
    EXPECT_EQ(changes.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, BitEditRows,
                         testing::Values(KeyCase{4, 10, 5, Qt::Key_Down, 9}, KeyCase{4, 10, 9, Qt::Key_Down, 9},
                                         KeyCase{4, 10, 1, Qt::Key_Up, 0}, KeyCase{4, 10, 6, Qt::Key_Down, 9},
                                         KeyCase{4, 10, 6, Qt::Key_Up, 2}, KeyCase{4, 10, 0, Qt::Key_Up, 0},
                                         KeyCase{4, 10, 5, Qt::Key_Left, 4}, KeyCase{4, 10, 9, Qt::Key_Right, 9},
                                         KeyCase{0, 10, 5, Qt::Key_Down, 9}, KeyCase{0, 10, 5, Qt::Key_Up, 0},
                                         KeyCase{0, 10, 0, Qt::Key_Left, 0}, KeyCase{0, 10, 3, Qt::Key_Right, 4}));

TEST(BitEdit, SpaceTogglesTheBitUnderTheCursor)
{
    TBitEditComboBox combo;
    combo.SetSelectedItem(3);
    QSignalSpy changes(&combo, &TCustomBitEdit::OnChange);
    QTest::keyClick(&combo, Qt::Key_Space);
    EXPECT_EQ(combo.BitFlags(), 0x08u);
    combo.SetSelectedItem(8); // beyond the items: nothing to toggle
    QTest::keyClick(&combo, Qt::Key_Space);
    EXPECT_EQ(combo.BitFlags(), 0x08u);
    EXPECT_EQ(changes.count(), 1);
}

TEST(BitEdit, ReadOnlyMovesTheCursorButNeverTheValue)
{
    TBitEditComboBox combo;
    combo.SetReadOnly(true);
    combo.SetBitFlags(0x21);
    combo.resize(combo.sizeHint());
    QSignalSpy changes(&combo, &TCustomBitEdit::OnChange);
    QTest::mouseClick(&combo, Qt::LeftButton, {}, BoxCentre(combo, 5));
    EXPECT_EQ(combo.SelectedItem(), 5);
    QTest::keyClick(&combo, Qt::Key_Space);
    QTest::keyClick(&combo, Qt::Key_Right);
    EXPECT_EQ(combo.SelectedItem(), 6);
    QTest::keyClick(&combo, Qt::Key_Space);
    QTest::keyClick(&combo, Qt::Key_Left);
    QTest::keyClick(&combo, Qt::Key_Left);
    EXPECT_EQ(combo.SelectedItem(), 4);
    EXPECT_EQ(combo.BitFlags(), 0x21u);
    EXPECT_EQ(changes.count(), 0);
}

TEST(BitEdit, ListBoxNamesSelectAndBoxesToggle)
{
    TBitEditListBox list;
    list.SetItems(Names(4));
    list.resize(200, 4 * list.CellSize() + 4);
    QSignalSpy changes(&list, &TCustomBitEdit::OnChange);
    const QRect title = list.GetTitleRect(2);
    QTest::mouseClick(&list, Qt::LeftButton, {}, title.center());
    EXPECT_EQ(list.SelectedItem(), 2);
    EXPECT_EQ(changes.count(), 0);
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.GetBitRect(3).center());
    EXPECT_EQ(list.BitFlags(), 0x08u);
    EXPECT_EQ(list.SelectedItem(), 3);
    EXPECT_EQ(title.left(), list.CellSize() + 2);
    EXPECT_EQ(list.GetBitRect(1).top(), list.CellSize() + 2);
}

struct PlacementCase {
    const char* name;
    QRect combo;
    QSize list;
    QRect available;
    QPoint expected;
};

void PrintTo(const PlacementCase& c, std::ostream* out)
{
    *out << c.name;
}

class BitEditDropDownPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(BitEditDropDownPlacement, BelowUnlessItWouldPassTheBottom)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(DropDownPosition(c.combo, c.list, c.available), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BitEditDropDownPlacement,
    testing::Values(PlacementCase{"room below", QRect(100, 100, 150, 22), QSize(200, 300), QRect(0, 0, 1280, 1024), QPoint(100, 122)},
                    PlacementCase{"ends exactly at the bottom", QRect(100, 702, 150, 22), QSize(200, 300),
                                  QRect(0, 0, 1280, 1024), QPoint(100, 724)},
                    PlacementCase{"one pixel too low: above", QRect(100, 703, 150, 22), QSize(200, 300),
                                  QRect(0, 0, 1280, 1024), QPoint(100, 403)},
                    PlacementCase{"above a task bar", QRect(40, 900, 150, 22), QSize(160, 100), QRect(0, 0, 1280, 984),
                                  QPoint(40, 800)},
                    PlacementCase{"second screen", QRect(1400, 50, 150, 22), QSize(160, 100), QRect(1280, 0, 1280, 1024),
                                  QPoint(1400, 72)}));

// A combo box in a window beside a line edit; clicks go through the window system so that the
// pop-up sees them as a user's clicks would reach it.
class BitEditDropDown : public testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window_);
        combo_ = new TBitEditComboBox(&window_);
        combo_->SetItems(Names(5));
        combo_->SetFirstBitSym('1');
        other_ = new QLineEdit(&window_);
        // The list opens below the combo box, so the line edit stands above it.
        layout->addWidget(other_);
        layout->addWidget(combo_);
        layout->addStretch();
        window_.resize(300, 400);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    void ClickAt(QWidget* widget, QPoint point)
    {
        QWindow* handle = window_.windowHandle();
        const QPoint inWindow = handle->mapFromGlobal(widget->mapToGlobal(point));
        QTest::mouseClick(handle, Qt::LeftButton, {}, inWindow);
        QApplication::processEvents();
    }

    void ClickButton() { ClickAt(combo_, combo_->GetButtonRect().center()); }

    QWidget window_;
    TBitEditComboBox* combo_ = nullptr;
    QLineEdit* other_ = nullptr;
};

TEST_F(BitEditDropDown, ButtonOpensTheListBelowWithTheComboState)
{
    combo_->SetBitFlags(0x15);
    combo_->SetSelectedItem(-3);
    ClickButton();
    ASSERT_TRUE(combo_->IsDroppedDown());
    TBitEditListBox* list = combo_->DropDownList();
    EXPECT_EQ(list->Items(), combo_->Items());
    EXPECT_EQ(list->BitFlags(), 0x15u);
    EXPECT_EQ(list->FirstBitSym(), '1');
    EXPECT_TRUE(list->SingleBorder());
    EXPECT_EQ(list->SelectedItem(), 0);
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(combo_->DropDownWindow()->height(), 5 * combo_->CellSize() + 4);
    EXPECT_EQ(combo_->DropDownWindow()->geometry().topLeft(), combo_->mapToGlobal(QPoint(0, combo_->height())));
}

TEST_F(BitEditDropDown, ButtonWhileOpenClosesAndDoesNotReopen)
{
    ClickButton();
    ASSERT_TRUE(combo_->IsDroppedDown());
    QSignalSpy changes(combo_, &TCustomBitEdit::OnChange);
    ClickButton();
    EXPECT_FALSE(combo_->IsDroppedDown());
    // The closing press is not given back to the combo box, whose button would reopen the list.
    EXPECT_TRUE(combo_->DropDownWindow()->testAttribute(Qt::WA_NoMouseReplay));
    // Nor was the closing click taken as a click on a box.
    ClickAt(combo_, combo_->GetBitRect(0).center());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(combo_->IsDroppedDown());
    ClickButton();
    EXPECT_TRUE(combo_->IsDroppedDown());
}

TEST_F(BitEditDropDown, ClosedElsewhereTheNextClickOpens)
{
    ClickButton();
    ASSERT_TRUE(combo_->IsDroppedDown());
    ClickAt(other_, other_->rect().center());
    EXPECT_FALSE(combo_->IsDroppedDown());
    // The closing click is left to be passed on to the control under it (Qt does so where
    // the window system grabbed the mouse for the pop-up).
    EXPECT_FALSE(combo_->DropDownWindow()->testAttribute(Qt::WA_NoMouseReplay));
    ClickButton();
    EXPECT_TRUE(combo_->IsDroppedDown());
}

TEST_F(BitEditDropDown, EscapeCloses)
{
    ClickButton();
    ASSERT_TRUE(combo_->IsDroppedDown());
    QTest::keyClick(combo_->DropDownList(), Qt::Key_Escape);
    EXPECT_FALSE(combo_->IsDroppedDown());
}

TEST_F(BitEditDropDown, ListChangesOnlyTheNamedBits)
{
    combo_->SetBitFlags(0xFFE3); // 5 named bits; the rest came from the instrument
    ClickButton();
    ASSERT_TRUE(combo_->IsDroppedDown());
    QSignalSpy changes(combo_, &TCustomBitEdit::OnChange);
    TBitEditListBox* list = combo_->DropDownList();
    QTest::mouseClick(list, Qt::LeftButton, {}, list->GetBitRect(0).center());
    EXPECT_EQ(combo_->StoredBitFlags(), 0xFFE2u);
    EXPECT_EQ(combo_->BitFlags(), 0x02u);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(BitEditDropDown, OpenListFollowsTheComboWithoutEchoing)
{
    ClickButton();
    ASSERT_TRUE(combo_->IsDroppedDown());
    QSignalSpy changes(combo_, &TCustomBitEdit::OnChange);
    combo_->SetBitFlags(0x1F0A);
    EXPECT_EQ(combo_->DropDownList()->StoredBitFlags(), 0x1F0Au);
    EXPECT_EQ(combo_->StoredBitFlags(), 0x1F0Au);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(BitEditDropDown, OpensAboveWhenTheScreenEndsBelow)
{
    QWidget low;
    auto* combo = new TBitEditComboBox(&low);
    combo->SetItems(Names(20));
    low.resize(200, 40);
    const QRect screen = low.screen()->availableGeometry();
    low.move(screen.left() + 10, screen.bottom() - 60);
    low.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&low));
    combo->resize(combo->sizeHint());
    combo->DoDropDown();
    ASSERT_TRUE(combo->IsDroppedDown());
    EXPECT_EQ(combo->DropDownWindow()->geometry().bottom() + 1, combo->mapToGlobal(QPoint(0, 0)).y());
    combo->DropDownWindow()->hide();
}

} // namespace
