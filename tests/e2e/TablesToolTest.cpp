// The dax-tables program over a data file the configurator saved.
#include "device/Daxhelper.h"

#include "CraftedArchives.h"
#include "Subprocess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::RunCommand;

const std::string kTables = DAXTABLES_PATH;

std::string TempPath(const std::string& name)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    return std::string(home ? home : "/tmp") + "/" + name;
}

// The crafted instrument's tables in a data file.
std::string SaveFixtureFile()
{
    DaxHelper helper;
    testsupport::PutCraftedArchives(helper);
    const std::string path = TempPath("tables.daxdat");
    helper.SaveDataFile(path);
    return path;
}

TEST(DaxTables, PrintsTheTwentyTwoTables)
{
    std::string output;
    ASSERT_EQ(RunCommand(kTables + " " + SaveFixtureFile(), output), 0) << output;

    std::vector<std::string> titles;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("== "))
            titles.push_back(line);
    const std::vector<std::string> expected = {
        "== Архив / Часовой (2)", "== Архив / Суточный (0)", "== Архив / Месячный (0)",
        "== Архив / Итоговый суточный (1)", "== Архив / Итоговый месячный (0)",
        "== Архив ТС1 / Часовой (2)", "== Архив ТС1 / Суточный (0)", "== Архив ТС1 / Месячный (0)",
        "== Архив ТС1 / Итоговый суточный (1)", "== Архив ТС1 / Итоговый месячный (0)",
        "== Архив ТС2 / Часовой (2)", "== Архив ТС2 / Суточный (0)", "== Архив ТС2 / Месячный (0)",
        "== Архив ТС2 / Итоговый суточный (1)", "== Архив ТС2 / Итоговый месячный (0)",
        "== Архив ХВС / Часовой (2)", "== Архив ХВС / Суточный (0)", "== Архив ХВС / Месячный (0)",
        "== Архив ХВС / Итоговый суточный (1)", "== Архив ХВС / Итоговый месячный (0)",
        "== Журнал НС (2)", "== Журнал оператора (1)"};
    EXPECT_EQ(titles, expected);

    for (const char* text : {
             "== Архив ТС1 / Часовой (2)\n"
             "Дата\tЧас\tQ1(ГДж)\tM1(т)\tV1(м³)\tt1(°C)\tt2(°C)\tdt(°C)\tP1(МПа)\tP2(МПа)\tdP(МПа)\tTсч\tTос\t"
             "Кан.НС1\tКан.НС2\tНС ТС1\n"
             "05.03.21\t1\t1.250\t0.000\t0.000\t-15.25\t0.00\t-15.25\t0.0000\t0.0000\t0.0000\t01:00\t00:00\t"
             "--------\t--------\t---------------\n"
             "05.03.21\t2\t1.250\t",
             "\t---------------\tred\n\n== Архив ТС1 / Суточный (0)\nДата\tQ1(ГДж)",
             "== Архив ТС2 / Часовой (2)\nДата\tЧас\n05.03.21\t1\n05.03.21\t2\tred\n",
             "== Архив / Итоговый суточный (1)\n"
             "Дата\tТвкл\tТвыкл\tТсоб.1\tТсоб.2\tТсоб.3\tТсоб.4\tТсоб.5\tТсоб.6\tТсоб.7\tТсоб.8\n"
             "31.10.24\t1166:40\t00:00\t",
             "== Журнал НС (2)\nДата/Время\tНС\tКод\tСнят / Установлен\n"
             "05/03/24 14:07:09\tНС ТС1\t[1] Q1 < 0\tУстановлен(а)\n",
             "== Журнал оператора (1)\nДата/Время\tПараметр\tСтарое значение\tНовое значение\n"
             "Пустая страница\txxxx\txxxx\txxxx\n",
         })
        EXPECT_NE(output.find(text), std::string::npos) << text << "\n---\n" << output;
}

TEST(DaxTables, RefusesWhatItCannotRead)
{
    const std::string bad = TempPath("bad.daxdat");
    std::ofstream(bad) << "NOT A DATA FILE";
    std::string output;
    EXPECT_EQ(RunCommand(kTables + " " + bad, output), 1);
    EXPECT_EQ(output, "Неправильный заголовок файла\n");
    EXPECT_EQ(RunCommand(kTables, output), 2);
    EXPECT_EQ(output, "usage: dax-tables FILE.daxdat\n");
}

} // namespace
