#include "device/Daxcore.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

HeatSystemConfig Config(uint8_t system, uint8_t code, uint8_t direct = 1, uint8_t reverse = 0, uint8_t makeUp = 0,
                        uint8_t controlChannel = 5)
{
    HeatSystemConfig config;
    config.System = system;
    config.SchemeIndex = SchemeCodeToIndex(code);
    config.DirectPipes = direct;
    config.ReversePipes = reverse;
    config.MakeUpPipes = makeUp;
    config.ControlChannel = controlChannel;
    return config;
}

TEST(SchemeTables, StatedFacts)
{
    ASSERT_EQ(SchemeCodes.size(), 29u);
    EXPECT_EQ(SchemeFormulas.size(), 40u);
    std::set<uint8_t> codes;
    for (size_t i = 0; i < SchemeCodes.size(); ++i) {
        const uint8_t code = SchemeCodes[i];
        codes.insert(code);
        EXPECT_EQ(SchemeCodeToIndex(code), i);
        // A scheme's name is its group digit, a point and its variant digit.
        if (i > 0) {
            EXPECT_EQ(SchemeNames[i], std::to_string(code >> 4) + "." + std::to_string(code & 0x0F)) << i;
        }
        for (const auto* rows : {&SchemeRowsTS1, &SchemeRowsTS2}) {
            const SchemeDescriptor& d = (*rows)[i];
            EXPECT_EQ(d.PointMask & 0x8000, 0) << i;
            EXPECT_EQ(d.ExtraFlowMask & ~0x7C00, 0) << i;
            EXPECT_TRUE(d.Formula < SchemeFormulas.size() || d.Formula == kFreeSchemeFormula) << i;
        }
    }
    EXPECT_EQ(codes.size(), 29u) << "scheme codes are unique";
    EXPECT_STREQ(SchemeNames[0], "Не использ.");
    EXPECT_EQ(SchemeRowsTS1[kFreeSchemeIndex].Formula, kFreeSchemeFormula);
    EXPECT_STREQ(SchemeNames[kFreeSchemeIndex], "5.9");
    // Heat system 2 computes nothing under "5.1" to "5.4" and "5.9".
    for (uint8_t index : {16, 17, 18, 19, 24})
        EXPECT_EQ(SchemeRowsTS2[index], SchemeDescriptor{}) << int{index};
    std::set<uint8_t> used;
    for (const auto& d : SchemeRowsTS1)
        used.insert(d.Formula);
    for (const auto& d : SchemeRowsTS2)
        used.insert(d.Formula);
    used.erase(kFreeSchemeFormula);
    EXPECT_EQ(used.size(), 40u) << "every formula serves a scheme";
}

TEST(SchemeTables, FormulaTexts)
{
    EXPECT_STREQ(SchemeFormulaText(0), "Q = 0");
    EXPECT_STREQ(SchemeFormulaText(26), "Q = M1·h1-M2·h2-M3·h4");
    EXPECT_STREQ(SchemeFormulaText(39), "Q = M3(h3-hх)-M4(h4-hх)+M5(h4-hх)");
    for (uint8_t formula : {40, 41, 255}) {
        try {
            SchemeFormulaText(formula);
            FAIL() << int{formula};
        } catch (const platform::Exception& e) {
            EXPECT_EQ(e.Message(), "Неизвестная формула расчета тепловой энергии " + std::to_string(formula));
        }
    }
    // The "х" of "hх" is Cyrillic.
    EXPECT_NE(std::string(SchemeFormulas[5]).find("h1-h\u0445"), std::string::npos);
}

TEST(Schemes, CodeToIndex)
{
    EXPECT_EQ(SchemeCodeToIndex(0x00), 0);
    EXPECT_EQ(SchemeCodeToIndex(0x15), 0);
    EXPECT_EQ(SchemeCodeToIndex(0xFF), 0);
    EXPECT_EQ(SchemeCodeToIndex(0x64), 28);
    EXPECT_EQ(SchemeCodeToIndex(0x59), 24);
    EXPECT_EQ(SchemeCodeToIndex(0x11), 1);
}

TEST(Schemes, Descriptors)
{
    struct Case {
        const char* what;
        HeatSystemConfig config;
        SchemeDescriptor expected;
    };
    HeatSystemConfig outOfTable;
    outOfTable.SchemeIndex = 29;
    const Case cases[] = {
        {"TS1 2.4: V1, V2 and V1-V2, no heat energy", Config(0, 0x24), {0x0C00, 0, 0x400, 0}},
        {"TS2 5.2 is empty", Config(1, 0x52), {}},
        {"TS2 1.1", Config(1, 0x11), {0x118C, 0, 0x20004, 3}},
        {"TS1 6.4", Config(0, 0x64), {0x4C63, 0, 0x18093, 38}},
        {"TS1 5.9 with 2 direct, 2 reverse, 1 make-up", Config(0, 0x59, 2, 2, 1), {0x7FFF, 0, 0x801F, 40}},
        {"TS1 5.9 with 1 direct", Config(0, 0x59, 1, 0, 0), {0x0421, 0, 0x1, 40}},
        {"TS1 5.9 with 0 direct, 2 reverse", Config(0, 0x59, 0, 2, 0), {0x1CE7, 0, 0x7, 40}},
        {"TS2 5.9 whatever the pipes", Config(1, 0x59, 3, 1, 1), {}},
        {"system 7 counts as heat system 2", Config(7, 0x11), {0x118C, 0, 0x20004, 3}},
        {"index 29", outOfTable, {}},
    };
    for (const auto& c : cases) {
        const SchemeDescriptor d = GetSchemeDescriptor(c.config);
        EXPECT_EQ(d.PointMask, c.expected.PointMask) << c.what;
        EXPECT_EQ(d.ExtraFlowMask, c.expected.ExtraFlowMask) << c.what;
        EXPECT_EQ(d.Flags, c.expected.Flags) << c.what;
        EXPECT_EQ(d.Formula, c.expected.Formula) << c.what;
    }
}

TEST(Schemes, FreeSchemeFlags)
{
    struct Case {
        uint8_t direct, reverse, makeUp;
        uint16_t expected;
    };
    const Case cases[] = {
        {2, 2, 1, 0x0542}, // pipe 2 direct, 3 and 4 reverse, 5 make-up
        {1, 0, 0, 0x0100},
        {0, 2, 0, 0x0300}, // a direct count of 0 behaves as 1
        {5, 0, 0, 0x05AA},
        {1, 0, 4, 0x0555},
        {9, 9, 9, 0x05AA}, // beyond four further pipes nothing counts
        {1, 1, 1, 0x0304}, // pipe 2 reverse, pipe 3 make-up
    };
    for (const auto& c : cases)
        EXPECT_EQ(FreeSchemeFlags(Config(0, 0x59, c.direct, c.reverse, c.makeUp)), c.expected)
            << int{c.direct} << '/' << int{c.reverse} << '/' << int{c.makeUp};
    // A hostile count in the high byte adds at most five pipes.
    const SchemeDescriptor d = ApplyFreeScheme({}, 0xFF00);
    EXPECT_EQ(d.PointMask, 0x7FFF);
    EXPECT_EQ(d.Flags, 0x1Fu);
}

TEST(Schemes, IsSchemeParamUsed)
{
    struct Case {
        uint8_t param;
        HeatSystemConfig config;
        bool used;
    };
    const auto scheme32 = Config(0, 0x32);                 // t2, P2, V2; mass M2; cold water
    const auto scheme32Control1 = Config(0, 0x32, 1, 0, 0, 0);
    const auto scheme13 = Config(0, 0x13);                 // extra flow V2
    const auto scheme24 = Config(0, 0x24);
    HeatSystemConfig outOfTable;
    outOfTable.SchemeIndex = 29;
    const Case cases[] = {
        {40, scheme32, false},
        {40, scheme32Control1, true},
        {41, scheme32, true},
        {51, scheme32, true},
        {50, scheme32, false},
        {13, scheme32, true},
        {12, scheme32, false},
        {27, scheme32, true},
        {47, scheme32, true},
        {57, scheme32, true},
        {63, scheme32, true},
        {62, scheme32, false},
        {27, scheme13, true}, // V2 only through the extra flow mask
        {63, scheme13, true},
        {47, scheme24, false},
        {26, scheme24, true},
        {62, scheme24, true},  // V1's channel
        {64, scheme24, false},
        {69, scheme32, false},
        {255, scheme32, false},
        {41, outOfTable, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSchemeParamUsed(c.param, c.config), c.used)
            << "param " << int{c.param} << " scheme " << int{c.config.SchemeIndex};
}

void SetHolding(std::vector<uint8_t>& image, uint32_t reg, uint16_t value)
{
    image.at(2 * (reg - 40001)) = static_cast<uint8_t>(value >> 8);
    image.at(2 * (reg - 40001) + 1) = static_cast<uint8_t>(value);
}

TEST(Schemes, DecodeHeatSystemConfig)
{
    std::vector<uint8_t> current(962);
    std::vector<uint8_t> setup(1192);
    SetHolding(setup, 40079, 0x0059);
    SetHolding(setup, 40080, 2);
    SetHolding(setup, 40081, 4);
    SetHolding(setup, 40126, 3);
    SetHolding(setup, 40127, 1);
    SetHolding(setup, 40128, 1);
    SetHolding(setup, 40129, 0xAA64); // only the low byte counts
    SetHolding(setup, 40130, 5);
    SetHolding(setup, 40131, 0);
    SetHolding(setup, 40176, 4);
    SetHolding(setup, 40177, 0);
    SetHolding(setup, 40178, 1);
    SetHolding(setup, 40179, 0x1234);
    for (uint32_t i = 0; i < 6; ++i)
        SetHolding(setup, 40203 + i, static_cast<uint16_t>(0x10 + i));
    current.at(2 * (30133 - 30001)) = 0x09; // input register 30131 + air channel 2
    current.at(2 * (30133 - 30001) + 1) = 0xC4;

    const HeatSystemConfig one = DecodeHeatSystemConfig(current, setup, 0);
    EXPECT_EQ(one.System, 0);
    EXPECT_EQ(one.SchemeIndex, 24);
    EXPECT_EQ(one.AirChannel, 2);
    EXPECT_EQ(one.ControlChannel, 4);
    EXPECT_EQ(one.AirChannelWord[0], 0x09);
    EXPECT_EQ(one.AirChannelWord[1], 0xC4);
    EXPECT_EQ(one.DirectPipes, 3);
    EXPECT_EQ(one.ReversePipes, 1);
    EXPECT_EQ(one.MakeUpPipes, 1);
    EXPECT_EQ(one.GeneralSetting, 0x34);
    EXPECT_EQ(one.ColdWaterSetup, (std::array<uint8_t, 6>{0x10, 0x11, 0x12, 0x13, 0x14, 0x15}));

    const HeatSystemConfig two = DecodeHeatSystemConfig(current, setup, 1);
    EXPECT_EQ(two.System, 1);
    EXPECT_EQ(two.SchemeIndex, 28);
    EXPECT_EQ(two.AirChannel, 5);
    EXPECT_EQ(two.AirChannelWord[0], 0);
    EXPECT_EQ(two.AirChannelWord[1], 0);
    EXPECT_EQ(two.ControlChannel, 0);
    EXPECT_EQ(two.DirectPipes, 4);
    EXPECT_EQ(two.ReversePipes, 0);
    EXPECT_EQ(two.MakeUpPipes, 1);

    std::vector<uint8_t> shortImage(100);
    EXPECT_THROW(DecodeHeatSystemConfig(shortImage, setup, 0), platform::Exception);
    EXPECT_THROW(DecodeHeatSystemConfig(current, shortImage, 0), platform::Exception);
}

} // namespace
