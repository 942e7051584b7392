// FormatFloat: picture formatting of numbers.

#include "Formats.h"
#include "QuotedText.h"
#include "Formats_text.h"

#include "NumberText.h"

#include <cmath>
#include <vector>

namespace {

// Values with more integer digits than this are written in the general form.
constexpr int kMaxPictureIntegerDigits = 18;

// The sections of a picture, split at ";" outside quotes.
std::vector<QStringView> Sections(QStringView format)
{
    std::vector<QStringView> sections;
    qsizetype start = 0;
    ScanOutsideQuotes(format, [&](qsizetype i) {
        if (format[i] != u';')
            return true;
        sections.push_back(format.mid(start, i - start));
        start = i + 1;
        return sections.size() < 2;
    });
    sections.push_back(format.mid(start));
    if (sections.size() == 3) {
        // A third section ends at a further ";".
        QStringView& zero = sections[2];
        if (const qsizetype end = IndexOutsideQuotes(zero, u';'); end >= 0)
            zero = zero.left(end);
    }
    return sections;
}

// What a section asks for.
struct Picture {
    int IntegerPlaces = 0;      // "0" and "#" before the decimal point
    int RequiredInteger = 0;    // of those, from the first "0" on
    int DecimalPlaces = 0;      // "0" and "#" after the decimal point
    int RequiredDecimals = 0;   // up to the last "0" after it
    bool Grouped = false;       // a "," somewhere
    bool HasPoint = false;
    bool Exponent = false;      // "E+", "E-", "e+", "e-"
    int ExponentDigits = 0;     // "0" after it
};

bool IsExponentAt(QStringView s, qsizetype i)
{
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

Picture Analyse(QStringView section)
{
    Picture p;
    bool afterPoint = false;
    bool seenZero = false;
    ScanOutsideQuotes(section, [&](qsizetype i) {
        const QChar c = section[i];
        if (c == u'0' || c == u'#') {
            if (afterPoint) {
                ++p.DecimalPlaces;
                if (c == u'0')
                    p.RequiredDecimals = p.DecimalPlaces;
            } else {
                ++p.IntegerPlaces;
                if (c == u'0')
                    seenZero = true;
                if (seenZero)
                    ++p.RequiredInteger;
            }
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
            p.HasPoint = true;
        } else if (c == u',') {
            p.Grouped = true;
        } else if (IsExponentAt(section, i)) {
            p.Exponent = true;
            for (qsizetype k = i + 2; k < section.size() && section[k] == u'0'; ++k)
                ++p.ExponentDigits;
            return false;
        }
        return true;
    });
    return p;
}

class PictureWriter {
public:
    PictureWriter(QStringView section, const Picture& picture, double magnitude, const FormatSettings& settings)
        : section_(section), picture_(picture), settings_(settings)
    {
        DecimalDigits number = ToDecimalDigits(magnitude, kMaxFormatSignificant);
        if (picture.Exponent) {
            // The integer places of the mantissa take that many leading digits.
            const int places = picture.IntegerPlaces;
            RoundSignificantDigits(number, std::max(places + picture.DecimalPlaces, 1));
            exponent_ = number.IsZero() ? 0 : number.Exponent - places;
            number.Exponent = number.IsZero() ? 0 : places;
        } else {
            RoundDecimalDigits(number, picture.DecimalPlaces);
        }
        const int count = static_cast<int>(number.Digits.size());
        for (int i = 0; i < number.Exponent; ++i)
            integer_ += QChar(i < count ? number.Digits[static_cast<size_t>(i)] : '0');
        for (int at = std::max(number.Exponent, 0); at < count; ++at) {
            const int place = at - number.Exponent;
            // Zeros between the point and the first digit.
            while (fraction_.size() < place)
                fraction_ += u'0';
            fraction_ += QChar(number.Digits[static_cast<size_t>(at)]);
        }
        while (fraction_.size() < picture.RequiredDecimals)
            fraction_ += u'0';
        if (picture.Exponent && integer_.isEmpty() && picture.IntegerPlaces > 0)
            integer_ = QStringLiteral("0");
    }

    QString Write()
    {
        QString out;
        int integerPlace = 0;  // integer placeholders written so far
        int decimalPlace = 0;  // decimal placeholders written so far
        bool afterPoint = false;
        const int digits = static_cast<int>(integer_.size());
        // Digit positions count from the right, 0 for the units.
        auto putInteger = [&](int position) {
            if (position < digits) {
                out += integer_[digits - 1 - position];
            } else if (position < picture_.RequiredInteger) {
                out += u'0';
            } else {
                return;
            }
            if (picture_.Grouped && position > 0 && position % 3 == 0)
                out += settings_.ThousandSeparator;
        };
        for (qsizetype i = 0; i < section_.size(); ++i) {
            const QChar c = section_[i];
            if (IsQuoteCharacter(c)) {
                // A quoted part is written as it stands, without its quotes.
                out += QuotedPartText(section_, i);
                i = QuotedPartEnd(section_, i) - 1;
                continue;
            }
            if ((c == u'0' || c == u'#') && !afterPoint) {
                const int position = picture_.IntegerPlaces - 1 - integerPlace;
                if (integerPlace == 0) {
                    // The first placeholder also takes the digits no placeholder has room for.
                    for (int extra = std::max(digits, picture_.RequiredInteger) - 1; extra > position; --extra)
                        putInteger(extra);
                }
                putInteger(position);
                ++integerPlace;
            } else if ((c == u'0' || c == u'#') && afterPoint) {
                if (decimalPlace < fraction_.size())
                    out += fraction_[decimalPlace];
                ++decimalPlace;
            } else if (c == u'.' && !afterPoint) {
                afterPoint = true;
                // Without integer placeholders the integer digits stand before the point.
                if (integerPlace == 0)
                    for (int position = digits - 1; position >= 0; --position)
                        putInteger(position);
                if (!fraction_.isEmpty())
                    out += settings_.DecimalSeparator;
            } else if (c == u',') {
                // Only switches grouping on.
            } else if (IsExponentAt(section_, i)) {
                out += c;
                if (exponent_ < 0)
                    out += u'-';
                else if (section_[i + 1] == u'+')
                    out += u'+';
                QString e = QString::number(std::abs(exponent_));
                if (e.size() < picture_.ExponentDigits)
                    e.prepend(QString(picture_.ExponentDigits - e.size(), u'0'));
                out += e;
                i += 1;
                while (i + 1 < section_.size() && section_[i + 1] == u'0')
                    ++i;
            } else {
                out += c;
            }
        }
        return out;
    }

private:
    QStringView section_;
    const Picture& picture_;
    const FormatSettings& settings_;
    QString integer_;  // integer digits, no leading zeros ("" for none)
    QString fraction_; // decimal digits to show, at least the required ones
    int exponent_ = 0;
};

} // namespace

QString FormatFloat(QStringView format, double value, const FormatSettings& settings)
{
    if (!std::isfinite(value) || format.isEmpty())
        return FloatToGeneralText(value, kMaxFormatSignificant, settings);
    const std::vector<QStringView> sections = Sections(format);
    QStringView section = sections[0];
    bool withSign = false;
    if (value < 0) {
        if (sections.size() >= 2 && !sections[1].isEmpty())
            section = sections[1];
        else
            withSign = true;
    } else if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    if (section.isEmpty())
        return FloatToGeneralText(value, kMaxFormatSignificant, settings);
    const Picture picture = Analyse(section);
    const double magnitude = std::fabs(value);
    if (!picture.Exponent && magnitude >= 1e18 &&
        ToDecimalDigits(magnitude, kMaxFormatSignificant).Exponent > kMaxPictureIntegerDigits)
        return FloatToGeneralText(value, kMaxFormatSignificant, settings);
    QString text = PictureWriter(section, picture, magnitude, settings).Write();
    CheckStringLength(text.size());
    if (withSign)
        text.prepend(u'-');
    return text;
}
