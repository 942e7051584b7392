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
        // A page stored whole (an endless page) keeps the objects' own names.
        const QString source = store.Dictionary().GetSourceName(object->AliasName());
        band.name = source.isEmpty() ? object->Name() : source.mid(source.indexOf(u'.') + 1);
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

TEST_F(RptoolPrepare, VariablesAreGivenAsText)
{
    const auto report = NewReport();
    report->CheckDataPage();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* title = AddBand<TrpReportTitle>(page, QStringLiteral("Title1"), 0, 20);
    AddMemo(title, QStringLiteral("Text"), 0, 0, 300, 20, QStringLiteral("[Heading]"));
    report->Variables().SetValue(QStringLiteral("Heading"), Variant(QStringLiteral("''")));
    report->SaveToFile(QString::fromStdString(Temp("vars.zi3")));
    ProgramRun run = Run({"prepare", Temp("vars.zi3"), "--var", "Heading=Отчёт 'за' день", "--out", Temp("v.zp3")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Run({"zp3-text", Temp("v.zp3")});
    EXPECT_EQ(run.out, "Отчёт 'за' день\n");
    // A CSV file that cannot be opened (1), one that is no table (2): nothing written.
    run = Run({"prepare", Temp("vars.zi3"), "--csv", "Rows=" + Temp("missing.csv"), "--out", Temp("w.zp3")});
    EXPECT_EQ(run.status, 1);
    WriteFileBytes(QString::fromStdString(Temp("bad.csv")), "N,M\r\n1\r\n");
    run = Run({"prepare", Temp("vars.zi3"), "--csv", "Rows=" + Temp("bad.csv"), "--out", Temp("w.zp3")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("line 2: 1 cells, the header has 2"), std::string::npos) << run.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Temp("w.zp3"))));
}

// --- the CSV data set --------------------------------------------------------------------------

TEST(CsvDataSet, CellsFollowQuotesEmptyIsNullNumbersAreNumbers)
{
    TrpCsvDataSet data;
    data.LoadFromText("\xEF\xBB\xBFName,Value,Note\r\n"
                      "\"a, b\",1.5,\"say \"\"hi\"\"\"\r\n"
                      "\"two\nlines\",-7,\n"
                      ",1e3,12 kg\n",
                      QStringLiteral("test"));
    ASSERT_EQ(data.RowCount(), 3);
    EXPECT_TRUE(data.CanStepBack());
    data.First();
    EXPECT_EQ(data.GetValue(QStringLiteral("name")).ToString(), QStringLiteral("a, b"));
    EXPECT_EQ(data.GetValue(QStringLiteral("Value")).Kind(), VariantKind::Double);
    EXPECT_EQ(data.GetValue(QStringLiteral("Note")).ToString(), QStringLiteral("say \"hi\""));
    data.Next();
    EXPECT_EQ(data.GetValue(QStringLiteral("Name")).ToString(), QStringLiteral("two\nlines"));
    EXPECT_EQ(data.GetValue(QStringLiteral("Value")).Kind(), VariantKind::Int32);
    EXPECT_TRUE(data.GetValue(QStringLiteral("Note")).IsNull());
    data.Next();
    EXPECT_TRUE(data.GetValue(QStringLiteral("Name")).IsNull());
    EXPECT_DOUBLE_EQ(data.GetValue(QStringLiteral("Value")).ToDouble(), 1000);
    EXPECT_EQ(data.GetValue(QStringLiteral("Note")).ToString(), QStringLiteral("12 kg"));
    EXPECT_EQ(data.GetFieldType(QStringLiteral("Value")), fftNumeric);
    EXPECT_EQ(data.GetFieldType(QStringLiteral("Note")), fftString);
    data.Prior();
    EXPECT_EQ(data.GetValue(QStringLiteral("Value")).ToInt32(), -7);
    data.Next();
    data.Next();
    EXPECT_TRUE(data.Eof());

    const struct {
        const char* text;
        const char* error;
    } kBroken[] = {
        {"A,B\r\n\"open,1\r\n", "test: line 2: a quoted cell is not closed"},
        {"A\r\nx\"y\r\n", "test: line 2: a quote inside an unquoted cell"},
        {"A\r\n\"x\"y\r\n", "test: line 2: text after a closing quote"},
        {"A,,B\r\n", "test: line 1: a field without a name"},
        {"", "test: line 1: no header row"},
    };
    for (const auto& item : kBroken) {
        TrpCsvDataSet broken;
        try {
            broken.LoadFromText(item.text, QStringLiteral("test"));
            ADD_FAILURE() << item.text;
        } catch (const platform::Exception& error) {
            EXPECT_EQ(error.Message(), item.error);
        }
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

// Of two passes, the first only counts pages: its pages carry no texts ("[Page#]" and the data
// fields unexpanded), so a stop there leaves no pages; a stop in the second keeps its pages.
TEST(EngineRuns, AStopInTheCountingPassLeavesNoPagesAndInTheSecondKeepsThem)
{
    const struct {
        int stopAtRow; // rows counted over both passes: 200 in the first
        int pages;
    } cases[] = {{60, 0}, {200 + 60, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAtRow);
        DataSets keep;
        const auto report = ListReport(keep, 200);
        ASSERT_TRUE(report->EngineOptions().DoublePass);
        int rows = 0;
        report->OnAfterPrint = [&](TrpComponent& object) {
            if (object.Name() == u"MasterData1" && ++rows == c.stopAtRow)
                report->SetTerminated(true);
        };
        ASSERT_TRUE(report->PrepareReport());
        EXPECT_EQ(StoreOf(*report).Count(), c.pages);
        EXPECT_FALSE(report->Engine()->Running);
        EXPECT_FALSE(keep.back()->Initialized);
    }
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
    // The run reloaded the report from its snapshot: the band is found again.
    master = dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"));
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
    ASSERT_TRUE(report->PrepareReport());
    TrpReportPage* printed = StoreOf(*report).GetPage(0);
    const auto topOf = [&](const char16_t* name) {
        for (TrpComponent* b : printed->Objects())
            for (TrpComponent* o : b->Objects())
                if (StoreOf(*report).Dictionary().GetSourceName(o->AliasName()).endsWith(QString::fromUtf16(name)))
                    return o->Top();
        return -1.0;
    };
    // The run reloads the report from its snapshot: the memo is found again by name.
    const double growth = dynamic_cast<TrpMemoView*>(report->FindObject(u"Grows"))->CalcHeight() - 20;
    ASSERT_GT(growth, 0);
    EXPECT_DOUBLE_EQ(topOf(u"Beside"), 30);
    EXPECT_DOUBLE_EQ(topOf(u"Below"), 30 + growth);
    EXPECT_DOUBLE_EQ(topOf(u"Dont"), 60);
    EXPECT_DOUBLE_EQ(topOf(u"Under"), 85 + growth);
}

// --- keep-together -----------------------------------------------------------------------------

TEST(EngineKeep, AMasterWithItsDetailsMovesWholeAndItsOutlineEntryFollows)
{
    DataSets keep;
    const auto report = NewReport();
    BuildKeep(*report, keep);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    TrpPreviewPages& store = StoreOf(*report);
    ASSERT_EQ(store.Count(), 2);
    const std::vector<PrintedBand> first = BandsOfPage(*report, 0);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back().texts.value(0), QStringLiteral("Строка 3"));
    const std::vector<PrintedBand> second = BandsOfPage(*report, 1);
    ASSERT_EQ(second.size(), 12u);
    EXPECT_EQ(second[0].texts.value(0), QStringLiteral("Блок 13"));
    EXPECT_DOUBLE_EQ(second[0].top, 0);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(second[static_cast<size_t>(i)].texts.value(0), QStringLiteral("Строка %1").arg(i));

    TrpCustomOutline* outline = store.Outline();
    outline->LevelRoot();
    ASSERT_EQ(outline->Count(), 15);
    QString text;
    int32_t page = -1;
    int32_t top = -1;
    outline->GetItem(12, text, page, top);
    EXPECT_EQ(text, QStringLiteral("Блок"));
    EXPECT_EQ(page, 1);
    EXPECT_EQ(top, 0);
    outline->GetItem(11, text, page, top);
    EXPECT_EQ(page, 0);
    EXPECT_EQ(top, 40 + 11 * 80);
}

TEST(EngineKeep, ABlockHigherThanAPageIsGivenUp)
{
    DataSets keep;
    const auto report = NewReport();
    BuildKeep(*report, keep);
    dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"))->SetRowCount(2);
    dynamic_cast<TrpDataBand*>(report->FindObject(u"DetailData1"))->SetRowCount(60);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    EXPECT_EQ(TextsOf(*report, QStringLiteral("DetailData1")).size(), 120);
    EXPECT_EQ(TextsOf(*report, QStringLiteral("MasterData1")),
              (QStringList{QStringLiteral("Блок 1"), QStringLiteral("Блок 2")}));
}

TEST(EngineKeep, AKeptHeaderMovesWithTheFirstRecord)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    page->TopMargin = page->BottomMargin = 10;
    const double free = (297 - 20) * 3.77953;
    Label(AddBand<TrpReportTitle>(page, QStringLiteral("Title1"), 0, free - 30));
    Label(AddBand<TrpHeader>(page, QStringLiteral("Header1"), 2000, 20));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 2100, 20);
    master->SetRowCount(2);
    master->KeepHeader = true;
    Label(master);
    ASSERT_TRUE(report->PrepareReport());
    ASSERT_EQ(StoreOf(*report).Count(), 2);
    const std::vector<PrintedBand> second = BandsOfPage(*report, 1);
    ASSERT_GE(second.size(), 2u);
    EXPECT_EQ(second[0].name, QStringLiteral("Header1"));
    EXPECT_DOUBLE_EQ(second[0].top, 0);
    EXPECT_EQ(second[1].name, QStringLiteral("Rows"));
    EXPECT_EQ(BandsOfPage(*report, 0).size(), 1u);
}

// --- values across pages -----------------------------------------------------------------------

TEST(EngineValues, SuppressedValuesShowAgainOnANewPage)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 20);
    master->SetRowCount(60);
    AddMemo(master, QStringLiteral("Same"), 0, 0, 100, 20, QStringLiteral("Одно"))->SuppressRepeated = true;
    ASSERT_TRUE(report->PrepareReport());
    ASSERT_EQ(StoreOf(*report).Count(), 2);
    for (int p = 0; p < 2; ++p) {
        const std::vector<PrintedBand> bands = BandsOfPage(*report, p);
        ASSERT_GT(bands.size(), 1u);
        EXPECT_EQ(bands[0].texts.value(0), QStringLiteral("Одно")) << p;
        EXPECT_EQ(bands[1].texts.value(0), QString()) << p;
    }
}

TEST(EngineValues, AFooterLeftOffTheFirstPageCarriesItsTotalsIntoTheSecond)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 20);
    master->SetRowCount(60);
    Label(master);
    auto* footer = AddBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 100, 20);
    footer->PrintOnFirstPage = false;
    AddMemo(footer, QStringLiteral("Count"), 0, 0, 100, 20, QStringLiteral("[COUNT()]"));
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    ASSERT_EQ(StoreOf(*report).Count(), 2);
    EXPECT_EQ(TextsOf(*report, QStringLiteral("PageFooter1")), QStringList{QStringLiteral("60")});
}

TEST(EngineValues, DrillDownGroupsOpenWhenTheirNameIsInTheDrillState)
{
    DataSets keep;
    const auto report = NewReport();
    BuildGroups(*report, keep);
    keep.push_back(CsvData(QStringLiteral("Rows"), GroupsCsv()));
    report->DataSets().Items(0)->SetDataSet(keep.back().get());
    dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"))->SetDataSet(keep.back().get());
    dynamic_cast<TrpGroupHeader*>(report->FindObject(u"GroupHeader1"))->DrillDown = true;
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    EXPECT_EQ(TextsOf(*report, QStringLiteral("GroupHeader1")).size(), 3);
    EXPECT_TRUE(TextsOf(*report, QStringLiteral("MasterData1")).isEmpty());
    EXPECT_TRUE(TextsOf(*report, QStringLiteral("GroupFooter1")).isEmpty());

    report->DrillState << QStringLiteral("GroupHeader1.3");
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(TextsOf(*report, QStringLiteral("MasterData1")),
              (QStringList{QStringLiteral("C 4"), QStringLiteral("C 5"), QStringLiteral("C 6")}));
    EXPECT_EQ(TextsOf(*report, QStringLiteral("GroupFooter1")), QStringList{QStringLiteral("C 3")});
}

// --- dialog pages ------------------------------------------------------------------------------

TEST(EngineDialogs, ACancelledDialogEndsTheRunWithoutPages)
{
    EngineRuntime::init();
    for (const int32_t answer : {mrCancel, mrOk}) {
        TrpModelServices services = ModelServices();
        std::vector<reporttest::FakeDialogWindow*> windows;
        services.CreateDialogWindow = [&](TrpDialogPage&) -> std::unique_ptr<ITrpDialogWindow> {
            auto window = std::make_unique<reporttest::FakeDialogWindow>();
            window->Result = answer;
            windows.push_back(window.get());
            return window;
        };
        const ModelServicesScope scope(services);
        const auto report = NewReport();
        report->CheckDataPage();
        auto* dialog = new TrpDialogPage(report.get());
        dialog->SetName(QStringLiteral("Dialog1"));
        auto* control = new TrpDialogComponent(dialog);
        control->SetName(QStringLiteral("Control1"));
        TrpReportPage* page = new TrpReportPage(report.get());
        page->SetName(QStringLiteral("Page1"));
        Label(AddBand<TrpReportTitle>(page, QStringLiteral("Title1"), 0, 20));
        // The report keeps its objects through the run: no reload from a snapshot, whose
        // dialog component would not load outside the program.
        report->EngineOptions().DestroyForms = false;
        EXPECT_EQ(report->PrepareReport(), answer != mrCancel) << answer;
        ASSERT_FALSE(windows.empty());
        EXPECT_TRUE(windows.back()->Calls.contains(QStringLiteral("ShowModal")));
        EXPECT_EQ(StoreOf(*report).Count(), answer == mrCancel ? 0 : 1);
    }
}

// --- vertical bands ----------------------------------------------------------------------------

TEST(EngineVertical, ColumnsGoOnTheNextPageWithTheirHeaderAndTheReportComesBackWhole)
{
    DataSets keep;
    const auto report = NewReport();
    BuildVertical(*report, keep);
    const QByteArray before = SavedBytes(*report);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    ASSERT_EQ(StoreOf(*report).Count(), 2);
    const QStringList second{QStringLiteral("Строка"), QStringLiteral("Кол. 7"), QStringLiteral("Кол. 8"),
                             QStringLiteral("Кол. 9"), QStringLiteral("Кол. 10")};
    const std::vector<PrintedBand> bands = BandsOfPage(*report, 1);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].texts, second);
    EXPECT_EQ(bands[1].texts, second);
    EXPECT_DOUBLE_EQ(bands[1].top, 20);
    EXPECT_EQ(BandsOfPage(*report, 0).front().texts.size(), 7);
    EXPECT_EQ(SavedBytes(*report).toStdString(), before.toStdString());
}

// --- subreports --------------------------------------------------------------------------------

TEST(EngineSubreports, SideBySideTheNextBandFollowsTheTaller)
{
    DataSets keep;
    const auto report = NewReport();
    BuildSubreports(*report, keep);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    const std::vector<PrintedBand> bands = BandsOfPage(*report, 0);
    ASSERT_FALSE(bands.empty());
    // The band at 0 (30 high), the subreports from 20: three rows on the left, five on the right.
    EXPECT_EQ(bands.back().name, QStringLiteral("MasterData4"));
    EXPECT_DOUBLE_EQ(bands.back().top, 20 + 5 * 20);
}

TEST(EngineSubreports, OnTheParentBandTheirRowsBecomePartOfIt)
{
    DataSets keep;
    const auto report = NewReport();
    BuildParentSubreport(*report, keep);
    const QByteArray before = SavedBytes(*report);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    const std::vector<PrintedBand> bands = BandsOfPage(*report, 0);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_DOUBLE_EQ(bands[0].height, 60);
    EXPECT_EQ(bands[1].texts, (QStringList{QStringLiteral("Запись 2"), QStringLiteral("Вложенная 1"),
                                           QStringLiteral("Вложенная 2"), QStringLiteral("Вложенная 3")}));
    EXPECT_DOUBLE_EQ(bands[2].top, 120);
    EXPECT_EQ(SavedBytes(*report).toStdString(), before.toStdString());
}

// --- script events of the run --------------------------------------------------------------------

TEST(EngineEvents, RunDialogsAnsweringFalseEndsTheRunAndStopReportStillRuns)
{
    for (const bool answer : {false, true}) {
        const auto report = NewReport();
        TrpReportPage* page = new TrpReportPage(report.get());
        page->SetName(QStringLiteral("Page1"));
        Label(AddBand<TrpReportTitle>(page, QStringLiteral("Title1"), 0, 20));
        report->OnRunDialogs = QStringLiteral("Dialogs");
        report->OnStartReport = QStringLiteral("Started");
        report->OnStopReport = QStringLiteral("Stopped");
        report->SetScriptText(QStringLiteral("procedure Dialogs(var Result: Boolean);\nbegin\n  Result := %1\nend;\n"
                                             "procedure Started(Sender: Variant);\nbegin\n  Set('Started', 1)\nend;\n"
                                             "procedure Stopped(Sender: Variant);\nbegin\n  Set('Stopped', 1)\nend;\n"
                                             "begin\nend.")
                                  .arg(answer ? QStringLiteral("True") : QStringLiteral("False"))
                                  .split(u'\n'));
        report->EngineOptions().DestroyForms = false;
        EXPECT_EQ(report->PrepareReport(), answer) << report->Errors().join(u'|').toStdString();
        EXPECT_EQ(StoreOf(*report).Count(), answer ? 1 : 0);
        EXPECT_EQ(report->Variables().GetValue(QStringLiteral("Started")).ToInt32(), 1);
        EXPECT_EQ(report->Variables().GetValue(QStringLiteral("Stopped")).ToInt32(), 1);
    }
}

// --- page columns ------------------------------------------------------------------------------

TEST(EngineColumns, RowsFillTheColumnsAndTheColumnFooterSitsUnderEach)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    page->TopMargin = page->BottomMargin = 10;
    page->LeftMargin = page->RightMargin = 10;
    page->SetColumns(2);
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 20);
    master->SetRowCount(60);
    Label(master);
    Label(AddBand<TrpColumnFooter>(page, QStringLiteral("ColumnFooter1"), 100, 20));
    const double secondColumn = page->ColumnPositions().value(1).toDouble() * 3.77953;
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    ASSERT_EQ(StoreOf(*report).Count(), 1);
    TrpReportPage* printed = StoreOf(*report).GetPage(0);
    std::vector<std::pair<double, double>> footers; // left, top
    int firstColumn = 0;
    int second = 0;
    for (TrpComponent* band : printed->Objects()) {
        const QString source = StoreOf(*report).Dictionary().GetSourceName(band->AliasName());
        if (source.endsWith(u".ColumnFooter1"))
            footers.emplace_back(band->Left(), band->Top());
        else if (source.endsWith(u".Rows"))
            (band->Left() < 1 ? firstColumn : second) += 1;
    }
    const int perColumn = static_cast<int>(((297 - 20) * 3.77953 - 20) / 20);
    EXPECT_EQ(firstColumn, perColumn);
    EXPECT_EQ(second, 60 - perColumn);
    ASSERT_EQ(footers.size(), 2u);
    EXPECT_DOUBLE_EQ(footers[0].second, perColumn * 20.0);
    EXPECT_NEAR(footers[1].first, secondColumn, 1e-6);
    EXPECT_DOUBLE_EQ(footers[1].second, (60 - perColumn) * 20.0);
}

TEST(EngineShift, OverlappedObjectsMoveOnlyWhenCoveredAndTwoGrowingNeighboursPushOnce)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 300);
    band->SetRowCount(1);
    const auto grower = [&](const QString& name, double left, int lines) {
        QStringList text;
        for (int i = 0; i < lines; ++i)
            text << QString::number(i);
        TrpMemoView* memo = AddMemo(band, name, left, 0, 100, 20, text.join(QStringLiteral("\r\n")));
        memo->StretchMode = smActualHeight;
        return memo;
    };
    grower(QStringLiteral("Grows"), 400, 4);
    AddMemo(band, QStringLiteral("Near"), 400, 30, 100, 20, QStringLiteral("near"))->ShiftMode = smWhenOverlapped;
    AddMemo(band, QStringLiteral("Far"), 400, 200, 100, 20, QStringLiteral("far"))->ShiftMode = smWhenOverlapped;
    grower(QStringLiteral("Short"), 0, 2);
    grower(QStringLiteral("Tall"), 150, 6);
    AddMemo(band, QStringLiteral("Both"), 0, 100, 250, 20, QStringLiteral("both"));
    ASSERT_TRUE(report->PrepareReport());
    TrpPreviewPages& store = StoreOf(*report);
    TrpReportPage* printed = store.GetPage(0);
    const auto object = [&](const char16_t* name) -> TrpComponent* {
        for (TrpComponent* b : printed->Objects())
            for (TrpComponent* o : b->Objects())
                if (store.Dictionary().GetSourceName(o->AliasName()).endsWith(u'.' + QString::fromUtf16(name)))
                    return o;
        return nullptr;
    };
    ASSERT_NE(object(u"Grows"), nullptr);
    const double growsBottom = object(u"Grows")->Height();
    ASSERT_GT(growsBottom, 20);
    EXPECT_DOUBLE_EQ(object(u"Near")->Top(), growsBottom);
    EXPECT_DOUBLE_EQ(object(u"Far")->Top(), 200);
    const double tallGrowth = object(u"Tall")->Height() - 20;
    ASSERT_GT(tallGrowth, object(u"Short")->Height() - 20);
    EXPECT_DOUBLE_EQ(object(u"Both")->Top(), 100 + tallGrowth);
}

TEST(EngineBreaks, HeadersHigherThanAPageRunOffItInsteadOfBreakingForEver)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    Label(AddBand<TrpPageHeader>(page, QStringLiteral("PageHeader1"), 0, 2000));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 2100, 20);
    master->SetRowCount(3);
    Label(master);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    EXPECT_EQ(TextsOf(*report, QStringLiteral("Rows")).size(), 3);
    EXPECT_EQ(TextsOf(*report, QStringLiteral("PageHeader1")).size(), StoreOf(*report).Count());
}

TEST(EngineBreaks, ObjectsOnThePageItselfPrintOnceAtTheirPlace)
{
    const auto report = NewReport();
    report->CheckDataPage();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    AddMemo(page, QStringLiteral("Stamp"), 500, 900, 100, 20, QStringLiteral("Штамп"));
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 20);
    master->SetRowCount(2);
    Label(master);
    const QByteArray before = SavedBytes(*report);
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    ASSERT_EQ(StoreOf(*report).Count(), 1);
    const std::vector<PrintedBand> bands = BandsOfPage(*report, 0);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0].texts, QStringList{QStringLiteral("Штамп")});
    EXPECT_DOUBLE_EQ(bands[1].top, 0); // the carrier of the page's objects leaves CurY as it was
    EXPECT_EQ(SavedBytes(*report).toStdString(), before.toStdString());
}

// --- application events, overlays, the notify list ---------------------------------------------

namespace {

// Counts the bands it is told about.
class NotifiedMemo : public TrpMemoView {
public:
    using TrpMemoView::TrpMemoView;
    void OnNotify(TrpComponent* sender) override { Senders << (sender != nullptr ? sender->Name() : QString()); }
    QStringList Senders;
};

} // namespace

TEST(EngineEvents, ManualBuildPrintsBandsThroughTheEngineAndNotifiedObjectsHearOfDataBands)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpChild>(page, QStringLiteral("Line1"), 0, 20);
    Label(band);
    int built = 0;
    report->OnManualBuild = [&](TrpReportPage& built_page) {
        ++built;
        TrpBand* line = dynamic_cast<TrpBand*>(built_page.FindObject(u"Line1"));
        for (int i = 0; i < 3; ++i)
            report->Engine()->ShowBand(line);
    };
    report->EngineOptions().DestroyForms = false;
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(built, 1);
    EXPECT_EQ(TextsOf(*report, QStringLiteral("Line1")).size(), 3);

    report->OnManualBuild = nullptr;
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 40, 20);
    master->SetRowCount(2);
    Label(master);
    NotifiedMemo listener;
    report->OnAfterScriptCompile = [&](TrpReport& compiled) { compiled.Engine()->NotifyList.emplace_back(&listener); };
    ASSERT_TRUE(report->PrepareReport());
    EXPECT_EQ(listener.Senders, (QStringList{QStringLiteral("Rows"), QStringLiteral("Rows")}));
}

TEST(EngineEvents, OverlaysPrintUnderOrOverThePage)
{
    for (const bool onTop : {false, true}) {
        const auto report = NewReport();
        TrpReportPage* page = new TrpReportPage(report.get());
        page->SetName(QStringLiteral("Page1"));
        auto* overlay = AddBand<TrpOverlay>(page, QStringLiteral("Overlay1"), 0, 100);
        overlay->PrintOnTop = onTop;
        Label(overlay);
        auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 200, 20);
        master->SetRowCount(60);
        Label(master);
        ASSERT_TRUE(report->PrepareReport());
        ASSERT_EQ(StoreOf(*report).Count(), 2);
        for (int p = 0; p < 2; ++p) {
            const std::vector<PrintedBand> bands = BandsOfPage(*report, p);
            ASSERT_FALSE(bands.empty());
            EXPECT_EQ((onTop ? bands.back() : bands.front()).name, QStringLiteral("Overlay1")) << onTop << p;
            EXPECT_DOUBLE_EQ((onTop ? bands.back() : bands.front()).top, 0);
        }
        // Rows start at the top of the page under an overlay: it takes no room.
        EXPECT_DOUBLE_EQ(BandsOfPage(*report, 0)[onTop ? 0 : 1].top, 0);
    }
}

TEST(EngineBreaks, AnEndlessPageIsAsHighAsItsContent)
{
    const auto report = NewReport();
    TrpReportPage* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    page->TopMargin = page->BottomMargin = 10;
    page->EndlessHeight = true;
    auto* master = AddBand<TrpMasterData>(page, QStringLiteral("Rows"), 0, 20);
    master->SetRowCount(100);
    Label(master);
    Label(AddBand<TrpReportSummary>(page, QStringLiteral("Summary1"), 100, 20));
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'|').toStdString();
    ASSERT_EQ(StoreOf(*report).Count(), 1);
    const QPoint size = StoreOf(*report).GetPageSize(0);
    EXPECT_NEAR(size.y(), 2020 + 20 * 3.77953, 1.0);
    EXPECT_EQ(size.x(), 794);
    EXPECT_EQ(TextsOf(*report, QStringLiteral("Rows")).size(), 100);
    const std::vector<PrintedBand> bands = BandsOfPage(*report, 0);
    ASSERT_EQ(bands.size(), 101u);
    EXPECT_EQ(bands.back().texts, QStringList{QStringLiteral("Summary1")});
    EXPECT_DOUBLE_EQ(bands.back().top, 2000);
}
