#include "comm/ChanelHelper.h"

#include "FakeTime.h"

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

struct LoggedLine {
    std::string text;
    TInteractContainer* target;
};

class ChanelHelperTest : public testing::Test {
protected:
    void SetUp() override
    {
        clock_.SetUtc(sys_days(2026y / December / 10d) + 9h + 5min + 3s + 7ms);
        chanel_.SetClock(&clock_);
        chanel_.SetLogCallback([this](const std::string& text, TInteractContainer* target) {
            lines_.push_back({text, target});
        });
    }

    testsupport::ManualClock clock_;
    PlainChanel chanel_;
    std::vector<LoggedLine> lines_;
};

const std::vector<uint8_t> kRequest = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};

TEST_F(ChanelHelperTest, ExchangeLineGoldenText)
{
    chanel_.SetLogEnabled(true);
    TInteractContainer container(std::make_unique<TInteract>());
    chanel_.LogExchange(kRequest, "COM1", ExchangeDirection::Request, &container);
    chanel_.LogExchange({}, "127.0.0.1:4001", ExchangeDirection::Answer, nullptr);
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_EQ(lines_[0].text, "09:05:03:007 [COM1] << 01 03 00 00 00 0A C5 CD ");
    EXPECT_EQ(lines_[0].target, &container);
    EXPECT_EQ(lines_[1].text, "09:05:03:007 [127.0.0.1:4001] >> ");
    EXPECT_EQ(lines_[1].target, nullptr);
}

TEST_F(ChanelHelperTest, LogSwitchGatesOnlyExchangeLines)
{
    chanel_.LogExchange(kRequest, "COM1", ExchangeDirection::Request, nullptr);
    EXPECT_TRUE(lines_.empty());
    chanel_.Log("Прибор не отвечает", nullptr);
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_EQ(lines_[0].text, "Прибор не отвечает");
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

TEST(ChanelHelper, SwitchAndCallbacksMayChangeWhileAWorkerLogs)
{
    PlainChanel chanel;
    std::atomic<int> received{0};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop) {
            chanel.LogExchange(kRequest, "COM1", ExchangeDirection::Request, nullptr);
            chanel.Notify(kNotifyTransmit);
        }
    });
    for (int i = 0; i < 200; ++i) {
        chanel.SetLogEnabled(i % 2 == 0);
        chanel.SetLogCallback([&](const std::string&, TInteractContainer*) { ++received; });
        chanel.SetNotifier([&](int) { ++received; });
        std::this_thread::yield();
    }
    stop = true;
    worker.join();
    SUCCEED();
}

} // namespace
