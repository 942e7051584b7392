#include "comm/Crc16.h"
#include "comm/GprsChanel.h"
#include "platform/Exceptions.h"
#include "platform/RegistryStore.h"
#include "platform/SocketCore.h"

#include "GprsRelayServer.h"

#include <gtest/gtest.h>

#include "GprsTestSupport.h"
#include "LogRecorder.h"

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using daxrelay::GprsRelayServer;
using daxrelay::HandshakeStep;
using daxrelay::RelayOptions;

using testsupport::FastGprsTimings;
using testsupport::LogRecorder;
using testsupport::WithCrc;

Bytes ReadInputRequest(uint16_t address, uint16_t count)
{
    return WithCrc({0x00, 0x04, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address),
                    static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)});
}

// A scripted instrument at address 0: a register read answers register i with the value
// 0x0100 * (address + i) + i; a request for register 999 is never answered.
std::optional<Bytes> ScriptedInstrument(std::span<const uint8_t> frame)
{
    if (frame.size() != 8 || (frame[1] != 0x03 && frame[1] != 0x04))
        return std::nullopt;
    const uint16_t address = static_cast<uint16_t>((frame[2] << 8) | frame[3]);
    const uint16_t count = static_cast<uint16_t>((frame[4] << 8) | frame[5]);
    if (address == 999 || count > 125)
        return std::nullopt;
    Bytes answer = {frame[0], frame[1], static_cast<uint8_t>(2 * count)};
    for (uint16_t i = 0; i < count; ++i) {
        answer.push_back(static_cast<uint8_t>(address + i));
        answer.push_back(static_cast<uint8_t>(i));
    }
    return WithCrc(answer);
}

const std::vector<std::string> kHandshakeTexts = {"Запрос версии сервера", "GPRS сервер Версия: 1.0.3.7",
                                                  "Установка информации о клиенте", "Асcоциация клиента с UDP каналом",
                                                  "Активация начала обмена прибора"};

// ---------------------------------------------------------------------------------------
// The relay thread and its commands

struct OpenCase {
    const char* name;
    RelayOptions options;
    std::string deviceId;
    int32_t result;
    std::vector<std::string> texts;
};

RelayOptions Known(RelayOptions options = {})
{
    options.devices = {"DAX0001", "DAX0002"};
    return options;
}

RelayOptions Silent(HandshakeStep step)
{
    RelayOptions options = Known();
    options.silentAt = step;
    return options;
}

TEST(GprsThread, HandshakeResultCodes)
{
    RelayOptions oddVersion = Known();
    oddVersion.versionFirstByte = 0x05;
    oddVersion.version = {1, 2, 3, 4};
    const std::string tryVersion = "Запрос версии сервера";
    const std::string tryClient = "Установка информации о клиенте";
    const std::string tryAssociate = "Асcоциация клиента с UDP каналом";
    const std::string version = "GPRS сервер Версия: 1.0.3.7";
    const OpenCase cases[] = {
        {"known device", Known(), "DAX0001", 0, kHandshakeTexts},
        {"version answer with byte 0 other than 00", oddVersion, "DAX0001", 0,
         {tryVersion, "GPRS сервер Версия: 1.2.3.4", tryClient, tryAssociate, "Активация начала обмена прибора"}},
        {"unknown device: refused after one try", Known(), "NOPE", 3,
         {tryVersion, version, tryClient, tryAssociate, "Прибор с требуемым идентификатором отсутствует"}},
        {"silent at version", Silent(HandshakeStep::Version), "DAX0001", 1,
         {tryVersion, tryVersion, tryVersion, "Не удалось запросить версию сервера"}},
        {"silent at client identification", Silent(HandshakeStep::ClientInfo), "DAX0001", 1,
         {tryVersion, version, tryClient, tryClient, tryClient, "Не удалось установить версию клиента"}},
        {"silent at association", Silent(HandshakeStep::Association), "DAX0001", 1,
         {tryVersion, version, tryClient, tryAssociate, tryAssociate, tryAssociate,
          "Не удалось выполнить асcоциацию клиента с UDP каналом"}},
        {"activation never echoed: opened all the same", Silent(HandshakeStep::Activation), "DAX0001", 0,
         {tryVersion, version, tryClient, tryAssociate, "Активация начала обмена прибора",
          "Сервер не подтвердил активацию начала обмена прибора"}},
    };
    for (const OpenCase& c : cases) {
        GprsRelayServer server(c.options, ScriptedInstrument);
        ASSERT_TRUE(server.Start());
        GprsCommandQueue queue;
        GprsThread thread(queue, FastGprsTimings());
        TGprsCommandInteract open(TGprsCommandInteract::kOpen);
        open.SetSettings({"127.0.0.1", server.Port(), c.deviceId, 200});
        std::vector<std::string> texts;
        const auto start = steady_clock::now();
        EXPECT_EQ(queue.Execute(open, seconds(5), [&](const std::string& t) { texts.push_back(t); }), c.result) << c.name;
        // Every handshake failure ends within the relay thread's own bound for an open.
        EXPECT_LT(steady_clock::now() - start, milliseconds(FastGprsTimings().LongestOpenMs())) << c.name;
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(open.GetState(), TGprsCommandInteract::kStateFinished);
    }
}

TEST(GprsThread, OpenWithoutSettingsOrServer)
{
    GprsCommandQueue queue;
    GprsThread thread(queue, FastGprsTimings());
    std::vector<std::string> texts;
    const auto log = [&](const std::string& t) { texts.push_back(t); };

    TGprsCommandInteract bare(TGprsCommandInteract::kOpen);
    EXPECT_EQ(queue.Execute(bare, seconds(2), log), 4);
    EXPECT_EQ(texts, (std::vector<std::string>{"Нет параметров канала"}));

    // A port nobody listens on: the connect is refused at once.
    TAsyncSocket probe;
    ASSERT_TRUE(probe.Open(0, "127.0.0.1"));
    const int32_t freePort = probe.LocalPort();
    probe.Close();
    texts.clear();
    TGprsCommandInteract refused(TGprsCommandInteract::kOpen);
    refused.SetSettings({"127.0.0.1", freePort, "DAX0001", 200});
    EXPECT_EQ(queue.Execute(refused, seconds(2), log), 1);
    EXPECT_EQ(texts, (std::vector<std::string>{SocketErrorText(ECONNREFUSED)}));

    texts.clear();
    TGprsCommandInteract send(TGprsCommandInteract::kSend);
    const Bytes request = ReadInputRequest(0, 1);
    Bytes answer(16);
    send.SetBuffers(request, answer);
    EXPECT_EQ(queue.Execute(send, seconds(2), log), 3);
    EXPECT_EQ(texts, (std::vector<std::string>{"Канал не открыт"}));

    TGprsCommandInteract close(TGprsCommandInteract::kClose);
    EXPECT_EQ(queue.Execute(close, seconds(2), log), 0);
}

TEST(GprsThread, StopDuringHandshakeFailsPendingAndLaterCommands)
{
    GprsRelayServer server(Silent(HandshakeStep::Version), ScriptedInstrument);
    ASSERT_TRUE(server.Start());
    GprsCommandQueue queue;
    GprsTimings slow = FastGprsTimings();
    slow.answerMs = 10000;   // the handshake would wait for long
    GprsThread thread(queue, slow);
    TGprsCommandInteract open(TGprsCommandInteract::kOpen);
    open.SetSettings({"127.0.0.1", server.Port(), "DAX0001", 200});
    queue.Push(open);
    std::this_thread::sleep_for(milliseconds(100));   // the first version try is under way

    const auto start = steady_clock::now();
    thread.Stop();
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    EXPECT_TRUE(queue.ThreadEnded());
    std::vector<std::string> texts;
    EXPECT_EQ(queue.Wait(open, milliseconds(10), [&](const std::string& t) { texts.push_back(t); }), 3);
    EXPECT_EQ(texts, (std::vector<std::string>{"Запрос версии сервера", "Завершение протока GPRS канала"}));

    texts.clear();
    TGprsCommandInteract later(TGprsCommandInteract::kSend);
    EXPECT_EQ(queue.Execute(later, seconds(1), [&](const std::string& t) { texts.push_back(t); }), 3);
    EXPECT_EQ(texts, (std::vector<std::string>{"Завершение протока GPRS канала"}));
    {
        std::lock_guard lock(queue.Mutex());
        EXPECT_EQ(queue.Record().GetError(), 3);
        EXPECT_EQ(queue.Record().PopMessage(), "Завершение протока GPRS канала");
    }
}

// ---------------------------------------------------------------------------------------
// The device list

TEST(GprsDeviceList, Queries)
{
    RelayOptions none;
    RelayOptions three;
    three.devices = {"DAX0001", "ПРИБОР-2", "0123456789ABCDEF"};
    RelayOptions shortList;
    shortList.devices = {"A", "B"};
    shortList.listShortBy = 1;
    RelayOptions oddVersion = three;
    oddVersion.versionFirstByte = 0x05;
    struct Case {
        const char* name;
        RelayOptions options;
        bool result;
        std::vector<std::string> ids;
    } const cases[] = {
        {"no devices: true, list unchanged", none, true, {"kept"}},
        {"three devices in order", three, true, {"kept", "DAX0001", "ПРИБОР-2", "0123456789ABCDEF"}},
        {"fewer records than announced", shortList, false, {"kept"}},
        {"version answer byte 0 not 00", oddVersion, false, {"kept"}},
    };
    for (const Case& c : cases) {
        GprsRelayServer server(c.options, ScriptedInstrument);
        ASSERT_TRUE(server.Start());
        std::vector<GPRS_UDP_CHANEL_DATA> list(1);
        std::copy_n("kept", 4, list[0].bytes.begin() + 10);
        EXPECT_EQ(QueryDeviceList("127.0.0.1", server.Port(), list, FastGprsTimings()), c.result) << c.name;
        std::vector<std::string> ids;
        for (const auto& record : list)
            ids.push_back(record.DeviceId());
        EXPECT_EQ(ids, c.ids) << c.name;
        EXPECT_EQ(server.HandshakeCount(), 0) << c.name;
    }
    std::vector<GPRS_UDP_CHANEL_DATA> list;
    EXPECT_FALSE(QueryDeviceList("127.0.0.1", 0, list, FastGprsTimings()));
    EXPECT_FALSE(QueryDeviceList("", 5100, list, FastGprsTimings()));
}

// ---------------------------------------------------------------------------------------
// The channel

class GprsChanelTest : public testing::Test {
protected:
    void StartServer(RelayOptions options)
    {
        if (options.devices.empty())
            options.devices = {"DAX0001", "DAX0002"};
        server_ = std::make_unique<GprsRelayServer>(options, ScriptedInstrument);
        ASSERT_TRUE(server_->Start());
    }
    std::unique_ptr<GprsChanelHelper> MakeChanel(int32_t timeoutMs = 200, std::string id = "DAX0001")
    {
        auto chanel = std::make_unique<GprsChanelHelper>(FastGprsTimings());
        chanel->Params().IPAddress = "127.0.0.1";
        chanel->Params().TcpUdpPort = server_ ? server_->Port() : 1;
        chanel->Params().DeviceID = std::move(id);
        chanel->Params().ChanelTimeout = timeoutMs;
        chanel->SetLogCallback(log_.Callback());
        chanel->SetNotifier([this](int bits) { notices_ |= bits; });
        return chanel;
    }
    // Returns the exchange's byte count.
    int32_t Read(GprsChanelHelper& chanel, uint16_t address, uint16_t count, Bytes* answer = nullptr)
    {
        const Bytes request = ReadInputRequest(address, count);
        Bytes buffer(2 * count + 5);
        const int32_t received = chanel.Transact(request, buffer, nullptr);
        if (answer)
            *answer = Bytes(buffer.begin(), buffer.begin() + std::max(received, 0));
        return received;
    }

    std::unique_ptr<GprsRelayServer> server_;
    LogRecorder log_;
    std::atomic<int> notices_{0};
};

TEST_F(GprsChanelTest, DefaultsWithoutRegistry)
{
    GprsChanelHelper chanel;
    EXPECT_EQ(chanel.Kind(), ChanelKind::Gprs);
    EXPECT_EQ(chanel.Params().TcpUdpPort, 5100);
    EXPECT_EQ(chanel.Params().ChanelTimeout, 6000);
    EXPECT_EQ(chanel.Params().GprsChanelType, 0);
    EXPECT_EQ(chanel.Params().IPAddress, "");
    EXPECT_EQ(chanel.Params().DeviceID, "");
    EXPECT_TRUE(chanel.Params().IPAddressList.empty());
    EXPECT_FALSE(chanel.IsOpen());
    EXPECT_EQ(chanel.DeviceAddress(), 0);
}

TEST_F(GprsChanelTest, SettingsRoundTripAndAddressList)
{
    platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    TGprsChanelParams params;
    params.IPAddress = "Relay.example";
    params.DeviceID = "ПРИБОР";
    params.IPAddressList = {"10.0.0.1", "relay.EXAMPLE", "10.0.0.2", "RELAY.example"};
    params.GprsChanelType = 1;
    params.TcpUdpPort = 5200;
    params.ChanelTimeout = 7000;
    params.Save(store);
    EXPECT_EQ(params.IPAddressList, (std::vector<std::string>{"Relay.example", "10.0.0.1", "10.0.0.2"}));

    TGprsChanelParams loaded;
    loaded.Load(store);
    EXPECT_EQ(loaded.IPAddress, "Relay.example");
    EXPECT_EQ(loaded.DeviceID, "ПРИБОР");
    EXPECT_EQ(loaded.IPAddressList, params.IPAddressList);
    EXPECT_EQ(loaded.GprsChanelType, 1);
    EXPECT_EQ(loaded.TcpUdpPort, 5200);
    EXPECT_EQ(loaded.ChanelTimeout, 7000);

    // A value of the other type takes its default.
    store.WriteString(TGprsChanelParams::kRegistryKey, "TcpUdpPort", "5300");
    store.WriteInteger(TGprsChanelParams::kRegistryKey, "DeviceID", 5);
    loaded.Load(store);
    EXPECT_EQ(loaded.TcpUdpPort, 5100);
    EXPECT_EQ(loaded.DeviceID, "");
}

TEST_F(GprsChanelTest, OpenReadCloseAndSecondOpenWithoutHandshake)
{
    StartServer({});
    auto chanel = MakeChanel();
    chanel->SetLogEnabled(true);
    chanel->Open(nullptr);
    EXPECT_TRUE(chanel->IsOpen());
    std::vector<std::string> expected = kHandshakeTexts;
    expected.push_back("GPRS канал открыт");
    EXPECT_EQ(log_.Take(), expected);
    EXPECT_EQ(platform::RegistryStore::CurrentUser().ReadString(TGprsChanelParams::kRegistryKey, "DeviceID", ""), "DAX0001");

    chanel->Open(nullptr);
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"GPRS канал открыт"}));
    EXPECT_EQ(server_->HandshakeCount(), 1);

    Bytes answer;
    ASSERT_EQ(Read(*chanel, 0, 10, &answer), 25);
    EXPECT_EQ(answer, *ScriptedInstrument(ReadInputRequest(0, 10)));
    EXPECT_EQ(notices_.load(), kNotifyTransmit | kNotifyReceive);
    const auto lines = log_.Take();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("[DAX0001] << 00 04 00 00 00 0A 71 DC "), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("[DAX0001] >> 00 04 14 00 00 01 01"), std::string::npos) << lines[1];
    // Frames through the relay carry address 0.
    EXPECT_EQ(chanel->DeviceAddress(), 0);
    ASSERT_EQ(server_->Frames().size(), 1u);
    EXPECT_EQ(server_->Frames()[0][0], 0x00);

    // Time-outs set by callers change nothing.
    chanel->SetTimeouts(1, 1, nullptr);
    EXPECT_EQ(Read(*chanel, 5, 2), 9);
    log_.Take();

    chanel->Close(nullptr);
    EXPECT_FALSE(chanel->IsOpen());
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"GPRS канал закрыт"}));
    chanel->Open(nullptr);
    EXPECT_EQ(server_->HandshakeCount(), 2);
}

TEST_F(GprsChanelTest, UnknownDeviceFailsOpenAndStoresNothing)
{
    StartServer({});
    auto chanel = MakeChanel(200, "NOPE");
    try {
        chanel->Open(nullptr);
        FAIL() << "open succeeded";
    } catch (const platform::Exception& e) {
        EXPECT_STREQ(e.what(), "GPRS канал не открыт");
    }
    EXPECT_FALSE(chanel->IsOpen());
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"Запрос версии сервера", "GPRS сервер Версия: 1.0.3.7",
                                                     "Установка информации о клиенте", "Асcоциация клиента с UDP каналом",
                                                     "Прибор с требуемым идентификатором отсутствует"}));
    EXPECT_FALSE(platform::RegistryStore::CurrentUser().KeyExists(TGprsChanelParams::kRegistryKey));
}

TEST_F(GprsChanelTest, ReopenWithAnotherDeviceMakesANewHandshake)
{
    StartServer({});
    auto chanel = MakeChanel();
    chanel->SetLogEnabled(true);
    chanel->Open(nullptr);
    chanel->Params().DeviceID = "DAX0002";
    chanel->Open(nullptr);
    EXPECT_EQ(server_->HandshakeCount(), 2);
    EXPECT_EQ(server_->ConnectionCount(), 2);
    log_.Take();
    EXPECT_EQ(Read(*chanel, 0, 1), 7);
    EXPECT_NE(log_.Take().at(0).find("[DAX0002] << "), std::string::npos);
}

TEST_F(GprsChanelTest, TwoSendsAnsweredInReverseOrder)
{
    RelayOptions options;
    options.reverseOrder = true;
    StartServer(options);
    auto chanel = MakeChanel(2000);
    chanel->Open(nullptr);
    Bytes first, second;
    int32_t firstCount = 0, secondCount = 0;
    std::thread worker([&] { firstCount = Read(*chanel, 100, 3, &first); });
    std::thread other([&] { secondCount = Read(*chanel, 200, 4, &second); });
    worker.join();
    other.join();
    EXPECT_EQ(firstCount, 11);
    EXPECT_EQ(secondCount, 13);
    EXPECT_EQ(first, *ScriptedInstrument(ReadInputRequest(100, 3)));
    EXPECT_EQ(second, *ScriptedInstrument(ReadInputRequest(200, 4)));
}

TEST_F(GprsChanelTest, FaultsOfTheDataPhase)
{
    RelayOptions fragment;
    fragment.fragment = true;
    RelayOptions status;
    status.statusInsteadOfData = true;
    struct Case {
        const char* name;
        RelayOptions options;
        uint16_t address;
        int32_t received;
        std::vector<std::string> texts;
        bool receiveNotice;
        milliseconds atLeast;
    } const cases[] = {
        {"fragmented answer still arrives", fragment, 0, 25, {}, true, milliseconds(0)},
        {"no answer: lost after the channel time-out", {}, 999, 0, {"Пакет команды потерян"}, false, milliseconds(200)},
        {"status packet: rejected", status, 0, 0, {"Неправильные параметры GPRS команды"}, false, milliseconds(0)},
    };
    for (const Case& c : cases) {
        StartServer(c.options);
        auto chanel = MakeChanel(200);
        ASSERT_NO_THROW(chanel->Open(nullptr)) << c.name << ": " << testing::PrintToString(log_.Take());
        log_.Take();
        notices_ = 0;
        const auto start = steady_clock::now();
        EXPECT_EQ(Read(*chanel, c.address, 10), c.received) << c.name;
        const auto elapsed = steady_clock::now() - start;
        EXPECT_GE(elapsed, c.atLeast) << c.name;
        EXPECT_LT(elapsed, milliseconds(800)) << c.name;
        EXPECT_EQ(log_.Take(), c.texts) << c.name;
        EXPECT_EQ((notices_.load() & kNotifyReceive) != 0, c.receiveNotice) << c.name;
        EXPECT_TRUE(chanel->IsOpen()) << c.name;
    }
}

TEST_F(GprsChanelTest, DroppedConnectionFailsPendingSendsPromptly)
{
    RelayOptions options;
    options.closeAfterPackets = 1;
    StartServer(options);
    auto chanel = MakeChanel(3000);
    chanel->Open(nullptr);
    log_.Take();
    const auto start = steady_clock::now();
    EXPECT_EQ(Read(*chanel, 0, 10), 0);
    EXPECT_LT(steady_clock::now() - start, milliseconds(1000));
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"Соединение с серевером разорвано"}));
    EXPECT_FALSE(chanel->IsOpen());

    EXPECT_EQ(Read(*chanel, 0, 10), 0);
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"Канал не открыт", "Соединение с серевером разорвано"}));
}

TEST_F(GprsChanelTest, SendWithoutOpenOrWithOversizedRequest)
{
    StartServer({});
    auto chanel = MakeChanel();
    EXPECT_EQ(Read(*chanel, 0, 1), 0);
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"Канал не открыт", "Соединение с серевером разорвано"}));
    EXPECT_FALSE(chanel->IsOpen());

    chanel->Open(nullptr);
    log_.Take();
    const Bytes huge(gprs::kMaxPayload + 1, 0);
    Bytes answer(8);
    EXPECT_EQ(chanel->Transact(huge, answer, nullptr), 0);
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"Неправильные параметры GPRS команды"}));
    EXPECT_TRUE(chanel->IsOpen());

    // An answer longer than the buffer is cut to it.
    const Bytes request = ReadInputRequest(0, 10);
    Bytes small(7);
    EXPECT_EQ(chanel->Transact(request, small, nullptr), 7);
    const Bytes full = *ScriptedInstrument(request);
    EXPECT_EQ(small, Bytes(full.begin(), full.begin() + 7));
}

TEST_F(GprsChanelTest, StoppedThreadFailsEveryCommandAtOnce)
{
    StartServer({});
    auto chanel = MakeChanel();
    chanel->Open(nullptr);
    log_.Take();
    chanel->StopThread();
    EXPECT_EQ(Read(*chanel, 0, 1), 0);
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"Завершение протока GPRS канала", "Соединение с серевером разорвано"}));
    EXPECT_THROW(chanel->Open(nullptr), platform::Exception);
}

} // namespace

namespace {

// An answer whose sequence number no sent command waits for goes to the oldest command that
// waits, for its log, and to none when no command waits; a command keeps only a few.
TEST(GprsCommandQueue, ALateAnswerGoesToTheOldestWaitingCommandsLog)
{
    TGprsQueueInteract queue;
    TGprsCommandInteract idle(TGprsCommandInteract::kSend);
    TGprsCommandInteract older(TGprsCommandInteract::kSend, TGprsCommandInteract::kStateSent);
    TGprsCommandInteract newer(TGprsCommandInteract::kSend, TGprsCommandInteract::kStateSent);
    Bytes answer(7);
    older.SetBuffers(ReadInputRequest(1, 1), answer);
    older.SetSequence(5);
    newer.SetSequence(6);
    queue.NoteLateAnswer(Bytes{0xAA});   // nobody waits yet
    queue.Push(&idle);
    queue.Push(&older);
    queue.Push(&newer);
    EXPECT_EQ(queue.CompleteBySequence(4, Bytes{0x01}), 0u);
    for (size_t i = 0; i < TGprsQueueInteract::kMaxLateAnswers + 2; ++i)
        queue.NoteLateAnswer(Bytes{0x01, static_cast<uint8_t>(i)});
    EXPECT_TRUE(idle.GetLateAnswers().empty());
    EXPECT_TRUE(newer.GetLateAnswers().empty());
    ASSERT_EQ(older.GetLateAnswers().size(), TGprsQueueInteract::kMaxLateAnswers);
    EXPECT_EQ(older.GetLateAnswers().front(), (Bytes{0x01, 0x00}));
    EXPECT_EQ(queue.CompleteBySequence(5, WithCrc({0, 4, 2, 0, 1})), 1u);
    EXPECT_EQ(older.GetReceived(), 7);
}

} // namespace
