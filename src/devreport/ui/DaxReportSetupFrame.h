#pragma once

// The report settings dialog "Параметры отчета": which report, which system, which period and
// contents; the period offered is worked out from the instrument's archives and journals as
// the DaxHelper it is given holds them. One instance lives for the whole run of the program
// (ReportSetupForm); the record it edits changes only when the dialog closes with OK.

#include "devreport/DaxReportSetupFrame.h"

#include <QDialog>

class DaxHelper;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

class TReportSetupForm : public QDialog {
public:
    // Sets the record's start values and lays the stored choices over them.
    explicit TReportSetupForm(QWidget* owner = nullptr);
    ~TReportSetupForm() override;

    // The controls, named as their object names.
    QGroupBox* GroupBox3 = nullptr;
    QComboBox* ReportType = nullptr;
    QComboBox* ReportData = nullptr;
    QGroupBox* IntervalGroupBox = nullptr;
    QLabel* Label1 = nullptr;
    QDateEdit* BeginPeriod = nullptr;
    QLabel* Label2 = nullptr;
    QDateEdit* EndPeriod = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QGroupBox* DataGroupBox = nullptr;
    QCheckBox* ChanelMShow = nullptr;
    QCheckBox* ChanelVShow = nullptr;
    QCheckBox* ChanelPShow = nullptr;
    QCheckBox* TotalValuesShow = nullptr;
    QCheckBox* HourArchiveShow = nullptr;
    QCheckBox* NotStaffInfoShow = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* Consumer = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Supplier = nullptr;
    QGroupBox* SystemGroupBox = nullptr;
    QCheckBox* HardwareNSShow = nullptr;
    QCheckBox* ModeFlagsShow = nullptr;
    QGroupBox* PageGroupBox = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* PrinterOrientation = nullptr;
    QCheckBox* PrintOnPreviousPage = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* BitBtn2 = nullptr;

    // The instrument data the period is taken from; not owned. The report builder sets it
    // before each showing; none means no data (the period is today).
    DaxHelper* ArchiveSource = nullptr;

    // The dates of the last scan and the selectable bounds (days since 30 December 1899).
    ReportPeriodRules Period;
    double& DayArchiveFirst = Period.DayArchiveFirst;
    double& DayArchiveLast = Period.DayArchiveLast;
    double& TotalArchiveFirst = Period.TotalArchiveFirst;
    double& TotalArchiveLast = Period.TotalArchiveLast;
    double& HourArchiveFirst = Period.HourArchiveFirst;
    double& HourArchiveLast = Period.HourArchiveLast;
    double& PeriodMin = Period.PeriodMin;
    double& PeriodMax = Period.PeriodMax;

    // The choices shown and, after OK, made.
    ReportSetupStruct Settings;

    // Each time the dialog is shown: the controls from the record, the period from the data.
    void FormActivate();
    // Refreshes the cached dates for the chosen report kind.
    void ScanArchiveDateRange();
    // Shows the controls of the report kind and keeps the pickers within its period. `sender`
    // is the control whose change runs it, none when run directly.
    void ReportChange(QObject* sender);
    // "Весь период": both pickers on the whole period.
    void BitBtn1Click();
    // Copies the controls into the record and stores it.
    void OkButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectEvents();
    double Today() const;

    bool reportChangeBusy_ = false; // ReportChange runs: the changes it makes do not run it again
};

// The one settings dialog of the program (made at start-up, destroyed with the application);
// none where no program runs it.
extern TReportSetupForm* ReportSetupForm;
