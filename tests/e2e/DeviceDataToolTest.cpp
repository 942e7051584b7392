// rptool device-data over the demo instrument's data file: the archive report's data sets for
// May 2024 against a golden output, the journal reports, and the error exits.

#include "DataFile.h"
#include "DemoState.h"
#include "Subprocess.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

using testsupport::RunProgram;

const std::string kRptool = DAXRPTOOL_PATH;
const QString kGolden = QStringLiteral(DAX_E2E_DATA "/device-data-may.txt");

std::string ReadText(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(missing)");
}

class DeviceDataTool : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        daxsim::Instrument instrument(daxsim::DemoState(daxsim::Model::Dax01), 1);
        const std::vector<uint8_t> bytes = daxsim::DataFileBytesOfInstrument(instrument);
        QFile file(folder.filePath(QStringLiteral("demo.daxdat")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        demo = file.fileName().toStdString();
    }

    std::vector<std::string> Archive(const std::string& from, const std::string& to) const
    {
        return {kRptool, "device-data", demo,         "--type",  "0",        "--system",   "0",
                "--from", from,         "--to",       to,        "--totals", "--hours",    "--codes",
                "--channels", "MVP",    "--hardware", "--modes"};
    }

    QTemporaryDir folder;
    std::string demo;
};

// The lines of one section ("== Name" up to the next), without its two heading lines.
std::vector<std::string> Section(const std::string& output, const std::string& name)
{
    std::vector<std::string> lines;
    bool inside = false;
    size_t start = 0;
    while (start < output.size()) {
        const size_t end = output.find('\n', start);
        const std::string line = output.substr(start, end - start);
        start = end == std::string::npos ? output.size() : end + 1;
        if (line.rfind("== ", 0) == 0) {
            inside = line == "== " + name;
            continue;
        }
        if (inside)
            lines.push_back(line);
    }
    if (!lines.empty())
        lines.erase(lines.begin()); // the captions
    return lines;
}

TEST_F(DeviceDataTool, MayWithEverySwitchMatchesTheGolden)
{
    const testsupport::ProgramRun run = RunProgram(Archive("2024-05-01", "2024-05-31"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, ReadText(kGolden));
    EXPECT_EQ(Section(run.out, "DayArchiveDataSet").size(), 31u);
    EXPECT_EQ(Section(run.out, "HourArchiveDataSet").size(), 744u);
    const auto totals = Section(run.out, "TotalArchiveDataSet");
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_EQ(totals[0].rfind("01.05.24   00:00\t", 0), 0u) << totals[0];
    EXPECT_EQ(totals[1].rfind("31.05.24   24:00\t", 0), 0u) << totals[1];
    EXPECT_EQ(totals[2].rfind("Итого за период\t", 0), 0u) << totals[2];
    EXPECT_FALSE(Section(run.out, "NotStaffDataSet").empty());

    // The same under a Russian locale (whose decimal separator is a comma).
    std::vector<std::string> russian = {"env", "LANG=ru_RU.UTF-8", "LC_ALL=ru_RU.UTF-8"};
    const auto archive = Archive("2024-05-01", "2024-05-31");
    russian.insert(russian.end(), archive.begin(), archive.end());
    const testsupport::ProgramRun underRussian = RunProgram(russian);
    EXPECT_EQ(underRussian.status, 0) << underRussian.err;
    EXPECT_EQ(underRussian.out, run.out);
}

TEST_F(DeviceDataTool, JournalReportsListTheirPeriodsEntries)
{
    const testsupport::ProgramRun operators =
        RunProgram({kRptool, "device-data", demo, "--type", "2", "--from", "2024-05-01", "--to", "2024-05-31"});
    ASSERT_EQ(operators.status, 0) << operators.err;
    const auto rows = Section(operators.out, "InfoDataSet");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "06/05/24 10:30:00\tТС1.Канал tвозд\tНе используется\tКанал t4");
    EXPECT_EQ(rows[3], "21/05/24 09:45:00\tТС1.Кпр\t1.02\t1.03");

    const testsupport::ProgramRun situations =
        RunProgram({kRptool, "device-data", demo, "--type", "1", "--from", "2024-04-01", "--to", "2024-04-30"});
    ASSERT_EQ(situations.status, 0) << situations.err;
    EXPECT_EQ(Section(situations.out, "InfoDataSet").size(), 6u);
}

struct ErrorCase {
    const char* Name;
    std::vector<std::string> Arguments; // after "device-data"; DEMO stands for the demo's file
    int Status;
    const char* Message;                // the start of stderr
};

void PrintTo(const ErrorCase& c, std::ostream* out)
{
    *out << c.Name;
}

class DeviceDataErrors : public DeviceDataTool, public testing::WithParamInterface<ErrorCase> {};

const ErrorCase kErrorCases[] = {
    {"NoDaysInThePeriod", {"DEMO", "--type", "0", "--from", "2025-01-01", "--to", "2025-01-31"}, 2,
     "Отсутствуют суточные данные за выбранный период !\n"},
    {"NoTotalsBeforeTheFirstDay", {"DEMO", "--type", "0", "--from", "2024-03-16", "--to", "2024-03-20", "--totals"}, 2,
     "Отсутствуют итоговые данные на начальную дату периода !\n"},
    {"NoOperatorEntries", {"DEMO", "--type", "2", "--from", "2024-06-10", "--to", "2024-06-13"}, 2,
     "Журнал оператора за выбранный период отсутствует !\n"},
    {"NotADataFile", {"/proc/self/cmdline", "--type", "1", "--from", "2024-04-01", "--to", "2024-04-30"}, 2, ""},
    {"MissingFile", {"/nonexistent/demo.daxdat", "--type", "1", "--from", "2024-04-01", "--to", "2024-04-30"}, 2, ""},
    {"NoType", {"DEMO", "--from", "2024-04-01", "--to", "2024-04-30"}, 1, "usage: rptool device-data"},
    {"TypeThree", {"DEMO", "--type", "3", "--from", "2024-04-01", "--to", "2024-04-30"}, 1, "usage: rptool device-data"},
    {"NoDate", {"DEMO", "--type", "0", "--from", "2024-02-30", "--to", "2024-04-30"}, 1, "usage: rptool device-data"},
    {"BadChannels", {"DEMO", "--type", "0", "--from", "2024-04-01", "--to", "2024-04-30", "--channels", "MX"}, 1,
     "usage: rptool device-data"},
    {"UnknownSwitch", {"DEMO", "--type", "0", "--from", "2024-04-01", "--to", "2024-04-30", "--all"}, 1,
     "usage: rptool device-data"},
};

TEST_P(DeviceDataErrors, ExitWithTheirStatusAndMessage)
{
    std::vector<std::string> argv = {kRptool, "device-data"};
    for (const std::string& argument : GetParam().Arguments)
        argv.push_back(argument == "DEMO" ? demo : argument);
    const testsupport::ProgramRun run = RunProgram(argv);
    EXPECT_EQ(run.status, GetParam().Status) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.rfind(GetParam().Message, 0), 0u) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Table, DeviceDataErrors, testing::ValuesIn(kErrorCases),
                         [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.Name); });

} // namespace
