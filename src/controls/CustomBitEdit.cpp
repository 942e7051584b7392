#include "CustomBitEdit.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Every symbol a box can show; its average width sizes the boxes.
constexpr const char* kSymbolRun = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int32_t kSymbolRunLength = 36;
constexpr int32_t kDefaultItemCount = 8;
constexpr int32_t kBitsInValue = 32;

} // namespace

TCustomBitEdit::TCustomBitEdit(QWidget* parent) : QWidget(parent)
{
    for (int32_t bit = 0; bit < kDefaultItemCount; ++bit)
        items_.push_back(QStringLiteral("Bit %1").arg(bit));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCustomBitEdit::SetItems(const QStringList& items)
{
    items_ = items;
    update();
}

uint32_t TCustomBitEdit::NamedBitsMask() const
{
    const int32_t count = ItemCount();
    if (count >= kBitsInValue)
        return 0xFFFFFFFFu;
    return count <= 0 ? 0u : (1u << count) - 1u;
}

uint32_t TCustomBitEdit::BitFlags() const
{
    return value_ & NamedBitsMask();
}

void TCustomBitEdit::SetBitFlags(uint32_t value)
{
    if (value == value_)
        return;
    value_ = value;
    update();
    DoChange();
}

void TCustomBitEdit::ChangeBitFlag(int32_t index)
{
    if (!IsValidIndex(index) || index >= kBitsInValue)
        return;
    value_ ^= 1u << index;
    update();
    DoChange();
}

void TCustomBitEdit::SetSelectedItem(int32_t index)
{
    AssignAndRepaint(selectedItem_, index);
}

void TCustomBitEdit::SetBitBorder(int32_t border)
{
    AssignAndRepaint(bitBorder_, border);
}

void TCustomBitEdit::SetFirstBitSym(char symbol)
{
    AssignAndRepaint(firstBitSym_, symbol);
}

void TCustomBitEdit::SetBitSelectColor(const QColor& color)
{
    AssignAndRepaint(bitSelectColor_, color);
}

void TCustomBitEdit::SetSingleBorder(bool single)
{
    AssignAndRepaint(singleBorder_, single);
}

void TCustomBitEdit::SetInverted(bool inverted)
{
    AssignAndRepaint(inverted_, inverted);
}

void TCustomBitEdit::SetColor(const QColor& color)
{
    AssignAndRepaint(color_, color);
}

int32_t TCustomBitEdit::CellSize() const
{
    const QFontMetrics metrics(font());
    const int32_t width = metrics.horizontalAdvance(QLatin1String(kSymbolRun));
    return 2 * bitBorder_ + std::max(width / kSymbolRunLength, metrics.height()) + 2;
}

QString TCustomBitEdit::BitSymbol(int32_t index) const
{
    const int first = static_cast<unsigned char>(firstBitSym_);
    int symbol = first + index;
    if (symbol > '9' && first <= '9')
        symbol += 'A' - '9' - 1;
    return QString(QChar::fromLatin1(static_cast<char>(symbol & 0xFF)));
}

QRect TCustomBitEdit::GetBitRect(int32_t) const
{
    return {};
}

int32_t TCustomBitEdit::BitAt(const QPoint& point) const
{
    for (int32_t bit = 0; bit < ItemCount(); ++bit) {
        if (GetBitRect(bit).contains(point))
            return bit;
    }
    return -1;
}

int32_t TCustomBitEdit::PositionIndex(int32_t index) const
{
    return inverted_ ? std::max(ItemCount() - 1 - index, 0) : index;
}

void TCustomBitEdit::DoChange()
{
    emit OnChange();
}

void TCustomBitEdit::DoPaint(QPainter&, const QRect&) {}

bool TCustomBitEdit::DoKeyDown(QKeyEvent* event)
{
    const int32_t before = selectedItem_;
    switch (event->key()) {
    case Qt::Key_Space:
        if (IsValidIndex(selectedItem_) && !readOnly_)
            ChangeBitFlag(selectedItem_);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        selectedItem_ = std::max(selectedItem_ - 1, 0);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        selectedItem_ = std::min(selectedItem_ + 1, ItemCount() - 1);
        break;
    default:
        break;
    }
    if (selectedItem_ == before)
        return false;
    update();
    return true;
}

void TCustomBitEdit::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect area = rect();
    painter.fillRect(area, color_);
    if (singleBorder_) {
        painter.setPen(Qt::black);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    } else {
        // A sunken frame: dark above and left, light below and right.
        const QColor dark = palette().color(QPalette::Shadow);
        const QColor light = palette().color(QPalette::Light);
        for (int32_t line = 0; line < 2; ++line) {
            const QRect edge = area.adjusted(line, line, -line, -line);
            painter.setPen(dark);
            painter.drawLine(edge.topLeft(), edge.topRight());
            painter.drawLine(edge.topLeft(), edge.bottomLeft());
            painter.setPen(light);
            painter.drawLine(edge.bottomLeft(), edge.bottomRight());
            painter.drawLine(edge.topRight(), edge.bottomRight());
        }
        area.adjust(2, 2, -2, -2);
    }
    if (items_.isEmpty())
        return;

    painter.setClipRect(area);
    painter.setFont(font());
    // A set bit shows its box in BitSelectColor with outline and symbol inverted, as drawing
    // the box over a white control in XOR would.
    const QColor inverse = QColor::fromRgb(~bitSelectColor_.rgb() & 0xFFFFFF);
    for (int32_t bit = 0; bit < ItemCount(); ++bit) {
        const QRect box = GetBitRect(bit);
        if (box.isEmpty())
            continue;
        const bool set = bit < kBitsInValue && (value_ >> bit & 1u) != 0;
        if (set)
            painter.fillRect(box, bitSelectColor_);
        const QColor ink = set ? inverse : QColor(Qt::black);
        painter.setPen(ink);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(1, 1, -2, -2));
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, BitSymbol(bit));
    }
    DoPaint(painter, area);
}

void TCustomBitEdit::BasePress(const QPoint& point)
{
    setFocus(Qt::MouseFocusReason);
    const int32_t bit = BitAt(point);
    if (bit < 0)
        return;
    selectedItem_ = bit;
    if (readOnly_)
        update();
    else
        ChangeBitFlag(bit);
}

void TCustomBitEdit::mousePressEvent(QMouseEvent* event)
{
    BasePress(event->position().toPoint());
}

void TCustomBitEdit::keyPressEvent(QKeyEvent* event)
{
    DoKeyDown(event);
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        event->accept();
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}

void TCustomBitEdit::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    emit OnSetFocus();
    hasFocus_ = true;
    update();
}

void TCustomBitEdit::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    emit OnKillFocus();
    update();
    hasFocus_ = false;
}
