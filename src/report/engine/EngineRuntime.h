#pragma once

// Start-up of the report engine library: one explicit call after the report model's (it makes
// that call itself). It hands reports their engine and prepared-page store through the model's services
// table, so that every report made afterwards has one, and adds the engine's own interface
// texts to the report resources, and gives reports the printer list (page defaults, the printer
// of the print options). Calling it again changes only the PDF-file printer's mode, which makes
// the printer list enumerate again.
#include "EngineServices.h"

namespace EngineRuntime {

// `pdfFilePrinter`: Forced makes the built-in PDF-file printer the only printer (rptool print
// --pdf, tests); Off leaves it out, so that without system printers the virtual printer stands
// in.
void init(TrpPdfFilePrinterMode pdfFilePrinter = TrpPdfFilePrinterMode::Listed);
bool initialized();

} // namespace EngineRuntime
