#include "DaxhelperFixture.h"

#include "comm/Interact.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

using namespace std::chrono_literals;
using namespace testsupport;
using Bytes = std::vector<uint8_t>;

const char* const kInvalid = "Недопустимый ответ от прибора";
const char* const kCrc = "Ошибка CRC в ответе прибора";

// The answer to a read of count registers whose data bytes are distinct: byte i of the block
// is (seed + i * 7) & 0xFF, so a block placed at a wrong offset shows.
Bytes BlockData(size_t bytes, uint8_t seed)
{
    Bytes data(bytes);
    for (size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<uint8_t>(seed + i * 7);
    return data;
}

Bytes ReadAnswer(uint8_t function, const Bytes& data, uint8_t address = 1)
{
    Bytes body = {address, function, static_cast<uint8_t>(data.size())};
    body.insert(body.end(), data.begin(), data.end());
    return WithCrc(body);
}

// ---------------------------------------------------------------- answer check

struct CheckCase {
    const char* name;
    Bytes answer;
    int32_t count; // -2: the answer's own size
    const char* text; // "" passes
};

TEST(DaxHelperCheckAnswer, Table)
{
    const Bytes fourGood = WithCrc({0x01, 0x03});
    Bytes badCrc = WithCrc({0x01, 0x03, 0x02, 0x12, 0x34});
    badCrc.back() ^= 0x01;
    const CheckCase cases[] = {
        {"nothing", {}, 0, kInvalid},
        {"channel silence", {}, -1, kInvalid},
        {"three bytes", {0x01, 0x03, 0x00}, 3, kInvalid},
        {"four good bytes", fourGood, -2, ""},
        {"count beyond the buffer", fourGood, 5, kInvalid},
        {"bad crc", badCrc, -2, kCrc},
        {"exception 2", {0x01, 0x83, 0x02, 0xC0, 0xF1}, -2, "Недопустимый(неверный) номер регистра"},
        {"exception 5", WithCrc({0x01, 0x84, 0x05}), -2, "Неизвестная ошибка"},
        {"exception 200", WithCrc({0x01, 0x90, 200}), -2, "Неизвестная ошибка"},
        {"exception 6", WithCrc({0x01, 0xC1, 0x06}), -2, "Устройство занято"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t count = c.count == -2 ? static_cast<int32_t>(c.answer.size()) : c.count;
        EXPECT_EQ(FailureText([&] { DaxHelper::CheckAnswer(c.answer, count); }), c.text);
    }
}

// ---------------------------------------------------------------- attempts

class DaxHelperAttempts : public testsupport::DaxHelperFixture {};

TEST_F(DaxHelperAttempts, TriesZeroOrBelowMakeOneAttempt)
{
    for (const int32_t tries : {0, -1, INT_MIN, 1}) {
        SCOPED_TRACE(tries);
        testsupport::ScriptedChanel chanel;
        helper_.SetChannel(&chanel);
        EXPECT_EQ(FailureText([&] { helper_.ReadRegisters(40001, 2, nullptr, tries); }), kInvalid);
        EXPECT_EQ(chanel.Transactions().size(), 1u);
    }
    for (const auto pause : Pauses())
        EXPECT_EQ(pause, 1ms); // only the pause after each release, never a retry pause
}

TEST_F(DaxHelperAttempts, SilenceRetriesWithPausesThenFailsWithTheChannelText)
{
    for (int i = 0; i < 3; ++i)
        chanel_.Queue(ScriptedReply::Failure("Нет ответа от прибора (таймаут)"));
    EXPECT_EQ(FailureText([&] { helper_.ReadRegisters(40001, 2, nullptr, 3); }), "Нет ответа от прибора (таймаут)");
    EXPECT_EQ(chanel_.Transactions().size(), 3u);
    EXPECT_EQ(Pauses(), (std::vector<std::chrono::milliseconds>{500ms, 500ms, 1ms}));
    // The time-outs are set once, before the first attempt.
    ASSERT_EQ(chanel_.Timeouts().size(), 1u);
    EXPECT_EQ(chanel_.Timeouts()[0].firstByteMs, 500);
    EXPECT_EQ(chanel_.Timeouts()[0].interByteMs, 100);
}

TEST_F(DaxHelperAttempts, AFailedAttemptIsRepeatedUntilOnePasses)
{
    Bytes bad = ReadAnswer(0x03, {0x12, 0x34});
    bad[3] ^= 0xFF;
    chanel_.Queue(ScriptedReply::Answer(bad));
    chanel_.Queue(ScriptedReply::Silence());
    chanel_.Queue(ScriptedReply::Answer(ReadAnswer(0x03, {0x12, 0x34})));
    EXPECT_TRUE(helper_.ReadRegisters(40001, 1, nullptr, 3));
    EXPECT_EQ(chanel_.Transactions().size(), 3u);
    EXPECT_EQ(Pauses(), (std::vector<std::chrono::milliseconds>{500ms, 500ms, 10ms, 1ms}));
    DaxHelperLocker lock(&helper_);
    EXPECT_EQ(helper_.HoldingRegisterImage[0], 0x12);
    EXPECT_EQ(helper_.HoldingRegisterImage[1], 0x34);
}

TEST_F(DaxHelperAttempts, AbortBetweenAttemptsEndsAfterThePause)
{
    TInteractContainer progress(std::make_unique<TInteract>());
    chanel_.SetOnTransact([&] {
        TInteractLock state(progress);
        state->SetAbort(true);
    });
    EXPECT_EQ(FailureText([&] { helper_.ReadRegisters(30001, 10, &progress, 3); }), "Выполнение процесса прервано");
    ASSERT_EQ(chanel_.Transactions().size(), 1u);
    EXPECT_EQ(chanel_.Transactions()[0].target, &progress);
    EXPECT_EQ(chanel_.Timeouts()[0].target, &progress);
    EXPECT_EQ(Pauses(), (std::vector<std::chrono::milliseconds>{500ms, 1ms}));
}

TEST_F(DaxHelperAttempts, ChannelFailureClassIsNotSeenByTheCaller)
{
    chanel_.SetOnTransact([] { throw win_error(5); });
    const std::string text = FailureText([&] { helper_.Identify(nullptr, 2); });
    EXPECT_EQ(text, win_error(5).Message());
    EXPECT_EQ(chanel_.Transactions().size(), 0u); // the hook throws before the channel records
}

TEST_F(DaxHelperAttempts, ForeignExceptionsPassUnchangedWithoutRetry)
{
    int calls = 0;
    chanel_.SetOnTransact([&] {
        ++calls;
        throw std::bad_alloc();
    });
    EXPECT_THROW(helper_.ReadRegisters(40001, 1, nullptr, 3), std::bad_alloc);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Pauses(), (std::vector<std::chrono::milliseconds>{1ms}));
}

TEST_F(DaxHelperAttempts, NoChannelFailsWithoutCrash)
{
    helper_.SetChannel(nullptr);
    EXPECT_EQ(FailureText([&] { helper_.ReadRegisters(40001, 1, nullptr, 3); }), "Канал не открыт");
    EXPECT_EQ(FailureText([&] { helper_.Identify(nullptr, 1); }), "Канал не открыт");
    EXPECT_FALSE(helper_.Identified());
}

TEST_F(DaxHelperAttempts, EachOperationSetsItsTimeoutsAndExpectedLength)
{
    uint16_t start = 0;
    uint8_t count = 5;
    struct Case {
        const char* name;
        std::function<void()> run;
        int32_t firstByteMs;
        size_t expectedLength;
    } cases[] = {
        {"read", [&] { helper_.ReadRegisters(30001, 127, nullptr, 1); }, 500, 259},
        {"write", [&] { helper_.WriteRegisters(40001, 2, nullptr, 1); }, 3000, 8},
        {"identify", [&] { helper_.Identify(nullptr, 1); }, 1000, 15},
        {"page", [&] { helper_.ReadArchivePage(6, 0, start, count, nullptr, 1); }, 1000, 89},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(FailureText(cases[i].run), kInvalid); // silence
        ASSERT_EQ(chanel_.Timeouts().size(), i + 1);
        EXPECT_EQ(chanel_.Timeouts()[i].firstByteMs, cases[i].firstByteMs);
        EXPECT_EQ(chanel_.Timeouts()[i].interByteMs, 100);
        EXPECT_EQ(chanel_.Transactions()[i].expectedLength, cases[i].expectedLength);
    }
}

// ---------------------------------------------------------------- register reads

class DaxHelperReads : public testsupport::DaxHelperFixture {};

struct PlacementCase {
    int32_t first;
    int32_t count;
};

TEST_F(DaxHelperReads, BlocksLandAtTheirRegisterOffsets)
{
    const PlacementCase cases[] = {{30001, 127}, {30128, 100}, {30355, 127}, {30481, 1},
                                   {40001, 127}, {40470, 127}, {40595, 2},   {40596, 1}};
    uint8_t seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const bool input = c.first < 40000;
        const Bytes data = BlockData(2 * size_t(c.count), seed);
        chanel_.Queue(ScriptedReply::Answer(ReadAnswer(input ? 0x04 : 0x03, data)));
        Bytes inputBefore, holdingBefore;
        {
            DaxHelperLocker lock(&helper_);
            inputBefore.assign(helper_.InputRegisterImage.begin(), helper_.InputRegisterImage.end());
            holdingBefore.assign(helper_.HoldingRegisterImage.begin(), helper_.HoldingRegisterImage.end());
        }
        ASSERT_TRUE(helper_.ReadRegisters(c.first, c.count, nullptr, 1));

        Bytes& expected = input ? inputBefore : holdingBefore;
        const size_t offset = 2 * size_t(c.first - (input ? 30001 : 40001));
        std::copy(data.begin(), data.end(), expected.begin() + offset);
        DaxHelperLocker lock(&helper_);
        EXPECT_EQ(Bytes(helper_.InputRegisterImage.begin(), helper_.InputRegisterImage.end()), inputBefore);
        EXPECT_EQ(Bytes(helper_.HoldingRegisterImage.begin(), helper_.HoldingRegisterImage.end()), holdingBefore);
        seed = static_cast<uint8_t>(seed + 31);
    }
}

TEST_F(DaxHelperReads, RequestFrames)
{
    chanel_.Queue(ScriptedReply::Answer(ReadAnswer(0x03, BlockData(20, 3))));
    chanel_.Queue(ScriptedReply::Answer(ReadAnswer(0x04, BlockData(254, 3))));
    ASSERT_TRUE(helper_.ReadRegisters(40001, 10, nullptr, 1));
    ASSERT_TRUE(helper_.ReadRegisters(30001, 127, nullptr, 1));
    const auto sent = chanel_.Transactions();
    EXPECT_EQ(sent[0].request, (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD}));
    EXPECT_EQ(sent[1].request, WithCrc({0x01, 0x04, 0x00, 0x00, 0x00, 0x7F}));
    EXPECT_EQ(Pauses(), (std::vector<std::chrono::milliseconds>{10ms, 1ms, 10ms, 1ms}));
}

struct RefusalCase {
    int32_t first;
    int32_t count;
};

TEST_F(DaxHelperReads, BlocksOutsideTheImagesAreRefusedBeforeSending)
{
    const RefusalCase cases[] = {{30000, 1},  {30482, 1}, {30480, 3},   {39999, 1},   {40000, 1}, {40597, 1},
                                 {40595, 3},  {30001, 0}, {30001, -1},  {30001, 128}, {40001, 128},
                                 {-5, 2},     {0, 1},     {INT_MAX, 2}, {40001, INT_MAX}, {INT_MIN, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " x " << c.count);
        EXPECT_FALSE(helper_.ReadRegisters(c.first, c.count, nullptr, 3));
    }
    EXPECT_TRUE(chanel_.Transactions().empty());
    EXPECT_TRUE(chanel_.Timeouts().empty());
}

struct BadReadCase {
    const char* name;
    Bytes answer;
};

TEST_F(DaxHelperReads, AnswersNotShapedLikeTheRequestFailTheAttempt)
{
    const Bytes four = BlockData(4, 0x40);
    Bytes wrongCount = ReadAnswer(0x03, four);
    wrongCount[2] = 2; // claims one register
    wrongCount = WithCrc(Bytes(wrongCount.begin(), wrongCount.end() - 2));
    const BadReadCase cases[] = {
        {"another device", ReadAnswer(0x03, four, 7)},
        {"another function", ReadAnswer(0x04, four)},
        {"byte count not the registers asked", wrongCount},
        {"fewer registers than asked", ReadAnswer(0x03, BlockData(2, 0x40))},
        {"byte count beyond the bytes received", WithCrc({0x01, 0x03, 0x04, 0x55, 0x66})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chanel_.Queue(ScriptedReply::Answer(c.answer));
        chanel_.Queue(ScriptedReply::Answer(c.answer));
        EXPECT_EQ(FailureText([&] { helper_.ReadRegisters(40001, 2, nullptr, 2); }), kInvalid);
        DaxHelperLocker lock(&helper_);
        EXPECT_TRUE(std::all_of(helper_.HoldingRegisterImage.begin(), helper_.HoldingRegisterImage.end(),
                                [](uint8_t b) { return b == 0; }));
    }
    EXPECT_EQ(chanel_.Transactions().size(), 2 * std::size(cases));
}

TEST_F(DaxHelperReads, StaleBytesOfAnEarlierAnswerNeverReachTheImage)
{
    chanel_.Queue(ScriptedReply::Answer(ReadAnswer(0x03, {0xA1, 0xA2, 0xA3, 0xA4})));
    ASSERT_TRUE(helper_.ReadRegisters(40001, 2, nullptr, 1));
    // The next answer claims 4 data bytes but brings 2: the buffer still holds A3 A4 after them.
    chanel_.Queue(ScriptedReply::Answer(WithCrc({0x01, 0x03, 0x04, 0x11, 0x22})));
    EXPECT_EQ(FailureText([&] { helper_.ReadRegisters(40003, 2, nullptr, 1); }), kInvalid);
    DaxHelperLocker lock(&helper_);
    EXPECT_EQ(Bytes(helper_.HoldingRegisterImage.begin(), helper_.HoldingRegisterImage.begin() + 8),
              (Bytes{0xA1, 0xA2, 0xA3, 0xA4, 0, 0, 0, 0}));
}

TEST_F(DaxHelperReads, DeviceAddressZeroAcceptsTheAnsweringAddress)
{
    chanel_.SetAddress(0);
    chanel_.Queue(ScriptedReply::Answer(ReadAnswer(0x03, {0x01, 0x02}, 17)));
    EXPECT_TRUE(helper_.ReadRegisters(40001, 1, nullptr, 1));
    EXPECT_EQ(chanel_.Transactions()[0].request[0], 0);
}

TEST_F(DaxHelperReads, ExceptionAnswerCountsAsAFailedAttempt)
{
    chanel_.Queue(ScriptedReply::Answer({0x01, 0x83, 0x02, 0xC0, 0xF1}));
    chanel_.Queue(ScriptedReply::Answer({0x01, 0x83, 0x02, 0xC0, 0xF1}));
    EXPECT_EQ(FailureText([&] { helper_.ReadRegisters(40001, 1, nullptr, 2); }),
              "Недопустимый(неверный) номер регистра");
    EXPECT_EQ(chanel_.Transactions().size(), 2u);
}

// ---------------------------------------------------------------- register writes

class DaxHelperWrites : public testsupport::DaxHelperFixture {};

TEST_F(DaxHelperWrites, SendsTheSetupImageBlockAndAcceptsTheEcho)
{
    {
        DaxHelperLocker lock(&helper_);
        const Bytes data = BlockData(helper_.HoldingRegisterImage.size(), 9);
        std::copy(data.begin(), data.end(), helper_.HoldingRegisterImage.begin());
    }
    chanel_.Queue(ScriptedReply::Answer({0x01, 0x10, 0x00, 0x00, 0x00, 0x02, 0x41, 0xC8}));
    ASSERT_TRUE(helper_.WriteRegisters(40001, 2, nullptr, 1));

    chanel_.Queue(ScriptedReply::Answer(WithCrc({0x01, 0x10, 0x02, 0x4D, 0x00, 0x04})));
    ASSERT_TRUE(helper_.WriteRegisters(40590, 4, nullptr, 1));

    const Bytes image = BlockData(1192, 9);
    const auto sent = chanel_.Transactions();
    Bytes first = {0x01, 0x10, 0x00, 0x00, 0x00, 0x02, 0x04};
    first.insert(first.end(), image.begin(), image.begin() + 4);
    EXPECT_EQ(sent[0].request, WithCrc(first));
    Bytes second = {0x01, 0x10, 0x02, 0x4D, 0x00, 0x04, 0x08};
    second.insert(second.end(), image.begin() + 2 * 589, image.begin() + 2 * 593);
    EXPECT_EQ(sent[1].request, WithCrc(second));
}

TEST_F(DaxHelperWrites, LargestBlockIsOneFullFrame)
{
    chanel_.Queue(ScriptedReply::Answer(WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 123})));
    ASSERT_TRUE(helper_.WriteRegisters(40001, 123, nullptr, 1));
    EXPECT_EQ(chanel_.Transactions()[0].request.size(), 255u);
}

TEST_F(DaxHelperWrites, RefusedBlocksSendNothing)
{
    const RefusalCase cases[] = {{40000, 1}, {30001, 1}, {40001, 124}, {40001, 0}, {40596, 2},
                                 {40474, 124}, {40597, 1}, {INT_MAX, 1}, {40001, INT_MAX}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " x " << c.count);
        EXPECT_FALSE(helper_.WriteRegisters(c.first, c.count, nullptr, 3));
    }
    EXPECT_TRUE(chanel_.Transactions().empty());
}

TEST_F(DaxHelperWrites, AnAnswerThatDoesNotConfirmTheBlockFails)
{
    const BadReadCase cases[] = {
        {"another function", WithCrc({0x01, 0x03, 0x00, 0x00, 0x00, 0x02})},
        {"another first register", WithCrc({0x01, 0x10, 0x00, 0x01, 0x00, 0x02})},
        {"another count", WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 0x01})},
        {"another device", WithCrc({0x02, 0x10, 0x00, 0x00, 0x00, 0x02})},
        {"short", WithCrc({0x01, 0x10, 0x00, 0x00})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chanel_.Queue(ScriptedReply::Answer(c.answer));
        EXPECT_EQ(FailureText([&] { helper_.WriteRegisters(40001, 2, nullptr, 1); }), kInvalid);
    }
}

} // namespace
