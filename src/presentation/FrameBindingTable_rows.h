#pragma once

// The compact rows of the register map and what the expander needs to turn them into binding
// descriptions. Only FrameBindingTable.cpp and FrameBindingTable_rows.cpp include this.

#include "FrameBindingTable.h"

#include <cstdint>
#include <span>

namespace frame_rows {

// Labels of the members of a family, in order: "#" in a control path or a name becomes the
// member's label.
inline constexpr const char* kDigitLabels = "123456789";

// The field column of a row. A family of Members bindings covers Register, Register + Step,
// and so on.
struct FieldRef {
    FieldSpace Space = FieldSpace::InputRegister;
    uint16_t Register = 0;            // first register; identification field or frame word number
    uint16_t Register2 = 0;           // date: month, clock: minutes; 0 none
    uint16_t Register3 = 0;           // date: year, clock: seconds; 0 none
    uint8_t Members = 1;
    uint8_t Step = 1;
    const char* Labels = kDigitLabels; // member labels
    bool Shared = false;              // the same field for both instances of a repeated group
};

// The format column: a printf format, a value list (combo items or bit names), or a text's
// length and pair-swap switch. List2 is the second instance's list where it differs.
struct RowFormat {
    const char* Format = "";
    ValueList List = {};
    ValueList List2 = {};
    uint8_t TextLength = 0;
    bool Swap = false;
};

// The name and range columns. Name2 is the second instance's name where it differs otherwise
// than by "@".
struct RowName {
    const char* Name = nullptr;
    const char* Name2 = nullptr;
    bool HasRange = false;
    double Min = 0;
    double Max = 0;
};

struct BindingRow {
    FieldRef Field;
    BindingKind Kind;
    RowFormat Format;
    const char* Control; // path; "#" member label, "@" instance label; empty for the delegate
    ControlClass Class;
    RowName Name = {};
};

// Rows created one after the other. In a channel block the rows are families of the same size
// created member-major: member 1 of every row, then member 2 of every row, and so on.
struct RowBlock {
    std::span<const BindingRow> Rows;
    bool ChannelBlock = false;
};

// One binding group: its blocks, and for a group that repeats another one's rows (the second
// heat system, the second serial port) the instance it is.
struct GroupSpec {
    uint8_t Group;
    std::span<const RowBlock> Blocks;
    uint8_t Instance = 0;          // 0 first, 1 second
    uint16_t RegisterOffset = 0;   // added to the registers of fields that are not Shared
    char ControlLabel = '\0';      // "@" in control paths
    char NameLabel = '\0';         // "@" in names
};

// Every group, in creation order.
std::span<const GroupSpec> FrameGroupSpecs();

} // namespace frame_rows
