#pragma once

// Shared by the layout and the drawing halves of TrpDrawText; not part of the model's
// interface.

#include <QRawFont>
#include <QStringView>

#include <cstdint>

namespace drawtext {

// The measuring canvas's resolution over the screen's: 600 / 96.
inline constexpr double kMeasureFactor = 6.25;

// The widths of the characters of `text` drawn one after another in `font`, into
// widths[0 .. text.size()): the advances are summed and the sum rounded at every character,
// so the widths add up to the rounded width of the whole run. The second half of a surrogate
// pair gets width 0.
void RunCharWidths(const QRawFont& font, QStringView text, int32_t* widths);

// A distance from report data, bounded to +-kMaxTextDistance (NaN counts as 0).
double Bounded(double value);

// RoundHalfEven as an integer, bounded to +-2^50 (NaN counts as 0).
int64_t Nearest(double value);

// An integer bounded to +-2^30, for values that go on as int.
int ClampToInt(int64_t value);

// A font's pixel size for a size in points at `pixelsPerInch`, clamped to 1..kMaxFontPixelSize.
int FontPixelSize(double points, double pixelsPerInch);

// The rotation as 0..359 degrees.
int NormalizedRotation(int rotation);

} // namespace drawtext
