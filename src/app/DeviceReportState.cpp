#include "DeviceReportState.h"

#include "devreport/DeviceReportTemplates.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportDefaults.h"

namespace {

// The report classes and resources the members below need, before they are made.
int StartReports()
{
    ExportRuntime::init();
    DevReportRuntime::init();
    return 0;
}

} // namespace

DeviceReportState::DeviceReportState() : started_(StartReports())
{
    DeviceReportTemplates::Load(rpReport, QString::fromUtf8(DeviceReportTemplates::kArchiveReport));
    DeviceReportTemplates::Load(rpInfoReport, QString::fromUtf8(DeviceReportTemplates::kInfoReport));
    DeviceReportTemplates::Load(rpSetupReport_01, QString::fromUtf8(DeviceReportTemplates::kSetupReport01));
    DeviceReportTemplates::Load(rpSetupReport_02, QString::fromUtf8(DeviceReportTemplates::kSetupReport02));
    ApplyDeviceFrameSettings(rpPDFExport1);
    ApplyDeviceFrameSettings(rpHTMLExport1);
}

DeviceReportState::~DeviceReportState() = default;
