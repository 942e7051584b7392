#include "DaxWriteAllFrame.h"

#include "device/Texts.h"

TDaxWriteAllForm::TDaxWriteAllForm(QWidget* parent)
    : TDaxChoiceForm({"DaxWriteAllForm", "Запись параметров", "Выбор данных для записи", QSize(336, 551),
                      dax_namespace::kConfigGroupNames, kFullMask, DaxWriteAllDataSetup{}.Order},
                     parent)
{
}

DaxWriteAllDataSetup TDaxWriteAllForm::Setup() const
{
    return Choice<DaxWriteAllDataSetup>();
}
