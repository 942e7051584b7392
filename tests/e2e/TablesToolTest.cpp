// The dax-tables program over a data file the configurator saved.
#include "device/Daxhelper.h"

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using dax_namespace::ArchiveStruct;
using dax_namespace::JournalStruct;
using dax_namespace::TotalArchiveStruct;
using testsupport::RunCommand;

const std::string kTables = DAXTABLES_PATH;

std::string TempPath(const std::string& name)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    return std::string(home ? home : "/tmp") + "/" + name;
}

void SetHolding(DaxHelper& helper, uint32_t reg, uint16_t value)
{
    helper.HoldingRegisterImage.at(2 * (reg - 40001)) = static_cast<uint8_t>(value >> 8);
    helper.HoldingRegisterImage.at(2 * (reg - 40001) + 1) = static_cast<uint8_t>(value);
}

// Heat system 1 on scheme "1.1" (t1, t2, P1, P2, V1, M1), nothing else configured; two hour
// records, the second with a wrong check word; a total day record; one record per journal.
std::string SaveFixtureFile()
{
    DaxHelper helper;
    {
        DaxHelperLocker locker(&helper);
        SetHolding(helper, 40079, 0x11);
        for (uint32_t reg : {40080u, 40081u, 40130u, 40131u})
            SetHolding(helper, reg, 5);
        SetHolding(helper, 40180, 1);
        for (uint8_t hour : {0, 1}) {
            ArchiveStruct record;
            record.bytes[0] = 0x15;
            record.bytes[1] = 0x03;
            record.bytes[2] = 0x05;
            record.bytes[3] = hour;
            record.WriteF32(130, 1.25f);
            record.WriteI16(52, -1525);
            record.WriteU16(166, 60);
            record.StoreCheckWord();
            helper.HourArchive.push_back(record);
        }
        helper.HourArchive[1].bytes[100] ^= 1;
        TotalArchiveStruct total;
        total.bytes[0] = 0x18;
        total.bytes[1] = 0x0A;
        total.bytes[2] = 0x1F;
        total.WriteU32(52, 70000);
        total.StoreCheckWord();
        helper.TotalDayArchive.push_back(total);
        JournalStruct flags;
        flags.bytes = {24, 3, 5, 14, 7, 9};
        flags.WriteU16(JournalStruct::kCode, 6);
        flags.WriteU32(JournalStruct::kNewValue, 0x1001);
        helper.NotStaffJournal.push_back(flags);
        JournalStruct empty;
        empty.bytes.fill(0xFF);
        helper.OperatorJournal.push_back(empty);
    }
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
