// The dax-sim and daxprobe programs, as a developer runs them.
#include "Servers.h"
#include "Simulator.h"

#include "Subprocess.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;
using testsupport::RunCommand;
using testsupport::Subprocess;

const std::string kProbe = DAXPROBE_PATH;
const std::string kSim = DAXSIM_PATH;

TEST(Daxprobe, IdentifyReadWriteAndPageAgainstTheSimulator)
{
    daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax01), 1);
    daxsim::TcpServer server(simulator, "127.0.0.1", 0);
    server.Start();
    const std::string tcp = kProbe + " --tcp 127.0.0.1:" + std::to_string(server.Port());
    std::string output;
    EXPECT_EQ(RunCommand(tcp + " --log identify", output), 0) << output;
    EXPECT_NE(output.find("] << 00 11 C1 BC \n"), std::string::npos) << output;
    EXPECT_NE(output.find("] >> 00 11 0A 44 41 58 2D 30 31 01 00 01 03 A0 9C \n"), std::string::npos) << output;
    EXPECT_NE(output.find("model DAX-01, modification 1.0, software 1.3\n"), std::string::npos) << output;

    EXPECT_EQ(RunCommand(tcp + " --addr 1 write 40005 0x1234 7", output), 0) << output;
    EXPECT_NE(output.find("wrote 2 registers from 40005\n"), std::string::npos) << output;
    EXPECT_EQ(RunCommand(tcp + " read 40005 3", output), 0) << output;
    EXPECT_NE(output.find("40005 = 0x1234 (4660)\n40006 = 0x0007 (7)\n40007 = 0x4006 (16390)\n"), std::string::npos)
        << output;
    EXPECT_EQ(RunCommand(tcp + " page 6 0 50 16", output), 0) << output;
    EXPECT_NE(output.find("records 16, next position 2\n"), std::string::npos) << output;

    EXPECT_EQ(RunCommand(tcp + " read 30481 2", output), 1);
    EXPECT_NE(output.find("Недопустимый(неверный) номер регистра\n"), std::string::npos) << output;
    EXPECT_EQ(RunCommand(kProbe + " identify", output), 2);
    EXPECT_NE(output.find("give exactly one of --serial PATH and --tcp HOST:PORT"), std::string::npos) << output;
    EXPECT_EQ(RunCommand(kProbe + " --serial /dev/no-such-port identify", output), 1);
    EXPECT_EQ(output, "COM-порт не открыт\n");
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
        EXPECT_EQ(RunCommand(kProbe + " " + c.probeChannel + where + " --addr 3 identify", output), 0) << output;
        EXPECT_NE(output.find("answer: 03 11 0A 44 41 58 2D 30 32"), std::string::npos) << output;
        EXPECT_NE(output.find("model DAX-02"), std::string::npos) << output;
        EXPECT_EQ(sim.Stop(), 0);
    }
    std::string output;
    EXPECT_EQ(RunCommand(kSim + " --tcp nowhere", output), 2);
    EXPECT_NE(output.find("dax-sim: --tcp: expected HOST:PORT, got \"nowhere\""), std::string::npos) << output;
}

} // namespace
