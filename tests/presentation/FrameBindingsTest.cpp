// The device frame's bindings built by BuildFrameBindings over fake controls: what each binding
// reaches, how the cases the instrument's documentation singles out show and store, and a
// show-store round trip over random setup images.

#include "presentation/ExchangeKinds.h"
#include "presentation/FakeControl.h"
#include "presentation/FrameBindings.h"
#include "presentation/LcdCalibrationWord.h"

#include "FakeFrame.h"
#include "FrameStoreChanges.h"
#include "UnderLocale.h"

#include "device/Daxhelper.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using testsupport::ComponentName;
using testsupport::FakeFrame;

// ---------------------------------------------------------------------------------------
// What is created

TEST(FrameBindingsBuild, CreatesEveryBindingAsDescribed)
{
    FakeFrame frame;
    const auto& entries = frame.container.Entries();
    const auto& descriptions = FrameBindingDescriptions();
    ASSERT_EQ(entries.size(), static_cast<size_t>(kFrameBindingCount));

    std::array<int, kBindingGroupCount> counts{};
    for (size_t i = 0; i < entries.size(); ++i) {
        const BindingDescription& d = descriptions[i];
        const ExchangeInfo& binding = *entries[i].Binding;
        SCOPED_TRACE(d.ControlPath);
        ++counts.at(entries[i].BindingGroup);
        EXPECT_EQ(entries[i].BindingGroup, d.Group);
        EXPECT_EQ(binding.GetType(), BindingTypeCode(d.Kind));
        EXPECT_EQ(binding.Name(), d.Name);
        EXPECT_EQ(binding.Range().has_value(), d.Range.has_value());
        if (d.Range && binding.Range()) {
            EXPECT_EQ(binding.Range()->Min, (*d.Range)[0]);
            EXPECT_EQ(binding.Range()->Max, (*d.Range)[1]);
        }
        if (d.Kind == BindingKind::Delegate) {
            EXPECT_EQ(binding.Control(), nullptr);
            continue;
        }
        ASSERT_NE(binding.Control(), nullptr);
        EXPECT_EQ(binding.Control(), &frame.Control(d.ControlPath));
        EXPECT_EQ(binding.Control()->ComponentName(), ComponentName(d.ControlPath));
        // The exact counters start with three decimals, durations without days, pressures
        // in MPa.
        if (d.Kind == BindingKind::Exact) {
            EXPECT_EQ(binding.Format(), "%013.3f");
        }
        if (d.Kind == BindingKind::Time) {
            EXPECT_FALSE(dynamic_cast<const TotalTimeExchangeInfo&>(binding).DaysSwitch());
        }
        if (d.Kind == BindingKind::Press) {
            EXPECT_FALSE(dynamic_cast<const PressureExchangeInfo&>(binding).UnitSwitch());
        }
        if (d.Kind == BindingKind::Text) {
            EXPECT_EQ(dynamic_cast<const StringExchangeInfo&>(binding).Length(), d.TextLength);
            EXPECT_EQ(dynamic_cast<const StringExchangeInfo&>(binding).PairSwap(), d.Swap);
        }
    }
    const std::array<int, kBindingGroupCount> expected = {72, 63, 63, 46, 11, 8, 18, 18, 14, 11, 54,
                                                          3,  32, 17, 5,  2,  1, 5,  4,  3,  9,  6,
                                                          4,  4,  1,  3,  4,  18, 24, 28, 52, 16, 8};
    EXPECT_EQ(counts, expected);
}

// A frame whose lookup knows only some controls, each of one class.
struct ResolveCase {
    const char* name;
    const char* missingPath;        // the lookup has no control here
    ControlClass everyClass;        // the class of every control the lookup gives
    const char* message;
};

void PrintTo(const ResolveCase& c, std::ostream* os)
{
    *os << c.name;
}

class FrameBindingsResolve : public testing::TestWithParam<ResolveCase> {};

TEST_P(FrameBindingsResolve, StopsWithThePath)
{
    const ResolveCase& c = GetParam();
    std::map<std::string, std::unique_ptr<FakeControl>> made;
    const FrameControlResolver resolver([&](const std::string& path, ControlClass expected) -> ControlPort* {
        if (path == c.missingPath)
            return nullptr;
        const ControlClass cls = c.everyClass == ControlClass::Other ? expected : c.everyClass;
        auto& slot = made[path];
        if (!slot)
            slot = std::make_unique<FakeControl>(cls, ComponentName(path));
        return slot.get();
    });
    DaxHelper helper;
    FrameOwnFields own;
    ExchangeInfoContainer container;
    try {
        BuildFrameBindings(MakeFrameBindingFields(helper, own), resolver, container);
        FAIL() << "no failure";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.Message(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameBindingsResolve,
    testing::Values(
        ResolveCase{"MissingTimer", "DaxSignalD/TimerOn", ControlClass::Other,
                    "Не найден элемент управления \"DaxSignalD/TimerOn\""},
        ResolveCase{"MissingFirst", "FreqImpulse1", ControlClass::Other,
                    "Не найден элемент управления \"FreqImpulse1\""},
        ResolveCase{"MissingDelegateControl", "TempCoeff", ControlClass::Other,
                    "Не найден элемент управления \"TempCoeff\""},
        ResolveCase{"EverythingAnEdit", "", ControlClass::TEdit,
                    "Элемент управления \"V_Status1\" класса TEdit, а нужен класс TComboBox"},
        ResolveCase{"EverythingACombo", "", ControlClass::TComboBox,
                    "Элемент управления \"FreqImpulse1\" класса TComboBox, а нужен класс TEdit"}));

// A text for each kind whose stored value has no zero register.
std::string TextWithoutZeroRegisters(const BindingDescription& d)
{
    switch (d.Kind) {
    case BindingKind::Float:
    case BindingKind::Exact: return "-1.1";
    case BindingKind::U32: return "65537";
    case BindingKind::I32: return "-1";
    case BindingKind::Res: return "65.537";
    case BindingKind::Ip: return "1.2.3.4";
    case BindingKind::Text: return std::string(d.TextLength, 'A');
    default: return "1";
    }
}

// Every binding stores into exactly the registers the map gives it: a value with no zero
// register makes each of them non-zero and leaves every other register of both images alone.
TEST(FrameBindingsBuild, EachBindingStoresIntoExactlyItsRegisters)
{
    FakeFrame frame;
    const auto& entries = frame.container.Entries();
    const auto& descriptions = FrameBindingDescriptions();
    for (size_t i = 0; i < entries.size(); ++i) {
        const BindingDescription& d = descriptions[i];
        if (d.Space != FieldSpace::InputRegister && d.Space != FieldSpace::HoldingRegister)
            continue;
        SCOPED_TRACE(d.ControlPath);
        frame.helper.InputRegisterImage.fill(0);
        frame.helper.HoldingRegisterImage.fill(0);
        if (d.Kind == BindingKind::Delegate) {
            frame.Control("LcdContrast").SetValue(1);
            frame.Control("MultCoeff").SetValue(1);
            frame.Control("TempCoeff").SetValue(1);
        } else {
            FakeControl& control = frame.Control(d.ControlPath);
            switch (d.Class) {
            case ControlClass::TEdit: control.SetText(TextWithoutZeroRegisters(d)); break;
            case ControlClass::TComboBox:
                if (d.Kind == BindingKind::Float)
                    control.SetText(TextWithoutZeroRegisters(d));
                else
                    control.SetValue(1);
                break;
            case ControlClass::TDateTimePicker:
                control.SetDate({2001, 2, 3});
                control.SetTime({4, 5, 6});
                break;
            default: control.SetValue(0x00010001); break;
            }
        }
        entries[i].Binding->Store();

        std::vector<uint16_t> changed;
        for (int reg = 30001; reg <= 30481; ++reg)
            if (frame.GetRegister(reg) != 0)
                changed.push_back(static_cast<uint16_t>(reg));
        for (int reg = 40001; reg <= 40596; ++reg)
            if (frame.GetRegister(reg) != 0)
                changed.push_back(static_cast<uint16_t>(reg));
        // Durations are read only.
        if (d.Kind == BindingKind::Time)
            EXPECT_TRUE(changed.empty());
        else
            EXPECT_EQ(changed, CoveredRegisters(d));
    }
}

TEST(FrameBindingsBuild, IdentificationIsTheFramesOwnCopy)
{
    FakeFrame frame;
    frame.own.FirmwareVersionText.fill('X');
    const std::string before = frame.helper.FirmwareVersionText();
    frame.Control("VersionFirmware").SetText("9.9");
    frame.Binding("VersionFirmware").Store();
    EXPECT_EQ(frame.helper.FirmwareVersionText(), before);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(frame.own.FirmwareVersionText.data()), 4),
              std::string("9.9\0", 4));

    // A fresh helper is not identified: the copies are empty texts.
    frame.own.FillIdentification(frame.helper);
    frame.ShowGroup(20);
    EXPECT_EQ(frame.Control("Model").Text(), frame.helper.ModelText());
}

TEST(FrameBindingsBuild, AirChannelWordFollowsTheConfiguredChannel)
{
    FakeFrame frame;
    frame.SetRegister(30133, 0x0929); // t3: 23.45 °C
    frame.SetRegister(40080, 2);      // heat system 1: air channel t3
    frame.SetRegister(40130, 5);      // heat system 2: none
    frame.own.FillAirChannelWord(frame.helper, 0);
    frame.own.FillAirChannelWord(frame.helper, 1);
    frame.ShowGroup(1);
    frame.ShowGroup(2);
    EXPECT_EQ(frame.Control("TS1_Current/tair1Current").Text(), "23.45");
    // With no air channel configured the air temperature shows 0.
    EXPECT_EQ(frame.Control("TS2_Current/tair2Current").Text(), "0.00");
}

// ---------------------------------------------------------------------------------------
// The cases the documentation singles out

TEST(FrameBindingsEdgeCases, CurrentValues)
{
    FakeFrame frame;
    // The mass of channel 1 is the same register for both heat systems.
    frame.SetExact(30083, 12, 0.25f);
    frame.SetExact(30217, 12, 0.25f);
    frame.SetRegister(30419, 1);
    frame.SetRegister(30420, 0);
    frame.SetRegister(30267, 0x1001);
    frame.SetRegister(40037, 0x0000);
    frame.SetRegister(40038, 0x007B);
    EXPECT_TRUE(frame.ShowGroup(1).empty());
    EXPECT_TRUE(frame.ShowGroup(2).empty());
    EXPECT_TRUE(frame.ShowGroup(0).empty());
    EXPECT_TRUE(frame.ShowGroup(20).empty());

    EXPECT_EQ(frame.Control("TS1_Current/M1Current").Text(), "000000012.250");
    EXPECT_EQ(frame.Control("TS2_Current/M1Current").Text(), "000000012.250");
    EXPECT_EQ(frame.Control("TS1_Current/Q1Current").Text(), "000000012.250");

    EXPECT_EQ(frame.Control("V_Status1").Text(), "К/з линии");
    EXPECT_EQ(frame.Control("V_Status1").TextColor(), kControlTextRed);
    EXPECT_EQ(frame.Control("V_Status2").Text(), "Нет ошибок");
    EXPECT_EQ(frame.Control("V_Status2").TextColor(), kControlTextBlack);

    // Bits 0 and 12: "Q1 < 0" and "Отсутствие питания".
    EXPECT_EQ(frame.Control("TS1_Current/NSTS1Current").Value(), 0x1001);
    EXPECT_EQ(frame.Control("TS1_Current/NSTS1Current").Items()[0], "Q1 < 0");
    EXPECT_EQ(frame.Control("TS1_Current/NSTS1Current").Items()[12], "Отсутствие питания");

    EXPECT_EQ(frame.Control("SerialNumInfo").Text(), "00123");
}

TEST(FrameBindingsEdgeCases, LcdCalibrationWord)
{
    FakeFrame frame;
    ExchangeInfo& lcd = frame.Binding("");
    frame.SetRegister(40078, 0x0E85);
    lcd.Show();
    EXPECT_EQ(frame.Control("LcdContrast").Value(), 5);
    EXPECT_EQ(frame.Control("PRSMode").Value(), 1);
    EXPECT_EQ(frame.Control("MultCoeff").Value(), 2);
    EXPECT_EQ(frame.Control("MultCoeff").Text(), "MULT4");
    EXPECT_EQ(frame.Control("TempCoeff").Value(), 3);
    EXPECT_EQ(frame.Control("TempCoeff").Text(), "TC3");
    frame.SetRegister(40078, 0);
    EXPECT_EQ(frame.ValidateMessage(16), "");
    frame.container.Store(16);
    EXPECT_EQ(frame.GetRegister(40078), 0x0E85);

    // The unused bits 13-15 are ignored when shown and stored as 0.
    frame.SetRegister(40078, 0xE000);
    lcd.Show();
    EXPECT_EQ(frame.Control("LcdContrast").Value(), 0);
    EXPECT_EQ(frame.Control("PRSMode").Value(), 0);
    EXPECT_EQ(frame.Control("MultCoeff").Value(), 0);
    EXPECT_EQ(frame.Control("TempCoeff").Value(), 0);
    frame.container.Store(16);
    EXPECT_EQ(frame.GetRegister(40078), 0x0000);

    // Without a temperature coefficient the word is refused and nothing is stored.
    frame.SetRegister(40078, 0x1234);
    frame.Control("TempCoeff").SetValue(-1);
    EXPECT_EQ(frame.ValidateMessage(16), "Параметры калибровки ЖКИ не установлены");
    EXPECT_EQ(frame.GetRegister(40078), 0x1234);
    frame.Control("TempCoeff").SetValue(1);
    frame.Control("MultCoeff").SetValue(-1);
    EXPECT_EQ(frame.ValidateMessage(16), "Параметры калибровки ЖКИ не установлены");
}

struct ValidateCase {
    const char* path;
    const char* text;
    const char* message; // empty: valid
};

void PrintTo(const ValidateCase& c, std::ostream* os)
{
    *os << c.path << " \"" << c.text << "\"";
}

class FrameBindingsValidate : public testing::TestWithParam<ValidateCase> {};

TEST_P(FrameBindingsValidate, NamesTheParameter)
{
    const ValidateCase& c = GetParam();
    FakeFrame frame;
    frame.Control(c.path).SetText(c.text);
    std::string message;
    try {
        frame.Binding(c.path).Validate();
    } catch (const platform::Exception& e) {
        message = e.Message();
    }
    EXPECT_EQ(message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameBindingsValidate,
    testing::Values(
        ValidateCase{"ConfigurationTS1/W_Contract", "99999", ""},
        ValidateCase{"ConfigurationTS1/W_Contract", "100000",
                     "Значение параметра \"W_дог\" выходит за диапазон 0...99999"},
        ValidateCase{"ConfigurationTS2/W_Contract", "100000",
                     "Значение параметра \"W_дог\" выходит за диапазон 0...99999"},
        ValidateCase{"ConfigurationTS1/Kpr", "1.1", ""},
        ValidateCase{"ConfigurationTS1/Kpr", "1,1", ""},
        ValidateCase{"ConfigurationTS1/Kpr", "1.2", "Значение параметра \"Кпр\" выходит за диапазон 0...1.1"},
        ValidateCase{"t1_contract", "", "Значение введено параметра \"t_дог1\""},
        ValidateCase{"t_max1", "-50", ""},
        ValidateCase{"t1_contract", "-50", "Значение параметра \"t_дог1\" выходит за диапазон 0...180"},
        ValidateCase{"t_min5", "180.01", "Значение параметра \"t_min5\" выходит за диапазон -50...180"},
        ValidateCase{"MonthArchiveDayCreate", "0", "Значение параметра \"Дата отчета\" выходит за диапазон 1...31"},
        ValidateCase{"ExpenseFilterValue", "5", "Значение параметра \"Усреднение фильтра\" выходит за диапазон 1...4"},
        ValidateCase{"ResetFilterAttitude", "1.04",
                     "Значение параметра \"Коэффициент сброса фильтра\" выходит за диапазон 1.05...100"},
        ValidateCase{"GprsApnString", "internet.provider.ru12", ""},
        ValidateCase{"GprsApnString", "internet.provider.ru123", "Длина значения параметра \"APN\" больше 22 символов"},
        ValidateCase{"Password", "12345678", ""},
        ValidateCase{"Password", "123456789", "Длина значения параметра \"Пароль\" больше 8 символов"}));

// Values without a range of their own are still held to what their register can take.
TEST(FrameBindingsEdgeCases, UnrangedValuesAreHeldToTheirRegisters)
{
    FakeFrame frame;
    const struct {
        const char* path;
        const char* text;
        const char* name;
    } cases[] = {
        {"Du1", "70000", "Du V1"},
        {"AP_1", "70000", "AP_1"},
        {"BP_6", "40000", "BP_6"},
        {"DinDelay", "65536", "DinDelay"},
        {"OutBatteryTimeout", "70000", "Таймаут автономного режима"},
        {"ConfigurationTS1/dP_min", "3.3", "dP_min"},
        {"ColdWaterPWinter", "3.3", "Pхв_дог зимнее"},
        {"P1_contract", "3.3", "P1_дог"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        frame.Control(c.path).SetText(c.text);
        try {
            frame.Binding(c.path).Validate();
            ADD_FAILURE() << "accepted";
        } catch (const platform::Exception& e) {
            EXPECT_EQ(e.Message().rfind(std::string("Значение параметра \"") + c.name + "\" выходит за диапазон", 0), 0u)
                << e.Message();
        }
    }
    // Their largest values pass.
    for (const char* path : {"Du1", "AP_1", "DinDelay", "OutBatteryTimeout"}) {
        frame.Control(path).SetText("65535");
        EXPECT_NO_THROW(frame.Binding(path).Validate()) << path;
    }
    frame.Control("P1_contract").SetText("3.2767");
    EXPECT_NO_THROW(frame.Binding("P1_contract").Validate());
}

TEST(FrameBindingsEdgeCases, PasswordGoesIntoBothRanges)
{
    FakeFrame frame;
    for (int reg = 40011; reg <= 40018; ++reg)
        frame.SetRegister(reg, 0xFFFF);
    frame.Control("Password").SetText("abc");
    EXPECT_EQ(frame.ValidateMessage(18), "");
    frame.container.Store(18);
    const uint8_t expected[8] = {'b', 'a', 0, 'c', 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(frame.Register(40011), expected, 8), 0);
    EXPECT_EQ(std::memcmp(frame.Register(40015), expected, 8), 0);

    // Shown from both ranges, the edit ends with the second.
    for (int reg = 40011; reg <= 40018; ++reg)
        frame.SetRegister(reg, 0);
    frame.SetRegister(40011, 0x6261); // "ab" swapped
    frame.SetRegister(40015, 0x7A79); // "yz" swapped
    frame.ShowGroup(18);
    EXPECT_EQ(frame.Control("Password").Text(), "yz");
}

TEST(FrameBindingsEdgeCases, Dates)
{
    FakeFrame frame;
    for (int reg = 40001; reg <= 40596; ++reg)
        frame.SetRegister(reg, 0x5A5A);
    frame.SetRegister(40192, 1);
    frame.SetRegister(40191, 6);
    frame.Binding("SummerPeriodStart").Show();
    EXPECT_EQ(frame.Control("SummerPeriodStart").Date(), (ControlDate{2000, 6, 1}));

    const auto before = frame.helper.HoldingRegisterImage;
    frame.Control("SummerPeriodStart").SetDate({2000, 4, 15});
    frame.Binding("SummerPeriodStart").Store();
    for (int reg = 40001; reg <= 40596; ++reg) {
        const uint16_t old = static_cast<uint16_t>(before[2 * (reg - 40001)] << 8 | before[2 * (reg - 40001) + 1]);
        const uint16_t expected = reg == 40192 ? 15 : reg == 40191 ? 4 : old;
        EXPECT_EQ(frame.GetRegister(reg), expected) << reg;
    }

    // The instrument's clock: day, month, year - 2000; hours, minutes, seconds.
    frame.SetRegister(40001, 24);
    frame.SetRegister(40002, 2);
    frame.SetRegister(40003, 29);
    frame.SetRegister(40004, 23);
    frame.SetRegister(40005, 59);
    frame.SetRegister(40006, 58);
    EXPECT_TRUE(frame.ShowGroup(17).empty());
    EXPECT_EQ(frame.Control("CurrentDatePicker").Date(), (ControlDate{2024, 2, 29}));
    EXPECT_EQ(frame.Control("CurrentTimePicker").Time(), (ControlTime{23, 59, 58}));
}

TEST(FrameBindingsEdgeCases, Interfaces)
{
    FakeFrame frame;
    frame.SetRegister(40367, 1);
    frame.SetRegister(40371, 1);
    frame.ShowGroup(22);
    frame.ShowGroup(23);
    EXPECT_EQ(frame.Control("UartMode_0").Text(), "Модем");
    EXPECT_EQ(frame.Control("UartMode_1").Text(), "Dax-Ethernet");

    // An APN of 22 characters is stored whole.
    frame.Control("GprsApnString").SetText("internet.provider.ru12");
    EXPECT_NO_THROW(frame.Binding("GprsApnString").Validate());
    frame.Binding("GprsApnString").Store();
    EXPECT_EQ(frame.GetRegister(40407), ('n' << 8) | 'i');
    EXPECT_EQ(frame.GetRegister(40417), ('2' << 8) | '1');
}

TEST(FrameBindingsEdgeCases, SignalsAndEvents)
{
    FakeFrame frame;
    frame.SetFloat(40491, 1.5f);
    frame.SetFloat(40499, -2.25f);
    frame.SetRegister(40531, 90);
    frame.SetRegister(40529, 0x0000);
    frame.SetRegister(40530, 0x0041);
    EXPECT_TRUE(frame.ShowGroup(29).empty());
    EXPECT_TRUE(frame.ShowGroup(30).empty());
    EXPECT_EQ(frame.Control("DaxSignal9/ConditionKoef1").Text(), "1.5");
    EXPECT_EQ(frame.Control("DaxSignalA/ConditionKoef1").Text(), "-2.25");
    EXPECT_EQ(frame.Control("DaxSignalD/TimerOn").Time(), (ControlTime{1, 30, 0}));
    EXPECT_EQ(frame.Control("DaxSignalD/TimerDays").Value(), 0x41); // Sunday and Saturday

    frame.Control("DaxSignalD/TimerOn").SetTime({23, 59, 0});
    frame.Binding("DaxSignalD/TimerOn").Store();
    EXPECT_EQ(frame.GetRegister(40531), 1439);

    frame.Control("DaxEvent8/Mask").SetValue(0x8001);
    frame.Binding("DaxEvent8/Mask").Store();
    EXPECT_EQ(frame.GetRegister(40596), 0x8001);
    EXPECT_EQ(frame.GetRegister(40594), 0);

    // A comparison condition without a choice names the signal's condition.
    EXPECT_TRUE(frame.ShowGroup(29).empty());
    frame.Control("DaxSignal9/ParamCondition").SetValue(-1);
    EXPECT_EQ(frame.ValidateMessage(29), "Значение параметра \"Условие сигнала 9\" не выбрано");
}

// Signals 9 to C offer two signal types: a register holding the third fails to show, leaves
// the choice open, and keeps the page from being written until the user chooses.
TEST(FrameBindingsEdgeCases, MaskSignalWithTimerTypeIsNotWrittenBack)
{
    FakeFrame frame;
    frame.SetRegister(40485, 2);
    const std::vector<std::string> errors = frame.ShowGroup(29);
    EXPECT_EQ(errors, std::vector<std::string>{"Некоректное значение параметра \"Тип сигнала 9\""});
    EXPECT_EQ(frame.Control("DaxSignal9/SignalType").Value(), -1);
    EXPECT_EQ(frame.ValidateMessage(29), "Значение параметра \"Тип сигнала 9\" не выбрано");
    frame.Binding("DaxSignal9/SignalType").Store();
    EXPECT_EQ(frame.GetRegister(40485), 2);
    // Signals D to G offer the timer.
    frame.SetRegister(40517, 2);
    EXPECT_TRUE(frame.ShowGroup(30).empty());
    EXPECT_EQ(frame.Control("DaxSignalD/SignalType").Text(), "Таймер");
}

// ---------------------------------------------------------------------------------------
// Round trip over random setup images

bool IsHoldingGroup(int group)
{
    return (group >= 4 && group <= 18) || group >= 21;
}

// The texts (or values, for controls without text) of the holding-register groups.
std::vector<std::string> ShownStates(FakeFrame& frame)
{
    std::vector<std::string> states;
    for (const BindingDescription& d : FrameBindingDescriptions()) {
        if (!IsHoldingGroup(d.Group))
            continue;
        if (d.Kind == BindingKind::Delegate) {
            std::string state;
            for (const LcdCalibrationControl& c : kLcdCalibrationControls)
                state += std::to_string(frame.Control(c.Path).Value()) + " ";
            states.push_back(state);
            continue;
        }
        FakeControl& control = frame.Control(d.ControlPath);
        std::string state = control.Text() + "|" + std::to_string(control.Value());
        if (const auto date = control.Date())
            state += "|" + std::to_string(date->Year) + "-" + std::to_string(date->Month) + "-" + std::to_string(date->Day);
        if (const auto time = control.Time())
            state += "|" + std::to_string(time->Hour) + ":" + std::to_string(time->Minute) + ":" + std::to_string(time->Second);
        states.push_back(state);
    }
    return states;
}

// Shows every holding-register group, then stores each binding that validates, one by one
// (as the page does, but without stopping at the first invalid one). Returns which validated.
std::vector<bool> ShowAndStore(FakeFrame& frame)
{
    for (int group = 0; group < kBindingGroupCount; ++group)
        if (IsHoldingGroup(group))
            frame.ShowGroup(group);
    std::vector<bool> valid;
    const auto& entries = frame.container.Entries();
    for (const auto& entry : entries) {
        if (!IsHoldingGroup(entry.BindingGroup))
            continue;
        bool ok = true;
        try {
            entry.Binding->Validate();
        } catch (const platform::Exception&) {
            ok = false;
        }
        valid.push_back(ok);
    }
    size_t i = 0;
    for (const auto& entry : entries)
        if (IsHoldingGroup(entry.BindingGroup) && valid[i++])
            entry.Binding->Store();
    return valid;
}

// The texts go through the number formats and back, so the round trip runs under the C
// locale and under one whose decimal separator is a comma.
class FrameBindingsRoundTrip : public testsupport::UnderLocale {};

TEST_P(FrameBindingsRoundTrip, ShowStoreShowOverRandomSetupImages)
{
    std::mt19937 random(20240611);
    int validated = 0;
    std::set<size_t> changeEntriesSeen; // entries of kFirstStoreChanges that did change
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        FakeFrame frame;
        for (uint8_t& byte : frame.helper.HoldingRegisterImage)
            byte = static_cast<uint8_t>(random());
        // Two rounds in three with small values, so that lists, dates and times show too; in
        // one of them the high bytes stay random.
        if (round % 3 != 0)
            for (int reg = 40001; reg <= 40596; ++reg) {
                const uint16_t high = round % 3 == 2 ? static_cast<uint16_t>(random() & 0xFF00) : 0;
                frame.SetRegister(reg, static_cast<uint16_t>(high | (random() % 13 + (reg % 7 == 0 ? 1 : 0))));
            }
        const auto original = frame.helper.HoldingRegisterImage;

        const std::vector<bool> valid = ShowAndStore(frame);
        const std::vector<std::string> firstTexts = ShownStates(frame);
        const auto afterFirst = frame.helper.HoldingRegisterImage;
        for (int reg = 40001; reg <= 40596; ++reg) {
            const size_t at = 2 * static_cast<size_t>(reg - 40001);
            const uint16_t before = static_cast<uint16_t>(original[at] << 8 | original[at + 1]);
            const uint16_t after = static_cast<uint16_t>(afterFirst[at] << 8 | afterFirst[at + 1]);
            EXPECT_EQ((before ^ after) & ~FirstStoreChangeMask(static_cast<uint16_t>(reg)), 0)
                << "HR " << reg << ": " << before << " became " << after;
            for (size_t e = 0; e < std::size(kFirstStoreChanges); ++e)
                if (before != after && reg >= kFirstStoreChanges[e].FirstRegister &&
                    reg <= kFirstStoreChanges[e].LastRegister)
                    changeEntriesSeen.insert(e);
        }

        const std::vector<bool> validAgain = ShowAndStore(frame);
        const std::vector<std::string> secondTexts = ShownStates(frame);
        EXPECT_TRUE(frame.helper.HoldingRegisterImage == afterFirst) << "a second show and store changed the image";
        ASSERT_EQ(firstTexts.size(), secondTexts.size());
        for (size_t i = 0; i < firstTexts.size(); ++i) {
            if (!valid[i])
                continue;
            ++validated;
            EXPECT_TRUE(validAgain[i]) << i;
            EXPECT_EQ(firstTexts[i], secondTexts[i]) << i;
        }
    }
    // Most bindings validate in most rounds, and every expected change does happen.
    EXPECT_GT(validated, kRounds * 150);
    for (size_t e = 0; e < std::size(kFirstStoreChanges); ++e)
        EXPECT_TRUE(changeEntriesSeen.contains(e)) << "HR " << kFirstStoreChanges[e].FirstRegister << " never changed";
}

DAX_INSTANTIATE_UNDER_LOCALES(FrameBindingsRoundTrip);

} // namespace
