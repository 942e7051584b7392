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
