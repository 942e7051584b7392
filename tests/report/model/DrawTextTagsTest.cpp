// The inline tags: which forms are tags, what they do, where the characters come from.

#include "DrawTextTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Expected {
    int32_t Position;
    uint32_t Style;
    int32_t Size;
    int32_t AddY;
    TColor Color;
    bool Default;
    bool Small;
    bool DontWRAP;
};

struct TagCase {
    const char* Name;
    const char16_t* Source;
    const char16_t* Text;
    std::vector<Expected> Tags;
};

void PrintTo(const TagCase& c, std::ostream* out)
{
    *out << c.Name;
}

constexpr TColor kDefaultColor = 0x123456;
constexpr int32_t kDefaultSize = 10;

class TagExpansion : public testing::TestWithParam<TagCase> {};

TEST_P(TagExpansion, RemovesTagsAndStylesEveryCharacter)
{
    const TagCase& c = GetParam();
    TrpHTMLTagsList list;
    list.SetDefaults(kDefaultColor, kDefaultSize, 0);
    QString text = QString::fromUtf16(c.Source);
    const TrpHTMLTags tags = list.ExpandHTMLTags(text);
    EXPECT_EQ(text, QString::fromUtf16(c.Text));
    ASSERT_EQ(tags.Count(), static_cast<int>(c.Tags.size()));
    for (int i = 0; i < tags.Count(); ++i) {
        SCOPED_TRACE("character " + std::to_string(i));
        const Expected& e = c.Tags[static_cast<std::size_t>(i)];
        EXPECT_EQ(tags[i].Position, e.Position);
        EXPECT_EQ(tags[i].Style, e.Style);
        EXPECT_EQ(tags[i].Size, e.Size);
        EXPECT_EQ(tags[i].AddY, e.AddY);
        EXPECT_EQ(tags[i].Color, e.Color);
        EXPECT_EQ(tags[i].Default, e.Default);
        EXPECT_EQ(tags[i].Small, e.Small);
        EXPECT_EQ(tags[i].DontWRAP, e.DontWRAP);
    }
}

constexpr TColor D = kDefaultColor;
constexpr uint32_t B = kTextStyleBold;

const TagCase kTagCases[] = {
    {"BoldOnTheMiddleCharacter", u"a<b>b</b>c", u"abc",
     {{1, 0, 10, 0, D, true, false, false}, {5, B, 10, 0, D, false, false, false}, {10, 0, 10, 0, D, false, false, false}}},
    {"LettersInAnyCase", u"<B>x</B><I>y", u"xy",
     {{4, B, 10, 0, D, false, false, false}, {12, kTextStyleItalic, 10, 0, D, false, false, false}}},
    {"Subscript", u"<sub>2</sub>", u"2", {{6, 0, 7, 1, D, false, true, false}}},
    {"Superscript", u"x<sup>2</sup>y", u"x2y",
     {{1, 0, 10, 0, D, true, false, false}, {7, 0, 7, 0, D, false, true, false}, {14, 0, 10, 0, D, false, false, false}}},
    {"UnderlineAndStrikeOut", u"<u><strike>s</strike></u>", u"s",
     {{12, kTextStyleUnderline | kTextStyleStrikeOut, 10, 0, D, false, false, false}}},
    {"NoWrapRun", u"<nowrap>a b</nowrap>c", u"a bc",
     {{9, 0, 10, 0, D, false, false, true},
      {10, 0, 10, 0, D, true, false, true},
      {11, 0, 10, 0, D, true, false, true},
      {21, 0, 10, 0, D, false, false, false}}},
    {"OnlyTagsGiveOneBlank", u"<b><i></i>", u" ", {{1, B, 10, 0, D, false, false, false}}},
    {"EmptyLineGivesOneBlank", u"", u" ", {{1, 0, 10, 0, D, true, false, false}}},
    {"UnknownTagStays", u"<xyz>", u"<xyz>",
     {{1, 0, 10, 0, D, true, false, false},
      {2, 0, 10, 0, D, true, false, false},
      {3, 0, 10, 0, D, true, false, false},
      {4, 0, 10, 0, D, true, false, false},
      {5, 0, 10, 0, D, true, false, false}}},
    {"ColourName", u"<font color=red>r</font>k", u"rk",
     {{17, 0, 10, 0, clRed, false, false, false}, {25, 0, 10, 0, D, false, false, false}}},
    {"ColourNameAfterBlanksAnyCase", u"<FONT COLOR=  Lime>g", u"g", {{20, 0, 10, 0, 0x00FF00, false, false, false}}},
    {"QuotedHexColour", u"<font color=\"#12AB56\">h", u"h", {{23, 0, 10, 0, 0x56AB12, false, false, false}}},
};

INSTANTIATE_TEST_SUITE_P(Tags, TagExpansion, testing::ValuesIn(kTagCases),
                         [](const testing::TestParamInfo<TagCase>& info) { return std::string(info.param.Name); });

// Forms that are not tags stay in the text, character for character.
TEST(TagExpansion, FormsThatAreNotTagsStayText)
{
    const char16_t* const texts[] = {
        u"<font color=\"red\">x",      // quoted colour name
        u"<font color=#FF0000>x",      // unquoted hexadecimal colour
        u"<font color=\"#12zz56\">x",  // digits that are not hexadecimal
        u"<font color=\"#12345\">x",   // five digits
        u"<font color=clRed>x",        // the identifier with its prefix
        u"<font color=nocolour>x",
        u"<font color=red",            // never closed
        u"<b",
        u"<font color= >x",
        u"< b>x",
    };
    for (const char16_t* source : texts) {
        TrpHTMLTagsList list;
        list.SetDefaults(kDefaultColor, kDefaultSize, 0);
        QString text = QString::fromUtf16(source);
        const TrpHTMLTags tags = list.ExpandHTMLTags(text);
        EXPECT_EQ(text, QString::fromUtf16(source));
        ASSERT_EQ(tags.Count(), text.size());
        for (int i = 0; i < tags.Count(); ++i) {
            EXPECT_EQ(tags[i].Color, kDefaultColor);
            EXPECT_EQ(tags[i].Position, i + 1);
        }
    }
}

TEST(TagExpansion, WithoutTagsEveryCharacterIsPlainAndDefault)
{
    TrpHTMLTagsList list;
    list.SetAllowTags(false);
    list.SetDefaults(kDefaultColor, kDefaultSize, B);
    QString text = QStringLiteral("a<b>b");
    const TrpHTMLTags tags = list.ExpandHTMLTags(text);
    EXPECT_EQ(text, QStringLiteral("a<b>b"));
    ASSERT_EQ(tags.Count(), 5);
    for (int i = 0; i < tags.Count(); ++i) {
        EXPECT_TRUE(tags[i].Default);
        EXPECT_EQ(tags[i].Style, B);
    }
}

// The state runs on from line to line, and the first character of a text compares with the
// defaults; positions count two for each line break.
TEST(TagExpansion, StateAndPositionsRunAcrossLines)
{
    const auto text = drawtexttest::LaidOut({}, {QStringLiteral("a<b>b"), QStringLiteral("c</b>d")});
    ASSERT_EQ(text->LineCount(), 2);
    const TrpHTMLTags& second = text->LineTags(1);
    ASSERT_EQ(second.Count(), 2);
    EXPECT_EQ(second[0].Position, 8); // "a<b>b" is 1..5, its line break 6..7
    EXPECT_EQ(second[0].Style, B);
    EXPECT_TRUE(second[0].Default);   // same style as the b before it
    EXPECT_EQ(second[1].Position, 13);
    EXPECT_FALSE(second[1].Default);
    EXPECT_EQ(text->GetInBoundsText(), QStringLiteral("a<b>b\r\nc</b>d\r\n"));
}

TEST(TagExpansion, AssignCopiesEverythingButTheNoWrapState)
{
    TrpHTMLTag source;
    source.Position = 7;
    source.Size = 12;
    source.AddY = 1;
    source.Style = B;
    source.Color = clRed;
    source.Default = true;
    source.Small = true;
    source.DontWRAP = true;
    TrpHTMLTag target;
    target.Assign(source);
    EXPECT_EQ(target.Position, 7);
    EXPECT_EQ(target.Size, 12);
    EXPECT_EQ(target.AddY, 1);
    EXPECT_EQ(target.Style, B);
    EXPECT_EQ(target.Color, clRed);
    EXPECT_TRUE(target.Default);
    EXPECT_TRUE(target.Small);
    EXPECT_FALSE(target.DontWRAP);
}

TEST(TagExpansion, DeleteTagsKeepsTheText)
{
    EXPECT_EQ(TrpDrawText::DeleteTags(QStringLiteral("a<b>b</b><font color=red>c</font><xyz>")), QStringLiteral("abc<xyz>"));
    EXPECT_EQ(TrpDrawText::DeleteTags(QStringLiteral("<b></b>")), QString());
    EXPECT_EQ(TrpDrawText::DeleteTags(QStringLiteral(" ")), QStringLiteral(" "));
}

} // namespace
