#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <cstdint>

class QKeyEvent;
class QPainter;

// The base of the bit-mask editors: one small box per bit, showing the bit's symbol ("1",
// "2", ... "9", "A", ...) and filled while the bit is set. A click on a box or Space toggles
// its bit; the arrow keys move the keyboard cursor (SelectedItem). The item list names the
// bits from bit 0 upward and its length is the number of bits shown.
//
// The value is kept whole: bits without a name stay stored and come back through
// StoredBitFlags, while BitFlags answers only the named bits.
class TCustomBitEdit : public QWidget {
    Q_OBJECT

public:
    explicit TCustomBitEdit(QWidget* parent = nullptr);

    const QStringList& Items() const { return items_; }
    // Renames the bits; the value stays as it is.
    void SetItems(const QStringList& items);
    int32_t ItemCount() const { return static_cast<int32_t>(items_.size()); }

    // The value with every bit at or beyond the item count cleared (whole with 32 items or more).
    uint32_t BitFlags() const;
    // Stores the value unmasked; when it differs from the stored one, repaints and raises
    // OnChange, also when called from code.
    virtual void SetBitFlags(uint32_t value);
    // The stored value, bits without a name included.
    uint32_t StoredBitFlags() const { return value_; }
    // The bits that have a name (bits 0 .. item count - 1).
    uint32_t NamedBitsMask() const;
    // Inverts one bit, repaints and raises OnChange; an index without a bit does nothing.
    void ChangeBitFlag(int32_t index);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    int32_t SelectedItem() const { return selectedItem_; }
    void SetSelectedItem(int32_t index);
    int32_t BitBorder() const { return bitBorder_; }
    void SetBitBorder(int32_t border);
    char FirstBitSym() const { return firstBitSym_; }
    void SetFirstBitSym(char symbol);
    QColor BitSelectColor() const { return bitSelectColor_; }
    void SetBitSelectColor(const QColor& color);
    bool SingleBorder() const { return singleBorder_; }
    void SetSingleBorder(bool single);
    bool Inverted() const { return inverted_; }
    void SetInverted(bool inverted);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    // True while the control holds the keyboard focus.
    bool Focused() const { return hasFocus_; }

    // Side of one bit box in pixels: 2 x BitBorder + max(width of "0".."Z" / 36, text height) + 2.
    int32_t CellSize() const;
    // The symbol of bit `index`: FirstBitSym + index, continuing "9" with "A" when FirstBitSym
    // is a digit.
    QString BitSymbol(int32_t index) const;
    // The box of one bit in client coordinates; empty in the base.
    virtual QRect GetBitRect(int32_t index) const;
    // The bit whose box holds the point, or -1.
    int32_t BitAt(const QPoint& point) const;

signals:
    void OnChange();
    void OnSetFocus();
    void OnKillFocus();

protected:
    virtual void DoChange();
    // Painting of a subclass after the boxes, inside the frame.
    virtual void DoPaint(QPainter& painter, const QRect& area);
    // Handles a key; true when the cursor moved.
    virtual bool DoKeyDown(QKeyEvent* event);
    // Where bit `index` is placed: the reverse order with Inverted (never below 0).
    int32_t PositionIndex(int32_t index) const;
    bool IsValidIndex(int32_t index) const { return index >= 0 && index < ItemCount(); }
    // The press of the base: focus, cursor to the box under the point, toggle unless ReadOnly.
    void BasePress(const QPoint& point);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // Sets a look-changing field and repaints when the value differs.
    template <typename T>
    void AssignAndRepaint(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        update();
    }

private:
    QStringList items_;
    int32_t selectedItem_ = 0; // the bit under the keyboard cursor; may be out of range
    uint32_t value_ = 0;       // the bit set, stored whole
    bool readOnly_ = false;
    int32_t bitBorder_ = 0; // pixels taken off each side of a box
    char firstBitSym_ = '0';
    QColor bitSelectColor_ = Qt::black;
    bool singleBorder_ = false;
    bool inverted_ = false;
    QColor color_ = Qt::white;
    bool hasFocus_ = false;
};
