#pragma once

#include "ArchiveTableExchange.h"
#include "TableSink.h"

#include "device/Records.h"

#include <span>

// Fills an archive grid: one read-only text column per column of the layout, one row per
// record in the order given. A record whose check word does not match is written wholly in
// red. A cell whose formatting fails shows the failure's text, and the rest of its row shows
// "xxxx" in red. Main thread; the caller holds the image lock of the helper the records
// belong to.
void FillArchiveGrid(std::span<const dax_namespace::ArchiveStruct> records,
                     const ArchiveTableExchangeContainer& columns, TableSink& grid);
void FillTotalArchiveGrid(std::span<const dax_namespace::TotalArchiveStruct> records,
                          const ArchiveTableExchangeContainer& columns, TableSink& grid);
