#include "Colors.h"

#include <QString>

namespace {

constexpr TColor SystemColor(int index)
{
    return static_cast<TColor>(kSystemColorFlag | static_cast<uint32_t>(index));
}

const ColorIdentifier kColorIdentifiers[] = {
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"},
    {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},
    {SystemColor(10), "clActiveBorder"},
    {SystemColor(2), "clActiveCaption"},
    {SystemColor(12), "clAppWorkSpace"},
    {SystemColor(1), "clBackground"},
    {SystemColor(15), "clBtnFace"},
    {SystemColor(20), "clBtnHighlight"},
    {SystemColor(16), "clBtnShadow"},
    {SystemColor(18), "clBtnText"},
    {SystemColor(9), "clCaptionText"},
    {clDefault, "clDefault"},
    {SystemColor(27), "clGradientActiveCaption"},
    {SystemColor(28), "clGradientInactiveCaption"},
    {SystemColor(17), "clGrayText"},
    {SystemColor(13), "clHighlight"},
    {SystemColor(14), "clHighlightText"},
    {SystemColor(26), "clHotLight"},
    {SystemColor(11), "clInactiveBorder"},
    {SystemColor(3), "clInactiveCaption"},
    {SystemColor(19), "clInactiveCaptionText"},
    {SystemColor(24), "clInfoBk"},
    {SystemColor(23), "clInfoText"},
    {SystemColor(4), "clMenu"},
    {SystemColor(30), "clMenuBar"},
    {SystemColor(29), "clMenuHighlight"},
    {SystemColor(7), "clMenuText"},
    {clNone, "clNone"},
    {SystemColor(0), "clScrollBar"},
    {SystemColor(21), "cl3DDkShadow"},
    {SystemColor(22), "cl3DLight"},
    {SystemColor(5), "clWindow"},
    {SystemColor(6), "clWindowFrame"},
    {SystemColor(8), "clWindowText"},
};

static_assert(std::size(kColorIdentifiers) == 52);

using R = PaletteRole;

constexpr SystemColorInfo kSystemColors[] = {
    {0, R::Button, 0xD4D0C8},           // scroll bar
    {1, R::Dark, 0x3A6EA5},             // desktop
    {2, R::Highlight, 0x0A246A},        // active caption
    {3, R::Button, 0x808080},           // inactive caption
    {4, R::Button, 0xD4D0C8},           // menu
    {5, R::Base, 0xFFFFFF},             // window
    {6, R::Shadow, 0x000000},           // window frame
    {7, R::Text, 0x000000},             // menu text
    {8, R::Text, 0x000000},             // window text
    {9, R::HighlightedText, 0xFFFFFF},  // caption text
    {10, R::Button, 0xD4D0C8},          // active border
    {11, R::Button, 0xD4D0C8},          // inactive border
    {12, R::Dark, 0x808080},            // application work space
    {13, R::Highlight, 0x0A246A},       // highlight
    {14, R::HighlightedText, 0xFFFFFF}, // highlighted text
    {15, R::Button, 0xD4D0C8},          // button face
    {16, R::Mid, 0x808080},             // button shadow
    {17, R::PlaceholderText, 0x808080}, // grey text
    {18, R::ButtonText, 0x000000},      // button text
    {19, R::PlaceholderText, 0xD4D0C8}, // inactive caption text
    {20, R::Light, 0xFFFFFF},           // button highlight
    {21, R::Shadow, 0x404040},          // 3-D dark shadow
    {22, R::Midlight, 0xD4D0C8},        // 3-D light
    {23, R::ToolTipText, 0x000000},     // info text
    {24, R::ToolTipBase, 0xFFFFE1},     // info background
    {26, R::Highlight, 0x000080},       // hot light
    {27, R::Highlight, 0xA6CAF0},       // gradient of the active caption
    {28, R::Button, 0xC0C0C0},          // gradient of the inactive caption
    {29, R::Highlight, 0x0A246A},       // menu highlight
    {30, R::Button, 0xD4D0C8},          // menu bar
};

} // namespace

std::span<const ColorIdentifier> ColorIdentifiers()
{
    return kColorIdentifiers;
}

const ColorIdentifier* FindColorIdentifier(QStringView name)
{
    for (const ColorIdentifier& entry : kColorIdentifiers)
        if (name.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

const ColorIdentifier* FindColorIdentifier(TColor color)
{
    for (const ColorIdentifier& entry : kColorIdentifiers)
        if (entry.Color == color)
            return &entry;
    return nullptr;
}

const SystemColorInfo* FindSystemColor(int index)
{
    for (const SystemColorInfo& entry : kSystemColors)
        if (entry.Index == index)
            return &entry;
    return nullptr;
}

uint32_t ColorToRgb(TColor color, uint32_t fallback)
{
    if (color == clNone || color == clDefault)
        return fallback;
    if (IsSystemColor(color)) {
        const SystemColorInfo* system = FindSystemColor(SystemColorIndex(color));
        return system != nullptr ? system->DefaultRgb : 0;
    }
    return (static_cast<uint32_t>(RedPart(color)) << 16) | (static_cast<uint32_t>(GreenPart(color)) << 8) |
           static_cast<uint32_t>(BluePart(color));
}
