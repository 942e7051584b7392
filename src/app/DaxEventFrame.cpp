#include "DaxEventFrame.h"

#include "DaxFormTable.h"

#include "presentation/FrameValueLists.h"

#include <QComboBox>
#include <QGridLayout>

namespace {

using daxform::GridCell;

const daxform::BindingScope kScope = {"DaxEvent1/"};

constexpr GridCell kCells[] = {
    {"MaskConditionLabel", 0, 0, "Условие"}, {"MaskCondition", 0, 1},
    {"MaskLabel", 1, 0, "Сигналы"},         {"Mask", 1, 1},
};

} // namespace

TDaxEventForm::TDaxEventForm(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    daxform::PlaceCells(grid, kCells, kScope, this);
    grid->setColumnStretch(2, 1);
}

void TDaxEventForm::SetUp()
{
    daxform::FillItems(findChild<QComboBox*>(QStringLiteral("MaskCondition")), MaskConditionNames);
    daxform::FillItems(findChild<QWidget*>(QStringLiteral("Mask")), SignalNames);
}
