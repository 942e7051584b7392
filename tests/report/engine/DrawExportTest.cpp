// Drawing prepared pages (clip, cull, mirrored margins, printing, the text sink, a PDF writer)
// and the export loop (the filter's calls in order, page choice, headers and footers, data
// only, stopping, failing filters, AutoWidth memos laid out without a painter).

#include "EngineTestSupport.h"

#include "RecordingPaintDevice.h"
#include "RecordingSink.h"
#include "ReportFakes.h"

#include "report/model/rpClass_exportfilter.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <functional>

using namespace enginetest;

namespace {

// --- drawing

// A store of one page (no margins) whose band holds the memos "Near", 10 pixels right of a
// 200 x 200 device, and "Far", 30 pixels right of it, and the memo "Hidden", not printable.
class DrawPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        TrpReport& report = prepared.Report();
        report.CheckDataPage();
        page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Band"), 0, 50);
        AddMemo(band, QStringLiteral("Inside"), 10, 10, 100, 20, QStringLiteral("inside"));
        AddMemo(band, QStringLiteral("Near"), 210, 10, 100, 20, QStringLiteral("near"));
        AddMemo(band, QStringLiteral("Far"), 230, 10, 100, 20, QStringLiteral("far"));
        TrpMemoView* hidden = AddMemo(band, QStringLiteral("Hidden"), 10, 30, 100, 20, QStringLiteral("hidden"));
        hidden->Printable = false;
    }

    // The texts the sink received when drawing page 0 on a device of the size given.
    QStringList Draw(bool printing, QSize deviceSize = QSize(200, 200), RecordingPaintDevice* keep = nullptr)
    {
        if (prepared.Store().GetCount() == 0) {
            TrpPreviewPages& store = prepared.Store();
            store.AddSourcePage(page);
            store.BeginPass();
            store.AddPage(page);
            store.AddObject(page->Objects()[0]);
            store.Finish();
        }
        RecordingPaintDevice device(deviceSize);
        RecordingSink sink;
        TrpDrawContext context;
        context.Printing = printing;
        context.Sink = &sink;
        {
            QPainter painter(&device);
            prepared.Store().DrawPage(0, painter, 1, 1, 0, 0, context);
        }
        if (keep != nullptr)
            clips = device.Operations(RecordedOperation::ClipChange);
        QStringList texts;
        for (const auto& [text, rect] : sink.runs)
            texts << text;
        return texts;
    }

    PreparedReport prepared;
    TrpReportPage* page = nullptr;
    std::vector<RecordedOperation> clips;
};

TEST_F(DrawPageTest, ViewsFarOutsideTheDeviceAreNotDrawn)
{
    EXPECT_EQ(Draw(false).join(u' '), "inside near hidden");
    EXPECT_EQ(Draw(false, QSize(2000, 2000)).join(u' '), "inside near far hidden");
}

TEST_F(DrawPageTest, PrintingLeavesOutWhatIsNotPrintableAndSetsNoClip)
{
    RecordingPaintDevice keep;
    // On screen the paper clips first: A4 at scale 1 is 794 x 1123, less one pixel (the memos
    // clip their own texts after it).
    const QRectF paper(0, 0, 793, 1122);
    Draw(false, QSize(200, 200), &keep);
    ASSERT_FALSE(clips.empty());
    EXPECT_EQ(clips.front().DeviceRect, paper);
    EXPECT_EQ(Draw(true, QSize(200, 200), &keep).join(u' '), "inside near");
    for (const RecordedOperation& clip : clips)
        EXPECT_NE(clip.DeviceRect, paper) << clip.Describe().toStdString();
}

TEST_F(DrawPageTest, PrintingOnAPdfWriterLeavesOutWhatIsNotPrintable)
{
    Draw(true);
    QTemporaryDir folder;
    QPdfWriter writer(folder.filePath(QStringLiteral("page.pdf")));
    writer.setResolution(96);
    RecordingSink sink;
    TrpDrawContext context;
    context.Printing = true;
    context.Sink = &sink;
    {
        QPainter painter(&writer);
        prepared.Store().DrawPage(0, painter, 1, 1, 0, 0, context);
    }
    QStringList texts;
    for (const auto& [text, rect] : sink.runs)
        texts << text;
    EXPECT_EQ(texts.join(u' '), "inside near far");
    EXPECT_GT(QFileInfo(folder.filePath(QStringLiteral("page.pdf"))).size(), 0);
}

TEST(DrawPage, MirroredMarginsOnOddPagesAndTheMarginsPutBack)
{
    PreparedReport prepared;
    TrpReport& report = prepared.Report();
    report.CheckDataPage();
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = 10;
    page->RightMargin = 30;
    page->MirrorMargins = true;
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Band"), 0, 30);
    AddMemo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("x"));
    TrpPreviewPages& store = prepared.Store();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    store.AddPage(page);
    store.AddObject(band);
    store.AddPage(page);
    store.AddObject(band);
    const auto left = [&](int32_t index) {
        RecordingPaintDevice device;
        RecordingSink sink;
        TrpDrawContext context;
        context.Sink = &sink;
        QPainter painter(&device);
        store.DrawPage(index, painter, 1, 1, 0, 0, context);
        return sink.runs.empty() ? -1.0 : sink.runs.front().second.left();
    };
    // The text starts 2 pixels (the gap) right of the memo.
    EXPECT_NEAR(left(0), 10 * kPixelsPerMillimetre + 2, 1);
    EXPECT_NEAR(left(1), 30 * kPixelsPerMillimetre + 2, 1);
    EXPECT_EQ(store.GetPage(1)->LeftMargin, 10);
    EXPECT_EQ(store.GetPage(1)->RightMargin, 30);
}

TEST(DrawPage, SinkReceivesEveryMemoInDrawingOrderWithItsMacros)
{
    PreparedReport prepared = BuildTwoPageStore();
    RecordingPaintDevice device(QSize(800, 1200));
    RecordingSink sink;
    TrpDrawContext context;
    context.Sink = &sink;
    {
        QPainter painter(&device);
        prepared.Store().DrawPage(0, painter, 1, 1, 0, 0, context);
    }
    QStringList texts;
    for (const auto& [text, rect] : sink.runs)
        texts << text;
    EXPECT_EQ(texts.join(u'|').toStdString(),
              "Отчет «Пример»|Строка 1|12.5|Строка 2|25.0|Строка 3|37.5|Страница 1 из 2");
    ASSERT_EQ(sink.runs.size(), 8u);
    // Each run lies in its memo: the title's at the printable area's corner plus the gaps.
    EXPECT_GT(sink.runs[0].second.left(), 38);
    EXPECT_NEAR(sink.runs[1].second.top(), 38 + 60 + 1, 2);
    EXPECT_GT(device.GlyphRuns().size(), 0u);
}

TEST(DrawPage, NothingForAnEmptyStore)
{
    PreparedReport prepared;
    RecordingPaintDevice device;
    {
        QPainter painter(&device);
        prepared.Store().DrawPage(0, painter, 1, 1, 0, 0, TrpDrawContext());
    }
    EXPECT_TRUE(device.Operations().empty());
}

// --- the export loop

class RecordingFilter : public TrpCustomExportFilter {
public:
    explicit RecordingFilter(TrpNoRegister tag) : TrpCustomExportFilter(tag) { ShowDialog = false; }

    bool Start() override
    {
        Calls << QStringLiteral("Start");
        return StartAnswer;
    }
    void StartPage(TrpReportPage*, int32_t index) override { Calls << QStringLiteral("StartPage %1").arg(index); }
    void FinishPage(TrpReportPage*, int32_t index) override { Calls << QStringLiteral("FinishPage %1").arg(index); }
    void Finish() override { Calls << QStringLiteral("Finish"); }
    int ShowModal() override
    {
        Calls << QStringLiteral("ShowModal");
        return ModalAnswer;
    }
    void ExportObject(TrpComponent* object) override
    {
        QString call = object->Name();
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object); memo != nullptr && memo->Name() == u"PageNo")
            call += u'=' + memo->Text().trimmed();
        Calls << call;
        if (OnObject)
            OnObject(*object);
    }

    QStringList Calls;
    bool StartAnswer = true;
    int ModalAnswer = mrOk;
    std::function<void(TrpComponent&)> OnObject;
};

class ExportLoop : public testing::Test {
protected:
    bool Export() { return prepared.Store().Export(filter.get()); }
    QString Calls() const { return filter->Calls.join(u' '); }

    reporttest::FixedReportClock clock{45678.25};
    PreparedReport prepared = BuildTwoPageStore();
    std::unique_ptr<RecordingFilter> filter = TrpCustomExportFilter::CreateNoRegister<RecordingFilter>();
};

TEST_F(ExportLoop, EveryPageAndObjectInOrder)
{
    EXPECT_TRUE(Export());
    EXPECT_EQ(Calls().toStdString(),
              "Start "
              "StartPage 0 _pagebackground PageHeader1 Title Logo MasterData1 Name Value MasterData1 Name Value "
              "MasterData1 Name Value PageFooter1 PageNo=Страница 1 из 2 FinishPage 0 "
              "StartPage 1 _pagebackground MasterData1 Name Value MasterData1 Name Value PageFooter1 PageNo=Страница 2 из 2 "
              "FinishPage 1 Finish");
    EXPECT_EQ(filter->CreationTime, 45678.25);
    EXPECT_EQ(filter->Report, &prepared.Report());
    // Without a preview the pages are not kept.
    EXPECT_EQ(prepared.Store().CachedPages(), 0);
}

TEST_F(ExportLoop, BackgroundStandsForThePrintableArea)
{
    TrpPreviewPages& store = prepared.Store();
    filter->OnObject = [&](TrpComponent& object) {
        if (object.Name() != u"_pagebackground")
            return;
        auto& view = dynamic_cast<TrpPictureView&>(object);
        filter->Calls << QStringLiteral("bg %1 %2 %3 %4 %5")
                             .arg(view.Left(), 0, 'f', 2)
                             .arg(view.Top(), 0, 'f', 2)
                             .arg(view.Width(), 0, 'f', 2)
                             .arg(view.Height(), 0, 'f', 2)
                             .arg(view.Stretched && !view.KeepAspectRatio);
        // The page's objects include the margins meanwhile.
        filter->Calls << QStringLiteral("page %1 %2").arg(store.GetPage(0)->Left(), 0, 'f', 2).arg(store.GetPage(0)->Top(), 0, 'f', 2);
    };
    filter->PageNumbers = QStringLiteral("1");
    EXPECT_TRUE(Export());
    EXPECT_TRUE(Calls().contains(u"bg 37.80 37.80 718.41 1047.41 1 page 37.80 37.80")) << Calls().toStdString();
}

TEST_F(ExportLoop, PageNumbersChooseThePages)
{
    filter->PageNumbers = QStringLiteral("2");
    EXPECT_TRUE(Export());
    EXPECT_FALSE(Calls().contains(u"StartPage 0"));
    EXPECT_TRUE(Calls().contains(u"StartPage 1"));
    EXPECT_TRUE(Calls().endsWith(u"FinishPage 1 Finish"));
}

TEST_F(ExportLoop, CurrentPageWithoutAPreviewIsTheFirst)
{
    filter->CurPage = true;
    EXPECT_TRUE(Export());
    EXPECT_EQ(filter->PageNumbers, "1");
    EXPECT_TRUE(Calls().contains(u"StartPage 0"));
    EXPECT_FALSE(Calls().contains(u"StartPage 1"));
}

TEST_F(ExportLoop, HeadersOnTheFirstPageAndFootersOnTheLastOnly)
{
    filter->SuppressPageHeadersFooters = true;
    EXPECT_TRUE(Export());
    EXPECT_EQ(Calls().count(u"PageHeader1"), 1);
    EXPECT_EQ(Calls().count(u"PageFooter1"), 1);
    EXPECT_TRUE(Calls().contains(u"PageFooter1 PageNo=Страница 2 из 2 FinishPage 1"));
    EXPECT_FALSE(Calls().contains(u"Страница 1 из 2"));
}

TEST_F(ExportLoop, DataOnlyExportsTheObjectsOfDataBands)
{
    filter->DataOnly = true;
    EXPECT_TRUE(Export());
    EXPECT_EQ(Calls().toStdString(),
              "Start StartPage 0 Name Value Name Value Name Value FinishPage 0 "
              "StartPage 1 Name Value Name Value FinishPage 1 Finish");
}

TEST_F(ExportLoop, StopAtPageTwoStillFinishes)
{
    filter->OnObject = [&](TrpComponent& object) {
        if (object.Name() == u"MasterData1" && filter->Calls.contains(QStringLiteral("StartPage 1")))
            prepared.Report().SetTerminated(true);
    };
    EXPECT_TRUE(Export());
    EXPECT_TRUE(Calls().endsWith(u"StartPage 1 _pagebackground MasterData1 FinishPage 1 Finish")) << Calls().toStdString();
    EXPECT_TRUE(prepared.Report().Errors().isEmpty());
}

TEST_F(ExportLoop, FailingFilterAnswersFalseWithItsError)
{
    prepared.Report().EngineOptions().NewSilentMode = simSilent;
    filter->OnObject = [](TrpComponent& object) {
        if (object.Name() == u"Value")
            throw platform::Exception("Disk full");
    };
    EXPECT_FALSE(Export());
    EXPECT_EQ(prepared.Report().Errors().join(u'|'), "Disk full");
    EXPECT_TRUE(Calls().endsWith(u"Value FinishPage 0 Finish")) << Calls().toStdString();

    // Shown in a message box with the collected errors when the report shows its errors.
    reporttest::RecordingReportUi ui;
    prepared.Report().ClearErrors();
    prepared.Report().EngineOptions().NewSilentMode = simMessageBoxes;
    filter->Calls.clear();
    EXPECT_FALSE(Export());
    ASSERT_EQ(ui.Messages.size(), 1);
    EXPECT_TRUE(ui.Messages.front().endsWith(u"\r\nDisk full")) << ui.Messages.front().toStdString();
}

TEST_F(ExportLoop, BadPageNumbersAreAnErrorOfTheExport)
{
    prepared.Report().EngineOptions().NewSilentMode = simSilent;
    filter->PageNumbers = QStringLiteral("1-x");
    EXPECT_FALSE(Export());
    EXPECT_EQ(prepared.Report().Errors().join(u'|'), "\"x\" is an invalid integer");
    EXPECT_EQ(Calls(), "");
}

TEST_F(ExportLoop, CancelledDialogOrStartAndNoFilter)
{
    filter->ShowDialog = true;
    filter->ModalAnswer = mrCancel;
    EXPECT_FALSE(Export());
    EXPECT_EQ(Calls(), "ShowModal");
    filter->ModalAnswer = mrOk;
    filter->StartAnswer = false;
    filter->Calls.clear();
    int begun = 0;
    filter->OnBeginExport = [&](TrpCustomExportFilter&) { ++begun; };
    EXPECT_TRUE(Export());
    EXPECT_EQ(Calls(), "ShowModal Start");
    EXPECT_EQ(begun, 1);
    EXPECT_FALSE(prepared.Store().Export(nullptr));
}

TEST_F(ExportLoop, PreviewIsLockedAndProgressReported)
{
    class Preview : public TrpCustomPreview {
    public:
        explicit Preview(QStringList& calls) : calls_(calls) {}
        void Init() override {}
        void Lock() override { calls_ << QStringLiteral("Lock"); }
        void Unlock() override { calls_ << QStringLiteral("Unlock"); }
        void RefreshReport() override { calls_ << QStringLiteral("Refresh"); }
        void InternalOnProgressStart(TrpReport&, TrpProgressType, int32_t) override {}
        void InternalOnProgress(TrpReport&, TrpProgressType, int32_t) override {}
        void InternalOnProgressStop(TrpReport&, TrpProgressType, int32_t) override {}

    private:
        QStringList& calls_;
    };
    TrpReport& report = prepared.Report();
    Preview preview(filter->Calls);
    report.SetPreview(&preview);
    report.OnProgressStart = [&](TrpReport&, TrpProgressType type, int32_t) {
        filter->Calls << QStringLiteral("progress start %1").arg(type);
    };
    report.OnProgress = [&](TrpReport&, TrpProgressType type, int32_t page) {
        filter->Calls << QStringLiteral("progress %1 %2").arg(type).arg(page);
    };
    report.OnProgressStop = [&](TrpReport&, TrpProgressType type, int32_t) {
        filter->Calls << QStringLiteral("progress stop %1").arg(type);
    };
    prepared.Store().CurPreviewPage = 2;
    filter->CurPage = true;
    EXPECT_TRUE(Export());
    report.SetPreview(nullptr);
    EXPECT_EQ(Calls().toStdString(),
              "Start Lock Refresh progress start 1 progress 1 2 StartPage 1 _pagebackground MasterData1 Name Value "
              "MasterData1 Name Value PageFooter1 PageNo=Страница 2 из 2 FinishPage 1 Unlock Refresh progress stop 1 "
              "Finish");
    // With a preview the page stays in the cache, back at its place.
    ASSERT_EQ(prepared.Store().CachedPages(), 1);
    EXPECT_EQ(prepared.Store().GetPage(1)->Left(), 0);
    EXPECT_EQ(prepared.Store().GetPage(1)->Top(), 0);
}

TEST(ExportLoopAutoWidth, MemoGetsTheWidthAndPlaceItHasWhenDrawn)
{
    const auto build = [](PreparedReport& prepared) {
        TrpReport& report = prepared.Report();
        report.CheckDataPage();
        auto* page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Band"), 0, 30);
        TrpMemoView* memo = AddMemo(band, QStringLiteral("Auto"), 100, 0, 300, 20, QStringLiteral("Итого: 1 234,50"));
        memo->AutoWidth = true;
        memo->HAlign = haRight;
        TrpPreviewPages& store = prepared.Store();
        store.AddSourcePage(page);
        store.BeginPass();
        store.AddPage(page);
        store.AddObject(band);
        store.Finish();
    };
    PreparedReport drawn;
    build(drawn);
    {
        RecordingPaintDevice device;
        QPainter painter(&device);
        drawn.Store().DrawPage(0, painter, 2, 2, 0, 0, TrpDrawContext());
    }
    const TrpComponent* drawnMemo = drawn.Store().GetPage(0)->FindObject(u"Auto");

    PreparedReport exported;
    build(exported);
    auto filter = TrpCustomExportFilter::CreateNoRegister<RecordingFilter>();
    double left = 0;
    double width = 0;
    filter->OnObject = [&](TrpComponent& object) {
        if (object.Name() == u"Auto") {
            left = object.Left();
            width = object.Width();
        }
    };
    EXPECT_TRUE(exported.Store().Export(filter.get()));
    EXPECT_LT(width, 150);
    EXPECT_GT(width, 50);
    EXPECT_DOUBLE_EQ(width, drawnMemo->Width());
    EXPECT_DOUBLE_EQ(left, drawnMemo->Left());
    // The right edge stays where it was.
    EXPECT_NEAR(left + width, 400, 1e-9);
}

} // namespace
