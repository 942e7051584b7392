#include "sc_xml.h"

#include "ScriptObjects.h"

#include "sc_iconsts.h"

#include "platform/Exceptions.h"
#include "report/core/TextCodes.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

[[noreturn]] void RaiseFormatError(const QString& source, int line, int column)
{
    throw platform::ELocatedError(ScMessage(TscMessage::SInvalidFileFormat).toStdString(), source.toStdString(),
                                  line, column);
}

bool SameLetters(QChar a, QChar b)
{
    return a == b || a.toUpper() == b.toUpper();
}

// Where the attribute name starts in text (at its start or after a blank, followed by '="'),
// or -1. Letters are compared one UTF-16 unit at a time, so positions never shift.
qsizetype FindAttribute(const QString& text, const QString& name)
{
    const qsizetype n = name.size();
    if (n == 0)
        return -1;
    for (qsizetype at = 0; at + n + 2 <= text.size(); ++at) {
        if (at > 0 && text[at - 1] != QLatin1Char(' '))
            continue;
        if (text[at + n] != QLatin1Char('=') || text[at + n + 1] != QLatin1Char('"'))
            continue;
        bool same = true;
        for (qsizetype k = 0; k < n && same; ++k)
            same = SameLetters(text[at + k], name[k]);
        if (same)
            return at;
    }
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Escaping

QString ScXMLEscape(const QString& value)
{
    const auto plain = [](QChar c) {
        const char16_t u = c.unicode();
        return !(u == 10 || u == 13 || u == '"' || u == '&' || u == '<' || u == '>' || c.isSurrogate());
    };
    if (std::all_of(value.begin(), value.end(), plain))
        return value; // the usual case: nothing to escape, nothing to copy
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const char16_t u = c.unicode();
        bool special = u == 10 || u == 13 || u == '"' || u == '&' || u == '<' || u == '>';
        if (c.isSurrogate()) {
            // A well-formed pair goes out as UTF-8; a lone half could not, so it travels as a
            // numeric entity and reads back as the same unit.
            const bool pair = c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate();
            if (pair) {
                out += c;
                out += value[++i];
                continue;
            }
            special = true;
        }
        if (special)
            out += QLatin1String("&#") + QString::number(u) + QLatin1Char(';');
        else
            out += c;
    }
    return out;
}

QString ScXMLUnescape(const QString& value)
{
    static constexpr XMLReferenceRules kScriptRules{2, false, [](QStringView) { RaiseFormatError(QString(), 0, 0); }};
    return UnescapeXMLReferences(value, kScriptRules);
}

// ---------------------------------------------------------------------------------------------
// TscXMLItem

TscXMLItem::TscXMLItem(const QString& name, const QString& text) : FName(name), FText(text) {}

std::unique_ptr<TscXMLItem> TscXMLItem::MakeParsed(const QString& name, const QString* textValue, const QString& pos,
                                                   const QString& pos1)
{
    auto item = std::make_unique<TscXMLItem>(name);
    item->FParsed = true;
    if (textValue != nullptr) {
        item->FHasTextValue = true;
        item->FTextValue = *textValue;
    }
    item->FPos = pos;
    item->FPos1 = pos1;
    return item;
}

std::unique_ptr<TscXMLItem> TscXMLItem::MakeParsed(std::vector<std::unique_ptr<TscXMLItem>>& spare, const QString& name,
                                                   const QString* textValue, const QString& pos, const QString& pos1)
{
    if (spare.empty())
        return MakeParsed(name, textValue, pos, pos1);
    std::unique_ptr<TscXMLItem> item = std::move(spare.back());
    spare.pop_back();
    if (!item->FName.isSharedWith(name))
        item->FName = name; // the grammar's names: often the very text the item had
    item->FText.clear();
    item->FData = nullptr;
    item->FParsed = true;
    item->FTextMade = false;
    item->FHasTextValue = textValue != nullptr;
    if (textValue != nullptr)
        item->FTextValue = *textValue;
    else
        item->FTextValue.clear();
    item->FPos = pos;
    item->FPos1 = pos1;
    return item;
}

void TscXMLItem::MakeText() const
{
    QString text;
    const auto append = [&text](QLatin1String name, const QString& value) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += name;
        text += QLatin1String("=\"");
        text += ScXMLEscape(value);
        text += QLatin1Char('"');
    };
    if (FHasTextValue)
        append(QLatin1String("text"), FTextValue);
    if (!FPos.isEmpty())
        append(QLatin1String("pos"), FPos);
    if (!FPos1.isEmpty())
        append(QLatin1String("pos1"), FPos1);
    FText = text;
    FTextMade = true;
}

void TscXMLItem::SetText(const QString& text)
{
    FParsed = false;
    FHasTextValue = false;
    FTextValue.clear();
    FPos.clear();
    FPos1.clear();
    FText = text;
}

const QString* TscXMLItem::ParsedProp(const QString& name) const
{
    const auto is = [&name](QLatin1String attribute) {
        if (name.size() != attribute.size())
            return false;
        for (qsizetype k = 0; k < name.size(); ++k) {
            if (!SameLetters(name[k], QLatin1Char(attribute[k])))
                return false;
        }
        return true;
    };
    if (FHasTextValue && is(QLatin1String("text")))
        return &FTextValue;
    if (!FPos.isEmpty() && is(QLatin1String("pos")))
        return &FPos;
    if (!FPos1.isEmpty() && is(QLatin1String("pos1")))
        return &FPos1;
    return nullptr;
}

const ScriptClassInfo& TscXMLItem::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TscXMLItem"), &ScriptPlainObject::ObjectClass()};
    return info;
}

const ScriptClassInfo& TscXMLDocument::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TscXMLDocument"), &ScriptPlainObject::ObjectClass()};
    return info;
}

TscXMLItem::~TscXMLItem()
{
    Clear();
    if (FParent) {
        // Deleted directly, not by its parent (which releases a child before freeing it):
        // leave the parent's list without being freed a second time.
        auto& list = FParent->FItems;
        const auto slot = std::find_if(list.begin(), list.end(), [this](const auto& p) { return p.get() == this; });
        if (slot != list.end()) {
            (void)slot->release();
            list.erase(slot);
        }
        FParent = nullptr;
    }
}

void TscXMLItem::Clear()
{
    // Freed without recursion: deep trees (a long chain of nested elements) must not exhaust
    // the stack. Every item taken here is released from its parent before it is deleted.
    std::vector<std::unique_ptr<TscXMLItem>> pending;
    pending.swap(FItems);
    while (!pending.empty()) {
        std::unique_ptr<TscXMLItem> item = std::move(pending.back());
        pending.pop_back();
        item->FParent = nullptr;
        for (auto& child : item->FItems)
            pending.push_back(std::move(child));
        item->FItems.clear();
    }
}

void TscXMLItem::ClearInto(std::vector<std::unique_ptr<TscXMLItem>>& spare, size_t limit)
{
    // spare itself is the work list: each item taken gives up its children behind it.
    const size_t first = spare.size();
    for (auto& child : FItems)
        spare.push_back(std::move(child));
    FItems.clear();
    for (size_t i = first; i < spare.size(); ++i) {
        TscXMLItem* item = spare[i].get();
        item->FParent = nullptr;
        for (auto& child : item->FItems)
            spare.push_back(std::move(child));
        item->FItems.clear();
    }
    // Every item taken has no children now: freeing one is freeing just that one.
    size_t kept = first;
    for (size_t i = first; i < spare.size(); ++i) {
        if (kept < limit && !spare[i]->HasHandle()) {
            if (kept != i)
                spare[kept] = std::move(spare[i]);
            ++kept;
        } else {
            spare[i].reset();
        }
    }
    spare.resize(kept);
}

TscXMLItem* TscXMLItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    return FItems[static_cast<size_t>(index)].get();
}

TscXMLItem* TscXMLItem::Add()
{
    return AddItem(std::make_unique<TscXMLItem>());
}

TscXMLItem* TscXMLItem::Add(const QString& name, const QString& text)
{
    return AddItem(std::make_unique<TscXMLItem>(name, text));
}

void TscXMLItem::AdoptAt(size_t index, std::unique_ptr<TscXMLItem> item)
{
    ChargeScriptMemory(kScriptObjectBytes);
    item->FParent = this;
    if (index >= FItems.size())
        FItems.push_back(std::move(item));
    else
        FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
}

void TscXMLItem::CountMemory(ScriptMemoryCounter& counter) const
{
    // Without recursion: a tree may be thousands of levels deep.
    std::vector<const TscXMLItem*> pending{this};
    while (!pending.empty()) {
        const TscXMLItem* item = pending.back();
        pending.pop_back();
        counter.AddBytes(kScriptObjectBytes + static_cast<int64_t>(item->FItems.capacity() * sizeof(void*)));
        counter.AddText(item->FName);
        counter.AddText(item->FText);
        counter.AddText(item->FTextValue);
        counter.AddText(item->FPos);
        counter.AddText(item->FPos1);
        for (const auto& child : item->FItems)
            pending.push_back(child.get());
    }
}

TscXMLItem* TscXMLItem::AddItem(std::unique_ptr<TscXMLItem> item)
{
    return InsertItem(Count(), std::move(item));
}

void TscXMLItem::AddItems(std::vector<std::unique_ptr<TscXMLItem>>& items, size_t from)
{
    if (from >= items.size())
        return;
    FItems.reserve(FItems.size() + (items.size() - from));
    for (size_t i = from; i < items.size(); ++i) {
        if (!items[i] || items[i]->FParent)
            continue;
        ChargeScriptMemory(kScriptObjectBytes);
        items[i]->FParent = this;
        FItems.push_back(std::move(items[i]));
    }
    items.resize(from);
}

TscXMLItem* TscXMLItem::InsertItem(int index, std::unique_ptr<TscXMLItem> item)
{
    if (!item || item->FParent)
        return nullptr;
    TscXMLItem* raw = item.get();
    AdoptAt(static_cast<size_t>(std::clamp(index, 0, Count())), std::move(item));
    return raw;
}

std::unique_ptr<TscXMLItem> TscXMLItem::TakeItem(int index)
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    std::unique_ptr<TscXMLItem> item = std::move(FItems[static_cast<size_t>(index)]);
    FItems.erase(FItems.begin() + index);
    item->FParent = nullptr;
    return item;
}

bool TscXMLItem::SetParent(TscXMLItem* newParent)
{
    if (!newParent || !FParent)
        return false;
    for (const TscXMLItem* p = newParent; p; p = p->FParent)
        if (p == this)
            return false;
    std::unique_ptr<TscXMLItem> self = FParent->TakeItem(FParent->IndexOf(this));
    newParent->AddItem(std::move(self));
    return true;
}

int TscXMLItem::Find(const QString& name) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->FName.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

TscXMLItem* TscXMLItem::FindItem(const QString& name)
{
    const int index = Find(name);
    return index >= 0 ? FItems[static_cast<size_t>(index)].get() : Add(name);
}

int TscXMLItem::IndexOf(const TscXMLItem* item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

TscXMLItem* TscXMLItem::Root()
{
    TscXMLItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item;
}

void TscXMLItem::Assign(const TscXMLItem* item)
{
    if (item == this)
        return;
    Clear();
    if (!item)
        return;
    FName = item->FName;
    FText = item->FText;
    FTextValue = item->FTextValue;
    FPos = item->FPos;
    FPos1 = item->FPos1;
    FParsed = item->FParsed;
    FHasTextValue = item->FHasTextValue;
    FTextMade = item->FTextMade;
    FData = item->FData;
    if (item->FItems.empty())
        return;
    // Copied without recursion: pairs of (source, copy whose children are still to be made).
    std::vector<std::pair<const TscXMLItem*, TscXMLItem*>> pending{{item, this}};
    while (!pending.empty()) {
        const auto [source, copy] = pending.back();
        pending.pop_back();
        for (const auto& child : source->FItems) {
            TscXMLItem* made = copy->Add(child->FName, child->FText);
            made->FTextValue = child->FTextValue;
            made->FPos = child->FPos;
            made->FPos1 = child->FPos1;
            made->FParsed = child->FParsed;
            made->FHasTextValue = child->FHasTextValue;
            made->FTextMade = child->FTextMade;
            made->FData = child->FData;
            if (!child->FItems.empty())
                pending.emplace_back(child.get(), made);
        }
    }
}

bool TscXMLItem::PropExists(const QString& name) const
{
    if (FParsed)
        return ParsedProp(name) != nullptr;
    return FindAttribute(FText, name) >= 0;
}

QString TscXMLItem::Prop(const QString& name) const
{
    QString value;
    PropIfExists(name, value);
    return value;
}

bool TscXMLItem::PropIfExists(const QString& name, QString& value) const
{
    if (FParsed) {
        const QString* found = ParsedProp(name);
        if (found == nullptr)
            return false;
        value = *found;
        return true;
    }
    const qsizetype at = FindAttribute(FText, name);
    if (at < 0)
        return false;
    const qsizetype valueStart = at + name.size() + 2;
    qsizetype valueEnd = FText.indexOf(QLatin1Char('"'), valueStart);
    if (valueEnd < 0)
        valueEnd = FText.size();
    value = ScXMLUnescape(FText.mid(valueStart, valueEnd - valueStart));
    return true;
}

QString TscXMLItem::TextProp() const
{
    if (!FParsed)
        return Prop(QStringLiteral("text"));
    return FHasTextValue ? FTextValue : QString();
}

bool TscXMLItem::PosIfExists(QString& value) const
{
    if (!FParsed)
        return PropIfExists(QStringLiteral("pos"), value);
    if (FPos.isEmpty())
        return false;
    value = FPos;
    return true;
}

void TscXMLItem::SetProp(const QString& name, const QString& value)
{
    if (FParsed)
        SetText(Text()); // from here on the raw text is what holds the attributes
    qsizetype insertAt = FindAttribute(FText, name);
    if (insertAt >= 0) {
        const qsizetype close = FText.indexOf(QLatin1Char('"'), insertAt + name.size() + 2);
        const qsizetype end = close < 0 ? FText.size() : close + 1;
        FText.remove(insertAt, end - insertAt);
    } else {
        insertAt = FText.size();
    }
    QString pair = name + QLatin1String("=\"") + ScXMLEscape(value) + QLatin1Char('"');
    if (insertAt > 0 && FText[insertAt - 1] != QLatin1Char(' '))
        pair.prepend(QLatin1Char(' '));
    FText.insert(insertAt, pair);
}

// ---------------------------------------------------------------------------------------------
// TscXMLReader

TscXMLReader::TscXMLReader(QIODevice& stream, const QString& sourceName)
    : FStream(stream), FSourceName(sourceName), FSize(stream.isSequential() ? -1 : stream.size())
{
}

TscXMLReader::~TscXMLReader()
{
    // Bytes peeked but not used stay in the stream.
    if (FBufPos > 0)
        FStream.skip(FBufPos);
}

int TscXMLReader::NextByte()
{
    if (FBufPos == FBufEnd) {
        if (FBufEnd > 0)
            FStream.skip(FBufEnd);
        FBufPos = 0;
        FBufEnd = std::max<int64_t>(0, FStream.peek(FBuffer, sizeof FBuffer));
        if (FBufEnd == 0)
            return -1;
    }
    if (FPosition >= kScXMLMaxDocumentBytes)
        Raise(FormatScMessage(TscMessage::SXMLTooLarge, QString::number(kScXMLMaxDocumentBytes)));
    const auto byte = static_cast<unsigned char>(FBuffer[FBufPos++]);
    ++FPosition;
    if (byte == '\n') {
        ++FLine;
        FColumn = 1;
    } else {
        ++FColumn;
    }
    return byte;
}

void TscXMLReader::Raise(const QString& message) const
{
    throw platform::ELocatedError(message.toStdString(), FSourceName.toStdString(), FLine,
                                  std::max(1, FColumn - 1));
}

void TscXMLReader::RaiseException() const
{
    Raise(ScMessage(TscMessage::SInvalidFileFormat));
}

TscXMLReader::TagEnd TscXMLReader::ReadTag(QString& name, QString& text)
{
    enum class State { Outside, InTag, Comment } state = State::Outside;
    QByteArray tag;
    int dashes = 0;
    for (;;) {
        const int c = NextByte();
        if (c < 0) {
            if (state != State::Outside)
                RaiseException();
            name.clear();
            text.clear();
            return TagEnd::EndOfStream;
        }
        switch (state) {
        case State::Outside:
            if (c == '<') {
                state = State::InTag;
                tag.clear();
            }
            break;
        case State::InTag:
            if (c == '<')
                RaiseException();
            if (c == '>') {
                if (tag.endsWith(' '))
                    tag.chop(1);
                const qsizetype blank = tag.indexOf(' ');
                if (blank < 0) {
                    name = QString::fromUtf8(tag);
                    text.clear();
                } else {
                    name = QString::fromUtf8(tag.left(blank));
                    text = QString::fromUtf8(tag.mid(blank + 1));
                }
                return TagEnd::Tag;
            }
            tag.append(static_cast<char>(c));
            if (tag.size() == 3 && tag == "!--") {
                state = State::Comment;
                dashes = 0;
            }
            break;
        case State::Comment:
            // A comment ends at the first "-->", also when more dashes come before the '>'.
            if (c == '-')
                dashes = std::min(dashes + 1, 2);
            else if (c == '>' && dashes == 2)
                state = State::Outside;
            else
                dashes = 0;
            break;
        }
    }
}

void TscXMLReader::ReadHeader()
{
    QString name;
    QString text;
    ReadTag(name, text);
    if (!name.startsWith(QLatin1String("?xml")))
        RaiseException();
}

namespace {

// An element closed in its own tag: a slash at the end of the name or of the attributes
// (one trailing blank was dropped already). The slash is removed.
bool TakeSelfClosing(QString& name, QString& text)
{
    if (name.endsWith(QLatin1Char('/'))) {
        name.chop(1);
        return true;
    }
    if (text.endsWith(QLatin1Char('/'))) {
        text.chop(1);
        return true;
    }
    return false;
}

bool IsEndMarker(const QString& name)
{
    return name.isEmpty() || name.startsWith(QLatin1Char('/'));
}

} // namespace

void TscXMLReader::ReadRootItem(TscXMLItem& item, bool lenient)
{
    QString name;
    QString text;
    const TagEnd first = ReadTag(name, text);
    if (IsEndMarker(name)) {
        // No root element: an empty document, or (refused unless lenient) a stray closing tag.
        if (first == TagEnd::Tag && !lenient)
            RaiseException();
        item.SetName(QString());
        item.SetText(QString());
        return;
    }
    const bool rootClosed = TakeSelfClosing(name, text);
    item.SetName(name);
    item.SetText(text);
    if (rootClosed)
        return;

    // Elements whose children are being read, innermost last.
    std::vector<TscXMLItem*> open{&item};
    while (!open.empty()) {
        const TagEnd end = ReadTag(name, text);
        if (IsEndMarker(name)) {
            TscXMLItem* closed = open.back();
            open.pop_back();
            if (end == TagEnd::EndOfStream) {
                if (!lenient)
                    RaiseException();
                continue;
            }
            if (name.compare(QLatin1Char('/') + closed->Name(), Qt::CaseInsensitive) != 0)
                RaiseException();
            continue;
        }
        if (++FElements > kScXMLMaxElements)
            Raise(FormatScMessage(TscMessage::SXMLTooLarge, QString::number(kScXMLMaxElements)));
        const bool closed = TakeSelfClosing(name, text);
        TscXMLItem* child = open.back()->Add(name, text);
        if (!closed) {
            if (static_cast<int>(open.size()) >= kScXMLMaxDepth)
                Raise(FormatScMessage(TscMessage::SXMLTooDeep, QString::number(kScXMLMaxDepth)));
            open.push_back(child);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TscXMLWriter

TscXMLWriter::TscXMLWriter(QIODevice& stream) : FStream(stream) {}

TscXMLWriter::~TscXMLWriter() = default;

void TscXMLWriter::Flush()
{
    if (FBuffer.isEmpty())
        return;
    const qint64 written = FStream.write(FBuffer);
    FBuffer.clear();
    if (written < 0)
        throw platform::Exception(FStream.errorString().toStdString());
}

void TscXMLWriter::WriteLine(const QByteArray& line, int depth)
{
    if (FAutoIndent)
        FBuffer.append(QByteArray(2 * depth, ' '));
    FBuffer.append(line);
    if (FAutoIndent)
        FBuffer.append("\r\n");
    if (FBuffer.size() > 4096)
        Flush();
}

void TscXMLWriter::WriteHeader()
{
    WriteLine("<?xml version=\"1.0\"?>", 0);
}

void TscXMLWriter::WriteRootItem(const TscXMLItem& rootItem)
{
    auto openTag = [](const TscXMLItem& item) {
        QByteArray line = "<" + item.Name().toUtf8();
        if (!item.Text().isEmpty()) {
            if (!item.Text().startsWith(QLatin1Char(' ')))
                line += ' ';
            line += item.Text().toUtf8();
        }
        line += item.Count() > 0 ? ">" : "/>";
        return line;
    };
    // (item, index of the next child to write); an item is closed when all are written.
    std::vector<std::pair<const TscXMLItem*, int>> open;
    WriteLine(openTag(rootItem), 0);
    if (rootItem.Count() > 0)
        open.emplace_back(&rootItem, 0);
    while (!open.empty()) {
        auto& [item, next] = open.back();
        if (next >= item->Count()) {
            const int depth = static_cast<int>(open.size()) - 1;
            WriteLine("</" + item->Name().toUtf8() + ">", depth);
            open.pop_back();
            continue;
        }
        const TscXMLItem* child = item->Items(next++);
        WriteLine(openTag(*child), static_cast<int>(open.size()));
        if (child->Count() > 0)
            open.emplace_back(child, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// TscXMLDocument

TscXMLDocument::TscXMLDocument() : FRoot(std::make_unique<TscXMLItem>()) {}

void TscXMLDocument::CountMemory(ScriptMemoryCounter& counter) const
{
    FRoot->CountMemory(counter);
}

TscXMLDocument::~TscXMLDocument() = default;

void TscXMLDocument::Clear()
{
    FRoot->Clear();
}

namespace {

void LoadDocument(QIODevice& stream, const QString& sourceName, bool lenient, TscXMLItem& root)
{
    auto fresh = std::make_unique<TscXMLItem>();
    {
        TscXMLReader reader(stream, sourceName);
        reader.ReadHeader();
        reader.ReadRootItem(*fresh, lenient);
    }
    // The whole document was sound: only now does it replace the old tree.
    root.Clear();
    root.SetName(fresh->Name());
    root.SetText(fresh->Text());
    while (fresh->Count() > 0)
        root.AddItem(fresh->TakeItem(0));
}

} // namespace

void TscXMLDocument::LoadFromStream(QIODevice& stream, bool lenient)
{
    LoadDocument(stream, QString(), lenient, *FRoot);
}

void TscXMLDocument::LoadFromFile(const QString& fileName, bool lenient)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception(
            FormatScMessage(TscMessage::SCannotOpenFile, {fileName, file.errorString()}).toStdString());
    LoadDocument(file, fileName, lenient, *FRoot);
}

void TscXMLDocument::LoadFromBytes(const QByteArray& bytes, bool lenient)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer, lenient);
}

void TscXMLDocument::SaveToStream(QIODevice& stream) const
{
    TscXMLWriter writer(stream);
    writer.SetAutoIndent(FAutoIndent);
    writer.WriteHeader();
    writer.WriteRootItem(*FRoot);
    writer.Flush();
}

QByteArray TscXMLDocument::SaveToBytes() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SaveToStream(buffer);
    return buffer.data();
}

void TscXMLDocument::SaveToFile(const QString& fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw platform::Exception(
            FormatScMessage(TscMessage::SCannotCreateFile, {fileName, file.errorString()}).toStdString());
    SaveToStream(file);
    if (!file.commit())
        throw platform::Exception(
            FormatScMessage(TscMessage::SCannotCreateFile, {fileName, file.errorString()}).toStdString());
}
