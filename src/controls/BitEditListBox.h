#pragma once

#include "CustomBitEdit.h"

// The list of the bit-mask combo box's drop-down: one line per bit, its box at the left and
// its name to the right. A click on a box toggles the bit; a click on a name moves the cursor.
class TBitEditListBox : public TCustomBitEdit {
    Q_OBJECT

public:
    explicit TBitEditListBox(QWidget* parent = nullptr);

    QRect GetBitRect(int32_t index) const override;
    // Where the name of bit `index` is written.
    QRect GetTitleRect(int32_t index) const;

protected:
    void DoPaint(QPainter& painter, const QRect& area) override;
    void mousePressEvent(QMouseEvent* event) override;
};
