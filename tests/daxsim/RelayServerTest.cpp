// The simulated instrument behind the fake GPRS relay server: the command line that sets it
// up, and the forwarding of frames with the instrument's faults.
#include "Options.h"
#include "RelayServer.h"
#include "Simulator.h"

#include "Servers.h"

#include "comm/GprsProtocol.h"
#include "comm/Modbus.h"
#include "platform/Exceptions.h"
#include "platform/SocketCore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

using Bytes = std::vector<uint8_t>;
using namespace daxsim;
using namespace std::chrono;

Bytes ReadRequest(uint8_t address, uint16_t reg, int32_t count)
{
    Bytes buffer(8);
    size_t length = 0;
    ModbusBuildReadRegisters(buffer, length, address, reg, count);
    return buffer;
}

TEST(SimOptions, RelayCommandLines)
{
    std::string error;
    auto options = ParseSimOptions({"--relay", "127.0.0.1:5100", "--device", "DAX0001", "--device", "ПРИБОР-16-СИМВОЛ",
                                    "--relay-silent-at", "association", "--relay-reverse", "--relay-fragment",
                                    "--relay-status", "--relay-close-after", "3", "--relay-list-short", "2",
                                    "--relay-version-byte", "5", "--silent", "1", "--model", "DAX-02"},
                                   error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->Relay);
    EXPECT_FALSE(options->Tcp);
    EXPECT_FALSE(options->Pty);
    EXPECT_EQ(options->Host, "127.0.0.1");
    EXPECT_EQ(options->Port, 5100);
    const daxrelay::RelayOptions& relay = options->RelaySettings;
    EXPECT_EQ(relay.devices, (std::vector<std::string>{"DAX0001", "ПРИБОР-16-СИМВОЛ"}));
    EXPECT_EQ(relay.silentAt, daxrelay::HandshakeStep::Association);
    EXPECT_TRUE(relay.reverseOrder);
    EXPECT_TRUE(relay.fragment);
    EXPECT_TRUE(relay.statusInsteadOfData);
    EXPECT_EQ(relay.closeAfterPackets, 3);
    EXPECT_EQ(relay.listShortBy, 2u);
    EXPECT_EQ(relay.versionFirstByte, 5);
    // The instrument's own faults still apply behind the relay.
    EXPECT_EQ(options->Faults.SilentRequests, 1);
    EXPECT_EQ(options->DeviceModel, Model::Dax02);

    // The plain form, and each handshake step by name.
    const std::pair<const char*, daxrelay::HandshakeStep> steps[] = {
        {"version", daxrelay::HandshakeStep::Version},
        {"client", daxrelay::HandshakeStep::ClientInfo},
        {"association", daxrelay::HandshakeStep::Association},
        {"activation", daxrelay::HandshakeStep::Activation},
    };
    for (const auto& [name, step] : steps) {
        options = ParseSimOptions({"--relay", "0.0.0.0:0", "--device", "A", "--relay-silent-at", name}, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->RelaySettings.silentAt, step) << name;
        EXPECT_FALSE(options->RelaySettings.reverseOrder);
        EXPECT_EQ(options->RelaySettings.closeAfterPackets, 0);
    }

    // A data file's instrument may stand behind the relay too.
    options = ParseSimOptions({"--relay", "127.0.0.1:0", "--device", "A", "--data", "in.daxdat", "--save-data", "out.daxdat"},
                              error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->DataFile, "in.daxdat");
    EXPECT_EQ(options->SaveDataFile, "out.daxdat");

    struct Bad {
        std::vector<std::string> args;
        std::string error;
    };
    const Bad bad[] = {
        {{"--relay", "127.0.0.1:5100"}, "--relay needs at least one --device ID"},
        {{"--relay", "5100", "--device", "A"}, "--relay: expected HOST:PORT, got \"5100\""},
        {{"--relay", "h:1", "--tcp", "h:2", "--device", "A"},
         "give exactly one of --tcp HOST:PORT, --pty and --relay HOST:PORT"},
        {{"--pty", "--device", "A"}, "--device needs --relay HOST:PORT"},
        {{"--tcp", "h:1", "--relay-reverse", "--device", "A"}, "--relay-reverse needs --relay HOST:PORT"},
        {{"--relay", "h:1", "--device", ""}, "--device: expected 1 to 16 characters of Windows-1251, got \"\""},
        {{"--relay", "h:1", "--device", "0123456789ABCDEFG"},
         "--device: expected 1 to 16 characters of Windows-1251, got \"0123456789ABCDEFG\""},
        {{"--relay", "h:1", "--device", "DAX→1"}, "--device: expected 1 to 16 characters of Windows-1251, got \"DAX→1\""},
        {{"--relay", "h:1", "--device", "A", "--relay-silent-at", "data"},
         "--relay-silent-at: expected version, client, association or activation, got \"data\""},
        {{"--relay", "h:1", "--device", "A", "--relay-close-after", "0"},
         "--relay-close-after: expected a number from 1 to 1000000000, got \"0\""},
        {{"--relay", "h:1", "--device", "A", "--relay-version-byte", "256"},
         "--relay-version-byte: expected a number from 0 to 255, got \"256\""},
        {{"--relay", "h:1", "--device", "A", "--relay-list-short"}, "--relay-list-short needs a value"},
        {{"--relay", "h:1", "--device", "A", "--relay-frobnicate"}, "unknown option \"--relay-frobnicate\""},
    };
    for (const Bad& b : bad) {
        std::string message;
        EXPECT_FALSE(ParseSimOptions(b.args, message)) << b.error;
        EXPECT_EQ(message, b.error);
    }
}

TEST(RelayServer, ForwardsFramesWithTheInstrumentsFaults)
{
    const Bytes request = ReadRequest(0, 30001, 1);
    Bytes good = {0x00, 0x04, 0x02, 0x30, 0x00};   // address 0, register 30001 = 0x3000
    AppendCrc(good);
    FaultOptions silent;
    silent.SilentRequests = 1;
    FaultOptions exception;
    exception.ExceptionCode = 4;
    FaultOptions delayed;
    delayed.DelayMs = 40;
    FaultOptions split;
    split.SplitAt = 2;
    split.SplitGapMs = 40;
    FaultOptions slowLine;
    slowLine.Baud = 1200;   // 8 request and 7 answer bytes of 8.3 ms each
    struct Case {
        const char* name;
        FaultOptions faults;
        std::optional<Bytes> answer;
        milliseconds heldAtLeast;
    } const cases[] = {
        {"none", {}, good, milliseconds(0)},
        {"silent", silent, std::nullopt, milliseconds(0)},
        {"exception", exception, ExceptionAnswer(0, 0x04, 4), milliseconds(0)},
        {"delay holds the whole answer", delayed, good, milliseconds(40)},
        {"split gap holds the whole answer", split, good, milliseconds(40)},
        {"line speed holds the whole answer", slowLine, good, milliseconds(124)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Simulator simulator(FixtureState(Model::Dax01), 1, c.faults);
        RelayServer server(simulator, {}, "127.0.0.1", 0);
        const auto start = steady_clock::now();
        EXPECT_EQ(server.Forward(request), c.answer);
        EXPECT_GE(steady_clock::now() - start, c.heldAtLeast);
        EXPECT_EQ(simulator.RequestCount(), 1u);
        EXPECT_EQ(simulator.RepliesSent(), c.answer ? 1u : 0u);
    }
}

TEST(RelayServer, StopCutsALongHoldShort)
{
    FaultOptions faults;
    faults.DelayMs = 60000;
    Simulator simulator(FixtureState(Model::Dax01), 1, faults);
    RelayServer server(simulator, {}, "127.0.0.1", 0);
    server.Start();
    std::optional<Bytes> answer = Bytes{};
    std::thread connection([&] { answer = server.Forward(ReadRequest(0, 30001, 1)); });
    // Wait until the frame has reached the instrument, then stop.
    const auto deadline = steady_clock::now() + seconds(5);
    while (simulator.RequestCount() == 0 && steady_clock::now() < deadline)
        std::this_thread::yield();
    const auto start = steady_clock::now();
    server.Stop();
    connection.join();
    EXPECT_LT(steady_clock::now() - start, seconds(2));
    EXPECT_EQ(answer, std::nullopt);
    EXPECT_EQ(simulator.RepliesSent(), 0u);
}

TEST(RelayServer, ConnectionsMayForwardAtOnce)
{
    Simulator simulator(FixtureState(Model::Dax01), 1);
    RelayServer server(simulator, {}, "127.0.0.1", 0);
    constexpr int kThreads = 6;
    constexpr int kRequests = 40;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRequests; ++i) {
                // Every thread writes its own register and reads it back.
                const uint16_t reg = static_cast<uint16_t>(40001 + t);
                const uint16_t value = static_cast<uint16_t>(t * 1000 + i);
                Bytes write(13);
                size_t length = 0;
                const uint8_t data[] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
                ModbusBuildWriteRegisters(write, length, 0, data, reg, 1);
                write.resize(length);
                if (!server.Forward(write))
                    ++wrong;
                const auto answer = server.Forward(ReadRequest(0, reg, 1));
                if (!answer || answer->size() != 7 || (*answer)[3] != data[0] || (*answer)[4] != data[1])
                    ++wrong;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(simulator.RequestCount(), uint64_t{2 * kThreads * kRequests});
    EXPECT_EQ(simulator.RepliesSent(), uint64_t{2 * kThreads * kRequests});
}

// Threads of this process.
size_t ProcessThreads()
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// One short connection: connects, asks for the version, reads the answer, hangs up.
bool ShortVisit(int32_t port, std::span<const uint8_t> message, size_t answerSize)
{
    TSyncSocket client(2000, 200);
    if (!client.Open(0, "") || !client.ConnectByName("127.0.0.1", port) || client.Send(message, 0) < 0)
        return false;
    Bytes answer(answerSize);
    return client.Receive(answer, 0) == static_cast<int32_t>(answerSize);
}

TEST(GprsRelayServer, ManyShortConnectionsKeepTheThreadCountFlat)
{
    daxrelay::GprsRelayServer server({}, nullptr);
    ASSERT_TRUE(server.Start());
    const size_t before = ProcessThreads();
    constexpr int kVisits = 300;
    int answered = 0;
    const uint8_t versionQuery[] = {0x00};
    for (int i = 0; i < kVisits; ++i)
        answered += ShortVisit(server.Port(), versionQuery, 12);
    EXPECT_EQ(answered, kVisits);
    EXPECT_EQ(server.ConnectionCount(), kVisits);
    // Ended connections are joined as new ones come: a few may still be ending, no more.
    EXPECT_LE(server.ConnectionThreadCount(), 4u);
    EXPECT_LE(ProcessThreads(), before + 4);
    server.Stop();
    EXPECT_EQ(server.ConnectionThreadCount(), 0u);
}

TEST(SimulatorServers, ManyShortTcpConnectionsKeepTheThreadCountFlat)
{
    Simulator simulator(FixtureState(Model::Dax01), 1);
    TcpServer server(simulator, "127.0.0.1", 0);
    server.Start();
    const size_t before = ProcessThreads();
    constexpr int kVisits = 300;
    Bytes identify(4);
    size_t length = 0;
    ModbusBuildReportSlaveId(identify, length, 1);
    int answered = 0;
    for (int i = 0; i < kVisits; ++i)
        answered += ShortVisit(server.Port(), identify, 15);
    EXPECT_EQ(answered, kVisits);
    EXPECT_LE(ProcessThreads(), before + 4);
}

// A client that sends requests and never reads the answers: the relay's sends fill the
// connection until they cannot go on. Stopping the relay must not wait for that client.
TEST(GprsRelayServer, AClientThatNeverReadsDoesNotHoldUpTheStop)
{
    daxrelay::RelayOptions options;
    options.devices = {"DAX0001"};
    daxrelay::GprsRelayServer server(options, [](std::span<const uint8_t>) {
        return std::optional<Bytes>(Bytes(1000, 0x5A));
    });
    ASSERT_TRUE(server.Start());
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(client, 0);
    const int small = 4096;
    ::setsockopt(client, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.Port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // Straight to the data phase: association and activation (their echoes are never read).
    Bytes start = {0x03, 'D', 'A', 'X', '0', '0', '0', '1'};
    start.resize(17, 0);
    start.insert(start.end(), {0x02, 0x01, 0xC1, 0x10});
    ASSERT_EQ(::send(client, start.data(), start.size(), MSG_NOSIGNAL), static_cast<ssize_t>(start.size()));
    const Bytes packet = gprs::BuildDataPacket(0, ReadRequest(0, 30001, 1));
    // Send until the relay has stopped taking requests: it is stuck sending answers.
    int sent = 0;
    for (;;) {
        if (::send(client, packet.data(), packet.size(), MSG_NOSIGNAL | MSG_DONTWAIT) > 0) {
            ++sent;
            continue;
        }
        pollfd entry{client, POLLOUT, 0};
        if (::poll(&entry, 1, 500) == 0)
            break;
    }
    EXPECT_GT(sent, 0);
    EXPECT_GT(server.DataPacketCount(), 0);
    server.Stop();   // returns: the stuck send gives up when the relay stops
    EXPECT_EQ(server.ConnectionThreadCount(), 0u);
    ::close(client);
}

TEST(RelayServer, StartFailures)
{
    Simulator simulator(FixtureState(Model::Dax01), 1);
    RelayServer named(simulator, {}, "localhost", 5100);
    try {
        named.Start();
        FAIL() << "started";
    } catch (const platform::Exception& e) {
        EXPECT_STREQ(e.what(), "relay: expected an IPv4 address and a port, got \"localhost:5100\"");
    }
    RelayServer first(simulator, {}, "127.0.0.1", 0);
    first.Start();
    RelayServer second(simulator, {}, "127.0.0.1", first.Port());
    try {
        second.Start();
        FAIL() << "started twice on one port";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(std::string(e.what()), "relay: cannot listen on 127.0.0.1:" + std::to_string(first.Port()));
    }
}

} // namespace
