#include "comm/TcpChanel.h"
#include "platform/Exceptions.h"

#include "Failures.h"
#include "Frames.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using testsupport::MessageOf;
using testsupport::WithCrc;

constexpr const char* kKey = TTcpChanelParams::kRegistryKey;

TEST(TcpChanelParams, DefaultsAndKeyCreation)
{
    TcpChanelHelper chanel;
    EXPECT_EQ(chanel.Kind(), ChanelKind::Tcp);
    EXPECT_EQ(chanel.Params().TcpAddress, "");
    EXPECT_EQ(chanel.Params().TcpPort, 4001);
    EXPECT_EQ(chanel.Params().NetAddr, 0);
    EXPECT_EQ(chanel.Params().TcpTimeout, 1000);
    EXPECT_TRUE(chanel.Params().IPAddressList.empty());
    EXPECT_TRUE(platform::RegistryStore::CurrentUser().KeyExists(kKey));
}

TEST(TcpChanelParams, RegistryValuesWithTypeCheck)
{
    platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    store.WriteString(kKey, "TcpAddress", "gw.example");
    store.WriteString(kKey, "TcpPort", "502");
    store.WriteInteger(kKey, "NetAddr", 12);
    store.WriteInteger(kKey, "TcpTimeout", 250);
    store.WriteString(kKey, "IPAddressList", "host-a\r\nHOST-B\r\n");
    TcpChanelHelper chanel;
    EXPECT_EQ(chanel.Params().TcpAddress, "gw.example");
    EXPECT_EQ(chanel.Params().TcpPort, 4001);
    EXPECT_EQ(chanel.Params().NetAddr, 12);
    EXPECT_EQ(chanel.Params().TcpTimeout, 250);
    EXPECT_EQ(chanel.Params().IPAddressList, (std::vector<std::string>{"host-a", "HOST-B"}));
}

TEST(TcpChanelParams, RecentAddressList)
{
    TTcpChanelParams params;
    params.IPAddressList = {"host-a", "HOST-B"};
    params.TcpAddress = "host-b";
    params.RememberAddress();
    EXPECT_EQ(params.IPAddressList, (std::vector<std::string>{"host-b", "host-a"}));

    params.IPAddressList.clear();
    for (int i = 0; i < 30; ++i) {
        params.TcpAddress = "10.0.0." + std::to_string(i);
        params.RememberAddress();
    }
    ASSERT_EQ(params.IPAddressList.size(), TTcpChanelParams::kMaxRecentAddresses);
    EXPECT_EQ(params.IPAddressList.front(), "10.0.0.29");
    EXPECT_EQ(params.IPAddressList.back(), "10.0.0.10");
}

// A loopback listener playing the gateway; the test drives the far end.
class TcpChanelOnLoopback : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener_.Open(0, "127.0.0.1"));
        ASSERT_TRUE(listener_.Listen());
        chanel_.Params().TcpAddress = "127.0.0.1";
        chanel_.Params().TcpPort = listener_.LocalPort();
        chanel_.Params().NetAddr = 3;
        chanel_.Params().TcpTimeout = 0;
        chanel_.SetLogEnabled(true);
        chanel_.SetLogCallback([this](const std::string& text, TInteractContainer*) { lines_.push_back(text); });
        chanel_.SetNotifier([this](int bits) { notices_.push_back(bits); });
    }
    void OpenAndAccept()
    {
        chanel_.Open(nullptr);
        ASSERT_TRUE(listener_.Accept(peer_));
    }

    TSyncSocket listener_{500, 0};
    TSyncSocket peer_{500, 20};
    TcpChanelHelper chanel_;
    std::vector<std::string> lines_;
    std::vector<int> notices_;
};

TEST_F(TcpChanelOnLoopback, OpenStoresSettingsAndAddress)
{
    OpenAndAccept();
    EXPECT_TRUE(chanel_.IsOpen());
    EXPECT_EQ(chanel_.DeviceAddress(), 3);
    const platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    EXPECT_EQ(store.ReadString(kKey, "TcpAddress", "-"), "127.0.0.1");
    EXPECT_EQ(store.ReadInteger(kKey, "TcpPort", -1), listener_.LocalPort());
    EXPECT_EQ(store.ReadInteger(kKey, "TcpTimeout", -1), 0);
    EXPECT_EQ(store.ReadString(kKey, "IPAddressList", "-"), "127.0.0.1\r\n");
}

TEST_F(TcpChanelOnLoopback, TimeoutArithmetic)
{
    chanel_.SetTimeouts(1000, 20, nullptr);   // closed: nothing to set
    EXPECT_EQ(chanel_.SocketWaits(), (std::pair<int32_t, int32_t>{0, 0}));
    chanel_.Params().TcpTimeout = 1000;
    OpenAndAccept();
    chanel_.SetTimeouts(1000, 20, nullptr);
    EXPECT_EQ(chanel_.SocketWaits(), (std::pair<int32_t, int32_t>{2000, 70}));
    chanel_.Params().TcpTimeout = 0;
    chanel_.SetTimeouts(500, 100, nullptr);
    EXPECT_EQ(chanel_.SocketWaits(), (std::pair<int32_t, int32_t>{500, 150}));
}

TEST_F(TcpChanelOnLoopback, OpenFailuresLeaveItClosedAndStoreNothing)
{
    TSyncSocket closed(100, 0);
    ASSERT_TRUE(closed.Open(0, "127.0.0.1"));   // bound, never listening: refused at once
    struct Case {
        const char* name;
        std::string address;
        int32_t port;
        std::string message;
    };
    const Case cases[] = {
        {"empty address", "", 4001, "Ошибка - 22 \"Invalid argument\""},
        {"refused", "127.0.0.1", closed.LocalPort(), "Ошибка - 111 \"Connection refused\""},
        {"port 0", "127.0.0.1", 0, "Недопустимый номер порта: 0"},
        {"port 65536", "127.0.0.1", 65536, "Недопустимый номер порта: 65536"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chanel_.Params().TcpAddress = c.address;
        chanel_.Params().TcpPort = c.port;
        const auto start = steady_clock::now();
        EXPECT_EQ(MessageOf([&] { chanel_.Open(nullptr); }), c.message);
        EXPECT_LT(steady_clock::now() - start, milliseconds(500));
        EXPECT_FALSE(chanel_.IsOpen());
        EXPECT_EQ(chanel_.DeviceAddress(), 0);
        EXPECT_FALSE(platform::RegistryStore::CurrentUser().ValueExists(kKey, "TcpAddress"));
    }
}

TEST_F(TcpChanelOnLoopback, TransactionOnAClosedChannelReturnsZero)
{
    Bytes answer(8);
    EXPECT_EQ(chanel_.Transact(Bytes{1, 2}, answer, nullptr), 0);
    EXPECT_TRUE(lines_.empty());
    EXPECT_TRUE(notices_.empty());
}

TEST_F(TcpChanelOnLoopback, AnsweredTransaction)
{
    OpenAndAccept();
    chanel_.SetTimeouts(200, 20, nullptr);
    std::thread gateway([&] {
        Bytes request(4);
        if (peer_.Receive(request, 0) == 4)
            peer_.Send(Bytes{0x03, 0x11, 0xAA, 0xBB, 0xCC}, 0);
    });
    Bytes answer(5);
    EXPECT_EQ(chanel_.Transact(Bytes{0x03, 0x11, 0x00, 0x00}, answer, nullptr), 5);
    gateway.join();
    EXPECT_EQ(answer, (Bytes{0x03, 0x11, 0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(notices_, (std::vector<int>{kNotifyTransmit, kNotifyReceive}));
    ASSERT_EQ(lines_.size(), 2u);
    const std::string endpoint = "[127.0.0.1:" + std::to_string(listener_.LocalPort()) + "]";
    EXPECT_TRUE(lines_[0].ends_with(endpoint + " << 03 11 00 00 ")) << lines_[0];
    EXPECT_TRUE(lines_[1].ends_with(endpoint + " >> 03 11 AA BB CC ")) << lines_[1];
}

TEST_F(TcpChanelOnLoopback, NoAnswerGivesMinusOneWithBothNotices)
{
    OpenAndAccept();
    chanel_.SetTimeouts(60, 20, nullptr);
    Bytes answer(5);
    EXPECT_EQ(chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr), -1);
    EXPECT_EQ(notices_, (std::vector<int>{kNotifyTransmit, kNotifyReceive}));
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_TRUE(lines_[1].ends_with(" >> ")) << lines_[1];
}

TEST_F(TcpChanelOnLoopback, LateAnswerIsNotTakenForTheNextRequest)
{
    OpenAndAccept();
    chanel_.SetTimeouts(50, 20, nullptr);
    Bytes answer(3);
    EXPECT_EQ(chanel_.Transact(Bytes{0x01}, answer, nullptr), -1);
    Bytes request(1);
    ASSERT_EQ(peer_.Receive(request, 0), 1);
    peer_.Send(Bytes{0xA1, 0xA1, 0xA1}, 0);   // the late answer to request 1
    std::this_thread::sleep_for(milliseconds(20));
    std::thread gateway([&] {
        Bytes second(1);
        if (peer_.Receive(second, 0) == 1 && second[0] == 0x02)
            peer_.Send(Bytes{0xB2, 0xB2, 0xB2}, 0);
    });
    chanel_.SetTimeouts(300, 20, nullptr);
    EXPECT_EQ(chanel_.Transact(Bytes{0x02}, answer, nullptr), 3);
    gateway.join();
    EXPECT_EQ(answer, (Bytes{0xB2, 0xB2, 0xB2}));
}

// Read requests of one register and their answers, as DaxHelper sends and expects them.
Bytes Request(uint8_t address) { return WithCrc({3, 0x04, 0x00, address, 0x00, 0x01}); }
Bytes Answer(uint8_t value) { return WithCrc({3, 0x04, 0x02, value, value}); }

// An answer that comes after its request was given up, while the next request of
// the same shape is already on its way: the late one is dropped (and logged), never taken for
// the next request's; the next request goes out once it is in, and gets its own.
TEST_F(TcpChanelOnLoopback, ALateAnswerIsDroppedAndTheNextRequestGetsItsOwn)
{
    OpenAndAccept();
    chanel_.SetTimeouts(200, 20, nullptr);   // the late answer counts as lost after 270 ms of quiet
    Bytes answer(7);
    EXPECT_EQ(chanel_.Transact(Request(1), answer, nullptr), -1);
    EXPECT_TRUE(chanel_.LineUnsettled());
    std::thread gateway([&] {
        Bytes request(8);
        if (peer_.Receive(request, 0) != 8)
            return;
        std::this_thread::sleep_for(milliseconds(30));   // while the next request waits for it
        peer_.Send(Answer(0xA1), 0);
        if (peer_.Receive(request, 0) == 8 && request == Request(2))
            peer_.Send(Answer(0xB2), 0);
    });
    lines_.clear();
    chanel_.SetTimeouts(500, 20, nullptr);
    EXPECT_EQ(chanel_.Transact(Request(2), answer, nullptr), 7);
    gateway.join();
    EXPECT_EQ(answer, Answer(0xB2));
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_TRUE(lines_[0].ends_with(" >> 03 04 02 A1 A1 78 D8 ")) << lines_[0];
    EXPECT_EQ(lines_[1], "Ответ отброшен: на линии запоздавший ответ на прежний запрос");
    EXPECT_TRUE(lines_[2].ends_with(" << 03 04 00 02 00 01 91 E8 ")) << lines_[2];
    EXPECT_TRUE(lines_[3].ends_with(" >> 03 04 02 B2 B2 34 25 ")) << lines_[3];
    EXPECT_FALSE(chanel_.LineUnsettled());
}

TEST_F(TcpChanelOnLoopback, AnAnswerFollowedByMoreBytesOnAnUnsettledLineIsRefused)
{
    OpenAndAccept();
    chanel_.SetTimeouts(50, 20, nullptr);
    Bytes answer(7);
    EXPECT_EQ(chanel_.Transact(Request(1), answer, nullptr), -1);
    Bytes request(8);
    ASSERT_EQ(peer_.Receive(request, 0), 8);
    EXPECT_TRUE(chanel_.LineUnsettled());

    // The late answer to the first request comes only after the line was quiet long enough for
    // it to count as lost, right after the second request went out, followed by the second's
    // own: the channel cannot tell which is which and takes neither.
    chanel_.SetTimeouts(500, 20, nullptr);
    std::thread gateway([&] {
        Bytes second(8);
        if (peer_.Receive(second, 0) == 8 && second == Request(2)) {
            Bytes both = Answer(0xA1);
            const Bytes own = Answer(0xB2);
            both.insert(both.end(), own.begin(), own.end());
            peer_.Send(both, 0);
        }
    });
    lines_.clear();
    EXPECT_EQ(chanel_.Transact(Request(2), answer, nullptr), -1);
    gateway.join();
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_TRUE(lines_[1].ends_with(" >> 03 04 02 A1 A1 78 D8 ")) << lines_[1];
    EXPECT_TRUE(lines_[2].ends_with(" >> 03 04 02 B2 B2 34 25 ")) << lines_[2];
    EXPECT_EQ(lines_[3], "Ответ отброшен: на линии запоздавший ответ на прежний запрос");
    EXPECT_TRUE(chanel_.IsOpen());

    // An answer with nothing behind it settles the line again (after the line was quiet).
    peer_.SetTimeouts(3000, 20);
    gateway = std::thread([&] {
        Bytes third(8);
        if (peer_.Receive(third, 0) == 8 && third == Request(3))
            peer_.Send(Answer(0xC3), 0);
    });
    EXPECT_EQ(chanel_.Transact(Request(3), answer, nullptr), 7);
    gateway.join();
    EXPECT_EQ(answer, Answer(0xC3));
    EXPECT_FALSE(chanel_.LineUnsettled());
}

TEST_F(TcpChanelOnLoopback, CloseWakesATransactionWaitingForItsAnswer)
{
    chanel_.Params().TcpTimeout = 600000;   // ten minutes on top of every first-byte wait
    OpenAndAccept();
    chanel_.SetTimeouts(1000, 20, nullptr);
    int32_t received = 0;
    std::thread worker([&] {
        Bytes answer(8);
        received = chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr);
    });
    Bytes request(4);
    ASSERT_EQ(peer_.Receive(request, 0), 4);   // the worker is waiting now
    chanel_.Close(nullptr);
    worker.join();
    EXPECT_EQ(received, -1);
    EXPECT_EQ(lines_.back(), "Канал не открыт");
    EXPECT_FALSE(chanel_.IsOpen());
}

// A gateway that has gone is named, as a serial line that lost its device is: the transaction
// that finds it logs and throws the text, and every later one fails with it too.
TEST_F(TcpChanelOnLoopback, DroppedConnectionClosesTheChannel)
{
    OpenAndAccept();
    chanel_.SetTimeouts(1000, 20, nullptr);
    peer_.Close();
    std::this_thread::sleep_for(milliseconds(20));
    Bytes answer(5);
    const auto start = steady_clock::now();
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); }),
              "Соединение закрыто удаленной стороной");
    EXPECT_LT(steady_clock::now() - start, milliseconds(200));
    ASSERT_EQ(lines_.size(), 3u);
    EXPECT_EQ(lines_[2], "Соединение закрыто удаленной стороной");
    EXPECT_FALSE(chanel_.IsOpen());
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); }),
              "Соединение закрыто удаленной стороной");
    EXPECT_EQ(lines_.size(), 3u);
    EXPECT_EQ(notices_, (std::vector<int>{kNotifyTransmit, kNotifyReceive}));
    // Closed by the user, it is a closed channel like any other.
    chanel_.Close(nullptr);
    EXPECT_FALSE(chanel_.IsOpen());
    EXPECT_EQ(chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr), 0);
}

TEST_F(TcpChanelOnLoopback, PeerClosingMidAnswerEndsTheTransactionPromptly)
{
    OpenAndAccept();
    chanel_.SetTimeouts(1000, 1000, nullptr);
    std::thread gateway([&] {
        Bytes request(4);
        peer_.Receive(request, 0);
        peer_.Send(Bytes{1, 2}, 0);
        peer_.Close();
    });
    Bytes answer(8);
    const auto start = steady_clock::now();
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); }),
              "Соединение закрыто удаленной стороной");
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    gateway.join();
    EXPECT_TRUE(lines_[1].ends_with(" >> 01 02 ")) << lines_[1];
    EXPECT_FALSE(chanel_.IsOpen());
}

} // namespace
