#include "FramePages.h"

#include "device/DaxAlgorithms.h"


namespace {

constexpr uint8_t kHeatSystem1[] = {1};
constexpr uint8_t kHeatSystem2[] = {2};
constexpr uint8_t kGeneral[] = {3};
constexpr uint8_t kSetupTS1[] = {4};
constexpr uint8_t kReactionTS1[] = {6};
constexpr uint8_t kSetupTS2[] = {5};
constexpr uint8_t kReactionTS2[] = {7};
constexpr uint8_t kConfiguration[] = {8};
constexpr uint8_t kColdWater[] = {9};
constexpr uint8_t kMeasuringChannels[] = {0};
constexpr uint8_t kFlowChannels[] = {10, 11};
constexpr uint8_t kSensorChannels[] = {12};
constexpr uint8_t kCalibration[] = {13, 14, 15, 16};
constexpr uint8_t kSettings[] = {17, 18, 19, 20};
constexpr uint8_t kInterfaces[] = {21, 22, 23, 24, 25, 26};
constexpr uint8_t kInternet[] = {27};
constexpr uint8_t kSignals18[] = {28};
constexpr uint8_t kSignals9C[] = {29};
constexpr uint8_t kSignalsDG[] = {30};
constexpr uint8_t kEvents[] = {31};
constexpr uint8_t kInputsOutput[] = {32};

constexpr uint8_t kSettingsCurrentValues[] = {19, 20};

constexpr int32_t kOneBlock = -1;

constexpr FramePage kPages[] = {
    {0, 0, 0, {}, kHeatSystem1},
    {1, 0, 0, {}, kHeatSystem1},
    {2, 2, 1, {}, kHeatSystem2},
    {3, 2, 1, {}, kHeatSystem2},
    {4, 4, 2, {}, kGeneral},
    {11, 11, 4, {}, kSetupTS1},
    {12, 12, kOneBlock, {40097, 21}, kReactionTS1},
    {13, 13, kOneBlock, {40129, 10}, kSetupTS2},
    {14, 14, kOneBlock, {40147, 21}, kReactionTS2},
    {15, 15, kOneBlock, {40179, 16}, kConfiguration},
    {16, 16, kOneBlock, {40203, 11}, kColdWater},
    {17, 17, kOneBlock, {30383, 97}, kMeasuringChannels},
    {18, 18, kOneBlock, {40216, 88}, kFlowChannels},
    {19, 19, kOneBlock, {40304, 32}, kSensorChannels},
    {20, 20, kOneBlock, {40037, 42}, kCalibration},
    {21, 21, 3, {}, kSettings},
    {23, 23, kOneBlock, {40356, 51}, kInterfaces},
    {24, 24, kOneBlock, {40407, 54}, kInternet},
    {25, 25, kOneBlock, {40461, 24}, kSignals18},
    {26, 26, kOneBlock, {40485, 32}, kSignals9C},
    {27, 27, kOneBlock, {40517, 64}, kSignalsDG},
    {28, 28, kOneBlock, {40581, 16}, kEvents},
    {29, 29, kOneBlock, {40336, 12}, kInputsOutput},
};

} // namespace

std::span<const FramePage> FramePages()
{
    return kPages;
}

const FramePage* FindFramePage(int32_t pageId)
{
    for (const FramePage& page : kPages)
        if (page.PageId == pageId)
            return &page;
    return nullptr;
}

std::span<const uint8_t> GroupsShownByReadId(int32_t readId)
{
    const FramePage* page = FindFramePage(readId);
    return page != nullptr && page->ReadId == readId ? page->Groups : std::span<const uint8_t>();
}

std::span<const uint8_t> GroupsShownByPoll(int32_t readId)
{
    switch (readId) {
    case 0: return kHeatSystem1;
    case 2: return kHeatSystem2;
    case 4: return kGeneral;
    case 17: return kMeasuringChannels;
    case 21: return kSettingsCurrentValues;
    default: return {};
    }
}

const FramePage* PageOfGroup(uint8_t group)
{
    for (const FramePage& page : kPages)
        for (uint8_t shown : page.Groups)
            if (shown == group)
                return &page;
    return nullptr;
}

std::vector<RegisterBlock> PageReadBlocks(const FramePage& page)
{
    if (page.PageKind == kOneBlock)
        return {page.Block};
    std::vector<RegisterBlock> blocks;
    for (const dax_namespace::PageStep& step : dax_namespace::PageSteps(static_cast<uint32_t>(page.PageKind)))
        if (step.op == dax_namespace::PageStep::Op::Read)
            blocks.push_back({step.first, step.count});
    return blocks;
}
