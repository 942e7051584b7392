#include "EngineRuntime.h"

#include "rpChBoxRTTI.h"
#include "rpClassRTTI.h"
#include "rpDMPClass.h"
#include "rpEngine.h"
#include "rpPreviewPages.h"
#include "rpPrinter.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/script/sc_iclassesrtti.h"
#include "report/script/sc_iconsts.h"

#include <QFile>

// Outside any namespace, as Qt's resource initialisation needs.
static void InitEngineResourceBlock()
{
    Q_INIT_RESOURCE(rpEngineRes);
}

namespace {

bool gInitialized = false;

// The texts the engine adds to the report resources.
constexpr char kEngineResources[] = ":/report/engine/rpEngineRes.xml";

void AddEngineTexts()
{
    InitEngineResourceBlock();
    const QString name = QString::fromLatin1(kEngineResources);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception(FormatScMessage(TscMessage::SCannotOpenFile, {name, file.errorString()}).toStdString());
    GetResourcesInstance().LoadFromStream(file);
}

} // namespace

namespace EngineRuntime {

void InstallPrinters()
{
    MutableModelServices().PrinterDefaults = []() -> std::optional<TrpPrinterDefaults> {
        const TrpCustomPrinter* printer = GetPrintersInstance().Printer();
        if (printer == nullptr || !printer->Initialized())
            return std::nullopt;
        TrpPrinterDefaults defaults;
        defaults.PaperSize = printer->Paper();
        defaults.PaperWidth = printer->PaperWidth();
        defaults.PaperHeight = printer->PaperHeight();
        defaults.Orientation = printer->Orientation();
        return defaults;
    };
    MutableModelServices().SelectPrinter = [](const QString& printerName) {
        TrpPrinters& printers = GetPrintersInstance();
        const int32_t index = printers.IndexOf(printerName);
        if (index < 0)
            return false;
        printers.SetPrinterIndex(index);
        return true;
    };
}

void init(std::optional<TrpPdfFilePrinterMode> pdfFilePrinter)
{
    if (pdfFilePrinter.has_value() && MutableEngineServices().PdfFilePrinter != *pdfFilePrinter) {
        MutableEngineServices().PdfFilePrinter = *pdfFilePrinter;
        ResetPrintersInstance();
    }
    if (gInitialized)
        return;
    ModelRuntime::init();
    AddEngineTexts();
    MutableModelServices().CreateEngine = [](TrpReport& report) -> std::unique_ptr<TrpCustomEngine> {
        return std::make_unique<TrpEngine>(&report);
    };
    MutableModelServices().CreatePreviewPages = [](TrpReport& report) -> std::unique_ptr<TrpCustomPreviewPages> {
        return std::make_unique<TrpPreviewPages>(&report);
    };
    InstallPrinters();
    RegisterDMPClasses();
    // Every script made from now on sees the class library (lists, string lists, streams) and
    // the report classes after it; the report modules leave the list when the program ends.
    RegisterClassLibraryModules();
    RegisterRTTIModule(CreateReportClassFunctions);
    RegisterRTTIModule(CreateCheckBoxFunctions);
    static const struct ModuleRemoval {
        ~ModuleRemoval()
        {
            UnregisterRTTIModule(CreateCheckBoxFunctions);
            UnregisterRTTIModule(CreateReportClassFunctions);
        }
    } removal;
    gInitialized = true;
}

bool initialized()
{
    return gInitialized;
}

} // namespace EngineRuntime
