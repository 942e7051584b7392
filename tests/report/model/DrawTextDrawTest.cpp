// Drawing laid-out text, checked through the recording paint device (glyph runs, clip) and
// the text sink (each run's text and device rectangle).

#include "DrawTextTestSupport.h"
#include "RecordingPaintDevice.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <string>
#include <vector>

namespace {

using drawtexttest::Configured;
using drawtexttest::LaidOut;
using drawtexttest::Lines;
using drawtexttest::LayoutSetup;
using drawtexttest::WidthOf;

struct SinkRun {
    QString Text;
    QRectF Rect;
};

class RecordingSink : public ITrpTextSink {
public:
    void TextRun(const QString& text, const QRectF& deviceRect) override { runs.push_back({text, deviceRect}); }
    std::vector<SinkRun> runs;
};

struct Drawn {
    std::vector<RecordedOperation> operations;
    std::vector<RecordedOperation> glyphRuns;
    std::vector<SinkRun> runs;
};

Drawn Draw(const TrpDrawText& text, TrpHAlign hAlign, TrpVAlign vAlign = vaTop, int dpi = 96, bool printing = false)
{
    RecordingPaintDevice device(QSize(4000, 4000), dpi, dpi);
    RecordingSink sink;
    TrpDrawContext context;
    context.Printing = printing;
    context.Sink = &sink;
    QPainter painter(&device);
    text.DrawText(painter, hAlign, vAlign, context);
    painter.end();
    return {device.Operations(), device.GlyphRuns(), sink.runs};
}

// The device rectangles of each laid-out line (its runs united), in order of lines.
std::vector<QRectF> LineRects(const TrpDrawText& text, const Drawn& drawn)
{
    std::vector<QRectF> lines;
    std::size_t run = 0;
    for (int i = 0; i < text.LineCount(); ++i) {
        QRectF united;
        for (std::size_t k = 0; k < text.LineRuns(i).size(); ++k)
            united = united.united(drawn.runs.at(run++).Rect);
        lines.push_back(united);
    }
    return lines;
}

const QStringList kParagraph{"Теплосчётчик измеряет количество тепловой энергии и параметры теплоносителя в "
                             "закрытых и открытых водяных системах"};

struct SpreadCase {
    int Elements;
    int Count;
    int Unit;
    std::vector<int> Expected;
};

TEST(SpreadIncrements, SpreadsEvenlyOverTheRange)
{
    const SpreadCase cases[] = {
        {4, 3, 1, {1, 0, 1, 1}},   // elements 0, 2 and 3
        {5, 2, 1, {1, 0, 1, 0, 0}}, // elements 0 and 2
        {4, 1, 1, {0, 1, 0, 0}},
        {4, 4, 1, {1, 1, 1, 1}},
        {3, 7, -1, {-3, -2, -2}},  // two each, the rest by the rule
        {5, 0, 1, {0, 0, 0, 0, 0}},
        {1, 3, 1, {3}},
    };
    for (const SpreadCase& c : cases) {
        std::vector<int> values(static_cast<std::size_t>(c.Elements), 0);
        TrpDrawText::SpreadIncrements(values, 0, c.Elements - 1, c.Unit, c.Count);
        EXPECT_EQ(values, c.Expected) << c.Count << " over " << c.Elements;
    }
    std::vector<int> values(6, 0);
    TrpDrawText::SpreadIncrements(values, 2, 5, 1, 3); // a sub-range, as the rule recurses
    EXPECT_EQ(values, (std::vector<int>{0, 0, 1, 0, 1, 1}));
}

TEST(DrawText, NothingWithoutText)
{
    const auto text = LaidOut({}, {});
    EXPECT_TRUE(Draw(*text, haLeft).glyphRuns.empty());
}

TEST(DrawText, JustifiedLinesFillTheBoxAndTheLastIsLeftAligned)
{
    LayoutSetup setup;
    setup.Box = QRectF(10, 20, 200, 1000);
    const auto text = LaidOut(setup, kParagraph);
    ASSERT_GE(text->LineCount(), 3);
    const std::vector<QRectF> lines = LineRects(*text, Draw(*text, haBlock));
    for (int i = 0; i + 1 < text->LineCount(); ++i) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].left(), 10) << "line " << i;
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].right(), 210) << "line " << i;
    }
    EXPECT_EQ(lines.back().left(), 10);
    EXPECT_LT(lines.back().right(), 210);

    // With right-to-left reading the last line goes to the right.
    setup.RTLReading = true;
    const auto rtl = LaidOut(setup, kParagraph);
    const std::vector<QRectF> rtlLines = LineRects(*rtl, Draw(*rtl, haBlock));
    EXPECT_EQ(rtlLines.front().right(), 210);
    EXPECT_EQ(rtlLines.back().right(), 210);
    EXPECT_GT(rtlLines.back().left(), 10);
}

TEST(DrawText, JustifiedLineWithoutBlanksIsLeftAligned)
{
    LayoutSetup setup;
    setup.Box = QRectF(0, 0, WidthOf({}, QStringLiteral("абвгдеёжзийклм")) + 3, 1000);
    const auto text = LaidOut(setup, {"абвгдеёжзийклмнопрстуфхцчшщ"});
    ASSERT_EQ(text->LineCount(), 2);
    const std::vector<QRectF> lines = LineRects(*text, Draw(*text, haBlock));
    EXPECT_EQ(lines[0].left(), 0);
    EXPECT_LT(lines[0].right(), setup.Box.right());
}

TEST(DrawText, RightAlignedLinesEndAtTheEdgeBoldOnePixelShort)
{
    LayoutSetup setup;
    setup.Box = QRectF(5, 0, 200, 1000);
    const auto text = LaidOut(setup, kParagraph);
    for (const QRectF& line : LineRects(*text, Draw(*text, haRight)))
        EXPECT_EQ(line.right(), 205);
    for (const uint32_t style : {kTextStyleBold, kTextStyleItalic}) {
        setup.Style = style;
        const auto slanted = LaidOut(setup, kParagraph);
        for (const QRectF& line : LineRects(*slanted, Draw(*slanted, haRight)))
            EXPECT_EQ(line.right(), 204) << "style " << style;
    }
    // Rotated, the line ends at the edge again (here the box's top).
    setup.Style = kTextStyleBold;
    setup.Rotation = 90;
    setup.Box = QRectF(0, 0, 1000, 200);
    const auto rotated = LaidOut(setup, kParagraph);
    for (const QRectF& line : LineRects(*rotated, Draw(*rotated, haRight)))
        EXPECT_EQ(line.top(), 0);
}

TEST(DrawText, CentredLinesShareTheFreeSpace)
{
    LayoutSetup setup;
    setup.Box = QRectF(0, 0, 200, 1000);
    const auto text = LaidOut(setup, kParagraph);
    for (const QRectF& line : LineRects(*text, Draw(*text, haCenter)))
        EXPECT_LE(std::abs(line.left() - (200 - line.right())), 1);
}

TEST(DrawText, ParagraphGapIndentsTheFirstLine)
{
    LayoutSetup setup;
    setup.ParagraphGap = 12.4;
    setup.ScaleX = setup.ScaleY = 2;
    setup.Box = QRectF(0, 0, 200, 1000);
    setup.ScaledBox = QRectF(0, 0, 400, 2000);
    const auto text = LaidOut(setup, kParagraph);
    const std::vector<QRectF> lines = LineRects(*text, Draw(*text, haLeft));
    EXPECT_EQ(lines[0].left(), 25); // nearest(12.4 x 2)
    EXPECT_EQ(lines[1].left(), 0);
}

TEST(DrawText, RotationNinetyRunsUpwardFromTheBottomLeftCorner)
{
    LayoutSetup setup;
    setup.Box = QRectF(100, 50, 60, 300);
    const auto upright = LaidOut(setup, {"abc"});
    const double baseline = Draw(*upright, haLeft).glyphRuns.at(0).GlyphPositions.at(0).y() - 50;

    setup.Rotation = 90;
    const auto text = LaidOut(setup, {"abc"});
    const Drawn drawn = Draw(*text, haLeft);
    ASSERT_EQ(drawn.glyphRuns.size(), 1u);
    const RecordedOperation& run = drawn.glyphRuns[0];
    EXPECT_NEAR(run.Angle, 90, 1e-9);
    ASSERT_EQ(run.GlyphPositions.size(), 3);
    EXPECT_NEAR(run.GlyphPositions[0].x(), 100 + baseline, 1e-6);
    EXPECT_NEAR(run.GlyphPositions[0].y(), 350, 1e-6);
    EXPECT_LT(run.GlyphPositions[1].y(), run.GlyphPositions[0].y());
    EXPECT_LT(run.GlyphPositions[2].y(), run.GlyphPositions[1].y());
    EXPECT_NEAR(run.GlyphPositions[2].x(), run.GlyphPositions[0].x(), 1e-6);
}

TEST(DrawText, VerticalAlignmentOfThreeLinesInATenLineBox)
{
    LayoutSetup setup;
    const double lineHeight = 83 / 6.25 + 2;
    setup.Box = QRectF(0, 40, 200, 10 * lineHeight);
    const auto text = LaidOut(setup, {"a", "b", "c"});
    const int step = 2 + 13; // line spacing and the 10-point font at 96 dpi
    const auto tops = [&](TrpVAlign vAlign) {
        std::vector<double> result;
        for (const QRectF& line : LineRects(*text, Draw(*text, haLeft, vAlign)))
            result.push_back(line.top());
        return result;
    };
    EXPECT_EQ(tops(vaTop).front(), 40);
    const std::vector<double> bottom = tops(vaBottom);
    EXPECT_NEAR(bottom.back() + step, setup.Box.bottom(), 1);
    const std::vector<double> centre = tops(vaCenter);
    EXPECT_NEAR(centre.front() - 40, setup.Box.bottom() - (centre.back() + step), 1);
    // Three lines land where the measurement puts them: two line heights apart.
    EXPECT_NEAR(bottom.back() - bottom.front(), 2 * lineHeight, 0.5);
}

TEST(DrawText, ZoomTwoKeepsTheBreaksAndDoublesThePositions)
{
    LayoutSetup setup;
    setup.Box = QRectF(0, 0, 150, 1000);
    const auto text = LaidOut(setup, kParagraph + kParagraph + kParagraph + kParagraph);
    ASSERT_GE(text->LineCount(), 20);
    const Drawn one = Draw(*text, haLeft);
    text->SetDimensions(2, 2, 1, setup.Box, QRectF(0, 0, 400, 2000));
    const Drawn two = Draw(*text, haLeft);
    ASSERT_EQ(one.glyphRuns.size(), two.glyphRuns.size());
    for (std::size_t r = 0; r < one.glyphRuns.size(); ++r) {
        EXPECT_EQ(one.glyphRuns[r].PixelSize, 13);
        EXPECT_EQ(two.glyphRuns[r].PixelSize, 27);
        ASSERT_EQ(one.glyphRuns[r].GlyphPositions.size(), two.glyphRuns[r].GlyphPositions.size());
        for (qsizetype g = 0; g < one.glyphRuns[r].GlyphPositions.size(); ++g) {
            const QPointF p1 = one.glyphRuns[r].GlyphPositions[g];
            const QPointF p2 = two.glyphRuns[r].GlyphPositions[g];
            EXPECT_LE(std::abs(p2.x() - 2 * p1.x()), 1) << "run " << r << " glyph " << g;
            EXPECT_LE(std::abs(p2.y() - 2 * p1.y()), 1) << "run " << r << " glyph " << g;
        }
        EXPECT_LE(std::abs(two.runs[r].Rect.width() - 2 * one.runs[r].Rect.width()), 1);
    }
}

TEST(DrawText, SubscriptIsLowerAndSmallerSuperscriptOnlySmaller)
{
    const auto text = LaidOut({}, {"H<sub>2</sub>O<sup>3</sup>"});
    const Drawn drawn = Draw(*text, haLeft);
    ASSERT_EQ(drawn.runs.size(), 4u);
    EXPECT_EQ(drawn.runs[1].Text, QStringLiteral("2"));
    EXPECT_EQ(drawn.runs[1].Rect.top() - drawn.runs[0].Rect.top(), 7); // 7 points x ScaleY 1
    EXPECT_EQ(drawn.runs[3].Rect.top(), drawn.runs[0].Rect.top());
    EXPECT_EQ(drawn.glyphRuns[0].PixelSize, 13);
    EXPECT_EQ(drawn.glyphRuns[1].PixelSize, 9); // nearest(7 x 96 / 72)
    EXPECT_EQ(drawn.glyphRuns[3].PixelSize, 9);
    // Each run starts where the one before it ends.
    EXPECT_EQ(drawn.runs[1].Rect.left(), drawn.runs[0].Rect.right());
    EXPECT_EQ(drawn.runs[2].Rect.left(), drawn.runs[1].Rect.right());
}

TEST(DrawText, ClipsToTheScaledBoxOnlyWhenClipped)
{
    LayoutSetup setup;
    setup.Box = QRectF(10, 10, 100, 100);
    setup.ScaledBox = QRectF(30, 40, 200, 200);
    const auto enabledClip = [](const Drawn& drawn) {
        for (const RecordedOperation& op : drawn.operations) {
            if (op.What == RecordedOperation::GlyphRun)
                break;
            if (op.What == RecordedOperation::ClipChange && op.ClipEnabled)
                return op.DeviceRect;
        }
        return QRectF();
    };
    EXPECT_EQ(enabledClip(Draw(*LaidOut(setup, {"x"}), haLeft)), QRectF(30, 40, 200, 200));
    setup.Clipped = false;
    EXPECT_EQ(enabledClip(Draw(*LaidOut(setup, {"x"}), haLeft)), QRectF());
}

TEST(DrawText, OnAPrinterTheFontFollowsThePrinterResolution)
{
    LayoutSetup setup;
    setup.ScaleX = setup.ScaleY = 6.25;
    setup.Box = QRectF(0, 0, 200, 100);
    setup.ScaledBox = QRectF(0, 0, 1250, 625);
    const auto text = LaidOut(setup, {"Расход"});
    const Drawn printed = Draw(*text, haLeft, vaTop, 600, true);
    EXPECT_EQ(printed.glyphRuns.at(0).PixelSize, 83);
    EXPECT_NEAR(printed.runs.at(0).Rect.width(), text->CalcWidth() * 6.25, 0.5);
    // The same device without the printing flag is a screen at zoom 6.25.
    text->SetDimensions(1, 1, 1, setup.Box, setup.Box);
    EXPECT_EQ(Draw(*text, haLeft, vaTop, 600, false).glyphRuns.at(0).PixelSize, 13);
}

TEST(DrawText, RunsCarryTheirColourStyleAndText)
{
    LayoutSetup setup;
    setup.Color = 0x00FF00;
    const auto text = LaidOut(setup, {"ab<b>cd</b><font color=red><u>e"});
    const Drawn drawn = Draw(*text, haLeft);
    ASSERT_EQ(drawn.runs.size(), 3u);
    EXPECT_EQ(drawn.runs[0].Text, QStringLiteral("ab"));
    EXPECT_EQ(drawn.runs[1].Text, QStringLiteral("cd"));
    EXPECT_EQ(drawn.runs[2].Text, QStringLiteral("e"));
    EXPECT_EQ(drawn.glyphRuns[0].TextColor, QColor(0, 255, 0));
    EXPECT_EQ(drawn.glyphRuns[2].TextColor, QColor(255, 0, 0));
    EXPECT_NE(drawn.glyphRuns[1].Glyphs, drawn.glyphRuns[0].Glyphs);
    // The underline of the last run is a line under it.
    bool underlined = false;
    for (const RecordedOperation& line : drawn.operations)
        if (line.What == RecordedOperation::Line && line.DevicePoints[0].x() >= drawn.runs[2].Rect.left() - 1)
            underlined = true;
    EXPECT_TRUE(underlined);
}

TEST(DrawText, RightToLeftReadingPutsTheFirstRunRightmost)
{
    LayoutSetup setup;
    setup.RTLReading = true;
    const auto text = LaidOut(setup, {"ab<b>cd"});
    const Drawn drawn = Draw(*text, haLeft);
    ASSERT_EQ(drawn.runs.size(), 2u);
    EXPECT_EQ(drawn.runs[1].Rect.left(), 0);
    EXPECT_EQ(drawn.runs[0].Rect.left(), drawn.runs[1].Rect.right());
}

// One layout, measured and drawn again and again, gives the same picture every time.
TEST(DrawText, DrawingLeavesTheLayoutAsItIs)
{
    const auto text = LaidOut({}, {"a<b>b</b>c<sub>2</sub>d", "e<i>f"});
    const Drawn first = Draw(*text, haBlock);
    const double width = text->CalcWidth();
    const Drawn second = Draw(*text, haBlock);
    EXPECT_EQ(text->CalcWidth(), width);
    ASSERT_EQ(first.glyphRuns.size(), second.glyphRuns.size());
    for (std::size_t r = 0; r < first.glyphRuns.size(); ++r) {
        EXPECT_EQ(first.glyphRuns[r].Glyphs, second.glyphRuns[r].Glyphs);
        EXPECT_EQ(first.glyphRuns[r].GlyphPositions, second.glyphRuns[r].GlyphPositions);
        EXPECT_EQ(first.glyphRuns[r].PixelSize, second.glyphRuns[r].PixelSize);
    }
}

} // namespace
