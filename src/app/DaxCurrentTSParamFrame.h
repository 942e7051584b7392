#pragma once

#include "device/Daxcore.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <cstddef>
#include <cstdint>

class QGroupBox;

// The current values of one heat system: energies and powers, the five measuring channels,
// differences, cold water, air temperature, working and stop times. The device frame holds
// two, TS1_Current and TS2_Current; both carry the controls of either heat system and show
// those of their own. The boxes lie at fixed places inside the outer box, so that the page can
// move them between the places of its design when a scheme leaves some of them out.
class TDax_CurrentTSParamFrame : public QWidget {
    Q_OBJECT

public:
    explicit TDax_CurrentTSParamFrame(QWidget* parent = nullptr);

    // 0 for heat system 1, 1 for heat system 2; set once by the device frame: names the flag
    // bits, keeps the design places of the boxes, puts the other heat system's boxes on them
    // and shows the heat system's own.
    void SetHeatSystem(int32_t heatSystem);
    int32_t HeatSystem() const { return heatSystem_; }

    // Lays the page out for the scheme of a heat-system record: the boxes and rows the
    // scheme uses, the used channels closed up on the design places in order, the energy and
    // parameter boxes closed around their rows shown with the channels below them, the times,
    // cold water and air below the last row of channels in use, the outer box fitted to the
    // boxes shown. Every call starts from the design places, so the same record always gives
    // the same page. A record of the other heat system changes nothing.
    void ApplyScheme(const HeatSystemConfig& config);

    // Energy captions in Gcal (energy unit 0) or GJ, pressure captions in MPa (pressure unit 0)
    // or kgf/cm², for the boxes of both heat systems.
    void SetUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit);

    static constexpr int kChanelCount = 5;

private:
    void LayOutDesign();
    // Closes the page up around what the scheme shows, given how many channel places are in
    // use: boxes on the design places move up by what the boxes above them lost.
    void CloseUp(size_t chanelPlacesInUse);

    int32_t heatSystem_ = 0;
    QGroupBox* TSGroupBox;
    QGroupBox* QW1GroupBox;
    QGroupBox* QW2GroupBox;
    QGroupBox* TS1Params;
    QGroupBox* TS2Params;
    QGroupBox* TS1TimeGroupBox;
    QGroupBox* TS2TimeGroupBox;
    QGroupBox* GroupBoxCW;
    QGroupBox* Air1GroupBox;
    QGroupBox* Air2GroupBox;
    QGroupBox* TSOffGroupBox;
    std::array<QGroupBox*, kChanelCount> GroupBoxChanel{};
    // Design places kept by SetHeatSystem.
    QPoint qw1Position_;
    QPoint paramsPosition_;
    QPoint timePosition_;
    QPoint coldWaterPosition_;
    QPoint airPosition_;
    std::array<QPoint, kChanelCount> chanelPositions_{};
};
