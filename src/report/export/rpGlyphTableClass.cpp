#include "rpGlyphTableClass.h"

namespace {

constexpr size_t kGlyphHeaderSize = 10; // numberOfContours and the bounding box

} // namespace

void GlyphTableClass::Load(const TTFBytes& font)
{
    TableBytes(font); // checks that the table lies in the font
    glyph_table_ptr = entry.offset;
}

std::vector<uint16_t> GlyphTableClass::CheckGlyph(const TTFBytes& font, uint32_t location, uint32_t size) const
{
    std::vector<uint16_t> components;
    if (size == 0)
        return components;
    const TTFBytes glyph = TableBytes(font).Sub(location, size);
    if (glyph.Int16(0) >= 0)
        return components;
    size_t at = kGlyphHeaderSize;
    for (;;) {
        const uint16_t flags = glyph.UInt16(at);
        components.push_back(glyph.UInt16(at + 2));
        at += 4;
        at += (flags & ARG_1_AND_2_ARE_WORDS) ? 4 : 2;
        if (flags & WE_HAVE_A_SCALE)
            at += 2;
        else if (flags & WE_HAVE_AN_X_AND_Y_SCALE)
            at += 4;
        else if (flags & WE_HAVE_A_TWO_BY_TWO)
            at += 8;
        glyph.Check(0, at); // the whole record lies in the glyph
        if (!(flags & MORE_COMPONENTS))
            break;
    }
    return components;
}
