#pragma once

// The font of report objects is the class library's font of the report core, the one TFont of
// scripts, report files and the designer.

#include "report/core/ScriptFont.h"

using TrpFont = ScriptFont;

// Font styles: the ordinals of the set TFontStyles, whose bits are 1, 2, 4 and 8.
enum TFontStyle : int { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };

inline constexpr uint32_t kFontStyleBold = ScriptFont::kBold;
inline constexpr uint32_t kFontStyleItalic = ScriptFont::kItalic;
inline constexpr uint32_t kFontStyleUnderline = ScriptFont::kUnderline;
inline constexpr uint32_t kFontStyleStrikeOut = ScriptFont::kStrikeOut;
inline constexpr uint32_t kFontStyleMask = ScriptFont::kStyleMask;

// The character set of a font that names none (DEFAULT_CHARSET).
inline constexpr uint8_t kDefaultCharset = ScriptFont::kDefaultCharset;
// Report fonts are measured at 96 pixels per inch.
inline constexpr int kFontPixelsPerInch = ScriptFont::kPixelsPerInch;
