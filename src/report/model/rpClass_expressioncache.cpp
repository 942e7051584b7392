#include "rpClass_expressioncache.h"

#include "rpRes.h"

#include "report/core/ScriptErrors.h"
#include "report/script/sc_iinterpreter_script.h"

#include <exception>

TrpExpressionCache::TrpExpressionCache(TscScript* mainScript)
    : mainScript_(mainScript), script_(std::make_unique<TscScript>(mainScript))
{
    script_->ExtendedCharset = true;
}

TrpExpressionCache::~TrpExpressionCache()
{
    // The functions go with the script; the list only points at them.
    functions_.clear();
}

void TrpExpressionCache::SetCaseSensitive(bool value)
{
    if (value == caseSensitive_)
        return;
    caseSensitive_ = value;
    // Re-sorted under the new comparison; of texts that now compare equal the first stays
    // listed (the other's function remains in the script until Clear).
    std::map<QString, TscProcVariable*, TextLess> sorted(TextLess{value});
    for (const auto& [text, function] : functions_)
        sorted.emplace(text, function);
    functions_ = std::move(sorted);
}

void TrpExpressionCache::Clear()
{
    if (depth_ > 0)
        throw platform::Exception(ResourceText(u"rnExpressionsInUse").toStdString());
    functions_.clear();
    script_->Clear();
}

std::optional<QString> TrpExpressionCache::FunctionSource(const QString& language, int number,
                                                         const QString& expression)
{
    const QString name = QStringLiteral("zi3f") + QString::number(number);
    if (language.compare(u"RireroRidoze", Qt::CaseInsensitive) == 0)
        return QStringLiteral("function ") + name + QStringLiteral(": Variant; begin ") + QStringLiteral("Result := ") +
               expression + QStringLiteral(" end; begin end.");
    if (language.compare(u"R++Idirud", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Variant ") + name + QStringLiteral("() { ") + QStringLiteral("return ") + expression +
               QStringLiteral("; } {}");
    if (language.compare(u"ZuvivUradur", Qt::CaseInsensitive) == 0)
        return QStringLiteral("function ") + name + QStringLiteral("\r\n") + QStringLiteral("return ") + expression +
               QStringLiteral("\r\n") + QStringLiteral("end function");
    if (language.compare(u"JScript", Qt::CaseInsensitive) == 0)
        return QStringLiteral("function ") + name + QStringLiteral("() { ") + QStringLiteral("return ") + expression +
               QStringLiteral("; }");
    return std::nullopt;
}

TscProcVariable* TrpExpressionCache::Compile(const QString& expression, QString& errorMessage)
{
    const int number = Count();
    const QString name = QStringLiteral("zi3f") + QString::number(number);
    script_->SyntaxType = ScriptLanguage;
    if (std::optional<QString> source = FunctionSource(ScriptLanguage, number, expression))
        script_->Lines = QStringList{*source};
    TscProcVariable* function = nullptr;
    if (script_->Compile())
        function = dynamic_cast<TscProcVariable*>(script_->FindLocal(name));
    if (function == nullptr) {
        // A failed compile takes back what it added; a function of that name that is left
        // (a text that compiled into something else) goes too.
        if (TscCustomVariable* left = script_->FindLocal(name))
            script_->Remove(left);
        errorMessage = GetResourcesInstance().Get(u"clExprError") + QStringLiteral(" '") + expression +
                       QStringLiteral("': ") + script_->ErrorMsg;
        return nullptr;
    }
    functions_.emplace(expression, function);
    return function;
}

Variant TrpExpressionCache::Calc(const QString& expression, QString& errorMessage, TscScript* script,
                                 QString* errorClass)
{
    errorMessage.clear();
    if (errorClass != nullptr)
        errorClass->clear();
    if (script == nullptr)
        script = mainScript_;

    // The context of the evaluation is the asking script, unless the asking script runs inside
    // one of the cache's own functions (an expression that asks for another): then the
    // context stays as it is, since the cache's script cannot enclose itself.
    bool nested = false;
    for (const TscScript* chain = script; chain != nullptr; chain = chain->Parent()) {
        if (chain == script_.get()) {
            nested = true;
            break;
        }
    }
    // Between evaluations the cache hangs under the main script, so it never refers to a
    // routine's program that may go before it.
    struct ParentScope {
        TscScript* cache;
        TscScript* previous;
        bool changed;
        ~ParentScope()
        {
            if (changed)
                cache->SetParent(previous);
        }
    } parentScope{script_.get(), script_->Parent(), !nested && script != script_->Parent()};
    if (parentScope.changed)
        script_->SetParent(script);

    TscProcVariable* function = nullptr;
    if (auto found = functions_.find(expression); found != functions_.end())
        function = found->second;
    else
        function = Compile(expression, errorMessage);
    if (function == nullptr)
        return Variant::NullValue();

    // The report's script is not the main program while the function runs, and is again
    // afterwards, also after a failure.
    struct MainProgScope {
        TscScript* main;
        bool was;
        int& depth;
        MainProgScope(TscScript* mainScript, int& runningDepth)
            : main(mainScript), was(mainScript != nullptr && mainScript->MainProg), depth(runningDepth)
        {
            if (main != nullptr)
                main->MainProg = false;
            ++depth;
        }
        ~MainProgScope()
        {
            --depth;
            if (main != nullptr)
                main->MainProg = was;
        }
    } mainProgScope(mainScript_, depth_);

    Variant result;
    try {
        Variant noParams;
        result = script_->CallFunction2(function, noParams);
    } catch (const std::exception& error) {
        const auto* own = dynamic_cast<const platform::Exception*>(&error);
        errorMessage = QString::fromStdString(own != nullptr ? own->Message() : std::string(error.what()));
        if (errorClass != nullptr)
            *errorClass = QString::fromLatin1(ScriptErrorClassName(error));
        if (TscCustomVariable* left = function->Prog()->FindLocal(QStringLiteral("Result")))
            result = left->PValue();
    }
    return result;
}
