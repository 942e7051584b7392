#pragma once

// Aggregate totals of a report: the calls SUM, AVG, MIN, MAX and COUNT that the texts of
// footers, group footers, page and column footers and the report summary contain. Before a
// run the engine finds every call and makes one item of it; while data bands print each item
// accumulates its expression; the report's aggregate functions ask the engine, which looks the
// item up here; after the footer that holds the call has printed, the item is reset.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

// Parentheses, angle brackets and variables referring to variables nest this deep in a text
// scanned for aggregate calls; deeper is an error, not a stack overflow.
inline constexpr int kMaxAggregateScanDepth = 64;
// A call has at most this many arguments (expression, band, flags).
inline constexpr int kMaxAggregateArguments = 3;

// One aggregate call found in an expression.
struct TrpAggregateCall {
    QString Text;          // from the name to the closing parenthesis, as written
    QString Name;          // the name, upper case
    QStringList Arguments; // trimmed, at most kMaxAggregateArguments
};

// Finds the aggregate calls of expression texts. A word that names a report variable stands
// for the variable's text, which is scanned in its place (a variable that refers back to
// itself is scanned once); a data-field reference holds no call.
class TrpAggregateScanner {
public:
    // The text of a report variable (Null as empty), none when there is no such variable.
    std::function<std::optional<QString>(const QString& name)> VariableText;
    // Whether a text is a reference to a data-set field (DataSet."Field").
    std::function<bool(const QString& text)> IsDataField;

    // Appends the calls of the expression, left to right. A text nested deeper than
    // kMaxAggregateScanDepth raises platform::Exception.
    void Scan(const QString& expression, std::vector<TrpAggregateCall>& calls);

    // The arguments of a call: the text between its parentheses split at the commas outside
    // quotes and nested parentheses, each piece trimmed, at most kMaxAggregateArguments.
    static QStringList SplitArguments(QStringView arguments);
    // Whether an upper-case name is one of SUM, AVG, MIN, MAX and COUNT.
    static bool IsAggregateName(QStringView upperName);

private:
    void ScanExpression(const QString& expression, int depth, std::vector<TrpAggregateCall>& calls);
    void ScanText(QStringView text, int depth, std::vector<TrpAggregateCall>& calls);
    void ScanVariable(const QString& name, const QString& value, int depth, std::vector<TrpAggregateCall>& calls);

    QStringList variablePath_; // variables being scanned, outermost first
};
