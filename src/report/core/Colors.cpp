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
