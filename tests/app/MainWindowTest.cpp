#include "app/MainFrame.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

TEST(MainWindow, OpensWithTheProgramTitle)
{
    TMainForm form;
    form.show();
    QApplication::processEvents();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Dax Конфигуратор"));
}

} // namespace
