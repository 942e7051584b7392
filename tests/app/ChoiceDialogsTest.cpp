// The read-all and write-all selection dialogs: their items, defaults, check marks, the
// "Все данные" box and moving rows.
#include "app/DaxReadAllFrame.h"
#include "app/DaxWriteAllFrame.h"

#include "AppTestSupport.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <memory>
#include <ostream>

namespace {

using apptest::Child;

QTableWidget* List(TDaxChoiceForm& form)
{
    return Child<QTableWidget>(form, "DataListView");
}

QCheckBox* AllBox(TDaxChoiceForm& form)
{
    return Child<QCheckBox>(form, "AllParamsCheckBox");
}

std::vector<std::string> Texts(TDaxChoiceForm& form)
{
    std::vector<std::string> texts;
    for (int row = 0; row < List(form)->rowCount(); ++row)
        texts.push_back(List(form)->item(row, 0)->text().toStdString());
    return texts;
}

void SetChecked(TDaxChoiceForm& form, int row, bool on)
{
    List(form)->item(row, 0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void Select(TDaxChoiceForm& form, std::initializer_list<int> rows)
{
    QTableWidget* list = List(form);
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

TEST(ChoiceDialogs, ReadAllDialogAsItOpens)
{
    TDaxReadAllForm form;
    EXPECT_EQ(form.windowTitle().toStdString(), "Чтение параметров");
    EXPECT_EQ(Child<QGroupBox>(form, "GroupBox")->title().toStdString(), "Выбор данных для чтения");
    EXPECT_EQ(form.size(), QSize(303, 350));
    EXPECT_EQ(List(form)->horizontalHeaderItem(0)->text().toStdString(), "Последовательность");
    EXPECT_TRUE(List(form)->showGrid());
    EXPECT_EQ(List(form)->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(Texts(form), (std::vector<std::string>{"Часовой архив", "Суточный архив", "Месячный архив",
                                                      "Итоговый суточный архив", "Итоговый месячный архив",
                                                      "Журнал НС", "Журнал оператора"}));
    EXPECT_EQ(form.Order(), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(form.Mask(), 127u);
    EXPECT_EQ(AllBox(form)->checkState(), Qt::Checked);
    EXPECT_EQ(AllBox(form)->text().toStdString(), "Все данные");
    EXPECT_EQ(Child<QPushButton>(form, "CancelButton")->text().toStdString(), "Отмена");
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ(List(form)->item(row, 0)->checkState(), Qt::Checked) << row;
    EXPECT_EQ(form.ItemText(7), "");
}

TEST(ChoiceDialogs, WriteAllDialogAsItOpens)
{
    TDaxWriteAllForm form;
    EXPECT_EQ(form.windowTitle().toStdString(), "Запись параметров");
    EXPECT_EQ(Child<QGroupBox>(form, "GroupBox")->title().toStdString(), "Выбор данных для записи");
    EXPECT_EQ(form.size(), QSize(336, 551));
    EXPECT_EQ(form.Order(), (std::vector<uint32_t>{19, 18, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(form.Mask(), 0xFFFFFu);
    const std::vector<std::string> texts = Texts(form);
    ASSERT_EQ(texts.size(), 20u);
    EXPECT_EQ(texts[0], "Ввод пароля");
    EXPECT_EQ(texts[1], "Установка пароля");
    EXPECT_EQ(texts[2], "Общие параметры");
    EXPECT_EQ(texts[11], "Входы/Выход");
    EXPECT_EQ(texts[19], "Конфигурация событий");
    EXPECT_EQ(form.Setup().Order, form.Order());
    EXPECT_EQ(form.Setup().Mask, 0xFFFFFu);
}

// One step a user takes in a dialog, and what it leaves.
struct ChoiceCase {
    const char* name;
    bool write;                                // the write-all dialog, else the read-all one
    std::function<void(TDaxChoiceForm&)> step;
    std::vector<uint32_t> order;
    uint32_t mask;
    Qt::CheckState all;
};

void PrintTo(const ChoiceCase& c, std::ostream* out)
{
    *out << c.name;
}

class ChoiceSteps : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceSteps, LeaveTheOrderMaskAndBox)
{
    const ChoiceCase& c = GetParam();
    std::unique_ptr<TDaxChoiceForm> form;
    if (c.write)
        form = std::make_unique<TDaxWriteAllForm>();
    else
        form = std::make_unique<TDaxReadAllForm>();
    c.step(*form);
    EXPECT_EQ(form->Order(), c.order);
    EXPECT_EQ(form->Mask(), c.mask);
    EXPECT_EQ(AllBox(*form)->checkState(), c.all);
    // The list shows what the order and the mask say.
    for (size_t row = 0; row < c.order.size(); ++row) {
        EXPECT_EQ(Texts(*form)[row], form->ItemText(c.order[row])) << row;
        const bool chosen = ((c.mask >> c.order[row]) & 1) != 0;
        EXPECT_EQ(List(*form)->item(static_cast<int>(row), 0)->checkState(), chosen ? Qt::Checked : Qt::Unchecked)
            << row;
    }
}

const std::vector<uint32_t> kReadOrder = {0, 1, 2, 3, 4, 5, 6};
const std::vector<uint32_t> kWriteOrder = {19, 18, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

const ChoiceCase kChoiceCases[] = {
    {"unticking the hour archive grays the box", false, [](TDaxChoiceForm& f) { SetChecked(f, 0, false); },
     kReadOrder, 126, Qt::PartiallyChecked},
    {"unticking every item clears it", false,
     [](TDaxChoiceForm& f) {
         for (int row = 0; row < 7; ++row)
             SetChecked(f, row, false);
     },
     kReadOrder, 0, Qt::Unchecked},
    {"a click on the grayed box chooses all (read)", false,
     [](TDaxChoiceForm& f) {
         SetChecked(f, 3, false);
         AllBox(f)->click();
     },
     kReadOrder, 127, Qt::Checked},
    {"a click on the grayed box chooses all (write)", true,
     [](TDaxChoiceForm& f) {
         SetChecked(f, 5, false);
         SetChecked(f, 6, false);
         AllBox(f)->click();
     },
     kWriteOrder, 0xFFFFF, Qt::Checked},
    {"a click on the checked box chooses none", true, [](TDaxChoiceForm& f) { AllBox(f)->click(); }, kWriteOrder, 0,
     Qt::Unchecked},
    {"a click on the cleared box never grays it", false,
     [](TDaxChoiceForm& f) {
         AllBox(f)->click();
         AllBox(f)->click();
     },
     kReadOrder, 127, Qt::Checked},
    {"the operator journal dropped on the hour archive", false,
     [](TDaxChoiceForm& f) {
         Select(f, {6});
         f.MoveSelectedBefore(0);
     },
     {6, 0, 1, 2, 3, 4, 5}, 127, Qt::Checked},
    {"two rows dropped below the last keep their order", false,
     [](TDaxChoiceForm& f) {
         SetChecked(f, 4, false);
         Select(f, {1, 4});
         f.MoveSelectedBefore(-1);
     },
     {0, 2, 3, 5, 6, 1, 4}, 127 & ~(1u << 4), Qt::PartiallyChecked},
    {"a drop on a selected row goes before the next unselected one", false,
     [](TDaxChoiceForm& f) {
         Select(f, {1, 3});
         f.MoveSelectedBefore(3);
     },
     {0, 2, 1, 3, 4, 5, 6}, 127, Qt::Checked},
    {"a drop on the selected last row goes to the end", false,
     [](TDaxChoiceForm& f) {
         Select(f, {0, 6});
         f.MoveSelectedBefore(6);
     },
     {1, 2, 3, 4, 5, 0, 6}, 127, Qt::Checked},
    {"a drop with nothing selected moves nothing", true, [](TDaxChoiceForm& f) { f.MoveSelectedBefore(0); },
     kWriteOrder, 0xFFFFF, Qt::Checked},
    {"moved rows keep their check marks", true,
     [](TDaxChoiceForm& f) {
         SetChecked(f, 0, false); // "Ввод пароля"
         Select(f, {0});
         f.MoveSelectedBefore(-1);
     },
     {18, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19}, 0xFFFFF & ~(1u << 19),
     Qt::PartiallyChecked},
};

INSTANTIATE_TEST_SUITE_P(Dialogs, ChoiceSteps, testing::ValuesIn(kChoiceCases));

TEST(ChoiceDialogs, OkWithNothingChosenAndCancelKeepsTheChoiceForNextTime)
{
    TDaxReadAllForm form;
    for (int row = 0; row < 7; ++row)
        SetChecked(form, row, false);
    Child<QPushButton>(form, "OkButton")->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Mask(), 0u);

    SetChecked(form, 2, true);
    Select(form, {2});
    form.MoveSelectedBefore(0);
    Child<QPushButton>(form, "CancelButton")->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.Order(), (std::vector<uint32_t>{2, 0, 1, 3, 4, 5, 6}));
    EXPECT_EQ(form.Mask(), 4u);
    form.FillList();
    EXPECT_EQ(Texts(form).front(), "Месячный архив");
    EXPECT_EQ(form.Setup().Order, form.Order());
    EXPECT_EQ(form.Setup().Mask, 4u);
}

} // namespace
