#pragma once

// The spreadsheet export's options window: page range, what the workbook keeps and how it is
// written, open after export; filled from the filter and copied back on OK, then the output
// file is chosen.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class TrpXLSExport;

class TrpXLSExportDialog : public QDialog {
public:
    explicit TrpXLSExportDialog(QWidget* parent = nullptr);

    // ShowModal's window steps: fills the dialog, runs it through the user-interface service,
    // copies the choices back on OK and asks for the file. The modal result.
    static int Run(TrpXLSExport& filter);

    QRadioButton* AllRB = nullptr;
    QRadioButton* CurPageRB = nullptr;
    QRadioButton* PageNumbersRB = nullptr;
    QLineEdit* PageNumbersE = nullptr;
    QCheckBox* MergeCB = nullptr;
    QCheckBox* WCB = nullptr;
    QCheckBox* ContinuousCB = nullptr;
    QCheckBox* PicturesCB = nullptr;
    QCheckBox* AsTextCB = nullptr;
    QCheckBox* BackgrCB = nullptr;
    QCheckBox* FastExpCB = nullptr;
    QCheckBox* PageBreaksCB = nullptr;
    QCheckBox* cbGrid = nullptr;
    QCheckBox* OpenExcelCB = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
