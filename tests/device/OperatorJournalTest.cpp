#include "RecordBuilders.h"
#include "UnderLocale.h"

#include "device/Daxcore.h"

#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>

namespace {

using dax_namespace::JournalDecodeStruct;
using dax_namespace::JournalStruct;
using testsupport::FilledJournal;
using testsupport::Journal;

const std::initializer_list<uint8_t> kStamp = {24, 3, 5, 14, 7, 9};

JournalStruct Record(uint16_t id, uint8_t type, uint32_t oldValue, uint32_t newValue)
{
    return Journal(kStamp, static_cast<uint16_t>(type << 12 | id), oldValue, newValue);
}

uint32_t FloatBits(float value)
{
    return std::bit_cast<uint32_t>(value);
}

struct Case {
    const char* what;
    JournalStruct record;
    uint8_t heatUnit;
    uint8_t pressureUnit;
    uint8_t timeFormat;
    bool result;
    const char* parameter;
    const char* oldText;
    const char* newText;
};

class OperatorJournal : public testsupport::UnderLocale {};

TEST_P(OperatorJournal, Decoding)
{
    // Bytes 8..13 holding 24, 2, 30, 0, 0, 0 and 24, 3, 5, 14, 7, 9.
    const auto badDateTime = Journal(kStamp, 9 << 12 | 1, 0x001E0218, 0x00000000);
    const auto goodDateTime = Journal(kStamp, 9 << 12 | 1, 0x0E050318, 0x00000907);
    const Case cases[] = {
        {"heat unit list", Record(257, 2, 0, 1), 0, 0, 0, true, "Ед. изм-я тепл. энергии", "Гкал", "ГДж"},
        {"position beyond the list keeps the number", Record(257, 2, 1, 5), 0, 0, 0, true, "Ед. изм-я тепл. энергии",
         "ГДж", "5"},
        {"list applies over an empty type", Record(3, 0, 0, 1), 0, 0, 0, true, "Текущий период", "Зимний", "Летний"},
        {"pressure unit list with Latin c", Record(258, 2, 0, 1), 0, 0, 0, true, "Ед. изм-я давления", "МПа",
         "кг\x63/\x63м2"},
        {"scheme names", Record(128, 2, 0x21, 0x59), 0, 0, 0, true, "ТС1.Схема", "2.1", "5.9"},
        {"scheme code outside the table", Record(192, 2, 0x15, 0x64), 0, 0, 0, true, "ТС2.Схема", "Не использ.", "6.4"},
        {"total with volume unit", Record(512, 10, 12, FloatBits(0.5f)), 0, 0, 0, true, "V1", "12.500 м3", "0.000 м3"},
        {"mass suffix", Record(522, 8, FloatBits(1.5f), FloatBits(0.25f)), 0, 0, 0, true, "M5", "1.5 т", "0.25 т"},
        {"heat energy in GJ", Record(544, 8, FloatBits(2.5f), FloatBits(3.0f)), 1, 0, 0, true, "Q1", "2.5 (ГДж)",
         "3 (ГДж)"},
        {"heat energy suffix alone", Record(544, 0, 7, 8), 1, 0, 0, true, "Q1", " (ГДж)", " (ГДж)"},
        {"heat energy in Gcal", Record(523, 0, 7, 8), 0, 0, 0, true, "Q3", " (Гкал)", " (Гкал)"},
        {"duration as days", Record(555, 6, 1500, 99), 0, 0, 1, true, "ТС1.Траб", "1-сут 01:00", "0-сут 00:00"},
        {"duration as hours", Record(555, 6, 1500, 99), 0, 0, 0, true, "ТС1.Траб", "25:00", "00:00"},
        {"day and month", Record(267, 4, 0x0A03, 0x0C1F), 0, 0, 0, true, "Начало зимнего периода", "10/03", "12/31"},
        {"mask of 6 positions", Record(66, 2, 0x05, 0xFF), 0, 0, 0, true, "Вкл.фильтра расхода", "1-3---",
         "123456"},
        {"mask of 16 positions", Record(75, 4, 0x8001, 0x10000), 0, 0, 0, true, "Маска сигналов выхода",
         "1--------------G", "----------------"},
        {"pressure in MPa", Record(353, 12, 1500, 65535), 0, 0, 0, true, "P_дог1", "0.1500 (МПа)", "6.5535 (МПа)"},
        {"pressure in kgf/cm2", Record(353, 12, 1500, 0), 0, 1, 0, true, "P_дог1", "1.500 (кгс/см2)",
         "0.000 (кгс/см2)"},
        {"temperature", Record(332, 11, 0xFE00, 2150), 0, 0, 0, true, "t_дог1", "-5.12 (°C)", "21.50 (°C)"},
        {"yes and no", Record(64, 1, 0x100, 0x2), 0, 0, 0, true, "Разрешить использование пароля", "Нет", "Да"},
        {"unsigned byte", Record(16, 2, 0xFF, 0x1FF), 0, 0, 0, true, "Заводской номер", "255", "255"},
        {"signed byte", Record(16, 3, 0xFF, 0x7F), 0, 0, 0, true, "Заводской номер", "-1", "127"},
        {"unsigned word", Record(16, 4, 0xFFFE, 0x10001), 0, 0, 0, true, "Заводской номер", "65534", "1"},
        {"signed word", Record(16, 5, 0xFFFE, 0x7FFF), 0, 0, 0, true, "Заводской номер", "-2", "32767"},
        {"unsigned long", Record(16, 6, 0xFFFFFFFF, 0), 0, 0, 0, true, "Заводской номер", "4294967295", "0"},
        {"signed long", Record(16, 7, 0xFFFFFFFF, 0x80000000), 0, 0, 0, true, "Заводской номер", "-1",
         "-2147483648"},
        {"float", Record(135, 8, FloatBits(0.1f), FloatBits(1e10f)), 0, 0, 0, true, "ТС1.Кпр", "0.1", "1e+10"},
        {"types 13 to 15 show nothing", Record(74, 13, 5, 6), 0, 0, 0, true, "Таймаут авт.реж.", "", ""},
        {"type 15", Record(74, 15, 5, 6), 0, 0, 0, true, "Таймаут авт.реж.", "", ""},
        {"date-time value", goodDateTime, 0, 0, 0, true, "Текущее время", "05/03/24 14:07:09", ""},
        {"invalid date-time value", badDateTime, 0, 0, 0, true, "Текущее время", "Некоректное время", ""},
        {"reaction of heat system 1", Record(161, 2, 2, 4), 0, 0, 0, true, "ТС1.G1*Kпр >= G2 > G1",
         "M1=M2=(M1+M2)/2", "M2 = M1"},
        {"reaction of heat system 2", Record(227, 2, 2, 5), 0, 0, 0, true, "ТС2.G4*Kпр >= G3>G4", "M3=M4=(M3+M4)/2",
         "5"},
        {"pulse weight suffix", Record(279, 0, 0, 0), 0, 0, 0, true, "Вес импульса V1", " м3/имп", " м3/имп"},
        {"flow suffix", Record(308, 8, FloatBits(1.25f), 0), 0, 0, 0, true, "G_отс6", "1.25 м3/ч", "0 м3/ч"},
        {"id 700", Record(700, 2, 1, 2), 0, 0, 0, true, "Параметр 700", "1", "2"},
        {"id 0", Record(0, 0, 1, 2), 0, 0, 0, true, "Параметр 0", "", ""},
        {"id 4095", Record(4095, 7, 1, 0xFFFFFFFE), 0, 0, 0, true, "Параметр 4095", "1", "-2"},
        {"skipped page", FilledJournal(0x00), 0, 0, 0, false, "xxxx", "xxxx", "xxxx"},
        {"empty page", FilledJournal(0xFF), 0, 0, 0, false, "xxxx", "xxxx", "xxxx"},
    };
    for (const auto& c : cases) {
        JournalDecodeStruct out;
        out.Parameter = out.OldText = out.NewText = "stale";
        EXPECT_EQ(DecodeOperatorJournalRecord(out, c.record, c.heatUnit, c.pressureUnit, c.timeFormat), c.result)
            << c.what;
        EXPECT_EQ(out.Parameter, c.parameter) << c.what;
        EXPECT_EQ(out.OldText, c.oldText) << c.what;
        EXPECT_EQ(out.NewText, c.newText) << c.what;
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(OperatorJournal);

TEST(OperatorJournalTime, InvalidDateGivesZeroTimeNotThePreviousOne)
{
    JournalDecodeStruct out;
    ASSERT_TRUE(DecodeOperatorJournalRecord(out, Record(1, 0, 0, 0), 0, 0, 0));
    EXPECT_EQ(out.TimeText, "05/03/24 14:07:09");
    EXPECT_DOUBLE_EQ(out.Time, 45356 + (14 * 3600 + 7 * 60 + 9) / 86400.0);

    ASSERT_TRUE(DecodeOperatorJournalRecord(out, Journal({24, 2, 30, 1, 2, 3}, 1, 0, 0), 0, 0, 0));
    EXPECT_EQ(out.TimeText, "Некоректное время");
    EXPECT_EQ(out.Time, 0);

    ASSERT_TRUE(DecodeOperatorJournalRecord(out, Journal({24, 2, 29, 25, 0, 0}, 1, 0, 0), 0, 0, 0));
    EXPECT_EQ(out.TimeText, "Некоректное время");
    EXPECT_EQ(out.Time, 45351) << "the date alone when only the time of day is invalid";

    EXPECT_FALSE(DecodeOperatorJournalRecord(out, FilledJournal(0x00), 0, 0, 0));
    EXPECT_EQ(out.TimeText, "Пропущ.страница");
    EXPECT_EQ(out.Time, 0);
}

struct IdRange {
    uint16_t first;
    uint16_t last;
};

// The named ids as stated, and the ids stated to have no name of their own.
const IdRange kNamedRanges[] = {{1, 4},     {16, 32},   {64, 75},   {128, 135}, {144, 152}, {156, 164}, {173, 175},
                                {192, 199}, {208, 216}, {220, 228}, {256, 358}, {512, 539}, {544, 560}, {592, 608}};
const IdRange kUnnamedRanges[] = {{0, 0},     {5, 15},    {33, 63},   {76, 127},  {136, 143}, {153, 155},
                                  {165, 172}, {176, 191}, {200, 207}, {217, 219}, {229, 255}, {359, 511},
                                  {540, 543}, {561, 591}, {609, 4095}};

TEST(OperatorVocabulary, ParameterIdsCoverTheirRangesExactly)
{
    EXPECT_EQ(OperatorParameters.size(), 253u);
    for (size_t i = 1; i < OperatorParameters.size(); ++i)
        EXPECT_LT(OperatorParameters[i - 1].Id, OperatorParameters[i].Id) << "ascending at " << i;
    std::set<uint16_t> named;
    for (const auto& r : kNamedRanges)
        for (uint32_t id = r.first; id <= r.last; ++id)
            named.insert(static_cast<uint16_t>(id));
    EXPECT_EQ(named.size(), 253u);
    std::set<uint16_t> unnamed;
    for (const auto& r : kUnnamedRanges)
        for (uint32_t id = r.first; id <= r.last; ++id)
            unnamed.insert(static_cast<uint16_t>(id));
    EXPECT_EQ(named.size() + unnamed.size(), 4096u) << "the two lists split 0..4095";
    for (uint32_t id = 0; id < 4096; ++id) {
        const OperatorParameter* p = FindOperatorParameter(static_cast<uint16_t>(id));
        EXPECT_EQ(p != nullptr, named.count(static_cast<uint16_t>(id)) == 1) << id;
        EXPECT_EQ(p == nullptr, unnamed.count(static_cast<uint16_t>(id)) == 1) << id;
        if (p) {
            EXPECT_EQ(p->Id, id);
            EXPECT_FALSE(std::string(p->Name).empty()) << id;
        }
    }
}

TEST(OperatorVocabulary, ListValuedParametersHaveTheirStatedLengths)
{
    struct Stated {
        uint16_t first, last;
        size_t count;
    };
    const Stated stated[] = {
        {3, 3, 2},     {69, 69, 2},   {73, 73, 2},   {129, 130, 6}, {131, 131, 3}, {144, 145, 4}, {146, 146, 3},
        {147, 147, 6}, {148, 149, 7}, {150, 150, 3}, {151, 151, 7}, {152, 152, 4}, {156, 159, 4}, {160, 160, 3},
        {161, 161, 5}, {162, 162, 4}, {163, 163, 5}, {164, 164, 4}, {193, 194, 6}, {195, 195, 3}, {208, 209, 4},
        {210, 210, 3}, {211, 211, 6}, {212, 213, 7}, {214, 214, 3}, {215, 215, 7}, {216, 216, 4}, {220, 223, 4},
        {224, 224, 3}, {225, 225, 5}, {226, 226, 4}, {227, 227, 5}, {228, 228, 4}, {256, 256, 3}, {257, 258, 2},
        {260, 260, 2}, {265, 265, 3}, {268, 274, 3}, {275, 275, 2}, {276, 276, 5}, {277, 278, 6}, {309, 314, 2},
        {315, 320, 5}, {321, 326, 6}, {327, 331, 4}, {347, 352, 4},
    };
    size_t listed = 0;
    for (const auto& s : stated)
        for (uint32_t id = s.first; id <= s.last; ++id) {
            const OperatorParameter* p = FindOperatorParameter(static_cast<uint16_t>(id));
            ASSERT_NE(p, nullptr) << id;
            EXPECT_EQ(p->Rule, OperatorValueRule::List) << id;
            EXPECT_EQ(p->List.size(), s.count) << id;
            ++listed;
        }
    size_t withList = 0;
    for (const auto& p : OperatorParameters) {
        withList += p.Rule == OperatorValueRule::List ? 1 : 0;
        for (const char* entry : p.List)
            EXPECT_TRUE(entry != nullptr && *entry != '\0') << p.Id;
    }
    EXPECT_EQ(withList, listed);
}

TEST(OperatorVocabulary, ReactionSettingsOfBothHeatSystemsMatch)
{
    for (uint16_t id = 144; id <= 164; ++id) {
        const OperatorParameter* one = FindOperatorParameter(id);
        const OperatorParameter* two = FindOperatorParameter(static_cast<uint16_t>(id + 64));
        ASSERT_EQ(one == nullptr, two == nullptr) << id;
        if (!one)
            continue;
        EXPECT_EQ(std::string(one->Name).rfind("ТС1.", 0), 0u) << id;
        EXPECT_EQ(std::string(two->Name).rfind("ТС2.", 0), 0u) << id + 64;
        EXPECT_EQ(one->List.size(), two->List.size()) << id;
    }
    EXPECT_EQ(std::string(FindOperatorParameter(135)->Name), "ТС1.Кпр"); // all Cyrillic
    EXPECT_EQ(std::string(FindOperatorParameter(545)->Name), "Q1o");     // Latin o
}

TEST(OperatorVocabulary, SettingListsAreComplete)
{
    const std::span<const char* const> lists[] = {
        SeasonNames, InputModeNames, OutputModeNames, TempChannelNames, StopModeNames, FlowFailReactionNames,
        EmptyPipeReactionNames, LowFlowReactionNames, BelowMinFlowReactionNames, AboveMaxFlowReactionNames,
        TempFailReactionNames, TempRangeReactionNames, PressureFailReactionNames, HeatReactionNames,
        PowerReactionNames, Imbalance12ReactionNames, Imbalance34ReactionNames, Q3FormulaNames, HeatUnitNames,
        PressureUnitNames, ColdTempSourceNames, SeasonChangeNames, ColdChannelModeNames, ColdFlowFailReactionNames,
        ColdEmptyPipeReactionNames, ColdLowFlowReactionNames, ColdBelowMinFlowReactionNames,
        ColdAboveMaxFlowReactionNames, FlowInputModeNames, FlowControlNames, EmptyPipeTestNames, SensorCurveNames,
        PressureRangeNames};
    EXPECT_EQ(std::size(lists), 33u);
    for (const auto& list : lists)
        for (const char* entry : list)
            EXPECT_TRUE(entry != nullptr && *entry != '\0');
}

} // namespace
