#pragma once

#include <QWidget>

// The editor of one of the signals D to G: a mask signal, a comparison of two measured values
// with two coefficients, or a timer. The comparison's and the timer's controls share the grid
// cells of the mask's and stand hidden while the signal is a mask. Four stand on the page
// "Сигналы D..G" (DaxSignalD .. DaxSignalG).
class TDaxSignal2_Form : public QWidget {
    Q_OBJECT

public:
    explicit TDaxSignal2_Form(QWidget* parent = nullptr);

    // Fills the lists, shows all items of the parameter and condition lists when dropped down,
    // and stacks the comparison and timer controls on the mask controls they replace.
    void SetUp();
};
