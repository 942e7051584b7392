#pragma once

// The system text editor: a system variable, an aggregate function over a data band, or plain
// text. In aggregate-only mode it builds just the aggregate (the memo editor's insert
// aggregate).

#include "rpDsgnDialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TrpComboEdit;
class TrpReport;

class TrpSysMemoEditorForm : public TrpDesignerDialog {
public:
    TrpSysMemoEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    bool AggregateOnly() const { return FAggregateOnly; }
    void SetAggregateOnly(bool value) { FAggregateOnly = value; }
    // In: the current text (a memo's, ending with its line break); out after OK: the result.
    const QString& Text() const { return FText; }
    void SetText(const QString& text) { FText = text; }
    // The aggregate the controls describe, without brackets.
    QString AggregateText() const;

    QRadioButton* SysVariableRB = nullptr;
    QRadioButton* AggregateRB = nullptr;
    QRadioButton* TextRB = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* SysVariableCB = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* TextE = nullptr;
    QGroupBox* AggregatePanel = nullptr;
    QLabel* DataBandL = nullptr;
    QLabel* DataSetL = nullptr;
    QLabel* DataFieldL = nullptr;
    QLabel* FunctionL = nullptr;
    QLabel* ExpressionL = nullptr;
    QComboBox* DataBandCB = nullptr;
    QComboBox* DataSetCB = nullptr;
    QComboBox* DataFieldCB = nullptr;
    QComboBox* FunctionCB = nullptr;
    TrpComboEdit* ExpressionE = nullptr;
    QCheckBox* CountInvisibleCB = nullptr;
    QCheckBox* RunningTotalCB = nullptr;
    QLabel* SampleL = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;

private:
    void DataBandCBChange();
    void DataSetCBChange();
    void DataFieldCBChange();
    void FunctionCBChange();
    void ExpressionEButtonClick();

    bool FAggregateOnly = false;
    TrpReport* FReport = nullptr;
    QString FText;
    bool FFilling = false;
};
