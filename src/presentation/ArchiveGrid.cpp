#include "ArchiveGrid.h"

#include "device/Daxcore.h"
#include "platform/Exceptions.h"

#include <vector>

namespace {

template <typename Record>
void FillGrid(std::span<const Record> records, const ArchiveTableExchangeContainer& columns, TableSink& grid)
{
    std::vector<TableColumn> layout;
    layout.reserve(columns.Count());
    for (size_t i = 0; i < columns.Count(); ++i) {
        const ArchiveTableExchangeItem* column = columns.Item(i);
        layout.push_back({column->GetCaption(), column->GetWidth(), CellAlignment::Center, true});
    }

    // Everything is formatted before the grid learns its row count, which is set once.
    std::vector<std::vector<TableCell>> rows(records.size());
    for (size_t r = 0; r < records.size(); ++r) {
        const Record& record = records[r];
        const uint32_t colour = record.IsCheckWordValid() ? kCellBlack : kCellRed;
        auto& cells = rows[r];
        cells.reserve(columns.Count());
        bool failed = false;
        for (size_t i = 0; i < columns.Count(); ++i) {
            if (failed) {
                cells.push_back({dax_namespace::kNoDataText, kCellRed});
                continue;
            }
            try {
                cells.push_back({columns.Item(i)->FormatCell(record.bytes), colour});
            } catch (const platform::Exception& failure) {
                cells.push_back({failure.Message(), colour});
                failed = true;
            }
        }
    }

    grid.SetColumns(layout);
    grid.SetRowCount(rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t i = 0; i < rows[r].size(); ++i)
            grid.SetCell(i, r, rows[r][i].Text, rows[r][i].Colour);
}

} // namespace

void FillArchiveGrid(std::span<const dax_namespace::ArchiveStruct> records,
                     const ArchiveTableExchangeContainer& columns, TableSink& grid)
{
    FillGrid(records, columns, grid);
}

void FillTotalArchiveGrid(std::span<const dax_namespace::TotalArchiveStruct> records,
                          const ArchiveTableExchangeContainer& columns, TableSink& grid)
{
    FillGrid(records, columns, grid);
}
