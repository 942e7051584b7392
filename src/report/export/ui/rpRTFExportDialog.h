#pragma once

// The RTF export's options window: the page range, what the document holds (WYSIWYG, page
// breaks, pictures, one continuous flow, how page headers and footers are written) and opening
// after the export; filled from the filter and copied back on OK, then the output file is
// chosen.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class TrpRTFExport;

class TrpRTFExportDialog : public QDialog {
public:
    explicit TrpRTFExportDialog(QWidget* parent = nullptr);

    // ShowModal's window steps: fills the dialog, runs it through the user-interface service,
    // copies the choices back on OK and asks for the file. The modal result.
    static int Run(TrpRTFExport& filter);

    QRadioButton* AllRB = nullptr;
    QRadioButton* CurPageRB = nullptr;
    QRadioButton* PageNumbersRB = nullptr;
    QLineEdit* PageNumbersE = nullptr;
    QCheckBox* WCB = nullptr;
    QCheckBox* PageBreaksCB = nullptr;
    QCheckBox* PicturesCB = nullptr;
    QCheckBox* ContinuousCB = nullptr;
    QLabel* HeadFootL = nullptr;
    QComboBox* PColontitulCB = nullptr;
    QCheckBox* OpenCB = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
