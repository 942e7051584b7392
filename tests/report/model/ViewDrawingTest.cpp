// The drawing primitives of the printable objects, checked by the geometry they hand to the
// paint device: thick lines, frame sides, shadows, hatches, figures, arrow heads, check marks,
// and the checked conversion of geometry to device pixels.

#include "RecordingPaintDevice.h"
#include "ViewTestSupport.h"

#include "report/model/rpClass_drawing.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpFont.h"
#include "report/model/rpGraphicUtils.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Op = RecordedOperation;

std::vector<QLine> Lines(const RecordingPaintDevice& device)
{
    std::vector<QLine> lines;
    for (const Op& op : device.Operations(Op::Line))
        lines.emplace_back(op.DevicePoints[0].toPoint(), op.DevicePoints[1].toPoint());
    return lines;
}

// The last pen set before the first line.
QPen PenOfFirstLine(const RecordingPaintDevice& device)
{
    QPen pen;
    for (const Op& op : device.Operations()) {
        if (op.What == Op::PenChange)
            pen = op.Pen;
        if (op.What == Op::Line)
            return pen;
    }
    return pen;
}

void PrintLines(const std::vector<QLine>& lines, std::ostream* os)
{
    for (const QLine& l : lines)
        *os << "(" << l.x1() << "," << l.y1() << ")-(" << l.x2() << "," << l.y2() << ") ";
}

struct LineList {
    std::vector<QLine> lines;
    bool operator==(const LineList&) const = default;
};

void PrintTo(const LineList& list, std::ostream* os)
{
    PrintLines(list.lines, os);
}

LineList Recorded(const RecordingPaintDevice& device)
{
    return LineList{Lines(device)};
}

} // namespace

TEST(DeviceGeometry, RoundToDeviceRoundsHalfToEvenAndClamps)
{
    struct Case {
        double value;
        int32_t expected;
    };
    const Case cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {0.49999, 0},
        {1e300, kMaxDeviceCoordinate},
        {-1e300, -kMaxDeviceCoordinate},
        {std::numeric_limits<double>::infinity(), kMaxDeviceCoordinate},
        {-std::numeric_limits<double>::infinity(), -kMaxDeviceCoordinate},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {4194304.4, kMaxDeviceCoordinate},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundToDevice(c.value), c.expected) << c.value;
}

TEST(ViewDrawing, ThickLineSpreadsAcrossTheLine)
{
    struct Case {
        const char* name;
        QPoint from;
        QPoint to;
        int width;
        std::vector<QLine> expected;
    };
    const Case cases[] = {
        {"horizontal 3", {10, 20}, {50, 20}, 3, {{10, 19, 50, 19}, {10, 20, 50, 20}, {10, 21, 50, 21}}},
        {"horizontal 2: the extra line above", {10, 20}, {50, 20}, 2, {{10, 19, 50, 19}, {10, 20, 50, 20}}},
        {"vertical 2: the extra line left", {10, 20}, {10, 50}, 2, {{9, 20, 9, 50}, {10, 20, 10, 50}}},
        {"width 0 counts as 1", {10, 20}, {50, 20}, 0, {{10, 20, 50, 20}}},
        {"steep diagonal steps sideways", {0, 0}, {10, 30}, 2, {{-1, 0, 9, 30}, {0, 0, 10, 30}}},
        {"flat diagonal steps up and down", {0, 0}, {30, 10}, 3, {{0, -1, 30, 9}, {0, 0, 30, 10}, {0, 1, 30, 11}}},
    };
    for (const Case& c : cases) {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawThickLine(painter, c.from, c.to, c.width);
        }
        EXPECT_EQ(Recorded(device), LineList{c.expected}) << c.name;
    }
}

TEST(ViewDrawing, SolidSidePullsInEndsWithoutNeighbours)
{
    struct Case {
        const char* name;
        bool startJoined;
        bool endJoined;
        QLine expected;
    };
    const Case cases[] = {
        {"both neighbours drawn: corners filled by the caps", true, true, {10, 10, 10, 60}},
        {"alone: pulled in by w div 2 at both ends", false, false, {10, 11, 10, 59}},
        {"only the top neighbour", true, false, {10, 10, 10, 59}},
    };
    for (const Case& c : cases) {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawSolidSide(painter, TrpFrameSide{{10, 10}, {10, 60}, c.startJoined, c.endJoined, -1}, 3, Qt::blue);
        }
        EXPECT_EQ(Recorded(device), LineList{{c.expected}}) << c.name;
        const QPen pen = PenOfFirstLine(device);
        EXPECT_EQ(pen.widthF(), 3);
        EXPECT_EQ(pen.capStyle(), Qt::SquareCap);
        EXPECT_EQ(pen.style(), Qt::SolidLine);
        EXPECT_EQ(pen.color(), QColor(Qt::blue));
    }
}

TEST(ViewDrawing, DoubleSidesMeetInTheCorners)
{
    // The left side (outside to the left) and the top side (outside above) of a frame from
    // (10, 10) to (60, 40), width 1: outer lines one pixel outside and lengthened, inner
    // lines one pixel inside and shortened, so both pairs meet.
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawDoubleSide(painter, TrpFrameSide{{10, 10}, {10, 40}, true, true, -1}, 1, Qt::black, QColor());
        DrawDoubleSide(painter, TrpFrameSide{{10, 10}, {60, 10}, true, true, -1}, 1, Qt::black, QColor());
    }
    const std::vector<QLine> expected = {
        {9, 9, 9, 41},   // left, outer
        {11, 11, 11, 39}, // left, inner
        {9, 9, 61, 9},   // top, outer
        {11, 11, 59, 11}, // top, inner
    };
    EXPECT_EQ(Recorded(device), LineList{expected});
}

TEST(ViewDrawing, DoubleSideOfWidthTwoWithBackgroundBetween)
{
    // The right side (outside to the right), not joined at its ends, width 2.
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawDoubleSide(painter, TrpFrameSide{{60, 10}, {60, 40}, false, false, 1}, 2, Qt::black, Qt::yellow);
    }
    const std::vector<QLine> expected = {{62, 11, 62, 39}, {58, 11, 58, 39}, {60, 11, 60, 39}};
    EXPECT_EQ(Recorded(device), LineList{expected});
    const auto pens = device.Operations(Op::PenChange);
    ASSERT_FALSE(pens.empty());
    EXPECT_EQ(pens.back().Pen.color(), QColor(Qt::yellow));
    EXPECT_EQ(pens.back().Pen.widthF(), 2);
}

TEST(ViewDrawing, DashedSidesUseOnePixelDashedPens)
{
    const Qt::PenStyle styles[] = {Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    for (Qt::PenStyle style : styles) {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawDashedSide(painter, TrpFrameSide{{10, 30}, {90, 30}, true, true, 1}, 2, Qt::red, style);
        }
        EXPECT_EQ(Recorded(device), (LineList{{{10, 29, 90, 29}, {10, 30, 90, 30}}})) << style;
        const QPen pen = PenOfFirstLine(device);
        EXPECT_EQ(pen.style(), style);
        EXPECT_LE(pen.widthF(), 1);
        EXPECT_EQ(pen.color(), QColor(Qt::red));
    }
}

TEST(ViewDrawing, DotAndSquarePatternsAreCustomDashes)
{
    struct Case {
        const char* name;
        int width;
        bool squares;
        Qt::PenCapStyle cap;
        bool dotPattern;
    };
    const Case cases[] = {
        {"squares of side 3", 3, true, Qt::FlatCap, false},
        {"round dots of diameter 3", 3, false, Qt::RoundCap, true},
        {"width 1: every second pixel", 1, false, Qt::FlatCap, false},
    };
    for (const Case& c : cases) {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawPatternSide(painter, TrpFrameSide{{10, 30}, {90, 30}, true, true, 1}, c.width, Qt::darkGreen,
                            QColor(), c.squares);
        }
        const QPen pen = PenOfFirstLine(device);
        EXPECT_EQ(pen.style(), Qt::CustomDashLine) << c.name;
        EXPECT_EQ(pen.capStyle(), c.cap) << c.name;
        EXPECT_EQ(pen.widthF(), std::max(c.width, 1)) << c.name;
        const QList<qreal> pattern = pen.dashPattern();
        ASSERT_EQ(pattern.size(), 2) << c.name;
        // The period is two pen widths: w on and w off, or a dot every 2w.
        EXPECT_DOUBLE_EQ(pattern[0] + pattern[1], 2) << c.name;
        if (c.dotPattern)
            EXPECT_LT(pattern[0], 0.1) << c.name;
        else
            EXPECT_EQ(pattern[0], 1) << c.name;
        EXPECT_EQ(Recorded(device), (LineList{{{10, 30, 90, 30}}})) << c.name;
    }
}

TEST(ViewDrawing, PatternSideLaysTheBackgroundUnderTheDots)
{
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawPatternSide(painter, TrpFrameSide{{10, 30}, {90, 30}, true, true, 1}, 3, Qt::black, Qt::yellow, false);
    }
    // Three background lines of one pixel, then the dotted line.
    EXPECT_EQ(Recorded(device), (LineList{{{10, 29, 90, 29}, {10, 30, 90, 30}, {10, 31, 90, 31}, {10, 30, 90, 30}}}));
    EXPECT_EQ(PenOfFirstLine(device).color(), QColor(Qt::yellow));
}

TEST(ViewDrawing, DropShadowFillsTwoStrips)
{
    // A 100 x 50 object at (10, 20) with shadow 4: its frame rectangle ends 4 pixels inside.
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawDropShadow(painter, TrpDeviceRect{10, 20, 106, 66}, 4, 4, Qt::black);
    }
    const auto rects = device.Operations(Op::Rectangle);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].DeviceRect, QRectF(106, 24, 4, 42));
    EXPECT_EQ(rects[1].DeviceRect, QRectF(14, 66, 96, 4));
}

TEST(ViewDrawing, HatchPatternsInOrder)
{
    EXPECT_EQ(HatchPattern(0), Qt::HorPattern);
    EXPECT_EQ(HatchPattern(1), Qt::VerPattern);
    EXPECT_EQ(HatchPattern(2), Qt::FDiagPattern);
    EXPECT_EQ(HatchPattern(3), Qt::BDiagPattern);
    EXPECT_EQ(HatchPattern(4), Qt::CrossPattern);
    EXPECT_EQ(HatchPattern(5), Qt::DiagCrossPattern);
    EXPECT_EQ(HatchPattern(6), Qt::SolidPattern);
    EXPECT_EQ(HatchPattern(-1), Qt::SolidPattern);
}

TEST(ViewDrawing, FiguresWithinTheObject)
{
    const TrpDeviceRect rect{10, 20, 110, 80};
    {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawFigure(painter, TrpFigure::Rectangle, rect, 0, 1);
            DrawFigure(painter, TrpFigure::Ellipse, rect, 0, 1);
        }
        ASSERT_EQ(device.Operations(Op::Rectangle).size(), 1u);
        EXPECT_EQ(device.Operations(Op::Rectangle)[0].DeviceRect, QRectF(10, 20, 100, 60));
        ASSERT_EQ(device.Operations(Op::Ellipse).size(), 1u);
        EXPECT_EQ(device.Operations(Op::Ellipse)[0].DeviceRect, QRectF(10, 20, 100, 60));
    }
    {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawFigure(painter, TrpFigure::Triangle, rect, 0, 1);
            DrawFigure(painter, TrpFigure::Diamond, rect, 0, 1);
        }
        const auto polygons = device.Operations(Op::Polygon);
        ASSERT_EQ(polygons.size(), 2u);
        EXPECT_EQ(polygons[0].DevicePoints, QPolygonF({QPointF(110, 80), QPointF(10, 80), QPointF(60, 20)}));
        EXPECT_EQ(polygons[1].DevicePoints,
                  QPolygonF({QPointF(60, 20), QPointF(110, 50), QPointF(60, 80), QPointF(10, 50)}));
    }
    {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawFigure(painter, TrpFigure::Diagonal1, rect, 0, 2);
            DrawFigure(painter, TrpFigure::Diagonal2, rect, 0, 1);
        }
        EXPECT_EQ(Recorded(device), (LineList{{{10, 79, 110, 19}, {10, 80, 110, 20}, {10, 20, 110, 80}}}));
    }
}

TEST(ViewDrawing, ArrowHeadGeometry)
{
    struct Case {
        const char* name;
        QPointF tip;
        QPointF end;
        TrpArrowHead expected;
    };
    // Length 20, width 5.
    const Case cases[] = {
        {"horizontal, tip on the right", {100, 50}, {0, 50}, {{100, 50}, {80, 45}, {80, 55}}},
        {"horizontal, tip on the left", {0, 50}, {100, 50}, {{0, 50}, {20, 45}, {20, 55}}},
        {"near vertical, tip below", {50, 100}, {54, 0}, {{50, 100}, {45, 80}, {55, 80}}},
        {"near vertical, tip above", {50, 0}, {42, 100}, {{50, 0}, {45, 20}, {55, 20}}},
        // Slope 4/3: the base 12 right and 16 down; sin 0.8 and cos 0.6 across.
        {"diagonal", {0, 0}, {30, 40}, {{0, 0}, {16, 13}, {8, 19}}},
        {"diagonal, tip at the far end", {30, 40}, {0, 0}, {{30, 40}, {22, 21}, {14, 27}}},
    };
    for (const Case& c : cases) {
        const TrpArrowHead head = ArrowHeadPoints(c.tip, c.end, 20, 5);
        EXPECT_EQ(head.Tip, c.expected.Tip) << c.name;
        EXPECT_EQ(head.Wing1, c.expected.Wing1) << c.name;
        EXPECT_EQ(head.Wing2, c.expected.Wing2) << c.name;
    }
}

TEST(ViewDrawing, SolidArrowHeadIsAFilledTriangle)
{
    const TrpArrowHead head{{100, 50}, {80, 45}, {80, 55}};
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawArrowHead(painter, head, true, Qt::red);
        DrawArrowHead(painter, head, false, Qt::red);
    }
    const auto polygons = device.Operations(Op::Polygon);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0].DevicePoints,
              QPolygonF({QPointF(100, 50), QPointF(80, 45), QPointF(80, 55), QPointF(100, 50)}));
    // The open head: the wings as a polyline through the tip.
    EXPECT_EQ(polygons[1].DevicePoints, QPolygonF({QPointF(80, 45), QPointF(100, 50), QPointF(80, 55)}));
    const auto brushes = device.Operations(Op::BrushChange);
    ASSERT_FALSE(brushes.empty());
    EXPECT_EQ(brushes.front().Brush.style(), Qt::SolidPattern);
    EXPECT_EQ(brushes.front().Brush.color(), QColor(Qt::red));
}

TEST(ViewDrawing, LineMarksOfCheckBoxes)
{
    const TrpDeviceRect rect{10, 10, 29, 29};
    struct Case {
        TrpCheckMark mark;
        std::vector<QLine> expected;
    };
    const Case cases[] = {
        {TrpCheckMark::LineCross, {{10, 10, 29, 29}, {10, 29, 29, 10}}},
        {TrpCheckMark::Plus, {{13, 19, 27, 19}, {19, 13, 19, 27}}},
        {TrpCheckMark::Minus, {{13, 19, 27, 19}}},
        {TrpCheckMark::None, {}},
    };
    for (const Case& c : cases) {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawCheckMark(painter, c.mark, rect, Qt::black, 1);
        }
        EXPECT_EQ(Recorded(device), LineList{c.expected}) << static_cast<int>(c.mark);
    }
}

TEST(ViewDrawing, SymbolMarksAreStrokesInTheSymbolSquare)
{
    // A wide box: the square a symbol of the box's height takes, centred at the top.
    const TrpDeviceRect rect{10, 10, 50, 30};
    EXPECT_EQ(CheckSymbolSquare(rect), QRect(20, 10, 20, 20));
    {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawCheckMark(painter, TrpCheckMark::Cross, rect, Qt::darkBlue, 1);
        }
        const auto lines = Lines(device);
        ASSERT_EQ(lines.size(), 2u);
        for (const QLine& line : lines) {
            EXPECT_TRUE(QRect(20, 10, 20, 20).contains(line.p1())) << line.x1() << "," << line.y1();
            EXPECT_TRUE(QRect(20, 10, 20, 20).contains(line.p2())) << line.x2() << "," << line.y2();
        }
        // The strokes cross: one falls, one rises.
        EXPECT_GT((lines[0].y2() - lines[0].y1()) * (lines[0].x2() - lines[0].x1()), 0);
        EXPECT_LT((lines[1].y2() - lines[1].y1()) * (lines[1].x2() - lines[1].x1()), 0);
        EXPECT_EQ(PenOfFirstLine(device).color(), QColor(Qt::darkBlue));
        // Clipped to the box.
        const auto clips = device.Operations(Op::ClipChange);
        ASSERT_FALSE(clips.empty());
        EXPECT_EQ(clips.front().DeviceRect, QRectF(10, 10, 40, 20));
    }
    {
        RecordingPaintDevice device;
        {
            QPainter painter(&device);
            DrawCheckMark(painter, TrpCheckMark::Tick, rect, Qt::black, 1);
        }
        const auto polylines = device.Operations(Op::Polygon);
        ASSERT_EQ(polylines.size(), 1u);
        const QPolygonF& tick = polylines[0].DevicePoints;
        ASSERT_EQ(tick.size(), 3);
        // Down to the lowest point, then up higher than it started.
        EXPECT_GT(tick[1].y(), tick[0].y());
        EXPECT_LT(tick[2].y(), tick[0].y());
        EXPECT_LT(tick[0].x(), tick[1].x());
        EXPECT_LT(tick[1].x(), tick[2].x());
        EXPECT_TRUE(QRectF(20, 10, 20, 20).contains(tick.boundingRect()));
    }
}

TEST(ViewDrawing, RaisedEdgeOfTwoRings)
{
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        DrawRaisedEdge(painter, QRect(10, 10, 28, 28));
    }
    const auto lines = Lines(device);
    ASSERT_EQ(lines.size(), 8u);
    // The outer ring on the rectangle's edges, the inner one a pixel inside.
    EXPECT_EQ(lines[0], QLine(10, 36, 10, 10));
    EXPECT_EQ(lines[3], QLine(37, 37, 37, 10));
    EXPECT_EQ(lines[4], QLine(11, 35, 11, 11));
    EXPECT_EQ(lines[7], QLine(36, 36, 36, 11));
}

TEST(ViewDrawing, TextLinesGoToTheSink)
{
    TrpFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-13);
    const QFont qfont = ReportQFont(font, 2);
    EXPECT_EQ(qfont.family(), u"Liberation Sans");
    EXPECT_EQ(qfont.pixelSize(), 26);
    RecordingSink sink;
    TrpDrawContext context;
    context.Sink = &sink;
    RecordingPaintDevice device;
    int width = 0;
    {
        QPainter painter(&device);
        painter.translate(5, 7);
        width = DrawTextLine(painter, 10, 20, QStringLiteral("Отчёт"), qfont, Qt::black, QColor(), context);
    }
    EXPECT_GT(width, 0);
    ASSERT_EQ(sink.runs.size(), 1u);
    EXPECT_EQ(sink.runs[0].first, u"Отчёт");
    EXPECT_EQ(sink.runs[0].second.topLeft(), QPointF(15, 27));
    EXPECT_EQ(sink.runs[0].second.width(), width);
    EXPECT_EQ(device.GlyphRuns().size(), 1u);
}
