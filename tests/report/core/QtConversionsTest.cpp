// The report libraries' colours and fonts as Qt's.

#include "report/core/gui/QtConversions.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

TEST(QtConversions, ColoursOfTheirOwnBySystemColourAndNone)
{
    EXPECT_EQ(ToQColor(RGBColor(0x12, 0x34, 0x56)), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ToQColor(clNone, QColor(Qt::white)), QColor(Qt::white));
    EXPECT_EQ(ToQColor(clDefault, QColor(Qt::red)), QColor(Qt::red));
    // clBtnFace is the button role of the application's palette.
    EXPECT_EQ(ToQColor(clBtnFace), QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56, 0x80)), RGBColor(0x12, 0x34, 0x56));
    EXPECT_EQ(OwnQColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
    for (const TColor leaveThePalette : {clNone, clDefault, clBtnFace, static_cast<TColor>(0x02000001)})
        EXPECT_FALSE(OwnQColor(leaveThePalette).has_value()) << leaveThePalette;
}

TEST(QtConversions, FontsTakeTheirFamilySizeAndStyles)
{
    ScriptFont font;
    font.SetStyle(ScriptFont::kBold | ScriptFont::kStrikeOut);
    const QFont bold = ToQFont(font, QStringLiteral("DejaVu Sans"), 17);
    EXPECT_EQ(bold.family(), "DejaVu Sans");
    EXPECT_EQ(bold.pixelSize(), 17);
    EXPECT_TRUE(bold.bold());
    EXPECT_FALSE(bold.italic());
    EXPECT_FALSE(bold.underline());
    EXPECT_TRUE(bold.strikeOut());
    font.SetStyle(ScriptFont::kItalic | ScriptFont::kUnderline);
    const QFont italic = ToQFont(font, QStringLiteral("Arial"), 0);
    EXPECT_EQ(italic.pixelSize(), QFont().pixelSize()) << "no size: Qt's default";
    EXPECT_TRUE(italic.italic());
    EXPECT_TRUE(italic.underline());
    EXPECT_FALSE(italic.bold());
}

} // namespace
