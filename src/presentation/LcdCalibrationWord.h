#pragma once

#include "ControlPort.h"
#include "FrameBindingTable.h"

#include <array>
#include <cstdint>
#include <span>

// The LCD calibration word (HR 40078) packs four controls of the calibration page:
//   bits 0-6   LcdContrast (spin edit)   contrast 0..127
//   bit 7      PRSMode (check box)       1 when ticked
//   bits 8-9   MultCoeff (combo box)     item index, "MULT2".."MULT5"
//   bits 10-12 TempCoeff (combo box)     item index, "TC0".."TC7"
//   bits 13-15 none                      stored as 0, ignored when shown
// Its binding is a delegate whose three callbacks are the functions below.

struct LcdCalibrationControls {
    ControlPort* LcdContrast = nullptr;
    ControlPort* PRSMode = nullptr;
    ControlPort* MultCoeff = nullptr;
    ControlPort* TempCoeff = nullptr;
};

// Paths and classes of the four controls, in the order above.
struct LcdCalibrationControl {
    const char* Path;
    ControlClass Class;
    ValueList Items; // combo items; none for the others
};
extern const std::array<LcdCalibrationControl, 4> kLcdCalibrationControls;

// Show: sets contrast, multiplier, PRS mode and temperature coefficient, in this order, from
// the word (two bytes, high byte first).
void PackedWordToControls(std::span<const uint8_t, 2> word, const LcdCalibrationControls& controls);

// Store: packs the four controls into the word; a combo without a choice counts as item 0.
void ControlsToPackedWord(const LcdCalibrationControls& controls, std::span<uint8_t, 2> word);

// Validate: fails with "Параметры калибровки ЖКИ не установлены" while the multiplier or the
// temperature coefficient has no choice.
void ValidateLcdCalibration(const LcdCalibrationControls& controls);
