#include "OwedAnswers.h"

#include "Crc16.h"
#include "Modbus.h"
#include "platform/ByteOrder.h"

#include <algorithm>

namespace comm {

namespace {

using namespace std::chrono_literals;

constexpr size_t kShortestFrame = 4;            // address, function, CRC
constexpr size_t kHeaderBytes = 3;              // address, function, byte count (or first data byte)
constexpr size_t kExceptionAnswerLength = 5;    // address, function | 0x80, code, CRC
constexpr size_t kCountedAnswerOverhead = 5;    // address, function, byte count, CRC
constexpr uint8_t kExceptionBit = 0x80;
// A line that never falls quiet holds a request at most this many quiet bounds.
constexpr int kLongestDrainInBounds = 4;
// Reads of stray bytes before a request on a line that owes nothing, at most.
constexpr int kMostStrayReads = 16;

// The length of an answer to the request that begins with head (address, function and, for
// the functions that carry one, the byte count); 0 when head cannot begin an answer to it.
// Functions without a byte count answer with the length the request asked for.
size_t AnswerLength(std::span<const uint8_t> request, size_t expected, std::span<const uint8_t> head)
{
    if (request.size() < kShortestFrame || head.size() < 2)
        return 0;
    const uint8_t function = request[1];
    if (head[1] == (function | kExceptionBit))
        return kExceptionAnswerLength;
    if (head[1] != function)
        return 0;
    switch (function) {
    case modbus::kReadHoldingRegisters:
    case modbus::kReadInputRegisters:
    case modbus::kReportSlaveId:
        return head.size() < kHeaderBytes ? 0 : kCountedAnswerOverhead + head[2];
    default:
        return expected;
    }
}

bool CrcIsRight(std::span<const uint8_t> frame)
{
    const size_t body = frame.size() - 2;
    return Crc16Modbus(frame.first(body)) == platform::ReadLittleEndian<uint16_t>(frame, body);
}

} // namespace

bool IsWholeAnswer(std::span<const uint8_t> request, size_t expected, std::span<const uint8_t> bytes)
{
    const size_t length = AnswerLength(request, expected, bytes.first(std::min(bytes.size(), kHeaderBytes)));
    return length >= kShortestFrame && bytes.size() == length && CrcIsRight(bytes);
}

void OwedAnswers::Reset()
{
    request_.clear();
    expected_ = 0;
    count_ = 0;
    unknown_ = false;
    suspect_ = false;
}

bool OwedAnswers::SameRequest(std::span<const uint8_t> request) const
{
    return std::equal(request.begin(), request.end(), request_.begin(), request_.end());
}

void OwedAnswers::Owe(std::span<const uint8_t> request, size_t expected, const AnswerWaits& waits)
{
    if (count_ == 0 || !SameRequest(request)) {
        request_.assign(request.begin(), request.end());
        expected_ = expected;
        owedWaits_ = waits;
        count_ = 0;
    }
    ++count_;
}

OwedAnswers::Frame OwedAnswers::ReadOwedFrame(std::chrono::milliseconds firstByte,
                                              std::chrono::milliseconds interByte, AnswerStream& stream)
{
    const std::span<uint8_t> scrap(scrap_);
    const size_t head = stream.ReadWithin(scrap.first(kHeaderBytes), firstByte, interByte);
    if (head == 0)
        return {FrameKind::Nothing, 0};
    const size_t length = AnswerLength(request_, expected_, scrap.first(head));
    if (length < std::max(head, kShortestFrame) || length > scrap.size())
        return {FrameKind::Garbled, head};
    size_t got = head;
    if (length > head)
        got += stream.ReadWithin(scrap.subspan(head, length - head), interByte, interByte);
    if (got < length || !CrcIsRight(scrap.first(length)))
        return {FrameKind::Garbled, got};
    return {FrameKind::Whole, length};
}

void OwedAnswers::DrainUntilQuiet(std::chrono::milliseconds bound, std::chrono::milliseconds interByte,
                                  AnswerStream& stream, const DropLog& dropped)
{
    const auto limit = clock_->SteadyNow() + kLongestDrainInBounds * std::max(bound, 1ms);
    for (;;) {
        const size_t n = stream.ReadWithin(scrap_, bound, interByte);
        if (n == 0)
            return;
        dropped(std::span<const uint8_t>(scrap_).first(n));
        if (clock_->SteadyNow() >= limit)
            return;
    }
}

void OwedAnswers::BeforeRequest(std::span<const uint8_t> request, const AnswerWaits& waits, AnswerStream& stream,
                                const DropLog& dropped)
{
    // Answers owed to another request come first, in order: drop each as it comes.
    if (!unknown_ && count_ > 0 && !SameRequest(request)) {
        while (count_ > 0) {
            const Frame frame = ReadOwedFrame(QuietBound(owedWaits_), owedWaits_.interByte, stream);
            if (frame.kind == FrameKind::Nothing) {
                // Quiet for as long again as the answer was given: it counts as lost. Should it
                // come after all, the next answer's check (StandsAlone) finds it out.
                count_ = 0;
                suspect_ = true;
                break;
            }
            dropped(std::span<const uint8_t>(scrap_).first(frame.length));
            if (frame.kind == FrameKind::Garbled) {
                unknown_ = true;
                break;
            }
            --count_;
        }
    }
    if (unknown_) {
        // Bytes that cannot be framed: only a quiet line says that nothing more is on its way.
        DrainUntilQuiet(std::max(QuietBound(lastWaits_), QuietBound(waits)),
                        std::max(lastWaits_.interByte, waits.interByte), stream, dropped);
        unknown_ = false;
        count_ = 0;
        suspect_ = true;
    }
    if (count_ == 0) {
        // Nothing is owed: what has come already answers no request. (A line that babbles on
        // is left after a few buffers; the next answer must stand alone anyway.)
        for (int read = 0; read < kMostStrayReads; ++read) {
            const size_t n = stream.ReadWithin(scrap_, 0ms, 0ms);
            if (n == 0)
                break;
            dropped(std::span<const uint8_t>(scrap_).first(n));
            suspect_ = true;
        }
    }
}

size_t OwedAnswers::ReceiveAnswer(std::span<const uint8_t> request, std::span<uint8_t> answer,
                                  const AnswerWaits& waits, AnswerStream& stream)
{
    lastWaits_ = waits;
    if (count_ > 0) {
        // BeforeRequest has settled the answers owed to any other request: these are owed to
        // this one, and the first to come is as good as this attempt's own.
        const Frame frame = ReadOwedFrame(waits.firstByte, waits.interByte, stream);
        if (frame.kind == FrameKind::Nothing) {
            ++count_;
            return 0;
        }
        const size_t n = std::min(frame.length, answer.size());
        std::copy_n(scrap_.begin(), n, answer.begin());
        if (frame.kind == FrameKind::Garbled || frame.length > answer.size())
            unknown_ = true;
        // One owed answer taken; this attempt's own is owed in its place.
        return n;
    }
    const size_t n = stream.ReadWithin(answer, waits.firstByte, waits.interByte);
    if (n == 0) {
        Owe(request, answer.size(), waits);
        return 0;
    }
    if (!IsWholeAnswer(request, answer.size(), answer.first(n)))
        unknown_ = true;
    return n;
}

bool OwedAnswers::StandsAlone(const AnswerWaits& waits, AnswerStream& stream, const DropLog& dropped)
{
    if (!suspect_)
        return true;
    const size_t n = stream.ReadWithin(scrap_, waits.firstByte, waits.interByte);
    if (n == 0) {
        suspect_ = false;
        return true;
    }
    dropped(std::span<const uint8_t>(scrap_).first(n));
    unknown_ = true;
    return false;
}

} // namespace comm
