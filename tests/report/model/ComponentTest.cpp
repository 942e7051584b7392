#include "ReportModelTestClasses.h"

#include "report/model/rpRes.h"

#include <gtest/gtest.h>

using namespace modeltest;

namespace {

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::Exception& failure) {
        return failure.Message();
    }
    return "";
}

class ComponentTest : public testing::Test {
protected:
    TestTree tree;
};

TEST_F(ComponentTest, FontSizeFollowsHeight)
{
    TrpFont font;
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Size(), 10);
    EXPECT_EQ(font.Charset(), 1);
    const struct {
        int32_t size;
        int32_t height;
    } sizes[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {14, -19}, {72, -96}, {0, 0}};
    for (const auto& s : sizes) {
        font.SetSize(s.size);
        EXPECT_EQ(font.Height(), s.height) << s.size;
        EXPECT_EQ(font.Size(), s.size) << s.size;
    }
    font.SetHeight(20); // a cell height
    EXPECT_EQ(font.Size(), -15);
    EXPECT_EQ(MulDiv(-13, 72, 96), -10);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    int changes = 0;
    font.OnChange = [&] { ++changes; };
    font.SetStyle(0xFF);
    EXPECT_EQ(font.Style(), kFontStyleMask);
    font.Assign(TrpFont());
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(font.SameAs(TrpFont()));
}

TEST_F(ComponentTest, BaseNamesAndUniqueNames)
{
    EXPECT_EQ(TestView().BaseName(), "Test");
    auto* first = new TestMemo(tree.Band);
    first->CreateUniqueName();
    EXPECT_EQ(first->Name(), "Memo1");
    auto* third = new TestMemo(tree.Band);
    third->SetName(QStringLiteral("Memo3"));
    auto* next = new TestMemo(tree.Band);
    next->CreateUniqueName();
    EXPECT_EQ(next->Name(), "Memo2");
    // Names are unique within the report, whatever the page.
    auto* page2 = new TestPage(tree.Report.get());
    page2->CreateUniqueName();
    EXPECT_EQ(page2->Name(), "Page2");
    auto* far = new TestMemo(new TestBand(page2));
    far->CreateUniqueName();
    EXPECT_EQ(far->Name(), "Memo4");
}

TEST_F(ComponentTest, NamingEveryObjectWhileWalkingAllObjects)
{
    for (int i = 0; i < 5; ++i)
        new TestMemo(tree.Band);
    // A fresh list on every read: renaming while walking one does not disturb it.
    for (TrpComponent* object : tree.Report->AllObjects()) {
        if (object->Name().isEmpty())
            object->CreateUniqueName();
    }
    QStringList names;
    for (const TrpComponent* object : tree.Band->Objects())
        names << object->Name();
    EXPECT_EQ(names, QStringList({"Memo1", "Memo2", "Memo3", "Memo4", "Memo5"}));
}

TEST_F(ComponentTest, RenameTable)
{
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("Memo1"));
    auto* other = new TestMemo(tree.Band);
    other->SetName(QStringLiteral("Memo2"));
    struct Case {
        const char* what;
        TrpComponent* object;
        const char* newName;
        bool inherited;
        const char* error;
        const char* nameAfter;
    };
    const Case cases[] = {
        {"capitals only", memo, "MEMO1", false, "", "Memo1"},
        {"duplicate", memo, "memo2", false, "Повторяющееся имя", "Memo1"},
        {"duplicate of a page", memo, "Page1", false, "Повторяющееся имя", "Memo1"},
        {"inherited", memo, "Other", true,
         "Невозможно переименовать Memo1, объект был объявлен в родительском отчёте", "Memo1"},
        {"no identifier", memo, "1abc", false, "'1abc' is not a valid component name", "Memo1"},
        {"blank inside", memo, "a b", false, "'a b' is not a valid component name", "Memo1"},
        {"fine", memo, "_Total_2", false, "", "_Total_2"},
        {"empty", other, "", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.object->SetAncestor(c.inherited);
        EXPECT_EQ(ErrorOf([&] { c.object->SetName(QString::fromUtf8(c.newName)); }), c.error);
        EXPECT_EQ(c.object->Name().toStdString(), c.nameAfter);
        c.object->SetAncestor(false);
    }
    // Outside a report names are not compared.
    TestView a;
    TestView b;
    a.SetName(QStringLiteral("X"));
    b.SetName(QStringLiteral("X"));
    EXPECT_EQ(b.Name(), "X");
}

TEST_F(ComponentTest, ParentFontCascades)
{
    auto* memo = new TestMemo(tree.Band);
    auto* other = new TestBand(tree.Page);
    EXPECT_TRUE(memo->ParentFont());
    TrpFont times;
    times.SetName(QStringLiteral("Times New Roman"));
    times.SetSize(12);
    other->SetFont(times);
    EXPECT_FALSE(other->ParentFont());
    memo->SetParent(other);
    EXPECT_EQ(memo->Font().Name(), "Times New Roman");
    EXPECT_TRUE(memo->ParentFont());
    // A change of the band's font reaches its children that follow it.
    other->Font().SetStyle(kFontStyleBold);
    EXPECT_EQ(memo->Font().Style(), kFontStyleBold);
    EXPECT_TRUE(memo->ParentFont());
    // The page's font reaches the band and its memo through the band.
    tree.Band->SetParentFont(true);
    memo->SetParent(tree.Band);
    tree.Page->Font().SetName(QStringLiteral("Courier New"));
    EXPECT_EQ(tree.Band->Font().Name(), "Courier New");
    EXPECT_EQ(memo->Font().Name(), "Courier New");
    // A font of its own ends the inheritance.
    memo->Font().SetColor(255);
    EXPECT_FALSE(memo->ParentFont());
    tree.Page->Font().SetName(QStringLiteral("Arial"));
    EXPECT_EQ(memo->Font().Name(), "Courier New");
}

TEST_F(ComponentTest, RestrictionsHoldOnlyWhileDesigning)
{
    auto* memo = new TestMemo(tree.Band);
    memo->SetBounds(10, 20, 30, 40);
    memo->SetRestrictions(SetBit(rfDontMove) | SetBit(rfDontSize));
    memo->SetBounds(1, 2, 3, 4);
    EXPECT_EQ(memo->Left(), 1);
    EXPECT_EQ(memo->Height(), 4);
    memo->SetDesigning(true);
    memo->SetBounds(10, 20, 30, 40);
    EXPECT_EQ(memo->Left(), 1);
    EXPECT_EQ(memo->Top(), 2);
    EXPECT_EQ(memo->Width(), 3);
    EXPECT_EQ(memo->Height(), 4);
    memo->SetRestrictions(SetBit(rfDontSize));
    memo->SetLeft(10);
    memo->SetWidth(30);
    EXPECT_EQ(memo->Left(), 10);
    EXPECT_EQ(memo->Width(), 3);
}

TEST_F(ComponentTest, TreeWalks)
{
    auto* memo = new TestMemo(tree.Band);
    tree.Page->SetBounds(5, 6, 0, 0);
    tree.Band->SetBounds(1, 20, 0, 0);
    memo->SetBounds(3, 4, 0, 0);
    EXPECT_EQ(memo->AbsLeft(), 9);
    EXPECT_EQ(memo->AbsTop(), 30);
    EXPECT_EQ(memo->Page(), tree.Page);
    EXPECT_EQ(memo->Report(), tree.Report.get());
    EXPECT_EQ(memo->Owner(), tree.Report.get());
    EXPECT_EQ(tree.Report->FindObject(u"BAND1"), tree.Band);
    EXPECT_EQ(tree.Report->FindObject(u"Report"), nullptr) << "the object itself is not among its objects";
    auto* dialog = new TestDialogPage(tree.Report.get());
    dialog->SetTop(100);
    auto* control = new TestView(dialog);
    control->SetTop(7);
    EXPECT_EQ(control->AbsTop(), 7) << "objects on a dialog page are placed in its window";
    // An object cannot go inside itself.
    EXPECT_FALSE(ErrorOf([&] { tree.Page->SetParent(memo); }).empty());
    EXPECT_EQ(tree.Page->Parent(), tree.Report.get());
    // Parents own their children; Detach hands one over.
    QPointer<TrpComponent> watched(memo);
    std::unique_ptr<TrpComponent> detached = memo->Detach();
    EXPECT_EQ(memo->Parent(), nullptr);
    EXPECT_TRUE(tree.Band->Objects().empty());
    detached->SetParent(tree.Band);
    detached.release();
    delete tree.Page;
    tree.Page = nullptr;
    EXPECT_TRUE(watched.isNull());
}

TEST_F(ComponentTest, ClearKeepsInheritedChildren)
{
    auto* a = new TestMemo(tree.Band);
    auto* inherited = new TestMemo(tree.Band);
    auto* c = new TestMemo(tree.Band);
    (void)a;
    (void)c;
    inherited->SetAncestor(true);
    tree.Band->Clear();
    ASSERT_EQ(tree.Band->Objects().size(), 1u);
    EXPECT_EQ(tree.Band->Objects()[0], inherited);
    // The kept child is cleared in turn; the report keeps the inherited page and band only.
    tree.Band->SetAncestor(true);
    tree.Page->SetAncestor(true);
    new TestPage(tree.Report.get());
    tree.Report->Clear();
    EXPECT_EQ(tree.Report->AllObjects().size(), 3u);
}

TEST_F(ComponentTest, PrintHooksRestoreBounds)
{
    auto* memo = new TestMemo(tree.Band);
    memo->SetBounds(1, 2, 3, 4);
    memo->BeforePrint();
    memo->SetBounds(10, 20, 30, 40);
    memo->AfterPrint();
    EXPECT_EQ(memo->Left(), 1);
    EXPECT_EQ(memo->Height(), 4);
    tree.Band->SetBounds(100, 200, 0, 0);
    const TrpRect bounds = memo->GetRealBounds();
    EXPECT_EQ(bounds.Left, 101);
    EXPECT_EQ(bounds.Bottom, 206);
    EXPECT_EQ(RoundTo8Decimals(210.000000004), 210);
    EXPECT_EQ(RoundTo8Decimals(0.123456785), 0.12345678);
}

struct AlignView {
    TrpAlign align;
    double left, top, width, height;
};

struct AlignCase {
    const char* what;
    std::vector<AlignView> views;
    std::vector<std::array<double, 4>> expected; // left, top, width, height
};

void PrintTo(const AlignCase& c, std::ostream* os)
{
    *os << c.what;
}

class AlignChildrenTest : public testing::TestWithParam<AlignCase> {};

TEST_P(AlignChildrenTest, Places)
{
    TestTree tree;
    tree.Band->SetBounds(0, 0, 500, 40);
    std::vector<TestView*> views;
    for (const AlignView& v : GetParam().views) {
        auto* view = new TestView(tree.Band);
        view->Align = v.align;
        view->SetBounds(v.left, v.top, v.width, v.height);
        views.push_back(view);
    }
    tree.Band->AlignChildren();
    for (size_t i = 0; i < views.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& e = GetParam().expected[i];
        EXPECT_DOUBLE_EQ(views[i]->Left(), e[0]);
        EXPECT_DOUBLE_EQ(views[i]->Top(), e[1]);
        EXPECT_DOUBLE_EQ(views[i]->Width(), e[2]);
        EXPECT_DOUBLE_EQ(views[i]->Height(), e[3]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AlignChildrenTest,
    testing::Values(
        AlignCase{"left, left, right",
                  {{baLeft, 100, 0, 50, 20}, {baLeft, 200, 0, 60, 20}, {baRight, 300, 0, 70, 20}},
                  {{0, 0, 50, 20}, {50, 0, 60, 20}, {430, 0, 70, 20}}},
        AlignCase{"width between neighbours",
                  {{baNone, 0, 0, 50, 20}, {baWidth, 100, 0, 10, 20}, {baNone, 400, 0, 50, 20}},
                  {{0, 0, 50, 20}, {50, 0, 350, 20}, {400, 0, 50, 20}}},
        AlignCase{"width to the edge", {{baWidth, 100, 0, 10, 20}}, {{0, 0, 500, 20}}},
        AlignCase{"right against a right neighbour",
                  {{baRight, 10, 0, 30, 20}, {baRight, 20, 0, 40, 20}},
                  {{430, 0, 30, 20}, {460, 0, 40, 20}}},
        AlignCase{"center", {{baCenter, 3, 5, 100, 10}}, {{200, 5, 100, 10}}},
        AlignCase{"bottom", {{baBottom, 3, 5, 100, 10}}, {{3, 30, 100, 10}}},
        AlignCase{"client", {{baClient, 3, 5, 100, 10}}, {{0, 0, 500, 40}}},
        AlignCase{"negative lefts by magnitude",
                  {{baLeft, -5, 0, 10, 20}, {baLeft, -20, 0, 10, 20}, {baLeft, 10, 0, 10, 20}},
                  {{0, 0, 10, 20}, {10, 0, 10, 20}, {20, 0, 10, 20}}},
        AlignCase{"no vertical overlap",
                  {{baLeft, 100, 0, 50, 20}, {baLeft, 200, 20, 50, 20}},
                  {{0, 0, 50, 20}, {0, 20, 50, 20}}},
        AlignCase{"equal keys keep the children's order",
                  {{baLeft, 7.001, 0, 10, 20}, {baLeft, 7.004, 0, 20, 20}},
                  {{0, 0, 10, 20}, {10, 0, 20, 20}}},
        AlignCase{"width skips earlier views now to its right",
                  {{baNone, 0, 0, 300, 20}, {baLeft, 10, 0, 50, 20}, {baWidth, 20, 0, 10, 20}},
                  {{0, 0, 300, 20}, {300, 0, 50, 20}, {300, 0, 200, 20}}},
        AlignCase{"width skips views inside it",
                  {{baWidth, 0, 0, 200, 20}, {baNone, 50, 0, 20, 20}, {baNone, 300, 0, 50, 20}},
                  {{0, 0, 300, 20}, {50, 0, 20, 20}, {300, 0, 50, 20}}}));

TEST_F(ComponentTest, DiffGoldenTexts)
{
    TestMemo original;
    original.SetBounds(10, 20, 100, 30);
    auto diffOf = [&](const std::function<void(TestMemo&)>& change) {
        TestMemo copy;
        copy.SetBounds(10, 20, 100, 30);
        change(copy);
        return copy.Diff(original).toStdString();
    };
    EXPECT_EQ(diffOf([](TestMemo&) {}), "");
    EXPECT_EQ(diffOf([](TestMemo& m) { m.SetLeft(10.00005); }), "");
    EXPECT_EQ(diffOf([](TestMemo& m) {
                  m.SetBounds(12.5, 3.77953, 100, 31);
                  m.SetVisible(false);
                  m.SetTag(7);
              }),
              R"( l="12.5" t="3.77953" h="31" Visible="0" Tag="7")");
    EXPECT_EQ(diffOf([](TestMemo& m) {
                  m.SetWidth(1e20);
                  m.SetHeight(-0.25);
              }),
              R"( w="1E20" h="-0.25")");
    EXPECT_EQ(diffOf([](TestMemo& m) {
                  m.AutoWidth = true;
                  m.SetWidth(50);
              }),
              "");
    EXPECT_EQ(diffOf([](TestMemo& m) {
                  TrpFont font;
                  font.SetName(QStringLiteral("A \"&<>\" Ж"));
                  font.SetSize(12);
                  font.SetColor(255);
                  font.SetStyle(kFontStyleBold | kFontStyleUnderline);
                  font.SetCharset(204);
                  m.SetFont(font);
              }),
              R"( Font.Name="A &#34;&#38;&#60;&#62;&#34; Ж" Font.Size="12" Font.Color="255" Font.Style="5" Font.Charset="204" ParentFont="0")");
    // Without ParentFont the font is compared even when it is the same.
    EXPECT_EQ(diffOf([](TestMemo& m) { m.SetParentFont(false); }), R"( ParentFont="0")");

    TestBand band;
    band.SetTop(20);
    TestBand bandCopy;
    bandCopy.SetTop(20);
    EXPECT_EQ(bandCopy.Diff(band), R"( t="20")") << "a band always writes its top";
}

TEST_F(ComponentTest, AllDiffGoldenTexts)
{
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetBounds(1, 2, 3, 4);
    memo->Memo.SetText(u"hello\r\n");
    EXPECT_EQ(memo->AllDiff(nullptr).toStdString(),
              R"(Left="1" Top="2" Width="3" Height="4" Ratio="0" Lines.Text="" Frame.LeftLine.Width="1" Text="hello")");
    TestMemo original;
    original.SetBounds(1, 2, 3, 5);
    EXPECT_EQ(memo->AllDiff(&original).toStdString(),
              R"(Left="1" Top="2" Width="3" Height="4" Ratio="0" Lines.Text="" Frame.LeftLine.Width="1" Text="hello"  h="4")");
    TestNullBand null;
    null.SetBounds(5, 6.5, 7, 8);
    EXPECT_EQ(null.AllDiff(nullptr).toStdString(), R"(Left="5" Top="6.5" Width="7" Height="8" l="5" t="6.5")");
}

TEST_F(ComponentTest, FindDataSetAsksTheReportOrTheGlobalList)
{
    auto* memo = new TestMemo(tree.Band);
    TestView dataSet;
    EXPECT_EQ(memo->FindDataSet(&dataSet, QStringLiteral("x")), &dataSet);
    TestView loose;
    TestView found;
    TrpComponent::SetGlobalDataSetLookup([&](TrpComponent*, const QString& name, TrpComponent* report) -> TrpComponent* {
        return name == u"Days" && report == nullptr ? &found : nullptr;
    });
    EXPECT_EQ(loose.FindDataSet(nullptr, QStringLiteral("Days")), &found);
    TrpComponent::SetGlobalDataSetLookup({});
    EXPECT_EQ(loose.FindDataSet(&dataSet, QStringLiteral("Days")), &dataSet);
}

TEST_F(ComponentTest, DesignCreationAndHooks)
{
    const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(u"TrpTestMemo");
    ASSERT_NE(cls, nullptr);
    TrpComponent* made = TrpComponent::CreateForDesign(*cls, tree.Band, 3);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsDesigning());
    EXPECT_EQ(made->Parent(), tree.Band);
    EXPECT_EQ(made->ClassName(), "TrpTestMemo");
    EXPECT_TRUE(made->InheritsFromClass(u"trpreportcomponent"));
    EXPECT_FALSE(made->ContainerAdd(nullptr));
    EXPECT_EQ(made->ContainerObjects().size(), 0u);
    EXPECT_EQ(TrpComponent::CreateByName(u"TrpNothing"), nullptr);
    EXPECT_EQ(TrpComponent::CreateByName(u"TFont"), nullptr) << "not a report object";
}

} // namespace
