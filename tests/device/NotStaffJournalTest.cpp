#include "RecordBuilders.h"

#include "device/Daxcore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using dax_namespace::NotStaffDecodedStruct;
using testsupport::FilledJournal;
using testsupport::Journal;

struct Row {
    std::string source;
    std::string item;
    std::string state;
};

struct Case {
    const char* what;
    dax_namespace::JournalStruct record;
    bool result;
    std::vector<Row> rows;
};

const std::initializer_list<uint8_t> kStamp = {24, 3, 5, 14, 7, 9};

TEST(NotStaffJournal, Decoding)
{
    auto month0 = Journal({24, 0, 5, 14, 7, 9}, 8, 0, 0x2000);
    const Case cases[] = {
        {"two flags of heat system 1", Journal(kStamp, 6, 0x0000, 0x1001), true,
         {{"НС ТС1", "[1] Q1 < 0", "Установлен(а)"}, {"НС ТС1", "[D] Отсутствие питания", "Установлен(а)"}}},
        {"channel 3 cleared", Journal(kStamp, 2, 0x05, 0x04), true, {{"Кан.НС3", "[1] Отказ ПР", "Снят(а)"}}},
        {"channel label 3", Journal(kStamp, 0, 0, 0x04), true, {{"Кан.НС1", "[3] Gv < G_отc", "Установлен(а)"}}},
        {"channel 5", Journal(kStamp, 4, 0x80, 0), true, {{"Кан.НС5", "[8] Отказ ПД", "Снят(а)"}}},
        {"unnamed heat-system bit", Journal(kStamp, 7, 0, 1u << 9), true, {{"НС ТС2", "[A] ", "Установлен(а)"}}},
        {"heat system 2 top flag", Journal(kStamp, 7, 1u << 14, 0), true, {{"НС ТС2", "[F] Останов ТС", "Снят(а)"}}},
        {"event group has 8 flags", Journal(kStamp, 10, 0, 1u << 8), true, {}},
        {"event 8", Journal(kStamp, 10, 0, 0x80), true, {{"Фл.событий", "[8] Событие 8", "Установлен(а)"}}},
        {"hardware bits above 13 ignored", Journal(kStamp, 8, 0, 0xC000 | 0x2000), true,
         {{"Апп.НС", "[E] Разряд батареи", "Установлен(а)"}}},
        {"code 5 has no group", Journal(kStamp, 5, 0, 0xFFFF), true, {}},
        {"code 11 has no group", Journal(kStamp, 11, 0, 0xFFFF), true, {}},
        {"bits 12-15 of the code ignored", Journal(kStamp, 0x2009, 0, 0x800), true,
         {{"Фл.реж.раб.", "[C] Коррекция времени", "Установлен(а)"}}},
        {"equal flag words", Journal(kStamp, 6, 0x1234, 0x1234), true, {}},
        {"sixteen 0xFF", FilledJournal(0xFF), false, {}},
        {"sixteen 0x00", FilledJournal(0x00), false, {}},
        {"month 0 decodes with incorrect time", month0, true, {{"Апп.НС", "[E] Разряд батареи", "Установлен(а)"}}},
    };
    for (const auto& c : cases) {
        std::vector<NotStaffDecodedStruct> rows;
        EXPECT_EQ(DecodeNotStaffJournalRecord(rows, c.record), c.result) << c.what;
        ASSERT_EQ(rows.size(), c.rows.size()) << c.what;
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].Source, c.rows[i].source) << c.what;
            EXPECT_EQ(rows[i].Item, c.rows[i].item) << c.what;
            EXPECT_EQ(rows[i].State, c.rows[i].state) << c.what;
        }
    }
}

TEST(NotStaffJournal, TimeStampsAndAppending)
{
    std::vector<NotStaffDecodedStruct> rows;
    ASSERT_TRUE(DecodeNotStaffJournalRecord(rows, Journal(kStamp, 9, 0, 0x3)));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].TimeText, "05/03/24 14:07:09");
    EXPECT_DOUBLE_EQ(rows[0].Time, 45356 + (14 * 3600 + 7 * 60 + 9) / 86400.0);
    EXPECT_EQ(rows[1].Item, "[2] Сигнал на входе UV2");

    // Rows are appended, never cleared; an invalid date gives time 0 with its own text.
    ASSERT_TRUE(DecodeNotStaffJournalRecord(rows, Journal({24, 13, 5, 14, 7, 9}, 9, 0x3, 0x1)));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].Time, 0);
    EXPECT_EQ(rows[2].TimeText, "Некоректное время");
    EXPECT_EQ(rows[2].State, "Снят(а)");

    // A page marker appends nothing and leaves earlier rows alone.
    EXPECT_FALSE(DecodeNotStaffJournalRecord(rows, FilledJournal(0x00)));
    EXPECT_EQ(rows.size(), 3u);
}

TEST(NotStaffJournal, VocabularyFacts)
{
    EXPECT_EQ(kFlagLabels.size(), 31u);
    EXPECT_EQ(ChannelFlagNames.size(), 8u);
    EXPECT_EQ(HeatSystem1FlagNames.size(), 15u);
    EXPECT_EQ(HeatSystem2FlagNames.size(), 15u);
    EXPECT_EQ(HardwareFlagNames.size(), 14u);
    EXPECT_EQ(ModeFlagNames.size(), 14u);
    EXPECT_EQ(EventFlagNames.size(), 8u);
    // Exactly bits 8-11 of the heat-system groups have no name.
    for (size_t bit = 0; bit < 15; ++bit) {
        const bool unnamed = bit >= 8 && bit <= 11;
        EXPECT_EQ(std::string(HeatSystem1FlagNames[bit]).empty(), unnamed) << bit;
        EXPECT_EQ(std::string(HeatSystem2FlagNames[bit]).empty(), unnamed) << bit;
    }
    for (const auto& group : {std::span<const char* const>(ChannelFlagNames), std::span<const char* const>(HardwareFlagNames),
                              std::span<const char* const>(ModeFlagNames), std::span<const char* const>(EventFlagNames)})
        for (const char* name : group)
            EXPECT_FALSE(std::string(name).empty());
    // Mixed alphabets as the instrument shows them: Latin c in "G_отc", Latin K in "Kпр".
    EXPECT_EQ(std::string(ChannelFlagNames[2]), "Gv < G_от\x63");
    EXPECT_EQ(std::string(HeatSystem1FlagNames[4]).substr(0, 4), "G1*K");
    size_t withGroup = 0;
    for (const auto& group : NotStaffGroups)
        withGroup += group.Names.empty() ? 0 : 1;
    EXPECT_EQ(withGroup, 10u);
}

} // namespace

namespace {

// Any sixteen bytes decode without failing: journal records come from the instrument or a file.
TEST(JournalDecoders, TakeAnyRecord)
{
    uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<uint8_t>(state >> 24);
    };
    std::vector<NotStaffDecodedStruct> rows;
    dax_namespace::JournalDecodeStruct decoded;
    for (int i = 0; i < 20000; ++i) {
        dax_namespace::JournalStruct record;
        for (auto& b : record.bytes)
            b = next();
        if (i % 4 == 0) { // a plausible time stamp now and then
            record.bytes[1] = static_cast<uint8_t>(1 + record.bytes[1] % 12);
            record.bytes[2] = static_cast<uint8_t>(1 + record.bytes[2] % 28);
        }
        rows.clear();
        EXPECT_NO_THROW(DecodeNotStaffJournalRecord(rows, record));
        EXPECT_LE(rows.size(), 15u);
        EXPECT_NO_THROW(DecodeOperatorJournalRecord(decoded, record, record.bytes[0], record.bytes[1], record.bytes[2]));
    }
}

} // namespace
