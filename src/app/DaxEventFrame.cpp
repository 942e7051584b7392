#include "DaxEventFrame.h"

#include "DaxFormTable.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"
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
    MaskCondition = findChild<QComboBox*>(QStringLiteral("MaskCondition"));
    Mask = findChild<TBitEditComboBox*>(QStringLiteral("Mask"));
}

void TDaxEventForm::SetUp()
{
    daxform::FillItems(MaskCondition, MaskConditionNames);
    daxform::FillItems(Mask, SignalNames);
}

void TDaxEventForm::Clear()
{
    SetComboIndex(MaskCondition, 0);
    Mask->SetBitFlags(0);
}
