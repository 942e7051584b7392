#pragma once

#include "CustomBitEdit.h"

#include <QPointer>

class QFrame;
class TBitEditListBox;

// Where the drop-down list of a combo box opens, in screen coordinates: under the combo's
// bottom-left corner, or above the combo when the list would reach below the available area.
QPoint DropDownPosition(const QRect& comboOnScreen, const QSize& listSize, const QRect& available);

// The bit-mask editor of the device pages: the boxes in one or more rows (ColumnCount) inside a
// sunken field, with a drop-down button at the right that opens a list of every bit with its
// name. The list is a pop-up: a click outside closes it, and the click that closes it over
// the combo box is not passed on, so the button does not reopen it at once.
class TBitEditComboBox : public TCustomBitEdit {
    Q_OBJECT

public:
    explicit TBitEditComboBox(QWidget* parent = nullptr);
    ~TBitEditComboBox() override;

    int32_t ColumnCount() const { return columnCount_; }
    // Bits per row; 0 puts every bit in one row.
    void SetColumnCount(int32_t count);
    int32_t ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int32_t width);

    // The base setter; an existing list follows without passing the change back.
    void SetBitFlags(uint32_t value) override;
    QRect GetBitRect(int32_t index) const override;
    virtual QRect GetButtonRect() const;

    // Opens the list under (or above) the combo box and gives it the focus.
    virtual void DoDropDown();
    bool IsDroppedDown() const;
    // The list of the drop-down; none before the first drop-down.
    TBitEditListBox* DropDownList() const { return list_; }
    QFrame* DropDownWindow() const { return dropDown_; }

    QSize sizeHint() const override;

protected:
    void DoPaint(QPainter& painter, const QRect& area) override;
    bool DoKeyDown(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnChangeList();
    void CreateDropDown();

    int32_t columnCount_ = 0;
    int32_t buttonWidth_ = 18;
    bool buttonTracking_ = false; // a press on the button is being followed
    bool buttonPressed_ = false;  // the button is drawn pushed
    QPointer<QFrame> dropDown_;   // the pop-up window, made at the first drop-down; a child
    TBitEditListBox* list_ = nullptr;
    bool mirroring_ = false; // the list is being given the combo's value
};
