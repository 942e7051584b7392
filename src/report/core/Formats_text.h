#pragma once

// Number texts the formatting routines share (internal to report/core).

#include "FormatSettings.h"

#include <QString>

namespace formats {

// The digits with a thousand separator before every group of three from the right.
QString GroupDigits(const QString& digits, const FormatSettings& settings);

// A finite value with exactly `decimals` decimals (0..kMaxFormatDecimals), rounded half away
// from zero on its 15 significant digits; "-" only when the rounded value is not zero.
QString FixedText(double value, int decimals, bool grouped, const FormatSettings& settings);

// "-d.ddddE+ddd": `significant` digits, the exponent with its sign and at least
// `exponentDigits` digits.
QString ScientificText(double value, int significant, int exponentDigits, const FormatSettings& settings);

// The amount with the settings' currency decimals, grouping and one of their currency forms.
QString CurrencyText(double value, int decimals, const FormatSettings& settings);

} // namespace formats
