#include "PreparedPagesBuilder.h"

#include "report/engine/EngineRuntime.h"
#include "report/model/rpClass_views.h"

#include <QBuffer>
#include <QImage>

#include <stdexcept>
#include <utility>
#include <vector>

namespace enginetest {

PreparedReport::PreparedReport()
{
    EngineRuntime::init();
    report = std::make_unique<TrpReport>();
    report->EngineOptions().NewSilentMode = simSilent;
    store = dynamic_cast<TrpPreviewPages*>(report->PreviewPages());
    if (store == nullptr)
        throw std::logic_error("the report has no prepared-page store of the engine library");
    engine = std::make_unique<StubEngine>(report.get());
    engine->SetPreviewPages(store);
    store->SetEngine(engine.get());
}

PreparedReport::~PreparedReport()
{
    if (store != nullptr)
        store->SetEngine(nullptr);
}

PreparedReport::PreparedReport(PreparedReport&& other) noexcept
    : report(std::move(other.report)), engine(std::move(other.engine)), store(std::exchange(other.store, nullptr))
{
}

PreparedReport& PreparedReport::operator=(PreparedReport&& other) noexcept
{
    if (this != &other) {
        if (store != nullptr)
            store->SetEngine(nullptr);
        engine = std::move(other.engine);
        report = std::move(other.report);
        store = std::exchange(other.store, nullptr);
    }
    return *this;
}

QByteArray SaveStore(TrpPreviewPages& store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    store.SaveToStream(buffer);
    return buffer.data();
}

void LoadStore(TrpPreviewPages& store, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    store.LoadFromStream(buffer, false);
}

TrpMemoView* AddMemo(TrpComponent* parent, const QString& name, double left, double top, double width, double height,
                     const QString& text)
{
    auto* memo = new TrpMemoView(parent);
    memo->SetName(name);
    memo->SetBounds(left, top, width, height);
    memo->SetText(text);
    TrpFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-13);
    memo->SetFont(font);
    return memo;
}

QByteArray BmpBytes(uint32_t rgb)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(rgb));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

void PrintBand(TrpPreviewPages& store, TrpBand& band, double top, const std::function<void()>& fill)
{
    // What a copy changes of the template is put back afterwards, as the engine does.
    struct Saved {
        TrpCustomMemoView* memo;
        QString text;
    };
    std::vector<Saved> texts;
    for (TrpComponent* object : band.AllObjects()) {
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
            texts.push_back({memo, memo->Text()});
    }
    const double savedTop = band.Top();
    band.SetTop(top);
    if (fill)
        fill();
    store.AddObject(&band);
    band.SetTop(savedTop);
    for (const Saved& saved : texts)
        saved.memo->SetText(saved.text);
}

void BuildTwoPageTemplate(TrpReport& report)
{
    report.CheckDataPage();
    report.ReportOptions().Name = QStringLiteral("Пример");
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;

    auto* header = AddBand<TrpPageHeader>(page, QStringLiteral("PageHeader1"), 0, 40);
    TrpMemoView* title = AddMemo(header, QStringLiteral("Title"), 0, 0, 600, 24, QStringLiteral("Отчет «Пример»"));
    title->HAlign = haCenter;
    title->Frame().Typ = kAllFrameSides;
    auto* logo = new TrpPictureView(header);
    logo->SetName(QStringLiteral("Logo"));
    logo->SetBounds(640, 0, 32, 32);
    TrpPicture picture;
    picture.SetData(QStringLiteral("BMP"), BmpBytes());
    logo->SetPicture(picture);

    auto* rows = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 60, 20);
    AddMemo(rows, QStringLiteral("Name"), 0, 0, 300, 20, QStringLiteral("[Name]"));
    TrpMemoView* value = AddMemo(rows, QStringLiteral("Value"), 300, 0, 120, 20, QStringLiteral("[Value]"));
    value->HAlign = haRight;

    auto* footer = AddBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 1000, 20);
    AddMemo(footer, QStringLiteral("PageNo"), 0, 0, 300, 20, QStringLiteral("Страница N из [TotalPages#]"));
}

PreparedReport BuildTwoPageStore()
{
    PreparedReport prepared;
    TrpReport& report = prepared.Report();
    BuildTwoPageTemplate(report);
    auto* page = dynamic_cast<TrpReportPage*>(report.FindObject(u"Page1"));
    auto* header = dynamic_cast<TrpBand*>(report.FindObject(u"PageHeader1"));
    auto* rows = dynamic_cast<TrpBand*>(report.FindObject(u"MasterData1"));
    auto* footer = dynamic_cast<TrpBand*>(report.FindObject(u"PageFooter1"));
    auto* name = dynamic_cast<TrpMemoView*>(report.FindObject(u"Name"));
    auto* value = dynamic_cast<TrpMemoView*>(report.FindObject(u"Value"));
    auto* pageNo = dynamic_cast<TrpMemoView*>(report.FindObject(u"PageNo"));
    auto* logo = dynamic_cast<TrpPictureView*>(report.FindObject(u"Logo"));

    TrpPreviewPages& store = prepared.Store();
    StubEngine& engine = prepared.Engine();
    engine.Running = true;
    store.Initialize();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    TrpCustomOutline& outline = *store.Outline();
    int row = 0;
    for (int pageNumber = 1; pageNumber <= 2; ++pageNumber) {
        store.AddPage(page);
        outline.LevelRoot();
        outline.AddItem(QStringLiteral("Страница %1").arg(pageNumber), 0);
        double y = 0;
        if (pageNumber == 1) {
            // The picture reaches the picture cache once; the second page has no header.
            logo->PictureChanged = true;
            PrintBand(store, *header, y);
            y += header->Height() + 20;
        }
        const int lastRow = pageNumber == 1 ? 3 : 5;
        while (row < lastRow) {
            ++row;
            engine.CurY = y;
            if (row == 4)
                store.AddAnchor(QStringLiteral("row4"));
            outline.AddItem(QStringLiteral("Строка %1").arg(row), static_cast<int32_t>(y));
            outline.LevelUp();
            PrintBand(store, *rows, y, [&] {
                name->SetText(QStringLiteral("Строка %1").arg(row));
                value->SetText(QString::number(row * 12.5, 'f', 1));
            });
            y += rows->Height();
        }
        PrintBand(store, *footer, footer->Top(),
                  [&] { pageNo->SetText(QStringLiteral("Страница %1 из [TotalPages#]").arg(pageNumber)); });
        outline.LevelUp();
    }
    store.Finish();
    engine.Running = false;
    return prepared;
}

PreparedReport BuildPaperStore(const std::vector<PaperPage>& pages)
{
    PreparedReport prepared;
    TrpReport& report = prepared.Report();
    report.CheckDataPage();
    report.ReportOptions().Name = QStringLiteral("Бумага");
    TrpPreviewPages& store = prepared.Store();
    StubEngine& engine = prepared.Engine();
    engine.Running = true;
    store.Initialize();
    std::vector<TrpReportPage*> sources;
    for (size_t i = 0; i < pages.size(); ++i) {
        const PaperPage& paper = pages[i];
        auto* page = new TrpReportPage(&report);
        page->SetName(QStringLiteral("Page%1").arg(i + 1));
        if (paper.paperSize == kPaperCustom) {
            page->SetOrientation(paper.orientation);
            page->SetSizeAndDimensions(kPaperCustom, paper.width, paper.height);
        } else {
            page->SetPaperSize(paper.paperSize);
            page->SetOrientation(paper.orientation);
        }
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = kPaperStoreMargins;
        page->Bin = paper.bin;
        page->BinOtherPages = paper.binOtherPages;
        page->Duplex = paper.duplex;
        auto* band = new TrpMasterData(page);
        band->SetName(QStringLiteral("Band%1").arg(i + 1));
        band->SetBounds(0, 0, page->PrintableWidth(), page->PrintableHeight());
        TrpMemoView* frame = AddMemo(band, QStringLiteral("Frame%1").arg(i + 1), kPaperStoreFrameInset,
                                     kPaperStoreFrameInset, page->PrintableWidth() - 2 * kPaperStoreFrameInset,
                                     page->PrintableHeight() - 2 * kPaperStoreFrameInset, QString());
        frame->Frame().Typ = kAllFrameSides;
        TrpMemoView* hidden = AddMemo(band, QStringLiteral("Hidden%1").arg(i + 1), 0, 0, 30, 20, QStringLiteral("X"));
        hidden->Frame().Typ = kAllFrameSides;
        hidden->Printable = false;
        store.AddSourcePage(page);
        sources.push_back(page);
    }
    store.BeginPass();
    store.AddPageAction = apAdd;
    for (size_t i = 0; i < pages.size(); ++i) {
        TrpReportPage* page = sources[i];
        store.AddPage(page);
        auto* band = dynamic_cast<TrpBand*>(report.FindObject(QStringLiteral("Band%1").arg(i + 1)));
        auto* frame = dynamic_cast<TrpMemoView*>(report.FindObject(QStringLiteral("Frame%1").arg(i + 1)));
        PrintBand(store, *band, 0, [&] { frame->SetText(QStringLiteral("Страница %1").arg(i + 1)); });
    }
    store.Finish();
    engine.Running = false;
    return prepared;
}

} // namespace enginetest
