#pragma once

#include <cstdint>
#include <span>

// The device frame's pages and the tree that chooses them.

// A page of the frame. The id is the page's index in the page control, the data of its tree
// node and the id its reads report with.
struct DaxPage {
    int32_t Id;
    const char* Caption;      // the page's own caption (its tab, out of sight)
    const char* HelpKeyword;  // topic of F1 on the page; empty for none
};

// A node of the page tree, in tree order.
struct DaxPageNode {
    static constexpr int32_t kRoot = -2;    // Parent of a top-level node
    static constexpr int32_t kNoPage = -1;  // PageId of a node that shows no page ("Сервис")

    int32_t PageId;
    const char* Text;
    int32_t Parent;      // page id of the parent node (kNoPage for "Сервис"), or kRoot
    int32_t ImageIndex;  // picture of the tree's image list (normal, selected and expanded alike)
    bool Expanded;       // expanded once the tree is built
};

constexpr int32_t kDaxPageCount = 30;        // page ids 0 to 29
constexpr int32_t kUnreachablePageId = 22;   // has no tree node and is not built

// The 29 pages that are built, by ascending id (page 22 is not among them).
std::span<const DaxPage> DaxPages();
// The page of an id; none for an id that names no built page.
const DaxPage* FindDaxPage(int32_t id);
// The tree's nodes in the order they are added.
std::span<const DaxPageNode> DaxPageNodes();
// True when pages `from` and `to` share one read (a heat system's current values and its
// abnormal-situation counters): moving between them reads nothing new.
bool PagesShareRead(int32_t from, int32_t to);
// Pages that show current values, which the automatic poll reads.
bool IsPolledPage(int32_t id);
