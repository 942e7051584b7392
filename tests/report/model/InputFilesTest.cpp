// Files that are no regular files: every report, template, variable, style, string-list,
// resource, ini, picture and script file the report libraries and their tools open by name is
// checked to be a regular file before anything is read, so a pipe nobody writes to and an
// endless device give their error at once instead of hanging the load.

#include "ReportFixtures.h"
#include "Subprocess.h"

#include "report/model/rpClass_ini.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpRes.h"
#include "report/model/rpVariables.h"
#include "report/model/rpWideStrings.h"
#include "report/model/rpXML.h"

#include "platform/Exceptions.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <ostream>
#include <string>

using namespace reporttest;

namespace {

using testsupport::ProgramRun;
using testsupport::RunProgram;

class NotRegularFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ModelRuntime::init();
        ASSERT_TRUE(folder_.isValid());
        for (const char* name : {"pipe", "pipe.zi3", "pipe.pas", "unit.pas"})
            ASSERT_EQ(::mkfifo(Path(name).c_str(), 0600), 0) << name;
    }
    std::string Path(const char* name) const { return folder_.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir folder_;
};

// What the model's loaders raise for such a file.
std::string CannotOpen(const std::string& path)
{
    return "Cannot open file \"" + path + "\". Not a regular file";
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& failure) {
        return failure.Message();
    }
    return "(nothing raised)";
}

TEST_F(NotRegularFiles, AreRefusedByTheModelsLoaders)
{
    for (const std::string& path : {Path("pipe.zi3"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        const QString file = QString::fromStdString(path);
        TrpReport report;
        EXPECT_EQ(ErrorOf([&] { report.LoadFromFile(file); }), CannotOpen(path));
        EXPECT_EQ(ErrorOf([&] { report.Variables().LoadFromFile(file); }), CannotOpen(path));
        EXPECT_EQ(ErrorOf([&] { report.Styles().LoadFromFile(file); }), CannotOpen(path));
        TrpStyleSheet sheet;
        EXPECT_EQ(ErrorOf([&] { sheet.LoadFromFile(file); }), CannotOpen(path));
        TrpWideStrings lines;
        EXPECT_EQ(ErrorOf([&] { lines.LoadFromFile(file); }), CannotOpen(path));
        TrpResources resources;
        EXPECT_EQ(ErrorOf([&] { resources.LoadFromFile(file); }), CannotOpen(path));
        TrpXMLDocument document;
        EXPECT_EQ(ErrorOf([&] { document.LoadFromFile(file); }), CannotOpen(path));
        // An ini file that cannot be read starts empty; a picture that cannot be read shows none.
        EXPECT_EQ(CreateMemIniFile(file)->ReadString(QStringLiteral("S"), QStringLiteral("N"), QStringLiteral("none")),
                  "none");
        TrpPictureView picture;
        picture.FileLink = file;
        picture.GetData();
        EXPECT_TRUE(picture.Picture().IsEmpty());
    }
}

TEST_F(NotRegularFiles, AsATemplateAreNotApplied)
{
    TrpReport report;
    auto* page = new TrpReportPage(&report);
    report.SetFileName(QString::fromStdString(Path("report.zi3")));
    report.SetParentReport(QStringLiteral("pipe.zi3"));
    EXPECT_EQ(report.Errors(), QStringList{QStringLiteral("Не найден шаблон отчета pipe.zi3; шаблон не применен")});
    EXPECT_FALSE(page->IsAncestor());
}

struct ToolCase {
    const char* Name;
    std::vector<std::string> Arguments; // "IN" stands for the file, "OUT" for an output in the folder
    int Status;
    std::string Error;                  // "IN" stands for the file
};

void PrintTo(const ToolCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ToolsOnNotRegularFiles : public NotRegularFiles, public testing::WithParamInterface<ToolCase> {};

std::string Replaced(std::string text, const std::string& what, const std::string& with)
{
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

TEST_P(ToolsOnNotRegularFiles, GiveTheirErrorAtOnce)
{
    const ToolCase& c = GetParam();
    const bool script = c.Arguments[0] == DAX_SCRIPTRUN;
    for (const std::string& in : {Path(script ? "pipe.pas" : "pipe.zi3"), std::string("/dev/zero")}) {
        SCOPED_TRACE(in);
        std::vector<std::string> argv;
        for (const std::string& argument : c.Arguments)
            argv.push_back(argument == "IN" ? in : argument == "OUT" ? Path("out") : argument);
        if (script && in == "/dev/zero")
            argv.insert(argv.begin() + 1, {"--lang", "pas"});
        const ProgramRun run = RunProgram(argv);
        EXPECT_EQ(run.status, c.Status) << run.out << run.err;
        // The error ends what the tool writes (a GUI start may note its platform first).
        const std::string error = Replaced(c.Error, "IN", in);
        EXPECT_TRUE(run.err.size() >= error.size() && run.err.compare(run.err.size() - error.size(), error.size(), error) == 0)
            << run.err;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("out"))));
    }
}

const ToolCase kToolCases[] = {
    {"xml-roundtrip", {DAX_RPTOOL, "xml-roundtrip", "IN", "OUT"}, 1, "Cannot open file \"IN\". Not a regular file\n"},
    {"report-roundtrip", {DAX_RPTOOL, "report-roundtrip", "IN", "OUT"}, 1, "Cannot open file \"IN\". Not a regular file\n"},
    {"eval", {DAX_RPTOOL, "eval", "IN", "1"}, 1, "Cannot open file \"IN\". Not a regular file\n"},
    {"render-design", {DAX_RPTOOL, "render-design", "IN", "--page", "1", "--out", "OUT"}, 1,
     "Cannot open file \"IN\". Not a regular file\n"},
    {"layout", {DAX_RPTOOL, "layout", "--font", "Arial", "--size", "10", "--width", "100", "IN"}, 1,
     "rptool: cannot open \"IN\": Not a regular file\n"},
    {"scriptrun", {DAX_SCRIPTRUN, "IN"}, 1, "scriptrun: cannot read IN: Not a regular file\n"},
};

INSTANTIATE_TEST_SUITE_P(Rptool, ToolsOnNotRegularFiles, testing::ValuesIn(kToolCases));

TEST_F(NotRegularFiles, AsAScriptUnitGiveTheUnitsError)
{
    const std::string main = Path("main.pas");
    QFile file(QString::fromStdString(main));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("uses 'unit.pas';\nbegin end.");
    file.close();
    const ProgramRun run = RunProgram({DAX_SCRIPTRUN, main});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, main + ": Cannot open file \"unit.pas\". Not a regular file\n");
}

} // namespace
