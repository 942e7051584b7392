#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string_view>
#include <vector>

// A simulated Dax-01/Dax-02 instrument: its register images, identification and record
// rings, answering Modbus RTU request frames as the real one does. Transport-free: the
// serving loops (TCP, pseudo-terminal) and a relay server hand it whole request frames.
namespace daxsim {

constexpr size_t kInputRegisterCount = 481;     // 30001..30481
constexpr size_t kHoldingRegisterCount = 596;   // 40001..40596
constexpr int kRecordTypeCount = 7;             // hour, day, month, total day, total month, two journals
constexpr size_t kPageBytes = 256;
constexpr uint16_t kMaxReadRegisters = 127;
constexpr uint16_t kMaxWriteRegisters = 123;
constexpr uint16_t kFirstRingPointerRegister = 30029;   // Highest, First, Next per type, 3 registers each

// 256 for the archive types 0..4, 16 for the journals 5 and 6 (and any higher type).
size_t RecordSize(uint8_t type);
// Bytes of the data part of a page answer: record size × count, at most one page.
size_t ArchiveDataSize(uint8_t type, uint8_t count);

// One ring of fixed-size records; positions run 0..Highest and wrap to 0 after Highest.
struct RecordRing {
    uint16_t Highest = 0;                       // highest position of the ring
    uint16_t First = 0;                         // position of the oldest record
    uint16_t Next = 0;                          // position after the newest record
    std::vector<std::vector<uint8_t>> Slots;    // Highest + 1 records of the type's size

    size_t RecordCount() const;
};

enum class Model { Dax01, Dax02 };

// Everything the instrument knows; a data-file loader builds one of these and hands it to
// Instrument::ReplaceState.
struct InstrumentState {
    std::array<uint8_t, 6> ModelText{};                 // "DAX-01" or "DAX-02", no terminator
    std::array<uint8_t, 4> Version{};                   // modification major, minor; software major, minor
    std::vector<uint8_t> InputImage;                    // 962 bytes, registers high byte first
    std::vector<uint8_t> HoldingImage;                  // 1192 bytes
    std::array<RecordRing, kRecordTypeCount> Rings;

    // Input register r (30001..30481) or holding register r (40001..40596).
    uint16_t Register(uint16_t number) const;
    void SetRegister(uint16_t number, uint16_t value);
    // Mirrors each ring's Highest, First and Next into input registers 30029 + 3 × type.
    void StoreRingPointers();
    // Sizes and ring positions are consistent (images full size, slots of the right size,
    // pointers within their rings).
    bool IsValid() const;
};

// The built-in state: every register distinct (input 30001 + i holds 0x3000 + i, holding
// 40001 + i holds 0x4000 + i, apart from the ring pointers), rings with a few records each
// (the hour and operator rings wrapped), archive records with a valid CRC-16/CCITT-FALSE
// except the hour archive's second oldest record, whose check word is deliberately wrong.
InstrumentState FixtureState(Model model);
// Position of the deliberately bad hour-archive record in the fixture.
constexpr uint16_t kFixtureBadHourRecord = 13;

class Instrument {
public:
    Instrument(InstrumentState state, uint8_t address);

    // The answer to one whole request frame, or an empty vector when the instrument keeps
    // silent: a frame shorter than 4 bytes, a wrong CRC, or an address other than its own
    // and 0. Functions 0x03, 0x04, 0x10, 0x11 and 0x41; exception 01 for any other, 02 for
    // registers or positions out of range, 03 for a bad count or length.
    std::vector<uint8_t> Answer(std::span<const uint8_t> request);

    // Replaces the whole state at once; refused (false) when the state is not valid.
    bool ReplaceState(InstrumentState state);
    // Sets one register as it is served, without any check: an instrument whose own data is
    // corrupt (ring pointers beyond their ring, say) is something the configurator must survive.
    void PokeRegister(uint16_t number, uint16_t value);
    InstrumentState State() const;
    uint8_t Address() const;
    // Called, under the instrument's lock, before each read of input registers is answered,
    // with the state it may change: an instrument whose current values move (the demo's). None
    // to stop.
    void SetBeforeCurrentRead(std::function<void(InstrumentState&)> step);
    void SetAddress(uint8_t address);

private:
    std::vector<uint8_t> ReadRegisters(std::span<const uint8_t> request);
    std::vector<uint8_t> WriteRegisters(std::span<const uint8_t> request);
    std::vector<uint8_t> Identification(std::span<const uint8_t> request);
    std::vector<uint8_t> ArchivePage(std::span<const uint8_t> request);

    mutable std::mutex mutex_;
    InstrumentState state_;
    uint8_t address_;
    std::function<void(InstrumentState&)> beforeCurrentRead_;
};

// Frame helpers shared with the fault layer.
std::vector<uint8_t> ExceptionAnswer(uint8_t address, uint8_t function, uint8_t code);
void AppendCrc(std::vector<uint8_t>& frame);
bool CrcIsValid(std::span<const uint8_t> frame);

} // namespace daxsim
