// Runs every Pascal script case under Free Pascal, the independent reference for the
// language and its run-time library, and requires the output that the case's .out file holds
// (which scriptrun must print too). A case that differs from Free Pascal by design says so in
// its first line ("// By design: ...") and is checked against its .out file only.
//
// The cases are compiled in Object Pascal mode with a prelude that gives them exactly the
// script's environment: the units SysUtils, Variants, DateUtils, Math and StrUtils, the
// format settings of the C set, ShowMessage printing a line, and ExceptionClassName and
// ExceptionMessage naming the exception being handled.

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const kPreludeUnit = R"(unit daxprelude;
{$mode objfpc}{$H+}
interface
uses SysUtils, Variants;
procedure ShowMessage(const Msg: Variant);
function ExceptionClassName: string;
function ExceptionMessage: string;
implementation
procedure ShowMessage(const Msg: Variant);
begin
  writeln(VarToStr(Msg));
end;
function ExceptionClassName: string;
begin
  if ExceptObject <> nil then Result := ExceptObject.ClassName else Result := '';
end;
function ExceptionMessage: string;
begin
  if ExceptObject is Exception then Result := Exception(ExceptObject).Message else Result := '';
end;
initialization
  DefaultFormatSettings.DecimalSeparator := '.';
  DefaultFormatSettings.ThousandSeparator := ',';
  DefaultFormatSettings.DateSeparator := '-';
  DefaultFormatSettings.TimeSeparator := ':';
  DefaultFormatSettings.ShortDateFormat := 'yyyy-mm-dd';
  DefaultFormatSettings.LongDateFormat := 'yyyy-mm-dd';
  DefaultFormatSettings.ShortTimeFormat := 'hh:nn';
  DefaultFormatSettings.LongTimeFormat := 'hh:nn:ss';
  DefaultFormatSettings.TimeAMString := 'AM';
  DefaultFormatSettings.TimePMString := 'PM';
  DefaultFormatSettings.CurrencyString := '$';
  DefaultFormatSettings.CurrencyFormat := 0;
  DefaultFormatSettings.NegCurrFormat := 0;
  DefaultFormatSettings.CurrencyDecimals := 2;
end.
)";

const char* const kProgramHead = "uses SysUtils, Classes, Variants, DateUtils, Math, StrUtils, daxprelude;\n";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> PascalCases()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(DAX_SCRIPT_CASES, error)) {
        if (entry.path().extension() == ".pas")
            names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FreePascalCase : public testing::TestWithParam<std::string> {};

TEST_P(FreePascalCase, PrintsTheExpectedOutput)
{
    const fs::path cases(DAX_SCRIPT_CASES);
    const std::string source = ReadFile(cases / (GetParam() + ".pas"));
    const fs::path expectedFile = cases / (GetParam() + ".out");
    ASSERT_TRUE(fs::exists(expectedFile)) << "no " << expectedFile;
    if (source.rfind("// By design:", 0) == 0)
        GTEST_SKIP() << "differs from Free Pascal by design: " << source.substr(0, source.find('\n'));

    const fs::path dir = fs::temp_directory_path() / ("fpccase-" + GetParam() + "-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        std::ofstream(dir / "daxprelude.pas") << kPreludeUnit;
        std::ofstream(dir / "testcase.pas") << kProgramHead << source;
    }
    std::string output;
    const int built = testsupport::RunCommand(
        "cd '" + dir.string() + "' && fpc -Mobjfpc -Sh -O1 -v0 testcase.pas", output);
    std::string ran;
    int status = -1;
    if (built == 0)
        status = testsupport::RunCommand("'" + (dir / "testcase").string() + "'", ran);
    fs::remove_all(dir);
    ASSERT_EQ(built, 0) << "Free Pascal does not compile the case (mark it if that is by design):\n" << output;
    EXPECT_EQ(status, 0) << ran;
    EXPECT_EQ(ran, ReadFile(expectedFile));
}

// The folder may hold no Pascal case yet.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FreePascalCase);

INSTANTIATE_TEST_SUITE_P(Cases, FreePascalCase, testing::ValuesIn(PascalCases()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
