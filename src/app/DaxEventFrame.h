#pragma once

#include <QWidget>

class QComboBox;
class TBitEditComboBox;

// The editor of one event (events 1 to 8): a condition on the instrument's sixteen signals
// over a mask of them. Eight stand on the device frame's page "События 1..8" (DaxEvent1 ..
// DaxEvent8).
class TDaxEventForm : public QWidget {
    Q_OBJECT

public:
    explicit TDaxEventForm(QWidget* parent = nullptr);

    // Fills the conditions and names the mask's sixteen bits after the signals.
    void SetUp();
    // The condition to its first item and the mask to 0.
    void Clear();

private:
    QComboBox* MaskCondition;
    TBitEditComboBox* Mask;
};
