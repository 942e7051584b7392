#include "rpPrinterQt.h"

#include "report/core/Rounding.h"
#include "report/core/Services.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QMetaEnum>
#include <QPageSetupDialog>
#include <QPageSize>

#include <algorithm>

namespace {

constexpr double kMillimetresPerInch = 25.4;

// Bin codes of the print options for Qt's paper sources, in the order of Qt's enumeration.
struct SourceCode {
    QPrinter::PaperSource source;
    int32_t code;
};
constexpr SourceCode kSourceCodes[] = {
    {QPrinter::OnlyOne, 1},          {QPrinter::Lower, 2},
    {QPrinter::Middle, 3},          {QPrinter::Manual, 4},
    {QPrinter::Envelope, 5},      {QPrinter::EnvelopeManual, 6},
    {QPrinter::Auto, kDefaultBin},    {QPrinter::Tractor, 8},
    {QPrinter::SmallFormat, 9}, {QPrinter::LargeFormat, 10},
    {QPrinter::LargeCapacity, 11}, {QPrinter::Cassette, 14},
    {QPrinter::FormSource, 15},
};

// Whole millimetres, as the sizes and margins of a printer are given.
double WholeMillimetres(double value)
{
    return RoundHalfEven(value);
}

} // namespace

int32_t BinCodeOfPaperSource(QPrinter::PaperSource source)
{
    for (const SourceCode& entry : kSourceCodes) {
        if (entry.source == source)
            return entry.code;
    }
    return kDefaultBin;
}

QPrinter::PaperSource PaperSourceOfBinCode(int32_t code)
{
    for (const SourceCode& entry : kSourceCodes) {
        if (entry.code == code)
            return entry.source;
    }
    return QPrinter::Auto;
}

TrpPrinter::TrpPrinter(const QPrinterInfo& info) : TrpCustomPrinter(info.printerName(), info.location()), info_(info)
{
}

TrpPrinter::~TrpPrinter()
{
    if (canvas_->isActive())
        canvas_->end();
}

void TrpPrinter::Init()
{
    if (initialized_)
        return;
    auto printer = std::make_unique<QPrinter>(info_, QPrinter::HighResolution);
    if (!printer->isValid())
        return;
    printer->setFullPage(true);
    printer_ = std::move(printer);
    if (!ReadCapabilities()) {
        printer_.reset();
        return;
    }
    const QPageSize defaultSize = info_.defaultPageSize();
    const int32_t defaultCode = defaultSize.isValid() ? defaultSize.windowsId() : kPaperA4;
    defPaper_ = defaultCode;
    defPaperWidth_ = paperWidth_;
    defPaperHeight_ = paperHeight_;
    defOrientation_ = printer_->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
    paper_ = defPaper_;
    orientation_ = defOrientation_;
    defBin_ = BinCodeOfPaperSource(printer_->paperSource());
    defDuplex_ = 0;

    for (const QPageSize& size : info_.supportedPageSizes()) {
        const int32_t code = size.windowsId();
        if (code <= 0 || code >= kPaperCustom)
            continue;
        papers_.push_back({size.name(), code});
    }
    if (papers_.size() == 1)
        AddTablePapers(true);
    // Qt's printing interface does not list a queue's input slots: the bins are "prDefault"
    // only, and a bin a page asks for reaches the queue as Qt's paper source.
    pending_ = printer_->pageLayout();
    bin_ = -1;
    duplex_ = -1;
    initialized_ = true;
}

bool TrpPrinter::ReadCapabilities()
{
    const int resolution = printer_->resolution();
    if (resolution <= 0) {
        ErrorMessageBox(GetResourcesInstance().Get(u"prNotValid"));
        return false;
    }
    dpi_ = QPoint(resolution, resolution);
    QPageLayout layout = printer_->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QRectF full = layout.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = layout.minimumMargins();
    paperWidth_ = WholeMillimetres(full.width());
    paperHeight_ = WholeMillimetres(full.height());
    leftMargin_ = WholeMillimetres(margins.left());
    topMargin_ = WholeMillimetres(margins.top());
    rightMargin_ = WholeMillimetres(margins.right());
    bottomMargin_ = WholeMillimetres(margins.bottom());
    return true;
}

QPageLayout TrpPrinter::LayoutFor(int32_t code, double width, double height, TPrinterOrientation orientation) const
{
    const QPageLayout::Orientation qtOrientation =
        orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    QPageSize size;
    if (code != kPaperCustom)
        size = QPageSize(QPageSize::id(code));
    if (!size.isValid() || code == kPaperCustom) {
        // Width and height are given in the orientation; the size is portrait.
        const QSizeF portrait = orientation == poLandscape ? QSizeF(height, width) : QSizeF(width, height);
        size = QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    }
    return QPageLayout(size, qtOrientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void TrpPrinter::SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                               TPrinterOrientation orientation)
{
    if (printer_ == nullptr)
        return;
    if (paperSize == kPaperCustom) {
        SetViewParams(kPaperA4, 0, 0, orientation);
        paper_ = kPaperCustom;
        paperWidth_ = paperWidth;
        paperHeight_ = paperHeight;
        return;
    }
    if (!printer_->setPageLayout(LayoutFor(paperSize, paperWidth, paperHeight, orientation)) || !ReadCapabilities())
        return;
    paper_ = paperSize;
    orientation_ = orientation;
}

void TrpPrinter::SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight,
                                TPrinterOrientation orientation, int32_t bin, int32_t duplex, int32_t copies)
{
    if (printer_ == nullptr)
        return;
    pending_ = LayoutFor(paperSize, paperWidth, paperHeight, orientation);
    if (!printing_)
        printer_->setPageLayout(pending_);
    printer_->setCopyCount(std::max(1, copies));
    // Uncollated copies: collated ones are printed as passes.
    printer_->setCollateCopies(false);
    int32_t source = bin;
    if (bin == kDefaultBin)
        source = bin_ >= 0 ? bin_ : defBin_;
    printer_->setPaperSource(PaperSourceOfBinCode(source));
    QPrinter::DuplexMode mode = QPrinter::DuplexAuto;
    switch (duplex) {
    case 1: mode = QPrinter::DuplexLongSide; break;
    case 2: mode = QPrinter::DuplexShortSide; break;
    case 3: mode = QPrinter::DuplexNone; break;
    default: break;
    }
    // The properties dialog's choice, as the device numbers it: 1 one-sided, 2 long edge, 3 short.
    switch (duplex_) {
    case 1: mode = QPrinter::DuplexNone; break;
    case 2: mode = QPrinter::DuplexLongSide; break;
    case 3: mode = QPrinter::DuplexShortSide; break;
    default: break;
    }
    printer_->setDuplex(mode);
    paper_ = paperSize;
    orientation_ = orientation;
    // The sizes of the paper to come.
    QPageLayout layout = pending_;
    const QRectF full = layout.fullRect(QPageLayout::Millimeter);
    if (paperSize == kPaperCustom) {
        paperWidth_ = paperWidth;
        paperHeight_ = paperHeight;
    } else {
        paperWidth_ = WholeMillimetres(full.width());
        paperHeight_ = WholeMillimetres(full.height());
    }
    if (!printing_)
        ReadCapabilities();
}

void TrpPrinter::BeginDoc()
{
    if (printer_ == nullptr)
        throw platform::Exception(GetResourcesInstance().Get(u"prNotValid").toStdString());
    printer_->setDocName(Title.isEmpty() ? QString::fromLatin1(kDefaultJobTitle) : Title);
    if (FileName.isEmpty()) {
        printer_->setOutputFileName(QString());
    } else {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(FileName);
    }
    printing_ = true;
    pageStarted_ = false;
}

void TrpPrinter::BeginPage()
{
    if (!printing_)
        return;
    printer_->setPageLayout(pending_);
    if (!pageStarted_) {
        if (!canvas_->begin(printer_.get())) {
            printing_ = false;
            throw platform::Exception(GetResourcesInstance().Get(u"prNotValid").toStdString());
        }
        pageStarted_ = true;
    } else {
        printer_->newPage();
    }
    // Drawing measures from the printable corner.
    canvas_->resetTransform();
    canvas_->translate(leftMargin_ * dpi_.x() / kMillimetresPerInch, topMargin_ * dpi_.y() / kMillimetresPerInch);
}

void TrpPrinter::EndPage() {}

void TrpPrinter::EndDoc()
{
    if (canvas_->isActive())
        canvas_->end();
    printing_ = false;
    pageStarted_ = false;
    bin_ = -1;
    duplex_ = -1;
    if (printer_ != nullptr) {
        printer_->setPaperSource(PaperSourceOfBinCode(defBin_));
        printer_->setDuplex(QPrinter::DuplexAuto);
        printer_->setOutputFileName(QString());
        printer_->setOutputFormat(QPrinter::NativeFormat);
    }
}

void TrpPrinter::Abort()
{
    if (printer_ != nullptr && printing_)
        printer_->abort();
    EndDoc();
}

void TrpPrinter::PropertiesDlg()
{
    if (printer_ == nullptr)
        return;
    const QPrinter::DuplexMode before = printer_->duplex();
    QPageSetupDialog dialog(printer_.get());
    if (ReportServices::Ui().RunModal(dialog, QStringLiteral("QPageSetupDialog")) != mrOk)
        return;
    bin_ = BinCodeOfPaperSource(printer_->paperSource());
    if (printer_->duplex() != before) {
        switch (printer_->duplex()) {
        case QPrinter::DuplexNone: duplex_ = 1; break;
        case QPrinter::DuplexLongSide: duplex_ = 2; break;
        case QPrinter::DuplexShortSide: duplex_ = 3; break;
        default: break;
        }
    }
    pending_ = printer_->pageLayout();
    ReadCapabilities();
}
