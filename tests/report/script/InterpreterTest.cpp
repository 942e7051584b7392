#include "ScriptTestSupport.h"
#include "TestClasses.h"

#include "platform/DateTime.h"
#include "report/script/sc_iexpression.h"
#include "report/script/sc_iinterpreter_statements.h"
#include "report/script/sc_itools.h"
#include "report/script/sc_itools_types.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <thread>

using scripttest::NewScript;
using scripttest::RecordingUi;
using scripttest::RunScript;
using scripttest::SetSource;

namespace {

// Runs source with the test classes registered.
std::string RunWithObjects(const QString& language, const QString& source, scripttest::TestObjects& objects)
{
    return RunScript(language, source, [&objects](TscScript& script) { objects.Register(script); });
}

Variant Params(std::initializer_list<Variant> values)
{
    const VariantArrayBound bounds[] = {{0, static_cast<int32_t>(values.size()) - 1}};
    Variant array = Variant::CreateArray(bounds);
    int32_t i = 0;
    for (const Variant& value : values) {
        const int32_t index[] = {i++};
        array.SetArrayItem(index, value);
    }
    return array;
}

Variant Element(const Variant& array, int32_t i)
{
    const int32_t index[] = {i};
    return array.ArrayItem(index);
}

} // namespace

// --- Symbol table and registration -----------------------------------------------------------

TEST(SymbolTable, NewestOfEqualNamesIsFoundFoldingCaseBeyondAscii)
{
    TscScript script;
    TscVariable* first = script.AddItem(QStringLiteral("Ёлка"), std::make_unique<TscVariable>(u"Ёлка"_qs, fvtInt, u"Integer"_qs));
    EXPECT_EQ(script.Find(QStringLiteral("ёЛКА")), first);
    TscVariable* second = script.AddItem(QStringLiteral("ёлка"), std::make_unique<TscVariable>(u"ёлка"_qs, fvtInt, u"Integer"_qs));
    EXPECT_EQ(script.Find(QStringLiteral("ЁЛКА")), second);
    std::unique_ptr<TscObject> taken = script.Remove(second);
    EXPECT_EQ(taken.get(), second);
    EXPECT_EQ(script.Find(QStringLiteral("ёлка")), first);
    // Lookups go on in the parent, local ones do not.
    TscScript child(&script);
    EXPECT_EQ(child.Find(QStringLiteral("ёлка")), first);
    EXPECT_EQ(child.FindLocal(QStringLiteral("ёлка")), nullptr);
}

TEST(SymbolTable, ModuleObjectsAreNoValues)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    EXPECT_EQ(script->FindLocal(QString()), nullptr);
    EXPECT_NE(script->FindLocal(QStringLiteral("ShowMessage")), nullptr);
    EXPECT_EQ(dynamic_cast<TscClassVariable*>(script->FindLocal(QStringLiteral("ShowMessage"))), nullptr);
}

TEST(SymbolTable, EnumsAndSets)
{
    TscScript script;
    script.AddEnum(QStringLiteral("TColor3"), QStringLiteral("clRed, clGreen ,clBlue"));
    script.AddEnumSet(QStringLiteral("TStyle3"), QStringLiteral("fsBold,fsItalic,fsUnderline"));
    const struct {
        const char* name;
        int32_t value;
        const char* type;
    } expected[] = {{"clRed", 0, "TColor3"},     {"clGreen", 1, "TColor3"},   {"clBlue", 2, "TColor3"},
                    {"fsBold", 1, "TStyle3"},    {"fsItalic", 2, "TStyle3"},  {"fsUnderline", 4, "TStyle3"}};
    for (const auto& e : expected) {
        TscCustomVariable* item = script.Find(QString::fromLatin1(e.name));
        ASSERT_NE(item, nullptr) << e.name;
        EXPECT_EQ(item->Typ, fvtEnum);
        EXPECT_EQ(item->TypeName, QString::fromLatin1(e.type));
        EXPECT_EQ(item->GetValue().AsInt32(), e.value) << e.name;
        EXPECT_TRUE(item->IsReadOnly);
    }
    EXPECT_EQ(script.Find(QStringLiteral("TColor3"))->Typ, fvtEnum);
}

TEST(SymbolTable, ClearKeepsTheLibraryAndClearRTTIRemovesIt)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    script->AddVariable(QStringLiteral("Mine"), QStringLiteral("Integer"), Variant(int32_t{1}));
    SetSource(*script, QStringLiteral("var x: Integer; begin x := 1; end."));
    ASSERT_TRUE(script->Compile());
    script->Clear();
    EXPECT_EQ(script->Find(QStringLiteral("Mine")), nullptr);
    EXPECT_EQ(script->Find(QStringLiteral("x")), nullptr);
    EXPECT_NE(script->Find(QStringLiteral("ShowMessage")), nullptr);
    EXPECT_NE(script->Find(QStringLiteral("Integer")), nullptr);
    EXPECT_EQ(script->Statement()->Count(), 0);
    script->ClearRTTI();
    EXPECT_EQ(script->Find(QStringLiteral("ShowMessage")), nullptr);
    EXPECT_EQ(script->Find(QStringLiteral("Integer")), nullptr);
    EXPECT_EQ(script->Count(), 0);
    script->AddRTTI();
    EXPECT_NE(script->Find(QStringLiteral("ShowMessage")), nullptr);
}

TEST(SymbolTable, ClearItemsRemovesOneOwner)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    int ownerA = 0;
    int ownerB = 0;
    script->AddedBy = &ownerA;
    script->AddVariable(QStringLiteral("A1"), QStringLiteral("Integer"), Variant(int32_t{1}));
    script->AddedBy = &ownerB;
    script->AddVariable(QStringLiteral("B1"), QStringLiteral("Integer"), Variant(int32_t{1}));
    script->AddedBy = nullptr;
    script->ClearItems(&ownerA);
    EXPECT_EQ(script->Find(QStringLiteral("A1")), nullptr);
    EXPECT_NE(script->Find(QStringLiteral("B1")), nullptr);
}

TEST(SymbolTable, SetParentMovesLookupsAndTheRoot)
{
    std::unique_ptr<TscScript> main = NewScript(QStringLiteral("RireroRidoze"));
    main->AddVariable(QStringLiteral("K"), QStringLiteral("Integer"), Variant(int32_t{21}));
    TscScript child;
    child.SyntaxType = QStringLiteral("RireroRidoze");
    EXPECT_EQ(child.Find(QStringLiteral("K")), nullptr);
    child.SetParent(main.get());
    EXPECT_EQ(child.Root(), main.get());
    SetSource(child, QStringLiteral("function F: Variant; begin Result := K * 2 end; begin end."));
    ASSERT_TRUE(child.Compile()) << child.ErrorMsg.toStdString();
    auto* f = dynamic_cast<TscProcVariable*>(child.FindLocal(QStringLiteral("F")));
    ASSERT_NE(f, nullptr);
    // The routine's own program follows the new root too.
    EXPECT_EQ(f->Prog()->Root(), main.get());
    Variant none;
    EXPECT_EQ(child.CallFunction2(f, none).ToInt32(), 42);

    // Neither the program itself nor one of its routines can enclose it.
    EXPECT_THROW(child.SetParent(&child), EScriptException);
    EXPECT_THROW(child.SetParent(f->Prog()), EScriptException);
    EXPECT_THROW(main->SetParent(&child), EScriptException);
    child.SetParent(nullptr);
    EXPECT_EQ(child.Root(), &child);
    EXPECT_EQ(f->Prog()->Root(), &child);
}

// --- Compiling ------------------------------------------------------------------------------

struct CompileErrorCase {
    const char* name;
    const char* language;
    const char* source;
    const char* message;
    const char* position;
    const char* unit = "";
};

void PrintTo(const CompileErrorCase& c, std::ostream* os)
{
    *os << c.name;
}

class CompileErrors : public testing::TestWithParam<CompileErrorCase> {};

TEST_P(CompileErrors, ReportMessageAndPlace)
{
    const CompileErrorCase& c = GetParam();
    scripttest::TestObjects objects;
    std::unique_ptr<TscScript> script = NewScript(QString::fromLatin1(c.language));
    objects.Register(*script);
    script->OnGetUnit = [](const QString& unit, QString& text) {
        if (unit == u"bad.pas")
            text = QStringLiteral("procedure Bad;\nbegin\n  y := 1;\nend;\nbegin end.");
    };
    const int before = script->Count();
    SetSource(*script, QString::fromUtf8(c.source));
    ASSERT_FALSE(script->Compile());
    EXPECT_EQ(script->ErrorMsg.toStdString(), c.message);
    EXPECT_EQ(script->ErrorPos.toStdString(), c.position);
    EXPECT_EQ(script->ErrorUnit.toStdString(), c.unit);
    // Nothing of the failed compile stays, and the script does not run.
    EXPECT_EQ(script->Count(), before);
    EXPECT_EQ(script->Statement()->Count(), 0);
    try {
        script->Execute();
        FAIL() << "ran after a failed compile";
    } catch (const EScriptError& e) {
        EXPECT_EQ(e.Message(), "The script did not compile");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompileErrors,
    testing::Values(
        CompileErrorCase{"undeclared", "RireroRidoze", "begin\n  x := 1;\nend.", "Undeclared identifier: 'x'", "2:4"},
        CompileErrorCase{"real_to_integer", "RireroRidoze", "var i: Integer;\nbegin\n  i := 1.5;\nend.",
                         "Incompatible types: 'Integer', 'Extended'", "3:3"},
        CompileErrorCase{"text_times_number", "RireroRidoze", "var v: Variant;\nbegin\n  v := 'abc' * 2;\nend.",
                         "Incompatible types", "3:15"},
        CompileErrorCase{"redeclared", "RireroRidoze", "var a: Integer;\n  a: String;\nbegin end.",
                         "Identifier redeclared: 'a'", "2:4"},
        CompileErrorCase{"unknown_type", "RireroRidoze", "var a: TNothing;\nbegin end.", "Unknown type: 'TNothing'",
                         "1:6"},
        CompileErrorCase{"literal_to_var_parameter", "RireroRidoze",
                         "procedure P(var x: Integer);\nbegin\nend;\nbegin\n  P(5);\nend.", "Variable required", "5:5"},
        CompileErrorCase{"not_enough", "RireroRidoze",
                         "procedure P(a, b: Integer);\nbegin\nend;\nbegin\n  P(1);\nend.",
                         "Not enough actual parameters", "5:4"},
        CompileErrorCase{"too_many", "RireroRidoze", "procedure P(a: Integer);\nbegin\nend;\nbegin\n  P(1, 2);\nend.",
                         "Too many actual parameters", "5:4"},
        CompileErrorCase{"constant_target", "RireroRidoze", "const C = 1;\nbegin\n  C := 2;\nend.",
                         "Left side cannot be assigned to", "3:3"},
        CompileErrorCase{"for_on_text", "RireroRidoze", "var s: String;\nbegin\n  for s := 1 to 2 do ;\nend.",
                         "For loop variable must be numeric variable", "3:8"},
        CompileErrorCase{"member_of_text", "RireroRidoze", "var s: String;\nbegin\n  s.Length := 1;\nend.",
                         "Strings doesn't have properties or methods", "3:11"},
        CompileErrorCase{"index_of_integer", "RireroRidoze", "var i: Integer;\nbegin\n  i[1] := 2;\nend.",
                         "Array type required", "3:5"},
        CompileErrorCase{"with_integer", "RireroRidoze", "var i: Integer;\nbegin\n  with i do ;\nend.",
                         "Class type required", "3:9"},
        CompileErrorCase{"delete_integer", "R++Idirud", "int x;\n{\n  delete x;\n}", "Class type required", "3:11"},
        CompileErrorCase{"class_name_alone", "RireroRidoze", "var v: Variant;\nbegin\n  v := TTestObj;\nend.",
                         "Class name used alone: 'TTestObj' (a constructor or a typecast expected)", "3:16"},
        CompileErrorCase{"unknown_member", "RireroRidoze", "var o: TTestObj;\nbegin\n  o.Nothing := 1;\nend.",
                         "Undeclared identifier: 'Nothing'", "3:12"},
        CompileErrorCase{"index_of_procedure", "RireroRidoze", "var i: Integer;\nbegin\n  i := ShowMessage[1];\nend.",
                         "Not enough actual parameters", "3:19"},
        CompileErrorCase{"constant_overflows_stack", "RireroRidoze",
                         "function F: Integer;\nbegin\n  Result := F;\nend;\nconst C = F;\nbegin end.", "Stack overflow",
                         "5:12"},
        CompileErrorCase{"error_in_unit", "RireroRidoze", "uses 'bad.pas';\nbegin end.", "Undeclared identifier: 'y'",
                         "3:4", "bad.pas"},
        CompileErrorCase{"undeclared_in_cpp", "R++Idirud", "{\n  x = 1;\n}", "Undeclared identifier: 'x'", "2:4"},
        CompileErrorCase{"var_required_js", "JScript", "function P(&a) { a = 1; }\nP(2);", "Variable required", "2:3"}),
    [](const testing::TestParamInfo<CompileErrorCase>& info) { return std::string(info.param.name); });

TEST(Compile, ARoutineCanBeCalledAboveItsText)
{
    EXPECT_EQ(RunScript(QStringLiteral("RireroRidoze"),
                        QStringLiteral("procedure A;\nbegin B; end;\nprocedure B;\nbegin ShowMessage('b'); end;\nbegin A; end.")),
              "b");
}

TEST(Compile, UnknownLanguageRaises)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    script->SyntaxType = QStringLiteral("Klingon");
    SetSource(*script, QStringLiteral("begin end."));
    try {
        script->Compile();
        FAIL() << "no error";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.Message(), "Language 'Klingon' not found");
    }
}

TEST(Compile, AFlatChainOfOperatorsIsBoundedNotRecursed)
{
    QString source = QStringLiteral("var v: Variant;\nbegin\n  v := 1");
    for (int i = 0; i < 100000; ++i)
        source += QStringLiteral("+1");
    source += QStringLiteral(";\nend.");
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    SetSource(*script, source);
    EXPECT_FALSE(script->Compile());
    EXPECT_FALSE(script->ErrorMsg.isEmpty());
}

TEST(Compile, UntrustedProgramTreesAreCompileErrors)
{
    const char* trees[] = {
        "<?xml version=\"1.0\"?><program><bogus/></program>",
        "<?xml version=\"1.0\"?><program><assignstmt/></program>",
        "<?xml version=\"1.0\"?><program><assignstmt><dsgn/></assignstmt></program>",
        "<?xml version=\"1.0\"?><program><ifstmt><expr><op text=\"+\"/></expr></ifstmt></program>",
        "<?xml version=\"1.0\"?><program><ifstmt><expr><op text=\")\"/></expr></ifstmt></program>",
        "<?xml version=\"1.0\"?><program><callstmt><dsgn><expr/></dsgn></callstmt></program>",
        "<?xml version=\"1.0\"?><program><forstmt><ident text=\"ShowMessage\"/></forstmt></program>",
        "<?xml version=\"1.0\"?><program><function/></program>",
        "<?xml version=\"1.0\"?><program><casestmt><expr><number text=\"1\"/></expr><caseselector><number text=\"1\"/></caseselector></casestmt></program>",
        "<?xml version=\"1.0\"?><program><var><ident text=\"a\"/><array><dim><expr><number text=\"2000000000\"/></expr></dim></array><type text=\"Integer\"/></var></program>",
        "<?xml version=\"1.0\"?><notaprogram/>",
        "not xml at all",
    };
    for (const char* tree : trees) {
        std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
        QByteArray bytes(tree);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_FALSE(script->SetILCode(buffer)) << tree << " " << script->ErrorMsg.toStdString();
        EXPECT_FALSE(script->ErrorMsg.isEmpty()) << tree;
    }
    // A deep tree is refused before anything recurses on it.
    QByteArray deep("<?xml version=\"1.0\"?><program>");
    for (int i = 0; i < 3000; ++i)
        deep += "<compoundstmt>";
    for (int i = 0; i < 3000; ++i)
        deep += "</compoundstmt>";
    deep += "</program>";
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    QBuffer buffer(&deep);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_FALSE(script->SetILCode(buffer));
}

// --- Calls from native code -----------------------------------------------------------------

TEST(CallFunction, CopiesEveryParameterBackAndFillsDefaults)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    SetSource(*script, QStringLiteral("procedure P(var a: Integer; b: Integer);\nbegin\n  a := a + b;\n  b := 0;\nend;\n"
                                      "function F(a: Integer; b: Integer = 5): Integer;\nbegin\n  Result := a * b;\nend;\n"
                                      "begin end."));
    ASSERT_TRUE(script->Compile()) << script->ErrorMsg.toStdString();
    Variant params = Params({Variant(int32_t{1}), Variant(int32_t{2})});
    script->CallFunction1(QStringLiteral("P"), params);
    EXPECT_EQ(Element(params, 0).AsInt32(), 3);
    EXPECT_EQ(Element(params, 1).AsInt32(), 0);
    params = Params({Variant(int32_t{1}), Variant(int32_t{2})});
    script->CallFunction(QStringLiteral("P"), params);
    EXPECT_EQ(Element(params, 0).AsInt32(), 1);

    Variant one = Params({Variant(int32_t{3})});
    EXPECT_EQ(script->CallFunction(QStringLiteral("F"), one).AsInt32(), 15);
    Variant two = Params({Variant(int32_t{3}), Variant(int32_t{2})});
    EXPECT_EQ(script->CallFunction(QStringLiteral("F"), two).AsInt32(), 6);
    // The default again, not what the previous call left.
    EXPECT_EQ(script->CallFunction(QStringLiteral("F"), one).AsInt32(), 15);

    Variant none;
    EXPECT_THROW(script->CallFunction(QStringLiteral("P"), none), EScriptError);
    Variant three = Params({Variant(int32_t{1}), Variant(int32_t{2}), Variant(int32_t{3})});
    EXPECT_THROW(script->CallFunction(QStringLiteral("P"), three), EScriptError);
    EXPECT_TRUE(script->CallFunction(QStringLiteral("Nothing"), none).IsNull());
    EXPECT_TRUE(script->CallFunction(QStringLiteral("ShowMessage"), none).IsNull());
}

TEST(CallFunction, ReEntryKeepsTheRunningRoutinesLocalsAndArguments)
{
    RecordingUi ui;
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    TscScript* raw = script.get();
    // A native function that calls back into the script with its own argument.
    script->AddMethod(QStringLiteral("function Back(n: Integer): Integer"), [raw](TscCallFrame& frame) {
        const int32_t n = frame.Arg(0).ToInt32();
        if (n <= 0)
            return Variant(int32_t{0});
        std::vector<Variant> arguments{Variant(n - 1)};
        raw->CallFunction(QStringLiteral("Walk"), arguments);
        // The argument of this call is still its own.
        return frame.Arg(0);
    });
    SetSource(*script, QStringLiteral("function Walk(n: Integer): Integer;\nvar k: Integer;\nbegin\n"
                                      "  k := n * 100;\n  Result := Back(n);\n  ShowMessage(k + Result);\nend;\n"
                                      "begin Walk(2); end."));
    ASSERT_TRUE(script->Compile()) << script->ErrorMsg.toStdString();
    script->Execute();
    EXPECT_EQ(ui.Lines.join(u' ').toStdString(), "0 101 202");
}

// --- Terminating ----------------------------------------------------------------------------

TEST(Terminate, FromRunLineInsideANestedRoutineStopsEverything)
{
    RecordingUi ui;
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    SetSource(*script, QStringLiteral("procedure Inner;\nbegin\n  while True do ;\nend;\n"
                                      "procedure Outer;\nbegin\n  Inner;\n  ShowMessage('after inner');\nend;\n"
                                      "begin\n  Outer;\n  ShowMessage('after outer');\nend."));
    ASSERT_TRUE(script->Compile());
    int lines = 0;
    TscScript* raw = script.get();
    script->SetOnRunLine([&lines, raw](TscScript*, const QString&, const QString&) {
        if (++lines == 1000)
            raw->Terminate();
    });
    script->Execute();
    EXPECT_EQ(lines, 1000);
    EXPECT_TRUE(ui.Lines.isEmpty());
    // The next run starts afresh.
    SetSource(*script, QString());
    script->SetOnRunLine({});
    EXPECT_FALSE(script->IsRunning());
}

TEST(Terminate, ARequestFromAnotherThreadEndsEmptyLoopsAndRecursion)
{
    const char* sources[] = {
        "begin\n  while True do ;\nend.",
        "begin\n  repeat until False;\nend.",
        "var i: Integer;\nbegin\n  for i := 1 to 2147483647 do ;\nend.",
        "procedure P;\nbegin\n  while True do P;\nend;\nbegin P; end.",
    };
    for (const char* source : sources) {
        std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
        SetSource(*script, QString::fromLatin1(source));
        ASSERT_TRUE(script->Compile()) << source;
        std::atomic<bool> done{false};
        TscScript* raw = script.get();
        std::thread stopper([raw, &done] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            raw->RequestTerminate();
            done = true;
        });
        try {
            script->Execute();
        } catch (const EStackOverflow&) {
            // The recursive case may hit the depth limit first; either way it ends.
        }
        stopper.join();
        EXPECT_TRUE(done.load()) << source;
    }
}

// --- Evaluate -------------------------------------------------------------------------------

struct EvaluateCase {
    const char* language;
    const char* source;   // calls Probe inside a routine with a local k = 21
    const char* good;     // an expression with the local
};

class EvaluateTable : public testing::TestWithParam<EvaluateCase> {};

TEST_P(EvaluateTable, ConstantsLocalsAndErrors)
{
    const EvaluateCase& c = GetParam();
    std::unique_ptr<TscScript> script = NewScript(QString::fromLatin1(c.language));
    TscScript* raw = script.get();
    Variant seen;
    QString error = QStringLiteral("none");
    script->AddMethod(QStringLiteral("procedure Probe"), [raw, &seen, &error, &c](TscCallFrame&) {
        seen = raw->Evaluate(QString::fromLatin1(c.good), &error);
        return Variant();
    });
    SetSource(*script, QString::fromLatin1(c.source));
    ASSERT_TRUE(script->Compile()) << script->ErrorPos.toStdString() << " " << script->ErrorMsg.toStdString();

    QString failure;
    EXPECT_EQ(script->Evaluate(QStringLiteral("1+2"), &failure).ToInt32(), 3);
    EXPECT_FALSE(script->EvaluteRiseError);
    EXPECT_TRUE(script->Evaluate(QStringLiteral("1+"), &failure).IsNull());
    EXPECT_TRUE(script->EvaluteRiseError);
    EXPECT_FALSE(failure.isEmpty());

    script->Execute();
    EXPECT_EQ(seen.ToInt32(), 42) << error.toStdString();
    // Cached: the same text again gives the same.
    EXPECT_EQ(script->Evaluate(QStringLiteral("1+2")).ToInt32(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, EvaluateTable,
    testing::Values(EvaluateCase{"RireroRidoze", "procedure R;\nvar k: Integer;\nbegin\n  k := 21;\n  Probe;\nend;\nbegin R; end.",
                                 "k * 2"},
                    EvaluateCase{"R++Idirud", "void R() { int k = 21; Probe(); }\n{ R(); }", "k * 2"},
                    EvaluateCase{"JScript", "function R() { var k = 21; Probe(); }\nR();", "k * 2"},
                    EvaluateCase{"ZuvivUradur", "Sub R\n  Dim k\n  k = 21\n  Probe\nEnd Sub\nR", "k * 2"}),
    [](const testing::TestParamInfo<EvaluateCase>& info) {
        std::string name = info.param.language;
        name.erase(std::remove(name.begin(), name.end(), '+'), name.end());
        return name;
    });

// --- String literals ------------------------------------------------------------------------

TEST(StringLiteral, PlainTextsComeBackUnchangedInEveryLanguage)
{
    const char* const texts[] = {
        "",
        "It's \"quoted\" ''",
        "[a] (b) {c} <d> <Data.\"Value\">",
        "x; y := 1; end. begin",
        "back\\slash \\n \\x41 \\",
        "line\r\nbreak\n",
        "\ttab and \x01 start",
        "#13 'Ёлки' /* // rem */ {",
        "ООО \"Тепло\", ул. Ленина, д. 5; кв. 7",
    };
    for (const char* language : {"RireroRidoze", "R++Idirud", "JScript", "ZuvivUradur"}) {
        std::unique_ptr<TscScript> script = NewScript(QString::fromLatin1(language));
        for (const char* text : texts) {
            const QString plain = QString::fromUtf8(text);
            const QString literal = ScStringLiteral(QString::fromLatin1(language), plain);
            QString error;
            const Variant value = script->Evaluate(literal, &error);
            EXPECT_TRUE(error.isEmpty()) << language << " " << literal.toStdString() << " " << error.toStdString();
            EXPECT_EQ(value.ToString(), plain) << language << " " << literal.toStdString();
        }
    }
    EXPECT_EQ(ScStringLiteral(QStringLiteral("RireroRidoze"), QStringLiteral("It's\r\n")), QStringLiteral("'It''s'#13#10"));
    EXPECT_EQ(ScStringLiteral(QStringLiteral("R++Idirud"), QStringLiteral("a\"b\\")), QStringLiteral("\"a\\\"b\\\\\""));
    EXPECT_EQ(ScStringLiteral(QStringLiteral("ZuvivUradur"), QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
}

// --- Objects --------------------------------------------------------------------------------

TEST(Objects, HandlesNilDestroyedForgedAndWrongClass)
{
    scripttest::TestObjects objects;
    const std::string output = RunWithObjects(QStringLiteral("RireroRidoze"), QStringLiteral(R"(
var
  o, d: TTestObj;
  other: TOtherObj;
  i, v: Variant;
procedure Show;
begin
  ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
end;
begin
  o := TTestObj.Create;
  o.Value := 5;
  ShowMessage(o.Value);
  i := o;
  ShowMessage(TTestObj(i).Value);
  ShowMessage(o is TTestObj);
  ShowMessage(o is TOtherObj);
  d := TDerivedObj.Create;
  ShowMessage(d is TTestObj);
  ShowMessage(d.Kind);
  other := TOtherObj.Create;
  try ShowMessage(TTestObj(other).Value); except Show; end;
  o.Free;
  try ShowMessage(o.Value); except Show; end;
  try ShowMessage(TTestObj(i).Value); except Show; end;
  o := nil;
  try o.Value := 1; except Show; end;
  i := 12345;
  try ShowMessage(TTestObj(i).Value); except Show; end;
  v := 'text';
  try ShowMessage(TTestObj(v).Value); except Show; end;
  ShowMessage(o is TTestObj);
end.)"),
                                              objects);
    EXPECT_EQ(output, "5\n5\nTrue\nFalse\nTrue\ntest\n"
                      "EInvalidCast: Invalid class typecast\n"
                      "EAccessViolation: Object was destroyed\n"
                      "EAccessViolation: Object was destroyed\n"
                      "EAccessViolation: Object reference is nil\n"
                      "EAccessViolation: Invalid object reference\n"
                      "EInvalidCast: Invalid class typecast\n"
                      "False");
}

TEST(Objects, LateBoundPathsFollowTheClassOfTheValue)
{
    scripttest::TestObjects objects;
    EXPECT_EQ(RunWithObjects(QStringLiteral("JScript"), QStringLiteral(R"(
var list[3];
var i, v;
list[0] = TTestObj.Create();
list[1] = TOtherObj.Create();
list[2] = TDerivedObj.Create();
for (i = 0; i < 3; i++) {
  v = list[i];
  v.Value = i * 10;
  ShowMessage(v.Kind);
  ShowMessage(v.Value);
  ShowMessage(v[1]);
}
v = 5;
v.Kind;
)"),
                             objects),
              "test\n0\n1\nother\n10\n11\nderived\n20\n21\nEAccessViolation: Invalid object reference");
}

TEST(Objects, NestedWithResolvesTheInnermostMember)
{
    scripttest::TestObjects objects;
    EXPECT_EQ(RunWithObjects(QStringLiteral("RireroRidoze"), QStringLiteral(R"(
var
  a, b: TTestObj;
  o: TOtherObj;
  Kind: String;
begin
  a := TTestObj.Create;
  b := TDerivedObj.Create;
  o := TOtherObj.Create;
  a.Value := 1;
  b.Value := 2;
  with a do
  begin
    ShowMessage(Value);
    with b, o do
    begin
      Value := 30;
      ShowMessage(Kind);
    end;
    ShowMessage(Value);
  end;
  ShowMessage(b.Value);
  ShowMessage(o.Value);
  ShowMessage(a[5]);
  a[5] := 100;
  ShowMessage(a.Value);
end.)"),
                             objects),
              "1\nother\n1\n2\n30\n6\n95");
}

TEST(Objects, CallStatementsAndDeleteInCLanguages)
{
    scripttest::TestObjects objects;
    EXPECT_EQ(RunWithObjects(QStringLiteral("R++Idirud"), QStringLiteral(R"(
TTestObj o;
{
  o = new TTestObj;
  o.Value = 3;
  ShowMessage(o.Value);
  delete o;
  try { ShowMessage(o.Value); } except { ShowMessage(ExceptionMessage); }
}
)"),
                             objects),
              "3\nObject was destroyed");
    EXPECT_TRUE(objects.Objects.empty());
}

TEST(Objects, PropertiesAndPaths)
{
    scripttest::TestObjects objects;
    EXPECT_EQ(RunWithObjects(QStringLiteral("RireroRidoze"), QStringLiteral(R"(
var
  o: TTestObj;
  v: Variant;
begin
  o := TTestObj.Create;
  o.Value := 2;
  ShowMessage(o.Flag);
  o.Value := 0;
  ShowMessage(o.Flag);
  o.Twin.Twin.Value := 7;
  ShowMessage(o.Twin.Value);
  o.Cell[3, 'x'] := 'y';
  ShowMessage(o.Cell[4, 'z']);
  v := o;
  v.Kind := 'changed';
  ShowMessage(v.Kind);
  ShowMessage(v.Twin.Cell[1, 'a']);
end.)"),
                             objects),
              "True\nFalse\n7\nCELL.GET 4 z\ntest\nCELL.GET 1 a");
    EXPECT_EQ(objects.Calls.join(u'|').toStdString(), "CELL.SET 3 x y|CELL.GET 4 z|CELL.GET 1 a");
    // A property without a setter is no assignment target where its path is known.
    EXPECT_EQ(RunWithObjects(QStringLiteral("RireroRidoze"),
                             QStringLiteral("var o: TTestObj;\nbegin\n  o.Kind := 'x';\nend."), objects),
              "3:3: Left side cannot be assigned to");
}

TEST(Compile, UnitsCanComeAsCompiledCode)
{
    RecordingUi ui;
    QByteArray unitCode;
    {
        std::unique_ptr<TscScript> unit = NewScript(QStringLiteral("RireroRidoze"));
        SetSource(*unit, QStringLiteral("procedure Hello;\nbegin\n  ShowMessage('from code');\nend;\nbegin end."));
        QBuffer buffer(&unitCode);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(unit->GetILCode(buffer));
    }
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    script->OnGetILUnit = [&](const QString& name, QString& code) {
        if (name == u"hello.pas")
            code = QString::fromUtf8(unitCode);
    };
    script->OnGetUnit = [](const QString&, QString& text) { text = QStringLiteral("begin end."); };
    SetSource(*script, QStringLiteral("uses 'hello.pas';\nbegin\n  Hello;\nend."));
    ASSERT_TRUE(script->Compile()) << script->ErrorMsg.toStdString();
    script->Execute();
    EXPECT_EQ(ui.Lines.join(u' ').toStdString(), "from code");
}

// --- Limits ---------------------------------------------------------------------------------

TEST(Limits, CallDepthIsNamedAndSettable)
{
    RecordingUi ui;
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    SetSource(*script, QStringLiteral("var n: Integer;\nprocedure Down;\nbegin\n  n := n + 1;\n  Down;\nend;\n"
                                      "begin\n  try\n    Down;\n  except\n    ShowMessage(n);\n  end;\nend."));
    ASSERT_TRUE(script->Compile());
    EXPECT_EQ(script->MaxCallDepth(), kScDefaultMaxCallDepth);
    script->Execute();
    EXPECT_EQ(ui.Lines.value(0).toStdString(), std::to_string(kScDefaultMaxCallDepth));
    script->SetMaxCallDepth(50);
    script->SetVariable(QStringLiteral("n"), Variant(int32_t{0}));
    script->Execute();
    EXPECT_EQ(ui.Lines.value(1).toStdString(), "50");
    // Without a usable limit the stack guard ends it, still as a script error.
    script->SetMaxCallDepth(100000000);
    script->SetVariable(QStringLiteral("n"), Variant(int32_t{0}));
    script->Execute();
    EXPECT_GT(ui.Lines.value(2).toInt(), kScDefaultMaxCallDepth);
}

TEST(Limits, OneTextOrArrayIsCapped)
{
    EXPECT_EQ(RunScript(QStringLiteral("RireroRidoze"),
                        QStringLiteral("var s: String; i: Integer;\nbegin\n  s := 'x';\n  try\n    for i := 1 to 40 do s := s + s;\n"
                                       "  except\n    ShowMessage(ExceptionClassName + ':' + ExceptionMessage);\n  end;\n"
                                       "  ShowMessage(i);\nend.")),
              "EOutOfMemory:Out of memory\n25");
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    SetSource(*script, QStringLiteral("var a: array[0..100000, 0..100000] of Integer;\nbegin end."));
    EXPECT_FALSE(script->Compile());
    EXPECT_EQ(script->ErrorMsg.toStdString(), "Out of memory");
}

// --- Tool functions -------------------------------------------------------------------------

TEST(Tools, TokenToValueIsLocaleFree)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr);
    EXPECT_EQ(TokenToValue(QStringLiteral("1.5")).AsDouble(), 1.5);
    EXPECT_EQ(TokenToValue(QStringLiteral("1.5e3")).AsDouble(), 1500.0);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(TokenToValue(QStringLiteral("2147483647")).Kind(), VariantKind::Int32);
    EXPECT_EQ(TokenToValue(QStringLiteral("2147483648")).Kind(), VariantKind::Int64);
    EXPECT_EQ(TokenToValue(QStringLiteral("$FF")).AsInt32(), 255);
    EXPECT_EQ(TokenToValue(QStringLiteral("'a''b'")).AsString(), QStringLiteral("a''b"));
    EXPECT_TRUE(TokenToValue(QString()).IsNull());
    EXPECT_THROW(TokenToValue(QStringLiteral("1.5x")), EConvertError);
    EXPECT_EQ(TokenToValue(QStringLiteral("99999999999999999999")).Kind(), VariantKind::Double);
}

TEST(Tools, ParseNativeDeclaration)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    std::unique_ptr<TscCustomVariable> d = ParseNativeDeclaration(QStringLiteral("function IntToStr(i: Integer): String"), script.get());
    EXPECT_EQ(d->Name(), QStringLiteral("IntToStr"));
    EXPECT_EQ(d->TypeName, QStringLiteral("String"));
    EXPECT_EQ(d->Typ, fvtString);
    ASSERT_EQ(d->ParamCount(), 1);
    EXPECT_EQ(d->Param(0)->Name(), QStringLiteral("i"));
    EXPECT_EQ(d->Param(0)->Typ, fvtInt);

    d = ParseNativeDeclaration(QStringLiteral("procedure Inc(var i: Integer; incr: Integer = 1)"), script.get());
    ASSERT_EQ(d->ParamCount(), 2);
    EXPECT_TRUE(d->Param(0)->IsVarParam);
    EXPECT_FALSE(d->Param(0)->IsOptional);
    EXPECT_TRUE(d->Param(1)->IsOptional);
    EXPECT_EQ(d->Param(1)->DefValue.AsInt32(), 1);

    d = ParseNativeDeclaration(QStringLiteral("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = -2): Variant"),
                               script.get());
    EXPECT_TRUE(d->IsMacro);
    EXPECT_EQ(d->Name(), QStringLiteral("SUM"));
    EXPECT_EQ(d->GetNumberOfRequiredParams(), 1);
    EXPECT_EQ(d->Param(2)->DefValue.AsInt32(), -2);

    d = ParseNativeDeclaration(QStringLiteral("function Copy(s: String; Index, Count: Integer): String;"), script.get());
    EXPECT_EQ(d->ParamCount(), 3);
    EXPECT_EQ(d->Param(2)->Name(), QStringLiteral("Count"));

    const char* malformed[] = {
        "", "function", "thing Foo", "function Foo(", "function Foo(a Integer): String", "function Foo: ",
        "procedure Foo(a: Integer) extra", "procedure Foo(a: Integer = )",
    };
    for (const char* text : malformed)
        EXPECT_THROW(ParseNativeDeclaration(QString::fromLatin1(text), script.get()), EScriptError) << text;
}

TEST(Tools, TypeCompatibility)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    scripttest::TestObjects objects;
    objects.Register(*script);
    const TscTypeRec i{fvtInt, {}}, f{fvtFloat, {}}, s{fvtString, {}}, v{fvtVariant, {}}, i64{fvtInt64, {}};
    EXPECT_TRUE(AreTypesCompatible(i, f, script.get()));
    EXPECT_FALSE(IsAssignCompatible(i, f, script.get()));
    EXPECT_TRUE(IsAssignCompatible(f, i, script.get()));
    EXPECT_FALSE(AreTypesCompatible(i, s, script.get()));
    EXPECT_TRUE(AreTypesCompatible(s, v, script.get()));
    EXPECT_TRUE(AreTypesCompatible(i64, i, script.get()));
    const TscTypeRec e1{fvtEnum, QStringLiteral("TA")}, e2{fvtEnum, QStringLiteral("TB")};
    EXPECT_FALSE(AreTypesCompatible(e1, e2, script.get()));
    EXPECT_TRUE(AreTypesCompatible(e1, i, script.get()));
    EXPECT_TRUE(AreTypesCompatible(i, e1, script.get()));
    const TscTypeRec base{fvtClass, QStringLiteral("TTestObj")}, derived{fvtClass, QStringLiteral("TDerivedObj")};
    EXPECT_TRUE(AreTypesCompatible(base, derived, script.get()));
    EXPECT_FALSE(AreTypesCompatible(derived, base, script.get()));
    EXPECT_EQ(LookupVarType(QStringLiteral("extended"), script.get()), fvtFloat);
    EXPECT_EQ(LookupVarType(QStringLiteral("TNothing"), script.get()), fvtClass);
    EXPECT_EQ(PositionTextToPoint(QStringLiteral("12:5")), QPoint(5, 12));
    EXPECT_EQ(PositionTextToPoint(QString()), QPoint(0, 0));
    EXPECT_THROW(PositionTextToPoint(QStringLiteral("x")), EConvertError);
}

TEST(Lines, ExecutableLinesPerUnit)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    SetSource(*script, QStringLiteral("var i: Integer;\nbegin\n  i := 1;\n\n  ShowMessage(i);\nend."));
    ASSERT_TRUE(script->Compile());
    EXPECT_TRUE(script->IsExecutableLine(3, QString()));
    EXPECT_FALSE(script->IsExecutableLine(4, QString()));
    EXPECT_TRUE(script->IsExecutableLine(5, QString()));
    EXPECT_FALSE(script->IsExecutableLine(3, QStringLiteral("unit.pas")));
    QStringList seen;
    script->SetOnRunLine([&seen](TscScript*, const QString&, const QString& pos) { seen << pos; });
    script->Execute();
    EXPECT_EQ(seen.join(u' ').toStdString(), "3:3 5:3");
}
