#include "ReportDesktop.h"

#include "devreport/DaxReportSetupFrame.h"
#include "report/designer/DesignerRuntime.h"
#include "report/engine/ui/EngineUi.h"
#include "report/export/ui/ExportUi.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace ReportDesktop {

void start(std::optional<TrpPdfFilePrinterMode> pdfFilePrinter)
{
    // The engine's window parts first: they take the printer mode, which the designer's
    // start-up would otherwise fix at the system's default.
    EngineUi::init(pdfFilePrinter);
    ExportUi::init();
    DevReportRuntime::init();
    DesignerRuntime::init();
    static bool translated = false;
    if (!translated) {
        translated = true;
        // Owned by the application from now on: it leaves Qt's list when the application ends.
        if (auto translation = InstallQtTranslation())
            translation.release()->setParent(QCoreApplication::instance());
    }
}

std::unique_ptr<QTranslator> InstallQtTranslation()
{
    auto translation = std::make_unique<QTranslator>();
    if (!translation->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translation.get()))
        return nullptr;
    return translation;
}

} // namespace ReportDesktop
