#include "Drawthermosheme.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <ostream>

namespace {

// Puts back the pen and brush a primitive changed, when it ends.
class CanvasStateKeeper {
public:
    explicit CanvasStateKeeper(TSchemeCanvas& canvas)
        : canvas_(canvas), pen_(canvas.PenColor()), width_(canvas.PenWidth()), brush_(canvas.BrushColor())
    {
    }
    ~CanvasStateKeeper()
    {
        canvas_.SetPenColor(pen_);
        canvas_.SetPenWidth(width_);
        canvas_.SetBrushColor(brush_);
    }
    CanvasStateKeeper(const CanvasStateKeeper&) = delete;
    CanvasStateKeeper& operator=(const CanvasStateKeeper&) = delete;

private:
    TSchemeCanvas& canvas_;
    QColor pen_;
    int width_;
    QColor brush_;
};

void Line(TSchemeCanvas& canvas, int x1, int y1, int x2, int y2)
{
    const QPoint points[] = {{x1, y1}, {x2, y2}};
    canvas.Polyline(points);
}

// A label of a measuring point, on the window colour.
void Label(TSchemeCanvas& canvas, int x, int y, const QString& text)
{
    canvas.TextOut(x, y, text, canvas.WindowColor());
}

const char* KindName(TSchemeStroke::Kind kind)
{
    switch (kind) {
    case TSchemeStroke::Kind::FillRect: return "FillRect";
    case TSchemeStroke::Kind::Rectangle: return "Rectangle";
    case TSchemeStroke::Kind::FrameRectangle: return "FrameRectangle";
    case TSchemeStroke::Kind::Ellipse: return "Ellipse";
    case TSchemeStroke::Kind::Polygon: return "Polygon";
    case TSchemeStroke::Kind::Polyline: return "Polyline";
    case TSchemeStroke::Kind::Text: return "Text";
    }
    return "?";
}

} // namespace

void PrintTo(const TSchemeStroke& stroke, std::ostream* out)
{
    *out << KindName(stroke.What);
    for (const QPoint& point : stroke.Points)
        *out << " (" << point.x() << "," << point.y() << ")";
    if (stroke.Pen.isValid())
        *out << " pen " << stroke.Pen.name().toStdString() << "/" << stroke.PenWidth;
    if (stroke.Brush.isValid())
        *out << " brush " << stroke.Brush.name().toStdString();
    if (stroke.What == TSchemeStroke::Kind::Text)
        *out << " \"" << stroke.Text.toStdString() << "\" on " << stroke.Background.name().toStdString();
}

void TRecordingSchemeCanvas::Add(TSchemeStroke::Kind kind, std::vector<QPoint> points, bool outlined, bool filled)
{
    TSchemeStroke stroke;
    stroke.What = kind;
    stroke.Points = std::move(points);
    if (outlined) {
        stroke.Pen = PenColor();
        stroke.PenWidth = PenWidth();
    }
    if (filled)
        stroke.Brush = BrushColor();
    strokes_.push_back(std::move(stroke));
}

void TRecordingSchemeCanvas::FillRect(int left, int top, int right, int bottom)
{
    Add(TSchemeStroke::Kind::FillRect, {{left, top}, {right, bottom}}, false, true);
}

void TRecordingSchemeCanvas::Rectangle(int left, int top, int right, int bottom)
{
    Add(TSchemeStroke::Kind::Rectangle, {{left, top}, {right, bottom}}, true, true);
}

void TRecordingSchemeCanvas::FrameRectangle(int left, int top, int right, int bottom)
{
    Add(TSchemeStroke::Kind::FrameRectangle, {{left, top}, {right, bottom}}, true, false);
}

void TRecordingSchemeCanvas::Ellipse(int left, int top, int right, int bottom)
{
    Add(TSchemeStroke::Kind::Ellipse, {{left, top}, {right, bottom}}, true, true);
}

void TRecordingSchemeCanvas::Polygon(std::span<const QPoint> points)
{
    Add(TSchemeStroke::Kind::Polygon, {points.begin(), points.end()}, true, true);
}

void TRecordingSchemeCanvas::Polyline(std::span<const QPoint> points)
{
    Add(TSchemeStroke::Kind::Polyline, {points.begin(), points.end()}, true, false);
}

void TRecordingSchemeCanvas::TextOut(int x, int y, const QString& text, const QColor& background)
{
    Add(TSchemeStroke::Kind::Text, {{x, y}}, false, false);
    strokes_.back().Pen = PenColor(); // the text's colour
    strokes_.back().Text = text;
    strokes_.back().Background = background;
}

TPainterSchemeCanvas::TPainterSchemeCanvas(QPainter& painter, QColor window, const QFont& font)
    : painter_(painter), window_(window)
{
    painter_.setFont(font);
}

void TPainterSchemeCanvas::UsePen(bool fill, bool smooth)
{
    QPen pen(PenColor());
    pen.setWidth(PenWidth());
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
    painter_.setBrush(fill ? QBrush(BrushColor()) : QBrush(Qt::NoBrush));
    painter_.setRenderHint(QPainter::Antialiasing, smooth);
}

// A rectangle of the canvas covers left .. right-1: Qt's outline of QRect(x, y, w, h) runs
// through x and x + w, so the width and height are one less than the canvas's.
void TPainterSchemeCanvas::FillRect(int left, int top, int right, int bottom)
{
    painter_.fillRect(QRect(left, top, right - left, bottom - top), BrushColor());
}

void TPainterSchemeCanvas::Rectangle(int left, int top, int right, int bottom)
{
    UsePen(true, false);
    painter_.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TPainterSchemeCanvas::FrameRectangle(int left, int top, int right, int bottom)
{
    UsePen(false, false);
    painter_.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TPainterSchemeCanvas::Ellipse(int left, int top, int right, int bottom)
{
    UsePen(true, true);
    painter_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TPainterSchemeCanvas::Polygon(std::span<const QPoint> points)
{
    UsePen(true, true);
    painter_.drawPolygon(points.data(), static_cast<int>(points.size()));
}

void TPainterSchemeCanvas::Polyline(std::span<const QPoint> points)
{
    // Upright and level lines stay crisp; slanted ones are smoothed.
    bool slanted = false;
    for (size_t i = 1; i < points.size(); ++i)
        slanted = slanted || (points[i].x() != points[i - 1].x() && points[i].y() != points[i - 1].y());
    UsePen(false, slanted);
    painter_.drawPolyline(points.data(), static_cast<int>(points.size()));
}

// QPainter places a text by its baseline: the canvas's top-left corner becomes the top of a
// box as high as the font's line.
void TPainterSchemeCanvas::TextOut(int x, int y, const QString& text, const QColor& background)
{
    const QFontMetrics metrics(painter_.font());
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    painter_.fillRect(box, background);
    painter_.setPen(PenColor());
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void DrawHorizontalPipe(TSchemeCanvas& canvas, int x1, int x2, int y)
{
    canvas.FillRect(std::min(x1, x2) - 2, y - 2, std::max(x1, x2) + 2, y + 2);
}

void DrawVerticalPipe(TSchemeCanvas& canvas, int x, int y1, int y2)
{
    canvas.FillRect(x - 2, std::min(y1, y2) - 2, x + 2, std::max(y1, y2) + 2);
}

void DrawFlowArrow(TSchemeCanvas& canvas, int x, int y, const QColor& color, bool pointingLeft)
{
    const CanvasStateKeeper keeper(canvas);
    canvas.SetPenColor(QColor(kSchemeBlack));
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(color);
    if (pointingLeft) {
        const QPoint points[] = {{x - 10, y}, {x + 10, y + 7}, {x + 10, y - 7}};
        canvas.Polygon(points);
    } else {
        const QPoint points[] = {{x + 10, y}, {x - 10, y + 7}, {x - 10, y - 7}};
        canvas.Polygon(points);
    }
}

void DrawFlowMeter(TSchemeCanvas& canvas, int x, int y, bool apexRight, const QString& label)
{
    const CanvasStateKeeper keeper(canvas);
    canvas.SetPenColor(QColor(kSchemeBlack));
    canvas.SetPenWidth(2);
    canvas.SetBrushColor(canvas.WindowColor());
    canvas.Ellipse(x - 18, y - 18, x + 18, y + 18);
    if (apexRight) {
        const QPoint chevron[] = {{x - 13, y - 12}, {x + 18, y}, {x - 13, y + 12}};
        canvas.Polyline(chevron);
    } else {
        const QPoint chevron[] = {{x + 13, y - 12}, {x - 18, y}, {x + 13, y + 12}};
        canvas.Polyline(chevron);
    }
    Label(canvas, x + 13, y - 30, label);
}

void DrawThermometer(TSchemeCanvas& canvas, int x, int y, const QString& label)
{
    const CanvasStateKeeper keeper(canvas);
    canvas.SetPenColor(QColor(kSchemeBlack));
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(QColor(kSchemeBlack));
    canvas.Rectangle(x - 2, y - 20, x + 2, y);
    canvas.Ellipse(x - 5, y - 25, x + 5, y - 15);
    Label(canvas, x + 10, y - 30, label);
}

void DrawManometer(TSchemeCanvas& canvas, int x, int y, const QString& label)
{
    const CanvasStateKeeper keeper(canvas);
    canvas.SetPenColor(QColor(kSchemeBlack));
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(QColor(kSchemeBlack));
    canvas.Rectangle(x - 10, y - 8, x + 10, y - 4);
    canvas.Rectangle(x - 2, y - 25, x + 2, y - 4);
    Label(canvas, x + 7, y - 30, label);
}

void DrawConsumer(TSchemeCanvas& canvas, int x, int y)
{
    const CanvasStateKeeper keeper(canvas);
    DrawHorizontalPipe(canvas, x, x + 60, y);
    DrawHorizontalPipe(canvas, x, x + 60, y + 60);
    DrawVerticalPipe(canvas, x + 60, y, y + 7);
    DrawVerticalPipe(canvas, x + 60, y + 53, y + 60);
    canvas.SetPenWidth(4);
    canvas.FrameRectangle(x + 20, y + 10, x + 100, y + 50);
    canvas.SetPenWidth(2);
    for (int fin = x + 20; fin <= x + 100; fin += 10)
        Line(canvas, fin, y + 10, fin, y + 50);
}

void DrawHeatSource(TSchemeCanvas& canvas, int x, int y)
{
    const CanvasStateKeeper keeper(canvas);
    DrawVerticalPipe(canvas, x, y, y + 7);
    DrawVerticalPipe(canvas, x, y + 53, y + 60);
    canvas.SetPenWidth(4);
    canvas.FrameRectangle(x - 40, y + 10, x + 40, y + 50);
    Label(canvas, x - 23, y + 22, QStringLiteral("Источник"));
}

void DrawWaterHeaterBox(TSchemeCanvas& canvas, int x, int y)
{
    const CanvasStateKeeper keeper(canvas);
    canvas.SetPenWidth(4);
    canvas.FrameRectangle(x, y - 20, x + 40, y + 20);
    Label(canvas, x + 10, y - 7, QStringLiteral("ВПУ"));
}

void DrawJunction(TSchemeCanvas& canvas, int x, int y)
{
    DrawHorizontalPipe(canvas, x, x + 60, y);
    DrawHorizontalPipe(canvas, x, x + 60, y + 60);
    DrawVerticalPipe(canvas, x + 60, y, y + 60);
    DrawHorizontalPipe(canvas, x + 60, x + 80, y + 30);
}

void DrawDiagonalBox(TSchemeCanvas& canvas, int x, int y)
{
    const CanvasStateKeeper keeper(canvas);
    canvas.SetPenWidth(4);
    canvas.FrameRectangle(x, y - 20, x + 40, y + 80);
    canvas.SetPenWidth(2);
    Line(canvas, x + 40, y - 20, x, y + 80);
}
