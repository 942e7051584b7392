// Aggregate totals over a band tree: the items found in footers, the page footer and the
// summary, fed record by record by the fake engine and asked for by the report's functions,
// against totals computed here; and the list driven step by step as an engine drives it
// (groups, running totals, hidden bands, keep blocks, one step taken back, many columns).

#include "ReportFakes.h"
#include "ReportFixtures.h"

#include "report/model/rpClass_aggregates.h"
#include "report/model/rpClass_datasets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <optional>
#include <vector>

using namespace reporttest;

namespace {

class AggregateListTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

// A data set of one field "V" over the given values (none for Null).
class Values : public TrpUserDataSet {
public:
    explicit Values(std::vector<std::optional<double>> values) : values_(std::move(values))
    {
        SetUserName(QStringLiteral("Days"));
        OnCheckEOF = [this](TrpDataSet&, bool& eof) { eof = RecNo() >= static_cast<int32_t>(values_.size()); };
    }
    Variant GetValue(const QString&) override
    {
        const auto index = static_cast<size_t>(RecNo());
        if (index >= values_.size() || !values_[index])
            return Variant::NullValue();
        return Variant(*values_[index]);
    }

private:
    std::vector<std::optional<double>> values_;
};

struct Tree {
    TrpReportPage* Page = nullptr;
    TrpMasterData* Master = nullptr;
    TrpFooter* Footer = nullptr;
    TrpReportSummary* Summary = nullptr;
};

// A page with a master data band over `dataSet`, its footer and the report summary, the
// band tree built as the engine builds it.
Tree BuildTree(TrpReport& report, TrpDataSet& dataSet, const QStringList& footerTexts, const QString& summaryText)
{
    Tree tree;
    report.DataSets().Add(&dataSet);
    tree.Page = new TrpReportPage(&report);
    tree.Master = AddBand<TrpMasterData>(tree.Page, QStringLiteral("MasterData1"), 0, 20);
    tree.Master->SetDataSet(&dataSet);
    tree.Footer = AddBand<TrpFooter>(tree.Page, QStringLiteral("Footer1"), 40, 20);
    tree.Summary = AddBand<TrpReportSummary>(tree.Page, QStringLiteral("Summary1"), 80, 20);
    int n = 0;
    for (const QString& text : footerTexts)
        AddMemo(tree.Footer, QStringLiteral("FooterMemo%1").arg(++n), 0, 0, 100, 20, text);
    AddMemo(tree.Summary, QStringLiteral("SummaryMemo"), 0, 0, 100, 20, summaryText);
    tree.Page->SubBands = {tree.Master};
    tree.Master->Footer = tree.Footer;
    return tree;
}

TEST_F(AggregateListTest, FooterTotalsThroughTheReportsFunctions)
{
    const std::vector<std::optional<double>> values{5, std::nullopt, 7, 3};
    double sum = 0;
    int counted = 0;
    double least = 1e300;
    double most = -1e300;
    for (const auto& value : values) {
        if (!value)
            continue;
        sum += *value;
        ++counted;
        least = std::min(least, *value);
        most = std::max(most, *value);
    }

    FakeServices services;
    TrpReport report;
    report.EngineOptions().DestroyForms = false; // the tree's bands are asked after the run
    report.EngineOptions().ConvertNulls = false;
    Values days(values);
    const Tree tree = BuildTree(report, days,
                                {QStringLiteral("[SUM(<Days.\"V\">)]"), QStringLiteral("Total [SUM(<Days.\"V\">)]"),
                                 QStringLiteral("[AVG(<Days.\"V\">)] [MIN(<Days.\"V\">)] [MAX(<Days.\"V\">)]"),
                                 QStringLiteral("[COUNT(MasterData1)]")},
                                QStringLiteral("[SUM(<Days.\"V\">) * 2]"));
    QStringList shown;
    services.LastEngine->OnFooter = [&](TrpBand&) {
        for (const char* expression :
             {"SUM(<Days.\"V\">)", "AVG(<Days.\"V\">)", "MIN(<Days.\"V\">)", "MAX(<Days.\"V\">)", "COUNT(MasterData1)"})
            shown << VarToStr(report.Calc(QString::fromUtf8(expression)));
    };
    ASSERT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
    EXPECT_EQ(shown, (QStringList{VarToStr(Variant(sum)), VarToStr(Variant(sum / counted)), VarToStr(Variant(least)),
                                  VarToStr(Variant(most)), QString::number(values.size())}));
    TrpAggregateList& list = *services.LastEngine->Aggregates;
    EXPECT_EQ(list.Count(), 7) << "the same call in two memos makes two items";
    // The summary's item is fed by the first master band and never reset by its footer.
    const Variant summary = list.GetValue(tree.Summary, 0, QStringLiteral("SUM"), QStringLiteral("<Days.\"V\">"), nullptr, 0);
    EXPECT_EQ(summary.ToDouble(), sum);
}

// Records of (group, value), the data set of the grouped tests.
class Grouped : public TrpUserDataSet {
public:
    explicit Grouped(std::vector<std::pair<const char*, int>> rows) : rows_(std::move(rows))
    {
        SetUserName(QStringLiteral("Days"));
        OnCheckEOF = [this](TrpDataSet&, bool& eof) { eof = RecNo() >= static_cast<int32_t>(rows_.size()); };
    }
    Variant GetValue(const QString& field) override
    {
        const auto& row = rows_.at(static_cast<size_t>(RecNo()));
        return field == u"G" ? Variant(QString::fromUtf8(row.first)) : Variant(int32_t{row.second});
    }

private:
    std::vector<std::pair<const char*, int>> rows_;
};

TEST_F(AggregateListTest, GroupFootersRunningTotalsAndLinesThroughTheEngine)
{
    const std::vector<std::pair<const char*, int>> rows{{"a", 1}, {"a", 2}, {"b", 4}, {"c", 10}, {"c", 20}, {"c", 30}};
    // Totals computed here: per group, and running through the groups.
    QStringList expected;
    QStringList expectedLines;
    int running = 0;
    for (size_t i = 0; i < rows.size();) {
        int groupSum = 0;
        int line = 0;
        size_t j = i;
        for (; j < rows.size() && QLatin1String(rows[j].first) == QLatin1String(rows[i].first); ++j) {
            groupSum += rows[j].second;
            running += rows[j].second;
            expectedLines << QStringLiteral("%1/%2").arg(++line).arg(j + 1);
        }
        expected << QStringLiteral("%1 %2 %3").arg(groupSum).arg(running).arg(j - i);
        i = j;
    }

    FakeServices services;
    TrpReport report;
    Grouped days(rows);
    report.DataSets().Add(&days);
    auto* page = new TrpReportPage(&report);
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    master->SetDataSet(&days);
    auto* header = AddBand<TrpGroupHeader>(page, QStringLiteral("GroupHeader1"), 40, 20);
    header->Condition = QStringLiteral("<Days.\"G\">");
    auto* groupFooter = AddBand<TrpGroupFooter>(page, QStringLiteral("GroupFooter1"), 80, 20);
    AddMemo(groupFooter, QStringLiteral("Sum"), 0, 0, 100, 20, QStringLiteral("[SUM(<Days.\"V\">)]"));
    AddMemo(groupFooter, QStringLiteral("Running"), 0, 0, 100, 20, QStringLiteral("[SUM(<Days.\"V\">, 0, 2)]"));
    AddMemo(groupFooter, QStringLiteral("Count"), 0, 0, 100, 20, QStringLiteral("[COUNT(MasterData1)]"));
    page->SubBands = {master};
    master->Group = header;
    header->SubBands = {header};
    header->Footer = groupFooter;
    QStringList shown;
    QStringList lines;
    services.LastEngine->OnRecord = [&](TrpDataBand&) {
        lines << VarToStr(report.Calc(QStringLiteral("Line"))) + u'/' + VarToStr(report.Calc(QStringLiteral("Line#")));
    };
    services.LastEngine->OnFooter = [&](TrpBand&) {
        shown << VarToStr(report.Calc(QStringLiteral("SUM(<Days.\"V\">)"))) + u' ' +
                     VarToStr(report.Calc(QStringLiteral("SUM(<Days.\"V\">, 0, 2)"))) + u' ' +
                     VarToStr(report.Calc(QStringLiteral("COUNT(MasterData1)")));
    };
    ASSERT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
    EXPECT_EQ(shown.join(u',').toStdString(), expected.join(u',').toStdString());
    EXPECT_EQ(lines.join(u',').toStdString(), expectedLines.join(u',').toStdString());
}

TEST_F(AggregateListTest, NoRecordsGiveZero)
{
    FakeServices services;
    TrpReport report;
    Values days({});
    BuildTree(report, days, {QStringLiteral("[SUM(<Days.\"V\">)] [AVG(<Days.\"V\">)]")}, QString());
    auto* engine = services.LastEngine;
    report.PrepareScript();
    engine->Run();
    ASSERT_NE(engine->Aggregates, nullptr);
    TrpAggregateList& list = *engine->Aggregates;
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(VarToStr(list.Items(0).Value()), "0");
    EXPECT_EQ(VarToStr(list.Items(1).Value()), "0");
}

// Drives the list as an engine does, the expression being the report variable X.
class Driven : public AggregateListTest {
protected:
    void SetUp() override
    {
        AggregateListTest::SetUp();
        page = new TrpReportPage(&report);
        master = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
        groupFooter = AddBand<TrpGroupFooter>(page, QStringLiteral("GroupFooter1"), 40, 20);
        pageFooter = AddBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 80, 20);
        ASSERT_TRUE(report.PrepareScript());
    }

    TrpAggregateItem& Add(const QString& text, TrpBand* parent)
    {
        std::vector<TrpAggregateCall> calls;
        TrpAggregateScanner scanner;
        scanner.Scan(text, calls);
        EXPECT_EQ(calls.size(), 1u);
        return list.AddItem(calls.at(0), master, parent, QStringLiteral("Memo1"));
    }

    void Feed(const Variant& value, int32_t column = 0)
    {
        report.Variables().SetValue(QStringLiteral("X"), value);
        list.AddValue(master, column);
    }

    TrpReport report;
    TrpAggregateList list{&report};
    TrpReportPage* page = nullptr;
    TrpMasterData* master = nullptr;
    TrpGroupFooter* groupFooter = nullptr;
    TrpPageFooter* pageFooter = nullptr;
};

TEST_F(Driven, ARunningTotalKeepsGrowingAcrossGroups)
{
    TrpAggregateItem& perGroup = Add(QStringLiteral("SUM(X)"), groupFooter);
    TrpAggregateItem& running = Add(QStringLiteral("SUM(X, MasterData1, 2)"), groupFooter);
    const std::vector<std::vector<int>> groups{{1, 2}, {4}, {10, 20}};
    int total = 0;
    for (const auto& group : groups) {
        int groupSum = 0;
        for (int value : group) {
            Feed(Variant(int32_t{value}));
            groupSum += value;
            total += value;
        }
        EXPECT_EQ(perGroup.Value().ToInt32(), groupSum);
        EXPECT_EQ(running.Value().ToInt32(), total);
        list.Reset(groupFooter);
    }
    list.ClearValues();
    EXPECT_EQ(running.Value().ToInt32(), 0) << "a new run starts every total again";
}

TEST_F(Driven, HiddenRecordsCountOnlyWithFlagOne)
{
    TrpAggregateItem& visibleOnly = Add(QStringLiteral("COUNT(MasterData1)"), groupFooter);
    TrpAggregateItem& all = Add(QStringLiteral("COUNT(MasterData1, 1)"), groupFooter);
    Feed(Variant(int32_t{1}));
    master->SetVisible(false);
    Feed(Variant(int32_t{1}));
    Feed(Variant(int32_t{1}));
    EXPECT_EQ(visibleOnly.Value().ToInt32(), 1);
    EXPECT_EQ(all.Value().ToInt32(), 3);
}

TEST_F(Driven, ABooleanSumCountsTrueAndAvgIgnoresNull)
{
    TrpAggregateItem& sum = Add(QStringLiteral("SUM(X)"), groupFooter);
    TrpAggregateItem& average = Add(QStringLiteral("AVG(X)"), groupFooter);
    for (const Variant& value : {Variant(true), Variant(false), Variant(true), Variant::NullValue()})
        Feed(value);
    EXPECT_EQ(sum.Value().ToInt32(), 2);
    EXPECT_EQ(average.Value().ToDouble(), 2.0 / 3.0);
}

TEST_F(Driven, DeleteValueTakesOneStepBack)
{
    TrpAggregateItem& sum = Add(QStringLiteral("SUM(X)"), groupFooter);
    Feed(Variant(int32_t{5}));
    Feed(Variant(int32_t{6}));
    list.DeleteValue(master);
    EXPECT_EQ(sum.Value().ToInt32(), 5);
    EXPECT_EQ(sum.Count(), 1);
}

TEST_F(Driven, AKeepBlockMovesItsRowsIntoTheNextPagesFooterTotal)
{
    TrpAggregateItem& pageTotal = Add(QStringLiteral("SUM(X)"), pageFooter);
    TrpAggregateItem& groupTotal = Add(QStringLiteral("SUM(X)"), groupFooter);
    Feed(Variant(int32_t{1}));
    list.StartKeep();
    Feed(Variant(int32_t{2}));
    Feed(Variant(int32_t{3}));
    // The kept rows do not fit: the page ends with the rows before the block.
    EXPECT_EQ(pageTotal.Value().ToInt32(), 1);
    list.Reset(pageFooter);
    list.EndKeep();
    EXPECT_EQ(pageTotal.Value().ToInt32(), 5) << "the kept rows are on the next page";
    EXPECT_EQ(groupTotal.Value().ToInt32(), 6) << "other footers are not kept";
}

TEST_F(Driven, VerticalColumnsBeyondAThousandHaveTheirOwnTotals)
{
    TrpAggregateItem& sum = Add(QStringLiteral("SUM(X)"), groupFooter);
    Feed(Variant(int32_t{2}), 1);
    Feed(Variant(int32_t{3}), 5000);
    Feed(Variant(int32_t{4}), 5000);
    EXPECT_EQ(list.GetValue(groupFooter, QStringLiteral("SUM(X)"), 5000).ToInt32(), 7);
    EXPECT_EQ(list.GetValue(groupFooter, QStringLiteral("SUM(X)"), 1).ToInt32(), 2);
    sum.VColumn = kMaxAggregateColumns;
    EXPECT_THROW(sum.Calc(), platform::Exception) << "bounded, not written past";
}

TEST_F(AggregateListTest, ACallInsideAVariableIsFound)
{
    FakeServices services;
    TrpReport report;
    report.Variables().SetValue(QStringLiteral("Total"), Variant(QStringLiteral("SUM(<Days.\"V\">) + 1")));
    Values days({2, 3});
    BuildTree(report, days, {QStringLiteral("[Total]")}, QString());
    QString shown;
    services.LastEngine->OnFooter = [&](TrpBand&) { shown = VarToStr(report.Calc(QStringLiteral("Total"))); };
    ASSERT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
    EXPECT_EQ(services.LastEngine->Aggregates->Count(), 1);
    EXPECT_EQ(shown, "6");
}

} // namespace
