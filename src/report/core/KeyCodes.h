#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <span>

// Key codes as scripts see them: the virtual-key numbers of the desktop the report system was
// written for (VK_RETURN 13, VK_F1 112, letters and digits by their capital ASCII code), and
// their translation to and from Qt's key numbers.

struct VirtualKeyInfo {
    const char* Name; // "VK_RETURN"
    int Code;
};

// The named key codes scripts may use, in their registration order (VK_RBUTTON ... VK_SCROLL;
// VK_LBUTTON is not among them).
std::span<const VirtualKeyInfo> VirtualKeyNames();

// The virtual-key code of a Qt key (Qt::Key), keypad keys told apart by `keypad`; 0 when the
// key has none.
int VirtualKeyOfQtKey(int qtKey, bool keypad);
// The Qt key of a virtual-key code (0 when none) and whether it is a keypad key.
int QtKeyOfVirtualKey(int virtualKey, bool& keypad);
// The text a virtual key types without modifiers ("A" for 65 with shift, "a" without; digits;
// blank, tab, return); empty when it types none.
QString TextOfVirtualKey(int virtualKey, bool shift);

// Short cuts: a virtual-key code with the shift-state bits below.
inline constexpr uint16_t scShift = 0x2000;
inline constexpr uint16_t scCtrl = 0x4000;
inline constexpr uint16_t scAlt = 0x8000;

// The text of a short cut ("Ctrl+A", "Shift+Ctrl+F1", "Ins", "Alt+BkSp"): the shift states in
// the order Shift, Ctrl, Alt, then the key's name; empty when the key has no name.
QString ShortCutToText(uint16_t shortCut);
// The short cut of such a text (case-insensitive); 0 for a text that names none.
uint16_t TextToShortCut(QStringView text);
// The 108 short cuts designers offer, in their order: Ctrl+A..Z, Ctrl+Alt+A..Z, F1..F12 plain,
// with Ctrl, Shift and Shift+Ctrl, then Ins, Shift+Ins, Ctrl+Ins, Del, Shift+Del, Ctrl+Del,
// Alt+BkSp and Shift+Alt+BkSp.
std::span<const uint16_t> StandardShortCuts();
