#pragma once

// Report object classes for the tests of the component base and the serializer: a report,
// pages (one a dialog page), bands (one a null band), views and a memo, with nested objects
// inside nested objects, a property of every kind, defined properties and a collection.
// Placement: a report takes pages, a page bands, a band views; a view takes nothing.

#include "report/core/PropertyRegistry.h"
#include "report/model/ModelRuntime.h"
#include "report/model/rpClass.h"
#include "report/model/rpTaggedValues.h"
#include "report/model/rpUtils.h"
#include "report/model/rpWideStrings.h"
#include "report/model/rpXMLSerializer.h"

#include <QStringList>

#include <memory>
#include <ostream>
#include <vector>

// Texts in test messages as UTF-8 instead of their bytes.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *os << '}';
}

namespace modeltest {

inline const ScriptClassInfo& Info(const char* name, const ScriptClassInfo* ancestor)
{
    // One record per class name for the whole program.
    static std::vector<std::unique_ptr<ScriptClassInfo>> infos;
    for (const auto& info : infos) {
        if (info->Name == QLatin1String(name))
            return *info;
    }
    infos.push_back(std::make_unique<ScriptClassInfo>(ScriptClassInfo{QString::fromLatin1(name), ancestor}));
    return *infos.back();
}

class TestFrameLine : public ScriptObject {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestFrameLine", nullptr); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    int32_t Color = 0;
    int32_t Style = 0;
    double Width = 1;
};

class TestFrame : public ScriptObject {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestFrame", nullptr); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    int32_t Color = 0;
    uint32_t Typ = 0;
    double Width = 1;
    TestFrameLine LeftLine;
};

// An item of the test report's collection.
class TestItem : public ScriptObject {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestItem", nullptr); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    QString Name;
    Variant Value;
    TrpComponent* Target = nullptr;
};

class TestItems : public TrpCollection {
public:
    int Count() const override { return static_cast<int>(Items.size()); }
    ScriptObject* CollectionItem(int index) override { return Items[static_cast<size_t>(index)].get(); }
    void ClearItems() override { Items.clear(); }
    ScriptObject* AddItem() override
    {
        Items.push_back(std::make_unique<TestItem>());
        return Items.back().get();
    }
    std::vector<std::unique_ptr<TestItem>> Items;
};

class TestReport : public TrpComponent {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestReport", &TrpComponent::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    bool IsReport() const override { return true; }
    bool LoadsThreadSafe() const override { return ThreadSafe; }
    void AddErrors(const QStringList& errors) override { Errors += errors; }
    TrpXMLSerializer* CurrentSerializer() const override { return Serializer; }
    void SetCurrentSerializer(TrpXMLSerializer* serializer) override { Serializer = serializer; }
    TrpComponent* AncestorOf(const QString& name) const override
    {
        if (Template == nullptr)
            return nullptr;
        if (name.isEmpty() || name.compare(Name(), Qt::CaseInsensitive) == 0)
            return Template;
        return Template->FindObject(name);
    }

    bool ThreadSafe = false;
    QStringList Errors;
    TrpXMLSerializer* Serializer = nullptr;
    TrpComponent* Template = nullptr;
    TestItems Items;
};

// A root that takes objects of every class, standing for a report.
class TestContainer : public TrpComponent {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestContainer", &TrpComponent::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    bool IsReport() const override { return true; }
};

class TestPage : public TrpComponent {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestPage", &TrpComponent::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TestPage() { SetBaseName(QStringLiteral("Page")); }
    explicit TestPage(TrpComponent* owner) : TestPage() { AttachTo(owner); }
    bool IsPage() const override { return true; }
};

class TestDialogPage : public TestPage {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestDialogPage", &TestPage::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TestDialogPage() = default;
    explicit TestDialogPage(TrpComponent* owner) : TestDialogPage() { AttachTo(owner); }
    bool IsDialogPage() const override { return true; }
};

class TestBand : public TrpReportComponent {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestBand", &TrpReportComponent::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TestBand() = default;
    explicit TestBand(TrpComponent* owner) : TestBand() { AttachTo(owner); }
    bool IsBand() const override { return true; }
    void Draw(QPainter&, double, double, double, double, const TrpDrawContext&) override {}
};

class TestNullBand : public TestBand {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestNullBand", &TestBand::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TestNullBand() = default;
    explicit TestNullBand(TrpComponent* owner) : TestNullBand() { AttachTo(owner); }
    bool IsNullBand() const override { return true; }
};

class TestView : public TrpReportComponent {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestView", &TrpReportComponent::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TestView() = default;
    explicit TestView(TrpComponent* owner) : TestView() { AttachTo(owner); }
    bool IsView() const override { return true; }
    TrpAlign GetAlign() const override { return Align; }
    void Draw(QPainter&, double, double, double, double, const TrpDrawContext&) override {}

    TrpAlign Align = baNone;
    double Ratio = 0;
    QString Caption;
    Variant Data;
    QChar Letter = u'A';
    int32_t Counter = 5;
    int64_t Big = 0;
    QStringList Lines;
    TrpWideStrings WideLines;
    QPointer<TrpComponent> Link;
    QPointer<TrpComponent> Band;
    TestFrame Frame;
    QStringList Extra; // a defined property
};

class TestMemo : public TestView {
public:
    static const ScriptClassInfo& Class() { return Info("TrpTestMemo", &TestView::Class()); }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    TestMemo() { SetBaseName(QStringLiteral("Memo")); }
    explicit TestMemo(TrpComponent* owner) : TestMemo() { AttachTo(owner); }
    bool HasAutoWidth() const override { return AutoWidth; }
    TrpWideStrings* MemoLines() override { return &Memo; }

    bool AutoWidth = false;
    TrpWideStrings Memo;
};

inline QString LinesText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

inline QStringList TextLines(const QString& text)
{
    TrpWideStrings split;
    split.SetText(text);
    QStringList lines;
    split.AssignTo(lines);
    return lines;
}

inline void RegisterFrame(PropertyRegistry& registry)
{
    const EnumTypeInfo& lineStyle = registry.AddEnum(
        QStringLiteral("TrpTestLineStyle"), {QStringLiteral("lsSolid"), QStringLiteral("lsDash"), QStringLiteral("lsDot")});
    const EnumTypeInfo& side = registry.AddEnum(
        QStringLiteral("TrpTestSide"),
        {QStringLiteral("sdLeft"), QStringLiteral("sdRight"), QStringLiteral("sdTop"), QStringLiteral("sdBottom")});

    using L = TestFrameLine;
    RegisteredClass& line = registry.Register(L::Class());
    line.AddInteger(
        QStringLiteral("Color"), GetterOf<L>([](const L& o) { return Variant(o.Color); }),
        SetterOf<L>([](L& o, const Variant& v) { o.Color = v.ToInt32(); }), 0, QStringLiteral("TColor"));
    line.AddEnum(QStringLiteral("Style"), lineStyle, GetterOf<L>([](const L& o) { return Variant(o.Style); }),
                 SetterOf<L>([](L& o, const Variant& v) { o.Style = v.ToInt32(); }));
    line.AddFloat(QStringLiteral("Width"), GetterOf<L>([](const L& o) { return Variant(o.Width); }),
                  SetterOf<L>([](L& o, const Variant& v) { o.Width = v.ToDouble(); }), 1);

    using F = TestFrame;
    RegisteredClass& frame = registry.Register(F::Class());
    frame.AddInteger(
        QStringLiteral("Color"), GetterOf<F>([](const F& o) { return Variant(o.Color); }),
        SetterOf<F>([](F& o, const Variant& v) { o.Color = v.ToInt32(); }), 0, QStringLiteral("TColor"));
    frame.AddSet(QStringLiteral("Typ"), QStringLiteral("TrpTestSides"), side,
                 GetterOf<F>([](const F& o) { return Variant(static_cast<int32_t>(o.Typ)); }),
                 SetterOf<F>([](F& o, const Variant& v) { o.Typ = static_cast<uint32_t>(v.ToInt32()); }));
    PropertyInfo& width =
        frame.AddFloat(QStringLiteral("Width"), GetterOf<F>([](const F& o) { return Variant(o.Width); }),
                       SetterOf<F>([](F& o, const Variant& v) { o.Width = v.ToDouble(); }), 1);
    width.Stored = [](const ScriptObject& o) { return static_cast<const F&>(o).Width != 1; };
    frame.AddNested(
        QStringLiteral("LeftLine"), L::Class(),
        [](const ScriptObject& o) -> ScriptObject* { return &const_cast<F&>(static_cast<const F&>(o)).LeftLine; });
}

inline void RegisterView(PropertyRegistry& registry)
{
    using V = TestView;
    RegisteredClass& c = registry.Register(V::Class(), [] { return std::make_unique<TestView>(); });
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo&) { return false; };
    for (TrpCommonProperty p :
         {TrpCommonProperty::Left, TrpCommonProperty::Top, TrpCommonProperty::Width, TrpCommonProperty::Height,
          TrpCommonProperty::Font, TrpCommonProperty::ParentFont, TrpCommonProperty::Visible,
          TrpCommonProperty::Restrictions, TrpCommonProperty::GroupIndex})
        PublishComponentProperty(c, p);
    c.AddEnum(QStringLiteral("Align"), *registry.FindEnum(u"TrpAlign"),
              GetterOf<V>([](const V& o) { return Variant(static_cast<int32_t>(o.Align)); }),
              SetterOf<V>([](V& o, const Variant& v) { o.Align = static_cast<TrpAlign>(v.ToInt32()); }));
    c.AddFloat(QStringLiteral("Ratio"), GetterOf<V>([](const V& o) { return Variant(o.Ratio); }),
               SetterOf<V>([](V& o, const Variant& v) { o.Ratio = v.ToDouble(); }));
    c.AddString(QStringLiteral("Caption"), GetterOf<V>([](const V& o) { return Variant(o.Caption); }),
                SetterOf<V>([](V& o, const Variant& v) { o.Caption = v.ToString(); }));
    PropertyInfo data;
    data.Name = QStringLiteral("Data");
    data.Kind = PropertyKind::Variant;
    data.TypeName = QStringLiteral("Variant");
    data.Get = GetterOf<V>([](const V& o) { return o.Data; });
    data.Set = SetterOf<V>([](V& o, const Variant& v) { o.Data = v; });
    c.Add(std::move(data));
    PropertyInfo letter;
    letter.Name = QStringLiteral("Letter");
    letter.Kind = PropertyKind::Char;
    letter.TypeName = QStringLiteral("Char");
    letter.Default = Variant(QStringLiteral("A"));
    letter.Get = GetterOf<V>([](const V& o) { return Variant(QString(o.Letter)); });
    letter.Set = SetterOf<V>([](V& o, const Variant& v) { o.Letter = v.ToString().isEmpty() ? QChar() : v.ToString()[0]; });
    c.Add(std::move(letter));
    c.AddInteger(QStringLiteral("Counter"), GetterOf<V>([](const V& o) { return Variant(o.Counter); }),
                 SetterOf<V>([](V& o, const Variant& v) { o.Counter = v.ToInt32(); }), 5);
    PropertyInfo big;
    big.Name = QStringLiteral("Big");
    big.Kind = PropertyKind::Int64;
    big.TypeName = QStringLiteral("Int64");
    big.Default = Variant(int64_t{0});
    big.Get = GetterOf<V>([](const V& o) { return Variant(o.Big); });
    big.Set = SetterOf<V>([](V& o, const Variant& v) { o.Big = v.ToInt64(); });
    c.Add(std::move(big));
    c.AddLines(QStringLiteral("Lines"), PropertyKind::StringList, QStringLiteral("TStrings"),
               [](const ScriptObject& o) { return LinesText(static_cast<const V&>(o).Lines); },
               [](ScriptObject& o, const QString& text) { static_cast<V&>(o).Lines = TextLines(text); });
    c.AddLines(QStringLiteral("WideLines"), PropertyKind::WideStringList, QStringLiteral("TWideStrings"),
               [](const ScriptObject& o) { return static_cast<const V&>(o).WideLines.Text(); },
               [](ScriptObject& o, const QString& text) { static_cast<V&>(o).WideLines.SetText(text); });
    c.AddReference(
        QStringLiteral("Link"), TrpReportComponent::Class(),
        [](const ScriptObject& o) -> ScriptObject* { return static_cast<const V&>(o).Link.data(); },
        [](ScriptObject& o, ScriptObject* v) { static_cast<V&>(o).Link = static_cast<TrpComponent*>(v); });
    c.AddReference(
        QStringLiteral("Band"), TestBand::Class(),
        [](const ScriptObject& o) -> ScriptObject* { return static_cast<const V&>(o).Band.data(); },
        [](ScriptObject& o, ScriptObject* v) { static_cast<V&>(o).Band = static_cast<TrpComponent*>(v); });
    c.AddNested(
        QStringLiteral("Frame"), TestFrame::Class(),
        [](const ScriptObject& o) -> ScriptObject* { return &const_cast<V&>(static_cast<const V&>(o)).Frame; });
    for (TrpCommonProperty p : {TrpCommonProperty::OnAfterData, TrpCommonProperty::OnAfterPrint,
                                TrpCommonProperty::OnBeforePrint, TrpCommonProperty::OnPreviewClick})
        PublishComponentProperty(c, p);
    c.WriteDefined = [](const ScriptObject& o, TrpValueWriter& writer) {
        const auto& view = static_cast<const V&>(o);
        if (view.Extra.isEmpty())
            return;
        writer.WritePropName(u"Extra");
        writer.WriteListBegin();
        for (const QString& s : view.Extra)
            writer.WriteString(s);
        writer.WriteListEnd();
    };
    c.ReadDefined = [](ScriptObject& o, const QString& name, TrpValueReader& reader) {
        if (name != u"Extra")
            return false;
        QStringList values;
        reader.ReadListBegin();
        while (!reader.EndOfList())
            values << reader.ReadString();
        reader.ReadListEnd();
        static_cast<V&>(o).Extra = values;
        return true;
    };

    using M = TestMemo;
    RegisteredClass& memo = registry.Register(M::Class(), [] { return std::make_unique<TestMemo>(); });
    memo.AddBoolean(QStringLiteral("AutoWidth"), GetterOf<M>([](const M& o) { return Variant(o.AutoWidth); }),
                    SetterOf<M>([](M& o, const Variant& v) { o.AutoWidth = v.ToBoolean(); }));
}

// Registers the test classes (and initialises the model) once per program.
inline void RegisterModelTestClasses()
{
    ModelRuntime::init();
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(TestReport::Class()))
        return;
    RegisterFrame(registry);

    using I = TestItem;
    RegisteredClass& item = registry.Register(I::Class());
    item.AddString(QStringLiteral("Name"), GetterOf<I>([](const I& o) { return Variant(o.Name); }),
                   SetterOf<I>([](I& o, const Variant& v) { o.Name = v.ToString(); }));
    PropertyInfo value;
    value.Name = QStringLiteral("Value");
    value.Kind = PropertyKind::Variant;
    value.TypeName = QStringLiteral("Variant");
    value.Get = GetterOf<I>([](const I& o) { return o.Value; });
    value.Set = SetterOf<I>([](I& o, const Variant& v) { o.Value = v; });
    item.Add(std::move(value));
    item.AddReference(
        QStringLiteral("Target"), TrpComponent::Class(),
        [](const ScriptObject& o) -> ScriptObject* { return static_cast<const I&>(o).Target; },
        [](ScriptObject& o, ScriptObject* v) { static_cast<I&>(o).Target = static_cast<TrpComponent*>(v); });

    RegisteredClass& report = registry.Register(TestReport::Class(), [] { return std::make_unique<TestReport>(); });
    report.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) { return child.InheritsFrom(TestPage::Class()); };
    report.WriteDefined = [](const ScriptObject& o, TrpValueWriter& writer) {
        auto& r = const_cast<TestReport&>(static_cast<const TestReport&>(o));
        if (r.Items.Count() == 0)
            return;
        writer.WritePropName(u"Items");
        WriteCollectionItems(r.Items, writer, &r);
    };
    report.ReadDefined = [](ScriptObject& o, const QString& name, TrpValueReader& reader) {
        if (name != u"Items")
            return false;
        auto& r = static_cast<TestReport&>(o);
        ReadCollectionItems(r.Items, reader, &r);
        return true;
    };

    registry.Register(TestContainer::Class(), [] { return std::make_unique<TestContainer>(); });

    RegisteredClass& page = registry.Register(TestPage::Class(), [] { return std::make_unique<TestPage>(); });
    page.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) { return child.InheritsFrom(TestBand::Class()); };
    for (TrpCommonProperty p : {TrpCommonProperty::Left, TrpCommonProperty::Top, TrpCommonProperty::Width,
                                TrpCommonProperty::Height, TrpCommonProperty::Font, TrpCommonProperty::Visible})
        PublishComponentProperty(page, p);
    registry.Register(TestDialogPage::Class(), [] { return std::make_unique<TestDialogPage>(); });

    RegisteredClass& band = registry.Register(TestBand::Class(), [] { return std::make_unique<TestBand>(); });
    band.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo& child) { return child.InheritsFrom(TestView::Class()); };
    for (TrpCommonProperty p :
         {TrpCommonProperty::Left, TrpCommonProperty::Top, TrpCommonProperty::Width, TrpCommonProperty::Height,
          TrpCommonProperty::Font, TrpCommonProperty::ParentFont, TrpCommonProperty::Visible,
          TrpCommonProperty::Restrictions, TrpCommonProperty::OnBeforePrint})
        PublishComponentProperty(band, p);
    registry.Register(TestNullBand::Class(), [] { return std::make_unique<TestNullBand>(); });

    RegisterView(registry);
}

// A report with one page, one band and the views given, named Page1, Band1 and as given.
struct TestTree {
    TestTree()
    {
        RegisterModelTestClasses();
        Report = std::make_unique<TestReport>();
        Report->SetName(QStringLiteral("Report"));
        Page = new TestPage(Report.get());
        Page->SetName(QStringLiteral("Page1"));
        Band = new TestBand(Page);
        Band->SetName(QStringLiteral("Band1"));
    }
    std::unique_ptr<TestReport> Report;
    TestPage* Page = nullptr;
    TestBand* Band = nullptr;
};

} // namespace modeltest
