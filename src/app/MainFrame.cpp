#include "MainFrame.h"

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Dax Конфигуратор"));
    resize(1024, 720);
}
