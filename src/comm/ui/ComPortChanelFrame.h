#pragma once

#include "comm/ComPortChanel.h"

#include <QComboBox>
#include <QWidget>

class FrameMessageLabel;
class QSpinBox;

// A port combo box whose list is read anew from the system each time it drops down.
class PortComboBox : public QComboBox {
public:
    explicit PortComboBox(QWidget* parent = nullptr);
    void showPopup() override;
    // Replaces the items with the serial ports found now, keeping the typed text.
    void RefillPorts();
};

// Edits the serial channel's settings in place: the next open uses what is shown.
// A speed that is not one of the port's speeds is refused with a message and not stored.
class TComPortChanelFrame : public QWidget {
public:
    static const char* const kSpeedMessage;

    explicit TComPortChanelFrame(TComPortChanelParams* params, QWidget* parent = nullptr);

    void LoadFromParams();

private:
    void ComPortComboChange(const QString& text);
    void PortSpeedChange(const QString& text);
    void NetAddressChange(int value);

    TComPortChanelParams* params_; // the channel's own settings; not owned
    PortComboBox* ComPortCombo;
    QComboBox* PortSpeed;
    QSpinBox* NetAddress;
    FrameMessageLabel* message_;
};
