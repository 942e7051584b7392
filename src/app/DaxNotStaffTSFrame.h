#pragma once

#include "device/Daxcore.h"

#include <QPoint>
#include <QWidget>

#include <cstdint>

class QGroupBox;

// The abnormal-situation counters of one heat system: the heat energies and the times counted
// during abnormal situations. The device frame holds two, TS1_NS_Current and TS2_NS_Current.
class TDax_NotStaffTSParamFrame : public QWidget {
    Q_OBJECT

public:
    explicit TDax_NotStaffTSParamFrame(QWidget* parent = nullptr);

    // 0 for heat system 1, 1 for heat system 2; set once by the device frame: the caption,
    // the design places of the boxes, and the "not used" box on the place of the times.
    void SetHeatSystem(uint8_t heatSystem);
    uint8_t HeatSystem() const { return heatSystem_; }

    // Shows the energies when the record's scheme computes heat energy, the times when a
    // scheme is chosen and the "not used" box otherwise, and fits the outer box to what is
    // shown. A record of the other heat system changes nothing.
    void ApplyScheme(const HeatSystemConfig& config);

    // Energy captions in Gcal (energy unit 0) or GJ.
    void SetUnitCaptions(uint8_t energyUnit);

private:
    uint8_t heatSystem_ = 0;
    QGroupBox* TSGroupBox;
    QGroupBox* energyBox_; // "QGroupBox"
    QGroupBox* TimeGroupBox;
    QGroupBox* TSOffGroupBox;
    QPoint energyPosition_;
    QPoint timePosition_;
};
