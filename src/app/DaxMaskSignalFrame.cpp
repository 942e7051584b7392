#include "DaxMaskSignalFrame.h"

#include "DaxFormTable.h"

#include "presentation/FrameValueLists.h"

#include <QComboBox>
#include <QGridLayout>

namespace {

using daxform::GridCell;

const daxform::BindingScope kScope = {"MaskSignal1/"};

constexpr GridCell kCells[] = {
    {"MaskParamLabel", 0, 0, "Параметр"},  {"MaskParam", 0, 1},
    {"MaskConditionLabel", 1, 0, "Условие"}, {"MaskCondition", 1, 1},
    {"MaskLabel", 2, 0, "Маска"},          {"Mask", 2, 1},
};

} // namespace

TDaxMaskSignalForm::TDaxMaskSignalForm(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    daxform::PlaceCells(grid, kCells, kScope, this);
    grid->setColumnStretch(2, 1);
}

void TDaxMaskSignalForm::SetUp()
{
    daxform::FillItems(findChild<QComboBox*>(QStringLiteral("MaskCondition")), MaskConditionNames);
    auto* maskParam = findChild<QComboBox*>(QStringLiteral("MaskParam"));
    daxform::FillItems(maskParam, MaskParamNames);
    maskParam->setMaxVisibleItems(static_cast<int>(MaskParamNames.size()));
}
