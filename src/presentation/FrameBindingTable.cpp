#include "FrameBindingTable.h"

#include "FrameBindingTable_rows.h"
#include "Texts.h"

#include "comm/Sysutil.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <charconv>

namespace {

using frame_rows::BindingRow;
using frame_rows::GroupSpec;
using frame_rows::RowBlock;

constexpr uint16_t kFirstInput = 30001;
constexpr uint16_t kLastInput = 30481;
constexpr uint16_t kFirstHolding = 40001;
constexpr uint16_t kLastHolding = 40596;

// Registers one field of the kind covers.
uint8_t KindRegisterCount(BindingKind kind, uint8_t textLength)
{
    switch (kind) {
    case BindingKind::Float:
    case BindingKind::U32:
    case BindingKind::I32:
    case BindingKind::Time:
    case BindingKind::Res:
    case BindingKind::Val4:
    case BindingKind::Ip: return 2;
    case BindingKind::Exact: return 4;
    case BindingKind::Text: return static_cast<uint8_t>(textLength / 2);
    default: return 1;
    }
}

// The format a binding of the kind has when it is created: the row's own, or the kind's
// fixed one (the exact counters start with three decimals until the display options apply).
std::string CreationFormat(const BindingRow& row)
{
    switch (row.Kind) {
    case BindingKind::Exact: return "%013.3f";
    case BindingKind::Temp: return "%.2f";
    case BindingKind::Res:
    case BindingKind::Curr: return "%.3f";
    default: return row.Format.Format;
    }
}

// A fault of the rows themselves; the table tests keep it from ever reaching a user.
[[noreturn]] void TableFault(const std::string& what, const std::string& control)
{
    throw platform::Exception(FormatText(presentation::kBindingTableFaultFormat, what.c_str(), control.c_str()));
}

std::string Substitute(const char* pattern, char member, char instance, const std::string& control)
{
    std::string result;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p == '#' || *p == '@') {
            const char label = *p == '#' ? member : instance;
            if (label == '\0')
                TableFault(std::string("метка \"") + *p + "\" без значения", control);
            result += label;
        } else {
            result += *p;
        }
    }
    return result;
}

bool InsideImage(FieldSpace space, uint32_t first, uint32_t count)
{
    const uint32_t last = first + count - 1;
    switch (space) {
    case FieldSpace::InputRegister: return first >= kFirstInput && last <= kLastInput;
    case FieldSpace::HoldingRegister: return first >= kFirstHolding && last <= kLastHolding;
    default: return true;
    }
}

class Expander {
public:
    std::vector<BindingDescription> Run()
    {
        for (const GroupSpec& group : frame_rows::FrameGroupSpecs()) {
            index_ = 0;
            for (const RowBlock& block : group.Blocks) {
                if (block.ChannelBlock)
                    ExpandChannelBlock(group, block);
                else
                    for (const BindingRow& row : block.Rows)
                        for (uint8_t member = 0; member < row.Field.Members; ++member)
                            Emit(group, row, member);
            }
        }
        return std::move(result_);
    }

private:
    void ExpandChannelBlock(const GroupSpec& group, const RowBlock& block)
    {
        const uint8_t channels = block.Rows.empty() ? 0 : block.Rows.front().Field.Members;
        for (const BindingRow& row : block.Rows)
            if (row.Field.Members != channels)
                TableFault("разное число каналов в блоке", row.Control);
        for (uint8_t member = 0; member < channels; ++member)
            for (const BindingRow& row : block.Rows)
                Emit(group, row, member);
    }

    void Emit(const GroupSpec& group, const BindingRow& row, uint8_t member)
    {
        const frame_rows::FieldRef& field = row.Field;
        const bool family = field.Members > 1;
        if (family != (std::string_view(row.Control).find('#') != std::string_view::npos))
            TableFault("метка члена семейства не соответствует размеру семейства", row.Control);
        if (member >= std::string_view(field.Labels).size())
            TableFault("не хватает меток членов семейства", row.Control);

        const bool second = group.Instance == 1;
        const uint16_t offset = field.Shared ? 0 : group.RegisterOffset;
        const char memberLabel = family ? field.Labels[member] : '\0';

        BindingDescription d;
        d.Group = group.Group;
        d.Index = index_++;
        d.Kind = row.Kind;
        d.Space = field.Space;
        d.Class = row.Class;
        d.TextLength = row.Format.TextLength;
        d.Swap = row.Format.Swap;
        d.RegisterCount = KindRegisterCount(row.Kind, row.Format.TextLength);
        switch (field.Space) {
        case FieldSpace::InputRegister:
        case FieldSpace::HoldingRegister:
            d.Register = static_cast<uint16_t>(field.Register + member * field.Step + offset);
            d.Register2 = field.Register2 != 0 ? static_cast<uint16_t>(field.Register2 + offset) : 0;
            d.Register3 = field.Register3 != 0 ? static_cast<uint16_t>(field.Register3 + offset) : 0;
            break;
        case FieldSpace::FrameWord:
            d.Register = static_cast<uint16_t>(field.Register + (field.Shared ? 0 : group.Instance));
            break;
        case FieldSpace::Identification: d.Register = field.Register; break;
        }
        d.ControlPath = Substitute(row.Control, memberLabel, group.ControlLabel, row.Control);
        d.Format = CreationFormat(row);
        d.List = second && !row.Format.List2.empty() ? row.Format.List2 : row.Format.List;
        const char* name = second && row.Name.Name2 != nullptr ? row.Name.Name2 : row.Name.Name;
        if (name != nullptr)
            d.Name = Substitute(name, memberLabel, group.NameLabel, row.Control);
        if (row.Name.HasRange)
            d.Range = std::array<double, 2>{row.Name.Min, row.Name.Max};

        bool inside = InsideImage(d.Space, d.Register, d.RegisterCount);
        for (uint16_t reg : {d.Register2, d.Register3})
            inside = inside && (reg == 0 || InsideImage(d.Space, reg, 1));
        if (!inside)
            TableFault("поле вне образа регистров", d.ControlPath);
        if (row.Kind == BindingKind::Text && (d.TextLength == 0 || d.TextLength % 2 != 0))
            TableFault("длина текста должна быть четной", d.ControlPath);
        result_.push_back(std::move(d));
    }

    std::vector<BindingDescription> result_;
    uint16_t index_ = 0;
};

std::string NumberText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string RegisterSpan(uint16_t first, uint8_t count)
{
    std::string text = std::to_string(first);
    if (count > 1)
        text += "-" + std::to_string(first + count - 1);
    return text;
}

} // namespace

const std::vector<BindingDescription>& FrameBindingDescriptions()
{
    static const std::vector<BindingDescription> descriptions = Expander().Run();
    return descriptions;
}

std::array<int, kBindingGroupCount> FrameBindingGroupCounts()
{
    std::array<int, kBindingGroupCount> counts{};
    for (const BindingDescription& d : FrameBindingDescriptions())
        ++counts.at(d.Group);
    return counts;
}

std::string_view BindingKindTag(BindingKind kind)
{
    switch (kind) {
    case BindingKind::Float: return "float";
    case BindingKind::U32: return "u32";
    case BindingKind::I32: return "i32";
    case BindingKind::U16: return "u16";
    case BindingKind::I16: return "i16";
    case BindingKind::Byte: return "byte";
    case BindingKind::Exact: return "exact";
    case BindingKind::Time: return "time";
    case BindingKind::Temp: return "temp";
    case BindingKind::Press: return "press";
    case BindingKind::Res: return "res";
    case BindingKind::Curr: return "curr";
    case BindingKind::Combo: return "combo";
    case BindingKind::Status: return "status";
    case BindingKind::Scheme: return "scheme";
    case BindingKind::Val1: return "val1";
    case BindingKind::Val2: return "val2";
    case BindingKind::Val3: return "val3";
    case BindingKind::Val4: return "val4";
    case BindingKind::Text: return "text";
    case BindingKind::Ip: return "ip";
    case BindingKind::Date: return "date";
    case BindingKind::Clock: return "clock";
    case BindingKind::Delegate: return "delegate";
    }
    return "?";
}

int BindingTypeCode(BindingKind kind)
{
    switch (kind) {
    case BindingKind::Float: return 1;
    case BindingKind::Text: return 2;
    case BindingKind::Byte: return 3;
    case BindingKind::U16: return 5;
    case BindingKind::I16: return 6;
    case BindingKind::U32: return 7;
    case BindingKind::I32: return 8;
    case BindingKind::Time: return 9;
    case BindingKind::Exact: return 10;
    case BindingKind::Ip: return 11;
    case BindingKind::Temp: return 12;
    case BindingKind::Press: return 13;
    case BindingKind::Res: return 14;
    case BindingKind::Curr: return 15;
    case BindingKind::Combo:
    case BindingKind::Scheme: return 16;
    case BindingKind::Status: return 17;
    case BindingKind::Val1:
    case BindingKind::Val2:
    case BindingKind::Val3:
    case BindingKind::Val4: return 18;
    case BindingKind::Date: return 19;
    case BindingKind::Clock: return 20;
    case BindingKind::Delegate: return 21;
    }
    return 0;
}

std::string_view IdentificationFieldName(uint16_t field)
{
    switch (field) {
    case static_cast<uint16_t>(IdentificationField::FirmwareVersionText): return "FirmwareVersionText";
    case static_cast<uint16_t>(IdentificationField::ModelText): return "ModelText";
    case static_cast<uint16_t>(IdentificationField::ModificationText): return "ModificationText";
    default: return "?";
    }
}

std::vector<uint16_t> CoveredRegisters(const BindingDescription& d)
{
    std::vector<uint16_t> registers;
    if (d.Space != FieldSpace::InputRegister && d.Space != FieldSpace::HoldingRegister)
        return registers;
    for (uint8_t i = 0; i < d.RegisterCount; ++i)
        registers.push_back(static_cast<uint16_t>(d.Register + i));
    for (uint16_t reg : {d.Register2, d.Register3})
        if (reg != 0)
            registers.push_back(reg);
    std::sort(registers.begin(), registers.end());
    return registers;
}

std::string BindingFieldText(const BindingDescription& d)
{
    if (d.Space == FieldSpace::Identification)
        return std::string(IdentificationFieldName(d.Register));
    if (d.Space == FieldSpace::FrameWord)
        return d.Register == kAirChannelWordTS1 ? "AirChannelWordTS1" : "AirChannelWordTS2";

    std::string text = d.Space == FieldSpace::InputRegister ? "IR " : "HR ";
    if (d.Kind == BindingKind::Date || d.Kind == BindingKind::Clock) {
        const bool date = d.Kind == BindingKind::Date;
        text += (date ? "day " : "hours ") + std::to_string(d.Register);
        if (d.Register2 != 0)
            text += (date ? " month " : " minutes ") + std::to_string(d.Register2);
        if (d.Register3 != 0)
            text += (date ? " year " : " seconds ") + std::to_string(d.Register3);
        return text;
    }
    text += RegisterSpan(d.Register, d.RegisterCount);
    if (d.Kind == BindingKind::Delegate)
        text += " delegate";
    return text;
}

std::string BindingDumpLine(const BindingDescription& d)
{
    std::string line = std::to_string(d.Group) + '\t' + std::to_string(d.Index) + '\t';
    line += BindingKindTag(d.Kind);
    if (d.Kind == BindingKind::Text) {
        line += ' ' + std::to_string(d.TextLength);
        if (d.Swap)
            line += " swap";
    }
    line += '\t' + std::to_string(BindingTypeCode(d.Kind)) + '\t' + BindingFieldText(d) + '\t' + d.Format + '\t';
    if (!d.List.empty())
        line += std::string(d.List.Name) + " (" + std::to_string(d.List.Count) + ")";
    line += '\t';
    if (d.Range)
        line += NumberText((*d.Range)[0]) + "…" + NumberText((*d.Range)[1]);
    line += '\t' + d.ControlPath;
    if (!d.ControlPath.empty())
        line += std::string(" (") + ControlClassName(d.Class) + ")";
    line += '\t';
    line += d.Name.empty() ? "–" : "\"" + d.Name + "\"";
    return line;
}
