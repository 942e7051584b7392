#include "BitEditComboBox.h"

#include "BitEditListBox.h"

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The pop-up window that holds the list. A press outside it closes it; when that press lies
// on the combo box it is not replayed there, or the combo's button would open the list again.
class BitEditDropDown : public QFrame {
public:
    explicit BitEditDropDown(TBitEditComboBox* combo) : QFrame(combo, Qt::Popup), combo_(combo) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint global = event->globalPosition().toPoint();
        if (QRect(combo_->mapToGlobal(QPoint(0, 0)), combo_->size()).contains(global))
            setAttribute(Qt::WA_NoMouseReplay);
        QFrame::mousePressEvent(event);
    }

private:
    TBitEditComboBox* combo_;
};

} // namespace

QPoint DropDownPosition(const QRect& comboOnScreen, const QSize& listSize, const QRect& available)
{
    QPoint position(comboOnScreen.left(), comboOnScreen.top() + comboOnScreen.height());
    if (position.y() + listSize.height() > available.top() + available.height())
        position.setY(comboOnScreen.top() - listSize.height());
    return position;
}

TBitEditComboBox::TBitEditComboBox(QWidget* parent) : TCustomBitEdit(parent) {}

TBitEditComboBox::~TBitEditComboBox() = default;

void TBitEditComboBox::SetColumnCount(int32_t count)
{
    AssignAndRepaint(columnCount_, count);
}

void TBitEditComboBox::SetButtonWidth(int32_t width)
{
    AssignAndRepaint(buttonWidth_, width);
}

void TBitEditComboBox::SetBitFlags(uint32_t value)
{
    TCustomBitEdit::SetBitFlags(value);
    if (list_) {
        mirroring_ = true;
        list_->SetBitFlags(StoredBitFlags());
        mirroring_ = false;
    }
}

QRect TBitEditComboBox::GetBitRect(int32_t index) const
{
    const int32_t size = CellSize();
    const int32_t border = BitBorder();
    const int32_t position = PositionIndex(index);
    const int32_t row = columnCount_ >= 1 ? position / columnCount_ : 0;
    const int32_t column = columnCount_ >= 1 ? position % columnCount_ : position;
    return QRect(column * size + 2, row * size + 2, size, size).adjusted(border, border, -border, -border);
}

QRect TBitEditComboBox::GetButtonRect() const
{
    QRect button = rect().adjusted(2, 2, -2, -2);
    button.setLeft(button.left() + button.width() - buttonWidth_);
    return button;
}

bool TBitEditComboBox::IsDroppedDown() const
{
    return dropDown_ && dropDown_->isVisible();
}

QSize TBitEditComboBox::sizeHint() const
{
    const int32_t size = CellSize();
    const int32_t count = std::max(ItemCount(), 1);
    const int32_t columns = columnCount_ >= 1 ? std::min(columnCount_, count) : count;
    const int32_t rows = columnCount_ >= 1 ? (count + columnCount_ - 1) / columnCount_ : 1;
    return {columns * size + 4 + buttonWidth_ + 2, rows * size + 4};
}

void TBitEditComboBox::DoPaint(QPainter& painter, const QRect&)
{
    const int32_t border = BitBorder();
    if (IsValidIndex(SelectedItem()) && Focused()) {
        // The cursor shows on set and clear boxes alike: a two-pixel frame in the highlight colour.
        const QRect cursor = GetBitRect(SelectedItem()).adjusted(-border, -border, border, border);
        painter.save();
        painter.setPen(palette().color(QPalette::Highlight));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cursor.adjusted(0, 0, -1, -1));
        painter.drawRect(cursor.adjusted(1, 1, -2, -2));
        painter.restore();
    }
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = GetButtonRect();
    button.state |= buttonPressed_ ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.save();
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &button, &painter, this);
    QStyleOption arrow = button;
    const int32_t arrowSide = std::min(button.rect.width(), button.rect.height()) / 2;
    arrow.rect = QRect(0, 0, arrowSide, arrowSide);
    arrow.rect.moveCenter(button.rect.center() + (buttonPressed_ ? QPoint(1, 1) : QPoint()));
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
    painter.restore();
}

bool TBitEditComboBox::DoKeyDown(QKeyEvent* event)
{
    const int32_t key = event->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        const int32_t before = SelectedItem();
        int32_t target;
        if (key == Qt::Key_Up)
            target = columnCount_ > 0 && before - columnCount_ >= 0 ? before - columnCount_ : 0;
        else
            target = columnCount_ > 0 && before + columnCount_ <= ItemCount() - 1 ? before + columnCount_
                                                                                  : ItemCount() - 1;
        if (target != before) {
            SetSelectedItem(target);
            return true;
        }
    }
    return TCustomBitEdit::DoKeyDown(event);
}

void TBitEditComboBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    BasePress(point);
    if (GetButtonRect().contains(point)) {
        buttonTracking_ = true;
        buttonPressed_ = true;
        update();
    }
}

void TBitEditComboBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!buttonTracking_)
        return;
    const bool inside = GetButtonRect().contains(event->position().toPoint());
    if (inside != buttonPressed_) {
        buttonPressed_ = inside;
        update();
    }
}

void TBitEditComboBox::mouseReleaseEvent(QMouseEvent*)
{
    if (buttonTracking_ && buttonPressed_)
        DoDropDown();
    buttonTracking_ = false;
    buttonPressed_ = false;
    update();
}

void TBitEditComboBox::CreateDropDown()
{
    dropDown_ = new BitEditDropDown(this);
    auto* layout = new QVBoxLayout(dropDown_);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new TBitEditListBox(dropDown_);
    list_->setObjectName(QStringLiteral("DropDownList"));
    layout->addWidget(list_);
    connect(list_, &TCustomBitEdit::OnChange, this, &TBitEditComboBox::OnChangeList);
}

void TBitEditComboBox::DoDropDown()
{
    if (!dropDown_)
        CreateDropDown();
    list_->setFont(font());
    const int32_t cell = CellSize();
    const QFontMetrics metrics(font());
    int32_t listWidth = width();
    for (const QString& item : Items())
        listWidth = std::max(listWidth, metrics.horizontalAdvance(item) + cell + 8);
    const QSize listSize(listWidth, ItemCount() * cell + 4);

    const QRect comboOnScreen(mapToGlobal(QPoint(0, 0)), size());
    QScreen* screen = this->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(comboOnScreen.topLeft(), QSize(1 << 20, 1 << 20));

    mirroring_ = true;
    list_->SetItems(Items());
    list_->SetBitFlags(StoredBitFlags());
    mirroring_ = false;
    list_->SetBitBorder(BitBorder());
    list_->SetReadOnly(ReadOnly());
    list_->SetFirstBitSym(FirstBitSym());
    list_->SetBitSelectColor(BitSelectColor());
    list_->SetColor(Color());
    list_->SetSingleBorder(true);
    list_->SetInverted(Inverted());
    list_->SetSelectedItem(std::max(SelectedItem(), 0));

    dropDown_->setFixedSize(listSize);
    dropDown_->setGeometry(QRect(DropDownPosition(comboOnScreen, listSize, available), listSize));
    dropDown_->show();
    list_->setFocus(Qt::PopupFocusReason);
}

void TBitEditComboBox::OnChangeList()
{
    if (mirroring_ || !list_)
        return;
    // Only the named bits come from the list: the bits without a name keep what the
    // instrument sent, so a store does not clear them.
    const uint32_t named = NamedBitsMask();
    SetBitFlags((StoredBitFlags() & ~named) | (list_->BitFlags() & named));
}
