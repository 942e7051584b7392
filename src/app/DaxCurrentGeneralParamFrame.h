#pragma once

#include "device/Daxcore.h"

#include <QPoint>
#include <QWidget>

#include <array>

class QGroupBox;

// The general current values and the cold-water channels: the third energy sum, working and
// power-off times, the hardware, mode, event and signal flags, the event times and up to six
// cold-water channels, whose boxes close up when some are switched off. The device frame holds
// one, GeneralCWS_Current.
class TDax_CurrentGeneralParamFrame : public QWidget {
    Q_OBJECT

public:
    explicit TDax_CurrentGeneralParamFrame(QWidget* parent = nullptr);

    // Names the bits of the flag controls and keeps the design places of the channel boxes.
    void SetUp();

    // Shows the cold-water channels of a heat-system record of heat system 1. The channels'
    // layout is not applied yet: the page keeps its design.
    void LayoutChannels(const HeatSystemConfig& config);

    static constexpr int kChanelCount = 6;

private:
    QGroupBox* GeneralGroupBox;
    std::array<QGroupBox*, kChanelCount> GroupBoxChanel{};
    std::array<QPoint, kChanelCount> chanelPositions_{};
};
