#pragma once

// The PDF export's options window: four tabs (export, document information, protection,
// viewer), filled from the filter and copied back on OK, then the output file is chosen.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class TrpPDFExport;

class TrpPDFExportDialog : public QDialog {
public:
    explicit TrpPDFExportDialog(QWidget* parent = nullptr);

    // ShowModal's window steps: fills the dialog, runs it through the user-interface service,
    // copies the choices back on OK and asks for the file. The modal result.
    static int Run(TrpPDFExport& filter);

    QTabWidget* PageControl1 = nullptr;
    QCheckBox* OpenCB = nullptr;
    QCheckBox* CompressedCB = nullptr;
    QCheckBox* EmbeddedCB = nullptr;
    QCheckBox* PrintOptCB = nullptr;
    QCheckBox* OutlineCB = nullptr;
    QCheckBox* BackgrCB = nullptr;
    QLineEdit* Quality = nullptr;
    QRadioButton* AllRB = nullptr;
    QRadioButton* CurPageRB = nullptr;
    QRadioButton* PageNumbersRB = nullptr;
    QLineEdit* PageNumbersE = nullptr;
    QLineEdit* TitleE = nullptr;
    QLineEdit* AuthorE = nullptr;
    QLineEdit* SubjectE = nullptr;
    QLineEdit* KeywordsE = nullptr;
    QLineEdit* CreatorE = nullptr;
    QLineEdit* ProducerE = nullptr;
    QLineEdit* OwnPassE = nullptr;
    QLineEdit* UserPassE = nullptr;
    QCheckBox* PrintCB = nullptr;
    QCheckBox* ModCB = nullptr;
    QCheckBox* CopyCB = nullptr;
    QCheckBox* AnnotCB = nullptr;
    QCheckBox* HideToolbarCB = nullptr;
    QCheckBox* HideMenubarCB = nullptr;
    QCheckBox* HideWindowUICB = nullptr;
    QCheckBox* FitWindowCB = nullptr;
    QCheckBox* CenterWindowCB = nullptr;
    QCheckBox* PrintScalingCB = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
};
