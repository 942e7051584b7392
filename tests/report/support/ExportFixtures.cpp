#include "ExportFixtures.h"

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

} // namespace exportfixtures
