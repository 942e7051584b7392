// The reader of the report XML dialect: bytes to tree and attribute text, or the failure.

#include "XMLTestSupport.h"

#include "report/model/rpXML.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <ostream>
#include <string>

namespace {

using xmltest::kHeader;
using xmltest::Load;

struct ReaderCase {
    const char* name;
    QByteArray bytes;   // after the header unless the case brings its own
    std::string tree;   // Dump of the root, or "error: ..."
    bool ownHeader = false;
};

void PrintTo(const ReaderCase& c, std::ostream* out)
{
    *out << c.name;
}

const std::string kInvalid = "error: Invalid file format";

const ReaderCase kReaderCases[] = {
    {"NameAndSlash", "<page/>", "page"},
    {"AttributeAndSlash", R"(<item a="1"/>)", R"(item[a="1"])"},
    {"BlankBeforeSlashStays", R"(<item a="1" />)", R"(item[a="1" ])"},
    {"OneBlankBeforeCloseDropped", R"(<item a="1" ><b/></item>)", R"(item[a="1"]{b})"},
    {"OnlyOneBlankDropped", R"(<item a="1"  ><b/></item>)", R"(item[a="1" ]{b})"},
    {"NameEndingInTwoSlashes", "<a//>", "a/"},
    {"ChildrenInOrder", "<r><a/><b x=\"1\"/><c><d/></c></r>", R"(r{a,b[x="1"],c{d}})"},
    {"CharacterDataSkipped", "<a>text<b/>more\r\n  </a>", "a{b}"},
    {"EndTagDiffersOnlyInCase", "<Page><b/></PAGE>", "Page{b}"},
    {"EndTagOfAnotherElement", "<a><b></a></b>", kInvalid},
    {"TextAfterLastTag", "<a/>trailing text", "a"},
    {"ElementsAfterRootIgnored", "<a/><b/>", "a"},
    {"OpenAtEndOfStream", "<a><b><c/>", "a{b{c}}"},
    {"LessThanInsideTag", "<a x=\"<\"/>", kInvalid},
    {"EndOfStreamInsideTag", "<a><b x=\"1\"", kInvalid},
    {"CommentWithDashesSkipped", "<a><!-- x - y -- z --><b/></a>", "a{b}"},
    {"CommentHoldsTags", "<a><!-- <b/> <c> --><d/></a>", "a{d}"},
    {"ThreeDashesDoNotClose", "<a><!-- x ---><b/>--><c/></a>", "a{c}"},
    {"FiveDashesClose", "<a><!-- x -----><b/></a>", "a{b}"},
    {"CommentOpenAtEnd", "<a><b/><!-- never closed <c/>", "a{b}"},
    {"CommentBeforeHeader", "<!-- first -->" + kHeader + "<a/>", "a", true},
    {"HeaderOnly", "", ""},
    {"EndTagWhereRootBelongs", "</a>", kInvalid},
    {"EmptyNameWhereRootBelongs", "< x=\"1\">", kInvalid},
    {"EmptyNameEndsParent", "<a><b/>< x><c/>", "a{b}"},
    {"NoHeader", "<a/>", kInvalid, true},
    {"EmptyStream", "", kInvalid, true},
    {"WrongHeaderName", "<?xnl version=\"1.0\"?><a/>", kInvalid, true},
    {"HeaderOfOtherVersion", "<?xml version=\"1.1\" encoding=\"utf-8\"?><a t=\"\xD0\x96\"/>", "a[t=\"\xD0\x96\"]", true},
    {"AnsiElementName", "<\xCF\xF0\xE8\xE1\xEE\xF0 x=\"1\"/>", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB1\xD0\xBE\xD1\x80[x=\"1\"]"},
    {"MarkerReadWithChildren", "<a><p  ld=\"0\"><c/></p></a>", "a{p+{c}}"},
    {"MarkerAnyCase", "<a><p x=\"1\" LD=\"0\"><c/></p></a>", "a{p[x=\"1\"]+{c}}"},
    {"MarkerTwiceLastIsRemoved", "<a><p x ld=\"0\" ld=\"0\"><c/></p></a>", "a{p[x ld=\"0\"]+{c}}"},
    {"MarkerNeedsBlank", "<a><p ld=\"0\"/></a>", "a{p[ld=\"0\"]}"},
    {"RawTextKept", "<a Font.Name=\"x\"\r\n  Name=\"&#34;y&amp;\"/>", "a[Font.Name=\"x\"\r\n  Name=\"&#34;y&amp;\"]"},
};

class XMLReaderCases : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(XMLReaderCases, ReadsTreeOrFails)
{
    const ReaderCase& c = GetParam();
    EXPECT_EQ(Load(c.ownHeader ? c.bytes : kHeader + c.bytes), c.tree);
}

INSTANTIATE_TEST_SUITE_P(Edges, XMLReaderCases, ::testing::ValuesIn(kReaderCases),
                         [](const ::testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

TEST(XMLReader, OldHeaderTakesAttributeTextAsWindows1251)
{
    const QByteArray cp1251 = "<a t=\"\xCF\xF0\xE8\xE2\xE5\xF2\"/>"; // Привет
    TrpXMLDocument old;
    EXPECT_EQ(Load(old, "<?xml version=\"1.0\"?>" + cp1251), "a[t=\"Привет\"]");
    EXPECT_TRUE(old.OldVersion());
    EXPECT_EQ(old.Root()->Prop(u"t"), QStringLiteral("Привет"));

    TrpXMLDocument current;
    EXPECT_EQ(Load(current, "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><a t=\"Привет\"/>"),
              "a[t=\"Привет\"]");
    EXPECT_FALSE(current.OldVersion());
    // The same Windows-1251 bytes under the current header are not UTF-8.
    TrpXMLDocument misread;
    EXPECT_EQ(Load(misread, kHeader + cp1251), "a[t=\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"]");
}

TEST(XMLReader, OldDocumentSavesInCurrentFormat)
{
    TrpXMLDocument document;
    Load(document, "<?xml version=\"1.0\"?><a t=\"\xC0\"/>");
    EXPECT_EQ(xmltest::Save(document), kHeader + "<a t=\"\xD0\x90\"/>");
}

TEST(XMLReader, NestingUpToTheLimit)
{
    QByteArray deep = kHeader;
    for (int i = 0; i < kMaxXMLDepth; ++i)
        deep += "<a>";
    TrpXMLDocument document;
    ASSERT_EQ(Load(document, deep).substr(0, 4), "a{a{");
    int depth = 0;
    for (const TrpXMLItem* item = document.Root(); item; item = item->Count() ? item->Items(0) : nullptr)
        ++depth;
    EXPECT_EQ(depth, kMaxXMLDepth);
    EXPECT_EQ(Load(deep + "<a/>"), kInvalid);
    EXPECT_EQ(Load(deep + "<a>"), kInvalid);
}

TEST(XMLReader, TagLongerThanTheLimit)
{
    const QByteArray atLimit = kHeader + "<a x=\"" + QByteArray(kMaxXMLTagLength - 6, 'y') + "\">";
    TrpXMLDocument document;
    auto stream = xmltest::Stream(atLimit);
    document.LoadFromStream(*stream);
    EXPECT_EQ(document.Root()->Text().size(), kMaxXMLTagLength - 2);
    const QByteArray overLimit = kHeader + "<a x=\"" + QByteArray(kMaxXMLTagLength - 5, 'y') + "\">";
    EXPECT_EQ(Load(overLimit), kInvalid);
}

// Reads the bytes after the header with a memory limit of `limit`.
std::string ReadLimited(const QByteArray& bytes, qint64 limit, bool readChildren)
{
    QBuffer buffer;
    buffer.setData(kHeader + bytes);
    buffer.open(QIODevice::ReadOnly);
    TrpXMLReader reader(&buffer);
    reader.SetMemoryLimit(limit);
    TrpXMLItem root;
    try {
        reader.ReadHeader();
        reader.ReadRootItem(root, readChildren);
    } catch (const platform::Exception& failure) {
        return "error: " + failure.Message();
    }
    return xmltest::Dump(root);
}

TEST(XMLReader, ElementsKeptInMemoryAreLimited)
{
    // Each element counts its tag's bytes and its share of the tree.
    const qint64 element = 1 + kXMLElementCost; // "r" or "c/"
    const QByteArray tenChildren = "<r>" + QByteArray("<c/>").repeated(10) + "</r>";
    EXPECT_EQ(ReadLimited(tenChildren, element + 10 * (element + 1), true), "r{c,c,c,c,c,c,c,c,c,c}");
    EXPECT_EQ(ReadLimited(tenChildren, element + 10 * (element + 1) - 1, true), kInvalid);
    // Children dropped by partial loading free their share: many unloadable pages fit where
    // all of them in memory would not.
    const QByteArray page = "<p  ld=\"0\">" + QByteArray("<c/>").repeated(10) + "</p>";
    const QByteArray pages = "<r>" + page.repeated(40) + "</r>";
    EXPECT_EQ(ReadLimited(pages, 4000, true), kInvalid);
    EXPECT_EQ(ReadLimited(pages, 4000, false).substr(0, 9), "r{p-,p-,p");
}

TEST(XMLReader, FailedLoadLeavesTheDocumentAsItWas)
{
    TrpXMLDocument document;
    ASSERT_EQ(Load(document, kHeader + "<a><b/></a>"), "a{b}");
    TrpXMLItem* root = document.Root();
    EXPECT_EQ(Load(document, kHeader + "<c><d></c>"), kInvalid);
    EXPECT_EQ(xmltest::Dump(*document.Root()), "a{b}");
    EXPECT_EQ(document.Root(), root);
}

TEST(XMLReader, ReaderLeavesStreamAfterLastTag)
{
    QBuffer buffer;
    buffer.setData(kHeader + "<a><b/></a>  <next/>");
    buffer.open(QIODevice::ReadOnly);
    {
        TrpXMLReader reader(&buffer);
        reader.ReadHeader();
        TrpXMLItem item;
        ASSERT_TRUE(reader.ReadRootItem(item, true));
        EXPECT_EQ(xmltest::Dump(item), "a{b}");
        EXPECT_EQ(reader.Position(), kHeader.size() + 11);
    }
    EXPECT_EQ(buffer.pos(), kHeader.size() + 11);
    TrpXMLReader again(&buffer);
    TrpXMLItem next;
    ASSERT_TRUE(again.ReadRootItem(next, true));
    EXPECT_EQ(next.Name(), QStringLiteral("next"));
    TrpXMLItem end;
    EXPECT_FALSE(again.ReadRootItem(end, true));
    EXPECT_EQ(end.Name(), QString());
}

TEST(XMLReader, ReadsAcrossBufferBoundaries)
{
    // Tags and comments that straddle the 4096-byte blocks read as any other.
    QByteArray bytes = kHeader + "<r>";
    for (int i = 0; i < 600; ++i)
        bytes += "<item n=\"" + QByteArray::number(i) + "\"/><!-- -- " + QByteArray(i % 7, '-') + " -->";
    bytes += "</r>";
    TrpXMLDocument document;
    Load(document, bytes);
    ASSERT_EQ(document.Root()->Count(), 600);
    for (int i = 0; i < 600; ++i)
        EXPECT_EQ(document.Root()->Items(i)->Prop(u"n"), QString::number(i));
}

} // namespace
