#pragma once

#include <cstdint>
#include <span>

// The paper sizes of printers by their paper codes (1 to 68, without 48 and 49). Report pages
// take their dimensions from here, and a printer without a paper list of its own (the virtual
// printer) offers exactly these.

enum TPrinterOrientation : int { poPortrait, poLandscape };

// A paper code and its size in tenths of a millimetre, portrait (a few papers are stored wider
// than high, as their makers define them).
struct TrpPaperSize {
    int32_t Code;
    int32_t Width;
    int32_t Height;
};

inline constexpr int32_t kPaperA4 = 9;
// Paper codes from here up stand for a size of the page's own.
inline constexpr int32_t kPaperCustom = 256;

// The 66 papers in code order.
std::span<const TrpPaperSize> PaperSizes();

// The size in millimetres (portrait) of a paper code; false, leaving both unchanged, for a code
// the table does not have.
bool LookupPaperDimensions(int32_t code, double& width, double& height);
