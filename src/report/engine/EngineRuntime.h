#pragma once

// Start-up of the report engine library: one explicit call after the report model's (it makes
// that call itself). It hands reports their engine and prepared-page store through the model's services
// table, so that every report made afterwards has one, and adds the engine's own interface
// texts to the report resources, and gives reports the printer list (page defaults, the printer
// of the print options). Calling it again changes only the PDF-file printer's mode when one is
// given, which makes the printer list enumerate again.
#include "EngineServices.h"

#include <optional>

namespace EngineRuntime {

// `pdfFilePrinter`, when given: Forced makes the built-in PDF-file printer the only printer
// (rptool print --pdf, tests); Off leaves it out, so that without system printers the virtual
// printer stands in; Listed (the start) lists it after the system's printers.
void init(std::optional<TrpPdfFilePrinterMode> pdfFilePrinter = std::nullopt);
bool initialized();

} // namespace EngineRuntime
