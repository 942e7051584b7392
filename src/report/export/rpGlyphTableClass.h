#pragma once

#include "rpTrueTypeTable.h"

#include <vector>

// glyf: the glyph outlines.
class GlyphTableClass : public TrueTypeTable {
public:
    // Component flags of composite glyphs.
    static constexpr uint16_t ARG_1_AND_2_ARE_WORDS = 0x0001;
    static constexpr uint16_t WE_HAVE_A_SCALE = 0x0008;
    static constexpr uint16_t MORE_COMPONENTS = 0x0020;
    static constexpr uint16_t WE_HAVE_AN_X_AND_Y_SCALE = 0x0040;
    static constexpr uint16_t WE_HAVE_A_TWO_BY_TWO = 0x0080;

    explicit GlyphTableClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;
    // The glyphs a composite glyph (negative numberOfContours) is made of, in file order;
    // empty for a simple glyph. The glyph lies at `location` in the table, `size` bytes long;
    // a glyph or component record outside those bytes is the format error.
    std::vector<uint16_t> CheckGlyph(const TTFBytes& font, uint32_t location, uint32_t size) const;

    uint32_t glyph_table_ptr = 0; // where the table starts in the font
};
