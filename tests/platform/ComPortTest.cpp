#include "platform/ComPort.h"
#include "platform/Exceptions.h"

#include "Failures.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using testsupport::MessageOf;
using testsupport::PtyPair;

class ComPortOnPty : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty_.Ok());
        port_.Open(pty_.SlavePath(), 19200, 1000);
        port_.SetTimeouts({30, 150, 150});
    }
    void TearDown() override
    {
        if (player_.joinable())
            player_.join();
    }

    PtyPair pty_;
    comprt::ComPort port_;
    std::thread player_;
};

TEST_F(ComPortOnPty, WritesTheExactBytes)
{
    const Bytes request = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
    port_.Write(request);
    EXPECT_EQ(pty_.Read(request.size(), milliseconds(200)), request);
}

struct ReadCase {
    const char* name;
    std::vector<std::pair<int, Bytes>> chunks;   // delay before each chunk, chunk
    size_t wanted;
    uint32_t expected;
};

TEST_F(ComPortOnPty, ReadTable)
{
    const ReadCase cases[] = {
        {"answer at once", {{0, {1, 2, 3, 4, 5, 6, 7, 8}}}, 8, 8},
        {"two chunks within the gap", {{0, {1, 2, 3}}, {10, {4, 5, 6, 7, 8}}}, 8, 8},
        {"short answer after a gap", {{0, {1, 2, 3}}, {120, {4, 5, 6, 7, 8}}}, 8, 3},
        {"more than wanted stays unread", {{0, {1, 2, 3, 4, 5, 6, 7, 8}}}, 4, 4},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        port_.PurgeReceive();
        player_ = std::thread([&] {
            for (const auto& [delay, chunk] : c.chunks) {
                std::this_thread::sleep_for(milliseconds(delay));
                pty_.Write(chunk);
            }
        });
        Bytes buffer(c.wanted);
        EXPECT_EQ(port_.Read(buffer), c.expected);
        EXPECT_EQ(buffer[0], 1);
        player_.join();
        std::this_thread::sleep_for(milliseconds(c.chunks.size() > 1 ? 20 : 0));
    }
}

TEST_F(ComPortOnPty, NoAnswerAfterTheFirstByteTimeout)
{
    port_.SetTimeouts({20, 100, 100});
    Bytes buffer(8);
    const auto start = steady_clock::now();
    EXPECT_EQ(MessageOf([&] { port_.Read(buffer); }), "Прибор не отвечает");
    const auto took = steady_clock::now() - start;
    EXPECT_GE(took, milliseconds(95));
    EXPECT_LT(took, milliseconds(400));
}

TEST_F(ComPortOnPty, SlowAnswerIsNotCutByATotalTimeout)
{
    // 20 bytes, each at least 10 ms after the last: at least 190 ms in all, far longer than
    // the first-byte time-out of 30 ms, yet every pause is within the interval, so the whole
    // answer is read. The first byte is there before the read starts and the interval is
    // seconds, so a loaded machine that wakes the writer late cannot end the answer early;
    // the sleeps alone fix how long the answer lasts at least.
    port_.SetTimeouts({2000, 30, 30});
    const auto start = steady_clock::now();
    pty_.Write(Bytes{0});
    player_ = std::thread([&] {
        for (uint8_t i = 1; i < 20; ++i) {
            std::this_thread::sleep_for(milliseconds(10));
            pty_.Write(Bytes{i});
        }
    });
    Bytes buffer(20);
    EXPECT_EQ(port_.Read(buffer), 20u);
    EXPECT_GE(steady_clock::now() - start, milliseconds(190)) << "the answer outlasted the first-byte time-out";
    EXPECT_EQ(buffer[19], 19);
}

TEST_F(ComPortOnPty, PurgeDropsStaleInput)
{
    pty_.Write(Bytes{9, 9, 9});
    std::this_thread::sleep_for(milliseconds(20));
    port_.PurgeReceive();
    pty_.Write(Bytes{1});
    Bytes buffer(1);
    EXPECT_EQ(port_.Read(buffer), 1u);
    EXPECT_EQ(buffer[0], 1);
}

TEST_F(ComPortOnPty, SecondOpenOfTheSamePortIsRefused)
{
    comprt::ComPort second;
    EXPECT_EQ(MessageOf([&] { second.Open(pty_.SlavePath(), 19200, 1000); }), "COM-порт не открыт");
    EXPECT_FALSE(second.IsOpen());
    port_.Close();
    EXPECT_NO_THROW(second.Open(pty_.SlavePath(), 19200, 1000));
}

TEST_F(ComPortOnPty, ModemLinesOnAPseudoTerminalAreNoFailure)
{
    EXPECT_NO_THROW(port_.SetDtr(true));
    EXPECT_NO_THROW(port_.SetRts(false));
}

TEST(ComPort, OpenFailures)
{
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    struct Case {
        std::string name;
        int32_t baud;
        std::string message;
    };
    const Case cases[] = {
        {"", 19200, "COM-порт не открыт"},
        {"/dev/no-such-port", 19200, "COM-порт не открыт"},
        {std::string(300, 'x'), 19200, "COM-порт не открыт"},
        {pty.SlavePath(), 0,
         "Недопустимая скорость порта: 0 (допустимы 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)"},
        {pty.SlavePath(), 230400,
         "Недопустимая скорость порта: 230400 (допустимы 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 40));
        comprt::ComPort port;
        EXPECT_EQ(MessageOf([&] { port.Open(c.name, c.baud, 1000); }), c.message);
        EXPECT_FALSE(port.IsOpen());
    }
    for (const int32_t baud : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) {
        comprt::ComPort port;
        EXPECT_NO_THROW(port.Open(pty.SlavePath(), baud, 1000)) << baud;
    }
}

TEST(ComPort, OpenOfAnOpenPortReopens)
{
    PtyPair first;
    PtyPair second;
    comprt::ComPort port;
    port.Open(first.SlavePath(), 19200, 1000);
    port.Open(second.SlavePath(), 9600, 1000);
    EXPECT_TRUE(port.IsOpen());
    comprt::ComPort other;
    EXPECT_NO_THROW(other.Open(first.SlavePath(), 19200, 1000));   // the first one was let go
}

TEST(ComPort, ClosedPortRefusesEveryOperation)
{
    comprt::ComPort port;
    Bytes buffer(4);
    const std::function<void()> operations[] = {
        [&] { port.GetTimeouts(); },   [&] { port.SetTimeouts({}); }, [&] { port.PurgeReceive(); },
        [&] { port.SetDtr(true); },    [&] { port.SetRts(true); },    [&] { port.Write(buffer); },
        [&] { port.Read(buffer); },
    };
    for (const auto& operation : operations)
        EXPECT_EQ(MessageOf(operation), "COM-порт не открыт");
    port.Close();
}

TEST(ComPort, DevicePathOfAName)
{
    EXPECT_EQ(comprt::ComPort::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(comprt::ComPort::DevicePath("/dev/pts/3"), "/dev/pts/3");
    EXPECT_EQ(comprt::ComPort::DevicePath(""), "");
}

TEST(ComPort, PortListKeepsSerialDevicesInNaturalOrder)
{
    const std::filesystem::path dir = std::filesystem::path(std::getenv("DAXCONFIG_HOME")) / "dev";
    std::filesystem::create_directories(dir);
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "tty1", "ttyS", "ttySX", "null", "ttyUSB1a"})
        std::ofstream(dir / name) << "";
    const std::vector<std::string> expected = {(dir / "ttyS2").string(), (dir / "ttyS10").string(),
                                               (dir / "ttyUSB0").string(), (dir / "ttyACM1").string()};
    EXPECT_EQ(comprt::ComPort::ComList(dir), expected);

    const std::filesystem::path empty = dir / "empty";
    std::filesystem::create_directories(empty);
    const auto fallback = comprt::ComPort::ComList(empty);
    ASSERT_EQ(fallback.size(), 20u);
    EXPECT_EQ(fallback.front(), "/dev/ttyS0");
    EXPECT_EQ(fallback.back(), "/dev/ttyS19");
}

} // namespace
