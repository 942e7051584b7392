#include "Conversions.h"
#include "QuotedText.h"

#include "Formats.h"
#include "NumberText.h"
#include "Texts.h"

#include "platform/DateTime.h"

#include <cmath>
#include <vector>

namespace {

[[noreturn]] void Throw(const QString& message)
{
    throw EConvertError(message.toStdString());
}

// A conversion error naming the text (its format quotes it).
[[noreturn]] void ThrowFor(const char* format, QStringView text)
{
    Throw(FormatText(format, {Variant(text.toString())}));
}

QStringView Trimmed(QStringView text)
{
    return text.trimmed();
}

// Reads one unsigned decimal number of up to `maxDigits` digits at `at`; false when none.
bool ReadNumber(QStringView text, qsizetype& at, int maxDigits, int& value, int& digits)
{
    value = 0;
    digits = 0;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9' && digits < maxDigits) {
        value = value * 10 + (text[at].unicode() - u'0');
        ++digits;
        ++at;
    }
    return digits > 0 && (at >= text.size() || !(text[at] >= u'0' && text[at] <= u'9'));
}

// The order of day, month and year in a date format: the letters in order of first use.
std::vector<char16_t> DateOrder(const QString& format)
{
    std::vector<char16_t> order;
    ScanOutsideQuotes(format, [&](qsizetype i) {
        const char16_t l = format[i].toLower().unicode();
        if ((l == u'd' || l == u'm' || l == u'y') && std::find(order.begin(), order.end(), l) == order.end())
            order.push_back(l);
        return true;
    });
    if (order.size() != 3)
        order = {u'y', u'm', u'd'};
    return order;
}

// Parses a date at the start of `text`; `end` is where it stopped. 0: fine, 1: malformed,
// 2: no such day.
int ParseDate(QStringView text, const FormatSettings& settings, qsizetype& end, double& value)
{
    const std::vector<char16_t> order = DateOrder(settings.ShortDateFormat);
    int year = 0;
    int month = 0;
    int day = 0;
    int yearDigits = 0;
    qsizetype at = 0;
    for (size_t part = 0; part < order.size(); ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != settings.DateSeparator)
                return 1;
            ++at;
        }
        int number = 0;
        int digits = 0;
        if (!ReadNumber(text, at, order[part] == u'y' ? 4 : 2, number, digits))
            return 1;
        if (order[part] == u'y') {
            year = number;
            yearDigits = digits;
        } else if (order[part] == u'm') {
            month = number;
        } else {
            day = number;
        }
    }
    if (yearDigits <= 2)
        year += year < 50 ? 2000 : 1900;
    end = at;
    return TryEncodeDate(year, month, day, value) ? 0 : 2;
}

bool ParseTime(QStringView text, const FormatSettings& settings, double& value)
{
    int parts[4] = {0, 0, 0, 0};
    qsizetype at = 0;
    int count = 0;
    while (count < 3) {
        int digits = 0;
        if (!ReadNumber(text, at, 2, parts[count], digits))
            return false;
        ++count;
        if (at < text.size() && text[at] == settings.TimeSeparator && count < 3) {
            ++at;
            continue;
        }
        break;
    }
    if (count == 3 && at < text.size() && (text[at] == u'.' || text[at] == settings.DecimalSeparator)) {
        ++at;
        int digits = 0;
        if (!ReadNumber(text, at, 3, parts[3], digits))
            return false;
    }
    QStringView rest = text.mid(at).trimmed();
    if (!rest.isEmpty()) {
        const bool am = rest.compare(settings.TimeAMString, Qt::CaseInsensitive) == 0 ||
                        rest.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0;
        const bool pm = rest.compare(settings.TimePMString, Qt::CaseInsensitive) == 0 ||
                        rest.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
        if ((!am && !pm) || rest.isEmpty() || parts[0] < 1 || parts[0] > 12)
            return false;
        parts[0] = parts[0] % 12 + (pm ? 12 : 0);
    }
    return TryEncodeTime(parts[0], parts[1], parts[2], parts[3], value);
}

} // namespace

QString FloatToStr(double value, const FormatSettings& settings)
{
    return FloatToGeneralText(value, 15, settings);
}

void RaiseInvalidInteger(QStringView text)
{
    ThrowFor(coretexts::kInvalidIntegerFormat, text);
}

void RaiseInvalidFloat(QStringView text)
{
    ThrowFor(coretexts::kInvalidFloatFormat, text);
}

int64_t StrToInt64(QStringView text)
{
    int64_t value = 0;
    if (!TextToInt64(Trimmed(text), value))
        RaiseInvalidInteger(text);
    return value;
}

int32_t StrToInt(QStringView text)
{
    int64_t value = 0;
    if (!TextToInt64(Trimmed(text), value) || value < INT32_MIN || value > INT32_MAX)
        RaiseInvalidInteger(text);
    return static_cast<int32_t>(value);
}

double StrToFloat(QStringView text, const FormatSettings& settings)
{
    double value = 0;
    if (TextToFloat(Trimmed(text), settings, value) != TextToFloatResult::Ok)
        RaiseInvalidFloat(text);
    return value;
}

bool StrToBool(QStringView text, const FormatSettings& settings)
{
    const QStringView t = Trimmed(text);
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    double value = 0;
    if (TextToFloat(t, settings, value) == TextToFloatResult::Ok)
        return value != 0;
    ThrowFor(coretexts::kInvalidBooleanFormat, text);
}

QString DateToStr(double value, const FormatSettings& settings)
{
    return FormatDateTime(settings.ShortDateFormat, value, settings);
}

QString TimeToStr(double value, const FormatSettings& settings)
{
    return FormatDateTime(settings.LongTimeFormat, value, settings);
}

QString DateTimeToStr(double value, const FormatSettings& settings)
{
    return FormatDateTime(u"c", value, settings);
}

double StrToDate(QStringView text, const FormatSettings& settings)
{
    const QStringView t = Trimmed(text);
    qsizetype end = 0;
    double value = 0;
    const int result = ParseDate(t, settings, end, value);
    if (result == 1 || (result == 0 && end != t.size()))
        ThrowFor(coretexts::kInvalidDateFormatFormat, text);
    if (result == 2)
        ThrowFor(coretexts::kInvalidDateFormat, text);
    return value;
}

double StrToTime(QStringView text, const FormatSettings& settings)
{
    double value = 0;
    if (!ParseTime(Trimmed(text), settings, value))
        ThrowFor(coretexts::kInvalidTimeFormat, text);
    return value;
}

double StrToDateTime(QStringView text, const FormatSettings& settings)
{
    const QStringView t = Trimmed(text);
    qsizetype end = 0;
    double date = 0;
    const int result = ParseDate(t, settings, end, date);
    if (result == 1)
        ThrowFor(coretexts::kInvalidDateFormatFormat, text);
    if (result == 2)
        ThrowFor(coretexts::kInvalidDateFormat, text);
    const QStringView rest = t.mid(end);
    if (rest.isEmpty())
        return date;
    if (!rest[0].isSpace())
        ThrowFor(coretexts::kInvalidDateFormatFormat, text);
    const QStringView timeText = rest.trimmed();
    double time = 0;
    if (!ParseTime(timeText, settings, time))
        ThrowFor(coretexts::kInvalidTimeFormat, timeText);
    return date + time;
}

double ParseLocaleFloat(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text) {
        if (c == u' ')
            continue;
        plain += c == u',' ? QChar(u'.') : c;
    }
    double value = 0;
    if (plain.isEmpty() || TextToFloat(plain, FormatSettings::C(), value) != TextToFloatResult::Ok || !std::isfinite(value))
        RaiseInvalidFloat(text);
    return value;
}
