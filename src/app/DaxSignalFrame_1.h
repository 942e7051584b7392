#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class TBitEditComboBox;

// The editor of one of the signals 9 to C: a mask signal, or a comparison of a measured value
// with one coefficient. The comparison's controls share the grid cells of the mask's; the
// signal's type decides which are shown. Four stand on the page "Сигналы 9..C" (DaxSignal9,
// DaxSignalA .. DaxSignalC).
class TDaxSignal1_Form : public QWidget {
    Q_OBJECT

public:
    explicit TDaxSignal1_Form(QWidget* parent = nullptr);

    // Fills the lists (the first two signal types and the first three comparison conditions),
    // shows all items of the parameter and condition lists when dropped down, and stacks the
    // comparison controls on the mask controls they replace.
    void SetUp();

    // The mask source's (or the first parameter's) change: the mask's bits are named after
    // the chosen mask source.
    void MaskParamChange();
    // The type's change: the mask's controls (type 0) or the comparison's (type 1), none
    // without a type.
    void SignalTypeChange();
    // Every list to its first item, the mask to 0, the coefficient to "0"; the shown controls
    // and bit names follow.
    void Clear();

private:
    QComboBox* SignalType;
    QComboBox* MaskParam;
    QComboBox* MaskCondition;
    TBitEditComboBox* Mask;
    QComboBox* ConditionParam1;
    QComboBox* ParamCondition;
    QLineEdit* ConditionKoef1;
    QLabel* ParamLabel;
    QLabel* MaskKoefLabel;
};
