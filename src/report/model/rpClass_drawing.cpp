#include "rpClass_drawing.h"

#include "rpGraphicUtils.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// The unit step along a side (sides are horizontal or vertical; a slanted one steps both).
QPoint Along(const TrpFrameSide& side)
{
    return QPoint(Sign(side.To.x() - side.From.x()), Sign(side.To.y() - side.From.y()));
}

// The unit step across a side, towards its right or bottom.
QPoint Across(const TrpFrameSide& side)
{
    const int dx = std::abs(side.To.x() - side.From.x());
    const int dy = std::abs(side.To.y() - side.From.y());
    return dx > dy ? QPoint(0, 1) : QPoint(1, 0);
}

// Pulls in by w div 2 the ends that no neighbouring side joins.
TrpFrameSide PulledIn(TrpFrameSide side, int width)
{
    const QPoint step = Along(side) * (width / 2);
    if (!side.StartJoined)
        side.From += step;
    if (!side.EndJoined)
        side.To -= step;
    return side;
}

QPen SolidPen(const QColor& color, int width, Qt::PenCapStyle cap)
{
    return QPen(QBrush(color), std::max(width, 1), Qt::SolidLine, cap, Qt::MiterJoin);
}

} // namespace

void DrawThickLine(QPainter& painter, QPoint from, QPoint to, int width)
{
    width = std::max(width, 1);
    const bool horizontal = std::abs(to.x() - from.x()) > std::abs(to.y() - from.y());
    for (int i = 0; i < width; ++i) {
        const int offset = -(width / 2) + i;
        const QPoint shift = horizontal ? QPoint(0, offset) : QPoint(offset, 0);
        painter.drawLine(from + shift, to + shift);
    }
}

void DrawSolidSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color)
{
    side = PulledIn(side, width);
    painter.setPen(SolidPen(color, width, Qt::SquareCap));
    painter.drawLine(side.From, side.To);
}

void DrawDoubleSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color, const QColor& fill)
{
    width = std::max(width, 1);
    side = PulledIn(side, width);
    const QPoint along = Along(side) * width;
    const QPoint outward = Across(side) * (side.Outward * width);
    const int startOuter = side.StartJoined ? 1 : 0;
    const int endOuter = side.EndJoined ? 1 : 0;
    painter.setPen(SolidPen(color, width, Qt::SquareCap));
    painter.drawLine(side.From + outward - along * startOuter, side.To + outward + along * endOuter);
    painter.drawLine(side.From - outward + along * startOuter, side.To - outward - along * endOuter);
    if (fill.isValid()) {
        painter.setPen(SolidPen(fill, width, Qt::FlatCap));
        painter.drawLine(side.From, side.To);
    }
}

void DrawDashedSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color, Qt::PenStyle style)
{
    painter.setPen(QPen(QBrush(color), 1, style, Qt::FlatCap));
    DrawThickLine(painter, side.From, side.To, width);
}

void DrawPatternSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color, const QColor& fill,
                     bool squares)
{
    if (fill.isValid()) {
        painter.setPen(SolidPen(fill, 1, Qt::FlatCap));
        DrawThickLine(painter, side.From, side.To, width);
    }
    // Dash patterns count in pen widths: (1, 1) is w on, w off.
    QPen pen(QBrush(color), std::max(width, 1), Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    if (width <= 1 || squares) {
        pen.setDashPattern({1, 1});
    } else {
        // Round dots of diameter w every 2w: a dash too short to see, made round by its caps.
        pen.setCapStyle(Qt::RoundCap);
        pen.setDashPattern({1.0 / 64, 2 - 1.0 / 64});
    }
    painter.setPen(pen);
    painter.drawLine(side.From, side.To);
}

void DrawDropShadow(QPainter& painter, const TrpDeviceRect& rect, int shadowX, int shadowY, const QColor& color)
{
    if (shadowX > 0 && rect.Y1 > rect.Y + shadowX)
        painter.fillRect(QRect(rect.X1, rect.Y + shadowX, shadowX, rect.Y1 - rect.Y - shadowX), color);
    if (shadowY > 0 && rect.X1 > rect.X)
        painter.fillRect(QRect(rect.X + shadowY, rect.Y1, rect.X1 - rect.X, shadowY), color);
}

Qt::BrushStyle HatchPattern(int hatchIndex)
{
    static constexpr Qt::BrushStyle kPatterns[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                   Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    if (hatchIndex < 0 || hatchIndex >= static_cast<int>(std::size(kPatterns)))
        return Qt::SolidPattern;
    return kPatterns[hatchIndex];
}

void DrawFigure(QPainter& painter, TrpFigure figure, const TrpDeviceRect& rect, int corner, int lineWidth)
{
    // A stroked rectangle covers its size plus the pen: X .. X1 as the object's edges.
    const QRect box(rect.X, rect.Y, rect.DX(), rect.DY());
    switch (figure) {
    case TrpFigure::Rectangle:
        painter.drawRect(box);
        break;
    case TrpFigure::RoundRectangle:
        painter.drawRoundedRect(box, corner / 2.0, corner / 2.0);
        break;
    case TrpFigure::Ellipse:
        painter.drawEllipse(box);
        break;
    case TrpFigure::Triangle: {
        const QPoint points[] = {{rect.X1, rect.Y1}, {rect.X, rect.Y1}, {rect.X + rect.DX() / 2, rect.Y}};
        painter.drawPolygon(points, 3);
        break;
    }
    case TrpFigure::Diamond: {
        const QPoint points[] = {{rect.X + rect.DX() / 2, rect.Y},
                                 {rect.X1, rect.Y + rect.DY() / 2},
                                 {rect.X + rect.DX() / 2, rect.Y1},
                                 {rect.X, rect.Y + rect.DY() / 2}};
        painter.drawPolygon(points, 4);
        break;
    }
    case TrpFigure::Diagonal1:
        DrawThickLine(painter, QPoint(rect.X, rect.Y1), QPoint(rect.X1, rect.Y), lineWidth);
        break;
    case TrpFigure::Diagonal2:
        DrawThickLine(painter, QPoint(rect.X, rect.Y), QPoint(rect.X1, rect.Y1), lineWidth);
        break;
    }
}

TrpArrowHead ArrowHeadPoints(QPointF tip, QPointF end, double length, double width)
{
    double baseX = tip.x();
    double baseY = tip.y();
    double wing1X = 0;
    double wing1Y = 0;
    double wing2X = 0;
    double wing2Y = 0;
    const double dx = end.x() - tip.x();
    const double dy = end.y() - tip.y();
    if (std::fabs(dx) > kArrowNearVertical) {
        // The point at distance L from the tip on the line, on the side of the other end.
        const double distance = std::hypot(dx, dy);
        baseX += length * dx / distance;
        baseY += length * dy / distance;
        const double angle = std::atan(dy / dx);
        wing1X = baseX + std::sin(angle) * width;
        wing1Y = baseY - std::cos(angle) * width;
        wing2X = baseX - std::sin(angle) * width;
        wing2Y = baseY + std::cos(angle) * width;
    } else {
        baseY += end.y() < tip.y() ? -length : length;
        wing1X = baseX - width;
        wing1Y = baseY;
        wing2X = baseX + width;
        wing2Y = baseY;
    }
    return TrpArrowHead{QPoint(RoundToDevice(tip.x()), RoundToDevice(tip.y())),
                        QPoint(RoundToDevice(wing1X), RoundToDevice(wing1Y)),
                        QPoint(RoundToDevice(wing2X), RoundToDevice(wing2Y))};
}

void DrawArrowHead(QPainter& painter, const TrpArrowHead& head, bool solid, const QColor& color)
{
    if (solid) {
        painter.setPen(SolidPen(color, 1, Qt::SquareCap));
        painter.setBrush(color);
        const QPoint points[] = {head.Tip, head.Wing1, head.Wing2, head.Tip};
        painter.drawPolygon(points, 4);
    } else {
        const QPoint points[] = {head.Wing1, head.Tip, head.Wing2};
        painter.drawPolyline(points, 3);
    }
}

QRect CheckSymbolSquare(const TrpDeviceRect& rect)
{
    const int side = std::max(rect.DY(), 0);
    return QRect(rect.X + (rect.DX() - side) / 2, rect.Y, side, side);
}

void DrawCheckMark(QPainter& painter, TrpCheckMark mark, const TrpDeviceRect& rect, const QColor& color,
                   int lineWidth)
{
    if (mark == TrpCheckMark::None)
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    if (mark == TrpCheckMark::Cross || mark == TrpCheckMark::Tick) {
        // In place of a symbol font: strokes in the proportions of a ballot mark, clipped to
        // the box as the symbol would be.
        const QRect square = CheckSymbolSquare(rect);
        const double side = square.width();
        const auto at = [&](double fx, double fy) { return QPointF(square.left() + fx * side, square.top() + fy * side); };
        painter.setClipRect(QRect(rect.X, rect.Y, rect.DX(), rect.DY()), Qt::IntersectClip);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const double stroke = std::max(1.0, std::round(side * 0.12));
        painter.setPen(QPen(QBrush(color), stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (mark == TrpCheckMark::Cross) {
            painter.drawLine(at(0.22, 0.22), at(0.78, 0.78));
            painter.drawLine(at(0.78, 0.22), at(0.22, 0.78));
        } else {
            const QPointF points[] = {at(0.18, 0.52), at(0.42, 0.76), at(0.84, 0.24)};
            painter.drawPolyline(points, 3);
        }
        painter.restore();
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(SolidPen(color, 1, Qt::SquareCap));
    const int middleY = (rect.Y + rect.Y1) / 2;
    const int middleX = (rect.X + rect.X1) / 2;
    switch (mark) {
    case TrpCheckMark::LineCross:
        DrawThickLine(painter, QPoint(rect.X, rect.Y), QPoint(rect.X1, rect.Y1), lineWidth);
        DrawThickLine(painter, QPoint(rect.X, rect.Y1), QPoint(rect.X1, rect.Y), lineWidth);
        break;
    case TrpCheckMark::Plus:
        DrawThickLine(painter, QPoint(rect.X + 3, middleY), QPoint(rect.X1 - 2, middleY), lineWidth);
        DrawThickLine(painter, QPoint(middleX, rect.Y + 3), QPoint(middleX, rect.Y1 - 2), lineWidth);
        break;
    case TrpCheckMark::Minus:
        DrawThickLine(painter, QPoint(rect.X + 3, middleY), QPoint(rect.X1 - 2, middleY), lineWidth);
        break;
    default:
        break;
    }
    painter.restore();
}

void DrawRaisedEdge(QPainter& painter, const QRect& rect)
{
    if (rect.width() < 2 || rect.height() < 2)
        return;
    // Outer and inner edges of the system's button colours.
    const QColor highlight = ToQColor(static_cast<TColor>(kSystemColorFlag | 20));
    const QColor light = ToQColor(static_cast<TColor>(kSystemColorFlag | 22));
    const QColor shadow = ToQColor(static_cast<TColor>(kSystemColorFlag | 16));
    const QColor darkShadow = ToQColor(static_cast<TColor>(kSystemColorFlag | 21));
    const auto edge = [&](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(QPen(topLeft, 1));
        painter.drawLine(r.left(), r.bottom() - 1, r.left(), r.top());
        painter.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        painter.setPen(QPen(bottomRight, 1));
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.bottom(), r.right(), r.top());
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    edge(rect, light, darkShadow);
    edge(rect.adjusted(1, 1, -1, -1), highlight, shadow);
    painter.restore();
}
