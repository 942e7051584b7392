#pragma once

#include "comm/TcpChanel.h"

#include <QWidget>

class FrameMessageLabel;
class QComboBox;
class QLineEdit;
class QSpinBox;

// Edits the TCP channel's settings in place: the next open uses what is shown. A port or a
// time-out that is not a number in its range is refused with a message and not stored.
class TTcpChanelFrame : public QWidget {
public:
    static const char* const kPortMessage;
    static const char* const kTimeoutMessage;

    explicit TTcpChanelFrame(TTcpChanelParams* params, QWidget* parent = nullptr);

    void LoadFromParams();

private:
    void IP_AddressChange(const QString& text);
    void IP_PortChange(const QString& text);
    void NetAddressChange(int value);
    void TcpTimeoutChange(const QString& text);
    void ShowMessages();

    TTcpChanelParams* params_; // the channel's own settings; not owned
    QComboBox* IP_Address;
    QLineEdit* IP_Port;
    QSpinBox* NetAddress;
    QLineEdit* TcpTimeout;
    FrameMessageLabel* message_;
    bool portRefused_ = false;
    bool timeoutRefused_ = false;
};
