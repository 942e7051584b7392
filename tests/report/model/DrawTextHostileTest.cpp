// Text from a report file or a data set is untrusted: none of these may crash, hang or
// allocate without bound. Each is laid out, measured, split and drawn.

#include "DrawTextTestSupport.h"
#include "RecordingPaintDevice.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <string>

namespace {

using drawtexttest::Configured;
using drawtexttest::LayoutSetup;

struct HostileCase {
    const char* Name;
    QStringList Lines;
    LayoutSetup Settings;
};

void PrintTo(const HostileCase& c, std::ostream* out)
{
    *out << c.Name;
}

LayoutSetup With(void (*change)(LayoutSetup&))
{
    LayoutSetup setup;
    change(setup);
    return setup;
}

QString Repeated(const QString& piece, int times)
{
    QString text;
    text.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::vector<HostileCase> HostileCases()
{
    return {
        {"LongLineWithoutBlanks", {QString(200000, u'ж')}, With([](LayoutSetup& s) { s.WordBreak = true; })},
        {"LongLineOfWords", {Repeated(QStringLiteral("теплоноситель "), 15000)}, With([](LayoutSetup& s) { s.WordBreak = true; })},
        {"LongLineUnwrapped", {QString(200000, u'x')}, With([](LayoutSetup& s) { s.WordWrap = false; })},
        {"FiftyThousandTags", {Repeated(QStringLiteral("<b>x</b><sub>2</sub><font color=red>y</font>"), 12500)}, {}},
        {"UnterminatedTags", {Repeated(QStringLiteral("<font color=\"#"), 20000) + QStringLiteral("<b")}, {}},
        {"UnterminatedFontTagsWithoutGap", {Repeated(QStringLiteral("<font color="), 20000)}, {}},
        {"MillionPointFont", {"Большой текст", "x"}, With([](LayoutSetup& s) { s.Size = 1000000; })},
        {"NegativeFontSize", {"x y"}, With([](LayoutSetup& s) { s.Size = -5; })},
        {"HugeSpacingAndGaps",
         {"a b c"},
         With([](LayoutSetup& s) {
             s.CharSpacing = 1e300;
             s.LineSpacing = -1e300;
             s.ParagraphGap = 1e300;
         })},
        {"NotANumber",
         {"a b c"},
         With([](LayoutSetup& s) {
             s.CharSpacing = std::nan("");
             s.ScaleX = std::nan("");
             s.Box = QRectF(0, 0, std::nan(""), std::nan(""));
         })},
        {"EmptyBox", {"a b c"}, With([](LayoutSetup& s) { s.Box = QRectF(); })},
        {"NegativeBox", {"a b c"}, With([](LayoutSetup& s) { s.Box = QRectF(0, 0, -50, -50); })},
        {"ManyLines", QStringList(20000, QStringLiteral("строка")), {}},
        {"SurrogatePairsInANarrowBox", {Repeated(QStringLiteral("😀a"), 1000)}, With([](LayoutSetup& s) { s.Box = QRectF(0, 0, 1, 50); })},
        {"OddRotation", {"a b c d e f"}, With([](LayoutSetup& s) { s.Rotation = -1234567; })},
    };
}

class HostileText : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileText, LaysOutMeasuresSplitsAndDraws)
{
    const HostileCase& c = GetParam();
    const auto text = Configured(c.Settings);
    text->SetText(c.Lines);
    EXPECT_GE(text->LineCount(), 1);
    EXPECT_TRUE(std::isfinite(text->CalcHeight()));
    EXPECT_TRUE(std::isfinite(text->CalcWidth()));
    EXPECT_TRUE(std::isfinite(text->UnusedSpace()));
    RecordingPaintDevice device(QSize(100, 100));
    {
        QPainter painter(&device);
        text->DrawText(painter, haBlock, vaCenter);
    }
    bool paraBreak = false;
    const QString rest = text->GetOutBoundsText(paraBreak);
    EXPECT_LE(rest.size(), text->GetInBoundsText().size() + rest.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileText, testing::ValuesIn(HostileCases()),
                         [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.Name); });

TEST(HostileText, FontPixelSizeIsClamped)
{
    LayoutSetup setup;
    setup.Size = 1000000;
    const auto text = Configured(setup);
    text->SetText({"x"});
    EXPECT_DOUBLE_EQ(text->TextHeight(), kMaxFontPixelSize / 6.25);
    RecordingPaintDevice device(QSize(100, 100));
    QPainter painter(&device);
    text->DrawText(painter, haLeft, vaTop);
    painter.end();
    ASSERT_FALSE(device.GlyphRuns().empty());
    EXPECT_EQ(device.GlyphRuns().front().PixelSize, kMaxFontPixelSize);
}

TEST(HostileText, ALongLineLaysOutWhole)
{
    LayoutSetup setup;
    setup.WordWrap = false;
    const auto text = Configured(setup);
    text->SetText({QString(200000, u'x')});
    ASSERT_EQ(text->LineCount(), 1);
    EXPECT_EQ(text->Line(0).size(), 200000);
    EXPECT_GT(text->CalcWidth(), 200000 * 5);
}

} // namespace
