#include "ComPortChanelFrame.h"

#include "FrameSupport.h"
#include "platform/ComPort.h"

#include <QFormLayout>
#include <QSpinBox>

const char* const TComPortChanelFrame::kSpeedMessage =
    "Скорость должна быть одной из: 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200";

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumContentsLength(14);
}

void PortComboBox::showPopup()
{
    RefillPorts();
    QComboBox::showPopup();
}

void PortComboBox::RefillPorts()
{
    const QString typed = currentText();
    const QSignalBlocker blocker(this);
    clear();
    QStringList ports;
    for (const auto& name : comprt::ComPort::ComList())
        ports << QString::fromStdString(name);
    ports.sort();
    addItems(ports);
    setEditText(typed);
}

TComPortChanelFrame::TComPortChanelFrame(TComPortChanelParams* params, QWidget* parent)
    : QWidget(parent), params_(params)
{
    setObjectName(QStringLiteral("ComPortChanelFrame"));
    ComPortCombo = new PortComboBox(this);
    ComPortCombo->setObjectName(QStringLiteral("ComPortCombo"));
    PortSpeed = new QComboBox(this);
    PortSpeed->setObjectName(QStringLiteral("PortSpeed"));
    PortSpeed->setEditable(true);
    PortSpeed->setInsertPolicy(QComboBox::NoInsert);
    PortSpeed->addItems({QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                         QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"),
                         QStringLiteral("115200")});
    PortSpeed->setCurrentText(QStringLiteral("19200"));
    NetAddress = new QSpinBox(this);
    NetAddress->setObjectName(QStringLiteral("NetAddress"));
    NetAddress->setRange(0, 254);
    message_ = new FrameMessageLabel(this);

    QFormLayout* layout = MakeFrameLayout(this);
    layout->addRow(QStringLiteral("Порт"), ComPortCombo);
    layout->addRow(QStringLiteral("Скорость"), PortSpeed);
    layout->addRow(QStringLiteral("Сетевой адрес"), NetAddress);
    layout->addRow(message_);

    LoadFromParams();

    connect(ComPortCombo, &QComboBox::currentTextChanged, this, &TComPortChanelFrame::ComPortComboChange);
    connect(PortSpeed, &QComboBox::currentTextChanged, this, &TComPortChanelFrame::PortSpeedChange);
    connect(NetAddress, &QSpinBox::valueChanged, this, &TComPortChanelFrame::NetAddressChange);
}

void TComPortChanelFrame::LoadFromParams()
{
    if (!params_)
        return;
    ComPortCombo->RefillPorts();
    ComPortCombo->setEditText(QString::fromStdString(params_->ComPortName));
    PortSpeed->setCurrentText(QString::number(params_->ComPortSpeed));
    NetAddress->setValue(params_->NetAddr);
}

void TComPortChanelFrame::ComPortComboChange(const QString& text)
{
    if (params_)
        params_->ComPortName = text.trimmed().toStdString();
}

void TComPortChanelFrame::PortSpeedChange(const QString& text)
{
    if (!params_)
        return;
    const auto speed = StrictNumber(text, 1, 115200);
    if (!speed || !comprt::ComPort::IsSupportedSpeed(*speed)) {
        message_->Show(QString::fromUtf8(kSpeedMessage));
        return;
    }
    message_->Show({});
    params_->ComPortSpeed = *speed;
}

void TComPortChanelFrame::NetAddressChange(int value)
{
    if (params_)
        params_->NetAddr = value;
}
