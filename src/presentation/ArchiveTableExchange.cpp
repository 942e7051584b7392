#include "ArchiveTableExchange.h"
#include "Texts.h"

#include "comm/Sysutil.h"
#include "device/Daxutil.h"
#include "platform/DateTime.h"

#include <algorithm>

namespace {

template <typename T>
T ReadField(ArchiveRecordBytes record, int32_t offset)
{
    // A negative offset becomes one far past the record, which the reader refuses.
    return dax_namespace::record_detail::ReadLittleEndian<T>(record, static_cast<size_t>(offset));
}

constexpr uint8_t kFirstBitSymbol = '1';

} // namespace

// ---------------------------------------------------------------------------------------

ArchiveTableExchangeItem::ArchiveTableExchangeItem(std::string name, std::string caption, int32_t width)
    : Caption(std::move(caption)), Name(std::move(name)), Width(width)
{
}

ArchiveTableExchangeItem::~ArchiveTableExchangeItem() = default;

std::string ArchiveTableExchangeItem::FormatCell(ArchiveRecordBytes) const
{
    return {};
}

void ArchiveTableExchangeItem::SetSeparatorMode(int32_t mode, char systemSeparator)
{
    SeparatorMode = mode;
    SystemSeparator = systemSeparator;
}

void ArchiveTableExchangeItem::ApplySeparator(std::string& text) const
{
    char separator = SystemSeparator;
    if (SeparatorMode == kCommaSeparatorMode)
        separator = ',';
    else if (SeparatorMode == kPointSeparatorMode)
        separator = '.';
    SwapDecimalSeparator(text, separator);
}

float ArchiveTableExchangeItem::FloatValue(ArchiveRecordBytes record) const
{
    const float value = ReadField<float>(record, Offset);
    if (!Difference)
        return value;
    return value - ReadField<float>(record, SecondOffset);
}

int16_t ArchiveTableExchangeItem::Int16Value(ArchiveRecordBytes record) const
{
    if (!Difference)
        return ReadField<int16_t>(record, Offset);
    const uint16_t difference =
        static_cast<uint16_t>(ReadField<uint16_t>(record, Offset) - ReadField<uint16_t>(record, SecondOffset));
    return static_cast<int16_t>(difference);
}

// ---------------------------------------------------------------------------------------

DateArchiveItem::DateArchiveItem(std::string name, std::string caption, int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption), width)
{
}

std::string DateArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    // The markers come first: a marker record never reads as an impossible date.
    const auto head = record.first<4>();
    if (AllBytesEqual(head, 0x00))
        throw platform::Exception(presentation::kSkippedRecordText);
    if (AllBytesEqual(head, 0xFF))
        throw platform::Exception(presentation::kEmptyRecordText);
    DateTimeValue date;
    try {
        date = DeviceDateToDateTime(record.first<3>());
    } catch (const EConvertError&) {
        throw platform::Exception(presentation::kInvalidDateText);
    }
    return FormatDateTime("dd'.'mm'.'yy", date);
}

TimeArchiveItem::TimeArchiveItem(std::string name, std::string caption, int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption), width)
{
}

std::string TimeArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    return FormatText("%d", ReadField<uint8_t>(record, dax_namespace::ArchiveStruct::kHour) + 1);
}

FloatArchiveItem::FloatArchiveItem(std::string name, int32_t offset, std::string caption, std::string format,
                                   int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption), width)
{
    Offset = offset;
    Format = std::move(format);
}

FloatArchiveItem::FloatArchiveItem(std::string name, int32_t offset, int32_t secondOffset, std::string caption,
                                   std::string format, int32_t width)
    : FloatArchiveItem(std::move(name), offset, std::move(caption), std::move(format), width)
{
    SecondOffset = secondOffset;
    Difference = true;
}

std::string FloatArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    std::string text = FormatFloat(Format, static_cast<double>(FloatValue(record)));
    ApplySeparator(text);
    return text;
}

TemperatureArchiveItem::TemperatureArchiveItem(std::string name, int32_t offset, std::string caption, int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption), width)
{
    Offset = offset;
}

TemperatureArchiveItem::TemperatureArchiveItem(std::string name, int32_t offset, int32_t secondOffset,
                                               std::string caption, int32_t width)
    : TemperatureArchiveItem(std::move(name), offset, std::move(caption), width)
{
    SecondOffset = secondOffset;
    Difference = true;
}

std::string TemperatureArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    std::string text = FormatText("%.2f", Int16Value(record) * 0.01);
    ApplySeparator(text);
    return text;
}

PressureArchiveItem::PressureArchiveItem(std::string name, int32_t offset, std::string caption, bool unitSwitch,
                                         int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption), width), UnitSwitch(unitSwitch)
{
    Offset = offset;
}

PressureArchiveItem::PressureArchiveItem(std::string name, int32_t offset, int32_t secondOffset, std::string caption,
                                         bool unitSwitch, int32_t width)
    : PressureArchiveItem(std::move(name), offset, std::move(caption), unitSwitch, width)
{
    SecondOffset = secondOffset;
    Difference = true;
}

std::string PressureArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    const int16_t value = Int16Value(record);
    std::string text = UnitSwitch ? FormatText("%.3f", value * 0.001) : FormatText("%.4f", value * 0.0001);
    ApplySeparator(text);
    return text;
}

namespace {

int32_t TimeColumnWidth(bool daysSwitch, int32_t width)
{
    return daysSwitch ? std::max(width, kDaysColumnMinWidth) : width;
}

std::string DurationText(uint32_t minutes, bool daysSwitch)
{
    return daysSwitch ? DurationToDaysText(minutes) : DurationToHoursText(minutes);
}

} // namespace

TimePeriodArchiveItem::TimePeriodArchiveItem(std::string name, int32_t offset, std::string caption, bool daysSwitch,
                                             int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption), TimeColumnWidth(daysSwitch, width)),
      DaysSwitch(daysSwitch)
{
    Offset = offset;
}

std::string TimePeriodArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    return DurationText(ReadField<uint16_t>(record, Offset), DaysSwitch);
}

TimeTotalArchiveItem::TimeTotalArchiveItem(std::string name, int32_t offset, std::string caption, bool daysSwitch,
                                           int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption), TimeColumnWidth(daysSwitch, width)),
      DaysSwitch(daysSwitch)
{
    Offset = offset;
}

std::string TimeTotalArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    return DurationText(ReadField<uint32_t>(record, Offset), DaysSwitch);
}

BitFlagsArchiveItem::BitFlagsArchiveItem(std::string name, int32_t offset, std::string caption, uint8_t bitCount,
                                         bool listSwitch, int32_t width)
    : ArchiveTableExchangeItem(std::move(name), std::move(caption),
                               listSwitch ? width : bitCount * kMaskColumnWidthPerBit),
      BitCount(bitCount), ListSwitch(listSwitch)
{
    Offset = offset;
}

std::string BitFlagsArchiveItem::FormatCell(ArchiveRecordBytes record) const
{
    const uint32_t flags = ReadField<uint32_t>(record, Offset);
    return ListSwitch ? BitsToListText(flags, BitCount, kFirstBitSymbol)
                      : BitsToMaskText(flags, BitCount, kFirstBitSymbol);
}

// ---------------------------------------------------------------------------------------

ArchiveTableExchangeItem* ArchiveTableExchangeContainer::Add(std::unique_ptr<ArchiveTableExchangeItem> column)
{
    Items.push_back(std::move(column));
    return Items.back().get();
}

void ArchiveTableExchangeContainer::Clear()
{
    Items.clear();
}

ArchiveTableExchangeItem* ArchiveTableExchangeContainer::Item(size_t index) const
{
    return index < Items.size() ? Items[index].get() : nullptr;
}

ArchiveTableExchangeItem* ArchiveTableExchangeContainer::FindByName(const std::string& name) const
{
    for (const auto& item : Items)
        if (item->GetName() == name)
            return item.get();
    return nullptr;
}
