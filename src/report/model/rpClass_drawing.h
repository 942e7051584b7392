#pragma once

// The drawing primitives of the printable objects: thick lines, frame sides in their styles,
// drop shadows, background hatches, shapes, arrow heads and check marks. Everything works in
// whole device pixels (converted with RoundToDevice), with antialiasing off, so that frames
// and lines land on the same pixels at every zoom and on every device.

#include <QColor>
#include <QPoint>
#include <QRect>

class QPainter;

// The device rectangle of a drawn object: left, top, right and bottom edges as the object's
// geometry gives them (the right and bottom edges belong to the object).
struct TrpDeviceRect {
    int X = 0;
    int Y = 0;
    int X1 = 0;
    int Y1 = 0;

    int DX() const { return X1 - X; }
    int DY() const { return Y1 - Y; }
};

// w parallel one-pixel lines with the painter's pen, offset across the line (vertically for
// a line more horizontal than vertical, else horizontally) from -(w div 2) upwards, so that
// an even w has its extra line above or to the left. A width below 1 counts as 1.
void DrawThickLine(QPainter& painter, QPoint from, QPoint to, int width);

// One side of a frame: its ends, and whether the side meeting it at each end is drawn too.
struct TrpFrameSide {
    QPoint From;
    QPoint To;
    bool StartJoined = false;
    bool EndJoined = false;
    // The side of the line that is outside the frame: -1 left or above, +1 right or below.
    int Outward = -1;
};

// A solid side of width w: ends not joined by a neighbour are pulled in by w div 2, then one
// line with a square-capped pen of width w, so that joined sides fill their corners.
void DrawSolidSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color);
// A double side: two lines of width w at distance w on either side of the nominal line; at a
// joined end the outer line is lengthened by w and the inner one shortened by w, so that the
// double lines of two sides meet in the corner. `fill` (when valid) paints the nominal line
// between them.
void DrawDoubleSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color, const QColor& fill);
// A dashed side: a thick line of w one-pixel lines with a dashed pen of the Qt style.
void DrawDashedSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color, Qt::PenStyle style);
// A side of round dots (`squares` false) or squares of side w every 2w, after a thick line of
// `fill` (when valid) under them. Widths up to 1 give single pixels every second pixel.
void DrawPatternSide(QPainter& painter, TrpFrameSide side, int width, const QColor& color, const QColor& fill,
                     bool squares);

// The drop shadow of a frame whose rectangle was moved in by the shadow: a vertical strip of
// `shadowX` pixels right of the rectangle from Y + shadowX to Y1, and a horizontal strip of
// `shadowY` pixels below it from X + shadowY to X1 + shadowY.
void DrawDropShadow(QPainter& painter, const TrpDeviceRect& rect, int shadowX, int shadowY, const QColor& color);

// The Qt brush pattern of the background hatches, by their order: horizontal, vertical,
// forward diagonal, backward diagonal, cross, diagonal cross (0 to 5); solid for others.
Qt::BrushStyle HatchPattern(int hatchIndex);

// The figures of shape views, drawn with the painter's pen and brush within the rectangle.
enum class TrpFigure { Rectangle, RoundRectangle, Ellipse, Triangle, Diamond, Diagonal1, Diagonal2 };
// `corner` is the diameter of the rounded corners; `lineWidth` the width of the diagonals,
// drawn as thick lines.
void DrawFigure(QPainter& painter, TrpFigure figure, const TrpDeviceRect& rect, int corner, int lineWidth);

// An arrow head of a line: the tip, and the two wing points at width W either side of the
// point at length L from the tip towards the line's other end.
struct TrpArrowHead {
    QPoint Tip;
    QPoint Wing1;
    QPoint Wing2;
};
// Lines whose horizontal extent is up to this many pixels count as vertical: their heads
// stand straight.
inline constexpr double kArrowNearVertical = 8;
TrpArrowHead ArrowHeadPoints(QPointF tip, QPointF end, double length, double width);
// A filled triangle in `color` (solid), or the two wings as a polyline with the painter's pen.
void DrawArrowHead(QPainter& painter, const TrpArrowHead& head, bool solid, const QColor& color);

// The marks of check boxes, drawn as shapes in the mark colour.
enum class TrpCheckMark { None, Cross, Tick, LineCross, Plus, Minus };
// Cross and Tick fill the square a symbol of the box's height would take, centred
// horizontally at the top; the line marks use thick lines of `lineWidth` over the box.
void DrawCheckMark(QPainter& painter, TrpCheckMark mark, const TrpDeviceRect& rect, const QColor& color,
                   int lineWidth);
// The square of a Cross or Tick mark in a box.
QRect CheckSymbolSquare(const TrpDeviceRect& rect);

// A raised edge two pixels wide around the rectangle in the button colours: light above and
// left, dark below and right.
void DrawRaisedEdge(QPainter& painter, const QRect& rect);
