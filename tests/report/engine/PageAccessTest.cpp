// Prepared pages as page objects: rebuilding, the page cache (and callers that keep a page),
// page sizes, the preview's page editing, appending another report's pages, and the mouse over
// a page in the preview: links, anchors, hints, cursors, click handlers and drill-down groups.

#include "EngineTestSupport.h"

#include "ReportFakes.h"

#include "report/core/Cursors.h"

#include <QPointer>

#include <ostream>

using namespace enginetest;

namespace {

// --- rebuilding and the cache

TEST(PageAccess, RebuiltPagesHoldTheSourceObjectsWithTheirDifferences)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    TrpReportPage* page = store.GetPage(0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name(), "Page1");
    EXPECT_EQ(page->LeftMargin, 10);
    EXPECT_EQ(DumpPage(store, page).toStdString(),
              "b1 Page0.PageHeader1 0.00 0.00 718.11 40.00\n"
              "  m1 Page0.Title 0.00 0.00 600.00 24.00 Отчет «Пример»\n"
              "  p1 Page0.Logo 640.00 0.00 32.00 32.00\n"
              "b2 Page0.MasterData1 0.00 60.00 718.11 20.00\n"
              "  m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 1\n"
              "  m3 Page0.Value 300.00 0.00 120.00 20.00 12.5\n"
              "b2 Page0.MasterData1 0.00 80.00 718.11 20.00\n"
              "  m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 2\n"
              "  m3 Page0.Value 300.00 0.00 120.00 20.00 25.0\n"
              "b2 Page0.MasterData1 0.00 100.00 718.11 20.00\n"
              "  m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 3\n"
              "  m3 Page0.Value 300.00 0.00 120.00 20.00 37.5\n"
              "b3 Page0.PageFooter1 0.00 1000.00 718.11 20.00\n"
              "  m4 Page0.PageNo 0.00 0.00 300.00 20.00 Страница 1 из [TotalPages#]");
    auto* value = dynamic_cast<TrpMemoView*>(page->Objects()[1]->Objects()[1]);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->Name(), "Value");
    EXPECT_EQ(value->HAlign, haRight);
    EXPECT_EQ(value->Font().Name(), "Arial");
    // The picture comes from the picture cache.
    auto* logo = dynamic_cast<TrpPictureView*>(page->Objects()[0]->Objects()[1]);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->Picture().Data(), BmpBytes());
}

TEST(PageAccess, EmptyStoreHasNoPagesAndNoSizes)
{
    PreparedReport prepared;
    TrpPreviewPages& store = prepared.Store();
    EXPECT_EQ(store.GetPage(0), nullptr);
    for (int32_t index : {-1, 0, 5})
        EXPECT_EQ(store.GetPageSize(index), QPoint(0, 0));
}

TEST(PageAccess, SizesOfPagesAndIndexesOutside)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    EXPECT_EQ(store.GetPageSize(0), QPoint(794, 1123));
    EXPECT_EQ(store.GetPageSize(2), QPoint(0, 0));
    EXPECT_EQ(store.GetPageSize(-1), QPoint(0, 0));
    EXPECT_THROW(store.GetPage(2), platform::Exception);
}

TEST(PageAccess, TheSameIndexGivesTheSameObjectUnlessTheEngineRuns)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    TrpReportPage* first = store.GetPage(1);
    EXPECT_EQ(store.GetPage(1), first);
    prepared.Engine().Running = true;
    TrpReportPage* rebuilt = store.GetPage(1);
    EXPECT_NE(rebuilt, first);
    prepared.Engine().Running = false;
    EXPECT_EQ(store.GetPage(1), rebuilt); // the newest is found first
}

TEST(PageAccess, CacheOfNoPagesStillHoldsOne)
{
    PreparedReport prepared = BuildTwoPageStore();
    prepared.Report().PreviewOptions().PagesInCache = 0;
    TrpPreviewPages& store = prepared.Store();
    TrpReportPage* page = store.GetPage(0);
    EXPECT_EQ(store.CachedPages(), 1);
    EXPECT_EQ(store.GetPage(0), page);
    store.GetPage(1);
    EXPECT_EQ(store.CachedPages(), 1);
}

TEST(PageAccess, KeptPageIsGoneOnceTheCacheDropsItAndIsFetchedAgain)
{
    PreparedReport prepared;
    FillRows(prepared, AddRowsPage(prepared.Report()), 6, 2);
    prepared.Report().PreviewOptions().PagesInCache = 3;
    TrpPreviewPages& store = prepared.Store();
    QPointer<TrpReportPage> kept = store.GetPage(0);
    ASSERT_NE(kept, nullptr);
    for (int32_t i = 1; i <= 2; ++i)
        store.GetPage(i);
    EXPECT_NE(kept, nullptr);
    for (int32_t i = 3; i <= 5; ++i)
        store.GetPage(i);
    EXPECT_EQ(kept, nullptr);
    EXPECT_EQ(store.CachedPages(), 3);
    // A caller that held it asks again.
    kept = store.GetPage(0);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(DumpPage(store, kept).toStdString(),
              "b1 Page0.MasterData1 0.00 0.00 755.91 20.00\n"
              "  m1 Page0.Row 0.00 0.00 200.00 20.00 Row 1.1\n"
              "b1 Page0.MasterData1 0.00 20.00 755.91 20.00\n"
              "  m1 Page0.Row 0.00 0.00 200.00 20.00 Row 1.2");
}

TEST(PageAccess, ObjectsThatCannotBePlacedFailTheRebuild)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    // A memo under a memo, and an unknown class.
    ItemAt(store, QStringLiteral("previewpages/page0/b1/m1"))->Add(QStringLiteral("m2"));
    try {
        store.GetPage(0);
        FAIL() << "rebuilt";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), "Недопустимое размещение объекта класса TrpMemoView");
    }
    ItemAt(store, QStringLiteral("previewpages"))->Items(1)->Add(QStringLiteral("TrpNoSuchView"));
    try {
        store.GetPage(1);
        FAIL() << "rebuilt";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), "Class TrpNoSuchView not found");
    }
    EXPECT_EQ(store.CachedPages(), 0);
}

// --- editing

TEST(PageAccess, DeletingTheLastPageDoesNothing)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    store.DeletePage(0);
    EXPECT_EQ(store.GetCount(), 1);
    store.DeletePage(0);
    EXPECT_EQ(store.GetCount(), 1);
    EXPECT_TRUE(DumpPage(store, store.GetPage(0)).contains(u"Строка 4"));
}

TEST(PageAccess, EmptyPageTakesTheSourcePageOfThePageAtItsPlace)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    TrpReportPage* kept = store.GetPage(0);
    const QPointer<TrpReportPage> watched = kept;
    store.AddEmptyPage(0);
    EXPECT_EQ(watched, nullptr); // the cache was emptied
    EXPECT_EQ(store.GetCount(), 3);
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("previewpages"))), "page0 page0 page0");
    TrpReportPage* blank = store.GetPage(0);
    EXPECT_TRUE(blank->Objects().empty());
    EXPECT_EQ(blank->LeftMargin, 10);
    EXPECT_EQ(store.GetPageSize(0), QPoint(794, 1123));
    EXPECT_TRUE(DumpPage(store, store.GetPage(1)).contains(u"Строка 1"));
}

TEST(PageAccess, ModifiedPageIsStoredWholeAndSurvivesAFile)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    TrpReportPage* page = store.GetPage(1);
    auto* memo = dynamic_cast<TrpMemoView*>(page->Objects()[0]->Objects()[0]);
    memo->SetText(QStringLiteral("Изменено"));
    memo->SetLeft(7);
    store.ModifyPage(1, page);
    EXPECT_EQ(store.PageElementName(1), "TrpReportPage");
    EXPECT_FALSE(ItemAt(store, QStringLiteral("previewpages"))->Items(1)->Unloadable());
    const QString edited = DumpPage(store, store.GetPage(1));
    EXPECT_TRUE(edited.contains(u"TrpMemoView  7.00 0.00 300.00 20.00 Изменено")) << edited.toStdString();

    const QByteArray saved = SaveStore(store);
    PreparedReport loaded;
    LoadStore(loaded.Store(), saved);
    EXPECT_EQ(DumpPage(loaded.Store(), loaded.Store().GetPage(1)).toStdString(), edited.toStdString());
    EXPECT_EQ(SaveStore(loaded.Store()), saved);
}

TEST(PageAccess, AnotherReportsPagesAreAppendedWhole)
{
    PreparedReport prepared = BuildTwoPageStore();
    PreparedReport other = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    const QString firstOfOther = DumpPage(other.Store(), other.Store().GetPage(0));
    store.AddFrom(other.Report());
    EXPECT_EQ(store.GetCount(), 4);
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("previewpages"))), "page0 page0 TrpReportPage TrpReportPage");
    // Whole pages hold their objects under their classes, with their names.
    EXPECT_EQ(DumpPage(store, store.GetPage(2)).count(u"TrpMemoView"), 8);
    EXPECT_TRUE(DumpPage(store, store.GetPage(2)).contains(u"Страница 1 из [TotalPages#]"));
    EXPECT_EQ(store.GetAnchorPage(QStringLiteral("row4")), 4); // the last one added is found
    EXPECT_EQ(ItemAt(store, QStringLiteral("anchors"))->Items(1)->Text(), "text=\"row4\" page=\"3\" top=\"0\"");
    const TrpXMLItem* outline = ItemAt(store, QStringLiteral("outline"));
    ASSERT_EQ(outline->Count(), 4);
    EXPECT_EQ(outline->Items(3)->Text(), "text=\"Страница 2\" page=\"3\" top=\"0\"");
    EXPECT_EQ(outline->Items(3)->Items(1)->Text(), "text=\"Строка 5\" page=\"3\" top=\"20\"");
    // The bottom of the last band of the other report's last page (page footers do not count).
    store.CurPage = 3;
    EXPECT_EQ(store.GetLastY(0), 40);
    EXPECT_EQ(other.Store().CurPage, -1);
    EXPECT_EQ(DumpPage(other.Store(), other.Store().GetPage(0)), firstOfOther);
}

// --- the mouse

// A preview that records what the store asks of it.
class RecordingPreview : public TrpCustomPreview {
public:
    void Init() override {}
    void Lock() override { Calls << QStringLiteral("Lock"); }
    void Unlock() override { Calls << QStringLiteral("Unlock"); }
    void RefreshReport() override { Calls << QStringLiteral("RefreshReport"); }
    void InternalOnProgressStart(TrpReport&, TrpProgressType, int32_t) override {}
    void InternalOnProgress(TrpReport&, TrpProgressType, int32_t) override {}
    void InternalOnProgressStop(TrpReport&, TrpProgressType, int32_t) override {}
    void SetPageNo(int32_t page) override { Calls << QStringLiteral("SetPageNo %1").arg(page); }
    void SetPosition(int32_t page, int32_t top) override { Calls << QStringLiteral("SetPosition %1 %2").arg(page).arg(top); }
    void SetObjectHint(const QString& hint, bool show) override
    {
        Calls << QStringLiteral("SetObjectHint %1 %2").arg(hint).arg(show ? 1 : 0);
    }
    void InvalidatePage() override { Calls << QStringLiteral("InvalidatePage"); }

    QStringList Calls;
};

// Two pages of one source page with 10 mm margins (20 mm on the right, mirrored): a band of
// linked memos 100 pixels wide at the top, a drill-down group header below it.
class MouseOver : public testing::Test {
protected:
    void SetUp() override
    {
        TrpReport& report = prepared.Report();
        report.CheckDataPage();
        auto* page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->LeftMargin = page->TopMargin = 10;
        page->RightMargin = 20;
        page->MirrorMargins = true;
        auto* links = AddBand<TrpMasterData>(page, QStringLiteral("Links"), 0, 20);
        const char* urls[] = {"@3", "#a1", "#nope", "http://example.com/x", "file:///etc/passwd", ""};
        for (int i = 0; i < 6; ++i) {
            TrpMemoView* memo = AddMemo(links, QStringLiteral("Link%1").arg(i), 100.0 * i, 0, 100, 20, QString());
            memo->URL = QString::fromLatin1(urls[i]);
        }
        auto* plain = dynamic_cast<TrpMemoView*>(report.FindObject(u"Link5"));
        plain->Cursor = -3; // crCross
        plain->Hint = QStringLiteral("Short|Long text");
        plain->ShowHint = true;
        auto* group = AddBand<TrpGroupHeader>(page, QStringLiteral("Group1"), 40, 30);
        group->DrillDown = true;
        group->DrillName = QStringLiteral("G1");
        AddMemo(group, QStringLiteral("InGroup"), 0, 0, 100, 30, QStringLiteral("group"));

        TrpPreviewPages& store = prepared.Store();
        store.AddSourcePage(page);
        store.BeginPass();
        store.AddPageAction = apAdd;
        for (int i = 0; i < 2; ++i) {
            store.AddPage(page);
            prepared.Engine().CurY = 55.4;
            if (i == 1)
                store.AddAnchor(QStringLiteral("a1"));
            PrintBand(store, *links, 0);
            PrintBand(store, *group, 40);
        }
        store.Finish();
        preview.UseReportHints = true;
        report.SetPreview(&preview);
        report.OnClickObject = [this](TrpView& view, int32_t button, uint32_t, bool& modified) {
            clicks << QStringLiteral("%1/%2").arg(view.Name()).arg(button);
            modified = modifyOnClick;
        };
        report.OnMouseOverObject = [this](TrpView& view) { over << view.Name(); };
    }
    void TearDown() override { prepared.Report().SetPreview(nullptr); }

    // One mouse event at (x, y) on page `index` at scale 1 with the paper at (0, 0).
    int32_t Mouse(int32_t index, int32_t x, int32_t y, bool click, int32_t button = kMouseButtonLeft,
                  double scale = 1)
    {
        int32_t cursor = crDefault;
        prepared.Store().ObjectOver(index, x, y, button, 0, scale, 0, 0, click, cursor, false);
        return cursor;
    }

    PreparedReport prepared;
    RecordingPreview preview;
    reporttest::RecordingReportUi ui;
    QStringList clicks;
    QStringList over;
    bool modifyOnClick = false;
};

// The printable area starts at 10 mm = 37.8 pixels: 38 after rounding.
constexpr int kLeft = 38;
constexpr int kTop = 38;

TEST_F(MouseOver, LinkToAPageNumber)
{
    EXPECT_EQ(Mouse(0, kLeft + 5, kTop + 5, true), crHandPoint);
    EXPECT_EQ(preview.Calls.join(u';'), "SetObjectHint  0;SetPageNo 3");
    EXPECT_EQ(clicks.join(u' '), "Link0/0");
    EXPECT_TRUE(over.isEmpty());
}

TEST_F(MouseOver, LinkToAnAnchorShowsItsPageAndPosition)
{
    Mouse(0, kLeft + 150, kTop + 5, true);
    EXPECT_TRUE(preview.Calls.contains(QStringLiteral("SetPosition 2 55"))) << preview.Calls.join(u';').toStdString();
    EXPECT_EQ(clicks.join(u' '), "Link1/0");
}

TEST_F(MouseOver, UnknownAnchorOnlyRunsTheClickHandlers)
{
    Mouse(0, kLeft + 250, kTop + 5, true);
    EXPECT_EQ(preview.Calls.join(u';'), "SetObjectHint  0");
    EXPECT_EQ(clicks.join(u' '), "Link2/0");
    EXPECT_TRUE(ui.OpenedUrls.isEmpty());
}

TEST_F(MouseOver, WebLinksOpenAndLocalOnesDoNot)
{
    Mouse(0, kLeft + 350, kTop + 5, true);
    EXPECT_EQ(ui.OpenedUrls.join(u' '), "http://example.com/x");
    Mouse(0, kLeft + 450, kTop + 5, true);
    EXPECT_EQ(ui.OpenedUrls.join(u' '), "http://example.com/x");
    EXPECT_EQ(clicks.join(u' '), "Link3/0 Link4/0");
}

TEST_F(MouseOver, MovingOverAViewShowsItsHintAndCursorWithoutClicking)
{
    EXPECT_EQ(Mouse(0, kLeft + 550, kTop + 5, false), -3);
    EXPECT_EQ(preview.Calls.join(u';'), "SetObjectHint Short 1");
    EXPECT_EQ(over.join(u' '), "Link5");
    EXPECT_TRUE(clicks.isEmpty());
    // Over nothing: the hint goes.
    preview.Calls.clear();
    EXPECT_EQ(Mouse(0, kLeft + 650, kTop + 5, false), crDefault);
    EXPECT_EQ(preview.Calls.join(u';'), "SetObjectHint  0");
}

TEST_F(MouseOver, EdgePixels)
{
    struct Case {
        int32_t x;
        int32_t y;
        double scale;
        const char* clicked;
    };
    // Right and bottom edges belong to what lies beyond; at scale 2 the margin is 75.6 -> 76.
    const Case cases[] = {{kLeft, kTop, 1, "Link0/0"},          {kLeft - 1, kTop, 1, ""},
                          {kLeft + 99, kTop + 19, 1, "Link0/0"}, {kLeft + 100, kTop + 5, 1, "Link1/0"},
                          {kLeft + 599, kTop + 5, 1, "Link5/0"}, {kLeft + 600, kTop + 5, 1, ""},
                          {kLeft + 5, kTop + 20, 1, ""},         {76, 76, 2, "Link0/0"},
                          {75, 76, 2, ""},                       {76 + 199, 76 + 39, 2, "Link0/0"},
                          {76 + 200, 76, 2, "Link1/0"},          {76 + 5, 76 + 40, 2, ""}};
    for (const Case& c : cases) {
        clicks.clear();
        Mouse(0, c.x, c.y, true, kMouseButtonLeft, c.scale);
        EXPECT_EQ(clicks.join(u' ').toStdString(), c.clicked) << c.x << "," << c.y << " at " << c.scale;
    }
}

TEST_F(MouseOver, MirroredMarginsOnOddPages)
{
    // Page 2 (index 1) starts at its right margin, 20 mm = 75.6 -> 76 pixels.
    Mouse(1, 76, kTop + 5, true);
    EXPECT_EQ(clicks.join(u' '), "Link0/0");
    clicks.clear();
    Mouse(1, 75, kTop + 5, true);
    EXPECT_EQ(clicks.join(u' '), "");
    Mouse(0, kLeft, kTop + 5, true);
    EXPECT_EQ(clicks.join(u' '), "Link0/0");
    // The page keeps its own margins.
    EXPECT_EQ(prepared.Store().GetPage(1)->LeftMargin, 10);
}

TEST_F(MouseOver, DrillDownGroupTogglesItsStateOnALeftClick)
{
    // On the group's memo and on the group itself.
    EXPECT_EQ(Mouse(0, kLeft + 5, kTop + 45, true), crHandPoint);
    EXPECT_EQ(prepared.Report().DrillState.join(u' '), "G1");
    EXPECT_EQ(over.join(u' '), "InGroup"); // a drill-down view is not clicked
    EXPECT_TRUE(clicks.isEmpty());
    EXPECT_TRUE(preview.Calls.contains(QStringLiteral("RefreshReport")));
    Mouse(0, kLeft + 300, kTop + 45, true);
    EXPECT_EQ(prepared.Report().DrillState.join(u' '), "");
    // A right click only sets the cursor.
    preview.Calls.clear();
    EXPECT_EQ(Mouse(0, kLeft + 5, kTop + 45, true, 1), crHandPoint);
    EXPECT_EQ(prepared.Report().DrillState.join(u' '), "");
    EXPECT_FALSE(preview.Calls.contains(QStringLiteral("RefreshReport")));
    // Moving over it only sets the cursor too.
    EXPECT_EQ(Mouse(0, kLeft + 300, kTop + 45, false), crHandPoint);
    EXPECT_EQ(prepared.Report().DrillState.join(u' '), "");
}

TEST_F(MouseOver, ClickThatModifiesStoresThePage)
{
    modifyOnClick = true;
    Mouse(0, kLeft + 5, kTop + 5, true);
    EXPECT_EQ(prepared.Store().PageElementName(0), "TrpReportPage");
    EXPECT_TRUE(preview.Calls.contains(QStringLiteral("InvalidatePage")));
}

TEST_F(MouseOver, NothingWhileTheEngineRunsOrOutsideThePages)
{
    prepared.Engine().Running = true;
    EXPECT_EQ(Mouse(0, kLeft + 5, kTop + 5, true), crDefault);
    prepared.Engine().Running = false;
    EXPECT_EQ(Mouse(2, kLeft + 5, kTop + 5, true), crDefault);
    EXPECT_EQ(Mouse(-1, kLeft + 5, kTop + 5, true), crDefault);
    EXPECT_TRUE(clicks.isEmpty());
    EXPECT_TRUE(preview.Calls.isEmpty());
}

} // namespace
