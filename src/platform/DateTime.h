#pragma once

#include "platform/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>

// The date-time value shared by records, tables and reports: whole days since 30 December
// 1899 with the time of day as the fraction (0.5 is noon). Dates of the instrument lie far
// after the epoch, so every value handled here is non-negative.
using DateTimeValue = double;

// A date or time that is no valid calendar value.
class EConvertError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

bool IsLeapYear(int year);
// 28..31 for months 1..12; 0 for any other month.
int DaysInMonth(int year, int month);

// Year 1..9999, month 1..12, day within the month; false (value untouched) otherwise.
bool TryEncodeDate(int year, int month, int day, DateTimeValue& value);
// Hour 0..23, minute and second 0..59, millisecond 0..999; the fraction of a day.
bool TryEncodeTime(int hour, int minute, int second, int millisecond, DateTimeValue& value);
// As the Try forms, but an invalid value throws EConvertError.
DateTimeValue EncodeDate(int year, int month, int day);
DateTimeValue EncodeTime(int hour, int minute, int second, int millisecond);

// The calendar parts of a value (milliseconds rounded); values outside years 1..9999 give
// the parts of the nearest end of that range.
DateTimeParts DecodeDateTime(DateTimeValue value);

// Formats a value with a pattern, independently of the locale:
//   d dd  day         m mm  month      yy yyyy  year
//   h hh  hour        n nn  minute     s ss     second     z zzz  millisecond
// Text in single or double quotes is copied as it stands, and so is every other character
// ('/' and ':' included: no locale separators are substituted).
// Example: "dd'/'mm'/'yy hh:nn:ss" gives 05/03/24 14:07:09.
std::string FormatDateTime(std::string_view pattern, DateTimeValue value);
