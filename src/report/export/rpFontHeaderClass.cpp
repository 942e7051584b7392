#include "rpFontHeaderClass.h"

void FontHeaderClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    FontHeader& h = font_header;
    h.version = t.UInt32(0);
    h.revision = t.UInt32(4);
    h.checkSumAdjustment = t.UInt32(8);
    h.magicNumber = t.UInt32(12);
    h.flags = t.UInt16(16);
    h.unitsPerEm = t.UInt16(18);
    h.CreatedDateTime = t.UInt64(20);
    h.ModifiedDateTime = t.UInt64(28);
    h.xMin = t.Int16(36);
    h.yMin = t.Int16(38);
    h.xMax = t.Int16(40);
    h.yMax = t.Int16(42);
    h.macStyle = t.UInt16(44);
    h.lowestRecPPEM = t.UInt16(46);
    h.fontDirectionHint = t.Int16(48);
    h.indexToLocFormat = t.Int16(50);
    h.glyphDataFormat = t.Int16(52);
    t.SetUInt32(kCheckSumAdjustmentOffset, 0);
}

void FontHeaderClass::SaveFontHeader(const TTFBytes& font, uint32_t checkSumAdjustment)
{
    const TTFBytes t = TableBytes(font);
    const FontHeader& h = font_header;
    t.SetUInt32(0, h.version);
    t.SetUInt32(4, h.revision);
    t.SetUInt32(8, checkSumAdjustment);
    t.SetUInt32(12, h.magicNumber);
    t.SetUInt16(18, h.unitsPerEm);
    t.SetUInt64(20, h.CreatedDateTime);
    t.SetUInt64(28, h.ModifiedDateTime);
    t.SetInt16(36, h.xMin);
    t.SetInt16(38, h.yMin);
    t.SetInt16(40, h.xMax);
    t.SetInt16(42, h.yMax);
    t.SetUInt16(44, h.macStyle);
    t.SetUInt16(46, h.lowestRecPPEM);
    t.SetInt16(48, h.fontDirectionHint);
    t.SetInt16(50, h.indexToLocFormat);
    t.SetInt16(52, h.glyphDataFormat);
}
