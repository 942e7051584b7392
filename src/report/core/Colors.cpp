#include "Colors.h"

#include "PropertyRegistry.h"

#include <QString>

namespace {

constexpr TColor Sys(int index)
{
    return static_cast<TColor>(kSystemColorFlag | static_cast<uint32_t>(index));
}

// Standard colours as 0x00BBGGRR.
constexpr ColorNameInfo kColorNames[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", Sys(10)},
    {"clActiveCaption", Sys(2)},
    {"clAppWorkSpace", Sys(12)},
    {"clBackground", Sys(1)},
    {"clBtnFace", Sys(15)},
    {"clBtnHighlight", Sys(20)},
    {"clBtnShadow", Sys(16)},
    {"clBtnText", Sys(18)},
    {"clCaptionText", Sys(9)},
    {"clDefault", clDefault},
    {"clGradientActiveCaption", Sys(27)},
    {"clGradientInactiveCaption", Sys(28)},
    {"clGrayText", Sys(17)},
    {"clHighlight", Sys(13)},
    {"clHighlightText", Sys(14)},
    {"clHotLight", Sys(26)},
    {"clInactiveBorder", Sys(11)},
    {"clInactiveCaption", Sys(3)},
    {"clInactiveCaptionText", Sys(19)},
    {"clInfoBk", Sys(24)},
    {"clInfoText", Sys(23)},
    {"clMenu", Sys(4)},
    {"clMenuBar", Sys(30)},
    {"clMenuHighlight", Sys(29)},
    {"clMenuText", Sys(7)},
    {"clNone", clNone},
    {"clScrollBar", Sys(0)},
    {"cl3DDkShadow", Sys(21)},
    {"cl3DLight", Sys(22)},
    {"clWindow", Sys(5)},
    {"clWindowFrame", Sys(6)},
    {"clWindowText", Sys(8)},
};
static_assert(std::size(kColorNames) == 52);

using R = PaletteRole;
using G = PaletteGroup;

constexpr SystemColorInfo kSystemColors[] = {
    {0, R::Button, G::Active, 0xD4D0C8},           // scroll bar
    {1, R::Dark, G::Active, 0x3A6EA5},             // desktop
    {2, R::Highlight, G::Active, 0x0A246A},        // active caption
    {3, R::Highlight, G::Inactive, 0x808080},      // inactive caption
    {4, R::Window, G::Active, 0xD4D0C8},           // menu
    {5, R::Base, G::Active, 0xFFFFFF},             // window
    {6, R::Shadow, G::Active, 0x000000},           // window frame
    {7, R::WindowText, G::Active, 0x000000},       // menu text
    {8, R::Text, G::Active, 0x000000},             // window text
    {9, R::HighlightedText, G::Active, 0xFFFFFF},  // caption text
    {10, R::Button, G::Active, 0xD4D0C8},          // active border
    {11, R::Button, G::Inactive, 0xD4D0C8},        // inactive border
    {12, R::Mid, G::Active, 0x808080},             // application work space
    {13, R::Highlight, G::Active, 0x0A246A},       // highlight
    {14, R::HighlightedText, G::Active, 0xFFFFFF}, // highlighted text
    {15, R::Button, G::Active, 0xD4D0C8},          // button face
    {16, R::Dark, G::Active, 0x808080},            // button shadow
    {17, R::Text, G::Disabled, 0x808080},          // grey text
    {18, R::ButtonText, G::Active, 0x000000},      // button text
    {19, R::HighlightedText, G::Inactive, 0xD4D0C8}, // inactive caption text
    {20, R::Light, G::Active, 0xFFFFFF},           // button highlight
    {21, R::Shadow, G::Active, 0x404040},          // 3-D dark shadow
    {22, R::Midlight, G::Active, 0xD4D0C8},        // 3-D light
    {23, R::ToolTipText, G::Active, 0x000000},     // info text
    {24, R::ToolTipBase, G::Active, 0xFFFFE1},     // info background
    {26, R::Link, G::Active, 0x000080},            // hot light
    {27, R::Highlight, G::Active, 0xA6CAF0},       // gradient of the active caption
    {28, R::Highlight, G::Inactive, 0xC0C0C0},     // gradient of the inactive caption
    {29, R::Highlight, G::Active, 0x0A246A},       // menu highlight
    {30, R::Window, G::Active, 0xD4D0C8},          // menu bar
};

} // namespace

std::span<const ColorNameInfo> ColorNames()
{
    return kColorNames;
}

const ColorNameInfo* FindColorName(QStringView name)
{
    for (const ColorNameInfo& entry : kColorNames) {
        if (SameIdentifier(QString::fromLatin1(entry.Name), name))
            return &entry;
    }
    return nullptr;
}

const char* ColorNameOf(TColor color)
{
    for (const ColorNameInfo& entry : kColorNames) {
        if (entry.Value == color)
            return entry.Name;
    }
    return nullptr;
}

const SystemColorInfo* FindSystemColor(int index)
{
    for (const SystemColorInfo& entry : kSystemColors) {
        if (entry.Index == index)
            return &entry;
    }
    return nullptr;
}

uint32_t ColorToRgb(TColor color, uint32_t fallback)
{
    if (color == clNone || color == clDefault)
        return fallback;
    const uint32_t bits = static_cast<uint32_t>(color);
    if (IsSystemColor(color)) {
        const SystemColorInfo* system = FindSystemColor(static_cast<int>(bits & 0xFF));
        return system != nullptr ? system->DefaultRgb : 0;
    }
    return ((bits & 0xFF) << 16) | (bits & 0xFF00) | ((bits >> 16) & 0xFF);
}

TColor RgbToColor(uint32_t rgb)
{
    return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
