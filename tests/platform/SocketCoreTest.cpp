#include "platform/SocketCore.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;

// A connected pair over loopback: `client` is the socket under test, `peer` plays the far end.
class LoopbackPair : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener_.Open(0, "127.0.0.1"));
        ASSERT_TRUE(listener_.Listen());
        ASSERT_TRUE(client_.Open(0, "0"));
        ASSERT_TRUE(client_.ConnectByName("127.0.0.1", listener_.LocalPort())) << client_.LastError();
        ASSERT_TRUE(listener_.Accept(peer_)) << listener_.LastError();
    }
    void TearDown() override
    {
        if (player_.joinable())
            player_.join();
        peer_.Close();
        client_.Close();
        listener_.Close();
    }

    struct Step {
        int delayMs;
        Bytes bytes;
    };
    // The peer sends each step after its delay, then closes when asked.
    void Play(std::vector<Step> steps, bool closeAtEnd)
    {
        player_ = std::thread([this, steps = std::move(steps), closeAtEnd] {
            for (const Step& step : steps) {
                std::this_thread::sleep_for(milliseconds(step.delayMs));
                peer_.Send(step.bytes, 0);
            }
            if (closeAtEnd)
                peer_.Close();
        });
    }

    TSyncSocket listener_{200, 0};
    TSyncSocket client_{200, 50};
    TSyncSocket peer_{200, 50};
    std::thread player_;
};

struct ReceiveCase {
    const char* name;
    std::vector<std::pair<int, Bytes>> steps;   // delay before each chunk, chunk
    bool closeAtEnd;
    int32_t interByteMs;
    int32_t expected;      // result of the receive
    int expectedError;     // LastError() when the result is -1
    int maxMs;             // the receive must end within this
};

TEST_F(LoopbackPair, ReceiveTable)
{
    const Bytes eight = {1, 2, 3, 4, 5, 6, 7, 8};
    const ReceiveCase cases[] = {
        {"whole answer at once", {{0, eight}}, false, 50, 8, 0, 150},
        {"two chunks within the gap", {{0, {1, 2, 3}}, {20, {4, 5, 6, 7, 8}}}, false, 60, 8, 0, 180},
        {"short answer after a gap", {{0, {1, 2, 3, 4, 5}}, {150, {6, 7, 8}}}, false, 40, 5, 0, 140},
        {"no answer", {}, false, 50, -1, EWOULDBLOCK, 350},
        {"inter-byte 0 ends with the first read", {{0, {1, 2, 3}}, {30, {4}}}, false, 0, 3, 0, 100},
        {"peer closes mid-answer", {{0, {1, 2, 3}}}, true, 5000, 3, 0, 150},
        {"peer closes without answering", {}, true, 50, -1, ECONNRESET, 150},
    };
    for (const ReceiveCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        std::vector<Step> steps;
        for (const auto& [delay, bytes] : c.steps)
            steps.push_back({delay, bytes});
        Play(steps, c.closeAtEnd);
        client_.SetTimeouts(c.closeAtEnd ? 5000 : 200, c.interByteMs);
        Bytes buffer(8);
        const auto start = steady_clock::now();
        const int32_t received = client_.Receive(buffer, 0);
        const auto took = duration_cast<milliseconds>(steady_clock::now() - start).count();
        EXPECT_EQ(received, c.expected);
        if (c.expected < 0)
            EXPECT_EQ(client_.LastError(), c.expectedError);
        else
            EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + received, eight.begin()));
        EXPECT_LT(took, c.maxMs);
        player_.join();
    }
}

TEST_F(LoopbackPair, BytesAfterAnAnswerStayForTheNextReceive)
{
    peer_.Send(Bytes{1, 2, 3, 4, 5, 6}, 0);
    std::this_thread::sleep_for(milliseconds(20));
    Bytes first(4);
    EXPECT_EQ(client_.Receive(first, 0), 4);
    EXPECT_EQ(client_.BytesAvailable(), 2u);
    Bytes second(4);
    EXPECT_EQ(client_.Receive(second, 0), 2);
    EXPECT_EQ(second[0], 5);
}

TEST_F(LoopbackPair, DrainDropsStaleInputAndNoticesAClosedPeer)
{
    peer_.Send(Bytes{9, 9, 9}, 0);
    std::this_thread::sleep_for(milliseconds(20));
    EXPECT_EQ(client_.DrainInput(), 3);
    EXPECT_FALSE(client_.PeerClosed());
    peer_.Close();
    std::this_thread::sleep_for(milliseconds(20));
    EXPECT_EQ(client_.DrainInput(), 0);
    EXPECT_TRUE(client_.PeerClosed());
    Bytes buffer(4);
    const auto start = steady_clock::now();
    EXPECT_EQ(client_.Receive(buffer, 0), -1);
    EXPECT_EQ(client_.LastError(), ECONNRESET);
    EXPECT_LT(steady_clock::now() - start, milliseconds(50));
}

TEST_F(LoopbackPair, SendToAClosedPeerFailsWithoutSignal)
{
    peer_.Close();
    std::this_thread::sleep_for(milliseconds(20));
    const Bytes data(64 * 1024, 0x55);
    int32_t result = 0;
    for (int i = 0; i < 5 && result >= 0; ++i)
        result = client_.Send(data, 0);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(client_.LastError() == EPIPE || client_.LastError() == ECONNRESET) << client_.LastError();
}

TEST(SyncSocket, SendThatFindsNoRoomGivesUpAfterItsWait)
{
    TSyncSocket listener(100, 0);
    ASSERT_TRUE(listener.Open(0, "127.0.0.1"));
    ASSERT_TRUE(listener.Listen());
    TSyncSocket client(50, 0);
    ASSERT_TRUE(client.Open(0, ""));
    ASSERT_TRUE(client.ConnectByName("127.0.0.1", listener.LocalPort()));
    TSyncSocket peer(100, 0);
    ASSERT_TRUE(listener.Accept(peer));
    // The peer never reads: the send buffers fill and the send must end, not wait forever.
    const Bytes data(16 * 1024 * 1024, 0xAA);
    const auto start = steady_clock::now();
    EXPECT_EQ(client.Send(data, 0), -1);
    EXPECT_EQ(client.LastError(), ETIMEDOUT);
    EXPECT_LT(steady_clock::now() - start, seconds(2));
}

TEST(SyncSocket, ConnectToAClosedPortFailsPromptly)
{
    TSyncSocket probe(100, 0);
    ASSERT_TRUE(probe.Open(0, "127.0.0.1"));
    const int32_t port = probe.LocalPort();   // bound but not listening: connections are refused
    TSyncSocket client(5000, 300);
    ASSERT_TRUE(client.Open(0, "0"));
    const auto start = steady_clock::now();
    EXPECT_FALSE(client.ConnectByName("127.0.0.1", port));
    EXPECT_EQ(client.LastError(), ECONNREFUSED);
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    EXPECT_EQ(SocketErrorText(client.LastError()), "Ошибка - 111 \"Connection refused\"");
}

TEST(SyncSocket, AddressTexts)
{
    TSyncSocket socket(100, 0);
    ASSERT_TRUE(socket.Open(0, "0"));
    socket.Close();
    ASSERT_TRUE(socket.Open(0, ""));
    socket.Close();
    EXPECT_FALSE(socket.Open(0, "localhost"));   // no lookup for the local address
    EXPECT_EQ(socket.LastError(), EINVAL);
    EXPECT_FALSE(socket.IsOpen());

    ASSERT_TRUE(socket.Open(0, ""));
    EXPECT_FALSE(socket.ConnectByName("", 4001));
    EXPECT_EQ(socket.LastError(), EINVAL);
    EXPECT_FALSE(socket.ConnectByName("127.0.0.1", 0));
    EXPECT_EQ(socket.LastError(), EINVAL);
    EXPECT_FALSE(socket.ConnectByName("127.0.0.1", 65536));
    EXPECT_EQ(socket.LastError(), EINVAL);
}

TEST(SyncSocket, ObjectWithoutSocketDoesNothingHarmful)
{
    TSyncSocket socket(100, 0);
    Bytes buffer(4);
    EXPECT_EQ(socket.BytesAvailable(), 0u);
    EXPECT_EQ(socket.Receive(buffer, 0), -1);
    EXPECT_EQ(socket.Send(buffer, 0), -1);
    EXPECT_FALSE(socket.ConnectByName("127.0.0.1", 1));
    EXPECT_EQ(socket.DrainInput(), 0);
    socket.Close();
    socket.Close();
    ASSERT_TRUE(socket.Open(0, ""));
    EXPECT_FALSE(socket.Open(0, ""));   // already holds one
    socket.Close();
    socket.Close();
}

TEST(SyncSocket, AcceptRunsOutAfterItsWait)
{
    TSyncSocket listener(60, 0);
    ASSERT_TRUE(listener.Open(0, "127.0.0.1"));
    ASSERT_TRUE(listener.Listen());
    TSyncSocket target(0, 0);
    const auto start = steady_clock::now();
    EXPECT_FALSE(listener.Accept(target));
    EXPECT_EQ(listener.LastError(), ETIMEDOUT);
    EXPECT_GE(steady_clock::now() - start, milliseconds(50));
}

TEST(SocketErrorText, FormatsCodeAndSystemText)
{
    EXPECT_EQ(SocketErrorText(ETIMEDOUT), "Ошибка - 110 \"Connection timed out\"");
    EXPECT_EQ(SocketErrorText(EINVAL), "Ошибка - 22 \"Invalid argument\"");
    EXPECT_EQ(SocketErrorText(99999), "Ошибка - 99999 \"\"");
}

} // namespace
