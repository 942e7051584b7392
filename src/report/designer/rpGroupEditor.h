#pragma once

// The group editor: what breaks a group (a data set's field or an expression) and the group's
// options.

#include "rpDsgnDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TrpComboEdit;
class TrpGroupHeader;
class TrpReport;

class TrpGroupEditorForm : public TrpDesignerDialog {
public:
    TrpGroupEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    TrpGroupHeader* GroupHeader() const { return FGroupHeader; }
    void SetGroupHeader(TrpGroupHeader* header) { FGroupHeader = header; }

    QLabel* BreakOnL = nullptr;
    QLabel* OptionsL = nullptr;
    QRadioButton* DataFieldRB = nullptr;
    QRadioButton* ExpressionRB = nullptr;
    QComboBox* DataSetCB = nullptr;
    QComboBox* DataFieldCB = nullptr;
    TrpComboEdit* ExpressionE = nullptr;
    QCheckBox* KeepGroupTogetherCB = nullptr;
    QCheckBox* StartNewPageCB = nullptr;
    QCheckBox* OutlineCB = nullptr;
    QCheckBox* DrillCB = nullptr;
    QCheckBox* ResetCB = nullptr;
    QPushButton* OKB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;

private:
    void DataFieldRBClick();
    void DataSetCBChange();
    void ExpressionEButtonClick();

    TrpGroupHeader* FGroupHeader = nullptr;
    TrpReport* FReport = nullptr;
};
