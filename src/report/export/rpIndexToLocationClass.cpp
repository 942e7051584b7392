#include "rpIndexToLocationClass.h"

#include "ExportTexts.h"
#include "rpFontHeaderClass.h"

void IndexToLocationClass::LoadIndexToLocation(const TTFBytes& font, const FontHeaderClass& head)
{
    const TTFBytes t = TableBytes(font);
    ShortIndexToLocation.clear();
    LongIndexToLocation.clear();
    switch (head.font_header.indexToLocFormat) {
    case 0: {
        const size_t count = t.Size() / 2;
        if (count > kMaxEntries)
            RaiseFontFormatError();
        ShortIndexToLocation.resize(count);
        for (size_t i = 0; i < count; ++i)
            ShortIndexToLocation[i] = t.UInt16(2 * i);
        break;
    }
    case 1: {
        const size_t count = t.Size() / 4;
        if (count > kMaxEntries)
            RaiseFontFormatError();
        LongIndexToLocation.resize(count);
        for (size_t i = 0; i < count; ++i)
            LongIndexToLocation[i] = t.UInt32(4 * i);
        break;
    }
    default:
        throw ETrueTypeFont(exporttexts::kUnsupportedIndexToLocation);
    }
}

size_t IndexToLocationClass::Count(const FontHeaderClass& head) const
{
    switch (head.font_header.indexToLocFormat) {
    case 0:
        return ShortIndexToLocation.size();
    case 1:
        return LongIndexToLocation.size();
    default:
        return 0;
    }
}

uint32_t IndexToLocationClass::GetGlyph(uint32_t glyph, const FontHeaderClass& head, uint32_t& location) const
{
    location = 0;
    uint64_t start = 0;
    uint64_t end = 0;
    switch (head.font_header.indexToLocFormat) {
    case 0:
        if (uint64_t{glyph} + 1 >= ShortIndexToLocation.size())
            return 0;
        start = uint64_t{ShortIndexToLocation[glyph]} * 2;
        end = uint64_t{ShortIndexToLocation[glyph + 1]} * 2;
        break;
    case 1:
        // Sizes are 32 bits wide: a glyph of 64 KiB or more keeps its true size.
        if (uint64_t{glyph} + 1 >= LongIndexToLocation.size())
            return 0;
        start = LongIndexToLocation[glyph];
        end = LongIndexToLocation[glyph + 1];
        break;
    default:
        return 0;
    }
    if (end < start)
        RaiseFontFormatError();
    location = static_cast<uint32_t>(start);
    return static_cast<uint32_t>(end - start);
}

void IndexToLocationClass::StoreIndexToLocation(const TTFBytes& font, const FontHeaderClass& head) const
{
    const TTFBytes t = TableBytes(font);
    if (head.font_header.indexToLocFormat == 0) {
        for (size_t i = 0; i < ShortIndexToLocation.size(); ++i)
            t.SetUInt16(2 * i, ShortIndexToLocation[i]);
    } else {
        for (size_t i = 0; i < LongIndexToLocation.size(); ++i)
            t.SetUInt32(4 * i, LongIndexToLocation[i]);
    }
}
