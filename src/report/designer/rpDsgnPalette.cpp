#include "rpDsgnPalette.h"

#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpDsgnIntf.h"

namespace {

constexpr uint32_t Data = 1u << ctData;
constexpr uint32_t Report = 1u << ctReport;
constexpr uint32_t DotMatrix = 1u << ctDMP;

} // namespace

const TrpPaletteRow* ObjectPaletteRows(int& count)
{
    // Categories 0 ("none") leave the registry to derive them from the class.
    static const TrpPaletteRow rows[] = {
        {&TrpMemoView::Class(), u"", u"", 0, 2, Data | Report},
        {&TrpPictureView::Class(), u"", u"", 0, 3, 0},
        {&TrpSubreport::Class(), u"", u"", 0, 4, Report | DotMatrix},
        {&TrpSysMemoView::Class(), u"", u"", 0, 32, 0},
        {nullptr, u"obCatDraw", u"Draw", 0, 6, 0},
        {nullptr, u"obCatOther", u"Other", 0, 66, 0},
        {&TrpLineView::Class(), u"", u"Draw", 0, 5, Data | Report},
        {&TrpLineView::Class(), u"obDiagLine", u"Draw", 1, 7, 0},
        {&TrpLineView::Class(), u"obDiagLine", u"Draw", 2, 63, 0},
        {&TrpLineView::Class(), u"obDiagLine", u"Draw", 3, 64, 0},
        {&TrpLineView::Class(), u"obDiagLine", u"Draw", 4, 65, 0},
        {&TrpShapeView::Class(), u"obRect", u"Draw", 0, 8, 0},
        {&TrpShapeView::Class(), u"obRoundRect", u"Draw", 1, 9, 0},
        {&TrpShapeView::Class(), u"obEllipse", u"Draw", 2, 10, 0},
        {&TrpShapeView::Class(), u"obTrian", u"Draw", 3, 11, 0},
        {&TrpShapeView::Class(), u"obDiamond", u"Draw", 4, 31, 0},
    };
    count = static_cast<int>(std::size(rows));
    return rows;
}

void RegisterObjectPalette()
{
    TrpObjectCollection& registry = GetObjectRegistry();
    int count = 0;
    const TrpPaletteRow* rows = ObjectPaletteRows(count);
    for (int i = 0; i < count; ++i) {
        const TrpPaletteRow& row = rows[i];
        const QString hint = QString::fromUtf16(row.Hint);
        const QString category = QString::fromUtf16(row.CategoryName);
        if (row.ClassRef != nullptr) {
            // The registry itself skips a class already there with the same flags.
            registry.RegisterObject1(row.ClassRef, QImage(), hint, category, row.Flags, row.ImageIndex,
                                     row.Categories);
            continue;
        }
        bool present = false;
        for (int j = 0; j < registry.Count() && !present; ++j)
            present = registry.Items(j).ClassRef == nullptr && registry.Items(j).CategoryName == category;
        if (!present)
            registry.RegisterCategory(category, QImage(), hint, row.ImageIndex);
    }
}
