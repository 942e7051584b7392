#include "BitEditListBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

TBitEditListBox::TBitEditListBox(QWidget* parent) : TCustomBitEdit(parent) {}

QRect TBitEditListBox::GetBitRect(int32_t index) const
{
    const int32_t size = CellSize();
    const int32_t border = BitBorder();
    const int32_t position = PositionIndex(index);
    return QRect(2, position * size + 2, size, size).adjusted(border, border, -border, -border);
}

QRect TBitEditListBox::GetTitleRect(int32_t index) const
{
    const int32_t size = CellSize();
    const int32_t border = BitBorder();
    const int32_t position = PositionIndex(index);
    const QRect title(QPoint(size + 2, position * size + 2), QPoint(width() - 2 - 1, (position + 1) * size + 2 - 1));
    return title.adjusted(border, border, -border, -border);
}

void TBitEditListBox::DoPaint(QPainter& painter, const QRect&)
{
    painter.setFont(font());
    for (int32_t item = 0; item < ItemCount(); ++item) {
        const QRect title = GetTitleRect(item);
        QColor ink = palette().color(QPalette::WindowText);
        if (item == SelectedItem() && Focused()) {
            painter.fillRect(title, palette().color(QPalette::Highlight));
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = title;
            focus.backgroundColor = palette().color(QPalette::Highlight);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
            ink = palette().color(QPalette::HighlightedText);
        }
        painter.setPen(ink);
        painter.drawText(title.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, Items().at(item));
    }
}

void TBitEditListBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    BasePress(point);
    for (int32_t item = 0; item < ItemCount(); ++item) {
        if (GetTitleRect(item).contains(point)) {
            SetSelectedItem(item);
            update();
            break;
        }
    }
}
