// The scheme drawing of the heat-system setup page: the layout of each scheme group, drawn
// with the primitives of Drawthermosheme from the page's heat system, scheme and pipe counts.

#include "DaxSetupTSFrame.h"

#include "Drawthermosheme.h"

#include <QComboBox>

namespace {

// The drawing's labels: thermometers t1..t5 are bits 0-4, pressure sensors P1..P5 bits 5-9,
// flow meters V1..V5 bits 10-14 or, as further flow meters, bits 26-30.
uint32_t LabelWord(const SchemeDescriptor& descriptor)
{
    return static_cast<uint32_t>(descriptor.PointMask) | static_cast<uint32_t>(descriptor.ExtraFlowMask) << 16;
}

// The label bits of the two supply lines of group 2 (t1, t3, P1, P3, V1, V3 and t2, t4, P2,
// P4, V2, V4).
constexpr uint32_t kFirstLinePoints = 0x14A5;
constexpr uint32_t kSecondLinePoints = 0x294A;

// The drawing's vocabulary over one canvas and one label word: pipes, arrows and the
// measuring points, each point drawn only when the scheme has it.
class Sketch {
public:
    Sketch(TSchemeCanvas& canvas, uint32_t labels) : canvas_(canvas), labels_(labels) {}

    bool Bit(int bit) const { return (labels_ >> bit & 1u) != 0; }
    // Flow meter Vn is in the scheme as a main or a further flow meter.
    bool Flow(int n) const { return Bit(9 + n) || Bit(25 + n); }
    uint32_t Labels() const { return labels_; }
    TSchemeCanvas& Canvas() { return canvas_; }

    void H(int x1, int x2, int y) { DrawHorizontalPipe(canvas_, x1, x2, y); }
    void V(int x, int y1, int y2) { DrawVerticalPipe(canvas_, x, y1, y2); }
    void Right(int x, int y, QRgb color = kSchemeRed) { DrawFlowArrow(canvas_, x, y, QColor(color), false); }
    void Left(int x, int y, QRgb color = kSchemeRed) { DrawFlowArrow(canvas_, x, y, QColor(color), true); }
    void Meter(int x, int y, bool apexRight, const QString& label) { DrawFlowMeter(canvas_, x, y, apexRight, label); }
    void Thermometer(int x, int y, const QString& label) { DrawThermometer(canvas_, x, y, label); }
    void Manometer(int x, int y, const QString& label) { DrawManometer(canvas_, x, y, label); }

    // The points of the scheme: thermometer tn at label bit n-1, pressure sensor Pn at bit
    // n+4, flow meter Vn by the flow-meter rule.
    void T(int n, int x, int y)
    {
        if (Bit(n - 1))
            Thermometer(x, y, QStringLiteral("t%1").arg(n));
    }
    void P(int n, int x, int y)
    {
        if (Bit(n + 4))
            Manometer(x, y, QStringLiteral("P%1").arg(n));
    }
    void FM(int n, int x, int y, bool apexRight)
    {
        if (Flow(n))
            Meter(x, y, apexRight, QStringLiteral("V%1").arg(n));
    }

private:
    TSchemeCanvas& canvas_;
    uint32_t labels_;
};

constexpr bool kApexLeft = false;
constexpr bool kApexRight = true;

// The upper supply line of the consumer, supply-line and exchanger groups, flowing right
// to `end`, with t1 or t3, P1 or P3 and V1 or V3.
void UpperSupplyLine(Sketch& s, int end)
{
    s.H(20, end, 30);
    s.Right(40, 30);
    s.T(1, 200, 30);
    s.T(3, 200, 30);
    s.P(1, 80, 30);
    s.P(3, 80, 30);
    s.FM(1, 160, 30, kApexLeft);
    s.FM(3, 160, 30, kApexLeft);
}

// The return line of the consumer and exchanger groups, flowing left, with t2 or t4 and P2 or
// P4 (its flow meters are the group's).
void ReturnLine(Sketch& s)
{
    s.H(20, 240, 90);
    s.Left(40, 90);
    s.T(2, 120, 90);
    s.T(4, 120, 90);
    s.P(2, 80, 90);
    s.P(4, 80, 90);
}

// "1.1" to "2.6" and "6.4": supply and return to a consumer, open systems with a junction.
void DrawConsumerGroup(Sketch& s, int index)
{
    UpperSupplyLine(s, 240);
    ReturnLine(s);
    s.FM(2, 160, 90, kApexRight);
    s.FM(4, 160, 90, kApexRight);

    if (index == 8) { // "2.4": the water is drawn off, no consumer
        DrawJunction(s.Canvas(), 200, 30);
        s.H(260, 320, 60);
        s.Right(290, 60);
        return;
    }
    if (index == 28) { // "6.4"
        DrawConsumer(s.Canvas(), 220, 30);
        DrawJunction(s.Canvas(), 280, 30);
        s.H(360, 380, 60);
        s.Right(360, 60);
        s.FM(5, 200, 90, kApexLeft);
        return;
    }
    DrawConsumer(s.Canvas(), 200, 30);
    if (index >= 5 && index <= 7) { // "2.1" to "2.3": hot water drawn off behind the consumer
        DrawJunction(s.Canvas(), 260, 30);
        s.H(340, 370, 60);
        s.Right(350, 60);
    } else if (index == 9 || index == 10) { // "2.5", "2.6": with the hot-water circulation line
        DrawJunction(s.Canvas(), 260, 30);
        s.V(340, 60, 150);
        s.H(20, 340, 150);
        s.Left(40, 150);
        s.T(5, 120, 150);
        s.P(5, 80, 150);
        if (s.Bit(14))
            s.Meter(160, 150, kApexRight, QStringLiteral("V5"));
    }
}

// "3.1" to "3.3": two independent supply lines, each drawn when the scheme measures on it.
void DrawSupplyLinesGroup(Sketch& s)
{
    const uint32_t low = s.Labels() & 0xFFFF;
    if ((low & kFirstLinePoints) != 0)
        UpperSupplyLine(s, 260);
    if ((low & kSecondLinePoints) != 0) {
        s.H(20, 260, 90);
        s.Right(40, 90);
        s.T(2, 200, 90);
        s.T(4, 200, 90);
        s.P(2, 80, 90);
        s.P(4, 80, 90);
        s.FM(2, 160, 90, kApexLeft);
        s.FM(4, 160, 90, kApexLeft);
    }
}

// "4.1", "4.2": a heat exchanger between the primary lines and the consumer's loop.
void DrawExchangerGroup(Sketch& s, int index)
{
    UpperSupplyLine(s, 240);
    ReturnLine(s);

    DrawDiagonalBox(s.Canvas(), 240, 30);
    s.H(280, 360, 30);
    s.H(280, 360, 90);
    s.Right(340, 30);
    s.Left(340, 90);
    s.V(320, 90, 150);
    s.V(60, 90, 150);
    s.H(60, 320, 150);
    s.Right(260, 150);

    if (index == 14) {
        s.FM(2, 160, 150, kApexLeft);
        s.FM(4, 160, 150, kApexLeft);
    } else {
        s.FM(2, 160, 90, kApexRight);
        s.FM(4, 160, 90, kApexRight);
        if (s.Bit(14))
            s.Meter(160, 150, kApexLeft, QStringLiteral("V5"));
    }
}

// The supply and return lines from a heat source: t1, P1, V1 flowing out and t2, P2, V2
// coming back, and with `paired` also t3, P3, V3 and t4, P4, V4 at the same places.
void SourceLines(Sketch& s, bool paired)
{
    // Point n, and n + 2 of the paired schemes.
    const auto points = [paired](int n, const auto& draw) {
        draw(n);
        if (paired)
            draw(n + 2);
    };
    DrawHeatSource(s.Canvas(), 60, 30);
    s.H(60, 320, 30);
    s.Right(300, 30);
    points(1, [&s](int n) { s.T(n, 200, 30); });
    points(1, [&s](int n) { s.P(n, 240, 30); });
    points(1, [&s](int n) { s.FM(n, 160, 30, kApexLeft); });

    s.H(60, 320, 90);
    s.Left(300, 90);
    points(2, [&s](int n) { s.T(n, 120, 90); });
    points(2, [&s](int n) { s.P(n, 240, 90); });
    points(2, [&s](int n) { s.FM(n, 160, 90, kApexRight); });

    s.H(20, 60, 90);
    s.V(20, 90, 150);
}

// "5.1" to "5.4": a heat source with its make-up line through the water treatment.
void DrawSourceWithTreatmentGroup(Sketch& s)
{
    SourceLines(s, false);
    s.H(20, 160, 150);
    s.H(200, 320, 150);
    DrawWaterHeaterBox(s.Canvas(), 160, 150);
    s.Left(300, 150, kSchemeBlue);
    s.P(3, 40, 150);
    s.T(3, 80, 150);
    s.FM(3, 120, 150, kApexRight);
    s.P(4, 240, 150);
    s.T(4, 280, 150);
}

// "5.5" to "5.8": a heat source with a make-up line.
void DrawSourceWithMakeUpGroup(Sketch& s)
{
    SourceLines(s, true);
    s.H(20, 320, 150);
    s.Left(300, 150, kSchemeBlue);
    s.P(5, 240, 150);
    s.T(5, 120, 150);
    s.FM(5, 160, 150, kApexRight);
}

// Kinds of the pipes after the first in FreeSchemeFlags.
constexpr unsigned kReturnPipe = 0;
constexpr unsigned kMakeUpPipe = 1;
constexpr unsigned kSupplyPipe = 2;

// "5.9": the free configuration, a heat source with its pipes one below the other: the
// supply pipes joined to the first, the return and make-up pipes each joined to the next of
// its kind and the last of each back to the source.
void DrawFreeConfiguration(Sketch& s, const HeatSystemConfig& config)
{
    const uint16_t flags = FreeSchemeFlags(config);
    const int count = flags >> 8;
    unsigned kinds = flags & 0xFFu;

    DrawHeatSource(s.Canvas(), 60, 30);
    s.H(60, 140, 30);
    s.H(140, 340, 30);
    s.FM(1, 200, 30, kApexLeft);
    s.T(1, 240, 30);
    s.P(1, 280, 30);
    s.Right(320, 30);

    int y = 30;
    const int step = count > 3 ? 50 : 60;
    int returns = config.ReversePipes;
    int makeUps = config.MakeUpPipes;
    for (int k = 2; k <= count; ++k) {
        const unsigned kind = kinds & 3u;
        kinds >>= 2;
        y += step;
        const QString flow = QStringLiteral("V%1").arg(k);
        const QString temperature = QStringLiteral("t%1").arg(k);
        const QString pressure = QStringLiteral("P%1").arg(k);
        s.H(140, 340, y);
        if (kind == kSupplyPipe) {
            s.Meter(200, y, kApexLeft, flow);
            s.Thermometer(240, y, temperature);
            s.Manometer(280, y, pressure);
            s.Right(320, y);
            s.V(140, 30, y);
            continue;
        }
        s.Meter(200, y, kApexRight, flow);
        s.Thermometer(160, y, temperature);
        s.Manometer(280, y, pressure);
        if (kind == kReturnPipe) {
            s.Left(320, y);
            if (returns > 0)
                --returns;
            if (returns > 0) {
                s.V(140, y, y + step);
            } else if (y < 90) {
                s.V(140, y, 90);
                s.H(60, 140, 90);
            } else {
                s.V(60, 90, y);
                s.H(60, 140, y);
            }
        } else if (kind == kMakeUpPipe) {
            s.Left(320, y, kSchemeBlue);
            if (makeUps > 0)
                --makeUps;
            if (makeUps > 0) {
                s.V(140, y, y + step);
            } else {
                s.V(60, 90, y);
                s.H(60, 140, y);
            }
        }
    }
}

// "6.1" to "6.3": two pipes whose arrows follow the flow meter's direction.
void DrawTwoWayGroup(Sketch& s)
{
    s.H(20, 300, 30);
    s.T(1, 220, 30);
    s.P(1, 80, 30);
    if (s.Flow(1)) {
        s.Meter(160, 30, kApexLeft, QStringLiteral("V1"));
        s.Right(40, 30);
        s.Right(280, 30);
    }
    if (s.Flow(3)) {
        s.Meter(160, 30, kApexRight, QStringLiteral("V3"));
        s.Left(40, 30);
        s.Left(280, 30);
    }

    s.H(20, 300, 90);
    s.T(2, 220, 90);
    s.P(2, 80, 90);
    if (s.Flow(2)) {
        s.Meter(160, 90, kApexRight, QStringLiteral("V2"));
        s.Left(40, 90);
        s.Left(280, 90);
    }
    if (s.Flow(4)) {
        s.Meter(160, 90, kApexLeft, QStringLiteral("V4"));
        s.Right(40, 90);
        s.Right(280, 90);
    }
}

} // namespace

void TDax_SetupTSFrame::ShemePaintBoxPaint(TSchemeCanvas& canvas) const
{
    canvas.SetBrushColor(QColor(kSchemeBlack));
    canvas.SetPenWidth(1);
    canvas.SetPenColor(QColor(kSchemeBlack));

    const int index = SchemeComboBox->currentIndex();
    const HeatSystemConfig config = PreviewConfig();
    const SchemeDescriptor descriptor = GetSchemeDescriptor(config);
    Sketch sketch(canvas, LabelWord(descriptor));
    // Schemes of the source groups that compute nothing for this heat system are not drawn.
    const bool computes = descriptor.Formula != 0;
    if ((index >= 1 && index <= 10) || index == 28)
        DrawConsumerGroup(sketch, index);
    else if (index >= 11 && index <= 13)
        DrawSupplyLinesGroup(sketch);
    else if (index == 14 || index == 15)
        DrawExchangerGroup(sketch, index);
    else if (index >= 16 && index <= 19 && computes)
        DrawSourceWithTreatmentGroup(sketch);
    else if (index >= 20 && index <= 23)
        DrawSourceWithMakeUpGroup(sketch);
    else if (index == kFreeSchemeIndex && computes)
        DrawFreeConfiguration(sketch, config);
    else if (index >= 25 && index <= 27)
        DrawTwoWayGroup(sketch);
}
