#include "DaxSignalFrame_1.h"

#include "DaxFormTable.h"

#include "presentation/FrameValueLists.h"

#include <QComboBox>
#include <QGridLayout>

namespace {

using daxform::GridCell;

const daxform::BindingScope kScope = {"DaxSignal9/"};

// As designed: the mask controls in column 1, the comparison controls beside them until SetUp
// stacks them.
constexpr GridCell kCells[] = {
    {"SignalTypeLabel", 0, 0, "Тип"},        {"SignalType", 0, 1},
    {"ParamLabel", 1, 0, "Параметр"},        {"MaskParam", 1, 1},     {"ConditionParam1", 1, 2},
    {"MaskConditionLabel", 2, 0, "Условие"}, {"MaskCondition", 2, 1}, {"ParamCondition", 2, 2},
    {"MaskKoefLabel", 3, 0, "Маска"},        {"Mask", 3, 1},          {"ConditionKoef1", 3, 2},
};

// Each comparison control and the mask control whose place it takes.
constexpr const char* kStacks[][2] = {
    {"ConditionParam1", "MaskParam"},
    {"ConditionKoef1", "Mask"},
    {"ParamCondition", "MaskCondition"},
};

} // namespace

TDaxSignal1_Form::TDaxSignal1_Form(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    daxform::PlaceCells(grid, kCells, kScope, this);
    grid->setColumnStretch(3, 1);
    // Designed as a mask signal: the comparison stays hidden until the signal's type says so.
    for (const auto& stack : kStacks)
        findChild<QWidget*>(QString::fromUtf8(stack[0]))->hide();
}

void TDaxSignal1_Form::SetUp()
{
    const auto combo = [this](const char* name) { return findChild<QComboBox*>(QString::fromUtf8(name)); };
    daxform::FillItems(combo("MaskCondition"), MaskConditionNames);
    daxform::FillItems(combo("ParamCondition"),
                       std::span(CompareConditionNames).first(kMaskSignalConditionCount));
    daxform::FillItems(combo("MaskParam"), MaskParamNames);
    daxform::FillItems(combo("SignalType"), std::span(SignalTypeNames).first(kMaskSignalTypeCount));
    daxform::FillItems(combo("ConditionParam1"), CompareParamNames);
    for (const char* name : {"ParamCondition", "ConditionParam1", "MaskParam"})
        combo(name)->setMaxVisibleItems(combo(name)->count());
    for (const auto& stack : kStacks)
        daxform::StackOn(findChild<QWidget*>(QString::fromUtf8(stack[0])),
                         findChild<QWidget*>(QString::fromUtf8(stack[1])));
}
