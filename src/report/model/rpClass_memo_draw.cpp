// Drawing and measuring of memos: the text rectangle inside frame and gaps, the renderer
// prepared with the memo's font, options and gaps, underlines, and the heights and widths
// the text needs.

#include "ModelRuntime.h"
#include "rpClass_datasets.h"
#include "rpClass_memo.h"
#include "rpGraphicUtils.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

// The box a text is measured in when its width is free.
constexpr double kFreeLayoutSize = 10000;

bool HasSide(const TrpFrame& frame, TrpFrameType side)
{
    return (frame.Typ & (1u << side)) != 0;
}

TrpDrawFont DrawFontOf(const TrpFont& font)
{
    TrpDrawFont result;
    result.Name = font.Name();
    result.Size = font.Size();
    result.Style = font.Style();
    result.Color = font.Color();
    result.Charset = font.Charset();
    return result;
}

QRectF ToRectF(const TrpDeviceRect& rect)
{
    return QRectF(rect.X, rect.Y, rect.DX(), rect.DY());
}

} // namespace

TrpDrawText& TrpCustomMemoView::Renderer()
{
    // The report's own renderer comes with the report run; until then every memo shares the
    // process-wide one.
    return ModelRuntime::SharedDrawText();
}

double TrpCustomMemoView::HorizontalPadding() const
{
    const TrpFrame& frame = Frame();
    double result = 2 * GapX;
    if (HasSide(frame, ftLeft))
        result += (frame.Width() - 1) / 2;
    if (HasSide(frame, ftRight))
        result += frame.Width() / 2;
    if (frame.DropShadow)
        result += frame.ShadowWidth;
    return result;
}

double TrpCustomMemoView::VerticalPadding() const
{
    const TrpFrame& frame = Frame();
    double result = 2 * GapY;
    if (HasSide(frame, ftTop))
        result += (frame.Width() - 1) / 2;
    if (HasSide(frame, ftBottom))
        result += frame.Width() / 2;
    if (frame.DropShadow)
        result += frame.ShadowWidth;
    return result;
}

TrpDeviceRect TrpCustomMemoView::ComputeTextRect(double scaleX, double scaleY, double offsetX, double offsetY)
{
    TrpView::SetDrawParams(scaleX, scaleY, offsetX, offsetY);
    const TrpFrame& frame = Frame();
    const double fwX = scaleX * frame.Width();
    const double fwY = scaleY * frame.Width();
    int left = FRect.X;
    int top = FRect.Y;
    int right = FRect.X1;
    int bottom = FRect.Y1;
    if (HasSide(frame, ftLeft))
        left += RoundToDevice((fwX - 1) / 2);
    if (HasSide(frame, ftRight))
        right -= RoundToDevice(fwX / 2);
    if (HasSide(frame, ftTop))
        top += RoundToDevice((fwY - 1) / 2);
    if (HasSide(frame, ftBottom))
        bottom -= RoundToDevice(fwY / 2);
    const int gx = RoundToDevice(scaleX * GapX);
    const int gy = RoundToDevice(scaleY * GapY);
    return TrpDeviceRect{left + gx, top + gy, right - gx + 1, bottom - gy + 1};
}

void TrpCustomMemoView::SetDrawParams(double scaleX, double scaleY, double offsetX, double offsetY)
{
    FTextRect = ComputeTextRect(scaleX, scaleY, offsetX, offsetY);
}

QStringList TrpCustomMemoView::DrawnLines() const
{
    if (IsDesigning() && IsDataField()) {
        return {QStringLiteral("[") + DataSetName() + QStringLiteral(".\"") + DataField + QStringLiteral("\"]")};
    }
    QStringList lines;
    Memo().AssignTo(lines);
    return lines;
}

void TrpCustomMemoView::SetRendererStyle(TrpDrawText& renderer)
{
    renderer.SetUseDefaultCharset(UseDefaultCharset);
    if (Highlight().Active) {
        renderer.SetFont(DrawFontOf(Highlight().Font()));
        Color = Highlight().Color;
    } else {
        renderer.SetFont(DrawFontOf(Font()));
    }
    renderer.SetOptions(WordWrap, AllowHTMLTags, RTLReading, WordBreak, Clipped, Wysiwyg, Rotation());
    renderer.SetGaps(ParagraphGap, CharSpacing, LineSpacing);
}

void TrpCustomMemoView::PrepareRenderer(TrpDrawText& renderer, double scaleX, double scaleY, double offsetX,
                                        double offsetY, double printScale)
{
    SetRendererStyle(renderer);
    const QStringList lines = DrawnLines();
    ApplyAutoWidthLocked(renderer);
    const TrpDeviceRect scaled = ComputeTextRect(scaleX, scaleY, offsetX, offsetY);
    const TrpDeviceRect original = ComputeTextRect(1, 1, 0, 0);
    FTextRect = original;
    renderer.SetDimensions(scaleX, scaleY, printScale, ToRectF(original), ToRectF(scaled));
    renderer.SetText(lines);
    renderer.SetParaBreaks(FirstParaBreak, LastParaBreak);
    // The view's rectangle at the drawing scale for background, frame and underlines.
    TrpView::SetDrawParams(scaleX, scaleY, offsetX, offsetY);
}

void TrpCustomMemoView::ApplyAutoWidthLocked(TrpDrawText& renderer)
{
    if (!AutoWidth || IsDesigning())
        return;
    const QRectF free(0, 0, kFreeLayoutSize, kFreeLayoutSize);
    renderer.SetDimensions(1, 1, 1, free, free);
    renderer.SetText(DrawnLines());
    const double oldWidth = Width();
    const double newWidth = renderer.CalcWidth() + HorizontalPadding();
    SetWidth(newWidth);
    if (HAlign == haRight)
        SetLeft(Left() + (oldWidth - newWidth));
    else if (HAlign == haCenter)
        SetLeft(Left() + (oldWidth - newWidth) / 2);
    if (TrpComponent* parent = Parent())
        parent->AlignChildren();
}

void TrpCustomMemoView::ApplyAutoWidth()
{
    if (!AutoWidth || IsDesigning())
        return;
    // The style may take the highlight's colour; the memo keeps its own.
    const int32_t savedColor = Color;
    TrpDrawText& renderer = Renderer();
    {
        std::lock_guard lock(renderer.Mutex());
        SetRendererStyle(renderer);
        ApplyAutoWidthLocked(renderer);
    }
    Color = savedColor;
}

void TrpCustomMemoView::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                             const TrpDrawContext& context)
{
    if (!IsDesigning())
        ExtractMacros();
    const int32_t savedColor = Color;
    TrpDrawText& renderer = Renderer();
    {
        std::lock_guard lock(renderer.Mutex());
        PrepareRenderer(renderer, scaleX, scaleY, offsetX, offsetY, context.Printing ? context.PrintScale : 1);
        DrawBackground(painter);
        DrawFrame(painter);
        if (Underlines && Rotation() == 0) {
            const double lineHeight = renderer.LineHeight() * scaleY;
            if (lineHeight > 0) {
                painter.save();
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.setPen(QPen(ToQColor(Frame().Color()), FFrameWidth, Qt::SolidLine, Qt::SquareCap));
                for (double y = FRect.Y + (GapY - LineSpacing + 1) * scaleY + lineHeight; y < FRect.Y1;
                     y += lineHeight) {
                    const int row = RoundToDevice(y);
                    painter.drawLine(FRect.X, row, FRect.X1, row);
                }
                painter.restore();
            }
        }
        renderer.DrawText(painter, HAlign, VAlign, context);
    }
    Color = savedColor;
}

void TrpCustomMemoView::LayOutAtScaleOne(TrpDrawText& renderer, bool freeWidth)
{
    const int32_t savedColor = Color;
    SetRendererStyle(renderer);
    const QRectF box = freeWidth ? QRectF(0, 0, kFreeLayoutSize, kFreeLayoutSize) : ToRectF(ComputeTextRect(1, 1, 0, 0));
    renderer.SetDimensions(1, 1, 1, box, box);
    renderer.SetText(DrawnLines());
    Color = savedColor;
}

void TrpCustomMemoView::LayOutForExport(TrpDrawText& renderer, bool htmlTags)
{
    const int32_t savedColor = Color;
    SetRendererStyle(renderer);
    if (!htmlTags)
        renderer.SetOptions(WordWrap, false, RTLReading, WordBreak, Clipped, Wysiwyg, Rotation());
    FTextRect = ComputeTextRect(1, 1, 0, 0);
    const QRectF box = ToRectF(FTextRect);
    renderer.SetDimensions(1, 1, 1, box, box);
    renderer.SetText(DrawnLines());
    renderer.SetParaBreaks(FirstParaBreak, LastParaBreak);
    Color = savedColor;
}

double TrpCustomMemoView::CalcHeight()
{
    TrpDrawText& renderer = Renderer();
    std::lock_guard lock(renderer.Mutex());
    LayOutAtScaleOne(renderer, AutoWidth);
    return RoundToDevice(VerticalPadding() + renderer.CalcHeight());
}

double TrpCustomMemoView::CalcWidth()
{
    TrpDrawText& renderer = Renderer();
    std::lock_guard lock(renderer.Mutex());
    LayOutAtScaleOne(renderer, true);
    return RoundToDevice(HorizontalPadding() + renderer.CalcWidth());
}
