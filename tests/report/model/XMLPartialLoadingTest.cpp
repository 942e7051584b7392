// Partial loading: elements left in the load stream, elements unloaded into the temporary
// file, both brought back, and saving with items unloaded from either source.

#include "XMLTestSupport.h"

#include "report/model/rpXML.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using xmltest::Dump;
using xmltest::kHeader;
using xmltest::Load;
using xmltest::Save;

// A prepared report: pages marked unloadable, the second with a page of its own inside.
const QByteArray kPrepared = kHeader +
                             "<preparedreport><previewpages>"
                             "<page  ld=\"0\"><b n=\"1\"/><b n=\"2\"/></page>"
                             "<page Width=\"794\" ld=\"0\"><b n=\"3\"/><page  ld=\"0\"><b n=\"4\"/></page></page>"
                             "<page  ld=\"0\"><b n=\"5\"/></page>"
                             "</previewpages><other x=\"1\"/></preparedreport>";

// The files of the folder this process holds open, as /proc/self/fd links: the document's
// temporary file may have no name in the folder at all (it is made unnamed where the file
// system allows, so that nothing is left behind even by a crash).
std::vector<std::string> OpenFilesIn(const QString& folder)
{
    std::vector<std::string> links;
    const std::string prefix = QDir(folder).canonicalPath().toStdString() + "/";
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (!error && target.rfind(prefix, 0) == 0)
            links.push_back(entry.path().string());
    }
    return links;
}

TrpXMLItem* Page(TrpXMLDocument& document, int index)
{
    return document.Root()->Items(0)->Items(index);
}

TEST(XMLPartialLoading, MarkedElementsStayInTheStream)
{
    TrpXMLDocument document;
    EXPECT_EQ(Load(document, kPrepared, true),
              "preparedreport{previewpages{page-,page[Width=\"794\"]-,page-},other[x=\"1\"]}");
    EXPECT_EQ(Page(document, 0)->Offset(), kHeader.size() + 30);
    EXPECT_EQ(Load(kPrepared, false),
              "preparedreport{previewpages{page+{b[n=\"1\"],b[n=\"2\"]},page[Width=\"794\"]+{b[n=\"3\"],page+{b[n=\"4\"]}},"
              "page+{b[n=\"5\"]}},other[x=\"1\"]}");
}

TEST(XMLPartialLoading, LoadItemBringsChildrenBackAndKeepsTheText)
{
    TrpXMLDocument document;
    Load(document, kPrepared, true);
    TrpXMLItem* second = Page(document, 1);
    second->SetProp(u"Width", QStringLiteral("800"));
    document.LoadItem(second);
    EXPECT_EQ(Dump(*second), "page[Width=\"800\"]+{b[n=\"3\"],page+{b[n=\"4\"]}}");
    // Loading again, or an item that is not unloadable, changes nothing.
    document.LoadItem(second);
    document.LoadItem(document.Root());
    EXPECT_EQ(Dump(*second), "page[Width=\"800\"]+{b[n=\"3\"],page+{b[n=\"4\"]}}");
}

TEST(XMLPartialLoading, SavingBringsInEveryUnloadedItem)
{
    TrpXMLDocument full;
    Load(full, kPrepared, false);
    const QByteArray expected = Save(full);

    TrpXMLDocument document;
    Load(document, kPrepared, true);
    EXPECT_EQ(Save(document), expected);
    // Written from the stream and dropped again.
    EXPECT_EQ(Dump(*Page(document, 0)), "page-");
}

TEST(XMLPartialLoading, UnloadItemUsesTheTemporaryFileInTempDir)
{
    QTemporaryDir folder;
    TrpXMLDocument document;
    document.SetTempDir(folder.path());
    Load(document, kPrepared, true);
    document.LoadItem(Page(document, 0));
    Page(document, 0)->Items(0)->SetProp(u"n", QStringLiteral("changed"));
    document.UnloadItem(Page(document, 0));
    EXPECT_EQ(Dump(*Page(document, 0)), "page-");
    EXPECT_EQ(OpenFilesIn(folder.path()).size(), 1u);
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files))
        EXPECT_TRUE(name.startsWith(QStringLiteral("rp")) && name.size() == 8) << name.toStdString();

    document.LoadItem(Page(document, 0));
    EXPECT_EQ(Dump(*Page(document, 0)), "page+{b[n=\"changed\"],b[n=\"2\"]}");

    document.Clear();
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(OpenFilesIn(folder.path()).empty());
}

TEST(XMLPartialLoading, TemporaryFileInTheSystemFolderWhenTempDirIsMissing)
{
    TrpXMLDocument document;
    document.SetTempDir(QStringLiteral("/nonexistent/folder"));
    Load(document, kPrepared, true);
    document.LoadItem(Page(document, 2));
    document.UnloadItem(Page(document, 2));
    document.LoadItem(Page(document, 2));
    EXPECT_EQ(Dump(*Page(document, 2)), "page+{b[n=\"5\"]}");
}

TEST(XMLPartialLoading, SavingWithItemsUnloadedFromBothSources)
{
    QTemporaryDir folder;
    TrpXMLDocument document;
    document.SetTempDir(folder.path());
    Load(document, kPrepared, true);
    // Page 0 goes to the temporary file changed; page 1 stays in the load stream; page 2 is
    // brought in, its inner text changed, and unloaded again; the inner page of page 1 is
    // unloaded on its own after page 1 comes in.
    document.LoadItem(Page(document, 0));
    Page(document, 0)->Add(QStringLiteral("added"));
    document.UnloadItem(Page(document, 0));
    document.LoadItem(Page(document, 2));
    Page(document, 2)->Items(0)->SetProp(u"n", QStringLiteral("five"));
    document.UnloadItem(Page(document, 2));

    TrpXMLDocument expectedTree;
    Load(expectedTree, kPrepared, false);
    Page(expectedTree, 0)->Add(QStringLiteral("added"));
    Page(expectedTree, 2)->Items(0)->SetProp(u"n", QStringLiteral("five"));
    const QByteArray expected = Save(expectedTree, true);

    EXPECT_EQ(Save(document, true), expected);
    // Everything is where it was, and a second save gives the same.
    EXPECT_EQ(Dump(*document.Root()->Items(0)), "previewpages{page-,page[Width=\"794\"]-,page-}");
    EXPECT_EQ(Save(document, true), expected);

    document.LoadItem(Page(document, 1));
    TrpXMLItem* inner = Page(document, 1)->Items(1);
    document.UnloadItem(inner);
    EXPECT_EQ(Save(document, true), expected);
    // Unloading page 1 writes its inner page, read from the temporary file, into the same file.
    document.UnloadItem(Page(document, 1));
    EXPECT_EQ(Save(document, true), expected);
    document.LoadItem(Page(document, 1));
    EXPECT_EQ(Dump(*Page(document, 1)), "page[Width=\"794\"]+{b[n=\"3\"],page+{b[n=\"4\"]}}");
}

TEST(XMLPartialLoading, OldFormatItemsLoadAsTheyWereWritten)
{
    const QByteArray old = "<?xml version=\"1.0\"?><r><p t=\"\xC0\" ld=\"0\"><b t=\"\xC1\"/></p></r>";
    TrpXMLDocument document;
    EXPECT_EQ(Load(document, old, true), "r{p[t=\"А\"]-}");
    document.LoadItem(document.Root()->Items(0));
    EXPECT_EQ(Dump(*document.Root()), "r{p[t=\"А\"]+{b[t=\"Б\"]}}");
    document.UnloadItem(document.Root()->Items(0));
    document.LoadItem(document.Root()->Items(0));
    EXPECT_EQ(Dump(*document.Root()), "r{p[t=\"А\"]+{b[t=\"Б\"]}}");
}

TEST(XMLPartialLoading, LoadFromFileKeepsTheFileAsSource)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("prepared.zp3"));
    {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kPrepared);
    }
    TrpXMLDocument document;
    document.LoadFromFile(fileName);
    EXPECT_EQ(Dump(*Page(document, 2)), "page-");
    document.LoadItem(Page(document, 2));
    EXPECT_EQ(Dump(*Page(document, 2)), "page+{b[n=\"5\"]}");
}

TEST(XMLPartialLoading, AnItemUnloadedBeyondFourGibibytesReadsBack)
{
    QTemporaryDir folder;
    TrpXMLDocument document;
    document.SetTempDir(folder.path());
    Load(document, kPrepared, true);
    document.LoadItem(Page(document, 0));
    document.UnloadItem(Page(document, 0));
    const std::vector<std::string> files = OpenFilesIn(folder.path());
    ASSERT_EQ(files.size(), 1u);
    // A hole of five gibibytes: sparse, so nothing is written to the disk.
    const qint64 far = qint64{5} << 30;
    ASSERT_EQ(::truncate(files[0].c_str(), far), 0);

    document.LoadItem(Page(document, 2));
    Page(document, 2)->Items(0)->SetProp(u"n", QStringLiteral("far away"));
    document.UnloadItem(Page(document, 2));
    EXPECT_EQ(Page(document, 2)->Offset(), far);
    document.LoadItem(Page(document, 2));
    EXPECT_EQ(Dump(*Page(document, 2)), "page+{b[n=\"far away\"]}");
    // The item unloaded before the hole reads back too.
    document.LoadItem(Page(document, 0));
    EXPECT_EQ(Dump(*Page(document, 0)), "page+{b[n=\"1\"],b[n=\"2\"]}");
}

} // namespace
