// The grammar-driven parser: syntax errors with their places in every language, program
// trees, operator grouping as the expression builder will see it, included units and the
// named limits.

#include "report/script/sc_iconsts.h"
#include "report/script/sc_iilparser.h"
#include "report/script/sc_itools.h"

#include "platform/Exceptions.h"
#include "LargeStack.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>

#include <memory>
#include <ostream>
#include <string>

namespace {

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitScriptLanguages();
        ResetScMessages();
    }
};

// The program tree as indented text (the compiled-code format without its header).
std::string Dump(const TscXMLDocument& tree)
{
    TscXMLDocument copy;
    copy.SetAutoIndent(true);
    copy.Root()->Assign(tree.Root());
    QString text = QString::fromUtf8(copy.SaveToBytes());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.mid(text.indexOf(QLatin1Char('\n')) + 1).toStdString();
}

struct Parsed {
    bool ok = false;
    std::string tree;
    std::string error; // "message @ row:col [unit]"
};

Parsed Parse(const char* language, const QString& source, TscGetUnitEvent units = {}, const QString& startRule = QStringLiteral("program"),
             bool wholeText = false)
{
    TscILParser parser;
    parser.SetOnGetUnit(std::move(units));
    parser.SelectLanguage(QString::fromUtf8(language));
    Parsed result;
    result.ok = parser.MakeILScript(source, startRule, wholeText);
    if (result.ok)
        result.tree = Dump(parser.ILScript());
    else
        result.error = (parser.ErrorMsg() + QStringLiteral(" @ ") + parser.ErrorPos() +
                        (parser.ErrorUnit().isEmpty() ? QString() : QStringLiteral(" [") + parser.ErrorUnit() + QLatin1Char(']')))
                           .toStdString();
    return result;
}

// ---------------------------------------------------------------------------------------------
// Syntax errors

struct ErrorCase {
    const char* name;
    const char* language;
    QString source;
    const char* error; // message @ row:col
};

void PrintTo(const ErrorCase& c, std::ostream* out)
{
    *out << c.name;
}

class SyntaxErrors : public ParserTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(SyntaxErrors, AreReportedWithTheirPlace)
{
    const Parsed parsed = Parse(GetParam().language, GetParam().source);
    EXPECT_FALSE(parsed.ok) << parsed.tree;
    EXPECT_EQ(parsed.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, SyntaxErrors,
    ::testing::Values(
        ErrorCase{"rr_then_expected", "RireroRidoze", QStringLiteral("begin if x x"), "'THEN' expected @ 1:12"},
        ErrorCase{"rr_to_or_downto_expected", "RireroRidoze", QStringLiteral("begin for i := 1 too 3"),
                  "'TO' or 'DOWNTO' expected @ 1:18"},
        ErrorCase{"rr_dot_expected_at_the_end", "RireroRidoze", QStringLiteral("begin end"), "'.' expected @ 2:1"},
        ErrorCase{"rr_missing_end_says_semicolon", "RireroRidoze", QStringLiteral("begin x := 1 ."), "';' expected @ 1:14"},
        ErrorCase{"rr_case_end_expected", "RireroRidoze", QStringLiteral("begin case x of 1: y; . end."), "'END' expected @ 1:23"},
        ErrorCase{"rr_expression_expected", "RireroRidoze", QStringLiteral("begin\r\n  x := ;\r\nend."),
                  "Expression expected @ 2:8"},
        ErrorCase{"rr_declaration_error_stays", "RireroRidoze", QStringLiteral("var a: Integer; b begin end."), "':' expected @ 1:19"},
        ErrorCase{"rr_string_with_too_large_code", "RireroRidoze", QStringLiteral("begin x := 'a'#1114112 end."), "';' expected @ 1:15"},
        ErrorCase{"rpp_upper_case_if_is_a_call", "R++Idirud", QStringLiteral("{ IF (a) b(); }"), "';' expected @ 1:10"},
        ErrorCase{"rpp_brace_expected", "R++Idirud", QStringLiteral("int a;"), "'{' expected @ 2:1"},
        ErrorCase{"js_function_needs_a_name", "JScript", QStringLiteral("function (a) {}"), "Expression expected @ 1:10"},
        ErrorCase{"js_text_behind_the_last_statement", "JScript", QStringLiteral("x = 1;\n)"), "Statement expected @ 2:1"},
        ErrorCase{"js_dangling_operator", "JScript", QStringLiteral("x = a &&"), "Expression expected @ 2:1"},
        ErrorCase{"rpp_dangling_addition", "R++Idirud", QStringLiteral("{ x = a + b +; }"), "Expression expected @ 1:14"},
        ErrorCase{"zv_select_needs_case", "ZuvivUradur", QStringLiteral("Select x"), "'CASE' expected @ 1:8"},
        ErrorCase{"zv_for_needs_to", "ZuvivUradur", QStringLiteral("For i = 1 2"), "'TO' expected @ 1:11"},
        ErrorCase{"zv_while_without_wend", "ZuvivUradur", QStringLiteral("While x\r\n  y = 1\r\n"), "'WEND' expected @ 3:1"},
        ErrorCase{"zv_next_with_a_name", "ZuvivUradur", QStringLiteral("For i = 1 To 3\r\n  x = i\r\nNext i\r\n"),
                  "End of line expected @ 3:6"},
        ErrorCase{"zv_text_behind_the_last_statement", "ZuvivUradur", QStringLiteral("x = 1\nWend\n"), "End of line expected @ 2:1"},
        ErrorCase{"zv_lf_line_ends_place_errors", "ZuvivUradur", QStringLiteral("x = 1\n\ny = \n"), "Expression expected @ 3:5"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(ParserTest, ZuvivUradurReadsTheSameWithEveryLineEnd)
{
    const char* program =
        "Dim a, b As Integer\n"
        "' a comment line\n"
        "  rem an indented comment\n"
        "\n"
        "remainder = 3 ' behind a statement\n"
        "If a > 1 Then\n"
        "  b = 2 _\n"
        "    + 3\n"
        "Else\n"
        "  b = 0\n"
        "End If\n"
        "Select Case a\n"
        "  Case 1: b = 1\n"
        "\n"
        "  Case Else: b = 2\n"
        "End Select\n"
        "For i = 1 To 10 Step 2\n"
        "  a = a & \"x\"\n"
        "Next\n"
        "Sub S(ByRef x)\n"
        "End Sub";
    const QString lf = QString::fromUtf8(program);
    QString crlf = lf;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QString cr = lf;
    cr.replace(QStringLiteral("\n"), QStringLiteral("\r"));
    const Parsed withLf = Parse("ZuvivUradur", lf);
    ASSERT_TRUE(withLf.ok) << withLf.error;
    EXPECT_EQ(Parse("ZuvivUradur", crlf).tree, withLf.tree);
    EXPECT_EQ(Parse("ZuvivUradur", cr).tree, withLf.tree);
    EXPECT_NE(withLf.tree.find("<node text=\"remainder\" pos=\"5:10\"/>"), std::string::npos) << withLf.tree;
}

// ---------------------------------------------------------------------------------------------
// Program trees

TEST_F(ParserTest, EmptyProgram)
{
    const Parsed parsed = Parse("RireroRidoze", QStringLiteral("begin end."));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.tree, R"(<program>
  <compoundstmt pos="1:1"/>
  <types/>
</program>
)");
}

TEST_F(ParserTest, ReportExpressionIsACallOfGet)
{
    const Parsed parsed = Parse("RireroRidoze", QStringLiteral("begin x := <a+b> end."));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.tree, R"(<program>
  <compoundstmt pos="1:1">
    <assignstmt pos="1:7">
      <dsgn pos="1:7">
        <node text="x" pos="1:8"/>
      </dsgn>
      <expr pos="1:12" pos1="1:17">
        <dsgn pos="1:16">
          <node text="Get" pos="1:16"/>
          <expr pos="1:16">
            <string text="'a+b'" pos="1:16"/>
          </expr>
        </dsgn>
      </expr>
    </assignstmt>
  </compoundstmt>
  <types/>
</program>
)");
}

TEST_F(ParserTest, TokenTextsStayExact)
{
    // Entity-like text inside a string literal is not decoded on the way into the tree.
    TscILParser parser;
    parser.SelectLanguage(QStringLiteral("RireroRidoze"));
    ASSERT_TRUE(parser.MakeILScript(QStringLiteral("begin s := 'x&#60;y&quot;\"<>' end.")));
    const TscXMLItem* expr = parser.ILScript().Root()->Items(0)->Items(0)->Items(1);
    EXPECT_EQ(expr->Items(0)->Prop(QStringLiteral("text")), QStringLiteral("'x&#60;y&quot;\"<>'"));
    // And the builder gets the expression's source back from its places.
    EXPECT_EQ(parser.SourceText(expr->Prop(QStringLiteral("pos")), expr->Prop(QStringLiteral("pos1"))),
              QStringLiteral("'x&#60;y&quot;\"<>'"));
}

TEST_F(ParserTest, LanguageLineSwitchesTheRestOfTheText)
{
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(lineEnd);
        const QString source = QStringLiteral("#language ZuvivUradur ") + QString::fromUtf8(lineEnd) + QStringLiteral("x = 1");
        TscILParser parser;
        parser.SelectLanguage(QStringLiteral("RireroRidoze"));
        ASSERT_TRUE(parser.MakeILScript(source)) << parser.ErrorMsg().toStdString();
        EXPECT_EQ(parser.LangName(), QStringLiteral("ZuvivUradur"));
        EXPECT_FALSE(parser.NeedDeclareVars());
        EXPECT_EQ(Dump(parser.ILScript()), R"(<program>
  <compoundstmt pos="2:1">
    <assignstmt pos="2:1">
      <dsgn pos="2:1">
        <node text="x" pos="2:2"/>
      </dsgn>
      <expr pos="2:5" pos1="2:6">
        <number text="1" pos="2:6"/>
      </expr>
    </assignstmt>
  </compoundstmt>
  <types>
    <decimal type="extended"/>
  </types>
</program>
)");
    }
    TscILParser parser;
    parser.SelectLanguage(QStringLiteral("RireroRidoze"));
    try {
        parser.MakeILScript(QStringLiteral("#language Cobol\r\nx"));
        ADD_FAILURE() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), "Language 'Cobol' not found");
    }
}

TEST_F(ParserTest, TextAfterTheProgramEndStaysLegalInRireroRidoze)
{
    EXPECT_TRUE(Parse("RireroRidoze", QStringLiteral("begin end. anything ) here")).ok);
}

TEST_F(ParserTest, EvaluateTextsUseTheExpressionRule)
{
    const Parsed parsed = Parse("JScript", QStringLiteral("1 + x"), {}, QStringLiteral("expression"));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_NE(parsed.tree.find("<expr pos=\"1:1\" pos1=\"1:6\">"), std::string::npos) << parsed.tree;
    EXPECT_EQ(Parse("RireroRidoze", QStringLiteral("1 +"), {}, QStringLiteral("expression"), true).error,
              "Syntax error @ 1:3");
    EXPECT_EQ(Parse("RireroRidoze", QStringLiteral(")"), {}, QStringLiteral("expression")).error, "Syntax error @ 1:1");
}

// ---------------------------------------------------------------------------------------------
// Operator grouping: the expression builder's priority climb, applied to the tree's operands
// and operators, gives this grouping.

struct Node {
    QString text;
    int priority = 0;
    Node* parent = nullptr;
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;
};

int PriorityOf(const QString& op)
{
    static const QMap<QString, int> priorities{
        {QStringLiteral("("), 6},   {QStringLiteral(")"), 5},   {QStringLiteral(">"), 4},   {QStringLiteral("<"), 4},
        {QStringLiteral("<="), 4},  {QStringLiteral(">="), 4},  {QStringLiteral("<>"), 4},  {QStringLiteral("="), 4},
        {QStringLiteral("in"), 4},  {QStringLiteral("is"), 4},  {QStringLiteral("+"), 3},   {QStringLiteral("strcat"), 3},
        {QStringLiteral("-"), 3},   {QStringLiteral("or"), 3},  {QStringLiteral("xor"), 3}, {QStringLiteral("*"), 2},
        {QStringLiteral("/"), 2},   {QStringLiteral("div"), 2}, {QStringLiteral("mod"), 2}, {QStringLiteral("and"), 2},
        {QStringLiteral("shl"), 2}, {QStringLiteral("shr"), 2}, {QStringLiteral("not"), 1}, {QStringLiteral("unminus"), 1}};
    return priorities.value(op, -1);
}

class Climb {
public:
    Climb() : root_(std::make_unique<Node>()) { root_->priority = 7, current_ = root_.get(); }

    void Operand(const QString& text)
    {
        auto node = std::make_unique<Node>();
        node->text = text;
        Attach(current_, std::move(node));
    }

    void Operator(const QString& op)
    {
        auto node = std::make_unique<Node>();
        node->text = op;
        node->priority = PriorityOf(op);
        if (op == QLatin1String("(") || op == QLatin1String("not") || op == QLatin1String("unminus")) {
            Attach(current_, std::move(node));
            return;
        }
        if (op == QLatin1String(")")) {
            Node* bracket = current_;
            while (bracket->priority <= 5)
                bracket = bracket->parent;
            Node* parent = bracket->parent;
            std::unique_ptr<Node>& slot = parent->left.get() == bracket ? parent->left : parent->right;
            std::unique_ptr<Node> content = std::move(bracket->left);
            content->parent = parent;
            current_ = content.get();
            slot = std::move(content);
            return;
        }
        if (current_ == root_.get()) {
            Attach(current_, std::move(node));
            return;
        }
        Node* taken = nullptr;
        Node* above = current_;
        if (above->text != QLatin1String("(") || above->priority != 6) {
            taken = above;
            above = above->parent;
        }
        while (above->priority <= node->priority) {
            taken = above;
            above = above->parent;
        }
        Node* placed = node.get();
        if (taken) {
            std::unique_ptr<Node>& slot = above->left.get() == taken ? above->left : above->right;
            std::unique_ptr<Node> moved = std::move(slot);
            node->parent = above;
            slot = std::move(node);
            moved->parent = placed;
            placed->left = std::move(moved);
        } else {
            Attach(above, std::move(node));
        }
        current_ = placed;
    }

    std::string Grouping() const { return Text(root_->left.get()).toStdString(); }

private:
    void Attach(Node* to, std::unique_ptr<Node> node)
    {
        node->parent = to;
        current_ = node.get();
        (to->left ? to->right : to->left) = std::move(node);
    }
    static QString Text(const Node* node)
    {
        if (!node)
            return QStringLiteral("?");
        if (node->priority == 0)
            return node->text;
        if (node->priority == 1)
            return QStringLiteral("(") + node->text + QLatin1Char(' ') + Text(node->left.get()) + QLatin1Char(')');
        return QStringLiteral("(") + Text(node->left.get()) + QLatin1Char(' ') + node->text + QLatin1Char(' ') +
               Text(node->right.get()) + QLatin1Char(')');
    }

    std::unique_ptr<Node> root_;
    Node* current_;
};

// Feeds an expr element into the climb the way the builder does: nested expr elements into
// the same expression, a trailing operator other than ')' dropped.
void Feed(Climb& climb, const TscXMLItem* expr, bool top)
{
    for (int i = 0; i < expr->Count(); ++i) {
        const TscXMLItem* child = expr->Items(i);
        const QString text = child->Prop(QStringLiteral("text"));
        if (child->Name() == QLatin1String("op")) {
            if (!(top && i == expr->Count() - 1 && text != QLatin1String(")")))
                climb.Operator(text.toLower());
        } else if (child->Name() == QLatin1String("expr")) {
            Feed(climb, child, false);
        } else if (child->Name() == QLatin1String("dsgn")) {
            climb.Operand(child->Items(0)->Prop(QStringLiteral("text")));
        } else {
            climb.Operand(text);
        }
    }
}

struct GroupingCase {
    const char* name;
    const char* language;
    const char* expression;
    const char* grouping;
};

void PrintTo(const GroupingCase& c, std::ostream* out)
{
    *out << c.name;
}

class Grouping : public ParserTest, public ::testing::WithParamInterface<GroupingCase> {};

TEST_P(Grouping, ReachesTheExpressionBuilder)
{
    TscILParser parser;
    parser.SelectLanguage(QString::fromUtf8(GetParam().language));
    ASSERT_TRUE(parser.MakeILScript(QString::fromUtf8(GetParam().expression), QStringLiteral("expression"), true))
        << parser.ErrorMsg().toStdString();
    Climb climb;
    Feed(climb, parser.ILScript().Root()->Items(0), true);
    EXPECT_EQ(climb.Grouping(), GetParam().grouping);
}

const GroupingCase kGroupings[] = {
    {"c_or_of_comparisons", "R++Idirud", "a == 1 || b == 2", "((a = 1) or (b = 2))"},
    {"c_and_before_or", "R++Idirud", "a || b && c", "(a or (b and c))"},
    {"c_and_then_or", "JScript", "a && b || c", "((a and b) or c)"},
    {"c_xor_before_and", "JScript", "a ^ b && c", "((a xor b) and c)"},
    {"c_comparison_before_xor", "R++Idirud", "a != b ^ c", "((a <> b) xor c)"},
    {"c_shift_after_addition", "R++Idirud", "a << 1 + 2", "(a shl (1 + 2))"},
    {"c_addition_then_shift", "JScript", "a + b >> 2", "((a + b) shr 2)"},
    {"c_shift_before_comparison", "JScript", "a << 2 < b", "((a shl 2) < b)"},
    {"c_multiplication_first", "R++Idirud", "a + b * c % d", "(a + ((b * c) mod d))"},
    {"c_unary_first", "JScript", "-a * b", "((unminus a) * b)"},
    {"c_not_first", "R++Idirud", "!a && b == c", "((not a) and (b = c))"},
    {"c_left_to_right", "JScript", "a - b - c", "((a - b) - c)"},
    {"c_brackets_keep_their_meaning", "R++Idirud", "(a || b) && c", "((a or b) and c)"},
    {"c_everything", "JScript", "a == 1 || b == 2 && c != 3 ^ d << 1 + e * f",
     "((a = 1) or ((b = 2) and ((c <> 3) xor (d shl (1 + (e * f))))))"},
    {"rr_or_binds_like_addition", "RireroRidoze", "a = 1 or b = 2", "((a = (1 or b)) = 2)"},
    {"rr_multiplication_first", "RireroRidoze", "a + b * c", "(a + (b * c))"},
    {"rr_brackets", "RireroRidoze", "(a = 1) or (b = 2)", "((a = 1) or (b = 2))"},
    {"zv_strcat_with_addition", "ZuvivUradur", "a & b + c", "((a strcat b) + c)"},
};

INSTANTIATE_TEST_SUITE_P(Expressions, Grouping, ::testing::ValuesIn(kGroupings),
                         [](const ::testing::TestParamInfo<GroupingCase>& info) { return std::string(info.param.name); });

TEST_F(ParserTest, PrecedenceTreeOfACExpression)
{
    const Parsed parsed = Parse("JScript", QStringLiteral("a || b"), {}, QStringLiteral("expression"));
    ASSERT_TRUE(parsed.ok);
    // Bracket operators around the operands of && and ^ and the shifts; the builder removes them.
    std::string ops;
    for (size_t at = parsed.tree.find("<op text=\""); at != std::string::npos; at = parsed.tree.find("<op text=\"", at + 1))
        ops += parsed.tree.substr(at + 10, parsed.tree.find('"', at + 10) - at - 10) + ' ';
    EXPECT_EQ(ops, "( ( ( ) ) ) or ( ( ( ) ) ) ");
}

// ---------------------------------------------------------------------------------------------
// Units

class Units : public ParserTest {
protected:
    TscGetUnitEvent Handler()
    {
        return [this](const QString& name, QString& text) {
            asked_ << name;
            text = units_.value(name);
        };
    }
    QMap<QString, QString> units_;
    QStringList asked_;
};

TEST_F(Units, StandInReverseOrderAndEachIsIncludedOnce)
{
    units_[QStringLiteral("a.pas")] = QStringLiteral("uses 'C.PAS'; begin end.");
    units_[QStringLiteral("b.pas")] = QStringLiteral("uses 'c.pas'; begin end.");
    units_[QStringLiteral("c.pas")] = QStringLiteral("var z: Integer; begin end.");
    const Parsed parsed = Parse("RireroRidoze", QStringLiteral("uses 'a.pas', 'b.pas'; begin end."), Handler());
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(asked_, (QStringList{QStringLiteral("b.pas"), QStringLiteral("c.pas"), QStringLiteral("a.pas")}));
    EXPECT_EQ(parsed.tree, R"(<program>
  <uses unit="b.pas">
    <program>
      <uses unit="c.pas">
        <program>
          <var pos="1:5">
            <ident text="z" pos="1:6"/>
            <type text="Integer" pos="1:15"/>
          </var>
          <compoundstmt pos="1:17"/>
          <types/>
        </program>
      </uses>
      <compoundstmt pos="1:15"/>
      <types/>
    </program>
  </uses>
  <uses unit="a.pas">
    <program>
      <compoundstmt pos="1:15"/>
      <types/>
    </program>
  </uses>
  <compoundstmt pos="1:24"/>
  <types/>
</program>
)");
}

TEST_F(Units, AnErrorInAUnitNamesTheUnit)
{
    units_[QStringLiteral("a.pas")] = QStringLiteral("uses 'b.pas'; begin end.");
    units_[QStringLiteral("b.pas")] = QStringLiteral("begin\r\n  x := \r\nend.");
    EXPECT_EQ(Parse("RireroRidoze", QStringLiteral("uses 'a.pas'; begin end."), Handler()).error,
              "Expression expected @ 3:1 [b.pas]");
    // An error in the main text before the unit stays the first one.
    EXPECT_EQ(Parse("RireroRidoze", QStringLiteral("uses 'a.pas' begin end."), Handler()).error, "';' expected @ 1:14");
}

TEST_F(Units, AUnitMaySwitchItsLanguage)
{
    units_[QStringLiteral("lib")] = QStringLiteral("#language JScript\nfunction f(a) { return a; }");
    const Parsed parsed = Parse("RireroRidoze", QStringLiteral("uses 'lib'; begin f(1) end."), Handler());
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_NE(parsed.tree.find("<function pos=\"2:1\">"), std::string::npos) << parsed.tree;
}

TEST_F(Units, NamesLeavingTheFolderAreRefused)
{
    for (const char* name : {"../secret.pas", "sub/../../x.pas", "/etc/passwd", "\\\\server\\x", "C:\\x.pas", ""}) {
        SCOPED_TRACE(name);
        try {
            Parse("RireroRidoze", QStringLiteral("uses '") + QString::fromUtf8(name) + QStringLiteral("'; begin end."), Handler());
            ADD_FAILURE() << "no error";
        } catch (const platform::Exception& error) {
            EXPECT_EQ(error.Message(), "Unit name not allowed: '" + std::string(name) + "'");
        }
    }
    EXPECT_TRUE(asked_.isEmpty());
    units_[QStringLiteral("sub/ok.pas")] = QStringLiteral("begin end.");
    EXPECT_TRUE(Parse("RireroRidoze", QStringLiteral("uses 'sub/ok.pas'; begin end."), Handler()).ok);
}

TEST_F(Units, UnitsWithoutAHandlerAreFilesOfTheIncludePath)
{
    TscILParser parser;
    parser.SetIncludePath({QStringLiteral(DAX_SCRIPT_TEST_DIR "/no-such-folder"), QStringLiteral(DAX_SCRIPT_TEST_DIR "/units")});
    parser.SelectLanguage(QStringLiteral("RireroRidoze"));
    EXPECT_TRUE(parser.MakeILScript(QStringLiteral("uses 'util.pas'; begin end."))) << parser.ErrorMsg().toStdString();
    try {
        parser.MakeILScript(QStringLiteral("uses 'missing.pas'; begin end."));
        ADD_FAILURE() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), "Cannot open file \"missing.pas\". No such file or directory");
    }
}

TEST_F(Units, ChainsOfUnitsAreBounded)
{
    for (int i = 0; i < 40; ++i)
        units_[QStringLiteral("u%1").arg(i)] = QStringLiteral("uses 'u%1'; begin end.").arg(i + 1);
    EXPECT_EQ(Parse("RireroRidoze", QStringLiteral("uses 'u0'; begin end."), Handler()).error,
              "Units nested too deep (limit is 16) @ 1:12 [u15]");
}

// ---------------------------------------------------------------------------------------------
// Limits

TEST_F(ParserTest, DeepNestingIsACompileErrorNotACrash)
{
    testsupport::RunOnLargeStack([&] {
        const int depth = 5000;
        const QString brackets = QString(depth, QLatin1Char('(')) + QStringLiteral("1") + QString(depth, QLatin1Char(')'));
        const std::string tooDeep = "Script nested too deep (limit is " + std::to_string(kScMaxNesting) + " levels) @ ";
        for (const char* language : {"RireroRidoze", "R++Idirud", "JScript", "ZuvivUradur"}) {
            SCOPED_TRACE(language);
            const Parsed parsed = Parse(language, brackets, {}, QStringLiteral("expression"));
            EXPECT_EQ(parsed.error.rfind(tooDeep, 0), 0u) << parsed.error;
        }
        const Parsed statements = Parse("RireroRidoze", QStringLiteral("begin ") + QStringLiteral("if x then ").repeated(depth) +
                                                            QStringLiteral("x := 1 end."));
        EXPECT_EQ(statements.error.rfind(tooDeep, 0), 0u) << statements.error;
        // Operators on operators make no tree levels: the parser's recursion has its own bound.
        const Parsed operators = Parse("JScript", QString(depth, QLatin1Char('!')) + QStringLiteral("x"), {},
                                       QStringLiteral("expression"));
        EXPECT_EQ(operators.error.rfind("Script nested too deep for the parser (limit is " +
                                            std::to_string(kScMaxRuleDepth) + " grammar rules inside each other) @ ",
                                        0),
                  0u)
            << operators.error;
        // Reasonable nesting is far inside the limit.
        EXPECT_TRUE(Parse("R++Idirud", QStringLiteral("{ x = ") + QString(50, QLatin1Char('(')) + QStringLiteral("1") +
                                          QString(50, QLatin1Char(')')) + QStringLiteral("; }"))
                        .ok);
    });
}

namespace {

// The levels of a program tree: the most elements with children on one path from the root.
int TreeLevels(const TscXMLItem* item)
{
    int deepest = 0;
    std::vector<std::pair<const TscXMLItem*, int>> pending{{item, 1}};
    while (!pending.empty()) {
        const auto [element, levels] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, levels);
        for (int i = 0; i < element->Count(); ++i) {
            if (element->Items(i)->Count() > 0)
                pending.emplace_back(element->Items(i), levels + 1);
        }
    }
    return deepest;
}

} // namespace

// Whatever a script nests, in every language, the nesting limit is what stops it: the deepest
// script that compiles reaches the limit, and one level more is refused naming it.
TEST_F(ParserTest, TheNestingLimitIsWhatStopsEveryConstruct)
{
    testsupport::RunOnLargeStack([&] {
        struct Construct {
            const char* name;
            const char* language;
            QString (*source)(int n);
        };
        const Construct constructs[] = {
            {"parentheses", "RireroRidoze",
             [](int n) { return QStringLiteral("begin x := ") + QString(n, u'(') + u'1' + QString(n, u')') + QStringLiteral(" end."); }},
            {"calls", "RireroRidoze",
             [](int n) { return QStringLiteral("begin x := ") + QStringLiteral("f(").repeated(n) + u'1' + QString(n, u')') + QStringLiteral(" end."); }},
            {"ifs", "RireroRidoze",
             [](int n) { return QStringLiteral("begin ") + QStringLiteral("if x then ").repeated(n) + QStringLiteral("x := 1 end."); }},
            {"blocks", "RireroRidoze",
             [](int n) { return QStringLiteral("begin ").repeated(n + 1) + u'x' + QStringLiteral(" end").repeated(n) + QStringLiteral(" end."); }},
            {"parentheses", "R++Idirud",
             [](int n) { return QStringLiteral("{ x = ") + QString(n, u'(') + u'1' + QString(n, u')') + QStringLiteral("; }"); }},
            {"calls", "R++Idirud",
             [](int n) { return QStringLiteral("{ x = ") + QStringLiteral("f(").repeated(n) + u'1' + QString(n, u')') + QStringLiteral("; }"); }},
            {"whiles", "JScript",
             [](int n) { return QStringLiteral("while (x) ").repeated(n) + QStringLiteral("x = 1;"); }},
            {"blocks", "JScript",
             [](int n) { return QStringLiteral("{ ").repeated(n) + QStringLiteral("x = 1;") + QStringLiteral(" }").repeated(n); }},
            {"parentheses", "ZuvivUradur",
             [](int n) { return QStringLiteral("x = ") + QString(n, u'(') + u'1' + QString(n, u')'); }},
            {"ifs", "ZuvivUradur",
             [](int n) { return QStringLiteral("If x Then\n").repeated(n) + QStringLiteral("x = 1\n") + QStringLiteral("End If\n").repeated(n); }},
        };
        const std::string tooDeep = "Script nested too deep (limit is " + std::to_string(kScMaxNesting) + " levels) @ ";
        for (const Construct& c : constructs) {
            SCOPED_TRACE(std::string(c.language) + " " + c.name);
            // The deepest n that parses.
            int good = 1;
            int bad = kScMaxNesting + 1;
            ASSERT_TRUE(Parse(c.language, c.source(good)).ok);
            ASSERT_FALSE(Parse(c.language, c.source(bad)).ok);
            while (bad - good > 1) {
                const int middle = (good + bad) / 2;
                (Parse(c.language, c.source(middle)).ok ? good : bad) = middle;
            }
            TscILParser parser;
            parser.SelectLanguage(QString::fromUtf8(c.language));
            ASSERT_TRUE(parser.MakeILScript(c.source(good)));
            const int levels = TreeLevels(parser.ILScript().Root());
            EXPECT_LE(levels, kScMaxNesting);
            // One more of a construct adds up to three levels, and the parser counts the levels of
            // what it tries (an else part after the innermost statement) as well.
            EXPECT_GE(levels, kScMaxNesting - 4);
            const Parsed refused = Parse(c.language, c.source(bad));
            EXPECT_EQ(refused.error.rfind(tooDeep, 0), 0u) << refused.error;
        }
    });
}

TEST_F(ParserTest, OversizedSourceIsRefused)
{
    const QString source = QStringLiteral("begin end.") + QString(kScMaxSourceLength, QLatin1Char(' '));
    EXPECT_EQ(Parse("RireroRidoze", source).error, "Script too large (limit is 1048576 characters) @ 1:1");
}

// ---------------------------------------------------------------------------------------------
// Sample scripts

TEST_F(ParserTest, SampleScriptsParseAndTheirTreesSurviveTheXMLFormat)
{
    const struct {
        const char* file;
        const char* language;
    } samples[] = {{"report.pas", "RireroRidoze"}, {"report.cpp", "R++Idirud"}, {"report.js", "JScript"}, {"report.vb", "ZuvivUradur"}};
    const QString folder = QStringLiteral(DAX_SCRIPT_TEST_DIR "/samples/");
    auto read = [&](const QString& name) {
        QFile file(folder + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return ScriptTextFromBytes(file.readAll());
    };
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.file);
        TscILParser parser;
        parser.SetOnGetUnit([&](const QString& name, QString& text) { text = read(name); });
        parser.SelectLanguage(QString::fromUtf8(sample.language));
        ASSERT_TRUE(parser.MakeILScript(read(QString::fromUtf8(sample.file))))
            << parser.ErrorMsg().toStdString() << " @ " << parser.ErrorPos().toStdString();
        EXPECT_EQ(parser.UsesList().size(), 1);
        for (const bool indent : {false, true}) {
            parser.ILScript().SetAutoIndent(indent);
            const QByteArray saved = parser.ILScript().SaveToBytes();
            TscXMLDocument again;
            again.SetAutoIndent(indent);
            again.LoadFromBytes(saved);
            EXPECT_EQ(again.SaveToBytes(), saved);
        }
    }
}

} // namespace
