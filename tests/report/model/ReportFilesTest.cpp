// Report files: the fixtures are reports built in code and saved; each loads and saves back to
// its own bytes, in-process and through rptool, and an independent XML reader (Python's
// xml.etree) reads it. Hostile files give an error line each and never crash or hang.
//
// DAX_WRITE_REPORT_FIXTURES=1 writes the fixtures again instead of comparing them.

#include "ReportFakes.h"
#include "ReportFixtures.h"
#include "Subprocess.h"

#include "report/model/rpRes.h"
#include "report/model/rpXMLSerializer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <ostream>

using namespace reporttest;

namespace {

using testsupport::ProgramRun;
using testsupport::RunProgram;

const QString kReports = QStringLiteral(DAX_REPORT_MODEL_DATA "/reports/");
const QString kHostile = QStringLiteral(DAX_REPORT_MODEL_DATA "/hostile/");

QByteArray ReadFile(const QString& fileName)
{
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

struct Fixture {
    const char* File;
    std::function<std::unique_ptr<TrpReport>()> Build;
    const char* Password;
};

void PrintTo(const Fixture& fixture, std::ostream* out)
{
    *out << fixture.File;
}

class ReportFixtures : public testing::TestWithParam<Fixture> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(ReportFixtures, AreTheReportsBuiltInCode)
{
    const Fixture& fixture = GetParam();
    FixedReportClock clock(kFixtureNow);
    std::unique_ptr<TrpReport> report = fixture.Build();
    const QByteArray saved = SaveReport(*report);
    const QString fileName = kReports + QString::fromLatin1(fixture.File);
    if (qEnvironmentVariableIsSet("DAX_WRITE_REPORT_FIXTURES")) {
        QDir().mkpath(kReports);
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(saved);
        return;
    }
    EXPECT_EQ(saved.toStdString(), ReadFile(fileName).toStdString());
}

TEST_P(ReportFixtures, LoadAndSaveToTheSameBytes)
{
    const Fixture& fixture = GetParam();
    const QString fileName = kReports + QString::fromLatin1(fixture.File);
    const QByteArray bytes = ReadFile(fileName);
    TrpReport report;
    report.EngineOptions().NewSilentMode = simReThrow;
    report.ReportOptions().HiddenPassword = QString::fromUtf8(fixture.Password);
    ASSERT_TRUE(report.LoadFromFile(fileName));
    EXPECT_EQ(report.Errors().join(u'|').toStdString(), "");
    EXPECT_TRUE(report.StreamLoaded());
    EXPECT_EQ(report.ReportOptions().Password, QString::fromUtf8(fixture.Password));
    report.EngineOptions().NewSilentMode = simMessageBoxes;
    EXPECT_EQ(SaveReport(report).toStdString(), bytes.toStdString());
}

TEST_P(ReportFixtures, RptoolRoundTripsThem)
{
    const Fixture& fixture = GetParam();
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("r.zi3"));
    const QString in = kReports + QString::fromLatin1(fixture.File);
    const ProgramRun run = RunProgram({DAX_RPTOOL, "report-roundtrip", in.toStdString(), out.toStdString(),
                                       "--password", "secret"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(out), ReadFile(in));
}

TEST_P(ReportFixtures, PythonReadsThem)
{
    const Fixture& fixture = GetParam();
    const QString in = kReports + QString::fromLatin1(fixture.File);
    const ProgramRun run = RunProgram(
        {"python3", "-c",
         "import sys, xml.etree.ElementTree as E\n"
         "root = E.parse(sys.argv[1]).getroot()\n"
         "print(root.tag, root.attrib['Version'], root[0].tag, root[0].attrib['Name'])",
         in.toStdString()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "TrpReport 4.15 TrpDataPage Data\n");
}

const Fixture kFixtures[] = {
    {"minimal.zi3", BuildMinimalReport, ""},
    {"device-like.zi3", BuildDeviceLikeReport, "secret"},
    {"page-objects.zi3", BuildPageObjectsReport, ""},
};

INSTANTIATE_TEST_SUITE_P(Files, ReportFixtures, testing::ValuesIn(kFixtures));

// Every report file in the fixtures' folder, built in code here or by other tests, is kept in
// the form a save gives, so each loads without an error and saves back to its own bytes.
TEST(ReportFiles, EveryFixtureIsInItsSavedForm)
{
    ModelRuntime::init();
    const QStringList files = QDir(kReports).entryList({QStringLiteral("*.zi3")}, QDir::Files, QDir::Name);
    EXPECT_GE(files.size(), 2);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        TrpReport report;
        report.EngineOptions().NewSilentMode = simSilent;
        report.ReportOptions().HiddenPassword = kFixturePassword;
        report.LoadFromFile(kReports + name);
        EXPECT_EQ(report.Errors().join(u'|').toStdString(), "");
        EXPECT_TRUE(report.StreamLoaded());
        report.EngineOptions().NewSilentMode = simMessageBoxes;
        EXPECT_EQ(SaveReport(report).toStdString(), ReadFile(kReports + name).toStdString());
    }
}

TEST(ReportFiles, DeviceLikeFixtureHoldsWhatItWasBuiltWith)
{
    ModelRuntime::init();
    TrpReport report;
    report.EngineOptions().NewSilentMode = simReThrow;
    report.ReportOptions().HiddenPassword = kFixturePassword;
    report.LoadFromFile(kReports + QStringLiteral("device-like.zi3"));
    ASSERT_EQ(report.PagesCount(), 3);
    EXPECT_EQ(report.Pages(0)->Name(), "Data");
    auto* page = dynamic_cast<TrpReportPage*>(report.FindObject(u"Page1"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Orientation(), poLandscape);
    EXPECT_EQ(page->PaperWidth(), 297);
    EXPECT_EQ(page->LeftMargin, 10);
    auto* master = dynamic_cast<TrpMasterData*>(report.FindObject(u"MasterData1"));
    ASSERT_NE(master, nullptr);
    EXPECT_TRUE(master->KeepHeader);
    EXPECT_EQ(master->RowCount(), 0);
    EXPECT_EQ(master->DataSetName(), "DayArchiveDataSet");
    auto* footer = dynamic_cast<TrpPageFooter*>(report.FindObject(u"PageFooter1"));
    ASSERT_NE(footer, nullptr);
    EXPECT_FALSE(footer->PrintOnFirstPage);
    auto* second = dynamic_cast<TrpReportPage*>(report.FindObject(u"Page2"));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->PrintOnPreviousPage);
    auto* summary = dynamic_cast<TrpBand*>(report.FindObject(u"ReportSummary1"));
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->Child(), report.FindObject(u"Child1"));
    int memos = 0;
    for (TrpComponent* object : report.AllObjects()) {
        if (auto* memo = dynamic_cast<TrpMemoView*>(object)) {
            ++memos;
            EXPECT_EQ(memo->Font().Name(), "Arial");
            EXPECT_EQ(memo->Font().Height(), -13);
        }
    }
    EXPECT_GE(memos, 40);
    EXPECT_TRUE(report.EngineOptions().DoublePass);
    QStringList variables;
    report.Variables().GetVariablesList(QStringLiteral("Info"), variables);
    EXPECT_EQ(variables.join(u','), "Model,Serial,Begin,End");
    ASSERT_NE(report.Styles().Find(QStringLiteral("Heading")), nullptr);
    EXPECT_EQ(report.ReportOptions().Password, kFixturePassword);
    // The file holds the password disguised, every character code lowered by 10.
    EXPECT_TRUE(ReadFile(kReports + QStringLiteral("device-like.zi3")).contains("Password=\"i[Yh[j\""));
}

// --- large reports

// A report file of one page whose bands hold `memos` memos named M0, M1, ... in turn.
QByteArray ManyMemos(int bands, int memos)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n"
                      "<TrpReport><TrpDataPage Name=\"Data\"/><TrpReportPage Name=\"Page1\">";
    for (int b = 0; b < bands; ++b) {
        text += "<TrpMasterData Name=\"B" + QByteArray::number(b) + "\">";
        for (int m = b; m < memos; m += bands)
            text += "<TrpMemoView Name=\"M" + QByteArray::number(m) + "\"/>";
        text += "</TrpMasterData>";
    }
    return text + "</TrpReportPage></TrpReport>\n";
}

void LoadBytes(TrpReport& report, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    report.LoadFromStream(buffer);
}

// What FindObject must answer, found the plain way: the first of AllObjects with the name.
TrpComponent* FirstNamed(const TrpComponent& scope, const QString& name)
{
    for (TrpComponent* object : scope.AllObjects()) {
        if (object->Name().compare(name, Qt::CaseInsensitive) == 0)
            return object;
    }
    return nullptr;
}

// The same for every name at once: the first object of AllObjects by case-folded name.
std::map<QString, TrpComponent*> FirstOfEveryName(const TrpComponent& scope)
{
    std::map<QString, TrpComponent*> first;
    for (TrpComponent* object : scope.AllObjects())
        first.emplace(object->Name().toCaseFolded(), object);
    return first;
}

TrpComponent* Lookup(const std::map<QString, TrpComponent*>& names, const QString& name)
{
    const auto found = names.find(name.toCaseFolded());
    return found == names.end() ? nullptr : found->second;
}

TEST(LargeReports, OneObjectOverTheLimitIsRefusedWithItsText)
{
    ModelRuntime::init();
    // The report, its data page, its page and its band count too.
    const QByteArray bytes = ManyMemos(1, kMaxReportObjects + 1 - 4);
    const QString limitText = QStringLiteral("Слишком много объектов в отчете (не более 200000)");
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    LoadBytes(report, bytes);
    EXPECT_EQ(report.Errors(), QStringList{limitText});
    EXPECT_EQ(report.FindObject(u"M0"), nullptr) << "nothing of it is made";

    QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("many.zi3"));
    const QString out = folder.filePath(QStringLiteral("out.zi3"));
    QFile file(in);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const ProgramRun run = RunProgram({DAX_RPTOOL, "report-roundtrip", in.toStdString(), out.toStdString()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, limitText.toStdString() + "\n");
    EXPECT_FALSE(QFile::exists(out));
}

TEST(LargeReports, EveryObjectOfAHundredThousandIsFoundByNameThroughRenamesFreesAndMoves)
{
    ModelRuntime::init();
    constexpr int kMemos = 100000;
    TrpReport report;
    report.EngineOptions().NewSilentMode = simReThrow;
    LoadBytes(report, ManyMemos(10, kMemos));
    ASSERT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'|').toStdString();
    const auto memo = [](int i) { return QStringLiteral("M%1").arg(i); };
    for (int i = 0; i < kMemos; ++i) {
        TrpComponent* found = report.FindObject(memo(i));
        ASSERT_NE(found, nullptr) << i;
        ASSERT_EQ(found->Name(), memo(i));
    }
    EXPECT_EQ(report.FindObject(u"m99999"), report.FindObject(u"M99999")) << "names ignore case";

    // Renames, frees and moves to another band, to nowhere and to another report.
    auto* band0 = dynamic_cast<TrpBand*>(report.FindObject(u"B0"));
    auto* band1 = dynamic_cast<TrpBand*>(report.FindObject(u"B1"));
    ASSERT_NE(band0, nullptr);
    ASSERT_NE(band1, nullptr);
    TrpReport other;
    auto* otherPage = new TrpReportPage(&other);
    std::vector<std::unique_ptr<TrpComponent>> detached;
    for (int i = 0; i < kMemos; i += 7)
        report.FindObject(memo(i))->SetName(QStringLiteral("R%1").arg(i));
    int gone = 0; // freed or taken out of the report
    for (int i = 3; i < kMemos; i += 11) {
        if (TrpComponent* freed = report.FindObject(memo(i))) {
            delete freed;
            ++gone;
        }
    }
    for (int i = 5; i < kMemos; i += 13) {
        if (TrpComponent* moved = report.FindObject(memo(i)))
            moved->SetParent(band0);
    }
    for (int i = 9; i < kMemos; i += 101) {
        if (TrpComponent* moved = report.FindObject(memo(i))) {
            moved->SetParent(otherPage);
            ++gone;
        }
    }
    for (int i = 1; i < kMemos; i += 1009) {
        if (TrpComponent* moved = report.FindObject(memo(i))) {
            detached.push_back(moved->Detach());
            ++gone;
        }
    }
    // A whole band leaves the report and comes back under another page.
    std::unique_ptr<TrpComponent> band1Alone = band1->Detach();
    EXPECT_EQ(report.FindObject(u"M11"), nullptr);
    EXPECT_EQ(band1->FindObject(u"M11"), FirstNamed(*band1, QStringLiteral("M11")));
    band1Alone.release()->SetParent(report.FindObject(u"Page1"));

    const std::map<QString, TrpComponent*> inReport = FirstOfEveryName(report);
    const std::map<QString, TrpComponent*> inOther = FirstOfEveryName(other);
    int found = 0;
    for (int i = 0; i < kMemos; ++i) {
        const QString name = i % 7 == 0 ? QStringLiteral("R%1").arg(i) : memo(i);
        ASSERT_EQ(report.FindObject(name), Lookup(inReport, name)) << i;
        ASSERT_EQ(other.FindObject(name), Lookup(inOther, name)) << i;
        found += report.FindObject(name) != nullptr ? 1 : 0;
        if (i % 7 == 0) {
            ASSERT_EQ(report.FindObject(memo(i)), nullptr) << i;
        }
    }
    EXPECT_GT(gone, kMemos / 12);
    EXPECT_EQ(found, kMemos - gone) << "freed and moved objects are not found";
    for (const auto& alone : detached)
        EXPECT_EQ(report.FindObject(alone->Name()), nullptr);
    // Found from an object inside the tree: only below it.
    EXPECT_EQ(band0->FindObject(u"M5"), FirstNamed(*band0, QStringLiteral("M5")));
    EXPECT_EQ(band0->FindObject(u"M2"), nullptr);
    // The same name twice (moved in from elsewhere): the first in tree order.
    auto* twin = new TrpMemoView(otherPage);
    twin->SetName(QStringLiteral("M2"));
    twin->SetParent(band0);
    EXPECT_EQ(report.FindObject(u"M2"), FirstNamed(report, QStringLiteral("M2")));
    EXPECT_EQ(report.FindObject(u"M2"), twin) << "band B0 comes before band B2";
}

// --- hostile files

struct HostileCase {
    const char* File;
    const char* Error;   // the beginning of the one error line
    bool Template = false; // names a template (which a copy elsewhere would not find)
};

void PrintTo(const HostileCase& c, std::ostream* out)
{
    *out << c.File;
}

class HostileReports : public testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override { ModelRuntime::init(); }
};

TEST_P(HostileReports, GiveAnErrorLineEach)
{
    const HostileCase& c = GetParam();
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.LoadFromFile(kHostile + QString::fromLatin1(c.File));
    ASSERT_EQ(report.Errors().size(), 1) << report.Errors().join(u'|').toStdString();
    EXPECT_TRUE(report.Errors()[0].startsWith(QString::fromUtf8(c.Error))) << report.Errors()[0].toStdString();
    if (c.Template)
        return;
    // What was read stays usable: it saves and loads again.
    const QByteArray saved = SaveReport(report);
    TrpReport again;
    again.EngineOptions().NewSilentMode = simSilent;
    QBuffer buffer;
    buffer.setData(saved);
    buffer.open(QIODevice::ReadOnly);
    again.LoadFromStream(buffer);
    EXPECT_EQ(SaveReport(again), saved);
}

TEST_P(HostileReports, RptoolPrintsTheErrorAndWritesNothing)
{
    const HostileCase& c = GetParam();
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("x.zi3"));
    const ProgramRun run = RunProgram(
        {DAX_RPTOOL, "report-roundtrip", (kHostile + QString::fromLatin1(c.File)).toStdString(), out.toStdString()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind(c.Error, 0), 0u) << run.err;
    EXPECT_FALSE(QFile::exists(out));
}

const HostileCase kHostileCases[] = {
    {"page-in-memo.zi3", "Недопустимое размещение объекта класса TrpReportPage"},
    {"template-self.zi3", "Шаблон отчета template-self.zi3 ссылается на самого себя", true},
    {"template-a.zi3", "Шаблон отчета template-a.zi3 ссылается на самого себя", true},
    {"rowcount-huge.zi3", "Неверное значение свойства RowCount=\"2000000000\""},
    {"columns-negative.zi3", "Неверное значение свойства Columns=\"-5\""},
    {"nan-widths.zi3", "\"nan\" is an invalid float"},
    {"not-xml.zi3", "Invalid file format"},
};

INSTANTIATE_TEST_SUITE_P(Files, HostileReports, testing::ValuesIn(kHostileCases));

} // namespace
