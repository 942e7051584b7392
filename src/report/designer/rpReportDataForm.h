#pragma once

// The report data dialog: which data sets the report uses (checked ones, in list order, after
// OK), or for a stand-alone designer which named connection the report takes.

#include "rpDsgnDialog.h"

class QListWidget;
class QPushButton;
class TrpReport;

class TrpReportDataForm : public TrpDesignerDialog {
public:
    // `standalone`: a stand-alone designer component exists (this system never creates one).
    TrpReportDataForm(QWidget* owner, TrpCustomDesigner* designer, bool standalone = false);

    TrpReport* Report() const { return FReport; }
    void SetReport(TrpReport* report) { FReport = report; }
    bool Standalone() const { return FStandalone; }

    QListWidget* DatasetsLB = nullptr;
    QPushButton* OKB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;

private:
    void DatasetsLBClickCheck(int row);

    TrpReport* FReport = nullptr;
    bool FStandalone = false;
    bool FFilling = false;
};
