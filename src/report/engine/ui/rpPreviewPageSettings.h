#pragma once

// The page settings of the preview: paper size (from the paper table, or a size of its own as
// typed), orientation and margins of a report page, shown in the designer's units. The printer
// is not touched while the user browses sizes. The caller sets Page and Report, runs it through
// the modal seam and calls FormHide with the result; on OK the report is rebuilt when
// NeedRebuild.

#include "report/core/FormatSettings.h"
#include "report/model/rpPaperSizes.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TrpReport;
class TrpReportPage;

// Units of the designer: 0 centimetres, 1 inches, 2 pixels, 3 characters.
enum TrpDesignerUnits : int { duCm, duInch, duPixels, duChars };

class TrpPageSettingsForm : public QDialog {
    Q_OBJECT

public:
    TrpPageSettingsForm(TrpReport* report, TrpReportPage* page, QWidget* parent = nullptr);

    TrpReportPage* Page() const { return FPage; }
    TrpReport* Report() const { return FReport; }
    TrpDesignerUnits Units() const { return FUnits; }
    bool NeedRebuild() const;

    // Fills the controls from the page (the constructor does it once).
    void FormShow();
    // With `ok`, stores orientation, size, paper and margins into the page.
    void FormHide(bool ok);

    // The handlers of the controls (tests call them as the controls do).
    void PortraitRBClick();
    void SizeCBClick();
    void WidthEChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Millimetres in the display unit and back.
    double ToUnits(double millimetres) const;
    double FromUnits(double value) const;
    QString UnitText(double millimetres) const;
    double EditMillimetres(const QLineEdit* edit) const;
    void SetEdit(QLineEdit* edit, double millimetres);

    TrpReportPage* FPage;
    TrpReport* FReport;
    TrpDesignerUnits FUnits = duCm;
    bool FUpdating = false;
    FormatSettings FSettings;

    QLabel* SizeL;
    QComboBox* SizeCB;
    QLabel* WidthL;
    QLineEdit* WidthE;
    QLabel* HeightL;
    QLineEdit* HeightE;
    QLabel* OrientationL;
    QRadioButton* PortraitRB;
    QRadioButton* LandscapeRB;
    QLabel* PortraitImg;
    QLabel* LandscapeImg;
    QLabel* MarginsL;
    QLabel* LeftL;
    QLabel* TopL;
    QLabel* RightL;
    QLabel* BottomL;
    QLineEdit* MarginLeftE;
    QLineEdit* MarginTopE;
    QLineEdit* MarginRightE;
    QLineEdit* MarginBottomE;
    QLabel* OtherL;
    QRadioButton* ApplyToCurRB;
    QRadioButton* ApplyToAllRB;
    QLabel* UnitL[6];
    QPushButton* OKB;
    QPushButton* CancelB;
};
