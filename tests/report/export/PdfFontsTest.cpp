// The PDF export's fonts against fontTools: the embedded subset passes the subset checks,
// metrics and widths equal fontTools' values at 1000 per em, and the font bytes the export
// embeds are those the layout's raw fonts were made from. Also the slave export's file and
// opening the written file.

#include "FontTestSupport.h"
#include "PreparedPagesBuilder.h"
#include "ReportFakes.h"

#include "report/core/Rounding.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportPDF.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace enginetest;
using namespace fonttest;

namespace {

PreparedReport OneMemoPage(const QString& text, const QString& font)
{
    PreparedReport prepared;
    ExportRuntime::init();
    TrpReport& report = prepared.Report();
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("Band1"), 0, 40);
    AddMemo(band, QStringLiteral("M"), 0, 0, 600, 30, text)->Font().SetName(font);
    TrpPreviewPages& store = prepared.Store();
    prepared.Engine().Running = true;
    store.Initialize();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    store.AddPage(page);
    PrintBand(store, *band, 0);
    store.Finish();
    prepared.Engine().Running = false;
    return prepared;
}

std::map<std::string, std::string> Facts(const std::string& font, const std::vector<std::string>& codes = {})
{
    std::vector<std::string> arguments = {font};
    arguments.insert(arguments.end(), codes.begin(), codes.end());
    int status = 0;
    const std::string output = RunTool("font_facts.py", arguments, status);
    EXPECT_EQ(status, 0) << output;
    std::map<std::string, std::string> facts;
    for (const QString& line : QString::fromStdString(output).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype blank = line.indexOf(u' ');
        facts[line.left(blank).toStdString()] = line.mid(blank + 1).toStdString();
    }
    return facts;
}

int Scaled(const std::string& value, int unitsPerEm)
{
    return static_cast<int>(RoundHalfEven(std::stoi(value) * 1000.0 / unitsPerEm));
}

// A table of a font file (a face of a collection by index), as its directory gives it.
QByteArray TableOf(const QByteArray& file, int faceIndex, const char* tag)
{
    const auto u32 = [&file](qsizetype at) {
        return (static_cast<uint32_t>(static_cast<uint8_t>(file[at])) << 24) |
               (static_cast<uint32_t>(static_cast<uint8_t>(file[at + 1])) << 16) |
               (static_cast<uint32_t>(static_cast<uint8_t>(file[at + 2])) << 8) | static_cast<uint8_t>(file[at + 3]);
    };
    qsizetype start = 0;
    if (file.startsWith("ttcf"))
        start = u32(12 + 4 * faceIndex);
    const int tables = static_cast<int>(u32(start + 4) >> 16);
    for (int i = 0; i < tables; ++i) {
        const qsizetype entry = start + 12 + 16 * i;
        if (file.mid(entry, 4) == tag)
            return file.mid(u32(entry + 8), u32(entry + 12));
    }
    return {};
}

} // namespace

TEST(PdfFontFacts, EmbeddedSubsetPassesTheChecks)
{
    const QString text = QStringLiteral("Часовые данные: ёмкость №12");
    PreparedReport prepared = OneMemoPage(text, QStringLiteral("Tahoma"));
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    filter->ShowDialog = false;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("f.pdf"));
    filter->FileName = pdf;
    ASSERT_TRUE(prepared.Report().Export(filter.get()));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch fontFile =
        QRegularExpression(QStringLiteral("/FontFile2 (\\d+) 0 R")).match(QString::fromLatin1(file.readAll()));
    ASSERT_TRUE(fontFile.hasMatch());
    const std::string subset = folder.filePath(QStringLiteral("subset.ttf")).toStdString();
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("qpdf --show-object=" + fontFile.captured(1).toStdString() +
                                          " --filtered-stream-data '" + pdf.toStdString() + "' > '" + subset + "'",
                                      output),
              0)
        << output;
    int status = 0;
    const std::string verdict = RunTool("check_subset.py", {kDejaVuSans, subset, text.toStdString()}, status);
    EXPECT_EQ(status, 0) << verdict;
    EXPECT_EQ(verdict.rfind("subset ok", 0), 0u) << verdict;
}

TEST(PdfFontFacts, MetricsAndWidthsEqualFontTools)
{
    struct Case {
        const char* reportName;
        bool bold;
        bool italic;
        std::string file;
    };
    const Case cases[] = {
        {"Arial", false, false, kLiberationSans},
        {"Arial", true, false, kLiberationSansBold},
        {"Arial", false, true, "/usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf"},
        {"Tahoma", false, false, kDejaVuSans},
    };
    for (const Case& c : cases) {
        TrpPDFFont font(QString::fromLatin1(c.reportName), c.bold, c.italic);
        ASSERT_EQ(font.Face.FileName.toStdString(), c.file);
        auto facts = Facts(c.file, {"41", "416", "10300"});
        const int upem = std::stoi(facts["head.unitsPerEm"]);
        const TrpPDFFont::Metrics m = font.FontMetrics();
        EXPECT_EQ(m.BBox[0], Scaled(facts["head.xMin"], upem)) << c.file;
        EXPECT_EQ(m.BBox[1], Scaled(facts["head.yMin"], upem)) << c.file;
        EXPECT_EQ(m.BBox[2], Scaled(facts["head.xMax"], upem)) << c.file;
        EXPECT_EQ(m.BBox[3], Scaled(facts["head.yMax"], upem)) << c.file;
        EXPECT_DOUBLE_EQ(m.ItalicAngle, std::stoi(facts["post.italicAngle"]) / 65536.0) << c.file;
        for (int gid : {0, 1, 2}) {
            const std::string advance = facts["hmtx." + std::to_string(gid)];
            EXPECT_EQ(font.GlyphWidth(static_cast<uint16_t>(gid)), Scaled(advance.substr(0, advance.find(' ')), upem))
                << c.file << " glyph " << gid;
        }
        // The glyphs the PDF takes are those of the font's Unicode character map.
        const QByteArray hex = font.RemapString(QStringLiteral("AЖ"));
        EXPECT_EQ(hex.left(4).toInt(nullptr, 16), std::stoi(facts["cmap.0041"])) << c.file;
        EXPECT_EQ(hex.mid(4, 4).toInt(nullptr, 16), std::stoi(facts["cmap.0416"])) << c.file;
    }
    TrpPDFFont italic(QStringLiteral("Arial"), false, true);
    EXPECT_DOUBLE_EQ(italic.FontMetrics().ItalicAngle, -12);
}

TEST(PdfFontFacts, FontDataIsWhatTheLayoutReads)
{
    for (const char* name : {"Arial", "Times New Roman", "Courier New", "Tahoma"}) {
        for (const bool bold : {false, true}) {
            const TrpFontFace face = ResolveReportFont(QString::fromLatin1(name), bold, false);
            const QByteArray data = ReportFontData(face);
            const QRawFont raw = ReportRawFont(face, 12);
            for (const char* tag : {"head", "cmap"})
                EXPECT_EQ(TableOf(data, face.FaceIndex, tag), raw.fontTable(tag)) << name << ' ' << bold << ' ' << tag;
        }
    }
}

TEST(PdfExportFiles, SlaveExportWritesAUniqueTemporaryFile)
{
    QTemporaryDir folder;
    PreparedReport prepared = OneMemoPage(QStringLiteral("x"), QStringLiteral("Arial"));
    prepared.Report().EngineOptions().TempDir = folder.path();
    auto first = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    first->ShowDialog = false;
    first->SlaveExport = true;
    ASSERT_TRUE(prepared.Report().Export(first.get()));
    auto second = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    second->ShowDialog = false;
    second->SlaveExport = true;
    ASSERT_TRUE(prepared.Report().Export(second.get()));
    EXPECT_NE(first->FileName, second->FileName);
    for (const QString& name : {first->FileName, second->FileName}) {
        EXPECT_EQ(QFileInfo(name).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^rp.{6}\\.pdf$")).match(QFileInfo(name).fileName()).hasMatch())
            << name.toStdString();
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().endsWith("%%EOF\r\n"));
    }
}

TEST(PdfExportFiles, OpenAfterExportOpensTheWrittenFile)
{
    reporttest::RecordingReportUi ui;
    QTemporaryDir folder;
    PreparedReport prepared = OneMemoPage(QStringLiteral("x"), QStringLiteral("Arial"));
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
    filter->ShowDialog = false;
    filter->OpenAfterExport = true;
    filter->FileName = folder.filePath(QStringLiteral("o.pdf"));
    ASSERT_TRUE(prepared.Report().Export(filter.get()));
    EXPECT_EQ(ui.OpenedUrls, QStringList{QUrl::fromLocalFile(filter->FileName).toString()});
}
