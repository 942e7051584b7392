#include "Daxcore.h"

#include "comm/Sysutil.h"
#include "platform/Exceptions.h"

using namespace dax_namespace;

#include <algorithm>

// Scheme codes: high nibble the scheme group, low nibble the variant; 0x00 the heat system is
// not used.
const std::array<uint8_t, kSchemeCount> SchemeCodes = {
    0x00, 0x11, 0x12, 0x13, 0x14, 0x21, 0x22, 0x23, 0x24, 0x25,
    0x26, 0x31, 0x32, 0x33, 0x41, 0x42, 0x51, 0x52, 0x53, 0x54,
    0x55, 0x56, 0x57, 0x58, 0x59, 0x61, 0x62, 0x63, 0x64,
};

// Display names; a scheme combo box index is a scheme index.
const std::array<const char*, kSchemeCount> SchemeNames = {
    "Не использ.", "1.1", "1.2", "1.3", "1.4", "2.1", "2.2", "2.3", "2.4", "2.5",
    "2.6", "3.1", "3.2", "3.3", "4.1", "4.2", "5.1", "5.2", "5.3", "5.4",
    "5.5", "5.6", "5.7", "5.8", "5.9", "6.1", "6.2", "6.3", "6.4",
};

// {PointMask, ExtraFlowMask, Flags, Formula} per scheme index. Flag bits 5-8, 13 and 14 are
// set by some rows and consulted nowhere.
const std::array<SchemeDescriptor, kSchemeCount> SchemeRowsTS1 = {{
    {0x0000, 0x0000, 0, 0}, // 0 not used
    {0x0463, 0x0000, 0x10001, 1}, // 1 "1.1"
    {0x0863, 0x0000, 0x10002, 2}, // 2 "1.2"
    {0x0463, 0x0800, 0x12203, 1}, // 3 "1.3"
    {0x0863, 0x0400, 0x12203, 2}, // 4 "1.4"
    {0x0C63, 0x0000, 0x1A203, 5}, // 5 "2.1"
    {0x0C63, 0x0000, 0x1A203, 6}, // 6 "2.2"
    {0x0C63, 0x0000, 0x1A203, 7}, // 7 "2.3"
    {0x0C00, 0x0000, 0x400, 0}, // 8 "2.4"
    {0x4673, 0x0800, 0x5A013, 11}, // 9 "2.5"
    {0x4A73, 0x0400, 0x5A013, 12}, // 10 "2.6"
    {0x0421, 0x0000, 0x8001, 15}, // 11 "3.1"
    {0x0842, 0x0000, 0x8002, 16}, // 12 "3.2"
    {0x0C63, 0x0000, 0x8003, 19}, // 13 "3.3"
    {0x0C63, 0x0000, 0x18003, 21}, // 14 "4.1"
    {0x4463, 0x0800, 0x1A293, 11}, // 15 "4.2"
    {0x15EF, 0x0800, 0x12007, 23}, // 16 "5.1"
    {0x19EF, 0x0400, 0x12007, 24}, // 17 "5.2"
    {0x0DEF, 0x1000, 0x12007, 25}, // 18 "5.3"
    {0x1DEF, 0x0000, 0x12007, 26}, // 19 "5.4"
    {0x4673, 0x0800, 0x12013, 27}, // 20 "5.5"
    {0x4A73, 0x0400, 0x12013, 28}, // 21 "5.6"
    {0x0E73, 0x0000, 0x12203, 29}, // 22 "5.7"
    {0x4E73, 0x0000, 0x12013, 30}, // 23 "5.8"
    {0x0000, 0x0000, 0, 40}, // 24 "5.9"
    {0x0463, 0x0800, 0x10003, 1}, // 25 "6.1"
    {0x0863, 0x0400, 0x10003, 2}, // 26 "6.2"
    {0x0C63, 0x0000, 0x18003, 5}, // 27 "6.3"
    {0x4C63, 0x0000, 0x18093, 38}, // 28 "6.4"
}};

// Heat system 2: schemes "5.1" to "5.4" and "5.9" compute nothing.
const std::array<SchemeDescriptor, kSchemeCount> SchemeRowsTS2 = {{
    {0x0000, 0x0000, 0, 0}, // 0 not used
    {0x118C, 0x0000, 0x20004, 3}, // 1 "1.1"
    {0x218C, 0x0000, 0x20008, 4}, // 2 "1.2"
    {0x118C, 0x2000, 0x2280C, 3}, // 3 "1.3"
    {0x218C, 0x1000, 0x2280C, 4}, // 4 "1.4"
    {0x318C, 0x0000, 0x2C80C, 8}, // 5 "2.1"
    {0x318C, 0x0000, 0x2C80C, 9}, // 6 "2.2"
    {0x318C, 0x0000, 0x2C80C, 10}, // 7 "2.3"
    {0x3000, 0x0000, 0x1000, 0}, // 8 "2.4"
    {0x539C, 0x2000, 0x6C01C, 13}, // 9 "2.5"
    {0x639C, 0x1000, 0x6C01C, 14}, // 10 "2.6"
    {0x1084, 0x0000, 0x8004, 17}, // 11 "3.1"
    {0x2108, 0x0000, 0x8008, 18}, // 12 "3.2"
    {0x318C, 0x0000, 0x800C, 20}, // 13 "3.3"
    {0x318C, 0x0000, 0x2800C, 22}, // 14 "4.1"
    {0x518C, 0x2000, 0x2C91C, 13}, // 15 "4.2"
    {0x0000, 0x0000, 0, 0}, // 16 "5.1"
    {0x0000, 0x0000, 0, 0}, // 17 "5.2"
    {0x0000, 0x0000, 0, 0}, // 18 "5.3"
    {0x0000, 0x0000, 0, 0}, // 19 "5.4"
    {0x539C, 0x2000, 0x2401C, 31}, // 20 "5.5"
    {0x639C, 0x1000, 0x2401C, 32}, // 21 "5.6"
    {0x339C, 0x0000, 0x2480C, 33}, // 22 "5.7"
    {0x739C, 0x0000, 0x2401C, 34}, // 23 "5.8"
    {0x0000, 0x0000, 0, 0}, // 24 "5.9"
    {0x1063, 0x2000, 0x1006C, 35}, // 25 "6.1"
    {0x2063, 0x1000, 0x1006C, 36}, // 26 "6.2"
    {0x3063, 0x0000, 0x1806C, 37}, // 27 "6.3"
    {0x718C, 0x0000, 0x1811C, 39}, // 28 "6.4"
}};

// Heat-energy formulas by descriptor `Formula` (the "х" of "hх" is Cyrillic).
const std::array<const char*, kSchemeFormulaCount> SchemeFormulas = {
    "Q = 0", // 0
    "Q = M1(h1-h2)", // 1
    "Q = M2(h1-h2)", // 2
    "Q = M3(h3-h4)", // 3
    "Q = M4(h3-h4)", // 4
    "Q = M1(h1-hх)-M2(h2-hх)", // 5
    "Q = M1(h1-h2)+(M1-M2)(h2-hх)", // 6
    "Q = M2(h1-h2)+(M1-M2)(h1-hх)", // 7
    "Q = M3(h3-hх)-M4(h4-hх)", // 8
    "Q = M3(h3-h4)+(M3-M4)(h4-hх)", // 9
    "Q = M4(h3-h4)+(M3-M4)(h3-hх)", // 10
    "Q = M1(h1-h2)+M5(h2-hх)", // 11
    "Q = M2(h1-h2)+M5(h1-hх)", // 12
    "Q = M3(h3-h4)+M5(h4-hх)", // 13
    "Q = M4(h3-h4)+M5(h3-hх)", // 14
    "Q = M1(h1-hх)", // 15
    "Q = M2(h2-hх)", // 16
    "Q = M3(h3-hх)", // 17
    "Q = M4(h4-hх)", // 18
    "Q = M1(h1-hх)+M2(h2-hх)", // 19
    "Q = M3(h3-hх)+M4(h4-hх)", // 20
    "Q = M1(h1-h2)+M2(h2-hх)", // 21
    "Q = M3(h3-h4)+M4(h4-hх)", // 22
    "Q = M1(h1-h2)+M3(h2-h4)", // 23
    "Q = M2(h1-h2)+M3(h1-h4)", // 24
    "Q = M1(h1-h4)-M2(h2-h4)", // 25
    "Q = M1·h1-M2·h2-M3·h4", // 26
    "Q = M1(h1-h2)+M5(h2-h5)", // 27
    "Q = M2(h1-h2)+M5(h1-h5)", // 28
    "Q = M1(h1-h5)-M2(h2-h5)", // 29
    "Q = M1·h1-M2·h2-M5·h5", // 30
    "Q = M3(h3-h4)+M5(h4-h5)", // 31
    "Q = M4(h3-h4)+M5(h3-h5)", // 32
    "Q = M3(h3-h5)-M4(h4-h5)", // 33
    "Q = M3·h3-M4·h4-M5·h5", // 34
    "Q = M3(h1-h2)", // 35
    "Q = M4(h1-h2)", // 36
    "Q = M3(h1-hх)-M4(h2-hх)", // 37
    "Q = M1(h1-hх)-M2(h2-hх)+M5(h2-hх)", // 38
    "Q = M3(h3-hх)-M4(h4-hх)+M5(h4-hх)", // 39
};

const char* SchemeFormulaText(uint8_t formula)
{
    if (formula >= SchemeFormulas.size())
        throw platform::Exception(FormatText(kUnknownFormulaFormat, formula));
    return SchemeFormulas[formula];
}

namespace {

// Each heat system's configuration is a block of 50 holding registers.
constexpr int32_t kHeatSystemBase = 40079;
constexpr int32_t kHeatSystemBlock = 50;
constexpr int32_t kGeneralSettingRegister = 40179;
constexpr int32_t kColdWaterSetupRegister = 40203;
constexpr int32_t kAirChannelRegister = 30131;
constexpr uint8_t kNoChannel = 5;

} // namespace

HeatSystemConfig DecodeHeatSystemConfig(std::span<const uint8_t> currentImage, std::span<const uint8_t> setupImage,
                                        uint8_t system)
{
    if (currentImage.size() < kCurrentImageBytes || setupImage.size() < kSetupImageBytes)
        throw platform::Exception(kShortImagesText);
    const int32_t base = kHeatSystemBase + (system == 0 ? 0 : kHeatSystemBlock);
    HeatSystemConfig config;
    config.System = system;
    config.SchemeIndex = SchemeCodeToIndex(HoldingRegisterLowByte(setupImage, base));
    config.AirChannel = HoldingRegisterLowByte(setupImage, base + 1);
    config.ControlChannel = HoldingRegisterLowByte(setupImage, base + 2);
    if (config.AirChannel < kNoChannel) {
        const uint16_t word = InputRegister(currentImage, kAirChannelRegister + config.AirChannel);
        config.AirChannelWord = {static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF)};
    }
    config.DirectPipes = HoldingRegisterLowByte(setupImage, base + 47);
    config.ReversePipes = HoldingRegisterLowByte(setupImage, base + 48);
    config.MakeUpPipes = HoldingRegisterLowByte(setupImage, base + 49);
    config.GeneralSetting = HoldingRegisterLowByte(setupImage, kGeneralSettingRegister);
    for (size_t i = 0; i < config.ColdWaterSetup.size(); ++i)
        config.ColdWaterSetup[i] = HoldingRegisterLowByte(setupImage, kColdWaterSetupRegister + static_cast<int32_t>(i));
    return config;
}

uint8_t SchemeCodeToIndex(uint8_t code)
{
    for (size_t i = 0; i < SchemeCodes.size(); ++i)
        if (SchemeCodes[i] == code)
            return static_cast<uint8_t>(i);
    return 0;
}

SchemeDescriptor GetSchemeDescriptor(HeatSystemConfig config)
{
    if (config.SchemeIndex >= kSchemeCount)
        return {};
    if (config.System != 0)
        return SchemeRowsTS2[config.SchemeIndex];
    const SchemeDescriptor row = SchemeRowsTS1[config.SchemeIndex];
    if (config.SchemeIndex == kFreeSchemeIndex)
        return ApplyFreeScheme(row, FreeSchemeFlags(config));
    return row;
}

uint16_t FreeSchemeFlags(const HeatSystemConfig& config)
{
    // Pipe 1 is always a direct pipe; pipes 2..5 take the remaining direct pipes first, then
    // the reverse pipes, then the make-up pipes.
    unsigned direct = config.DirectPipes > 0 ? config.DirectPipes - 1u : 0u;
    unsigned reverse = config.ReversePipes;
    unsigned makeUp = config.MakeUpPipes;
    unsigned count = 1;
    unsigned kinds = 0;
    for (int slot = 0; slot < 4; ++slot) {
        kinds >>= 2;
        if (direct > 0) {
            --direct;
            kinds |= 0x80;
            ++count;
        } else if (reverse > 0) {
            --reverse;
            ++count;
        } else if (makeUp > 0) {
            --makeUp;
            kinds |= 0x40;
            ++count;
        }
    }
    return static_cast<uint16_t>(count << 8 | kinds);
}

SchemeDescriptor ApplyFreeScheme(SchemeDescriptor descriptor, uint16_t freeSchemeFlags)
{
    const unsigned count = std::min(freeSchemeFlags >> 8, 5);
    const unsigned kinds = freeSchemeFlags & 0xFF;
    for (unsigned i = 0; i < count; ++i) {
        descriptor.PointMask = static_cast<uint16_t>(descriptor.PointMask | 1u << i | 1u << (5 + i) | 1u << (10 + i));
        descriptor.Flags |= 1u << i;
    }
    // A slot holding 1 (make-up pipe) has its low bit set.
    if (kinds & 0x55)
        descriptor.Flags |= SchemeFlag::ColdWater;
    return descriptor;
}

bool IsSchemeParamUsed(uint8_t param, const HeatSystemConfig& config)
{
    if (config.SchemeIndex >= kSchemeCount || param > SchemeParam::Last)
        return false;
    const SchemeDescriptor d = GetSchemeDescriptor(config);
    const uint32_t flows = uint32_t{d.PointMask} | d.ExtraFlowMask;
    if (param >= SchemeParam::M1 && param <= SchemeParam::M1 + 4)
        return d.Flags >> (param - SchemeParam::M1) & 1;
    if (param >= SchemeParam::V1 && param <= SchemeParam::V1 + 4)
        return flows >> (10 + param - SchemeParam::V1) & 1;
    if (param >= SchemeParam::T1 && param <= SchemeParam::T1 + 4)
        return (d.PointMask >> (param - SchemeParam::T1) & 1) || config.ControlChannel == param - SchemeParam::T1;
    if (param == SchemeParam::ColdTemperature || param == SchemeParam::ColdPressure)
        return (d.Flags & SchemeFlag::ColdWater) != 0;
    if (param >= SchemeParam::P1 && param <= SchemeParam::P1 + 4)
        return d.PointMask >> (5 + param - SchemeParam::P1) & 1;
    if (param >= SchemeParam::ChannelNS1 && param <= SchemeParam::ChannelNS1 + 4) {
        const unsigned n = param - SchemeParam::ChannelNS1;
        return (flows >> n & 1) || (flows >> (5 + n) & 1) || (flows >> (10 + n) & 1);
    }
    return false;
}
