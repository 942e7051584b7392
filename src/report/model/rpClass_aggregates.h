#pragma once

// Aggregate totals of a report: the calls SUM, AVG, MIN, MAX and COUNT that the texts of
// footers, group footers, page and column footers and the report summary contain. Before a
// run the engine finds every call and makes one item of it; while data bands print each item
// accumulates its expression; the report's aggregate functions ask the engine, which looks the
// item up here; after the footer that holds the call has printed, the item is reset.

#include "report/core/Variant.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TrpBand;
class TrpComponent;
class TrpDataBand;
class TrpReport;
class TrpReportPage;

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

enum TrpAggregateFunction : int { agSum, agAvg, agMin, agMax, agCount };

// Vertical columns an item keeps values for; a column beyond is an error, not a write past
// the end (the engine's columns stay far below).
inline constexpr int32_t kMaxAggregateColumns = 100000;

// One aggregate call of one memo: what it accumulates, from which data band, and the values
// collected so far.
class TrpAggregateItem {
public:
    explicit TrpAggregateItem(TrpReport* report) : report_(report) {}

    TrpAggregateFunction AggregateFunction = agSum;
    QPointer<TrpDataBand> Band;       // the data band whose records feed the item
    bool CountInvisibleBands = false; // also count records of the band while it is hidden
    bool DontReset = false;           // running total: not reset after its footer
    QString Expression;               // accumulated expression (empty for COUNT)
    bool IsPageFooter = false;        // the call sits in the page footer
    QString MemoName;                 // the memo holding the call (error texts)
    QString OriginalName;             // the call text as written, trimmed
    QPointer<TrpBand> ParentBand;     // the band holding the memo: asks for the value, resets it
    int32_t VColumn = 0;              // current vertical column, 0 without vertical bands

    // Accumulates the expression's value for the current record (errors of the expression
    // raise through the report's Calc).
    void Calc();
    // Takes the last accumulation back (one step).
    void DeleteValue();
    // Starts again, unless the item is a running total that has counted something already
    // (or `full` is set).
    void Reset(bool full = false);
    // Keep-together blocks of page-footer items: values collected inside a block join the
    // total only when the block ends, after the engine has moved the kept rows to a new page.
    void StartKeep();
    void EndKeep();
    // The value for the current vertical column: AVG the average, COUNT the count, the others
    // the accumulated value; Null as 0.
    Variant Value() const;
    // The records counted (for the current column when there are vertical columns).
    int32_t Count() const;

private:
    void Combine(Variant& total, const Variant& value) const;
    void EnsureColumn(int32_t column);

    TrpReport* report_;
    std::vector<Variant> itemsArray_;      // per vertical column, made on first use
    std::vector<int32_t> itemsCountArray_;
    int32_t itemsCount_ = 0;
    Variant itemsValue_ = Variant::NullValue();
    bool keeping_ = false;
    int32_t lastCount_ = 0;
    Variant lastValue_ = Variant::NullValue();
    int32_t tempItemsCount_ = 0;
    Variant tempItemsValue_ = Variant::NullValue();
};

// The aggregate items of one report run; the engine owns it.
class TrpAggregateList {
public:
    explicit TrpAggregateList(TrpReport* report) : report_(report) {}

    int Count() const { return static_cast<int>(list_.size()); }
    TrpAggregateItem& Items(int index) const { return *list_.at(static_cast<size_t>(index)); }
    void Clear() { list_.clear(); }

    // Finds the aggregate calls of a report page and adds one item per call: the footers of
    // its data bands and of their groups (fed by the data band), and with a master band the
    // page footer, column footer and report summary (fed by the page's first master band).
    // Needs the page's band trees (SubBands, VSubBands) built by the engine.
    void AddItems(TrpReportPage* page);
    // Adds the item of one call found in a memo of `parentBand`, fed by `dataBand` unless its
    // band argument names another. A flags argument that is no integer raises.
    TrpAggregateItem& AddItem(const struct TrpAggregateCall& call, TrpDataBand* dataBand, TrpBand* parentBand,
                              const QString& memoName);
    // Every item fed by the band accumulates, for that vertical column.
    void AddValue(TrpDataBand* band, int32_t vColumn = 0);
    void DeleteValue(TrpDataBand* band);
    // Every item whose value the band asks for starts again.
    void Reset(TrpBand* parentBand);
    void StartKeep();
    void EndKeep();
    // Every item starts again, running totals too.
    void ClearValues();
    // The value of the first item of that parent band with the function of that name (SUM,
    // AVG, MIN, MAX; anything else COUNT), the expression (trimmed, ignoring case), the feeding
    // band when one is given, and flags 1 (hidden bands) and 2 (running total); Null when none.
    Variant GetValue(TrpBand* parentBand, int32_t vColumn, const QString& name, const QString& expression,
                     TrpBand* band, int32_t flags);
    // The value of the first item of that parent band whose call text is `text` (trimmed,
    // ignoring case); Null when none.
    Variant GetValue(TrpBand* parentBand, const QString& text, int32_t vColumn);

private:
    void ScanBand(TrpBand* band, TrpDataBand* dataBand);
    void ScanMemos(TrpBand* band, TrpDataBand* dataBand);
    void AddCalls(TrpDataBand* dataBand);

    TrpReport* report_;
    std::vector<std::unique_ptr<TrpAggregateItem>> list_;
};
