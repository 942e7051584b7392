#include "ByteStream.h"

#include <array>

namespace platform {

namespace {

// One wait and, when the stream is ready, one read.
struct Step {
    enum class Kind { Data, Nothing, TimedOut, Ended } kind;
    size_t count = 0;
    AnswerEnd end = AnswerEnd::Pause;   // with Ended: Closed or Failed
    int error = 0;
};

Step WaitAndRead(ByteStream& stream, const Deadline& deadline, std::span<uint8_t> buffer)
{
    switch (stream.WaitReadable(deadline)) {
    case ByteStream::Wait::TimedOut: return {Step::Kind::TimedOut};
    case ByteStream::Wait::HungUp: return {Step::Kind::Ended, 0, AnswerEnd::Closed};
    case ByteStream::Wait::Failed: return {Step::Kind::Ended, 0, AnswerEnd::Failed, stream.Error()};
    case ByteStream::Wait::Ready: break;
    }
    const ByteStream::ReadResult read = stream.ReadSome(buffer);
    switch (read.kind) {
    case ByteStream::Read::Data: return {Step::Kind::Data, read.count};
    case ByteStream::Read::Nothing: return {Step::Kind::Nothing};
    case ByteStream::Read::Closed: return {Step::Kind::Ended, 0, AnswerEnd::Closed};
    case ByteStream::Read::Failed: break;
    }
    return {Step::Kind::Ended, 0, AnswerEnd::Failed, stream.Error()};
}

} // namespace

AnswerResult ReceiveAnswer(ByteStream& stream, std::span<uint8_t> buffer, const AnswerWaits& waits)
{
    const auto bounded = [&](Deadline deadline) { return waits.cap ? deadline.Earlier(*waits.cap) : deadline; };
    Deadline deadline = bounded(Deadline::After(waits.firstByte));
    AnswerResult result;
    while (result.count < buffer.size()) {
        const Step step = WaitAndRead(stream, deadline, buffer.subspan(result.count));
        if (step.kind == Step::Kind::TimedOut) {
            result.end = result.count > 0 ? AnswerEnd::Pause : AnswerEnd::NoAnswer;
            return result;
        }
        if (step.kind == Step::Kind::Ended) {
            result.end = step.end;
            result.error = step.error;
            return result;
        }
        if (step.kind == Step::Kind::Nothing)
            continue;
        result.count += step.count;
        if (waits.interByte && waits.interByte->count() == 0)
            break;
        deadline = bounded(waits.interByte ? Deadline::After(*waits.interByte) : Deadline::Never());
    }
    result.end = result.count < buffer.size() ? AnswerEnd::Pause : AnswerEnd::Complete;
    return result;
}

QuietResult DiscardUntilQuiet(ByteStream& stream, std::chrono::milliseconds guard, const Deadline& limit)
{
    QuietResult result;
    std::array<uint8_t, 512> scrap{};
    for (;;) {
        const Deadline silence = Deadline::After(guard);
        const Step step = WaitAndRead(stream, silence.Earlier(limit), scrap);
        if (step.kind == Step::Kind::TimedOut) {
            result.quiet = silence.Passed();
            return result;
        }
        if (step.kind == Step::Kind::Ended) {
            result.end = step.end;
            result.error = step.error;
            return result;
        }
        result.discarded += step.count;
        if (limit.Passed())
            return result;
    }
}

} // namespace platform
