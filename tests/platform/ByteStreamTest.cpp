// The answer loops shared by the serial port, the sockets and the relay connection, driven by
// a scripted stream: no real time passes.
#include "platform/ByteStream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <ostream>

namespace {

using namespace std::chrono;
using platform::AnswerEnd;
using platform::ByteStream;
using Bytes = std::vector<uint8_t>;

// One scripted event: what the next wait gives and, when it is Ready, what the read gives.
struct Event {
    ByteStream::Wait wait;
    ByteStream::Read read = ByteStream::Read::Nothing;
    Bytes bytes;
};

Event Data(Bytes bytes)
{
    return {ByteStream::Wait::Ready, ByteStream::Read::Data, std::move(bytes)};
}
const Event kTimeout{ByteStream::Wait::TimedOut, ByteStream::Read::Nothing, {}};
const Event kHangUp{ByteStream::Wait::HungUp, ByteStream::Read::Nothing, {}};
const Event kWaitFails{ByteStream::Wait::Failed, ByteStream::Read::Nothing, {}};
const Event kEndOfStream{ByteStream::Wait::Ready, ByteStream::Read::Closed, {}};
const Event kReadFails{ByteStream::Wait::Ready, ByteStream::Read::Failed, {}};
const Event kSpurious{ByteStream::Wait::Ready, ByteStream::Read::Nothing, {}};

class ScriptedStream : public ByteStream {
public:
    explicit ScriptedStream(std::vector<Event> events) : events_(events.begin(), events.end()) {}

    Wait WaitReadable(const platform::Deadline&) override
    {
        ++waits_;
        if (events_.empty())
            return Wait::TimedOut;
        current_ = events_.front();
        events_.pop_front();
        return current_.wait;
    }
    ReadResult ReadSome(std::span<uint8_t> buffer) override
    {
        const size_t count = std::min(buffer.size(), current_.bytes.size());
        std::copy_n(current_.bytes.begin(), count, buffer.begin());
        return {current_.read, count};
    }
    int Error() const override { return EIO; }

    size_t Left() const { return events_.size(); }
    int Waits() const { return waits_; }

private:
    std::deque<Event> events_;
    Event current_{Wait::TimedOut, Read::Nothing, {}};
    int waits_ = 0;
};

struct AnswerCase {
    const char* name;
    std::vector<Event> events;
    size_t wanted;
    std::optional<milliseconds> interByte;
    size_t count;
    AnswerEnd end;
    size_t eventsLeft;
};

void PrintTo(const AnswerCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReceiveAnswerTable : public testing::TestWithParam<AnswerCase> {};

TEST_P(ReceiveAnswerTable, CountAndEnd)
{
    const AnswerCase& c = GetParam();
    ScriptedStream stream(c.events);
    Bytes buffer(c.wanted);
    platform::AnswerWaits waits;
    waits.firstByte = milliseconds(100);
    waits.interByte = c.interByte;
    const platform::AnswerResult result = platform::ReceiveAnswer(stream, buffer, waits);
    EXPECT_EQ(result.count, c.count);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(stream.Left(), c.eventsLeft);
    if (c.end == AnswerEnd::Failed) {
        EXPECT_EQ(result.error, EIO);
    }
    for (size_t i = 0; i < result.count; ++i)
        EXPECT_EQ(buffer[i], i + 1);
}

const AnswerCase kAnswerCases[] = {
    {"WholeAnswerInOneRead", {Data({1, 2, 3, 4})}, 4, milliseconds(20), 4, AnswerEnd::Complete, 0},
    {"BytesBeyondTheBufferStay", {Data({1, 2}), Data({3, 4}), Data({5})}, 4, milliseconds(20), 4,
     AnswerEnd::Complete, 1},
    {"PauseEndsAShortAnswer", {Data({1, 2}), kTimeout, Data({3})}, 4, milliseconds(20), 2, AnswerEnd::Pause, 1},
    {"NothingAtAll", {kTimeout}, 4, milliseconds(20), 0, AnswerEnd::NoAnswer, 0},
    {"InterByteZeroEndsWithTheFirstRead", {Data({1, 2}), Data({3, 4})}, 4, milliseconds(0), 2, AnswerEnd::Pause, 1},
    {"NoInterByteLimitWaitsForTheCap", {Data({1}), Data({2}), Data({3}), kTimeout}, 8, std::nullopt, 3,
     AnswerEnd::Pause, 0},
    {"SpuriousWakeUpsAreNoData", {kSpurious, Data({1}), kSpurious, Data({2})}, 2, milliseconds(20), 2,
     AnswerEnd::Complete, 0},
    {"EndOfStreamAfterSomeBytes", {Data({1, 2, 3}), kEndOfStream}, 8, milliseconds(20), 3, AnswerEnd::Closed, 0},
    {"HangUpBeforeAnyByte", {kHangUp, Data({1})}, 8, milliseconds(20), 0, AnswerEnd::Closed, 1},
    {"FailedWait", {Data({1}), kWaitFails}, 8, milliseconds(20), 1, AnswerEnd::Failed, 0},
    {"FailedRead", {kReadFails}, 8, milliseconds(20), 0, AnswerEnd::Failed, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReceiveAnswerTable, testing::ValuesIn(kAnswerCases),
                         [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(DiscardUntilQuiet, DropsWhatComesUntilTheGuardPassesInSilence)
{
    // The scripted time-out ends each guard at once; it counts as silence only when the guard
    // interval really passed, which a guard of 0 ms always has.
    ScriptedStream stream({Data({1, 2, 3}), Data({4}), kTimeout, Data({9})});
    const platform::QuietResult result =
        platform::DiscardUntilQuiet(stream, milliseconds(0), platform::Deadline::After(seconds(10)));
    EXPECT_EQ(result.discarded, 4u);
    EXPECT_TRUE(result.quiet);
    EXPECT_EQ(result.end, AnswerEnd::Pause);
    EXPECT_EQ(stream.Left(), 1u);   // what comes after the silence is not touched
}

TEST(DiscardUntilQuiet, ALimitThatPassesFirstIsNoSilence)
{
    ScriptedStream stream({Data({1}), kTimeout});
    const platform::QuietResult result =
        platform::DiscardUntilQuiet(stream, seconds(10), platform::Deadline::After(milliseconds(-1)));
    EXPECT_EQ(result.discarded, 1u);
    EXPECT_FALSE(result.quiet);
}

TEST(DiscardUntilQuiet, StopsWhenTheStreamEnds)
{
    ScriptedStream closed({Data({1, 2}), kEndOfStream, Data({3})});
    const auto result = platform::DiscardUntilQuiet(closed, milliseconds(0), platform::Deadline::After(seconds(10)));
    EXPECT_EQ(result.discarded, 2u);
    EXPECT_EQ(result.end, AnswerEnd::Closed);
    ScriptedStream hungUp({kHangUp});
    EXPECT_EQ(platform::DiscardUntilQuiet(hungUp, milliseconds(0), platform::Deadline::After(seconds(10))).end,
              AnswerEnd::Closed);
    ScriptedStream failed({kReadFails});
    const auto failure = platform::DiscardUntilQuiet(failed, milliseconds(0), platform::Deadline::After(seconds(10)));
    EXPECT_EQ(failure.end, AnswerEnd::Failed);
    EXPECT_EQ(failure.error, EIO);
}

} // namespace
