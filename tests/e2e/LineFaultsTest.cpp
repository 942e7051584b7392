// The three channels against the simulated instrument when the line misbehaves: an answer that
// comes after its request has been given up, a close while a worker waits for an answer, and
// a simulator that stops in the middle of a session. One table over the channels.
#include "Failures.h"
#include "GprsTestSupport.h"
#include "LogRecorder.h"
#include "SimulatorLine.h"

#include "comm/Modbus.h"
#include "device/Daxhelper.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <thread>

namespace {

using namespace std::chrono;
using testsupport::Line;
using testsupport::MessageOf;
using Bytes = std::vector<uint8_t>;

struct ChanelCase {
    const char* name;
    Line line;
    // What a transaction waiting when the channel is closed ends with: the text it throws, or
    // the text it logs ("" when none).
    std::string closedWaitThrows;
    std::string closedWaitLogs;
    // What the first request after the simulator stopped logs (the channel's lost connection).
    std::string lostText;
};

void PrintTo(const ChanelCase& c, std::ostream* out)
{
    *out << c.name;
}

const ChanelCase kChanels[] = {
    {"Serial", Line::Serial, "COM-порт не открыт", "", "COM-порт отключен"},
    {"Tcp", Line::Tcp, "", "Канал не открыт", "Соединение закрыто удаленной стороной"},
    {"Gprs", Line::Gprs, "", "Соединение с серевером разорвано", "Соединение с серевером разорвано"},
};

// The simulator behind the channel of the case, the channel opened, and DaxHelper over it.
class LineFaults : public testing::TestWithParam<ChanelCase> {
protected:
    void Start(const daxsim::FaultOptions& faults, int32_t gprsChanelTimeoutMs)
    {
        simulator_ = std::make_unique<daxsim::Simulator>(daxsim::FixtureState(daxsim::Model::Dax01), 1, faults);
        testsupport::LineSettings settings;
        settings.gprsChanelTimeoutMs = gprsChanelTimeoutMs;
        settings.gprsTimings = testsupport::FastGprsTimings();
        line_ = std::make_unique<testsupport::SimulatorLine>(*simulator_, GetParam().line, settings);
        chanel_ = &line_->Chanel();
        chanel_->SetLogCallback(log_.Callback());
        chanel_->Open(nullptr);
        helper_.SetLogCallback(log_.Callback());
        helper_.SetChannel(chanel_);
    }
    void TearDown() override { line_.reset(); }

    // One read of input registers with one attempt, as daxprobe makes it: "ok" or the failure.
    std::string Read(int32_t first, int32_t count)
    {
        return MessageOf([&] { helper_.ReadRegisters(first, count, nullptr, 1); });
    }
    // The register as it stands in DaxHelper's image.
    uint16_t Register(int32_t reg)
    {
        DaxHelperLocker lock(&helper_);
        const size_t at = 2 * static_cast<size_t>(reg - 30001);
        return static_cast<uint16_t>((helper_.InputRegisterImage[at] << 8) | helper_.InputRegisterImage[at + 1]);
    }
    // The fixture instrument's input register: 30001 + i holds 0x3000 + i.
    static uint16_t Fixture(int32_t reg) { return static_cast<uint16_t>(0x3000 + (reg - 30001)); }

    std::unique_ptr<daxsim::Simulator> simulator_;
    std::unique_ptr<testsupport::SimulatorLine> line_;
    TChanelHelperBase* chanel_ = nullptr;
    testsupport::LogRecorder log_;
    DaxHelper helper_;
};

// The first read gives up (500 ms) before its answer comes (800 ms); the second read, sent
// meanwhile, gets its own values or fails, never the first's. A third read finds the line settled.
TEST_P(LineFaults, ALateAnswerNeverBecomesTheNextRequestsData)
{
    daxsim::FaultOptions faults;
    faults.LateMs = 800;
    faults.FaultRequests = 1;
    Start(faults, 500);
    EXPECT_NE(Read(30101, 10), "no exception");
    const std::string second = Read(30111, 10);
    for (int32_t reg = 30111; reg < 30121; ++reg) {
        if (second == "no exception")
            EXPECT_EQ(Register(reg), Fixture(reg)) << reg;
        else
            EXPECT_EQ(Register(reg), 0) << reg;   // a failed read copies nothing
    }
    ASSERT_TRUE(simulator_->WaitForRepliesSent(2, seconds(10)));
    EXPECT_EQ(Read(30121, 10), "no exception");
    for (int32_t reg = 30121; reg < 30131; ++reg)
        EXPECT_EQ(Register(reg), Fixture(reg)) << reg;
}

// A worker waits for an answer that would come in ten minutes; closing the channel wakes it:
// the close returns and the worker ends with the channel's own text.
TEST_P(LineFaults, CloseDoesNotWaitOutAWorkersTimeout)
{
    daxsim::FaultOptions faults;
    faults.DelayMs = 600000;
    Start(faults, 600000);
    chanel_->SetTimeouts(600000, 600000, nullptr);
    std::string thrown;
    std::thread worker([&] {
        Bytes request(8);
        size_t length = 0;
        ModbusBuildReadRegisters(request, length, 0, 30001, 1);
        Bytes answer(7);
        thrown = MessageOf([&] { chanel_->Transact(request, answer, nullptr); });
    });
    while (simulator_->RequestCount() == 0)
        std::this_thread::sleep_for(milliseconds(1));
    chanel_->Close(nullptr);
    worker.join();
    const ChanelCase& c = GetParam();
    EXPECT_EQ(thrown, c.closedWaitThrows.empty() ? "no exception" : c.closedWaitThrows);
    if (!c.closedWaitLogs.empty()) {
        const auto texts = log_.Texts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.closedWaitLogs), texts.end())
            << testing::PrintToString(texts);
    }
    EXPECT_FALSE(chanel_->IsOpen());
}

// The simulator goes away in the middle of a session: the next request fails, the channel says
// why and counts as closed, so the main window would show "Открыть" and its polling would stop.
TEST_P(LineFaults, ALostConnectionClosesTheChannel)
{
    Start({}, 1000);
    ASSERT_EQ(Read(30101, 2), "no exception");
    line_->StopServer();
    log_.Clear();
    EXPECT_NE(Read(30101, 2), "no exception");
    const auto texts = log_.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), GetParam().lostText), texts.end())
        << testing::PrintToString(texts);
    EXPECT_FALSE(chanel_->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Chanels, LineFaults, testing::ValuesIn(kChanels),
                         [](const testing::TestParamInfo<ChanelCase>& info) { return std::string(info.param.name); });

} // namespace
