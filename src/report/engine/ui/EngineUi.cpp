#include "EngineUi.h"

#include "rpPrintDialog.h"
#include "rpPrinterQt.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/rpPrinter.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

bool gInitialized = false;

// Dialogs need a widgets application; tools run with a GUI one only.
bool WidgetsRunning()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

namespace EngineUi {

void init(std::optional<TrpPdfFilePrinterMode> pdfFilePrinter)
{
    EngineRuntime::init(pdfFilePrinter);
    if (gInitialized)
        return;
    TrpEngineServices& services = MutableEngineServices();
    services.PrinterNames = [] { return QPrinterInfo::availablePrinterNames(); };
    services.DefaultPrinterName = [] { return QPrinterInfo::defaultPrinterName(); };
    services.CreatePrinter = [](const QString& name) -> std::unique_ptr<TrpCustomPrinter> {
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (info.isNull())
            return nullptr;
        return std::make_unique<TrpPrinter>(info);
    };
    services.RunPrintDialog = [](TrpReport& report, TrpDuplexMode& duplex) {
        // Tools without widgets print with the options as they are.
        if (!WidgetsRunning())
            return true;
        TrpPrintDialog dialog(&report, duplex, QApplication::activeWindow());
        const int result = ReportServices::Ui().RunModal(dialog, dialog.objectName());
        if (!dialog.FormHide(result == mrOk))
            return false;
        duplex = dialog.ADuplexMode;
        return true;
    };
    ResetPrintersInstance();
    gInitialized = true;
}

} // namespace EngineUi

bool QtPrintingUiService::PrintDialog(UiPrintDialog& dialog)
{
    if (!WidgetsRunning())
        return false;
    QPrinter printer;
    printer.setCopyCount(dialog.Copies);
    printer.setCollateCopies(dialog.Collate);
    printer.setFromTo(dialog.FromPage, dialog.ToPage);
    QPrintDialog window(&printer);
    if (dialog.MinPage > 0 || dialog.MaxPage > 0)
        window.setMinMax(dialog.MinPage, dialog.MaxPage);
    window.setPrintRange(dialog.PrintRange == 2   ? QAbstractPrintDialog::PageRange
                         : dialog.PrintRange == 1 ? QAbstractPrintDialog::Selection
                                                  : QAbstractPrintDialog::AllPages);
    if (RunModal(window, QStringLiteral("QPrintDialog")) != mrOk)
        return false;
    dialog.Copies = printer.copyCount();
    dialog.Collate = printer.collateCopies();
    dialog.FromPage = printer.fromPage();
    dialog.ToPage = printer.toPage();
    switch (window.printRange()) {
    case QAbstractPrintDialog::PageRange: dialog.PrintRange = 2; break;
    case QAbstractPrintDialog::Selection: dialog.PrintRange = 1; break;
    default: dialog.PrintRange = 0; break;
    }
    dialog.PrintToFile = !printer.outputFileName().isEmpty();
    return true;
}

bool QtPrintingUiService::PrinterSetupDialog()
{
    if (!WidgetsRunning())
        return false;
    QPrinter printer;
    QPageSetupDialog window(&printer);
    return RunModal(window, QStringLiteral("QPageSetupDialog")) == mrOk;
}
