#include "rpTrueTypeTable.h"

#include <cstring>

TrueTypeTable::TrueTypeTable(const TTFBytes& font, size_t recordOffset)
{
    entry.tag = font.UInt32(recordOffset);
    entry.checkSum = font.UInt32(recordOffset + 4);
    entry.offset = font.UInt32(recordOffset + 8);
    entry.length = font.UInt32(recordOffset + 12);
}

void TrueTypeTable::Load(const TTFBytes&) {}

uint32_t TrueTypeTable::Save(const TTFBytes& font, uint32_t offset)
{
    const std::span<uint8_t> source = font.Span(entry.offset, entry.length);
    const uint64_t end = RoundUp4(uint64_t{offset} + entry.length);
    const std::span<uint8_t> target = font.Span(offset, static_cast<size_t>(end - offset));
    if (target.data() != source.data() && !source.empty())
        std::memmove(target.data(), source.data(), source.size());
    PadWithZeros(font, uint64_t{offset} + entry.length, end);
    return Placed(offset, entry.length);
}

size_t TrueTypeTable::StoreDescriptor(const TTFBytes& font, size_t recordOffset) const
{
    font.SetUInt32(recordOffset, entry.tag);
    font.SetUInt32(recordOffset + 4, entry.checkSum);
    font.SetUInt32(recordOffset + 8, entry.offset);
    font.SetUInt32(recordOffset + 12, entry.length);
    return recordOffset + 16;
}

uint32_t TrueTypeTable::CalcChecksum(const TTFBytes& font) const
{
    return CalcTableChecksum(font.Span(entry.offset, entry.length));
}

void TrueTypeTable::PadWithZeros(const TTFBytes& font, uint64_t from, uint64_t end)
{
    if (end > from) {
        const std::span<uint8_t> pad = font.Span(static_cast<size_t>(from), static_cast<size_t>(end - from));
        std::memset(pad.data(), 0, pad.size());
    }
}

uint32_t TrueTypeTable::Placed(uint32_t offset, uint32_t length)
{
    entry.offset = offset;
    entry.length = length;
    const uint64_t end = RoundUp4(uint64_t{offset} + length);
    if (end > UINT32_MAX)
        RaiseFontFormatError();
    return static_cast<uint32_t>(end);
}
