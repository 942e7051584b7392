#include "ReportFakes.h"

#include "devreport/DaxReportSetupFrame.h"
#include "report/core/PropertyRegistry.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

class SimpleBaseTest : public testing::Test {
protected:
    void SetUp() override { DevReportRuntime::init(); }
};

// Three fields ("A", "B" twice) and three records: a full one, a short one, an empty one.
TSimpleBase SampleTable()
{
    TSimpleBase table;
    table.AddField(QStringLiteral("A"), 10, 2);
    table.AddField(QStringLiteral("B"), 20, 1);
    table.AddField(QStringLiteral("B"), 30, 0);
    table.AddRecord({QStringLiteral("a0"), QStringLiteral("b0"), QStringLiteral("second b0")});
    table.AddRecord({QStringLiteral("a1")});
    table.AddRecord({});
    return table;
}

struct EdgeCase {
    const char* Name;
    std::function<QString(const TSimpleBase&)> Ask;
    const char* Expected;
};

void PrintTo(const EdgeCase& c, std::ostream* out)
{
    *out << c.Name;
}

class SimpleBaseEdges : public testing::TestWithParam<EdgeCase> {};

const EdgeCase kEdgeCases[] = {
    {"FieldNameMinusOne", [](const TSimpleBase& t) { return t.FieldName(-1); }, ""},
    {"FieldWidthMinusOne", [](const TSimpleBase& t) { return QString::number(t.FieldWidth(-1)); }, "0"},
    {"FieldAlignMinusOne", [](const TSimpleBase& t) { return QString::number(t.FieldAlign(-1)); }, "0"},
    {"FieldNamePastTheEnd", [](const TSimpleBase& t) { return t.FieldName(3); }, ""},
    {"FieldWidthOfSecond", [](const TSimpleBase& t) { return QString::number(t.FieldWidth(1)); }, "20"},
    {"FieldAlignOfFirst", [](const TSimpleBase& t) { return QString::number(t.FieldAlign(0)); }, "2"},
    {"UnknownFieldIsEmptyNotZero", [](const TSimpleBase& t) { return t.Value(QStringLiteral("Z"), 0); }, ""},
    {"FieldNameCaseCounts", [](const TSimpleBase& t) { return t.Value(QStringLiteral("a"), 0); }, ""},
    {"KnownFieldPastTheLastRecord", [](const TSimpleBase& t) { return t.Value(QStringLiteral("A"), 3); }, ""},
    {"KnownFieldNegativeRecord", [](const TSimpleBase& t) { return t.Value(QStringLiteral("A"), -1); }, ""},
    {"MissingCellOfAShortRecord", [](const TSimpleBase& t) { return t.Value(QStringLiteral("B"), 1); }, ""},
    {"DuplicateNameGivesTheFirst", [](const TSimpleBase& t) { return t.Value(QStringLiteral("B"), 0); }, "b0"},
    {"CellByIndex", [](const TSimpleBase& t) { return t.Cell(2, 0); }, "second b0"},
    {"CellNegativeField", [](const TSimpleBase& t) { return t.Cell(-1, 0); }, ""},
    {"FieldIndexUnknown", [](const TSimpleBase& t) { return QString::number(t.FieldIndex(QStringLiteral("C"))); }, "-1"},
};

TEST_P(SimpleBaseEdges, Answers)
{
    const TSimpleBase table = SampleTable();
    EXPECT_EQ(GetParam().Ask(table), QString::fromUtf8(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(Table, SimpleBaseEdges, testing::ValuesIn(kEdgeCases),
                         [](const testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.Name); });

TEST(SimpleBase, AddRecordAnswersItsIndexAndClearEmptiesBoth)
{
    TSimpleBase table = SampleTable();
    EXPECT_EQ(table.AddRecord({QStringLiteral("x")}), 3);
    EXPECT_EQ(table.RecordCount(), 4);
    table.Clear();
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(table.FieldCount(), 0);
}

TEST_F(SimpleBaseTest, CyrillicAndOmegaFieldNamesAreFoundThroughTheDataSet)
{
    TrpSimpleBaseDataSet dataSet;
    dataSet.Table.AddField(QStringLiteral("Дата/Время"), 135, 2);
    dataSet.Table.AddField(QStringLiteral("R, Ω"), 50, 0);
    dataSet.Table.AddRecord({QStringLiteral("01.05.24"), QStringLiteral("47 Ω")});
    dataSet.First();
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Дата/Время")).ToString(), QStringLiteral("01.05.24"));
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("R, Ω")).ToString(), QStringLiteral("47 Ω"));
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Дата")).ToString(), QString());
    EXPECT_TRUE(dataSet.ValuesFollowRecNo);
    EXPECT_TRUE(dataSet.CanStepBack());
}

TEST_F(SimpleBaseTest, TheClassIsRegisteredUnderTheUserDataSet)
{
    const RegisteredClass* registered = PropertyRegistry::Global().FindByName(u"TrpSimpleBaseDataSet");
    ASSERT_NE(registered, nullptr);
    ASSERT_NE(registered->Parent, nullptr);
    EXPECT_EQ(registered->Parent->Info.Name, QStringLiteral("TrpUserDataSet"));
    EXPECT_TRUE(static_cast<bool>(registered->Factory));
}

// The engine's walk ends after exactly RecordCount rows, and at once when the table is empty.
TEST_F(SimpleBaseTest, TheEngineWalksExactlyTheRecords)
{
    for (int rows : {0, 1, 3}) {
        reporttest::FakeServices services;
        TrpSimpleBaseDataSet dataSet;
        dataSet.SetUserName(QStringLiteral("InfoDataSet"));
        dataSet.Table.AddField(QStringLiteral("A"), 10, 0);
        for (int i = 0; i < rows; ++i)
            dataSet.Table.AddRecord({QString::number(i)});
        TrpReport report;
        auto* page = new TrpReportPage(&report);
        auto* band = new TrpMasterData(page);
        band->SetDataSet(&dataSet);
        // Run answers whether anything was walked.
        EXPECT_EQ(report.Engine()->Run(), rows > 0);
        QStringList expected;
        for (int i = 0; i < rows; ++i)
            expected << QStringLiteral("MasterData:%1").arg(i);
        EXPECT_EQ(services.LastEngine->Walked, expected) << rows << " rows";
    }
}

} // namespace
