// The dax-sim and daxprobe programs, as a developer runs them.
#include "DataFile.h"
#include "RelayServer.h"
#include "Servers.h"
#include "Simulator.h"

#include "comm/TcpChanel.h"
#include "device/DaxAlgorithms.h"
#include "platform/Files.h"

#include "Subprocess.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace std::chrono;
using testsupport::RunCommand;
using testsupport::Subprocess;

const std::string kProbe = DAXPROBE_PATH;
const std::string kSim = DAXSIM_PATH;

std::string TempPath(const std::string& name)
{
    const char* home = std::getenv("DAXCONFIG_HOME");
    return std::string(home ? home : "/tmp") + "/" + name;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(platform::ReadFileBytes(path, dax_namespace::kMaxDataFileSize, bytes));
    return bytes;
}

struct ProbeCase {
    const char* name;
    std::string arguments;                 // after "--tcp HOST:PORT"
    daxsim::FaultOptions faults;           // the simulator's misbehaviour for this run
    int exitStatus;
    std::vector<std::string> expected;     // each somewhere in the output
};

TEST(Daxprobe, ExchangesThroughDaxHelperAgainstTheSimulator)
{
    daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax01), 1);
    daxsim::TcpServer server(simulator, "127.0.0.1", 0);
    server.Start();
    daxsim::FaultOptions exception;
    exception.ExceptionCode = 2;
    daxsim::FaultOptions badEcho;
    badEcho.WrongFunction = true;
    const ProbeCase cases[] = {
        {"identify with log", "--log identify", {}, 0,
         {"] << 00 11 C1 BC \n", "] >> 00 11 0A 44 41 58 2D 30 31 01 00 01 03 A0 9C \n",
          "model Dax-01, modification 1.0, software 1.3\n"}},
        {"write", "--addr 1 write 40005 0x1234 7", {}, 0, {"wrote 2 registers from 40005\n"}},
        {"read back", "read 40005 3", {}, 0,
         {"40005 = 0x1234 (4660)\n40006 = 0x0007 (7)\n40007 = 0x4006 (16390)\n"}},
        {"read input", "--log read 30001 2", {}, 0,
         {"] << 00 04 00 00 00 02 70 1A \n", "30001 = 0x3000 (12288)\n30002 = 0x3001 (12289)\n"}},
        {"journal page", "page 6 0 50 16", {}, 0,
         {"records 16, next position 2\n", "record 0: 32 00 B6 5A ", "record 15: "}},
        {"archive page", "page 0 0 12 1", {}, 0, {"records 1, next position 13\n", "record 0: 0C 00 A0 5A "}},
        {"outside the images", "read 30481 2", {}, 1,
         {"read refused: registers 30481..30482 are not within one register image"}},
        {"exception answer", "read 30001 2", exception, 1, {"Недопустимый(неверный) номер регистра\n"}},
        {"answer of another function", "write 40001 1", badEcho, 1, {"Недопустимый ответ от прибора\n"}},
        {"empty page", "page 5 0 40 1", {}, 1, {"Неверная длина ответа архивных данных\n"}},
    };
    const std::string tcp = kProbe + " --tcp 127.0.0.1:" + std::to_string(server.Port()) + " ";
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.name);
        simulator.SetFaults(c.faults);
        std::string output;
        EXPECT_EQ(RunCommand(tcp + c.arguments, output), c.exitStatus) << output;
        for (const std::string& text : c.expected)
            EXPECT_NE(output.find(text), std::string::npos) << text << "\n" << output;
    }

    std::string output;
    EXPECT_EQ(RunCommand(kProbe + " identify", output), 2);
    EXPECT_NE(output.find("give exactly one of --serial PATH, --tcp HOST:PORT and --gprs HOST:PORT"), std::string::npos)
        << output;
    EXPECT_EQ(RunCommand(kProbe + " --serial /dev/no-such-port identify", output), 1);
    EXPECT_EQ(output, "COM-порт не открыт\n");
}

// Several exchanges in one channel session: commands in turn, and --repeat. The first read
// gives up (1.5 s) before its answer comes (2.5 s); its values never pass for the second's.
TEST(Daxprobe, SeveralExchangesInOneSession)
{
    daxsim::FaultOptions late;
    late.LateMs = 2500;
    late.FaultRequests = 1;
    daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax01), 1, late);
    daxsim::TcpServer server(simulator, "127.0.0.1", 0);
    server.Start();
    const std::string tcp = kProbe + " --tcp 127.0.0.1:" + std::to_string(server.Port()) + " ";
    std::string output;
    EXPECT_EQ(RunCommand(tcp + "read 30101 2 read 30111 2 read 30121 2", output), 1) << output;
    EXPECT_EQ(output.find("30111 = 0x3064"), std::string::npos) << output;   // 30101's value
    const size_t second = output.find("30111 = ");
    if (second != std::string::npos) {
        EXPECT_EQ(output.substr(second, 23), "30111 = 0x306E (12398)\n") << output;
    }
    EXPECT_NE(output.find("30121 = 0x3078 (12408)\n30122 = 0x3079 (12409)\n"), std::string::npos) << output;

    simulator.SetFaults({});
    EXPECT_EQ(RunCommand(tcp + "--repeat 3 read 30011 1", output), 0) << output;
    EXPECT_EQ(output, "answer: 7 bytes\n30011 = 0x300A (12298)\n"
                      "answer: 7 bytes\n30011 = 0x300A (12298)\n"
                      "answer: 7 bytes\n30011 = 0x300A (12298)\n");
    EXPECT_EQ(RunCommand(tcp + "--repeat 0 identify", output), 2);
    EXPECT_NE(output.find("--repeat: expected a number from 1 to 1000, got \"0\""), std::string::npos) << output;
    EXPECT_EQ(RunCommand(tcp + "identify 5", output), 2);
    EXPECT_NE(output.find("identify takes no operands"), std::string::npos) << output;
}

// The simulator answers the first request three seconds late and every answer 100 ms late;
// daxprobe reads three blocks of the same shape in one session. The late answer is dropped
// (and said so), never printed as the second block's values: each later read prints its own
// block or fails.
TEST(Daxprobe, ALateAnswerNeverPassesForTheNextBlock)
{
    Subprocess sim({kSim, "--tcp", "127.0.0.1:0", "--late", "3000", "--faults-for", "1", "--delay", "100"});
    ASSERT_TRUE(sim.Started());
    const std::string banner = sim.ReadLine(seconds(5));
    const std::string marker = "on tcp 127.0.0.1:";
    const size_t at = banner.find(marker);
    ASSERT_NE(at, std::string::npos) << banner;
    const std::string probe = kProbe + " --tcp 127.0.0.1:" + banner.substr(at + marker.size());
    std::string output;
    EXPECT_EQ(RunCommand(probe + " read 30001 127 read 30128 127 read 30255 127", output), 1) << output;
    EXPECT_NE(output.find("Ответ отброшен: на линии запоздавший ответ на прежний запрос\n"), std::string::npos)
        << output;
    // Each block's first register as it may be printed: its own value, or not at all.
    for (const auto& [first, own] : {std::pair<int, const char*>{30128, "0x307F"}, {30255, "0x30FE"}}) {
        const size_t line = output.find(std::to_string(first) + " = ");
        if (line != std::string::npos) {
            EXPECT_EQ(output.substr(line, 14), std::to_string(first) + " = " + own) << output;
        }
    }
    EXPECT_NE(output.find("30255 = 0x30FE (12542)\n"), std::string::npos) << output;
}

TEST(Daxprobe, ReachesTheInstrumentThroughTheRelayServer)
{
    daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax01), 1);
    daxrelay::RelayOptions options;
    options.devices = {"DAX0001", "DAX0002"};
    daxsim::RelayServer relay(simulator, options, "127.0.0.1", 0);
    relay.Start();
    const std::string server = "127.0.0.1:" + std::to_string(relay.Port());

    std::string output;
    EXPECT_EQ(RunCommand(kProbe + " --gprs " + server + " --id DAX0001 --log read 30001 10", output), 0) << output;
    for (const char* text : {"Запрос версии сервера\n", "GPRS канал открыт\n", "answer: 25 bytes\n",
                             "[DAX0001] << 00 04 00 00 00 0A 71 DC \n", "30010 = 0x3009 (12297)\n"})
        EXPECT_NE(output.find(text), std::string::npos) << text << "\n" << output;

    EXPECT_EQ(RunCommand(kProbe + " --gprs " + server + " --id NOPE read 30001 10", output), 1);
    EXPECT_NE(output.find("Прибор с требуемым идентификатором отсутствует\n"), std::string::npos) << output;
    EXPECT_NE(output.find("GPRS канал не открыт\n"), std::string::npos) << output;

    EXPECT_EQ(RunCommand(kProbe + " --gprs-list " + server, output), 0) << output;
    EXPECT_EQ(output, "DAX0001\nDAX0002\n");

    EXPECT_EQ(RunCommand(kProbe + " --gprs " + server + " identify", output), 2);
    EXPECT_NE(output.find("--gprs HOST:PORT and --id ID go together"), std::string::npos) << output;
    relay.Stop();
    EXPECT_EQ(RunCommand(kProbe + " --gprs-list " + server, output), 1);
}

struct ProgramCase {
    const char* name;
    std::vector<std::string> simArgs;
    std::string probeChannel;   // how daxprobe reaches what dax-sim printed
};

TEST(DaxSim, ProgramServesTcpAndPty)
{
    const ProgramCase cases[] = {
        {"tcp", {"--tcp", "127.0.0.1:0", "--model", "DAX-02", "--addr", "3"}, "--tcp 127.0.0.1:"},
        {"pty", {"--pty", "--model", "DAX-02", "--addr", "3"}, "--serial "},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> argv = {kSim};
        argv.insert(argv.end(), c.simArgs.begin(), c.simArgs.end());
        Subprocess sim(argv);
        ASSERT_TRUE(sim.Started());
        const std::string banner = sim.ReadLine(seconds(5));
        const std::string marker = std::string(c.name) == "tcp" ? "on tcp 127.0.0.1:" : "on pty ";
        const size_t at = banner.find(marker);
        ASSERT_NE(at, std::string::npos) << banner;
        EXPECT_EQ(banner.substr(0, at), "dax-sim: DAX-02 at address 3 ");
        const std::string where = banner.substr(at + marker.size());
        std::string output;
        EXPECT_EQ(RunCommand(kProbe + " " + c.probeChannel + where + " --addr 3 --log identify", output), 0) << output;
        EXPECT_NE(output.find("] >> 03 11 0A 44 41 58 2D 30 32"), std::string::npos) << output;
        EXPECT_NE(output.find("model Dax-02"), std::string::npos) << output;
        EXPECT_EQ(sim.Stop(), 0);
    }
    std::string output;
    EXPECT_EQ(RunCommand(kSim + " --tcp nowhere", output), 2);
    EXPECT_NE(output.find("dax-sim: --tcp: expected HOST:PORT, got \"nowhere\""), std::string::npos) << output;
}

TEST(DaxSim, ProgramServesTheDemoInstrument)
{
    Subprocess sim({kSim, "--demo", "--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.Started());
    const std::string banner = sim.ReadLine(seconds(5));
    const std::string marker = "on tcp 127.0.0.1:";
    const size_t at = banner.find(marker);
    ASSERT_NE(at, std::string::npos) << banner;
    EXPECT_EQ(banner.substr(0, at), "dax-sim: DAX-01 at address 1 ");
    const std::string probe = kProbe + " --tcp 127.0.0.1:" + banner.substr(at + marker.size());
    std::string output;
    // Heat system 1 on the free configuration "5.9", heat system 2 on "2.5".
    EXPECT_EQ(RunCommand(probe + " read 40079 1", output), 0) << output;
    EXPECT_NE(output.find("40079 = 0x0059 (89)\n"), std::string::npos) << output;
    EXPECT_EQ(RunCommand(probe + " read 40129 1", output), 0) << output;
    EXPECT_NE(output.find("40129 = 0x0025 (37)\n"), std::string::npos) << output;
    EXPECT_EQ(sim.Stop(), 0);

    EXPECT_EQ(RunCommand(kSim + " --pty --demo --data x.daxdat", output), 2);
    EXPECT_NE(output.find("dax-sim: --demo and --data exclude each other"), std::string::npos) << output;
}

TEST(DaxSim, ProgramLogsTheRequestsItIsSent)
{
    Subprocess sim({kSim, "--demo", "--tcp", "127.0.0.1:0", "--log-requests"});
    ASSERT_TRUE(sim.Started());
    const std::string banner = sim.ReadLine(seconds(5));
    const std::string marker = "on tcp 127.0.0.1:";
    const size_t at = banner.find(marker);
    ASSERT_NE(at, std::string::npos) << banner;
    const std::string probe = kProbe + " --tcp 127.0.0.1:" + banner.substr(at + marker.size());
    std::string output;
    EXPECT_EQ(RunCommand(probe + " --addr 1 read 40216 88 write 40010 0xA780", output), 0) << output;
    EXPECT_EQ(sim.ReadLine(seconds(5)), "0x03 40216 x88");
    EXPECT_EQ(sim.ReadLine(seconds(5)), "0x10 40010 x1 = A780");
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(DaxSim, ProgramServesADataFileAndSavesItsStateOnStopping)
{
    // A data file as the configurator saves it, of a Dax-02 at address 1.
    const std::string in = TempPath("in.daxdat");
    const std::string out = TempPath("out.daxdat");
    daxsim::Instrument instrument(daxsim::FixtureState(daxsim::Model::Dax02), 1);
    daxsim::SaveInstrumentDataFile(instrument, in);
    const std::vector<uint8_t> file = ReadFile(in);

    Subprocess sim({kSim, "--tcp", "127.0.0.1:0", "--data", in, "--save-data", out});
    ASSERT_TRUE(sim.Started());
    const std::string banner = sim.ReadLine(seconds(5));
    const std::string marker = "dax-sim: DAX-02 at address 1 on tcp 127.0.0.1:";
    ASSERT_EQ(banner.substr(0, marker.size()), marker) << banner;
    const std::string port = banner.substr(marker.size());

    // Read everything back through the TCP channel: the same file.
    {
        TcpChanelHelper chanel(false);
        chanel.Params().TcpAddress = "127.0.0.1";
        chanel.Params().TcpPort = std::stoi(port);
        chanel.Params().TcpTimeout = 0;
        chanel.Params().NetAddr = 1;
        chanel.Open(nullptr);
        DaxHelper helper;
        helper.SetLogCallback([](const std::string&, TInteractContainer*) {});
        helper.SetChannel(&chanel);
        DaxReadAllParamsAlgorithm(&helper, DaxReadAllDataSetup{}, nullptr).Run();
        EXPECT_EQ(helper.DataFileBytes(), file);
    }

    // A write while serving is in the state saved on stopping.
    std::string output;
    EXPECT_EQ(RunCommand(kProbe + " --tcp 127.0.0.1:" + port + " --addr 1 write 40005 0x1234", output), 0) << output;
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(sim.ReadLine(seconds(5)), "dax-sim: state saved to " + out);
    DaxHelper expected;
    expected.LoadDataFileBytes(file);
    {
        DaxHelperLocker locker(&expected);
        expected.HoldingRegisterImage[8] = 0x12;
        expected.HoldingRegisterImage[9] = 0x34;
    }
    EXPECT_EQ(ReadFile(out), expected.DataFileBytes());

    // Files the simulator cannot serve: the loader's text, or the system's reason.
    const std::string corrupt = TempPath("corrupt.daxdat");
    platform::WriteFileAtomically(corrupt, std::vector<uint8_t>{'D', 'E', 'V'});
    EXPECT_EQ(RunCommand(kSim + " --tcp 127.0.0.1:0 --data " + corrupt, output), 1);
    EXPECT_EQ(output, "dax-sim: " + corrupt + ": Неправильный заголовок файла\n");
    const std::string missing = TempPath("missing.daxdat");
    EXPECT_EQ(RunCommand(kSim + " --tcp 127.0.0.1:0 --data " + missing, output), 1);
    EXPECT_EQ(output.rfind("dax-sim: " + missing + ": System Error.  Code: 2.", 0), 0u) << output;
}

} // namespace
