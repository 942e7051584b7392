// The device reports end to end: data files of both models as the demo instrument saves them,
// each report made by app-screens through the main window and exported to PDF, then read back
// with tools of their own (qpdf, pdftotext, pdfinfo) and compared with what dax-tables prints
// for the same records.

#include "DataFile.h"
#include "DemoState.h"
#include "Subprocess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::RunCommand;

const std::string kAppScreens = APPSCREENS_PATH;
const std::string kDaxTables = DAXTABLES_PATH;
const char* const kMay = " --from 2024-05-01 --to 2024-05-31";

std::string Folder()
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    const std::string folder = std::string(home ? home : "/tmp") + "/device-reports";
    ::mkdir(folder.c_str(), 0755);
    return folder;
}

// Each test writes files of its own: ctest runs them side by side.
std::string DataFile(daxsim::Model model, const std::string& test)
{
    daxsim::Instrument instrument(daxsim::DemoState(model), 1);
    const std::vector<uint8_t> bytes = daxsim::DataFileBytesOfInstrument(instrument);
    const std::string path =
        Folder() + "/" + test + (model == daxsim::Model::Dax01 ? "-DAX-01.daxdat" : "-DAX-02.daxdat");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<std::string> Tokens(const std::string& line, char separator = 0)
{
    std::vector<std::string> tokens;
    if (separator != 0) {
        std::istringstream in(line);
        for (std::string token; std::getline(in, token, separator);) {
            std::istringstream words(token);
            for (std::string word; words >> word;)
                tokens.push_back(word);
        }
        return tokens;
    }
    std::istringstream words(line);
    for (std::string word; words >> word;)
        tokens.push_back(word);
    return tokens;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A report made by app-screens into its own folder, with the PDF's text and page count.
struct MadeReport {
    std::string pdf;
    std::string text;
    int pages = 0;
};

MadeReport Make(int kind, const std::string& data, const std::string& options, const std::string& name)
{
    MadeReport made;
    const std::string out = Folder() + "/" + name;
    std::string output;
    EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --report " + std::to_string(kind) + " --data " +
                             data + options + " --out " + out,
                         output),
              0)
        << name << "\n"
        << output;
    made.pdf = out + "/report_" + std::to_string(kind) + ".pdf";
    EXPECT_NE(output.find(made.pdf), std::string::npos) << output;
    struct stat info {};
    EXPECT_TRUE(::stat((out + "/preview_" + std::to_string(kind) + ".png").c_str(), &info) == 0 && info.st_size > 0)
        << name;
    EXPECT_EQ(RunCommand("qpdf --check " + made.pdf, output), 0) << name << "\n" << output;
    EXPECT_EQ(RunCommand("pdftotext -layout " + made.pdf + " -", made.text), 0) << name;
    std::string info_text;
    EXPECT_EQ(RunCommand("pdfinfo " + made.pdf, info_text), 0) << name;
    std::smatch match;
    if (std::regex_search(info_text, match, std::regex("Pages: +([0-9]+)")))
        made.pages = std::stoi(match[1]);
    EXPECT_GT(made.pages, 0) << info_text;
    return made;
}

// Every "Страница N из M" of the text names the PDF's page count as M, and the last page's N
// is M. A report of one page may have no footer (the journals print theirs from the second
// page on, the Dax-01 settings have none).
void ExpectPageNumbersAgree(const MadeReport& made, const std::string& name)
{
    const std::regex footer("Страница +([0-9]+) +из +([0-9]+)");
    int footers = 0;
    int highest = 0;
    for (std::sregex_iterator it(made.text.begin(), made.text.end(), footer), end; it != end; ++it) {
        ++footers;
        EXPECT_EQ(std::stoi((*it)[2]), made.pages) << name;
        highest = std::max(highest, std::stoi((*it)[1]));
    }
    if (made.pages > 1 || footers > 0) {
        EXPECT_GT(footers, 0) << name;
        EXPECT_EQ(highest, made.pages) << name;
    }
}

// dax-tables' rows of one table, by title.
std::vector<std::string> TableRows(const std::string& data, const std::string& title)
{
    std::string output;
    EXPECT_EQ(RunCommand(kDaxTables + " " + data, output), 0) << output;
    std::vector<std::string> rows;
    bool inside = false;
    bool caption = false;
    for (const std::string& line : Lines(output)) {
        if (line.starts_with("== ")) {
            inside = line.starts_with("== " + title + " (");
            caption = inside;
            continue;
        }
        if (inside && caption) {
            caption = false;
            continue;
        }
        if (inside && !line.empty())
            rows.push_back(line);
    }
    EXPECT_FALSE(rows.empty()) << title;
    return rows;
}

bool HasLineOfTokens(const std::string& text, const std::vector<std::string>& tokens)
{
    for (const std::string& line : Lines(text))
        if (Tokens(line) == tokens)
            return true;
    return false;
}

struct ExpectedTexts {
    std::string name;
    int kind;
    daxsim::Model model;
    std::string options;
    std::vector<std::string> shown;
    std::vector<std::string> absent;
    int pages; // 0: any
};

TEST(DeviceReportsPdf, EachReportHoldsItsTexts)
{
    const std::string dax01 = DataFile(daxsim::Model::Dax01, "texts");
    const std::string dax02 = DataFile(daxsim::Model::Dax02, "texts");
    const ExpectedTexts cases[] = {
        {"archive02", 0, daxsim::Model::Dax02,
         std::string(kMay) + " --totals --hours --codes --hardware --modes --consumer \"ООО «Тепло» O'Brien\"",
         {"Отчет по потреблению тепловой энергии", "01.05.24 - 31.05.24", "O'Brien", "Итоговые данные",
          "Суточные данные", "Часовые данные", "Итого за период", "Коды нештатных ситуаций", "Dax-02",
          "Cистема теплоснабжения 1 (ТС1)", "Аппаратные НС", "Флаги реж.раб."},
         {},
         0},
        {"archive01-cold-water", 0, daxsim::Model::Dax01, std::string(kMay) + " --system 2 --supplier Водоканал",
         {"Отчет по потреблению хододной воды", "Cистема ХВС", "Dax-01", "Водоканал", "Суточные данные"},
         {"Итоговые данные", "Часовые данные", "Коды нештатных ситуаций"},
         0},
        {"notstaff02", 1, daxsim::Model::Dax02, kMay,
         {"Журнал НС", "Дата/Время", "НС", "Код", "Снят / Установлен", "за интервал 01.05.24 - 31.05.24"},
         {},
         0},
        {"operator02", 2, daxsim::Model::Dax02, kMay,
         {"Журнал оператора", "Дата/Время", "Параметр", "Старое значение", "Новое значение"},
         {},
         0},
        {"settings01", 3, daxsim::Model::Dax01, "",
         {"Настроечные параметры тепловычислителя Dax-01", "Система теплоснабжения 1", "Вес имп. (мᶾ/имп)",
          "Канал V3"},
         {"Система теплоснабжения 2", "Канал V4"},
         1},
        {"settings02", 3, daxsim::Model::Dax02, "",
         {"Настроечные параметры тепловычислителя Dax-02", "Система теплоснабжения 2", "Вес имп. (мᶾ/имп)",
          "Канал V6", "Канал P6"},
         {},
         2},
    };
    for (const ExpectedTexts& c : cases) {
        const MadeReport made = Make(c.kind, c.model == daxsim::Model::Dax01 ? dax01 : dax02, c.options, c.name);
        for (const std::string& text : c.shown)
            EXPECT_NE(made.text.find(text), std::string::npos) << c.name << ": " << text;
        for (const std::string& text : c.absent)
            EXPECT_EQ(made.text.find(text), std::string::npos) << c.name << ": " << text;
        if (c.pages != 0)
            EXPECT_EQ(made.pages, c.pages) << c.name;
        ExpectPageNumbersAgree(made, c.name);
        if (c.name == "settings02")
            EXPECT_TRUE(std::regex_search(made.text, std::regex("Страница +2 +из +2"))) << made.text;
    }
}

// With the columns dax-tables shows (mass, volume and pressure, no system flags), day rows of
// the report are those of the device's table, token by token; the period's heat is the sum of
// its day records.
TEST(DeviceReportsPdf, DayRowsAndTotalsMatchTheDeviceTables)
{
    const std::string data = DataFile(daxsim::Model::Dax02, "days");
    const MadeReport made = Make(0, data, std::string(kMay) + " --totals --channels MVP", "archive-tables");
    const std::vector<std::string> rows = TableRows(data, "Архив ТС1 / Суточный");
    double heat = 0;
    int days = 0;
    for (const std::string& row : rows) {
        const std::vector<std::string> tokens = Tokens(row, '\t');
        ASSERT_FALSE(tokens.empty());
        if (!tokens[0].ends_with(".05.24"))
            continue;
        ++days;
        heat += std::stod(tokens[1]);
        if (tokens[0] == "01.05.24" || tokens[0] == "15.05.24" || tokens[0] == "31.05.24")
            EXPECT_TRUE(HasLineOfTokens(made.text, tokens)) << row << "\n" << made.text;
    }
    EXPECT_EQ(days, 31);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(made.text, match, std::regex("Итого за период +([0-9.]+)"))) << made.text;
    EXPECT_NEAR(std::stod(match[1]), heat, 0.0005) << match[0];
    ExpectPageNumbersAgree(made, "archive-tables");
}

// Every journal record of May that the journal pages show is a row of the journal report.
TEST(DeviceReportsPdf, JournalRowsMatchTheDeviceTables)
{
    const std::string data = DataFile(daxsim::Model::Dax02, "journals");
    const std::map<int, std::string> journals = {{1, "Журнал НС"}, {2, "Журнал оператора"}};
    for (const auto& [kind, title] : journals) {
        const MadeReport made = Make(kind, data, kMay, "journal" + std::to_string(kind));
        int may = 0;
        for (const std::string& row : TableRows(data, title)) {
            const std::vector<std::string> tokens = Tokens(row, '\t');
            ASSERT_FALSE(tokens.empty());
            if (tokens[0].substr(2) != "/05/24")
                continue;
            ++may;
            EXPECT_TRUE(HasLineOfTokens(made.text, tokens)) << title << ": " << row << "\n" << made.text;
        }
        EXPECT_GT(may, 0) << title;
    }
}

} // namespace
