#include "ReportModelTestClasses.h"

#include "report/model/rpRes.h"
#include "report/model/rpXML.h"

#include <QBuffer>

#include "UnderLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace modeltest;

namespace {

const QString kSampleText = QStringLiteral("a\r\nb \"q\" &<> Жук");

QByteArray Write(TrpComponent& root, bool saveChildren = true)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TrpXMLSerializer serializer(&buffer);
    serializer.WriteRootComponent(&root, saveChildren);
    return buffer.data();
}

QStringList Read(TrpComponent& root, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TrpXMLSerializer serializer(&buffer);
    serializer.ReadRootComponent(&root);
    return serializer.Errors();
}

const QByteArray kHeader = R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";

// --- samples and comparison by property kind, for every registered class

// A creatable report class that is `cls` or descends from it.
const RegisteredClass* CreatableOf(const ScriptClassInfo& cls)
{
    for (const RegisteredClass* c : PropertyRegistry::Global().Classes()) {
        if (c->Factory && c->Info.InheritsFrom(cls) && c->Info.InheritsFrom(TrpComponent::Class()))
            return c;
    }
    return nullptr;
}

void FillSamples(ScriptObject& object, TrpComponent* container, std::map<const ScriptClassInfo*, TrpComponent*>& siblings)
{
    const RegisteredClass* cls = PropertyRegistry::Global().FindFor(object.ScriptClass());
    if (cls == nullptr)
        return;
    for (const PropertyInfo* prop : cls->AllProperties()) {
        try {
            switch (prop->Kind) {
            case PropertyKind::Integer:
                if (prop->Set)
                    prop->Set(object, Variant(int32_t{200}));
                break;
            case PropertyKind::Char:
                if (prop->Set)
                    prop->Set(object, Variant(QStringLiteral("Ж")));
                break;
            case PropertyKind::Enum:
                if (prop->Set && prop->Enum != nullptr)
                    prop->Set(object, prop->Canonical(Variant(int32_t{prop->MaxValue()})));
                break;
            case PropertyKind::Set:
                if (prop->Set && prop->Enum != nullptr) {
                    const int count = static_cast<int>(prop->Enum->Values.size());
                    prop->Set(object, Variant(static_cast<int32_t>(count >= 31 ? 0x7FFFFFFF : (1 << count) - 1)));
                }
                break;
            case PropertyKind::Float:
                if (prop->Set)
                    prop->Set(object, Variant(12.5));
                break;
            case PropertyKind::String:
            case PropertyKind::EventName:
            case PropertyKind::Variant:
                if (prop->Set && prop->Name != u"Name")
                    prop->Set(object, Variant(kSampleText));
                break;
            case PropertyKind::Reference: {
                if (!prop->SetObject || prop->ObjectClass == nullptr)
                    break;
                if (container == nullptr)
                    break; // a report root has no siblings to refer to
                TrpComponent*& sibling = siblings[prop->ObjectClass];
                if (sibling == nullptr) {
                    const RegisteredClass* target = CreatableOf(*prop->ObjectClass);
                    if (target == nullptr)
                        break;
                    sibling = TrpComponent::CreateByName(target->Name()).release();
                    sibling->AttachTo(container);
                    sibling->SetName(QStringLiteral("Sibling%1").arg(siblings.size()));
                }
                prop->SetObject(object, sibling);
                break;
            }
            case PropertyKind::StringList:
            case PropertyKind::WideStringList:
                if (prop->SetText)
                    prop->SetText(object, QStringLiteral("line 1\r\n\"Ж\" &<>\r\n"));
                break;
            case PropertyKind::NestedObject:
                if (prop->GetObject) {
                    if (ScriptObject* nested = prop->GetObject(object))
                        FillSamples(*nested, container, siblings);
                }
                break;
            default:
                break;
            }
        } catch (const platform::Exception&) {
            // A setter that refuses the sample keeps its value; the comparison reads values.
        }
    }
    if (auto* component = dynamic_cast<TrpComponent*>(&object)) {
        if (TrpWideStrings* lines = component->MemoLines())
            lines->SetText(kSampleText);
    }
}

QString ReferenceName(const ScriptObject* object)
{
    const auto* component = dynamic_cast<const TrpComponent*>(object);
    return component != nullptr ? component->Name() : QStringLiteral("<none>");
}

void ExpectSameValues(const ScriptObject& a, const ScriptObject& b, const QString& path)
{
    const RegisteredClass* cls = PropertyRegistry::Global().FindFor(a.ScriptClass());
    ASSERT_EQ(&a.ScriptClass(), &b.ScriptClass()) << path.toStdString();
    if (cls == nullptr)
        return;
    for (const PropertyInfo* prop : cls->AllProperties()) {
        const std::string where = (path + prop->Name).toStdString();
        // A value that is not stored (a picture's cache index, a switch never stored) does
        // not travel.
        if (!prop->StoredCondition(a))
            continue;
        switch (prop->Kind) {
        case PropertyKind::Integer:
        case PropertyKind::Char:
        case PropertyKind::Enum:
        case PropertyKind::Set:
        case PropertyKind::String:
        case PropertyKind::EventName:
            if (prop->Get) {
                EXPECT_EQ(prop->Get(a).ToString(), prop->Get(b).ToString()) << where;
            }
            break;
        case PropertyKind::Variant:
            if (prop->Get) {
                EXPECT_EQ(prop->Get(a).ToString(), prop->Get(b).ToString()) << where;
            }
            break;
        case PropertyKind::Float:
            if (prop->Get) {
                const double x = prop->Get(a).ToDouble();
                const double y = prop->Get(b).ToDouble();
                EXPECT_NEAR(x, y, std::fabs(x) * 1e-13) << where;
            }
            break;
        case PropertyKind::Reference:
            if (prop->GetObject) {
                EXPECT_EQ(ReferenceName(prop->GetObject(a)), ReferenceName(prop->GetObject(b))) << where;
            }
            break;
        case PropertyKind::StringList:
            if (prop->GetText) {
                EXPECT_EQ(prop->GetText(a), prop->GetText(b)) << where;
            }
            break;
        case PropertyKind::NestedObject:
            if (prop->GetObject && prop->GetObject(a) != nullptr)
                ExpectSameValues(*prop->GetObject(a), *prop->GetObject(b), path + prop->Name + u'.');
            break;
        default:
            break;
        }
    }
    const auto* ca = dynamic_cast<const TrpComponent*>(&a);
    const auto* cb = dynamic_cast<const TrpComponent*>(&b);
    if (ca != nullptr && cb != nullptr) {
        EXPECT_EQ(ca->Name(), cb->Name()) << path.toStdString();
        if (ca->MemoLines() != nullptr) {
            EXPECT_EQ(ca->MemoLines()->Text(), cb->MemoLines()->Text()) << path.toStdString();
        }
    }
}

std::vector<const RegisteredClass*> ReportClasses()
{
    std::vector<const RegisteredClass*> classes;
    for (const RegisteredClass* c : PropertyRegistry::Global().Classes()) {
        if (c->Factory && c->Info.InheritsFrom(TrpComponent::Class()))
            classes.push_back(c);
    }
    return classes;
}

class SerializerTest : public testing::Test {
protected:
    void SetUp() override { RegisterModelTestClasses(); }
};

TEST_F(SerializerTest, EveryClassRoundTrips)
{
    const std::vector<const RegisteredClass*> classes = ReportClasses();
    ASSERT_GE(classes.size(), 8u);
    for (const RegisteredClass* cls : classes) {
        SCOPED_TRACE(cls->Name().toStdString());
        // A report is a root; any other object is written inside a root that takes it, beside
        // the objects its references point to.
        std::unique_ptr<TrpComponent> made = TrpComponent::CreateByName(cls->Name());
        std::unique_ptr<TrpComponent> root;
        std::map<const ScriptClassInfo*, TrpComponent*> siblings;
        if (made->IsReport()) {
            root = std::move(made);
            FillSamples(*root, nullptr, siblings);
        } else {
            root = std::make_unique<TestContainer>();
            TrpComponent* object = made.release();
            object->AttachTo(root.get());
            object->SetName(QStringLiteral("Obj1"));
            FillSamples(*object, root.get(), siblings);
        }
        const QByteArray first = Write(*root);

        std::unique_ptr<TrpComponent> copy = TrpComponent::CreateByName(root->ClassName());
        EXPECT_EQ(Read(*copy, first).join(u'|').toStdString(), "");
        ExpectSameValues(*root, *copy, QStringLiteral("root."));
        ASSERT_EQ(copy->AllObjects().size(), root->AllObjects().size()) << first.toStdString();
        for (const TrpComponent* original : root->AllObjects()) {
            const TrpComponent* read = copy->FindObject(original->Name());
            ASSERT_NE(read, nullptr) << original->Name().toStdString();
            ExpectSameValues(*original, *read, original->Name() + u'.');
        }
        EXPECT_EQ(Write(*copy), first);
    }
}

TEST_F(SerializerTest, DocumentForm)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetBounds(10, 20.5, 100, 3.77953);
    memo->Memo.SetText(u"Итого: [Value]\r\n");
    memo->SetParentFont(false);
    memo->Align = baRight;
    memo->Frame.Typ = 15;
    memo->Frame.LeftLine.Color = 255;
    memo->OnBeforePrint = QStringLiteral("Memo1OnBeforePrint");
    memo->Extra = QStringList{QStringLiteral("a")};
    tree.Report->Items.AddItem();
    tree.Report->Items.Items[0]->Name = QStringLiteral("Total");
    tree.Report->Items.Items[0]->Value = Variant(QStringLiteral("[Sum]"));
    tree.Report->Items.Items[0]->Target = memo;
    const QByteArray expected =
        kHeader +
        "\r\n<TrpTestReport PropData=\"054974656D730101062A204E616D653D22546F74616C222056616C75653D225B53756D5D22205461726765"
        "743D224D656D6F31220000\">\r\n"
        "  <TrpTestPage Name=\"Page1\" Left=\"0\" Top=\"0\" Width=\"0\" Height=\"0\">\r\n"
        "    <TrpTestBand Name=\"Band1\" Left=\"0\" Top=\"0\" Width=\"0\" Height=\"0\">\r\n"
        "      <TrpTestMemo Name=\"Memo1\" Left=\"10\" Top=\"20.5\" Width=\"100\" Height=\"3.77953\" Font.Charset=\"1\" "
        "Font.Color=\"0\" Font.Height=\"-13\" Font.Name=\"Arial\" Font.Style=\"0\" ParentFont=\"False\" Align=\"baRight\" "
        "Ratio=\"0\" Lines.Text=\"\" Frame.Typ=\"15\" Frame.LeftLine.Color=\"255\" Frame.LeftLine.Width=\"1\" "
        "OnBeforePrint=\"Memo1OnBeforePrint\" Text=\"Итого: [Value]\" PropData=\"0545787472610106016100\"/>\r\n"
        "    </TrpTestBand>\r\n"
        "  </TrpTestPage>\r\n"
        "</TrpTestReport>\r\n";
    EXPECT_EQ(Write(*tree.Report).toStdString(), expected.toStdString());
}

TEST_F(SerializerTest, WriteEdgeCases)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    TrpXMLSerializer serializer;
    serializer.SetOwner(tree.Report.get());
    const auto attributes = [&](const ScriptObject* ancestor = nullptr) {
        return serializer.ObjToXML(memo, QString(), ancestor).toStdString();
    };
    // The memo text loses one final line break; an empty string list is still written.
    memo->Memo.SetText(u"a\r\n\r\n");
    EXPECT_NE(attributes().find(R"( Lines.Text="" )"), std::string::npos);
    EXPECT_NE(attributes().find(R"( Text="a&#13;&#10;")"), std::string::npos);
    // Floats: always without an ancestor, from a difference of 1e-6 with one.
    TestMemo ancestor;
    ancestor.Memo.SetText(u"a\r\n\r\n");
    memo->SetLeft(5.0000005);
    ancestor.SetLeft(5);
    EXPECT_EQ(attributes(&ancestor).find("Left="), std::string::npos);
    memo->SetLeft(5.000001);
    EXPECT_NE(attributes(&ancestor).find(R"( Left="5.000001")"), std::string::npos);
    EXPECT_NE(attributes().find(R"(Top="0")"), std::string::npos);
    // Ordinals against the default, or every one with SerializeDefaultValues.
    EXPECT_EQ(attributes().find("Counter="), std::string::npos);
    serializer.SerializeDefaultValues = true;
    EXPECT_NE(attributes().find(R"( Counter="5")"), std::string::npos);
    EXPECT_NE(attributes().find(R"( Visible="True")"), std::string::npos);
    EXPECT_EQ(attributes().find("Caption="), std::string::npos) << "an empty text is never written";
    EXPECT_EQ(attributes().find("Name="), std::string::npos) << "the name is the element's business";
    EXPECT_EQ(attributes().find("Big="), std::string::npos) << "64-bit integers are not stored";
    EXPECT_EQ(attributes().find("WideLines"), std::string::npos);
    serializer.SerializeDefaultValues = false;
    // References against an ancestor.
    auto* target = new TestMemo(tree.Band);
    target->SetName(QStringLiteral("Target"));
    TestMemo other;
    other.SetName(QStringLiteral("TARGET"));
    ancestor.Link = &other;
    EXPECT_EQ(attributes().find("Link="), std::string::npos) << "nothing to write without a reference";
    EXPECT_EQ(attributes(&ancestor).find("Band="), std::string::npos) << "neither has one";
    EXPECT_NE(attributes(&ancestor).find(R"( Link="nil")"), std::string::npos) << "only the ancestor has one";
    memo->Link = target;
    EXPECT_EQ(attributes(&ancestor).find("Link="), std::string::npos) << "the same name";
    EXPECT_NE(attributes().find(R"( Link="Target")"), std::string::npos);
    // Defined properties equal to the ancestor's are left out.
    memo->Extra = QStringList{QStringLiteral("x")};
    ancestor.Extra = QStringList{QStringLiteral("x")};
    EXPECT_EQ(attributes(&ancestor).find("PropData="), std::string::npos);
    ancestor.Extra.clear();
    EXPECT_NE(attributes(&ancestor).find("PropData="), std::string::npos);
}

struct ReadCase {
    const char* what;
    const char* attributes;
    std::function<std::string(TestMemo&)> value;
    std::string expected;
    const char* error; // "" for none
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.what;
}

class ReadAttributesTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadAttributesTest, Applies)
{
    const ReadCase& c = GetParam();
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetBounds(1, 2, 3, 4);
    TrpXMLSerializer serializer;
    serializer.SetOwner(tree.Report.get());
    serializer.XMLToObj(QString::fromUtf8(c.attributes), memo);
    EXPECT_EQ(c.value(*memo), c.expected);
    EXPECT_EQ(serializer.Errors().join(u'|').toStdString(), c.error);
}

std::string Num(double value)
{
    return QString::number(value, 'g', 17).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    EdgeList, ReadAttributesTest,
    testing::Values(
        ReadCase{"nested font name", R"(Font.Name="Times")",
                 [](TestMemo& m) { return m.Font().Name().toStdString() + (m.ParentFont() ? " parent" : " own"); },
                 "Times own", ""},
        ReadCase{"first part names nothing", R"(Nope.Name="x" Font.Nope="y")",
                 [](TestMemo& m) { return m.Font().Name().toStdString(); }, "Arial", ""},
        ReadCase{"point", R"(Left="1.5")", [](TestMemo& m) { return Num(m.Left()); }, "1.5", ""},
        ReadCase{"comma and blanks", R"(Left=" 1 234,5")", [](TestMemo& m) { return Num(m.Left()); }, "1234.5", ""},
        ReadCase{"not a number", R"(Left="abc" Top="7")",
                 [](TestMemo& m) { return Num(m.Left()) + " " + Num(m.Top()); }, "1 7",
                 R"("abc" is an invalid float)"},
        ReadCase{"not finite", R"(Width="inf")", [](TestMemo& m) { return Num(m.Width()); }, "3",
                 R"("inf" is an invalid float)"},
        ReadCase{"enumeration by name", R"(Align="BARIGHT")", [](TestMemo& m) { return std::to_string(m.Align); }, "2", ""},
        ReadCase{"enumeration by number", R"(Align="6")", [](TestMemo& m) { return std::to_string(m.Align); }, "6", ""},
        ReadCase{"unknown enumeration name", R"(Align="baNowhere")", [](TestMemo& m) { return std::to_string(m.Align); },
                 "0", ""},
        ReadCase{"ordinal out of range", R"(Align="7")", [](TestMemo& m) { return std::to_string(m.Align); }, "0",
                 "Неверное значение свойства Align=\"7\""},
        ReadCase{"Boolean by name", R"(AutoWidth="True" Visible="0")",
                 [](TestMemo& m) { return std::to_string(m.AutoWidth) + std::to_string(m.Visible()); }, "10", ""},
        ReadCase{"Boolean out of range", R"(Visible="2")", [](TestMemo& m) { return std::to_string(m.Visible()); }, "1",
                 "Неверное значение свойства Visible=\"2\""},
        ReadCase{"set bits", R"(Restrictions="31")", [](TestMemo& m) { return std::to_string(m.Restrictions()); }, "31", ""},
        ReadCase{"set bits outside", R"(Restrictions="32")", [](TestMemo& m) { return std::to_string(m.Restrictions()); },
                 "0", "Неверное значение свойства Restrictions=\"32\""},
        ReadCase{"integer out of range", R"(Counter="99999999999")",
                 [](TestMemo& m) { return std::to_string(m.Counter); }, "5",
                 "Неверное значение свойства Counter=\"99999999999\""},
        ReadCase{"character code", R"(Letter="1046")", [](TestMemo& m) { return QString(m.Letter).toStdString(); }, "Ж", ""},
        ReadCase{"escaped text", R"(Caption="a&#13;&#10;b&quot;")",
                 [](TestMemo& m) { return m.Caption.toStdString(); }, "a\r\nb\"", ""},
        ReadCase{"bad reference number", R"(Caption="&#x41;")", [](TestMemo& m) { return m.Caption.toStdString(); }, "",
                 R"("x41" is an invalid integer)"},
        ReadCase{"variant as text", R"(Data="12")",
                 [](TestMemo& m) { return std::to_string(static_cast<int>(m.Data.Kind())) + m.Data.ToString().toStdString(); },
                 std::to_string(static_cast<int>(VariantKind::String)) + "12", ""},
        ReadCase{"string list", R"(Lines.Text="a&#13;&#10;b")",
                 [](TestMemo& m) { return m.Lines.join(u'|').toStdString(); }, "a|b", ""},
        ReadCase{"wide string list", R"(WideLines.Text="a&#13;&#10;b")",
                 [](TestMemo& m) { return m.WideLines.Text().toStdString(); }, "a\r\nb\r\n", ""},
        ReadCase{"memo text", R"(Text="x&#13;&#10;y")", [](TestMemo& m) { return m.Memo.Text().toStdString(); },
                 "x\r\ny\r\n", ""},
        ReadCase{"short names", R"(l="5" t="6,5" w="7" h="8" x="z")",
                 [](TestMemo& m) {
                     return Num(m.Left()) + Num(m.Top()) + Num(m.Width()) + Num(m.Height()) + m.Memo.Text().toStdString();
                 },
                 "56.578z\r\n", ""},
        ReadCase{"nested in nested", R"(Frame.LeftLine.Color="255" Frame.LeftLine.Style="lsDot" Frame.Nope.Color="1")",
                 [](TestMemo& m) { return std::to_string(m.Frame.LeftLine.Color) + std::to_string(m.Frame.LeftLine.Style); },
                 "2552", ""},
        ReadCase{"64-bit integers are ignored", R"(Big="5")", [](TestMemo& m) { return std::to_string(m.Big); }, "0", ""},
        ReadCase{"defined properties", R"(PropData="0545787472610106016106016200")",
                 [](TestMemo& m) { return m.Extra.join(u'|').toStdString(); }, "a|b", ""},
        ReadCase{"defined properties, lower case", R"(PropData="0545787472610106017a00")",
                 [](TestMemo& m) { return m.Extra.join(u'|').toStdString(); }, "z", ""},
        ReadCase{"no hexadecimal text", R"(PropData="0G" Tag="3")", [](TestMemo& m) { return std::to_string(m.Tag()); },
                 "3", "Invalid hexadecimal text"},
        ReadCase{"length past the data", R"(PropData="054578747261010660616200")",
                 [](TestMemo& m) { return std::to_string(m.Extra.size()); }, "0",
                 "Ошибка чтения данных свойств объекта Memo1: Stream read error"},
        ReadCase{"unknown defined property", R"(PropData="03466F6F02")",
                 [](TestMemo& m) { return std::to_string(m.Extra.size()); }, "0",
                 "Ошибка чтения данных свойств объекта Memo1: Property Foo does not exist"},
        ReadCase{"rename", R"(Name="Memo9")", [](TestMemo& m) { return m.Name().toStdString(); }, "Memo9", ""},
        ReadCase{"duplicate name", R"(Name="Band1" OnBeforePrint="Go")",
                 [](TestMemo& m) { return m.Name().toStdString() + " " + m.OnBeforePrint.toStdString(); }, "Memo1 Go",
                 "Повторяющееся имя"},
        ReadCase{"malformed text ends the parse", R"(Tag="4" Counter 9 Visible)",
                 [](TestMemo& m) { return std::to_string(m.Tag()) + std::to_string(m.Counter); }, "45", ""},
        ReadCase{"no closing quote", R"(Tag="4)", [](TestMemo& m) { return std::to_string(m.Tag()); }, "0", ""}));

TEST_F(SerializerTest, TextsEndingInEmptyLinesKeepThem)
{
    const struct {
        const char16_t* text;
        const char* written;
    } cases[] = {
        {u"", R"(Text="")"},
        {u"a", R"(Text="a")"},
        {u"a\r\n", R"(Text="a")"},
        {u"a\r\n\r\n", R"(Text="a&#13;&#10;")"},
        {u"a\r\n\r\n\r\n", R"(Text="a&#13;&#10;&#13;&#10;")"},
        {u"\r\n\r\nb\r\n", R"(Text="&#13;&#10;&#13;&#10;b")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        TestTree tree;
        auto* memo = new TestMemo(tree.Band);
        memo->Memo.SetText(QStringView(c.text));
        memo->Lines = TextLines(QString::fromUtf16(c.text));
        TrpXMLSerializer serializer;
        const QString text = serializer.WriteComponentStr(memo);
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.written))) << text.toStdString();
        auto* copy = static_cast<TestMemo*>(serializer.ReadComponentStr(tree.Band, text));
        EXPECT_EQ(copy->Memo.Count(), memo->Memo.Count());
        EXPECT_EQ(copy->Memo.Text(), memo->Memo.Text());
        EXPECT_EQ(copy->Lines, memo->Lines);
        EXPECT_EQ(serializer.WriteComponentStr(copy), text);
    }
}

TEST_F(SerializerTest, MutualReferencesInBothOrders)
{
    for (const bool forward : {true, false}) {
        SCOPED_TRACE(forward);
        TestTree tree;
        auto* a = new TestMemo(tree.Band);
        auto* b = new TestMemo(tree.Band);
        a->SetName(forward ? QStringLiteral("A") : QStringLiteral("B"));
        b->SetName(forward ? QStringLiteral("B") : QStringLiteral("A"));
        a->Link = b;
        b->Link = a;
        a->Band = tree.Band;
        TestTree copy;
        delete copy.Page;
        EXPECT_EQ(Read(*copy.Report, Write(*tree.Report)), QStringList());
        auto* ra = dynamic_cast<TestMemo*>(copy.Report->FindObject(u"A"));
        auto* rb = dynamic_cast<TestMemo*>(copy.Report->FindObject(u"B"));
        ASSERT_NE(ra, nullptr);
        ASSERT_NE(rb, nullptr);
        EXPECT_EQ(ra->Link, rb);
        EXPECT_EQ(rb->Link, ra);
        EXPECT_EQ(dynamic_cast<TestMemo*>(copy.Report->FindObject(a->Name()))->Band, copy.Report->FindObject(u"Band1"));
    }
}

TEST_F(SerializerTest, ReferencesOfTheWrongClassOrToNothing)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    TrpXMLSerializer serializer;
    serializer.SetOwner(tree.Report.get());
    memo->Band = tree.Band;
    serializer.XMLToObj(uR"(Band="Page1" Link="Nowhere")", memo);
    serializer.ResolveFixups();
    EXPECT_EQ(memo->Band, tree.Band);
    EXPECT_EQ(serializer.Errors(), QStringList{QStringLiteral("Неверное значение свойства Band=\"Page1\"")});
    serializer.XMLToObj(uR"(Band="nil")", memo);
    serializer.ResolveFixups();
    EXPECT_EQ(memo->Band, nullptr);
}

TEST_F(SerializerTest, ClassesThatCannotBeReadOrPlaced)
{
    TestTree copy;
    delete copy.Page;
    const QByteArray file = kHeader +
                            R"(<TrpTestReport><TrpTestPage Name="Page1">)"
                            R"(<TrpNothing Name="X"><TrpTestBand Name="Inner"/></TrpNothing>)"
                            R"(<TrpNothing Name="Y"/>)"
                            R"(<TrpTestMemo Name="Stray"><TrpTestMemo Name="Child"/></TrpTestMemo>)"
                            R"(<TrpTestBand Name="Band1"><TrpTestPage Name="Deep"/><TFont Name="F"/></TrpTestBand>)"
                            R"(</TrpTestPage></TrpTestReport>)";
    EXPECT_EQ(Read(*copy.Report, file).join(u'|').toStdString(),
              "Не удалось найти класс TrpNothing|"
              "Недопустимое размещение объекта класса TFont|"
              "Недопустимое размещение объекта класса TrpTestMemo|"
              "Недопустимое размещение объекта класса TrpTestPage");
    QStringList names;
    for (const TrpComponent* object : copy.Report->AllObjects())
        names << object->Name();
    EXPECT_EQ(names, QStringList({"Page1", "Band1"}));
}

TEST_F(SerializerTest, ReadComponentStrAndItsFixups)
{
    TestTree tree;
    auto* target = new TestMemo(tree.Band);
    target->SetName(QStringLiteral("Target"));
    TrpXMLSerializer serializer;
    TrpComponent* deferred = serializer.ReadComponentStr(tree.Band, uR"(TrpTestMemo Name="M1" Left="3" Link="Target")", true);
    ASSERT_NE(deferred, nullptr);
    EXPECT_EQ(deferred->Parent(), tree.Band);
    EXPECT_EQ(deferred->Left(), 3);
    EXPECT_EQ(static_cast<TestMemo*>(deferred)->Link, nullptr);
    EXPECT_FALSE(deferred->IsLoading());
    std::vector<TrpFixupItem> fixups;
    serializer.CopyFixupList(&fixups);
    EXPECT_TRUE(fixups.empty()) << "discarded after the read";

    TrpComponent* resolved = serializer.ReadComponentStr(tree.Band, uR"(TrpTestMemo Name="M2" Link="Target")");
    EXPECT_EQ(static_cast<TestMemo*>(resolved)->Link, target);
    EXPECT_EQ(serializer.ReadComponentStr(tree.Band, u"   "), nullptr);
    EXPECT_THROW(serializer.ReadComponentStr(tree.Band, u"TrpNothing Left=\"1\""), EClassNotFound);
    try {
        serializer.ReadComponentStr(tree.Band, u"TrpTestPage");
        ADD_FAILURE();
    } catch (const platform::Exception& failure) {
        EXPECT_EQ(failure.Message(), "Недопустимое размещение объекта класса TrpTestPage");
    }
    // The fix-ups of a read without resolution can be kept before they go.
    serializer.XMLToObj(uR"(Link="Target")", deferred);
    serializer.CopyFixupList(&fixups);
    ASSERT_EQ(fixups.size(), 1u);
    EXPECT_EQ(fixups[0].Object(), deferred);
    EXPECT_EQ(fixups[0].Value, "Target");
    serializer.CopyFixupList(nullptr);
}

TEST_F(SerializerTest, WriteAndReadOneComponentOnAStream)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("M"));
    memo->SetBounds(1, 2, 3, 4);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TrpXMLSerializer writer(&buffer);
    writer.WriteComponent(memo);
    writer.WriteComponent(memo);
    EXPECT_TRUE(buffer.data().startsWith(R"(<TrpTestMemo Left="1" Top="2" Width="3" Height="4" Ratio="0" )"));
    EXPECT_TRUE(buffer.data().contains(R"( Text=""/><TrpTestMemo )"));
    buffer.seek(0);
    TrpXMLSerializer reader(&buffer);
    TrpComponent* first = reader.ReadComponent(tree.Band);
    TrpComponent* second = reader.ReadComponent(tree.Band);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Height(), 4);
    EXPECT_EQ(reader.ReadComponent(tree.Band), nullptr);
}

// The prepared pages rebuild objects from a base text and a difference: a copy of the source
// and the difference applied to it must give what reading both texts gives.
TEST_F(SerializerTest, CloneAndApplyEqualAFullRead)
{
    const QString difference = QStringLiteral(R"( l="3" Visible="False" Font.Name="Courier New")");
    for (const RegisteredClass* cls : ReportClasses()) {
        SCOPED_TRACE(cls->Name().toStdString());
        TestContainer container;
        TrpComponent* source = TrpComponent::CreateByName(cls->Name()).release();
        source->AttachTo(&container);
        source->SetName(QStringLiteral("Source"));
        std::map<const ScriptClassInfo*, TrpComponent*> siblings;
        FillSamples(*source, &container, siblings);
        source->SetLeft(1.0 / 3.0);

        TestContainer fullRoot;
        TrpXMLSerializer full;
        full.SetOwner(&container);
        const QString base = full.WriteComponentStr(source);
        TrpComponent* read = full.ReadComponentStr(&fullRoot, base + u' ' + difference, true);

        TestContainer cloneRoot;
        TrpXMLSerializer cheap;
        TrpComponent* clone = cheap.CloneComponent(*source, &cloneRoot, true);
        cheap.ApplyComponentStr(clone, difference, true);

        read->SetName(QStringLiteral("Copy"));
        clone->SetName(QStringLiteral("Copy"));
        ExpectSameValues(*read, *clone, QString());
        TrpXMLSerializer writer;
        EXPECT_EQ(writer.WriteComponentStr(clone), writer.WriteComponentStr(read));
        EXPECT_EQ(full.Errors(), cheap.Errors());
    }
}

TEST_F(SerializerTest, StreamsAssignAndErrors)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetBounds(5, 6, 7, 8);
    memo->Memo.SetText(u"text");
    memo->SetTag(3);

    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    tree.Report->SaveToStream(buffer);
    TestReport loaded;
    loaded.ThreadSafe = true;
    buffer.seek(0);
    loaded.LoadFromStream(buffer);
    EXPECT_EQ(loaded.Errors, QStringList());
    ASSERT_NE(loaded.FindObject(u"Memo1"), nullptr);
    EXPECT_EQ(loaded.FindObject(u"Memo1")->Width(), 7);
    EXPECT_EQ(loaded.Serializer, nullptr) << "the report forgets the serializer after the load";

    // Assign copies the properties (not the name or the children) through the serializer.
    auto* other = new TestMemo(tree.Band);
    other->SetName(QStringLiteral("Other"));
    new TestMemo(other);
    other->Assign(*memo);
    EXPECT_EQ(other->Name(), "Other");
    EXPECT_EQ(other->Tag(), 3);
    EXPECT_EQ(other->Memo.Text(), "text\r\n");
    EXPECT_TRUE(other->Objects().empty());

    // A bad file: its error passes to the caller, the report keeps what was read.
    QBuffer bad;
    bad.setData(kHeader + R"(<TrpTestReport><TrpTestPage Name="P" Left="x"><)");
    bad.open(QIODevice::ReadOnly);
    TestReport broken;
    EXPECT_THROW(broken.LoadFromStream(bad), TrpInvalidXMLException);

    // Errors of an object's load outside a report stay with the object.
    QBuffer attributes;
    attributes.setData(kHeader + R"(<TrpTestMemo Left="x"/>)");
    attributes.open(QIODevice::ReadOnly);
    TestMemo alone;
    alone.LoadFromStream(attributes);
    EXPECT_EQ(alone.LoadErrors().join(u'|').toStdString(), "\"x\" is an invalid float");
}

TEST_F(SerializerTest, InheritedObjectsWriteTheirDifferences)
{
    TestTree base;
    auto* memo = new TestMemo(base.Band);
    memo->SetName(QStringLiteral("M1"));
    memo->SetBounds(10, 0, 50, 20);
    const QByteArray baseFile = Write(*base.Report);

    // A report made from the template: everything inherited, one memo moved, one added.
    TestReport derived;
    Read(derived, baseFile);
    for (TrpComponent* object : derived.AllObjects())
        object->SetAncestor(true);
    derived.FindObject(u"M1")->SetLeft(30);
    auto* added = new TestMemo(derived.FindObject(u"Band1"));
    added->SetName(QStringLiteral("Added"));
    derived.Template = base.Report.get();
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    derived.SaveToStream(buffer);
    const QString text = QString::fromUtf8(buffer.data());
    EXPECT_TRUE(text.contains(uR"(<inherited Name="M1" Left="30"/>)")) << text.toStdString();
    EXPECT_TRUE(text.contains(uR"(<inherited Name="Page1">)")) << text.toStdString();
    EXPECT_TRUE(text.contains(uR"(<TrpTestMemo Name="Added" Left="0")")) << text.toStdString();

    // Read onto a copy of the template: inherited elements find their objects.
    TestReport again;
    Read(again, baseFile);
    EXPECT_EQ(Read(again, buffer.data()), QStringList());
    EXPECT_EQ(again.FindObject(u"M1")->Left(), 30);
    EXPECT_EQ(again.FindObject(u"M1")->Width(), 50);
    EXPECT_NE(again.FindObject(u"Added"), nullptr);
    // An inherited element without its object is passed over with its children.
    TestReport empty;
    EXPECT_EQ(Read(empty, buffer.data()), QStringList());
    EXPECT_TRUE(empty.AllObjects().empty());
}

TEST_F(SerializerTest, CollectionsInDefinedProperties)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("Memo1"));
    for (const char* name : {"A", "Б"}) {
        auto* item = static_cast<TestItem*>(tree.Report->Items.AddItem());
        item->Name = QString::fromUtf8(name);
        item->Value = Variant(QStringLiteral("\"x\""));
        item->Target = memo;
    }
    const QByteArray file = Write(*tree.Report);
    TestReport copy;
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    copy.LoadFromStream(buffer);
    EXPECT_EQ(copy.Errors, QStringList());
    ASSERT_EQ(copy.Items.Count(), 2);
    EXPECT_EQ(copy.Items.Items[1]->Name, "Б");
    EXPECT_EQ(copy.Items.Items[1]->Value.ToString(), "\"x\"");
    // References in items resolve at the end of the report's load.
    EXPECT_EQ(copy.Items.Items[0]->Target, copy.FindObject(u"Memo1"));

    // Outside a load each item resolves on its own.
    QByteArray bytes;
    TrpValueWriter writer(bytes);
    WriteCollectionItems(tree.Report->Items, writer, tree.Report.get());
    TestItems items;
    TrpValueReader reader(bytes);
    ReadCollectionItems(items, reader, tree.Report.get());
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Items[0]->Target, memo);

    // The form-resource collection form is passed over with an error line.
    QByteArray collection;
    TrpValueWriter form(collection);
    form.WriteValue(vaCollection);
    form.WriteListBegin();
    form.WriteListEnd();
    form.WriteListEnd();
    collection.append(char(vaInt8)).append(char(7));
    TrpValueReader formReader(collection);
    tree.Report->Errors.clear();
    ReadCollectionItems(items, formReader, tree.Report.get());
    EXPECT_EQ(formReader.ReadInteger(), 7);
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(tree.Report->Errors, QStringList{QStringLiteral("Коллекция в формате потока формы не поддерживается")});
}

// Numbers in files and difference texts are the same under every locale.
class SerializerUnderLocale : public testsupport::UnderLocale {};

TEST_P(SerializerUnderLocale, NumbersAreLocaleFree)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    memo->SetBounds(12.5, -0.25, 3.77953, 1e20);
    memo->Ratio = 1234.5;
    TrpXMLSerializer serializer;
    const QString text = serializer.WriteComponentStr(memo);
    EXPECT_TRUE(text.startsWith(uR"(TrpTestMemo Left="12.5" Top="-0.25" Width="3.77953" Height="1E20" Ratio="1234.5")"))
        << text.toStdString();
    TestMemo original;
    EXPECT_EQ(memo->Diff(original).toStdString(), R"( l="12.5" t="-0.25" w="3.77953" h="1E20")");
    serializer.XMLToObj(uR"(Left="1,75" Top="2.5" Width=" 1 000,5")", memo);
    EXPECT_EQ(memo->Left(), 1.75);
    EXPECT_EQ(memo->Top(), 2.5);
    EXPECT_EQ(memo->Width(), 1000.5);
    // The alignment keys too: a negative Left of 1.5 sorts before one of 10.
    tree.Band->SetBounds(0, 0, 500, 40);
    auto* a = new TestView(tree.Band);
    auto* b = new TestView(tree.Band);
    a->SetBounds(-10, 0, 10, 20);
    b->SetBounds(-1.5, 0, 10, 20);
    a->Align = baLeft;
    b->Align = baLeft;
    memo->SetTop(100);
    tree.Band->AlignChildren();
    EXPECT_EQ(b->Left(), 0);
    EXPECT_EQ(a->Left(), 10);
}

DAX_INSTANTIATE_UNDER_LOCALES(SerializerUnderLocale);

} // namespace
