#include "Rounding.h"

#include <cmath>

double RoundHalfEven(double value) noexcept
{
    return std::nearbyint(value);
}

bool RoundHalfEvenToInt64(double value, int64_t& result) noexcept
{
    const double rounded = std::nearbyint(value);
    // 2^63 is exact as a double; every double below it converts without overflow.
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        return false;
    result = static_cast<int64_t>(rounded);
    return true;
}

int32_t RoundHalfEvenClamped(double value, int32_t low, int32_t high) noexcept
{
    int64_t rounded = 0;
    if (!RoundHalfEvenToInt64(value, rounded)) {
        if (std::isnan(value))
            rounded = 0;
        else
            rounded = value < 0 ? low : high;
    }
    return static_cast<int32_t>(rounded < low ? low : rounded > high ? high : rounded);
}
