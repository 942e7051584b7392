#include "GprsChanelFrame.h"

#include "controls/ControlHelpers.h"
#include "FrameSupport.h"
#include "TcpChanelFrame.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr int32_t kMaxTimeoutMs = 600000;

std::optional<QStringList> QueryIds(std::string address, int32_t port)
{
    std::vector<GPRS_UDP_CHANEL_DATA> records;
    if (!QueryDeviceList(address, port, records))
        return std::nullopt;
    QStringList ids;
    for (const auto& record : records)
        ids << QString::fromStdString(record.DeviceId());
    return ids;
}
} // namespace

TGprsChanelFrame::TGprsChanelFrame(TGprsChanelParams* params, QWidget* parent) : QWidget(parent), params_(params)
{
    setObjectName(QStringLiteral("GprsChanelFrame"));
    GPRSChanel = new QComboBox(this);
    GPRSChanel->setObjectName(QStringLiteral("GPRSChanel"));
    GPRSChanel->addItems({QStringLiteral("GPRS сервер"), QStringLiteral("Real IP")});
    IPAddress = new QComboBox(this);
    IPAddress->setObjectName(QStringLiteral("IPAddress"));
    IPAddress->setEditable(true);
    IPAddress->setInsertPolicy(QComboBox::NoInsert);
    IPAddress->setMinimumContentsLength(18);
    IPDataPort = new QLineEdit(this);
    IPDataPort->setObjectName(QStringLiteral("IPDataPort"));
    DeviceID = new QComboBox(this);
    DeviceID->setObjectName(QStringLiteral("DeviceID"));
    DeviceID->setEditable(true);
    DeviceID->setInsertPolicy(QComboBox::NoInsert);
    DeviceID->setMinimumContentsLength(16);
    RefreshID = new QPushButton(QStringLiteral("Обновить"), this);
    RefreshID->setObjectName(QStringLiteral("RefreshID"));
    RefreshID->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    GprsTimeout = new QLineEdit(this);
    GprsTimeout->setObjectName(QStringLiteral("GprsTimeout"));
    message_ = new FrameMessageLabel(this);

    auto* idRow = new QHBoxLayout;
    idRow->addWidget(DeviceID, 1);
    idRow->addWidget(RefreshID);
    QFormLayout* layout = MakeFrameLayout(this);
    layout->addRow(QStringLiteral("Канал GPRS"), GPRSChanel);
    layout->addRow(QStringLiteral("IP адрес"), IPAddress);
    layout->addRow(QStringLiteral("UDP/TCP порт"), IPDataPort);
    layout->addRow(QStringLiteral("ID прибора"), idRow);
    layout->addRow(QStringLiteral("Таймаут канала, мс"), GprsTimeout);
    layout->addRow(message_);

    LoadFromParams();

    connect(GPRSChanel, &QComboBox::currentIndexChanged, this, &TGprsChanelFrame::GPRSChanelChange);
    connect(IPAddress, &QComboBox::currentTextChanged, this, &TGprsChanelFrame::IPAddressChange);
    connect(IPDataPort, &QLineEdit::textChanged, this, &TGprsChanelFrame::IPDataPortChange);
    connect(DeviceID, &QComboBox::currentTextChanged, this, &TGprsChanelFrame::DeviceIDChange);
    connect(GprsTimeout, &QLineEdit::textChanged, this, &TGprsChanelFrame::GprsTimeoutChange);
    connect(RefreshID, &QPushButton::clicked, this, &TGprsChanelFrame::RefreshIDClick);
    connect(&refresh_, &QFutureWatcher<std::optional<QStringList>>::finished, this,
            &TGprsChanelFrame::RefreshFinished);
}

TGprsChanelFrame::~TGprsChanelFrame()
{
    // A query still under way ends by its own bounded waits; its result is dropped.
    refresh_.disconnect(this);
}

void TGprsChanelFrame::LoadFromParams()
{
    if (!params_)
        return;
    SetComboIndex(GPRSChanel, params_->GprsChanelType);
    QStringList recent;
    for (const auto& address : params_->IPAddressList)
        recent << QString::fromStdString(address);
    recent.sort(Qt::CaseInsensitive);
    IPAddress->clear();
    IPAddress->addItems(recent);
    IPAddress->setEditText(QString::fromStdString(params_->IPAddress));
    IPDataPort->setText(QString::number(params_->TcpUdpPort));
    DeviceID->setEditText(QString::fromStdString(params_->DeviceID));
    GprsTimeout->setText(QString::number(params_->ChanelTimeout));
}

bool TGprsChanelFrame::Refreshing() const
{
    return refresh_.isRunning();
}

void TGprsChanelFrame::GPRSChanelChange(int)
{
    if (params_)
        params_->GprsChanelType = GetComboIndex(GPRSChanel);
}

void TGprsChanelFrame::IPAddressChange(const QString& text)
{
    if (params_)
        params_->IPAddress = text.trimmed().toStdString();
}

void TGprsChanelFrame::IPDataPortChange(const QString& text)
{
    if (!params_)
        return;
    const auto port = StrictNumber(text, 1, 65535);
    portRefused_ = !port;
    if (port)
        params_->TcpUdpPort = *port;
    ShowMessages();
}

void TGprsChanelFrame::DeviceIDChange(const QString& text)
{
    if (params_)
        params_->DeviceID = text.toStdString();
}

void TGprsChanelFrame::GprsTimeoutChange(const QString& text)
{
    if (!params_)
        return;
    const auto timeout = StrictNumber(text, 0, kMaxTimeoutMs);
    timeoutRefused_ = !timeout;
    if (timeout)
        params_->ChanelTimeout = *timeout;
    ShowMessages();
}

void TGprsChanelFrame::ShowMessages()
{
    QStringList texts;
    if (portRefused_)
        texts << QString::fromUtf8(TTcpChanelFrame::kPortMessage);
    if (timeoutRefused_)
        texts << QString::fromUtf8(TTcpChanelFrame::kTimeoutMessage);
    message_->Show(texts.join(QLatin1Char('\n')));
}

void TGprsChanelFrame::RefreshIDClick()
{
    if (refresh_.isRunning())
        return;
    // "Real IP" has no relay server to ask.
    if (GetComboIndex(GPRSChanel) != 0) {
        SetDeviceList({});
        emit DeviceListRefreshed();
        return;
    }
    // The frame's own texts, not the saved settings: the user may not have opened yet.
    const auto port = StrictNumber(IPDataPort->text(), 1, 65535);
    if (!port)
        return;
    RefreshID->setEnabled(false);
    refresh_.setFuture(QtConcurrent::run(QueryIds, IPAddress->currentText().trimmed().toStdString(), *port));
}

void TGprsChanelFrame::RefreshFinished()
{
    RefreshID->setEnabled(true);
    const auto ids = refresh_.result();
    SetDeviceList(ids ? *ids : QStringList());
    emit DeviceListRefreshed();
}

void TGprsChanelFrame::SetDeviceList(const QStringList& ids)
{
    const QString typed = DeviceID->currentText();
    const QSignalBlocker blocker(DeviceID);
    QStringList sorted = ids;
    sorted.sort();
    DeviceID->clear();
    DeviceID->addItems(sorted);
    DeviceID->setEditText(typed);
}
