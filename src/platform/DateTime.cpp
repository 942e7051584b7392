#include "DateTime.h"

#include "Format.h"
#include "Texts.h"

#include <algorithm>
#include <cmath>

namespace {

// Days between 30 December 1899 and 1 January 1970.
constexpr int64_t kUnixEpochDays = 25569;
constexpr int64_t kMillisecondsPerDay = 86'400'000;

// Days since 1 January 1970 of a proleptic Gregorian date (negative before it).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2));
}

std::string TwoDigits(int value)
{
    return platform::Format("%02d", value % 100);
}

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, DateTimeValue& value)
{
    if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month))
        return false;
    value = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                                kUnixEpochDays);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, DateTimeValue& value)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return false;
    const int64_t ms = ((static_cast<int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    value = static_cast<double>(ms) / static_cast<double>(kMillisecondsPerDay);
    return true;
}

DateTimeValue EncodeDate(int year, int month, int day)
{
    DateTimeValue value = 0;
    if (!TryEncodeDate(year, month, day, value))
        throw EConvertError(platform::Format(platform::kInvalidDateFormat, day, month, year));
    return value;
}

DateTimeValue EncodeTime(int hour, int minute, int second, int millisecond)
{
    DateTimeValue value = 0;
    if (!TryEncodeTime(hour, minute, second, millisecond, value))
        throw EConvertError(platform::Format(platform::kInvalidTimeFormat, hour, minute, second));
    return value;
}

DateTimeParts DecodeDateTime(DateTimeValue value)
{
    DateTimeValue first = 0;
    DateTimeValue last = 0;
    TryEncodeDate(1, 1, 1, first);
    TryEncodeDate(9999, 12, 31, last);
    DateTimeParts parts;
    if (std::isnan(value))
        return parts;
    if (value < first)
        value = first;
    // The last representable moment: the final millisecond of 31 December 9999.
    const double end = last + static_cast<double>(kMillisecondsPerDay - 1) / kMillisecondsPerDay;
    if (value > end)
        value = end;
    int64_t totalMs = std::llround(value * static_cast<double>(kMillisecondsPerDay));
    int64_t days = totalMs / kMillisecondsPerDay;
    int64_t ms = totalMs % kMillisecondsPerDay;
    if (ms < 0) {
        ms += kMillisecondsPerDay;
        --days;
    }
    CivilFromDays(days - kUnixEpochDays, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(ms / 3'600'000);
    parts.minute = static_cast<int>(ms / 60'000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return parts;
}

std::string FormatDateTime(std::string_view pattern, DateTimeValue value)
{
    const DateTimeParts parts = DecodeDateTime(value);
    std::string out;
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const size_t close = pattern.find(c, i + 1);
            const size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        switch (lower) {
        case 'd':
        case 'm':
        case 'h':
        case 'n':
        case 's': {
            const int field = lower == 'd'   ? parts.day
                              : lower == 'm' ? parts.month
                              : lower == 'h' ? parts.hour
                              : lower == 'n' ? parts.minute
                                             : parts.second;
            run = std::min<size_t>(run, 2);
            out += run == 2 ? platform::Format("%02d", field) : platform::Format("%d", field);
            break;
        }
        case 'y':
            if (run >= 4) {
                run = 4;
                out += platform::Format("%04d", parts.year);
            } else {
                run = std::min<size_t>(run, 2);
                out += TwoDigits(parts.year);
            }
            break;
        case 'z':
            if (run >= 3) {
                run = 3;
                out += platform::Format("%03d", parts.millisecond);
            } else {
                run = 1;
                out += platform::Format("%d", parts.millisecond);
            }
            break;
        default:
            out.append(pattern.substr(i, run));
            break;
        }
        i += run;
    }
    return out;
}
