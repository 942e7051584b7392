#pragma once

#include "device/Daxcore.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <cstdint>

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

    // Lays the page out for a heat-system record of heat system 1, of which it uses the Q3
    // formula and the six cold-water channel modes: the Q3 rows when Q3 is computed, the boxes
    // of the channels switched on closed up on the design places in order, each with its
    // pressure row when the channel measures pressure. The event times follow the last row of
    // channel places in use, and the outer box fits what is shown.
    void LayoutChannels(const HeatSystemConfig& config);

    // Energy captions in Gcal (energy unit 0) or GJ, pressure captions in MPa (pressure unit 0)
    // or kgf/cm².
    void SetUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit);

    static constexpr int kChanelCount = 6;

private:
    QGroupBox* GeneralGroupBox;
    QGroupBox* EventTimeGroupBox;
    std::array<QGroupBox*, kChanelCount> GroupBoxChanel{};
    std::array<QPoint, kChanelCount> chanelPositions_{};
};
