#include "DaxSignalFrame_1.h"

#include "DaxFormTable.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"
#include "presentation/FrameValueLists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

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

enum SignalKind { kMaskSignal = 0, kComparisonSignal = 1 };

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

    const auto combo = [this](const char* name) { return findChild<QComboBox*>(QString::fromUtf8(name)); };
    SignalType = combo("SignalType");
    MaskParam = combo("MaskParam");
    MaskCondition = combo("MaskCondition");
    ConditionParam1 = combo("ConditionParam1");
    ParamCondition = combo("ParamCondition");
    Mask = findChild<TBitEditComboBox*>(QStringLiteral("Mask"));
    ConditionKoef1 = findChild<QLineEdit*>(QStringLiteral("ConditionKoef1"));
    ParamLabel = findChild<QLabel*>(QStringLiteral("ParamLabel"));
    MaskKoefLabel = findChild<QLabel*>(QStringLiteral("MaskKoefLabel"));
    // Also when a binding shows the values read from the instrument.
    connect(SignalType, &QComboBox::currentIndexChanged, this, [this] { SignalTypeChange(); });
    for (QComboBox* source : {MaskParam, ConditionParam1})
        connect(source, &QComboBox::currentIndexChanged, this, [this] { MaskParamChange(); });
}

void TDaxSignal1_Form::SetUp()
{
    daxform::FillItems(MaskCondition, MaskConditionNames);
    daxform::FillItems(ParamCondition, std::span(CompareConditionNames).first(kMaskSignalConditionCount));
    daxform::FillItems(MaskParam, MaskParamNames);
    daxform::FillItems(SignalType, std::span(SignalTypeNames).first(kMaskSignalTypeCount));
    daxform::FillItems(ConditionParam1, CompareParamNames);
    for (QComboBox* list : {ParamCondition, ConditionParam1, MaskParam})
        list->setMaxVisibleItems(list->count());
    for (const auto& stack : kStacks)
        daxform::StackOn(findChild<QWidget*>(QString::fromUtf8(stack[0])),
                         findChild<QWidget*>(QString::fromUtf8(stack[1])));
}

void TDaxSignal1_Form::MaskParamChange()
{
    // The names always follow the mask source, whichever list changed.
    daxform::FillItems(Mask, MaskParamBitNames(MaskParam->currentIndex()));
    Mask->update();
}

void TDaxSignal1_Form::SignalTypeChange()
{
    for (QWidget* control : std::initializer_list<QWidget*>{MaskParam, Mask, ConditionParam1, ConditionKoef1,
                                                            ParamCondition, MaskCondition})
        control->hide();
    switch (SignalType->currentIndex()) {
    case kMaskSignal:
        MaskParam->show();
        Mask->show();
        MaskCondition->show();
        ParamLabel->setText(QStringLiteral("Параметр"));
        MaskKoefLabel->setText(QStringLiteral("Маска"));
        break;
    case kComparisonSignal:
        ConditionParam1->show();
        ConditionKoef1->show();
        ParamCondition->show();
        ParamLabel->setText(QStringLiteral("Параметр П1"));
        MaskKoefLabel->setText(QStringLiteral("Коэффициент К1"));
        break;
    default: break;
    }
}

void TDaxSignal1_Form::Clear()
{
    {
        // Setting the indexes is not a choice of the user's: the controls follow below.
        const QSignalBlocker quietType(SignalType);
        const QSignalBlocker quietSource(MaskParam);
        const QSignalBlocker quietParam(ConditionParam1);
        for (QComboBox* list : {SignalType, MaskParam, MaskCondition, ParamCondition, ConditionParam1})
            SetComboIndex(list, 0);
    }
    Mask->SetBitFlags(0);
    SetControlIntText(ConditionKoef1, 0, "%d");
    SignalTypeChange();
    MaskParamChange();
}
