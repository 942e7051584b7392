#include "KeyCodes.h"

#include <Qt>

#include <vector>

namespace {

constexpr VirtualKeyInfo kNames[] = {
    {"VK_RBUTTON", 0x02},  {"VK_CANCEL", 0x03},   {"VK_MBUTTON", 0x04},  {"VK_BACK", 0x08},
    {"VK_TAB", 0x09},      {"VK_RETURN", 0x0D},   {"VK_SHIFT", 0x10},    {"VK_CONTROL", 0x11},
    {"VK_MENU", 0x12},     {"VK_PAUSE", 0x13},    {"VK_CAPITAL", 0x14},  {"VK_ESCAPE", 0x1B},
    {"VK_SPACE", 0x20},    {"VK_PRIOR", 0x21},    {"VK_NEXT", 0x22},     {"VK_END", 0x23},
    {"VK_HOME", 0x24},     {"VK_LEFT", 0x25},     {"VK_UP", 0x26},       {"VK_RIGHT", 0x27},
    {"VK_DOWN", 0x28},     {"VK_INSERT", 0x2D},   {"VK_DELETE", 0x2E},   {"VK_HELP", 0x2F},
    {"VK_LWIN", 0x5B},     {"VK_RWIN", 0x5C},     {"VK_APPS", 0x5D},     {"VK_NUMPAD0", 0x60},
    {"VK_NUMPAD1", 0x61},  {"VK_NUMPAD2", 0x62},  {"VK_NUMPAD3", 0x63},  {"VK_NUMPAD4", 0x64},
    {"VK_NUMPAD5", 0x65},  {"VK_NUMPAD6", 0x66},  {"VK_NUMPAD7", 0x67},  {"VK_NUMPAD8", 0x68},
    {"VK_NUMPAD9", 0x69},  {"VK_MULTIPLY", 0x6A}, {"VK_ADD", 0x6B},      {"VK_SEPARATOR", 0x6C},
    {"VK_SUBTRACT", 0x6D}, {"VK_DECIMAL", 0x6E},  {"VK_DIVIDE", 0x6F},   {"VK_F1", 0x70},
    {"VK_F2", 0x71},       {"VK_F3", 0x72},       {"VK_F4", 0x73},       {"VK_F5", 0x74},
    {"VK_F6", 0x75},       {"VK_F7", 0x76},       {"VK_F8", 0x77},       {"VK_F9", 0x78},
    {"VK_F10", 0x79},      {"VK_F11", 0x7A},      {"VK_F12", 0x7B},      {"VK_NUMLOCK", 0x90},
    {"VK_SCROLL", 0x91},
};

struct KeyPair {
    int Qt;
    int Vk;
    bool Keypad;
};

// Keys whose numbers differ; letters and digits share theirs, F1..F24 are a run.
constexpr KeyPair kPairs[] = {
    {Qt::Key_Cancel, 0x03, false},   {Qt::Key_Backspace, 0x08, false}, {Qt::Key_Tab, 0x09, false},
    {Qt::Key_Backtab, 0x09, false},  {Qt::Key_Clear, 0x0C, false},     {Qt::Key_Return, 0x0D, false},
    {Qt::Key_Enter, 0x0D, true},     {Qt::Key_Shift, 0x10, false},     {Qt::Key_Control, 0x11, false},
    {Qt::Key_Alt, 0x12, false},      {Qt::Key_Pause, 0x13, false},     {Qt::Key_CapsLock, 0x14, false},
    {Qt::Key_Escape, 0x1B, false},   {Qt::Key_Space, 0x20, false},     {Qt::Key_PageUp, 0x21, false},
    {Qt::Key_PageDown, 0x22, false}, {Qt::Key_End, 0x23, false},       {Qt::Key_Home, 0x24, false},
    {Qt::Key_Left, 0x25, false},     {Qt::Key_Up, 0x26, false},        {Qt::Key_Right, 0x27, false},
    {Qt::Key_Down, 0x28, false},     {Qt::Key_Select, 0x29, false},    {Qt::Key_Print, 0x2A, false},
    {Qt::Key_Execute, 0x2B, false},  {Qt::Key_Insert, 0x2D, false},    {Qt::Key_Delete, 0x2E, false},
    {Qt::Key_Help, 0x2F, false},     {Qt::Key_Super_L, 0x5B, false},   {Qt::Key_Super_R, 0x5C, false},
    {Qt::Key_Menu, 0x5D, false},     {Qt::Key_Sleep, 0x5F, false},     {Qt::Key_Asterisk, 0x6A, true},
    {Qt::Key_Plus, 0x6B, true},      {Qt::Key_Minus, 0x6D, true},      {Qt::Key_Period, 0x6E, true},
    {Qt::Key_Comma, 0x6E, true},     {Qt::Key_Slash, 0x6F, true},      {Qt::Key_NumLock, 0x90, false},
    {Qt::Key_ScrollLock, 0x91, false}, {Qt::Key_Semicolon, 0xBA, false}, {Qt::Key_Colon, 0xBA, false},
    {Qt::Key_Plus, 0xBB, false},     {Qt::Key_Equal, 0xBB, false},     {Qt::Key_Comma, 0xBC, false},
    {Qt::Key_Less, 0xBC, false},     {Qt::Key_Minus, 0xBD, false},     {Qt::Key_Underscore, 0xBD, false},
    {Qt::Key_Period, 0xBE, false},   {Qt::Key_Greater, 0xBE, false},   {Qt::Key_Slash, 0xBF, false},
    {Qt::Key_Question, 0xBF, false}, {Qt::Key_QuoteLeft, 0xC0, false}, {Qt::Key_AsciiTilde, 0xC0, false},
    {Qt::Key_BracketLeft, 0xDB, false}, {Qt::Key_BraceLeft, 0xDB, false}, {Qt::Key_Backslash, 0xDC, false},
    {Qt::Key_Bar, 0xDC, false},      {Qt::Key_BracketRight, 0xDD, false}, {Qt::Key_BraceRight, 0xDD, false},
    {Qt::Key_Apostrophe, 0xDE, false}, {Qt::Key_QuoteDbl, 0xDE, false},
};

} // namespace

std::span<const VirtualKeyInfo> VirtualKeyNames()
{
    return kNames;
}

int VirtualKeyOfQtKey(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 0x60 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    // A keypad key first, then the main keyboard's.
    for (const KeyPair& pair : kPairs) {
        if (pair.Qt == qtKey && pair.Keypad == keypad)
            return pair.Vk;
    }
    for (const KeyPair& pair : kPairs) {
        if (pair.Qt == qtKey)
            return pair.Vk;
    }
    return 0;
}

int QtKeyOfVirtualKey(int virtualKey, bool& keypad)
{
    keypad = false;
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return virtualKey;
    if (virtualKey >= 0x60 && virtualKey <= 0x69) {
        keypad = true;
        return Qt::Key_0 + (virtualKey - 0x60);
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x87)
        return Qt::Key_F1 + (virtualKey - 0x70);
    for (const KeyPair& pair : kPairs) {
        if (pair.Vk == virtualKey) {
            keypad = pair.Keypad;
            return pair.Qt;
        }
    }
    return 0;
}

QString TextOfVirtualKey(int virtualKey, bool shift)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return QString(QChar(shift ? virtualKey : virtualKey + ('a' - 'A')));
    if (virtualKey >= '0' && virtualKey <= '9')
        return QString(QChar(virtualKey));
    if (virtualKey >= 0x60 && virtualKey <= 0x69)
        return QString(QChar('0' + (virtualKey - 0x60)));
    switch (virtualKey) {
    case 0x08:
        return QString(QChar(8));
    case 0x09:
        return QStringLiteral("\t");
    case 0x0D:
        return QStringLiteral("\r");
    case 0x1B:
        return QString(QChar(27));
    case 0x20:
        return QStringLiteral(" ");
    default:
        return QString();
    }
}

namespace {

// Key names of short-cut texts, beyond letters, digits and function keys.
struct ShortCutKeyName {
    uint16_t Key;
    const char* Name;
};

constexpr ShortCutKeyName kShortCutKeyNames[] = {
    {8, "BkSp"},   {9, "Tab"},    {13, "Enter"}, {27, "Esc"},  {32, "Space"}, {33, "PgUp"},
    {34, "PgDn"},  {35, "End"},   {36, "Home"},  {37, "Left"}, {38, "Up"},    {39, "Right"},
    {40, "Down"},  {45, "Ins"},   {46, "Del"},
};

QString ShortCutKeyText(uint16_t key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return QString(QChar(key));
    if (key >= 112 && key <= 123)
        return QStringLiteral("F%1").arg(key - 111);
    for (const ShortCutKeyName& entry : kShortCutKeyNames)
        if (entry.Key == key)
            return QString::fromLatin1(entry.Name);
    return QString();
}

std::vector<uint16_t> BuildStandardShortCuts()
{
    std::vector<uint16_t> list;
    for (uint16_t c = 'A'; c <= 'Z'; ++c)
        list.push_back(scCtrl | c);
    for (uint16_t c = 'A'; c <= 'Z'; ++c)
        list.push_back(scCtrl | scAlt | c);
    for (uint16_t shift : {uint16_t{0}, scCtrl, scShift, uint16_t(scShift | scCtrl)})
        for (uint16_t f = 112; f <= 123; ++f)
            list.push_back(shift | f);
    const uint16_t tail[] = {45, uint16_t(scShift | 45), uint16_t(scCtrl | 45), 46, uint16_t(scShift | 46),
                             uint16_t(scCtrl | 46), uint16_t(scAlt | 8), uint16_t(scShift | scAlt | 8)};
    list.insert(list.end(), std::begin(tail), std::end(tail));
    return list;
}

} // namespace

QString ShortCutToText(uint16_t shortCut)
{
    const QString key = ShortCutKeyText(shortCut & 0x1FFF);
    if (key.isEmpty())
        return QString();
    QString text;
    if (shortCut & scShift)
        text += QStringLiteral("Shift+");
    if (shortCut & scCtrl)
        text += QStringLiteral("Ctrl+");
    if (shortCut & scAlt)
        text += QStringLiteral("Alt+");
    return text + key;
}

uint16_t TextToShortCut(QStringView text)
{
    uint16_t shift = 0;
    QStringView rest = text;
    for (;;) {
        if (rest.startsWith(u"Shift+", Qt::CaseInsensitive)) {
            shift |= scShift;
            rest = rest.mid(6);
        } else if (rest.startsWith(u"Ctrl+", Qt::CaseInsensitive)) {
            shift |= scCtrl;
            rest = rest.mid(5);
        } else if (rest.startsWith(u"Alt+", Qt::CaseInsensitive)) {
            shift |= scAlt;
            rest = rest.mid(4);
        } else {
            break;
        }
    }
    if (rest.isEmpty())
        return 0;
    for (uint16_t key = 1; key < 256; ++key) {
        const QString name = ShortCutKeyText(key);
        if (!name.isEmpty() && rest.compare(name, Qt::CaseInsensitive) == 0)
            return shift | key;
    }
    return 0;
}

std::span<const uint16_t> StandardShortCuts()
{
    static const std::vector<uint16_t> list = BuildStandardShortCuts();
    return list;
}
