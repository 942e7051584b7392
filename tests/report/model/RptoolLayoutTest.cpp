// rptool layout against golden files: a Russian paragraph in Arial and DejaVu Sans at two
// widths, with and without hyphenation.

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <string>

namespace {

using testsupport::ProgramRun;
using testsupport::RunProgram;

struct GoldenCase {
    const char* Font;
    const char* Size;
    const char* Width;
    bool WordBreak;
    const char* Golden;
};

void PrintTo(const GoldenCase& c, std::ostream* out)
{
    *out << c.Golden;
}

std::string ReadGolden(const char* name)
{
    QFile file(QStringLiteral(DAX_TEXT_DATA_DIR "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll().toStdString();
}

class RptoolLayout : public testing::TestWithParam<GoldenCase> {};

TEST_P(RptoolLayout, PrintsTheGoldenLines)
{
    const GoldenCase& c = GetParam();
    std::vector<std::string> arguments{DAX_RPTOOL, "layout", "--font", c.Font, "--size", c.Size, "--width", c.Width};
    if (c.WordBreak)
        arguments.push_back("--wordbreak");
    arguments.push_back(DAX_TEXT_DATA_DIR "/ru_para.txt");
    const ProgramRun run = RunProgram(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ReadGolden(c.Golden));
}

const GoldenCase kGoldenCases[] = {
    {"Arial", "10", "150", false, "ru_para.arial10.w150.txt"},
    {"Arial", "10", "400", false, "ru_para.arial10.w400.txt"},
    {"Arial", "10", "150", true, "ru_para.arial10.w150.wordbreak.txt"},
    {"DejaVu Sans", "10", "150", false, "ru_para.dejavu10.w150.txt"},
    {"DejaVu Sans", "10", "400", false, "ru_para.dejavu10.w400.txt"},
    {"DejaVu Sans", "10", "150", true, "ru_para.dejavu10.w150.wordbreak.txt"},
};

INSTANTIATE_TEST_SUITE_P(Golden, RptoolLayout, testing::ValuesIn(kGoldenCases));

TEST(RptoolLayoutErrors, UsageAndMissingFile)
{
    const ProgramRun noWidth = RunProgram({DAX_RPTOOL, "layout", "--font", "Arial", "--size", "10", "x.txt"});
    EXPECT_EQ(noWidth.status, 1);
    EXPECT_NE(noWidth.err.find("usage: rptool layout"), std::string::npos);
    const ProgramRun badSize =
        RunProgram({DAX_RPTOOL, "layout", "--font", "Arial", "--size", "0", "--width", "10", "x.txt"});
    EXPECT_EQ(badSize.status, 1);
    EXPECT_NE(badSize.err.find("--size: expected a number from 1 to 1000, got \"0\""), std::string::npos);
    const ProgramRun missing =
        RunProgram({DAX_RPTOOL, "layout", "--font", "Arial", "--size", "10", "--width", "10", "/nonexistent/x.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot open \"/nonexistent/x.txt\""), std::string::npos);
}

} // namespace
