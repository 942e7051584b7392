// Entry point of the tests that make widgets: one QApplication for the whole run.
#include "TestMain.h"

#include <QApplication>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

// The offscreen platform's own screen is 800 by 800 pixels; windows that size themselves for
// their screen are tested on one of a desktop's size instead.
constexpr const char* kDesktopScreen =
    R"({"screens": [{"name": "Desktop", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
    R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";

} // namespace

int main(int argc, char** argv)
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty())
        platform = "offscreen";
    QTemporaryFile screens; // read while the application starts
    if (platform == "offscreen" && screens.open()) {
        screens.write(kDesktopScreen);
        screens.flush();
        platform += ":configfile=" + QFile::encodeName(screens.fileName());
    }
    qputenv("QT_QPA_PLATFORM", platform);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    InstallTestEnvironment();
    return RUN_ALL_TESTS();
}
