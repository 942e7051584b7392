#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The device frame's pages as the register map sees them: which register blocks a page's read
// fetches, with which id the read reports back, and which binding groups that id shows.

struct RegisterBlock {
    int32_t First = 0; // 3xxxx or 4xxxx
    int32_t Count = 0;

    friend bool operator==(const RegisterBlock&, const RegisterBlock&) = default;
};

struct FramePage {
    int32_t PageId;
    int32_t ReadId;                    // id the page's read reports with (pages 1 and 3 read as 0 and 2)
    int32_t PageKind;                  // fixed blocks of that page kind; -1: the one block below
    RegisterBlock Block;               // the page's block when PageKind is -1
    std::span<const uint8_t> Groups;   // binding groups the read id shows, in order
};

// The pages that read registers, by ascending page id.
std::span<const FramePage> FramePages();

// The page of a page id; none for a page that reads nothing.
const FramePage* FindFramePage(int32_t pageId);

// The binding groups shown when a read reports `readId` (a page id, 0 to 29); none for other ids.
std::span<const uint8_t> GroupsShownByReadId(int32_t readId);

// The binding groups a poll (the automatic read of current values) of a read id shows: only
// those of the current values it read. A poll leaves out the settings blocks, so the groups of
// settings keep what the user may be editing. None for ids that are never polled.
std::span<const uint8_t> GroupsShownByPoll(int32_t readId);

// The page whose read shows a binding group (the first page of that read id).
const FramePage* PageOfGroup(uint8_t group);

// The register blocks the page's read fetches, in order (settings blocks included).
std::vector<RegisterBlock> PageReadBlocks(const FramePage& page);
