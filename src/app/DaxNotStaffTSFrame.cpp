#include "DaxNotStaffTSFrame.h"

#include "DaxFormTable.h"
#include "Texts.h"

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

    // Design: the times at the left edge, where the "not used" box takes their place, and
    // the energies beside them, so that the page closes up at the left whatever it hides.
    const int top = FirstPlaceTop(TSGroupBox);
    const QRect time = PlaceAt(TimeGroupBox, kDesignMargin, top);
    PlaceAt(energyBox_, time.right() + 1 + kDesignGap, top, kCaptionSlack);
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

void TDax_NotStaffTSParamFrame::ApplyScheme(const HeatSystemConfig& config)
{
    if ((config.System == 0) != (heatSystem_ == 0))
        return;
    const bool chosen = config.SchemeIndex != 0;
    energyBox_->setVisible(GetSchemeDescriptor(config).Formula != 0);
    TimeGroupBox->setVisible(chosen);
    TSOffGroupBox->setVisible(!chosen);
    FitAroundBoxes(TSGroupBox, timePosition_.x());
}

void TDax_NotStaffTSParamFrame::SetUnitCaptions(uint8_t energyUnit)
{
    const char* energy = energyUnit != 0 ? app::kGJText : app::kGcalText;
    const struct {
        const char* label;
        const char* name;
    } captions[] = {{"QizCurrentLabel", "Qиз"}, {"QpowCurrentLabel", "Qэп"}, {"QfCurrentLabel", "Qф"},
                    {"QdtCurrentLabel", "Qdt"}, {"QmaxCurrentLabel", "Qmax"}, {"QminCurrentLabel", "Qmin"}};
    for (const auto& caption : captions)
        SetLabelText(this, QString::fromUtf8(caption.label), UnitCaption(QString::fromUtf8(caption.name), energy));
}
