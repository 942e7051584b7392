#pragma once

#include "FormatSettings.h"
#include "Variant.h"

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <span>

// The formatting routines of scripts and of the report's display formats. Every one takes its
// separators and names from an explicit FormatSettings, so no result depends on the machine.
// Failures raise EConvertError (platform/DateTime.h) with the run-time library's texts.

// Width and precision a format may ask for. Past it the format is refused (EConvertError),
// so a script cannot make one directive allocate without bound.
inline constexpr int kMaxFormatWidth = 4096;
// Decimals of %f, %n, %m and FormatFloat beyond which a double has nothing more to show.
inline constexpr int kMaxFormatDecimals = 18;
// Significant digits of a double.
inline constexpr int kMaxFormatSignificant = 15;

// printf-style formatting over a list of values:
//   %[index:][-][width][.precision]type, index, width and precision also "*" (the next
//   argument); types d (integer; precision = least digits), u (unsigned), x (hexadecimal,
//   upper case), e (scientific, precision = significant digits, default 15), f (fixed,
//   precision = decimals, default 2), g (general, default 15 digits), n (fixed with thousand
//   separators), m (currency by the settings), s (text; precision = most characters),
//   p (an integer as 8 hexadecimal digits); "%%" is a percent sign.
// Integers go to d u x p, reals to e f g n m, texts to s; Booleans, Null and Unassigned to
// none. A mismatch, a missing argument, an unknown type or a width past kMaxFormatWidth raise
// EConvertError "Format '<fmt>' invalid or incompatible with argument". Texts are not cut.
QString Format(QStringView format, std::span<const Variant> arguments, const FormatSettings& settings);

// A message text of the report libraries with its placeholders (%s, %d, ...) filled from the
// values with the C settings. A message never fails: a text whose placeholders do not fit the
// values comes back with the values appended, each after a blank.
QString FormatText(QStringView format, std::initializer_list<Variant> values);
QString FormatText(const char* format, std::initializer_list<Variant> values); // UTF-8 text

// Picture formatting of a number. Up to three sections separated by ";": positive, negative
// (written without its sign), zero; an empty or missing section uses the first. In a section:
// "0" a digit always shown, "#" a digit shown when significant, "." the decimal separator,
// "," anywhere makes the integer part grouped by thousands, "E+" "E-" "e+" "e-" followed by
// zeros an exponent, text in quotes copied, every other character copied. A value of more
// than 18 integer digits, and an empty format, give the general form with 15 digits.
QString FormatFloat(QStringView format, double value, const FormatSettings& settings);

// Picture formatting of a date-time (days since 30 December 1899):
//   d dd (day), ddd dddd (short, long day name), ddddd dddddd (short, long date format),
//   m mm (month, or minutes right after an hour), mmm mmmm (short, long month name),
//   yy yyyy (year), h hh, n nn, s ss, z zzz (hour, minute, second, millisecond), t tt
//   (short, long time format), c (short date and long time; no time at midnight), am/pm,
//   a/p, ampm (the hour then counts 1..12), "/" and ":" the settings' separators, quoted
//   text copied. An empty format is "c".
QString FormatDateTime(QStringView format, double value, const FormatSettings& settings);

// Applies an edit mask ("mask;save-literals;blank") to a text. Mask characters L l A a C c
// 0 9 # take the next character of the text (a space when it has none left), "\\" makes the
// next character a literal, ">" "<" "<>" switch upper case, lower case, no change, "!" puts
// missing characters first, "_" is a space, ":" and "/" the settings' separators, every
// other character is copied. With save-literals (the default, "0" turns it off) the text
// holds the literals too: where it has a literal's character it is passed over.
QString FormatMaskText(QStringView mask, QStringView value, const FormatSettings& settings);
