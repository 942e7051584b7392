#pragma once

#include "platform/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Every refusal of a font: a damaged or unsupported font file, with the system's text.
class ETrueTypeFont : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// Raises ETrueTypeFont with kTrueTypeFormatError: the font's bytes contradict themselves.
[[noreturn]] void RaiseFontFormatError();

// The byte-order helpers every font class inherits.
class TTF_Helpers {
public:
    static const uint8_t* Increment(const uint8_t* pointer, size_t count) { return pointer + count; }
    static uint8_t* Increment(uint8_t* pointer, size_t count) { return pointer + count; }

    static int16_t SwapInt16(int16_t value);
    static uint16_t SwapUInt16(uint16_t value);
    static int32_t SwapInt32(int32_t value);
    static uint32_t SwapUInt32(uint32_t value);
    // Reverses the bytes of each 32-bit half; the halves keep their places.
    static uint64_t SwapUInt64(uint64_t value);
};

// The one checked access to font bytes: a view of a span, reading and writing big-endian
// numbers at offsets inside it. A field that does not lie wholly inside the view raises the
// font format error and touches nothing, so no read or write can leave the font's bytes.
class TTFBytes {
public:
    TTFBytes() = default;
    explicit TTFBytes(std::span<uint8_t> bytes) : bytes_(bytes) {}

    size_t Size() const { return bytes_.size(); }

    // Raises the format error unless `length` bytes at `offset` lie inside the view.
    void Check(size_t offset, size_t length) const
    {
        if (offset > bytes_.size() || length > bytes_.size() - offset)
            RaiseFontFormatError();
    }

    uint8_t UInt8(size_t offset) const;
    uint16_t UInt16(size_t offset) const;
    int16_t Int16(size_t offset) const { return static_cast<int16_t>(UInt16(offset)); }
    uint32_t UInt32(size_t offset) const;
    int32_t Int32(size_t offset) const { return static_cast<int32_t>(UInt32(offset)); }
    uint64_t UInt64(size_t offset) const;

    void SetUInt16(size_t offset, uint16_t value) const;
    void SetInt16(size_t offset, int16_t value) const { SetUInt16(offset, static_cast<uint16_t>(value)); }
    void SetUInt32(size_t offset, uint32_t value) const;
    void SetInt32(size_t offset, int32_t value) const { SetUInt32(offset, static_cast<uint32_t>(value)); }
    void SetUInt64(size_t offset, uint64_t value) const;

    // The bytes at [offset, offset + length), checked.
    std::span<uint8_t> Span(size_t offset, size_t length) const
    {
        Check(offset, length);
        return bytes_.subspan(offset, length);
    }
    TTFBytes Sub(size_t offset, size_t length) const { return TTFBytes(Span(offset, length)); }

private:
    std::span<uint8_t> bytes_;
};

// A table tag as the 32-bit big-endian value of its four characters, so that tags sort as
// their texts do ("OS/2" < "cmap" < "head").
constexpr uint32_t TagValue(const char (&text)[5])
{
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 | uint32_t(uint8_t(text[2])) << 8 |
           uint32_t(uint8_t(text[3]));
}
uint32_t TagValue(const std::string& text); // the first four characters, blanks after a shorter text
// The tag as text; bytes that are no printable ASCII character show as '?'.
std::string TagText(uint32_t tag);

// The 32-bit sum of the bytes taken as big-endian words, a last partial word counting with
// its missing bytes as zero.
uint32_t CalcTableChecksum(std::span<const uint8_t> bytes);

// Rounded up to a multiple of 4 (the places of tables in a font file).
constexpr uint64_t RoundUp4(uint64_t value)
{
    return (value + 3) & ~uint64_t{3};
}
