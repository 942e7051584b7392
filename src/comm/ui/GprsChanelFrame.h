#pragma once

#include "comm/GprsChanel.h"

#include <QFutureWatcher>
#include <QWidget>

#include <string>
#include <vector>

class FrameMessageLabel;
class QComboBox;
class QLineEdit;
class QPushButton;

// Edits the GPRS channel's settings in place: the next open uses what is shown. "Обновить"
// asks the relay server for the device IDs it knows on a worker of the thread pool, so the
// window stays responsive while the server is slow to answer.
class TGprsChanelFrame : public QWidget {
    Q_OBJECT

public:
    explicit TGprsChanelFrame(TGprsChanelParams* params, QWidget* parent = nullptr);
    ~TGprsChanelFrame() override;

    void LoadFromParams();
    // True while a device-ID refresh is under way.
    bool Refreshing() const;

signals:
    // The device-ID list was filled or emptied by a refresh.
    void DeviceListRefreshed();

private:
    void GPRSChanelChange(int index);
    void IPAddressChange(const QString& text);
    void IPDataPortChange(const QString& text);
    void DeviceIDChange(const QString& text);
    void GprsTimeoutChange(const QString& text);
    void RefreshIDClick();
    void RefreshFinished();
    void SetDeviceList(const QStringList& ids);
    void ShowMessages();

    TGprsChanelParams* params_; // the channel's own settings; not owned
    QComboBox* GPRSChanel;
    QComboBox* IPAddress;
    QLineEdit* IPDataPort;
    QComboBox* DeviceID;
    QLineEdit* GprsTimeout;
    QPushButton* RefreshID;
    FrameMessageLabel* message_;
    bool portRefused_ = false;
    bool timeoutRefused_ = false;
    // The device IDs of one refresh, or none when the query failed.
    QFutureWatcher<std::optional<QStringList>> refresh_;
};
