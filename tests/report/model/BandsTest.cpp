// Bands: names and numbers of the kinds, the child chain, columns, data-set binding, row
// counts, the character grid of dot-matrix pages and the drill-down difference.

#include "ReportFakes.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

class BandsTest : public testing::Test {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

struct KindCase {
    const char* ClassName;
    const char* BandName;
    int Number;
};

void PrintTo(const KindCase& c, std::ostream* out)
{
    *out << c.ClassName;
}

class BandKinds : public testing::TestWithParam<KindCase> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(BandKinds, NameAndNumber)
{
    const KindCase& c = GetParam();
    std::unique_ptr<TrpComponent> made = TrpComponent::CreateByName(QString::fromLatin1(c.ClassName));
    std::unique_ptr<TrpBand> plain;
    TrpBand* band = dynamic_cast<TrpBand*>(made.get());
    if (band == nullptr) {
        // The two kinds that cannot be created by name.
        plain = QLatin1String(c.ClassName) == QLatin1String("TrpBand") ? std::make_unique<TrpBand>()
                                                                        : std::unique_ptr<TrpBand>(new TrpDataBand);
        band = plain.get();
    }
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->BandName(), QString::fromLatin1(c.BandName));
    EXPECT_EQ(band->BandNumber(), c.Number);
}

const KindCase kKinds[] = {
    {"TrpBand", "", 0},
    {"TrpDataBand", "Data", 0},
    {"TrpNullBand", "Null", 0},
    {"TrpReportTitle", "ReportTitle", 0},
    {"TrpReportSummary", "ReportSummary", 1},
    {"TrpPageHeader", "PageHeader", 2},
    {"TrpPageFooter", "PageFooter", 3},
    {"TrpHeader", "Header", 4},
    {"TrpFooter", "Footer", 5},
    {"TrpMasterData", "MasterData", 6},
    {"TrpDetailData", "DetailData", 7},
    {"TrpSubdetailData", "SubdetailData", 8},
    {"TrpDataBand4", "Data4", 9},
    {"TrpDataBand5", "Data5", 10},
    {"TrpDataBand6", "Data6", 11},
    {"TrpGroupHeader", "GroupHeader", 12},
    {"TrpGroupFooter", "GroupFooter", 13},
    {"TrpChild", "Child", 14},
    {"TrpColumnHeader", "ColumnHeader", 15},
    {"TrpColumnFooter", "ColumnFooter", 16},
    {"TrpOverlay", "Overlay", 17},
};

INSTANTIATE_TEST_SUITE_P(Table, BandKinds, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.ClassName); });

TEST_F(BandsTest, ChildChainsMayNotComeBack)
{
    TrpReport report;
    TrpComponent* page = new TrpReportPage(&report);
    auto* band = new TrpMasterData(page);
    auto* child = new TrpChild(page);
    auto* grandchild = new TrpChild(page);
    auto* last = new TrpChild(page);
    grandchild->SetChild(last);
    child->SetChild(grandchild);
    band->SetChild(child);
    EXPECT_EQ(band->Child(), child) << "a chain of any length without the band is accepted";
    const auto refuses = [](const std::function<void()>& set) {
        try {
            set();
        } catch (const platform::Exception& refused) {
            return refused.Message() == "Circular child reference is not allowed";
        }
        return false;
    };
    EXPECT_TRUE(refuses([&] { last->SetChild(child); })) << "through the chain";
    EXPECT_TRUE(refuses([&] { child->SetChild(child); })) << "itself";
    EXPECT_EQ(last->Child(), nullptr);
    EXPECT_EQ(child->Child(), grandchild) << "the child stays as it was";
    delete grandchild;
    EXPECT_EQ(child->Child(), nullptr) << "a child that goes is forgotten";
}

struct ColumnCase {
    int32_t Columns;
    int32_t Set;
    int32_t Expected;
    bool MaxYReset;
};

TEST_F(BandsTest, CurrentColumnWrapsAfterTheLast)
{
    const ColumnCase cases[] = {
        {3, 2, 2, false}, {3, 3, 3, false}, {3, 4, 1, true}, {3, 1, 1, true}, {0, 1, 1, true}, {0, 7, 1, true},
    };
    for (const ColumnCase& c : cases) {
        TrpMasterData band;
        band.SetColumns(c.Columns);
        band.ColumnWidth = 100;
        band.ColumnGap = 10;
        band.MaxY = 55;
        band.SetCurColumn(c.Set);
        EXPECT_EQ(band.CurColumn(), c.Expected) << c.Columns << " columns, set " << c.Set;
        EXPECT_EQ(band.MaxY, c.MaxYReset ? 0 : 55);
        EXPECT_EQ(band.Left(), (c.Expected - 1) * 110.0);
    }
}

TEST_F(BandsTest, DataSetBindingByNameAndByObject)
{
    TrpReport report;
    auto* band = new TrpMasterData(new TrpReportPage(&report));
    band->SetDataSetName(QStringLiteral("NoSuchDataSet"));
    EXPECT_EQ(band->DataSet(), nullptr);
    EXPECT_EQ(band->DataSetName(), "NoSuchDataSet");
    TrpUserDataSet dataSet;
    dataSet.SetUserName(QStringLiteral("Archive"));
    band->SetDataSet(&dataSet);
    EXPECT_EQ(band->DataSetName(), "Archive");
    dataSet.SetUserName(QStringLiteral("Renamed"));
    EXPECT_EQ(band->DataSetName(), "Renamed") << "the bound data set's user name";
    band->SetDataSetName(QStringLiteral("renamed"));
    EXPECT_EQ(band->DataSet(), &dataSet);
}

TEST_F(BandsTest, RowCountDrivesTheVirtualDataSet)
{
    reporttest::FakeServices services;
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    auto* band = new TrpMasterData(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetRowCount(3);
    EXPECT_EQ(band->VirtualDataSet().RangeEndCount, 3);
    EXPECT_EQ(band->VirtualDataSet().RangeEnd, reCount);
    ASSERT_NE(services.LastEngine, nullptr);
    EXPECT_TRUE(report.Engine()->Run());
    EXPECT_EQ(services.LastEngine->Walked.join(u' '), "MasterData:0 MasterData:1 MasterData:2");
    band->SetRowCount(0);
    EXPECT_FALSE(report.Engine()->Run()) << "RowCount 0 without a data set prints nothing";
}

TEST_F(BandsTest, TheFakeEngineWalksADataSetRecordByRecord)
{
    reporttest::FakeServices services;
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    auto* master = new TrpMasterData(page);
    auto* detail = new TrpDetailData(page);
    TrpUserDataSet days;
    days.SetUserName(QStringLiteral("Days"));
    days.OnCheckEOF = [](TrpDataSet& sender, bool& eof) { eof = sender.RecNo() >= 2; };
    master->SetDataSet(&days);
    detail->SetRowCount(1);
    QStringList values;
    services.LastEngine->OnRecord = [&](TrpDataBand& band) {
        values << QStringLiteral("%1@%2").arg(band.BandName()).arg(band.DataSet() != nullptr ? band.DataSet()->RecNo() : -1);
    };
    EXPECT_TRUE(report.Engine()->Run());
    EXPECT_EQ(values.join(u' '), "MasterData@0 MasterData@1 DetailData@-1");
}

// A dot-matrix page for the grid test, until the dot-matrix objects exist.
class TestDotMatrixPage : public TrpReportPage {
public:
    using TrpReportPage::TrpReportPage;
    bool IsDotMatrixPage() const override { return true; }
};

TEST_F(BandsTest, OnADotMatrixPageBandsSnapToTheCharacterGrid)
{
    TestDotMatrixPage page;
    auto* band = new TrpPageHeader(&page);
    struct Case {
        const char* What;
        std::function<void(double)> Set;
        std::function<double()> Get;
        double Value;
        double Stored;
    };
    const Case cases[] = {
        {"Top 26", [&](double v) { band->SetTop(v); }, [&] { return band->Top(); }, 26, 34},
        {"Top 25", [&](double v) { band->SetTop(v); }, [&] { return band->Top(); }, 25, 17},
        {"Top 8.5 (half: to the even multiple)", [&](double v) { band->SetTop(v); }, [&] { return band->Top(); }, 8.5, 0},
        {"Left 14", [&](double v) { band->SetLeft(v); }, [&] { return band->Left(); }, 14, 9.6},
        {"Height 40", [&](double v) { band->SetHeight(v); }, [&] { return band->Height(); }, 40, 34},
        {"Width 13 (not snapped)", [&](double v) { band->SetWidth(v); }, [&] { return band->Width(); }, 13, 13},
    };
    for (const Case& c : cases) {
        c.Set(c.Value);
        EXPECT_DOUBLE_EQ(c.Get(), c.Stored) << c.What;
    }
    TrpReportPage plain;
    auto* other = new TrpPageHeader(&plain);
    other->SetTop(26);
    EXPECT_EQ(other->Top(), 26) << "other pages store the value";
}

TEST_F(BandsTest, DefaultsOfThePageBands)
{
    TrpPageHeader header;
    EXPECT_TRUE(header.PrintOnFirstPage);
    TrpPageFooter footer;
    EXPECT_TRUE(footer.PrintOnFirstPage);
    EXPECT_TRUE(footer.PrintOnLastPage);
    EXPECT_EQ(footer.OriginalObjectsCount, -1);
    EXPECT_EQ(header.GetDescription(), "Бэнд"); // the object names of the designer texts block
    EXPECT_EQ(TrpMasterData().GetDescription(), "Бэнд данных");
}

TEST_F(BandsTest, ADrillDownGroupHeaderAddsItsDrillNameToTheDifference)
{
    TrpGroupHeader original;
    TrpGroupHeader printed;
    printed.DrillName = QStringLiteral("MasterData1.3.GroupHeader1.2");
    const QString base = printed.Diff(original);
    EXPECT_FALSE(base.contains(u"DrillName"));
    printed.DrillDown = true;
    EXPECT_EQ(printed.Diff(original), base + QStringLiteral(" DrillName=\"MasterData1.3.GroupHeader1.2\""));
}

} // namespace
