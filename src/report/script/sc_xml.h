#pragma once

// The script engine's small XML tree: the grammars of the script languages, the program tree
// the parser builds and the interpreter consumes, and compiled code saved and loaded by
// scripts. An element has a name, one raw attribute string and child elements; text between
// tags is not kept. Reading and writing are hand-made over QIODevice because their quirks
// (raw attribute text, the self-closing forms, comments, the exact output bytes) are part of
// the stored formats.

#include "report/core/ObjectHandles.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

// Named limits of the reader. Past them a document is refused with a clear error.
inline constexpr int kScXMLMaxDepth = 4096;                  // nesting of elements
inline constexpr int64_t kScXMLMaxDocumentBytes = 64 << 20;  // bytes read for one document
inline constexpr int64_t kScXMLMaxElements = 4'000'000;      // elements in one document

// Items and documents are native objects scripts can hold (the classes TscXMLItem and
// TscXMLDocument): freeing an item makes the references scripts hold to it stale.
class TscXMLItem : public ScriptObject {
public:
    TscXMLItem() = default;
    explicit TscXMLItem(const QString& name, const QString& text = QString());
    // An item of the script parser's program tree: the attribute "text" (unless textValue is
    // null), "pos" and "pos1" (unless empty), given unescaped. They are kept apart, so that
    // reading them costs nothing; Text() makes the attribute text of them when first asked.
    static std::unique_ptr<TscXMLItem> MakeParsed(const QString& name, const QString* textValue, const QString& pos,
                                                  const QString& pos1 = QString());
    // The same, reusing an item of spare (see ClearInto) when it holds one.
    static std::unique_ptr<TscXMLItem> MakeParsed(std::vector<std::unique_ptr<TscXMLItem>>& spare, const QString& name,
                                                  const QString* textValue, const QString& pos,
                                                  const QString& pos1 = QString());
    // Frees the whole subtree (without recursion, so any depth is safe) and leaves the parent.
    ~TscXMLItem() override;

    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    // The item with its whole subtree.
    void CountMemory(ScriptMemoryCounter& counter) const override;
    TscXMLItem(const TscXMLItem&) = delete;
    TscXMLItem& operator=(const TscXMLItem&) = delete;

    const QString& Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }
    // All attributes as one raw string: name="value" pairs separated by one blank, values
    // escaped (see SetProp).
    const QString& Text() const
    {
        if (FParsed && !FTextMade)
            MakeText();
        return FText;
    }
    void SetText(const QString& text);
    // A value for the caller; copied by Assign, never touched by the XML code.
    void* Data() const { return FData; }
    void SetData(void* data) { FData = data; }

    TscXMLItem* Parent() const { return FParent; }
    // Moves this item, with its subtree, to the end of the children of newParent (the same
    // parent too: the item then becomes the last child). Refused (false) for an item without
    // a parent (its owner is not an item), for a null parent and for a parent inside this
    // item's own subtree.
    bool SetParent(TscXMLItem* newParent);

    int Count() const { return static_cast<int>(FItems.size()); }
    // The child at index; an index out of range throws "List index (N) out of bounds".
    TscXMLItem* Items(int index) const;

    // A new child appended at the end.
    TscXMLItem* Add();
    TscXMLItem* Add(const QString& name, const QString& text = QString());
    // Takes an item that has no parent and appends it; returns it.
    TscXMLItem* AddItem(std::unique_ptr<TscXMLItem> item);
    // The same, placed at index (clamped to 0..Count).
    TscXMLItem* InsertItem(int index, std::unique_ptr<TscXMLItem> item);
    // Takes items[from..] (items without a parent) and appends them in order; items keeps
    // only its first `from` entries.
    void AddItems(std::vector<std::unique_ptr<TscXMLItem>>& items, size_t from);
    // Takes the child at index out of this item; the caller owns it then.
    std::unique_ptr<TscXMLItem> TakeItem(int index);

    // Index of the first child whose name equals name ignoring case, or -1.
    int Find(const QString& name) const;
    // That child, or a new child of this name appended at the end.
    TscXMLItem* FindItem(const QString& name);
    // Index of a child, -1 when it is not one of this item's children.
    int IndexOf(const TscXMLItem* item) const;
    // The topmost ancestor (this item when it has no parent).
    TscXMLItem* Root();

    // Frees every child; name, attributes and data stay.
    void Clear();
    // Clear for a parser that parses again and again: the items taken out go to spare, as
    // long as it holds fewer than limit, to be made again by MakeParsed. An item that was
    // given a handle is freed, never reused.
    void ClearInto(std::vector<std::unique_ptr<TscXMLItem>>& spare, size_t limit);
    // Clear, then a copy of item's name, attributes and data and a deep copy of its children.
    void Assign(const TscXMLItem* item);

    // True when the attribute text holds name=" at its start or after a blank (any case).
    bool PropExists(const QString& name) const;
    // The unescaped value of an attribute, empty when absent. A numeric entity whose code is
    // not a number from 1 to 0x10FFFF throws "Invalid file format".
    QString Prop(const QString& name) const;
    // Prop when the attribute is there (value set, true); false and value untouched otherwise.
    bool PropIfExists(const QString& name, QString& value) const;
    // Replaces the attribute's value in place, or appends the attribute. The value is escaped:
    // line feed, carriage return, double quote, ampersand, less-than, greater-than (and a lone
    // surrogate) become "&#code;", so every value reads back exactly as written.
    void SetProp(const QString& name, const QString& value);
    // PropIfExists of "pos": the program builder asks it of every element.
    bool PosIfExists(QString& value) const;
    // Prop of "text", which the program builder asks of most elements.
    QString TextProp() const;

private:
    void AdoptAt(size_t index, std::unique_ptr<TscXMLItem> item);
    void MakeText() const;
    // The value of an attribute of a parsed item, or null when it has none of that name.
    const QString* ParsedProp(const QString& name) const;

    void* FData = nullptr;
    std::vector<std::unique_ptr<TscXMLItem>> FItems;
    QString FName;
    TscXMLItem* FParent = nullptr;
    mutable QString FText;
    // A parsed item's attributes (FParsed), apart from FText until it is made (FTextMade).
    QString FTextValue;
    QString FPos;
    QString FPos1;
    bool FParsed = false;
    bool FHasTextValue = false;
    mutable bool FTextMade = false;
};

// Escaping of attribute values, shared by SetProp and Prop.
QString ScXMLEscape(const QString& value);
QString ScXMLUnescape(const QString& value);

class TscXMLDocument : public ScriptObject {
public:
    TscXMLDocument();
    ~TscXMLDocument() override;

    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    void CountMemory(ScriptMemoryCounter& counter) const override;
    TscXMLDocument(const TscXMLDocument&) = delete;
    TscXMLDocument& operator=(const TscXMLDocument&) = delete;

    bool AutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool on) { FAutoIndent = on; }
    TscXMLItem* Root() const { return FRoot.get(); }

    // Clears the root's children.
    void Clear();

    // Reads a document: the "?xml" header, then the root element and its children. Every
    // format error throws platform::ELocatedError "Invalid file format" with the place. A
    // document that ends with elements still open is refused unless lenient is set, which
    // keeps what was read. On any failure the document keeps its previous tree.
    void LoadFromStream(QIODevice& stream, bool lenient = false);
    void LoadFromFile(const QString& fileName, bool lenient = false);
    // Writes the header and the tree: with AutoIndent two blanks a level and CR LF after each
    // line, otherwise everything on one line. Saving to a file replaces it atomically.
    void SaveToStream(QIODevice& stream) const;
    void SaveToFile(const QString& fileName) const;

    // The document as written by SaveToStream, and read back from such bytes.
    QByteArray SaveToBytes() const;
    void LoadFromBytes(const QByteArray& bytes, bool lenient = false);

private:
    bool FAutoIndent = false;
    std::unique_ptr<TscXMLItem> FRoot;
};

// Reads one document from a stream through a 4096-byte buffer. Whatever happens, the stream
// is left just behind the last byte the reader used (the '>' of the last tag), not behind its
// read-ahead, so a stream may hold further data after the document.
class TscXMLReader {
public:
    // sourceName names the stream in error places (a file name, or empty).
    explicit TscXMLReader(QIODevice& stream, const QString& sourceName = QString());
    ~TscXMLReader();
    TscXMLReader(const TscXMLReader&) = delete;
    TscXMLReader& operator=(const TscXMLReader&) = delete;

    // The first tag must be the "?xml" header.
    void ReadHeader();
    // Reads the root element into item (its name and attributes are overwritten, its children
    // added), then the children, to any depth up to kScXMLMaxDepth.
    void ReadRootItem(TscXMLItem& item, bool lenient = false);
    [[noreturn]] void RaiseException() const;

    // Bytes used so far, and the size of the stream when the reader was made (-1 for a stream
    // without a size, such as standard input).
    int64_t Position() const { return FPosition; }
    int64_t Size() const { return FSize; }

private:
    enum class TagEnd { Tag, EndOfStream };
    TagEnd ReadTag(QString& name, QString& text);
    int NextByte();
    [[noreturn]] void Raise(const QString& message) const;

    QIODevice& FStream;
    QString FSourceName;
    char FBuffer[4096];
    int64_t FBufPos = 0;  // bytes of the buffer consumed
    int64_t FBufEnd = 0;  // bytes held in the buffer (peeked, not yet skipped in the stream)
    int64_t FPosition = 0; // bytes consumed since the reader was created
    int64_t FSize = -1;
    int FLine = 1;         // place of the next byte, for error messages
    int FColumn = 1;
    int64_t FElements = 0;
};

class TscXMLWriter {
public:
    explicit TscXMLWriter(QIODevice& stream);
    ~TscXMLWriter();
    TscXMLWriter(const TscXMLWriter&) = delete;
    TscXMLWriter& operator=(const TscXMLWriter&) = delete;

    void SetAutoIndent(bool on) { FAutoIndent = on; }
    void WriteHeader();
    // The element and its subtree (written without recursion).
    void WriteRootItem(const TscXMLItem& rootItem);
    // Writes what is buffered; throws when the stream refuses it.
    void Flush();

private:
    void WriteLine(const QByteArray& line, int depth);

    bool FAutoIndent = false;
    QByteArray FBuffer; // output not yet written
    QIODevice& FStream;
};
