// app-screens --pages: one picture of every device page, the demo instrument shown without a
// binding's complaint; --schemes: one picture of every scheme of both heat systems and of the
// free configurations; --report-setup: the report settings dialog for the four report kinds;
// --report KIND: the preview of a device report.

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
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
    EXPECT_NE(output.find("usage: app-screens [--pages | --schemes | --report-setup | --report KIND] --out DIR"), std::string::npos) << output;
    EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --pages --schemes --out " + folder, output), 2);
    EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --schemes --report-setup --out " + folder, output),
              2);
    for (const char* wrong : {" --report --out ", " --report 4 --out ", " --report x --out ", " --report 1 --pages --out "})
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

TEST(AppScreens, PicturesTheReportPreviewOfEachKind)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    const std::string folder = std::string(home ? home : "/tmp") + "/report-preview";
    for (int kind : {0, 3}) {
        std::string output;
        ASSERT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + kAppScreens + " --report " + std::to_string(kind) +
                                 " --out " + folder,
                             output),
                  0)
            << output;
        const std::string path = folder + "/preview_" + std::to_string(kind) + ".png";
        EXPECT_NE(output.find(path), std::string::npos) << output;
        struct stat info {};
        EXPECT_TRUE(::stat(path.c_str(), &info) == 0 && info.st_size > 0) << path;
    }
}

} // namespace
