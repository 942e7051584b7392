#include "DaxSignalFrame_2.h"

#include "DaxFormTable.h"

#include "presentation/FrameValueLists.h"

#include <QComboBox>
#include <QGridLayout>

namespace {

using daxform::GridCell;

const daxform::BindingScope kScope = {"DaxSignalD/"};

// As designed: the mask controls and the coefficients in column 1, the comparison's and the
// timer's other controls beside them until SetUp stacks them.
constexpr GridCell kCells[] = {
    {"SignalTypeLabel", 0, 0, "Тип"},
    {"SignalType", 0, 1},
    {"ParamLabel", 1, 0, "Параметр"},
    {"MaskParam", 1, 1},
    {"ConditionParam1", 1, 2},
    {"TimerDays", 1, 3},
    {"MaskConditionLabel", 2, 0, "Условие"},
    {"MaskCondition", 2, 1},
    {"ParamCondition", 2, 2},
    {"TimerMode", 2, 3},
    {"MaskParamLabel", 3, 0, "Маска"},
    {"Mask", 3, 1},
    {"ConditionParam2", 3, 2},
    {"KoefLabel1", 4, 0, "Коэффициент К1"},
    {"ConditionKoef1", 4, 1},
    {"TimerOn", 4, 2},
    {"KoefLabel2", 5, 0, "Коэффициент К2"},
    {"ConditionKoef2", 5, 1},
    {"TimerOff", 5, 2},
};

// Each control and the control whose place it takes.
constexpr const char* kStacks[][2] = {
    {"ParamCondition", "MaskCondition"}, {"TimerMode", "MaskCondition"}, {"ConditionParam1", "MaskParam"},
    {"TimerDays", "MaskParam"},          {"ConditionParam2", "Mask"},     {"TimerOn", "ConditionKoef1"},
    {"TimerOff", "ConditionKoef2"},
};

// What a mask signal does not show.
constexpr const char* kHiddenAsMask[] = {
    "ConditionParam1", "ConditionParam2", "ConditionKoef1", "ConditionKoef2", "ParamCondition", "KoefLabel1",
    "KoefLabel2",      "TimerMode",       "TimerDays",      "TimerOn",        "TimerOff",
};

} // namespace

TDaxSignal2_Form::TDaxSignal2_Form(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    daxform::PlaceCells(grid, kCells, kScope, this);
    grid->setColumnStretch(4, 1);
    // Designed as a mask signal: the rest stays hidden until the signal's type says otherwise.
    for (const char* name : kHiddenAsMask)
        findChild<QWidget*>(QString::fromUtf8(name))->hide();
}

void TDaxSignal2_Form::SetUp()
{
    const auto combo = [this](const char* name) { return findChild<QComboBox*>(QString::fromUtf8(name)); };
    daxform::FillItems(combo("MaskCondition"), MaskConditionNames);
    daxform::FillItems(combo("ParamCondition"), CompareConditionNames);
    daxform::FillItems(combo("MaskParam"), MaskParamNames);
    daxform::FillItems(combo("SignalType"), SignalTypeNames);
    daxform::FillItems(combo("ConditionParam1"), CompareParamNames);
    daxform::FillItems(combo("ConditionParam2"), CompareParamNames);
    daxform::FillItems(combo("TimerMode"), TimerModeNames);
    for (const char* name : {"ParamCondition", "ConditionParam1", "ConditionParam2", "MaskParam"})
        combo(name)->setMaxVisibleItems(combo(name)->count());
    for (const auto& stack : kStacks)
        daxform::StackOn(findChild<QWidget*>(QString::fromUtf8(stack[0])),
                         findChild<QWidget*>(QString::fromUtf8(stack[1])));
}
