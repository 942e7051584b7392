#pragma once

#include "report/core/PropertyCodec.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;
class PropertyInfo;
class RegisteredClass;
class ScriptObject;
class TrpComponent;
class TrpXMLItem;

// A reference read from a file that waits for the whole tree: the object (by handle, so a
// freed object is passed over), its property and the name it refers to.
struct TrpFixupItem {
    uint32_t Obj = 0;
    const PropertyInfo* PropInfo = nullptr;
    QString Value;

    // The object, or none when it is gone.
    ScriptObject* Object() const;
};

// Maps report objects to the report XML dialect and back. A component becomes one element
// named by its class, whose attribute text carries its published properties: for every
// component but the root "Name" first, then the properties in registry order (ancestors'
// first), nested objects as dotted names ("Font.Name", "Frame.LeftLine.Color"), string lists
// as "<path>.Text" without their final line break, a memo's text as "Text" without its final
// CR LF, and last the defined properties as "PropData" (two upper-case hexadecimal digits a
// byte). Integers are decimal, enumerations their value names, sets their bits in decimal,
// floats the general text of 15 digits, references the qualified name of the object (or "nil").
//
// Reading creates the components from the element names, applies the attributes through the
// property registry and resolves references once the whole tree is read. A load never stops
// at a bad attribute: its message goes to Errors and the property keeps its value.
class TrpXMLSerializer {
public:
    // The ancestor an object is compared with when writing: called with the object's name,
    // it may set `ancestor`.
    using GetAncestorEvent = std::function<void(const QString& componentName, TrpComponent*& ancestor)>;

    // `stream` serves ReadRootComponent, WriteRootComponent, ReadComponent and WriteComponent
    // without an item; it stays the caller's.
    explicit TrpXMLSerializer(QIODevice* stream = nullptr);
    ~TrpXMLSerializer();
    TrpXMLSerializer(const TrpXMLSerializer&) = delete;
    TrpXMLSerializer& operator=(const TrpXMLSerializer&) = delete;

    // Messages of the reads so far: sorted, each once.
    const QStringList& Errors() const { return errors_; }
    // The object names are resolved against and references written for (normally the report).
    TrpComponent* Owner() const { return owner_; }
    void SetOwner(TrpComponent* owner) { owner_ = owner; }
    QIODevice* Stream() const { return stream_; }
    // Write every stored property, also one equal to its default.
    bool SerializeDefaultValues = false;
    GetAncestorEvent OnGetAncestor;
    // The text read comes from an old-format document: memo texts in it are UTF-8.
    bool OldFormat = false;

    // The attribute text of an object: `add` goes before every attribute name (nested
    // objects); with an ancestor only what differs from it is written, else what differs
    // from the declared defaults.
    QString ObjToXML(const ScriptObject* obj, const QString& add = QString(), const ScriptObject* ancestor = nullptr);
    // Applies an attribute text to an object.
    void XMLToObj(QStringView text, ScriptObject* obj);

    // Reads a component tree into `root`: from `item`, or without one from a document loaded
    // from Stream (its failure, "Invalid file format", passes to the caller). A tree of more
    // than kMaxReportObjects elements raises EReadError ("xrTooManyObjects") and makes nothing.
    void ReadRootComponent(TrpComponent* root, TrpXMLItem* item = nullptr);
    // Writes `root` (and its children with saveChildren) into `item`, or without one into an
    // indented document saved to Stream. An inherited object is written as "inherited" unless
    // `streaming`.
    void WriteRootComponent(TrpComponent* root, bool saveChildren, TrpXMLItem* item = nullptr, bool streaming = false);
    // A component read from the next element of Stream (its children are not read); it
    // belongs to `root` (its parent), or to the caller without root.
    TrpComponent* ReadComponent(TrpComponent* root);
    // Writes one component as an empty element straight to Stream (no header, no line break).
    void WriteComponent(const TrpComponent* component);
    // A component from a class name, a blank and an attribute text, placed under `root`,
    // which owns it (without root the caller owns it); none for an empty text. An unknown
    // class raises "Class <name> not found"; a class `root` does not take raises the
    // placement error. With dontFixup references stay unset (see CopyFixupList).
    TrpComponent* ReadComponentStr(TrpComponent* root, QStringView text, bool dontFixup = false);
    // The class name followed by the attribute text.
    QString WriteComponentStr(const TrpComponent* component);
    // Applies an attribute text to an existing object and resolves its references.
    void ReadPersistentStr(TrpComponent* root, ScriptObject* obj, QStringView text);
    // Appends a copy of every pending reference; nothing for no list.
    void CopyFixupList(std::vector<TrpFixupItem>* list) const;

    // For the prepared pages, which rebuild every object from a base text and a difference:
    // an attribute text applied to an existing object as ReadComponentStr applies it (loading
    // flag, references, loaded notification), and a copy of an object made without text that
    // equals the object ReadComponentStr makes under `root` from WriteComponentStr of the
    // source by a serializer of the source's report. The copy belongs to `root` (its parent),
    // or to the caller without root.
    void ApplyComponentStr(TrpComponent* component, QStringView attributeText, bool dontFixup = false);
    TrpComponent* CloneComponent(const TrpComponent& source, TrpComponent* root, bool dontFixup = false);

    // Resolves the pending references and empties the list.
    void ResolveFixups();
    // Adds a message to Errors (the collections read inside a load report through it).
    void AddError(const QString& message);

private:
    void ReadElement(TrpXMLItem& item, TrpComponent* object, std::vector<QPointer<TrpComponent>>& read);
    void WriteItem(TrpXMLItem& item, TrpComponent* component, bool isRoot, bool saveChildren, bool streaming);
    // The attribute text of ObjToXML, part by part: published properties (nested objects
    // under dotted names), a memo's text, the defined properties as "PropData".
    void WritePublishedProperties(QString& result, const ScriptObject& obj, const QString& add,
                                  const ScriptObject* ancestor);
    void WriteMemoText(QString& result, const ScriptObject& obj, const QString& add, const ScriptObject* ancestor);
    void WritePropData(QString& result, const ScriptObject& obj, const QString& add, const ScriptObject* ancestor) const;
    static void AppendAttribute(QString& text, const QString& add, const QString& name, const QString& value);
    // How references are stored (paths from the owner) and compared (object names).
    propertycodec::ReferenceNames ReferenceNames() const;
    void ApplyAttribute(ScriptObject* obj, QStringView name, const QString& value);
    void SetValue(ScriptObject* obj, const PropertyInfo& prop, const QString& value);
    void ReplayPropData(ScriptObject* obj, const QString& hexText);
    QByteArray DefinedPropertyBytes(const ScriptObject& obj) const;
    void CopyProperties(const ScriptObject& source, ScriptObject& target, const QString& path);
    TrpComponent* Create(QStringView className, TrpComponent* parent);
    void FinishRead(TrpComponent* component, bool dontFixup);

    QStringList errors_;
    std::vector<TrpFixupItem> fixups_;
    TrpComponent* owner_ = nullptr;
    QIODevice* stream_ = nullptr;
};

// Limits of what one read may do, so a hostile text cannot exhaust the machine.
inline constexpr int kMaxSerializerNesting = 32;        // dotted name parts
inline constexpr qsizetype kMaxPropDataBytes = 64 * 1024 * 1024;
inline constexpr int kMaxSerializerErrors = 1000;       // further messages are dropped
// Objects one read of a tree may make (every element counts, the root included): a report
// holds far fewer, and each object costs a few kilobytes, so a small hostile file cannot make
// the load take gigabytes. A tree with more is refused before anything is made.
inline constexpr int kMaxReportObjects = 200000;
