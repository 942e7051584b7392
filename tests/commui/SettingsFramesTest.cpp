#include "comm/ui/ComPortChanelFrame.h"
#include "comm/ui/GprsChanelFrame.h"
#include "comm/ui/TcpChanelFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <gtest/gtest.h>

#include "GprsRelayServer.h"

#include <chrono>

namespace {

template <typename T>
T* Child(QWidget& frame, const char* name)
{
    auto* child = frame.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QString MessageOf(QWidget& frame)
{
    auto* label = frame.findChild<QLabel*>(QStringLiteral("MessageLabel"));
    return label && !label->isHidden() ? label->text() : QString();
}

TEST(ComPortChanelFrame, ShowsAndEditsTheSettings)
{
    TComPortChanelParams params;
    params.ComPortName = "/dev/ttyUSB7";
    params.ComPortSpeed = 9600;
    params.NetAddr = 17;
    TComPortChanelFrame frame(&params);
    EXPECT_EQ(Child<QComboBox>(frame, "ComPortCombo")->currentText(), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_EQ(Child<QComboBox>(frame, "PortSpeed")->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(Child<QSpinBox>(frame, "NetAddress")->value(), 17);
    // Filling the frame changed nothing.
    EXPECT_EQ(params.ComPortSpeed, 9600);

    Child<QComboBox>(frame, "ComPortCombo")->setEditText(QStringLiteral("/dev/ttyS1"));
    Child<QComboBox>(frame, "PortSpeed")->setCurrentText(QStringLiteral("115200"));
    Child<QSpinBox>(frame, "NetAddress")->setValue(254);
    EXPECT_EQ(params.ComPortName, "/dev/ttyS1");
    EXPECT_EQ(params.ComPortSpeed, 115200);
    EXPECT_EQ(params.NetAddr, 254);
    Child<QSpinBox>(frame, "NetAddress")->setValue(300);
    EXPECT_EQ(params.NetAddr, 254);
    EXPECT_EQ(MessageOf(frame), QString());
}

TEST(ComPortChanelFrame, RefusesSpeedsThePortCannotUse)
{
    TComPortChanelParams params;
    TComPortChanelFrame frame(&params);
    auto* speed = Child<QComboBox>(frame, "PortSpeed");
    for (const char* text : {"abc", "19200x", "1000", "0", "-9600", "", "99999999999"}) {
        speed->setCurrentText(QString::fromLatin1(text));
        EXPECT_EQ(params.ComPortSpeed, 19200) << text;
        EXPECT_EQ(MessageOf(frame), QString::fromUtf8(TComPortChanelFrame::kSpeedMessage)) << text;
    }
    speed->setCurrentText(QStringLiteral(" 4800 "));
    EXPECT_EQ(params.ComPortSpeed, 4800);
    EXPECT_EQ(MessageOf(frame), QString());
}

TEST(TcpChanelFrame, ShowsAndEditsTheSettings)
{
    TTcpChanelParams params;
    params.TcpAddress = "192.0.2.10";
    params.TcpPort = 4002;
    params.NetAddr = 3;
    params.TcpTimeout = 1500;
    params.IPAddressList = {"192.0.2.10", "gateway.local", "10.0.0.1"};
    TTcpChanelFrame frame(&params);
    auto* address = Child<QComboBox>(frame, "IP_Address");
    EXPECT_EQ(address->currentText(), QStringLiteral("192.0.2.10"));
    ASSERT_EQ(address->count(), 3);
    EXPECT_EQ(address->itemText(0), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(Child<QLineEdit>(frame, "IP_Port")->text(), QStringLiteral("4002"));
    EXPECT_EQ(Child<QLineEdit>(frame, "TcpTimeout")->text(), QStringLiteral("1500"));
    EXPECT_EQ(Child<QSpinBox>(frame, "NetAddress")->value(), 3);

    address->setEditText(QStringLiteral("gateway.local"));
    Child<QLineEdit>(frame, "IP_Port")->setText(QStringLiteral("502"));
    Child<QLineEdit>(frame, "TcpTimeout")->setText(QStringLiteral("250"));
    Child<QSpinBox>(frame, "NetAddress")->setValue(9);
    EXPECT_EQ(params.TcpAddress, "gateway.local");
    EXPECT_EQ(params.TcpPort, 502);
    EXPECT_EQ(params.TcpTimeout, 250);
    EXPECT_EQ(params.NetAddr, 9);
}

TEST(TcpChanelFrame, RefusesPortsAndTimeOutsOutOfRange)
{
    TTcpChanelParams params;
    TTcpChanelFrame frame(&params);
    auto* port = Child<QLineEdit>(frame, "IP_Port");
    for (const char* text : {"0", "65536", "80a", "", "-1"}) {
        port->setText(QString::fromLatin1(text));
        EXPECT_EQ(params.TcpPort, 4001) << text;
        EXPECT_EQ(MessageOf(frame), QString::fromUtf8(TTcpChanelFrame::kPortMessage)) << text;
    }
    Child<QLineEdit>(frame, "TcpTimeout")->setText(QStringLiteral("soon"));
    EXPECT_EQ(params.TcpTimeout, 1000);
    EXPECT_EQ(MessageOf(frame), QString::fromUtf8(TTcpChanelFrame::kPortMessage) + QLatin1Char('\n') +
                                    QString::fromUtf8(TTcpChanelFrame::kTimeoutMessage));
    port->setText(QStringLiteral("65535"));
    Child<QLineEdit>(frame, "TcpTimeout")->setText(QStringLiteral("0"));
    EXPECT_EQ(params.TcpPort, 65535);
    EXPECT_EQ(params.TcpTimeout, 0);
    EXPECT_EQ(MessageOf(frame), QString());
}

TEST(GprsChanelFrame, ShowsAndEditsTheSettings)
{
    TGprsChanelParams params;
    params.GprsChanelType = 1;
    params.IPAddress = "relay.example";
    params.TcpUdpPort = 5101;
    params.DeviceID = "DAX0001";
    params.ChanelTimeout = 7000;
    params.IPAddressList = {"relay.example", "10.1.1.1"};
    TGprsChanelFrame frame(&params);
    EXPECT_EQ(Child<QComboBox>(frame, "GPRSChanel")->currentIndex(), 1);
    EXPECT_EQ(Child<QComboBox>(frame, "IPAddress")->currentText(), QStringLiteral("relay.example"));
    EXPECT_EQ(Child<QComboBox>(frame, "IPAddress")->count(), 2);
    EXPECT_EQ(Child<QLineEdit>(frame, "IPDataPort")->text(), QStringLiteral("5101"));
    EXPECT_EQ(Child<QComboBox>(frame, "DeviceID")->currentText(), QStringLiteral("DAX0001"));
    EXPECT_EQ(Child<QLineEdit>(frame, "GprsTimeout")->text(), QStringLiteral("7000"));

    Child<QComboBox>(frame, "GPRSChanel")->setCurrentIndex(0);
    Child<QComboBox>(frame, "IPAddress")->setEditText(QStringLiteral("10.1.1.1"));
    Child<QLineEdit>(frame, "IPDataPort")->setText(QStringLiteral("5100"));
    Child<QComboBox>(frame, "DeviceID")->setEditText(QStringLiteral("ПРИБОР-7"));
    Child<QLineEdit>(frame, "GprsTimeout")->setText(QStringLiteral("6000"));
    EXPECT_EQ(params.GprsChanelType, 0);
    EXPECT_EQ(params.IPAddress, "10.1.1.1");
    EXPECT_EQ(params.TcpUdpPort, 5100);
    EXPECT_EQ(params.DeviceID, "ПРИБОР-7");
    EXPECT_EQ(params.ChanelTimeout, 6000);

    Child<QLineEdit>(frame, "IPDataPort")->setText(QStringLiteral("порт"));
    EXPECT_EQ(params.TcpUdpPort, 5100);
    EXPECT_EQ(MessageOf(frame), QString::fromUtf8(TTcpChanelFrame::kPortMessage));
}

// Runs the event loop until the frame reports a finished refresh, at most a few seconds.
bool WaitForRefresh(bool& refreshed)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!refreshed && std::chrono::steady_clock::now() < deadline)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return refreshed;
}

QStringList Items(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

TEST(GprsChanelFrame, RefreshListsTheRelayDeviceIds)
{
    daxrelay::RelayOptions options;
    options.devices = {"DAX0002", "DAX0001", "ZZ9"};
    daxrelay::GprsRelayServer relay(options, [](std::span<const uint8_t>) { return std::nullopt; });
    ASSERT_TRUE(relay.Start());

    TGprsChanelParams params;
    TGprsChanelFrame frame(&params);
    Child<QComboBox>(frame, "IPAddress")->setEditText(QStringLiteral("127.0.0.1"));
    Child<QLineEdit>(frame, "IPDataPort")->setText(QString::number(relay.Port()));
    Child<QComboBox>(frame, "DeviceID")->setEditText(QStringLiteral("typed"));
    bool refreshed = false;
    QObject::connect(&frame, &TGprsChanelFrame::DeviceListRefreshed, [&] { refreshed = true; });

    Child<QPushButton>(frame, "RefreshID")->click();
    // The query runs beside the event loop: the window is not frozen while it waits.
    EXPECT_TRUE(frame.Refreshing() || refreshed);
    ASSERT_TRUE(WaitForRefresh(refreshed));
    auto* ids = Child<QComboBox>(frame, "DeviceID");
    EXPECT_EQ(Items(ids), (QStringList{QStringLiteral("DAX0001"), QStringLiteral("DAX0002"), QStringLiteral("ZZ9")}));
    EXPECT_EQ(ids->currentText(), QStringLiteral("typed"));
    EXPECT_EQ(params.DeviceID, "typed");

    // A server that cannot be reached empties the list.
    relay.Stop();
    refreshed = false;
    Child<QPushButton>(frame, "RefreshID")->click();
    ASSERT_TRUE(WaitForRefresh(refreshed));
    EXPECT_EQ(ids->count(), 0);
}

TEST(GprsChanelFrame, RealIpEmptiesTheListWithoutAskingAnyone)
{
    TGprsChanelParams params;
    params.GprsChanelType = 1;
    TGprsChanelFrame frame(&params);
    auto* ids = Child<QComboBox>(frame, "DeviceID");
    ids->addItem(QStringLiteral("OLD"));
    bool refreshed = false;
    QObject::connect(&frame, &TGprsChanelFrame::DeviceListRefreshed, [&] { refreshed = true; });
    Child<QPushButton>(frame, "RefreshID")->click();
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(ids->count(), 0);
}

} // namespace
