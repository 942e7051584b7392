#include "comm/ComPortChanel.h"
#include "platform/Exceptions.h"

#include "Failures.h"
#include "Frames.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using testsupport::MessageOf;
using testsupport::PtyPair;
using testsupport::WithCrc;

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
    // The stale bytes are dropped before the request, and the log shows them.
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_TRUE(lines_[0].ends_with("[" + pty_.SlavePath() + "] >> EE EE ")) << lines_[0];
    EXPECT_EQ(lines_[1], "Ответ отброшен: на линии запоздавший ответ на прежний запрос");
    EXPECT_TRUE(lines_[2].ends_with("[" + pty_.SlavePath() + "] << 05 11 C2 EC ")) << lines_[2];
    EXPECT_TRUE(lines_[3].ends_with("[" + pty_.SlavePath() + "] >> 05 11 00 01 02 03 04 05 ")) << lines_[3];
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

// Read requests of one register and their answers, as DaxHelper sends and expects them.
Bytes Request(uint8_t address) { return WithCrc({5, 0x04, 0x00, address, 0x00, 0x01}); }
Bytes Answer(uint8_t value) { return WithCrc({5, 0x04, 0x02, value, value}); }

// An answer that comes after its request was given up, while the next request of the same
// shape waits to go out: dropped (and logged), never taken for the next request's.
TEST_F(ComPortChanelOnPty, ALateAnswerIsDroppedAndTheNextRequestGetsItsOwn)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(200, 20, nullptr);   // the late answer counts as lost after 220 ms of quiet
    Bytes answer(7);
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Request(1), answer, nullptr); }), "Прибор не отвечает");
    ASSERT_EQ(pty_.Read(8, milliseconds(500)), Request(1));
    std::thread instrument([&] {
        std::this_thread::sleep_for(milliseconds(30));   // while the next request waits for it
        pty_.Write(Answer(0xA1));
        if (pty_.Read(8, milliseconds(2000)) == Request(2))
            pty_.Write(Answer(0xB2));
    });
    lines_.clear();
    chanel_.SetTimeouts(500, 20, nullptr);
    EXPECT_EQ(chanel_.Transact(Request(2), answer, nullptr), 7);
    instrument.join();
    EXPECT_EQ(answer, Answer(0xB2));
    ASSERT_EQ(lines_.size(), 4u);
    EXPECT_TRUE(lines_[0].ends_with(" >> 05 04 02 A1 A1 " + testsupport::HexOfCrc(Answer(0xA1)))) << lines_[0];
    EXPECT_EQ(lines_[1], "Ответ отброшен: на линии запоздавший ответ на прежний запрос");
    EXPECT_TRUE(lines_[2].ends_with(" << 05 04 00 02 00 01 " + testsupport::HexOfCrc(Request(2)))) << lines_[2];
    EXPECT_FALSE(chanel_.LineUnsettled());
}

TEST_F(ComPortChanelOnPty, AnAnswerFollowedByMoreBytesOnAnUnsettledLineIsRefused)
{
    chanel_.Open(nullptr);
    chanel_.SetTimeouts(50, 20, nullptr);
    Bytes answer(7);
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Request(1), answer, nullptr); }), "Прибор не отвечает");
    ASSERT_EQ(pty_.Read(8, milliseconds(500)), Request(1));
    EXPECT_TRUE(chanel_.LineUnsettled());

    // The late answer to the first request comes only after the line was quiet long enough for
    // it to count as lost, right after the second request went out, followed by the second's
    // own: the channel cannot tell which is which and takes neither.
    chanel_.SetTimeouts(500, 20, nullptr);
    std::thread instrument([&] {
        if (pty_.Read(8, milliseconds(2000)) == Request(2)) {
            Bytes both = Answer(0xA1);
            const Bytes own = Answer(0xB2);
            both.insert(both.end(), own.begin(), own.end());
            pty_.Write(both);
        }
    });
    EXPECT_EQ(MessageOf([&] { chanel_.Transact(Request(2), answer, nullptr); }),
              "Ответ отброшен: на линии запоздавший ответ на прежний запрос");
    instrument.join();

    // An answer with nothing behind it settles the line again.
    instrument = std::thread([&] {
        if (pty_.Read(8, milliseconds(2000)) == Request(3))
            pty_.Write(Answer(0xC3));
    });
    EXPECT_EQ(chanel_.Transact(Request(3), answer, nullptr), 7);
    instrument.join();
    EXPECT_EQ(answer, Answer(0xC3));
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
        if (pty_.Read(8, milliseconds(2000)) == Request(4))
            pty_.Write(Answer(0xD4));
    });
    Bytes answer(7);
    EXPECT_EQ(chanel_.Transact(Request(4), answer, nullptr), 7);
    instrument.join();
    EXPECT_EQ(answer, Answer(0xD4));
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
