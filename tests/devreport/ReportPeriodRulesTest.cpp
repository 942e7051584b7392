// The period the report settings offer, from crafted archives and journals: the bounds of
// each report kind, the narrowing by totals and hours, and records that carry no date.

#include "RecordBuilders.h"

#include "devreport/DaxReportSetupFrame.h"
#include "device/Daxhelper.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using testsupport::Archive;
using testsupport::Journal;
using testsupport::Total;

const double kToday = EncodeDate(2024, 6, 14);

double March(int day) { return EncodeDate(2024, 3, day); }

// Days first..last of March 2024; none when first is 0.
struct Days {
    int First = 0;
    int Last = 0;
};

std::vector<dax_namespace::ArchiveStruct> ArchiveDays(Days days)
{
    std::vector<dax_namespace::ArchiveStruct> records;
    for (int day = days.First; days.First > 0 && day <= days.Last; ++day)
        records.push_back(Archive({24, 3, static_cast<uint8_t>(day)}));
    return records;
}

std::vector<dax_namespace::TotalArchiveStruct> TotalDays(Days days)
{
    std::vector<dax_namespace::TotalArchiveStruct> records;
    for (int day = days.First; days.First > 0 && day <= days.Last; ++day)
        records.push_back(Total({24, 3, static_cast<uint8_t>(day)}));
    return records;
}

struct ArchiveCase {
    const char* Name;
    Days Day;
    Days TotalDay;
    Days Hour;
    bool Totals;
    bool Hours;
    double ExpectedMin;
    double ExpectedMax;
    bool ExpectedTotals;
    bool ExpectedHours;
};

void PrintTo(const ArchiveCase& c, std::ostream* os) { *os << c.Name; }

class ArchiveKind : public testing::TestWithParam<ArchiveCase> {};

TEST_P(ArchiveKind, BoundsFollowTheArchivesAndTheChosenContents)
{
    const ArchiveCase& c = GetParam();
    DaxHelper helper;
    helper.DayArchive = ArchiveDays(c.Day);
    helper.TotalDayArchive = TotalDays(c.TotalDay);
    for (const auto& day : ArchiveDays(c.Hour))
        for (int hour = 0; hour < 24; ++hour)
            helper.HourArchive.push_back(day);
    ReportPeriodRules rules;
    rules.ScanArchiveDateRange(0, &helper, kToday);
    bool totals = c.Totals;
    bool hours = c.Hours;
    ASSERT_TRUE(rules.ApplyBounds(0, &helper, totals, hours));
    EXPECT_EQ(rules.PeriodMin, c.ExpectedMin);
    EXPECT_EQ(rules.PeriodMax, c.ExpectedMax);
    EXPECT_EQ(totals, c.ExpectedTotals);
    EXPECT_EQ(hours, c.ExpectedHours);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveKind,
    testing::Values(
        // The totals of the period's first day are those of the day before: a day later.
        ArchiveCase{"TotalsOnStartADayLater", {1, 31}, {1, 31}, {}, true, false, March(2), March(31), true, false},
        ArchiveCase{"TotalsOffTakeTheDayArchive", {1, 31}, {1, 31}, {}, false, false, March(1), March(31), false, false},
        ArchiveCase{"TotalsOnWithoutTotalRecordsAreUnticked", {1, 31}, {}, {}, true, false, March(1), March(31), false,
                    false},
        ArchiveCase{"TotalsStartingLaterNeedNoExtraDay", {1, 31}, {5, 20}, {}, true, false, March(6), March(20), true,
                    false},
        ArchiveCase{"TotalsStartingEarlierLeaveTheDayArchive", {10, 31}, {1, 31}, {}, true, false, March(10), March(31),
                    true, false},
        ArchiveCase{"HoursInsideTheDayArchive", {1, 31}, {}, {10, 20}, false, true, March(10), March(20), false, true},
        ArchiveCase{"HoursOnWithoutHourRecordsAreUnticked", {1, 31}, {}, {}, false, true, March(1), March(31), false,
                    false},
        ArchiveCase{"TotalsAndHours", {1, 31}, {1, 31}, {1, 20}, true, true, March(2), March(20), true, true},
        ArchiveCase{"NoDayRecordsGiveToday", {}, {}, {}, false, false, kToday, kToday, false, false},
        // Totals that end before the day archive starts: one day, the report then says what is missing.
        ArchiveCase{"CrossingBoundsBecomeOneDay", {10, 31}, {1, 5}, {}, true, false, March(10), March(10), true,
                    false}),
    [](const testing::TestParamInfo<ArchiveCase>& info) { return std::string(info.param.Name); });

TEST(ReportPeriodRules, RecordsWithoutARealDateAreSkipped)
{
    DaxHelper helper;
    // Empty pages (month 0) at both ends, as a ring that is not full yet leaves them.
    helper.DayArchive = {Archive({24, 0, 0}), Archive({0, 0, 0}), Archive({24, 3, 3}), Archive({24, 2, 30}),
                         Archive({24, 3, 29}), Archive({24, 13, 1}), Archive({0xFF, 0xFF, 0xFF})};
    ReportPeriodRules rules;
    rules.ScanArchiveDateRange(0, &helper, kToday);
    EXPECT_EQ(rules.DayArchiveFirst, March(3));
    EXPECT_EQ(rules.DayArchiveLast, March(29));
}

TEST(ReportPeriodRules, AVectorWithoutADatedRecordCountsAsEmpty)
{
    DaxHelper helper;
    helper.DayArchive = ArchiveDays({1, 31});
    helper.TotalDayArchive = TotalDays({1, 31});
    ReportPeriodRules rules;
    rules.ScanArchiveDateRange(0, &helper, kToday);
    ASSERT_EQ(rules.DayArchiveFirst, March(1));
    // Another instrument's data: pages, but none of them dated.
    helper.DayArchive = {Archive({24, 0, 0}), Archive({0, 0, 0})};
    helper.TotalDayArchive = {Total({0, 0, 0})};
    rules.ScanArchiveDateRange(0, &helper, kToday);
    EXPECT_EQ(rules.DayArchiveFirst, kToday);
    EXPECT_EQ(rules.DayArchiveLast, kToday);
    EXPECT_EQ(rules.TotalArchiveFirst, kToday);
    bool totals = true;
    bool hours = false;
    ASSERT_TRUE(rules.ApplyBounds(0, &helper, totals, hours));
    EXPECT_FALSE(totals);
    EXPECT_EQ(rules.PeriodMin, kToday);
    EXPECT_EQ(rules.PeriodMax, kToday);
}

struct JournalCase {
    const char* Name;
    int32_t Kind;
    bool NotStaffEntries;
    bool OperatorEntries;
    double ExpectedMin;
    double ExpectedMax;
};

void PrintTo(const JournalCase& c, std::ostream* os) { *os << c.Name; }

class JournalKinds : public testing::TestWithParam<JournalCase> {};

TEST_P(JournalKinds, BoundsAreTheJournalsFirstAndLastDays)
{
    const JournalCase& c = GetParam();
    DaxHelper helper;
    helper.DayArchive = ArchiveDays({1, 31});
    if (c.NotStaffEntries)
        helper.NotStaffJournal = {Journal({24, 0, 0}, 0, 0, 0), Journal({24, 3, 5, 8, 0, 0}, 8, 0, 1),
                                  Journal({24, 3, 9, 8, 0, 0}, 8, 1, 0)};
    if (c.OperatorEntries)
        helper.OperatorJournal = {Journal({24, 3, 12, 8, 0, 0}, 3, 0, 1), Journal({24, 3, 20, 9, 0, 0}, 3, 1, 0),
                                  Journal({0xFF, 0xFF, 0xFF}, 0, 0, 0)};
    ReportPeriodRules rules;
    rules.ScanArchiveDateRange(c.Kind, &helper, kToday);
    bool totals = true;
    bool hours = true;
    ASSERT_TRUE(rules.ApplyBounds(c.Kind, &helper, totals, hours));
    EXPECT_EQ(rules.PeriodMin, c.ExpectedMin);
    EXPECT_EQ(rules.PeriodMax, c.ExpectedMax);
    // The archive's contents are not the journals' business.
    EXPECT_TRUE(totals);
    EXPECT_TRUE(hours);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JournalKinds,
    testing::Values(JournalCase{"NotStaffJournal", 1, true, true, March(5), March(9)},
                    JournalCase{"EmptyNotStaffJournalGivesToday", 1, false, true, kToday, kToday},
                    JournalCase{"OperatorJournal", 2, true, true, March(12), March(20)},
                    JournalCase{"EmptyOperatorJournalGivesToday", 2, true, false, kToday, kToday}),
    [](const testing::TestParamInfo<JournalCase>& info) { return std::string(info.param.Name); });

TEST(ReportPeriodRules, TheSettingsKindAndNoKindLeaveTheBoundsAlone)
{
    DaxHelper helper;
    helper.DayArchive = ArchiveDays({1, 31});
    for (int32_t kind : {3, -1, 7}) {
        ReportPeriodRules rules;
        rules.PeriodMin = 11;
        rules.PeriodMax = 22;
        rules.ScanArchiveDateRange(kind, &helper, kToday);
        bool totals = true;
        bool hours = true;
        EXPECT_FALSE(rules.ApplyBounds(kind, &helper, totals, hours)) << kind;
        EXPECT_EQ(rules.PeriodMin, 11);
        EXPECT_EQ(rules.PeriodMax, 22);
        EXPECT_EQ(rules.DayArchiveFirst, 0);
    }
}

TEST(ReportPeriodRules, NoSourceIsNoData)
{
    ReportPeriodRules rules;
    rules.ScanArchiveDateRange(0, nullptr, kToday);
    bool totals = true;
    bool hours = true;
    ASSERT_TRUE(rules.ApplyBounds(0, nullptr, totals, hours));
    EXPECT_EQ(rules.PeriodMin, kToday);
    EXPECT_EQ(rules.PeriodMax, kToday);
    EXPECT_FALSE(totals);
    EXPECT_FALSE(hours);
}

struct ShownCase {
    int32_t Kind;
    ReportPeriodRules::Shown Shown;
};

TEST(ReportPeriodRules, ControlsShownPerKind)
{
    const ShownCase cases[] = {
        {0, {true, true, true, true, true}},     {1, {true, true, false, true, false}},
        {2, {false, true, false, false, false}}, {3, {false, false, false, false, false}},
        {-1, {false, false, false, false, false}}, {7, {false, false, false, false, false}},
    };
    for (const ShownCase& c : cases) {
        const ReportPeriodRules::Shown shown = ReportPeriodRules::ControlsShown(c.Kind);
        EXPECT_EQ(shown.ReportData, c.Shown.ReportData) << c.Kind;
        EXPECT_EQ(shown.Interval, c.Shown.Interval) << c.Kind;
        EXPECT_EQ(shown.Data, c.Shown.Data) << c.Kind;
        EXPECT_EQ(shown.System, c.Shown.System) << c.Kind;
        EXPECT_EQ(shown.Page, c.Shown.Page) << c.Kind;
    }
}

TEST(ReportPeriodRules, PickerResetsAndTheInsideTest)
{
    ReportPeriodRules rules;
    rules.PeriodMin = March(2);
    rules.PeriodMax = March(31);
    EXPECT_EQ(rules.BeginReset(), (ReportPeriodRules::Picker{March(2), March(2), March(31)}));
    EXPECT_EQ(rules.EndReset(), (ReportPeriodRules::Picker{March(31), March(2), March(31)}));
    EXPECT_TRUE(rules.Inside(March(2)));
    EXPECT_TRUE(rules.Inside(March(31)));
    EXPECT_FALSE(rules.Inside(March(1)));
    EXPECT_FALSE(rules.Inside(March(31) + 1));
}

// A read all commits its new vectors under the image lock while the dialog scans them.
TEST(ReportPeriodRules, TheScanReadsUnderTheImageLockWhileAReadAllCommits)
{
    DaxHelper helper;
    std::atomic<bool> done{false};
    std::thread readAll([&] {
        for (int round = 0; round < 200; ++round) {
            helper.ClearReadLists();
            const int days = 1 + round % 30;
            for (int day = 1; day <= days; ++day) {
                helper.DayArchiveList.push_back(Archive({24, 3, static_cast<uint8_t>(day)}));
                helper.TotalDayArchiveList.push_back(Total({24, 3, static_cast<uint8_t>(day)}));
                helper.NotStaffJournalList.push_back(Journal({24, 3, static_cast<uint8_t>(day)}, 0, 0, 0));
            }
            helper.CommitReadLists();
        }
        done = true;
    });
    ReportPeriodRules rules;
    int scans = 0;
    while (!done || scans == 0) {
        for (int32_t kind : {0, 1}) {
            rules.ScanArchiveDateRange(kind, &helper, kToday);
            bool totals = true;
            bool hours = false;
            rules.ApplyBounds(kind, &helper, totals, hours);
            ASSERT_LE(rules.PeriodMin, rules.PeriodMax);
        }
        ++scans;
    }
    readAll.join();
    EXPECT_EQ(rules.DayArchiveFirst, March(1));
}

} // namespace
