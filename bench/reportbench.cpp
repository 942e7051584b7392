// A report of hour rows run into pages, then drawn and rebuilt (build/bench/reportbench
// [--rows N] [--file-cache] [--write-csv FILE]). The rows are deterministic: one per hour from
// 1 January 2026, 24 numeric columns. The report is built in code (and saved as reportbench.zi3
// in the temporary folder): A4 landscape, 10 mm margins, a title, a column header on every
// page, a group header per day, rows 17 px high of 25 framed memos with display formats, a
// page footer "Страница [Page#] из [TotalPages#]", two passes. Up to 200 pages are then drawn,
// rebuilt and printed into a PDF file through the built-in PDF-file printer.

#include "CsvDataSet.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpDrawContext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kColumns = 24;
constexpr double kHour = 1.0 / 24;
constexpr double kFirstDay = 46023; // 1 January 2026

long PeakRssMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    }
    return 0;
}

std::vector<std::vector<Variant>> HourRows(int count)
{
    std::vector<std::vector<Variant>> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::vector<Variant> row;
        row.reserve(kColumns + 2);
        const double time = kFirstDay + i * kHour;
        row.push_back(Variant::FromDateTime(time));
        row.push_back(Variant(static_cast<int32_t>(i / 24)));
        for (int c = 0; c < kColumns; ++c)
            row.push_back(Variant(std::round((std::sin(i * 0.01 + c) * 100 + c * 10) * 1000) / 1000));
        rows.push_back(std::move(row));
    }
    return rows;
}

TrpMemoView* Memo(TrpBand* band, const QString& name, double left, double width, const QString& text)
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

void BuildReport(TrpReport& report, TrpDataSet* rows)
{
    report.CheckDataPage();
    report.DataSets().Add(rows);
    report.EngineOptions().DoublePass = true;
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetOrientation(poLandscape);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    const double width = page->PrintableWidth();
    const double first = 90;
    const double cell = (width - first) / kColumns;

    auto* title = NewBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 0, 30);
    Memo(title, QStringLiteral("Title"), 0, width, QStringLiteral("Часовой архив"));
    auto* header = NewBand<TrpPageHeader>(page, QStringLiteral("PageHeader1"), 40, 17);
    Memo(header, QStringLiteral("HTime"), 0, first, QStringLiteral("Время"));
    for (int c = 0; c < kColumns; ++c)
        Memo(header, QStringLiteral("H%1").arg(c + 1), first + c * cell, cell, QStringLiteral("P%1").arg(c + 1));
    auto* group = NewBand<TrpGroupHeader>(page, QStringLiteral("GroupHeader1"), 70, 17);
    group->Condition = QStringLiteral("Rows.\"Day\"");
    Memo(group, QStringLiteral("Day"), 0, width, QStringLiteral("Сутки [Rows.\"Day\"]"));
    auto* data = NewBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 100, 17);
    data->SetDataSet(rows);
    TrpMemoView* time = Memo(data, QStringLiteral("Time"), 0, first, QStringLiteral("[Rows.\"Time\"]"));
    time->DisplayFormat().Kind = fkDateTime;
    time->DisplayFormat().FormatStr = QStringLiteral("dd.mm.yyyy hh:nn");
    for (int c = 0; c < kColumns; ++c) {
        TrpMemoView* value = Memo(data, QStringLiteral("V%1").arg(c + 1), first + c * cell, cell,
                                  QStringLiteral("[Rows.\"P%1\"]").arg(c + 1));
        value->HAlign = haRight;
        value->DisplayFormat().Kind = fkNumeric;
        value->DisplayFormat().FormatStr = QStringLiteral("%2.3f");
    }
    auto* footer = NewBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 140, 17);
    Memo(footer, QStringLiteral("PageText"), 0, width, QStringLiteral("Страница [Page#] из [TotalPages#]"));
}

} // namespace

int main(int argc, char** argv)
{
    int rowCount = 65535;
    bool fileCache = false;
    QString csvFile;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) {
            rowCount = std::max(0, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--file-cache") == 0) {
            fileCache = true;
        } else if (std::strcmp(argv[i], "--write-csv") == 0 && i + 1 < argc) {
            csvFile = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fputs("usage: reportbench [--rows N] [--file-cache] [--write-csv FILE]\n", stderr);
            return 1;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    EngineRuntime::init();

    TrpCsvDataSet rows;
    QStringList fields{QStringLiteral("Time"), QStringLiteral("Day")};
    for (int c = 0; c < kColumns; ++c)
        fields << QStringLiteral("P%1").arg(c + 1);
    rows.SetTable(fields, HourRows(rowCount));
    rows.SetUserName(QStringLiteral("Rows"));
    if (!csvFile.isEmpty()) {
        QFile file(csvFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(rows.ToCsv()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(csvFile));
            return 1;
        }
    }

    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.EngineOptions().UseFileCache = fileCache;
    report.ShowProgress = false;
    BuildReport(report, &rows);
    report.SaveToFile(QDir::temp().filePath(QStringLiteral("reportbench.zi3")));

    QElapsedTimer pass;
    double firstPass = 0;
    report.Engine()->FinalPass = false;
    QElapsedTimer total;
    total.start();
    pass.start();
    bool finalSeen = false;
    report.OnBeforePrint = [&](TrpComponent&) {
        if (!finalSeen && report.Engine()->FinalPass) {
            finalSeen = true;
            firstPass = static_cast<double>(pass.nsecsElapsed()) / 1e9;
            pass.restart();
        }
    };
    if (!report.PrepareReport()) {
        for (const QString& error : report.Errors())
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    const double totalSeconds = static_cast<double>(total.nsecsElapsed()) / 1e9;
    const double secondPass = static_cast<double>(pass.nsecsElapsed()) / 1e9;
    auto* store = dynamic_cast<TrpPreviewPages*>(report.PreviewPages());
    const int pages = store->Count();
    std::printf("prepare rows=%d pages=%d pass1=%.2f pass2=%.2f total=%.2f rows/s=%.0f pages/s=%.0f peak-rss=%ld MB\n",
                rowCount, pages, firstPass, secondPass, totalSeconds, rowCount / totalSeconds, pages / totalSeconds,
                PeakRssMegabytes());

    const int drawn = std::min(pages, 200);
    if (drawn > 0) {
        const QPoint size = store->GetPageSize(0);
        QImage image(size.x(), size.y(), QImage::Format_RGB32);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < drawn; ++i) {
            image.fill(Qt::white);
            QPainter painter(&image);
            store->DrawPage(i, painter, 1, 1, 0, 0, TrpDrawContext{});
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        std::printf("draw pages=%d zoom=1 ms/page=%.2f pages/s=%.1f\n", drawn, seconds * 1000 / drawn, drawn / seconds);

        // Rebuilding: each page asked once more than the cache holds, so every request rebuilds.
        timer.restart();
        const int rebuilt = std::min(pages, 200);
        for (int i = 0; i < rebuilt; ++i)
            store->GetPage((i * 7919) % pages);
        std::printf("rebuild ms/page=%.2f\n", static_cast<double>(timer.nsecsElapsed()) / 1e6 / rebuilt);

        // Printing the same pages into a PDF file through the built-in PDF-file printer.
        EngineRuntime::init(TrpPdfFilePrinterMode::Forced);
        const QString pdf = QDir::temp().filePath(QStringLiteral("reportbench.pdf"));
        TrpPrintOptions& options = report.PrintOptions();
        options.ShowDialog = false;
        options.PrnOutFileName = pdf;
        options.PageNumbers = QStringLiteral("1-%1").arg(drawn);
        timer.restart();
        if (!store->Print()) {
            std::fputs("printing failed\n", stderr);
            return 2;
        }
        const double printSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        std::printf("print sheets=%d sheets/s=%.1f\n", store->PrintedSheets(), store->PrintedSheets() / printSeconds);
        QFile::remove(pdf);
    }
    return 0;
}
