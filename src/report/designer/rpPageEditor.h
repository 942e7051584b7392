#pragma once

// The page settings of the designer's current report page: paper, orientation, margins, trays,
// columns and the page flags, in the designer's units. Sizes come from the paper table turned
// by the orientation (a size of its own stays as typed and turns with the orientation); the
// printer is only read, never changed while the user browses. On OK every field is read first,
// so a field that is not a number shows the conversion error and changes nothing; then the page
// and the page of every subreport on it take the values.

#include "rpDesgn.h"
#include "rpDsgnDialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class TrpReportPage;

class TrpPageEditorForm : public TrpDesignerDialog {
public:
    TrpPageEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    // The page edited: the designer's current page unless set.
    TrpReportPage* Page() const { return FPage; }
    void SetPage(TrpReportPage* page) { FPage = page; }
    TrpDesignerUnits Units() const { return FUnits; }

    // The handlers (tests call them as the controls do).
    void FormShow();
    void PortraitRBClick();
    void SizeCBClick();
    void WidthEChange();
    void UpDown1Click();
    // With OK, applies the values to the page and its subreports' pages.
    void FormHide(bool ok);
    // Whether the last OK reached the page (a field that could not be read stops it).
    bool Applied() const { return FApplied; }

    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QLabel* WidthL = nullptr;
    QLabel* HeightL = nullptr;
    QLabel* SizeL = nullptr;
    QComboBox* SizeCB = nullptr;
    QLineEdit* WidthE = nullptr;
    QLineEdit* HeightE = nullptr;
    QGroupBox* OrientationGB = nullptr;
    QRadioButton* PortraitRB = nullptr;
    QRadioButton* LandscapeRB = nullptr;
    QLabel* PortraitImg = nullptr;
    QLabel* LandscapeImg = nullptr;
    QGroupBox* MarginsGB = nullptr;
    QLabel* MarginLeftL = nullptr;
    QLabel* MarginTopL = nullptr;
    QLabel* MarginRightL = nullptr;
    QLabel* MarginBottomL = nullptr;
    QLineEdit* MarginLeftE = nullptr;
    QLineEdit* MarginTopE = nullptr;
    QLineEdit* MarginRightE = nullptr;
    QLineEdit* MarginBottomE = nullptr;
    QGroupBox* TraysGB = nullptr;
    QLabel* Tray1L = nullptr;
    QLabel* Tray2L = nullptr;
    QComboBox* Tray1CB = nullptr;
    QComboBox* Tray2CB = nullptr;
    QGroupBox* ColumnsGB = nullptr;
    QLabel* ColumnsNumberL = nullptr;
    QLabel* ColumnWidthL = nullptr;
    QLabel* ColumnPositionsL = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QLineEdit* ColumnsNumberE = nullptr;  // the up-down's read-only text
    QLineEdit* ColumnWidthE = nullptr;
    QPlainTextEdit* ColumnPositionsM = nullptr;
    QGroupBox* OtherGB = nullptr;
    QLabel* DuplexL = nullptr;
    QComboBox* DuplexCB = nullptr;
    QCheckBox* PrintOnPrevCB = nullptr;
    QCheckBox* MirrorMarginsCB = nullptr;
    QCheckBox* LargeHeightCB = nullptr;
    QCheckBox* EndlessWidthCB = nullptr;
    QCheckBox* EndlessHeightCB = nullptr;
    QLabel* UnitL[7] = {};
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;
    void CheckValues() override;

private:
    // The lengths typed into the dialog in millimetres, each within the page's bounds.
    struct Lengths {
        double Width = 0, Height = 0;
        double Left = 0, Top = 0, Right = 0, Bottom = 0;
        double ColumnWidth = 0;
        QStringList ColumnPositions;  // millimetres as the page stores them
    };
    Lengths ReadLengths() const;
    QString UnitsText(double millimetres, bool horizontal) const;
    // The length typed into `field` in millimetres; refused (naming the field) when it is no
    // number or lies outside [lowMm, highMm].
    double Millimetres(QWidget* field, const QString& text, const QString& name, bool horizontal, double lowMm,
                       double highMm) const;
    double Millimetres(const QLineEdit* edit, bool horizontal) const;

    TrpReportPage* FPage = nullptr;
    TrpDesignerUnits FUnits = duCM;
    bool FLandscape = false;  // the orientation the size edits show
    bool FUpdating = false;
    bool FApplied = false;
};
