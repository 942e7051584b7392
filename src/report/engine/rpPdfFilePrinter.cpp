#include "rpPdfFilePrinter.h"

#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPdfPrinterDpi = 600;
constexpr double kMillimetresPerInch = 25.4;

int DevicePixels(double millimetres)
{
    return std::max(1, static_cast<int>(std::ceil(millimetres / kMillimetresPerInch * kPdfPrinterDpi)));
}

} // namespace

void TrpPdfSheet::SetSheet(int width, int height, int dpi)
{
    *static_cast<QPicture*>(this) = QPicture();
    width_ = width;
    height_ = height;
    dpi_ = dpi;
    setBoundingRect(QRect(0, 0, width, height));
}

int TrpPdfSheet::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return width_;
    case PdmHeight:
        return height_;
    case PdmWidthMM:
        return static_cast<int>(width_ * kMillimetresPerInch / dpi_);
    case PdmHeightMM:
        return static_cast<int>(height_ * kMillimetresPerInch / dpi_);
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return dpi_;
    default:
        return QPicture::metric(metric);
    }
}

TrpPdfFilePrinter::TrpPdfFilePrinter()
    : TrpCustomPrinter(PdfFilePrinterName(), QString()), recordingCanvas_(std::make_unique<TrpPrinterCanvas>(this))
{
}

TrpPdfFilePrinter::~TrpPdfFilePrinter()
{
    if (printing_)
        Finish(false);
}

void TrpPdfFilePrinter::Init()
{
    if (initialized_)
        return;
    dpi_ = QPoint(kPdfPrinterDpi, kPdfPrinterDpi);
    AddTablePapers(true);
    SetTablePaper(kPaperA4, 0, 0, poPortrait, 0);
    defPaper_ = kPaperA4;
    defPaperWidth_ = paperWidth_;
    defPaperHeight_ = paperHeight_;
    defOrientation_ = poPortrait;
    bin_ = -1;
    duplex_ = -1;
    initialized_ = true;
}

void TrpPdfFilePrinter::SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                                      TPrinterOrientation orientation)
{
    SetTablePaper(paperSize, paperWidth, paperHeight, orientation, 0);
}

void TrpPdfFilePrinter::SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight,
                                       TPrinterOrientation orientation, int32_t, int32_t, int32_t copies)
{
    SetTablePaper(paperSize, paperWidth, paperHeight, orientation, 0);
    copies_ = std::max(1, copies);
}

QPageLayout TrpPdfFilePrinter::CurrentLayout() const
{
    // The size is taken as it is in the current orientation, so a landscape sheet is a page
    // wider than high.
    const QPageSize size(QSizeF(paperWidth_, paperHeight_), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

void TrpPdfFilePrinter::BeginDoc()
{
    if (printing_)
        Finish(false);
    if (FileName.isEmpty())
        throw platform::Exception(GetResourcesInstance().Get(u"prNoPdfFileName").toStdString());
    auto file = std::make_unique<QSaveFile>(FileName);
    if (!file->open(QIODevice::WriteOnly))
        RaiseCannotCreate(FileName, file->errorString());
    file_ = std::move(file);
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setResolution(kPdfPrinterDpi);
    writer_->setTitle(Title.isEmpty() ? QString::fromLatin1(kDefaultJobTitle) : Title);
    writer_->setCreator(QStringLiteral("DaxConfig"));
    sheetsWritten_ = 0;
    printing_ = true;
}

void TrpPdfFilePrinter::NextFilePage()
{
    TrpPrinterCanvas& file = *ownCanvas_;
    writer_->setPageLayout(sheetLayout_);
    if (sheetsWritten_ == 0)
        file.begin(writer_.get());
    else
        writer_->newPage();
    file.resetTransform();
    file.setClipping(false);
    ++sheetsWritten_;
}

void TrpPdfFilePrinter::BeginPage()
{
    if (!printing_)
        return;
    if (pageOpen_)
        EndPage();
    sheetLayout_ = CurrentLayout();
    recording_ = copies_ > 1;
    if (recording_) {
        sheet_.SetSheet(DevicePixels(paperWidth_), DevicePixels(paperHeight_), kPdfPrinterDpi);
        recordingCanvas_->begin(&sheet_);
        canvas_ = recordingCanvas_.get();
    } else {
        NextFilePage();
        canvas_ = ownCanvas_.get();
    }
    pageOpen_ = true;
}

void TrpPdfFilePrinter::EndPage()
{
    if (!pageOpen_)
        return;
    pageOpen_ = false;
    canvas_ = ownCanvas_.get();
    if (!recording_)
        return;
    recordingCanvas_->end();
    TrpPrinterCanvas& file = *ownCanvas_;
    for (int32_t copy = 0; copy < copies_; ++copy) {
        NextFilePage();
        // A picture is played back scaled from the default screen resolution to the device's;
        // the sheet is recorded at the device's resolution already.
        file.save();
        const double undo = static_cast<double>(QPicture().logicalDpiX()) / writer_->logicalDpiX();
        file.scale(undo, undo);
        file.drawPicture(0, 0, sheet_);
        file.restore();
    }
}

void TrpPdfFilePrinter::EndDoc()
{
    if (pageOpen_)
        EndPage();
    Finish(true);
}

void TrpPdfFilePrinter::Abort()
{
    Finish(false);
}

void TrpPdfFilePrinter::Finish(bool keep)
{
    if (recordingCanvas_->isActive())
        recordingCanvas_->end();
    pageOpen_ = false;
    canvas_ = ownCanvas_.get();
    if (ownCanvas_->isActive())
        ownCanvas_->end();
    writer_.reset();
    std::unique_ptr<QSaveFile> file = std::move(file_);
    printing_ = false;
    if (file == nullptr)
        return;
    // A job without a sheet writes no file: an earlier one stays.
    if (!keep || sheetsWritten_ == 0) {
        file->cancelWriting();
        return;
    }
    if (!file->commit())
        RaiseCannotCreate(FileName, file->errorString());
}
