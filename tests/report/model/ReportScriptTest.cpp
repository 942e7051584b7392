// The report's script and values: the value look-up in its order, Calc and its errors, Get,
// Set, IIF, user functions, division by zero, event calls, texts turned into literals, and
// preparing a report on the fake engine (data sets checked first, the snapshot, errors kept).

#include "ReportFakes.h"
#include "ReportFixtures.h"

#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_expressioncache.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

using namespace reporttest;

namespace {

// The deferred preparation's timer wants an application object; each test has its own.
class ReportScriptTest : public testing::Test {
protected:
    void SetUp() override
    {
        ModelRuntime::init();
        if (QCoreApplication::instance() == nullptr)
            application_ = std::make_unique<QCoreApplication>(argc_, nullptr);
    }

private:
    int argc_ = 0;
    std::unique_ptr<QCoreApplication> application_;
};

void SetScript(TrpReport& report, const QString& text)
{
    report.SetScriptText(text.split(u'\n'));
}

QString CalcText(TrpReport& report, const QString& expression)
{
    return VarToStr(report.Calc(expression));
}

// A data set whose every field is Null, of the type its name starts with.
class NullFields : public TrpUserDataSet {
public:
    TrpFieldType GetFieldType(const QString& field) override
    {
        if (field.startsWith(u'S'))
            return fftString;
        if (field.startsWith(u'B'))
            return fftBoolean;
        return fftNumeric;
    }
    Variant GetValue(const QString&) override { return Variant::NullValue(); }
};

struct NullCase {
    const char* Field;
    bool ConvertNulls;
    VariantKind Kind;
    const char* Text;
};

void PrintTo(const NullCase& c, std::ostream* out)
{
    *out << c.Field << (c.ConvertNulls ? " converted" : " as Null");
}

class NullFieldValues : public testing::TestWithParam<NullCase> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(NullFieldValues, FollowTheFieldTypeWithConvertNulls)
{
    const NullCase& c = GetParam();
    TrpReport report;
    NullFields dataSet;
    dataSet.SetUserName(QStringLiteral("Meter"));
    report.DataSets().Add(&dataSet);
    report.EngineOptions().ConvertNulls = c.ConvertNulls;
    Variant value;
    ASSERT_TRUE(report.GetValue(QStringLiteral("Meter.\"%1\"").arg(QLatin1String(c.Field)), value));
    EXPECT_EQ(value.Kind(), c.Kind);
    EXPECT_EQ(VarToStr(value), QString::fromUtf8(c.Text));
}

const NullCase kNullCases[] = {
    {"Number", true, VariantKind::Int32, "0"},  {"String", true, VariantKind::String, ""},
    {"Bool", true, VariantKind::Boolean, "False"}, {"Number", false, VariantKind::Null, ""},
    {"String", false, VariantKind::Null, ""},   {"Bool", false, VariantKind::Null, ""},
};

INSTANTIATE_TEST_SUITE_P(Table, NullFieldValues, testing::ValuesIn(kNullCases));

// --- the value look-up

TEST_F(ReportScriptTest, AVariableHoldingOneLineIsAnExpressionAndTwoLinesAreText)
{
    TrpReport report;
    report.Variables().SetValue(QStringLiteral("Sum23"), Variant(QStringLiteral("2+3")));
    report.Variables().SetValue(QStringLiteral("Two"), Variant(QStringLiteral("2+3\r\nmore")));
    report.Variables().SetValue(QStringLiteral("Number"), Variant(int32_t{7}));
    ASSERT_TRUE(report.PrepareScript());
    EXPECT_EQ(CalcText(report, QStringLiteral("Sum23")), "5");
    EXPECT_EQ(CalcText(report, QStringLiteral("Get('sum23') * 2")), "10");
    EXPECT_EQ(CalcText(report, QStringLiteral("Two")), "2+3\r\nmore");
    EXPECT_EQ(CalcText(report, QStringLiteral("Number")), "7");
}

TEST_F(ReportScriptTest, AVariableReferringToItselfIsAnErrorNotARecursion)
{
    TrpReport report;
    report.Variables().SetValue(QStringLiteral("Loop"), Variant(QStringLiteral("Loop + 1")));
    ASSERT_TRUE(report.PrepareScript());
    EXPECT_THROW(report.Calc(QStringLiteral("Loop")), ECalcError);
}

TEST_F(ReportScriptTest, TheApplicationAnswersBeforeVariablesAndGlobalsAfterThem)
{
    TrpReport report;
    report.Variables().SetValue(QStringLiteral("Asked"), Variant(QStringLiteral("1")));
    report.Variables().SetValue(QStringLiteral("Shared"), Variant(QStringLiteral("'report'")));
    GlobalVariables().SetValue(QStringLiteral("Shared"), Variant(QStringLiteral("global")));
    GlobalVariables().SetValue(QStringLiteral("OnlyGlobal"), Variant(QStringLiteral("1+1")));
    report.OnGetValue = [](const QString& name, Variant& value) {
        if (name == u"Asked")
            value = Variant(QStringLiteral("application"));
    };
    ASSERT_TRUE(report.PrepareScript());
    EXPECT_EQ(CalcText(report, QStringLiteral("Asked")), "application");
    EXPECT_EQ(CalcText(report, QStringLiteral("Shared")), "report");
    EXPECT_EQ(CalcText(report, QStringLiteral("OnlyGlobal")), "1+1") << "globals are values, not expressions";
    GlobalVariables().DeleteVariable(QStringLiteral("Shared"));
    GlobalVariables().DeleteVariable(QStringLiteral("OnlyGlobal"));
}

TEST_F(ReportScriptTest, ScriptVariablesAreValuesButRoutinesAreNot)
{
    TrpReport report;
    SetScript(report, QStringLiteral("var Counter: Integer;\nprocedure Helper;\nbegin\nend;\nbegin\n  Counter := 7\nend."));
    ASSERT_TRUE(report.PrepareScript()) << report.Errors().join(u'\n').toStdString();
    report.Script().Execute();
    Variant value;
    ASSERT_TRUE(report.GetValue(QStringLiteral("Counter"), value));
    EXPECT_EQ(VarToStr(value), "7");
    EXPECT_FALSE(report.GetValue(QStringLiteral("Helper"), value));
    EXPECT_FALSE(report.GetValue(QStringLiteral("Get"), value)) << "a method is no value";
}

TEST_F(ReportScriptTest, DateAndTimeComeFromTheClockOutsideARun)
{
    FixedReportClock clock(46000.75);
    TrpReport report;
    Variant date;
    Variant time;
    ASSERT_TRUE(report.GetValue(QStringLiteral("DATE"), date));
    ASSERT_TRUE(report.GetValue(QStringLiteral("Time"), time));
    EXPECT_EQ(date.ToDouble(), 46000);
    EXPECT_EQ(time.ToDouble(), 0.75);
}

TEST_F(ReportScriptTest, LineRestartsForEveryWalkOfABandAndLineSharpCountsOn)
{
    FakeServices services;
    FixedReportClock clock;
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    auto* first = AddBand<TrpMasterData>(page, QStringLiteral("First"), 0, 20);
    first->SetRowCount(3);
    auto* second = AddBand<TrpMasterData>(page, QStringLiteral("Second"), 40, 20);
    second->SetRowCount(2);
    QStringList lines;
    services.LastEngine->OnRecord = [&](TrpDataBand& band) {
        lines << band.Name() + u' ' + CalcText(report, QStringLiteral("Line")) + u'/' +
                     CalcText(report, QStringLiteral("Line#"));
    };
    EXPECT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
    EXPECT_EQ(lines.join(u','), "First 1/1,First 2/2,First 3/3,Second 1/4,Second 2/5");
}

// --- Get, Calc and their errors

TEST_F(ReportScriptTest, GetOfAnUnknownNameAddsOneErrorAndDoesNotRaise)
{
    TrpReport report;
    ASSERT_TRUE(report.PrepareScript());
    EXPECT_NO_THROW(report.Calc(QStringLiteral("Get('Nope')")));
    EXPECT_NO_THROW(report.Calc(QStringLiteral("Get('Nope')")));
    EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("Неизвестная переменная или поле БД: Nope")});
}

TEST_F(ReportScriptTest, CalcOfAnUnknownNameRaisesWithTheObjectBeforeIt)
{
    TrpReport report;
    ASSERT_TRUE(report.PrepareScript());
    report.CurObject = QStringLiteral("Memo1");
    const QString expected = QStringLiteral("Memo1: Ошибка в выражении 'Nope': Неопределенный идентификатор: 'Nope'");
    try {
        report.Calc(QStringLiteral("Nope"));
        FAIL() << "no error";
    } catch (const ECalcError& error) {
        EXPECT_EQ(QString::fromStdString(error.Message()), expected);
    }
    EXPECT_THROW(report.Calc(QStringLiteral("Nope")), ECalcError);
    EXPECT_EQ(report.Errors(), QStringList{expected}) << "reported once however often it fails";
}

TEST_F(ReportScriptTest, CalcFromAScriptRaisesWithTheCalcPrefixAndLeavesErrorsAlone)
{
    TrpReport report;
    ASSERT_TRUE(report.PrepareScript());
    try {
        report.Calc(QStringLiteral("Nope"), nullptr, true);
        FAIL() << "no error";
    } catch (const ECalcError& error) {
        EXPECT_TRUE(QString::fromStdString(error.Message()).startsWith(u"Error in Calc expression: Ошибка в выражении"))
            << error.Message();
    }
    EXPECT_TRUE(report.Errors().isEmpty());
}

TEST_F(ReportScriptTest, SetAddsOrChangesAReportVariable)
{
    TrpReport report;
    report.Variables().SetValue(QStringLiteral("Old"), Variant(QStringLiteral("1")));
    SetScript(report, QStringLiteral("begin\n  Set('Old', 'changed');\n  Set('New', 42)\nend."));
    ASSERT_TRUE(report.PrepareScript());
    report.Script().Execute();
    EXPECT_EQ(VarToStr(report.Variables().GetValue(QStringLiteral("Old"))), "changed");
    EXPECT_EQ(VarToStr(report.Variables().GetValue(QStringLiteral("New"))), "42");
}

TEST_F(ReportScriptTest, AScriptThatDoesNotCompileGivesItsPositionAndMessage)
{
    TrpReport report;
    SetScript(report, QStringLiteral("begin\n  x := \nend."));
    EXPECT_FALSE(report.PrepareScript());
    ASSERT_EQ(report.Errors().size(), 1);
    EXPECT_TRUE(report.Errors()[0].startsWith(QStringLiteral("Ошибка в скрипте ") + report.Script().ErrorPos + QStringLiteral(": ")))
        << report.Errors()[0].toStdString();
    EXPECT_FALSE(report.Script().ErrorPos.isEmpty());
}

TEST_F(ReportScriptTest, IIFRunsOnlyTheChosenBranch)
{
    TrpReport report;
    QStringList calls;
    report.OnUserFunction = [&](const QString& name, std::span<Variant> arguments) {
        calls << name + u' ' + VarToStr(arguments[0]);
        return arguments[0];
    };
    report.AddFunction(QStringLiteral("function Mark(X: Variant): Variant"));
    ASSERT_TRUE(report.PrepareScript());
    EXPECT_EQ(CalcText(report, QStringLiteral("IIF(1 > 2, Mark('a'), Mark('b'))")), "b");
    EXPECT_EQ(CalcText(report, QStringLiteral("IIF(2 > 1, Mark('a'), Mark('b'))")), "a");
    EXPECT_EQ(calls.join(u',').toStdString(), "Mark b,Mark a");
    ASSERT_TRUE(report.PrepareScript()) << "user functions survive another preparation";
    EXPECT_EQ(CalcText(report, QStringLiteral("Mark(3)")), "3");
}

TEST_F(ReportScriptTest, AnErrorInsideIIFLandsInErrors)
{
    TrpReport report;
    ASSERT_TRUE(report.PrepareScript());
    Variant value;
    EXPECT_NO_THROW(value = report.Calc(QStringLiteral("IIF(True, 1 div 0, 2)")));
    EXPECT_TRUE(value.IsUnassigned() || value.IsNull());
    ASSERT_EQ(report.Errors().size(), 1);
    EXPECT_TRUE(report.Errors()[0].startsWith(u"Error in Calc expression: ")) << report.Errors()[0].toStdString();
}

struct DivisionCase {
    const char* Expression;
    bool Ignore;
    bool Fails;
};

void PrintTo(const DivisionCase& c, std::ostream* out)
{
    *out << c.Expression << (c.Ignore ? " ignoring" : "");
}

class DivisionByZero : public testing::TestWithParam<DivisionCase> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(DivisionByZero, OnlyFloatDivisionIsForgivenAndOnlyWhenAsked)
{
    const DivisionCase& c = GetParam();
    TrpReport report;
    report.EngineOptions().IgnoreDevByZero = c.Ignore;
    ASSERT_TRUE(report.PrepareScript());
    if (c.Fails)
        EXPECT_THROW(report.Calc(QString::fromUtf8(c.Expression)), ECalcError);
    else
        EXPECT_NO_THROW(report.Calc(QString::fromUtf8(c.Expression)));
    EXPECT_EQ(report.Errors().isEmpty(), !c.Fails);
}

const DivisionCase kDivisionCases[] = {
    {"1.0/0", true, false},
    {"1.0/0", false, true},
    {"1 div 0", true, true},
    {"1 div 0", false, true},
};

INSTANTIATE_TEST_SUITE_P(Table, DivisionByZero, testing::ValuesIn(kDivisionCases));

// --- texts put where expressions are expected

TEST_F(ReportScriptTest, QuotedTextsComeBackUnchangedInEveryLanguage)
{
    const QString texts[] = {QStringLiteral("ООО \"Тепло\"; ул. Ленина, д. 5"), QStringLiteral("it's (1+2) [a] {b}"),
                             QStringLiteral("end; begin x := 1"), QStringLiteral("line\r\nbreak"), QString()};
    const std::pair<const char*, const char*> languages[] = {
        {"RireroRidoze", "begin end."}, {"R++Idirud", "{}"}, {"ZuvivUradur", "Sub Nothing\nEnd Sub"}, {"JScript", ""}};
    for (const auto& [language, emptyProgram] : languages) {
        TrpReport report;
        report.ScriptLanguage = QString::fromUtf8(language);
        SetScript(report, QString::fromUtf8(emptyProgram));
        ASSERT_TRUE(report.PrepareScript()) << language << report.Errors().join(u'\n').toStdString();
        for (const QString& text : texts) {
            report.Variables().SetValue(QStringLiteral("Address"), Variant(report.QuotedText(text)));
            EXPECT_EQ(CalcText(report, QStringLiteral("Address")), text) << language << ' ' << text.toStdString();
        }
    }
}

// --- event calls

TEST_F(ReportScriptTest, ParamEventsGiveBackWhatTheScriptAssigned)
{
    TrpReport report;
    SetScript(report, QStringLiteral("procedure Key(Sender: Variant; var Key: String);\nbegin\n  Key := ''\nend;\n"
                                     "procedure Touch(Sender: Variant);\nbegin\n  Set('Touched', 1)\nend;\nbegin\nend."));
    ASSERT_TRUE(report.PrepareScript()) << report.Errors().join(u'\n').toStdString();
    std::vector<Variant> parameters{Variant(int32_t{0}), Variant(QStringLiteral("a"))};
    report.DoParamEvent(QStringLiteral("Key"), parameters);
    EXPECT_EQ(VarToStr(parameters[1]), "a") << "nothing runs while the engine does not";
    report.DoParamEvent(QStringLiteral("Key"), parameters, true);
    EXPECT_EQ(VarToStr(parameters[1]), "");
    report.DoNotifyEvent(&report, QStringLiteral("Touch"), true);
    EXPECT_EQ(VarToStr(report.Variables().GetValue(QStringLiteral("Touched"))), "1");
}

TEST_F(ReportScriptTest, PrintAndClickEventsReachTheApplicationAndTheScript)
{
    FakeServices services;
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    TrpMemoView* memo = AddMemo(band, QStringLiteral("Memo1"), 0, 0, 100, 20, QStringLiteral("x"));
    memo->OnBeforePrint = QStringLiteral("Before");
    memo->OnPreviewClick = QStringLiteral("Click");
    SetScript(report, QStringLiteral("procedure Before(Sender: Variant);\nbegin\n  Set('Seen', 'before')\nend;\n"
                                     "procedure Click(Sender: Variant; Button, Shift: Integer; var Modified: Boolean);\n"
                                     "begin\n  Set('Button', Button);\n  Modified := True\nend;\nbegin\nend."));
    ASSERT_TRUE(report.PrepareScript()) << report.Errors().join(u'\n').toStdString();
    QStringList application;
    report.OnBeforePrint = [&](TrpComponent& object) { application << QStringLiteral("before ") + object.Name(); };
    report.OnClickObject = [&](TrpView& view, int32_t button, uint32_t, bool& modified) {
        application << QStringLiteral("click %1 %2 %3").arg(view.Name()).arg(button).arg(modified);
    };
    report.DoBeforePrint(memo);
    EXPECT_TRUE(report.Variables().GetValue(QStringLiteral("Seen")).IsNull()) << "script events wait for the engine";
    services.LastEngine->Running = true;
    report.DoBeforePrint(memo);
    services.LastEngine->Running = false;
    EXPECT_EQ(VarToStr(report.Variables().GetValue(QStringLiteral("Seen"))).toStdString(), "before");
    bool modified = false;
    report.DoPreviewClick(memo, 2, 0, modified, false);
    EXPECT_TRUE(modified) << "read back from the script";
    EXPECT_EQ(VarToStr(report.Variables().GetValue(QStringLiteral("Button"))).toStdString(), "2");
    EXPECT_EQ(application.join(u'|').toStdString(), "before Memo1|before Memo1|click Memo1 2 1");
}

TEST_F(ReportScriptTest, DialogPageEventsRunTheScriptWhileTheEngineRuns)
{
    FakeServices services;
    TrpReport report;
    auto* page = new TrpDialogPage(&report);
    page->SetName(QStringLiteral("Dialog1"));
    FakeDialogWindow* window = services.LastWindow;
    ASSERT_NE(window, nullptr);
    page->OnKeyPress = QStringLiteral("KeyPressed");
    page->OnClick = QStringLiteral("Clicked");
    SetScript(report, QStringLiteral("procedure KeyPressed(Sender: Variant; var Key: String);\nbegin\n"
                                     "  if Key = 'q' then Key := ''\nend;\n"
                                     "procedure Clicked(Sender: Variant);\nbegin\n  Set('Clicks', 1)\nend;\n"
                                     "begin\nend."));
    ASSERT_TRUE(report.PrepareScript()) << report.Errors().join(u'\n').toStdString();
    services.LastEngine->Running = true;
    QStringList keys;
    window->WhileShown = [&](FakeDialogWindow& shown) {
        for (QChar key : {QChar(u'a'), QChar(u'q')}) {
            shown.Handlers.KeyPress(key);
            keys << QString::number(key.unicode());
        }
        shown.Handlers.Click();
    };
    page->ShowModal();
    EXPECT_EQ(keys.join(u',').toStdString(), "97,0") << "an emptied key is character 0";
    EXPECT_EQ(VarToStr(report.Variables().GetValue(QStringLiteral("Clicks"))).toStdString(), "1");
    services.LastEngine->Running = false;
}

// --- preparing a report

TEST_F(ReportScriptTest, AMissingDataSetFailsBeforeAnyScriptRuns)
{
    FakeServices services;
    RecordingReportUi ui;
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.DataSets().Add(nullptr)->SetDataSetName(QStringLiteral("Gone"));
    int begun = 0;
    report.OnBeginDoc = [&](TrpReport&) { ++begun; };
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_EQ(begun, 0);
    EXPECT_TRUE(services.LastEngine->Walked.isEmpty());
    ASSERT_EQ(report.Errors().size(), 1);
    EXPECT_TRUE(report.Errors()[0].startsWith(u"Набор данных")) << report.Errors()[0].toStdString();
    EXPECT_TRUE(report.Errors()[0].contains(u"Gone")) << report.Errors()[0].toStdString();
}

TEST_F(ReportScriptTest, WhatTheScriptChangesIsBackAfterTheRunButErrorsStay)
{
    FakeServices services;
    RecordingReportUi ui;
    TrpReport report;
    report.ReportOptions().Password = QStringLiteral("secret");
    report.PrintOptions().SplicingLine = 3;
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    band->SetRowCount(1);
    AddMemo(band, QStringLiteral("Memo1"), 0, 0, 100, 20, QStringLiteral("template"));
    report.Variables().SetValue(QStringLiteral("Kept"), Variant(QStringLiteral("'template'")));
    SetScript(report, QStringLiteral("begin\n  Set('Kept', 'changed');\n  Get('Nope')\nend."));
    report.OnBeginDoc = [](TrpReport& r) {
        static_cast<TrpMemoView*>(r.FindObject(QStringLiteral("Memo1")))->SetText(QStringLiteral("changed"));
    };
    QString duringRun;
    report.OnEndDoc = [&](TrpReport& r) {
        duringRun = static_cast<TrpMemoView*>(r.FindObject(QStringLiteral("Memo1")))->Text().trimmed() + u' ' +
                    VarToStr(r.Variables().GetValue(QStringLiteral("Kept")));
    };

    EXPECT_FALSE(report.PrepareReport());
    EXPECT_EQ(duringRun.toStdString(), "changed changed");
    auto* memo = dynamic_cast<TrpMemoView*>(report.FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text().trimmed().toStdString(), "template");
    EXPECT_EQ(VarToStr(report.Variables().GetValue(QStringLiteral("Kept"))).toStdString(), "'template'");
    EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("Неизвестная переменная или поле БД: Nope")});
    EXPECT_EQ(services.PasswordPrompts, 0) << "the reload asks for no password";
    EXPECT_EQ(report.ReportOptions().Password, "secret");
    EXPECT_EQ(report.PrintOptions().SplicingLine, 3);
    ASSERT_EQ(ui.Messages.size(), 1);
    EXPECT_TRUE(ui.Messages[0].contains(u"Были обнаружены следующие ошибки:\r\nНеизвестная переменная"))
        << ui.Messages[0].toStdString();
}

TEST_F(ReportScriptTest, ASnapshotInATemporaryFileIsRemovedAfterTheRun)
{
    FakeServices services;
    QTemporaryDir folder;
    TrpReport report;
    report.EngineOptions().UseFileCache = true;
    report.EngineOptions().TempDir = folder.path();
    auto* page = new TrpReportPage(&report);
    AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20)->SetRowCount(2);
    EXPECT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(ReportScriptTest, AReportWhoseLoadFailedIsNotRun)
{
    FakeServices services;
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    QBuffer broken;
    broken.setData("<?xml version=\"1.0\"?><TrpReport><TrpReportPage Name=");
    broken.open(QIODevice::ReadOnly);
    report.LoadFromStream(broken);
    const QStringList loadErrors = report.Errors();
    ASSERT_FALSE(loadErrors.isEmpty());
    int begun = 0;
    report.OnBeginDoc = [&](TrpReport&) { ++begun; };
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_EQ(begun, 0);
    EXPECT_EQ(report.Errors(), loadErrors);
}

TEST_F(ReportScriptTest, ARunStartedInsideARunIsRefusedAndATerminatedRunStopsBeforeTheEngine)
{
    FakeServices services;
    RecordingReportUi ui;
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    auto* page = new TrpReportPage(&report);
    AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20)->SetRowCount(1);
    bool inner = true;
    report.OnBeginDoc = [&](TrpReport& r) { inner = r.PrepareReport(); };
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_FALSE(inner);
    EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("Отчет уже выполняется")});

    services.LastEngine->Walked.clear();
    report.OnBeginDoc = [](TrpReport& r) { r.SetTerminated(true); };
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_TRUE(services.LastEngine->Walked.isEmpty());
    EXPECT_TRUE(report.Errors().isEmpty());
    EXPECT_FALSE(report.Running());

    report.OnBeginDoc = nullptr;
    EXPECT_TRUE(report.PrepareReport()) << "the next run is not stopped";
    EXPECT_EQ(services.LastEngine->Walked.size(), 1);
}

// A progress window that records what it is told.
class RecordingProgress : public ITrpProgressWindow {
public:
    explicit RecordingProgress(QStringList& log) : log_(log) {}
    void Start(const QString& caption) override { log_ << QStringLiteral("start ") + caption; }
    void Progress(const QString& message, int32_t) override { log_ << message; }
    void Stop() override { log_ << QStringLiteral("stop"); }
    bool Cancelled() const override { return Cancel; }
    bool Cancel = false;

private:
    QStringList& log_;
};

TEST_F(ReportScriptTest, ProgressWindowsShowTheirTextsAndACancelTerminates)
{
    FakeServices services;
    QStringList log;
    bool cancel = false;
    MutableModelServices().CreateProgressWindow = [&](TrpReport&) {
        auto window = std::make_unique<RecordingProgress>(log);
        window->Cancel = cancel;
        return window;
    };
    TrpReport report;
    report.ReportOptions().Name = QStringLiteral("Отчет");
    QStringList hooks;
    report.OnProgress = [&](TrpReport&, TrpProgressType type, int32_t page) { hooks << QStringLiteral("%1:%2").arg(type).arg(page); };
    report.InternalOnProgressStart(ptRunning);
    report.InternalOnProgress(ptRunning, 1);
    report.InternalOnProgressStop(ptRunning);
    EXPECT_TRUE(log.isEmpty()) << "new-style progress runs in the preview, without a window";
    report.InternalOnProgressStart(ptExporting);
    report.InternalOnProgress(ptExporting, 3);
    report.InternalOnProgressStop(ptExporting);
    report.InternalOnProgressStart(ptPrinting);
    report.InternalOnProgress(ptPrinting, 2);
    report.InternalOnProgressStop(ptPrinting);
    EXPECT_EQ(log.join(u'|').toStdString(),
              "start Отчет|Экспорт страницы 3|stop|start Отчет|Печатается страница 2|stop");
    EXPECT_EQ(hooks.join(u',').toStdString(), "0:1,1:3,2:2");
    EXPECT_FALSE(report.Terminated());

    cancel = true;
    report.OldStyleProgress = true;
    report.InternalOnProgressStart(ptRunning);
    report.InternalOnProgress(ptRunning, 1);
    EXPECT_EQ(log.last().toStdString(), "Готовится страница 1");
    EXPECT_TRUE(report.Terminated()) << "cancelled in the window";
    report.InternalOnProgressStop(ptRunning);

    log.clear();
    report.EngineOptions().EnableThreadSafe = true;
    report.InternalOnProgressStart(ptExporting);
    report.InternalOnProgress(ptExporting, 1);
    EXPECT_TRUE(log.isEmpty()) << "thread-safe runs touch no window";
}

TEST_F(ReportScriptTest, TheDeferredPreparationRunsOnTheTimersTick)
{
    FakeServices services;
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20)->SetRowCount(1);
    report.ShowReport();
    EXPECT_TRUE(report.PrepareTimer().isActive());
    EXPECT_TRUE(services.LastEngine->Walked.isEmpty());
    report.PrepareTimerTick();
    EXPECT_FALSE(report.PrepareTimer().isActive());
    EXPECT_EQ(services.LastEngine->Walked.size(), 1);
}

} // namespace

namespace {

class FakePreview : public TrpCustomPreview {
public:
    void Init() override { ++Inits; }
    void Lock() override {}
    void Unlock() override {}
    void RefreshReport() override {}
    void InternalOnProgressStart(TrpReport&, TrpProgressType, int32_t) override {}
    void InternalOnProgress(TrpReport&, TrpProgressType, int32_t) override {}
    void InternalOnProgressStop(TrpReport&, TrpProgressType, int32_t) override {}
    int Inits = 0;
};

class FakePreviewWindow : public ITrpPreviewWindow {
public:
    explicit FakePreviewWindow(QStringList& log) : log_(log) {}
    ~FakePreviewWindow() override { log_ << QStringLiteral("freed"); }
    TrpCustomPreview* Preview() override { return &Control; }
    void Initialize(bool maximized) override { log_ << QStringLiteral("initialize %1").arg(maximized); }
    void ShowModal() override
    {
        log_ << QStringLiteral("modal");
        if (WhileShown)
            WhileShown();
    }
    void ShowModeless(bool mdiChild) override { log_ << QStringLiteral("modeless %1").arg(mdiChild); }
    void Close() override
    {
        log_ << QStringLiteral("close");
        if (OnClosed)
            OnClosed();
    }
    void SetStatusText(const QString& text, bool isHint) override { log_ << text + QChar(isHint ? u'?' : u'!'); }

    FakePreview Control;
    std::function<void()> WhileShown;

private:
    QStringList& log_;
};

class FakeDesigner : public TrpCustomDesigner {
public:
    FakeDesigner(TrpReport* report, bool previewDesigner, QStringList& log)
        : TrpCustomDesigner(report, previewDesigner), log_(log)
    {
    }
    ~FakeDesigner() override { log_ << QStringLiteral("freed"); }
    void SetMDIChild(bool value) override { log_ << QStringLiteral("mdi %1").arg(value); }
    void Start() override { log_ << QStringLiteral("start"); }
    void ShowModal() override
    {
        log_ << QStringLiteral("modal");
        if (ChangeOnShow)
            SetModified(true);
    }
    void ShowModeless() override { log_ << QStringLiteral("modeless"); }
    QStringList Code() override { return {}; }
    QString InsertExpression(const QString& expression) override { return expression; }
    void Lock() override {}
    void ReloadPages(int32_t) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override {}
    void UpdatePage() override {}
    bool ChangeOnShow = false;

private:
    QStringList& log_;
};

TEST_F(ReportScriptTest, AModalPreviewWindowPreparesTheReportWhileItIsShown)
{
    FakeServices services;
    QStringList log;
    FakePreviewWindow* window = nullptr;
    TrpReport report;
    MutableModelServices().CreatePreviewWindow = [&](TrpReport&) {
        auto made = std::make_unique<FakePreviewWindow>(log);
        window = made.get();
        made->WhileShown = [&] {
            EXPECT_EQ(window->Control.Report(), &report);
            EXPECT_EQ(window->Control.PreviewPages(), report.PreviewPages());
            EXPECT_EQ(report.PreviewForm(), window);
            report.SetProgressMessage(QStringLiteral("hint"), true);
            report.PrepareTimerTick(); // the window's event loop runs the deferred preparation
        };
        return made;
    };
    auto* page = new TrpReportPage(&report);
    AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20)->SetRowCount(2);
    int previews = 0;
    report.OnPreview = [&](TrpReport&) { ++previews; };
    report.ShowReport();
    EXPECT_EQ(log.join(u'|').toStdString(), "initialize 1|modal|hint?|freed");
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(services.LastEngine->Walked.size(), 2);
    EXPECT_EQ(report.PreviewForm(), nullptr);
    EXPECT_EQ(report.Preview(), nullptr);
    EXPECT_FALSE(report.PrepareTimer().isActive());
}

TEST_F(ReportScriptTest, AModelessPreviewWindowIsForgottenWhenItCloses)
{
    FakeServices services;
    QStringList log;
    FakePreviewWindow* window = nullptr;
    MutableModelServices().CreatePreviewWindow = [&](TrpReport&) {
        auto made = std::make_unique<FakePreviewWindow>(log);
        window = made.get();
        return made;
    };
    TrpReport report;
    report.PreviewOptions().Modal = false;
    report.PreviewOptions().MDIChild = true;
    report.OldStyleProgress = true; // prepared before the window opens
    auto* page = new TrpReportPage(&report);
    AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20)->SetRowCount(1);
    report.ShowReport();
    ASSERT_NE(window, nullptr);
    std::unique_ptr<FakePreviewWindow> owned(window); // the window frees itself; here the test does
    EXPECT_EQ(log.join(u'|').toStdString(), "initialize 1|modeless 1");
    EXPECT_EQ(services.LastEngine->Walked.size(), 1);
    EXPECT_EQ(report.PreviewForm(), window);
    EXPECT_EQ(report.Preview(), &window->Control);
    EXPECT_EQ(window->Control.Inits, 1);
    report.ClosePreviewWindow();
    EXPECT_EQ(report.PreviewForm(), nullptr);
    owned.reset();
    EXPECT_EQ(report.Preview(), nullptr) << "the control unlinks itself";
}

TEST_F(ReportScriptTest, TheDesignerOpensOnlyThroughTheServices)
{
    FakeServices services;
    QStringList log;
    TrpReport report;
    report.SetModified(true);
    report.DesignReport();
    EXPECT_TRUE(report.Modified()) << "nothing happens without a designer";

    bool change = false;
    MutableModelServices().CreateDesigner = [&](TrpReport& r, bool previewDesigner) {
        auto designer = std::make_unique<FakeDesigner>(&r, previewDesigner, log);
        designer->ChangeOnShow = change;
        log << QStringLiteral("made %1").arg(previewDesigner);
        return designer;
    };
    report.DesignReport(true, true);
    EXPECT_FALSE(report.Modified());
    EXPECT_EQ(report.Designer(), nullptr);
    EXPECT_EQ(log.join(u'|').toStdString(), "made 0|mdi 1|start|modal|freed");

    log.clear();
    change = true;
    EXPECT_TRUE(report.DesignPreviewPage());
    EXPECT_EQ(log.join(u'|').toStdString(), "made 1|modal|freed");
}

} // namespace
