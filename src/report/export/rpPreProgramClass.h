#pragma once

#include "rpTrueTypeTable.h"

#include <vector>

// prep: the control value program, kept as its bytes and written back padded with zeros.
class PreProgramClass : public TrueTypeTable {
public:
    explicit PreProgramClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;
    uint32_t Save(const TTFBytes& font, uint32_t offset) override;

    std::vector<uint8_t> pre_program;
};
