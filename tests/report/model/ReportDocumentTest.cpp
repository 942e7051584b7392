// The report document: creation and clearing, what a file may change, the data page, the
// password and its prompt, errors and their reporting, data-set look-ups, templates and the
// services the report reaches.

#include "ReportFakes.h"
#include "ReportFixtures.h"

#include "report/core/PropertyRegistry.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_ini.h"
#include "report/model/rpRes.h"
#include "platform/RegistryStore.h"
#include "report/model/rpXMLSerializer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

using namespace reporttest;

namespace {

// A dialog component files may hold, for the data-page tests.
class TestDialogComponent : public TrpDialogComponent {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TrpTestDialogComponent"), &TrpDialogComponent::Class()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
};

class ReportDocumentTest : public testing::Test {
protected:
    void SetUp() override
    {
        ModelRuntime::init();
        PropertyRegistry& registry = PropertyRegistry::Global();
        if (!registry.Contains(TestDialogComponent::Class()))
            registry.Register(TestDialogComponent::Class(), [] { return std::make_unique<TestDialogComponent>(); });
    }
};

void Load(TrpReport& report, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    report.LoadFromStream(buffer);
}

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n";

// --- creation and clearing

TEST_F(ReportDocumentTest, ANewReport)
{
    FixedReportClock clock(45000.25);
    TrpReport report;
    EXPECT_EQ(report.Version(), "4.15");
    report.SetVersion(QStringLiteral("1.0"));
    EXPECT_EQ(report.Version(), "4.15") << "the version is always 4.15";
    EXPECT_EQ(report.IniFile, "\\Software\\Zuvo Dideziz");
    EXPECT_TRUE(report.ShowProgress);
    EXPECT_TRUE(report.StoreInDFM);
    EXPECT_EQ(report.ScriptLanguage, "RireroRidoze");
    EXPECT_EQ(report.ScriptText(), (QStringList{QStringLiteral("begin"), QString(), QStringLiteral("end.")}));
    EXPECT_EQ(report.SysVariables().join(u','), "Date,Time,Page,Page#,TotalPages,TotalPages#,Line,Line#,CopyName#");
    EXPECT_EQ(report.ReportOptions().CreateDate, 45000.25) << "now, from the services' clock";
    EXPECT_EQ(report.PrintOptions().Printer, "По умолчанию");
    EXPECT_EQ(report.Engine(), nullptr) << "no engine without the services";
    EXPECT_EQ(report.GetDescription(), "Отчет");
}

TEST_F(ReportDocumentTest, ClearEmptiesTheReport)
{
    std::unique_ptr<TrpReport> report = BuildDeviceLikeReport();
    report->OnStartReport = QStringLiteral("Start");
    report->DotMatrixReport = true;
    report->ScriptLanguage = QStringLiteral("JScript");
    TrpUserDataSet dataSet;
    dataSet.SetUserName(QStringLiteral("Days"));
    report->DataSets().Add(&dataSet);
    report->SetDataSet(&dataSet);
    report->ReportOptions().HiddenPassword = QStringLiteral("hidden");
    report->PrintOptions().Copies = 3;
    report->Clear();
    EXPECT_EQ(report->PagesCount(), 0);
    EXPECT_EQ(report->DataSets().Count(), 0);
    EXPECT_EQ(report->Variables().Count(), 0);
    EXPECT_EQ(report->Styles().Count(), 0);
    EXPECT_EQ(report->DataSet(), nullptr);
    EXPECT_FALSE(report->DotMatrixReport);
    EXPECT_EQ(report->ScriptLanguage, "RireroRidoze");
    EXPECT_EQ(report->OnStartReport, "");
    EXPECT_FALSE(report->EngineOptions().DoublePass);
    EXPECT_EQ(report->ReportOptions().Password, "");
    EXPECT_EQ(report->ReportOptions().HiddenPassword, "hidden") << "the program's own password stays";
    EXPECT_EQ(report->PrintOptions().Copies, 1);
}

// --- what a file may change

struct OptionCase {
    const char* Attribute; // on the root element
    std::function<bool(TrpReport&)> TakenFromFile;
};

void PrintTo(const OptionCase& c, std::ostream* out)
{
    *out << c.Attribute;
}

class FileOptions : public testing::TestWithParam<OptionCase> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(FileOptions, OnlyEightEngineAndPreviewOptionsComeFromTheFile)
{
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    Load(report, kHeader + "<TrpReport " + QByteArray(GetParam().Attribute) + "/>\r\n");
    EXPECT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'|').toStdString();
    EXPECT_TRUE(GetParam().TakenFromFile(report));
}

const OptionCase kOptionCases[] = {
    {"EngineOptions.DoublePass=\"True\"", [](TrpReport& r) { return r.EngineOptions().DoublePass; }},
    {"EngineOptions.ConvertNulls=\"False\"", [](TrpReport& r) { return !r.EngineOptions().ConvertNulls; }},
    {"EngineOptions.IgnoreDevByZero=\"True\"", [](TrpReport& r) { return r.EngineOptions().IgnoreDevByZero; }},
    {"EngineOptions.MaxMemSize=\"20\"", [](TrpReport& r) { return r.EngineOptions().MaxMemSize == 10; }},
    {"EngineOptions.NewSilentMode=\"simReThrow\"",
     [](TrpReport& r) { return r.EngineOptions().NewSilentMode == simSilent; }},
    {"EngineOptions.PrintIfEmpty=\"False\"", [](TrpReport& r) { return r.EngineOptions().PrintIfEmpty; }},
    {"EngineOptions.TempDir=\"/tmp/x\"", [](TrpReport& r) { return r.EngineOptions().TempDir.isEmpty(); }},
    {"PreviewOptions.OutlineVisible=\"True\"", [](TrpReport& r) { return r.PreviewOptions().OutlineVisible; }},
    {"PreviewOptions.OutlineWidth=\"200\"", [](TrpReport& r) { return r.PreviewOptions().OutlineWidth == 200; }},
    {"PreviewOptions.OutlineExpand=\"False\"", [](TrpReport& r) { return !r.PreviewOptions().OutlineExpand; }},
    {"PreviewOptions.PagesInCache=\"7\"", [](TrpReport& r) { return r.PreviewOptions().PagesInCache == 7; }},
    {"PreviewOptions.ThumbnailVisible=\"True\"", [](TrpReport& r) { return r.PreviewOptions().ThumbnailVisible; }},
    {"PreviewOptions.Modal=\"False\"", [](TrpReport& r) { return r.PreviewOptions().Modal; }},
    {"PreviewOptions.Buttons=\"1\"", [](TrpReport& r) { return r.PreviewOptions().Buttons == kDefaultPreviewButtons; }},
    {"PrintOptions.Copies=\"4\"", [](TrpReport& r) { return r.PrintOptions().Copies == 4; }},
    {"ReportOptions.Author=\"Я\"", [](TrpReport& r) { return r.ReportOptions().Author == QStringLiteral("Я"); }},
    {"IniFile=\"x.ini\"", [](TrpReport& r) { return r.IniFile == QStringLiteral("\\Software\\Zuvo Dideziz"); }},
    {"ShowProgress=\"False\"", [](TrpReport& r) { return r.ShowProgress; }},
    {"OldStyleProgress=\"True\"", [](TrpReport& r) { return !r.OldStyleProgress; }},
    {"StoreInDFM=\"False\"", [](TrpReport& r) { return r.StoreInDFM; }},
};

INSTANTIATE_TEST_SUITE_P(Table, FileOptions, testing::ValuesIn(kOptionCases));

// --- the data page

TEST_F(ReportDocumentTest, AFileWithoutADataPageGetsOneFirstWithTheDialogComponentsOnIt)
{
    TrpReport report;
    report.EngineOptions().NewSilentMode = simReThrow;
    Load(report, kHeader +
                     "<TrpReport>\r\n"
                     "  <TrpDialogPage Name=\"DialogPage1\">\r\n"
                     "    <TrpTestDialogComponent Name=\"A\"/>\r\n"
                     "    <TrpTestDialogComponent Name=\"B\"/>\r\n"
                     "    <TrpTestDialogComponent Name=\"C\"/>\r\n"
                     "  </TrpDialogPage>\r\n"
                     "  <TrpReportPage Name=\"Page1\"/>\r\n"
                     "</TrpReport>\r\n");
    ASSERT_EQ(report.PagesCount(), 3);
    TrpComponent* data = report.Pages(0);
    EXPECT_EQ(data->ClassName(), "TrpDataPage");
    EXPECT_EQ(data->Name(), "Data");
    ASSERT_EQ(data->Objects().size(), 3u);
    const double lefts[] = {60, 124, 188};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(data->Objects()[i]->Left(), lefts[i]);
        EXPECT_EQ(data->Objects()[i]->Top(), 20);
    }
    EXPECT_TRUE(report.FindObject(u"DialogPage1")->Objects().empty());
}

TEST_F(ReportDocumentTest, AnObjectNamedDataGivesTheDataPageAnotherName)
{
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Data"));
    report.CheckDataPage();
    EXPECT_EQ(report.Pages(0)->ClassName(), "TrpDataPage");
    EXPECT_EQ(report.Pages(0)->Name(), "DataPage1");
    report.CheckDataPage();
    EXPECT_EQ(report.PagesCount(), 2) << "one data page";
}

// --- the password

TEST_F(ReportDocumentTest, ThePasswordIsDisguisedInTheFileAndPlainInMemory)
{
    FixedReportClock clock;
    TrpReport report;
    report.ReportOptions().Password = QStringLiteral("Пароль9");
    const QByteArray saved = SaveReport(report);
    EXPECT_EQ(report.ReportOptions().Password, "Пароль9") << "plain after saving";
    EXPECT_EQ(report.ReportOptions().PrevPassword, "Пароль9");
    QString disguised = QStringLiteral("Пароль9");
    for (QChar& c : disguised)
        c = QChar(static_cast<char16_t>(c.unicode() - 10));
    EXPECT_TRUE(saved.contains("ReportOptions.Password=\"" + disguised.toUtf8() + "\""));
    TrpReport again;
    again.ReportOptions().HiddenPassword = QStringLiteral("Пароль9");
    Load(again, saved);
    EXPECT_EQ(again.ReportOptions().Password, "Пароль9");
}

TEST_F(ReportDocumentTest, EveryPasswordCharacterAboveTenTravels)
{
    FixedReportClock clock;
    QString password;
    for (char16_t c = 11; c < 400; ++c)
        password += QChar(c);
    password += QStringLiteral("😀Жж");
    TrpReport report;
    report.ReportOptions().Password = password;
    const QByteArray saved = SaveReport(report);
    TrpReport again;
    again.ReportOptions().HiddenPassword = password;
    again.EngineOptions().NewSilentMode = simReThrow;
    Load(again, saved);
    EXPECT_EQ(again.ReportOptions().Password, password);
}

TEST_F(ReportDocumentTest, APasswordThatCannotBeDisguisedIsRefusedAndNothingWritten)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("r.zi3"));
    TrpReport report;
    report.SaveToFile(fileName);
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    for (const QString& password : {QStringLiteral("a\nb"), QStringLiteral("tab\t"), QString(QChar(0xE000))}) {
        report.ReportOptions().Password = password;
        try {
            report.SaveToFile(fileName);
            ADD_FAILURE() << "saved";
        } catch (const platform::Exception& refused) {
            EXPECT_EQ(refused.Message(), "Неверное значение свойства Password");
        }
        EXPECT_EQ(report.ReportOptions().Password, password);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before) << "the old file stays whole";
        file.close();
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("r.zi3")}) << "nothing beside it";
}

struct PasswordCase {
    const char* Name;
    const char* Hidden;
    std::vector<std::optional<QString>> Answers; // none: no prompt service
    bool HasPrompt;
    bool Opens;
    int Prompts;
};

void PrintTo(const PasswordCase& c, std::ostream* out)
{
    *out << c.Name;
}

class PasswordFlows : public testing::TestWithParam<PasswordCase> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(PasswordFlows, OnTheFakePrompt)
{
    const PasswordCase& c = GetParam();
    FixedReportClock clock;
    std::unique_ptr<TrpReport> built = BuildMinimalReport();
    built->ReportOptions().Password = QStringLiteral("Secret");
    const QByteArray saved = SaveReport(*built);

    std::optional<FakeServices> services;
    if (c.HasPrompt) {
        services.emplace();
        services->PasswordAnswers = c.Answers;
    }
    RecordingReportUi ui;
    TrpReport report;
    report.ReportOptions().HiddenPassword = QString::fromUtf8(c.Hidden);
    Load(report, saved);
    EXPECT_EQ(report.PagesCount() > 0, c.Opens);
    EXPECT_EQ(services ? services->PasswordPrompts : 0, c.Prompts);
    if (c.Opens) {
        EXPECT_TRUE(report.Errors().isEmpty());
        EXPECT_TRUE(ui.Messages.isEmpty());
    } else {
        EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("Invalid password")});
        ASSERT_EQ(ui.Messages.size(), 1);
        EXPECT_EQ(ui.Messages[0], "Ошибка: Были обнаружены следующие ошибки:\r\nInvalid password");
    }
}

const PasswordCase kPasswordCases[] = {
    {"right_entry", "", {QStringLiteral("Secret")}, true, true, 1},
    {"wrong_letter_case", "", {QStringLiteral("secret")}, true, false, 1},
    {"cancelled", "", {std::nullopt}, true, false, 1},
    {"hidden_password", "Secret", {}, true, true, 0},
    {"headless_without_a_prompt", "", {}, false, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, PasswordFlows, testing::ValuesIn(kPasswordCases),
                         [](const testing::TestParamInfo<PasswordCase>& info) { return std::string(info.param.Name); });

TEST_F(ReportDocumentTest, APasswordEnteredOnceIsNotAskedAgainUntilClear)
{
    FixedReportClock clock;
    std::unique_ptr<TrpReport> built = BuildMinimalReport();
    built->ReportOptions().Password = QStringLiteral("Secret");
    const QByteArray saved = SaveReport(*built);
    FakeServices services;
    services.PasswordAnswers = {QStringLiteral("Secret"), QStringLiteral("Secret")};
    TrpReport report;
    Load(report, saved);
    Load(report, saved);
    EXPECT_EQ(services.PasswordPrompts, 1);
    report.Clear();
    Load(report, saved);
    EXPECT_EQ(services.PasswordPrompts, 2);
    report.Reloading = true;
    report.Clear();
    Load(report, saved);
    EXPECT_EQ(services.PasswordPrompts, 2) << "a report reloading itself is not asked";
}

TEST_F(ReportDocumentTest, AWrongPasswordWithReThrowRaisesTheErrorList)
{
    FixedReportClock clock;
    std::unique_ptr<TrpReport> built = BuildMinimalReport();
    built->ReportOptions().Password = QStringLiteral("Secret");
    const QByteArray saved = SaveReport(*built);
    TrpReport report;
    report.EngineOptions().NewSilentMode = simReThrow;
    try {
        Load(report, saved);
        ADD_FAILURE() << "no exception";
    } catch (const EReportError& raised) {
        EXPECT_EQ(QString::fromStdString(raised.Message()), "Были обнаружены следующие ошибки:\r\nInvalid password");
    }
}

// --- errors

TEST_F(ReportDocumentTest, ErrorsAreSortedAndReportedOnce)
{
    RecordingReportUi ui;
    TrpReport report;
    Load(report, kHeader +
                     "<TrpReport>\r\n"
                     "  <TrpReportPage Name=\"Page1\">\r\n"
                     "    <TrpNoSuchBand Name=\"B1\"/>\r\n"
                     "    <TrpNoSuchBand Name=\"B2\"/>\r\n"
                     "    <TrpMasterData Name=\"M1\" RowCount=\"-1\"/>\r\n"
                     "  </TrpReportPage>\r\n"
                     "</TrpReport>\r\n");
    EXPECT_EQ(report.Errors(), (QStringList{QStringLiteral("Не удалось найти класс TrpNoSuchBand"),
                                            QStringLiteral("Неверное значение свойства RowCount=\"-1\"")}));
    ASSERT_EQ(ui.Messages.size(), 1);
    EXPECT_EQ(ui.Messages[0], QStringLiteral("Ошибка: Были обнаружены следующие ошибки:\r\n") + report.Errors().join(QStringLiteral("\r\n")));
    EXPECT_TRUE(report.StreamLoaded()) << "errors of attributes leave the load whole";
}

TEST_F(ReportDocumentTest, AFailedLoadLeavesTheDataPageAndIsNotLoaded)
{
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    Load(report, "not a report");
    EXPECT_FALSE(report.StreamLoaded());
    EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("Invalid file format")});
    ASSERT_EQ(report.PagesCount(), 1);
    EXPECT_EQ(report.Pages(0)->Name(), "Data");
}

TEST_F(ReportDocumentTest, HandleReportErrorFollowsNewSilentMode)
{
    RecordingReportUi ui;
    TrpReport report;
    HandleReportError(report, QStringLiteral("shown"));
    report.EngineOptions().SetSilentMode(true);
    HandleReportError(report, QStringLiteral("kept"));
    report.EngineOptions().NewSilentMode = simReThrow;
    EXPECT_THROW(HandleReportError(report, QStringLiteral("raised")), EReportError);
    EXPECT_EQ(ui.Messages, QStringList{QStringLiteral("Ошибка: shown")});
    EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("kept")});
}

TEST_F(ReportDocumentTest, SilentReportErrorsJoinTheErrorListOnce)
{
    RecordingReportUi ui;
    TrpReport report;
    report.EngineOptions().SetSilentMode(true);
    report.AddError(QStringLiteral("first"));
    report.AddError(QStringLiteral("second"));
    // The report's own list under its heading is there already.
    HandleReportError(report, GetResourcesInstance().Get(u"clErrors") + QStringLiteral("\r\nfirst\r\nsecond"));
    EXPECT_EQ(report.Errors(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    // A message of its own joins it, once.
    HandleReportError(report, QStringLiteral("Cannot write /x/r.html"));
    HandleReportError(report, QStringLiteral("Cannot write /x/r.html"));
    EXPECT_EQ(report.Errors(), (QStringList{QStringLiteral("Cannot write /x/r.html"), QStringLiteral("first"),
                                            QStringLiteral("second")}));
    EXPECT_TRUE(ui.Messages.isEmpty());
}

TEST_F(ReportDocumentTest, AMissingFile)
{
    TrpReport report;
    new TrpReportPage(&report);
    report.SetFileName(QStringLiteral("old.zi3"));
    EXPECT_FALSE(report.LoadFromFile(QStringLiteral("/nonexistent/x.zi3"), false));
    EXPECT_EQ(report.PagesCount(), 0);
    EXPECT_EQ(report.FileName(), "");
    EXPECT_THROW(report.LoadFromFile(QStringLiteral("/nonexistent/x.zi3")), platform::Exception);
}

// --- data sets

TEST_F(ReportDocumentTest, DataSetAndFieldOfAComplexName)
{
    TrpReport report;
    TrpUserDataSet dataSet;
    dataSet.SetUserName(QStringLiteral("Data"));
    report.DataSets().Add(&dataSet);
    struct Case {
        const char* Text;
        bool Found;
        const char* Field;
    };
    const Case cases[] = {{"Data.\"Value\"", true, "Value"},
                          {"data.\"Value\"", true, "Value"},
                          {"Data.Value", false, ""},
                          {"Other.\"Value\"", false, "Value"},
                          {"Data.\"A.\"\"B\"", true, "A.\"\"B"}};
    for (const Case& c : cases) {
        TrpDataSet* found = nullptr;
        QString field;
        report.GetDatasetAndField(QString::fromUtf8(c.Text), found, field);
        EXPECT_EQ(found == &dataSet, c.Found) << c.Text;
        EXPECT_EQ(field, QString::fromUtf8(c.Field)) << c.Text;
    }
    EXPECT_EQ(report.GetAlias(&dataSet), "Data");
    TrpUserDataSet outside;
    outside.SetUserName(QStringLiteral("Outside"));
    EXPECT_EQ(report.GetAlias(&outside), "(компонент не включен в Report.DataSets)");
    EXPECT_EQ(report.GetAlias(nullptr), "");
    QStringList names;
    std::vector<TrpDataSet*> sets;
    report.GetDataSetList(names, sets);
    EXPECT_EQ(names, QStringList{QStringLiteral("Data")});
    report.GetDataSetList(names, sets, true);
    EXPECT_TRUE(names.isEmpty()) << "user data sets left out";
}

TEST_F(ReportDocumentTest, TheDataSetListIsStoredByNameAndBoundWhenTheDataSetExists)
{
    FixedReportClock clock;
    TrpReport report;
    TrpUserDataSet days;
    days.SetUserName(QStringLiteral("Days"));
    report.DataSets().Add(&days);
    const QByteArray saved = SaveReport(report);
    TrpReport again;
    Load(again, saved);
    ASSERT_EQ(again.DataSets().Count(), 1);
    EXPECT_EQ(again.DataSets().Items(0)->DataSet(), &days) << "found in the process-wide list";
    {
        TrpReport alone;
        {
            TrpUserDataSet gone;
            gone.SetUserName(QStringLiteral("Gone"));
            alone.DataSets().Add(&gone);
            const QByteArray bytes = SaveReport(alone);
            TrpReport later;
            Load(later, bytes);
            EXPECT_EQ(later.DataSets().Count(), 1);
        }
    }
}

// --- templates

class TemplateTest : public ReportDocumentTest {
protected:
    void SetUp() override
    {
        ReportDocumentTest::SetUp();
        ASSERT_TRUE(folder_.isValid());
    }
    QString Path(const char* name) const { return folder_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir folder_;
    FixedReportClock clock_;
};

TEST_F(TemplateTest, AReportStoresOnlyItsDifferencesFromItsTemplate)
{
    std::unique_ptr<TrpReport> base = BuildMinimalReport();
    auto* band = new TrpReportTitle(base->Pages(1));
    band->SetName(QStringLiteral("Title"));
    auto* memo = AddMemo(band, QStringLiteral("Caption"), 0, 0, 100, 20, QStringLiteral("Заголовок"));
    memo->Color = 0x00FF00;
    base->SaveToFile(Path("base.zi3"));

    TrpReport report;
    report.SetFileName(Path("child.zi3"));
    report.SetParentReport(QStringLiteral("base.zi3"));
    ASSERT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'|').toStdString();
    auto* caption = dynamic_cast<TrpMemoView*>(report.FindObject(u"Caption"));
    ASSERT_NE(caption, nullptr);
    EXPECT_TRUE(caption->IsAncestor());
    caption->SetText(QStringLiteral("Свой заголовок"));
    auto* own = AddMemo(dynamic_cast<TrpBand*>(report.FindObject(u"Title")), QStringLiteral("Own"), 0, 20, 100, 20,
                        QStringLiteral("Своё"));
    EXPECT_FALSE(own->IsAncestor());
    report.SaveToFile(Path("child.zi3"));
    QFile file(Path("child.zi3"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("<inherited Name=\"Caption\" Text=\"Свой заголовок\"/>")) << text.toStdString();
    EXPECT_FALSE(text.contains("Color=\"65280\"")) << "what the template holds is not repeated";
    EXPECT_TRUE(text.contains("<TrpMemoView Name=\"Own\""));

    TrpReport loaded;
    loaded.EngineOptions().NewSilentMode = simReThrow;
    ASSERT_TRUE(loaded.LoadFromFile(Path("child.zi3")));
    auto* loadedCaption = dynamic_cast<TrpMemoView*>(loaded.FindObject(u"Caption"));
    ASSERT_NE(loadedCaption, nullptr);
    EXPECT_EQ(loadedCaption->Text(), "Свой заголовок\r\n");
    EXPECT_EQ(loadedCaption->Color, 0x00FF00) << "from the template";
    EXPECT_NE(loaded.FindObject(u"Own"), nullptr);
    EXPECT_EQ(loaded.ParentReport(), "base.zi3");
    loaded.SetParentReport(QString());
    EXPECT_FALSE(loadedCaption->IsAncestor());
}

TEST_F(TemplateTest, AMissingTemplateIsNotApplied)
{
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    report.SetFileName(Path("r.zi3"));
    report.SetParentReport(QStringLiteral("nowhere.zi3"));
    EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("Не найден шаблон отчета nowhere.zi3; шаблон не применен")});
    EXPECT_FALSE(page->IsAncestor());
    EXPECT_EQ(report.PagesCount(), 1);
    EXPECT_EQ(report.ParentReport(), "nowhere.zi3") << "the name is kept for the file";
}

TEST_F(TemplateTest, ATemplateOfATemplateIsComparedWhole)
{
    // base <- middle <- child: the child's file holds only what differs from the middle as it
    // stands with everything it takes from the base.
    std::unique_ptr<TrpReport> base = BuildMinimalReport();
    auto* band = new TrpReportTitle(base->Pages(1));
    band->SetName(QStringLiteral("Title"));
    AddMemo(band, QStringLiteral("Caption"), 0, 0, 100, 20, QStringLiteral("База"))->Color = 0x00FF00;
    base->SaveToFile(Path("base.zi3"));

    TrpReport middle;
    middle.SetFileName(Path("middle.zi3"));
    middle.SetParentReport(QStringLiteral("base.zi3"));
    dynamic_cast<TrpMemoView*>(middle.FindObject(u"Caption"))->SetText(QStringLiteral("Середина"));
    AddMemo(dynamic_cast<TrpBand*>(middle.FindObject(u"Title")), QStringLiteral("Mid"), 0, 20, 100, 20,
            QStringLiteral("М"))->Color = 0xFF;
    middle.SaveToFile(Path("middle.zi3"));

    TrpReport child;
    child.SetFileName(Path("child.zi3"));
    child.SetParentReport(QStringLiteral("middle.zi3"));
    ASSERT_TRUE(child.Errors().isEmpty()) << child.Errors().join(u'|').toStdString();
    for (const char16_t* name : {u"Caption", u"Mid", u"Title"}) {
        ASSERT_NE(child.FindObject(name), nullptr);
        EXPECT_TRUE(child.FindObject(name)->IsAncestor());
    }
    AddMemo(dynamic_cast<TrpBand*>(child.FindObject(u"Title")), QStringLiteral("Own"), 0, 40, 100, 20,
            QStringLiteral("Своё"));
    child.SaveToFile(Path("child.zi3"));
    QFile file(Path("child.zi3"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    for (const char* repeated : {"Середина", "База", "Color=\"65280\"", "Color=\"255\""})
        EXPECT_FALSE(text.contains(repeated)) << repeated << " is the templates' own:\n" << text.toStdString();
    EXPECT_TRUE(text.contains("<TrpMemoView Name=\"Own\"")) << text.toStdString();

    TrpReport loaded;
    loaded.EngineOptions().NewSilentMode = simReThrow;
    ASSERT_TRUE(loaded.LoadFromFile(Path("child.zi3")));
    auto* caption = dynamic_cast<TrpMemoView*>(loaded.FindObject(u"Caption"));
    auto* mid = dynamic_cast<TrpMemoView*>(loaded.FindObject(u"Mid"));
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(mid, nullptr);
    EXPECT_EQ(caption->Text(), "Середина\r\n");
    EXPECT_EQ(caption->Color, 0x00FF00);
    EXPECT_EQ(mid->Color, 0xFF);
    EXPECT_NE(loaded.FindObject(u"Own"), nullptr);
}

TEST_F(TemplateTest, TemplatesNestedTooDeeplyStop)
{
    // t0 <- t1 <- ... <- t20: each names the one before it.
    for (int i = 0; i <= 20; ++i) {
        TrpReport level;
        level.CheckDataPage();
        auto* page = new TrpReportPage(&level);
        page->SetName(QStringLiteral("Page%1").arg(i));
        QFile file(Path("t") + QString::number(i) + QStringLiteral(".zi3"));
        QByteArray bytes = SaveReport(level);
        if (i > 0)
            bytes.replace("<TrpReport ", "<TrpReport ParentReport=\"t" + QByteArray::number(i - 1) + ".zi3\" ");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.LoadFromFile(Path("t20.zi3"));
    ASSERT_FALSE(report.Errors().isEmpty());
    EXPECT_TRUE(report.Errors()[0].startsWith(QStringLiteral("Слишком много вложенных шаблонов отчета у t"))) << report.Errors()[0].toStdString();
    EXPECT_NE(report.FindObject(u"Page20"), nullptr);
}

// A chain of templates is read once each, however deep: reading one level must not apply the
// levels below it again (2^depth loads once made a chain of 16 take minutes).
TEST_F(TemplateTest, EachTemplateOfAChainIsLoadedOnce)
{
    for (int i = 0; i <= 8; ++i) {
        TrpReport level;
        level.CheckDataPage();
        auto* page = new TrpReportPage(&level);
        page->SetName(QStringLiteral("Page%1").arg(i));
        QFile file(Path("c") + QString::number(i) + QStringLiteral(".zi3"));
        QByteArray bytes = SaveReport(level);
        if (i > 0)
            bytes.replace("<TrpReport ", "<TrpReport ParentReport=\"c" + QByteArray::number(i - 1) + ".zi3\" ");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    std::map<QString, int> loads;
    TrpReport report;
    report.OnLoadTemplate = [&](TrpReport& into, const QString& name) {
        ++loads[name];
        QFile file(folder_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        into.Clear();
        into.TrpComponent::LoadFromStream(file);
    };
    report.EngineOptions().NewSilentMode = simSilent;
    report.LoadFromFile(Path("c8.zi3"));
    EXPECT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'|').toStdString();
    for (int i = 0; i <= 8; ++i)
        EXPECT_NE(report.FindObject(QStringLiteral("Page%1").arg(i)), nullptr) << i;
    std::map<QString, int> once;
    for (int i = 0; i < 8; ++i)
        once[QStringLiteral("c%1.zi3").arg(i)] = 1;
    EXPECT_EQ(loads, once);
}

TEST_F(TemplateTest, InheritingMergesTheReportIntoTheTemplate)
{
    std::unique_ptr<TrpReport> base = BuildMinimalReport();
    base->ScriptText();
    base->SetScriptText({QStringLiteral("begin"), QStringLiteral("  Base;"), QStringLiteral("end.")});
    auto* baseTitle = new TrpReportTitle(base->Pages(1));
    baseTitle->SetName(QStringLiteral("Title"));
    AddMemo(baseTitle, QStringLiteral("Shared"), 0, 0, 100, 20, QStringLiteral("из шаблона"));
    base->SaveToFile(Path("base.zi3"));

    struct Case {
        TrpInheritMode Mode;
        int Answer;      // of the conflict dialog (imDefault)
        bool DeleteChosen;
        bool Changed;
        const char* SharedText;
        bool RenamedCopy;
    };
    const Case cases[] = {
        {imDelete, mrNone, true, true, "из шаблона\r\n", false},
        {imRename, mrNone, true, true, "из шаблона\r\n", true},
        {imDefault, mrCancel, true, false, "свой\r\n", false},
        {imDefault, mrOk, true, true, "из шаблона\r\n", false},
        {imDefault, mrOk, false, true, "из шаблона\r\n", true},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.InheritAnswer = c.Answer;
        services.InheritDelete = c.DeleteChosen;
        std::unique_ptr<TrpReport> report = BuildMinimalReport();
        report->SetFileName(Path("own.zi3"));
        auto* title = new TrpReportTitle(report->Pages(1));
        title->SetName(QStringLiteral("OwnTitle"));
        AddMemo(title, QStringLiteral("Shared"), 0, 0, 100, 20, QStringLiteral("свой"));
        AddMemo(title, QStringLiteral("Mine"), 0, 20, 100, 20, QStringLiteral("только свой"));
        EXPECT_EQ(report->InheritFromTemplate(Path("base.zi3"), c.Mode), c.Changed) << c.Mode << " " << c.Answer;
        auto* shared = dynamic_cast<TrpMemoView*>(report->FindObject(u"Shared"));
        ASSERT_NE(shared, nullptr);
        EXPECT_EQ(shared->Text(), QString::fromUtf8(c.SharedText));
        EXPECT_NE(report->FindObject(u"Mine"), nullptr);
        bool copy = false;
        for (TrpComponent* object : report->AllObjects()) {
            auto* memo = dynamic_cast<TrpMemoView*>(object);
            copy = copy || (memo != nullptr && memo != shared && memo->Text() == QStringLiteral("свой\r\n"));
        }
        EXPECT_EQ(copy, c.RenamedCopy) << c.Mode;
        if (c.Changed) {
            EXPECT_EQ(report->ParentReport(), "base.zi3");
            EXPECT_EQ(report->ScriptText().join(u'|'),
                      "begin|  Base;|end.|{|**********Script from parent report**********|begin||end.|}");
        }
    }
    TrpReport same;
    same.SetFileName(Path("base.zi3"));
    EXPECT_FALSE(same.InheritFromTemplate(Path("base.zi3")));
}

// --- the designer's undo: a page's or a report's objects without defaults, and back

TEST_F(ReportDocumentTest, ADetachedPageSavesItsObjectsAndLoadsThemBack)
{
    FixedReportClock clock;
    std::unique_ptr<TrpReport> report = BuildDeviceLikeReport();
    TrpComponent* page = report->FindObject(u"Page1");
    ASSERT_NE(page, nullptr);
    std::unique_ptr<TrpComponent> detached = page->Detach();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    detached->SaveToStream(buffer, true, false);
    const QByteArray saved = buffer.data();
    EXPECT_TRUE(saved.contains("<TrpReportPage Orientation=\"poLandscape\""));

    TrpReportPage restored;
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    restored.LoadFromStream(buffer);
    EXPECT_TRUE(restored.LoadErrors().isEmpty()) << restored.LoadErrors().join(u'|').toStdString();
    EXPECT_EQ(restored.AllObjects().size(), detached->AllObjects().size());
    auto* memo = dynamic_cast<TrpMemoView*>(restored.FindObject(u"DataMemo2"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->HAlign, haRight);
    EXPECT_EQ(memo->StretchMode, smActualHeight);
    QBuffer again;
    again.open(QIODevice::WriteOnly);
    restored.SaveToStream(again, true, false);
    EXPECT_EQ(again.data(), saved);
}

TEST_F(ReportDocumentTest, APictureViewCanStoreItsCacheIndexForTheUndo)
{
    TrpReport report;
    auto* band = new TrpReportTitle(new TrpReportPage(&report));
    auto* picture = new TrpPictureView(band);
    picture->SetName(QStringLiteral("Picture1"));
    picture->Picture().SetData(QStringLiteral("BMP"), QByteArray(4000, 'x'));
    picture->IsPictureStored = false;
    picture->IsImageIndexStored = true;
    picture->ImageIndex = 3;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer, true, false);
    EXPECT_LT(buffer.data().size(), 4000) << "the picture's bytes stay in the cache";
    EXPECT_TRUE(buffer.data().contains("ImageIndex=\"3\""));
}

// --- the settings of the report windows

TEST_F(ReportDocumentTest, SettingsUnderTheRegistryKeyOfTheReport)
{
    TrpReport report;
    {
        std::unique_ptr<TrpIniFile> settings = report.GetIniFile();
        EXPECT_FALSE(settings->SectionExists(QStringLiteral("Fonts")));
        settings->WriteString(QStringLiteral("Fonts"), QStringLiteral("Recent"), QStringLiteral("Arial,Tahoma"));
        settings->WriteInteger(QStringLiteral("Fonts"), QStringLiteral("Count"), 2);
        settings->WriteBool(QStringLiteral("Preview"), QStringLiteral("Outline"), true);
        settings->WriteFloat(QStringLiteral("Preview"), QStringLiteral("Zoom"), 1.25);
    }
    // The section is a key below the report's one, in the program's settings.
    const platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    EXPECT_EQ(store.ReadString("\\Software\\Zuvo Dideziz\\Fonts", "Recent", ""), "Arial,Tahoma");
    EXPECT_EQ(store.ReadInteger("\\Software\\Zuvo Dideziz\\Fonts", "Count", 0), 2);
    std::unique_ptr<TrpIniFile> settings = report.GetIniFile();
    EXPECT_TRUE(settings->SectionExists(QStringLiteral("Fonts")));
    EXPECT_TRUE(settings->ValueExists(QStringLiteral("Fonts"), QStringLiteral("Count")));
    EXPECT_EQ(settings->ReadInteger(QStringLiteral("Fonts"), QStringLiteral("Recent"), -1), -1) << "a text is no integer";
    EXPECT_TRUE(settings->ReadBool(QStringLiteral("Preview"), QStringLiteral("Outline"), false));
    EXPECT_EQ(settings->ReadFloat(QStringLiteral("Preview"), QStringLiteral("Zoom"), 0), 1.25);
    EXPECT_EQ(settings->ReadString(QStringLiteral("Nope"), QStringLiteral("X"), QStringLiteral("fallback")), "fallback");
    settings->DeleteKey(QStringLiteral("Fonts"), QStringLiteral("Count"));
    EXPECT_FALSE(settings->ValueExists(QStringLiteral("Fonts"), QStringLiteral("Count")));
    settings->EraseSection(QStringLiteral("Fonts"));
    EXPECT_FALSE(settings->SectionExists(QStringLiteral("Fonts")));
    EXPECT_TRUE(settings->SectionExists(QStringLiteral("Preview")));
}

TEST_F(ReportDocumentTest, SettingsInAnIniFileAreWrittenWhenReleased)
{
    QTemporaryDir folder;
    TrpReport report;
    report.IniFile = folder.filePath(QStringLiteral("report.ini"));
    {
        std::unique_ptr<TrpIniFile> settings = report.GetIniFile();
        settings->WriteString(QStringLiteral("Fonts"), QStringLiteral("Recent"), QStringLiteral("Arial"));
        settings->WriteFloat(QStringLiteral("Preview"), QStringLiteral("Zoom"), 0.5);
        settings->WriteBool(QStringLiteral("Preview"), QStringLiteral("Outline"), false);
        EXPECT_FALSE(QFile::exists(report.IniFile)) << "nothing is written before the release";
    }
    QFile file(report.IniFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "[Fonts]\r\nRecent=Arial\r\n\r\n[Preview]\r\nZoom=0.5\r\nOutline=0\r\n");
    std::unique_ptr<TrpIniFile> settings = report.GetIniFile();
    EXPECT_EQ(settings->ReadString(QStringLiteral("fonts"), QStringLiteral("RECENT"), QString()), "Arial");
    EXPECT_EQ(settings->ReadFloat(QStringLiteral("Preview"), QStringLiteral("Zoom"), 0), 0.5);
    EXPECT_FALSE(settings->ReadBool(QStringLiteral("Preview"), QStringLiteral("Outline"), true));
    settings->EraseSection(QStringLiteral("Fonts"));
    EXPECT_FALSE(settings->SectionExists(QStringLiteral("Fonts")));
}

// --- the services the report reaches

TEST_F(ReportDocumentTest, TheEngineAndStoreComeFromTheServicesEachHandedTheOther)
{
    FakeServices services;
    TrpReport report;
    ASSERT_NE(services.LastEngine, nullptr);
    ASSERT_NE(services.LastStore, nullptr);
    EXPECT_EQ(report.Engine(), services.LastEngine);
    EXPECT_EQ(report.PreviewPages(), services.LastStore);
    EXPECT_EQ(services.LastEngine->PreviewPages(), services.LastStore);
    EXPECT_EQ(services.LastStore->Engine(), services.LastEngine);
    auto* page = new TrpReportPage(&report);
    auto* band = new TrpReportTitle(page);
    band->SetName(QStringLiteral("Title"));
    report.Engine()->ShowBandByName(QStringLiteral("title"));
    report.Engine()->ShowBandByName(QStringLiteral("Nope"));
    EXPECT_EQ(services.LastEngine->Calls, QStringList{QStringLiteral("ShowBand Title")});
    report.Engine()->StopReport();
    EXPECT_TRUE(report.Terminated());
    report.EngineOptions().DoublePass = true;
    EXPECT_TRUE(report.Engine()->DoublePass());
}

TEST_F(ReportDocumentTest, SelectPrinterAsksForThePrinterOfThePrintOptions)
{
    FakeServices services;
    TrpReport report;
    report.PrintOptions().Printer = QStringLiteral("Laser");
    report.SelectPrinter();
    EXPECT_EQ(services.PrintersSelected, QStringList{QStringLiteral("Laser")});
}

class TestDesigner : public TrpCustomDesigner {
public:
    using TrpCustomDesigner::TrpCustomDesigner;
    QStringList Code() override { return {}; }
    QString InsertExpression(const QString& expression) override { return expression; }
    void Lock() override {}
    void ReloadPages(int32_t) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override { ++DataTreeUpdates; }
    void UpdatePage() override {}
    int DataTreeUpdates = 0;
};

TEST_F(ReportDocumentTest, TheDesignersModifiedFlag)
{
    TrpReport report;
    auto designer = std::make_unique<TestDesigner>(&report, false);
    report.SetDesigner(designer.get());
    designer->SetModified(false);
    EXPECT_FALSE(report.Modified());
    designer->SetModified(true);
    EXPECT_TRUE(report.Modified());
    designer->SetModified(false);
    EXPECT_TRUE(report.Modified()) << "false leaves the report's flag";
    {
        TrpUserDataSet dataSet;
        report.DataSets().Add(&dataSet);
    }
    EXPECT_EQ(designer->DataTreeUpdates, 1) << "a data set that goes refreshes the data tree";
    designer.reset();
    EXPECT_EQ(report.Designer(), nullptr);
}

TEST_F(ReportDocumentTest, StylesSetOnTheReportAreAppliedToItsMemos)
{
    TrpReport report;
    auto* band = new TrpReportTitle(new TrpReportPage(&report));
    TrpMemoView* styled = AddMemo(band, QStringLiteral("Styled"), 0, 0, 10, 10, QString());
    TrpMemoView* lost = AddMemo(band, QStringLiteral("Lost"), 0, 0, 10, 10, QString());
    styled->SetStyle(QStringLiteral("Red"));
    lost->SetStyle(QStringLiteral("Gone"));
    TrpStyles styles;
    TrpStyleItem* red = styles.Add();
    red->SetName(QStringLiteral("red"));
    red->Color = clRed;
    red->Frame().Typ = 5;
    report.SetStyles(&styles);
    EXPECT_EQ(styled->Color, clRed);
    EXPECT_EQ(styled->Frame().Typ, 5u);
    EXPECT_EQ(lost->Style(), "") << "a style the set does not have is dropped";
    report.SetStyles(nullptr);
    EXPECT_EQ(report.Styles().Count(), 0);
}

} // namespace
