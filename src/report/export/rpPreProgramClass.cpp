#include "rpPreProgramClass.h"

#include <cstring>

void PreProgramClass::Load(const TTFBytes& font)
{
    const std::span<uint8_t> bytes = font.Span(entry.offset, entry.length);
    pre_program.assign(bytes.begin(), bytes.end());
}

uint32_t PreProgramClass::Save(const TTFBytes& font, uint32_t offset)
{
    const auto length = static_cast<uint32_t>(pre_program.size());
    const uint64_t end = RoundUp4(uint64_t{offset} + length);
    const std::span<uint8_t> target = font.Span(offset, static_cast<size_t>(end - offset));
    if (length > 0)
        std::memcpy(target.data(), pre_program.data(), length);
    PadWithZeros(font, uint64_t{offset} + length, end);
    return Placed(offset, length);
}
