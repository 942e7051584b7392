#include "QtConversions.h"

#include <QGuiApplication>
#include <QPalette>

// The report core's table names palette roles by Qt's numbers.
static_assert(static_cast<int>(PaletteRole::WindowText) == QPalette::WindowText);
static_assert(static_cast<int>(PaletteRole::Button) == QPalette::Button);
static_assert(static_cast<int>(PaletteRole::Light) == QPalette::Light);
static_assert(static_cast<int>(PaletteRole::Midlight) == QPalette::Midlight);
static_assert(static_cast<int>(PaletteRole::Dark) == QPalette::Dark);
static_assert(static_cast<int>(PaletteRole::Mid) == QPalette::Mid);
static_assert(static_cast<int>(PaletteRole::Text) == QPalette::Text);
static_assert(static_cast<int>(PaletteRole::ButtonText) == QPalette::ButtonText);
static_assert(static_cast<int>(PaletteRole::Base) == QPalette::Base);
static_assert(static_cast<int>(PaletteRole::Shadow) == QPalette::Shadow);
static_assert(static_cast<int>(PaletteRole::Highlight) == QPalette::Highlight);
static_assert(static_cast<int>(PaletteRole::HighlightedText) == QPalette::HighlightedText);
static_assert(static_cast<int>(PaletteRole::ToolTipBase) == QPalette::ToolTipBase);
static_assert(static_cast<int>(PaletteRole::ToolTipText) == QPalette::ToolTipText);
static_assert(static_cast<int>(PaletteRole::PlaceholderText) == QPalette::PlaceholderText);

QColor ToQColor(TColor color, const QColor& fallback)
{
    if (color == clNone || color == clDefault)
        return fallback;
    if (IsSystemColor(color)) {
        // The role of the system colour, from the report core's table of them.
        const SystemColorInfo* system = FindSystemColor(SystemColorIndex(color));
        const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                                     ? QGuiApplication::palette()
                                     : QPalette(QColor(0xF0, 0xF0, 0xF0));
        return palette.color(QPalette::Active, system != nullptr ? static_cast<QPalette::ColorRole>(system->Role)
                                                                 : QPalette::Button);
    }
    return QColor(RedPart(color), GreenPart(color), BluePart(color));
}

TColor FromQColor(const QColor& color)
{
    return RgbToColor(color.rgb() & 0xFFFFFF);
}

std::optional<QColor> OwnQColor(TColor color)
{
    // Only the low three bytes: the high byte marks system colours, clNone, clDefault and the like.
    if ((static_cast<uint32_t>(color) & 0xFF000000u) != 0)
        return std::nullopt;
    return ToQColor(color);
}

QFont ToQFont(const ScriptFont& font, const QString& family, int pixelSize)
{
    QFont qfont(family);
    if (pixelSize > 0)
        qfont.setPixelSize(pixelSize);
    qfont.setBold((font.Style() & ScriptFont::kBold) != 0);
    qfont.setItalic((font.Style() & ScriptFont::kItalic) != 0);
    qfont.setUnderline((font.Style() & ScriptFont::kUnderline) != 0);
    qfont.setStrikeOut((font.Style() & ScriptFont::kStrikeOut) != 0);
    return qfont;
}
