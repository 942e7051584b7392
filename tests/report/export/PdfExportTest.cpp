// The PDF export through the real export road, over prepared pages built by hand: the file's
// structure (checked by qpdf and poppler as well as by reading it), page content operators,
// the fonts (embedded subsets whose text comes back exactly), numbers under a Russian
// locale, the export texts, and rptool export as a user runs it.

#include "ExportFixtures.h"
#include "PreparedPagesBuilder.h"
#include "RecordingPaintDevice.h"
#include "RecordingSink.h"
#include "ReportFakes.h"
#include "Subprocess.h"
#include "UnderLocale.h"

#include "report/core/NumberText.h"
#include "report/core/PropertyRegistry.h"
#include "report/model/rpXMLSerializer.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportPDF.h"
#include "report/export/rpmd5.h"
#include "report/model/rpChBox.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpRes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <functional>

using namespace enginetest;

namespace {

const QString kGuid = QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");

// Pages of one band "Band1" (A4, 10 mm margins): `build` makes its objects, `fill` changes
// them for page N (from 1) before the band is printed on it.
PreparedReport Pages(int count, const std::function<void(TrpBand&)>& build,
                     const std::function<void(int, TrpBand&)>& fill = {})
{
    PreparedReport prepared;
    ExportRuntime::init();
    TrpReport& report = prepared.Report();
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Band1"), 0, 200);
    build(*band);
    TrpPreviewPages& store = prepared.Store();
    prepared.Engine().Running = true;
    store.Initialize();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    for (int p = 1; p <= count; ++p) {
        store.AddPage(page);
        PrintBand(store, *band, 0, [&] {
            if (fill)
                fill(p, *band);
        });
    }
    store.Finish();
    prepared.Engine().Running = false;
    return prepared;
}

TrpMemoView* Memo(TrpBand& band, const QString& name, double left, double top, double width, double height,
                  const QString& text, const QString& font = QStringLiteral("Arial"))
{
    TrpMemoView* memo = AddMemo(&band, name, left, top, width, height, text);
    memo->Font().SetName(font);
    return memo;
}

// The PDF of a store, written into memory: uncompressed, clock and identifier pinned.
QByteArray ExportPdf(PreparedReport& prepared, const std::function<void(TrpPDFExport&)>& set = {},
                     bool* result = nullptr)
{
    const reporttest::FixedReportClock clock(46000.5);
    std::unique_ptr<TrpPDFExport> filter = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    filter->Compressed = false;
    filter->GuidText = [] { return kGuid; };
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    filter->Stream = &buffer;
    if (set)
        set(*filter);
    const bool exported = prepared.Report().Export(filter.get());
    if (result != nullptr)
        *result = exported;
    else
        EXPECT_TRUE(exported) << prepared.Report().Errors().join(u'\n').toStdString();
    return buffer.data();
}

struct Tool {
    int status = -1;
    std::string output;
};

// A poppler or qpdf command over the PDF bytes, written to a temporary file.
Tool RunOnPdf(const std::string& command, const QByteArray& pdf, const std::string& after = {})
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("t.pdf"));
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();
    Tool tool;
    tool.status = testsupport::RunCommand(command + " '" + name.toStdString() + "' " + after, tool.output);
    return tool;
}

// Every cross-reference entry points at its "n 0 obj".
void ExpectXRefPointsAtObjects(const QByteArray& pdf)
{
    const qsizetype xref = pdf.lastIndexOf("\r\nxref\r\n");
    ASSERT_GT(xref, 0);
    const QList<QByteArray> lines = pdf.mid(xref + 2).split('\n');
    ASSERT_GE(lines.size(), 3);
    const int size = lines[1].trimmed().split(' ').value(1).toInt();
    ASSERT_GT(size, 1);
    for (int n = 1; n < size; ++n) {
        const qsizetype offset = lines[2 + n].left(10).toLongLong();
        EXPECT_TRUE(pdf.mid(offset).startsWith(QByteArray::number(n) + " 0 obj\r\n")) << "object " << n;
    }
    const QByteArray start = pdf.mid(pdf.lastIndexOf("startxref\r\n") + 11).split('\r').value(0);
    EXPECT_EQ(start.toLongLong(), xref + 2);
}

// The content stream of page N (uncompressed exports): the first stream after the (N-1)th
// page object.
QByteArray PageContent(const QByteArray& pdf, int page)
{
    qsizetype from = 0;
    for (int i = 1; i < page; ++i)
        from = pdf.indexOf("/Type /Page\r\n", from) + 1;
    const qsizetype start = pdf.indexOf("stream\r\n", from) + 8;
    const qsizetype end = pdf.indexOf("\r\nendstream", start);
    return pdf.mid(start, end - start);
}

} // namespace

TEST(PdfWriter, NoPagesGivesAnEmptyPageTree)
{
    PreparedReport prepared = Pages(0, [](TrpBand&) {});
    const QByteArray pdf = ExportPdf(prepared);
    EXPECT_TRUE(pdf.startsWith("%PDF-1.5\r\n"));
    EXPECT_TRUE(pdf.contains("/Kids []\r\n/Count 0\r\n"));
    EXPECT_TRUE(pdf.endsWith("%%EOF\r\n"));
    ExpectXRefPointsAtObjects(pdf);
    const Tool check = RunOnPdf("qpdf --check", pdf);
    EXPECT_EQ(check.status, 0) << check.output;
}

TEST(PdfWriter, OnePageWithOneMemo)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        Memo(band, QStringLiteral("M"), 10, 10, 200, 20, QStringLiteral("Часовые данные"));
    });
    const QByteArray pdf = ExportPdf(prepared, [](TrpPDFExport& f) {
        f.Title = QStringLiteral("Отчёт");
        f.Author = QStringLiteral("Автор");
    });
    ExpectXRefPointsAtObjects(pdf);
    EXPECT_TRUE(pdf.contains("/DisplayDocTitle true"));
    EXPECT_TRUE(pdf.contains("/CreationDate (D:20251209120000)\r\n")); // 46000.5
    EXPECT_TRUE(pdf.contains("/ID [<" + MD5Text(kGuid.toLatin1()) + "><"));
    // Every line ends with CR LF: no bare line feed outside binary streams.
    EXPECT_FALSE(QRegularExpression(QStringLiteral("[^\\r]\\n")).match(QString::fromLatin1(PageContent(pdf, 1))).hasMatch());
    const Tool check = RunOnPdf("qpdf --check", pdf);
    EXPECT_EQ(check.status, 0) << check.output;
    const Tool info = RunOnPdf("pdfinfo", pdf);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("(?m)^PDF version: +1\\.5$")).match(QString::fromStdString(info.output)).hasMatch()) << info.output;
    EXPECT_NE(info.output.find("Page size:       595.5 x 842.25 pts"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Title:           Отчёт"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Author:          Автор"), std::string::npos) << info.output;
    const Tool text = RunOnPdf("pdftotext", pdf, "-");
    EXPECT_EQ(text.output.substr(0, text.output.find('\n')), "Часовые данные");
}

TEST(PdfWriter, EmptyTitleIsAByteOrderMarkOnly)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 50, 20, "a"); });
    const QByteArray pdf = ExportPdf(prepared);
    EXPECT_TRUE(pdf.contains("/Title <FEFF>\r\n"));
    EXPECT_FALSE(pdf.contains("/DisplayDocTitle"));
}

TEST(PdfWriter, SecondPageListsTheFontsOfTheFirst)
{
    PreparedReport prepared = Pages(
        2,
        [](TrpBand& band) {
            Memo(band, QStringLiteral("A"), 0, 0, 100, 20, "a");
            Memo(band, QStringLiteral("B"), 0, 30, 100, 20, "b", QStringLiteral("Tahoma"));
        },
        [](int page, TrpBand& band) {
            if (page == 2)
                dynamic_cast<TrpMemoView*>(band.Objects()[0])->SetText(QString());
        });
    const QByteArray pdf = ExportPdf(prepared);
    const QRegularExpression fonts(QStringLiteral("/Font << ([^>]*)>>"));
    QStringList lists;
    for (auto it = fonts.globalMatch(QString::fromLatin1(pdf)); it.hasNext();)
        lists << it.next().captured(1);
    ASSERT_EQ(lists.size(), 2);
    EXPECT_TRUE(lists[0].startsWith(QStringLiteral("/F0 ")) && lists[0].contains(QStringLiteral("/F1 "))) << lists[0].toStdString();
    EXPECT_EQ(lists[1], lists[0]);
    EXPECT_FALSE(PageContent(pdf, 2).contains("/F0 "));
}

TEST(PdfWriter, AFailureOnPageThreeStillGivesACompleteFile)
{
    class Failing : public TrpPDFExport {
    public:
        using TrpPDFExport::TrpPDFExport;
        int page = 0;
        void StartPage(TrpReportPage* p, int32_t index) override
        {
            page = index;
            TrpPDFExport::StartPage(p, index);
        }
        void ExportObject(TrpComponent* object) override
        {
            TrpPDFExport::ExportObject(object);
            if (page == 2)
                throw platform::Exception("page three failed");
        }
    };
    PreparedReport prepared =
        Pages(5, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 100, 20, "x"); });
    auto filter = TrpCustomExportFilter::CreateNoRegister<Failing>();
    filter->ShowDialog = false;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    filter->Stream = &buffer;
    EXPECT_FALSE(prepared.Report().Export(filter.get()));
    EXPECT_TRUE(prepared.Report().Errors().join(u' ').contains(QStringLiteral("page three failed")));
    const QByteArray pdf = buffer.data();
    EXPECT_TRUE(pdf.contains("/Count 3\r\n"));
    const Tool check = RunOnPdf("qpdf --check", pdf);
    EXPECT_EQ(check.status, 0) << check.output;
}

TEST(PdfContent, OperatorSnippets)
{
    struct Case {
        const char* name;
        std::function<void(TrpMemoView&)> set;
        const char* expected;
        bool present;
    };
    const Case cases[] = {
        {"dash", [](TrpMemoView& m) { m.Frame().Typ = kAllFrameSides; m.Frame().TopLine().Style = fsDash; },
         "0 0 0 RG\r\n[6.00 ] 0 d\r\n0.75 w\r\n", true},
        {"alt dot as dot", [](TrpMemoView& m) { m.Frame().Typ = 1u << ftTop; m.Frame().TopLine().Style = fsAltDot; },
         "[2.00 6.00 ] 0 d\r\n", true},
        {"square as dash", [](TrpMemoView& m) { m.Frame().Typ = 1u << ftTop; m.Frame().TopLine().Style = fsSquare; },
         "[6.00 ] 0 d\r\n", true},
        {"empty memo has no text", [](TrpMemoView& m) { m.SetText(QString()); }, "BT", false},
        {"frame order top right bottom left",
         [](TrpMemoView& m) { m.Frame().Typ = kAllFrameSides; },
         "28.85 813.40 m\r\n103.85 813.40 l\r\nS\r\n0 0 0 RG\r\n[] 0 d\r\n0.75 w\r\n103.85 813.40 m\r\n103.85 798.40 l\r\nS\r\n0 0 0 RG\r\n[] 0 d\r\n0.75 w\r\n28.85 798.40 m\r\n", true},
        {"rotation 90 about the centre",
         [](TrpMemoView& m) { m.SetRotation(90); },
         "0.00 1.00 -1.00 0.00 66.35 805.90 cm\r\n", true},
        {"rotation 30 by width and height",
         [](TrpMemoView& m) { m.SetRotation(30); },
         "0.87 0.50 -0.50 0.87 ", true},
        {"underlines",
         [](TrpMemoView& m) { m.Underlines = true; },
         " l\r\nS\r\n", true},
        {"shadow",
         [](TrpMemoView& m) { m.Frame().DropShadow = true; },
         " re\r\nB\r\n", true},
        {"simulated bold", [](TrpMemoView& m) {
             m.Font().SetName(QStringLiteral("MS UI Gothic"));
             m.Font().SetStyle(kTextStyleBold);
         },
         "2 Tr 0.29 w 0 0 0 RG\r\n", true},
        {"simulated italic", [](TrpMemoView& m) {
             m.Font().SetName(QStringLiteral("MS UI Gothic"));
             m.Font().SetStyle(kTextStyleItalic);
         },
         "1 0 0.3333 1 ", true},
        {"real bold not simulated", [](TrpMemoView& m) { m.Font().SetStyle(kTextStyleBold); }, "2 Tr", false},
    };
    for (const Case& c : cases) {
        PreparedReport prepared = Pages(1, [&](TrpBand& band) {
            TrpMemoView* memo = Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("Текст"));
            c.set(*memo);
        });
        const QByteArray content = PageContent(ExportPdf(prepared), 1);
        EXPECT_EQ(content.contains(c.expected), c.present) << c.name << "\n" << content.toStdString();
    }
}

TEST(PdfContent, Colours)
{
    EXPECT_EQ(TrpPDFExport::PageColorText(RGBColor(0, 13, 128)), "0 0.05 0.50");
    EXPECT_EQ(TrpPDFExport::PageColorText(RGBColor(255, 254, 0)), "1 0.99 0");
    TrpPDFExport& filter = *TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>().release();
    std::unique_ptr<TrpPDFExport> owned(&filter);
    EXPECT_EQ(filter.ColorText(RGBColor(0, 13, 128)), "0.00 0.05 0.50");
    EXPECT_EQ(filter.ColorText(RGBColor(255, 254, 0)), "1.00 1.00 0.00");
    EXPECT_EQ(filter.ColorText(0), "0 0 0");
    EXPECT_EQ(filter.ColorText(0xFFFFFF), "1 1 1");
}

class PdfNumbers : public testsupport::UnderLocale {};

TEST_P(PdfNumbers, FixedEqualsTheFormatter)
{
    const double values[] = {0.125, -0.125, 2.675, 0, 1e9 + 0.005, 1e-9, -3, 0.75 * 2, 123456.785};
    for (double v : values)
        EXPECT_EQ(TrpPDFExport::Fixed(v), FloatToFixedText(v, 2, u'.').toLatin1()) << v;
    EXPECT_EQ(TrpPDFExport::Fixed(0.125), "0.13");
    EXPECT_EQ(TrpPDFExport::Fixed(-0.125), "-0.13");
    EXPECT_EQ(TrpPDFExport::Fixed(2.675), "2.68");
    EXPECT_EQ(TrpPDFExport::Fixed(-3), "-3.00");
}

DAX_INSTANTIATE_UNDER_LOCALES(PdfNumbers);

TEST(PdfFonts, EmbeddedSubsetsGiveTheTextBack)
{
    const QString russian = QStringLiteral("Часовые данные: ёмкость");
    const QString combined = QStringLiteral("и\u0306");
    const QString gothic = QString::fromUcs4(U"\U00010300\U00010301");
    PreparedReport prepared = Pages(1, [&](TrpBand& band) {
        Memo(band, QStringLiteral("R"), 0, 0, 400, 20, russian);
        Memo(band, QStringLiteral("B"), 0, 30, 400, 20, russian)->Font().SetStyle(kTextStyleBold);
        Memo(band, QStringLiteral("C"), 0, 60, 400, 20, combined);
        Memo(band, QStringLiteral("G"), 0, 90, 400, 20, gothic, QStringLiteral("Tahoma"));
    });
    const QByteArray pdf = ExportPdf(prepared, [](TrpPDFExport& f) { f.Compressed = true; });
    const Tool check = RunOnPdf("qpdf --check", pdf);
    EXPECT_EQ(check.status, 0) << check.output;
    const Tool fonts = RunOnPdf("pdffonts", pdf);
    const QStringList rows = QString::fromStdString(fonts.output).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_EQ(rows.size(), 3) << fonts.output; // Arial, Arial bold, DejaVu Sans
    for (const QString& row : rows) {
        const QStringList cells = row.split(u' ', Qt::SkipEmptyParts);
        EXPECT_EQ(cells.mid(cells.size() - 5, 3), (QStringList{"yes", "yes", "yes"})) << row.toStdString();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+")).match(row).hasMatch()) << row.toStdString();
    }
    EXPECT_TRUE(fonts.output.find("+Arial,Bold ") != std::string::npos) << fonts.output;
    const Tool text = RunOnPdf("pdftotext", pdf, "-");
    const QStringList lines = QString::fromStdString(text.output).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4) << text.output;
    EXPECT_EQ(lines[0], russian);
    EXPECT_EQ(lines[1], russian);
    EXPECT_EQ(lines[2].normalized(QString::NormalizationForm_D), combined);
    EXPECT_EQ(lines[3], gothic);
}

TEST(PdfFonts, GlyphsAndWidthsAreTheLayoutsOwn)
{
    const QString texts[] = {QStringLiteral("Hello"), QStringLiteral("Съешь ещё"), QStringLiteral("и\u0306"),
                             QString::fromUcs4(U"\U00010300")};
    for (const QString& text : texts) {
        TrpPDFFont font(QStringLiteral("Tahoma"), false, false);
        const QByteArray hex = font.RemapString(text);
        const QRawFont raw = ReportRawFont(ResolveReportFont(u"Tahoma", false, false), 12);
        QList<quint32> glyphs = raw.glyphIndexesForString(text);
        QByteArray expected;
        for (quint32 g : glyphs)
            expected += QByteArray::number(g, 16).toUpper().rightJustified(4, '0');
        EXPECT_EQ(hex, expected) << text.toStdString();
        const QRawFont em(ReportFontData(font.Face), 2048, QFont::PreferNoHinting);
        const QList<QPointF> advances = em.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            EXPECT_NEAR(font.GlyphWidth(static_cast<uint16_t>(glyphs[i])), advances[i].x() * 1000 / 2048, 0.5001)
                << text.toStdString();
    }
}

TEST(PdfFonts, ItalicAngleInDegrees)
{
    TrpPDFFont italic(QStringLiteral("Arial"), false, true);
    EXPECT_DOUBLE_EQ(italic.FontMetrics().ItalicAngle, -12);
}

TEST(ExportTexts, PackTexts)
{
    ExportRuntime::init();
    TrpResources& res = GetResourcesInstance();
    EXPECT_EQ(res.Get(u"PDFexport"), QStringLiteral("Документ PDF"));
    EXPECT_EQ(res.Get(u"9999"), QStringLiteral("9999"));
    EXPECT_EQ(res.Get(u"8707"), QStringLiteral("Файл Adobe PDF (*.pdf)|*.pdf"));
    // No key of the pack is in the other blocks.
    const auto keys = [](const QString& name) {
        QFile file(name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        QSet<QString> result;
        const QRegularExpression entry(QStringLiteral("<StrRes Name=\"([^\"]*)\""));
        for (auto it = entry.globalMatch(text); it.hasNext();)
            result.insert(it.next().captured(1));
        return result;
    };
    const QSet<QString> pack = keys(QStringLiteral(":/report/export/rpExportStrings.xml"));
    EXPECT_EQ(pack.size(), 247);
    for (const char* other : {":/report/model/rpRes.xml", ":/report/model/rpModelRes.xml",
                              ":/report/engine/rpEngineRes.xml", ":/report/export/rpExportRes.xml"})
        EXPECT_TRUE(keys(QString::fromLatin1(other)).intersect(pack).isEmpty()) << other;
    TrpPDFExport filter(TrpNoRegister{});
    EXPECT_EQ(filter.GetDescription(), QStringLiteral("Документ PDF"));
    EXPECT_EQ(filter.DefaultExt, QStringLiteral(".pdf"));
    EXPECT_EQ(filter.ClassName(), QStringLiteral("TrpPDFExport"));
}

// The pack holds exactly the keys of the export windows' list, in that list's order, each
// with a text of its own (none reads as its key).
TEST(ExportTexts, PackHoldsEveryKeyInOrder)
{
    ExportRuntime::init();
    QFile list(QStringLiteral(DAX_EXPORT_DATA "/export-texts-keys.txt"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QStringList expected = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(expected.size(), 247);
    QFile pack(QStringLiteral(":/report/export/rpExportStrings.xml"));
    ASSERT_TRUE(pack.open(QIODevice::ReadOnly));
    QStringList actual;
    const QRegularExpression entry(QStringLiteral("<StrRes Name=\"([^\"]*)\" Text=\"([^\"]*)\""));
    for (auto it = entry.globalMatch(QString::fromUtf8(pack.readAll())); it.hasNext();) {
        const auto match = it.next();
        actual << match.captured(1);
        EXPECT_FALSE(match.captured(2).isEmpty()) << match.captured(1).toStdString();
    }
    EXPECT_EQ(actual, expected);
    for (const QString& key : expected)
        EXPECT_NE(GetResourcesInstance().Get(key), key) << key.toStdString();
}

namespace {

testsupport::ProgramRun Rptool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return testsupport::RunProgram(argv);
}

} // namespace

TEST(RptoolExport, ArchiveEndToEnd)
{
    QTemporaryDir folder;
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string zp3 = folder.filePath(QStringLiteral("a.zp3")).toStdString();
    const std::string pdf = folder.filePath(QStringLiteral("a.pdf")).toStdString();
    const auto prepare =
        Rptool({"prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv", "--out", zp3});
    ASSERT_EQ(prepare.status, 0) << prepare.err;
    const auto run = Rptool({"export", zp3, "--format", "pdf", "--out", pdf, "--set", "Title=Архив"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string output;
    EXPECT_EQ(testsupport::RunCommand("qpdf --check '" + pdf + "'", output), 0) << output;
    testsupport::RunCommand("pdftotext -f 1 -l 1 '" + pdf + "' -", output);
    EXPECT_EQ(output.substr(0, output.find('\n')), "Часовые данные");
    testsupport::RunCommand("pdfinfo '" + pdf + "'", output);
    EXPECT_NE(output.find("Title:           Архив"), std::string::npos) << output;

    const auto pages = Rptool({"export", zp3, "--format", "pdf", "--out", pdf, "--pages", "2-3"});
    ASSERT_EQ(pages.status, 0) << pages.err;
    testsupport::RunCommand("pdfinfo '" + pdf + "'", output);
    EXPECT_NE(output.find("Pages:           2"), std::string::npos) << output;
}

TEST(RptoolExport, ErrorsAndExitCodes)
{
    QTemporaryDir folder;
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string zp3 = folder.filePath(QStringLiteral("a.zp3")).toStdString();
    ASSERT_EQ(Rptool({"prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv", "--out", zp3}).status, 0);
    const std::string out = folder.filePath(QStringLiteral("x.pdf")).toStdString();

    const auto missing = Rptool({"export", folder.filePath(QStringLiteral("none.zp3")).toStdString(), "--format", "pdf",
                                 "--out", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.err.empty());
    EXPECT_EQ(Rptool({"export", zp3, "--format", "pdf", "--out", out, "--bogus"}).status, 1);
    EXPECT_EQ(Rptool({"export", zp3, "--format", "doc", "--out", out}).status, 1);
    const auto badValue = Rptool({"export", zp3, "--format", "pdf", "--out", out, "--set", "Quality=abc"});
    EXPECT_EQ(badValue.status, 2);
    EXPECT_FALSE(badValue.err.empty());
    const auto unknown = Rptool({"export", zp3, "--format", "pdf", "--out", out, "--set", "Colour=1"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_FALSE(unknown.err.empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(out)));
    const auto flags = Rptool({"export", zp3, "--format", "pdf", "--out", out, "--set", "ProtectionFlags=[ePrint,eCopy]"});
    EXPECT_EQ(flags.status, 0) << flags.err;
}

TEST(ExportFixtures, CommittedFilesAreWhatTheGeneratorMakes)
{
    ExportRuntime::init();
    const QString data = QStringLiteral(DAX_EXPORT_DATA "/");
    QFile csv(data + QStringLiteral("hours.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), exportfixtures::HoursCsv());
    QFile report(data + QStringLiteral("archive.zi3"));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(report.readAll(), enginefixtures::SavedReport(exportfixtures::BuildArchive));
    QFile graphicsCsv(data + QStringLiteral("graphics.csv"));
    ASSERT_TRUE(graphicsCsv.open(QIODevice::ReadOnly));
    EXPECT_EQ(graphicsCsv.readAll(), exportfixtures::GraphicsCsv());
    QFile graphics(data + QStringLiteral("graphics.zi3"));
    ASSERT_TRUE(graphics.open(QIODevice::ReadOnly));
    EXPECT_EQ(graphics.readAll(), enginefixtures::SavedReport(exportfixtures::BuildGraphics));
}

TEST(PdfContent, WordBoxesMatchTheDrawnText)
{
    struct Align {
        TrpHAlign align;
        const char* word;
    };
    const Align aligns[] = {{haLeft, "Левый"}, {haCenter, "Центр"}, {haRight, "Правый"},
                            {haBlock, "Ширина строки по ширине рамки текста и ещё несколько слов, чтобы строка перенеслась"}};
    PreparedReport prepared = Pages(1, [&](TrpBand& band) {
        double top = 0;
        for (const Align& a : aligns) {
            TrpMemoView* memo = Memo(band, QStringLiteral("M%1").arg(static_cast<int>(top)), 20, top, 300,
                                     a.align == haBlock ? 60 : 24, QString::fromUtf8(a.word));
            memo->HAlign = a.align;
            memo->Font().SetSize(12);
            top += 40;
        }
    });
    // The rectangles the drawing hands its text sink, at scale 1 (pixels at 96 per inch).
    RecordingSink sink;
    {
        QImage image(794, 1123, QImage::Format_RGB32);
        QPainter painter(&image);
        TrpDrawContext context;
        context.Printing = true;
        context.Sink = &sink;
        prepared.Store().DrawPage(0, painter, 1, 1, 0, 0, context);
    }
    const QByteArray pdf = ExportPdf(prepared);
    const Tool boxes = RunOnPdf("pdftotext -bbox-layout", pdf, "-");
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::map<QString, QRectF> found;
    for (auto it = word.globalMatch(QString::fromStdString(boxes.output)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        found[m.captured(5)] = QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    ASSERT_GE(sink.runs.size(), 5u);
    // Each drawn run's words: where the drawing puts them, from the run's rectangle and the
    // layout's own measure of the words.
    int words = 0;
    for (const auto& [text, rect] : sink.runs) {
        if (text.contains(u' ')) {
            // A justified line: its first and last word at the run's ends.
            const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
            ASSERT_TRUE(found.count(parts.first()) == 1 && found.count(parts.last()) == 1) << text.toStdString();
            EXPECT_NEAR(found[parts.first()].left(), rect.left() * 0.75, 1.5) << text.toStdString();
            EXPECT_NEAR(found[parts.last()].right(), rect.right() * 0.75, 1.5) << text.toStdString();
            ++words;
            continue;
        }
        ASSERT_TRUE(found.count(text) == 1) << text.toStdString() << "\n" << boxes.output;
        ++words;
        const QRectF box = found[text];
        // The writer places lines by its own rule (1.5 gaps and a hundredth of the size in from
        // the left, the baseline a tenth of the size above the line's foot, the page offset of
        // a twentieth of the margin), which puts a left-aligned word 1.2 pt right of the drawn
        // one and every line 2.1 pt lower; centred and right-aligned words are within 0.2 pt.
        EXPECT_NEAR(box.left(), rect.left() * 0.75, 1.5) << text.toStdString();
        EXPECT_NEAR(box.right(), rect.right() * 0.75, 1.5) << text.toStdString();
        EXPECT_NEAR(box.center().y(), rect.center().y() * 0.75, 2.5) << text.toStdString();
    }
    EXPECT_EQ(words, static_cast<int>(sink.runs.size()));
}

TEST(PdfContent, FramesAreDarkWhereTheDrawingDrewThem)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column) {
                TrpMemoView* cell = Memo(band, QStringLiteral("C%1_%2").arg(row).arg(column), 40 + column * 80,
                                         30 + row * 20, 80, 20, QString());
                cell->Frame().Typ = kAllFrameSides;
            }
    });
    RecordingPaintDevice device(QSize(794, 1123));
    {
        QPainter painter(&device);
        TrpDrawContext context;
        context.Printing = true;
        prepared.Store().DrawPage(0, painter, 1, 1, 0, 0, context);
    }
    const std::vector<RecordedOperation> lines = device.Operations(RecordedOperation::Line);
    ASSERT_GE(lines.size(), 48u);

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("f.pdf"));
    {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ExportPdf(prepared));
    }
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("pdftoppm -r 96 -png -singlefile '" + pdf.toStdString() + "' '" +
                                          folder.filePath(QStringLiteral("f")).toStdString() + "'",
                                      output),
              0)
        << output;
    const QImage image(folder.filePath(QStringLiteral("f.png")));
    ASSERT_FALSE(image.isNull());
    const auto darkNear = [&image](QPointF point) {
        int darkest = 255;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                darkest = std::min(darkest, qGray(image.pixel(static_cast<int>(point.x()) + dx,
                                                              static_cast<int>(point.y()) + dy)));
        return darkest;
    };
    for (const RecordedOperation& line : lines) {
        const QPointF a = line.DevicePoints.value(0);
        const QPointF b = line.DevicePoints.value(1);
        for (const double t : {0.25, 0.5, 0.75})
            EXPECT_LT(darkNear(a + (b - a) * t), 128) << line.Describe().toStdString();
    }
    // Between the lines the paper stays white.
    EXPECT_GT(qGray(image.pixel(117, 78)), 250);
}

TEST(PdfWriter, AFailingFinishLeavesTheOlderFile)
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("a.pdf"));
    {
        QFile older(name);
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("older file");
    }
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        Memo(band, QStringLiteral("M"), 0, 0, 300, 20, QStringLiteral("Часовые данные, ёмкость и объём"));
    });
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    filter->Compressed = false;
    filter->FileName = name;
    // Files may grow to 8 KB: the page fits, the font subset written by Finish does not.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 8192;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool exported = prepared.Report().Export(filter.get());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(exported);
    EXPECT_FALSE(prepared.Report().Errors().isEmpty());
    QFile after(name);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), QByteArray("older file"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.pdf")});
}

// The writer's goldens: uncompressed, clock and identifier pinned, the same bytes under every
// locale. DAX_UPDATE_GOLDENS=1 writes them anew.
class PdfGoldens : public testsupport::UnderLocale {};

TEST_P(PdfGoldens, WriterOutputIsTheGolden)
{
    struct Golden {
        const char* file;
        int pages;
        const char* text;
    };
    const Golden goldens[] = {{"no-pages.pdf", 0, ""}, {"one-memo.pdf", 1, "Часовые данные 12.50"}};
    for (const Golden& golden : goldens) {
        PreparedReport prepared = Pages(golden.pages, [&](TrpBand& band) {
            TrpMemoView* memo = Memo(band, QStringLiteral("M"), 10, 10, 200, 20, QString::fromUtf8(golden.text));
            memo->Frame().Typ = kAllFrameSides;
            memo->Color = RGBColor(255, 254, 13);
        });
        const QByteArray pdf = ExportPdf(prepared, [](TrpPDFExport& f) { f.Title = QStringLiteral("Отчёт"); });
        const QString name = QStringLiteral(DAX_EXPORT_DATA "/goldens/") + QString::fromLatin1(golden.file);
        if (qEnvironmentVariableIsSet("DAX_UPDATE_GOLDENS")) {
            QFile out(name);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(pdf);
        }
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(pdf, file.readAll()) << golden.file;
    }
}

DAX_INSTANTIATE_UNDER_LOCALES(PdfGoldens);

TEST(PdfExportRegistry, OptionsArePublishedWithTheirDefaults)
{
    ExportRuntime::init();
    const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(u"TrpPDFExport");
    ASSERT_NE(cls, nullptr);
    const std::unique_ptr<ScriptObject> made = cls->Factory();
    auto* pdf = dynamic_cast<TrpPDFExport*>(made.get());
    ASSERT_NE(pdf, nullptr);
    EXPECT_TRUE(pdf->NoRegister());
    for (const char* name :
         {"ShowDialog", "FileName", "ExportNotPrintable", "UseFileCache", "DefaultPath", "ShowProgress",
          "OverwritePrompt", "CreationTime", "DataOnly", "Compressed", "EmbeddedFonts", "EmbedFontsIfProtected",
          "OpenAfterExport", "PrintOptimized", "Outline", "Background", "HTMLTags", "Quality", "Title", "Author",
          "Subject", "Keywords", "Creator", "Producer", "UserPassword", "OwnerPassword", "ProtectionFlags",
          "HideToolbar", "HideMenubar", "HideWindowUI", "FitWindow", "CenterWindow", "PrintScaling"})
        EXPECT_NE(cls->Find(QString::fromLatin1(name)), nullptr) << name;
    // A filter as made stores no option of a declared default (texts and numbers are always
    // written, as report files write them).
    TrpXMLSerializer serializer;
    const QString stored = serializer.ObjToXML(pdf);
    for (const char* name : {"Compressed", "ShowDialog", "ProtectionFlags", "Quality", "HTMLTags", "Creator"})
        EXPECT_FALSE(stored.contains(QString::fromLatin1(name) + u'=')) << stored.toStdString();
    serializer.XMLToObj(u"Compressed=\"False\" ProtectionFlags=\"5\" Title=\"Архив\" Quality=\"80\"", pdf);
    EXPECT_TRUE(serializer.Errors().isEmpty()) << serializer.Errors().join(u'\n').toStdString();
    EXPECT_FALSE(pdf->Compressed);
    EXPECT_EQ(pdf->ProtectionFlags, 5u);
    EXPECT_EQ(pdf->Title, QStringLiteral("Архив"));
    EXPECT_EQ(pdf->Quality, 80);
    EXPECT_EQ(pdf->Creator, QCoreApplication::applicationName());
    EXPECT_EQ(pdf->Author, QStringLiteral("RedaVedera"));
    EXPECT_EQ(pdf->Subject, QStringLiteral("RedaVedera PDF export"));
}

// --- protection ---------------------------------------------------------------------------------

namespace {

QByteArray Hex(const uint8_t* bytes, size_t count)
{
    return QByteArray(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(count)).toHex();
}

const QByteArray kFileId = "0123456789abcdef0123456789abcdef";

} // namespace

// Re-computed independently with Python's hashlib and a ten-line RC4.
TEST(PdfSecurity, KnownAnswers)
{
    struct Case {
        const char* user;
        const char* owner;
        TrpPDFEncBits flags;
        int32_t p;
        const char* o;
        const char* u;
        const char* key;
    };
    const Case cases[] = {
        {"u1", "o1", 15, -4, "21509ea971b71b91cc59614bb095626b", "b5542d2480f158071dbca14abee8774c",
         "ab88fbd8eda45f02b065e015f5e4b266"},
        {"u1", "o1", 1, -60, "21509ea971b71b91cc59614bb095626b", "c7131d29fbebd0913f1f2b520f3e4f76",
         "db8045ed0fb5002af9efc7359110ea9b"},
        {"", "o1", 0, -64, "7cdef848719cdfa522184b1d01399c99", "b61cf8a4c37514e2ffc46179e57c79e3",
         "60a0d743dd496547b5545707c64f0468"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.owner);
        EXPECT_EQ(TrpPDFExport::PermissionValue(c.flags), c.p);
        const auto keys = TrpPDFExport::ComputeSecurityKeys(c.user, c.owner, c.p, kFileId);
        EXPECT_EQ(Hex(keys.O.data(), 16), c.o);
        EXPECT_EQ(Hex(keys.U.data(), 16), c.u);
        EXPECT_EQ(Hex(keys.U.data() + 16, 16), QByteArray(32, '0'));
        EXPECT_EQ(Hex(keys.Key.data(), 16), c.key);
    }
    const auto first = TrpPDFExport::ComputeSecurityKeys("u1", "o1", -4, kFileId);
    const auto objectKey = TrpPDFExport::ObjectKey(first.Key, 4);
    EXPECT_EQ(Hex(objectKey.data(), 16), "dcd150fc960bf3df55d408c3e8bf57d2");
}

TEST(PdfSecurity, PasswordEdgeCases)
{
    // Only a user password: it stands in for the owner password too.
    const auto userOnly = TrpPDFExport::ComputeSecurityKeys("u1", "", -4, kFileId);
    const auto same = TrpPDFExport::ComputeSecurityKeys("u1", "u1", -4, kFileId);
    EXPECT_EQ(userOnly.O, same.O);
    EXPECT_EQ(userOnly.Key, same.Key);
    // Only the first 32 bytes of a long password count.
    const QByteArray forty = "0123456789012345678901234567890123456789";
    const auto longKeys = TrpPDFExport::ComputeSecurityKeys(forty, forty, -4, kFileId);
    const auto cutKeys = TrpPDFExport::ComputeSecurityKeys(forty.left(32), forty.left(32), -4, kFileId);
    EXPECT_EQ(longKeys.O, cutKeys.O);
    EXPECT_EQ(longKeys.Key, cutKeys.Key);
    EXPECT_NE(TrpPDFExport::ComputeSecurityKeys(forty.left(31), forty.left(31), -4, kFileId).Key, cutKeys.Key);
    // Permission values: P = -64 + 4 x sum.
    EXPECT_EQ(TrpPDFExport::PermissionValue(2 | 4), -64 + 24);
    EXPECT_EQ(TrpPDFExport::PermissionValue(8), -32);
    // Literal strings keep delimiters and line ends escaped.
    EXPECT_EQ(TrpPDFExport::EscapeString(QByteArray("a(b)c\\\r\n", 8)), QByteArray("a\\(b\\)c\\\\\\r\\n"));
}

TEST(PdfSecurity, PasswordsHoldOnlyPdfTextCharacters)
{
    struct Case {
        QString password;
        bool accepted;
        QString bad;
    };
    const Case cases[] = {
        {QStringLiteral("u1"), true, {}},
        {QStringLiteral("Ünïcödé"), true, {}},
        {QStringLiteral("a€•—b"), true, {}},
        {QStringLiteral("пароль"), false, QStringLiteral("п")},
        {QStringLiteral("pass→word"), false, QStringLiteral("→")},
        {QStringLiteral("x\u00ADy"), false, QStringLiteral("\u00AD")},
    };
    for (const Case& c : cases) {
        QString bad;
        const auto bytes = TrpPDFExport::PDFDocBytes(c.password, &bad);
        EXPECT_EQ(bytes.has_value(), c.accepted) << c.password.toStdString();
        EXPECT_EQ(bad, c.bad);
    }
    EXPECT_EQ(TrpPDFExport::PDFDocBytes(QStringLiteral("Ü€")).value(), QByteArray("\xDC\xA0"));

    PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 10, 10, 200, 20, QStringLiteral("x")); });
    const std::pair<QString, QString> refused[] = {{QStringLiteral("пароль"), QStringLiteral("п")},
                                                   {QStringLiteral("pass→word"), QStringLiteral("→")}};
    for (const auto& [password, bad] : refused) {
        for (const bool owner : {false, true}) {
            prepared.Report().ClearErrors();
            bool exported = true;
            const QByteArray pdf = ExportPdf(
                prepared, [&](TrpPDFExport& f) { (owner ? f.OwnerPassword : f.UserPassword) = password; }, &exported);
            EXPECT_FALSE(exported);
            EXPECT_TRUE(pdf.isEmpty());
            const QString errors = prepared.Report().Errors().join(u'\n');
            EXPECT_TRUE(errors.contains(QStringLiteral("Пароль PDF не может содержать символ «") + bad + u'»'))
                << errors.toStdString();
        }
    }
}

TEST(PdfSecurity, ProtectedFileOpensWithItsPasswordsOnly)
{
    PreparedReport prepared = Pages(2, [](TrpBand& band) {
        Memo(band, QStringLiteral("M"), 10, 10, 300, 20, QStringLiteral("Часовые данные (итог)"));
    });
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        const QByteArray pdf = ExportPdf(prepared, [&](TrpPDFExport& f) {
            f.Compressed = compressed;
            f.Title = QStringLiteral("Отчёт");
            f.UserPassword = QStringLiteral("u1");
            f.OwnerPassword = QStringLiteral("o1");
            f.SetProtectionFlags(1u << ePrint);
        });
        ExpectXRefPointsAtObjects(pdf);
        EXPECT_TRUE(pdf.contains("/Encrypt <<\r\n/Filter /Standard\r\n/V 2\r\n/R 3\r\n/Length 128\r\n/P -60\r\n"));
        // The dates are encrypted text strings, not plain date literals.
        EXPECT_FALSE(pdf.contains("/CreationDate (D:"));
        EXPECT_FALSE(pdf.contains("(Adobe)"));
        const Tool check = RunOnPdf("qpdf --check --password=u1", pdf);
        EXPECT_EQ(check.status, 0) << check.output;
        const Tool show = RunOnPdf("qpdf --show-encryption --password=o1", pdf);
        EXPECT_NE(show.output.find("User password = u1\n"), std::string::npos) << show.output;
        EXPECT_NE(show.output.find("R = 3\n"), std::string::npos) << show.output;
        const Tool info = RunOnPdf("pdfinfo -upw u1", pdf);
        EXPECT_NE(info.output.find("print:yes copy:no change:no addNotes:no"), std::string::npos) << info.output;
        EXPECT_NE(info.output.find("Title:           Отчёт"), std::string::npos) << info.output;
        EXPECT_NE(info.output.find("CreationDate:"), std::string::npos) << info.output;
        const Tool text = RunOnPdf("pdftotext -upw u1", pdf, "-");
        EXPECT_EQ(text.output.substr(0, text.output.find('\n')), "Часовые данные (итог)");
        const Tool locked = RunOnPdf("pdftotext", pdf, "- 2>&1");
        EXPECT_NE(locked.status, 0);
        EXPECT_NE(locked.output.find("Incorrect password"), std::string::npos) << locked.output;
    }
}

TEST(PdfSecurity, OwnerOnlyUserOnlyAndLatinPasswords)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 10, 10, 200, 20, QStringLiteral("Итог")); });
    struct Case {
        QString user;
        QString owner;
        std::string open; // the password qpdf opens it with
    };
    const Case cases[] = {
        {QString(), QStringLiteral("o1"), ""},
        {QStringLiteral("u1"), QString(), "u1"},
        {QStringLiteral("Ünïcödé"), QStringLiteral("o1"), "Ünïcödé"},
        {QStringLiteral("0123456789012345678901234567890123456789"), QStringLiteral("o1"),
         "01234567890123456789012345678901"},
    };
    for (const Case& c : cases) {
        const QByteArray pdf = ExportPdf(prepared, [&](TrpPDFExport& f) {
            f.UserPassword = c.user;
            f.OwnerPassword = c.owner;
            f.SetProtectionFlags(0);
        });
        EXPECT_TRUE(pdf.contains("/P -64\r\n"));
        const Tool check = RunOnPdf("qpdf --check '--password=" + c.open + "'", pdf);
        EXPECT_EQ(check.status, 0) << c.user.toStdString() << ": " << check.output;
        // poppler hands a password over as the bytes typed; qpdf maps UTF-8 to PDF's encoding.
        if (QString::fromStdString(c.open).toLatin1() == QByteArray::fromStdString(c.open)) {
            const Tool text = RunOnPdf("pdftotext '-upw' '" + c.open + "'", pdf, "-");
            EXPECT_EQ(text.output.substr(0, text.output.find('\n')), "Итог") << c.user.toStdString();
        }
    }
}

TEST(RptoolExport, ProtectedExport)
{
    QTemporaryDir folder;
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string zp3 = folder.filePath(QStringLiteral("a.zp3")).toStdString();
    ASSERT_EQ(Rptool({"prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv", "--out", zp3}).status, 0);
    const std::string pdf = folder.filePath(QStringLiteral("e.pdf")).toStdString();
    const auto run = Rptool({"export", zp3, "--format", "pdf", "--set", "UserPassword=u1", "--set", "OwnerPassword=o1",
                             "--set", "ProtectionFlags=[ePrint]", "--out", pdf});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string output;
    EXPECT_EQ(testsupport::RunCommand("qpdf --check --password=u1 '" + pdf + "'", output), 0) << output;
    testsupport::RunCommand("qpdf --show-encryption --password=o1 '" + pdf + "'", output);
    EXPECT_NE(output.find("User password = u1\n"), std::string::npos) << output;
    testsupport::RunCommand("pdftotext -upw u1 -f 1 -l 1 '" + pdf + "' -", output);
    EXPECT_EQ(output.substr(0, output.find('\n')), "Часовые данные");

    const std::string refused = folder.filePath(QStringLiteral("x.pdf")).toStdString();
    const auto bad = Rptool({"export", zp3, "--format", "pdf", "--set", "UserPassword=пароль", "--out", refused});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("«п»"), std::string::npos) << bad.err;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(refused)));
}

// --- outline ------------------------------------------------------------------------------------

namespace {

// Four pages with a three-level outline: "Глава 1" (page 1) holding "Раздел 1.1" (page 2)
// holding "Пункт" (page 2, lower), then "Глава 2" on page 4.
PreparedReport OutlinedPages()
{
    PreparedReport prepared =
        Pages(4, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 10, 10, 200, 20, QStringLiteral("Текст")); });
    TrpPreviewPages& store = prepared.Store();
    TrpCustomOutline& outline = *store.Outline();
    const auto add = [&](int page, const QString& text, int top) {
        store.CurPage = page;
        outline.AddItem(text, top);
    };
    outline.LevelRoot();
    add(0, QStringLiteral("Глава 1"), 0);
    add(1, QStringLiteral("Раздел 1.1"), 100);
    add(1, QStringLiteral("Пункт"), 400);
    outline.LevelRoot();
    add(3, QStringLiteral("Глава 2"), 40);
    outline.LevelRoot();
    return prepared;
}

// The outline as qpdf reads it: "title@page" per item, children indented by two blanks.
std::string OutlineText(const QByteArray& pdf, const std::string& options = {})
{
    const Tool json = RunOnPdf("qpdf --json=2 --json-key=outlines " + options, pdf);
    EXPECT_EQ(json.status, 0) << json.output;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.output)).object();
    std::string text;
    const std::function<void(const QJsonArray&, int)> walk = [&](const QJsonArray& items, int depth) {
        for (const QJsonValue& value : items) {
            const QJsonObject item = value.toObject();
            text += std::string(static_cast<size_t>(depth) * 2, ' ') + item.value(u"title").toString().toStdString() +
                    '@' + std::to_string(item.value(u"destpageposfrom1").toInt()) + '\n';
            walk(item.value(u"kids").toArray(), depth + 1);
        }
    };
    walk(root.value(u"outlines").toArray(), 0);
    return text;
}

} // namespace

TEST(PdfOutline, ThreeLevelsWithTheirPages)
{
    PreparedReport prepared = OutlinedPages();
    const QByteArray pdf = ExportPdf(prepared, [](TrpPDFExport& f) { f.Outline = true; });
    EXPECT_TRUE(pdf.contains("/PageMode /UseOutlines\r\n"));
    ExpectXRefPointsAtObjects(pdf);
    EXPECT_EQ(OutlineText(pdf), "Глава 1@1\n  Раздел 1.1@2\n    Пункт@2\nГлава 2@4\n");
    // The target height: page height less the top at 0.75 point a pixel.
    EXPECT_TRUE(pdf.contains(" 0 R /XYZ 0 542 0]")) << "842.25 - 400 * 0.75";
    const Tool check = RunOnPdf("qpdf --check", pdf);
    EXPECT_EQ(check.status, 0) << check.output;

    // Protected, the titles are encrypted strings that come back whole.
    const QByteArray locked = ExportPdf(prepared, [](TrpPDFExport& f) {
        f.Outline = true;
        f.UserPassword = QStringLiteral("u1");
    });
    EXPECT_FALSE(locked.contains("/Title <FEFF"));
    EXPECT_EQ(OutlineText(locked, "--password=u1"), "Глава 1@1\n  Раздел 1.1@2\n    Пункт@2\nГлава 2@4\n");
}

TEST(PdfOutline, ItemsOfPagesNotWrittenAreLeftOut)
{
    PreparedReport prepared = OutlinedPages();
    const QByteArray firstTwo = ExportPdf(prepared, [](TrpPDFExport& f) {
        f.Outline = true;
        f.PageNumbers = QStringLiteral("1,2");
    });
    EXPECT_EQ(OutlineText(firstTwo), "Глава 1@1\n  Раздел 1.1@2\n    Пункт@2\n");
    // Pages 2 and 4 only: "Глава 1" is not written, and its children go with it; page 4 is the
    // document's second page.
    const QByteArray evenPages = ExportPdf(prepared, [](TrpPDFExport& f) {
        f.Outline = true;
        f.PageNumbers = QStringLiteral("2,4");
    });
    EXPECT_EQ(OutlineText(evenPages), "Глава 2@2\n");
    const Tool check = RunOnPdf("qpdf --check", evenPages);
    EXPECT_EQ(check.status, 0) << check.output;
}

TEST(PdfOutline, AnEmptyOutlineWritesNone)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 10, 10, 200, 20, QStringLiteral("x")); });
    for (const bool outline : {false, true}) {
        const QByteArray pdf = ExportPdf(prepared, [&](TrpPDFExport& f) { f.Outline = outline; });
        EXPECT_TRUE(pdf.contains("/PageMode /UseNone\r\n"));
        EXPECT_FALSE(pdf.contains("/Outlines"));
        EXPECT_FALSE(pdf.contains("/Type /Outlines"));
        const Tool check = RunOnPdf("qpdf --check", pdf);
        EXPECT_EQ(check.status, 0) << check.output;
    }
    // An outline left empty by the page list is no outline either.
    PreparedReport outlined = OutlinedPages();
    const QByteArray third = ExportPdf(outlined, [](TrpPDFExport& f) {
        f.Outline = true;
        f.PageNumbers = QStringLiteral("3");
    });
    EXPECT_TRUE(third.contains("/PageMode /UseNone\r\n"));
    EXPECT_FALSE(third.contains("/Outlines"));
}

// --- lines, shapes, check boxes ---------------------------------------------------------------

namespace {

template <typename T>
T* AddView(TrpBand& band, double left, double top, double width, double height)
{
    auto* view = new T(&band);
    view->SetName(QStringLiteral("V%1").arg(band.Objects().size()));
    view->SetBounds(left, top, width, height);
    return view;
}

} // namespace

// The view at (0, 0) of the band is at 28.85 813.40 on the page; 100 x 20 pixels reach to
// 103.85 798.40.
TEST(PdfContent, GraphicsOperatorSnippets)
{
    struct Case {
        const char* name;
        std::function<void(TrpBand&)> build;
        const char* expected;
        bool present;
    };
    const Case cases[] = {
        {"line with a dash pattern",
         [](TrpBand& b) { AddView<TrpLineView>(b, 0, 0, 100, 0)->Frame().SetStyle(fsDash); },
         "[6.00 ] 0 d\r\n0 0 0 RG\r\n0.75 w\r\n28.85 813.40 m\r\n103.85 813.40 l\r\nS\r\n", true},
        {"horizontal end arrow",
         [](TrpBand& b) { AddView<TrpLineView>(b, 0, 0, 100, 0)->ArrowEnd = true; },
         "[] 0 d\r\n88.85 809.65 m\r\n103.85 813.40 l\r\n88.85 817.15 l\r\nS\r\n", true},
        {"vertical start arrow",
         [](TrpBand& b) { AddView<TrpLineView>(b, 0, 0, 0, 100)->ArrowStart = true; },
         "32.60 798.40 m\r\n28.85 813.40 l\r\n25.10 798.40 l\r\nS\r\n", true},
        {"solid arrow",
         [](TrpBand& b) {
             auto* line = AddView<TrpLineView>(b, 0, 0, 100, 0);
             line->ArrowEnd = true;
             line->ArrowSolid = true;
         },
         "88.85 817.15 l\r\n1 j\r\n0 0 0 rg\r\nb\r\n", true},
        {"filled rectangle",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Color = clWhite; },
         "1 1 1 rg\r\n28.85 798.40 \r\n75.00 15.00 re\r\nB\r\n", true},
        {"rectangle without colour is stroked",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Color = clNone; }, " re\r\nS\r\n", true},
        {"rounded rectangle, Curve 0",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Shape = skRoundRectangle; },
         "34.46 798.40 m\r\n98.24 798.40 l\r\n101.04 798.40 103.85 801.21 103.85 804.01 c\r\n", true},
        {"rounded rectangle, Curve 2",
         [](TrpBand& b) {
             auto* s = AddView<TrpShapeView>(b, 0, 0, 100, 20);
             s->Shape = skRoundRectangle;
             s->Curve = 2;
         },
         "34.46 798.40 m\r\n", true},
        {"ellipse",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Shape = skEllipse; },
         "103.85 805.90 m\r\n103.85 801.76 87.06 798.40 66.35 798.40 c\r\n", true},
        {"triangle",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Shape = skTriangle; },
         "66.35 813.40 m 103.85 798.40 l 28.85 798.40 l 66.35 813.40 l\r\n", true},
        {"diamond",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Shape = skDiamond; },
         "66.35 813.40 m 103.85 805.90 l 66.35 798.40 l 28.85 805.90 l 66.35 813.40 l\r\n", true},
        {"diagonal 1",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Shape = skDiagonal1; },
         "28.85 798.40 m\r\n103.85 813.40 l\r\nS\r\n", true},
        {"diagonal 2",
         [](TrpBand& b) { AddView<TrpShapeView>(b, 0, 0, 100, 20)->Shape = skDiagonal2; },
         "28.85 813.40 m\r\n103.85 798.40 l\r\nS\r\n", true},
        {"unchecked box writes nothing",
         [](TrpBand& b) { AddView<TrpCheckBoxView>(b, 0, 0, 20, 20)->Checked = false; }, " m\r\n", false},
        {"checked box with its tick",
         [](TrpBand& b) { AddView<TrpCheckBoxView>(b, 0, 0, 24, 28)->Color = clNone; },
         "[] 0 d\r\n0 0 0 RG\r\n1.50 w\r\n", true},
        {"checked box with four sides",
         [](TrpBand& b) {
             auto* box = AddView<TrpCheckBoxView>(b, 0, 0, 24, 28);
             box->Frame().Typ = kAllFrameSides;
             box->Color = clWhite;
         },
         "28.85 813.40 m\r\n46.85 813.40 l\r\n46.85 794.65 l\r\n28.85 794.65 l\r\n28.85 813.40 l\r\nB\r\n", true},
        {"checked box without sides has no box",
         [](TrpBand& b) { AddView<TrpCheckBoxView>(b, 0, 0, 24, 28); }, "46.85 813.40 l", false},
    };
    for (const Case& c : cases) {
        PreparedReport prepared = Pages(1, c.build);
        const QByteArray pdf = ExportPdf(prepared);
        const QByteArray content = PageContent(pdf, 1);
        EXPECT_EQ(content.contains(c.expected), c.present) << c.name << "\n" << content.toStdString();
        const Tool check = RunOnPdf("qpdf --check", pdf);
        EXPECT_EQ(check.status, 0) << c.name << check.output;
    }
}

// The base centre of an arrow lies on the segment at the arrow length from its tip, the
// corners at the half width either side, whatever the slope.
TEST(PdfContent, ArrowBaseCentres)
{
    struct Case {
        double tx, ty, fx, fy, length, half;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, 30, 40, 10, 5, "2.00 11.00 m\r\n0.00 0.00 l\r\n10.00 5.00 l\r\n"},       // sloped 3:4
        {100, 50, 0, 50, 15, 3.75, "85.00 46.25 m\r\n100.00 50.00 l\r\n85.00 53.75 l\r\n"}, // horizontal
        {10, 10, 10, 100, 20, 5, "5.00 30.00 m\r\n10.00 10.00 l\r\n15.00 30.00 l\r\n"},    // vertical, upwards
        {10, 100, 10, 10, 20, 5, "15.00 80.00 m\r\n10.00 100.00 l\r\n5.00 80.00 l\r\n"},   // vertical, downwards
        {0, 0, 1, 1000, 20, 5, "-4.98 20.00 m\r\n0.00 0.00 l\r\n5.02 19.99 l\r\n"},        // near vertical
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrpPDFExport::ArrowHead(c.tx, c.ty, c.fx, c.fy, c.length, c.half), c.expected);
    EXPECT_TRUE(TrpPDFExport::ArrowHead(5, 5, 5, 5, 10, 5).isEmpty());
}

// --- links ------------------------------------------------------------------------------------

namespace {

// Annotations as qpdf reads them: "page:URI" or "page:->target page" per link, page from 1.
std::string LinksText(const QByteArray& pdf, const std::string& options = {})
{
    const Tool json = RunOnPdf("qpdf --json=2 " + options, pdf);
    EXPECT_EQ(json.status, 0) << json.output;
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.output)).object();
    QHash<QString, int> pageOf;
    const QJsonArray pages = doc.value(u"pages").toArray();
    for (int i = 0; i < pages.size(); ++i)
        pageOf.insert(pages[i].toObject().value(u"object").toString(), i + 1);
    QJsonObject objects;
    for (const QJsonValue& v : doc.value(u"qpdf").toArray()) {
        const QJsonObject part = v.toObject();
        for (auto it = part.constBegin(); it != part.constEnd(); ++it)
            if (it.key().startsWith(u"obj:"))
                objects.insert(it.key().mid(4), it.value());
    }
    std::string text;
    for (int i = 0; i < pages.size(); ++i) {
        const QJsonObject page = objects.value(pages[i].toObject().value(u"object").toString()).toObject();
        for (const QJsonValue& a : page.value(u"value").toObject().value(u"/Annots").toArray()) {
            const QJsonObject annot = objects.value(a.toString()).toObject().value(u"value").toObject();
            text += std::to_string(i + 1) + ':';
            if (annot.contains(u"/A"))
                text += annot.value(u"/A").toObject().value(u"/URI").toString().toStdString();
            else if (annot.contains(u"/Dest"))
                text += "->" + std::to_string(pageOf.value(annot.value(u"/Dest").toArray().at(0).toString())) + ' ' +
                        std::to_string(annot.value(u"/Dest").toArray().at(3).toInt());
            else
                text += "none";
            text += '\n';
        }
    }
    return text;
}

} // namespace

TEST(PdfLinks, PagesAnchorsAndAddresses)
{
    TrpMemoView* memo = nullptr;
    PreparedReport prepared = Pages(
        4, [&](TrpBand& band) { memo = Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("Ссылка")); },
        [&](int page, TrpBand&) {
            const QString urls[] = {QStringLiteral("@3"), QStringLiteral("#total"),
                                    QStringLiteral("http://example.org/a(1)"), QStringLiteral("@4")};
            memo->URL = urls[page - 1];
        });
    TrpPreviewPages& store = prepared.Store();
    store.CurPage = 1;
    store.AddAnchor(QStringLiteral("total"));
    const QByteArray pdf = ExportPdf(prepared);
    const std::string all = LinksText(pdf);
    EXPECT_NE(all.find("1:->3 "), std::string::npos) << all;
    EXPECT_NE(all.find("2:->2 "), std::string::npos) << all;
    EXPECT_NE(all.find("3:u:http://example.org/a(1)\n"), std::string::npos) << all;
    EXPECT_TRUE(pdf.contains("/URI (http://example.org/a(1))\r\n"));
    EXPECT_TRUE(pdf.contains("/Border [16 16 0]\r\n"));
    EXPECT_TRUE(pdf.contains("/BS << /W 0 >>\r\n"));
    // "@3" goes to the top of the page.
    EXPECT_NE(all.find("1:->3 842\n"), std::string::npos) << all;
    const Tool check = RunOnPdf("qpdf --check", pdf);
    EXPECT_EQ(check.status, 0) << check.output;

    // Pages 1 and 2 only: "@3" has no page to go to and keeps no target; the anchor on page 2
    // is the document's page 2.
    const QByteArray two = ExportPdf(prepared, [](TrpPDFExport& f) { f.PageNumbers = QStringLiteral("1,2"); });
    EXPECT_EQ(LinksText(two).substr(0, 7), "1:none\n") << LinksText(two);
    const Tool checkTwo = RunOnPdf("qpdf --check", two);
    EXPECT_EQ(checkTwo.status, 0) << checkTwo.output;
    // Pages 3 and 4: "@4" is the document's second page.
    const QByteArray last = ExportPdf(prepared, [](TrpPDFExport& f) { f.PageNumbers = QStringLiteral("3-4"); });
    EXPECT_NE(LinksText(last).find("2:->2 "), std::string::npos) << LinksText(last);

    // Protected, the address is an encrypted string that qpdf reads back.
    const QByteArray locked = ExportPdf(prepared, [](TrpPDFExport& f) { f.UserPassword = QStringLiteral("u1"); });
    EXPECT_NE(LinksText(locked, "--password=u1").find("3:u:http://example.org/a(1)\n"), std::string::npos);
}

TEST(PdfLinks, IllFormedTargetsMakeNoLink)
{
    for (const QString& url : {QStringLiteral("@"), QStringLiteral("@x"), QStringLiteral("@0"), QStringLiteral("#none")}) {
        PreparedReport prepared = Pages(1, [&](TrpBand& band) {
            Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("x"))->URL = url;
        });
        const QByteArray pdf = ExportPdf(prepared);
        EXPECT_FALSE(pdf.contains("/Annots")) << url.toStdString();
    }
    EXPECT_TRUE(TrpPDFExport::IsLiteralString(QStringLiteral("a(b)c")));
    EXPECT_FALSE(TrpPDFExport::IsLiteralString(QStringLiteral("a)b(")));
    EXPECT_FALSE(TrpPDFExport::IsLiteralString(QStringLiteral("ссылка")));
    EXPECT_EQ(TrpPDFExport::GetLiteralString(QStringLiteral("a\\b")), "(a\\\\b)");
    EXPECT_EQ(TrpPDFExport::GetHexString(QStringLiteral("яA")), "<044F0041>");
}

// The graphics fixture as a user runs it: prepared by rptool, exported with the outline; the
// three outline levels come from the page, the group header and the data band, the links
// from the title's memos and the summary script's anchor, and the one picture is written once.
TEST(RptoolExport, GraphicsFixtureOutlineAndLinks)
{
    QTemporaryDir folder;
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string zp3 = folder.filePath(QStringLiteral("g.zp3")).toStdString();
    const std::string pdf = folder.filePath(QStringLiteral("g.pdf")).toStdString();
    const auto prepare =
        Rptool({"prepare", data + "/graphics.zi3", "--csv", "Rows=" + data + "/graphics.csv", "--out", zp3});
    ASSERT_EQ(prepare.status, 0) << prepare.err;
    const auto run = Rptool({"export", zp3, "--format", "pdf", "--out", pdf, "--set", "Outline=True"});
    ASSERT_EQ(run.status, 0) << run.err;
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const Tool check = RunOnPdf("qpdf --check", bytes);
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_EQ(OutlineText(bytes), "Лист@1\n  A@1\n    1@1\n    2@1\n"
                                  "Лист@2\n  B@2\n    3@2\n"
                                  "Лист@3\n  C@3\n    4@3\n    5@3\n    6@3\n");
    // "@3" to the top of page 3, "#total" to the summary on page 3 below its top, the address.
    const std::string links = LinksText(bytes);
    EXPECT_EQ(links, "1:->3 842\n1:->3 782\n1:u:http://example.org/dax\n") << links;
    const Tool images = RunOnPdf("pdfimages -list", bytes);
    EXPECT_EQ(QString::fromStdString(images.output).count(QStringLiteral(" jpeg ")), 3) << images.output;
    EXPECT_EQ(QString::fromStdString(images.output).count(QRegularExpression(QStringLiteral(" jpeg +no +2 +0 "))), 3)
        << images.output;
}

// --- pictures -----------------------------------------------------------------------------------

namespace {

TrpPictureView* AddPicture(TrpBand& band, const QString& name, double left, double top)
{
    auto* picture = new TrpPictureView(&band);
    picture->SetName(name);
    picture->SetBounds(left, top, 40, 30);
    TrpPicture bmp;
    bmp.SetData(QStringLiteral("BMP"), BmpBytes());
    picture->SetPicture(bmp);
    return picture;
}

struct ImageRow {
    int page = 0;
    int width = 0;
    int height = 0;
    std::string color;
    int components = 0;
    std::string encoding;
    int object = 0;
};

// `pdfimages -list`: one row per placed image.
std::vector<ImageRow> Images(const QByteArray& pdf)
{
    const Tool list = RunOnPdf("pdfimages -list", pdf);
    EXPECT_EQ(list.status, 0) << list.output;
    std::vector<ImageRow> rows;
    const QStringList lines = QString::fromStdString(list.output).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].simplified().split(u' ');
        if (f.size() < 12)
            continue;
        rows.push_back(ImageRow{f[0].toInt(), f[3].toInt(), f[4].toInt(), f[5].toStdString(), f[6].toInt(),
                                f[8].toStdString(), f[10].toInt()});
    }
    return rows;
}

} // namespace

TEST(PdfPictures, JpegOncePerPage)
{
    PreparedReport prepared = Pages(2, [](TrpBand& band) {
        AddPicture(band, QStringLiteral("P1"), 0, 0);
        AddPicture(band, QStringLiteral("P2"), 100, 0);
    });
    const QByteArray pdf = ExportPdf(prepared);
    const Tool check = RunOnPdf("qpdf --check", pdf);
    EXPECT_EQ(check.status, 0) << check.output;
    const std::vector<ImageRow> rows = Images(pdf);
    ASSERT_EQ(rows.size(), 4u);
    for (const ImageRow& row : rows) {
        EXPECT_EQ(row.encoding, "jpeg");
        EXPECT_EQ(row.color, "rgb");
        EXPECT_EQ(row.components, 3);
        EXPECT_EQ(row.width, 41); // scale 1: one pixel more than the view
        EXPECT_EQ(row.height, 31);
    }
    EXPECT_EQ(rows[0].page, 1);
    EXPECT_EQ(rows[0].object, rows[1].object);
    EXPECT_EQ(rows[2].page, 2);
    EXPECT_EQ(rows[2].object, rows[3].object);
    EXPECT_NE(rows[0].object, rows[2].object);
    EXPECT_TRUE(pdf.contains("/XObject << /Im0 "));
    EXPECT_TRUE(pdf.contains(" cm\r\n/Im0 Do\r\nQ\r\n"));
    // The picture holds the drawing: the bitmap's colour in its middle.
    {
        QTemporaryDir out;
        const Tool extract = RunOnPdf("pdfimages -j -f 1 -l 1", pdf, "'" + out.filePath(QStringLiteral("i")).toStdString() + "'");
        EXPECT_EQ(extract.status, 0) << extract.output;
        const QImage first(out.filePath(QStringLiteral("i-000.jpg")));
        ASSERT_FALSE(first.isNull());
        const QColor middle = first.pixelColor(20, 15);
        EXPECT_NEAR(middle.red(), 0x33, 12);
        EXPECT_NEAR(middle.green(), 0x66, 12);
        EXPECT_NEAR(middle.blue(), 0xCC, 12);
    }

    const std::vector<ImageRow> optimized = Images(ExportPdf(prepared, [](TrpPDFExport& f) { f.PrintOptimized = true; }));
    ASSERT_FALSE(optimized.empty());
    EXPECT_EQ(optimized[0].width, 3 + 120);
    EXPECT_EQ(optimized[0].height, 3 + 90);

    // Protected, the picture data is encrypted and still reads back.
    const QByteArray locked = ExportPdf(prepared, [](TrpPDFExport& f) { f.UserPassword = QStringLiteral("u1"); });
    const Tool lockedCheck = RunOnPdf("qpdf --check --password=u1", locked);
    EXPECT_EQ(lockedCheck.status, 0) << lockedCheck.output;
}

TEST(PdfPictures, HatchedAndTaggedMemosArePictures)
{
    struct Case {
        const char* name;
        std::function<void(TrpMemoView&)> set;
        std::function<void(TrpPDFExport&)> options;
        int width; // of the picture, 0 for none
    };
    // Memos are drawn at scale 3 unless their brush is hatched.
    const Case cases[] = {
        {"plain memo", [](TrpMemoView&) {}, {}, 0},
        {"hatched brush", [](TrpMemoView& m) { m.BrushStyle = bsCross; }, {}, 1 + 100},
        {"HTML tags", [](TrpMemoView& m) { m.AllowHTMLTags = true; m.SetText(QStringLiteral("<b>Итог</b>")); }, {}, 3 + 300},
        {"HTML tags with HTMLTags off",
         [](TrpMemoView& m) { m.AllowHTMLTags = true; m.SetText(QStringLiteral("<b>Итог</b>")); },
         [](TrpPDFExport& f) { f.HTMLTags = false; }, 0},
    };
    for (const Case& c : cases) {
        PreparedReport prepared = Pages(1, [&](TrpBand& band) {
            c.set(*Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("Итог")));
        });
        const QByteArray pdf = ExportPdf(prepared, c.options);
        const std::vector<ImageRow> rows = Images(pdf);
        EXPECT_EQ(rows.empty() ? 0 : rows[0].width, c.width) << c.name;
    }
}

TEST(PdfPictures, PageBackgroundOnlyWithBackground)
{
    PreparedReport prepared = Pages(2, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 100, 20, QStringLiteral("x")); });
    EXPECT_TRUE(Images(ExportPdf(prepared)).empty());
    const std::vector<ImageRow> rows = Images(ExportPdf(prepared, [](TrpPDFExport& f) { f.Background = true; }));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].page, 1);
    EXPECT_EQ(rows[1].page, 2);
    // The printable area of A4 less 10 mm margins, at scale 1, plus one pixel.
    EXPECT_NEAR(rows[0].width, 1 + (210 - 20) * 96 / 25.4, 2);
}

// The page rendered by poppler is dark wherever the preview's own drawing of the same page
// drew a line: lines with arrows, diagonal shapes, a ticked box.
TEST(PdfContent, GraphicsAreDarkWhereTheDrawingDrewLines)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        auto* h = AddView<TrpLineView>(band, 40, 30, 200, 0);
        h->ArrowEnd = true;
        h->Frame().SetWidth(2);
        auto* v = AddView<TrpLineView>(band, 300, 20, 0, 150);
        v->ArrowStart = true;
        v->Frame().SetWidth(2);
        auto* d = AddView<TrpLineView>(band, 40, 60, 200, 100);
        d->Diagonal = true;
        d->Frame().SetWidth(2);
        for (const auto& [kind, left] : {std::pair{skDiagonal1, 350.0}, std::pair{skDiagonal2, 500.0}}) {
            auto* s = AddView<TrpShapeView>(band, left, 30, 120, 80);
            s->Shape = kind;
            s->Frame().SetWidth(2);
        }
    });
    RecordingPaintDevice device(QSize(794, 1123));
    {
        QPainter painter(&device);
        TrpDrawContext context;
        context.Printing = true;
        prepared.Store().DrawPage(0, painter, 1, 1, 0, 0, context);
    }
    const std::vector<RecordedOperation> lines = device.Operations(RecordedOperation::Line);
    ASSERT_GE(lines.size(), 5u);

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("g.pdf"));
    {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ExportPdf(prepared));
    }
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("pdftoppm -r 96 -png -singlefile '" + pdf.toStdString() + "' '" +
                                          folder.filePath(QStringLiteral("g")).toStdString() + "'",
                                      output),
              0)
        << output;
    const QImage image(folder.filePath(QStringLiteral("g.png")));
    ASSERT_FALSE(image.isNull());
    const auto darkNear = [&image](QPointF point) {
        int darkest = 255;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                darkest = std::min(darkest, qGray(image.pixel(static_cast<int>(point.x()) + dx,
                                                              static_cast<int>(point.y()) + dy)));
        return darkest;
    };
    for (const RecordedOperation& line : lines) {
        const QPointF a = line.DevicePoints.value(0);
        const QPointF b = line.DevicePoints.value(1);
        for (const double t : {0.25, 0.5, 0.75})
            EXPECT_LT(darkNear(a + (b - a) * t), 128) << line.Describe().toStdString();
    }
}
