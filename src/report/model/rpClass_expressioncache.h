#pragma once

// The expression cache of a report: every distinct expression text is compiled once, as a
// small function of its own in the report's script language, and run whenever the engine, a
// memo or a script asks for its value. The functions live in a script of the cache's own whose
// lookups continue in the script that asks, so they see the report's objects, variables and
// functions (and the locals of a routine that asks).

#include "report/core/Variant.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>

class TscProcVariable;
class TscScript;

class TrpExpressionCache {
public:
    // `mainScript` is the report's script (not owned); it stops being the main program while
    // a cached function runs.
    explicit TrpExpressionCache(TscScript* mainScript);
    ~TrpExpressionCache();
    TrpExpressionCache(const TrpExpressionCache&) = delete;
    TrpExpressionCache& operator=(const TrpExpressionCache&) = delete;

    // Whether expressions that differ only in letter case are compiled apart (off: they share
    // one function).
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);
    // The language new functions are written in ("RireroRidoze", "R++Idirud", "ZuvivUradur",
    // "JScript"; the report's).
    QString ScriptLanguage = QStringLiteral("RireroRidoze");

    // Forgets every compiled expression; refused (platform::Exception) while one of them runs.
    void Clear();
    // Whether one of the cached functions is running.
    bool Running() const { return depth_ > 0; }
    // The value of an expression, run in the context of `script` (the main script when none).
    // `errorMessage` is empty afterwards unless compiling or running failed: a text that does
    // not compile gives "clExprError" " '<expression>': " and the script's message, and Null,
    // every time it is asked for (it is not kept); an error while the function runs gives its
    // message and the value the function had left. `errorClass`, when given, receives the
    // class name of a run-time error as scripts see it ("EZeroDivide"), empty otherwise.
    Variant Calc(const QString& expression, QString& errorMessage, TscScript* script,
                 QString* errorClass = nullptr);

    // How many expressions are compiled.
    int Count() const { return static_cast<int>(functions_.size()); }
    // The text that compiles an expression as function number `number` in a language (names
    // compared ignoring case); none for a language without one.
    static std::optional<QString> FunctionSource(const QString& language, int number, const QString& expression);
    // The cache's own script (tests read the last source compiled).
    const TscScript& Script() const { return *script_; }

private:
    struct TextLess {
        bool caseSensitive = false;
        bool operator()(const QString& a, const QString& b) const
        {
            return a.compare(b, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) < 0;
        }
    };

    TscProcVariable* Compile(const QString& expression, QString& errorMessage);

    TscScript* mainScript_;
    std::unique_ptr<TscScript> script_;
    std::map<QString, TscProcVariable*, TextLess> functions_; // expression -> its function (owned by script_)
    bool caseSensitive_ = false;
    int depth_ = 0; // cached functions running (an expression may ask for another one)
};
