// The rules that keep a byte-stream channel in step with late answers, on a scripted line whose
// bytes arrive at set moments of a clock the reads move on: no test waits for real.
#include "FakeTime.h"

#include "comm/Crc16.h"
#include "comm/Modbus.h"
#include "comm/OwedAnswers.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using Bytes = std::vector<uint8_t>;

Bytes WithCrc(Bytes frame)
{
    const uint16_t crc = Crc16Modbus(frame);
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

Bytes ReadRequest(uint16_t first, int32_t count)
{
    Bytes request(8);
    size_t length = 0;
    ModbusBuildReadRegisters(request, length, 1, first, count);
    return request;
}

// The answer to a read of count input registers, each register holding fill.
Bytes ReadAnswer(int32_t count, uint8_t fill)
{
    Bytes frame{1, 0x04, static_cast<uint8_t>(2 * count)};
    frame.insert(frame.end(), 2 * static_cast<size_t>(count), fill);
    return WithCrc(frame);
}

// Bytes that arrive at set moments; a read waits (moving the clock) as a real line would.
class ScriptedLine : public comm::AnswerStream {
public:
    explicit ScriptedLine(testsupport::ManualClock& clock) : clock_(clock) {}

    // The bytes arrive one after another at the moment `at` from the start.
    void Arrive(milliseconds at, const Bytes& bytes)
    {
        for (const uint8_t b : bytes)
            pending_.push_back({at, b});
    }
    milliseconds Now() const { return std::chrono::duration_cast<milliseconds>(clock_.SteadyNow() - start_); }
    size_t Pending() const { return pending_.size(); }

    size_t ReadWithin(std::span<uint8_t> buffer, milliseconds firstByte, milliseconds interByte) override
    {
        size_t count = 0;
        milliseconds wait = firstByte;
        while (count < buffer.size() && !pending_.empty()) {
            const milliseconds due = pending_.front().at;
            if (due > Now() + wait)
                break;
            if (due > Now())
                clock_.Advance(due - Now());
            buffer[count++] = pending_.front().byte;
            pending_.pop_front();
            wait = interByte;
        }
        if (count == 0)
            clock_.Advance(firstByte);
        else if (count < buffer.size())
            clock_.Advance(interByte);   // the pause that ended the read
        return count;
    }

private:
    struct Arrival {
        milliseconds at;
        uint8_t byte;
    };

    testsupport::ManualClock& clock_;
    std::chrono::steady_clock::time_point start_ = clock_.SteadyNow();
    std::deque<Arrival> pending_;
};

const comm::AnswerWaits kReadWaits{500ms, 100ms};

class OwedAnswersOnAScriptedLine : public testing::Test {
protected:
    // One transaction as a channel makes it: settle, send, receive, check; the answer taken,
    // empty when none was.
    Bytes Transact(const Bytes& request, size_t expected, const comm::AnswerWaits& waits = kReadWaits)
    {
        owed_.BeforeRequest(request, waits, line_, Dropper());
        Bytes answer(expected);
        const size_t n = owed_.ReceiveAnswer(request, answer, waits, line_);
        if (n == 0 || !owed_.StandsAlone(waits, line_, Dropper()))
            return {};
        answer.resize(n);
        return answer;
    }
    comm::OwedAnswers::DropLog Dropper()
    {
        return [this](std::span<const uint8_t> bytes) { dropped_.emplace_back(bytes.begin(), bytes.end()); };
    }

    testsupport::ManualClock clock_;
    ScriptedLine line_{clock_};
    comm::OwedAnswers owed_{clock_};
    std::vector<Bytes> dropped_;
};

// The first answer comes after its request was given up, and the second request
// of the same shape goes out meanwhile. The late answer is dropped, the second gets its own.
TEST_F(OwedAnswersOnAScriptedLine, ALateAnswerIsDroppedAndTheNextRequestGetsItsOwn)
{
    const Bytes first = ReadRequest(30001, 127);
    const Bytes second = ReadRequest(30128, 127);
    line_.Arrive(800ms, ReadAnswer(127, 0xA1));
    line_.Arrive(900ms, ReadAnswer(127, 0xB2));
    EXPECT_TRUE(Transact(first, 259).empty());
    EXPECT_EQ(owed_.OwedCount(), 1u);
    EXPECT_EQ(line_.Now(), 500ms);
    EXPECT_EQ(Transact(second, 259), ReadAnswer(127, 0xB2));
    ASSERT_EQ(dropped_.size(), 1u);
    EXPECT_EQ(dropped_[0], ReadAnswer(127, 0xA1));
    EXPECT_FALSE(owed_.Unsettled());
}

// Answers owed to one request that all come before the next request's own: that many whole
// frames are dropped, even back to back, and no more.
TEST_F(OwedAnswersOnAScriptedLine, EveryOwedAnswerIsDroppedAndNoMore)
{
    const Bytes first = ReadRequest(30001, 10);
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_TRUE(Transact(first, 25).empty());
    EXPECT_EQ(owed_.OwedCount(), 3u);
    // The three late answers arrive in one burst, the next request's own after it went out.
    Bytes burst;
    for (uint8_t fill : {0xA1, 0xA2, 0xA3}) {
        const Bytes frame = ReadAnswer(10, fill);
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    line_.Arrive(line_.Now() + 50ms, burst);
    line_.Arrive(line_.Now() + 100ms, ReadAnswer(10, 0xB4));
    EXPECT_EQ(Transact(ReadRequest(30011, 10), 25), ReadAnswer(10, 0xB4));
    EXPECT_EQ(dropped_, (std::vector<Bytes>{ReadAnswer(10, 0xA1), ReadAnswer(10, 0xA2), ReadAnswer(10, 0xA3)}));
    EXPECT_EQ(line_.Pending(), 0u);
}

// A retry takes the first answer owed to its own request at once (the content is the same);
// the retry's own answer is then owed, and dropped before the next request.
TEST_F(OwedAnswersOnAScriptedLine, ARetryTakesTheAnswerOwedToTheSameRequest)
{
    const Bytes first = ReadRequest(30001, 10);
    line_.Arrive(700ms, ReadAnswer(10, 0xA1));    // the first attempt's, late
    line_.Arrive(1200ms, ReadAnswer(10, 0xA1));   // the retry's own
    line_.Arrive(1300ms, ReadAnswer(10, 0xB2));   // the next request's
    EXPECT_TRUE(Transact(first, 25).empty());
    clock_.Advance(500ms);                         // the pause before a retry
    EXPECT_EQ(Transact(first, 25), ReadAnswer(10, 0xA1));
    EXPECT_EQ(line_.Now(), 1000ms);                // taken when it was there, not waited for
    EXPECT_EQ(owed_.OwedCount(), 1u);
    EXPECT_EQ(Transact(ReadRequest(30011, 10), 25), ReadAnswer(10, 0xB2));
    EXPECT_EQ(dropped_, std::vector<Bytes>{ReadAnswer(10, 0xA1)});
}

// An answer that never comes is written off once the line has been quiet for its own waits
// again: it costs that wait and the next answer's check, not the next request.
TEST_F(OwedAnswersOnAScriptedLine, ALostAnswerIsWrittenOffAfterAQuietBound)
{
    EXPECT_TRUE(Transact(ReadRequest(30001, 10), 25).empty());
    line_.Arrive(1150ms, ReadAnswer(10, 0xB2));
    EXPECT_EQ(Transact(ReadRequest(30011, 10), 25), ReadAnswer(10, 0xB2));
    // 500 ms given up, 600 ms of quiet, the answer at 1150 ms, then a first-byte wait in
    // which nothing followed it.
    EXPECT_EQ(line_.Now(), 1150ms + 500ms);
    EXPECT_TRUE(dropped_.empty());
    EXPECT_FALSE(owed_.Unsettled());
}

// The written-off answer comes after all, just after the next request went out: the channel
// cannot tell it from that request's own, so it takes neither.
TEST_F(OwedAnswersOnAScriptedLine, AWrittenOffAnswerThatComesAfterAllIsNotTaken)
{
    EXPECT_TRUE(Transact(ReadRequest(30001, 10), 25).empty());
    line_.Arrive(1400ms, ReadAnswer(10, 0xA1));   // 900 ms after its request was given up
    line_.Arrive(1500ms, ReadAnswer(10, 0xB2));
    EXPECT_TRUE(Transact(ReadRequest(30011, 10), 25).empty());
    EXPECT_EQ(dropped_, std::vector<Bytes>{ReadAnswer(10, 0xB2)});
    // The framing is unknown now: the next request first waits for a quiet line.
    line_.Arrive(line_.Now() + 300ms, ReadAnswer(10, 0xC3));   // a stray answer, dropped
    line_.Arrive(line_.Now() + 1100ms, ReadAnswer(10, 0xD4));  // the next request's own
    EXPECT_EQ(Transact(ReadRequest(30021, 10), 25), ReadAnswer(10, 0xD4));
    EXPECT_EQ(dropped_.back(), ReadAnswer(10, 0xC3));
    EXPECT_FALSE(owed_.Unsettled());
}

// An exception answer is a whole frame of five bytes: framed by its header, not by the
// length the request asked for, so the owed frame right behind it is framed right too.
TEST_F(OwedAnswersOnAScriptedLine, AnOwedExceptionAnswerIsFramedByItsHeader)
{
    const Bytes first = ReadRequest(30001, 10);
    EXPECT_TRUE(Transact(first, 25).empty());
    EXPECT_TRUE(Transact(first, 25).empty());
    Bytes burst = WithCrc({1, 0x84, 0x02});
    const Bytes second = ReadAnswer(10, 0xA2);
    burst.insert(burst.end(), second.begin(), second.end());
    line_.Arrive(1100ms, burst);
    line_.Arrive(1200ms, ReadAnswer(10, 0xB3));
    EXPECT_EQ(Transact(ReadRequest(30011, 10), 25), ReadAnswer(10, 0xB3));
    EXPECT_EQ(dropped_, (std::vector<Bytes>{WithCrc({1, 0x84, 0x02}), second}));
}

// Bytes that are no answer to the owed request (a wrong CRC) leave the framing unknown: the
// line is drained until quiet, and the answer then taken must stand alone.
TEST_F(OwedAnswersOnAScriptedLine, AnOwedAnswerWithAWrongCrcDrainsTheLine)
{
    EXPECT_TRUE(Transact(ReadRequest(30001, 10), 25).empty());
    Bytes broken = ReadAnswer(10, 0xA1);
    broken.back() ^= 0x5A;
    line_.Arrive(700ms, broken);
    line_.Arrive(750ms, {0xEE, 0xEE});
    line_.Arrive(1800ms, ReadAnswer(10, 0xB2));
    EXPECT_EQ(Transact(ReadRequest(30011, 10), 25), ReadAnswer(10, 0xB2));
    EXPECT_EQ(dropped_, (std::vector<Bytes>{broken, Bytes{0xEE, 0xEE}}));
    // Quiet from 850 ms for 600 ms before the request; the answer then stood alone for 500 ms.
    EXPECT_EQ(line_.Now(), 1800ms + 500ms);
}

// Stray bytes before a request on a settled line belong to no request: dropped, and the next
// answer must stand alone.
TEST_F(OwedAnswersOnAScriptedLine, StrayBytesOnASettledLineAreDroppedBeforeTheRequest)
{
    line_.Arrive(0ms, {0x55, 0xAA});
    line_.Arrive(100ms, ReadAnswer(10, 0xB2));
    EXPECT_EQ(Transact(ReadRequest(30011, 10), 25), ReadAnswer(10, 0xB2));
    EXPECT_EQ(dropped_, (std::vector<Bytes>{Bytes{0x55, 0xAA}}));
}

// Whatever the line brings (answers, exception answers, broken and stray bytes, at any moment),
// the rules read within their buffers and never take more than was asked.
TEST_F(OwedAnswersOnAScriptedLine, AnyLineKeepsWithinTheAnswerAsked)
{
    std::mt19937 random(59);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 400; ++round) {
        const int32_t count = 1 + pick(127);
        const Bytes request = ReadRequest(static_cast<uint16_t>(30001 + pick(300)), count);
        const size_t expected = 2 * static_cast<size_t>(count) + 5;
        for (int k = pick(3); k > 0; --k) {
            Bytes bytes;
            switch (pick(4)) {
            case 0: bytes = ReadAnswer(count, static_cast<uint8_t>(pick(256))); break;
            case 1: bytes = WithCrc({1, 0x84, static_cast<uint8_t>(pick(8))}); break;
            case 2: bytes = ReadAnswer(1 + pick(127), 0x77); break;
            default:
                bytes.resize(static_cast<size_t>(1 + pick(300)));
                for (uint8_t& b : bytes)
                    b = static_cast<uint8_t>(pick(256));
            }
            line_.Arrive(line_.Now() + milliseconds(pick(1500)), bytes);
        }
        const Bytes taken = Transact(request, expected);
        EXPECT_LE(taken.size(), expected);
    }
}

// Answers without a byte count are framed by the length their request asked for; those with
// one by it (an identification of another length is still one answer).
struct WholeCase {
    const char* name;
    Bytes request;
    size_t expected;
    Bytes bytes;
    bool whole;
};

void PrintTo(const WholeCase& c, std::ostream* out)
{
    *out << c.name;
}

class WholeAnswers : public testing::TestWithParam<WholeCase> {};

TEST_P(WholeAnswers, AreToldByTheirHeader)
{
    const WholeCase& c = GetParam();
    EXPECT_EQ(comm::IsWholeAnswer(c.request, c.expected, c.bytes), c.whole);
}

const WholeCase kWholeCases[] = {
    {"Read", ReadRequest(30001, 2), 9, WithCrc({1, 4, 4, 0, 1, 0, 2}), true},
    {"ReadShort", ReadRequest(30001, 2), 9, WithCrc({1, 4, 4, 0, 1, 0}), false},
    {"ReadBadCrc", ReadRequest(30001, 2), 9, Bytes{1, 4, 4, 0, 1, 0, 2, 0, 0}, false},
    {"ReadOtherFunction", ReadRequest(30001, 2), 9, WithCrc({1, 3, 4, 0, 1, 0, 2}), false},
    {"Exception", ReadRequest(30001, 2), 9, WithCrc({1, 0x84, 2}), true},
    {"IdentificationOfAnotherLength", WithCrc({1, 0x11}), 15, WithCrc({1, 0x11, 2, 7, 7}), true},
    {"Write", WithCrc({1, 0x10, 0, 0, 0, 1, 2, 0, 5}), 8, WithCrc({1, 0x10, 0, 0, 0, 1}), true},
    {"PageByTheAskedLength", WithCrc({1, 0x41, 5, 0, 0, 0, 1}), 25,
     WithCrc({1, 0x41, 0, 0, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), true},
    {"NotAFrame", Bytes{1, 2}, 3, Bytes{1, 2, 3}, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, WholeAnswers, testing::ValuesIn(kWholeCases),
                         [](const testing::TestParamInfo<WholeCase>& info) { return std::string(info.param.name); });

} // namespace
