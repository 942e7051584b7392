#include "rpPostScriptClass.h"

void PostScriptClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    PostScript& p = post_script;
    p.version = t.UInt32(0);
    p.italicAngle = t.Int32(4);
    p.underlinePosition = t.Int16(8);
    p.underlineThickness = t.Int16(10);
    p.isFixedPitch = t.UInt32(12);
    p.minMemType42 = t.UInt32(16);
    p.maxMemType42 = t.UInt32(20);
    p.minMemType1 = t.UInt32(24);
    p.maxMemType1 = t.UInt32(28);
}

uint32_t PostScriptClass::Save(const TTFBytes& font, uint32_t offset)
{
    const TTFBytes t = font.Sub(offset, kLength);
    const PostScript& p = post_script;
    t.SetUInt32(0, kVersion3);
    t.SetInt32(4, p.italicAngle);
    t.SetInt16(8, p.underlinePosition);
    t.SetInt16(10, p.underlineThickness);
    t.SetUInt32(12, p.isFixedPitch);
    t.SetUInt32(16, p.minMemType42);
    t.SetUInt32(20, p.maxMemType42);
    t.SetUInt32(24, p.minMemType1);
    t.SetUInt32(28, p.maxMemType1);
    return Placed(offset, kLength);
}
