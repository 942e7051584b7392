#pragma once

#include "rpTrueTypeTable.h"

struct PostScript {
    uint32_t version = 0;
    int32_t italicAngle = 0; // 16.16 fixed point, degrees
    int16_t underlinePosition = 0;
    int16_t underlineThickness = 0;
    uint32_t isFixedPitch = 0;
    uint32_t minMemType42 = 0;
    uint32_t maxMemType42 = 0;
    uint32_t minMemType1 = 0;
    uint32_t maxMemType1 = 0;
};

// post: the 32-byte header; saved as a version 3.0 table (the glyph names are dropped).
class PostScriptClass : public TrueTypeTable {
public:
    static constexpr uint32_t kLength = 32;
    static constexpr uint32_t kVersion3 = 0x00030000;

    explicit PostScriptClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;
    uint32_t Save(const TTFBytes& font, uint32_t offset) override;
    uint32_t SavedLength() const override { return kLength; }

    PostScript post_script;
};
