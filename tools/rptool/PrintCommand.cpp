#include "PrintCommand.h"

#include "report/engine/rpPreviewPages.h"
#include "report/engine/rpPrinter.h"
#include "report/engine/ui/EngineUi.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpStreams.h"

#include <QMap>

#include <cstdio>
#include <memory>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr int kMaxCopies = 1000;

const char kPrintUsage[] =
    "usage: rptool print FILE.zp3 [--printer NAME | --pdf OUT.pdf] [--copies N] [--collate | --no-collate] "
    "[--pages LIST] [--odd | --even] [--reverse] [--mode default|split|join|scale] [--sheet CODE] "
    "[--splicing MM] [--duplex none|vertical|horizontal|simplex]\n";

void Print(FILE* out, const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), out);
}

// Message boxes of printing go to stderr.
class StderrUiService : public IUiService {
public:
    void ShowMessage(const QString& text) override
    {
        Print(stderr, text);
        shown = true;
    }
    int MessageDlg(const QString&, const QString& text, UiMessageType, uint32_t) override
    {
        Print(stderr, text);
        shown = true;
        return mrNone;
    }
    bool shown = false;
};

class UiScope {
public:
    explicit UiScope(IUiService* service) { ReportServices::SetUi(service); }
    ~UiScope() { ReportServices::SetUi(nullptr); }
    UiScope(const UiScope&) = delete;
    UiScope& operator=(const UiScope&) = delete;
};

bool ParseInt(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < low || number > high)
        return false;
    value = number;
    return true;
}

// The print options of the command line; false for a usage error.
struct PrintRequest {
    QString file;
    QString printer;
    QString pdf;
    int copies = 1;
    bool collate = true;
    QString pages;
    TrpPrintPages which = ppAll;
    bool reverse = false;
    TrpPrintMode mode = pmDefault;
    int sheet = kPaperA4;
    int splicing = 3;
    TrpDuplexMode duplex = dmNone;
};

bool ParsePrintArguments(const QStringList& arguments, PrintRequest& request)
{
    static const QMap<QString, TrpPrintMode> kModes = {
        {QStringLiteral("default"), pmDefault}, {QStringLiteral("split"), pmSplit},
        {QStringLiteral("join"), pmJoin}, {QStringLiteral("scale"), pmScale}};
    static const QMap<QString, TrpDuplexMode> kDuplex = {
        {QStringLiteral("none"), dmNone}, {QStringLiteral("vertical"), dmVertical},
        {QStringLiteral("horizontal"), dmHorizontal}, {QStringLiteral("simplex"), dmSimplex}};
    bool collateGiven = false;
    bool pagesGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        auto value = [&]() -> const QString& { return arguments[++i]; };
        if (argument == QLatin1String("--collate") || argument == QLatin1String("--no-collate")) {
            if (collateGiven)
                return false;
            collateGiven = true;
            request.collate = argument == QLatin1String("--collate");
        } else if (argument == QLatin1String("--odd") || argument == QLatin1String("--even")) {
            if (pagesGiven)
                return false;
            pagesGiven = true;
            request.which = argument == QLatin1String("--odd") ? ppOdd : ppEven;
        } else if (argument == QLatin1String("--reverse")) {
            request.reverse = true;
        } else if (!argument.startsWith(QLatin1String("--"))) {
            if (!request.file.isEmpty())
                return false;
            request.file = argument;
        } else if (!hasValue) {
            return false;
        } else if (argument == QLatin1String("--printer")) {
            request.printer = value();
        } else if (argument == QLatin1String("--pdf")) {
            request.pdf = value();
        } else if (argument == QLatin1String("--copies")) {
            if (!ParseInt(value(), 1, kMaxCopies, request.copies))
                return false;
        } else if (argument == QLatin1String("--pages")) {
            request.pages = value();
        } else if (argument == QLatin1String("--mode")) {
            const QString& mode = value();
            if (!kModes.contains(mode))
                return false;
            request.mode = kModes.value(mode);
        } else if (argument == QLatin1String("--sheet")) {
            if (!ParseInt(value(), 1, kPaperCustom, request.sheet))
                return false;
        } else if (argument == QLatin1String("--splicing")) {
            if (!ParseInt(value(), 0, 1000, request.splicing))
                return false;
        } else if (argument == QLatin1String("--duplex")) {
            const QString& duplex = value();
            if (!kDuplex.contains(duplex))
                return false;
            request.duplex = kDuplex.value(duplex);
        } else {
            return false;
        }
    }
    return !request.file.isEmpty() && (request.printer.isEmpty() || request.pdf.isEmpty());
}

} // namespace

int RunPrinters(const QStringList& arguments)
{
    if (!arguments.isEmpty()) {
        std::fputs("usage: rptool printers\n", stderr);
        return kExitUsage;
    }
    try {
        EngineUi::init();
        TrpPrinters& printers = GetPrintersInstance();
        const TrpCustomPrinter* current = printers.Printer();
        for (int32_t i = 0; i < printers.Count(); ++i) {
            TrpCustomPrinter* printer = printers[i];
            printer->Init();
            Print(stdout, QStringLiteral("%1\t%2\t%3\t%4\t%5")
                              .arg(i)
                              .arg(printer->Name(), printer == current ? QStringLiteral("*") : QStringLiteral("-"))
                              .arg(printer->DPI().x())
                              .arg(printer->Papers().size()));
        }
    } catch (const platform::Exception& failure) {
        Print(stderr, QString::fromStdString(failure.Message()));
        return kExitFailed;
    }
    return kExitDone;
}

int RunPrint(const QStringList& arguments)
{
    PrintRequest request;
    if (!ParsePrintArguments(arguments, request)) {
        std::fputs(kPrintUsage, stderr);
        return kExitUsage;
    }
    StderrUiService ui;
    const UiScope uiScope(&ui);
    try {
        EngineUi::init(request.pdf.isEmpty() ? TrpPdfFilePrinterMode::Listed : TrpPdfFilePrinterMode::Forced);
        auto report = std::make_unique<TrpReport>();
        report->EngineOptions().NewSilentMode = simSilent;
        auto* pages = dynamic_cast<TrpPreviewPages*>(report->PreviewPages());
        if (pages == nullptr)
            return kExitFailed;
        pages->LoadFromFile(request.file, true);
        TrpPrintOptions& options = report->PrintOptions();
        options.ShowDialog = false;
        if (!request.pdf.isEmpty()) {
            options.Printer = PdfFilePrinterName();
            options.PrnOutFileName = request.pdf;
        } else if (!request.printer.isEmpty()) {
            if (GetPrintersInstance().IndexOf(request.printer) < 0) {
                Print(stderr, QStringLiteral("No printer named \"%1\"").arg(request.printer));
                return kExitFailed;
            }
            options.Printer = request.printer;
        }
        options.Copies = request.copies;
        options.Collate = request.collate;
        options.PageNumbers = request.pages;
        options.PrintPages = request.which;
        options.Reverse = request.reverse;
        options.PrintMode = request.mode;
        options.PrintOnSheet = request.sheet;
        options.SplicingLine = request.splicing;
        options.Duplex = request.duplex;
        if (!pages->Print() || ui.shown)
            return kExitFailed;
        Print(stdout, QStringLiteral("sheets=%1").arg(pages->PrintedSheets()));
    } catch (const platform::Exception& failure) {
        Print(stderr, QString::fromStdString(failure.Message()));
        return kExitFailed;
    }
    return kExitDone;
}
