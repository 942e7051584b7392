#pragma once

#include "rpTrueTypeTable.h"

#include <vector>

struct KerningSubtableHeader {
    uint16_t Coverage = 0;
    uint16_t Length = 0;
    uint16_t Version = 0;
};

struct KerningFormatZero {
    uint16_t entrySelector = 0;
    uint16_t nPairs = 0;
    uint16_t rangeShift = 0;
    uint16_t searchRange = 0;
};

// A kerning subtable as the subsetter holds it: created without reading anything, so its
// fields stay zero.
class KerningSubtableClass : public TTF_Helpers {
public:
    KerningSubtableHeader common_header;
    KerningFormatZero format_zero;
};

struct KerningTableHeader {
    uint16_t Version = 0;
    uint16_t nTables = 0;
};

// kern: the kerning pairs. Only the header is read (one empty subtable object per subtable);
// the table is copied unchanged.
class KerningTableClass : public TrueTypeTable {
public:
    explicit KerningTableClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;

    KerningTableHeader kerning_table_header;
    std::vector<KerningSubtableClass> kerning_subtables_collection;
};
