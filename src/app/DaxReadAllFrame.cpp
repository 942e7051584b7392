#include "DaxReadAllFrame.h"

#include "device/Texts.h"

TDaxReadAllForm::TDaxReadAllForm(QWidget* parent)
    : TDaxChoiceForm({"DaxReadAllForm", "Чтение параметров", "Выбор данных для чтения", QSize(303, 350),
                      dax_namespace::kRecordTypeNames, kFullMask, DaxReadAllDataSetup{}.Order},
                     parent)
{
}

DaxReadAllDataSetup TDaxReadAllForm::Setup() const
{
    return Choice<DaxReadAllDataSetup>();
}
