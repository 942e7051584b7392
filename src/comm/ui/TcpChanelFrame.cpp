#include "TcpChanelFrame.h"

#include "FrameSupport.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

const char* const TTcpChanelFrame::kPortMessage = "Порт должен быть числом от 1 до 65535";
const char* const TTcpChanelFrame::kTimeoutMessage = "Таймаут канала должен быть числом от 0 до 600000 мс";

namespace {
constexpr int32_t kMaxTimeoutMs = 600000;
}

TTcpChanelFrame::TTcpChanelFrame(TTcpChanelParams* params, QWidget* parent) : QWidget(parent), params_(params)
{
    setObjectName(QStringLiteral("TcpChanelFrame"));
    IP_Address = new QComboBox(this);
    IP_Address->setObjectName(QStringLiteral("IP_Address"));
    IP_Address->setEditable(true);
    IP_Address->setInsertPolicy(QComboBox::NoInsert);
    IP_Address->setMinimumContentsLength(18);
    IP_Port = new QLineEdit(this);
    IP_Port->setObjectName(QStringLiteral("IP_Port"));
    NetAddress = new QSpinBox(this);
    NetAddress->setObjectName(QStringLiteral("NetAddress"));
    NetAddress->setRange(0, 254);
    TcpTimeout = new QLineEdit(this);
    TcpTimeout->setObjectName(QStringLiteral("TcpTimeout"));
    message_ = new FrameMessageLabel(this);

    QFormLayout* layout = MakeFrameLayout(this);
    layout->addRow(QStringLiteral("IP адрес"), IP_Address);
    layout->addRow(QStringLiteral("Порт"), IP_Port);
    layout->addRow(QStringLiteral("Сетевой адрес"), NetAddress);
    layout->addRow(QStringLiteral("Таймаут канала, мс"), TcpTimeout);
    layout->addRow(message_);

    LoadFromParams();

    connect(IP_Address, &QComboBox::currentTextChanged, this, &TTcpChanelFrame::IP_AddressChange);
    connect(IP_Port, &QLineEdit::textChanged, this, &TTcpChanelFrame::IP_PortChange);
    connect(NetAddress, &QSpinBox::valueChanged, this, &TTcpChanelFrame::NetAddressChange);
    connect(TcpTimeout, &QLineEdit::textChanged, this, &TTcpChanelFrame::TcpTimeoutChange);
}

void TTcpChanelFrame::LoadFromParams()
{
    if (!params_)
        return;
    QStringList recent;
    for (const auto& address : params_->IPAddressList)
        recent << QString::fromStdString(address);
    recent.sort(Qt::CaseInsensitive);
    IP_Address->clear();
    IP_Address->addItems(recent);
    IP_Address->setEditText(QString::fromStdString(params_->TcpAddress));
    IP_Port->setText(QString::number(params_->TcpPort));
    NetAddress->setValue(params_->NetAddr);
    TcpTimeout->setText(QString::number(params_->TcpTimeout));
}

void TTcpChanelFrame::IP_AddressChange(const QString& text)
{
    if (params_)
        params_->TcpAddress = text.trimmed().toStdString();
}

void TTcpChanelFrame::IP_PortChange(const QString& text)
{
    if (!params_)
        return;
    const auto port = StrictNumber(text, 1, 65535);
    portRefused_ = !port;
    if (port)
        params_->TcpPort = *port;
    ShowMessages();
}

void TTcpChanelFrame::NetAddressChange(int value)
{
    if (params_)
        params_->NetAddr = value;
}

void TTcpChanelFrame::TcpTimeoutChange(const QString& text)
{
    if (!params_)
        return;
    const auto timeout = StrictNumber(text, 0, kMaxTimeoutMs);
    timeoutRefused_ = !timeout;
    if (timeout)
        params_->TcpTimeout = *timeout;
    ShowMessages();
}

void TTcpChanelFrame::ShowMessages()
{
    QStringList texts;
    if (portRefused_)
        texts << QString::fromUtf8(kPortMessage);
    if (timeoutRefused_)
        texts << QString::fromUtf8(kTimeoutMessage);
    message_->Show(texts.join(QLatin1Char('\n')));
}
