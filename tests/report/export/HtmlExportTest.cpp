// The HTML export through the real export road, over prepared pages built by hand: the style
// rules, row heights, page breaks, links, picture and page file names, escaping, line breaks,
// the navigator, the file list, a folder that cannot be written, and rptool export --format
// html checked by Python's HTML parser against rptool matrix.

#include "PreparedPagesBuilder.h"
#include "ReadOnlyFolder.h"
#include "ReportFakes.h"
#include "Subprocess.h"

#include "report/core/PropertyRegistry.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportDefaults.h"
#include "report/export/rpExportHTML.h"
#include "report/export/rpExportMatrix.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace enginetest;

namespace {

// Pages of one band "Band1" on a page without margins (so positions are exact): `build` makes
// its objects, `fill` changes them for page N (from 1) before the band is printed on it.
PreparedReport Pages(int count, const std::function<void(TrpBand&)>& build,
                     const std::function<void(int, TrpBand&)>& fill = {})
{
    PreparedReport prepared;
    ExportRuntime::init();
    TrpReport& report = prepared.Report();
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 0;
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

QString ReadText(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// The files under a folder, relative to it, sorted.
QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

struct HtmlRun {
    std::unique_ptr<QTemporaryDir> folder = std::make_unique<QTemporaryDir>();
    QString file;            // the export file
    QStringList files;       // Files() after the run, relative to the folder, sorted
    bool exported = false;
    QString main;            // the export file's text
    QString Path(const QString& relative) const { return folder->filePath(relative); }
    QString Read(const QString& relative) const { return ReadText(Path(relative)); }
};

HtmlRun ExportHtml(PreparedReport& prepared, const std::function<void(TrpHTMLExport&)>& set = {},
                   const QString& name = QStringLiteral("rep.html"))
{
    HtmlRun run;
    run.file = run.folder->filePath(name);
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpHTMLExport>();
    filter->ShowDialog = false;
    filter->ShowProgress = false;
    filter->FileName = run.file;
    if (set)
        set(*filter);
    prepared.Report().EngineOptions().NewSilentMode = simSilent;
    run.exported = prepared.Report().Export(filter.get());
    if (filter->Files() != nullptr)
        for (const QString& written : *filter->Files())
            run.files << QDir(run.folder->path()).relativeFilePath(written);
    run.files.sort();
    run.main = ReadText(run.file);
    return run;
}

TrpMemoView* Memo(TrpBand& band, const QString& name, double left, double top, double width, double height,
                  const QString& text)
{
    return AddMemo(&band, name, left, top, width, height, text);
}

int Count(const QString& text, const QString& what)
{
    return static_cast<int>(text.count(what));
}

} // namespace

TEST(HtmlExport, StyleRulesWriteTheMendedDeclarations)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        TrpMemoView* memo = Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("Текст"));
        memo->Font().SetStyle(TrpFont::kBold | TrpFont::kUnderline | TrpFont::kStrikeOut);
        memo->Font().SetColor(RGBColor(0x12, 0x34, 0x56));
        memo->Color = RGBColor(0xFF, 0xFF, 0x00);
        memo->Frame().Typ = kAllFrameSides;
        memo->ParagraphGap = 2.5;
        Memo(band, QStringLiteral("N"), 0, 30, 200, 20, QStringLiteral("Plain"))->Font().SetStyle(TrpFont::kItalic);
    });
    const HtmlRun run = ExportHtml(prepared);
    ASSERT_TRUE(run.exported);
    const QString& html = run.main;
    EXPECT_TRUE(html.contains(QStringLiteral(" font-weight: bold; font-style: normal; text-decoration: underline line-through;")))
        << html.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("underline |")));
    EXPECT_TRUE(html.contains(QStringLiteral(" font-family: \"Arial\";\r\n font-size: 13px;\r\n color: #123456;")));
    EXPECT_TRUE(html.contains(QStringLiteral(" font-style: italic;")));
    EXPECT_TRUE(html.contains(QStringLiteral(" background-color: #FFFF00;")));
    EXPECT_TRUE(html.contains(QStringLiteral(" background-color: transparent;")));
    EXPECT_TRUE(html.contains(QStringLiteral("  text-indent: 2.5px;")));
    EXPECT_TRUE(html.contains(QStringLiteral(" border-color:#000000; border-style: solid;\r\n border-left-width: 1px;\r\n"
                                             " border-right-width: 1px;\r\n border-top-width: 1px;\r\n"
                                             " border-bottom-width: 1px;")));
    EXPECT_TRUE(html.contains(QStringLiteral(" text-align: Left; vertical-align: Top;")));
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n")));
    EXPECT_TRUE(html.contains(QStringLiteral("<meta name=\"Generator\" content=\"RedaVedera 4.0\">\r\n")));
    EXPECT_TRUE(html.endsWith(QStringLiteral("</body></html>\r\n")));
    // Every line ends with CR LF.
    EXPECT_EQ(Count(html, QStringLiteral("\n")), Count(html, QStringLiteral("\r\n")));
}

TEST(HtmlExport, RowHeightsAreDividedBy103AndAtLeastOne)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        Memo(band, QStringLiteral("A"), 0, 0, 100, 20.6, QStringLiteral("a"));
        Memo(band, QStringLiteral("B"), 0, 20.6, 100, 0.5, QString());
        Memo(band, QStringLiteral("C"), 0, 21.1, 100, 10, QStringLiteral("c"));
    });
    const HtmlRun run = ExportHtml(prepared);
    ASSERT_TRUE(run.exported);
    const QRegularExpression row(QStringLiteral("<tr style=\"height:(\\d+)px\">"));
    QStringList heights;
    for (auto it = row.globalMatch(run.main); it.hasNext();)
        heights << it.next().captured(1);
    EXPECT_EQ(heights, QStringList({QStringLiteral("20"), QStringLiteral("1"), QStringLiteral("10")})) << run.main.toStdString();
    EXPECT_TRUE(run.main.contains(QStringLiteral("<tr style=\"height: 1px\"><td width=\"100\"/></tr>")));
    // The blank memo's cell is shrunk to a 1-pixel font and shows a non-breaking blank.
    EXPECT_TRUE(run.main.contains(QStringLiteral(" style=\"font-size:1px\">&nbsp;</td>")));
}

TEST(HtmlExport, TwoPagesInOneFileAreTwoTablesWithAPageBreak)
{
    PreparedReport prepared = Pages(
        2, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QString()); },
        [](int page, TrpBand& band) {
            dynamic_cast<TrpMemoView*>(band.Objects()[0])->SetText(QStringLiteral("Страница %1").arg(page));
        });
    const HtmlRun run = ExportHtml(prepared);
    ASSERT_TRUE(run.exported);
    const QString& html = run.main;
    EXPECT_EQ(Count(html, QStringLiteral("<table")), 2);
    EXPECT_EQ(Count(html, QStringLiteral("</table>")), 2);
    EXPECT_TRUE(html.contains(QStringLiteral("<a name=\"PageN1\"></a>\r\n<table width=\"200\" border=\"0\" cellspacing=\"0\" "
                                             "cellpadding=\"0\">\r\n<tr style=\"height: 1px\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("</tr>\r\n</table>\r\n<a name=\"PageN2\"></a>\r\n<table width=\"200\" border=\"0\" "
                                             "cellspacing=\"0\" cellpadding=\"0\" class=\"page_break\">\r\n"
                                             "<tr style=\"height: 1px\"><td width=\"200\"/></tr>\r\n")))
        << html.toStdString();
    EXPECT_LT(html.indexOf(QStringLiteral("Страница 1")), html.indexOf(QStringLiteral("PageN2")));
    EXPECT_GT(html.indexOf(QStringLiteral("Страница 2")), html.indexOf(QStringLiteral("PageN2")));
    EXPECT_TRUE(html.contains(QStringLiteral(".page_break {page-break-before: always;}")));
    EXPECT_EQ(run.files, QStringList{QStringLiteral("rep.html")});
}

TEST(HtmlExport, LinksToAPageInOneFileAndInPageFiles)
{
    const auto build = [](TrpBand& band) {
        Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("к странице 3"))->URL = QStringLiteral("@3");
    };
    struct Case {
        const char* name;
        std::function<void(TrpHTMLExport&)> set;
        QString page;   // the file to read, relative
        QString href;
    };
    const Case cases[] = {
        {"one file", {}, QStringLiteral("rep.html"), QStringLiteral("#PageN3")},
        {"page files", [](TrpHTMLExport& f) { f.Multipage = true; }, QStringLiteral("rep.files/1.html"),
         QStringLiteral("3.html")},
        {"page files beside the export file",
         [](TrpHTMLExport& f) {
             f.Multipage = true;
             f.PicsInSameFolder = true;
         },
         QStringLiteral("rep.1.html"), QStringLiteral("rep.3.html")},
        {"with a target",
         [](TrpHTMLExport& f) { f.URLTarget = QStringLiteral("_blank"); },
         QStringLiteral("rep.html"), QStringLiteral("#PageN3\" target=\"_blank")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreparedReport prepared = Pages(3, build);
        const HtmlRun run = ExportHtml(prepared, c.set);
        ASSERT_TRUE(run.exported);
        const QString page = run.Read(c.page);
        EXPECT_TRUE(page.contains(QStringLiteral("<a href=\"") + c.href + QStringLiteral("\">к странице 3</a></td>")))
            << page.toStdString();
    }
}

TEST(HtmlExport, PageAndPictureFilesAndTheFileList)
{
    const auto build = [](TrpBand& band) {
        Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("Текст"));
        auto* picture = new TrpPictureView(&band);
        picture->SetName(QStringLiteral("Logo"));
        picture->SetBounds(220, 0, 32, 32);
        TrpPicture bmp;
        bmp.SetData(QStringLiteral("BMP"), BmpBytes());
        picture->SetPicture(bmp);
    };
    struct Case {
        const char* name;
        std::function<void(TrpHTMLExport&)> set;
        QStringList files;
        QString page;
        QString src;
    };
    const Case cases[] = {
        {"one file, pictures in their folder", {},
         {QStringLiteral("rep.files/img0.png"), QStringLiteral("rep.files/img1.png"), QStringLiteral("rep.html")},
         QStringLiteral("rep.html"), QStringLiteral("rep.files/img0.png")},
        {"pictures beside the export file", [](TrpHTMLExport& f) { f.PicsInSameFolder = true; },
         {QStringLiteral("rep.html"), QStringLiteral("rep.img0.png"), QStringLiteral("rep.img1.png")},
         QStringLiteral("rep.html"), QStringLiteral("rep.img0.png")},
        {"JPEG pictures", [](TrpHTMLExport& f) { f.PictureType = gpJPG; },
         {QStringLiteral("rep.files/img0.jpg"), QStringLiteral("rep.files/img1.jpg"), QStringLiteral("rep.html")},
         QStringLiteral("rep.html"), QStringLiteral("rep.files/img0.jpg")},
        {"page files with the navigator",
         [](TrpHTMLExport& f) {
             f.Multipage = true;
             f.Navigator = true;
         },
         {QStringLiteral("rep.files/1.html"), QStringLiteral("rep.files/2.html"), QStringLiteral("rep.files/img0.png"),
          QStringLiteral("rep.files/img1.png"), QStringLiteral("rep.files/nav.html"), QStringLiteral("rep.html")},
         QStringLiteral("rep.files/2.html"), QStringLiteral("img1.png")},
        {"one file with the navigator", [](TrpHTMLExport& f) { f.Navigator = true; },
         {QStringLiteral("rep.files/img0.png"), QStringLiteral("rep.files/img1.png"), QStringLiteral("rep.files/main.html"),
          QStringLiteral("rep.files/nav.html"), QStringLiteral("rep.html")},
         QStringLiteral("rep.files/main.html"), QStringLiteral("img0.png")},
        {"no pictures", [](TrpHTMLExport& f) { f.ExportPictures = false; }, {QStringLiteral("rep.html")},
         QStringLiteral("rep.html"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreparedReport prepared = Pages(2, build);
        const HtmlRun run = ExportHtml(prepared, c.set);
        ASSERT_TRUE(run.exported) << prepared.Report().Errors().join(u'\n').toStdString();
        EXPECT_EQ(run.files, c.files);
        EXPECT_EQ(FilesUnder(run.folder->path()), c.files);
        const QString page = run.Read(c.page);
        if (c.src.isEmpty())
            EXPECT_FALSE(page.contains(QStringLiteral("<img"))) << page.toStdString();
        else
            EXPECT_TRUE(page.contains(QStringLiteral("<img src=\"") + c.src + QStringLiteral("\" width=\"")))
                << page.toStdString();
    }
}

TEST(HtmlExport, NamesAndAddressesCannotBreakOutOfTheirPlace)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        TrpMemoView* memo = Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("a < b & \"c\" > d"));
        memo->Font().SetName(QStringLiteral("Ari\"al</style>"));
        memo->URL = QStringLiteral("http://example.org/?q=\"<x>");
    });
    prepared.Report().ReportOptions().Name = QStringLiteral("Отчет \"A\" <b>&</title>");
    const HtmlRun run = ExportHtml(prepared, [](TrpHTMLExport& f) {
        f.URLTarget = QStringLiteral("_blank\" onclick=\"alert(1)");
    });
    ASSERT_TRUE(run.exported);
    const QString& html = run.main;
    struct Case {
        const char* name;
        QString expected;
    };
    const Case cases[] = {
        {"title", QStringLiteral("<title>Отчет &quot;A&quot; &lt;b&gt;&amp;&lt;/title&gt;</title>")},
        {"font name", QStringLiteral(" font-family: \"Ari\\\"al\\3C /style>\";")},
        {"address", QStringLiteral("<a href=\"http://example.org/?q=&quot;&lt;x&gt;\"")},
        {"target", QStringLiteral(" target=\"_blank&quot; onclick=&quot;alert(1)\">")},
        {"text", QStringLiteral(">a &lt; b &amp; &quot;c&quot; &gt; d</a></td>")},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(html.contains(c.expected)) << c.name << "\n" << html.toStdString();
    EXPECT_EQ(Count(html, QStringLiteral("</style>")), 1);
}

TEST(HtmlExport, TextRulesOfTheTagParserAndLineBreaks)
{
    ExportRuntime::init();
    struct Case {
        const char* name;
        QString text;
        QString html;
    };
    const Case cases[] = {
        {"CR LF", QStringLiteral("a\r\nb"), QStringLiteral("a<br>b")},
        {"lone LF", QStringLiteral("a\nb"), QStringLiteral("a<br>b")},
        {"lone CR", QStringLiteral("a\rb"), QStringLiteral("a<br>b")},
        {"empty line kept", QStringLiteral("a\r\n\r\nb"), QStringLiteral("a<br><br>b")},
        {"bold", QStringLiteral("<b>x</b> y"), QStringLiteral("<b>x</b> y")},
        {"all four, innermost bold",
         QStringLiteral("<strike><u><i><b>x</b></i></u></strike>"), QStringLiteral("<s><u><i><b>x</b></i></u></s>")},
        {"colour", QStringLiteral("<font color=\"#FF8000\">r</font>g"), QStringLiteral("<span style=\"color:#ff8000\">r</span>g")},
        {"not a tag", QStringLiteral("<5 and a < b"), QStringLiteral("&lt;5 and a &lt; b")},
        {"entities", QStringLiteral("\"&\""), QStringLiteral("&quot;&amp;&quot;")},
        {"Russian", QStringLiteral("Часовые <b>данные</b>"), QStringLiteral("Часовые <b>данные</b>")},
        {"bold across a line break", QStringLiteral("<b>a\r\nb</b>"), QStringLiteral("<b>a</b><br><b>b</b>")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrpHTMLExport::TextToHTML(c.text), c.html) << c.name;

    // Memo lines, however they were broken, reach the page as "<br>".
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        Memo(band, QStringLiteral("M"), 0, 0, 200, 40, QStringLiteral("первая\nвторая\rтретья"));
    });
    const HtmlRun run = ExportHtml(prepared);
    ASSERT_TRUE(run.exported);
    EXPECT_TRUE(run.main.contains(QStringLiteral(">первая<br>вторая<br>третья</td>"))) << run.main.toStdString();
}

TEST(HtmlExport, TheNavigatorCarriesTheReportNameAsUtf8PercentCodes)
{
    struct Case {
        QString name;
        QString encoded;
    };
    const Case cases[] = {
        {QStringLiteral("Отчёт"), QStringLiteral("%D0%9E%D1%82%D1%87%D1%91%D1%82")},
        {QStringLiteral("a b/1.zi3"), QStringLiteral("a%20b%2F1%2Ezi3")},
        {QStringLiteral("😀"), QStringLiteral("%F0%9F%98%80")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrpHTMLExport::EncodeReportName(c.name), c.encoded);

    PreparedReport prepared = Pages(2, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("x")); });
    prepared.Report().SetFileName(QStringLiteral("/reports/Архив.zi3"));
    const HtmlRun run = ExportHtml(prepared, [](TrpHTMLExport& f) {
        f.Multipage = true;
        f.Navigator = true;
        f.ReportPath = QStringLiteral("/reports/");
    });
    ASSERT_TRUE(run.exported);
    const QString navigator = run.Read(QStringLiteral("rep.files/nav.html"));
    EXPECT_TRUE(navigator.contains(QStringLiteral("var rpRepName = \"%D0%90%D1%80%D1%85%D0%B8%D0%B2%2Ezi3\";")))
        << navigator.toStdString();
    EXPECT_TRUE(navigator.contains(QStringLiteral("var rpPgCnt = 2;")));
    EXPECT_TRUE(navigator.contains(QStringLiteral("var rpMultipage = 1;")));
    EXPECT_TRUE(navigator.contains(QStringLiteral("value=\"Начало\"")));
    EXPECT_TRUE(navigator.contains(QStringLiteral("Всего страниц: ")));
    EXPECT_FALSE(navigator.contains(QStringLiteral("bRefresh")));
    EXPECT_TRUE(run.main.contains(QStringLiteral("<frame name=\"topFrame\" src=\"rep.files/nav.html\" noresize scrolling=\"no\">")));
    EXPECT_TRUE(run.main.contains(QStringLiteral("<frame name=\"mainFrame\" src=\"rep.files/1.html\">")));
}

TEST(HtmlExport, TemplatesReplaceTheNavigatorAndTheFrameset)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("x")); });
    QString navigatorArguments;
    const HtmlRun run = ExportHtml(prepared, [&](TrpHTMLExport& f) {
        f.Navigator = true;
        f.UseTemplates = true;
        f.PicsInSameFolder = true;
        f.OnGetNavTemplate = [&](const QString& name, bool multipage, QString& text, int32_t pages, const QString& path,
                                 bool same) {
            navigatorArguments = QStringLiteral("%1|%2|%3|%4|%5").arg(name).arg(multipage).arg(pages).arg(path).arg(same);
            text = QStringLiteral("навигатор");
        };
        f.OnGetMainTemplate = [](const QString&, const QString& prefix, QString& text, bool) { text = prefix; };
    });
    ASSERT_TRUE(run.exported);
    EXPECT_EQ(navigatorArguments, QStringLiteral("|0|1|rep.|1"));
    EXPECT_EQ(run.Read(QStringLiteral("rep.nav.html")), QStringLiteral("навигатор"));
    EXPECT_EQ(run.main, QStringLiteral("rep."));
    EXPECT_TRUE(run.Read(QStringLiteral("rep.main.html")).contains(QStringLiteral("<table")));
}

TEST(HtmlExport, AnUnwritableFolderIsAnErrorLineAndNoHalfFile)
{
    PreparedReport prepared = Pages(2, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("x")); });
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(target));
    testsupport::ReadOnlyFolder locked(target.toStdString());
    if (!locked.Ok())
        GTEST_SKIP() << "the file system cannot make a folder read-only";
    for (const bool multipage : {false, true}) {
        SCOPED_TRACE(multipage ? "page files" : "one file");
        prepared.Report().ClearErrors();
        auto filter = TrpCustomExportFilter::CreateNoRegister<TrpHTMLExport>();
        filter->ShowDialog = false;
        filter->ShowProgress = false;
        filter->Multipage = multipage;
        filter->FileName = target + QStringLiteral("/rep.html");
        prepared.Report().EngineOptions().NewSilentMode = simSilent;
        prepared.Report().Export(filter.get());
        const QStringList errors = prepared.Report().Errors();
        // One line per file attempted: each page file, or the one document.
        ASSERT_EQ(errors.size(), multipage ? 2 : 1) << errors.join(u'\n').toStdString();
        for (const QString& error : errors)
            EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file"))) << error.toStdString();
        EXPECT_TRUE(filter->Files()->isEmpty());
        EXPECT_TRUE(FilesUnder(target).isEmpty());
    }
}

TEST(HtmlExport, AStreamGetsOneDocumentWithoutPictures)
{
    PreparedReport prepared = Pages(2, [](TrpBand& band) {
        Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("в поток"));
        auto* picture = new TrpPictureView(&band);
        picture->SetBounds(220, 0, 32, 32);
    });
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpHTMLExport>();
    filter->ShowDialog = true; // a stream needs no window
    filter->ShowProgress = false;
    filter->Multipage = true;
    filter->Navigator = true;
    filter->Stream = &buffer;
    ASSERT_TRUE(prepared.Report().Export(filter.get()));
    const QString html = QString::fromUtf8(buffer.data());
    EXPECT_EQ(Count(html, QStringLiteral("в поток")), 2);
    EXPECT_FALSE(html.contains(QStringLiteral("<img")));
    EXPECT_FALSE(filter->Multipage);
    EXPECT_FALSE(filter->Navigator);
}

TEST(HtmlExport, OptionsAndDefaults)
{
    ExportRuntime::init();
    auto filter = TrpCustomExportFilter::CreateNoRegister<TrpHTMLExport>();
    EXPECT_EQ(filter->GetDescription(), QStringLiteral("Документ HTML (табличный)"));
    EXPECT_EQ(filter->FilterDesc, QStringLiteral("Файл HTML (*.html)|*.html"));
    EXPECT_EQ(filter->DefaultExt, QStringLiteral(".html"));
    EXPECT_TRUE(filter->FixedWidth);
    EXPECT_TRUE(filter->ExportPictures);
    EXPECT_TRUE(filter->ExportStyles);
    EXPECT_TRUE(filter->EmptyLines);
    EXPECT_EQ(filter->PictureType, gpPNG);
    EXPECT_EQ(filter->HTMLDocumentBegin.size(), 4);
    EXPECT_EQ(filter->HTMLDocumentEnd, QStringList{QStringLiteral("</body></html>")});
    filter->Centered = true;
    filter->Print = true;
    filter->DataOnly = true;
    ApplyDeviceFrameSettings(*filter);
    EXPECT_FALSE(filter->Centered);
    EXPECT_FALSE(filter->Print);
    EXPECT_FALSE(filter->DataOnly);
    EXPECT_TRUE(filter->ShowProgress);
    const RegisteredClass* registered = PropertyRegistry::Global().FindByName(u"TrpHTMLExport");
    ASSERT_NE(registered, nullptr);
    for (const char* name : {"OpenAfterExport", "FixedWidth", "ExportPictures", "PicsInSameFolder", "ExportStyles",
                             "Navigator", "Multipage", "MozillaFrames", "AbsLinks", "Background", "Centered",
                             "EmptyLines", "HTMLDocumentBegin", "HTMLDocumentBody", "HTMLDocumentEnd", "URLTarget", "Print",
                             "PictureType", "FileName", "ShowProgress"})
        EXPECT_NE(registered->Find(QString::fromLatin1(name)), nullptr) << name;
}

// rptool export --format html on the archive fixture, as a user runs it: Python's HTML parser
// lays out every table, and every cell matches rptool matrix's placement at its position.
TEST(HtmlExport, RptoolExportMatchesTheMatrixCellForCell)
{
    QTemporaryDir folder;
    const std::string rptool = QFileInfo(QStringLiteral(DAX_RPTOOL)).absoluteFilePath().toStdString();
    const std::string data = QFileInfo(QStringLiteral(DAX_EXPORT_DATA)).absoluteFilePath().toStdString();
    const std::string tools = QFileInfo(QStringLiteral(DAX_EXPORT_TOOLS)).absoluteFilePath().toStdString();
    const std::string t = folder.path().toStdString();
    std::string output;
    ASSERT_EQ(testsupport::RunCommand("'" + rptool + "' prepare '" + data + "/archive.zi3' --csv Hours='" + data
                                          + "/hours.csv' --out '" + t + "/a.zp3'",
                                      output),
              0)
        << output;
    ASSERT_EQ(testsupport::RunCommand("'" + rptool + "' export '" + t + "/a.zp3' --format html --out '" + t + "/h/r.html'",
                                      output),
              0)
        << output;
    ASSERT_EQ(testsupport::RunCommand("'" + rptool + "' matrix '" + t + "/a.zp3' > '" + t + "/m.txt'", output), 0)
        << output;
    ASSERT_EQ(testsupport::RunCommand("/usr/bin/python3 '" + tools + "/check_html_tables.py' '" + t + "/h/r.html' --matrix '"
                                          + t + "/m.txt'",
                                      output),
              0)
        << output;
    EXPECT_NE(output.find("ok tables=20 "), std::string::npos) << output;
    const QString html = ReadText(folder.filePath(QStringLiteral("h/r.html")));
    EXPECT_TRUE(html.contains(QStringLiteral("Часовые данные")));
    EXPECT_FALSE(html.contains(QStringLiteral("underline |")));

    ASSERT_EQ(testsupport::RunCommand("'" + rptool + "' export '" + t + "/a.zp3' --format html --set Multipage=True "
                                          "--set Navigator=True --out '" + t + "/m/r.html'",
                                      output),
              0)
        << output;
    QStringList expected{QStringLiteral("r.files/nav.html"), QStringLiteral("r.html")};
    for (int page = 1; page <= 20; ++page)
        expected << QStringLiteral("r.files/%1.html").arg(page);
    expected.sort();
    EXPECT_EQ(FilesUnder(folder.filePath(QStringLiteral("m"))), expected);
    for (int page = 1; page <= 20; ++page) {
        ASSERT_EQ(testsupport::RunCommand("/usr/bin/python3 '" + tools + "/check_html_tables.py' '" + t + "/m/r.files/"
                                              + std::to_string(page) + ".html'",
                                          output),
                  0)
            << page << output;
    }
    // A property the filter does not have is refused, and nothing is written.
    EXPECT_EQ(testsupport::RunCommand("'" + rptool + "' export '" + t + "/a.zp3' --format html --set Colour=1 --out '" + t
                                          + "/x/r.html' 2>&1",
                                      output),
              2);
    EXPECT_NE(output.find("Colour"), std::string::npos) << output;
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("x"))));
    // So is a picture type the enumeration does not know.
    EXPECT_EQ(testsupport::RunCommand("'" + rptool + "' export '" + t + "/a.zp3' --format html --set PictureType=gpXYZ --out '"
                                          + t + "/x/r.html'",
                                      output),
              2);
    EXPECT_NE(output.find("\"gpXYZ\" is no element of TrpPictureType"), std::string::npos) << output;
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("x"))));
    // Lists of lines take their text.
    ASSERT_EQ(testsupport::RunCommand("'" + rptool + "' export '" + t + "/a.zp3' --format html --pages 2 --set "
                                          "'HTMLDocumentBody=<p>Шапка</p>' --set ExportStyles=False --out '" + t + "/b/r.html'",
                                      output),
              0)
        << output;
    const QString body = ReadText(folder.filePath(QStringLiteral("b/r.html")));
    EXPECT_TRUE(body.contains(QStringLiteral("\r\n<p>Шапка</p>\r\n<a name=\"PageN1\"></a>"))) << body.toStdString();
    EXPECT_FALSE(body.contains(QStringLiteral("<style")));
    EXPECT_TRUE(body.contains(QStringLiteral("Страница 2 из 20")));
    EXPECT_FALSE(body.contains(QStringLiteral("Страница 1 из 20")));
}

TEST(HtmlExport, OpenAfterExportOpensTheDocumentOrTheFirstPage)
{
    struct Case {
        const char* name;
        std::function<void(TrpHTMLExport&)> set;
        QString opened; // relative to the folder
    };
    const Case cases[] = {
        {"one file", {}, QStringLiteral("rep.html")},
        {"page files", [](TrpHTMLExport& f) { f.Multipage = true; }, QStringLiteral("rep.files/1.html")},
        {"page files in the frameset",
         [](TrpHTMLExport& f) {
             f.Multipage = true;
             f.Navigator = true;
         },
         QStringLiteral("rep.html")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reporttest::RecordingReportUi ui;
        PreparedReport prepared = Pages(1, [](TrpBand& band) { Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("x")); });
        const HtmlRun run = ExportHtml(prepared, [&](TrpHTMLExport& f) {
            f.OpenAfterExport = true;
            if (c.set)
                c.set(f);
        });
        ASSERT_TRUE(run.exported);
        EXPECT_EQ(ui.OpenedUrls, QStringList{QUrl::fromLocalFile(run.Path(c.opened)).toString()});
    }
}

TEST(HtmlExport, DocumentOptions)
{
    const auto build = [](TrpBand& band) {
        TrpMemoView* memo = Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("<b>жирный</b>"));
        memo->AllowHTMLTags = false; // tags are read all the same
    };
    struct Case {
        const char* name;
        std::function<void(TrpHTMLExport&)> set;
        QStringList present;
        QStringList absent;
    };
    const Case cases[] = {
        {"defaults", {},
         {QStringLiteral("<table width=\"200\" border=\"0\""), QStringLiteral(" class=\"s0\"><b>жирный</b></td>"),
          QStringLiteral("<style type=\"text/css\">")},
         {QStringLiteral("parent.print()"), QStringLiteral("align=\"center\"")}},
        {"print, centred, no fixed width",
         [](TrpHTMLExport& f) {
             f.Print = true;
             f.Centered = true;
             f.FixedWidth = false;
         },
         {QStringLiteral("<script language=\"javascript\" type=\"text/javascript\"> parent.focus(); parent.print();</script>\r\n<title>"),
          QStringLiteral("<table align=\"center\" border=\"0\"")},
         {QStringLiteral("<table width=")}},
        {"no styles, own body lines",
         [](TrpHTMLExport& f) {
             f.ExportStyles = false;
             f.HTMLDocumentBody = QStringList{QStringLiteral("<h1>Шапка</h1>")};
         },
         {QStringLiteral("<td><b>жирный</b></td>"), QStringLiteral("text=\"#000000\">\r\n<h1>Шапка</h1>\r\n<a name=\"PageN1\">")},
         {QStringLiteral("<style"), QStringLiteral("class=\"s")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreparedReport prepared = Pages(1, build);
        const HtmlRun run = ExportHtml(prepared, c.set);
        ASSERT_TRUE(run.exported);
        for (const QString& text : c.present)
            EXPECT_TRUE(run.main.contains(text)) << text.toStdString() << "\n" << run.main.toStdString();
        for (const QString& text : c.absent)
            EXPECT_FALSE(run.main.contains(text)) << text.toStdString();
    }
}

// A report whose objects would make a grid past the matrix's limit: the export reports it and
// writes no file (nothing of that size is allocated).
TEST(HtmlExport, AGridPastTheLimitIsAnErrorLineAndNoFile)
{
    PreparedReport prepared = Pages(1, [](TrpBand& band) {
        // 3,000 memos on a diagonal, each with edges of its own: 6,000 x 6,000 cells.
        for (int i = 0; i < 3000; ++i)
            Memo(band, QStringLiteral("M%1").arg(i), i * 2, i * 2, 1, 1, QString());
    });
    const HtmlRun run = ExportHtml(prepared);
    const QStringList errors = prepared.Report().Errors();
    ASSERT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Страницы отчёта дают слишком большую сетку ячеек"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].endsWith(QString::number(TrpIEMatrix::kMaxCells) + QStringLiteral(" ячеек")));
    EXPECT_TRUE(FilesUnder(run.folder->path()).isEmpty());
    EXPECT_TRUE(run.files.isEmpty());
}

TEST(HtmlExport, ThePageBackgroundBecomesTheBodyPicture)
{
    struct Case {
        const char* name;
        std::function<void(TrpHTMLExport&)> set;
        QStringList files;
        QString page;
        QString background; // the body's attribute, empty for none
    };
    const Case cases[] = {
        {"one file", [](TrpHTMLExport& f) { f.Background = true; },
         {QStringLiteral("rep.files/backgrnd.png"), QStringLiteral("rep.html")}, QStringLiteral("rep.html"),
         QStringLiteral("rep.files/backgrnd.png")},
        {"page files, one picture for both",
         [](TrpHTMLExport& f) {
             f.Background = true;
             f.Multipage = true;
         },
         {QStringLiteral("rep.files/1.html"), QStringLiteral("rep.files/2.html"), QStringLiteral("rep.files/backgrnd.png")},
         QStringLiteral("rep.files/2.html"), QStringLiteral("backgrnd.png")},
        {"background off", {}, {QStringLiteral("rep.html")}, QStringLiteral("rep.html"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreparedReport prepared = Pages(2, [](TrpBand& band) {
            Memo(band, QStringLiteral("M"), 0, 0, 200, 20, QStringLiteral("x"));
            dynamic_cast<TrpReportPage*>(band.Parent())->SetColor(RGBColor(0xFF, 0xFF, 0xC0));
        });
        const HtmlRun run = ExportHtml(prepared, c.set);
        ASSERT_TRUE(run.exported);
        EXPECT_EQ(run.files, c.files);
        EXPECT_EQ(FilesUnder(run.folder->path()), c.files);
        const QString page = run.Read(c.page);
        if (c.background.isEmpty()) {
            EXPECT_FALSE(page.contains(QStringLiteral(" background="))) << page.toStdString();
        } else {
            EXPECT_TRUE(page.contains(QStringLiteral("<body\r\n background=\"") + c.background
                                      + QStringLiteral("\"\r\n bgcolor=\"#FFFFFF\" text=\"#000000\">")))
                << page.toStdString();
            const QImage picture(run.Path(c.files.filter(QStringLiteral("backgrnd")).value(0)));
            ASSERT_FALSE(picture.isNull());
            EXPECT_EQ(picture.pixel(picture.width() / 2, picture.height() / 2) & 0xFFFFFF, 0xFFFFC0u);
        }
    }
}
