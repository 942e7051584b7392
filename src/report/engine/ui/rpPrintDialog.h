#pragma once

// The print dialog: printer, pages, copies and collation, print mode and sheet, odd or even
// pages, order, duplex and printing into a PDF file; it edits the report's print options. The
// caller makes it for a report and a duplex mode, runs it through the user-interface service's
// modal seam and then calls FormHide with the result: the options, the duplex mode and the
// current printer hold the choice only when FormHide answers true.

#include "report/model/rpClass_pages.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;
class TrpReport;

class TrpPrintDialog : public QDialog {
    Q_OBJECT

public:
    // Copies typed are kept in this range.
    static constexpr int kMaxCopies = 1000;

    TrpPrintDialog(TrpReport* report, TrpDuplexMode duplexMode, QWidget* parent = nullptr);

    TrpReport* AReport;        // whose print options the dialog edits
    int32_t OldIndex;          // printer index at creation, restored on cancel
    TrpDuplexMode ADuplexMode; // in and out

    // Fills the controls from the report's print options (the constructor does it once).
    void FormShow();
    // After the dialog closed: with `ok`, asks for the file when printing to a file (a refusal
    // cancels), then stores the choice in the print options; cancelled, the printer chosen
    // before comes back. True when the print goes ahead.
    bool FormHide(bool ok);

    // The handlers of the controls (tests call them as the controls do).
    void PrintersCBClick();
    void PrintModeCBClick();
    void PropButtonClick();
    void PageNumbersRBClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void CollateCBClick();
    // Selects the sheet entry of a paper code; false when the list lacks it.
    bool SelectSheet(int32_t code);

    QGroupBox* Label12;
    QLabel* NameL;
    QComboBox* PrintersCB;
    QPushButton* PropButton;
    QLabel* WhereL;
    QLabel* WhereL1;
    QCheckBox* FileCB;
    QGroupBox* Label1;
    QRadioButton* AllRB;
    QRadioButton* CurPageRB;
    QRadioButton* PageNumbersRB;
    QLineEdit* PageNumbersE;
    QLabel* DescrL;
    QGroupBox* Label2;
    QLabel* CopiesL;
    QSpinBox* CopiesE;
    QCheckBox* CollateCB;
    QLabel* CopiesPB;
    QGroupBox* ScaleGB;
    QComboBox* PrintModeCB;
    QLabel* PagSizeL;
    QComboBox* PagPageSizeCB;
    QGroupBox* OtherGB;
    QLabel* PrintL;
    QComboBox* PrintPagesCB;
    QLabel* OrderL;
    QComboBox* OrderCB;
    QLabel* DuplexL;
    QComboBox* DuplexCB;
    QPushButton* OkB;
    QPushButton* CancelB;
};
