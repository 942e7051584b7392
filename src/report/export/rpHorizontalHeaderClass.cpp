#include "rpHorizontalHeaderClass.h"

void HorizontalHeaderClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    HorizontalHeader& h = horizontal_header;
    h.Version = t.UInt32(0);
    h.Ascender = t.Int16(4);
    h.Descender = t.Int16(6);
    h.LineGap = t.Int16(8);
    h.advanceWidthMax = t.UInt16(10);
    h.minLeftSideBearing = t.Int16(12);
    h.minRightSideBearing = t.Int16(14);
    h.xMaxExtent = t.Int16(16);
    h.caretSlopeRise = t.Int16(18);
    h.caretSlopeRun = t.Int16(20);
    h.reserved1 = t.Int16(22);
    h.reserved2 = t.Int16(24);
    h.reserved3 = t.Int16(26);
    h.reserved4 = t.Int16(28);
    h.reserved5 = t.Int16(30);
    h.metricDataFormat = t.Int16(32);
    h.numberOfHMetrics = t.UInt16(34);
}

uint32_t HorizontalHeaderClass::Save(const TTFBytes& font, uint32_t offset)
{
    const TTFBytes t = font.Sub(offset, kLength);
    const HorizontalHeader& h = horizontal_header;
    t.SetUInt32(0, h.Version);
    t.SetInt16(4, h.Ascender);
    t.SetInt16(6, h.Descender);
    t.SetInt16(8, h.LineGap);
    t.SetUInt16(10, h.advanceWidthMax);
    t.SetInt16(12, h.minLeftSideBearing);
    t.SetInt16(14, h.minRightSideBearing);
    t.SetInt16(16, h.xMaxExtent);
    t.SetInt16(18, h.caretSlopeRise);
    t.SetInt16(20, h.caretSlopeRun);
    t.SetInt16(22, h.reserved1);
    t.SetInt16(24, h.reserved2);
    t.SetInt16(26, h.reserved3);
    t.SetInt16(28, h.reserved4);
    t.SetInt16(30, h.reserved5);
    t.SetInt16(32, h.metricDataFormat);
    t.SetUInt16(34, h.numberOfHMetrics);
    return Placed(offset, kLength);
}
