#pragma once

// Format texts (number pictures, date and time formats, argument lists) hold literal parts in
// quotes: a ' or " opens a part that the same character closes; an unclosed part runs to the
// end of the text. These walk such a text the one way every format reader of the report
// libraries reads it.

#include <QStringView>

// The position just behind the quoted part that opens at `at` (where text[at] is a quote):
// behind its closing quote, or the end of the text when it is not closed.
inline qsizetype QuotedPartEnd(QStringView text, qsizetype at)
{
    const qsizetype close = text.indexOf(text[at], at + 1);
    return close < 0 ? text.size() : close + 1;
}

// What the quoted part that opens at `at` holds, without its quotes.
inline QStringView QuotedPartText(QStringView text, qsizetype at)
{
    const qsizetype close = text.indexOf(text[at], at + 1);
    return text.mid(at + 1, (close < 0 ? text.size() : close) - at - 1);
}

inline bool IsQuoteCharacter(QChar c)
{
    return c == u'\'' || c == u'"';
}

// Calls visit(i) for the position i of every character outside the quoted parts, in order,
// while it returns true. Returns the position where visit said stop, or the text's size.
template <typename Visit>
qsizetype ScanOutsideQuotes(QStringView text, Visit&& visit)
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (IsQuoteCharacter(text[i])) {
            i = QuotedPartEnd(text, i);
            continue;
        }
        if (!visit(i))
            return i;
        ++i;
    }
    return text.size();
}

// The position of the first `c` outside quoted parts at or after `from`, or -1.
inline qsizetype IndexOutsideQuotes(QStringView text, QChar c, qsizetype from = 0)
{
    const qsizetype at = ScanOutsideQuotes(text.mid(from), [&](qsizetype i) { return text[from + i] != c; });
    return from + at < text.size() ? from + at : -1;
}
