#include "LcdCalibrationWord.h"

#include "FrameValueLists.h"
#include "Texts.h"

#include "platform/Exceptions.h"

namespace {

constexpr uint16_t kContrastMask = 0x7F;
constexpr uint16_t kPrsModeBit = 0x80;
constexpr int kMultCoeffShift = 8;
constexpr uint16_t kMultCoeffMask = 0x3;
constexpr int kTempCoeffShift = 10;
constexpr uint16_t kTempCoeffMask = 0x7;

// A combo's chosen item, 0 when none is chosen.
int32_t GetComboIndex(const ControlPort& combo)
{
    const int32_t index = combo.Value();
    return index < 0 ? 0 : index;
}

// Chooses the item when the combo has it, otherwise chooses none.
void SetComboIndex(ControlPort& combo, int32_t index)
{
    combo.SetValue(index < combo.ItemCount() ? index : -1);
}

} // namespace

const std::array<LcdCalibrationControl, 4> kLcdCalibrationControls = {{
    {"LcdContrast", ControlClass::TCSpinEdit, {}},
    {"PRSMode", ControlClass::TCheckBox, {}},
    {"MultCoeff", ControlClass::TComboBox, {"MultCoeffNames", MultCoeffNames.data(), MultCoeffNames.size()}},
    {"TempCoeff", ControlClass::TComboBox, {"TempCoeffNames", TempCoeffNames.data(), TempCoeffNames.size()}},
}};

void PackedWordToControls(std::span<const uint8_t, 2> word, const LcdCalibrationControls& controls)
{
    const uint16_t value = static_cast<uint16_t>(word[0] << 8 | word[1]);
    controls.LcdContrast->SetValue(value & kContrastMask);
    SetComboIndex(*controls.MultCoeff, value >> kMultCoeffShift & kMultCoeffMask);
    controls.PRSMode->SetValue((value & kPrsModeBit) != 0 ? 1 : 0);
    SetComboIndex(*controls.TempCoeff, value >> kTempCoeffShift & kTempCoeffMask);
}

void ControlsToPackedWord(const LcdCalibrationControls& controls, std::span<uint8_t, 2> word)
{
    uint16_t value = static_cast<uint16_t>(controls.LcdContrast->Value() & kContrastMask);
    if (controls.PRSMode->Value() != 0)
        value |= kPrsModeBit;
    value |= static_cast<uint16_t>((GetComboIndex(*controls.MultCoeff) & kMultCoeffMask) << kMultCoeffShift);
    value |= static_cast<uint16_t>((GetComboIndex(*controls.TempCoeff) & kTempCoeffMask) << kTempCoeffShift);
    word[0] = static_cast<uint8_t>(value >> 8);
    word[1] = static_cast<uint8_t>(value & 0xFF);
}

void ValidateLcdCalibration(const LcdCalibrationControls& controls)
{
    if (controls.MultCoeff->Value() < 0 || controls.TempCoeff->Value() < 0)
        throw platform::Exception(presentation::kLcdCalibrationNotSetText);
}
