#include "ArchiveSchemas.h"

#include "device/Daxhelper.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr uint32_t kHeatUnitRegister = 40180;
constexpr uint32_t kPressureUnitRegister = 40181;

constexpr const char* kFloatFormat = "%.3f";
constexpr uint8_t kNoAirChannel = 5;
constexpr size_t kColdWaterChannels = 6;

enum class Column : uint8_t { Float, Temperature, Pressure, TimePeriod, TimeTotal, BitFlags };

// How a caption is completed.
enum class CaptionRule : uint8_t {
    Plain,
    EnergyUnit,   // the caption followed by "(ГДж)" or "(Гкал)"
    PressureUnit, // the caption followed by "(кгс/см²)" or "(МПа)"
    FlagStyle,    // Captions[0] with a list of set flags, Captions[1] with a full mask
};

// When a row is shown. The difference conditions also choose the pair of fields: the first
// when the first flag bit is set, otherwise the second when its bit is set; both set gives
// the first only.
enum class Shown : uint8_t {
    Always,
    Formula,               // the scheme computes heat energy
    FormulaHotWater,       // ... and has a hot-water part (flag bit 18)
    FormulaNotStaff,       // ... and ShowNotStaffQT
    NotStaff,              // ShowNotStaffQT
    Param,                 // the scheme uses Param
    MassParam,             // mass switch and Param
    VolumeParam,           // volume switch and Param
    PressureParam,         // pressure switch and Param
    MassDifference,        // mass switch; bit 9 (M1 - M2) else bit 11 (M3 - M4)
    VolumeDifference,      // volume switch; bit 10 (V1 - V2) else bit 12 (V3 - V4)
    TemperatureDifference, // bit 16 (t1 - t2) else bit 17 (t3 - t4)
    PressureDifference,    // pressure switch; bit 16 (P1 - P2) else bit 17 (P3 - P4)
    AirChannel,            // an air channel a below 5; the field lies 2a bytes after Fields
    HardwareSwitch,
    ModeFlagsSwitch,
    GeneralSetting,        // the general setting byte is not 0
};

struct SchemaRow {
    std::array<const char*, 2> Names; // heat system 1, heat system 2
    Column Kind;
    // The field's offset per heat system; in a difference row, the minuend per choice.
    std::array<uint16_t, 2> Fields;
    std::array<uint16_t, 2> Subtrahends; // difference rows: the subtrahend per choice
    std::array<const char*, 2> Captions; // per heat system (FlagStyle: list, mask)
    CaptionRule Rule;
    int16_t Width;
    Shown When;
    uint8_t Param = 0; // SchemeParam id of the Param conditions
    uint8_t Bits = 0;  // flag columns: the defined bits
};

constexpr SchemaRow PerSystem(const char* name1, const char* name2, Column kind, uint16_t field1, uint16_t field2,
                              const char* caption1, const char* caption2, CaptionRule rule, int16_t width, Shown when)
{
    return {{name1, name2}, kind, {field1, field2}, {0, 0}, {caption1, caption2}, rule, width, when};
}

constexpr SchemaRow Shared(const char* name, Column kind, uint16_t field, const char* caption, CaptionRule rule,
                           int16_t width, Shown when, uint8_t param = 0)
{
    return {{name, name}, kind, {field, field}, {0, 0}, {caption, caption}, rule, width, when, param};
}

constexpr SchemaRow Difference(const char* name, Column kind, uint16_t minuend1, uint16_t subtrahend1,
                               uint16_t minuend2, uint16_t subtrahend2, const char* caption, CaptionRule rule,
                               int16_t width, Shown when)
{
    return {{name, name}, kind, {minuend1, minuend2}, {subtrahend1, subtrahend2}, {caption, caption}, rule, width,
            when};
}

constexpr SchemaRow Flags(const char* name1, const char* name2, uint16_t field1, uint16_t field2, uint8_t bits,
                          const char* caption1, const char* caption2, CaptionRule rule, Shown when, uint8_t param = 0)
{
    return {{name1, name2}, Column::BitFlags, {field1, field2}, {0, 0}, {caption1, caption2}, rule, 75, when,
            param, bits};
}

constexpr const char* kHardwareList = "Апп.НС";
constexpr const char* kHardwareMask = "Аппаратные НС";
constexpr const char* kModeList = "Фл.реж.";
constexpr const char* kModeMask = "Флаги реж.раб.";
constexpr const char* kEventList = "Фл.соб.";
constexpr const char* kEventMask = "Флаги событий";

using enum Column;
using enum CaptionRule;
using enum Shown;

constexpr SchemaRow kHeatSystemPeriodRows[] = {
    PerSystem("Q1_period", "Q2_period", Float, 130, 192, "Q1", "Q2", EnergyUnit, 85, Formula),
    PerSystem("Q1o_period", "Q2o_period", Float, 134, 196, "Q1o", "Q2o", EnergyUnit, 85, FormulaHotWater),
    PerSystem("Q1gvs_period", "Q2gvs_period", Float, 138, 200, "Q1гвс", "Q2гвс", EnergyUnit, 90, FormulaHotWater),
    PerSystem("Q1work_period", "Q2work_period", Float, 142, 204, "Qиз", "Qиз", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1pow_period", "Q2pow_period", Float, 146, 208, "Qпит", "Qпит", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1f_period", "Q2f_period", Float, 150, 212, "Qф", "Qф", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1dt_period", "Q2dt_period", Float, 154, 216, "Qdt", "Qdt", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1max_period", "Q2max_period", Float, 158, 220, "Qmax", "Qmax", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1min_period", "Q2min_period", Float, 162, 224, "Qmin", "Qmin", EnergyUnit, 85, FormulaNotStaff),
    Shared("M1_period", Float, 28, "M1(т)", Plain, 85, MassParam, 12),
    Shared("M2_period", Float, 32, "M2(т)", Plain, 85, MassParam, 13),
    Shared("M3_period", Float, 36, "M3(т)", Plain, 85, MassParam, 14),
    Shared("M4_period", Float, 40, "M4(т)", Plain, 85, MassParam, 15),
    Shared("M5_period", Float, 44, "M5(т)", Plain, 85, MassParam, 16),
    Difference("dM_period", Float, 28, 32, 36, 40, "dM(т)", Plain, 85, MassDifference),
    Shared("V1_period", Float, 4, "V1(м³)", Plain, 85, VolumeParam, 26),
    Shared("V2_period", Float, 8, "V2(м³)", Plain, 85, VolumeParam, 27),
    Shared("V3_period", Float, 12, "V3(м³)", Plain, 85, VolumeParam, 28),
    Shared("V4_period", Float, 16, "V4(м³)", Plain, 85, VolumeParam, 29),
    Shared("V5_period", Float, 20, "V5(м³)", Plain, 85, VolumeParam, 30),
    Difference("dV_period", Float, 4, 8, 12, 16, "dV(м³)", Plain, 85, VolumeDifference),
    Shared("t1", Temperature, 52, "t1(°C)", Plain, 60, Param, 40),
    Shared("t2", Temperature, 54, "t2(°C)", Plain, 60, Param, 41),
    Shared("t3", Temperature, 56, "t3(°C)", Plain, 60, Param, 42),
    Shared("t4", Temperature, 58, "t4(°C)", Plain, 60, Param, 43),
    Shared("t5", Temperature, 60, "t5(°C)", Plain, 60, Param, 44),
    Difference("dt", Temperature, 52, 54, 56, 58, "dt(°C)", Plain, 60, TemperatureDifference),
    Shared("P1", Pressure, 64, "P1", PressureUnit, 70, PressureParam, 50),
    Shared("P2", Pressure, 66, "P2", PressureUnit, 70, PressureParam, 51),
    Shared("P3", Pressure, 68, "P3", PressureUnit, 70, PressureParam, 52),
    Shared("P4", Pressure, 70, "P4", PressureUnit, 70, PressureParam, 53),
    Shared("P5", Pressure, 72, "P5", PressureUnit, 70, PressureParam, 54),
    Difference("dP", Pressure, 64, 66, 68, 70, "dP", PressureUnit, 70, PressureDifference),
    Shared("tcold", Temperature, 62, "tхв(°C)", Plain, 65, Param, 47),
    Shared("Pcold", Pressure, 76, "Pхв", PressureUnit, 75, PressureParam, 57),
    Shared("tair", Temperature, 52, "tвозд(°C)", Plain, 75, AirChannel),
    PerSystem("TS1work_period", "TS2work_period", TimePeriod, 166, 228, "Tсч", "Tсч", Plain, 75, Always),
    PerSystem("TS1stop_period", "TS2stop_period", TimePeriod, 168, 230, "Tос", "Tос", Plain, 75, Always),
    PerSystem("TS1staff_period", "TS12staff_period", TimePeriod, 170, 232, "Tраб", "Tраб", Plain, 75, NotStaff),
    PerSystem("TS1pow_period", "TS2pow_period", TimePeriod, 172, 234, "Tпит", "Tпит", Plain, 75, NotStaff),
    PerSystem("TS1f_period", "TS2f_period", TimePeriod, 174, 236, "Tф", "Tф", Plain, 75, NotStaff),
    PerSystem("TS1dt_period", "TS2dt_period", TimePeriod, 176, 238, "Tdt", "Tdt", Plain, 75, NotStaff),
    PerSystem("TS1max_period", "TS2max_period", TimePeriod, 178, 240, "Tmax", "Tmax", Plain, 75, NotStaff),
    PerSystem("TS1min_period", "TS2min_period", TimePeriod, 180, 242, "Tmin", "Tmin", Plain, 75, NotStaff),
    Flags("chanelNS1", "chanelNS1", 110, 110, 8, "Кан.НС1", "Кан.НС1", Plain, Param, 62),
    Flags("chanelNS2", "chanelNS2", 111, 111, 8, "Кан.НС2", "Кан.НС2", Plain, Param, 63),
    Flags("chanelNS3", "chanelNS3", 112, 112, 8, "Кан.НС3", "Кан.НС3", Plain, Param, 64),
    Flags("chanelNS4", "chanelNS4", 113, 113, 8, "Кан.НС4", "Кан.НС4", Plain, Param, 65),
    Flags("chanelNS5", "chanelNS5", 114, 114, 8, "Кан.НС5", "Кан.НС5", Plain, Param, 66),
    Flags("NS_TS1", "NS_TS2", 182, 244, 15, "НС ТС1", "НС ТС2", Plain, Always),
    Flags("hardwareNotStaff", "hardwareNotStaff", 116, 116, 14, kHardwareList, kHardwareMask, FlagStyle,
          HardwareSwitch),
    Flags("modeFlags", "modeFlags", 118, 118, 14, kModeList, kModeMask, FlagStyle, ModeFlagsSwitch),
};

constexpr SchemaRow kHeatSystemTotalRows[] = {
    PerSystem("Q1_total", "Q2_total", Float, 118, 186, "Q1", "Q2", EnergyUnit, 85, Formula),
    PerSystem("Q1o_total", "Q2o_total", Float, 122, 190, "Q1o", "Q2o", EnergyUnit, 85, FormulaHotWater),
    PerSystem("Q1gvs_total", "Q2gvs_total", Float, 126, 194, "Q1гвс", "Q2гвс", EnergyUnit, 90, FormulaHotWater),
    PerSystem("Q1work_total", "Q2work_total", Float, 130, 198, "Qиз", "Qиз", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1pow_total", "Q2pow_total", Float, 134, 202, "Qпит", "Qпит", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1f_total", "Q2f_total", Float, 138, 206, "Qф", "Qф", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1dt_total", "Q2dt_total", Float, 142, 210, "Qdt", "Qdt", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1max_total", "Q2max_total", Float, 146, 214, "Qmax", "Qmax", EnergyUnit, 85, FormulaNotStaff),
    PerSystem("Q1min_total", "Q2min_total", Float, 150, 218, "Qmin", "Qmin", EnergyUnit, 85, FormulaNotStaff),
    Shared("M1_total", Float, 28, "M1(т)", Plain, 85, MassParam, 12),
    Shared("M2_total", Float, 32, "M2(т)", Plain, 85, MassParam, 13),
    Shared("M3_total", Float, 36, "M3(т)", Plain, 85, MassParam, 14),
    Shared("M4_total", Float, 40, "M4(т)", Plain, 85, MassParam, 15),
    Shared("M5_total", Float, 44, "M5(т)", Plain, 85, MassParam, 16),
    Difference("dM_total", Float, 28, 32, 36, 40, "dM(т)", Plain, 85, MassDifference),
    Shared("V1_total", Float, 4, "V1(м³)", Plain, 85, VolumeParam, 26),
    Shared("V21_total", Float, 8, "V2(м³)", Plain, 85, VolumeParam, 27),
    Shared("V3_total", Float, 12, "V3(м³)", Plain, 85, VolumeParam, 28),
    Shared("V4_total", Float, 16, "V4(м³)", Plain, 85, VolumeParam, 29),
    Shared("V5_total", Float, 20, "V5(м³)", Plain, 85, VolumeParam, 30),
    Difference("dV_total", Float, 4, 8, 12, 16, "dV(м³)", Plain, 85, VolumeDifference),
    PerSystem("TS1work_total", "TS2work_total", TimeTotal, 154, 222, "Tсч", "Tсч", Plain, 100, Always),
    PerSystem("TS1stop_total", "TS2stop_total", TimeTotal, 158, 226, "Tос", "Tос", Plain, 100, Always),
    PerSystem("TS1staff_total", "TS2staff_total", TimeTotal, 162, 230, "Tраб", "Tраб", Plain, 75, NotStaff),
    PerSystem("TS1pow_total", "TS2pow_total", TimeTotal, 166, 234, "Tпит", "Tпит", Plain, 75, NotStaff),
    PerSystem("TS1f_total", "TS2f_total", TimeTotal, 170, 238, "Tф", "Tф", Plain, 75, NotStaff),
    PerSystem("TS1dt_total", "TS2dt_total", TimeTotal, 174, 242, "Tdt", "Tdt", Plain, 75, NotStaff),
    PerSystem("TS1max_total", "TS2max_total", TimeTotal, 178, 246, "Tmax", "Tmax", Plain, 75, NotStaff),
    PerSystem("TS1min_total", "TS2min_total", TimeTotal, 182, 250, "Tmin", "Tmin", Plain, 75, NotStaff),
};

constexpr SchemaRow kGeneralPeriodRows[] = {
    Shared("Q3_period", Float, 48, "Q3", EnergyUnit, 85, GeneralSetting),
    Shared("workTime_period", TimePeriod, 78, "Твкл", Plain, 75, Always),
    Shared("offPowerTime_period", TimePeriod, 80, "Твыкл", Plain, 75, Always),
    Flags("hardwareNotStaff", "hardwareNotStaff", 116, 116, 14, kHardwareList, kHardwareMask, FlagStyle, Always),
    Flags("modeFlags", "modeFlags", 118, 118, 14, kModeList, kModeMask, FlagStyle, Always),
    Flags("eventFlags", "eventFlags", 120, 120, 8, kEventList, kEventMask, FlagStyle, Always),
    Shared("event1_period", TimePeriod, 94, "Тсоб.1", Plain, 75, Always),
    Shared("event2_period", TimePeriod, 96, "Тсоб.2", Plain, 75, Always),
    Shared("event3_period", TimePeriod, 98, "Тсоб.3", Plain, 75, Always),
    Shared("event4_period", TimePeriod, 100, "Тсоб.4", Plain, 75, Always),
    Shared("event5_period", TimePeriod, 102, "Тсоб.5", Plain, 75, Always),
    Shared("event6_period", TimePeriod, 104, "Тсоб.6", Plain, 75, Always),
    Shared("event7_period", TimePeriod, 106, "Тсоб.7", Plain, 75, Always),
    Shared("event8_period", TimePeriod, 108, "Тсоб.8", Plain, 75, Always),
};

constexpr SchemaRow kGeneralTotalRows[] = {
    Shared("Q3_total", Float, 48, "Q3", EnergyUnit, 85, GeneralSetting),
    Shared("workTime_total", TimeTotal, 52, "Твкл", Plain, 100, Always),
    Shared("offPowerTime_total", TimeTotal, 56, "Твыкл", Plain, 100, Always),
    Shared("event1_total", TimeTotal, 84, "Тсоб.1", Plain, 75, Always),
    Shared("event2_total", TimeTotal, 88, "Тсоб.2", Plain, 75, Always),
    Shared("event3_total", TimeTotal, 92, "Тсоб.3", Plain, 75, Always),
    Shared("event4_total", TimeTotal, 96, "Тсоб.4", Plain, 75, Always),
    Shared("event5_total", TimeTotal, 100, "Тсоб.5", Plain, 75, Always),
    Shared("event6_total", TimeTotal, 104, "Тсоб.6", Plain, 75, Always),
    Shared("event7_total", TimeTotal, 108, "Тсоб.7", Plain, 75, Always),
    Shared("event8_total", TimeTotal, 112, "Тсоб.8", Plain, 75, Always),
};

// One column of a cold-water channel i (1..6): names and captions take i for "%d", the field
// lies at First + Step × (i − 1).
struct ColdWaterRow {
    const char* Name;
    Column Kind;
    uint16_t First;
    uint16_t Step;
    const char* Caption;
    CaptionRule Rule;
    int16_t Width;
    bool NeedsPressure; // shown only for a channel with pressure (setup byte 2)
    uint8_t Bits = 0;
};

constexpr uint8_t kColdWaterOff = 0;
constexpr uint8_t kColdWaterWithPressure = 2;

constexpr ColdWaterRow kColdWaterPeriodRows[] = {
    {"V%d_period", Float, 4, 4, "V%d (м³)", Plain, 85, false},
    {"P%d", Pressure, 64, 2, "P%d", PressureUnit, 70, true},
    {"Tcws%d_period", TimePeriod, 82, 2, "Тхвс%d", Plain, 75, false},
    {"chanelNS%d", BitFlags, 110, 1, "Кан.НС%d", Plain, 75, false, 8},
};

constexpr ColdWaterRow kColdWaterTotalRows[] = {
    {"V%d_total", Float, 4, 4, "V%d (м³)", Plain, 85, false},
    {"Tcws%d_total", TimeTotal, 60, 4, "Тхвс%d", Plain, 100, false},
};

// The cold-water period tables end with these two, each behind its own switch.
constexpr SchemaRow kColdWaterStatusRows[] = {
    Flags("hardwareNotStaff", "hardwareNotStaff", 116, 116, 14, kHardwareList, kHardwareMask, FlagStyle,
          HardwareSwitch),
    Flags("modeFlags", "modeFlags", 118, 118, 14, kModeList, kModeMask, FlagStyle, ModeFlagsSwitch),
};

struct Switches {
    bool Mass;
    bool Volume;
    bool Pressure;
    bool Hardware;
    bool ModeFlags;
};

// What the rules need, settled once per layout.
struct Context {
    const SchemaInputs& In;
    Switches Show;
    size_t System;    // 0 heat system 1, 1 heat system 2: the column of the per-system rows
    bool DaysSwitch;  // time columns of month and total tables in days, hours and minutes
    bool ListSwitch;  // flag columns as lists of set flags with short captions
    bool KgfUnit;     // pressures in kgf/cm2 (thousandths) instead of MPa (ten-thousandths)
};

bool FlagSet(const Context& c, uint32_t flag)
{
    return (c.In.Descriptor.Flags & flag) != 0;
}

bool ParamUsed(const Context& c, uint8_t param)
{
    return IsSchemeParamUsed(param, c.In.Config);
}

// Which pair of fields a difference row reads: 0 or 1, or -1 when it is not shown.
int DifferenceChoice(const Context& c, bool switchOn, uint32_t first, uint32_t second)
{
    if (!switchOn)
        return -1;
    if (FlagSet(c, first))
        return 0;
    if (FlagSet(c, second))
        return 1;
    return -1;
}

int DifferenceChoice(const Context& c, Shown when)
{
    switch (when) {
    case MassDifference:
        return DifferenceChoice(c, c.Show.Mass, SchemeFlag::MassDifference12, SchemeFlag::MassDifference34);
    case VolumeDifference:
        return DifferenceChoice(c, c.Show.Volume, SchemeFlag::VolumeDifference12, SchemeFlag::VolumeDifference34);
    case TemperatureDifference:
        return DifferenceChoice(c, true, SchemeFlag::Differences12, SchemeFlag::Differences34);
    case PressureDifference:
        return DifferenceChoice(c, c.Show.Pressure, SchemeFlag::Differences12, SchemeFlag::Differences34);
    default:
        return -1;
    }
}

bool IsDifference(Shown when)
{
    return when == MassDifference || when == VolumeDifference || when == TemperatureDifference ||
           when == PressureDifference;
}

bool IsShown(const Context& c, const SchemaRow& row)
{
    const bool formula = c.In.Descriptor.Formula != 0;
    switch (row.When) {
    case Always:
        return true;
    case Formula:
        return formula;
    case FormulaHotWater:
        return formula && FlagSet(c, SchemeFlag::HotWater);
    case FormulaNotStaff:
        return formula && c.In.Options.ShowNotStaffQT;
    case NotStaff:
        return c.In.Options.ShowNotStaffQT;
    case Param:
        return ParamUsed(c, row.Param);
    case MassParam:
        return c.Show.Mass && ParamUsed(c, row.Param);
    case VolumeParam:
        return c.Show.Volume && ParamUsed(c, row.Param);
    case PressureParam:
        return c.Show.Pressure && ParamUsed(c, row.Param);
    case MassDifference:
    case VolumeDifference:
    case TemperatureDifference:
    case PressureDifference:
        return DifferenceChoice(c, row.When) >= 0;
    case AirChannel:
        return c.In.Config.AirChannel < kNoAirChannel;
    case HardwareSwitch:
        return c.Show.Hardware;
    case ModeFlagsSwitch:
        return c.Show.ModeFlags;
    case GeneralSetting:
        return c.In.Config.GeneralSetting != 0;
    }
    return false;
}

std::string CaptionOf(const Context& c, CaptionRule rule, const std::array<const char*, 2>& captions)
{
    switch (rule) {
    case EnergyUnit:
        return std::string(captions[c.System]) + (c.In.Units.Heat != 0 ? "(ГДж)" : "(Гкал)");
    case PressureUnit:
        return std::string(captions[c.System]) + (c.KgfUnit ? "(кгс/см²)" : "(МПа)");
    case FlagStyle:
        return c.ListSwitch ? captions[0] : captions[1];
    case Plain:
        break;
    }
    return captions[c.System];
}

std::unique_ptr<ArchiveTableExchangeItem> MakeColumn(const Context& c, Column kind, std::string name, int32_t field,
                                                     std::string caption, int32_t width, uint8_t bits)
{
    switch (kind) {
    case Float:
        return std::make_unique<FloatArchiveItem>(std::move(name), field, std::move(caption), kFloatFormat, width);
    case Temperature:
        return std::make_unique<TemperatureArchiveItem>(std::move(name), field, std::move(caption), width);
    case Pressure:
        return std::make_unique<PressureArchiveItem>(std::move(name), field, std::move(caption), c.KgfUnit, width);
    case TimePeriod:
        return std::make_unique<TimePeriodArchiveItem>(std::move(name), field, std::move(caption), c.DaysSwitch,
                                                       width);
    case TimeTotal:
        return std::make_unique<TimeTotalArchiveItem>(std::move(name), field, std::move(caption), c.DaysSwitch,
                                                      width);
    case BitFlags:
        return std::make_unique<BitFlagsArchiveItem>(std::move(name), field, std::move(caption), bits, c.ListSwitch,
                                                     width);
    }
    return nullptr;
}

std::unique_ptr<ArchiveTableExchangeItem> MakeDifferenceColumn(const Context& c, Column kind, std::string name,
                                                               int32_t minuend, int32_t subtrahend,
                                                               std::string caption, int32_t width)
{
    switch (kind) {
    case Float:
        return std::make_unique<FloatArchiveItem>(std::move(name), minuend, subtrahend, std::move(caption),
                                                  kFloatFormat, width);
    case Temperature:
        return std::make_unique<TemperatureArchiveItem>(std::move(name), minuend, subtrahend, std::move(caption),
                                                        width);
    case Pressure:
        return std::make_unique<PressureArchiveItem>(std::move(name), minuend, subtrahend, std::move(caption),
                                                     c.KgfUnit, width);
    default:
        return nullptr;
    }
}

void AddRows(const Context& c, std::span<const SchemaRow> rows, ArchiveTableExchangeContainer& container)
{
    for (const SchemaRow& row : rows) {
        if (!IsShown(c, row))
            continue;
        std::string caption = CaptionOf(c, row.Rule, row.Captions);
        const char* name = row.Names[c.System];
        if (IsDifference(row.When)) {
            const int choice = DifferenceChoice(c, row.When);
            container.Add(MakeDifferenceColumn(c, row.Kind, name, row.Fields[choice], row.Subtrahends[choice],
                                               std::move(caption), row.Width));
            continue;
        }
        int32_t field = row.Fields[c.System];
        if (row.When == AirChannel)
            field += 2 * c.In.Config.AirChannel;
        container.Add(MakeColumn(c, row.Kind, name, field, std::move(caption), row.Width, row.Bits));
    }
}

// The pattern with its "%d" replaced by the channel number.
std::string WithChannel(std::string_view pattern, const std::string& number)
{
    std::string out(pattern);
    const size_t at = out.find("%d");
    if (at != std::string::npos)
        out.replace(at, 2, number);
    return out;
}

void AddColdWaterRows(const Context& c, std::span<const ColdWaterRow> rows, ArchiveTableExchangeContainer& container)
{
    for (size_t i = 1; i <= kColdWaterChannels; ++i) {
        const uint8_t setup = c.In.Config.ColdWaterSetup[i - 1];
        if (setup == kColdWaterOff)
            continue;
        const int channel = static_cast<int>(i);
        for (const ColdWaterRow& row : rows) {
            if (row.NeedsPressure && setup != kColdWaterWithPressure)
                continue;
            const std::string number = std::to_string(channel);
            const std::string name = WithChannel(row.Name, number);
            const std::string plain = WithChannel(row.Caption, number);
            std::string caption = CaptionOf(c, row.Rule, {plain.c_str(), plain.c_str()});
            const int32_t field = row.First + row.Step * (channel - 1);
            container.Add(MakeColumn(c, row.Kind, name, field, std::move(caption), row.Width, row.Bits));
        }
    }
}

} // namespace

UnitBytes ReadUnitBytes(SetupImageBytes setupImage)
{
    return {dax_namespace::HoldingRegisterLowByte(setupImage, kHeatUnitRegister),
            dax_namespace::HoldingRegisterLowByte(setupImage, kPressureUnitRegister)};
}

SchemaInputs MakeSchemaInputs(CurrentImageBytes currentImage, SetupImageBytes setupImage,
                              uint32_t part, const DisplayOptions& options, char systemDecimalSeparator)
{
    SchemaInputs inputs;
    inputs.Config = DecodeHeatSystemConfig(currentImage, setupImage, part == ArchivePart::HeatSystem2 ? 1 : 0);
    inputs.Descriptor = GetSchemeDescriptor(inputs.Config);
    inputs.Units = ReadUnitBytes(setupImage);
    inputs.Options = options;
    inputs.SystemDecimalSeparator = systemDecimalSeparator;
    return inputs;
}

void BuildArchiveColumns(const SchemaInputs& inputs, ArchiveTableExchangeContainer& container, int32_t kind,
                         uint32_t part, bool massSwitch, bool volumeSwitch, bool pressureSwitch, bool hardwareSwitch,
                         bool modeFlagsSwitch)
{
    container.Clear();
    container.Add(std::make_unique<DateArchiveItem>("Date", "Дата", 75));
    if (kind == ArchiveKind::Hour)
        container.Add(std::make_unique<TimeArchiveItem>("Time", "Час", 45));
    // An unknown kind reads records of no known layout: the date is all it can show.
    if (kind < 0 || kind >= ArchiveKind::Count)
        part = ArchivePart::Count;

    const bool total = kind == ArchiveKind::TotalDay || kind == ArchiveKind::TotalMonth;
    // The display options' low bytes decide, as they do for the operator journal.
    const Context c{inputs,
                    {massSwitch, volumeSwitch, pressureSwitch, hardwareSwitch, modeFlagsSwitch},
                    part == ArchivePart::HeatSystem2 ? size_t{1} : size_t{0},
                    kind >= ArchiveKind::Month && static_cast<uint8_t>(inputs.Options.TimeFormat) != 0,
                    static_cast<uint8_t>(inputs.Options.BitsFormat) != 0,
                    inputs.Units.Pressure != 0};

    switch (part) {
    case ArchivePart::HeatSystem1:
    case ArchivePart::HeatSystem2:
        if (inputs.Config.SchemeIndex == 0)
            break;
        if (total)
            AddRows(c, kHeatSystemTotalRows, container);
        else
            AddRows(c, kHeatSystemPeriodRows, container);
        break;
    case ArchivePart::ColdWater:
        if (total) {
            AddColdWaterRows(c, kColdWaterTotalRows, container);
        } else {
            AddColdWaterRows(c, kColdWaterPeriodRows, container);
            AddRows(c, kColdWaterStatusRows, container);
        }
        break;
    case ArchivePart::General:
        if (total)
            AddRows(c, kGeneralTotalRows, container);
        else
            AddRows(c, kGeneralPeriodRows, container);
        break;
    default:
        break;
    }

    for (size_t i = 0; i < container.Count(); ++i) {
        ArchiveTableExchangeItem* column = container.Item(i);
        column->SetSeparatorMode(inputs.Options.CommaSeparator, inputs.SystemDecimalSeparator);
        if (total && column->GetType() == 2)
            column->SetWidth(kDefaultColumnWidth);
    }
}
