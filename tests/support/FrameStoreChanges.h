#pragma once

#include <cstdint>

// Where showing a page's holding registers and storing them straight back may change the setup
// image, and why. Anywhere else a show followed by a store gives back the very bytes the
// instrument sent, and a second show and store never changes anything. Page tests use this
// to tell a lost value from an expected normalisation.

enum class StoreChangeReason {
    PasswordCopy,   // the password edit shows the second range and stores into both
    PackedBits,     // unused bits of a packed word are stored as 0
    HighByte,       // a low-byte value stores its high byte as 0 (or as the sign)
    CheckBox,       // a check box stores 0 or 1 for any word
    FormatDigits,   // the format shows fewer digits than the float holds
    TextTail,       // a text ends at its first zero byte and is stored zero-padded
};

struct ExpectedStoreChange {
    uint16_t FirstRegister;
    uint16_t LastRegister;
    uint16_t Mask; // the bits of each register that may change
    StoreChangeReason Reason;
};

inline constexpr ExpectedStoreChange kFirstStoreChanges[] = {
    {40007, 40007, 0xFF00, StoreChangeReason::HighByte},      // RtcCorrectionValue
    {40009, 40009, 0xFFFF, StoreChangeReason::CheckBox},      // AutoTranslationTime
    {40011, 40014, 0xFFFF, StoreChangeReason::PasswordCopy},  // Password, first range
    {40015, 40018, 0xFFFF, StoreChangeReason::TextTail},      // Password, second range
    {40019, 40020, 0xFFFF, StoreChangeReason::CheckBox},      // EnablePassword, LockSetupParams
    {40076, 40077, 0xFFFF, StoreChangeReason::CheckBox},      // DemoMode, FastMode
    {40078, 40078, 0xE000, StoreChangeReason::PackedBits},    // LCD calibration word
    {40085, 40088, 0xFFFF, StoreChangeReason::FormatDigits},  // W_дог "%.5f", Кпр "%.2f" of heat system 1
    {40135, 40138, 0xFFFF, StoreChangeReason::FormatDigits},  // the same of heat system 2
    {40182, 40182, 0xFF00, StoreChangeReason::HighByte},      // MonthArchiveDayCreate
    {40234, 40281, 0xFFFF, StoreChangeReason::FormatDigits},  // contract, maximum, minimum, cut-off flows "%.5f"
    {40301, 40301, 0xFF00, StoreChangeReason::HighByte},      // ExpenseFilterValue
    {40302, 40303, 0xFFFF, StoreChangeReason::FormatDigits},  // ResetFilterAttitude "%g"
    {40337, 40337, 0xFFFF, StoreChangeReason::CheckBox},      // DinInversion
    {40344, 40344, 0xFFFF, StoreChangeReason::CheckBox},      // OutRegister
    {40357, 40357, 0xFFFF, StoreChangeReason::CheckBox},      // LightBatteryEnable
    {40377, 40392, 0xFFFF, StoreChangeReason::TextTail},      // object name, SMS dispatcher number
    {40407, 40430, 0xFFFF, StoreChangeReason::TextTail},      // APN, number, login, password
    {40491, 40492, 0xFFFF, StoreChangeReason::FormatDigits},  // coefficient K1 of signal 9 "%g"
    {40499, 40500, 0xFFFF, StoreChangeReason::FormatDigits},  // signal A
    {40507, 40508, 0xFFFF, StoreChangeReason::FormatDigits},  // signal B
    {40515, 40516, 0xFFFF, StoreChangeReason::FormatDigits},  // signal C
    {40524, 40527, 0xFFFF, StoreChangeReason::FormatDigits},  // coefficients K1 and K2 of signal D "%g"
    {40540, 40543, 0xFFFF, StoreChangeReason::FormatDigits},  // signal E
    {40556, 40559, 0xFFFF, StoreChangeReason::FormatDigits},  // signal F
    {40572, 40575, 0xFFFF, StoreChangeReason::FormatDigits},  // signal G
};

// The bits of holding register `reg` that a first show and store may change; 0 for none.
constexpr uint16_t FirstStoreChangeMask(uint16_t reg)
{
    for (const ExpectedStoreChange& change : kFirstStoreChanges)
        if (reg >= change.FirstRegister && reg <= change.LastRegister)
            return change.Mask;
    return 0;
}
