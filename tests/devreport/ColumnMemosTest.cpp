#include "RecordBuilders.h"
#include "ReportFakes.h"

#include "devreport/DaxReportSetupFrame.h"
#include "report/core/Colors.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpVariables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// The archive report's pages as the builder finds them: A4 landscape, margins of 10.00125 mm,
// the bands under their template names.
struct ArchiveReport {
    ArchiveReport()
    {
        auto* dayPage = NewPage();
        DayHeader = NewBand<TrpHeader>(dayPage, "DayArchiveHeader");
        DayData = NewBand<TrpMasterData>(dayPage, "DayArchiveData");
        auto* hourPage = NewPage();
        HourHeader = NewBand<TrpHeader>(hourPage, "HourArchiveHeader");
        HourGroup = NewBand<TrpGroupHeader>(hourPage, "HourArchiveGroupHeader");
        HourData = NewBand<TrpMasterData>(hourPage, "HourArchiveData");
        auto* totalPage = NewPage();
        TotalHeader = NewBand<TrpHeader>(totalPage, "TotalArchiveHeader");
        TotalData = NewBand<TrpMasterData>(totalPage, "TotalArchiveData");
        auto* codesPage = NewPage();
        CodesHeader = NewBand<TrpHeader>(codesPage, "NotStaffHeader");
        CodesGroup = NewBand<TrpGroupHeader>(codesPage, "NotStaffGroupHeader");
        CodesData = NewBand<TrpMasterData>(codesPage, "NotStaffData");
    }

    TrpReportPage* NewPage()
    {
        auto* page = new TrpReportPage(&Report);
        page->SetOrientation(poLandscape);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10.00125;
        return page;
    }

    template <typename Band>
    Band* NewBand(TrpReportPage* page, const char* name)
    {
        auto* band = new Band(page);
        band->SetName(QString::fromUtf8(name));
        return band;
    }

    TrpReport Report;
    TrpHeader* DayHeader;
    TrpMasterData* DayData;
    TrpHeader* HourHeader;
    TrpGroupHeader* HourGroup;
    TrpMasterData* HourData;
    TrpHeader* TotalHeader;
    TrpMasterData* TotalData;
    TrpHeader* CodesHeader;
    TrpGroupHeader* CodesGroup;
    TrpMasterData* CodesData;
};

// The printable width of the test pages, computed here from the paper.
const double kPageWidth = (297 - 2 * 10.00125) * 3.77953;

void SetColumns(TReportData& data, int32_t tag, const std::vector<std::pair<const char*, int32_t>>& columns)
{
    ArchiveTableExchangeContainer& container = data.ArchiveColumns[static_cast<size_t>(tag)];
    container.Clear();
    for (const auto& [name, width] : columns)
        container.Add(std::make_unique<ArchiveTableExchangeItem>(name, std::string("Caption ") + name, width));
}

std::vector<TrpMemoView*> Memos(const TrpBand& band)
{
    std::vector<TrpMemoView*> memos;
    for (TrpComponent* object : band.Objects())
        if (auto* memo = dynamic_cast<TrpMemoView*>(object))
            memos.push_back(memo);
    return memos;
}

QStringList Names(const TrpBand& band)
{
    QStringList names;
    for (TrpMemoView* memo : Memos(band))
        names << memo->Name();
    return names;
}

class ColumnMemosTest : public testing::Test {
protected:
    void SetUp() override { DevReportRuntime::init(); }

    reporttest::FakeServices services;
    TReportData data;
    ArchiveReport report;
};

TEST_F(ColumnMemosTest, PrintableWidthIsThePaperLessTheMargins)
{
    auto* page = dynamic_cast<TrpReportPage*>(report.DayData->Page());
    ASSERT_NE(page, nullptr);
    EXPECT_DOUBLE_EQ(page->PrintableWidth(), kPageWidth);
    EXPECT_DOUBLE_EQ(page->PrintableHeight(), (210 - 2 * 10.00125) * 3.77953);
}

TEST_F(ColumnMemosTest, ATableNarrowerThanThePageKeepsScaleOne)
{
    SetColumns(data, ReportDataSetTag::Day, {{"Date", 75}, {"V1", 100}, {"M1", 90}});
    float scale = 1.0f;
    CreateArchiveColumnMemos(data, report.Report, report.DayHeader, nullptr, *report.DayData, 0, scale);
    EXPECT_EQ(scale, 1.0f);
    EXPECT_EQ(report.DayHeader->Font().Size(), 10);
    EXPECT_TRUE(report.DayHeader->Font().Style() & kFontStyleBold);
    EXPECT_EQ(report.DayData->Font().Size(), 11);
    EXPECT_EQ(report.DayData->Height(), 17);
    EXPECT_EQ(report.DayData->DataSet(), data.ArchiveDataSets[0].get());
    ASSERT_NE(report.Report.DataSets().Find(data.ArchiveDataSets[0].get()), nullptr);

    const auto captions = Memos(*report.DayHeader);
    const auto values = Memos(*report.DayData);
    ASSERT_EQ(captions.size(), 3u);
    ASSERT_EQ(values.size(), 3u);
    const double lefts[] = {0, 75, 175};
    const double widths[] = {75, 100, 90};
    const char* names[] = {"Date", "V1", "M1"};
    for (size_t i = 0; i < 3; ++i) {
        for (TrpMemoView* memo : {captions[i], values[i]}) {
            EXPECT_EQ(memo->Align, baLeft);
            EXPECT_EQ(memo->Left(), lefts[i]);
            EXPECT_EQ(memo->Width(), widths[i]);
            EXPECT_EQ(memo->Height(), 17);
            EXPECT_EQ(memo->HAlign, haCenter);
            EXPECT_EQ(memo->VAlign, vaCenter);
            EXPECT_FALSE(memo->WordWrap);
            EXPECT_EQ(memo->Frame().Typ, kAllFrameSides);
        }
        EXPECT_EQ(captions[i]->Text().trimmed(), QStringLiteral("Caption ") + names[i]);
        EXPECT_EQ(values[i]->Text().trimmed(), QStringLiteral("[DayArchiveDataSet.\"%1\"]").arg(names[i]));
        EXPECT_EQ(values[i]->Font().Size(), 11) << "the memos take their band's font";
        EXPECT_EQ(captions[i]->Font().Size(), 10);
        EXPECT_EQ(values[i]->Highlight().Condition, QStringLiteral("DayArchiveDataSet.\"BadRecord\""));
        EXPECT_EQ(values[i]->Highlight().Font().Color(), clRed);
    }
    EXPECT_EQ(data.ArchiveDataSets[0]->Fields(), (QStringList{"Date", "V1", "M1"}));

    // Table data sets: font 10.
    BuildNotStaffDataSet(data);
    CreateTableColumnMemos(data, report.Report, report.CodesHeader, nullptr, *report.CodesData, *data.NotStaffDataSet,
                           scale);
    EXPECT_EQ(report.CodesHeader->Font().Size(), 10);
    EXPECT_EQ(report.CodesData->Font().Size(), 10);
    EXPECT_EQ(report.CodesData->Height(), 17);
    EXPECT_EQ(scale, 1.0f);
}

TEST_F(ColumnMemosTest, ATableTwiceThePageHalvesTheScaleForTheLaterTablesToo)
{
    // Widths that add up to twice the printable width (to the pixel).
    const auto sum = static_cast<int32_t>(std::lround(2 * kPageWidth));
    SetColumns(data, ReportDataSetTag::Day, {{"Date", 75}, {"V1", 333}, {"V2", sum - 75 - 333}});
    float scale = 1.0f;
    CreateArchiveColumnMemos(data, report.Report, report.DayHeader, nullptr, *report.DayData, 0, scale);
    const float r = static_cast<float>(kPageWidth / sum);
    EXPECT_EQ(scale, r);
    EXPECT_NEAR(r, 0.5, 1e-3);
    const auto values = Memos(*report.DayData);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0]->Width(), std::trunc(75 * r));
    EXPECT_EQ(values[1]->Width(), std::trunc(333 * r));
    EXPECT_EQ(values[1]->Left(), std::trunc(75 * r));
    EXPECT_EQ(report.DayData->Font().Size(), 7);
    EXPECT_EQ(report.DayHeader->Font().Size(), 6);
    EXPECT_EQ(report.DayData->Height(), 12);

    // A later, narrower table keeps the lower scale.
    SetColumns(data, ReportDataSetTag::Total, {{"Date", 75}, {"V1", 100}});
    CreateArchiveColumnMemos(data, report.Report, report.TotalHeader, nullptr, *report.TotalData, 2, scale);
    EXPECT_EQ(scale, r);
    EXPECT_EQ(report.TotalData->Font().Size(), 7);
    EXPECT_EQ(report.TotalData->Height(), 12);
    const auto totals = Memos(*report.TotalData);
    ASSERT_EQ(totals.size(), 2u);
    // The totals' first column: 120 x r, left-aligned, whatever the schema says.
    EXPECT_FLOAT_EQ(totals[0]->Width(), 120 * r);
    EXPECT_EQ(totals[0]->HAlign, haLeft);
    EXPECT_FLOAT_EQ(totals[1]->Left(), 120 * r);
    EXPECT_EQ(totals[1]->HAlign, haCenter);
    EXPECT_FLOAT_EQ(Memos(*report.TotalHeader)[0]->Width(), 120 * r);

    BuildNotStaffDataSet(data);
    CreateTableColumnMemos(data, report.Report, report.CodesHeader, nullptr, *report.CodesData, *data.NotStaffDataSet,
                           scale);
    EXPECT_EQ(report.CodesData->Font().Size(), static_cast<int>(std::trunc(10 * std::pow(double{r}, 0.7) + 0.5)));
    EXPECT_EQ(Memos(*report.CodesData)[2]->Width(), 500) << "field widths are not scaled";
}

TEST_F(ColumnMemosTest, TheHourDatePrintsOncePerGroupAcrossTheTable)
{
    SetColumns(data, ReportDataSetTag::Hour, {{"Date", 75}, {"Time", 45}, {"V1", 100}});
    float scale = 1.0f;
    CreateArchiveColumnMemos(data, report.Report, report.HourHeader, report.HourGroup, *report.HourData, 1, scale);
    const auto group = Memos(*report.HourGroup);
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0]->Width(), 145);
    EXPECT_EQ(group[0]->Text().trimmed(), QStringLiteral("[HourArchiveDataSet.\"Date\"]"));
    EXPECT_EQ(group[0]->HAlign, haCenter);
    EXPECT_EQ(group[0]->Frame().Typ, 0u);
    EXPECT_EQ(group[0]->Font().Size(), 11);
    EXPECT_TRUE(group[0]->Font().Style() & kFontStyleBold);
    EXPECT_EQ(report.HourGroup->Condition, QStringLiteral("HourArchiveDataSet.\"Date\""));
    const auto values = Memos(*report.HourData);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0]->Left(), 0);
    EXPECT_EQ(values[0]->Text().trimmed(), QStringLiteral("[HourArchiveDataSet.\"Time\"]"));
    EXPECT_EQ(Memos(*report.HourHeader).size(), 2u);
    EXPECT_EQ(data.ArchiveDataSets[1]->Fields(), (QStringList{"Date", "Time", "V1"}));
}

TEST_F(ColumnMemosTest, TheCodeListGroupHeaderIsGreyAndTheTableUnframed)
{
    data.ArchiveColumns[0].Add(std::make_unique<ArchiveTableExchangeItem>("hardwareNotStaff"));
    data.HardwareNotStaff = 1;
    BuildNotStaffDataSet(data);
    float scale = 1.0f;
    CreateTableColumnMemos(data, report.Report, report.CodesHeader, report.CodesGroup, *report.CodesData,
                           *data.NotStaffDataSet, scale);
    const auto group = Memos(*report.CodesGroup);
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0]->Width(), 700);
    EXPECT_EQ(group[0]->Color, static_cast<int32_t>(clBtnFace));
    EXPECT_EQ(group[0]->Text().trimmed(), QStringLiteral("[NotStaffDataSet.\"Group\"]"));
    EXPECT_EQ(report.CodesGroup->Condition, QStringLiteral("NotStaffDataSet.\"Group\""));
    const auto values = Memos(*report.CodesData);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0]->Width(), 200);
    EXPECT_EQ(values[1]->Left(), 200);
    EXPECT_EQ(values[1]->HAlign, haLeft);
    EXPECT_TRUE(values[1]->WordWrap);
    EXPECT_EQ(values[1]->StretchMode, smMaxHeight);
    EXPECT_EQ(values[1]->Frame().Typ, 0u) << "no frame under a group header";
    EXPECT_EQ(Memos(*report.CodesHeader)[0]->Text().trimmed(), QStringLiteral("NS"));
    EXPECT_EQ(Memos(*report.CodesHeader)[0]->Frame().Typ, 0u);
}

TEST_F(ColumnMemosTest, ASecondLayoutLeavesTheSameMemosAndFields)
{
    SetColumns(data, ReportDataSetTag::Day, {{"Date", 75}, {"V1", 100}});
    BuildNotStaffDataSet(data);
    QStringList names[2];
    QStringList fields[2];
    QStringList tableFields[2];
    for (int pass = 0; pass < 2; ++pass) {
        float scale = 1.0f;
        CreateArchiveColumnMemos(data, report.Report, report.DayHeader, nullptr, *report.DayData, 0, scale);
        CreateTableColumnMemos(data, report.Report, report.CodesHeader, nullptr, *report.CodesData,
                               *data.NotStaffDataSet, scale);
        names[pass] = Names(*report.DayHeader) + Names(*report.DayData) + Names(*report.CodesData);
        fields[pass] = data.ArchiveDataSets[0]->Fields();
        tableFields[pass] = data.NotStaffDataSet->Fields();
    }
    EXPECT_EQ(names[1], names[0]);
    EXPECT_EQ(fields[1], fields[0]);
    EXPECT_EQ(fields[0], (QStringList{"Date", "V1"}));
    EXPECT_EQ(tableFields[1], (QStringList{"Group", "NS", "Description"}));
    EXPECT_EQ(report.Report.DataSets().Count(), 2) << "each data set listed once";
}

TEST_F(ColumnMemosTest, NoColumnsOrATinyScaleDoNotBreakTheLayout)
{
    // No column outside the group header: the scale stays.
    SetColumns(data, ReportDataSetTag::Hour, {{"Date", 75}});
    float scale = 0.8f;
    CreateArchiveColumnMemos(data, report.Report, report.HourHeader, report.HourGroup, *report.HourData, 1, scale);
    EXPECT_EQ(scale, 0.8f);
    EXPECT_EQ(Memos(*report.HourGroup).size(), 1u);
    EXPECT_EQ(Memos(*report.HourGroup)[0]->Width(), 0);

    // A scale of 0.01: fonts of one point, never less.
    scale = 0.01f;
    SetColumns(data, ReportDataSetTag::Day, {{"Date", 75}, {"V1", 100}});
    CreateArchiveColumnMemos(data, report.Report, report.DayHeader, nullptr, *report.DayData, 0, scale);
    EXPECT_EQ(scale, 0.01f);
    EXPECT_EQ(report.DayData->Font().Size(), 1);
    EXPECT_EQ(report.DayHeader->Font().Size(), 1);
    EXPECT_EQ(report.DayData->Height(), 2);

    // A page without printable width: scale 0, still fonts of one point.
    auto* page = dynamic_cast<TrpReportPage*>(report.DayData->Page());
    page->LeftMargin = 148.5;
    page->RightMargin = 148.5;
    scale = 1.0f;
    CreateArchiveColumnMemos(data, report.Report, report.DayHeader, nullptr, *report.DayData, 0, scale);
    EXPECT_EQ(scale, 0.0f);
    EXPECT_EQ(report.DayData->Font().Size(), 1);

    // An empty field list.
    data.InfoDataSet->Table.Clear();
    scale = 1.0f;
    CreateTableColumnMemos(data, report.Report, report.CodesHeader, report.CodesGroup, *report.CodesData,
                           *data.InfoDataSet, scale);
    EXPECT_EQ(scale, 1.0f);
    EXPECT_TRUE(Memos(*report.CodesData).empty());
}

// --- report variables

struct VariableCase {
    const char* Name;
    QString Text;
};

class ReportVariables : public testing::TestWithParam<VariableCase> {
protected:
    void SetUp() override { DevReportRuntime::init(); }
};

const VariableCase kVariableCases[] = {
    {"Plain", QStringLiteral("ООО Тепло")},
    {"Apostrophe", QStringLiteral("O'Brien")},
    {"QuotesAndSemicolon", QStringLiteral("a'';b")},
    {"BracketsStayText", QStringLiteral("x[Model]y")},
    {"TwoLines", QStringLiteral("first line\r\nsecond line")},
    {"ScriptInjection", QStringLiteral("' + IntToStr(1) + '")},
    {"Empty", QString()},
};

TEST_P(ReportVariables, ComeBackUnchangedFromTheReport)
{
    reporttest::FakeServices services;
    TrpReport report;
    TrpVariable* variable = report.Variables().Add();
    variable->Name = QStringLiteral("Consumer");
    variable->Value = Variant(QStringLiteral("''"));
    SetReportVariable(report, QStringLiteral("CONSUMER"), GetParam().Text);
    EXPECT_EQ(report.Calc(QStringLiteral("Consumer")).ToString(), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Table, ReportVariables, testing::ValuesIn(kVariableCases),
                         [](const testing::TestParamInfo<VariableCase>& info) { return std::string(info.param.Name); });

TEST(ReportVariable, AnUnknownNameIsIgnored)
{
    DevReportRuntime::init();
    TrpReport report;
    TrpVariable* variable = report.Variables().Add();
    variable->Name = QStringLiteral("Supplier");
    variable->Value = Variant(QStringLiteral("'x'"));
    SetReportVariable(report, QStringLiteral("Consumer"), QStringLiteral("y"));
    EXPECT_EQ(report.Variables().Count(), 1);
    EXPECT_EQ(variable->Value.ToString(), QStringLiteral("'x'"));
}

} // namespace
