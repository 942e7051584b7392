// Format: printf-style directives over a list of values.

#include "Formats.h"
#include "Formats_text.h"

#include "NumberText.h"
#include "Texts.h"

#include "platform/DateTime.h"

#include <cmath>

namespace {

[[noreturn]] void ThrowFormatError(QStringView format)
{
    throw EConvertError(FormatText(coretexts::kFormatMismatchFormat, {Variant(format.toString())}).toStdString());
}

// What a directive may take an argument as.
enum class ArgumentClass { Integer, Int64, Real, Text, None };

ArgumentClass ClassOf(const Variant& value)
{
    switch (value.Kind()) {
    case VariantKind::Int32:
    case VariantKind::Object:
        return ArgumentClass::Integer;
    case VariantKind::Int64:
        return ArgumentClass::Int64;
    case VariantKind::Double:
    case VariantKind::DateTime:
        return ArgumentClass::Real;
    case VariantKind::String:
        return ArgumentClass::Text;
    default:
        return ArgumentClass::None;
    }
}

class Formatter {
public:
    Formatter(QStringView format, std::span<const Variant> arguments, const FormatSettings& settings)
        : format_(format), arguments_(arguments), settings_(settings)
    {
    }

    QString Run()
    {
        QString out;
        qsizetype i = 0;
        const qsizetype n = format_.size();
        while (i < n) {
            const qsizetype percent = format_.indexOf(u'%', i);
            if (percent < 0) {
                out += format_.mid(i);
                break;
            }
            out += format_.mid(i, percent - i);
            i = percent + 1;
            if (i < n && format_[i] == u'%') {
                out += u'%';
                ++i;
                continue;
            }
            out += Directive(i);
            CheckStringLength(out.size());
        }
        return out;
    }

private:
    [[noreturn]] void Fail() const { ThrowFormatError(format_); }

    const Variant& Next()
    {
        if (next_ >= arguments_.size())
            Fail();
        return arguments_[next_++];
    }

    // Digits or "*"; -1 when neither stands at i.
    int Number(qsizetype& i)
    {
        const qsizetype n = format_.size();
        if (i < n && format_[i] == u'*') {
            ++i;
            const Variant& value = Next();
            if (ClassOf(value) != ArgumentClass::Integer)
                Fail();
            const int32_t number = value.AsInt32();
            if (number < 0 || number > kMaxFormatWidth)
                Fail();
            return number;
        }
        if (i >= n || !format_[i].isDigit() || format_[i].unicode() > u'9')
            return -1;
        int number = 0;
        while (i < n && format_[i] >= u'0' && format_[i] <= u'9') {
            number = number * 10 + (format_[i].unicode() - u'0');
            if (number > kMaxFormatWidth)
                Fail();
            ++i;
        }
        return number;
    }

    QString Directive(qsizetype& i)
    {
        const qsizetype n = format_.size();
        int width = Number(i);
        if (i < n && format_[i] == u':') {
            if (width < 0)
                Fail();
            next_ = static_cast<size_t>(width);
            ++i;
            width = -1;
        }
        bool left = false;
        if (i < n && format_[i] == u'-') {
            left = true;
            ++i;
        }
        if (width < 0)
            width = Number(i);
        int precision = -1;
        if (i < n && format_[i] == u'.') {
            ++i;
            precision = Number(i);
            if (precision < 0)
                precision = 0;
        }
        if (i >= n)
            Fail();
        const char16_t type = format_[i].toLower().unicode();
        ++i;
        QString text = Convert(type, precision);
        if (width > text.size()) {
            const QString pad(width - text.size(), u' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    QString Convert(char16_t type, int precision)
    {
        switch (type) {
        case u'd':
        case u'u':
        case u'x':
        case u'p':
            return IntegerText(type, Next(), precision);
        case u'e':
        case u'f':
        case u'g':
        case u'n':
        case u'm': {
            const Variant& value = Next();
            if (ClassOf(value) != ArgumentClass::Real)
                Fail();
            return RealText(type, value.AsDouble(), precision);
        }
        case u's': {
            const Variant& value = Next();
            if (ClassOf(value) != ArgumentClass::Text)
                Fail();
            if (precision >= 0 && precision < value.AsString().size())
                return value.AsString().left(precision);
            return value.AsString();
        }
        default:
            Fail();
        }
    }

    QString IntegerText(char16_t type, const Variant& value, int precision)
    {
        const ArgumentClass cls = ClassOf(value);
        if (cls != ArgumentClass::Integer && cls != ArgumentClass::Int64)
            Fail();
        const bool wide = cls == ArgumentClass::Int64;
        const int64_t number = wide ? value.AsInt64()
                                    : (value.Kind() == VariantKind::Object ? int64_t{value.AsObject()} : value.AsInt32());
        QString digits;
        bool negative = false;
        switch (type) {
        case u'd':
            negative = number < 0;
            digits = QString::number(negative ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number));
            break;
        case u'u':
            digits = QString::number(wide ? static_cast<uint64_t>(number) : uint64_t{static_cast<uint32_t>(number)});
            break;
        case u'x':
            digits = QString::number(wide ? static_cast<uint64_t>(number) : uint64_t{static_cast<uint32_t>(number)}, 16)
                         .toUpper();
            break;
        default: // p: an address is 8 digits as long as it fits 32 bits
            digits = QString::number(static_cast<uint64_t>(number), 16).toUpper();
            precision = number >= 0 && number <= UINT32_MAX ? 8 : 16;
            break;
        }
        if (precision > digits.size())
            digits.prepend(QString(precision - digits.size(), u'0'));
        if (negative)
            digits.prepend(u'-');
        return digits;
    }

    QString RealText(char16_t type, double value, int precision)
    {
        if (!std::isfinite(value))
            return FloatToGeneralText(value, kMaxFormatSignificant, settings_);
        switch (type) {
        case u'e':
            return formats::ScientificText(value, precision < 0 ? kMaxFormatSignificant : precision, 3, settings_);
        case u'f':
            return formats::FixedText(value, precision < 0 ? 2 : precision, false, settings_);
        case u'g':
            return FloatToGeneralText(value, std::clamp(precision < 0 ? kMaxFormatSignificant : precision, 1,
                                                        kMaxFormatSignificant),
                                      settings_);
        case u'n':
            return formats::FixedText(value, precision < 0 ? 2 : precision, true, settings_);
        default:
            return formats::CurrencyText(value, precision < 0 ? settings_.CurrencyDecimals : precision, settings_);
        }
    }

    QStringView format_;
    std::span<const Variant> arguments_;
    const FormatSettings& settings_;
    size_t next_ = 0; // the argument the next directive takes
};

} // namespace

QString Format(QStringView format, std::span<const Variant> arguments, const FormatSettings& settings)
{
    return Formatter(format, arguments, settings).Run();
}

QString FormatText(QStringView format, std::initializer_list<Variant> values)
{
    const std::span<const Variant> arguments(values.begin(), values.size());
    try {
        return Format(format, arguments, FormatSettings::C());
    } catch (const platform::Exception&) {
        QString result = format.toString();
        for (const Variant& value : arguments)
            result += u' ' + value.ToString();
        return result;
    }
}

QString FormatText(const char* format, std::initializer_list<Variant> values)
{
    return FormatText(QString::fromUtf8(format), values);
}

namespace formats {

QString GroupDigits(const QString& digits, const FormatSettings& settings)
{
    QString out;
    const qsizetype n = digits.size();
    out.reserve(n + n / 3);
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += settings.ThousandSeparator;
        out += digits[i];
    }
    return out;
}

QString FixedText(double value, int decimals, bool grouped, const FormatSettings& settings)
{
    decimals = std::clamp(decimals, 0, kMaxFormatDecimals);
    DecimalDigits number = ToDecimalDigits(value, kMaxFormatSignificant);
    RoundDecimalDigits(number, decimals);
    QString integer;
    QString fraction;
    const int count = static_cast<int>(number.Digits.size());
    for (int i = 0; i < number.Exponent; ++i)
        integer += QChar(i < count ? number.Digits[static_cast<size_t>(i)] : '0');
    if (integer.isEmpty())
        integer = QStringLiteral("0");
    for (int i = 0; i < decimals; ++i) {
        const int at = number.Exponent + i;
        fraction += QChar(at >= 0 && at < count ? number.Digits[static_cast<size_t>(at)] : '0');
    }
    QString out;
    if (number.Negative && !number.IsZero())
        out += u'-';
    out += grouped ? GroupDigits(integer, settings) : integer;
    if (decimals > 0) {
        out += settings.DecimalSeparator;
        out += fraction;
    }
    return out;
}

QString ScientificText(double value, int significant, int exponentDigits, const FormatSettings& settings)
{
    significant = std::clamp(significant, 1, kMaxFormatSignificant);
    DecimalDigits number = ToDecimalDigits(value, significant);
    QString out;
    if (number.Negative)
        out += u'-';
    const std::string digits = number.Digits.empty() ? std::string("0") : number.Digits;
    out += QChar(digits[0]);
    if (significant > 1) {
        out += settings.DecimalSeparator;
        for (int i = 1; i < significant; ++i)
            out += QChar(static_cast<size_t>(i) < digits.size() ? digits[static_cast<size_t>(i)] : '0');
    }
    const int exponent = number.IsZero() ? 0 : number.Exponent - 1;
    out += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    QString e = QString::number(exponent < 0 ? -exponent : exponent);
    if (e.size() < exponentDigits)
        e.prepend(QString(exponentDigits - e.size(), u'0'));
    out += e;
    return out;
}

QString CurrencyText(double value, int decimals, const FormatSettings& settings)
{
    QString amount = FixedText(std::fabs(value), decimals, true, settings);
    const QString& c = settings.CurrencyString;
    const bool negative = value < 0 && amount != FixedText(0.0, decimals, true, settings);
    if (!negative) {
        switch (settings.CurrencyFormat) {
        case 1:
            return amount + c;
        case 2:
            return c + u' ' + amount;
        case 3:
            return amount + u' ' + c;
        default:
            return c + amount;
        }
    }
    switch (settings.NegCurrFormat) {
    case 1:
        return u'-' + c + amount;
    case 2:
        return c + u'-' + amount;
    case 3:
        return c + amount + u'-';
    case 4:
        return u'(' + amount + c + u')';
    case 5:
        return u'-' + amount + c;
    case 6:
        return amount + u'-' + c;
    case 7:
        return amount + c + u'-';
    case 8:
        return u'-' + amount + u' ' + c;
    case 9:
        return u'-' + c + u' ' + amount;
    case 10:
        return amount + u' ' + c + u'-';
    case 11:
        return c + u' ' + amount + u'-';
    case 12:
        return c + u' ' + u'-' + amount;
    case 13:
        return amount + u'-' + u' ' + c;
    case 14:
        return u'(' + c + u' ' + amount + u')';
    case 15:
        return u'(' + amount + u' ' + c + u')';
    default:
        return u'(' + c + amount + u')';
    }
}

} // namespace formats
