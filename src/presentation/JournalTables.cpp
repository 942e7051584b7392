#include "JournalTables.h"

#include "device/Daxcore.h"

#include <array>
#include <string>
#include <vector>

namespace {

const std::vector<TableColumn> kNotStaffColumns = {
    {"Дата/Время", 135, CellAlignment::Center, true},
    {"НС", 100, CellAlignment::Center, true},
    {"Код", 300, CellAlignment::Left, true},
    {"Снят / Установлен", 150, CellAlignment::Center, true},
};

const std::vector<TableColumn> kOperatorColumns = {
    {"Дата/Время", 135, CellAlignment::Center, true},
    {"Параметр", 250, CellAlignment::Center, true},
    {"Старое значение", 150, CellAlignment::Center, true},
    {"Новое значение", 150, CellAlignment::Center, true},
};

// Sets the row count once, then every cell of every row (journal cells carry no colour).
void WriteRows(TableSink& grid, const std::vector<std::array<std::string, 4>>& rows)
{
    grid.SetRowCount(rows.size());
    for (size_t row = 0; row < rows.size(); ++row)
        for (size_t column = 0; column < rows[row].size(); ++column)
            grid.SetCell(column, row, rows[row][column], kCellBlack);
}

} // namespace

void FillNotStaffJournalGrid(std::span<const dax_namespace::JournalStruct> journal, TableSink& grid)
{
    std::vector<dax_namespace::NotStaffDecodedStruct> decoded;
    for (const auto& record : journal)
        DecodeNotStaffJournalRecord(decoded, record);

    std::vector<std::array<std::string, 4>> rows;
    rows.reserve(decoded.size());
    for (auto& line : decoded)
        rows.push_back({std::move(line.TimeText), std::move(line.Source), std::move(line.Item), std::move(line.State)});

    grid.SetColumns(kNotStaffColumns);
    WriteRows(grid, rows);
}

void FillOperatorJournalGrid(std::span<const dax_namespace::JournalStruct> journal, SetupImageBytes setupImage,
                             const DisplayOptions& options, TableSink& grid)
{
    const UnitBytes units = ReadUnitBytes(setupImage);
    const auto timeFormat = static_cast<uint8_t>(options.TimeFormat);

    std::vector<std::array<std::string, 4>> rows;
    rows.reserve(journal.size());
    for (const auto& record : journal) {
        // A structure of its own for every record, so no text of the previous one can remain.
        dax_namespace::JournalDecodeStruct line;
        DecodeOperatorJournalRecord(line, record, units.Heat, units.Pressure, timeFormat);
        rows.push_back(
            {std::move(line.TimeText), std::move(line.Parameter), std::move(line.OldText), std::move(line.NewText)});
    }

    grid.SetColumns(kOperatorColumns);
    WriteRows(grid, rows);
}
