#include "rpGlyphSubstitutionClass.h"

void GlyphSubstitutionClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    header.Version = t.UInt32(0);
    header.ScriptList = t.UInt16(4);
    header.FeatureList = t.UInt16(6);
    header.LookupList = t.UInt16(8);
}
