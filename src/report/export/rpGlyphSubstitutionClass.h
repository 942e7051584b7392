#pragma once

#include "rpTrueTypeTable.h"

struct GSUB_Header {
    uint32_t Version = 0;
    uint16_t ScriptList = 0;
    uint16_t FeatureList = 0;
    uint16_t LookupList = 0;
};

// GSUB: glyph substitution. Only its header is read; the table is copied unchanged.
class GlyphSubstitutionClass : public TrueTypeTable {
public:
    explicit GlyphSubstitutionClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;

    GSUB_Header header;
};
