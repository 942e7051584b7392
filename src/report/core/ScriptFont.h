#pragma once

#include "Colors.h"
#include "ObjectHandles.h"

#include <QString>

#include <cstdint>
#include <functional>

class PropertyRegistry;

// The class library's font (TFont) as a plain value: a name, a height, styles, a colour, a
// character set and a pitch. Nothing here needs a display, so scripts, dialogs, report objects
// and files use it anywhere; drawing code turns it into a Qt font. The height is in pixels at 96 per
// inch: negative, it is the character height (the usual case), positive the cell height; the
// size in points follows from it (8 pt <-> -11). Every change calls OnChange once.
class ScriptFont : public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    // Style bits, as the set TFontStyles holds them.
    static constexpr uint32_t kBold = 1;
    static constexpr uint32_t kItalic = 2;
    static constexpr uint32_t kUnderline = 4;
    static constexpr uint32_t kStrikeOut = 8;
    static constexpr uint32_t kStyleMask = 15;
    // Pitches (TFontPitch).
    enum Pitch : int { fpDefault, fpVariable, fpFixed };
    static constexpr int kPixelsPerInch = 96;
    // Heights beyond this many pixels (either sign) are refused from files and scripts.
    static constexpr int32_t kMaxHeight = 10000;
    static constexpr uint8_t kDefaultCharset = 1;

    // "Arial", 10 pt (height -13), black, no style, the default character set and pitch.
    ScriptFont();

    const QString& Name() const { return name_; }
    void SetName(const QString& name);
    int32_t Height() const { return height_; }
    void SetHeight(int32_t height);
    // Points: -Height x 72 / 96, rounded half away from zero; setting it sets Height to
    // -Size x 96 / 72 rounded the same way.
    int32_t Size() const;
    void SetSize(int32_t size);
    // Bits kBold ... kStrikeOut; other bits are dropped.
    uint32_t Style() const { return style_; }
    void SetStyle(uint32_t style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    uint8_t Charset() const { return charset_; }
    void SetCharset(uint8_t charset);
    int PitchValue() const { return pitch_; }
    void SetPitch(int pitch);

    // Copies every value with one change notification.
    void Assign(const ScriptFont& source);
    bool SameAs(const ScriptFont& other) const;

    std::function<void()> OnChange;

    // Registers the class "TFont" with its published properties (Charset, Color, Height,
    // Name, Pitch, Size, Style) and the enumerations of its styles and pitches; idempotent.
    static void RegisterClass(PropertyRegistry& registry);

private:
    void Changed();

    QString name_;
    int32_t height_;
    uint32_t style_ = 0;
    TColor color_;
    uint8_t charset_ = kDefaultCharset;
    int pitch_ = fpDefault;
};

// a * b / c rounded half away from zero, in 64 bits; -1 when c is 0 or the result does not
// fit 32 bits (the desktop's MulDiv, which font sizes are defined by).
int32_t MulDiv(int32_t a, int32_t b, int32_t c) noexcept;
