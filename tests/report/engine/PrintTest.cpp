// Printing prepared pages on a recording printer: copies, page entries, bins, duplex, the
// parameters set only on change, the print modes, the stop, the print dialog runner and the
// events; the printer list with the PDF-file printer off.

#include "PreparedPagesBuilder.h"
#include "RecordingPrinter.h"
#include "ReportFakes.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/EngineServices.h"
#include "report/engine/rpPrinter.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace enginetest;

namespace {

// What one test installs: a back end with one recording printer (PDF-file printer off) and a
// store that writes down the pages it draws.
class PrintFixture {
public:
    explicit PrintFixture(double left = 0, double top = 0, double right = 0, double bottom = 0, bool valid = true)
        : engineScope_(Services(left, top, right, bottom, valid)), modelScope_(ModelTable())
    {
    }

    QStringList log;

    // The lines of the log that are one of the words, or start with one and a blank.
    QStringList Lines(const QStringList& prefixes) const
    {
        QStringList result;
        for (const QString& line : log) {
            for (const QString& prefix : prefixes) {
                if (line == prefix || line.startsWith(prefix + u' ')) {
                    result << line;
                    break;
                }
            }
        }
        return result;
    }

    // The sheets as the pages drawn on each ("-" for an empty sheet), "index/copy".
    QString Sheets() const
    {
        QStringList sheets;
        QStringList current;
        bool open = false;
        for (const QString& line : log) {
            if (line == u"page") {
                open = true;
                current.clear();
            } else if (line == u"endpage" && open) {
                sheets << (current.isEmpty() ? QStringLiteral("-") : current.join(u'+'));
                open = false;
            } else if (line.startsWith(u"draw ")) {
                const QStringList parts = line.split(u' ');
                current << parts[1] + u'/' + parts[4].mid(5);
            }
        }
        return sheets.join(u' ');
    }

private:
    TrpEngineServices Services(double left, double top, double right, double bottom, bool valid)
    {
        EngineRuntime::init();
        TrpEngineServices services;
        services.PdfFilePrinter = TrpPdfFilePrinterMode::Off;
        services.PrinterNames = [] { return QStringList{QStringLiteral("Recorder")}; };
        services.DefaultPrinterName = [] { return QStringLiteral("Recorder"); };
        services.CreatePrinter = [this, left, top, right, bottom, valid](const QString& name)
            -> std::unique_ptr<TrpCustomPrinter> {
            if (!valid)
                return std::make_unique<UninitialisedPrinter>(log, name);
            return std::make_unique<RecordingPrinter>(log, name, left, top, right, bottom);
        };
        return services;
    }

    TrpModelServices ModelTable()
    {
        TrpModelServices table = ModelServices();
        table.CreatePreviewPages = [this](TrpReport& report) -> std::unique_ptr<TrpCustomPreviewPages> {
            return std::make_unique<DrawRecordingStore>(&report, log);
        };
        return table;
    }

    // A printer whose device cannot be reached: it stays uninitialised.
    class UninitialisedPrinter : public RecordingPrinter {
    public:
        using RecordingPrinter::RecordingPrinter;
        void Init() override {}
    };

    EngineServicesScope engineScope_;
    ModelServicesScope modelScope_;
};

std::vector<PaperPage> A4Pages(int count)
{
    return std::vector<PaperPage>(static_cast<size_t>(count), PaperPage{});
}

struct PrintCase {
    const char* name;
    std::vector<PaperPage> pages;
    std::function<void(TrpPrintOptions&)> options;
    const char* sheets; // Sheets()
};

void PrintTo(const PrintCase& c, std::ostream* out)
{
    *out << c.name;
}

class PrintEntries : public testing::TestWithParam<PrintCase> {};

TEST_P(PrintEntries, PrintTheSheetsInTheirOrder)
{
    const PrintCase& c = GetParam();
    PrintFixture fixture;
    PreparedReport prepared = BuildPaperStore(c.pages);
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    c.options(options);
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Sheets().toStdString(), c.sheets) << fixture.log.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Print, PrintEntries,
    testing::Values(
        PrintCase{"collated", A4Pages(3), [](TrpPrintOptions& o) { o.Copies = 2; }, "0/1 1/1 2/1 0/2 1/2 2/2"},
        PrintCase{"uncollated", A4Pages(3), [](TrpPrintOptions& o) { o.Copies = 2; o.Collate = false; },
                  "0/1 1/1 2/1"},
        PrintCase{"two-sided, odd count, collated", A4Pages(3),
                  [](TrpPrintOptions& o) { o.Copies = 2; o.Duplex = dmVertical; }, "0/1 1/1 2/1 - 0/2 1/2 2/2 -"},
        PrintCase{"two-sided, even count", A4Pages(2),
                  [](TrpPrintOptions& o) { o.Copies = 2; o.Duplex = dmVertical; }, "0/1 1/1 0/2 1/2"},
        PrintCase{"3,1", A4Pages(3), [](TrpPrintOptions& o) { o.PageNumbers = QStringLiteral("3,1"); }, "2/1 0/1"},
        PrintCase{"5-", A4Pages(6), [](TrpPrintOptions& o) { o.PageNumbers = QStringLiteral("5-"); }, "4/1 5/1"},
        PrintCase{"beyond the count", A4Pages(3), [](TrpPrintOptions& o) { o.PageNumbers = QStringLiteral("2,7,9"); },
                  "1/1"},
        PrintCase{"odd", A4Pages(5), [](TrpPrintOptions& o) { o.PrintPages = ppOdd; }, "0/1 2/1 4/1"},
        PrintCase{"even", A4Pages(5), [](TrpPrintOptions& o) { o.PrintPages = ppEven; }, "1/1 3/1"},
        PrintCase{"reverse", A4Pages(3), [](TrpPrintOptions& o) { o.Reverse = true; }, "2/1 1/1 0/1"},
        PrintCase{"reverse even", A4Pages(5),
                  [](TrpPrintOptions& o) {
                      o.Reverse = true;
                      o.PrintPages = ppEven;
                  },
                  "3/1 1/1"}));

TEST(Print, UncollatedCopiesAreThePrintersAndMemosSeeCopyOne)
{
    PrintFixture fixture;
    PreparedReport prepared = BuildPaperStore(A4Pages(2));
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    options.Copies = 2;
    options.Collate = false;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Lines({QStringLiteral("params")}).join(u'\n').toStdString(),
              "params 9 210x297 portrait bin=7 duplex=0 copies=2");
    EXPECT_EQ(prepared.Store().PrintedSheets(), 4);
    EXPECT_EQ(prepared.Store().CopyNo(), 0) << "reset after printing";
}

TEST(Print, TheFirstPageOfABinTakesItTheRestTakeBinOtherPages)
{
    PrintFixture fixture;
    PaperPage page;
    page.bin = 7;
    page.binOtherPages = 3;
    PreparedReport prepared = BuildPaperStore({page, page, page});
    prepared.Report().PrintOptions().ShowDialog = false;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Lines({QStringLiteral("params")}).join(u'\n').toStdString(),
              "params 9 210x297 portrait bin=7 duplex=0 copies=1\n"
              "params 9 210x297 portrait bin=3 duplex=0 copies=1");
}

TEST(Print, ParametersAreSetOnlyWhenThePaperChanges)
{
    PrintFixture fixture;
    PaperPage a5;
    a5.paperSize = 11;
    PaperPage landscape;
    landscape.orientation = poLandscape;
    PreparedReport prepared = BuildPaperStore({PaperPage{}, PaperPage{}, a5, a5, landscape});
    prepared.Report().PrintOptions().ShowDialog = false;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Lines({QStringLiteral("params"), QStringLiteral("begin"), QStringLiteral("end")})
                  .join(u'\n')
                  .toStdString(),
              "params 9 210x297 portrait bin=7 duplex=0 copies=1\n"
              "begin Бумага\n"
              "params 11 148x210 portrait bin=7 duplex=0 copies=1\n"
              "params 9 297x210 landscape bin=7 duplex=0 copies=1\n"
              "end");
}

TEST(Print, ScaleStretchesEachDirectionAndMemosGetTheSmallerFactor)
{
    PrintFixture fixture;
    PaperPage a5;
    a5.paperSize = 11;
    PreparedReport prepared = BuildPaperStore({a5});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    options.PrintMode = pmScale;
    options.PrintOnSheet = kPaperA4;
    ASSERT_TRUE(prepared.Store().Print());
    // 600 / 96 x 210 / 148 and x 297 / 210.
    EXPECT_EQ(fixture.Lines({QStringLiteral("params"), QStringLiteral("draw")}).join(u'\n').toStdString(),
              "params 9 210x297 portrait bin=7 duplex=0 copies=1\n"
              "draw 0 scale=8.87,8.84 offset=0.00,0.00 copy=1 printscale=1.41 printing=1");
    EXPECT_DOUBLE_EQ(prepared.Store().PrintScale(), 1) << "back to 1 afterwards";
}

TEST(Print, SplitTurnsAnA3PageOntoTwoLandscapeA4Sheets)
{
    PrintFixture fixture;
    PaperPage a3;
    a3.paperSize = 8;
    PreparedReport prepared = BuildPaperStore({a3});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    options.PrintMode = pmSplit;
    options.PrintOnSheet = kPaperA4;
    options.SplicingLine = 0;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Lines({QStringLiteral("params"), QStringLiteral("draw")}).join(u'\n').toStdString(),
              "params 9 297x210 landscape bin=7 duplex=0 copies=1\n"
              "draw 0 scale=6.25,6.25 offset=0.00,0.00 copy=1 printscale=1.00 printing=1\n"
              "draw 0 scale=6.25,6.25 offset=0.00,-4960.63 copy=1 printscale=1.00 printing=1");
}

TEST(Print, SplitReservesTheSplicingLineAndNeedsAThirdSheet)
{
    PrintFixture fixture;
    PaperPage a3;
    a3.paperSize = 8;
    PreparedReport prepared = BuildPaperStore({a3});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    options.PrintMode = pmSplit;
    options.PrintOnSheet = kPaperA4;
    options.SplicingLine = 10;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Sheets().toStdString(), "0/1 0/1 0/1");
    EXPECT_EQ(fixture.Lines({QStringLiteral("params")}).join(u'\n').toStdString(),
              "params 9 297x210 landscape bin=7 duplex=0 copies=1");
}

TEST(Print, AnUnturnedSplitReservesLeftAndRightMarginsAlongTheWidth)
{
    // 400 mm wide on A4 portrait sheets whose printer keeps 20 mm at the left and right: each
    // sheet shows 170 mm of the width, so three sheets are needed (reserving the top and bottom
    // margins of 5 mm along the width would count two and lose the last 60 mm).
    PrintFixture fixture(20, 5, 20, 5);
    PaperPage wide;
    wide.paperSize = kPaperCustom;
    wide.width = 400;
    wide.height = 297;
    PreparedReport prepared = BuildPaperStore({wide});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    options.PrintMode = pmSplit;
    options.PrintOnSheet = kPaperA4;
    options.SplicingLine = 0;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Lines({QStringLiteral("params"), QStringLiteral("draw")}).join(u'\n').toStdString(),
              "params 9 210x297 portrait bin=7 duplex=0 copies=1\n"
              "draw 0 scale=6.25,6.25 offset=-472.44,-118.11 copy=1 printscale=1.00 printing=1\n"
              "draw 0 scale=6.25,6.25 offset=-4015.75,-118.11 copy=1 printscale=1.00 printing=1\n"
              "draw 0 scale=6.25,6.25 offset=-8031.50,-118.11 copy=1 printscale=1.00 printing=1");
}

TEST(Print, JoinPutsTwoA5PagesOnALandscapeA4Sheet)
{
    PrintFixture fixture;
    PaperPage a5;
    a5.paperSize = 11;
    PreparedReport prepared = BuildPaperStore({a5, a5, a5});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    options.PrintMode = pmJoin;
    options.PrintOnSheet = kPaperA4;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Sheets().toStdString(), "0/1+1/1 2/1");
    EXPECT_EQ(fixture.Lines({QStringLiteral("params"), QStringLiteral("draw 1")}).join(u'\n').toStdString(),
              "params 9 297x210 landscape bin=7 duplex=0 copies=1\n"
              "draw 1 scale=6.25,6.25 offset=3496.06,0.00 copy=1 printscale=1.00 printing=1");
}

TEST(Print, JoinWithoutCollatePlacesEachCopyInCellsOfItsOwn)
{
    PrintFixture fixture;
    PaperPage a5;
    a5.paperSize = 11;
    PreparedReport prepared = BuildPaperStore({a5, a5});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = false;
    options.PrintMode = pmJoin;
    options.PrintOnSheet = kPaperA4;
    options.Copies = 2;
    options.Collate = false;
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Sheets().toStdString(), "0/1+0/2 1/1+1/2");
}

TEST(Print, AStopAbortsTheJobAtTheNextPageAndCountsAsPrinted)
{
    PrintFixture fixture;
    PreparedReport prepared = BuildPaperStore(A4Pages(4));
    TrpReport& report = prepared.Report();
    report.PrintOptions().ShowDialog = false;
    int pagesSeen = 0;
    report.OnPrintPage = [&](TrpReportPage&, int32_t) {
        if (++pagesSeen == 2)
            report.SetTerminated(true);
    };
    EXPECT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Sheets().toStdString(), "0/1 1/1");
    EXPECT_EQ(fixture.log.last().toStdString(), "abort");
    EXPECT_FALSE(fixture.log.contains(QStringLiteral("end")));
}

TEST(Print, ACancelledDialogPrintsNothingAndKeepsTheOptions)
{
    PrintFixture fixture;
    MutableEngineServices().RunPrintDialog = [](TrpReport& report, TrpDuplexMode& duplex) {
        report.PrintOptions().Copies = 5;
        duplex = dmHorizontal;
        return false;
    };
    PreparedReport prepared = BuildPaperStore(A4Pages(2));
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.ShowDialog = true;
    options.Copies = 2;
    EXPECT_FALSE(prepared.Store().Print());
    EXPECT_TRUE(fixture.Lines({QStringLiteral("begin"), QStringLiteral("page")}).isEmpty());
    EXPECT_EQ(options.Copies, 2);
    EXPECT_EQ(options.Duplex, dmNone);
}

TEST(Print, TheDialogsChoiceLastsForThisPrintOnly)
{
    PrintFixture fixture;
    MutableEngineServices().RunPrintDialog = [](TrpReport& report, TrpDuplexMode&) {
        report.PrintOptions().Copies = 2;
        report.PrintOptions().PrnOutFileName = QStringLiteral("/tmp/chosen.pdf");
        return true;
    };
    PreparedReport prepared = BuildPaperStore(A4Pages(1));
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    EXPECT_TRUE(prepared.Store().Print());
    EXPECT_EQ(fixture.Sheets().toStdString(), "0/1 0/2");
    EXPECT_EQ(GetPrintersInstance().Printer()->FileName.toStdString(), "/tmp/chosen.pdf");
    EXPECT_EQ(options.Copies, 1);
    EXPECT_TRUE(options.PrnOutFileName.isEmpty());
}

TEST(Print, APrinterThatIsNotValidPrintsNothingAndAnswersFalse)
{
    PrintFixture fixture(0, 0, 0, 0, false);
    reporttest::RecordingReportUi ui;
    PreparedReport prepared = BuildPaperStore(A4Pages(1));
    prepared.Report().PrintOptions().ShowDialog = false;
    EXPECT_FALSE(prepared.Store().Print());
    EXPECT_TRUE(fixture.log.isEmpty());
    ASSERT_EQ(ui.Messages.size(), 1);
    EXPECT_EQ(ui.Messages[0], GetResourcesInstance().Get(u"mbError") + QStringLiteral(": Printer selected is not valid"));
}

TEST(Print, WithoutAnyPrinterItRefusesWithClNoPrinters)
{
    EngineRuntime::init();
    TrpEngineServices services;
    services.PdfFilePrinter = TrpPdfFilePrinterMode::Off;
    const EngineServicesScope scope(std::move(services));
    reporttest::RecordingReportUi ui;
    PreparedReport prepared = BuildPaperStore(A4Pages(1));
    prepared.Report().PrintOptions().ShowDialog = false;
    EXPECT_FALSE(prepared.Store().Print());
    ASSERT_EQ(ui.Messages.size(), 1);
    EXPECT_EQ(ui.Messages[0], GetResourcesInstance().Get(u"mbError") + QStringLiteral(": ") + GetResourcesInstance().Get(u"clNoPrinters"));
}

TEST(Print, EventsComeInOrder)
{
    PrintFixture fixture;
    PreparedReport prepared = BuildPaperStore(A4Pages(2));
    TrpReport& report = prepared.Report();
    report.PrintOptions().ShowDialog = false;
    report.PrintOptions().Copies = 2;
    report.EngineOptions().DestroyForms = false;
    QStringList events;
    report.OnUserFunction = [&](const QString&, std::span<Variant> arguments) {
        events << QStringLiteral("script ") + VarToStr(arguments[0]);
        return arguments[0];
    };
    report.AddFunction(QStringLiteral("function Mark(X: Variant): Variant"));
    report.SetScriptText(QStringLiteral("procedure ReportPrint(Sender: Variant);\nbegin\n  Mark('print')\nend;\n"
                                        "begin\nend.")
                             .split(u'\n'));
    ASSERT_TRUE(report.PrepareScript());
    report.OnReportPrint = QStringLiteral("ReportPrint");
    report.OnPrintReport = [&](TrpReport&) { events << QStringLiteral("report"); };
    report.OnPrintPage = [&](TrpReportPage& page, int32_t copyNo) {
        events << QStringLiteral("page %1 copy %2").arg(page.Name()).arg(copyNo);
    };
    report.OnAfterPrintReport = [&](TrpReport&) { events << QStringLiteral("after"); };
    QStringList progress;
    report.OnProgress = [&](TrpReport&, TrpProgressType type, int32_t value) {
        progress << QStringLiteral("%1:%2").arg(type).arg(value);
    };
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_EQ(progress.join(u',').toStdString(), "2:1,2:2,2:1,2:2") << "ptPrinting, one step per page";
    EXPECT_EQ(events.join(u'\n').toStdString(),
              "report\nscript print\npage Page1 copy 1\npage Page2 copy 1\npage Page1 copy 2\npage Page2 copy 2\n"
              "after");
}

TEST(Print, TheScriptsPrintEventWaitsForTheEngineWhileFormsAreDestroyed)
{
    PrintFixture fixture;
    PreparedReport prepared = BuildPaperStore(A4Pages(1));
    TrpReport& report = prepared.Report();
    report.PrintOptions().ShowDialog = false;
    QStringList events;
    report.OnUserFunction = [&](const QString&, std::span<Variant> arguments) {
        events << VarToStr(arguments[0]);
        return arguments[0];
    };
    report.AddFunction(QStringLiteral("function Mark(X: Variant): Variant"));
    report.SetScriptText(
        QStringLiteral("procedure ReportPrint(Sender: Variant);\nbegin\n  Mark('print')\nend;\nbegin\nend.").split(u'\n'));
    ASSERT_TRUE(report.PrepareScript());
    report.OnReportPrint = QStringLiteral("ReportPrint");
    ASSERT_TRUE(report.EngineOptions().DestroyForms);
    ASSERT_TRUE(prepared.Store().Print());
    EXPECT_TRUE(events.isEmpty());
}

TEST(Print, AFailureAbortsTheJobRestoresTheOptionsAndPassesOn)
{
    PrintFixture fixture;
    PreparedReport prepared = BuildPaperStore(A4Pages(3));
    TrpReport& report = prepared.Report();
    report.PrintOptions().ShowDialog = false;
    report.PrintOptions().Copies = 1;
    bool after = false;
    report.OnPrintPage = [&](TrpReportPage&, int32_t) {
        report.PrintOptions().Copies = 9;
        if (fixture.log.contains(QStringLiteral("endpage")))
            throw platform::Exception("broken");
    };
    report.OnAfterPrintReport = [&](TrpReport&) { after = true; };
    QStringList progress;
    report.OnProgressStart = [&](TrpReport&, TrpProgressType type, int32_t) { progress << QStringLiteral("start %1").arg(type); };
    report.OnProgressStop = [&](TrpReport&, TrpProgressType type, int32_t) { progress << QStringLiteral("stop %1").arg(type); };
    EXPECT_THROW(prepared.Store().Print(), platform::Exception);
    EXPECT_TRUE(after);
    EXPECT_EQ(progress.join(u',').toStdString(), "start 2,stop 2");
    EXPECT_EQ(report.PrintOptions().Copies, 1);
    EXPECT_EQ(fixture.log.last().toStdString(), "abort");
    EXPECT_EQ(prepared.Store().CopyNo(), 0);
}

// --- the printer list -----------------------------------------------------------------------

class PrinterListWithoutPrinters : public testing::Test {
protected:
    PrinterListWithoutPrinters() : scope_(Table()) {}
    static TrpEngineServices Table()
    {
        EngineRuntime::init();
        TrpEngineServices services;
        services.PdfFilePrinter = TrpPdfFilePrinterMode::Off;
        return services;
    }
    EngineServicesScope scope_;
};

TEST_F(PrinterListWithoutPrinters, TheVirtualPrinterStandsIn)
{
    TrpPrinters& printers = GetPrintersInstance();
    EXPECT_TRUE(printers.Printers().isEmpty());
    EXPECT_FALSE(printers.HasPhysicalPrinters());
    TrpCustomPrinter* printer = printers.Printer();
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Name(), GetResourcesInstance().Get(u"prVirtual"));
    ASSERT_EQ(printer->Papers().size(), 67u);
    EXPECT_EQ(printer->Papers()[0].Name, GetResourcesInstance().Get(u"prCustom"));
    EXPECT_EQ(printer->Papers()[0].Code, kPaperCustom);
    for (size_t i = 1; i < printer->Papers().size(); ++i)
        EXPECT_TRUE(printer->Papers()[i].Name.isEmpty());
    EXPECT_EQ(printer->PaperIndex(48), -1);
    EXPECT_EQ(printer->DPI(), QPoint(600, 600));
    ASSERT_EQ(printer->Bins().size(), 1u);
    EXPECT_EQ(printer->Bins()[0].Code, kDefaultBin);
}

TEST_F(PrinterListWithoutPrinters, VirtualPrinterPapers)
{
    TrpCustomPrinter* printer = GetPrintersInstance().Printer();
    printer->SetViewParams(kPaperA4, 0, 0, poLandscape);
    EXPECT_EQ(printer->PaperWidth(), 297);
    EXPECT_EQ(printer->PaperHeight(), 210);
    EXPECT_EQ(printer->LeftMargin(), 5);
    EXPECT_EQ(printer->BottomMargin(), 5);
    printer->SetViewParams(48, 100, 150, poPortrait);
    EXPECT_EQ(printer->Paper(), kPaperCustom) << "a code the table lacks becomes a size of its own";
    EXPECT_EQ(printer->PaperWidth(), 100);
    EXPECT_EQ(printer->PaperNameToNumber(QStringLiteral("no such paper")), kPaperCustom);
    double width = 0;
    double height = 0;
    EXPECT_FALSE(LookupPaperDimensions(48, width, height));
    EXPECT_TRUE(LookupPaperDimensions(9, width, height));
    EXPECT_EQ(width, 210);
    EXPECT_EQ(height, 297);
}

TEST(PrinterList, AMissingDefaultNameSelectsTheFirstPrinter)
{
    EngineRuntime::init();
    QStringList log;
    TrpEngineServices services;
    services.PdfFilePrinter = TrpPdfFilePrinterMode::Listed;
    services.PrinterNames = [] { return QStringList{QStringLiteral("One"), QStringLiteral("Two")}; };
    services.DefaultPrinterName = [] { return QStringLiteral("Gone"); };
    services.CreatePrinter = [&log](const QString& name) -> std::unique_ptr<TrpCustomPrinter> {
        return std::make_unique<RecordingPrinter>(log, name);
    };
    const EngineServicesScope scope(std::move(services));
    TrpPrinters& printers = GetPrintersInstance();
    EXPECT_EQ(printers.Printers().join(u',').toStdString(), "One,Two," + PdfFilePrinterName().toStdString());
    EXPECT_EQ(printers.PrinterIndex(), 0);
    EXPECT_TRUE(printers.HasPhysicalPrinters());
    EXPECT_EQ(printers.IndexOf(QStringLiteral("two")), 1);
    EXPECT_EQ(printers.IndexOf(QStringLiteral("three")), -1);
    EXPECT_EQ(printers[5], nullptr);
}

TEST(PrinterList, ThePdfFilePrinterIsTheDefaultWithoutSystemPrintersAndForcedAlone)
{
    EngineRuntime::init();
    {
        const EngineServicesScope scope(TrpEngineServices{});
        TrpPrinters& printers = GetPrintersInstance();
        EXPECT_EQ(printers.Printers(), QStringList{PdfFilePrinterName()});
        EXPECT_TRUE(printers.HasPhysicalPrinters());
        EXPECT_EQ(printers.PrinterIndex(), 0);
    }
    QStringList log;
    TrpEngineServices services;
    services.PdfFilePrinter = TrpPdfFilePrinterMode::Forced;
    services.PrinterNames = [] { return QStringList{QStringLiteral("One")}; };
    services.DefaultPrinterName = [] { return QStringLiteral("One"); };
    services.CreatePrinter = [&log](const QString& name) -> std::unique_ptr<TrpCustomPrinter> {
        return std::make_unique<RecordingPrinter>(log, name);
    };
    const EngineServicesScope scope(std::move(services));
    EXPECT_EQ(GetPrintersInstance().Printers(), QStringList{PdfFilePrinterName()});
}

TEST(PrinterList, PageDefaultsComeFromTheCurrentPrinter)
{
    PrintFixture fixture;
    TrpCustomPrinter* printer = GetPrintersInstance().Printer();
    ASSERT_NE(printer, nullptr);
    printer->SetViewParams(11, 0, 0, poLandscape);
    TrpReportPage page;
    page.SetDefaults();
    EXPECT_EQ(page.PaperSize(), 11);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.PaperHeight(), 148);
    EXPECT_EQ(page.Orientation(), poLandscape);
}

TEST(PrinterList, TheReportSelectsThePrinterOfItsOptions)
{
    EngineRuntime::init();
    QStringList log;
    TrpEngineServices services;
    services.PrinterNames = [] { return QStringList{QStringLiteral("One"), QStringLiteral("Two")}; };
    services.DefaultPrinterName = [] { return QStringLiteral("One"); };
    services.CreatePrinter = [&log](const QString& name) -> std::unique_ptr<TrpCustomPrinter> {
        return std::make_unique<RecordingPrinter>(log, name);
    };
    const EngineServicesScope scope(std::move(services));
    TrpReport report;
    report.PrintOptions().Printer = QStringLiteral("two");
    report.SelectPrinter();
    EXPECT_EQ(GetPrintersInstance().PrinterIndex(), 1);
    report.PrintOptions().Printer = QStringLiteral("nobody");
    report.SelectPrinter();
    EXPECT_EQ(GetPrintersInstance().PrinterIndex(), 1) << "an unknown name changes nothing";
}

} // namespace
