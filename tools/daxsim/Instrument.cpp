#include "Instrument.h"

#include "comm/Crc16.h"

#include <algorithm>
#include <cstring>

namespace daxsim {

namespace {

constexpr uint8_t kIllegalFunction = 0x01;
constexpr uint8_t kIllegalAddress = 0x02;
constexpr uint8_t kIllegalValue = 0x03;

uint16_t BigEndianAt(std::span<const uint8_t> bytes, size_t offset)
{
    return static_cast<uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

void PutBigEndian(std::vector<uint8_t>& frame, uint16_t value)
{
    frame.push_back(static_cast<uint8_t>(value >> 8));
    frame.push_back(static_cast<uint8_t>(value & 0xFF));
}

uint16_t NextPosition(const RecordRing& ring, uint16_t position)
{
    return position >= ring.Highest ? 0 : static_cast<uint16_t>(position + 1);
}

std::vector<uint8_t> FixtureRecord(uint8_t type, uint16_t position)
{
    const size_t size = RecordSize(type);
    std::vector<uint8_t> record(size);
    record[0] = static_cast<uint8_t>(position & 0xFF);
    record[1] = static_cast<uint8_t>(position >> 8);
    record[2] = static_cast<uint8_t>((size == kPageBytes ? 0xA0 : 0xB0) + type);
    record[3] = 0x5A;
    for (size_t i = 4; i < size; ++i)
        record[i] = static_cast<uint8_t>(i + position * 13u + type * 29u);
    if (size == kPageBytes) {
        const uint16_t crc = Crc16Ccitt(std::span<const uint8_t>(record).first(254));
        record[254] = static_cast<uint8_t>(crc & 0xFF);
        record[255] = static_cast<uint8_t>(crc >> 8);
    }
    return record;
}

RecordRing FixtureRing(uint8_t type, uint16_t highest, uint16_t first, uint16_t next)
{
    RecordRing ring;
    ring.Highest = highest;
    ring.First = first;
    ring.Next = next;
    ring.Slots.assign(size_t{highest} + 1, std::vector<uint8_t>(RecordSize(type), 0xFF));
    for (uint16_t p = first; p != next; p = NextPosition(ring, p))
        ring.Slots[p] = FixtureRecord(type, p);
    return ring;
}

} // namespace

size_t RecordSize(uint8_t type)
{
    return type <= 4 ? kPageBytes : 16;
}

size_t ArchiveDataSize(uint8_t type, uint8_t count)
{
    return std::min(RecordSize(type) * count, kPageBytes);
}

size_t RecordRing::RecordCount() const
{
    if (Next >= First)
        return size_t{Next} - First;
    return size_t{Highest} - First + Next + 1;
}

uint16_t InstrumentState::Register(uint16_t number) const
{
    if (number >= 30001 && number < 30001 + kInputRegisterCount)
        return BigEndianAt(InputImage, size_t{2} * (number - 30001));
    if (number >= 40001 && number < 40001 + kHoldingRegisterCount)
        return BigEndianAt(HoldingImage, size_t{2} * (number - 40001));
    return 0;
}

void InstrumentState::SetRegister(uint16_t number, uint16_t value)
{
    std::vector<uint8_t>* image = nullptr;
    size_t offset = 0;
    if (number >= 30001 && number < 30001 + kInputRegisterCount) {
        image = &InputImage;
        offset = size_t{2} * (number - 30001);
    } else if (number >= 40001 && number < 40001 + kHoldingRegisterCount) {
        image = &HoldingImage;
        offset = size_t{2} * (number - 40001);
    }
    if (!image || offset + 1 >= image->size())
        return;
    (*image)[offset] = static_cast<uint8_t>(value >> 8);
    (*image)[offset + 1] = static_cast<uint8_t>(value & 0xFF);
}

void InstrumentState::StoreRingPointers()
{
    for (int type = 0; type < kRecordTypeCount; ++type) {
        const uint16_t base = static_cast<uint16_t>(kFirstRingPointerRegister + 3 * type);
        SetRegister(base, Rings[type].Highest);
        SetRegister(static_cast<uint16_t>(base + 1), Rings[type].First);
        SetRegister(static_cast<uint16_t>(base + 2), Rings[type].Next);
    }
}

bool InstrumentState::IsValid() const
{
    if (InputImage.size() != 2 * kInputRegisterCount || HoldingImage.size() != 2 * kHoldingRegisterCount)
        return false;
    for (int type = 0; type < kRecordTypeCount; ++type) {
        const RecordRing& ring = Rings[type];
        if (ring.Slots.size() != size_t{ring.Highest} + 1 || ring.First > ring.Highest || ring.Next > ring.Highest)
            return false;
        for (const auto& slot : ring.Slots)
            if (slot.size() != RecordSize(static_cast<uint8_t>(type)))
                return false;
    }
    return true;
}

InstrumentState FixtureState(Model model)
{
    InstrumentState state;
    const char* text = model == Model::Dax01 ? "DAX-01" : "DAX-02";
    std::memcpy(state.ModelText.data(), text, 6);
    state.Version = {1, 0, 1, 3};
    state.InputImage.resize(2 * kInputRegisterCount);
    state.HoldingImage.resize(2 * kHoldingRegisterCount);
    for (uint16_t i = 0; i < kInputRegisterCount; ++i)
        state.SetRegister(static_cast<uint16_t>(30001 + i), static_cast<uint16_t>(0x3000 + i));
    for (uint16_t i = 0; i < kHoldingRegisterCount; ++i)
        state.SetRegister(static_cast<uint16_t>(40001 + i), static_cast<uint16_t>(0x4000 + i));
    state.Rings[0] = FixtureRing(0, 15, 12, 3);    // hour archive, wrapped: 7 records
    state.Rings[1] = FixtureRing(1, 31, 0, 5);     // day archive
    state.Rings[2] = FixtureRing(2, 11, 2, 6);     // month archive
    state.Rings[3] = FixtureRing(3, 31, 0, 3);     // total day archive
    state.Rings[4] = FixtureRing(4, 11, 0, 2);     // total month archive
    state.Rings[5] = FixtureRing(5, 127, 0, 40);   // abnormal-situation journal: 40 records
    state.Rings[6] = FixtureRing(6, 63, 50, 8);    // operator journal, wrapped: 22 records
    std::vector<uint8_t>& bad = state.Rings[0].Slots[kFixtureBadHourRecord];
    bad[254] ^= 0xFF;
    state.StoreRingPointers();
    return state;
}

std::vector<uint8_t> ExceptionAnswer(uint8_t address, uint8_t function, uint8_t code)
{
    std::vector<uint8_t> frame = {address, static_cast<uint8_t>(function | 0x80), code};
    AppendCrc(frame);
    return frame;
}

void AppendCrc(std::vector<uint8_t>& frame)
{
    const uint16_t crc = Crc16Modbus(frame);
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
}

bool CrcIsValid(std::span<const uint8_t> frame)
{
    if (frame.size() < 3)
        return false;
    const uint16_t crc = Crc16Modbus(frame.first(frame.size() - 2));
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

Instrument::Instrument(InstrumentState state, uint8_t address) : state_(std::move(state)), address_(address) {}

bool Instrument::ReplaceState(InstrumentState state)
{
    if (!state.IsValid())
        return false;
    std::lock_guard lock(mutex_);
    state_ = std::move(state);
    return true;
}

void Instrument::PokeRegister(uint16_t number, uint16_t value)
{
    std::lock_guard lock(mutex_);
    state_.SetRegister(number, value);
}

InstrumentState Instrument::State() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

uint8_t Instrument::Address() const
{
    std::lock_guard lock(mutex_);
    return address_;
}

void Instrument::SetBeforeCurrentRead(std::function<void(InstrumentState&)> step)
{
    std::lock_guard lock(mutex_);
    beforeCurrentRead_ = std::move(step);
}

void Instrument::SetAddress(uint8_t address)
{
    std::lock_guard lock(mutex_);
    address_ = address;
}

std::vector<uint8_t> Instrument::Answer(std::span<const uint8_t> request)
{
    if (request.size() < 4 || !CrcIsValid(request))
        return {};
    std::lock_guard lock(mutex_);
    if (request[0] != address_ && request[0] != 0)
        return {};
    const std::span<const uint8_t> frame = request.first(request.size() - 2);
    switch (frame[1]) {
    case 0x04:
        if (beforeCurrentRead_)
            beforeCurrentRead_(state_);
        return ReadRegisters(frame);
    case 0x03:
        return ReadRegisters(frame);
    case 0x10:
        return WriteRegisters(frame);
    case 0x11:
        return Identification(frame);
    case 0x41:
        return ArchivePage(frame);
    default:
        return ExceptionAnswer(frame[0], frame[1], kIllegalFunction);
    }
}

std::vector<uint8_t> Instrument::ReadRegisters(std::span<const uint8_t> frame)
{
    if (frame.size() != 6)
        return ExceptionAnswer(frame[0], frame[1], kIllegalValue);
    const uint16_t first = BigEndianAt(frame, 2);
    const uint16_t count = BigEndianAt(frame, 4);
    if (count == 0 || count > kMaxReadRegisters)
        return ExceptionAnswer(frame[0], frame[1], kIllegalValue);
    const bool input = frame[1] == 0x04;
    const size_t registers = input ? kInputRegisterCount : kHoldingRegisterCount;
    if (size_t{first} + count > registers)
        return ExceptionAnswer(frame[0], frame[1], kIllegalAddress);
    const std::vector<uint8_t>& image = input ? state_.InputImage : state_.HoldingImage;
    std::vector<uint8_t> answer = {frame[0], frame[1], static_cast<uint8_t>(2 * count)};
    answer.insert(answer.end(), image.begin() + 2 * first, image.begin() + 2 * (first + count));
    AppendCrc(answer);
    return answer;
}

std::vector<uint8_t> Instrument::WriteRegisters(std::span<const uint8_t> frame)
{
    if (frame.size() < 7)
        return ExceptionAnswer(frame[0], frame[1], kIllegalValue);
    const uint16_t first = BigEndianAt(frame, 2);
    const uint16_t count = BigEndianAt(frame, 4);
    const uint8_t bytes = frame[6];
    if (count == 0 || count > kMaxWriteRegisters || bytes != 2 * count || frame.size() != size_t{7} + bytes)
        return ExceptionAnswer(frame[0], frame[1], kIllegalValue);
    if (size_t{first} + count > kHoldingRegisterCount)
        return ExceptionAnswer(frame[0], frame[1], kIllegalAddress);
    std::copy(frame.begin() + 7, frame.end(), state_.HoldingImage.begin() + 2 * first);
    std::vector<uint8_t> answer = {frame[0], frame[1]};
    PutBigEndian(answer, first);
    PutBigEndian(answer, count);
    AppendCrc(answer);
    return answer;
}

std::vector<uint8_t> Instrument::Identification(std::span<const uint8_t> frame)
{
    if (frame.size() != 2)
        return ExceptionAnswer(frame[0], frame[1], kIllegalValue);
    std::vector<uint8_t> answer = {frame[0], frame[1], 10};
    answer.insert(answer.end(), state_.ModelText.begin(), state_.ModelText.end());
    answer.insert(answer.end(), state_.Version.begin(), state_.Version.end());
    AppendCrc(answer);
    return answer;
}

std::vector<uint8_t> Instrument::ArchivePage(std::span<const uint8_t> frame)
{
    if (frame.size() != 7)
        return ExceptionAnswer(frame[0], frame[1], kIllegalValue);
    const uint8_t type = frame[2];
    const uint8_t argument = frame[3];
    const uint16_t start = static_cast<uint16_t>(frame[4] | (frame[5] << 8));
    const uint8_t asked = frame[6];
    if (type >= kRecordTypeCount)
        return ExceptionAnswer(frame[0], frame[1], kIllegalAddress);
    const RecordRing& ring = state_.Rings[type];
    if (start > ring.Highest)
        return ExceptionAnswer(frame[0], frame[1], kIllegalAddress);
    const size_t recordSize = RecordSize(type);
    const size_t dataSize = ArchiveDataSize(type, asked);
    const size_t perPage = kPageBytes / recordSize;

    std::vector<uint8_t> data;
    data.reserve(dataSize);
    uint16_t position = start;
    uint8_t carried = 0;
    while (carried < asked && carried < perPage && position != ring.Next) {
        data.insert(data.end(), ring.Slots[position].begin(), ring.Slots[position].end());
        position = NextPosition(ring, position);
        ++carried;
    }
    data.resize(dataSize, 0xFF);

    // The position carried back is where the next page starts.
    std::vector<uint8_t> answer = {frame[0], frame[1], type, argument, static_cast<uint8_t>(position & 0xFF),
                                   static_cast<uint8_t>(position >> 8), carried};
    answer.insert(answer.end(), data.begin(), data.end());
    AppendCrc(answer);
    return answer;
}

} // namespace daxsim
