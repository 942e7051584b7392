#include "DaxAlgorithms.h"

#include "comm/Sysutil.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <array>
#include <limits>

using namespace dax_namespace;

namespace {

constexpr int32_t kSerialNumberCount = 2; // registers of the serial number, used by the data file name

uint32_t RecordsPerPage(uint32_t index)
{
    return static_cast<uint32_t>(kArchivePageSize / RecordSizeOfType(index));
}

bool Chosen(uint32_t index, uint32_t mask, uint32_t limit)
{
    return index < limit && ((mask >> index) & 1) != 0;
}

// A block DaxHelper refused was neither read nor written: the run cannot go on as if it had.
void ReadBlock(DaxHelper& device, int32_t first, int32_t count, TInteractContainer* progress, int32_t tries)
{
    if (!device.ReadRegisters(first, count, progress, tries))
        throw platform::Exception(FormatText(kReadRefusedFormat, first, count));
}

void WriteBlock(DaxHelper& device, int32_t first, int32_t count, const DaxHelper::SetupImage& values,
                TInteractContainer* progress, int32_t tries)
{
    if (!device.WriteRegisters(first, count, values, progress, tries))
        throw platform::Exception(FormatText(kWriteRefusedFormat, first, count));
}

// The instrument printed why it was refused (kUnknownVersionText); the run ends with that
// reason rather than as a success that did nothing.
void IdentifyOrFail(DaxHelper& device, TInteractContainer* progress, int32_t tries)
{
    if (!device.Identify(progress, tries))
        throw platform::Exception(kIdentificationRefusedText);
}

// The first step of read-all and write-all: identify an instrument not yet identified.
void IdentifyBeforeRun(ProcessAlgorithm& algorithm, DaxHelper& device)
{
    if (!device.Identified()) {
        algorithm.SetStatus(kIdentifyStatusText);
        IdentifyOrFail(device, algorithm.Container, 3);
    }
    algorithm.CheckAbort();
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

using Op = PageStep::Op;

struct RingPointers {
    uint16_t highest = 0; // highest record position of the ring
    uint16_t first = 0;   // position of the oldest record
    uint16_t next = 0;    // position after the newest record
};

// Taken under the image mutex: a page process of another thread may be writing the
// current-parameter image at the same time.
std::array<RingPointers, kRecordTypeCount> ReadRingPointers(DaxHelper& device)
{
    std::array<RingPointers, kRecordTypeCount> rings;
    DaxHelperLocker lock(&device);
    const std::span<const uint8_t> image(device.InputRegisterImage);
    for (uint32_t k = 0; k < kRecordTypeCount; ++k) {
        const int32_t reg = kRingPointersRegister + 3 * static_cast<int32_t>(k);
        rings[k] = {InputRegister(image, reg), InputRegister(image, reg + 1), InputRegister(image, reg + 2)};
    }
    return rings;
}

// Records between First and Next, going round the ring past Highest. Pointers beyond the ring
// mean the image is not what the instrument keeps: counting them would read a wrong (possibly
// huge) number of records, so the run fails instead.
uint32_t RingRecordCount(const RingPointers& ring, uint32_t index)
{
    if (ring.first > ring.highest || ring.next > ring.highest)
        throw platform::Exception(FormatText(kRingPointersFormat, kRecordTypeNames[index], unsigned{ring.first},
                                             unsigned{ring.next}, unsigned{ring.highest}));
    if (ring.next >= ring.first)
        return uint32_t{ring.next} - ring.first;
    return uint32_t{ring.highest} - ring.first + ring.next + 1;
}

} // namespace

std::vector<dax_namespace::PageStep> dax_namespace::PageSteps(uint32_t pageKind)
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
    : ProcessAlgorithm(container), StartRegister(startRegister), RegisterCount(registerCount), Device(device),
      Setup(device->SetupImageCopy())
{
}

void DaxWriteModbusRegAlgorithm::Run()
{
    IdentificationStep(*Device, Container, false);
    WriteBlock(*Device, static_cast<int32_t>(StartRegister), static_cast<int32_t>(RegisterCount), Setup, Container,
               1);
}

DaxMultiReadWriteAlgorithm::DaxMultiReadWriteAlgorithm(uint32_t pageKind, DaxHelper* device,
                                                       TInteractContainer* container, bool currentOnly)
    : ProcessAlgorithm(container), PageKind(pageKind), Device(device), CurrentOnly(currentOnly)
{
    const auto steps = dax_namespace::PageSteps(PageKind);
    if (std::any_of(steps.begin(), steps.end(), [](const PageStep& step) { return step.op == Op::Write; }))
        Setup = Device->SetupImageCopy();
}

void DaxMultiReadWriteAlgorithm::Run()
{
    IdentificationStep(*Device, Container, true);
    for (const PageStep& step : dax_namespace::PageSteps(PageKind)) {
        if (step.settings && CurrentOnly)
            continue;
        // Between blocks as well as between attempts, so that a pool being destroyed does
        // not wait for the rest of the page.
        CheckAbort();
        switch (step.op) {
        case Op::Read: ReadBlock(*Device, step.first, step.count, Container, 3); break;
        case Op::Write: WriteBlock(*Device, step.first, step.count, Setup, Container, 3); break;
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
    Device->ClearReadLists();
    IdentifyBeforeRun(*this, *Device);
    SetStatus(kReadInputStatusText);
    ReadImage(kFirstInputRegister, kInputRegisterCount);
    SetStatus(kReadHoldingStatusText);
    ReadImage(kFirstHoldingRegister, kHoldingRegisterCount);
    const RecordPlan plan = PlanRecords();
    for (const uint32_t k : Order) {
        if (Chosen(k, Mask, kRecordTypeCount))
            ReadRecords(k, plan.first[k], plan.count[k]);
    }
    Device->CommitReadLists();
}

// An image in requests of at most 127 registers; Total stays 0 meanwhile.
void DaxReadAllParamsAlgorithm::ReadImage(int32_t first, int32_t count)
{
    for (int32_t offset = 0; offset < count; offset += kMaxReadRegisters) {
        ReadBlock(*Device, first + offset, std::min(kMaxReadRegisters, count - offset), Container, 3);
        ++Done;
        UpdateProgress();
        CheckAbort();
    }
}

// Counted, and checked, for every chosen index before the first page is asked for; Total
// becomes the pages to read.
DaxReadAllParamsAlgorithm::RecordPlan DaxReadAllParamsAlgorithm::PlanRecords()
{
    const auto rings = ReadRingPointers(*Device);
    RecordPlan plan;
    Total = 0;
    Done = 0;
    Offset = 0;
    int64_t pages = 0;
    for (const uint32_t k : Order) {
        if (!Chosen(k, Mask, kRecordTypeCount))
            continue;
        plan.first[k] = rings[k].first;
        plan.count[k] = RingRecordCount(rings[k], k);
        const uint32_t perPage = RecordsPerPage(k);
        pages += (plan.count[k] + perPage - 1) / perPage;
    }
    Total = static_cast<int32_t>(std::min<int64_t>(pages, std::numeric_limits<int32_t>::max()));
    return plan;
}

// Page by page from the ring position `first` into the read list of the index.
void DaxReadAllParamsAlgorithm::ReadRecords(uint32_t index, uint16_t first, uint32_t count)
{
    SetStatus(kReadRecordsStatusTexts[index]);
    uint16_t start = first;
    uint32_t remaining = count;
    while (remaining != 0) {
        const uint8_t asked = static_cast<uint8_t>(std::min(remaining, kMaxPageRecords));
        uint8_t carried = asked;
        if (!Device->ReadArchivePage(index, 0, start, carried, Container, 3))
            throw platform::Exception(kInvalidAnswerText);
        // DaxHelper refuses such pages already; the loop must end whatever an answer says.
        if (carried == 0 || carried > asked)
            throw platform::Exception(kArchiveLengthText);
        remaining -= carried;
        ++Done;
        UpdateProgress();
        CheckAbort();
    }
}

DaxWriteAllParamsAlgorithm::DaxWriteAllParamsAlgorithm(DaxHelper* device, const DaxWriteAllDataSetup& setup,
                                                       TInteractContainer* container)
    : ProcessAlgorithm(container), Device(device), Order(setup.Order), Mask(setup.Mask),
      Setup(device->SetupImageCopy())
{
}

void DaxWriteAllParamsAlgorithm::Run()
{
    DaxHelper& device = *Device;
    IdentifyBeforeRun(*this, device);

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

    SetStatus(kWriteStatusText);
    for (const uint32_t g : groups) {
        for (int32_t i = 0;; ++i) {
            int32_t first = 0;
            int32_t count = 0;
            const int32_t blocks = DaxHelper::ConfigGroupBlock(g, i, first, count);
            if (blocks == 0 || i >= blocks)
                break;
            WriteBlock(device, first, count, Setup, Container, 3);
            ++Done;
            UpdateProgress();
            CheckAbort();
        }
    }
}
