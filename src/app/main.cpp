#include "MainFrame.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DaxConfig"));
    QApplication::setApplicationVersion(QStringLiteral(DAXCONFIG_VERSION));
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
