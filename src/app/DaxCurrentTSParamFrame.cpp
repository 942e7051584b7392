#include "DaxCurrentTSParamFrame.h"

#include "DaxFormTable.h"
#include "Texts.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>

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

// The hot-water part of the energies ('#' the heat system's number).
constexpr const char* kHotWaterRows[] = {"Q#oCurrent", "W#oCurrent", "Q#gvsCurrent", "W#gvsCurrent"};
// Function bits of the mass and volume differences (M1-M2, V1-V2, M3-M4, V3-V4).
constexpr uint32_t kDifferenceFlags = SchemeFlag::MassDifference12 | SchemeFlag::VolumeDifference12 |
                                      SchemeFlag::MassDifference34 | SchemeFlag::VolumeDifference34;
// A temperature channel of 5 means none.
constexpr uint8_t kNoTemperatureChannel = 5;

// Design: the energy box and the parameters side by side, the channels three to a row below,
// then the times, cold water and air.
constexpr int kChanelsPerRow = 3;
static_assert(TDax_CurrentTSParamFrame::kChanelCount > kChanelsPerRow, "the design has a second row of channels");

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
    // A scheme hides rows; the boxes keep their design size.
    for (QGroupBox* box : TSGroupBox->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        KeepRowsAtTop(box);

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

void TDax_CurrentTSParamFrame::ApplyScheme(const HeatSystemConfig& config)
{
    const bool first = heatSystem_ == 0;
    if ((config.System == 0) != first)
        return;
    const SchemeDescriptor descriptor = GetSchemeDescriptor(config);
    const uint32_t flags = descriptor.Flags;
    const bool chosen = config.SchemeIndex != 0;

    // Energies: the own heat system's box when the scheme computes heat energy, with the
    // hot-water rows when it has a hot-water part; otherwise the parameters take its place.
    if (descriptor.Formula != 0) {
        (first ? QW1GroupBox : QW2GroupBox)->show();
        QW1GroupBox->move(qw1Position_);
        QW2GroupBox->move(qw1Position_);
        TS1Params->move(paramsPosition_);
        TS2Params->move(paramsPosition_);
        const bool hotWater = (flags & SchemeFlag::HotWater) != 0;
        for (const char* row : kHotWaterRows)
            for (int h = 1; h <= 2; ++h)
                SetRowVisible(this, MemberName(row, h), hotWater);
    } else {
        QW1GroupBox->hide();
        QW2GroupBox->hide();
        TS1Params->move(qw1Position_);
        TS2Params->move(qw1Position_);
    }

    TS1Params->setVisible(first && chosen);
    TS1TimeGroupBox->setVisible(first && chosen);
    TS2Params->setVisible(heatSystem_ == 1 && chosen);
    TS2TimeGroupBox->setVisible(heatSystem_ == 1 && chosen);
    TSOffGroupBox->setVisible(!chosen);

    // Channels with a point of the scheme (or the control thermometer) close up on the
    // design places in their order.
    const uint32_t labels = static_cast<uint32_t>(descriptor.PointMask) |
                            static_cast<uint32_t>(descriptor.ExtraFlowMask) << 16;
    size_t place = 0;
    for (int n = 1; n <= kChanelCount; ++n) {
        const uint32_t points = 1u << (n - 1) | 1u << (n + 4) | 1u << (n + 9);
        const bool used = chosen && ((labels & (points | points << 16)) != 0 || n - 1 == config.ControlChannel);
        QGroupBox* box = GroupBoxChanel[static_cast<size_t>(n - 1)];
        if (used)
            box->move(chanelPositions_[place++]);
        box->setVisible(used);
    }

    // Differences: of masses, or of volumes when the scheme measures volumes.
    const bool differences = (flags & kDifferenceFlags) != 0;
    const bool volumes = (flags & (SchemeFlag::VolumeDifference12 | SchemeFlag::VolumeDifference34)) != 0;
    const bool temperatureDifferences = (flags & (SchemeFlag::Differences12 | SchemeFlag::Differences34)) != 0;
    for (int h = 1; h <= 2; ++h) {
        for (const char* row : {"dM#Current", "dGm#Current"})
            SetRowVisible(this, MemberName(row, h), differences);
        for (const char* row : {"dt#Current", "dP#Current"})
            SetRowVisible(this, MemberName(row, h), temperatureDifferences);
        findChild<QLabel*>(MemberName("dM#CurrentLabel", h))
            ->setText(volumes ? QStringLiteral("dV (м³)") : QStringLiteral("dM (т)"));
        findChild<QLabel*>(MemberName("dGm#CurrentLabel", h))
            ->setText(volumes ? QStringLiteral("dGv (м³/ч)") : QStringLiteral("dGm (т/ч)"));
    }

    // Cold water; without it the air box of heat system 1 moves into its place.
    if ((flags & SchemeFlag::ColdWater) != 0 && chosen) {
        GroupBoxCW->move(coldWaterPosition_);
        GroupBoxCW->show();
        Air1GroupBox->move(airPosition_);
    } else {
        GroupBoxCW->hide();
        Air1GroupBox->move(coldWaterPosition_);
    }
    const bool air = config.AirChannel < kNoTemperatureChannel && chosen;
    Air1GroupBox->setVisible(air && first);
    Air2GroupBox->setVisible(air && heatSystem_ == 1);

    for (int n = 1; n <= kChanelCount; ++n) {
        const auto used = [&config, n](uint8_t firstOfKind) {
            return IsSchemeParamUsed(static_cast<uint8_t>(firstOfKind + n - 1), config);
        };
        const bool mass = used(SchemeParam::M1);
        const bool volume = used(SchemeParam::V1);
        SetRowVisible(this, MemberName("M#Current", n), mass);
        SetRowVisible(this, MemberName("Gm#Current", n), mass);
        SetRowVisible(this, MemberName("V#Current", n), volume);
        SetRowVisible(this, MemberName("Gv#Current", n), volume);
        SetRowVisible(this, MemberName("t#Current", n), used(SchemeParam::T1));
        SetRowVisible(this, MemberName("P#Current", n), used(SchemeParam::P1));
        SetRowVisible(this, MemberName("ChanelNS#_Current", n), used(SchemeParam::ChannelNS1));
    }

    CloseUp(place);
    FitAroundBoxes(TSGroupBox, qw1Position_.x());
}

void TDax_CurrentTSParamFrame::CloseUp(size_t chanelPlacesInUse)
{
    // The energies and the parameters close around their rows shown. Hiding a row leaves the
    // size its box's layouts keep until they are next activated, so they are activated first.
    for (QGroupBox* box : {QW1GroupBox, QW2GroupBox, TS1Params, TS2Params}) {
        box->layout()->activate();
        box->resize(box->width(), box->sizeHint().height());
    }

    // The channels stand the design gap below the first row of boxes as it is now.
    int topRowBottom = 0;
    for (const QGroupBox* box : {QW1GroupBox, QW2GroupBox, TS1Params, TS2Params, TSOffGroupBox})
        if (!box->isHidden())
            topRowBottom = std::max(topRowBottom, box->geometry().bottom());
    const int designTopRowBottom = chanelPositions_[0].y() - 1 - kDesignGap;
    const int shift = topRowBottom - designTopRowBottom;
    for (QGroupBox* box : GroupBoxChanel)
        if (!box->isHidden())
            box->move(box->x(), box->y() + shift);

    // The times, cold water and air follow the last row of channel places in use (on the
    // first row's place when no channel is used), as they follow the second row in the design.
    const int rowPitch = chanelPositions_[kChanelsPerRow].y() - chanelPositions_[0].y();
    const int rowsInUse = static_cast<int>((chanelPlacesInUse + kChanelsPerRow - 1) / kChanelsPerRow);
    const int bottomRowTop = chanelPositions_[0].y() + shift + rowsInUse * rowPitch;
    for (QGroupBox* box : {TS1TimeGroupBox, TS2TimeGroupBox, GroupBoxCW, Air1GroupBox, Air2GroupBox})
        box->move(box->x(), bottomRowTop);
}

void TDax_CurrentTSParamFrame::SetUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit)
{
    const char* energy = energyUnit != 0 ? app::kGJText : app::kGcalText;
    const char* pressure = pressureUnit != 0 ? app::kKgfText : app::kMPaText;
    // The parts of a heat system's energy: whole, heating and hot water (object name, caption).
    const struct {
        const char* object;
        const char* caption;
    } parts[] = {{"", ""}, {"o", "о"}, {"gvs", "гвс"}};
    for (int n = 1; n <= 2; ++n) {
        for (const auto& part : parts) {
            const QString caption = QString::number(n) + QString::fromUtf8(part.caption);
            const QString object = QString::number(n) + QString::fromUtf8(part.object) + QStringLiteral("CurrentLabel");
            SetLabelText(this, QStringLiteral("Q") + object, UnitCaption(QStringLiteral("Q") + caption, energy));
            SetLabelText(this, QStringLiteral("W") + object, UnitCaption(QStringLiteral("W") + caption, energy, true));
        }
        SetLabelText(this, QStringLiteral("dP%1CurrentLabel").arg(n), UnitCaption(QStringLiteral("dP"), pressure));
    }
    SetLabelText(this, QStringLiteral("PColdWaterCurrentLabel"), UnitCaption(QStringLiteral("Pхв"), pressure));
    for (int n = 1; n <= kChanelCount; ++n)
        SetLabelText(this, QStringLiteral("P%1CurrentLabel").arg(n), UnitCaption(QStringLiteral("P%1").arg(n), pressure));
}
