// The real serial and TCP channels against the simulated instrument, over a pseudo-terminal
// and a loopback TCP port, with each fault switch.
#include "Servers.h"
#include "Simulator.h"

#include "comm/ComPortChanel.h"
#include "comm/Crc16.h"
#include "comm/Modbus.h"
#include "comm/TcpChanel.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;

enum class Transport { Tcp, Pty };

void PrintTo(Transport transport, std::ostream* out)
{
    *out << (transport == Transport::Tcp ? "Tcp" : "Pty");
}

// The checks an answer passes before the device core uses it, with the system's texts.
std::string CheckAnswer(std::span<const uint8_t> answer, int32_t received)
{
    if (received < 4)
        return "Недопустимый ответ от прибора";
    const auto frame = answer.first(static_cast<size_t>(received));
    const uint16_t crc = Crc16Modbus(frame.first(frame.size() - 2));
    if (frame[frame.size() - 2] != (crc & 0xFF) || frame[frame.size() - 1] != (crc >> 8))
        return "Ошибка CRC в ответе прибора";
    if (frame[1] & 0x80)
        return ModbusExceptionText(frame[2]);
    return "ok";
}

Bytes IdentifyRequest()
{
    Bytes request(4);
    size_t length = 0;
    ModbusBuildReportSlaveId(request, length, 0);
    return request;
}

class ChanelsVsSimulator : public testing::Test {
protected:
    virtual Transport Kind() const = 0;

    void Start(const daxsim::FaultOptions& faults)
    {
        simulator_ = std::make_unique<daxsim::Simulator>(daxsim::FixtureState(daxsim::Model::Dax01), 1, faults);
        if (Kind() == Transport::Tcp) {
            tcpServer_ = std::make_unique<daxsim::TcpServer>(*simulator_, "127.0.0.1", 0);
            tcpServer_->Start();
            auto chanel = std::make_unique<TcpChanelHelper>(false);
            chanel->Params().TcpAddress = "127.0.0.1";
            chanel->Params().TcpPort = tcpServer_->Port();
            chanel->Params().TcpTimeout = 0;
            chanel_ = std::move(chanel);
        } else {
            ptyServer_ = std::make_unique<daxsim::PtyServer>(*simulator_);
            ptyServer_->Start();
            auto chanel = std::make_unique<ComPortChanelHelper>(false);
            chanel->Params().ComPortName = ptyServer_->SlavePath();
            chanel_ = std::move(chanel);
        }
        chanel_->Open(nullptr);
    }
    void TearDown() override
    {
        chanel_.reset();
        tcpServer_.reset();
        ptyServer_.reset();
    }

    // One exchange; the outcome is the failure text, or "ok" with the answer kept.
    std::string Exchange(const Bytes& request, size_t expected, int32_t firstByteMs, int32_t interByteMs)
    {
        // The TCP channel adds 50 ms between bytes; take it off so both wait alike.
        const int32_t inter = Kind() == Transport::Tcp ? std::max(interByteMs - 50, 0) : interByteMs;
        chanel_->SetTimeouts(firstByteMs, inter, nullptr);
        answer_.assign(expected, 0);
        try {
            received_ = chanel_->Transact(request, answer_, nullptr);
        } catch (...) {
            received_ = 0;
            return platform::CurrentExceptionMessage();
        }
        return CheckAnswer(answer_, received_);
    }

    std::unique_ptr<daxsim::Simulator> simulator_;
    std::unique_ptr<daxsim::TcpServer> tcpServer_;
    std::unique_ptr<daxsim::PtyServer> ptyServer_;
    std::unique_ptr<TChanelHelperBase> chanel_;
    Bytes answer_;
    int32_t received_ = 0;
};

class OnTransport : public ChanelsVsSimulator, public testing::WithParamInterface<Transport> {
protected:
    Transport Kind() const override { return GetParam(); }
};

TEST_P(OnTransport, IdentificationAndReads)
{
    Start({});
    EXPECT_EQ(Exchange(IdentifyRequest(), 15, 300, 60), "ok");
    EXPECT_EQ(received_, 15);
    EXPECT_EQ(std::string(answer_.begin() + 3, answer_.begin() + 9), "DAX-01");

    Bytes request(8);
    size_t length = 0;
    ModbusBuildReadRegisters(request, length, 1, 30001, 127);
    EXPECT_EQ(Exchange(request, 259, 300, 60), "ok");
    EXPECT_EQ(received_, 259);
    EXPECT_EQ(answer_[3], 0x30);
    EXPECT_EQ(answer_[4], 0x00);
    ModbusBuildReadRegisters(request, length, 1, 30481, 2);
    EXPECT_EQ(Exchange(request, 9, 300, 60), "Недопустимый(неверный) номер регистра");
}

struct FaultCase {
    const char* name;
    daxsim::FaultOptions faults;
    int32_t firstByteMs;
    int32_t interByteMs;
    std::string tcpOutcome;   // the outcome on each channel
    std::string ptyOutcome;
    int32_t received;         // bytes received (when the channel returns)
    bool laterRequestAnswered;
};

daxsim::FaultOptions Faults(void (*set)(daxsim::FaultOptions&))
{
    daxsim::FaultOptions faults;
    set(faults);
    return faults;
}

// The waits are bounds a loaded machine meets: an answer that comes is waited for seconds, and
// a fault that must outlast a wait outlasts it by seconds (the outcome does not hang on how
// quickly the threads run).
const FaultCase kFaultCases[] = {
    {"Silence", Faults([](auto& f) { f.SilentRequests = 1; }), 300, 60, "Недопустимый ответ от прибора",
     "Прибор не отвечает", 0, true},
    {"BadCrc", Faults([](auto& f) { f.BadCrc = true; f.FaultRequests = 1; }), 3000, 60,
     "Ошибка CRC в ответе прибора", "Ошибка CRC в ответе прибора", 15, true},
    {"Exception", Faults([](auto& f) { f.ExceptionCode = 4; }), 3000, 60, "Внутренняя ошибка прибора",
     "Внутренняя ошибка прибора", 5, false},
    {"Truncated", Faults([](auto& f) { f.TruncateTo = 3; }), 3000, 60, "Недопустимый ответ от прибора",
     "Недопустимый ответ от прибора", 3, false},
    {"SplitWithinTheGap", Faults([](auto& f) { f.SplitAt = 6; f.SplitGapMs = 10; }), 3000, 1000, "ok", "ok", 15, true},
    {"SplitBeyondTheGap", Faults([](auto& f) { f.SplitAt = 6; f.SplitGapMs = 2500; }), 3000, 60,
     "Ошибка CRC в ответе прибора", "Ошибка CRC в ответе прибора", 6, false},
    {"WrongFunction", Faults([](auto& f) { f.WrongFunction = true; }), 3000, 60, "ok", "ok", 15, false},
    {"DelayShorterThanTheWait", Faults([](auto& f) { f.DelayMs = 40; }), 3000, 60, "ok", "ok", 15, true},
    {"LateAnswer", Faults([](auto& f) { f.LateMs = 2000; f.FaultRequests = 1; }), 300, 60,
     "Недопустимый ответ от прибора", "Прибор не отвечает", 0, true},
    {"LineSpeed", Faults([](auto& f) { f.Baud = 9600; }), 3000, 60, "ok", "ok", 15, true},
};

class FaultSwitches : public ChanelsVsSimulator,
                      public testing::WithParamInterface<std::tuple<Transport, size_t>> {
protected:
    Transport Kind() const override { return std::get<0>(GetParam()); }
};

TEST_P(FaultSwitches, OutcomeAndRetry)
{
    const FaultCase& c = kFaultCases[std::get<1>(GetParam())];
    Start(c.faults);
    const auto start = steady_clock::now();
    const std::string outcome = Exchange(IdentifyRequest(), 15, c.firstByteMs, c.interByteMs);
    EXPECT_EQ(outcome, Kind() == Transport::Tcp ? c.tcpOutcome : c.ptyOutcome);
    if (c.received > 0) {
        EXPECT_EQ(received_, c.received);
    }
    if (std::string(c.name) == "WrongFunction") {
        EXPECT_EQ(answer_[1], 0x31);
    }
    if (std::string(c.name) == "LineSpeed") {
        EXPECT_GE(steady_clock::now() - start, milliseconds(13));   // 15 bytes of about 1 ms each
    }
    if (c.laterRequestAnswered) {
        // A repeated request, as the device core retries, gets the proper answer; an answer
        // that came late in between is not taken for it.
        if (c.faults.LateMs > 0) {
            ASSERT_TRUE(simulator_->WaitForRepliesSent(1, milliseconds(10000)));
        }
        EXPECT_EQ(Exchange(IdentifyRequest(), 15, 3000, 60), "ok");
        EXPECT_EQ(answer_[1], 0x11);
        EXPECT_EQ(received_, 15);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultSwitches,
                         testing::Combine(testing::Values(Transport::Tcp, Transport::Pty),
                                          testing::Range<size_t>(0, std::size(kFaultCases))),
                         [](const testing::TestParamInfo<std::tuple<Transport, size_t>>& info) {
                             return std::string(std::get<0>(info.param) == Transport::Tcp ? "Tcp" : "Pty") +
                                    kFaultCases[std::get<1>(info.param)].name;
                         });

INSTANTIATE_TEST_SUITE_P(Transports, OnTransport, testing::Values(Transport::Tcp, Transport::Pty),
                         [](const testing::TestParamInfo<Transport>& info) {
                             return info.param == Transport::Tcp ? std::string("Tcp") : std::string("Pty");
                         });

TEST(SimulatorServers, ManyTcpClientsShareOneInstrument)
{
    daxsim::Simulator simulator(daxsim::FixtureState(daxsim::Model::Dax02), 1);
    daxsim::TcpServer server(simulator, "127.0.0.1", 0);
    server.Start();
    TcpChanelHelper first(false);
    TcpChanelHelper second(false);
    for (TcpChanelHelper* chanel : {&first, &second}) {
        chanel->Params().TcpAddress = "127.0.0.1";
        chanel->Params().TcpPort = server.Port();
        chanel->Params().TcpTimeout = 0;
        chanel->Open(nullptr);
        chanel->SetTimeouts(300, 20, nullptr);
    }
    Bytes write(16);
    size_t length = 0;
    const Bytes value = {0xCA, 0xFE};
    ModbusBuildWriteRegisters(write, length, 1, value, 40002, 1);
    write.resize(length);
    Bytes answer(8);
    EXPECT_EQ(first.Transact(write, answer, nullptr), 8);
    Bytes read(8);
    ModbusBuildReadRegisters(read, length, 1, 40002, 1);
    Bytes readAnswer(7);
    EXPECT_EQ(second.Transact(read, readAnswer, nullptr), 7);
    EXPECT_EQ(readAnswer[3], 0xCA);
    EXPECT_EQ(readAnswer[4], 0xFE);
    server.Stop();
}

} // namespace
