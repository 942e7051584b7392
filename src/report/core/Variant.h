#pragma once

#include "FormatSettings.h"
#include "ScriptMemory.h"

#include <QString>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

// The one value type of the report subsystems: script values, report variables and the
// values of report objects. It follows the Pascal variant rules (see VariantOps.cpp for the
// conversion and operator tables).

enum class VariantKind : uint8_t {
    Unassigned, // never given a value: acts as 0 or an empty text
    Null,       // no value: propagates through arithmetic
    Boolean,
    Int32,
    Int64,
    Double,
    DateTime,   // days since 30 December 1899, the fraction the time of day
    Object,     // a handle of the object table (ObjectHandles.h); 0 is nil
    // The kinds from here on own what they hold; those before are plain copies.
    String,
    Array,      // any number of dimensions, bounded, copied on write
    Dispatch,   // a late-bound object
};

// Limits on what one value may hold. A script that goes past them gets EOutOfMemory
// instead of exhausting the machine.
inline constexpr qsizetype kMaxStringLength = 16 * 1024 * 1024; // UTF-16 code units
inline constexpr int64_t kMaxArrayElements = 4 * 1024 * 1024;
inline constexpr int kMaxArrayDimensions = 64;
inline constexpr int kMaxArrayNesting = 64; // arrays held in arrays held in arrays ...

// Variant type codes of the run-time library (VarType).
enum VariantTypeCode : int {
    varEmpty = 0,
    varNull = 1,
    varInteger = 3,
    varDouble = 5,
    varDate = 7,
    varOleStr = 8,
    varDispatch = 9,
    varBoolean = 11,
    varVariant = 12,
    varInt64 = 20,
    varArray = 0x2000,
};

struct VariantArrayBound {
    int32_t Low = 0;
    int32_t High = -1;
};

class Variant;
class VariantArray;

// A late-bound object (automation objects of other programs, or any object that resolves
// its members by name at run time).
// The kinds of a call, combinable: a member read without arguments is a method call or a
// property read, whichever the object has.
enum class DispatchCall : uint8_t { Method = 1, PropertyGet = 2, PropertyPut = 4 };

constexpr DispatchCall operator|(DispatchCall a, DispatchCall b)
{
    return static_cast<DispatchCall>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b));
}

constexpr bool HasCall(DispatchCall calls, DispatchCall kind)
{
    return (static_cast<uint8_t>(calls) & static_cast<uint8_t>(kind)) != 0;
}

class IScriptDispatch {
public:
    virtual ~IScriptDispatch() = default;
    // The member's number, or -1 when the object has no member of that name.
    virtual int FindMember(const QString& name) = 0;
    // Calls the member with positional arguments (for a put: the index arguments, then the
    // value). A failure throws DispatchFailure (Dispatch.h).
    virtual Variant Invoke(int member, DispatchCall calls, std::span<const Variant> arguments) = 0;
};

// The small kinds share one 64-bit word, read through the member of their kind.
static_assert(std::endian::native == std::endian::little);

class Variant {
public:
    Variant() noexcept : kind_(VariantKind::Unassigned), i64_(0) {}
    // The small kinds are written as one 64-bit word (the value in the low bytes, zeros above),
    // so that copying them, which reads that word, never waits on two partial writes.
    Variant(bool value) noexcept : kind_(VariantKind::Boolean), i64_(value ? 1 : 0) {}
    Variant(int32_t value) noexcept : kind_(VariantKind::Int32), i64_(static_cast<uint32_t>(value)) {}
    Variant(int64_t value) noexcept : kind_(VariantKind::Int64), i64_(value) {}
    Variant(double value) noexcept : kind_(VariantKind::Double), d_(value) {}
    // A text value: noted against the memory of the script running, if one runs (ScriptMemory.h).
    Variant(const QString& value) : kind_(VariantKind::String)
    {
        new (&str_) QString(value);
        NoteScriptMemory(ScriptTextBytes(str_.size()));
    }
    Variant(QString&& value) noexcept : kind_(VariantKind::String)
    {
        new (&str_) QString(std::move(value));
        NoteScriptMemory(ScriptTextBytes(str_.size()));
    }
    // A text value sharing a text that is already held (a variable's), so nothing is noted.
    static Variant SharingText(const QString& value)
    {
        Variant v;
        v.kind_ = VariantKind::String;
        new (&v.str_) QString(value);
        return v;
    }
    // UTF-8 text; without this a literal would become a Boolean.
    Variant(const char* value) : Variant(QString::fromUtf8(value)) {}
    // Pointers would silently become Booleans: objects travel as handles (FromObject).
    Variant(const void*) = delete;
    Variant(std::nullptr_t) = delete;

    static Variant NullValue() noexcept
    {
        Variant v;
        v.kind_ = VariantKind::Null;
        return v;
    }
    static Variant FromDateTime(double days) noexcept
    {
        Variant v(days);
        v.kind_ = VariantKind::DateTime;
        return v;
    }
    static Variant FromObject(uint32_t handle) noexcept
    {
        Variant v;
        v.kind_ = VariantKind::Object;
        v.i64_ = handle; // the handle in the low bytes, as handle_ reads it
        return v;
    }
    static Variant FromDispatch(std::shared_ptr<IScriptDispatch> object);
    // An array with these bounds, every element Unassigned; EOutOfMemory past the limits,
    // EVariantInvalidArgError without dimensions. `elementType` is the VarType code of the
    // elements (varVariant by default).
    static Variant CreateArray(std::span<const VariantArrayBound> bounds, int elementType = varVariant);

    Variant(const Variant& other) : kind_(other.kind_)
    {
        if (kind_ >= VariantKind::String)
            CopyFrom(other);
        else
            i64_ = other.i64_; // the widest plain member covers all of them
    }
    Variant(Variant&& other) noexcept : kind_(other.kind_)
    {
        if (kind_ >= VariantKind::String)
            MoveFrom(std::move(other));
        else
            i64_ = other.i64_;
    }
    Variant& operator=(const Variant& other)
    {
        if (kind_ < VariantKind::String && other.kind_ < VariantKind::String) {
            kind_ = other.kind_;
            i64_ = other.i64_;
        } else if (this != &other) {
            Variant copy(other); // keeps `other` alive if it lives inside this value
            Destroy();
            MoveFrom(std::move(copy));
        }
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept
    {
        if (kind_ < VariantKind::String && other.kind_ < VariantKind::String) {
            kind_ = other.kind_;
            i64_ = other.i64_;
        } else if (this != &other) {
            Variant moved(std::move(other));
            Destroy();
            MoveFrom(std::move(moved));
        }
        return *this;
    }
    ~Variant()
    {
        if (kind_ >= VariantKind::String)
            Destroy();
    }

    VariantKind Kind() const noexcept { return kind_; }
    bool IsNull() const noexcept { return kind_ == VariantKind::Null; }
    bool IsUnassigned() const noexcept { return kind_ == VariantKind::Unassigned; }
    bool IsArray() const noexcept { return kind_ == VariantKind::Array; }
    bool IsString() const noexcept { return kind_ == VariantKind::String; }

    // The stored value; only valid for the matching kind.
    bool AsBoolean() const noexcept { return b_; }
    int32_t AsInt32() const noexcept { return i32_; }
    int64_t AsInt64() const noexcept { return i64_; }
    double AsDouble() const noexcept { return d_; } // Double and DateTime
    const QString& AsString() const noexcept { return str_; }
    uint32_t AsObject() const noexcept { return handle_; }
    const std::shared_ptr<IScriptDispatch>& AsDispatch() const noexcept { return disp_; }

    // Conversions by the Pascal variant rules; what does not convert raises the run-time
    // library's variant errors (EVariantError, EVariantTypeCastError for Null), a value
    // outside the target's range ERangeError.
    bool ToBoolean(const FormatSettings& settings = FormatSettings::C()) const;
    int32_t ToInt32(const FormatSettings& settings = FormatSettings::C()) const;
    int64_t ToInt64(const FormatSettings& settings = FormatSettings::C()) const;
    double ToDouble(const FormatSettings& settings = FormatSettings::C()) const;
    QString ToString(const FormatSettings& settings = FormatSettings::C()) const;

    // Arrays. Indexes are checked (EVariantBadIndexError outside the bounds,
    // EVariantInvalidArgError for a wrong number of indexes or a value that is no array).
    int ArrayDimCount() const;
    VariantArrayBound ArrayBound(int dimension) const; // 0-based dimension
    int ArrayElementType() const;
    const Variant& ArrayItem(std::span<const int32_t> index) const;
    // Writes one element; an array shared with other values is copied first.
    void SetArrayItem(std::span<const int32_t> index, Variant value);
    // The element of a one-dimensional array at an index inside its bounds; null when the
    // value is no such array or the index lies outside (ArrayItem raises the error then).
    inline const Variant* ElementAt(int32_t index) const noexcept;
    // The same for writing a value that is no array into it (an array shared with other
    // values is copied first); null where ElementAt gives null.
    inline Variant* ElementForWrite(int32_t index);
    // A one-dimensional array gets the new upper bound, keeping the elements that stay.
    void ArrayRedim(int32_t high);
    // The number of elements of all dimensions together.
    int64_t ArrayElementCount() const;

private:
    friend class VariantArray;
    friend class ScriptMemoryCounter;

    void CopyFrom(const Variant& other);
    void MoveFrom(Variant&& other) noexcept;
    void Destroy() noexcept;
    VariantArray& ArrayForWrite();
    const VariantArray& ArrayForRead() const;

    VariantKind kind_;
    union {
        bool b_;
        int32_t i32_;
        int64_t i64_;
        double d_;
        uint32_t handle_;
        QString str_;
        std::shared_ptr<VariantArray> arr_;
        std::shared_ptr<IScriptDispatch> disp_;
    };
};

// The elements of an array value, shared between copies until one of them writes.
class VariantArray {
public:
    std::vector<VariantArrayBound> Bounds;
    std::vector<Variant> Items;
    int ElementType = varVariant;
    int Nesting = 1; // 1, plus the deepest nesting of any array ever stored in it
};

inline const Variant* Variant::ElementAt(int32_t index) const noexcept
{
    if (kind_ != VariantKind::Array || arr_->Bounds.size() != 1)
        return nullptr;
    const VariantArrayBound& bound = arr_->Bounds.front();
    if (index < bound.Low || index > bound.High)
        return nullptr;
    return &arr_->Items[static_cast<size_t>(int64_t{index} - bound.Low)];
}

inline Variant* Variant::ElementForWrite(int32_t index)
{
    if (ElementAt(index) == nullptr)
        return nullptr;
    VariantArray& array = ArrayForWrite();
    return &array.Items[static_cast<size_t>(int64_t{index} - array.Bounds.front().Low)];
}

// The text of a value for people: Null gives an empty text, everything else its string form.
QString VarToStr(const Variant& value, const FormatSettings& settings = FormatSettings::C());

// The run-time library's variant type code (VarType) of a value.
int VarType(const Variant& value);

// Type name of a value's kind as the conversion errors name it ("Null", "String", ...).
const char* VariantKindName(VariantKind kind);

// Checks a text length against kMaxStringLength (EOutOfMemory past it).
void CheckStringLength(qsizetype length);

// Operators with the Pascal variant rules. One table per operator group decides, from the
// kinds of both operands, in which domain the operation runs (VariantOps.cpp).
enum class VariantOp : uint8_t {
    Add,
    Subtract,
    Multiply,
    Divide,    // real division
    IntDivide, // div
    Modulus,   // mod
    ShiftLeft,
    ShiftRight,
    And,
    Or,
    Xor,
};

Variant VariantBinary(VariantOp op, const Variant& left, const Variant& right,
                      const FormatSettings& settings = FormatSettings::C());
Variant VariantNot(const Variant& value, const FormatSettings& settings = FormatSettings::C());
Variant VariantNegate(const Variant& value, const FormatSettings& settings = FormatSettings::C());

enum class VariantOrder : int8_t { Less = -1, Equal = 0, Greater = 1 };

// Null equals Null and is less than every other value; Unassigned acts as 0, an empty text
// or False beside the other operand; texts compare by their UTF-16 code units.
VariantOrder VariantCompare(const Variant& left, const Variant& right,
                            const FormatSettings& settings = FormatSettings::C());

enum class VariantRelation : uint8_t { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };
bool VariantCompare(VariantRelation relation, const Variant& left, const Variant& right,
                    const FormatSettings& settings = FormatSettings::C());

// Whether an order satisfies a relation.
constexpr bool OrderSatisfies(VariantRelation relation, VariantOrder order)
{
    switch (relation) {
    case VariantRelation::Equal:
        return order == VariantOrder::Equal;
    case VariantRelation::NotEqual:
        return order != VariantOrder::Equal;
    case VariantRelation::Less:
        return order == VariantOrder::Less;
    case VariantRelation::LessOrEqual:
        return order != VariantOrder::Greater;
    case VariantRelation::Greater:
        return order == VariantOrder::Greater;
    case VariantRelation::GreaterOrEqual:
        return order != VariantOrder::Less;
    }
    return false;
}

// Addition with its two most frequent cases inline; the rest goes through the tables.
inline Variant VariantAdd(const Variant& left, const Variant& right,
                          const FormatSettings& settings = FormatSettings::C())
{
    if (left.Kind() == VariantKind::Int32 && right.Kind() == VariantKind::Int32) {
        const int64_t sum = int64_t{left.AsInt32()} + right.AsInt32();
        if (sum >= INT32_MIN && sum <= INT32_MAX)
            return Variant(static_cast<int32_t>(sum));
        return Variant(sum);
    }
    return VariantBinary(VariantOp::Add, left, right, settings);
}

// The arithmetic operators and the comparisons with their Int32 and Double cases inline, for
// the interpreter's inner loops. Every other pair of kinds, and every case that must raise
// (division by zero, a real result out of range), goes through VariantBinary or
// VariantCompare, so the results and errors are exactly theirs.
namespace variantinline {

inline bool IsPlainNumber(VariantKind kind)
{
    return kind == VariantKind::Int32 || kind == VariantKind::Double;
}

inline double PlainNumber(const Variant& value)
{
    return value.Kind() == VariantKind::Double ? value.AsDouble() : value.AsInt32();
}

// An integer result: Int32 when it fits, else Int64.
inline Variant IntegerValue(int64_t value)
{
    if (value >= INT32_MIN && value <= INT32_MAX)
        return Variant(static_cast<int32_t>(value));
    return Variant(value);
}

// A relation between two numbers of one type by the order the general comparison computes:
// neither less nor greater is equal (so NaN equals everything, as there).
template <VariantRelation R, typename T>
inline bool RelationHolds(T a, T b)
{
    return OrderSatisfies(R, a < b ? VariantOrder::Less : (b < a ? VariantOrder::Greater : VariantOrder::Equal));
}

} // namespace variantinline

template <VariantOp Op>
inline Variant VariantArithmetic(const Variant& left, const Variant& right,
                                 const FormatSettings& settings = FormatSettings::C())
{
    static_assert(Op == VariantOp::Add || Op == VariantOp::Subtract || Op == VariantOp::Multiply ||
                  Op == VariantOp::Divide || Op == VariantOp::IntDivide || Op == VariantOp::Modulus);
    using namespace variantinline;
    const VariantKind lk = left.Kind();
    const VariantKind rk = right.Kind();
    if (lk == VariantKind::Int32 && rk == VariantKind::Int32) {
        // Products and quotients of two 32-bit values always fit in 64 bits.
        const int64_t a = left.AsInt32();
        const int64_t b = right.AsInt32();
        if constexpr (Op == VariantOp::Add)
            return IntegerValue(a + b);
        if constexpr (Op == VariantOp::Subtract)
            return IntegerValue(a - b);
        if constexpr (Op == VariantOp::Multiply)
            return IntegerValue(a * b);
        // Quotients and remainders in 32 bits (a shorter division); only MinInt div -1 leaves them.
        if constexpr (Op == VariantOp::IntDivide) {
            if (b == -1)
                return IntegerValue(-a);
            if (b != 0)
                return Variant(left.AsInt32() / right.AsInt32());
        }
        if constexpr (Op == VariantOp::Modulus) {
            if (b == -1)
                return Variant(int32_t{0});
            if (b != 0)
                return Variant(left.AsInt32() % right.AsInt32());
        }
        if constexpr (Op == VariantOp::Divide) {
            if (b != 0)
                return Variant(static_cast<double>(a) / static_cast<double>(b));
        }
    } else if constexpr (Op != VariantOp::IntDivide && Op != VariantOp::Modulus) {
        if (IsPlainNumber(lk) && IsPlainNumber(rk)) {
            const double a = PlainNumber(left);
            const double b = PlainNumber(right);
            double r = 0;
            if constexpr (Op == VariantOp::Add)
                r = a + b;
            if constexpr (Op == VariantOp::Subtract)
                r = a - b;
            if constexpr (Op == VariantOp::Multiply)
                r = a * b;
            if constexpr (Op == VariantOp::Divide)
                r = b != 0 ? a / b : std::numeric_limits<double>::quiet_NaN();
            if (std::isfinite(r))
                return Variant(r);
        }
    }
    return VariantBinary(Op, left, right, settings);
}

template <VariantRelation R>
inline bool VariantRelationHolds(const Variant& left, const Variant& right,
                                 const FormatSettings& settings = FormatSettings::C())
{
    using namespace variantinline;
    const VariantKind lk = left.Kind();
    const VariantKind rk = right.Kind();
    if (lk == VariantKind::Int32 && rk == VariantKind::Int32)
        return RelationHolds<R>(left.AsInt32(), right.AsInt32());
    if (IsPlainNumber(lk) && IsPlainNumber(rk))
        return RelationHolds<R>(PlainNumber(left), PlainNumber(right));
    return VariantCompare(R, left, right, settings);
}
