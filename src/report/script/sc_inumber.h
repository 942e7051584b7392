#pragma once

// Plain numbers for the interpreter's fast paths: the Int32 and Double values of Variant, and
// the arithmetic operators and comparisons on them. An operation gives exactly the value the
// Variant operator gives; where that would be anything else (an Int64, an error, a value of
// another kind) it gives no number, and the caller takes the general path. The fast paths
// use these only on expressions whose evaluation runs no script code and changes nothing
// (constants, plain variables and arithmetic on them), so giving up half-way and evaluating
// again through the general path is not observable.

#include "report/core/Variant.h"

#include <cmath>
#include <cstdint>

// The two values are kept apart (no union): the real then comes back from a function in a
// floating-point register and the integer and kind in a general one, so that a chain of real
// operations never moves its values between the two kinds of register.
struct TscNumber {
    enum Kind : uint8_t { None, Integer, Real };

    double R = 0;  // the value when Real
    Kind K = None;
    int32_t I = 0; // the value when Integer

    static TscNumber OfInteger(int32_t value)
    {
        TscNumber n;
        n.I = value;
        n.K = Integer;
        return n;
    }
    static TscNumber OfReal(double value)
    {
        TscNumber n;
        n.R = value;
        n.K = Real;
        return n;
    }
    // An Int32 or Double value; no number for every other kind.
    static TscNumber Of(const Variant& value)
    {
        if (value.Kind() == VariantKind::Int32)
            return OfInteger(value.AsInt32());
        if (value.Kind() == VariantKind::Double)
            return OfReal(value.AsDouble());
        return TscNumber();
    }

    explicit operator bool() const { return K != None; }
    double AsReal() const { return K == Integer ? static_cast<double>(I) : R; }
    Variant ToVariant() const { return K == Integer ? Variant(I) : Variant(R); }
};

// + - * / div mod as VariantArithmetic computes them for Int32 and Double operands.
template <VariantOp Op>
inline TscNumber ScNumberArithmetic(const TscNumber& a, const TscNumber& b)
{
    static_assert(Op == VariantOp::Add || Op == VariantOp::Subtract || Op == VariantOp::Multiply ||
                  Op == VariantOp::Divide || Op == VariantOp::IntDivide || Op == VariantOp::Modulus);
    if (a.K == TscNumber::Integer && b.K == TscNumber::Integer) {
        const int64_t x = a.I;
        const int64_t y = b.I;
        int64_t r = 0;
        if constexpr (Op == VariantOp::Add)
            r = x + y;
        if constexpr (Op == VariantOp::Subtract)
            r = x - y;
        if constexpr (Op == VariantOp::Multiply)
            r = x * y;
        if constexpr (Op == VariantOp::Divide) {
            if (y == 0)
                return TscNumber();
            return TscNumber::OfReal(static_cast<double>(x) / static_cast<double>(y));
        }
        if constexpr (Op == VariantOp::IntDivide) {
            if (y == 0 || (y == -1 && x == INT32_MIN))
                return TscNumber();
            return TscNumber::OfInteger(y == -1 ? -a.I : a.I / b.I);
        }
        if constexpr (Op == VariantOp::Modulus) {
            if (y == 0)
                return TscNumber();
            return TscNumber::OfInteger(y == -1 ? 0 : a.I % b.I);
        }
        if (r < INT32_MIN || r > INT32_MAX)
            return TscNumber(); // an Int64
        return TscNumber::OfInteger(static_cast<int32_t>(r));
    }
    if constexpr (Op == VariantOp::IntDivide || Op == VariantOp::Modulus) {
        return TscNumber(); // reals are rounded first: the tables do that
    } else {
        const double x = a.AsReal();
        const double y = b.AsReal();
        double r = 0;
        if constexpr (Op == VariantOp::Add)
            r = x + y;
        if constexpr (Op == VariantOp::Subtract)
            r = x - y;
        if constexpr (Op == VariantOp::Multiply)
            r = x * y;
        if constexpr (Op == VariantOp::Divide) {
            if (y == 0)
                return TscNumber();
            r = x / y;
        }
        if (!std::isfinite(r))
            return TscNumber(); // EOverflow or EInvalidOp
        return TscNumber::OfReal(r);
    }
}

// Unary minus as VariantNegate computes it.
inline TscNumber ScNumberNegate(const TscNumber& a)
{
    if (a.K == TscNumber::Integer)
        return a.I == INT32_MIN ? TscNumber() : TscNumber::OfInteger(-a.I);
    if (a.K == TscNumber::Real)
        return TscNumber::OfReal(-a.R);
    return TscNumber();
}

// A comparison as VariantRelationHolds decides it; both numbers must be given.
template <VariantRelation R>
inline bool ScNumberHolds(const TscNumber& a, const TscNumber& b)
{
    if (a.K == TscNumber::Integer && b.K == TscNumber::Integer)
        return variantinline::RelationHolds<R>(a.I, b.I);
    return variantinline::RelationHolds<R>(a.AsReal(), b.AsReal());
}
