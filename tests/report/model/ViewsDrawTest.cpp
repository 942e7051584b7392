// The views drawing themselves: frames and shadows of a view, shapes, lines and their arrow
// heads, pictures stretched and clipped, check-box marks, memos through the text renderer
// (the text rectangle, the sink, the sizes), subreports; and rptool render-design.

#include "ViewTestSupport.h"
#include "RecordingPaintDevice.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpChBox.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpGraphicUtils.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Op = RecordedOperation;

class ViewsDraw : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }

    // Draws the view at scale 1 without offsets onto a fresh recording device.
    void DrawAtScale(TrpReportComponent& view, double scale = 1, const TrpDrawContext& context = {})
    {
        device_.Clear();
        QPainter painter(&device_);
        view.Draw(painter, scale, scale, 0, 0, context);
    }

    std::vector<QLine> Lines() const
    {
        std::vector<QLine> lines;
        for (const Op& op : device_.Operations(Op::Line))
            lines.emplace_back(op.DevicePoints[0].toPoint(), op.DevicePoints[1].toPoint());
        return lines;
    }

    // The pens of the lines, in order.
    std::vector<QPen> LinePens() const
    {
        std::vector<QPen> pens;
        QPen pen;
        for (const Op& op : device_.Operations()) {
            if (op.What == Op::PenChange)
                pen = op.Pen;
            else if (op.What == Op::Line)
                pens.push_back(pen);
        }
        return pens;
    }

    RecordingPaintDevice device_;
};

} // namespace

TEST_F(ViewsDraw, SolidFrameOfThreePixelsFillsItsCorners)
{
    TrpView view;
    view.SetBounds(10, 10, 100, 50);
    view.Frame().SetWidth(3);
    view.Frame().Typ = kAllFrameSides;
    DrawAtScale(view);
    // Sides in the order left, right, top, bottom; joined ends are not pulled in, and the
    // square caps of the 3-pixel pens fill the corners.
    const std::vector<QLine> expected = {QLine(10, 10, 10, 60), QLine(110, 10, 110, 60), QLine(10, 10, 110, 10),
                                         QLine(10, 60, 110, 60)};
    EXPECT_EQ(Lines(), expected);
    for (const QPen& pen : LinePens()) {
        EXPECT_EQ(pen.width(), 3);
        EXPECT_EQ(pen.capStyle(), Qt::SquareCap);
    }
}

TEST_F(ViewsDraw, LeftSideAloneIsPulledInAtBothEnds)
{
    TrpView view;
    view.SetBounds(10, 10, 100, 50);
    view.Frame().SetWidth(3);
    view.Frame().Typ = 1u << ftLeft;
    DrawAtScale(view);
    EXPECT_EQ(Lines(), std::vector<QLine>{QLine(10, 11, 10, 59)});
}

TEST_F(ViewsDraw, DropShadowMovesTheFrameInAndFillsTheStrips)
{
    TrpView view;
    view.SetBounds(0, 0, 100, 50);
    view.Frame().Typ = kAllFrameSides;
    view.Frame().DropShadow = true;
    view.Frame().ShadowColor = TColor(0xFF0000);
    DrawAtScale(view);
    EXPECT_EQ(view.DeviceRect().X1, 96);
    EXPECT_EQ(view.DeviceRect().Y1, 46);
    const auto rectangles = device_.Operations(Op::Rectangle);
    ASSERT_EQ(rectangles.size(), 2u);
    EXPECT_EQ(rectangles[0].DeviceRect, QRectF(96, 4, 4, 42));
    EXPECT_EQ(rectangles[1].DeviceRect, QRectF(4, 46, 96, 4));
    EXPECT_EQ(Lines().front(), QLine(0, 0, 0, 46));
}

TEST_F(ViewsDraw, NoFrameLinesButTheShadow)
{
    struct Case {
        const char* name;
        double width;
        TColor color;
        TrpFrameTypes typ;
    };
    const Case cases[] = {
        {"width 0", 0, clBlack, kAllFrameSides},
        {"no colour", 1, clNone, kAllFrameSides},
        {"no sides", 1, clBlack, 0},
    };
    for (const Case& c : cases) {
        TrpView view;
        view.SetBounds(0, 0, 100, 50);
        view.Frame().SetWidth(c.width);
        view.Frame().SetColor(c.color);
        view.Frame().Typ = c.typ;
        view.Frame().DropShadow = true;
        DrawAtScale(view);
        EXPECT_TRUE(Lines().empty()) << c.name;
        EXPECT_EQ(device_.Operations(Op::Rectangle).size(), 2u) << c.name;
    }
}

TEST_F(ViewsDraw, BackgroundAndHatchInTheFrameColour)
{
    TrpView view;
    view.SetBounds(0, 0, 40, 20);
    view.Color = TColor(0x00FFFF);
    view.BrushStyle = bsDiagCross;
    view.Frame().SetColor(clRed);
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        view.Draw(painter, 1, 1, 0, 0, {});
    }
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red)); // the hatch crosses the corner
    EXPECT_EQ(image.pixelColor(4, 1), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(45, 25), QColor(Qt::white));
}

TEST_F(ViewsDraw, DashedSidesAreOnePixelDashedPens)
{
    TrpView view;
    view.SetBounds(0, 0, 100, 50);
    view.Frame().SetStyle(fsDashDot);
    view.Frame().SetWidth(2);
    view.Frame().Typ = 1u << ftTop;
    DrawAtScale(view);
    const std::vector<QLine> expected = {QLine(0, -1, 100, -1), QLine(0, 0, 100, 0)};
    EXPECT_EQ(Lines(), expected);
    for (const QPen& pen : LinePens()) {
        EXPECT_EQ(pen.style(), Qt::DashDotLine);
        EXPECT_LE(pen.width(), 1);
    }
}

TEST_F(ViewsDraw, StraightLineBecomesHorizontalOrVertical)
{
    TrpLineView wide;
    wide.SetBounds(0, 0, 100, 30);
    wide.Frame().Typ = kAllFrameSides;
    DrawAtScale(wide);
    EXPECT_EQ(wide.Height(), 0);
    EXPECT_EQ(wide.Frame().Typ, 1u << ftTop);
    EXPECT_EQ(Lines(), std::vector<QLine>{QLine(0, 0, 100, 0)});

    TrpLineView tall;
    tall.SetBounds(0, 0, 30, 100);
    DrawAtScale(tall);
    EXPECT_EQ(tall.Width(), 0);
    EXPECT_EQ(tall.Frame().Typ, 1u << ftLeft);
    EXPECT_EQ(Lines(), std::vector<QLine>{QLine(0, 0, 0, 100)});
}

TEST_F(ViewsDraw, ArrowHeadsAtBothEndsPointOutwards)
{
    TrpLineView line;
    line.SetBounds(10, 10, 200, 0);
    line.ArrowStart = true;
    line.ArrowEnd = true;
    line.ArrowSolid = true;
    DrawAtScale(line);
    const auto polygons = device_.Operations(Op::Polygon);
    ASSERT_EQ(polygons.size(), 2u);
    const QPolygon start = polygons[0].DevicePoints.toPolygon();
    const QPolygon end = polygons[1].DevicePoints.toPolygon();
    EXPECT_EQ(start[0], QPoint(10, 10));
    EXPECT_EQ(start[1], QPoint(30, 5));
    EXPECT_EQ(start[2], QPoint(30, 15));
    EXPECT_EQ(end[0], QPoint(210, 10));
    EXPECT_EQ(end[1], QPoint(190, 5));
    EXPECT_EQ(end[2], QPoint(190, 15));

    // Open heads are polylines, a diagonal line one thick line corner to corner.
    TrpLineView diagonal;
    diagonal.SetBounds(0, 0, 100, 100);
    diagonal.Diagonal = true;
    diagonal.ArrowEnd = true;
    DrawAtScale(diagonal);
    EXPECT_EQ(Lines(), std::vector<QLine>{QLine(0, 0, 100, 100)});
    const auto heads = device_.Operations(Op::Polygon);
    ASSERT_EQ(heads.size(), 1u);
    ASSERT_EQ(heads[0].DevicePoints.size(), 3); // wing, tip, wing
    EXPECT_EQ(heads[0].DevicePoints[1].toPoint(), QPoint(100, 100));
}

TEST_F(ViewsDraw, ShapesWithTheirBrushesAndDoubleOutline)
{
    TrpShapeView shape;
    shape.SetBounds(0, 0, 100, 60);
    shape.Shape = skEllipse;
    shape.Color = TColor(0x00FFFF);
    shape.BrushStyle = bsCross;
    DrawAtScale(shape);
    // Filled with the colour, then the hatch in the frame colour.
    std::vector<std::pair<Qt::BrushStyle, QColor>> brushes;
    for (const Op& op : device_.Operations(Op::BrushChange)) {
        if (op.Brush.style() != Qt::NoBrush)
            brushes.emplace_back(op.Brush.style(), op.Brush.color());
    }
    ASSERT_GE(brushes.size(), 2u);
    EXPECT_EQ(brushes[0], std::make_pair(Qt::SolidPattern, QColor(Qt::yellow)));
    EXPECT_EQ(brushes[1], std::make_pair(Qt::CrossPattern, QColor(Qt::black)));

    TrpShapeView square;
    square.SetBounds(0, 0, 100, 60);
    square.Frame().SetStyle(fsDouble);
    square.Frame().SetWidth(2);
    DrawAtScale(square);
    const auto rectangles = device_.Operations(Op::Rectangle);
    ASSERT_EQ(rectangles.size(), 2u);
    EXPECT_EQ(rectangles[0].DeviceRect, QRectF(0, 0, 100, 60));
    EXPECT_EQ(rectangles[1].DeviceRect, QRectF(4, 4, 92, 52)); // moved in by twice the width
    EXPECT_EQ(square.DeviceRect().X1, 100); // the object's own rectangle again after drawing
}

TEST_F(ViewsDraw, PictureStretchedKeepingItsProportions)
{
    struct Case {
        bool center;
        QRectF target;
    };
    const Case cases[] = {{false, QRectF(0, 0, 100, 50)}, {true, QRectF(0, 25, 100, 50)}};
    for (const Case& c : cases) {
        TrpPictureView picture;
        picture.SetBounds(0, 0, 100, 100);
        picture.Picture().SetData(QStringLiteral("PNG"), PngBytes(200, 100));
        picture.Center = c.center;
        DrawAtScale(picture);
        const auto images = device_.Operations(Op::Image);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].DeviceRect, c.target) << c.center;
    }
}

TEST_F(ViewsDraw, PictureAtItsSizeIsClippedToTheObject)
{
    TrpPictureView picture;
    picture.SetBounds(10, 10, 100, 100);
    picture.Picture().SetData(QStringLiteral("PNG"), PngBytes(200, 100));
    picture.Stretched = false;
    picture.Center = true;
    DrawAtScale(picture, 2);
    const auto images = device_.Operations(Op::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].DeviceRect, QRectF(-80, 20, 400, 200));
    bool clipped = false;
    for (const Op& op : device_.Operations(Op::ClipChange))
        clipped = clipped || (op.ClipEnabled && op.DeviceRect == QRectF(20, 20, 200, 200));
    EXPECT_TRUE(clipped);
}

TEST_F(ViewsDraw, EmptyPictureShowsItsSymbolOnlyInTheDesigner)
{
    TrpPictureView picture;
    picture.SetBounds(0, 0, 100, 100);
    DrawAtScale(picture);
    const std::size_t printed = device_.Operations().size();
    picture.SetDesigning(true);
    DrawAtScale(picture);
    EXPECT_GT(device_.Operations().size(), printed);
}

TEST_F(ViewsDraw, MetafileIsDrawnAsThePlaceholder)
{
    TrpPictureView picture;
    picture.SetBounds(0, 0, 100, 80);
    QByteArray emf(120, '\0');
    emf[40] = ' ';
    emf[41] = 'E';
    emf[42] = 'M';
    emf[43] = 'F';
    picture.Picture().SetData(QStringLiteral("EMF"), emf);
    picture.Stretched = true;
    picture.KeepAspectRatio = false;
    DrawAtScale(picture);
    EXPECT_TRUE(device_.Operations(Op::Image).empty());
    EXPECT_GE(Lines().size(), 2u); // the diagonals
    EXPECT_EQ(picture.Picture().Data(), emf);
}

TEST_F(ViewsDraw, CheckBoxMarksByStateAndStyle)
{
    struct Case {
        bool checked;
        TrpCheckStyle check;
        TrpUncheckStyle uncheck;
        TrpCheckMark mark;
    };
    const Case cases[] = {
        {true, csCross, usMinus, TrpCheckMark::Cross},      {true, csCheck, usMinus, TrpCheckMark::Tick},
        {true, csLineCross, usMinus, TrpCheckMark::LineCross}, {true, csPlus, usMinus, TrpCheckMark::Plus},
        {false, csPlus, usEmpty, TrpCheckMark::None},       {false, csPlus, usCross, TrpCheckMark::Cross},
        {false, csPlus, usLineCross, TrpCheckMark::LineCross}, {false, csPlus, usMinus, TrpCheckMark::Minus},
    };
    for (const Case& c : cases) {
        TrpCheckBoxView box;
        box.Checked = c.checked;
        box.CheckStyle = c.check;
        box.UncheckStyle = c.uncheck;
        EXPECT_EQ(box.Mark(), c.mark) << c.checked << " " << c.check << " " << c.uncheck;
    }

    TrpCheckBoxView box;
    box.SetBounds(0, 0, 20, 20);
    box.CheckStyle = csLineCross;
    box.CheckColor = clRed;
    DrawAtScale(box);
    const std::vector<QLine> lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], QLine(0, 0, 20, 20));
    EXPECT_EQ(lines[1], QLine(0, 20, 20, 0));
    EXPECT_EQ(LinePens()[0].color(), QColor(Qt::red));
}

TEST_F(ViewsDraw, MemoTextRectangleInsideFrameAndGaps)
{
    TrpMemoView memo;
    memo.SetBounds(10, 20, 100, 30);
    memo.Frame().SetWidth(3);
    memo.Frame().Typ = kAllFrameSides;
    memo.SetDrawParams(2, 2, 5, 0);
    // 3 x 2 = 6 pixel lines: in by round(2.5) = 2 left and top, round(3) = 3 right and
    // bottom; gaps 4 and 2 at scale 2.
    const TrpDeviceRect& text = memo.TextRect();
    EXPECT_EQ(text.X, 25 + 2 + 4);
    EXPECT_EQ(text.Y, 40 + 2 + 2);
    EXPECT_EQ(text.X1, 225 - 3 - 4 + 1);
    EXPECT_EQ(text.Y1, 100 - 3 - 2 + 1);
}

TEST_F(ViewsDraw, MemoDrawsItsTextRunsToTheSinkInOrder)
{
    TrpMemoView first;
    first.SetBounds(0, 0, 200, 40);
    first.SetText(QStringLiteral("Первая строка"));
    TrpMemoView second;
    second.SetBounds(0, 50, 200, 40);
    second.SetText(QStringLiteral("Вторая"));
    second.HAlign = haRight;
    RecordingSink sink;
    TrpDrawContext context;
    context.Sink = &sink;
    device_.Clear();
    {
        QPainter painter(&device_);
        first.Draw(painter, 1, 1, 0, 0, context);
        second.Draw(painter, 1, 1, 0, 0, context);
    }
    ASSERT_EQ(sink.runs.size(), 2u);
    EXPECT_EQ(sink.runs[0].first, u"Первая строка");
    EXPECT_EQ(sink.runs[1].first, u"Вторая");
    EXPECT_LT(sink.runs[0].second.top(), 10);
    EXPECT_GT(sink.runs[1].second.top(), 50);
    EXPECT_NEAR(sink.runs[1].second.right(), 198, 2); // right-aligned inside the gap
    EXPECT_FALSE(device_.GlyphRuns().empty());
}

TEST_F(ViewsDraw, MemoHeightAndWidthFollowTheText)
{
    TrpMemoView memo;
    memo.SetBounds(0, 0, 300, 20);
    memo.Frame().Typ = kAllFrameSides;
    memo.SetText(QStringLiteral("Строка"));
    const double one = memo.CalcHeight();
    memo.SetText(QStringLiteral("Строка\r\nСтрока\r\nСтрока"));
    const double three = memo.CalcHeight();
    EXPECT_GT(one, memo.VerticalPadding());
    EXPECT_NEAR(three - memo.VerticalPadding(), 3 * (one - memo.VerticalPadding()), 3);
    EXPECT_EQ(memo.VerticalPadding(), 2 * 1 + 0 + 0.5);
    EXPECT_EQ(memo.HorizontalPadding(), 2 * 2 + 0 + 0.5);
    const double width = memo.CalcWidth();
    EXPECT_GT(width, memo.HorizontalPadding());
    EXPECT_LT(width, 100);
}

TEST_F(ViewsDraw, AutoWidthMemoKeepsItsRightEdge)
{
    TrpMemoView memo;
    memo.SetBounds(100, 0, 300, 20);
    memo.SetText(QStringLiteral("Итого"));
    memo.AutoWidth = true;
    memo.HAlign = haRight;
    const double width = memo.CalcWidth();
    DrawAtScale(memo);
    EXPECT_NEAR(memo.Width(), width, 1);
    EXPECT_NEAR(memo.Left() + memo.Width(), 400, 1e-9);
}

TEST_F(ViewsDraw, UnderlinesRuleEveryLineHeight)
{
    TrpMemoView memo;
    memo.SetBounds(0, 0, 100, 100);
    memo.Underlines = true;
    DrawAtScale(memo);
    const std::vector<QLine> lines = Lines();
    ASSERT_GE(lines.size(), 3u);
    const int step = lines[1].y1() - lines[0].y1();
    EXPECT_GT(step, 10);
    for (const QLine& line : lines) {
        EXPECT_EQ(line.x1(), 0);
        EXPECT_EQ(line.x2(), 100);
        EXPECT_LT(line.y1(), 100);
    }
}

TEST_F(ViewsDraw, DesignerShowsTheFieldReferenceOfABoundMemo)
{
    TrpMemoView memo;
    memo.SetText(QStringLiteral("текст"));
    EXPECT_EQ(memo.DrawnLines(), QStringList{QStringLiteral("текст")});
    memo.SetDesigning(true);
    EXPECT_EQ(memo.DrawnLines(), QStringList{QStringLiteral("текст")}); // not bound
}

TEST_F(ViewsDraw, SubreportWritesItsName)
{
    TrpSubreport subreport;
    subreport.SetName(QStringLiteral("Subreport1"));
    subreport.SetBounds(10, 10, 200, 40);
    RecordingSink sink;
    TrpDrawContext context;
    context.Sink = &sink;
    DrawAtScale(subreport, 1, context);
    ASSERT_EQ(sink.runs.size(), 1u);
    EXPECT_EQ(sink.runs[0].first, u"Subreport1");
    EXPECT_EQ(sink.runs[0].second.topLeft(), QPointF(12, 12));
}

TEST_F(ViewsDraw, PageBackgroundOverThePrintableArea)
{
    TrpReportPage page;
    page.LeftMargin = 10;
    page.TopMargin = 20;
    page.RightMargin = 10;
    page.BottomMargin = 10;
    page.SetColor(TColor(0x00FFFF));
    device_.Clear();
    {
        QPainter painter(&device_);
        page.Draw(painter, 1, 1, 0, 0, {});
    }
    const auto rectangles = device_.Operations(Op::Rectangle);
    ASSERT_EQ(rectangles.size(), 1u);
    EXPECT_EQ(rectangles[0].DeviceRect.topLeft(), QPointF(38, 76));

    // Printing leaves out a background that is not printable.
    page.BackPicturePrintable = false;
    TrpDrawContext printing;
    printing.Printing = true;
    device_.Clear();
    {
        QPainter painter(&device_);
        page.Draw(painter, 1, 1, 0, 0, printing);
    }
    EXPECT_TRUE(device_.Operations(Op::Rectangle).empty());
}

TEST(RenderDesign, DrawsTheViewsReportIntoAPng)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("p.png"));
    QProcess tool;
    tool.start(QStringLiteral(DAX_RPTOOL),
               {QStringLiteral("render-design"), QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3"),
                QStringLiteral("--page"), QStringLiteral("1"), QStringLiteral("--out"), out});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(794, 1123)); // A4 at 96 per inch
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    // The yellow rectangle among the shapes: margin 38 plus its place.
    EXPECT_EQ(image.pixelColor(38 + 40, 38 + 474 + 40), QColor(Qt::yellow));

    // A page the report does not have, and a missing option.
    tool.start(QStringLiteral(DAX_RPTOOL), {QStringLiteral("render-design"),
                                             QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/views.zi3"),
                                             QStringLiteral("--page"), QStringLiteral("2"), QStringLiteral("--out"), out});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardError().contains("The report has no report page 2."));
    tool.start(QStringLiteral(DAX_RPTOOL), {QStringLiteral("render-design"), QStringLiteral("x.zi3")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
}

TEST_F(ViewsDraw, DialogComponentIsARaisedSquareWithItsName)
{
    TrpDialogComponent component;
    component.SetName(QStringLiteral("Query1"));
    component.SetBounds(40, 50, 100, 10);
    RecordingSink sink;
    TrpDrawContext context;
    context.Sink = &sink;
    DrawAtScale(component, 3, context); // scales are not used
    EXPECT_EQ(component.Width(), 28);
    EXPECT_EQ(component.Height(), 28);
    const auto fills = device_.Operations(Op::Rectangle);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills[0].DeviceRect, QRectF(40, 50, 28, 28));
    ASSERT_EQ(sink.runs.size(), 1u);
    EXPECT_EQ(sink.runs[0].first, u"Query1");
    EXPECT_EQ(sink.runs[0].second.top(), 50 + 28 + 4);
    EXPECT_NEAR(sink.runs[0].second.center().x(), 40 + 14, 1);
}

TEST_F(ViewsDraw, ThePrintingFlagOfTheContextChoosesThePrintScale)
{
    TrpMemoView memo;
    memo.SetBounds(0, 0, 200, 40);
    memo.SetText(QStringLiteral("Печать"));
    RecordingPaintDevice printer(QSize(2000, 2000), 192, 192);
    const auto pixelSize = [&](bool printing, double printScale) {
        printer.Clear();
        TrpDrawContext context;
        context.Printing = printing;
        context.PrintScale = printScale;
        {
            QPainter painter(&printer);
            memo.Draw(painter, 2, 2, 0, 0, context);
        }
        const auto runs = printer.GlyphRuns();
        return runs.empty() ? 0.0 : runs[0].PixelSize;
    };
    const double screen = pixelSize(false, 1);
    EXPECT_GT(screen, 20);
    EXPECT_EQ(pixelSize(false, 0.5), screen); // not printing: the print scale is not used
    EXPECT_NEAR(pixelSize(true, 0.5), screen / 2, 1);
}

TEST_F(ViewsDraw, GeometryFarOutsideThePageIsClampedToTheDeviceRange)
{
    TrpShapeView shape;
    shape.SetBounds(-1e6, 1e6, 2e6, 10);
    shape.Frame().SetWidth(1e6);
    DrawAtScale(shape, 8);
    EXPECT_EQ(shape.DeviceRect().X, -kMaxDeviceCoordinate);
    EXPECT_EQ(shape.DeviceRect().Y, kMaxDeviceCoordinate);
    EXPECT_EQ(shape.DeviceRect().X1, kMaxDeviceCoordinate);
    EXPECT_EQ(shape.FrameWidth(), kMaxDeviceCoordinate);
}
