#pragma once

#include "ControlPort.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The register map of the device frame as data: for every one of its 627 bindings the field
// or fields it covers, its kind, format, range, control and name, in the order of creation,
// under its binding group. The rows are written by hand in FrameBindingTable_rows.cpp, close
// to the way the instrument's documentation lists them (repeated blocks once); the expander
// turns them into one description per binding. BuildFrameBindings creates the bindings from
// the descriptions; dax-bindings-dump prints them.

constexpr int kFrameBindingCount = 627;
constexpr int kBindingGroupCount = 33;

// The value kinds of the instrument (the tags of the register map).
enum class BindingKind : uint8_t {
    Float,    // IEEE single, two registers
    U32,      // unsigned 32-bit
    I32,      // signed 32-bit
    U16,      // unsigned 16-bit, averaged
    I16,      // signed 16-bit
    Byte,     // low byte of a register
    Exact,    // exact counter: signed 32-bit integer part and single fraction, four registers
    Time,     // duration in minutes, unsigned 32-bit, read only
    Temp,     // temperature in hundredths of a degree
    Press,    // pressure, scale by the frame's unit switch
    Res,      // resistance in thousandths of an ohm, 32-bit
    Curr,     // current in thousandths of a milliampere
    Combo,    // item index of a combo box
    Status,   // item index, red text when not 0
    Scheme,   // heat-system scheme code
    Val1,     // integer value of a control: signed low byte
    Val2,     //   unsigned 16-bit
    Val3,     //   signed 16-bit
    Val4,     //   32-bit
    Text,     // 8-bit text of a fixed length
    Ip,       // IPv4 address, two registers
    Date,     // day, month, year - 2000 in up to three registers
    Clock,    // hours, minutes, seconds in three registers
    Delegate, // the frame's own callbacks (the LCD calibration word)
};

// Where a binding's field lies.
enum class FieldSpace : uint8_t {
    InputRegister,   // the current-parameter image, 30001..30481
    HoldingRegister, // the setup image, 40001..40596
    Identification,  // one of the frame's three 16-byte identification texts
    FrameWord,       // one of the frame's two air-channel words
};

// The frame's identification fields (FieldSpace::Identification), by number.
enum class IdentificationField : uint8_t { FirmwareVersionText, ModelText, ModificationText };
constexpr size_t kIdentificationFieldSize = 16;
// The frame's air-channel words (FieldSpace::FrameWord), by number: heat system 1 and 2.
constexpr uint16_t kAirChannelWordTS1 = 0;
constexpr uint16_t kAirChannelWordTS2 = 1;

// A named list of texts: the items of a combo box or the bit names of a bit-mask editor.
struct ValueList {
    const char* Name = nullptr;        // the list's name in the code; none for no list
    const char* const* Items = nullptr;
    uint8_t Count = 0;

    constexpr bool empty() const { return Count == 0; }
    constexpr std::span<const char* const> items() const { return {Items, Count}; }
};

// One binding as it is created.
struct BindingDescription {
    uint8_t Group = 0;          // binding group 0..32
    uint16_t Index = 0;         // position within the group, from 0
    BindingKind Kind = BindingKind::U16;
    FieldSpace Space = FieldSpace::InputRegister;
    uint16_t Register = 0;      // first register; identification field or frame word number
    uint16_t Register2 = 0;     // date: month, clock: minutes; 0 none
    uint16_t Register3 = 0;     // date: year, clock: seconds; 0 none
    uint8_t RegisterCount = 0;  // registers from Register that the field covers (date and clock: 1)
    std::string ControlPath;    // "Control" or "SubFrame/Control"; empty for the delegate
    ControlClass Class = ControlClass::TEdit;
    std::string Format;         // printf format as created; empty when the kind has none
    ValueList List;             // combo items or bit names the page gives the control; may be empty
    std::string Name;           // the binding's name; empty: messages use the component name
    std::optional<std::array<double, 2>> Range; // {min, max} of the typed value
    uint8_t TextLength = 0;     // Text: bytes
    bool Swap = false;          // Text: bytes swapped in pairs
};

// The 627 descriptions in creation order. The table is checked as it is expanded (fields
// inside their images, family patterns, counts); a fault there throws platform::Exception.
const std::vector<BindingDescription>& FrameBindingDescriptions();

// Binding count of each group 0..32, as the table gives them.
std::array<int, kBindingGroupCount> FrameBindingGroupCounts();

// The tag of a kind as the register map writes it ("float", "u32", ... "delegate").
std::string_view BindingKindTag(BindingKind kind);
// The type code of the binding class that implements a kind (1 float ... 21 delegate).
int BindingTypeCode(BindingKind kind);
// Name of an identification field ("FirmwareVersionText", ...).
std::string_view IdentificationFieldName(uint16_t field);

// Every register (30001..30481 or 40001..40596) a description covers, ascending, the date and
// clock registers included; none for the identification fields and frame words.
std::vector<uint16_t> CoveredRegisters(const BindingDescription& description);

// The field column of the dump: "HR 40085-40086", "IR 30217-30220", "HR 40079",
// "IR day 30003 month 30002 year 30001", "AirChannelWordTS1", "ModelText",
// "HR 40078 delegate".
std::string BindingFieldText(const BindingDescription& description);

// One tab-separated line of the dump (without the line end): group, index, kind tag, type
// code, field, format, list, range, control path, name.
std::string BindingDumpLine(const BindingDescription& description);
