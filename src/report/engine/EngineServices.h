#pragma once

// What the engine asks of the window libraries above it: the printers of the system and the
// print dialog. engine/ui fills the table at start-up; empty, the printer list holds only the
// built-in PDF-file printer and printing takes the print options as they are.

#include "report/model/rpClass_pages.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TrpCustomPrinter;
class TrpReport;

// Whether the built-in PDF-file printer is listed.
enum class TrpPdfFilePrinterMode : int {
    Listed, // after the system's printers
    Forced, // the only printer, the default
    Off     // not listed: without system printers the virtual printer stands in
};

struct TrpEngineServices {
    // The names of the system's printers, in the order listed.
    std::function<QStringList()> PrinterNames;
    // The name of the system's default printer (empty: none).
    std::function<QString()> DefaultPrinterName;
    // A printer of the system by name; none when it cannot be reached.
    std::function<std::unique_ptr<TrpCustomPrinter>(const QString& name)> CreatePrinter;
    // Shows the print dialog for the report with the duplex mode; true when confirmed (the
    // report's print options, the duplex mode and the current printer then hold the choice).
    std::function<bool(TrpReport& report, TrpDuplexMode& duplex)> RunPrintDialog;
    TrpPdfFilePrinterMode PdfFilePrinter = TrpPdfFilePrinterMode::Listed;
};

const TrpEngineServices& EngineServices();
TrpEngineServices& MutableEngineServices();

// Replaces the whole table for as long as it lives and drops the printer list on both ends, so
// that it is enumerated again under the table in force (tests).
class EngineServicesScope {
public:
    explicit EngineServicesScope(TrpEngineServices services);
    ~EngineServicesScope();
    EngineServicesScope(const EngineServicesScope&) = delete;
    EngineServicesScope& operator=(const EngineServicesScope&) = delete;

private:
    TrpEngineServices previous_;
};
