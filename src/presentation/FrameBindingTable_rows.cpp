// The register map of the device frame, row by row. Each row is one binding or a family of
// bindings; the columns follow the documentation of the instrument's registers: field, kind,
// format or list, control (with its sub-frame as a path prefix) and class, name and range.
//
// Order of creation. The groups are created 0 to 3, 19, 20, 4 to 18, 21 to 32. Within a group
// the rows are created top to bottom, and a family row creates its members one after the
// other. Where the documentation leaves the order open we chose:
// - the channel blocks (groups 1 to 3, and AP_k/BP_k of group 13) channel by channel: every
//   row of the block for channel 1, then for channel 2, and so on;
// - the signal and event blocks (groups 28 to 31) row by row: one row for every signal or
//   event in turn, then the next row; group 29, whose rows are each made for its four signals
//   in turn, follows the same rule.

#include "FrameBindingTable_rows.h"

#include "FrameValueLists.h"
#include "device/Daxcore.h"

namespace frame_rows {
namespace {

using enum BindingKind;
using enum ControlClass;

constexpr FieldRef Registers(FieldSpace space, uint16_t first, uint8_t members, uint8_t step, const char* labels)
{
    FieldRef field;
    field.Space = space;
    field.Register = first;
    field.Members = members;
    field.Step = step;
    field.Labels = labels;
    return field;
}

// Input register(s): one, or a family of `members` from `first` every `step` registers.
constexpr FieldRef IR(uint16_t first, uint8_t members = 1, uint8_t step = 1, const char* labels = kDigitLabels)
{
    return Registers(FieldSpace::InputRegister, first, members, step, labels);
}

constexpr FieldRef HR(uint16_t first, uint8_t members = 1, uint8_t step = 1, const char* labels = kDigitLabels)
{
    return Registers(FieldSpace::HoldingRegister, first, members, step, labels);
}

// The same registers for both heat systems.
constexpr FieldRef Shared(FieldRef field)
{
    field.Shared = true;
    return field;
}

// Date and clock fields: three registers (day, month, year; hours, minutes, seconds); 0 none.
constexpr FieldRef Triple(FieldSpace space, uint16_t first, uint16_t second, uint16_t third)
{
    FieldRef field = Registers(space, first, 1, 1, kDigitLabels);
    field.Register2 = second;
    field.Register3 = third;
    return field;
}

constexpr FieldRef IRDate(uint16_t day, uint16_t month, uint16_t year)
{
    return Triple(FieldSpace::InputRegister, day, month, year);
}

constexpr FieldRef HRDate(uint16_t day, uint16_t month, uint16_t year)
{
    return Triple(FieldSpace::HoldingRegister, day, month, year);
}

constexpr FieldRef IRClock(uint16_t hours, uint16_t minutes, uint16_t seconds)
{
    return Triple(FieldSpace::InputRegister, hours, minutes, seconds);
}

constexpr FieldRef HRClock(uint16_t hours, uint16_t minutes, uint16_t seconds)
{
    return Triple(FieldSpace::HoldingRegister, hours, minutes, seconds);
}

constexpr FieldRef Ident(IdentificationField field)
{
    FieldRef ref;
    ref.Space = FieldSpace::Identification;
    ref.Register = static_cast<uint16_t>(field);
    return ref;
}

// The frame's air-channel word of the heat system (the instance picks TS1 or TS2).
constexpr FieldRef AirWord()
{
    FieldRef ref;
    ref.Space = FieldSpace::FrameWord;
    ref.Register = kAirChannelWordTS1;
    return ref;
}

constexpr RowFormat F(const char* format)
{
    RowFormat result;
    result.Format = format;
    return result;
}

constexpr RowFormat L(ValueList list, ValueList second = {})
{
    RowFormat result;
    result.List = list;
    result.List2 = second;
    return result;
}

// A text of `length` bytes; swap: the bytes are stored swapped in pairs.
constexpr RowFormat Txt(uint8_t length, bool swap)
{
    RowFormat result;
    result.TextLength = length;
    result.Swap = swap;
    return result;
}

// A format, and the items a combo box with free text proposes.
constexpr RowFormat FL(const char* format, ValueList proposals)
{
    RowFormat result;
    result.Format = format;
    result.List = proposals;
    return result;
}

constexpr RowFormat None()
{
    return {};
}

template <size_t N>
constexpr ValueList MakeList(const char* name, const std::array<const char*, N>& items, size_t count = N)
{
    static_assert(N <= 255);
    return {name, items.data(), static_cast<uint8_t>(count)};
}

// A list by its name in the code; LISTN offers only its first `count` items.
#define LIST(items) MakeList(#items, items)
#define LISTN(items, count) MakeList(#items, items, count)

constexpr RowName N(const char* name, const char* second = nullptr)
{
    RowName result;
    result.Name = name;
    result.Name2 = second;
    return result;
}

// A name with the range {min, max} of the typed value.
constexpr RowName NR(const char* name, double min, double max)
{
    RowName result;
    result.Name = name;
    result.HasRange = true;
    result.Min = min;
    result.Max = max;
    return result;
}

// ---------------------------------------------------------------------------------------
// Group 0: measuring channels (frame).

constexpr BindingRow kMeasuringChannels[] = {
    {IR(30383, 6, 2), Float, F("%g"), "FreqImpulse#", TEdit},
    {IR(30395, 6, 2), U32, F("%lu"), "ImpulseCounter#", TEdit},
    {IR(30407, 6, 2), Float, F("%g"), "Expense#", TEdit},
    {IR(30419, 6), Status, L(LIST(FlowStatusNames)), "V_Status#", TComboBox},
    {IR(30425, 5), U16, F("%u"), "t_AdcCode#", TEdit},
    {IR(30430, 5, 2), Res, None(), "Resistance#", TEdit},
    {IR(30440, 5), Temp, None(), "Temperature#", TEdit},
    {IR(30445, 5), Status, L(LIST(SensorStatusNames)), "t_Status#", TComboBox},
    {IR(30450, 6), U16, F("%u"), "P_AdcCode#", TEdit},
    {IR(30456, 6), Curr, None(), "Current#", TEdit},
    {IR(30462, 6), Press, None(), "Pressure#", TEdit},
    {IR(30468, 6), Status, L(LIST(SensorStatusNames)), "P_Status#", TComboBox},
    {IR(30475), U16, F("%u"), "AdcTempCode", TEdit},
    {IR(30476), U16, F("%u"), "CpuTempCode", TEdit},
    {IR(30478), U16, F("%u"), "AdcVoltageCode", TEdit},
    {IR(30479), U16, F("%u"), "CpuVoltageCode", TEdit},
};
constexpr RowBlock kGroup0[] = {{kMeasuringChannels}};

// ---------------------------------------------------------------------------------------
// Groups 1 and 2: heat systems 1 and 2 (sub-frames TSn_Current and TSn_NS_Current). Heat
// system 2 lies 83 input registers above heat system 1; the channel registers are shared.

constexpr BindingRow kHeatSystemValues[] = {
    {IR(30217), Exact, None(), "TS@_Current/Q@Current", TEdit},
    {IR(30221), Exact, None(), "TS@_Current/Q@oCurrent", TEdit},
    {IR(30225), Exact, None(), "TS@_Current/Q@gvsCurrent", TEdit},
    {IR(30253), Exact, None(), "TS@_Current/dM@Current", TEdit},
    {IR(30257), Float, F("%.6f"), "TS@_Current/W@Current", TEdit},
    {IR(30259), Float, F("%.6f"), "TS@_Current/W@oCurrent", TEdit},
    {IR(30261), Float, F("%.6f"), "TS@_Current/W@gvsCurrent", TEdit},
    {IR(30263), Float, F("%.5f"), "TS@_Current/dGm@Current", TEdit},
    {IR(30265), Temp, None(), "TS@_Current/dt@Current", TEdit},
    {IR(30266), Press, None(), "TS@_Current/dP@Current", TEdit},
    {IR(30267), Val2, L(LIST(HeatSystem1FlagNames), LIST(HeatSystem2FlagNames)), "TS@_Current/NSTS@Current",
     TBitEditComboBox},
    {IR(30268), Time, None(), "TS@_Current/TworkTS@", TEdit},
    {IR(30270), Time, None(), "TS@_Current/TstopTS@", TEdit},
    {AirWord(), Temp, None(), "TS@_Current/tair@Current", TEdit},
    {Shared(IR(30136)), Temp, None(), "TS@_Current/tColdWaterCurrent", TEdit},
    {Shared(IR(30143)), Press, None(), "TS@_Current/PColdWaterCurrent", TEdit},
};

constexpr BindingRow kHeatSystemChannels[] = {
    {Shared(IR(30083, 5, 4)), Exact, None(), "TS@_Current/M#Current", TEdit},
    {Shared(IR(30119, 5, 2)), Float, F("%.5f"), "TS@_Current/Gm#Current", TEdit},
    {Shared(IR(30059, 5, 4)), Exact, None(), "TS@_Current/V#Current", TEdit},
    {Shared(IR(30107, 5, 2)), Float, F("%.5f"), "TS@_Current/Gv#Current", TEdit},
    {Shared(IR(30131, 5)), Temp, None(), "TS@_Current/t#Current", TEdit},
    {Shared(IR(30137, 5)), Press, None(), "TS@_Current/P#Current", TEdit},
    {Shared(IR(30192, 5)), Val2, L(LIST(ChannelFlagNames)), "TS@_Current/ChanelNS#_Current", TBitEditComboBox},
};

constexpr BindingRow kHeatSystemCounters[] = {
    {IR(30229), Exact, None(), "TS@_NS_Current/QizCurrent", TEdit},
    {IR(30233), Exact, None(), "TS@_NS_Current/QpowCurrent", TEdit},
    {IR(30237), Exact, None(), "TS@_NS_Current/QfCurrent", TEdit},
    {IR(30241), Exact, None(), "TS@_NS_Current/QdtCurrent", TEdit},
    {IR(30245), Exact, None(), "TS@_NS_Current/QmaxCurrent", TEdit},
    {IR(30249), Exact, None(), "TS@_NS_Current/QminCurrent", TEdit},
    {IR(30272), Time, None(), "TS@_NS_Current/TizCurrent", TEdit},
    {IR(30274), Time, None(), "TS@_NS_Current/TpowCurrent", TEdit},
    {IR(30276), Time, None(), "TS@_NS_Current/TfCurrent", TEdit},
    {IR(30278), Time, None(), "TS@_NS_Current/TdtCurrent", TEdit},
    {IR(30280), Time, None(), "TS@_NS_Current/TmaxCurrent", TEdit},
    {IR(30282), Time, None(), "TS@_NS_Current/TminCurrent", TEdit},
};
constexpr RowBlock kHeatSystem[] = {
    {kHeatSystemValues},
    {kHeatSystemChannels, true},
    {kHeatSystemCounters},
};

// ---------------------------------------------------------------------------------------
// Group 3: general values and cold water (sub-frame GeneralCWS_Current).

constexpr BindingRow kGeneralValues[] = {
    {IR(30103), Exact, None(), "GeneralCWS_Current/Q3Current", TEdit},
    {IR(30129), Float, F("%.6f"), "GeneralCWS_Current/W3Current", TEdit},
    {IR(30160), Time, None(), "GeneralCWS_Current/WorkTime", TEdit},
    {IR(30162), Time, None(), "GeneralCWS_Current/OffPowerTime", TEdit},
    {IR(30176, 8, 2), Time, None(), "GeneralCWS_Current/EventTime#", TEdit},
    {IR(30198), Val2, L(LIST(HardwareFlagNames)), "GeneralCWS_Current/HardwareNotStaffCurrent", TBitEditComboBox},
    {IR(30199), Val2, L(LIST(ModeFlagNames)), "GeneralCWS_Current/ModeFlagsCurrent", TBitEditComboBox},
    {IR(30200), Val2, L(LIST(EventFlagNames)), "GeneralCWS_Current/EventFlagsCurrent", TBitEditComboBox},
    {IR(30201), Val2, L(LIST(SignalNames)), "GeneralCWS_Current/SignalFlagsCurrent", TBitEditComboBox},
};

constexpr BindingRow kColdWaterChannels[] = {
    {IR(30059, 6, 4), Exact, None(), "GeneralCWS_Current/V#Current", TEdit},
    {IR(30107, 6, 2), Float, F("%.5f"), "GeneralCWS_Current/Gv#Current", TEdit},
    {IR(30137, 6), Press, None(), "GeneralCWS_Current/P#Current", TEdit},
    {IR(30164, 6, 2), Time, None(), "GeneralCWS_Current/CWSTime#", TEdit},
    {IR(30192, 6), Val2, L(LIST(ChannelFlagNames)), "GeneralCWS_Current/ChanelNS#_Current", TBitEditComboBox},
};
constexpr RowBlock kGroup3[] = {{kGeneralValues}, {kColdWaterChannels, true}};

// ---------------------------------------------------------------------------------------
// Group 19: start of work after archive clearing; group 20: identification (frame).

constexpr BindingRow kWorkStart[] = {
    {IRDate(30003, 30002, 30001), Date, None(), "InitDatePicker", TDateTimePicker},
    {IRClock(30004, 30005, 30006), Clock, None(), "InitTimePicker", TDateTimePicker},
    {IR(30007), Val2, None(), "ClaerArchiveProgressBar", TProgressBar},
};
constexpr RowBlock kGroup19[] = {{kWorkStart}};

constexpr BindingRow kIdentification[] = {
    {HR(40037), U32, F("%05u"), "SerialNumInfo", TEdit},
    {IR(30008), Val2, L(LIST(WorkModeNames)), "WorkMode", TComboBox},
    {Ident(IdentificationField::FirmwareVersionText), Text, Txt(16, false), "VersionFirmware", TEdit},
    {Ident(IdentificationField::ModelText), Text, Txt(16, false), "Model", TEdit},
    {Ident(IdentificationField::ModificationText), Text, Txt(16, false), "Modification", TEdit},
    {IR(30009), U16, F("%04X"), "CRC_Firmware", TEdit},
    {IR(30010), U16, F("%04X"), "CRC_Metrology", TEdit},
    {IR(30011), U16, F("%04X"), "CRC_Setup", TEdit},
    {IR(30012), U16, F("%04X"), "CRC_Calibration", TEdit},
};
constexpr RowBlock kGroup20[] = {{kIdentification}};

// ---------------------------------------------------------------------------------------
// Groups 4 and 5: configuration of heat systems 1 and 2 (sub-frames ConfigurationTSn). Heat
// system 2 lies 50 holding registers above; group 5 has the first eight rows.

constexpr BindingRow kHeatSystemSetup[] = {
    {HR(40079), Scheme, L(LIST(SchemeNames)), "ConfigurationTS@/SchemeComboBox", TComboBox, N("Схема ТС@")},
    {HR(40085), Float, F("%.5f"), "ConfigurationTS@/W_Contract", TEdit, NR("W_дог", 0, 99999)},
    {HR(40087), Float, F("%.2f"), "ConfigurationTS@/Kpr", TEdit, NR("Кпр", 0, 1.1)},
    {HR(40083), Temp, None(), "ConfigurationTS@/dt_Min", TEdit, NR("dt_min", 0, 25)},
    {HR(40084), Press, None(), "ConfigurationTS@/dP_min", TEdit, N("dP_min")},
    {HR(40080), Combo, L(LIST(TempChannelNames)), "ConfigurationTS@/TairChanel", TComboBox, N("Канал tвозд")},
    {HR(40081), Combo, L(LIST(TempChannelNames)), "ConfigurationTS@/TctrlChanel", TComboBox, N("Канал tконтр")},
    {HR(40082), Combo, L(LIST(StopModeNames)), "ConfigurationTS@/StopModeTS", TComboBox, N("Режим останова")},
    {HR(40126), Val2, None(), "ConfigurationTS@/DirectPipe", TCSpinEdit, N("Количество подающих трубопроводов")},
    {HR(40127), Val2, None(), "ConfigurationTS@/ReversePipe", TCSpinEdit, N("Количество обратных трубопроводов")},
    {HR(40128), Val2, None(), "ConfigurationTS@/SupplyPipe", TCSpinEdit, N("Количество подпиточных трубопроводов")},
};
constexpr size_t kHeatSystem2SetupRows = 8;
constexpr RowBlock kGroup4[] = {{kHeatSystemSetup}};
constexpr RowBlock kGroup5[] = {{std::span(kHeatSystemSetup).first(kHeatSystem2SetupRows)}};

// ---------------------------------------------------------------------------------------
// Groups 6 and 7: reactions of heat systems 1 and 2 (sub-frames ReactionTSn), 50 apart.

constexpr BindingRow kHeatSystemReactions[] = {
    {HR(40097), Combo, L(LIST(FlowFailReactionNames)), "ReactionTS@/ExpenseMeasureFailReaction", TComboBox,
     N("Отказ основного ПР")},
    {HR(40098), Combo, L(LIST(FlowFailReactionNames)), "ReactionTS@/ExpenseCtrlFailReaction", TComboBox,
     N("Отказ контрольного ПР")},
    {HR(40099), Combo, L(LIST(EmptyPipeReactionNames)), "ReactionTS@/EmptyPipeReaction", TComboBox,
     N("Пустая труба")},
    {HR(40100), Combo, L(LIST(LowFlowReactionNames)), "ReactionTS@/GLessGotsReaction", TComboBox, N("Gv < G_отc")},
    {HR(40101), Combo, L(LIST(BelowMinFlowReactionNames)), "ReactionTS@/GLessGminReaction", TComboBox,
     N("G_отc < Gv < G_min")},
    {HR(40102), Combo, L(LIST(AboveMaxFlowReactionNames)), "ReactionTS@/GMoreGmaxReaction", TComboBox,
     N("Gv > G_max")},
    {HR(40103), Combo, L(LIST(TempFailReactionNames)), "ReactionTS@/TemperatureFailReaction", TComboBox,
     N("Отказ ПТ")},
    {HR(40104), Combo, L(LIST(TempRangeReactionNames)), "ReactionTS@/TemperatureLessMinMoreMaxReaction", TComboBox,
     N("t < t_min, t > t_max")},
    {HR(40105), Combo, L(LIST(PressureFailReactionNames)), "ReactionTS@/PressureFaliReaction", TComboBox,
     N("Отказ ПД")},
    {HR(40109), Combo, L(LIST(HeatReactionNames)), "ReactionTS@/Q_LessZeroReaction", TComboBox,
     N("Q1 < 0", "Q2 < 0")},
    {HR(40110), Combo, L(LIST(HeatReactionNames)), "ReactionTS@/dP_LessDPminReaction", TComboBox, N("dP < dP_min")},
    {HR(40111), Combo, L(LIST(HeatReactionNames)), "ReactionTS@/dt_LessZeroReaction", TComboBox, N("dt < 0")},
    {HR(40112), Combo, L(LIST(HeatReactionNames)), "ReactionTS@/dt_LessDtminReaction", TComboBox, N("dt < dt_min")},
    {HR(40113), Combo, L(LIST(PowerReactionNames)), "ReactionTS@/OffPowerReaction", TComboBox,
     N("Отсутствие питания")},
    {HR(40114), Combo, L(LIST(Imbalance12ReactionNames), LIST(Imbalance34ReactionNames)),
     "ReactionTS@/Go_More_Gp_Less_GpK_Reaction", TComboBox, N("G1*Kпр >= G2 > G1", "G3*Kпр >= G4 > G3")},
    {HR(40115), Combo, L(LIST(HeatReactionNames)), "ReactionTS@/Go_More_GpK_Reaction", TComboBox,
     N("G2 > G1*Kпр", "G4 > G3*Kпр")},
    {HR(40116), Combo, L(LIST(Imbalance12ReactionNames), LIST(Imbalance34ReactionNames)),
     "ReactionTS@/Gp_More_Go_Less_GoK_Reaction", TComboBox, N("G2*Kпр >= G1>G2", "G4*Kпр >= G3>G4")},
    {HR(40117), Combo, L(LIST(HeatReactionNames)), "ReactionTS@/Gp_More_GoK_Reaction", TComboBox,
     N("G1 > G2*Kпр", "G3 > G4*Kпр")},
};
constexpr RowBlock kReactions[] = {{kHeatSystemReactions}};

// ---------------------------------------------------------------------------------------
// Group 8: common settings (frame).

constexpr BindingRow kCommonSettings[] = {
    {HR(40179), Combo, L(LIST(Q3FormulaNames)), "FormulaQ3", TComboBox, N("Формула Q3")},
    {HR(40180), Combo, L(LIST(HeatUnitNames)), "UnitOfMeasureHeat", TComboBox,
     N("Единицы измерения тепловой энергии")},
    {HR(40181), Combo, L(LIST(PressureUnitNames)), "UnitOfMeasurePressure", TComboBox,
     N("Единицы измерения давления")},
    {HR(40182), Byte, F("%u"), "MonthArchiveDayCreate", TEdit, NR("Дата отчета", 1, 31)},
    {HR(40183), Combo, L(LIST(ColdTempSourceNames)), "ColdWaterValueType", TComboBox, N("Значение tхв")},
    {HR(40184), Temp, None(), "ColdWaterTWinter", TEdit, NR("tхв_дог зимняя", 0, 25)},
    {HR(40185), Temp, None(), "ColdWaterTSummer", TEdit, NR("tхв_дог летняя", 0, 25)},
    {HR(40186), Press, None(), "ColdWaterPWinter", TEdit, N("Pхв_дог зимнее")},
    {HR(40187), Press, None(), "ColdWaterPSummer", TEdit, N("Pхв_дог летнее")},
    {HR(40188), Temp, None(), "ColdWaterTRemote", TEdit, NR("tхв дистанционная", 0, 25)},
    {HR(40189), Combo, L(LIST(SeasonNames)), "CurrentPeriod", TComboBox, N("Текущий период")},
    {HR(40190), Combo, L(LIST(SeasonChangeNames)), "EventChangeCondition", TComboBox, N("Смена периода")},
    {HRDate(40192, 40191, 0), Date, None(), "SummerPeriodStart", TDateTimePicker, N("Начало летнего периода")},
    {HRDate(40194, 40193, 0), Date, None(), "WinterPeriodStart", TDateTimePicker, N("Начало зимнего периода")},
};
constexpr RowBlock kGroup8[] = {{kCommonSettings}};

// ---------------------------------------------------------------------------------------
// Group 9: cold-water system (frame). The bindings take the captions their labels have when
// they are created: "Канал ХВС n" and, for the five reactions, the form's "Кан. реакции".

constexpr BindingRow kColdWaterSystem[] = {
    {HR(40203, 6), Combo, L(LIST(ColdChannelModeNames)), "CWS#", TComboBox, N("Канал ХВС #")},
    {HR(40209), Combo, L(LIST(ColdFlowFailReactionNames)), "CWSExpenseMeasureFailReaction", TComboBox,
     N("Кан. реакции")},
    {HR(40210), Combo, L(LIST(ColdEmptyPipeReactionNames)), "CWSEmptyPipeReaction", TComboBox, N("Кан. реакции")},
    {HR(40211), Combo, L(LIST(ColdLowFlowReactionNames)), "CWSGLessGotsReaction", TComboBox, N("Кан. реакции")},
    {HR(40212), Combo, L(LIST(ColdBelowMinFlowReactionNames)), "CWSGLessGminReaction", TComboBox,
     N("Кан. реакции")},
    {HR(40213), Combo, L(LIST(ColdAboveMaxFlowReactionNames)), "CWSGMoreGmaxReaction", TComboBox,
     N("Кан. реакции")},
};
constexpr RowBlock kGroup9[] = {{kColdWaterSystem}};

// ---------------------------------------------------------------------------------------
// Groups 10 and 11: flow channels and flow filter (frame). The pulse weights are combo boxes
// with free text: the float binding reads and writes their text, the items are proposals.

constexpr BindingRow kFlowChannels[] = {
    {HR(40222, 6, 2), Float, FL("%f", LIST(PulseWeightProposals)), "ImpulseWeight#", TComboBox, N("Вес импульса V#")},
    {HR(40234, 6, 2), Float, F("%.5f"), "G#_contract", TEdit, N("Gдог_#")},
    {HR(40246, 6, 2), Float, F("%.5f"), "G#_max", TEdit, N("G_max#")},
    {HR(40258, 6, 2), Float, F("%.5f"), "G#_min", TEdit, N("G_min#")},
    {HR(40270, 6, 2), Float, F("%.5f"), "G#_ots", TEdit, N("G_отс#")},
    {HR(40282, 6), Combo, L(LIST(FlowInputModeNames)), "ChanelMode#", TComboBox, N("Режим входа канала V#")},
    {HR(40288, 6), Combo, L(LIST(FlowControlNames)), "CtrlModeV#", TComboBox, N("Контроль ПР канала V#")},
    {HR(40294, 6), Combo, L(LIST(EmptyPipeTestNames)), "EmptyPipeSygnal#", TComboBox, N("Пустая канала V#")},
    {HR(40216, 6), U16, F("%u"), "Du#", TEdit, N("Du V#")},
};
constexpr RowBlock kGroup10[] = {{kFlowChannels}};

constexpr BindingRow kFlowFilter[] = {
    {HR(40300), Val2, L(LIST(FlowFilterChannelNames)), "ExpenseFilterEnable", TBitEditComboBox},
    {HR(40301), Byte, F("%u"), "ExpenseFilterValue", TEdit, NR("Усреднение фильтра", 1, 4)},
    {HR(40302), Float, F("%g"), "ResetFilterAttitude", TEdit, NR("Коэффициент сброса фильтра", 1.05, 100)},
};
constexpr RowBlock kGroup11[] = {{kFlowFilter}};

// ---------------------------------------------------------------------------------------
// Group 12: temperature and pressure channels (frame).

constexpr BindingRow kSensorChannels[] = {
    {HR(40304, 5), Combo, L(LIST(SensorCurveNames)), "NSH_TSP#", TComboBox, N("НСХ ТСП t#")},
    {HR(40309, 5), Temp, None(), "t#_contract", TEdit, NR("t_дог#", 0, 180)},
    {HR(40314, 5), Temp, None(), "t_max#", TEdit, NR("t_max#", -50, 180)},
    {HR(40319, 5), Temp, None(), "t_min#", TEdit, NR("t_min#", -50, 180)},
    {HR(40324, 6), Combo, L(LIST(PressureRangeNames)), "P#_max", TComboBox},
    {HR(40330, 6), Press, None(), "P#_contract", TEdit, N("P#_дог")},
};
constexpr RowBlock kGroup12[] = {{kSensorChannels}};

// ---------------------------------------------------------------------------------------
// Groups 13 to 16: calibration (frame).

constexpr BindingRow kCalibration[] = {
    {HR(40037), U32, F("%05u"), "SerialNum", TEdit},
    {HR(40039), U32, F("%lu"), "AT_100", TEdit},
    {HR(40041), I32, F("%ld"), "BT_100", TEdit},
    {HR(40043), U32, F("%lu"), "AT_500", TEdit},
    {HR(40045), I32, F("%ld"), "BT_500", TEdit},
};
constexpr BindingRow kPressureCalibration[] = {
    {HR(40047, 6, 2), U16, F("%u"), "AP_#", TEdit},
    {HR(40048, 6, 2), I16, F("%d"), "BP_#", TEdit},
};
constexpr RowBlock kGroup13[] = {{kCalibration}, {kPressureCalibration, true}};

constexpr BindingRow kSystemCalibration[] = {
    {HR(40070), Val2, L(LIST(MeasureCurrentFlagNames)), "T_MeasureCurrent", TBitEditComboBox},
    {HR(40071), Val2, None(), "HiSpeedAdcMul", TCSpinEdit},
    {HR(40072), Val3, None(), "HiSpeedAdcAdd", TCSpinEdit},
    {HR(40073), Val3, None(), "ThermoCorrection_t", TCSpinEdit},
    {HR(40074), Val3, None(), "ThermoCorrection_P", TCSpinEdit},
};
constexpr RowBlock kGroup14[] = {{kSystemCalibration}};

constexpr BindingRow kServiceModes[] = {
    {HR(40076), Val2, None(), "DemoMode", TCheckBox},
    {HR(40077), Val2, None(), "FastMode", TCheckBox},
};
constexpr RowBlock kGroup15[] = {{kServiceModes}};

// The LCD calibration word packs four controls of the frame; its delegate reaches them
// itself (LcdCalibrationWord), so the row names no control.
constexpr BindingRow kLcdCalibration[] = {
    {HR(40078), Delegate, None(), "", TEdit},
};
constexpr RowBlock kGroup16[] = {{kLcdCalibration}};

// ---------------------------------------------------------------------------------------
// Groups 17 and 18: clock and access (frame).

constexpr BindingRow kClock[] = {
    {HRDate(40003, 40002, 40001), Date, None(), "CurrentDatePicker", TDateTimePicker, N("Текущая дата")},
    {HRClock(40004, 40005, 40006), Clock, None(), "CurrentTimePicker", TDateTimePicker, N("Текущее время")},
    {HR(40007), Val1, None(), "RtcCorrectionValue", TCSpinEdit},
    {HR(40008), Val2, None(), "TimeCorrectionValue", TCSpinEdit},
    {HR(40009), Val2, None(), "AutoTranslationTime", TCheckBox},
};
constexpr RowBlock kGroup17[] = {{kClock}};

// The password edit is bound twice: shown from both ranges (the second wins), stored into
// both and checked twice.
constexpr BindingRow kAccess[] = {
    {HR(40011), Text, Txt(8, true), "Password", TEdit, N("Пароль")},
    {HR(40015), Text, Txt(8, true), "Password", TEdit, N("Пароль")},
    {HR(40019), Val2, None(), "EnablePassword", TCheckBox},
    {HR(40020), Val2, None(), "LockSetupParams", TCheckBox},
};
constexpr RowBlock kGroup18[] = {{kAccess}};

// ---------------------------------------------------------------------------------------
// Groups 21 to 27: display, serial ports, object name, SMS, incoming call, GPRS (frame).

constexpr BindingRow kDisplay[] = {
    {HR(40356), Val2, None(), "LightOffTimout", TCSpinEdit, N("Время отключения подсветки")},
    {HR(40358), Val2, None(), "LcdOffTimeout", TCSpinEdit, N("Время отключения ЖКИ")},
    {HR(40360), Val2, None(), "ScreenSaverTimout", TCSpinEdit, N("Время включения заставки")},
    {HR(40357), Val2, None(), "LightBatteryEnable", TCheckBox, N("Подсветка при работе от батареи")},
    {HR(40359), Combo, L(LIST(ScreenSaverNames)), "ScreenSaverType", TComboBox, N("Тип заставки")},
    {HR(40361), Combo, L(LIST(NsCounterDisplayNames)), "NotStaffCounterDisplay", TComboBox, N("Счетчики НС")},
};
constexpr RowBlock kGroup21[] = {{kDisplay}};

// Port 2 lies 4 registers above port 1; its controls end in _1, its names say "порта 2".
constexpr BindingRow kSerialPort[] = {
    {HR(40365), Combo, L(LIST(UartSpeedNames)), "UartSpeed_@", TComboBox, N("Скорость порта @")},
    {HR(40367), Combo, L(LIST(Port1ModeNames), LIST(Port2ModeNames)), "UartMode_@", TComboBox, N("Режим порта @")},
    {HR(40366), Val2, None(), "NetAddress_@", TCSpinEdit, N("Сетевой адрес порта @")},
    {HR(40368), Val2, None(), "DelayPacket_@", TCSpinEdit, N("Дополнительный таймаут порта @")},
};
constexpr RowBlock kSerialPorts[] = {{kSerialPort}};

constexpr BindingRow kObjectName[] = {
    {HR(40377), Text, Txt(16, true), "ObjectIdent", TEdit, N("Имя узла")},
};
constexpr RowBlock kGroup24[] = {{kObjectName}};

constexpr BindingRow kSms[] = {
    {HR(40385), Text, Txt(16, true), "SmsDispatcherNumber", TEdit, N("Номер диспетчера")},
    {HR(40393), Val2, None(), "SmsSendInterval", TCSpinEdit, N("Интервал отправки SMS")},
    {HR(40394), Val2, L(LIST(SignalNames)), "SmsSendMask", TBitEditComboBox, N("Маска сигналов отправки SMS")},
};
constexpr RowBlock kGroup25[] = {{kSms}};

constexpr BindingRow kIncomingCall[] = {
    {HR(40399), Combo, L(LIST(ConnectModeNames)), "AnswerMode", TComboBox, N("Режим ответа на звонок")},
    {HR(40400), Combo, L(LIST(RingActionNames)), "IncomingRingAction", TComboBox, N("Реакция на звонок")},
    {HR(40401), Val2, None(), "AnswerRingCount", TCSpinEdit, N("Число входящих звонков")},
    {HR(40402), Val2, L(LIST(SignalNames)), "AnswerSignalMask", TBitEditComboBox,
     N("Маска сигналов входящего звонка")},
};
constexpr RowBlock kGroup26[] = {{kIncomingCall}};

constexpr BindingRow kGprs[] = {
    {HR(40407), Text, Txt(22, true), "GprsApnString", TEdit, N("APN")},
    {HR(40418), Text, Txt(10, true), "GprsNumber", TEdit, N("Телефонный номер")},
    {HR(40423), Text, Txt(8, true), "GprsLogin", TEdit, N("Логин")},
    {HR(40427), Text, Txt(8, true), "GprsPassword", TEdit, N("Пароль")},
    {HR(40431), Combo, L(LIST(GprsWorkModeNames)), "GprsWorkMode", TComboBox, N("Режим работы GPRS")},
    {HR(40432), Combo, L(LIST(GprsIncomingNames)), "GprsIncomingConnectionMode", TComboBox, N("Входящие IP")},
    {HR(40433), Combo, L(LIST(GprsDataFormatNames)), "GprsDataFormatMode", TComboBox, N("Режим данных")},
    {HR(40438), Ip, None(), "ServerIpAddress", TEdit, N("IP адрес сервера")},
    {HR(40440, 3, 2), Ip, None(), "RemoteIpAddress_#", TEdit, N("IP адрес #")},
    {HR(40446), Val2, None(), "RemotePort", TCSpinEdit, N("Удаленный порт")},
    {HR(40447), Val2, None(), "LocalPort", TCSpinEdit, N("Локальный порт")},
    {HR(40448), Val2, None(), "UdpChanelInteval", TCSpinEdit, N("Интервал UDP канала")},
    {HR(40449), Val2, None(), "UdpChanelAttemptCount", TCSpinEdit, N("Удержание UDP канала")},
    {HR(40454), Combo, L(LIST(ConnectModeNames)), "GprsPollMode", TComboBox, N("Режим подключения GPRS")},
    {HR(40455), Val2, None(), "GprsPollingInterval", TCSpinEdit, N("Интервал между попытками подключения GPRS")},
    {HR(40456), Val2, L(LIST(SignalNames)), "GprsPollSignalMask", TBitEditComboBox,
     N("Маска сигналов подключения GPRS")},
};
constexpr RowBlock kGroup27[] = {{kGprs}};

// ---------------------------------------------------------------------------------------
// Groups 28 to 31: signals and events (sub-frames MaskSignal1..8, DaxSignal9..C, DaxSignalD..G,
// DaxEvent1..8). The bit names of a signal's mask follow its parameter register, so the rows
// give no list for them.

constexpr BindingRow kMaskSignals[] = {
    {HR(40461, 8, 3), Combo, L(LIST(MaskConditionNames)), "MaskSignal#/MaskCondition", TComboBox,
     N("Условие сигнала #")},
    {HR(40462, 8, 3), Combo, L(LIST(MaskParamNames)), "MaskSignal#/MaskParam", TComboBox, N("Параметр сигнала #")},
    {HR(40463, 8, 3), Val2, None(), "MaskSignal#/Mask", TBitEditComboBox, N("Маска сигнала #")},
};
constexpr RowBlock kGroup28[] = {{kMaskSignals}};

// Signals 9, A, B and C: eight registers each from 40485; they offer two signal types and three
// comparison conditions. The mask condition and the comparison condition share their name.
constexpr const char* kSignals9C = "9ABC";
constexpr BindingRow kCompareSignals[] = {
    {HR(40485, 4, 8, kSignals9C), Combo, L(LISTN(SignalTypeNames, kMaskSignalTypeCount)), "DaxSignal#/SignalType",
     TComboBox, N("Тип сигнала #")},
    {HR(40486, 4, 8, kSignals9C), Combo, L(LIST(MaskConditionNames)), "DaxSignal#/MaskCondition", TComboBox,
     N("Условие сигнала #")},
    {HR(40487, 4, 8, kSignals9C), Combo, L(LIST(MaskParamNames)), "DaxSignal#/MaskParam", TComboBox,
     N("Параметр сигнала #")},
    {HR(40488, 4, 8, kSignals9C), Val2, None(), "DaxSignal#/Mask", TBitEditComboBox, N("Маска сигнала #")},
    {HR(40489, 4, 8, kSignals9C), Combo, L(LISTN(CompareConditionNames, kMaskSignalConditionCount)),
     "DaxSignal#/ParamCondition", TComboBox, N("Условие сигнала #")},
    {HR(40490, 4, 8, kSignals9C), Combo, L(LIST(CompareParamNames)), "DaxSignal#/ConditionParam1", TComboBox,
     N("Параметр П1 сигнала #")},
    {HR(40491, 4, 8, kSignals9C), Float, F("%g"), "DaxSignal#/ConditionKoef1", TEdit,
     N("Коэфициент K1 сигнала #")},
};
constexpr RowBlock kGroup29[] = {{kCompareSignals}};

// Signals D, E, F and G: sixteen registers each from 40517.
constexpr const char* kSignalsDG = "DEFG";
constexpr BindingRow kTimerSignals[] = {
    {HR(40517, 4, 16, kSignalsDG), Combo, L(LIST(SignalTypeNames)), "DaxSignal#/SignalType", TComboBox,
     N("Тип сигнала #")},
    {HR(40518, 4, 16, kSignalsDG), Combo, L(LIST(MaskConditionNames)), "DaxSignal#/MaskCondition", TComboBox,
     N("Условие сигнала #")},
    {HR(40519, 4, 16, kSignalsDG), Combo, L(LIST(MaskParamNames)), "DaxSignal#/MaskParam", TComboBox,
     N("Параметр сигнала #")},
    {HR(40520, 4, 16, kSignalsDG), Val2, None(), "DaxSignal#/Mask", TBitEditComboBox, N("Маска сигнала #")},
    {HR(40521, 4, 16, kSignalsDG), Combo, L(LIST(CompareConditionNames)), "DaxSignal#/ParamCondition", TComboBox,
     N("Условие сигнала #")},
    {HR(40522, 4, 16, kSignalsDG), Combo, L(LIST(CompareParamNames)), "DaxSignal#/ConditionParam1", TComboBox,
     N("Параметр П1 сигнала #")},
    {HR(40523, 4, 16, kSignalsDG), Combo, L(LIST(CompareParamNames)), "DaxSignal#/ConditionParam2", TComboBox,
     N("Параметр П2 сигнала #")},
    {HR(40524, 4, 16, kSignalsDG), Float, F("%g"), "DaxSignal#/ConditionKoef1", TEdit,
     N("Коэфициент K1 сигнала #")},
    {HR(40526, 4, 16, kSignalsDG), Float, F("%g"), "DaxSignal#/ConditionKoef2", TEdit,
     N("Коэфициент K2 сигнала #")},
    {HR(40528, 4, 16, kSignalsDG), Combo, L(LIST(TimerModeNames)), "DaxSignal#/TimerMode", TComboBox,
     N("Режим таймера сигнала #")},
    {HR(40529, 4, 16, kSignalsDG), Val4, None(), "DaxSignal#/TimerDays", TBitEditComboBox,
     N("Дни таймера сигнала #")},
    {HR(40531, 4, 16, kSignalsDG), Val2, None(), "DaxSignal#/TimerOn", TDateTimePicker,
     N("Включение таймера сигнала #")},
    {HR(40532, 4, 16, kSignalsDG), Val2, None(), "DaxSignal#/TimerOff", TDateTimePicker,
     N("Выключение таймера сигнала #")},
};
constexpr RowBlock kGroup30[] = {{kTimerSignals}};

constexpr BindingRow kEvents[] = {
    {HR(40581, 8, 2), Combo, L(LIST(MaskConditionNames)), "DaxEvent#/MaskCondition", TComboBox,
     N("Условие события #")},
    {HR(40582, 8, 2), Val2, L(LIST(SignalNames)), "DaxEvent#/Mask", TBitEditComboBox, N("Маска события #")},
};
constexpr RowBlock kGroup31[] = {{kEvents}};

// ---------------------------------------------------------------------------------------
// Group 32: inputs and output (frame).

constexpr BindingRow kInputsOutput[] = {
    {HR(40336), Combo, L(LIST(InputModeNames)), "DinMode", TComboBox, N("Режим входа IN")},
    {HR(40337), Val2, None(), "DinInversion", TCheckBox, N("Инверсия входа IN")},
    {HR(40338), U16, F("%u"), "DinDelay", TEdit},
    {HR(40339), Val2, L(LIST(UvInputNames)), "UvInversion", TBitEditComboBox, N("Инверсия входов UV")},
    {HR(40344), Val2, None(), "OutRegister", TCheckBox, N("Регистр выхода")},
    {HR(40345), Combo, L(LIST(OutputModeNames)), "OutMode", TComboBox, N("Режим выхода")},
    {HR(40346), U16, F("%u"), "OutBatteryTimeout", TEdit, N("Таймаут автономного режима")},
    {HR(40347), Val2, L(LIST(SignalNames)), "OutSignalMask", TBitEditComboBox, N("Маска сигналов выхода")},
};
constexpr RowBlock kGroup32[] = {{kInputsOutput}};

#undef LIST
#undef LISTN

// ---------------------------------------------------------------------------------------

constexpr GroupSpec Single(uint8_t group, std::span<const RowBlock> blocks)
{
    return {group, blocks};
}

// The instance of a repeated group: its register offset and the labels of "@".
constexpr GroupSpec Repeat(uint8_t group, std::span<const RowBlock> blocks, uint8_t instance, uint16_t offset,
                           char controlLabel, char nameLabel)
{
    return {group, blocks, instance, offset, controlLabel, nameLabel};
}

constexpr uint16_t kHeatSystemInputOffset = 83;
constexpr uint16_t kHeatSystemHoldingOffset = 50;
constexpr uint16_t kSerialPortOffset = 4;

constexpr GroupSpec kGroups[] = {
    Single(0, kGroup0),
    Repeat(1, kHeatSystem, 0, 0, '1', '1'),
    Repeat(2, kHeatSystem, 1, kHeatSystemInputOffset, '2', '2'),
    Single(3, kGroup3),
    Single(19, kGroup19),
    Single(20, kGroup20),
    Repeat(4, kGroup4, 0, 0, '1', '1'),
    Repeat(5, kGroup5, 1, kHeatSystemHoldingOffset, '2', '2'),
    Repeat(6, kReactions, 0, 0, '1', '1'),
    Repeat(7, kReactions, 1, kHeatSystemHoldingOffset, '2', '2'),
    Single(8, kGroup8),
    Single(9, kGroup9),
    Single(10, kGroup10),
    Single(11, kGroup11),
    Single(12, kGroup12),
    Single(13, kGroup13),
    Single(14, kGroup14),
    Single(15, kGroup15),
    Single(16, kGroup16),
    Single(17, kGroup17),
    Single(18, kGroup18),
    Single(21, kGroup21),
    Repeat(22, kSerialPorts, 0, 0, '0', '1'),
    Repeat(23, kSerialPorts, 1, kSerialPortOffset, '1', '2'),
    Single(24, kGroup24),
    Single(25, kGroup25),
    Single(26, kGroup26),
    Single(27, kGroup27),
    Single(28, kGroup28),
    Single(29, kGroup29),
    Single(30, kGroup30),
    Single(31, kGroup31),
    Single(32, kGroup32),
};
static_assert(std::size(kGroups) == kBindingGroupCount);

} // namespace

std::span<const GroupSpec> FrameGroupSpecs()
{
    return kGroups;
}

} // namespace frame_rows
