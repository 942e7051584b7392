#include "RecordBuilders.h"
#include "ReportFakes.h"

#include "devreport/DaxReportSetupFrame.h"
#include "device/Daxhelper.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

using dax_namespace::ArchiveStruct;
using dax_namespace::JournalStruct;
using dax_namespace::TotalArchiveStruct;
using testsupport::Archive;
using testsupport::Journal;
using testsupport::Total;

double June(int day)
{
    return EncodeDate(2024, 6, day);
}

ReportSetupStruct Choice(int32_t type, double begin, double end, bool totals = false, bool hours = false)
{
    ReportSetupStruct setup;
    setup.ReportType = type;
    setup.BeginPeriod = begin;
    setup.EndPeriod = end;
    setup.TotalValuesShow = totals;
    setup.HourArchiveShow = hours;
    return setup;
}

// The dates of records as "dd.mm.yy" (and "hh" for hours).
template <typename Record>
std::vector<std::string> Dates(const std::vector<Record>& records, bool withHour = false)
{
    std::vector<std::string> dates;
    for (const Record& r : records) {
        char text[16];
        if (withHour)
            std::snprintf(text, sizeof text, "%02u.%02u.%02u %02u", r.bytes[2], r.bytes[1], r.bytes[0], r.bytes[3]);
        else
            std::snprintf(text, sizeof text, "%02u.%02u.%02u", r.bytes[2], r.bytes[1], r.bytes[0]);
        dates.emplace_back(text);
    }
    return dates;
}

class SelectionTest : public testing::Test {
protected:
    void SetUp() override
    {
        DaxHelperLocker lock(&helper);
        for (uint8_t day = 8; day <= 14; ++day) {
            helper.DayArchive.push_back(Archive({24, 6, day}));
            helper.TotalDayArchive.push_back(Total({24, 6, day}, [day](TotalArchiveStruct& r) {
                r.WriteF32(TotalArchiveStruct::VolumeOffset(1), 10.0f * day);
                r.WriteU32(TotalArchiveStruct::kWorkTime, 1440u * day);
            }));
            for (uint8_t hour : {0, 23})
                helper.HourArchive.push_back(Archive({24, 6, day, hour}));
        }
    }

    DaxHelper helper;
    TReportData data;
    reporttest::RecordingReportUi ui;
};

struct PeriodCase {
    const char* Name;
    int Begin;
    int End;
    std::vector<std::string> Days;
};

void PrintTo(const PeriodCase& c, std::ostream* out)
{
    *out << c.Name;
}

class SelectionPeriods : public SelectionTest, public testing::WithParamInterface<PeriodCase> {};

const PeriodCase kPeriodCases[] = {
    {"BothEndsIncluded", 10, 12, {"10.06.24", "11.06.24", "12.06.24"}},
    {"OneDay", 11, 11, {"11.06.24"}},
    {"FirstRecord", 1, 8, {"08.06.24"}},
    {"LastRecord", 14, 30, {"14.06.24"}},
    {"Everything", 1, 30, {"08.06.24", "09.06.24", "10.06.24", "11.06.24", "12.06.24", "13.06.24", "14.06.24"}},
};

TEST_P(SelectionPeriods, SelectsTheDaysOfThePeriod)
{
    const PeriodCase& c = GetParam();
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(0, June(c.Begin), June(c.End))));
    EXPECT_EQ(Dates(data.DayRecords), c.Days);
    EXPECT_TRUE(data.HourRecords.empty()) << "hours only when asked for";
    EXPECT_TRUE(data.TotalRows.empty());
    EXPECT_TRUE(ui.Messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Table, SelectionPeriods, testing::ValuesIn(kPeriodCases),
                         [](const testing::TestParamInfo<PeriodCase>& info) { return std::string(info.param.Name); });

TEST_F(SelectionTest, OneDayWithTotalsNeedsTheDayBeforeAndTheDay)
{
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(0, June(11), June(11), true, true)));
    ASSERT_EQ(data.TotalRows.size(), 3u);
    EXPECT_EQ(Dates(data.TotalRows), (std::vector<std::string>{"10.06.24", "11.06.24", "11.06.24"}));
    EXPECT_EQ(data.TotalCaptions[0], QStringLiteral("11.06.24   00:00"));
    EXPECT_EQ(data.TotalCaptions[1], QStringLiteral("11.06.24   24:00"));
    EXPECT_EQ(data.TotalCaptions[2], QStringLiteral("Итого за период"));
    EXPECT_EQ(data.PeriodTotals.Volume(1), 10.0f);
    EXPECT_EQ(data.PeriodTotals.WorkTime(), 1440u);
    EXPECT_EQ(Dates(data.HourRecords, true), (std::vector<std::string>{"11.06.24 00", "11.06.24 23"}));
    // The other bytes, date and check word included, are the end record's.
    EXPECT_EQ(data.PeriodTotals.StoredCheckWord(), data.EndTotals.StoredCheckWord());
}

TEST_F(SelectionTest, RecordsWithoutADateAreSkippedAndALeapDayIsTaken)
{
    {
        DaxHelperLocker lock(&helper);
        helper.DayArchive = {Archive({24, 2, 28}), testsupport::FilledArchive(0x00), testsupport::FilledArchive(0xFF),
                             Archive({23, 2, 29}), Archive({24, 2, 29}), Archive({24, 13, 1}), Archive({24, 3, 1})};
    }
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(0, EncodeDate(2023, 1, 1), EncodeDate(2024, 12, 31))));
    EXPECT_EQ(Dates(data.DayRecords), (std::vector<std::string>{"28.02.24", "29.02.24", "01.03.24"}));
    EXPECT_TRUE(ui.Messages.isEmpty());
}

TEST_F(SelectionTest, ARecordWithABadCheckWordIsSelected)
{
    {
        DaxHelperLocker lock(&helper);
        helper.DayArchive[3].bytes[200] ^= 0x55; // 11 June
    }
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(0, June(10), June(12))));
    ASSERT_EQ(data.DayRecords.size(), 3u);
    EXPECT_FALSE(data.DayRecords[1].IsCheckWordValid());
    EXPECT_TRUE(data.IsBadRecord(ReportDataSetTag::Day, 1));
    EXPECT_FALSE(data.IsBadRecord(ReportDataSetTag::Day, 0));
}

struct MissingCase {
    const char* Name;
    int32_t Type;
    int Begin;
    int End;
    bool Totals;
    const char* Message;
};

void PrintTo(const MissingCase& c, std::ostream* out)
{
    *out << c.Name;
}

class SelectionMissing : public SelectionTest, public testing::WithParamInterface<MissingCase> {};

const MissingCase kMissingCases[] = {
    {"NoDays", 0, 20, 25, false, "Отсутствуют суточные данные за выбранный период !"},
    {"NoTotalsBeforeTheFirstDay", 0, 8, 10, true, "Отсутствуют итоговые данные на начальную дату периода !"},
    {"NoTotalsOnTheLastDay", 0, 13, 20, true, "Отсутствуют итоговые данные на конечную дату периода !"},
    {"NoAbnormalSituationEntries", 1, 1, 30, false, "Журнал НС за выбранный период отсутствует !"},
    {"NoOperatorEntries", 2, 1, 30, false, "Журнал оператора за выбранный период отсутствует !"},
};

TEST_P(SelectionMissing, ShowsTheMessageAndAnswersFalse)
{
    const MissingCase& c = GetParam();
    EXPECT_FALSE(SelectReportPeriodData(data, helper, Choice(c.Type, June(c.Begin), June(c.End), c.Totals)));
    // An empty caption: the message box takes the application's title.
    EXPECT_EQ(ui.Messages, QStringList{QStringLiteral(": ") + QString::fromUtf8(c.Message)});
    EXPECT_TRUE(data.TotalRows.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, SelectionMissing, testing::ValuesIn(kMissingCases),
                         [](const testing::TestParamInfo<MissingCase>& info) { return std::string(info.param.Name); });

TEST_F(SelectionTest, ADecreasedFloatIsNegativeAndAnIntegerWraps)
{
    {
        DaxHelperLocker lock(&helper);
        helper.TotalDayArchive = {
            Total({24, 6, 9}, [](TotalArchiveStruct& r) {
                r.WriteF32(TotalArchiveStruct::kQ3, 5.5f);
                r.WriteU32(TotalArchiveStruct::EventTimeOffset(8), 1);
                r.WriteF32(TotalArchiveStruct::HeatEnergyOffset(2, dax_namespace::HeatEnergy::Min), 0.25f);
                r.WriteU32(TotalArchiveStruct::HeatTimeOffset(2, dax_namespace::HeatTime::Min), 7);
                r.bytes[116] = 0xAB; // no counter: the end record's byte stays
            }),
            Total({24, 6, 10}, [](TotalArchiveStruct& r) {
                r.WriteF32(TotalArchiveStruct::kQ3, 2.0f);
                r.WriteU32(TotalArchiveStruct::EventTimeOffset(8), 0);
                r.WriteF32(TotalArchiveStruct::HeatEnergyOffset(2, dax_namespace::HeatEnergy::Min), 1.0f);
                r.WriteU32(TotalArchiveStruct::HeatTimeOffset(2, dax_namespace::HeatTime::Min), 10);
                r.bytes[116] = 0x12;
            }),
        };
    }
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(0, June(10), June(10), true)));
    EXPECT_EQ(data.PeriodTotals.Q3(), -3.5f);
    EXPECT_EQ(data.PeriodTotals.EventTime(8), 0xFFFFFFFFu);
    EXPECT_EQ(data.PeriodTotals.HeatSystemEnergy(2, dax_namespace::HeatEnergy::Min), 0.75f);
    EXPECT_EQ(data.PeriodTotals.HeatSystemTime(2, dax_namespace::HeatTime::Min), 3u);
    EXPECT_EQ(data.PeriodTotals.bytes[116], 0x12);
    EXPECT_EQ(Dates(data.TotalRows), (std::vector<std::string>{"09.06.24", "10.06.24", "10.06.24"}));
}

TEST_F(SelectionTest, AccumulatorsOrTheDaysOnceAndAJournalReportZeroesThem)
{
    {
        DaxHelperLocker lock(&helper);
        helper.DayArchive = {
            Archive({24, 6, 10}, [](ArchiveStruct& r) {
                r.WriteU8(ArchiveStruct::ChannelFlagsOffset(1), 0x01);
                r.WriteU16(ArchiveStruct::kHardwareFlags, 0x0003);
                r.WriteU16(ArchiveStruct::HeatSystemFlagsOffset(1), 0x0100);
            }),
            Archive({24, 6, 11}, [](ArchiveStruct& r) {
                r.WriteU8(ArchiveStruct::ChannelFlagsOffset(6), 0x80);
                r.WriteU16(ArchiveStruct::kHardwareFlags, 0x0002);
                r.WriteU16(ArchiveStruct::kModeFlags, 0x2000);
                r.WriteU16(ArchiveStruct::HeatSystemFlagsOffset(2), 0x4001);
            }),
            Archive({24, 6, 12}, [](ArchiveStruct& r) { r.WriteU16(ArchiveStruct::kHardwareFlags, 0x8000); }),
        };
        helper.OperatorJournal = {Journal({24, 6, 11, 8, 0, 0}, 3, 0, 1)};
    }
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(0, June(10), June(11))));
    EXPECT_EQ(data.ChanelNotStaff, (std::array<uint8_t, 6>{0x01, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(data.HardwareNotStaff, 0x0003);
    EXPECT_EQ(data.ModeFlags, 0x2000);
    EXPECT_EQ(data.HeatSystem1NotStaff, 0x0100);
    EXPECT_EQ(data.HeatSystem2NotStaff, 0x4001);

    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(2, June(1), June(30))));
    EXPECT_EQ(data.OperatorJournal.size(), 1u);
    EXPECT_EQ(data.ChanelNotStaff, (std::array<uint8_t, 6>{}));
    EXPECT_EQ(data.HardwareNotStaff | data.ModeFlags | data.HeatSystem1NotStaff | data.HeatSystem2NotStaff, 0);
    EXPECT_EQ(data.DayRecords.size(), 2u) << "a journal report leaves the archive records alone";
}

TEST_F(SelectionTest, JournalsTakeTheirPeriodsEntriesInOrder)
{
    {
        DaxHelperLocker lock(&helper);
        helper.NotStaffJournal = {Journal({24, 6, 9, 1, 0, 0}, 0, 0, 1), Journal({24, 6, 10, 23, 59, 59}, 0, 1, 0),
                                  testsupport::FilledJournal(0xFF), Journal({24, 6, 12, 0, 0, 0}, 6, 0, 1),
                                  Journal({24, 6, 13, 0, 0, 0}, 6, 1, 0)};
    }
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(1, June(10), June(12))));
    EXPECT_EQ(Dates(data.NotStaffJournal), (std::vector<std::string>{"10.06.24", "12.06.24"}));
}

TEST_F(SelectionTest, TheSettingsReportAndUnknownTypesChangeNothing)
{
    ASSERT_TRUE(SelectReportPeriodData(data, helper, Choice(0, June(10), June(12), true)));
    const auto days = Dates(data.DayRecords);
    const auto totals = data.TotalRows.size();
    for (int32_t type : {3, 7, -1}) {
        EXPECT_TRUE(SelectReportPeriodData(data, helper, Choice(type, June(20), June(25))));
        EXPECT_EQ(Dates(data.DayRecords), days);
        EXPECT_EQ(data.TotalRows.size(), totals);
    }
    EXPECT_TRUE(ui.Messages.isEmpty());
}

} // namespace
