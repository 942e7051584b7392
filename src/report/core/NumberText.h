#pragma once

#include "FormatSettings.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>

// A float in the general format with `precision` significant digits (15 for script values):
// fixed notation while the decimal exponent lies in -5..precision-1, otherwise a mantissa
// and "E" with the exponent ("1E15", "1.5E-7"); trailing zeros dropped; the decimal
// separator from the settings. NaN and infinities give "NAN", "INF" and "-INF".
QString FloatToGeneralText(double value, int precision, const FormatSettings& settings);

enum class TextToFloatResult { Ok, Invalid, Overflow };

// Reads a decimal number written as the settings write it: leading blanks, an optional sign,
// digits with an optional decimal separator and fraction, an optional exponent. Nothing
// else, trailing blanks included, is accepted. A value beyond the double range is Overflow; one too small becomes 0.
TextToFloatResult TextToFloat(QStringView text, const FormatSettings& settings, double& value);

// Fixed notation with `decimals` digits after the separator (0..18): the one fixed-digit float
// formatter of report files, dialogs and exports, rounding as the scripts' %f does: on the
// value's 15 significant digits, halves away from zero (2.5 -> "3" with no decimals, 2.675 ->
// "2.68" with two); a value that rounds to zero shows no sign. Magnitudes of 1E18 and more,
// NaN and infinities get the general text of 15 digits instead.
QString FloatToFixedText(double value, int decimals, QChar decimalSeparator);

// Reads an integer: leading blanks, an optional sign, decimal digits or hexadecimal digits
// after "$" or "0x". False for anything else and for values outside 64 bits.
bool TextToInt64(QStringView text, int64_t& value);

// A finite number as decimal digits: value = 0.D1 D2 ... Dn x 10^Exponent, without trailing
// zeros (no digits for zero). The number formatters round on these digits, so that a value
// written with a few decimals rounds as its decimal text reads (2.675 -> 2.68), whatever the
// binary value below it.
struct DecimalDigits {
    bool Negative = false;
    std::string Digits; // '0'..'9', the first one not '0'
    int Exponent = 0;   // digits before the decimal point when positive

    bool IsZero() const noexcept { return Digits.empty(); }
};

// The value with at most `significant` (1..17) significant digits, correctly rounded.
// NaN and infinities are not accepted: the caller writes them as words.
DecimalDigits ToDecimalDigits(double value, int significant = 15);

// Keeps `decimals` digits after the decimal point (negative: rounds to tens, hundreds ...),
// the dropped part rounding half away from zero.
void RoundDecimalDigits(DecimalDigits& number, int decimals);

// Keeps at most `significant` digits in all, rounding half away from zero.
void RoundSignificantDigits(DecimalDigits& number, int significant);
