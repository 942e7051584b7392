#pragma once

#include "Instrument.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace daxsim {

// Misbehaviour on purpose, to test how the channels and the device core cope.
struct FaultOptions {
    int32_t SilentRequests = 0;   // the first N requests addressed to the instrument get no answer
    int32_t DelayMs = 0;          // every answer leaves this long after its request
    int32_t LateMs = 0;           // a faulted answer leaves this long after its request (later than the client waits)
    bool BadCrc = false;          // the answer's CRC is wrong
    int32_t ExceptionCode = 0;    // 1..255: an exception answer with this code instead of the answer
    int32_t TruncateTo = -1;      // 0 or more: only the first N bytes of the answer are sent
    int32_t SplitAt = 0;          // above 0: the first N bytes, a pause of SplitGapMs, then the rest
    int32_t SplitGapMs = 0;
    bool WrongFunction = false;   // the answer's function byte is another one (with a valid CRC)
    int32_t FaultRequests = 0;    // above 0: the faults above (not silence, not delay) touch only the first N requests
    int32_t Baud = 0;             // above 0: answers leave at this line speed (10 bits per byte)
};

// How one answer goes out: empty bytes mean no answer.
struct Reply {
    std::vector<uint8_t> Bytes;
    int32_t DelayMs = 0;               // before the first byte
    size_t SplitAt = 0;                // above 0: pause after this many bytes
    int32_t GapMs = 0;                 // the pause
    std::chrono::microseconds ByteTime{0};   // above 0: pace the bytes at this rate
    std::chrono::microseconds RequestTime{0}; // the request's own time on the line, before the answer starts
};

// One request addressed to the instrument, as the request log keeps it.
struct RequestRecord {
    uint8_t Function = 0;
    int32_t First = 0;             // register number (30001.. for 0x04, 40001.. for 0x03 and 0x10);
                                   // record type for 0x41; 0 for the others
    int32_t Count = 0;             // registers, or records asked for by 0x41
    int32_t Start = 0;             // 0x41: ring position of the first record; 0 for the others
    std::vector<uint16_t> Values;  // 0x10: the written registers in order

    friend bool operator==(const RequestRecord&, const RequestRecord&) = default;
};

// The request a frame carries; fields the frame is too short for stay 0.
RequestRecord DescribeRequest(std::span<const uint8_t> request);
// One line for a person: "0x03 40216 x88", "0x10 40010 x1 = A780", "0x41 type 5 from 12 x255",
// "0x11".
std::string RequestLine(const RequestRecord& record);

// The instrument with its fault switches and counters; shared by every serving loop and by
// a relay server. All members are safe to call from several threads.
class Simulator {
public:
    Simulator(InstrumentState state, uint8_t address, FaultOptions faults = {});

    Instrument& Device() { return instrument_; }

    // The reply to one whole request frame, faults applied.
    Reply Respond(std::span<const uint8_t> request);

    void SetFaults(const FaultOptions& faults);
    FaultOptions Faults() const;

    // Requests addressed to the instrument (valid CRC) so far.
    uint64_t RequestCount() const;
    // Answers whose last byte has been sent; serving loops report each with NoteReplySent.
    uint64_t RepliesSent() const;
    void NoteReplySent();
    // Waits until at least count answers have gone out, at most timeout; true when they have.
    bool WaitForRepliesSent(uint64_t count, std::chrono::milliseconds timeout) const;

    // The requests addressed to the instrument, oldest first (the most recent kMaxLoggedRequests
    // at most), answered or not; ClearRequestLog empties it.
    static constexpr size_t kMaxLoggedRequests = 100000;
    std::vector<RequestRecord> RequestLog() const;
    void ClearRequestLog();
    // Called with each request as it is logged, on the serving thread (dax-sim --log-requests
    // prints it); none to stop.
    void SetRequestObserver(std::function<void(const RequestRecord&)> observer);

private:
    Instrument instrument_;
    mutable std::mutex mutex_;
    mutable std::condition_variable repliesChanged_;
    FaultOptions faults_;
    uint64_t requests_ = 0;
    uint64_t repliesSent_ = 0;
    std::deque<RequestRecord> requestLog_;
    std::function<void(const RequestRecord&)> observer_;
};

// Parses a model name "DAX-01" / "DAX-02" (letter case ignored).
bool ParseModel(std::string_view text, Model& model);

} // namespace daxsim
