#include "RecordingPaintDevice.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>

// The glyphs of a text item are not public: a paint engine outside Qt only sees an opaque
// item. The test support reads them through Qt's private text engine header (Debian's
// qt6-base-private-dev); nothing outside the tests does.
#include <QtGui/private/qfontengine_p.h>
#include <QtGui/private/qtextengine_p.h>

#include <cmath>
#include <numbers>

namespace {

QString PointText(QPointF p)
{
    return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
}

QString RectText(const QRectF& r)
{
    return QStringLiteral("[%1,%2 %3x%4]").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class RecordingPaintEngine : public QPaintEngine {
public:
    RecordingPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override
    {
        transform_ = QTransform();
        return true;
    }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override
    {
        const QPaintEngine::DirtyFlags dirty = state.state();
        if (dirty & DirtyTransform)
            transform_ = state.transform();
        if (dirty & DirtyPen) {
            pen_ = state.pen();
            RecordedOperation op;
            op.What = RecordedOperation::PenChange;
            op.Pen = pen_;
            operations.push_back(op);
        }
        if (dirty & DirtyBrush) {
            RecordedOperation op;
            op.What = RecordedOperation::BrushChange;
            op.Brush = state.brush();
            operations.push_back(op);
        }
        if (dirty & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) {
            RecordedOperation op;
            op.What = RecordedOperation::ClipChange;
            op.ClipEnabled = state.isClipEnabled();
            op.ClipOperation = state.clipOperation();
            const QTransform clipTransform = state.transform();
            if (dirty & DirtyClipPath)
                op.DeviceRect = clipTransform.map(state.clipPath()).boundingRect();
            else if (dirty & DirtyClipRegion)
                op.DeviceRect = clipTransform.map(state.clipRegion()).boundingRect();
            operations.push_back(op);
        }
    }

    void drawLines(const QLineF* lines, int lineCount) override
    {
        for (int i = 0; i < lineCount; ++i) {
            RecordedOperation op;
            op.What = RecordedOperation::Line;
            op.DevicePoints << transform_.map(lines[i].p1()) << transform_.map(lines[i].p2());
            operations.push_back(op);
        }
    }

    void drawRects(const QRectF* rects, int rectCount) override
    {
        for (int i = 0; i < rectCount; ++i)
            RecordShape(RecordedOperation::Rectangle, rects[i]);
    }

    void drawEllipse(const QRectF& rect) override { RecordShape(RecordedOperation::Ellipse, rect); }

    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode) override
    {
        RecordedOperation op;
        op.What = RecordedOperation::Polygon;
        for (int i = 0; i < pointCount; ++i)
            op.DevicePoints << transform_.map(points[i]);
        op.DeviceRect = op.DevicePoints.boundingRect();
        operations.push_back(op);
    }

    void drawPoints(const QPointF* points, int pointCount) override
    {
        RecordedOperation op;
        op.What = RecordedOperation::Points;
        for (int i = 0; i < pointCount; ++i)
            op.DevicePoints << transform_.map(points[i]);
        operations.push_back(op);
    }

    void drawPath(const QPainterPath& path) override { RecordShape(RecordedOperation::Path, path.boundingRect()); }

    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF&) override
    {
        RecordShape(RecordedOperation::Image, target).ImageSize = pixmap.size();
    }

    void drawImage(const QRectF& target, const QImage& image, const QRectF&, Qt::ImageConversionFlags) override
    {
        RecordShape(RecordedOperation::Image, target).ImageSize = image.size();
    }

    void drawTiledPixmap(const QRectF& target, const QPixmap& pixmap, const QPointF&) override
    {
        RecordShape(RecordedOperation::Image, target).ImageSize = pixmap.size();
    }

    void drawTextItem(const QPointF& origin, const QTextItem& item) override
    {
        const auto& textItem = static_cast<const QTextItemInt&>(item);
        RecordedOperation op;
        op.What = RecordedOperation::GlyphRun;
        op.PixelSize = textItem.fontEngine != nullptr ? textItem.fontEngine->fontDef.pixelSize : 0;
        op.TextColor = pen_.color();
        const QPointF direction = transform_.map(QPointF(1, 0)) - transform_.map(QPointF(0, 0));
        op.Angle = -std::atan2(direction.y(), direction.x()) * 180 / std::numbers::pi;
        if (std::abs(op.Angle) < 1e-9)
            op.Angle = 0;
        op.Text = item.text();
        // A glyph run arrives with its absolute positions as offsets and no advances; a text
        // drawn with drawText with advances from its origin. This covers both.
        double advance = 0;
        for (int i = 0; i < textItem.glyphs.numGlyphs; ++i) {
            op.Glyphs.append(textItem.glyphs.glyphs[i]);
            const QPointF offset(textItem.glyphs.offsets[i].x.toReal(), textItem.glyphs.offsets[i].y.toReal());
            op.GlyphPositions.append(transform_.map(origin + QPointF(advance, 0) + offset));
            advance += textItem.glyphs.effectiveAdvance(i).toReal();
        }
        operations.push_back(op);
    }

    std::vector<RecordedOperation> operations;

private:
    RecordedOperation& RecordShape(RecordedOperation::Kind kind, const QRectF& rect)
    {
        RecordedOperation op;
        op.What = kind;
        op.DevicePoints = transform_.map(QPolygonF(rect));
        op.DeviceRect = op.DevicePoints.boundingRect();
        operations.push_back(op);
        return operations.back();
    }

    QTransform transform_;
    QPen pen_;
};

QString RecordedOperation::Describe() const
{
    switch (What) {
    case Line:
        return QStringLiteral("line %1-%2").arg(PointText(DevicePoints.value(0)), PointText(DevicePoints.value(1)));
    case Rectangle:
        return QStringLiteral("rect ") + RectText(DeviceRect);
    case Polygon:
        return QStringLiteral("polygon of %1 points ").arg(DevicePoints.size()) + RectText(DeviceRect);
    case Ellipse:
        return QStringLiteral("ellipse ") + RectText(DeviceRect);
    case Path:
        return QStringLiteral("path ") + RectText(DeviceRect);
    case Points:
        return QStringLiteral("%1 points").arg(DevicePoints.size());
    case Image:
        return QStringLiteral("image %1x%2 into ").arg(ImageSize.width()).arg(ImageSize.height()) + RectText(DeviceRect);
    case GlyphRun:
        return QStringLiteral("glyphs %1 at %2 size %3 angle %4")
            .arg(Glyphs.size())
            .arg(PointText(GlyphPositions.value(0)))
            .arg(PixelSize)
            .arg(Angle);
    case PenChange:
        return QStringLiteral("pen width %1 style %2 cap %3 colour %4")
            .arg(Pen.widthF())
            .arg(static_cast<int>(Pen.style()))
            .arg(static_cast<int>(Pen.capStyle()))
            .arg(Pen.color().name());
    case BrushChange:
        return QStringLiteral("brush style %1 colour %2").arg(static_cast<int>(Brush.style())).arg(Brush.color().name());
    case ClipChange:
        return QStringLiteral("clip %1 op %2 ").arg(ClipEnabled ? "on" : "off").arg(static_cast<int>(ClipOperation)) +
               RectText(DeviceRect);
    }
    return QString();
}

RecordingPaintDevice::RecordingPaintDevice(QSize size, int dpiX, int dpiY)
    : size_(size), dpiX_(dpiX), dpiY_(dpiY), engine_(std::make_unique<RecordingPaintEngine>())
{
}

RecordingPaintDevice::~RecordingPaintDevice() = default;

QPaintEngine* RecordingPaintDevice::paintEngine() const
{
    return engine_.get();
}

const std::vector<RecordedOperation>& RecordingPaintDevice::Operations() const
{
    return engine_->operations;
}

std::vector<RecordedOperation> RecordingPaintDevice::Operations(RecordedOperation::Kind kind) const
{
    std::vector<RecordedOperation> selected;
    for (const RecordedOperation& op : engine_->operations)
        if (op.What == kind)
            selected.push_back(op);
    return selected;
}

void RecordingPaintDevice::Clear()
{
    engine_->operations.clear();
}

int RecordingPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return static_cast<int>(size_.width() * 25.4 / dpiX_);
    case PdmHeightMM:
        return static_cast<int>(size_.height() * 25.4 / dpiY_);
    case PdmNumColors:
        return 0x7FFFFFFF;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return dpiX_;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return dpiY_;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
}
