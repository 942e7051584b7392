// exportbench [--runs N] [--stress-pages P]: the PDF export timed against Qt's own PDF writer.
// The archive fixture (744 hour rows) and a stress run of about P pages (1,000 by default) are
// prepared once (not timed); then, for the same pages, our writer exports them into memory and
// DrawPage draws them for printing on a QPdfWriter, the median of N runs each. It prints the
// speed and size ratios and what our file is made of; then the same for a protected export
// (both passwords) and for the archive with two pictures on every page. Before that, the
// export matrix of the table exports over the same two reports: the time to hand it every page,
// the time of Prepare and the heap it holds when prepared, per page, to show it grows about
// linearly (--matrix-only stops there). A timed run, never a test.

#include "ExportFixtures.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/rpPreviewPages.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportDefaults.h"
#include "report/export/rpExportMatrix.h"
#include "report/export/rpExportPDF.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_views.h"

#include <functional>

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <malloc.h>

namespace {

constexpr int kRowsPerDay = 24;

struct Result {
    double seconds = 0;
    qint64 bytes = 0;
    QByteArray file;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

using Options = std::function<void(TrpPDFExport&)>;

Result Ours(TrpReport& report, const Options& options)
{
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    ApplyDeviceFrameSettings(*filter);
    if (options)
        options(*filter);
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    filter->Stream = &buffer;
    QElapsedTimer timer;
    timer.start();
    if (!report.Export(filter.get()))
        std::fprintf(stderr, "export failed: %s\n", qPrintable(report.Errors().join(u'\n')));
    Result result;
    result.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    result.file = buffer.data();
    result.bytes = result.file.size();
    return result;
}

Result Qt(TrpPreviewPages& store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QElapsedTimer timer;
    timer.start();
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(96);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const auto pageSize = [&](int i) {
            const QPoint size = store.GetPageSize(i);
            return QPageSize(QSizeF(size.x() * 0.75, size.y() * 0.75), QPageSize::Point);
        };
        writer.setPageSize(pageSize(0));
        QPainter painter(&writer);
        for (int i = 0; i < store.Count(); ++i) {
            if (i > 0) {
                writer.setPageSize(pageSize(i));
                writer.newPage();
            }
            TrpDrawContext context;
            context.Printing = true;
            store.DrawPage(i, painter, 1, 1, 0, 0, context);
        }
    }
    Result result;
    result.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    result.bytes = buffer.size();
    return result;
}

void Composition(const char* name, const QByteArray& pdf)
{
    qint64 content = 0;
    qint64 fonts = 0;
    const QString text = QString::fromLatin1(pdf);
    for (auto it = QRegularExpression(QStringLiteral("<< /Filter /FlateDecode /Length (\\d+) ")).globalMatch(text);
         it.hasNext();)
        content += it.next().captured(1).toLongLong();
    for (auto it = QRegularExpression(QStringLiteral("<< /Length (\\d+)  /Filter")).globalMatch(text); it.hasNext();)
        fonts += it.next().captured(1).toLongLong();
    std::printf("pdf-composition %s total=%lld page-content=%lld fonts-and-maps=%lld structure=%lld bytes\n", name,
                static_cast<long long>(pdf.size()), static_cast<long long>(content), static_cast<long long>(fonts),
                static_cast<long long>(pdf.size() - content - fonts));
}

// A 240 x 90 colour gradient as BMP bytes: a picture the JPEG encoder has work with.
QByteArray GradientBmp()
{
    QImage image(240, 90, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, (x + y) % 256, y * 2));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// Two pictures in the page header of the archive: on every page, the same twice.
void AddPictures(TrpReport& report)
{
    auto* header = dynamic_cast<TrpBand*>(report.FindObject(u"PageHeader1"));
    if (header == nullptr)
        return;
    header->SetHeight(100);
    TrpPicture picture;
    picture.SetData(QStringLiteral("BMP"), GradientBmp());
    for (int i = 0; i < 2; ++i) {
        auto* view = new TrpPictureView(header);
        view->SetName(QStringLiteral("Logo%1").arg(i + 1));
        view->SetBounds(400 + i * 250, 20, 240, 90);
        view->SetPicture(picture);
    }
}

bool Run(const char* name, int rows, int runs, const Options& options = {}, bool pictures = false)
{
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.ShowProgress = false;
    enginefixtures::DataSets keep;
    exportfixtures::BuildArchive(report, keep);
    if (pictures)
        AddPictures(report);
    keep.front()->LoadFromText(exportfixtures::HoursCsv(rows), QStringLiteral("Hours"));
    if (!report.PrepareReport()) {
        std::fprintf(stderr, "%s\n", qPrintable(report.Errors().join(u'\n')));
        return false;
    }
    auto* store = dynamic_cast<TrpPreviewPages*>(report.PreviewPages());
    const int pages = store->Count();
    std::vector<double> ours;
    std::vector<double> qt;
    Result last;
    qint64 qtBytes = 0;
    for (int r = 0; r < runs; ++r) {
        last = Ours(report, options);
        ours.push_back(last.seconds);
        const Result drawn = Qt(*store);
        qt.push_back(drawn.seconds);
        qtBytes = drawn.bytes;
    }
    const double oursSpeed = pages / Median(ours);
    const double qtSpeed = pages / Median(qt);
    std::printf("pdf-speed %s pages=%d ours=%.1f pages/s qt=%.1f pages/s ratio=%.2f (goal >= 1)\n", name, pages,
                oursSpeed, qtSpeed, oursSpeed / qtSpeed);
    std::printf("pdf-size %s pages=%d ours=%lld bytes qt=%lld bytes ratio=%.2f (goal <= 1)\n", name, pages,
                static_cast<long long>(last.bytes), static_cast<long long>(qtBytes),
                static_cast<double>(last.bytes) / static_cast<double>(qtBytes));
    Composition(name, last.file);
    return true;
}

// Hands the matrix the views of each page as the HTML export does and closes each page.
class MatrixCollector : public TrpCustomExportFilter {
public:
    explicit MatrixCollector(TrpIEMatrix& matrix) : TrpCustomExportFilter(TrpNoRegister{}), matrix_(matrix)
    {
        ShowDialog = false;
        ShowProgress = false;
    }
    void ExportObject(TrpComponent* object) override
    {
        auto* view = dynamic_cast<TrpView*>(object);
        if (view != nullptr && (view->Printable || ExportNotPrintable))
            matrix_.AddObject(*view);
    }
    void FinishPage(TrpReportPage* page, int32_t index) override
    {
        matrix_.AddPage(page->Orientation(), page->Width(), page->Height(), page->LeftMargin, page->TopMargin,
                        page->RightMargin, page->BottomMargin, page->MirrorMargins, index);
    }

private:
    TrpIEMatrix& matrix_;
};

size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct MatrixResult {
    int pages = 0;
    double fill = 0;      // seconds, median
    double prepare = 0;   // seconds, median
    double heap = 0;      // bytes held by the prepared matrix
};

bool MatrixRun(const char* name, int rows, int runs, MatrixResult& result)
{
    TrpReport report;
    report.EngineOptions().NewSilentMode = simSilent;
    report.ShowProgress = false;
    enginefixtures::DataSets keep;
    exportfixtures::BuildArchive(report, keep);
    keep.front()->LoadFromText(exportfixtures::HoursCsv(rows), QStringLiteral("Hours"));
    if (!report.PrepareReport()) {
        std::fprintf(stderr, "%s\n", qPrintable(report.Errors().join(u'\n')));
        return false;
    }
    auto* store = dynamic_cast<TrpPreviewPages*>(report.PreviewPages());
    result.pages = store->Count();
    std::vector<double> fill;
    std::vector<double> prepare;
    int32_t width = 0;
    int32_t height = 0;
    int32_t objects = 0;
    for (int r = 0; r < runs; ++r) {
        malloc_trim(0);
        const size_t before = HeapInUse();
        TrpIEMatrix matrix;
        ApplyHTMLMatrixOptions(matrix, &report, false, false, false, true);
        MatrixCollector collector(matrix);
        QElapsedTimer timer;
        timer.start();
        if (!report.Export(&collector)) {
            std::fprintf(stderr, "matrix fill failed: %s\n", qPrintable(report.Errors().join(u'\n')));
            return false;
        }
        fill.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        timer.restart();
        matrix.Prepare();
        prepare.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        result.heap = static_cast<double>(HeapInUse() - std::min(before, HeapInUse()));
        width = matrix.Width();
        height = matrix.Height();
        objects = matrix.ObjectsCount();
    }
    result.fill = Median(fill);
    result.prepare = Median(prepare);
    std::printf("matrix %s pages=%d grid=%dx%d objects=%d fill=%.3f s prepare=%.3f s (%.2f ms/page) "
                "heap=%.1f MB (%.1f KB/page)\n",
                name, result.pages, width, height, objects, result.fill, result.prepare,
                result.prepare * 1000 / result.pages, result.heap / 1048576, result.heap / 1024 / result.pages);
    return true;
}

bool MatrixBench(int runs, int stressRows)
{
    MatrixResult archive;
    MatrixResult stress;
    if (!MatrixRun("archive", 744, runs, archive) || !MatrixRun("stress", stressRows, std::max(1, runs / 2), stress))
        return false;
    const auto perPage = [](double value, const MatrixResult& r) { return value / r.pages; };
    std::printf("matrix growth stress/archive per page: fill=%.2f prepare=%.2f heap=%.2f (about 1 when linear)\n",
                perPage(stress.fill, stress) / perPage(archive.fill, archive),
                perPage(stress.prepare, stress) / perPage(archive.prepare, archive),
                perPage(stress.heap, stress) / perPage(archive.heap, archive));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    int stressPages = 1000;
    bool matrixOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--stress-pages") == 0 && i + 1 < argc) {
            stressPages = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--matrix-only") == 0) {
            matrixOnly = true;
        } else {
            std::fputs("usage: exportbench [--runs N] [--stress-pages P] [--matrix-only]\n", stderr);
            return 1;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ExportRuntime::init();
    // The archive lays out 37.2 rows a page (744 rows on 20 pages).
    const int rows = stressPages * 744 / 20 / kRowsPerDay * kRowsPerDay;
    if (!MatrixBench(runs, rows))
        return 2;
    if (matrixOnly)
        return 0;
    if (!Run("archive", 744, runs))
        return 2;
    if (!Run("stress", rows, std::max(1, runs / 2)))
        return 2;
    const Options protect = [](TrpPDFExport& f) {
        f.UserPassword = QStringLiteral("u1");
        f.OwnerPassword = QStringLiteral("o1");
    };
    if (!Run("archive-protected", 744, runs, protect))
        return 2;
    if (!Run("archive-pictures", 744, runs, {}, true))
        return 2;
    if (!Run("archive-pictures-protected", 744, runs, protect, true))
        return 2;
    return 0;
}
