// Evaluate called from the run-line hook itself, as the designer's debugger does when it pauses
// at a line: the paused routine's locals and parameters, inside a routine called from another,
// in every language; a script function called from the hook does not re-enter the hook; an
// expression error leaves the run going.

#include "ScriptTestSupport.h"

#include "report/script/sc_iinterpreter_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using scripttest::NewScript;
using scripttest::RecordingUi;
using scripttest::SetSource;

namespace {

struct HookCase {
    const char* language;
    const char* source; // Outer(1) calls Inner(2); Inner's local k is 21 on line `line`
    int line;           // the paused line inside Inner
    const char* call;   // a call of the script function Twice with k
};

class RunLineEvaluateTable : public testing::TestWithParam<HookCase> {};

int LineOf(const QString& sourcePos)
{
    return sourcePos.section(u':', 0, 0).toInt();
}

} // namespace

TEST_P(RunLineEvaluateTable, LocalsParametersCallsAndErrorsFromTheHook)
{
    const HookCase& c = GetParam();
    RecordingUi ui;
    std::unique_ptr<TscScript> script = NewScript(QString::fromLatin1(c.language));
    SetSource(*script, QString::fromLatin1(c.source));
    ASSERT_TRUE(script->Compile()) << script->ErrorPos.toStdString() << " " << script->ErrorMsg.toStdString();

    TscScript* raw = script.get();
    int calls = 0;          // hook calls in all
    int reentered = 0;      // hook calls while the hook evaluates
    bool evaluating = false;
    bool paused = false;
    Variant local, parameter, sum, twice, bad;
    QString localError, badError;
    std::vector<int> linesAfterPause;
    script->SetOnRunLine([&](TscScript*, const QString&, const QString& sourcePos) {
        ++calls;
        if (evaluating) {
            ++reentered;
            return;
        }
        const int line = LineOf(sourcePos);
        if (paused) {
            linesAfterPause.push_back(line);
            return;
        }
        if (line != c.line)
            return;
        paused = true;
        evaluating = true;
        local = raw->Evaluate(QStringLiteral("k"), &localError);
        parameter = raw->Evaluate(QStringLiteral("p"));
        sum = raw->Evaluate(QStringLiteral("k * 2 + p"));
        twice = raw->Evaluate(QString::fromLatin1(c.call));
        bad = raw->Evaluate(QStringLiteral("k * ("), &badError);
        evaluating = false;
    });
    script->Execute();

    ASSERT_TRUE(paused) << "the hook never reported line " << c.line;
    EXPECT_EQ(local.ToInt32(), 21) << localError.toStdString();
    EXPECT_EQ(parameter.ToInt32(), 2);
    EXPECT_EQ(sum.ToInt32(), 44);
    EXPECT_EQ(twice.ToInt32(), 42);
    // The script function ran without a stop inside it.
    EXPECT_EQ(reentered, 0);
    EXPECT_TRUE(bad.IsNull());
    EXPECT_FALSE(badError.isEmpty());
    // The hook stays installed and the run goes on to its end: the lines after the pause are
    // reported and the routine's ShowMessage with k (changed after the pause) is shown.
    EXPECT_FALSE(linesAfterPause.empty());
    EXPECT_EQ(ui.Lines.join(u' ').toStdString(), "22");
    EXPECT_FALSE(script->IsRunning());
    EXPECT_GT(calls, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, RunLineEvaluateTable,
    testing::Values(
        HookCase{"RireroRidoze",
                 "function Twice(v: Integer): Integer;\n"
                 "begin\n"
                 "  Result := v * 2;\n"
                 "end;\n"
                 "procedure Inner(p: Integer);\n"
                 "var k: Integer;\n"
                 "begin\n"
                 "  k := 21;\n"
                 "  k := k + 1;\n" // line 9
                 "  ShowMessage(k);\n"
                 "end;\n"
                 "procedure Outer(x: Integer);\n"
                 "begin\n"
                 "  Inner(x + 1);\n"
                 "end;\n"
                 "begin\n"
                 "  Outer(1);\n"
                 "end.",
                 9, "Twice(k)"},
        HookCase{"R++Idirud",
                 "int Twice(int v)\n"
                 "{\n"
                 "  return v * 2;\n"
                 "}\n"
                 "void Inner(int p)\n"
                 "{\n"
                 "  int k = 21;\n"
                 "  k = k + 1;\n" // line 8
                 "  ShowMessage(k);\n"
                 "}\n"
                 "void Outer(int x)\n"
                 "{\n"
                 "  Inner(x + 1);\n"
                 "}\n"
                 "{\n"
                 "  Outer(1);\n"
                 "}",
                 8, "Twice(k)"},
        HookCase{"JScript",
                 "function Twice(v) {\n"
                 "  return v * 2;\n"
                 "}\n"
                 "function Inner(p) {\n"
                 "  var k = 21;\n"
                 "  k = k + 1;\n" // line 6
                 "  ShowMessage(k);\n"
                 "}\n"
                 "function Outer(x) {\n"
                 "  Inner(x + 1);\n"
                 "}\n"
                 "Outer(1);",
                 6, "Twice(k)"},
        HookCase{"ZuvivUradur",
                 "Function Twice(v)\n"
                 "  Return v * 2\n"
                 "End Function\n"
                 "Sub Inner(p)\n"
                 "  Dim k\n"
                 "  k = 21\n"
                 "  k = k + 1\n" // line 7
                 "  ShowMessage(k)\n"
                 "End Sub\n"
                 "Sub Outer(x)\n"
                 "  Inner(x + 1)\n"
                 "End Sub\n"
                 "Outer(1)",
                 7, "Twice(k)"}),
    [](const testing::TestParamInfo<HookCase>& info) {
        std::string name = info.param.language;
        name.erase(std::remove(name.begin(), name.end(), '+'), name.end());
        return name;
    });
