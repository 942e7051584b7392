#include "DaxNotStaffTSFrame.h"

#include "DaxFormTable.h"

#include <QGroupBox>

namespace {

using namespace daxform;

const BindingScope kScope = {"TS1_NS_Current/", "TS2_NS_Current/"};

constexpr FormRow kEnergyRows[] = {
    Box("QGroupBox", "Тепловая энегрия"),
    Field("QizCurrent", "Qиз (Гкал)"),
    Field("QpowCurrent", "Qэп (Гкал)"),
    Field("QfCurrent", "Qф (Гкал)"),
    Field("QdtCurrent", "Qdt (Гкал)"),
    Field("QmaxCurrent", "Qmax (Гкал)"),
    Field("QminCurrent", "Qmin (Гкал)"),
};

constexpr FormRow kTimeRows[] = {
    Box("TimeGroupBox", "Времена"),
    Field("TizCurrent", "Траб (Время работы в штатном режиме)"),
    Field("TpowCurrent", "Tэп (время отсутствия электропитания)"),
    Field("TfCurrent", "Tф (время функционального отказа средств измерений)"),
    Field("TdtCurrent", "Tdt (время наличия разности температур dt < dt_min)"),
    Field("TmaxCurrent", "Tmax (время наличия расхода больше максимального)"),
    Field("TminCurrent", "Tmin (время наличия расхода меньше минимального)"),
};

constexpr FormRow kOffRows[] = {
    Box("TSOffGroupBox", ""),
    Note("TSOffLabel", "Не используется"),
};


} // namespace

TDax_NotStaffTSParamFrame::TDax_NotStaffTSParamFrame(QWidget* parent) : QWidget(parent)
{
    TSGroupBox = MakeOuterBox(this, QStringLiteral("TSGroupBox"));
    energyBox_ = BuildBox(kEnergyRows, kScope, TSGroupBox);
    TimeGroupBox = BuildBox(kTimeRows, kScope, TSGroupBox);
    TSOffGroupBox = BuildBox(kOffRows, kScope, TSGroupBox);
    TSOffGroupBox->hide();

    const int top = FirstPlaceTop(TSGroupBox);
    const QRect energy = PlaceAt(energyBox_, kDesignMargin, top, kCaptionSlack);
    const QRect time = PlaceAt(TimeGroupBox, energy.right() + 1 + kDesignGap, top);
    PlaceAt(TSOffGroupBox, time.left(), top);
    FitAroundBoxes(TSGroupBox);
}

void TDax_NotStaffTSParamFrame::SetHeatSystem(uint8_t heatSystem)
{
    heatSystem_ = heatSystem;
    TSGroupBox->setTitle(QStringLiteral("Система теплоснабжения ") + QString::number(heatSystem + 1) +
                         QStringLiteral(" (Счетчики НС)"));
    energyPosition_ = energyBox_->pos();
    timePosition_ = TimeGroupBox->pos();
    TSOffGroupBox->move(timePosition_);
}

void TDax_NotStaffTSParamFrame::ApplyScheme(const HeatSystemConfig&) {}
