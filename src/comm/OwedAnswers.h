#pragma once

#include "platform/Clock.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace comm {

// A byte stream that answers arrive on (a serial port, a TCP connection), as the owed-answer
// rules read it.
class AnswerStream {
public:
    virtual ~AnswerStream() = default;
    // Reads at most buffer.size() bytes: the first within firstByte, each further one within
    // interByte of the one before (0: only what is there already), ending at once when the
    // buffer is full. Returns the count; 0 when nothing came in time, or when the line has
    // ended (the channel looks at that itself). A line that fails otherwise throws.
    virtual size_t ReadWithin(std::span<uint8_t> buffer, std::chrono::milliseconds firstByte,
                              std::chrono::milliseconds interByte) = 0;
};

// The waits of one transaction as the channel applies them.
struct AnswerWaits {
    std::chrono::milliseconds firstByte{0};   // for the first answer byte
    std::chrono::milliseconds interByte{0};   // a pause after a byte this long ends the answer
};

// Keeps a byte-stream channel in step with its requests when answers come late.
//
// A time-out does not end a request: its answer may still come, and on a serial line or a
// transparent gateway nothing tells it from the answer to the next request of the same shape.
// The instrument answers in the order it was asked, at most once per request, so the channel
// counts the answers it is owed and drops that many whole frames before it takes one as a
// later request's. Counting was chosen over waiting for the line to fall quiet before every
// request that follows a time-out: it costs nothing when the late answer does come (the next
// request goes out the moment it is in), and it stays right however late that answer is.
//
// The rules, for a channel that calls BeforeRequest, sends, then ReceiveAnswer and StandsAlone:
// - Every owed answer belongs to one request (another request settles them before it goes
//   out), so a retry of that request may take the first owed answer as its own: the content
//   is the same. Retries therefore go out at the caller's pace, without waiting.
// - Before another request goes out, the owed answers are awaited and dropped as they come.
//   An answer that has not come when the line has been quiet for its own first-byte wait plus
//   its inter-byte wait is written off as lost, so a lost answer costs one wait, not every
//   later request.
// - Once answers were written off (or bytes nobody asked for came), the channel is no longer
//   sure of the count: the next answer it takes must stand alone, with nothing following it
//   within its first-byte wait. A written-off answer that comes after all is then followed by
//   the new request's own, and both are refused rather than one taken for the other.
// - Bytes that cannot be framed as the owed answers (a partial answer, a wrong checksum, an
//   answer the reader refused) leave the framing unknown: before the next request the line
//   is drained until it has been quiet for the same bound, and the next answer must stand alone.
// Everything dropped goes to the drop log. Not thread-safe: the channel's operation lock
// guards it.
class OwedAnswers {
public:
    using DropLog = std::function<void(std::span<const uint8_t> bytes)>;

    explicit OwedAnswers(const platform::Clock& clock = platform::Clock::System()) : clock_(&clock) {}

    // A new connection or port: nothing owed, nothing unknown.
    void Reset();
    // The answer just returned was refused by its reader: its framing cannot be trusted.
    void MarkUnknown() { unknown_ = true; }
    // Anything owed, unknown or not yet confirmed.
    bool Unsettled() const { return count_ > 0 || unknown_ || suspect_; }
    size_t OwedCount() const { return count_; }

    // Before the request goes out: settles what is owed to other requests and drops stray
    // bytes, waiting for the line as the rules above say.
    void BeforeRequest(std::span<const uint8_t> request, const AnswerWaits& waits, AnswerStream& stream,
                       const DropLog& dropped);
    // After the request went out: reads its answer into answer (an owed answer to the same
    // request first) and returns the count, 0 when nothing came (the answer is then owed).
    size_t ReceiveAnswer(std::span<const uint8_t> request, std::span<uint8_t> answer, const AnswerWaits& waits,
                         AnswerStream& stream);
    // After an answer was taken: while the count is not sure, waits the first-byte wait for
    // more bytes; false when some came (they are dropped and the answer must be refused).
    bool StandsAlone(const AnswerWaits& waits, AnswerStream& stream, const DropLog& dropped);

    // How long the line must be quiet before an answer owed under these waits counts as lost.
    static std::chrono::milliseconds QuietBound(const AnswerWaits& waits) { return waits.firstByte + waits.interByte; }

private:
    static constexpr size_t kScrapSize = 512;   // more than the longest answer (5 + 255, 9 + 256)

    enum class FrameKind { Whole, Nothing, Garbled };
    struct Frame {
        FrameKind kind = FrameKind::Nothing;
        size_t length = 0;   // bytes read into the scrap buffer
    };

    bool SameRequest(std::span<const uint8_t> request) const;
    void Owe(std::span<const uint8_t> request, size_t expected, const AnswerWaits& waits);
    // Reads one answer to the owed request into scrap_, framed by its header.
    Frame ReadOwedFrame(std::chrono::milliseconds firstByte, std::chrono::milliseconds interByte,
                        AnswerStream& stream);
    // Drops what arrives until the line has been quiet for the bound (or a limit passes).
    void DrainUntilQuiet(std::chrono::milliseconds bound, std::chrono::milliseconds interByte, AnswerStream& stream,
                         const DropLog& dropped);

    const platform::Clock* clock_;
    std::vector<uint8_t> request_;   // the request whose answers are owed
    size_t expected_ = 0;            // the answer length that request asked for
    AnswerWaits owedWaits_;          // the waits it was sent with
    size_t count_ = 0;               // answers owed to it
    AnswerWaits lastWaits_;          // of the last transaction: bounds the drain of unknown bytes
    bool unknown_ = false;           // bytes that cannot be framed may still come
    bool suspect_ = false;           // the count may be wrong: the next answer must stand alone
    std::array<uint8_t, kScrapSize> scrap_{};
};

// Whether bytes are one whole answer to the request: its function (or the exception bit with
// it), the length its header gives (expected for functions whose answers carry no byte
// count) and a right CRC. Requests shorter than a frame have no whole answer.
bool IsWholeAnswer(std::span<const uint8_t> request, size_t expected, std::span<const uint8_t> bytes);

} // namespace comm
