#pragma once

#include "Deadline.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// One end of a byte stream that answers arrive on (a serial port, a socket), seen by the
// loops below. Both calls may throw; the loops let the exception through.
class ByteStream {
public:
    enum class Wait {
        Ready,      // bytes can be read (or the next read reports why not)
        TimedOut,   // the deadline passed first
        HungUp,     // the other end, or the device itself, has gone
        Failed,     // the wait failed; Error() tells why
    };
    enum class Read {
        Data,       // count bytes were read
        Nothing,    // no byte after all: wait again
        Closed,     // end of stream: the other end has gone
        Failed,     // the read failed; Error() tells why
    };
    struct ReadResult {
        Read kind;
        size_t count = 0;
    };

    virtual ~ByteStream() = default;
    virtual Wait WaitReadable(const Deadline& deadline) = 0;
    virtual ReadResult ReadSome(std::span<uint8_t> buffer) = 0;
    // The errno value of the last failure.
    virtual int Error() const = 0;
};

// How long an answer may take.
struct AnswerWaits {
    std::chrono::milliseconds firstByte{0};              // for the first byte
    // After each read, for the next bytes: none means no limit of its own (only the cap ends
    // the answer early); 0 ends the answer with the first read that delivers data.
    std::optional<std::chrono::milliseconds> interByte;
    std::optional<Deadline> cap;                         // for the whole answer
};

// Why an answer ended.
enum class AnswerEnd {
    Complete,   // the buffer is full
    Pause,      // the stream fell silent after some bytes (or the cap passed)
    NoAnswer,   // no byte came within the first-byte wait
    Closed,     // the other end went away
    Failed,     // a wait or read failed (error)
};

struct AnswerResult {
    size_t count = 0;
    AnswerEnd end = AnswerEnd::NoAnswer;
    int error = 0;
};

// Reads one answer of at most buffer.size() bytes: the first byte within firstByte, each later
// read within interByte of the previous one, all of it within the cap. Bytes that come after
// a full buffer stay in the stream.
AnswerResult ReceiveAnswer(ByteStream& stream, std::span<uint8_t> buffer, const AnswerWaits& waits);

struct QuietResult {
    size_t discarded = 0;   // bytes read and dropped
    bool quiet = false;     // the stream was silent for the whole guard at the end
    AnswerEnd end = AnswerEnd::Pause;   // Closed or Failed when the stream broke meanwhile
    int error = 0;
};

// Reads and drops whatever arrives until the stream has been silent for the guard interval or
// the limit passes, whichever comes first.
QuietResult DiscardUntilQuiet(ByteStream& stream, std::chrono::milliseconds guard, const Deadline& limit);

} // namespace platform
