#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimeEdit;
class TBitEditComboBox;

// The editor of one of the signals D to G: a mask signal, a comparison of two measured values
// with two coefficients, or a timer. The comparison's and the timer's controls share the grid
// cells of the mask's; the signal's type decides which are shown. Four stand on the page
// "Сигналы D..G" (DaxSignalD .. DaxSignalG).
class TDaxSignal2_Form : public QWidget {
    Q_OBJECT

public:
    explicit TDaxSignal2_Form(QWidget* parent = nullptr);

    // Fills the lists, shows all items of the parameter and condition lists when dropped down,
    // and stacks the comparison and timer controls on the mask controls they replace.
    void SetUp();

    // The mask source's (or a parameter's) change: the mask's bits are named after the chosen
    // mask source.
    void MaskParamChange();
    // The type's change: the mask's controls (type 0), the comparison's (type 1) or the
    // timer's (type 2, whose days then follow the timer mode), none without a type.
    void SignalTypeChange();
    // The timer mode's change: the days are named after the week (mode 1) or the month
    // (mode 2); a daily timer or none has no days to choose.
    void TimerModeChange();
    // Every list but the timer mode to its first item, mask and days to 0, the coefficients to
    // "0", the switching times to 00:00:00; the shown controls and bit names follow.
    void Clear();

private:
    QComboBox* SignalType;
    QComboBox* MaskParam;
    QComboBox* MaskCondition;
    TBitEditComboBox* Mask;
    QComboBox* ConditionParam1;
    QComboBox* ConditionParam2;
    QComboBox* ParamCondition;
    QLineEdit* ConditionKoef1;
    QLineEdit* ConditionKoef2;
    QComboBox* TimerMode;
    TBitEditComboBox* TimerDays;
    QTimeEdit* TimerOn;
    QTimeEdit* TimerOff;
    QLabel* ParamLabel;
    QLabel* MaskParamLabel;
    QLabel* MaskConditionLabel;
    QLabel* KoefLabel1;
    QLabel* KoefLabel2;
};
