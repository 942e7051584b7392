// Entry point of the tests that make widgets: one QApplication for the whole run.
#include "TestMain.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    InstallTestEnvironment();
    return RUN_ALL_TESTS();
}
