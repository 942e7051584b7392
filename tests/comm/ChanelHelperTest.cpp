#include "comm/ChanelHelper.h"

#include "FakeTime.h"
#include "LogRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono;

// The base behaviour, as a channel that overrides nothing but its kind.
class PlainChanel : public TChanelHelperBase {
public:
    ChanelKind Kind() const override { return ChanelKind::ComPort; }
};

class ChanelHelperTest : public testing::Test {
protected:
    void SetUp() override
    {
        clock_.SetUtc(sys_days(2026y / December / 10d) + 9h + 5min + 3s + 7ms);
        chanel_.SetClock(&clock_);
        chanel_.SetLogCallback(log_.Callback());
    }

    testsupport::ManualClock clock_;
    PlainChanel chanel_;
    testsupport::LogRecorder log_;
};

const std::vector<uint8_t> kRequest = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};

TEST_F(ChanelHelperTest, ExchangeLineGoldenText)
{
    chanel_.SetLogEnabled(true);
    TInteractContainer container(std::make_unique<TInteract>());
    chanel_.LogExchange(kRequest, "COM1", ExchangeDirection::Request, &container);
    chanel_.LogExchange({}, "127.0.0.1:4001", ExchangeDirection::Answer, nullptr);
    const auto lines = log_.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "09:05:03:007 [COM1] << 01 03 00 00 00 0A C5 CD ");
    EXPECT_EQ(lines[0].target, &container);
    EXPECT_EQ(lines[1].text, "09:05:03:007 [127.0.0.1:4001] >> ");
    EXPECT_EQ(lines[1].target, nullptr);
}

TEST_F(ChanelHelperTest, LogSwitchGatesOnlyExchangeLines)
{
    chanel_.LogExchange(kRequest, "COM1", ExchangeDirection::Request, nullptr);
    EXPECT_TRUE(log_.Texts().empty());
    chanel_.Log("Прибор не отвечает", nullptr);
    EXPECT_EQ(log_.Texts(), (std::vector<std::string>{"Прибор не отвечает"}));
}

TEST_F(ChanelHelperTest, WithoutCallbackTextsAreDropped)
{
    chanel_.SetLogCallback(nullptr);
    chanel_.SetLogEnabled(true);
    EXPECT_NO_THROW(chanel_.Log("x", nullptr));
    EXPECT_NO_THROW(chanel_.LogExchange(kRequest, "COM1", ExchangeDirection::Request, nullptr));
    EXPECT_NO_THROW(chanel_.Notify(kNotifyTransmit));
}

TEST_F(ChanelHelperTest, BaseChannelIsNeverOpenAndTransfersNothing)
{
    std::vector<uint8_t> answer(8);
    EXPECT_NO_THROW(chanel_.Open(nullptr));
    EXPECT_FALSE(chanel_.IsOpen());
    EXPECT_EQ(chanel_.Transact(kRequest, answer, nullptr), 0);
    EXPECT_EQ(chanel_.DeviceAddress(), 0);
}

TEST_F(ChanelHelperTest, NotifierGetsTheBits)
{
    std::vector<int> notices;
    chanel_.SetNotifier([&](int bits) { notices.push_back(bits); });
    chanel_.Notify(kNotifyTransmit);
    chanel_.Notify(kNotifyReceive);
    EXPECT_EQ(notices, (std::vector<int>{1, 2}));
}

// Workers log and notify while the main thread flips the switch and replaces the callbacks:
// once the worker has gone round again, a replaced callback is never called, the switch holds,
// and the last callbacks get every line and notice.
TEST(ChanelHelper, SwitchAndCallbacksMayChangeWhileAWorkerLogs)
{
    PlainChanel chanel;
    std::atomic<int> rounds{0};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop) {
            chanel.LogExchange(kRequest, "COM1", ExchangeDirection::Request, nullptr);
            chanel.Notify(kNotifyTransmit);
            ++rounds;
        }
    });
    // Until the worker has finished `more` whole rounds from now (bounded).
    const auto waitRounds = [&](int more) {
        const int target = rounds.load() + more;
        const auto deadline = steady_clock::now() + 10s;
        while (rounds.load() < target && steady_clock::now() < deadline)
            std::this_thread::yield();
        return rounds.load() >= target;
    };

    std::atomic<int> replaced{0};
    for (int i = 0; i < 200; ++i) {
        chanel.SetLogEnabled(i % 2 == 0);
        chanel.SetLogCallback([&](const std::string&, TInteractContainer*) { ++replaced; });
        chanel.SetNotifier([&](int) { ++replaced; });
        std::this_thread::yield();
    }
    testsupport::LogRecorder log;
    std::atomic<int> transmitNotices{0};
    std::atomic<int> otherNotices{0};
    chanel.SetLogCallback(log.Callback());
    chanel.SetNotifier([&](int bits) { ++(bits == kNotifyTransmit ? transmitNotices : otherNotices); });
    chanel.SetLogEnabled(false);
    ASSERT_TRUE(waitRounds(2));
    const int replacedCalls = replaced.load();
    log.Clear(); // a round that began before the switch went off may have logged
    ASSERT_TRUE(waitRounds(2));
    EXPECT_TRUE(log.Texts().empty());
    EXPECT_EQ(replaced.load(), replacedCalls);
    EXPECT_GT(transmitNotices.load(), 0);

    chanel.SetLogEnabled(true);
    ASSERT_TRUE(waitRounds(2));
    stop = true;
    worker.join();
    const std::vector<std::string> texts = log.Texts();
    ASSERT_FALSE(texts.empty());
    for (const std::string& text : texts)
        EXPECT_TRUE(text.ends_with(" [COM1] << 01 03 00 00 00 0A C5 CD ")) << text;
    EXPECT_EQ(otherNotices.load(), 0);
    EXPECT_EQ(replaced.load(), replacedCalls);
}

} // namespace
