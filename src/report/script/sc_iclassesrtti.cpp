// The base-class module. Every member resolves its instance through the handle table for the
// class it was registered on, so a freed, nil or foreign object is a script error; objects the
// script constructs belong to it; members that touch files ask the script's file-access
// policy first.

#include "sc_iclassesrtti.h"
#include "report/core/Texts.h"
#include "sc_iconsts.h"

#include "ScriptBindings.h"
#include "ScriptObjects.h"
#include "ScriptStreams.h"
#include "ScriptStrings.h"
#include "sc_idialogsrtti.h"
#include "sc_iinirtti.h"
#include "sc_xml.h"

#include "report/core/PropertyRegistry.h"

using namespace scbind;
using Frame = TscCallFrame;

namespace {

// An index into a list of count elements, as the lists raise it.
void CheckListIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw EListError(ScErrorText(TscMessage::SListIndexError, {QString::number(index)}));
}

Variant Ref(ScriptObject* object)
{
    return ObjectHandles::ToVariant(object);
}

void RegisterBaseClasses()
{
    PropertyRegistry& registry = PropertyRegistry::Global();
    if (registry.Contains(ScriptPlainObject::ObjectClass()))
        return;
    registry.Register(ScriptPlainObject::ObjectClass(),
                      [] { return std::make_unique<ScriptPlainObject>(ScriptPlainObject::ObjectClass()); });
    registry.Register(ScriptPlainObject::PersistentClass(),
                      [] { return std::make_unique<ScriptPlainObject>(ScriptPlainObject::PersistentClass()); });
    registry.Register(ScriptPlainObject::CollectionItemClass(),
                      [] { return std::make_unique<ScriptPlainObject>(ScriptPlainObject::CollectionItemClass()); });
    registry.Register(ScriptCollection::Class());
    registry.Register(ScriptList::Class(), [] { return std::make_unique<ScriptList>(); });
    // A TStrings made by a script is a string list: the abstract list has no storage.
    registry.Register(ScriptStrings::Class(), [] { return std::make_unique<ScriptStringList>(); });
    registry.Register(ScriptStringList::Class(), [] { return std::make_unique<ScriptStringList>(); });
    registry.Register(ScriptStream::Class());
    registry.Register(ScriptFileStream::Class());
    registry.Register(ScriptMemoryStream::Class(), [] { return std::make_unique<ScriptMemoryStream>(); });
    ScriptComponent::RegisterClass();
    registry.Register(TscXMLItem::Class(), [] { return std::make_unique<TscXMLItem>(); });
    registry.Register(TscXMLDocument::Class(), [] { return std::make_unique<TscXMLDocument>(); });
}

void AddObjectClasses(TscScript* script)
{
    TscClassVariable* object = script->AddClass(QStringLiteral("TObject"), &ScriptPlainObject::ObjectClass(), QString());
    object->AddConstructor(QStringLiteral("constructor Create"), Construct);
    object->AddMethod(QStringLiteral("procedure Free"), [](Frame& f) {
        const uint32_t handle = ObjectHandles::HandleOf(f.Instance);
        if (handle != 0) {
            if (f.Script == nullptr)
                throw EInvalidPointer();
            f.Script->FreeObject(handle);
        }
        return kNothing;
    });
    object->AddMethod(QStringLiteral("function ClassName: String"), [](Frame& f) {
        return Variant(ObjectHandles::Resolve(ObjectHandles::HandleOf(f.Instance)).ScriptClass().Name);
    });

    TscClassVariable* persistent =
        script->AddClass(QStringLiteral("TPersistent"), &ScriptPlainObject::PersistentClass(), QStringLiteral("TObject"));
    persistent->AddMethod(QStringLiteral("procedure Assign(Source: TPersistent)"), [](Frame& f) {
        // Any object may be asked; one that cannot copy the source says so.
        ScriptObject& dest = ObjectHandles::Resolve(ObjectHandles::HandleOf(f.Instance));
        ScriptAssign(dest, ObjectArg<ScriptObject>(f, 0));
        return kNothing;
    });
    script->AddClass(QStringLiteral("TCollectionItem"), &ScriptPlainObject::CollectionItemClass(),
                     QStringLiteral("TPersistent"));

    const ScriptClassInfo& collectionClass = ScriptCollection::Class();
    TscClassVariable* collection =
        script->AddClass(QStringLiteral("TCollection"), &collectionClass, QStringLiteral("TPersistent"));
    collection->AddMethod(QStringLiteral("procedure Clear"), [&collectionClass](Frame& f) {
        Self<ScriptCollection>(f, collectionClass).Clear();
        return kNothing;
    });
    collection->AddProperty(QStringLiteral("Count"), QStringLiteral("Integer"), [&collectionClass](Frame& f) {
        return Variant(int32_t{Self<ScriptCollection>(f, collectionClass).Count()});
    });
    collection->AddDefaultProperty(
        QStringLiteral("Items"), QStringLiteral("Integer"), QStringLiteral("TCollectionItem"),
        [&collectionClass](Frame& f) {
            ScriptCollection& self = Self<ScriptCollection>(f, collectionClass);
            const int index = Int(f, 0);
            CheckListIndex(index, self.Count());
            return Ref(self.Item(index));
        },
        true);

    const ScriptClassInfo& listClass = ScriptList::Class();
    TscClassVariable* list = script->AddClass(QStringLiteral("TList"), &listClass, QStringLiteral("TObject"));
    list->AddMethod(QStringLiteral("function Add(Item: TObject): Integer"), [&listClass](Frame& f) {
        return Variant(int32_t{Self<ScriptList>(f, listClass).Add(ReferenceArg(f.Arg(0)))});
    });
    list->AddMethod(QStringLiteral("procedure Clear"), [&listClass](Frame& f) {
        Self<ScriptList>(f, listClass).Clear();
        return kNothing;
    });
    list->AddMethod(QStringLiteral("procedure Delete(Index: Integer)"), [&listClass](Frame& f) {
        Self<ScriptList>(f, listClass).Delete(Int(f, 0));
        return kNothing;
    });
    list->AddMethod(QStringLiteral("function IndexOf(Item: TObject): Integer"), [&listClass](Frame& f) {
        return Variant(int32_t{Self<ScriptList>(f, listClass).IndexOf(ObjectHandles::HandleOf(f.Arg(0)))});
    });
    list->AddMethod(QStringLiteral("procedure Insert(Index: Integer; Item: TObject)"), [&listClass](Frame& f) {
        Self<ScriptList>(f, listClass).Insert(Int(f, 0), ReferenceArg(f.Arg(1)));
        return kNothing;
    });
    list->AddMethod(QStringLiteral("function Remove(Item: TObject): Integer"), [&listClass](Frame& f) {
        return Variant(int32_t{Self<ScriptList>(f, listClass).Remove(ObjectHandles::HandleOf(f.Arg(0)))});
    });
    list->AddProperty(QStringLiteral("Count"), QStringLiteral("Integer"), [&listClass](Frame& f) {
        return Variant(int32_t{Self<ScriptList>(f, listClass).Count()});
    });
    list->AddDefaultProperty(QStringLiteral("Items"), QStringLiteral("Integer"), QStringLiteral("TObject"),
                             [&listClass](Frame& f) {
                                 ScriptList& self = Self<ScriptList>(f, listClass);
                                 if (f.AssignedValue != nullptr) {
                                     self.SetItem(Int(f, 0), ReferenceArg(*f.AssignedValue));
                                     return kNothing;
                                 }
                                 return Variant::FromObject(self.Item(Int(f, 0)));
                             });
}

void AddStringClasses(TscScript* script)
{
    const ScriptClassInfo& cls = ScriptStrings::Class();
    const auto self = [&cls](Frame& f) -> ScriptStrings& { return Self<ScriptStrings>(f, cls); };
    TscClassVariable* strings = script->AddClass(QStringLiteral("TStrings"), &cls, QStringLiteral("TPersistent"));
    strings->AddConstructor(QStringLiteral("constructor Create"), Construct);
    strings->AddMethod(QStringLiteral("function Add(const S: string): Integer"),
                       [self](Frame& f) { return Variant(int32_t{self(f).Add(Text(f, 0))}); });
    strings->AddMethod(QStringLiteral("function AddObject(const S: string; AObject: TObject): Integer"), [self](Frame& f) {
        return Variant(int32_t{self(f).AddObject(Text(f, 0), ReferenceArg(f.Arg(1)))});
    });
    strings->AddMethod(QStringLiteral("procedure Clear"), [self](Frame& f) {
        self(f).Clear();
        return kNothing;
    });
    strings->AddMethod(QStringLiteral("procedure Delete(Index: Integer)"), [self](Frame& f) {
        self(f).DeleteAt(Int(f, 0));
        return kNothing;
    });
    strings->AddMethod(QStringLiteral("function IndexOf(const S: string): Integer"),
                       [self](Frame& f) { return Variant(int32_t{self(f).IndexOf(Text(f, 0))}); });
    strings->AddMethod(QStringLiteral("function IndexOfName(const Name: string): Integer"),
                       [self](Frame& f) { return Variant(int32_t{self(f).IndexOfName(Text(f, 0))}); });
    strings->AddMethod(QStringLiteral("function IndexOfObject(AObject: TObject): Integer"), [self](Frame& f) {
        return Variant(int32_t{self(f).IndexOfObject(ObjectHandles::HandleOf(f.Arg(0)))});
    });
    strings->AddMethod(QStringLiteral("procedure Insert(Index: Integer; const S: string)"), [self](Frame& f) {
        self(f).Insert(Int(f, 0), Text(f, 1));
        return kNothing;
    });
    strings->AddMethod(QStringLiteral("procedure InsertObject(Index: Integer; const S: string; AObject: TObject)"),
                       [self](Frame& f) {
                           self(f).InsertObject(Int(f, 0), Text(f, 1), ReferenceArg(f.Arg(2)));
                           return kNothing;
                       });
    strings->AddMethod(QStringLiteral("procedure LoadFromFile(const FileName: string)"), [self](Frame& f) {
        ScriptStrings& list = self(f);
        list.LoadFromBytes(ReadFile(f, Text(f, 0), ScriptStrings::kMaxTextBytes));
        return kNothing;
    });
    strings->AddMethod(QStringLiteral("procedure LoadFromStream(Stream: TStream)"), [self](Frame& f) {
        ScriptStrings& list = self(f);
        ScriptStream& stream = RequiredArg<ScriptStream>(f, 0);
        const QByteArray bytes = stream.ReadBytes(ScriptStrings::kMaxTextBytes + 1);
        if (bytes.size() > ScriptStrings::kMaxTextBytes)
            throw EOutOfMemory();
        list.LoadFromBytes(bytes);
        return kNothing;
    });
    strings->AddMethod(QStringLiteral("procedure SaveToFile(const FileName: string)"), [self](Frame& f) {
        ScriptStrings& list = self(f);
        WriteFile(f, Text(f, 0), list.SaveToBytes());
        return kNothing;
    });
    strings->AddMethod(QStringLiteral("procedure Move(CurIndex, NewIndex: Integer)"), [self](Frame& f) {
        self(f).Move(Int(f, 0), Int(f, 1));
        return kNothing;
    });
    strings->AddMethod(QStringLiteral("procedure SaveToStream(Stream: TStream)"), [self](Frame& f) {
        ScriptStrings& list = self(f);
        const QByteArray bytes = list.SaveToBytes();
        if (RequiredArg<ScriptStream>(f, 0).WriteBytes(bytes) != bytes.size())
            throw EWriteError();
        return kNothing;
    });
    strings->AddProperty(
        QStringLiteral("CommaText"), QStringLiteral("string"), [self](Frame& f) { return Variant(self(f).CommaText()); },
        [self](Frame& f) {
            self(f).SetCommaText(VarToStr(Assigned(f), Settings(f)));
            return kNothing;
        });
    strings->AddProperty(QStringLiteral("Count"), QStringLiteral("Integer"),
                         [self](Frame& f) { return Variant(int32_t{self(f).Count()}); });
    strings->AddIndexProperty(
        QStringLiteral("Names"), QStringLiteral("Integer"), QStringLiteral("string"),
        [self](Frame& f) { return Variant(self(f).Names(Int(f, 0))); }, true);
    strings->AddIndexProperty(QStringLiteral("Objects"), QStringLiteral("Integer"), QStringLiteral("TObject"),
                              [self](Frame& f) {
                                  ScriptStrings& list = self(f);
                                  if (f.AssignedValue != nullptr) {
                                      list.SetObjects(Int(f, 0), ReferenceArg(*f.AssignedValue));
                                      return kNothing;
                                  }
                                  return Variant::FromObject(list.Objects(Int(f, 0)));
                              });
    strings->AddIndexProperty(QStringLiteral("Values"), QStringLiteral("String"), QStringLiteral("string"),
                              [self](Frame& f) {
                                  ScriptStrings& list = self(f);
                                  if (f.AssignedValue != nullptr) {
                                      list.SetValues(Text(f, 0), VarToStr(*f.AssignedValue, Settings(f)));
                                      return kNothing;
                                  }
                                  return Variant(list.Values(Text(f, 0)));
                              });
    strings->AddDefaultProperty(QStringLiteral("Strings"), QStringLiteral("Integer"), QStringLiteral("string"),
                                [self](Frame& f) {
                                    ScriptStrings& list = self(f);
                                    if (f.AssignedValue != nullptr) {
                                        list.SetStrings(Int(f, 0), VarToStr(*f.AssignedValue, Settings(f)));
                                        return kNothing;
                                    }
                                    return Variant(list.Strings(Int(f, 0)));
                                });
    strings->AddProperty(
        QStringLiteral("Text"), QStringLiteral("string"), [self](Frame& f) { return Variant(self(f).Text()); },
        [self](Frame& f) {
            self(f).SetText(VarToStr(Assigned(f), Settings(f)));
            return kNothing;
        });

    const ScriptClassInfo& listClass = ScriptStringList::Class();
    const auto sl = [&listClass](Frame& f) -> ScriptStringList& { return Self<ScriptStringList>(f, listClass); };
    TscClassVariable* stringList =
        script->AddClass(QStringLiteral("TStringList"), &listClass, QStringLiteral("TStrings"));
    stringList->AddMethod(QStringLiteral("function Find(s: String; var Index: Integer): Boolean"), [sl](Frame& f) {
        int index = 0;
        const bool found = sl(f).Find(Text(f, 0), index);
        if (f.Args.size() > 1)
            f.Args[1] = Variant(int32_t{index});
        return Variant(found);
    });
    stringList->AddMethod(QStringLiteral("procedure Sort"), [sl](Frame& f) {
        sl(f).Sort();
        return kNothing;
    });
    stringList->AddProperty(
        QStringLiteral("Duplicates"), QStringLiteral("TDuplicates"),
        [sl](Frame& f) { return Variant(int32_t{sl(f).DuplicatesMode()}); },
        [sl](Frame& f) {
            sl(f).SetDuplicates(Assigned(f).ToInt32(Settings(f)));
            return kNothing;
        });
    stringList->AddProperty(
        QStringLiteral("Sorted"), QStringLiteral("Boolean"), [sl](Frame& f) { return Variant(sl(f).Sorted()); },
        [sl](Frame& f) {
            sl(f).SetSorted(Assigned(f).ToBoolean(Settings(f)));
            return kNothing;
        });
}

void AddStreamClasses(TscScript* script)
{
    const ScriptClassInfo& cls = ScriptStream::Class();
    const auto self = [&cls](Frame& f) -> ScriptStream& { return Self<ScriptStream>(f, cls); };
    TscClassVariable* stream = script->AddClass(QStringLiteral("TStream"), &cls, QStringLiteral("TObject"));
    stream->AddMethod(QStringLiteral("function Read(var Buffer: string; Count: Longint): Longint"), [self](Frame& f) {
        ScriptStream& s = self(f);
        const QByteArray bytes = s.ReadBytes(Int64(f, 1));
        if (!f.Args.empty())
            f.Args[0] = Variant(BytesToScriptString(bytes));
        return Integer(bytes.size());
    });
    stream->AddMethod(QStringLiteral("function Write(Buffer: string; Count: Longint): Longint"), [self](Frame& f) {
        ScriptStream& s = self(f);
        return Integer(s.WriteBytes(ScriptStringToBytes(Text(f, 0), Int64(f, 1))));
    });
    stream->AddMethod(QStringLiteral("function Seek(Offset: Longint; Origin: Word): Longint"), [self](Frame& f) {
        ScriptStream& s = self(f);
        return Variant(s.Seek(Int64(f, 0), Int(f, 1)));
    });
    stream->AddMethod(QStringLiteral("function CopyFrom(Source: TStream; Count: Longint): Longint"), [self](Frame& f) {
        ScriptStream& s = self(f);
        return Variant(s.CopyFrom(RequiredArg<ScriptStream>(f, 0), Int64(f, 1)));
    });
    stream->AddProperty(
        QStringLiteral("Position"), QStringLiteral("Longint"), [self](Frame& f) { return Variant(self(f).Position()); },
        [self](Frame& f) {
            self(f).SetPosition(Assigned(f).ToInt64(Settings(f)));
            return kNothing;
        });
    stream->AddProperty(QStringLiteral("Size"), QStringLiteral("Longint"),
                        [self](Frame& f) { return Variant(self(f).Size()); });

    TscClassVariable* fileStream =
        script->AddClass(QStringLiteral("TFileStream"), &ScriptFileStream::Class(), QStringLiteral("TStream"));
    fileStream->AddConstructor(QStringLiteral("constructor Create(Filename: String; Mode: Word)"), [](Frame& f) {
        const QString name = Text(f, 0);
        const int mode = Int(f, 1);
        const FileAccessMode access = ScriptFileStream::Creates(mode) ? FileAccessMode::Create
                                      : (mode & 3) == ScriptFileStream::fmOpenRead ? FileAccessMode::Read
                                                                                   : FileAccessMode::Write;
        CheckFile(f, name, access);
        return Adopt(f, std::make_unique<ScriptFileStream>(name, mode));
    });

    const ScriptClassInfo& memoryClass = ScriptMemoryStream::Class();
    const auto memory = [&memoryClass](Frame& f) -> ScriptMemoryStream& {
        return Self<ScriptMemoryStream>(f, memoryClass);
    };
    TscClassVariable* memoryStream =
        script->AddClass(QStringLiteral("TMemoryStream"), &memoryClass, QStringLiteral("TStream"));
    memoryStream->AddMethod(QStringLiteral("procedure Clear"), [memory](Frame& f) {
        memory(f).Clear();
        return kNothing;
    });
    memoryStream->AddMethod(QStringLiteral("procedure LoadFromStream(Stream: TStream)"), [memory](Frame& f) {
        ScriptMemoryStream& m = memory(f);
        m.LoadFrom(RequiredArg<ScriptStream>(f, 0));
        return kNothing;
    });
    memoryStream->AddMethod(QStringLiteral("procedure LoadFromFile(Filename: String)"), [memory](Frame& f) {
        ScriptMemoryStream& m = memory(f);
        m.SetData(ReadFile(f, Text(f, 0), ScriptMemoryStream::kMaxSize));
        return kNothing;
    });
    memoryStream->AddMethod(QStringLiteral("procedure SaveToStream(Stream: TStream)"), [memory](Frame& f) {
        ScriptMemoryStream& m = memory(f);
        ScriptStream& target = RequiredArg<ScriptStream>(f, 0);
        const QByteArray data = m.Data();
        if (target.WriteBytes(data) != data.size())
            throw EWriteError();
        return kNothing;
    });
    memoryStream->AddMethod(QStringLiteral("procedure SaveToFile(Filename: String)"), [memory](Frame& f) {
        ScriptMemoryStream& m = memory(f);
        WriteFile(f, Text(f, 0), m.Data());
        return kNothing;
    });

    const ScriptClassInfo& componentClass = ScriptComponent::Class();
    TscClassVariable* component =
        script->AddClass(QStringLiteral("TComponent"), &componentClass, QStringLiteral("TPersistent"));
    component->AddConstructor(QStringLiteral("constructor Create(AOwner: TComponent)"), [](Frame& f) {
        ScriptComponent* owner = ObjectArg<ScriptComponent>(f, 0);
        std::unique_ptr<ScriptObject> object = CreateInstance(f);
        auto* created = dynamic_cast<ScriptComponent*>(object.get());
        if (created == nullptr)
            throw EInvalidCast();
        created->SetOwner(owner);
        return Adopt(f, std::move(object));
    });
    component->AddProperty(QStringLiteral("Owner"), QStringLiteral("TComponent"), [&componentClass](Frame& f) {
        return Ref(Self<ScriptComponent>(f, componentClass).Owner());
    });
}

// An item a script created that is not in a tree, and may go under `parent`.
TscXMLItem& FreeItemFor(Frame& f, TscXMLItem& parent, size_t argument)
{
    TscXMLItem& item = RequiredArg<TscXMLItem>(f, argument);
    if (item.Parent() != nullptr || f.Script == nullptr || !f.Script->CreatedObject(item.Handle()) ||
        parent.Root() == &item)
        throw EInvalidOperation(ScErrorText(TscMessage::SItemInAnotherTree));
    return item;
}

void AddXMLClasses(TscScript* script)
{
    const ScriptClassInfo& cls = TscXMLItem::Class();
    const auto self = [&cls](Frame& f) -> TscXMLItem& { return Self<TscXMLItem>(f, cls); };
    TscClassVariable* item = script->AddClass(QStringLiteral("TscXMLItem"), &cls, QStringLiteral("TObject"));
    item->AddConstructor(QStringLiteral("constructor Create"), Construct);
    // The item moves into the tree, which owns it from then on; the script still may free it.
    item->AddMethod(QStringLiteral("procedure AddItem(Item: TscXMLItem)"), [self](Frame& f) {
        TscXMLItem& parent = self(f);
        TscXMLItem& child = FreeItemFor(f, parent, 0);
        parent.AddItem(std::unique_ptr<TscXMLItem>(&child));
        return kNothing;
    });
    item->AddMethod(QStringLiteral("procedure Clear"), [self](Frame& f) {
        self(f).Clear();
        return kNothing;
    });
    item->AddMethod(QStringLiteral("procedure InsertItem(Index: Integer; Item: TscXMLItem)"), [self](Frame& f) {
        TscXMLItem& parent = self(f);
        const int index = Int(f, 0);
        TscXMLItem& child = FreeItemFor(f, parent, 1);
        parent.InsertItem(index, std::unique_ptr<TscXMLItem>(&child));
        return kNothing;
    });
    item->AddMethod(QStringLiteral("function Add: TscXMLItem"), [self](Frame& f) { return Ref(self(f).Add()); });
    item->AddMethod(QStringLiteral("function Find(const Name: String): Integer"),
                    [self](Frame& f) { return Variant(int32_t{self(f).Find(Text(f, 0))}); });
    item->AddMethod(QStringLiteral("function FindItem(const Name: String): TscXMLItem"),
                    [self](Frame& f) { return Ref(self(f).FindItem(Text(f, 0))); });
    item->AddMethod(QStringLiteral("function Root: TscXMLItem"), [self](Frame& f) { return Ref(self(f).Root()); });
    item->AddProperty(
        QStringLiteral("Data"), QStringLiteral("Integer"),
        [self](Frame& f) { return Variant(static_cast<int32_t>(reinterpret_cast<intptr_t>(self(f).Data()))); },
        [self](Frame& f) {
            self(f).SetData(reinterpret_cast<void*>(static_cast<intptr_t>(Assigned(f).ToInt32(Settings(f)))));
            return kNothing;
        });
    item->AddProperty(QStringLiteral("Count"), QStringLiteral("Integer"),
                      [self](Frame& f) { return Variant(int32_t{self(f).Count()}); });
    item->AddDefaultProperty(
        QStringLiteral("Items"), QStringLiteral("Integer"), QStringLiteral("TscXMLItem"),
        [self](Frame& f) {
            TscXMLItem& parent = self(f);
            const int index = Int(f, 0);
            CheckListIndex(index, parent.Count());
            return Ref(parent.Items(index));
        },
        true);
    item->AddIndexProperty(QStringLiteral("Prop"), QStringLiteral("String"), QStringLiteral("String"),
                           [self](Frame& f) {
                               TscXMLItem& it = self(f);
                               if (f.AssignedValue != nullptr) {
                                   it.SetProp(Text(f, 0), VarToStr(*f.AssignedValue, Settings(f)));
                                   return kNothing;
                               }
                               return Variant(it.Prop(Text(f, 0)));
                           });
    item->AddProperty(
        QStringLiteral("Name"), QStringLiteral("String"), [self](Frame& f) { return Variant(self(f).Name()); },
        [self](Frame& f) {
            self(f).SetName(VarToStr(Assigned(f), Settings(f)));
            return kNothing;
        });
    item->AddProperty(QStringLiteral("Parent"), QStringLiteral("TscXMLItem"),
                      [self](Frame& f) { return Ref(self(f).Parent()); });
    item->AddProperty(
        QStringLiteral("Text"), QStringLiteral("String"), [self](Frame& f) { return Variant(self(f).Text()); },
        [self](Frame& f) {
            self(f).SetText(VarToStr(Assigned(f), Settings(f)));
            return kNothing;
        });

    const ScriptClassInfo& docClass = TscXMLDocument::Class();
    const auto doc = [&docClass](Frame& f) -> TscXMLDocument& { return Self<TscXMLDocument>(f, docClass); };
    TscClassVariable* document =
        script->AddClass(QStringLiteral("TscXMLDocument"), &docClass, QStringLiteral("TObject"));
    document->AddConstructor(QStringLiteral("constructor Create"), Construct);
    document->AddMethod(QStringLiteral("procedure SaveToStream(Stream: TStream)"), [doc](Frame& f) {
        TscXMLDocument& d = doc(f);
        RequiredArg<ScriptStream>(f, 0).WithDevice([&d](QIODevice& device) { d.SaveToStream(device); });
        return kNothing;
    });
    document->AddMethod(QStringLiteral("procedure LoadFromStream(Stream: TStream)"), [doc](Frame& f) {
        TscXMLDocument& d = doc(f);
        RequiredArg<ScriptStream>(f, 0).WithDevice([&d](QIODevice& device) { d.LoadFromStream(device); });
        return kNothing;
    });
    document->AddMethod(QStringLiteral("procedure SaveToFile(const FileName: String)"), [doc](Frame& f) {
        TscXMLDocument& d = doc(f);
        WriteFile(f, Text(f, 0), d.SaveToBytes());
        return kNothing;
    });
    document->AddMethod(QStringLiteral("procedure LoadFromFile(const FileName: String)"), [doc](Frame& f) {
        TscXMLDocument& d = doc(f);
        d.LoadFromBytes(ReadFile(f, Text(f, 0), kScXMLMaxDocumentBytes));
        return kNothing;
    });
    document->AddProperty(QStringLiteral("Root"), QStringLiteral("TscXMLItem"),
                          [doc](Frame& f) { return Ref(doc(f).Root()); });
}

} // namespace

std::unique_ptr<TscRTTIModule> CreateClassesFunctions(TscScript* script)
{
    return std::make_unique<TscClassesFunctions>(script);
}

TscClassesFunctions::TscClassesFunctions(TscScript* script) : TscRTTIModule(script)
{
    RegisterBaseClasses();
    static const struct {
        const char* name;
        int32_t value;
    } kConstants[] = {
        {"fmCreate", 65280},   {"fmOpenRead", 0},       {"fmOpenWrite", 1},       {"fmOpenReadWrite", 2},
        {"fmShareExclusive", 16}, {"fmShareDenyWrite", 32}, {"fmShareDenyNone", 64}, {"soFromBeginning", 0},
        {"soFromCurrent", 1},  {"soFromEnd", 2},
    };
    for (const auto& constant : kConstants)
        script->AddConst(QString::fromLatin1(constant.name), QStringLiteral("Integer"), Variant(constant.value));
    script->AddEnum(QStringLiteral("TDuplicates"), QStringLiteral("dupIgnore, dupAccept, dupError"));
    script->AddEnum(QStringLiteral("TPrinterOrientation"), QStringLiteral("poPortrait, poLandscape"));

    AddObjectClasses(script);
    AddStringClasses(script);
    AddStreamClasses(script);
    AddXMLClasses(script);
}

void RegisterClassLibraryModules()
{
    RegisterBaseClasses();
    RegisterRTTIModule(&CreateIniFunctions);
    RegisterRTTIModule(&CreateClassesFunctions);
    RegisterRTTIModule(&CreateDialogsFunctions);
}
