#pragma once

#include "Records.h"
#include "Registers.h"
#include "Texts.h"
#include "platform/DateTime.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The instrument's vocabulary: heat-system schemes with their descriptors and formulas, and
// the decoders of the abnormal-situation and operator journals with their name tables.
// Everything here is constant data and pure functions: no state, no locks.

// ---------------------------------------------------------------------------------------
// Heat-system schemes

constexpr size_t kSchemeCount = 29;
constexpr size_t kSchemeFormulaCount = 40;
// `Formula` of the free-configuration scheme: its text is composed from the pipe counts.
constexpr uint8_t kFreeSchemeFormula = 40;
// Scheme index of "5.9", the free configuration of heat system 1.
constexpr uint8_t kFreeSchemeIndex = 24;

struct SchemeDescriptor {
    uint16_t PointMask = 0;     // bits 0-4 t1..t5, 5-9 P1..P5, 10-14 V1..V5
    uint16_t ExtraFlowMask = 0; // bits 10-14: further flow channels V1..V5
    uint32_t Flags = 0;         // bits 0-4 M1..M5; 9 M1-M2; 10 V1-V2; 11 M3-M4; 12 V3-V4;
                                // 15 cold-water t and P; 16 t1-t2, P1-P2; 17 t3-t4, P3-P4;
                                // 18 hot-water part
    uint8_t Formula = 0;        // index into SchemeFormulas; 0 no heat energy; 40 free configuration

    friend bool operator==(const SchemeDescriptor&, const SchemeDescriptor&) = default;
};

// Descriptor flag bits the pages consult.
namespace SchemeFlag {
constexpr uint32_t MassDifference12 = 1u << 9;
constexpr uint32_t VolumeDifference12 = 1u << 10;
constexpr uint32_t MassDifference34 = 1u << 11;
constexpr uint32_t VolumeDifference34 = 1u << 12;
constexpr uint32_t ColdWater = 1u << 15;
constexpr uint32_t Differences12 = 1u << 16;
constexpr uint32_t Differences34 = 1u << 17;
constexpr uint32_t HotWater = 1u << 18;
} // namespace SchemeFlag

extern const std::array<uint8_t, kSchemeCount> SchemeCodes;
extern const std::array<const char*, kSchemeCount> SchemeNames;
extern const std::array<SchemeDescriptor, kSchemeCount> SchemeRowsTS1;
extern const std::array<SchemeDescriptor, kSchemeCount> SchemeRowsTS2;
extern const std::array<const char*, kSchemeFormulaCount> SchemeFormulas;

// The formula text of a descriptor's `Formula`; an index outside the table (40, the free
// configuration, included) throws platform::Exception.
const char* SchemeFormulaText(uint8_t formula);

// The configuration of one heat system, decoded from the register images.
struct HeatSystemConfig {
    uint8_t System = 0;                          // 0 heat system 1, otherwise heat system 2
    uint8_t SchemeIndex = 0;                     // 0..28
    uint8_t AirChannel = 5;                      // 0..4 channel t1..t5, 5 none
    uint8_t ControlChannel = 5;                  // same coding
    std::array<uint8_t, 2> AirChannelWord{};     // the air channel's input register as stored (high byte first)
    uint8_t DirectPipes = 1;                     // free configuration: 1..5
    uint8_t ReversePipes = 0;                    // 0..4
    uint8_t MakeUpPipes = 0;                     // 0..4
    uint8_t GeneralSetting = 0;                  // low byte of 40179
    std::array<uint8_t, 6> ColdWaterSetup{};     // low bytes of 40203..40208
};

// The pages' names for the two register images: current values (input registers) and
// settings (holding registers).
constexpr size_t kCurrentImageBytes = dax_namespace::kInputImageSize;
constexpr size_t kSetupImageBytes = dax_namespace::kHoldingImageSize;

// The configuration of heat system `system` (0 or 1; any other value counts as 1) from the
// current-parameter image and the setup image (big-endian registers). Takes no lock: the
// caller holds the image mutex or runs on the main thread. Images shorter than the
// instrument's throw platform::Exception.
HeatSystemConfig DecodeHeatSystemConfig(std::span<const uint8_t> currentImage, std::span<const uint8_t> setupImage,
                                        uint8_t system);

// Position of the code in SchemeCodes; 0 (the heat system is not used) when it is not there.
uint8_t SchemeCodeToIndex(uint8_t code);
// The scheme's descriptor; heat system 1's "5.9" gets the points of its free configuration.
SchemeDescriptor GetSchemeDescriptor(HeatSystemConfig config);
// High byte: pipe count 1..5; low byte: kinds of pipes 2..5, two bits each (pipe k+2 in bits
// 2k, 2k+1): 2 direct, 0 reverse, 1 make-up; slots beyond the count hold 0.
uint16_t FreeSchemeFlags(const HeatSystemConfig& config);
// The descriptor with the points of the free configuration added.
SchemeDescriptor ApplyFreeScheme(SchemeDescriptor descriptor, uint16_t freeSchemeFlags);

// The quantity ids that IsSchemeParamUsed answers for (other ids below 69 give free answers).
namespace SchemeParam {
constexpr uint8_t M1 = 12;          // ..16 masses M1..M5
constexpr uint8_t V1 = 26;          // ..30 volumes V1..V5
constexpr uint8_t T1 = 40;          // ..44 temperatures t1..t5
constexpr uint8_t ColdTemperature = 47;
constexpr uint8_t P1 = 50;          // ..54 pressures P1..P5
constexpr uint8_t ColdPressure = 57;
constexpr uint8_t ChannelNS1 = 62;  // ..66 channel abnormal situations of pipes 1..5
constexpr uint8_t Last = 68;
} // namespace SchemeParam

bool IsSchemeParamUsed(uint8_t param, const HeatSystemConfig& config);

// ---------------------------------------------------------------------------------------
// Abnormal-situation journal

namespace dax_namespace {

struct NotStaffDecodedStruct {
    DateTimeValue Time = 0; // 0 when the record's date is invalid
    std::string TimeText;
    std::string Source;     // the flag group
    std::string Item;       // "[label] name"
    std::string State;      // kFlagSetText or kFlagClearedText
};

struct JournalDecodeStruct {
    DateTimeValue Time = 0; // 0 when the record's date is invalid
    std::string TimeText;
    std::string Parameter;
    std::string OldText;
    std::string NewText;
};

} // namespace dax_namespace

// Bit i of a flag word is labelled by character i.
inline constexpr std::string_view kFlagLabels = "123456789ABCDEFGHIJKLMNOPQRSTUV";

// Flag names per group, bit 0 first (one entry per defined flag).
extern const std::array<const char*, 8> ChannelFlagNames;
extern const std::array<const char*, 15> HeatSystem1FlagNames;
extern const std::array<const char*, 15> HeatSystem2FlagNames;
extern const std::array<const char*, 14> HardwareFlagNames;
extern const std::array<const char*, 14> ModeFlagNames;
extern const std::array<const char*, 8> EventFlagNames;

// One flag group of the abnormal-situation journal, selected by the record's code.
struct NotStaffGroup {
    const char* Source;                 // group text; for channels a format taking the channel number
    std::span<const char* const> Names; // one per flag; empty for codes without a group
};
// Indexed by code 0..10; codes 5 and above 10 have no group.
extern const std::array<NotStaffGroup, 11> NotStaffGroups;

// Appends one row per changed flag of the record's group to rows; never clears rows. Returns
// false for a skipped or empty page (nothing appended), true otherwise.
bool DecodeNotStaffJournalRecord(std::vector<dax_namespace::NotStaffDecodedStruct>& rows,
                                 const dax_namespace::JournalStruct& record);

// ---------------------------------------------------------------------------------------
// Operator journal

// Setting vocabularies; the device pages fill the matching choice boxes with them.
extern const std::array<const char*, 2> SeasonNames;
extern const std::array<const char*, 2> InputModeNames;
extern const std::array<const char*, 2> OutputModeNames;
extern const std::array<const char*, 6> TempChannelNames;
extern const std::array<const char*, 3> StopModeNames;
extern const std::array<const char*, 4> FlowFailReactionNames;
extern const std::array<const char*, 3> EmptyPipeReactionNames;
extern const std::array<const char*, 6> LowFlowReactionNames;
extern const std::array<const char*, 7> BelowMinFlowReactionNames;
extern const std::array<const char*, 7> AboveMaxFlowReactionNames;
extern const std::array<const char*, 3> TempFailReactionNames;
extern const std::array<const char*, 7> TempRangeReactionNames;
extern const std::array<const char*, 4> PressureFailReactionNames;
extern const std::array<const char*, 4> HeatReactionNames;
extern const std::array<const char*, 3> PowerReactionNames;
extern const std::array<const char*, 5> Imbalance12ReactionNames;
extern const std::array<const char*, 5> Imbalance34ReactionNames;
extern const std::array<const char*, 3> Q3FormulaNames;
extern const std::array<const char*, 2> HeatUnitNames;
extern const std::array<const char*, 2> PressureUnitNames;
extern const std::array<const char*, 2> ColdTempSourceNames;
extern const std::array<const char*, 3> SeasonChangeNames;
extern const std::array<const char*, 3> ColdChannelModeNames;
extern const std::array<const char*, 3> ColdFlowFailReactionNames;
extern const std::array<const char*, 2> ColdEmptyPipeReactionNames;
extern const std::array<const char*, 5> ColdLowFlowReactionNames;
extern const std::array<const char*, 6> ColdBelowMinFlowReactionNames;
extern const std::array<const char*, 6> ColdAboveMaxFlowReactionNames;
extern const std::array<const char*, 2> FlowInputModeNames;
extern const std::array<const char*, 5> FlowControlNames;
extern const std::array<const char*, 6> EmptyPipeTestNames;
extern const std::array<const char*, 4> SensorCurveNames;
extern const std::array<const char*, 4> PressureRangeNames;

// How the value texts of a parameter are changed after the value type made them.
enum class OperatorValueRule : uint8_t {
    ValueType,       // the texts stay
    List,            // a field whose first byte is within the list shows the list entry
    Suffix,          // Suffix appended to both texts
    HeatUnitSuffix,  // kGigajouleSuffix or kGigacalorieSuffix appended to both texts
    Mask,            // BitsToMaskText of the first MaskBytes bytes with MaskPositions positions
    SchemeName,      // the scheme name of the first byte's code
    DayMonth,        // "%02d/%02d" of the second byte and the first byte
    DurationReset,   // old: the duration of the whole old value in minutes; new: zero duration
};

struct OperatorParameter {
    uint16_t Id;
    const char* Name;
    OperatorValueRule Rule = OperatorValueRule::ValueType;
    std::span<const char* const> List{}; // Rule List
    const char* Suffix = "";             // Rule Suffix
    uint8_t MaskPositions = 0;           // Rule Mask
    uint8_t MaskBytes = 0;               // Rule Mask: 1 or 2
};

// The named parameter ids in ascending order (253 of the ids 0..608).
extern const std::span<const OperatorParameter> OperatorParameters;
// The entry of an id, or none when the id has no name of its own.
const OperatorParameter* FindOperatorParameter(uint16_t id);

// Fills result from one record. heatUnit: low byte of holding register 40180 (0 Gcal, other
// GJ); pressureUnit: low byte of 40181 (0 MPa, other kgf/cm2); timeFormat: low byte of the
// display option `TimeFormat` (0 hours and minutes, other days, hours and minutes). All texts
// and `Time` are rewritten on every call. Returns false for a skipped or empty page.
bool DecodeOperatorJournalRecord(dax_namespace::JournalDecodeStruct& result, const dax_namespace::JournalStruct& record,
                                 uint8_t heatUnit, uint8_t pressureUnit, uint8_t timeFormat);
