#pragma once

// Expressions inside the texts of printable objects: finding and replacing bracketed
// expressions, the display format that may follow an expression after " #", the formatting of
// values as numbers, dates and Boolean words, and the page-count and copy-name macros that
// wait in a memo's text until its page is drawn.

#include "report/core/FormatSettings.h"
#include "report/core/Variant.h"

#include <QString>
#include <QStringView>

#include <functional>

// Replaces, from left to right, each expression between `open` and `close` (nested pairs and
// quoted brackets allowed) by the text `evaluate` gives for it, delimiters included, and goes
// on after the inserted text. An opening delimiter without its closing one, and an empty
// pair, end the replacing: the rest of the text stays as it is.
QString ExpandBracketedExpressions(QStringView text, QStringView open, QStringView close,
                                   const std::function<QString(const QString& expression)>& evaluate);

// An expression with the display format written after it: "X #n%2,2f", "D #ddd.mm.yyyy",
// "B #bНет,Да".
struct TrpExpressionFormat {
    QString Expression;       // the whole text when there is no format
    bool HasFormat = false;   // a specification follows the expression
    QChar KindLetter;         // 'N', 'D', 'T' or 'B' in either case; null without a format
    QString FormatStr;        // the specification from its second character, at most 255
    QString DecimalSeparator; // numeric: the last ',', '-' or '.' of the specification
};

// The longest format string a specification gives.
inline constexpr int kMaxFormatSpecification = 255;

// Splits at the first " #": the part after it is a format unless it holds ")" (then the
// whole text is the expression). In a numeric format every ',', '-' and '.' becomes '.' and
// the last of them the format's decimal separator.
TrpExpressionFormat SplitExpressionFormat(const QString& text);

// The macros of a memo: the total page count and the copy name, written into the text by the
// expression "TOTALPAGES#" or "COPYNAME#" and replaced when the page is drawn.
inline constexpr char16_t kTotalPagesMacro[] = u"[TotalPages#]";
inline constexpr char16_t kCopyNameMacro[] = u"[CopyName#]";
// The macro an expression stands for ("TOTALPAGES#" and "COPYNAME#" in any case); empty for
// any other expression.
QString MacroOfExpression(QStringView expression);
// Replaces every "[TOTALPAGES#]" (in any case) by `totalPages` and every "[COPYNAME#]" by
// `copyName`; `replaced` tells whether anything was.
QString ReplaceMacros(QStringView text, int totalPages, const QString& copyName, bool& replaced);
// The first "[TOTALPAGES]" in any case replaced by the page count.
QString ReplaceTotalPagesField(QStringView text, int totalPages);

// A numeric display format: a picture format (holding "#" or starting with "0"), printf
// style as an integer (holding "d" or "u") or as a float; then the decimal and the thousands
// separators of the format, when each is one character other than the settings', in place of
// the settings' ones. Conversion and format errors raise.
QString FormatNumericValue(const Variant& value, const QString& formatStr, const QString& decimalSeparator,
                           const QString& thousandSeparator, const FormatSettings& settings);
// Two words separated by a comma: the word after the first comma for a value equal to True,
// the one before it otherwise.
QString FormatBooleanValue(const Variant& value, const QString& words, const FormatSettings& settings);
// Whether a value that is no text equals 0 (what HideZeros hides).
bool IsZeroValue(const Variant& value, const FormatSettings& settings);
