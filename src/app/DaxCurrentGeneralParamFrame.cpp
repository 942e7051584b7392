#include "DaxCurrentGeneralParamFrame.h"

#include "DaxFormTable.h"
#include "Texts.h"

#include "presentation/FrameValueLists.h"

#include <QGroupBox>
#include <QLabel>

#include <algorithm>

namespace {

using namespace daxform;

const BindingScope kScope = {"GeneralCWS_Current/"};

constexpr FormRow kTotalRows[] = {
    Box("TotalGroupBox", "Общие"),
    Field("Q3Current", "Q3 (Гкал)"),
    Field("W3Current", "W3 (Гкал/ч)"),
    Field("WorkTime", "Время работы"),
    Field("OffPowerTime", "Время отсутствия питания"),
};

constexpr FormRow kFlagRows[] = {
    Box("FlagsGroupBox", "Состояние"),
    Field("HardwareNotStaffCurrent", "Аппаратные НС"),
    Field("ModeFlagsCurrent", "Флаги режимов"),
    Field("EventFlagsCurrent", "События"),
    Field("SignalFlagsCurrent", "Сигналы"),
};

constexpr FormRow kEventRows[] = {
    Box("EventTimeGroupBox", "Времена событий"),
    Field("EventTime1", "Tсоб.1"),
    Field("EventTime2", "Tсоб.2"),
    Split(),
    Field("EventTime3", "Tсоб.3"),
    Field("EventTime4", "Tсоб.4"),
    Split(),
    Field("EventTime5", "Tсоб.5"),
    Field("EventTime6", "Tсоб.6"),
    Split(),
    Field("EventTime7", "Tсоб.7"),
    Field("EventTime8", "Tсоб.8"),
};

constexpr FormRow kChanelRows[] = {
    Box("GroupBoxChanel#", "Канал ХВС #"),
    Field("V#Current", "V# (м³)"),
    Field("Gv#Current", "Gv# (м³/ч)"),
    Field("P#Current", "P# (МПа)"),
    Field("CWSTime#", "Тхвс#"),
    Field("ChanelNS#_Current", "НС"),
};

// Modes of a cold-water channel: off, volume only, volume and pressure (2 and above).
constexpr uint8_t kChanelOff = 0;
constexpr uint8_t kChanelWithPressure = 2;

// Design: totals and flags side by side, the cold-water channels three to a row below, then
// the event times.
constexpr int kChanelsPerRow = 3;
static_assert(TDax_CurrentGeneralParamFrame::kChanelCount > kChanelsPerRow, "the design has a second row of channels");

} // namespace

TDax_CurrentGeneralParamFrame::TDax_CurrentGeneralParamFrame(QWidget* parent) : QWidget(parent)
{
    GeneralGroupBox = MakeOuterBox(this, QStringLiteral("GeneralGroupBox"), QStringLiteral("Общие параметры и ХВС"));
    QGroupBox* totals = BuildBox(kTotalRows, kScope, GeneralGroupBox);
    QGroupBox* flags = BuildBox(kFlagRows, kScope, GeneralGroupBox);
    EventTimeGroupBox = BuildBox(kEventRows, kScope, GeneralGroupBox);
    KeepRowsAtTop(totals);
    for (int n = 0; n < kChanelCount; ++n) {
        GroupBoxChanel[n] = BuildBox(kChanelRows, kScope, GeneralGroupBox, {}, n + 1);
        KeepRowsAtTop(GroupBoxChanel[n]);
        ReserveLabelWidth(findChild<QLabel*>(QStringLiteral("P%1CurrentLabel").arg(n + 1)),
                          {QStringLiteral("P%1 (кгс/см²)").arg(n + 1)});
    }

    const int top = FirstPlaceTop(GeneralGroupBox);
    const QRect total = PlaceAt(totals, kDesignMargin, top, kCaptionSlack);
    const QRect flag = PlaceAt(flags, total.right() + 1 + kDesignGap, top);
    const int chanelTop = std::max(total.bottom(), flag.bottom()) + 1 + kDesignGap;
    PlaceAt(EventTimeGroupBox, kDesignMargin, PlaceInRows(GroupBoxChanel, kDesignMargin, chanelTop, kChanelsPerRow));
    FitAroundBoxes(GeneralGroupBox);
}

void TDax_CurrentGeneralParamFrame::SetUp()
{
    FillItems(findChild<QWidget*>(QStringLiteral("HardwareNotStaffCurrent")), HardwareFlagNames);
    FillItems(findChild<QWidget*>(QStringLiteral("ModeFlagsCurrent")), ModeFlagNames);
    FillItems(findChild<QWidget*>(QStringLiteral("EventFlagsCurrent")), EventFlagNames);
    FillItems(findChild<QWidget*>(QStringLiteral("SignalFlagsCurrent")), SignalNames);
    for (int n = 0; n < kChanelCount; ++n) {
        FillItems(findChild<QWidget*>(QStringLiteral("ChanelNS%1_Current").arg(n + 1)), ChannelFlagNames);
        chanelPositions_[n] = GroupBoxChanel[n]->pos();
    }
}

void TDax_CurrentGeneralParamFrame::LayoutChannels(const HeatSystemConfig& config)
{
    // The third energy sum exists when its formula is not "Q3 = 0".
    const bool q3 = config.GeneralSetting != 0;
    SetRowVisible(this, QStringLiteral("Q3Current"), q3);
    SetRowVisible(this, QStringLiteral("W3Current"), q3);

    size_t place = 0;
    for (int n = 1; n <= kChanelCount; ++n) {
        const uint8_t mode = config.ColdWaterSetup[static_cast<size_t>(n - 1)];
        QGroupBox* box = GroupBoxChanel[static_cast<size_t>(n - 1)];
        if (mode != kChanelOff)
            box->move(chanelPositions_[place++]);
        box->setVisible(mode != kChanelOff);
        SetRowVisible(this, MemberName("P#Current", n), mode >= kChanelWithPressure);
    }

    // The event times stand one row pitch below the last row of places in use (on the first
    // row's place when no channel is on), as they stand below the second row in the design.
    const int rowPitch = chanelPositions_[kChanelsPerRow].y() - chanelPositions_[0].y();
    const int rowsInUse = static_cast<int>((place + kChanelsPerRow - 1) / kChanelsPerRow);
    EventTimeGroupBox->move(EventTimeGroupBox->x(), chanelPositions_[0].y() + rowsInUse * rowPitch);
    FitAroundBoxes(GeneralGroupBox);
}

void TDax_CurrentGeneralParamFrame::SetUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit)
{
    const char* energy = energyUnit != 0 ? app::kGJText : app::kGcalText;
    const char* pressure = pressureUnit != 0 ? app::kKgfText : app::kMPaText;
    SetLabelText(this, QStringLiteral("Q3CurrentLabel"), UnitCaption(QStringLiteral("Q3"), energy));
    SetLabelText(this, QStringLiteral("W3CurrentLabel"), UnitCaption(QStringLiteral("W3"), energy, true));
    for (int n = 1; n <= kChanelCount; ++n)
        SetLabelText(this, QStringLiteral("P%1CurrentLabel").arg(n), UnitCaption(QStringLiteral("P%1").arg(n), pressure));
}
