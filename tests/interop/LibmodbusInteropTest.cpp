// Our serial and TCP channels against libmodbus, a Modbus implementation no one here wrote,
// behind socat: a pseudo-terminal pair for the serial channel, a TCP listener for the TCP one.
#include "comm/ComPortChanel.h"
#include "comm/Crc16.h"
#include "comm/Modbus.h"
#include "comm/TcpChanel.h"

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using testsupport::Subprocess;

const std::string kServer = MODBUS_RTU_SERVER_PATH;

std::filesystem::path Home()
{
    return std::getenv("DAXCONFIG_HOME");
}

bool WaitForPath(const std::filesystem::path& path)
{
    for (int i = 0; i < 200; ++i) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return false;
}

// The 25-byte answer to a read of 10 holding registers from 40001 at address 1, built here
// from the register values the server holds.
Bytes ExpectedTenRegisters()
{
    Bytes answer = {0x01, 0x03, 0x14};
    for (int i = 0; i < 10; ++i) {
        answer.push_back(0x10);
        answer.push_back(static_cast<uint8_t>(i));
    }
    const uint16_t crc = Crc16Modbus(answer);
    answer.push_back(static_cast<uint8_t>(crc & 0xFF));
    answer.push_back(static_cast<uint8_t>(crc >> 8));
    return answer;
}

void ReadAndCheck(TChanelHelperBase& chanel)
{
    chanel.SetTimeouts(500, 50, nullptr);
    Bytes request(8);
    size_t length = 0;
    ModbusBuildReadRegisters(request, length, 1, 40001, 10);
    Bytes answer(25);
    ASSERT_EQ(chanel.Transact(request, answer, nullptr), 25);
    EXPECT_EQ(answer, ExpectedTenRegisters());

    ModbusBuildReadRegisters(request, length, 1, 40001, 128);
    Bytes tooMany(2 * 128 + 5);
    const int32_t received = chanel.Transact(request, tooMany, nullptr);
    ASSERT_EQ(received, 5);
    EXPECT_EQ(tooMany[0], 0x01);
    EXPECT_EQ(tooMany[1], 0x83);
    EXPECT_EQ(ModbusExceptionText(tooMany[2]), "Недопустимое значение в поле данных");
    EXPECT_EQ(Crc16Modbus(std::span<const uint8_t>(tooMany).first(3)), tooMany[3] | (tooMany[4] << 8));
}

TEST(LibmodbusInterop, SerialChannelBehindAPseudoTerminalPair)
{
    const auto server = Home() / "server-tty";
    const auto ours = Home() / "our-tty";
    Subprocess socat({"socat", "pty,raw,echo=0,link=" + server.string(), "pty,raw,echo=0,link=" + ours.string()});
    ASSERT_TRUE(socat.Started());
    ASSERT_TRUE(WaitForPath(server) && WaitForPath(ours));
    Subprocess modbus({kServer, server.string()});
    ASSERT_EQ(modbus.ReadLine(seconds(5)), "ready");

    ComPortChanelHelper chanel(false);
    chanel.Params().ComPortName = ours.string();
    chanel.Params().ComPortSpeed = 19200;
    chanel.Open(nullptr);
    ReadAndCheck(chanel);
}

TEST(LibmodbusInterop, TcpChannelBehindATcpListener)
{
    TSyncSocket probe(100, 0);
    ASSERT_TRUE(probe.Open(0, "127.0.0.1"));
    const int32_t port = probe.LocalPort();
    probe.Close();
    const auto server = Home() / "server-tty";
    Subprocess socat({"socat", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr",
                      "pty,raw,echo=0,link=" + server.string()});
    ASSERT_TRUE(socat.Started());
    // socat makes the pseudo-terminal when a connection comes; the server opens it then.
    TcpChanelHelper chanel(false);
    chanel.Params().TcpAddress = "127.0.0.1";
    chanel.Params().TcpPort = port;
    chanel.Params().TcpTimeout = 0;
    bool connected = false;
    for (int i = 0; i < 200 && !connected; ++i) {
        try {
            chanel.Open(nullptr);
            connected = true;
        } catch (...) {
            std::this_thread::sleep_for(milliseconds(10));
        }
    }
    ASSERT_TRUE(connected);
    ASSERT_TRUE(WaitForPath(server));
    Subprocess modbus({kServer, server.string()});
    ASSERT_EQ(modbus.ReadLine(seconds(5)), "ready");
    ReadAndCheck(chanel);
}

} // namespace
