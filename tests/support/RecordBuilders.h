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

} // namespace testsupport
