#pragma once

// The HTML export's options window: what the pages hold (styles, pictures and their format,
// fixed width, navigator, one file per page, background), the page range and opening after
// the export; filled from the filter and copied back on OK, then the output file is chosen.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class TrpHTMLExport;

class TrpHTMLExportDialog : public QDialog {
public:
    explicit TrpHTMLExportDialog(QWidget* parent = nullptr);

    // ShowModal's window steps: the slave settings, fills the dialog, runs it through the
    // user-interface service, copies the choices back on OK and asks for the file. The modal
    // result.
    static int Run(TrpHTMLExport& filter);

    // The picture list's index for a filter's settings, and the picture type of an index.
    static int PictureIndex(const TrpHTMLExport& filter);

    QCheckBox* StylesCB = nullptr;
    QCheckBox* PicsSameCB = nullptr;
    QCheckBox* FixWidthCB = nullptr;
    QCheckBox* NavigatorCB = nullptr;
    QCheckBox* MultipageCB = nullptr;
    QCheckBox* BackgrCB = nullptr;
    QComboBox* PFormatCB = nullptr;
    QRadioButton* AllRB = nullptr;
    QRadioButton* CurPageRB = nullptr;
    QRadioButton* PageNumbersRB = nullptr;
    QLineEdit* PageNumbersE = nullptr;
    QCheckBox* OpenAfterCB = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
