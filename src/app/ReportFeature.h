#pragma once

#include <memory>

class TDax_Frame;

// What the report subsystems keep with a device frame (their data sets over its records). The
// frame owns it; none until the report subsystems provide it.
class FrameReportState {
public:
    virtual ~FrameReportState() = default;
};

// The report command of the main window. The report subsystems provide it; until one is
// registered the command is disabled.
class ReportFeature {
public:
    virtual ~ReportFeature() = default;
    // Runs the report settings dialog and, unless it is cancelled, prepares and shows the
    // chosen report from the frame's data.
    virtual void BuildAndShowReport(TDax_Frame& frame) = 0;
    // What the device frame keeps for the feature's reports, made when the feature is set and
    // kept with the frame; none by default.
    virtual std::unique_ptr<FrameReportState> CreateFrameState() { return nullptr; }
};
