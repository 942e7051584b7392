// Report files: the fixtures are reports built in code and saved; each loads and saves back to
// its own bytes, in-process and through rptool, and an independent XML reader (Python's
// xml.etree) reads it. Hostile files give an error line each and never crash or hang.
//
// DAX_WRITE_REPORT_FIXTURES=1 writes the fixtures again instead of comparing them.

#include "ReportFakes.h"
#include "ReportFixtures.h"
#include "Subprocess.h"

#include "report/model/rpRes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
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
