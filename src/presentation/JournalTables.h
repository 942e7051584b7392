#pragma once

#include "ArchiveSchemas.h"
#include "DisplayOptions.h"
#include "TableSink.h"

#include "device/Records.h"

#include <cstdint>
#include <span>

// The two journal tables: one line per changed flag of the abnormal-situation journal, one
// line per record of the operator journal. Each fill replaces the whole table. Main thread;
// the caller holds the image lock of the helper whose records and image it passes.

// Columns "Дата/Время", "НС", "Код", "Снят / Установлен".
void FillNotStaffJournalGrid(std::span<const dax_namespace::JournalStruct> journal, TableSink& grid);

// Columns "Дата/Время", "Параметр", "Старое значение", "Новое значение". The value texts take
// their units from the low bytes of holding registers 40180 and 40181 of the setup image and
// their durations from the low byte of the TimeFormat option.
void FillOperatorJournalGrid(std::span<const dax_namespace::JournalStruct> journal, SetupImageBytes setupImage,
                             const DisplayOptions& options, TableSink& grid);
