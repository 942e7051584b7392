#pragma once

#include "platform/DateTime.h"

#include <cstdint>
#include <span>
#include <string>

// Conversions between the instrument's forms of a value and the forms the pages use.

// A typed value in the unit of a register holding hundredths, thousandths or ten-thousandths:
// the product is rounded half away from zero (the same rule for both signs). A product
// beyond the signed 32-bit range gives the nearest end of the range; not-a-number gives 0.
// The caller keeps the low 16 bits when it stores the result into a register.
int32_t ScaleBy100(double value);
int32_t ScaleBy1000(double value);
int32_t ScaleBy10000(double value);

// The first count texts of the table joined with a single line feed between neighbours (no
// line feed at the end); a count of 0 or less gives an empty text, and a count beyond the
// table's size takes the whole table.
std::string JoinStringTable(std::span<const char* const> table, int32_t count);

// The date value, at midnight, of the instrument's three date bytes: years since 2000, month,
// day. A month or day out of range throws EConvertError.
DateTimeValue DeviceDateToDateTime(std::span<const uint8_t, 3> date);

// The date-time of six bytes (years since 2000, month, day, hour, minute, second); false when
// they form no valid date-time. dateOnly, when given, receives the date alone whenever the
// date is valid (also when the time of day is not).
bool DeviceDateTimeToDateTime(std::span<const uint8_t, 6> bytes, DateTimeValue& value,
                              DateTimeValue* dateOnly = nullptr);
