// The colour identifier table of the report core.

#include "report/core/Colors.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

namespace {

// The identifiers in their fixed order, as scripts register them.
const char* const kNamesInOrder[] = {
    "clBlack", "clMaroon", "clGreen", "clOlive", "clNavy", "clPurple", "clTeal", "clGray", "clSilver",
    "clRed", "clLime", "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite", "clMoneyGreen", "clSkyBlue",
    "clCream", "clMedGray", "clActiveBorder", "clActiveCaption", "clAppWorkSpace", "clBackground", "clBtnFace",
    "clBtnHighlight", "clBtnShadow", "clBtnText", "clCaptionText", "clDefault", "clGradientActiveCaption",
    "clGradientInactiveCaption", "clGrayText", "clHighlight", "clHighlightText", "clHotLight",
    "clInactiveBorder", "clInactiveCaption", "clInactiveCaptionText", "clInfoBk", "clInfoText", "clMenu",
    "clMenuBar", "clMenuHighlight", "clMenuText", "clNone", "clScrollBar", "cl3DDkShadow", "cl3DLight",
    "clWindow", "clWindowFrame", "clWindowText",
};

TEST(ColorIdentifiers, FiftyTwoNamesInTheirOrder)
{
    const auto table = ColorIdentifiers();
    ASSERT_EQ(table.size(), std::size(kNamesInOrder));
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_STREQ(table[i].Name, kNamesInOrder[i]);
}

TEST(ColorIdentifiers, TellingValues)
{
    const struct {
        const char* Name;
        uint32_t Value;
    } values[] = {
        {"clBlack", 0x000000},     {"clRed", 0x0000FF},       {"clLime", 0x00FF00},
        {"clBlue", 0xFF0000},      {"clWhite", 0xFFFFFF},     {"clMoneyGreen", 0xC0DCC0},
        {"clSkyBlue", 0xF0CAA6},   {"clCream", 0xF0FBFF},     {"clMedGray", 0xA4A0A0},
        {"clScrollBar", 0xFF000000}, {"clBtnFace", 0xFF00000F}, {"clWindow", 0xFF000005},
        {"clWindowText", 0xFF000008}, {"clNone", 0x1FFFFFFF}, {"clDefault", 0x20000000},
    };
    for (const auto& v : values) {
        const ColorIdentifier* entry = FindColorIdentifier(QString::fromLatin1(v.Name));
        ASSERT_NE(entry, nullptr) << v.Name;
        EXPECT_EQ(static_cast<uint32_t>(entry->Color), v.Value) << v.Name;
    }
    EXPECT_EQ(FindColorIdentifier(u"clBtnFace")->Color, -16777201); // negative as a 32-bit integer
}

TEST(ColorIdentifiers, LookupIgnoresCaseAndFindsValues)
{
    EXPECT_EQ(FindColorIdentifier(u"CLRED"), FindColorIdentifier(u"clRed"));
    EXPECT_EQ(FindColorIdentifier(u"red"), nullptr);
    EXPECT_EQ(FindColorIdentifier(u""), nullptr);
    EXPECT_STREQ(FindColorIdentifier(TColor{0x008000})->Name, "clGreen");
    EXPECT_EQ(FindColorIdentifier(TColor{0x123456}), nullptr);
}

TEST(ColorIdentifiers, PartsAndSystemColours)
{
    EXPECT_EQ(RGBColor(0x12, 0x34, 0x56), 0x563412);
    EXPECT_EQ(RedPart(0x563412), 0x12);
    EXPECT_EQ(GreenPart(0x563412), 0x34);
    EXPECT_EQ(BluePart(0x563412), 0x56);
    EXPECT_TRUE(IsSystemColor(FindColorIdentifier(u"clBtnFace")->Color));
    EXPECT_EQ(SystemColorIndex(FindColorIdentifier(u"clBtnFace")->Color), 15);
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(IsSystemColor(clRed));
}

} // namespace
