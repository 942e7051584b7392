// The document outline: the prepared report's outline as bookmarks, items of pages that were
// not written left out with everything below them.

#include "rpExportPDF.h"

#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/core/Rounding.h"

#include <cmath>

const TrpPDFExport::WrittenPage* TrpPDFExport::FindWrittenPage(int32_t index) const
{
    const auto found = writtenIndex_.find(index);
    return found == writtenIndex_.end() ? nullptr : &FWritten[found->second];
}

void TrpPDFExport::BuildOutlineLevel(TrpCustomOutline& outline, int parent)
{
    const int32_t count = outline.GetCount();
    int previous = -1;
    for (int32_t i = 0; i < count; ++i) {
        QString text;
        int32_t page = -1;
        int32_t top = 0;
        outline.GetItem(i, text, page, top);
        if (FindWrittenPage(page) == nullptr)
            continue;
        const int node = static_cast<int>(FOutline.size());
        FOutline.push_back(TrpPDFOutlineNode{});
        TrpPDFOutlineNode& n = FOutline.back();
        n.Title = text;
        n.Dest = page;
        n.Top = top;
        n.Parent = parent;
        n.Prev = previous;
        if (previous >= 0)
            FOutline[static_cast<size_t>(previous)].Next = node;
        else
            FOutline[static_cast<size_t>(parent)].First = node;
        outline.LevelDown(i);
        BuildOutlineLevel(outline, node);
        outline.LevelUp();
        TrpPDFOutlineNode& p = FOutline[static_cast<size_t>(parent)];
        p.Last = node;
        ++p.Count;
        p.CountTree += FOutline[static_cast<size_t>(node)].CountTree + 1;
        previous = node;
    }
}

int TrpPDFExport::WriteOutline()
{
    FOutline.clear();
    TrpCustomPreviewPages* pages = Report != nullptr ? Report->PreviewPages() : nullptr;
    TrpCustomOutline* outline = pages != nullptr ? pages->Outline() : nullptr;
    if (!Outline || outline == nullptr)
        return 0;
    FOutline.push_back(TrpPDFOutlineNode{});
    outline->LevelRoot();
    BuildOutlineLevel(*outline, 0);
    outline->LevelRoot();
    if (FOutline[0].CountTree == 0) {
        FOutline.clear();
        return 0;
    }
    // Numbered in the order written: the root, then each node before its children and those
    // before its next sibling, which is the order the nodes were built in.
    const int base = static_cast<int>(FXRef.size()) + 1;
    const auto number = [base](int node) { return base + node; };
    const int root = UpdateXRef();
    Line(Header(root));
    Line("<<");
    Line("/Type /Outlines");
    Line("/Count " + QByteArray::number(FOutline[0].Count));
    Line("/First " + Ref(number(FOutline[0].First)));
    Line("/Last " + Ref(number(FOutline[0].Last)));
    Line(">>");
    Line("endobj");
    for (size_t i = 1; i < FOutline.size(); ++i) {
        const TrpPDFOutlineNode& n = FOutline[i];
        const int self = UpdateXRef();
        Line(Header(self));
        Line("<<");
        Line("/Title " + DocumentText(n.Title, self));
        Line("/Parent " + Ref(number(n.Parent)));
        if (n.Prev >= 0)
            Line("/Prev " + Ref(number(n.Prev)));
        if (n.Next >= 0)
            Line("/Next " + Ref(number(n.Next)));
        if (n.First >= 0) {
            Line("/First " + Ref(number(n.First)));
            Line("/Last " + Ref(number(n.Last)));
            Line("/Count " + QByteArray::number(n.Count));
        }
        if (const WrittenPage* page = FindWrittenPage(n.Dest))
            Line("/Dest [" + QByteArray::number(page->Reference) + " 0 R /XYZ 0 " +
                 QByteArray::number(static_cast<int64_t>(RoundHalfEven(page->Height - n.Top * 0.75))) + " 0]");
        Line(">>");
        Line("endobj");
    }
    return root;
}
