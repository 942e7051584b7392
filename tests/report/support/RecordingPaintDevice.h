#pragma once

// A paint device that draws nothing and records what is painted on it, in device
// coordinates: lines, rectangles, polygons, ellipses, paths, points, images with their
// target rectangles, glyph runs with their glyphs, positions and font pixel size, and every
// change of pen, brush and clip. Drawing code is tested against this log instead of pixels.

#include <QBrush>
#include <QColor>
#include <QList>
#include <QPaintDevice>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>

#include <memory>
#include <vector>

struct RecordedOperation {
    enum Kind { Line, Rectangle, Polygon, Ellipse, Path, Points, Image, GlyphRun, PenChange, BrushChange, ClipChange };
    Kind What = Line;

    // Line: two points; Polygon and Points: the points; Rectangle, Ellipse, Path, Image: the
    // device polygon of the shape's rectangle (four corners) when the transform rotates.
    QPolygonF DevicePoints;
    // Rectangle, Ellipse, Path, Image (target), ClipChange: the device bounding rectangle.
    QRectF DeviceRect;
    QSize ImageSize;             // Image: the source size

    // GlyphRun.
    QList<quint32> Glyphs;
    QList<QPointF> GlyphPositions; // device positions of the glyphs' baseline origins
    double PixelSize = 0;          // of the font the glyphs were drawn in
    double Angle = 0;              // degrees, counter-clockwise, of the run's baseline
    QColor TextColor;              // the pen colour the glyphs were drawn with
    QString Text;                  // the characters, for text drawn with drawText (glyph runs have none)

    // PenChange, BrushChange.
    QPen Pen;
    QBrush Brush;

    // ClipChange.
    bool ClipEnabled = false;
    Qt::ClipOperation ClipOperation = Qt::NoClip;

    // A one-line description for failure messages.
    QString Describe() const;
};

class RecordingPaintEngine;

class RecordingPaintDevice : public QPaintDevice {
public:
    explicit RecordingPaintDevice(QSize size = QSize(2000, 2000), int dpiX = 96, int dpiY = 96);
    ~RecordingPaintDevice() override;

    QPaintEngine* paintEngine() const override;

    const std::vector<RecordedOperation>& Operations() const;
    // The operations of one kind, in order.
    std::vector<RecordedOperation> Operations(RecordedOperation::Kind kind) const;
    std::vector<RecordedOperation> GlyphRuns() const { return Operations(RecordedOperation::GlyphRun); }
    void Clear();

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    int dpiX_;
    int dpiY_;
    std::unique_ptr<RecordingPaintEngine> engine_;
};
