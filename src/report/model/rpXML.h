#pragma once

#include "platform/Exceptions.h"
#include "report/core/FormatSettings.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class QIODevice;
class QTemporaryFile;
class Variant;

// The XML dialect of report files, prepared reports, variables, styles and resources: a tree
// of elements whose attributes stay one raw text per element (picked apart on demand by
// Prop), a document that loads and saves the tree and can keep parts of it out of memory
// (partial loading), and the buffered reader and writer of its bytes.
//
// The bytes: the header <?xml version="1.0" encoding="utf-8" standalone="no"?>; element
// names in Windows-1251, attribute text and values in UTF-8 (a header of version 1.0 without
// standalone= marks the old format, whose attribute text is Windows-1251); attribute values
// escaped by EscapeXMLText; character data between tags is never read.

// Limits on what one load may hold, so that a broken or hostile file ends in "Invalid file
// format" instead of exhausting the stack or the memory. The writer keeps to them as well, so
// that whatever is saved loads again.
inline constexpr int kMaxXMLDepth = 256;                        // nesting levels, the root is 1
inline constexpr qsizetype kMaxXMLTagLength = 64 * 1024 * 1024; // bytes between '<' and '>'
// What one load may keep in memory: the bytes of every tag kept plus kXMLElementCost for
// each element (its share of the tree). Children dropped by partial loading do not count.
inline constexpr qint64 kMaxXMLDocumentSize = qint64{512} * 1024 * 1024;
inline constexpr qint64 kXMLElementCost = 64;

// Every failure of the dialect itself: a missing or wrong header, '<' inside a tag, the end
// of the stream inside a tag, an end tag that closes another element, and the limits above.
class TrpInvalidXMLException : public platform::Exception {
public:
    TrpInvalidXMLException();
};

class TrpXMLDocument;
class TrpXMLReader;
class TrpXMLWriter;

// One element: name, raw attribute text, value (written for a childless element only, never
// read) and children in document order, which it owns. An unloadable element may have its
// children out of memory (not Loaded); its Offset then says where its source stream holds it.
class TrpXMLItem {
public:
    TrpXMLItem();
    // Clears the item and takes it out of its parent's children.
    ~TrpXMLItem();
    TrpXMLItem(const TrpXMLItem&) = delete;
    TrpXMLItem& operator=(const TrpXMLItem&) = delete;

    // Destroys every child; an unloadable item is then not Loaded.
    void Clear();
    // A new last child (with the name), owned by this item.
    TrpXMLItem* Add();
    TrpXMLItem* Add(const QString& name);
    // Takes the item from its previous parent (or as a root, from its caller) and appends it;
    // InsertItem then moves it to `index`. An item cannot become a child of itself or of one
    // of its descendants.
    void AddItem(TrpXMLItem* item);
    void InsertItem(int index, TrpXMLItem* item);
    // The index of the first child of that name (case-insensitive), or -1.
    int Find(QStringView name) const;
    // The first child of that name; a new last child of that name when there is none.
    TrpXMLItem* FindItem(const QString& name);
    int IndexOf(const TrpXMLItem* item) const;
    // The topmost ancestor, the item itself when it has no parent.
    TrpXMLItem* Root();

    int Count() const { return static_cast<int>(items_.size()); }
    // The child at `index`; "List index (<index>) out of bounds" outside 0..Count-1.
    TrpXMLItem* Items(int index) const;
    TrpXMLItem* operator[](int index) const { return Items(index); }
    TrpXMLItem* Parent() const { return parent_; }

    // An attribute of the raw text, found by the pattern blank + name + '="' with the names
    // compared case-insensitively, so that Name never matches the tail of Font.Name. Prop
    // gives the unescaped value or an empty text; SetProp replaces the value in place or
    // appends the attribute, escaping the value; DeleteProp removes it with one blank.
    QString Prop(QStringView name) const;
    void SetProp(QStringView name, const QString& value);
    bool PropExists(QStringView name) const;
    void DeleteProp(QStringView name);

    void* Data() const { return data_; }
    void SetData(void* data) { data_ = data; }
    bool Loaded() const { return loaded_; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    // Where the element starts in the stream that holds it while unloaded.
    qint64 Offset() const { return offset_; }
    void SetOffset(qint64 offset) { offset_ = offset; }
    const QString& Text() const { return text_; }
    void SetText(const QString& text) { text_ = text; }
    bool Unloadable() const { return unloadable_; }
    void SetUnloadable(bool unloadable) { unloadable_ = unloadable; }
    const QString& Value() const { return value_; }
    void SetValue(const QString& value) { value_ = value; }

private:
    friend class TrpXMLReader;
    friend class TrpXMLWriter;
    friend class TrpXMLDocument;

    // Which stream of its document holds the children of an unloaded item: the stream of a
    // partial load (for elements never brought in) or the document's temporary file (for
    // elements unloaded since).
    enum class Source : uint8_t { None, LoadStream, TempFile };

    void Detach(TrpXMLItem* child);
    int Depth() const;
    // Finds the attribute: the index of its name in text_, or -1.
    qsizetype FindProp(QStringView name) const;

    void* data_ = nullptr;              // free for the user of the tree
    std::vector<TrpXMLItem*> items_;    // owned children
    TrpXMLItem* parent_ = nullptr;
    QString name_;
    QString text_;                      // everything between the name and '>' or '/>'
    QString value_;
    qint64 offset_ = 0;
    bool loaded_ = true;
    bool modified_ = false;             // free for the user of the tree
    bool unloadable_ = false;
    Source source_ = Source::None;
};

// Reads the dialect through one 4096-byte buffer. The stream stays the caller's; when the
// reader goes, the stream is left just after the last tag consumed.
class TrpXMLReader {
public:
    explicit TrpXMLReader(QIODevice* stream);
    ~TrpXMLReader();
    TrpXMLReader(const TrpXMLReader&) = delete;
    TrpXMLReader& operator=(const TrpXMLReader&) = delete;

    // The position after the last byte consumed; setting it seeks and empties the buffer.
    qint64 Position() const { return position_; }
    void SetPosition(qint64 position);
    qint64 Size() const { return size_; }
    // Attribute text in Windows-1251 instead of UTF-8 (set by ReadHeader).
    bool OldFormat() const { return oldFormat_; }
    void SetOldFormat(bool oldFormat) { oldFormat_ = oldFormat; }

    // What the elements read by this reader may keep in memory (see kMaxXMLDocumentSize, the
    // default).
    void SetMemoryLimit(qint64 limit) { memoryLimit_ = limit; }

    // Reads the header tag and tells the format from it.
    void ReadHeader();
    // Reads the next element with its children into `item` (at the item's depth in its
    // tree). False, with the item's name and text set to what was read, when an end tag or
    // the end of the stream came instead. Without readChildren an element that carries the
    // partial-loading marker keeps only its name, text and offset.
    bool ReadRootItem(TrpXMLItem& item, bool readChildren);
    [[noreturn]] static void RaiseException();

private:
    friend class TrpXMLDocument;

    bool FillBuffer();
    // Reads the next tag into tag_; false when the stream ends before one begins.
    bool ReadTag();
    void SplitTag(QString& name, QString& text);
    QString DecodeName(QByteArrayView bytes);
    bool ReadElement(TrpXMLItem& item, bool readChildren, int depth);

    QIODevice* stream_;                 // not owned
    std::unique_ptr<char[]> buffer_;
    int bufPos_ = 0;
    int bufEnd_ = 0;
    qint64 position_ = 0;               // logical: after the last byte consumed
    qint64 size_ = 0;                   // taken at construction
    bool oldFormat_ = false;
    QByteArray tag_;                    // the tag being read, without '<' and '>'
    QString lastName_;                  // the last tag name read, for the end-tag check
    qint64 held_ = 0;                   // what this reader's elements keep
    qint64 memoryLimit_ = kMaxXMLDocumentSize;
    QHash<QByteArray, QString> names_;  // element names seen, shared between elements
    TrpXMLItem::Source source_ = TrpXMLItem::Source::None; // recorded in items left unloaded
};

// Writes the dialect; output is collected and handed to the stream in blocks of 4096 bytes.
class TrpXMLWriter {
public:
    explicit TrpXMLWriter(QIODevice* stream);
    TrpXMLWriter(const TrpXMLWriter&) = delete;
    TrpXMLWriter& operator=(const TrpXMLWriter&) = delete;

    // Every line ends with CR LF and each level is indented by two blanks; otherwise no line
    // breaks at all.
    bool AutoIndent() const { return autoIndent_; }
    void SetAutoIndent(bool autoIndent) { autoIndent_ = autoIndent; }
    // The document whose streams hold the unloaded items met while writing: each is brought
    // in, written and dropped again. Without one an unloaded item is written without children.
    void SetDocument(TrpXMLDocument* document) { document_ = document; }

    void WriteHeader();
    // Writes the element with everything below it, then hands all output to the stream.
    void WriteRootItem(TrpXMLItem& item);

private:
    void WriteItem(TrpXMLItem& item, int depth);
    void WriteItemTags(TrpXMLItem& item, int depth);
    void AppendName(const QString& name);
    void Flush();

    QIODevice* stream_;                 // not owned
    TrpXMLDocument* document_ = nullptr;
    bool autoIndent_ = false;
    QByteArray buffer_;                 // output not yet written
    qint64 streamPos_ = 0;              // where the next output goes (the stream may be read meanwhile)
    int baseDepth_ = 1;                 // depth of the root item written in its own tree
    QHash<QString, QByteArray> names_;  // element names already encoded
};

// The tree with its loading and saving. With partial loading the document keeps the load
// stream; elements it left out of memory, and those unloaded later into a temporary file,
// come back with LoadItem, and saving brings each in as it is written.
class TrpXMLDocument {
public:
    TrpXMLDocument();
    ~TrpXMLDocument();
    TrpXMLDocument(const TrpXMLDocument&) = delete;
    TrpXMLDocument& operator=(const TrpXMLDocument&) = delete;

    // Clears the root and lets go of the load stream and the temporary file.
    void Clear();

    // Loads the whole document; the stream stays the caller's. On failure the document is
    // left as it was.
    void LoadFromStream(QIODevice& stream);
    // The same, with partial loading when allowed: the document then keeps the stream as the
    // source of the elements it left out of memory.
    void LoadFromStream(std::unique_ptr<QIODevice> stream, bool allowPartialLoading);
    void SaveToStream(QIODevice& stream);
    // Loads with partial loading, keeping the file open.
    void LoadFromFile(const QString& fileName);
    // Replaces the file atomically (the old file stays whole when saving fails), then loads
    // it again with partial loading.
    void SaveToFile(const QString& fileName);

    // Brings an unloaded element's children back; nothing for an item that is loaded, not
    // unloadable or whose stream the document no longer has.
    void LoadItem(TrpXMLItem* item);
    // Writes a loaded unloadable element to the document's temporary file and drops its
    // children. The file is "rpXXXXXX" in TempDir when that folder exists, else in the
    // system's temporary folder.
    void UnloadItem(TrpXMLItem* item);

    bool AutoIndent() const { return autoIndent_; }
    void SetAutoIndent(bool autoIndent) { autoIndent_ = autoIndent; }
    const QString& TempDir() const { return tempDir_; }
    void SetTempDir(const QString& tempDir) { tempDir_ = tempDir; }
    bool OldVersion() const { return oldVersion_; }
    TrpXMLItem* Root() const { return root_.get(); }

private:
    void Load(QIODevice& stream, bool allowPartialLoading, std::unique_ptr<QIODevice> keep);
    void DiscardSources();

    std::unique_ptr<TrpXMLItem> root_;
    std::unique_ptr<QIODevice> loadStream_;    // the stream of a partial load
    std::unique_ptr<QTemporaryFile> tempFile_; // created by the first UnloadItem
    QString tempDir_;
    bool autoIndent_ = false;
    bool oldVersion_ = false;
};

// Attribute-safe text: CR, LF, '"', '&', '<' and '>' become &#13; &#10; &#34; &#38; &#60;
// &#62;, an "&quot;" in the text becomes "&#34;", everything else is kept.
QString EscapeXMLText(QStringView text);

// One pass from left to right: &#N; (N decimal, 1 to 0x10FFFF; above 0xFFFF a surrogate
// pair) and &quot; &amp; &lt; &gt; become their characters; a decoded character is not looked
// at again. Any other reference stays as it is, and so does an "&#" with no ';' after it.
// A number that is not decimal or out of range raises the conversion error
// "\"<text>\" is an invalid integer".
QString UnescapeXMLText(QStringView text);

// The text of a value for an attribute: integers as decimal numbers, floats in the general
// format of 15 digits, a date as the short date (date part only), texts escaped, a Boolean as
// "1" or "0", anything else (Unassigned, Null, objects, arrays) as an empty text.
QString VariantToXMLText(const Variant& value, const FormatSettings& settings = FormatSettings::C());
