// FormatDateTime: picture formatting of date-time values on the shared calendar.

#include "Formats.h"
#include "QuotedText.h"

#include "platform/DateTime.h"

#include <cmath>

namespace {

// "c", "ddddd", "t" ... expand into the settings' own formats, which may name those again;
// past this depth an expansion writes nothing.
constexpr int kMaxFormatNesting = 3;

bool StartsWithNoCase(QStringView text, qsizetype at, QStringView word)
{
    return text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

class DateWriter {
public:
    DateWriter(double value, const FormatSettings& settings) : settings_(settings)
    {
        // Before the epoch the date counts back while the time of day still counts forward:
        // -1.25 is 29 December 1899, 06:00.
        if (!std::isfinite(value))
            value = 0;
        const double day = std::trunc(value);
        parts_ = DecodeDateTime(value < 0 ? day + std::fabs(value - day) : value);
        DateTimeValue date = 0;
        TryEncodeDate(parts_.year, parts_.month, parts_.day, date);
        dayOfWeek_ = static_cast<int>(std::fmod(std::fmod(date - 1, 7) + 7, 7));
        midnight_ = parts_.hour == 0 && parts_.minute == 0 && parts_.second == 0 && parts_.millisecond == 0;
    }

    QString Write(QStringView format)
    {
        if (format.isEmpty())
            format = u"c";
        Append(format, 0);
        return out_;
    }

private:
    void Number(int value, int digits)
    {
        QString text = QString::number(value);
        if (text.size() < digits)
            text.prepend(QString(digits - text.size(), u'0'));
        out_ += text;
    }

    // Whether the format shows the half of the day, so that hours count 1..12.
    static bool HasHalfDay(QStringView format)
    {
        return ScanOutsideQuotes(format, [&](qsizetype i) {
                   return !(StartsWithNoCase(format, i, u"am/pm") || StartsWithNoCase(format, i, u"a/p") ||
                            StartsWithNoCase(format, i, u"ampm"));
               }) < format.size();
    }

    void Append(QStringView format, int depth)
    {
        if (depth > kMaxFormatNesting)
            return;
        const bool twelve = HasHalfDay(format);
        char16_t last = 0; // the letter of the previous specifier
        qsizetype i = 0;
        const qsizetype n = format.size();
        while (i < n) {
            CheckStringLength(out_.size());
            const QChar c = format[i];
            if (IsQuoteCharacter(c)) {
                out_ += QuotedPartText(format, i);
                i = QuotedPartEnd(format, i);
                continue;
            }
            if (c == u'/') {
                out_ += settings_.DateSeparator;
                ++i;
                continue;
            }
            if (c == u':') {
                out_ += settings_.TimeSeparator;
                ++i;
                continue;
            }
            const char16_t letter = c.toLower().unicode();
            if (letter == u'a') {
                const bool pm = parts_.hour >= 12;
                if (StartsWithNoCase(format, i, u"am/pm")) {
                    out_ += format.mid(pm ? i + 3 : i, 2);
                    i += 5;
                } else if (StartsWithNoCase(format, i, u"a/p")) {
                    out_ += format[pm ? i + 2 : i];
                    i += 3;
                } else if (StartsWithNoCase(format, i, u"ampm")) {
                    out_ += pm ? settings_.TimePMString : settings_.TimeAMString;
                    i += 4;
                } else {
                    out_ += c;
                    ++i;
                }
                last = letter;
                continue;
            }
            qsizetype count = 1;
            while (i + count < n && format[i + count].toLower() == c.toLower())
                ++count;
            i += count;
            switch (letter) {
            case u'c':
                Append(settings_.ShortDateFormat, depth + 1);
                if (!midnight_) {
                    out_ += u' ';
                    Append(settings_.LongTimeFormat, depth + 1);
                }
                break;
            case u'd':
                if (count <= 2)
                    Number(parts_.day, static_cast<int>(count));
                else if (count == 3)
                    out_ += settings_.ShortDayNames[static_cast<size_t>(dayOfWeek_)];
                else if (count == 4)
                    out_ += settings_.LongDayNames[static_cast<size_t>(dayOfWeek_)];
                else if (count == 5)
                    Append(settings_.ShortDateFormat, depth + 1);
                else
                    Append(settings_.LongDateFormat, depth + 1);
                break;
            case u'm':
                if (count <= 2 && last == u'h')
                    Number(parts_.minute, static_cast<int>(count));
                else if (count <= 2)
                    Number(parts_.month, static_cast<int>(count));
                else if (count == 3)
                    out_ += settings_.ShortMonthNames[static_cast<size_t>(parts_.month - 1)];
                else
                    out_ += settings_.LongMonthNames[static_cast<size_t>(parts_.month - 1)];
                break;
            case u'y':
                if (count <= 2)
                    Number(parts_.year % 100, 2);
                else
                    Number(parts_.year, 4);
                break;
            case u'h': {
                int hour = parts_.hour;
                if (twelve) {
                    hour %= 12;
                    if (hour == 0)
                        hour = 12;
                }
                Number(hour, count >= 2 ? 2 : 1);
                break;
            }
            case u'n':
                Number(parts_.minute, count >= 2 ? 2 : 1);
                break;
            case u's':
                Number(parts_.second, count >= 2 ? 2 : 1);
                break;
            case u'z':
                Number(parts_.millisecond, count >= 2 ? 3 : 1);
                break;
            case u't':
                Append(count >= 2 ? settings_.LongTimeFormat : settings_.ShortTimeFormat, depth + 1);
                break;
            default:
                out_ += format.mid(i - count, count);
                break;
            }
            if (c.isLetter())
                last = letter;
        }
    }

    const FormatSettings& settings_;
    DateTimeParts parts_;
    int dayOfWeek_ = 0; // 0 Sunday .. 6 Saturday
    bool midnight_ = false;
    QString out_;
};

} // namespace

QString FormatDateTime(QStringView format, double value, const FormatSettings& settings)
{
    return DateWriter(value, settings).Write(format);
}
