#pragma once

// Conversions between numbers, dates and texts as people read and write them, with the
// separators and formats of an explicit FormatSettings. Invalid texts raise EConvertError
// (platform/DateTime.h) with the run-time library's messages.

#include "FormatSettings.h"

#include <QString>
#include <QStringView>

#include <cstdint>

// General format with 15 significant digits ("0.333333333333333", "1E15").
QString FloatToStr(double value, const FormatSettings& settings);

// Decimal integers (leading and trailing blanks allowed, "$" or "0x" for hexadecimal);
// anything else, and values outside the type, raise "\"<text>\" is an invalid integer".
int32_t StrToInt(QStringView text);
int64_t StrToInt64(QStringView text);

// The errors of StrToInt and StrToFloat, for readers of numbers of their own (numeric
// references, page ranges, float texts of files): "\"<text>\" is an invalid integer" and
// "\"<text>\" is an invalid float".
[[noreturn]] void RaiseInvalidInteger(QStringView text);
[[noreturn]] void RaiseInvalidFloat(QStringView text);

// A float typed by a user or stored in a file: blanks are removed, '.' and ',' both taken as
// the decimal separator. Empty text, anything after the number and values beyond the double
// range raise "\"<text>\" is an invalid float".
double ParseLocaleFloat(QStringView text);

// A number written with the settings' decimal separator and an optional exponent; blanks
// around it allowed. Otherwise "\"<text>\" is an invalid float".
double StrToFloat(QStringView text, const FormatSettings& settings);

// "True" and "False" in any letter case, or a number (not 0 is true). Otherwise
// "\"<text>\" is not a valid boolean.".
bool StrToBool(QStringView text, const FormatSettings& settings);

// Date texts: the short date format; time texts: the long time format; together: the date,
// a blank and the time unless it is midnight.
QString DateToStr(double value, const FormatSettings& settings);
QString TimeToStr(double value, const FormatSettings& settings);
QString DateTimeToStr(double value, const FormatSettings& settings);

// A date written as three numbers separated by the settings' date separator, in the order of
// day, month and year in the short date format. A year of one or two digits is 2000 + year
// below 50 and 1900 + year from 50 on. Malformed text raises "\"<text>\" is not a valid date
// format", a day that does not exist "\"<text>\" is not a valid date".
double StrToDate(QStringView text, const FormatSettings& settings);
// Hours, minutes, seconds and milliseconds ("h", "h:n", "h:n:s", "h:n:s.z") separated by the
// time separator, optionally followed by the settings' AM or PM text (or "AM"/"PM"). Otherwise
// "\"<text>\" is not a valid time".
double StrToTime(QStringView text, const FormatSettings& settings);
// A date, optionally followed by a blank and a time.
double StrToDateTime(QStringView text, const FormatSettings& settings);
