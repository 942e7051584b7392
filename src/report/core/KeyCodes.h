#pragma once

#include <QString>

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
