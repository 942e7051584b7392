#pragma once

#include "Daxhelper.h"
#include "ProcessThread.h"

#include <array>
#include <cstdint>
#include <vector>

// The operations the device frame runs as background processes. Each Run talks to the
// instrument only through its DaxHelper (which serialises whole exchanges under its device
// lock), so algorithms of different processes may run at the same time.
//
// Every algorithm ends with an exception whenever it could not do all it was asked: a failed
// or refused identification, a register block DaxHelper refused, a page it could not read,
// ring pointers that cannot be right. Only a run that did everything ends normally, so the
// starter's success handling never reports work that was not done.
//
// Device is not owned and must outlive the algorithm; it must not be none.

namespace dax_namespace {
// The three 16-bit ring pointers the instrument keeps for archive or journal k, in input
// registers 30029 + 3k (Highest), 30030 + 3k (First) and 30031 + 3k (Next).
constexpr int32_t kRingPointersRegister = 30029;
constexpr uint32_t kMaxPageRecords = 255; // the count byte of a page request

// One step of the fixed register blocks of a device page kind (DaxMultiReadWriteAlgorithm).
struct PageStep {
    enum class Op { Read, Write, Identify } op;
    int32_t first = 0;
    int32_t count = 0;
    bool settings = false; // left out when only current values are wanted
};

// The steps of page kind 0 to 5 in order; none for any other kind.
std::vector<PageStep> PageSteps(uint32_t pageKind);
} // namespace dax_namespace

// Reads one register block (input or holding registers) with 2 tries.
class DaxReadModbusRegAlgorithm : public ProcessAlgorithm {
public:
    DaxReadModbusRegAlgorithm(uint32_t startRegister, uint32_t registerCount, DaxHelper* device,
                              TInteractContainer* container);
    void Run() override;

    uint32_t StartRegister; // 3xxxx or 4xxxx
    uint32_t RegisterCount;
    DaxHelper* Device;
};

// Writes one block of holding registers with 1 try, from the setup image as it stood when the
// algorithm was made (the values the user's command stored), whatever reads put there later.
class DaxWriteModbusRegAlgorithm : public ProcessAlgorithm {
public:
    DaxWriteModbusRegAlgorithm(uint32_t startRegister, uint32_t registerCount, DaxHelper* device,
                               TInteractContainer* container);
    void Run() override;

    uint32_t StartRegister;
    uint32_t RegisterCount;
    DaxHelper* Device;
    DaxHelper::SetupImage Setup; // the copy the block is written from
};

// Reads (page kinds 0 to 4) or writes (page kind 5) the fixed register blocks of one kind of
// device page, each with 3 tries; CurrentOnly leaves out the settings blocks of kinds 0 to 3.
// A write sends the setup image as it stood when the algorithm was made.
class DaxMultiReadWriteAlgorithm : public ProcessAlgorithm {
public:
    DaxMultiReadWriteAlgorithm(uint32_t pageKind, DaxHelper* device, TInteractContainer* container,
                               bool currentOnly);
    void Run() override;

    uint32_t PageKind; // 0 to 5; any other kind does nothing
    DaxHelper* Device;
    bool CurrentOnly;  // skip the holding-register blocks (auto request)
    DaxHelper::SetupImage Setup{}; // the copy the writes are sent from; taken only for a kind that writes
};

// Reads both register images, then the chosen archives and journals page by page, and only
// when all of it was read replaces the record vectors at once.
class DaxReadAllParamsAlgorithm : public ProcessAlgorithm {
public:
    DaxReadAllParamsAlgorithm(DaxHelper* device, const DaxReadAllDataSetup& setup, TInteractContainer* container);
    void Run() override;

    DaxHelper* Device;
    std::vector<uint32_t> Order; // archive and journal indexes in reading order
    uint32_t Mask;               // bit i: index i is chosen

private:
    // Where each chosen ring's records start and how many there are.
    struct RecordPlan {
        std::array<uint16_t, dax_namespace::kRecordTypeCount> first{};
        std::array<uint32_t, dax_namespace::kRecordTypeCount> count{};
    };

    void ReadImage(int32_t first, int32_t count);
    RecordPlan PlanRecords();
    void ReadRecords(uint32_t index, uint16_t first, uint32_t count);
};

// Writes the blocks of the chosen configuration groups from the setup image as it stood when
// the algorithm was made: reads that run meanwhile change the image, not what is written.
class DaxWriteAllParamsAlgorithm : public ProcessAlgorithm {
public:
    DaxWriteAllParamsAlgorithm(DaxHelper* device, const DaxWriteAllDataSetup& setup, TInteractContainer* container);
    void Run() override;

    DaxHelper* Device;
    std::vector<uint32_t> Order; // configuration group indexes in writing order
    uint32_t Mask;               // bit g: group g is chosen
    DaxHelper::SetupImage Setup; // the copy the blocks are written from
};
