#pragma once

#include <QStringView>

#include <cstdint>
#include <span>

// Colours as report files, scripts and the designer name them. A colour is a signed 32-bit
// value: standard colours are 0x00BBGGRR, system colours 0xFF000000 plus the index of the
// system colour, and two values stand for no colour and the default colour.
using TColor = int32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSilver = 0xC0C0C0;
// The button-face system colour (index 15).
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);
// The high byte of a system colour.
inline constexpr uint32_t kSystemColorFlag = 0xFF000000u;

struct ColorIdentifier {
    TColor Color;
    const char* Name; // the identifier scripts and the designer use: "clRed"
};

// The 52 colour identifiers in their fixed order (the order scripts register them in).
std::span<const ColorIdentifier> ColorIdentifiers();

// The entry of an identifier (case-insensitive, "cl" included); nullptr when unknown.
const ColorIdentifier* FindColorIdentifier(QStringView name);
// The first entry with that colour; nullptr when no identifier names it.
const ColorIdentifier* FindColorIdentifier(TColor color);

// Whether the colour is a system colour, and its index (0 to 255) when it is.
constexpr bool IsSystemColor(TColor color) noexcept
{
    return (static_cast<uint32_t>(color) & kSystemColorFlag) == kSystemColorFlag;
}
constexpr int SystemColorIndex(TColor color) noexcept
{
    return static_cast<int>(static_cast<uint32_t>(color) & 0xFFu);
}

// A standard colour from its red, green and blue parts, and the parts back.
constexpr TColor RGBColor(int red, int green, int blue) noexcept
{
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedPart(TColor color) noexcept { return color & 0xFF; }
constexpr int GreenPart(TColor color) noexcept { return (color >> 8) & 0xFF; }
constexpr int BluePart(TColor color) noexcept { return (color >> 16) & 0xFF; }

// Where a system colour comes from on screen: a colour role of the widget palette. The names
// and numbers are those of QPalette::ColorRole, so drawing code converts with a cast (the code
// that does checks that they agree).
enum class PaletteRole : uint8_t {
    WindowText = 0,
    Button = 1,
    Light = 2,
    Midlight = 3,
    Dark = 4,
    Mid = 5,
    Text = 6,
    ButtonText = 8,
    Base = 9,
    Shadow = 11,
    Highlight = 12,
    HighlightedText = 13,
    ToolTipBase = 18,
    ToolTipText = 19,
    PlaceholderText = 20,
};

// One system colour: the palette role it is painted with, and its value in the classic scheme
// for drawing and dialogs without a screen.
struct SystemColorInfo {
    int Index;
    PaletteRole Role;
    uint32_t DefaultRgb; // 0xRRGGBB
};

// The system colour of an index; nullptr for an index that names none.
const SystemColorInfo* FindSystemColor(int index);

// A colour as 0xRRGGBB without a screen: standard colours by their parts, system colours by
// their classic value (black for an unknown index); clNone and clDefault give `fallback`.
uint32_t ColorToRgb(TColor color, uint32_t fallback = 0);
// A 0xRRGGBB value as a standard colour.
constexpr TColor RgbToColor(uint32_t rgb) noexcept
{
    return RGBColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                    static_cast<int>(rgb & 0xFF));
}
