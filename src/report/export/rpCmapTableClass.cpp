#include "rpCmapTableClass.h"

#include <algorithm>

namespace {

constexpr size_t kEncodingRecordsStart = 4;
constexpr size_t kEncodingRecordSize = 8;
constexpr size_t kFormat4HeaderSize = 14; // up to endCount
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kEncodingUnicodeBmp = 1;

} // namespace

void CmapTableClass::LoadCmapTable(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    const uint16_t tables = t.UInt16(2);
    t.Check(kEncodingRecordsStart, kEncodingRecordSize * tables);
    for (size_t i = 0; i < tables; ++i) {
        const size_t record = kEncodingRecordsStart + kEncodingRecordSize * i;
        if (t.UInt16(record) != kPlatformWindows || t.UInt16(record + 2) != kEncodingUnicodeBmp)
            continue;
        const uint32_t offset = t.UInt32(record + 4);
        if (t.UInt16(offset) != 4)
            continue; // formats 0, 2 and 6 are not read: nothing looks characters up in them
        // A length running past the table (some fonts' is wrong) is cut at the table's end.
        const size_t declared = t.UInt16(offset + 2);
        const TTFBytes sub = t.Sub(offset, std::min(declared, t.Size() - offset));
        const size_t segments = sub.UInt16(6) / 2;
        // endCount, a reserved word, startCount, idDelta and idRangeOffset.
        const size_t arraysEnd = kFormat4HeaderSize + 2 + 8 * segments;
        sub.Check(0, arraysEnd);
        segment_count = static_cast<uint16_t>(segments);
        endCount.resize(segments);
        startCount.resize(segments);
        idDelta.resize(segments);
        idRangeOffset.resize(segments);
        for (size_t s = 0; s < segments; ++s) {
            endCount[s] = sub.UInt16(kFormat4HeaderSize + 2 * s);
            startCount[s] = sub.UInt16(kFormat4HeaderSize + 2 + 2 * segments + 2 * s);
            idDelta[s] = sub.Int16(kFormat4HeaderSize + 2 + 4 * segments + 2 * s);
            idRangeOffset[s] = sub.UInt16(kFormat4HeaderSize + 2 + 6 * segments + 2 * s);
        }
        GlyphIndexArray.resize((sub.Size() - arraysEnd) / 2);
        for (size_t k = 0; k < GlyphIndexArray.size(); ++k)
            GlyphIndexArray[k] = sub.UInt16(arraysEnd + 2 * k);
    }
}

uint16_t CmapTableClass::GetGlyphIndex(uint16_t character) const
{
    for (size_t s = 0; s < segment_count; ++s) {
        if (endCount[s] < character)
            continue;
        if (character < startCount[s])
            return 0;
        if (idRangeOffset[s] == 0)
            return static_cast<uint16_t>(character + idDelta[s]);
        // The offset counts from the segment's own idRangeOffset word.
        const int64_t index = int64_t{idRangeOffset[s] / 2} + (character - startCount[s]) - (int64_t{segment_count} - int64_t(s));
        // An index outside the array maps to the missing glyph, as other font readers have it.
        if (index < 0 || index >= static_cast<int64_t>(GlyphIndexArray.size()))
            return 0;
        const uint16_t glyph = GlyphIndexArray[static_cast<size_t>(index)];
        return glyph == 0 ? 0 : static_cast<uint16_t>(glyph + idDelta[s]);
    }
    return 0;
}
