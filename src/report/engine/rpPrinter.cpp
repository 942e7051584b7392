#include "rpPrinter.h"

#include "EngineServices.h"
#include "rpPdfFilePrinter.h"

#include "report/model/rpRes.h"

#include <QPageSize>

#include <utility>

namespace {

QString ResourceText(const char16_t* name)
{
    return GetResourcesInstance().Get(name);
}

TrpEngineServices& ServicesTable()
{
    static TrpEngineServices services;
    return services;
}

std::unique_ptr<TrpPrinters>& PrintersInstance()
{
    static std::unique_ptr<TrpPrinters> instance;
    return instance;
}

// Unprintable margins of the virtual printer.
constexpr double kVirtualPrinterMargins = 5;
constexpr int kVirtualPrinterDpi = 600;

int32_t IndexOfCode(const std::vector<TrpPrinterItem>& items, int32_t code)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].Code == code)
            return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t CodeOfName(const std::vector<TrpPrinterItem>& items, const QString& name)
{
    for (const TrpPrinterItem& item : items) {
        if (item.Name == name)
            return item.Code;
    }
    return items.empty() ? -1 : items.front().Code;
}

} // namespace

// --- services ----------------------------------------------------------------------------------

const TrpEngineServices& EngineServices()
{
    return ServicesTable();
}

TrpEngineServices& MutableEngineServices()
{
    return ServicesTable();
}

EngineServicesScope::EngineServicesScope(TrpEngineServices services) : previous_(std::move(ServicesTable()))
{
    ServicesTable() = std::move(services);
    ResetPrintersInstance();
}

EngineServicesScope::~EngineServicesScope()
{
    ServicesTable() = std::move(previous_);
    ResetPrintersInstance();
}

// --- one printer -------------------------------------------------------------------------------

TrpCustomPrinter::TrpCustomPrinter(const QString& name, const QString& port)
    : name_(name), port_(port), ownCanvas_(std::make_unique<TrpPrinterCanvas>(this)), canvas_(ownCanvas_.get())
{
    bins_.push_back({ResourceText(u"prDefault"), kDefaultBin});
    papers_.push_back({ResourceText(u"prCustom"), kPaperCustom});
}

TrpCustomPrinter::~TrpCustomPrinter() = default;

int32_t TrpCustomPrinter::BinIndex(int32_t bin) const
{
    return IndexOfCode(bins_, bin);
}

int32_t TrpCustomPrinter::PaperIndex(int32_t paper) const
{
    return IndexOfCode(papers_, paper);
}

int32_t TrpCustomPrinter::BinNameToNumber(const QString& bin) const
{
    return CodeOfName(bins_, bin);
}

int32_t TrpCustomPrinter::PaperNameToNumber(const QString& paper) const
{
    return CodeOfName(papers_, paper);
}

void TrpCustomPrinter::AddTablePapers(bool named)
{
    for (const TrpPaperSize& paper : PaperSizes())
        papers_.push_back({named ? PaperSizeName(paper.Code) : QString(), paper.Code});
}

void TrpCustomPrinter::SetTablePaper(int32_t code, double width, double height, TPrinterOrientation orientation,
                                     double margins)
{
    double tableWidth = 0;
    double tableHeight = 0;
    if (code != kPaperCustom && LookupPaperDimensions(code, tableWidth, tableHeight)) {
        paper_ = code;
        if (orientation == poLandscape)
            std::swap(tableWidth, tableHeight);
        paperWidth_ = tableWidth;
        paperHeight_ = tableHeight;
    } else {
        paper_ = kPaperCustom;
        paperWidth_ = width;
        paperHeight_ = height;
    }
    orientation_ = orientation;
    leftMargin_ = topMargin_ = rightMargin_ = bottomMargin_ = margins;
}

// --- the virtual printer -----------------------------------------------------------------------

TrpVirtualPrinter::TrpVirtualPrinter(const QString& name) : TrpCustomPrinter(name, QString()) {}

void TrpVirtualPrinter::Init()
{
    if (initialized_)
        return;
    dpi_ = QPoint(kVirtualPrinterDpi, kVirtualPrinterDpi);
    defPaper_ = kPaperA4;
    defOrientation_ = poPortrait;
    defPaperWidth_ = 210;
    defPaperHeight_ = 297;
    paper_ = kPaperA4;
    paperWidth_ = 210;
    paperHeight_ = 297;
    AddTablePapers(false);
    bin_ = -1;
    duplex_ = -1;
    initialized_ = true;
}

void TrpVirtualPrinter::SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                                      TPrinterOrientation orientation)
{
    SetTablePaper(paperSize, paperWidth, paperHeight, orientation, kVirtualPrinterMargins);
}

void TrpVirtualPrinter::SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight,
                                       TPrinterOrientation orientation, int32_t bin, int32_t, int32_t)
{
    SetTablePaper(paperSize, paperWidth, paperHeight, orientation, kVirtualPrinterMargins);
    bin_ = bin;
}

// --- the list ----------------------------------------------------------------------------------

TrpPrinters::TrpPrinters()
{
    FillPrinters();
}

TrpPrinters::~TrpPrinters() = default;

void TrpPrinters::Clear()
{
    printers_.clear();
    names_.clear();
    printerIndex_ = -1;
}

void TrpPrinters::FillPrinters()
{
    Clear();
    defaultName_.clear();
    hasPhysicalPrinters_ = false;
    const TrpEngineServices& services = EngineServices();
    const TrpPdfFilePrinterMode pdfMode = services.PdfFilePrinter;
    if (pdfMode != TrpPdfFilePrinterMode::Forced && services.PrinterNames && services.CreatePrinter) {
        for (const QString& name : services.PrinterNames()) {
            std::unique_ptr<TrpCustomPrinter> printer = services.CreatePrinter(name);
            if (printer == nullptr)
                continue;
            printers_.push_back(std::move(printer));
            names_.append(name);
        }
        if (!printers_.empty() && services.DefaultPrinterName)
            defaultName_ = services.DefaultPrinterName();
    }
    if (pdfMode != TrpPdfFilePrinterMode::Off) {
        printers_.push_back(std::make_unique<TrpPdfFilePrinter>());
        names_.append(PdfFilePrinterName());
        if (defaultName_.isEmpty() || pdfMode == TrpPdfFilePrinterMode::Forced)
            defaultName_ = PdfFilePrinterName();
    }
    if (!printers_.empty()) {
        hasPhysicalPrinters_ = true;
        SetPrinterIndex(-1);
        if (printerIndex_ == -1)
            SetPrinterIndex(0);
        return;
    }
    printers_.push_back(std::make_unique<TrpVirtualPrinter>(ResourceText(u"prVirtual")));
    SetPrinterIndex(0);
}

int32_t TrpPrinters::IndexOf(const QString& name) const
{
    for (qsizetype i = 0; i < names_.size(); ++i) {
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int32_t>(i);
    }
    return -1;
}

void TrpPrinters::SetPrinterIndex(int32_t value)
{
    printerIndex_ = value == -1 ? IndexOf(defaultName_) : value;
    if (TrpCustomPrinter* printer = Printer())
        printer->Init();
}

TrpCustomPrinter* TrpPrinters::Printer() const
{
    return (*this)[printerIndex_];
}

TrpCustomPrinter* TrpPrinters::operator[](int32_t index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return printers_[static_cast<size_t>(index)].get();
}

TrpPrinters& GetPrintersInstance()
{
    std::unique_ptr<TrpPrinters>& instance = PrintersInstance();
    if (instance == nullptr)
        instance = std::make_unique<TrpPrinters>();
    return *instance;
}

void ResetPrintersInstance()
{
    PrintersInstance().reset();
}

QString PdfFilePrinterName()
{
    return ResourceText(u"prPdfFile");
}

QString PaperSizeName(int32_t code)
{
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id != QPageSize::Custom)
        return QPageSize::name(id);
    double width = 0;
    double height = 0;
    if (!LookupPaperDimensions(code, width, height))
        return QString();
    return QStringLiteral("%1 x %2 mm").arg(width).arg(height);
}
