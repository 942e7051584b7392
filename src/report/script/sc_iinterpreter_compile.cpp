// Compiling, loading and saving compiled code, and Evaluate: the script object's work with
// the parser and the program builder.

#include "sc_iconsts.h"
#include "sc_iexpression.h"
#include "sc_iilparser.h"
#include "sc_iilparser_build.h"
#include "sc_iinterpreter_script.h"
#include "sc_iinterpreter_statements.h"
#include "sc_xml.h"

#include "report/core/ScriptErrors.h"

#include <QIODevice>

#include <new>

namespace {

void PrepareParser(TscScript* script, TscILParser& parser)
{
    parser.SetExtendedCharset(script->ExtendedCharset);
    parser.SetIncludePath(script->IncludePath);
    if (script->OnGetUnit)
        parser.SetOnGetUnit(script->OnGetUnit);
    parser.SelectLanguage(script->SyntaxType);
}

void TakeParseError(TscScript* script, const TscILParser& parser)
{
    script->ErrorMsg = parser.ErrorMsg().isEmpty() ? ScMessage(TscMessage::SSyntaxError) : parser.ErrorMsg();
    script->ErrorPos = parser.ErrorPos();
    script->ErrorUnit = parser.ErrorUnit();
}

} // namespace

void TscScript::RollBack(size_t keep)
{
    // What the failed build added is newest: it goes first, and nothing else is touched.
    ClearProgram();
    while (FItems.size() > keep)
        RemoveAt(FItems.size() - 1, true);
    FCompileFailed = true;
}

bool TscScript::BuildTree(const TscXMLItem* root, const TscILParser* parser)
{
    TscProgramBuilder builder(this, parser);
    return builder.ParseILScript(root);
}

bool TscScript::Compile()
{
    ErrorMsg.clear();
    ErrorPos.clear();
    ErrorUnit.clear();
    FCompileFailed = false;
    const size_t keep = FItems.size();
    TscILParser parser;
    PrepareParser(this, parser);
    if (!parser.MakeILScript(Lines.join(QStringLiteral("\r\n")))) {
        TakeParseError(this, parser);
        RollBack(keep);
        return false;
    }
    if (!BuildTree(parser.ILScript().Root(), &parser)) {
        RollBack(keep);
        return false;
    }
    ErrorPos.clear();
    return true;
}

bool TscScript::Run()
{
    if (!Compile())
        return false;
    Execute();
    return true;
}

bool TscScript::GetILCode(QIODevice& stream)
{
    ErrorMsg.clear();
    ErrorPos.clear();
    ErrorUnit.clear();
    TscILParser parser;
    PrepareParser(this, parser);
    if (!parser.MakeILScript(Lines.join(QStringLiteral("\r\n")))) {
        TakeParseError(this, parser);
        return false;
    }
    parser.ILScript().SaveToStream(stream);
    return true;
}

bool TscScript::SetILCode(QIODevice& stream)
{
    ErrorMsg.clear();
    ErrorPos.clear();
    ErrorUnit.clear();
    FCompileFailed = false;
    const size_t keep = FItems.size();
    TscXMLDocument tree;
    try {
        tree.LoadFromStream(stream);
    } catch (const platform::Exception& error) {
        ErrorMsg = QString::fromStdString(error.Message());
        RollBack(keep);
        return false;
    }
    // The grammar still tells whether names must be declared and how && and || decide.
    TscILParser parser;
    PrepareParser(this, parser);
    if (!BuildTree(tree.Root(), &parser)) {
        RollBack(keep);
        return false;
    }
    ErrorPos.clear();
    return true;
}

Variant TscScript::Evaluate(const QString& expression, QString* error)
{
    EvaluteRiseError = false;
    TscScript* context = FProgRunning != nullptr ? FProgRunning : this;
    std::shared_ptr<TscExpression> compiled = context->FEvaluateCache.value(expression);
    if (!compiled) {
        QString message;
        try {
            // The parser of the last text, unless the settings it was made with changed (an
            // evaluation inside this one makes its own).
            std::unique_ptr<TscILParser> reused = std::move(FEvaluateParser);
            if (!reused || reused->LangName() != SyntaxType || reused->ExtendedCharset() != ExtendedCharset ||
                reused->IncludePath() != IncludePath || OnGetUnit) {
                reused = std::make_unique<TscILParser>();
                PrepareParser(this, *reused);
            }
            TscILParser& parser = *reused;
            struct GiveBack {
                TscScript* Script;
                std::unique_ptr<TscILParser>& Parser;
                ~GiveBack() { Script->FEvaluateParser = std::move(Parser); }
            } giveBack{this, reused};
            if (!parser.MakeILScript(expression, QStringLiteral("expression"), true)) {
                message = parser.ErrorMsg().isEmpty() ? ScMessage(TscMessage::SSyntaxError) : parser.ErrorMsg();
            } else {
                const TscXMLItem* root = parser.ILScript().Root();
                // The expression is the first element, as the parser names it.
                const int index = root->Count() > 0 && root->Items(0)->Name() == QLatin1String("expr")
                                      ? 0
                                      : root->Find(QStringLiteral("expr"));
                if (index < 0) {
                    message = ScMessage(TscMessage::SSyntaxError);
                } else {
                    TscProgramBuilder builder(this, &parser);
                    compiled = builder.BuildExpression(root->Items(index), context);
                }
            }
        } catch (const std::bad_alloc&) {
            message = QString::fromStdString(EOutOfMemory().Message());
        } catch (const platform::Exception& failure) {
            message = QString::fromStdString(failure.Message());
        }
        if (!compiled) {
            EvaluteRiseError = true;
            if (error != nullptr)
                *error = message;
            return Variant::NullValue();
        }
        if (context->FEvaluateCache.size() >= kScMaxEvaluateCache)
            context->FEvaluateCache.clear();
        context->FEvaluateCache.insert(expression, compiled);
    }
    // No debugger stops inside an evaluation; a terminate request still ends it.
    struct RunLineOff {
        TscScript* Script;
        TscRunLineEvent Saved;
        ~RunLineOff() { Script->SetOnRunLine(std::move(Saved)); }
    } off{this, FOnRunLine};
    SetOnRunLine({});
    return RunExpression(*compiled);
}
