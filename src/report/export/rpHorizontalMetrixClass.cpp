#include "rpHorizontalMetrixClass.h"

void HorizontalMetrixClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    t.Check(0, size_t{4} * NumberOfMetrics);
    MetrixTable.resize(NumberOfMetrics);
    for (size_t i = 0; i < NumberOfMetrics; ++i)
        MetrixTable[i] = {t.UInt16(4 * i), t.Int16(4 * i + 2)};
}

HorizontalMetric HorizontalMetrixClass::GetItem(size_t index) const
{
    if (index >= MetrixTable.size())
        RaiseFontFormatError();
    return MetrixTable[index];
}
