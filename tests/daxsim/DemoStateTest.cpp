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
        for (int type = 0; type < kRecordTypeCount; ++type) {
            EXPECT_EQ(demo.Rings[type].Highest, fixture.Rings[type].Highest) << type;
            EXPECT_EQ(demo.Rings[type].First, fixture.Rings[type].First) << type;
            EXPECT_EQ(demo.Rings[type].Next, fixture.Rings[type].Next) << type;
            EXPECT_EQ(demo.Rings[type].Slots.size(), fixture.Rings[type].Slots.size()) << type;
            for (uint16_t reg = 0; reg < 3; ++reg) {
                const auto pointer = static_cast<uint16_t>(kFirstRingPointerRegister + 3 * type + reg);
                EXPECT_EQ(demo.Register(pointer), fixture.Register(pointer)) << pointer;
            }
        }
    }
}

// The records read like an instrument's: dated in time order up to its clock (14 June 2024,
// 10:25), every check word right but the fixture's one bad hour record, every journal entry
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
            const bool bad = type == 0 && bytes == ring.Slots[kFixtureBadHourRecord];
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
    EXPECT_EQ(frame.Control("TS1_Current/tair1Current").Text(), "10.50");
    EXPECT_EQ(frame.Control("SerialNumInfo").Text(), "12345");
    EXPECT_EQ(frame.Control("V_Status6").Text(), "Отключен");
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
    EXPECT_EQ(FreeSchemeFlags(ts1) >> 8, 4); // four pipes
    const HeatSystemConfig ts2 = DecodeHeatSystemConfig(demo.InputImage, demo.HoldingImage, 1);
    EXPECT_EQ(std::string(SchemeNames[ts2.SchemeIndex]), "2.5");
    EXPECT_NE(GetSchemeDescriptor(ts2).Flags & SchemeFlag::HotWater, 0u);
}

} // namespace
