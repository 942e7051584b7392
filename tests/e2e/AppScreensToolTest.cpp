// app-screens --pages: one picture of every device page, the demo instrument shown without a
// binding's complaint; --schemes: one picture of every scheme of both heat systems and of the
// free configurations; --report-setup: the report settings dialog for the four report kinds;
// --report KIND --data FILE: a device report through the main window, exported to PDF and its
// preview pictured.

#include "DataFile.h"
#include "DemoState.h"
#include "Subprocess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

using testsupport::RunCommand;

const std::string kAppScreens = APPSCREENS_PATH;

TEST(AppScreens, PicturesEveryDevicePage)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    const std::string folder = std::string(home ? home : "/tmp") + "/shots";
    std::string output;
    ASSERT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --pages --out " + folder, output), 0)
        << output;
    std::set<std::string> pictures;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.ends_with(".png"))
            pictures.insert(line);
        // A binding that cannot show its value says so on the error output.
        EXPECT_EQ(line.find("app-screens:"), std::string::npos) << line;
    }
    EXPECT_EQ(pictures.size(), 29u) << output;
    for (int id = 0; id < 30; ++id) {
        const std::string path = folder + "/page_" + std::to_string(id) + ".png";
        struct stat info {};
        const bool exists = ::stat(path.c_str(), &info) == 0 && info.st_size > 0;
        EXPECT_EQ(exists, id != 22) << path;
        EXPECT_EQ(pictures.contains(path), id != 22) << path;
    }

    EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --pages", output), 2);
    EXPECT_NE(output.find("usage: app-screens [--pages | --schemes | --report-setup] --out DIR"), std::string::npos) << output;
    EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --pages --schemes --out " + folder, output), 2);
    EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --schemes --report-setup --out " + folder, output),
              2);
    for (const char* wrong : {" --report --out ", " --report 4 --data x --out ", " --report x --data x --out ",
                              " --report 1 --data x --pages --out ", " --report 1 --out ", " --data x --out ",
                              " --report 0 --data x --from 2024-05-01 --out ",
                              " --report 0 --data x --from 2024-05-32 --to 2024-06-01 --out ",
                              " --report 0 --data x --from 2024-06-01 --to 2024-05-01 --out ",
                              " --report 0 --data x --channels MX --out ", " --report 0 --data x --system 4 --out "})
        EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + wrong + folder, output), 2) << wrong;
}

TEST(AppScreens, PicturesEverySchemeDrawing)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    const std::string folder = std::string(home ? home : "/tmp") + "/schemes";
    std::string output;
    ASSERT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --schemes --out " + folder, output), 0)
        << output;
    std::set<std::string> pictures;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.ends_with(".png"))
            pictures.insert(line);
    for (int heatSystem : {1, 2})
        for (int index = 0; index < 29; ++index) {
            const std::string path = folder + "/scheme_ts" + std::to_string(heatSystem) + "_" +
                                     (index < 10 ? "0" : "") + std::to_string(index) + ".png";
            struct stat info {};
            EXPECT_TRUE(::stat(path.c_str(), &info) == 0 && info.st_size > 0) << path;
            EXPECT_TRUE(pictures.contains(path)) << path;
        }
    for (const char* free : {"scheme_free_1_1_0.png", "scheme_free_2_2_1.png", "scheme_free_1_1_2.png"})
        EXPECT_TRUE(pictures.contains(folder + "/" + free)) << free;
}

TEST(AppScreens, PicturesTheReportSettingsForEveryKind)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    const std::string folder = std::string(home ? home : "/tmp") + "/report-setup";
    std::string output;
    ASSERT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --report-setup --out " + folder, output), 0)
        << output;
    std::set<std::string> pictures;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.ends_with(".png"))
            pictures.insert(line);
    EXPECT_EQ(pictures.size(), 4u) << output;
    for (const char* kind : {"archive", "notstaff_journal", "operator_journal", "settings"}) {
        const std::string path = folder + "/report_setup_" + kind + ".png";
        struct stat info {};
        EXPECT_TRUE(::stat(path.c_str(), &info) == 0 && info.st_size > 0) << path;
        EXPECT_TRUE(pictures.contains(path)) << path;
    }
}

// The demo instrument's data file as dax-sim --demo saves it.
std::string DemoDataFile(const std::string& folder, daxsim::Model model)
{
    daxsim::Instrument instrument(daxsim::DemoState(model), 1);
    const std::vector<uint8_t> bytes = daxsim::DataFileBytesOfInstrument(instrument);
    ::mkdir(folder.c_str(), 0755);
    const std::string path = folder + (model == daxsim::Model::Dax01 ? "/DAX-01.daxdat" : "/DAX-02.daxdat");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(AppScreens, PicturesTheReportPreviewOfEachKind)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    const std::string folder = std::string(home ? home : "/tmp") + "/report-preview";
    const std::string data = DemoDataFile(folder, daxsim::Model::Dax02);
    for (int kind : {0, 3}) {
        std::string output;
        ASSERT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --report " + std::to_string(kind) +
                                 " --data " + data + " --from 2024-05-01 --to 2024-05-31 --out " + folder,
                             output),
                  0)
            << output;
        for (const std::string name : {"/preview_", "/report_"}) {
            const std::string path = folder + name + std::to_string(kind) + (name == "/preview_" ? ".png" : ".pdf");
            EXPECT_NE(output.find(path), std::string::npos) << output;
            struct stat info {};
            EXPECT_TRUE(::stat(path.c_str(), &info) == 0 && info.st_size > 0) << path;
        }
    }
}

// What the program says in place of a report goes to the error output, with exit code 2 and
// no report file.
TEST(AppScreens, AMessageInPlaceOfAReportIsPrinted)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    const std::string folder = std::string(home ? home : "/tmp") + "/report-message";
    const std::string data = DemoDataFile(folder, daxsim::Model::Dax02);
    const std::string broken = folder + "/broken.daxdat";
    std::ofstream(broken) << "not a data file";
    struct Case {
        std::string arguments;
        std::string said;
    };
    const Case cases[] = {
        {" --report 1 --data " + data + " --from 2020-01-01 --to 2020-01-31", "Журнал НС за выбранный период отсутствует !"},
        {" --report 0 --data " + broken, "app-screens: "},
        {" --report 0 --data " + folder + "/missing.daxdat", "app-screens: "},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + c.arguments + " --out " + folder, output), 2)
            << c.arguments << output;
        EXPECT_NE(output.find(c.said), std::string::npos) << c.arguments << output;
        EXPECT_EQ(output.find(".pdf"), std::string::npos) << c.arguments << output;
    }
}

} // namespace
