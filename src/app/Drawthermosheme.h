#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <iosfwd>
#include <span>
#include <vector>

class QPainter;

// The drawing primitives of the heat-system scheme drawings: pipes, flow arrows, flow meters,
// thermometers, pressure sensors, the consumer, the heat source, the water-treatment box,
// the junction and the exchanger box. They draw on a small canvas with the conventions of the
// drawing these schemes were designed on: a rectangle or ellipse given by (left, top) and
// (right, bottom) covers x = left .. right-1 and y = top .. bottom-1, and a text is placed by
// its top-left corner. Coordinates are pixels, x to the right, y downward.

// Colours of the drawings.
inline constexpr QRgb kSchemeBlack = 0x000000;
inline constexpr QRgb kSchemeRed = 0xFF0000;  // flow arrows
inline constexpr QRgb kSchemeBlue = 0x0000FF; // flow arrows of make-up and cold water

// Where a drawing goes: the pen (colour and width) outlines, the brush fills. The primitives
// set these before drawing and put back what they changed, except that pipes fill with the
// brush as they find it.
class TSchemeCanvas {
public:
    virtual ~TSchemeCanvas() = default;

    QColor PenColor() const { return penColor_; }
    void SetPenColor(const QColor& color) { penColor_ = color; }
    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int width) { penWidth_ = width; }
    QColor BrushColor() const { return brushColor_; }
    void SetBrushColor(const QColor& color) { brushColor_ = color; }

    // The colour of the flow meters' faces and of the labels' backgrounds.
    virtual QColor WindowColor() const = 0;

    // The rectangle filled with the brush, no outline.
    virtual void FillRect(int left, int top, int right, int bottom) = 0;
    // Outlined with the pen and filled with the brush.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    // Outlined with the pen, the inside left as it is.
    virtual void FrameRectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void Polygon(std::span<const QPoint> points) = 0;
    // Lines through the points with the pen.
    virtual void Polyline(std::span<const QPoint> points) = 0;
    // One line of text with its top-left corner at (x, y), on a background of that colour.
    virtual void TextOut(int x, int y, const QString& text, const QColor& background) = 0;

private:
    QColor penColor_ = QColor(kSchemeBlack);
    int penWidth_ = 1;
    QColor brushColor_ = QColor(kSchemeBlack);
};

// One drawing operation of a recording canvas, with the pen and brush it was made with.
struct TSchemeStroke {
    enum class Kind : uint8_t { FillRect, Rectangle, FrameRectangle, Ellipse, Polygon, Polyline, Text };

    Kind What = Kind::FillRect;
    std::vector<QPoint> Points; // rectangles and ellipses: (left, top), (right, bottom); text: its corner
    QColor Pen;                 // outlines and lines, and the colour of a text; invalid for FillRect
    int PenWidth = 0;           // outlines and lines; 0 for FillRect and Text
    QColor Brush;               // FillRect, Rectangle, Ellipse, Polygon; invalid for the others
    QString Text;               // Text
    QColor Background;          // Text

    friend bool operator==(const TSchemeStroke&, const TSchemeStroke&) = default;
};
void PrintTo(const TSchemeStroke& stroke, std::ostream* out);

// Keeps every operation as a stroke, for tests to compare with what a drawing must be.
class TRecordingSchemeCanvas : public TSchemeCanvas {
public:
    explicit TRecordingSchemeCanvas(QColor window = QColor(0xFFFFFF)) : window_(window) {}

    QColor WindowColor() const override { return window_; }
    void FillRect(int left, int top, int right, int bottom) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FrameRectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Polygon(std::span<const QPoint> points) override;
    void Polyline(std::span<const QPoint> points) override;
    void TextOut(int x, int y, const QString& text, const QColor& background) override;

    const std::vector<TSchemeStroke>& Strokes() const { return strokes_; }

private:
    void Add(TSchemeStroke::Kind kind, std::vector<QPoint> points, bool outlined, bool filled);

    QColor window_;
    std::vector<TSchemeStroke> strokes_;
};

// Draws on a QPainter: rectangles and ellipses lose their right and bottom edge as the
// canvas promises, texts stand below their point. Curves and slanted lines are smoothed.
class TPainterSchemeCanvas : public TSchemeCanvas {
public:
    TPainterSchemeCanvas(QPainter& painter, QColor window, const QFont& font);

    QColor WindowColor() const override { return window_; }
    void FillRect(int left, int top, int right, int bottom) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void FrameRectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Polygon(std::span<const QPoint> points) override;
    void Polyline(std::span<const QPoint> points) override;
    void TextOut(int x, int y, const QString& text, const QColor& background) override;

private:
    void UsePen(bool fill, bool smooth);

    QPainter& painter_;
    QColor window_;
};

// The primitives. Thermometers and pressure sensors stand on the pipe point (x, y) and rise
// above it; flow meters are centred on the pipe.
void DrawHorizontalPipe(TSchemeCanvas& canvas, int x1, int x2, int y);
void DrawVerticalPipe(TSchemeCanvas& canvas, int x, int y1, int y2);
// A triangle pointing left or right, filled with the colour.
void DrawFlowArrow(TSchemeCanvas& canvas, int x, int y, const QColor& color, bool pointingLeft);
// A circle with a chevron whose apex shows the direction of flow; the label above right.
void DrawFlowMeter(TSchemeCanvas& canvas, int x, int y, bool apexRight, const QString& label);
void DrawThermometer(TSchemeCanvas& canvas, int x, int y, const QString& label);
void DrawManometer(TSchemeCanvas& canvas, int x, int y, const QString& label);
// A radiator fed by the pipes at y (supply) and y + 60 (return) from x.
void DrawConsumer(TSchemeCanvas& canvas, int x, int y);
// The source box centred below (x, y), with its stubs to the pipes at y and y + 60.
void DrawHeatSource(TSchemeCanvas& canvas, int x, int y);
// The water-treatment box ("ВПУ") on a pipe at y, from x.
void DrawWaterHeaterBox(TSchemeCanvas& canvas, int x, int y);
// The supply and return pipes at y and y + 60 joined at x + 60, with an outlet at y + 30.
void DrawJunction(TSchemeCanvas& canvas, int x, int y);
// An exchanger box from (x, y - 20) to (x + 40, y + 80), crossed by a diagonal.
void DrawDiagonalBox(TSchemeCanvas& canvas, int x, int y);
