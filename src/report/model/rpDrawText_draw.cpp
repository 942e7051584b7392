// The drawing half of TrpDrawText: puts the laid-out lines on a device at the places the
// 600-dpi measurement gives.

#include "rpDrawText.h"

#include "rpDrawText_internal.h"
#include "rpGraphicUtils.h"

#include <QGlyphRun>
#include <QVarLengthArray>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace drawtext;

namespace {

// Device line steps beyond this are data errors; bounding them keeps the integer arithmetic
// of the drawing exact.
constexpr int64_t kMaxDeviceStep = int64_t{1} << 24;

int64_t Sum(std::span<const int> values)
{
    int64_t sum = 0;
    for (int value : values)
        sum += value;
    return sum;
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == QChar(0xA0);
}

} // namespace

void TrpDrawText::SpreadIncrements(std::span<int> values, int first, int last, int unit, int count)
{
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(values.size()) - 1);
    const int length = last - first + 1;
    if (length <= 0 || count <= 0)
        return;
    if (count >= length) {
        const int each = count / length;
        for (int i = first; i <= last; ++i)
            values[static_cast<std::size_t>(i)] += each * unit;
        count %= length;
        if (count == 0)
            return;
    }
    const int half = std::max(1, length / 2);
    if (count == 1) {
        values[static_cast<std::size_t>(first + half - 1)] += unit;
        return;
    }
    const int firstShare = count / 2;
    SpreadIncrements(values, first, first + half - 1, unit, firstShare);
    SpreadIncrements(values, first + half, last, unit, count - firstShare);
}

void TrpDrawText::DrawText(QPainter& Canvas, TrpHAlign HAlign, TrpVAlign VAlign, const TrpDrawContext& Context) const
{
    const int lineCount = LineCount();
    if (lineCount == 0 || !Canvas.isActive())
        return;
    const QPaintDevice* device = Canvas.device();
    const double dpiX = device != nullptr ? device->logicalDpiX() : FScrPPI;
    const double dpiY = device != nullptr ? device->logicalDpiY() : FScrPPI;
    const bool printing = Context.Printing;
    // Pixels per inch of the output font: the printer's resolution at the print scale, or
    // the screen's at the drawing scale.
    const double fontPixelsPerInch = printing ? dpiY * FPrintScale : FScaleY * FScrPPI;
    const int fontHeight = FontPixelSize(FFontSize, fontPixelsPerInch);

    // Line tops. With Wysiwyg every line lands where the measurement puts it: its top is the
    // measured position scaled to the device and rounded, so a text drawn at any zoom stays
    // within half a pixel of the same place.
    const int64_t plainStep = std::clamp<int64_t>(Nearest(FLineSpacing * FScaleY) + fontHeight, -kMaxDeviceStep, kMaxDeviceStep);
    const double lineHeightOnDevice =
        printing ? LineHeight() * kMeasureFactor * FPrintScale * dpiY / FDefPPI : LineHeight() * FScaleY;
    std::vector<int64_t> lineTops(static_cast<std::size_t>(lineCount), 0);
    for (int index = 1; index < lineCount; ++index)
        lineTops[static_cast<std::size_t>(index)] =
            FWysiwyg ? Nearest(lineHeightOnDevice * index) : lineTops[static_cast<std::size_t>(index) - 1] + plainStep;
    const double blockHeight = static_cast<double>(lineTops.back() + plainStep);

    // Origin, line width and the height available for vertical alignment, by rotation.
    const int theta = NormalizedRotation(FRotation);
    const double radians = theta * std::numbers::pi / 180;
    const double sinTheta = std::sin(radians);
    const double cosTheta = std::cos(radians);
    const double absSin = std::abs(sinTheta);
    const double absCos = std::abs(cosTheta);
    const double left = FScaledRect.left();
    const double top = FScaledRect.top();
    const double right = FScaledRect.right();
    const double bottom = FScaledRect.bottom();
    const double H = blockHeight;
    double x0 = left;
    double y0 = top;
    double lineWidth = right - left;
    double available = bottom - top;
    switch (theta) {
    case 0:
        break;
    case 90:
        y0 = bottom;
        lineWidth = bottom - top;
        available = right - left;
        break;
    case 180:
        x0 = right;
        y0 = bottom;
        break;
    case 270:
        x0 = right;
        lineWidth = bottom - top;
        available = right - left;
        break;
    default: {
        lineWidth = static_cast<double>(Nearest((right - left - absSin * H) / absCos));
        const double W = lineWidth;
        if (theta < 90) {
            y0 = top + Nearest(absSin * W);
            available = H + bottom - y0 - Nearest(absCos * H);
        } else if (theta < 180) {
            x0 = left + Nearest(absCos * W);
            y0 = bottom;
            available = H + bottom - top - Nearest(absCos * H + absSin * W);
        } else if (theta < 270) {
            x0 = right;
            y0 = bottom - Nearest(absSin * W);
            available = H + y0 - top - Nearest(absCos * H);
        } else {
            x0 = left + Nearest(absSin * H);
            available = H + bottom - top - Nearest(absSin * W + absCos * H);
        }
        break;
    }
    }
    if (VAlign == vaBottom || VAlign == vaCenter) {
        const double shift = VAlign == vaBottom ? available - H : (available - H) / 2;
        x0 += Nearest(shift * sinTheta);
        y0 += Nearest(shift * cosTheta);
    }

    Canvas.save();
    if (FOptions & 4)
        Canvas.setClipRect(FScaledRect, Qt::IntersectClip);
    Canvas.translate(x0, y0);
    if (theta != 0)
        Canvas.rotate(-theta);
    const QColor defaultColor = ToQColor(FFont.Color);
    const int64_t deviceSpacing = Nearest(FCharSpacing * FScaleX);
    const int64_t spacing600 = CharSpacing600();

    for (int index = 0; index < lineCount; ++index) {
        const int64_t lineTop = lineTops[static_cast<std::size_t>(index)];
        const TextLine& line = FText[static_cast<std::size_t>(index)];
        const QStringView text(line.Text);
        const int count = static_cast<int>(text.size());
        const std::vector<TextRun> runs = LineRuns(index);

        // Character advances: with Wysiwyg each character starts at its measured position
        // scaled to the device and rounded; otherwise the device font's own widths.
        std::vector<int> advances(static_cast<std::size_t>(count), 0);
        std::vector<QRawFont> fonts;
        fonts.reserve(runs.size());
        for (const TextRun& run : runs)
            fonts.push_back(ReportRawFont(FaceFor(run.Tag.Style), FontPixelSize(run.Tag.Size, fontPixelsPerInch)));
        if (FWysiwyg) {
            const std::vector<int32_t> measured = MeasureWidths(text, FHTMLTags[index]);
            const double factor = printing ? FPrintScale * dpiX / FDefPPI : FScaleX / kMeasureFactor;
            int64_t measuredEnd = 0;
            int64_t deviceStart = 0;
            for (int i = 0; i < count; ++i) {
                measuredEnd += measured[static_cast<std::size_t>(i)] + spacing600;
                const int64_t deviceEnd = Nearest(static_cast<double>(measuredEnd) * factor);
                advances[static_cast<std::size_t>(i)] = ClampToInt(deviceEnd - deviceStart);
                deviceStart = deviceEnd;
            }
        } else {
            for (std::size_t r = 0; r < runs.size(); ++r) {
                const TextRun& run = runs[r];
                std::vector<int32_t> widths(static_cast<std::size_t>(run.Length));
                RunCharWidths(fonts[r], text.sliced(run.Start, run.Length), widths.data());
                for (int i = 0; i < run.Length; ++i)
                    advances[static_cast<std::size_t>(run.Start + i)] =
                        ClampToInt(widths[static_cast<std::size_t>(i)] + deviceSpacing);
            }
        }
        const int64_t textWidth = Sum(advances);

        // Horizontal place.
        int64_t indent = 0;
        int64_t width = static_cast<int64_t>(std::llround(lineWidth));
        if ((line.Flags & kFirstLineOfParagraph) && (HAlign == haLeft || HAlign == haBlock)) {
            indent = Nearest(FParagraphGap * FScaleX);
            width -= indent;
        }
        TrpHAlign align = HAlign;
        if (align == haBlock && (line.Flags & kLastLineOfParagraph))
            align = FRTLReading ? haRight : haLeft;
        const int64_t freeSpace = width - textWidth;
        int64_t x = indent;
        if (align == haRight) {
            const bool slanted = !runs.empty() && (runs.front().Tag.Style & (kTextStyleBold | kTextStyleItalic)) != 0;
            x = indent + freeSpace - (slanted && theta == 0 ? 1 : 0);
        } else if (align == haCenter) {
            x = indent + Nearest(freeSpace / 2.0);
        } else if (align == haBlock && freeSpace > 0) {
            int blanks = 0;
            for (QChar c : text)
                blanks += IsBlank(c) ? 1 : 0;
            if (blanks > 0) {
                const int64_t each = freeSpace / blanks;
                int64_t remainder = freeSpace % blanks;
                for (int i = 0; i < count; ++i) {
                    if (!IsBlank(text[i]))
                        continue;
                    advances[static_cast<std::size_t>(i)] = ClampToInt(advances[static_cast<std::size_t>(i)] + each + (remainder > 0 ? 1 : 0));
                    if (remainder > 0)
                        --remainder;
                }
            }
        }

        // The runs, in reading order.
        std::vector<int64_t> runX(runs.size(), 0);
        int64_t position = x;
        for (std::size_t k = 0; k < runs.size(); ++k) {
            const std::size_t r = FRTLReading ? runs.size() - 1 - k : k;
            runX[r] = position;
            position += Sum(std::span<const int>(advances).subspan(static_cast<std::size_t>(runs[r].Start),
                                                                  static_cast<std::size_t>(runs[r].Length)));
        }
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const TextRun& run = runs[r];
            const QRawFont& font = fonts[r];
            const QStringView runText = text.sliced(run.Start, run.Length);
            QVarLengthArray<quint32, 256> glyphs(run.Length);
            int glyphCount = run.Length;
            if (!font.glyphIndexesForChars(runText.data(), run.Length, glyphs.data(), &glyphCount))
                continue;
            const double shift = static_cast<double>(Nearest(run.Tag.AddY * run.Tag.Size * FScaleY));
            const double baseline = static_cast<double>(lineTop) + shift + static_cast<double>(Nearest(font.ascent()));
            // Positions from the run's start, which is where underline and strike-out begin.
            QList<QPointF> positions;
            positions.reserve(glyphCount);
            int64_t offset = 0;
            for (int i = 0; i < run.Length; ++i) {
                if (!(i > 0 && runText[i].isLowSurrogate() && runText[i - 1].isHighSurrogate()) &&
                    positions.size() < glyphCount)
                    positions.append(QPointF(static_cast<double>(offset), baseline));
                offset += advances[static_cast<std::size_t>(run.Start + i)];
            }
            QGlyphRun glyphRun;
            glyphRun.setRawFont(font);
            glyphRun.setGlyphIndexes(QList<quint32>(glyphs.begin(), glyphs.begin() + positions.size()));
            glyphRun.setPositions(positions);
            const QColor color = ToQColor(run.Tag.Color, defaultColor);
            Canvas.setPen(color);
            Canvas.drawGlyphRun(QPointF(static_cast<double>(runX[r]), 0), glyphRun);
            // Underline and strike-out as lines of their own: Qt places a glyph run's own
            // decorations wrongly under a transformed painter.
            if (run.Tag.Style & (kTextStyleUnderline | kTextStyleStrikeOut)) {
                Canvas.setPen(QPen(color, std::max(1.0, std::round(font.lineThickness())), Qt::SolidLine, Qt::FlatCap));
                const double start = static_cast<double>(runX[r]);
                const double end = start + static_cast<double>(offset);
                if (run.Tag.Style & kTextStyleUnderline) {
                    const double y = baseline + std::max(1.0, std::round(font.underlinePosition()));
                    Canvas.drawLine(QPointF(start, y), QPointF(end, y));
                }
                if (run.Tag.Style & kTextStyleStrikeOut) {
                    const double y = baseline - std::round(font.xHeight() / 2);
                    Canvas.drawLine(QPointF(start, y), QPointF(end, y));
                }
            }
            if (Context.Sink != nullptr) {
                const QRectF local(static_cast<double>(runX[r]), static_cast<double>(lineTop) + shift,
                                   static_cast<double>(offset), font.ascent() + font.descent());
                Context.Sink->TextRun(runText.toString(), Canvas.deviceTransform().mapRect(local));
            }
        }
    }
    Canvas.restore();
}
