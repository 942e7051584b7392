#pragma once

#include "rpTrueTypeTable.h"

struct MaximumProfile {
    uint32_t version = 0;
    uint16_t numGlyphs = 0;
    uint16_t maxPoints = 0;
    uint16_t maxContours = 0;
    uint16_t maxCompositePoints = 0;
    uint16_t maxCompositeContours = 0;
    uint16_t maxZones = 0;
    uint16_t maxTwilightPoints = 0;
    uint16_t maxStorage = 0;
    uint16_t maxFunctionDefs = 0;
    uint16_t maxInstructionDefs = 0;
    uint16_t maxStackElements = 0;
    uint16_t maxSizeOfInstructions = 0;
    uint16_t maxComponentElements = 0;
    uint16_t maxComponentDepth = 0;
};

// maxp: the 32-byte maximum profile, read and written field by field at the same positions.
class MaximumProfileClass : public TrueTypeTable {
public:
    static constexpr uint32_t kLength = 32;

    explicit MaximumProfileClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;
    uint32_t Save(const TTFBytes& font, uint32_t offset) override;
    uint32_t SavedLength() const override { return kLength; }

    MaximumProfile max_profile;
};
