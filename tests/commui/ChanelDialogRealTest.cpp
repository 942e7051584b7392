// The channel dialog over the real channel kinds and their settings frames.
#include "comm/ui/ChanelSetupForm.h"

#include "Servers.h"
#include "Simulator.h"
#include "comm/GprsChanel.h"
#include "comm/TcpChanel.h"
#include "platform/RegistryStore.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

void Pick(TChanelSetupFrame& dialog, int index)
{
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

TEST(ChanelDialogWithRealKinds, EachKindShowsItsFrameAndOkTakesIt)
{
    TChanelSetupFrame dialog(DefaultChanelKinds());
    ASSERT_NE(dialog.Chanel(), nullptr);
    EXPECT_EQ(dialog.Chanel()->Kind(), ChanelKind::ComPort);
    EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("ComPortChanelFrame")), nullptr);

    Pick(dialog, 1);
    EXPECT_EQ(dialog.ShownChanel()->Kind(), ChanelKind::Tcp);
    EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("TcpChanelFrame")), nullptr);
    EXPECT_EQ(dialog.findChild<QWidget*>(QStringLiteral("ComPortChanelFrame")), nullptr);

    Pick(dialog, 2);
    EXPECT_EQ(dialog.ShownChanel()->Kind(), ChanelKind::Gprs);
    EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("GprsChanelFrame")), nullptr);

    dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    EXPECT_EQ(dialog.Chanel()->Kind(), ChanelKind::Gprs);
    EXPECT_EQ(platform::RegistryStore::CurrentUser().ReadInteger(TChanelSetupFrame::kRegistryKey,
                                                                 TChanelSetupFrame::kCurentChanelValue, -1),
              2);
}

TEST(ChanelDialogWithRealKinds, AnOpenTcpChannelLocksTheDialog)
{
    daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax01), 1);
    daxsim::TcpServer server(simulator, "127.0.0.1", 0);
    server.Start();

    platform::RegistryStore::CurrentUser().WriteInteger(TChanelSetupFrame::kRegistryKey,
                                                        TChanelSetupFrame::kCurentChanelValue, 1);
    TChanelSetupFrame dialog(DefaultChanelKinds());
    auto* tcp = dynamic_cast<TcpChanelHelper*>(dialog.Chanel());
    ASSERT_NE(tcp, nullptr);
    tcp->Params().TcpAddress = "127.0.0.1";
    tcp->Params().TcpPort = server.Port();
    tcp->Open(nullptr);
    ASSERT_TRUE(tcp->IsOpen());

    dialog.show();
    QApplication::processEvents();
    EXPECT_FALSE(dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"))->isEnabled());
    EXPECT_FALSE(dialog.findChild<QWidget*>(QStringLiteral("ParamsPanel"))->isEnabled());
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->isEnabled());
    dialog.hide();

    tcp->Close(nullptr);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.findChild<QComboBox*>(QStringLiteral("ChanelComboBox"))->isEnabled());
    dialog.hide();
    server.Stop();
}

} // namespace

namespace {

// Every label and control of the dialog gets at least the room it asks for, whichever kind is
// shown. With DAX_SCREENSHOT_DIR set, each layout is also saved as a picture to look at.
TEST(ChanelDialogWithRealKinds, NothingIsClippedInAnyKind)
{
    TChanelSetupFrame dialog(DefaultChanelKinds());
    for (int kind = 0; kind < 3; ++kind) {
        Pick(dialog, kind);
        dialog.show();
        QApplication::processEvents();
        dialog.adjustSize();
        QApplication::processEvents();
        for (QWidget* widget : dialog.findChildren<QWidget*>()) {
            if (!widget->isVisible() || qobject_cast<QComboBox*>(widget->parentWidget()) ||
                qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
                continue;
            const QSize hint = widget->minimumSizeHint();
            EXPECT_GE(widget->width(), hint.width()) << "kind " << kind << ": " << widget->metaObject()->className()
                                                     << " " << widget->objectName().toStdString();
            EXPECT_GE(widget->height(), hint.height()) << "kind " << kind << ": " << widget->objectName().toStdString();
        }
        if (const QByteArray dir = qgetenv("DAX_SCREENSHOT_DIR"); !dir.isEmpty())
            dialog.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/chanel-dialog-%1.png").arg(kind));
        dialog.hide();
    }
    dialog.reject();
}

} // namespace
