#include "DaxhelperFixture.h"
#include "RecordBytes.h"
#include "ScriptedInstrument.h"

#include "device/DaxAlgorithms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <condition_variable>
#include <memory>
#include <optional>
#include <thread>

namespace {

using namespace testsupport;
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

const char* const kIdentifyStatus = "Определение модификация прибора";
const char* const kInputStatus = "Чтение текущих параметров";
const char* const kHoldingStatus = "Чтение настроечных параметров";
const char* const kWriteStatus = "Запись параметров";
const char* const kArchiveStatus[7] = {
    "Чтение часового архива",           "Чтение суточного архива", "Чтение месячного архива",
    "Чтение итогового суточного архива", "Чтение итогового месячного архива", "Чтение журнала НС",
    "Чтение журнала оператора",
};

// A request as a short text: "ID", "IR 30001x127", "HR 40037x2", "W 40079x10", "P5 @990 x15".
std::string Describe(const Bytes& request)
{
    const auto word = [&](size_t at) { return unsigned((request[at] << 8) | request[at + 1]); };
    switch (request[1]) {
    case 0x11: return "ID";
    case 0x04: return "IR " + std::to_string(30001 + word(2)) + "x" + std::to_string(word(4));
    case 0x03: return "HR " + std::to_string(40001 + word(2)) + "x" + std::to_string(word(4));
    case 0x10: return "W " + std::to_string(40001 + word(2)) + "x" + std::to_string(word(4));
    case 0x41:
        return "P" + std::to_string(request[2]) + " @" + std::to_string(request[4] | (request[5] << 8)) + " x" +
               std::to_string(request[6]);
    default: return "?";
    }
}

const Texts kReadImages = {"IR 30001x127", "IR 30128x127", "IR 30255x127", "IR 30382x100", "HR 40001x127",
                           "HR 40128x127", "HR 40255x127", "HR 40382x127", "HR 40509x88"};

Texts Concat(std::initializer_list<Texts> parts)
{
    Texts all;
    for (const Texts& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// What the worker's shared state showed when a request went out.
struct Moment {
    std::string request;
    std::string status;
    int32_t progress;
};

class DaxAlgorithms : public testsupport::DaxHelperFixture {
protected:
    void SetUp() override
    {
        DaxHelperFixture::SetUp();
        chanel_.SetResponder([this](const Bytes& request) { return instrument_.Answer(request); });
        chanel_.SetOnTransact([this] {
            TInteractLock state(container_);
            moments_.push_back({"", state->GetStatus(), state->GetProgress()});
        });
    }

    // Identifies the instrument now; the algorithm's own requests come after these.
    void Identify()
    {
        ASSERT_TRUE(helper_.Identify(nullptr, 1));
        ASSERT_TRUE(helper_.Identified());
        Mark();
    }
    // Starts a new run: fresh shared state, and requests counted from here.
    void Mark()
    {
        from_ = chanel_.Transactions().size();
        moments_.clear();
        container_.Reset(std::make_unique<TInteract>());
    }

    Texts Requests() const
    {
        Texts out;
        const auto all = chanel_.Transactions();
        for (size_t i = from_; i < all.size(); ++i)
            out.push_back(Describe(all[i].request));
        return out;
    }
    // The moments of the algorithm's requests, with the request texts filled in.
    std::vector<Moment> Moments() const
    {
        std::vector<Moment> out = moments_;
        const Texts requests = Requests();
        for (size_t i = 0; i < out.size() && i < requests.size(); ++i)
            out[i].request = requests[i];
        return out;
    }
    Texts StatusesOf(const std::string& prefix) const
    {
        Texts out;
        for (const Moment& m : Moments()) {
            if (m.request.rfind(prefix, 0) == 0)
                out.push_back(m.status);
        }
        return out;
    }

    std::string RunFailure(ProcessAlgorithm& algorithm)
    {
        algorithm.Container = &container_;
        return testsupport::FailureText([&] { algorithm.Run(); });
    }

    ScriptedInstrument instrument_;
    TInteractContainer container_{std::make_unique<TInteract>()};
    std::vector<Moment> moments_; // written by the channel hook on the running thread
    size_t from_ = 0;
};

// ---- read-all -------------------------------------------------------------------------------

TEST_F(DaxAlgorithms, ReadAllReadsImagesThenEveryArchiveAndCommitsWhatTheInstrumentHolds)
{
    const ScriptedInstrument::Ring rings[7] = {
        {99, 10, 13}, // hour: 3 records
        {9, 8, 1},    // day: wrapped, positions 8, 9, 0
        {99, 7, 7},   // month: empty
        {49, 48, 0},  // total day: wrapped at the very top, positions 48, 49
        {99, 0, 1},   // total month: 1 record
        {99, 0, 40},  // abnormal-situation journal: 40 records, 3 pages
        {99, 90, 5},  // operator journal: wrapped, 15 records, 1 page
    };
    for (uint32_t k = 0; k < 7; ++k)
        instrument_.SetRing(k, rings[k]);
    Mark();

    DaxReadAllParamsAlgorithm algorithm(&helper_, DaxReadAllDataSetup{}, &container_);
    algorithm.Run();

    const Texts pages = {"P0 @10 x3", "P0 @11 x2", "P0 @12 x1", "P1 @8 x3",   "P1 @9 x2",  "P1 @0 x1",  "P3 @48 x2",
                         "P3 @49 x1", "P4 @0 x1",  "P5 @0 x40", "P5 @16 x24", "P5 @32 x8", "P6 @90 x15"};
    EXPECT_EQ(Requests(), Concat({{"ID"}, kReadImages, pages}));
    EXPECT_EQ(algorithm.Total, 13);
    EXPECT_EQ(algorithm.Done, 13);

    {
        DaxHelperLocker lock(&helper_);
        EXPECT_EQ(Bytes(helper_.InputRegisterImage.begin(), helper_.InputRegisterImage.end()), instrument_.InputImage());
        EXPECT_EQ(Bytes(helper_.HoldingRegisterImage.begin(), helper_.HoldingRegisterImage.end()),
                  instrument_.HoldingImage());
        EXPECT_EQ(RecordBytes(helper_.HourArchive), instrument_.RingRecords(0));
        EXPECT_EQ(RecordBytes(helper_.DayArchive), instrument_.RingRecords(1));
        EXPECT_EQ(RecordBytes(helper_.MonthArchive), instrument_.RingRecords(2));
        EXPECT_EQ(RecordBytes(helper_.TotalDayArchive), instrument_.RingRecords(3));
        EXPECT_EQ(RecordBytes(helper_.TotalMonthArchive), instrument_.RingRecords(4));
        EXPECT_EQ(RecordBytes(helper_.NotStaffJournal), instrument_.RingRecords(5));
        EXPECT_EQ(RecordBytes(helper_.OperatorJournal), instrument_.RingRecords(6));
        EXPECT_EQ(helper_.OperatorJournal.size(), 15u);
    }

    // Status and percent as each request went out: 0 % while the images are read, then the
    // pages done so far against all pages.
    const auto moments = Moments();
    ASSERT_EQ(moments.size(), 1 + kReadImages.size() + pages.size());
    EXPECT_EQ(moments[0].status, kIdentifyStatus);
    for (size_t i = 1; i <= kReadImages.size(); ++i) {
        EXPECT_EQ(moments[i].status, i <= 4 ? kInputStatus : kHoldingStatus) << moments[i].request;
        EXPECT_EQ(moments[i].progress, 0) << moments[i].request;
    }
    for (size_t j = 0; j < pages.size(); ++j) {
        const Moment& m = moments[1 + kReadImages.size() + j];
        EXPECT_EQ(m.status, kArchiveStatus[m.request[1] - '0']) << m.request;
        EXPECT_EQ(m.progress, int32_t(j * 100 / pages.size())) << m.request;
    }
    TInteractLock state(container_);
    EXPECT_EQ(state->GetProgress(), 100);
    EXPECT_EQ(state->GetStatus(), kArchiveStatus[6]);
}

TEST_F(DaxAlgorithms, ReadAllRingCounts)
{
    struct Case {
        const char* name;
        uint32_t type;
        ScriptedInstrument::Ring ring;
        size_t records;
        Texts firstRequests; // the first page requests (all of them when the list is short)
        size_t requests;
    };
    const Case cases[] = {
        {"First = Next: nothing", 0, {999, 5, 5}, 0, {}, 0},
        {"wrapped hour archive", 0, {999, 990, 5}, 15, {"P0 @990 x15", "P0 @991 x14", "P0 @992 x13"}, 15},
        {"wrapped journal", 5, {999, 990, 5}, 15, {"P5 @990 x15"}, 1},
        {"journal of 40", 6, {99, 0, 40}, 40, {"P6 @0 x40", "P6 @16 x24", "P6 @32 x8"}, 3},
        {"First at the top", 5, {10, 10, 0}, 1, {"P5 @10 x1"}, 1},
        {"Next at the top", 6, {10, 0, 10}, 10, {"P6 @0 x10"}, 1},
        {"more than a count byte", 2, {999, 0, 300}, 300, {"P2 @0 x255", "P2 @1 x255"}, 300},
        {"full 16-bit ring", 5, {65535, 65535, 65534}, 65535, {"P5 @65535 x255", "P5 @15 x255"}, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        instrument_.SetRing(c.type, c.ring);
        if (!helper_.Identified())
            Identify();
        Mark();
        DaxReadAllParamsAlgorithm algorithm(&helper_, {{c.type}, 1u << c.type}, &container_);
        algorithm.Run();
        Texts requests = Requests();
        requests.erase(requests.begin(), requests.begin() + kReadImages.size());
        EXPECT_EQ(requests.size(), c.requests);
        requests.resize(std::min(requests.size(), c.firstRequests.size()));
        EXPECT_EQ(requests, c.firstRequests);
        EXPECT_EQ(algorithm.Total, int32_t(c.requests));
        DaxHelperLocker lock(&helper_);
        const std::vector<Bytes> read = c.type == 0   ? RecordBytes(helper_.HourArchive)
                                        : c.type == 2 ? RecordBytes(helper_.MonthArchive)
                                        : c.type == 5 ? RecordBytes(helper_.NotStaffJournal)
                                                      : RecordBytes(helper_.OperatorJournal);
        EXPECT_EQ(read.size(), c.records);
        EXPECT_TRUE(read == instrument_.RingRecords(c.type));
        instrument_.SetRing(c.type, {99, 0, 0});
    }
}

TEST_F(DaxAlgorithms, ReadAllFollowsOrderAndMask)
{
    struct Case {
        const char* name;
        DaxReadAllDataSetup setup;
        Texts statuses; // one per page request, in order
        int32_t total;
    };
    const Case cases[] = {
        {"journal first, then hour archive", {{5, 0}, 33}, {kArchiveStatus[5], kArchiveStatus[0], kArchiveStatus[0]}, 3},
        {"entries 7 and above and unticked ones skipped",
         {{5, 7, 31, 0, 1}, 33 | 128 | 0x80000000u},
         {kArchiveStatus[5], kArchiveStatus[0], kArchiveStatus[0]},
         3},
        {"an entry twice is read twice",
         {{0, 3, 0}, 9},
         {kArchiveStatus[0], kArchiveStatus[0], kArchiveStatus[3], kArchiveStatus[3], kArchiveStatus[3],
          kArchiveStatus[3], kArchiveStatus[3], kArchiveStatus[0], kArchiveStatus[0]},
         9},
        {"nothing chosen", {{0, 1, 2, 3, 4, 5, 6}, 0}, {}, 0},
        {"empty order", {{}, 127}, {}, 0},
    };
    // Type k holds k + 2 records: 2 pages for the hour archive, 5 for the total day archive,
    // 1 page for each journal.
    for (uint32_t k = 0; k < 7; ++k)
        instrument_.SetRing(k, {99, 0, static_cast<uint16_t>(k + 2)});
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        DaxReadAllParamsAlgorithm algorithm(&helper_, c.setup, &container_);
        algorithm.Run();
        EXPECT_EQ(StatusesOf("P"), c.statuses);
        EXPECT_EQ(algorithm.Total, c.total);
    }
    // The last run chose nothing: every record vector is empty again.
    DaxHelperLocker lock(&helper_);
    EXPECT_TRUE(helper_.HourArchive.empty());
    EXPECT_TRUE(helper_.NotStaffJournal.empty());
}

TEST_F(DaxAlgorithms, ReadAllOfAnIndexTwiceKeepsItsRecordsTwice)
{
    instrument_.SetRing(5, {99, 0, 3});
    Identify();
    DaxReadAllParamsAlgorithm algorithm(&helper_, {{5, 5}, 32}, &container_);
    algorithm.Run();
    std::vector<Bytes> expected = instrument_.RingRecords(5);
    const std::vector<Bytes> once = expected;
    expected.insert(expected.end(), once.begin(), once.end());
    DaxHelperLocker lock(&helper_);
    EXPECT_EQ(RecordBytes(helper_.NotStaffJournal), expected);
}

// ---- write-all ------------------------------------------------------------------------------

TEST_F(DaxAlgorithms, WriteAllWritesTheChosenGroupsBlockByBlock)
{
    struct Case {
        const char* name;
        DaxWriteAllDataSetup setup;
        Texts requests;
    };
    const Case cases[] = {
        {"default: password groups first",
         {},
         {"W 40011x4",  "W 40015x6",  "W 40179x16", "W 40079x10", "W 40126x3",  "W 40097x21", "W 40129x10", "W 40147x21",
          "W 40203x11", "W 40222x78", "W 40300x4",  "W 40304x32", "W 40336x12", "W 40356x6",  "W 40365x4",
          "W 40369x4",  "W 40385x10", "W 40399x4",  "W 40407x50", "W 40461x24", "W 40485x32", "W 40517x64",
          "W 40581x16"}},
        {"group 9 only: the inputs and output", {{9}, 1u << 9}, {"W 40336x12"}},
        {"nothing chosen: nothing", {{9, 0}, 0}, {}},
        {"groups of several blocks, 20 and above skipped",
         {{16, 20, 1, 31}, 0xFFFFFFFFu},
         {"W 40461x24", "W 40485x32", "W 40517x64", "W 40079x10", "W 40126x3"}},
        {"unticked groups skipped", {{0, 1, 2}, 0b101}, {"W 40179x16", "W 40097x21"}},
        {"a group chosen twice: once, in its first position",
         {{2, 0, 2, 0}, 0xFFFFF},
         {"W 40097x21", "W 40179x16"}},
    };
    // The values the setup image holds go out: here the pages' values differ from the instrument's.
    {
        DaxHelperLocker lock(&helper_);
        for (size_t i = 0; i < helper_.HoldingRegisterImage.size(); ++i)
            helper_.HoldingRegisterImage[i] = static_cast<uint8_t>(255 - i % 251);
    }
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        DaxWriteAllParamsAlgorithm algorithm(&helper_, c.setup, &container_);
        algorithm.Run();
        EXPECT_EQ(Requests(), c.requests);
        EXPECT_EQ(algorithm.Total, int32_t(c.requests.size()));
        EXPECT_EQ(algorithm.Done, int32_t(c.requests.size()));
        const auto moments = Moments();
        for (size_t i = 0; i < moments.size(); ++i) {
            EXPECT_EQ(moments[i].status, kWriteStatus);
            EXPECT_EQ(moments[i].progress, int32_t(i * 100 / c.requests.size()));
        }
    }
    // Every block of every group has reached the instrument unchanged.
    const Bytes written = instrument_.HoldingImage();
    DaxHelperLocker lock(&helper_);
    for (uint32_t g = 0; g < 20; ++g) {
        int32_t first = 0;
        int32_t count = 0;
        for (int32_t i = 0, n = DaxHelper::ConfigGroupBlock(g, 0, first, count); i < n; ++i) {
            DaxHelper::ConfigGroupBlock(g, i, first, count);
            const size_t at = 2 * size_t(first - 40001);
            EXPECT_TRUE(std::equal(written.begin() + at, written.begin() + at + 2 * count,
                                   helper_.HoldingRegisterImage.begin() + at))
                << first;
        }
    }
}

// Each write sends the setup image as it stood when the write was made (the values the user's
// command stored), though reads change the image before the write runs.
TEST_F(DaxAlgorithms, WritesSendTheImageOfTheMomentTheyWereMade)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ProcessAlgorithm>(DaxHelper*)> make;
        Texts requests;
    };
    const Case cases[] = {
        {"one block", [](DaxHelper* d) { return std::make_unique<DaxWriteModbusRegAlgorithm>(40097, 21, d, nullptr); },
         {"W 40097x21"}},
        {"page kind 5", [](DaxHelper* d) { return std::make_unique<DaxMultiReadWriteAlgorithm>(5, d, nullptr, false); },
         {"W 40079x10", "W 40126x3"}},
        {"write all",
         [](DaxHelper* d) {
             return std::make_unique<DaxWriteAllParamsAlgorithm>(d, DaxWriteAllDataSetup{{2, 1}, 0b110}, nullptr);
         },
         {"W 40097x21", "W 40079x10", "W 40126x3"}},
    };
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fill = [this](uint8_t seed) {
            DaxHelperLocker lock(&helper_);
            for (size_t i = 0; i < helper_.HoldingRegisterImage.size(); ++i)
                helper_.HoldingRegisterImage[i] = static_cast<uint8_t>(seed + i % 241);
        };
        fill(7);
        const DaxHelper::SetupImage chosen = helper_.SetupImageCopy();
        auto algorithm = c.make(&helper_);
        fill(100); // a read that ends before the write gets the line
        Mark();
        algorithm->Container = &container_;
        algorithm->Run();
        EXPECT_EQ(Requests(), c.requests);
        const Bytes written = instrument_.HoldingImage();
        for (const auto& [first, count] : {std::pair{40097, 21}, std::pair{40079, 10}, std::pair{40126, 3}}) {
            if (std::find(c.requests.begin(), c.requests.end(),
                          "W " + std::to_string(first) + "x" + std::to_string(count)) == c.requests.end())
                continue;
            const size_t at = 2 * size_t(first - 40001);
            EXPECT_TRUE(std::equal(written.begin() + at, written.begin() + at + 2 * count, chosen.begin() + at)) << first;
        }
    }
}

// ---- page algorithms ------------------------------------------------------------------------

TEST_F(DaxAlgorithms, PageKindsReadTheirBlocks)
{
    struct Case {
        uint32_t kind;
        bool currentOnly;
        Texts requests;
    };
    const Texts kind0Current = {"IR 30217x83", "IR 30059x85", "IR 30160x42"};
    const Texts kind1Current = {"IR 30300x83", "IR 30059x85", "IR 30160x42"};
    const Texts kind2Current = {"IR 30059x85", "IR 30160x42"};
    const Texts kind4 = {"ID", "HR 40079x10", "HR 40126x3"};
    const Case cases[] = {
        {0, false, Concat({{"HR 40180x2", "HR 40079x4", "HR 40126x3"}, kind0Current})},
        {0, true, kind0Current},
        {1, false, Concat({{"HR 40180x2", "HR 40129x4"}, kind1Current})},
        {1, true, kind1Current},
        {2, false, Concat({{"HR 40180x2", "HR 40179x30"}, kind2Current})},
        {2, true, kind2Current},
        {3, false, {"ID", "HR 40001x38", "IR 30001x20"}},
        {3, true, {"IR 30001x20"}},
        {4, false, kind4},
        {4, true, kind4},
        {5, false, {"W 40079x10", "W 40126x3"}},
        {5, true, {"W 40079x10", "W 40126x3"}},
        {6, false, {}},
        {0xFFFFFFFFu, true, {}},
    };
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << (c.currentOnly ? " current only" : ""));
        Mark();
        DaxMultiReadWriteAlgorithm algorithm(c.kind, &helper_, &container_, c.currentOnly);
        algorithm.Run();
        EXPECT_EQ(Requests(), c.requests);
    }
}

TEST_F(DaxAlgorithms, OnlyAnUnidentifiedInstrumentIsIdentifiedFirst)
{
    using Factory = std::function<std::unique_ptr<ProcessAlgorithm>(DaxHelper*)>;
    struct Case {
        const char* name;
        Factory make;
        Texts unidentified; // the requests when the instrument was not identified yet
        Texts identified;
    };
    const Case cases[] = {
        {"read one block",
         [](DaxHelper* d) { return std::make_unique<DaxReadModbusRegAlgorithm>(40097, 21, d, nullptr); },
         {"ID", "HR 40037x2", "HR 40097x21"},
         {"HR 40097x21"}},
        {"write one block",
         [](DaxHelper* d) { return std::make_unique<DaxWriteModbusRegAlgorithm>(40097, 21, d, nullptr); },
         {"ID", "W 40097x21"},
         {"W 40097x21"}},
        {"page kind 2",
         [](DaxHelper* d) { return std::make_unique<DaxMultiReadWriteAlgorithm>(2, d, nullptr, true); },
         {"ID", "HR 40037x2", "IR 30059x85", "IR 30160x42"},
         {"IR 30059x85", "IR 30160x42"}},
        {"page kind 5",
         [](DaxHelper* d) { return std::make_unique<DaxMultiReadWriteAlgorithm>(5, d, nullptr, false); },
         {"ID", "HR 40037x2", "W 40079x10", "W 40126x3"},
         {"W 40079x10", "W 40126x3"}},
        {"write all of group 19",
         [](DaxHelper* d) { return std::make_unique<DaxWriteAllParamsAlgorithm>(d, DaxWriteAllDataSetup{{19}, 1u << 19}, nullptr); },
         {"ID", "W 40011x4"},
         {"W 40011x4"}},
        {"read all without archives",
         [](DaxHelper* d) { return std::make_unique<DaxReadAllParamsAlgorithm>(d, DaxReadAllDataSetup{{}, 0}, nullptr); },
         Concat({{"ID"}, kReadImages}),
         kReadImages},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        helper_.Reset();
        Mark();
        c.make(&helper_)->Run();
        EXPECT_EQ(Requests(), c.unidentified);
        EXPECT_TRUE(helper_.Identified());
        Mark();
        c.make(&helper_)->Run();
        EXPECT_EQ(Requests(), c.identified);
    }
}

// ---- faults, direct ---------------------------------------------------------------------------

TEST_F(DaxAlgorithms, RefusedBlocksEndTheRunWithTheirReason)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ProcessAlgorithm>(DaxHelper*)> make;
        std::string failure;
    };
    const Case cases[] = {
        {"read past the setup image",
         [](DaxHelper* d) { return std::make_unique<DaxReadModbusRegAlgorithm>(40590, 20, d, nullptr); },
         "Недопустимый блок регистров для чтения: 40590, количество 20"},
        {"read of more than 127 registers",
         [](DaxHelper* d) { return std::make_unique<DaxReadModbusRegAlgorithm>(40001, 128, d, nullptr); },
         "Недопустимый блок регистров для чтения: 40001, количество 128"},
        {"read of no register",
         [](DaxHelper* d) { return std::make_unique<DaxReadModbusRegAlgorithm>(30001, 0, d, nullptr); },
         "Недопустимый блок регистров для чтения: 30001, количество 0"},
        {"write of input registers",
         [](DaxHelper* d) { return std::make_unique<DaxWriteModbusRegAlgorithm>(30001, 2, d, nullptr); },
         "Недопустимый блок регистров для записи: 30001, количество 2"},
        {"write past the setup image",
         [](DaxHelper* d) { return std::make_unique<DaxWriteModbusRegAlgorithm>(40596, 2, d, nullptr); },
         "Недопустимый блок регистров для записи: 40596, количество 2"},
    };
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        auto algorithm = c.make(&helper_);
        EXPECT_EQ(RunFailure(*algorithm), c.failure);
        EXPECT_EQ(Requests(), Texts{}); // nothing was sent
    }
}

TEST_F(DaxAlgorithms, CorruptRingPointersFailBeforeAnyPageIsAsked)
{
    struct Case {
        uint32_t type;
        ScriptedInstrument::Ring ring;
        std::string failure;
    };
    const Case cases[] = {
        {0, {999, 1000, 5}, "Неверные указатели записей (Часовой архив): первая 1000, следующая 5, наибольшая 999"},
        {6, {99, 0, 100}, "Неверные указатели записей (Журнал оператора): первая 0, следующая 100, наибольшая 99"},
        {5, {0, 0xFFFF, 0xFFFF}, "Неверные указатели записей (Журнал НС): первая 65535, следующая 65535, наибольшая 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        {
            DaxHelperLocker lock(&helper_);
            helper_.HourArchive.assign(2, {});
        }
        instrument_.SetRing(c.type, c.ring);
        instrument_.SetRing(3, {99, 0, 1}); // a sound ring chosen before the corrupt one
        Mark();
        DaxReadAllParamsAlgorithm algorithm(&helper_, {{3, c.type}, 127}, &container_);
        EXPECT_EQ(RunFailure(algorithm), c.failure);
        const Texts requests = Requests();
        EXPECT_EQ(Texts(requests.end() - kReadImages.size(), requests.end()), kReadImages);
        DaxHelperLocker lock(&helper_);
        EXPECT_EQ(helper_.HourArchive.size(), 2u) << "the record vectors keep what they held";
        instrument_.SetRing(c.type, {99, 0, 0});
    }
    // The same pointers of an archive that is not chosen do not matter.
    instrument_.SetRing(0, {999, 1000, 5});
    DaxReadAllParamsAlgorithm algorithm(&helper_, {{3}, 8}, &container_);
    EXPECT_EQ(RunFailure(algorithm), "");
}

TEST_F(DaxAlgorithms, APageThatWouldNeverEndTheLoopFails)
{
    struct Case {
        const char* name;
        uint8_t carriedByte; // what the answer's count byte says
    };
    const Case cases[] = {{"no record carried", 0}, {"more records than asked", 9}, {"255 records", 255}};
    instrument_.SetRing(6, {99, 0, 8});
    Identify();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        instrument_.SetFault([carried = c.carriedByte](const Bytes& request) -> std::optional<ScriptedReply> {
            if (request[1] != 0x41)
                return std::nullopt;
            return ScriptedReply::Answer(ScriptedInstrument::PageFrame(6, request[6], 8, carried, {}));
        });
        Mark();
        DaxReadAllParamsAlgorithm algorithm(&helper_, {{6}, 64}, &container_);
        EXPECT_EQ(RunFailure(algorithm), "Неверная длина ответа архивных данных");
        EXPECT_EQ(Requests().back(), "P6 @0 x8");
        EXPECT_EQ(Requests().size(), kReadImages.size() + 1);
    }
}

// ---- through the process pool ----------------------------------------------------------------

// Runs algorithms as the device frame does: in the pool, with DaxHelper's texts going into the
// process's queue, polled to the end.
class DaxAlgorithmProcesses : public DaxAlgorithms {
protected:
    void SetUp() override
    {
        DaxAlgorithms::SetUp();
        chanel_.SetOnTransact(nullptr);
        helper_.SetLogCallback([](const std::string& text, TInteractContainer* target) {
            if (target) {
                TInteractLock state(*target);
                state->PushMessage(text);
            }
        });
    }

    struct Outcome {
        Texts printed;
        int32_t doneId = -100;
        int32_t errorId = -100;
        int32_t errorCode = 0;
    };

    // The device frame's done handler of write-all prints the success text; it must only
    // appear when the run did everything.
    Outcome RunInPool(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id,
                      const std::function<void(ProcessPool&)>& whileRunning = nullptr)
    {
        Outcome outcome;
        ProcessPool pool;
        auto* entry = pool.Start(std::move(algorithm), kind, id, "");
        EXPECT_NE(entry, nullptr);
        if (!entry)
            return outcome;
        entry->OnDone = [&](int32_t doneId) {
            outcome.doneId = doneId;
            if (doneId == 105)
                outcome.printed.push_back("Все выбранные параметры установлены");
        };
        entry->OnError = [&](int32_t errorId, int32_t code) {
            outcome.errorId = errorId;
            outcome.errorCode = code;
        };
        if (whileRunning)
            whileRunning(pool);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (pool.Count() > 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the process did not end";
                break;
            }
            pool.Poll([&](const std::string& text) { outcome.printed.push_back(text); });
            std::this_thread::sleep_for(1ms);
        }
        return outcome;
    }
};

TEST_F(DaxAlgorithmProcesses, FaultsEndWithErrorThreeAndTheirText)
{
    using Fault = std::function<std::optional<ScriptedReply>(const Bytes&)>;
    const auto on = [](uint8_t function, ScriptedReply reply) -> Fault {
        return [function, reply](const Bytes& request) -> std::optional<ScriptedReply> {
            if (request[1] == function)
                return reply;
            return std::nullopt;
        };
    };
    const auto badCrc = [](uint8_t function) {
        Bytes frame = WithCrc({0x01, function, 0x02, 0x00, 0x00});
        frame.back() ^= 0xFF;
        return ScriptedReply::Answer(frame);
    };
    const auto readAll = [](DaxHelper* d) {
        return std::make_unique<DaxReadAllParamsAlgorithm>(d, DaxReadAllDataSetup{}, nullptr);
    };
    const auto writeAll = [](DaxHelper* d) {
        return std::make_unique<DaxWriteAllParamsAlgorithm>(d, DaxWriteAllDataSetup{}, nullptr);
    };
    const auto readPage = [](DaxHelper* d) { return std::make_unique<DaxMultiReadWriteAlgorithm>(0, d, nullptr, false); };
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ProcessAlgorithm>(DaxHelper*)> make;
        int32_t kind, id;
        bool identified;
        Fault fault;
        std::array<uint8_t, 4> version;
        Texts printed;
        size_t requests;
    };
    const std::array<uint8_t, 4> good = {2, 1, 1, 3};
    const Case cases[] = {
        {"silence on register reads", readAll, 2, 104, true, on(0x04, ScriptedReply::Silence()), good,
         {"Недопустимый ответ от прибора"}, 3},
        {"bad CRC on pages", readAll, 2, 104, true, on(0x41, badCrc(0x41)), good, {"Ошибка CRC в ответе прибора"},
         9 + 3},
        {"exception answer to a write", writeAll, 3, 105, true,
         on(0x10, ScriptedReply::Answer(WithCrc({0x01, 0x90, 0x07}))), good, {"Доступ к регистру закрыт"}, 3},
        {"silence on identification", readAll, 2, 104, false, on(0x11, ScriptedReply::Silence()), good,
         {"Недопустимый ответ от прибора"}, 3},
        {"read-all of a refused instrument", readAll, 2, 104, false, nullptr, {2, 1, 2, 0},
         {"Неизвестная версия прибора", "Прибор не опознан: неизвестная версия прибора"}, 1},
        {"write-all of a refused instrument", writeAll, 3, 105, false, nullptr, {2, 1, 2, 0},
         {"Неизвестная версия прибора", "Прибор не опознан: неизвестная версия прибора"}, 1},
        {"page read of a refused instrument", readPage, 0, 0, false, nullptr, {2, 1, 2, 0},
         {"Неизвестная версия прибора", "Прибор не опознан: неизвестная версия прибора"}, 1},
        {"page kind 4 refused at its own identification", [](DaxHelper* d) {
             return std::make_unique<DaxMultiReadWriteAlgorithm>(4, d, nullptr, false);
         }, 0, 11, true, nullptr, {2, 1, 2, 0},
         {"Неизвестная версия прибора", "Прибор не опознан: неизвестная версия прибора"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        helper_.Reset();
        instrument_.SetFault(nullptr);
        instrument_.SetIdentification("DAX-02", good);
        instrument_.SetRing(0, {99, 0, 2});
        if (c.identified)
            Identify();
        Mark();
        instrument_.SetFault(c.fault);
        instrument_.SetIdentification("DAX-02", c.version);
        const Outcome outcome = RunInPool(c.make(&helper_), c.kind, c.id);
        EXPECT_EQ(outcome.errorCode, 3);
        EXPECT_EQ(outcome.errorId, c.id);
        EXPECT_EQ(outcome.doneId, -100);
        EXPECT_EQ(outcome.printed, c.printed);
        EXPECT_EQ(Requests().size(), c.requests);
        DaxHelperLocker lock(&helper_);
        EXPECT_TRUE(helper_.HourArchive.empty()) << "nothing committed";
    }
}

TEST_F(DaxAlgorithmProcesses, WriteAllSucceedsOnlyWhenEverythingWasWritten)
{
    Identify();
    const Outcome outcome =
        RunInPool(std::make_unique<DaxWriteAllParamsAlgorithm>(&helper_, DaxWriteAllDataSetup{}, nullptr), 3, 105);
    EXPECT_EQ(outcome.doneId, 105);
    EXPECT_EQ(outcome.errorCode, 0);
    EXPECT_EQ(outcome.printed, Texts{"Все выбранные параметры установлены"});
    EXPECT_EQ(Requests().size(), 23u);
}

// Holds the worker inside one exchange until the main thread has asked the process to stop.
class ExchangeGate {
public:
    void Arrive()
    {
        std::unique_lock lock(mutex_);
        arrived_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, 5s, [this] { return released_; });
    }
    bool WaitArrived()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [this] { return arrived_; });
    }
    void Release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool arrived_ = false;
    bool released_ = false;
};

TEST_F(DaxAlgorithmProcesses, AbortInTheMiddleStopsWithinOneExchange)
{
    using Factory = std::function<std::unique_ptr<ProcessAlgorithm>(DaxHelper*)>;
    const Factory readAll = [](DaxHelper* d) {
        return std::make_unique<DaxReadAllParamsAlgorithm>(d, DaxReadAllDataSetup{}, nullptr);
    };
    const Factory writeAll = [](DaxHelper* d) {
        return std::make_unique<DaxWriteAllParamsAlgorithm>(d, DaxWriteAllDataSetup{}, nullptr);
    };
    const Factory readPage = [](DaxHelper* d) {
        return std::make_unique<DaxMultiReadWriteAlgorithm>(0, d, nullptr, false);
    };
    struct Case {
        const char* name;
        Factory make;
        int32_t kind, id;
        size_t stopAt; // the request (counted from 1) during which the stop button is pressed
    };
    const Case cases[] = {
        {"read-all during identification", readAll, 2, 104, 1},
        {"read-all during the register reads", readAll, 2, 104, 4},
        {"read-all during the pages", readAll, 2, 104, 1 + 9 + 5},
        {"write-all during the writes", writeAll, 3, 105, 1 + 7},
        {"page read between blocks", readPage, 0, 0, 3},
    };
    instrument_.SetRing(0, {999, 0, 10});
    instrument_.SetRing(6, {999, 0, 100});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        helper_.Reset();
        Mark();
        auto gate = std::make_shared<ExchangeGate>();
        auto seen = std::make_shared<std::atomic<size_t>>(0);
        chanel_.SetOnTransact([gate, seen, stopAt = c.stopAt] {
            if (++*seen == stopAt)
                gate->Arrive();
        });
        const Outcome outcome = RunInPool(c.make(&helper_), c.kind, c.id, [&](ProcessPool& pool) {
            ASSERT_TRUE(gate->WaitArrived());
            pool.AbortAll();
            gate->Release();
        });
        chanel_.SetOnTransact(nullptr);
        // The exchange under way was finished; nothing was sent after it.
        EXPECT_EQ(Requests().size(), c.stopAt);
        EXPECT_EQ(outcome.errorCode, 3);
        ASSERT_FALSE(outcome.printed.empty());
        EXPECT_EQ(outcome.printed.back(), "Выполнение процесса прервано");
        EXPECT_EQ(outcome.doneId, -100);
        DaxHelperLocker lock(&helper_);
        EXPECT_TRUE(helper_.HourArchive.empty());
    }
}

TEST_F(DaxAlgorithmProcesses, DestroyingThePoolStopsARunningReadAll)
{
    instrument_.SetRing(6, {999, 0, 500});
    auto gate = std::make_shared<ExchangeGate>();
    auto seen = std::make_shared<std::atomic<size_t>>(0);
    chanel_.SetOnTransact([gate, seen] {
        if (++*seen == 20)
            gate->Arrive();
    });
    std::thread release;
    {
        ProcessPool pool;
        auto* entry = pool.Start(std::make_unique<DaxReadAllParamsAlgorithm>(&helper_, DaxReadAllDataSetup{}, nullptr),
                                 2, 104, "");
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(gate->WaitArrived());
        // Lets the exchange finish once the pool's destructor has asked the worker to stop;
        // the container lives until the worker has ended, which it cannot before the release.
        release = std::thread([gate, container = entry->Container.get()] {
            const auto deadline = std::chrono::steady_clock::now() + 5s;
            for (;;) {
                {
                    TInteractLock state(*container);
                    if (state->GetAbort() || std::chrono::steady_clock::now() > deadline)
                        break;
                }
                std::this_thread::yield();
            }
            gate->Release();
        });
    } // the destructor asked the worker to stop and joined it
    release.join();
    chanel_.SetOnTransact(nullptr);
    EXPECT_EQ(chanel_.Transactions().size(), 20u);
}

} // namespace
