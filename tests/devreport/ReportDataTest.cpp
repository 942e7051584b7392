#include "RecordBuilders.h"
#include "ReportFakes.h"

#include "devreport/DaxReportSetupFrame.h"
#include "device/Daxhelper.h"
#include "platform/DateTime.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using dax_namespace::ArchiveStruct;
using dax_namespace::TotalArchiveStruct;

class ReportDataTest : public testing::Test {
protected:
    void SetUp() override { DevReportRuntime::init(); }

    // Day records of 10 to 12 June 2024 (the 11th with a bad check word), total records of
    // 9 and 12 June, selected for 10..12 June with totals.
    static void Fill(TReportData& data, float volumeEnd)
    {
        DaxHelper helper;
        {
            DaxHelperLocker lock(&helper);
            for (uint8_t day : {10, 11, 12})
                helper.DayArchive.push_back(testsupport::Archive(
                    {24, 6, day}, [](ArchiveStruct& r) { r.WriteF32(ArchiveStruct::VolumeOffset(1), 1.5f); }));
            helper.DayArchive[1].bytes[10] ^= 1;
            helper.TotalDayArchive = {
                testsupport::Total({24, 6, 9}),
                testsupport::Total({24, 6, 12}, [volumeEnd](TotalArchiveStruct& r) {
                    r.WriteF32(TotalArchiveStruct::VolumeOffset(1), volumeEnd);
                })};
        }
        ReportSetupStruct setup;
        setup.BeginPeriod = EncodeDate(2024, 6, 10);
        setup.EndPeriod = EncodeDate(2024, 6, 12);
        setup.TotalValuesShow = true;
        ASSERT_TRUE(SelectReportPeriodData(data, helper, setup));
        for (auto& columns : data.ArchiveColumns) {
            columns.Add(std::make_unique<DateArchiveItem>("Date", "Дата", 75));
            columns.Add(std::make_unique<FloatArchiveItem>("V1", static_cast<int32_t>(ArchiveStruct::VolumeOffset(1)),
                                                           "V1", "%.3f", 100));
        }
    }

    static void ListAll(TrpReport& report, TReportData& data)
    {
        for (const auto& dataSet : data.ArchiveDataSets)
            report.DataSets().Add(dataSet.get());
        report.DataSets().Add(data.NotStaffDataSet.get());
        report.DataSets().Add(data.InfoDataSet.get());
    }

    reporttest::FakeServices services;
};

QString Calc(TrpReport& report, const char* expression)
{
    return report.Calc(QString::fromUtf8(expression)).ToString();
}

TEST_F(ReportDataTest, TheReportReadsTheTotalsCaptionsAndCells)
{
    TReportData data;
    Fill(data, 12.25f);
    TrpReport report;
    ListAll(report, data);
    TrpUserDataSet& totals = *data.ArchiveDataSets[ReportDataSetTag::Total];
    totals.First();
    const char* captions[] = {"10.06.24   00:00", "12.06.24   24:00", "Итого за период"};
    const char* volumes[] = {"0.000", "12.250", "12.250"};
    for (int row = 0; row < 3; ++row) {
        ASSERT_FALSE(totals.Eof());
        EXPECT_EQ(Calc(report, "TotalArchiveDataSet.\"Date\""), QString::fromUtf8(captions[row]));
        EXPECT_EQ(Calc(report, "TotalArchiveDataSet.\"V1\""), QString::fromUtf8(volumes[row]));
        EXPECT_EQ(Calc(report, "TotalArchiveDataSet.\"Unknown\""), QString()) << "an unknown field is empty";
        totals.Next();
    }
    EXPECT_TRUE(totals.Eof());

    TrpUserDataSet& days = *data.ArchiveDataSets[ReportDataSetTag::Day];
    days.First();
    EXPECT_EQ(Calc(report, "DayArchiveDataSet.\"Date\""), QStringLiteral("10.06.24"));
    EXPECT_EQ(Calc(report, "DayArchiveDataSet.\"BadRecord\""), QStringLiteral("False"));
    days.Next();
    EXPECT_EQ(Calc(report, "DayArchiveDataSet.\"BadRecord\""), QStringLiteral("True"))
        << "the 11th prints in red";
    days.Next();
    days.Next();
    EXPECT_TRUE(days.Eof());
}

TEST_F(ReportDataTest, AFailingCellShowsItsMessage)
{
    TReportData data;
    Fill(data, 1.0f);
    data.DayRecords[0].bytes[1] = 13; // month 13: the date column cannot format it
    data.ArchiveDataSets[0]->First();
    const QString cell = data.ArchiveDataSets[0]->GetValue(QStringLiteral("Date")).ToString();
    EXPECT_FALSE(cell.isEmpty());
    EXPECT_EQ(cell, QStringLiteral("Некор.время"));
}

TEST_F(ReportDataTest, EveryDataSetCanStepBackAndAnUnknownTagEndsAtOnce)
{
    TReportData data;
    for (const auto& dataSet : data.ArchiveDataSets)
        EXPECT_TRUE(dataSet->CanStepBack()) << dataSet->UserName().toStdString();
    EXPECT_TRUE(data.NotStaffDataSet->CanStepBack());
    EXPECT_TRUE(data.InfoDataSet->CanStepBack());
    EXPECT_EQ(data.ArchiveDataSets[0]->UserName(), QStringLiteral("DayArchiveDataSet"));
    EXPECT_EQ(data.ArchiveDataSets[1]->Tag(), 1);
    EXPECT_EQ(data.NotStaffDataSet->UserName(), QStringLiteral("NotStaffDataSet"));
    EXPECT_EQ(data.InfoDataSet->UserName(), QStringLiteral("InfoDataSet"));

    Fill(data, 1.0f);
    TrpUserDataSet stray;
    stray.SetTag(7);
    data.WireArchiveDataSetEvents(stray);
    stray.First();
    EXPECT_TRUE(stray.Eof());
    Variant value = Variant(QStringLiteral("kept"));
    data.ArchiveDataSetGetValue(stray, QStringLiteral("Date"), value);
    EXPECT_EQ(value.ToString(), QStringLiteral("kept"));
}

TEST_F(ReportDataTest, ResetArchiveColumnsLeavesTheRecords)
{
    TReportData data;
    Fill(data, 1.0f);
    data.ResetArchiveColumns();
    for (const auto& columns : data.ArchiveColumns)
        EXPECT_EQ(columns.Count(), 0u);
    EXPECT_EQ(data.DayRecords.size(), 3u);
    EXPECT_EQ(data.TotalRows.size(), 3u);
    data.ArchiveDataSets[0]->First();
    EXPECT_EQ(data.ArchiveDataSets[0]->GetValue(QStringLiteral("Date")).ToString(), QString());
}

TEST_F(ReportDataTest, TheReportDataMayGoBeforeTheReport)
{
    TrpReport report;
    auto* band = new TrpMasterData(new TrpReportPage(&report));
    {
        TReportData data;
        Fill(data, 1.0f);
        ListAll(report, data);
        band->SetDataSet(data.ArchiveDataSets[0].get());
        EXPECT_EQ(report.DataSets().Count(), 5);
    }
    EXPECT_EQ(band->DataSet(), nullptr);
    report.DataSets().DropGone();
    EXPECT_EQ(report.DataSets().Count(), 0);
    report.Engine()->Run();
    EXPECT_TRUE(services.LastEngine->Walked.isEmpty());
}

TEST_F(ReportDataTest, TwoReportDataOfTheSameNamesDoNotMeet)
{
    TReportData first;
    Fill(first, 2.0f);
    TReportData second;
    Fill(second, 3.0f);
    TrpReport firstReport;
    TrpReport secondReport;
    ListAll(firstReport, first);
    ListAll(secondReport, second);
    for (TReportData* data : {&first, &second}) {
        TrpUserDataSet& totals = *data->ArchiveDataSets[ReportDataSetTag::Total];
        totals.First();
        totals.Next();
    }
    EXPECT_EQ(Calc(secondReport, "TotalArchiveDataSet.\"V1\""), QStringLiteral("3.000"));
    EXPECT_EQ(Calc(firstReport, "TotalArchiveDataSet.\"V1\""), QStringLiteral("2.000"));
}

} // namespace
