#pragma once

#include <QWidget>

// The editor of one of the signals 9 to C: a mask signal, or a comparison of a measured value
// with one coefficient. The comparison's controls share the grid cells of the mask's and stand
// hidden while the signal is a mask. Four stand on the page "Сигналы 9..C" (DaxSignal9,
// DaxSignalA .. DaxSignalC).
class TDaxSignal1_Form : public QWidget {
    Q_OBJECT

public:
    explicit TDaxSignal1_Form(QWidget* parent = nullptr);

    // Fills the lists (the first two signal types and the first three comparison conditions),
    // shows all items of the parameter and condition lists when dropped down, and stacks the
    // comparison controls on the mask controls they replace.
    void SetUp();
};
