#pragma once

// The whole road of a device report: the settings dialog, the period's data, the template's
// variables and columns, the engine and the preview. The device frame is seen through
// DeviceReportHost, so that this library needs no window of the program.

#include "devreport/DaxReportSetupFrame.h"
#include "presentation/DisplayOptions.h"

#include <QString>

class DaxHelper;
class TrpReport;

class DeviceReportHost {
public:
    virtual ~DeviceReportHost() = default;
    virtual DaxHelper& Helper() = 0;
    virtual TReportData& ReportData() = 0;
    // The templates by name (DeviceReportTemplates::kArchiveReport, ...).
    virtual TrpReport& Template(const char* name) = 0;
    // The displayed text of a control by its path ("Model", "ConfigurationTS1/SchemeComboBox");
    // raises platform::Exception naming the path when the frame has no such control.
    virtual QString ControlText(const QString& path) = 0;
    // The date of a date picker (days since 30.12.1899); raises like ControlText.
    virtual double PickerDate(const QString& name) = 0;
    virtual DisplayOptions Options() = 0;
    virtual char DecimalSeparator() { return '.'; }
    // Shows the settings dialog over the helper's data; false when it was cancelled, else
    // `setup` holds the choices.
    virtual bool RunSetupDialog(ReportSetupStruct& setup) = 0;
};

// Runs the report road; returns once the preview was shown, the dialog cancelled or the
// period held nothing. A band the template must have and lacks raises platform::Exception
// naming it.
void BuildAndShowReport(DeviceReportHost& host);
