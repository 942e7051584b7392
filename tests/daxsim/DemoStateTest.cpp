// The demo instrument against the device pages' bindings (over fake controls): every bound
// register shows without complaint, every setting validates, and storing the settings back
// gives the very bytes the instrument holds.

#include "DemoState.h"

#include "FakeFrame.h"

#include "device/Daxcore.h"
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

TEST(DemoState, KeepsTheFixturesIdentificationAndRings)
{
    for (Model model : {Model::Dax01, Model::Dax02}) {
        const InstrumentState demo = DemoState(model);
        const InstrumentState fixture = FixtureState(model);
        EXPECT_TRUE(demo.IsValid());
        EXPECT_EQ(demo.ModelText, fixture.ModelText);
        EXPECT_EQ(demo.Version, fixture.Version);
        for (int type = 0; type < kRecordTypeCount; ++type) {
            EXPECT_EQ(demo.Rings[type].Slots, fixture.Rings[type].Slots) << type;
            for (uint16_t reg = 0; reg < 3; ++reg) {
                const auto pointer = static_cast<uint16_t>(kFirstRingPointerRegister + 3 * type + reg);
                EXPECT_EQ(demo.Register(pointer), fixture.Register(pointer)) << pointer;
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
