// The real GPRS channel through the fake relay server to the simulated instrument, each over
// loopback TCP in this process: handshake, exchanges, the relay's and the instrument's faults;
// and the same against the dax-sim program.
#include "RelayServer.h"
#include "Simulator.h"

#include "FakeTime.h"
#include "Subprocess.h"

#include "comm/Crc16.h"
#include "comm/GprsChanel.h"
#include "comm/Modbus.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include "GprsTestSupport.h"
#include "LogRecorder.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using daxrelay::HandshakeStep;
using daxrelay::RelayOptions;

using testsupport::FastGprsTimings;
using testsupport::LogRecorder;
using testsupport::WithCrc;

Bytes ReadRequest(uint8_t address, uint16_t reg, int32_t count)
{
    Bytes request(8);
    size_t length = 0;
    ModbusBuildReadRegisters(request, length, address, reg, count);
    return request;
}

// The fixture instrument's answer to a read of input registers: 30001 + i holds 0x3000 + i
// (apart from the ring pointers, 30029 to 30049).
Bytes ExpectedInputAnswer(uint16_t reg, uint16_t count)
{
    Bytes answer = {0x00, 0x04, static_cast<uint8_t>(2 * count)};
    for (uint16_t i = 0; i < count; ++i) {
        const uint16_t value = static_cast<uint16_t>(0x3000 + (reg - 30001) + i);
        answer.push_back(static_cast<uint8_t>(value >> 8));
        answer.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    return WithCrc(answer);
}

std::string Hex(std::span<const uint8_t> bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const uint8_t b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
        text += ' ';
    }
    return text;
}

const std::string kTryVersion = "Запрос версии сервера";
const std::string kVersion = "GPRS сервер Версия: 1.0.3.7";
const std::string kTryClient = "Установка информации о клиенте";
const std::string kTryAssociate = "Асcоциация клиента с UDP каналом";
const std::string kActivate = "Активация начала обмена прибора";

class GprsVsSimulator : public testing::Test {
protected:
    void Start(RelayOptions relay = {}, daxsim::FaultOptions faults = {})
    {
        chanels_.clear();
        server_.reset();   // before the simulator it serves
        if (relay.devices.empty())
            relay.devices = {"DAX0001", "DAX0002"};
        simulator_ = std::make_unique<daxsim::Simulator>(daxsim::FixtureState(daxsim::Model::Dax01), 1, faults);
        server_ = std::make_unique<daxsim::RelayServer>(*simulator_, relay, "127.0.0.1", 0);
        server_->Start();
    }
    void TearDown() override
    {
        chanels_.clear();
        server_.reset();
    }

    // The channel waits timeoutMs for an answer: a bound for answers that come, which a loaded
    // machine may be slow to deliver.
    GprsChanelHelper& MakeChanel(std::string id = "DAX0001", int32_t timeoutMs = 3000)
    {
        auto chanel = std::make_unique<GprsChanelHelper>(FastGprsTimings());
        chanel->Params().IPAddress = "127.0.0.1";
        chanel->Params().TcpUdpPort = server_->Port();
        chanel->Params().DeviceID = std::move(id);
        chanel->Params().ChanelTimeout = timeoutMs;
        chanel->SetLogCallback(log_.Callback());
        chanel->SetClock(&clock_);
        chanels_.push_back(std::move(chanel));
        return *chanels_.back();
    }

    // The open's outcome: "ok", or the text it threw.
    static std::string Open(GprsChanelHelper& chanel)
    {
        try {
            chanel.Open(nullptr);
            return "ok";
        } catch (...) {
            return platform::CurrentExceptionMessage();
        }
    }

    // A read of input registers through the channel, addressed as the channel says.
    int32_t Read(GprsChanelHelper& chanel, uint16_t reg, uint16_t count, Bytes* answer = nullptr)
    {
        const Bytes request = ReadRequest(chanel.DeviceAddress(), reg, count);
        Bytes buffer(size_t{2} * count + 5);
        const int32_t received = chanel.Transact(request, buffer, nullptr);
        if (answer)
            *answer = Bytes(buffer.begin(), buffer.begin() + std::max(received, 0));
        return received;
    }

    std::unique_ptr<daxsim::Simulator> simulator_;
    std::unique_ptr<daxsim::RelayServer> server_;
    std::vector<std::unique_ptr<GprsChanelHelper>> chanels_;
    testsupport::ManualClock clock_;
    LogRecorder log_;
};

TEST_F(GprsVsSimulator, OpenIdentifyReadAndSecondOpenWithoutHandshake)
{
    Start();
    clock_.SetUtc(system_clock::time_point(sys_days(year(2024) / 3 / 5)) + hours(10) + minutes(20) + seconds(30) +
                  milliseconds(456));
    GprsChanelHelper& chanel = MakeChanel();
    chanel.SetLogEnabled(true);
    ASSERT_EQ(Open(chanel), "ok");
    EXPECT_TRUE(chanel.IsOpen());
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{kTryVersion, kVersion, kTryClient, kTryAssociate, kActivate,
                                                     "GPRS канал открыт"}));

    // Identification: the model text and the version bytes of the fixture instrument.
    Bytes identify(4);
    size_t length = 0;
    ModbusBuildReportSlaveId(identify, length, chanel.DeviceAddress());
    Bytes answer(15);
    ASSERT_EQ(chanel.Transact(identify, answer, nullptr), 15);
    EXPECT_EQ(answer, WithCrc({0x00, 0x11, 0x0A, 'D', 'A', 'X', '-', '0', '1', 0x01, 0x00, 0x01, 0x03}));
    log_.Take();

    // Ten input registers: a 25-byte answer, both frames logged with the device ID as endpoint.
    ASSERT_EQ(Read(chanel, 30001, 10, &answer), 25);
    EXPECT_EQ(answer, ExpectedInputAnswer(30001, 10));
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"10:20:30:456 [DAX0001] << 00 04 00 00 00 0A 71 DC ",
                                                     "10:20:30:456 [DAX0001] >> " + Hex(answer)}));
    // The relay carried the frames unchanged, with address 0.
    const auto frames = server_->Relay().Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], identify);
    EXPECT_EQ(frames[1], ReadRequest(0, 30001, 10));

    // A second open finds the connection up: no new handshake.
    ASSERT_EQ(Open(chanel), "ok");
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"GPRS канал открыт"}));
    EXPECT_EQ(server_->Relay().HandshakeCount(), 1);
    EXPECT_EQ(server_->Relay().ConnectionCount(), 1);
    EXPECT_EQ(Read(chanel, 30101, 2), 9);

    chanel.Close(nullptr);
    EXPECT_FALSE(chanel.IsOpen());
    ASSERT_EQ(Open(chanel), "ok");
    EXPECT_EQ(server_->Relay().HandshakeCount(), 2);
}

TEST_F(GprsVsSimulator, UnknownDeviceIdFailsTheOpen)
{
    Start();
    GprsChanelHelper& chanel = MakeChanel("NOPE");
    EXPECT_EQ(Open(chanel), "GPRS канал не открыт");
    EXPECT_FALSE(chanel.IsOpen());
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{kTryVersion, kVersion, kTryClient, kTryAssociate,
                                                     "Прибор с требуемым идентификатором отсутствует"}));
    EXPECT_EQ(simulator_->RequestCount(), 0u);

    // The same channel reaches a known instrument once its ID is put right.
    chanel.Params().DeviceID = "DAX0002";
    ASSERT_EQ(Open(chanel), "ok");
    EXPECT_EQ(Read(chanel, 30001, 1), 7);
}

RelayOptions SilentAt(HandshakeStep step)
{
    RelayOptions options;
    options.silentAt = step;
    return options;
}

daxsim::FaultOptions Instrument(void (*set)(daxsim::FaultOptions&))
{
    daxsim::FaultOptions faults;
    set(faults);
    return faults;
}

RelayOptions Relay(void (*set)(RelayOptions&))
{
    RelayOptions options;
    set(options);
    return options;
}

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.id;
}

struct HandshakeCase {
    const char* id;
    RelayOptions relay;
    std::vector<std::string> texts;
};

const HandshakeCase kHandshakeCases[] = {
    {"SilentAtVersion", SilentAt(HandshakeStep::Version),
     {kTryVersion, kTryVersion, kTryVersion, "Не удалось запросить версию сервера"}},
    {"SilentAtClientIdentification", SilentAt(HandshakeStep::ClientInfo),
     {kTryVersion, kVersion, kTryClient, kTryClient, kTryClient, "Не удалось установить версию клиента"}},
    {"SilentAtAssociation", SilentAt(HandshakeStep::Association),
     {kTryVersion, kVersion, kTryClient, kTryAssociate, kTryAssociate, kTryAssociate,
      "Не удалось выполнить асcоциацию клиента с UDP каналом"}},
};

void PrintTo(const HandshakeCase& c, std::ostream* out)
{
    *out << c.id;
}

class RelayHandshakeFault : public GprsVsSimulator, public testing::WithParamInterface<HandshakeCase> {};

TEST_P(RelayHandshakeFault, FailsTheOpenWithItsText)
{
    const HandshakeCase& c = GetParam();
    Start(c.relay);
    GprsChanelHelper& chanel = MakeChanel();
    EXPECT_EQ(Open(chanel), "GPRS канал не открыт");
    EXPECT_FALSE(chanel.IsOpen());
    EXPECT_EQ(log_.Take(), c.texts);
    // Nothing reached the instrument, and a read finds no connection.
    EXPECT_EQ(Read(chanel, 30001, 1), 0);
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"Канал не открыт", "Соединение с серевером разорвано"}));
    EXPECT_EQ(simulator_->RequestCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(GprsVsSimulator, RelayHandshakeFault, testing::ValuesIn(kHandshakeCases),
                         CaseName<HandshakeCase>);

// The activation step never fails the open: relay servers may forward packets without echoing it.
TEST_F(GprsVsSimulator, SilentAtActivationOpensAndReads)
{
    Start(SilentAt(HandshakeStep::Activation));
    GprsChanelHelper& chanel = MakeChanel();
    ASSERT_EQ(Open(chanel), "ok");
    EXPECT_TRUE(chanel.IsOpen());
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{kTryVersion, kVersion, kTryClient, kTryAssociate, kActivate,
                                                     "Сервер не подтвердил активацию начала обмена прибора",
                                                     "GPRS канал открыт"}));
    Bytes answer;
    ASSERT_EQ(Read(chanel, 30001, 10, &answer), 25);
    EXPECT_EQ(answer, ExpectedInputAnswer(30001, 10));
}

struct ExchangeCase {
    const char* id;
    RelayOptions relay;
    daxsim::FaultOptions instrument;
    int32_t received;
    Bytes answer;
    std::vector<std::string> texts;
    bool openAfter;
    bool nextReadAnswered;
    // How long the channel waits for an answer: a bound for answers that come, long enough for
    // a loaded machine; the cases of lost answers wait it out.
    int32_t chanelTimeoutMs = 3000;
};

Bytes WithBadCrc(Bytes frame)
{
    frame.back() ^= 0x5A;
    return frame;
}

const ExchangeCase kExchangeCases[] = {
    {"RelayFragmentsTheAnswer", Relay([](auto& o) { o.fragment = true; }), {}, 25, ExpectedInputAnswer(30001, 10), {},
     true, true},
    {"RelaySendsAStatusPacket", Relay([](auto& o) { o.statusInsteadOfData = true; }), {}, 0, {},
     {"Неправильные параметры GPRS команды"}, true, false},
    {"RelayClosesOnTheFirstPacket", Relay([](auto& o) { o.closeAfterPackets = 1; }), {}, 0, {},
     {"Соединение с серевером разорвано"}, false, false},
    {"InstrumentSilentOnce", {}, Instrument([](auto& f) { f.SilentRequests = 1; }), 0, {}, {"Пакет команды потерян"},
     true, true, 1000},
    // The late answer comes after the channel has given up on it (and is dropped); the next
    // read, sent meanwhile and answered after it, still gets its own answer. A second of slack
    // either way.
    {"InstrumentAnswersAfterTheChanelTimeout", {}, Instrument([](auto& f) { f.LateMs = 3000; f.FaultRequests = 1; }),
     0, {}, {"Пакет команды потерян"}, true, true, 2000},
    {"InstrumentExceptionAnswer", {}, Instrument([](auto& f) { f.ExceptionCode = 4; }), 5,
     daxsim::ExceptionAnswer(0, 0x04, 4), {}, true, true},
    {"InstrumentBadCrcPassesTheRelayUnchanged", {}, Instrument([](auto& f) { f.BadCrc = true; f.FaultRequests = 1; }),
     25, WithBadCrc(ExpectedInputAnswer(30001, 10)), {}, true, true},
    {"InstrumentSplitAnswerArrivesWhole", {}, Instrument([](auto& f) { f.SplitAt = 3; f.SplitGapMs = 30; }), 25,
     ExpectedInputAnswer(30001, 10), {}, true, true},
};

void PrintTo(const ExchangeCase& c, std::ostream* out)
{
    *out << c.id;
}

class ExchangeFault : public GprsVsSimulator, public testing::WithParamInterface<ExchangeCase> {};

TEST_P(ExchangeFault, EndsTheReadAsTheChanelReportsIt)
{
    const ExchangeCase& c = GetParam();
    Start(c.relay, c.instrument);
    GprsChanelHelper& chanel = MakeChanel("DAX0001", c.chanelTimeoutMs);
    ASSERT_EQ(Open(chanel), "ok");
    log_.Take();
    Bytes answer;
    EXPECT_EQ(Read(chanel, 30001, 10, &answer), c.received);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(log_.Take(), c.texts);
    EXPECT_EQ(chanel.IsOpen(), c.openAfter);
    Bytes next;
    EXPECT_EQ(Read(chanel, 30101, 2, &next) != 0, c.nextReadAnswered);
    if (c.nextReadAnswered && c.instrument.ExceptionCode == 0) {
        EXPECT_EQ(next, ExpectedInputAnswer(30101, 2));
    }
}

INSTANTIATE_TEST_SUITE_P(GprsVsSimulator, ExchangeFault, testing::ValuesIn(kExchangeCases), CaseName<ExchangeCase>);

TEST_F(GprsVsSimulator, AnswersInReverseOrderReachTheirOwnRequests)
{
    Start(Relay([](auto& o) { o.reverseOrder = true; }));
    GprsChanelHelper& chanel = MakeChanel("DAX0001", 2000);
    ASSERT_EQ(Open(chanel), "ok");
    Bytes first, second;
    int32_t firstCount = 0, secondCount = 0;
    std::thread worker([&] { firstCount = Read(chanel, 30001, 3, &first); });
    std::thread other([&] { secondCount = Read(chanel, 30201, 4, &second); });
    worker.join();
    other.join();
    EXPECT_EQ(firstCount, 11);
    EXPECT_EQ(secondCount, 13);
    EXPECT_EQ(first, ExpectedInputAnswer(30001, 3));
    EXPECT_EQ(second, ExpectedInputAnswer(30201, 4));
}

// The sequence number ties each answer to its request: the first read gives up before its
// answer comes; the second, of the same shape, sent while that answer is on its way, gets its
// own answer, and the late one is dropped and logged.
TEST_F(GprsVsSimulator, ALateAnswerNeverPassesForTheNextRequests)
{
    daxsim::FaultOptions late;
    late.LateMs = 2500;
    late.FaultRequests = 1;
    Start({}, late);
    GprsChanelHelper& chanel = MakeChanel("DAX0001", 2000);
    chanel.SetLogEnabled(true);
    ASSERT_EQ(Open(chanel), "ok");
    EXPECT_EQ(Read(chanel, 30001, 127), 0);
    log_.Clear();
    Bytes second;
    ASSERT_EQ(Read(chanel, 30128, 127, &second), 259);
    EXPECT_EQ(second, ExpectedInputAnswer(30128, 127));
    const auto texts = log_.Texts();
    ASSERT_EQ(texts.size(), 4u) << testing::PrintToString(texts);
    // The first block's answer (its ring pointers are not the fixture's pattern).
    EXPECT_NE(texts[1].find("[DAX0001] >> 00 04 FE 30 00 30 01 30 02 "), std::string::npos) << texts[1];
    EXPECT_EQ(texts[2], "Ответ отброшен: на линии запоздавший ответ на прежний запрос");
    EXPECT_TRUE(texts[3].ends_with("[DAX0001] >> " + Hex(second))) << texts[3];
}

TEST_F(GprsVsSimulator, SeveralChanelsShareTheInstrument)
{
    Start();
    constexpr int kChanels = 3;
    constexpr int kReads = 15;
    for (int i = 0; i < kChanels; ++i)
        ASSERT_EQ(Open(MakeChanel(i % 2 == 0 ? "DAX0001" : "DAX0002", 2000)), "ok");
    std::atomic<int> wrong{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < kChanels; ++i) {
        workers.emplace_back([&, i] {
            for (int n = 0; n < kReads; ++n) {
                const uint16_t reg = static_cast<uint16_t>(30101 + 20 * i + n);   // clear of the ring pointers
                Bytes answer;
                if (Read(*chanels_[i], reg, 5, &answer) != 15 || answer != ExpectedInputAnswer(reg, 5))
                    ++wrong;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(server_->Relay().HandshakeCount(), kChanels);
    EXPECT_EQ(simulator_->RequestCount(), uint64_t{kChanels * kReads});
}

TEST_F(GprsVsSimulator, DeviceList)
{
    const struct Case {
        const char* name;
        RelayOptions relay;
        bool result;
        std::vector<std::string> ids;
    } cases[] = {
        {"the relay's devices in order", Relay([](auto& o) { o.devices = {"DAX0002", "ПРИБОР", "DAX0001"}; }), true,
         {"DAX0002", "ПРИБОР", "DAX0001"}},
        {"fewer records than announced", Relay([](auto& o) { o.listShortBy = 1; }), false, {}},
        {"version answer not starting with 00", Relay([](auto& o) { o.versionFirstByte = 5; }), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.relay);
        std::vector<GPRS_UDP_CHANEL_DATA> list;
        EXPECT_EQ(QueryDeviceList("127.0.0.1", server_->Port(), list, FastGprsTimings()), c.result);
        std::vector<std::string> ids;
        for (const auto& record : list)
            ids.push_back(record.DeviceId());
        EXPECT_EQ(ids, c.ids);
        // The list has a connection of its own: no handshake.
        EXPECT_EQ(server_->Relay().HandshakeCount(), 0);
        // An odd first version byte still lets a channel open (the handshake does not look at it).
        GprsChanelHelper& chanel = MakeChanel(c.relay.devices.empty() ? "DAX0001" : c.relay.devices.back());
        EXPECT_EQ(Open(chanel), "ok");
    }
}

// The real GPRS channel against `dax-sim --relay`, as a developer runs it.
TEST(DaxSimProgram, PlaysTheRelay)
{
    const std::string program = DAXSIM_PATH;
    testsupport::Subprocess sim({program, "--relay", "127.0.0.1:0", "--device", "DAX0001", "--device", "DAX0002",
                                 "--model", "DAX-02", "--silent", "1"});
    ASSERT_TRUE(sim.Started());
    const std::string banner = sim.ReadLine(seconds(5));
    const std::string marker = "dax-sim: DAX-02 at address 0 on relay 127.0.0.1:";
    ASSERT_EQ(banner.substr(0, marker.size()), marker) << banner;
    const size_t portEnd = banner.find(' ', marker.size());
    ASSERT_NE(portEnd, std::string::npos) << banner;
    EXPECT_EQ(banner.substr(portEnd), " for DAX0001, DAX0002");
    const int32_t port = std::stoi(banner.substr(marker.size(), portEnd - marker.size()));

    GprsTimings timings;
    timings.answerMs = 2000; // the relay answers each handshake step at once; a loaded machine may lag
    LogRecorder log;
    const auto makeChanel = [&](const std::string& id) {
        auto chanel = std::make_unique<GprsChanelHelper>(timings);
        chanel->Params().IPAddress = "127.0.0.1";
        chanel->Params().TcpUdpPort = port;
        chanel->Params().DeviceID = id;
        // Long enough for a loaded machine; the one lost answer waits it out.
        chanel->Params().ChanelTimeout = 1500;
        chanel->SetLogCallback(log.Callback());
        return chanel;
    };

    auto unknown = makeChanel("NOPE");
    EXPECT_THROW(unknown->Open(nullptr), platform::Exception);
    const auto refused = log.Take();
    ASSERT_FALSE(refused.empty());
    EXPECT_EQ(refused.back(), "Прибор с требуемым идентификатором отсутствует");

    auto chanel = makeChanel("DAX0002");
    ASSERT_NO_THROW(chanel->Open(nullptr)) << testing::PrintToString(log.Take());
    EXPECT_EQ(log.Take().back(), "GPRS канал открыт");
    Bytes identify(4);
    size_t length = 0;
    ModbusBuildReportSlaveId(identify, length, chanel->DeviceAddress());
    Bytes answer(15);
    // The instrument's own fault applies behind the relay: its first request goes unanswered.
    EXPECT_EQ(chanel->Transact(identify, answer, nullptr), 0);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"Пакет команды потерян"}));
    ASSERT_EQ(chanel->Transact(identify, answer, nullptr), 15);
    EXPECT_EQ(std::string(answer.begin() + 3, answer.begin() + 9), "DAX-02");
    answer.assign(25, 0);
    EXPECT_EQ(chanel->Transact(ReadRequest(chanel->DeviceAddress(), 30001, 10), answer, nullptr), 25);
    EXPECT_EQ(answer, ExpectedInputAnswer(30001, 10));

    std::vector<GPRS_UDP_CHANEL_DATA> list;
    ASSERT_TRUE(QueryDeviceList("127.0.0.1", port, list, timings));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].DeviceId(), "DAX0001");
    EXPECT_EQ(list[1].DeviceId(), "DAX0002");

    chanel.reset();
    EXPECT_EQ(sim.Stop(), 0);

    std::string output;
    EXPECT_EQ(testsupport::RunCommand(program + " --relay 127.0.0.1:0", output), 2);
    EXPECT_NE(output.find("dax-sim: --relay needs at least one --device ID"), std::string::npos) << output;
}

} // namespace
