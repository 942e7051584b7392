#include "Variant.h"

#include "ScriptErrors.h"

#include <new>

void Variant::CopyFrom(const Variant& other)
{
    kind_ = other.kind_;
    switch (kind_) {
    case VariantKind::String:
        new (&str_) QString(other.str_);
        break;
    case VariantKind::Array:
        new (&arr_) std::shared_ptr<VariantArray>(other.arr_);
        break;
    case VariantKind::Dispatch:
        new (&disp_) std::shared_ptr<IScriptDispatch>(other.disp_);
        break;
    default:
        i64_ = other.i64_; // the widest of the plain members covers all of them
        break;
    }
}

void Variant::MoveFrom(Variant&& other) noexcept
{
    kind_ = other.kind_;
    switch (kind_) {
    case VariantKind::String:
        new (&str_) QString(std::move(other.str_));
        break;
    case VariantKind::Array:
        new (&arr_) std::shared_ptr<VariantArray>(std::move(other.arr_));
        break;
    case VariantKind::Dispatch:
        new (&disp_) std::shared_ptr<IScriptDispatch>(std::move(other.disp_));
        break;
    default:
        i64_ = other.i64_;
        break;
    }
    other.Destroy();
}

void Variant::Destroy() noexcept
{
    switch (kind_) {
    case VariantKind::String:
        str_.~QString();
        break;
    case VariantKind::Array:
        arr_.~shared_ptr();
        break;
    case VariantKind::Dispatch:
        disp_.~shared_ptr();
        break;
    default:
        break;
    }
    kind_ = VariantKind::Unassigned;
    i64_ = 0;
}

Variant Variant::FromDispatch(std::shared_ptr<IScriptDispatch> object)
{
    Variant v;
    v.kind_ = VariantKind::Dispatch;
    new (&v.disp_) std::shared_ptr<IScriptDispatch>(std::move(object));
    return v;
}

Variant Variant::CreateArray(std::span<const VariantArrayBound> bounds, int elementType)
{
    if (bounds.empty())
        throw EVariantInvalidArgError();
    if (bounds.size() > static_cast<size_t>(kMaxArrayDimensions))
        throw EOutOfMemory();
    int64_t count = 1;
    for (const VariantArrayBound& bound : bounds) {
        const int64_t length = bound.High >= bound.Low ? int64_t{bound.High} - bound.Low + 1 : 0;
        // Checked before multiplying, so the product cannot overflow.
        if (length != 0 && count > kMaxArrayElements / length)
            throw EOutOfMemory();
        count *= length;
    }
    ChargeScriptMemory(static_cast<int64_t>(sizeof(VariantArray)) + count * static_cast<int64_t>(sizeof(Variant)));
    auto array = std::make_shared<VariantArray>();
    array->Bounds.assign(bounds.begin(), bounds.end());
    for (VariantArrayBound& bound : array->Bounds) {
        if (bound.High < bound.Low)
            bound.High = bound.Low - 1;
    }
    array->Items.resize(static_cast<size_t>(count));
    array->ElementType = elementType;
    Variant v;
    v.kind_ = VariantKind::Array;
    new (&v.arr_) std::shared_ptr<VariantArray>(std::move(array));
    return v;
}

const VariantArray& Variant::ArrayForRead() const
{
    if (kind_ != VariantKind::Array)
        throw EVariantInvalidArgError();
    return *arr_;
}

VariantArray& Variant::ArrayForWrite()
{
    if (kind_ != VariantKind::Array)
        throw EVariantInvalidArgError();
    if (arr_.use_count() > 1) {
        // The copy is new memory; its texts and arrays stay shared.
        ChargeScriptMemory(static_cast<int64_t>(sizeof(VariantArray)) +
                           static_cast<int64_t>(arr_->Items.size()) * static_cast<int64_t>(sizeof(Variant)));
        arr_ = std::make_shared<VariantArray>(*arr_);
    }
    return *arr_;
}

int Variant::ArrayDimCount() const
{
    return static_cast<int>(ArrayForRead().Bounds.size());
}

VariantArrayBound Variant::ArrayBound(int dimension) const
{
    const VariantArray& array = ArrayForRead();
    if (dimension < 0 || static_cast<size_t>(dimension) >= array.Bounds.size())
        throw EVariantBadIndexError();
    return array.Bounds[static_cast<size_t>(dimension)];
}

int Variant::ArrayElementType() const
{
    return ArrayForRead().ElementType;
}

int64_t Variant::ArrayElementCount() const
{
    return static_cast<int64_t>(ArrayForRead().Items.size());
}

namespace {

// Position of an element: the first index varies fastest.
size_t ElementOffset(const VariantArray& array, std::span<const int32_t> index)
{
    if (index.size() != array.Bounds.size())
        throw EVariantInvalidArgError();
    size_t offset = 0;
    size_t stride = 1;
    for (size_t d = 0; d < index.size(); ++d) {
        const VariantArrayBound& bound = array.Bounds[d];
        if (index[d] < bound.Low || index[d] > bound.High)
            throw EVariantBadIndexError();
        offset += static_cast<size_t>(int64_t{index[d]} - bound.Low) * stride;
        stride *= static_cast<size_t>(int64_t{bound.High} - bound.Low + 1);
    }
    return offset;
}

} // namespace

const Variant& Variant::ArrayItem(std::span<const int32_t> index) const
{
    const VariantArray& array = ArrayForRead();
    return array.Items[ElementOffset(array, index)];
}

void Variant::SetArrayItem(std::span<const int32_t> index, Variant value)
{
    // `value` is already a copy: an array stored into itself keeps the old elements, and
    // detaching below then gives this value its own elements, so no array holds itself.
    const VariantArray& current = ArrayForRead();
    const size_t offset = ElementOffset(current, index);
    int nesting = current.Nesting;
    if (value.kind_ == VariantKind::Array) {
        nesting = std::max(nesting, value.arr_->Nesting + 1);
        if (nesting > kMaxArrayNesting)
            throw EOutOfMemory();
    }
    VariantArray& array = ArrayForWrite();
    array.Items[offset] = std::move(value);
    array.Nesting = nesting;
}

void Variant::ArrayRedim(int32_t high)
{
    const VariantArray& current = ArrayForRead();
    if (current.Bounds.size() != 1)
        throw EVariantInvalidArgError();
    const int32_t low = current.Bounds[0].Low;
    if (high < low)
        high = low - 1;
    const int64_t count = int64_t{high} - low + 1;
    if (count > kMaxArrayElements)
        throw EOutOfMemory();
    if (count > static_cast<int64_t>(current.Items.size()))
        ChargeScriptMemory((count - static_cast<int64_t>(current.Items.size())) * static_cast<int64_t>(sizeof(Variant)));
    VariantArray& array = ArrayForWrite();
    array.Items.resize(static_cast<size_t>(count));
    array.Bounds[0].High = high;
}

void CheckStringLength(qsizetype length)
{
    if (length > kMaxStringLength)
        throw EOutOfMemory();
}

const char* VariantKindName(VariantKind kind)
{
    switch (kind) {
    case VariantKind::Unassigned:
        return "Empty";
    case VariantKind::Null:
        return "Null";
    case VariantKind::Boolean:
        return "Boolean";
    case VariantKind::Int32:
        return "Integer";
    case VariantKind::Int64:
        return "Int64";
    case VariantKind::Double:
        return "Double";
    case VariantKind::DateTime:
        return "Date";
    case VariantKind::String:
        return "String";
    case VariantKind::Object:
        return "Integer";
    case VariantKind::Array:
        return "Array of Variant";
    case VariantKind::Dispatch:
        return "Dispatch";
    }
    return "Unknown";
}

int VarType(const Variant& value)
{
    switch (value.Kind()) {
    case VariantKind::Unassigned:
        return varEmpty;
    case VariantKind::Null:
        return varNull;
    case VariantKind::Boolean:
        return varBoolean;
    case VariantKind::Int32:
    case VariantKind::Object:
        return varInteger;
    case VariantKind::Int64:
        return varInt64;
    case VariantKind::Double:
        return varDouble;
    case VariantKind::DateTime:
        return varDate;
    case VariantKind::String:
        return varOleStr;
    case VariantKind::Array:
        return varArray | value.ArrayElementType();
    case VariantKind::Dispatch:
        return varDispatch;
    }
    return varEmpty;
}
