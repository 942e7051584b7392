#include "rpMaximumProfileClass.h"

namespace {

// The 16-bit fields after the version, in file order.
uint16_t MaximumProfile::*const kFields[] = {
    &MaximumProfile::numGlyphs,          &MaximumProfile::maxPoints,
    &MaximumProfile::maxContours,        &MaximumProfile::maxCompositePoints,
    &MaximumProfile::maxCompositeContours, &MaximumProfile::maxZones,
    &MaximumProfile::maxTwilightPoints,  &MaximumProfile::maxStorage,
    &MaximumProfile::maxFunctionDefs,    &MaximumProfile::maxInstructionDefs,
    &MaximumProfile::maxStackElements,   &MaximumProfile::maxSizeOfInstructions,
    &MaximumProfile::maxComponentElements, &MaximumProfile::maxComponentDepth,
};

} // namespace

void MaximumProfileClass::Load(const TTFBytes& font)
{
    const TTFBytes t = TableBytes(font);
    max_profile.version = t.UInt32(0);
    for (size_t i = 0; i < std::size(kFields); ++i)
        max_profile.*kFields[i] = t.UInt16(4 + 2 * i);
}

uint32_t MaximumProfileClass::Save(const TTFBytes& font, uint32_t offset)
{
    const TTFBytes t = font.Sub(offset, kLength);
    t.SetUInt32(0, max_profile.version);
    for (size_t i = 0; i < std::size(kFields); ++i)
        t.SetUInt16(4 + 2 * i, max_profile.*kFields[i]);
    return Placed(offset, kLength);
}
