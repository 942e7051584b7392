#include "ChanelSetupForm.h"
#include "ComPortChanelFrame.h"
#include "GprsChanelFrame.h"
#include "TcpChanelFrame.h"

std::vector<ChanelKindEntry> DefaultChanelKinds()
{
    std::vector<ChanelKindEntry> kinds;
    kinds.push_back({QStringLiteral("COM порт (RS232 / RS485)"),
                     [] { return std::make_unique<ComPortChanelHelper>(); },
                     [](TChanelHelperBase& chanel, QWidget* parent) -> QWidget* {
                         return new TComPortChanelFrame(&static_cast<ComPortChanelHelper&>(chanel).Params(), parent);
                     }});
    kinds.push_back({QStringLiteral("TCP / IP (прозрачный канал)"),
                     [] { return std::make_unique<TcpChanelHelper>(); },
                     [](TChanelHelperBase& chanel, QWidget* parent) -> QWidget* {
                         return new TTcpChanelFrame(&static_cast<TcpChanelHelper&>(chanel).Params(), parent);
                     }});
    kinds.push_back({QStringLiteral("GPRS сервер"),
                     [] { return std::make_unique<GprsChanelHelper>(); },
                     [](TChanelHelperBase& chanel, QWidget* parent) -> QWidget* {
                         return new TGprsChanelFrame(&static_cast<GprsChanelHelper&>(chanel).Params(), parent);
                     }});
    return kinds;
}
