// Conversions and operators of Variant: the Pascal variant rules.
//
// Every operator first maps both operands to a category and looks the pair up in its table,
// which names the domain the operation runs in. The tables are the rules; the code below
// them only carries out the domains. Numbers:
//   - Int32 results that do not fit become Int64, Int64 results that do not fit become Double;
//   - a Double result too large for a double is EOverflow, 0/0 EInvalidOp, any other real
//     division by zero EZeroDivide, an integer division by zero EDivByZero;
//   - Booleans count as -1 (True) and 0 (False); texts are read as numbers with the
//     settings' decimal separator, and what is no number is EVariantError.
// Null propagates (Null + 1 is Null); Unassigned acts as 0, an empty text or False beside the
// other operand, and two Unassigned operands give Unassigned.

#include "NumberText.h"
#include "Rounding.h"
#include "ScriptErrors.h"
#include "Formats.h"
#include "Texts.h"
#include "Variant.h"

#include "platform/DateTime.h"

#include <cmath>
#include <string>

namespace {

enum Category : uint8_t { cE, cN, cB, cI, cL, cD, cT, cS, cX, kCategoryCount };

Category CategoryOf(VariantKind kind)
{
    switch (kind) {
    case VariantKind::Unassigned:
        return cE;
    case VariantKind::Null:
        return cN;
    case VariantKind::Boolean:
        return cB;
    case VariantKind::Int32:
    case VariantKind::Object: // a handle counts as its number
        return cI;
    case VariantKind::Int64:
        return cL;
    case VariantKind::Double:
        return cD;
    case VariantKind::DateTime:
        return cT;
    case VariantKind::String:
        return cS;
    case VariantKind::Array:
    case VariantKind::Dispatch:
        return cX;
    }
    return cX;
}

// Domains of the arithmetic and logical operators.
enum Domain : uint8_t {
    dNul, // Null (for and/or: the three-valued rule)
    dEmp, // Unassigned
    dI32, // integers: Int32 while the values and the result fit, else Int64
    dI64, // integers: Int64
    dDbl, // Double
    dDat, // DateTime
    dCat, // text concatenation
    dBoo, // Boolean
    dErr, // EVariantInvalidOpError
};

using DomainTable = Domain[kCategoryCount][kCategoryCount];

// Rows: left operand; columns: right operand.
//                          E     N     B     I     L     D     T     S     X
constexpr DomainTable kAdd = {
    /* E */ {dEmp, dNul, dI32, dI32, dI64, dDbl, dDat, dCat, dErr},
    /* N */ {dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul},
    /* B */ {dI32, dNul, dI32, dI32, dI64, dDbl, dDat, dDbl, dErr},
    /* I */ {dI32, dNul, dI32, dI32, dI64, dDbl, dDat, dDbl, dErr},
    /* L */ {dI64, dNul, dI64, dI64, dI64, dDbl, dDat, dDbl, dErr},
    /* D */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDat, dDbl, dErr},
    /* T */ {dDat, dNul, dDat, dDat, dDat, dDat, dDat, dDbl, dErr},
    /* S */ {dCat, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dCat, dErr},
    /* X */ {dErr, dNul, dErr, dErr, dErr, dErr, dErr, dErr, dErr},
};

// Texts are subtracted as numbers; a date minus a date is a number of days.
constexpr DomainTable kSubtract = {
    /* E */ {dEmp, dNul, dI32, dI32, dI64, dDbl, dDat, dDbl, dErr},
    /* N */ {dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul},
    /* B */ {dI32, dNul, dI32, dI32, dI64, dDbl, dDat, dDbl, dErr},
    /* I */ {dI32, dNul, dI32, dI32, dI64, dDbl, dDat, dDbl, dErr},
    /* L */ {dI64, dNul, dI64, dI64, dI64, dDbl, dDat, dDbl, dErr},
    /* D */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDat, dDbl, dErr},
    /* T */ {dDat, dNul, dDat, dDat, dDat, dDat, dDbl, dDbl, dErr},
    /* S */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* X */ {dErr, dNul, dErr, dErr, dErr, dErr, dErr, dErr, dErr},
};

constexpr DomainTable kMultiply = {
    /* E */ {dEmp, dNul, dI32, dI32, dI64, dDbl, dDbl, dDbl, dErr},
    /* N */ {dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul},
    /* B */ {dI32, dNul, dI32, dI32, dI64, dDbl, dDbl, dDbl, dErr},
    /* I */ {dI32, dNul, dI32, dI32, dI64, dDbl, dDbl, dDbl, dErr},
    /* L */ {dI64, dNul, dI64, dI64, dI64, dDbl, dDbl, dDbl, dErr},
    /* D */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* T */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* S */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* X */ {dErr, dNul, dErr, dErr, dErr, dErr, dErr, dErr, dErr},
};

constexpr DomainTable kDivide = {
    /* E */ {dEmp, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* N */ {dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul},
    /* B */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* I */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* L */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* D */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* T */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* S */ {dDbl, dNul, dDbl, dDbl, dDbl, dDbl, dDbl, dDbl, dErr},
    /* X */ {dErr, dNul, dErr, dErr, dErr, dErr, dErr, dErr, dErr},
};

// div, mod, shl, shr: reals are rounded (halves to even), texts read as numbers and rounded.
constexpr DomainTable kInteger = {
    /* E */ {dEmp, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* N */ {dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul},
    /* B */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* I */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* L */ {dI64, dNul, dI64, dI64, dI64, dI64, dI64, dI64, dErr},
    /* D */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* T */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* S */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* X */ {dErr, dNul, dErr, dErr, dErr, dErr, dErr, dErr, dErr},
};

// and, or, xor: logical between Booleans (a text beside a Boolean is read as one), bitwise
// otherwise.
constexpr DomainTable kLogical = {
    /* E */ {dEmp, dNul, dBoo, dI32, dI64, dI32, dI32, dI32, dErr},
    /* N */ {dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul, dNul},
    /* B */ {dBoo, dNul, dBoo, dI32, dI64, dI32, dI32, dBoo, dErr},
    /* I */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* L */ {dI64, dNul, dI64, dI64, dI64, dI64, dI64, dI64, dErr},
    /* D */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* T */ {dI32, dNul, dI32, dI32, dI64, dI32, dI32, dI32, dErr},
    /* S */ {dI32, dNul, dBoo, dI32, dI64, dI32, dI32, dI32, dErr},
    /* X */ {dErr, dNul, dErr, dErr, dErr, dErr, dErr, dErr, dErr},
};

// Comparison domains, after Null and Unassigned have been settled.
enum Comparison : uint8_t {
    kInt,     // as 64-bit integers
    kReal,    // as doubles
    kText,    // texts by code units
    kBoolOrd, // False < True
    kBoolTxt, // a Boolean beside a text compares as its text ("True", "False")
    kNoCmp,   // EVariantInvalidOpError
};

//                                            E      N      B        I      L      D      T      S        X
constexpr Comparison kCompare[kCategoryCount][kCategoryCount] = {
    /* E */ {kInt, kInt, kBoolOrd, kInt, kInt, kReal, kReal, kText, kNoCmp},
    /* N */ {kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt},
    /* B */ {kBoolOrd, kInt, kBoolOrd, kInt, kInt, kReal, kReal, kBoolTxt, kNoCmp},
    /* I */ {kInt, kInt, kInt, kInt, kInt, kReal, kReal, kReal, kNoCmp},
    /* L */ {kInt, kInt, kInt, kInt, kInt, kReal, kReal, kReal, kNoCmp},
    /* D */ {kReal, kInt, kReal, kReal, kReal, kReal, kReal, kReal, kNoCmp},
    /* T */ {kReal, kInt, kReal, kReal, kReal, kReal, kReal, kReal, kNoCmp},
    /* S */ {kText, kInt, kBoolTxt, kReal, kReal, kReal, kReal, kText, kNoCmp},
    /* X */ {kNoCmp, kInt, kNoCmp, kNoCmp, kNoCmp, kNoCmp, kNoCmp, kNoCmp, kNoCmp},
};

[[noreturn]] void ThrowNullCast(const char* target)
{
    throw EVariantTypeCastError(FormatText(coretexts::kCannotConvertNullFormat, {Variant(QString::fromLatin1(target))}).toStdString());
}

bool Fits32(int64_t value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

Variant IntegerResult(int64_t value, bool wide)
{
    if (!wide && Fits32(value))
        return Variant(static_cast<int32_t>(value));
    return Variant(value);
}

// Operands are always finite (texts beyond the range do not convert), so a result that is
// not is an overflow.
double CheckedReal(double value)
{
    if (std::isnan(value))
        throw EInvalidOp();
    if (std::isinf(value))
        throw EOverflow();
    return value;
}

QString DateTimeText(double value, const FormatSettings& settings)
{
    // A time of day alone (day 0) reads as that time, as the "[Time]" of a report shows it;
    // a whole day as its date; anything else as both.
    const bool timeOnly = std::trunc(value) == 0 && value != 0;
    QString pattern = timeOnly ? QString() : settings.ShortDateFormat;
    if (value != std::trunc(value)) {
        if (!timeOnly)
            pattern += u' ';
        pattern += settings.LongTimeFormat;
    }
    return QString::fromStdString(FormatDateTime(pattern.toStdString(), value));
}

// The value an Unassigned operand takes beside `other`: 0, an empty text or False.
Variant EmptyBeside(const Variant& other)
{
    switch (other.Kind()) {
    case VariantKind::String:
        return Variant(QString());
    case VariantKind::Boolean:
        return Variant(false);
    case VariantKind::Double:
    case VariantKind::DateTime:
        return Variant(0.0);
    default:
        return Variant(int32_t{0});
    }
}

Variant Concatenate(const QString& left, const QString& right)
{
    CheckStringLength(left.size() + right.size());
    return Variant(left + right);
}

Variant RealOperation(VariantOp op, double a, double b, bool asDate)
{
    double r = 0;
    switch (op) {
    case VariantOp::Add:
        r = a + b;
        break;
    case VariantOp::Subtract:
        r = a - b;
        break;
    case VariantOp::Multiply:
        r = a * b;
        break;
    case VariantOp::Divide:
        if (b == 0) {
            if (a == 0)
                throw EInvalidOp();
            throw EZeroDivide();
        }
        r = a / b;
        break;
    default:
        throw EVariantInvalidOpError();
    }
    r = CheckedReal(r);
    return asDate ? Variant::FromDateTime(r) : Variant(r);
}

Variant IntegerOperation(VariantOp op, int64_t a, int64_t b, bool wide)
{
    int64_t r = 0;
    switch (op) {
    case VariantOp::Add:
        if (__builtin_add_overflow(a, b, &r))
            return Variant(static_cast<double>(a) + static_cast<double>(b));
        break;
    case VariantOp::Subtract:
        if (__builtin_sub_overflow(a, b, &r))
            return Variant(static_cast<double>(a) - static_cast<double>(b));
        break;
    case VariantOp::Multiply:
        if (__builtin_mul_overflow(a, b, &r))
            return Variant(CheckedReal(static_cast<double>(a) * static_cast<double>(b)));
        break;
    case VariantOp::IntDivide:
        if (b == 0)
            throw EDivByZero();
        if (b == -1) {
            if (a == INT64_MIN)
                return Variant(-static_cast<double>(a));
            r = -a;
        } else {
            r = a / b;
        }
        break;
    case VariantOp::Modulus:
        if (b == 0)
            throw EDivByZero();
        r = b == -1 ? 0 : a % b;
        break;
    case VariantOp::ShiftLeft:
        if (!wide && Fits32(a))
            return Variant(static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31)));
        return Variant(static_cast<int64_t>(static_cast<uint64_t>(a) << (b & 63)));
    case VariantOp::ShiftRight:
        if (!wide && Fits32(a))
            return Variant(static_cast<int32_t>(static_cast<uint32_t>(a) >> (b & 31)));
        return Variant(static_cast<int64_t>(static_cast<uint64_t>(a) >> (b & 63)));
    case VariantOp::And:
        r = a & b;
        break;
    case VariantOp::Or:
        r = a | b;
        break;
    case VariantOp::Xor:
        r = a ^ b;
        break;
    case VariantOp::Divide:
        throw EVariantInvalidOpError();
    }
    return IntegerResult(r, wide);
}

// and/or/xor with a Null operand: False (or 0) decides an `and`, True (or -1) an `or`;
// everything else is Null.
Variant ThreeValued(VariantOp op, const Variant& other, const FormatSettings& settings)
{
    if (op == VariantOp::Xor || other.IsNull())
        return Variant::NullValue();
    switch (other.Kind()) {
    case VariantKind::Boolean:
        if (op == VariantOp::And ? !other.AsBoolean() : other.AsBoolean())
            return other;
        return Variant::NullValue();
    case VariantKind::Int32:
    case VariantKind::Int64: {
        const int64_t value = other.ToInt64(settings);
        if (op == VariantOp::And ? value == 0 : value == -1)
            return other;
        return Variant::NullValue();
    }
    default:
        return Variant::NullValue();
    }
}

} // namespace

bool Variant::ToBoolean(const FormatSettings& settings) const
{
    switch (kind_) {
    case VariantKind::Unassigned:
        return false;
    case VariantKind::Null:
        ThrowNullCast("Boolean");
    case VariantKind::Boolean:
        return b_;
    case VariantKind::Int32:
        return i32_ != 0;
    case VariantKind::Object:
        return handle_ != 0;
    case VariantKind::Int64:
        return i64_ != 0;
    case VariantKind::Double:
    case VariantKind::DateTime:
        return d_ != 0;
    case VariantKind::String: {
        if (str_.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (str_.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        double value = 0;
        if (TextToFloat(str_, settings, value) == TextToFloatResult::Ok)
            return value != 0;
        throw EVariantError();
    }
    case VariantKind::Array:
    case VariantKind::Dispatch:
        break;
    }
    throw EVariantError();
}

int64_t Variant::ToInt64(const FormatSettings& settings) const
{
    switch (kind_) {
    case VariantKind::Unassigned:
        return 0;
    case VariantKind::Null:
        ThrowNullCast("Int64");
    case VariantKind::Boolean:
        return b_ ? -1 : 0;
    case VariantKind::Int32:
        return i32_;
    case VariantKind::Object:
        return handle_;
    case VariantKind::Int64:
        return i64_;
    case VariantKind::Double:
    case VariantKind::DateTime: {
        int64_t value = 0;
        if (!RoundHalfEvenToInt64(d_, value))
            throw EInvalidOp();
        return value;
    }
    case VariantKind::String: {
        int64_t value = 0;
        if (TextToInt64(str_, value))
            return value;
        (void)settings;
        throw EVariantError();
    }
    case VariantKind::Array:
    case VariantKind::Dispatch:
        break;
    }
    throw EVariantError();
}

int32_t Variant::ToInt32(const FormatSettings& settings) const
{
    if (kind_ == VariantKind::Int32)
        return i32_;
    const int64_t value = ToInt64(settings);
    if (!Fits32(value))
        throw ERangeError();
    return static_cast<int32_t>(value);
}

double Variant::ToDouble(const FormatSettings& settings) const
{
    switch (kind_) {
    case VariantKind::Unassigned:
        return 0;
    case VariantKind::Null:
        ThrowNullCast("Double");
    case VariantKind::Boolean:
        return b_ ? -1 : 0;
    case VariantKind::Int32:
        return i32_;
    case VariantKind::Object:
        return handle_;
    case VariantKind::Int64:
        return static_cast<double>(i64_);
    case VariantKind::Double:
    case VariantKind::DateTime:
        return d_;
    case VariantKind::String: {
        double value = 0;
        switch (TextToFloat(str_, settings, value)) {
        case TextToFloatResult::Ok:
            return value;
        case TextToFloatResult::Overflow:
            throw EOverflow();
        case TextToFloatResult::Invalid:
            break;
        }
        throw EVariantError();
    }
    case VariantKind::Array:
    case VariantKind::Dispatch:
        break;
    }
    throw EVariantError();
}

QString Variant::ToString(const FormatSettings& settings) const
{
    switch (kind_) {
    case VariantKind::Unassigned:
        return QString();
    case VariantKind::Null:
        ThrowNullCast("String");
    case VariantKind::Boolean:
        return b_ ? QStringLiteral("True") : QStringLiteral("False");
    case VariantKind::Int32:
        return QString::number(i32_);
    case VariantKind::Object:
        return QString::number(handle_);
    case VariantKind::Int64:
        return QString::number(i64_);
    case VariantKind::Double:
        return FloatToGeneralText(d_, 15, settings);
    case VariantKind::DateTime:
        return DateTimeText(d_, settings);
    case VariantKind::String:
        return str_;
    case VariantKind::Array:
    case VariantKind::Dispatch:
        break;
    }
    throw EVariantError();
}

QString VarToStr(const Variant& value, const FormatSettings& settings)
{
    if (value.IsNull())
        return QString();
    return value.ToString(settings);
}

namespace {

bool IsPlainNumber(VariantKind kind)
{
    return kind == VariantKind::Int32 || kind == VariantKind::Double;
}

double PlainNumber(const Variant& value)
{
    return value.Kind() == VariantKind::Double ? value.AsDouble() : value.AsInt32();
}

} // namespace

Variant VariantBinary(VariantOp op, const Variant& left, const Variant& right, const FormatSettings& settings)
{
    // The frequent cases, Int32 and Double operands, without the tables; they give exactly
    // what the tables give.
    const VariantKind lk = left.Kind();
    const VariantKind rk = right.Kind();
    if (lk == VariantKind::Int32 && rk == VariantKind::Int32) {
        const int64_t a = left.AsInt32();
        const int64_t b = right.AsInt32();
        switch (op) {
        case VariantOp::Add:
            return IntegerResult(a + b, false);
        case VariantOp::Subtract:
            return IntegerResult(a - b, false);
        case VariantOp::Multiply:
            return IntegerResult(a * b, false);
        case VariantOp::IntDivide:
            if (b == 0)
                throw EDivByZero();
            return IntegerResult(a / b, false);
        case VariantOp::Modulus:
            if (b == 0)
                throw EDivByZero();
            return IntegerResult(a % b, false);
        default:
            break;
        }
    } else if (IsPlainNumber(lk) && IsPlainNumber(rk)) {
        const double a = PlainNumber(left);
        const double b = PlainNumber(right);
        switch (op) {
        case VariantOp::Add:
            return Variant(CheckedReal(a + b));
        case VariantOp::Subtract:
            return Variant(CheckedReal(a - b));
        case VariantOp::Multiply:
            return Variant(CheckedReal(a * b));
        case VariantOp::Divide:
            if (b != 0)
                return Variant(CheckedReal(a / b));
            break;
        default:
            break;
        }
    }
    // Two 32-bit integers, the usual case, need no table: the integer domain as below.
    if (left.Kind() == VariantKind::Int32 && right.Kind() == VariantKind::Int32 && op != VariantOp::Divide)
        return IntegerOperation(op, left.AsInt32(), right.AsInt32(), false);
    const Category lc = CategoryOf(left.Kind());
    const Category rc = CategoryOf(right.Kind());
    const DomainTable* table = nullptr;
    switch (op) {
    case VariantOp::Add:
        table = &kAdd;
        break;
    case VariantOp::Subtract:
        table = &kSubtract;
        break;
    case VariantOp::Multiply:
        table = &kMultiply;
        break;
    case VariantOp::Divide:
        table = &kDivide;
        break;
    case VariantOp::IntDivide:
    case VariantOp::Modulus:
    case VariantOp::ShiftLeft:
    case VariantOp::ShiftRight:
        table = &kInteger;
        break;
    case VariantOp::And:
    case VariantOp::Or:
    case VariantOp::Xor:
        table = &kLogical;
        break;
    }
    const Domain domain = (*table)[lc][rc];
    const bool logical = op == VariantOp::And || op == VariantOp::Or || op == VariantOp::Xor;
    switch (domain) {
    case dNul:
        if (logical)
            return ThreeValued(op, left.IsNull() ? right : left, settings);
        return Variant::NullValue();
    case dEmp:
        return Variant();
    case dErr:
        throw EVariantInvalidOpError();
    case dCat:
        return Concatenate(left.ToString(settings), right.ToString(settings));
    case dBoo: {
        const bool a = left.ToBoolean(settings);
        const bool b = right.ToBoolean(settings);
        return Variant(op == VariantOp::And ? (a && b) : op == VariantOp::Or ? (a || b) : (a != b));
    }
    case dDbl:
    case dDat:
        return RealOperation(op, left.ToDouble(settings), right.ToDouble(settings), domain == dDat);
    case dI32:
    case dI64: {
        // Reals and texts become integers first; a value outside 32 bits widens the domain.
        const int64_t a = left.ToInt64(settings);
        const int64_t b = right.ToInt64(settings);
        const bool wide = domain == dI64 || !Fits32(a) || !Fits32(b);
        if (op == VariantOp::Divide)
            return RealOperation(op, static_cast<double>(a), static_cast<double>(b), false);
        return IntegerOperation(op, a, b, wide);
    }
    }
    throw EVariantInvalidOpError();
}

Variant VariantNot(const Variant& value, const FormatSettings& settings)
{
    switch (value.Kind()) {
    case VariantKind::Unassigned:
        return Variant(int32_t{-1});
    case VariantKind::Null:
        return Variant::NullValue();
    case VariantKind::Boolean:
        return Variant(!value.AsBoolean());
    case VariantKind::Int32:
        return Variant(~value.AsInt32());
    case VariantKind::Int64:
        return Variant(~value.AsInt64());
    case VariantKind::Object:
    case VariantKind::Double:
    case VariantKind::DateTime:
        return IntegerResult(~value.ToInt64(settings), false);
    case VariantKind::String:
    case VariantKind::Array:
    case VariantKind::Dispatch:
        break;
    }
    throw EVariantInvalidOpError();
}

Variant VariantNegate(const Variant& value, const FormatSettings& settings)
{
    switch (value.Kind()) {
    case VariantKind::Unassigned:
        return Variant(int32_t{0});
    case VariantKind::Null:
        return Variant::NullValue();
    case VariantKind::Boolean:
    case VariantKind::Int32:
    case VariantKind::Object:
        return IntegerResult(-value.ToInt64(settings), false);
    case VariantKind::Int64:
        if (value.AsInt64() == INT64_MIN)
            return Variant(-static_cast<double>(value.AsInt64()));
        return Variant(-value.AsInt64());
    case VariantKind::Double:
        return Variant(-value.AsDouble());
    case VariantKind::DateTime:
        return Variant::FromDateTime(-value.AsDouble());
    case VariantKind::String:
        return Variant(-value.ToDouble(settings));
    case VariantKind::Array:
    case VariantKind::Dispatch:
        break;
    }
    throw EVariantInvalidOpError();
}

VariantOrder VariantCompare(const Variant& left, const Variant& right, const FormatSettings& settings)
{
    auto order = [](auto a, auto b) {
        return a < b ? VariantOrder::Less : (b < a ? VariantOrder::Greater : VariantOrder::Equal);
    };
    // Int32 and Double operands without the tables.
    if (left.Kind() == VariantKind::Int32 && right.Kind() == VariantKind::Int32)
        return order(left.AsInt32(), right.AsInt32());
    if (IsPlainNumber(left.Kind()) && IsPlainNumber(right.Kind()))
        return order(PlainNumber(left), PlainNumber(right));
    if (left.Kind() == VariantKind::Int32 && right.Kind() == VariantKind::Int32) {
        const int32_t a = left.AsInt32();
        const int32_t b = right.AsInt32();
        return a < b ? VariantOrder::Less : (b < a ? VariantOrder::Greater : VariantOrder::Equal);
    }
    const bool leftNull = left.IsNull();
    const bool rightNull = right.IsNull();
    if (leftNull || rightNull) {
        if (leftNull && rightNull)
            return VariantOrder::Equal;
        return leftNull ? VariantOrder::Less : VariantOrder::Greater;
    }
    if (left.IsUnassigned() || right.IsUnassigned()) {
        if (left.IsUnassigned() && right.IsUnassigned())
            return VariantOrder::Equal;
        if (left.IsUnassigned())
            return VariantCompare(EmptyBeside(right), right, settings);
        return VariantCompare(left, EmptyBeside(left), settings);
    }
    switch (kCompare[CategoryOf(left.Kind())][CategoryOf(right.Kind())]) {
    case kInt:
        return order(left.ToInt64(settings), right.ToInt64(settings));
    case kReal:
        return order(left.ToDouble(settings), right.ToDouble(settings));
    case kText: {
        const int c = QString::compare(left.ToString(settings), right.ToString(settings), Qt::CaseSensitive);
        return c < 0 ? VariantOrder::Less : (c > 0 ? VariantOrder::Greater : VariantOrder::Equal);
    }
    case kBoolOrd:
        return order(int{left.ToBoolean(settings)}, int{right.ToBoolean(settings)});
    case kBoolTxt: {
        const int c = QString::compare(left.ToString(settings), right.ToString(settings), Qt::CaseSensitive);
        return c < 0 ? VariantOrder::Less : (c > 0 ? VariantOrder::Greater : VariantOrder::Equal);
    }
    case kNoCmp:
        break;
    }
    throw EVariantInvalidOpError();
}

bool VariantCompare(VariantRelation relation, const Variant& left, const Variant& right,
                    const FormatSettings& settings)
{
    return OrderSatisfies(relation, VariantCompare(left, right, settings));
}
