#include "DaxSignalFrame_2.h"

#include "DaxFormTable.h"

#include "controls/BitEditComboBox.h"
#include "controls/ControlHelpers.h"
#include "presentation/FrameValueLists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimeEdit>

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

enum SignalKind { kMaskSignal = 0, kComparisonSignal = 1, kTimerSignal = 2 };

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

    const auto child = [this]<typename T>(const char* name, T*& member) {
        member = findChild<T*>(QString::fromUtf8(name));
    };
    child("SignalType", SignalType);
    child("MaskParam", MaskParam);
    child("MaskCondition", MaskCondition);
    child("Mask", Mask);
    child("ConditionParam1", ConditionParam1);
    child("ConditionParam2", ConditionParam2);
    child("ParamCondition", ParamCondition);
    child("ConditionKoef1", ConditionKoef1);
    child("ConditionKoef2", ConditionKoef2);
    child("TimerMode", TimerMode);
    child("TimerDays", TimerDays);
    child("TimerOn", TimerOn);
    child("TimerOff", TimerOff);
    child("ParamLabel", ParamLabel);
    child("MaskParamLabel", MaskParamLabel);
    child("MaskConditionLabel", MaskConditionLabel);
    child("KoefLabel1", KoefLabel1);
    child("KoefLabel2", KoefLabel2);
    // Also when a binding shows the values read from the instrument.
    connect(SignalType, &QComboBox::currentIndexChanged, this, [this] { SignalTypeChange(); });
    connect(TimerMode, &QComboBox::currentIndexChanged, this, [this] { TimerModeChange(); });
    for (QComboBox* source : {MaskParam, ConditionParam1, ConditionParam2})
        connect(source, &QComboBox::currentIndexChanged, this, [this] { MaskParamChange(); });
}

void TDaxSignal2_Form::SetUp()
{
    daxform::FillItems(MaskCondition, MaskConditionNames);
    daxform::FillItems(ParamCondition, CompareConditionNames);
    daxform::FillItems(MaskParam, MaskParamNames);
    daxform::FillItems(SignalType, SignalTypeNames);
    daxform::FillItems(ConditionParam1, CompareParamNames);
    daxform::FillItems(ConditionParam2, CompareParamNames);
    daxform::FillItems(TimerMode, TimerModeNames);
    for (QComboBox* list : {ParamCondition, ConditionParam1, ConditionParam2, MaskParam})
        list->setMaxVisibleItems(list->count());
    for (const auto& stack : kStacks)
        daxform::StackOn(findChild<QWidget*>(QString::fromUtf8(stack[0])),
                         findChild<QWidget*>(QString::fromUtf8(stack[1])));
}

void TDaxSignal2_Form::MaskParamChange()
{
    // The names always follow the mask source, whichever list changed.
    daxform::FillItems(Mask, MaskParamBitNames(MaskParam->currentIndex()));
    Mask->update();
}

void TDaxSignal2_Form::SignalTypeChange()
{
    for (QWidget* control : std::initializer_list<QWidget*>{
             MaskParam, Mask, MaskCondition, MaskParamLabel, ConditionParam1, ConditionParam2, ConditionKoef1,
             ConditionKoef2, ParamCondition, KoefLabel1, KoefLabel2, TimerMode, TimerDays, TimerOn, TimerOff})
        control->hide();
    switch (SignalType->currentIndex()) {
    case kMaskSignal:
        for (QWidget* control : std::initializer_list<QWidget*>{MaskParam, Mask, MaskCondition, MaskParamLabel})
            control->show();
        ParamLabel->setText(QStringLiteral("Параметр"));
        MaskConditionLabel->setText(QStringLiteral("Условие"));
        MaskParamLabel->setText(QStringLiteral("Маска"));
        break;
    case kComparisonSignal:
        for (QWidget* control : std::initializer_list<QWidget*>{ConditionParam1, ConditionKoef1, ParamCondition,
                                                                ConditionParam2, ConditionKoef2, KoefLabel1,
                                                                KoefLabel2, MaskParamLabel})
            control->show();
        MaskConditionLabel->setText(QStringLiteral("Условие"));
        ParamLabel->setText(QStringLiteral("Параметр П1"));
        MaskParamLabel->setText(QStringLiteral("Параметр П2"));
        KoefLabel1->setText(QStringLiteral("Коэффициент К1"));
        KoefLabel2->setText(QStringLiteral("Коэффициент К2"));
        break;
    case kTimerSignal:
        for (QWidget* control :
             std::initializer_list<QWidget*>{TimerMode, TimerDays, TimerOn, TimerOff, KoefLabel1, KoefLabel2})
            control->show();
        MaskConditionLabel->setText(QStringLiteral("Режим таймера"));
        ParamLabel->setText(QStringLiteral("Дни"));
        KoefLabel1->setText(QStringLiteral("Включение"));
        KoefLabel2->setText(QStringLiteral("Отключение"));
        TimerModeChange();
        break;
    default: break;
    }
}

void TDaxSignal2_Form::TimerModeChange()
{
    const std::span<const char* const> days = TimerDayBitNames(TimerMode->currentIndex());
    daxform::FillItems(TimerDays, days);
    TimerDays->setEnabled(!days.empty());
    TimerDays->update();
}

void TDaxSignal2_Form::Clear()
{
    {
        // Setting the indexes is not a choice of the user's: the controls follow below.
        const QSignalBlocker quietType(SignalType);
        const QSignalBlocker quietSource(MaskParam);
        const QSignalBlocker quietFirst(ConditionParam1);
        const QSignalBlocker quietSecond(ConditionParam2);
        for (QComboBox* list : {SignalType, MaskParam, MaskCondition, ParamCondition, ConditionParam1, ConditionParam2})
            SetComboIndex(list, 0);
    }
    Mask->SetBitFlags(0);
    TimerDays->SetBitFlags(0);
    SetControlIntText(ConditionKoef1, 0, "%d");
    SetControlIntText(ConditionKoef2, 0, "%d");
    // 00:00 is the pickers' blank value too: set as a value, so that a blank picker is
    // cleared to midnight rather than left blank with the register's old value behind it.
    SetPickerTime(TimerOn, QTime(0, 0, 0));
    SetPickerTime(TimerOff, QTime(0, 0, 0));
    SignalTypeChange();
    MaskParamChange();
    TimerModeChange();
}
