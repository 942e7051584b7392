#pragma once

#include "ReportFeature.h"

// The device reports behind the main window's "Отчет": the settings dialog of the program,
// the frame's report state (templates, report data, PDF export) and the report builder over
// the frame's controls.
class DeviceReportFeature : public ReportFeature {
public:
    void BuildAndShowReport(TDax_Frame& frame) override;
    std::unique_ptr<FrameReportState> CreateFrameState() override;
};
