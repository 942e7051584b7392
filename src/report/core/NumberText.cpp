#include "NumberText.h"

#include "platform/DateTime.h"

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
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        if (magnitude > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base))
            return false;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

QString FloatToFixedText(double value, int decimals, QChar decimalSeparator)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e18) {
        FormatSettings settings;
        settings.DecimalSeparator = decimalSeparator;
        return FloatToGeneralText(value, 15, settings);
    }
    decimals = std::clamp(decimals, 0, 18);

    // 18 significant digits, correctly rounded: "d.ddddddddddddddddde-XX". Digit i of
    // `significant` weighs 10^(exponent - i).
    char buffer[64];
    const auto converted =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 17);
    const std::string_view text(buffer, static_cast<size_t>(converted.ptr - buffer));
    const size_t ePos = text.find('e');
    std::string significant;
    for (size_t i = 0; i < ePos; ++i)
        if (text[i] >= '0' && text[i] <= '9')
            significant += text[i];
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    const auto digitAt = [&](int weight) {
        const int index = exponent - weight;
        return index >= 0 && index < static_cast<int>(significant.size()) ? significant[static_cast<size_t>(index)] : '0';
    };

    // Every digit shown, from the highest integer digit down to 10^-decimals, then rounded
    // by the next digit with halves away from zero.
    std::string digits;
    for (int weight = std::max(exponent, 0); weight >= -decimals; --weight)
        digits += digitAt(weight);
    if (digitAt(-decimals - 1) >= '5') {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
    }
    const bool negative = value < 0 && digits.find_first_not_of('0') != std::string::npos;

    const size_t integerDigits = digits.size() - static_cast<size_t>(decimals);
    QString out;
    out.reserve(static_cast<qsizetype>(digits.size()) + 2);
    if (negative)
        out += u'-';
    out += QString::fromLatin1(digits.data(), static_cast<qsizetype>(integerDigits));
    if (decimals > 0) {
        out += decimalSeparator;
        out += QString::fromLatin1(digits.data() + integerDigits, decimals);
    }
    return out;
}

void RaiseInvalidInteger(QStringView text)
{
    throw EConvertError("'" + text.toString().toStdString() + "' is not a valid integer value");
}

void RaiseInvalidFloat(QStringView text)
{
    throw EConvertError("'" + text.toString().toStdString() + "' is not a valid floating point value");
}
