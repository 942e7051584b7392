// A late answer never becomes another request's data: read-all and a page read, as the device
// frame runs them, over the three channels against an instrument whose first answers come
// late (--late L --faults-for N) and every answer after a delay (--delay D). Each run either
// ends with every register and record equal to the instrument's, or ends with an error; a
// register the run changed never holds anything but the instrument's value.
//
// The pauses of the exchange code pass through a recording pacer; the instrument's delays and
// the channels' waits are real time, so the cases of a line run at once (a case takes from
// one to about twenty-five seconds, nearly all of it waiting), and each line is its own ctest
// entry.
#include "DataFile.h"
#include "FakeTime.h"
#include "GprsTestSupport.h"
#include "LogRecorder.h"
#include "SimulatorLine.h"

#include "device/DaxAlgorithms.h"
#include "device/Daxhelper.h"
#include "device/ProcessThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testsupport::Line;
using Bytes = std::vector<uint8_t>;

struct LateCase {
    Line line;
    int32_t lateMs;       // --late
    int32_t faultsFor;    // --faults-for
    int32_t delayMs;      // --delay
    bool identified;      // the instrument was identified before (a data file was loaded)
};

std::string CaseName(const LateCase& c)
{
    return std::string(testsupport::LineText(c.line)) + "_Late" + std::to_string(c.lateMs) + "_For" +
           std::to_string(c.faultsFor) + "_Delay" + std::to_string(c.delayMs) +
           (c.identified ? "_Identified" : "_NotIdentified");
}

std::vector<LateCase> AllCases()
{
    std::vector<LateCase> cases;
    for (const Line line : {Line::Serial, Line::Tcp, Line::Gprs})
        for (const int32_t late : {600, 1500, 3000, 6000})
            for (const int32_t faultsFor : {1, 2})
                for (const int32_t delay : {0, 100, 400})
                    for (const bool identified : {true, false})
                        cases.push_back({line, late, faultsFor, delay, identified});
    return cases;
}

// The fixture instrument with one page of records of each kind (a wrapped ring among them),
// so that a run reads every image and every archive and journal in few exchanges.
daxsim::InstrumentState TableState()
{
    daxsim::InstrumentState state = daxsim::FixtureState(daxsim::Model::Dax01);
    const std::pair<uint16_t, uint16_t> kept[daxsim::kRecordTypeCount] = {
        {15, 1},   // hour archive: positions 15 and 0 of a wrapped ring
        {3, 4}, {5, 6}, {2, 3}, {0, 1},
        {20, 36},  // abnormal-situation journal: 16 records, one page
        {60, 2},   // operator journal: 6 records across the end of its ring
    };
    for (int k = 0; k < daxsim::kRecordTypeCount; ++k) {
        state.Rings[static_cast<size_t>(k)].First = kept[k].first;
        state.Rings[static_cast<size_t>(k)].Next = kept[k].second;
    }
    state.StoreRingPointers();
    return state;
}

struct Outcome {
    int32_t error = -1;
    std::vector<std::string> printed;
    bool finished = false;
};

// Starts the algorithm as the device frame does and polls the pool as the main window does,
// until the process is gone.
Outcome RunProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id)
{
    Outcome outcome;
    ProcessPool pool;
    ProcessDesctiptionStruct* entry = pool.Start(std::move(algorithm), kind, id, "");
    if (!entry)
        return outcome;
    entry->OnDone = [&](int32_t) { outcome.error = 0; };
    entry->OnError = [&](int32_t, int32_t error) { outcome.error = error; };
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (pool.Count() > 0 && std::chrono::steady_clock::now() < deadline) {
        pool.Poll([&](const std::string& text) { outcome.printed.push_back(text); });
        std::this_thread::sleep_for(5ms);
    }
    outcome.finished = pool.Count() == 0;
    return outcome;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    return out;
}

struct Images {
    std::array<uint8_t, dax_namespace::kInputImageSize> input{};
    std::array<uint8_t, dax_namespace::kHoldingImageSize> holding{};
};

Images ImagesOf(DaxHelper& helper)
{
    DaxHelperLocker lock(&helper);
    return {helper.InputRegisterImage, helper.HoldingRegisterImage};
}

Images ImagesOf(const daxsim::InstrumentState& state)
{
    Images images;
    std::copy(state.InputImage.begin(), state.InputImage.end(), images.input.begin());
    std::copy(state.HoldingImage.begin(), state.HoldingImage.end(), images.holding.begin());
    return images;
}

// Every register of after holds either what it held before or the instrument's value.
template <size_t N>
void ExpectNoForeignValue(const std::array<uint8_t, N>& before, const std::array<uint8_t, N>& after,
                          const std::array<uint8_t, N>& instrument, int32_t firstRegister, const std::string& when)
{
    int wrong = 0;
    for (size_t at = 0; at < N; at += 2) {
        const bool same = after[at] == before[at] && after[at + 1] == before[at + 1];
        const bool right = after[at] == instrument[at] && after[at + 1] == instrument[at + 1];
        if (!same && !right && ++wrong <= 5)
            ADD_FAILURE() << when << ": register " << firstRegister + static_cast<int32_t>(at / 2) << " holds "
                          << (after[at] << 8 | after[at + 1]) << ", the instrument "
                          << (instrument[at] << 8 | instrument[at + 1]);
    }
    EXPECT_EQ(wrong, 0) << when;
}

// One case: its own instrument, line, channel and DaxHelper; read-all, then a page read in
// the same session. Checks run on the calling thread.
class LateRun {
public:
    explicit LateRun(const LateCase& c) : LateRun(c.line, FaultsOf(c), c.identified) {}
    LateRun(Line line, const daxsim::FaultOptions& faults, bool identified)
    {
        simulator_ = std::make_unique<daxsim::Simulator>(TableState(), 1, faults);
        testsupport::LineSettings settings;
        settings.netAddr = 1;
        settings.tcpTimeoutMs = 1000;        // the setting's default
        settings.gprsChanelTimeoutMs = 2000;
        settings.gprsTimings = testsupport::FastGprsTimings();
        line_ = std::make_unique<testsupport::SimulatorLine>(*simulator_, line, settings);
        TChanelHelperBase& chanel = line_->Chanel();
        chanel.SetLogCallback(log_.Callback());
        chanel.SetLogEnabled(true);
        chanel.Open(nullptr);
        chanel.SetTimeouts(1000, 20, nullptr);   // as the main window does after opening
        helper_.SetChannel(&chanel);
        helper_.SetPacer(&pacer_);
        if (identified) {
            // A data file of this instrument was loaded; its images then changed everywhere,
            // and its records were dropped, so that only what the run reads can match.
            daxsim::Instrument copy(TableState(), 1);
            helper_.LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(copy));
            DaxHelperLocker lock(&helper_);
            for (uint8_t& b : helper_.InputRegisterImage)
                b ^= 0xA5;
            for (uint8_t& b : helper_.HoldingRegisterImage)
                b ^= 0x5A;
            DaxHelper::ForEachRecordType(helper_, [](auto, auto& vector, auto&) { vector.clear(); });
        }
    }
    ~LateRun()
    {
        line_->Chanel().Close(nullptr);
        line_.reset();
    }

    static daxsim::FaultOptions FaultsOf(const LateCase& c)
    {
        daxsim::FaultOptions faults;
        faults.LateMs = c.lateMs;
        faults.FaultRequests = c.faultsFor;
        faults.DelayMs = c.delayMs;
        return faults;
    }

    daxsim::Simulator& Simulator() { return *simulator_; }

    // Runs both operations and checks them; returns what each ended with, for the summary.
    std::string Run()
    {
        const Images instrument = ImagesOf(simulator_->Device().State());
        const Bytes instrumentFile = daxsim::DataFileBytesOfInstrument(simulator_->Device());

        const Images beforeReadAll = ImagesOf(helper_);
        const Outcome readAll =
            RunProcess(std::make_unique<DaxReadAllParamsAlgorithm>(&helper_, DaxReadAllDataSetup{}, nullptr), 2, 104);
        EXPECT_TRUE(readAll.finished);
        const Images afterReadAll = ImagesOf(helper_);
        if (readAll.error == 0) {
            EXPECT_EQ(helper_.DataFileBytes(), instrumentFile) << Joined(log_.Texts());
        } else {
            EXPECT_EQ(readAll.error, 3);
            EXPECT_FALSE(readAll.printed.empty() || readAll.printed.back().empty());
            DaxHelperLocker lock(&helper_);
            EXPECT_TRUE(helper_.HourArchive.empty() && helper_.OperatorJournal.empty());
        }
        ExpectNoForeignValue(beforeReadAll.input, afterReadAll.input, instrument.input, 30001, "read all");
        ExpectNoForeignValue(beforeReadAll.holding, afterReadAll.holding, instrument.holding, 40001, "read all");

        // Then a page of the device frame in the same session, whatever the line still owes.
        const Outcome page =
            RunProcess(std::make_unique<DaxMultiReadWriteAlgorithm>(0, &helper_, nullptr, false), 0, 0);
        EXPECT_TRUE(page.finished);
        const Images afterPage = ImagesOf(helper_);
        ExpectNoForeignValue(afterReadAll.input, afterPage.input, instrument.input, 30001, "page read");
        ExpectNoForeignValue(afterReadAll.holding, afterPage.holding, instrument.holding, 40001, "page read");
        if (page.error == 0) {
            for (const dax_namespace::PageStep& step : dax_namespace::PageSteps(0)) {
                const bool input = step.first < dax_namespace::kFirstHoldingRegister;
                const std::span<const uint8_t> image =
                    input ? std::span<const uint8_t>(afterPage.input) : std::span<const uint8_t>(afterPage.holding);
                const std::span<const uint8_t> expected = input ? std::span<const uint8_t>(instrument.input)
                                                                : std::span<const uint8_t>(instrument.holding);
                const size_t at = 2 * static_cast<size_t>(step.first - (input ? 30001 : 40001));
                const size_t length = 2 * static_cast<size_t>(step.count);
                EXPECT_TRUE(std::equal(&image[at], &image[at] + length, &expected[at])) << "block " << step.first;
            }
        } else {
            EXPECT_EQ(page.error, 3);
        }
        // Retries still wait their 500 ms; the other pauses are those after a read and a release.
        for (const auto pause : pacer_.Pauses())
            EXPECT_TRUE(pause == 500ms || pause == 10ms || pause == 1ms) << pause.count();
        return "read all " + Ending(readAll) + ", page read " + Ending(page);
    }

private:
    static std::string Ending(const Outcome& outcome)
    {
        return outcome.error == 0 ? "right" : "failed (" + (outcome.printed.empty() ? "" : outcome.printed.back()) + ")";
    }

    std::unique_ptr<daxsim::Simulator> simulator_;
    std::unique_ptr<testsupport::SimulatorLine> line_;
    testsupport::LogRecorder log_;
    testsupport::RecordingPacer pacer_;
    DaxHelper helper_;
};

// One ctest entry per line; its cases run at once, each on its own thread, since they spend
// their time waiting for the instrument and the channels' time-outs.
class LateAnswers : public testing::TestWithParam<Line> {};

TEST_P(LateAnswers, EveryRunEndsWithTheInstrumentsValuesOrWithAnError)
{
    std::vector<LateCase> cases;
    for (const LateCase& c : AllCases())
        if (c.line == GetParam())
            cases.push_back(c);
    std::vector<std::string> endings(cases.size());
    std::vector<std::thread> runs;
    for (size_t i = 0; i < cases.size(); ++i) {
        runs.emplace_back([&, i] {
            SCOPED_TRACE(CaseName(cases[i]));
            LateRun run(cases[i]);
            endings[i] = run.Run();
        });
    }
    for (std::thread& run : runs)
        run.join();
    for (size_t i = 0; i < cases.size(); ++i)
        std::printf("%s: %s\n", CaseName(cases[i]).c_str(), endings[i].c_str());
}

// An answer that is lost for good (the instrument keeps silent once) costs one repeated request
// and a wait for the quiet line, never the next request's answer: read-all and the page read
// that follows both end right, with exactly one request more than their blocks and pages.
TEST_P(LateAnswers, ALostAnswerCostsOneRepeatedRequest)
{
    daxsim::FaultOptions faults;
    faults.SilentRequests = 1;
    LateRun run(GetParam(), faults, true);
    EXPECT_EQ(run.Run(), "read all right, page read right");
    const size_t readAllExchanges = 9 + 8;   // register blocks, then one page per archive and journal
    EXPECT_EQ(run.Simulator().RequestCount(), readAllExchanges + dax_namespace::PageSteps(0).size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Lines, LateAnswers, testing::Values(Line::Serial, Line::Tcp, Line::Gprs),
                         [](const testing::TestParamInfo<Line>& info) { return std::string(testsupport::LineText(info.param)); });

} // namespace
