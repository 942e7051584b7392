#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

// Numbers at byte offsets of received or stored bytes, in a stated byte order: 1-, 2-, 4- and
// 8-byte integers and IEEE floats, never by casting the bytes to a structure. The order is
// the data's (the instrument's records, relay packets and CRCs are little-endian; Modbus
// registers big-endian), independent of the machine's. Every access is checked: a field that
// does not lie wholly inside the bytes throws platform::Exception and touches nothing.
namespace platform {

// Throws platform::Exception naming the field that does not lie inside the bytes.
[[noreturn]] void ThrowFieldOutsideData(size_t offset, size_t width, size_t size);

// Throws platform::Exception unless `width` bytes at `offset` lie inside `size` bytes.
inline void CheckByteRange(size_t offset, size_t width, size_t size)
{
    if (offset > size || width > size - offset)
        ThrowFieldOutsideData(offset, width, size);
}

namespace byte_order_detail {

template <typename T>
concept Field = std::is_trivially_copyable_v<T> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 ||
                                                     sizeof(T) == 8);

template <size_t Size>
using Bits = std::conditional_t<Size == 1, uint8_t,
                                std::conditional_t<Size == 2, uint16_t, std::conditional_t<Size == 4, uint32_t, uint64_t>>>;

// Byte i of the field sits at position(i) of the data.
template <Field T, bool Big>
T Read(std::span<const uint8_t> bytes, size_t offset)
{
    CheckByteRange(offset, sizeof(T), bytes.size());
    Bits<sizeof(T)> bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        const size_t at = offset + (Big ? sizeof(T) - 1 - i : i);
        bits = static_cast<Bits<sizeof(T)>>(bits | static_cast<Bits<sizeof(T)>>(bytes[at]) << (8 * i));
    }
    return std::bit_cast<T>(bits);
}

template <Field T, bool Big>
void Write(std::span<uint8_t> bytes, size_t offset, T value)
{
    CheckByteRange(offset, sizeof(T), bytes.size());
    const auto bits = std::bit_cast<Bits<sizeof(T)>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        const size_t at = offset + (Big ? sizeof(T) - 1 - i : i);
        bytes[at] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

} // namespace byte_order_detail

template <byte_order_detail::Field T>
T ReadLittleEndian(std::span<const uint8_t> bytes, size_t offset)
{
    return byte_order_detail::Read<T, false>(bytes, offset);
}

template <byte_order_detail::Field T>
T ReadBigEndian(std::span<const uint8_t> bytes, size_t offset)
{
    return byte_order_detail::Read<T, true>(bytes, offset);
}

template <byte_order_detail::Field T>
void WriteLittleEndian(std::span<uint8_t> bytes, size_t offset, T value)
{
    byte_order_detail::Write<T, false>(bytes, offset, value);
}

template <byte_order_detail::Field T>
void WriteBigEndian(std::span<uint8_t> bytes, size_t offset, T value)
{
    byte_order_detail::Write<T, true>(bytes, offset, value);
}

// Appends the value's bytes to out.
template <byte_order_detail::Field T>
void AppendLittleEndian(std::vector<uint8_t>& out, T value)
{
    const size_t at = out.size();
    out.resize(at + sizeof(T));
    WriteLittleEndian(std::span<uint8_t>(out), at, value);
}

template <byte_order_detail::Field T>
void AppendBigEndian(std::vector<uint8_t>& out, T value)
{
    const size_t at = out.size();
    out.resize(at + sizeof(T));
    WriteBigEndian(std::span<uint8_t>(out), at, value);
}

} // namespace platform
