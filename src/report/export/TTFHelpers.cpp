#include "TTFHelpers.h"

#include "ExportTexts.h"

void RaiseFontFormatError()
{
    throw ETrueTypeFont(exporttexts::kTrueTypeFormatError);
}

int16_t TTF_Helpers::SwapInt16(int16_t value)
{
    return static_cast<int16_t>(SwapUInt16(static_cast<uint16_t>(value)));
}

uint16_t TTF_Helpers::SwapUInt16(uint16_t value)
{
    return static_cast<uint16_t>(value << 8 | value >> 8);
}

int32_t TTF_Helpers::SwapInt32(int32_t value)
{
    return static_cast<int32_t>(SwapUInt32(static_cast<uint32_t>(value)));
}

uint32_t TTF_Helpers::SwapUInt32(uint32_t value)
{
    return value << 24 | (value & 0xFF00u) << 8 | (value >> 8 & 0xFF00u) | value >> 24;
}

uint64_t TTF_Helpers::SwapUInt64(uint64_t value)
{
    return uint64_t(SwapUInt32(static_cast<uint32_t>(value >> 32))) << 32 | SwapUInt32(static_cast<uint32_t>(value));
}

uint8_t TTFBytes::UInt8(size_t offset) const
{
    Check(offset, 1);
    return bytes_[offset];
}

uint16_t TTFBytes::UInt16(size_t offset) const
{
    Check(offset, 2);
    return static_cast<uint16_t>(bytes_[offset] << 8 | bytes_[offset + 1]);
}

uint32_t TTFBytes::UInt32(size_t offset) const
{
    Check(offset, 4);
    return uint32_t(bytes_[offset]) << 24 | uint32_t(bytes_[offset + 1]) << 16 | uint32_t(bytes_[offset + 2]) << 8 |
           uint32_t(bytes_[offset + 3]);
}

uint64_t TTFBytes::UInt64(size_t offset) const
{
    Check(offset, 8);
    return uint64_t(UInt32(offset)) << 32 | UInt32(offset + 4);
}

void TTFBytes::SetUInt16(size_t offset, uint16_t value) const
{
    Check(offset, 2);
    bytes_[offset] = static_cast<uint8_t>(value >> 8);
    bytes_[offset + 1] = static_cast<uint8_t>(value);
}

void TTFBytes::SetUInt32(size_t offset, uint32_t value) const
{
    Check(offset, 4);
    for (size_t i = 0; i < 4; ++i)
        bytes_[offset + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void TTFBytes::SetUInt64(size_t offset, uint64_t value) const
{
    Check(offset, 8);
    SetUInt32(offset, static_cast<uint32_t>(value >> 32));
    SetUInt32(offset + 4, static_cast<uint32_t>(value));
}

uint32_t TagValue(const std::string& text)
{
    uint32_t tag = 0;
    for (size_t i = 0; i < 4; ++i)
        tag = tag << 8 | (i < text.size() ? static_cast<uint8_t>(text[i]) : uint8_t{' '});
    return tag;
}

std::string TagText(uint32_t tag)
{
    std::string text(4, ' ');
    for (size_t i = 0; i < 4; ++i)
    {
        const auto byte = static_cast<uint8_t>(tag >> (24 - 8 * i));
        // A damaged font's tag may hold any byte; the text is shown, so it stays printable.
        text[i] = byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    }
    return text;
}

uint32_t CalcTableChecksum(std::span<const uint8_t> bytes)
{
    uint32_t sum = 0;
    size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4)
        sum += uint32_t(bytes[i]) << 24 | uint32_t(bytes[i + 1]) << 16 | uint32_t(bytes[i + 2]) << 8 | uint32_t(bytes[i + 3]);
    uint32_t last = 0;
    for (size_t k = 0; i + k < bytes.size(); ++k)
        last |= uint32_t(bytes[i + k]) << (24 - 8 * k);
    return sum + last;
}
