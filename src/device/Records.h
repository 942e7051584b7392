#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The instrument's records exactly as received: fields are little-endian and read by byte
// offset (never by casting the bytes to a structure).
namespace dax_namespace {

constexpr size_t kArchiveRecordSize = 256;
constexpr size_t kJournalRecordSize = 16;

// One record of the hour, day or month archive.
struct ArchiveStruct {
    std::array<uint8_t, kArchiveRecordSize> bytes{};
};

// One record of the total day or total month archive.
struct TotalArchiveStruct {
    std::array<uint8_t, kArchiveRecordSize> bytes{};
};

// One record of the abnormal-situation or operator journal.
struct JournalStruct {
    std::array<uint8_t, kJournalRecordSize> bytes{};
};

} // namespace dax_namespace
