#pragma once

#include "RelayServer.h"
#include "Servers.h"
#include "Simulator.h"

#include "comm/ComPortChanel.h"
#include "comm/GprsChanel.h"
#include "comm/TcpChanel.h"

#include <memory>
#include <ostream>

namespace testsupport {

// The three kinds of line the configurator reaches an instrument over.
enum class Line { Serial, Tcp, Gprs };

inline const char* LineText(Line line)
{
    switch (line) {
    case Line::Serial: return "SerialOverPty";
    case Line::Tcp: return "Tcp";
    case Line::Gprs: return "GprsThroughRelay";
    }
    return "?";
}

inline void PrintTo(Line line, std::ostream* out)
{
    *out << LineText(line);
}

struct LineSettings {
    int32_t netAddr = 0;                 // serial and TCP; the relay always addresses 0
    int32_t tcpTimeoutMs = 0;            // the TCP channel's own time-out (its setting; 1000 by default)
    int32_t gprsChanelTimeoutMs = 300;
    GprsTimings gprsTimings{};
    std::string deviceId = "DAX0001";    // the relay knows this one
};

// A simulated instrument served over one kind of line (a pseudo-terminal, a loopback TCP port
// or the fake relay server), and the configurator's channel of that kind pointed at it, not
// yet opened and storing no settings.
class SimulatorLine {
public:
    SimulatorLine(daxsim::Simulator& simulator, Line line, const LineSettings& settings = {})
    {
        switch (line) {
        case Line::Serial: {
            pty_ = std::make_unique<daxsim::PtyServer>(simulator);
            pty_->Start();
            auto chanel = std::make_unique<ComPortChanelHelper>(false);
            chanel->Params().ComPortName = pty_->SlavePath();
            chanel->Params().NetAddr = settings.netAddr;
            chanel_ = std::move(chanel);
            break;
        }
        case Line::Tcp: {
            tcp_ = std::make_unique<daxsim::TcpServer>(simulator, "127.0.0.1", 0);
            tcp_->Start();
            auto chanel = std::make_unique<TcpChanelHelper>(false);
            chanel->Params().TcpAddress = "127.0.0.1";
            chanel->Params().TcpPort = tcp_->Port();
            chanel->Params().TcpTimeout = settings.tcpTimeoutMs;
            chanel->Params().NetAddr = settings.netAddr;
            chanel_ = std::move(chanel);
            break;
        }
        case Line::Gprs: {
            daxrelay::RelayOptions options;
            options.devices = {settings.deviceId};
            relay_ = std::make_unique<daxsim::RelayServer>(simulator, options, "127.0.0.1", 0);
            relay_->Start();
            auto chanel = std::make_unique<GprsChanelHelper>(settings.gprsTimings, false);
            chanel->Params().IPAddress = "127.0.0.1";
            chanel->Params().TcpUdpPort = relay_->Port();
            chanel->Params().DeviceID = settings.deviceId;
            chanel->Params().ChanelTimeout = settings.gprsChanelTimeoutMs;
            chanel_ = std::move(chanel);
            break;
        }
        }
    }
    ~SimulatorLine()
    {
        chanel_.reset();
        StopServer();
    }
    SimulatorLine(const SimulatorLine&) = delete;
    SimulatorLine& operator=(const SimulatorLine&) = delete;

    TChanelHelperBase& Chanel() { return *chanel_; }
    // The server goes away as when the simulator is stopped; the channel stays.
    void StopServer()
    {
        pty_.reset();
        tcp_.reset();
        relay_.reset();
    }

private:
    std::unique_ptr<daxsim::PtyServer> pty_;
    std::unique_ptr<daxsim::TcpServer> tcp_;
    std::unique_ptr<daxsim::RelayServer> relay_;
    std::unique_ptr<TChanelHelperBase> chanel_;
};

} // namespace testsupport
