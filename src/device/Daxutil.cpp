#include "Daxutil.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rounds half away from zero and narrows to 32 bits without leaving the type's range.
int32_t RoundToInt32(double product)
{
    if (std::isnan(product))
        return 0;
    const double rounded = product > 0 ? std::trunc(product + 0.5) : std::trunc(product - 0.5);
    if (rounded >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (rounded <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(rounded);
}

int32_t Scale(double value, double factor)
{
    return RoundToInt32(value * factor);
}

} // namespace

int32_t ScaleBy100(double value)
{
    return Scale(value, 100.0);
}

int32_t ScaleBy1000(double value)
{
    return Scale(value, 1000.0);
}

int32_t ScaleBy10000(double value)
{
    return Scale(value, 10000.0);
}

std::string JoinStringTable(std::span<const char* const> table, int32_t count)
{
    std::string out;
    const size_t n = count <= 0 ? 0 : std::min(table.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i) {
        if (i > 0)
            out += '\n';
        if (table[i])
            out += table[i];
    }
    return out;
}

DateTimeValue DeviceDateToDateTime(std::span<const uint8_t, 3> date)
{
    return EncodeDate(2000 + date[0], date[1], date[2]);
}

bool DeviceDateTimeToDateTime(std::span<const uint8_t, 6> bytes, DateTimeValue& value, DateTimeValue* dateOnly)
{
    DateTimeValue date = 0;
    if (!TryEncodeDate(2000 + bytes[0], bytes[1], bytes[2], date))
        return false;
    if (dateOnly)
        *dateOnly = date;
    DateTimeValue time = 0;
    if (!TryEncodeTime(bytes[3], bytes[4], bytes[5], 0, time))
        return false;
    value = date + time;
    return true;
}
