// The run-time library as scripts see it: every registered declaration, classes described by
// the property registry, late-bound objects, the clock and random sources, the catalogue.

#include "RegistryTestObjects.h"
#include "ScriptTestSupport.h"

#include "report/core/Dispatch.h"
#include "report/script/sc_isysrtti.h"
#include "report/script/sc_itools_types.h"
#include "report/script/sc_xml.h"

#include <gtest/gtest.h>

#include <QBuffer>

using scripttest::NewScript;
using scripttest::RunScript;
using testsupport::RegisterRegistryTestClasses;
using testsupport::TTestBase;
using testsupport::TTestObject;

namespace {

// A declaration written back from what the parser read, one parameter per name.
QString PrintDeclaration(const TscCustomVariable& routine, bool isFunction, const QString& resultType)
{
    QString text = (routine.IsMacro ? QStringLiteral("macro") : QString()) +
                   (isFunction ? QStringLiteral("function ") : QStringLiteral("procedure ")) + routine.Name();
    if (routine.ParamCount() > 0) {
        QStringList parameters;
        for (int i = 0; i < routine.ParamCount(); ++i) {
            const TscParamItem* p = routine.Param(i);
            QString parameter = (p->IsVarParam ? QStringLiteral("var ") : QString()) + p->Name() + QStringLiteral(": ") +
                                p->TypeName;
            if (p->IsOptional)
                parameter += QStringLiteral(" = ") + VarToStr(p->DefValue);
            parameters << parameter;
        }
        text += u'(' + parameters.join(QStringLiteral("; ")) + u')';
    }
    if (isFunction)
        text += QStringLiteral(": ") + resultType;
    return text;
}

// The declaration as the table writes it, one parameter per name ("a, b: T" is "a: T; b: T",
// "var a, b: T" is "var a: T; var b: T"), less what parsing drops: "const" and a final ";".
QString Normalized(QString syntax)
{
    if (syntax.endsWith(u';'))
        syntax.chop(1);
    const qsizetype open = syntax.indexOf(u'(');
    const qsizetype close = syntax.lastIndexOf(u')');
    if (open < 0 || close < open)
        return syntax;
    QStringList parameters;
    for (QString group : syntax.mid(open + 1, close - open - 1).split(u';')) {
        group = group.trimmed();
        QString prefix;
        if (group.startsWith(QLatin1String("var "))) {
            prefix = QStringLiteral("var ");
            group = group.mid(4);
        } else if (group.startsWith(QLatin1String("const "))) {
            group = group.mid(6);
        }
        const qsizetype colon = group.indexOf(u':');
        const QString type = group.mid(colon + 1).trimmed();
        for (const QString& name : group.left(colon).split(u','))
            parameters << prefix + name.trimmed() + QStringLiteral(": ") + type;
    }
    return syntax.left(open + 1) + parameters.join(QStringLiteral("; ")) + syntax.mid(close);
}

TEST(SystemFunctions, EveryDeclarationParsesAndPrintsBack)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    int count = 0;
    QStringList categories;
    for (int i = 0; i < script->Count(); ++i) {
        const auto* method = dynamic_cast<const TscMethodHelper*>(script->Item(i));
        if (method == nullptr)
            continue;
        ++count;
        SCOPED_TRACE(method->Syntax.toStdString());
        const std::unique_ptr<TscCustomVariable> parsed = ParseNativeDeclaration(method->Syntax, script.get());
        const bool isFunction = method->Syntax.startsWith(QLatin1String("function"));
        const qsizetype colon = method->Syntax.lastIndexOf(u':');
        QString resultType = isFunction ? method->Syntax.mid(colon + 1).trimmed() : QString();
        if (resultType.endsWith(u';'))
            resultType.chop(1);
        EXPECT_EQ(PrintDeclaration(*parsed, isFunction, resultType).toStdString(),
                  Normalized(method->Syntax).toStdString());
        EXPECT_EQ(method->Description, method->Name());
        if (categories.isEmpty() || categories.last() != method->Category)
            categories << method->Category;
    }
    EXPECT_EQ(count, 68);
    // The table order: conversions, formats, dates, strings, mathematics, the rest.
    EXPECT_EQ(categories.join(u' ').toStdString(), "ctConv ctFormat ctDate ctString ctMath ctOther");
}

TEST(SystemFunctions, TheSystemModuleComesFirst)
{
    ASSERT_FALSE(GetRTTIModuleList().empty());
    EXPECT_EQ(GetRTTIModuleList().front(), &CreateSysFunctions);
}

// --- Classes from the property registry -----------------------------------------------------

class RegistryClasses : public testing::Test {
protected:
    void SetUp() override { RegisterRegistryTestClasses(); }

    std::string Run(const QString& source)
    {
        return RunScript(QStringLiteral("RireroRidoze"), source, [this](TscScript& script) {
            script.AddClass(QStringLiteral("TTestFont"), &testsupport::TTestFont::Class(), QString());
            script.AddClass(QStringLiteral("TTestBase"), &TTestBase::Class(), QString());
            script.AddClass(QStringLiteral("TTestObject"), &TTestObject::Class(), QStringLiteral("TTestBase"));
            script.AddObject(QStringLiteral("Obj"), &object);
            script.AddObject(QStringLiteral("Other"), &other);
        });
    }

    TTestObject object;
    TTestBase other;
};

TEST_F(RegistryClasses, PublishedPropertiesSortedWithTheirTypes)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    TscClassVariable* cls = script->AddClass(QStringLiteral("TTestObject"), &TTestObject::Class(), QString());
    ASSERT_NE(cls, nullptr);
    QStringList members;
    for (int i = 0; i < cls->MembersCount(); ++i)
        members << cls->Member(i)->Name() + u':' + cls->Member(i)->GetFullTypeName();
    // Sorted by name, the inherited Tag among them, the event name left out.
    EXPECT_EQ(members.join(u' ').toStdString(),
              "Align:TTestAlign Big:Int64 BoolRaw:Boolean Caption:String Data:Variant Font:TTestFont "
              "Letter:Char Lines:TTestStrings Link:TTestBase Ratio:Extended ReadOnlyValue:Integer "
              "Style:TTestStyles Tag:Integer Visible:Boolean Width:Integer");
    EXPECT_EQ(cls->Find(QStringLiteral("visible"))->Typ, fvtBool);
    EXPECT_EQ(cls->Find(QStringLiteral("ALIGN"))->Typ, fvtEnum);
    EXPECT_EQ(cls->Find(QStringLiteral("Style"))->Typ, fvtEnum);
    EXPECT_EQ(cls->Find(QStringLiteral("Link"))->Typ, fvtClass);
    EXPECT_EQ(cls->Find(QStringLiteral("Letter"))->Typ, fvtChar);
    EXPECT_EQ(cls->Find(QStringLiteral("Big"))->Typ, fvtInt64);
    EXPECT_EQ(cls->Find(QStringLiteral("Data"))->Typ, fvtVariant);
    EXPECT_TRUE(cls->Find(QStringLiteral("ReadOnlyValue"))->IsReadOnly);
    EXPECT_EQ(cls->Find(QStringLiteral("OnClick")), nullptr);
    // The enumeration values are names scripts can use.
    EXPECT_NE(script->Find(QStringLiteral("taCenter")), nullptr);
    EXPECT_NE(script->Find(QStringLiteral("tsItalic")), nullptr);
}

TEST_F(RegistryClasses, EveryKindReadAndWritten)
{
    EXPECT_EQ(Run(QStringLiteral(R"(begin
  ShowMessage(Obj.Width);
  Obj.Width := Obj.Width + 5;
  Obj.Big := 5000000000;
  Obj.Letter := 'xyz';
  Obj.Align := taRight;
  Obj.Style := [tsBold, tsUnderline];
  Obj.Ratio := Obj.Ratio * 2;
  Obj.Caption := 'Привет';
  Obj.Data := 'any';
  Obj.Link := Other;
  Obj.Tag := 7;
  Obj.Visible := False;
  ShowMessage(IntToStr(Obj.Width) + ' ' + IntToStr(Obj.Big) + ' ' + Obj.Letter + ' ' + IntToStr(Obj.Align) + ' ' +
    IntToStr(Obj.Style) + ' ' + FloatToStr(Obj.Ratio) + ' ' + Obj.Caption + ' ' + Obj.Data + ' ' + IntToStr(Obj.Tag));
  ShowMessage(Obj.Visible);
  ShowMessage(Obj.BoolRaw);
  ShowMessage(Obj.Link = Other);
  ShowMessage(Obj.Font.Size);
  ShowMessage(Obj.ReadOnlyValue);
end.)")),
              "100\n105 5000000000 x 2 5 3 Привет any 7\nFalse\nTrue\nTrue\n10\n7");
    EXPECT_EQ(object.Width, 105);
    EXPECT_EQ(object.Letter, u'x');
    EXPECT_EQ(object.Link, &other);
    EXPECT_FALSE(object.Visible);
    EXPECT_EQ(object.Caption, QString::fromUtf8("Привет"));
}

TEST_F(RegistryClasses, BadValuesRaise)
{
    EXPECT_EQ(Run(QStringLiteral("begin Obj.Align := 7; end.")), "ERangeError: Range check error");
    EXPECT_EQ(Run(QStringLiteral("var v: Variant; begin v := 'abc'; Obj.Width := v; end.")),
              "EVariantError: Invalid variant type cast");
    EXPECT_EQ(Run(QStringLiteral("var o: TTestObject; begin o := nil; o.Width := 1; end.")),
              "EAccessViolation: Object reference is nil");
}

// --- Late-bound objects ---------------------------------------------------------------------

// Records each call; members: Width (property), Items (indexed property), Beep (method).
class RecordingDispatch : public IScriptDispatch {
public:
    explicit RecordingDispatch(QStringList& calls) : calls_(calls) {}
    int FindMember(const QString& name) override
    {
        static const QStringList members = {QStringLiteral("Width"), QStringLiteral("Items"), QStringLiteral("Beep")};
        for (int i = 0; i < members.size(); ++i) {
            if (members[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    Variant Invoke(int member, DispatchCall calls, std::span<const Variant> arguments) override
    {
        QString line = QString::number(member) + u' ' + QString::number(static_cast<int>(calls));
        for (const Variant& a : arguments)
            line += u' ' + VarToStr(a);
        calls_ << line;
        if (member == 0 && HasCall(calls, DispatchCall::PropertyGet))
            return Variant(42);
        if (member == 0 && HasCall(calls, DispatchCall::PropertyPut) && arguments.size() == 1 &&
            arguments[0].Kind() == VariantKind::String)
            throw DispatchFailure{kDispTypeMismatch, {}, {}, {}};
        if (member == 2 && !arguments.empty())
            throw DispatchFailure{kDispException, QStringLiteral("Recorder"), QStringLiteral("Beep takes nothing"), {}};
        return Variant();
    }

private:
    QStringList& calls_;
};

TEST(LateBound, CallsByNameWithTheMethodOrGetRule)
{
    QStringList calls;
    DispatchFactories::Register(QStringLiteral("Test.Recorder"),
                                [&calls] { return std::make_shared<RecordingDispatch>(calls); });
    const std::string out = RunScript(QStringLiteral("RireroRidoze"), QStringLiteral(R"(var v: Variant;
begin
  v := CreateOleObject('Test.Recorder');
  ShowMessage(v.Width);
  v.Items[1, 2] := 'x';
  v.Beep;
  try
    v.Width := 'text';
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    v.Beep(1);
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    v.Foo;
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.)"));
    DispatchFactories::Register(QStringLiteral("Test.Recorder"), {});
    EXPECT_EQ(out, "42\n"
                   "EOleSysError: OLE error 80020005: Width: Type mismatch.\n"
                   "EOleException: OLE error 80020009: Beep: Exception occurred.\n"
                   "Source        ::  Recorder\nDescription ::  Beep takes nothing\n"
                   "EOleSysError: OLE error 80020006: Foo: Unknown name.");
    // A read without arguments is a method call or a read (1|2); the indexed put passes the
    // indexes, then the value (4); a statement call is a plain method call (1).
    EXPECT_EQ(calls.join(u'|').toStdString(), "0 3|1 4 1 2 x|2 1|0 4 text|2 1 1");
}

TEST(LateBound, UnknownClassNames)
{
    EXPECT_EQ(RunScript(QStringLiteral("RireroRidoze"), QStringLiteral(R"(var v: Variant;
begin
  try
    v := CreateOleObject('X.Y');
  except
    ShowMessage(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.)")),
              "EOleSysError: OLE error 800401F3: CreateOleObject: Invalid class string");
}

TEST(LateBound, RegistryObjectsThroughTheAdapter)
{
    RegisterRegistryTestClasses();
    TTestObject object;
    DispatchFactories::Register(QStringLiteral("Test.Object"), [&object] {
        return std::make_shared<RegistryDispatch>(object, *PropertyRegistry::Global().Find(TTestObject::Class()));
    });
    EXPECT_EQ(RunScript(QStringLiteral("JScript"), QStringLiteral(R"(var v = CreateOleObject("Test.Object");
v.Width = v.Width + 1;
ShowMessage(v.Width);
ShowMessage(v.Caption + "|");)")),
              "101\n|");
    DispatchFactories::Register(QStringLiteral("Test.Object"), {});
}

// --- Injected sources -----------------------------------------------------------------------

class FixedClock : public IClockService {
public:
    double Now() override { return 45356.75; } // 2024-03-05 18:00
};

class FixedRandom : public IRandomService {
public:
    void Randomize() override { seeded = true; }
    double Next() override { return 0.25; }
    bool seeded = false;
};

TEST(SystemFunctions, ClockAndRandomComeFromTheServices)
{
    FixedClock clock;
    FixedRandom random;
    ReportServices::SetClock(&clock);
    ReportServices::SetRandom(&random);
    const std::string out = RunScript(QStringLiteral("RireroRidoze"), QStringLiteral(R"(begin
  ShowMessage(DateTimeToStr(Now));
  ShowMessage(Date);
  ShowMessage(Time);
  Randomize;
  ShowMessage(Random);
end.)"));
    ReportServices::SetClock(nullptr);
    ReportServices::SetRandom(nullptr);
    EXPECT_EQ(out, "2024-03-05 18:00:00\n45356\n0.75\n0.25");
    EXPECT_TRUE(random.seeded);
}

TEST(SystemFunctions, TextsFollowTheScriptsSettings)
{
    const std::string out = RunScript(QStringLiteral("RireroRidoze"), QStringLiteral(R"(begin
  ShowMessage(FormatFloat('#,##0.00', 1234.5));
  ShowMessage(FloatToStr(2.5));
  ShowMessage(DateToStr(EncodeDate(2024, 3, 5)));
  ShowMessage(StrToFloat('1,5') * 2);
end.)"),
                                      [](TscScript& script) { script.SetFormatSettings(FormatSettings::RuRu()); });
    EXPECT_EQ(out, "1\u00A0234,50\n2,5\n05.03.2024\n3");
}

// --- Catalogue ------------------------------------------------------------------------------

const ScriptClassInfo kTinyClass{QStringLiteral("TTiny"), nullptr};

TEST(Catalogue, OneTinyClassGolden)
{
    TscScript script;
    script.AddEnum(QStringLiteral("TTinyKind"), QStringLiteral("tkOne, tkTwo"));
    TscClassVariable* cls = script.AddClass(QStringLiteral("TTiny"), &kTinyClass, QStringLiteral("TObject"));
    cls->AddProperty(QStringLiteral("Kind"), QStringLiteral("TTinyKind"), [](TscCallFrame&) { return Variant(0); });
    cls->AddMethod(QStringLiteral("procedure Ping(Times: Integer)"), [](TscCallFrame&) { return Variant(); });
    cls->AddIndexProperty(QStringLiteral("Cells"), QStringLiteral("Integer"), QStringLiteral("String"),
                          [](TscCallFrame&) { return Variant(); });
    cls->AddEvent(QStringLiteral("OnPing"), {});
    script.AddMethod(QStringLiteral("function Quote(s: String): String"), [](TscCallFrame&) { return Variant(); },
                     QStringLiteral("ctString"), QStringLiteral("Puts \"quotes\" & <brackets> around"));
    script.AddVariable(QStringLiteral("Counter"), QStringLiteral("Integer"), Variant(0));
    script.AddConst(QStringLiteral("Limit"), QStringLiteral("Integer"), Variant(10));

    TscXMLDocument document;
    document.Root()->SetName(QStringLiteral("Catalog"));
    GenerateScriptCatalogXML(&script, document.Root(), false);
    document.SetAutoIndent(true);
    const QByteArray expected =
        "<?xml version=\"1.0\"?>\r\n"
        "<Catalog>\r\n"
        "  <Functions>\r\n"
        "    <ctString text=\"ctString\">\r\n"
        "      <item text=\"function Quote(s: String): String\" description=\"Puts &#34;quotes&#34; &#38; &#60;brackets&#62; around\"/>\r\n"
        "    </ctString>\r\n"
        "  </Functions>\r\n"
        "  <Classes>\r\n"
        "    <item text=\"TTiny = class(TObject)\">\r\n"
        "      <item text=\"property Kind: TTinyKind\"/>\r\n"
        "      <item text=\"procedure Ping(Times: Integer)\"/>\r\n"
        "      <item text=\"index property Cells(p0: Integer): String\"/>\r\n"
        "      <item text=\"event OnPing\"/>\r\n"
        "    </item>\r\n"
        "  </Classes>\r\n"
        "  <Types>\r\n"
        "    <item text=\"TTinyKind: (tkOne,tkTwo)\"/>\r\n"
        "  </Types>\r\n"
        "  <Variables>\r\n"
        "    <item text=\"Counter: Integer\"/>\r\n"
        "  </Variables>\r\n"
        "  <Constants>\r\n"
        "    <item text=\"Limit: Integer = 10\"/>\r\n"
        "  </Constants>\r\n"
        "</Catalog>\r\n";
    EXPECT_EQ(document.SaveToBytes().toStdString(), expected.toStdString());

    // The description reads back as written.
    TscXMLDocument again;
    again.LoadFromBytes(document.SaveToBytes());
    EXPECT_EQ(again.Root()->Items(0)->Items(0)->Items(0)->Prop(QStringLiteral("description")).toStdString(),
              "Puts \"quotes\" & <brackets> around");

    TscXMLItem members;
    GenerateClassMembersXML(&script, cls, &members);
    EXPECT_EQ(members.Count(), 4);
}

TEST(Catalogue, FunctionsOnlyAndTheWholeLibrary)
{
    std::unique_ptr<TscScript> script = NewScript(QStringLiteral("RireroRidoze"));
    TscXMLItem root(QStringLiteral("Catalog"));
    GenerateScriptCatalogXML(script.get(), &root, true);
    const TscXMLItem* functions = root.Items(root.Find(QStringLiteral("Functions")));
    int count = 0;
    for (int i = 0; i < functions->Count(); ++i)
        count += functions->Items(i)->Count();
    EXPECT_EQ(count, 68);
    EXPECT_EQ(root.Items(root.Find(QStringLiteral("Constants")))->Count(), 0);
    TscXMLItem whole(QStringLiteral("Catalog"));
    GenerateScriptCatalogXML(script.get(), &whole, false);
    EXPECT_GT(whole.Items(whole.Find(QStringLiteral("Constants")))->Count(), 25);
}

} // namespace
