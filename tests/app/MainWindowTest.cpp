#include "app/MainFrame.h"

#include <QApplication>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// The program's one top-level window: later code and tests find it by its object name, and
// the title is the system's own text, UTF-8 in the sources.
TEST(MainWindow, OpensAsTheOnlyTopLevelWindowWithTheProgramTitle)
{
    TMainForm form;
    form.show();
    QApplication::processEvents();

    QList<QWidget*> named;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("MainForm"))
            named.push_back(widget);
    ASSERT_EQ(named.size(), 1);
    EXPECT_EQ(named.front(), &form);
    EXPECT_EQ(form.windowTitle().toStdString(), "Dax Конфигуратор");
    ASSERT_NE(form.windowHandle(), nullptr);
    EXPECT_TRUE(form.windowHandle()->isExposed());
    EXPECT_FALSE(form.grab().isNull());
}

} // namespace
