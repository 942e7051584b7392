#pragma once

#include "ArchiveSchemas.h"
#include "DisplayOptions.h"
#include "TableSink.h"

#include <cstdint>

class DaxHelper;

// All 22 tables of the archive and journal pages from one instrument object: the 20 archive
// tables (four parts by five archive kinds) and the two journals. The device frame fills its
// grids with it; dax-tables prints the same tables.

// The parts in the order their tables are filled: the general part, heat system 1, heat
// system 2, cold water.
inline constexpr uint32_t kArchivePartOrder[ArchivePart::Count] = {ArchivePart::General, ArchivePart::HeatSystem1,
                                                                 ArchivePart::HeatSystem2, ArchivePart::ColdWater};

// Where each table goes. A null sink leaves that table out.
class ArchiveTableSinks {
public:
    virtual ~ArchiveTableSinks() = default;
    virtual TableSink* Archive(uint32_t part, int32_t kind) = 0;
    virtual TableSink* NotStaffJournal() = 0;
    virtual TableSink* OperatorJournal() = 0;
};

// Fills every table: for each part in kArchivePartOrder, the hour, day, month, total day and
// total month tables in that order, each from its record vector and with its columns rebuilt
// from the register images (mass, volume and pressure columns on, hardware and mode-flag
// columns off); then the abnormal-situation journal and the operator journal. The caller
// holds the image lock of the helper.
void FillArchiveTables(const DaxHelper& helper, const DisplayOptions& options, char systemDecimalSeparator,
                       ArchiveTableSinks& sinks);
