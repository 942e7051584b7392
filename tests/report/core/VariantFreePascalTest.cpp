// Runs the variant table under Free Pascal, the independent reference for the Pascal variant
// rules, and checks that every case not marked as differing gives the same line there.

#include "VariantCases.h"

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace variantcases;

namespace {

const char* const kPrelude = R"(program variantcases;
{$mode objfpc}{$H+}
uses cwstring, SysUtils, Variants;
function KindText(const v: Variant): string;
begin
  case VarType(v) of
    varEmpty: Result := 'Unassigned';
    varNull: Result := 'Null';
    varBoolean: Result := 'Boolean';
    varSmallint, varInteger, varShortInt, varByte, varWord, varLongWord: Result := 'Int32';
    varInt64, varQWord: Result := 'Int64';
    varSingle, varDouble, varCurrency: Result := 'Double';
    varDate: Result := 'DateTime';
    varOleStr, varString, varUString: Result := 'String';
  else
    Result := 'Other';
  end;
end;
procedure Show(const v: Variant);
begin
  writeln(KindText(v), ' ', VarToStr(v));
end;
var
  a, b: Variant;
  i: LongInt;
  i64: Int64;
  d: Double;
  bo: Boolean;
  s: string;
begin
  DefaultFormatSettings.DecimalSeparator := '.';
  DefaultFormatSettings.ThousandSeparator := ',';
  DefaultFormatSettings.ShortDateFormat := 'yyyy-mm-dd';
  DefaultFormatSettings.DateSeparator := '-';
  DefaultFormatSettings.LongTimeFormat := 'hh:nn:ss';
)";

} // namespace

TEST(VariantFreePascal, EveryUnmarkedCaseMatches)
{
    const std::vector<Case> cases = AllCases();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("variantcases-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        std::ofstream source(dir / "variantcases.pas");
        source << kPrelude;
        for (const Case& c : cases) {
            source << "  try " << PascalStatement(c)
                   << " except on E: Exception do writeln(E.ClassName, ': ', E.Message); end;\n";
        }
        source << "end.\n";
    }
    std::string output;
    const int built = testsupport::RunCommand("cd " + dir.string() + " && fpc -Mobjfpc -Sh -O1 variantcases.pas", output);
    ASSERT_EQ(built, 0) << output;
    const int ran = testsupport::RunCommand((dir / "variantcases").string(), output);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(ran, 0) << output;

    std::istringstream lines(output);
    std::string line;
    size_t index = 0;
    while (std::getline(lines, line) && index < cases.size()) {
        const Case& c = cases[index++];
        if (c.differs)
            EXPECT_NE(line, c.expected) << c.name << ": marked as differing (" << c.differs << ") but Free Pascal agrees";
        else
            EXPECT_EQ(line, c.expected) << c.name << ": Free Pascal gives another result";
    }
    EXPECT_EQ(index, cases.size()) << "Free Pascal printed fewer lines than there are cases";
}
