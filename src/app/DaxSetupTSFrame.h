#pragma once

#include "device/Daxcore.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPainter;
class QSpinBox;
class TSchemeCanvas;

// The 478 x 257 area of a setup page where the chosen scheme is drawn; what draws it is given
// by the page.
class TShemePaintBox : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 478;
    static constexpr int kHeight = 257;

    explicit TShemePaintBox(QWidget* parent = nullptr);

    // Draws into the box on every paint, after the sheet; none leaves the sheet empty.
    void SetOnPaint(std::function<void(QPainter&)> onPaint) { onPaint_ = std::move(onPaint); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void(QPainter&)> onPaint_;
};

// The configuration page of one heat system: its scheme, the scheme's heat-energy formula and
// drawing, the pipe counts of the free configuration (heat system 1 only), the contract power,
// the limits and the air, control and stop settings. The device frame holds two,
// ConfigurationTS1 and ConfigurationTS2; the bindings move the values to and from the setup
// image. The formula, the hot-water line, the pipe-count box and the drawing follow the scheme
// list and the pipe counts on every change, whether the user or a binding made it.
class TDax_SetupTSFrame : public QWidget {
    Q_OBJECT

public:
    // The free configuration has at most this many pipes in all.
    static constexpr int kMaxFreePipes = 5;

    explicit TDax_SetupTSFrame(QWidget* parent = nullptr);

    // 0 for heat system 1, 1 for heat system 2; set once by the device frame: fills the channel,
    // stop-mode and scheme lists (with the scheme groups' colours) and sets the group caption.
    void SetHeatSystem(int32_t heatSystem);
    int32_t HeatSystem() const { return heatSystem_; }

    // The scheme list's change: the formula, the hot-water line and the pipe-count box of the
    // chosen scheme, and a new drawing.
    void SchemeComboBoxChange();
    // A pipe count's change (and the free configuration's choice): keeps the counts within
    // five pipes without touching the supply count, composes the formula from the counts and
    // draws anew. Does nothing while the pipe-count box is hidden.
    void ConfigPipeChange();
    // Draws the chosen scheme from the page's own controls only: the heat system, the scheme
    // list and the pipe counts.
    void ShemePaintBoxPaint(TSchemeCanvas& canvas) const;

    // The record a drawing is made from: the page's heat system, scheme and pipe counts, no air
    // or control channel.
    HeatSystemConfig PreviewConfig() const;

    // The contract power in Gcal/h (energy unit 0) or GJ/h, the pressure limit in MPa (pressure
    // unit 0) or kgf/cm².
    void SetUnitCaptions(uint8_t energyUnit, uint8_t pressureUnit);

private:
    int32_t heatSystem_ = 0;
    QGroupBox* SetupTSGroupBox;
    QComboBox* SchemeComboBox;
    QLineEdit* QFormula;
    QLineEdit* QgvsFormula;
    QGroupBox* ConfigurationGroupBox;
    QSpinBox* DirectPipe;
    QSpinBox* ReversePipe;
    QSpinBox* SupplyPipe;
    TShemePaintBox* ShemePaintBox;
    QComboBox* TairChanel;
    QComboBox* TctrlChanel;
    QComboBox* StopModeTS;
};
