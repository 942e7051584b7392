// Reading, writing, loading and saving the report XML dialect.

#include "rpXML.h"

#include "rpStreams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstring>
#include <limits>

namespace {

constexpr int kBufferSize = 4096;
constexpr qsizetype kMaxNamesKept = 4096; // distinct element names shared per reader or writer
constexpr char kHeader[] = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";
constexpr char16_t kMarker[] = u" ld=\"0\""; // the partial-loading marker
constexpr qsizetype kMarkerLength = 7;

bool IsBlank(QChar c)
{
    return c == u' ';
}

// The position of the last partial-loading marker (blank, "ld" in any case, ="0") in the
// text, or -1. The writer puts the marker at the end, so the last one is the marker even when
// the text holds the same characters before it, and a saved file reads back as it was.
// Found through its case-free part, which keeps the search cheap on large files.
qsizetype FindMarker(const QString& text)
{
    for (qsizetype at = text.lastIndexOf(u"=\"0\""); at >= 3; at = text.lastIndexOf(u"=\"0\"", at - 1)) {
        if (text[at - 3] == u' ' && (text[at - 2] == u'l' || text[at - 2] == u'L') && (text[at - 1] == u'd' || text[at - 1] == u'D'))
            return at - 3;
    }
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TrpXMLReader

TrpXMLReader::TrpXMLReader(QIODevice* stream) : stream_(stream), buffer_(new char[kBufferSize])
{
    if (!stream_)
        return;
    if (stream_->isSequential()) {
        size_ = std::numeric_limits<qint64>::max();
    } else {
        position_ = stream_->pos();
        size_ = stream_->size();
    }
}

TrpXMLReader::~TrpXMLReader()
{
    if (stream_ && !stream_->isSequential())
        stream_->seek(position_);
}

void TrpXMLReader::SetPosition(qint64 position)
{
    position_ = position;
    bufPos_ = bufEnd_ = 0;
    if (stream_ && !stream_->isSequential() && !stream_->seek(position))
        throw EReadError();
}

void TrpXMLReader::RaiseException()
{
    throw TrpInvalidXMLException();
}

bool TrpXMLReader::FillBuffer()
{
    if (!stream_ || position_ >= size_)
        return false;
    // Another user of the stream (the writer of the same temporary file) may have moved it.
    if (!stream_->isSequential() && stream_->pos() != position_ && !stream_->seek(position_))
        throw EReadError();
    const qint64 wanted = std::min<qint64>(kBufferSize, size_ - position_);
    const qint64 got = stream_->read(buffer_.get(), wanted);
    if (got < 0)
        throw EReadError();
    if (got == 0) {
        size_ = position_; // the stream is shorter than it said
        return false;
    }
    bufPos_ = 0;
    bufEnd_ = static_cast<int>(got);
    return true;
}

bool TrpXMLReader::ReadTag()
{
    enum class State { Outside, InTag, InComment };
    State state = State::Outside;
    int dashes = 0; // consecutive dashes counted inside a comment
    tag_.resize(0);
    for (;;) {
        if (bufPos_ == bufEnd_ && !FillBuffer()) {
            if (state == State::InTag)
                RaiseException();
            return false;
        }
        const char* begin = buffer_.get() + bufPos_;
        const char* end = buffer_.get() + bufEnd_;
        const char* p = begin;
        switch (state) {
        case State::Outside: {
            const auto* open = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
            p = open ? open + 1 : end;
            if (open)
                state = State::InTag;
            break;
        }
        case State::InTag:
            if (tag_.size() < 3) {
                // The first three bytes decide whether this is a comment.
                const char c = *p++;
                if (c == '>') {
                    bufPos_ += 1;
                    position_ += 1;
                    return true;
                }
                if (c == '<')
                    RaiseException();
                tag_.append(c);
                if (tag_.size() == 3 && tag_ == "!--") {
                    tag_.resize(0);
                    dashes = 0;
                    state = State::InComment;
                }
            } else {
                const auto* close = static_cast<const char*>(std::memchr(p, '>', static_cast<size_t>(end - p)));
                const char* stop = close ? close : end;
                if (std::memchr(p, '<', static_cast<size_t>(stop - p)))
                    RaiseException();
                const qsizetype run = stop - p;
                if (tag_.size() + run > kMaxXMLTagLength)
                    RaiseException();
                tag_.append(p, run);
                p = stop;
                if (close) {
                    ++p;
                    bufPos_ += static_cast<int>(p - begin);
                    position_ += p - begin;
                    return true;
                }
            }
            break;
        case State::InComment:
            // "-->" closes a comment, but a third dash starts the count again.
            while (p < end && state == State::InComment) {
                const char c = *p++;
                if (c == '-')
                    dashes = dashes == 2 ? 0 : dashes + 1;
                else if (c == '>' && dashes == 2)
                    state = State::Outside;
                else
                    dashes = 0;
            }
            break;
        }
        bufPos_ += static_cast<int>(p - begin);
        position_ += p - begin;
    }
}

QString TrpXMLReader::DecodeName(QByteArrayView bytes)
{
    const QByteArray key = QByteArray::fromRawData(bytes.data(), bytes.size());
    const auto found = names_.constFind(key);
    if (found != names_.cend())
        return found.value();
    QString name = AnsiToString(bytes);
    if (names_.size() < kMaxNamesKept)
        names_.insert(QByteArray(bytes.data(), bytes.size()), name);
    return name;
}

void TrpXMLReader::SplitTag(QString& name, QString& text)
{
    QByteArrayView tag(tag_);
    if (tag.endsWith(' '))
        tag.chop(1);
    const auto* blank = static_cast<const char*>(std::memchr(tag.data(), ' ', static_cast<size_t>(tag.size())));
    const qsizetype nameLength = blank ? blank - tag.data() : tag.size();
    name = DecodeName(tag.first(nameLength));
    const QByteArrayView textBytes = blank ? tag.sliced(nameLength + 1) : QByteArrayView();
    text = oldFormat_ ? AnsiToString(textBytes) : QString::fromUtf8(textBytes);
}

void TrpXMLReader::ReadHeader()
{
    oldFormat_ = false;
    QString name;
    QString text;
    if (ReadTag())
        SplitTag(name, text);
    if (!name.startsWith(u"?xml"))
        RaiseException();
    // Version 1.0 without "standalone=" is the old format, with Windows-1251 attribute text.
    const qsizetype version = text.indexOf(u"version=");
    if (version >= 0 && QStringView(text).mid(version + 9, 3) == u"1.0" && !text.contains(u"standalone="))
        oldFormat_ = true;
}

bool TrpXMLReader::ReadRootItem(TrpXMLItem& item, bool readChildren)
{
    return ReadElement(item, readChildren, item.Depth());
}

bool TrpXMLReader::ReadElement(TrpXMLItem& item, bool readChildren, int depth)
{
    const qint64 start = position_;
    QString name;
    QString text;
    if (ReadTag())
        SplitTag(name, text);
    lastName_ = name;
    if (name.isEmpty() || name.startsWith(u'/')) {
        item.name_ = std::move(name);
        item.text_ = std::move(text);
        return false;
    }
    if (depth > kMaxXMLDepth)
        RaiseException();
    held_ += tag_.size() + kXMLElementCost;
    if (held_ > memoryLimit_)
        RaiseException();
    const qint64 heldWithoutChildren = held_;

    // A closing '/' of the attribute text, or else of the name, makes the element complete.
    // The attribute text is looked at first so that every text the writer puts before a
    // closing "/>" reads back as it was, whatever the name ends with.
    bool complete = false;
    if (!text.isEmpty() && text.endsWith(u'/')) {
        text.chop(1);
        complete = true;
    } else if (name.endsWith(u'/')) {
        name.chop(1);
        complete = true;
    }
    item.name_ = std::move(name);
    item.text_ = std::move(text);

    if (!complete) {
        for (;;) {
            auto child = std::make_unique<TrpXMLItem>();
            if (!ReadElement(*child, readChildren, depth + 1))
                break;
            child->parent_ = &item;
            item.items_.push_back(child.release());
        }
        item.items_.shrink_to_fit();
        if (!lastName_.isEmpty()
            && !(lastName_.size() == item.name_.size() + 1
                 && QStringView(lastName_).sliced(1).compare(item.name_, Qt::CaseInsensitive) == 0))
            RaiseException();
    }

    const qsizetype marker = FindMarker(item.text_);
    if (marker >= 0) {
        item.text_.remove(marker, kMarkerLength);
        // Kept also when the children are read, so that saving writes the marker again.
        item.unloadable_ = true;
        if (!readChildren) {
            item.Clear();
            item.offset_ = start;
            item.loaded_ = false;
            item.source_ = source_;
            held_ = heldWithoutChildren;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// TrpXMLWriter

TrpXMLWriter::TrpXMLWriter(QIODevice* stream) : stream_(stream)
{
    if (stream_ && !stream_->isSequential())
        streamPos_ = stream_->pos();
}

void TrpXMLWriter::WriteHeader()
{
    buffer_ += kHeader;
    if (autoIndent_)
        buffer_ += "\r\n";
}

void TrpXMLWriter::WriteRootItem(TrpXMLItem& item)
{
    // A root with nothing in it is an empty document: the header alone, which loads back as
    // the same empty root.
    const bool empty = item.Name().isEmpty() && item.Text().isEmpty() && item.Count() == 0 && !item.Unloadable();
    if (!empty) {
        baseDepth_ = item.Depth();
        WriteItem(item, 0);
    }
    Flush();
}

void TrpXMLWriter::WriteItem(TrpXMLItem& item, int level)
{
    if (!item.Unloadable() || item.Loaded() || !document_) {
        WriteItemTags(item, level);
        return;
    }
    document_->LoadItem(&item);
    if (!item.Loaded()) {
        WriteItemTags(item, level);
        return;
    }
    // Brought in for writing only: dropped again however the writing ends.
    struct Unload {
        TrpXMLItem& item;
        ~Unload() { item.Clear(); }
    } unload{item};
    WriteItemTags(item, level);
}

void TrpXMLWriter::AppendName(const QString& name)
{
    const auto found = names_.constFind(name);
    if (found != names_.cend()) {
        buffer_ += found.value();
        return;
    }
    const QByteArray bytes = StringToAnsi(name);
    if (names_.size() < kMaxNamesKept)
        names_.insert(name, bytes);
    buffer_ += bytes;
}

void TrpXMLWriter::WriteItemTags(TrpXMLItem& item, int level)
{
    // What the reader could not read back is not written: a tree too deep, an element
    // without a name, named like an end tag or with a blank or bracket in its name, raw
    // attribute text holding a bracket, a tag over the length limit.
    if (baseDepth_ + level > kMaxXMLDepth)
        throw TrpInvalidXMLException();
    const QString& name = item.Name();
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u' ') || name.contains(u'<') || name.contains(u'>')
        || item.Text().contains(u'<') || item.Text().contains(u'>'))
        throw TrpInvalidXMLException();

    const QByteArray indent = autoIndent_ ? QByteArray(2 * level, ' ') : QByteArray();
    const char* lineEnd = autoIndent_ ? "\r\n" : "";
    const bool childless = item.Count() == 0;
    const bool withValue = childless && !item.Value().isEmpty();
    const bool selfClosing = childless && !withValue;
    const bool unloadable = item.Unloadable();

    // The reader takes the blank after the name as the separator, and drops one blank before
    // '>' and the blank of the marker: leading blanks, and trailing ones in those places,
    // would not read back, so they are not written.
    QStringView text(item.Text());
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.sliced(1);
    if (!selfClosing || unloadable)
        while (!text.isEmpty() && IsBlank(text.back()))
            text.chop(1);

    buffer_ += indent;
    buffer_ += '<';
    const qsizetype tagStart = buffer_.size();
    AppendName(name);
    if (!text.isEmpty() || unloadable) {
        buffer_ += ' ';
        buffer_ += text.toUtf8();
    }
    if (unloadable)
        buffer_ += QStringView(kMarker, kMarkerLength).toLatin1();
    if (selfClosing)
        buffer_ += '/';
    else if (!unloadable && text.endsWith(u'/'))
        buffer_ += "  "; // one is dropped; the other keeps the '/' from reading as "complete"
    if (buffer_.size() - tagStart > kMaxXMLTagLength)
        throw TrpInvalidXMLException();

    if (selfClosing) {
        buffer_ += '>';
        buffer_ += lineEnd;
    } else if (withValue) {
        // Escaped, so that a value can never break the tags around it.
        buffer_ += '>';
        buffer_ += EscapeXMLText(item.Value()).toUtf8();
        buffer_ += "</";
        AppendName(name);
        buffer_ += '>';
        buffer_ += lineEnd;
    } else {
        buffer_ += '>';
        buffer_ += lineEnd;
        if (buffer_.size() > kBufferSize)
            Flush();
        for (int i = 0; i < item.Count(); ++i)
            WriteItem(*item.Items(i), level + 1);
        buffer_ += indent;
        buffer_ += "</";
        AppendName(name);
        buffer_ += '>';
        buffer_ += lineEnd;
    }
    if (buffer_.size() > kBufferSize)
        Flush();
}

void TrpXMLWriter::Flush()
{
    if (buffer_.isEmpty())
        return;
    if (!stream_)
        throw EWriteError();
    // The document may have read the same stream (its temporary file) meanwhile.
    if (!stream_->isSequential() && stream_->pos() != streamPos_ && !stream_->seek(streamPos_))
        throw EWriteError();
    WriteAllBytes(*stream_, buffer_);
    streamPos_ += buffer_.size();
    buffer_.resize(0);
}

// ---------------------------------------------------------------------------------------------
// TrpXMLDocument

TrpXMLDocument::TrpXMLDocument() : root_(std::make_unique<TrpXMLItem>()) {}

TrpXMLDocument::~TrpXMLDocument()
{
    root_->Clear();
    DiscardSources();
}

void TrpXMLDocument::DiscardSources()
{
    loadStream_.reset();
    tempFile_.reset(); // removes the file
}

void TrpXMLDocument::Clear()
{
    root_->Clear();
    DiscardSources();
}

void TrpXMLDocument::LoadFromStream(QIODevice& stream)
{
    Load(stream, false, nullptr);
}

void TrpXMLDocument::LoadFromStream(std::unique_ptr<QIODevice> stream, bool allowPartialLoading)
{
    if (!stream)
        throw EReadError();
    QIODevice& device = *stream;
    if (allowPartialLoading)
        Load(device, true, std::move(stream));
    else
        Load(device, false, nullptr);
}

void TrpXMLDocument::Load(QIODevice& stream, bool allowPartialLoading, std::unique_ptr<QIODevice> keep)
{
    // Read into a tree of its own, so that a failed load leaves the document as it was.
    auto fresh = std::make_unique<TrpXMLItem>();
    bool oldFormat = false;
    {
        TrpXMLReader reader(&stream);
        reader.source_ = TrpXMLItem::Source::LoadStream;
        reader.ReadHeader();
        oldFormat = reader.OldFormat();
        if (!reader.ReadRootItem(*fresh, !allowPartialLoading) && (!fresh->name_.isEmpty() || !fresh->text_.isEmpty()))
            TrpXMLReader::RaiseException(); // an end tag where the root element belongs
    }

    root_->Clear();
    DiscardSources();
    TrpXMLItem& root = *root_;
    root.name_ = std::move(fresh->name_);
    root.text_ = std::move(fresh->text_);
    root.value_.clear();
    root.offset_ = fresh->offset_;
    root.loaded_ = fresh->loaded_;
    root.unloadable_ = fresh->unloadable_;
    root.source_ = fresh->source_;
    root.items_.swap(fresh->items_);
    for (TrpXMLItem* child : root.items_)
        child->parent_ = &root;
    oldVersion_ = oldFormat;
    if (allowPartialLoading)
        loadStream_ = std::move(keep);
}

void TrpXMLDocument::SaveToStream(QIODevice& stream)
{
    TrpXMLWriter writer(&stream);
    writer.SetAutoIndent(autoIndent_);
    writer.SetDocument(this);
    writer.WriteHeader();
    writer.WriteRootItem(*root_);
}

void TrpXMLDocument::LoadFromFile(const QString& fileName)
{
    LoadFromStream(OpenFileForReading(fileName, kMaxReportXMLFileBytes), true);
}

void TrpXMLDocument::SaveToFile(const QString& fileName)
{
    SaveFileAtomically(fileName, [&](QIODevice& file) { SaveToStream(file); });
    tempFile_.reset();
    LoadFromFile(fileName);
}

void TrpXMLDocument::LoadItem(TrpXMLItem* item)
{
    if (!item || item->loaded_ || !item->unloadable_)
        return;
    QIODevice* source = nullptr;
    if (item->source_ == TrpXMLItem::Source::LoadStream)
        source = loadStream_.get();
    else if (item->source_ == TrpXMLItem::Source::TempFile)
        source = tempFile_.get();
    if (!source)
        return;

    const QString name = item->name_;
    const QString text = item->text_;
    try {
        TrpXMLReader reader(source);
        reader.source_ = item->source_;
        // The temporary file is always written in the current format.
        reader.SetOldFormat(item->source_ == TrpXMLItem::Source::LoadStream && oldVersion_);
        reader.SetPosition(item->offset_);
        if (!reader.ReadRootItem(*item, true))
            TrpXMLReader::RaiseException();
    } catch (...) {
        item->Clear();
        item->name_ = name;
        item->text_ = text;
        throw;
    }
    item->text_ = text;
    item->loaded_ = true;
}

void TrpXMLDocument::UnloadItem(TrpXMLItem* item)
{
    if (!item || !item->loaded_ || !item->unloadable_)
        return;
    if (!tempFile_) {
        const QString folder = !tempDir_.isEmpty() && QFileInfo(tempDir_).isDir() ? tempDir_ : QDir::tempPath();
        auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral("rpXXXXXX")));
        if (!file->open())
            RaiseCannotCreate(file->fileTemplate(), file->errorString());
        tempFile_ = std::move(file);
    }
    if (!tempFile_->flush())
        throw EWriteError();
    const qint64 offset = tempFile_->size();
    if (!tempFile_->seek(offset))
        throw EWriteError();
    TrpXMLWriter writer(tempFile_.get());
    writer.SetDocument(this);
    writer.WriteRootItem(*item);
    if (!tempFile_->flush())
        throw EWriteError();
    item->offset_ = offset;
    item->source_ = TrpXMLItem::Source::TempFile;
    item->Clear();
}
