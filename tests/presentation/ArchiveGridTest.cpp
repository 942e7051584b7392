#include "RecordBuilders.h"

#include "presentation/ArchiveGrid.h"
#include "presentation/ArchiveSchemas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using dax_namespace::ArchiveStruct;
using dax_namespace::TotalArchiveStruct;

ArchiveStruct Record(std::initializer_list<uint8_t> head, float v1)
{
    ArchiveStruct record;
    size_t i = 0;
    for (uint8_t b : head)
        record.bytes.at(i++) = b;
    record.WriteF32(ArchiveStruct::VolumeOffset(1), v1);
    record.WriteU8(ArchiveStruct::kEventFlags, 0x05);
    record.StoreCheckWord();
    return record;
}

// Date, hour, a float, a flag column.
void Columns(ArchiveTableExchangeContainer& columns)
{
    columns.Add(std::make_unique<DateArchiveItem>("Date", "Дата", 75));
    columns.Add(std::make_unique<TimeArchiveItem>("Time", "Час", 45));
    columns.Add(std::make_unique<FloatArchiveItem>("V1_period", 4, "V1(м³)", "%.3f", 85));
    columns.Add(std::make_unique<BitFlagsArchiveItem>("eventFlags", 120, "Фл.соб.", 8, true, 75));
}

std::vector<uint32_t> Colours(const VectorTableSink& grid, size_t row)
{
    std::vector<uint32_t> colours;
    for (const auto& cell : grid.Rows().at(row))
        colours.push_back(cell.Colour);
    return colours;
}

const std::vector<uint32_t> kBlackRow(4, kCellBlack);
const std::vector<uint32_t> kRedRow(4, kCellRed);

TEST(ArchiveGrid, ColumnsFromTheLayout)
{
    ArchiveTableExchangeContainer columns;
    Columns(columns);
    VectorTableSink grid;
    FillArchiveGrid({}, columns, grid);
    const std::vector<TableColumn> expected = {
        {"Дата", 75, CellAlignment::Center, true},
        {"Час", 45, CellAlignment::Center, true},
        {"V1(м³)", 85, CellAlignment::Center, true},
        {"Фл.соб.", 75, CellAlignment::Center, true},
    };
    EXPECT_EQ(grid.Columns(), expected);
    EXPECT_TRUE(grid.Rows().empty());
}

TEST(ArchiveGrid, OneRowPerRecordRedWhenTheCheckWordFails)
{
    ArchiveTableExchangeContainer columns;
    Columns(columns);
    std::vector<ArchiveStruct> records = {Record({0x15, 3, 5, 0}, 1.5f), Record({0x15, 3, 5, 1}, 2.5f),
                                          Record({0x15, 3, 5, 2}, 3.5f)};
    records[1].bytes[100] ^= 0x40; // changed after its check word was stored
    VectorTableSink grid;
    FillArchiveGrid(records, columns, grid);
    ASSERT_EQ(grid.Rows().size(), 3u);
    EXPECT_EQ(grid.RowCountSets(), 1u);
    EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"05.03.21", "1", "1.500", "1,3"}));
    EXPECT_EQ(grid.RowTexts(1), (std::vector<std::string>{"05.03.21", "2", "2.500", "1,3"}));
    EXPECT_EQ(grid.RowTexts(2), (std::vector<std::string>{"05.03.21", "3", "3.500", "1,3"}));
    EXPECT_EQ(Colours(grid, 0), kBlackRow);
    EXPECT_EQ(Colours(grid, 1), kRedRow);
    EXPECT_EQ(Colours(grid, 2), kBlackRow);
}

TEST(ArchiveGrid, AFailedCellEndsItsRow)
{
    ArchiveTableExchangeContainer columns;
    Columns(columns);
    const std::vector<ArchiveStruct> records = {
        Record({0x15, 3, 5, 0}, 1.5f),
        Record({0x15, 2, 30, 0}, 2.5f), // 30 February
        Record({0x15, 3, 5, 2}, 3.5f),
    };
    VectorTableSink grid;
    FillArchiveGrid(records, columns, grid);
    ASSERT_EQ(grid.Rows().size(), 3u);
    EXPECT_EQ(grid.RowTexts(1), (std::vector<std::string>{"Некор.время", "xxxx", "xxxx", "xxxx"}));
    EXPECT_EQ(Colours(grid, 1), (std::vector<uint32_t>{kCellBlack, kCellRed, kCellRed, kCellRed}));
    EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"05.03.21", "1", "1.500", "1,3"}));
    EXPECT_EQ(grid.RowTexts(2), (std::vector<std::string>{"05.03.21", "3", "3.500", "1,3"}));
    EXPECT_EQ(Colours(grid, 0), kBlackRow);
    EXPECT_EQ(Colours(grid, 2), kBlackRow);
}

TEST(ArchiveGrid, MarkerRecords)
{
    ArchiveTableExchangeContainer columns;
    Columns(columns);
    ArchiveStruct skipped; // all zero, check word stored: not red
    skipped.StoreCheckWord();
    ArchiveStruct unwritten; // all 0xFF: the stored word is no check word of it
    unwritten.bytes.fill(0xFF);
    VectorTableSink grid;
    FillArchiveGrid(std::vector<ArchiveStruct>{skipped, unwritten}, columns, grid);
    ASSERT_EQ(grid.Rows().size(), 2u);
    EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"Пропущ.стр.", "xxxx", "xxxx", "xxxx"}));
    EXPECT_EQ(Colours(grid, 0), (std::vector<uint32_t>{kCellBlack, kCellRed, kCellRed, kCellRed}));
    EXPECT_EQ(grid.RowTexts(1), (std::vector<std::string>{"Пуст.стр.", "xxxx", "xxxx", "xxxx"}));
    EXPECT_EQ(Colours(grid, 1), kRedRow);
}

TEST(ArchiveGrid, AFieldOutsideTheRecordIsACellError)
{
    ArchiveTableExchangeContainer columns;
    columns.Add(std::make_unique<DateArchiveItem>("Date", "Дата", 75));
    columns.Add(std::make_unique<FloatArchiveItem>("far", 300, "far", "%.3f", 85));
    columns.Add(std::make_unique<FloatArchiveItem>("V1_period", 4, "V1(м³)", "%.3f", 85));
    VectorTableSink grid;
    FillArchiveGrid(std::vector<ArchiveStruct>{Record({0x15, 3, 5, 0}, 1.5f)}, columns, grid);
    ASSERT_EQ(grid.Rows().size(), 1u);
    EXPECT_EQ(grid.RowTexts(0),
              (std::vector<std::string>{"05.03.21",
                                        "Поле записи со смещением 300 и длиной 4 выходит за пределы записи длиной "
                                        "256 байт",
                                        "xxxx"}));
}

TEST(ArchiveGrid, TotalRecords)
{
    std::array<uint8_t, kCurrentImageBytes> current{};
    std::array<uint8_t, kSetupImageBytes> setup{};
    ArchiveTableExchangeContainer columns;
    BuildArchiveColumns(MakeSchemaInputs(current, setup, ArchivePart::General, {}, '.'), columns,
                        ArchiveKind::TotalMonth, ArchivePart::General, true, true, true, false, false);
    TotalArchiveStruct good;
    good.bytes[0] = 0x18;
    good.bytes[1] = 0x0A;
    good.bytes[2] = 0x1F;
    good.WriteU32(TotalArchiveStruct::kWorkTime, 70000);
    good.StoreCheckWord();
    TotalArchiveStruct bad = good;
    bad.WriteU32(TotalArchiveStruct::kWorkTime, 60);
    VectorTableSink grid;
    FillTotalArchiveGrid(std::vector<TotalArchiveStruct>{good, bad}, columns, grid);
    ASSERT_EQ(grid.Rows().size(), 2u);
    ASSERT_EQ(grid.Columns().size(), 11u);
    EXPECT_EQ(grid.RowTexts(0)[0], "31.10.24");
    EXPECT_EQ(grid.RowTexts(0)[1], "1166:40");
    EXPECT_EQ(grid.RowTexts(1)[1], "01:00");
    EXPECT_EQ(grid.Rows()[0][1].Colour, kCellBlack);
    EXPECT_EQ(grid.Rows()[1][1].Colour, kCellRed);
}

TEST(ArchiveGrid, RefillReplacesEveryCell)
{
    ArchiveTableExchangeContainer columns;
    Columns(columns);
    VectorTableSink grid;
    std::vector<ArchiveStruct> records = {Record({0x15, 3, 5, 0}, 1.5f), Record({0x15, 3, 5, 1}, 2.5f)};
    records[0].bytes[100] ^= 1;
    FillArchiveGrid(records, columns, grid);
    FillArchiveGrid(std::vector<ArchiveStruct>{Record({0x16, 4, 6, 3}, 9.0f)}, columns, grid);
    ASSERT_EQ(grid.Rows().size(), 1u);
    EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"06.04.22", "4", "9.000", "1,3"}));
    EXPECT_EQ(Colours(grid, 0), kBlackRow);
}

} // namespace
