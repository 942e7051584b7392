// Drawing of the views: background, frame and drop shadow of every view, and the content of
// shapes, lines, pictures and check boxes. Everything lands on whole device pixels through
// RoundToDevice, with antialiasing off.

#include "rpChBox.h"
#include "rpClass_datasets.h"
#include "rpClass_pages.h"
#include "rpDsgnIntf.h"
#include "rpClass_views.h"
#include "rpGraphicUtils.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

bool HasSide(const TrpFrame& frame, TrpFrameType side)
{
    return (frame.Typ & (1u << side)) != 0;
}

// The view's colour to fill gaps and double lines with; invalid for no colour.
QColor FillColor(int32_t color)
{
    return color == clNone ? QColor() : ToQColor(color);
}

Qt::PenStyle DashedPenStyle(TrpFrameStyle style)
{
    switch (style) {
    case fsDash:
        return Qt::DashLine;
    case fsDot:
        return Qt::DotLine;
    case fsDashDot:
        return Qt::DashDotLine;
    case fsDashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

bool IsDashed(TrpFrameStyle style)
{
    return style == fsDash || style == fsDot || style == fsDashDot || style == fsDashDotDot;
}

} // namespace

// --- TrpView

void TrpView::SetDrawParams(double scaleX, double scaleY, double offsetX, double offsetY)
{
    FScaleX = scaleX;
    FScaleY = scaleY;
    FOffsetX = offsetX;
    FOffsetY = offsetY;
    SetDrawRect(AbsLeft(), AbsTop(), Width(), Height());
}

void TrpView::SetDrawRect(double absLeft, double absTop, double width, double height)
{
    FRect.X = RoundToDevice(FOffsetX + FScaleX * absLeft);
    FRect.Y = RoundToDevice(FOffsetY + FScaleY * absTop);
    FRect.X1 = RoundToDevice(FOffsetX + FScaleX * (absLeft + width));
    FRect.Y1 = RoundToDevice(FOffsetY + FScaleY * (absTop + height));
    if (frame_.DropShadow) {
        FRect.X1 = RoundToDevice(static_cast<double>(FRect.X1) - RoundToDevice(FScaleX * frame_.ShadowWidth));
        FRect.Y1 = RoundToDevice(static_cast<double>(FRect.Y1) - RoundToDevice(FScaleY * frame_.ShadowWidth));
    }
    FFrameWidth = RoundToDevice(FScaleX * frame_.Width());
}

void TrpView::DrawBackground(QPainter& painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (Color != clNone)
        painter.fillRect(QRect(FRect.X, FRect.Y, FRect.DX(), FRect.DY()), ToQColor(Color));
    if (BrushStyle >= bsHorizontal && BrushStyle <= bsDiagCross && frame_.Color() != clNone) {
        const QBrush hatch(ToQColor(frame_.Color()), HatchPattern(BrushStyle - bsHorizontal));
        painter.fillRect(QRect(FRect.X, FRect.Y, FRect.DX() + 1, FRect.DY() + 1), hatch);
    }
    painter.restore();
}

void TrpView::DrawFrame(QPainter& painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (frame_.DropShadow) {
        DrawDropShadow(painter, FRect, RoundToDevice(frame_.ShadowWidth * FScaleX),
                       RoundToDevice(frame_.ShadowWidth * FScaleY), ToQColor(frame_.ShadowColor));
    }
    if (frame_.Typ == 0 || frame_.Color() == clNone || FFrameWidth == 0) {
        painter.restore();
        return;
    }
    const bool left = HasSide(frame_, ftLeft);
    const bool right = HasSide(frame_, ftRight);
    const bool top = HasSide(frame_, ftTop);
    const bool bottom = HasSide(frame_, ftBottom);
    const QColor fill = FillColor(Color);

    const auto drawSide = [&](const TrpFrameLine& line, TrpFrameSide side) {
        const int width = RoundToDevice(line.Width * FScaleX);
        const QColor color = ToQColor(line.Color);
        switch (line.Style) {
        case fsSolid:
            DrawSolidSide(painter, side, width, color);
            break;
        case fsDouble:
            DrawDoubleSide(painter, side, width, color, fill);
            break;
        case fsAltDot:
        case fsSquare:
            DrawPatternSide(painter, side, width, color, fill, line.Style == fsSquare);
            break;
        default:
            DrawDashedSide(painter, side, width, color, DashedPenStyle(line.Style));
            break;
        }
    };
    // The pen a side is drawn with: its width for solid and double sides, one pixel for
    // dashed ones (the two end corrections below depend on it).
    const auto penWidth = [&](const TrpFrameLine& line) {
        return IsDashed(line.Style) ? 1 : RoundToDevice(line.Width * FScaleX);
    };

    if (left) {
        TrpFrameSide side{QPoint(FRect.X, FRect.Y), QPoint(FRect.X, FRect.Y1), top, bottom, -1};
        if (penWidth(frame_.LeftLine()) == 2 && frame_.LeftLine().Style != fsSolid)
            side.From.ry() -= 1;
        drawSide(frame_.LeftLine(), side);
    }
    if (right)
        drawSide(frame_.RightLine(), {QPoint(FRect.X1, FRect.Y), QPoint(FRect.X1, FRect.Y1), top, bottom, 1});
    if (top)
        drawSide(frame_.TopLine(), {QPoint(FRect.X, FRect.Y), QPoint(FRect.X1, FRect.Y), left, right, -1});
    if (bottom) {
        TrpFrameSide side{QPoint(FRect.X, FRect.Y1), QPoint(FRect.X1, FRect.Y1), left, right, 1};
        if (penWidth(frame_.BottomLine()) == 1 && frame_.BottomLine().Style != fsSolid)
            side.To.rx() += 1;
        drawSide(frame_.BottomLine(), side);
    }
    painter.restore();
}

void TrpView::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                   const TrpDrawContext&)
{
    SetDrawParams(scaleX, scaleY, offsetX, offsetY);
    DrawBackground(painter);
    DrawFrame(painter);
}

// --- TrpShapeView

void TrpShapeView::DrawShape(QPainter& painter, TrpFrameStyle style)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const TrpFrame& frame = Frame();
    const QColor frameColor = ToQColor(frame.Color());
    QPen pen(frameColor, FFrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    if (frame.Color() == clNone) {
        pen = Qt::NoPen;
    } else if (style == fsAltDot) {
        // Left open by the style: dotted, as the style's name says.
        pen.setStyle(Qt::DotLine);
    } else if (style == fsSquare) {
        pen.setStyle(Qt::DashLine);
    } else {
        pen.setStyle(DashedPenStyle(style));
    }
    painter.setPen(pen);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(FillColor(Color).isValid() ? FillColor(Color) : QColor(Qt::white));

    const int corner = Curve != 0 ? RoundToDevice(Curve * FScaleX * 10) : std::min(FRect.DX(), FRect.DY()) / 4;
    const auto figure = static_cast<TrpFigure>(std::clamp<int>(Shape, skRectangle, skDiagonal2));
    const bool diagonal = figure == TrpFigure::Diagonal1 || figure == TrpFigure::Diagonal2;
    const auto drawOnce = [&] {
        if (diagonal) {
            // A thick line of one-pixel lines.
            QPen thin = painter.pen();
            if (thin.style() != Qt::NoPen)
                thin.setWidth(1);
            painter.setPen(thin);
        }
        DrawFigure(painter, figure, FRect, corner, FFrameWidth);
        painter.setPen(pen);
    };
    if (BrushStyle == bsSolid || BrushStyle == bsClear) {
        painter.setBrush(BrushStyle == bsSolid && Color != clNone ? QBrush(ToQColor(Color)) : QBrush(Qt::NoBrush));
        drawOnce();
    } else {
        if (Color != clNone) {
            painter.setBrush(ToQColor(Color));
            drawOnce();
        }
        painter.setBrush(QBrush(frameColor, HatchPattern(BrushStyle - bsHorizontal)));
        drawOnce();
    }
    painter.restore();
}

void TrpShapeView::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                        const TrpDrawContext&)
{
    SetDrawParams(scaleX, scaleY, offsetX, offsetY);
    if (Frame().Style() != fsDouble) {
        DrawShape(painter, Frame().Style());
        return;
    }
    // A double outline: the figure in a solid line, then again moved in by the frame width.
    DrawShape(painter, fsSolid);
    const double fw = Frame().Width();
    double left = AbsLeft() + 2 * fw;
    double top = AbsTop() + 2 * fw;
    double width = Width() - 4 * fw;
    double height = Height() - 4 * fw;
    switch (Shape) {
    case skTriangle:
        left = AbsLeft() + 4 * fw;
        top = AbsTop() + 4 * fw;
        width = Width() - 8 * fw;
        height = Height() - 6 * fw;
        break;
    case skDiamond:
        left = AbsLeft() + 3 * fw;
        top = AbsTop() + 3 * fw;
        width = Width() - 6 * fw;
        height = Height() - 6 * fw;
        break;
    case skDiagonal1:
    case skDiagonal2:
        top = AbsTop();
        width = Width();
        height = Height();
        break;
    default:
        break;
    }
    SetDrawRect(left, top, width, height);
    DrawShape(painter, fsSolid);
    SetDrawParams(scaleX, scaleY, offsetX, offsetY);
}

// --- TrpCustomLineView

void TrpCustomLineView::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                             const TrpDrawContext&)
{
    TrpFrame& frame = Frame();
    if (!Diagonal) {
        if (Width() <= Height()) {
            SetWidth(0);
            frame.Typ = 1u << ftLeft;
        } else {
            SetHeight(0);
            frame.Typ = 1u << ftTop;
        }
    }
    SetDrawParams(scaleX, scaleY, offsetX, offsetY);
    if (frame.Color() == clNone)
        return;
    const QColor color = ToQColor(frame.Color());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (Diagonal) {
        if (FFrameWidth != 0) {
            painter.setBrush(Color == clNone ? QBrush(Qt::NoBrush) : QBrush(ToQColor(Color)));
            const Qt::PenStyle style = frame.Style() == fsDouble ? Qt::SolidLine : DashedPenStyle(frame.Style());
            painter.setPen(QPen(QBrush(color), 1, style, Qt::FlatCap));
            DrawThickLine(painter, QPoint(FRect.X, FRect.Y), QPoint(FRect.X1, FRect.Y1), FFrameWidth);
        }
    } else {
        DrawFrame(painter);
    }
    const double length = ArrowLength * FScaleX;
    const double width = ArrowWidth * FScaleX;
    painter.setPen(QPen(QBrush(color), std::max(FFrameWidth, 1), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF start(FRect.X, FRect.Y);
    const QPointF end(FRect.X1, FRect.Y1);
    if (ArrowStart)
        DrawArrowHead(painter, ArrowHeadPoints(start, end, length, width), ArrowSolid, color);
    if (ArrowEnd)
        DrawArrowHead(painter, ArrowHeadPoints(end, start, length, width), ArrowSolid, color);
    painter.restore();
}

// --- TrpPictureView

void TrpPictureView::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                          const TrpDrawContext&)
{
    SetDrawParams(scaleX, scaleY, offsetX, offsetY);
    DrawBackground(painter);
    if (!picture_.IsEmpty()) {
        const QString& kind = picture_.Kind();
        const QImage image = IsMetafileKind(kind) ? QImage() : DecodePicture(kind, picture_.Data());
        const int32_t pictureWidth = picture_.Width();
        const int32_t pictureHeight = picture_.Height();
        int left = FRect.X;
        int top = FRect.Y;
        int right = FRect.X1;
        int bottom = FRect.Y1;
        painter.save();
        if (Stretched) {
            if (KeepAspectRatio && pictureWidth > 0 && pictureHeight > 0) {
                const double kx = static_cast<double>(FRect.DX()) / pictureWidth;
                const double ky = static_cast<double>(FRect.DY()) / pictureHeight;
                if (ky > kx)
                    bottom = RoundToDevice(top + pictureHeight * kx);
                else
                    right = RoundToDevice(left + pictureWidth * ky);
                if (Center) {
                    const int dx = (FRect.DX() - (right - left)) / 2;
                    const int dy = (FRect.DY() - (bottom - top)) / 2;
                    left += dx;
                    right += dx;
                    top += dy;
                    bottom += dy;
                }
            }
        } else {
            painter.setClipRect(QRect(FRect.X, FRect.Y, FRect.DX(), FRect.DY()), Qt::IntersectClip);
            const int scaledWidth = RoundToDevice(FScaleX * pictureWidth);
            const int scaledHeight = RoundToDevice(FScaleY * pictureHeight);
            if (Center) {
                left += (FRect.DX() - scaledWidth) / 2;
                top += (FRect.DY() - scaledHeight) / 2;
            }
            right = left + scaledWidth;
            bottom = top + scaledHeight;
        }
        DrawGraphic(painter, QRect(left, top, right - left, bottom - top), kind, image, TransparentColor,
                    transparent_, HightQuality);
        painter.restore();
    } else if (IsDesigning()) {
        DrawPictureSymbol(painter, FRect.X + 1, FRect.Y + 2);
    }
    DrawFrame(painter);
}

// --- TrpCheckBoxView

TrpCheckMark TrpCheckBoxView::Mark() const
{
    if (Checked) {
        switch (CheckStyle) {
        case csCross:
            return TrpCheckMark::Cross;
        case csCheck:
            return TrpCheckMark::Tick;
        case csLineCross:
            return TrpCheckMark::LineCross;
        case csPlus:
            return TrpCheckMark::Plus;
        }
        return TrpCheckMark::None;
    }
    switch (UncheckStyle) {
    case usCross:
        return TrpCheckMark::Cross;
    case usLineCross:
        return TrpCheckMark::LineCross;
    case usMinus:
        return TrpCheckMark::Minus;
    case usEmpty:
        break;
    }
    return TrpCheckMark::None;
}

void TrpCheckBoxView::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                           const TrpDrawContext&)
{
    SetDrawParams(scaleX, scaleY, offsetX, offsetY);
    DrawBackground(painter);
    DrawCheckMark(painter, Mark(), FRect, ToQColor(CheckColor), FFrameWidth);
    DrawFrame(painter);
}

// --- Pages and subreports

void TrpReportPage::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                         const TrpDrawContext& context)
{
    TrpPictureView& back = *backPicture_;
    back.SetBounds(LeftMargin * kPixelsPerMillimetre, TopMargin * kPixelsPerMillimetre,
                   (PaperWidth() - LeftMargin - RightMargin) * kPixelsPerMillimetre,
                   (PaperHeight() - TopMargin - BottomMargin) * kPixelsPerMillimetre);
    if (BackPictureVisible && (!context.Printing || BackPicturePrintable))
        back.Draw(painter, scaleX, scaleY, offsetX, offsetY, context);
}

void TrpSubreport::Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                        const TrpDrawContext& context)
{
    TrpView::Draw(painter, scaleX, scaleY, offsetX, offsetY, context);
    painter.save();
    DrawTextLine(painter, FRect.X + 2, FRect.Y + 2, Name(), ReportQFont(Font(), scaleY),
                 ToQColor(Font().Color()), QColor(), context);
    painter.restore();
}

// --- Dialog components

void TrpDialogComponent::Draw(QPainter& painter, double, double, double, double, const TrpDrawContext& context)
{
    SetWidth(kDialogComponentSize);
    SetHeight(kDialogComponentSize);
    const int left = RoundToDevice(Left());
    const int top = RoundToDevice(Top());
    const int side = RoundToDevice(kDialogComponentSize);
    const QRect rect(left, top, side, side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, ToQColor(clBtnFace));
    DrawRaisedEdge(painter, rect);
    if (const TrpObjectItem* item = GetObjectRegistry().FindClass(&ScriptClass())) {
        const QImage image = ObjectImage(item->ButtonImageIndex);
        if (!image.isNull())
            painter.drawImage(QPoint(left + 6, top + 6), image);
    }
    TrpFont font;
    font.SetName(QStringLiteral("Tahoma"));
    font.SetSize(8);
    const QFont qfont = ReportQFont(font, 1);
    const int textWidth = QFontMetrics(qfont).horizontalAdvance(Name());
    // The window system colour behind the name.
    const QColor window = ToQColor(static_cast<TColor>(kSystemColorFlag | 5));
    DrawTextLine(painter, left - (textWidth - side) / 2, top + side + 4, Name(), qfont, Qt::black, window, context);
    painter.restore();
}
