// The register map checked against facts the instrument's documentation states apart from its
// rows: the binding count of every group, the registers no binding covers, the read blocks of
// every page, where registers may be shared, and a sample of exact dump lines.

#include "presentation/FrameBindingTable.h"
#include "presentation/FramePages.h"
#include "presentation/FrameValueLists.h"

#include "device/Daxcore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::vector<BindingDescription>& All()
{
    return FrameBindingDescriptions();
}

// Register r in the IR space as r, in the HR space as r too: the two ranges do not meet.
std::set<int> CoveredBy(const std::vector<BindingDescription>& descriptions)
{
    std::set<int> covered;
    for (const BindingDescription& d : descriptions)
        for (uint16_t r : CoveredRegisters(d))
            covered.insert(r);
    return covered;
}

struct RegisterRange {
    int first;
    int last;
};

std::set<int> Expand(std::initializer_list<RegisterRange> ranges)
{
    std::set<int> result;
    for (const RegisterRange& range : ranges)
        for (int r = range.first; r <= range.last; ++r)
            result.insert(r);
    return result;
}

const BindingDescription& ByPath(const std::string& path, int occurrence = 0)
{
    for (const BindingDescription& d : All())
        if (d.ControlPath == path && occurrence-- == 0)
            return d;
    throw std::runtime_error("no binding for " + path);
}

TEST(FrameBindingsTable, GroupCountsInCreationOrder)
{
    const std::array<int, kBindingGroupCount> expected = {72, 63, 63, 46, 11, 8, 18, 18, 14, 11, 54,
                                                          3,  32, 17, 5,  2,  1, 5,  4,  3,  9,  6,
                                                          4,  4,  1,  3,  4,  18, 24, 28, 52, 16, 8};
    EXPECT_EQ(FrameBindingGroupCounts(), expected);
    EXPECT_EQ(static_cast<int>(All().size()), kFrameBindingCount);

    // Groups come in one run each, in the order 0-3, 19, 20, 4-18, 21-32, indexed from 0.
    std::vector<int> order;
    int expectedIndex = 0;
    for (const BindingDescription& d : All()) {
        if (order.empty() || order.back() != d.Group) {
            order.push_back(d.Group);
            expectedIndex = 0;
        }
        EXPECT_EQ(d.Index, expectedIndex++) << d.ControlPath;
    }
    std::vector<int> creationOrder = {0, 1, 2, 3, 19, 20};
    for (int g = 4; g <= 18; ++g)
        creationOrder.push_back(g);
    for (int g = 21; g <= 32; ++g)
        creationOrder.push_back(g);
    EXPECT_EQ(order, creationOrder);
}

TEST(FrameBindingsTable, UncoveredRegistersAreExactlyTheDocumentedOnes)
{
    const std::set<int> uncoveredInput =
        Expand({{30013, 30058}, {30144, 30159}, {30202, 30216}, {30284, 30299}, {30367, 30382}, {30474, 30474},
                {30477, 30477}, {30480, 30481}});
    const std::set<int> uncoveredHolding =
        Expand({{40010, 40010}, {40021, 40036}, {40059, 40069}, {40075, 40075}, {40089, 40096}, {40106, 40108},
                {40118, 40125}, {40139, 40146}, {40156, 40158}, {40168, 40178}, {40195, 40202}, {40214, 40215},
                {40340, 40343}, {40348, 40355}, {40362, 40364}, {40373, 40376}, {40395, 40398}, {40403, 40406},
                {40434, 40437}, {40450, 40453}, {40457, 40460}});

    const std::set<int> covered = CoveredBy(All());
    std::set<int> notCovered;
    for (int r = 30001; r <= 30481; ++r)
        if (!covered.contains(r))
            notCovered.insert(r);
    EXPECT_EQ(notCovered, uncoveredInput);
    notCovered.clear();
    for (int r = 40001; r <= 40596; ++r)
        if (!covered.contains(r))
            notCovered.insert(r);
    EXPECT_EQ(notCovered, uncoveredHolding);

    // The LCD calibration word is covered by the delegate alone.
    std::vector<std::string> at40078;
    for (const BindingDescription& d : All())
        for (uint16_t r : CoveredRegisters(d))
            if (r == 40078)
                at40078.push_back(std::string(BindingKindTag(d.Kind)) + " " + std::to_string(d.Group));
    EXPECT_EQ(at40078, std::vector<std::string>{"delegate 16"});
}

TEST(FrameBindingsTable, EveryGroupLiesInsideItsPagesReadBlocks)
{
    // The blocks each page reads: its own block, or the blocks of its page kind.
    using Blocks = std::vector<RegisterBlock>;
    const Blocks heatSystem1 = {{30217, 83}, {30059, 85}, {30160, 42}};
    const Blocks heatSystem2 = {{30300, 83}, {30059, 85}, {30160, 42}};
    const Blocks general = {{30059, 85}, {30160, 42}};
    const Blocks settings = {{40001, 38}, {30001, 20}};
    const std::map<int, Blocks> expected = {
        {0, {{30383, 97}}},   {1, heatSystem1},         {2, heatSystem2},         {3, general},
        {4, {{40079, 10}, {40126, 3}}},                 {5, {{40129, 10}}},       {6, {{40097, 21}}},
        {7, {{40147, 21}}},   {8, {{40179, 16}}},       {9, {{40203, 11}}},       {10, {{40216, 88}}},
        {11, {{40216, 88}}},  {12, {{40304, 32}}},      {13, {{40037, 42}}},      {14, {{40037, 42}}},
        {15, {{40037, 42}}},  {16, {{40037, 42}}},      {17, settings},           {18, settings},
        {19, settings},       {20, settings},           {21, {{40356, 51}}},      {22, {{40356, 51}}},
        {23, {{40356, 51}}},  {24, {{40356, 51}}},      {25, {{40356, 51}}},      {26, {{40356, 51}}},
        {27, {{40407, 54}}},  {28, {{40461, 24}}},      {29, {{40485, 32}}},      {30, {{40517, 64}}},
        {31, {{40581, 16}}},  {32, {{40336, 12}}},
    };
    ASSERT_EQ(expected.size(), static_cast<size_t>(kBindingGroupCount));

    auto inside = [](const Blocks& blocks, int r) {
        return std::any_of(blocks.begin(), blocks.end(),
                           [r](const RegisterBlock& b) { return r >= b.First && r < b.First + b.Count; });
    };
    for (const BindingDescription& d : All())
        for (uint16_t r : CoveredRegisters(d))
            EXPECT_TRUE(inside(expected.at(d.Group), r)) << "group " << int{d.Group} << " " << d.ControlPath << " " << r;

    // The page table reads at least those blocks for the page whose read shows the group.
    for (const auto& [group, blocks] : expected) {
        const FramePage* page = PageOfGroup(static_cast<uint8_t>(group));
        ASSERT_NE(page, nullptr) << group;
        const Blocks read = PageReadBlocks(*page);
        for (const RegisterBlock& block : blocks)
            EXPECT_NE(std::find(read.begin(), read.end(), block), read.end()) << "group " << group;
    }
}

TEST(FrameBindingsTable, PagesShowTheirGroups)
{
    const std::map<int, std::vector<int>> shown = {
        {0, {1}},          {2, {2}},          {4, {3}},   {11, {4}},  {12, {6}},  {13, {5}},
        {14, {7}},         {15, {8}},         {16, {9}},  {17, {0}},  {18, {10, 11}},
        {19, {12}},        {20, {13, 14, 15, 16}},        {21, {17, 18, 19, 20}},
        {23, {21, 22, 23, 24, 25, 26}},       {24, {27}}, {25, {28}}, {26, {29}}, {27, {30}},
        {28, {31}},        {29, {32}},
    };
    for (int id = -1; id <= 40; ++id) {
        const std::span<const uint8_t> groups = GroupsShownByReadId(id);
        const std::vector<int> actual(groups.begin(), groups.end());
        const auto it = shown.find(id);
        EXPECT_EQ(actual, it == shown.end() ? std::vector<int>{} : it->second) << id;
    }
    // Pages 1 and 3 (the abnormal-situation counters) read as pages 0 and 2.
    EXPECT_EQ(FindFramePage(1)->ReadId, 0);
    EXPECT_EQ(FindFramePage(3)->ReadId, 2);
    EXPECT_EQ(FindFramePage(22), nullptr);
    EXPECT_EQ(PageReadBlocks(*FindFramePage(0)),
              (std::vector<RegisterBlock>{{40180, 2}, {40079, 4}, {40126, 3}, {30217, 83}, {30059, 85}, {30160, 42}}));
}

// A poll reads only input registers: it shows the groups that hold current values and leaves
// the settings groups of its page alone.
TEST(FrameBindingsTable, PollsShowOnlyTheGroupsOfCurrentValues)
{
    for (int id = -1; id <= 40; ++id) {
        const std::span<const uint8_t> poll = GroupsShownByPoll(id);
        const bool polled = id == 0 || id == 2 || id == 4 || id == 17 || id == 21;
        EXPECT_EQ(poll.empty(), !polled) << id;
        if (!polled)
            continue;
        for (const uint8_t group : GroupsShownByReadId(id)) {
            const bool currentValues = std::any_of(All().begin(), All().end(), [group](const BindingDescription& d) {
                return d.Group == group && d.Space == FieldSpace::InputRegister;
            });
            const bool shown = std::find(poll.begin(), poll.end(), group) != poll.end();
            EXPECT_EQ(shown, currentValues) << "read id " << id << ", group " << int{group};
        }
    }
    EXPECT_EQ(std::vector<uint8_t>(GroupsShownByPoll(21).begin(), GroupsShownByPoll(21).end()),
              (std::vector<uint8_t>{19, 20}));
}

TEST(FrameBindingsTable, RegistersAreSharedOnlyWhereDocumented)
{
    // The channel registers are shown by both heat systems and the general page.
    const std::set<int> channelRegisters = Expand({{30059, 30128}, {30131, 30143}, {30192, 30197}});
    std::map<int, std::vector<const BindingDescription*>> byRegister;
    for (const BindingDescription& d : All())
        for (uint16_t r : CoveredRegisters(d))
            byRegister[r].push_back(&d);

    for (const auto& [r, bindings] : byRegister) {
        if (bindings.size() == 1)
            continue;
        std::set<int> groups;
        for (const BindingDescription* d : bindings)
            groups.insert(d->Group);
        if (channelRegisters.contains(r)) {
            EXPECT_EQ(groups.size(), bindings.size()) << r << ": once per group";
            const std::set<int> currentValueGroups = {1, 2, 3};
            EXPECT_TRUE(std::includes(currentValueGroups.begin(), currentValueGroups.end(), groups.begin(),
                                      groups.end()))
                << r;
        } else if (r == 40037 || r == 40038) {
            EXPECT_EQ(groups, (std::set<int>{13, 20})) << r;
            EXPECT_EQ(bindings.size(), 2u) << r;
        } else if (r >= 40011 && r <= 40018) {
            ADD_FAILURE() << "password ranges are separate registers: " << r;
        } else {
            ADD_FAILURE() << "register " << r << " is bound " << bindings.size() << " times";
        }
    }
    // The password edit is bound twice, to both ranges.
    const BindingDescription& first = ByPath("Password", 0);
    const BindingDescription& second = ByPath("Password", 1);
    EXPECT_EQ(first.Register, 40011);
    EXPECT_EQ(second.Register, 40015);
    EXPECT_EQ(first.Group, 18);
    EXPECT_EQ(second.Group, 18);
}

TEST(FrameBindingsTable, FieldsLieInsideTheirImages)
{
    for (const BindingDescription& d : All()) {
        for (uint16_t r : CoveredRegisters(d)) {
            if (d.Space == FieldSpace::InputRegister) {
                EXPECT_TRUE(r >= 30001 && r <= 30481) << d.ControlPath;
            } else {
                EXPECT_TRUE(r >= 40001 && r <= 40596) << d.ControlPath;
            }
        }
        if (d.Space == FieldSpace::Identification) {
            EXPECT_LE(d.TextLength, kIdentificationFieldSize) << d.ControlPath;
        }
        if (d.Kind == BindingKind::Text) {
            EXPECT_EQ(d.RegisterCount * 2, d.TextLength) << d.ControlPath;
        }
    }
}

TEST(FrameBindingsTable, ControlPathsAreUniqueExceptThePassword)
{
    std::map<std::string, int> seen;
    for (const BindingDescription& d : All())
        if (d.Kind != BindingKind::Delegate)
            ++seen[d.ControlPath];
    for (const auto& [path, count] : seen)
        EXPECT_EQ(count, path == "Password" ? 2 : 1) << path;
    EXPECT_EQ(seen.count(""), 0u);
}

struct DumpCase {
    const char* path;
    int occurrence;
    const char* line;
};

void PrintTo(const DumpCase& c, std::ostream* os)
{
    *os << c.path;
}

class FrameBindingsDumpLines : public testing::TestWithParam<DumpCase> {};

TEST_P(FrameBindingsDumpLines, Exact)
{
    EXPECT_EQ(BindingDumpLine(ByPath(GetParam().path, GetParam().occurrence)), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, FrameBindingsDumpLines,
    testing::Values(
        DumpCase{"ConfigurationTS1/W_Contract", 0,
                 "4\t1\tfloat\t1\tHR 40085-40086\t%.5f\t\t0…99999\tConfigurationTS1/W_Contract (TEdit)\t\"W_дог\""},
        DumpCase{"ConfigurationTS2/W_Contract", 0,
                 "5\t1\tfloat\t1\tHR 40135-40136\t%.5f\t\t0…99999\tConfigurationTS2/W_Contract (TEdit)\t\"W_дог\""},
        DumpCase{"TS1_Current/Q1Current", 0, "1\t0\texact\t10\tIR 30217-30220\t%013.3f\t\t\tTS1_Current/Q1Current (TEdit)\t–"},
        DumpCase{"TS2_Current/Q2Current", 0, "2\t0\texact\t10\tIR 30300-30303\t%013.3f\t\t\tTS2_Current/Q2Current (TEdit)\t–"},
        DumpCase{"TS1_Current/tair1Current", 0, "1\t13\ttemp\t12\tAirChannelWordTS1\t%.2f\t\t\tTS1_Current/tair1Current (TEdit)\t–"},
        DumpCase{"TS2_Current/tair2Current", 0, "2\t13\ttemp\t12\tAirChannelWordTS2\t%.2f\t\t\tTS2_Current/tair2Current (TEdit)\t–"},
        DumpCase{"TS2_Current/M1Current", 0, "2\t16\texact\t10\tIR 30083-30086\t%013.3f\t\t\tTS2_Current/M1Current (TEdit)\t–"},
        DumpCase{"TS1_Current/Gm1Current", 0, "1\t17\tfloat\t1\tIR 30119-30120\t%.5f\t\t\tTS1_Current/Gm1Current (TEdit)\t–"},
        DumpCase{"TS1_Current/M2Current", 0, "1\t23\texact\t10\tIR 30087-30090\t%013.3f\t\t\tTS1_Current/M2Current (TEdit)\t–"},
        DumpCase{"Model", 0, "20\t3\ttext 16\t2\tModelText\t\t\t\tModel (TEdit)\t–"},
        DumpCase{"InitDatePicker", 0, "19\t0\tdate\t19\tIR day 30003 month 30002 year 30001\t\t\t\tInitDatePicker (TDateTimePicker)\t–"},
        DumpCase{"SummerPeriodStart", 0,
                 "8\t12\tdate\t19\tHR day 40192 month 40191\t\t\t\tSummerPeriodStart (TDateTimePicker)\t\"Начало летнего периода\""},
        DumpCase{"", 0, "16\t0\tdelegate\t21\tHR 40078 delegate\t\t\t\t\t–"},
        DumpCase{"Password", 1, "18\t1\ttext 8 swap\t2\tHR 40015-40018\t\t\t\tPassword (TEdit)\t\"Пароль\""},
        DumpCase{"ReactionTS2/Go_More_Gp_Less_GpK_Reaction", 0,
                 "7\t14\tcombo\t16\tHR 40164\t\tImbalance34ReactionNames (5)\t\tReactionTS2/Go_More_Gp_Less_GpK_Reaction "
                 "(TComboBox)\t\"G3*Kпр >= G4 > G3\""},
        DumpCase{"UartMode_1", 0, "23\t1\tcombo\t16\tHR 40371\t\tPort2ModeNames (2)\t\tUartMode_1 (TComboBox)\t\"Режим порта 2\""},
        DumpCase{"DaxSignalA/ConditionKoef1", 0,
                 "29\t25\tfloat\t1\tHR 40499-40500\t%g\t\t\tDaxSignalA/ConditionKoef1 (TEdit)\t\"Коэфициент K1 сигнала A\""},
        DumpCase{"DaxSignal9/SignalType", 0,
                 "29\t0\tcombo\t16\tHR 40485\t\tSignalTypeNames (2)\t\tDaxSignal9/SignalType (TComboBox)\t\"Тип сигнала 9\""},
        DumpCase{"DaxSignalD/TimerDays", 0,
                 "30\t40\tval4\t18\tHR 40529-40530\t\t\t\tDaxSignalD/TimerDays (TBitEditComboBox)\t\"Дни таймера сигнала D\""},
        DumpCase{"DaxEvent8/Mask", 0, "31\t15\tval2\t18\tHR 40596\t\tSignalNames (16)\t\tDaxEvent8/Mask (TBitEditComboBox)\t\"Маска события 8\""},
        DumpCase{"t_max1", 0, "12\t10\ttemp\t12\tHR 40314\t%.2f\t\t-50…180\tt_max1 (TEdit)\t\"t_max1\""},
        DumpCase{"BP_6", 0, "13\t16\ti16\t6\tHR 40058\t%d\t\t\tBP_6 (TEdit)\t–"}));

TEST(FrameBindingsTable, NamesFollowTheirInstances)
{
    // Group 9's five reactions keep the caption their labels have when the bindings are made.
    int reactions = 0;
    for (const BindingDescription& d : All())
        if (d.Group == 9 && d.Name == "Кан. реакции")
            ++reactions;
    EXPECT_EQ(reactions, 5);
    EXPECT_EQ(ByPath("CWS6").Name, "Канал ХВС 6");
    // A signal's mask condition and comparison condition share their name.
    EXPECT_EQ(ByPath("DaxSignal9/MaskCondition").Name, "Условие сигнала 9");
    EXPECT_EQ(ByPath("DaxSignal9/ParamCondition").Name, "Условие сигнала 9");
    EXPECT_EQ(ByPath("DaxSignalG/ParamCondition").Name, "Условие сигнала G");
    EXPECT_EQ(ByPath("ConfigurationTS2/SchemeComboBox").Name, "Схема ТС2");
    EXPECT_EQ(ByPath("ReactionTS1/Q_LessZeroReaction").Name, "Q1 < 0");
    EXPECT_EQ(ByPath("ReactionTS2/Q_LessZeroReaction").Name, "Q2 < 0");
    EXPECT_EQ(ByPath("ReactionTS2/dt_LessZeroReaction").Name, "dt < 0");
    EXPECT_EQ(ByPath("UartSpeed_0").Name, "Скорость порта 1");
    EXPECT_EQ(ByPath("DelayPacket_1").Name, "Дополнительный таймаут порта 2");
    EXPECT_EQ(ByPath("RemoteIpAddress_3").Name, "IP адрес 3");
    EXPECT_EQ(ByPath("P6_contract").Name, "P6_дог");
    EXPECT_EQ(ByPath("G6_ots").Name, "G_отс6");
    // Heat system 2 has its own flag names; the channel flags are the same for both.
    EXPECT_EQ(ByPath("TS2_Current/NSTS2Current").List.Items, HeatSystem2FlagNames.data());
    EXPECT_EQ(ByPath("TS1_Current/NSTS1Current").List.Items, HeatSystem1FlagNames.data());
}

TEST(FrameBindingsTable, ListsAreTheSharedVocabulary)
{
    // The settings vocabulary of the device core is used, not copied.
    EXPECT_EQ(ByPath("ConfigurationTS1/TairChanel").List.Items, TempChannelNames.data());
    EXPECT_EQ(ByPath("ConfigurationTS1/SchemeComboBox").List.Items, SchemeNames.data());
    EXPECT_EQ(ByPath("TS1_Current/ChanelNS1_Current").List.Items, ChannelFlagNames.data());
    EXPECT_EQ(ByPath("NSH_TSP5").List.Items, SensorCurveNames.data());
    EXPECT_EQ(ByPath("V_Status1").List.Items, FlowStatusNames.data());
    EXPECT_EQ(ByPath("ImpulseWeight1").List.Items, PulseWeightProposals.data());
    // Every combo and status binding has its items; a scheme combo lists the 29 schemes.
    for (const BindingDescription& d : All()) {
        if (d.Class == ControlClass::TComboBox) {
            EXPECT_FALSE(d.List.empty()) << d.ControlPath;
        }
    }
    EXPECT_EQ(ByPath("DaxSignalB/ParamCondition").List.Count, 3);
    EXPECT_EQ(ByPath("DaxSignalE/ParamCondition").List.Count, 10);
}

TEST(FrameBindingsTable, BitNamesOfSignalMasksFollowTheirParameter)
{
    EXPECT_EQ(MaskParamBitNames(0).data(), HardwareFlagNames.data());
    EXPECT_EQ(MaskParamBitNames(1).data(), ModeFlagNames.data());
    for (int channel = 2; channel <= 7; ++channel)
        EXPECT_EQ(MaskParamBitNames(channel).data(), ChannelFlagNames.data()) << channel;
    EXPECT_EQ(MaskParamBitNames(8).data(), HeatSystem1FlagNames.data());
    EXPECT_EQ(MaskParamBitNames(9).data(), HeatSystem2FlagNames.data());
    EXPECT_EQ(MaskParamBitNames(10).data(), ChannelFlagNames.data());
    EXPECT_EQ(MaskParamBitNames(11).data(), ChannelFlagNames.data());
    EXPECT_TRUE(MaskParamBitNames(12).empty());
    EXPECT_TRUE(MaskParamBitNames(-1).empty());
    EXPECT_EQ(TimerDayBitNames(1).size(), 7u);
    EXPECT_STREQ(TimerDayBitNames(1)[6], "Суббота");
    EXPECT_EQ(TimerDayBitNames(2).size(), 31u);
    EXPECT_STREQ(TimerDayBitNames(2)[30], "31");
    EXPECT_TRUE(TimerDayBitNames(0).empty());
    EXPECT_TRUE(TimerDayBitNames(-1).empty());
}

} // namespace
