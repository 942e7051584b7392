#include "rpClass_aggregates.h"

#include "rpRes.h"
#include "rpUtils.h"

#include "platform/Exceptions.h"
#include "report/core/QuotedText.h"

namespace {

bool IsControlOrBlank(QChar c)
{
    return c.unicode() <= u' ';
}

// Characters skipped between words.
bool IsSeparator(QChar c)
{
    if (IsControlOrBlank(c) || (c >= u'0' && c <= u'9'))
        return true;
    switch (c.unicode()) {
    case u'!': case u'#': case u'$': case u'%': case u'&': case u'*': case u'+': case u',': case u'-':
    case u'.': case u'/': case u'=': case u'[': case u']': case u'^': case u'|':
        return true;
    default:
        return false;
    }
}

// Characters that end a word.
bool IsTerminator(QChar c)
{
    if (IsControlOrBlank(c))
        return true;
    switch (c.unicode()) {
    case u'!': case u'#': case u'$': case u'%': case u'&': case u'(': case u'*': case u'+': case u',':
    case u'-': case u'.': case u'/': case u'=': case u'[': case u']': case u'^': case u'|':
        return true;
    default:
        return false;
    }
}

[[noreturn]] void RaiseTooDeep(QStringView text)
{
    throw platform::Exception(
        FormatResource(GetResourcesInstance().Get(u"rnExprTooDeep"), {Variant(text.left(100).toString())})
            .toStdString());
}

} // namespace

bool TrpAggregateScanner::IsAggregateName(QStringView upperName)
{
    return upperName == u"SUM" || upperName == u"AVG" || upperName == u"MIN" || upperName == u"MAX" ||
           upperName == u"COUNT";
}

QStringList TrpAggregateScanner::SplitArguments(QStringView arguments)
{
    QStringList pieces;
    if (arguments.trimmed().isEmpty())
        return pieces;
    int depth = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= arguments.size(); ++i) {
        if (i == arguments.size() || (arguments[i] == u',' && depth == 0)) {
            pieces << arguments.mid(from, i - from).trimmed().toString();
            if (pieces.size() == kMaxAggregateArguments)
                break;
            from = i + 1;
            continue;
        }
        const QChar c = arguments[i];
        if (IsQuoteCharacter(c)) {
            i = QuotedPartEnd(arguments, i) - 1; // the loop steps behind the part
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && depth > 0) {
            --depth;
        }
    }
    return pieces;
}

void TrpAggregateScanner::Scan(const QString& expression, std::vector<TrpAggregateCall>& calls)
{
    variablePath_.clear();
    ScanExpression(expression, 0, calls);
}

void TrpAggregateScanner::ScanExpression(const QString& expression, int depth, std::vector<TrpAggregateCall>& calls)
{
    if (depth > kMaxAggregateScanDepth)
        RaiseTooDeep(expression);
    const QString name = expression.trimmed();
    if (VariableText) {
        if (std::optional<QString> value = VariableText(name)) {
            ScanVariable(name, *value, depth, calls);
            return;
        }
    }
    if (IsDataField && IsDataField(name))
        return;
    ScanText(expression, depth, calls);
}

void TrpAggregateScanner::ScanVariable(const QString& name, const QString& value, int depth,
                                       std::vector<TrpAggregateCall>& calls)
{
    // A variable met again inside its own text adds nothing the first visit does not.
    if (variablePath_.contains(name, Qt::CaseInsensitive))
        return;
    variablePath_ << name;
    ScanExpression(value, depth + 1, calls);
    variablePath_.removeLast();
}

void TrpAggregateScanner::ScanText(QStringView text, int depth, std::vector<TrpAggregateCall>& calls)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = text[i];
        if (IsSeparator(c)) {
            ++i;
        } else if (IsQuoteCharacter(c)) {
            i = QuotedPartEnd(text, i);
        } else if (c == u'(' || c == u'<') {
            int start = static_cast<int>(i);
            int end = start;
            bool closed = false;
            QString inner = c == u'(' ? FindBracketedText(text, u"(", u")", start, end, &closed)
                                      : FindBracketedText(text, u"<", u">", start, end, &closed);
            if (closed) {
                ScanExpression(inner, depth + 1, calls);
                i = end + 1;
            } else if (c == u'(') {
                // An unclosed parenthesis holds the rest of the text.
                ScanExpression(text.mid(i + 1).toString(), depth + 1, calls);
                i = size;
            } else {
                // A "<" without its ">" is a comparison.
                ++i;
            }
        } else {
            qsizetype wordEnd = i;
            while (wordEnd < size && !IsTerminator(text[wordEnd]))
                ++wordEnd;
            const QString word = text.mid(i, wordEnd - i).toString();
            const QString upper = word.toUpper();
            if (IsAggregateName(upper)) {
                int start = static_cast<int>(wordEnd);
                int end = start;
                bool closed = false;
                const QString arguments = wordEnd < size && text[wordEnd] == u'('
                                              ? FindBracketedText(text, u"(", u")", start, end, &closed)
                                              : QString();
                // An unclosed call is no call (the expression will not compile either).
                if (closed) {
                    TrpAggregateCall call;
                    call.Text = text.mid(i, end - i + 1).toString();
                    call.Name = upper;
                    call.Arguments = SplitArguments(arguments);
                    calls.push_back(std::move(call));
                    wordEnd = end + 1;
                }
            } else if (VariableText) {
                if (std::optional<QString> value = VariableText(word))
                    ScanVariable(word, *value, depth, calls);
            }
            i = wordEnd;
        }
    }
}
