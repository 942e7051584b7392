#include "RecordingPaintDevice.h"
#include "report/model/rpClass.h"
#include "report/model/rpClass.h"
#include "ReportFakes.h"
#include "SaveScreenshot.h"

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDesgnCtrls.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Ticks of a top ruler: vertical lines, by their length.
struct Tick {
    double X;
    double Length;
};

std::vector<Tick> TopTicks(const TrpRuler& ruler)
{
    RecordingPaintDevice device(ruler.size());
    {
        QPainter painter(&device);
        ruler.Paint(painter);
    }
    std::vector<Tick> ticks;
    for (const RecordedOperation& op : device.Operations(RecordedOperation::Line)) {
        const QPointF a = op.DevicePoints.value(0);
        const QPointF b = op.DevicePoints.value(1);
        if (a.x() == b.x())
            ticks.push_back({a.x(), std::abs(b.y() - a.y())});
    }
    return ticks;
}

QStringList Labels(const TrpRuler& ruler)
{
    RecordingPaintDevice device(ruler.size());
    {
        QPainter painter(&device);
        ruler.Paint(painter);
    }
    QStringList labels;
    for (const RecordedOperation& op : device.GlyphRuns())
        labels << op.Text;
    return labels;
}

int CountLength(const std::vector<Tick>& ticks, double length)
{
    return static_cast<int>(std::count_if(ticks.begin(), ticks.end(), [&](const Tick& t) { return t.Length == length; }));
}

class Controls : public testing::Test {
protected:
    static void SetUpTestSuite() { DesignerRuntime::init(); }
};

TEST_F(Controls, CentimetresDropSmallTicksAtScaleOne)
{
    TrpRuler ruler;
    ruler.resize(400, 20);
    ruler.SetPosition(-100); // no mark
    const auto one = TopTicks(ruler);
    EXPECT_EQ(CountLength(one, 2), 0);
    EXPECT_GT(CountLength(one, 4), 0);
    EXPECT_EQ(CountLength(one, 6), 0); // every centimetre is labelled instead
    EXPECT_TRUE(Labels(ruler).contains(QStringLiteral("3")));
    ruler.SetScale(2);
    const auto two = TopTicks(ruler);
    EXPECT_GT(CountLength(two, 2), 0);
    EXPECT_GT(CountLength(two, 4), 0);
    ruler.show();
    SaveScreenshot(ruler, QStringLiteral("ruler-cm-scale2"));
}

TEST_F(Controls, StartShiftsAndHidesTheScrolledPart)
{
    TrpRuler ruler;
    ruler.resize(400, 20);
    ruler.SetPosition(-100);
    const auto plain = TopTicks(ruler);
    ruler.SetStart(100);
    const auto shifted = TopTicks(ruler);
    ASSERT_FALSE(shifted.empty());
    for (const Tick& tick : shifted)
        EXPECT_GE(tick.X, 0);
    // The tick at 4.5 cm (170 pixels) now stands at 70.
    const bool found = std::any_of(shifted.begin(), shifted.end(), [](const Tick& t) { return t.X == 70 && t.Length == 4; });
    EXPECT_TRUE(found);
    EXPECT_TRUE(std::any_of(plain.begin(), plain.end(), [](const Tick& t) { return t.X == 170 && t.Length == 4; }));
    EXPECT_FALSE(Labels(ruler).contains(QStringLiteral("2"))); // 2 cm lies in the scrolled-away part
}

TEST_F(Controls, PixelLabelsAndTheMark)
{
    TrpRuler ruler;
    ruler.resize(450, 20);
    ruler.SetUnits(ruPixels);
    ruler.SetPosition(-1);
    const QStringList labels = Labels(ruler);
    // "450" is wider than 1.5 hundred-pixel groups of one pixel each: a label every 400.
    EXPECT_TRUE(labels.contains(QStringLiteral("0")));
    EXPECT_TRUE(labels.contains(QStringLiteral("400")));
    EXPECT_FALSE(labels.contains(QStringLiteral("100")));
    ruler.SetScale(4);
    EXPECT_TRUE(Labels(ruler).contains(QStringLiteral("100")));
    EXPECT_EQ(CountLength(TopTicks(ruler), 13), 0);
    ruler.SetUnits(ruCM);
    ruler.SetScale(1);
    ruler.SetPosition(1); // 1 cm
    const auto ticks = TopTicks(ruler);
    EXPECT_TRUE(std::any_of(ticks.begin(), ticks.end(), [](const Tick& t) { return t.X == 38 && t.Length == 13; }));
    TrpRuler left(nullptr, true);
    left.resize(20, 300);
    left.show();
    SaveScreenshot(left, QStringLiteral("ruler-left"));
}

TEST_F(Controls, ColourPickerPaletteRules)
{
    TrpColorSelector::ResetPalette();
    const auto before = TrpColorSelector::Palette();
    TrpColorSelector::AddCustomColor(0x0000FF); // already there
    EXPECT_EQ(TrpColorSelector::Palette(), before);
    for (TColor c = 1; c <= 9; ++c)
        TrpColorSelector::AddCustomColor(0x010100 + c);
    const auto& palette = TrpColorSelector::Palette();
    EXPECT_EQ(palette[40], TColor(0x010102)); // the first one pushed out
    EXPECT_EQ(palette[47], TColor(0x010109));
    EXPECT_EQ(palette[39], before[39]);
    TrpColorSelector::ResetPalette();
}

class ColourAnswer : public reporttest::RecordingReportUi {
public:
    bool ColorDialog(uint32_t& rgb) override
    {
        ++asked;
        rgb = 0x123456;
        return true;
    }
    int asked = 0;
};

TEST_F(Controls, PickersCopyTheTagAndPick)
{
    TrpColorSelector::ResetPalette();
    QPushButton button;
    button.setProperty("tag", 7);
    button.show();
    auto* colours = new TrpColorSelector(&button);
    EXPECT_EQ(colours->Tag(), 7);
    EXPECT_EQ(colours->size(), QSize(155, 143));
    SaveScreenshot(*colours, QStringLiteral("colour-picker"));
    int changed = 0;
    colours->OnColorChanged = [&](TrpColorSelector*) { ++changed; };
    colours->Pick(8 + 18 * 3 + 2, 8 + 18 + 2); // row 1, column 3
    EXPECT_EQ(colours->Color(), TColor(0x0000FF));
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(colours->Popup()->isVisible());
    ColourAnswer ui;
    colours->Pick(50, 120); // the button
    EXPECT_EQ(ui.asked, 1);
    EXPECT_EQ(colours->Color(), RgbToColor(0x123456));
    EXPECT_EQ(TrpColorSelector::Palette()[40], RgbToColor(0x123456));
    delete colours;
    TrpColorSelector::ResetPalette();

    auto* lines = new TrpLineSelector(&button);
    EXPECT_EQ(lines->size(), QSize(98, 106));
    SaveScreenshot(*lines, QStringLiteral("line-picker"));
    lines->Pick(3);
    EXPECT_EQ(lines->Style(), 0); // above the first row: solid
    lines->Pick(5 + 16 * 2 + 3);
    EXPECT_EQ(lines->Style(), 2);
    lines->Pick(104);
    EXPECT_EQ(lines->Style(), 5);
    delete lines;
}

} // namespace
