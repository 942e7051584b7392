#include "Records.h"

#include "Daxutil.h"
#include "comm/Crc16.h"
#include "comm/Sysutil.h"

namespace dax_namespace {

namespace record_detail {

void ThrowFieldOutsideRecord(size_t offset, size_t width, size_t size)
{
    throw platform::Exception(FormatText(kRecordFieldFormat, offset, width, size));
}

size_t CheckIndex(size_t number, size_t count)
{
    if (number < 1 || number > count)
        throw platform::Exception(FormatText(kRecordFieldNumberFormat, number, count));
    return number;
}

} // namespace record_detail

namespace {

ArchiveRecordMarker MarkerOf(std::span<const uint8_t> bytes)
{
    const auto head = bytes.first(4);
    if (AllBytesEqual(head, 0x00))
        return ArchiveRecordMarker::Skipped;
    if (AllBytesEqual(head, 0xFF))
        return ArchiveRecordMarker::Empty;
    return ArchiveRecordMarker::None;
}

uint16_t CheckWordOf(std::span<const uint8_t> bytes)
{
    return Crc16Ccitt(bytes.first(kArchiveCheckedSize));
}

} // namespace

ArchiveRecordMarker ArchiveStruct::Marker() const
{
    return MarkerOf(bytes);
}

DateTimeValue ArchiveStruct::Date() const
{
    return DeviceDateToDateTime(std::span<const uint8_t>(bytes).first<3>());
}

uint16_t ArchiveStruct::ComputedCheckWord() const
{
    return CheckWordOf(bytes);
}

ArchiveRecordMarker TotalArchiveStruct::Marker() const
{
    return MarkerOf(bytes);
}

DateTimeValue TotalArchiveStruct::Date() const
{
    return DeviceDateToDateTime(std::span<const uint8_t>(bytes).first<3>());
}

uint16_t TotalArchiveStruct::ComputedCheckWord() const
{
    return CheckWordOf(bytes);
}

std::string JournalDateTimeText(DateTimeValue value)
{
    return FormatDateTime("dd'/'mm'/'yy hh:nn:ss", value);
}

JournalTimeStamp JournalTime(const JournalStruct& record)
{
    JournalTimeStamp stamp;
    DateTimeValue value = 0;
    if (DeviceDateTimeToDateTime(std::span<const uint8_t>(record.bytes).first<6>(), value, &stamp.time)) {
        stamp.time = value;
        stamp.text = JournalDateTimeText(value);
        return stamp;
    }
    const auto head = std::span<const uint8_t>(record.bytes).first(4);
    if (AllBytesEqual(head, 0x00)) {
        stamp.kind = JournalTimeKind::SkippedPage;
        stamp.text = kSkippedPageText;
    } else if (AllBytesEqual(head, 0xFF)) {
        stamp.kind = JournalTimeKind::EmptyPage;
        stamp.text = kEmptyPageText;
    } else {
        stamp.kind = JournalTimeKind::IncorrectTime;
        stamp.text = kIncorrectTimeText;
    }
    return stamp;
}

std::string JournalTimeText(const JournalStruct& record)
{
    return JournalTime(record).text;
}

} // namespace dax_namespace
