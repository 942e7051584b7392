#pragma once

// The data band editor: the band's data set (or none, "[не назначен]") and, for a band without
// one, its record count.

#include "rpDsgnDialog.h"

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class TrpDataBand;

class TrpDataBandEditorForm : public TrpDesignerDialog {
public:
    TrpDataBandEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    TrpDataBand* DataBand() const { return FDataBand; }
    void SetDataBand(TrpDataBand* band) { FDataBand = band; }

    QListWidget* DatasetsLB = nullptr;
    QLabel* RecordsL = nullptr;
    QSpinBox* RecordsE = nullptr; // with its up-down buttons (RecordsUD)
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;

private:
    TrpDataBand* FDataBand = nullptr;
    bool FFilling = false;
};
