#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_expressioncache.h"

#include "report/core/ScriptErrors.h"
#include "report/script/sc_iinterpreter_script.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct CacheFixture : testing::Test {
    void SetUp() override { ModelRuntime::init(); }

    std::unique_ptr<TscScript> NewMainScript(const QString& language)
    {
        auto script = std::make_unique<TscScript>();
        script->SyntaxType = language;
        script->AddRTTI();
        return script;
    }
};

struct LanguageCase {
    const char* language;
    const char* thirdSource; // the source of the third distinct expression, "A + B"
};

void PrintTo(const LanguageCase& c, std::ostream* os)
{
    *os << c.language;
}

class CacheLanguages : public CacheFixture, public testing::WithParamInterface<LanguageCase> {};

} // namespace

TEST_P(CacheLanguages, ThirdExpressionIsFunctionTwoAndEveryLanguageComputes)
{
    const LanguageCase& c = GetParam();
    const QString language = QString::fromLatin1(c.language);
    std::unique_ptr<TscScript> main = NewMainScript(language);
    main->AddVariable(QStringLiteral("A"), QStringLiteral("Integer"), Variant(int32_t{2}));
    main->AddVariable(QStringLiteral("B"), QStringLiteral("Integer"), Variant(int32_t{40}));
    TrpExpressionCache cache(main.get());
    cache.ScriptLanguage = language;

    QString error;
    EXPECT_EQ(cache.Calc(QStringLiteral("1 + 2"), error, main.get()).ToInt32(), 3) << error.toStdString();
    EXPECT_EQ(cache.Calc(QStringLiteral("A * 3"), error, nullptr).ToInt32(), 6) << error.toStdString();
    EXPECT_EQ(cache.Calc(QStringLiteral("A + B"), error, main.get()).ToInt32(), 42) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_EQ(cache.Script().Lines.join(QStringLiteral("\r\n")), QString::fromUtf8(c.thirdSource));
    EXPECT_EQ(*TrpExpressionCache::FunctionSource(language, 2, QStringLiteral("A + B")),
              QString::fromUtf8(c.thirdSource));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, CacheLanguages,
    testing::Values(
        LanguageCase{"RireroRidoze", "function zi3f2: Variant; begin Result := A + B end; begin end."},
        LanguageCase{"R++Idirud", "Variant zi3f2() { return A + B; } {}"},
        LanguageCase{"ZuvivUradur", "function zi3f2\r\nreturn A + B\r\nend function"},
        LanguageCase{"JScript", "function zi3f2() { return A + B; }"}),
    [](const testing::TestParamInfo<LanguageCase>& info) {
        std::string name = info.param.language;
        std::erase(name, '+');
        return name;
    });

TEST_F(CacheFixture, LanguageNamesIgnoreCaseAndOthersHaveNoSource)
{
    EXPECT_TRUE(TrpExpressionCache::FunctionSource(QStringLiteral("jscript"), 0, QStringLiteral("1")).has_value());
    EXPECT_FALSE(TrpExpressionCache::FunctionSource(QStringLiteral("Basic"), 0, QStringLiteral("1")).has_value());
}

TEST_F(CacheFixture, CompiledOnceAndLetterCaseSharesUnlessCaseSensitive)
{
    std::unique_ptr<TscScript> main = NewMainScript(QStringLiteral("RireroRidoze"));
    int calls = 0;
    main->AddMethod(QStringLiteral("function Counted(X: Integer): Integer"), [&calls](TscCallFrame& frame) {
        ++calls;
        return Variant(frame.Arg(0).ToInt32() + 1);
    });
    TrpExpressionCache cache(main.get());
    QString error;
    EXPECT_EQ(cache.Calc(QStringLiteral("Counted(1)"), error, main.get()).ToInt32(), 2);
    EXPECT_EQ(cache.Calc(QStringLiteral("Counted(1)"), error, main.get()).ToInt32(), 2);
    EXPECT_EQ(cache.Calc(QStringLiteral("COUNTED(1)"), error, main.get()).ToInt32(), 2);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(calls, 3);

    cache.SetCaseSensitive(true);
    EXPECT_EQ(cache.Calc(QStringLiteral("COUNTED(1)"), error, main.get()).ToInt32(), 2);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.Script().Lines.join(QString()),
              QStringLiteral("function zi3f1: Variant; begin Result := COUNTED(1) end; begin end."));

    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.Calc(QStringLiteral("Counted(5)"), error, main.get()).ToInt32(), 6);
    EXPECT_EQ(cache.Script().Lines.join(QString()),
              QStringLiteral("function zi3f0: Variant; begin Result := Counted(5) end; begin end."));
}

TEST_F(CacheFixture, ASyntaxErrorGivesItsMessageAndNullEveryTime)
{
    std::unique_ptr<TscScript> main = NewMainScript(QStringLiteral("RireroRidoze"));
    TrpExpressionCache cache(main.get());
    for (int i = 0; i < 2; ++i) {
        QString error;
        const Variant value = cache.Calc(QStringLiteral("1 +"), error, main.get());
        EXPECT_TRUE(value.IsNull());
        EXPECT_TRUE(error.startsWith(QStringLiteral("Ошибка в выражении '1 +': "))) << error.toStdString();
        EXPECT_GT(error.size(), QStringLiteral("Ошибка в выражении '1 +': ").size());
        EXPECT_EQ(cache.Count(), 0);
    }
    // A failed text takes no number: the next good one is function 0.
    QString error;
    EXPECT_EQ(cache.Calc(QStringLiteral("7"), error, main.get()).ToInt32(), 7);
    EXPECT_NE(cache.Script().FindLocal(QStringLiteral("zi3f0")), nullptr);
    EXPECT_EQ(main->FindLocal(QStringLiteral("zi3f0")), nullptr);
    EXPECT_EQ(cache.Count(), 1);

    QString unknown;
    EXPECT_TRUE(cache.Calc(QStringLiteral("Nope"), unknown, main.get()).IsNull());
    EXPECT_TRUE(unknown.startsWith(QStringLiteral("Ошибка в выражении 'Nope': "))) << unknown.toStdString();
}

TEST_F(CacheFixture, RunTimeErrorsCarryTheirClassAndTheMainScriptIsMainAgain)
{
    std::unique_ptr<TscScript> main = NewMainScript(QStringLiteral("RireroRidoze"));
    bool mainDuringCall = true;
    TscScript* raw = main.get();
    main->AddMethod(QStringLiteral("function Probe: Integer"), [raw, &mainDuringCall](TscCallFrame&) {
        mainDuringCall = raw->MainProg;
        return Variant(int32_t{1});
    });
    main->MainProg = true;
    TrpExpressionCache cache(main.get());

    struct ErrorCase {
        const char* expression;
        const char* message;
        const char* errorClass;
    };
    const ErrorCase cases[] = {
        {"1.0 / 0", "Floating point division by zero", "EZeroDivide"},
        {"1 div 0", "Division by zero", "EDivByZero"},
        {"Probe", "", ""},
    };
    for (const ErrorCase& c : cases) {
        QString error;
        QString errorClass;
        cache.Calc(QString::fromLatin1(c.expression), error, main.get(), &errorClass);
        EXPECT_EQ(error.toStdString(), c.message) << c.expression;
        EXPECT_EQ(errorClass.toStdString(), c.errorClass) << c.expression;
        EXPECT_TRUE(main->MainProg) << c.expression;
    }
    EXPECT_FALSE(mainDuringCall);
}

TEST_F(CacheFixture, ExpressionsSeeTheLocalsOfTheAskingRoutineAndMayNest)
{
    std::unique_ptr<TscScript> main = NewMainScript(QStringLiteral("RireroRidoze"));
    TrpExpressionCache cache(main.get());
    QStringList seen;
    // Evaluates its text as an expression in the program that calls it, as IIF does.
    main->AddMethod(QStringLiteral("macrofunction Eval(Text: Variant): Variant"), [&cache, &seen](TscCallFrame& frame) {
        QString error;
        const Variant value = cache.Calc(frame.Arg(0).ToString(), error, frame.Script);
        if (!error.isEmpty())
            seen << error;
        return value;
    });
    main->Lines = QStringList{QStringLiteral("var Total: Variant;"),
                              QStringLiteral("procedure R; var k: Integer; begin k := 21; Total := Eval(k * 2) end;"),
                              QStringLiteral("begin R end.")};
    ASSERT_TRUE(main->Compile()) << main->ErrorMsg.toStdString();
    main->Execute();
    EXPECT_EQ(main->Find(QStringLiteral("Total"))->GetValue().ToInt32(), 42) << seen.join(u'\n').toStdString();

    // An expression that asks for another one while it runs.
    QString error;
    EXPECT_EQ(cache.Calc(QStringLiteral("Eval(2 + 3) * 2"), error, main.get()).ToInt32(), 10)
        << error.toStdString() << seen.join(u'\n').toStdString();
    EXPECT_TRUE(seen.isEmpty()) << seen.join(u'\n').toStdString();
    // Between evaluations the cache hangs under the report's script again.
    EXPECT_EQ(cache.Script().Parent(), main.get());
}

TEST_F(CacheFixture, ClearingWhileAnExpressionRunsIsRefused)
{
    std::unique_ptr<TscScript> main = NewMainScript(QStringLiteral("RireroRidoze"));
    TrpExpressionCache cache(main.get());
    QString refused;
    main->AddMethod(QStringLiteral("function ClearCache: Integer"), [&cache, &refused](TscCallFrame&) {
        try {
            cache.Clear();
        } catch (const platform::Exception& error) {
            refused = QString::fromStdString(error.Message());
        }
        return Variant(int32_t{0});
    });
    QString error;
    cache.Calc(QStringLiteral("ClearCache + 1"), error, main.get());
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_FALSE(refused.isEmpty());
    EXPECT_EQ(cache.Count(), 1);
}
