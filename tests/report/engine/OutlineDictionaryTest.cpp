// The outline of prepared pages and the dictionary of aliases: the edges of unique names, the
// tree walk, and moving the entries of a keep-together block (every entry after the recorded
// position, on the page the block was pasted on).

#include "EngineTestSupport.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

// --- the dictionary's unique names

struct UniqueNameCase {
    const char* Name;
    std::vector<std::string> Present;
    const char* Base;
    const char* Expected;
};

void PrintTo(const UniqueNameCase& c, std::ostream* out)
{
    *out << c.Name;
}

class DictionaryUniqueName : public testing::TestWithParam<UniqueNameCase> {};

TEST_P(DictionaryUniqueName, ProbesDownAndCountsUp)
{
    const UniqueNameCase& c = GetParam();
    TrpDictionary dictionary;
    for (const std::string& name : c.Present)
        dictionary.Add(QString::fromStdString(name), QStringLiteral("Page0.X"), nullptr);
    EXPECT_EQ(dictionary.CreateUniqueName(QString::fromLatin1(c.Base)).toStdString(), c.Expected);
}

std::vector<std::string> Range(const char* stem, int from, int to)
{
    std::vector<std::string> names;
    for (int i = from; i <= to; ++i)
        names.push_back(std::string(stem) + std::to_string(i));
    return names;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DictionaryUniqueName,
    testing::Values(UniqueNameCase{"empty", {}, "m", "m1"}, UniqueNameCase{"m1_to_m5", Range("m", 1, 5), "m", "m6"},
                    UniqueNameCase{"m1_to_m20", Range("m", 1, 20), "m", "m21"},
                    UniqueNameCase{"only_m1", {"m1"}, "m", "m2"},
                    // Not the smallest free number: the probe stops at 9.
                    UniqueNameCase{"m1_and_m9", {"m1", "m9"}, "m", "m10"},
                    UniqueNameCase{"other_stem", {"m1", "m2"}, "b", "b1"},
                    // Case is ignored: "M1" takes m1.
                    UniqueNameCase{"upper_case_taken", {"M1"}, "m", "m2"},
                    UniqueNameCase{"m10000_taken", {"m10000"}, "m", "m10001"}),
    [](const testing::TestParamInfo<UniqueNameCase>& info) { return std::string(info.param.Name); });

TEST(Dictionary, AliasesDifferingInCaseAreOneAlias)
{
    TrpDictionary dictionary;
    TrpMemoView first;
    TrpMemoView second;
    dictionary.Add(QStringLiteral("m1"), QStringLiteral("Page0.Memo1"), &first);
    dictionary.Add(QStringLiteral("M1"), QStringLiteral("Page0.Memo2"), &second);
    EXPECT_EQ(dictionary.Count(), 1);
    EXPECT_EQ(dictionary.GetObject(u"M1"), &first);
    EXPECT_EQ(dictionary.GetSourceName(u"m1"), "Page0.Memo1");
    // Both source names are listed, in the order added.
    EXPECT_EQ(dictionary.SourceNames().join(u' '), "Page0.Memo1 Page0.Memo2");
}

TEST(Dictionary, UnknownAliasHasNoSource)
{
    TrpDictionary dictionary;
    dictionary.AddUnique(QStringLiteral("m"), QStringLiteral("Page0.Memo1"), nullptr);
    EXPECT_EQ(dictionary.GetObject(u"m2"), nullptr);
    EXPECT_EQ(dictionary.GetSourceName(u"m2"), "");
    EXPECT_EQ(dictionary.GetSourceName(u"m1"), "Page0.Memo1");
}

TEST(Dictionary, NamesAreSortedIgnoringCase)
{
    TrpDictionary dictionary;
    for (const char* name : {"m2", "B1", "m10", "a1"})
        dictionary.Add(QString::fromLatin1(name), QStringLiteral("Page0.X"), nullptr);
    EXPECT_EQ(dictionary.Names().join(u' '), "a1 B1 m10 m2");
}

TEST(Dictionary, SourceObjectThatGoesIsNone)
{
    TrpDictionary dictionary;
    auto memo = std::make_unique<TrpMemoView>();
    dictionary.Add(QStringLiteral("m1"), QStringLiteral("Page0.Memo1"), memo.get());
    memo.reset();
    EXPECT_EQ(dictionary.GetObject(u"m1"), nullptr);
}

// --- the outline

class OutlineTest : public testing::Test {
protected:
    TrpOutline& Outline() { return *dynamic_cast<TrpOutline*>(prepared.Store().Outline()); }
    // The entries below the root as "text:page:top", nested in brackets.
    QString Tree()
    {
        const auto walk = [](const auto& self, const TrpXMLItem* item) -> QString {
            QStringList parts;
            for (int i = 0; i < item->Count(); ++i) {
                const TrpXMLItem* entry = item->Items(i);
                QString part = entry->Prop(u"text") + u':' + entry->Prop(u"page") + u':' + entry->Prop(u"top");
                if (entry->Count() > 0)
                    part += u'[' + self(self, entry) + u']';
                parts << part;
            }
            return parts.join(u' ');
        };
        return walk(walk, Outline().Root());
    }

    PreparedReport prepared;
};

TEST_F(OutlineTest, EntriesNestUnderTheCurrentNode)
{
    TrpOutline& outline = Outline();
    EXPECT_EQ(outline.GetCount(), 0); // no current node yet
    outline.LevelRoot();
    prepared.Store().CurPage = 0;
    outline.AddItem(QStringLiteral("A & <B>"), 5);
    outline.AddItem(QStringLiteral("A.1"), 10);
    outline.LevelUp();
    outline.LevelUp();
    prepared.Store().CurPage = 2;
    outline.AddItem(QStringLiteral("C"), 7);
    outline.LevelRoot();
    EXPECT_EQ(outline.GetCount(), 2);
    EXPECT_EQ(Tree(), "A & <B>:0:5[A.1:0:10] C:2:7");
    // The text is kept escaped in the element and read back whole.
    EXPECT_TRUE(Outline().Root()->Items(0)->Text().startsWith(u"text=\"A &#38; &#60;B&#62;\""));
    QString text;
    int32_t page = -1;
    int32_t top = -1;
    outline.GetItem(0, text, page, top);
    EXPECT_EQ(text, "A & <B>");
    EXPECT_EQ(page, 0);
    EXPECT_EQ(top, 5);
    outline.LevelDown(0);
    EXPECT_EQ(outline.GetCount(), 1);
}

TEST_F(OutlineTest, LevelUpAtTheRootStaysThere)
{
    TrpOutline& outline = Outline();
    outline.LevelRoot();
    outline.LevelUp();
    EXPECT_EQ(outline.CurItem, outline.Root());
}

TEST_F(OutlineTest, GetItemWithoutTopLeavesTheCallersTop)
{
    TrpOutline& outline = Outline();
    outline.LevelRoot();
    outline.Root()->Add(QStringLiteral("item"))->SetText(QStringLiteral("text=\"x\" page=\"3\""));
    QString text;
    int32_t page = 0;
    int32_t top = 42;
    outline.GetItem(0, text, page, top);
    EXPECT_EQ(page, 3);
    EXPECT_EQ(top, 42);
}

TEST_F(OutlineTest, CurrentPositionWithoutChildrenMovesNothingWhenNothingFollows)
{
    TrpOutline& outline = Outline();
    outline.LevelRoot();
    const TrpOutlinePosition position = outline.GetCurPosition();
    EXPECT_EQ(position.Parent, outline.Root());
    EXPECT_EQ(position.Count, 0);
    outline.ShiftItems(position, 100);
    outline.ShiftItems(TrpOutlinePosition{}, 100);
    EXPECT_EQ(Tree(), "");
}

// A keep-together block: the outline position is recorded, entries are added, the block moves
// (to the next page or the next column of the same page) and its entries follow it.
struct ShiftCase {
    const char* Name;
    std::function<void(TrpOutline&, TrpPreviewPages&)> Before; // entries before the block
    std::function<void(TrpOutline&, TrpPreviewPages&)> Block;  // entries of the block
    int32_t PastePage;                                        // CurPage when pasted
    int32_t NewTop;
    const char* Expected;
};

void PrintTo(const ShiftCase& c, std::ostream* out)
{
    *out << c.Name;
}

class OutlineShift : public OutlineTest, public testing::WithParamInterface<ShiftCase> {};

TEST_P(OutlineShift, MovesEveryEntryOfTheBlock)
{
    const ShiftCase& c = GetParam();
    TrpOutline& outline = Outline();
    TrpPreviewPages& store = prepared.Store();
    store.CurPage = 0;
    outline.LevelRoot();
    c.Before(outline, store);
    const TrpOutlinePosition position = outline.GetCurPosition();
    c.Block(outline, store);
    store.CurPage = c.PastePage;
    outline.ShiftItems(position, c.NewTop);
    EXPECT_EQ(Tree().toStdString(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Mends, OutlineShift,
    testing::Values(
        // Two entries on one level: both move, not only the first after the position.
        ShiftCase{"two_entries_on_one_level",
                  [](TrpOutline& o, TrpPreviewPages&) {
                      o.AddItem(QStringLiteral("A"), 10);
                      o.LevelUp();
                  },
                  [](TrpOutline& o, TrpPreviewPages&) {
                      o.AddItem(QStringLiteral("B"), 500);
                      o.AddItem(QStringLiteral("B.1"), 520);
                      o.LevelUp();
                      o.LevelUp();
                      o.AddItem(QStringLiteral("C"), 540);
                      o.LevelUp();
                  },
                  1, 0, "A:0:10 B:1:0[B.1:1:20] C:1:40"},
        // The block began under an entry without children: its entries move too.
        ShiftCase{"first_under_an_empty_node",
                  [](TrpOutline& o, TrpPreviewPages&) { o.AddItem(QStringLiteral("Group"), 10); },
                  [](TrpOutline& o, TrpPreviewPages&) {
                      o.AddItem(QStringLiteral("Row 1"), 700);
                      o.LevelUp();
                      o.AddItem(QStringLiteral("Row 2"), 720);
                      o.LevelUp();
                  },
                  1, 30, "Group:0:10[Row 1:1:30 Row 2:1:50]"},
        // A block moved to the next column of the same page stays on its page.
        ShiftCase{"move_within_one_page",
                  [](TrpOutline& o, TrpPreviewPages&) {
                      o.AddItem(QStringLiteral("A"), 10);
                      o.LevelUp();
                  },
                  [](TrpOutline& o, TrpPreviewPages&) {
                      o.AddItem(QStringLiteral("B"), 900);
                      o.LevelUp();
                  },
                  0, 40, "A:0:10 B:0:40"}),
    [](const testing::TestParamInfo<ShiftCase>& info) { return std::string(info.param.Name); });

} // namespace
