#include "RecordingPrinter.h"

#include "report/model/rpDrawContext.h"

#include <cmath>

namespace enginetest {

namespace {

QString Two(double value)
{
    // No "-0.00".
    return QString::number(std::abs(value) < 0.005 ? 0.0 : value, 'f', 2);
}

} // namespace

RecordingPrinter::RecordingPrinter(QStringList& log, const QString& name, double left, double top, double right,
                                   double bottom)
    : TrpCustomPrinter(name, QString()), log_(log), margins_{left, top, right, bottom}
{
}

void RecordingPrinter::Init()
{
    if (initialized_)
        return;
    dpi_ = QPoint(600, 600);
    AddTablePapers(true);
    ApplyPaper(kPaperA4, 0, 0, poPortrait);
    defPaperWidth_ = paperWidth_;
    defPaperHeight_ = paperHeight_;
    initialized_ = true;
}

void RecordingPrinter::ApplyPaper(int32_t paperSize, double paperWidth, double paperHeight,
                                  TPrinterOrientation orientation)
{
    SetTablePaper(paperSize, paperWidth, paperHeight, orientation, 0);
    leftMargin_ = margins_[0];
    topMargin_ = margins_[1];
    rightMargin_ = margins_[2];
    bottomMargin_ = margins_[3];
}

void RecordingPrinter::SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                                     TPrinterOrientation orientation)
{
    ApplyPaper(paperSize, paperWidth, paperHeight, orientation);
}

void RecordingPrinter::SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight,
                                      TPrinterOrientation orientation, int32_t bin, int32_t duplex, int32_t copies)
{
    ApplyPaper(paperSize, paperWidth, paperHeight, orientation);
    log_ << QStringLiteral("params %1 %2x%3 %4 bin=%5 duplex=%6 copies=%7")
                .arg(paperSize)
                .arg(paperWidth_)
                .arg(paperHeight_)
                .arg(orientation == poLandscape ? QStringLiteral("landscape") : QStringLiteral("portrait"))
                .arg(bin)
                .arg(duplex)
                .arg(copies);
}

void RecordingPrinter::BeginDoc()
{
    log_ << QStringLiteral("begin %1").arg(Title);
    canvas_->begin(&device_);
    printing_ = true;
}

void RecordingPrinter::BeginPage()
{
    log_ << QStringLiteral("page");
}

void RecordingPrinter::EndPage()
{
    log_ << QStringLiteral("endpage");
}

void RecordingPrinter::EndDoc()
{
    log_ << QStringLiteral("end");
    if (canvas_->isActive())
        canvas_->end();
    printing_ = false;
}

void RecordingPrinter::Abort()
{
    log_ << QStringLiteral("abort");
    if (canvas_->isActive())
        canvas_->end();
    printing_ = false;
}

void DrawRecordingStore::DrawPage(int32_t index, QPainter&, double scaleX, double scaleY, double offsetX,
                                  double offsetY, const TrpDrawContext& context)
{
    log_ << QStringLiteral("draw %1 scale=%2,%3 offset=%4,%5 copy=%6 printscale=%7 printing=%8")
                .arg(index)
                .arg(Two(scaleX), Two(scaleY), Two(offsetX), Two(offsetY))
                .arg(CopyNo())
                .arg(Two(context.PrintScale))
                .arg(context.Printing ? 1 : 0);
}

} // namespace enginetest
