#pragma once

#include "rpTrueTypeTable.h"

#include <vector>

// cmap: the character-to-glyph map of the Windows Unicode encoding (platform 3, encoding 1)
// in format 4, segments of 16-bit characters.
class CmapTableClass : public TrueTypeTable {
public:
    explicit CmapTableClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    // Loads the format 4 subtables of platform 3 encoding 1 (the last one counts); subtables
    // of other formats are passed over, so GetGlyphIndex then answers 0.
    void LoadCmapTable(const TTFBytes& font);
    // The glyph of a character; 0 when no segment holds it.
    uint16_t GetGlyphIndex(uint16_t character) const;

    std::vector<uint16_t> endCount;
    std::vector<uint16_t> startCount;
    std::vector<int16_t> idDelta;
    std::vector<uint16_t> idRangeOffset;
    std::vector<uint16_t> GlyphIndexArray;
    uint16_t segment_count = 0;
};
