// The built-in PDF-file printer, read back by poppler: page count and sizes, where the ink is on
// each page against the same page drawn into a picture, views that are not printable left out,
// and failures that leave an earlier file whole.
//
// DAX_WRITE_ENGINE_FIXTURES=1 writes data/zp3/a3.zp3 again instead of comparing it.

#include "EngineTestSupport.h"
#include "PreparedPagesBuilder.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/EngineServices.h"
#include "report/engine/rpPrinter.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpRes.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace enginetest;

namespace {

constexpr int kPictureDpi = 50;

// poppler's output, or none when the program fails.
std::optional<QString> RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The smallest rectangle holding every pixel that is not white (nearly).
QRect InkBox(const QImage& image)
{
    int left = image.width();
    int top = image.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 200) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

class PdfFilePrinterTest : public testing::Test {
protected:
    PdfFilePrinterTest() : scope_(Forced()) {}

    static TrpEngineServices Forced()
    {
        EngineRuntime::init();
        TrpEngineServices services;
        services.PdfFilePrinter = TrpPdfFilePrinterMode::Forced;
        return services;
    }

    // Prints the store into `file` without a dialog.
    bool PrintInto(PreparedReport& prepared, const QString& file)
    {
        TrpPrintOptions& options = prepared.Report().PrintOptions();
        options.ShowDialog = false;
        options.PrnOutFileName = file;
        return prepared.Store().Print();
    }

    QTemporaryDir dir_;
    EngineServicesScope scope_;
};

TEST_F(PdfFilePrinterTest, PagesKeepTheirPaperAndTheirInkLandsWhereDrawingPutsIt)
{
    PaperPage landscape;
    landscape.orientation = poLandscape;
    PaperPage a5;
    a5.paperSize = 11;
    PreparedReport prepared = BuildPaperStore({PaperPage{}, landscape, a5});
    const QString pdf = dir_.filePath(QStringLiteral("three.pdf"));
    ASSERT_TRUE(PrintInto(prepared, pdf));
    EXPECT_EQ(prepared.Store().PrintedSheets(), 3);

    const QString info = RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                             QStringLiteral("-l"), QStringLiteral("3"), pdf})
                             .value_or(QString());
    ASSERT_FALSE(info.isEmpty());
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n")))) << info.toStdString();
    const QRegularExpression sizeLine(QStringLiteral("Page\\s+(\\d) size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    const double expected[3][2] = {{595.28, 841.89}, {841.89, 595.28}, {419.53, 595.28}};
    int pages = 0;
    for (auto match = sizeLine.globalMatch(info); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        const int index = m.captured(1).toInt() - 1;
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 3);
        EXPECT_NEAR(m.captured(2).toDouble(), expected[index][0], 1) << "page " << index + 1;
        EXPECT_NEAR(m.captured(3).toDouble(), expected[index][1], 1) << "page " << index + 1;
        ++pages;
    }
    EXPECT_EQ(pages, 3) << info.toStdString();

    const QString prefix = dir_.filePath(QStringLiteral("page"));
    ASSERT_TRUE(RunTool(QStringLiteral("pdftoppm"),
                        {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(kPictureDpi), pdf, prefix})
                    .has_value());
    for (int index = 0; index < 3; ++index) {
        const QImage printed(prefix + QStringLiteral("-%1.png").arg(index + 1));
        ASSERT_FALSE(printed.isNull()) << "page " << index + 1;
        TrpReportPage* page = prepared.Store().GetPage(index);
        ASSERT_NE(page, nullptr);
        QImage drawn(printed.size(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        {
            QPainter painter(&drawn);
            TrpDrawContext context;
            context.Printing = true;
            prepared.Store().DrawPage(index, painter, kPictureDpi / 96.0, kPictureDpi / 96.0, 0, 0, context);
        }
        const QRect printedInk = InkBox(printed);
        const QRect drawnInk = InkBox(drawn);
        ASSERT_TRUE(drawnInk.isValid());
        EXPECT_LE(std::abs(printedInk.left() - drawnInk.left()), 2) << "page " << index + 1;
        EXPECT_LE(std::abs(printedInk.top() - drawnInk.top()), 2) << "page " << index + 1;
        EXPECT_LE(std::abs(printedInk.right() - drawnInk.right()), 2) << "page " << index + 1;
        EXPECT_LE(std::abs(printedInk.bottom() - drawnInk.bottom()), 2) << "page " << index + 1;
        // The framed memo that is not printable stands at the printable corner, before the
        // printed frame.
        const double frameLeft =
            (kPaperStoreMargins * kPixelsPerMillimetre + kPaperStoreFrameInset) * kPictureDpi / 96.0;
        EXPECT_GE(printedInk.left(), frameLeft - 2) << "page " << index + 1;
        EXPECT_GE(printedInk.top(), frameLeft - 2) << "page " << index + 1;
    }
}

// One A3 portrait page, for rptool print --mode split.
TEST(PaperFixtures, A3StoreIsTheCommittedFixture)
{
    PaperPage a3;
    a3.paperSize = 8;
    PreparedReport prepared = BuildPaperStore({a3});
    const QByteArray saved = SaveStore(prepared.Store());
    const QString fileName = kEngineData + QStringLiteral("zp3/a3.zp3");
    if (qEnvironmentVariableIsSet("DAX_WRITE_ENGINE_FIXTURES")) {
        WriteFileBytes(fileName, saved);
        return;
    }
    EXPECT_EQ(saved.toStdString(), ReadFileBytes(fileName).toStdString());
}

TEST_F(PdfFilePrinterTest, CopiesAreRepeatedSheets)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}, PaperPage{}});
    prepared.Report().PrintOptions().Copies = 3;
    prepared.Report().PrintOptions().Collate = false;
    const QString pdf = dir_.filePath(QStringLiteral("copies.pdf"));
    ASSERT_TRUE(PrintInto(prepared, pdf));
    EXPECT_EQ(prepared.Store().PrintedSheets(), 6);
    EXPECT_TRUE(RunTool(QStringLiteral("pdfinfo"), {pdf}).value_or(QString()).contains(QRegularExpression(QStringLiteral("Pages:\\s+6\\n"))));
}

TEST_F(PdfFilePrinterTest, WithoutAFileNameItRefuses)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    try {
        PrintInto(prepared, QString());
        FAIL() << "printed without a file";
    } catch (const platform::Exception& failure) {
        EXPECT_EQ(QString::fromStdString(failure.Message()), GetResourcesInstance().Get(u"prNoPdfFileName"));
    }
}

TEST_F(PdfFilePrinterTest, AFailedJobLeavesTheEarlierFileWhole)
{
    const QString pdf = dir_.filePath(QStringLiteral("kept.pdf"));
    {
        QFile earlier(pdf);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    PreparedReport prepared = BuildPaperStore({PaperPage{}, PaperPage{}});
    int pages = 0;
    prepared.Report().OnPrintPage = [&](TrpReportPage&, int32_t) {
        if (++pages == 2)
            throw platform::Exception("broken");
    };
    EXPECT_THROW(PrintInto(prepared, pdf), platform::Exception);
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left";

    prepared.Report().OnPrintPage = nullptr;
    EXPECT_THROW(PrintInto(prepared, dir_.filePath(QStringLiteral("missing/out.pdf"))), platform::Exception);
}

TEST_F(PdfFilePrinterTest, APrintStoppedByTheUserWritesNoFile)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}, PaperPage{}, PaperPage{}});
    prepared.Report().OnPrintPage = [&](TrpReportPage&, int32_t) { prepared.Report().SetTerminated(true); };
    const QString pdf = dir_.filePath(QStringLiteral("stopped.pdf"));
    EXPECT_TRUE(PrintInto(prepared, pdf));
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
