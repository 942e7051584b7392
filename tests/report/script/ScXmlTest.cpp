// The script engine's XML tree: attribute escaping, the reader's forms and errors, the exact
// bytes the writer produces, and trees of any depth.

#include "report/script/sc_iconsts.h"
#include "report/script/sc_xml.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include <ostream>
#include <string>

namespace {

QByteArray Saved(const TscXMLDocument& document)
{
    return document.SaveToBytes();
}

// Loads bytes; returns the error message ("" when it loaded).
std::string LoadError(TscXMLDocument& document, const QByteArray& bytes, bool lenient = false)
{
    try {
        document.LoadFromBytes(bytes, lenient);
        return {};
    } catch (const platform::Exception& error) {
        return error.Message();
    }
}

struct PropCase {
    const char* name;
    QString value;
};

void PrintTo(const PropCase& c, std::ostream* out)
{
    *out << c.name;
}

class PropRoundTrip : public ::testing::TestWithParam<PropCase> {};

TEST_P(PropRoundTrip, ReadsBackExactlyWhatWasWritten)
{
    for (const bool indent : {false, true}) {
        TscXMLDocument document;
        document.SetAutoIndent(indent);
        document.Root()->SetName(QStringLiteral("root"));
        TscXMLItem* item = document.Root()->Add(QStringLiteral("item"));
        item->SetProp(QStringLiteral("first"), QStringLiteral("1"));
        item->SetProp(QStringLiteral("value"), GetParam().value);
        item->SetProp(QStringLiteral("last"), QStringLiteral("2"));
        EXPECT_EQ(item->Prop(QStringLiteral("value")), GetParam().value);

        TscXMLDocument again;
        again.LoadFromBytes(Saved(document));
        ASSERT_EQ(again.Root()->Count(), 1);
        const TscXMLItem* read = again.Root()->Items(0);
        EXPECT_EQ(read->Prop(QStringLiteral("value")), GetParam().value);
        EXPECT_EQ(read->Prop(QStringLiteral("first")), QStringLiteral("1"));
        EXPECT_EQ(read->Prop(QStringLiteral("last")), QStringLiteral("2"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, PropRoundTrip,
    ::testing::Values(PropCase{"specials", QStringLiteral("<a> \"b\" & c\r\nd")},
                      PropCase{"amp_entity_text", QStringLiteral("&amp;")},
                      PropCase{"quot_entity_text", QStringLiteral("&quot;x")},
                      PropCase{"numeric_entity_text", QStringLiteral("x&#60;y &#34;")},
                      PropCase{"trailing_ampersand", QStringLiteral("a&")},
                      PropCase{"lone_ampersand", QStringLiteral("&")},
                      PropCase{"cyrillic", QStringLiteral("Привет, мир")},
                      PropCase{"outside_the_basic_plane", QString::fromUtf8("\xF0\x9F\x98\x80 smile")},
                      PropCase{"lone_surrogate", QString(QChar(0xD800)) + QStringLiteral("x")},
                      PropCase{"empty", QString()},
                      PropCase{"tab_and_blanks", QStringLiteral("\t a  b ")}),
    [](const ::testing::TestParamInfo<PropCase>& info) { return std::string(info.param.name); });

struct RawCase {
    const char* name;
    const char* raw;      // attribute text as stored
    QString value;        // what Prop gives
};

void PrintTo(const RawCase& c, std::ostream* out)
{
    *out << c.name;
}

class StoredValues : public ::testing::TestWithParam<RawCase> {};

TEST_P(StoredValues, ReadAsStored)
{
    TscXMLItem item(QStringLiteral("x"), QString::fromUtf8(GetParam().raw));
    EXPECT_EQ(item.Prop(QStringLiteral("v")), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValues,
    ::testing::Values(RawCase{"quot_entity_keeps_next_character", "v=\"&quot;x\"", QStringLiteral("\"x")},
                      RawCase{"amp_entity_unchanged", "v=\"&amp;\"", QStringLiteral("&amp;")},
                      RawCase{"trailing_ampersand", "v=\"a&\"", QStringLiteral("a&")},
                      RawCase{"numeric_entity", "v=\"&#60;b&#62;\"", QStringLiteral("<b>")},
                      RawCase{"entity_without_semicolon_stays", "v=\"&#12\"", QStringLiteral("&#12")},
                      RawCase{"entity_outside_the_basic_plane", "v=\"&#128512;\"", QString::fromUtf8("\xF0\x9F\x98\x80")},
                      RawCase{"absent", "w=\"1\"", QString()},
                      RawCase{"name_inside_another_name", "xv=\"1\" v=\"2\"", QStringLiteral("2")},
                      RawCase{"any_letter_case", "V=\"3\"", QStringLiteral("3")},
                      RawCase{"unclosed_value_runs_to_the_end", "v=\"abc", QStringLiteral("abc")}),
    [](const ::testing::TestParamInfo<RawCase>& info) { return std::string(info.param.name); });

TEST(ScXMLItem, BadNumericEntitiesAreFormatErrors)
{
    for (const char* raw : {"v=\"&#0;\"", "v=\"&#1114112;\"", "v=\"&#99999999999;\"", "v=\"&#x41;\"", "v=\"&#;;\""}) {
        SCOPED_TRACE(raw);
        TscXMLItem item(QStringLiteral("x"), QString::fromUtf8(raw));
        try {
            (void)item.Prop(QStringLiteral("v"));
            ADD_FAILURE() << "no error";
        } catch (const platform::Exception& error) {
            EXPECT_EQ(error.Message(), "Invalid file format");
        }
    }
}

TEST(ScXMLItem, SetPropReplacesInPlaceAndAppendsWithOneBlank)
{
    TscXMLItem item(QStringLiteral("x"));
    item.SetProp(QStringLiteral("a"), QStringLiteral("1"));
    item.SetProp(QStringLiteral("b"), QStringLiteral("2"));
    EXPECT_EQ(item.Text(), QStringLiteral("a=\"1\" b=\"2\""));
    item.SetProp(QStringLiteral("A"), QStringLiteral("<"));
    EXPECT_EQ(item.Text(), QStringLiteral("A=\"&#60;\" b=\"2\""));
    EXPECT_TRUE(item.PropExists(QStringLiteral("a")));
    EXPECT_FALSE(item.PropExists(QStringLiteral("c")));
    TscXMLItem glued(QStringLiteral("x"), QStringLiteral("a=\"1\""));
    glued.SetProp(QStringLiteral("b"), QStringLiteral("&"));
    EXPECT_EQ(glued.Text(), QStringLiteral("a=\"1\" b=\"&#38;\""));
}

// An item of the parser's program tree reads and writes exactly as one made from its text.
TEST(ScXMLItem, ParsedItemsBehaveAsTheirText)
{
    const QString value = QStringLiteral("a\"<b>&\n");
    std::unique_ptr<TscXMLItem> leaf = TscXMLItem::MakeParsed(QStringLiteral("string"), &value, QStringLiteral("3:14"));
    TscXMLItem same(QStringLiteral("string"));
    same.SetProp(QStringLiteral("text"), value);
    same.SetProp(QStringLiteral("pos"), QStringLiteral("3:14"));
    EXPECT_EQ(leaf->Text(), same.Text());
    EXPECT_EQ(leaf->Prop(QStringLiteral("TEXT")), value);
    EXPECT_FALSE(leaf->PropExists(QStringLiteral("pos1")));
    const std::unique_ptr<TscXMLItem> node =
        TscXMLItem::MakeParsed(QStringLiteral("expr"), nullptr, QStringLiteral("1:2"), QStringLiteral("1:9"));
    EXPECT_EQ(node->Text(), QStringLiteral("pos=\"1:2\" pos1=\"1:9\""));
    EXPECT_FALSE(node->PropExists(QStringLiteral("text")));
    // Copies and changes keep every attribute.
    TscXMLItem copy;
    copy.Assign(leaf.get());
    EXPECT_EQ(copy.Text(), same.Text());
    leaf->SetProp(QStringLiteral("pos"), QStringLiteral("4:1"));
    EXPECT_EQ(leaf->Prop(QStringLiteral("text")), value);
    EXPECT_EQ(leaf->Prop(QStringLiteral("pos")), QStringLiteral("4:1"));
    leaf->SetText(QStringLiteral("x=\"1\""));
    EXPECT_FALSE(leaf->PropExists(QStringLiteral("text")));
    EXPECT_EQ(leaf->Prop(QStringLiteral("x")), QStringLiteral("1"));
}

TEST(ScXMLItem, ClearedItemsAreMadeAgainAsNewOnesExceptThoseWithAHandle)
{
    TscXMLItem root(QStringLiteral("program"));
    const QString token = QStringLiteral("7");
    std::vector<std::unique_ptr<TscXMLItem>> spare;
    std::unique_ptr<TscXMLItem> expr =
        TscXMLItem::MakeParsed(spare, QStringLiteral("expr"), nullptr, QStringLiteral("1:1"), QStringLiteral("1:3"));
    TscXMLItem* leaf = expr->AddItem(TscXMLItem::MakeParsed(spare, QStringLiteral("number"), &token, QStringLiteral("1:3")));
    leaf->SetData(&root);
    TscXMLItem* held = root.AddItem(std::move(expr));
    root.Add(QStringLiteral("types"), QStringLiteral("x=\"1\""))->Handle(); // a script holds this one

    root.ClearInto(spare, 2);
    EXPECT_EQ(root.Count(), 0);
    ASSERT_EQ(spare.size(), 2u); // the one with a handle is freed, and no more than the limit are kept
    EXPECT_EQ(spare[0].get(), held);
    EXPECT_EQ(spare[1].get(), leaf);
    for (const auto& item : spare) {
        EXPECT_EQ(item->Count(), 0);
        EXPECT_EQ(item->Parent(), nullptr);
    }

    // Made again, an item keeps nothing of what it was.
    const std::unique_ptr<TscXMLItem> again =
        TscXMLItem::MakeParsed(spare, QStringLiteral("op"), nullptr, QStringLiteral("2:5"));
    EXPECT_EQ(again.get(), leaf);
    EXPECT_EQ(again->Name(), QStringLiteral("op"));
    EXPECT_EQ(again->Text(), QStringLiteral("pos=\"2:5\""));
    EXPECT_FALSE(again->PropExists(QStringLiteral("text")));
    EXPECT_EQ(again->Data(), nullptr);
    ASSERT_EQ(spare.size(), 1u);
    TscXMLItem fresh(QStringLiteral("program"));
    fresh.AddItem(TscXMLItem::MakeParsed(spare, QStringLiteral("expr"), &token, QStringLiteral("1:1")));
    EXPECT_TRUE(spare.empty());
    EXPECT_EQ(fresh.Items(0), held);
    EXPECT_EQ(fresh.Items(0)->Parent(), &fresh);
    EXPECT_EQ(fresh.Items(0)->Text(), QStringLiteral("text=\"7\" pos=\"1:1\""));
}

// A three-level tree for the byte-exact goldens.
void FillTree(TscXMLDocument& document)
{
    TscXMLItem* root = document.Root();
    root->SetName(QStringLiteral("program"));
    TscXMLItem* statement = root->Add(QStringLiteral("assignstmt"), QStringLiteral("pos=\"1:1\""));
    statement->Add(QStringLiteral("node"), QStringLiteral("text=\"x\" pos=\"1:2\""));
    TscXMLItem* expr = statement->Add(QStringLiteral("expr"));
    expr->SetProp(QStringLiteral("pos"), QStringLiteral("1:6"));
    expr->Add(QStringLiteral("string"))->SetProp(QStringLiteral("text"), QStringLiteral("'a<b'"));
    root->Add(QStringLiteral("types"));
}

TEST(ScXMLWriter, AutoIndentWritesTwoBlanksALevelAndCrLf)
{
    TscXMLDocument document;
    document.SetAutoIndent(true);
    FillTree(document);
    EXPECT_EQ(Saved(document), QByteArray("<?xml version=\"1.0\"?>\r\n"
                                          "<program>\r\n"
                                          "  <assignstmt pos=\"1:1\">\r\n"
                                          "    <node text=\"x\" pos=\"1:2\"/>\r\n"
                                          "    <expr pos=\"1:6\">\r\n"
                                          "      <string text=\"'a&#60;b'\"/>\r\n"
                                          "    </expr>\r\n"
                                          "  </assignstmt>\r\n"
                                          "  <types/>\r\n"
                                          "</program>\r\n"));
}

TEST(ScXMLWriter, WithoutAutoIndentEverythingIsOneLine)
{
    TscXMLDocument document;
    FillTree(document);
    EXPECT_EQ(Saved(document), QByteArray("<?xml version=\"1.0\"?><program><assignstmt pos=\"1:1\"><node text=\"x\" "
                                          "pos=\"1:2\"/><expr pos=\"1:6\"><string text=\"'a&#60;b'\"/></expr>"
                                          "</assignstmt><types/></program>"));
}

TEST(ScXMLReader, SelfClosingFormsHaveNoChildren)
{
    TscXMLDocument document;
    document.LoadFromBytes("<?xml version=\"1.0\"?><r><a/><b x=\"1\"/><c x=\"2\" /><d /><e></e></r>");
    const TscXMLItem* root = document.Root();
    ASSERT_EQ(root->Count(), 5);
    const char* names[] = {"a", "b", "c", "d", "e"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(root->Items(i)->Name(), QString::fromLatin1(names[i]));
        EXPECT_EQ(root->Items(i)->Count(), 0);
    }
    EXPECT_EQ(root->Items(1)->Text(), QStringLiteral("x=\"1\""));
    EXPECT_EQ(root->Items(2)->Prop(QStringLiteral("x")), QStringLiteral("2"));
}

TEST(ScXMLReader, CommentsAndTextAreSkipped)
{
    TscXMLDocument document;
    document.LoadFromBytes("<?xml version=\"1.0\"?>\n<!-- a -- lone double dash <x/> -->"
                           "<r>text <!----> more<a>inner text</a><!-- ends at the first ---><b/></r>");
    const TscXMLItem* root = document.Root();
    EXPECT_EQ(root->Name(), QStringLiteral("r"));
    ASSERT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Items(0)->Name(), QStringLiteral("a"));
    EXPECT_EQ(root->Items(0)->Count(), 0);
    EXPECT_EQ(root->Items(0)->Text(), QString());
    EXPECT_EQ(root->Items(1)->Name(), QStringLiteral("b"));
}

TEST(ScXMLReader, TwoDocumentsBackToBackLeaveTheStreamBehindTheFirst)
{
    const QByteArray first = "<?xml version=\"1.0\"?><a><b/></a>";
    const QByteArray second = "<?xml version=\"1.0\"?><c/>";
    QByteArray data = first + "\r\n" + second;
    data += QByteArray(9000, ' '); // more than the reader's buffer behind the documents
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    TscXMLDocument document;
    document.LoadFromStream(buffer);
    EXPECT_EQ(document.Root()->Name(), QStringLiteral("a"));
    EXPECT_EQ(buffer.pos(), first.size());
    document.LoadFromStream(buffer);
    EXPECT_EQ(document.Root()->Name(), QStringLiteral("c"));
    EXPECT_EQ(buffer.pos(), first.size() + 2 + second.size());
}

TEST(ScXMLReader, FormatErrorsSayWhere)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        int line;
        int column;
    };
    const Case cases[] = {
        {"wrong closing tag", "<?xml version=\"1.0\"?>\n<a>\n  <b></c>\n</a>", 3, 9},
        {"no header", "<a/>", 1, 4},
        {"less-than inside a tag", "<?xml version=\"1.0\"?><a <b/>", 1, 25},
        {"stream ends inside a tag", "<?xml version=\"1.0\"?><a><b x=\"1", 1, 31},
        {"stream ends inside a comment", "<?xml version=\"1.0\"?><a><!-- x", 1, 30},
        {"truncated document", "<?xml version=\"1.0\"?><a><b>", 1, 27},
        {"closing tag without element", "<?xml version=\"1.0\"?></a>", 1, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TscXMLDocument document;
        document.Root()->SetName(QStringLiteral("kept"));
        try {
            document.LoadFromBytes(c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const platform::ELocatedError& error) {
            EXPECT_EQ(error.Message(), "Invalid file format");
            EXPECT_EQ(error.Line(), c.line);
            EXPECT_EQ(error.Column(), c.column);
        }
        EXPECT_EQ(document.Root()->Name(), QStringLiteral("kept")) << "a failed load changes nothing";
    }
}

TEST(ScXMLReader, LenientLoadKeepsATruncatedTree)
{
    TscXMLDocument document;
    document.LoadFromBytes("<?xml version=\"1.0\"?><a><b><c/>", true);
    ASSERT_EQ(document.Root()->Count(), 1);
    EXPECT_EQ(document.Root()->Items(0)->Name(), QStringLiteral("b"));
    EXPECT_EQ(document.Root()->Items(0)->Count(), 1);
}

TEST(ScXMLReader, AnEmptyDocumentHasAnEmptyRoot)
{
    TscXMLDocument document;
    EXPECT_EQ(LoadError(document, "<?xml version=\"1.0\"?>"), "");
    EXPECT_EQ(document.Root()->Name(), QString());
    EXPECT_EQ(document.Root()->Count(), 0);
}

TEST(ScXMLReader, NestingBeyondTheLimitIsRefused)
{
    auto nested = [](int depth) {
        QByteArray bytes = "<?xml version=\"1.0\"?>";
        for (int i = 0; i < depth; ++i)
            bytes += "<e>";
        for (int i = 0; i < depth; ++i)
            bytes += "</e>";
        return bytes;
    };
    TscXMLDocument document;
    EXPECT_EQ(LoadError(document, nested(kScXMLMaxDepth)), "");
    EXPECT_EQ(LoadError(document, nested(kScXMLMaxDepth + 1)),
              "XML elements nested too deep (limit is " + std::to_string(kScXMLMaxDepth) + ")");
}

TEST(ScXMLItem, TreesOfAnyDepthAreCopiedWrittenAndFreedWithoutRecursion)
{
    TscXMLDocument document;
    TscXMLItem* item = document.Root();
    item->SetName(QStringLiteral("r"));
    for (int i = 0; i < 200000; ++i)
        item = item->Add(QStringLiteral("e"));
    TscXMLItem copy;
    copy.Assign(document.Root());
    int depth = 0;
    for (const TscXMLItem* walk = &copy; walk->Count() > 0; walk = walk->Items(0))
        ++depth;
    EXPECT_EQ(depth, 200000);
    EXPECT_GT(Saved(document).size(), 200000 * 4);
    document.Clear();
    EXPECT_EQ(document.Root()->Count(), 0);
}

TEST(ScXMLItem, ChildrenMoveWholeAndOwnershipStaysClear)
{
    TscXMLItem root(QStringLiteral("root"));
    TscXMLItem* a = root.Add(QStringLiteral("a"));
    TscXMLItem* b = root.Add(QStringLiteral("B"));
    TscXMLItem* c = a->Add(QStringLiteral("c"));

    EXPECT_EQ(root.Find(QStringLiteral("b")), 1);
    EXPECT_EQ(root.FindItem(QStringLiteral("b")), b);
    TscXMLItem* created = root.FindItem(QStringLiteral("d"));
    EXPECT_EQ(root.IndexOf(created), 2);
    EXPECT_EQ(c->Root(), &root);

    // Setting the parent moves the item fully: out of the old list, into the new one.
    EXPECT_TRUE(c->SetParent(b));
    EXPECT_EQ(a->Count(), 0);
    ASSERT_EQ(b->Count(), 1);
    EXPECT_EQ(b->Items(0), c);
    EXPECT_EQ(c->Parent(), b);
    // The same parent again: the item becomes the last child.
    EXPECT_TRUE(a->SetParent(&root));
    EXPECT_EQ(root.IndexOf(a), 2);
    // Never into its own subtree, never without a parent.
    EXPECT_FALSE(b->SetParent(c));
    EXPECT_FALSE(root.SetParent(a));

    auto taken = root.TakeItem(root.IndexOf(b));
    EXPECT_EQ(taken->Parent(), nullptr);
    EXPECT_EQ(root.InsertItem(0, std::move(taken)), b);
    EXPECT_EQ(root.Items(0), b);

    delete created; // deleting a child directly takes it out of its parent's list
    EXPECT_EQ(root.IndexOf(created), -1);
    EXPECT_EQ(root.Count(), 2);

    try {
        (void)root.Items(2);
        ADD_FAILURE() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message(), "List index (2) out of bounds");
    }
}

TEST(ScXMLDocument, FilesAreWrittenWholeAndReadBack)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("tree.xml"));
    TscXMLDocument document;
    document.SetAutoIndent(true);
    FillTree(document);
    document.SaveToFile(file);
    TscXMLDocument again;
    again.LoadFromFile(file);
    again.SetAutoIndent(true);
    EXPECT_EQ(Saved(again), Saved(document));
    try {
        again.LoadFromFile(folder.filePath(QStringLiteral("missing.xml")));
        ADD_FAILURE() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_EQ(error.Message().rfind("Cannot open file \"", 0), 0u) << error.Message();
    }
}

} // namespace
