#include "presentation/ArchiveGrid.h"
#include "presentation/JournalTables.h"
#include "presentation/qt/GoodTableSink.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

using dax_namespace::ArchiveStruct;

ArchiveStruct Record(uint8_t day, float v1)
{
    ArchiveStruct record;
    record.bytes[0] = 0x15;
    record.bytes[1] = 0x03;
    record.bytes[2] = day;
    record.WriteF32(ArchiveStruct::VolumeOffset(1), v1);
    record.StoreCheckWord();
    return record;
}

std::vector<std::string> Row(const TGoodTable& table, int32_t row)
{
    std::vector<std::string> texts;
    for (int32_t col = 0; col < table.GetColCount(); ++col)
        texts.push_back(table.GetCells(row, col));
    return texts;
}

std::vector<uint32_t> Colours(const TGoodTable& table, int32_t row)
{
    std::vector<uint32_t> colours;
    for (int32_t col = 0; col < table.GetColCount(); ++col)
        colours.push_back(table.GetCellsTextColor(row, col));
    return colours;
}

TEST(ArchiveGridOnGoodTable, FillsThroughTheSink)
{
    TGoodTable table;
    GoodTableSink sink(table);
    ArchiveTableExchangeContainer columns;
    columns.Add(std::make_unique<DateArchiveItem>("Date", "Дата", 75));
    columns.Add(std::make_unique<FloatArchiveItem>("V1_period", 4, "V1(м³)", "%.3f", 85));
    columns.Add(std::make_unique<TimePeriodArchiveItem>("workTime_period", 78, "Твкл", false, 75));

    // The third record is of day 32, which no month has.
    std::vector<ArchiveStruct> records = {Record(5, 1.5f), Record(6, 2.5f), Record(32, 3.5f)};
    records[1].bytes[100] ^= 1; // wrong check word
    FillArchiveGrid(records, columns, sink);

    ASSERT_EQ(table.GetColCount(), 3);
    ASSERT_EQ(table.GetRowCount(), 3);
    EXPECT_EQ(table.GetCaptions(0), "Дата");
    EXPECT_EQ(table.GetCaptions(1), "V1(м³)");
    EXPECT_EQ(table.GetWidths(0), 75);
    EXPECT_EQ(table.GetWidths(1), 85);
    for (int32_t col = 0; col < 3; ++col) {
        EXPECT_EQ(table.GetColTypes(col), ColType::Text);
        EXPECT_TRUE(table.GetColReadOnly(col));
        EXPECT_EQ(table.GetColAlignment(col), ColAlignment::Center);
    }
    EXPECT_EQ(Row(table, 0), (std::vector<std::string>{"05.03.21", "1.500", "00:00"}));
    EXPECT_EQ(Colours(table, 0), (std::vector<uint32_t>{0, 0, 0}));
    EXPECT_EQ(Row(table, 1), (std::vector<std::string>{"06.03.21", "2.500", "00:00"}));
    EXPECT_EQ(Colours(table, 1), (std::vector<uint32_t>{255, 255, 255}));
    EXPECT_EQ(Row(table, 2), (std::vector<std::string>{"Некор.время", "xxxx", "xxxx"}));
    EXPECT_EQ(Colours(table, 2), (std::vector<uint32_t>{0, 255, 255}));

    // A journal refill replaces the layout and leaves no archive cell behind.
    const std::array<uint8_t, kSetupImageBytes> setup{};
    dax_namespace::JournalStruct empty;
    empty.bytes.fill(0xFF);
    FillOperatorJournalGrid(std::vector<dax_namespace::JournalStruct>{empty}, setup, {}, sink);
    ASSERT_EQ(table.GetColCount(), 4);
    ASSERT_EQ(table.GetRowCount(), 1);
    EXPECT_EQ(table.GetCaptions(1), "Параметр");
    EXPECT_EQ(table.GetWidths(1), 250);
    EXPECT_EQ(Row(table, 0), (std::vector<std::string>{"Пустая страница", "xxxx", "xxxx", "xxxx"}));
    EXPECT_EQ(Colours(table, 0), (std::vector<uint32_t>{0, 0, 0, 0}));

    FillNotStaffJournalGrid({}, sink);
    EXPECT_EQ(table.GetRowCount(), 0);
    EXPECT_EQ(table.GetCaptions(2), "Код");
    EXPECT_EQ(table.GetColAlignment(2), ColAlignment::Left);
    EXPECT_EQ(table.GetWidths(2), 300);
}

} // namespace
