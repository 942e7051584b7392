#pragma once
// The start-up of a program that shows report windows. Every such program (the configurator,
// `rptool design`, `rptool preview`) calls `start` once its QApplication exists and before its
// first report, so that what one window offers (an export dialog, the designer behind the
// preview's edit button, Qt's buttons in Russian) is there in every program alike.

#include "report/engine/EngineServices.h"

#include <QString>

#include <memory>
#include <optional>

class QTranslator;

namespace ReportDesktop {

// Starts, in this order: the model with its window parts, the engine with the system's printers
// and its windows (preview, progress, print dialog), the export filters with their options
// dialogs, the device reports' classes, the designer, and Qt's own Russian texts. Idempotent;
// `pdfFilePrinter` as EngineRuntime::init takes it (a later call may change it).
void start(std::optional<TrpPdfFilePrinterMode> pdfFilePrinter = std::nullopt);

// Installs Qt's own Russian texts (the standard buttons of questions, the file, font and
// colour dialogs), so that they read like the program's own, from Qt's translation "qtbase_ru"
// (Debian package qt6-translations-l10n). They stay in force while the returned translation
// lives; without the translation (null) Qt's texts stay in English. `start` keeps one for the
// application's lifetime.
std::unique_ptr<QTranslator> InstallQtTranslation();

} // namespace ReportDesktop
