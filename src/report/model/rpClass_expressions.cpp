#include "rpClass_expressions.h"

#include "rpUtils.h"

#include "report/core/Formats.h"

#include <array>

QString ExpandBracketedExpressions(QStringView text, QStringView open, QStringView close,
                                   const std::function<QString(const QString& expression)>& evaluate)
{
    QString result = text.toString();
    if (open.isEmpty() || close.isEmpty())
        return result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype position = result.indexOf(open, from);
        if (position < 0)
            break;
        int start = static_cast<int>(position);
        int end = start;
        const QString expression = FindBracketedText(result, open, close, start, end);
        // The bracket finder stops at the end of the text when the expression is never
        // closed; such a text is left as it stands instead of evaluating a cut-off piece.
        const qsizetype closeStart = end - close.size() + 1;
        const bool closed = closeStart >= start + open.size() && QStringView(result).mid(closeStart, close.size()) == close;
        if (!closed || expression.isEmpty())
            break;
        const QString value = evaluate(expression);
        result.replace(start, end - start + 1, value);
        from = start + value.size();
    }
    return result;
}

TrpExpressionFormat SplitExpressionFormat(const QString& text)
{
    TrpExpressionFormat format;
    format.Expression = text;
    const qsizetype mark = text.indexOf(u" #");
    if (mark < 0)
        return format;
    const QString specification = text.mid(mark + 2);
    if (specification.contains(u')'))
        return format;
    format.Expression = text.left(mark);
    format.HasFormat = true;
    if (specification.isEmpty())
        return format;
    format.FormatStr = specification.mid(1, kMaxFormatSpecification);
    switch (specification[0].toUpper().unicode()) {
    case u'N':
        format.KindLetter = u'N';
        for (QChar& c : format.FormatStr) {
            if (c == u',' || c == u'-' || c == u'.') {
                format.DecimalSeparator = QString(c);
                c = u'.';
            }
        }
        break;
    case u'D':
    case u'T':
    case u'B':
        format.KindLetter = specification[0].toUpper();
        break;
    default:
        break;
    }
    return format;
}

QString MacroOfExpression(QStringView expression)
{
    if (expression.compare(u"TOTALPAGES#", Qt::CaseInsensitive) == 0)
        return QString::fromUtf16(kTotalPagesMacro);
    if (expression.compare(u"COPYNAME#", Qt::CaseInsensitive) == 0)
        return QString::fromUtf16(kCopyNameMacro);
    return QString();
}

QString ReplaceMacros(QStringView text, int totalPages, const QString& copyName, bool& replaced)
{
    QString result = text.toString();
    const QString pages = QString::number(totalPages);
    int count = 0;
    for (qsizetype at = result.indexOf(QStringView(kTotalPagesMacro), 0, Qt::CaseInsensitive); at >= 0;
         at = result.indexOf(QStringView(kTotalPagesMacro), at + pages.size(), Qt::CaseInsensitive)) {
        result.replace(at, QStringView(kTotalPagesMacro).size(), pages);
        ++count;
    }
    for (qsizetype at = result.indexOf(QStringView(kCopyNameMacro), 0, Qt::CaseInsensitive); at >= 0;
         at = result.indexOf(QStringView(kCopyNameMacro), at + copyName.size(), Qt::CaseInsensitive)) {
        result.replace(at, QStringView(kCopyNameMacro).size(), copyName);
        ++count;
    }
    replaced = count > 0;
    return result;
}

QString ReplaceTotalPagesField(QStringView text, int totalPages)
{
    QString result = text.toString();
    const qsizetype at = result.indexOf(u"[TOTALPAGES]", 0, Qt::CaseInsensitive);
    if (at >= 0)
        result.replace(at, 12, QString::number(totalPages));
    return result;
}

QString FormatNumericValue(const Variant& value, const QString& formatStr, const QString& decimalSeparator,
                           const QString& thousandSeparator, const FormatSettings& settings)
{
    QString text;
    if (formatStr.contains(u'#') || formatStr.startsWith(u'0')) {
        text = FormatFloat(formatStr, value.ToDouble(settings), settings);
    } else if (formatStr.contains(u'd') || formatStr.contains(u'u')) {
        const std::array<Variant, 1> arguments{Variant(value.ToInt64(settings))};
        text = Format(formatStr, arguments, settings);
    } else {
        const std::array<Variant, 1> arguments{Variant(value.ToDouble(settings))};
        text = Format(formatStr, arguments, settings);
    }
    // The decimal separator's place is taken before the thousands separators change, so a
    // format may swap the two.
    qsizetype decimalAt = -1;
    if (decimalSeparator.size() == 1 && decimalSeparator[0] != settings.DecimalSeparator)
        decimalAt = text.lastIndexOf(settings.DecimalSeparator);
    if (thousandSeparator.size() == 1 && thousandSeparator[0] != settings.ThousandSeparator)
        text.replace(settings.ThousandSeparator, thousandSeparator[0]);
    if (decimalAt >= 0)
        text[decimalAt] = decimalSeparator[0];
    return text;
}

QString FormatBooleanValue(const Variant& value, const QString& words, const FormatSettings& settings)
{
    const qsizetype comma = words.indexOf(u',');
    if (VariantCompare(VariantRelation::Equal, value, Variant(true), settings))
        return words.mid(comma + 1);
    return comma < 0 ? QString() : words.left(comma);
}

bool IsZeroValue(const Variant& value, const FormatSettings& settings)
{
    if (value.IsString())
        return false;
    try {
        return VariantCompare(VariantRelation::Equal, value, Variant(int32_t{0}), settings);
    } catch (const std::exception&) {
        return false;
    }
}
