// The picture path: a view the writer's operators cannot express is drawn into a bitmap,
// encoded as JPEG and placed as an image object, written once per page.

#include "rpExportPDF.h"

#include "rpCrypto.h"

#include "report/core/Rounding.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpUtils.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The offset of the drawn rectangle against the view's own one, along one axis.
double DrawnOffset(double drawn, double size, double position, double realStart, double realEnd)
{
    if (drawn == size || position == realStart)
        return 0;
    return realEnd != position + size ? (drawn - size) / 2 : drawn - size;
}

} // namespace

QByteArray TrpPDFExport::EncodeJpeg(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    // Always three components: the image is declared /DeviceRGB.
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888)))
        throw EReportError(writer.errorString().toStdString());
    return bytes;
}

void TrpPDFExport::ExportPicture(TrpView& view)
{
    TrpFrame& frame = view.Frame();
    const double frameWidth = frame.Width();
    if (frameWidth > 0)
        frame.SetWidth(0);
    QImage image;
    double dx = 0;
    double dy = 0;
    double ox = 0;
    double oy = 0;
    const bool barCode = view.ScriptClass().Name == QStringLiteral("TrpBarCodeView");
    const bool vector = dynamic_cast<TrpCustomLineView*>(&view) != nullptr || dynamic_cast<TrpShapeView*>(&view) != nullptr;
    try {
        const TrpRect real = view.GetRealBounds();
        dx = real.Right - real.Left;
        dy = real.Bottom - real.Top;
        ox = DrawnOffset(dx, view.Width(), view.AbsLeft(), real.Left, real.Right);
        oy = DrawnOffset(dy, view.Height(), view.AbsTop(), real.Top, real.Bottom);
        const bool plainBrush = view.BrushStyle == bsSolid || view.BrushStyle == bsClear;
        double s = (PrintOptimized || dynamic_cast<TrpCustomMemoView*>(&view) != nullptr) && plainBrush ? 3 : 1;
        double margin = 0;
        if (barCode && !PrintOptimized) {
            s = 2;
            margin = 2;
        }
        image = QImage(static_cast<int>(s + RoundHalfEven(s * dx)), static_cast<int>(s + RoundHalfEven(s * dy)),
                       QImage::Format_RGB888);
        image.fill(Qt::white);
        QPainter painter(&image);
        try {
            view.Draw(painter, s, s, margin - RoundHalfEven((view.AbsLeft() - ox) * s),
                      -RoundHalfEven((view.AbsTop() - oy) * s), TrpDrawContext{});
        } catch (...) {
            // The picture keeps what was drawn.
        }
    } catch (...) {
        if (frameWidth > 0)
            frame.SetWidth(frameWidth);
        throw;
    }
    if (frameWidth > 0)
        frame.SetWidth(frameWidth);
    if (image.isNull())
        return;

    const QByteArray jpeg = EncodeJpeg(image, barCode || vector ? 95 : 90);
    std::array<uint8_t, 16> hash{};
    TCryptoHash::Hash("MD5", hash, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(jpeg.constData()),
                                                            static_cast<size_t>(jpeg.size())));
    size_t index = 0;
    while (index < FXObjects.size() && FXObjects[index].Hash != hash)
        ++index;
    if (index == FXObjects.size()) {
        const int o = UpdateXRef();
        FXObjects.push_back(XObject{o, hash});
        Line(Header(o));
        Line("<<");
        Line("/Type /XObject");
        Line("/Subtype /Image");
        Line("/ColorSpace /DeviceRGB");
        Line("/BitsPerComponent 8");
        Line("/Filter /DCTDecode");
        Line("/Width " + QByteArray::number(image.width()));
        Line("/Height " + QByteArray::number(image.height()));
        Line("/Length " + QByteArray::number(jpeg.size()));
        Line(">>");
        Write("stream\r\n");
        Write(Crypted(jpeg, o));
        Write("\r\nendstream\r\n");
        Line("endobj");
        FPicTotalSize += jpeg.size();
    }
    if (std::find(FUsedXObjects.begin(), FUsedXObjects.end(), index) == FUsedXObjects.end())
        FUsedXObjects.push_back(index);
    OutStream += "q\r\n" + Fixed(dx * 0.75) + " 0 0 " + Fixed(dy * 0.75) + ' ' + Fixed(X(view.AbsLeft() - ox)) + ' ' +
                 Fixed(Y(view.AbsTop() - oy + dy)) + " cm\r\n";
    OutStream += "/Im" + QByteArray::number(static_cast<qsizetype>(index)) + " Do\r\nQ\r\n";
    ExportFrameLines(view);
}
