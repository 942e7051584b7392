// The writer of the report XML dialect: golden files byte for byte, read back by Python's
// xml.etree as an independent reader, the layout rules and what a save guarantees.

#include "XMLTestSupport.h"

#include "report/model/rpXML.h"

#include "Failures.h"
#include "Subprocess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <functional>
#include <ostream>
#include <string>

namespace {

using xmltest::kHeader;
using xmltest::Load;
using xmltest::Save;

const QString kDataDir = QStringLiteral(DAX_REPORT_MODEL_DATA "/xml/");

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A small tree with escapes, Cyrillic, a value element and an unloadable element.
void BuildGoldenTree(TrpXMLDocument& document)
{
    TrpXMLItem* root = document.Root();
    root->SetName(QStringLiteral("report"));
    root->SetProp(u"Title", QStringLiteral("Отчёт \"за\" <май> & июнь"));
    root->SetProp(u"Note", QStringLiteral("a\r\nb"));
    TrpXMLItem* page = root->Add(QStringLiteral("page"));
    page->SetProp(u"Name", QStringLiteral("Page1"));
    TrpXMLItem* memo = page->Add(QStringLiteral("memo"));
    memo->SetProp(u"Name", QStringLiteral("Memo1"));
    memo->SetProp(u"Text", QStringLiteral("Итого: 5 > 3 & 2 < 4"));
    page->Add(QStringLiteral("value"))->SetValue(QStringLiteral("Значение & <ok>"));
    root->Add(QStringLiteral("empty"));
    TrpXMLItem* second = root->Add(QStringLiteral("page"));
    second->SetProp(u"Name", QStringLiteral("Page2"));
    second->SetUnloadable(true);
    second->Add(QStringLiteral("memo"))->SetProp(u"Name", QStringLiteral("Memo2"));
}

TEST(XMLWriter, WritesTheGoldenFiles)
{
    TrpXMLDocument document;
    BuildGoldenTree(document);
    EXPECT_EQ(Save(document, true), ReadFile(kDataDir + "written-indented.xml"));
    EXPECT_EQ(Save(document, false), ReadFile(kDataDir + "written-flat.xml"));
}

// Every element in document order as Python's ElementTree reads it: tag, attributes in order,
// and the text of a childless element.
const char kPythonReader[] = R"(import sys, json, xml.etree.ElementTree as ET
out = []
for element in ET.parse(sys.argv[1]).getroot().iter():
    out.append([element.tag, [[k, v] for k, v in element.attrib.items()], element.text if len(element) == 0 else None])
print(json.dumps(out))
)";

QJsonArray PythonReads(const QString& fileName)
{
    QTemporaryDir folder;
    const QString script = folder.filePath(QStringLiteral("reader.py"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write(kPythonReader) < 0)
        return {};
    file.close();
    std::string output;
    const int status = testsupport::RunCommand("python3 '" + script.toStdString() + "' '" + fileName.toStdString() + "'", output);
    EXPECT_EQ(status, 0) << output;
    return QJsonDocument::fromJson(QByteArray::fromStdString(output)).array();
}

void Flatten(TrpXMLItem* item, std::vector<TrpXMLItem*>& items)
{
    items.push_back(item);
    for (int i = 0; i < item->Count(); ++i)
        Flatten(item->Items(i), items);
}

class XMLPythonReads : public ::testing::TestWithParam<const char*> {};

TEST_P(XMLPythonReads, EveryAttributeValueAsWeDo)
{
    const QString fileName = kDataDir + GetParam();
    const QJsonArray python = PythonReads(fileName);
    TrpXMLDocument document;
    ASSERT_EQ(Load(document, ReadFile(fileName)).rfind("error", 0), std::string::npos);
    std::vector<TrpXMLItem*> ours;
    Flatten(document.Root(), ours);
    ASSERT_EQ(python.size(), static_cast<qsizetype>(ours.size()));
    for (size_t i = 0; i < ours.size(); ++i) {
        const QJsonArray element = python[static_cast<qsizetype>(i)].toArray();
        SCOPED_TRACE(ours[i]->Name().toStdString());
        EXPECT_EQ(element[0].toString(), ours[i]->Name());
        int compared = 0;
        for (const QJsonValue attribute : element[1].toArray()) {
            const QString name = attribute.toArray()[0].toString();
            if (name == u"ld" && ours[i]->Unloadable())
                continue; // the partial-loading marker is no attribute to us
            EXPECT_TRUE(ours[i]->PropExists(name)) << name.toStdString();
            EXPECT_EQ(ours[i]->Prop(name), attribute.toArray()[1].toString()) << name.toStdString();
            ++compared;
        }
        if (ours[i]->Name() == u"value") {
            EXPECT_EQ(element[2].toString(), QStringLiteral("Значение & <ok>"));
        }
        EXPECT_EQ(compared == 0, ours[i]->Text().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, XMLPythonReads,
                         ::testing::Values("written-indented.xml", "written-flat.xml", "indented.xml", "flat.xml"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::erase(name, '-');
                             return name;
                         });

TEST(XMLWriter, TheWritersOwnFormReadsBackUnchanged)
{
    for (const char* name : {"indented.xml", "flat.xml"}) {
        const QByteArray original = ReadFile(kDataDir + name);
        TrpXMLDocument document;
        Load(document, original);
        EXPECT_EQ(Save(document, original.contains("\r\n")), original) << name;
    }
}

struct LayoutCase {
    const char* name;
    std::function<void(TrpXMLItem&)> build; // fills the root "a"
    QByteArray flat;                        // after the header
    QByteArray readBack = {};               // saved again after loading, when not `flat`
};

void PrintTo(const LayoutCase& c, std::ostream* out)
{
    *out << c.name;
}

const LayoutCase kLayoutCases[] = {
    {"Childless", [](TrpXMLItem&) {}, "<a/>"},
    {"Attributes", [](TrpXMLItem& a) { a.SetText(R"(x="1" y="2")"); }, R"(<a x="1" y="2"/>)"},
    {"UnloadableWithoutText", [](TrpXMLItem& a) { a.SetUnloadable(true); }, R"(<a  ld="0"/>)"},
    {"UnloadableWithText", [](TrpXMLItem& a) { a.SetUnloadable(true); a.SetText(R"(x="1")"); }, R"(<a x="1" ld="0"/>)"},
    {"UnloadableTextEndingInBlank", [](TrpXMLItem& a) { a.SetUnloadable(true); a.SetText(R"(x="1" )"); }, R"(<a x="1" ld="0"/>)"},
    {"LeadingBlankNotDoubled", [](TrpXMLItem& a) { a.SetText(R"( x="1")"); }, R"(<a x="1"/>)"},
    {"LeadingBlanksDropped", [](TrpXMLItem& a) { a.SetText(R"(   x="1")"); }, R"(<a x="1"/>)"},
    {"BlankTextDropped", [](TrpXMLItem& a) { a.SetText(QStringLiteral("  ")); }, "<a/>"},
    {"TrailingBlankBeforeSlashKept", [](TrpXMLItem& a) { a.SetText(R"(x="1" )"); }, R"(<a x="1" />)"},
    {"TrailingBlankBeforeCloseDropped", [](TrpXMLItem& a) { a.SetText(R"(x="1" )"); a.Add(QStringLiteral("b")); },
     R"(<a x="1"><b/></a>)"},
    // Values are never read: what is read back has none.
    {"SlashEndingTextWithChildren", [](TrpXMLItem& a) { a.SetText(QStringLiteral("x/")); a.Add(QStringLiteral("b")); },
     "<a x/  ><b/></a>"},
    {"SlashEndingTextUnloadable", [](TrpXMLItem& a) { a.SetText(QStringLiteral("x/")); a.SetUnloadable(true); a.Add(QStringLiteral("b")); },
     "<a x/ ld=\"0\"><b/></a>"},
    {"SlashEndingTextChildless", [](TrpXMLItem& a) { a.SetText(QStringLiteral("x/")); }, "<a x//>"},
    {"ValueEscaped", [](TrpXMLItem& a) { a.SetValue(QStringLiteral("1 < 2\r\n")); }, "<a>1 &#60; 2&#13;&#10;</a>", "<a/>"},
    {"ValueOnlyWithoutChildren", [](TrpXMLItem& a) { a.SetValue(QStringLiteral("v")); a.Add(QStringLiteral("b")); },
     "<a><b/></a>"},
    {"AnsiName", [](TrpXMLItem& a) { a.Add(QStringLiteral("Прибор")); }, "<a><\xCF\xF0\xE8\xE1\xEE\xF0/></a>"},
    {"NameWithoutAnsiCharacter", [](TrpXMLItem& a) { a.Add(QStringLiteral("x€y✓")); }, "<a><x\x88y?/></a>"},
};

class XMLWriterLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(XMLWriterLayout, WritesAndReadsBackTheSame)
{
    const LayoutCase& c = GetParam();
    TrpXMLDocument document;
    document.Root()->SetName(QStringLiteral("a"));
    c.build(*document.Root());
    const QByteArray saved = Save(document);
    EXPECT_EQ(saved, kHeader + c.flat);
    TrpXMLDocument again;
    Load(again, saved);
    EXPECT_EQ(Save(again), c.readBack.isEmpty() ? saved : kHeader + c.readBack);
}

INSTANTIATE_TEST_SUITE_P(Cases, XMLWriterLayout, ::testing::ValuesIn(kLayoutCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(XMLWriter, EmptyDocumentIsTheHeaderAlone)
{
    TrpXMLDocument document;
    EXPECT_EQ(Save(document), kHeader);
    EXPECT_EQ(Save(document, true), kHeader + "\r\n");
    EXPECT_EQ(Load(document, kHeader), "");
}

TEST(XMLWriter, RefusesWhatCouldNotBeReadBack)
{
    const std::string invalid = "error: Invalid file format";
    const auto saveFailure = [](TrpXMLDocument& document) {
        try {
            Save(document);
        } catch (const platform::Exception& failure) {
            return "error: " + failure.Message();
        }
        return std::string("saved");
    };
    TrpXMLDocument deep;
    TrpXMLItem* item = deep.Root();
    item->SetName(QStringLiteral("a"));
    for (int level = 2; level <= kMaxXMLDepth; ++level)
        item = item->Add(QStringLiteral("a"));
    EXPECT_EQ(saveFailure(deep), "saved");
    item->Add(QStringLiteral("a"));
    EXPECT_EQ(saveFailure(deep), invalid);

    TrpXMLDocument nameless;
    nameless.Root()->SetName(QStringLiteral("a"));
    nameless.Root()->Add();
    EXPECT_EQ(saveFailure(nameless), invalid);

    for (const char* name : {"/a", "a b", "a<", "a>b"}) {
        TrpXMLDocument badName;
        badName.Root()->SetName(QString::fromUtf8(name));
        EXPECT_EQ(saveFailure(badName), invalid) << name;
    }
    for (const char* text : {"x=\"<\"", "x=\">\""}) {
        TrpXMLDocument badText;
        badText.Root()->SetName(QStringLiteral("a"));
        badText.Root()->SetText(QString::fromUtf8(text));
        EXPECT_EQ(saveFailure(badText), invalid) << text;
    }

    TrpXMLDocument huge;
    huge.Root()->SetName(QStringLiteral("a"));
    huge.Root()->SetText(QString(kMaxXMLTagLength, u'x'));
    EXPECT_EQ(saveFailure(huge), invalid);
}

TEST(XMLWriter, SaveToFileReplacesTheFileWhole)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("report.zi3"));
    TrpXMLDocument document;
    BuildGoldenTree(document);
    document.SaveToFile(fileName);
    EXPECT_EQ(ReadFile(fileName), ReadFile(kDataDir + "written-flat.xml"));
    // Loaded again with partial loading: the unloadable page is out of memory.
    EXPECT_EQ(xmltest::Dump(*document.Root()),
              "report[Title=\"Отчёт &#34;за&#34; &#60;май&#62; &#38; июнь\" Note=\"a&#13;&#10;b\"]"
              "{page[Name=\"Page1\"]{memo[Name=\"Memo1\" Text=\"Итого: 5 &#62; 3 &#38; 2 &#60; 4\"],value},empty,"
              "page[Name=\"Page2\"]-}");

    // A save that fails half-way leaves the old file and no stray file beside it.
    document.Root()->Add();
    EXPECT_EQ(testsupport::MessageOf([&] { document.SaveToFile(fileName); }), "Invalid file format");
    EXPECT_EQ(ReadFile(fileName), ReadFile(kDataDir + "written-flat.xml"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.zi3")});
}

TEST(XMLWriter, FileErrorsNameTheFile)
{
    TrpXMLDocument document;
    EXPECT_EQ(testsupport::MessageOf([&] { document.LoadFromFile(QStringLiteral("/nonexistent/r.zi3")); }),
              "Cannot open file \"/nonexistent/r.zi3\". No such file or directory");
    document.Root()->SetName(QStringLiteral("a"));
    const std::string failure = testsupport::MessageOf([&] { document.SaveToFile(QStringLiteral("/nonexistent/r.zi3")); });
    EXPECT_EQ(failure.rfind("Cannot create file \"/nonexistent/r.zi3\". ", 0), 0u) << failure;
}

} // namespace
