#include "NumberText.h"

#include "Formats_text.h"
#include "TextCodes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

QString FloatToGeneralText(double value, int precision, const FormatSettings& settings)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    if (precision < 1)
        precision = 1;
    if (precision > 17)
        precision = 17;

    // Correctly rounded to `precision` significant digits: "-d.ddde+XX".
    char buffer[64];
    const auto converted =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision - 1);
    const std::string_view text(buffer, static_cast<size_t>(converted.ptr - buffer));
    const size_t ePos = text.find('e');
    bool negative = false;
    std::string digits;
    for (size_t i = 0; i < ePos; ++i) {
        if (text[i] == '-')
            negative = true;
        else if (text[i] >= '0' && text[i] <= '9')
            digits += text[i];
    }
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString out;
    if (negative)
        out += u'-';
    const int count = static_cast<int>(digits.size());
    if (exponent >= -5 && exponent < precision) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i)
                out += QChar(i < count ? digits[static_cast<size_t>(i)] : '0');
            if (count > exponent + 1) {
                out += settings.DecimalSeparator;
                for (int i = exponent + 1; i < count; ++i)
                    out += QChar(digits[static_cast<size_t>(i)]);
            }
        } else {
            out += u'0';
            out += settings.DecimalSeparator;
            for (int i = 0; i < -exponent - 1; ++i)
                out += u'0';
            out += QString::fromLatin1(digits.data(), count);
        }
        return out;
    }
    out += QChar(digits[0]);
    if (count > 1) {
        out += settings.DecimalSeparator;
        out += QString::fromLatin1(digits.data() + 1, count - 1);
    }
    out += u'E';
    out += QString::number(exponent);
    return out;
}

TextToFloatResult TextToFloat(QStringView text, const FormatSettings& settings, double& value)
{
    // Rewrite into the C form that std::from_chars reads, checking the shape on the way.
    std::string plain;
    plain.reserve(static_cast<size_t>(text.size()));
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            plain += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        plain += static_cast<char>(text[i].unicode());
        ++mantissaDigits;
        ++i;
    }
    if (i < n && text[i] == settings.DecimalSeparator) {
        plain += '.';
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            plain += static_cast<char>(text[i].unicode());
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0)
        return TextToFloatResult::Invalid;
    bool negativeExponent = false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            plain += static_cast<char>(text[i].unicode());
            ++i;
        }
        int exponentDigits = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            plain += static_cast<char>(text[i].unicode());
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0)
            return TextToFloatResult::Invalid;
    }
    if (i != n)
        return TextToFloatResult::Invalid;

    double result = 0;
    const auto parsed = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (parsed.ec == std::errc::result_out_of_range) {
        if (negativeExponent) {
            value = 0;
            return TextToFloatResult::Ok;
        }
        return TextToFloatResult::Overflow;
    }
    if (parsed.ec != std::errc() || parsed.ptr != plain.data() + plain.size())
        return TextToFloatResult::Invalid;
    value = result;
    return TextToFloatResult::Ok;
}

bool TextToInt64(QStringView text, int64_t& value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return false;
    // Accumulate the magnitude as unsigned so that the most negative value fits.
    uint64_t magnitude = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    for (; i < n; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0 || digit >= base)
            return false;
        if (magnitude > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base))
            return false;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

DecimalDigits ToDecimalDigits(double value, int significant)
{
    DecimalDigits number;
    if (value == 0 || !std::isfinite(value))
        return number;
    significant = std::clamp(significant, 1, 17);
    char buffer[64];
    const auto converted =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1);
    const std::string_view text(buffer, static_cast<size_t>(converted.ptr - buffer));
    const size_t ePos = text.find('e');
    for (size_t i = 0; i < ePos; ++i) {
        if (text[i] == '-')
            number.Negative = true;
        else if (text[i] >= '0' && text[i] <= '9')
            number.Digits += text[i];
    }
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    number.Exponent = exponent + 1;
    while (!number.Digits.empty() && number.Digits.back() == '0')
        number.Digits.pop_back();
    return number;
}

namespace {

// Keeps the first `keep` digits, rounding half away from zero on the first dropped one.
void KeepDigits(DecimalDigits& number, int64_t keep)
{
    if (keep >= static_cast<int64_t>(number.Digits.size()))
        return;
    if (keep < 0) {
        number.Digits.clear();
        return;
    }
    const bool up = number.Digits[static_cast<size_t>(keep)] >= '5';
    number.Digits.resize(static_cast<size_t>(keep));
    if (up) {
        int64_t i = keep - 1;
        while (i >= 0 && number.Digits[static_cast<size_t>(i)] == '9') {
            number.Digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++number.Digits[static_cast<size_t>(i)];
        } else {
            number.Digits.insert(number.Digits.begin(), '1');
            ++number.Exponent;
        }
    }
    while (!number.Digits.empty() && number.Digits.back() == '0')
        number.Digits.pop_back();
}

} // namespace

void RoundDecimalDigits(DecimalDigits& number, int decimals)
{
    if (number.IsZero())
        return;
    KeepDigits(number, int64_t{number.Exponent} + decimals);
}

void RoundSignificantDigits(DecimalDigits& number, int significant)
{
    KeepDigits(number, significant);
}

QString FloatToFixedText(double value, int decimals, QChar decimalSeparator)
{
    FormatSettings settings = FormatSettings::C();
    settings.DecimalSeparator = decimalSeparator;
    if (!std::isfinite(value) || std::fabs(value) >= 1e18)
        return FloatToGeneralText(value, 15, settings);
    return formats::FixedText(value, decimals, false, settings);
}
