// Data sets: counted ranges, user names, values from the application's events, aliases, the
// process-wide list and how a report finds data sets; dialog components' stored positions.

#include "ReportFakes.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpXMLSerializer.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

class DataSetsTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

// --- counted ranges

struct NavigationCase {
    const char* Name;
    int32_t RangeEndCount;
    int Nexts;        // Next calls after First
    int32_t RecNo;
    bool Eof;
};

void PrintTo(const NavigationCase& c, std::ostream* out)
{
    *out << c.Name;
}

class CountedRange : public testing::TestWithParam<NavigationCase> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(CountedRange, StopsAtTheLastRecord)
{
    const NavigationCase& c = GetParam();
    TrpUserDataSet dataSet;
    dataSet.RangeEnd = reCount;
    dataSet.RangeEndCount = c.RangeEndCount;
    int nextEvents = 0;
    dataSet.OnNext = [&](TrpDataSet&) { ++nextEvents; };
    dataSet.First();
    for (int i = 0; i < c.Nexts; ++i)
        dataSet.Next();
    EXPECT_EQ(dataSet.RecNo(), c.RecNo);
    EXPECT_EQ(dataSet.Eof(), c.Eof);
    EXPECT_EQ(dataSet.RecordCount(), c.RangeEndCount);
    EXPECT_LE(nextEvents, c.RangeEndCount) << "the step past the end is not announced";
}

const NavigationCase kNavigationCases[] = {
    {"three_records_two_steps", 3, 2, 2, false},
    {"three_records_three_steps", 3, 3, 2, true},
    {"three_records_many_steps", 3, 10, 2, true},
    {"no_records", 0, 0, 0, true},
    {"one_record", 1, 0, 0, false},
    {"one_record_one_step", 1, 1, 0, true},
};

INSTANTIATE_TEST_SUITE_P(Table, CountedRange, testing::ValuesIn(kNavigationCases),
                         [](const testing::TestParamInfo<NavigationCase>& info) { return std::string(info.param.Name); });

TEST_F(DataSetsTest, WithoutACountedRangeTheApplicationDecidesTheEnd)
{
    TrpUserDataSet dataSet;
    dataSet.First();
    for (int i = 0; i < 100; ++i)
        dataSet.Next();
    EXPECT_FALSE(dataSet.Eof()) << "the base never reports the end of reLast";
    EXPECT_EQ(dataSet.RecordCount(), 0);
    dataSet.OnCheckEOF = [](TrpDataSet& sender, bool& eof) { eof = sender.RecNo() >= 100; };
    EXPECT_TRUE(dataSet.Eof());
    dataSet.Prior();
    EXPECT_EQ(dataSet.RecNo(), 99);
    EXPECT_FALSE(dataSet.Eof());
}

TEST_F(DataSetsTest, NavigationRunsTheApplicationsEvents)
{
    TrpUserDataSet dataSet;
    QStringList calls;
    dataSet.OnFirst = [&](TrpDataSet&) { calls << QStringLiteral("First"); };
    dataSet.OnNext = [&](TrpDataSet&) { calls << QStringLiteral("Next"); };
    dataSet.OnPrior = [&](TrpDataSet&) { calls << QStringLiteral("Prior"); };
    dataSet.OnOpen = [&](TrpDataSet&) { calls << QStringLiteral("Open"); };
    dataSet.OnClose = [&](TrpDataSet&) { calls << QStringLiteral("Close"); };
    dataSet.Open();
    dataSet.First();
    dataSet.Next();
    dataSet.Prior();
    dataSet.Close();
    EXPECT_EQ(calls.join(u','), "Open,First,Next,Prior,Close");
}

// --- names

TEST_F(DataSetsTest, TheFirstNameBecomesTheUserName)
{
    TrpUserDataSet dataSet;
    dataSet.SetName(QStringLiteral("DayArchive"));
    EXPECT_EQ(dataSet.UserName(), "DayArchive");
    dataSet.SetName(QStringLiteral("Renamed"));
    EXPECT_EQ(dataSet.UserName(), "DayArchive") << "a later rename leaves the user name";
}

TEST_F(DataSetsTest, ABlankUserNameIsRefused)
{
    TrpUserDataSet dataSet;
    dataSet.SetUserName(QStringLiteral("Archive"));
    for (const char* blank : {"", "   "}) {
        try {
            dataSet.SetUserName(QString::fromLatin1(blank));
            ADD_FAILURE() << "accepted '" << blank << "'";
        } catch (const platform::Exception& refused) {
            EXPECT_EQ(refused.Message(), "Неверное значение свойства");
        }
    }
    EXPECT_EQ(dataSet.UserName(), "Archive");
    dataSet.SetUserName(QStringLiteral(" Padded "));
    EXPECT_EQ(dataSet.UserName(), " Padded ") << "stored untrimmed";
}

// --- values and fields

TEST_F(DataSetsTest, UserDataSetValuesComeFromBothEventsTheLaterLast)
{
    TrpUserDataSet dataSet;
    EXPECT_TRUE(dataSet.GetValue(QStringLiteral("X")).IsNull());
    dataSet.OnGetValue = [](const QString& name, Variant& value) { value = Variant(name + QStringLiteral("-old")); };
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("X")).ToString(), "X-old");
    EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("X")), "X-old");
    dataSet.OnNewGetValue = [](TrpDataSet&, const QString& name, Variant& value) {
        value = Variant(value.ToString() + u'+' + name);
    };
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("X")).ToString(), "X-old+X");
    dataSet.OnGetValue = nullptr;
    EXPECT_THROW(dataSet.GetDisplayText(QStringLiteral("Y")), platform::Exception) << "Null has no text";
}

TEST_F(DataSetsTest, FieldsAreListedAndFoundIgnoringCase)
{
    TrpUserDataSet dataSet;
    dataSet.SetFields({QStringLiteral("Date"), QStringLiteral("Q1")});
    EXPECT_EQ(dataSet.FieldsCount(), 2);
    EXPECT_TRUE(dataSet.HasField(QStringLiteral("q1")));
    EXPECT_FALSE(dataSet.HasField(QStringLiteral("Q2")));
    TrpDataSet& base = dataSet;
    EXPECT_EQ(base.GetDisplayWidth(QStringLiteral("Q1")), 10);
    EXPECT_EQ(base.GetFieldType(QStringLiteral("Q1")), fftNumeric);
    EXPECT_FALSE(base.IsBlobField(QStringLiteral("Q1")));
}

TEST_F(DataSetsTest, AliasesMapBothWaysIgnoringCase)
{
    TrpCustomDBDataSet dataSet;
    dataSet.SetFieldAliases({QStringLiteral("VALUE=Значение"), QStringLiteral("T1=Температура")});
    EXPECT_EQ(dataSet.GetAlias(QStringLiteral("value")), "Значение");
    EXPECT_EQ(dataSet.ConvertAlias(QStringLiteral("значение")), "VALUE");
    EXPECT_EQ(dataSet.GetAlias(QStringLiteral("P1")), "P1");
    EXPECT_EQ(dataSet.ConvertAlias(QStringLiteral("Давление")), "Давление");
}

TEST_F(DataSetsTest, OnlyDataSetsWhoseValuesFollowRecNoCanStepBack)
{
    TrpUserDataSet events;
    EXPECT_FALSE(events.CanStepBack());
    events.OnPrior = [](TrpDataSet&) {};
    EXPECT_TRUE(events.CanStepBack()) << "the application steps back itself";
    TrpMasterData band;
    EXPECT_TRUE(band.VirtualDataSet().CanStepBack()) << "a row counter's values follow RecNo";
    TrpCustomDBDataSet database;
    EXPECT_FALSE(database.CanStepBack());
}

// --- the process-wide list and the reports

TEST_F(DataSetsTest, TheProcessWideListHoldsEveryDataSetWhileItLives)
{
    TrpGlobalDataSetList& list = TrpGlobalDataSetList::Instance();
    const size_t before = list.DataSets().size();
    {
        TrpUserDataSet dataSet;
        dataSet.SetUserName(QStringLiteral("Transient"));
        EXPECT_EQ(list.DataSets().size(), before + 1);
        QStringList names;
        std::vector<TrpDataSet*> usable;
        list.GetUsable(names, usable);
        EXPECT_TRUE(names.contains(QStringLiteral("Transient")));
        dataSet.Enabled = false;
        list.GetUsable(names, usable);
        EXPECT_FALSE(names.contains(QStringLiteral("Transient")));
    }
    EXPECT_EQ(list.DataSets().size(), before);
}

TEST_F(DataSetsTest, TwoReportsEachFindTheirOwnDataSetOfOneName)
{
    TrpReport first;
    TrpReport second;
    // Each report's data set belongs to that report (as a frame's data set belongs to its frame).
    TrpUserDataSet* mine = nullptr;
    TrpUserDataSet* theirs = nullptr;
    for (TrpReport* report : {&first, &second}) {
        report->CheckDataPage();
        auto* dataSet = new TrpUserDataSet(report->Pages(0));
        dataSet->SetUserName(QStringLiteral("DayArchiveDataSet"));
        (report == &first ? theirs : mine) = dataSet;
    }
    // Through the process-wide list: data sets of another report are passed over.
    EXPECT_EQ(second.FindDataSet(nullptr, QStringLiteral("dayarchivedataset")), mine);
    EXPECT_EQ(first.FindDataSet(nullptr, QStringLiteral("DayArchiveDataSet")), theirs);
    // Through the reports' own lists, whoever owns the data sets.
    TrpUserDataSet loose;
    loose.SetUserName(QStringLiteral("Shared"));
    TrpUserDataSet other;
    other.SetUserName(QStringLiteral("Shared"));
    second.DataSets().Add(&other);
    EXPECT_EQ(first.FindDataSet(nullptr, QStringLiteral("Shared")), &loose) << "the first in creation order";
    EXPECT_EQ(second.FindDataSet(nullptr, QStringLiteral("Shared")), &other) << "the report's own list first";
}

TEST_F(DataSetsTest, AReportsListDropsADataSetWhenItGoes)
{
    reporttest::FakeServices services;
    TrpReport report;
    auto dataSet = std::make_unique<TrpUserDataSet>();
    dataSet->SetUserName(QStringLiteral("Archive"));
    report.DataSets().Add(dataSet.get());
    auto* band = new TrpMasterData(new TrpReportPage(&report));
    band->SetDataSetName(QStringLiteral("Archive"));
    EXPECT_EQ(band->DataSet(), dataSet.get());
    dataSet.reset();
    EXPECT_EQ(report.DataSets().Count(), 0);
    EXPECT_EQ(band->DataSet(), nullptr);
    EXPECT_EQ(band->DataSetName(), "Archive") << "the name stays for a later binding";
    EXPECT_EQ(report.GetDataset(QStringLiteral("Archive")), nullptr);
}

TEST_F(DataSetsTest, UseGlobalDataSetListOffLimitsLookupsToTheReport)
{
    TrpReport report;
    TrpUserDataSet loose;
    loose.SetUserName(QStringLiteral("Loose"));
    report.EngineOptions().UseGlobalDataSetList = false;
    EXPECT_EQ(report.FindDataSet(nullptr, QStringLiteral("Loose")), nullptr);
    report.EnabledDataSets().Add(&loose);
    EXPECT_EQ(report.FindDataSet(nullptr, QStringLiteral("Loose")), &loose);
    QStringList names;
    std::vector<TrpDataSet*> sets;
    report.GetActiveDataSetList(names, sets);
    EXPECT_EQ(names, QStringList{QStringLiteral("Loose")});
}

// --- dialog components

TEST_F(DataSetsTest, DialogComponentsStoreTheirPositionOnlyInsideAReport)
{
    TrpUserDataSet outside;
    EXPECT_EQ(outside.Width(), 28);
    EXPECT_EQ(outside.Height(), 28);
    outside.SetBounds(10.4, 20.6, 28, 28);
    TrpXMLSerializer serializer;
    EXPECT_EQ(serializer.ObjToXML(&outside).toStdString(), " Fields.Text=\"\"") << "no pLeft and pTop outside a report";

    TrpReport report;
    report.CheckDataPage();
    auto* inside = new TrpUserDataSet(report.Pages(0));
    inside->SetBounds(10.4, 20.6, 28, 28);
    // "pLeft" 10 and "pTop" 21 as tagged 8-bit integers.
    EXPECT_EQ(serializer.ObjToXML(inside).toStdString(), " Fields.Text=\"\" PropData=\"05704C656674020A0470546F700215\"");
    TrpUserDataSet copy(report.Pages(0));
    serializer.XMLToObj(QStringLiteral(" PropData=\"05704C656674020A0470546F700215\""), &copy);
    EXPECT_EQ(copy.Left(), 10);
    EXPECT_EQ(copy.Top(), 21);
}

} // namespace
