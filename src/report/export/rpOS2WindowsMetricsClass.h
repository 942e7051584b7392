#pragma once

#include "rpTrueTypeTable.h"

#include <array>
#include <vector>

// The fields of the 96-byte form of the OS/2 table (versions 2 to 4).
struct OS2WindowsMetrics {
    uint16_t version = 0;
    int16_t xAvgCharWidth = 0;
    uint16_t usWeightClass = 0;
    uint16_t usWidthClass = 0;
    uint16_t fsType = 0;
    int16_t ySubscriptXSize = 0;
    int16_t ySubscriptYSize = 0;
    int16_t ySubscriptXOffset = 0;
    int16_t ySubscriptYOffset = 0;
    int16_t ySuperscriptXSize = 0;
    int16_t ySuperscriptYSize = 0;
    int16_t ySuperscriptXOffset = 0;
    int16_t ySuperscriptYOffset = 0;
    int16_t yStrikeoutSize = 0;
    int16_t yStrikeoutPosition = 0;
    int16_t sFamilyClass = 0;
    std::array<uint8_t, 10> panose{};
    uint32_t ulUnicodeRange1 = 0;
    uint32_t ulUnicodeRange2 = 0;
    uint32_t ulUnicodeRange3 = 0;
    uint32_t ulUnicodeRange4 = 0;
    std::array<uint8_t, 4> achVendID{};
    uint16_t fsSelection = 0;
    uint16_t usFirstCharIndex = 0;
    uint16_t usLastCharIndex = 0;
    int16_t sTypoAscender = 0;
    int16_t sTypoDescender = 0;
    int16_t sTypoLineGap = 0;
    uint16_t usWinAscent = 0;
    uint16_t usWinDescent = 0;
    uint32_t ulCodePageRange1 = 0; // from version 1 (86 bytes) on
    uint32_t ulCodePageRange2 = 0;
    int16_t sxHeight = 0; // from version 2 (96 bytes) on
    int16_t sCapHeight = 0;
    uint16_t usDefaultChar = 0;
    uint16_t usBreakChar = 0;
    uint16_t usMaxContext = 0;
};

// OS/2: the Windows metrics. The table keeps its own length: a version 0 (78 bytes) or 1 (86
// bytes) table has only the fields that fit (the others read as zero), a version 5 one (100
// bytes) keeps its bytes after the 96-byte form. Saving writes the table as long as it was:
// its bytes as read, with the fields that fit written over them.
class OS2WindowsMetricsClass : public TrueTypeTable {
public:
    // Version 0 ends with usWinDescent; a shorter table lacks fields every version has.
    static constexpr uint32_t kMinLength = 78;
    static constexpr uint32_t kFullLength = 96;

    explicit OS2WindowsMetricsClass(const TrueTypeTable& source) : TrueTypeTable(source) {}

    void Load(const TTFBytes& font) override;
    uint32_t Save(const TTFBytes& font, uint32_t offset) override;
    uint32_t SavedLength() const override { return entry.length; }

    OS2WindowsMetrics win_metrix;

private:
    std::vector<uint8_t> bytes_; // the table as read
};
