// The scheme drawings on the recording canvas: each primitive's strokes with the coordinates,
// colours and texts of its definition, and the setup page's drawings of the free configuration,
// of the schemes that draw nothing and of the two supply lines, plus a check over every scheme
// of both heat systems that no point is drawn that the scheme does not have.

#include "app/DaxSetupTSFrame.h"
#include "app/Drawthermosheme.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Kind = TSchemeStroke::Kind;

const QColor kWindow(0xF0, 0xF0, 0xF0); // the recording canvas's window colour
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
// What a canvas holds when a primitive starts: nothing the primitives set themselves.
const QColor kStartPen(0x12, 0x34, 0x56);
constexpr int kStartWidth = 3;
const QColor kStartBrush(0x65, 0x43, 0x21);

TSchemeStroke Fill(int left, int top, int right, int bottom, QColor brush = kStartBrush)
{
    return {Kind::FillRect, {{left, top}, {right, bottom}}, QColor(), 0, brush, {}, QColor()};
}
TSchemeStroke Box(int left, int top, int right, int bottom, QColor pen, int width, QColor brush)
{
    return {Kind::Rectangle, {{left, top}, {right, bottom}}, pen, width, brush, {}, QColor()};
}
TSchemeStroke Frame(int left, int top, int right, int bottom, int width, QColor pen = kStartPen)
{
    return {Kind::FrameRectangle, {{left, top}, {right, bottom}}, pen, width, QColor(), {}, QColor()};
}
TSchemeStroke Round(int left, int top, int right, int bottom, QColor pen, int width, QColor brush)
{
    return {Kind::Ellipse, {{left, top}, {right, bottom}}, pen, width, brush, {}, QColor()};
}
TSchemeStroke Triangle(std::vector<QPoint> points, QColor brush)
{
    return {Kind::Polygon, std::move(points), kBlack, 1, brush, {}, QColor()};
}
TSchemeStroke Lines(std::vector<QPoint> points, int width, QColor pen = kStartPen)
{
    return {Kind::Polyline, std::move(points), pen, width, QColor(), {}, QColor()};
}
TSchemeStroke Label(int x, int y, const char* text, QColor pen = kStartPen)
{
    return {Kind::Text, {{x, y}}, pen, 0, QColor(), QString::fromUtf8(text), kWindow};
}

// The strokes of a drawing made on a fresh canvas holding the start pen and brush; the canvas
// must hold them again afterwards.
std::vector<TSchemeStroke> Record(const std::function<void(TSchemeCanvas&)>& draw)
{
    TRecordingSchemeCanvas canvas(kWindow);
    canvas.SetPenColor(kStartPen);
    canvas.SetPenWidth(kStartWidth);
    canvas.SetBrushColor(kStartBrush);
    draw(canvas);
    EXPECT_EQ(canvas.PenColor(), kStartPen);
    EXPECT_EQ(canvas.PenWidth(), kStartWidth);
    EXPECT_EQ(canvas.BrushColor(), kStartBrush);
    return canvas.Strokes();
}

struct PrimitiveCase {
    const char* Name;
    std::function<void(TSchemeCanvas&)> Draw;
    std::vector<TSchemeStroke> Expected;
};

void PrintTo(const PrimitiveCase& c, std::ostream* out)
{
    *out << c.Name;
}

class SchemePrimitives : public testing::TestWithParam<PrimitiveCase> {};

TEST_P(SchemePrimitives, DrawTheirStrokesAndPutBackThePenAndBrush)
{
    EXPECT_EQ(Record(GetParam().Draw), GetParam().Expected);
}

std::vector<TSchemeStroke> Fins(int x, int y)
{
    std::vector<TSchemeStroke> fins;
    for (int fin = x + 20; fin <= x + 100; fin += 10)
        fins.push_back(Lines({{fin, y + 10}, {fin, y + 50}}, 2));
    return fins;
}

std::vector<TSchemeStroke> Consumer()
{
    std::vector<TSchemeStroke> strokes = {Fill(98, 48, 162, 52), Fill(98, 108, 162, 112), Fill(158, 48, 162, 59),
                                          Fill(158, 101, 162, 112), Frame(120, 60, 200, 100, 4)};
    for (const TSchemeStroke& fin : Fins(100, 50))
        strokes.push_back(fin);
    return strokes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SchemePrimitives,
    testing::Values(
        PrimitiveCase{"HorizontalPipe", [](TSchemeCanvas& c) { DrawHorizontalPipe(c, 240, 20, 30); },
                      {Fill(18, 28, 242, 32)}},
        PrimitiveCase{"VerticalPipe", [](TSchemeCanvas& c) { DrawVerticalPipe(c, 60, 150, 90); },
                      {Fill(58, 88, 62, 152)}},
        PrimitiveCase{"ArrowLeft", [](TSchemeCanvas& c) { DrawFlowArrow(c, 40, 90, kBlue, true); },
                      {Triangle({{30, 90}, {50, 97}, {50, 83}}, kBlue)}},
        PrimitiveCase{"ArrowRight", [](TSchemeCanvas& c) { DrawFlowArrow(c, 40, 30, kRed, false); },
                      {Triangle({{50, 30}, {30, 37}, {30, 23}}, kRed)}},
        PrimitiveCase{"FlowMeterApexRight",
                      [](TSchemeCanvas& c) { DrawFlowMeter(c, 160, 90, true, QStringLiteral("V2")); },
                      {Round(142, 72, 178, 108, kBlack, 2, kWindow), Lines({{147, 78}, {178, 90}, {147, 102}}, 2, kBlack),
                       Label(173, 60, "V2", kBlack)}},
        PrimitiveCase{"FlowMeterApexLeft",
                      [](TSchemeCanvas& c) { DrawFlowMeter(c, 160, 30, false, QStringLiteral("V1")); },
                      {Round(142, 12, 178, 48, kBlack, 2, kWindow), Lines({{173, 18}, {142, 30}, {173, 42}}, 2, kBlack),
                       Label(173, 0, "V1", kBlack)}},
        PrimitiveCase{"Thermometer", [](TSchemeCanvas& c) { DrawThermometer(c, 200, 30, QStringLiteral("t1")); },
                      {Box(198, 10, 202, 30, kBlack, 1, kBlack), Round(195, 5, 205, 15, kBlack, 1, kBlack),
                       Label(210, 0, "t1", kBlack)}},
        PrimitiveCase{"Manometer", [](TSchemeCanvas& c) { DrawManometer(c, 80, 90, QStringLiteral("P2")); },
                      {Box(70, 82, 90, 86, kBlack, 1, kBlack), Box(78, 65, 82, 86, kBlack, 1, kBlack),
                       Label(87, 60, "P2", kBlack)}},
        PrimitiveCase{"Consumer", [](TSchemeCanvas& c) { DrawConsumer(c, 100, 50); }, Consumer()},
        PrimitiveCase{"HeatSource", [](TSchemeCanvas& c) { DrawHeatSource(c, 60, 30); },
                      {Fill(58, 28, 62, 39), Fill(58, 81, 62, 92), Frame(20, 40, 100, 80, 4),
                       Label(37, 52, "Источник")}},
        PrimitiveCase{"WaterHeaterBox", [](TSchemeCanvas& c) { DrawWaterHeaterBox(c, 160, 150); },
                      {Frame(160, 130, 200, 170, 4), Label(170, 143, "ВПУ")}},
        PrimitiveCase{"Junction", [](TSchemeCanvas& c) { DrawJunction(c, 260, 30); },
                      {Fill(258, 28, 322, 32), Fill(258, 88, 322, 92), Fill(318, 28, 322, 92), Fill(318, 58, 342, 62)}},
        PrimitiveCase{"DiagonalBox", [](TSchemeCanvas& c) { DrawDiagonalBox(c, 240, 30); },
                      {Frame(240, 10, 280, 110, 4), Lines({{280, 10}, {240, 110}}, 2)}}));

// The painter canvas keeps the canvas's conventions: a rectangle leaves out its right and
// bottom edge, a text hangs below its point.
TEST(SchemeCanvas, ThePainterLeavesOutTheRightAndBottomEdgesAndHangsTextsBelowTheirPoint)
{
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QFont font;
        font.setPixelSize(11);
        TPainterSchemeCanvas canvas(painter, QColor(Qt::white), font);
        canvas.SetBrushColor(kBlack);
        canvas.FillRect(10, 10, 20, 20);
        canvas.SetPenColor(kBlack);
        canvas.SetPenWidth(1);
        canvas.FrameRectangle(30, 10, 40, 20);
        canvas.TextOut(10, 40, QStringLiteral("t1"), QColor(Qt::white));
    }
    const auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    EXPECT_TRUE(dark(10, 10) && dark(19, 19));
    EXPECT_FALSE(dark(20, 15) || dark(15, 20) || dark(9, 15) || dark(15, 9));
    EXPECT_TRUE(dark(30, 10) && dark(39, 10) && dark(30, 19) && dark(39, 19));
    EXPECT_FALSE(dark(40, 10) || dark(30, 20) || dark(35, 15));
    int firstInk = -1;
    for (int y = 0; y < 60 && firstInk < 0; ++y)
        for (int x = 0; x < 30 && firstInk < 0; ++x)
            if (y >= 25 && dark(x, y))
                firstInk = y;
    EXPECT_GE(firstInk, 40);
    EXPECT_LT(firstInk, 46);
}

// A setup page of a heat system with a scheme and pipe counts chosen.
class SchemePage {
public:
    explicit SchemePage(int heatSystem) { page_.SetHeatSystem(heatSystem); }

    // Sets the counts while no free configuration is chosen, so that they stay as given.
    void Choose(int index, int direct = 1, int reverse = 0, int makeUp = 0)
    {
        Combo()->setCurrentIndex(0);
        Spin("DirectPipe")->setValue(direct);
        Spin("ReversePipe")->setValue(reverse);
        Spin("SupplyPipe")->setValue(makeUp);
        Combo()->setCurrentIndex(index);
    }

    std::vector<TSchemeStroke> Drawing() const
    {
        TRecordingSchemeCanvas canvas(kWindow);
        page_.ShemePaintBoxPaint(canvas);
        return canvas.Strokes();
    }

    QComboBox* Combo() const { return page_.findChild<QComboBox*>(QStringLiteral("SchemeComboBox")); }
    QSpinBox* Spin(const char* name) const { return page_.findChild<QSpinBox*>(QString::fromUtf8(name)); }
    TDax_SetupTSFrame& Page() { return page_; }

private:
    TDax_SetupTSFrame page_;
};

// The free configuration's drawing as its definition spells it, in its notation: H and V
// pipes, A arrows, FM flow meters, T thermometers, P pressure sensors.
class Notation {
public:
    Notation() : canvas_(kWindow)
    {
        canvas_.SetBrushColor(kBlack);
        canvas_.SetPenColor(kBlack);
        canvas_.SetPenWidth(1);
    }
    Notation& H(int x1, int x2, int y) { return Do([&] { DrawHorizontalPipe(canvas_, x1, x2, y); }); }
    Notation& V(int x, int y1, int y2) { return Do([&] { DrawVerticalPipe(canvas_, x, y1, y2); }); }
    Notation& A(int x, int y, QColor color, bool left) { return Do([&] { DrawFlowArrow(canvas_, x, y, color, left); }); }
    Notation& FM(int x, int y, bool apexRight, const char* label)
    {
        return Do([&] { DrawFlowMeter(canvas_, x, y, apexRight, QString::fromUtf8(label)); });
    }
    Notation& T(int x, int y, const char* label)
    {
        return Do([&] { DrawThermometer(canvas_, x, y, QString::fromUtf8(label)); });
    }
    Notation& P(int x, int y, const char* label)
    {
        return Do([&] { DrawManometer(canvas_, x, y, QString::fromUtf8(label)); });
    }
    Notation& Source(int x, int y) { return Do([&] { DrawHeatSource(canvas_, x, y); }); }
    const std::vector<TSchemeStroke>& Strokes() const { return canvas_.Strokes(); }

private:
    Notation& Do(const std::function<void()>& draw)
    {
        draw();
        return *this;
    }
    TRecordingSchemeCanvas canvas_;
};

constexpr bool kLeft = true;
constexpr bool kRight = false;
constexpr bool kApexLeft = false;
constexpr bool kApexRight = true;

// The first pipe of every free configuration: the source, the pipe and its points.
Notation FirstPipe()
{
    Notation n;
    n.Source(60, 30).H(60, 140, 30).H(140, 340, 30).FM(200, 30, kApexLeft, "V1").T(240, 30, "t1").P(280, 30, "P1");
    n.A(320, 30, kRed, kRight);
    return n;
}

TEST(SchemeDrawing, FreeConfigurationOfOneSupplyAndOneReturnPipe)
{
    SchemePage page(0);
    page.Choose(24, 1, 1, 0);
    Notation n = FirstPipe();
    n.H(140, 340, 90).FM(200, 90, kApexRight, "V2").T(160, 90, "t2").P(280, 90, "P2").A(320, 90, kRed, kLeft);
    n.V(60, 90, 90).H(60, 140, 90);
    EXPECT_EQ(page.Drawing(), n.Strokes());
}

TEST(SchemeDrawing, FreeConfigurationOfTwoSupplyTwoReturnAndOneMakeUpPipe)
{
    SchemePage page(0);
    page.Choose(24, 2, 2, 1);
    Notation n = FirstPipe();
    n.H(140, 340, 80).FM(200, 80, kApexLeft, "V2").T(240, 80, "t2").P(280, 80, "P2").A(320, 80, kRed, kRight);
    n.V(140, 30, 80);
    n.H(140, 340, 130).FM(200, 130, kApexRight, "V3").T(160, 130, "t3").P(280, 130, "P3").A(320, 130, kRed, kLeft);
    n.V(140, 130, 180);
    n.H(140, 340, 180).FM(200, 180, kApexRight, "V4").T(160, 180, "t4").P(280, 180, "P4").A(320, 180, kRed, kLeft);
    n.V(60, 90, 180).H(60, 140, 180);
    n.H(140, 340, 230).FM(200, 230, kApexRight, "V5").T(160, 230, "t5").P(280, 230, "P5").A(320, 230, kBlue, kLeft);
    n.V(60, 90, 230).H(60, 140, 230);
    EXPECT_EQ(page.Drawing(), n.Strokes());
}

TEST(SchemeDrawing, FreeConfigurationOfOneSupplyOneReturnAndTwoMakeUpPipes)
{
    SchemePage page(0);
    page.Choose(24, 1, 1, 2);
    Notation n = FirstPipe();
    n.H(140, 340, 80).FM(200, 80, kApexRight, "V2").T(160, 80, "t2").P(280, 80, "P2").A(320, 80, kRed, kLeft);
    n.V(140, 80, 90).H(60, 140, 90);
    n.H(140, 340, 130).FM(200, 130, kApexRight, "V3").T(160, 130, "t3").P(280, 130, "P3").A(320, 130, kBlue, kLeft);
    n.V(140, 130, 180);
    n.H(140, 340, 180).FM(200, 180, kApexRight, "V4").T(160, 180, "t4").P(280, 180, "P4").A(320, 180, kBlue, kLeft);
    n.V(60, 90, 180).H(60, 140, 180);
    EXPECT_EQ(page.Drawing(), n.Strokes());
}

TEST(SchemeDrawing, SchemesWithoutHeatEnergyOfTheSourceGroupsAndNoSchemeDrawNothing)
{
    SchemePage second(1);
    for (int index : {16, 17, 18, 19, 24}) {
        second.Choose(index, 2, 2, 1);
        EXPECT_TRUE(second.Drawing().empty()) << "heat system 2, scheme " << index;
    }
    for (int heatSystem : {0, 1}) {
        SchemePage page(heatSystem);
        page.Choose(0);
        EXPECT_TRUE(page.Drawing().empty()) << "heat system " << heatSystem + 1;
        page.Combo()->setCurrentIndex(-1);
        EXPECT_TRUE(page.Drawing().empty()) << "heat system " << heatSystem + 1 << ", nothing chosen";
    }
}

TEST(SchemeDrawing, ASupplyLineSchemeWithOnlySecondLinePointsDrawsOnlyTheSecondLine)
{
    SchemePage page(0);
    page.Choose(12); // "3.2": t2, P2, V2
    Notation n;
    n.H(20, 260, 90).A(40, 90, kRed, kRight).T(200, 90, "t2").P(80, 90, "P2").FM(160, 90, kApexLeft, "V2");
    EXPECT_EQ(page.Drawing(), n.Strokes());
}

// A point label: t, P or V and the point's number.
bool PointBitSet(const QString& label, uint32_t labels)
{
    static const QRegularExpression point(QStringLiteral("^([tPV])([1-5])$"));
    const QRegularExpressionMatch match = point.match(label);
    if (!match.hasMatch())
        return false;
    const int n = match.captured(2).toInt();
    const QChar kind = match.captured(1).at(0);
    if (kind == QLatin1Char('t'))
        return (labels >> (n - 1) & 1) != 0;
    if (kind == QLatin1Char('P'))
        return (labels >> (n + 4) & 1) != 0;
    return (labels >> (9 + n) & 1) != 0 || (labels >> (25 + n) & 1) != 0;
}

TEST(SchemeDrawing, EveryDrawnPointIsAPointOfTheScheme)
{
    for (int heatSystem : {0, 1}) {
        SchemePage page(heatSystem);
        for (int index = 0; index < 29; ++index) {
            page.Choose(index, 2, 1, 1);
            const SchemeDescriptor descriptor = GetSchemeDescriptor(page.Page().PreviewConfig());
            const uint32_t labels = descriptor.PointMask | static_cast<uint32_t>(descriptor.ExtraFlowMask) << 16;
            int points = 0;
            for (const TSchemeStroke& stroke : page.Drawing()) {
                if (stroke.What != Kind::Text || stroke.Text == QStringLiteral("Источник") ||
                    stroke.Text == QStringLiteral("ВПУ"))
                    continue;
                ++points;
                EXPECT_TRUE(PointBitSet(stroke.Text, labels))
                    << "heat system " << heatSystem + 1 << ", scheme " << index << ": " << stroke.Text.toStdString()
                    << " with labels 0x" << std::hex << labels << std::dec;
            }
            // A scheme that computes heat energy measures something.
            if (descriptor.Formula != 0) {
                EXPECT_GT(points, 0) << "heat system " << heatSystem + 1 << ", scheme " << index;
            }
        }
    }
}

} // namespace
