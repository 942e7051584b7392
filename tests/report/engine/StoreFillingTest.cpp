// Filling the prepared-page store as the engine does: source pages and aliases, pages and
// their objects as differences, the memory budget, keep-together cut and paste, anchors,
// logical page numbers, and the golden two-page store.
//
// DAX_WRITE_ENGINE_FIXTURES=1 writes data/zp3/two-pages.zp3 again instead of comparing it.

#include "EngineTestSupport.h"

#include "UnderLocale.h"

#include "report/model/rpClass_datasets.h"

#include <QDir>
#include <QTemporaryDir>

using namespace enginetest;

namespace {

TEST(PreparedStore, TwoPageStoreIsTheCommittedFixture)
{
    PreparedReport prepared = BuildTwoPageStore();
    const QByteArray saved = SaveStore(prepared.Store());
    const QString fileName = kEngineData + QStringLiteral("zp3/two-pages.zp3");
    if (qEnvironmentVariableIsSet("DAX_WRITE_ENGINE_FIXTURES")) {
        WriteFileBytes(fileName, saved);
        return;
    }
    EXPECT_EQ(saved.toStdString(), ReadFileBytes(fileName).toStdString());
}

// What a printed copy of an object stores: only what differs from its source copy.
TEST(PreparedStore, ObjectsAreStoredAsDifferences)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("previewpages"))), "page0 page0");
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("previewpages/page0"))), "b1 b2 b2 b2 b3");
    // A band always stores its top; a memo changed only in its text stores only the text.
    const TrpXMLItem* row = ItemAt(store, QStringLiteral("previewpages/page0"))->Items(2);
    EXPECT_EQ(row->Text(), "t=\"80\"");
    EXPECT_EQ(row->Items(0)->Text(), "u=\"Строка 2\"");
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("picturecache"))), "");
    // The picture went to the picture cache once.
    EXPECT_EQ(store.PictureCache().Count(), 1);
    EXPECT_EQ(ItemAt(store, QStringLiteral("previewpages/page0/b1"))->Items(1)->Text(), "ImageIndex=\"1\"");
}

TEST(PreparedStore, FirstPassOfTwoStoresOnlyTheCommonDifferences)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    prepared.Report().EngineOptions().DoublePass = true;
    prepared.Engine().FinalPass = false;
    auto* memo = dynamic_cast<TrpMemoView*>(page->FindObject(u"Row"));
    memo->Font().SetStyle(kFontStyleBold); // the font is part of the common differences
    FillRows(prepared, page, 1, 2);
    const TrpXMLItem* first = ItemAt(prepared.Store(), QStringLiteral("previewpages/page0"))->Items(1);
    EXPECT_EQ(first->Text(), "t=\"20\"");
    EXPECT_EQ(first->Items(0)->Text(), "");

    PreparedReport final;
    TrpReportPage* finalPage = AddRowsPage(final.Report());
    final.Report().EngineOptions().DoublePass = true;
    final.Engine().FinalPass = true;
    FillRows(final, finalPage, 1, 2);
    EXPECT_EQ(ItemAt(final.Store(), QStringLiteral("previewpages/page0"))->Items(1)->Items(0)->Text(),
              "u=\"Row 1.2\"");
}

TEST(PreparedStore, ThreeMemosOfTheFirstPageGetAliasesInOrder)
{
    PreparedReport prepared;
    TrpReport& report = prepared.Report();
    report.CheckDataPage();
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    for (int i = 1; i <= 3; ++i)
        AddMemo(band, QStringLiteral("Memo%1").arg(i), 100.0 * i, 0, 90, 20, QString());
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    EXPECT_EQ(store.Dictionary().Names().join(u' '), "b1 m1 m2 m3");
    EXPECT_EQ(store.Dictionary().SourceNames().join(u' '),
              "Page0.MasterData1 Page0.Memo1 Page0.Memo2 Page0.Memo3");
    EXPECT_EQ(report.FindObject(u"Memo2")->AliasName(), "m2");
    TrpComponent* copy = store.Dictionary().GetObject(u"m2");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), "Memo2");
    EXPECT_EQ(copy->AliasName(), "m2");
    EXPECT_EQ(copy->OriginalComponent(), report.FindObject(u"Memo2"));
    EXPECT_EQ(report.FindObject(u"Memo2")->OriginalComponent(), copy);
    // The copy keeps its base text: class name and every published property.
    EXPECT_TRUE(copy->BaseName().startsWith(u"TrpMemoView Left=\"200\" Top=\"0\" Width=\"90\"")) << copy->BaseName().toStdString();
    ASSERT_EQ(store.SourcePages().size(), 1u);
    EXPECT_EQ(store.SourcePages()[0]->OriginalComponent(), page);
}

TEST(PreparedStore, SourceCopiesLeaveOutPicturesBindingsAndHiddenObjects)
{
    PreparedReport prepared;
    TrpReport& report = prepared.Report();
    report.CheckDataPage();
    auto* data = new TrpUserDataSet(report.Pages(0));
    data->SetName(QStringLiteral("Rows"));
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    TrpMemoView* bound = AddMemo(band, QStringLiteral("Bound"), 0, 0, 90, 20, QString());
    bound->SetDataSet(data);
    bound->DataField = QStringLiteral("Value");
    auto* picture = new TrpPictureView(band);
    picture->SetName(QStringLiteral("Picture1"));
    TrpPicture bmp;
    bmp.SetData(QStringLiteral("BMP"), BmpBytes());
    picture->SetPicture(bmp);
    TrpMemoView* hidden = AddMemo(band, QStringLiteral("Hidden"), 100, 0, 90, 20, QString());
    hidden->SetComponentStyle(hidden->rpComponentStyle() & ~SetBit(csPreviewVisible));
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);

    EXPECT_EQ(store.Dictionary().Names().join(u' '), "b1 m1 p1");
    auto* boundCopy = dynamic_cast<TrpMemoView*>(store.Dictionary().GetObject(u"m1"));
    ASSERT_NE(boundCopy, nullptr);
    EXPECT_EQ(boundCopy->DataSet(), nullptr);
    EXPECT_EQ(boundCopy->DataField, "");
    EXPECT_EQ(bound->DataField, "Value"); // the template keeps its binding
    auto* pictureCopy = dynamic_cast<TrpPictureView*>(store.Dictionary().GetObject(u"p1"));
    ASSERT_NE(pictureCopy, nullptr);
    EXPECT_TRUE(pictureCopy->Picture().IsEmpty());
    EXPECT_FALSE(picture->Picture().IsEmpty());
    EXPECT_TRUE(picture->IsPictureStored);
    EXPECT_EQ(hidden->AliasName(), "");
    EXPECT_EQ(store.SourcePages()[0]->FindObject(u"Hidden"), nullptr);
}

TEST(PreparedStore, BandAliasesComeFromTheirKindOnlyInSourcePages)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    // A band the engine makes during the run takes the stem of its own name: "MasterData".
    TrpMasterData extra;
    extra.SetName(QStringLiteral("Extra"));
    store.AddToSourcePage(&extra);
    EXPECT_EQ(extra.AliasName(), "m2");
    TrpComponent* copy = store.Dictionary().GetObject(u"m2");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), "MasterData2"); // a unique name of its own on the source page
    EXPECT_EQ(store.Dictionary().GetSourceName(u"m2"), "Page0.MasterData2");
    EXPECT_EQ(extra.OriginalComponent(), copy);
    EXPECT_EQ(store.Dictionary().GetSourceName(u"b1"), "Page0.MasterData1");
}

TEST(PreparedStore, AddPageWritesOverAnExistingPageUnlessAdding)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPage(page);
    store.AddPage(page);
    EXPECT_EQ(store.GetCount(), 2);
    store.CurPage = -1;
    store.AddPageAction = apWriteOver;
    store.AddPage(page);
    EXPECT_EQ(store.GetCount(), 2);
    EXPECT_EQ(store.CurPage, 0);
    store.AddPageAction = apAdd;
    store.AddPage(page);
    EXPECT_EQ(store.GetCount(), 3);
    EXPECT_EQ(store.CurPage, 2);
    EXPECT_EQ(store.AddPageAction, apWriteOver);
}

TEST(PreparedStore, TheThirdPageIsTheFirstUnloadable)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    FillRows(prepared, page, 4, 1);
    const TrpXMLItem* pages = ItemAt(prepared.Store(), QStringLiteral("previewpages"));
    EXPECT_FALSE(pages->Items(0)->Unloadable());
    EXPECT_FALSE(pages->Items(1)->Unloadable());
    EXPECT_TRUE(pages->Items(2)->Unloadable());
    EXPECT_TRUE(pages->Items(3)->Unloadable());
}

TEST(PreparedStore, AnchorsAreFoundFromTheLastAndShiftToThePastePage)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPage(page);
    EXPECT_EQ(store.GetAnchorPage(QStringLiteral("none")), 1);
    prepared.Engine().CurY = 12.5; // rounded half to even
    store.AddAnchor(QStringLiteral("first"));
    EXPECT_EQ(store.GetAnchorPage(QStringLiteral("FIRST")), 1);
    store.AddPageAction = apAdd;
    store.AddPage(page);
    prepared.Engine().CurY = 100;
    store.AddAnchor(QStringLiteral("first"));
    prepared.Engine().CurY = 130;
    store.AddAnchor(QStringLiteral("second"));
    EXPECT_EQ(store.GetAnchorPage(QStringLiteral("first")), 2);
    EXPECT_EQ(store.FindAnchor(QStringLiteral("first"))->Text(), "text=\"first\" page=\"1\" top=\"100\"");
    EXPECT_EQ(ItemAt(store, QStringLiteral("anchors"))->Items(0)->Prop(u"top"), "12");
    EXPECT_EQ(store.GetAnchorCurPosition(), 2);

    // From the last index nothing moves.
    store.ShiftAnchors(2, 0);
    EXPECT_EQ(store.FindAnchor(QStringLiteral("second"))->Prop(u"top"), "130");
    // A block moved within its page (a new column): its anchors stay on the page.
    store.ShiftAnchors(0, 40);
    EXPECT_EQ(ItemAt(store, QStringLiteral("anchors"))->Items(1)->Text(), "text=\"first\" page=\"1\" top=\"40\"");
    EXPECT_EQ(store.FindAnchor(QStringLiteral("second"))->Text(), "text=\"second\" page=\"1\" top=\"70\"");
    EXPECT_EQ(ItemAt(store, QStringLiteral("anchors"))->Items(0)->Prop(u"page"), "0");
}

class PasteUnderLocale : public testing::TestWithParam<const char*> {};

TEST_P(PasteUnderLocale, CutObjectsMoveInTheCLocale)
{
    testsupport::ScopedLocale locale(GetParam());
    if (!locale.Ok())
        GTEST_SKIP() << GetParam() << " is not installed";
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    TrpPreviewPages& store = prepared.Store();
    auto* band = dynamic_cast<TrpBand*>(page->FindObject(u"MasterData1"));
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPage(page);
    // Nothing cut: nothing changes and no "cutted" is left.
    store.PasteObjects(5, 5);
    EXPECT_EQ(ItemAt(store, QStringLiteral("cutted")), nullptr);

    PrintBand(store, *band, 10);
    const int32_t position = store.GetCurPosition();
    EXPECT_EQ(position, 1);
    band->SetLeft(2.25);
    PrintBand(store, *band, 30.5);
    PrintBand(store, *band, 50.5);
    store.CutObjects(position);
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("cutted"))), "b1 b1");
    EXPECT_EQ(store.GetCurPosition(), 1);
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.PasteObjects(0.5, 0.25);
    EXPECT_EQ(ItemAt(store, QStringLiteral("cutted")), nullptr);
    const TrpXMLItem* moved = ItemAt(store, QStringLiteral("previewpages"))->Items(1);
    ASSERT_EQ(moved->Count(), 2);
    EXPECT_EQ(moved->Items(0)->Prop(u"l"), "0.5");
    EXPECT_EQ(moved->Items(0)->Prop(u"t"), "0.25");
    EXPECT_EQ(moved->Items(1)->Prop(u"l"), "0.5");
    EXPECT_EQ(moved->Items(1)->Prop(u"t"), "20.25");
}

INSTANTIATE_TEST_SUITE_P(Locales, PasteUnderLocale, testing::Values("C", "ru_RU.UTF-8"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "C" ? "C" : "ru_RU";
                         });

TEST(PreparedStore, LogicalPageNumbersRestartAndCount)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.ResetLogicalPageNumber(); // a group with ResetPageNumbers ends on page 2
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.ResetLogicalPageNumber();
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("logicalpagenumbers"))), "page page page");
    QStringList numbers;
    for (store.CurPage = 0; store.CurPage < 3; ++store.CurPage)
        numbers << QStringLiteral("%1/%2").arg(store.GetLogicalPageNo()).arg(store.GetLogicalTotalPages());
    EXPECT_EQ(numbers.join(u' '), "1/2 2/2 1/1");
    // Past the list: the page's index from the first page, and the engine's total.
    store.CurPage = 5;
    prepared.Engine().TotalPages = 9;
    EXPECT_EQ(store.GetLogicalPageNo(), 6);
    EXPECT_EQ(store.GetLogicalTotalPages(), 9);
}

TEST(PreparedStore, SecondPassReadsTheNumbersOfTheFirst)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    prepared.Report().EngineOptions().DoublePass = true;
    TrpPreviewPages& store = prepared.Store();
    prepared.Engine().FinalPass = false;
    store.Initialize();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    store.AddPage(page);
    prepared.Engine().CurY = 5;
    store.AddAnchor(QStringLiteral("a"));
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.Outline()->LevelRoot();
    store.Outline()->AddItem(QStringLiteral("first pass"), 0);
    // The store was empty when the pass began: only anchors and numbers survive.
    store.CurPage = store.GetCount() - 1;
    store.ClearFirstPassPages();
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_EQ(store.CurPage, -1);
    EXPECT_EQ(ItemAt(store, QStringLiteral("outline"))->Count(), 0);
    EXPECT_EQ(ItemAt(store, QStringLiteral("anchors"))->Count(), 1);
    EXPECT_EQ(ItemAt(store, QStringLiteral("logicalpagenumbers"))->Count(), 2);
    prepared.Engine().FinalPass = true;
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.AddPage(page);
    EXPECT_EQ(ItemAt(store, QStringLiteral("logicalpagenumbers"))->Count(), 2);
    store.CurPage = 1;
    EXPECT_EQ(store.GetLogicalPageNo(), 2);
    EXPECT_EQ(store.GetLogicalTotalPages(), 2);
}

TEST(PreparedStore, SecondRunAppendsAndItsFirstPassIsDroppedAlone)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    FillRows(prepared, page, 2, 2);
    TrpPreviewPages& store = prepared.Store();
    auto* band = dynamic_cast<TrpBand*>(page->FindObject(u"MasterData1"));
    store.Outline()->LevelRoot();
    store.Outline()->AddItem(QStringLiteral("kept"), 0);
    store.BeginPass();
    store.CurPage = 1;
    PrintBand(store, *band, 100);
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.Outline()->LevelRoot();
    store.Outline()->AddItem(QStringLiteral("dropped"), 0);
    store.ClearFirstPassPages();
    EXPECT_EQ(store.GetCount(), 2);
    EXPECT_EQ(ItemAt(store, QStringLiteral("previewpages"))->Items(1)->Count(), 2);
    EXPECT_EQ(ChildNames(ItemAt(store, QStringLiteral("outline"))), "item");
    EXPECT_EQ(store.CurPage, 1);
}

TEST(PreparedStore, BandExistsAndLastYLookAtTheCurrentPage)
{
    PreparedReport prepared;
    TrpReport& report = prepared.Report();
    TrpReportPage* page = AddRowsPage(report);
    auto* footer = AddBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 1000, 30);
    auto* header = AddBand<TrpPageHeader>(page, QStringLiteral("PageHeader1"), 0, 30);
    auto* rows = dynamic_cast<TrpBand*>(page->FindObject(u"MasterData1"));
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPage(page);
    PrintBand(store, *footer, 1000);
    EXPECT_EQ(store.GetLastY(0), 0); // only a page footer
    EXPECT_TRUE(store.BandExists(footer));
    TrpPageFooter otherFooter;
    EXPECT_TRUE(store.BandExists(&otherFooter)); // any page footer counts
    EXPECT_FALSE(store.BandExists(rows));
    PrintBand(store, *header, 0);
    PrintBand(store, *rows, 40);
    rows->SetLeft(300); // a second column
    PrintBand(store, *rows, 40);
    rows->SetLeft(0);
    EXPECT_TRUE(store.BandExists(rows));
    EXPECT_EQ(store.GetLastY(0), 60);
    EXPECT_EQ(store.GetLastY(300), 60);
    // A column position that no band has: only the page header counts.
    EXPECT_EQ(store.GetLastY(600), 30);
}

TEST(PreparedStore, UpdatePageDimensionsMakesTheSourcePaperCustom)
{
    PreparedReport prepared;
    TrpReportPage* page = AddRowsPage(prepared.Report());
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    store.UpdatePageDimensions(page, 1000, 1500);
    TrpReportPage* source = store.SourcePages()[0];
    EXPECT_EQ(source->PaperSize(), kPaperCustom);
    EXPECT_NEAR(source->PaperWidth(), 1000 / kPixelsPerMillimetre, 1e-6);
    EXPECT_NEAR(source->PaperHeight(), 1500 / kPixelsPerMillimetre, 1e-6);
    EXPECT_TRUE(source->BaseName().contains(u"PaperSize=\"256\" PaperWidth=\"264.58\" PaperHeight=\"396.87\""))
        << source->BaseName().toStdString();
    // Another page changes nothing.
    TrpReportPage other;
    store.UpdatePageDimensions(&other, 10, 10);
    EXPECT_NEAR(source->PaperWidth(), 264.58, 0.01);
    // The page built from it takes its size.
    store.BeginPass();
    store.AddPage(page);
    EXPECT_EQ(store.GetPageSize(0), QPoint(1000, 1500));
}

TEST(PreparedStore, ClearEmptiesEverything)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    store.GetPage(0);
    store.Clear();
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_EQ(store.CurPage, -1);
    EXPECT_EQ(store.Dictionary().Count(), 0);
    EXPECT_EQ(store.PictureCache().Count(), 0);
    EXPECT_TRUE(store.SourcePages().empty());
    EXPECT_EQ(store.CachedPages(), 0);
    EXPECT_EQ(store.Outline()->CurItem, nullptr);
    EXPECT_EQ(store.GetPage(0), nullptr);
}

TEST(PreparedStore, FinishLetsGoOfTheTemplates)
{
    PreparedReport prepared = BuildTwoPageStore();
    EXPECT_EQ(prepared.Store().SourcePages()[0]->OriginalComponent(), nullptr);
    EXPECT_EQ(prepared.Store().CachedPages(), 0);
}

// --- the memory budget

TEST(PreparedStore, PagesBeyondTheBudgetAreWrittenOutAndComeBackTheSame)
{
    constexpr int kPages = 300;
    QTemporaryDir folder;
    PreparedReport inMemory;
    FillRows(inMemory, AddRowsPage(inMemory.Report()), kPages, 3);

    PreparedReport onDisk;
    onDisk.Report().EngineOptions().UseFileCache = true;
    onDisk.Report().EngineOptions().MaxMemSize = 0;
    onDisk.Report().EngineOptions().TempDir = folder.path();
    onDisk.Report().PreviewOptions().PagesInCache = 3;
    FillRows(onDisk, AddRowsPage(onDisk.Report()), kPages, 3);
    const TrpXMLItem* pages = ItemAt(onDisk.Store(), QStringLiteral("previewpages"));
    ASSERT_EQ(pages->Count(), kPages);
    EXPECT_TRUE(pages->Items(0)->Loaded());
    EXPECT_TRUE(pages->Items(1)->Loaded());
    for (int i = 2; i < kPages - 2; ++i)
        EXPECT_FALSE(pages->Items(i)->Loaded()) << i;
    // The page finished last when the last one began, and the last one.
    EXPECT_TRUE(pages->Items(kPages - 2)->Loaded());
    EXPECT_TRUE(pages->Items(kPages - 1)->Loaded());

    for (int i = 0; i < kPages; ++i) {
        const QString expected = DumpPage(inMemory.Store(), inMemory.Store().GetPage(i));
        ASSERT_EQ(DumpPage(onDisk.Store(), onDisk.Store().GetPage(i)).toStdString(), expected.toStdString()) << i;
    }
    // Pages pushed out of the page cache are written out again.
    for (int i = 2; i < kPages - 3; ++i)
        EXPECT_FALSE(pages->Items(i)->Loaded()) << i;
    EXPECT_EQ(onDisk.Store().CachedPages(), 3);
}

} // namespace
