// rptool eval on the variables fixture: values printed on stdout, errors on stderr with
// status 2.

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct EvalCase {
    const char* Expression;
    int Status;
    const char* Out;
    const char* ErrStart;
};

void PrintTo(const EvalCase& c, std::ostream* out)
{
    *out << c.Expression;
}

class RptoolEval : public testing::TestWithParam<EvalCase> {};

TEST_P(RptoolEval, PrintsTheValueOrTheError)
{
    const EvalCase& c = GetParam();
    const testsupport::ProgramRun run = testsupport::RunProgram(
        {DAX_RPTOOL, "eval", std::string(DAX_REPORT_MODEL_DATA) + "/reports/vars.zi3", c.Expression});
    EXPECT_EQ(run.status, c.Status) << run.err;
    EXPECT_EQ(run.out, c.Out);
    EXPECT_EQ(run.err.rfind(c.ErrStart, 0), 0u) << run.err;
}

const EvalCase kEvalCases[] = {
    {"Sum23", 0, "5\n", ""},
    {"Get('Sum23') * 2", 0, "10\n", ""},
    {"IIF(1 > 2, 'a', 'b')", 0, "b\n", ""},
    {"Lines", 0, "2+3\r\nsecond\n", ""},
    {"7 / 2", 0, "3.5\n", ""},
    {"Nope", 2, "", "Ошибка в выражении 'Nope': "},
    {"1 +", 2, "", "Ошибка в выражении '1 +': "},
};

INSTANTIATE_TEST_SUITE_P(Table, RptoolEval, testing::ValuesIn(kEvalCases));

TEST(RptoolEvalUsage, AMissingFileIsAFileError)
{
    const testsupport::ProgramRun run = testsupport::RunProgram({DAX_RPTOOL, "eval", "/nonexistent/x.zi3", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.empty());
}

} // namespace
