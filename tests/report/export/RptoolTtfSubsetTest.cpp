// rptool ttf-subset as a user runs it: the subset checked by fontTools, and the exit status and
// message of a refused font, a missing file and wrong arguments.

#include "FontTestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace fonttest;

namespace {

testsupport::ProgramRun Rptool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString(), "ttf-subset"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return testsupport::RunProgram(argv);
}

TEST(TrueTypeRptool, SubsetsOfTheReportFontsPassTheChecks)
{
    QTemporaryDir folder;
    const struct {
        std::string font;
        const char* text;
    } cases[] = {
        {kDejaVuSans, "Ёмкость ǖ №12"},
        {kLiberationSans, "Ѐ Часовые данные"},
    };
    for (const auto& c : cases) {
        const std::string out = folder.filePath(QStringLiteral("s.ttf")).toStdString();
        const auto run = Rptool({c.font, c.text, out});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        int status = 0;
        const std::string verdict = RunTool("check_subset.py", {c.font, out, c.text}, status);
        EXPECT_EQ(status, 0) << verdict;
        EXPECT_EQ(verdict.rfind("subset ok", 0), 0u) << verdict;
    }
}

TEST(TrueTypeRptool, FaceOfACollectionByIndex)
{
    const BuiltFonts built({"collection"});
    QTemporaryDir folder;
    const std::string out = folder.filePath(QStringLiteral("bold.ttf")).toStdString();
    const auto run = Rptool({built.Path("two-faces.ttc"), "Часовые", out, "--index", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    int status = 0;
    const std::string verdict = RunTool("check_subset.py", {built.Path("two-faces.ttc"), out, "Часовые", "--index", "1"}, status);
    EXPECT_EQ(status, 0) << verdict;

    const auto missing = Rptool({built.Path("two-faces.ttc"), "a", out + "2", "--index", "2"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "The font file has no face 2 (it holds 2)\n");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(out + "2")));
}

TEST(TrueTypeRptool, RefusedFontsAndWrongArguments)
{
    QTemporaryDir folder;
    const std::string cut = folder.filePath(QStringLiteral("cut.ttf")).toStdString();
    Bytes font = ReadBytes(kDejaVuSans);
    font.resize(3000);
    WriteBytes(cut, font);
    const std::string out = folder.filePath(QStringLiteral("x.ttf")).toStdString();

    const auto refused = Rptool({cut, "abc", out});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "TrueType font format error\n");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(out)));

    const auto absent = Rptool({folder.filePath(QStringLiteral("none.ttf")).toStdString(), "abc", out});
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.err.find("Cannot open file"), std::string::npos) << absent.err;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(out)));

    // Only a regular file is read: a device that never ends is refused at once.
    const auto device = Rptool({"/dev/zero", "abc", out});
    EXPECT_EQ(device.status, 1);
    EXPECT_EQ(device.err, "Cannot open file \"/dev/zero\". Not a regular file\n");

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{cut, "abc"}, {cut, "abc", out, "--index"}, {cut, "abc", out, "--index", "-1"},
          {cut, "abc", out, "--face", "1"}}) {
        const auto usage = Rptool(wrong);
        EXPECT_EQ(usage.status, 1) << usage.err;
        EXPECT_NE(usage.err.find("ttf-subset FONT TEXT OUT [--index N]"), std::string::npos);
    }
}

} // namespace
