// The background processes end to end: read-all and write-all as the device frame runs them
// (through the process pool), over each of the three channels, against the simulated
// instrument loaded from a data file.
#include "DataFile.h"
#include "FakeTime.h"
#include "SimulatorLine.h"

#include "device/DaxAlgorithms.h"
#include "device/Daxhelper.h"
#include "device/ProcessThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

using testsupport::Line;
using testsupport::LineText;

std::string LineName(const testing::TestParamInfo<Line>& info)
{
    return LineText(info.param);
}

// The data file every case starts from: the fixture instrument as the configurator saves it.
const Bytes& StartFile()
{
    static const Bytes bytes = [] {
        daxsim::Instrument instrument(daxsim::FixtureState(daxsim::Model::Dax02), 1);
        return daxsim::DataFileBytesOfInstrument(instrument);
    }();
    return bytes;
}

// One instrument loaded from a data file, served over one kind of line, and a DaxHelper that
// reaches it through the configurator's channel of that kind.
class Rig {
public:
    explicit Rig(Line line, const Bytes& file = StartFile(), daxsim::FaultOptions faults = {})
        : simulator_(daxsim::StateFromDataFileBytes(file), 1, faults), line_(simulator_, line, Settings())
    {
        line_.Chanel().Open(nullptr);
        line_.Chanel().SetTimeouts(1000, 20, nullptr);
        helper_.SetChannel(&line_.Chanel());
        helper_.SetPacer(&pacer_);
    }

    ~Rig() { line_.Chanel().Close(nullptr); }

    daxsim::Simulator& Simulator() { return simulator_; }
    TChanelHelperBase& Chanel() { return line_.Chanel(); }
    DaxHelper& Helper() { return helper_; }
    // The instrument's server goes away, as a gateway that drops the connection.
    void StopServer() { line_.StopServer(); }
    testsupport::RecordingPacer& Pacer() { return pacer_; }

private:
    static testsupport::LineSettings Settings()
    {
        testsupport::LineSettings settings;
        settings.netAddr = 1;
        return settings;
    }

    daxsim::Simulator simulator_;
    testsupport::SimulatorLine line_;
    testsupport::RecordingPacer pacer_;
    DaxHelper helper_;
};

struct Outcome {
    int32_t error = -1;
    std::vector<std::string> printed;
    bool finished = false;
};

// Starts the algorithm as the device frame does and polls the pool as the main window does,
// until the process is gone. `whilePolling` runs once per poll, with the pool.
Outcome RunProcess(std::unique_ptr<ProcessAlgorithm> algorithm, int32_t kind, int32_t id,
                   const std::function<void(ProcessPool&)>& whilePolling = nullptr)
{
    Outcome outcome;
    ProcessPool pool;
    ProcessDesctiptionStruct* entry = pool.Start(std::move(algorithm), kind, id, "");
    if (!entry)
        return outcome;
    entry->OnDone = [&](int32_t) { outcome.error = 0; };
    entry->OnError = [&](int32_t, int32_t error) { outcome.error = error; };
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (pool.Count() > 0 && std::chrono::steady_clock::now() < deadline) {
        if (whilePolling)
            whilePolling(pool);
        pool.Poll([&](const std::string& text) { outcome.printed.push_back(text); });
        std::this_thread::sleep_for(1ms);
    }
    outcome.finished = pool.Count() == 0;
    return outcome;
}

Outcome ReadAll(Rig& rig)
{
    return RunProcess(std::make_unique<DaxReadAllParamsAlgorithm>(&rig.Helper(), DaxReadAllDataSetup{}, nullptr), 2,
                      104);
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    return out;
}

class ProcessesOverChanels : public testing::TestWithParam<Line> {};

TEST_P(ProcessesOverChanels, ReadAllSavesTheFileTheInstrumentWasLoadedFrom)
{
    Rig rig(GetParam());
    const Outcome outcome = ReadAll(rig);
    ASSERT_TRUE(outcome.finished);
    ASSERT_EQ(outcome.error, 0) << Joined(outcome.printed);
    EXPECT_EQ(rig.Helper().DataFileBytes(), StartFile());
    // Only the pauses the exchange code makes on success: none between attempts.
    for (const auto pause : rig.Pacer().Pauses())
        EXPECT_LT(pause, 500ms);
}

TEST_P(ProcessesOverChanels, WriteAllOfAChangedSetupImageIsReadBackIdentical)
{
    Rig rig(GetParam());
    ASSERT_EQ(ReadAll(rig).error, 0);
    DaxHelper& helper = rig.Helper();
    {
        // A new value in every register that write-all sends.
        DaxHelperLocker lock(&helper);
        for (uint32_t group = 0; group < dax_namespace::kConfigGroupCount; ++group) {
            int32_t first = 0;
            int32_t count = 0;
            for (int32_t block = 0; block < DaxHelper::ConfigGroupBlock(group, block, first, count); ++block) {
                for (int32_t r = first; r < first + count; ++r) {
                    const size_t at = 2 * static_cast<size_t>(r - dax_namespace::kFirstHoldingRegister);
                    helper.HoldingRegisterImage[at] ^= 0x5A;
                    helper.HoldingRegisterImage[at + 1] ^= static_cast<uint8_t>(group + 1);
                }
            }
        }
    }
    const auto written = [&] {
        DaxHelperLocker lock(&helper);
        return helper.HoldingRegisterImage;
    }();
    const Outcome outcome =
        RunProcess(std::make_unique<DaxWriteAllParamsAlgorithm>(&helper, DaxWriteAllDataSetup{}, nullptr), 3, 105);
    ASSERT_EQ(outcome.error, 0) << Joined(outcome.printed);

    Rig readBack(GetParam(), rig.Helper().DataFileBytes());
    readBack.Simulator().Device().ReplaceState(rig.Simulator().Device().State());
    ASSERT_EQ(ReadAll(readBack).error, 0);
    DaxHelperLocker lock(&readBack.Helper());
    EXPECT_EQ(readBack.Helper().HoldingRegisterImage, written);
}

TEST_P(ProcessesOverChanels, AbortStopsWithinOneExchangeAndLeavesNoThread)
{
    // Answers that take a while, as on a real line, so that the stop comes mid-run.
    daxsim::FaultOptions slow;
    slow.DelayMs = 20;
    Rig rig(GetParam(), StartFile(), slow);
    uint64_t requestsAtAbort = 0;
    bool aborted = false;
    const Outcome outcome = RunProcess(
        std::make_unique<DaxReadAllParamsAlgorithm>(&rig.Helper(), DaxReadAllDataSetup{}, nullptr), 2, 104,
        [&](ProcessPool& pool) {
            // Once the pages are being read, press "Остановить".
            if (!aborted && rig.Simulator().RequestCount() >= 15) {
                requestsAtAbort = rig.Simulator().RequestCount();
                pool.AbortAll();
                aborted = true;
            }
        });
    ASSERT_TRUE(aborted);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.error, 3);
    ASSERT_FALSE(outcome.printed.empty());
    EXPECT_EQ(outcome.printed.back(), "Выполнение процесса прервано");
    EXPECT_LE(rig.Simulator().RequestCount(), requestsAtAbort + 1);
    // Stopped early: the record vectors keep what they held (nothing).
    DaxHelperLocker lock(&rig.Helper());
    EXPECT_TRUE(rig.Helper().HourArchive.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, ProcessesOverChanels, testing::Values(Line::Serial, Line::Tcp, Line::Gprs), LineName);

// Faults end read-all with the failure's text, never with success.
struct FaultCase {
    const char* name;
    Line line;
    std::function<void(daxsim::FaultOptions&)> fault;
    const char* lastMessage;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadAllFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(ReadAllFaults, EndWithTheirText)
{
    const FaultCase& c = GetParam();
    Rig rig(c.line);
    // Identified while the line is sound, so that the faults meet the register reads (the
    // identification's own attempts would only make the test slower).
    ASSERT_TRUE(rig.Helper().Identify(nullptr, 1));
    daxsim::FaultOptions faults;
    c.fault(faults);
    rig.Simulator().SetFaults(faults);
    const Outcome outcome = ReadAll(rig);
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.error, 3) << Joined(outcome.printed);
    ASSERT_FALSE(outcome.printed.empty());
    EXPECT_EQ(outcome.printed.back(), c.lastMessage) << Joined(outcome.printed);
}

const FaultCase kFaultCases[] = {
    {"SilentSerial", Line::Serial, [](daxsim::FaultOptions& f) { f.SilentRequests = 1000; }, "Прибор не отвечает"},
    // TCP and GPRS give no bytes for a missing answer, which the answer check refuses.
    {"SilentTcp", Line::Tcp, [](daxsim::FaultOptions& f) { f.SilentRequests = 1000; }, "Недопустимый ответ от прибора"},
    {"SilentGprs", Line::Gprs, [](daxsim::FaultOptions& f) { f.SilentRequests = 1000; },
     "Недопустимый ответ от прибора"},
    {"BadCrcSerial", Line::Serial, [](daxsim::FaultOptions& f) { f.BadCrc = true; }, "Ошибка CRC в ответе прибора"},
    {"BadCrcTcp", Line::Tcp, [](daxsim::FaultOptions& f) { f.BadCrc = true; }, "Ошибка CRC в ответе прибора"},
    {"BadCrcGprs", Line::Gprs, [](daxsim::FaultOptions& f) { f.BadCrc = true; }, "Ошибка CRC в ответе прибора"},
};

INSTANTIATE_TEST_SUITE_P(Faults, ReadAllFaults, testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

// As the main window's log callback: a text logged for a process goes into its message queue,
// which the pool prints.
void QueueLog(const std::string& text, TInteractContainer* target)
{
    if (target) {
        TInteractLock state(*target);
        state->PushMessage(text);
    }
}

Outcome ReadCurrentValuesPage(Rig& rig)
{
    return RunProcess(std::make_unique<DaxReadModbusRegAlgorithm>(30383, 97, &rig.Helper(), nullptr), 0, 17);
}

// The gateway drops the connection in the middle of a session: the next read ends on the
// console with the text naming the lost connection, as a serial line that lost its device
// does, and so does the read after it, rather than a text about the instrument's answer.
TEST(ReadOverTcp, ALostConnectionIsNamedOnTheConsole)
{
    Rig rig(Line::Tcp);
    rig.Chanel().SetLogCallback(QueueLog);
    ASSERT_EQ(ReadCurrentValuesPage(rig).error, 0);
    rig.StopServer();
    for (int read = 0; read < 2; ++read) {
        SCOPED_TRACE(read);
        const Outcome outcome = ReadCurrentValuesPage(rig);
        EXPECT_EQ(outcome.error, 3);
        ASSERT_FALSE(outcome.printed.empty());
        EXPECT_EQ(outcome.printed.back(), "Соединение закрыто удаленной стороной") << Joined(outcome.printed);
    }
    EXPECT_FALSE(rig.Chanel().IsOpen());
}

TEST(ReadAllOverTcp, CorruptRingPointersFailWithAMessage)
{
    // The hour archive's First (30030) above its Highest (30029).
    Rig rig(Line::Tcp);
    rig.Simulator().Device().PokeRegister(30029, 16);
    rig.Simulator().Device().PokeRegister(30030, 0xFFFF);
    const Outcome outcome = ReadAll(rig);
    EXPECT_EQ(outcome.error, 3);
    ASSERT_FALSE(outcome.printed.empty());
    EXPECT_NE(outcome.printed.back().find("Неверные указатели записей"), std::string::npos) << outcome.printed.back();
    // No page was asked for.
    DaxHelperLocker lock(&rig.Helper());
    EXPECT_TRUE(rig.Helper().HourArchive.empty());
}

} // namespace
