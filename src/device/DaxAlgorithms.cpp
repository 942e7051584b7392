#include "DaxAlgorithms.h"

#include "comm/Sysutil.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <array>
#include <limits>

namespace dax {
const char* const kIdentificationRefusedText = "Прибор не опознан: неизвестная версия прибора";
const char* const kReadRefusedFormat = "Недопустимый блок регистров для чтения: %d, количество %d";
const char* const kWriteRefusedFormat = "Недопустимый блок регистров для записи: %d, количество %d";
const char* const kRingPointersFormat = "Неверные указатели записей (%s): первая %u, следующая %u, наибольшая %u";

const char* const kIdentifyStatusText = "Определение модификация прибора";
const char* const kReadInputStatusText = "Чтение текущих параметров";
const char* const kReadHoldingStatusText = "Чтение настроечных параметров";
const char* const kWriteStatusText = "Запись параметров";

const char* ArchiveStatusText(uint32_t index)
{
    static const char* const texts[kRecordTypeCount] = {
        "Чтение часового архива",           "Чтение суточного архива",
        "Чтение месячного архива",          "Чтение итогового суточного архива",
        "Чтение итогового месячного архива", "Чтение журнала НС",
        "Чтение журнала оператора",
    };
    return index < kRecordTypeCount ? texts[index] : "";
}
} // namespace dax

namespace {

constexpr int32_t kSerialNumberRegister = 40037; // 32-bit serial number, used by the data file name
constexpr int32_t kSerialNumberCount = 2;

// The names the read-all dialog shows, used in the ring-pointer failure text.
constexpr const char* kArchiveNames[dax::kRecordTypeCount] = {
    "Часовой архив",         "Суточный архив",   "Месячный архив",  "Итоговый суточный архив",
    "Итоговый месячный архив", "Журнал НС", "Журнал оператора",
};

uint32_t RecordsPerPage(uint32_t index)
{
    const size_t recordSize = index <= 4 ? dax_namespace::kArchiveRecordSize : dax_namespace::kJournalRecordSize;
    return static_cast<uint32_t>(dax::kArchivePageSize / recordSize);
}

bool Chosen(uint32_t index, uint32_t mask, uint32_t limit)
{
    return index < limit && ((mask >> index) & 1) != 0;
}

// A block DaxHelper refused was neither read nor written: the run cannot go on as if it had.
void ReadBlock(DaxHelper& device, int32_t first, int32_t count, TInteractContainer* progress, int32_t tries)
{
    if (!device.ReadRegisters(first, count, progress, tries))
        throw platform::Exception(FormatText(dax::kReadRefusedFormat, first, count));
}

void WriteBlock(DaxHelper& device, int32_t first, int32_t count, TInteractContainer* progress, int32_t tries)
{
    if (!device.WriteRegisters(first, count, progress, tries))
        throw platform::Exception(FormatText(dax::kWriteRefusedFormat, first, count));
}

// The instrument printed why it was refused ("Неизвестная версия прибора"); the run ends
// with that reason rather than as a success that did nothing.
void IdentifyOrFail(DaxHelper& device, TInteractContainer* progress, int32_t tries)
{
    if (!device.Identify(progress, tries))
        throw platform::Exception(dax::kIdentificationRefusedText);
}

// Identification step of the page algorithms: only for an instrument not yet identified;
// the read algorithms then also fetch the serial number.
void IdentificationStep(DaxHelper& device, TInteractContainer* progress, bool readSerialNumber)
{
    if (device.Identified())
        return;
    IdentifyOrFail(device, progress, 1);
    if (readSerialNumber)
        ReadBlock(device, kSerialNumberRegister, kSerialNumberCount, progress, 2);
}

using dax::PageStep;
using Op = PageStep::Op;

struct RingPointers {
    uint16_t highest = 0; // highest record position of the ring
    uint16_t first = 0;   // position of the oldest record
    uint16_t next = 0;    // position after the newest record
};

// Taken under the image mutex: a page process of another thread may be writing the
// current-parameter image at the same time.
std::array<RingPointers, dax::kRecordTypeCount> ReadRingPointers(DaxHelper& device)
{
    std::array<RingPointers, dax::kRecordTypeCount> rings;
    DaxHelperLocker lock(&device);
    const auto word = [&](int32_t reg) {
        const size_t offset = 2 * static_cast<size_t>(reg - dax::kFirstInputRegister);
        return static_cast<uint16_t>((device.InputRegisterImage[offset] << 8) | device.InputRegisterImage[offset + 1]);
    };
    for (uint32_t k = 0; k < dax::kRecordTypeCount; ++k) {
        const int32_t reg = dax::kRingPointersRegister + 3 * static_cast<int32_t>(k);
        rings[k] = {word(reg), word(reg + 1), word(reg + 2)};
    }
    return rings;
}

// Records between First and Next, going round the ring past Highest. Pointers beyond the ring
// mean the image is not what the instrument keeps: counting them would read a wrong (possibly
// huge) number of records, so the run fails instead.
uint32_t RingRecordCount(const RingPointers& ring, uint32_t index)
{
    if (ring.first > ring.highest || ring.next > ring.highest)
        throw platform::Exception(FormatText(dax::kRingPointersFormat, kArchiveNames[index], unsigned{ring.first},
                                             unsigned{ring.next}, unsigned{ring.highest}));
    if (ring.next >= ring.first)
        return uint32_t{ring.next} - ring.first;
    return uint32_t{ring.highest} - ring.first + ring.next + 1;
}

} // namespace

std::vector<dax::PageStep> dax::PageSteps(uint32_t pageKind)
{
    switch (pageKind) {
    case 0:
        return {{Op::Read, 40180, 2, true},  {Op::Read, 40079, 4, true},  {Op::Read, 40126, 3, true},
                {Op::Read, 30217, 83, false}, {Op::Read, 30059, 85, false}, {Op::Read, 30160, 42, false}};
    case 1:
        return {{Op::Read, 40180, 2, true},
                {Op::Read, 40129, 4, true},
                {Op::Read, 30300, 83, false},
                {Op::Read, 30059, 85, false},
                {Op::Read, 30160, 42, false}};
    case 2:
        return {{Op::Read, 40180, 2, true},
                {Op::Read, 40179, 30, true},
                {Op::Read, 30059, 85, false},
                {Op::Read, 30160, 42, false}};
    case 3:
        return {{Op::Identify, 0, 0, true}, {Op::Read, 40001, 38, true}, {Op::Read, 30001, 20, false}};
    case 4:
        // The configuration page of heat system 1 always reads its settings.
        return {{Op::Identify, 0, 0, false}, {Op::Read, 40079, 10, false}, {Op::Read, 40126, 3, false}};
    case 5:
        return {{Op::Write, 40079, 10, false}, {Op::Write, 40126, 3, false}};
    default:
        return {};
    }
}

DaxReadModbusRegAlgorithm::DaxReadModbusRegAlgorithm(uint32_t startRegister, uint32_t registerCount,
                                                     DaxHelper* device, TInteractContainer* container)
    : ProcessAlgorithm(container), StartRegister(startRegister), RegisterCount(registerCount), Device(device)
{
}

void DaxReadModbusRegAlgorithm::Run()
{
    IdentificationStep(*Device, Container, true);
    ReadBlock(*Device, static_cast<int32_t>(StartRegister), static_cast<int32_t>(RegisterCount), Container, 2);
}

DaxWriteModbusRegAlgorithm::DaxWriteModbusRegAlgorithm(uint32_t startRegister, uint32_t registerCount,
                                                       DaxHelper* device, TInteractContainer* container)
    : ProcessAlgorithm(container), StartRegister(startRegister), RegisterCount(registerCount), Device(device)
{
}

void DaxWriteModbusRegAlgorithm::Run()
{
    IdentificationStep(*Device, Container, false);
    WriteBlock(*Device, static_cast<int32_t>(StartRegister), static_cast<int32_t>(RegisterCount), Container, 1);
}

DaxMultiReadWriteAlgorithm::DaxMultiReadWriteAlgorithm(uint32_t pageKind, DaxHelper* device,
                                                       TInteractContainer* container, bool currentOnly)
    : ProcessAlgorithm(container), PageKind(pageKind), Device(device), CurrentOnly(currentOnly)
{
}

void DaxMultiReadWriteAlgorithm::Run()
{
    IdentificationStep(*Device, Container, true);
    for (const PageStep& step : dax::PageSteps(PageKind)) {
        if (step.settings && CurrentOnly)
            continue;
        // Between blocks as well as between attempts, so that a pool being destroyed does
        // not wait for the rest of the page.
        CheckAbort();
        switch (step.op) {
        case Op::Read: ReadBlock(*Device, step.first, step.count, Container, 3); break;
        case Op::Write: WriteBlock(*Device, step.first, step.count, Container, 3); break;
        case Op::Identify: IdentifyOrFail(*Device, Container, 1); break;
        }
    }
}

DaxReadAllParamsAlgorithm::DaxReadAllParamsAlgorithm(DaxHelper* device, const DaxReadAllDataSetup& setup,
                                                     TInteractContainer* container)
    : ProcessAlgorithm(container), Device(device), Order(setup.Order), Mask(setup.Mask)
{
}

void DaxReadAllParamsAlgorithm::Run()
{
    DaxHelper& device = *Device;
    device.ClearReadLists();
    if (!device.Identified()) {
        SetStatus(dax::kIdentifyStatusText);
        IdentifyOrFail(device, Container, 3);
    }
    CheckAbort();

    // Both images in requests of at most 127 registers; Total stays 0 meanwhile.
    const auto readImage = [&](int32_t first, int32_t count) {
        for (int32_t offset = 0; offset < count; offset += dax::kMaxReadRegisters) {
            ReadBlock(device, first + offset, std::min(dax::kMaxReadRegisters, count - offset), Container, 3);
            ++Done;
            UpdateProgress();
            CheckAbort();
        }
    };
    SetStatus(dax::kReadInputStatusText);
    readImage(dax::kFirstInputRegister, dax::kInputRegisterCount);
    SetStatus(dax::kReadHoldingStatusText);
    readImage(dax::kFirstHoldingRegister, dax::kHoldingRegisterCount);

    // Counted, and checked, for every chosen index before the first page is asked for.
    const auto rings = ReadRingPointers(device);
    std::array<uint32_t, dax::kRecordTypeCount> counts{};
    Total = 0;
    Done = 0;
    Offset = 0;
    int64_t total = 0;
    for (const uint32_t k : Order) {
        if (!Chosen(k, Mask, dax::kRecordTypeCount))
            continue;
        counts[k] = RingRecordCount(rings[k], k);
        const uint32_t perPage = RecordsPerPage(k);
        total += (counts[k] + perPage - 1) / perPage;
    }
    Total = static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));

    for (const uint32_t k : Order) {
        if (!Chosen(k, Mask, dax::kRecordTypeCount))
            continue;
        SetStatus(dax::ArchiveStatusText(k));
        uint16_t start = rings[k].first;
        uint32_t remaining = counts[k];
        while (remaining != 0) {
            const uint8_t asked = static_cast<uint8_t>(std::min(remaining, dax::kMaxPageRecords));
            uint8_t carried = asked;
            if (!device.ReadArchivePage(k, 0, start, carried, Container, 3))
                throw platform::Exception(dax::kInvalidAnswerText);
            // DaxHelper refuses such pages already; the loop must end whatever an answer says.
            if (carried == 0 || carried > asked)
                throw platform::Exception(dax::kArchiveLengthText);
            remaining -= carried;
            ++Done;
            UpdateProgress();
            CheckAbort();
        }
    }

    device.CommitReadLists();
}

DaxWriteAllParamsAlgorithm::DaxWriteAllParamsAlgorithm(DaxHelper* device, const DaxWriteAllDataSetup& setup,
                                                       TInteractContainer* container)
    : ProcessAlgorithm(container), Device(device), Order(setup.Order), Mask(setup.Mask)
{
}

void DaxWriteAllParamsAlgorithm::Run()
{
    DaxHelper& device = *Device;
    if (!device.Identified()) {
        SetStatus(dax::kIdentifyStatusText);
        IdentifyOrFail(device, Container, 3);
    }
    CheckAbort();

    // Each chosen group once, in its first position, as the configuration file takes them.
    DaxWriteAllDataSetup setup;
    setup.Order = Order;
    setup.Mask = Mask;
    const std::vector<uint32_t> groups = setup.ChosenGroups();
    Total = 0;
    Done = 0;
    Offset = 0;
    for (const uint32_t g : groups) {
        int32_t first = 0;
        int32_t count = 0;
        Total += DaxHelper::ConfigGroupBlock(g, 0, first, count);
    }

    SetStatus(dax::kWriteStatusText);
    for (const uint32_t g : groups) {
        for (int32_t i = 0;; ++i) {
            int32_t first = 0;
            int32_t count = 0;
            const int32_t blocks = DaxHelper::ConfigGroupBlock(g, i, first, count);
            if (blocks == 0 || i >= blocks)
                break;
            WriteBlock(device, first, count, Container, 3);
            ++Done;
            UpdateProgress();
            CheckAbort();
        }
    }
}
