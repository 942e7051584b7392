#pragma once

#include <cstdint>

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2): the one rounding of Round, of value conversions to integers and of report
// geometry. Relies on the default floating-point rounding mode, which nothing here changes.
double RoundHalfEven(double value) noexcept;

// RoundHalfEven as a 64-bit integer; false for NaN, infinities and values outside the range.
bool RoundHalfEvenToInt64(double value, int64_t& result) noexcept;

// RoundHalfEven as a 32-bit integer clamped to [low, high]; NaN gives 0 (clamped). For pixels
// of windows and stored positions, where a value from a file may be anything.
int32_t RoundHalfEvenClamped(double value, int32_t low, int32_t high) noexcept;
