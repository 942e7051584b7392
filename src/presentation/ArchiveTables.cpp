#include "ArchiveTables.h"

#include "ArchiveGrid.h"
#include "JournalTables.h"

#include "device/Daxhelper.h"

namespace {

// The column switches of the screen tables: mass, volume and pressure on, hardware and mode
// flags off.
constexpr bool kMassSwitch = true;
constexpr bool kVolumeSwitch = true;
constexpr bool kPressureSwitch = true;
constexpr bool kHardwareSwitch = false;
constexpr bool kModeFlagsSwitch = false;

void FillKind(const DaxHelper& helper, int32_t kind, const ArchiveTableExchangeContainer& columns, TableSink& sink)
{
    switch (kind) {
    case ArchiveKind::Hour:
        FillArchiveGrid(helper.HourArchive, columns, sink);
        break;
    case ArchiveKind::Day:
        FillArchiveGrid(helper.DayArchive, columns, sink);
        break;
    case ArchiveKind::Month:
        FillArchiveGrid(helper.MonthArchive, columns, sink);
        break;
    case ArchiveKind::TotalDay:
        FillTotalArchiveGrid(helper.TotalDayArchive, columns, sink);
        break;
    default:
        FillTotalArchiveGrid(helper.TotalMonthArchive, columns, sink);
        break;
    }
}

} // namespace

void FillArchiveTables(const DaxHelper& helper, const DisplayOptions& options, char systemDecimalSeparator,
                       ArchiveTableSinks& sinks)
{
    // One column layout, rebuilt for every table.
    ArchiveTableExchangeContainer columns;
    for (const uint32_t part : kArchivePartOrder) {
        const SchemaInputs inputs = MakeSchemaInputs(helper.InputRegisterImage, helper.HoldingRegisterImage, part,
                                                     options, systemDecimalSeparator);
        for (int32_t kind = ArchiveKind::Hour; kind < ArchiveKind::Count; ++kind) {
            TableSink* sink = sinks.Archive(part, kind);
            if (sink == nullptr)
                continue;
            BuildArchiveColumns(inputs, columns, kind, part, kMassSwitch, kVolumeSwitch, kPressureSwitch,
                                kHardwareSwitch, kModeFlagsSwitch);
            FillKind(helper, kind, columns, *sink);
        }
    }
    if (TableSink* sink = sinks.NotStaffJournal())
        FillNotStaffJournalGrid(helper.NotStaffJournal, *sink);
    if (TableSink* sink = sinks.OperatorJournal())
        FillOperatorJournalGrid(helper.OperatorJournal, helper.HoldingRegisterImage, options, *sink);
}
