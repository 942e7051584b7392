#include "Daxhelper.h"

#include "comm/Crc16.h"
#include "comm/Modbus.h"
#include "comm/Sysutil.h"
#include "comm/Texts.h"
#include "platform/ByteOrder.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cstring>

using namespace std::chrono_literals;
using namespace dax_namespace;

namespace {

constexpr auto kRetryPause = 500ms;          // before each repeated attempt
constexpr auto kAfterReadPause = 10ms;       // after a successful register read, still holding the device lock
constexpr auto kAfterReleasePause = 1ms;     // after every release of the device lock

constexpr int32_t kReadFirstByteMs = 500;
constexpr int32_t kWriteFirstByteMs = 3000;
constexpr int32_t kIdentifyFirstByteMs = 1000;
constexpr int32_t kPageFirstByteMs = 1000;
constexpr int32_t kInterByteMs = 100;

constexpr size_t kWriteAnswerLength = 8;       // address, 0x10, first register, count, CRC
constexpr size_t kIdentifyAnswerLength = 15;
constexpr uint8_t kIdentificationByteCount = 10;
constexpr size_t kPageOverhead = 9;            // address, 0x41, 2 unread bytes, start, count, CRC
constexpr size_t kPageDataOffset = 7;

// The caller sees the ordinary exception whatever class the failure had inside.
template <typename Body>
auto AsOrdinaryException(Body&& body) -> decltype(body())
{
    try {
        return body();
    } catch (const platform::Exception& failure) {
        throw platform::Exception(failure.Message());
    }
}

// A whole exception answer to the request: five bytes, its function with the exception bit, a
// right CRC.
bool IsExceptionAnswer(std::span<const uint8_t> request, std::span<const uint8_t> answer, int32_t received)
{
    constexpr size_t kExceptionAnswerLength = 5;
    if (received != static_cast<int32_t>(kExceptionAnswerLength) || answer.size() < kExceptionAnswerLength ||
        request.size() < 2 || answer[1] != (request[1] | 0x80))
        return false;
    return Crc16Modbus(answer.first(3)) == platform::ReadLittleEndian<uint16_t>(answer, 3);
}

// Takes the records of a page into a list: in answer order at its back, or each in front of
// everything before it.
template <typename Record>
void TakeRecords(std::list<Record>& list, std::span<const uint8_t> data, size_t count, bool toFront)
{
    constexpr size_t size = sizeof(Record{}.bytes);
    for (size_t i = 0; i < count; ++i) {
        Record record;
        std::memcpy(record.bytes.data(), data.data() + i * size, size);
        if (toFront)
            list.push_front(record);
        else
            list.push_back(record);
    }
}

} // namespace

int32_t ArchiveDataSize(uint8_t type, uint8_t count)
{
    const int32_t size = static_cast<int32_t>(RecordSizeOfType(type)) * count;
    return std::min<int32_t>(size, static_cast<int32_t>(kArchivePageSize));
}

// Holds the device lock for one operation; on every way out releases it and then pauses, so
// that a waiting operation of another thread gets its turn.
class DaxHelper::OperationScope {
public:
    explicit OperationScope(DaxHelper& helper) : helper_(helper) { helper_.DeviceLock.lock(); }
    ~OperationScope()
    {
        helper_.DeviceLock.unlock();
        helper_.pacer_.load()->Pause(kAfterReleasePause);
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    DaxHelper& helper_;
};

DaxHelper::DaxHelper()
{
    Reset();
}

DaxHelper::~DaxHelper() = default;

bool DaxHelper::Identified() const
{
    std::lock_guard lock(ImageMutex);
    return identified_;
}

int32_t DaxHelper::Model() const
{
    std::lock_guard lock(ImageMutex);
    return model_;
}

std::string DaxHelper::ModelText() const
{
    std::lock_guard lock(ImageMutex);
    return modelText_;
}

std::string DaxHelper::FirmwareVersionText() const
{
    std::lock_guard lock(ImageMutex);
    return firmwareVersionText_;
}

std::string DaxHelper::ModificationText() const
{
    std::lock_guard lock(ImageMutex);
    return modificationText_;
}

std::array<uint8_t, 4> DaxHelper::Version() const
{
    std::lock_guard lock(ImageMutex);
    return version_;
}

void DaxHelper::Reset()
{
    std::lock_guard lock(ImageMutex);
    version_ = {};
    model_ = -1;
    modelText_.clear();
    firmwareVersionText_.clear();
    modificationText_.clear();
    InputRegisterImage.fill(0);
    HoldingRegisterImage.fill(0);
    ForEachRecordType(*this, [](auto, auto& vector, auto&) { vector.clear(); });
    identified_ = false;
}

void DaxHelper::LockImage()
{
    ImageMutex.lock();
}

void DaxHelper::UnlockImage()
{
    ImageMutex.unlock();
}

void DaxHelper::SetLogCallback(LogCallback callback)
{
    auto shared = callback ? std::make_shared<const LogCallback>(std::move(callback)) : nullptr;
    std::lock_guard lock(logMutex_);
    logCallback_ = std::move(shared);
}

void DaxHelper::SetPacer(platform::Pacer* pacer)
{
    pacer_.store(pacer ? pacer : &platform::Pacer::System());
}

void DaxHelper::Print(const std::string& text, TInteractContainer* target) const
{
    std::shared_ptr<const LogCallback> callback;
    {
        std::lock_guard lock(logMutex_);
        callback = logCallback_;
    }
    if (callback) {
        (*callback)(text, target);
        return;
    }
    if (TChanelHelperBase* channel = GetChannel())
        channel->Log(text, target);
}

TChanelHelperBase& DaxHelper::RequireChannel() const
{
    TChanelHelperBase* channel = GetChannel();
    if (!channel)
        throw platform::Exception(comm::kChannelNotOpenText);
    return *channel;
}

uint8_t DaxHelper::DeviceAddressByte() const
{
    return static_cast<uint8_t>(RequireChannel().DeviceAddress() & 0xFF);
}

void DaxHelper::CheckAnswer(std::span<const uint8_t> answer, int32_t count)
{
    if (count < 4 || static_cast<size_t>(count) > answer.size())
        throw platform::Exception(kInvalidAnswerText);
    const size_t body = static_cast<size_t>(count) - 2;
    if (Crc16Modbus(answer.first(body)) != platform::ReadLittleEndian<uint16_t>(answer, body))
        throw platform::Exception(kCrcErrorText);
    if (answer[1] & 0x80)
        throw platform::Exception(ModbusExceptionText(answer[2]));
}

void DaxHelper::CheckShape(const AnswerShape& shape, int32_t received) const
{
    // An answer to another device (when one is addressed) or to another function belongs to
    // some other request: it must not be evaluated as the answer to this one.
    const uint8_t address = RequestBuffer[0];
    if ((address != 0 && AnswerBuffer[0] != address) || AnswerBuffer[1] != RequestBuffer[1])
        throw platform::Exception(kInvalidAnswerText);
    const size_t length = static_cast<size_t>(received);
    switch (shape.kind) {
    case AnswerShape::Kind::Registers:
        // Exactly the registers asked: the byte count and the length agree with the request,
        // so every byte copied into an image is a byte of this answer.
        if (length != shape.expectedLength || AnswerBuffer[2] != shape.expectedLength - 5)
            throw platform::Exception(kInvalidAnswerText);
        break;
    case AnswerShape::Kind::Write:
        // The instrument confirms the block it wrote by echoing its first register and count.
        if (length != kWriteAnswerLength || !std::equal(&AnswerBuffer[2], &AnswerBuffer[6], &RequestBuffer[2]))
            throw platform::Exception(kInvalidAnswerText);
        break;
    case AnswerShape::Kind::Identification:
        if (length != size_t{AnswerBuffer[2]} + 5)
            throw platform::Exception(kInvalidAnswerText);
        break;
    case AnswerShape::Kind::Page:
        // The page's length is judged once the attempts are over.
        break;
    }
}

int32_t DaxHelper::Exchange(size_t requestLength, const AnswerShape& shape, int32_t firstByteMs,
                            int32_t interByteMs, TInteractContainer* progress, int32_t tries)
{
    TChanelHelperBase& channel = RequireChannel();
    channel.SetTimeouts(firstByteMs, interByteMs, progress);
    const std::span<const uint8_t> request(RequestBuffer.data(), requestLength);
    const std::span<uint8_t> answer(AnswerBuffer.data(), shape.expectedLength);
    int32_t left = std::max(tries, 1);
    for (;;) {
        try {
            const int32_t received = channel.Transact(request, answer, progress);
            try {
                CheckAnswer(answer, received);
                CheckShape(shape, received);
            } catch (const platform::Exception&) {
                // What came may be part of this answer or an earlier one's: the channel stops
                // trusting its framing until the line has settled. No answer at all is the
                // channel's own count of owed answers, and an exception answer is a whole answer
                // to this request: both leave the line in step.
                if (received > 0 && !IsExceptionAnswer(request, answer, received))
                    channel.MarkLineUnsettled();
                throw;
            }
            return received;
        } catch (const platform::Exception&) {
            if (--left <= 0)
                throw;
        }
        pacer_.load()->Pause(kRetryPause);
        CheckProcessAborted(progress);
    }
}

bool DaxHelper::ReadRegisters(int32_t firstRegister, int32_t count, TInteractContainer* progress, int32_t tries)
{
    // Only blocks wholly inside one image are asked for, so the answer always has a place.
    const int64_t last = int64_t{firstRegister} + count - 1;
    const bool input = firstRegister >= kFirstInputRegister &&
                       last < kFirstInputRegister + kInputRegisterCount;
    const bool holding = firstRegister >= kFirstHoldingRegister &&
                         last < kFirstHoldingRegister + kHoldingRegisterCount;
    if (count < 1 || count > kMaxReadRegisters || !(input || holding))
        return false;

    OperationScope scope(*this);
    return AsOrdinaryException([&] {
        size_t length = 0;
        ModbusBuildReadRegisters(RequestBuffer, length, DeviceAddressByte(), static_cast<uint16_t>(firstRegister),
                                 count);
        const size_t dataBytes = 2 * static_cast<size_t>(count);
        Exchange(length, {AnswerShape::Kind::Registers, dataBytes + 5}, kReadFirstByteMs, kInterByteMs, progress,
                 tries);
        {
            std::lock_guard lock(ImageMutex);
            uint8_t* target = input ? &InputRegisterImage[RegisterOffset(kFirstInputRegister, firstRegister)]
                                    : &HoldingRegisterImage[RegisterOffset(kFirstHoldingRegister, firstRegister)];
            std::memcpy(target, &AnswerBuffer[3], dataBytes);
        }
        pacer_.load()->Pause(kAfterReadPause);
        return true;
    });
}

bool DaxHelper::WriteRegisters(int32_t firstRegister, int32_t count, TInteractContainer* progress, int32_t tries)
{
    return WriteRegisterBlock(firstRegister, count, nullptr, progress, tries);
}

bool DaxHelper::WriteRegisters(int32_t firstRegister, int32_t count, const SetupImage& values,
                               TInteractContainer* progress, int32_t tries)
{
    return WriteRegisterBlock(firstRegister, count, &values, progress, tries);
}

bool DaxHelper::WriteRegisterBlock(int32_t firstRegister, int32_t count, const SetupImage* values,
                                   TInteractContainer* progress, int32_t tries)
{
    // Register data is never taken from outside the setup image.
    const int64_t last = int64_t{firstRegister} + count - 1;
    if (count < 1 || count > modbus::kMaxWriteRegisters || firstRegister < kFirstHoldingRegister ||
        last >= kFirstHoldingRegister + kHoldingRegisterCount)
        return false;

    OperationScope scope(*this);
    return AsOrdinaryException([&] {
        const uint8_t address = DeviceAddressByte();
        size_t length = 0;
        {
            std::unique_lock lock(ImageMutex, std::defer_lock);
            if (!values)
                lock.lock();
            const size_t offset = RegisterOffset(kFirstHoldingRegister, firstRegister);
            const std::span<const uint8_t> source = values ? std::span<const uint8_t>(*values)
                                                           : std::span<const uint8_t>(HoldingRegisterImage);
            ModbusBuildWriteRegisters(RequestBuffer, length, address, source.subspan(offset, 2 * size_t(count)),
                                      static_cast<uint16_t>(firstRegister), static_cast<uint16_t>(count));
        }
        Exchange(length, {AnswerShape::Kind::Write, kWriteAnswerLength}, kWriteFirstByteMs, kInterByteMs, progress,
                 tries);
        return true;
    });
}

DaxHelper::SetupImage DaxHelper::SetupImageCopy() const
{
    std::lock_guard lock(ImageMutex);
    return HoldingRegisterImage;
}

bool DaxHelper::Identify(TInteractContainer* progress, int32_t tries)
{
    OperationScope scope(*this);
    try {
        return AsOrdinaryException([&] {
            size_t length = 0;
            ModbusBuildReportSlaveId(RequestBuffer, length, DeviceAddressByte());
            Exchange(length, {AnswerShape::Kind::Identification, kIdentifyAnswerLength}, kIdentifyFirstByteMs,
                     kInterByteMs, progress, tries);
            bool result = true;
            ApplyIdentificationAnswer(progress, result);
            return result;
        });
    } catch (...) {
        std::lock_guard lock(ImageMutex);
        identified_ = false;
        throw;
    }
}

// An answer that is not accepted does not undo an earlier identification: an unknown
// modification or model only sets the model to -1, and an instrument identified before stays
// identified with its model text. A refused software version is the exception: it forgets the
// earlier identification, because the next data file would otherwise claim that model with the
// refused version, which the loader refuses, so the file could never be opened again.
void DaxHelper::ApplyIdentificationAnswer(TInteractContainer* progress, bool& result)
{
    bool unknownModification = false;
    bool unknownVersion = false;
    {
        std::lock_guard lock(ImageMutex);
        if (AnswerBuffer[2] != kIdentificationByteCount) {
            model_ = -1;
            unknownModification = true;
        } else {
            std::copy_n(&AnswerBuffer[9], 4, version_.begin());
            firmwareVersionText_ = FormatText("%u.%u", unsigned{version_[2]}, unsigned{version_[3]});
            modificationText_ = FormatText("%u.%u", unsigned{version_[0]}, unsigned{version_[1]});
            const std::string_view model(reinterpret_cast<const char*>(&AnswerBuffer[3]), 6);
            if (version_[2] > 1) {
                identified_ = false;
                model_ = -1;
                modelText_.clear();
                unknownVersion = true;
                result = false;
            } else {
                unknownVersion = version_[3] > 3;
                if (model == "DAX-01" || model == "DAX-02") {
                    identified_ = true;
                    model_ = model == "DAX-01" ? 0 : 1;
                    modelText_ = model_ == 0 ? "Dax-01" : "Dax-02";
                } else {
                    model_ = -1;
                    unknownModification = true;
                }
            }
        }
    }
    // Printed outside the image mutex: the log callback takes the process's own lock.
    if (unknownVersion)
        Print(kUnknownVersionText, progress);
    if (unknownModification)
        Print(kUnknownModificationText, progress);
}

bool DaxHelper::ReadArchivePage(uint32_t type, int32_t argument, uint16_t& start, uint8_t& count,
                                TInteractContainer* progress, int32_t tries)
{
    OperationScope scope(*this);
    return AsOrdinaryException([&] {
        const uint8_t typeByte = static_cast<uint8_t>(type & 0xFF);
        const uint8_t data[5] = {typeByte, static_cast<uint8_t>(argument & 0xFF), static_cast<uint8_t>(start & 0xFF),
                                 static_cast<uint8_t>(start >> 8), count};
        const size_t dataSize = static_cast<size_t>(ArchiveDataSize(typeByte, count));
        const size_t expected = dataSize + kPageOverhead;
        size_t length = 0;
        ModbusBuildRequest(RequestBuffer, length, DeviceAddressByte(), modbus::kReadArchivePage, data);
        const int32_t received =
            Exchange(length, {AnswerShape::Kind::Page, expected}, kPageFirstByteMs, kInterByteMs, progress, tries);

        // A page must be whole and carry what was asked: records only from its data part, and
        // at least one record when any was asked (a count of 0 would never let a reader finish).
        const uint8_t carried = AnswerBuffer[6];
        const size_t recordSize = RecordSizeOfType(typeByte);
        if (static_cast<size_t>(received) != expected || carried > count || (count > 0 && carried == 0) ||
            carried * recordSize > dataSize)
            throw platform::Exception(kArchiveLengthText);

        const std::span<const uint8_t> records(&AnswerBuffer[kPageDataOffset], dataSize);
        const bool toFront = (argument & 1) != 0;
        // Records of unknown types are not kept.
        VisitRecordType(*this, type, [&](auto, auto&, auto& list) { TakeRecords(list, records, carried, toFront); });
        start = platform::ReadLittleEndian<uint16_t>(AnswerBuffer, 4);
        count = carried;
        return true;
    });
}

void DaxHelper::ClearReadLists()
{
    ForEachRecordType(*this, [](auto, auto&, auto& list) { list.clear(); });
}

void DaxHelper::CommitReadLists()
{
    std::lock_guard lock(ImageMutex);
    ForEachRecordType(*this, [](auto, auto& vector, const auto& list) { vector.assign(list.begin(), list.end()); });
}
