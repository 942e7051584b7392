#pragma once

#include "presentation/DisplayOptions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

// The options dialog "Опции": how values, counters, durations and flag sets are shown. It
// edits the main window's display options (not owned) and saves them on OK; Cancel leaves
// the record and the registry alone, and the next showing shows the record again.
class TOptionsForm : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsForm(DisplayOptions* options, QWidget* parent = nullptr);

    // Each time the dialog is shown: the controls from the record; a list value outside its
    // items selects nothing.
    void FormActivate();
    // The controls into the record (a list with nothing selected gives 0), the record into
    // the registry, then the dialog closes with OK.
    void OkBitBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    DisplayOptions* options_;

    QCheckBox* AccuracyCounters = nullptr;
    QCheckBox* ShowNotStaffQT = nullptr;
    QComboBox* CommaSeparator = nullptr;
    QComboBox* TimeFormat = nullptr;
    QComboBox* BitsFormat = nullptr;
    QPushButton* OkBitBtn = nullptr;
    QPushButton* CancelBitBtn = nullptr;
};
