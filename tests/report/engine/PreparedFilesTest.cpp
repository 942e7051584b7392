// Prepared-report files (.zp3): the committed two-page file loads, saves back to its bytes and
// reads back page by page, in-process, with partial loading and through rptool; Python's
// xml.etree reads it; hostile files give their error and leave the store that was there.
//
// DAX_WRITE_ENGINE_FIXTURES=1 writes the hostile files of data/hostile again (each is the
// two-page file with one change) instead of comparing them.

#include "EngineTestSupport.h"

#include "Subprocess.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

using namespace enginetest;

namespace {

using testsupport::ProgramRun;
using testsupport::RunProgram;

const QString kTwoPages = kEngineData + QStringLiteral("zp3/two-pages.zp3");
const QString kHostile = kEngineData + QStringLiteral("hostile/");

// Every page of a store as DumpPage prints it.
QString DumpAll(TrpPreviewPages& store)
{
    QStringList pages;
    for (int32_t i = 0; i < store.GetCount(); ++i)
        pages << store.PageElementName(i) + u'\n' + DumpPage(store, store.GetPage(i));
    return pages.join(u'\n');
}

TEST(PreparedFiles, TwoPageFileLoadsAndSavesBackToItsBytes)
{
    const QByteArray bytes = ReadFileBytes(kTwoPages);
    PreparedReport built = BuildTwoPageStore();
    PreparedReport loaded;
    ASSERT_TRUE(loaded.Store().LoadFromFile(kTwoPages, true));
    EXPECT_EQ(SaveStore(loaded.Store()).toStdString(), bytes.toStdString());
    // The pages read back with the same objects and texts.
    EXPECT_EQ(DumpAll(loaded.Store()).toStdString(), DumpAll(built.Store()).toStdString());
    EXPECT_EQ(loaded.Store().PictureCache().PictureBytes(1), BmpBytes());
    // And again after the pages were read.
    EXPECT_EQ(SaveStore(loaded.Store()).toStdString(), bytes.toStdString());
}

TEST(PreparedFiles, LoadingSetsTheReportsPreviewSettings)
{
    PreparedReport prepared = BuildTwoPageStore();
    prepared.Report().DotMatrixReport = true;
    prepared.Report().PreviewOptions().OutlineVisible = true;
    prepared.Report().PreviewOptions().OutlineWidth = 250;
    prepared.Report().ReportOptions().Name = QStringLiteral("Имя \"в кавычках\"");
    const QByteArray saved = SaveStore(prepared.Store());
    EXPECT_TRUE(saved.contains("<TrpReport DotMatrixReport=\"1\" PreviewOptions.OutlineVisible=\"1\" "
                               "PreviewOptions.OutlineWidth=\"250\" ReportOptions.Name=\"Имя &#34;в кавычках&#34;\"/>"));
    PreparedReport loaded;
    LoadStore(loaded.Store(), saved);
    EXPECT_TRUE(loaded.Report().DotMatrixReport);
    EXPECT_TRUE(loaded.Report().PreviewOptions().OutlineVisible);
    EXPECT_EQ(loaded.Report().PreviewOptions().OutlineWidth, 250);
    EXPECT_EQ(loaded.Report().ReportOptions().Name, "Имя \"в кавычках\"");
}

TEST(PreparedFiles, DictionaryMapsAliasesToTheLoadedSourceObjects)
{
    PreparedReport loaded;
    loaded.Store().LoadFromFile(kTwoPages, true);
    TrpComponent* title = loaded.Store().Dictionary().GetObject(u"m1");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Name(), "Title");
    EXPECT_EQ(title->Page(), loaded.Store().SourcePages()[0]);
    // The source objects carry their full base text.
    EXPECT_TRUE(title->BaseName().startsWith(u"TrpMemoView Left=\"0\"")) << title->BaseName().toStdString();
    // The bulky parts of the file are not kept in the document.
    EXPECT_EQ(ItemAt(loaded.Store(), QStringLiteral("sourcepages"))->Count(), 0);
    EXPECT_EQ(ItemAt(loaded.Store(), QStringLiteral("picturecache"))->Count(), 0);
}

TEST(PreparedFiles, EmptyStoreSavesAndLoadsEmpty)
{
    PreparedReport empty;
    const QByteArray saved = SaveStore(empty.Store());
    PreparedReport loaded = BuildTwoPageStore();
    LoadStore(loaded.Store(), saved);
    EXPECT_EQ(loaded.Store().GetCount(), 0);
    EXPECT_EQ(loaded.Store().Dictionary().Count(), 0);
    EXPECT_TRUE(loaded.Store().SourcePages().empty());
    EXPECT_EQ(SaveStore(loaded.Store()), saved);
}

TEST(PreparedFiles, MissingFileIsSkippedOrRaisedAsAsked)
{
    PreparedReport prepared = BuildTwoPageStore();
    const QByteArray before = SaveStore(prepared.Store());
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("none.zp3"));
    EXPECT_FALSE(prepared.Store().LoadFromFile(missing, false));
    try {
        prepared.Store().LoadFromFile(missing, true);
        ADD_FAILURE() << "loaded";
    } catch (const platform::Exception& error) {
        EXPECT_TRUE(QString::fromStdString(error.Message()).startsWith(u"Cannot open file")) << error.Message();
    }
    // Not a regular file.
    EXPECT_THROW(prepared.Store().LoadFromFile(folder.path(), true), platform::Exception);
    EXPECT_EQ(SaveStore(prepared.Store()), before);
}

TEST(PreparedFiles, PartialLoadingKeepsPagesInTheFileUntilTheyAreRead)
{
    PreparedReport built;
    FillRows(built, AddRowsPage(built.Report()), 5, 2);
    const QByteArray saved = SaveStore(built.Store());
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("rows.zp3"));
    WriteFileBytes(fileName, saved);

    PreparedReport loaded;
    auto file = std::make_unique<QFile>(fileName);
    ASSERT_TRUE(file->open(QIODevice::ReadOnly));
    loaded.Store().LoadFromStream(std::move(file), true);
    const TrpXMLItem* pages = ItemAt(loaded.Store(), QStringLiteral("previewpages"));
    ASSERT_EQ(pages->Count(), 5);
    EXPECT_TRUE(pages->Items(1)->Loaded());
    EXPECT_FALSE(pages->Items(2)->Loaded());
    EXPECT_EQ(DumpAll(loaded.Store()).toStdString(), DumpAll(built.Store()).toStdString());
    EXPECT_EQ(SaveStore(loaded.Store()), saved);

    // The reference form reads the whole stream.
    PreparedReport whole;
    QFile again(fileName);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    whole.Store().LoadFromStream(again, true);
    again.close();
    EXPECT_TRUE(ItemAt(whole.Store(), QStringLiteral("previewpages"))->Items(2)->Loaded());
    EXPECT_EQ(DumpAll(whole.Store()).toStdString(), DumpAll(built.Store()).toStdString());
}

TEST(PreparedFiles, FailedSaveLeavesTheOldFile)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("kept.zp3"));
    WriteFileBytes(fileName, "old");
    PreparedReport prepared = BuildTwoPageStore();
    // An element the writer cannot write makes the save fail half-way.
    ItemAt(prepared.Store(), QStringLiteral("previewpages"))->Items(1)->Add(QStringLiteral("bad name"));
    EXPECT_THROW(prepared.Store().SaveToFile(fileName), platform::Exception);
    EXPECT_EQ(ReadFileBytes(fileName), "old");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).join(u' '), "kept.zp3");
    EXPECT_THROW(prepared.Store().SaveToFile(folder.filePath(QStringLiteral("no/such/folder.zp3"))), platform::Exception);
}

TEST(PreparedFiles, PythonReadsEveryFixture)
{
    // What Python's reader finds in each committed file: every file of the folder is listed.
    const struct {
        const char* file;
        const char* print;
        const char* expected;
    } fixtures[] = {
        {"two-pages.zp3", "print(root.tag, len(pages), pages[0][1][0].get('u'), names[3])",
         "preparedreport 2 Строка 1 Page0.Title\n"},
        {"a3.zp3", "print(root.tag, len(pages), [e.get('u') for e in pages.iter() if e.get('u')][0], names[-1])",
         "preparedreport 1 Страница 1 Page0.Hidden1\n"},
    };
    const QStringList files = QDir(kEngineData + QStringLiteral("zp3")).entryList({QStringLiteral("*.zp3")}, QDir::Files);
    ASSERT_EQ(files.size(), static_cast<qsizetype>(std::size(fixtures)));
    for (const auto& fixture : fixtures) {
        SCOPED_TRACE(fixture.file);
        ASSERT_TRUE(files.contains(QString::fromLatin1(fixture.file)));
        const ProgramRun run = RunProgram(
            {"python3", "-c",
             std::string("import sys, xml.etree.ElementTree as E\n"
                         "root = E.parse(sys.argv[1]).getroot()\n"
                         "pages = root.find('previewpages')\n"
                         "names = [e.get('name') for e in root.find('dictionary')]\n")
                 + fixture.print,
             (kEngineData + QStringLiteral("zp3/") + QString::fromLatin1(fixture.file)).toStdString()});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, fixture.expected);
    }
}

// --- hostile files

struct Hostile {
    const char* File;
    std::function<QByteArray(QByteArray)> Change; // of the two-page file
    const char* Error;                            // empty: the file loads
};

void PrintTo(const Hostile& hostile, std::ostream* out)
{
    *out << hostile.File;
}

QByteArray Replace(QByteArray bytes, const char* from, const char* to)
{
    EXPECT_TRUE(bytes.contains(from)) << from;
    return bytes.replace(from, to);
}

const Hostile kHostileFiles[] = {
    {"no-root.zp3", [](QByteArray) { return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"); },
     "Invalid file format"},
    {"other-root.zp3", [](QByteArray b) { return Replace(Replace(b, "<preparedreport>", "<TrpReport>"), "</preparedreport>", "</TrpReport>"); },
     "Invalid file format"},
    {"dictionary-page99.zp3", [](QByteArray b) { return Replace(b, "name=\"Page0.Title\"", "name=\"Page99.Title\""); },
     "Invalid file format"},
    {"dictionary-no-dot.zp3", [](QByteArray b) { return Replace(b, "name=\"Page0.Title\"", "name=\"Page0Title\""); },
     "Invalid file format"},
    {"dictionary-bad-name.zp3", [](QByteArray b) { return Replace(b, "name=\"Page0.Title\"", "name=\"Page0.Ti tle\""); },
     "Invalid file format"},
    {"unknown-alias.zp3", [](QByteArray b) { return Replace(b, "<m3 u=\"25.0\"/>", "<m99 u=\"25.0\"/>"); },
     "Class m99 not found"},
    {"page77777.zp3", [](QByteArray b) { return Replace(Replace(b, "<page0><b2 t=\"0\">", "<page77777><b2 t=\"0\">"), "</page0></previewpages>", "</page77777></previewpages>"); },
     "Invalid file format"},
    {"pageX.zp3", [](QByteArray b) { return Replace(Replace(b, "<page0><b2 t=\"0\">", "<pageX><b2 t=\"0\">"), "</page0></previewpages>", "</pageX></previewpages>"); },
     "Invalid file format"},
    {"bad-hex.zp3", [](QByteArray b) { return Replace(b, "<item stream=\"424D", "<item stream=\"42G4D"); },
     "Invalid hexadecimal text"},
    {"truncated.zp3", [](QByteArray b) { return b.left(b.size() / 2); }, "Invalid file format"},
    {"misplaced-source.zp3",
     [](QByteArray b) { return Replace(b, "Text=\"[Name]\"/>", "Text=\"[Name]\"><TrpMemoView Name=\"Inner\"/></TrpMemoView>"); },
     "Недопустимое размещение объекта класса TrpMemoView"},
    {"outline-top.zp3", [](QByteArray b) { return Replace(b, "page=\"0\" top=\"60\"", "page=\"0\" top=\"sixty\""); },
     "Invalid file format"},
    {"anchor-page.zp3", [](QByteArray b) { return Replace(b, "text=\"row4\" page=\"1\"", "text=\"row4\" page=\"\""); },
     "Invalid file format"},
    {"outline-width.zp3", [](QByteArray b) { return Replace(b, "OutlineWidth=\"120\"", "OutlineWidth=\"-5\""); },
     "Invalid file format"},
    // An odd number of digits loses its last one; the file loads.
    {"odd-hex.zp3", [](QByteArray b) { return Replace(b, "<item stream=\"424D", "<item stream=\"4424D"); }, ""},
};

class HostileFiles : public testing::TestWithParam<Hostile> {};

TEST_P(HostileFiles, AreTheTwoPageFileWithOneChange)
{
    const Hostile& hostile = GetParam();
    const QByteArray bytes = hostile.Change(ReadFileBytes(kTwoPages));
    const QString fileName = kHostile + QString::fromLatin1(hostile.File);
    if (qEnvironmentVariableIsSet("DAX_WRITE_ENGINE_FIXTURES")) {
        QDir().mkpath(kHostile);
        WriteFileBytes(fileName, bytes);
        return;
    }
    EXPECT_EQ(ReadFileBytes(fileName).toStdString(), bytes.toStdString());
}

TEST_P(HostileFiles, GiveTheirErrorAndLeaveTheStore)
{
    const Hostile& hostile = GetParam();
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    store.GetPage(1);
    prepared.Report().PreviewOptions().OutlineWidth = 77;
    const QByteArray before = SaveStore(store);
    const QString dumpBefore = DumpAll(store);
    const QString fileName = kHostile + QString::fromLatin1(hostile.File);
    if (*hostile.Error == 0) {
        ASSERT_TRUE(store.LoadFromFile(fileName, true));
        EXPECT_EQ(store.GetCount(), 2);
        EXPECT_EQ(store.PictureCache().PictureBytes(1).left(3), QByteArray::fromHex("4424DF"));
        return;
    }
    try {
        store.LoadFromFile(fileName, true);
        ADD_FAILURE() << "loaded";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), hostile.Error);
    }
    EXPECT_EQ(DumpAll(store).toStdString(), dumpBefore.toStdString());
    EXPECT_EQ(prepared.Report().PreviewOptions().OutlineWidth, 77);
    EXPECT_EQ(SaveStore(store).toStdString(), before.toStdString());
}

// A page stored whole as a dot-matrix page (the engine's classes know it) loads as one.
TEST(PreparedFiles, AWholeDotMatrixPageLoadsAsOne)
{
    PreparedReport prepared = BuildTwoPageStore();
    TrpPreviewPages& store = prepared.Store();
    ASSERT_TRUE(store.LoadFromFile(kHostile + QStringLiteral("dot-matrix-page.zp3"), true));
    ASSERT_EQ(store.GetCount(), 2);
    TrpReportPage* page = store.GetPage(1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->ClassName(), QStringLiteral("TrpDMPPage"));
    EXPECT_TRUE(page->IsDotMatrixPage());
}

INSTANTIATE_TEST_SUITE_P(Table, HostileFiles, testing::ValuesIn(kHostileFiles),
                         [](const testing::TestParamInfo<Hostile>& info) {
                             QString name = QString::fromLatin1(info.param.File);
                             name.chop(4);
                             return name.replace(u'-', u'_').toStdString();
                         });

// --- rptool

class RptoolZp3 : public testing::Test {
protected:
    ProgramRun Run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), DAX_RPTOOL);
        return RunProgram(arguments);
    }
    std::string Temp(const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir folder;
};

TEST_F(RptoolZp3, RoundTripGivesTheSameBytesTwice)
{
    const ProgramRun first = Run({"zp3-roundtrip", kTwoPages.toStdString(), Temp("a.zp3")});
    ASSERT_EQ(first.status, 0) << first.err;
    const ProgramRun second = Run({"zp3-roundtrip", Temp("a.zp3"), Temp("b.zp3")});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(ReadFileBytes(QString::fromStdString(Temp("b.zp3"))), ReadFileBytes(kTwoPages));
    EXPECT_EQ(ReadFileBytes(QString::fromStdString(Temp("a.zp3"))), ReadFileBytes(kTwoPages));
}

TEST_F(RptoolZp3, InfoListsThePages)
{
    const ProgramRun run = Run({"zp3-info", kTwoPages.toStdString()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "pages=2\n0\tpage0\t794x1123\t210x297\n1\tpage0\t794x1123\t210x297\n");
}

TEST_F(RptoolZp3, TextExpandsTheMacrosAsTheExportDoes)
{
    ProgramRun run = Run({"zp3-text", kTwoPages.toStdString(), "--page", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Строка 4\n50.0\nСтрока 5\n62.5\nСтраница 2 из 2\n");
    run = Run({"zp3-text", kTwoPages.toStdString(), "--band", "pageheader1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Отчет «Пример»\n");
    run = Run({"zp3-text", kTwoPages.toStdString(), "--page", "3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "The prepared report has no page 3.\n");
}

TEST_F(RptoolZp3, DumpPrintsTheLayout)
{
    const ProgramRun run = Run({"zp3-dump", kTwoPages.toStdString()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "page 0 page0 794.00 1123.00\n"
              "  b1 Page0.PageHeader1 0.00 0.00 718.11 40.00\n"
              "    m1 Page0.Title 0.00 0.00 600.00 24.00 Отчет «Пример»\n"
              "    p1 Page0.Logo 640.00 0.00 32.00 32.00\n"
              "  b2 Page0.MasterData1 0.00 60.00 718.11 20.00\n"
              "    m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 1\n"
              "    m3 Page0.Value 300.00 0.00 120.00 20.00 12.5\n"
              "  b2 Page0.MasterData1 0.00 80.00 718.11 20.00\n"
              "    m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 2\n"
              "    m3 Page0.Value 300.00 0.00 120.00 20.00 25.0\n"
              "  b2 Page0.MasterData1 0.00 100.00 718.11 20.00\n"
              "    m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 3\n"
              "    m3 Page0.Value 300.00 0.00 120.00 20.00 37.5\n"
              "  b3 Page0.PageFooter1 0.00 1000.00 718.11 20.00\n"
              "    m4 Page0.PageNo 0.00 0.00 300.00 20.00 Страница 1 из 2\n"
              "page 1 page0 794.00 1123.00\n"
              "  b2 Page0.MasterData1 0.00 0.00 718.11 20.00\n"
              "    m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 4\n"
              "    m3 Page0.Value 300.00 0.00 120.00 20.00 50.0\n"
              "  b2 Page0.MasterData1 0.00 20.00 718.11 20.00\n"
              "    m2 Page0.Name 0.00 0.00 300.00 20.00 Строка 5\n"
              "    m3 Page0.Value 300.00 0.00 120.00 20.00 62.5\n"
              "  b3 Page0.PageFooter1 0.00 1000.00 718.11 20.00\n"
              "    m4 Page0.PageNo 0.00 0.00 300.00 20.00 Страница 2 из 2\n");
}

TEST_F(RptoolZp3, RenderDrawsThePageOnA4At96Dpi)
{
    const ProgramRun run = Run({"zp3-render", kTwoPages.toStdString(), "--page", "1", "--out", Temp("p1.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage image(QString::fromStdString(Temp("p1.png")));
    EXPECT_EQ(image.size(), QSize(794, 1123));
    // The title's frame is drawn at the printable area's corner (10 mm = 38 pixels).
    EXPECT_EQ(image.pixelColor(38, 50), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    const ProgramRun half = Run({"zp3-render", kTwoPages.toStdString(), "--page", "2", "--out", Temp("p2.png"),
                                 "--scale", "0.5"});
    ASSERT_EQ(half.status, 0) << half.err;
    EXPECT_EQ(QImage(QString::fromStdString(Temp("p2.png"))).size(), QSize(397, 561));
}

TEST_F(RptoolZp3, BadFilesAndUsage)
{
    ProgramRun run = Run({"zp3-info", (kHostile + QStringLiteral("dictionary-page99.zp3")).toStdString()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Invalid file format\n");
    EXPECT_EQ(run.out, "");
    run = Run({"zp3-roundtrip", (kHostile + QStringLiteral("bad-hex.zp3")).toStdString(), Temp("x.zp3")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Invalid hexadecimal text\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Temp("x.zp3"))));
    run = Run({"zp3-dump", Temp("missing.zp3")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(QString::fromStdString(run.err).startsWith(u"Cannot open file")) << run.err;
    run = Run({"zp3-render", kTwoPages.toStdString(), "--page", "0", "--out", Temp("p.png")});
    EXPECT_EQ(run.status, 1);
    run = Run({"zp3-render", kTwoPages.toStdString(), "--page", "3", "--out", Temp("p.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(QString::fromStdString(run.err).endsWith(u"The prepared report has no page 3.\n")) << run.err;
    run = Run({"zp3-info"});
    EXPECT_EQ(run.status, 1);
    run = Run({"zp3-text", kTwoPages.toStdString(), "--colour", "red"});
    EXPECT_EQ(run.status, 1);
}

} // namespace
