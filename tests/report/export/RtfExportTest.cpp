// The RTF export through the real export road, over prepared pages built by hand and over the
// export fixtures: text encoding, rich-text cells, the document's rows, merges, sections,
// header and footer passes and pictures, a structural check of every table row, a round trip
// through the RTF reader, failures, and rptool export.

#include "ExportFixtures.h"
#include "PreparedPagesBuilder.h"
#include "ReportFakes.h"
#include "Subprocess.h"

#include "report/core/Colors.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportRTF.h"
#include "report/export/rpGML.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace enginetest;

namespace {

// Pages of one band "Band1" (A4, the given margins): `build` makes its objects, `fill`
// changes them for page N (from 1) before the band is printed on it.
PreparedReport Pages(int count, const std::function<void(TrpBand&)>& build,
                     const std::function<void(int, TrpBand&)>& fill = {}, double margin = 10)
{
    PreparedReport prepared;
    ExportRuntime::init();
    TrpReport& report = prepared.Report();
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = margin;
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
                  const QString& text)
{
    return AddMemo(&band, name, left, top, width, height, text);
}

// The RTF of a store, written into memory with the clock pinned.
QByteArray ExportRtf(PreparedReport& prepared, const std::function<void(TrpRTFExport&)>& set = {})
{
    const reporttest::FixedReportClock clock(46000.5);
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    filter->Stream = &buffer;
    if (set)
        set(*filter);
    prepared.Report().EngineOptions().NewSilentMode = simSilent;
    EXPECT_TRUE(prepared.Report().Export(filter.get()));
    EXPECT_TRUE(prepared.Report().Errors().isEmpty()) << prepared.Report().Errors().join(u'\n').toStdString();
    // DAX_RTF_DUMP=folder keeps the documents for a look in a word processor.
    const QString dump = qEnvironmentVariable("DAX_RTF_DUMP");
    if (!dump.isEmpty()) {
        static int count = 0;
        QFile file(QDir(dump).filePath(QStringLiteral("%1-%2.rtf")
                                           .arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()))
                                           .arg(++count)));
        if (file.open(QIODevice::WriteOnly))
            file.write(buffer.data());
    }
    return buffer.data();
}

QList<QByteArray> Lines(const QByteArray& rtf)
{
    QList<QByteArray> lines = rtf.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// One written table row: its cell definitions and the contents between the two row lines.
struct Cell {
    int64_t right = 0;
    bool first = false; // \clvmgf
    bool merged = false; // \clvmrg
};

struct Row {
    int line = 0;
    QByteArray definition;
    std::vector<Cell> cells;
    QByteArray contents;
};

// The rows of a document, checked for the shape every row must have; failures are recorded.
std::vector<Row> CheckedRows(const QByteArray& rtf)
{
    std::vector<Row> rows;
    const QList<QByteArray> lines = Lines(rtf);
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith("\\trowd"))
            continue;
        Row row;
        row.line = i + 1;
        EXPECT_TRUE(lines[i].endsWith("\\pard\\intbl")) << "line " << i + 1;
        row.definition = lines[i].mid(6, lines[i].size() - 6 - 11);
        // "<row words><cell 0 words>\cellx<n><cell 1 words>\cellx<n>...": each cell's words
        // stand before its right edge.
        const QStringList parts = QString::fromLatin1(row.definition).split(QStringLiteral("\\cellx"));
        static const QRegularExpression edge(QStringLiteral("^(-?\\d+)"));
        for (qsizetype p = 0; p + 1 < parts.size(); ++p) {
            Cell cell;
            cell.right = edge.match(parts[p + 1]).captured(1).toLongLong();
            cell.first = parts[p].contains(QStringLiteral("\\clvmgf"));
            cell.merged = parts[p].contains(QStringLiteral("\\clvmrg"));
            row.cells.push_back(cell);
        }
        const QByteArray end = "\\pard\\intbl{\\trowd" + row.definition + "\\row}";
        int j = i + 1;
        while (j < lines.size() && lines[j] != end) {
            row.contents += lines[j] + "\n";
            ++j;
        }
        EXPECT_LT(j, lines.size()) << "row of line " << i + 1 << " is not closed";
        // One content per defined cell: every content ends its cell with an unescaped "\cell".
        static const QRegularExpression cellEnd(QStringLiteral("(?<!\\\\)\\\\cell\\}"));
        EXPECT_EQ(QString::fromLatin1(row.contents).count(cellEnd), static_cast<qsizetype>(row.cells.size()))
            << "row of line " << i + 1;
        for (size_t c = 1; c < row.cells.size(); ++c)
            EXPECT_LT(row.cells[c - 1].right, row.cells[c].right) << "\\cellx not rising in the row of line " << i + 1;
        rows.push_back(row);
        i = j;
    }
    // A merged cell continues a cell of the same right edge in the row written before it.
    for (size_t r = 0; r < rows.size(); ++r)
        for (const Cell& cell : rows[r].cells) {
            if (!cell.merged)
                continue;
            bool continues = false;
            if (r > 0)
                for (const Cell& above : rows[r - 1].cells)
                    continues = continues || (above.right == cell.right && (above.first || above.merged));
            EXPECT_TRUE(continues) << "\\clvmrg without a cell above, row of line " << rows[r].line;
        }
    return rows;
}

// Braces outside escapes balance and never go below zero.
void ExpectBalancedBraces(const QByteArray& rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        if (rtf[i] == '}')
            --depth;
        ASSERT_GE(depth, 0) << "at " << i;
    }
    EXPECT_EQ(depth, 0);
}

// The RTF reader reads the whole document as one group with this export's tables, and what
// it writes back reads the same again.
void ExpectReadBack(const QByteArray& rtf, int fonts, int colors)
{
    TGmlRtf tree(rtf);
    ASSERT_GE(tree.Root()->NodesCount(), 1);
    EXPECT_NE(dynamic_cast<TGmlRtfGroup*>(tree.Root()->Node(0)), nullptr);
    for (int i = 1; i < tree.Root()->NodesCount(); ++i)
        EXPECT_TRUE(tree.Root()->Node(i)->BodyText().trimmed().isEmpty());
    EXPECT_EQ(tree.FontsCount(), fonts);
    EXPECT_EQ(tree.ColorsCount(), colors);
    QByteArray once;
    tree.Serialize(once);
    TGmlRtf again(once);
    QByteArray twice;
    again.Serialize(twice);
    EXPECT_EQ(once, twice);
}

void ExpectSound(const QByteArray& rtf)
{
    ExpectBalancedBraces(rtf);
    CheckedRows(rtf);
    const QRegularExpression fonts(QStringLiteral("\\{\\\\f\\d+\\\\fcharset"));
    const QByteArray colors = Lines(rtf).value(2);
    ExpectReadBack(rtf, static_cast<int>(QString::fromLatin1(rtf).count(fonts)), static_cast<int>(colors.count(';')) - 1);
    // Only ASCII is written.
    for (const char c : rtf)
        ASSERT_LT(static_cast<uint8_t>(c), 128);
}

// The line that defines the row holding a cell whose content contains `text`.
QByteArray RowOf(const QByteArray& rtf, const QByteArray& text)
{
    for (const Row& row : CheckedRows(rtf))
        if (row.contents.contains(text))
            return row.definition;
    return {};
}

} // namespace

// --- text encoding -------------------------------------------------------------------------

TEST(RtfText, Encoding)
{
    struct Case {
        const char* name;
        QString text;
        QString escaped;
        QString encoded;
    };
    const Case cases[] = {
        {"braces and backslash", QStringLiteral("a{b}\\c"), QStringLiteral("a\\{b\\}\\\\c"), QStringLiteral("a\\{b\\}\\\\c")},
        {"cyrillic pe", QStringLiteral("п"), QStringLiteral("п"), QStringLiteral("\\u1087\\'3f")},
        {"latin-1 letter", QStringLiteral("é"), QStringLiteral("é"), QStringLiteral("\\u233\\'3f")},
        {"CR LF inside", QStringLiteral("a\r\nb"), QStringLiteral("a\\line\r\nb"), QStringLiteral("a\\line\r\nb")},
        {"CR LF at the end stays", QStringLiteral("a\r\n"), QStringLiteral("a\r\n"), QStringLiteral("a\r\n")},
        // Mends: a lone LF or CR is a line break too, and "\u" takes a signed 16-bit value.
        {"lone LF", QStringLiteral("a\nb"), QStringLiteral("a\\line\nb"), QStringLiteral("a\\line\nb")},
        {"lone CR", QStringLiteral("a\rb"), QStringLiteral("a\\line\rb"), QStringLiteral("a\\line\rb")},
        {"two breaks", QStringLiteral("a\n\nb"), QStringLiteral("a\\line\n\\line\nb"), QStringLiteral("a\\line\n\\line\nb")},
        {"U+7FFF", QString(QChar(0x7FFF)), QString(QChar(0x7FFF)), QStringLiteral("\\u32767\\'3f")},
        {"U+8000", QString(QChar(0x8000)), QString(QChar(0x8000)), QStringLiteral("\\u-32768\\'3f")},
        {"U+FFFD", QString(QChar(0xFFFD)), QString(QChar(0xFFFD)), QStringLiteral("\\u-3\\'3f")},
        {"surrogate pair", QString::fromUtf8("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80"),
         QStringLiteral("\\u-10179\\'3f\\u-8704\\'3f")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrpRTFExport::RTFEscapeText(c.text), c.escaped);
        EXPECT_EQ(TrpRTFExport::RTFEncodeText(c.text), c.encoded);
    }
    // A Cyrillic font name as bytes of the code page the document declares.
    EXPECT_EQ(TrpRTFExport::RTFFontName(QStringLiteral("Тест")), QStringLiteral("\\'d2\\'e5\\'f1\\'f2"));
    EXPECT_EQ(TrpRTFExport::RTFFontName(QStringLiteral("A;{b}")), QStringLiteral("A\\'3b\\'7bb\\'7d"));
}

TEST(RtfText, TablesNumberInOrderOfFirstUse)
{
    ExportRuntime::init();
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
    EXPECT_EQ(filter->GetColorIndex(0xFFFFFF), 1);
    EXPECT_EQ(filter->GetColorIndex(0x0000FF), 2); // TColor red
    EXPECT_EQ(filter->GetColorIndex(0xFFFFFF), 1);
    EXPECT_EQ(filter->ColorTable().value(1), QStringLiteral("\\red255\\green0\\blue0;"));
    EXPECT_EQ(filter->GetFontIndex(QStringLiteral("Arial"), 204), 0);
    EXPECT_EQ(filter->GetFontIndex(QStringLiteral("Times"), 0), 1);
    EXPECT_EQ(filter->GetFontIndex(QStringLiteral("Arial"), 0), 0); // by name alone
}

TEST(RtfText, RichTextMovesIntoTheDocument)
{
    ExportRuntime::init();
    struct Case {
        const char* name;
        QByteArray source;
        QString cell;
    };
    const Case cases[] = {
        {"fonts and colours renumbered, pard removed",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset0 Courier New;}}"
         "{\\colortbl;\\red0\\green0\\blue255;\\red255\\green0\\blue0;}\\pard\\f1\\cf2 red \\f0\\cf1 blue\\par\\pard x}",
         // Courier New is new (1), Arial is known (0); red is colour 2 here, blue new (3).
         QStringLiteral("{\\f1\\cf2 red \\f0\\cf3 blue\\par x}")},
        {"content from the first pard only", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b skipped\\pard\\f0 kept}",
         QStringLiteral("{\\f0 kept}")},
        {"each word renumbered once", "{\\rtf1{\\fonttbl{\\f0 X;}{\\f1 Arial;}}\\pard\\f0 a\\f1 b}", QStringLiteral("{\\f1 a\\f0 b}")},
        {"no pard", "{\\rtf1 plain}", QStringLiteral("{RTF text in a memo does not contain \\\\\\\\pard tags}")},
        {"broken colour table", "{\\rtf1{\\colortbl;\\red1\\red2;}\\pard x}", QStringLiteral("{Invalid RTF color table}")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
        filter->GetFontIndex(QStringLiteral("Arial"), 204);
        filter->GetColorIndex(0xFFFFFF);
        filter->GetColorIndex(0x0000FF); // red, number 2
        EXPECT_EQ(filter->RemapRichText(c.source).toStdString(), c.cell.toStdString());
    }
}

// --- the document ---------------------------------------------------------------------------

TEST(RtfDocument, OnePageRowsUseTheSinglePageFactor)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        Memo(band, QStringLiteral("A"), 0, 0, 200, 20, QStringLiteral("Alpha"));
        Memo(band, QStringLiteral("B"), 0, 20, 200, 40, QStringLiteral("Beta"));
    });
    const QByteArray rtf = ExportRtf(prepared);
    ExpectSound(rtf);
    const QList<QByteArray> lines = Lines(rtf);
    EXPECT_EQ(lines[0], "{\\rtf1\\ansi\\ansicpg1251");
    EXPECT_TRUE(lines[1].startsWith("{\\fonttbl{\\f0\\fcharset"));
    EXPECT_EQ(lines[3], "{\\info{\\title }{\\author RedaVedera}{\\creatim\\yr2025\\mo12\\dy09\\hr12\\min00}}");
    // A4 portrait (794 x 1123 pixels), 10 mm margins.
    EXPECT_EQ(lines[4], "\\pgwsxn11926\\pghsxn16867\\marglsxn565\\margrsxn565\\margtsxn565\\margbsxn565");
    EXPECT_TRUE(RowOf(rtf, "Alpha").startsWith("\\trrh-290\\trgaph15")) << RowOf(rtf, "Alpha").toStdString();
    EXPECT_TRUE(RowOf(rtf, "Beta").startsWith("\\trrh-580\\trgaph15"));
    EXPECT_EQ(lines.value(lines.size() - 2), "}");
    EXPECT_FALSE(rtf.contains("\\sect"));
    // With AutoSize the heights are at-least heights.
    EXPECT_TRUE(RowOf(ExportRtf(prepared, [](TrpRTFExport& f) { f.AutoSize = true; }), "Alpha").startsWith("\\trrh290"));
}

TEST(RtfDocument, TwoPagesTwoSections)
{
    PreparedReport prepared = Pages(
        2, [](TrpBand& band) { Memo(band, QStringLiteral("A"), 0, 0, 200, 20, QString()); },
        [](int page, TrpBand& band) {
            static_cast<TrpMemoView*>(band.FindObject(u"A"))->SetText(QStringLiteral("Page %1").arg(page));
        });
    const QByteArray rtf = ExportRtf(prepared);
    ExpectSound(rtf);
    EXPECT_EQ(rtf.count("\\pard\\sect\r\n"), 1);
    const qsizetype sect = rtf.indexOf("\\pard\\sect\r\n");
    EXPECT_TRUE(rtf.mid(sect + 12).startsWith("\\pgwsxn11926\\pghsxn16867"));
    EXPECT_LT(rtf.indexOf("Page 1"), sect);
    EXPECT_GT(rtf.indexOf("Page 2"), sect);
    // Rows use 15 twips a pixel before the last page, 14.5 on it.
    EXPECT_TRUE(RowOf(rtf, "Page 1").startsWith("\\trrh-300"));
    EXPECT_TRUE(RowOf(rtf, "Page 2").startsWith("\\trrh-290"));
    // Without page breaks one section.
    const QByteArray flow = ExportRtf(prepared, [](TrpRTFExport& f) { f.ExportPageBreaks = false; });
    EXPECT_FALSE(flow.contains("\\sect"));
    EXPECT_TRUE(flow.contains("Page 2"));
}

TEST(RtfDocument, HeaderAndFooterPasses)
{
    PreparedReport prepared = BuildTwoPageStore();
    ExportRuntime::init();
    const QByteArray title = "\\u1054\\'3f\\u1090\\'3f\\u1095\\'3f\\u1077\\'3f\\u1090\\'3f"; // "Отчет"
    const QByteArray text = ExportRtf(prepared);
    ExpectSound(text);
    EXPECT_FALSE(text.contains("{\\header "));
    EXPECT_EQ(text.count(title), 1); // the page header of the first page

    const QByteArray print = ExportRtf(prepared, [](TrpRTFExport& f) { f.HeaderFooterMode = hfPrint; });
    ExpectSound(print);
    const qsizetype header = print.indexOf("{\\header \r\n");
    const qsizetype footer = print.indexOf("{\\footer \r\n");
    ASSERT_GE(header, 0);
    ASSERT_GT(footer, header);
    const qsizetype body = print.indexOf("\r\n}\r\n", footer) + 5;
    EXPECT_GT(print.indexOf(title, header), header);
    EXPECT_LT(print.indexOf(title, header), footer);
    EXPECT_EQ(print.indexOf(title, footer), -1);
    const QByteArray pageNo = "\\u1057\\'3f\\u1090\\'3f\\u1088\\'3f\\u1072\\'3f\\u1085"; // "Стран..."
    EXPECT_GT(print.indexOf(pageNo, footer), footer);
    EXPECT_LT(print.indexOf(pageNo, footer), body);
    EXPECT_EQ(print.indexOf(pageNo, body), -1);
    EXPECT_GT(text.indexOf(pageNo), 0);

    const QByteArray none = ExportRtf(prepared, [](TrpRTFExport& f) { f.HeaderFooterMode = hfNone; });
    ExpectSound(none);
    EXPECT_FALSE(none.contains(title));
    EXPECT_FALSE(none.contains("{\\header "));
}

TEST(RtfDocument, ThreeRowMergeAndShading)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        TrpMemoView* tall = Memo(band, QStringLiteral("Tall"), 0, 0, 100, 60, QStringLiteral("Tall"));
        tall->Color = 0x00FFFF; // yellow
        Memo(band, QStringLiteral("R1"), 100, 0, 100, 20, QStringLiteral("One"));
        Memo(band, QStringLiteral("R2"), 100, 20, 100, 20, QStringLiteral("Two"))->Color = clWhite;
        Memo(band, QStringLiteral("R3"), 100, 40, 100, 20, QStringLiteral("Three"));
    });
    const QByteArray rtf = ExportRtf(prepared);
    ExpectSound(rtf);
    const std::vector<Row> rows = CheckedRows(rtf);
    std::map<QByteArray, const Row*> byText;
    for (const Row& row : rows)
        for (const char* text : {"One", "Two", "Three"})
            if (row.contents.contains(text))
                byText[text] = &row;
    ASSERT_EQ(byText.size(), 3u);
    EXPECT_TRUE(byText["One"]->definition.contains("\\clvmgf\\clcbpat"));
    EXPECT_TRUE(byText["One"]->contents.contains("Tall"));
    for (const char* later : {"Two", "Three"}) {
        EXPECT_TRUE(byText[later]->definition.contains("\\clvmrg")) << later;
        EXPECT_TRUE(byText[later]->contents.startsWith("{\\fs19\\cell}\n")) << later; // 290 / 15
    }
    // Yellow is shaded; white and transparent cells are not.
    const QByteArray yellow = "\\clcbpat" + QByteArray::number(1 + Lines(rtf)[2].split(';').indexOf("\\red255\\green255\\blue0") - 1);
    EXPECT_EQ(rtf.count("\\clcbpat"), 2); // the tall cell's row definition, written twice
    EXPECT_TRUE(byText["One"]->definition.contains(yellow)) << yellow.toStdString();
}

TEST(RtfDocument, EscapesAndCyrillicFontNames)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        TrpMemoView* memo = Memo(band, QStringLiteral("M"), 0, 0, 300, 40, QStringLiteral("a{b}\\c п\r\nnext"));
        memo->Font().SetName(QStringLiteral("Тестовый"));
    });
    const QByteArray rtf = ExportRtf(prepared);
    ExpectSound(rtf);
    EXPECT_TRUE(rtf.contains(" a\\{b\\}\\\\c \\u1087\\'3f\\line\r\nnext\\cell}"));
    EXPECT_TRUE(rtf.contains("\\'d2\\'e5\\'f1\\'f2\\'ee\\'e2\\'fb\\'e9}"));
    TGmlRtf tree(rtf);
    ASSERT_EQ(tree.FontsCount(), 2); // and the background's default font
    for (int i = 0; i < tree.FontsCount(); ++i)
        EXPECT_EQ(tree.Font(i)->Index(), i);
}

TEST(RtfDocument, ObjectInColumnZeroIsWritten)
{
    PreparedReport prepared = Pages(
        1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("Leftmost")); }, {}, 0);
    const QByteArray rtf = ExportRtf(prepared);
    ExpectSound(rtf);
    const QByteArray row = RowOf(rtf, "Leftmost");
    ASSERT_FALSE(row.isEmpty());
    EXPECT_TRUE(row.contains("\\cellx3010")) << row.toStdString(); // 200 pixels
    EXPECT_TRUE(rtf.contains("\\marglsxn0\\margrsxn0"));
}

TEST(RtfDocument, PictureCells)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        auto* picture = new TrpPictureView(&band);
        picture->SetName(QStringLiteral("P"));
        picture->SetBounds(0, 0, 100.4, 30);
        TrpPicture bmp;
        bmp.SetData(QStringLiteral("BMP"), BmpBytes());
        picture->SetPicture(bmp);
    });
    const QByteArray png = ExportRtf(prepared);
    ExpectSound(png);
    EXPECT_TRUE(png.contains("{\\sb0\\li0\\sl0\\slmult0 {\\pict\\picw2540\\pich759\\picscalex98\\picscaley98"
                             "\\piccropl0\\piccropr0\\piccropt0\\piccropb0\\pngblip\r\n89504E47"));
    const QByteArray jpeg = ExportRtf(prepared, [](TrpRTFExport& f) { f.PictureType = gpJPG; });
    EXPECT_TRUE(jpeg.contains("\\jpegblip\r\nFFD8"));
    const QByteArray bmp = ExportRtf(prepared, [](TrpRTFExport& f) { f.PictureType = gpBMP; });
    ExpectSound(bmp);
    // The metafile declares the 24-bit DIB it carries.
    EXPECT_TRUE(bmp.contains("{\\pict\\wmetafile8\\picw2530\\pich759\\picbmp\\picbpp24\r\n010009000003"));
    EXPECT_TRUE(bmp.contains("030000000000}\\cell}"));
    const QByteArray none = ExportRtf(prepared, [](TrpRTFExport& f) { f.ExportPictures = false; });
    EXPECT_FALSE(none.contains("\\pict"));
    ExpectSound(none);
}

TEST(RtfDocument, FixturesAreSoundAndReadBack)
{
    ExportRuntime::init();
    for (const bool archive : {true, false}) {
        SCOPED_TRACE(archive ? "archive" : "graphics");
        TrpReport report;
        report.EngineOptions().NewSilentMode = simSilent;
        report.ShowProgress = false;
        enginefixtures::DataSets keep;
        if (archive) {
            exportfixtures::BuildArchive(report, keep);
            keep.front()->LoadFromText(exportfixtures::HoursCsv(), QStringLiteral("Hours"));
        } else {
            exportfixtures::BuildGraphics(report, keep);
            keep.front()->LoadFromText(exportfixtures::GraphicsCsv(), QStringLiteral("Rows"));
        }
        ASSERT_TRUE(report.PrepareReport()) << report.Errors().join(u'\n').toStdString();
        const reporttest::FixedReportClock clock(46000.5);
        auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
        filter->ShowDialog = false;
        filter->ShowProgress = false;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        filter->Stream = &buffer;
        ASSERT_TRUE(report.Export(filter.get()));
        EXPECT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'\n').toStdString();
        ExpectSound(buffer.data());
        EXPECT_EQ(buffer.data().count("\\pard\\sect\r\n"), archive ? 19 : 2);
    }
}

// --- failures and the file ------------------------------------------------------------------

TEST(RtfFile, WrittenWholeOrNotAtAll)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("x")); });
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("r.rtf"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    filter->FileName = path;
    prepared.Report().EngineOptions().NewSilentMode = simSilent;
    ASSERT_TRUE(prepared.Report().Export(filter.get()));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("{\\rtf1"));

    // A folder that does not exist: the error joins the report's errors, nothing is written.
    const QString missing = folder.filePath(QStringLiteral("none/r.rtf"));
    filter->FileName = missing;
    prepared.Report().ClearErrors();
    prepared.Report().Export(filter.get());
    ASSERT_EQ(prepared.Report().Errors().size(), 1);
    EXPECT_TRUE(prepared.Report().Errors()[0].contains(QStringLiteral("none/r.rtf")));
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("r.rtf")});

    // Without a file name and a stream nothing starts.
    filter->FileName.clear();
    prepared.Report().ClearErrors();
    EXPECT_TRUE(prepared.Report().Export(filter.get()));
    EXPECT_TRUE(prepared.Report().Errors().isEmpty());
}

TEST(RtfFile, OpenAfterExportAsksTheUserInterface)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("x")); });
    QTemporaryDir folder;
    reporttest::RecordingReportUi ui;
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    filter->OpenAfterExport = true;
    filter->FileName = folder.filePath(QStringLiteral("r.rtf"));
    ASSERT_TRUE(prepared.Report().Export(filter.get()));
    ASSERT_EQ(ui.OpenedUrls.size(), 1);
    EXPECT_EQ(ui.OpenedUrls[0], QUrl::fromLocalFile(QFileInfo(filter->FileName).absoluteFilePath()).toString());
}

TEST(RtfFile, RegisteredWithItsDefaults)
{
    ExportRuntime::init();
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpRTFExport>();
    EXPECT_EQ(filter->GetDescription(), QStringLiteral("Документ Word (табличный)"));
    EXPECT_EQ(filter->FilterDesc, QStringLiteral("Файл RTF (*.rtf)|*.rtf"));
    EXPECT_EQ(filter->DefaultExt, QStringLiteral(".rtf"));
    EXPECT_EQ(filter->PictureType, gpPNG);
    EXPECT_TRUE(filter->ExportPageBreaks);
    EXPECT_TRUE(filter->ExportPictures);
    EXPECT_FALSE(filter->OpenAfterExport);
    EXPECT_TRUE(filter->Wysiwyg);
    EXPECT_EQ(filter->Creator, QStringLiteral("RedaVedera"));
    EXPECT_EQ(filter->HeaderFooterMode, hfText);
    EXPECT_FALSE(filter->AutoSize);
    EXPECT_TRUE(filter->ShowDialog);
}

// --- rptool ---------------------------------------------------------------------------------

TEST(RptoolRtfExport, ArchiveWithSettingsAndErrors)
{
    QTemporaryDir folder;
    const std::string rptool = QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString();
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string zp3 = folder.filePath(QStringLiteral("a.zp3")).toStdString();
    const std::string out = folder.filePath(QStringLiteral("a.rtf")).toStdString();
    ASSERT_EQ(testsupport::RunProgram({rptool, "prepare", data + "/archive.zi3", "--csv", "Hours=" + data + "/hours.csv",
                                       "--out", zp3})
                  .status,
              0);
    const auto run = testsupport::RunProgram({rptool, "export", zp3, "--format", "rtf", "--out", out, "--pages", "2-3",
                                              "--set", "HeaderFooterMode=hfPrint", "--set", "Creator=Тест"});
    ASSERT_EQ(run.status, 0) << run.err;
    QFile file(QString::fromStdString(out));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray rtf = file.readAll();
    ExpectSound(rtf);
    EXPECT_EQ(rtf.count("\\pard\\sect\r\n"), 1);
    EXPECT_TRUE(rtf.contains("{\\header "));
    EXPECT_TRUE(rtf.contains("{\\author \\u1058\\'3f\\u1077\\'3f\\u1089\\'3f\\u1090\\'3f}"));
    file.close();

    const std::string refused = folder.filePath(QStringLiteral("b.rtf")).toStdString();
    const auto bad = testsupport::RunProgram({rptool, "export", zp3, "--format", "rtf", "--out", refused, "--set",
                                              "Wysiwig=True"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_FALSE(bad.err.empty());
    const auto unwritable = testsupport::RunProgram(
        {rptool, "export", zp3, "--format", "rtf", "--out", folder.filePath(QStringLiteral("none/c.rtf")).toStdString()});
    EXPECT_NE(unwritable.status, 0);
    EXPECT_FALSE(unwritable.err.empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(refused)));
}

// --- progress -------------------------------------------------------------------------------

namespace {

class RecordingProgress : public ITrpProgressWindow {
public:
    RecordingProgress(QStringList& log, bool cancel) : log_(log), cancel_(cancel) {}
    void Start(const QString& caption) override
    {
        log_ << QStringLiteral("start ") + caption;
        // The matrix's window comes first, the writing window second.
        writing_ = log_.count(QStringLiteral("start ") + GetResourcesInstance().Get(u"ProgressWait")) == 2;
    }
    void Progress(const QString& message, int32_t percent) override { log_ << message + u' ' + QString::number(percent); }
    void Stop() override { log_ << QStringLiteral("stop"); }
    bool Cancelled() const override { return cancel_ && writing_; }

private:
    QStringList& log_;
    bool cancel_;
    bool writing_ = false;
};

} // namespace

TEST(RtfProgress, WritingTicksOncePerRowAndACancelEndsTheRows)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        Memo(band, QStringLiteral("A"), 0, 0, 200, 20, QStringLiteral("Alpha"));
        Memo(band, QStringLiteral("B"), 0, 20, 200, 20, QStringLiteral("Beta"));
    });
    const QString wait = GetResourcesInstance().Get(u"ProgressWait");
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "whole");
        QStringList log;
        TrpModelServices services;
        services.CreateProgressWindow = [&log, cancel](TrpReport&) { return std::make_unique<RecordingProgress>(log, cancel); };
        ModelServicesScope scope(services);
        const QByteArray rtf = ExportRtf(prepared, [](TrpRTFExport& f) { f.ShowProgress = true; });
        // The writing window is the last one started: "ProgressWait" and one tick per row.
        const qsizetype start = log.lastIndexOf(QStringLiteral("start ") + wait);
        ASSERT_GE(start, 0) << log.join(u'|').toStdString();
        const QStringList writing = log.mid(start);
        EXPECT_EQ(writing.back(), QStringLiteral("stop"));
        if (!cancel) {
            EXPECT_EQ(writing.value(writing.size() - 2), wait + QStringLiteral(" 100")) << log.join(u'|').toStdString();
            EXPECT_TRUE(rtf.contains("Alpha") && rtf.contains("Beta"));
        } else {
            // Stopped at the first row: the document is closed whole, without rows.
            EXPECT_FALSE(rtf.contains("\\trowd"));
            EXPECT_TRUE(rtf.endsWith("}\r\n"));
        }
        ExpectSound(rtf);
    }
}
