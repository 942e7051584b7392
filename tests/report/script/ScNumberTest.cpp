// The interpreter's fast paths against its general path: plain numbers (sc_inumber.h) against
// the Variant operators, and whole scripts run once on plain variables (read and written in
// place, computed on plain numbers) and once with a handler that supplies every variable's
// value, which sends every read and write through the general path.

#include "ScriptTestSupport.h"

#include "report/script/sc_inumber.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using scripttest::RunScript;

namespace {

// A result exactly: its kind and value (a real by its bits), or the error's class.
std::string Exactly(const std::function<Variant()>& compute)
{
    try {
        const Variant v = compute();
        switch (v.Kind()) {
        case VariantKind::Int32:
            return "Int32 " + std::to_string(v.AsInt32());
        case VariantKind::Double:
            return "Double " + std::to_string(std::bit_cast<uint64_t>(v.AsDouble()));
        default:
            return "kind " + std::to_string(static_cast<int>(v.Kind())) + " " + VarToStr(v).toStdString();
        }
    } catch (const EScriptError& e) {
        return e.ClassName();
    }
}

std::vector<Variant> PlainNumbers()
{
    const double inf = std::numeric_limits<double>::infinity();
    return {Variant(int32_t{0}),         Variant(int32_t{1}),         Variant(int32_t{-1}),
            Variant(int32_t{7}),         Variant(int32_t{-7}),        Variant(int32_t{46341}),
            Variant(int32_t{INT32_MAX}), Variant(int32_t{INT32_MIN}), Variant(0.0),
            Variant(-0.0),               Variant(0.5),                Variant(-2.5),
            Variant(1e308),              Variant(-1e308),             Variant(inf),
            Variant(std::numeric_limits<double>::quiet_NaN()),        Variant(5e-324)};
}

template <VariantOp Op>
void ExpectSameAsVariants(const char* name, bool integersAlwaysFast)
{
    for (const Variant& a : PlainNumbers()) {
        for (const Variant& b : PlainNumbers()) {
            const TscNumber number = ScNumberArithmetic<Op>(TscNumber::Of(a), TscNumber::Of(b));
            const std::string general = Exactly([&] { return VariantArithmetic<Op>(a, b); });
            const std::string pair = VarToStr(a).toStdString() + " " + name + " " + VarToStr(b).toStdString();
            if (number) {
                EXPECT_EQ(Exactly([&] { return number.ToVariant(); }), general) << pair;
            } else if (integersAlwaysFast && a.Kind() == VariantKind::Int32 && b.Kind() == VariantKind::Int32) {
                EXPECT_NE(general.rfind("Int32", 0), 0u) << pair << ": an Int32 result must come as a number";
            }
        }
    }
}

template <VariantRelation R>
void ExpectSameComparison(const char* name)
{
    for (const Variant& a : PlainNumbers()) {
        for (const Variant& b : PlainNumbers())
            EXPECT_EQ(ScNumberHolds<R>(TscNumber::Of(a), TscNumber::Of(b)), VariantCompare(R, a, b))
                << VarToStr(a).toStdString() << " " << name << " " << VarToStr(b).toStdString();
    }
}

} // namespace

// A plain number is either exactly what the Variant operator gives, or none (the general path
// then computes it: Int64 results, errors, reals rounded for div and mod).
TEST(PlainNumbers, GiveWhatTheVariantOperatorsGive)
{
    ExpectSameAsVariants<VariantOp::Add>("+", true);
    ExpectSameAsVariants<VariantOp::Subtract>("-", true);
    ExpectSameAsVariants<VariantOp::Multiply>("*", true);
    ExpectSameAsVariants<VariantOp::Divide>("/", false);
    ExpectSameAsVariants<VariantOp::IntDivide>("div", true);
    ExpectSameAsVariants<VariantOp::Modulus>("mod", true);
    for (const Variant& a : PlainNumbers()) {
        const TscNumber negated = ScNumberNegate(TscNumber::Of(a));
        const std::string general = Exactly([&] { return VariantNegate(a); });
        if (negated)
            EXPECT_EQ(Exactly([&] { return negated.ToVariant(); }), general) << VarToStr(a).toStdString();
        else
            EXPECT_EQ(general, "kind 4 2147483648"); // only MinInt leaves 32 bits
    }
    ExpectSameComparison<VariantRelation::Equal>("=");
    ExpectSameComparison<VariantRelation::NotEqual>("<>");
    ExpectSameComparison<VariantRelation::Less>("<");
    ExpectSameComparison<VariantRelation::LessOrEqual>("<=");
    ExpectSameComparison<VariantRelation::Greater>(">");
    ExpectSameComparison<VariantRelation::GreaterOrEqual>(">=");
}

namespace {

struct PathCase {
    const char* name;
    const char* routines; // declared before Run
    const char* body;     // of Run, whose locals are k, m: Integer; r: Double; u, z: Variant
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.name;
}

QString Program(const PathCase& c)
{
    return QStringLiteral("var i: Integer; d: Double; v, w: Variant; l: Int64; b: Boolean; s: String;\n"
                          "procedure Show(x: Variant);\n"
                          "begin\n"
                          "  ShowMessage(IntToStr(VarType(x)) + ' ' + VarToStr(x));\n"
                          "end;\n") +
           QString::fromUtf8(c.routines) +
           QStringLiteral("\nprocedure Run;\n"
                          "var k, m: Integer; r: Double; u, z: Variant;\n"
                          "begin\n") +
           QString::fromUtf8(c.body) +
           QStringLiteral("\nend;\n"
                          "begin\n"
                          "  try\n"
                          "    Run;\n"
                          "  except\n"
                          "    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);\n"
                          "  end;\n"
                          "end.");
}

class FastAndGeneralPaths : public testing::TestWithParam<PathCase> {};

} // namespace

TEST_P(FastAndGeneralPaths, GiveTheSameResults)
{
    const PathCase& c = GetParam();
    const QString source = Program(c);
    const std::string fast = RunScript(QStringLiteral("RireroRidoze"), source);
    // A handler that leaves every value as stored, but makes each read and write a general one.
    const std::string general = RunScript(QStringLiteral("RireroRidoze"), source, [](TscScript& script) {
        script.OnGetVarValue = [](const QString&, TscVarType, const Variant&) { return Variant::NullValue(); };
    });
    EXPECT_EQ(fast, c.expected);
    EXPECT_EQ(general, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FastAndGeneralPaths,
    testing::Values(
        PathCase{"integers_widen_to_int64", "",
                 "k := 2147483647; u := k + 1; Show(u);\n"
                 "k := -2147483647 - 1; u := k - 1; Show(u);\n"
                 "u := k * 2; Show(u); u := -k; Show(u);\n"
                 "m := -1; u := k div m; Show(u); u := k mod m; Show(u);\n"
                 "u := 46341 * 46341; Show(u); u := 46340 * 46340; Show(u);",
                 "20 2147483648\n20 -2147483649\n20 -4294967296\n20 2147483648\n20 2147483648\n3 0\n"
                 "20 2147488281\n3 2147395600"},
        PathCase{"an_integer_variable_refuses_64_bits", "",
                 "k := 2147483647; Show(k); k := k + 1; Show(k);",
                 "3 2147483647\nERangeError: Range check error"},
        PathCase{"division_and_real_range_errors", "",
                 "k := 0;\n"
                 "try u := 7 div k; except ShowMessage(ExceptionClassName); end;\n"
                 "try u := 7 mod k; except ShowMessage(ExceptionClassName); end;\n"
                 "try u := 7 / k; except ShowMessage(ExceptionClassName); end;\n"
                 "r := 0; try u := r / r; except ShowMessage(ExceptionClassName); end;\n"
                 "r := 1e308; try u := r * 10; except ShowMessage(ExceptionClassName); end;\n"
                 "try r := r + r; except ShowMessage(ExceptionClassName); end; Show(r);",
                 "EDivByZero\nEDivByZero\nEZeroDivide\nEInvalidOp\nEOverflow\nEOverflow\n5 1E308"},
        PathCase{"null_propagates", "",
                 "u := Null; m := 3; z := u + m; Show(z); z := u * 2.5; Show(z);\n"
                 "if u < m then ShowMessage('less') else ShowMessage('not less');\n"
                 "if u = Null then ShowMessage('null');\n"
                 "z := v + m; Show(z); z := m - v; Show(z);\n"
                 "try k := u; except ShowMessage(ExceptionClassName); end;",
                 "1 \n1 \nless\nnull\n1 \n1 \nEVariantTypeCastError"},
        PathCase{"reals_integers_and_their_variables", "",
                 "k := 3; r := k / 2; Show(r); r := k * 0.5 + k; Show(r);\n"
                 "d := 7; Show(d); u := 2.5; k := u; Show(k); u := 3.5; k := u; Show(k);\n"
                 "l := k + 1; Show(l); l := l * l; Show(l); b := k < 4.5; Show(b);\n"
                 "r := -r; Show(r); k := -k; Show(k);",
                 "5 1.5\n5 4.5\n5 7\n3 2\n3 4\n20 5\n20 25\n11 True\n5 -4.5\n3 -4"},
        PathCase{"assignments_in_place", "",
                 "k := 10; k := k + 5; k := k - 3; k := k * 2; Show(k); k := 2 + k; Show(k);\n"
                 "r := 1; r := r / 4; Show(r); r := r * k; Show(r);\n"
                 "u := 1; u := u + 0.5; Show(u); u := 'ab'; u := u + 'c'; Show(u);\n"
                 "u := '12'; u := u + 1; Show(u); r := 5; r := r / 2; u := r; k := u; Show(k);\n"
                 "s := 'x'; s := s + 'y'; Show(s); s := s + IntToStr(k); Show(s);",
                 "3 24\n3 26\n5 0.25\n5 6.5\n5 1.5\n8 abc\n5 13\n3 2\n8 xy\n8 xy2"},
        PathCase{"loops_and_conditions", "",
                 "u := 0; for k := 1 to 5 do u := u + k * 0.5; Show(u);\n"
                 "m := 0; r := 0.1; while r < 1 do begin r := r + 0.1; m := m + 1; end; Show(m);\n"
                 "repeat m := m - 3 until m <= 0; Show(m);\n"
                 "for k := 3 downto 1 do if k mod 2 = 1 then Show(k);\n"
                 "u := '1'; if u = 1 then ShowMessage('equal'); u := 2.5; if u > m then ShowMessage('greater');",
                 "5 7.5\n3 10\n3 -2\n3 3\n3 1\nequal\ngreater"},
        PathCase{"recursion_restores_the_callers_locals",
                 "function F(n: Integer): Integer;\n"
                 "var t: Integer;\n"
                 "begin\n"
                 "  t := n * 10;\n"
                 "  if n > 0 then Result := F(n - 1) + t else Result := t;\n"
                 "end;\n"
                 "function G(n: Double): Variant;\n"
                 "begin\n"
                 "  if n < 1 then Result := n else Result := G(n / 2) * 2 + G(n - 1);\n"
                 "end;",
                 "Show(F(4)); Show(G(3)); k := 2147483647; try Show(F(k)); except ShowMessage(ExceptionClassName); end;",
                 "3 100\n5 7\nERangeError"}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });
