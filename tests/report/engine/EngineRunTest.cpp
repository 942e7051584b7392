// The engine running reports into pages: the band tree and its errors, page breaks and exact
// fits, invariants of listed rows, passes and page runs, groups, splitting, keep-together,
// columns, subreports, the run's discipline on errors, and the fixture reports with their
// goldens through rptool prepare.

#include "EngineFixtures.h"
#include "EngineTestSupport.h"
#include "ReportFakes.h"
#include "Subprocess.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/rpEngine.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpRes.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace enginetest;
using namespace enginefixtures;
using testsupport::ProgramRun;
using testsupport::RunProgram;

namespace {

const QString kReports = kEngineData + QStringLiteral("reports/");
const QString kGoldens = kEngineData + QStringLiteral("goldens/");

// A report with the real engine and store, errors kept silently.
std::unique_ptr<TrpReport> NewReport()
{
    EngineRuntime::init();
    auto report = std::make_unique<TrpReport>();
    report->EngineOptions().NewSilentMode = simSilent;
    return report;
}

TrpPreviewPages& StoreOf(TrpReport& report)
{
    return *dynamic_cast<TrpPreviewPages*>(report.PreviewPages());
}

// One printed band of a prepared page: its source name, top, height and the texts of its memos.
struct PrintedBand {
    QString name;
    double top = 0;
    double height = 0;
    QStringList texts;
};

std::vector<PrintedBand> BandsOfPage(TrpReport& report, int index)
{
    TrpPreviewPages& store = StoreOf(report);
    std::vector<PrintedBand> bands;
    TrpReportPage* page = store.GetPage(index);
    for (TrpComponent* object : page->Objects()) {
        if (!object->IsBand())
            continue;
        PrintedBand band;
        const QString source = store.Dictionary().GetSourceName(object->AliasName());
        band.name = source.mid(source.indexOf(u'.') + 1);
        band.top = object->Top();
        band.height = object->Height();
        for (TrpComponent* child : object->Objects()) {
            if (auto* memo = dynamic_cast<TrpCustomMemoView*>(child))
                band.texts << memo->Text().trimmed();
        }
        bands.push_back(band);
    }
    return bands;
}

QStringList TextsOf(TrpReport& report, const QString& bandName)
{
    QStringList texts;
    for (int i = 0; i < StoreOf(report).Count(); ++i) {
        for (const PrintedBand& band : BandsOfPage(report, i)) {
            if (band.name == bandName)
                texts << band.texts;
        }
    }
    return texts;
}

QByteArray SavedBytes(TrpReport& report)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer);
    return buffer.data();
}

} // namespace

// --- the fixtures and their goldens ------------------------------------------------------------

TEST(EngineFixtures, CommittedFilesAreWhatTheGeneratorMakes)
{
    EngineRuntime::init();
    for (const Fixture& fixture : Fixtures()) {
        EXPECT_EQ(ReadFileBytes(kReports + fixture.name + QStringLiteral(".zi3")).toStdString(),
                  SavedReport(fixture.build).toStdString())
            << fixture.name.toStdString() << ": run engine_fixture_gen " << kReports.toStdString();
    }
    for (const auto& [name, bytes] : CsvFiles())
        EXPECT_EQ(ReadFileBytes(kReports + name), bytes) << name.toStdString();
}

class RptoolPrepare : public testing::Test {
protected:
    ProgramRun Run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), DAX_RPTOOL);
        return RunProgram(arguments);
    }
    std::string Temp(const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); }
    std::vector<std::string> Prepare(const Fixture& fixture, const char* out)
    {
        std::vector<std::string> arguments{"prepare", (kReports + fixture.name + QStringLiteral(".zi3")).toStdString()};
        for (const QString& csv : fixture.csvArguments) {
            const qsizetype equals = csv.indexOf(u'=');
            arguments.push_back("--csv");
            arguments.push_back((csv.left(equals + 1) + kReports + csv.mid(equals + 1)).toStdString());
        }
        arguments.push_back("--out");
        arguments.push_back(Temp(out));
        return arguments;
    }

    QTemporaryDir folder;
};

TEST_F(RptoolPrepare, EveryFixtureGivesItsGolden)
{
    for (const Fixture& fixture : Fixtures()) {
        if (fixture.golden.isEmpty())
            continue;
        const ProgramRun prepared = Run(Prepare(fixture, "out.zp3"));
        ASSERT_EQ(prepared.status, 0) << fixture.name.toStdString() << ": " << prepared.err;
        const ProgramRun dump = Run({"zp3-dump", Temp("out.zp3")});
        ASSERT_EQ(dump.status, 0) << dump.err;
        EXPECT_EQ(dump.out, ReadFileBytes(kGoldens + fixture.golden + QStringLiteral(".dump")).toStdString())
            << fixture.name.toStdString();
    }
}

TEST_F(RptoolPrepare, RowsGiveTheirPageCountAndTheLastFooter)
{
    const std::string list = (kReports + QStringLiteral("list.zi3")).toStdString();
    ProgramRun run = Run({"prepare", list, "--csv", "Rows=" + (kReports + QStringLiteral("rows-98.csv")).toStdString(),
                          "--out", Temp("a.zp3")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Run({"zp3-info", Temp("a.zp3")});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "pages=2");
    run = Run({"prepare", list, "--csv", "Rows=" + (kReports + QStringLiteral("rows-99.csv")).toStdString(), "--out",
               Temp("b.zp3")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Run({"zp3-info", Temp("b.zp3")});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "pages=3");
    run = Run({"zp3-text", Temp("b.zp3"), "--page", "3", "--band", "PageFooter1"});
    EXPECT_EQ(run.out, "Страница 3 из 3\n");
}

TEST_F(RptoolPrepare, FailingRunsPrintTheirErrorAndWriteNothing)
{
    const struct {
        const char* fixture;
        const char* expected;
    } kCases[] = {
        {"giant-line", "Бэнд MasterData1 не помещается на странице: объект Giant не делится на части"},
        {"subreport-cycle", "Подотчёт Subreport2 печатает страницу, которая уже строится"},
    };
    for (const auto& item : kCases) {
        const auto fixture = std::find_if(Fixtures().begin(), Fixtures().end(), [&](const Fixture& f) {
            return f.name == QLatin1String(item.fixture);
        });
        ASSERT_NE(fixture, Fixtures().end());
        const ProgramRun run = Run(Prepare(*fixture, "x.zp3"));
        EXPECT_EQ(run.status, 2) << item.fixture;
        EXPECT_NE(run.err.find(item.expected), std::string::npos) << run.err;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(Temp("x.zp3"))));
    }
}

// --- the band tree -----------------------------------------------------------------------------

namespace {

struct TreeCase {
    const char* name;
    std::function<void(TrpReport&, TrpReportPage&, TrpDataSet&)> build;
    const char16_t* expected;
};

TrpMemoView* Label(TrpBand* band)
{
    return AddMemo(band, band->Name() + QStringLiteral("Text"), 0, 0, 100, 20, band->Name());
}

} // namespace

TEST(EngineBandTree, ErrorsStopTheRunBeforeItStarts)
{
    const TreeCase kCases[] = {
        {"header not above a data band",
         [](TrpReport&, TrpReportPage& page, TrpDataSet& rows) {
             AddBand<TrpMasterData>(&page, QStringLiteral("MasterData1"), 0, 20)->SetDataSet(&rows);
             AddBand<TrpHeader>(&page, QStringLiteral("Header1"), 30, 20);
         },
         u"Не подключенный header/footer Header1"},
        {"detail without master",
         [](TrpReport&, TrpReportPage& page, TrpDataSet& rows) {
             AddBand<TrpDetailData>(&page, QStringLiteral("DetailData1"), 0, 20)->SetDataSet(&rows);
         },
         u"Неправильно расположен бэнд: DetailData1"},
        {"group without data band",
         [](TrpReport&, TrpReportPage& page, TrpDataSet&) {
             AddBand<TrpGroupHeader>(&page, QStringLiteral("GroupHeader1"), 0, 20);
         },
         u"Нет дата-бэнда для группы GroupHeader1"},
        {"group footer without header",
         [](TrpReport&, TrpReportPage& page, TrpDataSet& rows) {
             AddBand<TrpMasterData>(&page, QStringLiteral("MasterData1"), 0, 20)->SetDataSet(&rows);
             AddBand<TrpGroupFooter>(&page, QStringLiteral("GroupFooter1"), 30, 20);
         },
         u"Нет заголовка группы GroupFooter1"},
        {"page data set on a master",
         [](TrpReport&, TrpReportPage& page, TrpDataSet& rows) {
             page.SetDataSet(&rows);
             AddBand<TrpMasterData>(&page, QStringLiteral("MasterData1"), 0, 20)->SetDataSet(&rows);
         },
         u"Cannot use the same dataset for Page.DataSet and Band.DataSet"},
        {"report data set on a master",
         [](TrpReport& report, TrpReportPage& page, TrpDataSet& rows) {
             report.SetDataSet(&rows);
             AddBand<TrpMasterData>(&page, QStringLiteral("MasterData1"), 0, 20)->SetDataSet(&rows);
         },
         u"Cannot use the same dataset for Report.DataSet and Band.DataSet"},
        {"report data set on the page",
         [](TrpReport& report, TrpReportPage& page, TrpDataSet& rows) {
             report.SetDataSet(&rows);
             page.SetDataSet(&rows);
         },
         u"Cannot use the same dataset for Report.DataSet and Page.DataSet"},
    };
    for (const TreeCase& item : kCases) {
        SCOPED_TRACE(item.name);
        const auto report = NewReport();
        auto rows = CsvData(QStringLiteral("Rows"), RowsCsv(3));
        report->DataSets().Add(rows.get());
        TrpReportPage* page = new TrpReportPage(report.get());
        page->SetName(QStringLiteral("Page1"));
        item.build(*report, *page, *rows);
        bool started = false;
        report->OnBeginDoc = [](TrpReport&) {};
        report->OnManualBuild = [&](TrpReportPage&) { started = true; };
        EXPECT_FALSE(report->PrepareReport());
        EXPECT_TRUE(report->Errors().contains(QString::fromUtf16(item.expected))) << report->Errors().join(u'|').toStdString();
        EXPECT_FALSE(started);
        EXPECT_EQ(StoreOf(*report).Count(), 0);
    }
}

TEST(EngineBandTree, MasterWithoutDataSetIsDroppedAndBandsAtOneTopBothPrint)
{
    const auto report = NewReport();
    auto rows = CsvData(QStringLiteral("Rows"), RowsCsv(2));
    report->DataSets().Add(rows.get());
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    Label(AddBand<TrpMasterData>(page, QStringLiteral("Unbound"), 0, 20));
    auto* first = AddBand<TrpMasterData>(page, QStringLiteral("First"), 40, 20);
    first->SetDataSet(rows.get());
    Label(first);
    auto* second = AddBand<TrpMasterData>(page, QStringLiteral("Second"), 40, 20);
    second->SetRowCount(1);
    Label(second);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    EXPECT_EQ(TextsOf(*report, QStringLiteral("First")).size(), 2);
    EXPECT_EQ(TextsOf(*report, QStringLiteral("Second")).size(), 1);
    EXPECT_TRUE(TextsOf(*report, QStringLiteral("Unbound")).isEmpty());
}

// --- page breaks -------------------------------------------------------------------------------

namespace {

std::unique_ptr<TrpReport> ListReport(DataSets& keep, int rows)
{
    auto report = NewReport();
    BuildList(*report, keep);
    keep.push_back(CsvData(QStringLiteral("Rows"), RowsCsv(rows)));
    report->DataSets().Items(0)->SetDataSet(keep.back().get());
    dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"))->SetDataSet(keep.back().get());
    return report;
}

} // namespace

TEST(EngineBreaks, ExactFitOfTheList)
{
    for (const int rows : {98, 99}) {
        DataSets keep;
        const auto report = ListReport(keep, rows);
        ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
        ASSERT_EQ(StoreOf(*report).Count(), rows == 98 ? 2 : 3);
        int onFirst = 0;
        int onSecond = 0;
        for (const PrintedBand& band : BandsOfPage(*report, 0))
            onFirst += band.name == u"MasterData1";
        for (const PrintedBand& band : BandsOfPage(*report, 1))
            onSecond += band.name == u"MasterData1";
        EXPECT_EQ(onFirst, 48);
        EXPECT_EQ(onSecond, 50);
    }
}

TEST(EngineBreaks, ABandAsHighAsTheFreeSpaceStays)
{
    for (const double extra : {0.0, 0.01}) {
        const auto report = NewReport();
        TrpReportPage* page = new TrpReportPage(report.get());
        page->SetName(QStringLiteral("Page1"));
        page->TopMargin = page->BottomMargin = 10;
        Label(AddBand<TrpReportTitle>(page, QStringLiteral("Title1"), 0, 100));
        const double free = (297 - 20) * 3.77953 - 100;
        auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Big"), 200, free + extra);
        band->SetRowCount(1);
        Label(band);
        ASSERT_TRUE(report->PrepareReport());
        EXPECT_EQ(StoreOf(*report).Count(), extra == 0 ? 1 : 2) << extra;
    }
}

TEST(EngineBreaks, RowsOnceInOrderWithoutOverlapsAndFootersAtTheBottom)
{
    for (const int rows : {0, 1, 48, 49, 1000}) {
        SCOPED_TRACE(rows);
        DataSets keep;
        const auto report = ListReport(keep, rows);
        ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
        TrpPreviewPages& store = StoreOf(*report);
        const double pageHeight = (297 - 20) * 3.77953;
        int next = 1;
        for (int p = 0; p < store.Count(); ++p) {
            const std::vector<PrintedBand> bands = BandsOfPage(*report, p);
            bool header = false;
            bool footer = false;
            for (size_t i = 0; i < bands.size(); ++i) {
                const PrintedBand& band = bands[i];
                if (band.name == u"MasterData1") {
                    EXPECT_EQ(band.texts.value(0), QString::number(next));
                    ++next;
                }
                header = header || band.name == u"Header1";
                if (band.name == u"PageFooter1") {
                    footer = true;
                    // The page count is a macro the prepared page expands when it is drawn.
                    EXPECT_TRUE(band.texts.value(0).startsWith(QStringLiteral("Страница %1 из ").arg(p + 1)))
                        << band.texts.value(0).toStdString();
                    EXPECT_NEAR(band.top, pageHeight - 20, 1e-6);
                } else {
                    EXPECT_LE(band.top + band.height, pageHeight - 20 + 1e-6) << band.name.toStdString();
                }
                for (size_t j = i + 1; j < bands.size(); ++j) {
                    const bool apart = bands[j].top >= band.top + band.height - 1e-4
                                       || band.top >= bands[j].top + bands[j].height - 1e-4;
                    EXPECT_TRUE(apart) << band.name.toStdString() << " and " << bands[j].name.toStdString();
                }
            }
            EXPECT_TRUE(footer);
            if (rows > 0) {
                EXPECT_TRUE(header) << "page " << p;
            }
        }
        EXPECT_EQ(next, rows + 1);
    }
}

// --- passes and page runs ----------------------------------------------------------------------

TEST(EngineRuns, TotalPagesIsZeroInTheFirstPassAndTheCountInTheSecond)
{
    DataSets keep;
    const auto report = ListReport(keep, 99);
    std::vector<std::pair<bool, int32_t>> seen;
    report->OnBeforePrint = [&](TrpComponent& object) {
        if (object.Name() == u"PageFooter1")
            seen.emplace_back(report->Engine()->FinalPass, report->Engine()->TotalPages);
    };
    ASSERT_TRUE(report->PrepareReport());
    ASSERT_EQ(seen.size(), 6u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i], std::make_pair(false, 0));
        EXPECT_EQ(seen[i + 3], std::make_pair(true, 3));
    }
}

TEST(EngineRuns, PageCountRowCountAndPrintOnPreviousPage)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    page->SetPageCount(3);
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 20);
    band->SetRowCount(5);
    Label(band);
    TrpReportPage* next = new TrpReportPage(report.get());
    next->SetName(QStringLiteral("Page2"));
    next->PrintOnPreviousPage = true;
    Label(AddBand<TrpReportTitle>(next, QStringLiteral("Tail"), 0, 20));
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(StoreOf(*report).Count(), 3);
    EXPECT_EQ(TextsOf(*report, QStringLiteral("Rows")).size(), 15);
    const std::vector<PrintedBand> last = BandsOfPage(*report, 2);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.back().name, QStringLiteral("Tail"));
    EXPECT_DOUBLE_EQ(last.back().top, 100);
}

TEST(EngineRuns, EmptyMastersWithoutPrintIfEmptyGiveNoPage)
{
    DataSets keep;
    const auto report = ListReport(keep, 0);
    report->EngineOptions().PrintIfEmpty = false;
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(StoreOf(*report).Count(), 0);
}

TEST(EngineRuns, StartNewPageBreaksBeforeTheSecondRecordOnly)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 20);
    band->SetRowCount(3);
    band->StartNewPage = true;
    Label(band);
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(StoreOf(*report).Count(), 3);
}

TEST(EngineRuns, AStopMidRunKeepsThePagesAndFinishesTheRun)
{
    DataSets keep;
    const auto report = ListReport(keep, 200);
    report->EngineOptions().DoublePass = false;
    int rows = 0;
    report->OnAfterPrint = [&](TrpComponent& object) {
        if (object.Name() == u"MasterData1" && ++rows == 60)
            report->SetTerminated(true);
    };
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(StoreOf(*report).Count(), 2);
    EXPECT_FALSE(report->Engine()->Running);
    EXPECT_FALSE(keep.back()->Initialized);
}

TEST(EngineRuns, AnExpressionErrorKeepsThePagesAndFinishesTheRun)
{
    DataSets keep;
    const auto report = ListReport(keep, 100);
    report->EngineOptions().DoublePass = false;
    int rows = 0;
    report->OnBeforePrint = [&](TrpComponent& object) {
        if (object.Name() == u"RowText" && ++rows == 60)
            throw ECalcError("RowText: failed");
    };
    EXPECT_FALSE(report->PrepareReport());
    EXPECT_FALSE(report->Errors().isEmpty());
    EXPECT_EQ(StoreOf(*report).Count(), 2);
    EXPECT_FALSE(report->Engine()->Running);
}

TEST(EngineRuns, TheReportSavesTheSameBytesBeforeAndAfterARun)
{
    DataSets keep;
    const auto report = NewReport();
    BuildSubreports(*report, keep);
    const QByteArray before = SavedBytes(*report);
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(SavedBytes(*report).toStdString(), before.toStdString());
}

// --- groups ------------------------------------------------------------------------------------

TEST(EngineGroups, FootersReadTheLastRecordOfTheirGroup)
{
    DataSets keep;
    const auto report = NewReport();
    BuildGroups(*report, keep);
    keep.push_back(CsvData(QStringLiteral("Rows"), GroupsCsv()));
    report->DataSets().Items(0)->SetDataSet(keep.back().get());
    dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"))->SetDataSet(keep.back().get());
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    EXPECT_EQ(TextsOf(*report, QStringLiteral("GroupFooter1")),
              (QStringList{QStringLiteral("A 2"), QStringLiteral("B 1"), QStringLiteral("C 3")}));

    dynamic_cast<TrpGroupFooter*>(report->FindObject(u"GroupFooter1"))->HideIfSingleDataRecord = true;
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(TextsOf(*report, QStringLiteral("GroupFooter1")), (QStringList{QStringLiteral("A 2"), QStringLiteral("C 3")}));
}

TEST(EngineGroups, ADataSetThatCannotStepBackIsRefusedByName)
{
    DataSets keep;
    const auto report = NewReport();
    BuildGroups(*report, keep);
    TrpUserDataSet events;
    events.SetUserName(QStringLiteral("Events"));
    events.RangeEnd = reCount;
    events.RangeEndCount = 3;
    events.SetFields({QStringLiteral("Key")});
    events.OnGetValue = [](const QString&, Variant& value) { value = Variant(QStringLiteral("A")); };
    dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"))->SetDataSet(&events);
    EXPECT_FALSE(report->PrepareReport());
    EXPECT_TRUE(report->Errors().join(u'|').contains(QStringLiteral("Группа GroupHeader1"))) << report->Errors().join(u'|').toStdString();
}

TEST(EngineGroups, RowCountLimitsTheRecordsAndAnEmptyMasterPrintsNoHeaderOrFooter)
{
    DataSets keep;
    const auto report = NewReport();
    BuildList(*report, keep);
    keep.push_back(CsvData(QStringLiteral("Rows"), RowsCsv(10)));
    auto* master = dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"));
    master->SetDataSet(keep.back().get());
    master->SetRowCount(3);
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(TextsOf(*report, QStringLiteral("MasterData1")).size(), 3);

    keep.push_back(CsvData(QStringLiteral("Rows"), RowsCsv(0)));
    master->SetDataSet(keep.back().get());
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_TRUE(TextsOf(*report, QStringLiteral("Header1")).isEmpty());
}

// --- splitting ---------------------------------------------------------------------------------

TEST(EngineSplit, AMemoOfManyLinesIsSplitWithoutLossOrDoubling)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Long"), 0, 20);
    band->SetRowCount(1);
    band->AllowSplit = true;
    band->Stretched = true;
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << QStringLiteral("Строка %1").arg(i);
    TrpMemoView* memo = AddMemo(band, QStringLiteral("Lines"), 0, 0, 400, 20, lines.join(QStringLiteral("\r\n")));
    memo->StretchMode = smActualHeight;
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    EXPECT_GE(StoreOf(*report).Count(), 2);
    QStringList joined;
    for (const QString& piece : TextsOf(*report, QStringLiteral("Long")))
        joined << piece.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(joined, lines);
}

// --- shifting ----------------------------------------------------------------------------------

TEST(EngineShift, GrowthMovesWhatLiesBelowOnly)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 100);
    band->SetRowCount(1);
    TrpMemoView* grows = AddMemo(band, QStringLiteral("Grows"), 0, 0, 100, 20, QStringLiteral("1\r\n2\r\n3\r\n4"));
    grows->StretchMode = smActualHeight;
    AddMemo(band, QStringLiteral("Beside"), 200, 30, 100, 20, QStringLiteral("beside"));
    AddMemo(band, QStringLiteral("Below"), 0, 30, 100, 20, QStringLiteral("below"));
    TrpMemoView* dont = AddMemo(band, QStringLiteral("Dont"), 0, 60, 100, 20, QStringLiteral("dont"));
    dont->ShiftMode = smDontShift;
    AddMemo(band, QStringLiteral("Under"), 0, 85, 100, 10, QStringLiteral("under"));
    // Measured before the run: the run reloads the report, and `grows` goes with it.
    const double growth = grows->CalcHeight() - 20;
    ASSERT_TRUE(report->PrepareReport());
    TrpReportPage* printed = StoreOf(*report).GetPage(0);
    const auto topOf = [&](const char16_t* name) {
        for (TrpComponent* b : printed->Objects())
            for (TrpComponent* o : b->Objects())
                if (StoreOf(*report).Dictionary().GetSourceName(o->AliasName()).endsWith(QString::fromUtf16(name)))
                    return o->Top();
        return -1.0;
    };
    ASSERT_GT(growth, 0);
    EXPECT_DOUBLE_EQ(topOf(u"Beside"), 30);
    EXPECT_DOUBLE_EQ(topOf(u"Below"), 30 + growth);
    EXPECT_DOUBLE_EQ(topOf(u"Dont"), 60);
    EXPECT_DOUBLE_EQ(topOf(u"Under"), 85 + growth);
}
