#pragma once

// The settings the device frame's export components are stored with: each filter set up as
// the device frame holds it (the program's PDF export and rptool export use it).

class TrpPDFExport;
class TrpHTMLExport;

void ApplyDeviceFrameSettings(TrpPDFExport& filter);
void ApplyDeviceFrameSettings(TrpHTMLExport& filter);
