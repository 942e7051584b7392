#include "rpPictureCache.h"

#include "report/model/rpClass_views.h"
#include "report/model/rpStreams.h"
#include "report/model/rpUtils.h"
#include "report/model/rpXML.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryFile>

struct TrpPictureCache::Segment {
    QByteArray Bytes;                    // memory mode
    std::unique_ptr<QTemporaryFile> File; // file mode: removed when the segment goes
    QString FileName;
    qint64 FileSize = 0;
};

namespace {

// Hexadecimal text as bytes: two digits a byte, an odd last digit dropped; the stream
// helper refuses anything but digits.
QByteArray HexTextToBytes(QStringView text)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    HexTextToStream(text, buffer);
    return buffer.data();
}

// Whether HexTextToStream takes the text: hexadecimal digits only.
bool IsHexText(QStringView text)
{
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

} // namespace

TrpPictureCache::TrpPictureCache() = default;

TrpPictureCache::~TrpPictureCache()
{
    Clear();
}

void TrpPictureCache::SetUseFileCache(bool value)
{
    if (segments_.empty())
        useFileCache_ = value;
}

void TrpPictureCache::SetTempDir(const QString& value)
{
    if (segments_.empty())
        tempDir_ = value;
}

void TrpPictureCache::Clear()
{
    segments_.clear();
    items_.clear();
}

void TrpPictureCache::AddSegment()
{
    auto segment = std::make_unique<Segment>();
    if (useFileCache_) {
        const QString folder = tempDir_.isEmpty() ? GetTempFolder() : tempDir_;
        auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral("rpPicXXXXXX")));
        if (!file->open())
            RaiseCannotCreate(file->fileTemplate(), file->errorString());
        // Asking for the name gives the file its name in the folder (Qt may open it unnamed).
        segment->FileName = file->fileName();
        segment->File = std::move(file);
    }
    segments_.push_back(std::move(segment));
}

qint64 TrpPictureCache::SegmentSize(const Segment& segment) const
{
    return segment.File != nullptr ? segment.FileSize : segment.Bytes.size();
}

int32_t TrpPictureCache::Append(const QByteArray& bytes)
{
    if (segments_.empty() || SegmentSize(*segments_.back()) > kMaxPictureSegmentBytes)
        AddSegment();
    Segment& segment = *segments_.back();
    const Entry entry{static_cast<int32_t>(segments_.size() - 1), SegmentSize(segment)};
    if (segment.File != nullptr) {
        if (!segment.File->seek(entry.Offset))
            throw EWriteError();
        try {
            WriteAllBytes(*segment.File, bytes);
        } catch (...) {
            // What was written of the picture is cut off again, so the next one starts here.
            segment.File->resize(entry.Offset);
            throw;
        }
        segment.FileSize += bytes.size();
    } else {
        segment.Bytes.append(bytes);
    }
    items_.push_back(entry);
    return Count();
}

void TrpPictureCache::AddPicture(TrpPictureView* picture)
{
    if (picture == nullptr)
        return;
    picture->ImageIndex = 0;
    if (picture->Picture().IsEmpty())
        return;
    picture->ImageIndex = Append(picture->Picture().Data());
}

QByteArray TrpPictureCache::PictureBytes(int32_t number) const
{
    if (number <= 0 || number > Count())
        return QByteArray();
    const Entry& entry = items_[static_cast<size_t>(number - 1)];
    const Segment& segment = *segments_[static_cast<size_t>(entry.Segment)];
    qint64 end = SegmentSize(segment);
    if (static_cast<size_t>(number) < items_.size() && items_[static_cast<size_t>(number)].Segment == entry.Segment)
        end = items_[static_cast<size_t>(number)].Offset;
    const qint64 size = end - entry.Offset;
    if (segment.File == nullptr)
        return segment.Bytes.mid(entry.Offset, size);
    if (!segment.File->seek(entry.Offset))
        throw EReadError();
    QByteArray bytes = segment.File->read(size);
    if (bytes.size() != size)
        throw EReadError();
    return bytes;
}

void TrpPictureCache::GetPicture(TrpPictureView* picture) const
{
    if (picture == nullptr)
        return;
    const int32_t number = picture->ImageIndex;
    if (number <= 0 || number > Count()) {
        picture->Picture().Clear();
        return;
    }
    QByteArray bytes = PictureBytes(number);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Bytes of no known picture kind leave the view without a picture.
    picture->LoadPictureFromStream(buffer, true);
}

void TrpPictureCache::SaveToXML(TrpXMLItem* item) const
{
    if (item == nullptr)
        return;
    item->Clear();
    for (int32_t number = 1; number <= Count(); ++number) {
        TrpXMLItem* child = item->Add(QStringLiteral("item"));
        child->SetText(QStringLiteral("stream=\"") + StreamToHexText(PictureBytes(number)) + u'"');
    }
}

void TrpPictureCache::LoadFromXML(TrpXMLItem* item)
{
    if (item == nullptr)
        return;
    // Every text is checked before the cache changes, so a bad digit leaves it as it was.
    for (int i = 0; i < item->Count(); ++i) {
        const QString text = item->Items(i)->Prop(u"stream");
        if (!IsHexText(text))
            HexTextToBytes(text); // raises "Invalid hexadecimal text"
    }
    Clear();
    for (int i = 0; i < item->Count(); ++i)
        Append(HexTextToBytes(item->Items(i)->Prop(u"stream")));
}

QStringList TrpPictureCache::TempFiles() const
{
    QStringList files;
    for (const auto& segment : segments_) {
        if (segment->File != nullptr)
            files << segment->FileName;
    }
    return files;
}
