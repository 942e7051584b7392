#pragma once

#include "ReportFeature.h"

#include "devreport/DaxReportSetupFrame.h"
#include "report/export/rpExportHTML.h"
#include "report/export/rpExportPDF.h"
#include "report/model/rpClass_report.h"

// What the device frame keeps for its reports: the report data over its records, the four
// report templates loaded from the device report library (they live as long as the frame;
// each report rewrites them in memory) and the frame's export filters (PDF, HTML), which are
// listed among the export filters while the frame exists. Starts the export filters and the device report
// classes when they have not been started.
class DeviceReportState : public FrameReportState {
public:
    DeviceReportState();
    ~DeviceReportState() override;

private:
    int started_; // made first: the start-up the members below need

public:
    TReportData ReportData;
    TrpReport rpReport;           // the archive report
    TrpReport rpInfoReport;       // the two journals
    TrpReport rpSetupReport_01;   // the settings of the Dax-01
    TrpReport rpSetupReport_02;   // the settings of every other model
    TrpPDFExport rpPDFExport1;
    TrpHTMLExport rpHTMLExport1;
};
