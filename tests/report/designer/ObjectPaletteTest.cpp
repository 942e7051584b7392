#include "report/designer/DesignerRuntime.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

constexpr uint32_t kData = 1u << ctData;
constexpr uint32_t kReport = 1u << ctReport;
constexpr uint32_t kDMP = 1u << ctDMP;

struct PaletteEntry {
    const char* className; // "" for a category
    const char* hint;
    const char* category;
    uint16_t flags;
    int image;
    uint32_t categories;   // as the registry holds them: an empty set becomes ctReport for views
    const char* hintText;  // the resource text of the hint
};

// The palette as the designer's object tool bar is to offer it, in registration order.
const PaletteEntry kPalette[] = {
    {"TrpMemoView", "", "", 0, 2, kData | kReport, ""},
    {"TrpPictureView", "", "", 0, 3, kReport, ""},
    {"TrpSubreport", "", "", 0, 4, kReport | kDMP, ""},
    {"TrpSysMemoView", "", "", 0, 32, kReport, ""},
    {"", "obCatDraw", "Draw", 0, 6, 0, "Рисование"},
    {"", "obCatOther", "Other", 0, 66, 0, "Другие объекты"},
    {"TrpLineView", "", "Draw", 0, 5, kData | kReport, ""},
    {"TrpLineView", "obDiagLine", "Draw", 1, 7, kReport, "Диагональная линия"},
    {"TrpLineView", "obDiagLine", "Draw", 2, 63, kReport, "Диагональная линия"},
    {"TrpLineView", "obDiagLine", "Draw", 3, 64, kReport, "Диагональная линия"},
    {"TrpLineView", "obDiagLine", "Draw", 4, 65, kReport, "Диагональная линия"},
    {"TrpShapeView", "obRect", "Draw", 0, 8, kReport, "Прямоугольник"},
    {"TrpShapeView", "obRoundRect", "Draw", 1, 9, kReport, "Скругленный прямоугольник"},
    {"TrpShapeView", "obEllipse", "Draw", 2, 10, kReport, "Эллипс"},
    {"TrpShapeView", "obTrian", "Draw", 3, 11, kReport, "Треугольник"},
    {"TrpShapeView", "obDiamond", "Draw", 4, 31, kReport, "Ромб"},
};

int IndexOfMemo()
{
    const TrpObjectCollection& registry = GetObjectRegistry();
    for (int i = 0; i < registry.Count(); ++i) {
        const ScriptClassInfo* c = registry.Items(i).ClassRef;
        if (c != nullptr && c->Name == QLatin1String("TrpMemoView"))
            return i;
    }
    return -1;
}

class ObjectPalette : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { DesignerRuntime::init(); }
};

TEST_P(ObjectPalette, EntryEqualsTheTableRow)
{
    const PaletteEntry& expected = kPalette[GetParam()];
    const int first = IndexOfMemo();
    ASSERT_GE(first, 0);
    const TrpObjectCollection& registry = GetObjectRegistry();
    ASSERT_LT(first + GetParam(), registry.Count());
    const TrpObjectItem& item = registry.Items(first + GetParam());
    EXPECT_EQ(item.ClassRef != nullptr ? item.ClassRef->Name : QString(), QString::fromLatin1(expected.className));
    EXPECT_EQ(item.ButtonHint, QString::fromLatin1(expected.hint));
    EXPECT_EQ(item.CategoryName, QString::fromLatin1(expected.category));
    EXPECT_EQ(item.Flags, expected.flags);
    EXPECT_EQ(item.ButtonImageIndex, expected.image);
    EXPECT_EQ(item.Category, expected.categories);
    EXPECT_TRUE(item.ButtonBmp.isNull());
    if (expected.hint[0] != '\0') {
        EXPECT_EQ(GetResourcesInstance().Get(item.ButtonHint), QString::fromUtf8(expected.hintText));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ObjectPalette, ::testing::Range(0, static_cast<int>(std::size(kPalette))));

TEST(ObjectPaletteRegistration, TheTableEndsTheRegistryAndComesOnlyOnce)
{
    DesignerRuntime::init();
    const int first = IndexOfMemo();
    ASSERT_GE(first, 0);
    // The model's check box and the dot-matrix objects come first; the palette closes the list.
    EXPECT_EQ(GetObjectRegistry().Count(), first + static_cast<int>(std::size(kPalette)));
    DesignerRuntime::shutdown();
    DesignerRuntime::init();
    EXPECT_EQ(GetObjectRegistry().Count(), first + static_cast<int>(std::size(kPalette)));
}

} // namespace
