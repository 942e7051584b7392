#include "comm/ComPortChanel.h"
#include "platform/Exceptions.h"

#include "Failures.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using testsupport::MessageOf;
using testsupport::PtyPair;

constexpr const char* kKey = TComPortChanelParams::kRegistryKey;

TEST(ComPortChanelParams, RegistryValuesWithTypeCheck)
{
    platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    store.WriteString(kKey, "ComPortSpeed", "9600");
    store.WriteInteger(kKey, "NetAddr", 17);
    store.WriteInteger(kKey, "ComPortName", 5);
    ComPortChanelHelper chanel;
    EXPECT_EQ(chanel.Params().ComPortSpeed, 19200);
    EXPECT_EQ(chanel.Params().NetAddr, 17);
    EXPECT_EQ(chanel.Params().ComPortName, "");
    EXPECT_EQ(chanel.DeviceAddress(), 0);
}

TEST(ComPortChanelParams, ConstructionCreatesTheKey)
{
    ComPortChanelHelper chanel;
    EXPECT_TRUE(platform::RegistryStore::CurrentUser().KeyExists(kKey));
    EXPECT_EQ(chanel.Kind(), ChanelKind::ComPort);
}

class ComPortChanelOnPty : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty_.Ok());
        chanel_.Params().ComPortName = pty_.SlavePath();
        chanel_.Params().NetAddr = 5;
        chanel_.SetLogEnabled(true);
        chanel_.SetLogCallback([this](const std::string& text, TInteractContainer*) { lines_.push_back(text); });
        chanel_.SetNotifier([this](int bits) { notices_.push_back(bits); });
    }

    PtyPair pty_;
    ComPortChanelHelper chanel_;
    std::vector<std::string> lines_;
    std::vector<int> notices_;
};

TEST_F(ComPortChanelOnPty, OpenStoresSettingsAndAddress)
{
    chanel_.Open(nullptr);
    EXPECT_TRUE(chanel_.IsOpen());
    EXPECT_EQ(chanel_.DeviceAddress(), 5);
    const platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    EXPECT_EQ(store.ReadString(kKey, "ComPortName", "-"), pty_.SlavePath());
    EXPECT_EQ(store.ReadInteger(kKey, "ComPortSpeed", -1), 19200);
    EXPECT_EQ(store.ReadInteger(kKey, "NetAddr", -1), 5);
    // Edits reach the address only at the next open.
    chanel_.Params().NetAddr = 9;
    EXPECT_EQ(chanel_.DeviceAddress(), 5);
}

TEST_F(ComPortChanelOnPty, FailedOpenIsAllOrNothing)
{
    chanel_.Open(nullptr);
    chanel_.Close(nullptr);
    struct Case {
        const char* name;
        std::string port;
        int32_t speed;
        std::string message;
    };
    const Case cases[] = {
        {"no such port", "/dev/no-such-port", 19200, "COM-порт не открыт"},
        {"speed refused", pty_.SlavePath(), 0,
         "Недопустимая скорость порта: 0 (допустимы 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chanel_.Params().ComPortName = c.port;
        chanel_.Params().ComPortSpeed = c.speed;
        chanel_.Params().NetAddr = 77;
        EXPECT_EQ(MessageOf([&] { chanel_.Open(nullptr); }), c.message);
        EXPECT_FALSE(chanel_.IsOpen());
        EXPECT_EQ(chanel_.DeviceAddress(), 5);
        const platform::RegistryStore store = platform::RegistryStore::CurrentUser();
        EXPECT_EQ(store.ReadString(kKey, "ComPortName", "-"), pty_.SlavePath());
        EXPECT_EQ(store.ReadInteger(kKey, "NetAddr", -1), 5);
    }
}

TEST_F(ComPortChanelOnPty, SetTimeoutsMapsOntoThePort)
{
    EXPECT_EQ(MessageOf([&] { chanel_.SetTimeouts(1000, 20, nullptr); }), "COM-порт не открыт");
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(1000, 20, nullptr);
    const comprt::CommTimeouts timeouts = chanel_.PortTimeouts();
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 1000);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 1000);
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 20);
}

TEST_F(ComPortChanelOnPty, TransactionPurgesLogsAndNotifies)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(200, 30, nullptr);
    pty_.Write(Bytes{0xEE, 0xEE});   // stale bytes from an earlier exchange
    std::this_thread::sleep_for(milliseconds(20));
    const Bytes request = {0x05, 0x11, 0xC2, 0xEC};
    std::thread instrument([&] {
        if (pty_.Read(4, milliseconds(500)) == request)
            pty_.Write(Bytes{0x05, 0x11, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05});
    });
    Bytes answer(8);
    EXPECT_EQ(chanel_.Transact(request, answer, nullptr), 8);
    instrument.join();
    EXPECT_EQ(answer, (Bytes{0x05, 0x11, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05}));
    EXPECT_EQ(notices_, (std::vector<int>{kNotifyTransmit, kNotifyReceive}));
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_TRUE(lines_[0].ends_with("[" + pty_.SlavePath() + "] << 05 11 C2 EC ")) << lines_[0];
    EXPECT_TRUE(lines_[1].ends_with("[" + pty_.SlavePath() + "] >> 05 11 00 01 02 03 04 05 ")) << lines_[1];
}

TEST_F(ComPortChanelOnPty, ShortAnswerReturnsWhatCame)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(200, 30, nullptr);
    std::thread instrument([&] {
        pty_.Read(4, milliseconds(500));
        pty_.Write(Bytes{1, 2, 3});
    });
    Bytes answer(8);
    EXPECT_EQ(chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr), 3);
    instrument.join();
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_TRUE(lines_[1].ends_with(">> 01 02 03 ")) << lines_[1];
}

TEST_F(ComPortChanelOnPty, NoAnswerThrowsWithoutReceiveNotice)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(60, 20, nullptr);
    Bytes answer(8);
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); }), "Прибор не отвечает");
    EXPECT_EQ(notices_, (std::vector<int>{kNotifyTransmit}));
    EXPECT_EQ(lines_.size(), 1u);
    chanel_.Close(nullptr);
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); }), "COM-порт не открыт");
}

TEST_F(ComPortChanelOnPty, AnAnswerFollowedByMoreBytesOnAnUnsettledLineIsRefused)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(50, 20, nullptr);
    Bytes answer(3);
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{0x01}, answer, nullptr); }), "Прибор не отвечает");
    ASSERT_EQ(pty_.Read(1, milliseconds(500)), Bytes{0x01});
    EXPECT_TRUE(chanel_.LineUnsettled());

    // The late answer to the first request comes right after the second went out, followed by
    // the second's own: the channel cannot tell which is which and takes neither.
    chanel_.SetTimeouts(500, 20, nullptr);
    std::thread instrument([&] {
        if (pty_.Read(1, milliseconds(2000)) == Bytes{0x02})
            pty_.Write(Bytes{0xA1, 0xA1, 0xA1, 0xB2, 0xB2, 0xB2});
    });
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{0x02}, answer, nullptr); }),
              "Ответ отброшен: на линии запоздавший ответ на прежний запрос");
    instrument.join();

    // An answer with nothing behind it settles the line again.
    instrument = std::thread([&] {
        if (pty_.Read(1, milliseconds(2000)) == Bytes{0x03})
            pty_.Write(Bytes{0xC3, 0xC3, 0xC3});
    });
    EXPECT_EQ(chanel_.Transact(Bytes{0x03}, answer, nullptr), 3);
    instrument.join();
    EXPECT_EQ(answer, (Bytes{0xC3, 0xC3, 0xC3}));
    EXPECT_FALSE(chanel_.LineUnsettled());
}

TEST_F(ComPortChanelOnPty, AnUnsettledLineTakesAnAnswerThatStandsAlone)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(200, 20, nullptr);
    chanel_.MarkLineUnsettled();
    // Input that is still arriving when the request is due is dropped first.
    pty_.Write(Bytes{0xEE, 0xEE});
    std::thread instrument([&] {
        if (pty_.Read(1, milliseconds(2000)) == Bytes{0x04})
            pty_.Write(Bytes{0xD4, 0xD4});
    });
    Bytes answer(2);
    EXPECT_EQ(chanel_.Transact(Bytes{0x04}, answer, nullptr), 2);
    instrument.join();
    EXPECT_EQ(answer, (Bytes{0xD4, 0xD4}));
    EXPECT_FALSE(chanel_.LineUnsettled());
}

TEST_F(ComPortChanelOnPty, CloseWakesATransactionWaitingForItsAnswer)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(600000, 600000, nullptr);   // ten minutes
    std::string outcome;
    std::thread worker([&] {
        Bytes answer(8);
        outcome = MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); });
    });
    ASSERT_EQ(pty_.Read(4, milliseconds(2000)).size(), 4u);   // the worker is waiting now
    chanel_.Close(nullptr);
    worker.join();
    EXPECT_EQ(outcome, "COM-порт не открыт");
    EXPECT_FALSE(chanel_.IsOpen());
    // The channel opens again as before.
    chanel_.Open(nullptr);
    EXPECT_TRUE(chanel_.IsOpen());
}

TEST_F(ComPortChanelOnPty, APortThatGoesAwayClosesTheChannel)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(600000, 20, nullptr);
    std::string outcome;
    std::thread worker([&] {
        Bytes answer(8);
        outcome = MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); });
    });
    ASSERT_EQ(pty_.Read(4, milliseconds(2000)).size(), 4u);
    pty_.HangUp();
    worker.join();
    EXPECT_EQ(outcome, "COM-порт отключен");
    EXPECT_FALSE(chanel_.IsOpen());
    EXPECT_EQ(lines_.back(), "COM-порт отключен");
    Bytes answer(8);
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Bytes{1, 2, 3, 4}, answer, nullptr); }), "COM-порт не открыт");
}

TEST(ComPortChanel, WithoutRegistryNothingIsReadOrStored)
{
    platform::RegistryStore store = platform::RegistryStore::CurrentUser();
    store.WriteInteger(kKey, "NetAddr", 17);
    PtyPair pty;
    ComPortChanelHelper chanel(false);
    EXPECT_EQ(chanel.Params().NetAddr, 0);
    chanel.Params().ComPortName = pty.SlavePath();
    chanel.Open(nullptr);
    EXPECT_FALSE(store.ValueExists(kKey, "ComPortName"));
}

} // namespace
