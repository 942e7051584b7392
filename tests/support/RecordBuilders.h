#pragma once

#include "device/Records.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace testsupport {

// A journal record from its fields; values are stored little-endian as the instrument sends them.
inline dax_namespace::JournalStruct Journal(std::initializer_list<uint8_t> stamp, uint16_t code, uint32_t oldValue,
                                            uint32_t newValue)
{
    dax_namespace::JournalStruct record;
    size_t i = 0;
    for (uint8_t b : stamp)
        record.bytes.at(i++) = b;
    record.WriteU16(dax_namespace::JournalStruct::kCode, code);
    record.WriteU32(dax_namespace::JournalStruct::kOldValue, oldValue);
    record.WriteU32(dax_namespace::JournalStruct::kNewValue, newValue);
    return record;
}

inline dax_namespace::JournalStruct FilledJournal(uint8_t value)
{
    dax_namespace::JournalStruct record;
    record.bytes.fill(value);
    return record;
}

// A record of the hour, day or month archive: its stamp (year from 2000, month, day, and for
// hours the hour), fields set by `fill`, its check word stored.
template <typename Fill>
dax_namespace::ArchiveStruct Archive(std::initializer_list<uint8_t> stamp, Fill&& fill)
{
    dax_namespace::ArchiveStruct record;
    size_t i = 0;
    for (uint8_t b : stamp)
        record.bytes.at(i++) = b;
    fill(record);
    record.StoreCheckWord();
    return record;
}

inline dax_namespace::ArchiveStruct Archive(std::initializer_list<uint8_t> stamp)
{
    return Archive(stamp, [](dax_namespace::ArchiveStruct&) {});
}

// A record of the total day or total month archive, built the same way.
template <typename Fill>
dax_namespace::TotalArchiveStruct Total(std::initializer_list<uint8_t> stamp, Fill&& fill)
{
    dax_namespace::TotalArchiveStruct record;
    size_t i = 0;
    for (uint8_t b : stamp)
        record.bytes.at(i++) = b;
    fill(record);
    record.StoreCheckWord();
    return record;
}

inline dax_namespace::TotalArchiveStruct Total(std::initializer_list<uint8_t> stamp)
{
    return Total(stamp, [](dax_namespace::TotalArchiveStruct&) {});
}

// Every byte `value` (0x00 a skipped record, 0xFF one never written).
inline dax_namespace::ArchiveStruct FilledArchive(uint8_t value)
{
    dax_namespace::ArchiveStruct record;
    record.bytes.fill(value);
    return record;
}

inline dax_namespace::TotalArchiveStruct FilledTotal(uint8_t value)
{
    dax_namespace::TotalArchiveStruct record;
    record.bytes.fill(value);
    return record;
}

} // namespace testsupport
