#pragma once

// Start-up of the report engine's window parts, beside EngineRuntime (it makes that call
// itself): the printers of the system (Qt's printing support over CUPS) become the engine's
// printer back end, and printing shows the print dialog when a widgets application runs.
// Idempotent; the printer list is enumerated again on the next use.

#include "report/engine/EngineServices.h"
#include "report/script/ui/QtUiService.h"

#include <optional>

namespace EngineUi {

// `pdfFilePrinter` as EngineRuntime::init takes it.
void init(std::optional<TrpPdfFilePrinterMode> pdfFilePrinter = std::nullopt);

} // namespace EngineUi

// The user-interface service of the program with the print dialogs of scripts: Qt's print
// dialog and page set-up dialog on the default printer.
class QtPrintingUiService : public QtUiService {
public:
    bool PrintDialog(UiPrintDialog& dialog) override;
    bool PrinterSetupDialog() override;
};
