// The signal and event editors on real widgets: the mask's bit names by source, the controls
// shown by signal type, the timer's days by mode, the clearing of each editor and the device
// frame's clear buttons, which write nothing.

#include "app/DaxEventFrame.h"
#include "app/DaxFrame.h"
#include "app/DaxMaskSignalFrame.h"
#include "app/DaxSignalFrame_1.h"
#include "app/DaxSignalFrame_2.h"

#include "controls/BitEditComboBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

template <typename T>
T* Child(const QWidget& frame, const char* name)
{
    T* child = frame.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QComboBox* Combo(const QWidget& frame, const char* name)
{
    return Child<QComboBox>(frame, name);
}

TBitEditComboBox* Bits(const QWidget& frame, const char* name)
{
    return Child<TBitEditComboBox>(frame, name);
}

std::string Caption(const QWidget& frame, const char* label)
{
    return Child<QLabel>(frame, label)->text().toStdString();
}

// The names of the controls of a frame that are not hidden, among those asked about.
std::vector<std::string> ShownOf(const QWidget& frame, const std::vector<std::string>& names)
{
    std::vector<std::string> shown;
    for (const std::string& name : names)
        if (!Child<QWidget>(frame, name.c_str())->isHidden())
            shown.push_back(name);
    return shown;
}

// Each mask source and the number of bit names it gives the mask: the hardware and mode flags
// 14, the heat systems' flags 15, the channels' 8, no source none.
const std::vector<std::pair<int, int>> kSourceBitCounts = {{0, 14}, {1, 14}, {2, 8},  {3, 8}, {4, 8},  {5, 8},
                                                           {6, 8},  {7, 8},  {8, 15}, {9, 15}, {10, 8}, {11, 8},
                                                           {-1, 0}};

template <typename Editor>
void ExpectSourcesNameTheBits()
{
    Editor editor;
    editor.SetUp();
    for (const auto& [source, count] : kSourceBitCounts) {
        Combo(editor, "MaskParam")->setCurrentIndex(source);
        EXPECT_EQ(Bits(editor, "Mask")->ItemCount(), count) << "source " << source;
    }
    // "Канальные НС ТС2": the channel names, not the heat system's.
    Combo(editor, "MaskParam")->setCurrentIndex(11);
    EXPECT_EQ(Combo(editor, "MaskParam")->currentText().toStdString(), "Канальные НС ТС2");
    EXPECT_EQ(Bits(editor, "Mask")->Items().front().toStdString(), "Отказ ПР");
    Combo(editor, "MaskParam")->setCurrentIndex(9);
    EXPECT_EQ(Bits(editor, "Mask")->Items().front().toStdString(), "Q2 < 0");
}

TEST(SignalEditors, TheMaskSourceNamesTheMasksBits)
{
    ExpectSourcesNameTheBits<TDaxMaskSignalForm>();
    ExpectSourcesNameTheBits<TDaxSignal1_Form>();
    ExpectSourcesNameTheBits<TDaxSignal2_Form>();
}

TEST(SignalEditors, AParameterChangeRenamesTheBitsAfterTheMaskSource)
{
    TDaxSignal2_Form signal;
    signal.SetUp();
    Combo(signal, "MaskParam")->setCurrentIndex(8); // "НС ТС1"
    Bits(signal, "Mask")->SetItems({QStringLiteral("elsewhere")});
    Combo(signal, "ConditionParam1")->setCurrentIndex(3);
    ASSERT_EQ(Bits(signal, "Mask")->ItemCount(), 15);
    EXPECT_EQ(Bits(signal, "Mask")->Items().front().toStdString(), "Q1 < 0");
    Bits(signal, "Mask")->SetItems({});
    Combo(signal, "ConditionParam2")->setCurrentIndex(5);
    EXPECT_EQ(Bits(signal, "Mask")->ItemCount(), 15);

    TDaxSignal1_Form shortSignal;
    shortSignal.SetUp();
    Combo(shortSignal, "MaskParam")->setCurrentIndex(1);
    Bits(shortSignal, "Mask")->SetItems({});
    Combo(shortSignal, "ConditionParam1")->setCurrentIndex(2);
    EXPECT_EQ(Bits(shortSignal, "Mask")->ItemCount(), 14);
}

TEST(SignalEditors, TheTimerModeNamesTheDays)
{
    TDaxSignal2_Form signal;
    signal.SetUp();
    Combo(signal, "SignalType")->setCurrentIndex(2);
    TBitEditComboBox* days = Bits(signal, "TimerDays");
    Combo(signal, "TimerMode")->setCurrentIndex(1);
    EXPECT_TRUE(days->isEnabled());
    ASSERT_EQ(days->ItemCount(), 7);
    EXPECT_EQ(days->Items().front().toStdString(), "Воскресенье");
    EXPECT_EQ(days->Items().back().toStdString(), "Суббота");
    Combo(signal, "TimerMode")->setCurrentIndex(2);
    EXPECT_TRUE(days->isEnabled());
    ASSERT_EQ(days->ItemCount(), 31);
    EXPECT_EQ(days->Items().front().toStdString(), "1");
    Combo(signal, "TimerMode")->setCurrentIndex(0); // "Ежедневно"
    EXPECT_FALSE(days->isEnabled());
    EXPECT_EQ(days->ItemCount(), 0);
    Combo(signal, "TimerMode")->setCurrentIndex(-1);
    EXPECT_FALSE(days->isEnabled());
    EXPECT_EQ(days->ItemCount(), 0);
}

const std::vector<std::string> kSignal2Switched = {
    "MaskParam",  "Mask",       "MaskCondition", "MaskParamLabel", "ConditionParam1", "ConditionParam2",
    "ConditionKoef1", "ConditionKoef2", "ParamCondition", "KoefLabel1", "KoefLabel2", "TimerMode",
    "TimerDays",  "TimerOn",    "TimerOff"};
const std::vector<std::string> kSignal1Switched = {"MaskParam",      "Mask",           "ConditionParam1",
                                                   "ConditionKoef1", "ParamCondition", "MaskCondition"};

TEST(SignalEditors, TheTypeShowsItsControlsOfSignalsDToG)
{
    TDaxSignal2_Form signal;
    signal.SetUp();
    QComboBox* type = Combo(signal, "SignalType");
    type->setCurrentIndex(1);
    EXPECT_EQ(ShownOf(signal, kSignal2Switched),
              (std::vector<std::string>{"MaskParamLabel", "ConditionParam1", "ConditionParam2", "ConditionKoef1",
                                        "ConditionKoef2", "ParamCondition", "KoefLabel1", "KoefLabel2"}));
    EXPECT_EQ(Caption(signal, "ParamLabel"), "Параметр П1");
    EXPECT_EQ(Caption(signal, "MaskParamLabel"), "Параметр П2");
    EXPECT_EQ(Caption(signal, "MaskConditionLabel"), "Условие");
    EXPECT_EQ(Caption(signal, "KoefLabel1"), "Коэффициент К1");
    EXPECT_EQ(Caption(signal, "KoefLabel2"), "Коэффициент К2");

    Combo(signal, "TimerMode")->setCurrentIndex(1);
    type->setCurrentIndex(2);
    EXPECT_EQ(ShownOf(signal, kSignal2Switched),
              (std::vector<std::string>{"KoefLabel1", "KoefLabel2", "TimerMode", "TimerDays", "TimerOn", "TimerOff"}));
    EXPECT_EQ(Caption(signal, "MaskConditionLabel"), "Режим таймера");
    EXPECT_EQ(Caption(signal, "ParamLabel"), "Дни");
    EXPECT_EQ(Caption(signal, "KoefLabel1"), "Включение");
    EXPECT_EQ(Caption(signal, "KoefLabel2"), "Отключение");
    EXPECT_EQ(Bits(signal, "TimerDays")->ItemCount(), 7);

    type->setCurrentIndex(0);
    EXPECT_EQ(ShownOf(signal, kSignal2Switched),
              (std::vector<std::string>{"MaskParam", "Mask", "MaskCondition", "MaskParamLabel"}));
    EXPECT_EQ(Caption(signal, "ParamLabel"), "Параметр");
    EXPECT_EQ(Caption(signal, "MaskConditionLabel"), "Условие");
    EXPECT_EQ(Caption(signal, "MaskParamLabel"), "Маска");

    type->setCurrentIndex(-1);
    EXPECT_EQ(ShownOf(signal, kSignal2Switched), std::vector<std::string>{});
}

TEST(SignalEditors, TheTypeShowsItsControlsOfSignals9ToC)
{
    TDaxSignal1_Form signal;
    signal.SetUp();
    QComboBox* type = Combo(signal, "SignalType");
    type->setCurrentIndex(1);
    EXPECT_EQ(ShownOf(signal, kSignal1Switched),
              (std::vector<std::string>{"ConditionParam1", "ConditionKoef1", "ParamCondition"}));
    EXPECT_EQ(Caption(signal, "ParamLabel"), "Параметр П1");
    EXPECT_EQ(Caption(signal, "MaskKoefLabel"), "Коэффициент К1");
    type->setCurrentIndex(0);
    EXPECT_EQ(ShownOf(signal, kSignal1Switched), (std::vector<std::string>{"MaskParam", "Mask", "MaskCondition"}));
    EXPECT_EQ(Caption(signal, "ParamLabel"), "Параметр");
    EXPECT_EQ(Caption(signal, "MaskKoefLabel"), "Маска");
    type->setCurrentIndex(-1);
    EXPECT_EQ(ShownOf(signal, kSignal1Switched), std::vector<std::string>{});
}

// A signal D..G set up as a comparison with every value away from its cleared state.
void Fill(TDaxSignal2_Form& signal)
{
    Combo(signal, "SignalType")->setCurrentIndex(1);
    for (const char* list : {"MaskParam", "MaskCondition", "ParamCondition", "ConditionParam1", "ConditionParam2"})
        Combo(signal, list)->setCurrentIndex(3);
    Combo(signal, "MaskParam")->setCurrentIndex(9);
    Combo(signal, "TimerMode")->setCurrentIndex(2);
    Bits(signal, "Mask")->SetBitFlags(0x5);
    Bits(signal, "TimerDays")->SetBitFlags(0x3E);
    Child<QLineEdit>(signal, "ConditionKoef1")->setText(QStringLiteral("95.5"));
    Child<QLineEdit>(signal, "ConditionKoef2")->setText(QStringLiteral("12"));
    Child<QTimeEdit>(signal, "TimerOn")->setTime(QTime(8, 0));
    Child<QTimeEdit>(signal, "TimerOff")->setTime(QTime(17, 30));
}

void ExpectCleared(const TDaxSignal2_Form& signal)
{
    for (const char* list : {"SignalType", "MaskParam", "MaskCondition", "ParamCondition", "ConditionParam1", "ConditionParam2"})
        EXPECT_EQ(Combo(signal, list)->currentIndex(), 0) << list;
    EXPECT_EQ(Bits(signal, "Mask")->StoredBitFlags(), 0u);
    EXPECT_EQ(Bits(signal, "TimerDays")->StoredBitFlags(), 0u);
    EXPECT_EQ(Child<QLineEdit>(signal, "ConditionKoef1")->text().toStdString(), "0");
    EXPECT_EQ(Child<QLineEdit>(signal, "ConditionKoef2")->text().toStdString(), "0");
    EXPECT_EQ(Child<QTimeEdit>(signal, "TimerOn")->time(), QTime(0, 0, 0));
    EXPECT_EQ(Child<QTimeEdit>(signal, "TimerOff")->time(), QTime(0, 0, 0));
    // The timer mode is not among the cleared values; the shown controls and names follow the
    // cleared type (a mask) and source (the hardware flags).
    EXPECT_EQ(Combo(signal, "TimerMode")->currentIndex(), 2);
    EXPECT_EQ(ShownOf(signal, kSignal2Switched),
              (std::vector<std::string>{"MaskParam", "Mask", "MaskCondition", "MaskParamLabel"}));
    EXPECT_EQ(Bits(signal, "Mask")->ItemCount(), 14);
    EXPECT_EQ(Bits(signal, "TimerDays")->ItemCount(), 31);
}

TEST(SignalEditors, ClearingASignalDToG)
{
    TDaxSignal2_Form signal;
    signal.SetUp();
    Fill(signal);
    signal.Clear();
    ExpectCleared(signal);
}

TEST(SignalEditors, ClearingASignal9ToC)
{
    TDaxSignal1_Form signal;
    signal.SetUp();
    Combo(signal, "SignalType")->setCurrentIndex(1);
    for (const char* list : {"MaskCondition", "ParamCondition", "ConditionParam1"})
        Combo(signal, list)->setCurrentIndex(2);
    Combo(signal, "MaskParam")->setCurrentIndex(8);
    Bits(signal, "Mask")->SetBitFlags(0x7);
    Child<QLineEdit>(signal, "ConditionKoef1")->setText(QStringLiteral("95"));
    signal.Clear();
    for (const char* list : {"SignalType", "MaskParam", "MaskCondition", "ParamCondition", "ConditionParam1"})
        EXPECT_EQ(Combo(signal, list)->currentIndex(), 0) << list;
    EXPECT_EQ(Bits(signal, "Mask")->StoredBitFlags(), 0u);
    EXPECT_EQ(Child<QLineEdit>(signal, "ConditionKoef1")->text().toStdString(), "0");
    EXPECT_EQ(ShownOf(signal, kSignal1Switched), (std::vector<std::string>{"MaskParam", "Mask", "MaskCondition"}));
    EXPECT_EQ(Caption(signal, "MaskKoefLabel"), "Маска");
    EXPECT_EQ(Bits(signal, "Mask")->ItemCount(), 14);
}

TEST(SignalEditors, ClearingAMaskSignalAndAnEvent)
{
    TDaxMaskSignalForm mask;
    mask.SetUp();
    Combo(mask, "MaskParam")->setCurrentIndex(4);
    Combo(mask, "MaskCondition")->setCurrentIndex(3);
    Bits(mask, "Mask")->SetBitFlags(0xFF);
    mask.Clear();
    EXPECT_EQ(Combo(mask, "MaskParam")->currentIndex(), 0);
    EXPECT_EQ(Combo(mask, "MaskCondition")->currentIndex(), 0);
    EXPECT_EQ(Bits(mask, "Mask")->StoredBitFlags(), 0u);
    EXPECT_EQ(Bits(mask, "Mask")->ItemCount(), 14);

    TDaxEventForm event;
    event.SetUp();
    Combo(event, "MaskCondition")->setCurrentIndex(2);
    Bits(event, "Mask")->SetBitFlags(0x8001);
    event.Clear();
    EXPECT_EQ(Combo(event, "MaskCondition")->currentIndex(), 0);
    EXPECT_EQ(Bits(event, "Mask")->StoredBitFlags(), 0u);
    EXPECT_EQ(Bits(event, "Mask")->ItemCount(), 16);
}

// The clear buttons of pages 25 to 28 clear their page's editors only, and write nothing.
TEST(SignalEditors, TheFramesClearButtonsClearTheirPageOnly)
{
    TDax_Frame frame;
    frame.BuildPageTree();
    const auto editor = [&frame](const char* name) { return frame.findChild<QWidget*>(QString::fromUtf8(name)); };
    Combo(*editor("MaskSignal3"), "MaskCondition")->setCurrentIndex(2);
    Combo(*editor("DaxSignalB"), "MaskCondition")->setCurrentIndex(2);
    Fill(*qobject_cast<TDaxSignal2_Form*>(editor("DaxSignalF")));
    Combo(*editor("DaxEvent8"), "MaskCondition")->setCurrentIndex(2);
    const auto image = frame.Helper().HoldingRegisterImage;

    Child<QPushButton>(frame, "ClearSignal_0")->click();
    EXPECT_EQ(Combo(*editor("MaskSignal3"), "MaskCondition")->currentIndex(), 0);
    EXPECT_EQ(Combo(*editor("DaxSignalB"), "MaskCondition")->currentIndex(), 2);
    Child<QPushButton>(frame, "ClearSignal_1")->click();
    EXPECT_EQ(Combo(*editor("DaxSignalB"), "MaskCondition")->currentIndex(), 0);
    EXPECT_EQ(Combo(*editor("DaxEvent8"), "MaskCondition")->currentIndex(), 2);
    Child<QPushButton>(frame, "ClearSignal_2")->click();
    ExpectCleared(*qobject_cast<TDaxSignal2_Form*>(editor("DaxSignalF")));
    Child<QPushButton>(frame, "ClearEvents")->click();
    EXPECT_EQ(Combo(*editor("DaxEvent8"), "MaskCondition")->currentIndex(), 0);

    EXPECT_EQ(frame.Helper().HoldingRegisterImage, image);
}

} // namespace
