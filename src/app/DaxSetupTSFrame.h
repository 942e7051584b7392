#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPainter;

// The 478 x 257 area of a setup page where the chosen scheme is drawn; what draws it is given
// by the page.
class TShemePaintBox : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 478;
    static constexpr int kHeight = 257;

    explicit TShemePaintBox(QWidget* parent = nullptr);

    // Draws into the box on every paint; none leaves the box empty.
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
// image.
class TDax_SetupTSFrame : public QWidget {
    Q_OBJECT

public:
    explicit TDax_SetupTSFrame(QWidget* parent = nullptr);

    // 0 for heat system 1, 1 for heat system 2; set once by the device frame: fills the channel,
    // stop-mode and scheme lists and sets the group caption.
    void SetHeatSystem(int32_t heatSystem);
    int32_t HeatSystem() const { return heatSystem_; }

private:
    int32_t heatSystem_ = 0;
    QGroupBox* SetupTSGroupBox;
    QComboBox* SchemeComboBox;
    QComboBox* TairChanel;
    QComboBox* TctrlChanel;
    QComboBox* StopModeTS;
};
