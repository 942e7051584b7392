#include "RecordBuilders.h"

#include "presentation/JournalTables.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>
#include <vector>

namespace {

using dax_namespace::JournalStruct;
using testsupport::FilledJournal;
using testsupport::Journal;

const std::initializer_list<uint8_t> kStamp = {24, 3, 5, 14, 7, 9};

JournalStruct Operator(uint16_t id, uint8_t type, uint32_t oldValue, uint32_t newValue)
{
    return Journal(kStamp, static_cast<uint16_t>(type << 12 | id), oldValue, newValue);
}

std::array<uint8_t, kSetupImageBytes> SetupImage(uint16_t heatUnit = 0, uint16_t pressureUnit = 0)
{
    std::array<uint8_t, kSetupImageBytes> image{};
    image[2 * (40180 - 40001)] = static_cast<uint8_t>(heatUnit >> 8);
    image[2 * (40180 - 40001) + 1] = static_cast<uint8_t>(heatUnit);
    image[2 * (40181 - 40001)] = static_cast<uint8_t>(pressureUnit >> 8);
    image[2 * (40181 - 40001) + 1] = static_cast<uint8_t>(pressureUnit);
    return image;
}

std::vector<std::vector<std::string>> AllRows(const VectorTableSink& grid)
{
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < grid.Rows().size(); ++i)
        rows.push_back(grid.RowTexts(i));
    return rows;
}

TEST(JournalTable, NotStaffColumns)
{
    VectorTableSink grid;
    FillNotStaffJournalGrid({}, grid);
    const std::vector<TableColumn> expected = {
        {"Дата/Время", 135, CellAlignment::Center, true},
        {"НС", 100, CellAlignment::Center, true},
        {"Код", 300, CellAlignment::Left, true},
        {"Снят / Установлен", 150, CellAlignment::Center, true},
    };
    EXPECT_EQ(grid.Columns(), expected);
    EXPECT_TRUE(grid.Rows().empty());
}

TEST(JournalTable, OperatorColumns)
{
    VectorTableSink grid;
    FillOperatorJournalGrid({}, SetupImage(), {}, grid);
    const std::vector<TableColumn> expected = {
        {"Дата/Время", 135, CellAlignment::Center, true},
        {"Параметр", 250, CellAlignment::Center, true},
        {"Старое значение", 150, CellAlignment::Center, true},
        {"Новое значение", 150, CellAlignment::Center, true},
    };
    EXPECT_EQ(grid.Columns(), expected);
    EXPECT_TRUE(grid.Rows().empty());
}

TEST(JournalTable, NotStaffOneLinePerChangedFlag)
{
    const std::vector<JournalStruct> journal = {
        Journal(kStamp, 6, 0x0000, 0x1001), // two flags of heat system 1 set
        FilledJournal(0x00),                // a skipped page
        Journal(kStamp, 6, 0x1234, 0x1234), // nothing changed
    };
    VectorTableSink grid;
    FillNotStaffJournalGrid(journal, grid);
    const std::vector<std::vector<std::string>> expected = {
        {"05/03/24 14:07:09", "НС ТС1", "[1] Q1 < 0", "Установлен(а)"},
        {"05/03/24 14:07:09", "НС ТС1", "[D] Отсутствие питания", "Установлен(а)"},
    };
    EXPECT_EQ(AllRows(grid), expected);
    EXPECT_EQ(grid.RowCountSets(), 1u);
    for (const auto& row : grid.Rows())
        for (const auto& cell : row)
            EXPECT_EQ(cell.Colour, kCellBlack);
}

TEST(JournalTable, OperatorOneLinePerRecord)
{
    const std::vector<JournalStruct> journal = {
        Operator(544, 8, std::bit_cast<uint32_t>(2.5f), std::bit_cast<uint32_t>(3.0f)),
        FilledJournal(0xFF),
        Operator(555, 6, 1500, 99),
    };
    VectorTableSink grid;
    FillOperatorJournalGrid(journal, SetupImage(1), {}, grid);
    const std::vector<std::vector<std::string>> expected = {
        {"05/03/24 14:07:09", "Q1", "2.5 (ГДж)", "3 (ГДж)"},
        {"Пустая страница", "xxxx", "xxxx", "xxxx"},
        {"05/03/24 14:07:09", "ТС1.Траб", "25:00", "00:00"},
    };
    EXPECT_EQ(AllRows(grid), expected);
    EXPECT_EQ(grid.RowCountSets(), 1u);
}

TEST(JournalTable, OperatorUnitsAndTimeFormat)
{
    const std::vector<JournalStruct> journal = {
        Operator(544, 8, std::bit_cast<uint32_t>(2.5f), std::bit_cast<uint32_t>(3.0f)),
        Operator(555, 6, 1500, 99),
    };
    struct Case {
        const char* what;
        uint16_t heatUnit;
        int32_t timeFormat;
        const char* energy;
        const char* duration;
    };
    const Case cases[] = {
        {"Gcal, hours", 0, 0, "2.5 (Гкал)", "25:00"},
        {"GJ, days", 1, 1, "2.5 (ГДж)", "1-сут 01:00"},
        // The low bytes decide, as for the archive captions.
        {"high bytes alone", 0x0100, 0x100, "2.5 (Гкал)", "25:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DisplayOptions options;
        options.TimeFormat = c.timeFormat;
        VectorTableSink grid;
        FillOperatorJournalGrid(journal, SetupImage(c.heatUnit), options, grid);
        ASSERT_EQ(grid.Rows().size(), 2u);
        EXPECT_EQ(grid.RowTexts(0)[2], c.energy);
        EXPECT_EQ(grid.RowTexts(1)[2], c.duration);
    }
}

TEST(JournalTable, RefillAfterEmptyingKeepsTheCaptions)
{
    VectorTableSink notStaff;
    VectorTableSink operatorGrid;
    FillNotStaffJournalGrid(std::vector<JournalStruct>{Journal(kStamp, 8, 0, 0x3)}, notStaff);
    FillOperatorJournalGrid(std::vector<JournalStruct>{Operator(555, 6, 1, 2), Operator(555, 6, 3, 4)},
                            SetupImage(), {}, operatorGrid);
    ASSERT_EQ(notStaff.Rows().size(), 2u);
    ASSERT_EQ(operatorGrid.Rows().size(), 2u);

    FillNotStaffJournalGrid({}, notStaff);
    FillOperatorJournalGrid({}, SetupImage(), {}, operatorGrid);
    EXPECT_EQ(notStaff.Captions(), (std::vector<std::string>{"Дата/Время", "НС", "Код", "Снят / Установлен"}));
    EXPECT_EQ(operatorGrid.Captions(),
              (std::vector<std::string>{"Дата/Время", "Параметр", "Старое значение", "Новое значение"}));
    EXPECT_TRUE(notStaff.Rows().empty());
    EXPECT_TRUE(operatorGrid.Rows().empty());
}

TEST(JournalTable, NoTextCarriesOverFromThePreviousRecord)
{
    // A skipped page after a decoded record: its row holds only its own texts.
    const std::vector<JournalStruct> journal = {
        Operator(544, 8, std::bit_cast<uint32_t>(2.5f), std::bit_cast<uint32_t>(3.0f)),
        FilledJournal(0x00),
        Operator(0xFFF, 0, 0, 0),
    };
    VectorTableSink grid;
    FillOperatorJournalGrid(journal, SetupImage(), {}, grid);
    ASSERT_EQ(grid.Rows().size(), 3u);
    EXPECT_EQ(grid.RowTexts(1), (std::vector<std::string>{"Пропущ.страница", "xxxx", "xxxx", "xxxx"}));
    for (const std::string& text : grid.RowTexts(2))
        EXPECT_EQ(text.find("Q1"), std::string::npos) << text;
}

} // namespace
