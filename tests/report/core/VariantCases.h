#pragma once

// The variant conversion and operator table as test cases: each operand is given both as a
// value and as Free Pascal source, so that VariantFreePascalTest can run the same cases
// under Free Pascal and check every expected result against it. A case whose result differs
// from Free Pascal by design says why.

#include "report/core/ScriptErrors.h"
#include "report/core/Variant.h"

#include <ostream>
#include <string>
#include <vector>

namespace variantcases {

enum class Op {
    Add, Sub, Mul, Div, IntDiv, Mod, Shl, Shr, And, Or, Xor,
    Eq, Ne, Lt, Le, Gt, Ge,
    Not, Neg,
    ToInt32, ToInt64, ToDouble, ToBoolean, ToString,
};

struct Operand {
    std::string pascal;
    Variant value;
};

inline Operand I(int32_t v) { return {"LongInt(" + std::to_string(v) + ")", Variant(v)}; }
inline Operand L(int64_t v)
{
    if (v == INT64_MIN)
        return {"Low(Int64)", Variant(v)};
    return {"Int64(" + std::to_string(v) + ")", Variant(v)};
}
inline Operand D(const char* text, double v) { return {std::string("Double(") + text + ")", Variant(v)}; }
inline Operand S(const char* text)
{
    std::string quoted = "'";
    for (const char* p = text; *p; ++p)
        quoted += *p == '\'' ? std::string("''") : std::string(1, *p);
    return {quoted + "'", Variant(text)};
}
inline Operand B(bool v) { return {v ? "True" : "False", Variant(v)}; }
inline Operand N() { return {"Null", Variant::NullValue()}; }
inline Operand E() { return {"Unassigned", Variant()}; }
inline Operand T(const char* text, double v) { return {std::string("VarFromDateTime(") + text + ")", Variant::FromDateTime(v)}; }
inline Operand Arr()
{
    const VariantArrayBound bounds[] = {{0, 1}};
    Variant a = Variant::CreateArray(bounds);
    const int32_t i0[] = {0};
    const int32_t i1[] = {1};
    a.SetArrayItem(i0, Variant(int32_t{1}));
    a.SetArrayItem(i1, Variant(int32_t{2}));
    return {"VarArrayOf([1, 2])", a};
}
inline Operand None() { return {"Unassigned", Variant()}; }

struct Case {
    const char* name;
    Op op;
    Operand left;
    Operand right;
    const char* expected;           // "Kind text" or "EClass: message"
    const char* differs = nullptr;  // why Free Pascal gives another result
};

inline void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

inline std::vector<Case> AllCases()
{
    const char* emptyActs = "Unassigned acts as 0, an empty text or False; Free Pascal propagates it";
    const char* widens = "an Int32 result outside 32 bits widens to Int64; Free Pascal wraps";
    const char* rangeChecked = "a value outside 32 bits stored as Integer raises ERangeError; Free Pascal wraps";
    return {
        // Addition: integers widen instead of overflowing, texts concatenate or count.
        {"int_add", Op::Add, I(1), I(2), "Int32 3"},
        {"int_add_overflow", Op::Add, I(2147483647), I(1), "Int64 2147483648"},
        {"int64_add_overflow", Op::Add, L(INT64_MAX), I(1), "Double 9.22337203685478E18"},
        {"int_sub_overflow", Op::Sub, I(INT32_MIN), I(1), "Int64 -2147483649"},
        {"int_mul_overflow", Op::Mul, I(100000), I(100000), "Int64 10000000000"},
        {"int_mul_max", Op::Mul, I(2147483647), I(2147483647), "Int64 4611686014132420609"},
        {"int64_mul_overflow", Op::Mul, L(INT64_MAX), I(2), "Double 1.84467440737096E19"},
        {"int_add_real", Op::Add, I(1), D("2.5", 2.5), "Double 3.5"},
        {"real_add", Op::Add, D("0.1", 0.1), D("0.2", 0.2), "Double 0.3"},
        {"text_add_int", Op::Add, S("1"), I(2), "Double 3"},
        {"text_add_text", Op::Add, S("1"), S("2"), "String 12"},
        {"text_add_bad", Op::Add, S("abc"), I(1), "EVariantError: Invalid variant type cast"},
        {"real_add_bad_text", Op::Add, D("1.5", 1.5), S("x"), "EVariantError: Invalid variant type cast"},
        {"real_text_add", Op::Add, S("1.5"), I(1), "Double 2.5"},
        {"leading_blank_text_add", Op::Add, S(" 12"), I(1), "Double 13"},
        {"trailing_blank_text_add", Op::Add, S("12 "), I(1), "EVariantError: Invalid variant type cast"},
        {"exponent_text_add", Op::Add, S("1e3"), I(1), "Double 1001"},
        {"bool_add_int", Op::Add, B(true), I(1), "Int32 0"},
        {"bool_add_bool", Op::Add, B(true), B(true), "Int32 -2", "True + True stays an integer; Free Pascal gives a Double"},
        {"bool_add_text", Op::Add, B(true), S("1"), "Double 0"},
        {"null_add", Op::Add, N(), I(1), "Null "},
        {"text_add_null", Op::Add, S("a"), N(), "Null "},
        {"null_add_null", Op::Add, N(), N(), "Null "},
        {"empty_add_int", Op::Add, E(), I(1), "Int32 1", emptyActs},
        {"empty_add_text", Op::Add, E(), S("x"), "String x", emptyActs},
        {"empty_add_empty", Op::Add, E(), E(), "Unassigned "},
        {"real_overflow", Op::Add, D("1e308", 1e308), D("1e308", 1e308), "EOverflow: Floating point overflow"},
        {"date_add_int", Op::Add, T("2.5", 2.5), I(1), "DateTime 1900-01-02 12:00:00"},
        {"array_add", Op::Add, Arr(), I(1), "EVariantInvalidOpError: Invalid variant operation",
         "Free Pascal appends the operand types to the message"},
        // Subtraction and multiplication read texts as numbers.
        {"text_sub_text", Op::Sub, S("3"), S("4"), "Double -1"},
        {"int_sub", Op::Sub, I(1), I(2), "Int32 -1"},
        {"bad_text_sub", Op::Sub, S("x"), S("x"), "EVariantError: Invalid variant type cast"},
        {"date_sub_date", Op::Sub, T("3.5", 3.5), T("1.25", 1.25), "Double 2.25"},
        {"text_mul_text", Op::Mul, S("3"), S("4"), "Double 12"},
        {"real_mul_int", Op::Mul, D("1.5", 1.5), I(2), "Double 3"},
        {"bad_text_mul", Op::Mul, S("abc"), S("x"), "EVariantError: Invalid variant type cast"},
        {"real_mul_overflow", Op::Mul, D("1e300", 1e300), D("1e300", 1e300), "EOverflow: Floating point overflow",
         "every overflow is EOverflow; Free Pascal reports a product's as EInvalidOp"},
        // Real division.
        {"int_div_real", Op::Div, I(7), I(2), "Double 3.5"},
        {"int_div_exact", Op::Div, I(6), I(3), "Double 2"},
        {"int_div_zero", Op::Div, I(1), I(0), "EZeroDivide: Floating point division by zero"},
        {"real_div_zero", Op::Div, D("1.0", 1.0), D("0.0", 0.0), "EZeroDivide: Floating point division by zero"},
        {"zero_div_zero", Op::Div, D("0.0", 0.0), D("0.0", 0.0), "EInvalidOp: Invalid floating point operation"},
        {"text_div_text", Op::Div, S("6"), S("3"), "Double 2"},
        {"int_div_null", Op::Div, I(1), N(), "Null "},
        // div and mod.
        {"intdiv", Op::IntDiv, I(7), I(2), "Int32 3"},
        {"intdiv_negative", Op::IntDiv, I(7), I(-2), "Int32 -3"},
        {"intdiv_zero", Op::IntDiv, I(1), I(0), "EDivByZero: Division by zero"},
        {"intdiv_real", Op::IntDiv, D("7.5", 7.5), I(2), "Int32 4"},
        {"intdiv_real_to_zero", Op::IntDiv, I(5), D("0.4", 0.4), "EDivByZero: Division by zero"},
        {"intdiv_int64", Op::IntDiv, L(5), I(3), "Int64 1"},
        {"intdiv_min", Op::IntDiv, I(INT32_MIN), I(-1), "Int64 2147483648", widens},
        {"intdiv_text", Op::IntDiv, S("6"), S("4"), "Int32 1"},
        {"intdiv_null", Op::IntDiv, N(), I(0), "Null "},
        {"mod_negative", Op::Mod, I(-7), I(2), "Int32 -1"},
        {"mod_both_negative", Op::Mod, I(-7), I(-2), "Int32 -1"},
        {"mod_zero", Op::Mod, I(1), I(0), "EDivByZero: Division by zero"},
        {"mod_real", Op::Mod, D("7.0", 7.0), I(2), "Int32 1"},
        // Shifts work on 32 bits unless a 64-bit operand takes part.
        {"shl_wraps_count", Op::Shl, I(1), I(40), "Int32 256"},
        {"shr", Op::Shr, I(5), I(2), "Int32 1"},
        {"shr_negative", Op::Shr, I(-8), I(1), "Int32 2147483644"},
        {"shl_real", Op::Shl, D("1.5", 1.5), I(1), "Int32 4"},
        {"shl_int64", Op::Shl, L(1), I(40), "Int64 1099511627776"},
        // and, or, xor: logical for Booleans, bitwise for numbers, three-valued with Null.
        {"and_bool", Op::And, B(true), B(false), "Boolean False"},
        {"xor_int", Op::Xor, I(5), I(3), "Int32 6"},
        {"or_bool_int", Op::Or, B(true), I(3), "Int32 -1"},
        {"and_real_int", Op::And, D("2.5", 2.5), I(1), "Int32 0"},
        {"and_text_bool", Op::And, S("True"), B(true), "Boolean True"},
        {"and_text_int", Op::And, S("3"), I(5), "Int32 1"},
        {"and_true_null", Op::And, B(true), N(), "Null "},
        {"and_false_null", Op::And, B(false), N(), "Boolean False"},
        {"or_null_true", Op::Or, N(), B(true), "Boolean True"},
        {"or_null_false", Op::Or, N(), B(false), "Null "},
        {"and_null_zero", Op::And, N(), I(0), "Int32 0"},
        {"and_null_five", Op::And, N(), I(5), "Null "},
        {"xor_null", Op::Xor, N(), B(true), "Null "},
        {"and_empty_true", Op::And, E(), B(true), "Boolean False", emptyActs},
        // Unary operators.
        {"not_bool", Op::Not, B(true), None(), "Boolean False"},
        {"not_int", Op::Not, I(5), None(), "Int32 -6"},
        {"not_real", Op::Not, D("1.5", 1.5), None(), "Int32 -3"},
        {"not_null", Op::Not, N(), None(), "Null "},
        {"not_text", Op::Not, S("x"), None(), "EVariantInvalidOpError: Invalid variant operation",
         "Free Pascal appends the operator and the type to the message"},
        {"not_empty", Op::Not, E(), None(), "Int32 -1"},
        {"neg_text", Op::Neg, S("5"), None(), "Double -5"},
        {"neg_null", Op::Neg, N(), None(), "Null "},
        {"neg_empty", Op::Neg, E(), None(), "Int32 0"},
        {"neg_bool", Op::Neg, B(true), None(), "Int32 1", "True counts as -1 here too; Free Pascal negates it to -1"},
        {"neg_min", Op::Neg, I(INT32_MIN), None(), "Int64 2147483648", widens},
        {"neg_bad_text", Op::Neg, S("abc"), None(), "EVariantError: Invalid variant type cast"},
        // Comparisons: Null equals Null and is below everything.
        {"null_eq_null", Op::Eq, N(), N(), "Boolean True"},
        {"null_lt_int", Op::Lt, N(), I(1), "Boolean True"},
        {"null_eq_int", Op::Eq, N(), I(1), "Boolean False"},
        {"int_gt_null", Op::Gt, I(1), N(), "Boolean True"},
        {"null_lt_null", Op::Lt, N(), N(), "Boolean False"},
        {"null_le_null", Op::Le, N(), N(), "Boolean True"},
        {"null_ne_null", Op::Ne, N(), N(), "Boolean False"},
        {"empty_eq_zero", Op::Eq, E(), I(0), "Boolean True", emptyActs},
        {"empty_eq_text", Op::Eq, E(), S(""), "Boolean True", emptyActs},
        {"empty_lt_int", Op::Lt, E(), I(1), "Boolean True"},
        {"empty_eq_empty", Op::Eq, E(), E(), "Boolean True"},
        {"empty_eq_null", Op::Eq, E(), N(), "Boolean False"},
        {"text_case_order", Op::Lt, S("a"), S("B"), "Boolean False"},
        {"text_order", Op::Lt, S("abc"), S("abd"), "Boolean True"},
        {"text_prefix", Op::Lt, S("ab"), S("abc"), "Boolean True"},
        {"text_case_equal", Op::Eq, S("a"), S("A"), "Boolean False"},
        {"text_gt_int", Op::Gt, S("10"), I(9), "Boolean True"},
        {"bad_text_gt_int", Op::Gt, S("abc"), I(9), "EVariantError: Invalid variant type cast"},
        {"bool_eq_text", Op::Eq, B(true), S("True"), "Boolean True"},
        {"bool_eq_minus_one", Op::Eq, B(true), I(-1), "Boolean True"},
        {"bool_eq_one", Op::Eq, B(true), I(1), "Boolean False"},
        {"bool_order", Op::Lt, B(true), B(false), "Boolean False"},
        {"bool_lt_text", Op::Lt, B(true), S("abc"), "Boolean True"},
        {"text_eq_bool", Op::Eq, S("abc"), B(true), "Boolean False"},
        {"int_eq_real", Op::Eq, I(1), D("1.0", 1.0), "Boolean True"},
        {"int64_gt_real", Op::Gt, L(3000000000), D("1.5", 1.5), "Boolean True"},
        {"array_eq_int", Op::Eq, Arr(), I(1), "EVariantInvalidOpError: Invalid variant operation",
         "Free Pascal appends the operand types to the message"},
        // Conversions to Integer: halves to even, texts as integers, range checked.
        {"int_from_half", Op::ToInt32, D("2.5", 2.5), None(), "Int32 2"},
        {"int_from_half_odd", Op::ToInt32, D("3.5", 3.5), None(), "Int32 4"},
        {"int_from_negative_half", Op::ToInt32, D("-2.5", -2.5), None(), "Int32 -2"},
        {"int_from_text", Op::ToInt32, S("12"), None(), "Int32 12"},
        {"int_from_blank_text", Op::ToInt32, S(" 12"), None(), "Int32 12"},
        {"int_from_hex_text", Op::ToInt32, S("$FF"), None(), "Int32 255"},
        {"int_from_real_text", Op::ToInt32, S("12.7"), None(), "EVariantError: Invalid variant type cast"},
        {"int_from_bad_text", Op::ToInt32, S("abc"), None(), "EVariantError: Invalid variant type cast"},
        {"int_from_null", Op::ToInt32, N(), None(),
         "EVariantTypeCastError: Could not convert variant of type (Null) into type (Int64)"},
        {"int_from_empty", Op::ToInt32, E(), None(), "Int32 0"},
        {"int_from_big_real", Op::ToInt32, D("3e9", 3e9), None(), "ERangeError: Range check error", rangeChecked},
        {"int_from_big_text", Op::ToInt32, S("3000000000"), None(), "ERangeError: Range check error", rangeChecked},
        {"int_from_bool", Op::ToInt32, B(true), None(), "Int32 -1"},
        {"int64_from_text", Op::ToInt64, S("3000000000"), None(), "Int64 3000000000"},
        {"int64_from_huge_real", Op::ToInt64, D("1e30", 1e30), None(), "EInvalidOp: Invalid floating point operation"},
        // Conversions to Double and Boolean.
        {"real_from_null", Op::ToDouble, N(), None(),
         "EVariantTypeCastError: Could not convert variant of type (Null) into type (Double)"},
        {"real_from_bad_text", Op::ToDouble, S("x"), None(), "EVariantError: Invalid variant type cast"},
        {"real_from_huge_text", Op::ToDouble, S("1e400"), None(), "EOverflow: Floating point overflow"},
        {"real_from_empty", Op::ToDouble, E(), None(), "Double 0"},
        {"bool_from_upper_text", Op::ToBoolean, S("TRUE"), None(), "Boolean True"},
        {"bool_from_bad_text", Op::ToBoolean, S("yes"), None(), "EVariantError: Invalid variant type cast"},
        {"bool_from_minus_one_text", Op::ToBoolean, S("-1"), None(), "Boolean True"},
        {"bool_from_zero_text", Op::ToBoolean, S("0.0"), None(), "Boolean False"},
        {"bool_from_real_text", Op::ToBoolean, S("2.5"), None(), "Boolean True"},
        {"bool_from_null", Op::ToBoolean, N(), None(),
         "EVariantTypeCastError: Could not convert variant of type (Null) into type (Boolean)"},
        {"bool_from_empty", Op::ToBoolean, E(), None(), "Boolean False"},
        {"bool_from_half", Op::ToBoolean, D("0.5", 0.5), None(), "Boolean True"},
        // Conversions to text: 15 significant digits, fixed notation for exponents -5..14.
        {"text_from_bool", Op::ToString, B(true), None(), "String True"},
        {"text_from_real", Op::ToString, D("1.5", 1.5), None(), "String 1.5"},
        {"text_from_1e20", Op::ToString, D("1e20", 1e20), None(), "String 1E20"},
        {"text_from_third", Op::ToString, D("1/3", 1.0 / 3), None(), "String 0.333333333333333"},
        {"text_from_1e_5", Op::ToString, D("1e-5", 1e-5), None(), "String 0.00001"},
        {"text_from_1e_6", Op::ToString, D("1e-6", 1e-6), None(), "String 1E-6"},
        {"text_from_1e15", Op::ToString, D("1e15", 1e15), None(), "String 1E15"},
        {"text_from_15_digits", Op::ToString, D("999999999999999.0", 999999999999999.0), None(),
         "String 999999999999999"},
        {"text_from_rounded", Op::ToString, D("123456789012345.6", 123456789012345.6), None(), "String 123456789012346"},
        {"text_from_small", Op::ToString, D("-1.5e-7", -1.5e-7), None(), "String -1.5E-7"},
        {"text_from_null", Op::ToString, N(), None(),
         "EVariantTypeCastError: Could not convert variant of type (Null) into type (String)"},
        {"text_from_empty", Op::ToString, E(), None(), "String "},
        {"text_from_int64", Op::ToString, L(INT64_MIN), None(), "String -9223372036854775808"},
    };
}

inline const char* KindText(VariantKind kind)
{
    switch (kind) {
    case VariantKind::Unassigned:
        return "Unassigned";
    case VariantKind::Null:
        return "Null";
    case VariantKind::Boolean:
        return "Boolean";
    case VariantKind::Int32:
        return "Int32";
    case VariantKind::Int64:
        return "Int64";
    case VariantKind::Double:
        return "Double";
    case VariantKind::DateTime:
        return "DateTime";
    case VariantKind::String:
        return "String";
    default:
        return "Other";
    }
}

inline std::string Describe(const Variant& v)
{
    return std::string(KindText(v.Kind())) + " " + VarToStr(v).toStdString();
}

// Our result of a case, in the form of `expected`.
inline std::string Evaluate(const Case& c)
{
    const Variant& a = c.left.value;
    const Variant& b = c.right.value;
    try {
        switch (c.op) {
        case Op::Add: return Describe(VariantAdd(a, b));
        case Op::Sub: return Describe(VariantBinary(VariantOp::Subtract, a, b));
        case Op::Mul: return Describe(VariantBinary(VariantOp::Multiply, a, b));
        case Op::Div: return Describe(VariantBinary(VariantOp::Divide, a, b));
        case Op::IntDiv: return Describe(VariantBinary(VariantOp::IntDivide, a, b));
        case Op::Mod: return Describe(VariantBinary(VariantOp::Modulus, a, b));
        case Op::Shl: return Describe(VariantBinary(VariantOp::ShiftLeft, a, b));
        case Op::Shr: return Describe(VariantBinary(VariantOp::ShiftRight, a, b));
        case Op::And: return Describe(VariantBinary(VariantOp::And, a, b));
        case Op::Or: return Describe(VariantBinary(VariantOp::Or, a, b));
        case Op::Xor: return Describe(VariantBinary(VariantOp::Xor, a, b));
        case Op::Eq: return Describe(Variant(VariantCompare(VariantRelation::Equal, a, b)));
        case Op::Ne: return Describe(Variant(VariantCompare(VariantRelation::NotEqual, a, b)));
        case Op::Lt: return Describe(Variant(VariantCompare(VariantRelation::Less, a, b)));
        case Op::Le: return Describe(Variant(VariantCompare(VariantRelation::LessOrEqual, a, b)));
        case Op::Gt: return Describe(Variant(VariantCompare(VariantRelation::Greater, a, b)));
        case Op::Ge: return Describe(Variant(VariantCompare(VariantRelation::GreaterOrEqual, a, b)));
        case Op::Not: return Describe(VariantNot(a));
        case Op::Neg: return Describe(VariantNegate(a));
        case Op::ToInt32: return Describe(Variant(a.ToInt32()));
        case Op::ToInt64: return Describe(Variant(a.ToInt64()));
        case Op::ToDouble: return Describe(Variant(a.ToDouble()));
        case Op::ToBoolean: return Describe(Variant(a.ToBoolean()));
        case Op::ToString: return Describe(Variant(a.ToString()));
        }
    } catch (const EScriptError& e) {
        return std::string(e.ClassName()) + ": " + e.Message();
    }
    return "?";
}

// The Free Pascal statement that prints the same line for a case.
inline std::string PascalStatement(const Case& c)
{
    const std::string& a = c.left.pascal;
    const std::string& b = c.right.pascal;
    auto binary = [&](const char* op) { return "a := " + a + "; b := " + b + "; Show(a " + op + " b);"; };
    switch (c.op) {
    case Op::Add: return binary("+");
    case Op::Sub: return binary("-");
    case Op::Mul: return binary("*");
    case Op::Div: return binary("/");
    case Op::IntDiv: return binary("div");
    case Op::Mod: return binary("mod");
    case Op::Shl: return binary("shl");
    case Op::Shr: return binary("shr");
    case Op::And: return binary("and");
    case Op::Or: return binary("or");
    case Op::Xor: return binary("xor");
    case Op::Eq: return binary("=");
    case Op::Ne: return binary("<>");
    case Op::Lt: return binary("<");
    case Op::Le: return binary("<=");
    case Op::Gt: return binary(">");
    case Op::Ge: return binary(">=");
    case Op::Not: return "a := " + a + "; Show(not a);";
    case Op::Neg: return "a := " + a + "; Show(-a);";
    case Op::ToInt32: return "a := " + a + "; i := a; Show(i);";
    case Op::ToInt64: return "a := " + a + "; i64 := a; Show(i64);";
    case Op::ToDouble: return "a := " + a + "; d := a; Show(d);";
    case Op::ToBoolean: return "a := " + a + "; bo := a; Show(bo);";
    case Op::ToString: return "a := " + a + "; s := a; Show(s);";
    }
    return "";
}

} // namespace variantcases
