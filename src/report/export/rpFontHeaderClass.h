#pragma once

#include "rpTrueTypeTable.h"

struct FontHeader {
    uint32_t version = 0;
    uint32_t revision = 0;
    uint32_t checkSumAdjustment = 0;
    uint32_t magicNumber = 0;
    uint16_t flags = 0;
    uint16_t unitsPerEm = 0;
    uint64_t CreatedDateTime = 0;
    uint64_t ModifiedDateTime = 0;
    int16_t xMin = 0;
    int16_t yMin = 0;
    int16_t xMax = 0;
    int16_t yMax = 0;
    uint16_t macStyle = 0;
    uint16_t lowestRecPPEM = 0;
    int16_t fontDirectionHint = 0;
    int16_t indexToLocFormat = 0; // 0 short, 1 long loca entries
    int16_t glyphDataFormat = 0;
};

// head: the font header.
class FontHeaderClass : public TrueTypeTable {
public:
    static constexpr uint32_t kLength = 54;
    static constexpr size_t kCheckSumAdjustmentOffset = 8;

    explicit FontHeaderClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    // Reads every field, then zeros checkSumAdjustment in the buffer: checksums are computed
    // with it zero.
    void Load(const TTFBytes& font) override;
    // Writes the fields back where the table now is, with the given checkSumAdjustment; the
    // flags in the buffer stay as they are.
    void SaveFontHeader(const TTFBytes& font, uint32_t checkSumAdjustment);

    FontHeader font_header;
};
