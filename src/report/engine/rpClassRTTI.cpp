// The binding module of the report classes. Members that move, free or reload report objects
// refuse to act on the report that is being prepared (the engine walks those objects), and
// members that touch files ask the script's file-access policy first.

#include "rpClassRTTI.h"

#include "rpEngine.h"
#include "rpPreviewPages.h"

#include "report/core/Colors.h"
#include "report/core/Cursors.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"
#include "report/model/rpVariables.h"
#include "report/model/rpWideStrings.h"
#include "report/script/ScriptBindings.h"
#include "report/script/ScriptObjects.h"
#include "report/script/ScriptStreams.h"
#include "report/script/ScriptStrings.h"

#include "platform/DateTime.h"

#include <QBuffer>

using namespace scbind;
using Frame = TscCallFrame;

namespace {

// Picture files a script loads into a picture view are refused beyond this size.
constexpr qint64 kMaxPictureFileBytes = qint64{64} * 1024 * 1024;

Variant Ref(ScriptObject* object)
{
    return ObjectHandles::ToVariant(object);
}

// The text as the code page of a character set keeps it: every character that code page lacks
// becomes "?".
QString ThroughCodePage(const QString& text, uint8_t charset)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView character = QStringView(text).mid(i, length);
        const QString back = AnsiToWideByCharset(WideToAnsiByCharset(character, charset), charset);
        if (back == character)
            result += back;
        else
            result += u'?';
        i += length;
    }
    return result;
}

// --- TWideStrings as a script object -------------------------------------------------------

// A wide string list for scripts: one of its own (TWideStrings.Create), or the lines of a
// memo, reached through the memo's handle so that a freed memo is a script error.
class ScriptWideStrings : public ScriptObject {
public:
    static const ScriptClassInfo& Class()
    {
        static const ScriptClassInfo info{QStringLiteral("TWideStrings"), &ScriptPlainObject::PersistentClass()};
        return info;
    }
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    ScriptWideStrings() = default;
    explicit ScriptWideStrings(uint32_t memo) : memo_(memo) {}

    TrpWideStrings& List()
    {
        if (memo_ == 0)
            return own_;
        return Cast<TrpCustomMemoView>(ObjectHandles::Resolve(memo_)).Memo();
    }

private:
    TrpWideStrings own_;
    uint32_t memo_ = 0; // handle of the memo whose lines these are; 0 for a list of its own
};

// --- guards --------------------------------------------------------------------------------

TrpReport* ReportOf(TrpComponent& object)
{
    return dynamic_cast<TrpReport*>(object.IsReport() ? &object : object.Report());
}

// Reloading, clearing or moving objects of a report that is being prepared would pull them
// from under the engine: such calls are refused with a script error.
void RefuseWhilePreparing(TrpComponent& object, const char* member)
{
    TrpReport* report = ReportOf(object);
    if (report != nullptr && report->Preparing())
        throw EInvalidOperation(
            FormatResource(GetResourcesInstance().Get(u"enScriptObjectBusy"), {Variant(QString::fromLatin1(member))})
                .toStdString());
}

// The engine's page operations have a page to work on only while the engine runs.
TrpCustomEngine& RunningEngine(TrpCustomEngine& engine, const char* member)
{
    if (!engine.Running)
        throw EInvalidOperation(
            FormatResource(GetResourcesInstance().Get(u"enScriptEngineIdle"), {Variant(QString::fromLatin1(member))})
                .toStdString());
    return engine;
}

// A property the class publishes already reaches scripts through the registry: it is not
// declared a second time.
bool Published(TscClassVariable* c, const QString& name)
{
    for (int i = 0; i < c->MembersCount(); ++i) {
        auto* property = dynamic_cast<TscPropertyHelper*>(c->Member(i));
        if (property != nullptr && property->IsPublished && property->Name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void AddPropertyOnce(TscClassVariable* c, const QString& name, const QString& typ, TscNativeCallable getter,
                     TscNativeCallable setter = {})
{
    if (!Published(c, name))
        c->AddProperty(name, typ, std::move(getter), std::move(setter));
}

// The class record of a report class as the property registry knows it, else the given one.
const ScriptClassInfo* Info(const char* name, const ScriptClassInfo* fallback = nullptr)
{
    if (const RegisteredClass* registered = PropertyRegistry::Global().FindByName(QString::fromLatin1(name)))
        return &registered->Info;
    return fallback;
}

TscClassVariable* Declare(TscScript* script, const char* name, const char* parent,
                          const ScriptClassInfo* fallback = nullptr)
{
    TscClassVariable* c =
        script->AddClass(QString::fromLatin1(name), Info(name, fallback), QString::fromLatin1(parent));
    if (c == nullptr)
        c = script->FindClass(QString::fromLatin1(name));
    return c;
}

// --- constants and enumerations ------------------------------------------------------------

void AddConstants(TscScript* script)
{
    const auto ext = QStringLiteral("Extended");
    const auto integer = QStringLiteral("Integer");
    script->AddConst(QStringLiteral("rp01cm"), ext, Variant(3.77953));
    script->AddConst(QStringLiteral("rp1cm"), ext, Variant(37.7953));
    script->AddConst(QStringLiteral("rp01in"), ext, Variant(9.6));
    script->AddConst(QStringLiteral("rp1in"), ext, Variant(96.0));
    script->AddConst(QStringLiteral("rp1CharX"), ext, Variant(kDotMatrixColumn));
    script->AddConst(QStringLiteral("rp1CharY"), ext, Variant(kDotMatrixRow));
    script->AddConst(QStringLiteral("clTransparent"), integer, Variant(static_cast<int32_t>(clNone)));
    script->AddConst(QStringLiteral("crHand"), integer, Variant(int32_t{crHand}));
    script->AddConst(QStringLiteral("crZoom"), integer, Variant(int32_t{crZoom}));
    script->AddConst(QStringLiteral("crFormat"), integer, Variant(int32_t{crFormat}));
}

struct EnumDeclaration {
    const char* type;
    const char* names;
    bool set;
};

constexpr EnumDeclaration kEnumerations[] = {
    {"TrpStretchMode", "smDontStretch, smActualHeight, smMaxHeight", false},
    {"TrpShiftMode", "smDontShift, smAlways, smWhenOverlapped", false},
    {"TrpDuplexMode", "dmNone, dmVertical, dmHorizontal, dmSimplex", false},
    {"TrpAlign", "baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient", false},
    {"TrpFrameStyle", "fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble", false},
    {"TrpFrameTypes", "ftLeft, ftRight, ftTop, ftBottom", true},
    {"TrpHAlign", "haLeft, haRight, haCenter, haBlock", false},
    {"TrpVAlign", "vaTop, vaBottom, vaCenter", false},
    {"TrpRestrictions", "rfDontModify, rfDontSize, rfDontMove, rfDontDelete", true},
    {"TrpShapeKind", "skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2", false},
    {"TrpPreviewButtons",
     "pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbTree, pbPageSetup, pbRefresh, pbTools, pbEdit, "
     "pbNavigator, pbExportQuick",
     true},
    {"TrpZoomMode", "zmDefault, zmWholePage, zmPageWidth, zmManyPages", false},
    {"TrpPrintPages", "ppAll, ppOdd, ppEven", false},
    {"TrpDMPFontStyles", "fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide, "
                         "fsx12cpi, fsx15cpi",
     true},
    {"TrpRangeBegin", "rbFirst, rbCurrent", false},
    {"TrpRangeEnd", "reLast, reCurrent, reCount", false},
    {"TrpFieldType", "fftNumeric, fftString, fftBoolean", false},
    {"TrpFormatKind", "fkText, fkNumeric, fkDateTime, fkBoolean", false},
};

// The preview options hold one set of buttons, with an outline button and no refresh button;
// the script names address the bits of that set by name, not by position.
void MapPreviewButtons(TscScript* script)
{
    struct Mapping {
        const char* name;
        int bit; // -1: no bit
    };
    static constexpr Mapping kMappings[] = {
        {"pbPrint", pbPrint},       {"pbLoad", pbLoad},         {"pbSave", pbSave},
        {"pbExport", pbExport},     {"pbZoom", pbZoom},         {"pbFind", pbFind},
        {"pbTree", pbOutline},      {"pbPageSetup", pbPageSetup}, {"pbRefresh", -1},
        {"pbTools", pbTools},       {"pbEdit", pbEdit},         {"pbNavigator", pbNavigator},
        {"pbExportQuick", pbExportQuick},
    };
    for (const Mapping& mapping : kMappings) {
        auto* value = dynamic_cast<TscVariable*>(script->FindLocal(QString::fromLatin1(mapping.name)));
        if (value != nullptr)
            value->PValue() = Variant(mapping.bit < 0 ? int32_t{0} : static_cast<int32_t>(uint32_t{1} << mapping.bit));
    }
}

void AddEnumerations(TscScript* script)
{
    for (const EnumDeclaration& e : kEnumerations) {
        const QString names = QString::fromLatin1(e.names).remove(u' ').replace(u',', QStringLiteral(", "));
        if (e.set)
            script->AddEnumSet(QString::fromLatin1(e.type), names);
        else
            script->AddEnum(QString::fromLatin1(e.type), names);
    }
    MapPreviewButtons(script);
}

// --- classes -------------------------------------------------------------------------------

void AddWideStrings(TscScript* script)
{
    if (script->FindClass(QStringLiteral("TPersistent")) == nullptr)
        return;
    const ScriptClassInfo& cls = ScriptWideStrings::Class();
    const auto list = [&cls](Frame& f) -> TrpWideStrings& { return Self<ScriptWideStrings>(f, cls).List(); };
    TscClassVariable* c = script->AddClass(QStringLiteral("TWideStrings"), &cls, QStringLiteral("TPersistent"));
    c->AddConstructor(QStringLiteral("constructor Create"),
                      [](Frame& f) { return Adopt(f, std::make_unique<ScriptWideStrings>()); });
    c->AddMethod(QStringLiteral("function Add(const S: string): Integer"),
                 [list](Frame& f) { return Variant(int32_t{list(f).Add(Text(f, 0))}); });
    c->AddMethod(QStringLiteral("function AddObject(const S: string; AObject: TObject): Integer"), [list](Frame& f) {
        const uint32_t object = ReferenceArg(f.Arg(1));
        return Variant(int32_t{list(f).AddObject(Text(f, 0), static_cast<int32_t>(object))});
    });
    c->AddMethod(QStringLiteral("procedure Clear"), [list](Frame& f) {
        list(f).Clear();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure Delete(Index: Integer)"), [list](Frame& f) {
        list(f).Delete(Int(f, 0));
        return kNothing;
    });
    c->AddMethod(QStringLiteral("function IndexOf(const S: string): Integer"),
                 [list](Frame& f) { return Variant(int32_t{list(f).IndexOf(Text(f, 0))}); });
    c->AddMethod(QStringLiteral("procedure Insert(Index: Integer; const S: string)"), [list](Frame& f) {
        list(f).Insert(Int(f, 0), Text(f, 1));
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure LoadFromFile(const FileName: string)"), [list](Frame& f) {
        QByteArray bytes = ReadFile(f, Text(f, 0), kMaxWideStringsStreamSize);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        list(f).LoadFromStream(buffer);
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure LoadFromStream(Stream: TStream)"), [list](Frame& f) {
        TrpWideStrings& lines = list(f);
        RequiredArg<ScriptStream>(f, 0).WithDevice([&lines](QIODevice& device) { lines.LoadFromStream(device); });
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure SaveToFile(const FileName: string)"), [list](Frame& f) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        list(f).SaveToStream(buffer);
        WriteFile(f, Text(f, 0), bytes);
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure SaveToStream(Stream: TStream)"), [list](Frame& f) {
        TrpWideStrings& lines = list(f);
        RequiredArg<ScriptStream>(f, 0).WithDevice([&lines](QIODevice& device) { lines.SaveToStream(device); });
        return kNothing;
    });
    c->AddProperty(QStringLiteral("Count"), QStringLiteral("Integer"),
                   [list](Frame& f) { return Variant(int32_t{list(f).Count()}); });
    c->AddIndexProperty(QStringLiteral("Objects"), QStringLiteral("Integer"), QStringLiteral("TObject"),
                        [list](Frame& f) {
                            TrpWideStrings& lines = list(f);
                            const int index = Int(f, 0);
                            if (f.AssignedValue != nullptr) {
                                lines.PutObject(index, static_cast<int32_t>(ReferenceArg(*f.AssignedValue)));
                                return kNothing;
                            }
                            return Variant::FromObject(static_cast<uint32_t>(lines.Objects(index)));
                        });
    c->AddDefaultProperty(QStringLiteral("Strings"), QStringLiteral("Integer"), QStringLiteral("string"),
                          [list](Frame& f) {
                              TrpWideStrings& lines = list(f);
                              if (f.AssignedValue != nullptr) {
                                  lines.Put(Int(f, 0), VarToStr(*f.AssignedValue, Settings(f)));
                                  return kNothing;
                              }
                              return Variant(lines.Strings(Int(f, 0)));
                          });
    c->AddProperty(
        QStringLiteral("Text"), QStringLiteral("string"), [list](Frame& f) { return Variant(list(f).Text()); },
        [list](Frame& f) {
            list(f).SetText(VarToStr(Assigned(f), Settings(f)));
            return kNothing;
        });
}

void AddDataSet(TscScript* script)
{
    const ScriptClassInfo& cls = TrpDataSet::Class();
    const auto self = [&cls](Frame& f) -> TrpDataSet& { return Self<TrpDataSet>(f, cls); };
    TscClassVariable* c = Declare(script, "TrpDataSet", "TComponent", &cls);
    const auto action = [c, self](const char* declaration, void (TrpDataSet::*call)()) {
        c->AddMethod(QString::fromLatin1(declaration), [self, call](Frame& f) {
            (self(f).*call)();
            return kNothing;
        });
    };
    action("procedure Open", &TrpDataSet::Open);
    action("procedure Close", &TrpDataSet::Close);
    action("procedure First", &TrpDataSet::First);
    action("procedure Next", &TrpDataSet::Next);
    action("procedure Prior", &TrpDataSet::Prior);
    c->AddMethod(QStringLiteral("function Eof: Boolean"), [self](Frame& f) { return Variant(self(f).Eof()); });
    c->AddMethod(QStringLiteral("function FieldsCount: Integer"),
                 [self](Frame& f) { return Variant(self(f).FieldsCount()); });
    c->AddMethod(QStringLiteral("function HasField(const fName: String): Boolean"),
                 [self](Frame& f) { return Variant(self(f).HasField(Text(f, 0))); });
    c->AddMethod(QStringLiteral("function IsBlobField(const fName: String): Boolean"),
                 [self](Frame& f) { return Variant(self(f).IsBlobField(Text(f, 0))); });
    c->AddMethod(QStringLiteral("function RecordCount: Integer"),
                 [self](Frame& f) { return Variant(self(f).RecordCount()); });
    c->AddMethod(QStringLiteral("procedure GetFieldList(List: TStrings)"), [self](Frame& f) {
        TrpDataSet& dataSet = self(f);
        ScriptStrings& strings = RequiredArg<ScriptStrings>(f, 0);
        QStringList fields;
        dataSet.GetFieldList(fields);
        strings.SetLines(fields);
        return kNothing;
    });
    AddPropertyOnce(c, QStringLiteral("RecNo"), QStringLiteral("Integer"),
                    [self](Frame& f) { return Variant(self(f).RecNo()); });
    c->AddIndexProperty(
        QStringLiteral("DisplayText"), QStringLiteral("String"), QStringLiteral("String"),
        [self](Frame& f) { return Variant(self(f).GetDisplayText(Text(f, 0))); }, true);
    c->AddIndexProperty(
        QStringLiteral("DisplayWidth"), QStringLiteral("String"), QStringLiteral("Integer"),
        [self](Frame& f) { return Variant(self(f).GetDisplayWidth(Text(f, 0))); }, true);
    c->AddIndexProperty(
        QStringLiteral("FieldType"), QStringLiteral("String"), QStringLiteral("TrpFieldType"),
        [self](Frame& f) { return Variant(static_cast<int32_t>(self(f).GetFieldType(Text(f, 0)))); }, true);
    c->AddIndexProperty(
        QStringLiteral("Value"), QStringLiteral("String"), QStringLiteral("Variant"),
        [self](Frame& f) { return self(f).GetValue(Text(f, 0)); }, true);
    Declare(script, "TrpUserDataSet", "TrpDataSet", &TrpUserDataSet::Class());
    Declare(script, "TrpCustomDBDataSet", "TrpDataSet", &TrpCustomDBDataSet::Class());
}

Variant ObjectList(Frame& f, const std::vector<TrpComponent*>& objects)
{
    auto list = std::make_unique<ScriptList>();
    for (TrpComponent* object : objects)
        list->Add(object->Handle());
    return Adopt(f, std::move(list));
}

void AddComponent(TscScript* script)
{
    const ScriptClassInfo& cls = TrpComponent::Class();
    const auto self = [&cls](Frame& f) -> TrpComponent& { return Self<TrpComponent>(f, cls); };
    TscClassVariable* c = Declare(script, "TrpComponent", "TComponent", &cls);
    c->AddMethod(QStringLiteral("procedure Clear"), [self](Frame& f) {
        TrpComponent& object = self(f);
        RefuseWhilePreparing(object, "Clear");
        object.Clear();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("function FindObject(s: String): TrpComponent"),
                 [self](Frame& f) { return Ref(self(f).FindObject(Text(f, 0))); });
    c->AddMethod(QStringLiteral("procedure LoadFromStream(Stream: TStream)"), [self](Frame& f) {
        TrpComponent& object = self(f);
        RefuseWhilePreparing(object, "LoadFromStream");
        RequiredArg<ScriptStream>(f, 0).WithDevice([&object](QIODevice& device) { object.LoadFromStream(device); });
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)"),
                 [self](Frame& f) {
                     TrpComponent& object = self(f);
                     const bool children = f.Args.size() < 2 || f.Arg(1).IsUnassigned() || Bool(f, 1);
                     RequiredArg<ScriptStream>(f, 0).WithDevice(
                         [&object, children](QIODevice& device) { object.SaveToStream(device, children, false, false); });
                     return kNothing;
                 });
    c->AddMethod(QStringLiteral("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)"), [self](Frame& f) {
        self(f).SetBounds(Real(f, 0), Real(f, 1), Real(f, 2), Real(f, 3));
        return kNothing;
    });
    AddPropertyOnce(c, QStringLiteral("Objects"), QStringLiteral("TList"),
                    [self](Frame& f) { return ObjectList(f, self(f).Objects()); });
    AddPropertyOnce(c, QStringLiteral("AllObjects"), QStringLiteral("TList"),
                    [self](Frame& f) { return ObjectList(f, self(f).AllObjects()); });
    AddPropertyOnce(
        c, QStringLiteral("Parent"), QStringLiteral("TrpComponent"), [self](Frame& f) { return Ref(self(f).Parent()); },
        [self](Frame& f) {
            TrpComponent& object = self(f);
            const uint32_t handle = ObjectHandles::HandleOf(Assigned(f));
            TrpComponent* parent =
                handle == 0 ? nullptr : &Cast<TrpComponent>(ObjectHandles::Resolve(handle, TrpComponent::Class()));
            RefuseWhilePreparing(object, "Parent");
            if (parent != nullptr)
                RefuseWhilePreparing(*parent, "Parent");
            object.SetParent(parent);
            return kNothing;
        });
    AddPropertyOnce(c, QStringLiteral("Page"), QStringLiteral("TrpPage"),
                    [self](Frame& f) { return Ref(self(f).Page()); });
    AddPropertyOnce(c, QStringLiteral("AbsLeft"), QStringLiteral("Extended"),
                    [self](Frame& f) { return Variant(self(f).AbsLeft()); });
    AddPropertyOnce(c, QStringLiteral("AbsTop"), QStringLiteral("Extended"),
                    [self](Frame& f) { return Variant(self(f).AbsTop()); });
}

void AddViews(TscScript* script, TrpClassRTTIFunctions* module)
{
    Declare(script, "TrpReportComponent", "TrpComponent", &TrpReportComponent::Class());
    Declare(script, "TrpDialogComponent", "TrpReportComponent");
    // The dialog controls live with the widgets; they are declared when that library has
    // registered them.
    if (const ScriptClassInfo* control = Info("TrpDialogControl")) {
        TscClassVariable* c = script->AddClass(QStringLiteral("TrpDialogControl"), control,
                                               QStringLiteral("TrpReportComponent"));
        if (c != nullptr)
            c->AddMethod(QStringLiteral("procedure SetFocus"), [control](Frame& f) {
                Cast<TrpReportComponent>(f.Object(*control)).SetFocus();
                return kNothing;
            });
    }
    Declare(script, "TrpFrameLine", "TPersistent", &TrpFrameLine::Class());
    Declare(script, "TrpFrame", "TPersistent", &TrpFrame::Class());

    const ScriptClassInfo& viewClass = TrpView::Class();
    TscClassVariable* view = Declare(script, "TrpView", "TrpReportComponent", &viewClass);
    AddPropertyOnce(
        view, QStringLiteral("TagStr"), QStringLiteral("String"),
        [&viewClass](Frame& f) { return Variant(Self<TrpView>(f, viewClass).TagStr); },
        [&viewClass](Frame& f) {
            Self<TrpView>(f, viewClass).TagStr = VarToStr(Assigned(f), Settings(f));
            return kNothing;
        });
    Declare(script, "TrpShapeView", "TrpView");
    const ScriptClassInfo& stretchClass = TrpStretcheable::Class();
    TscClassVariable* stretch = Declare(script, "TrpStretcheable", "TrpView", &stretchClass);
    stretch->AddMethod(QStringLiteral("function CalcHeight: Extended"), [&stretchClass](Frame& f) {
        return Variant(Self<TrpStretcheable>(f, stretchClass).CalcHeight());
    });
    Declare(script, "TrpHighlight", "TPersistent", &TrpHighlight::Class());
    Declare(script, "TrpFormat", "TPersistent", &TrpFormat::Class());

    const ScriptClassInfo& memoClass = TrpCustomMemoView::Class();
    const auto memo = [&memoClass](Frame& f) -> TrpCustomMemoView& { return Self<TrpCustomMemoView>(f, memoClass); };
    TscClassVariable* m = Declare(script, "TrpCustomMemoView", "TrpStretcheable", &memoClass);
    m->AddMethod(QStringLiteral("function CalcWidth: Extended"),
                 [memo](Frame& f) { return Variant(memo(f).CalcWidth()); });
    AddPropertyOnce(
        m, QStringLiteral("Text"), QStringLiteral("String"), [memo](Frame& f) { return Variant(memo(f).Memo().Text()); },
        [memo](Frame& f) {
            memo(f).Memo().SetText(VarToStr(Assigned(f), Settings(f)));
            return kNothing;
        });
    // Script texts are Unicode: the 8-bit text is the lines taken through the code page of the
    // font's character set and back, so characters that code page lacks come back as "?".
    AddPropertyOnce(
        m, QStringLiteral("AnsiText"), QStringLiteral("String"),
        [memo](Frame& f) {
            TrpCustomMemoView& self = memo(f);
            return Variant(ThroughCodePage(self.Memo().Text(), self.Font().Charset()));
        },
        [memo](Frame& f) {
            TrpCustomMemoView& self = memo(f);
            self.Memo().SetText(ThroughCodePage(VarToStr(Assigned(f), Settings(f)), self.Font().Charset()));
            return kNothing;
        });
    AddPropertyOnce(
        m, QStringLiteral("Lines"), QStringLiteral("TWideStrings"),
        [memo, module](Frame& f) { return Variant::FromObject(module->LinesViewOf(memo(f))); },
        [memo](Frame& f) {
            TrpCustomMemoView& self = memo(f);
            const uint32_t handle = ObjectHandles::HandleOf(Assigned(f));
            if (handle == 0) {
                self.Memo().Clear();
                return kNothing;
            }
            TrpWideStrings& source = Cast<ScriptWideStrings>(ObjectHandles::Resolve(handle)).List();
            if (&source != &self.Memo())
                self.Memo().Assign(TrpWideStrings(source));
            return kNothing;
        });
    AddPropertyOnce(m, QStringLiteral("Value"), QStringLiteral("Variant"), [memo](Frame& f) { return memo(f).Value; });
    Declare(script, "TrpMemoView", "TrpCustomMemoView");
    Declare(script, "TrpSysMemoView", "TrpCustomMemoView");
    Declare(script, "TrpDMPMemoView", "TrpCustomMemoView");
    Declare(script, "TrpCustomLineView", "TrpStretcheable");
    Declare(script, "TrpLineView", "TrpCustomLineView");
    Declare(script, "TrpDMPLineView", "TrpCustomLineView");
    Declare(script, "TrpDMPCommand", "TrpView");

    const ScriptClassInfo& pictureClass = TrpPictureView::Class();
    TscClassVariable* picture = Declare(script, "TrpPictureView", "TrpView", &pictureClass);
    picture->AddMethod(QStringLiteral("procedure LoadFromFile(filename: String)"), [&pictureClass](Frame& f) {
        TrpPictureView& self = Self<TrpPictureView>(f, pictureClass);
        QByteArray bytes = ReadFile(f, Text(f, 0), kMaxPictureFileBytes);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        self.LoadPictureFromStream(buffer, true);
        return kNothing;
    });
    Declare(script, "TrpSubreport", "TrpView");
}

void AddBandsAndPages(TscScript* script)
{
    const ScriptClassInfo& bandClass = TrpBand::Class();
    TscClassVariable* band = Declare(script, "TrpBand", "TrpReportComponent", &bandClass);
    AddPropertyOnce(band, QStringLiteral("Overflow"), QStringLiteral("Boolean"),
                    [&bandClass](Frame& f) { return Variant(Self<TrpBand>(f, bandClass).Overflow); });
    for (const char* name : {"TrpDataBand", "TrpHeader", "TrpFooter"})
        Declare(script, name, "TrpBand");
    for (const char* name : {"TrpMasterData", "TrpDetailData", "TrpSubdetailData", "TrpDataBand4", "TrpDataBand5",
                             "TrpDataBand6"})
        Declare(script, name, "TrpDataBand");
    for (const char* name : {"TrpPageHeader", "TrpPageFooter", "TrpColumnHeader", "TrpColumnFooter",
                             "TrpGroupHeader", "TrpGroupFooter", "TrpReportTitle", "TrpReportSummary", "TrpChild",
                             "TrpOverlay"})
        Declare(script, name, "TrpBand");

    Declare(script, "TrpPage", "TrpComponent", &TrpPage::Class());
    Declare(script, "TrpReportPage", "TrpPage", &TrpReportPage::Class());
    const ScriptClassInfo& dialogClass = TrpDialogPage::Class();
    TscClassVariable* dialog = Declare(script, "TrpDialogPage", "TrpPage", &dialogClass);
    dialog->AddMethod(QStringLiteral("function ShowModal: Integer"), [&dialogClass](Frame& f) {
        return Variant(Self<TrpDialogPage>(f, dialogClass).ShowModal());
    });
    AddPropertyOnce(
        dialog, QStringLiteral("ModalResult"), QStringLiteral("Integer"),
        [&dialogClass](Frame& f) { return Variant(Self<TrpDialogPage>(f, dialogClass).ModalResult()); },
        [&dialogClass](Frame& f) {
            Self<TrpDialogPage>(f, dialogClass).SetModalResult(Assigned(f).ToInt32(Settings(f)));
            return kNothing;
        });
    Declare(script, "TrpDMPPage", "TrpReportPage");
    Declare(script, "TrpDataPage", "TrpPage", &TrpDataPage::Class());
}

void AddOptionsAndLists(TscScript* script)
{
    const ScriptClassInfo& engineOptionsClass = TrpEngineOptions::Class();
    TscClassVariable* options = Declare(script, "TrpEngineOptions", "TPersistent", &engineOptionsClass);
    AddPropertyOnce(
        options, QStringLiteral("DestroyForms"), QStringLiteral("Boolean"),
        [&engineOptionsClass](Frame& f) { return Variant(Self<TrpEngineOptions>(f, engineOptionsClass).DestroyForms); },
        [&engineOptionsClass](Frame& f) {
            Self<TrpEngineOptions>(f, engineOptionsClass).DestroyForms = Assigned(f).ToBoolean(Settings(f));
            return kNothing;
        });
    Declare(script, "TrpPrintOptions", "TPersistent", &TrpPrintOptions::Class());
    Declare(script, "TrpPreviewOptions", "TPersistent", &TrpPreviewOptions::Class());
    Declare(script, "TrpReportOptions", "TPersistent", &TrpReportOptions::Class());
    Declare(script, "TrpVariable", "TCollectionItem", &TrpVariable::Class());

    const ScriptClassInfo& variablesClass = TrpVariables::Class();
    TscClassVariable* variables = Declare(script, "TrpVariables", "TCollection", &variablesClass);
    variables->AddConstructor(QStringLiteral("constructor Create"),
                              [](Frame& f) { return Adopt(f, std::make_unique<TrpVariables>()); });
    variables->AddDefaultProperty(QStringLiteral("Variables"), QStringLiteral("String"), QStringLiteral("Variant"),
                                  [&variablesClass](Frame& f) {
                                      TrpVariables& self = Self<TrpVariables>(f, variablesClass);
                                      if (f.AssignedValue != nullptr) {
                                          self.SetValue(Text(f, 0), *f.AssignedValue);
                                          return kNothing;
                                      }
                                      return self.GetValue(Text(f, 0));
                                  });

    Declare(script, "TrpStyleItem", "TCollectionItem", &TrpStyleItem::Class());
    const ScriptClassInfo& stylesClass = TrpStyles::Class();
    const auto styles = [&stylesClass](Frame& f) -> TrpStyles& { return Self<TrpStyles>(f, stylesClass); };
    TscClassVariable* s = Declare(script, "TrpStyles", "TCollection", &stylesClass);
    s->AddConstructor(QStringLiteral("constructor Create(AReport: TrpReport)"), [](Frame& f) {
        return Adopt(f, std::make_unique<TrpStyles>(ObjectArg<TrpReport>(f, 0)));
    });
    // Declared writable, as scripts know it; a write changes nothing.
    s->AddDefaultProperty(QStringLiteral("Items"), QStringLiteral("Integer"), QStringLiteral("TrpStyleItem"),
                          [styles](Frame& f) {
                              TrpStyles& self = styles(f);
                              if (f.AssignedValue != nullptr)
                                  return kNothing;
                              const int index = Int(f, 0);
                              if (index < 0 || index >= self.Count())
                                  throw EListError(
                                      QStringLiteral("List index (%1) out of bounds").arg(index).toStdString());
                              return Ref(self.Items(index));
                          });
    s->AddMethod(QStringLiteral("function Add: TrpStyleItem"), [styles](Frame& f) { return Ref(styles(f).Add()); });
    s->AddMethod(QStringLiteral("function Find(const Name: String): TrpStyleItem"),
                 [styles](Frame& f) { return Ref(styles(f).Find(Text(f, 0))); });
    s->AddMethod(QStringLiteral("procedure Apply"), [styles](Frame& f) {
        styles(f).Apply();
        return kNothing;
    });
    s->AddMethod(QStringLiteral("procedure GetList(List: TStrings)"), [styles](Frame& f) {
        TrpStyles& self = styles(f);
        QStringList names;
        self.GetList(names);
        RequiredArg<ScriptStrings>(f, 0).SetLines(names);
        return kNothing;
    });
    s->AddMethod(QStringLiteral("procedure LoadFromFile(const FileName: String)"), [styles](Frame& f) {
        TrpStyles& self = styles(f);
        CheckFile(f, Text(f, 0), FileAccessMode::Read);
        self.LoadFromFile(Text(f, 0));
        return kNothing;
    });
    s->AddMethod(QStringLiteral("procedure LoadFromStream(Stream: TStream)"), [styles](Frame& f) {
        TrpStyles& self = styles(f);
        RequiredArg<ScriptStream>(f, 0).WithDevice([&self](QIODevice& device) { self.LoadFromStream(device); });
        return kNothing;
    });
    s->AddMethod(QStringLiteral("procedure SaveToFile(const FileName: String)"), [styles](Frame& f) {
        TrpStyles& self = styles(f);
        CheckFile(f, Text(f, 0), FileAccessMode::Create);
        self.SaveToFile(Text(f, 0));
        return kNothing;
    });
    s->AddMethod(QStringLiteral("procedure SaveToStream(Stream: TStream)"), [styles](Frame& f) {
        TrpStyles& self = styles(f);
        RequiredArg<ScriptStream>(f, 0).WithDevice([&self](QIODevice& device) { self.SaveToStream(device); });
        return kNothing;
    });

    const ScriptClassInfo& arrayClass = TrpArray::Class();
    TscClassVariable* array = Declare(script, "TrpArray", "TCollection", &arrayClass);
    array->AddConstructor(QStringLiteral("constructor Create"),
                          [](Frame& f) { return Adopt(f, std::make_unique<TrpArray>()); });
    array->AddDefaultProperty(QStringLiteral("Variables"), QStringLiteral("Variant"), QStringLiteral("Variant"),
                              [&arrayClass](Frame& f) {
                                  TrpArray& self = Self<TrpArray>(f, arrayClass);
                                  if (f.AssignedValue != nullptr) {
                                      self.SetValue(f.Arg(0), *f.AssignedValue);
                                      return kNothing;
                                  }
                                  return self.GetValue(f.Arg(0));
                              });
}

void AddReport(TscScript* script)
{
    const ScriptClassInfo& cls = TrpReport::Class();
    const auto self = [&cls](Frame& f) -> TrpReport& { return Self<TrpReport>(f, cls); };
    TscClassVariable* c = Declare(script, "TrpReport", "TrpComponent", &cls);
    c->AddMethod(QStringLiteral("function Calc(const Expr: String): Variant"),
                 [self](Frame& f) { return self(f).Calc(Text(f, 0), f.Script, true); });
    c->AddMethod(QStringLiteral("function GetDataset(const Alias: String): TrpDataset"),
                 [self](Frame& f) { return Ref(self(f).GetDataset(Text(f, 0))); });
    c->AddMethod(QStringLiteral("function LoadFromFile(const FileName: String): Boolean"), [self](Frame& f) {
        TrpReport& report = self(f);
        RefuseWhilePreparing(report, "LoadFromFile");
        const QString name = Text(f, 0);
        CheckFile(f, name, FileAccessMode::Read);
        return Variant(report.LoadFromFile(name, false));
    });
    c->AddMethod(QStringLiteral("procedure SaveToFile(const FileName: String)"), [self](Frame& f) {
        TrpReport& report = self(f);
        const QString name = Text(f, 0);
        CheckFile(f, name, FileAccessMode::Create);
        report.SaveToFile(name);
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure ShowReport"), [self](Frame& f) {
        TrpReport& report = self(f);
        RefuseWhilePreparing(report, "ShowReport");
        report.ShowReport(true);
        return kNothing;
    });
    AddPropertyOnce(
        c, QStringLiteral("Terminated"), QStringLiteral("Boolean"), [self](Frame& f) { return Variant(self(f).Terminated()); },
        [self](Frame& f) {
            self(f).SetTerminated(Assigned(f).ToBoolean(Settings(f)));
            return kNothing;
        });
    AddPropertyOnce(c, QStringLiteral("Variables"), QStringLiteral("TrpVariables"),
                    [self](Frame& f) { return Ref(&self(f).Variables()); });
    AddPropertyOnce(c, QStringLiteral("Styles"), QStringLiteral("TrpStyles"),
                    [self](Frame& f) { return Ref(&self(f).Styles()); });
}

void AddEngineAndOutline(TscScript* script)
{
    const ScriptClassInfo& cls = TrpCustomEngine::Class();
    const auto self = [&cls](Frame& f) -> TrpCustomEngine& { return Self<TrpCustomEngine>(f, cls); };
    const auto store = [self](Frame& f, const char* member) -> TrpPreviewPages& {
        TrpCustomEngine& engine = RunningEngine(self(f), member);
        auto* pages = dynamic_cast<TrpPreviewPages*>(engine.PreviewPages());
        if (pages == nullptr)
            throw EInvalidOperation(
                FormatResource(GetResourcesInstance().Get(u"enScriptEngineIdle"), {Variant(QString::fromLatin1(member))})
                    .toStdString());
        return *pages;
    };
    TscClassVariable* c = Declare(script, "TrpCustomEngine", "TPersistent", &cls);
    c->AddMethod(QStringLiteral("procedure AddAnchor(const Text: String)"), [store](Frame& f) {
        store(f, "AddAnchor").AddAnchor(Text(f, 0));
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure NewPage"), [self](Frame& f) {
        RunningEngine(self(f), "NewPage").NewPage();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure NewColumn"), [self](Frame& f) {
        RunningEngine(self(f), "NewColumn").NewColumn();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure ShowBand(Band: TrpBand)"), [self](Frame& f) {
        TrpCustomEngine& engine = RunningEngine(self(f), "ShowBand");
        engine.ShowBand(ObjectArg<TrpBand>(f, 0));
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure StopReport"), [self](Frame& f) {
        self(f).StopReport();
        return kNothing;
    });
    c->AddMethod(QStringLiteral("function FreeSpace: Extended"),
                 [self](Frame& f) { return Variant(RunningEngine(self(f), "FreeSpace").FreeSpace()); });
    c->AddMethod(QStringLiteral("function GetAnchorPage(const Text: String): Integer"),
                 [store](Frame& f) { return Variant(store(f, "GetAnchorPage").GetAnchorPage(Text(f, 0))); });
    Declare(script, "TrpEngine", "TrpCustomEngine", &TrpEngine::Class());

    const ScriptClassInfo& outlineClass = TrpCustomOutline::Class();
    const auto outline = [&outlineClass](Frame& f) -> TrpCustomOutline& {
        return Self<TrpCustomOutline>(f, outlineClass);
    };
    TscClassVariable* o = Declare(script, "TrpCustomOutline", "TPersistent", &outlineClass);
    o->AddMethod(QStringLiteral("procedure AddItem(const Text: String)"), [outline](Frame& f) {
        TrpCustomOutline& self = outline(f);
        TrpCustomEngine* engine = self.Engine();
        if (engine == nullptr)
            throw EInvalidOperation(
                FormatResource(GetResourcesInstance().Get(u"enScriptEngineIdle"), {Variant(QStringLiteral("AddItem"))})
                    .toStdString());
        RunningEngine(*engine, "AddItem");
        self.AddItem(Text(f, 0), RoundHalfEvenClamped(engine->CurY, INT32_MIN, INT32_MAX));
        return kNothing;
    });
    o->AddMethod(QStringLiteral("procedure LevelRoot"), [outline](Frame& f) {
        outline(f).LevelRoot();
        return kNothing;
    });
    o->AddMethod(QStringLiteral("procedure LevelUp"), [outline](Frame& f) {
        outline(f).LevelUp();
        return kNothing;
    });
    Declare(script, "TrpOutline", "TrpCustomOutline", &TrpOutline::Class());
}

// --- functions -----------------------------------------------------------------------------

Variant DatePart(Frame& f, int DateTimeParts::*part)
{
    const DateTimeParts parts = DecodeDateTime(Real(f, 0));
    return Variant(static_cast<int32_t>(parts.*part));
}

void AddFunctions(TscScript* script)
{
    const auto date = QStringLiteral("ctDate");
    script->AddMethod(QStringLiteral("function DayOf(Date: TDateTime): Integer"),
                      [](Frame& f) { return DatePart(f, &DateTimeParts::day); }, date);
    script->AddMethod(QStringLiteral("function MonthOf(Date: TDateTime): Integer"),
                      [](Frame& f) { return DatePart(f, &DateTimeParts::month); }, date);
    script->AddMethod(QStringLiteral("function YearOf(Date: TDateTime): Integer"),
                      [](Frame& f) { return DatePart(f, &DateTimeParts::year); }, date);
    // A report declares these again in its own script and computes them there; here they only
    // make the names known.
    const auto zero = [](Frame&) { return Variant(int32_t{0}); };
    script->AddMethod(QStringLiteral("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant"), zero,
                      QStringLiteral("ctOther"));
    const auto aggregate = QStringLiteral("ctAggregate");
    for (const char* declaration : {"function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                                    "function AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                                    "function MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                                    "function MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                                    "function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"})
        script->AddMethod(QString::fromLatin1(declaration), zero, aggregate);
}

} // namespace

uint32_t TrpClassRTTIFunctions::LinesViewOf(TrpCustomMemoView& memo)
{
    const uint32_t memoHandle = memo.Handle();
    if (auto found = linesViews_.find(memoHandle); found != linesViews_.end()) {
        if (ObjectHandles::Find(found->second) != nullptr)
            return found->second;
        linesViews_.erase(found);
    }
    TscScript* script = Script();
    if (script == nullptr)
        throw EInvalidOperation("No script to own the object");
    const Variant view = script->AdoptObject(std::make_unique<ScriptWideStrings>(memoHandle));
    const uint32_t handle = ObjectHandles::HandleOf(view);
    linesViews_[memoHandle] = handle;
    return handle;
}

std::unique_ptr<TscRTTIModule> CreateReportClassFunctions(TscScript* script)
{
    return std::make_unique<TrpClassRTTIFunctions>(script);
}

TrpClassRTTIFunctions::TrpClassRTTIFunctions(TscScript* script) : TscRTTIModule(script)
{
    AddConstants(script);
    AddEnumerations(script);
    script->AddClass(QStringLiteral("TJPEGImage"), nullptr, QStringLiteral("TGraphic"));
    script->AddClass(QStringLiteral("TPngImage"), nullptr, QStringLiteral("TGraphic"));
    AddWideStrings(script);
    AddDataSet(script);
    AddComponent(script);
    AddViews(script, this);
    AddBandsAndPages(script);
    AddOptionsAndLists(script);
    AddReport(script);
    AddEngineAndOutline(script);
    script->AddObject(QStringLiteral("rpGlobalVariables"), &GlobalVariables());
    AddFunctions(script);
}
