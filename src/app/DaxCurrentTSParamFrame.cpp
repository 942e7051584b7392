#include "DaxCurrentTSParamFrame.h"

#include "DaxFormTable.h"

#include <QGroupBox>
#include <QLabel>

#include <algorithm>

namespace {

using namespace daxform;

const BindingScope kScope = {"TS1_Current/", "TS2_Current/"};

// Each table builds one box; '#' is the heat system's number (1 or 2) or the channel's.
constexpr FormRow kEnergyRows[] = {
    Box("QW#GroupBox", "Тепловая энегрия и мощность"),
    Field("Q#Current", "Q# (Гкал)"),
    Field("Q#oCurrent", "Q#о (Гкал)"),
    Field("Q#gvsCurrent", "Q#гвс (Гкал)"),
    Split(),
    Field("W#Current", "W# (Гкал/ч)"),
    Field("W#oCurrent", "W#о (Гкал/ч)"),
    Field("W#gvsCurrent", "W#гвс (Гкал/ч)"),
};

constexpr FormRow kParamRows[] = {
    Box("TS#Params", "Параметры ТС#"),
    Field("dM#Current", "dM (т)"),
    Field("dGm#Current", "dGm (т/ч)"),
    Field("dt#Current", "dt (°С)"),
    Field("dP#Current", "dP (МПа)"),
    Field("NSTS#Current", "НС ТС#"),
};

constexpr FormRow kTimeRows[] = {
    Box("TS#TimeGroupBox", "Времена"),
    Field("TworkTS#", "Тсч (Время счета тепловой энергии)"),
    Field("TstopTS#", "Tос (Время останова счета энергии)"),
};

constexpr FormRow kAirRows[] = {
    Box("Air#GroupBox", "Воздух"),
    Field("tair#Current", "tвозд (°С)"),
};

constexpr FormRow kColdWaterRows[] = {
    Box("GroupBoxCW", "Холодная вода"),
    Field("tColdWaterCurrent", "tхв (°С)"),
    Field("PColdWaterCurrent", "Pхв (МПа)"),
};

constexpr FormRow kChanelRows[] = {
    Box("GroupBoxChanel#", "Канал #"),
    Field("V#Current", "V# (м³)"),
    Field("Gv#Current", "Gv# (м³/ч)"),
    Field("M#Current", "M# (т)"),
    Field("Gm#Current", "Gm# (т/ч)"),
    Field("t#Current", "t# (°С)"),
    Field("P#Current", "P# (МПа)"),
    Field("ChanelNS#_Current", "НС"),
};

constexpr FormRow kOffRows[] = {
    Box("TSOffGroupBox", ""),
    Note("TSOffLabel", "Не используется"),
};

// Design: the energy box and the parameters side by side, the channels three to a row below,
// then the times, cold water and air.
constexpr int kChanelsPerRow = 3;

} // namespace

TDax_CurrentTSParamFrame::TDax_CurrentTSParamFrame(QWidget* parent) : QWidget(parent)
{
    TSGroupBox = MakeOuterBox(this, QStringLiteral("TSGroupBox"));
    QW1GroupBox = BuildBox(kEnergyRows, kScope, TSGroupBox, {}, 1);
    QW2GroupBox = BuildBox(kEnergyRows, kScope, TSGroupBox, {}, 2);
    TS1Params = BuildBox(kParamRows, kScope, TSGroupBox, {}, 1);
    TS2Params = BuildBox(kParamRows, kScope, TSGroupBox, {}, 2);
    TS1TimeGroupBox = BuildBox(kTimeRows, kScope, TSGroupBox, {}, 1);
    TS2TimeGroupBox = BuildBox(kTimeRows, kScope, TSGroupBox, {}, 2);
    GroupBoxCW = BuildBox(kColdWaterRows, kScope, TSGroupBox);
    Air1GroupBox = BuildBox(kAirRows, kScope, TSGroupBox, {}, 1);
    Air2GroupBox = BuildBox(kAirRows, kScope, TSGroupBox, {}, 2);
    for (int n = 0; n < kChanelCount; ++n)
        GroupBoxChanel[n] = BuildBox(kChanelRows, kScope, TSGroupBox, {}, n + 1);
    TSOffGroupBox = BuildBox(kOffRows, kScope, TSGroupBox);
    TSOffGroupBox->hide();

    for (const char* name : {"dP1CurrentLabel", "dP2CurrentLabel"})
        ReserveLabelWidth(findChild<QLabel*>(QString::fromUtf8(name)), {QStringLiteral("dP (кгс/см²)")});
    ReserveLabelWidth(findChild<QLabel*>(QStringLiteral("PColdWaterCurrentLabel")), {QStringLiteral("Pхв (кгс/см²)")});
    for (int n = 1; n <= kChanelCount; ++n)
        ReserveLabelWidth(findChild<QLabel*>(QStringLiteral("P%1CurrentLabel").arg(n)),
                          {QStringLiteral("P%1 (кгс/см²)").arg(n)});
    LayOutDesign();
}

void TDax_CurrentTSParamFrame::LayOutDesign()
{
    const int top = FirstPlaceTop(TSGroupBox);
    const QRect energy = PlaceAt(QW1GroupBox, kDesignMargin, top);
    PlaceAt(QW2GroupBox, kDesignMargin, top);
    PlaceAt(TSOffGroupBox, kDesignMargin, top);
    const QRect params = PlaceAt(TS1Params, energy.right() + 1 + kDesignGap, top);
    PlaceAt(TS2Params, params.left(), top);

    const int chanelTop = std::max(energy.bottom(), params.bottom()) + 1 + kDesignGap;
    const int bottom = PlaceInRows(GroupBoxChanel, kDesignMargin, chanelTop, kChanelsPerRow);

    const QRect time = PlaceAt(TS1TimeGroupBox, kDesignMargin, bottom);
    PlaceAt(TS2TimeGroupBox, kDesignMargin, bottom);
    const QRect coldWater = PlaceAt(GroupBoxCW, time.right() + 1 + kDesignGap, bottom, kCaptionSlack);
    const QRect air = PlaceAt(Air1GroupBox, coldWater.right() + 1 + kDesignGap, bottom);
    PlaceAt(Air2GroupBox, air.left(), bottom);
    FitAroundBoxes(TSGroupBox);
}

void TDax_CurrentTSParamFrame::SetHeatSystem(int32_t heatSystem)
{
    heatSystem_ = heatSystem;
    FillItems(findChild<QWidget*>(QStringLiteral("NSTS1Current")), HeatSystem1FlagNames);
    FillItems(findChild<QWidget*>(QStringLiteral("NSTS2Current")), HeatSystem2FlagNames);
    for (int n = 1; n <= kChanelCount; ++n)
        FillItems(findChild<QWidget*>(QStringLiteral("ChanelNS%1_Current").arg(n)), ChannelFlagNames);

    qw1Position_ = QW1GroupBox->pos();
    paramsPosition_ = TS1Params->pos();
    timePosition_ = TS1TimeGroupBox->pos();
    coldWaterPosition_ = GroupBoxCW->pos();
    airPosition_ = Air1GroupBox->pos();
    for (int n = 0; n < kChanelCount; ++n)
        chanelPositions_[n] = GroupBoxChanel[n]->pos();

    QW2GroupBox->move(qw1Position_);
    TSOffGroupBox->move(qw1Position_);
    TS2Params->move(paramsPosition_);
    TS2TimeGroupBox->move(timePosition_);
    Air2GroupBox->move(airPosition_);

    const bool first = heatSystem == 0;
    const bool second = heatSystem == 1;
    QW1GroupBox->setVisible(first);
    TS1Params->setVisible(first);
    TS1TimeGroupBox->setVisible(first);
    QW2GroupBox->setVisible(second);
    TS2Params->setVisible(second);
    TS2TimeGroupBox->setVisible(second);
    // The air box of the other heat system lies on this one's; the scheme's layout decides
    // about the own one.
    Air1GroupBox->setVisible(first);
    Air2GroupBox->setVisible(second);

    // "Cистема" begins with a Latin C, as the instrument's configurator has always shown it.
    TSGroupBox->setTitle(QStringLiteral("Cистема теплоснабжения ") + QString::number(heatSystem + 1));
}

void TDax_CurrentTSParamFrame::ApplyScheme(const HeatSystemConfig&) {}
