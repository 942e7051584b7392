// The demo instrument against the device pages' bindings (over fake controls): every bound
// register shows without complaint, every setting validates, and storing the settings back
// gives the very bytes the instrument holds.

#include "DataFile.h"
#include "DemoState.h"

#include "FakeFrame.h"

#include "device/Daxcore.h"
#include "device/Records.h"
#include "platform/DateTime.h"
#include "presentation/FramePages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>
#include <chrono>
#include <bit>
#include <string>

namespace {

using namespace daxsim;
using testsupport::FakeFrame;

bool IsHoldingGroup(int group)
{
    return (group >= 4 && group <= 18) || group >= 21;
}

// A fake frame whose images are the demo instrument's.
void LoadImages(FakeFrame& frame, const InstrumentState& state)
{
    std::copy(state.InputImage.begin(), state.InputImage.end(), frame.helper.InputRegisterImage.begin());
    std::copy(state.HoldingImage.begin(), state.HoldingImage.end(), frame.helper.HoldingRegisterImage.begin());
    frame.own.FillAirChannelWord(frame.helper, 0);
    frame.own.FillAirChannelWord(frame.helper, 1);
}

TEST(DemoState, KeepsTheFixturesIdentificationAndRingLayout)
{
    for (Model model : {Model::Dax01, Model::Dax02}) {
        const InstrumentState demo = DemoState(model);
        const InstrumentState fixture = FixtureState(model);
        EXPECT_TRUE(demo.IsValid());
        EXPECT_EQ(demo.ModelText, fixture.ModelText);
        EXPECT_EQ(demo.Version, fixture.Version);
        // The ring pointers in the registers are the rings'.
        for (int type = 0; type < kRecordTypeCount; ++type) {
            const RecordRing& ring = demo.Rings[type];
            EXPECT_EQ(demo.Register(static_cast<uint16_t>(kFirstRingPointerRegister + 3 * type)), ring.Highest);
            EXPECT_EQ(demo.Register(static_cast<uint16_t>(kFirstRingPointerRegister + 3 * type + 1)), ring.First);
            EXPECT_EQ(demo.Register(static_cast<uint16_t>(kFirstRingPointerRegister + 3 * type + 2)), ring.Next);
        }
    }
}

// The demo's history: the days, hours, totals and months of its months, in reading order.
TEST(DemoState, HoldsAHistoryFromTheStartOfWork)
{
    const InstrumentState demo = DemoState(Model::Dax01);
    const auto dateOf = [](const std::vector<uint8_t>& bytes) {
        return std::to_string(bytes[2]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[0]);
    };
    const auto days = RingRecords(demo.Rings[1]);
    ASSERT_EQ(days.size(), 90u); // 16 March .. 13 June
    EXPECT_EQ(dateOf(days.front()), "16.3.24");
    EXPECT_EQ(dateOf(days.back()), "13.6.24");
    EXPECT_EQ(days[30], std::vector<uint8_t>(256, 0)) << "15 April, the day without power";
    const auto hours = RingRecords(demo.Rings[0]);
    ASSERT_EQ(hours.size(), 31u * 24 + 13 * 24 + 10); // 1 May 00:00 .. 14 June 09:00
    EXPECT_EQ(dateOf(hours.front()) + " " + std::to_string(hours.front()[3]), "1.5.24 0");
    EXPECT_EQ(dateOf(hours.back()) + " " + std::to_string(hours.back()[3]), "14.6.24 9");
    EXPECT_GT(demo.Rings[0].First, demo.Rings[0].Next) << "the hour ring has wrapped";
    const auto totalDays = RingRecords(demo.Rings[3]);
    ASSERT_EQ(totalDays.size(), 90u);
    EXPECT_EQ(dateOf(totalDays.front()), "16.3.24");
    const auto months = RingRecords(demo.Rings[2]);
    const auto totalMonths = RingRecords(demo.Rings[4]);
    ASSERT_EQ(months.size(), 3u);
    ASSERT_EQ(totalMonths.size(), 3u);
    EXPECT_EQ(dateOf(months.front()), "1.3.24");
    EXPECT_EQ(dateOf(totalMonths.back()), "1.5.24");

    // A total record holds the running sums of the day records: the difference of two is the
    // sum of the days between, exactly.
    dax_namespace::TotalArchiveStruct april30;
    dax_namespace::TotalArchiveStruct may31;
    std::copy(totalDays[45].begin(), totalDays[45].end(), april30.bytes.begin());
    std::copy(totalDays[76].begin(), totalDays[76].end(), may31.bytes.begin());
    ASSERT_EQ(dateOf(totalDays[45]), "30.4.24");
    ASSERT_EQ(dateOf(totalDays[76]), "31.5.24");
    float volume = 0;
    uint32_t minutes = 0;
    uint16_t hardware = 0;
    for (size_t i = 46; i <= 76; ++i) {
        dax_namespace::ArchiveStruct day;
        std::copy(days[i].begin(), days[i].end(), day.bytes.begin());
        volume += day.Volume(1);
        minutes += day.WorkTime();
        hardware |= day.HardwareFlags();
    }
    EXPECT_EQ(may31.Volume(1) - april30.Volume(1), volume);
    EXPECT_EQ(may31.WorkTime() - april30.WorkTime(), minutes);
    EXPECT_EQ(minutes, 31u * 1440);
    EXPECT_EQ(hardware, 0x1800);
    // The total month record of May is the total of 31 May.
    EXPECT_EQ(std::vector<uint8_t>(totalMonths[2].begin() + 3, totalMonths[2].end() - 2),
              std::vector<uint8_t>(totalDays[76].begin() + 3, totalDays[76].end() - 2));
}

// The records read like an instrument's: dated in time order up to its clock (14 June 2024,
// 10:25), every check word right but the one bad hour record, every journal entry
// decoded by the configurator without an unknown time or parameter.
TEST(DemoState, RecordsAreDatedInOrderAndDecode)
{
    const InstrumentState demo = DemoState(Model::Dax01);
    const double clock = EncodeDate(2024, 6, 14) + EncodeTime(10, 25, 0, 0);
    for (int type = 0; type < 5; ++type) {
        const RecordRing& ring = demo.Rings[type];
        double previous = 0;
        for (const auto& bytes : RingRecords(ring)) {
            dax_namespace::ArchiveStruct record;
            std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
            if (record.IsSkipped())
                continue; // the day without power
            const bool bad = type == 0 && record.Date() == EncodeDate(2024, 5, 20) && record.Hour() == 13;
            EXPECT_EQ(record.IsCheckWordValid(), !bad) << type;
            const double date = record.Date() + (type == 0 ? record.Hour() / 24.0 : 0.0);
            EXPECT_GT(date, previous) << type;
            EXPECT_LT(date, clock) << type;
            previous = date;
        }
    }
    for (int type = 5; type < 7; ++type) {
        double previous = 0;
        for (const auto& bytes : RingRecords(demo.Rings[type])) {
            dax_namespace::JournalStruct record;
            std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
            const auto stamp = dax_namespace::JournalTime(record);
            ASSERT_EQ(stamp.kind, dax_namespace::JournalTimeKind::Valid) << type;
            EXPECT_GT(stamp.time, previous) << type;
            EXPECT_LT(stamp.time, clock) << type;
            previous = stamp.time;
            if (type == 5) {
                std::vector<dax_namespace::NotStaffDecodedStruct> rows;
                EXPECT_TRUE(DecodeNotStaffJournalRecord(rows, record));
                EXPECT_EQ(rows.size(), 1u);
            } else {
                EXPECT_NE(FindOperatorParameter(record.EventCode()), nullptr) << record.EventCode();
            }
        }
    }
}

TEST(DemoState, EveryGroupShowsWithoutError)
{
    FakeFrame frame;
    LoadImages(frame, DemoState(Model::Dax01));
    for (int group = 0; group < kBindingGroupCount; ++group)
        EXPECT_EQ(frame.ShowGroup(group), std::vector<std::string>{}) << "group " << group;

    // A few values as the pages show them.
    EXPECT_EQ(frame.Control("ConfigurationTS1/SchemeComboBox").Text(), "5.9");
    EXPECT_EQ(frame.Control("ConfigurationTS2/SchemeComboBox").Text(), "2.5");
    EXPECT_EQ(frame.Control("UnitOfMeasureHeat").Text(), "Гкал");
    EXPECT_EQ(frame.Control("TS2_Current/t5Current").Text(), "55.20");
    EXPECT_EQ(frame.Control("SerialNumInfo").Text(), "12345");
    EXPECT_EQ(frame.Control("V_Status6").Text(), "Нет ошибок");
    EXPECT_EQ(frame.Control("ObjectIdent").Text(), "Котельная 3");
    EXPECT_EQ(frame.Control("ServerIpAddress").Text(), "192.168.1.10");
    EXPECT_EQ(frame.Control("DaxSignalD/TimerOn").Value(), 480);
    EXPECT_EQ(frame.Control("CurrentDatePicker").Date(), (ControlDate{2024, 6, 14}));
}

TEST(DemoState, SettingsValidateAndStoreBackUnchanged)
{
    FakeFrame frame;
    const InstrumentState demo = DemoState(Model::Dax02);
    LoadImages(frame, demo);
    for (int group = 0; group < kBindingGroupCount; ++group) {
        if (!IsHoldingGroup(group))
            continue;
        EXPECT_EQ(frame.ShowGroup(group), std::vector<std::string>{}) << "group " << group;
        EXPECT_EQ(frame.ValidateMessage(group), "") << "group " << group;
        frame.container.Store(group);
    }
    for (uint16_t reg = 40001; reg <= 40596; ++reg)
        EXPECT_EQ(frame.GetRegister(reg), demo.Register(reg)) << "HR " << reg;
}

TEST(DemoState, HeatSystemsAreTheFreeConfigurationAndScheme25)
{
    const InstrumentState demo = DemoState(Model::Dax01);
    const HeatSystemConfig ts1 = DecodeHeatSystemConfig(demo.InputImage, demo.HoldingImage, 0);
    EXPECT_EQ(ts1.SchemeIndex, kFreeSchemeIndex);
    EXPECT_EQ(FreeSchemeFlags(ts1) >> 8, 2); // a supply pipe and a return
    const HeatSystemConfig ts2 = DecodeHeatSystemConfig(demo.InputImage, demo.HoldingImage, 1);
    EXPECT_EQ(std::string(SchemeNames[ts2.SchemeIndex]), "2.5");
    EXPECT_NE(GetSchemeDescriptor(ts2).Flags & SchemeFlag::HotWater, 0u);
}

// The demo's current values as a heat engineer reads them.
struct Reading {
    explicit Reading(const InstrumentState& state) : s(state) {}
    float Float(uint16_t reg) const
    {
        return std::bit_cast<float>(static_cast<uint32_t>(s.Register(reg)) << 16 | s.Register(static_cast<uint16_t>(reg + 1)));
    }
    double Exact(uint16_t reg) const
    {
        const auto whole = static_cast<int32_t>(static_cast<uint32_t>(s.Register(reg)) << 16 |
                                                s.Register(static_cast<uint16_t>(reg + 1)));
        return whole + Float(static_cast<uint16_t>(reg + 2));
    }
    uint32_t U32(uint16_t reg) const
    {
        return static_cast<uint32_t>(s.Register(reg)) << 16 | s.Register(static_cast<uint16_t>(reg + 1));
    }
    double Celsius(uint16_t reg) const { return static_cast<int16_t>(s.Register(reg)) / 100.0; }
    double Mpa(uint16_t reg) const { return static_cast<int16_t>(s.Register(reg)) / 10000.0; }
    const InstrumentState& s;
};

// Checks the current values against the demo's settings: the heat systems' formulas (with the
// enthalpy taken as the temperature, kcal/kg), Q3 = Q1 + Q2, masses and differences, and the
// working time against the start of work and the clock.
void ExpectConsistent(const InstrumentState& state, uint32_t secondsSinceStart)
{
    const Reading r(state);
    ASSERT_EQ(state.Register(40179) & 0xFF, 2) << "Q3 = Q1 + Q2";
    const double Gm1 = r.Float(30119), Gm2 = r.Float(30121), Gm3 = r.Float(30123), Gm4 = r.Float(30125),
                 Gm5 = r.Float(30127);
    const double t1 = r.Celsius(30131), t2 = r.Celsius(30132), t3 = r.Celsius(30133), t4 = r.Celsius(30134),
                 tCold = r.Celsius(30136);
    const double W1 = r.Float(30257), W2 = r.Float(30340), W2o = r.Float(30342), W2gvs = r.Float(30344);
    // Q1 = M1·h1 - M2·h2 (the free configuration of one supply pipe and one return).
    EXPECT_NEAR(W1, (Gm1 * t1 - Gm2 * t2) / 1000.0, 2e-4);
    // Q2 = M3(h3-h4) + M5(h4-hх) (scheme "2.5"), its heating and hot-water parts.
    EXPECT_NEAR(W2o, Gm3 * (t3 - t4) / 1000.0, 2e-4);
    EXPECT_NEAR(W2gvs, Gm5 * (t4 - tCold) / 1000.0, 2e-4);
    EXPECT_NEAR(W2, W2o + W2gvs, 1e-6);
    EXPECT_NEAR(r.Float(30129), W1 + W2, 1e-6) << "W3";
    const double Q1 = r.Exact(30217), Q2 = r.Exact(30300);
    EXPECT_NEAR(r.Exact(30103), Q1 + Q2, 1e-2) << "Q3";
    EXPECT_NEAR(Q2, r.Exact(30304) + r.Exact(30308), 1e-2) << "Q2 = Q2o + Q2gvs";
    for (uint16_t n = 0; n < 5; ++n) {
        const double Gv = r.Float(static_cast<uint16_t>(30107 + 2 * n));
        const double Gm = r.Float(static_cast<uint16_t>(30119 + 2 * n));
        EXPECT_GT(Gm, 0.95 * Gv) << "channel " << n + 1;
        EXPECT_LT(Gm, 1.0 * Gv) << "channel " << n + 1;
        const double V = r.Exact(static_cast<uint16_t>(30059 + 4 * n)), M = r.Exact(static_cast<uint16_t>(30083 + 4 * n));
        EXPECT_NEAR(M / V, Gm / Gv, 0.002) << "channel " << n + 1;
    }
    // Differences of heat system 1 (channels 1 and 2) and 2 (channels 3 and 4).
    EXPECT_NEAR(r.Celsius(30265), t1 - t2, 0.011);
    EXPECT_NEAR(r.Float(30263), Gm1 - Gm2, 1e-4);
    EXPECT_NEAR(r.Celsius(30348), t3 - t4, 0.011);
    EXPECT_NEAR(r.Float(30346), Gm3 - Gm4, 1e-4);
    EXPECT_NEAR(r.Mpa(30266), r.Mpa(30137) - r.Mpa(30138), 1e-4);
    // Working time: from the start of work to the clock, less the time without power.
    using namespace std::chrono;
    const auto moment = [&](uint16_t first) {
        return sys_days{year{2000 + state.Register(first)} / state.Register(first + 1) / state.Register(first + 2)} +
               hours{state.Register(first + 3)} + minutes{state.Register(first + 4)};
    };
    const auto on = duration_cast<minutes>(moment(40001) - moment(30001)).count() - r.U32(30162);
    EXPECT_NEAR(static_cast<double>(r.U32(30160)), static_cast<double>(on), 1.0 + secondsSinceStart / 60.0);
    EXPECT_EQ(r.U32(30268), r.U32(30160)) << "heat system 1 works as long as the instrument";
}

TEST(DemoState, CurrentValuesAgreeWithTheSettingsAndFormulas)
{
    InstrumentState demo = DemoState(Model::Dax01);
    ExpectConsistent(demo, 0);
    DemoMotion motion;
    for (uint32_t second = 1; second <= 200; ++second) {
        motion(demo);
        if (second % 50 == 0) {
            SCOPED_TRACE(second);
            ExpectConsistent(demo, second);
        }
    }
}

// Each read of current values moves the demo on by a second: counters grow, flows change a
// little, the clock ticks; settings stay. The same requests always get the same answers.
TEST(DemoState, CountersAndFlowsMoveWithEachReadOfCurrentValues)
{
    const auto request = [](uint8_t function, uint16_t first, uint16_t count) {
        std::vector<uint8_t> frame = {1, function, static_cast<uint8_t>((first - (function == 4 ? 30001 : 40001)) >> 8),
                                      static_cast<uint8_t>((first - (function == 4 ? 30001 : 40001)) & 0xFF),
                                      static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count & 0xFF)};
        AppendCrc(frame);
        return frame;
    };
    const auto run = [&] {
        Instrument instrument(DemoState(Model::Dax01), 1);
        instrument.SetBeforeCurrentRead(DemoMotion{});
        std::vector<std::vector<uint8_t>> answers;
        for (int poll = 0; poll < 30; ++poll) {
            answers.push_back(instrument.Answer(request(4, 30059, 85)));
            answers.push_back(instrument.Answer(request(3, 40001, 6)));
        }
        return std::pair{answers, instrument.State()};
    };
    const auto [answers, state] = run();
    const auto word = [](const std::vector<uint8_t>& answer, size_t index) {
        return static_cast<uint16_t>(answer[3 + 2 * index] << 8 | answer[4 + 2 * index]);
    };
    // V1 (an exact counter from 30059) grows; Gv1 (30107) is not the same at every read.
    const InstrumentState start = DemoState(Model::Dax01);
    const Reading first(start);
    const Reading last(state);
    EXPECT_GT(last.Exact(30059), first.Exact(30059));
    EXPECT_NE(last.Float(30107), first.Float(30107));
    EXPECT_NEAR(last.Float(30107), first.Float(30107), 0.02 * first.Float(30107));
    EXPECT_NE(answers[0], answers[2]);
    // The clock of the 30th poll stands 30 seconds on: 10:25:30.
    const std::vector<uint8_t>& clock = answers.back();
    EXPECT_EQ(word(clock, 3), 10);
    EXPECT_EQ(word(clock, 4), 25);
    EXPECT_EQ(word(clock, 5), 30);
    // Settings do not move.
    EXPECT_EQ(std::vector<uint8_t>(state.HoldingImage.begin() + 12, state.HoldingImage.end()),
              std::vector<uint8_t>(start.HoldingImage.begin() + 12, start.HoldingImage.end()));
    EXPECT_EQ(run().first, answers) << "the same requests get the same answers";
}

} // namespace
