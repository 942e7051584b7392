// Wrapping, hyphenation, measuring and splitting of laid-out text, at scale 1 without a
// painter.

#include "DrawTextTestSupport.h"

#include "report/model/ModelRuntime.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <string>

namespace {

using drawtexttest::Configured;
using drawtexttest::LaidOut;
using drawtexttest::Lines;
using drawtexttest::LayoutSetup;
using drawtexttest::WidthOf;

LayoutSetup WithWidth(double width)
{
    LayoutSetup setup;
    setup.Box = QRectF(0, 0, width, 1000);
    return setup;
}

TEST(DrawTextCanvas, MeasuresAt600DotsPerInch)
{
    TrpDrawText text;
    EXPECT_EQ(text.Canvas().logicalDpiX(), 600);
    EXPECT_EQ(text.Canvas().logicalDpiY(), 600);
    EXPECT_EQ(text.DefPPI(), 600);
    EXPECT_EQ(text.ScrPPI(), 96);
}

// The model's start-up creates one process-wide engine; its lock may be taken again by the
// same thread (a memo measuring its width inside its own locked drawing).
TEST(DrawTextShared, StartUpCreatesOneEngineWithARecursiveLock)
{
    ModelRuntime::init();
    TrpDrawText& shared = ModelRuntime::SharedDrawText();
    EXPECT_EQ(&ModelRuntime::SharedDrawText(), &shared);
    shared.Lock();
    EXPECT_TRUE(shared.Mutex().try_lock());
    shared.Mutex().unlock();
    shared.Unlock();
    // Separate engines have separate locks.
    TrpDrawText own;
    std::lock_guard guard(own.Mutex());
    EXPECT_TRUE(shared.Mutex().try_lock());
    shared.Mutex().unlock();
}

TEST(DrawTextLayout, EmptyTextHasNoLinesAndNoSize)
{
    const auto text = LaidOut({}, {});
    EXPECT_EQ(text->LineCount(), 0);
    EXPECT_EQ(text->CalcHeight(), 0);
    EXPECT_EQ(text->CalcWidth(), 0);
    EXPECT_EQ(text->WrappedText(), QString());
    bool paraBreak = true;
    EXPECT_EQ(text->GetOutBoundsText(paraBreak), QString());
    EXPECT_FALSE(paraBreak);
}

TEST(DrawTextLayout, ParagraphFlagsMarkFirstAndLastLines)
{
    const LayoutSetup setup = WithWidth(WidthOf({}, QStringLiteral("aaaa bbbb")) + 1);
    const auto text = LaidOut(setup, {QStringLiteral("aaaa bbbb cccc dddd"), QString(), QStringLiteral("eeee")});
    EXPECT_EQ(Lines(*text), (QStringList{"aaaa bbbb", "cccc dddd", " ", "eeee"}));
    EXPECT_EQ(text->LineFlags(0), kFirstLineOfParagraph);
    EXPECT_EQ(text->LineFlags(1), kLastLineOfParagraph);
    EXPECT_EQ(text->LineFlags(2), kFirstLineOfParagraph | kLastLineOfParagraph);
    EXPECT_EQ(text->LineFlags(3), kFirstLineOfParagraph | kLastLineOfParagraph);
    EXPECT_EQ(text->WrappedText(), QStringLiteral("aaaa bbbb\r\ncccc dddd\r\n \r\neeee"));
    EXPECT_EQ(text->GetInBoundsText(), QStringLiteral("aaaa bbbb cccc dddd\r\n \r\neeee\r\n"));

    text->SetParaBreaks(true, true);
    EXPECT_EQ(text->LineFlags(0), 0);
    EXPECT_EQ(text->LineFlags(3), kFirstLineOfParagraph);
}

struct WrapCase {
    const char* Name;
    QStringList Source;
    QString WidthText;   // the box is as wide as this text in the setup's font ...
    double Extra;        // ... plus this many pixels
    bool WordBreak;
    QStringList Expected;
};

void PrintTo(const WrapCase& c, std::ostream* out)
{
    *out << c.Name;
}

class Wrapping : public testing::TestWithParam<WrapCase> {};

TEST_P(Wrapping, BreaksWhereTheRulesSay)
{
    const WrapCase& c = GetParam();
    LayoutSetup setup = WithWidth(WidthOf({}, c.WidthText) + c.Extra);
    setup.WordBreak = c.WordBreak;
    EXPECT_EQ(Lines(*LaidOut(setup, c.Source)), c.Expected);
}

const WrapCase kWrapCases[] = {
    {"BoxNarrowerThanOneCharacter", {"abc d"}, "", 1, false, {"a", "b", "c", " ", "d"}},
    {"AtTheLastBlankThatFits", {"aaaa bbbb cccc"}, "aaaa bbbb c", 0, false, {"aaaa bbbb", "cccc"}},
    {"BlankAtTheBreakGoesToNeitherLine", {"aaaa bbbb cccc"}, "aaaa bbbb", 0.5, false, {"aaaa bbbb", "cccc"}},
    {"NoWrapBlankIsNoBreak", {"aaaa <nowrap>bbbb cccc</nowrap>"}, "aaaa bbbb c", 0, false, {"aaaa", "bbbb cccc"}},
    {"HardBreakInsideALongWord", {"abcdefghij"}, "abcde", 0.5, false, {"abcde", "fghij"}},
    {"LineThatFitsStaysWhole", {"Один"}, "Один", 0.5, false, {"Один"}},
    // Hyphenation of the upper-cased word after the last blank (ПРОГРАММА: after ПРО,
    // ПРОГ and ПРОГРАМ; never before the doubled М that precedes a vowel).
    {"SyllableBeforeTheFitPoint", {"в программа"}, "в програм", 0.5, true, {"в прог-", "рамма"}},
    {"LargestSyllableThatFits", {"в программа"}, "в программ", 0.5, true, {"в програм-", "ма"}},
    {"WithoutWordBreakAtTheBlank", {"в программа"}, "в программ", 0.5, false, {"в", "программа"}},
    {"ThreeLettersNeverHyphenated", {"а дом"}, "а до", 0.5, true, {"а", "дом"}},
    {"ThreeLettersBrokenHard", {"дом"}, "до", 0.5, true, {"до", "м"}},
    {"FirstWordHyphenatedWithoutBlank", {"теплоноситель"}, "теплоно", 0.5, true, {"тепло-", "носи-", "тель"}},
    {"LatinWordsAreNotHyphenated", {"a heatmeter"}, "a heatme", 0.5, true, {"a", "heatmete", "r"}},
};

INSTANTIATE_TEST_SUITE_P(Lines, Wrapping, testing::ValuesIn(kWrapCases),
                         [](const testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.Name); });

TEST(DrawTextLayout, WithoutWordWrapEveryLineStaysWhole)
{
    LayoutSetup setup = WithWidth(10);
    setup.WordWrap = false;
    EXPECT_EQ(Lines(*LaidOut(setup, {"aaaa bbbb", "cc"})), (QStringList{"aaaa bbbb", "cc"}));
}

TEST(DrawTextLayout, HyphenCarriesTheStyleOfTheCharacterBeforeIt)
{
    LayoutSetup setup = WithWidth(WidthOf({}, QStringLiteral("в <b>програм")) + 0.5);
    setup.WordBreak = true;
    const auto text = LaidOut(setup, {"в <b>программа"});
    ASSERT_EQ(Lines(*text), (QStringList{"в прог-", "рамма"}));
    const TrpHTMLTags& tags = text->LineTags(0);
    ASSERT_EQ(tags.Count(), 7);
    EXPECT_EQ(tags[6].Style, kTextStyleBold);
    EXPECT_TRUE(tags[6].Default);
}

// Rotated a quarter turn either way, the lines wrap at the box's height.
TEST(DrawTextLayout, RotatedTextWrapsAtTheBoxHeight)
{
    const double narrow = WidthOf({}, QStringLiteral("aaaa bbbb")) + 1;
    const QStringList source{"aaaa bbbb cccc dddd"};
    const QStringList upright = Lines(*LaidOut(WithWidth(narrow), source));
    ASSERT_EQ(upright.size(), 2);
    for (int rotation : {90, 270, -90, 450, 120, 300}) {
        LayoutSetup setup;
        setup.Rotation = rotation;
        setup.Box = QRectF(0, 0, 1000, narrow);
        EXPECT_EQ(Lines(*LaidOut(setup, source)), upright) << "rotation " << rotation;
    }
    LayoutSetup slanted;
    slanted.Rotation = 45;
    slanted.Box = QRectF(0, 0, narrow, 1000);
    EXPECT_EQ(Lines(*LaidOut(slanted, source)), upright);
}

TEST(DrawTextLayout, ParagraphGapShortensTheFirstLineOnly)
{
    const QStringList source{"aaaa bbbb cccc dddd eeee"};
    const double width = WidthOf({}, QStringLiteral("aaaa bbbb cccc")) + 1;
    LayoutSetup setup = WithWidth(width);
    EXPECT_EQ(Lines(*LaidOut(setup, source)), (QStringList{"aaaa bbbb cccc", "dddd eeee"}));
    setup.ParagraphGap = WidthOf({}, QStringLiteral("bbbb"));
    const auto indented = LaidOut(setup, source);
    EXPECT_EQ(Lines(*indented), (QStringList{"aaaa bbbb", "cccc dddd eeee"}));
    EXPECT_LE(indented->LineWidth(0), width);
    EXPECT_NEAR(indented->LineWidth(0), WidthOf({}, QStringLiteral("aaaa bbbb")) + setup.ParagraphGap, 1e-9);
}

TEST(DrawTextMeasure, LineHeightFollowsTheFontAndSpacing)
{
    LayoutSetup setup;
    setup.LineSpacing = 2;
    const auto text = LaidOut(setup, {"x"});
    EXPECT_DOUBLE_EQ(text->TextHeight(), 83 / 6.25); // nearest(10 x 600 / 72) on the canvas
    EXPECT_DOUBLE_EQ(text->LineHeight(), 83 / 6.25 + 2);
    setup.Size = 8;
    EXPECT_DOUBLE_EQ(LaidOut(setup, {"x"})->TextHeight(), 67 / 6.25);
}

TEST(DrawTextMeasure, CalcHeightWithNegativeLineSpacingKeepsTheLastLineWhole)
{
    LayoutSetup setup;
    setup.LineSpacing = -2;
    const auto text = LaidOut(setup, {"a", "b", "c"});
    EXPECT_DOUBLE_EQ(text->CalcHeight(), 3 * (83 / 6.25 - 2) + 2);
    setup.LineSpacing = 3;
    EXPECT_DOUBLE_EQ(LaidOut(setup, {"a", "b", "c"})->CalcHeight(), 3 * (83 / 6.25 + 3));
}

TEST(DrawTextMeasure, CalcWidthAddsCharacterSpacingAndParagraphGap)
{
    const double plain = WidthOf({}, QStringLiteral("Hello"));
    LayoutSetup setup;
    setup.Box = QRectF(0, 0, 1000, 100);
    setup.CharSpacing = 0.5;  // 3.125 canvas pixels, rounded to 3 per character
    setup.ParagraphGap = 10;
    const auto text = LaidOut(setup, {"Hello", "Hello world"});
    EXPECT_NEAR(text->LineWidth(0), plain + 5 * 3 / 6.25 + 10, 1e-9);
    EXPECT_NEAR(text->CalcWidth(), text->LineWidth(1), 1e-12);
    // A box exactly as wide as CalcWidth holds the text without breaking it.
    setup.Box = QRectF(0, 0, text->CalcWidth(), 100);
    EXPECT_EQ(LaidOut(setup, {"Hello", "Hello world"})->LineCount(), 2);
}

TEST(DrawTextMeasure, UnusedSpace)
{
    LayoutSetup setup;
    const double lineHeight = 83 / 6.25 + 2;
    setup.Box = QRectF(0, 0, 200, 3 * lineHeight);
    EXPECT_DOUBLE_EQ(LaidOut(setup, {"a"})->UnusedSpace(), 1e-4);
    setup.Box = QRectF(0, 0, 200, 3 * lineHeight + 5);
    EXPECT_NEAR(LaidOut(setup, {"a"})->UnusedSpace(), 5, 1e-9);
    setup.Box = QRectF(0, 0, 200, lineHeight - 0.5); // a line fits only with the pixel of grace
    EXPECT_DOUBLE_EQ(LaidOut(setup, {"a"})->UnusedSpace(), 1e-4);
    setup.Box = QRectF(0, 0, 200, 5);
    EXPECT_EQ(LaidOut(setup, {"a"})->UnusedSpace(), 0);
}

// A box of three lines over a paragraph whose fourth line starts inside bold red text.
TEST(DrawTextSplit, RestContinuesInTheStyleItStartsIn)
{
    LayoutSetup setup = WithWidth(WidthOf({}, QStringLiteral("<i><b>dddd")) + 1); // one word a line
    setup.Box.setHeight(3 * (83 / 6.25 + 2));
    const auto text = LaidOut(setup, {"aaaa bbbb cccc <font color=red><i><b>dddd eeee</b></i></font> ffff", "gggg"});
    ASSERT_EQ(Lines(*text), (QStringList{"aaaa", "bbbb", "cccc", "dddd", "eeee", "ffff", "gggg"}));
    bool paraBreak = false;
    EXPECT_EQ(text->GetOutBoundsText(paraBreak),
              QStringLiteral("<font color=\"#FF0000\"><i><b>dddd eeee</b></i></font> ffff\r\ngggg\r\n"));
    EXPECT_TRUE(paraBreak);
    EXPECT_EQ(text->GetInBoundsText(), QStringLiteral("aaaa bbbb cccc <font color=red><i><b>"));
    EXPECT_EQ(Lines(*text), (QStringList{"aaaa", "bbbb", "cccc"}));
    // Everything left fits now: nothing more to split.
    EXPECT_EQ(text->GetOutBoundsText(paraBreak), QString());
    EXPECT_FALSE(paraBreak);
}

TEST(DrawTextSplit, AtAParagraphEndThereIsNoParagraphBreak)
{
    LayoutSetup setup = WithWidth(200);
    setup.Box.setHeight(2 * (83 / 6.25 + 2));
    const auto text = LaidOut(setup, {"one", "<u>two", "three"});
    bool paraBreak = true;
    EXPECT_EQ(text->GetOutBoundsText(paraBreak), QStringLiteral("<font color=\"#000000\"><u>three\r\n"));
    EXPECT_FALSE(paraBreak);
    EXPECT_EQ(text->GetInBoundsText(), QStringLiteral("one\r\n<u>two\r\n"));
}

TEST(DrawTextSplit, WithoutTagsNoPrefixAndTheHyphenStaysWithTheFirstPart)
{
    LayoutSetup setup = WithWidth(WidthOf({}, QStringLiteral("в програм")) + 0.5);
    setup.Box.setHeight(83 / 6.25 + 2);
    setup.HTMLTags = false;
    setup.WordBreak = true;
    const auto text = LaidOut(setup, {"в программа", "<b>"});
    ASSERT_EQ(Lines(*text), (QStringList{"в прог-", "рамма", "<b>"}));
    bool paraBreak = false;
    EXPECT_EQ(text->GetOutBoundsText(paraBreak), QStringLiteral("рамма\r\n<b>\r\n"));
    EXPECT_TRUE(paraBreak);
    EXPECT_EQ(text->GetInBoundsText(), QStringLiteral("в прог-"));
}

// Measuring and drawing leave the layout as it is: the same answers every time.
TEST(DrawTextMeasure, MeasuringTwiceGivesTheSameWidths)
{
    const auto text = LaidOut(WithWidth(1000), {"a<b>b</b>c<sub>2</sub>d"});
    const double first = text->CalcWidth();
    EXPECT_EQ(text->CalcWidth(), first);
    EXPECT_EQ(text->LineRuns(0).size(), 5u);
    EXPECT_EQ(text->LineRuns(0).size(), 5u);
}

TEST(DrawTextMeasure, SmallCharactersMeasureTwoThirds)
{
    const double plain = WidthOf({}, QStringLiteral("22222"));
    const double small = WidthOf({}, QStringLiteral("<sub>22222</sub>"));
    EXPECT_NEAR(small, plain / 1.5, 5 * 0.5 / 6.25);
}

TEST(DrawTextMeasure, LineRunsCutWhereTheStyleChanges)
{
    const auto text = LaidOut(WithWidth(1000), {"ab<b>cd</b><font color=red>e"});
    const std::vector<TrpDrawText::TextRun> runs = text->LineRuns(0);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Start, 0);
    EXPECT_EQ(runs[0].Length, 2);
    EXPECT_EQ(runs[1].Start, 2);
    EXPECT_EQ(runs[1].Tag.Style, kTextStyleBold);
    EXPECT_EQ(runs[2].Start, 4);
    EXPECT_EQ(runs[2].Tag.Color, clRed);
}

} // namespace
