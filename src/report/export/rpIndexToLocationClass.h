#pragma once

#include "rpTrueTypeTable.h"

#include <vector>

class FontHeaderClass;

// loca: where each glyph's outline lies in glyf, 16-bit entries (offset / 2) or 32-bit ones as
// head's indexToLocFormat says. Glyph g lies between entries g and g + 1.
class IndexToLocationClass : public TrueTypeTable {
public:
    // Glyph identifiers are 16 bits wide: one entry more than glyphs at most.
    static constexpr size_t kMaxEntries = 65536 + 1;

    explicit IndexToLocationClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    // Reads length / 2 short or length / 4 long entries as head's format says;
    // ETrueTypeFont with kUnsupportedIndexToLocation for any other format.
    void LoadIndexToLocation(const TTFBytes& font, const FontHeaderClass& head);
    // The size of the glyph's outline, and its location in glyf; 0 for a glyph past the
    // entries (it has no outline). Entries that run backwards are the format error.
    uint32_t GetGlyph(uint32_t glyph, const FontHeaderClass& head, uint32_t& location) const;
    // The number of entries read.
    size_t Count(const FontHeaderClass& head) const;
    // Writes the entries back, big-endian, where the table is.
    void StoreIndexToLocation(const TTFBytes& font, const FontHeaderClass& head) const;

    std::vector<uint16_t> ShortIndexToLocation;
    std::vector<uint32_t> LongIndexToLocation;
};
