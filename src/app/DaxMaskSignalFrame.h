#pragma once

#include <QWidget>

// The editor of one mask signal (signals 1 to 8): a condition on a flag word of the
// instrument, chosen by its source, over a mask of that word's bits. Eight of them stand on the
// device frame's page "Сигналы 1..8" (MaskSignal1 .. MaskSignal8).
class TDaxMaskSignalForm : public QWidget {
    Q_OBJECT

public:
    explicit TDaxMaskSignalForm(QWidget* parent = nullptr);

    // Fills the conditions and the mask sources (all twelve shown when dropped down).
    void SetUp();
};
