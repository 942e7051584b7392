#include "ExportFixtures.h"

#include "PreparedPagesBuilder.h"

#include "report/model/rpChBox.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"

#include <cmath>

namespace exportfixtures {

namespace {

constexpr int kColumns = 24;
constexpr double kHour = 1.0 / 24;
constexpr double kFirstDay = 46023; // 1 January 2026

TrpMemoView* Cell(TrpBand* band, const QString& name, double left, double width, const QString& text)
{
    auto* memo = new TrpMemoView(band);
    memo->SetName(name);
    memo->SetBounds(left, 0, width, band->Height());
    memo->SetText(text);
    memo->Frame().Typ = kAllFrameSides;
    memo->Font().SetName(QStringLiteral("Arial"));
    memo->Font().SetSize(7);
    return memo;
}

template <class Band>
Band* NewBand(TrpReportPage* page, const QString& name, double top, double height)
{
    auto* band = new Band(page);
    band->SetName(name);
    band->SetBounds(0, top, page->PrintableWidth(), height);
    return band;
}

} // namespace

QByteArray HoursCsv(int count)
{
    TrpCsvDataSet rows;
    QStringList fields{QStringLiteral("Time"), QStringLiteral("Day")};
    for (int c = 0; c < kColumns; ++c)
        fields << QStringLiteral("P%1").arg(c + 1);
    std::vector<std::vector<Variant>> table;
    for (int i = 0; i < count; ++i) {
        std::vector<Variant> row;
        row.push_back(Variant(kFirstDay + i * kHour));
        row.push_back(Variant(static_cast<int32_t>(i / 24 + 1)));
        for (int c = 0; c < kColumns; ++c)
            row.push_back(Variant(std::round((std::sin(i * 0.01 + c) * 100 + c * 10) * 1000) / 1000));
        table.push_back(std::move(row));
    }
    rows.SetTable(fields, std::move(table));
    return rows.ToCsv();
}

void BuildArchive(TrpReport& report, enginefixtures::DataSets& keep)
{
    auto hours = enginefixtures::CsvData(QStringLiteral("Hours"), HoursCsv(0));
    report.DataSets().Add(hours.get());
    report.EngineOptions().DoublePass = true;
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetOrientation(poLandscape);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    const double width = page->PrintableWidth();
    const double first = 90;
    const double cell = (width - first) / kColumns;

    auto* title = NewBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 0, 30);
    TrpMemoView* caption = Cell(title, QStringLiteral("Title"), 0, width, QStringLiteral("Часовые данные"));
    caption->Frame().Typ = 0;
    caption->Font().SetSize(14);
    caption->Font().SetStyle(kTextStyleBold);
    caption->HAlign = haCenter;
    auto* header = NewBand<TrpPageHeader>(page, QStringLiteral("PageHeader1"), 40, 17);
    Cell(header, QStringLiteral("HTime"), 0, first, QStringLiteral("Время"));
    for (int c = 0; c < kColumns; ++c)
        Cell(header, QStringLiteral("H%1").arg(c + 1), first + c * cell, cell, QStringLiteral("P%1").arg(c + 1));
    auto* group = NewBand<TrpGroupHeader>(page, QStringLiteral("GroupHeader1"), 70, 17);
    group->Condition = QStringLiteral("Hours.\"Day\"");
    Cell(group, QStringLiteral("Day"), 0, width, QStringLiteral("Сутки [Hours.\"Day\"]"));
    auto* data = NewBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 100, 17);
    data->SetDataSet(hours.get());
    TrpMemoView* time = Cell(data, QStringLiteral("Time"), 0, first, QStringLiteral("[Hours.\"Time\"]"));
    time->DisplayFormat().Kind = fkDateTime;
    time->DisplayFormat().FormatStr = QStringLiteral("dd.mm.yyyy hh:nn");
    for (int c = 0; c < kColumns; ++c) {
        TrpMemoView* value = Cell(data, QStringLiteral("V%1").arg(c + 1), first + c * cell, cell,
                                  QStringLiteral("[Hours.\"P%1\"]").arg(c + 1));
        value->HAlign = haRight;
        value->DisplayFormat().Kind = fkNumeric;
        value->DisplayFormat().FormatStr = QStringLiteral("%2.3f");
    }
    auto* footer = NewBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 140, 17);
    TrpMemoView* pageText =
        Cell(footer, QStringLiteral("PageText"), 0, width, QStringLiteral("Страница [Page#] из [TotalPages#]"));
    pageText->Frame().Typ = 0;
    keep.push_back(std::move(hours));
}

QByteArray GraphicsCsv()
{
    return enginefixtures::GroupsCsv();
}

void BuildGraphics(TrpReport& report, enginefixtures::DataSets& keep)
{
    auto rows = enginefixtures::CsvData(QStringLiteral("Rows"), GraphicsCsv());
    report.DataSets().Add(rows.get());
    report.EngineOptions().DoublePass = true;
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    page->OutlineText = QStringLiteral("'Лист'");
    const double width = page->PrintableWidth();

    auto* title = NewBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 0, 330);
    TrpMemoView* caption = Cell(title, QStringLiteral("Title"), 0, width, QStringLiteral("Графика"));
    caption->SetBounds(0, 0, width, 30);
    caption->Frame().Typ = 0;
    caption->Font().SetSize(14);
    caption->Font().SetStyle(kTextStyleBold);
    caption->HAlign = haCenter;

    int count = 0;
    const auto place = [&](TrpView* view, double left, double top, double w, double h) {
        view->SetName(QStringLiteral("G%1").arg(++count));
        view->SetBounds(left, top, w, h);
    };
    auto* plain = new TrpLineView(title);
    place(plain, 0, 50, 150, 0);
    plain->ArrowEnd = true;
    auto* dashed = new TrpLineView(title);
    place(dashed, 0, 90, 150, 0);
    dashed->Frame().SetStyle(fsDash);
    dashed->Frame().SetWidth(2);
    dashed->ArrowStart = dashed->ArrowEnd = true;
    auto* vertical = new TrpLineView(title);
    place(vertical, 190, 40, 0, 80);
    vertical->ArrowStart = true;
    auto* diagonal = new TrpLineView(title);
    place(diagonal, 230, 40, 120, 80);
    diagonal->Diagonal = true;
    diagonal->ArrowEnd = diagonal->ArrowSolid = true;
    diagonal->Frame().SetColor(0x0000C0); // dark red

    const int32_t fills[] = {0x80FFFF, 0xFFE0C0, 0xC0FFC0, clNone, 0xC0C0FF, clNone, clNone};
    for (int kind = skRectangle; kind <= skDiagonal2; ++kind) {
        auto* shape = new TrpShapeView(title);
        place(shape, kind * 100, 140, 90, 60);
        shape->Shape = static_cast<TrpShapeKind>(kind);
        shape->Color = fills[kind];
    }

    const TrpCheckStyle marks[] = {csCross, csCheck, csCross};
    for (int i = 0; i < 3; ++i) {
        auto* box = new TrpCheckBoxView(title);
        place(box, i * 40, 220, 30, 30);
        box->CheckStyle = marks[i];
        box->Checked = i < 2;
        box->Frame().Typ = kAllFrameSides;
    }
    TrpPicture picture;
    picture.SetData(QStringLiteral("BMP"), enginetest::BmpBytes());
    for (int i = 0; i < 3; ++i) {
        auto* view = new TrpPictureView(title);
        place(view, 200 + i * 60, 220, 40, 30);
        view->SetPicture(picture);
    }

    const QString links[][2] = {{QStringLiteral("На страницу 3"), QStringLiteral("@3")},
                                {QStringLiteral("К итогу"), QStringLiteral("#total")},
                                {QStringLiteral("http://example.org/dax"), QStringLiteral("http://example.org/dax")}};
    for (int i = 0; i < 3; ++i) {
        TrpMemoView* link = Cell(title, QStringLiteral("Link%1").arg(i + 1), i * 200, 180, links[i][0]);
        link->SetBounds(i * 200, 280, 180, 20);
        link->Font().SetSize(10);
        link->Font().SetColor(0xFF0000); // blue
        link->URL = links[i][1];
    }

    auto* group = NewBand<TrpGroupHeader>(page, QStringLiteral("GroupHeader1"), 360, 20);
    group->Condition = QStringLiteral("Rows.\"Key\"");
    group->StartNewPage = true;
    group->OutlineText = QStringLiteral("Rows.\"Key\"");
    Cell(group, QStringLiteral("Group"), 0, width, QStringLiteral("Группа [Rows.\"Key\"]"));
    auto* data = NewBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 400, 20);
    data->SetDataSet(rows.get());
    data->OutlineText = QStringLiteral("Rows.\"N\"");
    Cell(data, QStringLiteral("Row"), 0, width, QStringLiteral("Строка [Rows.\"N\"]"));
    auto* summary = NewBand<TrpReportSummary>(page, QStringLiteral("ReportSummary1"), 440, 20);
    summary->OnBeforePrint = QStringLiteral("SummaryPrinting");
    Cell(summary, QStringLiteral("Total"), 0, width, QStringLiteral("Итого"));
    report.SetScriptText({QStringLiteral("procedure SummaryPrinting(Sender: Variant);"), QStringLiteral("begin"),
                          QStringLiteral("  Engine.AddAnchor('total')"), QStringLiteral("end;"),
                          QStringLiteral("begin"), QStringLiteral("end.")});
    keep.push_back(std::move(rows));
}

} // namespace exportfixtures
