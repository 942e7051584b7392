#pragma once

#include "Texts.h"
#include "platform/ByteOrder.h"
#include "platform/DateTime.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

// The instrument's records exactly as received: fields are little-endian and read by byte
// offset (never by casting the bytes to a structure). Nothing here changes a record that
// came from the instrument; the writers exist for building records (simulator, tests).
namespace dax_namespace {

constexpr size_t kArchiveRecordSize = 256;
constexpr size_t kJournalRecordSize = 16;

// Bytes 0..253 of an archive record are covered by the check word in bytes 254..255.
constexpr size_t kArchiveCheckedSize = 254;
constexpr size_t kArchiveCheckWordOffset = 254;

namespace record_detail {

[[noreturn]] void ThrowFieldOutsideRecord(size_t offset, size_t width, size_t size);

// Throws platform::Exception when a field of the given width at offset does not lie inside a
// record of size bytes.
inline void CheckField(size_t offset, size_t width, size_t size)
{
    if (offset > size || width > size - offset)
        ThrowFieldOutsideRecord(offset, width, size);
}

// A field of the record, refused with the record's own text when it does not lie inside it.
template <typename T>
T ReadLittleEndian(std::span<const uint8_t> bytes, size_t offset)
{
    CheckField(offset, sizeof(T), bytes.size());
    return platform::ReadLittleEndian<T>(bytes, offset);
}

template <typename T>
void WriteLittleEndian(std::span<uint8_t> bytes, size_t offset, T value)
{
    CheckField(offset, sizeof(T), bytes.size());
    platform::WriteLittleEndian<T>(bytes, offset, value);
}

// Throws platform::Exception when number is not within 1..count.
size_t CheckIndex(size_t number, size_t count);

} // namespace record_detail

// Readers and writers shared by the three record types (R has a public std::array `bytes`).
#define DAX_RECORD_FIELD_ACCESS                                                                      \
    uint8_t ReadU8(size_t offset) const { return record_detail::ReadLittleEndian<uint8_t>(bytes, offset); } \
    uint16_t ReadU16(size_t offset) const { return record_detail::ReadLittleEndian<uint16_t>(bytes, offset); } \
    int16_t ReadI16(size_t offset) const { return record_detail::ReadLittleEndian<int16_t>(bytes, offset); } \
    uint32_t ReadU32(size_t offset) const { return record_detail::ReadLittleEndian<uint32_t>(bytes, offset); } \
    int32_t ReadI32(size_t offset) const { return record_detail::ReadLittleEndian<int32_t>(bytes, offset); } \
    float ReadF32(size_t offset) const { return record_detail::ReadLittleEndian<float>(bytes, offset); } \
    void WriteU8(size_t offset, uint8_t v) { record_detail::WriteLittleEndian(std::span<uint8_t>(bytes), offset, v); } \
    void WriteU16(size_t offset, uint16_t v) { record_detail::WriteLittleEndian(std::span<uint8_t>(bytes), offset, v); } \
    void WriteI16(size_t offset, int16_t v) { record_detail::WriteLittleEndian(std::span<uint8_t>(bytes), offset, v); } \
    void WriteU32(size_t offset, uint32_t v) { record_detail::WriteLittleEndian(std::span<uint8_t>(bytes), offset, v); } \
    void WriteI32(size_t offset, int32_t v) { record_detail::WriteLittleEndian(std::span<uint8_t>(bytes), offset, v); } \
    void WriteF32(size_t offset, float v) { record_detail::WriteLittleEndian(std::span<uint8_t>(bytes), offset, v); }

// What bytes 0..3 of an archive record say before its date is decoded.
enum class ArchiveRecordMarker {
    None,    // a record with data
    Skipped, // bytes 0..3 all 0x00: the instrument skipped the record
    Empty,   // bytes 0..3 all 0xFF: the record was never written
};

// The nine heat energies of a heat-system block, in block order (f32 in both layouts).
enum class HeatEnergy { Q, Qo, Qgvs, Work, Pow, F, Dt, Max, Min };
// The eight minute counts of a heat-system block, in block order (u16 per period, u32 total).
enum class HeatTime { Work, Stop, Staff, Pow, F, Dt, Max, Min };

// One record of the hour, day or month archive: what was counted during its interval.
struct ArchiveStruct {
    std::array<uint8_t, kArchiveRecordSize> bytes{};

    // Byte offsets of the fields; numbered fields start with number 1.
    static constexpr size_t kYear = 0, kMonth = 1, kDay = 2, kHour = 3;
    static constexpr size_t kVolume = 4;             // 6 x f32, m3
    static constexpr size_t kMass = 28;              // 5 x f32, t
    static constexpr size_t kQ3 = 48;                // f32, energy unit
    static constexpr size_t kTemperature = 52;       // 5 x i16, 0.01 degC
    static constexpr size_t kColdTemperature = 62;   // i16, 0.01 degC
    static constexpr size_t kPressure = 64;          // 6 x i16, pressure unit
    static constexpr size_t kColdPressure = 76;      // i16, pressure unit
    static constexpr size_t kWorkTime = 78;          // u16 minutes
    static constexpr size_t kOffPowerTime = 80;      // u16 minutes
    static constexpr size_t kColdWaterTime = 82;     // 6 x u16 minutes
    static constexpr size_t kEventTime = 94;         // 8 x u16 minutes
    static constexpr size_t kChannelFlags = 110;     // 6 x byte, 8 flags each
    static constexpr size_t kHardwareFlags = 116;    // u16, 14 flags
    static constexpr size_t kModeFlags = 118;        // u16, 14 flags
    static constexpr size_t kEventFlags = 120;       // byte, 8 flags
    static constexpr size_t kHeatSystemBlockSize = 62;
    static constexpr size_t kBlockEnergy = 0;        // 9 x f32 (HeatEnergy order)
    static constexpr size_t kBlockTime = 36;         // 8 x u16 (HeatTime order)
    static constexpr size_t kBlockFlags = 52;        // u16, 15 flags

    static size_t VolumeOffset(size_t channel) { return kVolume + 4 * (record_detail::CheckIndex(channel, 6) - 1); }
    static size_t MassOffset(size_t channel) { return kMass + 4 * (record_detail::CheckIndex(channel, 5) - 1); }
    static size_t TemperatureOffset(size_t channel) { return kTemperature + 2 * (record_detail::CheckIndex(channel, 5) - 1); }
    static size_t PressureOffset(size_t channel) { return kPressure + 2 * (record_detail::CheckIndex(channel, 6) - 1); }
    static size_t ColdWaterTimeOffset(size_t channel) { return kColdWaterTime + 2 * (record_detail::CheckIndex(channel, 6) - 1); }
    static size_t EventTimeOffset(size_t event) { return kEventTime + 2 * (record_detail::CheckIndex(event, 8) - 1); }
    static size_t ChannelFlagsOffset(size_t channel) { return kChannelFlags + record_detail::CheckIndex(channel, 6) - 1; }
    // Heat system 1 starts at 130, heat system 2 at 192.
    static size_t HeatSystemOffset(size_t system) { return 130 + kHeatSystemBlockSize * (record_detail::CheckIndex(system, 2) - 1); }
    static size_t HeatEnergyOffset(size_t system, HeatEnergy which) { return HeatSystemOffset(system) + kBlockEnergy + 4 * static_cast<size_t>(which); }
    static size_t HeatTimeOffset(size_t system, HeatTime which) { return HeatSystemOffset(system) + kBlockTime + 2 * static_cast<size_t>(which); }
    static size_t HeatSystemFlagsOffset(size_t system) { return HeatSystemOffset(system) + kBlockFlags; }

    DAX_RECORD_FIELD_ACCESS

    uint8_t Year() const { return bytes[kYear]; } // year - 2000
    uint8_t Month() const { return bytes[kMonth]; }
    uint8_t Day() const { return bytes[kDay]; }
    uint8_t Hour() const { return bytes[kHour]; } // hour archive: hour from 0

    float Volume(size_t channel) const { return ReadF32(VolumeOffset(channel)); }
    float Mass(size_t channel) const { return ReadF32(MassOffset(channel)); }
    float Q3() const { return ReadF32(kQ3); }
    int16_t Temperature(size_t channel) const { return ReadI16(TemperatureOffset(channel)); }
    int16_t ColdTemperature() const { return ReadI16(kColdTemperature); }
    int16_t Pressure(size_t channel) const { return ReadI16(PressureOffset(channel)); }
    int16_t ColdPressure() const { return ReadI16(kColdPressure); }
    uint16_t WorkTime() const { return ReadU16(kWorkTime); }
    uint16_t OffPowerTime() const { return ReadU16(kOffPowerTime); }
    uint16_t ColdWaterTime(size_t channel) const { return ReadU16(ColdWaterTimeOffset(channel)); }
    uint16_t EventTime(size_t event) const { return ReadU16(EventTimeOffset(event)); }
    uint8_t ChannelFlags(size_t channel) const { return ReadU8(ChannelFlagsOffset(channel)); }
    uint16_t HardwareFlags() const { return ReadU16(kHardwareFlags) & 0x3FFF; }
    uint16_t ModeFlags() const { return ReadU16(kModeFlags) & 0x3FFF; }
    uint8_t EventFlags() const { return ReadU8(kEventFlags); }
    float HeatSystemEnergy(size_t system, HeatEnergy which) const { return ReadF32(HeatEnergyOffset(system, which)); }
    uint16_t HeatSystemTime(size_t system, HeatTime which) const { return ReadU16(HeatTimeOffset(system, which)); }
    uint16_t HeatSystemFlags(size_t system) const { return ReadU16(HeatSystemFlagsOffset(system)) & 0x7FFF; }

    ArchiveRecordMarker Marker() const;
    bool IsSkipped() const { return Marker() == ArchiveRecordMarker::Skipped; }
    bool IsEmpty() const { return Marker() == ArchiveRecordMarker::Empty; }
    // The calendar date of bytes 0..2 at midnight; an impossible date throws EConvertError.
    DateTimeValue Date() const;

    uint16_t StoredCheckWord() const { return ReadU16(kArchiveCheckWordOffset); }
    uint16_t ComputedCheckWord() const;
    bool IsCheckWordValid() const { return StoredCheckWord() == ComputedCheckWord(); }
    // Writes the check word of the current bytes 0..253 (for building records).
    void StoreCheckWord() { WriteU16(kArchiveCheckWordOffset, ComputedCheckWord()); }
};

// One record of the total day or total month archive: the running totals as of its date.
// Every counter of the period record has its total here: V, M, Q3 and the heat energies keep
// their f32 type (V, M and Q3 even their offsets), each u16 minute count becomes a u32.
struct TotalArchiveStruct {
    std::array<uint8_t, kArchiveRecordSize> bytes{};

    static constexpr size_t kYear = 0, kMonth = 1, kDay = 2;
    static constexpr size_t kVolume = 4;         // 6 x f32, m3
    static constexpr size_t kMass = 28;          // 5 x f32, t
    static constexpr size_t kQ3 = 48;            // f32, energy unit
    static constexpr size_t kWorkTime = 52;      // u32 minutes
    static constexpr size_t kOffPowerTime = 56;  // u32 minutes
    static constexpr size_t kColdWaterTime = 60; // 6 x u32 minutes
    static constexpr size_t kEventTime = 84;     // 8 x u32 minutes
    static constexpr size_t kHeatSystemBlockSize = 68;
    static constexpr size_t kBlockEnergy = 0;    // 9 x f32 (HeatEnergy order)
    static constexpr size_t kBlockTime = 36;     // 8 x u32 (HeatTime order)

    static size_t VolumeOffset(size_t channel) { return kVolume + 4 * (record_detail::CheckIndex(channel, 6) - 1); }
    static size_t MassOffset(size_t channel) { return kMass + 4 * (record_detail::CheckIndex(channel, 5) - 1); }
    static size_t ColdWaterTimeOffset(size_t channel) { return kColdWaterTime + 4 * (record_detail::CheckIndex(channel, 6) - 1); }
    static size_t EventTimeOffset(size_t event) { return kEventTime + 4 * (record_detail::CheckIndex(event, 8) - 1); }
    // Heat system 1 starts at 118, heat system 2 at 186.
    static size_t HeatSystemOffset(size_t system) { return 118 + kHeatSystemBlockSize * (record_detail::CheckIndex(system, 2) - 1); }
    static size_t HeatEnergyOffset(size_t system, HeatEnergy which) { return HeatSystemOffset(system) + kBlockEnergy + 4 * static_cast<size_t>(which); }
    static size_t HeatTimeOffset(size_t system, HeatTime which) { return HeatSystemOffset(system) + kBlockTime + 4 * static_cast<size_t>(which); }

    DAX_RECORD_FIELD_ACCESS

    uint8_t Year() const { return bytes[kYear]; }
    uint8_t Month() const { return bytes[kMonth]; }
    uint8_t Day() const { return bytes[kDay]; }

    float Volume(size_t channel) const { return ReadF32(VolumeOffset(channel)); }
    float Mass(size_t channel) const { return ReadF32(MassOffset(channel)); }
    float Q3() const { return ReadF32(kQ3); }
    uint32_t WorkTime() const { return ReadU32(kWorkTime); }
    uint32_t OffPowerTime() const { return ReadU32(kOffPowerTime); }
    uint32_t ColdWaterTime(size_t channel) const { return ReadU32(ColdWaterTimeOffset(channel)); }
    uint32_t EventTime(size_t event) const { return ReadU32(EventTimeOffset(event)); }
    float HeatSystemEnergy(size_t system, HeatEnergy which) const { return ReadF32(HeatEnergyOffset(system, which)); }
    uint32_t HeatSystemTime(size_t system, HeatTime which) const { return ReadU32(HeatTimeOffset(system, which)); }

    ArchiveRecordMarker Marker() const;
    bool IsSkipped() const { return Marker() == ArchiveRecordMarker::Skipped; }
    bool IsEmpty() const { return Marker() == ArchiveRecordMarker::Empty; }
    DateTimeValue Date() const;

    uint16_t StoredCheckWord() const { return ReadU16(kArchiveCheckWordOffset); }
    uint16_t ComputedCheckWord() const;
    bool IsCheckWordValid() const { return StoredCheckWord() == ComputedCheckWord(); }
    void StoreCheckWord() { WriteU16(kArchiveCheckWordOffset, ComputedCheckWord()); }
};

// One record of the abnormal-situation or operator journal.
struct JournalStruct {
    std::array<uint8_t, kJournalRecordSize> bytes{};

    static constexpr size_t kYear = 0, kMonth = 1, kDay = 2, kHour = 3, kMinute = 4, kSecond = 5;
    static constexpr size_t kCode = 6;      // u16
    static constexpr size_t kOldValue = 8;  // 4 bytes
    static constexpr size_t kNewValue = 12; // 4 bytes

    DAX_RECORD_FIELD_ACCESS

    uint8_t Year() const { return bytes[kYear]; } // year - 2000
    uint8_t Month() const { return bytes[kMonth]; }
    uint8_t Day() const { return bytes[kDay]; }
    uint8_t Hour() const { return bytes[kHour]; }
    uint8_t Minute() const { return bytes[kMinute]; }
    uint8_t Second() const { return bytes[kSecond]; }
    uint16_t Code() const { return ReadU16(kCode); }
    // Bits 0-11 of Code: the flag group (abnormal-situation journal) or parameter id (operator journal).
    uint16_t EventCode() const { return Code() & 0x0FFF; }
    // Bits 12-15 of Code: the value type of an operator-journal record (`JournalValueType`).
    uint8_t JournalValueType() const { return static_cast<uint8_t>(Code() >> 12); }
    uint32_t OldValue() const { return ReadU32(kOldValue); }
    uint32_t NewValue() const { return ReadU32(kNewValue); }
    std::span<const uint8_t, 4> OldValueBytes() const { return std::span<const uint8_t, 4>(bytes.data() + kOldValue, 4); }
    std::span<const uint8_t, 4> NewValueBytes() const { return std::span<const uint8_t, 4>(bytes.data() + kNewValue, 4); }
};

#undef DAX_RECORD_FIELD_ACCESS

// How a journal record's time stamp decoded.
enum class JournalTimeKind {
    Valid,         // date and time of day are valid calendar values
    IncorrectTime, // invalid, and the record is no page marker: decoding goes on
    SkippedPage,   // invalid with bytes 0..3 all 0x00: nothing further is decoded
    EmptyPage,     // invalid with bytes 0..3 all 0xFF: nothing further is decoded
};

struct JournalTimeStamp {
    JournalTimeKind kind = JournalTimeKind::Valid;
    // The date-time; the date alone when only the time of day is invalid; 0 when the date is invalid.
    DateTimeValue time = 0;
    std::string text; // `JournalTimeText`
};

// The time stamp of a journal record and its text: "dd/mm/yy hh:nn:ss" (slash whatever the
// locale), or kSkippedPageText, kEmptyPageText or kIncorrectTimeText.
JournalTimeStamp JournalTime(const JournalStruct& record);
std::string JournalTimeText(const JournalStruct& record);
// A date-time in the journals' form, "dd'/'mm'/'yy " followed by "hh:nn:ss".
std::string JournalDateTimeText(DateTimeValue value);

// ---------------------------------------------------------------------------------------
// The seven record types of the page request, in its numbering: 0 hour, 1 day and 2 month
// archive, 3 total day and 4 total month archive, 5 abnormal-situation and 6 operator journal.

constexpr uint32_t kRecordTypeCount = 7;

// A record type known when compiling; converts to its number.
template <uint32_t Type>
using RecordTypeIndex = std::integral_constant<uint32_t, Type>;

template <uint32_t Type>
    requires(Type < kRecordTypeCount)
using RecordOfType = std::conditional_t<(Type <= 2), ArchiveStruct,
                                        std::conditional_t<(Type <= 4), TotalArchiveStruct, JournalStruct>>;

// Bytes of one record of a page-request type; a type above 6 counts as a journal's, as the
// instrument sizes pages that way.
constexpr size_t RecordSizeOfType(uint32_t type)
{
    return type <= 4 ? kArchiveRecordSize : kJournalRecordSize;
}

// Calls visit(RecordTypeIndex<type>{}) for each record type in order.
template <typename Visit>
void ForEachRecordTypeIndex(Visit&& visit)
{
    [&]<uint32_t... Type>(std::integer_sequence<uint32_t, Type...>) {
        (visit(RecordTypeIndex<Type>{}), ...);
    }(std::make_integer_sequence<uint32_t, kRecordTypeCount>{});
}

// One vector of records per record type, element `type` holding that type's records.
using RecordVectors = decltype([]<uint32_t... Type>(std::integer_sequence<uint32_t, Type...>) {
    return std::tuple<std::vector<RecordOfType<Type>>...>{};
}(std::make_integer_sequence<uint32_t, kRecordTypeCount>{}));

} // namespace dax_namespace
