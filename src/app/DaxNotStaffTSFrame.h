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

    // Lays the page out for the scheme of a heat-system record of this frame's heat system.
    // The scheme's layout is not applied yet: the page keeps its design.
    void ApplyScheme(const HeatSystemConfig& config);

private:
    uint8_t heatSystem_ = 0;
    QGroupBox* TSGroupBox;
    QGroupBox* energyBox_; // "QGroupBox"
    QGroupBox* TimeGroupBox;
    QGroupBox* TSOffGroupBox;
    QPoint energyPosition_;
    QPoint timePosition_;
};
