#pragma once

#include <QWidget>

class QComboBox;
class TBitEditComboBox;

// The editor of one mask signal (signals 1 to 8): a condition on a flag word of the
// instrument, chosen by its source, over a mask of that word's bits. Eight of them stand on the
// device frame's page "Сигналы 1..8" (MaskSignal1 .. MaskSignal8).
class TDaxMaskSignalForm : public QWidget {
    Q_OBJECT

public:
    explicit TDaxMaskSignalForm(QWidget* parent = nullptr);

    // Fills the conditions and the mask sources (all twelve shown when dropped down).
    void SetUp();

    // The mask source's change: the mask's bits are named after the chosen flag word (none
    // without a choice).
    void MaskParamChange();
    // Source and condition to their first items, the mask to 0; the bit names follow.
    void Clear();

private:
    QComboBox* MaskParam;
    QComboBox* MaskCondition;
    TBitEditComboBox* Mask;
};
