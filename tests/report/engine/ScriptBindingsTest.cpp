// Report scripts reaching the report's objects, data sets, engine and outline through the
// binding modules of the report classes: memo texts, the engine's page operations, variables,
// the date functions, data-set loops, file access, stale handles and objects the engine is
// walking, in RireroRidoze and JScript.

#include "EngineFixtures.h"
#include "EngineTestSupport.h"
#include "Subprocess.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/ScriptErrors.h"
#include "report/engine/EngineRuntime.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace enginetest;
using namespace enginefixtures;

namespace {

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

// The list fixture over `rows` rows with a script and the language it is written in.
std::unique_ptr<TrpReport> ScriptedList(DataSets& keep, int rows, const QString& language, const QString& script)
{
    auto report = NewReport();
    BuildList(*report, keep);
    keep.push_back(CsvData(QStringLiteral("Rows"), RowsCsv(rows)));
    report->DataSets().Items(0)->SetDataSet(keep.back().get());
    dynamic_cast<TrpDataBand*>(report->FindObject(u"MasterData1"))->SetDataSet(keep.back().get());
    report->ScriptLanguage = language;
    report->SetScriptText(script.split(u'\n'));
    return report;
}

// The printed texts of the memo `source` (report object name) over every page.
QStringList PrintedTexts(TrpReport& report, const QString& source)
{
    QStringList texts;
    TrpPreviewPages& store = StoreOf(report);
    for (int i = 0; i < store.Count(); ++i) {
        TrpReportPage* page = store.GetPage(i);
        for (TrpComponent* object : page->AllObjects()) {
            auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
            if (memo != nullptr && store.Dictionary().GetSourceName(object->AliasName()).endsWith(u'.' + source))
                texts << memo->Text();
        }
    }
    return texts;
}

// A process-wide variable the script set (report variables are reloaded after a run), taken
// out of the list.
Variant GlobalValue(const char* name)
{
    const QString key = QString::fromLatin1(name);
    const Variant value = GlobalVariables().GetValue(key);
    GlobalVariables().DeleteVariable(key);
    return value;
}

struct LanguageCase {
    const char* name;
    const char* language;
    const char* script;
};

} // namespace

// --- memo texts ---------------------------------------------------------------------------------

TEST(ScriptBindings, MemoTextAssignedBeforePrintIsPrintedAndReadsWithLineBreaks)
{
    const LanguageCase kCases[] = {
        {"RireroRidoze", "RireroRidoze",
         "procedure Before(Sender: Variant);\nbegin\n  TitleText.Text := 'x';\n"
         "  rpGlobalVariables['Read'] := TitleText.Text;\n  TitleText.Lines.Add('y');\n"
         "  rpGlobalVariables['Count'] := TitleText.Lines.Count\nend;\n"
         "begin\nend."},
        {"JScript", "JScript",
         "function Before(Sender) {\n  TitleText.Text = \"x\";\n  rpGlobalVariables[\"Read\"] = TitleText.Text;\n"
         "  TitleText.Lines.Add(\"y\");\n  rpGlobalVariables[\"Count\"] = TitleText.Lines.Count;\n}\n"},
    };
    for (const LanguageCase& c : kCases) {
        DataSets keep;
        auto report = ScriptedList(keep, 3, QString::fromLatin1(c.language), QString::fromLatin1(c.script));
        dynamic_cast<TrpReportComponent*>(report->FindObject(u"TitleText"))->OnBeforePrint = QStringLiteral("Before");
        ASSERT_TRUE(report->PrepareReport()) << c.name << ": " << report->Errors().join(u'\n').toStdString();
        EXPECT_EQ(PrintedTexts(*report, QStringLiteral("TitleText")), QStringList{QStringLiteral("x\r\ny\r\n")})
            << c.name;
        EXPECT_EQ(GlobalValue("Read").ToString(), QStringLiteral("x\r\n")) << c.name;
        EXPECT_EQ(GlobalValue("Count").ToInt32(), 2) << c.name;
    }
}

// --- the engine ---------------------------------------------------------------------------------

TEST(ScriptBindings, NewPageAfterRowTenGivesOnePageMore)
{
    const LanguageCase kCases[] = {
        {"RireroRidoze", "RireroRidoze",
         "procedure After(Sender: Variant);\nbegin\n  if Get('Line') = 10 then Engine.NewPage\nend;\nbegin\nend."},
        {"JScript", "JScript", "function After(Sender) {\n  if (Get(\"Line\") == 10) Engine.NewPage();\n}\n"},
    };
    for (const LanguageCase& c : kCases) {
        DataSets keep;
        auto plain = ScriptedList(keep, 98, QString::fromLatin1(c.language),
                                  c.language == std::string("JScript") ? QString() : QStringLiteral("begin\nend."));
        ASSERT_TRUE(plain->PrepareReport()) << plain->Errors().join(u'\n').toStdString();
        const int plainPages = StoreOf(*plain).Count();
        auto report = ScriptedList(keep, 98, QString::fromLatin1(c.language), QString::fromLatin1(c.script));
        dynamic_cast<TrpReportComponent*>(report->FindObject(u"MasterData1"))->OnAfterPrint = QStringLiteral("After");
        ASSERT_TRUE(report->PrepareReport()) << c.name << ": " << report->Errors().join(u'\n').toStdString();
        EXPECT_EQ(StoreOf(*report).Count(), plainPages + 1) << c.name;
        // Row 11 opens the second page (after the reprinted header).
        const QStringList rows = PrintedTexts(*report, QStringLiteral("RowText"));
        ASSERT_EQ(rows.size(), 98);
    }
}

TEST(ScriptBindings, ShowBandPrintsAtOnceAndStopReportEndsTheRun)
{
    DataSets keep;
    auto report = ScriptedList(keep, 200, QStringLiteral("RireroRidoze"),
                               QStringLiteral("procedure After(Sender: Variant);\nbegin\n"
                                              "  if Get('Line') = 2 then Engine.ShowBand(ReportTitle1);\n"
                                              "  if Get('Line') = 5 then Engine.StopReport\nend;\nbegin\nend."));
    report->EngineOptions().DoublePass = false;
    dynamic_cast<TrpReportComponent*>(report->FindObject(u"MasterData1"))->OnAfterPrint = QStringLiteral("After");
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'\n').toStdString();
    EXPECT_TRUE(report->Terminated());
    const QStringList rows = PrintedTexts(*report, QStringLiteral("RowText"));
    EXPECT_EQ(rows.size(), 5);
    // The title printed a second time, right after row 2.
    EXPECT_EQ(PrintedTexts(*report, QStringLiteral("TitleText")).size(), 2);
}

TEST(ScriptBindings, OutlineItemsAtCurYAndAnchorsFindTheirPage)
{
    DataSets keep;
    auto report = ScriptedList(keep, 98, QStringLiteral("RireroRidoze"),
                               QStringLiteral("procedure After(Sender: Variant);\nbegin\n"
                                              "  if Get('Line') = 60 then\n  begin\n    Outline.AddItem('Row 60');\n"
                                              "    Engine.AddAnchor('sixty');\n"
                                              "    rpGlobalVariables['Anchor'] := Engine.GetAnchorPage('sixty')\n  end\nend;\n"
                                              "begin\nend."));
    report->EngineOptions().DoublePass = false;
    dynamic_cast<TrpReportComponent*>(report->FindObject(u"MasterData1"))->OnAfterPrint = QStringLiteral("After");
    ASSERT_TRUE(report->PrepareReport()) << report->Errors().join(u'\n').toStdString();
    TrpCustomOutline& outline = *StoreOf(*report).Outline();
    outline.LevelRoot();
    ASSERT_EQ(outline.Count(), 1);
    QString text;
    int32_t page = -1;
    int32_t top = -1;
    outline.GetItem(0, text, page, top);
    EXPECT_EQ(text, QStringLiteral("Row 60"));
    EXPECT_EQ(page, 1);
    EXPECT_GT(top, 0);
    EXPECT_EQ(GlobalValue("Anchor").ToInt32(), 2);
}

TEST(ScriptBindings, EngineOperationsOutsideARunAreScriptErrors)
{
    auto report = NewReport();
    report->SetScriptText({QStringLiteral("begin"), QStringLiteral("  Engine.NewPage"), QStringLiteral("end.")});
    ASSERT_TRUE(report->PrepareScript());
    EXPECT_THROW(report->Script().Execute(), EScriptError);
}

// --- variables, functions, data sets ------------------------------------------------------------

TEST(ScriptBindings, VariablesDatesAndTheModuleAggregates)
{
    auto report = NewReport();
    report->Variables().SetValue(QStringLiteral("A"), Variant(int32_t{41}));
    report->SetScriptText({QStringLiteral("begin"),
                           QStringLiteral("  Report.Variables['A'] := Report.Variables['A'] + 1;"),
                           QStringLiteral("  Set('D', IntToStr(DayOf(EncodeDate(2024, 3, 5))) + ' ' +"),
                           QStringLiteral("    IntToStr(MonthOf(EncodeDate(2024, 3, 5))) + ' ' +"),
                           QStringLiteral("    IntToStr(YearOf(EncodeDate(2024, 3, 5))))"), QStringLiteral("end.")});
    ASSERT_TRUE(report->PrepareScript());
    report->Script().Execute();
    EXPECT_EQ(report->Variables().GetValue(QStringLiteral("A")).ToInt32(), 42);
    EXPECT_EQ(report->Variables().GetValue(QStringLiteral("D")).ToString(), QStringLiteral("5 3 2024"));

    // A script of its own sees the module's SUM, which answers 0 (reports declare their own).
    TscScript script;
    script.AddRTTI();
    script.Lines = QStringList{QStringLiteral("begin"), QStringLiteral("  rpGlobalVariables['S'] := SUM(5)"),
                               QStringLiteral("end.")};
    ASSERT_TRUE(script.Run()) << script.ErrorMsg.toStdString();
    EXPECT_EQ(GlobalVariables().GetValue(QStringLiteral("S")).ToInt32(), 0);
    GlobalVariables().DeleteVariable(QStringLiteral("S"));
}

TEST(ScriptBindings, ADataSetLoopAndAnUnknownFieldReadAsNull)
{
    DataSets keep;
    // The data set belongs to the caller, not to the report: the script finds it by its alias.
    auto report = ScriptedList(keep, 4, QStringLiteral("RireroRidoze"),
                               QStringLiteral("var Total: Integer;\n    DS: TrpDataSet;\nbegin\n"
                                              "  DS := Report.GetDataset('Rows');\n  Total := 0;\n  DS.First;\n"
                                              "  while not DS.Eof do\n  begin\n"
                                              "    Total := Total + StrToInt(DS.Value['N']);\n    DS.Next\n  end;\n"
                                              "  Set('Total', Total);\n  Set('Unknown', VarType(DS.Value['Nope']) = varNull)\n"
                                              "end."));
    ASSERT_TRUE(report->PrepareScript()) << report->Errors().join(u'\n').toStdString();
    report->Script().Execute();
    EXPECT_EQ(report->Variables().GetValue(QStringLiteral("Total")).ToInt32(), 10);
    EXPECT_TRUE(report->Variables().GetValue(QStringLiteral("Unknown")).ToBoolean());
}

// --- files and objects ----------------------------------------------------------------------------

TEST(ScriptBindings, FilesNeedAnAllowedFolder)
{
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("saved.zi3"));
    const QString missing = folder.filePath(QStringLiteral("missing.zi3"));
    auto report = NewReport();
    report->SetScriptText({QStringLiteral("begin"), QStringLiteral("  Report.SaveToFile('%1')").arg(saved),
                           QStringLiteral("end.")});
    ASSERT_TRUE(report->PrepareScript());
    try {
        report->Script().Execute();
        ADD_FAILURE() << "the file was written";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(QString::fromStdString(error.Message()),
                  QStringLiteral("Unable to create file \"%1\": file access is not allowed").arg(saved));
    }
    EXPECT_FALSE(QFile::exists(saved));

    report->Script().FileAccess().AllowFolder(folder.path());
    report->Script().Execute();
    EXPECT_TRUE(QFile::exists(saved));

    auto other = NewReport();
    other->Script().FileAccess().AllowFolder(folder.path());
    other->SetScriptText({QStringLiteral("begin"),
                          QStringLiteral("  Set('Missing', Report.LoadFromFile('%1'))").arg(missing),
                          QStringLiteral("end.")});
    ASSERT_TRUE(other->PrepareScript());
    EXPECT_NO_THROW(other->Script().Execute());
    EXPECT_FALSE(other->Variables().GetValue(QStringLiteral("Missing")).ToBoolean());
}

TEST(ScriptBindings, AFreedObjectsHandleIsAScriptError)
{
    auto report = NewReport();
    report->CheckDataPage();
    auto* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpReportTitle>(page, QStringLiteral("Title"), 0, 20);
    AddMemo(band, QStringLiteral("Memo1"), 0, 0, 100, 20, QStringLiteral("a"));
    report->SetScriptText({QStringLiteral("begin"), QStringLiteral("  Memo1.Text := 'b'"), QStringLiteral("end.")});
    ASSERT_TRUE(report->PrepareScript());
    delete report->FindObject(u"Memo1");
    try {
        report->Script().Execute();
        ADD_FAILURE() << "the stale handle was used";
    } catch (const EAccessViolation& error) {
        EXPECT_EQ(QString::fromStdString(error.Message()), QStringLiteral("Object was destroyed"));
    }
}

TEST(ScriptBindings, ClearingAPageDuringTheRunIsRefused)
{
    DataSets keep;
    auto report = ScriptedList(keep, 5, QStringLiteral("RireroRidoze"),
                               QStringLiteral("procedure After(Sender: Variant);\nbegin\n  Page1.Clear\nend;\n"
                                              "begin\nend."));
    report->EngineOptions().DoublePass = false;
    dynamic_cast<TrpReportComponent*>(report->FindObject(u"MasterData1"))->OnAfterPrint = QStringLiteral("After");
    EXPECT_FALSE(report->PrepareReport());
    EXPECT_TRUE(report->Errors().join(u'\n').contains(QStringLiteral("Clear: недоступно, пока отчёт строится")))
        << report->Errors().join(u'\n').toStdString();
    // The report is whole again after the run.
    EXPECT_NE(report->FindObject(u"RowText"), nullptr);
}

// --- preview buttons ------------------------------------------------------------------------------

TEST(ScriptBindings, PreviewButtonNamesSetTheBitsOfTheSameName)
{
    const struct {
        const char* name;
        uint32_t bits;
    } kCases[] = {
        {"pbEdit", 1u << pbEdit},
        {"pbTree", 1u << pbOutline},
        {"pbRefresh", 0},
        {"pbPageSetup", 1u << pbPageSetup},
    };
    for (const auto& c : kCases) {
        auto report = NewReport();
        report->SetScriptText({QStringLiteral("begin"),
                               QStringLiteral("  Report.PreviewOptions.Buttons := [%1]").arg(QLatin1String(c.name)),
                               QStringLiteral("end.")});
        ASSERT_TRUE(report->PrepareScript()) << report->Errors().join(u'\n').toStdString();
        report->Script().Execute();
        EXPECT_EQ(report->PreviewOptions().Buttons, c.bits) << c.name;
    }
}

// --- the scripted fixtures through rptool ------------------------------------------------------

namespace {

class ScriptRptool : public testing::Test {
protected:
    // Absolute paths: a test may change the working folder.
    testsupport::ProgramRun Run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), rptool);
        return testsupport::RunProgram(arguments);
    }
    const std::string rptool = QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString();
    std::string Temp(const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); }
    std::string Report(const char* name)
    {
        return QFileInfo(kEngineData + QStringLiteral("reports/%1").arg(QLatin1String(name))).absoluteFilePath().toStdString();
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(ScriptRptool, NewPageFromTheScriptGivesThreePagesWhereTheListMakesTwo)
{
    const std::string rows = "Rows=" + Report("rows-98.csv");
    for (const auto& [name, pages] : {std::pair{"list.zi3", "pages=2"}, std::pair{"script-newpage.zi3", "pages=3"}}) {
        testsupport::ProgramRun run = Run({"prepare", Report(name), "--csv", rows, "--out", Temp("n.zp3")});
        ASSERT_EQ(run.status, 0) << run.err;
        run = Run({"zp3-info", Temp("n.zp3")});
        EXPECT_EQ(run.out.substr(0, run.out.find('\n')), pages) << name;
    }
}

TEST_F(ScriptRptool, SavingWithoutAnAllowedFolderFailsAndWritesNothing)
{
    QFile::remove(QStringLiteral("script-saved.zi3"));
    testsupport::ProgramRun run = Run({"prepare", Report("script-savefile.zi3"), "--out", Temp("x.zp3")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Unable to create file \"script-saved.zi3\": file access is not allowed"), std::string::npos)
        << run.err;
    EXPECT_FALSE(QFile::exists(QStringLiteral("script-saved.zi3")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Temp("x.zp3"))));

    // Allowed, the script writes where it was allowed to.
    const QString here = QDir::currentPath();
    std::vector<std::string> arguments{"prepare", Report("script-savefile.zi3"), "--allow-files",
                                       folder.path().toStdString(), "--out", Temp("y.zp3")};
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    run = Run(arguments);
    QDir::setCurrent(here);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("script-saved.zi3"))));
}

TEST(ScriptBindings, MemoLinesAreAWideStringListThatCopiesOnAssignment)
{
    auto report = NewReport();
    report->CheckDataPage();
    auto* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpReportTitle>(page, QStringLiteral("Title"), 0, 20);
    auto* first = AddMemo(band, QStringLiteral("Memo1"), 0, 0, 100, 20, QString());
    auto* second = AddMemo(band, QStringLiteral("Memo2"), 0, 0, 100, 20, QString());
    report->SetScriptText({QStringLiteral("var WS: TWideStrings;"), QStringLiteral("begin"),
                           QStringLiteral("  Memo1.Lines.Add('a'); Memo1.Lines.Add('b');"),
                           QStringLiteral("  WS := TWideStrings.Create; WS.Text := 'x'#13#10'y'; WS[1] := 'z';"),
                           QStringLiteral("  Memo2.Lines := WS; Memo2.Lines.Add(IntToStr(Memo1.Lines.Count))"),
                           QStringLiteral("end.")});
    ASSERT_TRUE(report->PrepareScript()) << report->Errors().join(u'\n').toStdString();
    report->Script().Execute();
    EXPECT_EQ(first->Text(), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(second->Text(), QStringLiteral("x\r\nz\r\n2\r\n"));
}

TEST(ScriptBindings, AnsiTextArraysStylesAndPictureFiles)
{
    auto report = NewReport();
    report->CheckDataPage();
    auto* page = new TrpReportPage(report.get());
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpReportTitle>(page, QStringLiteral("Title"), 0, 20);
    auto* memo = AddMemo(band, QStringLiteral("Memo1"), 0, 0, 100, 20, QStringLiteral("Привет ✓"));
    auto* picture = new TrpPictureView(band);
    picture->SetName(QStringLiteral("Picture1"));
    report->SetScriptText({QStringLiteral("var A: TrpArray; S: TrpStyles;"), QStringLiteral("begin"),
                           QStringLiteral("  rpGlobalVariables['Ansi'] := Memo1.AnsiText;"),
                           QStringLiteral("  A := TrpArray.Create; A[5] := 'five'; A['k'] := 7;"),
                           QStringLiteral("  rpGlobalVariables['Array'] := A[5] + IntToStr(A['k']);"),
                           QStringLiteral("  S := TrpStyles.Create(Report); S.Add.Name := 'Head';"),
                           QStringLiteral("  rpGlobalVariables['Style'] := S.Find('head').Name;"),
                           QStringLiteral("  Picture1.LoadFromFile('/etc/hostname')"), QStringLiteral("end.")});
    ASSERT_TRUE(report->PrepareScript()) << report->Errors().join(u'\n').toStdString();
    try {
        report->Script().Execute();
        ADD_FAILURE() << "the picture file was read";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(QString::fromStdString(error.Message()),
                  QStringLiteral("Unable to open file \"/etc/hostname\": file access is not allowed"));
    }
    // The code page of the font's character set has no check mark.
    EXPECT_EQ(GlobalValue("Ansi").ToString(), QStringLiteral("Привет ?\r\n"));
    EXPECT_EQ(GlobalValue("Array").ToString(), QStringLiteral("five7"));
    EXPECT_EQ(GlobalValue("Style").ToString(), QStringLiteral("Head"));
    EXPECT_EQ(memo->Text(), QStringLiteral("Привет ✓\r\n"));
}
