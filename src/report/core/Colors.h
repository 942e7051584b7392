#pragma once

#include <QStringView>

#include <cstdint>
#include <span>

// Colours as report files, scripts and the designer write them: a 32-bit TColor. A standard
// colour is 0x00BBGGRR (red in the low byte); a system colour is 0xFF000000 plus the index of
// a colour of the desktop's scheme (negative as a signed 32-bit number); clNone and clDefault
// are two marks. The colour names and the system colours are one table each, shared by the
// scripts, the report model, the exports and the designer.

using TColor = int32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr uint32_t kSystemColorFlag = 0xFF000000u;

struct ColorNameInfo {
    const char* Name; // "clRed"
    TColor Value;
};

// The 52 named colours in their table order (standard colours, then the system colours,
// clDefault and clNone in alphabetical order as the run-time library lists them).
std::span<const ColorNameInfo> ColorNames();
// The colour of a name (case-insensitive), or nullptr.
const ColorNameInfo* FindColorName(QStringView name);
// The name of a colour value, or nullptr when it has none.
const char* ColorNameOf(TColor color);

// Where a system colour comes from on screen: a colour role of the widget palette in one of
// its groups. The names and numbers are those of QPalette::ColorRole and QPalette::ColorGroup,
// so Gui code converts with a cast (the graphics code checks that they agree).
enum class PaletteRole : uint8_t {
    WindowText = 0,
    Button = 1,
    Light = 2,
    Midlight = 3,
    Dark = 4,
    Mid = 5,
    Text = 6,
    BrightText = 7,
    ButtonText = 8,
    Base = 9,
    Window = 10,
    Shadow = 11,
    Highlight = 12,
    HighlightedText = 13,
    Link = 14,
    LinkVisited = 15,
    AlternateBase = 16,
    ToolTipBase = 18,
    ToolTipText = 19,
};
enum class PaletteGroup : uint8_t { Active = 0, Disabled = 1, Inactive = 2 };

struct SystemColorInfo {
    int Index;           // the system-colour index (the low byte of the TColor)
    PaletteRole Role;
    PaletteGroup Group;
    uint32_t DefaultRgb; // 0xRRGGBB of the classic scheme, for drawing without a screen
};

// The system colours by index; nullptr for an index that names none.
const SystemColorInfo* FindSystemColor(int index);
// Whether the colour is a system colour (0xFF0000nn).
inline bool IsSystemColor(TColor color)
{
    return (static_cast<uint32_t>(color) & 0xFF000000u) == kSystemColorFlag;
}

// The colour as 0xRRGGBB without a screen: standard colours by their bytes, system colours by
// their classic value (black for an unknown index). clNone and clDefault have none: `fallback`.
uint32_t ColorToRgb(TColor color, uint32_t fallback = 0);
// A 0xRRGGBB colour as a standard TColor (0x00BBGGRR).
TColor RgbToColor(uint32_t rgb);
