// The period selection over the demo instrument's history, as a user would report on May 2024.

#include "DataFile.h"
#include "DemoState.h"
#include "ReportFakes.h"

#include "devreport/DaxReportSetupFrame.h"
#include "device/Daxhelper.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace {

using dax_namespace::ArchiveStruct;
using dax_namespace::HeatEnergy;
using dax_namespace::HeatTime;
using dax_namespace::TotalArchiveStruct;

TEST(DemoHistory, MaysPeriodRowIsTheSumOfMaysDays)
{
    DaxHelper helper;
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    helper.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
    reporttest::RecordingReportUi ui;
    TReportData data;
    ReportSetupStruct setup;
    setup.BeginPeriod = EncodeDate(2024, 5, 1);
    setup.EndPeriod = EncodeDate(2024, 5, 31);
    setup.TotalValuesShow = true;
    setup.HourArchiveShow = true;
    ASSERT_TRUE(SelectReportPeriodData(data, helper, setup));
    EXPECT_TRUE(ui.Messages.isEmpty());
    ASSERT_EQ(data.DayRecords.size(), 31u);
    EXPECT_EQ(data.HourRecords.size(), 31u * 24);
    ASSERT_EQ(data.TotalRows.size(), 3u);

    // The sums of May's day records, counter by counter, through the record readers.
    TotalArchiveStruct sums;
    for (const ArchiveStruct& day : data.DayRecords) {
        for (size_t c = 1; c <= 6; ++c) {
            sums.WriteF32(TotalArchiveStruct::VolumeOffset(c), sums.Volume(c) + day.Volume(c));
            sums.WriteU32(TotalArchiveStruct::ColdWaterTimeOffset(c), sums.ColdWaterTime(c) + day.ColdWaterTime(c));
        }
        for (size_t c = 1; c <= 5; ++c)
            sums.WriteF32(TotalArchiveStruct::MassOffset(c), sums.Mass(c) + day.Mass(c));
        sums.WriteF32(TotalArchiveStruct::kQ3, sums.Q3() + day.Q3());
        sums.WriteU32(TotalArchiveStruct::kWorkTime, sums.WorkTime() + day.WorkTime());
        sums.WriteU32(TotalArchiveStruct::kOffPowerTime, sums.OffPowerTime() + day.OffPowerTime());
        for (size_t system = 1; system <= 2; ++system) {
            for (HeatEnergy e : {HeatEnergy::Q, HeatEnergy::Qo, HeatEnergy::Qgvs})
                sums.WriteF32(TotalArchiveStruct::HeatEnergyOffset(system, e),
                              sums.HeatSystemEnergy(system, e) + day.HeatSystemEnergy(system, e));
            sums.WriteU32(TotalArchiveStruct::HeatTimeOffset(system, HeatTime::Work),
                          sums.HeatSystemTime(system, HeatTime::Work) + day.HeatSystemTime(system, HeatTime::Work));
        }
    }
    const TotalArchiveStruct& period = data.TotalRows[2];
    for (size_t c = 1; c <= 6; ++c) {
        EXPECT_EQ(period.Volume(c), sums.Volume(c)) << "V" << c;
        EXPECT_EQ(period.ColdWaterTime(c), sums.ColdWaterTime(c)) << c;
    }
    for (size_t c = 1; c <= 5; ++c)
        EXPECT_EQ(period.Mass(c), sums.Mass(c)) << "M" << c;
    EXPECT_EQ(period.Q3(), sums.Q3());
    EXPECT_EQ(period.WorkTime(), 31u * 1440);
    EXPECT_EQ(period.WorkTime(), sums.WorkTime());
    for (size_t system = 1; system <= 2; ++system) {
        for (HeatEnergy e : {HeatEnergy::Q, HeatEnergy::Qo, HeatEnergy::Qgvs})
            EXPECT_EQ(period.HeatSystemEnergy(system, e), sums.HeatSystemEnergy(system, e)) << system;
        EXPECT_EQ(period.HeatSystemTime(system, HeatTime::Work), sums.HeatSystemTime(system, HeatTime::Work));
    }
    EXPECT_GT(period.Volume(1), 3000.0f);

    // May's abnormal situations: every group has some.
    EXPECT_EQ(data.HardwareNotStaff, 0x1800);
    EXPECT_EQ(data.ModeFlags, 0x1800);
    EXPECT_EQ(data.ChanelNotStaff[0], 0x04);
    EXPECT_EQ(data.ChanelNotStaff[1], 0x20);
    EXPECT_EQ(data.HeatSystem1NotStaff, 0x0208);
    EXPECT_EQ(data.HeatSystem2NotStaff, 0x1000);
    // The hour of 20 May 13:00 is selected, and marked.
    EXPECT_TRUE(data.IsBadRecord(ReportDataSetTag::Hour, 19 * 24 + 13));
    EXPECT_FALSE(data.IsBadRecord(ReportDataSetTag::Hour, 19 * 24 + 12));
}

TEST(DemoHistory, TheDayWithoutPowerIsSkipped)
{
    DaxHelper helper;
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    helper.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
    reporttest::RecordingReportUi ui;
    TReportData data;
    ReportSetupStruct setup;
    setup.BeginPeriod = EncodeDate(2024, 4, 1);
    setup.EndPeriod = EncodeDate(2024, 4, 30);
    setup.TotalValuesShow = true;
    ASSERT_TRUE(SelectReportPeriodData(data, helper, setup));
    EXPECT_EQ(data.DayRecords.size(), 29u);
    EXPECT_EQ(data.TotalRows[2].OffPowerTime(), 1440u);
}

// The period the report settings offer over the demo history, per report kind.
TEST(DemoHistory, ThePeriodEachReportKindOffers)
{
    DaxHelper helper;
    daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
    helper.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
    const double today = EncodeDate(2026, 1, 1);
    struct Case {
        int32_t Kind;
        bool Totals;
        bool Hours;
        double First;
        double Last;
    };
    const Case cases[] = {
        // The first total day, 16 March, moves the start a day on.
        {0, true, false, EncodeDate(2024, 3, 17), EncodeDate(2024, 6, 13)},
        {0, false, false, EncodeDate(2024, 3, 16), EncodeDate(2024, 6, 13)},
        {0, true, true, EncodeDate(2024, 5, 1), EncodeDate(2024, 6, 13)},
        {1, true, false, EncodeDate(2024, 4, 2), EncodeDate(2024, 6, 5)},
    };
    for (const Case& c : cases) {
        ReportPeriodRules rules;
        rules.ScanArchiveDateRange(c.Kind, &helper, today);
        bool totals = c.Totals;
        bool hours = c.Hours;
        ASSERT_TRUE(rules.ApplyBounds(c.Kind, &helper, totals, hours));
        EXPECT_EQ(rules.PeriodMin, c.First) << c.Kind << c.Totals << c.Hours;
        EXPECT_EQ(rules.PeriodMax, c.Last) << c.Kind << c.Totals << c.Hours;
        EXPECT_EQ(totals, c.Totals);
        EXPECT_EQ(hours, c.Hours);
    }
}

} // namespace
