#include "DaxMaskSignalFrame.h"

#include "DaxFormTable.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"
#include "presentation/FrameValueLists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QSignalBlocker>

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
    MaskParam = findChild<QComboBox*>(QStringLiteral("MaskParam"));
    MaskCondition = findChild<QComboBox*>(QStringLiteral("MaskCondition"));
    Mask = findChild<TBitEditComboBox*>(QStringLiteral("Mask"));
    // Also when a binding shows the source read from the instrument.
    connect(MaskParam, &QComboBox::currentIndexChanged, this, [this] { MaskParamChange(); });
}

void TDaxMaskSignalForm::SetUp()
{
    daxform::FillItems(MaskCondition, MaskConditionNames);
    daxform::FillItems(MaskParam, MaskParamNames);
    MaskParam->setMaxVisibleItems(static_cast<int>(MaskParamNames.size()));
}

void TDaxMaskSignalForm::MaskParamChange()
{
    daxform::FillItems(Mask, MaskParamBitNames(MaskParam->currentIndex()));
    Mask->update();
}

void TDaxMaskSignalForm::Clear()
{
    {
        // Setting the indexes is not a choice of the user's: the bit names follow below.
        const QSignalBlocker quietSource(MaskParam);
        const QSignalBlocker quietCondition(MaskCondition);
        SetComboIndex(MaskParam, 0);
        SetComboIndex(MaskCondition, 0);
    }
    Mask->SetBitFlags(0);
    MaskParamChange();
}
