#pragma once

#include "rpTrueTypeTable.h"

#include <vector>

struct HorizontalMetric {
    uint16_t advanceWidth = 0;
    int16_t leftSideBearing = 0;
};

// hmtx: the advance width and left side bearing of the first NumberOfMetrics glyphs.
class HorizontalMetrixClass : public TrueTypeTable {
public:
    explicit HorizontalMetrixClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    // Reads NumberOfMetrics pairs (set it from hhea's numberOfHMetrics first).
    void Load(const TTFBytes& font) override;
    // The pair at index; the format error past the pairs read.
    HorizontalMetric GetItem(size_t index) const;

    std::vector<HorizontalMetric> MetrixTable;
    uint16_t NumberOfMetrics = 0;
};
