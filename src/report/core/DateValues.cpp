#include "DateValues.h"

#include <cmath>
#include <limits>

namespace {

QDate DayZero() { return QDate(1899, 12, 30); }

} // namespace

QDate DateValueToQDate(double value)
{
    if (!std::isfinite(value))
        return {};
    const double days = std::floor(value);
    // Beyond the year 9999 either way there is no calendar day to show (QDate reaches further,
    // but nothing in the reports does).
    constexpr double kLimit = 3'000'000;
    if (days > kLimit || days < -kLimit)
        return {};
    return DayZero().addDays(static_cast<qint64>(days));
}

double QDateToDateValue(const QDate& date)
{
    if (!date.isValid())
        return 0;
    return static_cast<double>(DayZero().daysTo(date));
}
