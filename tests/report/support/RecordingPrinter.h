#pragma once

// A printer that prints nothing and writes down what it is asked (parameters, documents,
// sheets), and a prepared-page store that writes down each page drawn with its scales, offsets
// and the copy number and print scale of the moment, into the same log. Printing tests read the
// log as lines.

#include "report/engine/rpPreviewPages.h"
#include "report/engine/rpPrinter.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

namespace enginetest {

class RecordingPrinter : public TrpCustomPrinter {
public:
    // 600 dots per inch, the papers of the paper table, A4 portrait; the margins are those
    // given (millimetres) on every paper.
    explicit RecordingPrinter(QStringList& log, const QString& name = QStringLiteral("Recorder"), double left = 0,
                              double top = 0, double right = 0, double bottom = 0);

    void Init() override;
    void Abort() override;
    void BeginDoc() override;
    void BeginPage() override;
    void EndDoc() override;
    void EndPage() override;
    void SetViewParams(int32_t paperSize, double paperWidth, double paperHeight,
                       TPrinterOrientation orientation) override;
    void SetPrintParams(int32_t paperSize, double paperWidth, double paperHeight, TPrinterOrientation orientation,
                        int32_t bin, int32_t duplex, int32_t copies) override;
    void PropertiesDlg() override {}

private:
    void ApplyPaper(int32_t paperSize, double paperWidth, double paperHeight, TPrinterOrientation orientation);

    QStringList& log_;
    double margins_[4];
    QImage device_{1, 1, QImage::Format_RGB32};
};

// Writes "draw INDEX scale=SX,SY offset=OX,OY copy=C printscale=K" (two decimals) for each
// page drawn while printing, and draws nothing.
class DrawRecordingStore : public TrpPreviewPages {
public:
    DrawRecordingStore(TrpReport* report, QStringList& log) : TrpPreviewPages(report), log_(log) {}
    void DrawPage(int32_t index, QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                  const TrpDrawContext& context) override;

private:
    QStringList& log_;
};

} // namespace enginetest
