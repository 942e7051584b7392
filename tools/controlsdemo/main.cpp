// controls-demo: shows the custom controls in the states the device pages use, for a reviewer
// to look at. With --grab FILE it renders the window, with one drop-down list open, into a PNG
// and exits (run it with QT_QPA_PLATFORM=offscreen where there is no display).
#include "controls/BitEditComboBox.h"
#include "controls/BitEditListBox.h"
#include "controls/GoodTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QThread>

#include <cstdio>
#include <string>

namespace {

const char* const kUsage = "usage: controls-demo [--grab FILE]\n";
// How long the window may take to become active before grabbing anyway.
constexpr qint64 kActivationWaitMs = 2000;

QStringList Names(int count, const QString& pattern)
{
    QStringList names;
    for (int bit = 0; bit < count; ++bit)
        names.push_back(pattern.arg(bit + 1));
    return names;
}

TBitEditComboBox* AddBitEdit(QFormLayout* form, const QString& caption, const QStringList& items, uint32_t value)
{
    auto* edit = new TBitEditComboBox;
    edit->SetItems(items);
    edit->SetFirstBitSym('1');
    edit->SetBitFlags(value);
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addStretch();
    form->addRow(caption, row);
    return edit;
}

TGoodTable* MakeTable()
{
    auto* table = new TGoodTable;
    table->setObjectName(QStringLiteral("DemoTable"));
    table->SetColCount(4);
    const char* const captions[] = {"Дата/Время", "Значение", "Вкл", "Примечание"};
    const int widths[] = {120, 80, 40, 150};
    for (int col = 0; col < 4; ++col) {
        table->SetCaptions(col, captions[col]);
        table->SetWidths(col, widths[col]);
    }
    table->SetColReadOnly(0, true);
    table->SetColAlignment(0, ColAlignment::Left);
    table->SetColAlignment(1, ColAlignment::Right);
    table->SetColTypes(2, ColType::CheckBox);
    table->SetColReadOnly(3, true);
    table->SetColAlignment(3, ColAlignment::Left);
    constexpr int kRows = 12;
    table->SetRowCount(kRows);
    for (int row = 0; row < kRows; ++row) {
        table->SetCells(row, 0, "05.03.21 " + std::to_string(10 + row) + ":00");
        table->SetCells(row, 1, std::to_string(40 + row * 3) + ".25");
        table->SetCellsChecked(row, 2, row % 3 == 0);
        table->SetCells(row, 3, row == 4 ? "Ошибка контрольной суммы" : "норма");
    }
    for (int col = 0; col < 4; ++col)
        table->SetCellsTextColor(4, col, 255);
    table->SetCellsTextColor(7, 1, 255);
    table->SetRow(2);
    table->SetCol(1);
    return table;
}

// Lets the window become active so that the focused editor draws its cursor.
void WaitUntilActive(QWidget& window)
{
    window.activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (!window.isActiveWindow() && waited.elapsed() < kActivationWaitMs) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QString grabFile;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--grab") && i + 1 < arguments.size()) {
            grabFile = arguments[++i];
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("controls-demo"));
    auto* layout = new QHBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    TBitEditComboBox* sixteen = AddBitEdit(form, QStringLiteral("16 bits, cursor on bit 6"),
                                           Names(16, QStringLiteral("Канал %1")), 0xA5C3);
    sixteen->SetSelectedItem(5);
    TBitEditComboBox* readOnly = AddBitEdit(form, QStringLiteral("ReadOnly"), Names(8, QStringLiteral("НС %1")), 0x5A);
    readOnly->SetReadOnly(true);
    TBitEditComboBox* inverted =
        AddBitEdit(form, QStringLiteral("Inverted (bit 1 last)"), Names(8, QStringLiteral("Бит %1")), 0x03);
    inverted->SetInverted(true);
    TBitEditComboBox* rows =
        AddBitEdit(form, QStringLiteral("ColumnCount 8"), Names(16, QStringLiteral("Флаг %1")), 0x81F0);
    rows->SetColumnCount(8);
    const QStringList days = {QStringLiteral("Воскресенье"), QStringLiteral("Понедельник"), QStringLiteral("Вторник"),
                              QStringLiteral("Среда"),       QStringLiteral("Четверг"),     QStringLiteral("Пятница"),
                              QStringLiteral("Суббота")};
    TBitEditComboBox* dropped = AddBitEdit(form, QStringLiteral("Drop-down open"), days, 0x3E);
    auto* spacer = new QWidget;
    spacer->setMinimumHeight(180);
    form->addRow(spacer);

    layout->addWidget(MakeTable(), 1);
    window.resize(900, 420);
    window.show();

    if (grabFile.isEmpty())
        return application.exec();

    WaitUntilActive(window);
    sixteen->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    QPixmap picture = window.grab();

    dropped->DoDropDown();
    QCoreApplication::processEvents();
    QFrame* list = dropped->DropDownWindow();
    {
        // The list is a window of its own: draw it where it stands over the main window.
        QPainter painter(&picture);
        const QPoint at = list->geometry().topLeft() - window.mapToGlobal(QPoint(0, 0));
        painter.drawPixmap(at, list->grab());
    }
    list->hide();
    if (!picture.save(grabFile, "PNG")) {
        std::fprintf(stderr, "controls-demo: cannot write %s\n", qPrintable(grabFile));
        return 1;
    }
    return 0;
}
