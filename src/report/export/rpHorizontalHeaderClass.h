#pragma once

#include "rpTrueTypeTable.h"

struct HorizontalHeader {
    uint32_t Version = 0;
    int16_t Ascender = 0;
    int16_t Descender = 0;
    int16_t LineGap = 0;
    uint16_t advanceWidthMax = 0;
    int16_t minLeftSideBearing = 0;
    int16_t minRightSideBearing = 0;
    int16_t xMaxExtent = 0;
    int16_t caretSlopeRise = 0;
    int16_t caretSlopeRun = 0;
    int16_t reserved1 = 0;
    int16_t reserved2 = 0;
    int16_t reserved3 = 0;
    int16_t reserved4 = 0;
    int16_t reserved5 = 0;
    int16_t metricDataFormat = 0;
    uint16_t numberOfHMetrics = 0;
};

// hhea: the horizontal header.
class HorizontalHeaderClass : public TrueTypeTable {
public:
    static constexpr uint32_t kLength = 36;

    explicit HorizontalHeaderClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;
    uint32_t Save(const TTFBytes& font, uint32_t offset) override;
    uint32_t SavedLength() const override { return kLength; }

    HorizontalHeader horizontal_header;
};
