// The constants scripts see, copied here as data from the class library's tables: the 52
// colours, the modal results, the cursors, the border styles and the key codes. A script with
// the whole class library reads each name as exactly this value.

#include "ScriptUiTestSupport.h"

namespace {

struct Constant {
    const char* name;
    int64_t value;
};

void PrintTo(const Constant& c, std::ostream* os)
{
    *os << c.name;
}

constexpr int64_t Sys(int index)
{
    return static_cast<int32_t>(0xFF000000u | static_cast<uint32_t>(index));
}

const Constant kConstants[] = {
    // Colours, in the table's order.
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", Sys(10)}, {"clActiveCaption", Sys(2)}, {"clAppWorkSpace", Sys(12)},
    {"clBackground", Sys(1)}, {"clBtnFace", Sys(15)}, {"clBtnHighlight", Sys(20)}, {"clBtnShadow", Sys(16)},
    {"clBtnText", Sys(18)}, {"clCaptionText", Sys(9)}, {"clDefault", 0x20000000},
    {"clGradientActiveCaption", Sys(27)}, {"clGradientInactiveCaption", Sys(28)}, {"clGrayText", Sys(17)},
    {"clHighlight", Sys(13)}, {"clHighlightText", Sys(14)}, {"clHotLight", Sys(26)},
    {"clInactiveBorder", Sys(11)}, {"clInactiveCaption", Sys(3)}, {"clInactiveCaptionText", Sys(19)},
    {"clInfoBk", Sys(24)}, {"clInfoText", Sys(23)}, {"clMenu", Sys(4)}, {"clMenuBar", Sys(30)},
    {"clMenuHighlight", Sys(29)}, {"clMenuText", Sys(7)}, {"clNone", 0x1FFFFFFF}, {"clScrollBar", Sys(0)},
    {"cl3DDkShadow", Sys(21)}, {"cl3DLight", Sys(22)}, {"clWindow", Sys(5)}, {"clWindowFrame", Sys(6)},
    {"clWindowText", Sys(8)},
    // Modal results.
    {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4}, {"mrIgnore", 5}, {"mrYes", 6},
    {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9}, {"mrYesToAll", 10},
    // Cursors.
    {"crDefault", 0}, {"crNone", -1}, {"crArrow", -2}, {"crCross", -3}, {"crIBeam", -4}, {"crSize", -22},
    {"crSizeNESW", -6}, {"crSizeNS", -7}, {"crSizeNWSE", -8}, {"crSizeWE", -9}, {"crUpArrow", -10},
    {"crHourGlass", -11}, {"crDrag", -12}, {"crNoDrop", -13}, {"crHSplit", -14}, {"crVSplit", -15},
    {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18}, {"crAppStart", -19}, {"crHelp", -20},
    {"crHandPoint", -21}, {"crSizeAll", -22},
    // Border styles.
    {"bsNone", 0}, {"bsSingle", 1}, {"bsSizeable", 2}, {"bsDialog", 3}, {"bsToolWindow", 4}, {"bsSizeToolWin", 5},
    // Key codes.
    {"VK_RBUTTON", 2}, {"VK_CANCEL", 3}, {"VK_MBUTTON", 4}, {"VK_BACK", 8}, {"VK_TAB", 9}, {"VK_RETURN", 13},
    {"VK_SHIFT", 16}, {"VK_CONTROL", 17}, {"VK_MENU", 18}, {"VK_PAUSE", 19}, {"VK_CAPITAL", 20},
    {"VK_ESCAPE", 27}, {"VK_SPACE", 32}, {"VK_PRIOR", 33}, {"VK_NEXT", 34}, {"VK_END", 35}, {"VK_HOME", 36},
    {"VK_LEFT", 37}, {"VK_UP", 38}, {"VK_RIGHT", 39}, {"VK_DOWN", 40}, {"VK_INSERT", 45}, {"VK_DELETE", 46},
    {"VK_HELP", 47}, {"VK_LWIN", 91}, {"VK_RWIN", 92}, {"VK_APPS", 93}, {"VK_NUMPAD0", 96}, {"VK_NUMPAD1", 97},
    {"VK_NUMPAD2", 98}, {"VK_NUMPAD3", 99}, {"VK_NUMPAD4", 100}, {"VK_NUMPAD5", 101}, {"VK_NUMPAD6", 102},
    {"VK_NUMPAD7", 103}, {"VK_NUMPAD8", 104}, {"VK_NUMPAD9", 105}, {"VK_MULTIPLY", 106}, {"VK_ADD", 107},
    {"VK_SEPARATOR", 108}, {"VK_SUBTRACT", 109}, {"VK_DECIMAL", 110}, {"VK_DIVIDE", 111}, {"VK_F1", 112},
    {"VK_F2", 113}, {"VK_F3", 114}, {"VK_F4", 115}, {"VK_F5", 116}, {"VK_F6", 117}, {"VK_F7", 118},
    {"VK_F8", 119}, {"VK_F9", 120}, {"VK_F10", 121}, {"VK_F11", 122}, {"VK_F12", 123}, {"VK_NUMLOCK", 144},
    {"VK_SCROLL", 145},
    // Alignments, close actions, mouse buttons and shift states.
    {"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}, {"caNone", 0}, {"caHide", 1}, {"caFree", 2},
    {"caMinimize", 3}, {"mbLeft", 0}, {"mbRight", 1}, {"mbMiddle", 2}, {"ssShift", 1}, {"ssAlt", 2},
    {"ssCtrl", 4}, {"ssLeft", 8}, {"ssRight", 16}, {"ssMiddle", 32}, {"ssDouble", 64},
    // Constants of the base classes.
    {"fmCreate", 65280}, {"fmOpenRead", 0}, {"fmOpenWrite", 1}, {"fmOpenReadWrite", 2}, {"fmShareExclusive", 16},
    {"fmShareDenyWrite", 32}, {"fmShareDenyNone", 64}, {"soFromBeginning", 0}, {"soFromCurrent", 1},
    {"soFromEnd", 2},
};

class ScriptConstants : public scripttest::ScriptUiTest, public ::testing::WithParamInterface<Constant> {};

TEST_P(ScriptConstants, HaveTheirTableValue)
{
    const Variant value = script_->Evaluate(QString::fromLatin1(GetParam().name));
    EXPECT_EQ(value.ToInt64(), GetParam().value) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Table, ScriptConstants, ::testing::ValuesIn(kConstants),
                         [](const ::testing::TestParamInfo<Constant>& info) { return std::string(info.param.name); });

using ScriptConstantCount = scripttest::ScriptUiTest;

TEST_F(ScriptConstantCount, NoVirtualKeyForTheLeftButton)
{
    // VK_LBUTTON is not registered; an unknown name does not compile.
    QString error;
    script_->Evaluate(QStringLiteral("VK_LBUTTON"), &error);
    EXPECT_TRUE(script_->EvaluteRiseError);
    EXPECT_EQ(script_->Evaluate(QStringLiteral("clBtnFace")).ToInt32(), static_cast<int32_t>(0xFF00000F));
    EXPECT_LT(script_->Evaluate(QStringLiteral("clBtnFace")).ToInt32(), 0);
}

} // namespace
