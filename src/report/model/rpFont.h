#pragma once

#include "report/core/ObjectHandles.h"

#include <QString>

#include <cstdint>
#include <functional>

class PropertyRegistry;

// Font styles: the ordinals of the set TFontStyles, whose bits are 1, 2, 4 and 8.
enum TFontStyle : int { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };

inline constexpr uint32_t kFontStyleBold = 1;
inline constexpr uint32_t kFontStyleItalic = 2;
inline constexpr uint32_t kFontStyleUnderline = 4;
inline constexpr uint32_t kFontStyleStrikeOut = 8;
inline constexpr uint32_t kFontStyleMask = 15;

// The character set of a font that names none (DEFAULT_CHARSET).
inline constexpr uint8_t kDefaultCharset = 1;
// Heights beyond this many pixels (either sign) are refused from files and scripts.
inline constexpr int32_t kMaxFontHeight = 10000;
// Report fonts are measured at 96 pixels per inch.
inline constexpr int kFontPixelsPerInch = 96;

// The font of a report object, as a plain value: nothing here needs a display or a
// QGuiApplication, so reports load and save anywhere. The height is in pixels at 96 per inch;
// negative, it is the character height (the usual case), positive the cell height. The size
// in points follows from it (-13 <-> 10 pt). Every change calls OnChange once.
class TrpFont : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // "Arial", 10 pt (height -13), black, no style, the default character set.
    TrpFont();

    const QString& Name() const { return name_; }
    void SetName(const QString& name);
    int32_t Height() const { return height_; }
    void SetHeight(int32_t height);
    // Points: -Height x 72 / 96, rounded half away from zero; setting it sets Height to
    // -Size x 96 / 72 rounded the same way.
    int32_t Size() const;
    void SetSize(int32_t size);
    // Bits of fsBold (1), fsItalic (2), fsUnderline (4), fsStrikeOut (8); other bits are dropped.
    uint32_t Style() const { return style_; }
    void SetStyle(uint32_t style);
    // A colour in the report colour encoding (0x00BBGGRR, system colours with the high bit).
    int32_t Color() const { return color_; }
    void SetColor(int32_t color);
    uint8_t Charset() const { return charset_; }
    void SetCharset(uint8_t charset);
    int PixelsPerInch() const { return kFontPixelsPerInch; }

    // Copies every value with one change notification (also when nothing differs).
    void Assign(const TrpFont& source);
    bool SameAs(const TrpFont& other) const;

    // Called after every change; the owner of the font listens here.
    std::function<void()> OnChange;

    // Registers the class "TFont" with its published properties (Charset, Color, Height,
    // Name, Size, Style) and the enumeration of its styles; idempotent.
    static void RegisterClass(PropertyRegistry& registry);

private:
    void Changed();

    QString name_;
    int32_t height_;
    uint32_t style_ = 0;
    int32_t color_ = 0;
    uint8_t charset_ = kDefaultCharset;
};

// Windows' MulDiv: a * b / c rounded half away from zero, computed in 64 bits; -1 when c is 0
// or the result does not fit 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c) noexcept;
